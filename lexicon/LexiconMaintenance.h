#pragma once
// The lists of the special maintenance menu: food keywords that occur more than once, and additives and
// utensils that have no description. Each row is ready to be shown as the cells of a table.

#include <string>
#include <vector>

namespace pf {

class Database;

struct MaintenanceList
{
    std::vector<std::string> Headers;
    std::vector<std::vector<std::string>> Rows;
};

// Food keywords (lexicon area 3) that name more than one food, so that a search for the word cannot
// tell them apart: the keyword, how often, and the foods with their codes.
MaintenanceList DuplicateFoodKeys(Database& db);

// Additives without Info text and utensils without description (empty text counts as none): the
// area, the number and the keyword.
MaintenanceList EntriesWithoutDescription(Database& db);

} // namespace pf
