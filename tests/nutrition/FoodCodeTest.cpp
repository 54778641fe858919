#include "nutrition/FoodCode.h"
#include "nutrition/FoodSynonyms.h"
#include "nutrition/Nutrition.h"

#include "tests/nutrition/FoodFixture.h"

#include <gtest/gtest.h>

namespace pf::test {

namespace {

TEST(FoodCode, DescriptionOfEachPosition)
{
    const struct
    {
        const char* Code;
        const char* Text;
    } cases[] = {
        {"M320200", "Viertelfettstufe (10%) F.i.Tr.\r\nhandelsüblich, nicht zubereitet\r\n"
                    "Verzehrsgewicht ohne Küchenabfall"},
        {"M100400", "<10% Fett (ohne Angabe = 7.5% Fett)\r\nhandelsüblich, nicht zubereitet\r\n"
                    "Verzehrsgewicht ohne Küchenabfall"},
        {"M830500",
         "Fettstufe (40%) F.i.Tr.\r\nhandelsüblich, nicht zubereitet\r\nVerzehrsgewicht ohne Küchenabfall"},
        {"N530314", "Getränk mit Milch und Zucker\r\nhandelsüblich, nicht zubereitet\r\n"
                    "Verzehrsgewicht mit Küchenabfall"},
        // Position 6 of a component and of another food.
        {"X000020", "Hauptkomponente, Grossküche\r\nVerzehrsgewicht ohne Küchenabfall"},
        {"F000020", "handelsüblich, unverarbeitet\r\ngegart (allgemein), erwärmt, aufbereitet, blanchiert, "
                    "mikrowellenerwärmt, mikrowellengegart\r\nVerzehrsgewicht ohne Küchenabfall"},
        // Digits that say nothing, letters, short codes.
        {"G100986", "Konserve\r\ngebraten in Fett, fritiert"},
        {"B10A9", ""},
        {"Y1", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DescribeFoodCode(c.Code), c.Text) << c.Code;
}

class FoodInfoTest : public FoodFixture
{
};

TEST_F(FoodInfoTest, InformationComesFromTheNearestGeneralCode)
{
    m_db->Execute("UPDATE T_BLS_KEY SET ProduktInfo='Zwiebeln allgemein' WHERE SBLS='G100000'");
    m_db->Execute("UPDATE T_BLS_KEY SET ProduktInfo='Getrocknet' WHERE SBLS='G100400'");
    const struct
    {
        const char* Code;
        const char* Text;
        const char* Used;
    } cases[] = {{"G100400", "Getrocknet", "G100400"},
                 {"G100956", "Zwiebeln allgemein", "G100000"},
                 {"G123456", "", "G120000"}};
    for (const auto& c : cases) {
        std::string code = c.Code;
        EXPECT_EQ(GetFoodInfoText(*m_db, code), c.Text) << c.Code;
        EXPECT_EQ(code, c.Used) << c.Code;
    }
}

TEST_F(FoodInfoTest, SynonymsReachTheMatcherAtOnce)
{
    Nutrition* nutrition = NutritionOf(*m_db);
    ASSERT_TRUE(nutrition);
    FoodMatcher& matcher = nutrition->Matcher;
    EXPECT_EQ(matcher.MatchFoodForIngredient("Vollmilch"), 0);
    SaveSynonym(*m_db, 9, {"Vollmilch", "", 1});
    EXPECT_EQ(matcher.MatchFoodForIngredient("Vollmilch"), 9);
    SaveSynonym(*m_db, 9, {"Vollmilch", "M1", 2}); // the same text again changes it
    const std::vector<FoodSynonym> milk = SynonymsOf(*m_db, 9);
    ASSERT_EQ(milk.size(), 1u);
    EXPECT_EQ(milk[0].Tree, "M1");
    EXPECT_EQ(milk[0].Language, 2);
    EXPECT_EQ(FoodsWithSynonyms(*m_db),
              (std::vector<std::pair<long, std::string>>{{9, "Milch"}, {5, "Möhre"}, {13, "Sahne"}}));
    EXPECT_TRUE(DeleteSynonym(*m_db, 9, "Vollmilch"));
    EXPECT_FALSE(DeleteSynonym(*m_db, 9, "Vollmilch"));
    EXPECT_EQ(matcher.MatchFoodForIngredient("Vollmilch"), 0);
    EXPECT_EQ(FoodsWithSynonyms(*m_db, "E").front().second, "Carrot");
}

} // namespace

} // namespace pf::test
