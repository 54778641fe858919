#pragma once
// The main food groups (the classes of one-letter keys in the food class list, which pads each
// key to ten characters before the name) and the order in which a shop's groups are found along
// its aisles (StoreLocations: the main group letters, first found first) as the shop page edits
// it: the entries shown ("B Brot und Backwaren"), the groups that can still be added, and the
// letters written back.

#include <string>
#include <vector>

namespace pf {

struct StoreGroup
{
    char Letter = 0;
    std::string Text; // the letter, a blank and the class name
};

// The main food groups of the class list (keys of one letter), by letter.
std::vector<StoreGroup> MainFoodGroups(const std::vector<std::string>& classList);
// The name of the main food group of a letter, "" when the class list has none.
std::string MainFoodGroupName(const std::vector<std::string>& classList, char letter);
// The groups of storeLocations in their stored order; letters the list does not know are left out.
std::vector<StoreGroup> StoreOrderEntries(const std::string& storeLocations,
                                          const std::vector<StoreGroup>& groups);
// The main groups not yet in storeLocations.
std::vector<StoreGroup> AddableStoreGroups(const std::string& storeLocations,
                                           const std::vector<StoreGroup>& groups);
// The letters of the entries in their order.
std::string StoreLocationsOf(const std::vector<StoreGroup>& entries);

} // namespace pf
