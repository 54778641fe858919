#pragma once
// A PostgreSQL server of one test's own (started through scripts/pgserver), for tests that stop the
// server under a running program.

#include <string>

namespace pf::test {

// A server of one test's own, which the test may stop and start again without disturbing the
// others. Connect() is empty when there is no server.
class PrivateServer
{
public:
    PrivateServer();
    ~PrivateServer();
    PrivateServer(const PrivateServer&) = delete;
    PrivateServer& operator=(const PrivateServer&) = delete;

    const std::string& Connect() const { return m_connect; }
    // Stops the server at once, as a crash or a pulled cable would; its data stays.
    bool Pause();
    // Starts it again on the same port.
    bool Resume();

private:
    std::string m_dir;
    std::string m_connect;
};

} // namespace pf::test
