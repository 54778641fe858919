#include "core/TextConv.h"

#include "core/AppContext.h"
#include "core/CodePage.h"
#include "core/Settings.h"
#include "core/Utf8.h"

#include <array>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace pf {

namespace {

namespace fs = std::filesystem;

// Umlauts and their digraphs, pair by pair; "Ü", "Ö", "Ä" stand twice, and only their first
// (mixed-case) digraph is ever produced when umlauts are turned into digraphs.
constexpr std::u32string_view kUmlauts = U"üöäÜÖÄÜÖÄß";
constexpr std::u32string_view kDigraphs = U"ueoeaeUeOeAeUEOEAEss";
constexpr std::size_t kPairCount = 10;

std::u32string Lowered(std::u32string_view text)
{
    std::u32string out(text);
    for (char32_t& cp : out)
        cp = ToLowerCp(cp);
    return out;
}

std::u32string Uppered(std::u32string_view text)
{
    std::u32string out(text);
    for (char32_t& cp : out)
        cp = ToUpperCp(cp);
    return out;
}

// A numeric field: optional blanks, sign, digits with at most one decimal point, optional exponent.
// The decimal point is always "."; the reading never depends on the locale.
bool ParseNumber(std::string_view field, double& value)
{
    const std::size_t first = field.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return false;
    std::string_view text = field.substr(first, field.find_last_not_of(" \t") - first + 1);
    bool negative = false;
    if (text.front() == '+' || text.front() == '-') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() == '+' || text.front() == '-')
        return false;
    double parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size())
        return false;
    // from_chars also reads "inf" and "nan", which no numeric field means.
    for (char c : text) {
        if (c != '.' && c != 'e' && c != 'E' && c != '+' && c != '-' && (c < '0' || c > '9'))
            return false;
    }
    value = negative ? -parsed : parsed;
    return true;
}

// The characters that mark text read from a DOS file in the wrong code page: the Windows-1252
// characters whose bytes are ü é â ä à ç ê Ä ö ô ò û ù Ö Ü ß in code page 850.
const std::vector<std::string>& OemMarkers()
{
    static const std::vector<std::string> markers = [] {
        std::vector<std::string> list;
        constexpr std::array<unsigned char, 16> kBytes = {0x81, 0x82, 0x83, 0x84, 0x85, 0x87, 0x88, 0x8E,
                                                          0x94, 0x93, 0x95, 0x96, 0x97, 0x99, 0x9A, 0xE1};
        for (unsigned char byte : kBytes) {
            std::string one;
            AppendUtf8(one, CodePage::Windows1252().Decode(byte));
            list.push_back(one);
        }
        return list;
    }();
    return markers;
}

bool ContainsAny(std::string_view text, const std::vector<std::string>& needles)
{
    for (const std::string& needle : needles) {
        if (text.find(needle) != std::string_view::npos)
            return true;
    }
    return false;
}

constexpr std::array<unsigned char, 44> kQuotedPrintable = {
    0xE4, 0xF6, 0xFC, 0xC4, 0xD6, 0xDC, 0xDF, 0xB0, 0xA7, 0x3D, 0xE0, 0xE1, 0xE8, 0xE9, 0xEE,
    0xC0, 0xC1, 0xC6, 0xC8, 0xC9, 0xCA, 0xCC, 0xCD, 0xCE, 0xD2, 0xD3, 0xD4, 0xD8, 0xD9, 0xDB,
    0xE2, 0xE5, 0xE6, 0xEA, 0xEC, 0xED, 0xEF, 0xF2, 0xF3, 0xF4, 0xF8, 0xF9, 0xFA, 0xFB};

// Combining marks and the letters of Windows-1252 they form: bases[i] with the mark is composed[i].
struct Composition
{
    char32_t mark;
    std::string_view bases;
    std::u32string_view composed;
};
constexpr std::array<Composition, 8> kCompositions = {{
    {0x0300, "AEIOUaeiou", U"ÀÈÌÒÙàèìòù"},
    {0x0301, "AEIOUYaeiouy", U"ÁÉÍÓÚÝáéíóúý"},
    {0x0302, "AEIOUaeiou", U"ÂÊÎÔÛâêîôû"},
    {0x0303, "ANOano", U"ÃÑÕãñõ"},
    {0x0308, "AEIOUYaeiouy", U"ÄËÏÖÜŸäëïöüÿ"},
    {0x030A, "Aa", U"Åå"},
    {0x030C, "SZsz", U"ŠŽšž"},
    {0x0327, "Cc", U"Çç"},
}};

std::string ReadWholeFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace

std::string Cp850ToUtf8(std::string_view bytes)
{
    return CodePage::Cp850().ToUtf8(bytes);
}
std::string Utf8ToCp850(std::string_view text)
{
    return CodePage::Cp850().FromUtf8(text);
}
std::string Win1252ToUtf8(std::string_view bytes)
{
    return CodePage::Windows1252().ToUtf8(bytes);
}
std::string Utf8ToWin1252(std::string_view text)
{
    return CodePage::Windows1252().FromUtf8(text);
}

bool IsValidUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    while (i < n) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        std::size_t length;
        char32_t cp;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
            cp = b & 0x1Fu;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            cp = b & 0x0Fu;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            cp = b & 0x07u;
        } else {
            return false;
        }
        if (n - i < length)
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto c = static_cast<unsigned char>(bytes[i + k]);
            if ((c & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (c & 0x3Fu);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000) || (cp >= 0xD800 && cp <= 0xDFFF) ||
            cp > 0x10FFFF)
            return false;
        i += length;
    }
    return true;
}

char32_t ComposedLetter(char32_t base, char32_t mark)
{
    if (!IsAsciiLetter(base))
        return 0;
    for (const Composition& c : kCompositions) {
        const std::size_t at = c.mark == mark ? c.bases.find(static_cast<char>(base)) : std::string_view::npos;
        if (at != std::string_view::npos)
            return c.composed[at];
    }
    return 0;
}

bool HasCombiningAccent(std::string_view text)
{
    // Every mark composed here is U+0300..U+033F, whose UTF-8 starts with the byte 0xCC.
    return text.find('\xCC') != std::string_view::npos;
}

std::string ComposeAccents(std::string_view text)
{
    if (!HasCombiningAccent(text))
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    bool afterLetter = false; // out ends in a letter A to Z that no mark has joined yet
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t start = i;
        const char32_t cp = NextCodePoint(text, i);
        const char32_t composed = afterLetter ? ComposedLetter(static_cast<unsigned char>(out.back()), cp) : 0;
        afterLetter = composed == 0 && IsAsciiLetter(cp);
        if (composed == 0) {
            out.append(text, start, i - start);
            continue;
        }
        out.pop_back();
        AppendUtf8(out, composed);
    }
    return out;
}

std::string OemToChar(std::string_view text)
{
    return Cp850ToUtf8(Utf8ToWin1252(text));
}
std::string CharToOem(std::string_view text)
{
    return Win1252ToUtf8(Utf8ToCp850(text));
}

Token GetNextToken(std::string& text, std::string_view delimiter, bool keepAsText)
{
    if (!text.empty() && text.front() == '"') {
        bool doubled = false;
        std::size_t close = std::string::npos;
        for (std::size_t pos = 1; pos < text.size();) {
            const std::size_t quote = text.find('"', pos);
            if (quote == std::string::npos)
                break;
            if (quote + 1 < text.size() && text[quote + 1] == '"') {
                doubled = true;
                pos = quote + 2;
                continue;
            }
            close = quote;
            break;
        }
        // Without a closing quote the field runs to the end of the text.
        const std::size_t afterQuote = close == std::string::npos ? text.size() : close + 1;
        std::string field = text.substr(1, (close == std::string::npos ? text.size() : close) - 1);

        const std::size_t delim = delimiter.empty() ? std::string::npos : text.find(delimiter, afterQuote);
        const std::size_t remainderEnd = delim == std::string::npos ? text.size() : delim;
        if (remainderEnd > afterQuote)
            field = "\"" + field + "\"" + text.substr(afterQuote, remainderEnd - afterQuote);
        text.erase(0, delim == std::string::npos ? std::string::npos : delim + delimiter.size());
        if (doubled)
            ReplaceAll(field, "\"\"", "\"");
        return field;
    }
    if (text.empty())
        return std::string();

    const std::size_t delim = delimiter.empty() ? std::string::npos : text.find(delimiter);
    const std::size_t lineBreak = text.find("\r\n");
    std::size_t end = text.size();
    std::size_t separator = 0;
    if (delim != std::string::npos && delim <= lineBreak) {
        end = delim;
        separator = delimiter.size();
    } else if (lineBreak != std::string::npos) {
        end = lineBreak;
        separator = 2;
    }
    std::string field = text.substr(0, end);
    text.erase(0, end + separator);

    double number = 0;
    if (!keepAsText && ParseNumber(field, number))
        return number;
    return field;
}

std::string GetNextTokenText(std::string& text, std::string_view delimiter)
{
    return std::get<std::string>(GetNextToken(text, delimiter, true));
}

std::string ReplaceSpecialChars(std::string_view text, int mode)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (mode) {
        case 0:
            out.push_back(c == '\'' ? '"' : c);
            break;
        case 1:
            out.push_back(c == '"' ? '\'' : c);
            break;
        case 2:
            if (std::string_view("|?*%[]").find(c) == std::string_view::npos)
                out.push_back(c);
            break;
        default:
            out.push_back(c);
            break;
        }
    }
    return out;
}

std::string EliminateUmlaute(std::string_view text, bool convert, bool lowerOnly)
{
    std::string result;
    if (convert) {
        std::u32string s = ToCodePoints(text);
        for (std::size_t i = 0; i < kPairCount; ++i) {
            const char32_t umlaut = kUmlauts[i];
            const std::u32string_view digraph = kDigraphs.substr(2 * i, 2);
            for (std::size_t pos = s.find(umlaut); pos != std::u32string::npos;) {
                std::u32string replacement(digraph);
                if (lowerOnly) {
                    replacement = Lowered(digraph);
                } else {
                    const bool hasAfter = pos + 1 < s.size();
                    const bool afterIsLower = hasAfter && s[pos + 1] == ToLowerCp(s[pos + 1]);
                    if (!(replacement == Lowered(digraph) && afterIsLower) && pos > 0) {
                        // Upper case between upper-case neighbours (MÜLLER); the first character
                        // has no neighbours to test, so ÜBER keeps the mixed-case "Ue".
                        const bool beforeIsUpper = s[pos - 1] == ToUpperCp(s[pos - 1]);
                        const bool afterIsUpper = !hasAfter || s[pos + 1] == ToUpperCp(s[pos + 1]);
                        if (beforeIsUpper && afterIsUpper)
                            replacement = Uppered(digraph);
                    }
                }
                s.replace(pos, 1, replacement);
                pos = s.find(umlaut, pos + replacement.size());
            }
        }
        result = FromCodePoints(s);
    } else {
        result = text;
    }
    // The option as read at start: exporters call this for every field, so no file is read here.
    if (AppContext::Current().Options.ExportUmlautAnsi != 0)
        result = CharToOem(result);
    return result;
}

std::string RepairCharset(std::string_view text, bool eliminate)
{
    std::string s(text);
    static const std::vector<std::string> kUmlautChars = {"ö", "ä", "ü", "Ö", "Ä", "Ü", "ß"};
    if (ContainsAny(s, OemMarkers()) && !ContainsAny(s, kUmlautChars))
        s = OemToChar(s);

    if (s.find('=') != std::string::npos) {
        static constexpr char kHex[] = "0123456789ABCDEF";
        for (unsigned char code : kQuotedPrintable) {
            const std::string qp = {'=', kHex[code >> 4], kHex[code & 0x0F]};
            std::string decoded;
            AppendUtf8(decoded, code); // ISO-8859-1: the code is the character
            ReplaceAll(s, qp, decoded);
        }
    }
    if (eliminate)
        s = EliminateUmlaute(s, true, false);
    return s;
}

std::string RegenerateUmlaute(std::string_view text, bool regenerate, bool keepSs)
{
    std::string repaired = RepairCharset(text, false);
    if (!regenerate)
        return repaired;

    const std::string& exceptions = AppContext::Current().UmlautExceptions;
    const std::string exceptionsComma = exceptions + ",";
    std::vector<std::string> entries;
    for (std::size_t start = 0; start <= exceptions.size();) {
        std::size_t comma = exceptions.find(',', start);
        if (comma == std::string::npos)
            comma = exceptions.size();
        if (comma > start) // an empty entry would match every word
            entries.push_back(exceptions.substr(start, comma - start));
        start = comma + 1;
    }

    std::u32string s = ToCodePoints(repaired);
    const std::size_t pairs = keepSs ? kPairCount - 1 : kPairCount;
    for (std::size_t i = 0; i < pairs; ++i) {
        const std::u32string_view digraph = kDigraphs.substr(2 * i, 2);
        for (std::size_t pos = s.find(digraph); pos != std::u32string::npos;) {
            if (pos + 2 == s.size())
                break; // a digraph that ends the text stays
            std::size_t wordStart = pos;
            while (wordStart > 0 && IsAsciiLetter(s[wordStart - 1]))
                --wordStart;
            std::size_t wordEnd = pos + 2;
            while (wordEnd < s.size() && IsAsciiLetter(s[wordEnd]))
                ++wordEnd;
            std::string word;
            for (std::size_t k = wordStart; k < wordEnd; ++k)
                word.push_back(static_cast<char>(ToUpperCp(s[k])));

            bool isException = exceptionsComma.find(word + ",") != std::string::npos;
            for (std::size_t e = 0; e < entries.size() && !isException; ++e)
                isException = word.find(entries[e]) != std::string::npos;

            if (isException) {
                pos = s.find(digraph, wordEnd);
            } else {
                s.replace(pos, 2, 1, kUmlauts[i]);
                pos = s.find(digraph, pos + 1);
            }
        }
    }
    return FromCodePoints(s);
}

std::string FoldAccents(std::string_view text)
{
    static constexpr std::u32string_view kAccented = U"éàèûùÙÛÉÀÈêÊ";
    static constexpr std::u32string_view kPlain = U"eaeuuUUEAEeE";
    std::u32string s = ToCodePoints(text);
    for (char32_t& cp : s) {
        const std::size_t at = kAccented.find(cp);
        if (at != std::u32string_view::npos)
            cp = kPlain[at];
    }
    return FromCodePoints(s);
}

void LoadUmlautExceptions()
{
    AppContext& ctx = AppContext::Current();
    std::string list;
    try {
        const std::string name = ctx.ExeName + ".UML";
        std::error_code ec;
        const fs::path target = ctx.DataDir.empty() ? fs::path() : fs::path(ctx.DataDir) / name;

        // The copy shipped beside the settings file or the program is the source of a newer list.
        std::vector<fs::path> candidates;
        if (!ctx.IniFile.empty())
            candidates.push_back(fs::path(ctx.IniFile).parent_path() / name);
        if (!ctx.ProgramDir.empty())
            candidates.push_back(fs::path(ctx.ProgramDir) / name);
        if (!ctx.ShareDir.empty() && ctx.ShareDir != ctx.ProgramDir)
            candidates.push_back(fs::path(ctx.ShareDir) / name);
        fs::path source;
        for (const fs::path& candidate : candidates) {
            if (!fs::is_regular_file(candidate, ec))
                continue;
            if (!target.empty() && fs::exists(target, ec) && fs::equivalent(candidate, target, ec))
                continue;
            source = candidate;
            break;
        }

        if (!target.empty() && !source.empty()) {
            const bool missing = !fs::exists(target, ec);
            if (missing || fs::last_write_time(target, ec) < fs::last_write_time(source, ec))
                fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec);
        }
        fs::path file = !target.empty() && fs::is_regular_file(target, ec) ? target : source;

        if (!file.empty()) {
            std::string content = ReadWholeFile(file);
            if (!IsValidUtf8(content))
                content = Win1252ToUtf8(content);
            // The list is split at CR LF line ends; a file written with bare LF ends is read the same.
            std::string normalised;
            normalised.reserve(content.size());
            for (std::size_t i = 0; i < content.size(); ++i) {
                if (content[i] == '\n' && (i == 0 || content[i - 1] != '\r'))
                    normalised.push_back('\r');
                normalised.push_back(content[i]);
            }
            bool first = true;
            while (!normalised.empty()) {
                std::string entry = GetNextTokenText(normalised, ",");
                const std::size_t cut = entry.find_first_of("\r\n");
                if (cut != std::string::npos)
                    entry.resize(cut);
                if (!first)
                    list += ',';
                list += entry;
                first = false;
            }
        }
    } catch (...) {
        // An unreadable list is an empty one.
    }
    ctx.UmlautExceptions = list;
}

std::string CountText(long count, std::string_view plural)
{
    static constexpr std::pair<std::string_view, std::string_view> kSingulars[] = {
        {"Rezepte", "Rezept"}, {"Portionen", "Portion"}, {"Personen", "Person"},     {"Brote", "Brot"},
        {"Bleche", "Blech"},   {"Gläser", "Glas"},       {"Kekse", "Keks"},          {"Flaschen", "Flasche"},
        {"Tassen", "Tasse"},   {"Pizzen", "Pizza"},      {"Kugeln", "Kugel"},        {"Treffer", "Treffer"},
        {"Zutaten", "Zutat"},  {"Einträge", "Eintrag"},  {"Kochbücher", "Kochbuch"}, {"Dateien", "Datei"},
    };
    std::string_view noun = plural;
    if (count == 1 || count == -1)
        for (const auto& [many, one] : kSingulars)
            if (many == plural)
                noun = one;
    std::string text = std::to_string(count);
    if (!noun.empty())
        text += " " + std::string(noun);
    return text;
}

void ReplaceAll(std::string& text, std::string_view what, std::string_view with)
{
    if (what.empty())
        return;
    std::size_t pos = 0;
    while ((pos = text.find(what, pos)) != std::string::npos) {
        text.replace(pos, what.size(), with);
        pos += with.size();
    }
}

} // namespace pf
