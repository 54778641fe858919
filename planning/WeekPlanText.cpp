#include "planning/WeekPlanText.h"

#include "core/CsvText.h"
#include "planning/ClMenu.h"
#include "planning/WeekCalendar.h"

#include <algorithm>
#include <cmath>

namespace pf {

namespace {

DateSerial DaySerial(long day)
{
    return DateSerial{static_cast<double>(day)};
}

// One line per field: line breaks become blanks.
std::string OneLine(std::string text)
{
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

} // namespace

std::string WPPriceText(Decimal4 price)
{
    // Level prices are stored without sign.
    const std::int64_t ticks = price.Ticks() < 0 ? -price.Ticks() : price.Ticks();
    const std::int64_t cents = (ticks + 50) / 100;
    const std::int64_t rest = cents % 100;
    return std::to_string(cents / 100) + "," + (rest < 10 ? "0" : "") + std::to_string(rest);
}

std::string WPPlanText(ClMenu& plan)
{
    const long first = DayOf(plan.MenuDate());
    const int days = plan.WPDayCount();
    clsWPLevel& levels = plan.WPLevels();
    std::string text = "Wochenplan vom " + ShortDateText(DaySerial(first)) + " bis " +
                       ShortDateText(DaySerial(first + days - 1)) + " (KW " +
                       std::to_string(CalendarWeek(DaySerial(first))) + ")";
    if (plan.id() != 0)
        text += " #" + std::to_string(plan.id());
    text += "\n";
    const DateSerial approved = plan.WPApproveDate();
    if (approved.Days != 0) {
        const std::string when = DateTimeText(approved);
        text += "Genehmigt am " + when.substr(0, 10) + " um " + when.substr(11, 5) + "\n";
    } else {
        text += "Wochenplan ist noch nicht genehmigt!\n";
    }
    for (int day = 1; day <= days; ++day) {
        const DateSerial date = DaySerial(first + day - 1);
        text += "\n" + GermanWeekdayName(date) + ", " + ShortDateText(date) + "\n";
        for (int level = 1; level <= levels.Max(); ++level) {
            const int course = plan.WPCourse(day, levels.id(level));
            std::string dish = course == 0 ? "-" : plan.CourseTitle(course);
            if (course != 0 && plan.CourseGeneric(course))
                dish += " [Generisch]";
            text += "  " + levels.Name(level) + ": " + dish + "\n";
        }
    }
    return text;
}

std::vector<std::vector<std::string>> WPCsvRows(ClMenu& plan)
{
    const long first = DayOf(plan.MenuDate());
    clsWPLevel& levels = plan.WPLevels();
    std::vector<std::vector<std::string>> rows;
    for (int day = 1; day <= plan.WPDayCount(); ++day)
        for (int level = 1; level <= levels.Max(); ++level) {
            const int course = plan.WPCourse(day, levels.id(level));
            if (course == 0)
                continue;
            const bool generic = plan.CourseGeneric(course);
            rows.push_back({ShortDateText(DaySerial(first + day - 1)), levels.Name(level),
                            plan.CourseTitle(course), plan.CourseDesc(course),
                            WPPriceText(levels.Cost(level)), generic ? "Generisch" : "Rezept",
                            std::to_string(generic ? 0 : plan.CourseRezID(course))});
        }
    return rows;
}

std::string WPCsvText(ClMenu& plan)
{
    std::string text = std::string(kWPCsvHeader) + "\r\n";
    for (std::vector<std::string>& row : WPCsvRows(plan)) {
        for (std::string& field : row)
            field = OneLine(std::move(field));
        text += CsvRow(row);
    }
    return text;
}

} // namespace pf
