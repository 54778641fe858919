#include "planning/ShoppingPrint.h"

#include "core/Utf8.h"
#include "db/Value.h"
#include "output/PageFooter.h"
#include "output/TextFlow.h"
#include "planning/ClShoppingList.h"
#include "planning/ShoppingExchange.h"

#include <algorithm>

namespace pf {

namespace {

constexpr const char* kUncategorised = "Unkategorisiert";

class Layout
{
public:
    explicit Layout(PageCanvas& canvas)
        : m_canvas(canvas), m_bottom(canvas.Height() - PageFooterReserve(canvas))
    {
    }

    // Moves to a new page unless height still fits above the footer.
    void Need(double height)
    {
        if (m_y + height <= m_bottom)
            return;
        PrintPageFooter(m_canvas, m_footer, false);
        m_y = 0;
    }
    double& Y() { return m_y; }
    void Finish() { PrintPageFooter(m_canvas, m_footer, true); }

private:
    PageCanvas& m_canvas;
    PageFooter m_footer{"Einkaufsliste"};
    double m_bottom;
    double m_y = 0;
};

} // namespace

std::vector<ShoppingPrintGroup> GroupShoppingLines(const std::vector<ShoppingLine>& lines,
                                                   const std::vector<std::string>& classes)
{
    std::vector<ShoppingPrintGroup> groups;
    ShoppingPrintGroup other{kUncategorised, {}};
    for (const ShoppingLine& line : lines) {
        std::string_view code = line.Code;
        if (!code.empty() && code.front() == '?')
            code.remove_prefix(1);
        const std::string heading = MainClassName(code, classes);
        if (heading.empty()) {
            other.Lines.push_back(&line);
            continue;
        }
        auto it = std::find_if(groups.begin(), groups.end(),
                               [&](const ShoppingPrintGroup& g) { return g.Heading == heading; });
        if (it == groups.end())
            groups.push_back({heading, {&line}});
        else
            it->Lines.push_back(&line);
    }
    if (!other.Lines.empty())
        groups.push_back(std::move(other));
    return groups;
}

bool PrintShoppingList(PageCanvas& canvas, ClShoppingList& list, const std::vector<ShoppingLine>& lines,
                       const std::vector<std::string>& classes)
{
    Layout page(canvas);
    const double width = canvas.Width();

    canvas.SetFont(Arial(16, true));
    const double titleHeight = canvas.TextHeight();
    std::string title = "Einkaufsliste";
    if (!list.Description().empty())
        title += ": " + list.Description();
    canvas.DrawText(0, 0, FittedText(canvas, title, width));
    page.Y() += titleHeight;
    canvas.SetFont(Arial(9));
    std::string sub;
    for (int i = 1; i <= list.RecipeCount(); ++i)
        sub += (sub.empty() ? "" : ", ") + list.RecipeTitle(i) + " (" + list.RecipeYield(i).ToString() + " " +
               list.RecipeUnitName(i) + ")";
    if (list.Datum().Days != 0)
        sub = ShortDateText(list.Datum()) + (sub.empty() ? "" : " - ") + sub;
    if (!sub.empty()) {
        canvas.DrawText(0, page.Y(), FittedText(canvas, sub, width));
        page.Y() += canvas.TextHeight();
    }
    page.Y() += 120;
    canvas.DrawLine(0, page.Y(), width, page.Y());
    page.Y() += 120;

    // Columns: box, quantity (right-aligned), unit, ingredient, recipes at the right.
    const double box = 160;
    const double quantityRight = 1500;
    const double unitLeft = 1600;
    const double textLeft = 2500;
    const double recipeLeft = width * 0.66;
    for (const ShoppingPrintGroup& group : GroupShoppingLines(lines, classes)) {
        canvas.SetFont(Arial(11, true));
        const double headingHeight = canvas.TextHeight();
        canvas.SetFont(Arial(10));
        // A heading never stands alone at the foot of a page.
        page.Need(headingHeight + 60 + canvas.TextHeight());
        canvas.SetFont(Arial(11, true));
        canvas.DrawText(0, page.Y(), group.Heading);
        page.Y() += headingHeight + 60;
        for (const ShoppingLine* shown : group.Lines) {
            const ClIngredient& line = shown->Line;
            canvas.SetFont(Arial(10, line.IsTrenner()));
            const double height = canvas.TextHeight();
            page.Need(height);
            const double y = page.Y();
            if (line.IsTrenner()) {
                canvas.DrawText(unitLeft, y, FittedText(canvas, line.Trennzeile(), recipeLeft - unitLeft));
            } else {
                const double top = y + (height - box) / 2;
                canvas.DrawLine(0, top, box, top);
                canvas.DrawLine(box, top, box, top + box);
                canvas.DrawLine(box, top + box, 0, top + box);
                canvas.DrawLine(0, top + box, 0, top);
                const std::string quantity = line.MengeTxt();
                canvas.DrawText(quantityRight - canvas.TextWidth(quantity), y, quantity);
                canvas.DrawText(unitLeft, y,
                                FittedText(canvas, line.DisplayUnitText(), textLeft - unitLeft - 80));
                canvas.DrawText(textLeft, y,
                                FittedText(canvas, line.Ingredient(), recipeLeft - textLeft - 120));
                std::string recipes;
                for (long id : shown->Recipes) {
                    const std::string name = list.TitleOfRecipe(id);
                    if (!name.empty())
                        recipes += (recipes.empty() ? "" : ", ") + name;
                }
                if (!recipes.empty()) {
                    canvas.SetFont(Arial(8, false, true));
                    canvas.DrawText(recipeLeft, y + 20, FittedText(canvas, recipes, width - recipeLeft));
                }
            }
            page.Y() += height + 30;
        }
        page.Y() += 120;
    }
    page.Finish();
    return canvas.Finish();
}

} // namespace pf
