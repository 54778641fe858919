#include "app/Startup.h"

#include "app/CommandLine.h"
#include "core/AppContext.h"
#include "core/ExternalTools.h"
#include "core/Interaction.h"
#include "core/Messages.h"
#include "core/ProcessExit.h"
#include "core/Settings.h"
#include "core/TextConv.h"
#include "core/Trim.h"
#include "core/Utf8.h"
#include "db/BaseDataFill.h"
#include "db/ClsUser.h"
#include "db/SchemaVersion.h"
#include "db/WorkDatabase.h"
#include "model/ClUnit.h"
#include "model/ProgramUnits.h"
#include "model/clBook.h"
#include "nutrition/Nutrition.h"

#include <pwd.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <thread>

namespace pf {

namespace {

std::string TempFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = tmp && *tmp ? tmp : "/tmp";
    if (folder.back() != '/')
        folder += '/';
    return folder;
}

std::string LoginName()
{
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name) {
        std::string name = pw->pw_name;
        return name.substr(0, 63);
    }
    return {};
}

long SecondsOfDay()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_hour * 3600L + local.tm_min * 60L + local.tm_sec;
}

} // namespace

std::string FindShareDir(const std::string& programDir)
{
    // Where the installation puts the shipped files, seen from the folder of the programs.
#ifdef PF_SHARE_FROM_PROGRAM
    const char* const installed = PF_SHARE_FROM_PROGRAM;
#else
    const char* const installed = "../share/pfannola";
#endif
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::path(programDir) / "INIT.ZIP", ec))
        return programDir;
    const std::filesystem::path share = (std::filesystem::path(programDir) / installed).lexically_normal();
    if (std::filesystem::is_directory(share, ec))
        return (share / "").string();
    return programDir;
}

namespace {

void ChooseProgramFiles(AppContext& app, const std::string& executablePath)
{
    std::filesystem::path exe(executablePath);
    std::error_code ec;
    auto absolute = std::filesystem::absolute(exe, ec);
    if (!ec)
        exe = absolute;
    app.ProgramDir = exe.parent_path().string() + "/";
    app.ShareDir = FindShareDir(app.ProgramDir);
    // Both programs share one settings file and one exception list, named after the desktop program.
    app.ExeName = "pfannola";
    app.IniFile = app.ProgramDir + app.ExeName + ".INI";
    app.UserStoreFile = DefaultUserStoreFile();
    DetermineDataDirectory();
    // A program folder on a network share ("//server/...") is not made the current folder.
    if (app.ProgramDir.rfind("//", 0) != 0)
        (void)chdir(app.ProgramDir.c_str());
    if (!app.DataDir.empty() && !std::filesystem::exists(app.IniFile, ec))
        app.IniFile = app.DataDir + app.ExeName + ".INI";
}

void ReadLanguage(AppContext& app)
{
    const std::string machine = ReadSetting("", "Language", "0", true);
    app.LanguageIndex = static_cast<int>(SettingToLong(ReadSetting("", "Language", machine, false)));
    // The one language the program ships.
    std::string list = "DE,Deutsch";
    app.LanguageCode = list.substr(0, list.find(','));
    app.LanguageName = list.substr(list.find(',') + 1);
    const std::string code = ToUpper(app.LanguageCode);
    app.LocaleLetter = code == "EN"   ? "E"
                       : code == "FR" ? "F"
                       : code == "IT" ? "I"
                       : code == "ES" ? "S"
                                      : "D";
    app.TextOffset = app.LanguageIndex * 6000;
}

void ReadTools(AppContext& app)
{
    app.ToolTable = ReadToolTable();
}

void ReadPhrases(AppContext& app)
{
    const std::string unused = ToUpper(LoadText(1815));
    for (int i = 0; i < 10; ++i) {
        std::string phrase = ReadSetting("", "Floskel" + std::to_string(i), "", false);
        app.Phrases[static_cast<std::size_t>(i)] = ToUpper(phrase) == unused ? "" : phrase;
    }
}

void RestoreActiveCookbook(AppContext& app)
{
    LoadActiveCookbook(SettingToLong(ReadSetting("", "Book", "0," + clBook::DefaultName(0), false)));
    if (app.SaveUserRelevant) {
        const std::string fallback = std::to_string(app.ActiveBookId) + "," + app.ActiveBookTitle;
        LoadActiveCookbook(SettingToLong(ReadSetting("", "Book", fallback, false)));
    }
}

std::string JoinIds(const std::vector<long>& ids)
{
    std::string text;
    for (long id : ids) {
        if (id == 0)
            continue;
        if (!text.empty())
            text += ',';
        text += std::to_string(id);
    }
    return text;
}

} // namespace

StartupHooks& StartHooks()
{
    static StartupHooks hooks;
    return hooks;
}

void RegisterOpenAreas()
{
    static const bool registered = [] {
        // Each opened database brings its own units: the program's lists and the recipe caches
        // of the previous one are dropped and the unit table is read. The active cookbook is
        // loaded again by its number, from the database now open.
        Hooks().GlobalData.push_back({430, [](Database&) {
                                          ResetProgramData();
                                          ProgramUnits().Count();
                                          LoadActiveCookbook(AppContext::Current().ActiveBookId);
                                      }});
        // Nutrient descriptors, food classes and unit scales: a database without descriptors
        // could never show a nutrient and is refused.
        Hooks().GlobalData.push_back({428, [](Database& db) {
                                          if (!NutritionOf(db))
                                              throw GlobalDataUnusable{};
                                      }});
        // The users of the database just opened: with any, the login runs before the main window
        // can be used, and its rights hold until the next open.
        Hooks().GlobalData.push_back({432, [](Database& db) {
                                          SetCurrentUser({});
                                          ClsUser users(db);
                                          if (!users.AreUsersEnabled() || !StartHooks().Login)
                                              return;
                                          UI().SetBusy(false);
                                          if (!StartHooks().Login(users))
                                              throw ProcessExit{0};
                                          SetCurrentUser(users.Current());
                                      }});
        return true;
    }();
    (void)registered;
}

void ParseEditRing(const std::string& text, int& size, std::vector<long>& ring)
{
    std::string rest = text;
    size = static_cast<int>(SettingToLong(GetNextTokenText(rest, ",")));
    if (size < 20)
        size = 20;
    ring.clear();
    while (!rest.empty() && static_cast<int>(ring.size()) < size)
        ring.push_back(SettingToLong(GetNextTokenText(rest, ",")));
}

std::vector<std::string> ParseImportSourceWords(const std::string& setting)
{
    const std::string quoted = "\"" + setting + "\"";
    std::vector<std::string> words;
    std::size_t pos = 0;
    for (;;) {
        const auto open = quoted.find('"', pos);
        if (open == std::string::npos)
            break;
        const auto close = quoted.find('"', open + 1);
        if (close == std::string::npos)
            break;
        std::string word = std::string(Trim(quoted.substr(open + 1, close - open - 1)));
        if (!word.empty())
            words.push_back(word);
        pos = close + 1;
    }
    return words;
}

void InitialiseProgram(const StartArguments& arguments, Shell* shell)
{
    AppContext& app = AppContext::Current();
    app.CommandLine = arguments.CommandLine;

    // 1-2: titles, version, leftovers of an update.
    app.UpdateExePath = TempFolder() + "PfannolaUpdate.EXE";
    std::error_code ec;
    std::filesystem::remove(app.UpdateExePath, ec);
    app.ComputeVersion();
    app.PictureFilter =
        "Alle Bilder|*.gif;*.jpg;*.jpeg;*.bmp;*.ico;*.rle;*.wmf;*.emf|JPEG|*.jpg|Windows BMP|*.bmp|"
        "Alle Dateien|*.*";
    // 3-5: user, settings file, data folder, private temporary folder.
    app.WinUser = LoginName();
    ChooseProgramFiles(app, arguments.ExecutablePath);
    std::string pattern = TempFolder() + "PfannolaXXXXXX";
    if (char* made = mkdtemp(pattern.data()))
        app.TempDir = std::string(made) + "/";
    // 6-10.
    app.SaveUserRelevant = SettingToBool(ReadSetting("", "SaveUserRelevant", "True", true));
    ReadLanguage(app);
    app.HelpFile = app.ShippedFile("hilfe/index.html");
    app.HelpAvailable = std::filesystem::exists(app.HelpFile, ec);
    app.AdminUser = ToUpper(ReadSetting("", "AdminUser", "", true));
    app.ImportSourceWords = ParseImportSourceWords(
        ReadSetting("", "ImportSource", "SOURCE\",\"QUELLE\",\"ERFASST\",\"ERFAßT", true));
    app.Special = HasSpecialSwitch(app.CommandLine);
    // 11: the splash stays up while the rest runs.
    if (shell) {
        shell->ShowSplash();
        app.SplashStart = SecondsOfDay();
    }
    // 12-18.
    ReadTools(app);
    app.Options = ReadUserSettings();
    app.UnitDisplayFactor = UnitDisplayFactor(app.Options.EditMasse);
    ParseEditRing(ReadSetting("", "EditRing", "25", false), app.EditRingSize, app.RecipeRing);
    int menuRingSize = app.EditRingSize;
    std::string menuRing =
        std::to_string(app.EditRingSize) + "," + ReadSetting("", "EditMenuRing", "", false);
    ParseEditRing(menuRing, menuRingSize, app.MenuRing);
    ReadPhrases(app);
    LoadUmlautExceptions();
    app.StdPrinter = ReadSetting("", "StdPrinter", "", false);
}

void StartProgram(const StartArguments& arguments, Shell& shell)
{
    AppContext& app = AppContext::Current();
    InitialiseProgram(arguments, &shell);
    RegisterOpenAreas();

    // 19: the upgrade run ends the process whatever happens.
    if (auto path = UpgradeVersionArgument(app.CommandLine)) {
        shell.UnloadSplash();
        try {
            auto db = OpenDatabaseFile(*path);
            if (UpgradeDatabase(*db, true))
                FillEmptyTablesFromInit(*db);
            db->Close();
        } catch (const DbError&) {
            // Errors are ignored in this run.
        }
        throw ProcessExit{0};
    }

    // 20-24.
    OpenWorkDatabase(shell);
    RestoreActiveCookbook(app);

    // 25-26.
    if (UI().SplashVisible()) {
        UI().SetSplashStatus("Hauptprogramm starten ...");
        UI().ProcessEvents();
    }
    Connection().MainWindowRunning = true;
    shell.ShowMainWindow();

    // 27: a command-line import ends the program when it is done.
    if (auto file = ImportArgument(app.CommandLine)) {
        UI().SetBusy(false);
        if (UserMayUse(kRightEnter))
            shell.RunCommandLineImport(*file);
        else
            UI().Inform("Sie haben nicht das Recht, Rezepte zu importieren.", MsgIcon::Warning, app.AppTitle);
        shell.CloseMainWindow();
    }
}

void FinishMainWindowLoad(Shell& shell)
{
    AppContext& app = AppContext::Current();
    Interaction& ui = UI();
    if (ui.SplashVisible()) {
        while (SecondsOfDay() - app.SplashStart < 2 && SecondsOfDay() >= app.SplashStart) {
            ui.ProcessEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        shell.UnloadSplash();
    }
    if (ReadSetting("", "ProgVersion", "", true) != app.AppCaption)
        WriteSetting("", "ProgVersion", app.AppCaption, true);
}

bool Shutdown(Shell& shell)
{
    AppContext& app = AppContext::Current();
    StartupHooks& hooks = StartHooks();
    if (hooks.TrashQuestion && !hooks.TrashQuestion())
        return false;
    UI().SetBusy(true);
    UI().ProcessEvents();
    if (shell.SaveStateWanted()) {
        shell.SaveMainWindowState();
        WriteSetting("", "ShowIcons", shell.ShowIcons() ? "True" : "False", false);
        WriteSetting("", "Book", std::to_string(app.ActiveBookId) + "," + app.ActiveBookTitle, false);
        WriteSetting("", "EditLastFPCounter", std::to_string(app.Options.EditLastFPCounter), false);
        std::string ring = std::to_string(app.EditRingSize);
        if (std::string ids = JoinIds(app.RecipeRing); !ids.empty())
            ring += "," + ids;
        WriteSetting("", "EditRing", ring, false);
        WriteSetting("", "EditMenuRing", JoinIds(app.MenuRing), false);
    }
    shell.UnloadOtherWindows();
    if (hooks.BeforeClose) {
        UI().SetBusy(false);
        hooks.BeforeClose();
    }
    CloseWorkDatabase();
    RemoveTempDir();
    UI().SetBusy(false);
    return true;
}

void RemoveTempDir()
{
    AppContext& app = AppContext::Current();
    if (app.TempDir.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(app.TempDir, ignored);
    app.TempDir.clear();
}

} // namespace pf
