#include "planning/WeekCalendar.h"

#include <array>
#include <cmath>

namespace pf {

namespace {

constexpr std::array<const char*, 7> kWeekdays = {"Montag",  "Dienstag", "Mittwoch", "Donnerstag",
                                                  "Freitag", "Samstag",  "Sonntag"};
constexpr std::array<const char*, 12> kMonths = {"Januar",    "Februar", "März",     "April",
                                                 "Mai",       "Juni",    "Juli",     "August",
                                                 "September", "Oktober", "November", "Dezember"};

int YearOf(long day)
{
    int year = 0, month = 0, dayOfMonth = 0, hour = 0, minute = 0, second = 0;
    DateSerial{static_cast<double>(day)}.ToParts(year, month, dayOfMonth, hour, minute, second);
    return year;
}

} // namespace

long DayOf(DateSerial date)
{
    return static_cast<long>(std::floor(date.Days));
}

int IsoWeekday(DateSerial date)
{
    // Serial 2 (1 January 1900) was a Monday.
    const long offset = (DayOf(date) - 2) % 7;
    return static_cast<int>((offset + 7) % 7) + 1;
}

int CalendarWeek(DateSerial date)
{
    // The Thursday of the day's week decides the year the week belongs to.
    const long thursday = DayOf(date) - IsoWeekday(date) + 4;
    const int year = YearOf(thursday);
    const long firstOfYear = DayOf(DateSerial::FromParts(year, 1, 1));
    return static_cast<int>((thursday - firstOfYear) / 7 + 1);
}

std::string GermanWeekdayName(DateSerial date)
{
    return kWeekdays[static_cast<std::size_t>(IsoWeekday(date) - 1)];
}

std::string GermanMonthName(int month)
{
    return month >= 1 && month <= 12 ? kMonths[static_cast<std::size_t>(month - 1)] : "";
}

std::string LongDateText(DateSerial date)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    DateSerial{static_cast<double>(DayOf(date))}.ToParts(year, month, day, hour, minute, second);
    return GermanWeekdayName(date) + ", " + std::to_string(day) + ". " + GermanMonthName(month) + " " +
           std::to_string(year);
}

} // namespace pf
