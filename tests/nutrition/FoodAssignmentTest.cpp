#include "nutrition/FoodAssignment.h"

#include "db/DbError.h"
#include "db/Recordset.h"
#include "nutrition/FoodMatcher.h"
#include "tests/nutrition/FoodFixture.h"
#include "tests/support/RawSql.h"

#include <gtest/gtest.h>

namespace pf::test {

namespace {

class FoodAssignmentTest : public FoodFixture
{
protected:
    std::vector<long> StoredFoods(long recipeId)
    {
        std::vector<long> foods;
        auto rs =
            m_db->OpenRecordset("SELECT ZutBLSID FROM T_REZ_ZUTAT WHERE ID=? ORDER BY [No]", {recipeId});
        for (; !rs->Eof(); rs->MoveNext())
            foods.push_back(static_cast<long>(rs->Field(0).AsLong()));
        return foods;
    }
};

struct FixedChooser : FoodChooser
{
    explicit FixedChooser(long food) : Food(food) {}
    long ChooseFood(const std::string&) override { return Food; }
    long Food;
};

TEST_F(FoodAssignmentTest, ReviewOneRecipeAfterAnother)
{
    AddRecipe(1, "Suppe", 2, {{2, 0, "Zwiebeln", 0}, {1, 0, "Quinoa", 0}, {1, 0, "Möhre", 6}});
    AddRecipe(2, "Brot", 1, {{500, 31, "Weizenmehl Type 405", 0}});
    FoodMatcher matcher(*m_db);
    FoodAssignment review(*m_db, matcher);
    review.SetRecipes({1, 77, 2});

    ASSERT_TRUE(review.NextID());
    EXPECT_EQ(review.Heading(), "Rezept 1: Suppe");
    ASSERT_EQ(review.Lines().size(), 3u);
    // Only lines without food are matched; a food already chosen stays, even a wrong one.
    EXPECT_EQ(review.Lines()[0].FoodId, 1);
    EXPECT_EQ(review.Lines()[0].FoodName, "Zwiebel");
    EXPECT_EQ(review.Lines()[1].FoodId, 0);
    EXPECT_EQ(review.Lines()[2].FoodId, 6);
    EXPECT_EQ(review.Hint(), "");
    FixedChooser oats(9);
    review.ChooseProduct(1, oats);
    EXPECT_EQ(review.Hint(), "Hinweis: Alle Zutaten enthalten eine BLS-Zuordnung.");
    EXPECT_EQ(StoredFoods(1), (std::vector<long>{0, 0, 6})); // nothing written before the recipe is stored
    ASSERT_TRUE(review.SaveRecipe());
    EXPECT_EQ(StoredFoods(1), (std::vector<long>{1, 9, 6}));

    // Clearing everything asks first; a new analysis then corrects the carrot.
    m_ui.Answering(Answer::No).Answering(Answer::Yes);
    EXPECT_FALSE(review.ClearAll(m_ui));
    EXPECT_EQ(review.Lines()[1].FoodId, 9);
    EXPECT_TRUE(review.ClearAll(m_ui));
    EXPECT_EQ(m_ui.shown.back().Default, Answer::No);
    review.Reanalyse();
    ASSERT_TRUE(review.SaveRecipe());
    EXPECT_EQ(StoredFoods(1), (std::vector<long>{1, 0, 5}));

    // A recipe that does not exist is passed over.
    ASSERT_TRUE(review.NextID());
    EXPECT_EQ(review.RecipeId(), 2);
    EXPECT_EQ(review.Lines()[0].FoodId, 4);
    EXPECT_FALSE(review.NextID());
    EXPECT_EQ(StoredFoods(2), (std::vector<long>{0})); // left without storing
}

TEST_F(FoodAssignmentTest, BatchRunKeepsEveryBatchStoredBeforeAFailure)
{
    const long recipes = 501; // two batches
    {
        DbTransaction trans(*m_db);
        for (long id = 1; id <= recipes; ++id)
            AddRecipe(id, "R" + std::to_string(id), 1, {{1, 0, "Zwiebel", 0}, {1, 0, "Mondstaub", 0}});
        trans.Commit();
    }
    AddRecipe(600, "Schon fertig", 1, {{1, 0, "Ei", 3}});
    const std::string file = m_db->Name();
    ExecuteRawSql(file, "CREATE TRIGGER fail BEFORE UPDATE ON T_REZ_ZUTAT WHEN NEW.ID=501 "
                        "BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    FoodMatcher matcher(*m_db);
    EXPECT_THROW(MatchRecipes(*m_db, matcher, {}), DbError);
    EXPECT_EQ(StoredFoods(500), (std::vector<long>{1, 0}));
    EXPECT_EQ(StoredFoods(501), (std::vector<long>{0, 0}));

    ExecuteRawSql(file, "DROP TRIGGER fail");
    std::vector<std::size_t> progress;
    const MatchCounts counts =
        MatchRecipes(*m_db, matcher, {}, [&](std::size_t done) { progress.push_back(done); });
    EXPECT_EQ(counts.Assigned, 1);
    EXPECT_EQ(counts.Open, recipes); // every "Mondstaub" line
    EXPECT_EQ(counts.Kept, 500 + 1);
    EXPECT_EQ(progress, (std::vector<std::size_t>{500, 502}));
    EXPECT_EQ(StoredFoods(501), (std::vector<long>{1, 0}));
    // A list limits the run to its recipes.
    const MatchCounts one = MatchRecipes(*m_db, matcher, {600});
    EXPECT_EQ(one.Assigned + one.Open, 0);
    EXPECT_EQ(one.Kept, 1);
}

} // namespace

} // namespace pf::test
