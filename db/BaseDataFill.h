#pragma once
// Fills the tables a database still has empty from the shipped base data, at every open and upgrade:
// the food table (foods, their values and classes, the food synonyms) of a database made before
// foods were shipped, and the lexicon (terms, techniques, additives, vitamins and minerals; the
// utensils and their tree when it has none of its own) of one made before the lexicon was. Rows a
// user stored are never replaced, and a read-only database is left as it is. Both fills are one
// transaction: a failure is reported and leaves the database as it was.

namespace pf {

class Database;

struct BaseDataFill
{
    long Foods = 0;       // foods added
    bool Lexicon = false; // the lexicon was filled
    bool Failed = false;  // the base data could not be loaded (reported; nothing written)
};

// Fills from the INIT.ZIP beside the program; the archive is opened only when a table is empty.
// Nothing happens when it is missing.
BaseDataFill FillEmptyTablesFromInit(Database& db);

} // namespace pf
