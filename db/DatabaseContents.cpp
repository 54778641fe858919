#include "db/DatabaseContents.h"

#include "db/Database.h"

namespace pf {

namespace {

struct CountedTable
{
    const char* Table;
    const char* Label;
};
const CountedTable kCounted[] = {
    {"T_REZ_KOPF", "Rezepte"},
    {"T_REZ_ZUTAT", "Zutatenzeilen"},
    {"T_BUCH", "Kochbücher"},
    {"T_CAT", "Kategorien"},
    {"T_UNIT", "Einheiten"},
    {"T_MENU_KOPF", "Menüs"},
    {"T_SHOPPING_KOPF", "Einkaufslisten"},
    {"T_ADRESSE", "Adressen"},
    {"T_LEXIKON", "Lexikoneinträge"},
    {"T_LITERATUR", "Literaturquellen"},
    {"T_BLS_DAT", "Lebensmittel (BLS)"},
    {"T_USER", "Benutzer"},
};

} // namespace

std::vector<TableCount> DatabaseContents(Database& db)
{
    std::vector<TableCount> counts;
    for (const CountedTable& table : kCounted) {
        if (!db.TableExists(table.Table))
            continue;
        const long rows =
            static_cast<long>(db.Scalar(std::string("SELECT COUNT(*) FROM ") + table.Table).AsLong());
        counts.push_back({table.Table, table.Label, rows});
    }
    return counts;
}

} // namespace pf
