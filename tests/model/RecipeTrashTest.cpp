#include "model/RecipeTrash.h"

#include "model/RecipeChanges.h"
#include "tests/model/ModelDb.h"

namespace pf {
namespace {

// The tables a recipe owns rows of, besides its head row.
const char* const kOwnedTables[] = {"T_REZ_ZUTAT",  "T_REZ_ANWEIS",      "T_REZ_CAT_NDX", "T_REZ_KOCHBUCH",
                                    "T_REZ_GERAET", "T_REZ_KOPFGEFRIER", "T_BLOB"};

class Trash : public test::ModelDb
{
protected:
    void SetUp() override
    {
        ModelDb::SetUp();
        ui.mainWindowLoaded = true;
        trash.SetDB(db.get());
    }
    // A recipe with a line, an instruction, a category, a cookbook, a utensil and a picture.
    void AddRecipe(long id, bool deleted)
    {
        db->Execute("INSERT INTO T_REZ_KOPF (ID,FlagDeleted,Template) VALUES (?,?,0)", {id, deleted});
        db->Execute("INSERT INTO T_REZ_ZUTAT (ID,No,ZutText) VALUES (?,1,'Mehl')", {id});
        db->Execute("INSERT INTO T_REZ_ANWEIS (ID,NO,AnwText) VALUES (?,1,'Rühren')", {id});
        db->Execute("INSERT INTO T_REZ_CAT_NDX (ID,CatID) VALUES (?,3)", {id});
        db->Execute("INSERT INTO T_REZ_KOCHBUCH (RezID,BuchID) VALUES (?,5)", {id});
        db->Execute("INSERT INTO T_REZ_GERAET (RezID,GeraetID) VALUES (?,4)", {id});
        db->Execute("INSERT INTO T_REZ_KOPFGEFRIER (KopfID) VALUES (?)", {id});
        db->Execute("INSERT INTO T_BLOB (ID,IDType,IDReference,IDNum,Property) VALUES (?,5,?,1,0)", {id, id});
    }
    // Rows left in every table a recipe owns.
    long OwnedRows()
    {
        long rows = Count("SELECT COUNT(*) FROM T_REZ_KOPF");
        for (const char* table : kOwnedTables)
            rows += Count(std::string("SELECT COUNT(*) FROM ") + table);
        return rows;
    }

    RecipeTrash trash;
};

TEST_F(Trash, TwelveHundredRecipesGoToTheTrashInThreePortions)
{
    std::string list;
    db->BeginTrans();
    for (long id = 1; id <= 1200; ++id) {
        db->Execute("INSERT INTO T_REZ_KOPF (ID,FlagDeleted) VALUES (?,0)", {id});
        list += (id > 1 ? "," : "") + std::to_string(id);
    }
    db->CommitTrans();
    app.Options.EditSaveDel = true;
    // Open lists hear of the whole run once, and stop hearing when they close.
    std::vector<RecipeChange> heard;
    std::unique_ptr<RecipeChangeSubscription> listener;
    listener = std::make_unique<RecipeChangeSubscription>([&](const RecipeChange& change) {
        heard.push_back(change);
        listener.reset();
    });
    ASSERT_TRUE(trash.DeleteRecipes(list, RecipeTrash::kModeFromSetting));
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].Kind, RecipeChangeKind::Trashed);
    EXPECT_EQ(heard[0].IDs.size(), 1200u);
    EXPECT_EQ(heard[0].Db, db.get());
    EXPECT_EQ(ui.statusTexts, (std::vector<std::string>{"500 Rezepte werden in den Papierkorb geworfen",
                                                        "500 Rezepte werden in den Papierkorb geworfen",
                                                        "200 Rezepte werden in den Papierkorb geworfen"}));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOPF WHERE FlagDeleted<>0"), 1200);
    ASSERT_TRUE(trash.DeleteRecipes("5", 0));
    EXPECT_EQ(heard.size(), 1u);
}

TEST_F(Trash, ModeDecidesBetweenTrashAndDeletingForGoodAndOnlyRecipeNumbersAreTaken)
{
    // Mode, the EditSaveDel setting, the status shown, the recipe's rows left.
    const std::tuple<int, bool, const char*, long> cases[] = {
        {RecipeTrash::kModeFromSetting, true, "Rezept 7 wird in den Papierkorb geworfen", 8},
        {RecipeTrash::kModeFromSetting, false, "Rezept 7 wird gelöscht", 0},
        {1, false, "Rezept 7 wird in den Papierkorb geworfen", 8},
        {0, true, "Rezept 7 wird gelöscht", 0},
    };
    for (const auto& [mode, saveDel, status, rowsLeft] : cases) {
        SCOPED_TRACE(status);
        AddRecipe(7, false);
        app.Options.EditSaveDel = saveDel;
        ASSERT_TRUE(trash.DeleteRecipes("7", mode));
        EXPECT_EQ(ui.statusText, status);
        EXPECT_EQ(OwnedRows(), rowsLeft);
        EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOPF WHERE FlagDeleted<>0"), rowsLeft > 0 ? 1 : 0);
        db->Execute("DELETE FROM T_REZ_KOPF");
        trash.DeleteRecipes("7", 0);
    }
    // A list with something else than recipe numbers is refused.
    AddRecipe(7, false);
    EXPECT_FALSE(trash.DeleteRecipes("7) OR (1=1", 0));
    EXPECT_FALSE(trash.LastErrorText().empty());
    EXPECT_EQ(OwnedRows(), 8);
}

TEST_F(Trash, EmptyTrashAsksOnceAndFollowsTheAnswer)
{
    // The answer, whether the caller goes on, the recipes left in the trash.
    const std::tuple<Answer, bool, long> cases[] = {
        {Answer::Cancel, false, 3}, {Answer::No, true, 3}, {Answer::Yes, true, 0}};
    for (const auto& [answer, goOn, recipesLeft] : cases) {
        SCOPED_TRACE(static_cast<int>(answer));
        db->Execute("DELETE FROM T_REZ_KOPF");
        AddRecipe(1, true);
        AddRecipe(2, true);
        AddRecipe(3, true);
        AddRecipe(4, false);
        ui.shown.clear();
        ui.Answering(answer);
        EXPECT_EQ(trash.EmptyTrash(-3, Buttons::YesNoCancel), goOn);
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(ui.shown[0].Text, "Im \"[Rezept-Papierkorb]\" sind 3 Rezepte enthalten, die jetzt gelöscht "
                                    "werden können.");
        EXPECT_EQ(ui.shown[0].Caption, "Papierkorb");
        EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOPF WHERE FlagDeleted<>0"), recipesLeft);
        EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOPF WHERE ID=4"), 1);
        if (recipesLeft == 0) {
            EXPECT_EQ(OwnedRows(), 8); // only recipe 4 and its rows remain
            EXPECT_EQ(ui.statusText, "");
        }
        for (const char* table : kOwnedTables)
            db->Execute(std::string("DELETE FROM ") + table);
    }
    // Only recipe 4 is left, outside the trash: nothing to ask.
    ui.shown.clear();
    EXPECT_TRUE(trash.EmptyTrash(-3, Buttons::YesNoCancel));
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(Trash, EmptyingTheDuplicatesDeletesTheirRecipesForGood)
{
    db->BeginTrans();
    for (long id = 1; id <= 1100; ++id)
        db->Execute("INSERT INTO T_REZ_KOCHBUCH (RezID,BuchID) VALUES (?,-2)", {id});
    for (long id = 1; id <= 1101; ++id)
        db->Execute("INSERT INTO T_REZ_KOPF (ID,FlagDeleted) VALUES (?,0)", {id});
    db->CommitTrans();
    ui.Answering(Answer::Yes);
    EXPECT_TRUE(trash.EmptyTrash(-2, Buttons::YesNo));
    EXPECT_EQ(ui.shown.at(0).Text,
              "Im \"[Doppelte Rezepte]\" sind 1100 Rezepte enthalten, die jetzt gelöscht "
              "werden können.");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOPF"), 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOCHBUCH"), 0);
}

} // namespace
} // namespace pf
