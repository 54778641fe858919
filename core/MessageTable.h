#pragma once
// The numbered user texts of the program (German, offset 0). Entries are fixed at build time,
// sorted by number; lookups never fail loudly: an unknown number simply has no entry.

#include <optional>
#include <span>
#include <string_view>

namespace pf {

struct MessageEntry
{
    long Number;
    std::string_view Text;
};

class MessageTable
{
public:
    // All entries, ascending by number, each number once.
    static std::span<const MessageEntry> Entries();
    // The raw text of an entry (placeholders and "\n" sequences untouched), or nullopt.
    static std::optional<std::string_view> Find(long number);
};

} // namespace pf
