#include "exchange/ExportText.h"

#include "core/Markup.h"
#include "core/Utf8.h"

#include <algorithm>
#include <vector>

namespace pf {

namespace {

constexpr std::u32string_view kCrLf = U"\r\n";

std::u32string TrimCp(std::u32string_view text)
{
    const std::size_t first = text.find_first_not_of(U" \t");
    if (first == std::u32string_view::npos)
        return {};
    return std::u32string(text.substr(first, text.find_last_not_of(U" \t") - first + 1));
}

bool IsAsciiDigit(char32_t c)
{
    return c >= U'0' && c <= U'9';
}

bool IsLetterOrDigit(char32_t c)
{
    return IsAsciiDigit(c) || (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || c >= 0xC0;
}

bool SlashJoin(std::u32string_view before, std::u32string_view after)
{
    return before.size() >= 2 && before.back() == U'/' && before[before.size() - 2] != U' ' &&
           !after.empty() && IsLetterOrDigit(after.front());
}

// A caption between rules ("===== Tipp =====", "--- Tipp ---"): a line of its own, as a rule is.
bool IsFramed(std::u32string_view line)
{
    constexpr std::u32string_view kFrame = U"=-";
    return line.size() >= 6 && kFrame.find(line.front()) != std::u32string_view::npos &&
           line.find_first_not_of(line.front()) >= 3 && line.back() == line.front() &&
           line.find_last_not_of(line.back()) + 3 < line.size();
}

bool LaidOut(std::u32string_view line)
{
    if (line.empty())
        return false;
    if (IsFramed(line))
        return true;
    if (line[0] == U':')
        return true;
    // An item of a list: "- ", "* ", "• ", "1. ", "12) ", "a) ".
    constexpr std::u32string_view kBullets = U"-*+\u2022\u00B7\u2013o";
    if (line.size() >= 2 && kBullets.find(line[0]) != std::u32string_view::npos && line[1] == U' ')
        return true;
    std::size_t digits = 0;
    while (digits < line.size() && digits < 3 && IsAsciiDigit(line[digits]))
        ++digits;
    const bool letterItem = digits == 0 && line.size() >= 3 && IsLetterOrDigit(line[0]) && line[1] == U')';
    if ((digits > 0 || letterItem) && digits + 1 < line.size() &&
        (line[std::max<std::size_t>(digits, 1)] == U'.' || line[std::max<std::size_t>(digits, 1)] == U')') &&
        line[std::max<std::size_t>(digits, 1) + 1] == U' ')
        return true;
    // A line of a ":"-table: up to three words before a ":" that ends a word ("Backzeit: 40 Min.").
    const std::size_t colon = line.find(U':');
    if (colon != std::u32string_view::npos && colon > 0 && colon <= 25 && IsLetterOrDigit(line[0]) &&
        (colon + 1 == line.size() || line[colon + 1] == U' ') &&
        std::count(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(colon), U' ') <= 2)
        return true;
    // A rule: no letter and no digit.
    return std::none_of(line.begin(), line.end(), IsLetterOrDigit);
}

bool IsSentenceEnd(char32_t c)
{
    return c == U'.' || c == U'!' || c == U'?';
}

// A break before rest (or after piece) would make a reader see a new line where the text goes on,
// or lose blanks: a reader trims every line and joins the lines of a paragraph with one blank, so
// a run of blanks comes back whole only inside a line. Only the last blank that fits may end a
// piece with a sentence: a shorter piece that ends so reads as a line of its own.
bool BadBreak(std::u32string_view piece, std::u32string_view rest, bool lastFitting)
{
    const std::size_t first = rest.find_first_not_of(U' ');
    if (first == std::u32string_view::npos)
        return false;
    if (first > 1)
        return true;
    rest = rest.substr(first);
    const std::size_t last = piece.find_last_not_of(U' ');
    const char32_t end = last == std::u32string_view::npos ? U' ' : piece[last];
    // A single "=" at the end of a line is how a mail marks a line that goes on (quoted-printable);
    // a line beginning with five "M", "=" or "E" reads as a heading, a rule or the end of a recipe.
    const bool mailBreak = end == U'=' && (last == 0 || piece[last - 1] != U'=');
    const bool mark = rest.starts_with(U"MMMMM") || rest.starts_with(U"=====") || rest.starts_with(U"EEEEE");
    return end == U':' || end == U';' || mailBreak || mark || (!lastFitting && IsSentenceEnd(end)) ||
           rest[0] == U'-' || SlashJoin(piece.substr(0, last + 1), rest) || LaidOut(rest.substr(0, 40));
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
        return piece;
    }
    // The whole rest, unless it fills the width and ends with "-": that is how a cut word looks.
    if (width < 1 || text.size() < limit || (text.size() == limit && text.back() != U'-')) {
        piece = std::move(text);
        text.clear();
        return piece;
    }
    // Only at a blank, and so that the piece stays shorter than the width: a piece of the full
    // width is a word cut hard.
    std::size_t blank = std::u32string::npos;
    std::size_t fallback = std::u32string::npos;
    std::size_t ruleBlank = std::u32string::npos; // the last that fits behind a piece like a rule
    for (std::size_t i = std::min(limit - 1, text.size() - 1); i >= 1 && blank == std::u32string::npos; --i) {
        if (text[i] != U' ' || text[i - 1] == U' ')
            continue;
        // A piece without a letter or digit ("-" of a list item) would read as a rule.
        if (std::none_of(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(i), IsLetterOrDigit)) {
            if (ruleBlank == std::u32string::npos)
                ruleBlank = i;
            continue;
        }
        if (fallback == std::u32string::npos)
            fallback = i;
        if (!BadBreak(std::u32string_view(text).substr(0, i), std::u32string_view(text).substr(i),
                      fallback == i))
            blank = i;
    }
    // Without a good blank a word cut hard reads back whole, where the text goes on at both sides of
    // the cut; only else the text breaks at a blank that a reader may see otherwise. A cut next to
    // a blank would not read as a cut word at all.
    const std::size_t keep = limit >= 2 ? limit - 1 : 1;
    const bool cleanCut = limit >= 2 && keep < text.size() && text[keep - 1] != U' ' && text[keep] != U' ';
    if (blank == std::u32string::npos && !cleanCut)
        blank = fallback != std::u32string::npos ? fallback : ruleBlank;
    if (blank != std::u32string::npos) {
        piece = text.substr(0, blank);
        text.erase(0, blank);
        return piece;
    }
    // A word longer than the line: cut hard, marked with "-" in the last column; a reader joins
    // the next line to it without a blank and drops the mark.
    piece = text.substr(0, keep) + (limit >= 2 ? U"-" : U"");
    text.erase(0, keep);
    return piece;
}

// "n/d" for d = 2 ... 8 when ticks (below one) lie within a thousandth of it, else empty: the
// shown amounts carry three places (1/3 is 0.333).
std::string ExactFraction(std::int64_t ticks)
{
    for (std::int64_t d = 2; d <= 8; ++d) {
        for (std::int64_t n = 1; n < d; ++n) {
            const std::int64_t diff = ticks * d - n * Decimal4::kScale;
            if (diff > -10 * d && diff < 10 * d)
                return std::to_string(n) + "/" + std::to_string(d);
        }
    }
    return {};
}

} // namespace

bool JoinsAtSlash(std::string_view before, std::string_view after)
{
    return before.ends_with('/') &&
           SlashJoin(ToCodePoints(before.substr(before.size() >= 8 ? before.size() - 8 : 0)),
                     ToCodePoints(after.substr(0, 4)));
}

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
    // Fewer bytes than the width are fewer characters too: a line that fits goes whole, as the
    // cut on code points would give it, without taking it apart.
    if (width >= 1 && text.size() < static_cast<std::size_t>(width) && text.find("\r\n") == std::string::npos) {
        std::string piece = std::move(text);
        text.clear();
        return piece;
    }
    std::u32string cps = ToCodePoints(text);
    const std::u32string piece = Cut(cps, width);
    text = FromCodePoints(cps);
    return FromCodePoints(piece);
}

// The length of the last line that wrapping text at width gives: what a reader sees of a text that
// is written before another line. Wrapping starts at resume, a line start, and resume becomes the
// last line start that text added at the end can no longer move (a break looks at most 40
// characters beyond the width), so that a long paragraph is not wrapped again for each line.
std::size_t LastPieceLength(const std::u32string& text, std::size_t width, std::size_t& resume)
{
    std::u32string rest = text.substr(std::min(resume, text.size()));
    std::size_t start = resume;
    std::size_t length = rest.size();
    while (!rest.empty()) {
        if (text.size() - start > width + 40)
            resume = start;
        const std::size_t before = rest.size();
        length = TrimCp(Cut(rest, static_cast<int>(width))).size();
        const std::size_t blanks = std::min(rest.find_first_not_of(U' '), rest.size());
        rest.erase(0, blanks);
        start += before - rest.size();
    }
    return length;
}

bool IsLaidOutLine(std::string_view line)
{
    return LaidOut(TrimCp(ToCodePoints(line)));
}

std::vector<std::string> TextParagraphs(const std::vector<TextLine>& lines, std::size_t width)
{
    std::vector<std::u32string> out;
    bool joinHard = false;       // the line before was a word cut hard
    bool lastOwn = false;        // the line before stands on its own (a rule, a caption ending with ":")
    std::size_t sentenceEnd = 0; // the line before ended a sentence and filled this many columns
    std::size_t resume = 0;      // where wrapping the current paragraph may start again
    for (const TextLine& raw : lines) {
        std::u32string line = TrimCp(ToCodePoints(raw.Text));
        if (line.empty()) {
            if (!out.empty() && !out.back().empty())
                out.emplace_back();
            joinHard = false;
            continue;
        }
        // A sentence that ends on a line the next word would still have fitted into was ended
        // there on purpose.
        const std::size_t firstWord = std::min(line.find(U' '), line.size());
        const bool shortSentence = sentenceEnd > 0 && sentenceEnd + 1 + firstWord < width;
        if (!out.empty() && !out.back().empty() &&
            (joinHard || (!lastOwn && !shortSentence && !LaidOut(line)))) {
            if (joinHard)
                out.back().pop_back(); // the "-" that marks the cut
            else if (!SlashJoin(out.back(), line))
                out.back() += U' ';
            out.back() += line;
        } else {
            out.push_back(line);
            resume = 0;
        }
        const std::u32string& current = out.back();
        joinHard = raw.HardCut && current.back() == U'-';
        lastOwn = current.back() == U':' || std::none_of(line.begin(), line.end(), IsLetterOrDigit) ||
                  IsFramed(current);
        sentenceEnd = !IsSentenceEnd(current.back()) ? 0
                      : raw.Length > 0               ? raw.Length
                                                     : LastPieceLength(current, width, resume);
    }
    while (!out.empty() && out.back().empty())
        out.pop_back();
    std::vector<std::string> result;
    result.reserve(out.size());
    for (const std::u32string& line : out)
        result.push_back(FromCodePoints(line));
    return result;
}

std::string FormatTextBlock(std::string_view text, int& lineCount, int maxParagraph, int indent, int width,
                            bool limitLines)
{
    // The text as a reader will read it back: the lines of each paragraph joined, lists, tables
    // and rules on lines of their own, one empty line between paragraphs.
    std::vector<TextLine> raw;
    const std::string normalized = NormalizeLineBreaks(text);
    for (std::size_t start = 0;;) {
        const std::size_t end = normalized.find("\r\n", start);
        raw.push_back({normalized.substr(start, end == std::string::npos ? std::string::npos : end - start)});
        if (end == std::string::npos)
            break;
        start = end + 2;
    }
    const std::u32string blanks(static_cast<std::size_t>(std::max(indent, 0)), U' ');
    const int room = width - indent;
    const std::vector<std::string> paragraphs =
        TextParagraphs(raw, static_cast<std::size_t>(std::max(room, 0)));
    std::vector<std::u32string> lines;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        if (limitLines && lineCount > 100)
            break;
        if (paragraphs[i].empty()) {
            lines.emplace_back();
            ++lineCount;
            continue;
        }
        std::u32string rest = ToCodePoints(paragraphs[i]);
        // A paragraph followed by an empty line stays one line, however long; but not the last
        // one before the line limit, which would lose its empty line and be wrapped when the cut
        // text is formatted again.
        const bool beforeEmpty = i + 1 < paragraphs.size() && paragraphs[i + 1].empty();
        if (beforeEmpty && rest.size() <= static_cast<std::size_t>(std::max(maxParagraph, 0)) &&
            (!limitLines || lineCount + 2 <= 100)) {
            lines.push_back(blanks + rest);
            ++lineCount;
            continue;
        }
        while (!rest.empty()) {
            if (limitLines && lineCount > 100)
                break;
            lines.push_back(blanks + TrimCp(Cut(rest, room)));
            ++lineCount;
            rest = TrimCp(rest);
        }
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

std::string HeadingText(std::string_view heading)
{
    const std::size_t first = heading.find_first_not_of("-= ");
    if (first == std::string_view::npos)
        return {};
    return std::string(heading.substr(first, heading.find_last_not_of("-= ") - first + 1));
}

std::string MMHeadingLine(std::string_view text)
{
    const std::string heading = HeadingText(text);
    const std::size_t length = CharLength(heading);
    // At least five dashes, so that a reader still knows the line as a heading when the heading
    // is long; up to 55 characters this is the plain centring on 70 columns.
    const std::size_t dashes = std::max<std::size_t>(length < 65 ? (65 - length) / 2 : 0, 5);
    std::string line = "MMMMM" + std::string(dashes, '-') + heading + std::string(dashes, '-');
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
        AppendMarkup(out, c, MarkupSet::Text);
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

std::string ExchangeAmount(Decimal4 amount, std::size_t width)
{
    if (amount == Decimal4())
        return {};
    const bool negative = amount < Decimal4();
    const std::int64_t ticks = negative ? -amount.Ticks() : amount.Ticks();
    const std::string sign = negative ? "-" : "";
    const std::int64_t whole = ticks / Decimal4::kScale;
    const std::int64_t remainder = ticks % Decimal4::kScale;
    if (remainder == 0)
        return sign + std::to_string(whole);
    // A fraction only when the amount is one: 0.33 stays a decimal, 0.333 is 1/3.
    if (const std::string fraction = ExactFraction(remainder); !fraction.empty()) {
        std::string text = sign + (whole != 0 ? std::to_string(whole) + " " : std::string()) + fraction;
        if (text.size() <= width)
            return text;
    }
    for (int places = 4; places >= 0; --places) {
        std::int64_t unit = 1;
        for (int i = places; i < 4; ++i)
            unit *= 10;
        const std::int64_t rounded = (ticks + unit / 2) / unit; // in units of 10^-places
        std::int64_t scale = 1;
        for (int i = 0; i < places; ++i)
            scale *= 10;
        std::string fraction = std::to_string(rounded % scale + scale).substr(1);
        while (!fraction.empty() && fraction.back() == '0')
            fraction.pop_back();
        std::string text = sign + std::to_string(rounded / scale) + (fraction.empty() ? "" : "." + fraction);
        if (text.size() <= width || places == 0)
            return text;
    }
    return {};
}

std::string PlainRangeNote(std::string_view note)
{
    constexpr std::string_view kEnDash = "\u2013";
    constexpr std::string_view kAmountChars = "0123456789./ ";
    const std::size_t dash = note.find(kEnDash);
    const std::size_t close = note.find(')');
    if (!note.starts_with('(') || dash == std::string_view::npos || close == std::string_view::npos ||
        close < dash)
        return std::string(note);
    const std::string_view lower = note.substr(1, dash - 1);
    const std::string_view upper = note.substr(dash + kEnDash.size(), close - dash - kEnDash.size());
    if (lower.empty() || upper.empty() || lower.find_first_not_of(kAmountChars) != std::string_view::npos ||
        upper.find_first_not_of(kAmountChars) != std::string_view::npos)
        return std::string(note);
    std::string plain(note);
    plain.replace(dash, kEnDash.size(), "-");
    return plain;
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
