#include "exchange/MMExport.h"

#include "core/AppContext.h"
#include "core/Utf8.h"
#include "exchange/ExportText.h"
#include "exchange/clsRecipeExport.h"
#include "model/ClRecipe.h"

#include <cstdio>

namespace pf {

namespace {

constexpr int kMMTextWidth = 39 - 11;
constexpr int kMMContinuationWidth = 26;
const std::string kContinuationPrefix = "           - ";

std::string RTrim(std::string text)
{
    const std::size_t last = text.find_last_not_of(' ');
    text.erase(last == std::string::npos ? 0 : last + 1);
    return text;
}

std::string LTrim(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string Categories(clsRecipeExport& engine, ClRecipe& recipe, std::size_t limit)
{
    std::string cats;
    for (const std::string& name : engine.RecipeCategories(recipe, limit))
        cats += (cats.empty() ? "" : ", ") + name;
    return cats;
}

// Amounts in an exchange file are fractions with "." for what no fraction matches, whatever the
// user's display mode: "1,5" would read as 1 in any reader that does not share that mode.
std::string AmountText(const ClIngredient& line)
{
    if (line.OrgMeasurement() == Decimal4())
        return {};
    return FormatQuantity(line.Menge(), AppContext::Current().Options.EditFlags & ~kEditFlagDecimalMode, '.');
}

// --- Meal-Master ---------------------------------------------------------------------------------

void ExportRecipeHead(clsRecipeExport& engine, ClRecipe& recipe)
{
    engine.WriteExportLine("");
    engine.WriteExportLine("MMMMM----- Recipe Meal-Master via " + AppContext::Current().AppTitle + " " +
                           MMVersionText());
    engine.WriteExportLine("");
    engine.WriteExportLine("      Title: " + recipe.Title());
    engine.WriteExportLine(" Categories: " + Categories(engine, recipe, 5));
    engine.WriteExportLine("      Yield: " + std::to_string(recipe.Yield()) + " " + recipe.YieldUnitText());
    engine.WriteExportLine("");
}

void ExportIngredients(clsRecipeExport& engine, ClRecipe& recipe)
{
    const bool foodKeys = (AppContext::Current().Options.ExportFingerprint & 16) != 0;
    std::string& codes = engine.FoodKeyCodes();
    int& counter = engine.LineCounter();
    const int count = recipe.IngredCount();
    for (int i = 1; i <= count; ++i) {
        ClIngredient& line = recipe.Ingredient(i);
        if (line.IsTrenner()) {
            engine.WriteExportLine(MMHeadingLine(line.Trennzeile()));
            ++counter;
            // Every written line has its entry, so that the reader finds each code at the
            // number of its row.
            if (foodKeys)
                codes += ",";
            continue;
        }
        if (foodKeys)
            codes += "," + line.BLSCode(engine.Db());
        const std::string prefix = PadText(AmountText(line), 7, true, false) + " " +
                                   PadText(ToLower(line.EinheitTxt()), 3, false, true);
        std::string text = line.ZutatVerarbeitung();
        engine.WriteExportLine(RTrim(prefix + CutLine(text, kMMTextWidth)));
        ++counter;
        while (!text.empty()) {
            text = LTrim(text);
            if (text.empty())
                break;
            engine.WriteExportLine(RTrim(kContinuationPrefix + CutLine(text, kMMContinuationWidth)));
            ++counter;
            if (foodKeys)
                codes += ",";
        }
    }
    if (!codes.empty())
        codes.erase(0, 1);
    engine.WriteExportLine("");
}

void ExportPreparation(clsRecipeExport& engine, ClRecipe& recipe)
{
    engine.WriteExportLine(FormatTextBlock(recipe.Zubereitung(), engine.LineCounter(), 999, 0,
                                           AppContext::Current().Options.ExportBreak, true));
}

// The food-key list after "BLS: ", cut before a "," at or after column 60 while a line is longer.
void WriteFoodKeyLines(clsRecipeExport& engine, const std::string& codes)
{
    const std::string indent(13, ' ');
    std::string line = "        BLS: " + codes;
    while (line.size() >= 61) {
        const std::size_t comma = line.find(',', 59);
        if (comma == std::string::npos)
            break;
        engine.WriteExportLine(line.substr(0, comma));
        line = indent + line.substr(comma);
    }
    engine.WriteExportLine(line);
}

void ExportRecipeEnd(clsRecipeExport& engine, ClRecipe& recipe)
{
    const AppContext& app = AppContext::Current();
    const long flags = app.Options.ExportFingerprint;
    ClFingerprint& fingerprint = recipe.Fingerprint();
    if ((flags & 1) != 0 && fingerprint.HasFingerprint()) {
        const std::int32_t fp1 = fingerprint.FP1();
        const std::int32_t fp2 = fingerprint.FP2();
        if (fp1 != 0 && fp2 != 0) {
            engine.WriteExportLine("");
            engine.WriteExportLine(":Fingerprint: " + std::to_string(fp1) + "," + std::to_string(fp2) + "," +
                                   app.AppTitle);
        }
    }
    engine.WriteExportLine("");
    engine.WriteExportLine("MMMMM");

    std::string codes = engine.FoodKeyCodes();
    engine.FoodKeyCodes().clear();
    if (flags == 1)
        return;
    const std::string origin = (flags & 4) != 0 ? recipe.OriginName() : std::string();
    // A list of nothing but empty entries carries no information.
    if ((flags & 16) == 0 || codes.find_first_not_of(',') == std::string::npos)
        codes.clear();
    std::string notes;
    if ((flags & 8) != 0 && !recipe.Notizen().empty()) {
        int unused = 0;
        notes = FormatTextBlock(recipe.Notizen(), unused, 999999, 13, app.Options.ExportBreak, false);
        if (notes.size() >= 13)
            notes = "    Notices: " + notes.substr(13);
    }
    if (origin.empty() && codes.empty() && notes.empty())
        return;
    engine.WriteExportLine("EEEEE-----Aditional Recipe Informations");
    if (!origin.empty())
        engine.WriteExportLine("     Origin: " + origin);
    if (!codes.empty())
        WriteFoodKeyLines(engine, codes);
    if (!notes.empty())
        engine.WriteExportLine(notes);
    engine.WriteExportLine("EEEEE");
}

// --- Rezkonv -----------------------------------------------------------------------------------------

// A line of 49 "=" with text from column 19.
std::string RezkonvRule(const std::string& text)
{
    const std::string cut = CharSubstr(text, 0, 30);
    return std::string(18, '=') + cut + std::string(49 - 18 - CharLength(cut), '=');
}

} // namespace

std::string MMVersionText()
{
    char text[32];
    std::snprintf(text, sizeof text, "%d.%02d.%03d", AppContext::kVersionMajor, AppContext::kVersionMinor,
                  AppContext::kVersionRevision);
    return text;
}

void ExportMealMasterRecipe(clsRecipeExport& engine, ClRecipe& recipe)
{
    ExportRecipeHead(engine, recipe);
    ExportIngredients(engine, recipe);
    ExportPreparation(engine, recipe);
    ExportRecipeEnd(engine, recipe);
}

void ExportRezkonvRecipe(clsRecipeExport& engine, ClRecipe& recipe)
{
    const AppContext& app = AppContext::Current();
    engine.WriteExportLine("");
    engine.WriteExportLine("========== REZKONV via " + app.AppTitle + " v" + MMVersionText() + " ==========");
    engine.WriteExportLine("");
    engine.WriteExportLine("     Titel: " + recipe.Title());
    engine.WriteExportLine("Kategorien: " + Categories(engine, recipe, 5));
    engine.WriteExportLine("     Menge: " + std::to_string(recipe.Yield()) + " " + recipe.YieldUnitText());
    engine.WriteExportLine("");
    const std::string keeping = clsRecipeExport::KopfHaltbarkeit(recipe);
    if (!keeping.empty()) {
        engine.WriteExportLine(RezkonvRule("Haltbarkeit"));
        engine.WriteExportLine("===== Angaben zur Haltbarkeit =====");
        std::size_t start = 0;
        while (start <= keeping.size()) {
            const std::size_t comma = keeping.find(',', start);
            const std::string part = LTrim(RTrim(keeping.substr(start, comma - start)));
            engine.WriteExportLine(std::string(18, ' ') + part);
            if (comma == std::string::npos)
                break;
            start = comma + 1;
        }
        engine.WriteExportLine("");
    }
    int& counter = engine.LineCounter();
    const int count = recipe.IngredCount();
    for (int i = 1; i <= count; ++i) {
        ClIngredient& line = recipe.Ingredient(i);
        if (line.IsTrenner()) {
            engine.WriteExportLine(RezkonvRule(line.Trennzeile()));
        } else {
            engine.WriteExportLine(RTrim(PadText(AmountText(line), 7, true, false) + " " +
                                         PadText(line.EinheitTxt(), 9, true, false) + "  " +
                                         line.ZutatVerarbeitung()));
        }
        ++counter;
    }
    engine.WriteExportLine("");
    engine.WriteExportLine(
        FormatTextBlock(recipe.Zubereitung(), counter, 100, 2, app.Options.ExportBreak, false));
    engine.WriteExportLine("");
    engine.WriteExportLine("=====");
}

} // namespace pf
