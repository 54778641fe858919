#pragma once
// The RTF export (modes 40-42): an RTF 1.x document in code page 1252 with the font Arial; per
// recipe the title, the properties, the ingredients as a tabbed list, the preparation and the
// notes, recipes separated by page breaks. Characters beyond ASCII are written as \'xx escapes,
// characters outside code page 1252 as \uN.

#include <string>
#include <string_view>

namespace pf {

class ClRecipe;
class clsRecipeExport;

// Text as RTF: \ { } escaped, TAB as \tab, non-ASCII as \'xx or \uN?.
std::string RtfEscape(std::string_view text);
// Appends text to an RTF body: each line ended by CR LF becomes a paragraph (\par).
void RtfAddText(std::string& body, std::string_view text);
// The whole document around a body.
std::string RtfDocument(const std::string& body);

// The title line and one property line ("Kategorien:" and its value) of a recipe.
void RecAddRTFHeader(std::string& body, std::string_view title);
void RecAddRTFProperties(std::string& body, std::string_view label, std::string_view value);

void ExportRtfRecipe(clsRecipeExport& engine, ClRecipe& recipe);

} // namespace pf
