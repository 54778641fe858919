#pragma once
// What a PostgreSQL schema needs before the translated statements run there: the jetnocase
// collation (case-insensitive, umlauts included, accents not), the jet_ domains that keep Boolean,
// Byte and Date columns apart from plain numbers, and the helper functions the translation calls
// (jetcat, jetlike, jet_ucase ...), with the same results as the file database's helpers.

#include <string>

namespace pf {

// Statements that create them in the current schema; each one may run again without harm.
const std::string& ServerHelperSql();

// Name of the function whose presence shows that the helpers are there.
inline constexpr const char* kServerHelperMarker = "jetlike";

} // namespace pf
