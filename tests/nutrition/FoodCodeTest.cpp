#include "nutrition/FoodCode.h"
#include "db/DbError.h"
#include "nutrition/FoodRecord.h"
#include "nutrition/FoodSynonyms.h"
#include "nutrition/Nutrition.h"

#include "tests/nutrition/FoodFixture.h"

#include <gtest/gtest.h>

#include <tuple>

namespace pf::test {

namespace {

using FoodInfoTest = FoodFixture;

TEST_F(FoodInfoTest, CodesAreDescribedAndTheirInformationComesFromTheNearestGeneralCode)
{
    m_db->Execute("UPDATE T_BLS_KEY SET ProduktInfo='Zwiebeln allgemein' WHERE SBLS='G100000'");
    m_db->Execute("UPDATE T_BLS_KEY SET ProduktInfo='Getrocknet' WHERE SBLS='G100400'");
    // The code asked for, the information, the code it came from.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"G100400", "Getrocknet", "G100400"},
        {"G100956", "Zwiebeln allgemein", "G100000"},
        {"G123456", "", "G120000"},
    };
    for (const auto& [asked, text, used] : cases) {
        std::string code = asked;
        EXPECT_EQ(GetFoodInfoText(*m_db, code), text) << asked;
        EXPECT_EQ(code, used) << asked;
    }
    // A food key names the code whose information opens.
    const std::pair<const char*, const char*> keys[] = {
        {"8", "Q100000"},       // an ingredient's food ID
        {" 9", "M130000"},      // read as a number, as stored keys are
        {"G200000", "G200000"}, // a code stands for itself
        {"999", ""},            // an ID whose food is gone
        {"0", ""}, {"", ""},
        {"G2", ""}, // too short to name a food
    };
    for (const auto& [key, code] : keys)
        EXPECT_EQ(FoodInfoCode(*m_db, key), code) << "\"" << key << "\"";

    // The description of each position of a code.
    const std::pair<const char*, const char*> positions[] = {
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
        {"B10A9", ""}, {"Y1", ""}, {"", ""},
    };
    for (const auto& [code, text] : positions)
        EXPECT_EQ(DescribeFoodCode(code), text) << code;
}

TEST_F(FoodInfoTest, FoodPickedByHandIsLearnedAsSynonymOnlyForANewText)
{
    // Its own name, an English name and a known synonym in other case are not asked about.
    for (const auto& [food, known] :
         {std::pair{8L, "butter"}, std::pair{9L, "Milk"}, std::pair{5L, "karotte"}})
        EXPECT_FALSE(LearnSynonym(*m_db, m_ui, food, known, 1)) << known;
    EXPECT_TRUE(m_ui.shown.empty());

    m_ui.Answering(Answer::No);
    EXPECT_FALSE(LearnSynonym(*m_db, m_ui, 8, "Süßrahmbutter", 1));
    EXPECT_EQ(NutritionOf(*m_db)->Matcher.MatchFoodForIngredient("Süßrahmbutter"), 0);
    m_ui.Answering(Answer::Yes);
    EXPECT_TRUE(LearnSynonym(*m_db, m_ui, 8, " Süßrahmbutter ", 1));
    EXPECT_EQ(NutritionOf(*m_db)->Matcher.MatchFoodForIngredient("Süßrahmbutter"), 8);
    EXPECT_EQ(m_ui.shown.back().Text, "Soll \"Süßrahmbutter\" künftig als anderer Name für \"Butter\" "
                                      "erkannt werden? Der Abgleich ordnet die Zutat dann selbst zu.");
    EXPECT_FALSE(LearnSynonym(*m_db, m_ui, 999, "Irgendwas", 1)); // no food, no question
    EXPECT_TRUE(m_ui.AllAnswersUsed());
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

TEST_F(FoodInfoTest, NewFoodCodeKeepsTheTemplatesGroupStateAndWeightAndMustBeFree)
{
    m_db->Execute("INSERT INTO T_BLS_KEY (ID,SBLS,ST) VALUES (40,'G150000','Schalotte')");
    // The code entered, the start of the problem text ("" for none), the code after the check, the
    // selection's start and length.
    const std::tuple<const char*, std::string, const char*, int, int> cases[] = {
        {"G1000", "BLS-Codes sind immer 7 stellig", "G100000", 0, 7},
        {"G1ä0000", "BLS-Codes sind immer 7 stellig", "G100000", 0, 7},
        {"H170000", "Die ersten beiden Stellen", "G170000", 0, 2},
        {"G170001", "Stelle 7 (1) muss", "G170000", 6, 1},
        {"G170020", "Stelle 6 (2) muss mit der Vorlage übereinstimmen (0/1 = identisch)", "G170000", 5, 1},
        {"G170200", "Stelle 5 (2) muss", "G170000", 4, 1},
        {"G150000", "Dieser BLS-Code ist bereits durch folgendes Nahrungsmittel belegt:\r\nSchalotte",
         "G150000", 2, 2},
        {"G170010", "", "G170010", 0, 0},
        {"G170100", "", "G170100", 0, 0},
        {"g170000", "", "G170000", 0, 0},
    };
    for (const auto& [entered, problem, code, selStart, selLength] : cases) {
        SCOPED_TRACE(entered);
        const NewFoodCodeCheck check = CheckNewFoodCode(*m_db, "G100000", entered);
        EXPECT_EQ(check.Problem.substr(0, problem.size()), problem);
        EXPECT_EQ(check.Problem.empty(), problem.empty());
        EXPECT_EQ(check.Code, code);
        EXPECT_EQ(check.SelStart, selStart);
        EXPECT_EQ(check.SelLength, selLength);
    }
}

TEST_F(FoodInfoTest, OwnFoodIsCopiedChangedAndDeletedWhileBaseFoodsStayAndNeverHalfMade)
{
    Nutrition* nutrition = NutritionOf(*m_db);
    ASSERT_TRUE(nutrition);
    const long id = CreateOwnFood(*m_db, "G100000", "G170000", "Gemüsezwiebel");
    EXPECT_EQ(id, 15);
    std::optional<FoodRecord> food = LoadFood(*m_db, nutrition->Tables, id);
    ASSERT_TRUE(food);
    EXPECT_TRUE(food->Own);
    EXPECT_EQ(food->NameE, "Gemüsezwiebel");
    // Every value of the template is copied, not only the energy.
    EXPECT_EQ(m_db->Scalar("SELECT GCAL FROM T_BLS_DAT WHERE SBLS='G170000'").AsDouble(), 28.0);
    EXPECT_EQ(m_db->Scalar("SELECT ZE FROM T_BLS_DAT WHERE SBLS='G170000'").AsDouble(), 1200.0);
    EXPECT_EQ(m_db->Scalar("SELECT SKT FROM T_BLS_DAT WHERE SBLS='G170000'").AsText(), "Gemüsezwiebel");
    EXPECT_EQ(nutrition->Matcher.MatchFoodForIngredient("Gemüsezwiebel"), id);

    food->Name = "Rote Zwiebel";
    food->Portion = Decimal4::FromLong(90);
    food->Values.assign(food->Values.size(), std::nullopt);
    std::string problem;
    ASSERT_TRUE(SaveOwnFood(*m_db, nutrition->Tables, *food, problem)) << problem;
    EXPECT_EQ(m_db->Scalar("SELECT ST FROM T_BLS_KEY WHERE ID=15").AsText(), "Rote Zwiebel");
    EXPECT_TRUE(m_db->Scalar("SELECT GCAL FROM T_BLS_DAT WHERE SBLS='G170000'").IsNull());
    EXPECT_EQ(m_db->Scalar("SELECT GP FROM T_BLS_DAT WHERE SBLS='G170000'").AsLong(), 90);
    EXPECT_EQ(nutrition->Matcher.MatchFoodForIngredient("Rote Zwiebel"), id);

    // Refused: an empty name, and every change of a base food.
    food->Name = " ";
    EXPECT_FALSE(SaveOwnFood(*m_db, nutrition->Tables, *food, problem));
    EXPECT_EQ(problem, "Es muss eine Bezeichnung eingegeben sein !");
    std::optional<FoodRecord> onion = LoadFood(*m_db, nutrition->Tables, 1);
    ASSERT_TRUE(onion);
    onion->Name = "Küchenzwiebel";
    EXPECT_FALSE(SaveOwnFood(*m_db, nutrition->Tables, *onion, problem));
    EXPECT_FALSE(DeleteOwnFood(*m_db, 1, problem));
    EXPECT_EQ(m_db->Scalar("SELECT ST FROM T_BLS_KEY WHERE ID=1").AsText(), "Zwiebel");
    EXPECT_EQ(m_db->Scalar("SELECT COUNT(*) FROM T_BLS_DAT WHERE SBLS='G100000'").AsLong(), 1);

    SaveSynonym(*m_db, id, {"Zwiebel, rot", "", 0});
    ASSERT_TRUE(DeleteOwnFood(*m_db, id, problem));
    EXPECT_EQ(m_db->Scalar("SELECT COUNT(*) FROM T_BLS_KEY WHERE ID=15").AsLong(), 0);
    EXPECT_EQ(m_db->Scalar("SELECT COUNT(*) FROM T_BLS_DAT WHERE SBLS='G170000'").AsLong(), 0);
    EXPECT_EQ(m_db->Scalar("SELECT COUNT(*) FROM T_INFO_KEY WHERE KEYTYPE=3 AND ID=15").AsLong(), 0);
    EXPECT_NE(nutrition->Matcher.MatchFoodForIngredient("Rote Zwiebel"), id);

    // A failed creation leaves no half food: a value row left over under the new code makes the
    // second insert fail.
    m_db->Execute("INSERT INTO T_BLS_DAT (SBLS,SKT) VALUES ('G180000','Rest')");
    EXPECT_THROW(CreateOwnFood(*m_db, "G100000", "G180000", "Perlzwiebel"), DbError);
    EXPECT_EQ(m_db->Scalar("SELECT COUNT(*) FROM T_BLS_KEY WHERE SBLS='G180000'").AsLong(), 0);
    EXPECT_EQ(m_db->Scalar("SELECT SKT FROM T_BLS_DAT WHERE SBLS='G180000'").AsText(), "Rest");
}

} // namespace

} // namespace pf::test
