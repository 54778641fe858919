#pragma once
// The recipe structure export (mode 80, to the clipboard): per recipe a small tree of how it hangs
// together: the recipe with its number and yield, the recipe it is a variation of, the
// sub-recipes its ingredient lines use (each with its own sub-recipes, indented one step deeper),
// the variations made from it and the recipes that use it as a sub-recipe. A sub-recipe met again on its own
// path is marked instead of being followed, so that recipes that use each other end the tree.

namespace pf {

class ClRecipe;
class clsRecipeExport;

void ExportRecipeStructure(clsRecipeExport& engine, ClRecipe& recipe);

} // namespace pf
