#pragma once
// A fresh temporary folder per test, removed with everything in it when the test ends.

#include <filesystem>
#include <string>

namespace pf::test {

class TempDir
{
public:
    TempDir();
    // The folder inside base (the system's temporary folder when base is empty).
    explicit TempDir(const std::filesystem::path& base);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // Path of a file inside the folder, as text.
    std::string File(const std::string& name) const { return (m_path / name).string(); }
    // The folder with a trailing separator.
    std::string Dir() const { return m_path.string() + "/"; }

private:
    std::filesystem::path m_path;
};

// Writes text to a file (creating folders), byte for byte.
void WriteFile(const std::string& path, const std::string& content);
std::string ReadFile(const std::string& path);

} // namespace pf::test
