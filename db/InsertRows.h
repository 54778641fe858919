#pragma once
// Writing many rows of one table with few statements: "INSERT ... VALUES (...), (...), ..." with
// many rows each, since on a server every statement costs a round trip.

#include "db/Value.h"

#include <cstddef>
#include <string>
#include <vector>

namespace pf {

class Database;

// Inserts the rows whose values follow each other in values (columns values a row) with the
// statement start insertHead ("INSERT INTO table (a, b) VALUES "). Each statement takes a power of
// two of rows, so that a table has only a few distinct statements to translate and prepare, and
// no statement nears the engines' limit of bound values. Throws DbError.
void InsertRows(Database& db, const std::string& insertHead, std::size_t columns,
                const std::vector<Value>& values);

} // namespace pf
