#include "planning/StoreOrder.h"

#include "core/Trim.h"

#include <algorithm>

namespace pf {

namespace {

// The letter of a main group's entry, 0 for any other entry. The key fills the first ten
// characters (padded with blanks, in older lists also in front), the name follows.
char MainGroupLetter(std::string_view entry)
{
    const std::string_view key = Trim(entry.substr(0, std::min<std::size_t>(10, entry.size())));
    return key.size() == 1 && entry.size() > 10 ? key.front() : 0;
}

std::string NameOf(std::string_view entry)
{
    return std::string(Trim(entry.substr(10)));
}

} // namespace

std::string MainFoodGroupName(const std::vector<std::string>& classList, char letter)
{
    for (const std::string& entry : classList)
        if (letter != 0 && MainGroupLetter(entry) == letter)
            return NameOf(entry);
    return {};
}

std::vector<StoreGroup> MainFoodGroups(const std::vector<std::string>& classList)
{
    std::vector<StoreGroup> groups;
    for (const std::string& entry : classList) {
        const char letter = MainGroupLetter(entry);
        if (letter == 0 || std::any_of(groups.begin(), groups.end(),
                                       [&](const StoreGroup& g) { return g.Letter == letter; }))
            continue;
        groups.push_back({letter, std::string(1, letter) + " " + NameOf(entry)});
    }
    std::sort(groups.begin(), groups.end(),
              [](const StoreGroup& a, const StoreGroup& b) { return a.Letter < b.Letter; });
    return groups;
}

std::vector<StoreGroup> StoreOrderEntries(const std::string& storeLocations,
                                          const std::vector<StoreGroup>& groups)
{
    std::vector<StoreGroup> entries;
    for (char letter : storeLocations) {
        auto it = std::find_if(groups.begin(), groups.end(),
                               [&](const StoreGroup& g) { return g.Letter == letter; });
        if (it != groups.end() && StoreLocationsOf(entries).find(letter) == std::string::npos)
            entries.push_back(*it);
    }
    return entries;
}

std::vector<StoreGroup> AddableStoreGroups(const std::string& storeLocations,
                                           const std::vector<StoreGroup>& groups)
{
    std::vector<StoreGroup> addable;
    for (const StoreGroup& g : groups)
        if (storeLocations.find(g.Letter) == std::string::npos)
            addable.push_back(g);
    return addable;
}

std::string StoreLocationsOf(const std::vector<StoreGroup>& entries)
{
    std::string letters;
    for (const StoreGroup& g : entries)
        letters += g.Letter;
    return letters;
}

} // namespace pf
