#include "db/PgDatabase.h"

#include "core/Utf8.h"
#include "db/ChangeStamp.h"
#include "db/FieldTypes.h"
#include "db/PgFunctions.h"
#include "db/PgRecordset.h"
#include "db/SqliteConnection.h"

#include <algorithm>

namespace pf {

namespace {

DbError NoTransactionError()
{
    return DbError(3034, "Sie haben versucht, eine Transaktion ohne vorheriges BeginTrans zu übernehmen "
                         "oder zurückzusetzen.");
}

std::string Quoted(std::string_view name)
{
    return QuoteName(ServerName(name));
}

std::string ColumnDefinition(const FieldDef& f, bool forAdd)
{
    std::string def = Quoted(f.Name) + " " + ServerDeclaredType(f.Type, f.Size);
    if (IsTextType(f.Type))
        def += " COLLATE jetnocase";
    // As on the file database, a required column added to a table with rows allows Null.
    if (f.Required && !(forAdd && f.Default.IsNull()))
        def += " NOT NULL";
    if (!f.Default.IsNull() && f.Type != FieldType::Counter)
        def += " DEFAULT " + DefaultLiteral(f.Default, f.Type, false);
    return def;
}

// The column type from the server's type name ("character varying(50)", "jet_boolean" ...).
FieldType ServerType(const std::string& type, bool identity)
{
    const std::string dataType = type.substr(0, type.find('('));
    if (dataType == "jet_boolean")
        return FieldType::Boolean;
    if (dataType == "jet_byte")
        return FieldType::Byte;
    if (dataType == "jet_date")
        return FieldType::Date;
    if (dataType == "smallint")
        return FieldType::Integer;
    if (dataType == "integer" || dataType == "bigint")
        return identity ? FieldType::Counter : FieldType::Long;
    if (dataType == "real")
        return FieldType::Single;
    if (dataType == "double precision")
        return FieldType::Double;
    if (dataType == "numeric")
        return FieldType::Currency;
    if (dataType == "character varying" || dataType == "character")
        return FieldType::Text;
    if (dataType == "bytea")
        return FieldType::Binary;
    return FieldType::Memo;
}

// Reads every row of a catalogue query as text.
std::vector<std::vector<std::string>> Rows(OdbcConnection& conn, const std::string& sql,
                                           const std::vector<Value>& params)
{
    OdbcStatement stmt = conn.Run(sql, params);
    SQLSMALLINT columns = 0;
    SQLNumResultCols(stmt.Get(), &columns);
    std::vector<std::vector<std::string>> rows;
    while (true) {
        const SQLRETURN rc = SQLFetch(stmt.Get());
        if (rc == SQL_NO_DATA)
            break;
        if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO)
            conn.Fail(SQL_HANDLE_STMT, stmt.Get(), sql);
        std::vector<std::string>& row = rows.emplace_back();
        for (SQLSMALLINT i = 1; i <= columns; ++i) {
            const Value v = conn.Read(stmt.Get(), static_cast<SQLUSMALLINT>(i), OdbcReadKind::Text);
            row.push_back(v.IsNull() ? std::string() : v.AsText());
        }
    }
    return rows;
}

// The statements of the helper script, which end each with "$$;".
std::vector<std::string> HelperStatements()
{
    std::vector<std::string> out;
    const std::string& script = ServerHelperSql();
    std::size_t start = 0;
    while (true) {
        const std::size_t end = script.find("$$;", start);
        if (end == std::string::npos)
            break;
        out.push_back(script.substr(start, end + 2 - start));
        start = end + 3;
    }
    return out;
}

} // namespace

std::string ServerName(std::string_view name)
{
    std::string out(name);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return out;
}

const std::vector<FieldDef>& ServerFields(OdbcConnection& conn, const std::string& table)
{
    const std::string key = ServerName(table);
    if (const auto found = conn.FieldCache.find(key); found != conn.FieldCache.end())
        return found->second;
    const auto rows =
        Rows(conn,
             "SELECT COALESCE(col_description(a.attrelid, a.attnum), a.attname), "
             "format_type(a.atttypid, a.atttypmod), a.attnotnull, "
             "COALESCE(pg_get_expr(d.adbin, d.adrelid), ''), a.attidentity <> '' "
             "FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid JOIN pg_namespace n ON "
             "n.oid = c.relnamespace LEFT JOIN pg_attrdef d ON d.adrelid = a.attrelid AND d.adnum = "
             "a.attnum WHERE n.nspname = current_schema() AND c.relname = ? AND a.attnum > 0 AND "
             "NOT a.attisdropped ORDER BY a.attnum",
             {key});
    std::vector<FieldDef> fields;
    for (const auto& row : rows) {
        FieldDef f;
        f.Name = row[0];
        const std::string& type = row[1];
        const bool identity = row[4] == "1" || row[4] == "t";
        f.Type = ServerType(type, identity);
        if (f.Type == FieldType::Text) {
            const std::size_t open = type.find('(');
            f.Size = open == std::string::npos ? 0 : std::atoi(type.c_str() + open + 1);
        }
        f.Required = row[2] == "1" || row[2] == "t";
        f.Default = ParseDefault(row[3], f.Type);
        fields.push_back(std::move(f));
    }
    return conn.FieldCache[key] = std::move(fields);
}

const FieldDef* ServerField(OdbcConnection& conn, const std::string& table, const std::string& column)
{
    const auto find = [&]() -> const FieldDef* {
        for (const FieldDef& f : ServerFields(conn, table))
            if (EqualsNoCase(f.Name, column))
                return &f;
        return nullptr;
    };
    if (const FieldDef* found = find())
        return found;
    conn.FieldCache.erase(ServerName(table));
    return find();
}

const std::string& ServerTableName(OdbcConnection& conn, const std::string& table)
{
    const std::string key = ServerName(table);
    if (const auto found = conn.TableNameCache.find(key); found != conn.TableNameCache.end())
        return found->second;
    const auto rows =
        Rows(conn,
             "SELECT COALESCE(obj_description(c.oid, 'pg_class'), c.relname) FROM pg_class c JOIN "
             "pg_namespace n ON n.oid = c.relnamespace WHERE n.nspname = current_schema() AND "
             "c.relname = ?",
             {key});
    return conn.TableNameCache[key] = rows.empty() ? key : rows[0][0];
}

std::unique_ptr<PgDatabase> PgDatabase::Open(const std::string& connectText, const OpenOptions& options)
{
    auto connection = std::make_shared<OdbcConnection>(connectText, options.BusyTimeoutMs);
    std::unique_ptr<PgDatabase> db(new PgDatabase(std::move(connection), options.ReadOnly));
    db->EnsureHelpers();
    if (options.ReadOnly)
        db->m_conn->Exec("SET default_transaction_read_only = on");
    return db;
}

PgDatabase::PgDatabase(std::shared_ptr<OdbcConnection> connection, bool readOnly)
    : m_conn(std::move(connection)), m_readOnly(readOnly)
{
}

PgDatabase::~PgDatabase()
{
    Close();
}

void PgDatabase::EnsureHelpers()
{
    const std::string present =
        "SELECT count(*) FROM pg_proc p JOIN pg_namespace n ON n.oid = p.pronamespace "
        "WHERE p.proname = ? AND n.nspname = current_schema()";
    if (Rows(*m_conn, present, {std::string(kServerHelperMarker)}).at(0).at(0) != "0")
        return;
    // Two programs opening a new schema at once: the second waits for the first and finds the helpers.
    DbTransaction transaction(*this);
    m_conn->Exec("SELECT pg_advisory_xact_lock(hashtext(current_schema()))");
    if (Rows(*m_conn, present, {std::string(kServerHelperMarker)}).at(0).at(0) == "0")
        for (const std::string& statement : HelperStatements())
            m_conn->Exec(statement);
    transaction.Commit();
}

std::string PgDatabase::Name() const
{
    return m_conn->DisplayName();
}

bool PgDatabase::IsUpdatable() const
{
    return m_conn->IsOpen() && !m_readOnly;
}

void PgDatabase::Close()
{
    m_conn->Close();
}

void PgDatabase::CheckWritable()
{
    if (m_readOnly)
        m_conn->Throw(DbError(dberr::kReadOnly,
                              "Aktualisieren nicht möglich. Datenbank oder Objekt ist schreibgeschützt."));
}

long PgDatabase::Execute(std::string_view sql)
{
    return Execute(sql, {});
}

long PgDatabase::Execute(std::string_view sql, const std::vector<Value>& params)
{
    const auto translation = m_conn->Translate(sql);
    if (translation->Kind == StatementKind::Select)
        m_conn->Throw(DbError(3065, "Auswahlabfragen können nicht ausgeführt werden."));
    // Settings of the file database have no counterpart on the server.
    if (translation->Kind == StatementKind::Pragma)
        return 0;
    SQLLEN changed = 0;
    m_conn->Run(translation->Sql, params, &changed);
    for (const std::string& follow : translation->Follow)
        m_conn->Exec(follow);
    if (translation->Kind == StatementKind::Other) {
        m_conn->ClearCaches();
        return 0;
    }
    return static_cast<long>(std::max<SQLLEN>(changed, 0));
}

std::unique_ptr<Recordset> PgDatabase::OpenRecordset(std::string_view sql)
{
    return OpenRecordset(sql, {});
}

std::unique_ptr<Recordset> PgDatabase::OpenRecordset(std::string_view sql, const std::vector<Value>& params)
{
    const auto translation = m_conn->Translate(sql);
    if (translation->Kind != StatementKind::Select)
        m_conn->Throw(DbError(3219, "Ungültige Operation."));
    return std::make_unique<PgRecordset>(m_conn, translation, params, m_readOnly);
}

void PgDatabase::BeginTrans()
{
    if (m_conn->TransactionLevel == 0) {
        m_conn->SetAutoCommit(false);
        // A writing transaction holds the database's write lock until it ends, as on the file
        // database: whoever reads the highest numbers inside it may use the next ones. The lock
        // belongs to the schema, so that databases beside it on the server do not wait for it.
        // Waiting longer than the lock timeout fails with 3218.
        // A reading transaction sees one snapshot throughout, as a consistent copy needs.
        try {
            m_conn->Exec(m_readOnly ? "SET TRANSACTION ISOLATION LEVEL REPEATABLE READ"
                                    : "SELECT pg_advisory_xact_lock(1885692270, hashtext(current_schema()))");
        } catch (const DbError&) {
            try {
                m_conn->EndTransaction(false);
            } catch (const DbError&) {
            }
            m_conn->SetAutoCommit(true);
            throw;
        }
    } else
        m_conn->Exec("SAVEPOINT pf_level" + std::to_string(m_conn->TransactionLevel));
    ++m_conn->TransactionLevel;
}

void PgDatabase::CommitTrans()
{
    const int level = m_conn->TransactionLevel;
    if (level == 0)
        m_conn->Throw(NoTransactionError());
    if (level == 1) {
        m_conn->TransactionLevel = 0;
        try {
            m_conn->EndTransaction(true);
        } catch (const DbError&) {
            m_conn->SetAutoCommit(true);
            throw;
        }
        m_conn->SetAutoCommit(true);
    } else {
        m_conn->Exec("RELEASE SAVEPOINT pf_level" + std::to_string(level - 1));
        m_conn->TransactionLevel = level - 1;
    }
}

void PgDatabase::Rollback()
{
    const int level = m_conn->TransactionLevel;
    if (level == 0)
        m_conn->Throw(NoTransactionError());
    if (!m_conn->IsOpen()) {
        m_conn->TransactionLevel = 0;
        return;
    }
    if (level == 1) {
        m_conn->TransactionLevel = 0;
        m_conn->EndTransaction(false);
        m_conn->SetAutoCommit(true);
    } else {
        const std::string name = "pf_level" + std::to_string(level - 1);
        m_conn->Exec("ROLLBACK TO SAVEPOINT " + name);
        m_conn->Exec("RELEASE SAVEPOINT " + name);
        m_conn->TransactionLevel = level - 1;
    }
    m_conn->ClearCaches();
}

bool PgDatabase::InTransaction() const
{
    // A connection the server has ended has no transaction left, whatever was begun on it.
    return m_conn->IsOpen() && m_conn->TransactionLevel > 0 && !m_conn->IsDead();
}

const std::vector<EngineError>& PgDatabase::Errors() const
{
    return m_conn->Errors();
}

// --- table definitions -----------------------------------------------------------------------

std::vector<std::string> PgDatabase::TableNames()
{
    std::vector<std::string> names;
    for (const auto& row :
         Rows(*m_conn,
              "SELECT COALESCE(obj_description(c.oid, 'pg_class'), c.relname) FROM pg_class c "
              "JOIN pg_namespace n ON n.oid = c.relnamespace WHERE n.nspname = current_schema() "
              "AND c.relkind IN ('r', 'p')",
              {}))
        // The recipes' change stamps are no table of the data: copies and checks leave them alone.
        if (!IsChangeStampObject(row[0]))
            names.push_back(row[0]);
    std::sort(names.begin(), names.end());
    return names;
}

bool PgDatabase::TableExists(const std::string& table)
{
    return !Rows(*m_conn,
                 "SELECT 1 FROM information_schema.tables WHERE table_schema = current_schema() AND "
                 "table_name = ?",
                 {ServerName(table)})
                .empty();
}

std::string PgDatabase::RequireTable(const std::string& table)
{
    if (!TableExists(table))
        m_conn->Throw(
            DbError(dberr::kNoSuchField, "Element in dieser Auflistung nicht gefunden: '" + table + "'."));
    return ServerName(table);
}

std::vector<FieldDef> PgDatabase::Fields(const std::string& table)
{
    const std::vector<FieldDef>& fields = ServerFields(*m_conn, table);
    if (fields.empty())
        RequireTable(table);
    return fields;
}

std::vector<IndexDef> PgDatabase::Indexes(const std::string& table)
{
    // Indexes on expressions (the search's word index) are the server's own, not the schema's.
    const std::string stored = RequireTable(table);
    const auto rows =
        Rows(*m_conn,
             "SELECT i.relname, ix.indisunique, ix.indisprimary, "
             "(SELECT string_agg(COALESCE(col_description(t.oid, a.attnum), a.attname), ',' ORDER "
             "BY k.ord) FROM unnest(ix.indkey) WITH "
             "ORDINALITY AS k(attnum, ord) JOIN pg_attribute a ON a.attrelid = t.oid AND a.attnum = "
             "k.attnum), COALESCE(obj_description(i.oid, 'pg_class'), '') FROM pg_index ix JOIN pg_class t "
             "ON t.oid = ix.indrelid JOIN pg_class i ON "
             "i.oid = ix.indexrelid JOIN pg_namespace n ON n.oid = t.relnamespace WHERE n.nspname = "
             "current_schema() AND t.relname = ? AND ix.indexprs IS NULL ORDER BY ix.indisprimary DESC, i.relname",
             {stored});
    std::vector<IndexDef> indexes;
    for (const auto& row : rows) {
        IndexDef index;
        const std::string prefix = stored + ".";
        index.Name = row[0].starts_with(prefix) ? row[0].substr(prefix.size()) : row[0];
        if (!row[4].empty())
            index.Name = row[4];
        index.Unique = row[1] == "1" || row[1] == "t";
        index.Primary = row[2] == "1" || row[2] == "t";
        std::size_t start = 0;
        const std::string& columns = row[3];
        while (start <= columns.size() && !columns.empty()) {
            const std::size_t comma = columns.find(',', start);
            index.Columns.push_back(
                columns.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
            if (comma == std::string::npos)
                break;
            start = comma + 1;
        }
        indexes.push_back(std::move(index));
    }
    return indexes;
}

namespace {

std::string ColumnList(const std::vector<std::string>& columns)
{
    std::string out;
    for (const std::string& c : columns)
        out += (out.empty() ? "" : ", ") + Quoted(c);
    return out;
}

std::string IndexSql(const std::string& table, const IndexDef& index)
{
    return std::string(index.Unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") +
           Quoted(table + "." + index.Name) + " ON " + Quoted(table) + " (" + ColumnList(index.Columns) + ")";
}

// The server keeps names in lower case; a comment keeps each name as it was written, for the
// definitions read back.
std::string NameComment(const std::string& object, const std::string& name)
{
    return "COMMENT ON " + object + " IS " + SqlLiteral(Value(name));
}

std::string IndexComment(const std::string& table, const std::string& index)
{
    return NameComment("INDEX " + Quoted(table + "." + index), index);
}

std::string PrimaryKeySql(const std::string& table, const IndexDef& index)
{
    return "CONSTRAINT " + Quoted(table + "." + (index.Name.empty() ? "PrimaryKey" : index.Name)) +
           " PRIMARY KEY (" + ColumnList(index.Columns) + ")";
}

} // namespace

void PgDatabase::CreateTable(const TableDef& table)
{
    CheckWritable();
    if (TableExists(table.Name))
        m_conn->Throw(DbError(3010, "Die Tabelle '" + table.Name + "' existiert bereits."));
    std::string sql = "CREATE TABLE " + Quoted(table.Name) + " (";
    for (std::size_t i = 0; i < table.Fields.size(); ++i)
        sql += (i ? ", " : "") + ColumnDefinition(table.Fields[i], false);
    for (const IndexDef& index : table.Indexes)
        if (index.Primary && !index.Columns.empty())
            sql += ", " + PrimaryKeySql(table.Name, index);
    sql += ")";
    DbTransaction transaction(*this);
    m_conn->Exec(sql);
    for (const IndexDef& index : table.Indexes)
        if (!index.Primary)
            m_conn->Exec(IndexSql(table.Name, index));
    std::string names = NameComment("TABLE " + Quoted(table.Name), table.Name);
    for (const FieldDef& f : table.Fields)
        names += ";" + NameComment("COLUMN " + Quoted(table.Name) + "." + Quoted(f.Name), f.Name);
    for (const IndexDef& index : table.Indexes)
        names +=
            ";" + IndexComment(table.Name, index.Primary && index.Name.empty() ? "PrimaryKey" : index.Name);
    m_conn->Exec(names);
    transaction.Commit();
    m_conn->ClearCaches();
}

void PgDatabase::DropTable(const std::string& table)
{
    CheckWritable();
    if (!TableExists(table))
        m_conn->Throw(DbError(3376, "Die Tabelle '" + table + "' ist nicht vorhanden."));
    m_conn->Exec("DROP TABLE " + Quoted(table));
    m_conn->ClearCaches();
}

void PgDatabase::RenameTable(const std::string& from, const std::string& to)
{
    CheckWritable();
    const std::string stored = RequireTable(from);
    const std::string target = ServerName(to);
    if (stored == target) {
        m_conn->Exec(NameComment("TABLE " + Quoted(target), to));
        m_conn->ClearCaches();
        return;
    }
    if (TableExists(to))
        m_conn->Throw(DbError(3012, "Das Objekt '" + to + "' ist bereits vorhanden."));
    const std::vector<IndexDef> indexes = Indexes(stored);
    DbTransaction transaction(*this);
    m_conn->Exec("ALTER TABLE " + Quoted(stored) + " RENAME TO " + Quoted(target));
    m_conn->Exec(NameComment("TABLE " + Quoted(target), to));
    // Index names carry their table's name.
    for (const IndexDef& index : indexes)
        m_conn->Exec("ALTER INDEX " + Quoted(stored + "." + index.Name) + " RENAME TO " +
                     Quoted(target + "." + index.Name));
    transaction.Commit();
    m_conn->ClearCaches();
}

void PgDatabase::AddColumn(const std::string& table, const FieldDef& field)
{
    CheckWritable();
    const std::string stored = RequireTable(table);
    m_conn->Exec("ALTER TABLE " + Quoted(stored) + " ADD COLUMN " + ColumnDefinition(field, true) + ";" +
                 NameComment("COLUMN " + Quoted(stored) + "." + Quoted(field.Name), field.Name));
    m_conn->ClearCaches();
}

namespace {

const FieldDef* FindField(const std::vector<FieldDef>& fields, const std::string& column)
{
    const auto found = std::find_if(fields.begin(), fields.end(),
                                    [&](const FieldDef& f) { return EqualsNoCase(f.Name, column); });
    return found == fields.end() ? nullptr : &*found;
}

} // namespace

void PgDatabase::DropColumn(const std::string& table, const std::string& column)
{
    CheckWritable();
    const std::vector<FieldDef> fields = Fields(table);
    if (!FindField(fields, column))
        m_conn->Throw(
            DbError(dberr::kNoSuchField, "Element in dieser Auflistung nicht gefunden: '" + column + "'."));
    // The server drops the indexes over the column with it.
    m_conn->Exec("ALTER TABLE " + Quoted(table) + " DROP COLUMN " + Quoted(column));
    m_conn->ClearCaches();
}

void PgDatabase::RenameColumn(const std::string& table, const std::string& from, const std::string& to)
{
    CheckWritable();
    const std::vector<FieldDef> fields = Fields(table);
    if (!FindField(fields, from))
        m_conn->Throw(
            DbError(dberr::kNoSuchField, "Element in dieser Auflistung nicht gefunden: '" + from + "'."));
    if (ServerName(from) != ServerName(to))
        m_conn->Exec("ALTER TABLE " + Quoted(table) + " RENAME COLUMN " + Quoted(from) + " TO " + Quoted(to));
    m_conn->Exec(NameComment("COLUMN " + Quoted(table) + "." + Quoted(to), to));
    m_conn->ClearCaches();
}

void PgDatabase::WidenTextColumn(const std::string& table, const std::string& column, int size)
{
    CheckWritable();
    const std::vector<FieldDef> fields = Fields(table);
    const FieldDef* found = FindField(fields, column);
    if (!found)
        m_conn->Throw(
            DbError(dberr::kNoSuchField, "Element in dieser Auflistung nicht gefunden: '" + column + "'."));
    if (found->Type == FieldType::Memo)
        return;
    if (found->Type != FieldType::Text)
        m_conn->Throw(DbError(3259, "Ungültiger Felddatentyp."));
    if (found->Size >= size)
        return;
    // Widening a VARCHAR keeps the rows and indexes as they are (no rewrite on the server).
    m_conn->Exec("ALTER TABLE " + Quoted(table) + " ALTER COLUMN " + Quoted(column) + " TYPE " +
                 ServerDeclaredType(FieldType::Text, size) + " COLLATE jetnocase");
    m_conn->ClearCaches();
}

void PgDatabase::CreateIndex(const std::string& table, const IndexDef& index)
{
    CheckWritable();
    const std::string stored = RequireTable(table);
    if (index.Primary)
        m_conn->Exec("ALTER TABLE " + Quoted(stored) + " ADD " + PrimaryKeySql(stored, index));
    else
        m_conn->Exec(IndexSql(stored, index));
    m_conn->Exec(IndexComment(stored, index.Name.empty() ? "PrimaryKey" : index.Name));
    m_conn->ClearCaches();
}

int PgDatabase::DefinedSize(const std::string& table, const std::string& column)
{
    const std::vector<FieldDef> fields = Fields(table);
    if (const FieldDef* f = FindField(fields, column))
        return f->Type == FieldType::Text ? f->Size : 0;
    m_conn->Throw(
        DbError(dberr::kNoSuchField, "Element in dieser Auflistung nicht gefunden: '" + column + "'."));
}

void PgDatabase::ResetCounter(const std::string& table, const std::string& column)
{
    const std::string name = Quoted(table);
    m_conn->Exec("SELECT setval(pg_get_serial_sequence(" + SqlLiteral(Value(name)) + ", " +
                 SqlLiteral(Value(ServerName(column))) + "), COALESCE((SELECT MAX(" + Quoted(column) +
                 ") FROM " + name + "), 0) + 1, false)");
}

void PgDatabase::ExecuteNative(const std::string& sql)
{
    m_conn->Exec(sql);
    m_conn->ClearCaches();
}

std::string PgDatabase::NativeText(const std::string& sql)
{
    const auto rows = Rows(*m_conn, sql, {});
    return rows.empty() || rows[0].empty() ? std::string() : rows[0][0];
}

std::string PgDatabase::Translated(std::string_view sql)
{
    return m_conn->Translate(sql)->Sql;
}

} // namespace pf
