#pragma once
// The RTF export (modes 40-42): an RTF 1.x document in code page 1252 with the font Arial; per
// recipe the title, the properties, the ingredients as a tabbed list, the preparation and the
// notes, recipes separated by page breaks. Characters beyond ASCII are written as \'xx escapes,
// characters outside code page 1252 as \uN. Also the way back: the plain text of an RTF text.

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

// The plain text of RTF: paragraphs and line breaks as CR LF, \tab as TAB, \'xx as a code-page
// 1252 character, \uN as that character (its replacement skipped); font, colour and style tables,
// destinations marked \* and every other control word are dropped. A text that is no RTF (not
// starting with "{\rtf") comes back as it is.
std::string RtfPlainText(std::string_view rtf);

} // namespace pf
