#pragma once
// The program's unit table and recipe yield-unit list, both over the work database. They are read
// on first use and dropped whenever another database becomes the work database.

namespace pf {

class ClUnit;
class clsRecipeUnit;

ClUnit& ProgramUnits();
clsRecipeUnit& ProgramRecipeUnits();
// Forgets both lists (and the recipe and line caches) after the work database changed.
void ResetProgramData();

} // namespace pf
