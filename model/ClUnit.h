#pragma once
// The program-wide table of measurement units (T_UNIT): names in the German, British and American
// measure systems, conversion factors and scaling flags, held in memory at indexes 1..Count (index
// 0 is an empty entry). Loads on first use; writes only through Save and Del when made writable.
// Also holds the arithmetic that shows a quantity in another measure system and scales it.

#include "model/ModelObject.h"

#include "core/Decimal4.h"

#include <string>
#include <string_view>
#include <vector>

namespace pf {

class Database;

// Bits of a line's conversion flags (Convtype).
namespace convtype {
constexpr int kUK = 2;      // multiply by UK2DFactor
constexpr int kUS = 4;      // multiply by US2DFactor, American names
constexpr int kBritish = 8; // British names
constexpr int kShortNames = 16;
} // namespace convtype

struct UnitEntry
{
    long id = 0;
    std::string UnitNameD; // short names, upper case
    std::string UnitNameE;
    std::string UnitNameUS;
    std::string UnitLongD;
    std::string UnitLongE;
    std::string UnitLongUS;
    // The short names as the unit table spells them ("g", "Stk."): what a cook reads on screen.
    std::string ShownNameD;
    std::string ShownNameE;
    std::string ShownNameUS;
    Decimal4 US2DFactor;
    Decimal4 UK2DFactor;
    bool Unscaled = false;
    bool NoFractionOnScale = false;
    long AutoScaleIndex = 0;
    Decimal4 AutoScaleValue;
    long NaehrScaleIndex = 0;
    Decimal4 NaehrScaleValue;
    long CalcMenuIndex = 0;
    bool Changed = false;

    friend bool operator==(const UnitEntry&, const UnitEntry&) = default;
};

// One line of a unit list control: its text and the unit's ID as item data.
struct UnitListItem
{
    std::string Text;
    long ItemData = 0;
};

class ClUnit : public ModelObject
{
public:
    static constexpr int kMaxUnits = 256;

    ClUnit() = default;
    // Without a database the work database is read on first use.
    void SetDB(Database* db) { m_db = db; }
    void SetRW(bool writable) { m_writable = writable; }
    bool IsRW() const { return m_writable; }

    // Number of units; loads the table on the first call.
    int Count();
    // Copies the loaded table of source (used for a second database).
    void LoadDefault(ClUnit& source);

    // Property getters: an index outside 0..Count gives an empty value.
    long id(int index);
    std::string UnitNameD(int index);
    std::string UnitNameE(int index);
    std::string UnitNameUS(int index);
    std::string UnitLongD(int index);
    std::string UnitLongE(int index);
    std::string UnitLongUS(int index);
    Decimal4 US2DFactor(int index);
    Decimal4 UK2DFactor(int index);
    bool Unscaled(int index);
    bool NoFractionOnScale(int index);
    long AutoScaleIndex(int index);
    Decimal4 AutoScaleValue(int index);
    long NaehrScaleIndex(int index);
    Decimal4 NaehrScaleValue(int index);
    long CalcMenuIndex(int index);
    void SetCalcMenuIndex(int index, long value);

    // The whole entry; GetData of an invalid index gives an empty entry. StoreData replaces the
    // entry (short names upper-cased; a short name typed anew also becomes its shown spelling) and
    // marks it changed when it differs; index 1..Count only.
    UnitEntry GetData(int index);
    bool StoreData(int index, const UnitEntry& entry);
    bool IsChanged(int index);

    // First entry with this ID, 0 when none.
    int GetIndexforID(long id);
    // First entry whose short or long name in any measure system equals name, ignoring case.
    int SearchforName(std::string_view name);

    // The items of a unit list: long German names, optionally followed by " [short name]" as the
    // table spells it;
    // selected receives the position of the entry with selectID, -1 when none.
    std::vector<UnitListItem> FillUnitNameD(long selectID, bool withShortNames, int& selected);

    // Appends an unsaved entry (ID -1); 0 when the table is full.
    int Add();
    // Deletes the unit's row (writable only, index 1 or more) and closes the gap.
    bool Del(int index);
    // Writes every changed entry (writable only); new entries receive the next free ID.
    bool Save();

    // Adds to flags the default measure system of editMasse when none of 2, 4 and 8 is set, and
    // shows British instead of metric-converted quantities for language "E".
    static int CompleteConvtype(int flags, long editMasse, std::string_view languageCode);
    // Flags completed from the current application context.
    static int CompleteConvtype(int flags);
    // Unit text of a line with completed flags.
    std::string UnitText(int index, int flags, std::string_view languageCode);
    // The unit as a recipe on screen shows it: the short name in the table's spelling ("454 g"),
    // in the measure system of the completed flags; the long name for a unit without short name.
    std::string DisplayUnitText(int index, int flags, std::string_view languageCode);
    // Shown quantity of a stored quantity under completed flags, rounded to three decimals.
    Decimal4 DisplayQuantity(Decimal4 stored, int index, int flags);
    // The stored quantity of a shown one: the display's factors undone, so that a quantity shown
    // and entered again keeps its stored value.
    Decimal4 StoredQuantity(Decimal4 shown, int index, int flags);

private:
    const UnitEntry* Entry(int index);
    void Load();

    bool m_writable = false;
    bool m_loaded = false;
    std::vector<UnitEntry> m_entries; // [0] is the empty entry
};

// Scaling a recipe from yield to newYield. Gives the ratio (larger yield over smaller, cut to
// three decimals), or 0 when nothing is to be scaled.
double ScaleRatio(long yield, long newYield);
// The new shown quantity of a scaled line: multiplied (scaleUp) or divided by ratio to three
// decimals with halves to even, then rounded to a quantity a cook would measure unless the unit
// forbids it, the ratio is an even whole number, or an up-scaled result is already whole.
Decimal4 ScaleQuantity(Decimal4 shown, double ratio, bool scaleUp, bool noFractionOnScale);

} // namespace pf
