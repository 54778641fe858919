#include "db/Database.h"

#include "core/Utf8.h"
#include "db/OpenDatabase.h"
#include "db/PgDatabase.h"
#include "db/Recordset.h"

#include <atomic>

namespace pf {

Value Database::Scalar(std::string_view sql)
{
    const std::unique_ptr<Recordset> rs = OpenRecordset(sql);
    if (rs->Eof() || rs->FieldCount() == 0)
        return Value();
    return rs->Field(0);
}

Value Database::Scalar(std::string_view sql, const std::vector<Value>& params)
{
    const std::unique_ptr<Recordset> rs = OpenRecordset(sql, params);
    if (rs->Eof() || rs->FieldCount() == 0)
        return Value();
    return rs->Field(0);
}

namespace {

// The ODBC text of a server connect text, empty for a file path.
std::string ServerConnectText(std::string_view text)
{
    if (text.size() > 5 && EqualsNoCase(text.substr(0, 5), "odbc:"))
        return std::string(text.substr(5));
    if (text.size() > 5 && EqualsNoCase(text.substr(0, 5), "odbc;"))
        return std::string(text.substr(5));
    return {};
}

} // namespace

bool IsServerConnect(std::string_view text)
{
    return !ServerConnectText(text).empty();
}

bool IsServerDatabase(Database& db)
{
    return dynamic_cast<PgDatabase*>(&db) != nullptr;
}

std::string DatabaseDisplayName(std::string_view pathOrConnect)
{
    return IsServerConnect(pathOrConnect) ? WithoutPassword(pathOrConnect) : std::string(pathOrConnect);
}

std::unique_ptr<Database> OpenDatabase(const std::string& pathOrConnect, const OpenOptions& options)
{
    const std::string connect = ServerConnectText(pathOrConnect);
    if (connect.empty())
        return Database::OpenSqlite(pathOrConnect, options);
    return PgDatabase::Open(connect, options);
}

std::uint64_t Database::NextSerial()
{
    static std::atomic<std::uint64_t> counter{0};
    return ++counter;
}

DbTransaction::DbTransaction(Database& db) : m_db(db)
{
    m_db.BeginTrans();
}

DbTransaction::~DbTransaction()
{
    if (!m_open)
        return;
    try {
        m_db.Rollback();
    } catch (...) {
        // A destructor never throws; the engine has ended the transaction or the file is gone.
    }
}

void DbTransaction::Commit()
{
    if (!m_open)
        return;
    m_db.CommitTrans();
    m_open = false;
}

} // namespace pf
