#include "model/ClIngredient.h"

#include "core/AppContext.h"
#include "core/LeadingNumber.h"
#include "core/Trim.h"
#include "core/Utf8.h"
#include "db/Database.h"
#include "db/DatabaseChoice.h"
#include "db/OpenDatabase.h"
#include "db/Recordset.h"
#include "model/ClUnit.h"
#include "model/ObjectCache.h"
#include "model/ProgramUnits.h"
#include "model/RecipeRows.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace pf {

namespace {

// The leading number of a text with "." as the only decimal point; a comma ends the number, so
// "2,5" reads as 2 outside decimal mode.
Decimal4 NumericValue(std::string_view text)
{
    bool negative = false;
    std::size_t pos = SkipBlanksAndSign(text, negative);
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
        ++pos;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
            ++pos;
    }
    return Decimal4::Parse(text.substr(0, pos));
}

std::string LocaleDecimal(Decimal4 value, char decimalSeparator)
{
    std::string text = value.ToString();
    const std::size_t point = text.find('.');
    if (point != std::string::npos)
        text[point] = decimalSeparator;
    return text;
}

struct LineKey
{
    long recipe = 0;
    long no = 0;
    friend bool operator==(const LineKey&, const LineKey&) = default;
};

ObjectCache<LineKey, ClIngredient>& LineCache()
{
    static ObjectCache<LineKey, ClIngredient> cache(1024);
    return cache;
}

} // namespace

void SetIngredientCacheCapacity(std::size_t capacity)
{
    LineCache().SetCapacity(capacity);
}

void ClearIngredientCache()
{
    LineCache().Clear();
}

IngredientKind ClIngredient::Kind() const
{
    if (m_isTrenner)
        return IngredientKind::Trenner;
    return m_isRecipe ? IngredientKind::Recipe : IngredientKind::Ingredient;
}

void ClIngredient::SetRezID(long id)
{
    Assign(m_rezId, id);
}

void ClIngredient::SetIngredNo(long no)
{
    Assign(m_ingredNo, no);
}

void ClIngredient::SetIsTrenner(bool value)
{
    Assign(m_isTrenner, value);
    if (value) {
        Assign(m_orgMeasurement, Decimal4());
        Assign(m_einheitId, 0L);
        Assign(m_blsId, std::string());
        Assign(m_verarbeitung, std::string());
        // A separator is stored with ZutRezept false.
        Assign(m_isRecipe, false);
    }
}

void ClIngredient::SetTrennzeile(std::string_view text)
{
    SetIsTrenner(!text.empty());
    Assign(m_text, std::string(text));
}

void ClIngredient::SetOrgMeasurement(Decimal4 quantity)
{
    Assign(m_orgMeasurement, quantity);
}

void ClIngredient::SetEinheitID(long id)
{
    Assign(m_einheitId, id);
}

void ClIngredient::SetIngredient(std::string_view text)
{
    std::string ingredient(text);
    std::string verarbeitung = m_verarbeitung;
    const std::size_t semicolon = ingredient.find(';');
    if (verarbeitung.empty() && semicolon != std::string::npos) {
        const std::string_view all = ingredient;
        const std::string_view after = all.substr(semicolon + 1);
        const std::size_t start = after.find_first_not_of(kBlanksAndTabs);
        verarbeitung = start == std::string_view::npos ? std::string() : std::string(after.substr(start));
        ingredient = std::string(all.substr(0, semicolon));
        ingredient.erase(ingredient.find_last_not_of(kBlanksAndTabs) + 1);
    }
    if (ingredient.empty() && !verarbeitung.empty())
        std::swap(ingredient, verarbeitung);
    Assign(m_text, ingredient);
    Assign(m_verarbeitung, verarbeitung);
}

void ClIngredient::SetVerarbeitung(std::string_view text)
{
    Assign(m_verarbeitung, std::string(text));
    SetIngredient(std::string(m_text));
}

std::string ClIngredient::ZutatVerarbeitung() const
{
    if (m_verarbeitung.empty())
        return m_text;
    return m_text + "; " + m_verarbeitung;
}

void ClIngredient::SetZubereitung(std::string_view text)
{
    Assign(m_zubereitung, std::string(text));
}

void ClIngredient::SetIsGegliedert(bool value)
{
    if (!value)
        Assign(m_zubereitung, std::string());
}

void ClIngredient::SetIsRecipeID(long id)
{
    Assign(m_isRecipe, id >= 1);
    Assign(m_recipeId, id >= 1 ? id : 0L);
}

void ClIngredient::SetBLSid(std::string_view id)
{
    Assign(m_blsId, std::string(id));
    m_foodKeyRead = false;
}

Decimal4 ParseQuantity(std::string_view text, long editFlags)
{
    std::string work(Trim(text));
    if ((editFlags & kEditFlagDecimalMode) != 0) {
        const std::size_t comma = work.find(',');
        if (comma != std::string::npos)
            work[comma] = '.';
        if (work.find('/') == std::string::npos)
            return NumericValue(work);
    }

    std::string_view whole;
    std::string_view fraction = work;
    const std::size_t blank = work.find(' ');
    if (blank != std::string::npos) {
        const std::string_view all = work;
        whole = Trim(all.substr(0, blank));
        fraction = Trim(all.substr(blank + 1));
    }

    Decimal4 value = NumericValue(fraction);
    const std::size_t slash = fraction.find('/');
    // Only a "/" among the first seven characters makes a fraction.
    if (slash != std::string_view::npos && CharLength(fraction.substr(0, slash)) < 7) {
        const Decimal4 divisor = NumericValue(fraction.substr(slash + 1));
        if (divisor != Decimal4())
            value = value / divisor;
    }
    return value + NumericValue(whole);
}

std::string FormatQuantity(Decimal4 q, long editFlags, char decimalSeparator)
{
    if (q == Decimal4())
        return {};
    if ((editFlags & kEditFlagDecimalMode) != 0)
        return LocaleDecimal(q, decimalSeparator);

    const std::int64_t whole = q.Ticks() / Decimal4::kScale; // toward zero
    const std::int64_t remainder = q.Ticks() % Decimal4::kScale;
    std::string out;
    if (whole != 0)
        out = std::to_string(whole) + " ";
    if (remainder != 0) {
        std::string part;
        // |remainder - n/d| < 0.01, in ticks multiplied by d so the test stays exact.
        for (std::int64_t d = 2; d <= 8 && part.empty(); ++d) {
            for (std::int64_t n = 1; n < d; ++n) {
                if (std::llabs(remainder * d - n * Decimal4::kScale) < Decimal4::kScale / 100 * d) {
                    part = std::to_string(n) + "/" + std::to_string(d);
                    break;
                }
            }
        }
        if (part.empty())
            part = LocaleDecimal(Decimal4::FromTicks(remainder), decimalSeparator);
        out += part;
    }
    return std::string(Trim(out));
}

} // namespace pf

namespace pf {

ClUnit& ClIngredient::Units() const
{
    return m_units ? *m_units : ProgramUnits();
}

int ClIngredient::EinheitPtr() const
{
    if (m_einheitId <= 0)
        return 0;
    return Units().GetIndexforID(m_einheitId);
}

void ClIngredient::SetEinheitPtr(int index)
{
    ClUnit& units = Units();
    if (index < 0 || index > units.Count()) {
        SetEinheitID(-1);
        return;
    }
    SetEinheitID(index == 0 ? 0 : units.id(index));
}

std::string ClIngredient::EinheitTxt() const
{
    return Units().UnitText(EinheitPtr(), ClUnit::CompleteConvtype(m_convtype),
                            AppContext::Current().LanguageCode);
}

std::string ClIngredient::DisplayUnitText() const
{
    return Units().DisplayUnitText(EinheitPtr(), ClUnit::CompleteConvtype(m_convtype),
                                   AppContext::Current().LanguageCode);
}

Decimal4 ClIngredient::Menge() const
{
    return Units().DisplayQuantity(m_orgMeasurement, EinheitPtr(), ClUnit::CompleteConvtype(m_convtype));
}

void ClIngredient::SetMenge(Decimal4 shown)
{
    SetOrgMeasurement(Units().StoredQuantity(shown, EinheitPtr(), ClUnit::CompleteConvtype(m_convtype)));
}

std::string ClIngredient::ReadableMengeTxt() const
{
    const Decimal4 shown = Menge();
    if (shown == m_orgMeasurement)
        return MengeTxt();
    return FormatQuantity(ReadableQuantity(shown), AppContext::Current().Options.EditFlags);
}

Decimal4 ReadableQuantity(Decimal4 quantity)
{
    const double value = quantity.ToDouble();
    const double magnitude = value < 0 ? -value : value;
    const double step = magnitude >= 100 ? 1.0 : magnitude >= 10 ? 0.5 : 0.01;
    return Decimal4::FromDouble(std::round(value / step) * step);
}

std::string ClIngredient::MengeTxt() const
{
    return FormatQuantity(Menge(), AppContext::Current().Options.EditFlags);
}

void ClIngredient::ReadRow(const Recordset& rs)
{
    m_rezId = static_cast<long>(rs["ID"].AsLong());
    m_ingredNo = static_cast<long>(rs["No"].AsLong());
    m_isTrenner = rs["ZutTrenner"].AsBool();
    m_orgMeasurement = Decimal4();
    m_einheitId = 0;
    m_verarbeitung.clear();
    m_zubereitung.clear();
    m_isRecipe = false;
    m_recipeId = 0;
    m_blsId.clear();
    m_foodKeyRead = false;
    m_blsCode.clear();
    m_blsText.clear();
    if (m_isTrenner) {
        m_text = Trim(rs["ZutText"].AsText());
    } else {
        m_orgMeasurement = rs["ZutAnz"].AsCurrency();
        m_einheitId = static_cast<long>(rs["ZutEinh"].AsLong());
        m_zubereitung = Trim(rs["ZutZubereitung"].AsText());
        m_text.clear();
        m_verarbeitung = Trim(rs["ZutVerarbeitung"].AsText());
        SetIngredient(Trim(rs["ZutText"].AsText()));
        m_isRecipe = rs["ZutRezept"].AsBool();
        const Value blsId = rs["ZutBLSID"];
        if (m_isRecipe)
            m_recipeId = static_cast<long>(blsId.AsLong());
        else if (!blsId.IsNull() && blsId.AsLong() != 0)
            m_blsId = blsId.AsText();
    }
    m_changed = false;
}

bool ClIngredient::Loadr(Recordset& rs, long no)
{
    if (no > 0) {
        for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext())
            if (rs["No"].AsLong() == no)
                break;
    }
    if (rs.Eof())
        return false;
    ReadRow(rs);
    return true;
}

bool ClIngredient::LoadByID(long recipeID, long no, Database* db)
{
    Database& database = db ? *db : WorkDb();
    // Other workstations change lines behind a copy, and checking it would cost a read: a server
    // database is read each time.
    const ClIngredient* cached =
        IsServerDatabase(database) ? nullptr : LineCache().Find(database.Serial(), LineKey{recipeID, no});
    if (cached) {
        ClUnit* units = m_units;
        *this = *cached;
        m_units = units;
        return true;
    }
    auto rs = database.OpenRecordset("SELECT * FROM T_REZ_ZUTAT WHERE ID=? AND No=?", {recipeID, no});
    if (rs->Eof())
        return false;
    ReadRow(*rs);
    LineCache().Put(database.Serial(), LineKey{recipeID, no}, *this);
    return true;
}

long ClIngredient::FindRecipeIngredientCount(Database& db, long recipeID)
{
    return static_cast<long>(db.Scalar("SELECT COUNT(*) FROM T_REZ_ZUTAT WHERE ID=?", {recipeID}).AsLong());
}

long ClIngredient::FindMaxRecipeIngredient(Database& db, long recipeID)
{
    return static_cast<long>(db.Scalar("SELECT MAX([No]) FROM T_REZ_ZUTAT WHERE ID=?", {recipeID}).AsLong());
}

void ClIngredient::Saver(Database& db)
{
    RecipeRowSet rows;
    AddRowTo(rows);
    rows.Write(db);
    m_changed = false;
}

void ClIngredient::AddRowTo(RecipeRowSet& rows) const
{
    IngredientRow row;
    row.RezID = m_rezId;
    row.No = m_ingredNo;
    row.IsTrenner = m_isTrenner;
    row.Text = m_text;
    if (!m_isTrenner) {
        row.UnitID = m_einheitId;
        row.Amount = m_orgMeasurement;
        row.Zubereitung = m_zubereitung;
        row.Verarbeitung = m_verarbeitung;
        row.Reference = m_isRecipe ? m_recipeId : LeadingLong(m_blsId);
        row.IsRecipe = m_isRecipe;
    }
    rows.AddIngredient(row);
}

void ClIngredient::SaveID(Database& db)
{
    DbTransaction trans(db);
    db.Execute("DELETE FROM T_REZ_ZUTAT WHERE ID=? AND No=?", {m_rezId, m_ingredNo});
    Saver(db);
    trans.Commit();
    LineCache().Put(db.Serial(), LineKey{m_rezId, m_ingredNo}, *this);
}

void ClIngredient::LookupFoodKey(Database& db)
{
    if (m_foodKeyRead)
        return;
    m_foodKeyRead = true;
    m_blsCode.clear();
    m_blsText.clear();
    if (m_isRecipe || m_blsId.empty())
        return;
    const std::string nameColumn = AppContext::Current().LanguageCode == "E" ? "STE" : "ST";
    const long numeric = LeadingLong(m_blsId);
    if (numeric > 0) {
        auto rs = db.OpenRecordset("SELECT SBLS, " + nameColumn + " FROM T_BLS_KEY WHERE ID=?", {numeric});
        if (!rs->Eof()) {
            m_blsCode = rs->Field(0).AsText();
            m_blsText = rs->Field(1).AsText();
        }
    } else {
        auto rs = db.OpenRecordset("SELECT [ID], " + nameColumn + " FROM T_BLS_KEY WHERE SBLS=?", {m_blsId});
        if (!rs->Eof()) {
            m_blsCode = m_blsId;
            m_blsText = rs->Field(1).AsText();
        }
    }
}

std::string ClIngredient::BLSCode(Database& db)
{
    LookupFoodKey(db);
    return m_blsCode;
}

std::string ClIngredient::BLSText(Database& db)
{
    LookupFoodKey(db);
    return m_blsText;
}

} // namespace pf
