#pragma once
// The areas of the lexicon and what every area shares: its name, the table its entries live in,
// the language group that restricts keyword lists, and the numbering of new entries. Apart from
// NextEntryID these are pure functions.

#include <string>
#include <vector>

namespace pf {

class Database;

namespace area {
constexpr long kTerms = 0;
constexpr long kAdditives = 1;
constexpr long kUtensils = 2;
constexpr long kFoods = 3;
constexpr long kRecipes = 4;
constexpr long kTechniques = 5;
constexpr long kWine = 6;
constexpr long kVitamins = 10;
constexpr long kMinerals = 11;
} // namespace area

// The areas that have a name, in number order.
const std::vector<long>& LexiconAreas();
// "Fachbegriffe", "Zusatzstoffe" …; "" for 7, 8, 9 and any other number.
std::string LexiconAreaName(long area);
// Areas whose entries carry an explanation in T_LEXIKON.
bool IsTextArea(long area);
// The table holding the entries of an area (T_LEXIKON, T_GIFT, T_GERAET, T_BLS_KEY, T_WEIN); for
// vitamins and minerals, whose entries are nutrient descriptors, T_INFO_KEY.
std::string EntryTable(long area);

// The language group letter of the program's language ("D", "E", "F", "I").
std::string UserLanguageGroup();
// " AND SprachCode IN (1,2,3)" for group "D" and so on; "" for any other group.
std::string LanguageGroupCondition(const std::string& group);

// The number a new entry of the area gets: the largest ID of its entry table plus 1, at least 1.
// Throws DbError.
long NextEntryID(Database& db, long area);

} // namespace pf
