#include "exchange/StructureExport.h"

#include "db/Database.h"
#include "db/Recordset.h"
#include "exchange/clsRecipeExport.h"
#include "model/ClRecipe.h"

#include <algorithm>
#include <string>
#include <vector>

namespace pf {

namespace {

// Deeper trees are cut: no kitchen nests sub-recipes that far, only a faulty database.
constexpr int kMaxDepth = 20;

std::string Named(const std::string& title, long id)
{
    return title + " (#" + std::to_string(id) + ")";
}

std::string TitleOf(Database& db, long id)
{
    auto rs = db.OpenRecordset("SELECT RezTitle FROM T_REZ_KOPF WHERE ID=?", {Value(id)});
    return rs->Eof() ? std::string() : rs->Field(0).AsText();
}

void WriteSubRecipes(clsRecipeExport& engine, long id, std::vector<long>& path)
{
    Database& db = engine.Db();
    std::vector<std::pair<long, std::string>> used;
    {
        auto rs = db.OpenRecordset("SELECT ZutBLSID, ZutText FROM T_REZ_ZUTAT WHERE ID=? AND ZutRezept<>0 "
                                   "ORDER BY [No]",
                                   {Value(id)});
        for (; !rs->Eof(); rs->MoveNext())
            used.emplace_back(static_cast<long>(rs->Field(0).AsLong()), rs->Field(1).AsText());
    }
    const std::string indent(path.size() * 2, ' ');
    for (const auto& [subId, text] : used) {
        const std::string title = TitleOf(db, subId);
        if (title.empty()) {
            engine.WriteExportLine(indent + "Unterrezept: " + text + " (#" + std::to_string(subId) +
                                   ", nicht vorhanden)");
        } else if (std::find(path.begin(), path.end(), subId) != path.end() ||
                   static_cast<int>(path.size()) >= kMaxDepth) {
            engine.WriteExportLine(indent + "Unterrezept: " + Named(title, subId) + " (Kreisbezug)");
        } else {
            engine.WriteExportLine(indent + "Unterrezept: " + Named(title, subId));
            path.push_back(subId);
            WriteSubRecipes(engine, subId, path);
            path.pop_back();
        }
    }
}

} // namespace

void ExportRecipeStructure(clsRecipeExport& engine, ClRecipe& recipe)
{
    Database& db = engine.Db();
    const long id = recipe.id();
    engine.WriteExportLine(Named(recipe.Title(), id) + ", " + std::to_string(recipe.Yield()) + " " +
                           recipe.YieldUnitText());
    if (recipe.rezparent() > 0) {
        const std::string parent = TitleOf(db, recipe.rezparent());
        if (!parent.empty())
            engine.WriteExportLine("  Variante von: " + Named(parent, recipe.rezparent()));
    }
    std::vector<long> path{id};
    WriteSubRecipes(engine, id, path);
    auto rs = db.OpenRecordset("SELECT ID, RezTitle FROM T_REZ_KOPF WHERE RezParent=? AND ID<>? ORDER BY ID",
                               {Value(id), Value(id)});
    for (; !rs->Eof(); rs->MoveNext())
        engine.WriteExportLine("  Variante: " +
                               Named(rs->Field(1).AsText(), static_cast<long>(rs->Field(0).AsLong())));
    auto users =
        db.OpenRecordset("SELECT DISTINCT T_REZ_KOPF.ID, T_REZ_KOPF.RezTitle FROM T_REZ_ZUTAT INNER JOIN "
                         "T_REZ_KOPF ON T_REZ_ZUTAT.ID=T_REZ_KOPF.ID WHERE T_REZ_ZUTAT.ZutBLSID=? AND "
                         "T_REZ_ZUTAT.ZutRezept<>0 ORDER BY T_REZ_KOPF.ID",
                         {Value(id)});
    for (; !users->Eof(); users->MoveNext())
        engine.WriteExportLine("  Verwendet in: " +
                               Named(users->Field(1).AsText(), static_cast<long>(users->Field(0).AsLong())));
    engine.WriteExportLine("");
}

} // namespace pf
