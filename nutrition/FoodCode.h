#pragma once
// What the seven characters of a food code say: processing state (or fat level, or kind of
// beverage, by group), preparation or role of a component, and weight reference, as lines of
// text; and the product information of a code, taken from a more general code when the code has
// none of its own.

#include <string>
#include <string_view>

namespace pf {

class Database;

// One line per position that says something, joined with CR LF; empty when none does.
std::string DescribeFoodCode(std::string_view code);

// The product information of code. When the code has none, positions 7 down to 3 are set to "0"
// one after the other until a code has some; code then holds the code that gave the text (or the
// most general code tried). Throws DbError.
std::string GetFoodInfoText(Database& db, std::string& code);

} // namespace pf
