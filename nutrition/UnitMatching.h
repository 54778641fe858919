#pragma once
// Turns the ingredient lines of a recipe into gram amounts of foods, the step before a nutrient
// table: pieces through the food's own standard or alternative unit, spoons, cups, ounces and
// volumes through the unit table, lines without unit through the food's mean portion. A line that
// cannot be turned into grams is kept with the reason it is left out; nothing is guessed. Reads
// the recipe and its foods; writes only when Learn is called.

#include "core/Decimal4.h"
#include "nutrition/NutrientTable.h"

#include <string>
#include <vector>

namespace pf {

class Database;
class FoodTables;
class Interaction;

struct ConversionLine
{
    bool Skip = false;
    Decimal4 Quantity; // grams once converted
    long Unit = 0;     // 31 (gram) or 25 (millilitre as grams) once converted
    std::string MengeTxt;
    std::string Ingredient;
    std::string Verarbeitung;
    std::string Zubereitung;
    std::string UnitName;
    std::string FoodKey;  // T_BLS_KEY.ID or a food code, empty without food
    std::string FoodName; // empty when the food does not exist
    bool Changed = false; // the grams were set by hand
    long No = 0;          // the line's number in the recipe
    Decimal4 OrgQuantity; // as stored in the recipe, in its own unit
    long OrgUnit = 0;
    // Why the line does not count ("ohne Nahrungsmittel", ...); empty when it does.
    std::string LeftOut;
};

// "2 Esslöffel Butter, zerlassen": the line as the recipe shows it.
std::string LineText(const ConversionLine& line);

class UnitMatching
{
public:
    UnitMatching(Database& db, const FoodTables& tables);

    // Loads the recipe's lines and converts them; false when the recipe cannot be read.
    bool NextID(long recipeId);
    long RecipeId() const { return m_recipeId; }
    const std::string& Title() const { return m_title; }
    long Yield() const { return m_yield; }
    void SetServings(long servings) { m_servings = servings; }
    long Servings() const { return m_servings > 0 ? m_servings : (m_yield > 0 ? m_yield : 1); }

    const std::vector<ConversionLine>& Lines() const { return m_lines; }
    // Corrections on the matching list: grams by hand (marks the line changed), leave a line out.
    void SetGrams(std::size_t index, Decimal4 grams);
    void SetSkip(std::size_t index, bool skip);

    // Adds every line that counts to a table per serving.
    NutrientTable Calculate() const;
    // The lines that do not count, with their reasons (separators are no ingredients and absent).
    std::vector<const ConversionLine*> LeftOutLines() const;

    // Stores a changed line's unit and grams per unit as the food's standard (primary) or
    // alternative assignment; false for a line that cannot be learned (no food, no quantity).
    bool Learn(std::size_t index, bool primary);
    // After a calculation: asks whether changed assignments are to be learned and, per line, which
    // assignment to replace. Returns the number of lines learned.
    int LearnChanged(Interaction& ui);

private:
    void Convert(ConversionLine& line);

    Database& m_db;
    const FoodTables& m_tables;
    long m_recipeId = 0;
    std::string m_title;
    long m_yield = 0;
    long m_servings = 0;
    std::vector<ConversionLine> m_lines;
};

} // namespace pf
