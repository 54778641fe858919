#pragma once
// Text repair and transliteration for recipe files: code pages, quoted-printable, umlaut digraphs,
// accent folding and field splitting. Pure functions on UTF-8 text, except that umlaut
// regeneration reads the exception list of the current AppContext and elimination reads the
// setting ExportUmlautAnsi.

#include <string>
#include <string_view>
#include <variant>

namespace pf {

// Code pages at file boundaries. Windows-1252 bytes 0x81, 0x8D, 0x8F, 0x90, 0x9D map to U+0081 ...
// so that every byte round-trips. Characters a code page lacks become "?" when encoding.
std::string Cp850ToUtf8(std::string_view bytes);
std::string Utf8ToCp850(std::string_view text);
std::string Win1252ToUtf8(std::string_view bytes);
std::string Utf8ToWin1252(std::string_view text);
bool IsValidUtf8(std::string_view bytes);
// A Latin letter followed by a combining accent (decomposed text, as some systems write file names
// and text files) becomes the one precomposed character of Windows-1252, so that "Ka\u0308se" is
// found, sorted and matched as "Käse". A mark without such a character is kept as it is.
std::string ComposeAccents(std::string_view text);
// Whether text holds a combining accent ComposeAccents may compose; without one it returns the text.
bool HasCombiningAccent(std::string_view text);
// The letter that base followed by the combining mark forms there; 0 when there is none.
char32_t ComposedLetter(char32_t base, char32_t mark);

// OemToChar / CharToOem on internal text: each character taken as its Windows-1252 byte and
// reinterpreted in code page 850, and back.
std::string OemToChar(std::string_view text);
std::string CharToOem(std::string_view text);

// A field split off by GetNextToken: text, or a number when it was numeric and keepAsText false.
using Token = std::variant<std::string, double>;
Token GetNextToken(std::string& text, std::string_view delimiter, bool keepAsText);
// Convenience: the field as text whatever it holds.
std::string GetNextTokenText(std::string& text, std::string_view delimiter);

std::string ReplaceSpecialChars(std::string_view text, int mode);
std::string EliminateUmlaute(std::string_view text, bool convert, bool lowerOnly);
std::string RepairCharset(std::string_view text, bool eliminate);
std::string RegenerateUmlaute(std::string_view text, bool regenerate, bool keepSs);
std::string FoldAccents(std::string_view text);

// Loads the umlaut exception list (".UML" beside the settings file, copied into the data folder
// when newer) into AppContext::UmlautExceptions.
void LoadUmlautExceptions();

// A count with its noun in the right number: "1 Rezept", "2 Rezepte", "0 Rezepte". The plural is
// the noun as stored (yield units are stored in the plural); the singular comes from a short list of
// the German kitchen nouns that change ("Portionen" → "Portion", "Gläser" → "Glas"); other nouns
// stay as they are ("1 Stück", "1 Liter").
std::string CountText(long count, std::string_view plural);
// Every occurrence of what, left to right; an empty what changes nothing.
void ReplaceAll(std::string& text, std::string_view what, std::string_view with);

} // namespace pf
