#include "db/WorkDatabase.h"
#include "db/OpenDatabase.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Messages.h"
#include "core/ProcessExit.h"
#include "core/Settings.h"
#include "core/Trim.h"
#include "core/Utf8.h"
#include "db/BaseDataFill.h"
#include "db/ChangeStamp.h"
#include "db/DatabaseCopy.h"
#include "db/DatabaseRepair.h"
#include "db/InitFiles.h"
#include "db/SchemaVersion.h"
#include "db/SearchIndex.h"

#include <cstdlib>
#include <filesystem>

namespace pf {

namespace {

const char* const kCrLf = "\r\n";

bool AskYesNo(const std::string& text)
{
    return UI().Ask(text, Buttons::YesNo, Answer::Yes, MsgIcon::Question, AppContext::Current().AppCaption) ==
           Answer::Yes;
}

// Thousands grouped with "." as a German reader expects ("###,###,###" in the German locale).
std::string GroupThousands(long long value)
{
    std::string digits = std::to_string(value < 0 ? -value : value);
    std::string grouped;
    int count = 0;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (count && count % 3 == 0)
            grouped.insert(grouped.begin(), '.');
        grouped.insert(grouped.begin(), *it);
        ++count;
    }
    return grouped;
}

// Opens the chosen database; the open errors go to the caller's handling.
void OpenChosenDatabase()
{
    ConnectionState& conn = Connection();
    if (conn.DbType == 0) {
        std::string path = conn.DbPath;
        if (path.find('/') == std::string::npos)
            path = AppContext::Current().ProgramDir + path;
        conn.WorkDb = OpenDatabaseFile(path);
        return;
    }
    // DBUSER holds the password (user and password share it); the user name is kept in DBUID.
    const std::string user = ReadSetting("", "DBUID", "", true);
    const std::string password = ReadSetting("", "DBUSER", "", true);
    conn.WorkDb = OpenDatabase(ServerConnectFor(conn.DbPath, conn.OdbcLogonType, user, password));
}

// Answers an open error as the user decides: create, repair, or forget and choose another.
// Returns when the loop should locate again. A file that was created or repaired is still the
// choice of the settings, so the next round opens it without showing the selection window.
void HandleOpenError(const DbError& error, DatabaseWindows& windows)
{
    ConnectionState& conn = Connection();
    std::string errorText = "(#" + std::to_string(error.Number()) + ") " + error.Description();
    if (error.Number() == dberr::kFileNotFound) {
        if (AskYesNo(LoadText(417) + conn.DbPath + LoadText(418))) {
            windows.UnloadSplash();
            // The user has just said yes to creating it: no second question.
            const bool created = CreateDatabaseFromInit(false);
            conn.DbPath.clear();
            if (created)
                return;
        }
    } else {
        const bool repairable =
            conn.DbType == 0 && !errorText.starts_with("(#53)") && !errorText.starts_with("(#76)");
        if (repairable && AskYesNo(LoadText(419) + errorText + "\". Reparatur versuchen ?")) {
            std::string path = conn.DbPath;
            if (path.find('/') == std::string::npos)
                path = AppContext::Current().ProgramDir + path;
            UI().SetBusy(true);
            RepairResult repair = RepairDatabaseFile(path);
            UI().SetBusy(false);
            if (repair.Ok) {
                conn.DbPath.clear();
                return;
            }
            errorText = repair.Error;
        }
    }
    if (!conn.DbPath.empty()) {
        InformCritical(LoadText(419) + errorText + "\"");
        ForgetDatabase();
    }
    if (conn.DbPath.empty()) {
        windows.UnloadSplash();
        if (!windows.ShowSelection())
            throw ProcessExit{0};
        conn.DbPath.clear();
    }
}

// Loads every area of global data; false when an area failed and the open must start again.
// During start-up a failure ends the process; later the database is forgotten, so that locating
// starts afresh instead of opening the same unusable file again.
bool LoadGlobalData()
{
    const auto& areas = Hooks().GlobalData;
    for (std::size_t i = 0; i < areas.size(); ++i) {
        ShowStatus(LoadText(427) + std::string(i, '.'));
        bool failed = true;
        try {
            areas[i].Load(WorkDb());
            failed = false;
        } catch (const GlobalDataUnusable&) {
            InformCritical(LoadText(435));
        } catch (const DbError& error) {
            InformCritical(LoadText(433) + LoadText(areas[i].MessageNumber) + LoadText(434) + kCrLf +
                           error.JoinedDescription());
        }
        if (!failed)
            continue;
        if (!Connection().MainWindowRunning)
            throw ProcessExit{1};
        CloseWorkDatabase();
        ForgetDatabase();
        return false;
    }
    return true;
}

} // namespace

OpenHooks& Hooks()
{
    static OpenHooks hooks;
    return hooks;
}

std::string DefaultDatabaseFolder()
{
    return AppContext::Current().DataDir + "DB";
}

std::string DatabaseFolder()
{
    std::string chosen = ReadSetting(kFolderSection, kDatabaseFolderKey, "", false);
    while (chosen.size() > 1 && chosen.back() == '/')
        chosen.pop_back();
    std::error_code ignored;
    if (!chosen.empty() && std::filesystem::is_directory(chosen, ignored))
        return chosen;
    return DefaultDatabaseFolder();
}

void SetDatabaseFolder(const std::string& folder)
{
    WriteSetting(kFolderSection, kDatabaseFolderKey, folder, false);
}

std::string DefaultDatabasePath()
{
    return DatabaseFolder() + "/Pfannola.MDB";
}

std::unique_ptr<Database> OpenDatabaseFile(const std::string& path)
{
    if (IsServerConnect(path))
        return OpenDatabase(path);
    RemoveLeftoverCopies(path);
    // A file without write permission opens read-only: the file database's open decides that.
    return Database::OpenSqlite(path);
}

std::string BuildOdbcConnect(const std::string& dsn, int logonType, const std::string& user,
                             const std::string& password)
{
    std::string connect = "ODBC;DSN=" + dsn;
    if (logonType == 0) {
        if (!user.empty())
            connect += ";UID=" + user;
        if (!password.empty())
            connect += ";PWD=" + password;
    }
    return connect;
}

std::string ServerConnectFor(const std::string& source, int logonType, const std::string& user,
                             const std::string& password)
{
    const std::string_view keywords = Trim(source, " ;");
    if (keywords.find('=') == std::string_view::npos)
        return BuildOdbcConnect(source, logonType, user, password);
    // A value with a semicolon is put in braces, as the driver expects.
    const auto value = [](const std::string& text) {
        return text.find(';') == std::string::npos ? text : "{" + text + "}";
    };
    std::string connect = "odbc:";
    if (ToLower(keywords).find("driver=") == std::string::npos)
        connect += "Driver=PostgreSQL Unicode;";
    connect += keywords;
    if (logonType == 0) {
        if (!user.empty())
            connect += ";Uid=" + value(user);
        if (!password.empty())
            connect += ";Pwd=" + value(password);
    }
    return connect;
}

void SaveDatabaseChoice()
{
    ConnectionState& conn = Connection();
    // A database given on the command line is used for this run only: there is nothing to
    // remember, and telling the user so at every start would only be noise.
    auto givenOnCommandLine = [](const char* key, const std::string& value) {
        auto given = CommandLineOverride(key);
        return given && EqualsNoCase(*given, value);
    };
    if (!givenOnCommandLine("Database", conn.DbPath))
        WriteSetting("", "Database", conn.DbPath, true);
    if (!givenOnCommandLine("DBType", conn.DbTypeText) && !givenOnCommandLine("Database", conn.DbPath))
        WriteSetting("", "DBType", conn.DbTypeText, true);
}

void ForgetDatabase()
{
    Connection().DbPath.clear();
    WriteSetting("", "Database", "", true);
}

int LocateDatabase(DatabaseWindows& windows)
{
    ConnectionState& conn = Connection();
    const std::string type = ToUpper(ReadSetting("", "DBTYPE", "", true));
    if (type == "ODBC" || type == "SQL") {
        conn.DbType = type == "ODBC" ? 1 : 2;
        conn.DbTypeText = type;
        conn.DbPath = std::string(Trim(ReadSetting("", "DBDSN", "", true), kWhiteSpace));
        conn.OdbcLogonType = static_cast<int>(SettingToLong(ReadSetting("", "DBLogonType", "2", true)));
        if (conn.DbPath.empty()) {
            InformCritical(LoadText(413));
            windows.ShowOptions();
            throw ProcessExit{1};
        }
        return 0;
    }
    conn.DbType = 0;
    conn.DbTypeText = "ACCESS";
    conn.DbPath = ReadSetting("", "Database", "", true);
    if (!conn.DbPath.empty())
        return 0;

    // First start: no database chosen yet.
    CloseWorkDatabase();
    const std::string& dataDir = AppContext::Current().DataDir;
    std::error_code ignored;
    if (!dataDir.empty())
        std::filesystem::create_directories(dataDir + "DB", ignored);
    conn.DbPath = DefaultDatabasePath();
    std::vector<FirstStartItem> items = FirstStartItems();
    FirstStartResult choice = windows.ShowFirstStart(items, conn.DbPath);
    switch (choice.Mode) {
    case 0:
        SaveDatabaseChoice();
        // Choosing a new database in the first-start window is the answer already.
        CreateDatabaseFromInit(false);
        return 1;
    case 1: {
        if (choice.Item < 0 || choice.Item >= static_cast<int>(items.size()))
            throw ProcessExit{0};
        const FirstStartItem& item = items[static_cast<std::size_t>(choice.Item)];
        conn.DbPath = item.InDataDir ? dataDir + item.Text : item.Text;
        SaveDatabaseChoice();
        if (!std::filesystem::exists(conn.DbPath, ignored)) {
            InformCritical(LoadText(416));
            if (!windows.ShowSelection())
                throw ProcessExit{0};
            return 1;
        }
        return 0;
    }
    case 2:
        windows.UnloadSplash();
        if (!windows.ShowSelection())
            throw ProcessExit{0};
        return 1;
    default:
        throw ProcessExit{0};
    }
}

void OpenWorkDatabase(DatabaseWindows& windows)
{
    ConnectionState& conn = Connection();
    for (;;) {
        if (UI().SplashVisible())
            UI().SetSplashStatus(LoadText(412));
        CloseWorkDatabase();
        for (;;) {
            if (LocateDatabase(windows) == 0) {
                try {
                    OpenChosenDatabase();
                } catch (const DbError& error) {
                    CloseWorkDatabase();
                    HandleOpenError(error, windows);
                }
            }
            // A database created or chosen on the way is opened by the next round, which
            // reads the choice from the settings.
            if (conn.DbPath.empty() || !HasWorkDb())
                continue;
            if (!UpgradeDatabase(WorkDb(), true)) {
                CloseWorkDatabase();
                ForgetDatabase();
                continue;
            }
            // A database from before the shipped foods or lexicon gets them now; a failure is
            // reported and leaves the database as it was, still usable.
            FillEmptyTablesFromInit(WorkDb());
            // A file of this version made before the search index came gets it now, not only
            // with the next upgrade.
            EnsureSearchIndex(WorkDb());
            // Recipes kept in memory are checked against their stamps; a database made before
            // the stamps gets them now.
            EnsureChangeStamps(WorkDb());
            break;
        }
        SaveDatabaseChoice();
        if (LoadGlobalData())
            break;
    }
    ShowStatus("");
    ShowProgress(-1, -1, "");
}

void CompactWorkDatabase()
{
    ConnectionState& conn = Connection();
    if (conn.DbType != 0 || !HasWorkDb())
        return;
    Interaction& ui = UI();
    ui.SetBusy(true);
    if (!ui.SplashVisible())
        ShowProgress(100, 50, LoadText(1098));
    const std::string path = WorkDb().Name();
    CloseWorkDatabase();
    std::error_code ec;
    const auto before = static_cast<long long>(std::filesystem::file_size(path, ec));
    if (!ui.SplashVisible())
        ShowProgress(100, 50, LoadText(1099));
    std::string error;
    if (!VacuumDatabaseFile(path, error)) {
        ui.SetBusy(false);
        InformCritical(LoadText(1100) + kCrLf + error);
    } else {
        const auto after = static_cast<long long>(std::filesystem::file_size(path, ec));
        const long long difference = before - after;
        ui.SetBusy(false);
        if (difference > 32000)
            ui.Inform(LoadText(1101) + GroupThousands(difference) + LoadText(1102), MsgIcon::Information,
                      AppContext::Current().AppCaption);
        else if (difference < -32000)
            ui.Inform(LoadText(1103) + GroupThousands(-difference) + LoadText(1104), MsgIcon::Information,
                      AppContext::Current().AppCaption);
    }
    conn.WorkDb = OpenDatabaseFile(path);
    ui.SetBusy(false);
    ShowProgress(-1, -1, "");
}

} // namespace pf
