#pragma once
// Fixtures that run on both back ends from the same test code: a TEST_P fixture takes a Backend,
// opens its database through the functions below and skips when the server is not there;
// PF_ON_BOTH_BACKENDS(Fixture) instantiates its tests as Fixture/File and Fixture/Server.

#include "db/DatabaseTransfer.h"
#include "tests/support/BaseDataDb.h"
#include "tests/support/NewDatabase.h"

#include <gtest/gtest.h>

namespace pf::test {

enum class Backend { File, Server };

inline std::string BackendName(const ::testing::TestParamInfo<Backend>& info)
{
    return info.param == Backend::File ? "File" : "Server";
}

// A new, empty database of the back end: the file at path, or a schema of its own on the test
// server (null when there is no server; connect then receives nothing).
inline std::unique_ptr<Database> NewBackendDatabase(Backend backend, const std::string& path,
                                                    std::string* connect = nullptr)
{
    return backend == Backend::File ? NewDatabase(path) : NewServerDatabase(connect);
}

// The same with the program's tables.
inline std::unique_ptr<Database> NewSchemaDatabaseOn(Backend backend, const std::string& path,
                                                     std::string* connect = nullptr)
{
    std::unique_ptr<Database> db = NewBackendDatabase(backend, path, connect);
    if (db)
        CreateTables(*db, SchemaTables());
    return db;
}

// The base-data database of MakeBaseDataDatabase ("base.db" in dir); on the server a copy of it in
// a schema of its own.
inline std::unique_ptr<Database> MakeBaseDataDatabaseOn(Backend backend, TempDir& dir,
                                                        std::string* connect = nullptr)
{
    std::unique_ptr<Database> file = MakeBaseDataDatabase(dir);
    if (backend == Backend::File || !file)
        return file;
    std::unique_ptr<Database> server = NewServerDatabase(connect);
    if (server)
        TransferDatabase(*file, *server);
    return server;
}

} // namespace pf::test

#define PF_ON_BOTH_BACKENDS(Fixture)                                                                         \
    INSTANTIATE_TEST_SUITE_P(Backends, Fixture,                                                              \
                             ::testing::Values(::pf::test::Backend::File, ::pf::test::Backend::Server),      \
                             ::pf::test::BackendName)

// For tests of a fixture that injects faults through the file engine itself: Fixture/File only.
#define PF_ON_FILE_BACKEND(Fixture)                                                                          \
    INSTANTIATE_TEST_SUITE_P(Backends, Fixture, ::testing::Values(::pf::test::Backend::File),                \
                             ::pf::test::BackendName)
