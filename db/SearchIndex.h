#pragma once
// The word index of the recipe search. On a file database: three trigram full-text tables over the recipe
// titles (title, and menu-card title where it differs from the title), the instructions and the ingredient
// texts (a recipe's rows as one text each), all keyed by recipe ID, kept in step with T_REZ_KOPF,
// T_REZ_ANWEIS and T_REZ_ZUTAT by triggers, so that every writer of those rows keeps it right without
// knowing of it. An import's new recipes wait on a list and are indexed afterwards (by the desktop
// program while it waits for the user); the search reads every recipe while any wait. The index
// stores no text of its own and answers only "which rows may contain these three-character
// pieces"; the search still decides with its own comparison. On a server: a trigram index
// (extension pg_trgm) on each of those columns, over the text the server's LIKE compares, so that the
// server serves the search's LIKE conditions from it. A database without it searches by scan.

#include <functional>
#include <string>
#include <vector>

struct sqlite3;

namespace pf {

class Database;

// Names of the index tables (and the prefix of every object of the index).
inline constexpr const char* kTitleIndexTable = "T_SUCHINDEX_TITELTEXT";
inline constexpr const char* kTextIndexTable = "T_SUCHINDEX_ANWEIS";
inline constexpr const char* kIngredientIndexTable = "T_SUCHINDEX_ZUTAT";
inline constexpr const char* kSearchIndexPrefix = "T_SUCHINDEX";
// The IDs of recipes whose rows the index has not learnt yet (an import's new recipes).
inline constexpr const char* kPendingIndexTable = "T_SUCHINDEX_OFFEN";

// True for the name of a table or trigger that belongs to the index.
bool IsSearchIndexObject(const std::string& name);

// The SQLite statements that create the index and fill it from the rows present, in order.
std::vector<std::string> SearchIndexStatements();

// Whether the database carries the whole index; the word step needs the title and instruction
// parts, the ingredient step the ingredient part. On a file the word and ingredient parts serve
// the search only when no recipe waits to be indexed; until then it reads every recipe.
bool HasSearchIndex(Database& db);
bool HasWordIndex(Database& db);
bool HasIngredientIndex(Database& db);

// Creates and fills the parts of the index the database lacks, in one transaction (parts already
// there stay); does nothing when the index is whole. On a server it first installs the extension
// pg_trgm when the database lacks it. progress hears of each part in turn (done, total). Throws
// DbError (on a server also when the role may not create the extension or the indexes).
void CreateSearchIndex(Database& db, const std::function<void(std::size_t, std::size_t)>& progress = {});

// At open: gives a writable database that lacks the index (or part of it) the missing parts,
// with a progress text for the user; on a server only when the role owns the recipe tables and
// the extension is there or the role may create it. A read-only database, another role or a
// failure leaves the search to read every recipe. True when the index is whole afterwards.
bool EnsureSearchIndex(Database& db);

// After a copy onto a server and in a server's upgrade: gives a writable server database that
// lacks the index (or part of it) the missing parts, with a progress text; a failure tells the user
// that the search reads every recipe without it. True when the index is whole afterwards.
bool EnsureServerSearchIndex(Database& db);

// An import stores recipes by the thousand between two commits. Keeping the index by triggers
// then costs more than filling it once per batch, as the engine writes out the index at every
// savepoint, and filling it costs more than a third of the import. Inside the batch's transaction:
// Suspend... stops indexing new rows (false when the database has no index), Defer... puts the
// recipes of the IDs on the list of recipes still to index (kPendingIndexTable) and starts
// indexing new rows again. Changes and removals of recipes not on the list stay indexed
// throughout. Throw DbError.
bool SuspendIndexOfNewRecipes(Database& db);
void DeferIndexOfNewRecipes(Database& db, const std::vector<long>& ids);

// Indexes the waiting recipes with the lowest IDs, at most `most` of them, in one transaction, and
// takes them off the list; the number still waiting. Without an index or on a server: 0. Without
// waitForLock a lock held by another program fails it at once. Throws DbError (a busy or read-only
// database: the list stays as it was).
std::size_t IndexPendingRecipes(Database& db, std::size_t most, bool waitForLock = true);

// How many recipes wait to be indexed (0 without an index or on a server).
std::size_t PendingRecipeCount(Database& db);

// Indexes every waiting recipe, with a progress text; false when that failed (the recipes then
// wait for the next attempt, and the search reads every recipe until then).
bool IndexAllPendingRecipes(Database& db);

// Runs remove, which deletes rows of recipes the index does not know yet (new recipes of a
// batch between Suspend... and Defer...), with the triggers off that would take them out of it.
// Throws DbError.
void RemoveUnindexedRows(Database& db, const std::function<void()>& remove);

// Removes the index and its triggers (a database then searches by scan; a server keeps the
// extension). Throws DbError.
void DropSearchIndex(Database& db);

// The same on a bare connection (the repair's rebuilt file); false when a statement failed.
bool CreateSearchIndex(sqlite3* db);

} // namespace pf
