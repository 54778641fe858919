#pragma once
// The food table of a database made before the program shipped one. When T_BLS_KEY has no rows,
// the foods with their values, the food class tree and the food synonyms are loaded from the base
// data in INIT.ZIP beside the program, in one transaction. A database with foods of its own, and
// every other lexicon keyword, stay as they are.

#include "db/Database.h"

namespace pf {

// Returns the number of foods added: 0 when the table already had foods, the database is read-only
// or no base data was found,
// -1 when loading failed (reported; the database is as it was).
long FillEmptyFoodTable(Database& db);

} // namespace pf
