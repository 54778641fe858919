#pragma once
// Calendar arithmetic of weekly plans on day serials: weekdays counted from Monday, calendar weeks
// by the rule that week 1 is the week holding the year's first Thursday (so 1 January belongs to
// week 1 when it is a Monday to Thursday), and the German names of weekdays and months.

#include "db/Value.h"

#include <string>

namespace pf {

// The whole day of a serial (the time of day dropped).
long DayOf(DateSerial date);
// 1 for Monday to 7 for Sunday.
int IsoWeekday(DateSerial date);
// The calendar week 1..53 of a day; week 53 and week 1 cross year ends (29.12.2025 is week 1 of 2026).
int CalendarWeek(DateSerial date);
// The German weekday name ("Montag"), as "dddd" formats it.
std::string GermanWeekdayName(DateSerial date);
// The German month name ("März"), as "mmmm" formats it; month 1..12, else "".
std::string GermanMonthName(int month);
// The day written out: "Samstag, 12. Dezember 2026".
std::string LongDateText(DateSerial date);

} // namespace pf
