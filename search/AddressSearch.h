#pragma once
// The recipe search an address starts: the recipes of the literature sources that the address
// published or wrote. Reads T_LITERATUR of the given database; throws DbError.

#include <string>

namespace pf {

class Database;

// Search data with the publisher criterion when the address is the publisher of a source and the
// author criterion when it is the author of one (both: the recipes of either); "" when the address
// names no source, so that a search would find nothing.
std::string AddressSearchData(Database& db, long addressId);

} // namespace pf
