#include "db/InitFiles.h"

#include "core/Messages.h"
#include "db/BaseDataFill.h"
#include "db/DatabaseChoice.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "db/SchemaVersion.h"
#include "db/clsZIP.h"
#include "tests/db/AppFixture.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/NewDatabase.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <sstream>

namespace pf {
namespace {

namespace fs = std::filesystem;

class InitFilesTest : public test::AppFixture
{
protected:
    InitFilesTest() { ShipInitZip(); }

    std::string ZipPath() const { return m_app.ProgramDir + "INIT.ZIP"; }

    // Replaces the program's INIT.ZIP by one holding the real INIT.MDB and, when given, this INIT.CSV.
    void ReplaceZip(const std::string* csv)
    {
        ASSERT_TRUE(ExtractInitFiles(true).Database);
        const std::string mdb = dir.File("src/INIT.MDB");
        fs::create_directories(dir.File("src"));
        fs::copy_file(InitFilePath("INIT.MDB"), mdb, fs::copy_options::overwrite_existing);
        DeleteInitFiles();
        fs::remove(ZipPath());
        clsZIP zip;
        ASSERT_TRUE(zip.NewZIPFile(ZipPath()));
        zip.AddFile(mdb);
        if (csv) {
            test::WriteFile(dir.File("src/INIT.CSV"), *csv);
            zip.AddFile(dir.File("src/INIT.CSV"));
        }
        ASSERT_TRUE(zip.Add()) << zip.LastResultText();
    }

    bool Create(const std::string& path)
    {
        Connection().DbPath = path;
        return CreateDatabaseFromInit();
    }

    bool NoInitFilesLeft() const
    {
        for (const char* name : {"INIT.MDB", "INIT.CSV", "INIT.ALX"})
            if (fs::exists(m_app.TempDir + name))
                return false;
        return true;
    }
};

// Row lines per table of a base-data file.
std::map<std::string, long> RowsPerTable(const std::string& content)
{
    std::map<std::string, long> rows;
    std::istringstream in(content);
    std::string table;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("VERSION\t") || line.empty() || line[0] == '#' || line == "\r")
            continue;
        if (line[0] != '\t')
            table = line.substr(0, line.find('\t'));
        rows[table] += line[0] == '\t';
    }
    return rows;
}

TEST_F(InitFilesTest, ExtractsTheFilesAskedFor)
{
    InitFilesState state = ExtractInitFiles(false);
    EXPECT_TRUE(state.ZipFound);
    EXPECT_TRUE(state.Database);
    EXPECT_TRUE(state.BaseData);
    EXPECT_FALSE(state.Lexicon);
    EXPECT_TRUE(fs::exists(dir.File("tmp/INIT.CSV")));
    EXPECT_EQ(
        test::ReadFile(dir.File("tmp/INIT.CSV")).rfind("VERSION\tProgVer\tDATE\r\nVERSION\tv2.00.126\t", 0),
        0u);

    state = ExtractInitFiles(true);
    EXPECT_TRUE(state.Database);
    EXPECT_FALSE(state.BaseData);
    EXPECT_FALSE(fs::exists(dir.File("tmp/INIT.CSV")));

    fs::remove(ZipPath());
    state = ExtractInitFiles(false);
    EXPECT_FALSE(state.ZipFound);
    EXPECT_FALSE(state.Database);
    EXPECT_TRUE(NoInitFilesLeft());
}

TEST_F(InitFilesTest, CreatesTheCurrentSchemaWithAllBaseData)
{
    ASSERT_TRUE(ExtractInitFiles(false).BaseData);
    const std::map<std::string, long> expectedRows = RowsPerTable(test::ReadFile(InitFilePath("INIT.CSV")));
    DeleteInitFiles();

    const std::string path = dir.File("daten/DB/Pfannola.MDB");
    ui.Answering(Answer::Yes);
    ASSERT_TRUE(Create(path)) << ui.shown.back().Text;
    EXPECT_EQ(ui.shown[0].Text, LoadText(623) + path + LoadText(624));
    EXPECT_EQ(ui.shown.size(), 1u) << ui.shown.back().Text;
    EXPECT_TRUE(NoInitFilesLeft());
    EXPECT_FALSE(fs::exists(path + ".$$$"));

    auto db = Database::OpenSqlite(path);
    EXPECT_EQ(DatabaseVersionText(*db), ProgramVersionText());
    for (const TableDef& table : SchemaTables()) {
        SCOPED_TRACE(table.Name);
        ASSERT_TRUE(db->TableExists(table.Name));
        EXPECT_EQ(db->Fields(table.Name).size(), table.Fields.size());
    }
    for (const auto& [table, count] : expectedRows) {
        SCOPED_TRACE(table);
        EXPECT_EQ(db->Scalar("SELECT COUNT(*) FROM [" + table + "]").AsLong(), count);
    }
    EXPECT_EQ(db->Scalar("SELECT COUNT(*) FROM T_BUCH WHERE ID=0").AsLong(), 1);
    // The open sequence refuses a database without nutrient descriptors.
    EXPECT_GT(db->Scalar("SELECT COUNT(*) FROM T_BLS_FDESC WHERE DINDEX>6").AsLong(), 0);
    EXPECT_GT(db->Scalar("SELECT COUNT(*) FROM T_UNIT").AsLong(), 0);
}

TEST_F(InitFilesTest, DecliningCreatesNothing)
{
    const std::string path = dir.File("neu.mdb");
    ui.Answering(Answer::No);
    EXPECT_FALSE(Create(path));
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(NoInitFilesLeft());
}

TEST_F(InitFilesTest, FailedCreationLeavesNoNewFile)
{
    struct Case
    {
        const char* Name;
        bool WithCsv;
        std::string Csv;
        std::string Message;
        rlim_t SizeLimit = 0; // with the shipped base data, files stop growing there as on a full disk
    };
    const std::vector<Case> cases = {
        {"damaged base data", true,
         "VERSION\tProgVer\tDATE\r\nVERSION\tv2.00.126\t01.01.2019\r\nT_UNIT\tID\r\n\t1\r\n\tx\t2\r\n",
         "in Zeile 5 der folgende Fehler"},
        {"no base data", false, "", "\"INIT.CSV\" fehlen"},
        {"full disk", true, "", "Datenträger", 1300 * 1024},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        if (c.SizeLimit == 0)
            ReplaceZip(c.WithCsv ? &c.Csv : nullptr);
        const std::string path = dir.File(std::string(c.Name) + "/neu.mdb");
        ui.shown.clear();
        ui.Answering(Answer::Yes);
        {
            std::optional<test::FileSizeLimit> limit;
            if (c.SizeLimit != 0)
                limit.emplace(c.SizeLimit);
            EXPECT_FALSE(Create(path));
        }
        ASSERT_EQ(ui.shown.size(), 2u);
        EXPECT_NE(ui.shown[1].Text.find(c.Message), std::string::npos) << ui.shown[1].Text;
        EXPECT_FALSE(fs::exists(path));
        EXPECT_FALSE(fs::exists(path + ".$$$"));
        EXPECT_TRUE(NoInitFilesLeft());
        fs::remove(ZipPath());
        fs::copy_file(PF_INIT_ZIP, ZipPath());
    }
}

TEST_F(InitFilesTest, ExistingFileIsUnchangedWhenCreationFailsOrIsCancelled)
{
    const std::string path = dir.File("alt.mdb");
    {
        auto db = test::NewDatabase(path);
        db->CreateTable({"T_VERSION", {{"Major", FieldType::Long}, {"Minor", FieldType::Long}}, {}});
        db->Execute("INSERT INTO T_VERSION (Major, Minor) VALUES (1, 10)");
    }
    const std::string before = test::ReadFile(path);

    // Cancelled at the question whether the existing data go.
    ui.Answering(Answer::Yes).Answering(Answer::Cancel);
    EXPECT_FALSE(Create(path));
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].Text, LoadText(561) + "Pfannola" + LoadText(562) + "\r\n" + LoadText(563));
    EXPECT_EQ(test::ReadFile(path), before);

    // Data deleted, then the base data fail.
    const std::string csv = "VERSION\tProgVer\tDATE\r\nVERSION\tv2.00.126\t01.01.2019\r\nT_UNIT\tNichtDa\r\n";
    ReplaceZip(&csv);
    ui.shown.clear();
    ui.Answering(Answer::Yes).Answering(Answer::Yes);
    EXPECT_FALSE(Create(path));
    EXPECT_EQ(test::ReadFile(path), before);
    EXPECT_FALSE(fs::exists(path + ".$$$"));
    EXPECT_TRUE(ui.AllAnswersUsed());
}

// At every open, tables still empty get the shipped base data: the foods with their values, classes
// and synonyms, and the lexicon (with the utensils only when the user has none). What a user stored
// stays, a read-only database is left alone, a second open finds nothing to do, and a load that
// fails leaves everything as it was.
TEST_F(InitFilesTest, EmptyFoodTableAndLexiconAreFilledAtOpenWithoutTouchingUserRows)
{
    ASSERT_TRUE(ExtractInitFiles(false).BaseData);
    const std::string csv = test::ReadFile(InitFilePath("INIT.CSV"));
    DeleteInitFiles();
    const std::map<std::string, long> shipped = RowsPerTable(csv);

    struct Case
    {
        const char* Name;
        const char* UserRows; // statements run on the new, empty database
        bool ReadOnly;
        bool FoodsFilled;
        bool LexiconFilled;
        // Rows counted after the fill: FROM … text, expected count (-1: some).
        std::vector<std::pair<const char*, long>> Counts;
    };
    const std::vector<Case> cases = {
        {"both empty", "", false, true, true,
         {{"T_INFO_KEY WHERE KEYTYPE=3 AND ID NOT IN (SELECT ID FROM T_BLS_KEY)", 0},
          {"T_INFO_KEY WHERE KEYTYPE IN (0,5)", -1}, {"T_GIFT", -1},
          {"T_INFO_KEY WHERE KEYTYPE IN (10,11)", -1}, {"T_GERAET", shipped.at("T_GERAET")},
          {"T_INFO_TREE WHERE KEYTYPE=2", -1}}},
        {"the user's foods and utensil",
         R"(
            INSERT INTO T_BLS_KEY (ID, ST) VALUES (1, 'Omas Brühe');
            INSERT INTO T_INFO_KEY (ID, [KEY], KEYTYPE) VALUES (1, 'Mein Topf', 2);
            INSERT INTO T_GERAET (ID, GerMerkmalD) VALUES (1, 'Vom Flohmarkt'))",
         false, false, true,
         {{"T_BLS_KEY", 1}, {"T_BLS_DAT", 0}, {"T_INFO_KEY WHERE KEYTYPE=2", 1},
          {"T_GERAET WHERE GerMerkmalD='Vom Flohmarkt'", 1}, {"T_INFO_TREE WHERE KEYTYPE=2", 0},
          {"T_INFO_KEY WHERE KEYTYPE=5", -1}}},
        {"the user's term, stray food rows",
         R"(
            INSERT INTO T_INFO_KEY (ID, [KEY], KEYTYPE) VALUES (5, 'Blanchieren', 0);
            INSERT INTO T_INFO_KEY (ID, [KEY], KEYTYPE) VALUES (99999, 'Waise', 3);
            INSERT INTO T_BLS_TREE (BLSKEY, BLSDesc) VALUES ('Z', 'Alt'))",
         false, true, false,
         {{"T_INFO_KEY WHERE KEYTYPE<>3", 1}, {"T_INFO_KEY WHERE [KEY]='Waise'", 0},
          {"T_BLS_TREE WHERE BLSKEY='Z'", 0}, {"T_LEXIKON", 0}, {"T_GERAET", 0}}},
        {"read-only", "", true, false, false, {{"T_BLS_KEY", 0}, {"T_INFO_KEY", 0}, {"T_GERAET", 0}}},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = dir.File("alt" + std::to_string(++number) + ".mdb");
        {
            auto made = test::NewSchemaDatabase(path);
            std::istringstream statements(c.UserRows);
            for (std::string sql; std::getline(statements, sql, ';');)
                if (sql.find_first_not_of(" \n") != std::string::npos)
                    made->Execute(sql);
        }
        OpenOptions options;
        options.ReadOnly = c.ReadOnly;
        auto db = Database::OpenSqlite(path, options);
        const BaseDataFill filled = FillEmptyTablesFromInit(*db);
        EXPECT_FALSE(filled.Failed);
        EXPECT_EQ(filled.Foods, c.FoodsFilled ? shipped.at("T_BLS_KEY") : 0);
        EXPECT_EQ(filled.Lexicon, c.LexiconFilled);
        const auto count = [&](const std::string& from) {
            return db->Scalar("SELECT COUNT(*) FROM " + from).AsLong();
        };
        if (c.FoodsFilled) {
            EXPECT_EQ(count("T_BLS_DAT"), shipped.at("T_BLS_DAT"));
            EXPECT_EQ(count("T_BLS_TREE"), shipped.at("T_BLS_TREE"));
            EXPECT_GE(count("T_INFO_KEY WHERE KEYTYPE=3"), 300);
        }
        for (const auto& [from, expected] : c.Counts) {
            SCOPED_TRACE(from);
            if (expected < 0)
                EXPECT_GT(count(from), 0);
            else
                EXPECT_EQ(count(from), expected);
        }
        const BaseDataFill again = FillEmptyTablesFromInit(*db);
        EXPECT_EQ(again.Foods, 0);
        EXPECT_FALSE(again.Lexicon);
        EXPECT_TRUE(NoInitFilesLeft());
    }
    EXPECT_TRUE(ui.shown.empty());

    // A damaged food row: nothing changes, the error is shown with its line.
    std::string broken = csv;
    const std::size_t foodsAt = broken.find("T_BLS_KEY\t");
    ASSERT_NE(foodsAt, std::string::npos);
    broken.insert(broken.find('\n', foodsAt) + 1, "\tkeine Zahl\t\"X\"\r\n");
    ReplaceZip(&broken);
    auto db = test::NewSchemaDatabase(dir.File("kaputt.mdb"));
    const BaseDataFill failed = FillEmptyTablesFromInit(*db);
    EXPECT_TRUE(failed.Failed);
    EXPECT_FALSE(failed.Lexicon);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_NE(ui.shown[0].Text.find("Importzeile"), std::string::npos) << ui.shown[0].Text;
    for (const char* table : {"T_BLS_KEY", "T_INFO_KEY", "T_LEXIKON", "T_GERAET"})
        EXPECT_EQ(db->Scalar(std::string("SELECT COUNT(*) FROM ") + table).AsLong(), 0) << table;
    EXPECT_TRUE(NoInitFilesLeft());
}

} // namespace
} // namespace pf
