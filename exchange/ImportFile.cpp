#include "exchange/ImportFile.h"

#include "core/TextConv.h"
#include "core/Utf8.h"
#include "db/clsZIP.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace pf {

namespace {

bool IsAsciiLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// German and French letters as Windows-1252 and as code page 850 encode them. The bytes overlap
// (0x84 is "ä" in one and a quotation mark in the other), so only bytes that stand next to an
// ASCII letter count: that is where a letter stands and a quotation mark does not.
bool IsWin1252Letter(unsigned char c)
{
    switch (c) {
    case 0xE4:
    case 0xF6:
    case 0xFC:
    case 0xC4:
    case 0xD6:
    case 0xDC:
    case 0xDF:
    case 0xE9:
    case 0xE8:
    case 0xE0:
    case 0xE2:
    case 0xE7:
    case 0xEA:
    case 0xEB:
    case 0xEE:
    case 0xEF:
    case 0xF4:
    case 0xFB:
    case 0xF9:
    case 0xF1:
        return true;
    default:
        return false;
    }
}

bool IsCp850Letter(unsigned char c)
{
    switch (c) {
    case 0x81:
    case 0x84:
    case 0x94:
    case 0x8E:
    case 0x99:
    case 0x9A:
    case 0xE1:
    case 0x82:
    case 0x8A:
    case 0x85:
    case 0x87:
    case 0x88:
    case 0x89:
    case 0x8B:
    case 0x8C:
    case 0x83:
    case 0x93:
    case 0x96:
    case 0x97:
    case 0xA0:
    case 0xA1:
    case 0xA2:
    case 0xA3:
    case 0xA4:
        return true;
    default:
        return false;
    }
}

bool IsWin1252Punctuation(unsigned char c)
{
    switch (c) {
    case 0x82:
    case 0x84:
    case 0x85:
    case 0x91:
    case 0x92:
    case 0x93:
    case 0x94:
    case 0x96:
    case 0x97:
        return true;
    default:
        return false;
    }
}

bool IsDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

// Signs after a number that only one of the two code pages writes there: the degree sign is B0 in
// Windows-1252 and F8 in code page 850; ½ ¼ ¾ and € are BD BC BE 80 in Windows-1252 (¢ ╝ ¥ Ç
// in code page 850), ½ and ¼ are AB AC in code page 850 (« ¬ in Windows-1252).
// Returns +1 for Windows-1252, -1 for code page 850, 0 when the byte says nothing.
int SignAfterNumber(std::string_view bytes, std::size_t i)
{
    const auto c = static_cast<unsigned char>(bytes[i]);
    const bool afterDigit = i > 0 && IsDigit(static_cast<unsigned char>(bytes[i - 1]));
    const bool afterNumber =
        afterDigit || (i > 1 && bytes[i - 1] == ' ' && IsDigit(static_cast<unsigned char>(bytes[i - 2])));
    const bool letterAfter = i + 1 < bytes.size() && IsAsciiLetter(static_cast<unsigned char>(bytes[i + 1]));
    switch (c) {
    case 0xF8:
        return afterNumber ? -1 : 0;
    case 0xB0:
        return afterNumber ? 1 : 0;
    case 0xBC:
    case 0xBD:
    case 0xBE:
        return (afterNumber || i == 0 || bytes[i - 1] == ' ') && !letterAfter ? 1 : 0;
    case 0x80:
        return afterNumber && !letterAfter ? 1 : 0;
    case 0xAB:
    case 0xAC:
        return afterDigit ? -1 : 0;
    default:
        return 0;
    }
}

bool IsUpperHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

int HexValue(char c)
{
    return c <= '9' ? c - '0' : c - 'A' + 10;
}

constexpr std::size_t kMaxLineBytes = 2048;

} // namespace

FileEncoding DetectEncoding(std::string_view bytes)
{
    if (IsValidUtf8(bytes))
        return FileEncoding::Utf8;
    long win = 0;
    long oem = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80)
            continue;
        if (const int sign = SignAfterNumber(bytes, i); sign != 0) {
            (sign > 0 ? win : oem) += 1;
            continue;
        }
        const bool before = i > 0 && IsAsciiLetter(static_cast<unsigned char>(bytes[i - 1]));
        const bool after = i + 1 < bytes.size() && IsAsciiLetter(static_cast<unsigned char>(bytes[i + 1]));
        if (!before && !after)
            continue;
        if (IsWin1252Letter(c))
            ++win;
        // Bytes that Windows-1252 uses for quotation marks and dashes stand at the edge of a
        // word; as code page 850 letters they count only inside one.
        if (IsCp850Letter(c) && ((before && after) || !IsWin1252Punctuation(c)))
            ++oem;
    }
    return oem > win ? FileEncoding::Cp850 : FileEncoding::Windows1252;
}

bool IsQuotedPrintable(std::string_view bytes)
{
    long codes = 0;
    long bare = 0;
    bool encoded = false; // a soft line break, or a line with two codes
    long lineCodes = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\n') {
            lineCodes = 0;
            continue;
        }
        if (c != '=')
            continue;
        if (i + 2 < bytes.size() && IsUpperHex(bytes[i + 1]) && IsUpperHex(bytes[i + 2])) {
            ++codes;
            encoded = encoded || ++lineCodes >= 2;
            i += 2;
            continue;
        }
        const std::size_t end = bytes.find_first_not_of(" \t", i + 1);
        const bool lineEnd = end == std::string_view::npos || bytes[end] == '\r' || bytes[end] == '\n';
        if (lineEnd && i > 0 && bytes[i - 1] != '=' && bytes[i - 1] != '\n')
            encoded = true;
        else
            ++bare;
    }
    // Ordinary text with an odd "=" or a rule of them is no encoded text.
    return encoded && bare * 4 <= codes;
}

std::string DecodeQuotedPrintable(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '=') {
            out += c;
            continue;
        }
        if (i + 2 < bytes.size() && IsUpperHex(bytes[i + 1]) && IsUpperHex(bytes[i + 2])) {
            out += static_cast<char>(HexValue(bytes[i + 1]) * 16 + HexValue(bytes[i + 2]));
            i += 2;
            continue;
        }
        std::size_t end = bytes.find_first_not_of(" \t", i + 1);
        if (end == std::string_view::npos) {
            i = bytes.size();
            continue;
        }
        if (bytes[end] == '\r' || bytes[end] == '\n') {
            // A soft line break: the line goes on in the next one.
            if (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n')
                ++end;
            i = end;
            continue;
        }
        out += c;
    }
    return out;
}

std::string DecodeImportText(std::string_view bytes, FileEncoding* encoding)
{
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    std::string decoded;
    if (IsQuotedPrintable(bytes)) {
        decoded = DecodeQuotedPrintable(bytes);
        bytes = decoded;
    }
    const FileEncoding found = DetectEncoding(bytes);
    if (encoding)
        *encoding = found;
    switch (found) {
    case FileEncoding::Utf8:
        return std::string(bytes);
    case FileEncoding::Cp850:
        return Cp850ToUtf8(bytes);
    case FileEncoding::Windows1252:
        break;
    }
    return Win1252ToUtf8(bytes);
}

std::vector<std::string> SplitImportLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::string line;
    std::size_t column = 0; // in characters, for the tab stops
    auto finish = [&] {
        lines.push_back(std::move(line));
        line.clear();
        column = 0;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            finish();
        } else if (c == '\n') {
            finish();
        } else if (c == '\t') {
            const std::size_t stop = (column / 8 + 1) * 8;
            line.append(stop - column, ' ');
            column = stop;
        } else if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F') {
            // Control characters (NUL, form feeds of printouts, the DOS end-of-file mark) are no
            // text.
        } else {
            // No recipe line is this long; breaking it keeps the work per line bounded.
            if (line.size() >= kMaxLineBytes && (static_cast<unsigned char>(c) & 0xC0) != 0x80) {
                // At the last blank when there is one near the end, so that words stay whole.
                const std::size_t blank = line.rfind(' ');
                std::string rest;
                if (blank != std::string::npos && blank + 256 > line.size()) {
                    rest = line.substr(blank + 1);
                    line.resize(blank);
                }
                finish();
                line = std::move(rest);
                column = CharLength(line);
            }
            line += c;
            if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
                ++column;
        }
    }
    if (!line.empty())
        finish();
    return lines;
}

ImportText ImportTextFromString(std::string_view bytes, const std::string& name)
{
    ImportText text;
    text.Name = name;
    const std::string decoded = DecodeImportText(bytes, &text.Encoding);
    text.Size = CharLength(decoded);
    text.Lines = SplitImportLines(decoded);
    return text;
}

bool ReadImportFile(const std::string& path, ImportText& text, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "Die Datei " + path + " kann nicht gelesen werden.";
        return false;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = "Die Datei " + path + " kann nicht gelesen werden.";
        return false;
    }
    text = ImportTextFromString(bytes, path);
    return true;
}

bool IsZipName(std::string_view path)
{
    return path.size() >= 4 && EqualsNoCase(path.substr(path.size() - 4), ".ZIP");
}

ImportZip::~ImportZip()
{
    if (!m_folder.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }
}

bool ImportZip::Open(const std::string& archive, std::string& error)
{
    static const std::string kUnusable = "Entweder keine gültige ZIP-Datei oder leer...";
    m_files.clear();
    m_names.clear();
    clsZIP zip;
    if (!zip.LoadZIPFile(archive) || zip.ZIPFilecount() == 0) {
        error = kUnusable;
        return false;
    }
    if (m_folder.empty()) {
        std::error_code ec;
        std::string pattern = (std::filesystem::temp_directory_path(ec) / "pfimportXXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            error = "Der temporäre Ordner zum Entpacken kann nicht angelegt werden.";
            return false;
        }
        m_folder = pattern;
    }
    for (int i = 0; i < zip.ZIPFilecount(); ++i)
        zip.ZIPSelect(i, !zip.FileInfo(i).IsFolder);
    // Entries are unpacked with their folders, so that equal names in two folders stay apart.
    if (!zip.Expand(m_folder, true) && zip.ZIPSelectCount() == 0) {
        error = kUnusable;
        return false;
    }
    for (int i = 0; i < zip.ZIPFilecount(); ++i) {
        const std::string path = zip.ExpandedPath(i);
        if (path.empty())
            continue;
        m_files.push_back(path);
        m_names.push_back(zip.FileInfo(i).FullName);
    }
    if (m_files.empty()) {
        error = kUnusable;
        return false;
    }
    return true;
}

std::vector<std::string> ZipEntryNames(const std::string& archive)
{
    std::vector<std::string> names;
    clsZIP zip;
    if (!zip.LoadZIPFile(archive))
        return names;
    for (int i = 0; i < zip.ZIPFilecount(); ++i)
        if (!zip.FileInfo(i).IsFolder)
            names.push_back(zip.FileInfo(i).FullName);
    return names;
}

} // namespace pf
