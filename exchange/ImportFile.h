#pragma once
// A recipe file as the readers see it: UTF-8 lines, decoded one at a time as a reader walks the
// file, so that a file of any size is read in little memory. A first pass over the bytes decides
// how to read them: quoted-printable text is decoded first; the code page is decided per file
// (UTF-8, also with a few stray bytes of another code page, which read as Windows-1252; else
// Windows-1252 or code page 850 by the letters the bytes would give and the signs after numbers).
// CR LF, LF and a lone CR all end a line, and tabs become blanks at the usual eight-column stops,
// so that the fixed columns of a recipe line hold whatever a text editor showed. Files are read in
// pieces as the reader goes, never whole; a file that another program shortens meanwhile ends the
// reading with Failed(). Files inside ZIP archives are unpacked into a temporary folder and read
// the same way.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pf {

enum class FileEncoding { Utf8, Windows1252, Cp850 };

// The encoding a file's bytes are read in.
FileEncoding DetectEncoding(std::string_view bytes);
// True for quoted-printable text (a recipe out of a mail): it has soft line breaks or lines with
// two codes ("sch=E4len und w=FCrfeln"), and nearly every "=" starts a code. A lone "Wasser=DF"
// or the "=" rules of a Rezkonv file are ordinary text.
bool IsQuotedPrintable(std::string_view bytes);
// Codes "=XX" (capital hexadecimal digits) as the bytes they stand for, soft line breaks removed.
std::string DecodeQuotedPrintable(std::string_view bytes);
// The bytes as UTF-8 text (a leading byte-order mark dropped, quoted-printable text decoded, a
// letter and a combining accent composed, see ComposeAccents); encoding receives the decision.
std::string DecodeImportText(std::string_view bytes, FileEncoding* encoding = nullptr);
// Splits text at CR LF, LF and lone CR; a last line without line end counts, an empty text
// has no lines. Tabs are expanded to blanks at stops of eight columns; a line of more than 2048
// bytes is broken into several (at a blank near the end when there is one).
std::vector<std::string> SplitImportLines(std::string_view text);

class ImportBytes;

// One file's text and where it came from, for messages ("Datei", "Zeile"). Copies share the
// bytes; any number of readers may walk them, one after the other.
struct ImportText
{
    std::string Name; // as shown: the path, or the entry name followed by " (ZIP:" archive ")"
    FileEncoding Encoding = FileEncoding::Utf8;
    std::uint64_t Size = 0;                   // characters of text content
    std::shared_ptr<const ImportBytes> Bytes; // the bytes after the decision; null for no text
};

// The bytes of a text as they are (after a byte-order mark, quoted-printable text decoded), for a
// reader that decodes them itself: count bytes from `from` on, fewer at the end, in piece (a view
// into buffer or into the text in memory, which may run on beyond count). False when the file
// gives fewer bytes than it had when it was opened or cannot be read any more.
bool ReadImportBytes(const ImportText& text, std::size_t from, std::size_t count, std::string& buffer,
                     std::string_view& piece);
std::size_t ImportByteCount(const ImportText& text);

// Reads a file; false with a German reason when it cannot be read.
bool ReadImportFile(const std::string& path, ImportText& text, std::string& error);
// The same for text already in memory (the clipboard).
ImportText ImportTextFromString(std::string_view bytes, const std::string& name);

// Walks the lines of an ImportText as SplitImportLines would give them, decoding each line when
// it is reached; the lines before are not kept.
class ImportLineReader
{
public:
    explicit ImportLineReader(const ImportText& text);
    ~ImportLineReader();
    ImportLineReader(const ImportLineReader&) = delete;
    ImportLineReader& operator=(const ImportLineReader&) = delete;

    // Makes line the next line; false (line untouched) at the end, or when the file could not
    // be read on.
    bool Next(std::string& line);
    // The file gave fewer bytes than it had when it was opened (another program shortened it) or
    // could not be read any more: the lines so far were all there is.
    bool Failed() const { return m_failed; }
    // Bytes read so far and in all, for a progress display.
    std::uint64_t BytesRead() const { return m_pos; }
    std::uint64_t TotalBytes() const { return m_size; }

private:
    bool SplitNextLine();

    std::shared_ptr<const ImportBytes> m_bytes;
    std::size_t m_size;
    FileEncoding m_encoding;
    std::size_t m_pos = 0;
    std::string m_buffer;          // the piece of the file in hand
    std::string_view m_window;     // that piece, or the text in memory
    std::size_t m_windowStart = 0; // where the window starts in the bytes
    bool m_failed = false;
    std::string m_decoded;
    std::vector<std::string> m_pending; // the pieces of the line read last; reused
    std::size_t m_pendingCount = 0;
    std::size_t m_pendingNext = 0;
};

// True for a name ending in ".ZIP" (case ignored).
bool IsZipName(std::string_view path);

// A ZIP archive unpacked into its own temporary folder, removed again when the object goes.
class ImportZip
{
public:
    ImportZip() = default;
    ~ImportZip();
    ImportZip(const ImportZip&) = delete;
    ImportZip& operator=(const ImportZip&) = delete;

    // Unpacks every file entry that can be read; false with "Entweder keine gültige ZIP-Datei oder
    // leer..." when the archive cannot be read or no file of it can be unpacked.
    bool Open(const std::string& archive, std::string& error);
    // Paths of the unpacked files and their names inside the archive, in archive order.
    const std::vector<std::string>& Files() const { return m_files; }
    const std::vector<std::string>& Names() const { return m_names; }
    // Why each entry that could not be unpacked (a damaged one) was left out.
    const std::vector<std::string>& Damaged() const { return m_damaged; }

private:
    std::string m_folder;
    std::vector<std::string> m_damaged;
    std::vector<std::string> m_files;
    std::vector<std::string> m_names;
};

// The entries of an archive by name, for showing its content before the run; empty when unusable.
std::vector<std::string> ZipEntryNames(const std::string& archive);

} // namespace pf
