#pragma once
// What the nutrition code needs of a database in memory: the nutrient descriptors (the columns of
// the food value table a calculation sums), the food class tree and each unit's nutrient scale.
// Load reads all three from one database and never writes; the object belongs to that database.

#include "core/Decimal4.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace pf {

class Database;

struct NutrientDescriptor
{
    std::string Description; // in the interface language, German when that is empty
    short Index = 0;         // DINDEX
    std::string Key;         // DKEY, the column of T_BLS_DAT
    std::string Dimension;   // DDIM without its "/100g"
};

// How one unit converts to a base unit of the calculation (31 gram, 25 millilitre counted as
// grams); ScaleIndex 0 where only the food knows the weight (pieces, bunches, tins).
struct UnitScale
{
    long ScaleIndex = 0;
    Decimal4 ScaleValue;
    std::string LongName;
};

class FoodTables
{
public:
    static constexpr long kGram = 31;
    static constexpr long kMillilitre = 25;

    // Reads descriptors, class tree and unit scales; languageSuffix "D", "E", "F", "I" picks the
    // description columns. Throws DbError; false (and nothing kept) when no nutrient descriptor
    // exists, since no calculation could show anything.
    bool Load(Database& db, const std::string& languageSuffix = "D");

    const std::vector<NutrientDescriptor>& NutrientDescriptors() const { return m_descriptors; }
    // One entry per class: the key padded to ten characters, then the class name.
    const std::vector<std::string>& FoodClassList() const { return m_classes; }
    // The unit's scale; an unknown unit gives an empty scale.
    const UnitScale& Scale(long unitId) const;
    // Every unit with a name, by name: what a food's own units can be chosen from.
    std::vector<std::pair<long, std::string>> UnitList() const;
    // The comma-separated columns of every descriptor, for reading a food's values at once.
    const std::string& FieldList() const { return m_fieldList; }

    // A stored dimension as shown: "mg/100g" becomes "mg", text without a positive number after
    // the first "/" stays as it is.
    static std::string ShortDimension(const std::string& stored);

private:
    std::vector<NutrientDescriptor> m_descriptors;
    std::vector<std::string> m_classes;
    std::unordered_map<long, UnitScale> m_units;
    std::string m_fieldList;
};

} // namespace pf
