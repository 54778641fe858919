// The lexicon the program ships: its sources agree with the base-data file, every keyword has its
// entry and its tree node, the additives' E numbers are unique, and a database whose lexicon is
// still empty receives it without losing what it holds.

#include "lexicon/LexiconContent.h"
#include "core/Utf8.h"
#include "lexicon/LexiconAreas.h"
#include "lexicon/LexiconTree.h"
#include "tests/lexicon/LexiconTestDb.h"
#include "tests/support/BaseDataDb.h"

#include <filesystem>
#include <map>
#include <set>

namespace pf {
namespace {

std::filesystem::path Repo()
{
    return std::filesystem::path(PF_TEST_DATA_DIR).parent_path().parent_path();
}

class LexiconContent : public test::LexiconDb
{
protected:
    void SetUp() override
    {
        LexiconDb::SetUp();
        db = test::MakeBaseDataDatabase(dir, "basis.db");
        ASSERT_TRUE(db) << "the base data does not load";
    }

    std::vector<std::vector<std::string>> Rows(const std::string& sql)
    {
        std::vector<std::vector<std::string>> rows;
        for (auto rs = db->OpenRecordset(sql); !rs->Eof(); rs->MoveNext()) {
            auto& row = rows.emplace_back();
            for (int i = 0; i < rs->FieldCount(); ++i)
                row.push_back(rs->Field(i).IsNull() ? std::string() : rs->Field(i).AsText());
        }
        return rows;
    }
};

TEST(LexiconSources, AgreeWithTheShippedBaseDataAndReportBadLinesWithFileAndLine)
{
    std::string error;
    const std::string made = MakeLexiconBaseData((Repo() / "data/lexicon").string(), error);
    ASSERT_EQ(error, "");
    EXPECT_TRUE(made == test::ReadFile((Repo() / "data/basedata/60_lexicon.csv").string()))
        << "data/basedata/60_lexicon.csv is out of date: build the target lexicon_basedata";

    // Bad lines are reported with file and line.
    test::TempDir dir;
    const std::string good[][2] = {{"trees.txt", "0\tF01\tGrund\n"},
                                   {"terms.txt", "# Kommentar\n0\tF01\tFond|stock@4\tSud.\n"},
                                   {"nutrients.txt", "10\t22\tV01\tVitamin A\tText.\n"},
                                   {"additives.txt", "E 100\tE01\tCurcumin\tgelb\tFarbstoff.\tSenf\n"},
                                   {"utensils.txt", "U01\tSchneebesen\tDraht.\n"}};
    auto writeAll = [&] {
        for (const auto& [name, text] : good)
            test::WriteFile(dir.File(name), text);
    };
    // The file, its bad text, the start of the error.
    const std::tuple<const char*, const char*, std::string> cases[] = {
        {"terms.txt", "\n0\tF01\tFond\n", "terms.txt Zeile 2: 3 Felder statt 4"},
        {"terms.txt", "1\tF01\tFond\tSud.\n", "terms.txt Zeile 1: Bereich 1 gehört nicht hierher"},
        {"terms.txt", "0\tF01\tFond||Sud\tSud.\n", "terms.txt Zeile 1: leeres Stichwort"},
        {"terms.txt", "0\tF01\tFond@en\tSud.\n", "terms.txt Zeile 1: \"en\" ist keine Zahl"},
        {"nutrients.txt", "5\t22\tV01\tA\tText.\n", "nutrients.txt Zeile 1: Bereich 5"},
        {"trees.txt", "x\tF01\tGrund\n", "trees.txt Zeile 1: \"x\" ist keine Zahl"},
    };
    for (const auto& [file, text, expected] : cases) {
        SCOPED_TRACE(text);
        writeAll();
        test::WriteFile(dir.File(file), text);
        std::string problem;
        EXPECT_EQ(MakeLexiconBaseData(dir.Path().string(), problem), "");
        EXPECT_EQ(problem.substr(0, expected.size()), expected);
    }
    writeAll();
    std::filesystem::remove(dir.File("utensils.txt"));
    MakeLexiconBaseData(dir.Path().string(), error);
    EXPECT_EQ(error, "utensils.txt: die Datei kann nicht gelesen werden");
}

TEST_F(LexiconContent, EveryAreaHasItsEntriesWithText)
{
    // What is counted, how, at least how many.
    const std::tuple<const char*, std::string, long> cases[] = {
        {"terms and techniques", "SELECT COUNT(*) FROM T_LEXIKON WHERE Type IN (0,5) AND LexikonD<>''", 150},
        {"techniques", "SELECT COUNT(*) FROM T_LEXIKON WHERE Type=5", 60},
        {"additives", "SELECT COUNT(*) FROM T_GIFT WHERE Info<>'' AND EnthaltenIn<>''", 300},
        {"coloured additives", "SELECT COUNT(*) FROM T_GIFT WHERE Farbe<>''", 40},
        {"utensils", "SELECT COUNT(*) FROM T_GERAET WHERE GerMerkmalD<>''", 80},
        {"vitamins", "SELECT COUNT(*) FROM T_LEXIKON WHERE Type=10", 17},
        {"minerals", "SELECT COUNT(*) FROM T_LEXIKON WHERE Type=11", 13},
    };
    for (const auto& [what, sql, atLeast] : cases)
        EXPECT_GE(Count(sql), atLeast) << what;

    // Every keyword's entry exists and every entry has a keyword.
    const std::map<long, std::string> entryIds = {
        {0, "SELECT ID FROM T_LEXIKON WHERE Type=0"},   {1, "SELECT ID FROM T_GIFT"},
        {2, "SELECT ID FROM T_GERAET"},                 {5, "SELECT ID FROM T_LEXIKON WHERE Type=5"},
        {10, "SELECT ID FROM T_LEXIKON WHERE Type=10"}, {11, "SELECT ID FROM T_LEXIKON WHERE Type=11"}};
    for (const auto& [area, sql] : entryIds) {
        SCOPED_TRACE(area);
        std::set<std::string> entries, keyed;
        for (const auto& row : Rows(sql))
            EXPECT_TRUE(entries.insert(row[0]).second) << "entry twice: " << row[0];
        for (const auto& row :
             Rows("SELECT DISTINCT ID FROM T_INFO_KEY WHERE KEYTYPE=" + std::to_string(area)))
            keyed.insert(row[0]);
        EXPECT_EQ(keyed, entries);
    }
    // Vitamins and minerals are the nutrient descriptors of their numbers.
    for (const auto& row : Rows("SELECT DISTINCT ID FROM T_INFO_KEY WHERE KEYTYPE IN (10,11)"))
        EXPECT_EQ(Count("SELECT COUNT(*) FROM T_BLS_FDESC WHERE DINDEX=" + row[0]), 1) << row[0];
}

TEST_F(LexiconContent, KeywordsHangInTheirAreasTreeAndFitTheirColumnsAndENumbersAreUnique)
{
    for (long area : {0L, 1L, 2L, 5L, 10L, 11L}) {
        SCOPED_TRACE(area);
        LexiconTree tree;
        tree.Load(*db, area);
        EXPECT_FALSE(tree.Nodes().empty());
        for (const LexiconTreeNode& node : tree.Nodes()) {
            EXPECT_FALSE(node.Caption.empty()) << node.Key;
            EXPECT_EQ(node.Parent, TreeParentKey(node.Key)) << node.Key << " has no parent node";
        }
        EXPECT_TRUE(tree.Entries("").empty()) << tree.Entries("").front()->Keyword << " has no tree node";
        // One keyword names one entry of an area.
        std::map<std::string, long> owners;
        for (const LexiconTreeEntry& entry : tree.AllEntries()) {
            EXPECT_LE(CharLength(entry.Keyword), 100u) << entry.Keyword;
            const auto [it, added] = owners.emplace(ToLower(entry.Keyword), entry.Id);
            EXPECT_TRUE(added || it->second == entry.Id) << entry.Keyword;
        }
    }
    for (const auto& row : Rows("SELECT [KEY],KEYDESC FROM T_INFO_TREE"))
        EXPECT_LE(CharLength(row[1]), 100u) << row[0];
    // The additives' E numbers are unique and in their range.
    std::set<std::string> seen;
    for (const auto& row : Rows("SELECT [KEY],Farbe FROM T_GIFT ORDER BY ID")) {
        const std::string& key = row[0];
        EXPECT_LE(CharLength(key), 16u);
        EXPECT_LE(CharLength(row[1]), 50u);
        EXPECT_TRUE(seen.insert(key).second) << key << " twice";
        ASSERT_GT(key.size(), 2u);
        EXPECT_EQ(key.substr(0, 2), "E ") << key;
        const long number = std::stol(key.substr(2));
        EXPECT_GE(number, 100);
        EXPECT_LE(number, 1521);
    }
}

} // namespace
} // namespace pf
