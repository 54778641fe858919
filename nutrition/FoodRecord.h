#pragma once
// One food of the food table with everything its information page shows: names, product text,
// season, unit weights, mean portion and price, and its value per nutrient descriptor. The foods of
// the base data are read-only; the user's own foods ("Selbsterfasst") can be created from a
// template food, changed and deleted, each change in one transaction over both food tables.
// Failures of the database throw DbError; refused changes return false with a German reason.

#include "core/Decimal4.h"

#include <optional>
#include <string>
#include <vector>

namespace pf {

class Database;
class FoodTables;

struct FoodRecord
{
    long Id = 0;
    std::string Code; // SBLS
    std::string Name; // ST
    std::string NameE;
    std::string NameF;
    std::string Info;
    long Season = 0; // bit i: month i+1 is in season
    bool Main = false;
    long StdUnit = 0;
    Decimal4 StdGrams;
    long AltUnit = 0;
    Decimal4 AltGrams;
    bool Own = false; // Userflag
    Decimal4 Portion; // GP, grams of a mean portion
    Decimal4 Price;   // GD, per 100 g
    // One value per nutrient descriptor, in the descriptors' order; empty where the food has none.
    std::vector<std::optional<double>> Values;
};

// The food with that ID; nullopt when there is none.
std::optional<FoodRecord> LoadFood(Database& db, const FoodTables& tables, long id);
// The ID of the food with that code, 0 when there is none.
long FoodIdOfCode(Database& db, const std::string& code);
// The German name of the food with that ID, "" when there is none.
std::string FoodNameOf(Database& db, long id);
// The code whose information page a food key opens: a key with a non-zero numeric value is a
// food's ID, any other key is a code itself. "" when the code is shorter than three characters
// (an ID without food, an empty key): there is nothing to show.
std::string FoodInfoCode(Database& db, const std::string& key);

// Stores the changed fields and values of an own food. A food of the base data, a food that is gone
// or an empty name are refused with the reason in problem.
bool SaveOwnFood(Database& db, const FoodTables& tables, const FoodRecord& food, std::string& problem);
// Deletes an own food with its values and synonyms; base foods are refused.
bool DeleteOwnFood(Database& db, long id, std::string& problem);
// How many ingredient lines name the food.
long FoodUseCount(Database& db, long id);

// The outcome of checking the code of a new food against its template: the first problem found
// ("" when none), the code with the offending characters put back from the template, and which
// characters to select for the user (0-based start, length).
struct NewFoodCodeCheck
{
    std::string Problem;
    std::string Code;
    int SelStart = 0;
    int SelLength = 0;
};
NewFoodCodeCheck CheckNewFoodCode(Database& db, const std::string& templateCode, const std::string& code);

// Creates an own food with the given code and name whose values are copied from the template food;
// returns its new ID. The code must have passed CheckNewFoodCode.
long CreateOwnFood(Database& db, const std::string& templateCode, const std::string& code,
                   const std::string& name);

} // namespace pf
