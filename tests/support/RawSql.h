#pragma once
// Runs SQL on a database file past the connection layer, for statements the program never sends
// (a trigger that makes a write fail in the middle of a transaction), and reads single numbers
// cheaply while another process writes.

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

// The first column of the first row as a number, read through a plain read-only connection;
// -1 when the file cannot be read (locked, not yet created). Opening costs next to nothing, so a
// test can poll a database that another process is filling.
inline long RawScalar(const std::string& file, const std::string& sql)
{
    sqlite3* raw = nullptr;
    long value = -1;
    if (sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_busy_timeout(raw, 50);
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(raw, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            value = static_cast<long>(sqlite3_column_int64(statement, 0));
        sqlite3_finalize(statement);
    }
    sqlite3_close(raw);
    return value;
}

} // namespace pf::test
