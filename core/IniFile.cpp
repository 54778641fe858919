#include "core/IniFile.h"

#include "core/AtomicFile.h"
#include "core/TextConv.h"
#include "core/Trim.h"
#include "core/Utf8.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

namespace pf {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t\r\v\f";

// One line of the file as it stands on disk, line end kept apart.
struct RawLine
{
    std::string Bytes;
    std::string Eol; // "\r\n", "\n" or "" for a last line without one
};

enum class LineKind { Other, Section, Comment, Entry };

struct ParsedLine
{
    LineKind Kind = LineKind::Other;
    std::string Name;  // section or key name
    std::string Value; // entry value, trimmed
};

struct Document
{
    std::vector<RawLine> Lines;
    bool Win1252 = false; // the file is not valid UTF-8 and is read as Windows-1252
};

// Reads the file; false when it exists but cannot be read. A missing file is an empty document.
bool Load(const std::string& path, Document& doc)
{
    std::error_code ec;
    if (path.empty() || !fs::exists(path, ec))
        return !ec;
    if (fs::is_directory(path, ec))
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return false;

    doc.Win1252 = !IsValidUtf8(content);
    std::size_t pos = 0;
    while (pos < content.size()) {
        const std::size_t lf = content.find('\n', pos);
        RawLine line;
        if (lf == std::string::npos) {
            line.Bytes = content.substr(pos);
            pos = content.size();
        } else {
            const bool crlf = lf > pos && content[lf - 1] == '\r';
            line.Bytes = content.substr(pos, lf - pos - (crlf ? 1 : 0));
            line.Eol = crlf ? "\r\n" : "\n";
            pos = lf + 1;
        }
        doc.Lines.push_back(std::move(line));
    }
    return true;
}

ParsedLine Parse(const Document& doc, std::size_t index)
{
    std::string text = doc.Win1252 ? Win1252ToUtf8(doc.Lines[index].Bytes) : doc.Lines[index].Bytes;
    if (index == 0 && !doc.Win1252 && text.starts_with(kBom))
        text.erase(0, kBom.size());
    const std::string_view line = Trim(text, kBlanks);

    ParsedLine parsed;
    if (line.empty())
        return parsed;
    if (line.front() == '[') {
        const std::size_t close = line.find(']');
        parsed.Kind = LineKind::Section;
        parsed.Name = Trim(
            line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1), kBlanks);
        return parsed;
    }
    if (line.front() == ';') {
        parsed.Kind = LineKind::Comment;
        return parsed;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return parsed;
    parsed.Name = Trim(line.substr(0, eq), kBlanks);
    if (parsed.Name.empty())
        return parsed;
    parsed.Kind = LineKind::Entry;
    parsed.Value = Trim(line.substr(eq + 1), kBlanks);
    return parsed;
}

// Lines [first, last) of the first section with that name; first is the header's index.
struct SectionRange
{
    std::size_t First = 0;
    std::size_t Last = 0;
    bool Found = false;
};

SectionRange FindSection(const Document& doc, std::string_view section)
{
    SectionRange range;
    for (std::size_t i = 0; i < doc.Lines.size(); ++i) {
        const ParsedLine line = Parse(doc, i);
        if (line.Kind != LineKind::Section)
            continue;
        if (range.Found) {
            range.Last = i;
            return range;
        }
        if (EqualsNoCase(line.Name, section)) {
            range.Found = true;
            range.First = i;
        }
    }
    range.Last = doc.Lines.size();
    return range;
}

// Index of the key's line inside the section, or npos.
std::size_t FindKey(const Document& doc, const SectionRange& range, std::string_view key, ParsedLine* found)
{
    for (std::size_t i = range.First + 1; i < range.Last; ++i) {
        ParsedLine line = Parse(doc, i);
        if (line.Kind == LineKind::Entry && EqualsNoCase(line.Name, key)) {
            if (found)
                *found = std::move(line);
            return i;
        }
    }
    return std::string::npos;
}

} // namespace

IniFile::IniFile(std::string path) : m_path(std::move(path)) {}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const
{
    try {
        Document doc;
        if (!Load(m_path, doc))
            return std::nullopt;
        const SectionRange range = FindSection(doc, section);
        if (!range.Found)
            return std::nullopt;
        ParsedLine line;
        if (FindKey(doc, range, key, &line) == std::string::npos)
            return std::nullopt;

        std::string value = std::move(line.Value);
        // A value in matching quotes loses them, so that leading or trailing blanks can be stored.
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        const std::size_t nul = value.find('\0');
        if (nul != std::string::npos)
            value.resize(nul);
        return value;
    } catch (...) {
        return std::nullopt;
    }
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const
{
    std::optional<std::string> value = Find(section, key);
    std::string result = value ? std::move(*value) : std::string(defaultValue);
    try {
        if (result.size() > kMaxValueLength && CharLength(result) > kMaxValueLength)
            result = CharSubstr(result, 0, kMaxValueLength);
    } catch (...) {
        return {};
    }
    return result;
}

bool IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) const
{
    try {
        Document doc;
        if (m_path.empty() || Trim(key, kBlanks).empty() || !Load(m_path, doc))
            return false;

        std::string eol = "\n";
        for (const RawLine& line : doc.Lines) {
            if (!line.Eol.empty()) {
                eol = line.Eol;
                break;
            }
        }
        auto encode = [&doc](std::string text) { return doc.Win1252 ? Utf8ToWin1252(text) : text; };
        const std::string entry = encode(std::string(key) + "=" + std::string(value));

        const SectionRange range = FindSection(doc, section);
        std::size_t insertAt = doc.Lines.size();
        std::vector<RawLine> added;
        if (range.Found) {
            const std::size_t keyLine = FindKey(doc, range, key, nullptr);
            if (keyLine != std::string::npos) {
                doc.Lines[keyLine].Bytes = entry;
            } else {
                // After the section's last non-blank line, so that blank lines before the next
                // section stay where they are.
                insertAt = range.First + 1;
                for (std::size_t i = range.First + 1; i < range.Last; ++i) {
                    if (!Trim(doc.Lines[i].Bytes, kBlanks).empty())
                        insertAt = i + 1;
                }
                added.push_back({entry, eol});
            }
        } else {
            added.push_back({encode("[" + std::string(section) + "]"), eol});
            added.push_back({entry, eol});
        }
        if (!added.empty()) {
            if (insertAt > 0 && doc.Lines[insertAt - 1].Eol.empty())
                doc.Lines[insertAt - 1].Eol = eol;
            doc.Lines.insert(doc.Lines.begin() + static_cast<std::ptrdiff_t>(insertAt), added.begin(),
                             added.end());
        }

        std::string content;
        for (const RawLine& line : doc.Lines)
            content += line.Bytes + line.Eol;
        return WriteFileAtomically(m_path, content);
    } catch (...) {
        return false;
    }
}

} // namespace pf
