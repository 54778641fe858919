#include "search/RecipeActions.h"

#include "search/ClSearch.h"
#include "tests/search/SearchTestDb.h"

namespace pf::test {
namespace {

using RecipeActionsTest = SearchDb;

TEST_F(RecipeActionsTest, CookbooksCategoriesAndUtensilsOfSeveralRecipes)
{
    RecipeActions actions(db.get());
    // Recipe 2 is already in the even cookbook.
    EXPECT_EQ(actions.BookAdd({1, 2, 3}, kBookEven), 2);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOCHBUCH WHERE BuchID=1 AND RezID IN (1,2,3)"), 3);
    EXPECT_EQ(actions.BookDel({1, 3, 5}, kBookEven), 2);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOCHBUCH WHERE BuchID=1 AND RezID IN (1,2,3)"), 1);

    EXPECT_EQ(actions.CatAdd({1, 3}, 9002), 2);
    EXPECT_EQ(Count("SELECT CatPrimary FROM T_REZ_CAT_NDX WHERE ID=1 AND CatID=9002"), 0);
    EXPECT_EQ(Count("SELECT No FROM T_REZ_CAT_NDX WHERE ID=3 AND CatID=9002"), 3);
    // Removing the primary category makes the next one primary.
    EXPECT_EQ(actions.CatDel({1}, 9001), 1);
    EXPECT_NE(Count("SELECT CatPrimary FROM T_REZ_CAT_NDX WHERE ID=1 AND CatID=9002"), 0);
    // A recipe without categories gets its first one as primary; a 17th is refused.
    db->Execute("DELETE FROM T_REZ_CAT_NDX WHERE ID=4");
    EXPECT_EQ(actions.CatAdd({4}, 9000), 1);
    EXPECT_NE(Count("SELECT CatPrimary FROM T_REZ_CAT_NDX WHERE ID=4"), 0);
    for (long cat = 1; cat <= 15; ++cat)
        actions.CatAdd({4}, cat);
    EXPECT_EQ(actions.CatAdd({4}, 99), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_CAT_NDX WHERE ID=4"), 16);

    // A recipe holds at most 32 cookbooks and 32 utensils: a link beyond would be dropped by the
    // next load and save of the recipe, so it is refused.
    db->Execute("DELETE FROM T_REZ_KOCHBUCH WHERE RezID=4");
    db->Execute("DELETE FROM T_REZ_GERAET WHERE RezID=4");
    for (long id = 101; id <= 132; ++id) {
        actions.BookAdd({4}, id);
        actions.ToolAdd({4}, id);
    }
    EXPECT_EQ(actions.BookAdd({4}, 133), 0);
    EXPECT_EQ(actions.ToolAdd({4}, 133), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOCHBUCH WHERE RezID=4"), 32);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_GERAET WHERE RezID=4"), 32);

    EXPECT_EQ(actions.ToolAdd({6, 7}, kTool), 1);
    EXPECT_EQ(actions.ToolDel({6, 7, 8}, kTool), 2);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_GERAET WHERE RezID IN (6,7)"), 0);

    EXPECT_TRUE(actions.SetLanguage({1, 2}, 5));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOPF WHERE RezSprache=5"), 2);
    EXPECT_TRUE(actions.SetOrigin({1, 3}, 9101));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOPF WHERE RezHerkunft=9101 AND ID IN (1,3)"), 2);
    EXPECT_TRUE(actions.SetSource({1}, 4));
    EXPECT_EQ(Count("SELECT RezQuelleID FROM T_REZ_KOPF WHERE ID=1"), 4);
}

TEST_F(RecipeActionsTest, DeleteKeepsRecipesInUseAndAsksFirst)
{
    // Recipe 3 is a sub-recipe of recipe 4.
    db->Execute("INSERT INTO T_REZ_ZUTAT (ID,No,ZutText,ZutRezept,ZutBLSID) VALUES (4,9,'Teig',-1,3)");
    RecipeActions actions(db.get());
    ui.Answering(Answer::No);
    EXPECT_EQ(actions.DeleteWithCheck({3, 5}), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOPF WHERE FlagDeleted<>0 AND ID IN (3,5)"), 0);
    ui.Answering(Answer::Yes);
    EXPECT_EQ(actions.DeleteWithCheck({3, 5}), 1);
    ASSERT_GE(ui.shown.size(), 2u);
    EXPECT_NE(ui.shown[0].Text.find("Verwendet in den Rezepten: 4"), std::string::npos);
    EXPECT_EQ(ui.shown.back().Text, "Soll das Rezept \"" + GenRecipe{5}.Title() + "\" gelöscht werden ?");
    // Recipe 5 is gone from the search lists (trash, or deleted for good as the setting says).
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOPF WHERE ID=5 AND FlagDeleted=0"), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOPF WHERE ID=3 AND FlagDeleted=0"), 1);
    EXPECT_TRUE(ui.AllAnswersUsed());
}

TEST_F(RecipeActionsTest, ParentLinksAfterConfirmation)
{
    RecipeActions actions(db.get());
    EXPECT_EQ(actions.ShowParent(21), 11);
    EXPECT_EQ(actions.ShowParent(5), 0);
    EXPECT_EQ(ui.shown.back().Text,
              "Das Elternrezept von \"" + GenRecipe{5}.Title() + "\" konnte nicht geladen werden");
    ui.Answering(Answer::Yes).Answering(Answer::No).Answering(Answer::Yes);
    EXPECT_TRUE(actions.CreateRelationship(5, 7));
    EXPECT_EQ(Count("SELECT RezParent FROM T_REZ_KOPF WHERE ID=5"), 7);
    EXPECT_FALSE(actions.DeleteRelationship(5));
    EXPECT_EQ(Count("SELECT RezParent FROM T_REZ_KOPF WHERE ID=5"), 7);
    EXPECT_TRUE(actions.DeleteRelationship(5));
    EXPECT_EQ(Count("SELECT RezParent FROM T_REZ_KOPF WHERE ID=5"), 0);
    EXPECT_FALSE(actions.CreateRelationship(5, 5));
    EXPECT_FALSE(actions.CreateRelationship(5, 4711));
    EXPECT_EQ(ui.shown.back().Text, "Das Rezept 4711 existiert nicht (mehr).");
}

TEST_F(RecipeActionsTest, MarksFeedTheMarkedListAndTheMenu)
{
    RecipeActions::MarkDel();
    auto enabled = [](const std::vector<RecipeMenuEntry>& entries, const std::string& command) {
        for (const RecipeMenuEntry& e : entries)
            if (e.Command == command)
                return e.Enabled;
        ADD_FAILURE() << command;
        return false;
    };
    EXPECT_FALSE(enabled(RecipeActions::MenuEntries(1, 0, false), "HideRezMarkdel"));
    RecipeActions::Mark({4, 2, 4});
    EXPECT_EQ(MarkedRecipes(), (std::vector<long>{4, 2}));
    RecipeActions::Unmark({4});
    EXPECT_TRUE(RecipeActions::IsMarked(2));
    EXPECT_FALSE(RecipeActions::IsMarked(4));
    const auto entries = RecipeActions::MenuEntries(3, 0, false);
    EXPECT_TRUE(enabled(entries, "HideRezMarkdel"));
    EXPECT_TRUE(enabled(entries, "HideRecipeActionBookAdd"));
    EXPECT_FALSE(enabled(entries, "HideRezOpen"));
    EXPECT_FALSE(enabled(entries, "HideParentRecipeShowParent"));
    EXPECT_TRUE(enabled(RecipeActions::MenuEntries(1, 11, false), "HideParentRecipeShowParent"));
    EXPECT_FALSE(enabled(RecipeActions::MenuEntries(2, 0, true), "HideRecipeActionCatAdd"));
    RecipeActions::MarkDel();
    EXPECT_TRUE(MarkedRecipes().empty());
}

} // namespace
} // namespace pf::test
