#include "core/Utf8.h"

namespace pf {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

} // namespace

char32_t NextCodePoint(std::string_view text, std::size_t& pos)
{
    const auto c0 = static_cast<unsigned char>(text[pos]);
    if (c0 < 0x80) {
        ++pos;
        return c0;
    }
    std::size_t length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if ((c0 & 0xE0) == 0xC0) {
        length = 2;
        cp = c0 & 0x1F;
        minimum = 0x80;
    } else if ((c0 & 0xF0) == 0xE0) {
        length = 3;
        cp = c0 & 0x0F;
        minimum = 0x800;
    } else if ((c0 & 0xF8) == 0xF0) {
        length = 4;
        cp = c0 & 0x07;
        minimum = 0x10000;
    } else {
        ++pos;
        return kReplacement;
    }
    if (pos + length > text.size()) {
        ++pos;
        return kReplacement;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[pos + i]);
        if (!IsContinuationByte(c)) {
            ++pos;
            return kReplacement;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode are not characters.
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return kReplacement;
    }
    pos += length;
    return cp;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = kReplacement;
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::size_t CharLength(std::string_view text)
{
    std::size_t count = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (static_cast<unsigned char>(text[pos]) < 0x80)
            ++pos;
        else
            NextCodePoint(text, pos);
        ++count;
    }
    return count;
}

std::string CharSubstr(std::string_view text, std::size_t start, std::size_t count)
{
    std::size_t pos = 0;
    for (std::size_t i = 0; i < start && pos < text.size(); ++i)
        NextCodePoint(text, pos);
    const std::size_t begin = pos;
    for (std::size_t i = 0; i < count && pos < text.size(); ++i)
        NextCodePoint(text, pos);
    return std::string(text.substr(begin, pos - begin));
}

// Simple one-to-one case mappings of Latin-1, Latin Extended-A, basic Greek and Cyrillic. The
// sharp s has no single upper-case letter and stays as it is, as the engine and VB leave it.
char32_t ToUpperCp(char32_t cp)
{
    if (cp < 0x80)
        return (cp >= 'a' && cp <= 'z') ? cp - 32 : cp;
    if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7)
        return cp - 0x20;
    if (cp == 0xFF)
        return 0x178;
    if (cp >= 0x100 && cp <= 0x17F) {
        if (cp == 0x131)
            return 'I';
        if (cp == 0x17F)
            return 'S';
        if ((cp >= 0x100 && cp <= 0x12F) || (cp >= 0x132 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177))
            return (cp & 1) ? cp - 1 : cp;
        if ((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E))
            return (cp & 1) ? cp : cp - 1;
        return cp;
    }
    if (cp >= 0x3B1 && cp <= 0x3C9 && cp != 0x3C2)
        return cp - 0x20;
    if (cp == 0x3C2)
        return 0x3A3;
    if (cp >= 0x430 && cp <= 0x44F)
        return cp - 0x20;
    if (cp >= 0x450 && cp <= 0x45F)
        return cp - 0x50;
    return cp;
}

char32_t ToLowerCp(char32_t cp)
{
    if (cp < 0x80)
        return (cp >= 'A' && cp <= 'Z') ? cp + 32 : cp;
    if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7)
        return cp + 0x20;
    if (cp == 0x178)
        return 0xFF;
    if (cp >= 0x100 && cp <= 0x17F) {
        if (cp == 0x130)
            return 'i';
        if ((cp >= 0x100 && cp <= 0x12F) || (cp >= 0x132 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177))
            return (cp & 1) ? cp : cp + 1;
        if ((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E))
            return (cp & 1) ? cp + 1 : cp;
        return cp;
    }
    if (cp >= 0x391 && cp <= 0x3A9 && cp != 0x3A2)
        return cp + 0x20;
    if (cp >= 0x410 && cp <= 0x42F)
        return cp + 0x20;
    if (cp >= 0x400 && cp <= 0x40F)
        return cp + 0x50;
    return cp;
}

namespace {

template <typename Map> std::string MapCase(std::string_view text, Map map)
{
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto c = static_cast<unsigned char>(text[pos]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(map(c)));
            ++pos;
            continue;
        }
        const std::size_t start = pos;
        const char32_t cp = NextCodePoint(text, pos);
        const char32_t mapped = map(cp);
        // Bytes that are no valid UTF-8 pass through unchanged instead of becoming U+FFFD.
        if (cp == kReplacement && mapped == cp)
            out.append(text.substr(start, pos - start));
        else
            AppendUtf8(out, mapped);
    }
    return out;
}

} // namespace

std::string ToUpper(std::string_view text)
{
    return MapCase(text, ToUpperCp);
}

std::string ToLower(std::string_view text)
{
    return MapCase(text, ToLowerCp);
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[j]);
        if (ca < 0x80 && cb < 0x80) {
            if (ToLowerCp(ca) != ToLowerCp(cb))
                return false;
            ++i;
            ++j;
            continue;
        }
        if (ToLowerCp(NextCodePoint(a, i)) != ToLowerCp(NextCodePoint(b, j)))
            return false;
    }
    return i == a.size() && j == b.size();
}

std::u32string ToCodePoints(std::string_view text)
{
    std::u32string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size())
        out.push_back(NextCodePoint(text, pos));
    return out;
}

std::string FromCodePoints(std::u32string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char32_t cp : text)
        AppendUtf8(out, cp);
    return out;
}

std::string ToUpperAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool IsAscii(std::string_view text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

} // namespace pf
