#pragma once
// What a PostgreSQL schema needs before the translated statements run there: the jetnocase
// collation (case-insensitive, umlauts included, accents not), the jet_ domains that keep Boolean,
// Byte and Date columns apart from plain numbers, and the helper functions the translation calls
// (jetcat, jetlike, jet_ucase ...), with the same results as the file database's helpers, and
// jet_idlist, the rows of a bound list of IDs written as a JSON array.

#include <string>

namespace pf {

// Statements that create them in the current schema; each one may run again without harm.
const std::string& ServerHelperSql();

// The text a LIKE compares on the server: the value lowered with Unicode rules, under the binary
// collation (regular expressions refuse the case-insensitive one). The word index of the search
// indexes this very expression, so that the server serves a LIKE from the index.
std::string ServerLikeText(const std::string& value);

// Name of the function whose presence shows that the helpers are there: the one added last, so that
// a schema made by an older program gets the new ones when it is opened.
inline constexpr const char* kServerHelperMarker = "jet_idlist";

} // namespace pf
