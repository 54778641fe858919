#include "exchange/HtmlExport.h"

#include "core/AppContext.h"
#include "exchange/ExportText.h"
#include "exchange/MMExport.h"
#include "exchange/clsRecipeExport.h"
#include "model/ClRecipe.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>

namespace pf {

namespace {

constexpr std::string_view kPropertyLine = "    <div class=\"pfannola-recipe-properties-line\"><div "
                                           "class=\"pfannola-recipe-properties-txt-1\">$1</div>"
                                           "<div class=\"pfannola-recipe-properties-txt-2\">$2</div></div>";
constexpr std::string_view kPictureLine = "  <div class=\"pfannola-recipe-img\"><a href=\"$1\" "
                                          "alt=\"Rezeptbild $2\" target=\"_blank\"><img src=\"$1\" "
                                          "alt=\"$2\" itemprop=\"image\" /></a></div>";

// Lines of HTML text go through the sink as they are: no "<br />", no conversion.
void Put(clsRecipeExport& engine, std::string_view line)
{
    engine.WriteExportLine(line, true, false);
}

int StyleKind(const clsRecipeExport& engine)
{
    return engine.HtmlFlags() & htmlflags::kStyleKindMask;
}

std::string PictureExtension(const Blob& data)
{
    auto starts = [&](std::initializer_list<int> bytes) {
        std::size_t i = 0;
        for (int b : bytes) {
            if (i >= data.size() || data[i] != b)
                return false;
            ++i;
        }
        return true;
    };
    if (starts({0x89, 'P', 'N', 'G'}))
        return ".png";
    if (starts({'G', 'I', 'F', '8'}))
        return ".gif";
    if (starts({'B', 'M'}))
        return ".bmp";
    return ".jpg";
}

// Saves the recipe's first picture beside the output file; the reference to it, empty when
// there is none or it cannot be written.
std::string SavePicture(clsRecipeExport& engine, ClRecipe& recipe)
{
    namespace fs = std::filesystem;
    if (recipe.PictureCount() < 1 || engine.ExportFile().empty())
        return {};
    const std::optional<Blob> data = PictureData(recipe.Picture(1));
    if (!data || data->empty())
        return {};
    const fs::path output(engine.ExportFile());
    const std::string name =
        output.stem().string() + "_" + std::to_string(recipe.id()) + PictureExtension(*data);
    std::ofstream file(output.parent_path() / name, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data->data()), static_cast<std::streamsize>(data->size()));
    if (!file)
        return {};
    if ((engine.HtmlFlags() & htmlflags::kPicturePathPrefix) == 0 || engine.PicturePath().empty())
        return name;
    std::string prefix = engine.PicturePath();
    if (prefix.back() != '/')
        prefix += '/';
    return prefix + name;
}

} // namespace

void HtmlMediaInit(clsRecipeExport& engine)
{
    const int kind = StyleKind(engine);
    if (kind >= 2)
        return;
    const AppContext& app = AppContext::Current();
    Put(engine, "<html>");
    Put(engine, "<head>");
    Put(engine, std::string("  <meta charset=\"") +
                    ((engine.HtmlFlags() & htmlflags::kUtf8) != 0 ? "UTF-8" : "ISO-8859-1") + "\">");
    if (kind == 0) {
        Put(engine, "  <link rel='stylesheet' id='pfannola-style-css'  href='pfannola.css' type='text/css' "
                    "media='all' />");
    } else {
        const std::string path = app.ShippedFile("PFANNOLA.CSS");
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            Put(engine, "<!-- Style Sheet Datei " + path + " nicht gefunden! -->");
        } else {
            Put(engine, "  <style>");
            std::string line;
            while (std::getline(file, line)) {
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                Put(engine, line);
            }
            Put(engine, "  </style>");
        }
    }
    Put(engine, "  <meta name=\"GENERATOR\" content=\"" + app.AppTitle + " v" + MMVersionText() + "\">");
    Put(engine, "  <title>" + app.AppTitle + " Export</title>");
    Put(engine, "</head>");
    Put(engine, "<body>");
}

void ExportHtmlRecipe(clsRecipeExport& engine, ClRecipe& recipe)
{
    const std::string title = recipe.Title();
    Put(engine, std::string("<div class=\"hrecipe pfannola-recipe\" itemscope itemtype=\"") +
                    kRecipeItemType + "\"> <!-- " + HTMLConvert(title) + " -->");
    Put(engine,
        HTMLReplace("  <a name=\"$1\"><h3 class=\"fn pfannola-recipe-title\" itemprop=\"name\">$1</h3></a>",
                    true, title));

    Put(engine, "  <div class=\"pfannola-recipe-properties\">");
    auto property = [&](const char* label, const std::string& value) {
        if (!value.empty())
            Put(engine, HTMLReplace(kPropertyLine, true, label, value));
    };
    property("Herkunft:", recipe.OriginName());
    property("Quellenangaben:", recipe.SourceText());
    std::string cats;
    for (const std::string& name : engine.RecipeCategories(recipe))
        cats += (cats.empty() ? "" : ", ") + name;
    property("Kategorien:", cats);
    property("Haltbarkeit:", clsRecipeExport::KopfHaltbarkeit(recipe));
    Put(engine, HTMLReplace(kPropertyLine, false, "Mengenangaben für:",
                            "<div class=\"yield\" itemprop=\"recipeYield\">" +
                                HTMLConvert(std::to_string(recipe.Yield()) + " " + recipe.YieldUnitText()) +
                                "</div>"));
    Put(engine, "  </div>");

    const AppContext& app = AppContext::Current();
    if (engine.ExportMode() == clsRecipeExport::kHtmlFile && app.Options.ExportHTMLBild == 0 &&
        app.Options.ExportNoPictures == 0) {
        const std::string picture = SavePicture(engine, recipe);
        if (!picture.empty())
            Put(engine, HTMLReplace(kPictureLine, true, picture, title));
    }

    Put(engine, "  <div class=\"pfannola-recipe-ingredient\">");
    Put(engine, "    <h4 class=\"pfannola-recipe-ingredient-title\">Zutaten</h4>");
    const int count = recipe.IngredCount();
    for (int i = 1; i <= count; ++i) {
        ClIngredient& line = recipe.Ingredient(i);
        std::string amount, unit, text;
        if (line.IsTrenner()) {
            text = line.Trennzeile();
        } else {
            if (line.OrgMeasurement() != Decimal4())
                amount = line.MengeTxt();
            unit = line.EinheitTxt();
            text = line.ZutatVerarbeitung();
        }
        Put(engine,
            "    <div class=\"ingredient pfannola-recipe-ingredients-line\" itemprop=\"ingredients\">");
        Put(engine, HTMLReplace("      <div class=\"amount pfannola-recipe-ingredient-txt-1\">$1</div>", true,
                                amount));
        Put(engine,
            HTMLReplace("      <div class=\"type pfannola-recipe-ingredient-txt-2\">$1</div>", true, unit));
        Put(engine,
            HTMLReplace("      <div class=\"name pfannola-recipe-ingredient-txt-3\">$1</div>", true, text));
        Put(engine, "    </div>");
    }
    Put(engine, "  </div>");

    Put(engine, "  <div class=\"pfannola-recipe-instruction\">");
    Put(engine, HTMLReplace("    <h4 class=\"pfannola-recipe-instruction-title\">$1</h4>", true,
                            "Zubereitungsanweisungen"));
    Put(engine,
        "    <div class=\"instructions pfannola-recipe-instruction-txt\" itemprop=\"recipeInstructions\">");
    Put(engine, "    <ul>");
    const std::string text = NormalizeLineBreaks(recipe.Zubereitung());
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        std::string_view line(text.data() + start, end - start);
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos) {
            if (end < text.size())
                Put(engine, "    <br />");
        } else {
            line = line.substr(first, line.find_last_not_of(" \t") - first + 1);
            Put(engine, HTMLReplace("    <li>$1</li>", true, line));
        }
        start = end + 2;
    }
    Put(engine, "    </ul>");
    Put(engine, "    </div>");
    Put(engine, "  </div>");
    Put(engine, "<!-- <a href=\"#" + HTMLConvert(title) + "\">Zum Rezeptanfang</a> -->");
    Put(engine, "</div>");
}

void HtmlMediaClose(clsRecipeExport& engine, const std::string& titleIndex, bool downloadSection)
{
    if (!titleIndex.empty()) {
        Put(engine, "<ul class=\"pfannola-index\">");
        std::istringstream lines(titleIndex);
        std::string line;
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            Put(engine, line);
        }
        Put(engine, "</ul>");
    }
    if (downloadSection) {
        const std::string name = engine.ExportFile().empty()
                                     ? std::string("###dateiname###")
                                     : std::filesystem::path(engine.ExportFile()).stem().string();
        Put(engine, "<div class=\"pfannola-download\">");
        Put(engine, "  <div><a title=\"Meal-Master\" href=\"" + name +
                        ".mm\" target=\"_blank\">Mealmaster</a></div>");
        Put(engine, "  <div style=\"text-align:center;\"><a title=\"Mensax\" href=\"" + name +
                        ".mnx\" target=\"_blank\" download>Mensax</a></div>");
        Put(engine, "  <div style=\"text-align:right;\"><a title=\"Pfannola Kochbuch\" href=\"" + name +
                        ".zip\" target=\"_blank\" download>Pfannola Kochbuch</a></div>");
        Put(engine, "</div>");
    }
    if (StyleKind(engine) < 2) {
        Put(engine, "</body>");
        Put(engine, "</html>");
    }
}

} // namespace pf
