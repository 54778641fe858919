#include "db/Database.h"
#include "tests/app/CliFixture.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pf {
namespace {

class CliExportTest : public test::CliFixture
{
protected:
    // Two recipes: 7 uses 8 as a sub-recipe.
    std::string MakeRecipeDatabase()
    {
        const std::string path = InitDatabase();
        auto db = Database::OpenSqlite(path);
        db->Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,RezYield,RezYieldEinh) VALUES "
                    "(7,'Pfannkuchen',4,1), (8,'Apfelmus',2,1)");
        db->Execute("INSERT INTO T_REZ_CAT_NDX (ID,CatID,CatPrimary) VALUES (7,102,-1)");
        db->Execute(
            "INSERT INTO T_REZ_ZUTAT (ID,No,ZutTrenner,ZutText,ZutAnz,ZutEinh,ZutRezept,ZutBLSID) VALUES "
            "(7,1,0,'Mehl',250,31,0,NULL), (7,2,0,'Apfelmus',0,0,-1,8), (8,1,0,'Äpfel',500,31,0,NULL)");
        db->Execute("INSERT INTO T_REZ_ANWEIS (ID,NO,AnwText) VALUES (7,1,'Ausbacken.'), (8,1,'Kochen.')");
        return path;
    }
};

TEST_F(CliExportTest, ExportsTheListWithItsSubRecipes)
{
    const std::string path = MakeRecipeDatabase();
    const std::string file = dir.File("pfannkuchen.mm");
    ASSERT_EQ(Run({"--db", path, "export", "--format", "mm", "--ids", "7", "--servings", "8", "--out", file}),
              0)
        << err.str();
    // The sub-recipe comes along; the servings reach the export.
    EXPECT_EQ(out.str(), "exportiert: 2, übersprungen: 0\n");
    EXPECT_NE(test::ReadFile(file).find("    500 g  Mehl\r\n"), std::string::npos);
}

TEST_F(CliExportTest, ExportsEveryRecipeInEachFormat)
{
    const std::string path = MakeRecipeDatabase();
    struct Case
    {
        const char* format;
        const char* file;
        const char* marker;
    };
    for (const Case& c :
         {Case{"rezkonv", "alle.rez", "     Titel: Apfelmus"}, Case{"html", "alle.html", "</html>"},
          Case{"rtf", "alle.rtf", "{\\rtf1"}, Case{"mensax", "alle.mnx", "    <head title=\"Apfelmus\""},
          Case{"csv", "alle.csv",
               ";Vorspeise;Pfannkuchen;Ausbacken.;;Rezept;7\r\n;;Apfelmus;Kochen.;;Rezept;8\r\n"},
          Case{"xml", "alle.xml", "<zutat menge=\"0\" einheit=\"\" rezept=\"8\">Apfelmus</zutat>"},
          Case{"structure", "alle.txt",
               "Pfannkuchen (#7), 4 Portionen\r\n  Unterrezept: Apfelmus (#8)\r\n"}}) {
        SCOPED_TRACE(c.format);
        ASSERT_EQ(Run({"--db", path, "export", "--format", c.format, "--out", dir.File(c.file)}), 0)
            << err.str();
        EXPECT_EQ(out.str(), "exportiert: 2, übersprungen: 0\n");
        EXPECT_NE(test::ReadFile(dir.File(c.file)).find(c.marker), std::string::npos);
    }
}

TEST_F(CliExportTest, RefusesBadArgumentsAndReportsMissingRecipes)
{
    const std::string path = MakeRecipeDatabase();
    EXPECT_EQ(Run({"--db", path, "export", "--format", "doc", "--out", dir.File("x")}), 2);
    EXPECT_NE(err.str().find("Unbekanntes Exportformat: doc"), std::string::npos);
    EXPECT_EQ(Run({"--db", path, "export", "--format", "csv", "--separator", "|", "--out", dir.File("x")}),
              2);
    EXPECT_NE(err.str().find("Als Trennzeichen sind nur"), std::string::npos) << err.str();
    EXPECT_EQ(Run({"--db", path, "export", "--format", "csv"}), 2); // only the structure goes to stdout

    // The structure without a file, and a CSV with commas.
    ASSERT_EQ(Run({"--db", path, "export", "--format", "structure", "--ids", "8"}), 0) << err.str();
    EXPECT_EQ(out.str(), "Apfelmus (#8), 2 Portionen\r\n  Verwendet in: Pfannkuchen (#7)\r\n\r\n");
    ASSERT_EQ(Run({"--db", path, "export", "--format", "csv", "--separator", ",", "--ids", "8", "--out",
                   dir.File("k.csv")}),
              0);
    EXPECT_NE(test::ReadFile(dir.File("k.csv")).find(",,Apfelmus,Kochen.,,Rezept,8\r\n"), std::string::npos);

    ASSERT_EQ(Run({"--db", path, "export", "--format", "mm", "--ids", "99,8,8", "--out", dir.File("x.mm")}),
              0);
    EXPECT_EQ(out.str(), "exportiert: 1, übersprungen: 1\n");

    // None of the recipes exists: an error, and a file already at the target stays untouched.
    test::WriteFile(dir.File("alt.mm"), "vorher");
    EXPECT_EQ(Run({"--db", path, "export", "--format", "mm", "--ids", "98,99", "--out", dir.File("alt.mm")}),
              1);
    EXPECT_NE(err.str().find("nichts exportiert"), std::string::npos) << err.str();
    EXPECT_EQ(test::ReadFile(dir.File("alt.mm")), "vorher");
    EXPECT_FALSE(std::filesystem::exists(dir.File("alt.mm.BAK")));
}

} // namespace
} // namespace pf
