#include "exchange/ImportFile.h"
#include "exchange/RecipeImport.h"
#include "nutrition/FoodMatcher.h"
#include "nutrition/FoodTables.h"
#include "nutrition/UnitMatching.h"

#include "db/Recordset.h"
#include "tests/nutrition/FoodFixture.h"

#include <gtest/gtest.h>

namespace pf::test {

namespace {

// Reference recipes in German and English, imported from Meal-Master text with food matching,
// then calculated. Every figure below was worked out by hand from the shipped food table's own
// values per 100 g (kcal, protein in mg) and its units: Weizenmehl 364 kcal 10330 mg, Tasse
// 125 g; Hühnerei 143/12580, Stück 60 g; Vollmilch 60/3220, Tasse 245 g, EL 15 g; Pflanzenöl and
// Olivenöl 884/0, EL 14 g; Salz 0/0, TL 5 g, Prise 0.4 g; Kartoffel 69/1680; Möhre 41/930, Stück
// 80 g, portion 150 g; Zwiebel 40/1100, Stück 80 g, portion 50 g; Gemüsebrühe 16/2020; Schlagsahne 292/2170;
// Butter 717/850, EL 15 g; Magerquark 72/10340; Honig 304/300, EL 20 g; Banane 89/1090, Stück 120 g; Zimt
// 247/3990, TL 2 g; Reis, Langkorn 365/7130, Tasse 200 g; Hähnchenbrustfilet 110/23090; Zucker
// 387/0, EL 15 g; Cheddar 403/24900; Rinderhackfleisch 254/17170; Spaghetti 371/13040; Joghurt
// 61/3470; Erdbeere 32/670, Stück 15 g. A line without unit counts the food's mean portions
// (Hühnerei 60 g, Banane 120 g, the same as their pieces). The unit table gives ml and l as grams, 1
// oz 28.3495 g, 1 lb 453.5924 g, 1 cup 240 ml where the food has no cup of its own.

// An ingredient line as written, the food it must find (German name) and what it weighs.
struct Ingredient
{
    const char* Line;
    const char* Food;
    double Grams;
};

struct Reference
{
    const char* Title;
    const char* Yield;
    std::vector<Ingredient> Ingredients;
    const char* Kcal;    // per serving, as shown
    const char* Protein; // mg per serving, as shown
    const char* Weight;
};

const Reference kReferences[] = {
    // 910 + 257.4 + 300 + 247.52 + 0 = 1714.92 kcal; 25825 + 22644 + 16100 = 64569 mg; 958.4 g; / 4
    {"Pfannkuchen", "4 Portionen",
     {{"    250 g  Weizenmehl", "Weizenmehl Type 405", 250}, {"      3    Eier", "Hühnerei", 180},
      {"    500 ml Milch", "Vollmilch", 500}, {"      2 EL Öl", "Pflanzenöl", 28},
      {"      1 Pr Salz", "Salz", 0.4}},
     "428,730", "16.142,250", "Portionsgewicht ca. 240 Gramm"},
    // 517.5 + 123 + 20 + 160 + 584 + 215.1 = 1619.6 kcal; 12600 + 2790 + 550 + 20200 + 4340 + 255
    // = 40735 mg; 2330 g; / 4
    {"Kartoffelsuppe", "4 Portionen",
     {{"    750 g  Kartoffeln", "Kartoffel", 750}, {"      2    Möhren", "Möhre", 300},
      {"      1    Zwiebel", "Zwiebel", 50}, {"      1 l  Gemüsebrühe", "Gemüsebrühe", 1000},
      {"    200 ml Sahne", "Schlagsahne", 200}, {"      2 EL Butter", "Butter", 30}},
     "404,900", "10.183,750", "Portionsgewicht ca. 583 Gramm"},
    // 180 + 121.6 + 106.8 + 4.94 = 413.34 kcal; 25850 + 120 + 1308 + 79.8 = 27357.8 mg; 412 g; / 2
    {"Quarkspeise", "2 Portionen",
     {{"    250 g  Magerquark", "Magerquark", 250}, {"      2 EL Honig", "Honig", 40},
      {"      1    Banane", "Banane", 120}, {"      1 TL Zimt", "Zimt", 2}},
     "206,670", "13.678,900", "Portionsgewicht ca. 206 Gramm"},
    // 1460 + 1100 + 247.52 + 147 = 2954.52 kcal; 28520 + 230900 + 7889 = 267309 mg; 1673 g; / 4
    {"Reis mit Hähnchen", "4 Portionen",
     {{"      2 Ta Reis", "Reis, Langkorn", 400},
      {"      1 kg Hähnchenbrustfilet", "Hähnchenbrustfilet", 1000},
      {"      2 EL Olivenöl", "Olivenöl", 28}, {"      1 Ta Milch", "Vollmilch", 245}},
     "738,630", "66.827,250", "Portionsgewicht ca. 418 Gramm"},
    // 682.5 + 116.1 + 0 + 183.75 + 85.8 + 322.65 = 1390.8 kcal; 19368.75 + 9861.25 + 7548 + 382.5
    // = 37160.5 mg; 631.25 g; / 4
    {"Pancakes", "4 servings",
     {{"  1 1/2 c  flour", "Weizenmehl Type 405", 187.5}, {"      2 tb sugar", "Zucker", 30},
      {"    1/2 ts salt", "Salz", 2.5}, {"  1 1/4 c  milk", "Vollmilch", 306.25},
      {"      1 ea egg", "Hühnerei", 60}, {"      3 tb butter", "Butter", 45}},
     "347,700", "9.290,125", "Portionsgewicht ca. 158 Gramm"},
    // 257.4 + 18 + 107.55 + 56.699 * 4.03 (228.4970) = 611.4470 kcal; 22644 + 966 + 127.5 + 56.699
    // * 249 (14118.051) = 37855.551 mg; 281.699 g; one serving
    {"Cheese Omelette", "1 serving",
     {{"      3    eggs", "Hühnerei", 180}, {"      2 tb milk", "Vollmilch", 30},
      {"      1 tb butter", "Butter", 15}, {"      2 oz cheddar cheese, grated", "Cheddar", 56.699}},
     "611,447", "37.855,551", "Gewicht ca. 282 Gramm"},
    // 453.5924 * 2.54 (1152.1247) + 20 + 247.52 + 453.5924 * 3.71 (1682.8278) = 3102.4725 kcal;
    // 453.5924 * 171.7 (77881.8151) + 550 + 453.5924 * 130.4 (59148.4490) = 137580.2641 mg;
    // 985.1848 g; / 4
    {"Spaghetti with Meat Sauce", "4 servings",
     {{"      1 lb ground beef", "Rinderhackfleisch", 453.5924}, {"      1    onion", "Zwiebel", 50},
      {"      2 tb olive oil", "Olivenöl", 28}, {"      1 lb spaghetti", "Spaghetti", 453.5924}},
     "775,618", "34.395,066", "Portionsgewicht ca. 246 Gramm"},
    // 146.4 + 28.8 + 60.8 + 106.8 = 342.8 kcal; 8328 + 603 + 60 + 1308 = 10299 mg; 470 g; / 2
    {"Strawberry Yogurt", "2 servings",
     {{"      1 c  yogurt", "Joghurt", 240}, {"      6 ea strawberries", "Erdbeere", 90},
      {"      1 tb honey", "Honig", 20}, {"      1    banana", "Banane", 120}},
     "171,400", "5.149,500", "Portionsgewicht ca. 235 Gramm"},
};

std::string MealMaster(const Reference& r)
{
    std::string text =
        "MMMMM----- Recipe via Meal-Master (tm) v8.05\r\n\r\n      Title: " + std::string(r.Title) +
        "\r\n Categories: Test\r\n      Yield: " + r.Yield + "\r\n\r\n";
    for (const Ingredient& ingredient : r.Ingredients)
        text += std::string(ingredient.Line) + "\r\n";
    return text + "\r\n  Zubereiten.\r\n\r\nMMMMM\r\n\r\n";
}

using ReferenceRecipes = NutritionTest;

TEST_F(ReferenceRecipes, NutrientsAgreeWithTheHandCalculation)
{
    m_db = MakeBaseDataDatabase(m_dir, "base.db", Foods::With);
    ASSERT_TRUE(m_db);
    Database* db = m_db.get();
    FoodMatcher matcher(*db);
    RecipeImport run(*db);
    run.Options().BLS = true;
    run.SetFoodKeyMatcher([&](const std::string& text) { return matcher.MatchFoodForIngredient(text); });
    std::string file;
    for (const Reference& r : kReferences)
        file += MealMaster(r);
    ASSERT_TRUE(run.ImportFromText(ImportTextFromString(file, "referenz.mm"))) << run.LastErrorText();
    FoodTables tables;
    ASSERT_TRUE(tables.Load(*db));

    for (const Reference& r : kReferences) {
        SCOPED_TRACE(r.Title);
        const Value id = db->Scalar("SELECT ID FROM T_REZ_KOPF WHERE RezTitle=?", {std::string(r.Title)});
        ASSERT_FALSE(id.IsNull());
        UnitMatching matching(*db, tables);
        ASSERT_TRUE(matching.NextID(static_cast<long>(id.AsLong())));
        ASSERT_EQ(matching.Lines().size(), r.Ingredients.size());
        for (std::size_t i = 0; i < r.Ingredients.size(); ++i) {
            const ConversionLine& line = matching.Lines()[i];
            EXPECT_EQ(line.FoodName, r.Ingredients[i].Food) << line.Ingredient;
            EXPECT_EQ(line.LeftOut, "") << line.Ingredient;
            EXPECT_EQ(line.Quantity, Decimal4::FromDouble(r.Ingredients[i].Grams)) << line.Ingredient;
        }
        NutrientTable table = matching.Calculate();
        ASSERT_TRUE(table.ShowItems());
        EXPECT_EQ(Shown(table, "GCAL"), r.Kcal);
        EXPECT_EQ(Shown(table, "ZE"), r.Protein);
        EXPECT_EQ(table.WeightLabel(), r.Weight);
    }
}

} // namespace

} // namespace pf::test
