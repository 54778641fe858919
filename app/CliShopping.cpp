// The command that builds a shopping list from recipes and prints it as text, or as the exchange
// text another installation reads back.

#include "app/CliCommands.h"
#include "core/AppContext.h"
#include "core/Utf8.h"
#include "db/Database.h"
#include "planning/ClShoppingList.h"
#include "planning/ShoppingExchange.h"
#include "planning/ShoppingView.h"

#include <ostream>

namespace pf {

namespace {

constexpr const char* kUsage = "Aufruf: pfannola-cli --db DATEI shopping --ids LISTE [--servings N] "
                               "[--sort recipe|alpha|group|shop] [--shop ID] [--exchange]";

std::string Padded(const std::string& text, std::size_t width, bool right)
{
    const std::size_t length = ToCodePoints(text).size();
    const std::string fill(length < width ? width - length : 0, ' ');
    return right ? fill + text : text + fill;
}

bool SortOf(const std::string& word, ShoppingSort& sort)
{
    const std::pair<const char*, ShoppingSort> sorts[] = {{"recipe", ShoppingSort::Recipe},
                                                          {"alpha", ShoppingSort::Alpha},
                                                          {"group", ShoppingSort::Group},
                                                          {"shop", ShoppingSort::Shop}};
    for (const auto& [name, value] : sorts)
        if (word == name) {
            sort = value;
            return true;
        }
    return false;
}

// The list as a reader takes it to the shop: the recipes, then one line per ingredient with the
// recipes it is for.
void WriteList(std::ostream& out, ClShoppingList& list, const std::vector<ShoppingLine>& lines)
{
    out << "Einkaufsliste\n";
    for (int i = 1; i <= list.RecipeCount(); ++i)
        out << "  " << list.RecipeTitle(i) << " (" << list.RecipeYield(i).ToString() << " "
            << list.RecipeUnitName(i) << ")\n";
    out << "\n";
    for (const ShoppingLine& shown : lines) {
        if (shown.Line.IsTrenner()) {
            out << "\n" << shown.Line.Trennzeile() << ":\n";
            continue;
        }
        std::string recipes;
        for (long id : shown.Recipes) {
            const std::string title = list.TitleOfRecipe(id);
            if (!title.empty())
                recipes += (recipes.empty() ? "" : ", ") + title;
        }
        std::string line = Padded(shown.Line.MengeTxt(), 8, true) + " " +
                           Padded(shown.Line.DisplayUnitText(), 6, false) + " " + shown.Line.Ingredient();
        if (!recipes.empty())
            line = Padded(line, 48, false) + " [" + recipes + "]";
        out << line << "\n";
    }
}

} // namespace

int CliShopping(CliCall& call)
{
    std::vector<long> ids;
    long servings = 0;
    long shop = 0;
    bool exchange = false;
    ShoppingSort sort = ShoppingSort::Recipe;
    if (!ParseCliArgs(
            call, {IdsOption(ids),
                   ServingsOption(servings),
                   {"--sort", true, [&sort](const std::string& v) { return SortOf(v, sort); },
                    "Nach --sort muss recipe, alpha, group oder shop stehen."},
                   {"--shop", true, [&shop](const std::string& v) { return ParsePositiveNumber(v, shop); },
                    "Nach --shop muss die Nummer eines Geschäfts stehen."},
                   {"--exchange", false, [&exchange](const std::string&) { return exchange = true; }, ""}}))
        return 2;
    if (ids.empty()) {
        call.Err << kUsage << "\n";
        return 2;
    }
    if (sort == ShoppingSort::Shop && shop == 0) {
        call.Err
            << "Für --sort shop fehlt --shop ID (das Geschäft, nach dessen Reihenfolge sortiert wird).\n";
        return 2;
    }
    CliDatabase db(call);
    if (!db)
        return 1;
    {
        ShoppingViewOptions options;
        options.Sort = sort;
        if (shop > 0) {
            if (db->Scalar("SELECT COUNT(*) FROM T_ADRESSE WHERE ID=" + std::to_string(shop)).AsLong() == 0) {
                call.Err << "Ein Geschäft mit der Nummer " << shop << " gibt es nicht.\n";
                return 1;
            }
            options.StoreLocations = StoreLocationsOf(*db, shop);
        }
        ClShoppingList list;
        for (long id : ids) {
            const int slot = list.RecipeAdd(id, servings);
            if (slot == 0) {
                call.Err << "Eine Einkaufsliste fasst höchstens " << ClShoppingList::kMaxRecipes
                         << " Rezepte.\n";
                return 1;
            }
            if (list.RecipeTitle(slot).empty()) {
                call.Err << "Ein Rezept mit der Nummer " << id << " gibt es nicht.\n";
                return 1;
            }
        }
        if (list.LinesLeftOut() > 0) {
            call.Err << ClShoppingList::LinesLeftOutText(list.LinesLeftOut()) << "\n";
            return 1;
        }
        if (exchange) {
            // The exchange block keeps every line with its recipe.
            options.Merge = false;
            std::string text = ShoppingExchangeText(list, BuildShoppingView(list, options),
                                                    AppContext::Current().VersionText);
            std::erase(text, '\r');
            call.Out << text;
        } else {
            WriteList(call.Out, list, BuildShoppingView(list, options));
        }
    }
    return 0;
}

} // namespace pf
