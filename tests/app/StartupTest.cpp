#include "app/Startup.h"
#include "app/CommandLine.h"
#include "core/AppContext.h"
#include "core/ProcessExit.h"
#include "core/Settings.h"
#include "core/UserRights.h"
#include "db/ClsUser.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "db/SchemaVersion.h"
#include "db/WorkDatabase.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <tuple>

namespace pf {
namespace {

// The windows of start and shutdown, recorded instead of shown.
class FakeShell : public Shell
{
public:
    FirstStartResult ShowFirstStart(const std::vector<FirstStartItem>&, const std::string&) override
    {
        return firstStart;
    }
    bool ShowSelection() override { return false; }
    void ShowOptions() override {}
    void ShowSplash() override { log += "splash;"; }
    void UnloadSplash() override { log += "unsplash;"; }
    void ShowMainWindow() override { log += "main;"; }
    void RunCommandLineImport(const std::string& file) override { log += "import " + file + ";"; }
    void CloseMainWindow() override { log += "close;"; }
    bool ShowIcons() const override { return true; }

    FirstStartResult firstStart{-1, -1};
    std::string log;
};

class StartupTest : public ::testing::Test
{
protected:
    StartupTest() : m_scope(m_app)
    {
        m_app.UI = &ui;
        setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
        setenv("XDG_DATA_HOME", dir.File("share").c_str(), 1);
        setenv("TMPDIR", dir.Dir().c_str(), 1);
        std::filesystem::create_directories(dir.File("bin"));
        Connection() = ConnectionState{};
        // The stores the start will pick: the settings file beside the program and the user's store.
        test::WriteFile(dir.File("bin/pfannola.INI"), "[Pfannola]\n");
        m_app.IniFile = dir.File("bin/pfannola.INI");
        m_app.UserStoreFile = DefaultUserStoreFile();
        m_app.WinUser = "koch";
    }
    ~StartupTest() override
    {
        CloseWorkDatabase();
        RemoveTempDir();
        unsetenv("TMPDIR");
    }

    StartArguments Args(const std::string& commandLine) { return {dir.File("bin/pfannola"), commandLine}; }

    std::string MakeDatabase(const std::string& name = "rezepte.mdb")
    {
        Connection().DbPath = dir.File(name);
        ui.Answering(Answer::Yes);
        EXPECT_TRUE(CreateMinimalDatabase());
        // The open refuses a database without a nutrient descriptor; the base data brings them.
        Database::OpenSqlite(Connection().DbPath, {})
            ->Execute(
                "INSERT INTO T_BLS_FDESC (DINDEX,DKEY,DDESC,DDIM) VALUES (7,'GCAL','Energie','kcal/100g')");
        return Connection().DbPath;
    }
    // A database the settings name, as the next start opens it.
    std::string SettingsDatabase()
    {
        const std::string path = MakeDatabase();
        WriteSetting("", "Database", path, true);
        return path;
    }

    test::TempDir dir;
    test::ScriptedInteraction ui;
    FakeShell shell;
    AppContext m_app;

private:
    ScopedAppContext m_scope;
};

TEST_F(StartupTest, StartsWithTheDatabaseOfTheSettingsAndShowsTheMainWindow)
{
    std::string path = MakeDatabase();
    StartProgram(Args("Database=\"" + path + "\" EditRing=5,12,7"), shell);
    EXPECT_EQ(shell.log, "splash;main;");
    EXPECT_EQ(WorkDb().Name(), path);
    EXPECT_EQ(m_app.VersionText, "v2.00.126");
    EXPECT_EQ(m_app.AppCaption, "Pfannola v2.00.126");
    EXPECT_EQ(m_app.DataDir, dir.File("share") + "/Pfannola/");
    EXPECT_EQ(m_app.EditRingSize, 20);
    EXPECT_EQ(m_app.RecipeRing, (std::vector<long>{12, 7}));
    EXPECT_TRUE(std::filesystem::is_directory(m_app.TempDir));
    EXPECT_EQ(m_app.ImportSourceWords.size(), 4u);
    EXPECT_EQ(m_app.ActiveBookId, 0);
}

// A settings file beside the program is the machine's; only without it the data folder's is read.
TEST_F(StartupTest, SettingsFileBesideTheProgramComesBeforeTheDataFolder)
{
    const std::string inData = dir.File("share") + "/Pfannola/pfannola.INI";
    std::filesystem::create_directories(dir.File("share") + "/Pfannola");
    test::WriteFile(inData, "[Pfannola]\n");
    for (bool beside : {true, false}) {
        SCOPED_TRACE(beside);
        if (!beside)
            std::filesystem::remove(dir.File("bin/pfannola.INI"));
        InitialiseProgram(Args(""), nullptr);
        EXPECT_EQ(m_app.IniFile, beside ? dir.File("bin/pfannola.INI") : inData);
    }
}

// The shipped files (INIT.ZIP, the help) are found beside the program in the build folder and in
// share/pfannola once installed; the build folder wins when both could apply.
TEST_F(StartupTest, ShippedFilesAreFoundInTheBuildFolderAndWhenInstalled)
{
    // The files shipped and the share folder expected, both below the test folder.
    const std::tuple<const char*, std::vector<std::string>, std::string> cases[] = {
        {"build folder", {"bin/INIT.ZIP", "bin/hilfe/index.html"}, "bin/"},
        {"installed", {"share/pfannola/INIT.ZIP", "share/pfannola/hilfe/index.html"}, "share/pfannola/"},
        {"both", {"bin/INIT.ZIP", "bin/hilfe/index.html", "share/pfannola/INIT.ZIP"}, "bin/"},
        {"nothing shipped", {}, "bin/"},
    };
    for (const auto& [name, files, shareDir] : cases) {
        SCOPED_TRACE(name);
        std::filesystem::remove_all(dir.File("share/pfannola"));
        std::filesystem::remove_all(dir.File("bin/hilfe"));
        std::filesystem::remove(dir.File("bin/INIT.ZIP"));
        for (const std::string& file : files) {
            std::filesystem::create_directories(std::filesystem::path(dir.File(file)).parent_path());
            test::WriteFile(dir.File(file), "x");
        }
        InitialiseProgram(Args(""), nullptr);
        EXPECT_EQ(m_app.ShareDir, dir.File(shareDir));
        EXPECT_EQ(m_app.ShippedFile("INIT.ZIP"), dir.File(shareDir + "INIT.ZIP"));
        EXPECT_EQ(m_app.HelpAvailable, !files.empty());
        EXPECT_EQ(m_app.HelpFile, dir.File(shareDir + "hilfe/index.html"));
        RemoveTempDir();
    }
}

// Opening another database loads the active cookbook again by its number in that database; a
// number the new database does not know loads as a failed load.
TEST_F(StartupTest, OpeningAnotherDatabaseReloadsTheActiveCookbook)
{
    const std::string second = MakeDatabase("zweite.mdb");
    const std::string third = MakeDatabase("dritte.mdb");
    const std::string first = MakeDatabase();
    Database::OpenSqlite(first, {})->Execute("INSERT INTO T_BUCH (ID,BuchTitel) VALUES (5,'Kuchen')");
    Database::OpenSqlite(second, {})->Execute("INSERT INTO T_BUCH (ID,BuchTitel) VALUES (5,'Suppen')");
    WriteSetting("", "Database", first, true);
    WriteSetting("", "Book", "5,Kuchen", false);
    StartProgram(Args(""), shell);
    EXPECT_EQ(m_app.ActiveBookTitle, "Kuchen");

    const std::pair<std::string, std::string> switches[] = {{second, "Suppen"},
                                                            {third, "Unbekanntes Kochbuch #5"}};
    for (const auto& [path, title] : switches) {
        SCOPED_TRACE(path);
        WriteSetting("", "Database", path, true);
        OpenWorkDatabase(shell);
        EXPECT_EQ(WorkDb().Name(), path);
        EXPECT_EQ(m_app.ActiveBookId, 5);
        EXPECT_EQ(m_app.ActiveBookTitle, title);
    }
}

// An upgrade run ends without the main window; a command-line import closes it afterwards.
TEST_F(StartupTest, CommandLineRunsEndTheProgram)
{
    const std::string old = MakeDatabase("alt.mdb");
    Connection().DbPath.clear();
    EXPECT_THROW(StartProgram(Args("/UPGRADEVERSION " + old), shell), ProcessExit);
    EXPECT_EQ(shell.log, "splash;unsplash;");
    EXPECT_FALSE(HasWorkDb());

    shell.log.clear();
    SettingsDatabase();
    StartProgram(Args("/import /tmp/a.mm,/tmp/b.mm"), shell);
    EXPECT_EQ(shell.log, "splash;main;import /tmp/a.mm;close;");
}

// The start reads the rings and the stock phrases; the shutdown, unless the trash question keeps
// the program open, saves the rings and removes the temporary folder.
TEST_F(StartupTest, ShutdownSavesTheRingsAndRemovesTheTemporaryFolder)
{
    SettingsDatabase();
    WriteSetting("", "EditRing", "22,4,0,9", false);
    WriteSetting("", "Floskel0", "<UNBENUTZT>", false);
    WriteSetting("", "Floskel1", "Guten Appetit!", false);
    StartProgram(Args(""), shell);
    EXPECT_EQ(m_app.Phrases[0], ""); // the placeholder of an unused phrase
    EXPECT_EQ(m_app.Phrases[1], "Guten Appetit!");
    const std::string temp = m_app.TempDir;
    m_app.MenuRing = {3, 0, 5};
    StartHooks().TrashQuestion = [] { return false; };
    EXPECT_FALSE(Shutdown(shell));
    EXPECT_TRUE(HasWorkDb());
    StartHooks().TrashQuestion = nullptr;
    ASSERT_TRUE(Shutdown(shell));
    EXPECT_EQ(ReadSetting("", "EditRing", "", false), "22,4,9");
    EXPECT_EQ(ReadSetting("", "EditMenuRing", "", false), "3,5");
    EXPECT_EQ(ReadSetting("", "Book", "", false), "0,Basiskochbuch");
    EXPECT_EQ(ReadSetting("", "ShowIcons", "", false), "True");
    EXPECT_FALSE(HasWorkDb());
    EXPECT_FALSE(std::filesystem::exists(temp));
}

TEST_F(StartupTest, LoginRunsBeforeTheMainWindowWhenTheDatabaseHasUsers)
{
    const std::string path = SettingsDatabase();
    Database::OpenSqlite(path, {})->Execute(
        "INSERT INTO T_USER (ID, Username, Pwd, Flags) VALUES (4, 'Bernd', ?, 32)",
        {Value(ScramblePassword("Bernd", "Brot"))});
    ScopedCurrentUser nobody({});
    std::vector<std::string> logins;
    StartHooks().Login = [&](ClsUser& users) {
        logins.push_back(shell.log);
        return users.Login("bernd", logins.size() == 1 ? "Brot" : "falsch") > 0;
    };
    StartProgram(Args("/import /tmp/a.mm"), shell);
    // Bernd may print but not import: the command-line import is refused.
    EXPECT_EQ(logins, std::vector<std::string>{"splash;"});
    EXPECT_EQ(shell.log, "splash;main;close;");
    EXPECT_EQ(CurrentUser().Name, "Bernd");
    EXPECT_TRUE(UserMayUse(kRightPrint));
    EXPECT_FALSE(UserMayUse(kRightEnter));

    // A failed login ends the program before its main window.
    CloseWorkDatabase();
    shell.log.clear();
    EXPECT_THROW(StartProgram(Args(""), shell), ProcessExit);
    EXPECT_EQ(shell.log, "splash;");
    StartHooks().Login = nullptr;
}

// The upgrade switch takes the rest of the line with its blanks, the import switch in any case
// only the first file; the special switch must stand as a word; joining quotes setting values with
// blanks.
TEST(CommandLine, SwitchesAndJoinedWords)
{
    EXPECT_EQ(UpgradeVersionArgument("/upgradeversion /home/k/Meine Rezepte/alt.mdb"),
              "/home/k/Meine Rezepte/alt.mdb");
    EXPECT_FALSE(UpgradeVersionArgument("/UPGRADEVERSION"));
    EXPECT_FALSE(UpgradeVersionArgument("ShowTips=0"));
    EXPECT_EQ(ImportArgument("/import /tmp/a.mm,/tmp/b.mm"), "/tmp/a.mm");
    EXPECT_EQ(ImportArgument("  /IMPORT /tmp/Omas Kuchen.mm  "), "/tmp/Omas Kuchen.mm  ");
    EXPECT_EQ(ImportArgument("ShowTips=0 /Import /tmp/x.mm"), "/tmp/x.mm");
    EXPECT_FALSE(ImportArgument("/IMPORTIERT"));
    EXPECT_TRUE(HasSpecialSwitch("/special"));
    EXPECT_TRUE(HasSpecialSwitch("A=1 /SPECIAL B=2"));
    EXPECT_FALSE(HasSpecialSwitch("/SPECIALS"));
    EXPECT_FALSE(HasSpecialSwitch("X/SPECIAL"));
    EXPECT_EQ(JoinCommandLine({"Database=/a b/c.mdb", "ShowTips=0"}), "Database=\"/a b/c.mdb\" ShowTips=0");
    EXPECT_EQ(JoinCommandLine({"/IMPORT", "/a b/c.mm"}), "/IMPORT /a b/c.mm");
}

// A ring longer than its size keeps its first entries (the start test reads a short one); the
// import's source words come from a quoted list.
TEST(Startup, EditRingAndImportSourceWordsFromTheirSettings)
{
    int size = 0;
    std::vector<long> ring;
    std::string many = "21";
    for (int i = 1; i <= 30; ++i)
        many += "," + std::to_string(i);
    ParseEditRing(many, size, ring);
    EXPECT_EQ(size, 21);
    EXPECT_EQ(ring.size(), 21u);
    EXPECT_EQ(ring.back(), 21);
    EXPECT_EQ(ParseImportSourceWords("SOURCE\",\"QUELLE\",\"ERFASST\",\"ERFAßT"),
              (std::vector<std::string>{"SOURCE", "QUELLE", "ERFASST", "ERFAßT"}));
    EXPECT_EQ(ParseImportSourceWords(" VON \",\"\",\" AUS"), (std::vector<std::string>{"VON", "AUS"}));
    EXPECT_EQ(ParseImportSourceWords(""), std::vector<std::string>{});
}

} // namespace
} // namespace pf
