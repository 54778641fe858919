#pragma once
// Text comparison the way the Jet engine's General sort order treats it: case never matters,
// accented letters sort beside their base letter but stay distinct from it (Apfel < Äpfel <
// Apfelmus), ß sorts as "ss". Used by the JETNOCASE collation and by Jet LIKE ranges.

#include <string_view>

namespace pf {

// Plain lower-case ASCII letter of a lower-case Latin-1 or Latin Extended-A letter ('a' for ä),
// the code point itself for anything else.
char32_t BaseLetter(char32_t lowerCp);

// Negative, zero or positive like strcmp; zero exactly when the texts differ in case only.
int JetCompare(std::string_view a, std::string_view b);

} // namespace pf
