#pragma once
// Opening a database by what the user gave: a file path, or the connect text of a server
// database, "odbc:Driver=PostgreSQL Unicode;Server=host;Port=5432;Database=name;Uid=user;Pwd=password"
// (also "ODBC;DSN=...", a data source configured for unixODBC).

#include "db/Database.h"

#include <memory>
#include <string>
#include <string_view>

namespace pf {

// A file opens as Database::OpenSqlite does. A server that cannot be reached or refuses the logon
// throws 3151; the password appears neither in the message nor in Name().
std::unique_ptr<Database> OpenDatabase(const std::string& pathOrConnect, const OpenOptions& options = {});
// Whether the text names a server database rather than a file.
bool IsServerConnect(std::string_view text);
// Whether the open database is a server database (shared by several workstations).
bool IsServerDatabase(Database& db);
// The path or connect text as it may be shown or logged: without the password.
std::string DatabaseDisplayName(std::string_view pathOrConnect);

} // namespace pf
