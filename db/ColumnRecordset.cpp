#include "db/ColumnRecordset.h"

#include "core/Utf8.h"
#include "db/DbError.h"

#include <cstring>

namespace pf {

namespace {

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

std::uint64_t HashLowered(std::string_view s)
{
    std::uint64_t h = 1469598103934665603ULL;
    for (char c : s) {
        h ^= static_cast<unsigned char>(LowerAscii(c));
        h *= 1099511628211ULL;
    }
    return h;
}

bool EqualsLowered(std::string_view key, std::string_view name)
{
    if (key.size() != name.size())
        return false;
    for (std::size_t i = 0; i < key.size(); ++i)
        if (key[i] != LowerAscii(name[i]))
            return false;
    return true;
}

std::string Fold(std::string_view name)
{
    if (!IsAscii(name))
        return ToLower(name);
    std::string out(name);
    for (char& c : out)
        c = LowerAscii(c);
    return out;
}

} // namespace

bool IsPlainIdentifier(std::string_view name)
{
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (!((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' ||
              u >= 0x80))
            return false;
    }
    return !name.empty();
}

// --- NameIndex -------------------------------------------------------------------------------

void ColumnRecordset::NameIndex::Grow()
{
    for (Recent& r : m_recent)
        r = Recent{}; // they point into the slots about to move
    std::vector<Slot> old = std::move(m_slots);
    m_slots.assign(old.empty() ? 16 : old.size() * 2, Slot{});
    for (Slot& s : old) {
        if (s.index < 0)
            continue;
        std::size_t i = s.hash & (m_slots.size() - 1);
        while (m_slots[i].index >= 0)
            i = (i + 1) & (m_slots.size() - 1);
        m_slots[i] = std::move(s);
    }
}

void ColumnRecordset::NameIndex::Add(std::string_view name, int index)
{
    if (FindHashed(name))
        return; // the first column of a name wins
    if ((m_count + 1) * 2 > m_slots.size())
        Grow();
    std::string key = Fold(name);
    const std::uint64_t hash = HashLowered(key);
    std::size_t i = hash & (m_slots.size() - 1);
    while (m_slots[i].index >= 0)
        i = (i + 1) & (m_slots.size() - 1);
    m_slots[i] = Slot{std::move(key), hash, index};
    ++m_count;
}

namespace {

// The first and the last (up to) eight bytes of a name as two words: for names of at most
// sixteen bytes the pair is the name.
void NameWords(std::string_view name, std::uint64_t& head, std::uint64_t& tail)
{
    if (name.size() >= 8) {
        std::memcpy(&head, name.data(), 8);
        std::memcpy(&tail, name.data() + name.size() - 8, 8);
        return;
    }
    head = 0;
    for (std::size_t i = 0; i < name.size(); ++i)
        head |= static_cast<std::uint64_t>(static_cast<unsigned char>(name[i])) << (8 * i);
    tail = head;
}

} // namespace

int ColumnRecordset::NameIndex::Find(std::string_view name) const
{
    // Two-way set-associative by where the name lies; a hit needs the same bytes too, so a buffer
    // reused for another name can never give a wrong answer.
    const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(name.data()));
    const std::size_t set = static_cast<std::size_t>(((address ^ name.size()) * 0x9E3779B97F4A7C15ULL) >> 58);
    std::uint64_t head = 0, tail = 0;
    NameWords(name, head, tail);
    Recent* pair = &m_recent[set * 2];
    for (std::size_t way = 0; way < 2; ++way) {
        const Recent& r = pair[way];
        if (r.data == name.data() && r.size == name.size() && r.head == head && r.tail == tail &&
            (name.size() <= 16 || EqualsLowered(r.slot->key, name))) {
            m_older[set] = static_cast<unsigned char>(1 - way);
            return r.slot->index;
        }
    }
    const Slot* slot = FindHashed(name);
    if (!slot)
        return -1;
    const std::size_t way = m_older[set];
    pair[way] = Recent{name.data(), name.size(), head, tail, slot};
    m_older[set] = static_cast<unsigned char>(1 - way);
    return slot->index;
}

const ColumnRecordset::NameIndex::Slot* ColumnRecordset::NameIndex::FindHashed(std::string_view name) const
{
    if (m_slots.empty())
        return nullptr;
    std::string folded;
    if (!IsAscii(name)) {
        folded = ToLower(name);
        name = folded;
    }
    const std::uint64_t hash = HashLowered(name);
    std::size_t i = hash & (m_slots.size() - 1);
    while (m_slots[i].index >= 0) {
        const Slot& s = m_slots[i];
        if (s.hash == hash && EqualsLowered(s.key, name))
            return &s;
        i = (i + 1) & (m_slots.size() - 1);
    }
    return nullptr;
}

// --- ColumnRecordset -------------------------------------------------------------------------

void ColumnRecordset::IndexColumns(const JetTranslation& translation,
                                   const std::function<bool(const RecordsetColumn&)>& unnamed)
{
    int expressions = 0;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        const RecordsetColumn& c = m_columns[i];
        m_names.Add(c.name, static_cast<int>(i));
        if (c.origin.empty() && unnamed(c))
            m_names.Add("Expr" + std::to_string(1000 + expressions++), static_cast<int>(i));
    }
    // Qualified names after the plain ones: "T_REZ_ZUTAT.ID" and "A.MenuID" for an alias A.
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        const RecordsetColumn& c = m_columns[i];
        if (c.table.empty() || c.origin.empty())
            continue;
        m_names.Add(c.table + "." + c.origin, static_cast<int>(i));
        for (const auto& [alias, table] : translation.Aliases)
            if (EqualsNoCase(table, c.table))
                m_names.Add(alias + "." + c.origin, static_cast<int>(i));
    }
    // Names as the engine shows them: a name that occurs more than once carries its table.
    m_displayNames.resize(m_columns.size());
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        const RecordsetColumn& c = m_columns[i];
        int same = 0;
        for (const RecordsetColumn& other : m_columns)
            same += EqualsNoCase(other.name, c.name) ? 1 : 0;
        std::string qualifier = c.table;
        for (const auto& [alias, table] : translation.Aliases)
            if (EqualsNoCase(table, c.table))
                qualifier = alias;
        m_displayNames[i] = (same > 1 && !qualifier.empty()) ? qualifier + "." + c.name : c.name;
    }
}

int ColumnRecordset::FieldCount() const
{
    CheckOpen();
    return static_cast<int>(m_columns.size());
}

void ColumnRecordset::CheckIndex(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_columns.size()))
        Throw(dberr::kNoSuchField, "Element in dieser Auflistung nicht gefunden.");
}

std::string ColumnRecordset::FieldName(int index) const
{
    CheckOpen();
    CheckIndex(index);
    return m_displayNames[static_cast<std::size_t>(index)];
}

int ColumnRecordset::Index(std::string_view name) const
{
    const int index = m_names.Find(name);
    if (index < 0)
        Throw(dberr::kNoSuchField,
              "Element in dieser Auflistung nicht gefunden: '" + std::string(name) + "'.");
    return index;
}

int ColumnRecordset::FieldSize(std::string_view name) const
{
    CheckOpen();
    const RecordsetColumn& c = m_columns[static_cast<std::size_t>(Index(name))];
    return c.type == FieldType::Text ? c.size : 0;
}

} // namespace pf
