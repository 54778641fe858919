#pragma once
// The (ID, name) lists that windows offer to choose from: literature sources, utensils, yield units,
// categories, countries, publishers, authors and the recipes a line may refer to. Each reads the
// given database; a table that cannot be read gives an empty list, so a window offers nothing.

#include <string>
#include <vector>

namespace pf {

class Database;

struct Choice
{
    long ID = 0;
    std::string Name;
};
using ChoiceList = std::vector<Choice>;

// Literature sources by title.
ChoiceList LiteratureChoices(Database& db);
// Utensils are the entries of lexicon area 2; an entry may have several keywords and is named by
// the first of them. One choice per entry, sorted by that name.
ChoiceList UtensilChoices(Database& db);
// Yield units ("Portionen", "Stück" …) by name.
ChoiceList YieldUnitChoices(Database& db);
// Categories that are not countries, by name.
ChoiceList KindCategoryChoices(Database& db);
// Countries of origin, by name.
ChoiceList OriginChoices(Database& db);
// Addresses named as publisher or as author of a literature source, each once, by name.
ChoiceList PublisherChoices(Database& db);
ChoiceList AuthorChoices(Database& db);
// The ID a person names for a batch command, by number or by text (surrounding blanks ignored): the
// first of the statements that finds a row for it; byNumber is tried only when the text is a
// number. Each statement selects the ID with one "?" for the value. 0 when none finds a row.
long IdNamedBy(Database& db, const std::string& text, const std::string& byNumber,
               const std::vector<std::string>& byText);
// The utensil a person names for a batch command: by its number, else by any of its keywords (case
// and surrounding blanks ignored). 0 when no utensil answers to it.
long UtensilIdOf(Database& db, const std::string& idOrKeyword);
// Recipes an ingredient line may refer to: stored, not in the trash, not templates, titled, and
// not the recipe itself (excludeID); by title.
ChoiceList RecipeReferenceChoices(Database& db, long excludeID);

} // namespace pf
