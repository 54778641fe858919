#include "planning/StoreOrder.h"

#include "core/Trim.h"

#include <algorithm>

namespace pf {

std::vector<StoreGroup> MainFoodGroups(const std::vector<std::string>& classList)
{
    std::vector<StoreGroup> groups;
    for (const std::string& entry : classList) {
        // The key fills the first ten characters (padded with blanks), the name follows.
        const std::string_view key =
            Trim(std::string_view(entry).substr(0, std::min<std::size_t>(10, entry.size())));
        if (key.size() != 1 || entry.size() <= 10)
            continue;
        const char letter = key.front();
        if (std::any_of(groups.begin(), groups.end(),
                        [&](const StoreGroup& g) { return g.Letter == letter; }))
            continue;
        groups.push_back({letter, std::string(1, letter) + " " + std::string(Trim(entry.substr(10)))});
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
