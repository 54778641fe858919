#include "db/Database.h"
#include "tests/app/CliFixture.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>

namespace pf {
namespace {

class CliShowTest : public test::CliFixture
{
protected:
    // A database from the base data with one recipe: 250 g flour, a separator, 1 1/2 pinches.
    std::string MakeRecipeDatabase()
    {
        const std::string path = InitDatabase();
        auto db = Database::OpenSqlite(path);
        db->Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,RezYield,RezYieldEinh,RezZeitKochen,RezHerkunft) "
                    "VALUES (7,'Pfannkuchen',4,1,?,1001)",
                    {DateSerial{0.75 / 24}});
        db->Execute("INSERT INTO T_REZ_CAT_NDX (ID,CatID,CatPrimary) VALUES (7,102,-1)");
        db->Execute(
            "INSERT INTO T_REZ_ZUTAT (ID,No,ZutTrenner,ZutText,ZutAnz,ZutEinh,ZutVerarbeitung) VALUES "
            "(7,1,0,'Mehl',250,31,'gesiebt'), (7,2,-1,'Für die Pfanne',0,0,''), "
            "(7,3,0,'Salz',1.5,2,'')");
        db->Execute("INSERT INTO T_REZ_ANWEIS (ID,NO,AnwText) VALUES (7,1,'Alles verrühren und ausbacken.')");
        return path;
    }
};

TEST_F(CliShowTest, PrintsHeadLinesAndInstructionsAsTheEditorShowsThem)
{
    const std::string path = MakeRecipeDatabase();
    // Fraction display (EditFlags without the decimal bit).
    ASSERT_EQ(Run({"--db", path, "show", "7", "EditFlags=8"}), 0) << err.str();
    const std::string text = out.str();
    EXPECT_EQ(text.rfind("Pfannkuchen\n===========\n\n", 0), 0u) << text;
    for (const char* expected :
         {"Menge: 4 Portionen\n", "Kategorien: Vorspeise\n", "Herkunft: Deutschland\n", "Kochzeit: 0:45\n",
          "\nZutaten:\n    250 g   Mehl; gesiebt\n", "\n  Für die Pfanne:\n", "  1 1/2 Pr. Salz\n",
          "\nZubereitung:\nAlles verrühren und ausbacken.\n"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n---\n" << text;
}

TEST_F(CliShowTest, TheLargestServingsNeverGiveNegativeAmounts)
{
    const std::string path = MakeRecipeDatabase();
    ASSERT_EQ(Run({"--db", path, "show", "7", "--servings", "2147483647", "EditFlags=12"}), 0) << err.str();
    EXPECT_NE(out.str().find("Menge: 2147483647 Portionen\n"), std::string::npos) << out.str();
    const std::string text = out.str();
    for (std::size_t at = text.find('-'); at != std::string::npos; at = text.find('-', at + 1))
        EXPECT_FALSE(at + 1 < text.size() && std::isdigit(static_cast<unsigned char>(text[at + 1]))) << text;
}

TEST_F(CliShowTest, ScalesToTheAskedServingsWithoutChangingTheDatabase)
{
    const std::string path = MakeRecipeDatabase();
    ASSERT_EQ(Run({"--db", path, "show", "7", "--servings", "6", "EditFlags=12"}), 0) << err.str();
    EXPECT_NE(out.str().find("Menge: 6 Portionen\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("375 g "), std::string::npos) << out.str();
    // A pinch is not rounded: 1.5 × 1.5 = 2.25, shown in decimal mode.
    EXPECT_NE(out.str().find("2,25 Pr. "), std::string::npos) << out.str();
    ASSERT_EQ(Run({"--db", path, "show", "7"}), 0);
    EXPECT_NE(out.str().find("Menge: 4 Portionen\n"), std::string::npos);
}

TEST_F(CliShowTest, AMissingRecipeIsAFailure)
{
    const std::string path = MakeRecipeDatabase();
    EXPECT_EQ(Run({"--db", path, "show", "99"}), 1);
    EXPECT_NE(err.str().find("gibt es nicht"), std::string::npos) << err.str();
}

TEST_F(CliShowTest, RelativeFileNamesMeanTheFolderTheCommandWasTypedIn)
{
    const std::string path = MakeRecipeDatabase();
    std::filesystem::create_directories(dir.File("arbeit"));
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(dir.File("arbeit"));
    const int code = Run({"--db", "../rezepte.MDB", "show", "7"});
    const auto after = std::filesystem::current_path();
    std::filesystem::current_path(before);
    EXPECT_EQ(code, 0) << err.str();
    EXPECT_EQ(after, std::filesystem::path(dir.File("arbeit")));
    (void)path;
}

} // namespace
} // namespace pf
