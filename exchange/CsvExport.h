#pragma once
// The CSV export (modes 90, 91) as spreadsheet programs read it: a header line of seven columns
// "Datum;Teller;Gericht;Beschreibung;Preis;Typ;Index", then one row per recipe (its category as
// the plate, the preparation as the description, "Rezept" and its number), then the rows of the
// listed menus (per course: the menu's date and title, the course, its description) and weekly
// plans (per dish: the serving day, the level, the dish, the level's price). The separator is ";"
// or ","; fields holding it, a quote or a line break are quoted, line breaks kept. The file is UTF-8
// and starts with a byte-order mark, so that spreadsheet programs show umlauts right.

#include <vector>

namespace pf {

class ClRecipe;
class clsRecipeExport;

void CsvMediaInit(clsRecipeExport& engine);
void ExportCsvRecipe(clsRecipeExport& engine, ClRecipe& recipe);
void CsvMediaClose(clsRecipeExport& engine, const std::vector<long>& menuIds);

} // namespace pf
