#include "exchange/PositionIndex.h"

#include <algorithm>

namespace pf {

std::size_t PositionIndex::Home(std::uint64_t key) const
{
    // Spreads keys that differ only in a few bits (serial numbers) over the whole table.
    key ^= key >> 33;
    key *= 0xff51afd7ed558ccdULL;
    key ^= key >> 33;
    return static_cast<std::size_t>(key) & (m_slots.size() - 1);
}

void PositionIndex::Clear()
{
    m_slots.clear();
    m_count = 0;
}

void PositionIndex::Place(std::uint32_t position)
{
    std::size_t slot = Home(m_keyOf(position));
    while (m_slots[slot] != 0)
        slot = (slot + 1) & (m_slots.size() - 1);
    m_slots[slot] = position + 1;
}

void PositionIndex::Add(std::uint32_t position)
{
    if ((m_count + 1) * 2 > m_slots.size()) {
        std::vector<std::uint32_t> old(std::max<std::size_t>(m_slots.size() * 2, 1024), 0);
        old.swap(m_slots);
        // Positions go back in ascending order, so that a probe run keeps the order they came in.
        std::vector<std::uint32_t> positions;
        positions.reserve(m_count);
        for (std::uint32_t value : old)
            if (value != 0)
                positions.push_back(value - 1);
        std::sort(positions.begin(), positions.end());
        for (std::uint32_t p : positions)
            Place(p);
    }
    Place(position);
    ++m_count;
}

std::vector<std::uint32_t> PositionIndex::Find(std::uint64_t key) const
{
    std::vector<std::uint32_t> found;
    if (m_slots.empty())
        return found;
    for (std::size_t slot = Home(key); m_slots[slot] != 0; slot = (slot + 1) & (m_slots.size() - 1))
        if (m_keyOf(m_slots[slot] - 1) == key)
            found.push_back(m_slots[slot] - 1); // a probe run keeps the order of adding
    return found;
}

bool PositionIndex::Contains(std::uint64_t key) const
{
    if (m_slots.empty())
        return false;
    for (std::size_t slot = Home(key); m_slots[slot] != 0; slot = (slot + 1) & (m_slots.size() - 1))
        if (m_keyOf(m_slots[slot] - 1) == key)
            return true;
    return false;
}

} // namespace pf
