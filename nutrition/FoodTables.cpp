#include "nutrition/FoodTables.h"

#include "core/Trim.h"
#include "db/Database.h"
#include "db/Recordset.h"

#include <algorithm>

namespace pf {

namespace {

// A language column when the suffix names one and it holds text, else the German column.
std::string LanguageText(const Recordset& rs, const std::string& column, const std::string& suffix)
{
    if (!suffix.empty() && suffix != "D") {
        std::string text = rs.Field(column + suffix).AsText();
        if (!text.empty())
            return text;
    }
    return rs.Field(column).AsText();
}

} // namespace

std::string FoodTables::ShortDimension(const std::string& stored)
{
    std::string dim(Trim(stored));
    const auto slash = dim.find('/');
    if (slash != std::string::npos && Decimal4::Parse(dim.substr(slash + 1)) > Decimal4())
        dim = std::string(Trim(dim.substr(0, slash)));
    return dim;
}

bool FoodTables::Load(Database& db, const std::string& languageSuffix)
{
    std::vector<NutrientDescriptor> descriptors;
    {
        auto rs = db.OpenRecordset("SELECT DINDEX,DKEY,DDESC,DDIM,DDESCE,DDESCI,DDESCF FROM T_BLS_FDESC "
                                   "WHERE DINDEX>6 ORDER BY DINDEX");
        for (; !rs->Eof(); rs->MoveNext()) {
            NutrientDescriptor d;
            d.Key = std::string(Trim(rs->Field("DKEY").AsText()));
            d.Index = static_cast<short>(rs->Field("DINDEX").AsLong());
            d.Description = LanguageText(*rs, "DDESC", languageSuffix);
            d.Dimension = ShortDimension(rs->Field("DDIM").AsText());
            descriptors.push_back(std::move(d));
        }
    }
    if (descriptors.empty())
        return false;

    std::vector<std::string> classes;
    {
        auto rs = db.OpenRecordset("SELECT * FROM T_BLS_TREE ORDER BY BLSKEY");
        for (; !rs->Eof(); rs->MoveNext()) {
            std::string key = rs->Field("BLSKEY").AsText();
            key.resize(10, ' ');
            classes.push_back(key + LanguageText(*rs, "BLSDesc", languageSuffix));
        }
    }

    std::unordered_map<long, UnitScale> units;
    {
        auto rs = db.OpenRecordset("SELECT ID,UnitNameD,NaehrScaleIndex,NaehrScaleValue FROM T_UNIT");
        for (; !rs->Eof(); rs->MoveNext()) {
            UnitScale scale;
            scale.ScaleIndex = static_cast<long>(rs->Field("NaehrScaleIndex").AsLong());
            scale.ScaleValue = rs->Field("NaehrScaleValue").AsCurrency();
            scale.LongName = rs->Field("UnitNameD").AsText();
            units[static_cast<long>(rs->Field("ID").AsLong())] = std::move(scale);
        }
    }

    std::string fields;
    for (const NutrientDescriptor& d : descriptors)
        fields += (fields.empty() ? "" : ",") + d.Key;

    m_descriptors = std::move(descriptors);
    m_classes = std::move(classes);
    m_units = std::move(units);
    m_fieldList = std::move(fields);
    return true;
}

const UnitScale& FoodTables::Scale(long unitId) const
{
    static const UnitScale kNone;
    const auto it = m_units.find(unitId);
    return it == m_units.end() ? kNone : it->second;
}

std::vector<std::pair<long, std::string>> FoodTables::UnitList() const
{
    std::vector<std::pair<long, std::string>> list;
    for (const auto& [id, scale] : m_units)
        if (!scale.LongName.empty())
            list.emplace_back(id, scale.LongName);
    std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    return list;
}

} // namespace pf
