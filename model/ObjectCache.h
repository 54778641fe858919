#pragma once
// A small process-wide cache of object copies keyed by database and key, as the recipe and line
// caches use it: a fixed number of slots; an entry with the same key is overwritten, otherwise a
// free slot, an entry untouched for five minutes, or the oldest entry is replaced.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace pf {

template <typename Key, typename T> class ObjectCache
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::minutes kStale{5};

    explicit ObjectCache(std::size_t capacity) : m_capacity(capacity) {}

    std::size_t Capacity() const { return m_capacity; }
    void SetCapacity(std::size_t capacity)
    {
        m_capacity = capacity;
        m_slots.clear();
    }
    void Clear() { m_slots.clear(); }

    // The entry of key in database db, its time refreshed; null when none.
    T* Find(std::uint64_t db, const Key& key)
    {
        for (Slot& slot : m_slots)
            if (slot.db == db && slot.key == key) {
                slot.touched = Clock::now();
                return &slot.value;
            }
        return nullptr;
    }

    // The first entry of database db for which match holds.
    T* FindIf(std::uint64_t db, const std::function<bool(const T&)>& match)
    {
        for (Slot& slot : m_slots)
            if (slot.db == db && match(slot.value)) {
                slot.touched = Clock::now();
                return &slot.value;
            }
        return nullptr;
    }

    void Put(std::uint64_t db, const Key& key, const T& value)
    {
        if (m_capacity == 0)
            return;
        const Clock::time_point now = Clock::now();
        Slot* target = nullptr;
        for (Slot& slot : m_slots)
            if (slot.db == db && slot.key == key) {
                target = &slot;
                break;
            }
        if (!target && m_slots.size() < m_capacity) {
            m_slots.push_back(Slot{db, key, value, now});
            return;
        }
        if (!target) {
            target = &m_slots.front();
            for (Slot& slot : m_slots) {
                if (now - slot.touched > kStale) {
                    target = &slot;
                    break;
                }
                if (slot.touched < target->touched)
                    target = &slot;
            }
        }
        *target = Slot{db, key, value, now};
    }

    void Erase(std::uint64_t db, const Key& key)
    {
        std::erase_if(m_slots, [&](const Slot& slot) { return slot.db == db && slot.key == key; });
    }

    // Calls change on every entry of database db.
    void ForEach(std::uint64_t db, const std::function<void(const Key&, T&)>& change)
    {
        for (Slot& slot : m_slots)
            if (slot.db == db)
                change(slot.key, slot.value);
    }

private:
    struct Slot
    {
        std::uint64_t db = 0;
        Key key;
        T value;
        Clock::time_point touched;
    };

    std::size_t m_capacity;
    std::vector<Slot> m_slots;
};

} // namespace pf
