#include "ui/FrmDBOpen.h"
#include "ui/FrmInitSystem.h"

#include "core/Messages.h"
#include "db/OpenDatabase.h"
#include "db/SchemaVersion.h"
#include "db/WorkDatabase.h"
#include "tests/support/TestServer.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/frmOptions1.h"

#include <QDialogButtonBox>
#include <QFileDialog>

#include <unistd.h>

#include <optional>

namespace pf::test {
namespace {

class FrmDBOpenTest : public UiTest
{
protected:
    FrmDBOpenTest()
    {
        Connection().DbType = 0;
        Connection().DbPath = m_dir.File("aktuell.MDB");
    }
    ~FrmDBOpenTest() override
    {
        Connection().DbType = m_savedType;
        Connection().DbPath = m_savedPath;
        Connection().OdbcLogonType = m_savedLogon;
    }

    // Opens the window with the commit recorded instead of carried out, lets the test fill it in
    // and presses OK.
    template <typename Fill> bool PressOk(Fill fill)
    {
        FrmDBOpen window;
        window.SetCommit([this](const DatabaseSelection& choice) { m_committed = choice; });
        window.show();
        fill(window);
        window.Buttons()->button(QDialogButtonBox::Ok)->click();
        return window.result() == QDialog::Accepted;
    }

    const std::string m_existing = [this] {
        WriteFile(m_dir.File("Vorhanden.mdb"), "x");
        return m_dir.File("Vorhanden.mdb");
    }();
    // The program's choice before the test, given back after it.
    const int m_savedType = Connection().DbType;
    const std::string m_savedPath = Connection().DbPath;
    const int m_savedLogon = Connection().OdbcLogonType;
    std::optional<DatabaseSelection> m_committed;
};

TEST_F(FrmDBOpenTest, TypedFileIsCommitted)
{
    // Typed with blanks around it, or typed after picking an entry from the list.
    WriteSetting("", "DBLastUse1", "/alt/Alt.mdb", true);
    for (const bool picked : {false, true}) {
        SCOPED_TRACE(picked);
        m_committed.reset();
        EXPECT_TRUE(PressOk([&](FrmDBOpen& window) {
            EXPECT_TRUE(window.FileOption()->isChecked());
            EXPECT_EQ(window.PathEdit()->text().toStdString(), Connection().DbPath);
            if (picked)
                window.LastUsedList()->setCurrentRow(0);
            window.PathEdit()->clear();
            QTest::keyClicks(window.PathEdit(), QString::fromStdString(" " + m_existing + " "));
        }));
        ASSERT_TRUE(m_committed);
        EXPECT_EQ(m_committed->DbType, 0);
        EXPECT_EQ(m_committed->Path, m_existing);
    }
}

TEST_F(FrmDBOpenTest, LastUsedEntryIsCommittedWithoutNumberAndMark)
{
    const std::string present = m_dir.File("Familie.mdb");
    WriteFile(present, "x");
    WriteSetting("", "DBLastUse1", present, true);
    WriteSetting("", "DBLastUse2", "/nirgends/Weg.mdb", true);
    EXPECT_TRUE(PressOk([&](FrmDBOpen& window) {
        QListWidget* list = window.LastUsedList();
        EXPECT_EQ(ItemTexts(list),
                  (QStringList{QString::fromStdString("1 - " + present), "2 - /nirgends/Weg.mdb [nicht gefunden]"}));
        list->setCurrentRow(0);
    }));
    ASSERT_TRUE(m_committed);
    EXPECT_EQ(m_committed->Path, present);
}

TEST_F(FrmDBOpenTest, OdbcLogonDataCountsOnlyForOwnLogon)
{
    for (int logon : {0, 1, 2}) {
        SCOPED_TRACE(logon);
        m_committed.reset();
        EXPECT_TRUE(PressOk([&](FrmDBOpen& window) {
            window.OdbcOption()->setChecked(true);
            window.DsnEdit()->setText("Rezepte");
            window.LogonOption(logon)->setChecked(true);
            EXPECT_EQ(window.UserEdit()->isEnabled(), logon == 0);
            window.UserEdit()->setText("koch");
            window.PasswordEdit()->setText("geheim");
        }));
        ASSERT_TRUE(m_committed);
        EXPECT_EQ(m_committed->DbType, 1);
        EXPECT_EQ(m_committed->Dsn, "Rezepte");
        EXPECT_EQ(m_committed->LogonType, logon);
        EXPECT_EQ(m_committed->User, logon == 0 ? "koch" : "");
        EXPECT_EQ(m_committed->Password, logon == 0 ? "geheim" : "");
    }
}

TEST_F(FrmDBOpenTest, ConnectionTestSaysWhetherTheServerAnswers)
{
    FrmDBOpen window;
    window.OdbcOption()->setChecked(true);
    auto* test = window.findChild<QPushButton*>("cmdTestConnection");
    ASSERT_TRUE(test);
    // Nobody listens on port 1; the password shows up nowhere.
    window.DsnEdit()->setText("Server=127.0.0.1;Port=1;Database=rezepte");
    window.LogonOption(0)->setChecked(true);
    window.UserEdit()->setText("koch");
    window.PasswordEdit()->setText("geheim");
    test->click();
    ASSERT_EQ(m_ui.shown.size(), 1u);
    EXPECT_TRUE(m_ui.shown[0].Text.starts_with("Keine Verbindung zur Datenbank: ")) << m_ui.shown[0].Text;
    EXPECT_EQ(m_ui.shown[0].Text.find("geheim"), std::string::npos);

    const std::string& server = TestServerConnect();
    if (server.empty())
        return;
    window.DsnEdit()->setText(QString::fromStdString(server.substr(5)));
    window.LogonOption(2)->setChecked(true);
    test->click();
    ASSERT_EQ(m_ui.shown.size(), 2u);
    EXPECT_EQ(m_ui.shown[1].Text, "Die Verbindung zur Datenbank steht.");
    EXPECT_FALSE(m_committed);
}

TEST_F(FrmDBOpenTest, IncompleteEntryWarnsAndStaysOpen)
{
    EXPECT_FALSE(PressOk([](FrmDBOpen& window) { window.PathEdit()->clear(); }));
    EXPECT_FALSE(PressOk([](FrmDBOpen& window) {
        window.OdbcOption()->setChecked(true);
        window.DsnEdit()->setText("  ");
    }));
    EXPECT_FALSE(m_committed);
    ASSERT_EQ(m_ui.shown.size(), 2u);
    EXPECT_EQ(m_ui.shown[0].Icon, MsgIcon::Warning);
}

// A file that does not exist yet is created after one question, before anything is committed;
// "Nein" or a creation that fails keeps the window open and commits nothing.
TEST_F(FrmDBOpenTest, MissingFileIsCreatedOnlyWhenTheUserAgrees)
{
    UseInitZip();
    const struct
    {
        const char* name;
        const char* path;
        Answer answer;
        bool created;
    } cases[] = {
        {"Ja", "neu/Familie.MDB", Answer::Yes, true},
        {"Nein", "Nein.MDB", Answer::No, false},
        {"Ja, aber kein Ordner", "/proc/nirgends/Weg.MDB", Answer::Yes, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_committed.reset();
        m_ui.shown.clear();
        const std::string path = c.path[0] == '/' ? std::string(c.path) : m_dir.File(c.path);
        m_ui.Answering(c.answer);
        EXPECT_EQ(
            PressOk([&](FrmDBOpen& window) { window.PathEdit()->setText(QString::fromStdString(path)); }),
            c.created);
        ASSERT_GE(m_ui.shown.size(), 1u);
        EXPECT_EQ(m_ui.shown[0].Text, LoadText(417) + path + LoadText(418));
        EXPECT_EQ(m_committed.has_value(), c.created);
        EXPECT_EQ(std::filesystem::exists(path), c.created);
    }
    EXPECT_TRUE(m_ui.AllAnswersUsed());
}

// "Neu anlegen" on the server page makes the database from the base data on the server and opens
// it; tables already there are replaced only when the user agrees, "Nein" keeps them and the window.
TEST_F(FrmDBOpenTest, NewServerDatabaseIsMadeFromTheBaseDataAndOpened)
{
    const std::string& server = TestServerConnect();
    if (server.empty())
        GTEST_SKIP() << kNoServer;
    UseInitZip();
    const std::string schema = "neu_" + std::to_string(getpid());
    OpenDatabase(server)->Execute("CREATE SCHEMA " + schema);
    const struct DropSchema
    {
        const std::string& Server;
        const std::string& Name;
        ~DropSchema() { OpenDatabase(Server)->Execute("DROP SCHEMA " + Name + " CASCADE"); }
    } drop{server, schema};
    const std::string dsn = server.substr(5) + ";ConnSettings=SET search_path TO " + schema;
    const struct
    {
        const char* name;
        std::optional<Answer> answer; // to the question whether the tables there go
        bool made;
    } cases[] = {
        {"leer", std::nullopt, true}, {"vorhanden, Nein", Answer::No, false}, {"vorhanden, Ja", Answer::Yes, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_committed.reset();
        if (c.answer) {
            m_ui.Answering(*c.answer);
            auto before = OpenDatabase("odbc:" + dsn);
            before->Execute("DELETE FROM T_REZ_KOPF WHERE ID=99999");
            before->Execute("INSERT INTO T_REZ_KOPF (ID, RezTitle) VALUES (99999, 'Alt')");
        }
        FrmDBOpen window;
        window.SetCommit([this](const DatabaseSelection& choice) { m_committed = choice; });
        window.OdbcOption()->setChecked(true);
        window.DsnEdit()->setText(QString::fromStdString(dsn));
        window.LogonOption(2)->setChecked(true);
        Click(window, "cmdNewServerDb");
        EXPECT_EQ(window.result() == QDialog::Accepted, c.made);
        ASSERT_EQ(m_committed.has_value(), c.made);
        if (c.made) {
            EXPECT_EQ(m_committed->Dsn, dsn);
        }
        auto db = OpenDatabase("odbc:" + dsn);
        EXPECT_EQ(DatabaseVersionText(*db), "002.00.126");
        EXPECT_EQ(db->Scalar("SELECT COUNT(*) FROM T_REZ_KOPF WHERE ID=99999").AsLong(), c.made ? 0 : 1);
    }
    EXPECT_TRUE(m_ui.AllAnswersUsed());
}

// The folder of the databases in the options window: shown with its default, changed through a
// folder dialog, and then the place where the file dialog of "Datenbank öffnen" starts and where a
// new database goes by default.
TEST_F(FrmDBOpenTest, DatabaseFolderOptionIsWhereDatabaseDialogsStart)
{
    m_context.ProgramDir = m_dir.Dir() + "programm/"; // dialogs never start in the program folder
    const std::string standard = m_context.DataDir + "DB";
    const std::string own = m_dir.Dir() + "Rezeptsammlung";
    std::filesystem::create_directories(standard);
    std::filesystem::create_directories(own);
    // Answers the next modal file dialog with folder (or cancels it) and notes where it started.
    QString started;
    const auto answerDialog = [&started](const std::string& folder) {
        OnModal<QFileDialog>([&started, folder](QFileDialog& dialog) {
            started = dialog.directory().absolutePath();
            if (folder.empty())
                return dialog.reject();
            dialog.setDirectory(QString::fromStdString(folder));
            dialog.selectFile(QString::fromStdString(folder));
            QMetaObject::invokeMethod(&dialog, "accept");
        });
    };

    frmOptions1 options;
    auto* shown = Child<QLabel>(options, "lblDbFolder");
    EXPECT_EQ(shown->text().toStdString(), standard + " (Standard)");
    EXPECT_FALSE(Child<QPushButton>(options, "cmdDbFolderDefault")->isEnabled());
    answerDialog(own);
    Click(options, "cmdDbFolder");
    EXPECT_EQ(started.toStdString(), standard);
    EXPECT_EQ(shown->text().toStdString(), own);
    EXPECT_EQ(ReadSetting("Ordner", "Datenbank", "", false), own);
    EXPECT_EQ(DefaultDatabasePath(), own + "/Pfannola.MDB");

    FrmDBOpen window; // shows the open database; browsing starts in the folder of the databases
    answerDialog("");
    window.BrowseButton()->click();
    EXPECT_EQ(started.toStdString(), own);

    Click(options, "cmdDbFolderDefault");
    EXPECT_EQ(shown->text().toStdString(), standard + " (Standard)");
    EXPECT_EQ(ReadSetting("Ordner", "Datenbank", "x", false), "");
    EXPECT_EQ(DefaultDatabasePath(), standard + "/Pfannola.MDB");
}

class FrmInitSystemTest : public UiTest
{
protected:
    const std::vector<FirstStartItem> m_items = {
        {"Pfannola.MDB", true}, {"Test.mdb", true}, {"/home/koch/Alt.mdb", false}};
};

TEST_F(FrmInitSystemTest, EachOptionGivesItsMode)
{
    {
        FrmInitSystem window(m_items, "/daten/DB/Pfannola.MDB");
        EXPECT_EQ(window.Result().Mode, -1);
        EXPECT_TRUE(window.NewOption()->isChecked());
        window.accept();
        EXPECT_EQ(window.Result().Mode, 0);
    }
    {
        FrmInitSystem window(m_items, "");
        ASSERT_EQ(window.ExistingList()->count(), 3);
        EXPECT_EQ(window.ExistingList()->item(2)->text(), "/home/koch/Alt.mdb");
        window.ExistingList()->setCurrentRow(2);
        EXPECT_TRUE(window.ExistingOption()->isChecked());
        window.accept();
        EXPECT_EQ(window.Result().Mode, 1);
        EXPECT_EQ(window.Result().Item, 2);
    }
    {
        FrmInitSystem window(m_items, "");
        window.SelectOption()->setChecked(true);
        window.accept();
        EXPECT_EQ(window.Result().Mode, 2);
    }
    {
        FrmInitSystem window(m_items, "");
        window.ExistingList()->setCurrentRow(0);
        window.reject();
        EXPECT_EQ(window.Result().Mode, -1);
    }
}

TEST_F(FrmInitSystemTest, ExistingFileNeedsAnEntry)
{
    FrmInitSystem window(m_items, "");
    auto* ok = window.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    window.ExistingOption()->setChecked(true);
    EXPECT_FALSE(ok->isEnabled());
    window.accept();
    EXPECT_EQ(window.Result().Mode, -1);
    window.ExistingList()->setCurrentRow(1);
    EXPECT_TRUE(ok->isEnabled());

    FrmInitSystem empty({}, "");
    EXPECT_FALSE(empty.ExistingOption()->isEnabled());
}

} // namespace
} // namespace pf::test
