#pragma once
// Runs SQL on a database file past the connection layer, for statements the program never sends
// (a trigger that makes a write fail in the middle of a transaction).

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <string>

namespace pf::test {

inline void ExecuteRawSql(const std::string& file, const std::string& sql)
{
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &raw), SQLITE_OK);
    char* message = nullptr;
    EXPECT_EQ(sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK)
        << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(raw);
}

} // namespace pf::test
