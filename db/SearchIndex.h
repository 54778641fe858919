#pragma once
// The word index of the recipe search: two trigram full-text tables over the recipe titles
// (title and menu-card title) and the instructions (a recipe's rows as one text), both keyed by
// recipe ID, kept in step with T_REZ_KOPF and T_REZ_ANWEIS by triggers, so that every writer of
// those rows keeps it right without knowing of it. The index stores no text of its own and
// answers only "which rows may contain these three-character pieces"; the search still decides
// with its own comparison. Only file databases carry it; a database without it searches by scan.

#include <string>
#include <vector>

struct sqlite3;

namespace pf {

class Database;

// Names of the index tables (and the prefix of every object of the index).
inline constexpr const char* kTitleIndexTable = "T_SUCHINDEX_TITEL";
inline constexpr const char* kTextIndexTable = "T_SUCHINDEX_ANWEIS";
inline constexpr const char* kSearchIndexPrefix = "T_SUCHINDEX";

// True for the name of a table or trigger that belongs to the index.
bool IsSearchIndexObject(const std::string& name);

// The SQLite statements that create the index and fill it from the rows present, in order.
std::vector<std::string> SearchIndexStatements();

// Whether the database carries the index (false for a server database).
bool HasSearchIndex(Database& db);

// Creates and fills the index in a file database that lacks it, in one transaction; does nothing
// for a server database or when the index is there. Throws DbError.
void CreateSearchIndex(Database& db);

// An import stores recipes by the thousand between two commits. Keeping the index by triggers
// then costs more than filling it once per batch, as the engine writes out the index at every
// savepoint. Inside the batch's transaction: Suspend... stops indexing new rows (false when the
// database has no index), Index... indexes the recipes of the IDs (their rows as they are now) and
// starts indexing new rows again. Changes and removals stay indexed throughout. Throw DbError.
bool SuspendIndexOfNewRecipes(Database& db);
void IndexNewRecipes(Database& db, const std::vector<long>& ids);

// Removes the index and its triggers (a database then searches by scan). Throws DbError.
void DropSearchIndex(Database& db);

// The same on a bare connection (the repair's rebuilt file); false when a statement failed.
bool CreateSearchIndex(sqlite3* db);

} // namespace pf
