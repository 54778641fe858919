#include "db/JetLike.h"

#include "core/Utf8.h"
#include "db/JetText.h"

namespace pf {

JetLikePattern::JetLikePattern(std::string_view pattern)
{
    std::size_t pos = 0;
    while (pos < pattern.size()) {
        const char32_t cp = NextCodePoint(pattern, pos);
        switch (cp) {
        case '*':
            // Runs of stars match the same as one.
            if (m_elements.empty() || m_elements.back().kind != Kind::Star)
                m_elements.push_back(Element{Kind::Star, false, 0, 0, 0});
            break;
        case '?':
            m_elements.push_back(Element{Kind::Any, false, 0, 0, 0});
            break;
        case '#':
            m_elements.push_back(Element{Kind::Digit, false, 0, 0, 0});
            break;
        case '[': {
            Element e{Kind::Class, false, 0, static_cast<unsigned>(m_ranges.size()), 0};
            bool closed = false;
            bool firstInClass = true;
            while (pos < pattern.size()) {
                char32_t c = NextCodePoint(pattern, pos);
                if (c == ']') {
                    closed = true;
                    break;
                }
                if (c == '!' && firstInClass) {
                    e.negated = true;
                    firstInClass = false;
                    continue;
                }
                firstInClass = false;
                c = ToLowerCp(c);
                char32_t high = c;
                // "a-z" is a range; a "-" first or last in the list stands for itself.
                if (pos + 1 < pattern.size() && pattern[pos] == '-' && pattern[pos + 1] != ']') {
                    ++pos;
                    high = ToLowerCp(NextCodePoint(pattern, pos));
                    if (high < c)
                        throw JetPatternError("Ungültige Musterzeichenfolge.");
                }
                m_ranges.push_back(Range{c, high});
            }
            if (!closed)
                throw JetPatternError("Ungültige Musterzeichenfolge.");
            e.count = static_cast<unsigned>(m_ranges.size()) - e.first;
            // "[]" matches the empty text, so it adds no element ("[!]" is one any character).
            if (e.count == 0 && !e.negated)
                break;
            if (e.count == 0)
                e.kind = Kind::Any;
            m_elements.push_back(e);
            break;
        }
        default:
            m_elements.push_back(Element{Kind::Literal, false, ToLowerCp(cp), 0, 0});
            break;
        }
    }
}

bool JetLikePattern::MatchOne(const Element& e, char32_t lowerCp) const
{
    switch (e.kind) {
    case Kind::Literal:
        return e.cp == lowerCp;
    case Kind::Any:
        return true;
    case Kind::Digit:
        return lowerCp >= '0' && lowerCp <= '9';
    case Kind::Class: {
        const char32_t base = BaseLetter(lowerCp);
        bool inClass = false;
        for (unsigned i = e.first; i < e.first + e.count && !inClass; ++i) {
            const Range& r = m_ranges[i];
            if (lowerCp >= r.low && lowerCp <= r.high)
                inClass = true;
            else if (r.low != r.high && base != lowerCp && base >= r.low && base <= r.high)
                inClass = true;
        }
        return inClass != e.negated;
    }
    case Kind::Star:
        return false;
    }
    return false;
}

bool JetLikePattern::Matches(std::string_view text) const
{
    // Decode once; a reused buffer keeps this free of allocations in a query over many rows.
    thread_local std::vector<char32_t> chars;
    chars.clear();
    std::size_t pos = 0;
    while (pos < text.size()) {
        // Most characters of recipe texts are ASCII letters, lowered without a table lookup.
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x80) {
            chars.push_back(byte >= 'A' && byte <= 'Z' ? char32_t(byte + ('a' - 'A')) : char32_t(byte));
            ++pos;
        } else {
            chars.push_back(ToLowerCp(NextCodePoint(text, pos)));
        }
    }

    // Iterative wildcard matching with backtracking to the last star: linear for one star,
    // never exponential.
    std::size_t t = 0;
    std::size_t p = 0;
    std::size_t starP = std::string_view::npos;
    std::size_t starT = 0;
    const std::size_t n = m_elements.size();
    while (t < chars.size()) {
        if (p < n && m_elements[p].kind == Kind::Star) {
            starP = p++;
            starT = t;
        } else if (p < n && MatchOne(m_elements[p], chars[t])) {
            ++p;
            ++t;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < n && m_elements[p].kind == Kind::Star)
        ++p;
    return p == n;
}

bool JetLike(std::string_view pattern, std::string_view text)
{
    return JetLikePattern(pattern).Matches(text);
}

} // namespace pf
