#pragma once
// The schema version a database carries in T_VERSION, compared with the program's, and the
// upgrade that brings an older database to the program's version step by step. Version texts
// have the fixed-width form "002.00.126", so text order is version order.
//
// Each step runs in a transaction of its own together with a T_VERSION row for its version: a step
// that fails leaves the database complete at the previous step's version, and the next open goes
// on from there. The user is asked once (the upgrade window, or a question through the
// interaction where no window is installed); the answer may ask for a safety copy beside the file
// (path + ".BAK") and a compaction afterwards.

#include "db/Database.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pf {

std::string FormatVersion(long major, long minor, long build);
// The program's version text, 002.00.126.
std::string ProgramVersionText();
// The database's version text; "000.50.036" when T_VERSION has no rows. Throws DbError when
// T_VERSION cannot be read.
std::string DatabaseVersionText(Database& db);

// One row of T_VERSION.
struct VersionEntry
{
    std::string Version;
    DateSerial Date; // 0 when the row has none
    std::string Description;
};
// The schema history, newest first; rows of older tables without date or description have them
// empty. Throws DbError when T_VERSION cannot be read.
std::vector<VersionEntry> VersionHistory(Database& db);

// What the upgrade window shows.
struct UpgradeQuestion
{
    std::string DatabaseVersion;
    std::string ProgramVersion;
    std::string DatabaseName; // file path or data source
    bool Odbc = false;        // a server database: no safety copy, a warning first
    std::vector<VersionEntry> History;
};

// The answer: Result -1 cancel (the program ends), 0 continue without upgrade, 1 upgrade; the two
// options of the window.
struct UpgradeChoice
{
    int Result = -1;
    bool Backup = true;    // chkBackup: safety copy before the first change
    bool Optimise = false; // chkOptimise: compact the file afterwards
};

// The upgrade window, implemented by the desktop program.
class UpgradeWindow
{
public:
    virtual ~UpgradeWindow() = default;
    virtual UpgradeChoice UpdateQuestion(const UpgradeQuestion& question) = 0;
};
// Installs the window the upgrade asks with (the desktop program does at start); without one, the
// question goes through the interaction as yes (upgrade with safety copy) / no / cancel.
void SetUpgradeWindow(std::unique_ptr<UpgradeWindow> window);

// The warning before upgrading a server database (no safety copy can be made); true on yes.
bool ConfirmOdbcUpgrade();

// Checks the version and brings an older schema up to date; false when the database cannot be
// used (T_VERSION unreadable, or a step failed: its changes are rolled back). With askFirst false
// (the initial database of a new one) nothing is asked, no window shown and no copy made. Throws
// ProcessExit where the user ends the program (cancel, too old, failed copy, read-only database).
bool UpgradeDatabase(Database& db, bool askFirst);

// For tests: runs inside every step's transaction after the step's changes, with the step's
// version; an exception thrown there fails the step. An empty function removes it.
void SetUpgradeStepHook(std::function<void(const std::string& version)> hook);

// Creates a new database file at the chosen path holding the whole current schema and its version
// row, after asking.
bool CreateMinimalDatabase();
// Today's date and time as a day serial.
DateSerial NowSerial();

} // namespace pf
