#pragma once
// The name search of the food browser and of the food selection dialog: foods whose name starts
// with the term (or holds it, in the detailed search), optionally only main products or only the
// user's own foods, with synonym hits and each found food's synonyms listed as "Name [Synonym X]".
// Reads only.

#include <string>
#include <vector>

namespace pf {

class Database;

struct FoodSearchOptions
{
    bool Detailed = false;        // "Detailierte Suche (innerhalb des Namens)"
    bool MainOnly = false;        // "Nur Haupt-Nahrungsmittel"
    bool OwnOnly = false;         // "nur selbsterfasste Nahrungsmittel"
    bool InSynonyms = false;      // "Suche auch in Synonymen"
    bool ShowAllSynonyms = false; // "Automatische Anzeige aller Synonyme"
    std::string LanguageSuffix = "D";
};

struct FoodHit
{
    std::string Text; // the name, or "Name [Synonym X]"
    std::string Code;
    long Id = 0;
};

// Throws DbError.
std::vector<FoodHit> SearchFoodsByName(Database& db, const std::string& term,
                                       const FoodSearchOptions& options);

} // namespace pf
