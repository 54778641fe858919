#pragma once
// A database on a PostgreSQL server, reached through ODBC: the same object model as the file
// database. Statements are translated into the server's dialect once and cached; nested
// transactions are savepoints; a failed statement inside a transaction undoes only itself. A
// writing transaction holds the write lock of its schema until it ends, as on the file database.
// The server stores every table, column and index name in lower case (so that statements may
// write names in any case), with the name as written in a comment on the object, which the
// definitions read back; index names are kept as "table.index", since the server wants them unique
// per schema. Opening creates the collation, domains and helper functions the translated
// statements need when the schema does not have them yet.

#include "db/Database.h"
#include "db/OdbcConnection.h"

#include <memory>
#include <string>

namespace pf {

class PgDatabase : public Database
{
public:
    // connectText is the ODBC text (without the "odbc:" prefix). Throws 3151 when the server
    // cannot be reached or refuses the logon; the message never contains the password.
    static std::unique_ptr<PgDatabase> Open(const std::string& connectText, const OpenOptions& options);
    ~PgDatabase() override;

    std::string Name() const override;
    bool IsUpdatable() const override;
    void Close() override;

    long Execute(std::string_view sql) override;
    long Execute(std::string_view sql, const std::vector<Value>& params) override;
    std::unique_ptr<Recordset> OpenRecordset(std::string_view sql) override;
    std::unique_ptr<Recordset> OpenRecordset(std::string_view sql, const std::vector<Value>& params) override;

    void BeginTrans() override;
    void CommitTrans() override;
    void Rollback() override;
    bool InTransaction() const override;

    const std::vector<EngineError>& Errors() const override;

    std::vector<std::string> TableNames() override;
    bool TableExists(const std::string& table) override;
    std::vector<FieldDef> Fields(const std::string& table) override;
    std::vector<IndexDef> Indexes(const std::string& table) override;
    void CreateTable(const TableDef& table) override;
    void DropTable(const std::string& table) override;
    void RenameTable(const std::string& from, const std::string& to) override;
    void AddColumn(const std::string& table, const FieldDef& field) override;
    void DropColumn(const std::string& table, const std::string& column) override;
    void RenameColumn(const std::string& table, const std::string& from, const std::string& to) override;
    void WidenTextColumn(const std::string& table, const std::string& column, int size) override;
    void CreateIndex(const std::string& table, const IndexDef& index) override;
    int DefinedSize(const std::string& table, const std::string& column) override;

    // Sets the numbering of a Counter column after its highest value (after rows were written with
    // their own numbers).
    void ResetCounter(const std::string& table, const std::string& column);

    // Runs server SQL as it is, without the translation.
    void ExecuteNative(const std::string& sql);
    // The first column of the first row of server SQL as it is, as text ("" for none or Null).
    std::string NativeText(const std::string& sql);
    // The translation a statement gets, for diagnostics and tests.
    std::string Translated(std::string_view sql);

private:
    PgDatabase(std::shared_ptr<OdbcConnection> connection, bool readOnly);
    void EnsureHelpers();
    std::string RequireTable(const std::string& table);
    void CheckWritable();

    std::shared_ptr<OdbcConnection> m_conn;
    bool m_readOnly = false;
};

// The column definitions of a table of the current schema (name in any case), cached on the
// connection; empty when the table does not exist.
const std::vector<FieldDef>& ServerFields(OdbcConnection& conn, const std::string& table);

// One column's definition (name in any case), or null. A column missing from the cached list is
// looked up once more on the server: another program may have added it since the table was read.
const FieldDef* ServerField(OdbcConnection& conn, const std::string& table, const std::string& column);

// The table's name as it was written when created (the server keeps it in lower case).
const std::string& ServerTableName(OdbcConnection& conn, const std::string& table);

// The name as the server stores it: ASCII letters in lower case.
std::string ServerName(std::string_view name);

} // namespace pf
