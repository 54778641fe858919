#include "db/Database.h"
#include "tests/app/CliFixture.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace pf {
namespace {

class CliImportTest : public test::CliFixture
{
protected:
    static std::string Data(const std::string& name) { return std::string(PF_TEST_DATA_DIR) + "/mm/" + name; }
};

TEST_F(CliImportTest, ImportsFilesIntoACookbookAndSkipsDuplicatesByDefault)
{
    const std::string db = dir.File("rezepte.MDB");
    ASSERT_EQ(Run({"--db", db, "init"}), 0) << err.str();
    {
        auto open = Database::OpenSqlite(db);
        open->Execute(
            "INSERT INTO T_BUCH (ID, BuchTitel, BuchBeschreib) VALUES (5, 'Sammlung', 'aus Dateien')");
    }
    ASSERT_EQ(Run({"--db", db, "import", "--cookbook", "5", Data("single.mm"), Data("twocol.mm")}), 0)
        << err.str();
    EXPECT_EQ(out.str(), "importiert: 3, übersprungen: 0, fehlerhaft: 0\n");
    {
        auto open = Database::OpenSqlite(db);
        EXPECT_EQ(open->Scalar("SELECT COUNT(*) FROM T_REZ_KOCHBUCH WHERE BuchID=5").AsLong(), 3);
    }
    ASSERT_EQ(Run({"--db", db, "import", Data("twocol.mm")}), 0) << err.str();
    EXPECT_EQ(out.str(), "importiert: 0, übersprungen: 2, fehlerhaft: 0\n");
    // Duplicates set aside are stored as well (in the duplicates cookbook) and count as imported.
    ASSERT_EQ(Run({"--db", db, "import", "--duplicates", "move", Data("twocol.mm")}), 0) << err.str();
    EXPECT_EQ(out.str(), "importiert: 2, übersprungen: 0, fehlerhaft: 0\n");
}

TEST_F(CliImportTest, RefusesBadArguments)
{
    const std::string db = dir.File("rezepte.MDB");
    ASSERT_EQ(Run({"--db", db, "init"}), 0) << err.str();
    EXPECT_EQ(Run({"--db", db, "import"}), 2);
    EXPECT_EQ(Run({"--db", db, "import", "--cookbook", "x", Data("single.mm")}), 2);
    EXPECT_EQ(Run({"--db", db, "import", "--duplicates", "ask", Data("single.mm")}), 2);
    EXPECT_EQ(Run({"--db", db, "import", dir.File("fehlt.mm")}), 1);
    EXPECT_NE(err.str().find("wurde nicht gefunden"), std::string::npos);
    EXPECT_EQ(Run({"--db", db, "import", "--cookbook", "99", Data("single.mm")}), 1);
    EXPECT_EQ(err.str(), "Ein Kochbuch mit der Nummer 99 gibt es nicht.\n");
}

TEST_F(CliImportTest, ReadOnlyDatabaseIsAFailure)
{
    // Nothing can be stored: the caller must not read the run as done.
    const std::string db = dir.File("rezepte.MDB");
    ASSERT_EQ(Run({"--db", db, "init"}), 0) << err.str();
    std::filesystem::permissions(db, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read);
    EXPECT_EQ(Run({"--db", db, "import", Data("single.mm")}), 1);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("schreibgeschützt"), std::string::npos) << err.str();
    std::filesystem::permissions(db, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    auto open = Database::OpenSqlite(db);
    EXPECT_EQ(open->Scalar("SELECT COUNT(*) FROM T_REZ_KOPF").AsLong(), 0);
}

} // namespace
} // namespace pf

namespace pf {
namespace {

TEST_F(CliImportTest, FilesWithoutAnyRecipeEndWithAnErrorCode)
{
    const std::string database = dir.File("leer.MDB");
    ASSERT_EQ(Run({"--db", database, "init"}), 0) << err.str();
    test::WriteFile(dir.File("leer.mm"), "");
    test::WriteFile(dir.File("kaputt.zip"), "PK\x03\x04 kein Archiv");
    for (const char* file : {"leer.mm", "kaputt.zip"}) {
        SCOPED_TRACE(file);
        EXPECT_EQ(Run({"--db", database, "import", dir.File(file)}), 1);
        EXPECT_NE(err.str().find("kein Rezept gefunden"), std::string::npos) << err.str();
        EXPECT_NE(out.str().find("importiert: 0"), std::string::npos) << out.str();
    }
}

} // namespace
} // namespace pf
