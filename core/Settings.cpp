#include "core/Settings.h"

#include "core/LeadingNumber.h"

#include "core/AppContext.h"
#include "core/IniFile.h"
#include "core/Interaction.h"
#include "core/Trim.h"
#include "core/Utf8.h"

#include <cstdlib>
#include <filesystem>
#include <limits>
#include <pwd.h>
#include <unistd.h>

namespace pf {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kMainSection = "Pfannola";

std::string SectionOf(std::string_view section)
{
    return std::string(section.empty() ? kMainSection : section);
}

// Per-user values go to the per-user store only for a known user who keeps them separately.
bool UserStoreActive(const AppContext& ctx)
{
    return !ctx.WinUser.empty() && ctx.SaveUserRelevant && !ctx.UserStoreFile.empty();
}

// The per-user store keeps values exactly as given: a value with blanks at either end, or one that
// is itself enclosed in quotes, is written in quotes, which the reader removes again.
std::string QuoteForStore(std::string_view value)
{
    const bool edgeBlank = !value.empty() && (value.front() == ' ' || value.front() == '\t' ||
                                              value.back() == ' ' || value.back() == '\t');
    const bool quoted =
        value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
    if (edgeBlank || quoted)
        return "\"" + std::string(value) + "\"";
    return std::string(value);
}

std::string HomeDir()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return {};
}

// An XDG base folder: the variable when it holds an absolute path, else the fallback under home.
std::string XdgDir(const char* variable, const char* fallbackUnderHome)
{
    if (const char* value = std::getenv(variable); value && value[0] == '/')
        return value;
    const std::string home = HomeDir();
    return home.empty() ? std::string() : home + "/" + fallbackUnderHome;
}

std::string WithTrailingSlash(std::string path)
{
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path;
}

} // namespace

namespace {

// Where KEY=value stands on the command line: the whole entry and the value inside it, as code
// point positions of the original text.
struct OverrideSpan
{
    std::u32string text;
    std::size_t entryStart = 0, valueStart = 0, valueEnd = 0, entryEnd = 0;
};

std::optional<OverrideSpan> FindOverride(std::string_view key)
{
    const std::string& commandLine = AppContext::Current().CommandLine;
    if (key.empty() || CharLength(commandLine) <= 1)
        return std::nullopt;

    // Compared character by character in upper case, so that positions in the upper-cased text
    // are positions in the original one. The test is a plain substring test: "XDATABASE=" on the
    // command line also overrides "Database".
    OverrideSpan span;
    span.text = ToCodePoints(commandLine);
    std::u32string upper = span.text;
    for (char32_t& cp : upper)
        cp = ToUpperCp(cp);
    std::u32string needle = ToCodePoints(key);
    for (char32_t& cp : needle)
        cp = ToUpperCp(cp);
    needle.push_back(U'=');

    const std::size_t hit = upper.find(needle);
    if (hit == std::u32string::npos)
        return std::nullopt;
    span.entryStart = hit;
    span.valueStart = hit + needle.size();
    const std::u32string& original = span.text;
    if (span.valueStart < original.size() && original[span.valueStart] == U'"') {
        ++span.valueStart;
        span.valueEnd = original.find(U'"', span.valueStart);
        span.entryEnd = span.valueEnd == std::u32string::npos ? original.size() : span.valueEnd + 1;
    } else {
        span.valueEnd = original.find(U' ', span.valueStart);
        span.entryEnd = span.valueEnd;
    }
    if (span.valueEnd == std::u32string::npos)
        span.valueEnd = span.entryEnd = original.size();
    return span;
}

} // namespace

std::optional<std::string> CommandLineOverride(std::string_view key)
{
    const std::optional<OverrideSpan> span = FindOverride(key);
    if (!span)
        return std::nullopt;
    return std::string(Trim(FromCodePoints(
        std::u32string_view(span->text).substr(span->valueStart, span->valueEnd - span->valueStart))));
}

void DropCommandLineOverride(std::string_view key)
{
    while (const std::optional<OverrideSpan> span = FindOverride(key)) {
        std::u32string rest = span->text;
        rest.erase(span->entryStart, span->entryEnd - span->entryStart);
        AppContext::Current().CommandLine = FromCodePoints(rest);
    }
}

std::string ReadSetting(std::string_view section, std::string_view key, std::string_view defaultValue,
                        bool machineWide)
{
    const std::string sectionName = SectionOf(section);
    if (std::optional<std::string> overridden = CommandLineOverride(key))
        return *overridden;

    const AppContext& ctx = AppContext::Current();
    if (!machineWide && UserStoreActive(ctx)) {
        if (std::optional<std::string> value = IniFile(ctx.UserStoreFile).Find(sectionName, key))
            return *value;
    }
    return IniFile(ctx.IniFile).ReadString(sectionName, key, defaultValue);
}

void WriteSetting(std::string_view section, std::string_view key, std::string_view value, bool machineWide)
{
    const std::string sectionName = SectionOf(section);
    const AppContext& ctx = AppContext::Current();

    if (machineWide && CommandLineOverride(key)) {
        UI().Inform("Die Einstellung \"" + std::string(key) +
                        "\" wurde nicht dauerhaft gespeichert, da dieser Wert derzeit temporär durch "
                        "Sondereinstellungen verändert wurde! Mehr Hinweise auf diesen Umstand gibt die "
                        "Dokumentation zu " +
                        std::string(kMainSection),
                    MsgIcon::Information, ctx.AppCaption);
        return;
    }

    if (!machineWide && UserStoreActive(ctx)) {
        std::error_code ec;
        const fs::path folder = fs::path(ctx.UserStoreFile).parent_path();
        if (!folder.empty())
            fs::create_directories(folder, ec);
        if (IniFile(ctx.UserStoreFile).WriteString(sectionName, key, QuoteForStore(value)))
            return;
    }
    IniFile(ctx.IniFile).WriteString(sectionName, key, value);
}

long SettingToLong(std::string_view text)
{
    bool negative = false;
    std::size_t pos = SkipBlanksAndSign(text, negative);
    long value = 0;
    constexpr long kMax = std::numeric_limits<long>::max();
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        const long digit = text[pos] - '0';
        value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    }
    return negative ? -value : value;
}

bool SettingToBool(std::string_view text)
{
    const std::string upper = ToUpper(text);
    if (upper == "TRUE" || upper == "WAHR")
        return true;
    // The numeric value of the leading number, fraction included ("0.5" is not 0).
    bool negative = false;
    std::size_t pos = SkipBlanksAndSign(text, negative);
    bool seenPoint = false;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '.' && !seenPoint) {
            seenPoint = true;
            continue;
        }
        if (c < '0' || c > '9')
            break;
        if (c != '0')
            return true;
    }
    return false;
}

std::string DefaultUserStoreFile()
{
    const std::string config = XdgDir("XDG_CONFIG_HOME", ".config");
    return config.empty() ? std::string() : config + "/Kelm/Pfannola.ini";
}

void DetermineDataDirectory()
{
    AppContext& ctx = AppContext::Current();
    std::string dir;
    try {
        switch (SettingToLong(ReadSetting("", "BaseDirType", "0", true))) {
        case 0: {
            const std::string data = XdgDir("XDG_DATA_HOME", ".local/share");
            if (!data.empty())
                dir = data + "/Pfannola/";
            break;
        }
        case 1:
            dir = WithTrailingSlash(ctx.ProgramDir);
            break;
        case 2:
            dir = WithTrailingSlash(ReadSetting("", "BASEDIR", "", false));
            break;
        default:
            break;
        }
        if (!dir.empty() && !EqualsNoCase(dir, WithTrailingSlash(ctx.ProgramDir))) {
            // Errors are ignored: the caller then works with the program folder.
            std::error_code ec;
            if (!fs::exists(dir, ec))
                fs::create_directories(dir, ec);
        }
    } catch (...) {
        // Any failure leaves what was determined so far.
    }
    ctx.DataDir = dir;
}

void SaveWindow(const WindowPlacement& placement, std::string_view name)
{
    const std::string section = std::string(name) + "Window";
    WriteSetting(section, "WindowState", std::to_string(placement.WindowState), false);
    if (placement.WindowState == 0 && placement.Sizable) {
        WriteSetting(section, "Height", std::to_string(placement.Height), false);
        WriteSetting(section, "Width", std::to_string(placement.Width), false);
    }
    WriteSetting(section, "Top", std::to_string(placement.Top), false);
    WriteSetting(section, "Left", std::to_string(placement.Left), false);
}

void RestoreWindow(WindowPlacement& placement, std::string_view name)
{
    const std::string section = std::string(name) + "Window";
    auto read = [&section](const char* key, int current) {
        const long value = SettingToLong(ReadSetting(section, key, std::to_string(current), false));
        if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
            return current;
        return static_cast<int>(value);
    };
    placement.WindowState = read("WindowState", placement.WindowState);
    if (placement.WindowState == 0 && placement.Sizable) {
        placement.Height = read("Height", placement.Height);
        placement.Width = read("Width", placement.Width);
    }
    placement.Top = read("Top", placement.Top);
    placement.Left = read("Left", placement.Left);
}

} // namespace pf
