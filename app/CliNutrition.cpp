// The nutrition commands of the command-line program: the nutrient table of one recipe per
// serving, and the automatic matching of ingredient lines to foods over many recipes.

#include "app/CliCommands.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "nutrition/FoodAssignment.h"
#include "nutrition/NutrientTable.h"
#include "nutrition/Nutrition.h"
#include "nutrition/UnitMatching.h"

#include <ostream>

namespace pf {

namespace {

const char* const kNoDescriptors =
    "Die Datenbank enthält keine Nährwert-Beschreibungen; es kann nichts berechnet werden.\n";

} // namespace

int CliNutrients(CliCall& call)
{
    long id = 0;
    long servings = 0;
    if (!ParseRecipeAndServings(call, "nutrients", id, servings))
        return 2;
    CliDatabase db(call);
    if (!db)
        return 1;
    Nutrition* nutrition = NutritionOf(*db);
    if (!nutrition) {
        call.Err << kNoDescriptors;
        return 1;
    }
    UnitMatching matching(*db, nutrition->Tables);
    if (!matching.NextID(id)) {
        call.Err << "Ein Rezept mit der Nummer " << id << " gibt es nicht.\n";
        return 1;
    }
    matching.SetServings(servings);
    NutrientTable table = matching.Calculate();
    const bool any = table.ShowItems();
    int code = 0;
    if (any) {
        call.Out << "Nährwerte " << table.ValueHeader() << " (" << matching.Servings()
                 << (matching.Servings() == 1 ? " Portion" : " Portionen") << "), " << table.WeightLabel()
                 << "\n";
        for (const NutrientLine& line : table.Lines()) {
            call.Out << line.Description << '\t' << FormatGrouped(table.Shown(line), 3) << '\t'
                     << line.Dimension;
            if (line.Missing > 0)
                call.Out << "\tunvollständig: " << line.Missing
                         << (line.Missing == 1 ? " Zutat ohne Wert" : " Zutaten ohne Wert");
            call.Out << '\n';
        }
    } else {
        call.Err << "Es gibt keine Nährwertinformationen zum Anzeigen.\n";
        code = 1;
    }
    const auto leftOut = matching.LeftOutLines();
    if (!leftOut.empty()) {
        call.Out << (any ? "\n" : "") << "Nicht berechnet:\n";
        for (const ConversionLine* line : leftOut)
            call.Out << LineText(*line) << '\t' << line->LeftOut << '\n';
    }
    return code;
}

int CliMatch(CliCall& call)
{
    std::vector<long> ids;
    if (!ParseCliArgs(call, {IdsOption(ids)}))
        return 2;
    CliDatabase db(call);
    if (!db)
        return 1;
    if (!db->IsUpdatable()) {
        call.Err << "Die Zuordnung ist fehlgeschlagen: Die Datenbank ist schreibgeschützt.\n";
        return 1;
    }
    Nutrition* nutrition = NutritionOf(*db);
    if (!nutrition) {
        call.Err << kNoDescriptors;
        return 1;
    }
    MatchCounts counts;
    try {
        counts = MatchRecipes(*db, nutrition->Matcher, ids);
    } catch (const DbError& error) {
        call.Err << "Die Zuordnung wurde abgebrochen: " << error.Description()
                 << ". Die Zuordnungen der Rezepte davor bleiben gespeichert.\n";
        return 1;
    }
    call.Out << "zugeordnet: " << counts.Assigned << ", offen: " << counts.Open << "\n";
    return 0;
}

} // namespace pf
