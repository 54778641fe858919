#include "db/Database.h"
#include "tests/app/CliFixture.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pf {
namespace {

class CliImportTest : public test::CliFixture
{
protected:
    static std::string Data(const std::string& name) { return std::string(PF_TEST_DATA_DIR) + "/mm/" + name; }
};

TEST_F(CliImportTest, ImportsFilesIntoACookbookAndSkipsDuplicatesByDefault)
{
    const std::string db = InitDatabase();
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
    // Each skipped recipe is named with file and line.
    EXPECT_NE(err.str().find(Data("twocol.mm") + ", Zeile 20: \"Tomato Soup\" ist schon vorhanden"),
              std::string::npos)
        << err.str();
    // Another recipe under a known title is a recipe of its own, unless the title rule is asked for.
    const std::string other = dir.File("andere.mm");
    test::WriteFile(other, "MMMMM----- Recipe via Meal-Master (tm) v8.05\n      Title: Tomato Soup\n\n"
                           "      3    tomatoes\n      1 l  stock\n\nCook.\n\nMMMMM\n");
    ASSERT_EQ(Run({"--db", db, "import", "--duplicates", "skip", other}), 0) << err.str();
    EXPECT_EQ(out.str(), "importiert: 0, übersprungen: 1, fehlerhaft: 0\n");
    ASSERT_EQ(Run({"--db", db, "import", other}), 0) << err.str();
    EXPECT_EQ(out.str(), "importiert: 1, übersprungen: 0, fehlerhaft: 0\n");
    ASSERT_EQ(Run({"--db", db, "import", other}), 0) << err.str();
    EXPECT_EQ(out.str(), "importiert: 0, übersprungen: 1, fehlerhaft: 0\n");
    // Duplicates set aside are stored as well (in the duplicates cookbook) and count as imported.
    ASSERT_EQ(Run({"--db", db, "import", "--duplicates", "move", Data("twocol.mm")}), 0) << err.str();
    EXPECT_EQ(out.str(), "importiert: 2, übersprungen: 0, fehlerhaft: 0\n");
}

TEST_F(CliImportTest, AMissingFileOrCookbookIsAFailure)
{
    const std::string db = InitDatabase();
    EXPECT_EQ(Run({"--db", db, "import", dir.File("fehlt.mm")}), 1);
    EXPECT_NE(err.str().find("wurde nicht gefunden"), std::string::npos);
    EXPECT_EQ(Run({"--db", db, "import", "--cookbook", "99", Data("single.mm")}), 1);
    EXPECT_EQ(err.str(), "Ein Kochbuch mit der Nummer 99 gibt es nicht.\n");
}

TEST_F(CliImportTest, ReadOnlyDatabaseIsAFailure)
{
    // Nothing can be stored: the caller must not read the run as done.
    const std::string db = InitDatabase();
    std::filesystem::permissions(db, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read);
    EXPECT_EQ(Run({"--db", db, "import", Data("single.mm")}), 1);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("schreibgeschützt"), std::string::npos) << err.str();
    std::filesystem::permissions(db, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    auto open = Database::OpenSqlite(db);
    EXPECT_EQ(open->Scalar("SELECT COUNT(*) FROM T_REZ_KOPF").AsLong(), 0);
}

TEST_F(CliImportTest, ExitCodeAndSummarySayWhatCameIn)
{
    const std::string database = InitDatabase("leer.MDB");
    const std::string start = "MMMMM----- Recipe via Meal-Master (tm) v8.05\n";
    struct Case
    {
        const char* file;
        std::string content;
        int code;
        const char* message; // on standard error
        std::string summary; // standard output
    };
    const Case cases[] = {
        {"leer.mm", "", 1, "kein Rezept gefunden", "importiert: 0, übersprungen: 0, fehlerhaft: 0\n"},
        {"kaputt.zip", "PK\x03\x04 kein Archiv", 1, "kein Rezept gefunden",
         "importiert: 0, übersprungen: 0, fehlerhaft: 0\n"},
        // Every recipe failed: nothing came in.
        {"ohnetitel.mm", start + "\n      1    Ei\n\nMMMMM\n" + start + "\n      2    Eier\n\nMMMMM\n", 1,
         "Keines der Rezepte", "importiert: 0, übersprungen: 0, fehlerhaft: 2\n"},
        // A file cut off inside its second recipe: what was read is stored, and named.
        {"abgeschnitten.mm",
         start + "      Title: Ganz\n\n      1    Ei\n\nKochen.\n\nMMMMM\n" + start +
             "      Title: Halb\n\n      2    Eier\n\nErst ruehren, dann",
         0, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string file = dir.File(c.file);
        test::WriteFile(file, c.content);
        EXPECT_EQ(Run({"--db", database, "import", file}), c.code) << err.str();
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
        if (c.code == 0)
            EXPECT_EQ(out.str(),
                      "importiert: 2, übersprungen: 0, fehlerhaft: 0\nunvollständig: " + file +
                          ", Zeile 9: \"Halb\": Die Datei endet mitten im Rezept; gespeichert ist, "
                          "was bis dahin stand.\n");
        else
            EXPECT_EQ(out.str(), c.summary);
    }
}

TEST_F(CliImportTest, DatabaseCopyAndImportFromAnotherDatabase)
{
    const std::string db = InitDatabase();
    ASSERT_EQ(Run({"--db", db, "import", Data("single.mm"), Data("twocol.mm")}), 0) << err.str();
    // The copy is a database of its own that the program opens; packed, only the archive stays.
    const std::string copy = dir.File("kopie.MDB");
    ASSERT_EQ(Run({"--db", db, "export", "--format", "db", "--ids", "1,2", "--out", copy}), 0) << err.str();
    ASSERT_EQ(Run({"--db", copy, "info"}), 0) << err.str();
    EXPECT_NE(out.str().find("Rezepte: 2\n"), std::string::npos) << out.str();
    ASSERT_EQ(Run({"--db", db, "export", "--format", "dbzip", "--out", dir.File("alle.zip")}), 0)
        << err.str();
    EXPECT_TRUE(std::filesystem::exists(dir.File("alle.zip")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("alle.MDB")));

    // Into a new database: all three, then none again; the other file is never written.
    const std::string target = InitDatabase("ziel.MDB");
    std::filesystem::permissions(db, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read);
    const auto written = std::filesystem::last_write_time(db);
    ASSERT_EQ(Run({"--db", target, "import-db", db}), 0) << err.str();
    EXPECT_EQ(out.str(), "importiert: 3, übersprungen: 0, fehlerhaft: 0\n");
    ASSERT_EQ(Run({"--db", target, "import-db", db}), 0) << err.str();
    EXPECT_EQ(out.str(), "importiert: 0, übersprungen: 3, fehlerhaft: 0\n");
    EXPECT_NE(err.str().find(db + ", Rezept 2: \""), std::string::npos) << err.str();
    EXPECT_EQ(std::filesystem::last_write_time(db), written);

    EXPECT_EQ(Run({"--db", target, "import-db", target}), 1);
    EXPECT_EQ(err.str(), "Die Datenbank kann nicht in sich selbst importiert werden.\n");
    EXPECT_EQ(Run({"--db", target, "import-db", Data("single.mm")}), 1);
    EXPECT_NE(err.str().find("sieht nicht wie eine Pfannola-Datenbank aus"), std::string::npos) << err.str();
}

TEST_F(CliImportTest, TableImportWithSeparatorAndMap)
{
    const std::string db = InitDatabase();
    const std::string table = dir.File("liste.csv");
    test::WriteFile(table,
                    "Titel;x;Quelle;Seite;Kategorien;Bücher\r\nSuppe;;Heft;4;\"Vorspeise;Suppe\";Winter\r\n");
    ASSERT_EQ(Run({"--db", db, "import-table", "--separator", ";", "--map",
                   "title=1,source=3,page=4,categories=5,books=6", table}),
              0)
        << err.str();
    EXPECT_EQ(out.str(), "importiert: 1, übersprungen: 0, fehlerhaft: 0\n");
    EXPECT_EQ(Run({"--db", db, "import-table", "--map", "titel=1", table}), 2);
    EXPECT_EQ(Run({"--db", db, "import-table", table}), 1);
    EXPECT_NE(err.str().find("Die Datei scheint nicht das erwartete Format zu haben!"), std::string::npos)
        << err.str();
    auto open = Database::OpenSqlite(db);
    EXPECT_EQ(open->Scalar("SELECT RezQuelle FROM T_REZ_KOPF WHERE RezTitle='Suppe'").AsText(), "Heft");
}

} // namespace
} // namespace pf
