#include "exchange/MensaxImport.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Language.h"
#include "core/TextConv.h"
#include "core/Trim.h"
#include "core/Utf8.h"
#include "db/BaseData.h"
#include "db/Value.h"
#include "exchange/ExportText.h"
#include "exchange/MMImport.h"
#include "exchange/MensaxExport.h"
#include "exchange/RtfExport.h"
#include "model/ClFingerprint.h"
#include "model/ClUnit.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <strings.h>

namespace pf {

namespace {

constexpr std::size_t kPiece = std::size_t{1} << 20;

bool NameStart(int c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0x80;
}

// The element name of a start or end tag's text ("<recipe lang=...", "</recipe>").
std::string TagName(std::string_view tag)
{
    std::size_t start = tag.starts_with("</") ? 2 : 1;
    std::size_t end = start;
    while (end < tag.size() && std::strchr(" \t\r\n/>", tag[end]) == nullptr)
        ++end;
    return std::string(tag.substr(start, end - start));
}

std::string Attr(const pugi::xml_node& node, const char* key)
{
    for (const pugi::xml_attribute& a : node.attributes())
        if (strcasecmp(a.name(), key) == 0)
            return a.value();
    return {};
}

// The text directly inside an element (text and CDATA, not that of child elements), trimmed.
std::string TextOf(const pugi::xml_node& node)
{
    std::string text;
    for (const pugi::xml_node& child : node.children())
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            text += child.value();
    return std::string(Trim(text, " \t\r\n"));
}

void AppendLine(std::string& target, std::string_view text)
{
    if (!target.empty())
        target += "\r\n";
    target += text;
}

// A menu date "yyyy-mm-dd" with a year after 1899 and before 2500; nothing for any other text.
std::optional<DateSerial> MenuDate(std::string_view text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    auto number = [&](std::size_t from, std::size_t count) {
        int value = 0;
        for (std::size_t i = from; i < from + count; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    const int year = number(0, 4);
    const int month = number(5, 2);
    const int day = number(8, 2);
    if (year <= 1899 || year >= 2500 || month < 1 || month > 12 || day < 1 || day > 31)
        return std::nullopt;
    return DateSerial::FromParts(year, month, day);
}

// The line a tag starts on: its own line breaks were counted already.
long TagLine(const std::string& tag, long lineAfter)
{
    return lineAfter - static_cast<long>(std::count(tag.begin(), tag.end(), '\n'));
}

bool Blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The end of an attribute name that starts at from (before a blank, "=" or a quote).
std::size_t NameEnd(std::string_view tag, std::size_t from, std::size_t end)
{
    while (from < end && !Blank(tag[from]) && tag[from] != '=' && tag[from] != '"' && tag[from] != '\'')
        ++from;
    return from;
}

// Where the quoted value opened at from ends: at the first quote followed by the tag's end or by the
// next attribute ("name="). Failing that, at the next quote, as a lenient reader takes it.
std::size_t ClosingQuote(std::string_view tag, std::size_t from, std::size_t end)
{
    const char quote = tag[from];
    std::size_t next = std::string_view::npos;
    for (std::size_t at = tag.find(quote, from + 1); at < end; at = tag.find(quote, at + 1)) {
        if (next == std::string_view::npos)
            next = at;
        std::size_t after = at + 1;
        while (after < end && Blank(tag[after]))
            ++after;
        if (after == end)
            return at;
        std::size_t name = NameEnd(tag, after, end);
        if (name == after)
            continue;
        while (name < end && Blank(tag[name]))
            ++name;
        if (name < end && tag[name] == '=')
            return at;
    }
    return next == std::string_view::npos ? end : next;
}

using Repairs = std::vector<std::pair<std::string, std::optional<std::string>>>;

// A tag as an XML parser reads it: every attribute a name, "=" and a value in quotes, each value
// followed by a blank or the tag's end. Nearly every tag is written so and needs no repair.
bool WellFormedTag(std::string_view tag)
{
    if (tag.size() < 2 || tag.back() != '>')
        return true; // left as it is anyway
    std::size_t end = tag.size() - 1;
    if (tag[end - 1] == '/')
        --end;
    std::size_t at = 1;
    while (at < end && !Blank(tag[at]))
        ++at;
    for (;;) {
        while (at < end && Blank(tag[at]))
            ++at;
        if (at == end)
            return true;
        const std::size_t nameEnd = NameEnd(tag, at, end);
        if (nameEnd == at || nameEnd + 1 >= end || tag[nameEnd] != '=' ||
            (tag[nameEnd + 1] != '"' && tag[nameEnd + 1] != '\''))
            return false;
        const std::size_t close = tag.find(tag[nameEnd + 1], nameEnd + 2);
        if (close >= end || (close + 1 < end && !Blank(tag[close + 1])))
            return false;
        at = close + 1;
    }
}

// The start tag with its attributes as an XML parser takes them: a value without quotes is put in
// quotes, quotes inside a value are written as references, an attribute without value gets an
// empty one. Each attribute put right is added to repaired with the value now read; a character
// skipped where a name belongs, without value. Everything else stays as written, line breaks too,
// so that lines are still counted right.
std::string TolerantTag(std::string_view tag, Repairs& repaired)
{
    if (tag.size() < 2 || tag.back() != '>')
        return std::string(tag);
    std::size_t end = tag.size() - 1; // before "/>" or ">"
    for (std::size_t at = end; at > 1 && (tag[at - 1] == '/' || Blank(tag[at - 1])); --at)
        if (tag[at - 1] == '/')
            end = at - 1;
    std::size_t at = 1;
    while (at < end && !Blank(tag[at]))
        ++at;
    std::string out(tag.substr(0, at));
    while (at < end) {
        if (Blank(tag[at])) {
            out += tag[at++];
            continue;
        }
        const std::size_t nameEnd = NameEnd(tag, at, end);
        if (nameEnd == at) { // a quote or "=" where a name belongs
            repaired.emplace_back(std::string(1, tag[at++]), std::nullopt);
            continue;
        }
        const std::string name(tag.substr(at, nameEnd - at));
        out += name;
        std::size_t equals = nameEnd;
        while (equals < end && Blank(tag[equals]))
            ++equals;
        if (equals == end || tag[equals] != '=') {
            out += "=\"\"";
            repaired.emplace_back(name, "");
            at = nameEnd;
            continue;
        }
        out += tag.substr(nameEnd, equals + 1 - nameEnd);
        at = equals + 1;
        while (at < end && Blank(tag[at]))
            out += tag[at++];
        const bool quoted = at < end && (tag[at] == '"' || tag[at] == '\'');
        std::size_t valueEnd = at;
        if (quoted)
            valueEnd = ClosingQuote(tag, at, end);
        else
            while (valueEnd < end && !Blank(tag[valueEnd]))
                ++valueEnd;
        const std::string_view value = tag.substr(at + (quoted ? 1 : 0), valueEnd - at - (quoted ? 1 : 0));
        const char quote = quoted ? tag[at] : '"';
        const bool right = quoted && valueEnd < end && value.find(quote) == std::string_view::npos &&
                           (valueEnd + 1 == end || Blank(tag[valueEnd + 1]));
        std::string written(1, quote);
        for (const char c : value) {
            if (c == quote)
                written += quote == '"' ? "&quot;" : "&apos;";
            else
                written += c;
        }
        written += quote;
        if (!right) {
            repaired.emplace_back(name, std::string(value));
            if (quoted && valueEnd + 1 < end && !Blank(tag[valueEnd + 1]))
                written += ' '; // the next attribute followed without a blank
        }
        out += written;
        at = valueEnd + (quoted && valueEnd < end ? 1 : 0);
    }
    out += tag.substr(end);
    return out;
}

std::string XmlError(pugi::xml_parse_status status)
{
    switch (status) {
    case pugi::status_end_element_mismatch:
        return "Die Endmarke passt nicht zum Element";
    case pugi::status_bad_attribute:
        return "Ein Attribut ist ungültig geschrieben";
    case pugi::status_bad_cdata:
    case pugi::status_bad_comment:
    case pugi::status_bad_pi:
    case pugi::status_bad_doctype:
        return "Ein Abschnitt ist nicht abgeschlossen";
    default:
        return "Eine Markierung ist ungültig geschrieben";
    }
}

} // namespace

// One element below the root, as cut out of the file.
struct MensaxImport::Part
{
    std::string Text;
    std::string Name; // upper case
    long Line = 0;    // where it starts
    bool Complete = false;
    bool TooLarge = false;
    bool TooDeep = false;
    bool EndsRoot = false; // the root's end tag came before the part's own
    // A <recipe> or <menu> start tag came before the part's own end tag: the next part starts there.
    bool NextStarts = false;
    bool NextEmpty = false; // that tag is an empty element
    // The Base64 text of each <picbin> of a recipe's head, in order, read aside from Text.
    std::vector<std::string> Pictures;
    bool PictureTooLarge = false; // a picture's text was dropped for the picture limit
};

// An element open inside a part, as its start tag names it.
struct MensaxImport::OpenElement
{
    std::string Name; // as written
    long Line = 0;
    std::string Key;  // the name in capitals, as tags are matched
};

// Walks the bytes of a file once, token by token, counting lines; while a part is being cut out,
// every byte read goes into it (a stray "<" in text as "&lt;"), except text read aside.
class MensaxImport::Scanner
{
public:
    Scanner(const ImportText& text, std::size_t maxPart, std::size_t maxAside)
        : m_text(text), m_size(ImportByteCount(text)), m_maxPart(maxPart), m_maxAside(maxAside)
    {
    }

    enum class Token { End, Text, StartTag, EmptyTag, EndTag, Other, EntityDoctype };

    // The next token; its text in Tag for start and end tags (at most kMaxTag bytes of it).
    Token Next()
    {
        int c = Read();
        if (c < 0)
            return Token::End;
        if (c != '<' && m_aside != nullptr)
            return TextAside(c);
        Keep(c);
        if (c != '<') {
            while ((c = Get()) >= 0 && c != '<') {
            }
            if (c == '<')
                Unget(c);
            return Token::Text;
        }
        const int first = Get();
        if (first == '/')
            return ReadTag("</");
        if (first == '?') {
            SkipUntil("?>");
            return Token::Other;
        }
        if (first == '!')
            return ReadDeclaration();
        if (first >= 0 && NameStart(first))
            return ReadTag(std::string("<") + static_cast<char>(first));
        // A "<" that starts no markup is text that should have been written "&lt;".
        if (first >= 0)
            Unget(first);
        if (m_part && !m_part->TooLarge) {
            m_part->Text.pop_back();
            Append("&lt;");
        }
        return Token::Text;
    }

    void StartPart(Part& part, const std::string& tag)
    {
        m_part = &part;
        part.Text = tag;
        part.TooLarge = m_tagCut;
    }
    void EndPart()
    {
        m_part = nullptr;
        m_aside = nullptr;
    }
    // Text that follows goes into aside instead of the part, only its Base64 characters, until
    // the next tag; null: into the part again.
    void ReadAside(std::string* aside) { m_aside = aside; }

    const std::string& Tag() const { return m_tag; }
    long Line() const { return m_line; }
    std::size_t Position() const { return m_pos; }
    std::size_t Size() const { return m_size; }
    bool Failed() const { return m_failed; }

private:
    static constexpr std::size_t kMaxTag = std::size_t{64} << 10;

    // The next byte, not yet kept in the part.
    int Read()
    {
        if (m_unget >= 0) {
            const int c = m_unget;
            m_unget = -1;
            return c;
        }
        if (m_at >= m_piece.size() && !Fill())
            return -1;
        const int c = static_cast<unsigned char>(m_piece[m_at++]);
        ++m_pos;
        if (c == '\n') {
            if (!m_afterCr)
                ++m_line;
            m_afterCr = false;
        } else if (c == '\r') {
            ++m_line;
            m_afterCr = true;
        } else {
            m_afterCr = false;
        }
        return c;
    }
    void Keep(int c)
    {
        if (m_part) {
            const char byte = static_cast<char>(c);
            Append(std::string_view(&byte, 1));
        }
    }
    int Get()
    {
        const int c = Read();
        if (c >= 0)
            Keep(c);
        return c;
    }

    // A text read aside up to the next "<"; references such as "&#13;" are skipped, as a picture's
    // Base64 text holds none of its own.
    Token TextAside(int c)
    {
        for (; c >= 0 && c != '<'; c = Read()) {
            if (c == '&') {
                for (int n = 0; n < 12 && c >= 0 && c != ';' && c != '<'; ++n)
                    c = Read();
                if (c == '<')
                    break;
                continue;
            }
            if (Base64Value(static_cast<char>(c)) < 0 || m_part->PictureTooLarge)
                continue;
            if (m_aside->size() < m_maxAside) {
                m_aside->push_back(static_cast<char>(c));
            } else {
                m_part->PictureTooLarge = true;
                std::string().swap(*m_aside);
            }
        }
        if (c == '<')
            m_unget = c;
        return Token::Text;
    }

    // Gives the character read last back; the part forgets it until it is read again.
    void Unget(int c)
    {
        m_unget = c;
        if (m_part && !m_part->TooLarge && !m_part->Text.empty())
            m_part->Text.pop_back();
    }

    bool Fill()
    {
        if (m_failed || m_pos >= m_size)
            return false;
        if (!ReadImportBytes(m_text, m_pos, kPiece, m_buffer, m_piece) || m_piece.empty()) {
            m_failed = true;
            return false;
        }
        m_at = 0;
        return true;
    }

    void Append(std::string_view text)
    {
        if (m_part->TooLarge)
            return;
        if (m_part->Text.size() + text.size() <= m_maxPart)
            m_part->Text += text;
        else
            m_part->TooLarge = true;
    }

    // A start or end tag up to its ">" outside quotes.
    Token ReadTag(std::string begin)
    {
        m_tag = std::move(begin);
        m_tagCut = false;
        int quote = 0;
        int c;
        int last = 0;
        while ((c = Get()) >= 0) {
            if (m_tag.size() < kMaxTag)
                m_tag += static_cast<char>(c);
            else
                m_tagCut = true;
            if (quote != 0) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                if (m_tag.starts_with("</"))
                    return Token::EndTag;
                return last == '/' ? Token::EmptyTag : Token::StartTag;
            }
            if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
                last = c;
        }
        return m_tag.starts_with("</") ? Token::EndTag : Token::StartTag;
    }

    void SkipUntil(std::string_view end)
    {
        std::string tail;
        int c;
        while ((c = Get()) >= 0) {
            tail += static_cast<char>(c);
            if (tail.size() > end.size())
                tail.erase(0, 1);
            if (tail == end)
                return;
        }
    }

    // After "<!": a comment, a CDATA section, or a declaration such as the document type, whose
    // internal subset is looked through for entity declarations.
    Token ReadDeclaration()
    {
        int c = Get();
        if (c == '-') {
            if (Get() == '-')
                SkipUntil("-->");
            return Token::Other;
        }
        if (c == '[') {
            SkipUntil("]]>");
            return Token::Other;
        }
        int depth = 0;
        int quote = 0;
        std::string window;
        bool entity = false;
        for (; c >= 0; c = Get()) {
            window += static_cast<char>(c);
            if (window.size() > 8)
                window.erase(0, 1);
            if (ToUpperAscii(window) == "<!ENTITY")
                entity = true;
            if (quote != 0) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '[') {
                ++depth;
            } else if (c == ']') {
                --depth;
            } else if (c == '>' && depth <= 0) {
                break;
            }
        }
        return entity ? Token::EntityDoctype : Token::Other;
    }

    const ImportText& m_text;
    std::size_t m_size;
    std::size_t m_maxPart;
    std::size_t m_maxAside;
    std::string* m_aside = nullptr;
    std::string m_buffer;
    std::string_view m_piece;
    std::size_t m_at = 0;
    std::size_t m_pos = 0;
    long m_line = 1;
    bool m_afterCr = false;
    bool m_failed = false;
    int m_unget = -1;
    std::string m_tag;
    bool m_tagCut = false; // the tag was longer than kMaxTag
    Part* m_part = nullptr;

    friend class MensaxImport;
};

MensaxImport::MensaxImport(ClUnit& units, DateSerial importDate) : m_units(units), m_importDate(importDate) {}

MensaxImport::~MensaxImport() = default;

void MensaxImport::SetLimits(std::size_t maxElementBytes, std::size_t maxPictureBytes)
{
    m_maxElementBytes = maxElementBytes;
    m_maxPictureBytes = maxPictureBytes;
}

Blob MensaxImport::DecodeBase64(std::string_view text)
{
    Blob out;
    out.reserve(text.size() / 4 * 3);
    unsigned buffer = 0;
    int bits = 0;
    for (const char c : text) {
        const int value = Base64Value(c);
        if (value < 0)
            continue; // padding, line breaks, blanks
        buffer = (buffer << 6) | static_cast<unsigned>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<std::uint8_t>((buffer >> bits) & 0xFF));
        }
    }
    return out;
}

void MensaxImport::Problem(long line, const std::string& reason, bool lost)
{
    m_sink->ReadProblem(m_file->Name, line, reason, lost);
}

void MensaxImport::NodeError(const std::string& path, const std::string& expected, long line)
{
    // Each unknown element once per file: a file of other origin repeats it in every recipe.
    if (!m_reported.insert(path).second)
        return;
    Problem(line,
            "Mensax/XML Fehler: Knoten \"" + path + "\" wird nicht unterstützt und daher ignoriert." +
                (expected.empty() ? std::string() : " Erwartet: " + expected),
            false);
}

long MensaxImport::LineOf(const Part& part, std::ptrdiff_t offset) const
{
    long line = part.Line;
    const std::size_t end =
        std::min(part.Text.size(), static_cast<std::size_t>(std::max<std::ptrdiff_t>(offset, 0)));
    for (std::size_t i = 0; i < end; ++i) {
        if (part.Text[i] == '\n' && (i == 0 || part.Text[i - 1] != '\r'))
            ++line;
        else if (part.Text[i] == '\r')
            ++line;
    }
    return line;
}

long MensaxImport::UnitIndex(const std::string& name)
{
    if (auto it = m_unitIndex.find(name); it != m_unitIndex.end())
        return it->second;
    // The writer's own names (the British short names) first, as written; then any name.
    long index = 0;
    const int count = m_units.Count();
    for (int i = 1; i <= count && index == 0; ++i)
        if (m_units.GetData(i).UnitNameE == name)
            index = i;
    if (index == 0)
        index = m_units.SearchforName(name);
    m_unitIndex.emplace(name, index);
    return index;
}

void MensaxImport::DropRepeatedSource(ImportRecipe& recipe)
{
    if (recipe.SourceText.empty() || recipe.Notizen.empty())
        return;
    auto lines = [](const std::string& text) {
        std::vector<std::string> out;
        std::size_t start = 0;
        while (start <= text.size()) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            const std::string line(Trim(std::string_view(text).substr(start, end - start), " \t\r"));
            if (!line.empty())
                out.push_back(line);
            start = end + 1;
        }
        return out;
    };
    const std::vector<std::string> source = lines(recipe.SourceText);
    std::vector<std::string> notes = lines(recipe.Notizen);
    if (source.empty() || notes.size() < source.size() ||
        !std::equal(source.begin(), source.end(), notes.end() - static_cast<std::ptrdiff_t>(source.size())))
        return;
    notes.resize(notes.size() - source.size());
    recipe.Notizen.clear();
    for (const std::string& line : notes)
        AppendLine(recipe.Notizen, line);
}

long MensaxImport::ReadFile(const ImportText& file, MMImportSink& sink)
{
    m_file = &file;
    m_sink = &sink;
    m_reported.clear();
    m_declined = false;
    long count = 0;

    // Without its end tag the file may be cut short: ask before anything is read.
    if (!EndTagFoundOrAccepted(file)) {
        m_declined = true;
        return 0;
    }

    // Base64 text is four characters for three bytes.
    Scanner scan(file, m_maxElementBytes, m_maxPictureBytes / 3 * 4 + 4);
    if (!ReadRoot(scan, sink))
        return 0;

    bool ended = false;
    bool cut = false;
    Part part;
    while (!ended && !sink.Cancelled()) {
        const Scanner::Token token = !part.NextStarts ? scan.Next()
                                     : part.NextEmpty ? Scanner::Token::EmptyTag
                                                      : Scanner::Token::StartTag;
        if (token == Scanner::Token::End)
            break;
        if (token == Scanner::Token::EndTag) {
            ended = true;
            break;
        }
        if (token != Scanner::Token::StartTag && token != Scanner::Token::EmptyTag)
            continue;
        part = Part();
        ReadWholePart(scan, token == Scanner::Token::StartTag, part);
        const bool recipe = part.Name == "RECIPE";
        if (!part.Complete) {
            Problem(scan.Line(),
                    "Die Datei endet mitten im Element <" + ToLower(part.Name) + "> ab Zeile " +
                        std::to_string(part.Line) +
                        (recipe ? "; dieses Rezept wurde nicht importiert." : "."),
                    recipe);
            cut = true;
            break;
        }
        if (part.TooLarge || part.TooDeep) {
            Problem(part.Line,
                    "Das Element <" + ToLower(part.Name) + "> ist " +
                        (part.TooLarge
                             ? "größer als " + std::to_string(m_maxElementBytes >> 20) + " MB"
                             : "tiefer als " + std::to_string(kMaxDepth) + " Ebenen verschachtelt") +
                        " und wird nicht gelesen.",
                    recipe);
        } else if (recipe) {
            ReadPart(part);
            ++count;
        } else if (part.Name == "MENU") {
            ReadPart(part);
        } else {
            NodeError("/" + part.Name, "RECIPE, MENU", part.Line);
        }
        sink.Progress(scan.Position(), scan.Size());
        ended = part.EndsRoot;
    }
    if (scan.Failed())
        Problem(scan.Line(),
                "Die Datei wurde während des Lesens gekürzt oder verändert; der Rest der Datei kann nicht "
                "gelesen werden.",
                false);
    else if (!ended && !cut && !sink.Cancelled())
        Problem(scan.Line(), "Die Datei endet ohne die Endmarke </mensax>.", false);
    m_file = nullptr;
    m_sink = nullptr;
    return count;
}

bool MensaxImport::EndTagFoundOrAccepted(const ImportText& file)
{
    const std::size_t size = ImportByteCount(file);
    const std::size_t tail = std::min<std::size_t>(size, 65536);
    std::string buffer;
    std::string_view piece;
    if (!ReadImportBytes(file, size - tail, tail, buffer, piece) ||
        ToUpperAscii(piece.substr(0, tail)).find("</MENSAX") != std::string::npos)
        return true;
    return UI().Ask("Warnung: MENSAX/XML Endmarke </mensax> nicht gefunden. Die Import-Daten sind eventuell "
                    "fehlerhaft.\r\nTrotzdem fortfahren ?",
                    Buttons::YesNo, Answer::Yes, MsgIcon::Warning, "Mensax Import") == Answer::Yes;
}

// Reads up to the root element and reports the file's information; false when there is no
// Mensax root, or it is empty.
bool MensaxImport::ReadRoot(Scanner& scan, MMImportSink& sink)
{
    Scanner::Token token;
    for (;;) {
        token = scan.Next();
        if (token == Scanner::Token::End) {
            Problem(scan.Line(), "In der Datei steht kein Mensax-Element <mensax>.", false);
            return false;
        }
        if (token == Scanner::Token::EntityDoctype) {
            Problem(scan.Line(),
                    "Die Datei erklärt in ihrer Dokumenttyp-Angabe eigene Entitäten und wird aus "
                    "Sicherheitsgründen nicht gelesen.",
                    false);
            return false;
        }
        if (token == Scanner::Token::StartTag || token == Scanner::Token::EmptyTag)
            break;
    }
    const std::string rootName = ToUpperAscii(TagName(scan.Tag()));
    if (rootName != "MENSAX") {
        NodeError("/" + rootName, "MENSAX", scan.Line());
        return false;
    }
    {
        pugi::xml_document root;
        std::string tag = RepairedTag(scan.Tag(), TagLine(scan.Tag(), scan.Line()));
        if (token == Scanner::Token::StartTag)
            tag.insert(tag.size() - 1, "/");
        if (root.load_buffer(tag.data(), tag.size(), pugi::parse_default, pugi::encoding_utf8)) {
            const pugi::xml_node node = root.first_child();
            std::string info = "Mensax Information: Version = " + Attr(node, "version") +
                               ", Export Program = " + Attr(node, "prog") + " v." + Attr(node, "progver");
            if (const std::string name = Attr(node, "name"); !name.empty())
                info += "\r\nImport-Set-Name = " + name;
            sink.ReadInfo(info);
        }
    }
    return token != Scanner::Token::EmptyTag;
}

// Reads the element whose start tag the scanner stands on through its end tag (an empty element
// has no content), keeping the elements open inside it to close those whose end tag is missing.
// Recipes and menus never nest: the start tag of one ends the part before it. A recipe's pictures
// are read aside.
void MensaxImport::ReadWholePart(Scanner& scan, bool withContent, Part& part)
{
    part.Name = ToUpperAscii(TagName(scan.Tag()));
    part.Line = TagLine(scan.Tag(), scan.Line());
    scan.StartPart(part, RepairedTag(scan.Tag(), part.Line));
    std::vector<OpenElement> open;
    if (withContent)
        open.push_back({TagName(scan.Tag()), part.Line, part.Name});
    long deeper = 0; // levels beyond kMaxDepth, only counted: the part is refused
    while (!open.empty()) {
        const Scanner::Token inner = scan.Next();
        if (inner == Scanner::Token::End)
            break;
        if (inner == Scanner::Token::EndTag) {
            scan.ReadAside(nullptr);
            if (deeper > 0)
                --deeper;
            else if ((part.EndsRoot = CloseElement(scan, part, open)))
                break;
            continue;
        }
        if (inner != Scanner::Token::StartTag && inner != Scanner::Token::EmptyTag)
            continue;
        scan.ReadAside(nullptr);
        const std::string& tag = scan.Tag();
        const long line = TagLine(tag, scan.Line());
        const std::string name = TagName(tag);
        const std::string key = ToUpperAscii(name);
        if ((part.Name == "RECIPE" || part.Name == "MENU") && (key == "RECIPE" || key == "MENU")) {
            EndUnclosed(part, open, 0, tag, line, TakeTagFromText(part, tag));
            open.clear();
            part.NextStarts = true;
            part.NextEmpty = inner == Scanner::Token::EmptyTag;
            break;
        }
        if (const std::string repaired = RepairedTag(tag, line);
            repaired != tag && !part.TooLarge && part.Text.ends_with(tag))
            part.Text.replace(part.Text.size() - tag.size(), tag.size(), repaired);
        if (part.Name == "RECIPE" && open.size() == 2 && open[1].Key == "HEAD" && key == "PICBIN") {
            part.Pictures.emplace_back();
            if (inner == Scanner::Token::StartTag)
                scan.ReadAside(&part.Pictures.back());
        }
        if (inner == Scanner::Token::EmptyTag)
            continue;
        if (open.size() >= static_cast<std::size_t>(kMaxDepth) || deeper > 0) {
            part.TooDeep = true;
            ++deeper;
        } else {
            open.push_back({name, line, key});
        }
    }
    scan.EndPart();
    part.Complete = open.empty();
}

bool MensaxImport::TakeTagFromText(Part& part, const std::string& tag)
{
    const bool inText = !part.TooLarge && part.Text.ends_with(tag);
    if (inText)
        part.Text.resize(part.Text.size() - tag.size());
    return inText;
}

bool MensaxImport::CloseElement(const Scanner& scan, Part& part, std::vector<OpenElement>& open)
{
    const std::string& tag = scan.Tag();
    const std::string name = ToUpperAscii(TagName(tag));
    const auto match = std::find_if(open.rbegin(), open.rend(), [&](const OpenElement& element) {
        return element.Key == name;
    });
    const bool root = match == open.rend() && name == "MENSAX";
    // The first element closed without its end tag; an end tag of no open element closes the
    // innermost one, and the parser reports the mismatch.
    const std::size_t first = root                   ? 0
                              : match == open.rend() ? open.size()
                                                     : open.size() - (match - open.rbegin());
    if (first == open.size()) {
        open.pop_back();
        return false;
    }
    // Their end tags go before this one; the root's end tag is no part of the part.
    const bool inText = TakeTagFromText(part, tag);
    EndUnclosed(part, open, first, tag, TagLine(tag, scan.Line()), inText);
    if (inText && !root)
        part.Text += tag;
    open.resize(first);
    if (!root)
        open.pop_back();
    return root;
}

void MensaxImport::EndUnclosed(Part& part, const std::vector<OpenElement>& open, std::size_t first,
                               const std::string& tag, long line, bool inText)
{
    const std::string before = (tag.starts_with("</") ? "</" : "<") + ToLower(Utf8Of(TagName(tag))) + ">";
    for (std::size_t i = open.size(); i-- > first;) {
        if (inText)
            part.Text += "</" + open[i].Name + ">";
        Problem(open[i].Line,
                "Das Element <" + ToLower(Utf8Of(open[i].Name)) + "> hat keine Endmarke und wurde bis vor " +
                    before + " in Zeile " + std::to_string(line) + " gelesen.",
                false);
    }
}

std::string MensaxImport::Utf8Of(std::string text) const
{
    // The file's bytes in the code page they were decided to be in.
    if (m_file->Encoding == FileEncoding::Windows1252)
        return Win1252ToUtf8(text);
    if (m_file->Encoding == FileEncoding::Cp850)
        return Cp850ToUtf8(text);
    return HasCombiningAccent(text) ? ComposeAccents(text) : text;
}

std::string MensaxImport::RepairedTag(const std::string& tag, long line)
{
    if (WellFormedTag(tag))
        return tag;
    Repairs repaired;
    std::string result = TolerantTag(tag, repaired);
    if (repaired.empty())
        return result;
    std::string list;
    for (const auto& [name, value] : repaired)
        list += (list.empty() ? "" : ", ") +
                (value ? Utf8Of(name) + " = „" + Utf8Of(*value) + "“" : "„" + name + "“ übergangen");
    Problem(line,
            "Mensax/XML Fehler: Im Element <" + ToLower(Utf8Of(TagName(tag))) +
                "> sind Attribute ungültig geschrieben; gelesen wurde: " + list + ".",
            false);
    return result;
}

void MensaxImport::ReadPart(Part& part)
{
    part.Text = Utf8Of(std::move(part.Text));
    pugi::xml_document doc;
    const pugi::xml_parse_result result =
        doc.load_buffer(part.Text.data(), part.Text.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!result) {
        const long line = LineOf(part, result.offset);
        const std::size_t from = static_cast<std::size_t>(std::max<std::ptrdiff_t>(result.offset, 0));
        std::string near = part.Text.substr(std::min(from, part.Text.size()), 40);
        near = near.substr(0, near.find_first_of("\r\n"));
        Problem(line,
                "Mensax/XML Fehler: " + XmlError(result.status) + " (bei \"" + near + "\"); " +
                    (part.Name == "MENU" ? "das Menü" : "das Rezept") + " ab Zeile " +
                    std::to_string(part.Line) + " wurde nicht importiert.",
                part.Name != "MENU");
        return;
    }
    if (part.Name == "MENU")
        ReadMenu(doc.document_element(), part);
    else
        ReadRecipe(doc.document_element(), part);
}

void MensaxImport::ReadMenu(const pugi::xml_node& node, const Part& part)
{
    ImportMenu menu;
    menu.File = m_file->Name;
    menu.Line = part.Line;
    menu.Title = Attr(node, "title");
    menu.Amount = LeadingLong(Attr(node, "amount"));
    menu.Date = DateSerial{std::floor(m_importDate.Days)};
    if (const std::optional<DateSerial> date = MenuDate(Attr(node, "date")))
        menu.Date = *date;
    // Descriptions are kept as plain text: a formatted variant is used only when the file gives
    // no plain one, as its plain text.
    std::string rtfDescription;
    std::string rtfNotices;
    for (const pugi::xml_node& child : node.children()) {
        if (child.type() != pugi::node_element)
            continue;
        const std::string name = ToUpperAscii(child.name());
        if (name == "MRECIPE") {
            ImportCourse course;
            course.Title = Attr(child, "title");
            course.Amount = LeadingLong(Attr(child, "amount"));
            ClFingerprint fingerprint;
            if (const std::string rid = Attr(child, "rid"); !rid.empty() && fingerprint.RIDZerlegen(rid)) {
                course.FP1 = fingerprint.FP1();
                course.FP2 = fingerprint.FP2();
            }
            for (const pugi::xml_node& inner : child.children()) {
                if (inner.type() != pugi::node_element)
                    continue;
                if (ToUpperAscii(inner.name()) == "DESC")
                    course.Desc = NormalizeLineBreaks(TextOf(inner));
                else
                    NodeError("/MENU/MRECIPE/" + ToUpperAscii(inner.name()), "",
                              LineOf(part, inner.offset_debug()));
            }
            menu.Courses.push_back(std::move(course));
        } else if (name == "FRONTPAGE" || name == "BACKPAGE") {
            const bool rtf = ToUpperAscii(Trim(Attr(child, "datatype"), " \t")) == "RTF";
            std::string& target = name == "FRONTPAGE" ? (rtf ? rtfDescription : menu.Description)
                                                      : (rtf ? rtfNotices : menu.Notices);
            if (target.empty())
                target = NormalizeLineBreaks(rtf ? RtfPlainText(TextOf(child)) : TextOf(child));
        } else {
            NodeError("/MENU/" + name, "", LineOf(part, child.offset_debug()));
        }
    }
    if (menu.Description.empty())
        menu.Description = rtfDescription;
    if (menu.Notices.empty())
        menu.Notices = rtfNotices;
    if (!menu.Courses.empty())
        m_sink->StoreMenu(menu);
}

void MensaxImport::ReadRecipe(const pugi::xml_node& node, const Part& part)
{
    m_rec = ImportRecipe();
    m_rec.File = m_file->Name;
    m_rec.Line = part.Line;
    m_rec.ImportDate = m_importDate;
    m_rec.ImportSource = 6;
    m_rec.LanguageID = -1;
    const std::string lang = ToUpperAscii(Attr(node, "lang"));
    for (long id = 1; id < kLanguageCount && !lang.empty(); ++id) {
        if (LanguageShort(id).substr(1, 2) == lang) {
            m_rec.LanguageID = id;
            break;
        }
    }
    m_picture = 0;
    WalkRecipe(node, "/RECIPE", part);
    if (part.PictureTooLarge)
        Problem(part.Line,
                "Das Bild des Rezepts \"" + m_rec.Title + "\" ist größer als " +
                    std::to_string(m_maxPictureBytes >> 20) +
                    " MB und wurde nicht gelesen; das Rezept wird ohne dieses Bild importiert.",
                false);
    DropRepeatedSource(m_rec);
    m_sink->StoreRecipe(m_rec);
}

void MensaxImport::WalkRecipe(const pugi::xml_node& node, const std::string& path, const Part& part)
{
    for (const pugi::xml_node& child : node.children()) {
        if (child.type() != pugi::node_element)
            continue;
        const std::string childPath = path + "/" + ToUpperAscii(child.name());
        if (RecipeElement(childPath, child, part))
            WalkRecipe(child, childPath, part);
    }
}

ImportIngredient MensaxImport::IngredientOf(const pugi::xml_node& node)
{
    ImportIngredient line;
    if (const std::string rid = Attr(node, "rid"); !rid.empty()) {
        ClFingerprint fingerprint;
        if (fingerprint.RIDZerlegen(rid)) {
            const long id = m_sink->RecipeByFingerprint(fingerprint.FP1(), fingerprint.FP2());
            if (id != 0) {
                line.IsRecipe = true;
                line.RefID = std::to_string(id);
            }
        }
    }
    line.AmountText = Attr(node, "qty");
    line.Amount = MMImport::ParseAmount(Trim(line.AmountText, " \t"));
    line.Text = Attr(node, "item");
    if (const std::string unit(Trim(Attr(node, "unit"), " \t")); !unit.empty()) {
        const long index = UnitIndex(unit);
        if (index > 0) {
            line.UnitID = m_units.GetData(static_cast<int>(index)).id;
            line.UnitText = unit;
        } else {
            // A unit this database does not know stays in the text rather than being lost.
            line.Text = unit + (line.Text.empty() ? "" : " ") + line.Text;
        }
    }
    if (!line.IsRecipe) {
        const std::string code(Trim(Attr(node, "bls"), " \t"));
        const long key = code.empty() ? 0 : m_sink->FoodKeyByCode(code);
        line.RefID = std::to_string(key);
    }
    return line;
}

bool MensaxImport::RecipeElement(const std::string& path, const pugi::xml_node& node, const Part& part)
{
    ImportRecipe& rec = m_rec;
    if (path == "/RECIPE/HEAD") {
        rec.Title = Attr(node, "title");
        rec.MenuCardTitle = rec.Title;
        rec.Servings = LeadingLong(Attr(node, "servingqty"));
        rec.YieldUnitText = Attr(node, "servingtype");
        ClFingerprint fingerprint;
        if (const std::string rid = Attr(node, "rid"); !rid.empty() && fingerprint.RIDZerlegen(rid)) {
            rec.FP1 = fingerprint.FP1();
            rec.FP2 = fingerprint.FP2();
        }
        auto minutes = [&](const char* key) {
            return DateSerial{static_cast<double>(LeadingLong(Attr(node, key))) / 1440.0};
        };
        rec.PreparationTime = minutes("timeprepqty");
        rec.CookingTime = minutes("timecookqty");
        if (rec.CookingTime.Days == 0)
            rec.CookingTime = minutes("timeallqty");
        return true;
    }
    if (path == "/RECIPE/HEAD/CAT") {
        if (const std::string name = TextOf(node); !name.empty())
            rec.Categories.push_back(name);
        return false;
    }
    if (path == "/RECIPE/HEAD/HINT") {
        const std::string value = TextOf(node);
        std::size_t start = 0;
        while (start <= value.size()) {
            const std::size_t comma = std::min(value.find(',', start), value.size());
            const std::string name(Trim(std::string_view(value).substr(start, comma - start), " \t"));
            if (!name.empty())
                rec.Categories.push_back(name);
            start = comma + 1;
        }
        return false;
    }
    if (path == "/RECIPE/HEAD/SOURCELINE") {
        AppendLine(rec.SourceText, TextOf(node));
        return false;
    }
    if (path == "/RECIPE/HEAD/CARD") {
        rec.MenuCardTitle = TextOf(node);
        return false;
    }
    if (path == "/RECIPE/HEAD/PICBIN") {
        // Its text was read aside; what follows a comment or CDATA inside it is still in the node.
        const std::string rest = TextOf(node);
        const std::string* aside = m_picture < part.Pictures.size() ? &part.Pictures[m_picture++] : nullptr;
        rec.Picture = aside == nullptr ? DecodeBase64(rest)
                      : rest.empty()   ? DecodeBase64(*aside)
                                       : DecodeBase64(*aside + rest);
        rec.PictureType = PictureFileType(rec.Picture, false);
        return false;
    }
    if (path == "/RECIPE/HEAD/REMARK/LINE" || path == "/RECIPE/REMARK/LINE") {
        AppendLine(rec.Notizen, TextOf(node));
        return false;
    }
    if (path == "/RECIPE/PART") {
        const std::string title = Attr(node, "title");
        if (!rec.Lines.empty() || !title.empty()) {
            ImportIngredient separator;
            separator.IsTrenner = true;
            separator.Text = title;
            rec.Lines.push_back(std::move(separator));
        }
        return true;
    }
    if (path == "/RECIPE/PART/INGREDIENT") {
        rec.Lines.push_back(IngredientOf(node));
        return true;
    }
    if (path == "/RECIPE/PART/INGREDIENT/INOTE") {
        rec.Lines.back().Verarbeitung = TextOf(node);
        return false;
    }
    if (path == "/RECIPE/PART/INGREDIENT/PREPARATION") {
        rec.Lines.back().Zubereitung = TextOf(node);
        return false;
    }
    if (path == "/RECIPE/PREPARATION/TEXT" || path == "/RECIPE/PREPARATION/STEP") {
        AppendLine(rec.Zubereitung, TextOf(node));
        return false;
    }
    static const char* const kContainers[] = {
        "/RECIPE/HEAD/PICTURE", "/RECIPE/HEAD/CUSTOM", "/RECIPE/HEAD/CONTENT", "/RECIPE/HEAD/REMARK",
        "/RECIPE/CUSTOM",       "/RECIPE/REMARK",      "/RECIPE/PREPARATION",  "/RECIPE/PREPARATION/REMARK"};
    for (const char* container : kContainers)
        if (path == container)
            return true;
    NodeError(path, "", LineOf(part, node.offset_debug()));
    return false;
}

} // namespace pf
