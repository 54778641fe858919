#include "model/RecipeIdList.h"

#include "db/Database.h"
#include "db/Recordset.h"

#include <algorithm>

namespace pf {

RecipeIdList RecipeIdList::Categories()
{
    return {"SELECT CatID FROM T_REZ_CAT_NDX WHERE ID=? ORDER BY CatPrimary, [No], rowid", kMaxCategories};
}

RecipeIdList RecipeIdList::Books()
{
    return {"SELECT DISTINCT BuchID FROM T_REZ_KOCHBUCH WHERE RezID = ? ORDER BY BuchID", kMaxBooks};
}

RecipeIdList RecipeIdList::Tools()
{
    return {"SELECT DISTINCT GeraetID FROM T_REZ_GERAET WHERE RezID = ? ORDER BY GeraetID", kMaxTools};
}

void RecipeIdList::Load(Database& db, long recipeId)
{
    if (m_loaded)
        return;
    m_loaded = true;
    m_ids.clear();
    if (recipeId == 0)
        return;
    auto rs = db.OpenRecordset(m_loadSql, {recipeId});
    for (; !rs->Eof() && m_ids.size() < m_limit; rs->MoveNext()) {
        const long id = static_cast<long>(rs->Field(0).AsLong());
        if (!Contains(id))
            m_ids.push_back(id);
    }
}

void RecipeIdList::Forget()
{
    m_ids.clear();
    m_loaded = false;
    m_changed = false;
}

long RecipeIdList::At(int index, long outside) const
{
    if (index < 1 || index > Count())
        return outside;
    return m_ids[static_cast<std::size_t>(index - 1)];
}

bool RecipeIdList::Contains(long id) const
{
    return std::find(m_ids.begin(), m_ids.end(), id) != m_ids.end();
}

bool RecipeIdList::Add(long id)
{
    if (Contains(id))
        return true;
    if (m_ids.size() >= m_limit)
        return false;
    m_ids.push_back(id);
    m_changed = true;
    return true;
}

bool RecipeIdList::Del(int index)
{
    if (index < 1 || index > Count())
        return false;
    m_ids.erase(m_ids.begin() + (index - 1));
    m_changed = true;
    return true;
}

bool RecipeIdList::MoveToFront(int index)
{
    if (index < 2 || index > Count())
        return false;
    std::swap(m_ids[0], m_ids[static_cast<std::size_t>(index - 1)]);
    m_changed = true;
    return true;
}

void RecipeIdList::Clear()
{
    m_ids.clear();
    m_changed = true;
}

} // namespace pf
