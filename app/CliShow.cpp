// The command that prints one recipe as readable text, scaled when asked.

#include "app/CliCommands.h"
#include "db/DatabaseChoice.h"
#include "model/ClRecipe.h"
#include "model/RecipeText.h"

#include <ostream>

namespace pf {

int CliShow(CliCall& call)
{
    long id = 0;
    long servings = 0;
    for (std::size_t i = 0; i < call.Args.size(); ++i) {
        const std::string& arg = call.Args[i];
        if (call.IsOption(i) && arg == "--servings") {
            if (!ParseServings(i + 1 < call.Args.size() ? call.Args[i + 1] : "", servings, call.Err))
                return 2;
            ++i;
        } else if (id == 0 && ParsePositiveNumber(arg, id)) {
        } else {
            call.Err << "Unbekanntes Argument: " << arg << "\n";
            return 2;
        }
    }
    if (id == 0) {
        call.Err << "Aufruf: pfannola-cli --db DATEI show ID [--servings N]\n";
        return 2;
    }
    CliDatabase db(call);
    if (!db)
        return 1;
    int code = 0;
    {
        ClRecipe recipe;
        if (!recipe.LoadByID(id, 2, true)) {
            if (recipe.LastError() != 0)
                call.Err << "Das Rezept " << id << " kann nicht gelesen werden: " << recipe.LastErrorText()
                         << "\n";
            else
                call.Err << "Ein Rezept mit der Nummer " << id << " gibt es nicht.\n";
            code = 1;
        } else {
            if (servings > 0) {
                if (recipe.Yield() == 0)
                    call.Err << "Das Rezept hat keine Mengenangabe und wird nicht umgerechnet.\n";
                recipe.ScaleRecipe(servings);
            }
            call.Out << RecipeAsText(recipe);
        }
    }
    return code;
}

} // namespace pf
