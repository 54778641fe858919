#pragma once
// The other names of a food (lexicon keywords of the food area): listing, adding or changing, and
// deleting them. A change reaches the database's matcher at once, so the next automatic match
// already knows the new name. Each call is one statement; failures throw DbError.

#include <string>
#include <vector>

namespace pf {

class Database;
class Interaction;

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
// After the cook picked a food by hand for an ingredient text, offers to keep the text as one of
// the food's synonyms (Yes/No), so that the automatic matching finds the food by it from then on.
// Asks nothing when the text already is the food's name or one of its synonyms (case ignored).
// True when the synonym was stored.
bool LearnSynonym(Database& db, Interaction& ui, long foodId, const std::string& text, long language);

// The foods that have synonyms, by German name: ID and name in the interface language.
std::vector<std::pair<long, std::string>> FoodsWithSynonyms(Database& db,
                                                            const std::string& languageSuffix = "D");

} // namespace pf
