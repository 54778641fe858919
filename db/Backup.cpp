#include "db/Backup.h"

#include "core/AppContext.h"
#include "core/Messages.h"
#include "core/Settings.h"
#include "core/Utf8.h"
#include "db/DatabaseChoice.h"
#include "db/DatabaseCopy.h"
#include "db/DatabaseTransfer.h"
#include "db/OpenDatabase.h"
#include "db/SchemaVersion.h"
#include "db/WorkDatabase.h"
#include "db/clsZIP.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

namespace pf {

namespace {

namespace fs = std::filesystem;

const char* const kCrLf = "\r\n";

std::time_t g_lastRestore = 0;

bool EndsWithNoCase(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

std::string LongDateTime(std::time_t when)
{
    static const char* const kDays[] = {"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                                        "Donnerstag", "Freitag", "Samstag"};
    static const char* const kMonths[] = {"Januar",    "Februar", "März",     "April",
                                          "Mai",       "Juni",    "Juli",     "August",
                                          "September", "Oktober", "November", "Dezember"};
    std::tm local{};
    localtime_r(&when, &local);
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    return std::string(kDays[local.tm_wday]) + ", " + std::to_string(local.tm_mday) + ". " +
           kMonths[local.tm_mon] + " " + std::to_string(local.tm_year + 1900) + " " + time;
}

std::time_t ToTimeT(fs::file_time_type when)
{
    // The file clock and the system clock differ only by a fixed offset; take it now.
    const auto system = std::chrono::time_point_cast<std::chrono::system_clock::duration>(
        when - fs::file_time_type::clock::now() + std::chrono::system_clock::now());
    return std::chrono::system_clock::to_time_t(system);
}

std::string TempFolder()
{
    const std::string& temp = AppContext::Current().TempDir;
    if (!temp.empty())
        return temp;
    std::error_code ec;
    return fs::temp_directory_path(ec).string() + "/";
}

// Copies a file's bytes so that target is replaced only by a complete copy.
bool CopyBytes(const std::string& source, const std::string& target)
{
    const std::string partial = target + ".$$$";
    std::error_code ec;
    fs::copy_file(source, partial, fs::copy_options::overwrite_existing, ec);
    if (!ec)
        fs::rename(partial, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(partial, ignored);
    }
    return !ec;
}

} // namespace

Backup::Backup(DatabaseWindows* windows) : m_windows(windows), m_clock([] { return std::time(nullptr); }) {}

std::string Backup::DefaultFolder()
{
    return AppContext::Current().DataDir + "BACKUP";
}

std::string Backup::Folder()
{
    std::string folder = ReadSetting("", "BACKUPFOLDER", "", false);
    return folder.empty() ? DefaultFolder() : folder;
}

void Backup::SetFolder(const std::string& folder)
{
    WriteSetting("", "BACKUPFOLDER", folder, false);
}

int Backup::Mode()
{
    return SettingToLong(ReadSetting("", "BACKUPMODE", "0", false)) == 1 ? 1 : 0;
}

void Backup::SetMode(int mode)
{
    WriteSetting("", "BACKUPMODE", std::to_string(mode), false);
}

bool Backup::Reminder()
{
    return SettingToBool(ReadSetting("", "BackupReminder", "1", false));
}

void Backup::SetReminder(bool on)
{
    WriteSetting("", "BackupReminder", on ? "1" : "0", false);
    AppContext::Current().Options.BackupReminder = on;
}

bool Backup::ReminderDue(std::time_t now)
{
    if (!Reminder() || Connection().DbType != 0 || !HasWorkDb())
        return false;
    try {
        if (!WorkDb().TableExists("T_REZ_KOPF") ||
            WorkDb().Scalar("SELECT COUNT(*) FROM T_REZ_KOPF").AsLong() == 0)
            return false;
    } catch (const DbError&) {
        return false;
    }
    const std::vector<BackupEntry> backups = List(Folder());
    const std::time_t newest = backups.empty() ? 0 : backups.front().Modified;
    return now - newest > static_cast<std::time_t>(kReminderDays) * 24 * 3600;
}

void Backup::RemindAtClose()
{
    const std::time_t now = m_clock ? m_clock() : std::time(nullptr);
    if (!ReminderDue(now))
        return;
    const std::string question =
        "Die letzte Datensicherung der Rezepte ist älter als " + std::to_string(kReminderDays) +
        " Tage (oder es gibt noch keine).\r\nSoll jetzt eine Datensicherung im Ordner \"" + Folder() +
        "\" angelegt werden ?";
    if (UI().Ask(question, Buttons::YesNo, Answer::No, MsgIcon::Question, AppContext::Current().AppCaption) ==
        Answer::Yes)
        Save(Folder());
}

std::time_t Backup::LastRestoreTime()
{
    return g_lastRestore;
}

std::string Backup::BackupFileName(const std::tm& local)
{
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%02d%02d%02d-%02d%02d", local.tm_year % 100, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min);
    return std::string("BACKUP_") + stamp + ".MDB";
}

void Backup::Fail(const std::string& text, MsgIcon icon)
{
    m_lastErrorText = text;
    if (!m_quiet)
        UI().Inform(text, icon, AppContext::Current().AppCaption);
}

void Backup::ReopenWorkDatabase(const std::string& path)
{
    if (m_windows) {
        OpenWorkDatabase(*m_windows);
        return;
    }
    ConnectionState& conn = Connection();
    conn.DbPath = path;
    try {
        conn.WorkDb = OpenDatabaseFile(path);
    } catch (const DbError& error) {
        Fail(LoadText(4777) + error.Description(), MsgIcon::Critical);
    }
}

std::string Backup::ZipFile(const std::string& file, bool removeSource)
{
    const auto dot = file.rfind('.');
    const std::string archive = (dot == std::string::npos ? file + "." : file.substr(0, dot + 1)) + "zip";
    std::error_code ec;
    fs::remove(archive, ec);
    clsZIP zip;
    if (!zip.NewZIPFile(archive) || !zip.AddFile(file) || !zip.Add()) {
        Fail("ZIP Error: (" + std::to_string(zip.LastResult()) + ") " + zip.LastResultText(),
             MsgIcon::Critical);
        fs::remove(archive, ec);
        return {};
    }
    if (removeSource)
        fs::remove(file, ec);
    return archive;
}

bool Backup::Save(const std::string& folder)
{
    m_lastErrorText.clear();
    m_backupPath.clear();
    ConnectionState& conn = Connection();
    Interaction& ui = UI();
    ui.SetBusy(true);
    ShowProgress(10, 1, "Aktuelle Arbeitsdatenbank wird kopiert");

    std::error_code ec;
    fs::create_directories(folder, ec);
    const std::time_t now = m_clock();
    std::tm local{};
    localtime_r(&now, &local);
    const std::string copy = (fs::path(folder) / BackupFileName(local)).string();

    std::string errorText;
    if (ec) {
        errorText = "Der Ordner \"" + folder + "\" kann nicht angelegt werden: " + SystemErrorReason(ec);
    } else if (conn.DbType != 0) {
        errorText = CopyServerDatabase(copy);
    } else {
        // The copy is taken from the closed file, so it holds every committed change and nothing else.
        const std::string work = HasWorkDb() ? WorkDb().Name() : conn.DbPath;
        CloseWorkDatabase();
        try {
            CopyDatabaseFile(work, copy);
        } catch (const DbError& error) {
            errorText = error.Description();
        }
        ReopenWorkDatabase(work);
    }

    if (!errorText.empty()) {
        ui.SetBusy(false);
        ShowProgress(-1, -1, "");
        Fail(errorText, MsgIcon::Warning);
        return false;
    }
    ShowProgress(10, 5, LoadText(4767));
    std::string archive = ZipFile(copy, true);
    ui.SetBusy(false);
    ShowProgress(-1, -1, "");
    // A failed packing still leaves a usable copy; it is the backup then.
    m_backupPath = archive.empty() ? copy : archive;
    if (!m_quiet)
        ui.Inform("Die Datensicherung wurde im Verzeichnis \"" + folder + "\" angelegt.",
                  MsgIcon::Information, AppContext::Current().AppCaption);
    return true;
}

std::string Backup::CopyServerDatabase(const std::string& copy)
{
    // The server database becomes a database file of the same tables and rows, read from one
    // snapshot of a connection of its own: programs that go on writing meanwhile are neither kept
    // waiting nor half included.
    const std::string partial = copy + ".$$$";
    std::error_code ec;
    try {
        fs::remove(partial, ec);
        OpenOptions readOnly;
        readOnly.ReadOnly = true;
        std::unique_ptr<Database> source = OpenDatabase(Connection().DbPath, readOnly);
        OpenOptions create;
        create.Create = true;
        std::unique_ptr<Database> target = Database::OpenSqlite(partial, create);
        DbTransaction snapshot(*source);
        TransferDatabase(*source, *target);
        target->Close();
        fs::rename(partial, copy, ec);
        if (!ec)
            return {};
        RemoveDatabaseFile(partial);
        return "Die Datei \"" + copy + "\" kann nicht angelegt werden.";
    } catch (const DbError& error) {
        RemoveDatabaseFile(partial); // with the engine's side files, which a failed close leaves
        return error.Description();
    }
}

bool Backup::RestoreServer(const std::string& database)
{
    // One transaction on the server: the old tables go and the backup's come in their place, or,
    // when anything fails, the database stays as it was.
    try {
        std::unique_ptr<Database> source = Database::OpenSqlite(database);
        Database& work = WorkDb();
        DbTransaction transaction(work);
        for (const std::string& table : work.TableNames())
            work.DropTable(table);
        TransferDatabase(*source, work);
        transaction.Commit();
    } catch (const DbError& error) {
        Fail(LoadText(4777) + error.Description(), MsgIcon::Critical);
        return false;
    }
    ReopenWorkDatabase(Connection().DbPath);
    g_lastRestore = std::time(nullptr);
    return true;
}

std::vector<BackupEntry> Backup::List(const std::string& folder)
{
    std::vector<BackupEntry> entries;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec))
            continue;
        const std::string name = it->path().filename().string();
        if (!EqualsNoCase(name.substr(0, std::min<std::size_t>(7, name.size())), "BACKUP_"))
            continue;
        const bool isZip = EndsWithNoCase(name, ".ZIP");
        if (!isZip && !EndsWithNoCase(name, ".MDB"))
            continue;
        BackupEntry entry;
        entry.Path = it->path().string();
        entry.FileName = name;
        entry.IsZip = isZip;
        entry.Size = it->file_size(ec);
        entry.Modified = ToTimeT(it->last_write_time(ec));
        entry.DateText = LongDateTime(entry.Modified);
        entries.push_back(std::move(entry));
    }
    // Newest first; the names carry the time, so they order equal dates.
    std::sort(entries.begin(), entries.end(), [](const BackupEntry& a, const BackupEntry& b) {
        return a.Modified != b.Modified ? a.Modified > b.Modified : a.FileName > b.FileName;
    });
    return entries;
}

bool Backup::Delete(const std::string& path)
{
    m_lastErrorText.clear();
    std::error_code ec;
    if (!fs::remove(path, ec) || ec) {
        Fail(LoadText(4773), MsgIcon::Critical);
        return false;
    }
    return true;
}

std::string Backup::CheckDatabase(const std::string& path)
{
    try {
        OpenOptions options;
        options.ReadOnly = true;
        auto db = Database::OpenSqlite(path, options);
        if (!db->TableExists("T_VERSION"))
            return "Die Datei \"" + fs::path(path).filename().string() + "\" ist keine Pfannola-Datenbank.";
        DatabaseVersionText(*db);
        db->Close();
    } catch (const DbError& error) {
        return "Die Datei \"" + fs::path(path).filename().string() +
               "\" ist keine lesbare Datenbank: " + error.Description();
    }
    return {};
}

std::string Backup::ExtractDatabase(const std::string& archive)
{
    clsZIP zip;
    if (!zip.LoadZIPFile(archive)) {
        Fail(LoadText(4777) + zip.LastResultText(), MsgIcon::Critical);
        return {};
    }
    int found = -1;
    for (int i = 0; i < zip.ZIPFilecount() && found < 0; ++i) {
        if (!zip.FileInfo(i).IsFolder && EndsWithNoCase(zip.ZIPFilename(i), ".MDB"))
            found = i;
    }
    if (found < 0) {
        Fail(LoadText(4777) + "Das ZIP-Archiv \"" + fs::path(archive).filename().string() +
                 "\" enthält keine Datenbank (.MDB).",
             MsgIcon::Critical);
        return {};
    }
    zip.ZIPSelect(found);
    // A folder of its own, so that an entry never meets another file of the same name.
    std::string folder = TempFolder() + "restore";
    std::error_code ec;
    fs::remove_all(folder, ec);
    if (!zip.Expand(folder, false)) {
        Fail(LoadText(4777) + zip.LastResultText(), MsgIcon::Critical);
        fs::remove_all(folder, ec);
        return {};
    }
    m_restoredFrom = zip.FileInfo(found).FullName;
    return zip.ExpandedPath(found);
}

namespace {

// The content a restore replaces is kept as work file + ".BAK": a copy of its committed state,
// or, when the engine cannot read the file (damaged, cut short), its bytes as they are, together
// with a write-ahead log a killed program left beside it. A missing work file leaves no ".BAK".
// False when it could not be kept.
bool KeepReplacedContent(const std::string& work, const std::string& bak)
{
    std::error_code ec;
    const bool hasLog = fs::file_size(work + "-wal", ec) > 0 && !ec;
    if (!fs::exists(work, ec))
        return true;
    // The engine would take an empty file for an empty database and make a new one of it.
    bool throughEngine = fs::file_size(work, ec) > 0 && !ec;
    try {
        if (throughEngine)
            CopyDatabaseFile(work, bak);
    } catch (const DbError&) {
        throughEngine = false;
    }
    if (!throughEngine && !CopyBytes(work, bak))
        return false;
    // A log beside an earlier ".BAK" would be replayed onto the new one.
    fs::remove(bak + "-wal", ec);
    fs::remove(bak + "-shm", ec);
    return throughEngine || !hasLog || CopyBytes(work + "-wal", bak + "-wal");
}

} // namespace

bool Backup::Restore(const std::string& source, bool askFirst)
{
    m_lastErrorText.clear();
    m_restoredFrom.clear();
    ConnectionState& conn = Connection();
    if ((conn.DbType != 0 && !HasWorkDb()) || (conn.DbPath.empty() && !HasWorkDb())) {
        Fail(LoadText(4777) + "Die Datenbank ist nicht geöffnet.", MsgIcon::Critical);
        return false;
    }
    if (askFirst && UI().Ask(LoadText(4774) + kCrLf + LoadText(4775), Buttons::YesNo, Answer::No,
                             MsgIcon::Question, AppContext::Current().AppCaption) != Answer::Yes)
        return false;

    Interaction& ui = UI();
    ui.SetBusy(true);
    struct Done
    {
        Interaction& Ui;
        ~Done()
        {
            Ui.SetBusy(false);
            ShowProgress(-1, -1, "");
        }
    } done{ui};

    std::error_code ec;
    if (!fs::is_regular_file(source, ec)) {
        Fail(LoadText(4777) + "Die Datei \"" + source + "\" ist nicht vorhanden.", MsgIcon::Critical);
        return false;
    }
    std::string database = source;
    std::string extracted;
    if (EndsWithNoCase(source, ".ZIP")) {
        ShowProgress(10, 2, LoadText(3427));
        extracted = ExtractDatabase(source);
        if (extracted.empty())
            return false;
        database = extracted;
    } else {
        m_restoredFrom = fs::path(source).filename().string();
    }
    struct RemoveExtracted
    {
        std::string Path;
        ~RemoveExtracted()
        {
            std::error_code ignored;
            if (!Path.empty())
                fs::remove_all(fs::path(Path).parent_path(), ignored);
        }
    } removeExtracted{extracted};

    // Nothing is replaced before the backup has shown that it is a database of this program.
    if (std::string reason = CheckDatabase(database); !reason.empty()) {
        Fail(LoadText(4777) + reason, MsgIcon::Critical);
        return false;
    }

    ShowProgress(10, 5, LoadText(4776));
    if (conn.DbType != 0)
        return RestoreServer(database);
    const std::string work = HasWorkDb() ? WorkDb().Name() : conn.DbPath;
    if (fs::equivalent(work, database, ec)) {
        Fail(LoadText(4777) + "Die Datensicherung ist die Arbeitsdatenbank selbst.", MsgIcon::Critical);
        return false;
    }

    // Nothing is changed while another program works on the file.
    CloseWorkDatabase();
    if (DatabaseFileInUse(work)) {
        Fail(LoadText(4777) + "Die Datenbank \"" + work + "\" wird noch von einem anderen Programm benutzt.",
             MsgIcon::Critical);
        ReopenWorkDatabase(work);
        return false;
    }
    // The backup is copied beside the work file first, so that a full disk or an unreadable
    // backup stops the restore before the work file or an earlier ".BAK" is touched.
    const std::string staged = work + ".$$$";
    try {
        CopyDatabaseFile(database, staged);
    } catch (const DbError& error) {
        fs::remove(staged, ec);
        Fail(LoadText(4777) + error.Description(), MsgIcon::Critical);
        ReopenWorkDatabase(work);
        return false;
    }

    const std::string bak = work + ".BAK";
    if (!KeepReplacedContent(work, bak)) {
        fs::remove(staged, ec);
        Fail(LoadText(4777) + "Der bisherige Stand der Datenbank kann nicht als \"" + bak +
                 "\" aufbewahrt werden.",
             MsgIcon::Critical);
        ReopenWorkDatabase(work);
        return false;
    }
    // The old log and its index belong to the replaced content: left beside the restored file
    // the engine would replay them onto it.
    fs::remove(work + "-wal", ec);
    fs::remove(work + "-shm", ec);
    fs::rename(staged, work, ec);
    if (ec) {
        fs::remove(staged, ec);
        Fail(LoadText(4777) + "Die Datenbank \"" + work + "\" kann nicht ersetzt werden.", MsgIcon::Critical);
        ReopenWorkDatabase(work);
        return false;
    }
    ReopenWorkDatabase(work);
    g_lastRestore = std::time(nullptr);
    return true;
}

} // namespace pf
