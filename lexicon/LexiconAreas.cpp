#include "lexicon/LexiconAreas.h"

#include "core/AppContext.h"
#include "core/Utf8.h"
#include "db/Database.h"
#include "db/DbError.h"

namespace pf {

const std::vector<long>& LexiconAreas()
{
    static const std::vector<long> areas = {0, 1, 2, 3, 4, 5, 6, 10, 11};
    return areas;
}

std::string LexiconAreaName(long area)
{
    switch (area) {
    case area::kTerms:
        return "Fachbegriffe";
    case area::kAdditives:
        return "Zusatzstoffe";
    case area::kUtensils:
        return "Utensilien";
    case area::kFoods:
        return "Nahrungsmittel";
    case area::kRecipes:
        return "Rezepte";
    case area::kTechniques:
        return "Kochtechnik";
    case area::kWine:
        return "Wein";
    case area::kVitamins:
        return "Vitamine";
    case area::kMinerals:
        return "Mineralstoffe";
    default:
        return {};
    }
}

bool IsTextArea(long area)
{
    return area == area::kTerms || area == area::kTechniques || area == area::kWine ||
           area == area::kVitamins || area == area::kMinerals;
}

std::string EntryTable(long area)
{
    switch (area) {
    case area::kAdditives:
        return "T_GIFT";
    case area::kUtensils:
        return "T_GERAET";
    case area::kFoods:
        return "T_BLS_KEY";
    case area::kWine:
        return "T_WEIN";
    case area::kVitamins:
    case area::kMinerals:
        return "T_INFO_KEY";
    default:
        return "T_LEXIKON";
    }
}

std::string UserLanguageGroup()
{
    const std::string code = ToUpper(AppContext::Current().LanguageCode);
    return code.empty() ? std::string("D") : code.substr(0, 1);
}

std::string LanguageGroupCondition(const std::string& group)
{
    if (group == "D")
        return " AND SprachCode IN (1,2,3)";
    if (group == "E")
        return " AND SprachCode IN (4,5)";
    if (group == "F")
        return " AND SprachCode IN (6,7)";
    if (group == "I")
        return " AND SprachCode IN (8,9)";
    return {};
}

long NextEntryID(Database& db, long area)
{
    const std::string table = EntryTable(area);
    std::string sql = "SELECT MAX(ID) FROM " + table;
    if (table == "T_INFO_KEY")
        sql += " WHERE KEYTYPE=" + std::to_string(area);
    const Value max = db.Scalar(sql);
    if (max.IsNull())
        return 1;
    const long next = max.AsLong() + 1;
    return next < 1 ? 1 : next;
}

} // namespace pf
