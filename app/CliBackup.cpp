// The commands that save the database into a ZIP backup and restore one over it.

#include "app/CliCommands.h"
#include "db/Backup.h"
#include "db/DatabaseChoice.h"
#include "db/OpenDatabase.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <utility>

namespace pf {

namespace {

// The one word the command works on; the usage when it is missing.
bool ParseTarget(CliCall& call, const char* usage, std::string& target)
{
    bool given = false;
    if (!ParseCliArgs(call, {}, [&](const std::string& word) {
            target = word;
            return !std::exchange(given, true);
        }))
        return false;
    if (!given) {
        call.Err << usage << "\n";
        return false;
    }
    return true;
}

} // namespace

int CliBackup(CliCall& call)
{
    std::string folder;
    if (!ParseTarget(call, "Aufruf: --db DATEI backup ORDNER", folder))
        return 2;
    // A backup before an upgrade is wise: any schema version is saved.
    CliDatabase db(call, CliAccess::AnyVersion);
    if (!db)
        return 1;
    Backup backup;
    backup.SetQuiet(true);
    const bool saved = backup.Save(folder);
    db.Close();
    if (!saved) {
        call.Err << "Die Datensicherung ist fehlgeschlagen: " << backup.LastErrorText() << "\n";
        return 1;
    }
    call.Out << backup.BackupPath() << "\n";
    return 0;
}

int CliRestore(CliCall& call)
{
    std::string archive;
    if (!ParseTarget(call, "Aufruf: --db DATEI restore SICHERUNG", archive))
        return 2;
    const bool server = IsServerConnect(call.Database);
    std::error_code ec;
    const bool exists = !server && std::filesystem::exists(call.Database, ec);
    std::optional<CliDatabase> db;
    if (server) {
        // A server database is opened and its tables are replaced by the backup's; it keeps no ".BAK".
        db.emplace(call, CliAccess::AnyVersion);
        if (!*db)
            return 1;
    } else {
        // The work file is not opened: a restore is what a damaged, cut-short or missing file needs.
        CloseCliDatabase();
        ConnectionState& conn = Connection();
        conn.DbType = 0;
        conn.DbTypeText = "ACCESS";
        conn.DbPath = call.Database;
    }
    Backup backup;
    backup.SetQuiet(true);
    const bool restored = backup.Restore(archive, false);
    CloseCliDatabase();
    if (!restored) {
        call.Err << backup.LastErrorText() << "\n";
        return 1;
    }
    call.Out << "Zurückgeladen: " << backup.RestoredFrom() << " aus \"" << archive << "\" nach \""
             << DatabaseDisplayName(call.Database) << "\"\n";
    if (exists)
        call.Out << "Bisheriger Stand: \"" << call.Database << ".BAK\"\n";
    return 0;
}

} // namespace pf
