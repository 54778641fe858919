#include "db/DatabaseChoice.h"

#include "core/AppContext.h"
#include "core/Settings.h"
#include "core/Utf8.h"
#include "db/Recordset.h"

#include <algorithm>
#include <filesystem>

namespace pf {

namespace {

ConnectionState g_connection;

std::string LastUseKey(int n)
{
    return "DBLastUse" + std::to_string(n);
}

// Title of cookbook 0 in the open database; empty when there is none yet.
std::string BaseCookbookTitle()
{
    if (!HasWorkDb())
        return {};
    try {
        return WorkDb().Scalar("SELECT BuchTitel FROM T_BUCH WHERE ID=0").AsText();
    } catch (const DbError&) {
        return {};
    }
}

} // namespace

ConnectionState& Connection()
{
    return g_connection;
}

Database& WorkDb()
{
    if (!g_connection.WorkDb)
        throw DbError(3420, "Das Objekt ist ungültig oder nicht mehr festgelegt.");
    return *g_connection.WorkDb;
}

bool HasWorkDb()
{
    return g_connection.WorkDb != nullptr;
}

void CloseWorkDatabase()
{
    if (g_connection.WorkDb) {
        try {
            g_connection.WorkDb->Close();
        } catch (const DbError&) {
            // Closing is best effort; the handle goes away either way.
        }
        g_connection.WorkDb.reset();
    }
}

std::vector<std::string> LastUsedDatabases()
{
    std::vector<std::string> result;
    for (int n = 1; n <= 9; ++n) {
        std::string path = ReadSetting("", LastUseKey(n), "", true);
        if (!path.empty())
            result.push_back(path);
    }
    return result;
}

std::vector<FirstStartItem> FirstStartItems()
{
    std::vector<FirstStartItem> items;
    const std::string& dataDir = AppContext::Current().DataDir;
    std::error_code ec;
    if (!dataDir.empty() && std::filesystem::is_directory(dataDir, ec)) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dataDir, ec)) {
            std::string name = entry.path().filename().string();
            if (entry.is_regular_file(ec) && ToLower(entry.path().extension().string()) == ".mdb")
                names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        for (auto& name : names)
            items.push_back({name, true});
    }
    for (auto& path : LastUsedDatabases())
        items.push_back({path, false});
    return items;
}

std::string SelectionEntryPath(const std::string& entry)
{
    std::string path = CharSubstr(entry, 4);
    if (auto cut = path.find(" ["); cut != std::string::npos)
        path.erase(cut);
    return path;
}

DatabaseSelection CurrentDatabaseSelection()
{
    const ConnectionState& conn = Connection();
    DatabaseSelection current;
    current.DbType = conn.DbType;
    (conn.DbType == 0 ? current.Path : current.Dsn) = conn.DbPath;
    current.LogonType = conn.OdbcLogonType;
    return current;
}

void CommitDatabaseSelection(const DatabaseSelection& choice)
{
    ConnectionState& conn = Connection();
    // The user's choice replaces a database the command line gave for this run.
    for (const char* key : {"Database", "DBTYPE", "DBDSN", "DBUSER", "DBUID", "DBLogonType"})
        DropCommandLineOverride(key);
    const std::string chosen = choice.DbType == 0 ? choice.Path : choice.Dsn;
    if (!EqualsNoCase(chosen, conn.DbPath)) {
        WriteSetting("", "Book", "0," + BaseCookbookTitle(), false);
        for (int n = 8; n >= 1; --n)
            WriteSetting("", LastUseKey(n + 1), ReadSetting("", LastUseKey(n), "", true), true);
        WriteSetting("", LastUseKey(1), conn.DbPath, true);
    }
    conn.DbType = choice.DbType;
    conn.DbPath = chosen;
    if (choice.DbType == 0) {
        conn.DbTypeText = "ACCESS";
        WriteSetting("", "DBTYPE", "Access", true);
        WriteSetting("", "Database", choice.Path, true);
    } else {
        conn.DbTypeText = "ODBC";
        conn.OdbcLogonType = choice.LogonType;
        WriteSetting("", "DBTYPE", "ODBC", true);
        WriteSetting("", "DBDSN", choice.Dsn, true);
        // User and password share one setting: the user is written first, the password last,
        // so the stored value is the password. The user name is kept apart in DBUID.
        const bool withLogon = choice.LogonType == 0;
        WriteSetting("", "DBUSER", withLogon ? choice.User : "", true);
        WriteSetting("", "DBUSER", withLogon ? choice.Password : "", true);
        WriteSetting("", "DBUID", withLogon ? choice.User : "", true);
        WriteSetting("", "DBLogonType", std::to_string(choice.LogonType), true);
    }
}

} // namespace pf
