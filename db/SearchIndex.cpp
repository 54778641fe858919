#include "db/SearchIndex.h"

#include "core/Utf8.h"
#include "db/Recordset.h"
#include "db/SqliteDatabase.h"

#include <sqlite3.h>

#include <algorithm>

namespace pf {

namespace {

// Trigrams without positions (detail=none) and without a copy of the text (content=''): the
// index only narrows the candidates, so positions would buy nothing but size.
constexpr const char* kTableOptions = "content='', detail='none', columnsize=0, tokenize='trigram'";

// A recipe's instructions as one text, its rows in order; a row only when the recipe has one.
// Every change of a row takes the recipe's text out of the index before it and puts it back
// after it, so the text taken out is always the text that was put in.
std::string RecipeText(const std::string& id)
{
    return "(SELECT group_concat(AnwText, char(10)) AS T, count(*) AS N FROM (SELECT AnwText FROM "
           "T_REZ_ANWEIS WHERE ID=" +
           id + " ORDER BY \"NO\")) WHERE N>0";
}

std::string TextOut(const std::string& id)
{
    return std::string("INSERT INTO ") + kTextIndexTable + "(" + kTextIndexTable + ",rowid,AnwText) SELECT " +
           "'delete'," + id + ",T FROM " + RecipeText(id) + ";";
}

std::string TextIn(const std::string& id)
{
    return std::string("INSERT INTO ") + kTextIndexTable + "(rowid,AnwText) SELECT " + id + ",T FROM " +
           RecipeText(id) + ";";
}

} // namespace

bool IsSearchIndexObject(const std::string& name)
{
    const std::string prefix = kSearchIndexPrefix;
    return name.size() >= prefix.size() && EqualsNoCase(name.substr(0, prefix.size()), prefix);
}

namespace {

struct Trigger
{
    std::string Name;
    std::string Sql;
    bool OnInsert; // suspended while an import batch stores new recipes
};

std::vector<Trigger> Triggers()
{
    const std::string title = kTitleIndexTable;
    auto titleRow = [&](const std::string& row, bool remove) {
        return "INSERT INTO " + title + "(" + (remove ? title + "," : "") +
               "rowid,RezTitle,RezMenuCard) SELECT " + (remove ? "'delete'," : "") + row + ".ID," + row +
               ".RezTitle," + row + ".RezMenuCard WHERE " + row + ".ID IS NOT NULL;";
    };
    // An update that leaves the indexed columns as they were (a recipe saved again) costs nothing.
    const std::string titleChanged =
        "OLD.ID IS NOT NEW.ID OR OLD.RezTitle IS NOT NEW.RezTitle COLLATE BINARY OR "
        "OLD.RezMenuCard IS NOT NEW.RezMenuCard COLLATE BINARY";
    const std::string textChanged = "OLD.ID IS NOT NEW.ID OR OLD.\"NO\" IS NOT NEW.\"NO\" OR OLD.AnwText IS "
                                    "NOT NEW.AnwText COLLATE BINARY";
    std::vector<Trigger> out = {
        {"T_SUCHINDEX_KOPF_NEU", "AFTER INSERT ON T_REZ_KOPF BEGIN " + titleRow("NEW", false), true},
        {"T_SUCHINDEX_KOPF_WEG", "AFTER DELETE ON T_REZ_KOPF BEGIN " + titleRow("OLD", true), false},
        {"T_SUCHINDEX_KOPF_AENDERUNG",
         "AFTER UPDATE OF ID,RezTitle,RezMenuCard ON T_REZ_KOPF WHEN " + titleChanged + " BEGIN " +
             titleRow("OLD", true) + " " + titleRow("NEW", false),
         false},
        {"T_SUCHINDEX_ANWEIS_VOR_NEU", "BEFORE INSERT ON T_REZ_ANWEIS BEGIN " + TextOut("NEW.ID"), true},
        {"T_SUCHINDEX_ANWEIS_NEU", "AFTER INSERT ON T_REZ_ANWEIS BEGIN " + TextIn("NEW.ID"), true},
        {"T_SUCHINDEX_ANWEIS_VOR_WEG", "BEFORE DELETE ON T_REZ_ANWEIS BEGIN " + TextOut("OLD.ID"), false},
        {"T_SUCHINDEX_ANWEIS_WEG", "AFTER DELETE ON T_REZ_ANWEIS BEGIN " + TextIn("OLD.ID"), false},
        {"T_SUCHINDEX_ANWEIS_VOR_AENDERUNG",
         "BEFORE UPDATE OF ID,\"NO\",AnwText ON T_REZ_ANWEIS WHEN " + textChanged + " BEGIN " +
             TextOut("OLD.ID"),
         false},
        {"T_SUCHINDEX_ANWEIS_AENDERUNG",
         "AFTER UPDATE OF ID,\"NO\",AnwText ON T_REZ_ANWEIS WHEN " + textChanged + " BEGIN " +
             TextIn("OLD.ID"),
         false},
        {"T_SUCHINDEX_ANWEIS_VOR_WECHSEL",
         "BEFORE UPDATE OF ID ON T_REZ_ANWEIS WHEN NEW.ID IS NOT OLD.ID BEGIN " + TextOut("NEW.ID"), false},
        {"T_SUCHINDEX_ANWEIS_WECHSEL",
         "AFTER UPDATE OF ID ON T_REZ_ANWEIS WHEN NEW.ID IS NOT OLD.ID BEGIN " + TextIn("NEW.ID"), false},
    };
    for (Trigger& trigger : out)
        trigger.Sql = "CREATE TRIGGER " + trigger.Name + " " + trigger.Sql + " END";
    return out;
}

// Puts the titles and instructions of the recipes the condition selects into the index.
std::vector<std::string> FillStatements(const std::string& condition)
{
    return {
        std::string("INSERT INTO ") + kTitleIndexTable +
            "(rowid,RezTitle,RezMenuCard) SELECT ID,RezTitle,RezMenuCard FROM T_REZ_KOPF WHERE " + condition,
        std::string("INSERT INTO ") + kTextIndexTable +
            "(rowid,AnwText) SELECT ID,group_concat(AnwText, char(10)) FROM (SELECT ID,AnwText FROM "
            "T_REZ_ANWEIS "
            "WHERE " +
            condition + " ORDER BY ID,\"NO\") GROUP BY ID",
    };
}

SqliteDatabase* WithIndex(Database& db)
{
    return HasSearchIndex(db) ? dynamic_cast<SqliteDatabase*>(&db) : nullptr;
}

} // namespace

std::vector<std::string> SearchIndexStatements()
{
    std::vector<std::string> out = {
        std::string("CREATE VIRTUAL TABLE ") + kTitleIndexTable + " USING fts5(RezTitle, RezMenuCard, " +
            kTableOptions + ")",
        std::string("CREATE VIRTUAL TABLE ") + kTextIndexTable + " USING fts5(AnwText, " + kTableOptions +
            ")",
    };
    for (std::string& sql : FillStatements("ID IS NOT NULL"))
        out.push_back(std::move(sql));
    for (const Trigger& trigger : Triggers())
        out.push_back(trigger.Sql);
    return out;
}

bool SuspendIndexOfNewRecipes(Database& db)
{
    SqliteDatabase* file = WithIndex(db);
    if (!file)
        return false;
    for (const Trigger& trigger : Triggers())
        if (trigger.OnInsert)
            file->ExecuteNative("DROP TRIGGER IF EXISTS " + trigger.Name);
    return true;
}

void IndexNewRecipes(Database& db, const std::vector<long>& ids)
{
    auto* file = dynamic_cast<SqliteDatabase*>(&db);
    if (!file || !db.TableExists(kTitleIndexTable) || !db.TableExists(kTextIndexTable))
        return;
    // In pieces, so that no statement grows without bound.
    constexpr std::size_t kPiece = 2000;
    for (std::size_t first = 0; first < ids.size(); first += kPiece) {
        std::string list;
        for (std::size_t i = first; i < std::min(ids.size(), first + kPiece); ++i)
            list += (list.empty() ? "" : ",") + std::to_string(ids[i]);
        for (const std::string& sql : FillStatements("ID IN (" + list + ")"))
            file->ExecuteNative(sql);
    }
    for (const Trigger& trigger : Triggers())
        if (trigger.OnInsert) {
            file->ExecuteNative("DROP TRIGGER IF EXISTS " + trigger.Name);
            file->ExecuteNative(trigger.Sql);
        }
}

bool HasSearchIndex(Database& db)
{
    auto* file = dynamic_cast<SqliteDatabase*>(&db);
    return file && db.TableExists(kTitleIndexTable) && db.TableExists(kTextIndexTable);
}

void CreateSearchIndex(Database& db)
{
    auto* file = dynamic_cast<SqliteDatabase*>(&db);
    if (!file || HasSearchIndex(db) || !db.TableExists("T_REZ_KOPF") || !db.TableExists("T_REZ_ANWEIS"))
        return;
    DbTransaction transaction(db);
    if (db.TableExists(kTitleIndexTable) || db.TableExists(kTextIndexTable))
        DropSearchIndex(db); // half of an index: build it anew
    for (const std::string& sql : SearchIndexStatements())
        file->ExecuteNative(sql);
    transaction.Commit();
}

void DropSearchIndex(Database& db)
{
    auto* file = dynamic_cast<SqliteDatabase*>(&db);
    if (!file)
        return;
    std::vector<std::string> triggers;
    for (auto rs = db.OpenRecordset("SELECT name FROM sqlite_master WHERE type='trigger'"); !rs->Eof();
         rs->MoveNext())
        if (IsSearchIndexObject(rs->Field(0).AsText()))
            triggers.push_back(rs->Field(0).AsText());
    for (const std::string& trigger : triggers)
        file->ExecuteNative("DROP TRIGGER IF EXISTS " + trigger);
    for (const char* table : {kTitleIndexTable, kTextIndexTable})
        file->ExecuteNative(std::string("DROP TABLE IF EXISTS ") + table);
}

bool CreateSearchIndex(sqlite3* db)
{
    for (const std::string& sql : SearchIndexStatements())
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            return false;
    return true;
}

} // namespace pf
