#pragma once
// The language codes 0..9 shared by recipes, lexicon entries and food names: each has a name, a
// short form and a group letter that selects language-specific columns. Other codes give "".

#include <string>

namespace pf {

inline constexpr long kLanguageCount = 10;

std::string LanguageName(long code);
// The short form in square brackets, e.g. "[DE(CH)]".
std::string LanguageShort(long code);
// "D", "E", "F", "I", or "?" for code 0.
std::string LanguageGroup(long code);

} // namespace pf
