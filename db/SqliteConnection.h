#pragma once
// Internal to the SQLite back end: the connection a SqliteDatabase and its recordsets share. It
// owns the sqlite3 handle, caches translations (Jet text -> SQLite text) and prepared statements,
// maps SQLite failures onto the engine's error numbers and keeps the last error collection.
// Recordsets hold a shared_ptr, so closing the database while one is still alive is safe: every
// later call on the recordset fails with 3420.

#include "db/DbError.h"
#include "db/JetSql.h"
#include "db/Value.h"

#include <sqlite3.h>

#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pf {

class SqliteConnection;

// A prepared statement borrowed from the connection; reset and handed back when released.
class Statement
{
public:
    Statement() = default;
    Statement(std::shared_ptr<SqliteConnection> connection, sqlite3_stmt* stmt, std::string key);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* Get() const { return m_stmt; }
    explicit operator bool() const { return m_stmt != nullptr; }
    void Release() noexcept;

private:
    std::shared_ptr<SqliteConnection> m_connection;
    sqlite3_stmt* m_stmt = nullptr;
    std::string m_key;
};

class SqliteConnection : public std::enable_shared_from_this<SqliteConnection>
{
public:
    SqliteConnection(sqlite3* db, std::string path, bool readOnly);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    // The handle; throws 3420 once the database is closed.
    sqlite3* Db() const;
    bool IsOpen() const { return m_db != nullptr; }
    const std::string& Path() const { return m_path; }
    bool ReadOnly() const { return m_readOnly; }
    // Closes the handle whatever happens; returns the engine's code when the file could not be
    // written out complete (a failed write; SQLITE_OK when the log merely stays for another reader).
    int Close() noexcept;

    // Translation of a Jet statement, cached by its text.
    std::shared_ptr<const JetTranslation> Translate(std::string_view jet);
    // A prepared statement of SQLite text, from the cache when one is free.
    Statement Prepare(const std::string& sql);
    // Runs SQLite text that returns no rows.
    void Exec(const std::string& sql);
    // The same for one statement run again and again (the savepoints of nested transactions),
    // kept prepared.
    void ExecPrepared(const std::string& sql);

    // Records the error collection and throws.
    [[noreturn]] void Throw(const DbError& error);
    // Maps the connection's current SQLite error (rc and message) and throws.
    [[noreturn]] void Fail(int rc, std::string_view sql = {});
    const std::vector<EngineError>& Errors() const { return m_errors; }

    int TransactionLevel = 0;
    // The failure after which the engine ended the open transaction by itself (a full disk, an
    // I/O error): a later commit must fail with it instead of reporting success. Number 0: none.
    DbError TransactionLostBy{0, {}};

    // Drops the prepared statements kept for reuse; a changed table definition would leave a kept
    // "SELECT *" with the old columns.
    void ClearCaches() noexcept;
    static bool ChangesDefinitions(std::string_view sql);

private:
    friend class Statement;
    void GiveBack(sqlite3_stmt* stmt, std::string&& key) noexcept;

    sqlite3* m_db = nullptr;
    std::string m_path;
    bool m_readOnly = false;
    std::vector<EngineError> m_errors;

    struct CacheEntry
    {
        std::vector<sqlite3_stmt*> free;
        std::list<std::string>::iterator order;
    };
    std::unordered_map<std::string, CacheEntry> m_statements;
    std::list<std::string> m_order; // most recently returned first
    std::size_t m_cached = 0;
    std::unordered_map<std::string, std::shared_ptr<const JetTranslation>> m_translations;
};

// Maps a SQLite result code and message onto the engine's numbers and German descriptions.
DbError MapSqliteError(int rc, std::string_view message, std::string_view path, std::string_view sql = {});

// Binds a value to a "?" (1-based). Text and blobs are bound without copying: the value must stay
// alive until the statement has been stepped.
void BindValue(sqlite3_stmt* stmt, int index, const Value& value);

// SQL literal of a value, for DEFAULT clauses.
std::string SqlLiteral(const Value& value);

// "name" with inner quotes doubled.
std::string QuoteName(std::string_view name);

} // namespace pf
