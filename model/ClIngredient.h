#pragma once
// One line of a recipe's ingredient list (a row of T_REZ_ZUTAT), and the process-wide routines that
// turn quantity text into a number and back, used by the recipe editor, the importers and MengeTxt.
// Nothing here touches the database yet.

#include "core/Decimal4.h"

#include <string>
#include <string_view>

namespace pf {

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

private:
    template <typename T, typename V> void Assign(T& member, const V& value)
    {
        if (member != value) {
            member = value;
            m_changed = true;
        }
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
};

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
