#pragma once
// A settings file with the rules of the classic profile-string functions: "[section]" headers,
// key=value lines, section and key names case-insensitive, values trimmed and read up to 1023
// characters. Every call reads the file afresh. A write changes one line (or adds one) and renames
// a complete new copy into place, so every other byte stays as it was. Nothing here throws.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pf {

class IniFile
{
public:
    static constexpr std::size_t kMaxValueLength = 1023;

    explicit IniFile(std::string path);

    const std::string& Path() const { return m_path; }

    // The stored value: trimmed, one pair of enclosing quotes (" or ') removed, cut at a NUL; not
    // shortened. Empty when the file, the section or the key is missing.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    // Find, else the default; the result is cut to kMaxValueLength characters.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;

    // Replaces the key's line in place, or adds the key after the last line of its section, or adds
    // the section with the key at the end of the file. False when the file could not be written.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value) const;

private:
    std::string m_path;
};

} // namespace pf
