#include "core/CodePage.h"

#include "core/Utf8.h"

#include <cerrno>
#include <iconv.h>

namespace pf {

namespace {

// Owns one iconv conversion descriptor.
class IconvHandle
{
public:
    IconvHandle(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~IconvHandle()
    {
        if (Valid())
            iconv_close(m_cd);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool Valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts one whole input; false when iconv refuses any part of it.
    bool Convert(std::string_view in, std::string& out)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr); // back to the initial state
        std::string input(in);
        char* inPtr = input.data();
        std::size_t inLeft = input.size();
        char buffer[16];
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        if (iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
            return false;
        out.assign(buffer, static_cast<std::size_t>(outPtr - buffer));
        return true;
    }

private:
    iconv_t m_cd;
};

} // namespace

CodePage::CodePage(const char* iconvName)
{
    IconvHandle decoder("UTF-8", iconvName);
    for (unsigned int b = 0; b < 256; ++b) {
        // Bytes the page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D in Windows-1252) stand for the
        // C1 control with the same number, so that any file survives reading and writing unchanged.
        char32_t cp = static_cast<char32_t>(b);
        std::string utf8;
        const char byte = static_cast<char>(static_cast<unsigned char>(b));
        if (decoder.Valid() && decoder.Convert(std::string_view(&byte, 1), utf8) && !utf8.empty()) {
            std::size_t pos = 0;
            cp = NextCodePoint(utf8, pos);
        }
        m_toUnicode[b] = cp;
        m_fromUnicode.emplace(cp, static_cast<unsigned char>(b)); // the first byte wins on duplicates
    }
}

const CodePage& CodePage::Cp850()
{
    static const CodePage page("CP850");
    return page;
}

const CodePage& CodePage::Windows1252()
{
    static const CodePage page("WINDOWS-1252");
    return page;
}

bool CodePage::Encode(char32_t cp, unsigned char& byte) const
{
    if (cp < 0x80 && m_toUnicode[cp] == cp) {
        byte = static_cast<unsigned char>(cp);
        return true;
    }
    auto it = m_fromUnicode.find(cp);
    if (it == m_fromUnicode.end())
        return false;
    byte = it->second;
    return true;
}

std::string CodePage::ToUtf8(std::string_view bytes) const
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80 && m_toUnicode[b] == b)
            out.push_back(c);
        else
            AppendUtf8(out, m_toUnicode[b]);
    }
    return out;
}

std::string CodePage::FromUtf8(std::string_view text) const
{
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        // Runs of characters the page keeps as they are (ASCII on every page used here) go over
        // whole: exported recipes are mostly such text.
        std::size_t run = pos;
        while (run < text.size()) {
            const auto b = static_cast<unsigned char>(text[run]);
            if (b >= 0x80 || m_toUnicode[b] != b)
                break;
            ++run;
        }
        out.append(text.substr(pos, run - pos));
        pos = run;
        if (pos == text.size())
            break;
        const char32_t cp = NextCodePoint(text, pos);
        unsigned char byte = 0;
        out.push_back(Encode(cp, byte) ? static_cast<char>(byte) : '?');
    }
    return out;
}

} // namespace pf
