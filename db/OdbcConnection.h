#pragma once
// One ODBC connection to the PostgreSQL server and the handles of its statements (RAII: a
// statement frees its handle, the connection disconnects and frees its handles when destroyed).
// Statements with markers stay prepared on the server for the next run of the same text, so that
// a statement run again costs one round trip instead of a parse and a deallocation besides.
// Text travels as UTF-16 both ways, so that no locale of the machine can change it. Failures
// become DbError with the numbers the program branches on and a German description; the
// driver's English text stays in the error collection, with any password taken out.

#include "db/Database.h"
#include "db/JetSql.h"

#include <sql.h>
#include <sqlext.h>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace pf {

class OdbcConnection;

// A statement handle; one borrowed from the connection's kept statements goes back there when
// released, any other is freed.
class OdbcStatement
{
public:
    OdbcStatement() = default;
    explicit OdbcStatement(SQLHSTMT handle) : m_handle(handle) {}
    ~OdbcStatement() { Release(); }
    OdbcStatement(OdbcStatement&& other) noexcept;
    OdbcStatement& operator=(OdbcStatement&& other) noexcept;
    OdbcStatement(const OdbcStatement&) = delete;
    OdbcStatement& operator=(const OdbcStatement&) = delete;
    SQLHSTMT Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    void Release() noexcept;

private:
    friend class OdbcConnection;
    SQLHSTMT m_handle = nullptr;
    OdbcConnection* m_keeper = nullptr; // set while the handle is to go back to its connection
    std::string m_key;
    unsigned m_generation = 0;
};

// Values bound to the markers of a statement; they must stay where they are until it has run.
class OdbcParams
{
public:
    void Bind(OdbcConnection& conn, SQLHSTMT stmt, const std::vector<Value>& params);

private:
    std::deque<std::u16string> m_texts;
    std::deque<std::string> m_numbers;
    std::deque<std::int64_t> m_longs;
    std::deque<double> m_doubles;
    std::deque<Blob> m_blobs;
    std::deque<SQLLEN> m_lengths;
};

// How a result column is read.
enum class OdbcReadKind : unsigned char { Integer, Double, Numeric, Text, Binary };

class OdbcConnection
{
public:
    // connectText is the ODBC text (Driver=...;Server=...); throws 3151 with the server's reason
    // when the server cannot be reached or refuses the logon.
    OdbcConnection(const std::string& connectText, int busyTimeoutMs);
    ~OdbcConnection();
    OdbcConnection(const OdbcConnection&) = delete;
    OdbcConnection& operator=(const OdbcConnection&) = delete;

    bool IsOpen() const { return m_dbc != nullptr; }
    // The driver's own flag, read without a call to the server: the server ended the connection
    // (and with it any transaction that was open).
    bool IsDead() const;
    void Close();
    // The connect text without its password, as it may be shown and logged.
    const std::string& DisplayName() const { return m_displayName; }

    OdbcStatement NewStatement();
    // Prepares and runs a statement with parameters; returns the statement positioned before its
    // first row (for queries) and the number of changed rows in rowCount.
    OdbcStatement Run(const std::string& sql, const std::vector<Value>& params, SQLLEN* rowCount = nullptr);
    void Exec(const std::string& sql) { Run(sql, {}); }
    // First column of the first row, as the driver reads it (integers, doubles or text).
    Value Scalar(const std::string& sql, const std::vector<Value>& params);

    // Reads column (1-based) of the current row.
    Value Read(SQLHSTMT stmt, SQLUSMALLINT column, OdbcReadKind kind);
    static OdbcReadKind KindOf(SQLSMALLINT sqlType);

    void SetAutoCommit(bool on);
    // Throws when the commit did not reach the server, also when the driver reports it done on a
    // connection the server had ended before (after a failed statement of the transaction).
    void EndTransaction(bool commit);

    // Throws the error of a failed call on a handle, after recording it in Errors().
    [[noreturn]] void Fail(SQLSMALLINT handleType, SQLHANDLE handle, const std::string& sql = {});
    [[noreturn]] void Throw(const DbError& error);
    const std::vector<EngineError>& Errors() const { return m_errors; }

    std::shared_ptr<const JetTranslation> Translate(std::string_view sql);
    // Column definitions per table (lower-case name), filled on demand, cleared on schema changes.
    std::map<std::string, std::vector<FieldDef>> FieldCache;
    std::map<std::string, std::string> TableNameCache;
    // Also drops the kept statements: a changed table definition would leave a kept "SELECT *"
    // with the old columns.
    void ClearCaches();

    int TransactionLevel = 0;

private:
    friend class OdbcStatement;
    // A kept statement of that key, or an empty one.
    OdbcStatement Borrow(const std::string& key);
    // Prepares a new statement and checks its markers against the parameters.
    OdbcStatement Prepare(const std::string& sql, std::size_t params);
    // Binds the parameters and runs the prepared statement.
    SQLRETURN Execute(const OdbcStatement& stmt, const std::vector<Value>& params);
    void GiveBack(SQLHSTMT handle, std::string&& key, unsigned generation) noexcept;
    void DropKept() noexcept;

    SQLHENV m_env = nullptr;
    SQLHDBC m_dbc = nullptr;
    std::string m_displayName;
    std::vector<EngineError> m_errors;
    std::map<std::string, std::shared_ptr<const JetTranslation>, std::less<>> m_translations;
    // Prepared statements not in use, by statement text and parameter types (the server fixes the
    // parameters' types when it parses). A statement borrowed before the last ClearCaches (an
    // older generation) is freed when given back.
    std::unordered_map<std::string, std::vector<SQLHSTMT>> m_kept;
    std::size_t m_keptCount = 0;
    unsigned m_generation = 0;
};

std::u16string ToUtf16(std::string_view text);
std::string FromUtf16(const SQLWCHAR* text, std::size_t length);
// The text with the value of every PWD= (and Password=) entry replaced by "***".
std::string WithoutPassword(std::string_view connectText);

} // namespace pf
