#pragma once
// The other names of a food (lexicon keywords of the food area): listing, adding or changing, and
// deleting them. A change reaches the database's matcher at once, so the next automatic match
// already knows the new name. Each call is one statement; failures throw DbError.

#include <string>
#include <vector>

namespace pf {

class Database;

struct FoodSynonym
{
    std::string Text;
    std::string Tree;
    long Language = 0;
};

// The synonyms of a food in the order they were stored.
std::vector<FoodSynonym> SynonymsOf(Database& db, long foodId);
// Adds the synonym, or updates tree and language of the one with the same text.
void SaveSynonym(Database& db, long foodId, const FoodSynonym& synonym);
// False when the food had no such synonym.
bool DeleteSynonym(Database& db, long foodId, const std::string& text);
// The foods that have synonyms, by German name: ID and name in the interface language.
std::vector<std::pair<long, std::string>> FoodsWithSynonyms(Database& db,
                                                            const std::string& languageSuffix = "D");

} // namespace pf
