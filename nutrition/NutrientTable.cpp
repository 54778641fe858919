#include "nutrition/NutrientTable.h"

#include "core/Interaction.h"
#include "core/Utf8.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "nutrition/FoodTables.h"

#include <array>
#include <cstdlib>
#include <unordered_map>

namespace pf {

namespace {

// Main constituents whose sum weighs a food when no gram amount is known.
bool IsConstituent(const std::string& key)
{
    static constexpr std::array<std::string_view, 9> kKeys = {"ZW", "ZE", "ZF", "ZK",  "ZB",
                                                              "ZM", "ZO", "ZA", "KPON"};
    for (std::string_view k : kKeys)
        if (k == key)
            return true;
    return false;
}

} // namespace

std::string FormatGrouped(Decimal4 value, int decimals)
{
    std::int64_t unit = Decimal4::kScale;
    for (int i = 0; i < decimals && unit > 1; ++i)
        unit /= 10;
    const bool negative = value.Ticks() < 0;
    std::int64_t ticks = std::llabs(value.Ticks());
    ticks = (ticks + unit / 2) / unit; // rounded to the shown places, half away from zero
    std::int64_t scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    const std::string whole = std::to_string(ticks / scale);
    std::string text;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            text += '.';
        text += whole[i];
    }
    if (decimals > 0) {
        std::string fraction = std::to_string(ticks % scale);
        text += ',' + std::string(static_cast<std::size_t>(decimals) - fraction.size(), '0') + fraction;
    }
    return negative && ticks != 0 ? "-" + text : text;
}

std::string FormatShort(double value)
{
    std::string text = FormatGrouped(Decimal4::FromDouble(value), 3);
    while (text.find(',') != std::string::npos && (text.back() == '0' || text.back() == ','))
        text.pop_back();
    return text;
}

NutrientTable::NutrientTable(Database& db, const FoodTables& tables) : m_db(db), m_tables(tables)
{
    for (const NutrientDescriptor& d : tables.NutrientDescriptors())
        m_lines.push_back({d.Description, d.Dimension, d.Key, {}, {}, 0, static_cast<int>(m_lines.size())});
}

namespace {

// The T_BLS_KEY.ID of a key whose numeric value is above 0, else 0 (a food code).
long NumericKey(const std::string& key)
{
    const Decimal4 numeric = Decimal4::Parse(key);
    return numeric > Decimal4() ? static_cast<long>(numeric.Ticks() / Decimal4::kScale) : 0;
}

} // namespace

std::vector<Value> NutrientTable::ReadValues(std::unique_ptr<Recordset>& rs, int offset) const
{
    std::vector<Value> values;
    values.reserve(m_tables.NutrientDescriptors().size());
    for (std::size_t i = 0; i < m_tables.NutrientDescriptors().size(); ++i)
        values.push_back(rs->Field(offset + static_cast<int>(i)));
    return values;
}

bool NutrientTable::AddItems(const std::string& key, Decimal4 grams)
{
    const long id = NumericKey(key);
    std::vector<Value> values;
    try {
        auto rs = m_db.OpenRecordset(
            "SELECT " + m_tables.FieldList() +
                " FROM T_BLS_DAT INNER JOIN T_BLS_KEY ON T_BLS_DAT.SBLS = T_BLS_KEY.SBLS WHERE " +
                (id > 0 ? "T_BLS_KEY.ID=?" : "T_BLS_KEY.SBLS=?"),
            {id > 0 ? Value(id) : Value(key)});
        if (rs->Eof())
            return false;
        values = ReadValues(rs, 0);
    } catch (const DbError&) {
        return false;
    }
    Accumulate(values, grams);
    return true;
}

void NutrientTable::AddAll(const std::vector<FoodAmount>& items)
{
    std::vector<long> ids;
    for (const FoodAmount& item : items)
        if (const long id = NumericKey(item.Key); id > 0)
            ids.push_back(id);
    std::unordered_map<long, std::vector<Value>> found;
    if (!ids.empty()) {
        try {
            std::string list;
            for (long id : ids)
                list += (list.empty() ? "" : ",") + std::to_string(id);
            auto rs = m_db.OpenRecordset("SELECT T_BLS_KEY.ID," + m_tables.FieldList() +
                                         " FROM T_BLS_DAT INNER JOIN T_BLS_KEY ON T_BLS_DAT.SBLS = "
                                         "T_BLS_KEY.SBLS WHERE T_BLS_KEY.ID IN (" +
                                         list + ")");
            for (; !rs->Eof(); rs->MoveNext())
                found.emplace(static_cast<long>(rs->Field(0).AsLong()), ReadValues(rs, 1));
        } catch (const DbError&) {
            found.clear(); // each food is then read on its own
        }
    }
    for (const FoodAmount& item : items) {
        const auto it = found.find(NumericKey(item.Key));
        if (it != found.end())
            Accumulate(it->second, item.Grams);
        else
            AddItems(item.Key, item.Grams);
    }
}

void NutrientTable::Accumulate(const std::vector<Value>& values, Decimal4 grams)
{
    ++m_foodCount;
    m_totalGrams = m_totalGrams + grams;
    if (grams.Ticks() > Decimal4::kScale / 1000 || grams.Ticks() < -Decimal4::kScale / 1000)
        m_perServing = true;
    for (NutrientLine& line : m_lines) {
        const Value& field = values[static_cast<std::size_t>(line.Column)];
        if (field.IsNull())
            ++line.Missing;
        Decimal4 v = field.AsCurrency();
        line.Per100 = line.Per100 + v;
        if (grams > Decimal4())
            v = Decimal4::FromDouble(v.ToDouble() / 100.0 * grams.ToDouble());
        line.Absolute = line.Absolute + v;
        if (IsConstituent(line.Key)) {
            const std::string dim = ToUpperAscii(line.Dimension);
            if (dim == "MG")
                m_constituents = m_constituents + Decimal4::FromDouble(v.ToDouble() / 1000.0);
            else if (dim == "MYG" || dim == "µG")
                m_constituents = m_constituents + Decimal4::FromDouble(v.ToDouble() / 1000000.0);
        }
    }
}

bool NutrientTable::ShowItems(Interaction* ui)
{
    std::erase_if(m_lines,
                  [](const NutrientLine& line) { return line.Per100 + line.Absolute == Decimal4(); });
    if (m_lines.empty()) {
        if (ui)
            ui->Inform("Es gibt keine Nährwertinformationen zum Anzeigen.", MsgIcon::Information,
                       "Nährwertangaben");
        return false;
    }
    return true;
}

Decimal4 NutrientTable::Shown(const NutrientLine& line) const
{
    const Decimal4 sum = m_totalGrams > Decimal4::FromLong(1) ? line.Absolute : line.Per100;
    return sum / Decimal4::FromLong(Servings());
}

std::string NutrientTable::WeightLabel() const
{
    if (m_totalGrams < Decimal4::FromLong(1))
        return "ca. " + FormatGrouped(m_constituents, 0) + " Gramm";
    return std::string(Servings() > 1 ? "Portionsgewicht" : "Gewicht") + " ca. " +
           FormatGrouped(m_totalGrams / Decimal4::FromLong(Servings()), 0) + " Gramm";
}

} // namespace pf
