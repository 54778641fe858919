#include "model/ClUnit.h"

#include "core/AppContext.h"
#include "core/UserSettings.h"
#include "core/Utf8.h"
#include "db/DatabaseChoice.h"
#include "db/Recordset.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace pf {

namespace {

const UnitEntry kEmpty{};

bool IsConversionFactor(Decimal4 factor)
{
    return factor != Decimal4() && factor != Decimal4::FromLong(1);
}

// Nearest whole number of num/den (den > 0), halves to even.
std::int64_t DivRoundEven(std::int64_t num, std::int64_t den)
{
    std::int64_t q = num / den;
    std::int64_t r = num % den;
    if (r < 0) {
        --q;
        r += den;
    }
    if (2 * r > den || (2 * r == den && (q % 2 != 0)))
        ++q;
    return q;
}

// t(x): x rounded to tenths, then to a whole number, both halves to even; x in ticks.
std::int64_t TenthsThenWhole(std::int64_t ticks)
{
    return DivRoundEven(DivRoundEven(ticks, Decimal4::kScale / 10), 10);
}

// The rounding step of a scaled quantity q (ticks, three decimals).
std::int64_t RoundScaled(std::int64_t q)
{
    constexpr std::int64_t one = Decimal4::kScale;
    constexpr std::int64_t hundred = 100 * one;
    if (q <= one || q == hundred)
        return q;
    if (q < hundred) {
        if (q % 100 == 0) // at most two decimals
            return q;
        const std::int64_t here = TenthsThenWhole(q);
        const std::int64_t up = TenthsThenWhole(q + 4 * one / 10);
        if (up != here)
            return up * one;
        if (q > 10 * one) {
            const std::int64_t down = TenthsThenWhole(q - 4 * one / 10);
            if (down != here)
                return down * one;
        }
        return q;
    }
    const std::int64_t whole = DivRoundEven(q, one);
    const std::int64_t hundredsUp = DivRoundEven(whole + 4, 100);
    if (hundredsUp != DivRoundEven(whole, 100))
        return hundredsUp * hundred;
    return whole * one;
}

} // namespace

void ClUnit::Load()
{
    m_loaded = true;
    m_entries.assign(1, UnitEntry{});
    auto rs = Db().OpenRecordset("SELECT * FROM T_UNIT ORDER BY ID");
    bool hasNoFraction = false;
    for (int i = 0; i < rs->FieldCount(); ++i)
        hasNoFraction = hasNoFraction || EqualsNoCase(rs->FieldName(i), "NoFractionOnScale");
    while (!rs->Eof() && static_cast<int>(m_entries.size()) <= kMaxUnits) {
        UnitEntry e;
        e.id = static_cast<long>(rs->Field("ID").AsLong());
        e.ShownNameD = rs->Field("UnitShortD").AsText();
        e.ShownNameE = rs->Field("UnitShortUK").AsText();
        e.ShownNameUS = rs->Field("UnitShortUS").AsText();
        e.UnitNameD = ToUpper(e.ShownNameD);
        e.UnitNameE = ToUpper(e.ShownNameE);
        e.UnitNameUS = ToUpper(e.ShownNameUS);
        e.UnitLongD = rs->Field("UnitNameD").AsText();
        e.UnitLongE = rs->Field("UnitNameUK").AsText();
        e.UnitLongUS = rs->Field("UnitNameUS").AsText();
        e.US2DFactor = rs->Field("ConvMetrischUS").AsCurrency();
        e.UK2DFactor = rs->Field("ConvMetrisch").AsCurrency();
        e.Unscaled = rs->Field("Unscaled").AsBool();
        if (hasNoFraction)
            e.NoFractionOnScale = rs->Field("NoFractionOnScale").AsBool();
        else
            e.NoFractionOnScale = e.UnitNameD == "ML" || e.UnitNameD == "GR" || e.UnitNameD == "PR" ||
                                  e.UnitNameD == "TR" || e.UnitNameD == "SP";
        e.AutoScaleIndex = static_cast<long>(rs->Field("AutoScaleIndex").AsLong());
        e.AutoScaleValue = rs->Field("AutoScaleValue").AsCurrency();
        e.NaehrScaleIndex = static_cast<long>(rs->Field("NaehrScaleIndex").AsLong());
        e.NaehrScaleValue = rs->Field("NaehrScaleValue").AsCurrency();
        m_entries.push_back(std::move(e));
        rs->MoveNext();
    }
}

int ClUnit::Count()
{
    if (!m_loaded)
        Load();
    return static_cast<int>(m_entries.size()) - 1;
}

void ClUnit::LoadDefault(ClUnit& source)
{
    source.Count();
    m_entries = source.m_entries;
    m_loaded = true;
}

const UnitEntry* ClUnit::Entry(int index)
{
    if (index < 0 || index > Count())
        return nullptr;
    return &m_entries[static_cast<std::size_t>(index)];
}

#define PF_UNIT_GETTER(Type, Name)                                                                           \
    Type ClUnit::Name(int index)                                                                             \
    {                                                                                                        \
        const UnitEntry* e = Entry(index);                                                                   \
        return e ? e->Name : Type{};                                                                         \
    }
PF_UNIT_GETTER(long, id)
PF_UNIT_GETTER(std::string, UnitNameD)
PF_UNIT_GETTER(std::string, UnitNameE)
PF_UNIT_GETTER(std::string, UnitNameUS)
PF_UNIT_GETTER(std::string, UnitLongD)
PF_UNIT_GETTER(std::string, UnitLongE)
PF_UNIT_GETTER(std::string, UnitLongUS)
PF_UNIT_GETTER(Decimal4, US2DFactor)
PF_UNIT_GETTER(Decimal4, UK2DFactor)
PF_UNIT_GETTER(bool, Unscaled)
PF_UNIT_GETTER(bool, NoFractionOnScale)
PF_UNIT_GETTER(long, AutoScaleIndex)
PF_UNIT_GETTER(Decimal4, AutoScaleValue)
PF_UNIT_GETTER(long, NaehrScaleIndex)
PF_UNIT_GETTER(Decimal4, NaehrScaleValue)
PF_UNIT_GETTER(long, CalcMenuIndex)
#undef PF_UNIT_GETTER

void ClUnit::SetCalcMenuIndex(int index, long value)
{
    // Not stored, so it never marks the entry changed.
    if (Entry(index))
        m_entries[static_cast<std::size_t>(index)].CalcMenuIndex = value;
}

UnitEntry ClUnit::GetData(int index)
{
    const UnitEntry* e = Entry(index);
    return e ? *e : kEmpty;
}

bool ClUnit::StoreData(int index, const UnitEntry& entry)
{
    if (index < 1 || index > Count())
        return false;
    UnitEntry& target = m_entries[static_cast<std::size_t>(index)];
    UnitEntry next = entry;
    next.id = target.id;
    // A short name that only changed case keeps its spelling; one typed anew is shown as typed.
    for (auto [name, shown] :
         {std::pair{&next.UnitNameD, &next.ShownNameD}, std::pair{&next.UnitNameE, &next.ShownNameE},
          std::pair{&next.UnitNameUS, &next.ShownNameUS}}) {
        if (ToUpper(*shown) != ToUpper(*name))
            *shown = *name;
        *name = ToUpper(*name);
    }
    next.CalcMenuIndex = target.CalcMenuIndex;
    next.Changed = target.Changed;
    if (!(next == target))
        next.Changed = true;
    target = std::move(next);
    return true;
}

bool ClUnit::IsChanged(int index)
{
    const UnitEntry* e = Entry(index);
    return e && e->Changed;
}

int ClUnit::GetIndexforID(long unitId)
{
    const int n = Count();
    for (int i = 1; i <= n; ++i)
        if (m_entries[static_cast<std::size_t>(i)].id == unitId)
            return i;
    return 0;
}

int ClUnit::SearchforName(std::string_view name)
{
    const int n = Count();
    for (int i = 1; i <= n; ++i) {
        const UnitEntry& e = m_entries[static_cast<std::size_t>(i)];
        for (const std::string* candidate :
             {&e.UnitNameD, &e.UnitNameE, &e.UnitNameUS, &e.UnitLongD, &e.UnitLongE, &e.UnitLongUS})
            if (EqualsNoCase(*candidate, name))
                return i;
    }
    return 0;
}

std::vector<UnitListItem> ClUnit::FillUnitNameD(long selectID, bool withShortNames, int& selected)
{
    std::vector<UnitListItem> items;
    selected = -1;
    const int n = Count();
    for (int i = 1; i <= n; ++i) {
        const UnitEntry& e = m_entries[static_cast<std::size_t>(i)];
        std::string text = e.UnitLongD;
        if (withShortNames)
            text += " [" + e.ShownNameD + "]";
        if (e.id == selectID && selected < 0)
            selected = static_cast<int>(items.size());
        items.push_back({std::move(text), e.id});
    }
    return items;
}

int ClUnit::Add()
{
    if (Count() >= kMaxUnits)
        return 0;
    UnitEntry e;
    e.id = -1;
    e.Changed = true;
    m_entries.push_back(std::move(e));
    return Count();
}

bool ClUnit::Del(int index)
{
    LastErrorClear();
    if (!m_writable || index < 1 || index > Count())
        return false;
    try {
        const long unitId = m_entries[static_cast<std::size_t>(index)].id;
        if (unitId != -1)
            Db().Execute("DELETE FROM T_UNIT WHERE ID=" + std::to_string(unitId));
    } catch (const DbError& e) {
        SetDbError(e);
        return false;
    }
    m_entries.erase(m_entries.begin() + index);
    return true;
}

bool ClUnit::Save()
{
    LastErrorClear();
    if (!m_writable)
        return false;
    const int n = Count();
    try {
        Database& db = Db();
        DbTransaction trans(db);
        for (int i = 1; i <= n; ++i) {
            UnitEntry& e = m_entries[static_cast<std::size_t>(i)];
            if (!e.Changed)
                continue;
            const bool isNew = e.id == -1;
            if (isNew)
                e.id = static_cast<long>(db.Scalar("SELECT MAX(ID) FROM T_UNIT").AsLong()) + 1;
            auto rs = db.OpenRecordset("SELECT * FROM T_UNIT WHERE ID=" + std::to_string(e.id));
            if (rs->Eof()) {
                rs->AddNew();
                rs->SetField("ID", e.id);
            } else {
                rs->Edit();
            }
            rs->SetField("UnitNameUK", e.UnitLongE);
            // The spelling is kept in the table; read back it gives the same upper-case names.
            rs->SetField("UnitShortUK", e.ShownNameE);
            rs->SetField("UnitNameUS", e.UnitLongUS);
            rs->SetField("UnitShortUS", e.ShownNameUS);
            rs->SetField("UnitNameD", e.UnitLongD);
            rs->SetField("UnitShortD", e.ShownNameD);
            for (const char* unused :
                 {"UnitNameF", "UnitShortF", "UnitNameI", "UnitShortI", "UnitNameS", "UnitshortS"})
                rs->SetField(unused, "");
            rs->SetField("Unscaled", e.Unscaled);
            rs->SetField("NoFractionOnScale", e.NoFractionOnScale);
            rs->SetField("ConvMetrisch", e.UK2DFactor);
            rs->SetField("ConvMetrischUS", e.US2DFactor);
            rs->SetField("AutoScaleIndex", e.AutoScaleIndex);
            rs->SetField("AutoscaleValue", e.AutoScaleValue);
            rs->SetField("NaehrScaleIndex", e.NaehrScaleIndex);
            rs->SetField("NaehrScaleValue", e.NaehrScaleValue);
            rs->Update();
        }
        trans.Commit();
    } catch (const DbError& e) {
        SetDbError(e);
        // IDs given to new entries were rolled back with the rows.
        Load();
        return false;
    }
    for (int i = 1; i <= n; ++i)
        m_entries[static_cast<std::size_t>(i)].Changed = false;
    return true;
}

int ClUnit::CompleteConvtype(int flags, long editMasse, std::string_view languageCode)
{
    if ((flags & (convtype::kUK | convtype::kUS | convtype::kBritish)) == 0)
        flags |= UnitDisplayFactor(editMasse);
    if (languageCode == "E" && (flags & convtype::kUK) != 0)
        flags = (flags & ~convtype::kUK) | convtype::kBritish;
    return flags;
}

int ClUnit::CompleteConvtype(int flags)
{
    const AppContext& app = AppContext::Current();
    return CompleteConvtype(flags, app.Options.EditMasse, app.LanguageCode);
}

namespace {

// The names of one measure system in an entry: British with bit 8, else American with bit 4 or
// for language "E", else German.
struct SystemNames
{
    const std::string& Short;
    const std::string& Shown;
    const std::string& Long;
};

SystemNames NamesFor(const UnitEntry& e, int flags, std::string_view languageCode)
{
    if ((flags & convtype::kBritish) != 0)
        return {e.UnitNameE, e.ShownNameE, e.UnitLongE};
    if ((flags & convtype::kUS) != 0 || languageCode == "E")
        return {e.UnitNameUS, e.ShownNameUS, e.UnitLongUS};
    return {e.UnitNameD, e.ShownNameD, e.UnitLongD};
}

} // namespace

std::string ClUnit::UnitText(int index, int flags, std::string_view languageCode)
{
    const UnitEntry* e = Entry(index);
    if (!e)
        return {};
    const SystemNames names = NamesFor(*e, flags, languageCode);
    return (flags & convtype::kShortNames) != 0 ? names.Short : names.Long;
}

std::string ClUnit::DisplayUnitText(int index, int flags, std::string_view languageCode)
{
    const UnitEntry* e = Entry(index);
    if (!e)
        return {};
    const SystemNames names = NamesFor(*e, flags, languageCode);
    return names.Shown.empty() ? names.Long : names.Shown;
}

Decimal4 ClUnit::DisplayQuantity(Decimal4 stored, int index, int flags)
{
    Decimal4 q = stored;
    const UnitEntry* e = Entry(index);
    if (e && index > 0) {
        if ((flags & convtype::kUK) != 0 && IsConversionFactor(e->UK2DFactor))
            q = q * e->UK2DFactor;
        if ((flags & convtype::kUS) != 0 && IsConversionFactor(e->US2DFactor))
            q = q * e->US2DFactor;
    }
    std::int64_t ticks = q.Ticks();
    // At the edge of what a decimal holds (a quantity scaled up a millionfold) there is nothing
    // left to round, and rounding would wrap round to a negative amount.
    constexpr std::int64_t kEdge = std::numeric_limits<std::int64_t>::max() - Decimal4::kScale;
    if (ticks > kEdge || ticks < -kEdge)
        return q;
    const std::int64_t nearest = DivRoundEven(ticks, Decimal4::kScale) * Decimal4::kScale;
    if (std::llabs(ticks - nearest) < Decimal4::kScale / 1000)
        ticks = nearest;
    // Add half a thousandth and cut after the third decimal.
    ticks += Decimal4::kScale / 2000;
    ticks -= ticks % (Decimal4::kScale / 1000);
    return Decimal4::FromTicks(ticks);
}

Decimal4 ClUnit::StoredQuantity(Decimal4 shown, int index, int flags)
{
    Decimal4 stored = shown;
    const UnitEntry* e = Entry(index);
    if (e && index > 0) {
        // Undo the factors in the reverse order of the display.
        if ((flags & convtype::kUS) != 0 && IsConversionFactor(e->US2DFactor))
            stored = stored / e->US2DFactor;
        if ((flags & convtype::kUK) != 0 && IsConversionFactor(e->UK2DFactor))
            stored = stored / e->UK2DFactor;
    }
    return stored;
}

double ScaleRatio(long yield, long newYield)
{
    if (yield == 0 || newYield <= 0 || newYield == yield)
        return 0;
    const std::int64_t larger = std::max<std::int64_t>(yield, newYield);
    const std::int64_t smaller = std::min<std::int64_t>(yield, newYield);
    if (smaller <= 0)
        return 0;
    const std::int64_t millis = larger * 1000 / smaller;
    if (millis == 1000)
        return 0;
    return static_cast<double>(millis) / 1000.0;
}

Decimal4 ScaleQuantity(Decimal4 shown, double ratio, bool scaleUp, bool noFractionOnScale)
{
    const std::int64_t millis = std::llround(ratio * 1000.0);
    if (millis <= 0)
        return shown;
    // A quantity scaled beyond what a decimal holds stays at the largest one instead of wrapping
    // round to a negative amount.
    std::int64_t product = 0;
    if (scaleUp && __builtin_mul_overflow(shown.Ticks(), millis, &product))
        return Decimal4::FromTicks(shown.Ticks() < 0 ? std::numeric_limits<std::int64_t>::min()
                                                     : std::numeric_limits<std::int64_t>::max());
    // Exact in integers, so that a true half goes to even: q' in thousandths.
    const std::int64_t thousandths = scaleUp ? DivRoundEven(shown.Ticks() * millis, Decimal4::kScale)
                                             : DivRoundEven(shown.Ticks() * 100, millis);
    std::int64_t q = thousandths * (Decimal4::kScale / 1000);
    const bool evenWholeRatio = millis % 2000 == 0;
    const bool wholeUp = scaleUp && q % Decimal4::kScale == 0;
    if (!noFractionOnScale && !evenWholeRatio && !wholeUp)
        q = RoundScaled(q);
    return Decimal4::FromTicks(q);
}

} // namespace pf
