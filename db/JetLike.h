#pragma once
// The Jet LIKE operator: "*" any run of characters, "?" one character, "#" one digit, "[abc]" and
// "[a-z]" one character of a list or range, "[!...]" one character not in it, "[*]" a literal
// wildcard character. Case never matters, umlauts and accented letters included (Ä matches ä);
// a range also takes accented forms of its letters ([a-c] matches ä), as the engine's sort order
// places them. Patterns are compiled once and matched on code points.

#include <stdexcept>
#include <string_view>
#include <vector>

namespace pf {

// An unclosed "[" in a pattern; the engine reports it as error 93 "Ungültige Musterzeichenfolge".
class JetPatternError : public std::invalid_argument
{
public:
    using std::invalid_argument::invalid_argument;
};

class JetLikePattern
{
public:
    // Throws JetPatternError for a malformed pattern.
    explicit JetLikePattern(std::string_view pattern);
    bool Matches(std::string_view text) const;

private:
    enum class Kind : unsigned char { Literal, Any, Digit, Class, Star };
    struct Element
    {
        Kind kind;
        bool negated;
        char32_t cp;           // Literal: the lower-case character
        unsigned first, count; // Class: its ranges in m_ranges
    };
    struct Range
    {
        char32_t low, high;
    };

    bool MatchOne(const Element& e, char32_t lowerCp) const;

    std::vector<Element> m_elements;
    std::vector<Range> m_ranges;
};

// Compiles and matches once; throws JetPatternError for a malformed pattern.
bool JetLike(std::string_view pattern, std::string_view text);

} // namespace pf
