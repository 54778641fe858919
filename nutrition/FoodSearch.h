#pragma once
// The name search of the food browser and of the food selection dialog: foods whose name starts
// with the term (or holds it, in the detailed search), optionally only main products or only the
// user's own foods, with synonym hits and each found food's synonyms listed as "Name [Synonym X]".
// Reads only.

#include <optional>
#include <string>
#include <vector>

namespace pf {

class Database;
class FoodTables;
class Interaction;

struct FoodSearchOptions
{
    bool Detailed = false;        // "Detailierte Suche (innerhalb des Namens)"
    bool MainOnly = false;        // "Nur Haupt-Nahrungsmittel"
    bool OwnOnly = false;         // "nur selbsterfasste Nahrungsmittel"
    bool InSynonyms = false;      // "Suche auch in Synonymen"
    bool ShowAllSynonyms = false; // "Automatische Anzeige aller Synonyme"
    bool OrderByCode = false;     // the selection dialog lists foods by code
    std::string LanguageSuffix = "D";
};

// Foods whose value of one nutrient lies between two bounds (per 100 g, in the nutrient's
// dimension); an unset bound does not limit.
struct NutrientRange
{
    std::string Key; // a nutrient descriptor's key
    std::optional<double> Min;
    std::optional<double> Max;
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

// The name search as a person runs it: when nothing is found and the detailed search was off, asks
// whether to search inside the names and, on Yes, switches options.Detailed on and searches again.
std::vector<FoodHit> SearchFoodsAsking(Database& db, const std::string& term, FoodSearchOptions& options,
                                       Interaction& ui);

// The foods of one class of the food class tree (codes starting with prefix), by name; with
// MainOnly only the base entries (codes ending in "00"), with ShowAllSynonyms their synonyms too.
std::vector<FoodHit> SearchFoodsByClass(Database& db, const std::string& prefix,
                                        const FoodSearchOptions& options);

// The foods named like term (all when it is empty) whose value of the nutrient lies in the range,
// by code; each hit's text ends with the value, "Magerquark (12,6 g)". A key that is no nutrient
// descriptor finds nothing.
std::vector<FoodHit> SearchFoodsByNutrient(Database& db, const FoodTables& tables, const std::string& term,
                                           const NutrientRange& range, const FoodSearchOptions& options);

} // namespace pf
