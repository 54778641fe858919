#include "exchange/MMUnits.h"

#include "core/Utf8.h"
#include "model/ClUnit.h"

#include <string>
#include <utility>

namespace pf {

namespace {

// Shorthand of German recipe files that no unit carries as its name: what it stands for, as a
// name the unit table knows.
constexpr std::pair<std::string_view, std::string_view> kAliases[] = {
    {"ESSL", "EL"},
    {"TEEL", "TL"},
    {"EL.", "EL"},
    {"TL.", "TL"},
    {"ST", "Stk."},
    {"STCK", "Stk."},
    {"STK", "Stk."},
    {"STÜCK", "Stk."},
    {"PK", "Pck."},
    {"PCK", "Pck."},
    {"PKT", "Pck."},
    {"PÄCKCHEN", "Pck."},
    {"PKG", "pk"},
    {"PR", "Pr."},
    {"MS", "Msp."},
    {"MSP", "Msp."},
    {"TAS", "Ta."},
    {"TA", "Ta."},
    {"DOS", "Ds."},
    {"ZE", "Zehe"},
    {"ZEH", "Zehe"},
    {"BL", "Bl."},
    {"BD", "Bd."},
    {"ZW", "Zw."},
    {"SCHB", "Sch."},
    {"N.B.", "n. G."},
    {"N.G.", "n. G."},
    {"NB", "n. G."},
    {"WÜ", "Wf."},
    {"BE", "Bech."},
    {"LT", "l"},
    {"GR.", "gr."},
    // English spellings of writers that ignore the two-letter column.
    {"TSP", "ts"},
    {"TBS", "tb"},
    {"TBSP", "tb"},
    {"LBS", "lb"},
    {"CUP", "c"},
    {"CUPS", "c"},
    {"OZS", "oz"},
    {"QTS", "qt"},
    {"PT.", "pt"},
};

} // namespace

int FindMMUnit(ClUnit& units, std::string_view abbreviation)
{
    if (abbreviation.empty())
        return 0;
    // Upper case names the tablespoon in these files; the table's lookup ignores case.
    if (abbreviation == "T")
        return units.SearchforName("tb");
    if (abbreviation == "t")
        return units.SearchforName("ts");
    if (const int found = units.SearchforName(abbreviation))
        return found;
    const std::string upper = ToUpper(abbreviation);
    if (upper.back() != '.') {
        if (const int found = units.SearchforName(upper + "."))
            return found;
    }
    // "Essl." and "Essl" alike.
    const std::string_view key =
        upper.size() > 1 && upper.back() == '.' ? std::string_view(upper).substr(0, upper.size() - 1) : upper;
    for (const auto& [alias, name] : kAliases)
        if (upper == alias || key == alias)
            return units.SearchforName(name);
    return 0;
}

} // namespace pf
