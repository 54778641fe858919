#pragma once
// The database modes of the export: the chosen recipes copied into a new database file made from
// the base data, which the program opens like any other. Mode 20 writes the database file itself;
// 21 packs it into a ZIP archive of the chosen name and keeps it beside the archive; 22 keeps only
// the archive. The open database is only read; an earlier file of a target name stays as ".BAK".

#include "exchange/ExportRun.h"

#include <string>

namespace pf {

class Database;

// The database file a database export writes for the chosen name: the name itself for mode 20
// (".MDB" added when it has no extension), else the name with its extension replaced by ".MDB".
std::string DatabaseExportFile(int mode, const std::string& fileName);

// Copies list's recipes (dependencies already placed before) from source into the new database.
ExportOutcome ExportToDatabase(const ExportRequest& request, const std::vector<long>& ids, Database& source);

} // namespace pf
