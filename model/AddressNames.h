#pragma once
// The little of the address book that layers below it need: an address's stored name and the
// addresses a person can choose (active rows that are not alias rows). The address book itself
// reads them the same way, so lists for choosing agree everywhere. Both read the given database
// and throw DbError.

#include <string>
#include <vector>

namespace pf {

class Database;

struct AddressChoiceRow
{
    long ID = 0;
    std::string Name; // as stored: family name, ", ", given name
    std::string Plz;
    std::string City;
    long AdrType = 0;
};

// The stored name of address id; "" for 0 or a missing row.
std::string AddressNameOf(Database& db, long id);
// The address of `from` (a database other than `to`) in `to`: the one with the same fingerprint
// identity, else an active one with the same name, else a copy made there (own group, no aliases).
// 0 when id names no address in `from`.
long AddressInOtherDb(Database& from, long id, Database& to);
// Active addresses (AdrType >= 0, or none given) without their alias rows, by name.
std::vector<AddressChoiceRow> ChoosableAddresses(Database& db);

} // namespace pf
