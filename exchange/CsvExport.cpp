#include "exchange/CsvExport.h"

#include "core/CsvText.h"
#include "core/Trim.h"
#include "exchange/ExportText.h"
#include "exchange/clsRecipeExport.h"
#include "model/ClRecipe.h"
#include "planning/ClMenu.h"
#include "planning/WeekPlanText.h"

#include <string>

namespace pf {

namespace {

void WriteRow(clsRecipeExport& engine, const std::vector<std::string>& fields)
{
    engine.WriteExportLine(CsvRow(fields, engine.CsvSeparator()), true);
}

} // namespace

void CsvMediaInit(clsRecipeExport& engine)
{
    std::string header = kWPCsvHeader;
    for (char& c : header)
        if (c == ';')
            c = engine.CsvSeparator();
    engine.WriteExportLine(header);
}

void ExportCsvRecipe(clsRecipeExport& engine, ClRecipe& recipe)
{
    const std::vector<std::string> category = engine.RecipeCategories(recipe, 1);
    WriteRow(engine, {"", category.empty() ? "" : category.front(), recipe.Title(),
                      std::string(Trim(NormalizeLineBreaks(recipe.Zubereitung()), " \t\r\n")), "", "Rezept",
                      std::to_string(recipe.id())});
}

void CsvMediaClose(clsRecipeExport& engine, const std::vector<long>& menuIds)
{
    for (const long id : menuIds) {
        ClMenu menu;
        menu.SetDB(&engine.Db());
        if (id < 1 || !menu.Loadr(id))
            continue;
        if (menu.IsWP()) {
            for (const std::vector<std::string>& row : WPCsvRows(menu))
                WriteRow(engine, row);
            continue;
        }
        const std::string date = menu.MenuDate().Days >= 2 ? ShortDateText(menu.MenuDate()) : "";
        for (int i = 1; i <= menu.CoursesCount(); ++i) {
            const bool generic = menu.CourseGeneric(i);
            WriteRow(engine,
                     {date, menu.Title(), menu.CourseTitle(i), menu.CourseDesc(i), "",
                      generic ? "Generisch" : "Rezept", std::to_string(generic ? 0 : menu.CourseRezID(i))});
        }
    }
}

} // namespace pf
