#pragma once
// The program's database file as an SQLite 3 database: Jet-dialect statements translated once
// and cached, recordsets over prepared statements, nested transactions as savepoints, and the
// table-definition operations of the schema upgrades. Every connection runs with double-quoted
// string literals switched off, WAL journal (unless read-only), foreign keys off, a busy timeout,
// and the JETNOCASE collation and Jet helper functions registered (SqliteFunctions.h).
//
// Closing ends the connection; the last connection to the file folds the WAL into it and switches
// the file back to a rollback journal, so a closed database is one self-contained file (ready to
// copy, zip, or open from a read-only folder). A file in a folder the engine cannot write beside
// it opens read-only as an unchanging file, and an empty file is refused as no database (3343).

#include "db/Database.h"
#include "db/SqliteConnection.h"

#include <memory>
#include <string>
#include <vector>

namespace pf {

class SqliteDatabase : public Database
{
public:
    // See Database::OpenSqlite for the errors. A file without any write permission bit opens
    // read-only whatever the options say (as the engine honours the read-only attribute, even for
    // root, who could write it).
    static std::unique_ptr<SqliteDatabase> Open(const std::string& path, const OpenOptions& options);
    ~SqliteDatabase() override;

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

    // Repair and compaction: the problems PRAGMA integrity_check reports (empty when the
    // file is sound), VACUUM (outside a transaction), and a WAL checkpoint that folds the log into
    // the file while the connection stays open.
    std::vector<std::string> IntegrityCheck();
    void Compact();
    void Checkpoint();

    // Runs SQLite text as it is, without the Jet translation (full-text tables and triggers).
    void ExecuteNative(const std::string& sql);

    // The engine's page cache of this connection, in kilobytes.
    long CacheKilobytes();
    void SetCacheKilobytes(long kilobytes);

    // Whether a write waits for another program's lock (as long as the database was opened with)
    // or is refused at once; for work that can as well be done later.
    void SetWaitForLocks(bool wait);

    // The translation a statement gets, for diagnostics and tests.
    std::string Translated(std::string_view sql);

private:
    explicit SqliteDatabase(std::shared_ptr<SqliteConnection> connection);
    // One attempt of Open; a file another connection holds at this moment ends it with 3045.
    static std::unique_ptr<SqliteDatabase> OpenOnce(const std::string& path, const OpenOptions& options);

    sqlite3* Db() const { return m_conn->Db(); }
    long Run(std::string_view sql, const std::vector<Value>& params);
    // The table's name as stored, "" when there is none.
    std::string StoredTableName(const std::string& table);
    std::string RequireTable(const std::string& table);
    std::string CreateTableSql(const std::string& name, const std::vector<FieldDef>& fields,
                               const IndexDef* primary) const;
    std::string CreateIndexSql(const std::string& table, const IndexDef& index) const;
    // The column of that name (any case); throws 3265 when there is none.
    std::vector<FieldDef>::iterator FindField(std::vector<FieldDef>& fields, const std::string& column);
    // Recreates a table with new definitions, keeping the rows of the columns both share.
    void RebuildTable(const std::string& table, const std::vector<FieldDef>& fields,
                      const std::vector<IndexDef>& indexes);

    std::shared_ptr<SqliteConnection> m_conn;
    int m_lockWaitMs = 0;
};

// Raises the page cache of a file database while it lives, and gives it back after; nothing on
// a server. A long import writes into indexes of a million entries (titles, fingerprints, the
// word index), whose pages the usual cache of 2 MB would read again from the file for almost
// every recipe: at a million recipes a cache of 64 MB saves a sixth of the run.
class WriteCacheScope
{
public:
    WriteCacheScope(Database& db, long megabytes);
    ~WriteCacheScope();
    WriteCacheScope(const WriteCacheScope&) = delete;
    WriteCacheScope& operator=(const WriteCacheScope&) = delete;

private:
    SqliteDatabase* m_file = nullptr;
    long m_previous = 0;
};

} // namespace pf
