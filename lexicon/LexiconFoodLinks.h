#pragma once
// The links between foods and lexicon entries: a food can point to the entries that explain it
// (a technique, an additive, a utensil, a vitamin …), one of them preferred, and an entry lists the
// foods that point to it. Each change is one statement or one transaction; failures throw DbError.

#include <string>
#include <vector>

namespace pf {

class Database;

struct FoodLexiconLink
{
    long FoodId = 0;
    long Area = 0;
    long EntryId = 0;
    bool Preferred = false;
    std::string FoodName;  // the food's German name
    std::string EntryName; // the entry's first keyword in the user's language group (any keyword
                           // when it has none there); "" when the entry is gone
};

// The links of a food, the preferred one first, then by area and name.
std::vector<FoodLexiconLink> LinksOfFood(Database& db, long foodId);
// The foods linked to an entry, by name.
std::vector<FoodLexiconLink> LinksOfEntry(Database& db, long area, long entryId);
// Links the food to the entry; false when the link exists already, the food or the entry does
// not exist, or the entry is a food (foods are not explained by foods).
bool AddFoodLink(Database& db, long foodId, long area, long entryId);
// False when there was no such link.
bool RemoveFoodLink(Database& db, long foodId, long area, long entryId);
// Makes the link the food's preferred one (the others stop being preferred), in one transaction;
// false when there is no such link.
bool SetPreferredFoodLink(Database& db, long foodId, long area, long entryId);

} // namespace pf
