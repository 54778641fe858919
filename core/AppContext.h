#pragma once
// The process-wide values the start sequence establishes and every part of the program reads:
// titles and version, user, settings file, folders, language, command line and the interaction.
// One instance is installed at start (or by a test) and reached through AppContext::Current().

#include "core/UserSettings.h"

#include <string>
#include <vector>

namespace pf {

class Interaction;

struct ExternalTool
{
    std::string Name;
    std::string Command;
    std::string ActionFilename;
    long Action = -1;
    long ActionType = 0;
    std::string Workingdir;
};

struct AppContext
{
    // Version of the program; the newest schema step carries the same number.
    static constexpr int kVersionMajor = 2;
    static constexpr int kVersionMinor = 0;
    static constexpr int kVersionRevision = 126;
    static constexpr const char* kBuildDate = "2018-12-28";

    std::string AppTitle = "Pfannola";
    std::string VersionText; // v2.00.126
    std::string AppCaption;  // Pfannola v2.00.126
    std::string UpdateExePath;
    std::string PictureFilter;
    std::string WinUser;
    std::string ProgramDir; // folder of the running executable, with trailing separator
    // Folder of the files shipped with the program (INIT.ZIP, the help, the style sheet), with
    // trailing separator: beside the executable in the build folder, ../share/pfannola/ once
    // installed. Empty means ProgramDir.
    std::string ShareDir;
    std::string ExeName;       // name of the running executable without extension
    std::string IniFile;       // machine-wide settings file
    std::string UserStoreFile; // per-user settings store (stands for the registry key)
    std::string DataDir;       // with trailing separator, empty when none could be determined
    std::string TempDir;       // private temporary folder of this run
    std::string CommandLine;   // the whole argument string, as typed

    bool SaveUserRelevant = true;
    int LanguageIndex = 0;
    std::string LanguageCode = "DE";
    std::string LanguageName = "Deutsch";
    std::string LocaleLetter = "D";
    int TextOffset = 0;
    std::string AdminUser;
    std::vector<std::string> ImportSourceWords;
    std::vector<ExternalTool> ToolTable;
    int UnitDisplayFactor = 2;
    int EditRingSize = 25;
    std::vector<long> RecipeRing;
    std::vector<long> MenuRing;
    std::vector<std::string> Phrases = std::vector<std::string>(10);
    bool HelpAvailable = false;
    std::string HelpFile;
    std::string HelpFileDate;
    long SplashStart = 0;
    bool Special = false;

    UserSettings Options;
    std::string StdPrinter;
    // The active cookbook as restored at start and saved at shutdown.
    long ActiveBookId = 0;
    std::string ActiveBookTitle;

    // Umlaut exception list: comma-separated upper-case words.
    std::string UmlautExceptions;

    Interaction* UI = nullptr;

    // Sets VersionText and AppCaption from the version numbers and AppTitle.
    void ComputeVersion();
    // Full path of a file shipped with the program (ShareDir, or ProgramDir when that is empty).
    std::string ShippedFile(const std::string& name) const;

    static AppContext& Current();
    static void Install(AppContext* context);
};

// Installs a context for the lifetime of a scope (tests, batch runs) and restores the previous one.
class ScopedAppContext
{
public:
    explicit ScopedAppContext(AppContext& context);
    ~ScopedAppContext();
    ScopedAppContext(const ScopedAppContext&) = delete;
    ScopedAppContext& operator=(const ScopedAppContext&) = delete;

private:
    AppContext* m_previous;
};

// The interaction of the current context; never null (a silent default answers with defaults).
Interaction& UI();

} // namespace pf
