#pragma once
// Opening the work database: locating it from the settings or a first-start choice, opening it
// with every failure answered (create, repair, choose another, forget), the schema check, the
// global data every other part expects in memory, and compaction of the file.
// OpenWorkDatabase returns only with an open database; where none can be had it throws ProcessExit.

#include "db/DatabaseChoice.h"

#include <functional>
#include <string>
#include <vector>

namespace pf {

// One area of global data loaded after each open; Load throws DbError, or GlobalDataUnusable when
// the database cannot serve as work database.
struct GlobalDataArea
{
    long MessageNumber = 0; // its name in messages, e.g. 428 "BLS Indexliste"
    std::function<void(Database&)> Load;
};

struct GlobalDataUnusable
{
};

// The areas of global data the open sequence loads after each open, in order. The layers above
// the connection layer register their own (units, the active cookbook), which it cannot know.
struct OpenHooks
{
    std::vector<GlobalDataArea> GlobalData;
};
OpenHooks& Hooks();

// 1 when a database was opened or created on the way, 0 when DbPath/DbType are set for the caller.
int LocateDatabase(DatabaseWindows& windows);
void OpenWorkDatabase(DatabaseWindows& windows);
void SaveDatabaseChoice();
void ForgetDatabase();
std::string BuildOdbcConnect(const std::string& dsn, int logonType, const std::string& user,
                             const std::string& password);
// The connect text of the server database the settings name. A data source name goes through
// BuildOdbcConnect. Driver keywords ("Server=kueche;Port=5432;Database=rezepte") are used as they
// stand, for the PostgreSQL driver unless they name another, with user and password added for
// logon type 0: a workstation reaches the server without a configured data source.
std::string ServerConnectFor(const std::string& source, int logonType, const std::string& user,
                             const std::string& password);
// The folder of the user's databases: where database dialogs start and new databases go. The
// per-user setting "Datenbank" of section "Ordner" when it names an existing folder, else
// DataDir + "DB", where the first start puts the database.
inline constexpr const char* kFolderSection = "Ordner";
inline constexpr const char* kDatabaseFolderKey = "Datenbank";
std::string DatabaseFolder();
std::string DefaultDatabaseFolder();
// Stores the folder; empty returns to the default.
void SetDatabaseFolder(const std::string& folder);
// Default location of a new database file: DatabaseFolder() + "/Pfannola.MDB".
std::string DefaultDatabasePath();
// Opens a database file: read-only when the file carries no write permission. Unfinished copies a
// killed run left beside it are removed first.
std::unique_ptr<Database> OpenDatabaseFile(const std::string& path);
// Compacts the work database file and reports a size change of more than 32000 bytes.
void CompactWorkDatabase();

} // namespace pf
