#include "exchange/ImportFile.h"

#include "core/CodePage.h"
#include "core/TextConv.h"
#include "core/Utf8.h"
#include "db/clsZIP.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

bool IsContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The code page decision, counted over the bytes piece by piece.
class EncodingVote
{
public:
    // Counts the bytes from from to to, looking at their neighbours in bytes; to must be the end or
    // the start of a character.
    void Count(std::string_view bytes, std::size_t from, std::size_t to)
    {
        m_utf8 = m_utf8 && IsValidUtf8(bytes.substr(from, to - from));
        m_bytes += to - from;
        for (std::size_t i = from; i < to; ++i) {
            const auto c = static_cast<unsigned char>(bytes[i]);
            if (c < 0x80)
                continue;
            if ((c & 0xC0) == 0x80)
                ++m_continuations;
            if (const int sign = SignAfterNumber(bytes, i); sign != 0) {
                (sign > 0 ? m_win : m_oem) += 1;
                continue;
            }
            const bool before = i > 0 && IsAsciiLetter(static_cast<unsigned char>(bytes[i - 1]));
            const bool after =
                i + 1 < bytes.size() && IsAsciiLetter(static_cast<unsigned char>(bytes[i + 1]));
            if (!before && !after)
                continue;
            if (IsWin1252Letter(c))
                ++m_win;
            // Bytes that Windows-1252 uses for quotation marks and dashes stand at the edge of a
            // word; as code page 850 letters they count only inside one.
            if (IsCp850Letter(c) && ((before && after) || !IsWin1252Punctuation(c)))
                ++m_oem;
        }
    }

    FileEncoding Decision() const
    {
        if (m_utf8)
            return FileEncoding::Utf8;
        return m_oem > m_win ? FileEncoding::Cp850 : FileEncoding::Windows1252;
    }

    // Characters of the text once decoded: every byte of a code page is one.
    std::uint64_t Characters() const { return m_utf8 ? m_bytes - m_continuations : m_bytes; }

private:
    bool m_utf8 = true;
    long m_win = 0;
    long m_oem = 0;
    std::uint64_t m_bytes = 0;
    std::uint64_t m_continuations = 0;
};

// The quoted-printable decision, fed with the bytes piece by piece.
class QuotedPrintableScan
{
public:
    // Looks at the bytes before to, and beyond it where a code or a line end needs them.
    void Feed(std::string_view bytes, std::size_t to)
    {
        for (; m_pos < to; ++m_pos) {
            const std::size_t i = m_pos;
            const char c = bytes[i];
            if (c == '\n') {
                m_lineCodes = 0;
                continue;
            }
            if (c != '=')
                continue;
            if (i + 2 < bytes.size() && IsUpperHex(bytes[i + 1]) && IsUpperHex(bytes[i + 2])) {
                ++m_codes;
                m_encoded = m_encoded || ++m_lineCodes >= 2;
                m_pos += 2;
                continue;
            }
            const std::size_t end = bytes.find_first_not_of(" \t", i + 1);
            const bool lineEnd = end == std::string_view::npos || bytes[end] == '\r' || bytes[end] == '\n';
            if (lineEnd && i > 0 && bytes[i - 1] != '=' && bytes[i - 1] != '\n')
                m_encoded = true;
            else
                ++m_bare;
        }
    }

    // Ordinary text with an odd "=" or a rule of them is no encoded text.
    bool Result() const { return m_encoded && m_bare * 4 <= m_codes; }

private:
    std::size_t m_pos = 0;
    long m_codes = 0;
    long m_bare = 0;
    bool m_encoded = false; // a soft line break, or a line with two codes
    long m_lineCodes = 0;
};

// Decoded UTF-8 text of one line (without its line end) cut into the lines the readers see: tabs
// expanded, control characters dropped, a line of more than kMaxLineBytes bytes broken. pieces
// keeps its strings for reuse; count receives how many it holds now. ended: the line had a line
// end (a last line without one counts only when something is left of it).
void SplitLine(std::string_view text, bool ended, std::vector<std::string>& pieces, std::size_t& count)
{
    count = 0;
    auto next = [&]() -> std::string& {
        if (count == pieces.size())
            pieces.emplace_back();
        std::string& piece = pieces[count++];
        piece.clear();
        return piece;
    };
    std::string* line = &next();
    std::size_t column = 0; // in characters, for the tab stops
    std::size_t i = 0;
    while (i < text.size()) {
        // Ordinary bytes are taken as a run, as far as the line stays within its length.
        const std::size_t room = line->size() < kMaxLineBytes ? kMaxLineBytes - line->size() : 0;
        const std::size_t limit = std::min(text.size(), i + room);
        std::size_t run = i;
        while (run < limit && static_cast<unsigned char>(text[run]) >= 0x20 && text[run] != '\x7F')
            ++run;
        if (run > i) {
            line->append(text, i, run - i);
            for (; i < run; ++i)
                column += IsContinuation(text[i]) ? 0 : 1;
            continue;
        }
        const char c = text[i++];
        if (c == '\t') {
            const std::size_t stop = (column / 8 + 1) * 8;
            line->append(stop - column, ' ');
            column = stop;
        } else if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F') {
            // Control characters (NUL, form feeds of printouts, the DOS end-of-file mark) are no
            // text.
        } else {
            // No recipe line is this long; breaking it keeps the work per line bounded.
            if (line->size() >= kMaxLineBytes && !IsContinuation(c)) {
                // At the last blank when there is one near the end, so that words stay whole.
                const std::size_t blank = line->rfind(' ');
                std::string& rest = next();
                // next() may have moved the pieces: the full line is the one before.
                line = &pieces[count - 2];
                if (blank != std::string::npos && blank + 256 > line->size()) {
                    rest.assign(*line, blank + 1);
                    line->resize(blank);
                }
                line = &rest;
                column = CharLength(*line);
            }
            *line += c;
            if (!IsContinuation(c))
                ++column;
        }
    }
    if (!ended && line->empty())
        --count;
}

// Pieces of the bytes at a time for the first pass, so that the pages read can be given back.
constexpr std::size_t kScanWindow = std::size_t{8} << 20;

} // namespace

// The bytes of a file or a text: a read-only memory map of a file, or text in memory.
class ImportBytes
{
public:
    explicit ImportBytes(std::string text) : m_text(std::move(text)) { m_view = m_text; }
    ImportBytes(void* map, std::size_t size) : m_map(map), m_mapSize(size)
    {
        m_view = std::string_view(static_cast<const char*>(map), size);
    }
    ~ImportBytes()
    {
        if (m_map)
            munmap(m_map, m_mapSize);
    }
    ImportBytes(const ImportBytes&) = delete;
    ImportBytes& operator=(const ImportBytes&) = delete;

    std::string_view View() const { return m_view; }
    void SkipPrefix(std::size_t count) { m_view.remove_prefix(count); }

    // Gives the mapped pages between from and to (offsets in View) back to the system; they are
    // read from the file again should anyone look at them once more.
    void Release(std::size_t from, std::size_t to) const
    {
        if (!m_map || to <= from)
            return;
        static const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
        const auto base = reinterpret_cast<std::uintptr_t>(m_view.data());
        const std::uintptr_t first = (base + from) / page * page;
        const std::uintptr_t last = (base + to) / page * page;
        if (last > first)
            madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
    }

private:
    std::string m_text;
    void* m_map = nullptr;
    std::size_t m_mapSize = 0;
    std::string_view m_view;
};

FileEncoding DetectEncoding(std::string_view bytes)
{
    EncodingVote vote;
    vote.Count(bytes, 0, bytes.size());
    return vote.Decision();
}

bool IsQuotedPrintable(std::string_view bytes)
{
    QuotedPrintableScan scan;
    scan.Feed(bytes, bytes.size());
    return scan.Result();
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
    std::vector<std::string> pieces;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", pos);
        const bool ended = end != std::string_view::npos;
        std::size_t count = 0;
        SplitLine(text.substr(pos, (ended ? end : text.size()) - pos), ended, pieces, count);
        std::move(pieces.begin(), pieces.begin() + static_cast<std::ptrdiff_t>(count),
                  std::back_inserter(lines));
        if (!ended)
            break;
        pos = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

namespace {

// Decides how the bytes are read, in one pass over them: a byte-order mark is skipped, quoted-
// printable text decoded, the code page chosen.
ImportText DecideText(std::shared_ptr<ImportBytes> bytes, const std::string& name)
{
    if (bytes->View().starts_with("\xEF\xBB\xBF"))
        bytes->SkipPrefix(3);
    QuotedPrintableScan quoted;
    EncodingVote vote;
    const std::string_view view = bytes->View();
    for (std::size_t from = 0; from < view.size();) {
        std::size_t to = std::min(view.size(), from + kScanWindow);
        while (to < view.size() && IsContinuation(view[to]))
            ++to;
        quoted.Feed(view, to);
        vote.Count(view, from, to);
        bytes->Release(from, to);
        from = to;
    }
    if (quoted.Result()) {
        bytes = std::make_shared<ImportBytes>(DecodeQuotedPrintable(view));
        vote = EncodingVote();
        vote.Count(bytes->View(), 0, bytes->View().size());
    }
    ImportText text;
    text.Name = name;
    text.Encoding = vote.Decision();
    text.Size = vote.Characters();
    text.Bytes = std::move(bytes);
    return text;
}

// The file as a memory map, or read whole where it cannot be mapped; null when it cannot be read.
std::shared_ptr<ImportBytes> OpenBytes(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        struct stat info
        {
        };
        void* map = MAP_FAILED;
        std::size_t size = 0;
        const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
        if (regular && info.st_size > 0) {
            size = static_cast<std::size_t>(info.st_size);
            map = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        }
        close(fd);
        if (regular && info.st_size == 0)
            return std::make_shared<ImportBytes>(std::string());
        if (map != MAP_FAILED) {
            madvise(map, size, MADV_SEQUENTIAL);
            return std::make_shared<ImportBytes>(map, size);
        }
    }
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return nullptr;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return nullptr;
    return std::make_shared<ImportBytes>(std::move(bytes));
}

} // namespace

ImportText ImportTextFromString(std::string_view bytes, const std::string& name)
{
    return DecideText(std::make_shared<ImportBytes>(std::string(bytes)), name);
}

bool ReadImportFile(const std::string& path, ImportText& text, std::string& error)
{
    std::shared_ptr<ImportBytes> bytes = OpenBytes(path);
    if (!bytes) {
        error = "Die Datei " + path + " kann nicht gelesen werden.";
        return false;
    }
    text = DecideText(std::move(bytes), path);
    return true;
}

ImportLineReader::ImportLineReader(const ImportText& text)
    : m_bytes(text.Bytes), m_text(m_bytes ? m_bytes->View() : std::string_view()), m_encoding(text.Encoding)
{
}

ImportLineReader::~ImportLineReader()
{
    if (m_bytes)
        m_bytes->Release(m_released, m_pos);
}

bool ImportLineReader::Next(std::string& line)
{
    while (m_pendingNext == m_pendingCount) {
        if (!SplitNextLine())
            return false;
    }
    std::swap(line, m_pending[m_pendingNext++]);
    return true;
}

bool ImportLineReader::SplitNextLine()
{
    if (m_pos >= m_text.size())
        return false;
    std::size_t end = m_pos;
    while (end < m_text.size() && m_text[end] != '\r' && m_text[end] != '\n')
        ++end;
    const bool ended = end < m_text.size();
    std::string_view raw = m_text.substr(m_pos, end - m_pos);
    if (m_encoding != FileEncoding::Utf8) {
        const CodePage& page =
            m_encoding == FileEncoding::Cp850 ? CodePage::Cp850() : CodePage::Windows1252();
        m_decoded.clear();
        for (const char c : raw) {
            const auto b = static_cast<unsigned char>(c);
            if (b < 0x80 && page.Decode(b) == b)
                m_decoded.push_back(c);
            else
                AppendUtf8(m_decoded, page.Decode(b));
        }
        raw = m_decoded;
    }
    SplitLine(raw, ended, m_pending, m_pendingCount);
    m_pendingNext = 0;
    m_pos = !ended
                ? end
                : end + (m_text[end] == '\r' && end + 1 < m_text.size() && m_text[end + 1] == '\n' ? 2 : 1);
    if (m_pos - m_released >= kScanWindow) {
        m_bytes->Release(m_released, m_pos);
        m_released = m_pos;
    }
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
