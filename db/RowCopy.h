#pragma once
// Copying a row between databases whose tables may differ in their columns (an older schema, a
// newer one): only the columns both sides have are written. Throws DbError.

#include "db/Value.h"

#include <string>
#include <utility>
#include <vector>

namespace pf {

class Database;
class Recordset;

// The column names of table in db.
std::vector<std::string> ColumnNames(Database& db, const std::string& table);

// Inserts the current row of from into table of to, with the columns targetColumns names (any
// case); overrides replace the values of the columns they name.
void CopyRow(const Recordset& from, Database& to, const std::string& table,
             const std::vector<std::string>& targetColumns,
             const std::vector<std::pair<std::string, Value>>& overrides);

} // namespace pf
