#include "app/CommandLine.h"

#include "core/Trim.h"
#include "core/Utf8.h"

namespace pf {

namespace {

} // namespace

std::string JoinCommandLine(const std::vector<std::string>& args)
{
    std::string line;
    for (const auto& arg : args) {
        if (!line.empty())
            line += ' ';
        const auto equals = arg.find('=');
        if (arg.find(' ') != std::string::npos && equals != std::string::npos &&
            arg.find('"') == std::string::npos && arg.find('/') > equals)
            line += arg.substr(0, equals + 1) + "\"" + arg.substr(equals + 1) + "\"";
        else
            line += arg;
    }
    return line;
}

std::optional<std::string> UpgradeVersionArgument(const std::string& commandLine)
{
    const std::string upper = ToUpper(commandLine);
    const std::string key = "/UPGRADEVERSION ";
    const auto pos = upper.find(key);
    if (pos == std::string::npos)
        return std::nullopt;
    return commandLine.substr(pos + key.size());
}

std::optional<std::string> ImportArgument(const std::string& commandLine)
{
    const std::string trimmed = std::string(Trim(commandLine, " "));
    const std::string key = "/IMPORT ";
    const auto pos = ToUpper(trimmed).find(key);
    if (pos == std::string::npos)
        return std::nullopt;
    // Upper-casing keeps the byte positions of the letters a German command line holds, so the
    // argument is taken from the raw text at the position found in the upper-cased one.
    const auto rawStart = commandLine.find_first_not_of(' ');
    std::string rest = commandLine.substr(rawStart + pos + key.size());
    if (auto comma = rest.find(','); comma != std::string::npos)
        rest.erase(comma);
    return rest;
}

bool HasSpecialSwitch(const std::string& commandLine)
{
    return (" " + ToUpper(commandLine) + " ").find(" /SPECIAL ") != std::string::npos;
}

} // namespace pf
