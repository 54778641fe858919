#pragma once
// Trimming of blanks at both ends of a text; which characters count as blanks is the caller's
// choice (settings trim blanks and tabs, file lines also line ends).

#include <string_view>

namespace pf {

inline constexpr std::string_view kBlanksAndTabs = " \t";
inline constexpr std::string_view kWhiteSpace = " \t\r\n";

inline std::string_view Trim(std::string_view text, std::string_view blanks = kBlanksAndTabs)
{
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

} // namespace pf
