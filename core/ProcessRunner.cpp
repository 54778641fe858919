#include "core/ProcessRunner.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace pf {

namespace {

// Owns the spawn attributes for one start.
class SpawnActions
{
public:
    SpawnActions() { posix_spawn_file_actions_init(&m_actions); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&m_actions); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* Get() { return &m_actions; }

private:
    posix_spawn_file_actions_t m_actions;
};

int ExitCodeOf(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

} // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& workingDir,
                         const std::function<bool()>& stopRequested)
{
    ProcessResult result;
    if (argv.empty() || argv.front().empty()) {
        result.Error = "no program";
        return result;
    }
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    SpawnActions actions;
    if (!workingDir.empty())
        posix_spawn_file_actions_addchdir_np(actions.Get(), workingDir.c_str());
    pid_t pid = 0;
    // glibc reports a failed exec (missing program, missing folder) as the spawn's own error.
    const int error = posix_spawnp(&pid, args[0], actions.Get(), nullptr, args.data(), environ);
    if (error != 0) {
        result.Error = std::strerror(error);
        return result;
    }
    result.Started = true;
    using namespace std::chrono_literals;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, stopRequested ? WNOHANG : 0);
        if (done == pid) {
            result.ExitCode = ExitCodeOf(status);
            return result;
        }
        if (done < 0 && errno != EINTR) {
            result.Error = std::strerror(errno);
            return result;
        }
        if (done == 0 && stopRequested && stopRequested()) {
            kill(pid, SIGTERM);
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            result.Stopped = true;
            return result;
        }
        if (done == 0)
            std::this_thread::sleep_for(50ms);
    }
}

} // namespace pf
