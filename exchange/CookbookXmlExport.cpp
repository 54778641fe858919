#include "exchange/CookbookXmlExport.h"

#include "core/AppContext.h"
#include "core/Trim.h"
#include "db/BaseData.h"
#include "exchange/ExportText.h"
#include "exchange/MMExport.h"
#include "exchange/MensaxExport.h"
#include "exchange/clsRecipeExport.h"
#include "model/ClRecipe.h"
#include "model/clBlob.h"

#include <cmath>
#include <string>

namespace pf {

namespace {

std::string Attribute(const char* name, std::string_view value)
{
    return std::string(" ") + name + "=\"" + XMLEscape(Trim(value, " \t"), false) + "\"";
}

std::string Element(const std::string& indent, const char* name, std::string_view text)
{
    return indent + "<" + name + ">" + XMLEscape(Trim(text, " \t"), true) + "</" + name + ">";
}

long Minutes(DateSerial time)
{
    return std::lround(time.Days * 1440.0);
}

// Writes one element per non-empty line of a text inside a container element.
void WriteLines(clsRecipeExport& engine, const char* container, const char* item, std::string_view text)
{
    const std::string normal = NormalizeLineBreaks(text);
    if (Trim(normal, " \t\r\n").empty())
        return;
    engine.WriteExportLine(std::string("    <") + container + ">");
    std::size_t start = 0;
    while (start <= normal.size()) {
        const std::size_t end = std::min(normal.find("\r\n", start), normal.size());
        const std::string_view line = Trim(std::string_view(normal).substr(start, end - start), " \t");
        if (!line.empty())
            engine.WriteExportLine(Element("      ", item, line));
        start = end + 2;
    }
    engine.WriteExportLine(std::string("    </") + container + ">");
}

} // namespace

void CookbookXmlMediaInit(clsRecipeExport& engine)
{
    engine.WriteExportLine("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    engine.WriteExportLine("<kochbuch" + Attribute("programm", AppContext::Current().AppTitle) +
                           Attribute("version", MMVersionText()) + ">");
}

void ExportCookbookXmlRecipe(clsRecipeExport& engine, ClRecipe& recipe)
{
    engine.WriteExportLine("  <rezept nummer=\"" + std::to_string(recipe.id()) + "\" sprache=\"" +
                           MensaxLanguageCode(recipe.LanguageID()) + "\">");
    engine.WriteExportLine(Element("    ", "titel", recipe.Title()));
    engine.WriteExportLine("    <portionen anzahl=\"" + std::to_string(recipe.Yield()) + "\">" +
                           XMLEscape(Trim(recipe.YieldUnitText(), " \t"), true) + "</portionen>");
    for (const std::string& name : engine.RecipeCategories(recipe))
        engine.WriteExportLine(Element("    ", "kategorie", name));
    if (!Trim(recipe.SourceText(), " \t\r\n").empty())
        engine.WriteExportLine(Element("    ", "quelle", Trim(recipe.SourceText(), " \t\r\n")));
    const long preparation = Minutes(recipe.PreparationTime());
    const long cooking = Minutes(recipe.CookingTime());
    if (preparation != 0 || cooking != 0)
        engine.WriteExportLine("    <zeiten vorbereitung=\"" + std::to_string(preparation) + "\" kochen=\"" +
                               std::to_string(cooking) + "\" />");
    bool open = false;
    for (int i = 1; i <= recipe.IngredCount(); ++i) {
        ClIngredient& line = recipe.Ingredient(i);
        if (line.IsTrenner() || !open) {
            if (open)
                engine.WriteExportLine("    </zutaten>");
            engine.WriteExportLine(
                "    <zutaten" + (line.IsTrenner() ? Attribute("titel", line.Trennzeile()) : std::string()) +
                ">");
            open = true;
            if (line.IsTrenner())
                continue;
        }
        std::string text = "      <zutat" + Attribute("menge", line.Menge().ToString()) +
                           Attribute("einheit", line.EinheitTxt());
        if (line.IsRecipe())
            text += " rezept=\"" + std::to_string(line.IsRecipeID()) + "\"";
        if (!line.Verarbeitung().empty())
            text += Attribute("hinweis", line.Verarbeitung());
        if (!line.Zubereitung().empty())
            text += Attribute("zubereitung", line.Zubereitung());
        engine.WriteExportLine(text + ">" + XMLEscape(Trim(line.Ingredient(), " \t"), true) + "</zutat>");
    }
    if (open)
        engine.WriteExportLine("    </zutaten>");
    WriteLines(engine, "zubereitung", "schritt", recipe.Zubereitung());
    WriteLines(engine, "notizen", "zeile", recipe.Notizen());
    if (AppContext::Current().Options.ExportNoPictures == 0 && recipe.PictureCount() >= 1) {
        const std::optional<Blob> data = PictureData(recipe.Picture(1));
        if (data && !data->empty())
            engine.WriteExportLine("    <bild format=\"" + PictureFileType(*data, false) + "\">" +
                                       EncodeBase64(std::string_view(
                                           reinterpret_cast<const char*>(data->data()), data->size())) +
                                       "</bild>",
                                   false, false, true);
    }
    engine.WriteExportLine("  </rezept>");
}

void CookbookXmlMediaClose(clsRecipeExport& engine)
{
    engine.WriteExportLine("</kochbuch>");
}

} // namespace pf
