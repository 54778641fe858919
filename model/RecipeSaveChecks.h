#pragma once
// The recipe editor's checks before a recipe is saved, and the save that follows them. The
// checks ask their questions and show their messages through UI(); they change nothing. The save
// creates a newly typed origin country and yield unit together with the recipe, in one
// transaction, so that a failed save leaves neither behind.

#include <string>
#include <vector>

namespace pf {

class ClRecipe;

// What the checks found out about a recipe the user wants to save.
struct RecipeSaveCheck
{
    // One line per problem the user has to remove before the recipe can be saved.
    std::vector<std::string> Problems;
    // The typed origin names a category that cannot serve as an origin; the save is refused.
    bool Refused = false;
    // The origin category the typed text names, 0 for none or a new one.
    long OriginID = 0;
    // A country the user agreed to create when the recipe is saved.
    std::string NewOrigin;
    // A yield unit typed in the editor that is not in the list yet; created on saving.
    std::string NewYieldUnit;

    bool CanSave() const { return !Refused && Problems.empty(); }
};

// Whether the completeness checks apply: a recipe counts as complete (not generic) once it has
// instructions and an ingredient line with a quantity. A draft without them is stored as generic
// without the questions; its category and yield are exactly what makes it generic.
bool NeedsCompletenessChecks(ClRecipe& recipe);

// Runs the checks in the editor's order: category, cookbooks, origin, yield. originText and
// yieldUnitText are the texts typed in the editor. A non-empty problem list is shown as one
// warning before the function returns.
RecipeSaveCheck CheckRecipeBeforeSave(ClRecipe& recipe, const std::string& originText,
                                      const std::string& yieldUnitText);

// Saves a recipe that passed the checks: creates the new origin country and yield unit, sets
// them and saves (as a child of the stored recipe with asChild), all in one transaction. On
// failure the recipe keeps its edits and its previous origin; errorText tells why in German.
bool SaveCheckedRecipe(ClRecipe& recipe, const RecipeSaveCheck& check, bool asChild, std::string& errorText);

// The message for a failed save of the recipe, from its LastError.
std::string RecipeSaveErrorText(const ClRecipe& recipe);

} // namespace pf
