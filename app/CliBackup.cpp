// The commands that save the database into a ZIP backup and restore one over it.

#include "app/CliCommands.h"
#include "db/Backup.h"
#include "db/DatabaseChoice.h"

#include <filesystem>
#include <ostream>

namespace pf {

int CliBackup(CliCall& call)
{
    if (call.Args.size() != 1) {
        call.Err << "Aufruf: --db DATEI backup ORDNER\n";
        return 2;
    }
    // A backup before an upgrade is wise: any schema version is saved.
    CliDatabase db(call, CliAccess::AnyVersion);
    if (!db)
        return 1;
    Backup backup;
    backup.SetQuiet(true);
    const bool saved = backup.Save(call.Args[0]);
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
    if (call.Args.size() != 1) {
        call.Err << "Aufruf: --db DATEI restore SICHERUNG\n";
        return 2;
    }
    // The work file is not opened: a restore is what a damaged, cut-short or missing file needs.
    std::error_code ec;
    const bool exists = std::filesystem::exists(call.Database, ec);
    CloseCliDatabase();
    ConnectionState& conn = Connection();
    conn.DbType = 0;
    conn.DbTypeText = "ACCESS";
    conn.DbPath = call.Database;
    Backup backup;
    backup.SetQuiet(true);
    const bool restored = backup.Restore(call.Args[0], false);
    CloseCliDatabase();
    if (!restored) {
        call.Err << backup.LastErrorText() << "\n";
        return 1;
    }
    call.Out << "Zurückgeladen: " << backup.RestoredFrom() << " aus \"" << call.Args[0] << "\" nach \""
             << call.Database << "\"\n";
    if (exists)
        call.Out << "Bisheriger Stand: \"" << call.Database << ".BAK\"\n";
    return 0;
}

} // namespace pf
