#pragma once
// A recipe as plain readable text: head, ingredient lines with quantities as the editor shows
// them, instructions, notes. Used by the command-line program and for the clipboard.

#include <string>

namespace pf {

class ClRecipe;

std::string RecipeAsText(ClRecipe& recipe);

// A duration stored as a time of day, as "h:mm"; "" for none.
std::string DurationText(double daySerial);

} // namespace pf
