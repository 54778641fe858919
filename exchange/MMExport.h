#pragma once
// The two fixed-column text formats of the export engine: Meal-Master (modes 0-2), with the
// program's fingerprint line and information block, and its German variant Rezkonv (modes 50,
// 51). Each writes one loaded, converted and scaled recipe through the engine's line sink.

#include <string>

namespace pf {

class ClRecipe;
class clsRecipeExport;

// "2.00.126": major, minor with two digits, revision with three.
std::string MMVersionText();

void ExportMealMasterRecipe(clsRecipeExport& engine, ClRecipe& recipe);
void ExportRezkonvRecipe(clsRecipeExport& engine, ClRecipe& recipe);

} // namespace pf
