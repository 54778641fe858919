#include "planning/WeekPlanPrint.h"

#include "output/PageWriter.h"
#include "planning/ClMenu.h"
#include "planning/WeekCalendar.h"
#include "planning/WeekPlanText.h"
#include "planning/clWPLanguage.h"

#include <algorithm>

namespace pf {

namespace {

const PageFooter kFooter{"Wochenplan"};

DateSerial Serial(long day)
{
    return DateSerial{static_cast<double>(day)};
}

} // namespace

bool PrintWeekPlan(PageCanvas& canvas, ClMenu& plan, const std::vector<int>& languages)
{
    const std::vector<int> chosen = languages.empty() ? std::vector<int>{1} : languages;
    const long first = DayOf(plan.MenuDate());
    const int days = plan.WPDayCount();
    clsWPLevel& levels = plan.WPLevels();
    // Level names stand in a column as wide as the widest of them.
    canvas.SetFont(Arial(11, true));
    double levelWidth = 0;
    for (int level = 1; level <= levels.Max(); ++level)
        levelWidth = std::max(levelWidth, canvas.TextWidth(levels.Name(level)));
    const double dishLeft = std::min(levelWidth + 360, canvas.Width() / 3);

    PageWriter page(canvas, kFooter);
    for (int language : chosen) {
        page.NewPage();
        page.Heading(clWPLanguage::WPTitle(language) + " " + ShortDateText(Serial(first)) + " – " +
                         ShortDateText(Serial(first + days - 1)),
                     16);
        page.Rule();
        for (int day = 1; day <= days; ++day) {
            const DateSerial date = Serial(first + day - 1);
            bool headed = false;
            for (int level = 1; level <= levels.Max(); ++level) {
                const int course = plan.WPCourse(day, levels.id(level));
                if (course == 0 || levels.NoPrint(level))
                    continue;
                if (!headed) {
                    page.Gap(11, 0.6);
                    page.Heading(clWPLanguage::WPDays(language, clWPLanguage::WeekdayIndex(date)) + ", " +
                                     ShortDateText(date),
                                 13);
                    headed = true;
                }
                std::string dish = plan.CourseTitle(course);
                if (levels.Cost(level) > Decimal4())
                    dish += " – " + WPPriceText(levels.Cost(level)) + " €";
                page.Labelled(levels.Name(level), dish, dishLeft, 11);
                if (const std::string description = plan.CourseDesc(course); !description.empty())
                    page.Paragraph(description, 9, true, dishLeft);
            }
        }
    }
    page.Finish();
    return canvas.Finish();
}

bool PrintWPApprovalList(PageCanvas& canvas, ClMenu& plan)
{
    const long first = DayOf(plan.MenuDate());
    clsWPLevel& levels = plan.WPLevels();
    PageWriter page(canvas, kFooter);
    page.Heading("Wochenplan vom " + ShortDateText(Serial(first)), 16);
    const DateSerial approved = plan.WPApproveDate();
    const std::string when = DateTimeText(approved);
    page.Paragraph(approved.Days != 0 ? "Genehmigt am " + when.substr(0, 10) + " um " + when.substr(11, 5)
                                      : std::string("Wochenplan ist noch nicht genehmigt!"),
                   11, true);
    for (int day = 1; day <= plan.WPDayCount(); ++day) {
        const DateSerial date = Serial(first + day - 1);
        page.Gap(11, 0.6);
        page.Heading(GermanWeekdayName(date) + ", " + ShortDateText(date), 12);
        for (int level = 1; level <= levels.Max(); ++level) {
            const int course = plan.WPCourse(day, levels.id(level));
            std::string dish = course == 0 ? "-" : plan.CourseTitle(course);
            if (course != 0 && plan.CourseGeneric(course))
                dish += " [Generisch]";
            page.Labelled(levels.Name(level), dish, canvas.Width() / 4, 11);
        }
    }
    page.Finish();
    return canvas.Finish();
}

} // namespace pf
