#include "nutrition/FoodNameKey.h"

#include "core/Utf8.h"

#include <algorithm>
#include <array>

namespace pf {

namespace {

// Replacement of a lower-case letter outside ASCII; null when the letter stays.
const char* Folded(char32_t cp)
{
    switch (cp) {
    case U'ä':
        return "ae";
    case U'ö':
        return "oe";
    case U'ü':
        return "ue";
    case U'ß':
        return "ss";
    case U'à':
    case U'á':
    case U'â':
    case U'ã':
    case U'å':
        return "a";
    case U'æ':
        return "ae";
    case U'ç':
        return "c";
    case U'è':
    case U'é':
    case U'ê':
    case U'ë':
        return "e";
    case U'ì':
    case U'í':
    case U'î':
    case U'ï':
        return "i";
    case U'ñ':
        return "n";
    case U'ò':
    case U'ó':
    case U'ô':
    case U'õ':
    case U'ø':
        return "o";
    case U'œ':
        return "oe";
    case U'ù':
    case U'ú':
    case U'û':
        return "u";
    case U'ÿ':
    case U'ý':
        return "y";
    default:
        return nullptr;
    }
}

// Stems whose umlaut is no plural mark in the kitchen: the plural names something else than the
// plain stem does. "Kräuter" are herbs, while "Kraut" is cabbage.
constexpr std::array<std::string_view, 1> kOwnUmlautStems = {"kraeut"};

// True when the "e" of the digraph at i belongs to one of those stems.
bool InOwnUmlautStem(const std::string& key, std::size_t i)
{
    // The last place a stem starts at or before i reaches furthest: if it does not cover i, none does.
    for (const std::string_view stem : kOwnUmlautStems) {
        const std::size_t at = key.rfind(stem, i);
        if (at != std::string::npos && i < at + stem.size())
            return true;
    }
    return false;
}

// The umlaut of a stem written back as its plain vowel ("aepfel" → "apfel", "wuerst" → "wurst"):
// German plurals and diminutives often add one. Only the last digraph of the last word changes.
std::string WithoutUmlaut(const std::string& key)
{
    const std::size_t wordStart = key.rfind(' ') == std::string::npos ? 0 : key.rfind(' ') + 1;
    for (std::size_t i = key.size(); i-- > wordStart + 1;) {
        if (key[i] == 'e' && (key[i - 1] == 'a' || key[i - 1] == 'o' || key[i - 1] == 'u') &&
            // "eue" and "aue" are diphthongs followed by e, no umlauts.
            !(i >= 2 && key[i - 1] == 'u' && (key[i - 2] == 'e' || key[i - 2] == 'a')))
            return InOwnUmlautStem(key, i) ? std::string() : key.substr(0, i) + key.substr(i + 1);
    }
    return {};
}

} // namespace

std::string FoodNameKey(std::string_view text)
{
    std::string key;
    key.reserve(text.size());
    bool blank = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[pos]);
        if (c < 0x80) {
            ++pos;
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                blank = !key.empty();
                continue;
            }
            if (blank)
                key += ' ';
            blank = false;
            key += static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
            continue;
        }
        const char32_t cp = ToLowerCp(NextCodePoint(text, pos));
        if (blank)
            key += ' ';
        blank = false;
        if (const char* folded = Folded(cp))
            key += folded;
        else
            AppendUtf8(key, cp);
    }
    return key;
}

std::vector<std::string> FoodNameForms(const std::string& key)
{
    struct Ending
    {
        std::string_view Plural;
        std::string_view Singular;
    };
    // English endings, then "n" before the rest, since most German plurals in "-en" only add an
    // "n" to a singular in "-e" ("Kirschen" is "Kirsche", neither "Kirsch" nor a diminutive).
    static constexpr std::array kEndings = {Ending{"ies", "y"},  Ending{"oes", "o"}, Ending{"ves", "f"},
                                            Ending{"ves", "fe"}, Ending{"n", ""},    Ending{"chen", ""},
                                            Ending{"lein", ""},  Ending{"en", ""},   Ending{"e", ""},
                                            Ending{"er", ""},    Ending{"es", ""},   Ending{"s", ""}};
    std::vector<std::string> forms;
    auto add = [&](std::string form) {
        if (form.size() >= 2 && form != key && std::find(forms.begin(), forms.end(), form) == forms.end())
            forms.push_back(std::move(form));
    };
    for (const Ending& e : kEndings) {
        // At least two letters of stem: "eier" still reaches "ei", a bare ending reaches nothing.
        if (!key.ends_with(e.Plural) || key.size() < e.Plural.size() + 2)
            continue;
        std::string stem = key.substr(0, key.size() - e.Plural.size());
        if (stem.back() == ' ')
            continue;
        add(stem + std::string(e.Singular));
    }
    const std::size_t plain = forms.size();
    add(WithoutUmlaut(key));
    for (std::size_t i = 0; i < plain; ++i)
        add(WithoutUmlaut(forms[i]));
    return forms;
}

} // namespace pf
