#include "db/ChangeStamp.h"

#include "core/Utf8.h"
#include "db/Database.h"
#include "db/PgDatabase.h"
#include "db/Recordset.h"
#include "db/SqliteDatabase.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

namespace pf {

namespace {

// A table of recipe rows and the column that names the recipe.
struct StampedTable
{
    const char* Table;
    const char* Short; // in the trigger names
    const char* Key;
    const char* Condition; // on the row, for tables that hold other owners' rows too; "" for none
    // Ingredient lines and instruction rows are only ever added by a writer that writes the
    // recipe's head in the same transaction, and that head write moves the stamp; a trigger per
    // added line would only slow an import down by a third.
    bool StampInserts = true;
};

constexpr StampedTable kTables[] = {
    {"T_REZ_KOPF", "KOPF", "ID", ""},
    {"T_REZ_ZUTAT", "ZUTAT", "ID", "", false},
    {"T_REZ_ANWEIS", "ANWEIS", "ID", "", false},
    {"T_REZ_CAT_NDX", "CAT", "ID", ""},
    {"T_REZ_KOCHBUCH", "KOCHBUCH", "RezID", ""},
    {"T_REZ_GERAET", "GERAET", "RezID", ""},
    {"T_BLOB", "BLOB", "IDReference", "IDType=5"},
};

enum class Event { Insert, Delete, Update };
constexpr Event kEvents[] = {Event::Insert, Event::Delete, Event::Update};

// Whether the table carries a trigger for the event.
bool Stamped(const StampedTable& t, Event event)
{
    return event != Event::Insert || t.StampInserts;
}

std::string TriggerName(const StampedTable& t, Event event)
{
    static const char* const suffix[] = {"_NEU", "_WEG", "_AENDERUNG"};
    return std::string(kChangeStampTable) + "_" + t.Short + suffix[static_cast<int>(event)];
}

bool IsHead(const StampedTable& t)
{
    return std::string(t.Table) == "T_REZ_KOPF";
}

// --- file database: row triggers ---------------------------------------------------------------

std::string FileBump(const std::string& id)
{
    return std::string("UPDATE ") + kChangeStampTable + " SET Stand=Stand+1 WHERE ID=" + id + ";";
}

// A new head (or a head under a new ID) gets a stamp row first; stamp rows stay when a recipe goes,
// so that a recipe stored again under the same ID never shows an old stamp.
std::string FileStart(const std::string& id)
{
    return std::string("INSERT OR IGNORE INTO ") + kChangeStampTable + " (ID, Stand) VALUES (" + id + ", 0);";
}

std::string FileTrigger(const StampedTable& t, Event event)
{
    const std::string key = t.Key;
    const std::string cond = t.Condition;
    std::string head = "CREATE TRIGGER " + TriggerName(t, event) + " AFTER ";
    std::string body;
    std::string when;
    switch (event) {
    case Event::Insert:
        head += "INSERT";
        body = (IsHead(t) ? FileStart("NEW." + key) : "") + FileBump("NEW." + key);
        if (!cond.empty())
            when = "NEW." + cond;
        break;
    case Event::Delete:
        head += "DELETE";
        body = FileBump("OLD." + key);
        if (!cond.empty())
            when = "OLD." + cond;
        break;
    case Event::Update:
        head += "UPDATE";
        body = (IsHead(t) ? FileStart("NEW." + key) : "") + FileBump("OLD." + key) + " " +
               FileBump("NEW." + key + " AND NEW." + key + " IS NOT OLD." + key);
        if (!cond.empty())
            when = "OLD." + cond + " OR NEW." + cond;
        break;
    }
    return head + " ON " + t.Table + (when.empty() ? "" : " WHEN " + when) + " BEGIN " + body + " END";
}

// --- server: statement triggers over the changed rows ------------------------------------------

std::string ServerKeys(const StampedTable& t, Event event)
{
    const std::string key = ToLower(t.Key);
    const std::string where = *t.Condition ? " WHERE " + ToLower(t.Condition) : "";
    switch (event) {
    case Event::Insert:
        return "SELECT " + key + " FROM neu" + where;
    case Event::Delete:
        return "SELECT " + key + " FROM alt" + where;
    case Event::Update:
        break;
    }
    return "SELECT " + key + " FROM alt" + where + " UNION SELECT " + key + " FROM neu" + where;
}

std::vector<std::string> ServerTrigger(const StampedTable& t, Event event)
{
    const std::string name = ToLower(TriggerName(t, event));
    const std::string stamps = ToLower(kChangeStampTable);
    const std::string keys = ServerKeys(t, event);
    std::string body;
    if (IsHead(t) && event != Event::Delete)
        body = "INSERT INTO " + stamps + " (id, stand) SELECT DISTINCT k.id, 1 FROM (" + keys +
               ") AS k(id) WHERE k.id IS NOT NULL ON CONFLICT (id) DO UPDATE SET stand = " + stamps +
               ".stand + 1;";
    else
        // The changed IDs as one array, looked up in the stamps' key: as "IN (SELECT ...)" the server
        // plans a join that reads every stamp row for each statement, which slows a batch import into
        // a large database with every recipe it holds.
        body = "UPDATE " + stamps + " AS s SET stand = s.stand + 1 WHERE s.id = ANY (ARRAY(" + keys + "));";
    static const char* const events[] = {"INSERT", "DELETE", "UPDATE"};
    static const char* const transitions[] = {"NEW TABLE AS neu", "OLD TABLE AS alt",
                                              "OLD TABLE AS alt NEW TABLE AS neu"};
    const int e = static_cast<int>(event);
    return {"CREATE OR REPLACE FUNCTION " + name + "() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN " + body +
                " RETURN NULL; END $$",
            "DROP TRIGGER IF EXISTS " + name + " ON " + ToLower(t.Table),
            "CREATE TRIGGER " + name + " AFTER " + events[e] + " ON " + ToLower(t.Table) + " REFERENCING " +
                transitions[e] + " FOR EACH STATEMENT EXECUTE FUNCTION " + name + "()"};
}

// --- what a database has --------------------------------------------------------------------------

std::mutex& KnownMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::map<std::uint64_t, bool>& Known()
{
    static std::map<std::uint64_t, bool> known;
    return known;
}

void Remember(Database& db, bool has)
{
    std::lock_guard lock(KnownMutex());
    Known()[db.Serial()] = has;
}

bool RecipeTablesPresent(Database& db)
{
    for (const StampedTable& t : kTables)
        if (!db.TableExists(t.Table))
            return false;
    return true;
}

// The names (upper case) of the stamp triggers the database has.
std::vector<std::string> PresentTriggers(Database& db)
{
    std::vector<std::string> names;
    std::string list;
    if (auto* server = dynamic_cast<PgDatabase*>(&db)) {
        list = server->NativeText("SELECT string_agg(upper(t.tgname), ',') FROM pg_trigger t JOIN pg_class c "
                                  "ON c.oid = t.tgrelid JOIN pg_namespace n ON n.oid = c.relnamespace "
                                  "WHERE n.nspname = current_schema() AND NOT t.tgisinternal");
    } else {
        for (auto rs = db.OpenRecordset("SELECT name FROM sqlite_master WHERE type='trigger'"); !rs->Eof();
             rs->MoveNext())
            list += rs->Field(0).AsText() + ",";
    }
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t end = list.find(',', start);
        if (end == std::string::npos)
            end = list.size();
        std::string name = ToUpper(list.substr(start, end - start));
        if (IsChangeStampObject(name))
            names.push_back(std::move(name));
        start = end + 1;
    }
    return names;
}

bool Complete(Database& db)
{
    if (!db.TableExists(kChangeStampTable))
        return false;
    const std::vector<std::string> present = PresentTriggers(db);
    for (const StampedTable& t : kTables)
        for (Event event : kEvents)
            if ((std::find(present.begin(), present.end(), TriggerName(t, event)) != present.end()) !=
                Stamped(t, event))
                return false;
    return true;
}

void Native(Database& db, const std::string& sql)
{
    if (auto* server = dynamic_cast<PgDatabase*>(&db))
        server->ExecuteNative(sql);
    else if (auto* file = dynamic_cast<SqliteDatabase*>(&db))
        file->ExecuteNative(sql);
}

} // namespace

bool IsChangeStampObject(const std::string& name)
{
    const std::string prefix = kChangeStampTable;
    return name.size() >= prefix.size() && EqualsNoCase(name.substr(0, prefix.size()), prefix);
}

bool HasChangeStamps(Database& db)
{
    {
        std::lock_guard lock(KnownMutex());
        if (const auto found = Known().find(db.Serial()); found != Known().end())
            return found->second;
    }
    bool has = false;
    try {
        has = Complete(db);
    } catch (const DbError&) {
        has = false;
    }
    Remember(db, has);
    return has;
}

void CreateChangeStamps(Database& db)
{
    if (!RecipeTablesPresent(db))
        return;
    const bool server = dynamic_cast<PgDatabase*>(&db) != nullptr;
    DbTransaction transaction(db);
    // Inside the transaction, which holds the write lock: a second program opening the database
    // at the same time finds the stamps made.
    if (Complete(db)) {
        transaction.Commit();
        Remember(db, true);
        return;
    }
    const std::string stamps = server ? ToLower(kChangeStampTable) : kChangeStampTable;
    Native(db, "CREATE TABLE IF NOT EXISTS " + stamps + " (ID INTEGER PRIMARY KEY, Stand " +
                   (server ? "BIGINT" : "INTEGER") + " NOT NULL)");
    Native(db, "UPDATE " + stamps + " SET Stand = Stand + 1");
    Native(db, "INSERT INTO " + stamps + " (ID, Stand) SELECT DISTINCT ID, 1 FROM " +
                   (server ? "t_rez_kopf" : "T_REZ_KOPF") +
                   " AS k WHERE ID IS NOT NULL AND NOT EXISTS (SELECT 1 FROM " + stamps +
                   " AS s WHERE s.ID = k.ID)");
    for (const StampedTable& t : kTables)
        for (Event event : kEvents) {
            if (server) {
                const std::vector<std::string> sql = ServerTrigger(t, event);
                // The function, then dropping the trigger, then making it anew.
                for (std::size_t i = 0; i < sql.size(); ++i)
                    if (i == 1 || Stamped(t, event))
                        Native(db, sql[i]);
            } else {
                Native(db, "DROP TRIGGER IF EXISTS " + TriggerName(t, event));
                if (Stamped(t, event))
                    Native(db, FileTrigger(t, event));
            }
        }
    transaction.Commit();
    Remember(db, true);
}

bool EnsureChangeStamps(Database& db)
{
    if (!db.IsUpdatable())
        return HasChangeStamps(db);
    try {
        if (!Complete(db))
            CreateChangeStamps(db);
    } catch (const DbError&) {
        // Without stamps a server database reads recipes afresh each time, and a save compares
        // the head row only.
    }
    bool has = false;
    try {
        has = Complete(db);
    } catch (const DbError&) {
    }
    Remember(db, has);
    return has;
}

std::int64_t ReadChangeStamp(Database& db, long recipeId)
{
    const Value stamp = db.Scalar("SELECT Stand FROM T_REZ_STAND WHERE ID=?", {recipeId});
    return stamp.IsNull() ? kNoChangeStamp : static_cast<std::int64_t>(stamp.AsLong());
}

} // namespace pf
