#pragma once
// Repair of a damaged database file: an integrity check, then a rebuild of every readable table
// and row into a fresh file that replaces the damaged one. The damaged file is kept beside it.

#include <string>

namespace pf {

struct RepairResult
{
    bool Ok = false;
    bool WasIntact = false; // the check found nothing to repair
    long RowsCopied = 0;
    long RowsLost = 0;
    std::string KeptOriginal; // where the damaged file now lies
    std::string Error;        // why the repair failed
};

RepairResult RepairDatabaseFile(const std::string& path);

// VACUUM of a database file that no one has open; returns false with the engine's text on failure.
bool VacuumDatabaseFile(const std::string& path, std::string& error);

} // namespace pf
