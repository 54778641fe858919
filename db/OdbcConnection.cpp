#include "db/OdbcConnection.h"

#include "core/Utf8.h"

#include <cstring>

namespace pf {

namespace {

bool IsSuccess(SQLRETURN rc)
{
    return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
}

// Reads a long column piece by piece until the driver has given all of it; false for Null. Text
// pieces end in a terminating zero unit that is not part of the value.
template <typename Unit, std::size_t ChunkUnits, typename OnError>
bool ReadChunks(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType, bool terminated,
                std::vector<Unit>& all, OnError onError)
{
    Unit chunk[ChunkUnits];
    const std::size_t capacity = ChunkUnits - (terminated ? 1 : 0);
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(stmt, column, cType, chunk, sizeof(chunk), &indicator);
        if (rc == SQL_NO_DATA)
            return true;
        if (!IsSuccess(rc))
            onError();
        if (indicator == SQL_NULL_DATA)
            return false;
        const std::size_t got =
            (indicator == SQL_NO_TOTAL || static_cast<std::size_t>(indicator) / sizeof(Unit) > capacity)
                ? capacity
                : static_cast<std::size_t>(indicator) / sizeof(Unit);
        all.insert(all.end(), chunk, chunk + got);
        if (rc == SQL_SUCCESS)
            return true;
    }
}

struct Diagnostic
{
    std::string state;
    long native = 0;
    std::string message;
};

std::vector<Diagnostic> Diagnostics(SQLSMALLINT handleType, SQLHANDLE handle)
{
    std::vector<Diagnostic> out;
    for (SQLSMALLINT i = 1; handle; ++i) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLWCHAR message[2048];
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLGetDiagRecW(handleType, handle, i, state, &native, message,
                                            static_cast<SQLSMALLINT>(std::size(message)), &length);
        if (!IsSuccess(rc))
            break;
        const auto size = std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(length, 0)),
                                                std::size(message) - 1);
        out.push_back(Diagnostic{FromUtf16(state, 5), static_cast<long>(native), FromUtf16(message, size)});
    }
    return out;
}

bool StartsWithState(const std::string& state, std::string_view prefix)
{
    return state.compare(0, prefix.size(), prefix) == 0;
}

// The program's error for a server state; the driver's own text goes to the collection.
DbError MapServerError(const std::vector<Diagnostic>& diagnostics, const std::string& sql,
                       const std::string& source)
{
    const Diagnostic first = diagnostics.empty() ? Diagnostic{"HY000", 0, ""} : diagnostics.front();
    const std::string& state = first.state;
    const std::string& text = first.message;
    auto make = [&](long number, std::string description) {
        std::vector<EngineError> errors{EngineError{number, description, "DAO.Database"}};
        for (const Diagnostic& d : diagnostics)
            errors.push_back(EngineError{d.native, WithoutPassword(d.state + " " + d.message), "ODBC"});

        return DbError(number, std::move(description), std::move(errors));
    };
    if (text.find("pf:pattern") != std::string::npos)
        return make(93, "Ungültige Musterzeichenfolge.");
    const auto says = [&text](std::string_view part) { return text.find(part) != std::string::npos; };
    // The driver reports some losses of the connection under a general state, with the client
    // library's text.
    const bool lostText = says("server closed the connection") || says("no connection to the server") ||
                          says("terminating connection") || says("could not receive data") ||
                          says("could not send data");
    // A server that was reached but refused the logon reports it under the general connection state
    // too; only its text, in English or in German as the server is set, tells a wrong password or an
    // unknown database from a server that is away.
    const bool connectionState = StartsWithState(state, "08");
    const bool unknown = says("does not exist") || says("existiert nicht");
    if (StartsWithState(state, "28") ||
        (connectionState && (says("authentication failed") || says("Authentifizierung") ||
                     (unknown && (says("role \"") || says("Rolle »"))))))
        return make(dberr::kNoServer, "ODBC-Verbindung zu '" + source +
                                          "' fehlgeschlagen. Benutzername oder Kennwort wurden abgelehnt.");
    if (connectionState && unknown && (says("database \"") || says("Datenbank »")))
        return make(dberr::kNoServer, "ODBC-Verbindung zu '" + source +
                                          "' fehlgeschlagen. Die Datenbank gibt es auf diesem Server nicht.");
    if (connectionState || state == "HYT00" || state == "HYT01" || StartsWithState(state, "57P") ||
        lostText)
        return make(dberr::kNoServer, "ODBC-Verbindung zu '" + source +
                              "' fehlgeschlagen. Der Datenbankserver ist nicht erreichbar.");
    if (state == "23505")
        return make(
            dberr::kDuplicateKey,
            "Die von Ihnen vorgenommenen Änderungen an der Tabelle konnten nicht vorgenommen werden, da "
            "der Index, Primärschlüssel oder die Beziehung mit doppelt vorhandenen Werten erstellt "
            "würde.");
    if (state == "23502") {
        std::string column;
        const std::size_t open = text.find("column \"");
        if (open != std::string::npos) {
            const std::size_t start = open + 8;
            column = text.substr(start, text.find('"', start) - start);
        }
        return make(3314, "Das Feld '" + column +
                              "' kann keinen Nullwert enthalten, da die Eigenschaft "
                              "'Eingabe erforderlich' für dieses Feld auf 'True' festgelegt ist.");
    }
    if (state == "22001")
        return make(3163, "Das Feld ist zu klein für die Datenmenge, die Sie hinzufügen wollten. Fügen Sie "
                          "weniger Daten ein.");
    if (state == "22003" || (state == "23514" && text.find("jet_byte") != std::string::npos))
        return make(3349, "Numerischer Feldüberlauf.");
    if (StartsWithState(state, "22P02") || state == "42804" || state == "42883")
        return make(3421, "Datentypkonvertierungsfehler.");
    if (StartsWithState(state, "23"))
        return make(3317, "Ein Wert verletzt eine Gültigkeitsregel des Feldes oder der Tabelle.");
    if (state == "40001" || state == "40P01" || state == "55P03" || state == "57014")
        return make(dberr::kLocked, "Aktualisieren nicht möglich; momentan gesperrt.");
    if (state == "25006" || state == "42501")
        return make(dberr::kReadOnly,
                    "Aktualisieren nicht möglich. Datenbank oder Objekt ist schreibgeschützt.");
    if (state == "42P01") {
        std::string table;
        const std::size_t open = text.find("relation \"");
        if (open != std::string::npos) {
            const std::size_t start = open + 10;
            table = text.substr(start, text.find('"', start) - start);
        }
        return make(dberr::kNoSuchTable,
                    "Die Eingabetabelle oder Abfrage '" + table + "' wurde nicht gefunden.");
    }
    if (state == "42703") {
        std::string column;
        const std::size_t open = text.find("column ");
        if (open != std::string::npos) {
            const std::size_t start = open + 7;
            const std::size_t end = text.find(" does not exist", start);
            column = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (column.size() >= 2 && column.front() == '"' && column.back() == '"')
                column = column.substr(1, column.size() - 2);
        }
        return make(3061, "Zu wenige Parameter. Unbekannter Name '" + column + "'.");
    }
    if (state == "42601" || state == "42000")
        return make(dberr::kSyntax, "Syntaxfehler in Abfrageausdruck '" + sql + "'.");
    if (state == "42P07")
        return make(text.find("index") != std::string::npos || text.find("relation") == std::string::npos
                        ? 3375
                        : 3010,
                    "Die Tabelle oder der Index existiert bereits.");
    if (state == "42701")
        return make(3191, "Das Feld kann nicht mehrmals definiert werden.");
    if (state == "53100")
        return make(dberr::kDiskFull, "Nicht genügend Speicherplatz auf dem Datenträger.");
    return make(dberr::kGeneric, "Die Datenbank konnte den Aufruf nicht ausführen.");
}

} // namespace

std::u16string ToUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char32_t cp = NextCodePoint(text, pos);
        if (cp >= 0x10000) {
            const char32_t v = cp - 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string FromUtf16(const SQLWCHAR* text, std::size_t length)
{
    std::string out;
    out.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<char32_t>(text[i + 1]) - 0xDC00);
            ++i;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

std::string WithoutPassword(std::string_view connectText)
{
    std::string out(connectText);
    for (const char* key : {"pwd=", "password="}) {
        std::size_t pos = 0;
        std::string current = ToLower(out);
        while ((pos = current.find(key, pos)) != std::string::npos) {
            const bool atEntry = pos == 0 || current[pos - 1] == ';' || current[pos - 1] == ' ';
            const std::size_t start = pos + std::strlen(key);
            if (!atEntry) {
                pos = start;
                continue;
            }
            std::size_t end = start;
            if (end < out.size() && out[end] == '{') {
                end = out.find('}', end);
                end = end == std::string::npos ? out.size() : end + 1;
            } else {
                end = out.find(';', start);
                if (end == std::string::npos)
                    end = out.size();
            }
            out.replace(start, end - start, "***");
            current = ToLower(out);
            pos = start + 3;
        }
    }
    return out;
}

// --- OdbcStatement ----------------------------------------------------------------------------

OdbcStatement::OdbcStatement(OdbcStatement&& other) noexcept
    : m_handle(other.m_handle), m_keeper(other.m_keeper), m_key(std::move(other.m_key)),
      m_generation(other.m_generation)
{
    other.m_handle = nullptr;
    other.m_keeper = nullptr;
}

OdbcStatement& OdbcStatement::operator=(OdbcStatement&& other) noexcept
{
    if (this != &other) {
        Release();
        m_handle = other.m_handle;
        m_keeper = other.m_keeper;
        m_key = std::move(other.m_key);
        m_generation = other.m_generation;
        other.m_handle = nullptr;
        other.m_keeper = nullptr;
    }
    return *this;
}

void OdbcStatement::Release() noexcept
{
    if (m_handle && m_keeper)
        m_keeper->GiveBack(m_handle, std::move(m_key), m_generation);
    else if (m_handle)
        SQLFreeHandle(SQL_HANDLE_STMT, m_handle);
    m_handle = nullptr;
    m_keeper = nullptr;
}

// --- OdbcParams -------------------------------------------------------------------------------

void OdbcParams::Bind(OdbcConnection& conn, SQLHSTMT stmt, const std::vector<Value>& params)
{
    for (std::size_t i = 0; i < params.size(); ++i) {
        const Value& v = params[i];
        const auto number = static_cast<SQLUSMALLINT>(i + 1);
        SQLLEN& length = m_lengths.emplace_back(0);
        SQLRETURN rc = SQL_SUCCESS;
        switch (v.Type()) {
        case ValueType::Null:
            length = SQL_NULL_DATA;
            rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 1, 0, nullptr, 0,
                                  &length);
            break;
        case ValueType::Long:
        case ValueType::Boolean: {
            std::int64_t& value =
                m_longs.emplace_back(v.Type() == ValueType::Boolean ? (v.AsBool() ? -1 : 0) : v.AsLong());
            rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0, &value, 0,
                                  &length);
            break;
        }
        case ValueType::Currency: {
            std::string& text = m_numbers.emplace_back(v.AsCurrency().ToString());
            length = static_cast<SQLLEN>(text.size());
            rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_NUMERIC, 19, 4, text.data(),
                                  length, &length);
            break;
        }
        case ValueType::Double:
        case ValueType::Date: {
            double& value =
                m_doubles.emplace_back(v.Type() == ValueType::Date ? v.AsDate().Days : v.AsDouble());
            rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0, &value, 0,
                                  &length);
            break;
        }
        case ValueType::Text: {
            std::u16string& text = m_texts.emplace_back(ToUtf16(v.AsText()));
            length = static_cast<SQLLEN>(text.size() * sizeof(char16_t));
            rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR,
                                  std::max<SQLULEN>(text.size(), 1), 0, text.data(), length, &length);
            break;
        }
        case ValueType::Binary: {
            Blob& blob = m_blobs.emplace_back(v.AsBinary());
            length = static_cast<SQLLEN>(blob.size());
            rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_BINARY, SQL_LONGVARBINARY,
                                  std::max<SQLULEN>(blob.size(), 1), 0, blob.data(), length, &length);
            break;
        }
        }
        if (!IsSuccess(rc))
            conn.Fail(SQL_HANDLE_STMT, stmt);
    }
}

// --- OdbcConnection ---------------------------------------------------------------------------

OdbcConnection::OdbcConnection(const std::string& connectText, int busyTimeoutMs)
    : m_displayName(WithoutPassword(connectText))
{
    if (!IsSuccess(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_env)))
        throw DbError(dberr::kNoServer, "ODBC-Verbindung zu '" + m_displayName + "' fehlgeschlagen.");
    SQLSetEnvAttr(m_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    if (!IsSuccess(SQLAllocHandle(SQL_HANDLE_DBC, m_env, &m_dbc))) {
        SQLFreeHandle(SQL_HANDLE_ENV, m_env);
        throw DbError(dberr::kNoServer, "ODBC-Verbindung zu '" + m_displayName + "' fehlgeschlagen.");
    }
    SQLSetConnectAttr(m_dbc, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN{15}), 0);
    // A failed statement inside a transaction undoes only itself (as on the file database), not the
    // whole transaction: the driver wraps each statement in a savepoint.
    std::string full = connectText;
    if (ToLower(full).find("protocol=") == std::string::npos)
        full += ";Protocol=7.4-2";
    const std::u16string text = ToUtf16(full);
    std::vector<SQLWCHAR> buffer(text.begin(), text.end());
    buffer.push_back(0);
    SQLWCHAR completed[2048];
    SQLSMALLINT completedLength = 0;
    const SQLRETURN rc = SQLDriverConnectW(m_dbc, nullptr, buffer.data(), SQL_NTS, completed,
                                           static_cast<SQLSMALLINT>(std::size(completed)), &completedLength,
                                           SQL_DRIVER_NOPROMPT);
    if (!IsSuccess(rc)) {
        std::vector<Diagnostic> diagnostics = Diagnostics(SQL_HANDLE_DBC, m_dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
        SQLFreeHandle(SQL_HANDLE_ENV, m_env);
        m_dbc = nullptr;
        m_env = nullptr;
        if (diagnostics.empty() || !(StartsWithState(diagnostics.front().state, "08") ||
                                     StartsWithState(diagnostics.front().state, "28")))
            diagnostics.insert(diagnostics.begin(), Diagnostic{"08001", 0, ""});
        throw MapServerError(diagnostics, {}, m_displayName);
    }
    Exec("SET client_min_messages = warning");
    Exec("SET lock_timeout = " + std::to_string(std::max(busyTimeoutMs, 1)));
}

OdbcConnection::~OdbcConnection()
{
    Close();
}

void OdbcConnection::Close()
{
    DropKept();
    if (m_dbc) {
        if (TransactionLevel > 0)
            SQLEndTran(SQL_HANDLE_DBC, m_dbc, SQL_ROLLBACK);
        SQLDisconnect(m_dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
        m_dbc = nullptr;
    }
    if (m_env) {
        SQLFreeHandle(SQL_HANDLE_ENV, m_env);
        m_env = nullptr;
    }
    TransactionLevel = 0;
}

void OdbcConnection::Throw(const DbError& error)
{
    m_errors = error.Errors();
    if (m_errors.empty())
        m_errors.push_back(EngineError{error.Number(), error.Description(), error.Source()});
    throw error;
}

void OdbcConnection::Fail(SQLSMALLINT handleType, SQLHANDLE handle, const std::string& sql)
{
    std::vector<Diagnostic> diagnostics = Diagnostics(handleType, handle);
    // A connection the server ended while a call was under way can come back with a general state
    // only (the driver lost the answer, not the request); the connection's own flag tells.
    if ((diagnostics.empty() || !StartsWithState(diagnostics.front().state, "08")) && IsDead())
        diagnostics.insert(diagnostics.begin(), Diagnostic{"08S01", 0, ""});
    Throw(MapServerError(diagnostics, sql, m_displayName));
}

bool OdbcConnection::IsDead() const
{
    SQLUINTEGER dead = SQL_CD_FALSE;
    return m_dbc && IsSuccess(SQLGetConnectAttr(m_dbc, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)) &&
           dead == SQL_CD_TRUE;
}

OdbcStatement OdbcConnection::NewStatement()
{
    if (!m_dbc)
        Throw(DbError(3420, "Objekt ungültig oder nicht mehr festgelegt."));
    SQLHSTMT handle = nullptr;
    if (!IsSuccess(SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &handle)))
        Fail(SQL_HANDLE_DBC, m_dbc);
    return OdbcStatement(handle);
}

namespace {

constexpr std::size_t kMaxKeptStatements = 64;

// The statement text and the types of its parameters.
std::string KeptKey(const std::string& sql, const std::vector<Value>& params)
{
    std::string key = sql;
    key += '\0';
    for (const Value& v : params)
        key += static_cast<char>('a' + static_cast<int>(v.Type()));
    return key;
}

// The server refuses to run a kept statement whose result columns changed since it was parsed
// (another program changed the table).
bool IsStalePlan(SQLHSTMT stmt)
{
    const std::vector<Diagnostic> diagnostics = Diagnostics(SQL_HANDLE_STMT, stmt);
    return !diagnostics.empty() && diagnostics.front().state == "0A000";
}

} // namespace

OdbcStatement OdbcConnection::Borrow(const std::string& key)
{
    OdbcStatement stmt;
    const auto found = m_kept.find(key);
    if (!m_dbc || found == m_kept.end() || found->second.empty())
        return stmt;
    stmt.m_handle = found->second.back();
    found->second.pop_back();
    --m_keptCount;
    return stmt;
}

OdbcStatement OdbcConnection::Prepare(const std::string& sql, std::size_t params)
{
    OdbcStatement stmt = NewStatement();
    const std::u16string text = ToUtf16(sql);
    std::vector<SQLWCHAR> buffer(text.begin(), text.end());
    buffer.push_back(0);
    if (!IsSuccess(SQLPrepareW(stmt.Get(), buffer.data(), SQL_NTS)))
        Fail(SQL_HANDLE_STMT, stmt.Get(), sql);
    SQLSMALLINT expected = 0;
    SQLNumParams(stmt.Get(), &expected);
    if (expected != static_cast<SQLSMALLINT>(params))
        Throw(DbError(3061, "Zu wenige Parameter. " + std::to_string(expected) + " erwartet."));
    return stmt;
}

SQLRETURN OdbcConnection::Execute(const OdbcStatement& stmt, const std::vector<Value>& params)
{
    OdbcParams bound;
    bound.Bind(*this, stmt.Get(), params);
    return SQLExecute(stmt.Get());
}

OdbcStatement OdbcConnection::Run(const std::string& sql, const std::vector<Value>& params, SQLLEN* rowCount)
{
    OdbcStatement stmt;
    SQLRETURN rc = SQL_SUCCESS;
    // Statements without markers go in one round trip; with markers the driver counts them first,
    // and the prepared statement is kept for the next run of the same text.
    if (params.empty() && sql.find('?') == std::string::npos) {
        stmt = NewStatement();
        const std::u16string text = ToUtf16(sql);
        std::vector<SQLWCHAR> buffer(text.begin(), text.end());
        buffer.push_back(0);
        rc = SQLExecDirectW(stmt.Get(), buffer.data(), SQL_NTS);
    } else {
        std::string key = KeptKey(sql, params);
        stmt = Borrow(key);
        const bool reused = static_cast<bool>(stmt);
        if (!reused)
            stmt = Prepare(sql, params.size());
        rc = Execute(stmt, params);
        if (reused && rc != SQL_NO_DATA && !IsSuccess(rc) && IsStalePlan(stmt.Get())) {
            stmt = Prepare(sql, params.size());
            rc = Execute(stmt, params);
        }
        // Only a statement that ran goes back for reuse.
        if (rc == SQL_NO_DATA || IsSuccess(rc)) {
            stmt.m_keeper = this;
            stmt.m_key = std::move(key);
            stmt.m_generation = m_generation;
        }
    }
    if (rc != SQL_NO_DATA && !IsSuccess(rc))
        Fail(SQL_HANDLE_STMT, stmt.Get(), sql);
    if (rowCount) {
        *rowCount = 0;
        if (rc != SQL_NO_DATA)
            SQLRowCount(stmt.Get(), rowCount);
    }
    return stmt;
}

void OdbcConnection::GiveBack(SQLHSTMT handle, std::string&& key, unsigned generation) noexcept
{
    SQLFreeStmt(handle, SQL_CLOSE);
    SQLFreeStmt(handle, SQL_RESET_PARAMS);
    if (!m_dbc || generation != m_generation) {
        SQLFreeHandle(SQL_HANDLE_STMT, handle);
        return;
    }
    // Statements built with literal values are many and used once: start afresh when full.
    if (m_keptCount >= kMaxKeptStatements)
        DropKept();
    try {
        m_kept[std::move(key)].push_back(handle);
        ++m_keptCount;
    } catch (...) {
        SQLFreeHandle(SQL_HANDLE_STMT, handle);
    }
}

void OdbcConnection::DropKept() noexcept
{
    for (auto& [key, handles] : m_kept)
        for (SQLHSTMT handle : handles)
            SQLFreeHandle(SQL_HANDLE_STMT, handle);
    m_kept.clear();
    m_keptCount = 0;
    ++m_generation;
}

Value OdbcConnection::Scalar(const std::string& sql, const std::vector<Value>& params)
{
    OdbcStatement stmt = Run(sql, params);
    const SQLRETURN rc = SQLFetch(stmt.Get());
    if (rc == SQL_NO_DATA)
        return Value();
    if (!IsSuccess(rc))
        Fail(SQL_HANDLE_STMT, stmt.Get(), sql);
    SQLSMALLINT type = 0;
    SQLDescribeColW(stmt.Get(), 1, nullptr, 0, nullptr, &type, nullptr, nullptr, nullptr);
    return Read(stmt.Get(), 1, KindOf(type));
}

OdbcReadKind OdbcConnection::KindOf(SQLSMALLINT sqlType)
{
    switch (sqlType) {
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
    case SQL_BIT:
        return OdbcReadKind::Integer;
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return OdbcReadKind::Double;
    case SQL_NUMERIC:
    case SQL_DECIMAL:
        return OdbcReadKind::Numeric;
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
        return OdbcReadKind::Binary;
    default:
        return OdbcReadKind::Text;
    }
}

Value OdbcConnection::Read(SQLHSTMT stmt, SQLUSMALLINT column, OdbcReadKind kind)
{
    SQLLEN indicator = 0;
    SQLRETURN rc = SQL_SUCCESS;
    switch (kind) {
    case OdbcReadKind::Integer: {
        std::int64_t value = 0;
        rc = SQLGetData(stmt, column, SQL_C_SBIGINT, &value, 0, &indicator);
        if (!IsSuccess(rc))
            Fail(SQL_HANDLE_STMT, stmt);
        return indicator == SQL_NULL_DATA ? Value() : Value(static_cast<long long>(value));
    }
    case OdbcReadKind::Double: {
        double value = 0;
        rc = SQLGetData(stmt, column, SQL_C_DOUBLE, &value, 0, &indicator);
        if (!IsSuccess(rc))
            Fail(SQL_HANDLE_STMT, stmt);
        return indicator == SQL_NULL_DATA ? Value() : Value(value);
    }
    case OdbcReadKind::Numeric: {
        char text[128] = {};
        rc = SQLGetData(stmt, column, SQL_C_CHAR, text, sizeof(text), &indicator);
        if (!IsSuccess(rc))
            Fail(SQL_HANDLE_STMT, stmt);
        if (indicator == SQL_NULL_DATA)
            return Value();
        return Value(std::strtod(text, nullptr));
    }
    case OdbcReadKind::Text: {
        std::vector<SQLWCHAR> all;
        if (!ReadChunks<SQLWCHAR, 2048>(stmt, column, SQL_C_WCHAR, true, all,
                                        [&] { Fail(SQL_HANDLE_STMT, stmt); }))
            return Value();
        return Value(FromUtf16(all.data(), all.size()));
    }
    case OdbcReadKind::Binary: {
        Blob all;
        if (!ReadChunks<std::uint8_t, 8192>(stmt, column, SQL_C_BINARY, false, all,
                                            [&] { Fail(SQL_HANDLE_STMT, stmt); }))
            return Value();
        return Value(std::move(all));
    }
    }
    return Value();
}

void OdbcConnection::SetAutoCommit(bool on)
{
    const SQLRETURN rc = SQLSetConnectAttr(
        m_dbc, SQL_ATTR_AUTOCOMMIT,
        reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF)), 0);
    if (!IsSuccess(rc))
        Fail(SQL_HANDLE_DBC, m_dbc);
}

void OdbcConnection::EndTransaction(bool commit)
{
    const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, m_dbc, commit ? SQL_COMMIT : SQL_ROLLBACK);
    if (!IsSuccess(rc) || (commit && IsDead()))
        Fail(SQL_HANDLE_DBC, m_dbc);
}

std::shared_ptr<const JetTranslation> OdbcConnection::Translate(std::string_view sql)
{
    if (const auto found = m_translations.find(sql); found != m_translations.end())
        return found->second;
    try {
        auto translation = std::make_shared<const JetTranslation>(TranslateJetSql(sql, SqlDialect::Postgres));
        if (m_translations.size() > 500)
            m_translations.clear();
        m_translations.emplace(std::string(sql), translation);
        return translation;
    } catch (const DbError& error) {
        Throw(error);
    }
}

void OdbcConnection::ClearCaches()
{
    DropKept();
    FieldCache.clear();
    TableNameCache.clear();
}

} // namespace pf
