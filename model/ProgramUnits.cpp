#include "model/ProgramUnits.h"

#include "db/DatabaseChoice.h"
#include "model/ClIngredient.h"
#include "model/ClRecipe.h"
#include "model/ClUnit.h"
#include "model/clsRecipeUnit.h"

#include <memory>

namespace pf {

namespace {

struct ProgramLists
{
    std::unique_ptr<ClUnit> Units;
    std::unique_ptr<clsRecipeUnit> RecipeUnits;
};

ProgramLists& Lists()
{
    static ProgramLists lists;
    return lists;
}

} // namespace

ClUnit& ProgramUnits()
{
    ProgramLists& lists = Lists();
    if (!lists.Units)
        lists.Units = std::make_unique<ClUnit>();
    return *lists.Units;
}

clsRecipeUnit& ProgramRecipeUnits()
{
    ProgramLists& lists = Lists();
    if (!lists.RecipeUnits) {
        lists.RecipeUnits = std::make_unique<clsRecipeUnit>();
        lists.RecipeUnits->Init(WorkDb(), &ProgramUnits());
    }
    return *lists.RecipeUnits;
}

void ResetProgramData()
{
    Lists().RecipeUnits.reset();
    Lists().Units.reset();
    ClearRecipeCache();
    ClearIngredientCache();
}

} // namespace pf
