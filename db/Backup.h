#pragma once
// Backup and restore of the work database (a server database is saved as a database file and
// restored from one): a consistent copy into the backup folder packed
// into a ZIP archive, the list of backups found there, deleting one, and restoring a backup (a
// database file or an archive holding one) over the work database, keeping the replaced content
// as work file + ".BAK". A restore checks the backup before it touches the work file: whatever
// fails, the work database stays as it was. Questions and messages go through UI().

#include "core/Interaction.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace pf {

class DatabaseWindows;

struct BackupEntry
{
    std::string Path;
    std::string FileName;
    std::string DateText; // file date, "Sonntag, 3. März 2024 14:05:00"
    std::uintmax_t Size = 0;
    bool IsZip = false;
    std::time_t Modified = 0;
};

class Backup
{
public:
    // windows: used to reopen the work database with the full open sequence after it was closed;
    // without it the file is reopened directly (command line).
    explicit Backup(DatabaseWindows* windows = nullptr);

    // Settings of the backup window (per user).
    static std::string DefaultFolder(); // DataDir + "BACKUP"
    static std::string Folder();        // BACKUPFOLDER, else the default
    static void SetFolder(const std::string& folder);
    static int Mode(); // BACKUPMODE: 0 save, 1 restore
    static void SetMode(int mode);
    static bool Reminder(); // BackupReminder
    static void SetReminder(bool on);

    // "BACKUP_" + "yymmdd-hhmm" + ".MDB" for the given local time.
    static std::string BackupFileName(const std::tm& local);
    // Packs one file into a new archive named like it with the extension "zip" (an old archive of
    // that name is deleted); with removeSource the file itself goes once the archive is written.
    // Returns the archive's path, "" after an error (shown as "ZIP Error: (" code ") " text).
    std::string ZipFile(const std::string& file, bool removeSource);

    // Saves the work database into folder (created when missing) and packs it. True on success;
    // BackupPath() then names the archive (or the plain copy when only the packing failed).
    bool Save(const std::string& folder);
    // The backups of a folder (BACKUP_*.MDB and BACKUP_*.ZIP), newest first.
    static std::vector<BackupEntry> List(const std::string& folder);
    // Deletes one backup file; message 4773 when that fails.
    bool Delete(const std::string& path);
    // Restores source (a database file or a ZIP archive with a ".MDB" entry) over the work
    // database. askFirst asks for confirmation first (no is the default). The work file need not
    // be open nor readable: a damaged one is kept byte for byte as ".BAK", a missing one is simply
    // created. Refused while another program has the file open; a refused restore leaves the work
    // file and an earlier ".BAK" as they were.
    bool Restore(const std::string& source, bool askFirst = true);

    // Messages are only recorded in LastErrorText, not shown (command line).
    void SetQuiet(bool quiet) { m_quiet = quiet; }
    // The clock the backup name is taken from; tests fix it.
    void SetClock(std::function<std::time_t()> clock) { m_clock = std::move(clock); }

    const std::string& LastErrorText() const { return m_lastErrorText; }
    const std::string& BackupPath() const { return m_backupPath; }
    // What a successful restore used: the archive entry's name, or the file.
    const std::string& RestoredFrom() const { return m_restoredFrom; }
    // The reminder at the end of a session: due when it is switched on, the work database is a
    // file holding recipes, and the newest backup in the backup folder is older than
    // kReminderDays (or there is none).
    static constexpr int kReminderDays = 14;
    static bool ReminderDue(std::time_t now);
    // Asks whether to save a backup now when one is due, and saves it on yes.
    void RemindAtClose();

    // When the last restore of this process finished (0: none).
    static std::time_t LastRestoreTime();

private:
    void Fail(const std::string& text, MsgIcon icon);
    void ReopenWorkDatabase(const std::string& path);
    // A server database is saved as a database file of its tables and rows, packed the same way,
    // and a backup restores into it by replacing its tables in one transaction.
    // Returns "" or the reason it failed.
    std::string CopyServerDatabase(const std::string& copy);
    bool RestoreServer(const std::string& database);
    // Extracts the first ".MDB" entry of an archive into the temporary folder; "" on failure.
    std::string ExtractDatabase(const std::string& archive);
    // "" when path is a database with a version table, else the reason.
    static std::string CheckDatabase(const std::string& path);

    DatabaseWindows* m_windows;
    bool m_quiet = false;
    std::function<std::time_t()> m_clock;
    std::string m_lastErrorText;
    std::string m_backupPath;
    std::string m_restoredFrom;
};

} // namespace pf
