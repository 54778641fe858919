#include "db/JetText.h"

#include "core/Utf8.h"

#include <cstddef>

namespace pf {

namespace {

// Base letters of U+00C0..U+00FF and U+0100..U+017F; '*' keeps the character.
constexpr std::string_view kLatin1 = "aaaaaaaceeeeiiiidnooooo*ouuuuy*saaaaaaaceeeeiiiidnooooo*ouuuuy*y";
constexpr std::string_view kExtendedA = "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiiiiijjkkklllllll"
                                        "lllnnnnnnnnnoooooooorrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";

// Second letter of the letters that sort as two (æ, œ, ß, ĳ), 0 for all others.
char Expansion(char32_t lowerCp)
{
    switch (lowerCp) {
    case 0xE6:
        return 'e';
    case 0x153:
        return 'e';
    case 0xDF:
        return 's';
    case 0x133:
        return 'j';
    default:
        return 0;
    }
}

// Yields the primary sort units of a text: lower-case base letters with expansions.
class PrimaryStream
{
public:
    explicit PrimaryStream(std::string_view text) : m_text(text) {}

    // -1 at the end.
    long Next()
    {
        if (m_pending) {
            const char c = m_pending;
            m_pending = 0;
            return c;
        }
        if (m_pos >= m_text.size())
            return -1;
        const auto c = static_cast<unsigned char>(m_text[m_pos]);
        if (c < 0x80) {
            ++m_pos;
            return static_cast<long>(ToLowerCp(c));
        }
        const char32_t lower = ToLowerCp(NextCodePoint(m_text, m_pos));
        m_pending = Expansion(lower);
        return static_cast<long>(BaseLetter(lower));
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
    char m_pending = 0;
};

int Sign(long d)
{
    return d < 0 ? -1 : (d > 0 ? 1 : 0);
}

} // namespace

char32_t BaseLetter(char32_t lowerCp)
{
    if (lowerCp >= 0xC0 && lowerCp <= 0xFF) {
        const char base = kLatin1[lowerCp - 0xC0];
        return base == '*' ? lowerCp : static_cast<char32_t>(base);
    }
    if (lowerCp >= 0x100 && lowerCp <= 0x17F)
        return static_cast<char32_t>(kExtendedA[lowerCp - 0x100]);
    return lowerCp;
}

int JetCompare(std::string_view a, std::string_view b)
{
    // Fast path: equal bytes are equal on every level, ASCII compares lower-cased bytes. Sorted
    // titles share long beginnings, so most comparisons end here.
    std::size_t i = 0;
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (; i < common; ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (ca == cb)
            continue;
        if ((ca | cb) >= 0x80)
            break;
        const auto la = static_cast<unsigned char>(ca >= 'A' && ca <= 'Z' ? ca + 32 : ca);
        const auto lb = static_cast<unsigned char>(cb >= 'A' && cb <= 'Z' ? cb + 32 : cb);
        if (la != lb)
            return la < lb ? -1 : 1;
    }
    // A text that is the other's beginning has fewer letters (every character is at least one).
    if (i == common) {
        if (a.size() == b.size())
            return 0;
        return a.size() < b.size() ? -1 : 1;
    }
    // The rest starts at the character the differing byte belongs to (the bytes before it are
    // the same in both texts).
    while (i > 0 && (static_cast<unsigned char>(a[i]) & 0xC0) == 0x80)
        --i;
    a.remove_prefix(i);
    b.remove_prefix(i);

    PrimaryStream pa(a);
    PrimaryStream pb(b);
    for (;;) {
        const long ua = pa.Next();
        const long ub = pb.Next();
        if (ua != ub)
            return Sign(ua - ub);
        if (ua < 0)
            break;
    }
    // Same letters: the accents decide, case still does not.
    std::size_t pa2 = 0;
    std::size_t pb2 = 0;
    while (pa2 < a.size() && pb2 < b.size()) {
        const char32_t la = ToLowerCp(NextCodePoint(a, pa2));
        const char32_t lb = ToLowerCp(NextCodePoint(b, pb2));
        if (la != lb)
            return la < lb ? -1 : 1;
    }
    if (pa2 < a.size())
        return 1;
    if (pb2 < b.size())
        return -1;
    return 0;
}

} // namespace pf
