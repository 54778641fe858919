#include "exchange/RecipeImport.h"
#include "nutrition/FoodMatcher.h"

#include "db/Recordset.h"
#include "tests/nutrition/FoodFixture.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace pf::test {

namespace {

// Our German and English recipe collections imported with food matching on: the share of
// ingredient lines that get a food, and the lines that do not, for the food table's authors.
class RecipeCollectionTest : public NutritionTest
{
protected:
    void SetUp() override
    {
        m_db = MakeBaseDataDatabase(m_dir, "base.db", Foods::With);
        ASSERT_TRUE(m_db);
    }

    // Imports the file matching every line; returns the share of lines with a food in percent.
    double ImportMatched(const std::string& file, const std::string& language)
    {
        FoodMatcher matcher(*m_db, language);
        RecipeImport run(*m_db);
        run.Options().Files = {std::string(PF_TEST_DATA_DIR) + "/nutrition/" + file};
        run.Options().BLS = true;
        run.SetFoodKeyMatcher([&](const std::string& text) { return matcher.MatchFoodForIngredient(text); });
        EXPECT_TRUE(run.Import()) << run.LastErrorText();
        long lines = 0;
        long matched = 0;
        std::string open;
        auto rs = m_db->OpenRecordset(
            "SELECT ZutText,ZutBLSID FROM T_REZ_ZUTAT WHERE ZutTrenner=0 AND ZutRezept=0");
        for (; !rs->Eof(); rs->MoveNext()) {
            ++lines;
            if (rs->Field(1).AsLong() != 0)
                ++matched;
            else
                open += (open.empty() ? "" : ", ") + rs->Field(0).AsText();
        }
        EXPECT_EQ(run.Counters().BLSHit, matched);
        const double share =
            lines == 0 ? 0 : 100.0 * static_cast<double>(matched) / static_cast<double>(lines);
        std::printf("%s: %ld of %ld lines matched (%.1f %%); without food: %s\n", file.c_str(), matched,
                    lines, share, open.c_str());
        RecordProperty(file + " matched percent", static_cast<int>(share));
        return share;
    }
};

TEST_F(RecipeCollectionTest, GermanCollectionFindsItsFoods)
{
    EXPECT_GE(ImportMatched("german.mm", "D"), 90.0);
}

TEST_F(RecipeCollectionTest, EnglishCollectionFindsItsFoods)
{
    EXPECT_GE(ImportMatched("english.mm", "D"), 90.0);
}

// Words a recipe uses, with the food of the full table they must reach: a plain name is the fresh
// or raw base food, a processed one only when the text names the processing.
TEST_F(RecipeCollectionTest, LinesReachTheBaseFoodTheyName)
{
    const std::pair<const char*, const char*> cases[] = {
        {"garlic cloves", "Knoblauch"},           {"Knoblauchzehe", "Knoblauch"},
        {"Erbsen", "Erbsen, grün"},               {"Erbsen, tiefgekühlt", "Erbsen, tiefgefroren"},
        {"Kirschen", "Kirsche, süß"},             {"Kirschen, Konserve", "Kirschen, Konserve"},
        {"jalapeno pepper", "Jalapeño"},          {"chili powder", "Chilipulver"},
        {"Muskat", "Muskatnuss"},                 {"Weißweinessig", "Weinessig"},
        {"Rotweinessig", "Weinessig"},            {"Rinderhack", "Rinderhackfleisch"},
        {"Schinkenwürfel", "Rohschinken"},        {"Rinderrouladen", "Rinderbraten, Oberschale"},
        {"water", "Trinkwasser"},                 {"croutons", "Croutons"},
        {"anchovy fillets", "Sardellen"},         {"marinara sauce", "Tomatensauce"},
        {"kalamata olives", "Oliven, schwarz"},   {"pickles", "Gewürzgurke"},
        {"ground turkey", "Putenhackfleisch"},    {"linguine", "Spaghetti"},
        {"bread slices", "Weißbrot"},             {"slices bread", "Weißbrot"},
    };
    FoodMatcher matcher(*m_db, "D");
    for (const auto& [text, food] : cases) {
        const long id = matcher.MatchFoodForIngredient(text);
        auto rs = m_db->OpenRecordset("SELECT ST FROM T_BLS_KEY WHERE ID=?", {id});
        EXPECT_EQ(rs->Eof() ? std::string() : rs->Field(0).AsText(), food) << text;
    }
}

} // namespace

} // namespace pf::test
