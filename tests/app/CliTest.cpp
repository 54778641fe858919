#include "app/CliCommands.h"
#include "core/AppContext.h"
#include "db/Database.h"
#include "db/SchemaVersion.h"
#include "tests/app/CliFixture.h"
#include "tests/support/NewDatabase.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pf {
namespace {

using CliTest = test::CliFixture;

TEST_F(CliTest, VersionPrintsTheVersionText)
{
    EXPECT_EQ(Run({"--version"}), 0);
    EXPECT_EQ(out.str(), "v2.00.126\n");
}

TEST_F(CliTest, InfoReportsVersionAndCounts)
{
    const std::string path = dir.File("rezepte.mdb");
    {
        auto db = test::NewDatabase(path);
        db->CreateTable({"T_VERSION",
                         {{"Major", FieldType::Long}, {"Minor", FieldType::Long}, {"Build", FieldType::Long}},
                         {}});
        db->Execute("INSERT INTO T_VERSION (Major, Minor, Build) VALUES (1, 19, 110)");
        db->CreateTable({"T_BUCH", {{"ID", FieldType::Long}, {"BuchTitel", FieldType::Text, 50}}, {}});
        db->Execute("INSERT INTO T_BUCH (ID, BuchTitel) VALUES (0, \"Basiskochbuch\")");
        db->Execute("INSERT INTO T_BUCH (ID, BuchTitel) VALUES (1, \"Kuchen\")");
    }
    EXPECT_EQ(Run({"--db", path, "info", "ShowTips=0"}), 0) << err.str();
    EXPECT_NE(out.str().find("Schema-Version: 001.19.110\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("Kochbücher: 2\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("Rezepte: -\n"), std::string::npos) << out.str();
}

TEST_F(CliTest, InitCreatesADatabaseThatInfoReads)
{
    const std::string path = InitDatabase("neu/Pfannola.MDB");
    EXPECT_EQ(Run({"--db", path, "info"}), 0) << err.str();
    EXPECT_NE(out.str().find("Schema-Version: 002.00.126\n"), std::string::npos) << out.str();
    // A second init must not touch the existing file.
    EXPECT_NE(Run({"--db", path, "init"}), 0);
    EXPECT_NE(err.str().find("bereits vorhanden"), std::string::npos);
}

TEST_F(CliTest, FailuresGiveGermanMessagesAndNonZeroCodes)
{
    EXPECT_NE(Run({"--db", dir.File("fehlt.mdb"), "info"}), 0);
    EXPECT_NE(err.str().find("wurde nicht gefunden"), std::string::npos) << err.str();
    EXPECT_NE(Run({"info"}), 0);
    EXPECT_NE(Run({"kochen"}), 0);
    EXPECT_NE(err.str().find("Unbekannter Befehl"), std::string::npos);
    EXPECT_NE(Run({"--db"}), 0);
    // Only a setting's name makes KEY=value an override; any other word with "=" is an argument.
    EXPECT_EQ(Run({"Omas=Rezepte.mm"}), 2);
    EXPECT_NE(err.str().find("Unbekannter Befehl: Omas=Rezepte.mm"), std::string::npos) << err.str();
    EXPECT_EQ(Run({"--set", "ohneWert", "info"}), 2);
    EXPECT_NE(err.str().find("SCHLÜSSEL=Wert"), std::string::npos) << err.str();
}

// Every command reads its words the same way, and refuses what it cannot use before it touches
// the database file (which does not exist here: init would create it).
TEST_F(CliTest, CommandsRefuseWordsTheyCannotUseBeforeOpeningTheDatabase)
{
    const std::string path = dir.File("fehlt.mdb");
    for (const CliCommand& command : CliCommands()) {
        SCOPED_TRACE(command.Name);
        EXPECT_EQ(Run({"--db", path, command.Name, "--kochen"}), 2);
        EXPECT_EQ(err.str(), "Unbekanntes Argument: --kochen\n");
    }
    const struct
    {
        std::vector<std::string> Words;
        const char* Err; // the start of the message
    } cases[] = {
        {{"info", "Kuchen"}, "Unbekanntes Argument: Kuchen"},
        {{"init", "Kuchen"}, "Unbekanntes Argument: Kuchen"},
        {{"upgrade", "Kuchen"}, "Unbekanntes Argument: Kuchen"},
        {{"backup"}, "Aufruf: --db DATEI backup ORDNER"},
        {{"restore", "a.zip", "b.zip"}, "Unbekanntes Argument: b.zip"},
        {{"copy", "a.mdb"}, "Aufruf: pfannola-cli copy VON NACH"},
        {{"copy", "a.mdb", "b.mdb", "c.mdb"}, "Unbekanntes Argument: c.mdb"},
        {{"show"}, "Aufruf: pfannola-cli --db DATEI show ID"},
        {{"show", "x"}, "Unbekanntes Argument: x"},
        {{"nutrients", "5", "6"}, "Unbekanntes Argument: 6"},
        {{"show", "7", "--servings", "0"}, "Nach --servings muss eine ganze Zahl von 1 bis 2147483647"},
        // Beyond a recipe's 32-bit yield: refused with the range instead of wrapping round.
        {{"show", "7", "--servings", "2147483648"}, "Nach --servings muss eine ganze Zahl von 1 bis"},
        {{"nutrients", "5", "--servings"}, "Nach --servings muss"},
        {{"match", "7"}, "Unbekanntes Argument: 7"},
        {{"match", "--ids", "5,x"}, "Nach --ids muss eine Liste"},
        {{"match", "--ids", "5,"}, "Nach --ids muss eine Liste"},
        {{"export", "rezepte.mm"}, "Unbekanntes Argument: rezepte.mm"},
        {{"export", "--out", "x.mm", "--format"}, "Aufruf: pfannola-cli --db DATEI export"},
        {{"export", "--format", "mm"}, "Aufruf: pfannola-cli --db DATEI export"},
        {{"import"}, "Aufruf: pfannola-cli --db DATEI import"},
        {{"import", "--cookbook", "x", "a.mm"}, "Nach --cookbook muss"},
        {{"import", "--duplicates", "ask", "a.mm"}, "Nach --duplicates muss skip, replace oder move"},
        {{"search"}, "Aufruf: pfannola-cli --db DATEI search"},
        {{"search", "--mode", "12", "x"}, "Nach --mode muss"},
        {{"search", "--max", "0", "x"}, "Nach --max muss"},
        {{"lexicon", "--area", "7", "x"}, "Nach --area muss"},
        {{"lexicon"}, "Aufruf: pfannola-cli --db DATEI lexicon"},
        {{"weekplan"}, "Aufruf: pfannola-cli --db DATEI weekplan"},
        {{"weekplan", "plan"}, "Unbekanntes Argument: plan"},
        {{"weekplan", "new"}, "Aufruf: pfannola-cli --db DATEI weekplan"},
        {{"weekplan", "new", "--start", "29.02.2026"}, "Nach --start muss ein Datum"},
        {{"weekplan", "new", "--start", "2026-12-07", "--days", "32"},
         "Nach --days muss eine Zahl von 1 bis 31"},
        {{"weekplan", "approve", "3", "4"}, "Unbekanntes Argument: 4"},
        {{"weekplan", "csv", "3"}, "Aufruf: pfannola-cli --db DATEI weekplan"},
        // After "--" a word is an argument even when it looks like an option: the command goes on.
        {{"lexicon", "--", "--kochen"}, "Die Datenbank"},
        {{"import", "--", "--trash"}, "Die Datei"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Words));
        EXPECT_NE(RunOn(path, c.Words), 0);
        EXPECT_EQ(err.str().rfind(c.Err, 0), 0u) << err.str();
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(CliTest, HelpListsOnlyWhatWorks)
{
    ASSERT_EQ(Run({"--help"}), 0);
    // The export line names only the formats that work (the weekly plan's own CSV is another command).
    const std::string help = out.str();
    const std::size_t exportLine = help.find("export");
    ASSERT_NE(exportLine, std::string::npos);
    const std::string line = help.substr(exportLine, help.find('\n', exportLine) - exportLine);
    EXPECT_EQ(line.find("mnx"), std::string::npos) << line;
    EXPECT_NE(out.str().find("mm|rezkonv|mensax|html|rtf|csv|xml|structure|db|dbzip"), std::string::npos)
        << out.str();
}

} // namespace
} // namespace pf
