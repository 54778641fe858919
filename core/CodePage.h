#pragma once
// The two single-byte code pages met at file boundaries: code page 850 ("OEM", DOS-era files) and
// Windows-1252 ("ANSI"). The byte tables are built once from glibc iconv. Every byte decodes to one
// character and encodes back to itself; a character the page lacks encodes as "?".

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>

namespace pf {

class CodePage
{
public:
    static const CodePage& Cp850();
    static const CodePage& Windows1252();

    std::string ToUtf8(std::string_view bytes) const;
    std::string FromUtf8(std::string_view text) const;

    // The character a byte stands for.
    char32_t Decode(unsigned char byte) const { return m_toUnicode[byte]; }
    // The byte of a character; false when the page lacks it.
    bool Encode(char32_t cp, unsigned char& byte) const;

private:
    explicit CodePage(const char* iconvName);

    std::array<char32_t, 256> m_toUnicode{};
    std::unordered_map<char32_t, unsigned char> m_fromUnicode;
};

} // namespace pf
