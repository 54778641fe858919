#include "tests/support/TestServer.h"
#include "tests/support/PrivateServer.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string_view>

namespace pf::test {

namespace {

std::string g_startedDir;

// Runs scripts/pgserver with a verb on a server folder; false when it fails.
bool ServerScript(const char* verb, const std::string& dir)
{
    const std::string command = std::string(PF_SOURCE_DIR) + "/scripts/pgserver " + verb + " '" + dir + "'";
    return std::system(command.c_str()) == 0;
}

void StopStartedServer()
{
    if (g_startedDir.empty())
        return;
    if (!ServerScript("stop", g_startedDir))
        std::fprintf(stderr, "Testserver in %s ließ sich nicht beenden\n", g_startedDir.c_str());
}

// The value of "export NAME='value'" in the script's output.
std::string Exported(const std::string& output, std::string_view name)
{
    const std::string key = "export " + std::string(name) + "='";
    const std::size_t start = output.find(key);
    if (start == std::string::npos)
        return {};
    const std::size_t from = start + key.size();
    return output.substr(from, output.find('\'', from) - from);
}

// Starts a server; its folder goes to dir. Empty without server programs.
std::string StartServer(std::string& dir)
{
    const std::string command = std::string(PF_SOURCE_DIR) + "/scripts/pgserver start";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return {};
    std::string output;
    char buffer[512];
    while (std::fgets(buffer, sizeof(buffer), pipe))
        output += buffer;
    const int status = pclose(pipe);
    if (status != 0) {
        // Exit 2: no server programs. Anything else is a broken installation and must not pass
        // as a skip.
        if (WIFEXITED(status) && WEXITSTATUS(status) == 2)
            return {};
        std::fprintf(stderr, "scripts/pgserver start schlug fehl (%d)\n", status);
        std::abort();
    }
    dir = Exported(output, "PF_PG_DIR");
    return Exported(output, "PF_PG_CONNECT");
}

} // namespace

const std::string& TestServerConnect()
{
    static std::once_flag once;
    static std::string connect;
    std::call_once(once, [] {
        const char* given = std::getenv("PF_PG_CONNECT");
        if (given && *given) {
            connect = given;
            return;
        }
        connect = StartServer(g_startedDir);
        if (!g_startedDir.empty())
            std::atexit(StopStartedServer);
    });
    return connect;
}

PrivateServer::PrivateServer()
{
    // Only where the shared server can run: its absence is what the tests skip for.
    if (!TestServerConnect().empty())
        m_connect = StartServer(m_dir);
}

PrivateServer::~PrivateServer()
{
    if (!m_dir.empty())
        ServerScript("stop", m_dir);
}

bool PrivateServer::Pause()
{
    return ServerScript("pause", m_dir);
}

bool PrivateServer::Resume()
{
    return ServerScript("resume", m_dir);
}

} // namespace pf::test
