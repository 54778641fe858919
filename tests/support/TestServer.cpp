#include "tests/support/TestServer.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string_view>

namespace pf::test {

namespace {

std::string g_startedDir;

void StopStartedServer()
{
    if (g_startedDir.empty())
        return;
    const std::string command = std::string(PF_SOURCE_DIR) + "/scripts/pgserver stop '" + g_startedDir + "'";
    if (std::system(command.c_str()) != 0)
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

std::string StartServer()
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
    g_startedDir = Exported(output, "PF_PG_DIR");
    std::atexit(StopStartedServer);
    return Exported(output, "PF_PG_CONNECT");
}

} // namespace

const std::string& TestServerConnect()
{
    static std::once_flag once;
    static std::string connect;
    std::call_once(once, [] {
        const char* given = std::getenv("PF_PG_CONNECT");
        connect = (given && *given) ? std::string(given) : StartServer();
    });
    return connect;
}

} // namespace pf::test
