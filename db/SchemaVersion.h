#pragma once
// The schema version a database carries in T_VERSION, compared with the program's, and the
// upgrade entry point the open sequence calls. Version texts have the fixed-width form
// "002.00.126", so text order is version order.

#include "db/Database.h"

#include <string>

namespace pf {

std::string FormatVersion(long major, long minor, long build);
// The program's version text, 002.00.126.
std::string ProgramVersionText();
// The database's version text; "000.50.036" when T_VERSION has no rows. Throws DbError when
// T_VERSION cannot be read.
std::string DatabaseVersionText(Database& db);
// Checks the version and brings an older schema up to date; false when the database cannot be used.
bool UpgradeDatabase(Database& db, bool askFirst);
// Creates a new database file at the chosen path holding the version table, after asking.
bool CreateMinimalDatabase();
// Today's date and time as a day serial.
DateSerial NowSerial();

} // namespace pf
