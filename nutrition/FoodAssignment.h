#pragma once
// Matching the ingredient lines of recipes to foods, one recipe at a time as a person reviews it
// (automatic match, choose a food, clear one or all, analyse again, store), and the batch run that
// matches whole collections. Only lines without a food are matched automatically; a recipe's
// changes are written in one transaction when it is stored.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace pf {

class Database;
class FoodChooser;
class FoodMatcher;
class Interaction;

struct AssignmentLine
{
    long No = 0;          // the line's number in the recipe
    std::string Text;     // "Original-Zutat"
    long FoodId = 0;      // 0 without food
    std::string FoodName; // "BLS-Zuordnung"
    bool Changed = false;
};

class FoodAssignment
{
public:
    FoodAssignment(Database& db, FoodMatcher& matcher);

    void SetRecipes(std::vector<long> ids);
    // Loads the next recipe of the list and matches its lines without food; false at the end.
    bool NextID();
    long RecipeId() const { return m_recipeId; }
    // "Rezept 12: Linsensuppe"
    std::string Heading() const;
    const std::vector<AssignmentLine>& Lines() const { return m_lines; }
    bool AllAssigned() const;
    // "Hinweis: Alle Zutaten enthalten eine BLS-Zuordnung." when every line has a food.
    std::string Hint() const;

    void ChooseProduct(std::size_t index, FoodChooser& chooser);
    void Assign(std::size_t index, long foodId);
    void Clear(std::size_t index);
    // Asks first (No is the default); true when the lines were cleared.
    bool ClearAll(Interaction& ui);
    // Runs the automatic matching again for every line without food.
    void Reanalyse();
    // Writes the changed lines' foods; false (nothing written) on a database error.
    bool SaveRecipe();

private:
    void Load(long recipeId);
    std::string FoodName(long id);

    Database& m_db;
    FoodMatcher& m_matcher;
    std::vector<long> m_ids;
    std::size_t m_next = 0;
    long m_recipeId = 0;
    std::string m_title;
    std::vector<AssignmentLine> m_lines;
};

// Stores one line's food as a person chose it, leaving the recipe's other lines as they are;
// false (nothing written) on a database error.
bool StoreFood(Database& db, long recipeId, long lineNo, long foodId);

struct MatchCounts
{
    long Assigned = 0; // lines that received a food in this run
    long Open = 0;     // ingredient lines still without a food
    long Kept = 0;     // lines that had a food before
};

// Matches every line without food of the given recipes (all recipes when ids is empty) and
// stores the foods found, one transaction per batch of recipes; a failed batch is rolled back and
// reported through the exception, the batches before it stay stored. progress receives the number
// of recipes done.
MatchCounts MatchRecipes(Database& db, FoodMatcher& matcher, const std::vector<long>& ids,
                         const std::function<void(std::size_t)>& progress = {});

} // namespace pf
