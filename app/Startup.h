#pragma once
// The start sequence and the shutdown of the program. The windows they drive are behind Shell,
// so the same sequence runs under the desktop program and in tests without a screen.
// StartProgram returns when the main window is shown; it ends the process by throwing ProcessExit.

#include "db/DatabaseChoice.h"

#include <functional>
#include <string>
#include <vector>

namespace pf {

class ClsUser;

// The windows of the start and the shutdown.
class Shell : public DatabaseWindows
{
public:
    virtual void ShowSplash() = 0;
    // Shows the main window without waiting; its loading ends with FinishMainWindowLoad.
    virtual void ShowMainWindow() = 0;
    // Runs the import window on one file, started from the command line.
    virtual void RunCommandLineImport(const std::string& file) = 0;
    virtual void CloseMainWindow() = 0;
    // Shutdown: whether the window state is to be saved, saving it, and closing other windows.
    virtual bool SaveStateWanted() const { return true; }
    virtual void SaveMainWindowState() {}
    virtual bool ShowIcons() const { return false; }
    virtual void UnloadOtherWindows() {}
};

// What the windows add to the start and the shutdown; the start itself runs without windows too.
struct StartupHooks
{
    // The trash question at shutdown; false keeps the program open.
    std::function<bool()> TrashQuestion;
    // Last work on the open database before it is closed at shutdown (the backup reminder).
    std::function<void()> BeforeClose;
    // The login window, shown after each open of a database that has users; false when the login
    // did not succeed, which ends the program. Without one (batch use) nobody logs in and the
    // rights tests allow everything.
    std::function<bool(ClsUser&)> Login;
};
StartupHooks& StartHooks();
// Registers, once, what every open of a work database loads beside the connection layer's own
// steps: the units of the new database and the active cookbook by its number there.
void RegisterOpenAreas();

struct StartArguments
{
    std::string ExecutablePath; // full path of the running program
    std::string CommandLine;
};

// Steps 1 to 18: everything before the database, usable alone by the command-line program.
void InitialiseProgram(const StartArguments& arguments, Shell* shell);
void StartProgram(const StartArguments& arguments, Shell& shell);
// The rest of the main window's loading: keeps the splash for at least two seconds since it was
// shown, unloads it and remembers this version as the last one run.
void FinishMainWindowLoad(Shell& shell);
// The close request of the main window; false when the close is cancelled.
bool Shutdown(Shell& shell);
// Removes the temporary folder of the run.
void RemoveTempDir();

// The folder of the files shipped with the program, with trailing separator: the program folder
// when INIT.ZIP lies beside the program (the build folder), else the installed share folder
// (../share/pfannola/ beside bin/) when it exists, else the program folder.
std::string FindShareDir(const std::string& programDir);

// Reads "25,12,7": the ring size (at least 20) and up to that many IDs.
void ParseEditRing(const std::string& text, int& size, std::vector<long>& ring);
// Splits the quoted word list of the ImportSource setting.
std::vector<std::string> ParseImportSourceWords(const std::string& setting);

} // namespace pf
