#pragma once
// The nutrient table of a recipe or of one food: foods are added with their gram amounts, the
// per-100 g values are scaled and summed per nutrient descriptor in fixed-point decimals, and the
// sums are shown per serving. Reads food values from the database, never writes.

#include "core/Decimal4.h"

#include "db/Value.h"

#include <memory>
#include <string>
#include <vector>

namespace pf {

class Database;
class FoodTables;
class Interaction;
class Recordset;

struct NutrientLine
{
    std::string Description;
    std::string Dimension;
    std::string Key;
    Decimal4 Per100;   // sum of the per-100 g values
    Decimal4 Absolute; // sum of the values scaled to the added grams
    int Missing = 0;   // added foods without a value for this nutrient
    int Column = 0;    // position of its value in a food's row as AddItems reads it
};

class NutrientTable
{
public:
    NutrientTable(Database& db, const FoodTables& tables);

    // Servings below 1 count as 1 when shown.
    void SetServings(long servings) { m_servings = servings; }
    long Servings() const { return m_servings < 1 ? 1 : m_servings; }

    // Adds one food: key is a T_BLS_KEY.ID when its numeric value is above 0, else a food code;
    // grams 0 adds the per-100 g values only. False when the food does not exist (nothing added).
    bool AddItems(const std::string& key, Decimal4 grams);
    // The same for several foods in order, reading the values of all foods given by ID at once.
    struct FoodAmount
    {
        std::string Key;
        Decimal4 Grams;
    };
    void AddAll(const std::vector<FoodAmount>& items);

    // Drops the nutrients no added food contains. False when nothing is left; then, with a ui, the
    // person is told there is nothing to show.
    bool ShowItems(Interaction* ui = nullptr);

    const std::vector<NutrientLine>& Lines() const { return m_lines; }
    // The shown value of a line: per serving, from the scaled sums when grams were added.
    Decimal4 Shown(const NutrientLine& line) const;
    // "Portionsgewicht ca. 250 Gramm", "Gewicht ca. 100 Gramm", or the constituents' weight.
    std::string WeightLabel() const;
    // "pro Portion" once a food was added with an amount, else "pro 100g/ml".
    std::string ValueHeader() const { return m_perServing ? "pro Portion" : "pro 100g/ml"; }
    Decimal4 TotalGrams() const { return m_totalGrams; }
    int FoodCount() const { return m_foodCount; }

private:
    std::vector<Value> ReadValues(std::unique_ptr<Recordset>& rs, int offset) const;
    void Accumulate(const std::vector<Value>& values, Decimal4 grams);

    Database& m_db;
    const FoodTables& m_tables;
    std::vector<NutrientLine> m_lines;
    long m_servings = 1;
    int m_foodCount = 0;
    Decimal4 m_totalGrams;
    Decimal4 m_constituents; // grams of water, protein, fat ... of the added foods
    bool m_perServing = false;
};

// A number as the tables show it: German separators, thousands grouped, decimals places rounded
// half away from zero ("1.234,568" for "#,##0.000").
std::string FormatGrouped(Decimal4 value, int decimals);
// The same with up to three decimals and none that are zero: "12,6", "1.250", "0,005".
std::string FormatShort(double value);

} // namespace pf
