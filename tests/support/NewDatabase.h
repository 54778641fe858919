#pragma once
// A new database file for a test: empty, or holding the given tables (the program's schema unless
// told otherwise). The caller owns the connection; the file lives where the path says.

#include "db/Database.h"
#include "db/Schema.h"

#include <memory>
#include <string>
#include <vector>

namespace pf::test {

inline std::unique_ptr<Database> NewDatabase(const std::string& path)
{
    OpenOptions options;
    options.Create = true;
    return Database::OpenSqlite(path, options);
}

inline std::unique_ptr<Database> NewSchemaDatabase(const std::string& path,
                                                   const std::vector<TableDef>& tables = SchemaTables())
{
    std::unique_ptr<Database> db = NewDatabase(path);
    CreateTables(*db, tables);
    return db;
}

} // namespace pf::test
