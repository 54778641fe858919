#include "planning/WeekPlanText.h"

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

// The price as German spreadsheets read it: two decimals with a comma (prices are never negative).
std::string PriceText(Decimal4 price)
{
    const std::int64_t cents = (price.Ticks() + 50) / 100;
    const std::int64_t rest = cents % 100;
    return std::to_string(cents / 100) + "," + (rest < 10 ? "0" : "") + std::to_string(rest);
}

std::string CsvField(std::string text)
{
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    if (text.find_first_of(";\"") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

} // namespace

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

std::string WPCsvText(ClMenu& plan)
{
    const long first = DayOf(plan.MenuDate());
    clsWPLevel& levels = plan.WPLevels();
    std::string text = std::string(kWPCsvHeader) + "\r\n";
    for (int day = 1; day <= plan.WPDayCount(); ++day)
        for (int level = 1; level <= levels.Max(); ++level) {
            const int course = plan.WPCourse(day, levels.id(level));
            if (course == 0)
                continue;
            const bool generic = plan.CourseGeneric(course);
            text += ShortDateText(DaySerial(first + day - 1)) + ";" + CsvField(levels.Name(level)) + ";" +
                    CsvField(plan.CourseTitle(course)) + ";" + CsvField(plan.CourseDesc(course)) + ";" +
                    PriceText(levels.Cost(level)) + ";" + (generic ? "Generisch" : "Rezept") + ";" +
                    std::to_string(generic ? 0 : plan.CourseRezID(course)) + "\r\n";
        }
    return text;
}

} // namespace pf
