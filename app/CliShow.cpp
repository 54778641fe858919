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
    if (!ParseRecipeAndServings(call, "show", id, servings))
        return 2;
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
