#pragma once
// The HTML export (modes 30, 31): a page with the style-sheet link or the style sheet itself (or
// a bare fragment for embedding), one block per recipe marked up with the public Recipe
// vocabulary, the recipe's first picture saved beside the output file, the title index and the
// download links at the end. Every line goes through the engine's line sink.

#include <string>

namespace pf {

class ClRecipe;
class clsRecipeExport;

// The public vocabulary type the recipe blocks declare.
inline constexpr const char* kRecipeItemType = "https://schema.org/Recipe";

void HtmlMediaInit(clsRecipeExport& engine);
void ExportHtmlRecipe(clsRecipeExport& engine, ClRecipe& recipe);
void HtmlMediaClose(clsRecipeExport& engine, const std::string& titleIndex, bool downloadSection);

} // namespace pf
