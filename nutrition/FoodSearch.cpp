#include "nutrition/FoodSearch.h"

#include "db/Database.h"
#include "db/Recordset.h"

#include <algorithm>

namespace pf {

std::vector<FoodHit> SearchFoodsByName(Database& db, const std::string& term,
                                       const FoodSearchOptions& options)
{
    const std::string column = options.LanguageSuffix == "E" ? "STE" : "ST";
    const std::string pattern = (options.Detailed ? "*" : "") + term + "*";
    std::string filter;
    if (options.MainOnly)
        filter += " AND (ProduktHauptFlag<>0)";
    if (options.OwnOnly)
        filter += " AND (Userflag<>0)";
    std::vector<FoodHit> hits;
    auto rs = db.OpenRecordset("SELECT ID,SBLS," + column + " FROM T_BLS_KEY WHERE " + column + " LIKE ?" +
                                   filter + " ORDER BY " + column,
                               {pattern});
    for (; !rs->Eof(); rs->MoveNext())
        hits.push_back(
            {rs->Field(2).AsText(), rs->Field(1).AsText(), static_cast<long>(rs->Field(0).AsLong())});
    const std::size_t foods = hits.size();
    auto addSynonym = [&](Recordset& row) {
        FoodHit hit{row.Field(3).AsText() + " [Synonym " + row.Field(1).AsText() + "]", row.Field(2).AsText(),
                    static_cast<long>(row.Field(0).AsLong())};
        if (std::none_of(hits.begin(), hits.end(), [&](const FoodHit& h) { return h.Text == hit.Text; }))
            hits.push_back(std::move(hit));
    };
    if (options.InSynonyms) {
        auto syn = db.OpenRecordset(
            "SELECT DISTINCT T_INFO_KEY.ID,T_INFO_KEY.[KEY],SBLS," + column +
                " FROM T_INFO_KEY INNER JOIN T_BLS_KEY ON T_INFO_KEY.ID = T_BLS_KEY.ID WHERE "
                "(T_INFO_KEY.KEYTYPE=3) AND T_INFO_KEY.[KEY] LIKE ?" +
                filter,
            {pattern});
        for (; !syn->Eof(); syn->MoveNext())
            addSynonym(*syn);
    }
    if (options.ShowAllSynonyms && foods > 0) {
        std::string ids;
        for (std::size_t i = 0; i < foods; ++i)
            ids += (i ? "," : "") + std::to_string(hits[i].Id);
        auto syn =
            db.OpenRecordset("SELECT DISTINCT T_INFO_KEY.ID,T_INFO_KEY.[KEY],SBLS," + column +
                             " FROM T_INFO_KEY INNER JOIN T_BLS_KEY ON T_INFO_KEY.ID = T_BLS_KEY.ID WHERE "
                             "(T_INFO_KEY.KEYTYPE=3) AND T_INFO_KEY.ID IN (" +
                             ids + ")");
        for (; !syn->Eof(); syn->MoveNext())
            addSynonym(*syn);
    }
    return hits;
}

} // namespace pf
