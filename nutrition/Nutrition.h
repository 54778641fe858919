#pragma once
// The nutrition data of one open database: its food tables in memory and its ingredient matcher
// with the match cache. Each database gets its own, read on first use (the open sequence asks for
// it at once, so that a database without nutrient descriptors is refused when opened).

#include "nutrition/FoodMatcher.h"
#include "nutrition/FoodTables.h"

#include <functional>
#include <string>

namespace pf {

class Database;

struct Nutrition
{
    explicit Nutrition(Database& db);
    FoodTables Tables;
    FoodMatcher Matcher;
};

// The nutrition data of db, loaded when first asked for in the interface language of the current
// context; null when the database has no nutrient descriptors. Throws DbError. The matcher follows
// the current ImportBLSStrong setting.
Nutrition* NutritionOf(Database& db);
// The automatic matching of db as the recipe import asks for it (text to food ID, 0 for none);
// empty when the database has no nutrient descriptors.
std::function<long(const std::string&)> FoodKeyMatcher(Database& db);
// Makes the matcher of db read names and synonyms again before its next match (after a food or a
// synonym was added, renamed or deleted); nothing when db's data was not loaded.
void FoodNamesChanged(Database& db);
// Forgets the data of every database (after foods, synonyms or descriptors were replaced).
void ForgetNutrition();

} // namespace pf
