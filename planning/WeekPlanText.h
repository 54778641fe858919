#pragma once
// Weekly plans as text: the readable listing of a plan (days, levels, dishes, approval) and the
// CSV rows of the plan export, one row per dish under the header
// "Datum;Teller;Gericht;Beschreibung;Preis;Typ;Index". Reads the plan (and its recipes) only.

#include "core/Decimal4.h"

#include <string>
#include <vector>

namespace pf {

class ClMenu;

// "Wochenplan vom 07.12.2026 bis 11.12.2026 (KW 50)", the approval line, then per day the
// weekday and date and one line "  level: dish" per level in the level order. Lines end in "\n".
std::string WPPlanText(ClMenu& plan);

// A level's price as German readers expect it: two decimals with a comma ("2,50").
std::string WPPriceText(Decimal4 price);

inline constexpr const char* kWPCsvHeader = "Datum;Teller;Gericht;Beschreibung;Preis;Typ;Index";
// The header and one row per dish, days and levels in order, lines ending in CR LF: the serving
// date, level name, dish, description, the level's price with decimal comma ("2,50"), "Rezept"
// or "Generisch", and the recipe number (0 for a generic dish). Fields holding ";" or a double
// quote are quoted, line breaks inside a field become blanks.
std::string WPCsvText(ClMenu& plan);
// The same rows as fields, line breaks kept.
std::vector<std::vector<std::string>> WPCsvRows(ClMenu& plan);

} // namespace pf
