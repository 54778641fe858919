#pragma once
// The command-line program: the same logic as the desktop program without windows. German
// messages on standard error, results on standard output, exit code 0 on success.

#include <iosfwd>
#include <string>
#include <vector>

namespace pf {

// args without the program name; executablePath locates the settings file as the desktop does.
int RunCli(const std::string& executablePath, const std::vector<std::string>& args, std::ostream& out,
           std::ostream& err);

} // namespace pf
