#pragma once
// One line of a recipe's ingredient list (a row of T_REZ_ZUTAT), and the process-wide routines that
// turn quantity text into a number and back, used by the recipe editor, the importers and MengeTxt.
// A line shows its stored quantity through the unit table and its conversion flags; the database
// is touched only by the load, count and save operations.

#include "core/Decimal4.h"
#include "model/ChangeFlag.h"

#include <memory>
#include <string>
#include <string_view>

namespace pf {

class ClUnit;
class Database;
class RecipeRowSet;
class Recordset;

// What a line of the list is; the kind follows from ZutTrenner and ZutRezept.
enum class IngredientKind {
    Ingredient, // quantity, unit, ingredient text, processing, preparation, food key
    Trenner,    // a heading inside the list
    Recipe,     // another recipe used as a sub-recipe
};

// The stored fields of one ingredient line and the rules that keep them consistent when set.
// A new line is an ordinary line with no unit; every setter that changes a value marks it changed.
class ClIngredient
{
public:
    IngredientKind Kind() const;

    long RezID() const { return m_rezId; }
    void SetRezID(long id);
    long IngredNo() const { return m_ingredNo; }
    void SetIngredNo(long no);

    bool IsTrenner() const { return m_isTrenner; }
    // Making the line a separator clears quantity, unit, food key and processing text.
    void SetIsTrenner(bool value);
    std::string Trennzeile() const { return m_isTrenner ? m_text : std::string(); }
    // A non-empty text makes the line a separator, an empty text an ordinary line.
    void SetTrennzeile(std::string_view text);

    Decimal4 OrgMeasurement() const { return m_orgMeasurement; }
    void SetOrgMeasurement(Decimal4 quantity);
    long EinheitID() const { return m_einheitId; }
    void SetEinheitID(long id);

    const std::string& Ingredient() const { return m_text; }
    // Text after the first ";" becomes the processing when there is none yet; an empty ingredient
    // with a processing text swaps the two.
    void SetIngredient(std::string_view text);
    const std::string& Verarbeitung() const { return m_verarbeitung; }
    void SetVerarbeitung(std::string_view text);
    std::string ZutatVerarbeitung() const;

    const std::string& Zubereitung() const { return m_zubereitung; }
    void SetZubereitung(std::string_view text);
    bool IsGegliedert() const { return !m_zubereitung.empty(); }
    // Only false has an effect: it clears the preparation note.
    void SetIsGegliedert(bool value);

    bool IsRecipe() const { return m_isRecipe; }
    long IsRecipeID() const { return m_isRecipe ? m_recipeId : 0; }
    // 1 or more makes the line a reference to that recipe; anything else clears the reference.
    void SetIsRecipeID(long id);

    // Numeric T_BLS_KEY.ID or a food-key code.
    const std::string& BLSid() const { return m_blsId; }
    void SetBLSid(std::string_view id);

    bool IsChanged() const { return m_changed; }
    // Accepts the current state as unchanged (after a load or a save).
    void IgnoreChange() { m_changed = false; }

    // --- units and display ---------------------------------------------------------------------
    // The unit table the line looks its unit up in; null = the program's table.
    void SetUnits(ClUnit* units) { m_units = units; }
    ClUnit& Units() const;
    // Conversion flags of Part "units": 2 UK factor, 4 US factor and names, 8 British names, 16
    // short names; completed with the program's default measure system when none is set.
    int Convtype() const { return m_convtype; }
    void SetConvtype(int flags) { m_convtype = flags; }
    // Index of the unit in the unit table, 0 when the line has none or an unknown one.
    int EinheitPtr() const;
    // Takes the unit at index; an index outside the table gives unit ID -1.
    void SetEinheitPtr(int index);
    std::string EinheitTxt() const;
    // The unit as a recipe on screen shows it: the short name as the unit table spells it, in the
    // line's measure system ("454 g", "2 EL").
    std::string DisplayUnitText() const;
    // The quantity as shown under the conversion flags, to three decimals.
    Decimal4 Menge() const;
    // Takes a shown quantity: the stored quantity becomes it converted back into the unit's own
    // measure, so that display under any flags keeps the stored value of untouched lines.
    void SetMenge(Decimal4 shown);
    // The quantity for reading a recipe: like MengeTxt, but a quantity converted into another unit
    // system is rounded as a cook weighs it (454 instead of 453.592; see ReadableQuantity).
    std::string ReadableMengeTxt() const;
    // FormatQuantity of Menge with the program's EditFlags.
    std::string MengeTxt() const;

    // --- database --------------------------------------------------------------------------------
    // Reads the current row of a recordset over T_REZ_ZUTAT and clears the changed flag.
    void ReadRow(const Recordset& rs);
    // Reads the row with No = no from an open recordset over T_REZ_ZUTAT (no <= 0: the current
    // row); false when there is none.
    bool Loadr(Recordset& rs, long no);
    // Line no of recipeID from the line cache or the database (db null = work database).
    bool LoadByID(long recipeID, long no, Database* db = nullptr);
    static long FindRecipeIngredientCount(Database& db, long recipeID);
    static long FindMaxRecipeIngredient(Database& db, long recipeID);
    // Adds the line as a new T_REZ_ZUTAT row.
    void Saver(Database& db);
    // The line's new row, for writing with the recipe's other lines.
    void AddRowTo(RecipeRowSet& rows) const;
    // Writes this one line: replaces the row of RezID/IngredNo. Throws DbError.
    void SaveID(Database& db);

    // Food key: code and name, read from T_BLS_KEY on first use (empty for recipe references).
    std::string BLSCode(Database& db);
    std::string BLSText(Database& db);

private:
    void LookupFoodKey(Database& db);

    template <typename T, typename V> void Assign(T& member, const V& value)
    {
        AssignChanged(member, value, m_changed);
    }

    long m_rezId = 0;
    long m_ingredNo = 0;
    bool m_isTrenner = false;
    Decimal4 m_orgMeasurement;
    long m_einheitId = 0;
    std::string m_text; // ZutText: the ingredient, or the separator's text
    std::string m_verarbeitung;
    std::string m_zubereitung;
    bool m_isRecipe = false;
    long m_recipeId = 0;
    std::string m_blsId;
    bool m_changed = false;

    ClUnit* m_units = nullptr;
    int m_convtype = 0;
    bool m_foodKeyRead = false;
    std::string m_blsCode;
    std::string m_blsText;
};

// Process-wide cache of lines by recipe and number, kept per database; lines untouched for five
// minutes are replaced first. Capacity 0 switches it off.
void SetIngredientCacheCapacity(std::size_t capacity);
void ClearIngredientCache();

// A converted quantity rounded as a cook measures it: whole numbers from 100 on, halves from 10 on,
// two decimals below 10.
Decimal4 ReadableQuantity(Decimal4 quantity);

// Bit of the EditFlags setting that switches quantity entry and display from fractions to decimals.
inline constexpr long kEditFlagDecimalMode = 4;

// Reads "1 1/2", "3/4", "2", "2.5" (and "2,5" in decimal mode) into a quantity. A failing division
// (divisor 0) keeps the dividend; text without a leading number counts as 0.
Decimal4 ParseQuantity(std::string_view text, long editFlags);

// The quantity as the editor shows it: in fraction mode a whole number and the first fraction n/d
// (d up to 8) within 0.01 of the remainder, else the remainder as a decimal; 0 gives "".
// decimalSeparator is the user's locale separator for the decimal parts.
std::string FormatQuantity(Decimal4 q, long editFlags, char decimalSeparator = ',');

} // namespace pf
