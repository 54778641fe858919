#pragma once
// The connection layer: one open database with Execute, recordsets, transactions, the engine's
// error collection and the table-definition operations the schema upgrades need. Statements are
// written in the Jet dialect the rest of the program uses and translated once per back end.
// Every failure throws DbError; a Database closes its connection when destroyed.

#include "db/DbError.h"
#include "db/Value.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pf {

class Recordset;

// Column types of the schema, with the storage of each on the back ends.
enum class FieldType {
    Byte,
    Integer,
    Long,
    Counter,
    Single,
    Double,
    Currency,
    Date,
    Boolean,
    Text,
    Memo,
    Binary
};

struct FieldDef
{
    FieldDef() = default;
    FieldDef(std::string name, FieldType type, int size = 0, bool required = false, Value defaultValue = {})
        : Name(std::move(name)), Type(type), Size(size), Required(required), Default(std::move(defaultValue))
    {
    }

    std::string Name;
    FieldType Type = FieldType::Long;
    int Size = 0; // defined size of Text columns (characters)
    bool Required = false;
    Value Default; // null: no default
};

struct IndexDef
{
    std::string Name;
    std::vector<std::string> Columns;
    bool Unique = false;
    bool Primary = false;
};

struct TableDef
{
    std::string Name;
    std::vector<FieldDef> Fields;
    std::vector<IndexDef> Indexes;
};

struct OpenOptions
{
    bool ReadOnly = false;
    bool Create = false; // create the file when it does not exist
    bool Exclusive = false;
    // How long a statement waits for another connection's lock before failing (3218; 3045 on open).
    int BusyTimeoutMs = 5000;
};

class Database
{
public:
    virtual ~Database() = default;

    // Opens (or with Create makes) an SQLite database file. Throws DbError: 3024 when the file
    // is missing, 3343 when it is no database, 3045 when it is locked, 3051 when it cannot be opened.
    static std::unique_ptr<Database> OpenSqlite(const std::string& path, const OpenOptions& options = {});

    // Path of the file, or the data source name.
    virtual std::string Name() const = 0;
    virtual bool IsUpdatable() const = 0;
    // Closes the connection; throws DbError when the file could not be written out complete.
    virtual void Close() = 0;

    // Runs a statement in the Jet dialect; returns the number of rows it changed.
    // A PRAGMA runs too (its rows are discarded); a SELECT is refused with error 3065.
    virtual long Execute(std::string_view sql) = 0;
    // The same with values bound to "?" placeholders in order.
    virtual long Execute(std::string_view sql, const std::vector<Value>& params) = 0;
    virtual std::unique_ptr<Recordset> OpenRecordset(std::string_view sql) = 0;
    virtual std::unique_ptr<Recordset> OpenRecordset(std::string_view sql,
                                                     const std::vector<Value>& params) = 0;
    // First column of the first row, null when there is none.
    Value Scalar(std::string_view sql);
    Value Scalar(std::string_view sql, const std::vector<Value>& params);

    // A number no other database object of this run carries: process-wide caches key their
    // entries by it, so a closed database's entries never match a new one at the same address.
    std::uint64_t Serial() const { return m_serial; }

    // Transactions nest as counted levels; only the outermost commit writes.
    virtual void BeginTrans() = 0;
    virtual void CommitTrans() = 0;
    virtual void Rollback() = 0;
    virtual bool InTransaction() const = 0;

    // The engine's error collection of the last failed call.
    virtual const std::vector<EngineError>& Errors() const = 0;

    // Table definitions.
    virtual std::vector<std::string> TableNames() = 0;
    virtual bool TableExists(const std::string& table) = 0;
    virtual std::vector<FieldDef> Fields(const std::string& table) = 0;
    virtual std::vector<IndexDef> Indexes(const std::string& table) = 0;
    virtual void CreateTable(const TableDef& table) = 0;
    virtual void DropTable(const std::string& table) = 0;
    virtual void RenameTable(const std::string& from, const std::string& to) = 0;
    virtual void AddColumn(const std::string& table, const FieldDef& field) = 0;
    virtual void DropColumn(const std::string& table, const std::string& column) = 0;
    virtual void RenameColumn(const std::string& table, const std::string& from, const std::string& to) = 0;
    // Raises the defined size of a Text column, keeping its data.
    virtual void WidenTextColumn(const std::string& table, const std::string& column, int size) = 0;
    virtual void CreateIndex(const std::string& table, const IndexDef& index) = 0;
    // Defined size of a Text column, 0 for other types; throws 3265 when the column is missing.
    virtual int DefinedSize(const std::string& table, const std::string& column) = 0;

private:
    static std::uint64_t NextSerial();
    const std::uint64_t m_serial = NextSerial();
};

// Rolls back unless committed; the destructor never throws.
class DbTransaction
{
public:
    explicit DbTransaction(Database& db);
    ~DbTransaction();
    DbTransaction(const DbTransaction&) = delete;
    DbTransaction& operator=(const DbTransaction&) = delete;
    void Commit();

private:
    Database& m_db;
    bool m_open = true;
};

} // namespace pf
