#pragma once
// Which database the program works on: the process-wide connection state, the windows the open
// sequence needs to ask the user, and the selection window's commit with its last-used list.

#include "db/Database.h"

#include <memory>
#include <string>
#include <vector>

namespace pf {

struct ConnectionState
{
    int DbType = 0; // 0 file, 1 ODBC, 2 ODBC of the kind "SQL"
    std::string DbTypeText = "ACCESS";
    std::string DbPath; // file path or data source name; empty: none chosen
    int OdbcLogonType = 2;
    std::unique_ptr<Database> WorkDb;
    bool MainWindowRunning = false; // global-data failures end the process until then
};

// The one connection state of the process.
ConnectionState& Connection();
// The open work database; throws DbError when none is open.
Database& WorkDb();
bool HasWorkDb();
void CloseWorkDatabase();

struct FirstStartItem
{
    std::string Text;
    bool InDataDir = false; // a file of the data folder (Text is its name), else a full path
};

struct FirstStartResult
{
    int Mode = -1; // -1 closed, 0 new database, 1 existing file, 2 selection window
    int Item = -1; // chosen entry of the list for mode 1
};

struct DatabaseSelection
{
    int DbType = 0;
    std::string Path; // file, for DbType 0
    std::string Dsn;  // data source, for DbType 1
    std::string User;
    std::string Password;
    int LogonType = 2;
};

// The two windows the open sequence shows; the desktop program implements them with Qt, the
// command-line program and tests without windows.
class DatabaseWindows
{
public:
    virtual ~DatabaseWindows() = default;
    virtual FirstStartResult ShowFirstStart(const std::vector<FirstStartItem>& items,
                                            const std::string& newPath) = 0;
    // Modal selection window; true when the user committed a choice (CommitDatabaseSelection ran).
    virtual bool ShowSelection() = 0;
    virtual void ShowOptions() = 0;
    virtual void UnloadSplash() {}
};

// The settings DBLastUse1..DBLastUse9 that are not empty, most recent first.
std::vector<std::string> LastUsedDatabases();
// The entries of the first-start list: the *.mdb files of the data folder, then the last-used list.
std::vector<FirstStartItem> FirstStartItems();
// The OK action of the selection window: remembers the previous database in the last-used list
// when the choice differs, and stores the new choice in the settings and the connection state.
void CommitDatabaseSelection(const DatabaseSelection& choice);
// The open connection as a selection, to return to it (user and password are not kept).
DatabaseSelection CurrentDatabaseSelection();
// Text of a last-used entry as the selection window lists it ("1 - path") back to the path.
std::string SelectionEntryPath(const std::string& entry);

} // namespace pf
