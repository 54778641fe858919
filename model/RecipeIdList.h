#pragma once
// One ID collection of a recipe: its categories, cookbooks or utensils. Read from the recipe's
// rows on first use, never more than its limit, no ID twice, and it knows whether it changed
// since it was read. Every place that adds a link to a recipe asks this type whether it fits, so
// that a link is never stored that the next load would drop.

#include <cstddef>
#include <vector>

namespace pf {

class Database;

class RecipeIdList
{
public:
    static constexpr std::size_t kMaxCategories = 16;
    static constexpr std::size_t kMaxBooks = 32;
    static constexpr std::size_t kMaxTools = 32;

    // loadSql selects the IDs of the recipe given as its one parameter.
    RecipeIdList(const char* loadSql, std::size_t limit) : m_loadSql(loadSql), m_limit(limit) {}

    // The primary category first, then in the order of assignment.
    static RecipeIdList Categories();
    // Cookbooks and utensils in the order of their IDs.
    static RecipeIdList Books();
    static RecipeIdList Tools();

    std::size_t Limit() const { return m_limit; }
    bool IsLoaded() const { return m_loaded; }
    // Reads the IDs of the recipe unless they are read already; recipe 0 has none. Throws DbError
    // (the list then counts as read and empty).
    void Load(Database& db, long recipeId);
    // Empty, unread and unchanged: the next use reads again.
    void Forget();

    int Count() const { return static_cast<int>(m_ids.size()); }
    // The ID at a 1-based index, outside when the index is out of range.
    long At(int index, long outside) const;
    bool Contains(long id) const;
    // True when the ID is present or was added; false when the list is full.
    bool Add(long id);
    // Removes the entry at a 1-based index; false outside.
    bool Del(int index);
    // Swaps the entry at a 1-based index with the first one.
    bool MoveToFront(int index);
    // Empties the list as a change (before it is filled again).
    void Clear();
    const std::vector<long>& Ids() const { return m_ids; }

    bool Changed() const { return m_changed; }
    void SetChanged(bool changed) { m_changed = changed; }

private:
    const char* m_loadSql;
    std::size_t m_limit;
    std::vector<long> m_ids;
    bool m_loaded = false;
    bool m_changed = false;
};

} // namespace pf
