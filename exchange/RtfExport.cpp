#include "exchange/RtfExport.h"

#include "core/CodePage.h"
#include "core/Utf8.h"
#include "exchange/ExportText.h"
#include "exchange/clsRecipeExport.h"
#include "model/ClRecipe.h"

#include <cstdio>

namespace pf {

namespace {

constexpr const char* kNormal = "\\pard\\f0\\fs20 ";

void Section(std::string& body, std::string_view heading)
{
    body += "\\pard\\sb240\\sa60\\f0\\b\\fs24 ";
    body += RtfEscape(heading);
    body += "\\b0\\fs20\\par\r\n";
}

// The text's paragraphs without empty ones at its end.
std::string WithoutTrailingBreaks(std::string_view text)
{
    std::string out = NormalizeLineBreaks(text);
    while (out.size() >= 2 && out.compare(out.size() - 2, 2, "\r\n") == 0)
        out.erase(out.size() - 2);
    return out;
}

} // namespace

std::string RtfEscape(std::string_view text)
{
    const CodePage& cp1252 = CodePage::Windows1252();
    std::string out;
    out.reserve(text.size() + 8);
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char32_t cp = NextCodePoint(text, pos);
        if (cp == U'\\' || cp == U'{' || cp == U'}') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (cp == U'\t') {
            out += "\\tab ";
        } else if (cp < 0x20) {
            // other control characters have no place in the text
        } else if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else {
            unsigned char byte = 0;
            char escape[16];
            if (cp1252.Encode(cp, byte)) {
                std::snprintf(escape, sizeof escape, "\\'%02x", static_cast<unsigned>(byte));
            } else if (cp > 0xFFFF) {
                // \uN takes a signed 16-bit number: nothing beyond the basic plane fits.
                std::snprintf(escape, sizeof escape, "?");
            } else {
                std::snprintf(escape, sizeof escape, "\\u%d?",
                              static_cast<int>(static_cast<std::int16_t>(cp)));
            }
            out += escape;
        }
    }
    return out;
}

void RtfAddText(std::string& body, std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) {
            body += RtfEscape(text.substr(start));
            return;
        }
        body += RtfEscape(text.substr(start, end - start));
        body += "\\par\r\n";
        start = end + 2;
    }
}

std::string RtfDocument(const std::string& body)
{
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1031{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\r\n"
           "\\viewkind4\\uc1\\pard\\f0\\fs20\r\n" +
           body + "}\r\n";
}

void RecAddRTFHeader(std::string& body, std::string_view title)
{
    body += "\\pard\\sa120\\f0\\b\\fs32 ";
    body += RtfEscape(title);
    body += "\\b0\\fs20\\par\r\n";
}

void RecAddRTFProperties(std::string& body, std::string_view label, std::string_view value)
{
    if (value.empty())
        return;
    body += kNormal;
    body += "\\b ";
    body += RtfEscape(label);
    body += "\\b0  ";
    RtfAddText(body, std::string(value) + "\r\n");
}

void ExportRtfRecipe(clsRecipeExport& engine, ClRecipe& recipe)
{
    std::string& body = engine.RtfBody();
    if (!body.empty())
        body += "\\page\r\n";
    RecAddRTFHeader(body, recipe.Title());
    std::string cats;
    for (const std::string& name : engine.RecipeCategories(recipe))
        cats += (cats.empty() ? "" : ", ") + name;
    RecAddRTFProperties(body, "Kategorien:", cats);
    RecAddRTFProperties(body, "Herkunft:", recipe.OriginName());
    RecAddRTFProperties(body,
                        "Mengenangaben für:", std::to_string(recipe.Yield()) + " " + recipe.YieldUnitText());
    RecAddRTFProperties(body, "Haltbarkeit:", clsRecipeExport::KopfHaltbarkeit(recipe));

    Section(body, "Zutaten");
    const int count = recipe.IngredCount();
    for (int i = 1; i <= count; ++i) {
        ClIngredient& line = recipe.Ingredient(i);
        if (line.IsTrenner()) {
            body += "\\pard\\sb120\\f0\\fs20\\i ";
            engine.WriteExportLine(line.Trennzeile(), true);
            body += "\\i0\\par\r\n";
            continue;
        }
        // Quantity right-aligned at the first tab stop, unit and text after it.
        body += "\\pard\\f0\\fs20\\tqr\\tx900\\tx1100\\tx2400 ";
        const std::string amount = line.OrgMeasurement() == Decimal4() ? std::string() : line.MengeTxt();
        engine.WriteExportLine("\t" + amount + "\t" + line.EinheitTxt() + "\t" + line.ZutatVerarbeitung());
    }
    Section(body, "Zubereitungsanweisungen");
    body += kNormal;
    engine.WriteExportLine(WithoutTrailingBreaks(recipe.Zubereitung()));
    if (!recipe.Notizen().empty()) {
        Section(body, "Notizen");
        body += kNormal;
        engine.WriteExportLine(WithoutTrailingBreaks(recipe.Notizen()));
    }
}

} // namespace pf
