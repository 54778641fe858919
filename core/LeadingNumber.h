#pragma once
// Start of a number at the beginning of a text, as settings and stored values are read: blanks
// and tabs skipped, then an optional sign. Never depends on the locale.

#include <cstddef>
#include <string_view>

namespace pf {

// Position of the first digit (or of whatever follows the sign); negative tells the sign.
inline std::size_t SkipBlanksAndSign(std::string_view text, bool& negative)
{
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
        ++pos;
    negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    return pos;
}

} // namespace pf
