#include "nutrition/FoodMatcher.h"

#include "nutrition/FoodNameKey.h"
#include "nutrition/FoodSearch.h"
#include "nutrition/IngredientLookup.h"
#include "nutrition/Nutrition.h"
#include "tests/nutrition/FoodFixture.h"
#include "tests/support/Each.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

namespace pf::test {

namespace {

TEST(FoodNameKey, FoldsCaseUmlautsAccentsAndBlanksAndFormsReachTheSingularAndTheStem)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Möhre", "moehre"},       {"MOEHRE", "moehre"}, {"  Gelbe   Rübe ", "gelbe ruebe"},
        {"Weißkohl", "weisskohl"}, {"ÄPFEL", "aepfel"},  {"Crème fraîche", "creme fraiche"},
        {"Jalapeño", "jalapeno"},  {"\tMehl\r\n", "mehl"},
    };
    for (const auto& [text, key] : cases)
        EXPECT_EQ(FoodNameKey(text), key) << text;
    // A key and a form that must be among its forms.
    const std::pair<const char*, const char*> forms[] = {
        {"zwiebeln", "zwiebel"}, {"tomaten", "tomate"},  {"eier", "ei"},
        {"wuerstchen", "wurst"}, {"aepfel", "apfel"},    {"nuesse", "nuss"},
        {"tomatoes", "tomato"},  {"berries", "berry"},   {"leaves", "leaf"},
        {"eggs", "egg"},         {"broetchen", "brot"},  {"champignons", "champignon"},
        {"rote zwiebeln", "rote zwiebel"},
    };
    for (const auto& [key, form] : forms)
        EXPECT_THAT(FoodNameForms(key), testing::Contains(form)) << key;
    // No form shorter than two letters and never the key itself.
    for (const char* key : {"ei", "oel", "en", "s"}) {
        for (const std::string& form : FoodNameForms(key)) {
            EXPECT_GE(form.size(), 2u) << key;
            EXPECT_NE(form, key);
        }
    }
}

using FoodMatcherTest = FoodFixture;

TEST_F(FoodMatcherTest, VariantsAndMatchesOfNamesSynonymsAndFormsCachedUntilInvalidated)
{
    // Variants follow comma and words, then shortening.
    FoodMatcher variants(*m_db);
    const std::vector<std::string> paprika = variants.Variants("Paprika, rot");
    ASSERT_GE(paprika.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(paprika.begin(), paprika.begin() + 4),
              (std::vector<std::string>{"Paprika, rot", "rot, Paprika", "rot", "Paprika"}));
    // Shortened forms come after every unshortened one, one character before two.
    EXPECT_EQ(variants.Variants("Zwiebeln"), (std::vector<std::string>{"Zwiebeln", "Zwiebel", "Zwiebe"}));
    variants.SetStrong(false);
    EXPECT_EQ(variants.Variants("Zwiebeln"), std::vector<std::string>{"Zwiebeln"});
    EXPECT_EQ(variants.Variants("frische rote Zwiebeln"),
              (std::vector<std::string>{"frische rote Zwiebeln", "rote Zwiebeln", "rote", "frische"}));
    // Skip rules: a leading "-" or ";" is never matched; the text after ";" is not part of it.
    EXPECT_TRUE(variants.Variants("-Zwiebel").empty());
    EXPECT_TRUE(variants.Variants(";Zwiebel").empty());
    EXPECT_TRUE(variants.Variants("   ").empty());
    EXPECT_EQ(variants.Variants("Zwiebel; fein gehackt").front(), "Zwiebel");

    m_db->Execute("INSERT INTO T_BLS_KEY (ID,SBLS,ST,STE) VALUES (20,'G700000','Weißkohl','White cabbage')");
    InsertSynonym(*m_db, 20, "Kraut");
    // Ingredient text, the stronger matching, the food found.
    const std::tuple<const char*, bool, long> cases[] = {
        {"Zwiebel", true, 1}, {"ZWIEBEL", false, 1},
        {"Zwiebeln", true, 1},  // one character shorter
        {"Zwiebeln", false, 0}, // only with the stronger matching
        {"Zwiebel; fein gehackt", false, 1},
        {"Zwiebel, getrocknet", true, 2}, // the exact name before its head
        {"-Zwiebel", true, 0}, {";Zwiebel", true, 0},
        {"Moehre", true, 5},   // digraph for the umlaut
        {"Möhren", true, 5},   // plural
        {"Karotten", true, 5}, // plural of a synonym
        {"gelbe Rüben", true, 5},
        {"Paprika, rot", true, 11}, // "rot, Paprika", "rot", then "Paprika": the main product
        {"rote Paprika", false, 11}, {"Eier", true, 3},
        {"large eggs", true, 3}, // English name, plural
        {"Onion", false, 1},
        {"Würstchen", true, 10}, // diminutive with umlaut
        {"frische braune Champignons", true, 12},
        {"Bio-Möhren", true, 5}, // the last part of a compound
        {"Bio-Möhren", false, 0}, {"Möhren-", true, 5},
        {"Rahm", true, 13}, // the synonym wins over a food whose name starts with it
        {"Schlagobers", false, 13}, {"Quinoa", true, 0}, {"", true, 0},
        {"Kraut", true, 20}, // herbs are no cabbage, not even shortened ("Kräut")
        {"frische Kräuter, gehackt", true, 0}, {"TK-Kräuter", true, 0}, {"Italienische Kräuter", true, 0},
    };
    for (const auto& [text, strong, food] : cases) {
        FoodMatcher matcher(*m_db, "D", strong);
        EXPECT_EQ(matcher.MatchFoodForIngredient(text), food) << text << (strong ? " (strong)" : "");
    }
    // In the English interface the English column is searched first, the German one after it.
    FoodMatcher english(*m_db, "E", true);
    EXPECT_EQ(english.MatchFoodForIngredient("carrots"), 5);
    EXPECT_EQ(english.MatchFoodForIngredient("Möhre"), 5);

    // The cache answers until it is invalidated.
    FoodMatcher cached(*m_db);
    EXPECT_EQ(cached.MatchFoodForIngredient("Tomaten"), 6);
    EXPECT_EQ(cached.CacheSize(), 1u); // "Tomaten" itself found through its singular
    // What was read stays until the matcher is told that foods changed.
    m_db->Execute("DELETE FROM T_BLS_KEY WHERE ID=6");
    EXPECT_EQ(cached.MatchFoodForIngredient("Tomaten"), 6);
    cached.Invalidate();
    EXPECT_EQ(cached.CacheSize(), 0u);
    EXPECT_EQ(cached.MatchFoodForIngredient("Tomaten"), 0);
    // A synonym added later counts once the matcher forgot what it read.
    InsertSynonym(*m_db, 9, "Vollmilch");
    EXPECT_EQ(cached.MatchFoodForIngredient("Vollmilch"), 0);
    cached.Invalidate();
    EXPECT_EQ(cached.MatchFoodForIngredient("Vollmilch"), 9);
}

TEST_F(FoodMatcherTest, InteractiveMatchLetsThePersonChoose)
{
    struct Fixed : FoodChooser
    {
        long ChooseFood(const std::string& preset) override
        {
            asked = preset;
            return 9;
        }
        std::string asked;
    } chooser;
    FoodMatcher matcher(*m_db);
    // Found foods never ask.
    EXPECT_EQ(matcher.MatchFoodForIngredient("Milch", true, &chooser, &m_ui), 9);
    EXPECT_TRUE(m_ui.shown.empty());
    EXPECT_EQ(matcher.MatchFoodForIngredient("Hafermilch;  ungesüßt", true, &chooser, &m_ui), 9);
    EXPECT_EQ(chooser.asked, "Hafermilch");
    ASSERT_EQ(m_ui.shown.size(), 1u);
    EXPECT_EQ(
        m_ui.shown[0].Text,
        "Bitte wählen Sie ein Produkt aus, das \"Hafermilch\" entspricht und drücken Sie auf \"Auswahl\"");
    EXPECT_EQ(m_ui.shown[0].Caption, "Nährwert-Abgleich");
    // Not interactive: no question, no choice.
    EXPECT_EQ(matcher.MatchFoodForIngredient("Hafermilch", false, &chooser, &m_ui), 0);
    EXPECT_EQ(m_ui.shown.size(), 1u);

    // The list chooser offers the foods that start like the text.
    ListFoodChooser list(*m_db, m_ui);
    m_ui.ChoosingItem(1).ChoosingItem(std::nullopt);
    EXPECT_EQ(list.ChooseFood("Zwiebelringe"), 2); // "Zwiebelring*" finds nothing, "Zwiebel*" does
    EXPECT_EQ(list.ChooseFood("Zwiebel"), 0);      // cancelled
    EXPECT_EQ(list.ChooseFood("Quinoa"), 0);
    EXPECT_EQ(m_ui.shown.back().Text, "Es wurde kein Produkt gefunden !");
}

TEST_F(FoodMatcherTest, NameSearchWithItsOptions)
{
    m_db->Execute("UPDATE T_BLS_KEY SET Userflag=-1 WHERE ID=12");
    auto with = [](auto set) {
        FoodSearchOptions options;
        set(options);
        return options;
    };
    const std::tuple<const char*, FoodSearchOptions, std::vector<std::string>> cases[] = {
        {"zwieb", {}, {"Zwiebel", "Zwiebel, getrocknet"}},
        {"Zwieb", with([](auto& o) { o.MainOnly = true; }), {"Zwiebel"}},
        {"getrock", {}, {}},
        {"getrock", with([](auto& o) { o.Detailed = true; }), {"Zwiebel, getrocknet"}},
        {"Karot", {}, {}},
        {"Karot", with([](auto& o) { o.InSynonyms = true; }), {"Möhre [Synonym Karotte]"}},
        {"Möh",
         with([](auto& o) { o.ShowAllSynonyms = true; }),
         {"Möhre", "Möhre [Synonym Karotte]", "Möhre [Synonym Mohrrübe]", "Möhre [Synonym Gelbe Rübe]"}},
        {"C", with([](auto& o) { o.OwnOnly = true; }), {"Champignon"}},
        {"Onio", with([](auto& o) { o.LanguageSuffix = "E"; }), {"Onion", "Onion, dried"}},
    };
    for (const auto& [term, options, texts] : cases)
        EXPECT_EQ(Each(SearchFoodsByName(*m_db, term, options), &FoodHit::Text), texts) << term;
}

TEST_F(FoodMatcherTest, ClassAndNutrientSearches)
{
    const Nutrition* nutrition = NutritionOf(*m_db);
    ASSERT_TRUE(nutrition);
    const auto codes = [](const std::vector<FoodHit>& hits) { return Each(hits, &FoodHit::Code); };
    FoodSearchOptions all;
    FoodSearchOptions main;
    main.MainOnly = true;
    m_db->Execute("INSERT INTO T_BLS_KEY (ID,SBLS,ST) VALUES (30,'G400130','Paprika, gekocht')");
    // By name within the class; main foods are the base codes ending in "00".
    EXPECT_EQ(codes(SearchFoodsByClass(*m_db, "G4", all)),
              (std::vector<std::string>{"G400000", "G400100", "G400130"}));
    EXPECT_EQ(codes(SearchFoodsByClass(*m_db, "G4", main)), (std::vector<std::string>{"G400000", "G400100"}));

    const std::tuple<const char*, NutrientRange, std::vector<std::string>> cases[] = {
        {"", {"ZE", 10000.0, std::nullopt}, {"C100000", "E100000", "G400100", "W100000"}},
        {"Zwiebel", {"ZF", std::nullopt, 500.0}, {"G100000", "G100400"}},
        {"Zwiebel", {"ZF", 300.0, 400.0}, {}},
        // A food without a value for the nutrient is no hit, whatever the bounds.
        {"Paprika", {"ZF", std::nullopt, std::nullopt}, {"G400100"}},
        {"", {"DROP TABLE", 0.0, std::nullopt}, {}},
    };
    for (const auto& [term, range, expected] : cases) {
        SCOPED_TRACE(std::string(term) + " " + range.Key);
        EXPECT_EQ(codes(SearchFoodsByNutrient(*m_db, nutrition->Tables, term, range, all)), expected);
    }
    const std::vector<FoodHit> onions =
        SearchFoodsByNutrient(*m_db, nutrition->Tables, "Zwiebel", {"ZF", std::nullopt, 200.0}, all);
    ASSERT_EQ(onions.size(), 1u);
    EXPECT_EQ(onions[0].Text.substr(0, 13), "Zwiebel (200 ");
}

// The recipe editor's lookup: foods and synonyms starting like the text, shortened once, widened
// from main products when the person agrees, then recipes as sub-recipes.
TEST_F(FoodMatcherTest, EditorLookupOfAnIngredient)
{
    InsertFood(*m_db,
               {20, "X100000", "Gemüseeintopf", "Vegetable stew", true, 0, 0, 0, 0, 300, 60, 2000, 1000});
    m_db->Execute("INSERT INTO T_LITERATUR (QuelleID,Title) VALUES (3,'Omas Küche')");
    m_db->Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,RezQuelleID) VALUES (40,'Zwiebelkuchen',3),"
                  "(41,'Zwiebelsuppe',0)");
    m_db->Execute("INSERT INTO T_REZ_KOCHBUCH (RezID,BuchID) VALUES (40,5),(41,6)");
    auto with = [](auto set) {
        IngredientLookupOptions options;
        set(options);
        return options;
    };
    const auto mainOnly = with([](auto& o) { o.MainOnly = true; });
    const auto recipesOnly = with([](auto& o) { o.RecipesOnly = true; });
    const auto bookSix = with([](auto& o) {
        o.RecipesOnly = true;
        o.CurrentBookOnly = true;
        o.Book = 6;
    });
    const char* const nothing = "Es wurde kein Produkt gefunden !";
    // The text, the options, the answers to "Kein BLS Hauptprodukt gefunden ...", the hits, the message.
    using Texts = std::vector<std::string>;
    using Answers = std::vector<Answer>;
    const std::tuple<const char*, IngredientLookupOptions, Answers, Texts, const char*> cases[] = {
        {"Zwiebel", mainOnly, {}, {"Zwiebel", "Zwiebelkuchen (Omas Küche)", "Zwiebelsuppe"}, ""},
        {" zwiebel* ", {}, {},
         {"Zwiebel", "Zwiebel, getrocknet", "Zwiebelkuchen (Omas Küche)", "Zwiebelsuppe"}, ""},
        {"Möhren", mainOnly, {}, {"Möhre"}, ""},
        {"Karotten", {}, {}, {"Möhre [Synonym Karotte]"}, ""},
        {"Rahm", {}, {}, {"Rahmspinat", "Sahne [Synonym Rahm]"}, ""},
        {"Zwiebel, getr", mainOnly, {Answer::Yes}, {"Zwiebel, getrocknet"}, ""},
        {"Zwiebel, getr", mainOnly, {Answer::No}, {}, nothing},
        {"Gemüse", {}, {}, {}, nothing},
        {"Gemüse", with([](auto& o) { o.NoComposites = false; }), {}, {"Gemüseeintopf"}, ""},
        {"Zwiebel", recipesOnly, {}, {"Zwiebelkuchen (Omas Küche)", "Zwiebelsuppe"}, ""},
        {"Zwiebel", bookSix, {}, {"Zwiebelsuppe"}, ""},
        {"Onio", with([](auto& o) { o.LanguageSuffix = "E"; }), {}, {"Onion", "Onion, dried"}, ""},
        {"  ", {}, {}, {}, nothing},
    };
    for (const auto& [text, options, answers, hits, message] : cases) {
        SCOPED_TRACE(text);
        m_ui.shown.clear();
        for (Answer answer : answers)
            m_ui.Answering(answer);
        EXPECT_EQ(Each(FindFoodsForIngredient(*m_db, text, options, m_ui), &IngredientHit::Text), hits);
        EXPECT_TRUE(m_ui.AllAnswersUsed());
        EXPECT_EQ(m_ui.shown.empty() || m_ui.shown.back().Question ? "" : m_ui.shown.back().Text, message);
    }
    // Foods carry their ID and code, recipes their recipe ID.
    const std::vector<IngredientHit> found = FindFoodsForIngredient(*m_db, "Zwiebel", mainOnly, m_ui);
    EXPECT_EQ(Each(found, &IngredientHit::Id), (std::vector<long>{1, 40, 41}));
    EXPECT_EQ(Each(found, &IngredientHit::IsRecipe), (std::vector<bool>{false, true, true}));
    EXPECT_EQ(found.at(0).Code, "G100000");
}

} // namespace

} // namespace pf::test
