#include "lexicon/LexiconMaintenance.h"

#include "db/Database.h"
#include "db/Recordset.h"

namespace pf {

MaintenanceList DuplicateFoodKeys(Database& db)
{
    MaintenanceList list{{"Stichwort", "Anzahl", "Lebensmittel"}, {}};
    auto rs = db.OpenRecordset("SELECT [KEY], COUNT(*) AS N FROM T_INFO_KEY WHERE KEYTYPE=3 GROUP BY [KEY] "
                               "HAVING COUNT(*)>1 ORDER BY [KEY]");
    for (; !rs->Eof(); rs->MoveNext()) {
        const std::string key = rs->Field("KEY").AsText();
        std::string foods;
        auto named =
            db.OpenRecordset("SELECT T_BLS_KEY.SBLS, T_BLS_KEY.ST FROM T_INFO_KEY INNER JOIN T_BLS_KEY ON "
                             "T_INFO_KEY.ID=T_BLS_KEY.ID WHERE T_INFO_KEY.KEYTYPE=3 AND "
                             "T_INFO_KEY.[KEY]=? ORDER BY T_BLS_KEY.SBLS",
                             {Value(key)});
        for (; !named->Eof(); named->MoveNext())
            foods += (foods.empty() ? "" : "; ") + named->Field("SBLS").AsText() + " " +
                     named->Field("ST").AsText();
        list.Rows.push_back({key, std::to_string(rs->Field("N").AsLong()), foods});
    }
    return list;
}

MaintenanceList EntriesWithoutDescription(Database& db)
{
    MaintenanceList list{{"Bereich", "Nummer", "Stichwort"}, {}};
    const struct
    {
        const char* Area;
        const char* Sql;
    } queries[] = {
        {"Zusatzstoffe",
         "SELECT T_INFO_KEY.ID, T_INFO_KEY.[KEY] FROM T_INFO_KEY INNER JOIN T_GIFT ON "
         "T_INFO_KEY.ID=T_GIFT.ID "
         "WHERE T_INFO_KEY.KEYTYPE=1 AND (T_GIFT.Info Is Null OR T_GIFT.Info='') ORDER BY T_INFO_KEY.[KEY]"},
        {"Utensilien",
         "SELECT T_INFO_KEY.ID, T_INFO_KEY.[KEY] FROM T_INFO_KEY INNER JOIN T_GERAET ON "
         "T_INFO_KEY.ID=T_GERAET.ID WHERE T_INFO_KEY.KEYTYPE=2 AND (T_GERAET.GerMerkmalD Is Null OR "
         "T_GERAET.GerMerkmalD='') ORDER BY T_INFO_KEY.[KEY]"},
    };
    for (const auto& query : queries)
        for (auto rs = db.OpenRecordset(query.Sql); !rs->Eof(); rs->MoveNext())
            list.Rows.push_back(
                {query.Area, std::to_string(rs->Field("ID").AsLong()), rs->Field("KEY").AsText()});
    return list;
}

} // namespace pf
