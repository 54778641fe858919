#include "exchange/ImportFile.h"

#include "core/CodePage.h"
#include "core/TextConv.h"
#include "core/Utf8.h"
#include "db/clsZIP.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <system_error>
#include <utility>

namespace pf {

namespace {

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

// 0xA0 ("á") is left out: it is the no-break space of Windows-1252, which text copied from a
// word processor or a web page puts before and between words, while "á" is rare in German text.
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

// The code page decision, counted over the bytes piece by piece.
class EncodingVote
{
public:
    // Counts the bytes from from to to, looking at their neighbours in bytes; to must be the end or
    // the start of a character.
    void Count(std::string_view bytes, std::size_t from, std::size_t to)
    {
        if (!m_notUtf8)
            CountUtf8(bytes.substr(0, to), from);
        m_bytes += to - from;
        for (std::size_t i = from; i < to; ++i) {
            const auto c = static_cast<unsigned char>(bytes[i]);
            if (c < 0x80)
                continue;
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
        if (IsUtf8())
            return FileEncoding::Utf8;
        return m_oem > m_win ? FileEncoding::Cp850 : FileEncoding::Windows1252;
    }

    // Characters of the text once decoded: every byte of a code page is one, and so is every
    // stray byte of UTF-8 text; a letter and the combining accent composed with it are one.
    std::uint64_t Characters() const { return IsUtf8() ? m_bytes - m_continuations - m_marks : m_bytes; }

private:
    // UTF-8 text may hold a few stray bytes of another code page (a "°" typed in another editor,
    // a file cut inside its last character): read as a code page instead, every other character
    // of the file would be garbled. At most one run of stray bytes per thousand UTF-8 characters
    // (rounded up). Only characters of recipe text excuse stray bytes: a code page file forms a
    // valid sequence now and then by chance ("ß" before a no-break space reads as a letter of a
    // far script), never a run of umlauts.
    bool IsUtf8() const
    {
        return !m_notUtf8 &&
               (m_strayRuns == 0 || (m_textSequences > 0 && m_strayRuns * 1000 <= m_textSequences + 999));
    }

    // Characters recipe text holds: Latin letters with accents, signs such as "°" and "½", and the
    // dashes, quotes and the euro sign of the general punctuation.
    static bool IsTextCharacter(char32_t cp)
    {
        return (cp >= 0xA0 && cp <= 0x17F) || (cp >= 0x300 && cp <= 0x36F) || (cp >= 0x2010 && cp <= 0x20AC);
    }

    // Counts the UTF-8 sequences of more than one byte and the runs of stray bytes from i on.
    void CountUtf8(std::string_view bytes, std::size_t i)
    {
        bool inRun = false;
        while (i < bytes.size()) {
            if (static_cast<unsigned char>(bytes[i]) < 0x80) {
                ++i;
                inRun = false;
                continue;
            }
            const std::size_t start = i;
            const char32_t cp = NextCodePoint(bytes, i);
            if (i - start > 1) {
                m_textSequences += IsTextCharacter(cp) ? 1 : 0;
                m_continuations += i - start - 1;
                if (start > 0 && ComposedLetter(static_cast<unsigned char>(bytes[start - 1]), cp) != 0)
                    ++m_marks;
                inRun = false;
            } else if (!std::exchange(inRun, true)) {
                ++m_strayRuns;
                // Many stray bytes and too few sequences to excuse them: a code page file, whose
                // other bytes need not be looked at as UTF-8 any more.
                if (m_strayRuns >= kStrayRunsDecide && !IsUtf8()) {
                    m_notUtf8 = true;
                    return;
                }
            }
        }
    }

    static constexpr std::uint64_t kStrayRunsDecide = 64;
    bool m_notUtf8 = false;

    long m_win = 0;
    long m_oem = 0;
    std::uint64_t m_bytes = 0;
    std::uint64_t m_continuations = 0; // of the valid UTF-8 sequences
    std::uint64_t m_marks = 0;         // combining accents that join the letter before
    std::uint64_t m_textSequences = 0; // valid sequences of characters recipe text holds
    std::uint64_t m_strayRuns = 0;
};

// UTF-8 text with stray bytes of another code page: the valid sequences as they are, each stray
// byte as the Windows-1252 character it stands for.
void AppendUtf8WithStrayBytes(std::string& out, std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t start = i;
        if (NextCodePoint(bytes, i) < 0x80 || i - start > 1)
            out.append(bytes, start, i - start);
        else
            AppendUtf8(out, CodePage::Windows1252().Decode(static_cast<unsigned char>(bytes[start])));
    }
}

// The quoted-printable decision, fed with the bytes piece by piece.
class QuotedPrintableScan
{
public:
    // Looks at the bytes of a piece from from on (the bytes before are the end of the piece
    // before); a piece ends after a line end or at the end of the text.
    void Feed(std::string_view bytes, std::size_t from)
    {
        for (std::size_t i = from; i < bytes.size(); ++i) {
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
                i += 2;
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
                column += IsContinuationByte(static_cast<unsigned char>(text[i])) ? 0 : 1;
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
            if (line->size() >= kMaxLineBytes && !IsContinuationByte(static_cast<unsigned char>(c))) {
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
            if (!IsContinuationByte(static_cast<unsigned char>(c)))
                ++column;
        }
    }
    if (!ended && line->empty())
        --count;
}

// Bytes read from a file at a time; a longer line is read whole.
constexpr std::size_t kReadPiece = std::size_t{1} << 20;

} // namespace

// The bytes of a file or a text: a file is read in pieces when a reader needs them, so that the
// whole of it is never in memory; a text is kept in memory. A file is read with plain reads, not
// mapped: another program may shorten it while it is read, and a read then comes back short
// where a mapped page would end the process.
class ImportBytes
{
public:
    explicit ImportBytes(std::string text) : m_text(std::move(text)), m_size(m_text.size()) {}
    ImportBytes(int fd, std::size_t size) : m_fd(fd), m_size(size) {}
    ~ImportBytes()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    ImportBytes(const ImportBytes&) = delete;
    ImportBytes& operator=(const ImportBytes&) = delete;

    // Bytes after the skipped prefix.
    std::size_t Size() const { return m_size - m_skip; }
    void SkipPrefix(std::size_t count) { m_skip += std::min(count, Size()); }

    // The bytes from `from` on, count of them or fewer at the end: a view into the text in memory
    // (all of the rest, whatever count asks), or read from the file into buffer. False when the
    // file gives fewer bytes than it had when it was opened, or cannot be read any more.
    bool Read(std::size_t from, std::size_t count, std::string& buffer, std::string_view& piece) const
    {
        from = std::min(from, Size());
        count = std::min(count, Size() - from);
        if (m_fd < 0) {
            piece = std::string_view(m_text).substr(m_skip + from);
            return true;
        }
        buffer.resize(count);
        std::size_t done = 0;
        while (done < count) {
            const ssize_t got =
                pread(m_fd, buffer.data() + done, count - done, static_cast<off_t>(m_skip + from + done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
            done += static_cast<std::size_t>(got);
        }
        piece = buffer;
        return true;
    }

private:
    std::string m_text;
    int m_fd = -1;
    std::size_t m_size = 0;
    std::size_t m_skip = 0;
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
    scan.Feed(bytes, 0);
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
    case FileEncoding::Utf8: {
        // Decomposed accents (as some systems write UTF-8) become the letters the program holds.
        if (IsValidUtf8(bytes))
            return ComposeAccents(bytes);
        std::string repaired;
        AppendUtf8WithStrayBytes(repaired, bytes);
        return ComposeAccents(repaired);
    }
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
// printable text decoded, the code page chosen. False when the file could not be read to its end.
bool DecideText(std::shared_ptr<ImportBytes> bytes, const std::string& name, ImportText& text)
{
    std::string buffer;
    std::string_view piece;
    if (!bytes->Read(0, 3, buffer, piece))
        return false;
    if (piece.starts_with("\xEF\xBB\xBF"))
        bytes->SkipPrefix(3);
    QuotedPrintableScan quoted;
    EncodingVote vote;
    const std::size_t size = bytes->Size();
    // Pieces end after a line end: what the decision looks at beyond a byte (a code after "=",
    // the letter after an umlaut) then lies in the same piece. Each piece starts with the two bytes
    // before it, for the signs after a number.
    for (std::size_t from = 0; from < size;) {
        const std::size_t context = std::min<std::size_t>(from, 2);
        std::size_t want = kReadPiece;
        std::size_t length = 0;
        for (;;) {
            if (!bytes->Read(from - context, context + want, buffer, piece))
                return false;
            length = piece.size() - context;
            if (from + length >= size)
                break;
            const std::size_t lineEnd = piece.find_last_of('\n');
            if (lineEnd != std::string_view::npos && lineEnd >= context) {
                length = lineEnd + 1 - context;
                break;
            }
            // A line longer than a piece is taken whole, up to four pieces: beyond that (a picture
            // or a text block of another format) the few bytes of context at a cut do not count.
            if (want >= 4 * kReadPiece) {
                length = piece.size() - context;
                break;
            }
            want *= 2;
        }
        piece = piece.substr(0, context + length);
        quoted.Feed(piece, context);
        vote.Count(piece, context, piece.size());
        from += length;
    }
    if (quoted.Result()) {
        if (!bytes->Read(0, size, buffer, piece))
            return false;
        bytes = std::make_shared<ImportBytes>(DecodeQuotedPrintable(piece));
        bytes->Read(0, bytes->Size(), buffer, piece);
        vote = EncodingVote();
        vote.Count(piece, 0, piece.size());
    }
    text.Name = name;
    text.Encoding = vote.Decision();
    text.Size = vote.Characters();
    text.Bytes = std::move(bytes);
    return true;
}

// The file opened for reading in pieces; null when it cannot be read.
std::shared_ptr<ImportBytes> OpenBytes(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat info
    {
    };
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        return std::make_shared<ImportBytes>(fd, static_cast<std::size_t>(info.st_size));
    }
    // Not a plain file (a pipe, a device): read whole as it comes.
    std::string bytes;
    char chunk[65536];
    for (;;) {
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            close(fd);
            return nullptr;
        }
        if (got == 0)
            break;
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
    close(fd);
    return std::make_shared<ImportBytes>(std::move(bytes));
}

} // namespace

bool ReadImportBytes(const ImportText& text, std::size_t from, std::size_t count, std::string& buffer,
                     std::string_view& piece)
{
    if (!text.Bytes) {
        piece = {};
        return true;
    }
    return text.Bytes->Read(from, count, buffer, piece);
}

std::size_t ImportByteCount(const ImportText& text)
{
    return text.Bytes ? text.Bytes->Size() : 0;
}

ImportText ImportTextFromString(std::string_view bytes, const std::string& name)
{
    ImportText text;
    DecideText(std::make_shared<ImportBytes>(std::string(bytes)), name, text);
    return text;
}

bool ReadImportFile(const std::string& path, ImportText& text, std::string& error)
{
    std::shared_ptr<ImportBytes> bytes = OpenBytes(path);
    if (!bytes || !DecideText(std::move(bytes), path, text)) {
        error = "Die Datei " + path + " kann nicht gelesen werden.";
        return false;
    }
    return true;
}

ImportLineReader::ImportLineReader(const ImportText& text)
    : m_bytes(text.Bytes), m_size(m_bytes ? m_bytes->Size() : 0), m_encoding(text.Encoding)
{
}

ImportLineReader::~ImportLineReader() = default;

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
    if (m_failed || m_pos >= m_size)
        return false;
    // The line end, with the byte after a CR (a CR LF ends one line); the piece in hand is
    // followed by the next one as far as needed.
    std::size_t end = 0;
    for (;;) {
        const std::size_t offset = m_pos - m_windowStart;
        const bool last = m_windowStart + m_window.size() >= m_size;
        end = offset < m_window.size() ? m_window.find_first_of("\r\n", offset) : std::string_view::npos;
        if (end != std::string_view::npos && (end + 1 < m_window.size() || last))
            break;
        if (end == std::string_view::npos && last) {
            end = m_window.size();
            break;
        }
        // A line longer than a piece is read whole, in a piece twice its length so far.
        const std::size_t partial = m_window.size() - std::min(offset, m_window.size());
        if (!m_bytes->Read(m_pos, std::max(kReadPiece, 2 * partial + 2), m_buffer, m_window)) {
            m_failed = true;
            return false;
        }
        m_windowStart = m_pos;
    }
    const std::size_t offset = m_pos - m_windowStart;
    const bool ended = end < m_window.size();
    std::string_view raw = m_window.substr(offset, end - offset);
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
    } else if (!IsValidUtf8(raw)) {
        m_decoded.clear();
        AppendUtf8WithStrayBytes(m_decoded, raw);
        raw = m_decoded;
    }
    // Only UTF-8 has combining accents; a line without one is taken as it is.
    if (m_encoding == FileEncoding::Utf8 && HasCombiningAccent(raw)) {
        m_decoded = ComposeAccents(raw);
        raw = m_decoded;
    }
    SplitLine(raw, ended, m_pending, m_pendingCount);
    m_pendingNext = 0;
    const bool crLf =
        ended && m_window[end] == '\r' && end + 1 < m_window.size() && m_window[end + 1] == '\n';
    m_pos = m_windowStart + end + (!ended ? 0 : crLf ? 2 : 1);
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
    // A damaged entry costs only its own recipes; entries are unpacked with their folders, so that
    // equal names in two folders stay apart.
    m_damaged.clear();
    for (int i = 0; i < zip.ZIPFilecount(); ++i)
        zip.ZIPSelect(i, !zip.FileInfo(i).IsFolder);
    zip.Expand(m_folder, true, &m_damaged);
    for (int i = 0; i < zip.ZIPFilecount(); ++i) {
        if (const std::string path = zip.ExpandedPath(i); !path.empty()) {
            m_files.push_back(path);
            m_names.push_back(zip.FileInfo(i).FullName);
        }
    }
    if (m_files.empty()) {
        error = kUnusable;
        for (const std::string& damaged : m_damaged)
            error += " " + damaged;
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
