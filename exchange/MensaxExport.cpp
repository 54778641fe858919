#include "exchange/MensaxExport.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Language.h"
#include "core/Markup.h"
#include "core/Trim.h"
#include "db/BaseData.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "exchange/ExportText.h"
#include "exchange/MMExport.h"
#include "exchange/clsRecipeExport.h"
#include "model/ClRecipe.h"
#include "model/clBlob.h"
#include "planning/ClMenu.h"

#include <cstdio>

namespace pf {

namespace {

std::string Fingerprint(std::int32_t fp1, std::int32_t fp2)
{
    return std::to_string(fp1) + "," + std::to_string(fp2);
}

// The lines of a text split at line breaks of any kind; an empty text has no lines.
std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    if (text.empty())
        return lines;
    const std::string normal = NormalizeLineBreaks(text);
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = normal.find("\r\n", start);
        lines.push_back(normal.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            break;
        start = end + 2;
    }
    return lines;
}

// A text as the file carries it: reduced to the characters the format holds (what the line sink
// does anyway) and trimmed, as readers trim what they read; so what is written is what comes back.
std::string Trimmed(std::string_view text)
{
    return std::string(Trim(AnsiToUtf8(text), " \t"));
}

void WriteHead(clsRecipeExport& engine, ClRecipe& recipe)
{
    engine.WriteExportLine("  <recipe lang=\"" + MensaxLanguageCode(recipe.LanguageID()) + "\">", false,
                           false, true);
    ClFingerprint& fingerprint = recipe.Fingerprint();
    engine.WriteExportLine("    <head title=\"" + XMLEscape(Trimmed(recipe.Title()), false) +
                           "\" servingqty=\"" + std::to_string(recipe.Yield()) + "\" servingtype=\"" +
                           XMLEscape(Trimmed(recipe.YieldUnitText()), false) + "\" rid=\"" +
                           Fingerprint(fingerprint.FP1(), fingerprint.FP2()) + "\">");
    for (const std::string& names : engine.RecipeCategories(recipe)) {
        std::size_t start = 0;
        while (start <= names.size()) {
            const std::size_t comma = std::min(names.find(',', start), names.size());
            const std::string name = Trimmed(std::string_view(names).substr(start, comma - start));
            if (!name.empty())
                engine.WriteExportLine("      <cat>" + XMLEscape(name, true) + "</cat>");
            start = comma + 1;
        }
    }
    std::string source =
        recipe.Sourcebook() != 0 ? engine.LiteratureTitle(recipe.Sourcebook()) : std::string();
    if (!source.empty()) {
        if (recipe.SourcePage() > 0)
            source += ", Seite " + std::to_string(recipe.SourcePage());
    } else {
        source = recipe.SourceText();
    }
    for (const std::string& line : SplitLines(XMLEscape(source, true)))
        engine.WriteExportLine("      <sourceline>" + Trimmed(line) + "</sourceline>");
    if (AppContext::Current().Options.ExportNoPictures == 0 && recipe.PictureCount() >= 1) {
        const std::optional<Blob> data = PictureData(recipe.Picture(1));
        if (data && !data->empty()) {
            const std::string type = PictureFileType(*data, true);
            engine.WriteExportLine("      <picbin format=\"" + type + "\">" +
                                       EncodeBase64(std::string_view(
                                           reinterpret_cast<const char*>(data->data()), data->size())) +
                                       "</picbin>",
                                   false, false, true);
        }
    }
    engine.WriteExportLine("    </head>");
}

void WriteIngredients(clsRecipeExport& engine, ClRecipe& recipe)
{
    const int count = recipe.IngredCount();
    if (count <= 0)
        return;
    if (!recipe.Ingredient(1).IsTrenner())
        engine.WriteExportLine("    <part>");
    std::string& codes = engine.FoodKeyCodes();
    for (int i = 1; i <= count; ++i) {
        ClIngredient& line = recipe.Ingredient(i);
        if (line.IsTrenner()) {
            if (i > 1)
                engine.WriteExportLine("    </part>");
            // Escaped like every other attribute, so that a heading with a quote stays readable XML.
            engine.WriteExportLine("    <part title=\"" + XMLEscape(Trimmed(line.Trennzeile()), false) +
                                   "\">");
            continue;
        }
        std::string text = "      <ingredient qty=\"" + line.Menge().ToString() + "\" unit=\"" +
                           XMLEscape(Trimmed(line.EinheitTxt()), false) + "\"" + " item=\"" +
                           XMLEscape(Trimmed(line.Ingredient()), false) + "\"";
        const std::string rid = line.IsRecipe() ? engine.RecipeFingerprint(line.IsRecipeID()) : "";
        if (!rid.empty()) {
            text += " rid = \"" + rid + "\"";
        } else if (!line.IsRecipe()) {
            const std::string code = line.BLSCode(engine.Db());
            if (!code.empty()) {
                text += " bls=\"" + code + "\"";
                codes += "," + code;
            }
        }
        if (!line.Verarbeitung().empty() || !line.Zubereitung().empty()) {
            text += ">\r\n";
            // A range kept with an en dash would lose its dash here and read "(23)".
            if (!line.Verarbeitung().empty())
                text += "        <inote>" + XMLEscape(Trimmed(PlainRangeNote(line.Verarbeitung())), true) +
                        "</inote>\r\n";
            if (!line.Zubereitung().empty())
                text += "        <preparation>" + XMLEscape(Trimmed(line.Zubereitung()), true) +
                        "</preparation>\r\n";
            text += "      </ingredient>";
        } else {
            text += "       />";
        }
        engine.WriteExportLine(text);
    }
    engine.WriteExportLine("    </part>");
}

void WritePreparation(clsRecipeExport& engine, ClRecipe& recipe)
{
    engine.WriteExportLine("    <preparation>");
    for (const std::string& line : SplitLines(recipe.Zubereitung()))
        engine.WriteExportLine("      <step>" + XMLEscape(Trimmed(line), true) + "</step>");
    engine.WriteExportLine("    </preparation>");
}

void WriteRecipeEnd(clsRecipeExport& engine, ClRecipe& recipe)
{
    std::string remark = recipe.Notizen();
    if (!remark.empty() && !recipe.SourceText().empty())
        remark += "\r\n\r\n";
    remark += recipe.SourceText();
    if (!remark.empty()) {
        engine.WriteExportLine("    <remark>");
        for (const std::string& line : SplitLines(XMLEscape(remark, true)))
            if (!Trimmed(line).empty())
                engine.WriteExportLine("      <line>" + Trimmed(line) + "</line>");
        engine.WriteExportLine("    </remark>");
    }
    engine.WriteExportLine("  </recipe>");
}

} // namespace

std::string XMLEscape(std::string_view text, bool minimal)
{
    return MarkupEscaped(text, minimal ? MarkupSet::Minimal : MarkupSet::Xml);
}

std::string PictureFileType(const Blob& data, bool messages)
{
    auto at = [&](std::size_t from, std::string_view bytes) {
        if (data.size() < from + bytes.size())
            return false;
        for (std::size_t i = 0; i < bytes.size(); ++i)
            if (static_cast<char>(data[from + i]) != bytes[i])
                return false;
        return true;
    };
    auto upperAt = [&](std::size_t from, std::string_view bytes) {
        if (data.size() < from + bytes.size())
            return false;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            char c = static_cast<char>(data[from + i]);
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
            if (c != bytes[i])
                return false;
        }
        return true;
    };
    if (at(6, "JFIF") || upperAt(6, "EXIF"))
        return "jpg";
    if (at(0, "BM"))
        return "bmp";
    if (at(0, "GIF"))
        return "gif";
    if (at(0, "\x89PNG"))
        return "png";
    if (messages) {
        std::string hex;
        std::string chars;
        for (std::size_t i = 0; i < 16 && i < data.size(); ++i) {
            char code[4];
            std::snprintf(code, sizeof code, "%02X ", static_cast<unsigned>(data[i]));
            hex += code;
            // Bytes that are no printable ASCII would make the code unreadable in a message.
            chars += data[i] < 32 ? '0' : data[i] < 128 ? static_cast<char>(data[i]) : '?';
        }
        UI().Inform("Derzeit nicht unterstützter Bild-Typ.\r\nBitte das Rezept als " +
                        AppContext::Current().AppTitle +
                        "-Kochbuchexport zur Analyse zusenden.\r\n\r\nAnalysecode:\r\n" + hex + chars,
                    MsgIcon::Information, AppContext::Current().AppTitle);
    }
    return {};
}

std::string MensaxLanguageCode(long languageId)
{
    std::string label = LanguageShort(languageId);
    if (!label.starts_with("[") || label.find('?') != std::string::npos)
        label = LanguageShort(1);
    return label.substr(1, 2);
}

void MensaxMediaInit(clsRecipeExport& engine)
{
    engine.WriteExportLine("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>");
    engine.WriteExportLine("<?xml-stylesheet href=\"mensax.xsl\" type=\"text/xsl\" ?>");
    engine.WriteExportLine("<!DOCTYPE mensax SYSTEM \"mensax.dtd\">");
    engine.WriteExportLine("<mensax version=\"1.1.3\" prog=\"" + AppContext::Current().AppTitle +
                           "\" progver=\"" + MMVersionText() + "\">");
}

void ExportMensaxRecipe(clsRecipeExport& engine, ClRecipe& recipe)
{
    WriteHead(engine, recipe);
    WriteIngredients(engine, recipe);
    WritePreparation(engine, recipe);
    WriteRecipeEnd(engine, recipe);
}

void ExportMensaxMenus(clsRecipeExport& engine, const std::vector<long>& menuIds)
{
    for (const long id : menuIds) {
        ClMenu menu;
        menu.SetDB(&engine.Db());
        if (id < 1 || !menu.Loadr(id))
            continue;
        // The title is escaped like every attribute, so that a quote in it keeps the file readable.
        std::string head = "  <menu title=\"" + XMLEscape(Trimmed(menu.Title()), false) + "\" amount=\"" +
                           std::to_string(menu.Yield()) + "\"";
        if (menu.MenuDate().Days > 1) {
            int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
            menu.MenuDate().ToParts(year, month, day, hour, minute, second);
            char date[16];
            std::snprintf(date, sizeof date, "%04d-%02d-%02d", year, month, day);
            head += std::string(" date=\"") + date + "\"";
        }
        engine.WriteExportLine(head + ">");
        // Descriptions are plain text here, so the formatted variant never differs and is not written.
        if (const std::string text = Trimmed(menu.Description()); !text.empty())
            engine.WriteExportLine("    <frontpage datatype=\"text\" value=\"\">" + XMLEscape(text, false) +
                                   "\r\n    </frontpage>");
        if (const std::string text = Trimmed(menu.Notices()); !text.empty())
            engine.WriteExportLine("    <backpage datatype=\"text\">" + XMLEscape(text, false) +
                                   "    </backpage>");
        for (int i = 1; i <= menu.CoursesCount(); ++i) {
            ClRecipe* recipe = menu.CourseRecipe(i);
            // A course whose recipe is gone names what it stored, without a fingerprint.
            const std::string title = recipe ? recipe->Title() : menu.CourseTitle(i);
            // The fingerprint as stored now, the same the recipe's own block carries.
            const std::string rid = recipe ? engine.RecipeFingerprint(menu.CourseRezID(i)) : "";
            std::string line = "    <mrecipe amount=\"" +
                               std::to_string(recipe ? recipe->Yield() : menu.CourseYield(i)) + "\" rid=\"" +
                               (rid.empty() ? "0,0" : rid) + "\" title=\"" +
                               XMLEscape(Trimmed(title), false) + "\"";
            const std::string desc = Trimmed(menu.CourseDesc(i));
            if (!desc.empty() && desc != Trimmed(title))
                engine.WriteExportLine(line + ">\r\n      <desc>" + XMLEscape(desc, false) +
                                       "</desc>\r\n    </mrecipe>");
            else
                engine.WriteExportLine(line + " />");
        }
        engine.WriteExportLine("  </menu>");
    }
}

void MensaxMediaClose(clsRecipeExport& engine, const std::vector<long>& menuIds)
{
    ExportMensaxMenus(engine, menuIds);
    engine.WriteExportLine("</mensax>");
}

} // namespace pf
