#include "exchange/MMImport.h"

#include "core/AppContext.h"
#include "core/TextConv.h"
#include "core/Trim.h"
#include "core/Utf8.h"
#include "exchange/ExportText.h"
#include "exchange/MMUnits.h"
#include "model/ClIngredient.h"
#include "model/ClUnit.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <iterator>
#include <utility>

namespace pf {

namespace {

std::string_view LeftTrim(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::string_view RightTrim(std::string_view text)
{
    const std::size_t last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

bool ContainsNoCase(std::string_view text, std::string_view upperWord)
{
    if (IsAscii(text)) {
        auto it =
            std::search(text.begin(), text.end(), upperWord.begin(), upperWord.end(), [](char a, char b) {
                return (a >= 'a' && a <= 'z' ? static_cast<char>(a - 32) : a) == b;
            });
        return it != text.end();
    }
    return ToUpper(text).find(upperWord) != std::string::npos;
}

// A character of a line by its 0-based column; a blank beyond the end.
char32_t Col(const std::u32string& line, std::size_t index)
{
    return index < line.size() ? line[index] : U' ';
}

std::string Cols(const std::u32string& line, std::size_t first, std::size_t count = std::u32string::npos)
{
    if (first >= line.size())
        return {};
    return FromCodePoints(std::u32string_view(line).substr(first, count));
}

std::string Trimmed(std::string_view text)
{
    return std::string(Trim(text, " "));
}

// The characters that the repair of OEM text would misread as code page 850 letters: the file's
// code page is already decided, so they stand for themselves and are kept out of that step.
constexpr std::array<char32_t, 16> kOemMarkers = {0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2021,
                                                  0x2C6,  0x17D,  0x201D, 0x201C, 0x2022, 0x2013,
                                                  0x2014, 0x2122, 0x161,  0xE1};

// Unicode vulgar fractions as the amount column may hold them in UTF-8 files.
constexpr std::array<std::pair<std::string_view, std::string_view>, 9> kFractions = {{
    {"½", " 1/2"},
    {"¼", " 1/4"},
    {"¾", " 3/4"},
    {"⅓", " 1/3"},
    {"⅔", " 2/3"},
    {"⅛", " 1/8"},
    {"⅜", " 3/8"},
    {"⅝", " 5/8"},
    {"⅞", " 7/8"},
}};

// A key of a head field ("TITLE") and its value; false when the line has no ":".
bool HeaderField(std::string_view line, std::string& key, std::string& value)
{
    const std::string_view trimmed = LeftTrim(line);
    const std::size_t colon = trimmed.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return false;
    key = ToUpper(RightTrim(trimmed.substr(0, colon)));
    value = Trimmed(ReplaceSpecialChars(trimmed.substr(colon + 1), 1));
    return true;
}

// Columns 1-7 of an ingredient line hold an amount and nothing else: digits, fractions, a
// decimal point or comma, a range dash. "2 Std." and "1 cup." are the start of a sentence.
// One amount: "2", "2.95", "2,95", "3/4", "2 3/4", "2 0.95", "½", "1½", "1 ½".
bool IsSingleAmount(std::string_view text)
{
    std::size_t pos = 0;
    auto digits = [&] {
        const std::size_t start = pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
            ++pos;
        return pos > start;
    };
    auto vulgar = [&] {
        for (const auto& [fraction, replacement] : kFractions)
            if (text.substr(pos, fraction.size()) == fraction) {
                pos += fraction.size();
                return true;
            }
        return false;
    };
    if (vulgar())
        return pos == text.size();
    const bool whole = digits();
    if (pos < text.size() && (text[pos] == '.' || text[pos] == ',')) {
        ++pos;
        return digits() && pos == text.size();
    }
    if (pos < text.size() && text[pos] == '/')
        return whole && (++pos, digits()) && pos == text.size();
    if (!whole)
        return false;
    if (pos < text.size() && text[pos] == ' ')
        ++pos;
    if (pos == text.size() || vulgar())
        return pos == text.size();
    // "2 3/4", or "2 0.95" as earlier exports wrote a remainder that is no fraction.
    if (!digits() || pos == text.size())
        return false;
    const char separator = text[pos++];
    return (separator == '/' || separator == '.' || separator == ',') && digits() && pos == text.size();
}

// The first dash of a range in text and its length in bytes: "-", or the en dash that typed text
// has ("2–3", "2 – 3"); npos when there is none.
std::pair<std::size_t, std::size_t> RangeDash(std::string_view text)
{
    constexpr std::string_view kEnDash = "\u2013";
    const std::size_t dash = text.find('-');
    const std::size_t enDash = text.find(kEnDash);
    return enDash < dash ? std::pair{enDash, kEnDash.size()} : std::pair{dash, std::size_t{1}};
}

// Columns 1-7 of an ingredient line hold an amount and nothing else, or a range of two ("1-2",
// "1 - 1 1/2", "1–2"). "2 Std.", "1 cup." and "- 1/2" are the start of a sentence or a list.
bool IsAmountOrRange(std::string_view text)
{
    text = Trim(text, " ");
    const auto [dash, length] = RangeDash(text);
    if (dash == std::string_view::npos)
        return IsSingleAmount(text);
    return IsSingleAmount(Trim(text.substr(0, dash), " ")) &&
           IsSingleAmount(Trim(text.substr(dash + length), " "));
}

// Words that hand-typed collections put before an amount meant only roughly ("ca. 2", "~2").
constexpr std::array<std::string_view, 4> kApproximations = {"ca.", "ca", "etwa", "~"};

// The amount of an amount column without the approximation word before it, trimmed. A word of
// letters needs a blank after it ("cas 2" is no "ca"), and an amount must follow the word.
std::string_view WithoutApproximation(std::string_view text)
{
    text = Trim(text, " ");
    for (const std::string_view word : kApproximations) {
        if (text.size() <= word.size() || !EqualsNoCase(text.substr(0, word.size()), word))
            continue;
        if (IsAsciiLetter(static_cast<unsigned char>(word.back())) && text[word.size()] != ' ')
            continue;
        const std::string_view amount = Trim(text.substr(word.size()), " ");
        if (IsAmountOrRange(amount))
            return amount;
    }
    return text;
}

// An amount or a range, perhaps after an approximation word.
bool IsAmountText(std::string_view text)
{
    return IsAmountOrRange(WithoutApproximation(text));
}

// Words that cooks write alone in the amount columns ("   n.B. g  Salz"): the line has no amount.
constexpr std::array<std::string_view, 4> kAmountWords = {"n.B.", "n. B.", "etwas", "evtl."};

bool IsAmountWord(std::string_view text)
{
    text = Trim(text, " ");
    return std::any_of(kAmountWords.begin(), kAmountWords.end(),
                       [text](std::string_view word) { return EqualsNoCase(text, word); });
}

// An amount meant only roughly: a word for it ("etwas") or one before the number ("ca. 2").
bool IsRoughAmount(std::string_view text)
{
    return IsAmountWord(text) || WithoutApproximation(text).size() != Trim(text, " ").size();
}

bool IsNumber(std::string_view text)
{
    text = Trim(text, " ");
    if (text.empty())
        return false;
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string CutChars(std::string_view text, std::size_t count)
{
    if (text.size() <= count)
        return std::string(text);
    return CharSubstr(text, 0, count);
}

// Umlauts from digraphs, word by word. A run of letters longer than any word is left as it is:
// the regeneration looks at the whole word around every digraph, which would cost the square of
// the run's length.
std::string Regenerate(const std::string& line, bool keepSs)
{
    constexpr std::size_t kLongestWord = 64;
    std::string result;
    std::size_t pieceStart = 0;
    std::size_t pos = 0;
    while (pos < line.size()) {
        if (!IsAsciiLetter(static_cast<unsigned char>(line[pos]))) {
            ++pos;
            continue;
        }
        std::size_t end = pos;
        while (end < line.size() && IsAsciiLetter(static_cast<unsigned char>(line[end])))
            ++end;
        if (end - pos > kLongestWord) {
            result +=
                RegenerateUmlaute(std::string_view(line).substr(pieceStart, pos - pieceStart), true, keepSs);
            result.append(line, pos, end - pos);
            pieceStart = end;
        }
        pos = end;
    }
    if (pieceStart == 0)
        return RegenerateUmlaute(line, true, keepSs);
    result += RegenerateUmlaute(std::string_view(line).substr(pieceStart), true, keepSs);
    return result;
}

// A whole number too long for the seven amount columns (ten million and more, after a unit
// conversion) pushes the rest of the line to the right. Returns it and makes cols the line as if
// the number had fitted; empty when the line has no such number.
std::string WideAmount(std::u32string& cols)
{
    std::size_t end = 0;
    while (end < cols.size() && ((cols[end] >= U'0' && cols[end] <= U'9') || cols[end] == U'.'))
        ++end;
    if (end < 8 || end >= cols.size() || cols[end] != U' ' || cols[0] == U'.')
        return {};
    std::string amount = FromCodePoints(std::u32string_view(cols).substr(0, end));
    cols = std::u32string(7, U' ') + cols.substr(end);
    return amount;
}

// An amount typed by hand a column or more too far right, over column 8 of a Rezkonv line
// ("   1 1/2 Liter Milch", "     250 g Mehl"): it starts within the amount columns and a blank
// follows it. Returns it and blanks it out of cols, which keep their length; empty when the line
// has no such amount.
std::string ShiftedAmount(std::u32string& cols)
{
    if (Col(cols, 7) == U' ')
        return {};
    const std::size_t start = cols.find_first_not_of(U' ');
    const std::size_t end = cols.find(U' ', 7);
    if (start >= 7 || end == std::u32string::npos)
        return {};
    std::string amount = FromCodePoints(std::u32string_view(cols).substr(start, end - start));
    if (!IsAmountText(amount))
        return {};
    std::fill(cols.begin(), cols.begin() + static_cast<std::ptrdiff_t>(end), U' ');
    return amount;
}

// A Rezkonv ingredient line as the export writes it: the unit right-aligned up to column 17, two
// blanks, the text from column 20. Indented preparation text that begins with a number ("  1/2 l
// Milch erhitzen") has its words elsewhere.
bool HasRezkonvColumns(std::string_view line)
{
    const std::u32string cols = ToCodePoints(line);
    const bool noUnit =
        Trim(FromCodePoints(std::u32string_view(cols).substr(std::min<std::size_t>(8, cols.size()), 9)), " ")
            .empty();
    return Col(cols, 7) == U' ' && Col(cols, 17) == U' ' && Col(cols, 18) == U' ' && Col(cols, 19) != U' ' &&
           (noUnit || Col(cols, 16) != U' ');
}

// A line that fills the width and ends with the "-" of a word the export cut hard.
bool IsHardCut(std::string_view line, std::size_t width)
{
    line = RightTrim(line);
    return width > 1 && line.size() >= 2 && line.back() == '-' && line[line.size() - 2] != ' ' &&
           CharLength(line) == width;
}

// A note that starts the processing note unless it already does; the note is cut to its length.
void PrependNote(ImportIngredient& line, const std::string& note)
{
    if (line.Verarbeitung == note || line.Verarbeitung.starts_with(note + " "))
        return;
    line.Verarbeitung =
        CutChars(line.Verarbeitung.empty() ? note : note + " " + line.Verarbeitung, MMImport::kMaxNoteLength);
}

// An approximation word before the amount ("ca. 2"): the amount column keeps the amount, the word
// goes to the start of the processing note, where the export writes it back. So does a word that
// stands for the amount ("n.B."), which leaves none.
void KeepApproximation(ImportIngredient& line)
{
    if (IsAmountWord(line.AmountText)) {
        PrependNote(line, Trimmed(line.AmountText));
        line.AmountText.clear();
        return;
    }
    const std::string_view amount = WithoutApproximation(line.AmountText);
    const std::string_view text = Trim(line.AmountText, " ");
    if (amount.size() == text.size())
        return;
    const std::string word(RightTrim(text.substr(0, text.size() - amount.size())));
    line.AmountText = std::string(amount);
    PrependNote(line, word);
}

// A range in the amount column ("1-2"): the lower amount is the quantity, the range stays in
// the line as the start of the processing note, "(1-2)", which the export writes back as the
// range. The dash is a plain "-", which every output carries.
void KeepRange(ImportIngredient& line)
{
    std::string lower;
    std::string upper;
    if (!MMImport::SplitRange(line.AmountText, lower, upper))
        return;
    PrependNote(line, "(" + ExchangeAmount(MMImport::ParseAmount(lower)) + "-" +
                          ExchangeAmount(MMImport::ParseAmount(upper)) + ")");
}

// A line that may be a heading: every heading starts with five "M", "-" or "=", or is the
// indented "H" heading.
bool MayBeHeading(std::string_view line)
{
    const std::string_view trimmed = Trim(line, " ");
    return trimmed.starts_with("MMMMM") || trimmed.starts_with("-----") || trimmed.starts_with("=====") ||
           line.starts_with("      H    ");
}

// IsHeadingLine on a copy of line in heading; lines that cannot be a heading are not copied.
bool ReadHeading(std::string_view line, std::string& heading)
{
    if (!MayBeHeading(line))
        return false;
    heading.assign(line);
    return MMImport::IsHeadingLine(heading);
}

} // namespace

MMImport::MMImport(ClUnit& units, MMReadOptions options) : m_units(units), m_options(std::move(options)) {}

// ---------------------------------------------------------------------------------------------
// Line classes

bool MMImport::IsStartLine(std::string_view line)
{
    const std::string_view trimmed = LeftTrim(line);
    if (trimmed.starts_with("MMMMM") || trimmed.starts_with("-----"))
        return ContainsNoCase(line, "MEAL-MASTER");
    if (trimmed.starts_with("====="))
        return ContainsNoCase(line, "REZKONV");
    return false;
}

bool MMImport::IsHeadingLine(std::string& line)
{
    const std::string_view trimmed = Trim(line, " ");
    bool heading = false;
    if (trimmed.starts_with("MMMMM-----"))
        heading = true;
    else if ((trimmed.starts_with("MMMMM") || trimmed.starts_with("-----")) &&
             ContainsNoCase(line, "MEAL-MASTER"))
        heading = true;
    else if (trimmed.size() > 12 && trimmed.starts_with("-----") && trimmed.ends_with("-----"))
        heading = true;
    // Rezkonv writers put fewer "=" after a heading than before it ("=====CARAMEL===").
    else if (trimmed.size() > 12 && trimmed.starts_with("=====") && trimmed.ends_with("=="))
        heading = true;
    else if (trimmed.starts_with("=====") && ContainsNoCase(line, "REZKONV"))
        heading = true;
    if (heading) {
        std::string_view text = trimmed.substr(5);
        const std::size_t first = text.find_first_not_of("-= ");
        text = first == std::string_view::npos ? std::string_view() : text.substr(first);
        const std::size_t last = text.find_last_not_of("-= ");
        text = last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
        line = std::string(text);
        return true;
    }
    if (CharLength(line) < 40 && line.starts_with("      H    ")) {
        line = Trimmed(CharSubstr(line, 11));
        return true;
    }
    return false;
}

bool MMImport::IsEndLine(std::string_view line) const
{
    const std::string_view trimmed = Trim(line, " ");
    if (trimmed == "-----")
        return true;
    if (m_rezkonv && trimmed == "=====" && line.starts_with("="))
        return true;
    // Only "MMMMM" alone: "MMMMM-----Filling-----" is a heading and "MMMMM" with nothing but
    // dashes an empty one, both inside the ingredient list.
    return trimmed.size() >= 5 && trimmed.find_first_not_of("Mm") == std::string_view::npos;
}

bool MMImport::IsSourceHeading(std::string_view heading) const
{
    const std::string upper = ToUpper(heading);
    for (const std::string& word : m_options.SourceWords)
        if (!word.empty() && upper.find(ToUpper(word)) != std::string::npos)
            return true;
    return false;
}

bool MMImport::SplitRange(std::string_view text, std::string& lower, std::string& upper)
{
    // "1-2", "1-1 1/2", "1 - 2", "1–2": a dash between two amounts. A leading dash is no range.
    text = Trim(text, " ");
    const auto [dash, length] = RangeDash(text);
    if (dash == std::string_view::npos || dash == 0)
        return false;
    lower = Trimmed(text.substr(0, dash));
    upper = Trimmed(text.substr(dash + length));
    auto isAmount = [](std::string_view part) {
        return !part.empty() && RangeDash(part).first == std::string_view::npos &&
               ((part[0] >= '0' && part[0] <= '9') || part[0] == '.' || !IsAscii(part.substr(0, 1)));
    };
    return isAmount(lower) && isAmount(upper);
}

Decimal4 MMImport::ParseAmount(std::string_view text)
{
    // The amount column is eight characters wide; more digits would leave the fixed-point range.
    std::string work = CharSubstr(Trim(text, " "), 0, 12);
    // A range counts as its lower amount; a dash alone as nothing.
    std::string lower;
    std::string upper;
    if (SplitRange(work, lower, upper))
        work = lower;
    if (!IsAscii(work)) {
        for (const auto& [fraction, replacement] : kFractions) {
            for (std::size_t pos = work.find(fraction); pos != std::string::npos; pos = work.find(fraction))
                work.replace(pos, fraction.size(), replacement);
        }
        // "1 ½" gave "1  1/2": the whole part and the fraction stay one blank apart.
        for (std::size_t pos = work.find("  "); pos != std::string::npos; pos = work.find("  "))
            work.erase(pos, 1);
        work = Trimmed(work);
    }
    // A file does not know the display mode of its reader: "2,95" is 2.95 as "2.95" is.
    for (std::size_t comma = work.find(','); comma != std::string::npos; comma = work.find(',', comma + 1))
        work[comma] = '.';
    return ParseQuantity(work, 0);
}

int MMImport::FindUnit(std::string_view abbreviation)
{
    const std::string key(abbreviation);
    const auto found = m_unitCache.find(key);
    if (found != m_unitCache.end())
        return found->second;
    const int index = FindMMUnit(m_units, abbreviation);
    m_unitCache.emplace(key, index);
    return index;
}

// ---------------------------------------------------------------------------------------------
// Reading lines

std::string MMImport::Repair(std::string_view raw) const
{
    // Without the umlaut options a line stays as it is: "Wasser=DF" is text, and a file that is
    // really quoted-printable was decoded as a whole when it was read.
    if (!m_options.Umlaute && !m_options.NoUmlaute) {
        std::string line(raw);
        for (std::size_t pos = line.find("\xC2\xA0"); pos != std::string::npos;
             pos = line.find("\xC2\xA0", pos))
            line.replace(pos, 2, " ");
        return line;
    }
    if (!m_options.Umlaute && IsAscii(raw) && raw.find('=') == std::string::npos)
        return std::string(raw);
    std::u32string points = ToCodePoints(raw);
    bool protectedAny = false;
    for (char32_t& c : points) {
        if (c == 0xA0) {
            c = U' ';
            continue;
        }
        const auto it = std::find(kOemMarkers.begin(), kOemMarkers.end(), c);
        if (it != kOemMarkers.end()) {
            c = 0xE000 + static_cast<char32_t>(it - kOemMarkers.begin());
            protectedAny = true;
        }
    }
    std::string line = RepairCharset(FromCodePoints(points), m_options.NoUmlaute);
    if (m_options.Umlaute)
        line = Regenerate(line, m_options.UmlauteSS);
    if (!protectedAny)
        return line;
    points = ToCodePoints(line);
    for (char32_t& c : points)
        if (c >= 0xE000 && c < 0xE000 + kOemMarkers.size())
            c = kOemMarkers[c - 0xE000];
    return FromCodePoints(points);
}

bool MMImport::ReadImportLine()
{
    if (!m_pushback.empty()) {
        m_cur = std::move(m_pushback.front().Text);
        m_curNo = m_pushback.front().LineNo;
        m_pushback.pop_front();
        m_hasCur = true;
        return true;
    }
    if (m_lines && m_lines->Next(m_raw)) {
        const std::string_view raw = m_raw;
        if (!m_quote.empty() && raw.starts_with(m_quote))
            m_cur = Repair(raw.substr(m_quote.size()));
        else if (!m_quote.empty() && raw.starts_with(RightTrim(m_quote)) && Trim(raw, " >").empty())
            m_cur.clear();
        else
            m_cur = Repair(raw);
        m_curNo = ++m_lineCount;
        m_hasCur = true;
        return true;
    }
    m_cur.clear();
    m_hasCur = false;
    return false;
}

void MMImport::Unread(std::vector<BlockLine> lines)
{
    if (m_hasCur)
        m_pushback.push_front({std::move(m_cur), m_curNo});
    for (auto it = lines.rbegin(); it != lines.rend(); ++it)
        m_pushback.push_front(std::move(*it));
    m_hasCur = false;
    ReadImportLine();
}

MMImport::Found MMImport::FindHeader()
{
    for (; m_hasCur; ReadImportLine()) {
        // A recipe quoted in a mail ("> MMMMM-----"): the quote marks go from its lines.
        if (!IsStartLine(m_cur) && LeftTrim(m_cur).starts_with(">")) {
            const std::size_t text = m_cur.find_first_not_of("> ");
            if (text != std::string::npos && IsStartLine(std::string_view(m_cur).substr(text))) {
                m_quote += m_cur.substr(0, text);
                m_cur.erase(0, text);
            }
        }
        if (IsStartLine(m_cur)) {
            const std::string_view trimmed = LeftTrim(m_cur);
            const std::size_t text = trimmed.find_first_not_of("M-= ");
            m_headerText = text == std::string_view::npos ? std::string() : std::string(trimmed.substr(text));
            m_rezkonv = trimmed.starts_with("=====");
            return Found::Start;
        }
        if (m_cur.find("<?") != std::string::npos &&
            ToUpper(m_cur).find("<?XML-STYLESHEET HREF=\"MENSAX.XSL\"") != std::string::npos)
            return Found::Mensax;
        if (m_cur.find("EEEEE-----") != std::string::npos)
            return Found::Info;
    }
    return Found::End;
}

// ---------------------------------------------------------------------------------------------
// The file and one recipe

long MMImport::ReadFile(const ImportText& file, MMImportSink& sink)
{
    m_file = &file;
    m_sink = &sink;
    m_lines.emplace(file);
    m_raw.clear();
    m_lineCount = 0;
    m_pushback.clear();
    m_hasCur = false;
    m_lastId = 0;
    m_quote.clear();
    m_readFailed = false;
    long count = 0;
    ReadImportLine();
    Found found = FindHeader();
    while (found != Found::End && !sink.Cancelled()) {
        if (found == Found::Mensax) {
            if (sink.ImportMensax(file))
                break;
            ReadImportLine();
        } else if (found == Found::Info) {
            ImportMMX(m_lastId);
            m_lastId = 0;
        } else {
            std::string start = m_cur;
            if (!IsHeadingLine(start)) {
                sink.ReadProblem(file.Name, m_curNo, "Ungültige Kopfzeile eines Rezepts: " + m_cur, true);
                break;
            }
            if (ReadRecipe())
                ++count;
        }
        sink.Progress(m_lines->BytesRead(), m_lines->TotalBytes());
        found = FindHeader();
    }
    m_readFailed = m_lines->Failed();
    if (m_readFailed)
        sink.ReadProblem(file.Name, m_lineCount + 1,
                         "Die Datei wurde während des Lesens gekürzt oder verändert; der Rest der Datei "
                         "kann nicht gelesen werden.",
                         false);
    m_lines.reset();
    m_file = nullptr;
    m_sink = nullptr;
    return count;
}

bool MMImport::ReadRecipe()
{
    m_rec = ImportRecipe();
    m_rec.File = m_file->Name;
    m_rec.Line = m_curNo;
    m_rec.ImportDate = m_options.ImportDate;
    m_rec.ImportSource = 2;
    m_inSource = false;
    m_lastHardCut = false;
    bool listStarted = false;
    bool ended = false;
    bool headBlock = false;      // right after a known head field, without an empty line between
    bool moreCategories = false; // the categories line ended with a comma
    while (ReadImportLine()) {
        const std::string trimmed = Trimmed(m_cur);
        if (EqualsNoCase(trimmed, "MMMMM") || trimmed == "-----" || (m_rezkonv && trimmed == "=====")) {
            ReadImportLine();
            ended = true;
            break;
        }
        if (IsStartLine(m_cur)) {
            ended = true; // a recipe without end line; the next one starts here
            break;
        }
        std::string heading;
        if (ReadHeading(m_cur, heading)) {
            listStarted = true;
            ImportZutaten();
            break;
        }
        if (trimmed.empty()) {
            headBlock = false;
            continue;
        }
        if (moreCategories && m_cur.find(':') == std::string::npos) {
            ImportCategories(trimmed);
            moreCategories = !trimmed.empty() && trimmed.back() == ',';
            continue;
        }
        moreCategories = false;
        std::string key;
        std::string value;
        if (HeaderField(m_cur, key, value)) {
            if (key == "TITLE" || key == "TITEL") {
                if (value.size() >= 2 && value.front() == '\'' && value.back() == '\'')
                    value = Trimmed(std::string_view(value).substr(1, value.size() - 2));
                m_rec.Title = value;
                headBlock = true;
                continue;
            }
            if (key == "YIELD" || key == "SERVINGS" || key == "MENGE" || key == "PORTIONEN") {
                m_rec.YieldText = value;
                headBlock = true;
                continue;
            }
            if (key == "CATEGORIES" || key == "KATEGORIEN") {
                ImportCategories(value);
                headBlock = true;
                moreCategories = !value.empty() && value.back() == ',';
                continue;
            }
            // Other head fields of other writers ("Preparation Time: 0:30") beside the known
            // ones are kept as notes, unless the line is an ingredient line after all.
            if (headBlock && key.size() <= 30 && !LooksLikeIngredient(std::string(RightTrim(m_cur)))) {
                if (!m_rec.Notizen.empty())
                    m_rec.Notizen += "\n";
                m_rec.Notizen += trimmed;
                continue;
            }
        }
        listStarted = true;
        ImportZutaten();
        break;
    }
    if (!ended) {
        if (!listStarted && m_hasCur)
            ImportZutaten();
        ImportZubereitung();
        // The whole rest of the file was read and its last line is no end line: the file was cut.
        m_rec.Incomplete =
            !m_hasCur && m_pushback.empty() && (m_lineCount == 0 || !IsEndLine(m_raw));
    }
    ImportYield();
    for (ImportIngredient& line : m_rec.Lines) {
        if (line.IsTrenner)
            continue;
        if (!line.Text.empty() && line.Text.back() == ';')
            line.Text = std::string(RightTrim(std::string_view(line.Text).substr(0, line.Text.size() - 1)));
        KeepApproximation(line);
        KeepRange(line);
    }
    if (m_rec.Zubereitung.empty())
        m_rec.Zubereitung = " ";
    if (m_lines->Failed()) {
        // The file ended under the reader: what was read of this recipe is not all of it.
        m_sink->ReadProblem(m_rec.File, m_rec.Line, "Rezept unvollständig gelesen: " + m_rec.Title, true);
        m_lastId = 0;
        return false;
    }
    if (m_rec.Title.empty()) {
        m_sink->ReadProblem(m_rec.File, m_rec.Line, "Rezept ohne Titel", true);
        m_lastId = 0;
        return false;
    }
    m_lastId = m_sink->StoreRecipe(m_rec);
    return true;
}

void MMImport::ImportCategories(std::string_view value)
{
    std::string list = ReplaceSpecialChars(value, 1);
    while (!list.empty()) {
        const std::string name = Trimmed(GetNextTokenText(list, ","));
        if (name.empty())
            continue;
        if (EqualsNoCase(name, "VORLAGE") || EqualsNoCase(name, "TEMPLATE")) {
            m_rec.IsTemplate = true;
            continue;
        }
        if (std::find_if(m_rec.Categories.begin(), m_rec.Categories.end(), [&](const std::string& c) {
                return EqualsNoCase(c, name);
            }) == m_rec.Categories.end())
            m_rec.Categories.push_back(name);
    }
}

void MMImport::ImportYield()
{
    std::string text = Trimmed(m_rec.YieldText);
    // A yield is a small number: nine digits are plenty and keep the arithmetic in range.
    if (ParseQuantity(CharSubstr(text, 0, 9), kEditFlagDecimalMode) == Decimal4())
        text = "1";
    const std::size_t blank = text.find(' ');
    const std::string number = CharSubstr(blank == std::string::npos ? text : text.substr(0, blank), 0, 9);
    std::string unit =
        blank == std::string::npos ? std::string() : Trimmed(std::string_view(text).substr(blank + 1));
    const std::int64_t whole = ParseQuantity(number, kEditFlagDecimalMode).Ticks() / Decimal4::kScale;
    m_rec.Servings = static_cast<long>(std::clamp<std::int64_t>(whole, 0, 1000000));
    if (m_rec.Servings == 0)
        m_rec.Servings = 1;
    // "1 1/2 loaves": the fraction belongs to the number, not to the unit.
    if (const std::size_t gap = unit.find(' '); gap != std::string::npos && unit.find('/') < gap &&
                                                std::isdigit(static_cast<unsigned char>(unit.front())))
        unit = Trimmed(std::string_view(unit).substr(gap + 1));
    if (unit.empty())
        unit = "Servings";
    else if (EqualsNoCase(unit, "KEINE ANGABE"))
        unit = "Rezept";
    // Trimmed again after the cut, as the yield reads back from the written line.
    m_rec.YieldUnitText = Trimmed(CutChars(unit, 50));
}

// ---------------------------------------------------------------------------------------------
// Ingredients

MMImport::LineResult MMImport::ParseIngredient(const std::string& line, ParsedLine& parsed)
{
    std::u32string cols = ToCodePoints(line);
    std::string wideAmount = WideAmount(cols);
    if (wideAmount.empty() && m_rezkonv)
        wideAmount = ShiftedAmount(cols);
    // Text in column 8 is no ingredient line: the preparation begins (without an empty line).
    if (Col(cols, 7) != U' ')
        return LineResult::EndList;
    parsed = ParsedLine();
    parsed.AmountText = wideAmount.empty() ? Trimmed(Cols(cols, 0, 8)) : wideAmount;
    if (!parsed.AmountText.empty() && !IsAmountWord(parsed.AmountText)) {
        if (!IsAmountText(parsed.AmountText))
            return LineResult::EndList;
        parsed.Amount = ParseAmount(WithoutApproximation(parsed.AmountText));
    }
    if (m_rezkonv) {
        // Amount in 1-7, unit right-aligned in 9-17, text from 20; written by hand the unit is
        // the first word after the amount when the table knows it. A line of a unit without text
        // ("500 Gramm") has its one word inside the unit's columns.
        const std::string tail = Cols(cols, 8);
        const std::string rest = Trimmed(tail);
        const std::size_t wordStart = 8 + tail.find_first_not_of(' ');
        const std::size_t blank = rest.find(' ');
        const bool unitOnly = blank == std::string::npos && wordStart + CharLength(rest) <= 17;
        // The preparation is indented by two blanks, so "  Etwas Öl erhitzen" or "  ca. 1 Std. gehen
        // lassen" right after the last ingredient leaves column 8 blank too. A rough amount needs a
        // known unit inside the unit's columns or the text from column 20, as the export writes it.
        const bool rough = IsRoughAmount(parsed.AmountText);
        const std::string word = rest.substr(0, blank);
        const bool unitFits = !rough || wordStart + CharLength(word) <= 17;
        if ((blank != std::string::npos || unitOnly) && wordStart < 19 && unitFits) {
            if (const int index = FindUnit(word)) {
                parsed.UnitID = m_units.id(index);
                parsed.UnitText = word;
                parsed.Text = unitOnly ? std::string() : Trimmed(std::string_view(rest).substr(blank + 1));
                return LineResult::Ingredient;
            }
        }
        if (rough && wordStart != 19)
            return LineResult::EndList;
        parsed.Text = rest;
        return LineResult::Ingredient;
    }
    std::size_t textStart = 11;
    std::string unit = Trimmed(Cols(cols, 8, 2));
    if (Col(cols, 10) != U' ') {
        // A three-letter unit ("pkg") of other writers, when the table knows it.
        const std::string wide = Trimmed(Cols(cols, 8, 3));
        if (Col(cols, 11) != U' ' || wide.find(' ') != std::string::npos || FindUnit(wide) == 0)
            return LineResult::EndList;
        unit = wide;
        textStart = 12;
    }
    if (!unit.empty()) {
        const int index = FindUnit(unit);
        if (index == 0)
            return LineResult::EndList;
        parsed.UnitID = m_units.id(index);
        parsed.UnitText = unit;
    }
    parsed.Text = Trimmed(Cols(cols, textStart));
    parsed.HardCut = IsHardCut(wideAmount.empty() ? line : FromCodePoints(cols), kMMLineWidth);
    return LineResult::Ingredient;
}

bool MMImport::ParseFreeForm(const std::string& line, ParsedLine& parsed)
{
    // "1 1/2 c flour, sifted": amount words, a unit the table knows, the text.
    parsed = ParsedLine();
    std::vector<std::string> words;
    std::string rest = Trimmed(line);
    for (std::size_t pos = 0; pos < rest.size();) {
        const std::size_t blank = rest.find(' ', pos);
        const std::size_t end = blank == std::string::npos ? rest.size() : blank;
        if (end > pos)
            words.push_back(rest.substr(pos, end - pos));
        pos = end + 1;
    }
    auto isAmount = [](const std::string& word) {
        return !word.empty() && word.size() <= 7 &&
               (std::isdigit(static_cast<unsigned char>(word[0])) || !IsAscii(word)) &&
               std::all_of(word.begin(), word.end(), [](char c) {
                   return std::isdigit(static_cast<unsigned char>(c)) || c == '/' || c == '.' || c == ',' ||
                          c == '-' || (static_cast<unsigned char>(c) & 0x80) != 0;
               });
    };
    std::size_t next = 0;
    if (next < words.size() && isAmount(words[next])) {
        parsed.AmountText = words[next++];
        if (next < words.size() && isAmount(words[next]) && words[next].find('/') != std::string::npos &&
            parsed.AmountText.find('/') == std::string::npos)
            parsed.AmountText += " " + words[next++];
        parsed.Amount = ParseAmount(parsed.AmountText);
        if (parsed.Amount == Decimal4())
            return false;
    }
    if (next + 1 < words.size()) {
        if (const int index = FindUnit(words[next])) {
            parsed.UnitID = m_units.id(index);
            parsed.UnitText = words[next++];
        }
    }
    for (; next < words.size(); ++next)
        parsed.Text += (parsed.Text.empty() ? "" : " ") + words[next];
    return !parsed.Text.empty();
}

bool MMImport::ReadFreeFormBlock(const std::vector<BlockLine>& block)
{
    // Ingredients written without the fixed columns: accepted only as the first block after the
    // head, when most lines begin with an amount and every line reads as an ingredient.
    if (m_rezkonv || block.size() < 2 || block.size() > 60)
        return false;
    std::vector<ParsedLine> lines;
    std::size_t withAmount = 0;
    for (const BlockLine& line : block) {
        // Sentences of a preparation end with a full stop; ingredient lines are short.
        const std::string text = Trimmed(line.Text);
        if (CharLength(text) > 50 || text.back() == '.' || text.back() == ':')
            return false;
        ParsedLine parsed;
        if (!ParseFreeForm(text, parsed))
            return false;
        withAmount += parsed.Amount != Decimal4() ? 1 : 0;
        lines.push_back(std::move(parsed));
    }
    if (withAmount * 3 < lines.size() * 2)
        return false;
    for (ParsedLine& parsed : lines)
        AddIngredient(std::move(parsed));
    return true;
}

bool MMImport::LooksLikeIngredient(const std::string& line)
{
    std::u32string cols = ToCodePoints(line);
    std::string wide = WideAmount(cols);
    if (wide.empty() && m_rezkonv)
        wide = ShiftedAmount(cols);
    if (Col(cols, 7) != U' ')
        return false;
    if (!m_rezkonv && Col(cols, 10) != U' ')
        return false;
    const std::string amount = wide.empty() ? Trimmed(Cols(cols, 0, 7)) : wide;
    return amount.empty() || IsAmountWord(amount) ||
           (IsAmountText(amount) && ParseAmount(WithoutApproximation(amount)) != Decimal4());
}

bool MMImport::SplitTwoColumns(std::string& left, std::string& right)
{
    // A line of at most 41 bytes has at most 41 characters: no right half.
    if (m_rezkonv || left.size() <= 41)
        return false;
    const std::u32string cols = ToCodePoints(left);
    if (cols.size() <= 41 || Col(cols, 7) != U' ')
        return false;
    // The right half starts in column 42; edited by hand it may have moved a few columns, then
    // it must carry an amount and stand after two blanks. Only when the right half is an
    // ingredient line of its own: an overlong single-column line keeps its text.
    constexpr std::size_t kStarts[] = {41, 40, 42, 39, 43, 38, 44, 37, 45, 36, 46};
    for (const std::size_t start : kStarts) {
        if (start >= cols.size() || Col(cols, start - 1) != U' ')
            continue;
        const bool standard = start == 41;
        if (!standard && Col(cols, start - 2) != U' ')
            continue;
        std::string candidate = FromCodePoints(std::u32string_view(cols).substr(start));
        if (Trimmed(candidate).empty())
            continue;
        ParsedLine parsed;
        std::string probe = candidate;
        const bool heading = standard && IsHeadingLine(probe);
        if (!heading && (ParseIngredient(candidate, parsed) != LineResult::Ingredient ||
                         (!standard && parsed.AmountText.empty())))
            continue;
        left = std::string(RightTrim(FromCodePoints(std::u32string_view(cols).substr(0, start - 1))));
        right = std::move(candidate);
        return true;
    }
    return false;
}

bool MMImport::AddKeepingLine(std::string_view line)
{
    // "3 Tage gekühlt": days, then how the dish is kept.
    const std::string text = Trimmed(line);
    long days = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), days);
    if (ec != std::errc() || days <= 0)
        return false;
    const std::string rest =
        ToLower(std::string_view(end, static_cast<std::size_t>(text.data() + text.size() - end)));
    if (rest.find("tage") == std::string::npos)
        return false;
    std::size_t index = 1;
    if (rest.find("tiefgefroren") != std::string::npos || rest.find("tiefgekühlt") != std::string::npos)
        index = 2;
    else if (rest.find("ungekühlt") != std::string::npos || rest.find("gelagert") != std::string::npos)
        index = 0;
    m_rec.StorageTime[index] = std::min(days, 100000L);
    return true;
}

void MMImport::AddSourceLine(std::string_view line)
{
    std::string text = Trimmed(line);
    if (text.starts_with("-") && !text.starts_with("--"))
        text = Trimmed(std::string_view(text).substr(1));
    if (text.empty())
        return;
    if (!m_rec.SourceText.empty())
        m_rec.SourceText += "\n";
    m_rec.SourceText += text;
}

void MMImport::AddIngredient(ParsedLine parsed)
{
    // After a word cut hard the continuation goes on without a blank, in place of the "-".
    const bool joinHard = std::exchange(m_lastHardCut, parsed.HardCut);
    auto base = [joinHard](const std::string& text) {
        return joinHard && !text.empty() && text.back() == '-' ? text.substr(0, text.size() - 1) : text;
    };
    auto gap = [joinHard](const std::string& before, const std::string& after) {
        return joinHard || JoinsAtSlash(before, after) ? "" : " ";
    };
    // Runs of blanks inside the text (padding of hand-made columns) are one blank, as a wrapped
    // line reads back.
    std::string text = std::move(parsed.Text);
    text.erase(std::unique(text.begin(), text.end(), [](char a, char b) { return a == ' ' && b == ' '; }),
               text.end());
    if (text.starts_with("-") && parsed.AmountText.empty() && parsed.UnitID == 0 && !m_rec.Lines.empty() &&
        !m_rec.Lines.back().IsTrenner) {
        std::string_view rest = std::string_view(text).substr(1);
        if (rest.starts_with("-"))
            rest.remove_prefix(1);
        const std::string piece = Trimmed(rest);
        ImportIngredient& previous = m_rec.Lines.back();
        if (piece.empty()) {
            m_rec.WrittenLines.push_back(-1);
            return;
        }
        if (!previous.Verarbeitung.empty()) {
            const std::string joined =
                base(previous.Verarbeitung) + gap(previous.Verarbeitung, piece) + piece;
            if (CharLength(joined) <= kMaxNoteLength) {
                previous.Verarbeitung = joined;
                m_rec.WrittenLines.push_back(-1);
                return;
            }
        } else {
            std::string joined = base(previous.Text) + gap(previous.Text, piece) + piece;
            if (CharLength(joined) <= kMaxTextLength) {
                const std::size_t semi = joined.find(';');
                if (semi != std::string::npos && semi + 1 < joined.size()) {
                    previous.Text = std::string(RightTrim(std::string_view(joined).substr(0, semi)));
                    previous.Verarbeitung =
                        CutChars(LeftTrim(std::string_view(joined).substr(semi + 1)), kMaxNoteLength);
                } else {
                    previous.Text = std::move(joined);
                }
                m_rec.WrittenLines.push_back(-1);
                return;
            }
        }
        text = piece;
    }
    ImportIngredient line;
    line.Amount = parsed.Amount;
    line.AmountText = parsed.AmountText;
    line.UnitID = parsed.UnitID;
    line.UnitText = parsed.UnitText;
    const std::size_t semi = text.find(';');
    // A ";" at the end of the line: the note follows on the continuation line; the text keeps the
    // ";" until then.
    if (semi != std::string::npos && semi + 1 < text.size()) {
        line.Text = std::string(RightTrim(std::string_view(text).substr(0, semi)));
        line.Verarbeitung = CutChars(LeftTrim(std::string_view(text).substr(semi + 1)), kMaxNoteLength);
        if (line.Text.empty())
            std::swap(line.Text, line.Verarbeitung);
    } else {
        line.Text = std::move(text);
    }
    line.Text = CutChars(line.Text, kMaxTextLength);
    // A line with nothing in it (a lone "-") is no ingredient.
    if (line.Text.empty() && line.Verarbeitung.empty() && line.Amount == Decimal4() && line.UnitID == 0) {
        m_rec.WrittenLines.push_back(-1);
        return;
    }
    m_rec.WrittenLines.push_back(static_cast<int>(m_rec.Lines.size()));
    m_rec.Lines.push_back(std::move(line));
}

std::vector<MMImport::BlockLine> MMImport::ReadBlock()
{
    std::vector<BlockLine> block;
    while (m_hasCur) {
        const std::string line(RightTrim(m_cur));
        const std::string trimmed = Trimmed(line);
        if (trimmed.empty() || IsEndLine(line) || IsStartLine(line))
            break;
        block.push_back({line, m_curNo});
        ReadImportLine();
    }
    return block;
}

bool MMImport::ContinuesList(const std::vector<BlockLine>& block)
{
    bool anyAmount = false;
    for (const BlockLine& line : block) {
        std::string headingProbe;
        if (ReadHeading(line.Text, headingProbe))
            continue;
        ParsedLine parsed;
        std::string left = line.Text;
        std::string right;
        SplitTwoColumns(left, right);
        if (!LooksLikeIngredient(left) || (m_rezkonv && !m_rec.Lines.empty() && !HasRezkonvColumns(left)) ||
            ParseIngredient(left, parsed) != LineResult::Ingredient)
            return false;
        anyAmount = anyAmount || parsed.Amount != Decimal4();
    }
    return anyAmount;
}

std::vector<MMImport::BlockLine> MMImport::OrderColumns(std::vector<BlockLine> block)
{
    std::vector<BlockLine> ordered;
    std::vector<BlockLine> rights;
    for (BlockLine& line : block) {
        std::string probeHeading;
        if (ReadHeading(line.Text, probeHeading)) {
            std::move(rights.begin(), rights.end(), std::back_inserter(ordered));
            rights.clear();
            ordered.push_back(std::move(line));
            continue;
        }
        std::string right;
        if (SplitTwoColumns(line.Text, right))
            rights.push_back({std::move(right), line.LineNo});
        ordered.push_back(std::move(line));
    }
    std::move(rights.begin(), rights.end(), std::back_inserter(ordered));
    return ordered;
}

bool MMImport::TakeHeading(const std::string& heading)
{
    if (IsSourceHeading(heading)) {
        m_inSource = true;
        return false;
    }
    m_inSource = false;
    m_inKeeping = m_rezkonv && ToUpper(heading).find("HALTBARKEIT") != std::string::npos;
    if (m_inKeeping)
        return false;
    if (m_rec.YieldText.empty() && IsNumber(heading) &&
        ToUpper(m_headerText).find("B&S ") != std::string::npos) {
        m_rec.YieldText = heading;
        return false;
    }
    // An empty heading is a separator without a text, as the editor makes them.
    ImportIngredient separator;
    separator.IsTrenner = true;
    separator.Text = CutChars(heading, kMaxTextLength);
    m_rec.WrittenLines.push_back(static_cast<int>(m_rec.Lines.size()));
    m_rec.Lines.push_back(std::move(separator));
    return true;
}

bool MMImport::TakeBlock(const std::vector<BlockLine>& block, bool& taken)
{
    for (std::size_t i = 0; i < block.size(); ++i) {
        const std::string& line = block[i].Text;
        std::string heading;
        if (ReadHeading(line, heading)) {
            taken = TakeHeading(heading) || taken;
            continue;
        }
        if (m_inSource) {
            AddSourceLine(line);
            continue;
        }
        if (m_inKeeping && AddKeepingLine(line))
            continue;
        ParsedLine parsed;
        const LineResult result = ParseIngredient(line, parsed);
        if (result == LineResult::EndList) {
            // This line and the rest of the block are the beginning of the preparation.
            Unread(std::vector<BlockLine>(block.begin() + static_cast<std::ptrdiff_t>(i), block.end()));
            return false;
        }
        AddIngredient(std::move(parsed));
        taken = true;
    }
    return true;
}

bool MMImport::SkipToNextBlock()
{
    m_inKeeping = false;
    while (m_hasCur && Trim(m_cur, " ").empty())
        ReadImportLine();
    return m_hasCur && !IsEndLine(m_cur) && !IsStartLine(m_cur);
}

bool MMImport::ImportZutaten()
{
    // A source section ends with the ingredient list.
    struct EndSource
    {
        bool& inSource;
        bool& inKeeping;
        ~EndSource() { inSource = inKeeping = false; }
    } endSource{m_inSource, m_inKeeping};
    bool taken = false;
    bool firstBlock = true;
    while (m_hasCur) {
        std::vector<BlockLine> block = ReadBlock();
        if (block.empty())
            return taken;
        std::string probe;
        const bool headingFirst = ReadHeading(block.front().Text, probe);
        // A rule without text after the list ("--------------------") begins the preparation.
        if (headingFirst && probe.empty() && !m_rec.Lines.empty() &&
            !LeftTrim(block.front().Text).starts_with("MMMMM")) {
            Unread(std::move(block));
            return taken;
        }
        if (!headingFirst) {
            const bool accept =
                LooksLikeIngredient(block.front().Text) && (firstBlock || ContinuesList(block));
            if (!accept && firstBlock && ReadFreeFormBlock(block)) {
                taken = true;
                firstBlock = false;
                if (!SkipToNextBlock())
                    return taken;
                continue;
            }
            if (!accept) {
                Unread(std::move(block));
                return taken;
            }
        }
        firstBlock = false;
        if (!TakeBlock(OrderColumns(std::move(block)), taken) || !SkipToNextBlock())
            return taken;
    }
    return taken;
}

// ---------------------------------------------------------------------------------------------
// Preparation and information block

void MMImport::ImportZubereitung()
{
    std::vector<TextLine> lines;
    const std::size_t width =
        static_cast<std::size_t>(std::max(AppContext::Current().Options.ExportBreak, 0));
    int count = 0;
    while (m_hasCur) {
        const std::string trimmed = Trimmed(m_cur);
        if (IsEndLine(m_cur)) {
            ReadImportLine();
            break;
        }
        if (IsStartLine(m_cur) || m_cur.find("EEEEE-----") != std::string::npos)
            break;
        // The line limit belongs to Meal-Master, whose writers cut a recipe at 100 lines; a
        // Rezkonv recipe carries its whole preparation, as the Rezkonv export writes it.
        if (!m_rezkonv && ++count > kMaxPreparationLines) {
            m_sink->ReadProblem(m_file->Name, m_curNo,
                                "Die Zubereitung ist länger als " + std::to_string(kMaxPreparationLines) +
                                    " Zeilen; der Rest des Rezepts wird übersprungen.",
                                false);
            break;
        }
        std::string heading;
        if (!trimmed.empty() && ReadHeading(m_cur, heading)) {
            // Headings inside the preparation stay as text; a source heading starts the source.
            // A rule of dashes or "=" without text is text as it stands, and so is a line framed by
            // "=" ("===== Tipp ====="): in a Meal-Master recipe "=" marks no heading, and the Rezkonv
            // writer indents such a line of its preparation.
            const bool framedText = trimmed.starts_with("=====") && (!m_rezkonv || m_cur.starts_with(' '));
            if (heading.empty() || framedText) {
                lines.push_back({trimmed});
            } else if (IsSourceHeading(heading)) {
                m_inSource = true;
            } else if (m_inSource) {
                m_inSource = false;
                lines.push_back({heading});
            } else {
                lines.push_back({heading});
            }
            ReadImportLine();
            continue;
        }
        if (m_inSource && !trimmed.empty()) {
            AddSourceLine(trimmed);
            ReadImportLine();
            continue;
        }
        if (trimmed.size() > 1 && trimmed.front() == ':') {
            const std::size_t second = trimmed.find(':', 1);
            if (second != std::string::npos) {
                const std::string key = ToUpper(Trim(std::string_view(trimmed).substr(1, second - 1), " "));
                const std::string value = Trimmed(std::string_view(trimmed).substr(second + 1));
                if (key == "FINGERPRINT") {
                    std::string rest = value;
                    const std::string fp1 = Trimmed(GetNextTokenText(rest, ","));
                    const std::string fp2 = Trimmed(GetNextTokenText(rest, ","));
                    std::int32_t v1 = 0;
                    std::int32_t v2 = 0;
                    const auto r1 = std::from_chars(fp1.data(), fp1.data() + fp1.size(), v1);
                    const auto r2 = std::from_chars(fp2.data(), fp2.data() + fp2.size(), v2);
                    if (r1.ec == std::errc() && r2.ec == std::errc()) {
                        m_rec.FP1 = v1;
                        m_rec.FP2 = v2;
                    }
                    ReadImportLine();
                    continue;
                }
                if (key == "NOTIZEN") {
                    if (!m_rec.Notizen.empty())
                        m_rec.Notizen += "\n";
                    m_rec.Notizen += value;
                    ReadImportLine();
                    continue;
                }
            }
        }
        lines.push_back({trimmed, IsHardCut(m_cur, width), CharLength(RightTrim(m_cur))});
        ReadImportLine();
    }
    if (count > kMaxPreparationLines) {
        // The rest of the recipe is skipped up to the next recipe.
        while (m_hasCur && !IsStartLine(m_cur) && m_cur.find("EEEEE-----") == std::string::npos &&
               !IsEndLine(m_cur))
            ReadImportLine();
        if (m_hasCur && IsEndLine(m_cur))
            ReadImportLine();
    }
    // The lines of a paragraph are joined, as the export wrapped them; lists, tables and rules
    // keep their lines, and one empty line stands between paragraphs.
    std::string text;
    for (const std::string& line : TextParagraphs(lines, width)) {
        if (!text.empty() || line.empty())
            text += '\n';
        text += line;
    }
    m_rec.Zubereitung = std::move(text);
}

void MMImport::ImportMMX(long recipeId)
{
    MMInfoBlock block;
    std::vector<TextLine> notices;
    const std::size_t width =
        static_cast<std::size_t>(std::max(AppContext::Current().Options.ExportBreak, 0));
    enum class Section { None, Codes, Notices } section = Section::None;
    ReadImportLine();
    for (; m_hasCur; ReadImportLine()) {
        const std::string trimmed = Trimmed(m_cur);
        if (trimmed == "EEEEE") {
            ReadImportLine();
            break;
        }
        if (IsStartLine(m_cur))
            break;
        const std::string upper = ToUpper(trimmed);
        if (upper.starts_with("ORIGIN:")) {
            block.Origin = Trimmed(std::string_view(trimmed).substr(7));
            section = Section::None;
        } else if (upper.starts_with("BLS:")) {
            block.Codes = Trimmed(std::string_view(trimmed).substr(4));
            section = Section::Codes;
        } else if (upper.starts_with("NOTICES:")) {
            notices = {{Trimmed(std::string_view(trimmed).substr(8)), IsHardCut(m_cur, width),
                        CharLength(RightTrim(m_cur))}};
            section = Section::Notices;
        } else if (section == Section::Codes) {
            block.Codes += trimmed;
        } else if (section == Section::Notices) {
            notices.push_back({trimmed, IsHardCut(m_cur, width), CharLength(RightTrim(m_cur))});
        }
    }
    for (const std::string& line : TextParagraphs(notices, width)) {
        if (!block.Notices.empty() || line.empty())
            block.Notices += '\n';
        block.Notices += line;
    }
    if (recipeId != 0 && !m_lines->Failed())
        m_sink->StoreInfoBlock(recipeId, block);
}

} // namespace pf
