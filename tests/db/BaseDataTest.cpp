#include "db/BaseData.h"

#include "core/Utf8.h"
#include "db/Recordset.h"
#include "tests/db/AppFixture.h"
#include "tests/db/DbFixture.h"

#include <gtest/gtest.h>

namespace pf {
namespace {

const char* const kErrorCaption = "Fehler beim Erstellen einer neuen Datenbank";

// Records what an import or export shows in its progress window.
class RecordingProgress : public BaseDataProgress
{
public:
    void SetPercent(int percent) override { lastPercent = percent; }
    void SetCounter(long counter) override { lastCounter = counter; }
    void SetLabel(const std::string& text) override { labels.push_back(text); }

    int lastPercent = -1;
    long lastCounter = -1;
    std::vector<std::string> labels;
};

class BaseDataTest : public test::AppFixture
{
protected:
    // A new file with tables of three export groups and a column of every kind the format knows.
    std::unique_ptr<Database> NewDatabase(const std::string& name)
    {
        using T = FieldType;
        using test::F;
        const std::vector<IndexDef> pk{test::Primary({"ID"})};
        auto db = test::NewDatabase(dir.File(name));
        db->CreateTable({"T_CAT_TYPE",
                         {F("ID", T::Long), F("CatTypeName", T::Text, 50), F("CatClassified", T::Boolean)},
                         pk});
        db->CreateTable({"T_CAT", {F("ID", T::Long), F("CatNameD", T::Text, 50), F("CatType", T::Long)}, pk});
        db->CreateTable({"T_UNIT",
                         {F("ID", T::Long), F("UnitShortD", T::Text, 10), F("UnitNameD", T::Text, 50),
                          F("ConvMetrisch", T::Currency), F("AutoScaleValue", T::Double),
                          F("Unscaled", T::Boolean), F("NaehrScaleIndex", T::Integer)},
                         pk});
        db->CreateTable({"T_REZ_KOPFEINHEIT", {F("ID", T::Long), F("NameD", T::Text, 50)}, pk});
        db->CreateTable({"T_GERAET",
                         {F("ID", T::Long), F("GerMerkmalD", T::Memo), F("GerBild", T::Binary),
                          F("Stand", T::Date), F("Language", T::Byte)},
                         pk});
        return db;
    }

    static std::vector<std::vector<Value>> Rows(Database& db, const std::string& table)
    {
        std::vector<std::vector<Value>> rows;
        for (auto rs = db.OpenRecordset("SELECT * FROM " + table + " ORDER BY ID"); !rs->Eof();
             rs->MoveNext()) {
            std::vector<Value>& row = rows.emplace_back();
            for (int i = 0; i < rs->FieldCount(); ++i)
                row.push_back(rs->Field(i));
        }
        return rows;
    }
};

TEST_F(BaseDataTest, ExportThenImportGivesTheSameTableContents)
{
    auto source = NewDatabase("quelle.mdb");
    const std::vector<std::string> texts = {"Tab\tin der Mitte",
                                            "Zitat \"so\"",
                                            "C:\\Pfad\\",
                                            "Zeile 1\r\nZeile 2",
                                            "Grüße aus Köln, Öl & Maß",
                                            "",
                                            "\x01\x1f vorne"};
    for (long i = 0; i < static_cast<long>(texts.size()); ++i)
        source->Execute("INSERT INTO T_CAT (ID, CatNameD, CatType) VALUES (?, ?, ?)",
                        {i + 1, texts[static_cast<std::size_t>(i)], i});
    source->Execute("INSERT INTO T_CAT (ID, CatNameD, CatType) VALUES (20, NULL, NULL)");
    source->Execute("INSERT INTO T_CAT_TYPE (ID, CatTypeName, CatClassified) VALUES (?, ?, ?), (?, ?, ?)",
                    {1, "Länder", true, 2, "Gänge", false});
    source->Execute("INSERT INTO T_UNIT (ID, UnitShortD, UnitNameD, ConvMetrisch, AutoScaleValue, Unscaled, "
                    "NaehrScaleIndex) VALUES (?, ?, ?, ?, ?, ?, ?)",
                    {1, "GR", "Gramm", Decimal4::Parse("1000.1234"), 0.1, true, -3});
    source->Execute("INSERT INTO T_UNIT (ID, UnitShortD, ConvMetrisch, AutoScaleValue) VALUES (?, ?, ?, ?)",
                    {2, "EL", Decimal4::Parse("-0.0001"), 1.0 / 3.0});
    source->Execute("INSERT INTO T_REZ_KOPFEINHEIT (ID, NameD) VALUES (1, 'Portionen')");
    Blob picture;
    for (int b = 0; b < 256; ++b)
        picture.push_back(static_cast<std::uint8_t>(b));
    source->Execute("INSERT INTO T_GERAET (ID, GerMerkmalD, GerBild, Stand, Language) VALUES (?, ?, ?, ?, ?)",
                    {7, "Ein Topf\r\nmit \"Deckel\"\t und Ümlaut", picture, DateSerial{43462}, 1});
    source->Execute("INSERT INTO T_GERAET (ID, GerMerkmalD, GerBild, Stand) VALUES (8, '', NULL, NULL)");

    const std::string file = dir.File("basis.csv");
    ASSERT_TRUE(ExportBaseData(*source, file, basedata::kCategories | basedata::kUnits | basedata::kUtensils,
                               nullptr));

    auto target = NewDatabase("ziel.mdb");
    target->Execute("INSERT INTO T_CAT (ID, CatNameD, CatType) VALUES (99, 'alt', 0)");
    ASSERT_TRUE(ImportBaseData(*target, file, nullptr));
    EXPECT_TRUE(ui.shown.empty());
    for (const char* table : {"T_CAT_TYPE", "T_CAT", "T_UNIT", "T_REZ_KOPFEINHEIT", "T_GERAET"}) {
        SCOPED_TRACE(table);
        EXPECT_EQ(Rows(*target, table), Rows(*source, table));
    }
}

TEST_F(BaseDataTest, ExportWritesTheExactFormat)
{
    auto db = NewDatabase("klein.mdb");
    db->Execute("INSERT INTO T_CAT_TYPE (ID, CatTypeName, CatClassified) VALUES (1, 'Länder', -1), (2, ?, 0)",
                {"A\t\"B\"\\C"});
    db->Execute("INSERT INTO T_CAT (ID, CatNameD, CatType) VALUES (1, 'Italien', 1), (2, '', NULL)");
    db->Execute("INSERT INTO T_UNIT (ID, UnitShortD, ConvMetrisch, AutoScaleValue, Unscaled) "
                "VALUES (3, 'ML', 1.5, 0.25, 0)");
    db->Execute("INSERT INTO T_GERAET (ID, GerMerkmalD, GerBild, Stand) VALUES (4, ?, ?, ?)",
                {"Öl", Blob{0x00, 0xFF}, DateSerial{43462.75}});
    const std::string file = dir.File("golden.csv");
    RecordingProgress progress;
    ASSERT_TRUE(ExportBaseData(*db, file, basedata::kCategories | basedata::kUnits | basedata::kUtensils,
                               &progress, "28.12.2018"));
    const std::string expected = "VERSION\tProgVer\tDATE\r\n"
                                 "VERSION\tv2.00.126\t28.12.2018\r\n"
                                 "T_CAT_TYPE\tID\tCatTypeName\tCatClassified\r\n"
                                 "\t1\t\"Länder\"\tTrue\r\n"
                                 "\t2\t\"A\\009\\034B\\034\\092C\"\tFalse\r\n"
                                 "T_CAT\tID\tCatNameD\tCatType\r\n"
                                 "\t1\t\"Italien\"\t1\r\n"
                                 "\t2\t\"\"\t\r\n"
                                 "T_UNIT\tID\tUnitShortD\tUnitNameD\tConvMetrisch\tAutoScaleValue\tUnscaled\t"
                                 "NaehrScaleIndex\r\n"
                                 "\t3\t\"ML\"\t\t1.5\t0.25\tFalse\t\r\n"
                                 "T_REZ_KOPFEINHEIT\tID\tNameD\r\n"
                                 "T_GERAET\tID\tGerMerkmalD\tGerBild\tStand\tLanguage\r\n"
                                 "\t4\t\"w5Zs\"\t\"AP8=\"\t43462\t\r\n";
    EXPECT_EQ(test::ReadFile(file), expected);
    EXPECT_EQ(progress.labels,
              (std::vector<std::string>{"T_CAT_TYPE", "T_CAT", "T_UNIT", "T_REZ_KOPFEINHEIT", "T_GERAET"}));
    EXPECT_EQ(progress.lastPercent, 100);
}

// A table the file names twice keeps the rows of both sections; rows stored before are replaced.
// A filtered load that appends keeps the rows already stored and adds only what the filter accepts.
TEST_F(BaseDataTest, ImportSkipsCommentsAndShowsTableAndCounter)
{
    auto db = NewDatabase("ziel.mdb");
    db->Execute("INSERT INTO T_CAT (ID, CatNameD) VALUES (9, 'Alt')");
    const std::string file = dir.File("basis.csv");
    test::WriteFile(file, "VERSION\tProgVer\tDATE  \r\n"
                          "VERSION\tv2.00.126\t01.01.2019\r\n"
                          "# Kategorien\r\n"
                          "T_CAT\tCatNameD\tID\r\n"
                          "#\t\"keine Zeile\"\t5\r\n"
                          "\t\"Suppen\"\t1\r\n"
                          "\r\n"
                          "\t\"Salate\"\t2\r\n"
                          "T_REZ_KOPFEINHEIT\tID\tNameD\n"
                          "\t1\tStück\n"
                          "T_CAT\tID\tCatNameD\r\n"
                          "\t3\t\"Desserts\"\r\n");
    RecordingProgress progress;
    ASSERT_TRUE(ImportBaseData(*db, file, &progress));
    EXPECT_EQ(db->Scalar("SELECT COUNT(*) FROM T_CAT").AsLong(), 3);
    EXPECT_EQ(db->Scalar("SELECT COUNT(*) FROM T_CAT WHERE ID=9").AsLong(), 0);
    EXPECT_EQ(db->Scalar("SELECT CatNameD FROM T_CAT WHERE ID=2").AsText(), "Salate");
    EXPECT_EQ(db->Scalar("SELECT NameD FROM T_REZ_KOPFEINHEIT WHERE ID=1").AsText(), "Stück");
    EXPECT_EQ(progress.labels,
              (std::vector<std::string>{"T_CAT werden geladen", "T_REZ_KOPFEINHEIT werden geladen",
                                        "T_CAT werden geladen"}));
    EXPECT_EQ(progress.lastCounter, 1);

    db->Execute("DELETE FROM T_CAT WHERE ID<>1");
    db->Execute("UPDATE T_REZ_KOPFEINHEIT SET NameD='eigene'");
    BaseDataFilter filter;
    filter.Append = true;
    filter.Accept = [](const std::string& table, const std::vector<FieldDef>& columns,
                       const std::vector<Value>& row) {
        if (table != "T_CAT")
            return false;
        for (std::size_t i = 0; i < columns.size(); ++i)
            if (columns[i].Name == "ID")
                return row[i].AsLong() != 1;
        return false;
    };
    ASSERT_TRUE(ImportBaseData(*db, file, nullptr, filter));
    EXPECT_EQ(db->Scalar("SELECT COUNT(*) FROM T_CAT WHERE ID=1").AsLong(), 1);
    EXPECT_EQ(db->Scalar("SELECT COUNT(*) FROM T_CAT").AsLong(), 3);
    EXPECT_EQ(db->Scalar("SELECT NameD FROM T_REZ_KOPFEINHEIT").AsText(), "eigene");
}

TEST_F(BaseDataTest, BrokenLineIsReportedWithNumberTextAndCaption)
{
    const std::string longLine = "\t\"" + std::string(200, 'x') + "\"\t\"ä\"\t1";
    struct Case
    {
        const char* Name;
        std::string Content;
        long Line;
        std::string Description;
        long RowsKept;
    };
    const std::string head = "VERSION\tProgVer\tDATE\r\nVERSION\tv2.00.126\t01.01.2019\r\n";
    const std::vector<Case> cases = {
        {"first line", "VERSION\tProgVer\r\nT_CAT\tID\r\n\t1\r\n", 1, "keine Basisdaten-Datei", 1},
        {"unknown table", head + "T_NIRGENDS\tID\r\n", 3, "T_NIRGENDS", 1},
        {"unknown column", head + "T_CAT\tID\tFarbe\r\n", 3, "keine Spalte \"Farbe\"", 1},
        {"row before table", head + "\t1\t\"x\"\r\n", 3, "keine Tabellen-Kopfzeile", 1},
        {"too many values", head + "T_CAT\tID\tCatNameD\r\n\t1\t\"a\"\r\n\t2\t\"b\"\t3\r\n", 5,
         "enthält 3 Werte", 1},
        {"bad base64", head + "T_GERAET\tID\tGerMerkmalD\r\n\t1\t\"!!\"\r\n", 4, "kein gültiger Base64-Text",
         1},
        {"long line", head + "T_CAT\tID\tCatNameD\r\n" + longLine + "\r\n", 4, "enthält 3 Werte", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        auto db = NewDatabase(std::string(c.Name) + ".mdb");
        db->Execute("INSERT INTO T_CAT (ID, CatNameD) VALUES (1, 'vorher')");
        const std::string file = dir.File("kaputt.csv");
        test::WriteFile(file, c.Content);
        ui.shown.clear();
        EXPECT_FALSE(ImportBaseData(*db, file, nullptr));
        ASSERT_EQ(ui.shown.size(), 1u);
        const std::string& text = ui.shown[0].Text;
        EXPECT_EQ(ui.shown[0].Caption, kErrorCaption);
        EXPECT_EQ(ui.shown[0].Icon, MsgIcon::Critical);
        EXPECT_NE(text.find("korrupte \"INIT.ZIP\" Datei, in Zeile " + std::to_string(c.Line) +
                            " der folgende Fehler aufgetreten:\r\n"),
                  std::string::npos)
            << text;
        EXPECT_NE(text.find(c.Description), std::string::npos) << text;
        EXPECT_NE(text.find("Bitte die Fehlermeldung an den Pfannola Support melden!"), std::string::npos);
        EXPECT_EQ(db->Scalar("SELECT COUNT(*) FROM T_CAT").AsLong(), c.RowsKept);
    }
    // The line text shown is cut after 160 characters.
    const std::string& text = ui.shown[0].Text;
    const std::string shown = CharSubstr(longLine, 0, 160);
    EXPECT_NE(text.find("beginnt mit folgendem Text:\r\n" + shown + "\r\n"), std::string::npos) << text;
}

TEST(BaseDataEncoding, TextEscapesAndBase64)
{
    EXPECT_EQ(EncodeBaseDataText("a\tb\"c\\d\re\nf\x7fü"), "a\\009b\\034c\\092d\\013e\\010f\x7fü");
    EXPECT_EQ(DecodeBaseDataText("a\\009b\\034\\092\\13x\\"), "a\tb\"\\\\13x\\");
    // Codes above 127 are Windows-1252 characters, so that the text stays UTF-8 and writes back alike.
    EXPECT_EQ(DecodeBaseDataText("\\255\\228\\128"), "ÿä€");
    struct Case
    {
        const char* Plain;
        const char* Encoded;
    };
    for (const Case& c : {Case{"", ""}, Case{"f", "Zg=="}, Case{"fo", "Zm8="}, Case{"foo", "Zm9v"},
                          Case{"foob", "Zm9vYg=="}, Case{"fooba", "Zm9vYmE="}, Case{"foobar", "Zm9vYmFy"}}) {
        SCOPED_TRACE(c.Plain);
        EXPECT_EQ(EncodeBase64(c.Plain), c.Encoded);
        std::string decoded;
        EXPECT_TRUE(DecodeBase64(c.Encoded, decoded));
        EXPECT_EQ(decoded, c.Plain);
    }
    std::string ignored;
    for (const char* bad : {"Zg=", "Zm9v!", "Zg==Zg==", "Z"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(DecodeBase64(bad, ignored));
    }
}

} // namespace
} // namespace pf
