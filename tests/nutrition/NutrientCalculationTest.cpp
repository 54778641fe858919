#include "nutrition/FoodTables.h"
#include "nutrition/NutrientTablePrint.h"
#include "nutrition/UnitMatching.h"

#include "db/Recordset.h"
#include "tests/nutrition/FoodFixture.h"
#include "tests/output/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <tuple>

namespace pf::test {

namespace {

class NutrientCalculationTest : public FoodFixture
{
protected:
    void SetUp() override
    {
        FoodFixture::SetUp();
        ASSERT_TRUE(m_tables.Load(*m_db));
    }

    // A German recipe for four with every way a line reaches grams, and every way it cannot.
    void AddMixedRecipe()
    {
        AddRecipe(1, "Alles drin", 4,
                  {{2, 1, "Eier", 3},           // pieces, the food's standard unit: 2 x 60 g
                   {3, 0, "Zwiebeln", 1},       // no unit: three mean portions of 80 g
                   {250, 31, "Mehl", 4},        // grams
                   {2, 8, "Mehl", 4},           // cups, the food's alternative unit: 2 x 125 g
                   {1, 7, "Butter", 8},         // spoon, the food's standard unit: 10 g
                   {2, 7, "Milch", 9},          // spoons through the unit table: 2 x 15 g
                   {8, 36, "Wurst", 10},        // ounces: 8 x 28.3495 g
                   {1, 11, "Tomaten", 6},       // a tin weighs nothing known
                   {0, 0, "Salz", 0},           // no food
                   {0, 31, "Sahne", 13},        // no quantity
                   {1, 0, "Champignon", 12},    // no unit, no portion weight
                   {1, 0, "Möhre", 5},          // no unit: one mean portion of 100 g
                   {1, 31, "verschwunden", 99}, // the food no longer exists
                   {1, 8, "Milch", 9}});        // a cup through the unit table: 240 g
    }

    // What each line of a recipe weighs after the conversion, or why it does not count.
    using Grams = std::vector<std::pair<double, const char*>>;
    static void ExpectLines(const UnitMatching& matching, const Grams& expected)
    {
        ASSERT_EQ(matching.Lines().size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const ConversionLine& line = matching.Lines()[i];
            const auto& [grams, leftOut] = expected[i];
            SCOPED_TRACE(line.Ingredient);
            EXPECT_EQ(line.LeftOut, leftOut);
            if (line.LeftOut.empty()) {
                EXPECT_EQ(line.Quantity, Decimal4::FromDouble(grams));
            }
        }
    }

    FoodTables m_tables;
};

TEST_F(NutrientCalculationTest, LinesBecomeGramsOrSayWhyNotAddUpPerServingAndTeachTheirWeight)
{
    AddMixedRecipe();
    UnitMatching matching(*m_db, m_tables);
    ASSERT_TRUE(matching.NextID(1));
    EXPECT_EQ(matching.Title(), "Alles drin");
    EXPECT_EQ(matching.Servings(), 4);
    ExpectLines(matching, {{120, ""}, {240, ""}, {250, ""}, {250, ""}, {10, ""}, {30, ""}, {226.796, ""},
                           {0, "Einheit Dose ohne Gewichtsangabe"}, {0, "ohne Nahrungsmittel"},
                           {0, "ohne Mengenangabe"}, {0, "ohne Einheit und ohne Portionsgewicht"}, {100, ""},
                           {0, "Nahrungsmittel nicht vorhanden"}, {240, ""}});
    EXPECT_EQ(matching.LeftOutLines().size(), 5u);

    NutrientTable table = matching.Calculate();
    ASSERT_TRUE(table.ShowItems());
    // By hand, kcal: 120*1.5 + 240*0.28 + 500*3.5 + 10*7.4 + 270*0.64 + 226.796*3 + 100*0.4
    // = 2964.388 for four servings. Protein (mg): 120*125 + 240*12 + 500*100 + 10*7 + 270*33
    // + 226.796*130 + 100*9 = 107243.48.
    EXPECT_EQ(Shown(table, "GCAL"), "741,097");
    EXPECT_EQ(Shown(table, "ZE"), "26.810,870");
    EXPECT_EQ(table.WeightLabel(), "Portionsgewicht ca. 367 Gramm"); // 1466.796 g / 4
    EXPECT_EQ(table.ValueHeader(), "pro Portion");
    // Only nutrients some food contains are listed.
    EXPECT_EQ(table.Lines().size(), 3u);

    matching.SetServings(1);
    NutrientTable whole = matching.Calculate();
    ASSERT_TRUE(whole.ShowItems());
    EXPECT_EQ(Shown(whole, "GCAL"), "2.964,388");
    EXPECT_EQ(whole.WeightLabel(), "Gewicht ca. 1.467 Gramm");

    // Leaving a line out takes it off the table.
    matching.SetServings(4);
    matching.SetSkip(0, true);
    EXPECT_EQ(matching.Lines()[0].LeftOut, "ausgelassen");
    EXPECT_EQ(Shown(matching.Calculate(), "GCAL"), "696,097"); // without the eggs' 180 kcal
    matching.SetSkip(0, false);
    EXPECT_EQ(Shown(matching.Calculate(), "GCAL"), "741,097");

    // Weighing the tin by hand counts it; learning writes only what the person agreed to.
    const std::size_t tin = 7;
    ASSERT_EQ(matching.Lines()[tin].Ingredient, "Tomaten");
    matching.SetGrams(tin, Decimal4::FromLong(400));
    EXPECT_TRUE(matching.Lines()[tin].LeftOut.empty());
    EXPECT_EQ(Shown(matching.Calculate(), "GCAL"), "761,097"); // plus 400 g x 0.2 kcal / 4

    const auto unitsOfTomato = [&] {
        auto rs =
            m_db->OpenRecordset("SELECT ProduktStandardEinheit,ProduktStandardMenge,ProduktAlternativEinheit,"
                                "ProduktAlternativMenge FROM T_BLS_KEY WHERE ID=6");
        return std::vector<double>{rs->Field(0).AsDouble(), rs->Field(1).AsDouble(), rs->Field(2).AsDouble(),
                                   rs->Field(3).AsDouble()};
    };
    m_ui.Answering(Answer::No);
    EXPECT_EQ(matching.LearnChanged(m_ui), 0);
    EXPECT_EQ(unitsOfTomato(), (std::vector<double>{1, 70, 0, 0}));

    m_ui.Answering(Answer::Yes).ChoosingItem(1);
    EXPECT_EQ(matching.LearnChanged(m_ui), 1);
    EXPECT_EQ(unitsOfTomato(), (std::vector<double>{1, 70, 11, 400}));
    EXPECT_TRUE(m_ui.AllAnswersUsed());

    // The next calculation knows what a tin of tomatoes weighs.
    ASSERT_TRUE(matching.NextID(1));
    EXPECT_EQ(matching.Lines()[tin].Quantity, Decimal4::FromLong(400));
    EXPECT_EQ(matching.LearnChanged(m_ui), 0); // nothing changed, nothing asked
}

// A line without quantity is one unit of what it names; a line without unit counts in the food's
// mean portions, never in pieces; only grams and millilitres are taken as written.
TEST_F(NutrientCalculationTest, MissingQuantitiesAndUnits)
{
    // An onion weighs 80 g, a portion of onions is 50 g.
    m_db->Execute("UPDATE T_BLS_DAT SET GP=50 WHERE SBLS='G100000'");
    AddRecipe(2, "Lücken", 1,
              {{0, 1, "Ei", 3},         // the food's primary unit
               {0, 8, "Tasse Mehl", 4}, // the food's alternative unit
               {0, 7, "EL Milch", 9},   // the unit table
               {0, 0, "Möhre", 5},      // a mean portion
               {2, 0, "Zwiebeln", 1},   // portions, although the food has pieces
               {2, -1, "Zwiebeln", 1},  // an unknown unit is no unit
               {0, 31, "g Sahne", 13},  // grams without amount
               {0, 11, "Dose Tomaten", 6},
               {3, 1, "Stück Möhre", 5}, // a piece that neither food nor unit table weighs
               {2, 0, "Champignons", 12}});
    UnitMatching matching(*m_db, m_tables);
    ASSERT_TRUE(matching.NextID(2));
    ExpectLines(matching, {{60, ""}, {125, ""}, {15, ""}, {100, ""}, {100, ""}, {100, ""},
                           {0, "ohne Mengenangabe"}, {0, "Einheit Dose ohne Gewichtsangabe"},
                           {0, "Einheit Stück ohne Gewichtsangabe"},
                           {0, "ohne Einheit und ohne Portionsgewicht"}});
    // 60 g egg x 1.5 + 125 g flour x 3.5 + 15 g milk x 0.64 + 100 g carrot x 0.4 + 200 g onion x 0.28
    EXPECT_EQ(Shown(matching.Calculate(), "GCAL"), "633,100");

    // A tin weighed by hand teaches the tomato what one tin weighs, although the line named none;
    // a line without unit has no unit to teach.
    matching.SetGrams(7, Decimal4::FromLong(400));
    matching.SetGrams(4, Decimal4::FromLong(160));
    EXPECT_TRUE(matching.Learn(7, false));
    EXPECT_FALSE(matching.Learn(4, true));
    auto rs = m_db->OpenRecordset(
        "SELECT ID,ProduktStandardEinheit,ProduktAlternativEinheit,ProduktAlternativMenge FROM T_BLS_KEY "
        "WHERE ID IN (1,6) ORDER BY ID");
    EXPECT_EQ(rs->Field(1).AsLong(), 1); // the onion keeps its piece
    rs->MoveNext();
    EXPECT_EQ(rs->Field(2).AsLong(), 11);
    EXPECT_EQ(rs->Field(3).AsCurrency(), Decimal4::FromLong(400));
}

TEST_F(NutrientCalculationTest, SingleFoodsAndEmptyTablesWithGermanSeparatorsAndRounding)
{
    NutrientTable hundred(*m_db, m_tables);
    EXPECT_TRUE(hundred.AddItems("G100000", Decimal4::FromLong(100))); // by code
    ASSERT_TRUE(hundred.ShowItems());
    EXPECT_EQ(hundred.WeightLabel(), "Gewicht ca. 100 Gramm");
    EXPECT_EQ(hundred.ValueHeader(), "pro Portion");
    EXPECT_EQ(Shown(hundred, "GCAL"), "28,000");

    // Per 100 g only: the weight is what the constituents weigh (1.2 g protein + 0.2 g fat).
    NutrientTable per100(*m_db, m_tables);
    EXPECT_TRUE(per100.AddItems("1", Decimal4()));
    ASSERT_TRUE(per100.ShowItems());
    EXPECT_EQ(per100.ValueHeader(), "pro 100g/ml");
    EXPECT_EQ(per100.WeightLabel(), "ca. 1 Gramm");
    EXPECT_EQ(Shown(per100, "ZE"), "1.200,000");

    // A food without a fat value adds nothing to the fat and is counted as missing there.
    NutrientTable missing(*m_db, m_tables);
    EXPECT_TRUE(missing.AddItems("11", Decimal4::FromLong(150)));
    EXPECT_TRUE(missing.AddItems("1", Decimal4::FromLong(80)));
    ASSERT_TRUE(missing.ShowItems());
    for (const NutrientLine& line : missing.Lines())
        EXPECT_EQ(line.Missing, line.Key == "ZF" ? 1 : 0) << line.Key;
    EXPECT_EQ(Shown(missing, "ZF"), "160,000");

    // On paper: every shown value ends at its column, the incomplete one is marked and explained,
    // and the lines left out are listed with their reason.
    m_app.VersionText = "v2.00.126";
    test::RecordingCanvas canvas;
    PrintNutrientTable(canvas, "Paprikagemüse", missing, {{"1 Prise Salz", "ohne Nahrungsmittel"}});
    canvas.Finish();
    test::ExpectSoundLayout(canvas);
    for (const char* text : {"Paprikagemüse", "Gewicht ca. 230 Gramm", "pro Portion", "160,000",
                             "1 Prise Salz", "ohne Nahrungsmittel"})
        ASSERT_TRUE(test::FindText(canvas, text)) << text;
    EXPECT_NEAR(test::FindText(canvas, "160,000")->X + test::FindText(canvas, "160,000")->W, 7200, 0.01);
    const std::vector<std::string> texts = test::DrawnTexts(canvas);
    EXPECT_EQ(
        std::count_if(texts.begin(), texts.end(), [](const std::string& t) { return t.ends_with(" *"); }), 1);

    // Unknown foods add nothing; a table of nothing says so.
    NutrientTable empty(*m_db, m_tables);
    EXPECT_FALSE(empty.AddItems("99", Decimal4::FromLong(100)));
    EXPECT_FALSE(empty.AddItems("X999999", Decimal4::FromLong(100)));
    EXPECT_FALSE(empty.ShowItems(&m_ui));
    ASSERT_EQ(m_ui.shown.size(), 1u);
    EXPECT_EQ(m_ui.shown[0].Text, "Es gibt keine Nährwertinformationen zum Anzeigen.");

    // Values are shown with German separators and rounded.
    // Value, decimals, text.
    const std::tuple<double, int, const char*> cases[] = {
        {1234.5678, 3, "1.234,568"}, {0.0005, 3, "0,001"}, {-2.5, 0, "-3"}, {999999.9996, 3, "1.000.000,000"},
        {0, 0, "0"}, {12, 2, "12,00"}, {-0.0004, 3, "0,000"}, {1000, 0, "1.000"},
    };
    for (const auto& [value, decimals, text] : cases)
        EXPECT_EQ(FormatGrouped(Decimal4::FromDouble(value), decimals), text) << value;
}

TEST_F(NutrientCalculationTest, TablesOfTheDatabase)
{
    // The shipped descriptors start at DINDEX 7 with energy; the class tree is padded to ten.
    ASSERT_FALSE(m_tables.NutrientDescriptors().empty());
    EXPECT_EQ(m_tables.NutrientDescriptors().front().Key, "GCAL");
    EXPECT_EQ(m_tables.NutrientDescriptors().front().Dimension, "kcal");
    // Dimensions lose their "per 100".
    EXPECT_EQ(FoodTables::ShortDimension("mg/100g"), "mg");
    EXPECT_EQ(FoodTables::ShortDimension(" kcal / 100 g "), "kcal");
    EXPECT_EQ(FoodTables::ShortDimension("g"), "g");
    EXPECT_EQ(FoodTables::ShortDimension("mg/g"), "mg/g"); // no number after the "/"
    EXPECT_EQ(m_tables.Scale(36).ScaleValue, Decimal4::Parse("28.3495"));
    m_db->Execute("INSERT INTO T_BLS_TREE (BLSKEY,BLSDesc,BLSDescE) VALUES ('ZZ9','Probe','Sample')");
    FoodTables english;
    ASSERT_TRUE(english.Load(*m_db, "E"));
    EXPECT_EQ(english.FoodClassList().back(), "ZZ9       Sample");
    EXPECT_EQ(english.NutrientDescriptors().front().Description, "Energy (kilocalories)");
    // Without nutrient descriptors there is nothing to calculate with.
    m_db->Execute("DELETE FROM T_BLS_FDESC WHERE DINDEX>6");
    FoodTables none;
    EXPECT_FALSE(none.Load(*m_db));
}

} // namespace

} // namespace pf::test
