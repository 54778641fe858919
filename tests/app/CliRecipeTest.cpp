// The commands that read recipes, menus and plans: one recipe as text, the search, the nutrients,
// the shopping list; the menu commands (the list, one menu as text, the export, and the words each
// refuses; the printout's PDF files are checked with the windows' PDF output) and the "weekplan"
// command: a plan filled by the repeat rules, its approval, and its CSV file byte for byte.

#include "db/Database.h"
#include "tests/app/CliFixture.h"
#include "tests/planning/WeekPlanDb.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>

namespace pf {
namespace {

using test::HasSubstr;
using test::Not;
using test::StartsWith;
using ::testing::AllOf;

class CliShowTest : public test::CliFixture
{
protected:
    // A database from the base data with one recipe: 250 g flour, a separator, 1 1/2 pinches.
    std::string MakeRecipeDatabase()
    {
        const std::string file = InitDatabase();
        auto db = Database::OpenSqlite(file);
        db->Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,RezYield,RezYieldEinh,RezZeitKochen,RezHerkunft) "
                    "VALUES (7,'Pfannkuchen',4,1,?,1001)",
                    {DateSerial{0.75 / 24}});
        db->Execute("INSERT INTO T_REZ_CAT_NDX (ID,CatID,CatPrimary) VALUES (7,102,-1)");
        db->Execute(
            "INSERT INTO T_REZ_ZUTAT (ID,No,ZutTrenner,ZutText,ZutAnz,ZutEinh,ZutVerarbeitung) VALUES "
            "(7,1,0,'Mehl',250,31,'gesiebt'), (7,2,-1,'Für die Pfanne',0,0,''), (7,3,0,'Salz',1.5,2,'')");
        db->Execute("INSERT INTO T_REZ_ANWEIS (ID,NO,AnwText) VALUES (7,1,'Alles verrühren und ausbacken.')");
        return file;
    }

    const std::string path = MakeRecipeDatabase();
};

TEST_F(CliShowTest, PrintsTheRecipeAsTheEditorShowsItScaledOnlyInTheOutputFromARelativeName)
{
    // Fraction display (EditFlags without the decimal bit).
    const std::string text = Out({"--db", path, "show", "7", "EditFlags=8"});
    EXPECT_THAT(text, StartsWith("Pfannkuchen\n===========\n\n"));
    for (const char* expected :
         {"Menge: 4 Portionen\n", "Kategorien: Vorspeise\n", "Herkunft: Deutschland\n", "Kochzeit: 0:45\n",
          "\nZutaten:\n    250 g   Mehl; gesiebt\n", "\n  Für die Pfanne:\n", "  1 1/2 Pr. Salz\n",
          "\nZubereitung:\nAlles verrühren und ausbacken.\n"})
        EXPECT_THAT(text, HasSubstr(expected));

    // Servings scale the output only.
    const std::string six = Out({"--db", path, "show", "7", "--servings", "6", "EditFlags=12"});
    EXPECT_THAT(six, HasSubstr("Menge: 6 Portionen\n"));
    EXPECT_THAT(six, HasSubstr("375 g "));
    // A pinch is not rounded: 1.5 × 1.5 = 2.25, shown in decimal mode.
    EXPECT_THAT(six, HasSubstr("2,25 Pr. "));
    EXPECT_THAT(Out({"--db", path, "show", "7"}), HasSubstr("Menge: 4 Portionen\n"));

    // The largest servings never give negative amounts.
    const std::string most = Out({"--db", path, "show", "7", "--servings", "2147483647", "EditFlags=12"});
    EXPECT_THAT(most, HasSubstr("Menge: 2147483647 Portionen\n"));
    for (std::size_t at = most.find('-'); at != std::string::npos; at = most.find('-', at + 1))
        EXPECT_FALSE(at + 1 < most.size() && std::isdigit(static_cast<unsigned char>(most[at + 1]))) << most;

    // A missing recipe is a failure.
    EXPECT_EQ(Run({"--db", path, "show", "99"}), 1);
    EXPECT_THAT(err.str(), HasSubstr("gibt es nicht"));

    // Relative file names mean the folder the command was typed in.
    std::filesystem::create_directories(dir.File("arbeit"));
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(dir.File("arbeit"));
    const int code = Run({"--db", "../rezepte.MDB", "show", "7"});
    const auto after = std::filesystem::current_path();
    std::filesystem::current_path(before);
    EXPECT_EQ(code, 0) << err.str();
    EXPECT_EQ(after, std::filesystem::path(dir.File("arbeit")));
}

class CliSearchTest : public test::CliFixture
{
protected:
    std::string MakeDatabase()
    {
        return InitDatabase(
            "rezepte.MDB",
            {"INSERT INTO T_REZ_KOPF (ID,RezTitle,RezMenuCard,Template,FlagDeleted,Generic) VALUES "
             "(7,'Käsespätzle','',0,0,-1),(8,'Apfelkuchen','',0,0,0),(9,'Kaesesuppe','',0,0,0),"
             "(10,'Käsetoast','',0,-1,0)"});
    }

    const std::string path = MakeDatabase();
};

TEST_F(CliSearchTest, PrintsIdAndTitleInTitleOrderSearchesTheTextLiterallyAndRefusesNoDates)
{
    EXPECT_EQ(Out({"--db", path, "search", "käse"}), "9\tKaesesuppe\n7\tKäsespätzle\n");
    EXPECT_EQ(Out({"--db", path, "search", "--mode", "8", "7-8"}), "8\tApfelkuchen\n7\tKäsespätzle\n");
    EXPECT_EQ(Out({"--db", path, "search", "--mode", "3"}), "7\tKäsespätzle\n");
    EXPECT_EQ(Out({"--db", path, "search", "torte"}), "");
    EXPECT_EQ(err.str(), "keine Rezepte mit diesem Suchbegriff !\n");
    // A list cut at the asked limit says so and succeeds.
    EXPECT_EQ(Out({"--db", path, "search", "--max", "1", "käse"}),
              "9\tKaesesuppe\ngezeigt: 1 von 2 Treffern (--max 1)\n");
    // A script must tell a date without recipes from a date it typed wrong.
    for (const char* text : {"gestern", "12/06/2026", "#13/45/2026 10:00:00#"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Run({"--db", path, "search", "--mode", "7", text}), 2);
        EXPECT_EQ(out.str(), "");
        EXPECT_THAT(err.str(), HasSubstr("Importdatum"));
    }
    EXPECT_EQ(Run({"--db", path, "search", "--mode", "7", "12/06/2026 06:39:11"}), 0) << err.str();
    EXPECT_EQ(err.str(), "keine Rezepte mit diesem Suchbegriff !\n");

    // The user's text is searched literally.
    Database::OpenSqlite(path)->Execute(
        "INSERT INTO T_REZ_KOPF (ID,RezTitle,RezMenuCard,Template,FlagDeleted,Generic) VALUES "
        "(11,'Pizza [scharf]','',0,0,0),(12,'Brot bei Ofen=180','',0,0,0),(13,'Brot 100% Roggen','',0,0,0),"
        "(14,'--mode Salat','',0,0,0),(15,'Frage?','',0,0,0)");
    // The words after "search", the hits.
    const std::pair<std::vector<std::string>, std::string> cases[] = {
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
    for (const auto& [words, hits] : cases) {
        SCOPED_TRACE(words.back());
        EXPECT_EQ(RunOn(path, {"search"}, words), 0) << err.str();
        EXPECT_EQ(out.str(), hits);
        EXPECT_THAT(err.str(), Not(HasSubstr("Musterzeichenfolge")));
    }
}

TEST_F(CliSearchTest, IngredientsByFoodOrTextAndUtensils)
{
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
    const std::string none = "keine Rezepte mit diesem Suchbegriff !\n";
    const std::string soupAndSpaetzle = "9\tKaesesuppe\n7\tKäsespätzle\n";
    // The words after "search", the exit code, standard output and standard error.
    const std::tuple<std::vector<std::string>, int, std::string, std::string> cases[] = {
        {{"--food", "G301100"}, 0, soupAndSpaetzle, ""},
        {{"--food", " möhre "}, 0, soupAndSpaetzle, ""},
        {{"--food", "Möhre", "--food", "Zwiebel", "--all-ingredients"}, 0, "7\tKäsespätzle\n", ""},
        {{"--food", "Möhre", "--food", "Zwiebel"}, 0, soupAndSpaetzle, ""},
        {{"--food", "Zwiebel", "--without-ingredients"}, 0, "8\tApfelkuchen\n9\tKaesesuppe\n", ""},
        {{"--ingredient", "äpfel"}, 0, "8\tApfelkuchen\n", ""},
        {{"--tool", "pfanne"}, 0, "8\tApfelkuchen\n7\tKäsespätzle\n", ""},
        {{"--tool", "25", "--food", "Möhre"}, 0, "7\tKäsespätzle\n", ""},
        {{"--tool", "Schneebesen", "käse"}, 0, "9\tKaesesuppe\n", ""},
        {{"--tool", "Pfanne", "--without-tools", "--tool", "39"}, 0, "", none},
        {{"--food", "Quinoa-Wunder"}, 2, "", "Das Lebensmittel \"Quinoa-Wunder\" gibt es nicht.\n"},
        {{"--tool", "Raumschiff"}, 2, "", "Das Küchengerät \"Raumschiff\" gibt es nicht.\n"},
        {{"--mode", "3", "--food", "Möhre"},
         2,
         "",
         "Eine Liste mit --mode lässt sich nicht mit Zutaten oder Geräten verbinden.\n"},
    };
    for (const auto& [words, code, printed, error] : cases) {
        SCOPED_TRACE(words.front() + " " + words[1]);
        EXPECT_EQ(RunOn(path, {"search"}, words), code) << err.str();
        EXPECT_EQ(out.str(), printed);
        EXPECT_EQ(err.str(), error);
    }
}

class CliNutritionTest : public test::CliFixture
{
protected:
    // A database from the base data with two foods and a recipe for two: 2 eggs, 100 g flour,
    // a line without food and a tin of something.
    std::string MakeDatabase()
    {
        return InitDatabase(
            "rezepte.MDB",
            {"INSERT INTO T_BLS_KEY "
             "(ID,SBLS,ST,STE,ProduktHauptFlag,ProduktStandardEinheit,ProduktStandardMenge) "
             "VALUES (9001,'E900000','Probe-Ei','Test egg',-1,1,60),(9002,'C900000','Probemehl','Test "
             "flour',-1,0,0)",
             "INSERT INTO T_BLS_DAT (SBLS,GP,GCAL,ZE) VALUES "
             "('E900000',60,150,12500),('C900000',0,350,10000)",
             "INSERT INTO T_INFO_KEY (ID,[KEY],KEYTYPE) VALUES (9002,'Testmehl',3)",
             "INSERT INTO T_REZ_KOPF (ID,RezTitle,RezYield) VALUES (5,'Probe',2)",
             "INSERT INTO T_REZ_ZUTAT (ID,No,ZutTrenner,ZutText,ZutAnz,ZutEinh,ZutRezept,ZutBLSID) VALUES "
             "(5,1,0,'Probe-Eier',2,1,0,NULL),(5,2,0,'Testmehl',100,31,0,NULL),"
             "(5,3,0,'Mondstaub',1,31,0,NULL),(5,4,-1,'Deko',0,0,0,NULL)"});
    }

    const std::string path = MakeDatabase();
};

TEST_F(CliNutritionTest, MatchOrImportWithMatchingThenPrintTheTablePerServingOrSayWhyNot)
{
    // Nothing matched yet: nothing to show.
    EXPECT_EQ(Run({"--db", path, "nutrients", "5"}), 1);
    EXPECT_THAT(err.str(), HasSubstr("Es gibt keine Nährwertinformationen zum Anzeigen."));
    EXPECT_EQ(Out({"--db", path, "match"}), "zugeordnet: 2, offen: 1\n");
    // What is matched stays, nothing twice.
    EXPECT_EQ(Out({"--db", path, "match", "--ids", "5"}), "zugeordnet: 0, offen: 1\n");

    // Per serving of two: (120 g egg * 1.5 + 100 g flour * 3.5) / 2 kcal.
    EXPECT_EQ(Out({"--db", path, "nutrients", "5"}),
              "Nährwerte pro Portion (2 Portionen), Portionsgewicht ca. 110 Gramm\n"
              "Energie (Kilokalorien)\t265,000\tkcal\n"
              "Eiweiß (Protein)\t12.500,000\tmg\n"
              "\nNicht berechnet:\n"
              "1 Gramm Mondstaub\tohne Nahrungsmittel\n");
    EXPECT_THAT(Out({"--db", path, "nutrients", "5", "--servings", "1"}),
                HasSubstr("Energie (Kilokalorien)\t530,000\tkcal\n"));
    EXPECT_EQ(Run({"--db", path, "nutrients", "77"}), 1);
    EXPECT_THAT(err.str(), HasSubstr("Ein Rezept mit der Nummer 77 gibt es nicht."));

    // An import with food matching gives a table at once.
    const std::string file = dir.File("probe.mm");
    test::WriteFile(file, "MMMMM----- Recipe via Meal-Master (tm) v8.05\r\n\r\n      Title: Eierkuchen\r\n"
                          " Categories: Test\r\n      Yield: 1 serving\r\n\r\n      2 ea Probe-Eier\r\n"
                          "    100 g  Testmehl\r\n\r\n  Backen.\r\n\r\nMMMMM\r\n");
    Out({"--db", path, "import", "--bls", file});
    const long id =
        Database::OpenSqlite(path)->Scalar("SELECT ID FROM T_REZ_KOPF WHERE RezTitle='Eierkuchen'").AsLong();
    // 120 g egg * 1.5 + 100 g flour * 3.5 kcal, one serving.
    EXPECT_THAT(Out({"--db", path, "nutrients", std::to_string(id)}),
                HasSubstr("Energie (Kilokalorien)\t530,000\tkcal\n"));
    // Without --bls the lines keep no food.
    Out({"--db", path, "import", "--duplicates", "move", file});
    EXPECT_EQ(Database::OpenSqlite(path)
                  ->Scalar("SELECT COUNT(*) FROM T_REZ_ZUTAT WHERE ZutBLSID<>0 AND ID<>5")
                  .AsLong(),
              2);

    // Without nutrient descriptors nothing is matched.
    Database::OpenSqlite(path)->Execute("DELETE FROM T_BLS_FDESC");
    EXPECT_EQ(Run({"--db", path, "match"}), 1);
    EXPECT_THAT(err.str(), HasSubstr("keine Nährwert-Beschreibungen"));
}

class CliShoppingTest : public test::CliFixture
{
protected:
    // Pancakes for 4 and a bread, both with flour; a shop that has bread and cereals (C) before
    // dairy (M).
    std::string MakeDatabase()
    {
        return InitDatabase(
            "rezepte.MDB",
            {"INSERT INTO T_BLS_KEY (ID,SBLS,ST) VALUES (900001,'C999990','Mehl'),(900002,'M999990','Milch')",
             "INSERT INTO T_REZ_KOPF (ID,RezTitle,RezYield,RezYieldEinh) VALUES (7,'Pfannkuchen',4,1),"
             "(8,'Brot',1,1)",
             "INSERT INTO T_REZ_ZUTAT (ID,No,ZutTrenner,ZutText,ZutAnz,ZutEinh,ZutBLSID) VALUES "
             "(7,1,0,'Milch',500,25,'900002'), (7,2,0,'Mehl',250,31,'900001'), (7,3,0,'Salz',0,0,''), "
             "(8,1,0,'Mehl',1,32,'900001')",
             "INSERT INTO T_ADRESSE (ID,Name,AdrType,StoreLocations) VALUES (5,'Markt',2,'CM')"});
    }

    const std::string path = MakeDatabase();
};

TEST_F(CliShoppingTest, PrintsTheScaledMergedListInTheAskedOrderAndRefusesWhatItCannotUse)
{
    const std::string text = Out({"--db", path, "shopping", "--ids", "7,8", "--servings", "8", "--sort",
                                  "shop", "--shop", "5", "EditFlags=12"});
    const std::size_t flour = text.find("8,5 kg     Mehl");
    EXPECT_NE(flour, std::string::npos) << text;
    EXPECT_LT(flour, text.find("1000 ml     Milch")) << text;
    EXPECT_THAT(text, AllOf(HasSubstr("[Pfannkuchen, Brot]"), Not(HasSubstr("Salz"))));
    EXPECT_THAT(Out({"--db", path, "shopping", "--ids", "8", "--exchange"}),
                HasSubstr("R,8,\"Brot\",1,\"Portionen\"\n"));

    // The words after "--db DATEI", the exit code, a part of the message.
    const std::tuple<std::vector<std::string>, int, const char*> cases[] = {
        {{"shopping"}, 2, "Aufruf: pfannola-cli --db DATEI shopping --ids"},
        {{"shopping", "--ids", "7", "--sort", "preis"}, 2, "Nach --sort muss"},
        {{"shopping", "--ids", "7", "--sort", "shop"}, 2, "fehlt --shop ID"},
        {{"shopping", "--ids", "7", "--shop", "99"}, 1, "Ein Geschäft mit der Nummer 99 gibt es nicht."},
        {{"shopping", "--ids", "7,99"}, 1, "Ein Rezept mit der Nummer 99 gibt es nicht."},
    };
    for (const auto& [words, code, message] : cases) {
        SCOPED_TRACE(words.back());
        EXPECT_EQ(RunOn(path, words), code);
        EXPECT_THAT(err.str(), HasSubstr(message));
    }
}

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

TEST_F(CliMenuTest, ListShowExportAndWordsTheCommandCannotUse)
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

    // Words the command cannot use, on a database that does not exist.
    const std::string missing = dir.File("fehlt.mdb");
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
        EXPECT_EQ(RunOn(missing, words), 2);
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
