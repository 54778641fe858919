#include "db/Backup.h"
#include "core/Messages.h"
#include "db/DatabaseChoice.h"
#include "db/Recordset.h"
#include "db/WorkDatabase.h"
#include "db/clsZIP.h"
#include "tests/db/AppFixture.h"
#include "tests/db/LocalTime.h"
#include "tests/support/NewDatabase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace pf {
namespace {

namespace fs = std::filesystem;

// A database of this program in miniature: the version table and some recipe titles.
void MakeRecipeDatabase(const std::string& path, const std::vector<std::string>& titles)
{
    auto db = test::NewDatabase(path);
    db->CreateTable({"T_VERSION",
                     {{"Major", FieldType::Long}, {"Minor", FieldType::Long}, {"Build", FieldType::Long}},
                     {}});
    db->Execute("INSERT INTO T_VERSION (Major, Minor, Build) VALUES (2, 0, 126)");
    db->CreateTable({"T_REZ_KOPF", {{"ID", FieldType::Long}, {"RezTitle", FieldType::Text, 80}}, {}});
    long id = 0;
    for (const auto& title : titles)
        db->Execute("INSERT INTO T_REZ_KOPF (ID, RezTitle) VALUES (?, ?)", {Value(++id), Value(title)});
    db->Close();
}

std::vector<std::string> Titles(Database& db)
{
    std::vector<std::string> titles;
    for (auto rs = db.OpenRecordset("SELECT RezTitle FROM T_REZ_KOPF ORDER BY ID"); !rs->Eof();
         rs->MoveNext())
        titles.push_back(rs->Field("RezTitle").AsText());
    return titles;
}

std::vector<std::string> TitlesIn(const std::string& path)
{
    auto db = Database::OpenSqlite(path);
    return Titles(*db);
}

std::string MakeZip(const std::string& archive, const std::vector<std::pair<std::string, std::string>>& files)
{
    clsZIP zip;
    zip.NewZIPFile(archive);
    for (const auto& [path, name] : files)
        EXPECT_TRUE(zip.AddFile(path, name));
    EXPECT_TRUE(zip.Add()) << zip.LastResultText();
    return archive;
}

class BackupTest : public test::AppFixture
{
protected:
    BackupTest()
    {
        work = dir.File("data/Pfannola.MDB");
        MakeRecipeDatabase(work, {"Käsekuchen", "Gulasch", "Grießbrei"});
        Connection().DbPath = work;
        Connection().WorkDb = OpenDatabaseFile(work);
        // Every part of the backup name below ten: each is written with its leading zero.
        std::tm local = test::LocalTime(2009, 3, 4, 7, 9);
        const std::time_t when = std::mktime(&local);
        backup.SetClock([when] { return when; });
    }

    // The work file's bytes with the database closed, so that nothing waits in its log.
    // The file's content: its change counter (header bytes 24-27 and 92-95) counts every open
    // and close, which switch the journal mode, and is left out.
    std::string WorkBytes()
    {
        CloseWorkDatabase();
        std::string bytes = test::ReadFile(work);
        for (std::size_t at : {24u, 92u})
            if (bytes.size() >= at + 4)
                bytes.replace(at, 4, 4, '\0');
        Connection().WorkDb = OpenDatabaseFile(work);
        return bytes;
    }

    std::string Folder() const { return m_app.DataDir + "BACKUP"; }

    std::string work;
    Backup backup;
};

TEST_F(BackupTest, RestoreOfASavedBackupGivesBackTheRowsOfThatTime)
{
    ASSERT_EQ(Backup::Folder(), m_app.DataDir + "BACKUP");
    ASSERT_TRUE(backup.Save(Backup::Folder())) << backup.LastErrorText();
    EXPECT_EQ(backup.BackupPath(), Folder() + "/BACKUP_090304-0709.zip");
    EXPECT_FALSE(fs::exists(Folder() + "/BACKUP_090304-0709.MDB"));
    ASSERT_TRUE(HasWorkDb());
    EXPECT_EQ(ui.shown.back().Text, "Die Datensicherung wurde im Verzeichnis \"" + Folder() + "\" angelegt.");

    WorkDb().Execute("DELETE FROM T_REZ_KOPF WHERE ID = 2");
    WorkDb().Execute("INSERT INTO T_REZ_KOPF (ID, RezTitle) VALUES (9, \"Neu\")");
    const auto edited = Titles(WorkDb());

    ui.Answering(Answer::Yes);
    ASSERT_TRUE(backup.Restore(backup.BackupPath())) << backup.LastErrorText();
    EXPECT_EQ(ui.shown.back().Text, LoadText(4774) + "\r\n" + LoadText(4775));
    EXPECT_EQ(backup.RestoredFrom(), "BACKUP_090304-0709.MDB");
    ASSERT_TRUE(HasWorkDb());
    EXPECT_EQ(Titles(WorkDb()), (std::vector<std::string>{"Käsekuchen", "Gulasch", "Grießbrei"}));
    EXPECT_EQ(TitlesIn(work + ".BAK"), edited);
    // The extracted copy is gone again.
    EXPECT_TRUE(fs::is_empty(m_app.TempDir));
}

TEST_F(BackupTest, RestoreRescuesADamagedWorkFileAndKeepsItsBytes)
{
    ASSERT_TRUE(backup.Save(Backup::Folder())) << backup.LastErrorText();
    CloseWorkDatabase();
    std::string bytes = test::ReadFile(work);
    std::fill(bytes.begin(), bytes.begin() + 100, 'x'); // the file header is gone
    test::WriteFile(work, bytes);
    Connection().WorkDb.reset();

    ui.Answering(Answer::Yes);
    ASSERT_TRUE(backup.Restore(backup.BackupPath())) << backup.LastErrorText();
    ASSERT_TRUE(HasWorkDb());
    EXPECT_EQ(Titles(WorkDb()), (std::vector<std::string>{"Käsekuchen", "Gulasch", "Grießbrei"}));
    EXPECT_EQ(test::ReadFile(work + ".BAK"), bytes);
}

TEST_F(BackupTest, ArchiveRestoresItsFirstDatabaseAndALaterRestoreReplacesTheBak)
{
    MakeRecipeDatabase(dir.File("a.db"), {"Aus dem Ordner"});
    MakeRecipeDatabase(dir.File("b.db"), {"Zweite Datenbank"});
    test::WriteFile(dir.File("liesmich.txt"), "Sicherung vom Sonntag");
    const std::string archive = MakeZip(dir.File("mehrere.ZIP"), {{dir.File("liesmich.txt"), "liesmich.txt"},
                                                                  {dir.File("a.db"), "alt/Küche.mdb"},
                                                                  {dir.File("b.db"), "ZWEITE.MDB"}});
    ui.Answering(Answer::Yes).Answering(Answer::Yes);
    ASSERT_TRUE(backup.Restore(archive)) << backup.LastErrorText();
    EXPECT_EQ(backup.RestoredFrom(), "alt/Küche.mdb");
    EXPECT_EQ(Titles(WorkDb()), std::vector<std::string>{"Aus dem Ordner"});

    // Restoring again keeps only the latest safety copy; the restored file stays as it was.
    MakeRecipeDatabase(dir.File("zweite.MDB"), {"Zweite"});
    ASSERT_TRUE(backup.Restore(dir.File("zweite.MDB"))) << backup.LastErrorText();
    EXPECT_EQ(Titles(WorkDb()), std::vector<std::string>{"Zweite"});
    EXPECT_EQ(TitlesIn(work + ".BAK"), std::vector<std::string>{"Aus dem Ordner"});
    EXPECT_EQ(TitlesIn(dir.File("zweite.MDB")), std::vector<std::string>{"Zweite"});
}

TEST_F(BackupTest, FailedRestoreLeavesTheWorkDatabaseAsItWas)
{
    ASSERT_TRUE(backup.Save(Folder()));
    const std::string good = test::ReadFile(backup.BackupPath());
    test::WriteFile(dir.File("abgeschnitten.zip"), good.substr(0, good.size() * 2 / 3));
    test::WriteFile(dir.File("text.txt"), "nur Text");
    MakeZip(dir.File("ohne.zip"), {{dir.File("text.txt"), "rezepte.txt"}});
    MakeZip(dir.File("falsch.zip"), {{dir.File("text.txt"), "Pfannola.MDB"}});
    test::WriteFile(dir.File("BACKUP_text.MDB"), "SQLite format 3 - nicht wirklich");
    {
        auto other = test::NewDatabase(dir.File("fremd.MDB"));
        other->Execute("CREATE TABLE Kunden (ID INTEGER)");
    }
    WorkDb().Execute("INSERT INTO T_REZ_KOPF (ID, RezTitle) VALUES (4, \"Nach der Sicherung\")");
    const std::string before = WorkBytes();

    for (const char* name :
         {"abgeschnitten.zip", "ohne.zip", "falsch.zip", "BACKUP_text.MDB", "fremd.MDB", "fehlt.zip"}) {
        SCOPED_TRACE(name);
        ui.shown.clear();
        ui.Answering(Answer::Yes);
        EXPECT_FALSE(backup.Restore(dir.File(name)));
        ASSERT_FALSE(ui.shown.empty());
        EXPECT_EQ(ui.shown.back().Icon, MsgIcon::Critical);
        EXPECT_EQ(ui.shown.back().Text.rfind(LoadText(4777), 0), 0u) << ui.shown.back().Text;
        EXPECT_EQ(backup.LastErrorText(), ui.shown.back().Text);
        ASSERT_TRUE(HasWorkDb());
        EXPECT_EQ(WorkBytes(), before);
        EXPECT_FALSE(fs::exists(work + ".BAK"));
    }
    EXPECT_EQ(Titles(WorkDb()).size(), 4u);
    EXPECT_TRUE(ui.AllAnswersUsed());
}

TEST_F(BackupTest, FailedSaveWarnsAndKeepsTheWorkDatabaseOpen)
{
    test::WriteFile(dir.File("belegt"), "eine Datei, kein Ordner");
    EXPECT_FALSE(backup.Save(dir.File("belegt/BACKUP")));
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_EQ(ui.shown.back().Icon, MsgIcon::Warning);
    EXPECT_EQ(backup.BackupPath(), "");
    ASSERT_TRUE(HasWorkDb());
    EXPECT_EQ(Titles(WorkDb()).size(), 3u);
}

TEST_F(BackupTest, DeclinedRestoreChangesNothing)
{
    MakeRecipeDatabase(dir.File("andere.MDB"), {"Andere"});
    const std::string before = WorkBytes();
    ui.Answering(Answer::No);
    EXPECT_FALSE(backup.Restore(dir.File("andere.MDB")));
    EXPECT_EQ(WorkBytes(), before);
    EXPECT_FALSE(fs::exists(work + ".BAK"));
}

TEST_F(BackupTest, ListShowsOnlyBackupsAndDeleteRemovesOne)
{
    fs::create_directories(Folder());
    for (const char* name :
         {"BACKUP_240101-0800.MDB", "backup_240202-0900.zip", "BACKUP_notiz.txt", "andere.zip"})
        test::WriteFile(Folder() + "/" + name, std::string(100, 'x'));
    fs::create_directories(Folder() + "/BACKUP_ordner.zip");

    auto entries = Backup::List(Folder());
    ASSERT_EQ(entries.size(), 2u);
    for (const auto& entry : entries) {
        SCOPED_TRACE(entry.FileName);
        EXPECT_EQ(entry.Size, 100u);
        EXPECT_EQ(entry.IsZip, entry.FileName == "backup_240202-0900.zip");
        EXPECT_NE(entry.DateText.find(", "), std::string::npos);
    }

    EXPECT_TRUE(backup.Delete(Folder() + "/BACKUP_240101-0800.MDB"));
    EXPECT_EQ(Backup::List(Folder()).size(), 1u);
    EXPECT_FALSE(backup.Delete(Folder() + "/BACKUP_240101-0800.MDB"));
    EXPECT_EQ(ui.shown.back().Text, LoadText(4773));
}

TEST_F(BackupTest, ReminderAsksOnlyWhenABackupIsOverdue)
{
    const std::time_t now = std::time(nullptr);
    backup.SetClock([now] { return now; });
    // No backup yet and recipes stored: due. No answers "no" and nothing is saved.
    EXPECT_TRUE(Backup::ReminderDue(now));
    ui.Answering(Answer::No);
    backup.RemindAtClose();
    EXPECT_TRUE(Backup::List(Folder()).empty());
    // Yes saves one; right afterwards nothing is due, two weeks and a day later it is again.
    ui.Answering(Answer::Yes);
    backup.RemindAtClose();
    ASSERT_EQ(Backup::List(Folder()).size(), 1u);
    EXPECT_FALSE(Backup::ReminderDue(now));
    EXPECT_TRUE(Backup::ReminderDue(now + 15 * 24 * 3600));
    // Switched off, or nothing to lose: never due.
    Backup::SetReminder(false);
    EXPECT_FALSE(Backup::ReminderDue(now + 15 * 24 * 3600));
    Backup::SetReminder(true);
    WorkDb().Execute("DELETE * FROM T_REZ_KOPF");
    EXPECT_FALSE(Backup::ReminderDue(now + 15 * 24 * 3600));
    EXPECT_TRUE(ui.AllAnswersUsed());
}

} // namespace
} // namespace pf
