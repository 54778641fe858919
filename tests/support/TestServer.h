#pragma once
// The PostgreSQL server the tests use: the one PF_PG_CONNECT names (scripts/test starts one for
// the whole run), or else one this test process starts through scripts/pgserver and stops when it
// ends. Empty when no server programs are installed: the server tests then skip.

#include <string>

namespace pf::test {

// The program's connect text ("odbc:..."), or "" when there is no server.
const std::string& TestServerConnect();

// The line a test prints when it skips for want of a server.
inline constexpr const char* kNoServer = "Kein PostgreSQL-Server installiert: Servertest übersprungen";

} // namespace pf::test
