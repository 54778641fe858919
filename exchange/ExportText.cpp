#include "exchange/ExportText.h"

#include "core/Utf8.h"

#include <algorithm>
#include <vector>

namespace pf {

namespace {

constexpr std::u32string_view kCutChars = U" ,;/)!.-(";
constexpr std::u32string_view kCrLf = U"\r\n";

std::u32string TrimCp(std::u32string_view text)
{
    const std::size_t first = text.find_first_not_of(U" \t");
    if (first == std::u32string_view::npos)
        return {};
    return std::u32string(text.substr(first, text.find_last_not_of(U" \t") - first + 1));
}

bool StartsWith(std::u32string_view text, std::u32string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// CutLine on code points.
std::u32string Cut(std::u32string& text, int width)
{
    const std::size_t limit = width < 1 ? 0 : static_cast<std::size_t>(width);
    const std::size_t lineBreak = text.find(kCrLf);
    std::u32string piece;
    // A line that fits the width whole ends the piece at its line break, so that no piece leaves
    // a bare line break behind to become an empty line.
    if (lineBreak != std::u32string::npos && (width < 1 || lineBreak <= limit)) {
        piece = text.substr(0, lineBreak);
        text.erase(0, lineBreak + 2);
    } else if (width >= 1 && text.size() > limit) {
        std::size_t found = 0; // 1-based position of a cut character
        for (std::size_t i = limit; i >= 1; --i) {
            if (kCutChars.find(text[i - 1]) != std::u32string_view::npos) {
                found = i;
                break;
            }
        }
        if (found > 0) {
            const std::size_t count = (text[found - 1] == U'(' && found >= 2) ? found - 1 : found;
            piece = text.substr(0, count);
            text.erase(0, count);
        } else if (limit >= 2) {
            piece = text.substr(0, limit - 1) + U"-";
            text.erase(0, limit - 1);
        } else {
            piece = text.substr(0, 1);
            text.erase(0, 1);
        }
    } else {
        piece = std::move(text);
        text.clear();
    }
    return piece;
}

} // namespace

std::string NormalizeLineBreaks(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string CutLine(std::string& text, int width)
{
    std::u32string cps = ToCodePoints(text);
    const std::u32string piece = Cut(cps, width);
    text = FromCodePoints(cps);
    return FromCodePoints(piece);
}

std::string FormatTextBlock(std::string_view text, int& lineCount, int maxParagraph, int indent, int width,
                            bool limitLines)
{
    std::u32string rest = ToCodePoints(NormalizeLineBreaks(text));
    const std::u32string blanks(static_cast<std::size_t>(std::max(indent, 0)), U' ');
    const int room = width - indent;
    std::vector<std::u32string> lines;
    // Empty lines in a row and at the start of the text are written as one or none at all, as a
    // reader keeps at most one between paragraphs.
    auto addEmptyLine = [&] {
        if (!lines.empty() && !lines.back().empty()) {
            lines.emplace_back();
            ++lineCount;
        }
    };
    while (!rest.empty()) {
        if (limitLines && lineCount > 100)
            break;
        const std::size_t lineBreak = rest.find(kCrLf);
        // A paragraph followed by an empty line stays one line, however long; but not the last
        // one before the line limit, which would lose its empty line and be wrapped when the
        // cut text is formatted again.
        if (lineBreak != std::u32string::npos &&
            lineBreak <= static_cast<std::size_t>(std::max(maxParagraph, 0)) &&
            rest.compare(lineBreak, 4, U"\r\n\r\n") == 0 && (!limitLines || lineCount + 2 <= 100)) {
            const std::u32string line = TrimCp(std::u32string_view(rest).substr(0, lineBreak));
            rest.erase(0, lineBreak + 4);
            if (!line.empty()) {
                lines.push_back(blanks + line);
                ++lineCount;
            }
            addEmptyLine();
            continue;
        }
        std::u32string piece = TrimCp(Cut(rest, room));
        if (piece.empty()) {
            addEmptyLine();
            continue;
        }
        // Short fragments take in what follows, until the line is long enough; joining only once
        // would let a second export of the read-back text join differently.
        while (piece.size() * 4 < static_cast<std::size_t>(std::max(width, 0)) && !rest.empty() &&
               rest[0] != U':' && !StartsWith(rest, kCrLf)) {
            const int left = room - static_cast<int>(piece.size()) - 1;
            if (left < 1)
                break;
            const std::u32string next = TrimCp(Cut(rest, left));
            if (next.empty())
                break;
            piece += U' ';
            piece += next;
        }
        lines.push_back(blanks + piece);
        ++lineCount;
    }
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    std::u32string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            joined += kCrLf;
        joined += lines[i];
    }
    return FromCodePoints(joined);
}

std::string MMHeadingLine(std::string_view heading)
{
    const std::size_t length = CharLength(heading);
    // At least five dashes, so that a reader still knows the line as a heading when the heading
    // is long; up to 55 characters this is the plain centring on 70 columns.
    const std::size_t dashes = std::max<std::size_t>(length < 65 ? (65 - length) / 2 : 0, 5);
    std::string line = "MMMMM" + std::string(dashes, '-') + std::string(heading) + std::string(dashes, '-');
    if (CharLength(line) < 70)
        line += '-';
    return line;
}

std::string AnsiToUtf8(std::string_view text)
{
    static const std::u32string kKept = U"ÄäÀàÁáÂâÃãÈèÉéÊêËëÌìÍíÎîÏïÖöÒòÓóÔôÕõÜüÙùÚúÛûßÆæÇçÑñ°©¼½¾ø«»";
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char32_t cp = NextCodePoint(text, pos);
        if (cp == U'\u00B7' && pos < text.size() && text[pos] == '\t') {
            ++pos; // list bullet left in plain text
            continue;
        }
        if (cp < 128 || kKept.find(cp) != std::u32string::npos)
            AppendUtf8(out, cp);
    }
    return out;
}

std::string HTMLConvert(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 16);
    bool lineStart = true;
    bool afterBlank = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out += "<br />";
            lineStart = true;
            afterBlank = false;
            continue;
        }
        if (c == ' ') {
            out += (lineStart || afterBlank) ? "&nbsp;" : " ";
            afterBlank = true;
            continue;
        }
        lineStart = false;
        afterBlank = false;
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string HTMLReplace(std::string_view templ, bool convert, std::string_view v1, std::string_view v2,
                        std::string_view v3)
{
    const std::string_view values[3] = {v1, v2, v3};
    std::string out;
    out.reserve(templ.size() + v1.size() * 2 + v2.size() + v3.size());
    for (std::size_t i = 0; i < templ.size(); ++i) {
        if (templ[i] == '$' && i + 1 < templ.size() && templ[i + 1] >= '1' && templ[i + 1] <= '3') {
            const std::string_view value = values[templ[i + 1] - '1'];
            out += convert ? HTMLConvert(value) : std::string(value);
            ++i;
        } else {
            out += templ[i];
        }
    }
    return out;
}

std::string PadText(std::string_view text, std::size_t width, bool rightAlign, bool cut)
{
    const std::size_t length = CharLength(text);
    if (length >= width)
        return cut ? CharSubstr(text, 0, width) : std::string(text);
    const std::string fill(width - length, ' ');
    return rightAlign ? fill + std::string(text) : std::string(text) + fill;
}

} // namespace pf
