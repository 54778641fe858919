#pragma once
// The Mensax XML writer of the export engine (modes 60, 61): the prologue, one recipe block per
// loaded, converted and scaled recipe, the menu blocks and the closing tag, each line through the engine's
// sink, which converts the text to the UTF-8 the file declares. The layout is fixed: indentation, one element
// per line, attributes in a fixed order. Also the picture type and escaping rules the reader shares.

#include "db/Value.h"

#include <string>
#include <string_view>
#include <vector>

namespace pf {

class ClRecipe;
class clsRecipeExport;

// "&" and "<" as entities; unless minimal also ">", the double quote and the apostrophe.
std::string XMLEscape(std::string_view text, bool minimal);

// "jpg" (JFIF or EXIF in bytes 7 to 10), "bmp", "gif" or "png" by the first bytes of a picture;
// "" for anything else. With messages an unknown type is reported to the user with the analysis
// code of its first 16 bytes.
std::string PictureFileType(const Blob& data, bool messages);

// The two-letter language code of the recipe element: DE, EN, FR or IT; DE for an unknown language.
std::string MensaxLanguageCode(long languageId);

void MensaxMediaInit(clsRecipeExport& engine);
void ExportMensaxRecipe(clsRecipeExport& engine, ClRecipe& recipe);
// The menu blocks of the listed menus (IDs below 1 and menus that cannot be loaded are left out),
// then the closing tag.
void ExportMensaxMenus(clsRecipeExport& engine, const std::vector<long>& menuIds);
void MensaxMediaClose(clsRecipeExport& engine, const std::vector<long>& menuIds);

} // namespace pf
