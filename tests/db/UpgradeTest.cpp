#include "db/DatabaseContents.h"
#include "db/SchemaVersion.h"

#include "core/Messages.h"
#include "core/ProcessExit.h"
#include "core/Utf8.h"
#include "db/DatabaseChoice.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "db/UpgradeSteps.h"
#include "tests/db/AppFixture.h"
#include "tests/support/Each.h"
#include "tests/support/NewDatabase.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <stdexcept>

namespace pf {
namespace {

using test::TempDir;

// An upgrade window that answers as the test says and counts how often it was asked.
struct WindowScript
{
    UpgradeChoice Choice;
    int Calls = 0;
    UpgradeQuestion Last;
};

struct ScriptedWindow : UpgradeWindow
{
    explicit ScriptedWindow(WindowScript& script) : Script(script) {}
    UpgradeChoice UpdateQuestion(const UpgradeQuestion& question) override
    {
        ++Script.Calls;
        Script.Last = question;
        return Script.Choice;
    }
    WindowScript& Script;
};

void AddVersion(Database& db, const std::string& version, const std::string& description = "Test")
{
    db.Execute("INSERT INTO T_VERSION (Major, Minor, Build, [Date], Description) VALUES (?, ?, ?, ?, ?)",
               {std::stol(version.substr(0, 3)), std::stol(version.substr(4, 2)),
                std::stol(version.substr(7, 3)), NowSerial(), description});
}

// Data of the oldest structure, including what later steps convert.
void FillInitial(Database& db)
{
    const char* kopf =
        "INSERT INTO T_REZ_KOPF (ID, RezTitle, RezMenuCard, RezBild, RezWeinLexID) VALUES (?,?,?,?,?)";
    db.Execute(kopf, {1, "Apfelkuchen", "Apfelkuchen vom Blech", "bilder/apfelkuchen.jpg", 7});
    db.Execute(kopf, {2, "Birnen Helene", "", "", 0});
    db.Execute(kopf, {3, "Zwetschgendatschi", Value(), Value(), Value()});
    db.Execute("INSERT INTO T_REZ_ZUTAT (ID, [No], ZutText, ZutAnz, ZutEinh) VALUES (1, 1, 'Mehl', 250, 1), "
               "(1, 2, 'Milch', 0.125, 2)");
    db.Execute("INSERT INTO T_REZ_ANWEIS (ID, [NO], AnwText) VALUES (1, 1, 'Alles verrühren.')");
    db.Execute(
        "INSERT INTO T_UNIT (ID, UnitShortD, UnitNameD) VALUES (1, 'GR', 'Gramm'), (2, 'ml', 'Milliliter'), "
        "(3, 'EL', 'Esslöffel')");
    db.Execute("INSERT INTO T_CAT (ID, CatNameD) VALUES (7, 'Kuchen'), (8, 'Obstkuchen')");
    db.Execute("INSERT INTO T_ADRESSE (ID, Name) VALUES (1, 'Müller, Anna')");
    db.Execute("INSERT INTO T_WEIN (ID, Language, Label) VALUES (1, 0, 'Riesling')");
    db.Execute("INSERT INTO T_MENU_KOPF (MenuID, MenuTitle, MenuTree, MenuQuelle) VALUES "
               "(1, 'Weihnachten', 0, ''), "
               "(2, 'Woche 1', -3, '\"Suppe;1.50;0;5\",\"Hauptgang, gross;-4,20;1\",\"Dessert;;;;1\"')");
    db.Execute("INSERT INTO T_MENU_GANG (MenuID, GangNr, RezID) VALUES (1, 1, 1), (1, 2, 3)");
}

// The database as version 001.10.089 left it: most of the first step's changes, but the guests on
// the recipe head (T_REZ_GAST) and the wine's lexicon reference still there.
void MakeForm001_10_089(Database& db)
{
    UpgradeSteps().front().Apply(db, "000.50.073");
    db.RenameTable("T_MENU_GAST", "T_REZ_GAST");
    db.RenameColumn("T_REZ_GAST", "MenuID", "RezID");
    db.AddColumn("T_REZ_GAST", {"Anlass", FieldType::Text, 50});
    db.AddColumn("T_REZ_GAST", {"Datum", FieldType::Date});
    db.DropColumn("T_REZ_KOPF", "RezWeinTipp");
    db.AddColumn("T_REZ_KOPF", {"RezWeinLexID", FieldType::Long});
    db.Execute("INSERT INTO T_REZ_GAST (RezID, [No], AdressID, Anlass) VALUES (1, 1, 1, 'Geburtstag')");
    db.Execute("UPDATE T_REZ_KOPF SET RezQuellePage='12' WHERE ID=1");
}

// A database at an old version: the oldest structure with its data, brought forward by the steps.
void BuildAt(Database& db, const std::string& version)
{
    CreateTables(db, InitialSchema());
    FillInitial(db);
    AddVersion(db, InitialSchemaVersion());
    if (version == "001.10.089") {
        MakeForm001_10_089(db);
        AddVersion(db, version);
        return;
    }
    std::string current = InitialSchemaVersion();
    for (const UpgradeStep& step : UpgradeSteps()) {
        if (step.Version > version)
            break;
        step.Apply(db, current);
        current = step.Version;
    }
    if (version != InitialSchemaVersion())
        AddVersion(db, version);
    if (version >= "001.19.103")
        db.Execute("UPDATE T_CAT SET CatParent=7 WHERE ID=8");
    if (version >= "001.10.090") {
        db.Execute("INSERT INTO T_LITERATUR (QuelleID, Title, DeckblattBild) VALUES (4, 'Backen mit Oma', ?)",
                   {Blob{0x89, 'P', 'N', 'G', 0, 1, 2}});
        db.Execute("INSERT INTO T_LITERATUR (QuelleID, Title) VALUES (5, 'Ohne Bild')");
        db.Execute("UPDATE T_REZ_KOPF SET RezQuelleID=4, RezQuellePage='12' WHERE ID=1");
    }
}

class UpgradeTest : public test::AppFixture
{
protected:
    ~UpgradeTest() override
    {
        SetUpgradeWindow(nullptr);
        SetUpgradeStepHook(nullptr);
    }

    std::unique_ptr<Database> Open(const std::string& name = "Pfannola.MDB")
    {
        return test::NewDatabase(dir.File(name));
    }
    std::unique_ptr<Database> OpenAt(const std::string& version, const std::string& name = "Pfannola.MDB")
    {
        auto db = Open(name);
        BuildAt(*db, version);
        return db;
    }
    void UseWindow(UpgradeChoice choice)
    {
        window.Choice = choice;
        SetUpgradeWindow(std::make_unique<ScriptedWindow>(window));
    }
    // Texts shown so far that contain a piece.
    int Shown(const std::string& piece) const
    {
        return static_cast<int>(std::count_if(ui.shown.begin(), ui.shown.end(), [&](const auto& s) {
            return s.Text.find(piece) != std::string::npos;
        }));
    }

    WindowScript window;
};

// A table's columns (name, type, text size) or an index (columns, uniqueness), in upper case.
std::set<std::string> Described(const std::vector<FieldDef>& fields)
{
    std::set<std::string> columns;
    for (const FieldDef& f : fields)
        columns.insert(ToUpper(f.Name) + " " + std::to_string(static_cast<int>(f.Type)) + "/" +
                       std::to_string(f.Size));
    return columns;
}
std::string Described(const IndexDef& index)
{
    std::string text = index.Unique ? "unique" : "";
    for (const std::string& column : index.Columns)
        text += " " + ToUpper(column);
    return text;
}

// The tables and columns and the named indexes are those of the schema.
void ExpectCurrentSchema(Database& db)
{
    std::set<std::string> expected, actual;
    for (const TableDef& table : SchemaTables())
        expected.insert(ToUpper(table.Name));
    for (const std::string& name : db.TableNames())
        actual.insert(ToUpper(name));
    EXPECT_EQ(actual, expected);

    for (const TableDef& table : SchemaTables()) {
        SCOPED_TRACE(table.Name);
        if (!db.TableExists(table.Name))
            continue;
        EXPECT_EQ(Described(db.Fields(table.Name)), Described(table.Fields));
        const std::vector<IndexDef> indexes = db.Indexes(table.Name);
        for (const IndexDef& index : table.Indexes) {
            auto found = std::find_if(indexes.begin(), indexes.end(), [&](const IndexDef& i) {
                return index.Primary ? i.Primary : EqualsNoCase(i.Name, index.Name);
            });
            EXPECT_EQ(found == indexes.end() ? "missing" : Described(*found), Described(index)) << index.Name;
        }
    }
}

std::string Text(Database& db, const std::string& sql)
{
    return db.Scalar(sql).AsText();
}
long long Number(Database& db, const std::string& sql)
{
    return db.Scalar(sql).AsLong();
}
// Every row of a query, its fields as text joined with "|" (Null as "<null>").
std::vector<std::string> Rows(Database& db, const std::string& sql)
{
    std::vector<std::string> rows;
    for (auto rs = db.OpenRecordset(sql); !rs->Eof(); rs->MoveNext()) {
        std::string& row = rows.emplace_back();
        for (int i = 0; i < rs->FieldCount(); ++i)
            row += (i ? "|" : "") + (rs->Field(i).IsNull() ? "<null>" : rs->Field(i).AsText());
    }
    return rows;
}

struct OldVersionCase
{
    const char* Start;
    std::vector<std::string> StepsRun;
};

class UpgradeFromOldVersion : public UpgradeTest, public ::testing::WithParamInterface<OldVersionCase>
{
};

TEST_P(UpgradeFromOldVersion, EndsWithTheCurrentSchemaAndKeepsTheData)
{
    const OldVersionCase& c = GetParam();
    auto db = OpenAt(c.Start);
    std::vector<std::string> run;
    SetUpgradeStepHook([&](const std::string& version) { run.push_back(version); });

    ASSERT_TRUE(UpgradeDatabase(*db, false));
    EXPECT_TRUE(ui.shown.empty());
    if (!c.StepsRun.empty()) {
        EXPECT_EQ(run, c.StepsRun);
    }
    EXPECT_EQ(run.size(), static_cast<std::size_t>(std::count_if(
                              UpgradeSteps().begin(), UpgradeSteps().end(),
                              [&](const UpgradeStep& s) { return s.Version > std::string(c.Start); })));

    ExpectCurrentSchema(*db);
    EXPECT_EQ(DatabaseVersionText(*db), "002.00.126");
    const std::vector<VersionEntry> history = VersionHistory(*db);
    ASSERT_FALSE(history.empty());
    EXPECT_EQ(history.front().Version, "002.00.126");
    EXPECT_EQ(history.front().Description, std::string("Migration from ") + c.Start);
    EXPECT_NEAR(history.front().Date.Days, NowSerial().Days, 0.01);

    // The recipes and their children are kept.
    EXPECT_EQ(Number(*db, "SELECT COUNT(*) FROM T_REZ_KOPF"), 3);
    EXPECT_EQ(Rows(*db, "SELECT RezTitle, RezMenuCard FROM T_REZ_KOPF WHERE ID=1"),
              std::vector<std::string>{"Apfelkuchen|Apfelkuchen vom Blech"});
    EXPECT_EQ(Text(*db, "SELECT ZutAnz FROM T_REZ_ZUTAT WHERE ID=1 AND [No]=2"), "0.125");
    EXPECT_EQ(Text(*db, "SELECT AnwText FROM T_REZ_ANWEIS WHERE ID=1"), "Alles verrühren.");
    EXPECT_EQ(Text(*db, "SELECT Name FROM T_ADRESSE WHERE ID=1"), "Müller, Anna");
    EXPECT_EQ(Text(*db, "SELECT CatParent FROM T_CAT WHERE ID=8"),
              std::string(c.Start) >= "001.19.103" ? "7" : "0");

    // New columns carry the values the steps give them.
    EXPECT_EQ(Number(*db, "SELECT COUNT(*) FROM T_REZ_KOPF WHERE RezParent=0 AND WPExclude=0"), 3);
    EXPECT_EQ(
        Number(*db, "SELECT COUNT(*) FROM T_REZ_ZUTAT WHERE ZutVerarbeitung='' AND ZutZubereitung IS NULL"),
        2);
    EXPECT_EQ(Text(*db, "SELECT UnitShortD FROM T_UNIT WHERE NoFractionOnScale<>0 ORDER BY ID"), "GR");
    EXPECT_EQ(Number(*db, "SELECT COUNT(*) FROM T_UNIT WHERE NoFractionOnScale=True"), 2); // GR and ml
    EXPECT_EQ(Number(*db, "SELECT COUNT(*) FROM T_UNIT WHERE NoFractionOnScale=False"), 1);
    EXPECT_EQ(Number(*db, "SELECT COUNT(*) FROM T_MENU_GANG WHERE WeinID=0 AND WPLevel=0 AND WPDay=0"), 2);
    EXPECT_EQ(Number(*db, "SELECT COUNT(*) FROM T_ADRESSE WHERE AliasID=0 AND ParentID=0 AND Fingerprint2=0"),
              1);
    EXPECT_EQ(Number(*db, "SELECT COUNT(*) FROM T_WEIN WHERE ProduzentID=0 AND ViticulturistID=0"), 1);
    EXPECT_EQ(Number(*db, "SELECT COUNT(*) FROM T_MENU_GAST"), 0); // 001.10.091 empties the guests
    if (std::string(c.Start) < "001.10.090") {
        EXPECT_EQ(Number(*db, "SELECT COUNT(*) FROM T_REZ_KOPF WHERE RezQuelleID=0"), 3);
        EXPECT_EQ(Number(*db, "SELECT COUNT(*) FROM T_MENU_KOPF WHERE MenuDatum=0"), 2);
    }
    if (std::string(c.Start) == "000.50.073")
        EXPECT_EQ(Number(*db, "SELECT COUNT(*) FROM T_REZ_KOPF WHERE RezQuellePage=''"), 3);
    else
        EXPECT_EQ(Text(*db, "SELECT RezQuellePage FROM T_REZ_KOPF WHERE ID=1"), "12");

    // The recipe's picture file became its first picture object.
    EXPECT_EQ(Rows(*db, "SELECT IDReference, IDNum, Property, BlobPath, Blob FROM T_BLOB WHERE IDType=5"),
              std::vector<std::string>{"1|1|1|bilder/apfelkuchen.jpg|<null>"});

    // The levels of the weekly plan became the level table.
    EXPECT_EQ(
        Rows(*db, "SELECT ID, WPOrder, WPName, WPCost, WPPrint, WPRepeat FROM T_WPLevel ORDER BY WPOrder"),
        (std::vector<std::string>{"5|1|Suppe|1.5|True|False", "2|2|Hauptgang, gross|4.2|False|True",
                                  "3|3|Dessert|0|False|False"}));

    // Sources that existed keep their rows; a cover picture moved to the picture objects.
    if (std::string(c.Start) >= "001.10.090") {
        EXPECT_EQ(Number(*db, "SELECT COUNT(*) FROM T_LITERATUR WHERE Rating=0 AND Borrowed=''"), 2);
        EXPECT_EQ(Number(*db, "SELECT COUNT(*) FROM T_LITERATUR WHERE DeckblattBild IS NULL"), 2);
        EXPECT_EQ(Rows(*db, "SELECT IDReference, Property FROM T_BLOB WHERE IDType=9"),
                  std::vector<std::string>{"4|0"});
        EXPECT_EQ(db->Scalar("SELECT Blob FROM T_BLOB WHERE IDType=9").AsBinary(),
                  (Blob{0x89, 'P', 'N', 'G', 0, 1, 2}));
        EXPECT_EQ(Number(*db, "SELECT COUNT(DISTINCT ID) FROM T_BLOB WHERE IDType IN (5, 9)"), 2);
    }

    // The widened menu-card title takes 128 characters.
    db->Execute("UPDATE T_REZ_KOPF SET RezMenuCard=? WHERE ID=2", {std::string(128, 'x')});
}

INSTANTIATE_TEST_SUITE_P(
    Versions, UpgradeFromOldVersion,
    ::testing::Values(OldVersionCase{"000.50.073", {}}, OldVersionCase{"001.10.089", {}},
                      OldVersionCase{"001.10.093", {}}, OldVersionCase{"001.19.104", {}},
                      OldVersionCase{"001.19.110", {"001.19.111", "001.19.112", "001.99.114", "002.00.126"}}),
    [](const ::testing::TestParamInfo<OldVersionCase>& param) {
        std::string name = param.param.Start;
        std::replace(name.begin(), name.end(), '.', '_');
        return "V" + name;
    });

TEST_F(UpgradeTest, TheFirstFormOfStepOneRenamesTheGuestsAndDropsTheWineLexiconReference)
{
    auto db = OpenAt("001.10.089");
    UpgradeSteps().front().Apply(*db, "001.10.089");
    EXPECT_FALSE(db->TableExists("T_REZ_GAST"));
    EXPECT_EQ(test::Each(db->Fields("T_MENU_GAST"), &FieldDef::Name),
              (std::vector<std::string>{"MenuID", "No", "AdressID", "Notiz"}));
    EXPECT_EQ(Number(*db, "SELECT MenuID FROM T_MENU_GAST"), 1);
    EXPECT_EQ(Number(*db, "SELECT COUNT(*) FROM T_REZ_KOPF WHERE RezWeinTipp=''"), 3);
    EXPECT_EQ(std::ranges::count(test::Each(db->Fields("T_REZ_KOPF"), &FieldDef::Name), "RezWeinLexID"), 0);
}

// What the window is asked and what stays, by the database's version, the question asked first and
// the window's choice.
TEST_F(UpgradeTest, TheWindowsChoiceDecidesWhetherTheDatabaseChanges)
{
    struct Case
    {
        const char* name;
        const char* version;
        bool askFirst;
        UpgradeChoice choice;
        int calls;
        bool exits;
        const char* versionAfter;
    };
    const Case cases[] = {
        {"at the program's version", "002.00.126", true, {1, true, false}, 0, false, "002.00.126"},
        {"continue without upgrade", "001.19.104", true, {0, true, true}, 1, false, "001.19.104"},
        {"cancel", "001.19.104", true, {-1, true, false}, 1, true, "001.19.104"},
        {"not asked", "001.10.093", false, {-1, true, true}, 0, false, "002.00.126"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir own;
        auto db = test::NewDatabase(own.File("Pfannola.MDB"));
        if (std::string(c.version) == "002.00.126") {
            CreateTables(*db, SchemaTables());
            AddVersion(*db, c.version);
        } else {
            BuildAt(*db, c.version);
        }
        const long versions = Number(*db, "SELECT COUNT(*) FROM T_VERSION");
        window.Calls = 0;
        UseWindow(c.choice);
        if (c.exits) {
            EXPECT_THROW(UpgradeDatabase(*db, c.askFirst), ProcessExit);
        } else {
            EXPECT_TRUE(UpgradeDatabase(*db, c.askFirst));
        }
        EXPECT_EQ(window.Calls, c.calls);
        EXPECT_TRUE(ui.shown.empty());
        EXPECT_EQ(DatabaseVersionText(*db), c.versionAfter);
        if (c.askFirst) {
            EXPECT_EQ(Number(*db, "SELECT COUNT(*) FROM T_VERSION"), versions);
        }
        if (c.versionAfter != std::string("002.00.126")) {
            EXPECT_FALSE(db->TableExists("T_BLOB"));
        }
        EXPECT_FALSE(std::filesystem::exists(own.File("Pfannola.MDB.BAK")));
    }
}

TEST_F(UpgradeTest, NewerDatabaseIsUsedUnchangedAfterItsMessage)
{
    auto db = OpenAt("001.19.110");
    AddVersion(*db, "003.01.200");
    const auto tables = db->TableNames();
    UseWindow({1, true, false});
    EXPECT_TRUE(UpgradeDatabase(*db, true));
    EXPECT_EQ(window.Calls, 0);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].Text,
              "Die aktuelle Software-Version ist älter (002.00.126) als der Stand der Datenbank "
              "(003.01.200). Dies könnte zu Problemen führen !");
    EXPECT_EQ(db->TableNames(), tables);
    EXPECT_EQ(DatabaseVersionText(*db), "003.01.200");
    EXPECT_FALSE(std::filesystem::exists(dir.File("Pfannola.MDB.BAK")));
}

// An empty version table reads as the oldest version: too old, and "no" ends the program; going on
// upgrades it, and without a weekly plan the level table gets the default levels of the settings.
TEST_F(UpgradeTest, EmptyVersionTableCountsAsTooOldAndNoEndsTheProgram)
{
    auto db = Open();
    CreateTables(*db, InitialSchema());
    EXPECT_EQ(DatabaseVersionText(*db), "000.50.036");
    ui.Answering(Answer::No);
    try {
        UpgradeDatabase(*db, true);
        ADD_FAILURE() << "the program goes on";
    } catch (const ProcessExit& exit) {
        EXPECT_EQ(exit.Code, 1);
    }
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(
        ui.shown[0].Text,
        "Der Stand der Datenbank ist mit Version 000.50.036 wahrscheinlich zu alt, um auf den neuesten Stand "
        "gebracht zu werden. Bei Fragen hierzu wenden Sie sich bitte an den Pfannola-Support.\r\n"
        "Trotzdem versuchen fortzufahren ?");
    EXPECT_EQ(DatabaseVersionText(*db), "000.50.036");

    ui.shown.clear();
    ui.Answering(Answer::Yes).Answering(Answer::Yes); // too old: go on; upgrade: yes
    ASSERT_TRUE(UpgradeDatabase(*db, true));
    EXPECT_TRUE(ui.AllAnswersUsed());
    ExpectCurrentSchema(*db);
    EXPECT_EQ(VersionHistory(*db).front().Description, "Migration from 000.50.036");
    EXPECT_EQ(Text(*db, "SELECT WPName FROM T_WPLevel WHERE WPRepeat<>0"), "Wochenteller");
    EXPECT_EQ(Number(*db, "SELECT COUNT(*) FROM T_WPLevel"), 6);
}

TEST_F(UpgradeTest, UnreadableVersionTableIsNoDatabaseOfTheProgram)
{
    auto db = Open();
    db->CreateTable({"T_ANDERES", {{"ID", FieldType::Long}}, {}});
    EXPECT_FALSE(UpgradeDatabase(*db, true));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].Text, "Die vorliegende Datenbank sieht nicht wie eine Pfannola-Datenbank aus !");
    EXPECT_EQ(ui.shown[0].Icon, MsgIcon::Critical);
}

TEST_F(UpgradeTest, WithoutWindowTheQuestionGoesThroughTheInteractionAndMakesASafetyCopy)
{
    test::WriteFile(dir.File("Pfannola.MDB.BAK"), "eine alte Kopie");
    auto db = OpenAt("001.19.110");
    ui.Answering(Answer::Yes);
    ASSERT_TRUE(UpgradeDatabase(*db, true));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_TRUE(ui.shown[0].Question);
    EXPECT_NE(ui.shown[0].Text.find("001.19.110"), std::string::npos);
    EXPECT_NE(ui.shown[0].Text.find("Pfannola.MDB.BAK"), std::string::npos);

    // The copy replaces the previous one: a database of its own at the version before the upgrade.
    const std::string backup = dir.File("Pfannola.MDB.BAK");
    ASSERT_TRUE(std::filesystem::exists(backup));
    auto copy = Database::OpenSqlite(backup);
    EXPECT_EQ(DatabaseVersionText(*copy), "001.19.110");
    EXPECT_EQ(Number(*copy, "SELECT COUNT(*) FROM T_REZ_KOPF"), 3);
    EXPECT_EQ(DatabaseVersionText(*db), "002.00.126");
}

// A copy that cannot be made is reported; the user decides whether the upgrade waits for it. The
// copy is written under a temporary name first, so a failure leaves the previous one as it was.
TEST_F(UpgradeTest, AFailedSafetyCopyAsksAndKeepsThePreviousCopy)
{
    const std::string backup = dir.File("Pfannola.MDB.BAK");
    test::WriteFile(backup, "die vorige Kopie");
    // Something stands where the copy is written first.
    test::WriteFile(backup + ".$$$/belegt", "x");
    auto db = OpenAt("001.19.110");

    ui.Answering(Answer::Yes).Answering(Answer::Yes); // upgrade: yes; stop until the copy works: yes
    EXPECT_THROW(UpgradeDatabase(*db, true), ProcessExit);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].Icon, MsgIcon::Critical);
    EXPECT_NE(ui.shown[1].Text.find(
                  "\r\nEs ist ein Fehler beim Erstellen der Sicherheitskopie aufgetreten. Soll der "
                  "Upgrade abgebrochen werden bis der Fehler behoben ist?"),
              std::string::npos);
    EXPECT_EQ(DatabaseVersionText(*db), "001.19.110");
    EXPECT_EQ(test::ReadFile(backup), "die vorige Kopie");

    ui.Answering(Answer::Yes).Answering(Answer::No); // upgrade: yes; go on without the copy
    EXPECT_TRUE(UpgradeDatabase(*db, true));
    EXPECT_EQ(DatabaseVersionText(*db), "002.00.126");
    EXPECT_EQ(test::ReadFile(backup), "die vorige Kopie");
}

TEST_F(UpgradeTest, AFailingStepLeavesThePreviousStepsVersionAndTheDataIntact)
{
    auto db = OpenAt("000.50.073");
    SetUpgradeStepHook([](const std::string& version) {
        if (version == "001.19.108")
            throw std::runtime_error("Schritt abgebrochen");
    });
    EXPECT_FALSE(UpgradeDatabase(*db, false));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].Icon, MsgIcon::Critical);
    EXPECT_NE(ui.shown[0].Text.find("001.19.108"), std::string::npos);
    EXPECT_NE(ui.shown[0].Text.find("Schritt abgebrochen"), std::string::npos);
    EXPECT_NE(ui.shown[0].Text.find("Stand 001.19.107"), std::string::npos);

    // Everything up to 001.19.107 stays, nothing of the failed step.
    EXPECT_EQ(DatabaseVersionText(*db), "001.19.107");
    EXPECT_TRUE(db->TableExists("T_BLOB"));
    EXPECT_FALSE(db->TableExists("T_WPLevel"));
    EXPECT_EQ(Number(*db, "SELECT COUNT(*) FROM T_REZ_KOPF"), 3);
    EXPECT_EQ(Number(*db, "SELECT COUNT(*) FROM T_BLOB"), 1);

    // The next attempt goes on from there.
    SetUpgradeStepHook(nullptr);
    ui.shown.clear();
    ASSERT_TRUE(UpgradeDatabase(*db, false));
    ExpectCurrentSchema(*db);
    EXPECT_EQ(Number(*db, "SELECT COUNT(*) FROM T_BLOB"), 1);
    EXPECT_EQ(VersionHistory(*db).front().Description, "Migration from 001.19.107");
}

TEST_F(UpgradeTest, AStepTheEngineRefusesIsRolledBackWhole)
{
    auto db = OpenAt("001.19.104");
    // A table of that name is already there: the step's first change fails.
    db->CreateTable({"T_BLOB", {{"ID", FieldType::Long}}, {}});
    db->Execute("INSERT INTO T_BLOB (ID) VALUES (42)");
    EXPECT_FALSE(UpgradeDatabase(*db, false));
    EXPECT_EQ(DatabaseVersionText(*db), "001.19.104");
    EXPECT_EQ(Number(*db, "SELECT COUNT(*) FROM T_BLOB"), 1);
    EXPECT_EQ(Text(*db, "SELECT RezBild FROM T_REZ_KOPF WHERE ID=1"), "bilder/apfelkuchen.jpg");
}

TEST_F(UpgradeTest, ReadOnlyDatabaseEndsTheProgramAfterItsMessage)
{
    const std::string path = dir.File("Pfannola.MDB");
    {
        auto db = OpenAt("001.19.110");
    }
    chmod(path.c_str(), 0444);
    auto db = Database::OpenSqlite(path);
    ASSERT_FALSE(db->IsUpdatable());
    UseWindow({1, true, false});
    EXPECT_THROW(UpgradeDatabase(*db, true), ProcessExit);
    // The name stands where the message places it, before the program's name.
    EXPECT_EQ(Shown("Die Datenbank ist schreibgeschützt und kann nicht verändert werden. Entfernen Sie den "
                    "Schreibschutz von folgender Datei und starten Sie " +
                    path + "\r\nPfannola danach neu:"),
              1);
    db.reset();
    chmod(path.c_str(), 0644);
    EXPECT_EQ(DatabaseVersionText(*Database::OpenSqlite(path)), "001.19.110");
}

TEST_F(UpgradeTest, CompactionOfTheWorkDatabaseGoesThroughTheOpenSequence)
{
    {
        auto db = OpenAt("001.19.110");
    }
    Connection().DbPath = dir.File("Pfannola.MDB");
    Connection().WorkDb = Database::OpenSqlite(Connection().DbPath);
    UseWindow({1, false, true});
    ASSERT_TRUE(UpgradeDatabase(WorkDb(), true));
    EXPECT_EQ(window.Calls, 1);
    EXPECT_EQ(window.Last.DatabaseVersion, "001.19.110");
    EXPECT_EQ(window.Last.ProgramVersion, "002.00.126");
    EXPECT_EQ(window.Last.DatabaseName, dir.File("Pfannola.MDB"));
    EXPECT_FALSE(window.Last.Odbc);
    ASSERT_FALSE(window.Last.History.empty());
    EXPECT_EQ(window.Last.History.front().Version, "001.19.110");
    // No copy was wanted; the compaction was, and the user hears of it. The work database was
    // closed for the compaction and opened again.
    EXPECT_FALSE(std::filesystem::exists(dir.File("Pfannola.MDB.BAK")));
    ASSERT_TRUE(HasWorkDb());
    EXPECT_EQ(DatabaseVersionText(WorkDb()), "002.00.126");
    EXPECT_EQ(Shown("gebracht und optimiert"), 1);
}

TEST_F(UpgradeTest, CreateMinimalDatabaseMakesEveryTableAndTheVersionRow)
{
    Connection().DbPath = dir.File("neu/Pfannola.MDB");
    ui.Answering(Answer::Yes);
    ASSERT_TRUE(CreateMinimalDatabase());
    auto db = Database::OpenSqlite(Connection().DbPath);
    ExpectCurrentSchema(*db);
    EXPECT_EQ(DatabaseVersionText(*db), "002.00.126");
    EXPECT_EQ(Number(*db, "SELECT COUNT(*) FROM T_VERSION"), 1);
}

TEST_F(UpgradeTest, AnOldVersionTableAndAPartialSchemaStillDescribeTheDatabase)
{
    auto db = Open();
    db->CreateTable({"T_VERSION",
                     {{"Major", FieldType::Long}, {"Minor", FieldType::Long}, {"Build", FieldType::Long}},
                     {}});
    db->Execute("INSERT INTO T_VERSION (Major, Minor, Build) VALUES (0, 50, 36)");
    db->Execute("INSERT INTO T_VERSION (Major, Minor, Build) VALUES (1, 10, 2)");
    db->CreateTable({"T_REZ_KOPF", {{"ID", FieldType::Long}}, {}});
    db->CreateTable({"T_BUCH", {{"ID", FieldType::Long}}, {}});
    for (long id = 1; id <= 3; ++id)
        db->Execute("INSERT INTO T_REZ_KOPF (ID) VALUES (?)", {id});

    const std::vector<VersionEntry> history = VersionHistory(*db);
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[0].Version, "001.10.002");
    EXPECT_EQ(history[0].Date.Days, 0.0);
    EXPECT_EQ(history[1].Description, "");

    const std::vector<TableCount> contents = DatabaseContents(*db);
    EXPECT_EQ(test::Each(contents, &TableCount::Table), (std::vector<std::string>{"T_REZ_KOPF", "T_BUCH"}));
    EXPECT_EQ(test::Each(contents, &TableCount::Rows), (std::vector<long>{3, 0}));
    EXPECT_EQ(contents[0].Label, "Rezepte");
}

} // namespace
} // namespace pf
