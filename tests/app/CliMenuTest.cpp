// The menu commands: the list, one menu as text, the export, and the words each refuses (the
// printout's PDF files are checked with the windows' PDF output).

#include "db/Database.h"
#include "tests/app/CliFixture.h"

#include <gtest/gtest.h>

namespace pf {
namespace {

class CliMenuTest : public test::CliFixture
{
protected:
    std::string MakeMenuDatabase()
    {
        const std::string path = InitDatabase();
        auto db = Database::OpenSqlite(path);
        db->Execute(
            "INSERT INTO T_REZ_KOPF (ID,RezTitle,RezYield,RezYieldEinh,Fingerprint1,Fingerprint2) VALUES "
            "(7,'Pfannkuchen',4,1,70,71)");
        db->Execute(
            "INSERT INTO T_MENU_KOPF (MenuID,MenuTitle,MenuDatum,MenuYield,MenuTree,MenuZeitKochen) "
            "VALUES (3,'Erntedank',?,6,0,?),(4,'Ohne Datum',0,0,0,0),(5,'Plan',?,0,-3,0)",
            {DateSerial::FromParts(2026, 10, 4), DateSerial{0.75 / 24}, DateSerial::FromParts(2026, 3, 2)});
        db->Execute(
            "INSERT INTO T_MENU_GANG (MenuID,GangNr,RezID,Yield,TitelAlternativ,DrinkDesc,WeinID) VALUES "
            "(3,1,7,0,'','Apfelschorle',0),(3,2,0,0,'Obstsalat','',0)");
        db->Execute("INSERT INTO T_ADRESSE (ID,Name) VALUES (5,'Müller, Erna')");
        db->Execute("INSERT INTO T_MENU_GAST (MenuID,No,AdressID,Notiz) VALUES (3,1,5,'vegetarisch')");
        return path;
    }
};

TEST_F(CliMenuTest, ListShowAndExport)
{
    const std::string path = MakeMenuDatabase();
    ASSERT_EQ(Run({"--db", path, "menu", "list"}), 0) << err.str();
    EXPECT_EQ(out.str(), "3\tErntedank - 04.10.2026\n4\tOhne Datum\n");

    ASSERT_EQ(Run({"--db", path, "menu", "show", "3"}), 0) << err.str();
    EXPECT_EQ(out.str(), "Erntedank\n=========\nDatum: 04.10.2026\nPersonen: 6\nKochzeit: 0:45\n\nGänge:\n"
                         "1. Pfannkuchen (Rezept 7), 4 Portionen\n   Getränk: Apfelschorle\n2. Obstsalat\n\n"
                         "Gäste:\n- Erna Müller (vegetarisch)\n");

    EXPECT_EQ(Run({"--db", path, "menu", "show", "9"}), 1);
    EXPECT_EQ(err.str(), "Ein Menü mit der Nummer 9 gibt es nicht.\n");
    // Without --out the export goes to stdout, with it to the file.
    ASSERT_EQ(Run({"--db", path, "menu", "export", "3", "--format", "mensax"}), 0) << err.str();
    const std::string text = out.str();
    EXPECT_NE(text.find("<menu title=\"Erntedank\""), std::string::npos) << text;
    const std::string file = dir.File("menu.mnx");
    ASSERT_EQ(Run({"--db", path, "menu", "export", "3", "--format", "mensax", "--out", file}), 0)
        << err.str();
    EXPECT_EQ(out.str(), "exportiert: 1 Rezepte, 1 Menü\n");
    EXPECT_EQ(test::ReadFile(file), text);
}

TEST_F(CliMenuTest, WordsTheCommandCannotUse)
{
    const std::string path = dir.File("fehlt.mdb");
    const struct
    {
        std::vector<std::string> Words;
        const char* Err;
    } cases[] = {
        {{"menu"}, "Aufruf: pfannola-cli --db DATEI menu"},
        {{"menu", "kochen"}, "Unbekanntes Argument: kochen"},
        {{"menu", "list", "3"}, "Aufruf: pfannola-cli --db DATEI menu"},
        {{"menu", "show"}, "Aufruf: pfannola-cli --db DATEI menu"},
        {{"menu", "show", "x"}, "Aufruf: pfannola-cli --db DATEI menu"},
        {{"menu", "show", "3", "4"}, "Unbekanntes Argument: 4"},
        {{"menu", "show", "3", "--format", "mensax"}, "Aufruf: pfannola-cli --db DATEI menu"},
        {{"menu", "export", "3"}, "Aufruf: pfannola-cli --db DATEI menu"},
        {{"menu", "export", "3", "--format"}, "Nach --format muss"},
        {{"menu", "export", "3", "--format", "mm"}, "Menüs lassen sich nur im Format mensax exportieren"},
        {{"menu", "print", "3"}, "Aufruf: pfannola-cli --db DATEI menu"},
        {{"menu", "print", "3", "--layout", "3", "--out", "m.pdf"}, "Nach --layout muss 0 (Menükarte)"},
        {{"menu", "show", "3", "--layout", "1"}, "Aufruf: pfannola-cli --db DATEI menu"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Words));
        EXPECT_EQ(RunOn(path, c.Words), 2);
        EXPECT_EQ(err.str().rfind(c.Err, 0), 0u) << err.str();
    }
}

} // namespace
} // namespace pf
