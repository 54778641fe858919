#pragma once
// Creating a new database from the files beside the program: INIT.ZIP holds INIT.MDB (the table
// structure at an old schema version) and INIT.CSV (the base data). A creation either leaves a
// complete database at the chosen path or nothing: a new file is removed again, an existing file
// keeps its content, whenever a step fails or the user stops.

#include "db/BaseData.h"

#include <functional>
#include <memory>
#include <string>

namespace pf {

// What ExtractInitFiles left in TempDir.
struct InitFilesState
{
    bool ZipFound = false;
    bool Database = false; // INIT.MDB
    bool BaseData = false; // INIT.CSV
    bool Lexicon = false;  // INIT.ALX
};

// Extracts INIT.MDB (and unless onlyDatabase INIT.CSV and INIT.ALX) from the program's INIT.ZIP (AppContext::ShippedFile)
// into TempDir. Earlier extracted copies are removed first, so without the archive none exist.
InitFilesState ExtractInitFiles(bool onlyDatabase);
// Removes the extracted copies from TempDir.
void DeleteInitFiles();
// Paths of the extracted copies.
std::string InitFilePath(const std::string& name);

// Copies the tables, columns and indexes of TempDir's INIT.MDB, after bringing it to the program's
// schema version, into the database file at path (created when missing), and with them the rows of
// T_VERSION. When the target already holds tables of the program the user decides whether they
// are deleted first. Shows its messages; false when it failed or the user cancelled.
bool CreateDatabaseStructure(const std::string& path, bool odbc);

// Creates a new database at Connection().DbPath from the program's INIT.ZIP, after asking when
// askFirst is set. The database is left closed. false when the user declined or the creation
// failed (reported).
bool CreateDatabaseFromInit(bool askFirst = true);
// Creates a new database file at path from the program's INIT.ZIP without asking; the work database
// is left as it is. false when the creation failed (reported).
bool CreateDatabaseFile(const std::string& path);

// Creates the program's database on the server the connect text names, from INIT.ZIP: built as a
// file in TempDir first, then copied onto the server in one transaction, so that a failure leaves
// the server as it was. Tables already there are replaced in the same transaction, after the user
// agreed. Shows progress and reports what failed; false when it failed or the user declined.
bool CreateServerDatabase(const std::string& connect);

// The progress window the base-data load is shown in; without one the status line serves.
using BaseDataProgressFactory = std::function<std::unique_ptr<BaseDataProgress>()>;
void SetBaseDataProgressFactory(BaseDataProgressFactory factory);

} // namespace pf
