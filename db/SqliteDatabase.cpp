#include "db/SqliteDatabase.h"

#include "core/Utf8.h"
#include "db/ChangeStamp.h"
#include "db/FieldTypes.h"
#include "db/SearchIndex.h"
#include "db/SqliteFunctions.h"
#include "db/SqliteRecordset.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <thread>

namespace pf {

namespace {

DbError FileNotFound(const std::string& path)
{
    return DbError(dberr::kFileNotFound, "Die Datei '" + path + "' wurde nicht gefunden.");
}

DbError FileInUse(const std::string& path)
{
    return DbError(dberr::kFileInUse, "Die Datei '" + path +
                                          "' konnte nicht verwendet werden; sie wird bereits "
                                          "verwendet.");
}

// Maps a failure while opening: locks mean the file is in use.
[[noreturn]] void OpenFailed(sqlite3* db, int rc, const std::string& path)
{
    const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close_v2(db);
    const int primary = rc & 0xFF;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        throw FileInUse(path);
    if (primary == SQLITE_NOTADB)
        throw DbError(dberr::kNotADatabase, "Nicht erkennbares Datenbankformat '" + path + "'.");
    if (primary == SQLITE_CANTOPEN || primary == SQLITE_PERM || primary == SQLITE_IOERR)
        throw DbError(
            3051, "Die Datei '" + path + "' kann nicht geöffnet werden.",
            {EngineError{3051, "Die Datei '" + path + "' kann nicht geöffnet werden.", "DAO.Database"},
             EngineError{rc, message, "SQLite"}});
    throw MapSqliteError(rc, message, path);
}

// Runs a statement on a raw handle while opening; returns the result code.
int RunOnOpen(sqlite3* db, const char* sql)
{
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
        do
            rc = sqlite3_step(stmt);
        while (rc == SQLITE_ROW);
        if (rc == SQLITE_DONE)
            rc = SQLITE_OK;
    }
    sqlite3_finalize(stmt);
    return rc;
}

// "file:" URI of a path that opens it as immutable: no locks, no write-ahead log, no shared-memory
// file. Only for a file nobody can write, whose folder does not let the engine create those files.
std::string ImmutableUri(const std::string& path)
{
    static const char* const kHex = "0123456789ABCDEF";
    std::string uri = "file:";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            uri += c;
        } else {
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 15];
        }
    }
    return uri + "?immutable=1";
}

// True when a write-ahead log with content lies beside the file: changes not yet in the file.
bool HasPendingLog(const std::string& path)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(path + "-wal", ec);
    return !ec && size > 0;
}

bool HasWriteBit(const std::string& path)
{
    struct stat st
    {
    };
    if (stat(path.c_str(), &st) != 0)
        return true;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

// A savepoint that rolls back unless released; the destructor never throws.
class Savepoint
{
public:
    Savepoint(SqliteConnection& conn, std::string name) : m_conn(conn), m_name(std::move(name))
    {
        m_conn.Exec("SAVEPOINT " + m_name);
    }
    ~Savepoint()
    {
        if (m_done || !m_conn.IsOpen())
            return;
        sqlite3* db = m_conn.Db();
        sqlite3_exec(db, ("ROLLBACK TO " + m_name).c_str(), nullptr, nullptr, nullptr);
        sqlite3_exec(db, ("RELEASE " + m_name).c_str(), nullptr, nullptr, nullptr);
    }
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;
    void Commit()
    {
        m_conn.Exec("RELEASE " + m_name);
        m_done = true;
    }

private:
    SqliteConnection& m_conn;
    std::string m_name;
    bool m_done = false;
};

std::string ColumnText(sqlite3_stmt* stmt, int i)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt, i))) : std::string();
}

std::string ColumnDefinition(const FieldDef& f, bool forAdd)
{
    std::string def = QuoteName(f.Name) + " " + DeclaredType(f.Type, f.Size);
    if (IsTextType(f.Type))
        def += " COLLATE JETNOCASE";
    // SQLite cannot add a NOT NULL column without a default to a table that has rows; the engine
    // leaves such rows Null, so the added column allows Null.
    if (f.Required && !(forAdd && f.Default.IsNull()))
        def += " NOT NULL";
    if (!f.Default.IsNull())
        def += " DEFAULT " + DefaultLiteral(f.Default, f.Type, true);
    if (f.Type == FieldType::Text) {
        const int size = f.Size > 0 ? f.Size : 255;
        def += " CONSTRAINT " + QuoteName("pf_len_" + f.Name) + " CHECK (length(" + QuoteName(f.Name) +
               ") <= " + std::to_string(size) + ")";
    }
    return def;
}

// Name of the PRIMARY KEY constraint in a CREATE TABLE statement, "" when unnamed.
std::string PrimaryKeyName(std::string_view sql)
{
    std::vector<std::string> tokens;
    std::size_t pos = 0;
    while (pos < sql.size()) {
        const char c = sql[pos];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            ++pos;
        } else if (c == '"' || c == '`' || c == '[' || c == '\'') {
            const char close = c == '[' ? ']' : c;
            std::string name;
            ++pos;
            while (pos < sql.size()) {
                if (sql[pos] == close) {
                    if (close != ']' && pos + 1 < sql.size() && sql[pos + 1] == close) {
                        name += close;
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    break;
                }
                name += sql[pos++];
            }
            tokens.push_back("\x01" + name); // marks a quoted name
        } else if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' ||
                   static_cast<unsigned char>(c) >= 0x80) {
            const std::size_t start = pos;
            while (pos < sql.size() && (std::isalnum(static_cast<unsigned char>(sql[pos])) ||
                                        sql[pos] == '_' || static_cast<unsigned char>(sql[pos]) >= 0x80))
                ++pos;
            tokens.emplace_back(sql.substr(start, pos - start));
        } else {
            tokens.emplace_back(1, c);
            ++pos;
        }
    }
    for (std::size_t i = 0; i + 2 < tokens.size(); ++i) {
        if (EqualsNoCase(tokens[i], "CONSTRAINT") && EqualsNoCase(tokens[i + 2], "PRIMARY")) {
            std::string name = tokens[i + 1];
            if (!name.empty() && name[0] == '\x01')
                name.erase(0, 1);
            return name;
        }
    }
    return {};
}

} // namespace

std::unique_ptr<Database> Database::OpenSqlite(const std::string& path, const OpenOptions& options)
{
    return SqliteDatabase::Open(path, options);
}

SqliteDatabase::SqliteDatabase(std::shared_ptr<SqliteConnection> connection) : m_conn(std::move(connection))
{
}

SqliteDatabase::~SqliteDatabase()
{
    m_conn->Close();
}

std::unique_ptr<SqliteDatabase> SqliteDatabase::Open(const std::string& path, const OpenOptions& options)
{
    // The engine's own wait does not cover every moment another program holds the file: while a
    // closing program folds its log back into the file, or another one sets up the shared index,
    // an open can be refused at once. Such moments pass quickly, so the open is tried again until
    // the busy timeout has passed; a file that stays locked is reported as in use.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(options.BusyTimeoutMs);
    for (;;) {
        try {
            return OpenOnce(path, options);
        } catch (const DbError& error) {
            if (error.Number() != dberr::kFileInUse || std::chrono::steady_clock::now() >= until)
                throw;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::unique_ptr<SqliteDatabase> SqliteDatabase::OpenOnce(const std::string& path, const OpenOptions& options)
{
    std::error_code ec;
    const bool exists = std::filesystem::exists(path, ec);
    if (!exists && !options.Create)
        throw FileNotFound(path);
    // The engine would take an empty file for a new database and write one into it on the first
    // change; an empty file that was meant to be a database is damaged, not new.
    if (exists && !options.Create && std::filesystem::is_regular_file(path, ec) &&
        std::filesystem::file_size(path, ec) == 0 && !ec)
        throw DbError(dberr::kNotADatabase, "Nicht erkennbares Datenbankformat '" + path + "'.");
    bool readOnly = options.ReadOnly || (exists && !HasWriteBit(path));

    // A savepoint keeps the old content of every page it changes in a statement journal. The
    // engine writes it to a temporary file once it passes 64 KB, which a savepoint per stored recipe
    // of an import passes every time; kept in memory, it costs a copy instead of two writes per
    // page (a sixth of the import's processor time, a third of its wall time). It stays in memory
    // whatever its size: with a larger spill limit than the default, the engine version we build
    // on fails as if the disk were full once a journal outgrows it. Only a savepoint that changes
    // a large part of the file at once holds much memory, and only until it ends. The setting
    // only takes before the engine's first use in the process.
    // Nothing reads the engine's memory statistics; keeping them takes a lock around every
    // allocation, of which an import makes dozens per recipe.
    static const int engineSettings =
        sqlite3_config(SQLITE_CONFIG_STMTJRNL_SPILL, -1) | sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    (void)engineSettings;
    const int common = SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE;
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(
        path.c_str(), &db,
        common | (readOnly ? SQLITE_OPEN_READONLY
                           : SQLITE_OPEN_READWRITE | (options.Create ? SQLITE_OPEN_CREATE : 0)),
        nullptr);
    const int primary = rc & 0xFF;
    if (rc != SQLITE_OK && !readOnly && exists &&
        (primary == SQLITE_READONLY || primary == SQLITE_CANTOPEN)) {
        sqlite3_close_v2(db);
        db = nullptr;
        readOnly = true;
        rc = sqlite3_open_v2(path.c_str(), &db, common | SQLITE_OPEN_READONLY, nullptr);
    }
    if (rc != SQLITE_OK)
        OpenFailed(db, rc, path);

    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, options.BusyTimeoutMs);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    rc = RegisterJetFunctions(db);
    if (rc != SQLITE_OK)
        OpenFailed(db, rc, path);

    if (options.Exclusive && (rc = RunOnOpen(db, "PRAGMA locking_mode=EXCLUSIVE")) != SQLITE_OK)
        OpenFailed(db, rc, path);
    // Reading the schema tells a database from any other file and finds locks held by others.
    rc = RunOnOpen(db, "SELECT count(*) FROM sqlite_master");
    const bool cannotWrite = readOnly || sqlite3_db_readonly(db, "main") == 1;
    if (rc != SQLITE_OK && cannotWrite && exists && !HasPendingLog(path) &&
        ((rc & 0xFF) == SQLITE_CANTOPEN || (rc & 0xFF) == SQLITE_READONLY)) {
        // A file left in WAL mode in a folder we cannot write (a CD, a read-only share): the
        // engine cannot create its shared-memory file there, so the file is read as unchanging.
        sqlite3_close_v2(db);
        db = nullptr;
        rc = sqlite3_open_v2(ImmutableUri(path).c_str(), &db, common | SQLITE_OPEN_READONLY | SQLITE_OPEN_URI,
                             nullptr);
        if (rc == SQLITE_OK) {
            sqlite3_extended_result_codes(db, 1);
            sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
            sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
            rc = RegisterJetFunctions(db);
        }
        if (rc == SQLITE_OK)
            rc = RunOnOpen(db, "SELECT count(*) FROM sqlite_master");
        readOnly = true;
    }
    if (rc != SQLITE_OK)
        OpenFailed(db, rc, path);
    if (!readOnly && sqlite3_db_readonly(db, "main") == 1)
        readOnly = true;
    if (!readOnly) {
        rc = RunOnOpen(db, "PRAGMA journal_mode=WAL");
        const int walPrimary = rc & 0xFF;
        if (exists && !options.Exclusive &&
            (walPrimary == SQLITE_CANTOPEN || walPrimary == SQLITE_READONLY || walPrimary == SQLITE_IOERR)) {
            // A writable file in a folder that takes no new files: no journal of any kind can be
            // made there, so the file can only be read.
            sqlite3_close_v2(db);
            OpenOptions readOptions = options;
            readOptions.ReadOnly = true;
            return OpenOnce(path, readOptions);
        }
        if (rc != SQLITE_OK)
            OpenFailed(db, rc, path);
        // In WAL mode NORMAL keeps the file consistent on power loss and saves a sync per commit.
        RunOnOpen(db, "PRAGMA synchronous=NORMAL");
    }
    if ((rc = RunOnOpen(db, "PRAGMA foreign_keys=OFF")) != SQLITE_OK)
        OpenFailed(db, rc, path);
    if (options.Exclusive && !readOnly) {
        // Take the lock now, so that a file another program uses is reported while opening.
        if ((rc = RunOnOpen(db, "BEGIN EXCLUSIVE")) != SQLITE_OK)
            OpenFailed(db, rc, path);
        RunOnOpen(db, "COMMIT");
    }
    auto connection = std::make_shared<SqliteConnection>(db, path, readOnly);
    std::unique_ptr<SqliteDatabase> opened(new SqliteDatabase(std::move(connection)));
    opened->m_lockWaitMs = options.BusyTimeoutMs;
    return opened;
}

void SqliteDatabase::SetWaitForLocks(bool wait)
{
    sqlite3_busy_timeout(Db(), wait ? m_lockWaitMs : 0);
}

std::string SqliteDatabase::Name() const
{
    return m_conn->Path();
}

bool SqliteDatabase::IsUpdatable() const
{
    return m_conn->IsOpen() && !m_conn->ReadOnly();
}

void SqliteDatabase::Close()
{
    // A file whose last pages could not be written out (a full disk) must not pass for complete.
    if (const int rc = m_conn->Close(); rc != SQLITE_OK)
        m_conn->Fail(rc);
}

long SqliteDatabase::Run(std::string_view sql, const std::vector<Value>& params)
{
    const auto translation = m_conn->Translate(sql);
    if (translation->Kind == StatementKind::Select)
        m_conn->Throw(DbError(3065, "Auswahlabfragen können nicht ausgeführt werden."));
    Statement stmt = m_conn->Prepare(translation->Sql);
    const int expected = sqlite3_bind_parameter_count(stmt.Get());
    if (expected != static_cast<int>(params.size()))
        m_conn->Throw(DbError(3061, "Zu wenige Parameter. " + std::to_string(expected) + " erwartet."));
    for (std::size_t i = 0; i < params.size(); ++i)
        BindValue(stmt.Get(), static_cast<int>(i + 1), params[i]);
    int rc = 0;
    while ((rc = sqlite3_step(stmt.Get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        m_conn->Fail(rc, translation->Sql);
    if (translation->Kind == StatementKind::Other || translation->Kind == StatementKind::Pragma) {
        if (SqliteConnection::ChangesDefinitions(translation->Sql))
            m_conn->ClearCaches();
        return 0;
    }
    return static_cast<long>(sqlite3_changes64(Db()));
}

void SqliteDatabase::ExecuteNative(const std::string& sql)
{
    m_conn->Exec(sql);
}

long SqliteDatabase::CacheKilobytes()
{
    auto number = [this](const char* pragma) {
        Statement stmt = m_conn->Prepare(pragma);
        return sqlite3_step(stmt.Get()) == SQLITE_ROW ? static_cast<long>(sqlite3_column_int64(stmt.Get(), 0))
                                                      : 0L;
    };
    // The engine keeps the size as pages (a positive number) or as kilobytes (a negative one).
    const long size = number("PRAGMA cache_size");
    return size >= 0 ? size * number("PRAGMA page_size") / 1024 : -size;
}

void SqliteDatabase::SetCacheKilobytes(long kilobytes)
{
    m_conn->Exec("PRAGMA cache_size=-" + std::to_string(kilobytes));
}

WriteCacheScope::WriteCacheScope(Database& db, long megabytes) : m_file(dynamic_cast<SqliteDatabase*>(&db))
{
    if (!m_file)
        return;
    m_previous = m_file->CacheKilobytes();
    if (m_previous >= megabytes * 1024)
        m_file = nullptr; // already as large
    else
        m_file->SetCacheKilobytes(megabytes * 1024);
}

WriteCacheScope::~WriteCacheScope()
{
    if (!m_file)
        return;
    try {
        m_file->SetCacheKilobytes(m_previous);
    } catch (const DbError&) {
        // A connection that failed meanwhile keeps the larger cache until it is closed.
    }
}

long SqliteDatabase::Execute(std::string_view sql)
{
    return Run(sql, {});
}

long SqliteDatabase::Execute(std::string_view sql, const std::vector<Value>& params)
{
    return Run(sql, params);
}

std::unique_ptr<Recordset> SqliteDatabase::OpenRecordset(std::string_view sql)
{
    return OpenRecordset(sql, {});
}

std::unique_ptr<Recordset> SqliteDatabase::OpenRecordset(std::string_view sql,
                                                         const std::vector<Value>& params)
{
    const auto translation = m_conn->Translate(sql);
    if (translation->Kind != StatementKind::Select && translation->Kind != StatementKind::Pragma)
        m_conn->Throw(DbError(3219, "Ungültige Operation."));
    return std::make_unique<SqliteRecordset>(m_conn, translation, params);
}

void SqliteDatabase::BeginTrans()
{
    if (m_conn->TransactionLevel == 0) {
        m_conn->TransactionLostBy = DbError(0, {});
        m_conn->Exec(m_conn->ReadOnly() ? "BEGIN" : "BEGIN IMMEDIATE");
    } else {
        m_conn->ExecPrepared("SAVEPOINT pf_level" + std::to_string(m_conn->TransactionLevel));
    }
    ++m_conn->TransactionLevel;
}

namespace {
DbError NoTransactionError()
{
    return DbError(3034, "Sie haben versucht, eine Transaktion ohne vorheriges BeginTrans zu übernehmen "
                         "oder zurückzusetzen.");
}
} // namespace

void SqliteDatabase::CommitTrans()
{
    const int level = m_conn->TransactionLevel;
    if (level == 0)
        m_conn->Throw(NoTransactionError());
    if (sqlite3_get_autocommit(Db())) {
        // The engine has rolled the transaction back after a grave error: nothing is stored.
        m_conn->TransactionLevel = 0;
        m_conn->Throw(m_conn->TransactionLostBy.Number() != 0
                          ? m_conn->TransactionLostBy
                          : DbError(3034, "Die Transaktion wurde von der Datenbank zurückgesetzt; die "
                                          "Änderungen wurden nicht gespeichert."));
    }
    if (level == 1) {
        m_conn->Exec("COMMIT");
    } else {
        m_conn->ExecPrepared("RELEASE pf_level" + std::to_string(level - 1));
    }
    m_conn->TransactionLevel = level - 1;
}

void SqliteDatabase::Rollback()
{
    const int level = m_conn->TransactionLevel;
    if (level == 0)
        m_conn->Throw(NoTransactionError());
    // SQLite may have ended the transaction itself after a grave error; then nothing is left.
    if (sqlite3_get_autocommit(Db())) {
        m_conn->TransactionLevel = 0;
        return;
    }
    if (level == 1) {
        m_conn->Exec("ROLLBACK");
    } else {
        const std::string name = "pf_level" + std::to_string(level - 1);
        m_conn->ExecPrepared("ROLLBACK TO " + name);
        m_conn->ExecPrepared("RELEASE " + name);
    }
    m_conn->TransactionLevel = level - 1;
}

bool SqliteDatabase::InTransaction() const
{
    return m_conn->IsOpen() && m_conn->TransactionLevel > 0;
}

const std::vector<EngineError>& SqliteDatabase::Errors() const
{
    return m_conn->Errors();
}

// --- table definitions -----------------------------------------------------------------------

std::string SqliteDatabase::StoredTableName(const std::string& table)
{
    Statement stmt =
        m_conn->Prepare("SELECT name FROM sqlite_master WHERE type='table' AND name=?1 COLLATE NOCASE");
    sqlite3_bind_text(stmt.Get(), 1, table.c_str(), static_cast<int>(table.size()), SQLITE_STATIC);
    const int rc = sqlite3_step(stmt.Get());
    if (rc == SQLITE_ROW)
        return ColumnText(stmt.Get(), 0);
    if (rc != SQLITE_DONE)
        m_conn->Fail(rc);
    return {};
}

std::string SqliteDatabase::RequireTable(const std::string& table)
{
    std::string stored = StoredTableName(table);
    if (stored.empty())
        m_conn->Throw(
            DbError(dberr::kNoSuchField, "Element in dieser Auflistung nicht gefunden: '" + table + "'."));
    return stored;
}

std::vector<std::string> SqliteDatabase::TableNames()
{
    Statement stmt = m_conn->Prepare("SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE "
                                     "'sqlite^_%' ESCAPE '^' ORDER BY name");
    std::vector<std::string> names;
    int rc = 0;
    while ((rc = sqlite3_step(stmt.Get())) == SQLITE_ROW) {
        std::string name = ColumnText(stmt.Get(), 0);
        // The search's word index and the recipes' change stamps are no tables of the data: copies
        // and checks leave them alone.
        if (!IsSearchIndexObject(name) && !IsChangeStampObject(name))
            names.push_back(std::move(name));
    }
    if (rc != SQLITE_DONE)
        m_conn->Fail(rc);
    return names;
}

bool SqliteDatabase::TableExists(const std::string& table)
{
    return !StoredTableName(table).empty();
}

std::vector<FieldDef> SqliteDatabase::Fields(const std::string& table)
{
    const std::string stored = RequireTable(table);
    Statement stmt =
        m_conn->Prepare("SELECT name, type, \"notnull\", dflt_value FROM pragma_table_info(?1) ORDER BY cid");
    sqlite3_bind_text(stmt.Get(), 1, stored.c_str(), static_cast<int>(stored.size()), SQLITE_STATIC);
    std::vector<FieldDef> fields;
    int rc = 0;
    while ((rc = sqlite3_step(stmt.Get())) == SQLITE_ROW) {
        FieldDef f;
        f.Name = ColumnText(stmt.Get(), 0);
        f.Type = ParseDeclaredType(ColumnText(stmt.Get(), 1), f.Size);
        f.Required = sqlite3_column_int(stmt.Get(), 2) != 0;
        if (sqlite3_column_type(stmt.Get(), 3) != SQLITE_NULL)
            f.Default = ParseDefault(ColumnText(stmt.Get(), 3), f.Type);
        fields.push_back(std::move(f));
    }
    if (rc != SQLITE_DONE)
        m_conn->Fail(rc);
    return fields;
}

std::vector<IndexDef> SqliteDatabase::Indexes(const std::string& table)
{
    const std::string stored = RequireTable(table);
    std::vector<IndexDef> indexes;

    // The primary key: its columns in key order, its name from the CREATE TABLE text.
    {
        Statement stmt = m_conn->Prepare("SELECT name FROM pragma_table_info(?1) WHERE pk > 0 ORDER BY pk");
        sqlite3_bind_text(stmt.Get(), 1, stored.c_str(), static_cast<int>(stored.size()), SQLITE_STATIC);
        IndexDef primary;
        primary.Primary = true;
        primary.Unique = true;
        while (sqlite3_step(stmt.Get()) == SQLITE_ROW)
            primary.Columns.push_back(ColumnText(stmt.Get(), 0));
        if (!primary.Columns.empty()) {
            Statement sql = m_conn->Prepare("SELECT sql FROM sqlite_master WHERE type='table' AND name=?1");
            sqlite3_bind_text(sql.Get(), 1, stored.c_str(), static_cast<int>(stored.size()), SQLITE_STATIC);
            if (sqlite3_step(sql.Get()) == SQLITE_ROW)
                primary.Name = PrimaryKeyName(ColumnText(sql.Get(), 0));
            if (primary.Name.empty())
                primary.Name = "PrimaryKey";
            indexes.push_back(std::move(primary));
        }
    }
    Statement list =
        m_conn->Prepare("SELECT name, \"unique\", origin FROM pragma_index_list(?1) ORDER BY name");
    sqlite3_bind_text(list.Get(), 1, stored.c_str(), static_cast<int>(stored.size()), SQLITE_STATIC);
    int rc = 0;
    while ((rc = sqlite3_step(list.Get())) == SQLITE_ROW) {
        const std::string origin = ColumnText(list.Get(), 2);
        if (origin == "pk")
            continue;
        IndexDef index;
        const std::string physical = ColumnText(list.Get(), 0);
        index.Unique = sqlite3_column_int(list.Get(), 1) != 0;
        // Index names are per table in the engine but per file in SQLite: stored as "table.name".
        const std::size_t dot = physical.find('.');
        index.Name = dot == std::string::npos ? physical : physical.substr(dot + 1);
        Statement info = m_conn->Prepare("SELECT name FROM pragma_index_info(?1) ORDER BY seqno");
        sqlite3_bind_text(info.Get(), 1, physical.c_str(), static_cast<int>(physical.size()),
                          SQLITE_TRANSIENT);
        while (sqlite3_step(info.Get()) == SQLITE_ROW)
            index.Columns.push_back(ColumnText(info.Get(), 0));
        indexes.push_back(std::move(index));
    }
    if (rc != SQLITE_DONE)
        m_conn->Fail(rc);
    return indexes;
}

std::string SqliteDatabase::CreateTableSql(const std::string& name, const std::vector<FieldDef>& fields,
                                           const IndexDef* primary) const
{
    std::string sql = "CREATE TABLE " + QuoteName(name) + " (";
    for (std::size_t i = 0; i < fields.size(); ++i)
        sql += (i ? ", " : "") + ColumnDefinition(fields[i], false);
    if (primary && !primary->Columns.empty()) {
        sql += ", CONSTRAINT " + QuoteName(primary->Name.empty() ? "PrimaryKey" : primary->Name) +
               " PRIMARY KEY (";
        for (std::size_t i = 0; i < primary->Columns.size(); ++i)
            sql += (i ? ", " : "") + QuoteName(primary->Columns[i]);
        sql += ")";
    }
    return sql + ")";
}

std::string SqliteDatabase::CreateIndexSql(const std::string& table, const IndexDef& index) const
{
    std::string sql = std::string(index.Unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") +
                      QuoteName(table + "." + index.Name) + " ON " + QuoteName(table) + " (";
    for (std::size_t i = 0; i < index.Columns.size(); ++i)
        sql += (i ? ", " : "") + QuoteName(index.Columns[i]);
    return sql + ")";
}

void SqliteDatabase::CreateTable(const TableDef& table)
{
    if (!StoredTableName(table.Name).empty())
        m_conn->Throw(DbError(3010, "Die Tabelle '" + table.Name + "' existiert bereits."));
    const IndexDef* primary = nullptr;
    for (const IndexDef& index : table.Indexes)
        if (index.Primary)
            primary = &index;
    Savepoint sp(*m_conn, "pf_ddl");
    m_conn->Exec(CreateTableSql(table.Name, table.Fields, primary));
    for (const IndexDef& index : table.Indexes)
        if (!index.Primary)
            m_conn->Exec(CreateIndexSql(table.Name, index));
    sp.Commit();
}

void SqliteDatabase::DropTable(const std::string& table)
{
    const std::string stored = StoredTableName(table);
    if (stored.empty())
        m_conn->Throw(DbError(3376, "Die Tabelle '" + table + "' ist nicht vorhanden."));
    m_conn->Exec("DROP TABLE " + QuoteName(stored));
}

void SqliteDatabase::RenameTable(const std::string& from, const std::string& to)
{
    const std::string stored = RequireTable(from);
    const std::string existing = StoredTableName(to);
    if (!existing.empty() && !EqualsNoCase(existing, stored))
        m_conn->Throw(DbError(3012, "Das Objekt '" + to + "' ist bereits vorhanden."));
    std::vector<IndexDef> indexes = Indexes(stored);
    Savepoint sp(*m_conn, "pf_ddl");
    for (const IndexDef& index : indexes)
        if (!index.Primary)
            m_conn->Exec("DROP INDEX " + QuoteName(stored + "." + index.Name));
    if (EqualsNoCase(stored, to)) {
        // Only the case changes: SQLite sees the same name, so go through another one.
        m_conn->Exec("ALTER TABLE " + QuoteName(stored) + " RENAME TO " + QuoteName("pf_rename_" + to));
        m_conn->Exec("ALTER TABLE " + QuoteName("pf_rename_" + to) + " RENAME TO " + QuoteName(to));
    } else {
        m_conn->Exec("ALTER TABLE " + QuoteName(stored) + " RENAME TO " + QuoteName(to));
    }
    for (const IndexDef& index : indexes)
        if (!index.Primary)
            m_conn->Exec(CreateIndexSql(to, index));
    sp.Commit();
}

std::vector<FieldDef>::iterator SqliteDatabase::FindField(std::vector<FieldDef>& fields,
                                                          const std::string& column)
{
    const auto found = std::find_if(fields.begin(), fields.end(),
                                    [&](const FieldDef& f) { return EqualsNoCase(f.Name, column); });
    if (found == fields.end())
        m_conn->Throw(
            DbError(dberr::kNoSuchField, "Element in dieser Auflistung nicht gefunden: '" + column + "'."));
    return found;
}

void SqliteDatabase::AddColumn(const std::string& table, const FieldDef& field)
{
    const std::string stored = RequireTable(table);
    m_conn->Exec("ALTER TABLE " + QuoteName(stored) + " ADD COLUMN " + ColumnDefinition(field, true));
}

void SqliteDatabase::DropColumn(const std::string& table, const std::string& column)
{
    const std::string stored = RequireTable(table);
    std::vector<FieldDef> fields = Fields(stored);
    const auto found = FindField(fields, column);
    std::vector<IndexDef> indexes = Indexes(stored);
    const auto uses = [&](const IndexDef& index) {
        return std::any_of(index.Columns.begin(), index.Columns.end(),
                           [&](const std::string& c) { return EqualsNoCase(c, column); });
    };
    if (std::none_of(indexes.begin(), indexes.end(), uses)) {
        m_conn->Exec("ALTER TABLE " + QuoteName(stored) + " DROP COLUMN " + QuoteName(found->Name));
        return;
    }
    // SQLite will not drop an indexed column: rebuild without it and without its indexes.
    fields.erase(found);
    indexes.erase(std::remove_if(indexes.begin(), indexes.end(), uses), indexes.end());
    RebuildTable(stored, fields, indexes);
}

void SqliteDatabase::RenameColumn(const std::string& table, const std::string& from, const std::string& to)
{
    const std::string stored = RequireTable(table);
    std::vector<FieldDef> fields = Fields(stored);
    FindField(fields, from);
    m_conn->Exec("ALTER TABLE " + QuoteName(stored) + " RENAME COLUMN " + QuoteName(from) + " TO " +
                 QuoteName(to));
}

void SqliteDatabase::WidenTextColumn(const std::string& table, const std::string& column, int size)
{
    const std::string stored = RequireTable(table);
    std::vector<FieldDef> fields = Fields(stored);
    const auto found = FindField(fields, column);
    if (found->Type == FieldType::Memo)
        return;
    if (found->Type != FieldType::Text)
        m_conn->Throw(DbError(3259, "Ungültiger Felddatentyp."));
    if (found->Size >= size)
        return;
    found->Size = size;
    // SQLite cannot change a declared type in place; a rebuild keeps data and indexes.
    RebuildTable(stored, fields, Indexes(stored));
}

void SqliteDatabase::CreateIndex(const std::string& table, const IndexDef& index)
{
    const std::string stored = RequireTable(table);
    if (!index.Primary) {
        m_conn->Exec(CreateIndexSql(stored, index));
        return;
    }
    // A primary key is part of the table definition in SQLite: rebuild with it.
    std::vector<IndexDef> indexes = Indexes(stored);
    indexes.erase(std::remove_if(indexes.begin(), indexes.end(), [](const IndexDef& i) { return i.Primary; }),
                  indexes.end());
    indexes.push_back(index);
    RebuildTable(stored, Fields(stored), indexes);
}

int SqliteDatabase::DefinedSize(const std::string& table, const std::string& column)
{
    for (const FieldDef& f : Fields(table))
        if (EqualsNoCase(f.Name, column))
            return f.Type == FieldType::Text ? f.Size : 0;
    m_conn->Throw(
        DbError(dberr::kNoSuchField, "Element in dieser Auflistung nicht gefunden: '" + column + "'."));
}

void SqliteDatabase::RebuildTable(const std::string& table, const std::vector<FieldDef>& fields,
                                  const std::vector<IndexDef>& indexes)
{
    const std::vector<FieldDef> old = Fields(table);
    std::string columns;
    for (const FieldDef& f : fields)
        if (std::any_of(old.begin(), old.end(),
                        [&](const FieldDef& o) { return EqualsNoCase(o.Name, f.Name); }))
            columns += (columns.empty() ? "" : ", ") + QuoteName(f.Name);
    const IndexDef* primary = nullptr;
    for (const IndexDef& index : indexes)
        if (index.Primary)
            primary = &index;
    const std::string temporary = "pf_rebuild_" + table;
    Savepoint sp(*m_conn, "pf_rebuild");
    m_conn->Exec(CreateTableSql(temporary, fields, primary));
    if (!columns.empty())
        m_conn->Exec("INSERT INTO " + QuoteName(temporary) + " (" + columns + ") SELECT " + columns +
                     " FROM " + QuoteName(table));
    m_conn->Exec("DROP TABLE " + QuoteName(table));
    m_conn->Exec("ALTER TABLE " + QuoteName(temporary) + " RENAME TO " + QuoteName(table));
    for (const IndexDef& index : indexes)
        if (!index.Primary)
            m_conn->Exec(CreateIndexSql(table, index));
    sp.Commit();
}

std::vector<std::string> SqliteDatabase::IntegrityCheck()
{
    Statement stmt = m_conn->Prepare("PRAGMA integrity_check");
    std::vector<std::string> problems;
    int rc = 0;
    while ((rc = sqlite3_step(stmt.Get())) == SQLITE_ROW) {
        std::string line = ColumnText(stmt.Get(), 0);
        if (line != "ok")
            problems.push_back(std::move(line));
    }
    if (rc != SQLITE_DONE)
        m_conn->Fail(rc);
    return problems;
}

void SqliteDatabase::Compact()
{
    m_conn->Exec("VACUUM");
}

void SqliteDatabase::Checkpoint()
{
    m_conn->Exec("PRAGMA wal_checkpoint(TRUNCATE)");
}

std::string SqliteDatabase::Translated(std::string_view sql)
{
    return m_conn->Translate(sql)->Sql;
}

} // namespace pf
