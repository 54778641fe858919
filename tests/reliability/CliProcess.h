#pragma once
// Real processes of the command-line program for the fault tests: start one (or several at once),
// kill it, wait for it and read what it printed. Every test gets a private settings and data
// folder, inherited by the processes it starts, and generated recipe files of any size.

#include "db/Database.h"
#include "db/OpenDatabase.h"
#include "tests/support/Backends.h"
#include "tests/support/GeneratedRecipes.h"
#include "tests/support/RawSql.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace pf::test {

// What a finished process left: its exit code (-1 when a signal ended it), the signal and its output.
struct ProcessResult
{
    int ExitCode = -1;
    int Signal = 0;
    std::string Out;
    std::string Err;
};

// The argument vector of a pfannola-cli call, program first; the texts live as long as it does.
struct CliArgv
{
    explicit CliArgv(const std::vector<std::string>& args) : Texts{PF_CLI}
    {
        Texts.insert(Texts.end(), args.begin(), args.end());
        for (std::string& text : Texts)
            Pointers.push_back(text.data());
        Pointers.push_back(nullptr);
    }
    CliArgv(const CliArgv&) = delete;
    CliArgv& operator=(const CliArgv&) = delete;

    std::vector<std::string> Texts;
    std::vector<char*> Pointers;
};

// One running pfannola-cli; its output goes to files in the test's folder. A process still
// running when the object goes is killed, so that no test leaves one behind.
class CliProcess
{
public:
    CliProcess(const TempDir& dir, const std::vector<std::string>& args)
        : m_out(dir.File("out" + std::to_string(++s_counter) + ".txt")), m_err(m_out + ".err")
    {
        CliArgv argv(args);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, m_out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, m_err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int rc = posix_spawn(&m_pid, PF_CLI, &actions, nullptr, argv.Pointers.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0)
            m_pid = 0;
    }
    ~CliProcess()
    {
        if (m_pid != 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    bool Started() const { return m_pid != 0; }
    void Kill(int signal = SIGKILL) const
    {
        if (m_pid != 0)
            kill(m_pid, signal);
    }
    // True while the process runs (a finished one stays waitable for Wait).
    bool Running() const
    {
        if (m_pid == 0)
            return false;
        siginfo_t info{};
        return waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
               info.si_pid == 0;
    }
    ProcessResult Wait()
    {
        if (m_pid == 0)
            return {};
        const pid_t pid = m_pid;
        m_pid = 0;
        return WaitForProcess(pid, m_out, m_err);
    }

    // Waits for a child process whose output went to the two files.
    static ProcessResult WaitForProcess(pid_t pid, const std::string& outFile, const std::string& errFile)
    {
        ProcessResult result;
        int status = 0;
        waitpid(pid, &status, 0);
        if (WIFEXITED(status))
            result.ExitCode = WEXITSTATUS(status);
        else if (WIFSIGNALED(status))
            result.Signal = WTERMSIG(status);
        result.Out = ReadFile(outFile);
        result.Err = ReadFile(errFile);
        return result;
    }

private:
    static inline int s_counter = 0;
    pid_t m_pid = 0;
    std::string m_out;
    std::string m_err;
};

// Runs one call to its end.
inline ProcessResult RunCliProcess(const TempDir& dir, const std::vector<std::string>& args)
{
    CliProcess process(dir, args);
    return process.Wait();
}

// The number after "name: " in a summary line, -1 when there is none.
inline long SummaryNumber(const std::string& text, const std::string& name)
{
    const std::size_t at = text.find(name + ": ");
    return at == std::string::npos ? -1 : std::atol(text.c_str() + at + name.size() + 2);
}

// count recipes, each title once, each with its own fingerprint, each whole (with its ingredient
// and preparation rows), and no such row without its recipe.
inline void ExpectEachTitleOnceIn(const std::string& database, long count)
{
    auto db = OpenDatabase(database);
    const auto number = [&](const std::string& sql) { return db->Scalar(sql).AsLong(); };
    EXPECT_EQ(number("SELECT COUNT(*) FROM T_REZ_KOPF"), count);
    EXPECT_EQ(number("SELECT COUNT(DISTINCT RezTitle) FROM T_REZ_KOPF"), count);
    EXPECT_EQ(number("SELECT COUNT(DISTINCT Fingerprint2) FROM T_REZ_KOPF"), count);
    const std::pair<const char*, const char*> pairs[] = {{"T_REZ_ZUTAT", "T_REZ_KOPF"},
                                                         {"T_REZ_ANWEIS", "T_REZ_KOPF"},
                                                         {"T_REZ_KOPF", "T_REZ_ANWEIS"},
                                                         {"T_REZ_KOPF", "T_REZ_ZUTAT"}};
    for (const auto& [rows, owners] : pairs)
        EXPECT_EQ(number(std::string("SELECT COUNT(*) FROM ") + rows + " WHERE ID NOT IN (SELECT ID FROM " +
                         owners + ")"),
                  0)
            << rows << " without " << owners;
}

// After a run that stopped early and printed out: the recipes it stored are whole and counted in
// its summary, and a rerun of the file stores the rest, each once. Returns how many it stored.
inline long ExpectARerunCompletes(const TempDir& dir, const std::string& database, const std::string& file,
                                  const std::string& out, long recipes)
{
    const long stored = OpenDatabase(database)->Scalar("SELECT COUNT(*) FROM T_REZ_KOPF").AsLong();
    EXPECT_LT(stored, recipes);
    EXPECT_EQ(SummaryNumber(out, "importiert"), stored) << out;
    ExpectEachTitleOnceIn(database, stored);
    const ProcessResult again = RunCliProcess(dir, {"--db", database, "import", file});
    EXPECT_EQ(again.ExitCode, 0) << again.Err;
    EXPECT_EQ(SummaryNumber(again.Out, "importiert"), recipes - stored) << again.Out;
    ExpectEachTitleOnceIn(database, recipes);
    return stored;
}

// A test with its own settings and data folder and a fresh database made by the program itself:
// a file in the test's folder, or a schema of its own on the test server.
class ReliabilityTest : public ::testing::Test
{
public:
    // The test's private settings and data folders, inherited by the processes it starts.
    struct Folders
    {
        Folders()
        {
            setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
            setenv("XDG_DATA_HOME", dir.File("share").c_str(), 1);
        }
        TempDir dir;
    };

protected:
    // The back end the database lives on; fixtures run on both set it before SetUp.
    Backend backend = Backend::File;

    void SetUp() override
    {
        if (backend == Backend::Server && TestServerConnect().empty())
            GTEST_SKIP() << kNoServer;
        ASSERT_NO_FATAL_FAILURE(UseNewDatabase("rezepte.MDB"));
    }

    // Makes a new database with the program's "init"; the tests work on it. database is the file
    // in the test's folder or the connect text of a new server schema.
    void UseNewDatabase(const std::string& name)
    {
        m_poll.reset();
        if (backend == Backend::File) {
            database = dir.File(name);
        } else {
            ASSERT_TRUE(NewServerDatabase(&database));
        }
        const ProcessResult made = RunCliProcess(dir, {"--db", database, "init"});
        ASSERT_EQ(made.ExitCode, 0) << made.Err;
    }

    bool OnServer() const { return backend == Backend::Server; }
    std::unique_ptr<Database> Open() const { return OpenDatabase(database); }
    long Count(const std::string& sql) const { return static_cast<long>(Open()->Scalar(sql).AsLong()); }

    void ExpectEachTitleOnce(long count) const { ExpectEachTitleOnceIn(database, count); }

    // Waits until the query gives at least the value (false after the timeout). The poll reads
    // through a plain connection: opening the database as the program does takes long enough
    // under the sanitizers that a run would finish between two polls.
    bool WaitFor(const std::string& sql, long atLeast,
                 std::chrono::seconds timeout = std::chrono::seconds(120))
    {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < end) {
            if (Poll(sql) >= atLeast)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    // The value of a query, -1 when it cannot be read now. The server keeps one connection for it.
    long Poll(const std::string& sql)
    {
        if (!OnServer())
            return RawScalar(database, sql);
        try {
            if (!m_poll)
                m_poll = Open();
            return static_cast<long>(m_poll->Scalar(sql).AsLong());
        } catch (const DbError&) {
            m_poll.reset();
            return -1;
        }
    }

    Folders folders;
    const TempDir& dir = folders.dir;
    std::string database;

private:
    std::unique_ptr<Database> m_poll;
};

// The same tests on the file and on the server database.
class BothBackends : public ReliabilityTest, public ::testing::WithParamInterface<Backend>
{
protected:
    void SetUp() override
    {
        backend = GetParam();
        ReliabilityTest::SetUp();
    }
};

#if defined(__SANITIZE_ADDRESS__)
constexpr long kScale = 5; // recipes are divided by this under the sanitizers
#else
constexpr long kScale = 1;
#endif

} // namespace pf::test
