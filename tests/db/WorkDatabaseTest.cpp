#include "db/WorkDatabase.h"
#include "core/Messages.h"
#include "core/ProcessExit.h"
#include "core/Settings.h"
#include "db/DatabaseRepair.h"
#include "db/DatabaseTransfer.h"
#include "db/OpenDatabase.h"
#include "db/Recordset.h"
#include "db/SchemaVersion.h"
#include "db/SearchIndex.h"
#include "tests/db/AppFixture.h"
#include "tests/support/Each.h"
#include "tests/support/IndexAgreement.h"
#include "tests/support/NewDatabase.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace pf {
namespace {

// Windows of the open sequence, answered by the test.
class FakeWindows : public DatabaseWindows
{
public:
    FirstStartResult ShowFirstStart(const std::vector<FirstStartItem>& items,
                                    const std::string& newPath) override
    {
        firstStartItems = items;
        firstStartPath = newPath;
        ++firstStartCalls;
        return firstStart;
    }
    bool ShowSelection() override
    {
        ++selectionCalls;
        return false;
    }
    void ShowOptions() override { ++optionsCalls; }

    FirstStartResult firstStart;
    std::vector<FirstStartItem> firstStartItems;
    std::string firstStartPath;
    int firstStartCalls = 0;
    int selectionCalls = 0;
    int optionsCalls = 0;
};

DatabaseSelection FileChoice(const std::string& path)
{
    DatabaseSelection choice;
    choice.Path = path;
    return choice;
}

class WorkDatabaseTest : public test::AppFixture
{
protected:
    WorkDatabaseTest()
    {
        ShipInitZip();
        Hooks().GlobalData.clear();
    }

    // A database file as the program makes it; with remember, the one the settings name.
    std::string MakeDatabase(const std::string& name, bool remember = false)
    {
        std::string path = dir.File(name);
        Connection().DbPath = path;
        ui.Answering(Answer::Yes);
        EXPECT_TRUE(CreateMinimalDatabase());
        Connection().DbPath.clear();
        if (remember)
            WriteSetting("", "Database", path, true);
        return path;
    }

    FakeWindows windows;
};

TEST_F(WorkDatabaseTest, PathWithoutFolderIsResolvedAgainstTheProgramFolder)
{
    std::string path = MakeDatabase("rezepte.mdb");
    std::filesystem::rename(path, m_app.ProgramDir + "rezepte.mdb");
    WriteSetting("", "Database", "rezepte.mdb", true);
    OpenWorkDatabase(windows);
    EXPECT_EQ(WorkDb().Name(), m_app.ProgramDir + "rezepte.mdb");
}

// A file made before the search index (or before its ingredient part, with the title part of
// an earlier form, or before the list of recipes still to index) gets it at open, with a progress
// text; a read-only file is left as it is and searches by scan.
TEST_F(WorkDatabaseTest, OpenAddsAMissingSearchIndexToWritableFiles)
{
    struct Case
    {
        const char* dropped; // "" drops the whole index
        bool writable;
        bool oldTitles = false; // the earlier title table stands in for the dropped one
    };
    for (const Case c : {Case{"", true}, Case{kIngredientIndexTable, true}, Case{"", false},
                         Case{kTitleIndexTable, true, true}, Case{kPendingIndexTable, true}}) {
        SCOPED_TRACE(std::string(c.dropped) + (c.writable ? " writable" : " read-only"));
        const std::string path =
            MakeDatabase(std::string("alt") + (c.writable ? "1" : "2") + c.dropped + ".mdb", true);
        {
            auto db = Database::OpenSqlite(path);
            if (std::string(c.dropped) == kPendingIndexTable)
                test::MakeIndexOfEarlierVersion(*db);
            else if (*c.dropped)
                db->Execute(std::string("DROP TABLE ") + c.dropped);
            else
                DropSearchIndex(*db);
            if (c.oldTitles)
                db->Execute("CREATE VIRTUAL TABLE T_SUCHINDEX_TITEL USING fts5(RezTitle, RezMenuCard, "
                            "content='', tokenize='trigram')");
        }
        if (!c.writable)
            chmod(path.c_str(), 0444);
        ui.statusTexts.clear();
        ui.mainWindowLoaded = true; // a database opened from the running program
        OpenWorkDatabase(windows);
        EXPECT_EQ(WorkDb().IsUpdatable(), c.writable);
        EXPECT_EQ(HasSearchIndex(WorkDb()), c.writable);
        EXPECT_EQ(HasWordIndex(WorkDb()), c.writable || *c.dropped);
        EXPECT_EQ(
            std::any_of(ui.statusTexts.begin(), ui.statusTexts.end(),
                        [](const std::string& t) { return t.starts_with("Der Suchindex wird angelegt"); }),
            c.writable);
        EXPECT_FALSE(WorkDb().TableExists("T_SUCHINDEX_TITEL"));
        if (c.writable) {
            EXPECT_EQ(WorkDb()
                          .Scalar("SELECT count(*) FROM sqlite_master WHERE type='trigger' AND name LIKE "
                                  "'T_SUCHINDEX*' AND sql NOT LIKE '*T_SUCHINDEX_OFFEN*'")
                          .AsLong(),
                      0);
        }
        CloseWorkDatabase();
        chmod(path.c_str(), 0644);
    }
}

TEST_F(WorkDatabaseTest, MissingFileIsCreatedOnRequestAndOpenedWithoutAskingAgain)
{
    const std::string path = dir.File("neu/rezepte.mdb");
    WriteSetting("", "Database", path, true);
    ui.Answering(Answer::Yes); // create it? (asked once)
    OpenWorkDatabase(windows);
    ASSERT_GE(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].Text, LoadText(417) + path + LoadText(418));
    for (const auto& shown : ui.shown)
        EXPECT_EQ(shown.Text.find(LoadText(624)), std::string::npos) << shown.Text;
    // The selection window would only show the same choice again, now empty.
    EXPECT_EQ(windows.selectionCalls, 0);
    EXPECT_EQ(WorkDb().Name(), path);
    EXPECT_EQ(DatabaseVersionText(WorkDb()), "002.00.126");
    EXPECT_EQ(ReadSetting("", "Database", "", true), path);
}

TEST_F(WorkDatabaseTest, MissingFileNotCreatedIsForgottenAndTheProcessEndsWhenNothingIsChosen)
{
    const std::string path = dir.File("fehlt.mdb");
    WriteSetting("", "Database", path, true);
    ui.Answering(Answer::No);
    EXPECT_THROW(OpenWorkDatabase(windows), ProcessExit);
    EXPECT_EQ(ReadSetting("", "Database", "x", true), "");
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].Icon, MsgIcon::Critical);
    EXPECT_EQ(ui.shown[1].Text.rfind(LoadText(419) + "(#3024)", 0), 0u);
    EXPECT_EQ(windows.selectionCalls, 1);
}

TEST_F(WorkDatabaseTest, FileThatIsNoDatabaseIsOfferedARepairThatKeepsItsOriginal)
{
    const std::string path = dir.File("kaputt.mdb");
    test::WriteFile(path, "Dies ist keine Datenbank, sondern ein Einkaufszettel.\n");
    WriteSetting("", "Database", path, true);
    ui.Answering(Answer::Yes); // repair
    EXPECT_THROW(OpenWorkDatabase(windows), ProcessExit);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_NE(ui.shown[0].Text.find("Reparatur versuchen ?"), std::string::npos);
    EXPECT_EQ(ui.shown[1].Icon, MsgIcon::Critical);
    // Nothing of the user's file is destroyed by the failed repair.
    EXPECT_EQ(test::ReadFile(path), "Dies ist keine Datenbank, sondern ein Einkaufszettel.\n");
    EXPECT_EQ(ReadSetting("", "Database", "x", true), "");
}

TEST_F(WorkDatabaseTest, DamagedDatabaseIsRebuiltWithItsReadableRows)
{
    const std::string path = MakeDatabase("rezepte.mdb");
    {
        auto db = Database::OpenSqlite(path);
        db->CreateTable({"T_NOTIZ", {{"ID", FieldType::Long}, {"Text", FieldType::Memo}}, {}});
        DbTransaction t(*db);
        for (int i = 1; i <= 2000; ++i)
            db->Execute("INSERT INTO T_NOTIZ (ID, [Text]) VALUES (?, ?)",
                        {Value(i), Value(std::string(300, static_cast<char>('a' + i % 26)))});
        t.Commit();
    }
    RepairResult intact = RepairDatabaseFile(path);
    EXPECT_TRUE(intact.Ok);
    EXPECT_TRUE(intact.WasIntact);

    // Ruin one page in the middle of the table's data.
    {
        std::string bytes = test::ReadFile(path);
        ASSERT_GT(bytes.size(), 4096u * 60);
        std::fill(bytes.begin() + 4096 * 50, bytes.begin() + 4096 * 51, '\xff');
        test::WriteFile(path, bytes);
    }
    RepairResult repaired = RepairDatabaseFile(path);
    ASSERT_TRUE(repaired.Ok) << repaired.Error;
    EXPECT_FALSE(repaired.WasIntact);
    EXPECT_GT(repaired.RowsCopied, 1500);
    EXPECT_TRUE(std::filesystem::exists(repaired.KeptOriginal));
    auto db = Database::OpenSqlite(path);
    EXPECT_EQ(db->Scalar("SELECT COUNT(*) FROM T_NOTIZ").AsLong() + 1, repaired.RowsCopied);
    EXPECT_EQ(DatabaseVersionText(*db), "002.00.126");
}

TEST_F(WorkDatabaseTest, FirstStartCreatesTheDefaultDatabase)
{
    windows.firstStart = {0, -1}; // the choice is the answer: nothing more is asked
    OpenWorkDatabase(windows);
    EXPECT_TRUE(ui.shown.empty() || ui.shown[0].Text.find(LoadText(624)) == std::string::npos);
    const std::string expected = m_app.DataDir + "DB/Pfannola.MDB";
    EXPECT_EQ(windows.firstStartPath, expected);
    EXPECT_EQ(WorkDb().Name(), expected);
    EXPECT_EQ(ReadSetting("", "Database", "", true), expected);
}

TEST_F(WorkDatabaseTest, FirstStartListsDataFolderFilesThenLastUsed)
{
    MakeDatabase("data/b.mdb");
    MakeDatabase("data/a.MDB");
    test::WriteFile(dir.File("data/notiz.txt"), "x");
    WriteSetting("", "DBLastUse1", "/srv/kueche.mdb", true);
    windows.firstStart = {1, 1};
    OpenWorkDatabase(windows);
    EXPECT_EQ(test::Each(windows.firstStartItems, &FirstStartItem::Text),
              (std::vector<std::string>{"a.MDB", "b.mdb", "/srv/kueche.mdb"}));
    EXPECT_EQ(test::Each(windows.firstStartItems, &FirstStartItem::InDataDir),
              (std::vector<bool>{true, true, false}));
    EXPECT_EQ(WorkDb().Name(), m_app.DataDir + "b.mdb");
}

TEST_F(WorkDatabaseTest, ClosingTheFirstStartWindowEndsTheProcess)
{
    windows.firstStart = {-1, -1};
    EXPECT_THROW(OpenWorkDatabase(windows), ProcessExit);
}

TEST_F(WorkDatabaseTest, OdbcWithoutDataSourceShowsOptionsAndEnds)
{
    WriteSetting("", "DBTYPE", "ODBC", true);
    EXPECT_THROW(OpenWorkDatabase(windows), ProcessExit);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].Text, LoadText(413));
    EXPECT_EQ(windows.optionsCalls, 1);
}

TEST_F(WorkDatabaseTest, SelectionCommitShiftsTheLastUsedListOnlyForAnotherDatabase)
{
    for (int n = 1; n <= 9; ++n)
        WriteSetting("", "DBLastUse" + std::to_string(n), "/alt/" + std::to_string(n) + ".mdb", true);
    // The user's choice replaces the database the command line gave, and only that.
    m_app.CommandLine = "ShowTips=0 Database=/jetzt.mdb";
    Connection().DbPath = "/jetzt.mdb";
    CommitDatabaseSelection(FileChoice("/JETZT.mdb"));
    EXPECT_EQ(ReadSetting("", "DBLastUse1", "", true), "/alt/1.mdb");
    EXPECT_EQ(ReadSetting("", "Database", "", true), "/JETZT.mdb");
    EXPECT_EQ(CommandLineOverride("ShowTips"), "0");

    CommitDatabaseSelection(FileChoice("/neu.mdb"));
    EXPECT_EQ(ReadSetting("", "DBLastUse1", "", true), "/JETZT.mdb");
    EXPECT_EQ(ReadSetting("", "DBLastUse2", "", true), "/alt/1.mdb");
    EXPECT_EQ(ReadSetting("", "DBLastUse9", "", true), "/alt/8.mdb");
    EXPECT_EQ(ReadSetting("", "Database", "", true), "/neu.mdb");
    EXPECT_EQ(Connection().DbPath, "/neu.mdb");
}

TEST_F(WorkDatabaseTest, OdbcSelectionStoresThePasswordInTheUserSetting)
{
    CommitDatabaseSelection({1, "", "kueche", "anna", "geheim", 0});
    EXPECT_EQ(ReadSetting("", "DBTYPE", "", true), "ODBC");
    EXPECT_EQ(ReadSetting("", "DBDSN", "", true), "kueche");
    EXPECT_EQ(ReadSetting("", "DBUSER", "", true), "geheim");
    CommitDatabaseSelection({1, "", "kueche", "anna", "geheim", 2});
    EXPECT_EQ(ReadSetting("", "DBUSER", "x", true), "");
    EXPECT_EQ(ReadSetting("", "DBLogonType", "", true), "2");
}

TEST_F(WorkDatabaseTest, ServerDatabaseOfTheSettingsOpensWithItsOwnLogon)
{
    std::string connect;
    std::unique_ptr<Database> server = test::NewServerDatabase(&connect);
    if (!server)
        GTEST_SKIP() << test::kNoServer;
    TransferDatabase(*Database::OpenSqlite(MakeDatabase("rezepte.mdb")), *server);
    server.reset();
    // The selection window gets the driver keywords, and user and password in their own fields.
    std::string keywords, user, password;
    std::stringstream parts(connect.substr(5));
    for (std::string part; std::getline(parts, part, ';');) {
        if (part.starts_with("Uid="))
            user = part.substr(4);
        else if (part.starts_with("Pwd="))
            password = part.substr(4);
        else if (!part.starts_with("Driver="))
            keywords += part + ";";
    }
    CommitDatabaseSelection({1, "", keywords, user, password, 0});
    OpenWorkDatabase(windows);
    ASSERT_TRUE(HasWorkDb());
    EXPECT_TRUE(WorkDb().IsUpdatable());
    EXPECT_EQ(WorkDb().Name().find(password), std::string::npos);
    EXPECT_EQ(WorkDb().Scalar("SELECT COUNT(*) FROM T_VERSION").AsLong(), 1);
    EXPECT_EQ(ReadSetting("", "DBUID", "", true), user);
    EXPECT_EQ(windows.selectionCalls, 0);
}

// A data source name gives the classic connect text; driver keywords are used as they are, with
// user and password added (in braces when they hold a semicolon) unless the logon type leaves them out.
TEST(WorkDatabase, ServerConnectForDataSourcesAndDriverKeywords)
{
    struct Case
    {
        const char* source;
        int logon;
        const char* user;
        const char* password;
        const char* expected;
    } cases[] = {
        {"kueche", 0, "anna", "ge;heim", "ODBC;DSN=kueche;UID=anna;PWD=ge;heim"},
        {"kueche", 0, "", "geheim", "ODBC;DSN=kueche;PWD=geheim"},
        {"kueche", 0, "anna", "", "ODBC;DSN=kueche;UID=anna"},
        {"kueche", 1, "anna", "geheim", "ODBC;DSN=kueche"},
        {"kueche", 2, "anna", "geheim", "ODBC;DSN=kueche"},
        {"Server=kueche;Database=rezepte;", 0, "anna", "ge;heim",
         "odbc:Driver=PostgreSQL Unicode;Server=kueche;Database=rezepte;Uid=anna;Pwd={ge;heim}"},
        {" driver=Anderer;Server=k ", 2, "anna", "ge;heim", "odbc:driver=Anderer;Server=k"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(ServerConnectFor(c.source, c.logon, c.user, c.password), c.expected);
    }
}

TEST(WorkDatabase, SelectionEntryPathDropsPrefixAndSuffix)
{
    EXPECT_EQ(SelectionEntryPath("1 - /home/k/Rezepte.mdb [ACCESS]"), "/home/k/Rezepte.mdb");
    EXPECT_EQ(SelectionEntryPath("2 - /home/k/Küche.mdb"), "/home/k/Küche.mdb");
}

TEST_F(WorkDatabaseTest, GlobalDataFailureDuringStartEndsTheProcess)
{
    std::string path = MakeDatabase("rezepte.mdb", true);
    Hooks().GlobalData.push_back({428, [](Database&) { throw GlobalDataUnusable{}; }});
    EXPECT_THROW(OpenWorkDatabase(windows), ProcessExit);
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_EQ(ui.shown.back().Text, LoadText(435));
    Hooks().GlobalData.clear();
}

// The database the settings name opens and is remembered; compacting it reports only large changes.
TEST_F(WorkDatabaseTest, CompactionReportsOnlyLargeChanges)
{
    std::string path = MakeDatabase("rezepte.mdb", true);
    OpenWorkDatabase(windows);
    ASSERT_TRUE(HasWorkDb());
    EXPECT_EQ(WorkDb().Name(), path);
    EXPECT_TRUE(WorkDb().IsUpdatable());
    EXPECT_EQ(ReadSetting("", "DBTYPE", "", true), "ACCESS");
    EXPECT_EQ(windows.firstStartCalls, 0);
    EXPECT_TRUE(ui.AllAnswersUsed());
    ui.shown.clear();
    WorkDb().CreateTable({"T_NOTIZ", {{"ID", FieldType::Long}, {"Text", FieldType::Memo}}, {}});
    CompactWorkDatabase();
    for (const auto& shown : ui.shown)
        ADD_FAILURE() << shown.Text;
    ui.shown.clear();

    {
        DbTransaction t(WorkDb());
        for (int i = 1; i <= 400; ++i)
            WorkDb().Execute("INSERT INTO T_NOTIZ (ID, [Text]) VALUES (?, ?)",
                             {Value(i), Value(std::string(1000, 'x'))});
        t.Commit();
    }
    WorkDb().Execute("DELETE * FROM T_NOTIZ");
    CompactWorkDatabase();
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].Text.rfind(LoadText(1101), 0), 0u);
    EXPECT_NE(ui.shown[0].Text.find(LoadText(1102)), std::string::npos);
    EXPECT_TRUE(HasWorkDb());
}

} // namespace
} // namespace pf
