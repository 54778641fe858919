#include "exchange/MMExport.h"

#include "core/AppContext.h"
#include "core/Utf8.h"
#include "exchange/ExportText.h"
#include "exchange/clsRecipeExport.h"
#include "model/ClRecipe.h"
#include "model/ClUnit.h"

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

// Amounts in an exchange file never follow the user's display mode: "1,5" would read as 1 in any
// reader that does not share that mode, and "2 0.95" as 2.
std::string AmountText(const ClIngredient& line)
{
    if (line.OrgMeasurement() == Decimal4())
        return {};
    return ExchangeAmount(line.Menge());
}

// The amount field and the text of an ingredient line. A range that the import kept at the start
// of the processing note ("(1-2) gesiebt", "(1–2)" as earlier imports wrote it) goes back into
// the amount field when the lower end is the amount written and the range fits the seven columns.
struct LineFields
{
    std::string Amount;
    std::string Text;
};

LineFields Fields(const ClIngredient& line)
{
    LineFields fields{AmountText(line), line.Ingredient()};
    std::string note = line.Verarbeitung();
    const std::string plain = PlainRangeNote(note);
    const std::string open = "(" + fields.Amount + "-";
    const std::size_t close = plain.find(')');
    if (!fields.Amount.empty() && plain.rfind(open, 0) == 0 && close != std::string::npos) {
        const std::string upper = plain.substr(open.size(), close - open.size());
        const std::string range = fields.Amount + "-" + upper;
        if (!upper.empty() && CharLength(range) <= 7 &&
            upper.find_first_not_of("0123456789./ ") == std::string::npos) {
            fields.Amount = range;
            note = LTrim(plain.substr(close + 1));
        }
    }
    if (!note.empty())
        fields.Text += "; " + note;
    return fields;
}

// The text of a line without amount and unit that a reader would take for something else: a
// continuation of the line before ("-"), a heading, a rule or an end line ("-----", "=====",
// "MMMMM"). It is written after "; ": a reader takes the text after a ";" with nothing before it
// as the ingredient text. A line with a note keeps its text as it is, since the note would join it.
void ProtectLeadingMarks(LineFields& fields, const ClIngredient& line, const std::string& unit)
{
    if (!fields.Amount.empty() || !unit.empty() || !line.Verarbeitung().empty())
        return;
    const std::string_view text = fields.Text;
    const bool marks = text.starts_with('-') || text.starts_with(';') || text.starts_with("=====") ||
                       (text.size() >= 5 && text.find_first_not_of("Mm") >= 5);
    if (marks)
        fields.Text = "; " + fields.Text;
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
        LineFields fields = Fields(line);
        const std::string unit = ToLower(line.EinheitTxt());
        ProtectLeadingMarks(fields, line, unit);
        const std::string prefix =
            PadText(fields.Amount, 7, true, false) + " " + PadText(unit, 3, false, true);
        std::string& text = fields.Text;
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

// The unit as the nine columns of a Rezkonv line hold it: the name shown when it is one word that
// fits, else the German short name, else the Meal-Master abbreviation; the reader takes the first
// word after the amount as the unit.
std::string RezkonvUnit(const ClIngredient& line)
{
    auto fits = [](const std::string& name) {
        return CharLength(name) <= 9 && name.find(' ') == std::string::npos;
    };
    std::string name = line.EinheitTxt();
    if (name.empty() || fits(name))
        return name;
    ClUnit& units = line.Units();
    const int index = line.EinheitPtr();
    // The table keeps short names in capitals: "Msp." as abbreviations with a point are written,
    // "ml" else.
    std::string shortName = ToLower(units.UnitNameD(index));
    if (!fits(shortName))
        return ToLower(units.UnitNameE(index));
    if (shortName.back() == '.')
        shortName = ToUpper(CharSubstr(shortName, 0, 1)) + CharSubstr(shortName, 1);
    return shortName;
}

// A line of 49 "=" with the text, between blanks, from column 20. The blanks keep the letters
// off the fill, so that "=CA" of "CARAMEL" never looks like an encoded character; a text too
// long for the line is written whole, with five "=" after it.
std::string RezkonvRule(std::string_view heading)
{
    const std::string text = HeadingText(heading);
    const std::size_t used = 18 + CharLength(text) + 2;
    return std::string(18, '=') + " " + text + " " + std::string(used + 5 <= 49 ? 49 - used : 5, '=');
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
            LineFields fields = Fields(line);
            const std::string unit = RezkonvUnit(line);
            ProtectLeadingMarks(fields, line, unit);
            engine.WriteExportLine(RTrim(PadText(fields.Amount, 7, true, false) + " " +
                                         PadText(unit, 9, true, false) + "  " + fields.Text));
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
