#include "db/SearchIndex.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Messages.h"
#include "core/Utf8.h"
#include "db/PgDatabase.h"
#include "db/PgFunctions.h"
#include "db/Recordset.h"
#include "db/SqliteDatabase.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <optional>

namespace pf {

namespace {

// Trigrams without positions (detail=none) and without a copy of the text (content=''): the
// index only narrows the candidates, so positions would buy nothing but size.
constexpr const char* kTableOptions = "content='', detail='none', columnsize=0, tokenize='trigram'";

// A table whose rows of one recipe (ID, a row number, a text) the index keeps as one text.
struct RowTable
{
    const char* Index;  // the index table
    const char* Source; // the recipe's rows
    const char* No;     // the row number, quoted
    const char* Text;   // the indexed column
};

constexpr RowTable kTextRows = {kTextIndexTable, "T_REZ_ANWEIS", "\"NO\"", "AnwText"};
constexpr RowTable kIngredientRows = {kIngredientIndexTable, "T_REZ_ZUTAT", "\"No\"", "ZutText"};

// A recipe whose ID waits in the list of recipes still to index has nothing in the index: the
// triggers leave it alone, and it is indexed whole with the rows it has then.
std::string Indexed(const std::string& id)
{
    return std::string("NOT EXISTS (SELECT 1 FROM ") + kPendingIndexTable + " WHERE ID=" + id + ")";
}

// A recipe's rows as one text, in order; a row only when the recipe has one. Every change of a
// row takes the recipe's text out of the index before it and puts it back after it, so the text
// taken out is always the text that was put in.
std::string RecipeText(const RowTable& t, const std::string& id)
{
    return std::string("(SELECT group_concat(") + t.Text + ", char(10)) AS T, count(*) AS N FROM (SELECT " +
           t.Text + " FROM " + t.Source + " WHERE ID=" + id + " ORDER BY " + t.No + ")) WHERE N>0 AND " +
           Indexed(id);
}

std::string TextOut(const RowTable& t, const std::string& id)
{
    return std::string("INSERT INTO ") + t.Index + "(" + t.Index + ",rowid," + t.Text + ") SELECT 'delete'," +
           id + ",T FROM " + RecipeText(t, id) + ";";
}

std::string TextIn(const RowTable& t, const std::string& id)
{
    return std::string("INSERT INTO ") + t.Index + "(rowid," + t.Text + ") SELECT " + id + ",T FROM " +
           RecipeText(t, id) + ";";
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

// One index table: how it is made, how it is filled and the triggers that keep it.
struct Part
{
    const char* Table;
    std::string Create;
    // Fills the index for the recipes the condition (on ID) selects.
    std::string (*Fill)(const std::string& condition);
    std::vector<Trigger> Triggers;
};

// The menu-card title as the index keeps it: nothing when it is the title (as after every import),
// whose pieces the row holds already. Insert and delete use the same expression, so a row is
// always taken out with the text it was put in with.
std::string IndexedMenuCard(const std::string& row)
{
    return "CASE WHEN " + row + "RezMenuCard IS " + row + "RezTitle COLLATE BINARY THEN NULL ELSE " + row +
           "RezMenuCard END";
}

std::vector<Trigger> TitleTriggers()
{
    const std::string title = kTitleIndexTable;
    auto titleRow = [&](const std::string& row, bool remove) {
        return "INSERT INTO " + title + "(" + (remove ? title + "," : "") +
               "rowid,RezTitle,RezMenuCard) SELECT " + (remove ? "'delete'," : "") + row + ".ID," + row +
               ".RezTitle," + IndexedMenuCard(row + ".") + " WHERE " + row + ".ID IS NOT NULL AND " +
               Indexed(row + ".ID") + ";";
    };
    // An update that leaves the indexed columns as they were (a recipe saved again) costs nothing.
    const std::string titleChanged =
        "OLD.ID IS NOT NEW.ID OR OLD.RezTitle IS NOT NEW.RezTitle COLLATE BINARY OR "
        "OLD.RezMenuCard IS NOT NEW.RezMenuCard COLLATE BINARY";
    return {
        {"T_SUCHINDEX_KOPF_NEU", "AFTER INSERT ON T_REZ_KOPF BEGIN " + titleRow("NEW", false), true},
        {"T_SUCHINDEX_KOPF_WEG", "AFTER DELETE ON T_REZ_KOPF BEGIN " + titleRow("OLD", true), false},
        {"T_SUCHINDEX_KOPF_AENDERUNG",
         "AFTER UPDATE OF ID,RezTitle,RezMenuCard ON T_REZ_KOPF WHEN " + titleChanged + " BEGIN " +
             titleRow("OLD", true) + " " + titleRow("NEW", false),
         false},
    };
}

std::vector<Trigger> RowTriggers(const RowTable& t)
{
    const std::string name = t.Index;
    const std::string on = std::string(" ON ") + t.Source + " ";
    const std::string columns = std::string("ID,") + t.No + "," + t.Text;
    const std::string changed = std::string("OLD.ID IS NOT NEW.ID OR OLD.") + t.No + " IS NOT NEW." + t.No +
                                " OR OLD." + t.Text + " IS NOT NEW." + t.Text + " COLLATE BINARY";
    return {
        {name + "_VOR_NEU", "BEFORE INSERT" + on + "BEGIN " + TextOut(t, "NEW.ID"), true},
        {name + "_NEU", "AFTER INSERT" + on + "BEGIN " + TextIn(t, "NEW.ID"), true},
        {name + "_VOR_WEG", "BEFORE DELETE" + on + "BEGIN " + TextOut(t, "OLD.ID"), false},
        {name + "_WEG", "AFTER DELETE" + on + "BEGIN " + TextIn(t, "OLD.ID"), false},
        {name + "_VOR_AENDERUNG",
         "BEFORE UPDATE OF " + columns + on + "WHEN " + changed + " BEGIN " + TextOut(t, "OLD.ID"), false},
        {name + "_AENDERUNG",
         "AFTER UPDATE OF " + columns + on + "WHEN " + changed + " BEGIN " + TextIn(t, "OLD.ID"), false},
        {name + "_VOR_WECHSEL",
         "BEFORE UPDATE OF ID" + on + "WHEN NEW.ID IS NOT OLD.ID BEGIN " + TextOut(t, "NEW.ID"), false},
        {name + "_WECHSEL",
         "AFTER UPDATE OF ID" + on + "WHEN NEW.ID IS NOT OLD.ID BEGIN " + TextIn(t, "NEW.ID"), false},
    };
}

std::string FillRows(const RowTable& t, const std::string& condition)
{
    return std::string("INSERT INTO ") + t.Index + "(rowid," + t.Text + ") SELECT ID,group_concat(" + t.Text +
           ", char(10)) FROM (SELECT ID," + t.Text + " FROM " + t.Source + " WHERE " + condition +
           " ORDER BY ID," + t.No + ") GROUP BY ID";
}

const std::vector<Part>& Parts()
{
    static const std::vector<Part> parts = [] {
        std::vector<Part> out = {
            {kTitleIndexTable,
             std::string("CREATE VIRTUAL TABLE ") + kTitleIndexTable + " USING fts5(RezTitle, RezMenuCard, " +
                 kTableOptions + ")",
             [](const std::string& condition) {
                 return std::string("INSERT INTO ") + kTitleIndexTable +
                        "(rowid,RezTitle,RezMenuCard) SELECT ID,RezTitle," + IndexedMenuCard("") +
                        " FROM T_REZ_KOPF WHERE " + condition;
             },
             TitleTriggers()},
            {kTextIndexTable,
             std::string("CREATE VIRTUAL TABLE ") + kTextIndexTable + " USING fts5(AnwText, " +
                 kTableOptions + ")",
             [](const std::string& condition) { return FillRows(kTextRows, condition); },
             RowTriggers(kTextRows)},
            {kIngredientIndexTable,
             std::string("CREATE VIRTUAL TABLE ") + kIngredientIndexTable + " USING fts5(ZutText, " +
                 kTableOptions + ")",
             [](const std::string& condition) { return FillRows(kIngredientRows, condition); },
             RowTriggers(kIngredientRows)},
        };
        for (Part& part : out)
            for (Trigger& trigger : part.Triggers)
                trigger.Sql = "CREATE TRIGGER " + trigger.Name + " " + trigger.Sql + " END";
        return out;
    }();
    return parts;
}

// The index keeps each commit's rows as a segment of its own and merges segments as they gather.
// Merging sixteen at a time instead of four writes every row over fewer times: a million recipes
// imported in batches cost about half as much, and a search reads a few more segments, which it
// does not notice. The engine merges a little after each write once sixteen gather, but merges all
// of them at once when as many gather before that: at a million recipes indexed a thousand at a time
// such a merge took 1.6 s, during which the window would not answer. Letting sixty-four gather
// first leaves the merging to the small steps (at most 0.23 s), for the same work in all.
std::vector<std::string> MergeSettings(const char* table)
{
    const std::string head = std::string("INSERT INTO ") + table + "(" + table + ",rank) VALUES(";
    return {head + "'automerge',16)", head + "'crisismerge',64)"};
}

// The list of recipes still to index, by ID.
std::string PendingListStatement()
{
    return std::string("CREATE TABLE ") + kPendingIndexTable + " (ID INTEGER PRIMARY KEY)";
}

// The statements that make one part and fill it from the rows present (but those of recipes that
// wait on the list, which the part learns with the other parts).
std::vector<std::string> PartStatements(const Part& part)
{
    std::vector<std::string> out = {part.Create};
    for (std::string& sql : MergeSettings(part.Table))
        out.push_back(std::move(sql));
    out.push_back(part.Fill(std::string("ID IS NOT NULL AND ") + Indexed("ID")));
    for (const Trigger& trigger : part.Triggers)
        out.push_back(trigger.Sql);
    return out;
}

// Index tables of earlier versions that the present parts replace: the title table once kept
// every menu-card title, also one equal to the title. They go when the index is made anew.
constexpr const char* kRetiredTables[] = {"T_SUCHINDEX_TITEL"};

bool IsFileDatabase(Database& db)
{
    return dynamic_cast<SqliteDatabase*>(&db) != nullptr;
}

// --- server: trigram indexes on the compared text ---------------------------------------------

// On a server the index is a trigram index on each searched column, over the text a LIKE compares
// there (ServerLikeText): the server then serves the search's own LIKE conditions from it and
// keeps it in step with every write itself.
struct ServerIndex
{
    const char* Name;
    const char* Table;
    const char* Column;
};

constexpr ServerIndex kServerIndexes[] = {
    {"t_suchindex_reztitle", "t_rez_kopf", "reztitle"},
    {"t_suchindex_rezmenucard", "t_rez_kopf", "rezmenucard"},
    {"t_suchindex_anwtext", "t_rez_anweis", "anwtext"},
    {"t_suchindex_zuttext", "t_rez_zutat", "zuttext"},
};
constexpr std::size_t kServerWordIndexes = 3; // the first three serve the word step

// The trigram operators come with the server's extension pg_trgm, once per database. Made by the
// program, it goes into a schema of its own, which no program database removes with its tables.
constexpr const char* kExtensionSchema = "pf_suchindex";

bool HasServerIndexes(Database& db, std::size_t first, std::size_t count)
{
    auto* server = dynamic_cast<PgDatabase*>(&db);
    if (!server)
        return false;
    std::string names;
    for (std::size_t i = first; i < first + count; ++i)
        names += std::string(i > first ? "," : "") + "'" + kServerIndexes[i].Name + "'";
    const std::string found =
        server->NativeText("SELECT count(*) FROM pg_indexes WHERE schemaname = current_schema() AND indexname IN (" +
                           names + ")");
    return std::atol(found.c_str()) == static_cast<long>(count);
}

// The schema of the extension, installed there first when the database lacks it. Throws DbError
// (a role without the right to create it).
std::string TrigramSchema(PgDatabase& db)
{
    const std::string query = "SELECT quote_ident(n.nspname) FROM pg_extension e JOIN pg_namespace n ON n.oid = "
                              "e.extnamespace WHERE e.extname = 'pg_trgm'";
    std::string schema = db.NativeText(query);
    if (!schema.empty())
        return schema;
    // Two programs making it at once: the second waits for the first and finds it.
    db.ExecuteNative("SELECT pg_advisory_xact_lock(hashtext('pg_trgm'))");
    schema = db.NativeText(query);
    if (!schema.empty())
        return schema;
    // The server would only say "permission denied" (which reads as a read-only database).
    if (db.NativeText("SELECT CASE WHEN has_database_privilege(current_database(), 'CREATE') THEN 1 ELSE 0 END") !=
        "1")
        throw DbError(dberr::kReadOnly, "Die Erweiterung pg_trgm fehlt in der Datenbank, und die Rolle darf sie "
                                        "nicht anlegen (Recht CREATE auf der Datenbank).");
    db.ExecuteNative(std::string("CREATE SCHEMA IF NOT EXISTS ") + kExtensionSchema);
    db.ExecuteNative(std::string("GRANT USAGE ON SCHEMA ") + kExtensionSchema + " TO PUBLIC");
    db.ExecuteNative(std::string("CREATE EXTENSION pg_trgm WITH SCHEMA ") + kExtensionSchema);
    return kExtensionSchema;
}

void CreateServerIndexes(PgDatabase& db, const std::function<void(std::size_t, std::size_t)>& progress)
{
    DbTransaction transaction(db);
    const std::string schema = TrigramSchema(db);
    std::size_t done = 0;
    for (const ServerIndex& index : kServerIndexes) {
        if (progress)
            progress(done++, std::size(kServerIndexes));
        db.ExecuteNative(std::string("CREATE INDEX IF NOT EXISTS ") + index.Name + " ON " + index.Table +
                         " USING gin (" + ServerLikeText(index.Column) + " " + schema + ".gin_trgm_ops)");
    }
    // The server plans a LIKE by the statistics of the indexed text, which only an analysis of
    // the tables gathers; without them it takes every word for a rare one.
    db.ExecuteNative("ANALYZE t_rez_kopf, t_rez_anweis, t_rez_zutat");
    transaction.Commit();
}

// The recipes indexed in one transaction when all waiting ones are indexed at once: larger pieces
// gain little, and a piece is work lost when the program ends in the middle of it.
constexpr std::size_t kPendingPiece = 20000;

const char* const kIndexProgress = "Der Suchindex wird angelegt; bei vielen Rezepten dauert das einige Minuten ...";

} // namespace

std::vector<std::string> SearchIndexStatements()
{
    std::vector<std::string> out = {PendingListStatement()};
    for (const Part& part : Parts())
        for (std::string& sql : PartStatements(part))
            out.push_back(std::move(sql));
    return out;
}

namespace {

// Whether the index has the list of recipes still to index and only triggers that consult it.
bool IndexFormIsCurrent(Database& db)
{
    return db.TableExists(kPendingIndexTable) &&
           db.OpenRecordset("SELECT count(*) FROM sqlite_master WHERE type='trigger' AND name LIKE "
                            "'T_SUCHINDEX*' AND sql NOT LIKE '*T_SUCHINDEX_OFFEN*'")
                   ->Field(0)
                   .AsLong() == 0;
}

// A file indexed by an earlier version lacks the list of recipes still to index, and its triggers
// do not consult it (also when an earlier version imported into it since): the list and the
// triggers are made now, and the merge settings are those of a new index.
void EnsurePendingList(SqliteDatabase& file)
{
    if (IndexFormIsCurrent(file))
        return;
    if (!file.TableExists(kPendingIndexTable))
        file.ExecuteNative(PendingListStatement());
    for (const Part& part : Parts())
        if (file.TableExists(part.Table)) {
            for (const std::string& sql : MergeSettings(part.Table))
                file.ExecuteNative(sql);
            for (const Trigger& trigger : part.Triggers) {
                file.ExecuteNative("DROP TRIGGER IF EXISTS " + trigger.Name);
                file.ExecuteNative(trigger.Sql);
            }
        }
}

bool AnyPending(Database& db)
{
    return db.TableExists(kPendingIndexTable) &&
           !db.OpenRecordset(std::string("SELECT 1 FROM ") + kPendingIndexTable + " LIMIT 1")->Eof();
}

} // namespace

bool SuspendIndexOfNewRecipes(Database& db)
{
    if (!IsFileDatabase(db))
        return false;
    auto* file = static_cast<SqliteDatabase*>(&db);
    const bool any = std::any_of(Parts().begin(), Parts().end(),
                                 [&db](const Part& part) { return db.TableExists(part.Table); });
    if (!any)
        return false;
    // The triggers of an earlier version are made anew first, so that those stopped now stay so.
    EnsurePendingList(*file);
    for (const Part& part : Parts())
        if (db.TableExists(part.Table))
            for (const Trigger& trigger : part.Triggers)
                if (trigger.OnInsert)
                    file->ExecuteNative("DROP TRIGGER IF EXISTS " + trigger.Name);
    return true;
}

void DeferIndexOfNewRecipes(Database& db, const std::vector<long>& ids)
{
    if (!IsFileDatabase(db))
        return;
    auto* file = static_cast<SqliteDatabase*>(&db);
    // In pieces, so that no statement grows without bound.
    constexpr std::size_t kPiece = 2000;
    for (std::size_t first = 0; first < ids.size(); first += kPiece) {
        std::string list;
        for (std::size_t i = first; i < std::min(ids.size(), first + kPiece); ++i)
            list += (list.empty() ? "(" : "),(") + std::to_string(ids[i]);
        file->ExecuteNative(std::string("INSERT OR IGNORE INTO ") + kPendingIndexTable + "(ID) VALUES " + list +
                            ")");
    }
    for (const Part& part : Parts())
        if (db.TableExists(part.Table))
            for (const Trigger& trigger : part.Triggers)
                if (trigger.OnInsert) {
                    file->ExecuteNative("DROP TRIGGER IF EXISTS " + trigger.Name);
                    file->ExecuteNative(trigger.Sql);
                }
}

std::size_t PendingRecipeCount(Database& db)
{
    if (!IsFileDatabase(db) || !db.TableExists(kPendingIndexTable))
        return 0;
    return static_cast<std::size_t>(
        db.OpenRecordset(std::string("SELECT count(*) FROM ") + kPendingIndexTable)->Field(0).AsLong());
}

std::size_t IndexPendingRecipes(Database& db, std::size_t most, bool waitForLock)
{
    // Nothing waiting is found by reading, which takes no lock.
    if (!IsFileDatabase(db) || most == 0 || !AnyPending(db))
        return 0;
    auto* file = static_cast<SqliteDatabase*>(&db);
    struct LockWait
    {
        SqliteDatabase* File;
        ~LockWait()
        {
            if (File)
                File->SetWaitForLocks(true);
        }
    } lockWait{waitForLock ? nullptr : file};
    if (!waitForLock)
        file->SetWaitForLocks(false);
    DbTransaction transaction(db);
    const std::string pending = kPendingIndexTable;
    auto first = db.OpenRecordset("SELECT min(ID) FROM " + pending);
    if (first->Field(0).IsNull())
        return 0;
    const std::string from = std::to_string(first->Field(0).AsLong());
    first.reset();
    const auto offset = static_cast<long>(std::min<std::size_t>(most - 1, std::numeric_limits<long>::max()));
    auto lastRow = db.OpenRecordset("SELECT ID FROM " + pending + " ORDER BY ID LIMIT 1 OFFSET ?", {offset});
    const std::string to = std::to_string(lastRow->Eof() ? std::numeric_limits<long>::max()
                                                         : static_cast<long>(lastRow->Field(0).AsLong()));
    lastRow.reset();
    // The range lets the engine read the rows by their key; the list then picks the waiting ones.
    const std::string condition = "ID BETWEEN " + from + " AND " + to + " AND ID IN (SELECT ID FROM " + pending +
                                  " WHERE ID BETWEEN " + from + " AND " + to + ")";
    for (const Part& part : Parts())
        if (db.TableExists(part.Table))
            file->ExecuteNative(part.Fill(condition));
    file->ExecuteNative("DELETE FROM " + pending + " WHERE ID BETWEEN " + from + " AND " + to);
    transaction.Commit();
    return PendingRecipeCount(db);
}

void RemoveUnindexedRows(Database& db, const std::function<void()>& remove)
{
    if (!IsFileDatabase(db)) {
        remove();
        return;
    }
    auto* file = static_cast<SqliteDatabase*>(&db);
    DbTransaction transaction(db); // a failure leaves the triggers as they were
    std::vector<const Trigger*> off;
    for (const Part& part : Parts())
        if (db.TableExists(part.Table))
            for (const Trigger& trigger : part.Triggers)
                if (!trigger.OnInsert) {
                    file->ExecuteNative("DROP TRIGGER IF EXISTS " + trigger.Name);
                    off.push_back(&trigger);
                }
    remove();
    for (const Trigger* trigger : off)
        file->ExecuteNative(trigger->Sql);
    transaction.Commit();
}

bool HasWordIndex(Database& db)
{
    if (!IsFileDatabase(db))
        return HasServerIndexes(db, 0, kServerWordIndexes);
    return db.TableExists(kTitleIndexTable) && db.TableExists(kTextIndexTable) && !AnyPending(db);
}

bool HasIngredientIndex(Database& db)
{
    if (!IsFileDatabase(db))
        return HasServerIndexes(db, kServerWordIndexes, std::size(kServerIndexes) - kServerWordIndexes);
    return db.TableExists(kIngredientIndexTable) && !AnyPending(db);
}

bool HasSearchIndex(Database& db)
{
    if (!IsFileDatabase(db))
        return HasServerIndexes(db, 0, std::size(kServerIndexes));
    for (const Part& part : Parts())
        if (!db.TableExists(part.Table))
            return false;
    return IndexFormIsCurrent(db);
}

void CreateSearchIndex(Database& db, const std::function<void(std::size_t, std::size_t)>& progress)
{
    if (HasSearchIndex(db) || !db.TableExists("T_REZ_KOPF") || !db.TableExists("T_REZ_ANWEIS") ||
        !db.TableExists("T_REZ_ZUTAT"))
        return;
    if (auto* server = dynamic_cast<PgDatabase*>(&db)) {
        CreateServerIndexes(*server, progress);
        return;
    }
    if (!IsFileDatabase(db))
        return;
    auto* file = static_cast<SqliteDatabase*>(&db);
    DbTransaction transaction(db);
    // Parts already there stay (a file made before the ingredient index came keeps its word
    // index); a part's leftover triggers without its table are made anew with it.
    for (const char* table : kRetiredTables)
        file->ExecuteNative(std::string("DROP TABLE IF EXISTS ") + table);
    EnsurePendingList(*file);
    std::size_t done = 0;
    for (const Part& part : Parts()) {
        if (progress)
            progress(done++, Parts().size());
        if (db.TableExists(part.Table))
            continue;
        for (const Trigger& trigger : part.Triggers)
            file->ExecuteNative("DROP TRIGGER IF EXISTS " + trigger.Name);
        for (const std::string& sql : PartStatements(part))
            file->ExecuteNative(sql);
    }
    transaction.Commit();
}

namespace {

// CreateSearchIndex with a progress text; the error when it failed.
std::optional<DbError> CreateWithProgress(Database& db)
{
    std::optional<DbError> failure;
    try {
        CreateSearchIndex(db, [](std::size_t done, std::size_t total) {
            ShowProgress(static_cast<long>(total), static_cast<long>(done), kIndexProgress);
        });
    } catch (const DbError& error) {
        failure = error;
    }
    ShowProgress(-1, -1, "");
    return failure;
}

} // namespace

bool EnsureSearchIndex(Database& db)
{
    const bool present = HasSearchIndex(db);
    if (present || !db.IsUpdatable())
        return present;
    if (auto* server = dynamic_cast<PgDatabase*>(&db)) {
        // Only the role that owns the recipe tables may index them, and only with the extension
        // there or its right to create it; a workstation's role opens without trying.
        if (server->NativeText("SELECT CASE WHEN pg_has_role(c.relowner, 'USAGE') AND (EXISTS (SELECT 1 FROM "
                               "pg_extension WHERE extname = 'pg_trgm') OR has_database_privilege("
                               "current_database(), 'CREATE')) THEN 1 ELSE 0 END FROM pg_class c WHERE c.oid = "
                               "to_regclass('t_rez_kopf')") != "1")
            return false;
    } else if (!IsFileDatabase(db)) {
        return false;
    }
    // Without the index the search reads every recipe; it finds the same ones.
    CreateWithProgress(db);
    return HasSearchIndex(db);
}

bool EnsureServerSearchIndex(Database& db)
{
    if (!dynamic_cast<PgDatabase*>(&db) || !db.IsUpdatable())
        return false;
    if (HasSearchIndex(db))
        return true;
    if (const std::optional<DbError> failure = CreateWithProgress(db)) {
        UI().Inform("Der Suchindex konnte auf dem Datenbank-Server nicht angelegt werden: " + failure->Description() +
                   "\nDie Suche findet dieselben Rezepte, liest dafür aber jedes Mal alle Rezepte. Ist die "
                   "Erweiterung pg_trgm in der Datenbank angelegt (CREATE EXTENSION pg_trgm) oder hat die "
                   "Rolle, der die Tabellen gehören, das Recht CREATE auf der Datenbank, legt das Programm "
                   "den Index beim nächsten Öffnen mit dieser Rolle an.",
                    MsgIcon::Warning, AppContext::Current().AppCaption);
        return false;
    }
    return HasSearchIndex(db);
}

bool IndexAllPendingRecipes(Database& db)
{
    const std::size_t total = PendingRecipeCount(db);
    if (total == 0)
        return true;
    std::size_t left = total;
    try {
        while (left > 0) {
            ShowProgress(static_cast<long>(total), static_cast<long>(total - left),
                         "Der Suchindex lernt die neuen Rezepte ...");
            left = IndexPendingRecipes(db, kPendingPiece);
        }
    } catch (const DbError&) {
        ShowProgress(-1, -1, "");
        return false;
    }
    ShowProgress(-1, -1, "");
    return true;
}

void DropSearchIndex(Database& db)
{
    if (auto* server = dynamic_cast<PgDatabase*>(&db)) {
        for (const ServerIndex& index : kServerIndexes)
            server->ExecuteNative(std::string("DROP INDEX IF EXISTS ") + index.Name);
        return;
    }
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
    for (const Part& part : Parts())
        file->ExecuteNative(std::string("DROP TABLE IF EXISTS ") + part.Table);
    file->ExecuteNative(std::string("DROP TABLE IF EXISTS ") + kPendingIndexTable);
    for (const char* table : kRetiredTables)
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
