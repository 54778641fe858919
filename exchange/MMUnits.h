#pragma once
// The unit abbreviations met in the unit column of Meal-Master and Rezkonv files, mapped onto the
// program's unit table. The table is searched by name first; before that a capital "T" means the
// tablespoon (as opposed to "t", the teaspoon), and after it the German shorthand of such files
// ("Pr", "Pk", "St", "Essl" ...) is tried. Shared by the reader and the writer.

#include <string_view>

namespace pf {

class ClUnit;

// Index of the unit in units (see ClUnit::SearchforName), 0 when none fits.
int FindMMUnit(ClUnit& units, std::string_view abbreviation);

} // namespace pf
