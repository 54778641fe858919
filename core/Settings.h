#pragma once
// The settings store: machine-wide values in the INI file, per-user values in the per-user store,
// both overridable for one run by KEY=value on the command line. ReadSetting and WriteSetting are
// the only way the program touches either store; every call opens and closes the file, so a value
// written is seen by the next read. Reads the current AppContext (IniFile, UserStoreFile, WinUser,
// SaveUserRelevant, CommandLine).

#include <optional>
#include <string>
#include <string_view>

namespace pf {

std::string ReadSetting(std::string_view section, std::string_view key, std::string_view defaultValue,
                        bool machineWide);
void WriteSetting(std::string_view section, std::string_view key, std::string_view value, bool machineWide);

// True when the upper-cased text is "TRUE" or "WAHR" or its numeric value is not 0.
bool SettingToBool(std::string_view text);
// Numeric value of the leading number of a text ("12abc" gives 12, "" and "x" give 0).
long SettingToLong(std::string_view text);

// The value the command line gives for a key (KEY=value or KEY="value with blanks"), if any.
std::optional<std::string> CommandLineOverride(std::string_view key);
// Takes KEY=value off the command line of this run: a choice the user makes in the program
// replaces what the command line gave.
void DropCommandLineOverride(std::string_view key);

// Sets AppContext::DataDir by BaseDirType and creates the folder when missing.
void DetermineDataDirectory();

// Path of the per-user store: $XDG_CONFIG_HOME/Kelm/Pfannola.ini (~/.config when unset).
std::string DefaultUserStoreFile();

// Window placement, kept per user under section name + "Window"; a caller without another name
// passes the window's own name.
struct WindowPlacement
{
    int WindowState = 0; // 0 normal, 1 minimised, 2 maximised
    int Height = 0;
    int Width = 0;
    int Top = 0;
    int Left = 0;
    bool Sizable = true;
};
void SaveWindow(const WindowPlacement& placement, std::string_view name);
void RestoreWindow(WindowPlacement& placement, std::string_view name);

} // namespace pf
