#pragma once
// Text layout shared by the recipe exports: cutting a text into pieces of a column width,
// formatting a text block for the fixed-column formats, the separator line of a Meal-Master
// ingredient list, the amounts of the exchange files, and the character conversions of the HTML
// and XML outputs. The readers of those formats join lines into paragraphs with the same rule
// (TextParagraphs), so that a text written and read again is the same text. Pure functions on
// UTF-8 text that count characters, never bytes; line breaks in results are CR LF.

#include "core/Decimal4.h"

#include <string>
#include <string_view>
#include <vector>

namespace pf {

// Line breaks of any kind (CR LF, a lone CR, a lone LF) as CR LF.
std::string NormalizeLineBreaks(std::string_view text);

// Removes and returns the next piece of at most width characters: the text up to a line break
// within width, else the whole text when it fits, else the text up to the last blank that keeps
// the piece shorter than width (never where the rest would look like a new line: a list item, a
// table line, a leading "-", or after ":" or ";"; nor where the lines would join at a slash; nor
// at a run of blanks, which a reader would join as one; unless no other blank fits). A word longer
// than that is cut hard: width - 1 characters and "-", the only pieces of the full width that end with "-".
// The blanks stay at the start of the rest.
std::string CutLine(std::string& text, int width);

// One line of a text as a reader meets it; HardCut: the line fills the width and ends with the
// "-" of a word cut hard, so the next line continues the word. Length: the columns the line fills
// with its indent; 0 for a line of a stored text, whose paragraph is yet to be wrapped at width.
struct TextLine
{
    std::string Text;
    bool HardCut = false;
    std::size_t Length = 0;
};

// Two lines of one paragraph that join without a blank: the first ends with "/" after a word or
// number and the second starts with a letter or digit ("1/" and "2 Tassen" are "1/2 Tassen"), as
// earlier writers broke lines after a slash. So no piece of CutLine ends there.
bool JoinsAtSlash(std::string_view before, std::string_view after);

// A line that stands on its own in a text: an item of a list ("- ", "* ", "1. ", "2) ", "a) "), a
// line of a ":"-table ("Backzeit: 40 Minuten"), a colon line (":Notiz: ..."), a rule without
// letters and digits ("-----"), or a caption between rules ("===== Tipp =====").
bool IsLaidOutLine(std::string_view line);

// The lines of a text joined into its paragraphs, as export and import both see a text: the
// lines of a paragraph with a blank (a word cut hard without one, its "-" dropped; lines that
// JoinsAtSlash without one); on their own
// stay laid-out lines, lines after a rule or a ":", and lines after a sentence that ended on a
// line the next word would have fitted into (width columns). Lines are trimmed; one empty entry
// stands between paragraphs for any run of empty lines, none at the start or the end.
std::vector<std::string> TextParagraphs(const std::vector<TextLine>& lines, std::size_t width);

// Formats a text into lines of width characters with indent blanks before each, joined by CR LF:
// its paragraphs (TextParagraphs) wrapped with CutLine. A paragraph followed by an empty line and
// at most maxParagraph characters long stays whole. lineCount counts the written lines; with
// limitLines the text stops before line 101 of the recipe.
std::string FormatTextBlock(std::string_view text, int& lineCount, int maxParagraph, int indent, int width,
                            bool limitLines);

// A heading as the fill around it lets a reader see it: without dashes, "=" and blanks at its ends.
std::string HeadingText(std::string_view heading);

// "MMMMM" and dashes around a heading (HeadingText), 70 characters for a heading of up to 55, and never fewer
// than five dashes on each side.
std::string MMHeadingLine(std::string_view heading);

// Reduces text to what the UTF-8 outputs carry: ASCII, the accented letters and signs of the
// program's list; the list bullet pair (middle dot, TAB) and every other character are dropped.
std::string AnsiToUtf8(std::string_view text);

// Text to HTML: & < > escaped, blanks at the start of a line or after another blank as "&nbsp;",
// line breaks as "<br />".
std::string HTMLConvert(std::string_view text);
// Fills "$1", "$2", "$3" of a template, the values converted with HTMLConvert when asked.
std::string HTMLReplace(std::string_view templ, bool convert, std::string_view v1, std::string_view v2 = {},
                        std::string_view v3 = {});

// An amount as the exchange files carry it, whatever the user's display mode, so that every
// reader reads it back: a whole number, or a whole number and a fraction when the amount is
// one of n/d (d = 2 ... 8) to a thousandth ("1 1/2"), otherwise a decimal with
// "." and as many places as fit into width characters, rounded, trailing zeros dropped ("2.95",
// "187.547"). Empty for 0. Only whole numbers of more than width digits are longer than width.
std::string ExchangeAmount(Decimal4 amount, std::size_t width = 7);

// A processing note that starts with the range an import kept from the amount column ("(1-2)
// gesiebt") with a plain "-" in that range; earlier imports wrote an en dash ("(1–2)"), which the
// UTF-8 outputs drop ("(12)"). Other notes come back as they are.
std::string PlainRangeNote(std::string_view note);

// Text padded with blanks to width characters (right-aligned when asked) and, with cut, cut to it.
std::string PadText(std::string_view text, std::size_t width, bool rightAlign, bool cut);

} // namespace pf
