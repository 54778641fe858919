#include "db/SqliteConnection.h"

#include <charconv>
#include <cmath>

namespace pf {

namespace {

constexpr std::size_t kMaxCachedStatements = 64;
constexpr std::size_t kMaxTranslations = 1024;

std::string After(std::string_view text, std::string_view prefix)
{
    return std::string(text.substr(prefix.size()));
}

} // namespace

// --- Statement -------------------------------------------------------------------------------

Statement::Statement(std::shared_ptr<SqliteConnection> connection, sqlite3_stmt* stmt, std::string key)
    : m_connection(std::move(connection)), m_stmt(stmt), m_key(std::move(key))
{
}

Statement::~Statement()
{
    Release();
}

Statement::Statement(Statement&& other) noexcept
    : m_connection(std::move(other.m_connection)), m_stmt(other.m_stmt), m_key(std::move(other.m_key))
{
    other.m_stmt = nullptr;
}

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        Release();
        m_connection = std::move(other.m_connection);
        m_stmt = other.m_stmt;
        m_key = std::move(other.m_key);
        other.m_stmt = nullptr;
    }
    return *this;
}

void Statement::Release() noexcept
{
    if (!m_stmt)
        return;
    if (m_connection && m_connection->IsOpen())
        m_connection->GiveBack(m_stmt, std::move(m_key));
    else
        sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
    m_connection.reset();
}

// --- SqliteConnection ------------------------------------------------------------------------

SqliteConnection::SqliteConnection(sqlite3* db, std::string path, bool readOnly)
    : m_db(db), m_path(std::move(path)), m_readOnly(readOnly)
{
}

SqliteConnection::~SqliteConnection()
{
    Close();
}

sqlite3* SqliteConnection::Db() const
{
    if (!m_db)
        throw DbError(3420, "Objekt ungültig oder nicht mehr festgelegt.");
    return m_db;
}

void SqliteConnection::ClearCaches() noexcept
{
    for (auto& [key, entry] : m_statements)
        for (sqlite3_stmt* stmt : entry.free)
            sqlite3_finalize(stmt);
    m_statements.clear();
    m_order.clear();
    m_cached = 0;
}

int SqliteConnection::Close() noexcept
{
    if (!m_db)
        return SQLITE_OK;
    ClearCaches();
    if (TransactionLevel > 0 && !sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    TransactionLevel = 0;
    // WAL serves several programs on one file while it is open; a closed database must be one
    // self-contained file that a read-only folder, a copy or an archive takes as it is. Leaving
    // WAL needs the file to itself, so the switch fails at once (no waiting) while another
    // connection still has it open, and that connection makes the switch when it closes.
    // Writing the log's pages into the file can fail (a full disk): the file alone is then
    // incomplete, which the caller must learn before it treats it as finished. A log kept for
    // another reader loses nothing.
    int rc = SQLITE_OK;
    if (!m_readOnly) {
        sqlite3_busy_timeout(m_db, 0);
        rc = sqlite3_exec(m_db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
        if ((rc & 0xFF) != SQLITE_IOERR && (rc & 0xFF) != SQLITE_FULL)
            rc = SQLITE_OK;
    }
    // Statements still held by recordsets keep the handle alive as a zombie until finalized.
    const int closed = sqlite3_close_v2(m_db);
    m_db = nullptr;
    return rc != SQLITE_OK ? rc : closed;
}

std::shared_ptr<const JetTranslation> SqliteConnection::Translate(std::string_view jet)
{
    const std::string key(jet);
    auto found = m_translations.find(key);
    if (found != m_translations.end())
        return found->second;
    std::shared_ptr<const JetTranslation> translation;
    try {
        translation = std::make_shared<const JetTranslation>(TranslateJetSql(jet));
    } catch (const DbError& error) {
        Throw(error);
    }
    // Statements built with literal IDs are many and used once: start afresh when full.
    if (m_translations.size() >= kMaxTranslations)
        m_translations.clear();
    m_translations.emplace(key, translation);
    return translation;
}

Statement SqliteConnection::Prepare(const std::string& sql)
{
    sqlite3* db = Db();
    auto found = m_statements.find(sql);
    if (found != m_statements.end() && !found->second.free.empty()) {
        sqlite3_stmt* stmt = found->second.free.back();
        found->second.free.pop_back();
        --m_cached;
        return Statement(shared_from_this(), stmt, sql);
    }
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v3(db, sql.c_str(), static_cast<int>(sql.size() + 1),
                                      SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        Fail(rc, sql);
    }
    if (!stmt) // only blanks or a comment
        Throw(DbError(dberr::kSyntax, "Syntaxfehler in Abfrageausdruck '" + sql + "'."));
    return Statement(shared_from_this(), stmt, sql);
}

void SqliteConnection::GiveBack(sqlite3_stmt* stmt, std::string&& key) noexcept
{
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    try {
        auto found = m_statements.find(key);
        if (found == m_statements.end()) {
            m_order.push_front(key);
            found = m_statements.emplace(std::move(key), CacheEntry{{}, m_order.begin()}).first;
        } else {
            m_order.splice(m_order.begin(), m_order, found->second.order);
        }
        if (found->second.free.size() >= 4) {
            sqlite3_finalize(stmt);
            return;
        }
        found->second.free.push_back(stmt);
        ++m_cached;
        while (m_cached > kMaxCachedStatements && !m_order.empty()) {
            auto oldest = m_statements.find(m_order.back());
            for (sqlite3_stmt* s : oldest->second.free)
                sqlite3_finalize(s);
            m_cached -= oldest->second.free.size();
            m_statements.erase(oldest);
            m_order.pop_back();
        }
    } catch (...) {
        sqlite3_finalize(stmt);
    }
}

void SqliteConnection::Exec(const std::string& sql)
{
    char* message = nullptr;
    const int rc = sqlite3_exec(Db(), sql.c_str(), nullptr, nullptr, &message);
    sqlite3_free(message);
    if (rc != SQLITE_OK)
        Fail(rc, sql);
    if (ChangesDefinitions(sql))
        ClearCaches();
}

void SqliteConnection::ExecPrepared(const std::string& sql)
{
    Statement stmt = Prepare(sql);
    const int rc = sqlite3_step(stmt.Get());
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        Fail(rc, sql);
}

bool SqliteConnection::ChangesDefinitions(std::string_view sql)
{
    std::size_t start = 0;
    while (start < sql.size() && (sql[start] == ' ' || sql[start] == '\n' || sql[start] == '\t'))
        ++start;
    for (std::string_view word : {"CREATE", "DROP", "ALTER"}) {
        if (sql.size() - start < word.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < word.size() && same; ++i)
            same = (sql[start + i] & ~0x20) == word[i];
        if (same)
            return true;
    }
    return false;
}

void SqliteConnection::Throw(const DbError& error)
{
    m_errors = error.Errors();
    throw error;
}

void SqliteConnection::Fail(int rc, std::string_view sql)
{
    const char* message = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
    const int extended = m_db ? sqlite3_extended_errcode(m_db) : rc;
    // The code of a failed step is the extended one when extended codes are on; prefer it.
    DbError error =
        MapSqliteError((extended & 0xFF) == (rc & 0xFF) ? extended : rc, message ? message : "", m_path, sql);
    if (TransactionLevel > 0 && m_db && sqlite3_get_autocommit(m_db))
        TransactionLostBy = error;
    Throw(error);
}

DbError MapSqliteError(int rc, std::string_view message, std::string_view path, std::string_view sql)
{
    auto make = [&](long number, std::string description, bool withEngineText) {
        std::vector<EngineError> errors{EngineError{number, description, "DAO.Database"}};
        if (withEngineText)
            errors.push_back(EngineError{rc, std::string(message), "SQLite"});
        return DbError(number, std::move(description), std::move(errors));
    };
    const std::string file(path);
    switch (rc) {
    case SQLITE_CONSTRAINT_PRIMARYKEY:
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_ROWID:
        return make(
            dberr::kDuplicateKey,
            "Die von Ihnen vorgenommenen Änderungen an der Tabelle konnten nicht vorgenommen werden, da "
            "der Index, Primärschlüssel oder die Beziehung mit doppelt vorhandenen Werten erstellt "
            "würde.",
            false);
    case SQLITE_CONSTRAINT_NOTNULL: {
        std::string column(message);
        const std::string_view prefix = "NOT NULL constraint failed: ";
        if (column.starts_with(prefix))
            column = After(column, prefix);
        return make(3314,
                    "Das Feld '" + column +
                        "' kann keinen Nullwert enthalten, da die Eigenschaft "
                        "'Eingabe erforderlich' für dieses Feld auf 'True' festgelegt ist.",
                    false);
    }
    case SQLITE_CONSTRAINT_CHECK:
        if (message.find("pf_len_") != std::string_view::npos)
            return make(3163,
                        "Das Feld ist zu klein für die Datenmenge, die Sie hinzufügen wollten. Fügen Sie "
                        "weniger Daten ein.",
                        false);
        break;
    default:
        break;
    }
    switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return make(3218, "Aktualisieren nicht möglich; momentan gesperrt.", false);
    case SQLITE_READONLY:
        return make(dberr::kReadOnly,
                    "Aktualisieren nicht möglich. Datenbank oder Objekt ist schreibgeschützt.", false);
    case SQLITE_NOTADB:
        return make(dberr::kNotADatabase, "Nicht erkennbares Datenbankformat '" + file + "'.", false);
    case SQLITE_CORRUPT:
        return make(3049,
                    "Die Datenbank '" + file +
                        "' kann nicht geöffnet werden. Sie wird von Ihrer "
                        "Anwendung nicht erkannt, oder die Datei ist beschädigt.",
                    true);
    case SQLITE_FULL:
        return make(3026, "Nicht genügend Speicherplatz auf dem Datenträger.", false);
    case SQLITE_IOERR:
        return make(3043, "Datenträger- oder Netzwerkfehler.", true);
    case SQLITE_MISMATCH:
        return make(3421, "Datentypkonvertierungsfehler.", false);
    case SQLITE_CANTOPEN:
        return make(3051, "Die Datei '" + file + "' kann nicht geöffnet werden.", true);
    case SQLITE_CONSTRAINT:
        return make(3317, "Ein Wert verletzt eine Gültigkeitsregel des Feldes oder der Tabelle.", true);
    case SQLITE_ERROR: {
        if (message == "pf:pattern")
            return make(93, "Ungültige Musterzeichenfolge.", false);
        if (message.starts_with("no such table: "))
            return make(dberr::kNoSuchTable,
                        "Die Eingabetabelle oder Abfrage '" + After(message, "no such table: ") +
                            "' wurde nicht gefunden.",
                        false);
        if (message.starts_with("no such column: "))
            return make(3061,
                        "Zu wenige Parameter. Unbekannter Name '" + After(message, "no such column: ") + "'.",
                        true);
        if (message.find("syntax error") != std::string_view::npos ||
            message.find("incomplete input") != std::string_view::npos ||
            message.find("unrecognized token") != std::string_view::npos)
            return make(dberr::kSyntax, "Syntaxfehler in Abfrageausdruck '" + std::string(sql) + "'.", true);
        if (message.starts_with("table ") && message.find("already exists") != std::string_view::npos)
            return make(3010, "Die Tabelle existiert bereits.", true);
        if (message.starts_with("index ") && message.find("already exists") != std::string_view::npos)
            return make(3375, "Die Tabelle hat bereits einen Index dieses Namens.", true);
        if (message.starts_with("duplicate column name: "))
            return make(3191,
                        "Das Feld '" + After(message, "duplicate column name: ") +
                            "' kann nicht mehrmals definiert werden.",
                        false);
        break;
    }
    default:
        break;
    }
    // The engine's own text is English: it stays in the error collection (and so in the log).
    return make(dberr::kGeneric, "Die Datenbank konnte den Aufruf nicht ausführen.", true);
}

void BindValue(sqlite3_stmt* stmt, int index, const Value& value)
{
    const Value::Storage& raw = value.Raw();
    switch (raw.index()) {
    case 0:
        sqlite3_bind_null(stmt, index);
        break;
    case 1:
        sqlite3_bind_int64(stmt, index, std::get<std::int64_t>(raw));
        break;
    case 2:
        sqlite3_bind_double(stmt, index, std::get<Decimal4>(raw).ToDouble());
        break;
    case 3:
        sqlite3_bind_double(stmt, index, std::get<double>(raw));
        break;
    case 4: {
        const std::string& text = std::get<std::string>(raw);
        sqlite3_bind_text64(stmt, index, text.data(), text.size(), SQLITE_STATIC, SQLITE_UTF8);
        break;
    }
    case 5:
        sqlite3_bind_double(stmt, index, std::get<DateSerial>(raw).Days);
        break;
    case 6:
        sqlite3_bind_int64(stmt, index, std::get<bool>(raw) ? -1 : 0);
        break;
    case 7: {
        const Blob& blob = std::get<Blob>(raw);
        if (blob.empty())
            sqlite3_bind_zeroblob(stmt, index, 0);
        else
            sqlite3_bind_blob64(stmt, index, blob.data(), blob.size(), SQLITE_STATIC);
        break;
    }
    default:
        sqlite3_bind_null(stmt, index);
        break;
    }
}

std::string SqlLiteral(const Value& value)
{
    switch (value.Type()) {
    case ValueType::Null:
        return "NULL";
    case ValueType::Long:
        return std::to_string(value.AsLong());
    case ValueType::Boolean:
        return value.AsBool() ? "-1" : "0";
    case ValueType::Currency:
        return value.AsCurrency().ToString();
    case ValueType::Double:
    case ValueType::Date: {
        char buffer[64];
        const double d = value.AsDouble();
        if (std::isnan(d) || std::isinf(d))
            return "NULL";
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, d);
        return std::string(buffer, r.ptr);
    }
    case ValueType::Text: {
        std::string out = "'";
        for (char c : value.AsText()) {
            if (c == '\'')
                out += '\'';
            out += c;
        }
        return out + "'";
    }
    case ValueType::Binary: {
        static const char* hex = "0123456789ABCDEF";
        std::string out = "X'";
        for (std::uint8_t b : value.AsBinary()) {
            out += hex[b >> 4];
            out += hex[b & 15];
        }
        return out + "'";
    }
    }
    return "NULL";
}

std::string QuoteName(std::string_view name)
{
    std::string out = "\"";
    for (char c : name) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

} // namespace pf
