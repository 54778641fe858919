#include "db/Database.h"
#include "db/Recordset.h"
#include "tests/app/CliFixture.h"
#include "tests/support/NewDatabase.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pf {
namespace {

namespace fs = std::filesystem;

class CliBackupTest : public test::CliFixture
{
protected:
    CliBackupTest() { Fill(*test::NewDatabase(file)); }

    // The version row and one recipe: what a backup must bring back.
    static void Fill(Database& db)
    {
        db.CreateTable({"T_VERSION",
                        {{"Major", FieldType::Long}, {"Minor", FieldType::Long}, {"Build", FieldType::Long}},
                        {}});
        db.Execute("INSERT INTO T_VERSION (Major, Minor, Build) VALUES (2, 0, 126)");
        db.CreateTable({"T_REZ_KOPF", {{"ID", FieldType::Long}, {"RezTitle", FieldType::Text, 80}}, {}});
        db.Execute("INSERT INTO T_REZ_KOPF (ID, RezTitle) VALUES (1, 'Flammkuchen')");
    }
    // The archive a backup run named, and a copy of it cut short.
    std::string Backup(const std::string& db)
    {
        EXPECT_EQ(Run({"--db", db, "backup", dir.File("sicher")}), 0) << err.str();
        const std::string archive = out.str().substr(0, out.str().size() - 1);
        const std::string bytes = test::ReadFile(archive);
        test::WriteFile(dir.File("kaputt.zip"), bytes.substr(0, bytes.size() - 30));
        return archive;
    }

    long Count(const std::string& path)
    {
        auto db = Database::OpenSqlite(path);
        return db->Scalar("SELECT COUNT(*) FROM T_REZ_KOPF").AsLong();
    }

    std::string file = dir.File("rezepte.mdb");
};

TEST_F(CliBackupTest, BackupThenRestoreBringsBackTheSavedState)
{
    const std::string archive = Backup(file);
    EXPECT_EQ(fs::path(archive).parent_path(), fs::path(dir.File("sicher")));
    EXPECT_EQ(fs::path(archive).extension(), ".zip");
    Database::OpenSqlite(file)->Execute("INSERT INTO T_REZ_KOPF (ID, RezTitle) VALUES (2, \"Neu\")");

    // A damaged archive fails and keeps the file.
    const std::string before = test::ReadFile(file);
    EXPECT_EQ(Run({"--db", file, "restore", dir.File("kaputt.zip")}), 1);
    EXPECT_NE(err.str().find("Die Datensicherung hat ein Problem: "), std::string::npos) << err.str();
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(test::ReadFile(file), before);

    ASSERT_EQ(Run({"--db", file, "restore", archive}), 0) << err.str();
    EXPECT_NE(out.str().find("Zurückgeladen: BACKUP_"), std::string::npos) << out.str();
    EXPECT_EQ(Count(file), 1);
}

// A server database is saved into the same kind of archive: it restores into a file and back into
// the server, whose tables are then the saved ones.
TEST_F(CliBackupTest, ServerBackupRestoresIntoAFileAndIntoTheServer)
{
    std::string server;
    auto db = test::NewServerDatabase(&server);
    if (!db)
        GTEST_SKIP() << test::kNoServer;
    Fill(*db);
    const std::string archive = Backup(server);
    EXPECT_EQ(fs::path(archive).extension(), ".zip");
    db->Execute("INSERT INTO T_REZ_KOPF (ID, RezTitle) VALUES (2, 'Neu')");

    const std::string copy = dir.File("kopie.mdb");
    ASSERT_EQ(Run({"--db", copy, "restore", archive}), 0) << err.str();
    EXPECT_EQ(Count(copy), 1);

    ASSERT_EQ(Run({"--db", server, "restore", archive}), 0) << err.str();
    const std::size_t pwd = server.find("Pwd=") + 4;
    const std::string password = server.substr(pwd, server.find(';', pwd) - pwd);
    EXPECT_EQ(out.str().find("Pwd=" + password), std::string::npos) << out.str();
    EXPECT_EQ(db->Scalar("SELECT COUNT(*) FROM T_REZ_KOPF").AsLong(), 1);
    EXPECT_EQ(db->Scalar("SELECT RezTitle FROM T_REZ_KOPF").AsText(), "Flammkuchen");

    // A damaged archive changes nothing on the server.
    db->Execute("INSERT INTO T_REZ_KOPF (ID, RezTitle) VALUES (3, 'Bleibt')");
    EXPECT_EQ(Run({"--db", server, "restore", dir.File("kaputt.zip")}), 1);
    EXPECT_EQ(db->Scalar("SELECT COUNT(*) FROM T_REZ_KOPF").AsLong(), 2);
}

} // namespace
} // namespace pf
