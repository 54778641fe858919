#include "core/IniFile.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <tuple>

namespace pf {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

const char* const kSample = "; Einstellungen\r\n"
                            "orphan=ignored\r\n"
                            "[Pfannola]\r\n"
                            "Database = /daten/Rezepte.MDB  \r\n"
                            "; DBTYPE=ODBC\r\n"
                            "Quoted=\"  mit Blanks  \"\r\n"
                            "Single='x'\r\n"
                            "Half=\"nur vorne\r\n"
                            "Empty=\r\n"
                            "noequals\r\n"
                            "\r\n"
                            "[ TOOLS1 ]\r\n"
                            "Name=Eins\r\n"
                            "[pfannola]\r\n"
                            "Database=zweiter Abschnitt\r\n"
                            "Later=nur hier\r\n";

TEST(IniFile, ReadsByProfileStringRules)
{
    TempDir dir;
    WriteFile(dir.File("a.ini"), kSample);
    IniFile ini(dir.File("a.ini"));

    const std::tuple<const char*, const char*, std::optional<std::string>> cases[] = {
        {"Pfannola", "Database", "/daten/Rezepte.MDB"}, {"PFANNOLA", "database", "/daten/Rezepte.MDB"},
        {"Pfannola", "Quoted", "  mit Blanks  "},       {"Pfannola", "Single", "x"},
        {"Pfannola", "Half", "\"nur vorne"},            {"Pfannola", "Empty", ""},
        {"Pfannola", "DBTYPE", std::nullopt}, // commented out
        {"Pfannola", "noequals", std::nullopt},
        {"Pfannola", "orphan", std::nullopt}, // before any section
        {"Pfannola", "Later", std::nullopt},  // only the first section of a name counts
        {"tools1", "NAME", "Eins"},
        {"Fehlt", "Name", std::nullopt},
    };
    for (const auto& [section, key, expected] : cases)
        EXPECT_EQ(ini.Find(section, key), expected) << section << "/" << key;
    EXPECT_EQ(ini.ReadString("Pfannola", "Fehlt", "vorgabe"), "vorgabe");
}

TEST(IniFile, ValueIsCutTo1023CharactersAndReadFromWindows1252OrUtf8WithBom)
{
    TempDir dir;
    std::string longValue;
    for (int i = 0; i < 1100; ++i)
        longValue += "ä"; // two bytes each: the cut counts characters
    WriteFile(dir.File("a.ini"), "[S]\nK=" + longValue + "\nExact=" + std::string(1023, 'x') + "\n");
    IniFile ini(dir.File("a.ini"));

    std::string expected;
    for (int i = 0; i < 1023; ++i)
        expected += "ä";
    EXPECT_EQ(ini.ReadString("S", "K", ""), expected);
    EXPECT_EQ(ini.ReadString("S", "Exact", "").size(), 1023u);
    EXPECT_EQ(ini.Find("S", "K"), longValue);

    // Windows-1252 and UTF-8 with a byte order mark are both read.
    WriteFile(dir.File("ansi.ini"), "[K\xFC\x63he]\nTitel=K\xE4se \x80 5\n");
    WriteFile(dir.File("bom.ini"), "\xEF\xBB\xBF[Küche]\nTitel=Käse € 5\n");
    for (const char* name : {"ansi.ini", "bom.ini"})
        EXPECT_EQ(IniFile(dir.File(name)).ReadString("KÜCHE", "titel", ""), "Käse € 5") << name;
}

TEST(IniFile, WriteKeepsEverythingElseByteForByteAndLinksAndPermissions)
{
    TempDir dir;
    const std::string path = dir.File("a.ini");
    // What happens, the section, key and value written, the file before and after.
    const std::tuple<const char*, const char*, const char*, std::string, std::string, std::string> cases[] = {
        {"replace in place, CRLF kept", "pfannola", "DATABASE", "neu",
         "; Kopf\r\n[Pfannola]\r\n; Notiz\r\nDatabase = alt\r\nShowTips=1\r\n",
         "; Kopf\r\n[Pfannola]\r\n; Notiz\r\nDATABASE=neu\r\nShowTips=1\r\n"},
        {"append to section before blank lines", "A", "Neu", "1", "[A]\nx=1\n\n[B]\ny=2\n",
         "[A]\nx=1\nNeu=1\n\n[B]\ny=2\n"},
        {"append to last section without final line end", "B", "z", "3", "[A]\r\nx=1\r\n[B]\r\ny=2",
         "[A]\r\nx=1\r\n[B]\r\ny=2\r\nz=3\r\n"},
        {"new section at the end", "Neu", "k", "v w", "[A]\nx=1\n", "[A]\nx=1\n[Neu]\nk=v w\n"},
        {"empty section header only", "A", "k", "v", "[A]\n", "[A]\nk=v\n"},
        {"new file gets LF", "Pfannola", "k", "ä", "", "[Pfannola]\nk=ä\n"},
        {"Windows-1252 file stays Windows-1252", "A", "k", "Grüße", "[A]\nalt=K\xE4se\n",
         "[A]\nalt=K\xE4se\nk=Gr\xFC\xDF\x65\n"},
    };
    for (const auto& [name, section, key, value, before, after] : cases) {
        SCOPED_TRACE(name);
        std::filesystem::remove(path);
        if (!before.empty())
            WriteFile(path, before);
        ASSERT_TRUE(IniFile(path).WriteString(section, key, value));
        EXPECT_EQ(ReadFile(path), after);
        EXPECT_EQ(IniFile(path).ReadString(section, key, "?"), value);
    }
    // No temporary copies are left beside the file.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

    // A link stays a link, and the file keeps its permissions.
    namespace fs = std::filesystem;
    WriteFile(dir.File("echt.ini"), "[S]\nK=1\n");
    fs::permissions(dir.File("echt.ini"), fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(dir.File("echt.ini"), dir.File("link.ini"));
    ASSERT_TRUE(IniFile(dir.File("link.ini")).WriteString("S", "K", "2"));
    EXPECT_TRUE(fs::is_symlink(dir.File("link.ini")));
    EXPECT_EQ(ReadFile(dir.File("echt.ini")), "[S]\nK=2\n");
    EXPECT_EQ(fs::status(dir.File("echt.ini")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

// A missing or unreadable file gives the defaults; a failed write reports false and leaves nothing.
TEST(IniFile, MissingOrUnusableFiles)
{
    TempDir dir;
    EXPECT_EQ(IniFile(dir.File("fehlt.ini")).ReadString("S", "K", "d"), "d");
    EXPECT_EQ(IniFile(dir.Dir()).ReadString("S", "K", "d"), "d");
    EXPECT_EQ(IniFile("").ReadString("S", "K", "d"), "d");
    EXPECT_FALSE(IniFile(dir.File("fehlt/a.ini")).WriteString("S", "K", "v"));
    EXPECT_FALSE(IniFile(dir.Dir()).WriteString("S", "K", "v"));
    EXPECT_FALSE(IniFile(dir.File("a.ini")).WriteString("S", "", "v"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 0);
}

} // namespace
} // namespace pf
