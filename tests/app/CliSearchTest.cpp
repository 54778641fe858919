#include "db/Database.h"
#include "tests/app/CliFixture.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace pf {
namespace {

class CliSearchTest : public test::CliFixture
{
protected:
    std::string MakeDatabase()
    {
        const std::string path = InitDatabase();
        auto db = Database::OpenSqlite(path);
        db->Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,RezMenuCard,Template,FlagDeleted,Generic) VALUES "
                    "(7,'Käsespätzle','',0,0,-1),(8,'Apfelkuchen','',0,0,0),(9,'Kaesesuppe','',0,0,0),"
                    "(10,'Käsetoast','',0,-1,0)");
        return path;
    }
};

TEST_F(CliSearchTest, PrintsIdAndTitleInTitleOrder)
{
    const std::string path = MakeDatabase();
    ASSERT_EQ(Run({"--db", path, "search", "käse"}), 0) << err.str();
    EXPECT_EQ(out.str(), "9\tKaesesuppe\n7\tKäsespätzle\n");
    ASSERT_EQ(Run({"--db", path, "search", "--mode", "8", "7-8"}), 0) << err.str();
    EXPECT_EQ(out.str(), "8\tApfelkuchen\n7\tKäsespätzle\n");
    ASSERT_EQ(Run({"--db", path, "search", "--mode", "3"}), 0) << err.str();
    EXPECT_EQ(out.str(), "7\tKäsespätzle\n");
    ASSERT_EQ(Run({"--db", path, "search", "torte"}), 0);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "keine Rezepte mit diesem Suchbegriff !\n");
}

TEST_F(CliSearchTest, TheUsersTextIsSearchedLiterally)
{
    const std::string path = MakeDatabase();
    Database::OpenSqlite(path)->Execute(
        "INSERT INTO T_REZ_KOPF (ID,RezTitle,RezMenuCard,Template,FlagDeleted,Generic) VALUES "
        "(11,'Pizza [scharf]','',0,0,0),(12,'Brot bei Ofen=180','',0,0,0),(13,'Brot 100% Roggen','',0,0,0),"
        "(14,'--mode Salat','',0,0,0),(15,'Frage?','',0,0,0)");
    struct
    {
        std::vector<std::string> words; // after "search"
        std::string hits;
    } cases[] = {
        {{"["}, "11\tPizza [scharf]\n"},
        {{"*?#%_["}, ""},
        {{"?"}, "15\tFrage?\n"},
        {{"%"}, "13\tBrot 100% Roggen\n"},
        {{"*"}, ""},
        // A word with "=" is a search word unless its key is a setting's name.
        {{"Ofen=180"}, "12\tBrot bei Ofen=180\n"},
        // After "--" a word that looks like an option is searched.
        {{"--", "--mode"}, "14\t--mode Salat\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words.back());
        EXPECT_EQ(RunOn(path, {"search"}, c.words), 0) << err.str();
        EXPECT_EQ(out.str(), c.hits);
        EXPECT_EQ(err.str().find("Musterzeichenfolge"), std::string::npos) << err.str();
    }
}

TEST_F(CliSearchTest, IngredientsByFoodOrTextAndUtensils)
{
    const std::string path = MakeDatabase();
    {
        auto db = Database::OpenSqlite(path);
        const long carrot = db->Scalar("SELECT ID FROM T_BLS_KEY WHERE SBLS='G301100'").AsLong();
        const long onion = db->Scalar("SELECT ID FROM T_BLS_KEY WHERE SBLS='G501100'").AsLong();
        ASSERT_EQ(db->Scalar("SELECT ST FROM T_BLS_KEY WHERE ID=?", {carrot}).AsText(), "Möhre");
        db->Execute("INSERT INTO T_REZ_ZUTAT (ID,[No],ZutText,ZutTrenner,ZutRezept,ZutBLSID) VALUES "
                    "(7,1,'Möhren',0,0,?),(7,2,'Zwiebel',0,0,?),(8,1,'Äpfel',0,0,0),(9,1,'Karotten',0,0,?),"
                    "(10,1,'Zwiebel',0,0,?)",
                    {carrot, onion, carrot, onion});
        db->Execute("INSERT INTO T_REZ_GERAET (RezID,GeraetID) VALUES (7,25),(8,25),(9,39)");
    }
    struct
    {
        std::vector<std::string> words; // after "search"
        int code;
        std::string out;
        std::string err;
    } cases[] = {
        {{"--food", "G301100"}, 0, "9\tKaesesuppe\n7\tKäsespätzle\n", ""},
        {{"--food", " möhre "}, 0, "9\tKaesesuppe\n7\tKäsespätzle\n", ""},
        {{"--food", "Möhre", "--food", "Zwiebel", "--all-ingredients"}, 0, "7\tKäsespätzle\n", ""},
        {{"--food", "Möhre", "--food", "Zwiebel"}, 0, "9\tKaesesuppe\n7\tKäsespätzle\n", ""},
        {{"--food", "Zwiebel", "--without-ingredients"}, 0, "8\tApfelkuchen\n9\tKaesesuppe\n", ""},
        {{"--ingredient", "äpfel"}, 0, "8\tApfelkuchen\n", ""},
        {{"--tool", "pfanne"}, 0, "8\tApfelkuchen\n7\tKäsespätzle\n", ""},
        {{"--tool", "25", "--food", "Möhre"}, 0, "7\tKäsespätzle\n", ""},
        {{"--tool", "Schneebesen", "käse"}, 0, "9\tKaesesuppe\n", ""},
        {{"--tool", "Pfanne", "--without-tools", "--tool", "39"},
         0,
         "",
         "keine Rezepte mit diesem Suchbegriff !\n"},
        {{"--food", "Quinoa-Wunder"}, 2, "", "Das Lebensmittel \"Quinoa-Wunder\" gibt es nicht.\n"},
        {{"--tool", "Raumschiff"}, 2, "", "Das Küchengerät \"Raumschiff\" gibt es nicht.\n"},
        {{"--mode", "3", "--food", "Möhre"},
         2,
         "",
         "Eine Liste mit --mode lässt sich nicht mit Zutaten oder Geräten verbinden.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words.front() + " " + c.words[1]);
        EXPECT_EQ(RunOn(path, {"search"}, c.words), c.code) << err.str();
        EXPECT_EQ(out.str(), c.out);
        EXPECT_EQ(err.str(), c.err);
    }
}

TEST_F(CliSearchTest, AListCutAtTheAskedLimitSaysSoAndSucceeds)
{
    const std::string path = MakeDatabase();
    ASSERT_EQ(Run({"--db", path, "search", "--max", "1", "käse"}), 0) << err.str();
    EXPECT_EQ(out.str(), "9\tKaesesuppe\ngezeigt: 1 von 2 Treffern (--max 1)\n");
}

TEST_F(CliSearchTest, ImportDateThatIsNoDateIsRefused)
{
    // A script must tell a date without recipes from a date it typed wrong.
    const std::string path = MakeDatabase();
    for (const char* text : {"gestern", "12/06/2026", "#13/45/2026 10:00:00#"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Run({"--db", path, "search", "--mode", "7", text}), 2);
        EXPECT_EQ(out.str(), "");
        EXPECT_NE(err.str().find("Importdatum"), std::string::npos) << err.str();
    }
    EXPECT_EQ(Run({"--db", path, "search", "--mode", "7", "12/06/2026 06:39:11"}), 0) << err.str();
    EXPECT_EQ(err.str(), "keine Rezepte mit diesem Suchbegriff !\n");
}

} // namespace
} // namespace pf
