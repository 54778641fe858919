#pragma once
// The switches of the program's command line. The command line is one text (the arguments joined
// by blanks); a switch's argument runs to the end of it, so paths may hold blanks.

#include <optional>
#include <string>
#include <vector>

namespace pf {

// Joins argv[1..] with blanks; an argument holding a blank is put in double quotes unless it
// already is a KEY=value pair (whose value the settings store reads up to the next blank or quote).
std::string JoinCommandLine(const std::vector<std::string>& args);

// The database path after "/UPGRADEVERSION " (searched without regard to case from the start).
std::optional<std::string> UpgradeVersionArgument(const std::string& commandLine);
// The first file of the list after "/IMPORT " (only the part before the first ",").
std::optional<std::string> ImportArgument(const std::string& commandLine);
// True when " /SPECIAL " stands in the command line.
bool HasSpecialSwitch(const std::string& commandLine);

} // namespace pf
