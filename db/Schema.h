#pragma once
// The tables of the program's database in one place: every table with its columns, types, text
// sizes, keys and indexes, as the newest schema step leaves them, and the older structure the
// upgrade steps start from. Nothing here touches a database except CreateTables.

#include "db/Database.h"

#include <string>
#include <vector>

namespace pf {

// Owner kinds of T_BLOB rows (IDType): a recipe's pictures and a literature source's cover.
constexpr long kBlobOwnerRecipe = 5;
constexpr long kBlobOwnerLiterature = 9;

// The tables of the current schema (002.00.126), in a stable order.
const std::vector<TableDef>& SchemaTables();
// The tables at the oldest version the upgrade steps start from (what a new database's initial
// structure holds before the steps run).
std::vector<TableDef> InitialSchema();
// The schema version of InitialSchema(), "000.50.073".
std::string InitialSchemaVersion();
// The table of that name (any case) in the current schema, null when there is none.
const TableDef* FindSchemaTable(const std::string& name);
// Creates the given tables (with their indexes) in an empty database, inside one transaction; with
// the recipe tables come their change stamps.
// Throws DbError; on failure none of the tables is left behind.
void CreateTables(Database& db, const std::vector<TableDef>& tables);

} // namespace pf
