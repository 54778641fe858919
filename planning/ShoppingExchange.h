#pragma once
// The texts a shopping list leaves the program as: the exchange block that another installation
// reads back from the clipboard, and the rows for a spreadsheet (tab-separated for the clipboard,
// ";"-separated with a byte-order mark for a .csv file). The exchange block is read back after
// what mail does to it: "> " quoting, lines wrapped at 72 columns, CR LF or LF, text around it.

#include "planning/ShoppingView.h"

#include <string>
#include <string_view>
#include <vector>

namespace pf {

class ClShoppingList;
class Database;

// The marker that opens an exchange block; the program's version text follows it.
inline constexpr const char* kShoppingExchangeMarker = "----- Pfannola Shoppinglist Exchange Data ---- ";

// The exchange block of the shown lines (unmerged: each line keeps its recipe).
std::string ShoppingExchangeText(ClShoppingList& list, const std::vector<ShoppingLine>& lines,
                                 const std::string& versionText);

enum class ExchangeRead { Ok, NoMarker, NoEnd };

// The message for a clipboard text without the marker (asks to copy it and press OK).
std::string ExchangeNoMarkerText();
// "Die Daten in der Zwischenablage sind korrupt: Das Ende fehlt."
std::string ExchangeNoEndText();

// Checks the text: marker and end marker present. Nothing is changed.
ExchangeRead CheckShoppingExchange(std::string_view text);
// Reads the block into the list, which the caller has emptied. Unless Ok, the list is untouched.
ExchangeRead ReadShoppingExchange(std::string_view text, ClShoppingList& list);

// The food class list of the database (FoodTables' form); empty when it cannot be read.
std::vector<std::string> LoadFoodClasses(Database& db);
// The detail and main food class names of a code, looked up in the class list (key padded to ten
// characters, then the name); "" when the list has no such class.
std::string DetailClassName(std::string_view code, const std::vector<std::string>& classes);
std::string MainClassName(std::string_view code, const std::vector<std::string>& classes);

// Spreadsheet rows: a header and one row per shown line (continuation lines starting with "-"
// joined to the line before). separator '\t' for the clipboard, ';' for a .csv file, whose
// fields are quoted where needed. Rows end with CR LF.
std::string ShoppingSpreadsheetRows(ClShoppingList& list, const std::vector<ShoppingLine>& lines,
                                    std::string_view storeLocations, const std::vector<std::string>& classes,
                                    char separator = '\t');
// The .csv file content: a UTF-8 byte-order mark and the ";"-separated rows.
std::string ShoppingCsv(ClShoppingList& list, const std::vector<ShoppingLine>& lines,
                        std::string_view storeLocations, const std::vector<std::string>& classes);

} // namespace pf
