#pragma once
// Text layout shared by the recipe exports: cutting a text into pieces of a column width,
// formatting a text block for the fixed-column formats, the separator line of a Meal-Master
// ingredient list, and the character conversions of the HTML and XML outputs. Pure functions on
// UTF-8 text that count characters, never bytes; line breaks in results are CR LF.

#include <string>
#include <string_view>

namespace pf {

// Line breaks of any kind (CR LF, a lone CR, a lone LF) as CR LF.
std::string NormalizeLineBreaks(std::string_view text);

// Removes and returns the next piece of at most width characters: the text up to a line break
// within width, else up to the last of " ,;/)!.-(" within width (an opening parenthesis moves to
// the next piece), else width - 1 characters and "-".
std::string CutLine(std::string& text, int width);

// Formats a text into lines of width characters with indent blanks before each, joined by CR LF.
// A line followed by an empty line and at most maxParagraph characters long stays whole; short
// pieces are joined with what follows unless it begins with ":". lineCount counts the written
// lines; with limitLines the text stops before line 101 of the recipe.
std::string FormatTextBlock(std::string_view text, int& lineCount, int maxParagraph, int indent, int width,
                            bool limitLines);

// "MMMMM" and dashes around a heading, 70 characters for a heading of up to 55, and never fewer
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

// Text padded with blanks to width characters (right-aligned when asked) and, with cut, cut to it.
std::string PadText(std::string_view text, std::size_t width, bool rightAlign, bool cut);

} // namespace pf
