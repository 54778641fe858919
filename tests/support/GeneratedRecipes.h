#pragma once
// Meal-Master files of any number of recipes for tests that need volume: every recipe has its own
// title "<prefix> <n>", a category, a yield, three ingredient lines and a preparation.

#include <string>

namespace pf::test {

inline std::string RecipeFile(const std::string& prefix, long first, long count)
{
    std::string text;
    text.reserve(static_cast<std::size_t>(count) * 300);
    for (long n = first; n < first + count; ++n) {
        const std::string no = std::to_string(n);
        text += "MMMMM----- Recipe via Meal-Master (tm) v8.05\r\n\r\n      Title: " + prefix + " " + no +
                "\r\n Categories: Kategorie " + std::to_string(n % 40) +
                "\r\n      Yield: " + std::to_string(1 + n % 6) +
                " Portionen\r\n\r\n    250 g  Mehl\r\n      " + std::to_string(1 + n % 9) +
                "    Eier\r\n    1/2 l  Milch\r\n\r\n  Alles verruehren (" + no +
                ") und backen.\r\n\r\nMMMMM\r\n\r\n";
    }
    return text;
}

} // namespace pf::test
