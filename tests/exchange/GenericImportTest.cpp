// The generic table import: what spreadsheet programs write, the header rules, the cookbook
// filter and the recipes it makes.

#include "exchange/GenericImport.h"
#include "core/AppContext.h"
#include "core/TextConv.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "tests/support/BaseDataDb.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <tuple>

namespace pf::test {

namespace {

using Records = std::vector<std::vector<std::string>>;

TEST(GenericImport, SplitsFieldsAsSpreadsheetsWriteThem)
{
    // The text, its delimiter, the records and the line each record starts on.
    const std::tuple<const char*, char, Records, std::vector<long>> cases[] = {
        {"a;b;c\r\n1;2;3\r\n", ';', {{"a", "b", "c"}, {"1", "2", "3"}}, {1, 2}},
        {"a,\"b,c\",\"d \"\"e\"\"\"\n", ',', {{"a", "b,c", "d \"e\""}}, {1}},
        // A quoted field runs over line ends of every kind; the next record knows its line.
        {"\"x\r\ny\";z\r\nnext;1", ';', {{"x\r\ny", "z"}, {"next", "1"}}, {1, 3}},
        {"\"a\rb\"\tc\rd\te", '\t', {{"a\rb", "c"}, {"d", "e"}}, {1, 3}},
        {"a;;\n\n;b", ';', {{"a", "", ""}, {""}, {"", "b"}}, {1, 2, 3}},
        // A quote that never closes takes the rest of the text.
        {"a;\"b\nc", ';', {{"a", "b\nc"}}, {1}},
    };
    for (const auto& [text, delimiter, records, starts] : cases) {
        SCOPED_TRACE(text);
        std::vector<long> lines;
        EXPECT_EQ(SplitTable(text, delimiter, &lines), records);
        EXPECT_EQ(lines, starts);
    }
}

TEST(GenericImport, HeaderNamesTheDelimiter)
{
    const std::pair<const char*, char> cases[] = {
        {"a;b;c;d;e;f;g", ';'}, {"a,b,c", ','},   {"a;b,c", ';'},  {"a,b;c", ','},
        {"a\tb\tc", '\t'},      {"a\tb;c", '\t'}, {"a;b\tc", ';'}, {"Titel", ','},
    };
    for (const auto& [header, delimiter] : cases)
        EXPECT_EQ(TableDelimiter(header), delimiter) << header;
}

class GenericImportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app.WinUser = "koch";
        app.IniFile = dir.File("machine.ini");
        app.UserStoreFile = dir.File("user.ini");
        app.UI = &ui;
        db = MakeBaseDataDatabase(dir);
        ASSERT_TRUE(db);
        db->Execute("INSERT INTO T_BUCH (ID, BuchTitel, BuchBeschreib) VALUES (4, 'Sommer', 'gibt es')");
    }

    std::string Column(const std::string& sql)
    {
        std::string text;
        auto rs = db->OpenRecordset(sql);
        for (; !rs->Eof(); rs->MoveNext())
            text += (text.empty() ? "" : "|") + rs->Field(0).AsText();
        return text;
    }

    AppContext app;
    ScopedAppContext scope{app};
    ScriptedInteraction ui;
    TempDir dir;
    std::unique_ptr<Database> db;
};

// A table as a spreadsheet program writes it: a comment, an empty line, a quoted field over two
// lines and a line that begins with the delimiter.
const std::string kTable = ReadFile(std::string(PF_TEST_DATA_DIR) + "/table/recipes.csv");

TEST_F(GenericImportTest, SameTableInEveryEncodingGivesTheSameRows)
{
    for (const std::string& bytes : {kTable, "\xEF\xBB\xBF" + kTable, Utf8ToWin1252(kTable)}) {
        GenericTableImport run(*db);
        ASSERT_TRUE(run.ReadBytes(bytes)) << run.LastErrorText();
        EXPECT_EQ(run.Delimiter(), ';');
        ASSERT_EQ(run.Rows().size(), 4u);
        EXPECT_EQ(GenericTableImport::RowLabel(run.Rows()[0]), "Apfelkuchen [Backen, Kuchen, Obst, Herbst]");
        EXPECT_EQ(run.Rows()[1].Title, "Käse- spätzle");
        EXPECT_EQ(run.Rows()[1].Line, 5);
        EXPECT_EQ(run.Skipped(), 2); // the comment and the line that begins with the delimiter
        EXPECT_EQ(run.Failed(), 0);
        ASSERT_EQ(run.Books().size(), 3u);
        EXPECT_EQ(run.BookLabel(0), "Omas Beste [neu] (1)");
        EXPECT_EQ(run.BookLabel(1), "Sommer [bestehend] (2)");
        EXPECT_EQ(run.BookLabel(2), "Winter [neu] (1)");
    }
}

TEST_F(GenericImportTest, HeaderWidthAndMapDecideWhatIsAccepted)
{
    const std::pair<const char*, bool> headers[] = {
        {"a;b;c;d;e;f", false},                       {"a;b;c;d;e;f;g", true},
        {"a;b;c;d;e;f;g;h", false},                   {"a;b;c;d;e;f;g;h;i", true},
        {"a;b;c;d;e;f;g;h;i;j;k;l;m;n;o;p", true},    {"a;b;c;d;e;f;g;h;i;j;k;l;m;n;o;p;q", false},
    };
    for (const auto& [header, accepted] : headers) {
        GenericTableImport run(*db);
        EXPECT_EQ(run.ReadBytes(std::string(header) + "\r\nTitel\r\n"), accepted) << header;
        EXPECT_EQ(run.LastErrorText(),
                  accepted ? "" : "Die Datei scheint nicht das erwartete Format zu haben!");
    }
    // With a map any width that holds the mapped columns will do.
    GenericTableImport mapped(*db);
    for (const char* bad : {"", "title", "titel=1", "title=0", "title=65", "source=2", "title=1,page=x"})
        EXPECT_FALSE(mapped.SetMap(bad)) << bad;
    ASSERT_TRUE(mapped.SetMap("title=1,source=3,page=4,categories=5,books=6"));
    ASSERT_TRUE(mapped.ReadBytes(
        "Titel,x,Quelle,Seite,Kategorien,Bücher\nSuppe,,Heft,4,\"Vorspeise,Suppe\",Winter\n"));
    ASSERT_EQ(mapped.Rows().size(), 1u);
    EXPECT_EQ(GenericTableImport::RowLabel(mapped.Rows()[0]), "Suppe [Vorspeise, Suppe]");
    EXPECT_EQ(mapped.Rows()[0].Source, "Heft");
    EXPECT_FALSE(mapped.ReadBytes("Titel,x,Quelle,Seite,Kategorien\nSuppe\n"));
}

TEST_F(GenericImportTest, CommentsAreJudgedByTheLineAndLeftOutRowsAreCounted)
{
    // The table after its header, the titles read, the rows skipped and failed.
    const std::tuple<const char*, const char*, long, long> cases[] = {
        {"\"#1 Torte\";;;;Backen;;\n#2 Torte;;;;;;\n", "#1 Torte", 1, 0},
        {";Kaiserschmarrn;;;;;\n;;;;;;\n", "", 1, 0},
        {";;;;Suppe;;\n", "", 1, 0},
        {"\"\";Menükarte;;;Suppe;;\nLinsen;;;;;;\n", "Linsen", 0, 1},
    };
    for (const auto& [table, titles, skipped, failed] : cases) {
        SCOPED_TRACE(table);
        GenericTableImport run(*db);
        ASSERT_TRUE(run.ReadBytes(std::string("a;b;c;d;e;f;g\n") + table));
        std::string read;
        for (const TableRecipe& row : run.Rows())
            read += (read.empty() ? "" : "|") + row.Title;
        EXPECT_EQ(read, titles);
        EXPECT_EQ(run.Skipped(), skipped);
        EXPECT_EQ(run.Failed(), failed);
        EXPECT_EQ(run.Problems().size(), static_cast<std::size_t>(skipped + failed));
    }
}

TEST_F(GenericImportTest, ImportMakesTheChosenRowsWithTheirLinks)
{
    GenericTableImport run(*db);
    ASSERT_TRUE(run.ReadBytes(kTable));
    run.Books()[2].Selected = false; // "Winter": its only row goes
    EXPECT_EQ(run.Filter(), 1);
    ASSERT_EQ(run.Rows().size(), 3u);
    run.Rows()[2].Selected = false; // "Ohne Buch" is not wanted
    ASSERT_TRUE(run.Import("Aus der Tabelle")) << run.LastErrorText();
    EXPECT_EQ(run.Imported(), 2);

    EXPECT_EQ(Column("SELECT RezTitle || '/' || RezMenuCard || '/' || RezQuelle || '/' || RezQuellePage FROM "
                     "T_REZ_KOPF ORDER BY ID"),
              "Apfelkuchen/Apfelkuchen/Aus der Tabelle/12|Käse- spätzle/Spätzle/Heft/7");
    // One literature source for both rows (same title and edition), new cookbooks described.
    EXPECT_EQ(Column("SELECT Title || '/' || AusgabeNr FROM T_LITERATUR"), "Backbuch/3");
    EXPECT_EQ(Column("SELECT DISTINCT RezQuelleID FROM T_REZ_KOPF"),
              Column("SELECT QuelleID FROM T_LITERATUR"));
    EXPECT_EQ(Column("SELECT BuchTitel || '/' || BuchBeschreib FROM T_BUCH WHERE ID>0 ORDER BY BuchTitel"),
              "Omas Beste/Durch generischen Rezeptimport erzeugt|Sommer/gibt es");
    EXPECT_EQ(Column("SELECT COUNT(*) FROM T_REZ_KOCHBUCH WHERE BuchID=4"), "2"); // "Sommer"
    EXPECT_EQ(Column("SELECT p.RezTitle FROM T_REZ_KOPF r INNER JOIN T_REZ_KOPF p ON r.RezParent=p.ID"),
              "Apfelkuchen");
    EXPECT_EQ(Column("SELECT COUNT(*) FROM T_REZ_CAT_NDX WHERE ID=1"), "4");
    EXPECT_EQ(Column("SELECT DISTINCT RezImportSource FROM T_REZ_KOPF"), "7");
}

} // namespace

} // namespace pf::test
