#include "ui/FrmBackup.h"
#include "ui/FrmDBEigenschaften.h"
#include "ui/FrmZIP.h"

#include "db/Backup.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "db/WorkDatabase.h"
#include "tests/ui/UiTestSupport.h"

namespace pf::test {
namespace {

namespace fs = std::filesystem;

class BackupWindowsTest : public UiTest
{
protected:
    BackupWindowsTest()
    {
        fs::create_directories(m_dir.File("data"));
        {
            auto db = NewSchemaDatabase(m_work, {*FindSchemaTable("T_VERSION"), *FindSchemaTable("T_REZ_KOPF")});
            db->Execute("INSERT INTO T_VERSION (Major, Minor, Build, [Date], Description) VALUES "
                        "(1, 19, 110, ?, 'Einheiten erweitert'), (2, 0, 126, ?, 'Wochenplan')",
                        {DateSerial::FromParts(2009, 5, 1), DateSerial::FromParts(2018, 12, 28)});
            db->Execute("INSERT INTO T_REZ_KOPF (ID, RezTitle) VALUES (1, 'Apfelstrudel'), (2, 'Rinderrouladen')");
        }
        Connection() = ConnectionState{};
        Connection().DbPath = m_work;
        Connection().WorkDb = OpenDatabaseFile(m_work);
    }
    ~BackupWindowsTest() override { CloseWorkDatabase(); }

    const std::string m_work = m_dir.File("data/Pfannola.MDB");
};

TEST_F(BackupWindowsTest, SaveThenRestoreThroughTheBackupWindow)
{
    const std::string folder = m_dir.File("sicherung");
    {
        FrmBackup window(nullptr);
        Child<QLineEdit>(window, "txtBackupFolder")->setText(QString::fromStdString(folder));
        Click(window, "cmdStartSave");
    }
    EXPECT_EQ(LastMessage(), "Die Datensicherung wurde im Verzeichnis \"" + folder + "\" angelegt.");
    EXPECT_EQ(Backup::Folder(), folder);

    WorkDb().Execute("DELETE FROM T_REZ_KOPF");
    bool refreshed = false;
    FrmBackup window(nullptr, [&] { refreshed = true; });
    auto* list = Child<QTreeWidget>(window, "lstBackups");
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_TRUE(list->topLevelItem(0)->text(0).endsWith(".zip"));
    EXPECT_TRUE(list->topLevelItem(0)->text(2).endsWith(" KB"));
    Click(window, "cmdStartRestore", Answer::Yes);
    EXPECT_TRUE(refreshed);
    EXPECT_EQ(WorkDb().Scalar("SELECT COUNT(*) FROM T_REZ_KOPF").AsLong(), 2);

    // Deleting the listed backup empties the list.
    Click(window, "cmdDelBackup");
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_TRUE(m_ui.AllAnswersUsed());
}

TEST_F(BackupWindowsTest, ZipWindowListsAndExtractsTheSelectedRows)
{
    WriteFile(m_dir.File("src/a.txt"), "Apfelstrudel");
    WriteFile(m_dir.File("src/b.txt"), std::string(5000, 'z'));
    clsZIP zip;
    zip.NewZIPFile(m_dir.File("rezepte.zip"));
    zip.AddFile(m_dir.File("src/a.txt"), "Strudel/Äpfel.txt");
    zip.AddFile(m_dir.File("src/b.txt"), "b.txt");
    ASSERT_TRUE(zip.Add()) << zip.LastResultText();

    FrmZIP window;
    ASSERT_TRUE(window.LoadArchive(m_dir.File("rezepte.zip")));
    QTableWidget* table = window.Entries();
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(0, 1)->text(), "Strudel");
    EXPECT_EQ(table->item(0, 3)->text(), "12");
    EXPECT_EQ(table->item(0, 6)->text(), QString("%1").arg(zip.ZIPFileCRC(0), 8, 16, QChar('0')).toUpper());
    EXPECT_EQ(table->item(1, 7)->text(), "Deflated");

    table->selectRow(0);
    ASSERT_TRUE(window.ExtractSelected(m_dir.File("aus")));
    EXPECT_EQ(ReadFile(m_dir.File("aus/Strudel/Äpfel.txt")), "Apfelstrudel");
    EXPECT_FALSE(fs::exists(m_dir.File("aus/b.txt")));

    WriteFile(m_dir.File("kaputt.zip"), "PK kein Archiv");
    EXPECT_FALSE(window.LoadArchive(m_dir.File("kaputt.zip")));
    EXPECT_EQ(table->rowCount(), 0);
    EXPECT_EQ(m_ui.shown.back().Icon, MsgIcon::Critical);
}

TEST_F(BackupWindowsTest, PropertiesWindowShowsVersionHistoryAndCounts)
{
    FrmDBEigenschaften window;
    EXPECT_EQ(window.Field("lblPath")->text().toStdString(), m_work);
    EXPECT_EQ(window.Field("lblVersion")->text(), "002.00.126");
    QTableWidget* history = window.VersionHistory();
    ASSERT_EQ(history->rowCount(), 2);
    EXPECT_EQ(history->item(0, 0)->text(), "002.00.126");
    EXPECT_EQ(history->item(0, 1)->text(), "28.12.2018");
    EXPECT_EQ(history->item(1, 2)->text(), "Einheiten erweitert");
    QTableWidget* counts = window.TableCounts();
    ASSERT_EQ(counts->rowCount(), 1); // only the tables the database has
    EXPECT_EQ(counts->item(0, 0)->text(), "T_REZ_KOPF");
    EXPECT_EQ(counts->item(0, 2)->text(), "2");
}

} // namespace
} // namespace pf::test
