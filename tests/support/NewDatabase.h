#pragma once
// A new database file for a test: empty, or holding the given tables (the program's schema unless
// told otherwise). The caller owns the connection; the file lives where the path says.

#include "db/Database.h"
#include "db/OpenDatabase.h"
#include "db/Schema.h"
#include "tests/support/TestServer.h"

#include <unistd.h>

#include <atomic>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace pf::test {

inline std::unique_ptr<Database> NewDatabase(const std::string& path)
{
    OpenOptions options;
    options.Create = true;
    return Database::OpenSqlite(path, options);
}

// A new, empty database on the test server: a schema of its own, which the connection uses as
// its default. Null when there is no server (the caller skips). connect receives the connect text
// of that schema, for further connections.
inline std::unique_ptr<Database> NewServerDatabase(std::string* connect = nullptr)
{
    const std::string& server = TestServerConnect();
    if (server.empty())
        return nullptr;
    static std::atomic<int> counter{0};
    // Process IDs come round again on a long-running server; a random part keeps every name new.
    static const std::string run = std::to_string(std::random_device()());
    const std::string schema = "pf_" + std::to_string(getpid()) + "_" + run + "_" + std::to_string(++counter);
    OpenDatabase(server)->Execute("CREATE SCHEMA " + schema);
    const std::string own = server + ";ConnSettings=SET search_path TO " + schema;
    if (connect)
        *connect = own;
    return OpenDatabase(own);
}

inline std::unique_ptr<Database> NewSchemaDatabase(const std::string& path,
                                                   const std::vector<TableDef>& tables = SchemaTables())
{
    std::unique_ptr<Database> db = NewDatabase(path);
    CreateTables(*db, tables);
    return db;
}

} // namespace pf::test
