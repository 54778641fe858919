#pragma once
// Moves a whole database between back ends (a file and a server, either way): every table with
// its columns, keys and indexes, and every row, pictures included; a server gets the search's word
// index after the rows. The target must not have any of the tables yet; the copy is one transaction
// on the target, so a failure leaves it as it was.

#include "db/Database.h"

#include <cstddef>
#include <functional>
#include <string>

namespace pf {

// Called before each table with the tables done, their number and the table's name.
using TransferProgress = std::function<void(std::size_t done, std::size_t total, const std::string& table)>;

// Throws DbError (3010 when the target already has one of the tables).
void TransferDatabase(Database& source, Database& target, const TransferProgress& progress = {});

} // namespace pf
