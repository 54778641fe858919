#pragma once
// Whether a file database's word index holds exactly the texts of the recipe rows: every recipe's
// titles and joined rows are taken out of it again, as the removal triggers would take them out,
// and the index must then be empty. A recipe indexed with other text than its rows hold leaves
// pieces behind (or makes the engine report the index as damaged); so does one it never learnt.
// Recipes still waiting to be indexed must have nothing in it; once they are indexed, the index
// must agree with all rows. Everything is undone afterwards.

#include "db/Database.h"
#include "db/DbError.h"
#include "db/SearchIndex.h"
#include "db/SqliteDatabase.h"

#include <limits>
#include <regex>
#include <string>
#include <utility>
#include <vector>

namespace pf::test {

// Empty when the index agrees with the rows (or the database has none), else what is left over.
inline std::string IndexDisagreement(Database& db)
{
    auto* file = dynamic_cast<SqliteDatabase*>(&db);
    if (!file || !db.TableExists(kTitleIndexTable))
        return {};
    struct Table
    {
        const char* Index;
        const char* Columns; // the indexed columns
        const char* Texts;   // rowid and the indexed columns' texts, in their order
    };
    const Table tables[] = {
        {kTitleIndexTable, "RezTitle,RezMenuCard",
         "SELECT ID, RezTitle, CASE WHEN RezMenuCard IS RezTitle COLLATE BINARY THEN NULL ELSE "
         "RezMenuCard END FROM T_REZ_KOPF"},
        {kTextIndexTable, "AnwText",
         "SELECT ID, group_concat(AnwText, char(10)) FROM (SELECT ID, AnwText FROM T_REZ_ANWEIS "
         "ORDER BY ID, \"NO\") GROUP BY ID"},
        {kIngredientIndexTable, "ZutText",
         "SELECT ID, group_concat(ZutText, char(10)) FROM (SELECT ID, ZutText FROM "
         "T_REZ_ZUTAT ORDER BY ID, \"No\") GROUP BY ID"},
    };
    const std::string waiting = std::string(" WHERE ID NOT IN (SELECT ID FROM ") + kPendingIndexTable + ")";
    std::string left;
    for (const bool indexedFirst : {false, true}) {
        DbTransaction undone(db); // never committed
        if (indexedFirst)
            IndexPendingRecipes(db, std::numeric_limits<std::size_t>::max());
        for (const Table& table : tables) {
            const std::string index = table.Index;
            try {
                file->ExecuteNative("INSERT INTO " + index + "(" + index + ",rowid," + table.Columns +
                                    ") SELECT 'delete', * FROM (" + table.Texts + ")" + waiting);
                file->ExecuteNative("CREATE VIRTUAL TABLE temp.pieces USING fts5vocab(main, " + index +
                                    ", 'row')");
                const long pieces = static_cast<long>(db.Scalar("SELECT count(*) FROM temp.pieces").AsLong());
                file->ExecuteNative("DROP TABLE temp.pieces");
                if (pieces != 0)
                    left += index + ": " + std::to_string(pieces) + " Stücke übrig" +
                            (indexedFirst ? " (nachträglich indexiert)" : "") + "\n";
            } catch (const DbError& error) {
                left += index + ": " + error.Description() + "\n";
                break;
            }
        }
    }
    return left;
}

// Gives a file database's index the form of the version before the list of recipes still to
// index: no list, and triggers that do not consult it. The recipes waiting are indexed first.
inline void MakeIndexOfEarlierVersion(Database& db)
{
    auto& file = dynamic_cast<SqliteDatabase&>(db);
    IndexAllPendingRecipes(db);
    std::vector<std::pair<std::string, std::string>> triggers;
    for (auto rs = db.OpenRecordset("SELECT name,sql FROM sqlite_master WHERE type='trigger' AND "
                                    "name LIKE 'T_SUCHINDEX*'");
         !rs->Eof(); rs->MoveNext())
        triggers.emplace_back(rs->Field(0).AsText(), rs->Field(1).AsText());
    const std::regex consulting(" AND NOT EXISTS \\(SELECT 1 FROM T_SUCHINDEX_OFFEN WHERE ID=[A-Z.]+\\)");
    for (const auto& [name, sql] : triggers) {
        file.ExecuteNative("DROP TRIGGER " + name);
        file.ExecuteNative(std::regex_replace(sql, consulting, ""));
    }
    file.ExecuteNative(std::string("DROP TABLE ") + kPendingIndexTable);
}

} // namespace pf::test
