// Recipes in and out through the command line: the import of files, tables and other databases,
// the export in each format, and the address cards.

#include "db/Database.h"
#include "tests/app/CliFixture.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pf {
namespace {

namespace fs = std::filesystem;
using test::HasSubstr;

class CliImportTest : public test::CliFixture
{
protected:
    static std::string Data(const std::string& name) { return std::string(PF_TEST_DATA_DIR) + "/mm/" + name; }

    // An import that must succeed: the counts it printed.
    std::string Import(const std::string& db, std::vector<std::string> words)
    {
        words.insert(words.begin(), {"--db", db, "import"});
        return Out(std::move(words));
    }

    static long Count(const std::string& db, const std::string& sql)
    {
        return Database::OpenSqlite(db)->Scalar(sql).AsLong();
    }

    // Takes the write permission from the file.
    static void ReadOnly(const std::string& path)
    {
        fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    }
};

TEST_F(CliImportTest, ImportsFilesIntoACookbookAndSkipsDuplicatesByDefault)
{
    const std::string db = InitDatabase(
        "rezepte.MDB",
        {"INSERT INTO T_BUCH (ID, BuchTitel, BuchBeschreib) VALUES (5, 'Sammlung', 'aus Dateien')"});
    EXPECT_EQ(Import(db, {"--cookbook", "5", Data("single.mm"), Data("twocol.mm")}),
              "importiert: 3, übersprungen: 0, fehlerhaft: 0\n");
    EXPECT_EQ(Count(db, "SELECT COUNT(*) FROM T_REZ_KOCHBUCH WHERE BuchID=5"), 3);
    EXPECT_EQ(Import(db, {Data("twocol.mm")}), "importiert: 0, übersprungen: 2, fehlerhaft: 0\n");
    // Each skipped recipe is named with file and line.
    EXPECT_THAT(err.str(), HasSubstr(Data("twocol.mm") + ", Zeile 20: \"Tomato Soup\" ist schon vorhanden"));
    // Another recipe under a known title is a recipe of its own, unless the title rule is asked for.
    const std::string other = dir.File("andere.mm");
    test::WriteFile(other, "MMMMM----- Recipe via Meal-Master (tm) v8.05\n      Title: Tomato Soup\n\n"
                           "      3    tomatoes\n      1 l  stock\n\nCook.\n\nMMMMM\n");
    EXPECT_EQ(Import(db, {"--duplicates", "skip", other}), "importiert: 0, übersprungen: 1, fehlerhaft: 0\n");
    EXPECT_EQ(Import(db, {other}), "importiert: 1, übersprungen: 0, fehlerhaft: 0\n");
    EXPECT_EQ(Import(db, {other}), "importiert: 0, übersprungen: 1, fehlerhaft: 0\n");
    // Duplicates set aside are stored as well (in the duplicates cookbook) and count as imported.
    EXPECT_EQ(Import(db, {"--duplicates", "move", Data("twocol.mm")}),
              "importiert: 2, übersprungen: 0, fehlerhaft: 0\n");
}

TEST_F(CliImportTest, AMissingFileOrCookbookOrAReadOnlyDatabaseIsAFailure)
{
    const std::string db = InitDatabase();
    EXPECT_EQ(Run({"--db", db, "import", dir.File("fehlt.mm")}), 1);
    EXPECT_THAT(err.str(), HasSubstr("wurde nicht gefunden"));
    EXPECT_EQ(Run({"--db", db, "import", "--cookbook", "99", Data("single.mm")}), 1);
    EXPECT_EQ(err.str(), "Ein Kochbuch mit der Nummer 99 gibt es nicht.\n");
    // Nothing can be stored: the caller must not read the run as done.
    ReadOnly(db);
    EXPECT_EQ(Run({"--db", db, "import", Data("single.mm")}), 1);
    EXPECT_EQ(out.str(), "");
    EXPECT_THAT(err.str(), HasSubstr("schreibgeschützt"));
    fs::permissions(db, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(Count(db, "SELECT COUNT(*) FROM T_REZ_KOPF"), 0);
}

TEST_F(CliImportTest, ExitCodeAndSummarySayWhatCameInAlsoFromATable)
{
    const std::string database = InitDatabase("leer.MDB");
    const std::string start = "MMMMM----- Recipe via Meal-Master (tm) v8.05\n";
    const std::string none = "importiert: 0, übersprungen: 0, fehlerhaft: 0\n";
    // The file, its content, the exit code, a part of standard error, standard output.
    const std::tuple<const char*, std::string, int, const char*, std::string> cases[] = {
        {"leer.mm", "", 1, "kein Rezept gefunden", none},
        {"kaputt.zip", "PK\x03\x04 kein Archiv", 1, "kein Rezept gefunden", none},
        // Every recipe failed: nothing came in.
        {"ohnetitel.mm", start + "\n      1    Ei\n\nMMMMM\n" + start + "\n      2    Eier\n\nMMMMM\n", 1,
         "Keines der Rezepte", "importiert: 0, übersprungen: 0, fehlerhaft: 2\n"},
        // A file cut off inside its second recipe: what was read is stored, and named.
        {"abgeschnitten.mm",
         start + "      Title: Ganz\n\n      1    Ei\n\nKochen.\n\nMMMMM\n" + start +
             "      Title: Halb\n\n      2    Eier\n\nErst ruehren, dann",
         0, "",
         "importiert: 2, übersprungen: 0, fehlerhaft: 0\nunvollständig: " + dir.File("abgeschnitten.mm") +
             ", Zeile 9: \"Halb\": Die Datei endet mitten im Rezept; gespeichert ist, was bis dahin "
             "stand.\n"},
    };
    for (const auto& [name, content, code, message, summary] : cases) {
        SCOPED_TRACE(name);
        test::WriteFile(dir.File(name), content);
        EXPECT_EQ(Run({"--db", database, "import", dir.File(name)}), code) << err.str();
        EXPECT_THAT(err.str(), HasSubstr(message));
        EXPECT_EQ(out.str(), summary);
    }

    // A table with separator and map.
    const std::string table = dir.File("liste.csv");
    test::WriteFile(table,
                    "Titel;x;Quelle;Seite;Kategorien;Bücher\r\nSuppe;;Heft;4;\"Vorspeise;Suppe\";Winter\r\n");
    EXPECT_EQ(Out({"--db", database, "import-table", "--separator", ";", "--map",
                   "title=1,source=3,page=4,categories=5,books=6", table}),
              "importiert: 1, übersprungen: 0, fehlerhaft: 0\n");
    // Left-out rows are counted and named; a table that brings nothing in is a failure.
    const std::tuple<std::string, int, const char*, const char*> tables[] = {
        {"Titel;x\n;Brot\nBrei\n\"\";Mus\n", 0, "Zeile 2 übersprungen: sie beginnt mit \";\" und gilt deshalb "
                                               "als Kommentar (Titel \"Brot\").\nZeile 3 nicht übernommen",
         "importiert: 1, übersprungen: 1, fehlerhaft: 1\n"},
        {"Titel;x\n;Brot\n", 1, "Keine der Zeilen", "importiert: 0, übersprungen: 1, fehlerhaft: 0\n"},
        {"Titel;x\n", 1, "keine Rezeptzeile gefunden", none.c_str()},
    };
    for (const auto& [content, code, message, summary] : tables) {
        SCOPED_TRACE(content);
        test::WriteFile(table, content);
        EXPECT_EQ(Run({"--db", database, "import-table", "--map", "title=2", table}), code);
        EXPECT_THAT(err.str(), HasSubstr(message));
        EXPECT_EQ(out.str(), summary);
    }
    EXPECT_EQ(Run({"--db", database, "import-table", "--map", "titel=1", table}), 2);
    EXPECT_EQ(Run({"--db", database, "import-table", table}), 1);
    EXPECT_THAT(err.str(), HasSubstr("Die Datei scheint nicht das erwartete Format zu haben!"));
    EXPECT_EQ(Database::OpenSqlite(database)
                  ->Scalar("SELECT RezQuelle FROM T_REZ_KOPF WHERE RezTitle='Suppe'")
                  .AsText(),
              "Heft");
}

TEST_F(CliImportTest, DatabaseCopyAndImportFromAnotherDatabase)
{
    const std::string db = InitDatabase();
    Import(db, {Data("single.mm"), Data("twocol.mm")});
    // The copy is a database of its own that the program opens; packed, only the archive stays.
    const std::string copy = dir.File("kopie.MDB");
    Out({"--db", db, "export", "--format", "db", "--ids", "1,2", "--out", copy});
    EXPECT_THAT(Out({"--db", copy, "info"}), HasSubstr("Rezepte: 2\n"));
    Out({"--db", db, "export", "--format", "dbzip", "--out", dir.File("alle.zip")});
    EXPECT_TRUE(fs::exists(dir.File("alle.zip")));
    EXPECT_FALSE(fs::exists(dir.File("alle.MDB")));

    // Into a new database: all three, then none again; the other file is never written.
    const std::string target = InitDatabase("ziel.MDB");
    ReadOnly(db);
    const auto written = fs::last_write_time(db);
    EXPECT_EQ(Out({"--db", target, "import-db", db}), "importiert: 3, übersprungen: 0, fehlerhaft: 0\n");
    EXPECT_EQ(Out({"--db", target, "import-db", db}), "importiert: 0, übersprungen: 3, fehlerhaft: 0\n");
    EXPECT_THAT(err.str(), HasSubstr(db + ", Rezept 2: \""));
    EXPECT_EQ(fs::last_write_time(db), written);

    EXPECT_EQ(Run({"--db", target, "import-db", target}), 1);
    EXPECT_EQ(err.str(), "Die Datenbank kann nicht in sich selbst importiert werden.\n");
    EXPECT_EQ(Run({"--db", target, "import-db", Data("single.mm")}), 1);
    EXPECT_THAT(err.str(), HasSubstr("sieht nicht wie eine Pfannola-Datenbank aus"));
}

class CliExportTest : public test::CliFixture
{
protected:
    // Two recipes: 7 uses 8 as a sub-recipe.
    std::string MakeRecipeDatabase()
    {
        return InitDatabase(
            "rezepte.MDB",
            {"INSERT INTO T_REZ_KOPF (ID,RezTitle,RezYield,RezYieldEinh) VALUES (7,'Pfannkuchen',4,1), "
             "(8,'Apfelmus',2,1)",
             "INSERT INTO T_REZ_CAT_NDX (ID,CatID,CatPrimary) VALUES (7,102,-1)",
             "INSERT INTO T_REZ_ZUTAT (ID,No,ZutTrenner,ZutText,ZutAnz,ZutEinh,ZutRezept,ZutBLSID) VALUES "
             "(7,1,0,'Mehl',250,31,0,NULL), (7,2,0,'Apfelmus',0,0,-1,8), (8,1,0,'Äpfel',500,31,0,NULL)",
             "INSERT INTO T_REZ_ANWEIS (ID,NO,AnwText) VALUES (7,1,'Ausbacken.'), (8,1,'Kochen.')"});
    }

    const std::string path = MakeRecipeDatabase();
};

TEST_F(CliExportTest, ExportsTheListWithItsSubRecipesAndEveryRecipeInEachFormat)
{
    const std::string list = dir.File("pfannkuchen.mm");
    // The sub-recipe comes along; the servings reach the export.
    EXPECT_EQ(Out({"--db", path, "export", "--format", "mm", "--ids", "7", "--servings", "8", "--out", list}),
              "exportiert: 2, übersprungen: 0\n");
    EXPECT_THAT(test::ReadFile(list), HasSubstr("    500 g  Mehl\r\n"));
    // Format, file, a part of the file.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"rezkonv", "alle.rez", "     Titel: Apfelmus"},
        {"html", "alle.html", "</html>"},
        {"rtf", "alle.rtf", "{\\rtf1"},
        {"mensax", "alle.mnx", "    <head title=\"Apfelmus\""},
        {"csv", "alle.csv",
         ";Vorspeise;Pfannkuchen;Ausbacken.;;Rezept;7\r\n;;Apfelmus;Kochen.;;Rezept;8\r\n"},
        {"xml", "alle.xml", "<zutat menge=\"0\" einheit=\"\" rezept=\"8\">Apfelmus</zutat>"},
        {"structure", "alle.txt", "Pfannkuchen (#7), 4 Portionen\r\n  Unterrezept: Apfelmus (#8)\r\n"},
    };
    for (const auto& [format, file, marker] : cases) {
        SCOPED_TRACE(format);
        EXPECT_EQ(Out({"--db", path, "export", "--format", format, "--out", dir.File(file)}),
                  "exportiert: 2, übersprungen: 0\n");
        EXPECT_THAT(test::ReadFile(dir.File(file)), HasSubstr(marker));
    }
}

TEST_F(CliExportTest, RefusesBadArgumentsAndReportsMissingRecipes)
{
    EXPECT_EQ(Run({"--db", path, "export", "--format", "doc", "--out", dir.File("x")}), 2);
    EXPECT_THAT(err.str(), HasSubstr("Unbekanntes Exportformat: doc"));
    EXPECT_EQ(Run({"--db", path, "export", "--format", "csv", "--separator", "|", "--out", dir.File("x")}),
              2);
    EXPECT_THAT(err.str(), HasSubstr("Als Trennzeichen sind nur"));
    EXPECT_EQ(Run({"--db", path, "export", "--format", "csv"}), 2); // only the structure goes to stdout

    // The structure without a file, and a CSV with commas.
    EXPECT_EQ(Out({"--db", path, "export", "--format", "structure", "--ids", "8"}),
              "Apfelmus (#8), 2 Portionen\r\n  Verwendet in: Pfannkuchen (#7)\r\n\r\n");
    Out({"--db", path, "export", "--format", "csv", "--separator", ",", "--ids", "8", "--out",
         dir.File("k.csv")});
    EXPECT_THAT(test::ReadFile(dir.File("k.csv")), HasSubstr(",,Apfelmus,Kochen.,,Rezept,8\r\n"));
    EXPECT_EQ(Out({"--db", path, "export", "--format", "mm", "--ids", "99,8,8", "--out", dir.File("x.mm")}),
              "exportiert: 1, übersprungen: 1\n");

    // None of the recipes exists: an error, and a file already at the target stays untouched.
    test::WriteFile(dir.File("alt.mm"), "vorher");
    EXPECT_EQ(Run({"--db", path, "export", "--format", "mm", "--ids", "98,99", "--out", dir.File("alt.mm")}),
              1);
    EXPECT_THAT(err.str(), HasSubstr("nichts exportiert"));
    EXPECT_EQ(test::ReadFile(dir.File("alt.mm")), "vorher");
    EXPECT_FALSE(fs::exists(dir.File("alt.mm.BAK")));
}

// The "vcard" command: import of a file with a broken card, export of what was stored, and the
// usage for wrong words.
using CliVCardTest = test::CliFixture;

TEST_F(CliVCardTest, ImportsCountsAndExportsAgain)
{
    const std::string db = InitDatabase();
    const std::string file = dir.File("telefon.vcf");
    test::WriteFile(
        file, "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:B=C3=A4cker;Ida\r\n"
              "TEL;HOME;VOICE:0711 1\r\nEND:VCARD\r\nBEGIN:VCARD\r\nTEL:1\r\nEND:VCARD\r\n");
    EXPECT_EQ(Out({"--db", db, "vcard", "import", file}),
              "übernommen: 1, bereits vorhanden: 0, übersprungen: 1\n");
    EXPECT_THAT(err.str(), HasSubstr("Karte ab Zeile 6 übersprungen"));

    const std::string back = dir.File("alle.vcf");
    EXPECT_EQ(Out({"--db", db, "vcard", "export", back}), "exportiert: 1\n");
    EXPECT_THAT(test::ReadFile(back),
                HasSubstr("FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Ida B=C3=A4cker\r\n"));
    EXPECT_THAT(test::ReadFile(back), HasSubstr("TEL;HOME;VOICE:0711 1\r\n"));

    for (const std::vector<std::string>& words :
         {std::vector<std::string>{"vcard"}, {"vcard", "drucken", back}, {"vcard", "import", back, "mehr"}}) {
        EXPECT_EQ(RunOn(db, words), 2);
        EXPECT_FALSE(err.str().empty());
    }
    // A file that brings no address in is a failure.
    for (const auto& [content, message] :
         {std::pair{"", "keine vCard-Karte"}, {"Name;Ort\r\n", "keine vCard-Karte"},
          {"BEGIN:VCARD\r\nTEL:1\r\nEND:VCARD\r\n", "Keine der Karten"}}) {
        test::WriteFile(file, content);
        EXPECT_EQ(Run({"--db", db, "vcard", "import", file}), 1) << content;
        EXPECT_THAT(err.str(), HasSubstr(message));
    }
    EXPECT_EQ(Run({"--db", db, "vcard", "import", dir.File("fehlt.vcf")}), 1);
    EXPECT_THAT(err.str(), HasSubstr("kann nicht gelesen werden"));
}

} // namespace
} // namespace pf
