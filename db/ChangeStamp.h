#pragma once
// Change stamps of recipes: a number per recipe in T_REZ_STAND that moves with every write of any of
// the recipe's rows (head, ingredient lines, instructions, categories, cookbooks, utensils,
// pictures), inside the writing transaction. Triggers keep it, so that every writer (another
// workstation, a batch change, plain SQL) moves it without knowing of it. A copy of a recipe kept in
// memory is still the stored recipe while its stamp is the stored one; a save compares the stamp it
// read with the stored one to find a concurrent change. The stamps are no data of the recipes:
// table lists, copies and backups leave them out, and a database gets them anew where it lacks them.

#include <cstdint>
#include <string>

namespace pf {

class Database;

inline constexpr const char* kChangeStampTable = "T_REZ_STAND";

// Stamp of a recipe that has none, or of a database that keeps none.
inline constexpr std::int64_t kNoChangeStamp = -1;

// True for the name of the stamp table or one of its triggers (any case).
bool IsChangeStampObject(const std::string& name);

// Whether the database keeps stamps; looked up once per open database (CreateChangeStamps and
// EnsureChangeStamps tell it anew).
bool HasChangeStamps(Database& db);

// Creates the table and the triggers the database lacks, in one transaction; when anything was
// missing every stamp moves, since writes may have gone by unstamped. Does nothing when the
// recipe tables are not there yet. Throws DbError.
void CreateChangeStamps(Database& db);

// At open or after a copy: CreateChangeStamps for a writable database; a failure (a server role
// without the right to create) leaves the database without stamps. True when it keeps them.
bool EnsureChangeStamps(Database& db);

// The stored stamp of the recipe; kNoChangeStamp when there is none. Throws DbError.
std::int64_t ReadChangeStamp(Database& db, long recipeId);

} // namespace pf
