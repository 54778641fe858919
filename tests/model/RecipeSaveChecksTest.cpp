#include "model/RecipeSaveChecks.h"

#include "db/DatabaseChoice.h"
#include "model/ClRecipe.h"
#include "model/ProgramUnits.h"
#include "model/clsRecipeUnit.h"
#include "tests/model/ModelDb.h"

#include <functional>

namespace pf {
namespace {

const char* const kNoCategory = "Das Rezept muss zu mindestens einer Kategorie gehören.";
const char* const kWantBook = "Das Rezept soll zu einem zusätzlichem Kochbuch gehören.";
const char* const kKnownOrigin = "Die geographische Herkunft soll eine bereits erfasste Herkunft sein.";
const char* const kWantOrigin = "Eine geographische Herkunft sollte angegeben werden.";
const char* const kNoYield = "Eine Mengenangabe muss gemacht werden.";
const char* const kBookQuestion =
    "Ist es korrekt, dass das Rezept ausser zum Basiskochbuch zu keinen weiteren Kochbüchern gehört ?";
const char* const kNoOriginQuestion = "Ist es korrekt, dass keine Herkunftsangabe gemacht worden ist ?";

// The checks work on the program's work database.
class RecipeSaveChecks : public test::ModelDb
{
protected:
    void SetUp() override
    {
        ModelDb::SetUp();
        Connection() = ConnectionState{};
        Connection().WorkDb = std::move(db);
        ResetProgramData();
        WorkDb().Execute(
            "INSERT INTO T_CAT (ID,CatNameD,CatType,LaenderCode,ErfassungsFlag) VALUES "
            "(1,'Hauptgericht',1,0,-1),(2,'Suppe',1,0,-1),(10,'Italien',2,39,-1),(11,'Atlantis',2,98,0)");
        WorkDb().Execute("INSERT INTO T_BUCH (ID,BuchTitel) VALUES (5,'Alltag')");
        WorkDb().Execute("INSERT INTO T_REZ_KOPFEINHEIT (ID,NameD,NameE,NameF) VALUES "
                         "(1,'Portionen','Portionen','Portionen')");
    }
    void TearDown() override
    {
        ResetProgramData();
        CloseWorkDatabase();
    }

    // A complete recipe: instructions, a quantity, yield, category and cookbook.
    static ClRecipe Complete(ClRecipe recipe = {})
    {
        recipe.LoadByID(0);
        recipe.SetTitle("Minestrone");
        recipe.SetZubereitung("Gemüse schneiden und kochen.");
        recipe.SetYield(4);
        ClIngredient line;
        line.SetOrgMeasurement(Decimal4::FromDouble(250));
        line.SetIngredient("Bohnen");
        recipe.IngredAdd(line);
        recipe.CatAddID(1);
        recipe.BookAdd(5);
        return recipe;
    }
    // The texts of the questions asked, or of the messages shown.
    std::vector<std::string> Shown(bool questions) const
    {
        std::vector<std::string> texts;
        for (const auto& shown : ui.shown)
            if (shown.Question == questions)
                texts.push_back(shown.Text);
        return texts;
    }

    // A single value the query gives in the work database.
    static Value Work(const std::string& sql, const std::vector<Value>& params = {})
    {
        return WorkDb().Scalar(sql, params);
    }
};

TEST_F(RecipeSaveChecks, EachCheckAddsItsProblemOrAsksItsQuestion)
{
    struct Case
    {
        const char* name;
        std::function<void(ClRecipe&)> change;
        std::string origin;
        std::vector<Answer> answers;
        std::vector<std::string> questions;
        std::vector<std::string> problems;
    };
    const Case cases[] = {
        {"complete", {}, "Italien", {}, {}, {}},
        {"origin ignores case", {}, "italien", {}, {}, {}},
        {"no category", [](ClRecipe& r) { r.CatDel(1); }, "Italien", {}, {}, {kNoCategory}},
        {"only base cookbook accepted", [](ClRecipe& r) { r.SetBookIDs({0}); }, "Italien", {Answer::Yes},
         {kBookQuestion}, {}},
        {"another cookbook wanted", [](ClRecipe& r) { r.BookDel(1); }, "Italien", {Answer::No},
         {kBookQuestion}, {kWantBook}},
        {"no origin accepted", {}, "", {Answer::Yes}, {kNoOriginQuestion}, {}},
        {"origin wanted", {}, "  ", {Answer::No}, {kNoOriginQuestion}, {kWantOrigin}},
        {"new origin declined", {}, "Neuland", {Answer::No},
         {"Die erfasste geographische Herkunft: \"Neuland\" ist neu. Soll diese Angabe wirklich als neue "
          "Herkunft gespeichert werden ?"},
         {kKnownOrigin}},
        {"no yield", [](ClRecipe& r) { r.SetYield(0); }, "Italien", {}, {}, {kNoYield}},
        {"everything missing", [](ClRecipe& r) { r.CatDel(1); r.BookDel(1); r.SetYield(0); }, "",
         {Answer::No, Answer::No}, {kBookQuestion, kNoOriginQuestion},
         {kNoCategory, kWantBook, kWantOrigin, kNoYield}},
        // A draft without instructions is stored as generic without the questions.
        {"draft", [](ClRecipe& r) { r.SetZubereitung(""); r.CatDel(1); r.BookDel(1); r.SetYield(0); }, "",
         {}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.shown.clear();
        for (Answer answer : c.answers)
            ui.Answering(answer);
        ClRecipe recipe = Complete();
        if (c.change)
            c.change(recipe);
        const RecipeSaveCheck check = CheckRecipeBeforeSave(recipe, c.origin, "Portionen");
        EXPECT_EQ(Shown(true), c.questions);
        EXPECT_EQ(check.Problems, c.problems);
        EXPECT_FALSE(check.Refused);
        EXPECT_EQ(check.CanSave(), c.problems.empty());
        EXPECT_TRUE(check.NewYieldUnit.empty());
        if (c.problems.empty()) {
            EXPECT_TRUE(Shown(false).empty());
        } else {
            std::string list = "Vor dem Speichern müssen noch folgende Probleme beseitigt sein:";
            for (const std::string& problem : c.problems)
                list += "\n" + problem;
            EXPECT_EQ(Shown(false), std::vector<std::string>{list});
            EXPECT_EQ(ui.shown.back().Caption, "Speichern eines Rezeptes");
        }
        EXPECT_TRUE(ui.AllAnswersUsed());
    }
}

TEST_F(RecipeSaveChecks, OriginThatIsNoOpenCountryStopsTheSave)
{
    for (const char* name : {"Suppe", "Atlantis"}) {
        SCOPED_TRACE(name);
        ui.shown.clear();
        ClRecipe recipe = Complete();
        recipe.SetYield(0);
        const RecipeSaveCheck check = CheckRecipeBeforeSave(recipe, name, "");
        EXPECT_TRUE(check.Refused);
        EXPECT_FALSE(check.CanSave());
        // The stop comes before the yield check; no problem list follows it.
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(ui.shown[0].Text,
                  std::string("Die Herkunftsangabe \"") + name +
                      "\" ist bereits bekannt und ist entweder eine Kategorie, die nicht als Herkunftsort "
                      "gekennzeichnet ist oder aber nicht zur Erfassung freigegeben ist.\nDas Rezept kann so "
                      "nicht gespeichert werden. Tipp: In der Karteikarte \"Kategorien\" das "
                      "Kategoriemanagement aufrufen und die Situation überprüfen!");
    }
    // A country closed for assignment stays usable for the recipe that already names it.
    ClRecipe recipe = Complete();
    recipe.SetOriginID(11);
    const RecipeSaveCheck check = CheckRecipeBeforeSave(recipe, "Atlantis", "");
    EXPECT_TRUE(check.CanSave());
    EXPECT_EQ(check.OriginID, 11);
}

// The new origin and yield unit are written with the recipe, in one transaction: a failed save leaves
// neither behind, and the next save creates them.
TEST_F(RecipeSaveChecks, NewOriginAndYieldUnitAreCreatedWithTheRecipeOrNotAtAll)
{
    ui.Answering(Answer::Yes);
    ClRecipe recipe = Complete();
    recipe.SetOriginID(10);
    const RecipeSaveCheck check = CheckRecipeBeforeSave(recipe, "Neuland", "Laibe");
    ASSERT_TRUE(check.CanSave());
    EXPECT_EQ(check.NewOrigin, "Neuland");
    EXPECT_EQ(check.NewYieldUnit, "Laibe");
    // The recipe fails after the country and the unit were written.
    Raw("CREATE TRIGGER Sperre BEFORE INSERT ON T_REZ_ANWEIS BEGIN SELECT RAISE(ABORT, 'gesperrt'); END");
    std::string error;
    EXPECT_FALSE(SaveCheckedRecipe(recipe, check, false, error));
    EXPECT_NE(error.find("Das Rezept konnte nicht gespeichert werden:"), std::string::npos) << error;
    EXPECT_EQ(Work("SELECT COUNT(*) FROM T_CAT WHERE CatNameD='Neuland'").AsLong(), 0);
    EXPECT_EQ(Work("SELECT COUNT(*) FROM T_REZ_KOPFEINHEIT").AsLong(), 1);
    EXPECT_EQ(Work("SELECT COUNT(*) FROM T_REZ_KOPF").AsLong(), 0);
    // The recipe keeps its edits and its old origin; the unit list forgot the lost entry.
    EXPECT_EQ(recipe.Origin(), 10);
    EXPECT_EQ(recipe.Title(), "Minestrone");
    EXPECT_EQ(ProgramRecipeUnits().SearchName("Laibe"), 0);

    Raw("DROP TRIGGER Sperre");
    ASSERT_TRUE(SaveCheckedRecipe(recipe, check, false, error)) << error;
    const long origin = static_cast<long>(Work("SELECT ID FROM T_CAT WHERE CatNameD='Neuland'").AsLong());
    EXPECT_NE(Work("SELECT LaenderCode FROM T_CAT WHERE ID=?", {origin}).AsLong(), 0);
    EXPECT_TRUE(Work("SELECT ErfassungsFlag FROM T_CAT WHERE ID=?", {origin}).AsBool());
    const long unit =
        static_cast<long>(Work("SELECT ID FROM T_REZ_KOPFEINHEIT WHERE NameD='Laibe'").AsLong());
    EXPECT_GT(unit, 1);
    EXPECT_EQ(Work("SELECT RezHerkunft FROM T_REZ_KOPF WHERE ID=?", {recipe.id()}).AsLong(), origin);
    EXPECT_EQ(Work("SELECT RezYieldEinh FROM T_REZ_KOPF WHERE ID=?", {recipe.id()}).AsLong(), unit);
}

TEST_F(RecipeSaveChecks, DraftIsStoredAsGenericAndARefusedSaveSaysWhyInGerman)
{
    ClRecipe recipe;
    recipe.LoadByID(0);
    EXPECT_EQ(RecipeSaveErrorText(recipe), "");
    std::string error;
    EXPECT_FALSE(SaveCheckedRecipe(recipe, RecipeSaveCheck{}, false, error));
    EXPECT_EQ(error, "Das Rezept braucht einen Titel.");

    recipe = Complete(std::move(recipe));
    recipe.CatDel(1);
    recipe.SetZubereitung("");
    const RecipeSaveCheck check = CheckRecipeBeforeSave(recipe, "", "");
    ASSERT_TRUE(check.CanSave());
    ASSERT_TRUE(SaveCheckedRecipe(recipe, check, false, error)) << error;
    EXPECT_TRUE(WorkDb().Scalar("SELECT Generic FROM T_REZ_KOPF WHERE ID=?", {recipe.id()}).AsBool());
}

} // namespace
} // namespace pf
