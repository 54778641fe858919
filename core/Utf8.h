#pragma once
// Code-point level helpers for the program's UTF-8 text: decoding, length and substrings in
// characters, and upper/lower case that covers umlauts and accented Latin letters.

#include <cstddef>
#include <string>
#include <string_view>

namespace pf {

// Decodes the code point at pos and advances pos; an invalid byte yields U+FFFD and one byte.
char32_t NextCodePoint(std::string_view text, std::size_t& pos);
void AppendUtf8(std::string& out, char32_t cp);
std::size_t CharLength(std::string_view text);
// Substring by characters (start 0-based, count may run past the end).
std::string CharSubstr(std::string_view text, std::size_t start, std::size_t count = std::string::npos);

// The whole text as code points and back, for rules that index characters.
std::u32string ToCodePoints(std::string_view text);
std::string FromCodePoints(std::u32string_view text);

char32_t ToUpperCp(char32_t cp);
char32_t ToLowerCp(char32_t cp);
std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);
// Only a to z upper-cased, every other byte kept: for the names of tags and fields.
std::string ToUpperAscii(std::string_view text);
// Case-insensitive equality (umlauts included).
bool EqualsNoCase(std::string_view a, std::string_view b);

// A to Z and a to z only. Inline: the readers ask it for every character.
constexpr bool IsAsciiLetter(char32_t cp)
{
    return (cp >= U'A' && cp <= U'Z') || (cp >= U'a' && cp <= U'z');
}
// A byte that continues a UTF-8 sequence rather than starting a character.
constexpr bool IsContinuationByte(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}
// Every byte below 0x80: the text reads the same in any code page.
bool IsAscii(std::string_view text);

} // namespace pf
