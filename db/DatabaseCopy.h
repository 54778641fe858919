#pragma once
// A consistent copy of a database file, taken through the engine's online backup, never by
// copying the bytes of a file that may be in use (its write-ahead log would be missed).

#include "db/Database.h"

#include <string>

namespace pf {

// Copies the database file at source to target (replacing target). Throws DbError.
void CopyDatabaseFile(const std::string& source, const std::string& target);
// Copies an open database (its committed state) to target. Throws DbError.
void CopyDatabase(Database& source, const std::string& target);

} // namespace pf
