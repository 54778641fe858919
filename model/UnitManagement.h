#pragma once
// The rules behind the unit-management window: the questions and reports it shows, merging one
// recipe yield unit into another, finding and merging yield units whose German names repeat, and
// whether a measurement unit is still used by ingredient lines. Questions go through UI(); the
// writes go through clsRecipeUnit::RefreshDB, one transaction each.

#include <string>
#include <utility>
#include <vector>

namespace pf {

class ClUnit;
class Database;
class clsRecipeUnit;

// Warning shown when the unit-management window opens; appTitle is the program's title.
std::string UnitCompatibilityWarning(const std::string& appTitle);
// Question before the changed unit table is written.
std::string UnitTableSaveQuestion();
// Question before every recipe counted in oldName is moved to newName.
std::string RecipeUnitMergeQuestion(const std::string& oldName, const std::string& newName);

// True when some entry of the unit table was added or edited since the last save.
bool HasUnitChanges(ClUnit& units);

// Pairs (duplicate index, index of the first entry) of the yield units whose German names are
// equal ignoring case; entries already marked deleted take no part.
std::vector<std::pair<int, int>> FindDuplicateRecipeUnits(const clsRecipeUnit& units);

// Asks whether the recipes counted in entry index are to move to entry target; Yes merges (the
// recipes follow, the entry goes). False when the user declined, the entries are the same or
// invalid, or the write failed (then the reason has been shown and nothing changed).
bool MergeRecipeUnit(clsRecipeUnit& units, int index, int target);

// Asks whether to go on, merges every duplicate into its first entry and reports how many went
// and how many remain. Gives the number eliminated; -1 when the user declined or the write
// failed.
long RemoveDuplicateRecipeUnits(clsRecipeUnit& units);

// Number of ingredient lines that use the unit with this ID.
long UnitLineCount(Database& db, long unitId);

} // namespace pf
