#include "planning/ShoppingPrint.h"

#include "core/Utf8.h"
#include "db/Value.h"
#include "output/PageWriter.h"
#include "output/TextFlow.h"
#include "planning/ClShoppingList.h"
#include "planning/ShoppingExchange.h"

#include <algorithm>

namespace pf {

namespace {

constexpr const char* kUncategorised = "Unkategorisiert";

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
    PageWriter page(canvas, {"Einkaufsliste"});
    const double width = canvas.Width();

    page.Heading(list.Description().empty() ? "Einkaufsliste" : "Einkaufsliste: " + list.Description(), 16);
    std::string sub;
    for (int i = 1; i <= list.RecipeCount(); ++i)
        sub += (sub.empty() ? "" : ", ") + list.RecipeTitle(i) + " (" + list.RecipeYield(i).ToString() + " " +
               list.RecipeUnitName(i) + ")";
    if (list.Datum().Days != 0)
        sub = ShortDateText(list.Datum()) + (sub.empty() ? "" : " - ") + sub;
    if (!sub.empty())
        page.Paragraph(sub, 9);
    page.Place(120);
    page.Rule();
    page.Place(60);

    // Columns: box, quantity (right-aligned), unit, ingredient, recipes at the right.
    const double box = 160;
    const double quantityRight = 1500;
    const double unitLeft = 1600;
    const double textLeft = 2500;
    const double recipeLeft = width * 0.66;
    for (const ShoppingPrintGroup& group : GroupShoppingLines(lines, classes)) {
        // A heading never stands alone at the foot of a page.
        page.Heading(group.Heading, 11);
        page.Place(60);
        for (const ShoppingLine* shown : group.Lines) {
            const ClIngredient& line = shown->Line;
            const PageFont font = Arial(10, line.IsTrenner());
            canvas.SetFont(font);
            const double height = canvas.TextHeight();
            const double y = page.Place(height + 30);
            canvas.SetFont(font);
            if (line.IsTrenner()) {
                canvas.DrawText(unitLeft, y, FittedText(canvas, line.Trennzeile(), recipeLeft - unitLeft));
                continue;
            }
            const double top = y + (height - box) / 2;
            canvas.DrawLine(0, top, box, top);
            canvas.DrawLine(box, top, box, top + box);
            canvas.DrawLine(box, top + box, 0, top + box);
            canvas.DrawLine(0, top + box, 0, top);
            const std::string quantity = line.MengeTxt();
            canvas.DrawText(quantityRight - canvas.TextWidth(quantity), y, quantity);
            canvas.DrawText(unitLeft, y,
                            FittedText(canvas, line.DisplayUnitText(), textLeft - unitLeft - 80));
            canvas.DrawText(textLeft, y, FittedText(canvas, line.Ingredient(), recipeLeft - textLeft - 120));
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
        page.Gap(10, 0.5);
    }
    page.Finish();
    return canvas.Finish();
}

} // namespace pf
