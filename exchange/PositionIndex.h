#pragma once
// A compact multimap from a 64-bit key to positions 0, 1, 2... of a list the caller keeps: the
// key of a position is asked of the caller (keyOf) instead of being stored. Four bytes per slot,
// at most half of the slots in use, so about eight to sixteen bytes per position, where a node
// map takes forty. Used by the import's duplicate check, which knows every recipe of the database.

#include <cstdint>
#include <functional>
#include <vector>

namespace pf {

class PositionIndex
{
public:
    using KeyOf = std::function<std::uint64_t(std::uint32_t position)>;

    explicit PositionIndex(KeyOf keyOf) : m_keyOf(std::move(keyOf)) {}

    void Clear();
    void Add(std::uint32_t position);
    // The positions whose key is key, in the order they were added.
    std::vector<std::uint32_t> Find(std::uint64_t key) const;
    bool Contains(std::uint64_t key) const;
    std::size_t Size() const { return m_count; }

private:
    std::size_t Home(std::uint64_t key) const;
    void Place(std::uint32_t position);

    KeyOf m_keyOf;
    std::vector<std::uint32_t> m_slots; // position + 1; 0 is a free slot
    std::size_t m_count = 0;
};

} // namespace pf
