#pragma once
// The recipe editor's lookup of an ingredient text: the foods whose name or synonym starts with the
// typed text (shortened by one character when nothing is found, widened from main products to all
// foods when the person agrees), then the recipes whose title starts with it, for use as a
// sub-recipe. Reads only; questions and the "nothing found" message go through the interaction.

#include <string>
#include <vector>

namespace pf {

class Database;
class Interaction;

struct IngredientLookupOptions
{
    bool MainOnly = false;        // foods: main products only (the person may widen it)
    bool RecipesOnly = false;     // skip the foods
    bool FoodsOnly = false;       // skip the recipes
    bool CurrentBookOnly = false; // recipes: only those of Book
    long Book = 0;
    bool NoComposites = true; // foods: leave out composite dishes and components (X…, Y…)
    std::string LanguageSuffix = "D";
};

struct IngredientHit
{
    std::string Text; // food name, "Name [Synonym X]", or recipe title with " (source)"
    std::string Name; // the food's name or the recipe's title alone
    long Id = 0;      // T_BLS_KEY.ID, or T_REZ_KOPF.ID for a recipe
    bool IsRecipe = false;
    std::string Code; // the food's code; empty for a recipe
};

// The typed text as it is searched: trimmed, without the characters a name pattern would read as
// wildcards.
std::string LookupTerm(const std::string& text);

// Foods first (in name order), then recipes; empty after telling the person nothing was found.
// Throws DbError.
std::vector<IngredientHit> FindFoodsForIngredient(Database& db, const std::string& text,
                                                  IngredientLookupOptions options, Interaction& ui);

// The food a person names for a batch command: its ID, its code or its German name (case and
// surrounding blanks ignored). 0 when no food answers to it. Throws DbError.
long FindFoodId(Database& db, const std::string& idCodeOrName);

} // namespace pf
