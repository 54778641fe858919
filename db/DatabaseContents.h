#pragma once
// How much a database holds: the row counts of the tables a user recognises (recipes, cookbooks,
// units …), with their German names, for the database properties. Reads only.

#include <string>
#include <vector>

namespace pf {

class Database;

struct TableCount
{
    std::string Table;
    std::string Label; // German name of what the rows are
    long Rows = 0;
};

// One entry per counted table the database has, in a fixed order; a table it lacks (an older
// schema) is left out. Throws DbError when a table that exists cannot be read.
std::vector<TableCount> DatabaseContents(Database& db);

} // namespace pf
