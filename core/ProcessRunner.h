#pragma once
// Starts an external program without a shell and waits for its end. The program and its arguments
// are handed over as a list, so nothing in them (recipe titles, file names) is ever read as shell
// syntax. While the program runs, a callback is asked now and then whether to stop it.

#include <functional>
#include <string>
#include <vector>

namespace pf {

struct ProcessResult
{
    bool Started = false;
    bool Stopped = false; // ended on request before it finished
    int ExitCode = -1;    // valid when it ran to its end
    std::string Error;    // why it could not be started (system text, for the error log)
};

// Runs argv[0] (searched in PATH when it holds no "/") with the remaining arguments in workingDir
// (the current folder when empty). stopRequested, when set, is called about twenty times a second;
// true terminates the program.
ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& workingDir,
                         const std::function<bool()>& stopRequested = {});

} // namespace pf
