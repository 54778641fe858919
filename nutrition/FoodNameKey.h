#pragma once
// The comparable form of a food name or ingredient text, and the word forms a recipe may use for
// it. Both sides of a match go through FoodNameKey, so "Möhre", "MOEHRE" and "moehre" meet, as do
// "Crème" and "Creme". Pure functions, no database.

#include <string>
#include <string_view>
#include <vector>

namespace pf {

// Lower case, umlauts as digraphs (ä → ae, ß → ss), accents dropped, runs of blanks as one blank,
// no blanks at the ends.
std::string FoodNameKey(std::string_view text);

// Forms of a key whose last word may be a plural or diminutive: "zwiebeln" → "zwiebel",
// "wuerstchen" → "wurst", "tomatoes" → "tomato", "berries" → "berry", "aepfel" → "apfel", but herbs
// ("kraeuter") never reach cabbage ("kraut"). The key itself is not among them; the order is the
// order to try.
std::vector<std::string> FoodNameForms(const std::string& key);

} // namespace pf
