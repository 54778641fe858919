#pragma once
// What a shopping list shows: all lines ("Komplett") or those of one recipe ("pro Rezept"), in one
// of four orders, and in the complete view equal ingredients merged into one line, their
// quantities added up, also across units of one measure (250 g and 1 kg make 1.25 kg). The stored
// list is never changed; display, printout, exports and the command line all read this view.

#include "model/ChoiceLists.h"
#include "model/ClIngredient.h"

#include <string>
#include <string_view>
#include <vector>

namespace pf {

class ClShoppingList;
class Database;

enum class ShoppingSort { Recipe, Alpha, Group, Shop };

struct ShoppingViewOptions
{
    bool Complete = true;
    long RecipeID = 0; // the recipe shown per recipe
    ShoppingSort Sort = ShoppingSort::Recipe;
    std::string StoreLocations; // the chosen shop's food-group letters in shop order
    bool Merge = true;          // merge equal ingredients in the complete view
};

// One shown line: the ingredient, its food code and the recipes it came from (several when
// merged, the first is the line's own).
struct ShoppingLine
{
    ClIngredient Line;
    std::string Code;
    std::vector<long> Recipes;
};

// Rank of the code's group in the shop: the 1-based position of its first letter in
// storeLocations; 0 when the letter is not there, the code is empty or no shop is chosen.
int ShopPosition(std::string_view code, std::string_view storeLocations);
// The comparison the sort uses: true when a belongs after b.
bool ShoppingLineAfter(const ShoppingLine& a, const ShoppingLine& b, ShoppingSort sort,
                       std::string_view storeLocations);
// Exchanges neighbours while one belongs after the other; equal lines keep their order.
void SortShoppingLines(std::vector<ShoppingLine>& lines, ShoppingSort sort, std::string_view storeLocations);
// Lines with the same ingredient text (case ignored) and a quantity become one when their units
// are the same or measures of one kind; the sum takes the first line's unit, and a larger unit
// of its scale when the sum reaches it. Separators and lines without quantity stay as they are.
std::vector<ShoppingLine> MergeShoppingLines(const std::vector<ShoppingLine>& lines);

// The shops to choose from (active addresses of the kind "Geschäft"), by name.
ChoiceList ShopChoices(Database& db);
// The chosen shop's food-group letters; "" for no shop or one that is gone. Throws DbError.
std::string StoreLocationsOf(Database& db, long shopId);

// The view of the list under the options.
std::vector<ShoppingLine> BuildShoppingView(ClShoppingList& list, const ShoppingViewOptions& options);

} // namespace pf
