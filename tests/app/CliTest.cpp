// The general commands (version, info, init, help), the words every command refuses, the upgrade
// of an older database, backup and restore, and the "lexicon" command on a database made by "init"
// (which carries the shipped lexicon) with the upgrade that fills the lexicon of a database that has
// none.

#include "app/CliCommands.h"
#include "core/AppContext.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "db/SchemaVersion.h"
#include "db/UpgradeSteps.h"
#include "tests/app/CliFixture.h"
#include "tests/support/NewDatabase.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <sstream>

namespace pf {
namespace {

namespace fs = std::filesystem;
using CliTest = test::CliFixture;
using test::HasSubstr;
using test::Not;
using test::StartsWith;
using ::testing::AllOf;

TEST_F(CliTest, VersionHelpAndInfoOfAnOldAndAnInitialisedDatabase)
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
    EXPECT_THAT(Out({"--db", path, "info", "ShowTips=0"}),
                AllOf(HasSubstr("Schema-Version: 001.19.110\n"), HasSubstr("Kochbücher: 2\n"),
                      HasSubstr("Rezepte: -\n")));

    // A database made by init.
    const std::string made = InitDatabase("neu/Pfannola.MDB");
    EXPECT_THAT(Out({"--db", made, "info"}), HasSubstr("Schema-Version: 002.00.126\n"));
    // A second init must not touch the existing file.
    EXPECT_NE(Run({"--db", made, "init"}), 0);
    EXPECT_THAT(err.str(), HasSubstr("bereits vorhanden"));

    EXPECT_EQ(Out({"--version"}), "v2.00.126\n");
    const std::string help = Out({"--help"});
    // The export line names only the formats that work (the weekly plan's own CSV is another command).
    const std::size_t exportLine = help.find("export");
    ASSERT_NE(exportLine, std::string::npos);
    EXPECT_THAT(help.substr(exportLine, help.find('\n', exportLine) - exportLine), Not(HasSubstr("mnx")));
    EXPECT_THAT(help, HasSubstr("mm|rezkonv|mensax|html|rtf|csv|xml|structure|db|dbzip"));
}

TEST_F(CliTest, FailuresGiveGermanMessagesAndCommandsRefuseWordsBeforeOpeningTheDatabase)
{
    // Failures give German messages and non-zero codes.
    const std::string path = dir.File("fehlt.mdb");
    for (const char* command : {"info", "upgrade"}) {
        EXPECT_NE(Run({"--db", path, command}), 0);
        EXPECT_THAT(err.str(), HasSubstr("wurde nicht gefunden"));
    }
    EXPECT_NE(Run({"info"}), 0);
    EXPECT_EQ(Run({"upgrade"}), 2);
    EXPECT_THAT(err.str(), HasSubstr("--db DATEI"));
    EXPECT_NE(Run({"kochen"}), 0);
    EXPECT_THAT(err.str(), HasSubstr("Unbekannter Befehl"));
    EXPECT_NE(Run({"--db"}), 0);
    // Only a setting's name makes KEY=value an override; any other word with "=" is an argument.
    EXPECT_EQ(Run({"Omas=Rezepte.mm"}), 2);
    EXPECT_THAT(err.str(), HasSubstr("Unbekannter Befehl: Omas=Rezepte.mm"));
    EXPECT_EQ(Run({"--set", "ohneWert", "info"}), 2);
    EXPECT_THAT(err.str(), HasSubstr("SCHLÜSSEL=Wert"));

    // Every command reads its words the same way, and refuses what it cannot use before it touches
    // the database file (which does not exist here: init would create it).
    for (const CliCommand& command : CliCommands()) {
        SCOPED_TRACE(command.Name);
        EXPECT_EQ(Run({"--db", path, command.Name, "--kochen"}), 2);
        EXPECT_EQ(err.str(), "Unbekanntes Argument: --kochen\n");
    }
    // The words after "--db DATEI", the start of the message.
    const std::pair<std::vector<std::string>, const char*> cases[] = {
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
    for (const auto& [words, message] : cases) {
        SCOPED_TRACE(testing::PrintToString(words));
        EXPECT_NE(RunOn(path, words), 0);
        EXPECT_THAT(err.str(), StartsWith(message));
    }
    EXPECT_FALSE(fs::exists(path));
}

class CliUpgradeTest : public test::CliFixture
{
protected:
    // Without base data beside the program the upgrade changes the schema only.
    CliUpgradeTest() { fs::remove(dir.File("bin/INIT.ZIP")); }

    // A database as an older program left it at that version, with one recipe.
    std::string MakeDatabase(const std::string& version)
    {
        const std::string path = dir.File("rezepte-" + version + ".mdb");
        auto db = test::NewSchemaDatabase(path, InitialSchema());
        db->Execute("INSERT INTO T_REZ_KOPF (ID, RezTitle, RezBild) VALUES (1, 'Apfelkuchen', 'apfel.jpg')");
        std::string current = InitialSchemaVersion();
        for (const UpgradeStep& step : UpgradeSteps()) {
            if (step.Version > version)
                break;
            step.Apply(*db, current);
            current = step.Version;
        }
        if (!version.empty())
            db->Execute("INSERT INTO T_VERSION (Major, Minor, Build) VALUES (?, ?, ?)",
                        {std::stol(version.substr(0, 3)), std::stol(version.substr(4, 2)),
                         std::stol(version.substr(7, 3))});
        return path;
    }
};

TEST_F(CliUpgradeTest, BringsTheFileToTheProgramVersionWithASafetyCopyButLeavesOneTooOld)
{
    const std::string path = MakeDatabase("001.19.110");
    EXPECT_EQ(Out({"--db", path, "upgrade"}), "Schema-Version: 001.19.110 -> 002.00.126\n");
    EXPECT_EQ(DatabaseVersionText(*Database::OpenSqlite(path + ".BAK")), "001.19.110");
    // A second run finds nothing to do.
    EXPECT_EQ(Out({"--db", path, "upgrade"}), "Schema-Version: 002.00.126 -> 002.00.126\n");

    // A database too old is left alone with a German message.
    const std::string old = MakeDatabase(""); // no version row: 000.50.036
    // The question and its default answer go to the terminal's error stream.
    std::ostringstream terminal;
    std::streambuf* previous = std::cerr.rdbuf(terminal.rdbuf());
    const int code = Run({"--db", old, "upgrade"});
    std::cerr.rdbuf(previous);
    EXPECT_NE(code, 0);
    EXPECT_EQ(out.str(), "");
    EXPECT_THAT(terminal.str(), HasSubstr("wahrscheinlich zu alt"));
    EXPECT_THAT(terminal.str(), HasSubstr("-> Nein"));
    EXPECT_THAT(err.str(), HasSubstr("wurde nicht aktualisiert"));
    EXPECT_EQ(DatabaseVersionText(*Database::OpenSqlite(old)), "000.50.036");
}

// The messages about a server database never show its password.
TEST_F(CliUpgradeTest, ServerDatabaseLeftAloneIsNamedWithoutItsPassword)
{
    std::string server;
    auto db = test::NewServerDatabase(&server);
    if (!db)
        GTEST_SKIP() << test::kNoServer;
    CreateTables(*db, InitialSchema()); // no version row: too old to upgrade
    const std::size_t pwd = server.find("Pwd=") + 4;
    const std::string password = server.substr(pwd, server.find(';', pwd) - pwd);
    std::ostringstream terminal;
    std::streambuf* previous = std::cerr.rdbuf(terminal.rdbuf());
    EXPECT_NE(Run({"--db", server, "upgrade"}), 0);
    std::cerr.rdbuf(previous);
    EXPECT_THAT(err.str(), AllOf(HasSubstr("wurde nicht"), HasSubstr("Pwd=***")));
    EXPECT_THAT(err.str() + terminal.str(), Not(HasSubstr(password)));
}

class CliBackupTest : public test::CliFixture
{
protected:
    CliBackupTest() { Fill(*test::NewDatabase(file)); }

    // The version row and one recipe: what a backup must bring back.
    static void Fill(Database& db)
    {
        db.CreateTable({"T_VERSION",
                        {{"Major", FieldType::Long}, {"Minor", FieldType::Long}, {"Build", FieldType::Long}},
                        {}});
        db.Execute("INSERT INTO T_VERSION (Major, Minor, Build) VALUES (2, 0, 126)");
        db.CreateTable({"T_REZ_KOPF", {{"ID", FieldType::Long}, {"RezTitle", FieldType::Text, 80}}, {}});
        db.Execute("INSERT INTO T_REZ_KOPF (ID, RezTitle) VALUES (1, 'Flammkuchen')");
    }
    // The archive a backup run named, and a copy of it cut short.
    std::string Backup(const std::string& db)
    {
        const std::string printed = Out({"--db", db, "backup", dir.File("sicher")});
        const std::string archive = printed.substr(0, printed.size() - 1);
        const std::string bytes = test::ReadFile(archive);
        test::WriteFile(dir.File("kaputt.zip"), bytes.substr(0, bytes.size() - 30));
        EXPECT_EQ(fs::path(archive).extension(), ".zip");
        return archive;
    }

    long Count(const std::string& path)
    {
        return Database::OpenSqlite(path)->Scalar("SELECT COUNT(*) FROM T_REZ_KOPF").AsLong();
    }

    std::string file = dir.File("rezepte.mdb");
};

TEST_F(CliBackupTest, BackupThenRestoreBringsBackTheSavedState)
{
    const std::string archive = Backup(file);
    EXPECT_EQ(fs::path(archive).parent_path(), fs::path(dir.File("sicher")));
    Database::OpenSqlite(file)->Execute("INSERT INTO T_REZ_KOPF (ID, RezTitle) VALUES (2, \"Neu\")");

    // A damaged archive fails and keeps the file.
    const std::string before = test::ReadFile(file);
    EXPECT_EQ(Run({"--db", file, "restore", dir.File("kaputt.zip")}), 1);
    EXPECT_THAT(err.str(), HasSubstr("Die Datensicherung hat ein Problem: "));
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(test::ReadFile(file), before);

    EXPECT_THAT(Out({"--db", file, "restore", archive}), HasSubstr("Zurückgeladen: BACKUP_"));
    EXPECT_EQ(Count(file), 1);
}

// A server database is saved into the same kind of archive: it restores into a file and back into
// the server, whose tables are then the saved ones.
TEST_F(CliBackupTest, ServerBackupRestoresIntoAFileAndIntoTheServer)
{
    std::string server;
    auto db = test::NewServerDatabase(&server);
    if (!db)
        GTEST_SKIP() << test::kNoServer;
    Fill(*db);
    const std::string archive = Backup(server);
    db->Execute("INSERT INTO T_REZ_KOPF (ID, RezTitle) VALUES (2, 'Neu')");

    const std::string copy = dir.File("kopie.mdb");
    Out({"--db", copy, "restore", archive});
    EXPECT_EQ(Count(copy), 1);

    const std::size_t pwd = server.find("Pwd=") + 4;
    const std::string password = server.substr(pwd, server.find(';', pwd) - pwd);
    EXPECT_THAT(Out({"--db", server, "restore", archive}), Not(HasSubstr("Pwd=" + password)));
    EXPECT_EQ(db->Scalar("SELECT COUNT(*) FROM T_REZ_KOPF").AsLong(), 1);
    EXPECT_EQ(db->Scalar("SELECT RezTitle FROM T_REZ_KOPF").AsText(), "Flammkuchen");

    // A damaged archive changes nothing on the server.
    db->Execute("INSERT INTO T_REZ_KOPF (ID, RezTitle) VALUES (3, 'Bleibt')");
    EXPECT_EQ(Run({"--db", server, "restore", dir.File("kaputt.zip")}), 1);
    EXPECT_EQ(db->Scalar("SELECT COUNT(*) FROM T_REZ_KOPF").AsLong(), 2);
}

class CliLexiconTest : public test::CliFixture
{
protected:
    // A database made by "init" whose lexicon was emptied afterwards.
    std::string WithoutLexicon(const std::string& name)
    {
        return InitDatabase(name, {"DELETE FROM T_INFO_KEY", "DELETE FROM T_INFO_TREE",
                                   "DELETE FROM T_LEXIKON", "DELETE FROM T_GIFT", "DELETE FROM T_GERAET"});
    }

    static std::string IdOf(const std::string& path, const std::string& area, const std::string& keyword)
    {
        return Database::OpenSqlite(path)
            ->Scalar("SELECT ID FROM T_INFO_KEY WHERE KEYTYPE=" + area + " AND [KEY]='" + keyword + "'")
            .AsText();
    }
};

TEST_F(CliLexiconTest, PrintsAreaIdAndKeywordOfEveryHit)
{
    const std::string path = InitDatabase("lexikon.MDB");
    // The words after "lexicon"; the lines that must be printed, each as area and keyword.
    const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
        {{"blanchieren"}, {"5\tBlanchieren"}},
        {{"Spätzle"}, {"0\tSpätzleteig", "2\tSpätzlepresse", "2\tSpätzlehobel"}},
        {{"--area", "2", "Spaetzle"}, {"2\tSpätzlepresse", "2\tSpätzlehobel"}},
        {{"E330"}, {"1\tE330"}},
        {{"--area", "16384", "Limonaden"}, {"1\tTartrazin", "1\tE 102"}},
        {{"vitamin", "c"}, {"10\tVitamin C"}},
    };
    for (const auto& [words, lines] : cases) {
        SCOPED_TRACE(words.back());
        ASSERT_EQ(RunOn(path, {"lexicon"}, words), 0) << err.str();
        for (const std::string& line : lines) {
            const std::string area = line.substr(0, line.find('\t'));
            const std::string keyword = line.substr(line.find('\t') + 1);
            EXPECT_THAT(out.str(),
                        HasSubstr(area + "\t" + IdOf(path, area, keyword) + "\t" + keyword + "\n"));
        }
    }
    // Only utensils were asked for.
    EXPECT_THAT(Out({"--db", path, "lexicon", "--area", "2", "Spätzle"}), Not(HasSubstr("0\t")));
    EXPECT_EQ(Out({"--db", path, "lexicon", "xqxqxqxq"}), "");
    EXPECT_EQ(err.str(), "Im Lexikon wurde nichts gefunden.\n");
}

// The upgrade fills an empty lexicon, and so does every other command on a writable file.
TEST_F(CliLexiconTest, UpgradeAndEveryCommandFillAnEmptyLexiconOfAWritableFileOnly)
{
    const std::string upgraded = WithoutLexicon("upgrade.MDB");
    EXPECT_THAT(Out({"--db", upgraded, "upgrade"}),
                HasSubstr("Das Lexikon wurde mit den mitgelieferten Einträgen gefüllt."));
    EXPECT_THAT(Out({"--db", upgraded, "lexicon", "pochieren"}), HasSubstr("\tPochieren\n"));
    EXPECT_THAT(Out({"--db", upgraded, "upgrade"}), Not(HasSubstr("Lexikon")));

    const std::string path = WithoutLexicon("lexikon.MDB");
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_EQ(Out({"--db", path, "lexicon", "pochieren"}), "");
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(Database::OpenSqlite(path)->Scalar("SELECT COUNT(*) FROM T_INFO_KEY").AsLong(), 0);

    EXPECT_THAT(Out({"--db", path, "lexicon", "pochieren"}), HasSubstr("\tPochieren\n"));
    EXPECT_THAT(err.str(), HasSubstr("Das Lexikon wurde mit den mitgelieferten Einträgen gefüllt."));
    Out({"--db", path, "info"});
    EXPECT_THAT(err.str(), Not(HasSubstr("Lexikon")));
}

} // namespace
} // namespace pf
