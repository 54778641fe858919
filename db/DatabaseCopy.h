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

// True when another process holds a lock on the database file. Every program that has the file
// open in WAL mode keeps a shared lock in the engine's lock range, even when idle, and a copy in
// progress locks its target; asking for the lock that conflicts finds them without writing
// anything, also when the file is damaged. A log left by a killed program carries no lock.
bool DatabaseFileInUse(const std::string& path);
// Removes a database file with the engine's side files; errors are ignored.
void RemoveDatabaseFile(const std::string& path);
// Removes what a killed run left beside a database file: its unfinished copies ("<file>.$$$",
// "<file>.BAK.$$$", a restore's "<file>.$$$.$$$") that no running program is still writing.
void RemoveLeftoverCopies(const std::string& path);

} // namespace pf
