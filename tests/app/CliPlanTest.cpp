// The menu commands (the list, one menu as text, the export, and the words each refuses; the
// printout's PDF files are checked with the windows' PDF output) and the "weekplan" command: a
// plan filled by the repeat rules, its approval, and its CSV file byte for byte.

#include "db/Database.h"
#include "tests/app/CliFixture.h"
#include "tests/planning/WeekPlanDb.h"

#include <gtest/gtest.h>

namespace pf {
namespace {

using test::HasSubstr;
using test::StartsWith;

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
    EXPECT_EQ(Out({"--db", path, "menu", "list"}), "3\tErntedank - 04.10.2026\n4\tOhne Datum\n");
    EXPECT_EQ(Out({"--db", path, "menu", "show", "3"}),
              "Erntedank\n=========\nDatum: 04.10.2026\nPersonen: 6\nKochzeit: 0:45\n\nGänge:\n"
              "1. Pfannkuchen (Rezept 7), 4 Portionen\n   Getränk: Apfelschorle\n2. Obstsalat\n\n"
              "Gäste:\n- Erna Müller (vegetarisch)\n");

    EXPECT_EQ(Run({"--db", path, "menu", "show", "9"}), 1);
    EXPECT_EQ(err.str(), "Ein Menü mit der Nummer 9 gibt es nicht.\n");
    // Without --out the export goes to stdout, with it to the file.
    const std::string text = Out({"--db", path, "menu", "export", "3", "--format", "mensax"});
    EXPECT_THAT(text, HasSubstr("<menu title=\"Erntedank\""));
    const std::string file = dir.File("menu.mnx");
    EXPECT_EQ(Out({"--db", path, "menu", "export", "3", "--format", "mensax", "--out", file}),
              "exportiert: 1 Rezepte, 1 Menü\n");
    EXPECT_EQ(test::ReadFile(file), text);
}

TEST_F(CliMenuTest, WordsTheCommandCannotUse)
{
    const std::string path = dir.File("fehlt.mdb");
    const std::string usage = "Aufruf: pfannola-cli --db DATEI menu";
    // The words after "--db DATEI", the start of the message.
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"menu"}, usage},
        {{"menu", "kochen"}, "Unbekanntes Argument: kochen"},
        {{"menu", "list", "3"}, usage},
        {{"menu", "show"}, usage},
        {{"menu", "show", "x"}, usage},
        {{"menu", "show", "3", "4"}, "Unbekanntes Argument: 4"},
        {{"menu", "show", "3", "--format", "mensax"}, usage},
        {{"menu", "export", "3"}, usage},
        {{"menu", "export", "3", "--format"}, "Nach --format muss"},
        {{"menu", "export", "3", "--format", "mm"}, "Menüs lassen sich nur im Format mensax exportieren"},
        {{"menu", "print", "3"}, usage},
        {{"menu", "print", "3", "--layout", "3", "--out", "m.pdf"}, "Nach --layout muss 0 (Menükarte)"},
        {{"menu", "show", "3", "--layout", "1"}, usage},
    };
    for (const auto& [words, message] : cases) {
        SCOPED_TRACE(testing::PrintToString(words));
        EXPECT_EQ(RunOn(path, words), 2);
        EXPECT_THAT(err.str(), StartsWith(message));
    }
}

class CliWeekplanTest : public test::CliFixture
{
protected:
    // A new database links its default levels to categories of the base data: soups ("Suppe",
    // served again after two weeks) for "Tagessuppe", stews ("Eintöpfe") for the weekly dish.
    std::string MakeDatabase()
    {
        const std::string path = InitDatabase("plan.MDB");
        auto db = Database::OpenSqlite(path);
        const long soups = 105;
        const long stews = 503;
        test::AddPlanRecipe(*db, 90001, "Kürbissuppe", soups);
        test::AddPlanRecipe(*db, 90002, "Erbsensuppe", soups);
        test::AddPlanRecipe(*db, 90003, "Linsen; mit Spätzle", stews);
        return path;
    }
};

TEST_F(CliWeekplanTest, NewApproveAndCsv)
{
    const std::string path = MakeDatabase();
    const std::string text = Out({"--db", path, "weekplan", "new", "--start", "07.12.2026", "--days", "2"});
    EXPECT_THAT(text, StartsWith("Wochenplan vom 07.12.2026 bis 08.12.2026 (KW 50) #1\n"
                                 "Wochenplan ist noch nicht genehmigt!\n"));
    // Each day lists the levels in their serving order, not by name.
    EXPECT_THAT(text, HasSubstr("Montag, 07.12.2026\n  Tagessuppe: Erbsensuppe\n  Tagesteller 1: -\n"
                                "  Tagesteller 2: -\n  Vegetarisch: -\n  Wochenteller: Linsen; mit Spätzle\n"
                                "  Tagesdessert: -\n"));
    EXPECT_THAT(text, HasSubstr("Dienstag, 08.12.2026\n  Tagessuppe: Kürbissuppe\n"));
    EXPECT_THAT(err.str(), HasSubstr("8 von 12 Plätzen blieben leer"));

    // A second plan on the same day is refused.
    EXPECT_EQ(Run({"--db", path, "weekplan", "new", "--start", "2026-12-07"}), 1);
    EXPECT_EQ(err.str(), "Am 07.12.2026 beginnt bereits ein Wochenplan (Nummer 1).\n");

    EXPECT_THAT(Out({"--db", path, "weekplan", "approve", "1"}), StartsWith("Der Wochenplan wurde am "));
    EXPECT_EQ(Run({"--db", path, "weekplan", "approve", "2"}), 1);
    EXPECT_EQ(err.str(), "Es gibt keinen Wochenplan mit der Nummer 2.\n");

    const std::string csv = dir.File("plan.csv");
    Out({"--db", path, "weekplan", "csv", "1", "--out", csv});
    EXPECT_EQ(test::ReadFile(csv), "\xEF\xBB\xBF"
                                   "Datum;Teller;Gericht;Beschreibung;Preis;Typ;Index\r\n"
                                   "07.12.2026;Tagessuppe;Erbsensuppe;;0,00;Rezept;90002\r\n"
                                   "07.12.2026;Wochenteller;\"Linsen; mit Spätzle\";;0,00;Rezept;90003\r\n"
                                   "08.12.2026;Tagessuppe;Kürbissuppe;;0,00;Rezept;90001\r\n"
                                   "08.12.2026;Wochenteller;\"Linsen; mit Spätzle\";;0,00;Rezept;90003\r\n");
}

} // namespace
} // namespace pf
