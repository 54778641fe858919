#include "core/ExternalTools.h"

#include "core/Settings.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace pf {

namespace {

constexpr long kMaxTools = 99;

bool StartsWithNoCase(const std::string& text, std::size_t at, const char* word)
{
    for (std::size_t i = 0; word[i] != '\0'; ++i) {
        if (at + i >= text.size())
            return false;
        if (std::tolower(static_cast<unsigned char>(text[at + i])) !=
            std::tolower(static_cast<unsigned char>(word[i])))
            return false;
    }
    return true;
}

std::string ExpandEnvironment(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        const std::size_t end = text.find('%', i + 1);
        if (end == std::string::npos) {
            out += text.substr(i);
            break;
        }
        const std::string name = text.substr(i + 1, end - i - 1);
        if (name.empty()) {
            out += '%';
        } else if (const char* value = std::getenv(name.c_str())) {
            out += value;
        } else {
            out += text.substr(i, end - i + 1);
        }
        i = end;
    }
    return out;
}

} // namespace

const std::vector<ToolPlaceholder>& ToolPlaceholders()
{
    // Longer names first, so that none is read as the start of another.
    static const std::vector<ToolPlaceholder> placeholders = {
        {"&book", "Titel des aktiven Kochbuchs"}, {"&bid", "Nummer des aktiven Kochbuchs"},
        {"&db", "Pfad der geöffneten Datenbank"}, {"&fil", "die Aktionsdatei"},
        {"&clp", "Text in der Zwischenablage"},   {"&tmp", "temporärer Ordner des Programms"},
    };
    return placeholders;
}

std::string ExpandToolText(const std::string& text, const ToolValues& values)
{
    const std::string withEnvironment = ExpandEnvironment(text);
    const auto valueOf = [&values](const std::string& name) -> const std::string& {
        if (name == "&book")
            return values.BookTitle;
        if (name == "&bid")
            return values.BookId;
        if (name == "&db")
            return values.Database;
        if (name == "&fil")
            return values.File;
        if (name == "&clp")
            return values.Clipboard;
        return values.TempDir;
    };
    std::string out;
    for (std::size_t i = 0; i < withEnvironment.size();) {
        bool replaced = false;
        if (withEnvironment[i] == '&') {
            for (const ToolPlaceholder& placeholder : ToolPlaceholders()) {
                if (StartsWithNoCase(withEnvironment, i, placeholder.Name)) {
                    out += valueOf(placeholder.Name);
                    i += std::char_traits<char>::length(placeholder.Name);
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            out += withEnvironment[i++];
    }
    return out;
}

std::vector<std::string> ToolArguments(const std::string& commandLine, const ToolValues& values)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (char c : commandLine) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    for (std::string& w : words)
        w = ExpandToolText(w, values);
    if (!words.empty() && words.front().empty())
        return {};
    return words;
}

std::string ToolActionFile(const ExternalTool& tool, const ToolValues& values)
{
    if (!tool.ActionFilename.empty())
        return ExpandToolText(tool.ActionFilename, values);
    const char* extension = tool.ActionType == tooltype::kMensax    ? ".mx2"
                            : tool.ActionType == tooltype::kRezkonv ? ".rk"
                                                                    : ".mmf";
    return values.TempDir + "Werkzeug" + extension;
}

bool ToolUsed(const ExternalTool& tool)
{
    return !tool.Name.empty();
}

std::vector<ExternalTool> ReadToolTable()
{
    std::vector<ExternalTool> tools;
    const long count = SettingToLong(ReadSetting("", "ToolCount", "0", true));
    for (long i = 1; i <= count && i <= kMaxTools; ++i) {
        const std::string section = "TOOLS" + std::to_string(i);
        ExternalTool tool;
        tool.Name = ReadSetting(section, "Name", "", true);
        if (!tool.Name.empty()) {
            tool.Command = ReadSetting(section, "Command", "", true);
            tool.Action = SettingToLong(ReadSetting(section, "Action", "0", true));
            tool.ActionType = SettingToLong(ReadSetting(section, "ActionType", "0", true));
            tool.ActionFilename = ReadSetting(section, "ActionFilename", "", true);
            tool.Workingdir = ReadSetting(section, "Workingdir", "", true);
        }
        tools.push_back(tool);
    }
    return tools;
}

void WriteToolTable(const std::vector<ExternalTool>& tools)
{
    const long before = std::min(SettingToLong(ReadSetting("", "ToolCount", "0", true)), kMaxTools);
    const long count = std::min(static_cast<long>(tools.size()), kMaxTools);
    for (long i = 1; i <= std::max(before, count); ++i) {
        const std::string section = "TOOLS" + std::to_string(i);
        const ExternalTool empty;
        const ExternalTool& tool = i <= count ? tools[static_cast<std::size_t>(i - 1)] : empty;
        const bool used = ToolUsed(tool);
        WriteSetting(section, "Name", tool.Name, true);
        WriteSetting(section, "Command", used ? tool.Command : "", true);
        WriteSetting(section, "Action", used ? std::to_string(tool.Action) : "", true);
        WriteSetting(section, "ActionType", used ? std::to_string(tool.ActionType) : "", true);
        WriteSetting(section, "ActionFilename", used ? tool.ActionFilename : "", true);
        WriteSetting(section, "Workingdir", used ? tool.Workingdir : "", true);
    }
    WriteSetting("", "ToolCount", std::to_string(count), true);
}

} // namespace pf
