#include "model/RecipeText.h"

#include "core/Utf8.h"
#include "model/ClRecipe.h"

#include <algorithm>
#include <cmath>

namespace pf {

namespace {

std::string PadRight(const std::string& text, std::size_t width)
{
    const std::size_t length = ToCodePoints(text).size();
    return length >= width ? text : text + std::string(width - length, ' ');
}

std::string PadLeft(const std::string& text, std::size_t width)
{
    const std::size_t length = ToCodePoints(text).size();
    return length >= width ? text : std::string(width - length, ' ') + text;
}

} // namespace

std::string DurationText(double daySerial)
{
    const long minutes = std::lround(daySerial * 24 * 60);
    if (minutes <= 0)
        return {};
    const std::string mm = std::to_string(minutes % 60);
    return std::to_string(minutes / 60) + ":" + (mm.size() < 2 ? "0" + mm : mm);
}

std::string RecipeAsText(ClRecipe& recipe)
{
    std::string text = recipe.Title() + "\n" + std::string(ToCodePoints(recipe.Title()).size(), '=') + "\n\n";
    auto field = [&](const char* label, const std::string& value) {
        if (!value.empty())
            text += std::string(label) + value + "\n";
    };
    if (recipe.Yield() != 0)
        field("Menge: ", std::to_string(recipe.Yield()) + " " + recipe.YieldUnitText());
    std::string cats;
    for (int i = 1; i <= recipe.CatCount(); ++i)
        cats += (cats.empty() ? "" : ", ") + recipe.CatName(i);
    field("Kategorien: ", cats);
    field("Herkunft: ", recipe.OriginName());
    std::string source = recipe.SourcebookTitle();
    if (!source.empty() && recipe.SourcePage() > 0)
        source += ", Seite " + std::to_string(recipe.SourcePage());
    field("Quelle: ", source.empty() ? recipe.SourceText() : source);
    field("Vorbereitungszeit: ", DurationText(recipe.PreparationTime().Days));
    field("Kochzeit: ", DurationText(recipe.CookingTime().Days));

    const int count = recipe.IngredCount();
    if (count > 0) {
        // Quantities right-aligned and units in their own column, as on a recipe card.
        std::size_t quantityWidth = 0, unitWidth = 0;
        for (int i = 1; i <= count; ++i) {
            ClIngredient& line = recipe.Ingredient(i);
            if (line.IsTrenner())
                continue;
            quantityWidth = std::max(quantityWidth, ToCodePoints(line.MengeTxt()).size());
            unitWidth = std::max(unitWidth, ToCodePoints(line.DisplayUnitText()).size());
        }
        text += "\nZutaten:\n";
        for (int i = 1; i <= count; ++i) {
            ClIngredient& line = recipe.Ingredient(i);
            if (line.IsTrenner()) {
                text += "\n  " + line.Trennzeile() + ":\n";
                continue;
            }
            std::string row = "  " + PadLeft(line.MengeTxt(), quantityWidth) + " " +
                              PadRight(line.DisplayUnitText(), unitWidth) + " " + line.ZutatVerarbeitung();
            if (line.IsRecipe())
                row += " (Rezept #" + std::to_string(line.IsRecipeID()) + ")";
            if (!line.Zubereitung().empty())
                row += " - " + line.Zubereitung();
            while (!row.empty() && row.back() == ' ')
                row.pop_back();
            text += row + "\n";
        }
    }
    if (!recipe.Zubereitung().empty())
        text += "\nZubereitung:\n" + recipe.Zubereitung() + "\n";
    if (!recipe.Notizen().empty())
        text += "\nNotizen:\n" + recipe.Notizen() + "\n";
    if (!recipe.WineDegustation().empty())
        text += "\nWeinempfehlung: " + recipe.WineDegustation() + "\n";
    return text;
}

} // namespace pf
