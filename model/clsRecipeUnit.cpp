#include "model/clsRecipeUnit.h"

#include "core/Utf8.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "model/ClUnit.h"

#include <algorithm>
#include <cctype>

namespace pf {

namespace {

void CompleteNames(RecipeUnitEntry& e)
{
    if (e.UnitNameE.empty())
        e.UnitNameE = e.UnitNameD;
    if (e.UnitNameF.empty())
        e.UnitNameF = e.UnitNameD;
}

bool IsNumber(std::string_view text)
{
    if (text.empty())
        return false;
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

} // namespace

bool clsRecipeUnit::Init(Database& db, ClUnit* units)
{
    m_db = &db;
    m_units = units;
    LastErrorClear();
    try {
        Load();
    } catch (const DbError& e) {
        SetDbError(e);
        m_entries.assign(1, RecipeUnitEntry{});
        return false;
    }
    return true;
}

void clsRecipeUnit::Load()
{
    m_entries.assign(1, RecipeUnitEntry{});
    auto rs = m_db->OpenRecordset("SELECT ID,NameD,NameE,NameF FROM T_REZ_KOPFEINHEIT ORDER BY NameD");
    for (; !rs->Eof(); rs->MoveNext()) {
        RecipeUnitEntry e;
        e.id = static_cast<long>(rs->Field("ID").AsLong());
        e.UnitNameD = rs->Field("NameD").AsText();
        e.UnitNameE = rs->Field("NameE").AsText();
        e.UnitNameF = rs->Field("NameF").AsText();
        e.UnitCompatible = FindCompatible(e);
        m_entries.push_back(std::move(e));
    }
}

void clsRecipeUnit::LoadDefault(const clsRecipeUnit& source)
{
    m_entries = source.m_entries;
    m_units = source.m_units;
}

int clsRecipeUnit::FindCompatible(const RecipeUnitEntry& e) const
{
    if (!m_units)
        return 0;
    const int n = m_units->Count();
    for (int i = 1; i <= n; ++i) {
        const std::string candidates[] = {m_units->UnitLongD(i), m_units->UnitNameD(i), m_units->UnitLongE(i),
                                          m_units->UnitNameE(i)};
        for (const std::string& c : candidates)
            if (!c.empty() && (EqualsNoCase(c, e.UnitNameD) || EqualsNoCase(c, e.UnitNameE) ||
                               EqualsNoCase(c, e.UnitNameF)))
                return i;
    }
    return 0;
}

const RecipeUnitEntry* clsRecipeUnit::Entry(int index) const
{
    if (index < 1 || index > Count())
        return nullptr;
    return &m_entries[static_cast<std::size_t>(index)];
}

long clsRecipeUnit::id(int index) const
{
    const RecipeUnitEntry* e = Entry(index);
    return e ? e->id : 0;
}
std::string clsRecipeUnit::UnitNameD(int index) const
{
    const RecipeUnitEntry* e = Entry(index);
    return e ? e->UnitNameD : std::string();
}
std::string clsRecipeUnit::UnitNameE(int index) const
{
    const RecipeUnitEntry* e = Entry(index);
    return e ? e->UnitNameE : std::string();
}
std::string clsRecipeUnit::UnitNameF(int index) const
{
    const RecipeUnitEntry* e = Entry(index);
    return e ? e->UnitNameF : std::string();
}
int clsRecipeUnit::UnitCompatible(int index) const
{
    const RecipeUnitEntry* e = Entry(index);
    return e ? e->UnitCompatible : 0;
}
bool clsRecipeUnit::IsDeleted(int index) const
{
    const RecipeUnitEntry* e = Entry(index);
    return e && e->Deleted;
}

int clsRecipeUnit::NewEntry(const std::string& nameD, const std::string& nameE, const std::string& nameF)
{
    RecipeUnitEntry e;
    e.id = -1;
    e.UnitNameD = nameD;
    e.UnitNameE = nameE;
    e.UnitNameF = nameF;
    CompleteNames(e);
    e.UnitCompatible = FindCompatible(e);
    e.UnitUsenum = 0;
    e.Changed = true;
    m_entries.push_back(std::move(e));
    return Count();
}

bool clsRecipeUnit::SetNames(int index, const std::string& nameD, const std::string& nameE,
                             const std::string& nameF)
{
    if (!Entry(index))
        return false;
    RecipeUnitEntry& e = m_entries[static_cast<std::size_t>(index)];
    e.UnitNameD = nameD;
    e.UnitNameE = nameE;
    e.UnitNameF = nameF;
    CompleteNames(e);
    e.UnitCompatible = FindCompatible(e);
    e.Changed = true;
    return true;
}

bool clsRecipeUnit::Deleteentry(int index, long replacementID)
{
    if (!Entry(index))
        return false;
    RecipeUnitEntry& e = m_entries[static_cast<std::size_t>(index)];
    e.Deleted = true;
    e.ReplacementId = replacementID;
    return true;
}

int clsRecipeUnit::SearchName(std::string_view name) const
{
    for (int i = 1; i <= Count(); ++i) {
        const RecipeUnitEntry& e = m_entries[static_cast<std::size_t>(i)];
        if (EqualsNoCase(e.UnitNameD, name) || EqualsNoCase(e.UnitNameE, name) ||
            EqualsNoCase(e.UnitNameF, name))
            return i;
    }
    return 0;
}

int clsRecipeUnit::SearchID(std::string_view text) const
{
    if (!IsNumber(text))
        return SearchName(text);
    if (text.size() > 9)
        return 0;
    const long wanted = std::stol(std::string(text));
    for (int i = 1; i <= Count(); ++i)
        if (m_entries[static_cast<std::size_t>(i)].id == wanted)
            return i;
    return 0;
}

long clsRecipeUnit::UnitUsenum(int index)
{
    if (!Entry(index) || !m_db)
        return 0;
    RecipeUnitEntry& e = m_entries[static_cast<std::size_t>(index)];
    if (e.UnitUsenum < 0) {
        try {
            e.UnitUsenum = static_cast<long>(
                m_db->Scalar("SELECT COUNT(*) AS X FROM T_REZ_KOPF WHERE RezYieldEinh=" +
                             std::to_string(e.id) + " AND Template=FALSE AND FlagDeleted=FALSE")
                    .AsLong());
        } catch (const DbError& err) {
            SetDbError(err);
            return 0;
        }
    }
    return e.UnitUsenum;
}

bool clsRecipeUnit::RefreshDB()
{
    LastErrorClear();
    if (m_readOnly || !m_db)
        return false;
    std::vector<RecipeUnitEntry> written = m_entries;
    try {
        DbTransaction trans(*m_db);
        for (std::size_t i = 1; i < written.size(); ++i) {
            RecipeUnitEntry& e = written[i];
            if (e.Deleted) {
                if (e.id != -1) {
                    m_db->Execute("UPDATE T_REZ_KOPF SET RezYieldEinh=" + std::to_string(e.ReplacementId) +
                                  " WHERE RezYieldEinh=" + std::to_string(e.id));
                    m_db->Execute("DELETE FROM T_REZ_KOPFEINHEIT WHERE ID=" + std::to_string(e.id));
                }
                continue;
            }
            if (!e.Changed)
                continue;
            CompleteNames(e);
            if (e.id == -1) {
                e.id = static_cast<long>(m_db->Scalar("SELECT MAX(ID) FROM T_REZ_KOPFEINHEIT").AsLong()) + 1;
                m_db->Execute("INSERT INTO T_REZ_KOPFEINHEIT (ID,NameD,NameE,NameF) VALUES (?,?,?,?)",
                              {e.id, e.UnitNameD, e.UnitNameE, e.UnitNameF});
            } else {
                m_db->Execute("UPDATE T_REZ_KOPFEINHEIT SET NameD=?,NameE=?,NameF=? WHERE ID=?",
                              {e.UnitNameD, e.UnitNameE, e.UnitNameF, e.id});
            }
            e.Changed = false;
        }
        trans.Commit();
    } catch (const DbError& err) {
        SetDbError(err);
        return false;
    }
    // Counts of the replacements changed with the merge.
    std::erase_if(written, [](const RecipeUnitEntry& e) { return e.Deleted; });
    for (RecipeUnitEntry& e : written)
        e.UnitUsenum = -1;
    m_entries = std::move(written);
    return true;
}

} // namespace pf
