#include "db/clsZIP.h"
#include "tests/db/LocalTime.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

namespace pf {
namespace {

namespace fs = std::filesystem;

std::uint32_t Crc32(const std::string& data)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : data) {
        crc ^= c;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void SetLocalMTime(const std::string& path, int year, int month, int day, int hour, int minute, int second)
{
    std::tm local = test::LocalTime(year, month, day, hour, minute, second);
    const std::time_t when = std::mktime(&local);
    utimbuf times{when, when};
    ASSERT_EQ(utime(path.c_str(), &times), 0);
}

struct SourceFile
{
    std::string NameInArchive;
    std::string Content;
};

// An archive of the given files, written from real files in dir/src.
std::string MakeArchive(const test::TempDir& dir, const std::string& name,
                        const std::vector<SourceFile>& files)
{
    clsZIP zip;
    const std::string archive = dir.File(name);
    EXPECT_TRUE(zip.NewZIPFile(archive));
    int n = 0;
    for (const auto& file : files) {
        const std::string path = dir.File("src/" + std::to_string(n++) + ".dat");
        test::WriteFile(path, file.Content);
        SetLocalMTime(path, 2024, 3, 3, 14, 5, 10);
        EXPECT_TRUE(zip.AddFile(path, file.NameInArchive)) << zip.LastResultText();
    }
    EXPECT_TRUE(zip.Add()) << zip.LastResultText();
    return archive;
}

std::string Repeated(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

const std::vector<SourceFile> kFiles = {
    {"Käsekuchen.txt", "Quark, Eier, Zucker, Butter für den Boden.\n"},
    {"Rezepte/Süßspeisen/Grießbrei.txt", Repeated("Grieß und Milch aufkochen. ", 200)},
    {"leer.txt", ""},
};

TEST(ClsZip, ListsEveryEntryWithItsDetails)
{
    test::TempDir dir;
    clsZIP zip;
    ASSERT_TRUE(zip.LoadZIPFile(MakeArchive(dir, "rezepte.zip", kFiles))) << zip.LastResultText();
    EXPECT_EQ(zip.LastResult(), 0);
    ASSERT_EQ(zip.ZIPFilecount(), 3);

    const std::pair<const char*, const char*> expected[] = {
        {"Käsekuchen.txt", ""}, {"Grießbrei.txt", "Rezepte/Süßspeisen"}, {"leer.txt", ""}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(kFiles[static_cast<std::size_t>(i)].NameInArchive);
        const std::string& content = kFiles[static_cast<std::size_t>(i)].Content;
        EXPECT_EQ(zip.ZIPFilename(i), expected[i].first);
        EXPECT_EQ(zip.ZIPFileFolder(i), expected[i].second);
        EXPECT_EQ(zip.ZIPFilesize(i), content.size());
        EXPECT_EQ(zip.ZIPFileCRC(i), Crc32(content));
        EXPECT_EQ(DosDateTimeText(zip.ZIPFiledate(i)), "03.03.2024 14:05:10");
    }
    // The repetitive text packs well; the details agree with each other.
    EXPECT_EQ(zip.ZIPFilecompressionType(1), "Deflated");
    EXPECT_LT(zip.ZIPFilesizeCompressed(1), zip.ZIPFilesize(1) / 10);
    EXPECT_GE(zip.ZIPFileRatio(1), 90);
    EXPECT_EQ(zip.ZIPFileRatio(2), 0);
    EXPECT_EQ(zip.FileInfo(7).Name, "");
}

TEST(ClsZip, ExtractsOnlyTheSelectedEntries)
{
    test::TempDir dir;
    clsZIP zip;
    ASSERT_TRUE(zip.LoadZIPFile(MakeArchive(dir, "rezepte.zip", kFiles)));

    // Found by the name without its folder, whatever the case of the umlauts.
    EXPECT_EQ(zip.FindEntry("GRIESSBREI.TXT"), -1);
    ASSERT_TRUE(zip.ZipSelectName("GRIEßBREI.TXT"));
    ASSERT_TRUE(zip.ZipSelectName("KÄSEKUCHEN.txt"));
    EXPECT_FALSE(zip.ZipSelectName("fehlt.txt"));
    EXPECT_NE(zip.LastResult(), 0);
    EXPECT_EQ(zip.ZIPSelectCount(), 2);

    ASSERT_TRUE(zip.Expand(dir.File("aus"))) << zip.LastResultText();
    EXPECT_EQ(test::ReadFile(dir.File("aus/Rezepte/Süßspeisen/Grießbrei.txt")), kFiles[1].Content);
    EXPECT_EQ(test::ReadFile(dir.File("aus/Käsekuchen.txt")), kFiles[0].Content);
    EXPECT_FALSE(fs::exists(dir.File("aus/leer.txt")));
    EXPECT_EQ(zip.ExpandedPath(0), dir.File("aus/Käsekuchen.txt"));
    EXPECT_EQ(zip.ExpandedPath(2), "");

    // Without folders every file lands in the target itself.
    zip.ZIPSelect(0, false);
    ASSERT_TRUE(zip.Expand(dir.File("flach"), false));
    EXPECT_EQ(test::ReadFile(dir.File("flach/Grießbrei.txt")), kFiles[1].Content);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("flach")), fs::directory_iterator()), 1);
}

// Archives written by other tools (here a streaming writer with data descriptors) must read too:
// recipe collections arrive in whatever a mailbox or another program packed them with.
TEST(ClsZip, ReadsArchivesOfOtherWriters)
{
    test::TempDir dir;
    test::WriteFile(dir.File("in/Kuchen.mm"), "MMMMM----- Recipe via Meal-Master\r\n");
    const std::string command =
        "cd '" + dir.File("in") + "' && cmake -E tar cf ../fremd.zip --format=zip Kuchen.mm";
    if (std::system(command.c_str()) != 0)
        GTEST_SKIP() << "no archiver at hand";
    clsZIP zip;
    ASSERT_TRUE(zip.LoadZIPFile(dir.File("fremd.zip"))) << zip.LastResultText();
    ASSERT_EQ(zip.ZIPFilecount(), 1);
    ASSERT_TRUE(zip.ZipSelectName("kuchen.MM"));
    ASSERT_TRUE(zip.Expand(dir.File("aus"))) << zip.LastResultText();
    EXPECT_EQ(test::ReadFile(dir.File("aus/Kuchen.mm")), "MMMMM----- Recipe via Meal-Master\r\n");
}

TEST(ClsZip, UnreadableArchivesGiveAnErrorText)
{
    test::TempDir dir;
    const std::string good = MakeArchive(dir, "gut.zip", kFiles);
    const std::string bytes = test::ReadFile(good);
    test::WriteFile(dir.File("halb.zip"), bytes.substr(0, bytes.size() / 2));
    test::WriteFile(dir.File("ohne_ende.zip"), bytes.substr(0, bytes.size() - 10));
    test::WriteFile(dir.File("text.zip"), "Das ist kein Archiv, nur ein Text.");
    test::WriteFile(dir.File("leer.zip"), "");

    for (const char* name : {"halb.zip", "ohne_ende.zip", "text.zip", "leer.zip", "fehlt.zip"}) {
        SCOPED_TRACE(name);
        clsZIP zip;
        EXPECT_FALSE(zip.LoadZIPFile(dir.File(name)));
        EXPECT_NE(zip.LastResult(), 0);
        EXPECT_NE(zip.LastResultText().find(name), std::string::npos) << zip.LastResultText();
        EXPECT_EQ(zip.ZIPFilecount(), 0);
        EXPECT_FALSE(zip.Expand(dir.File("aus")));
    }
}

TEST(ClsZip, DamagedContentLeavesNoFileBehind)
{
    test::TempDir dir;
    const std::string content = Repeated("Zwiebeln glasig dünsten, Speck zugeben. ", 500);
    std::string bytes = test::ReadFile(MakeArchive(dir, "gut.zip", {{"Zwiebelkuchen.txt", content}}));
    // Flip bytes inside the packed data: the directory stays readable, the content not.
    const std::size_t local = 30 + std::string("Zwiebelkuchen.txt").size();
    for (std::size_t i = local + 20; i < local + 40; ++i)
        bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
    test::WriteFile(dir.File("kaputt.zip"), bytes);
    test::WriteFile(dir.File("aus/Zwiebelkuchen.txt"), "vorher");

    clsZIP zip;
    ASSERT_TRUE(zip.LoadZIPFile(dir.File("kaputt.zip"))) << zip.LastResultText();
    zip.ZIPSelectAll(true);
    EXPECT_FALSE(zip.Expand(dir.File("aus")));
    EXPECT_NE(zip.LastResult(), 0);
    EXPECT_FALSE(zip.LastResultText().empty());
    EXPECT_EQ(test::ReadFile(dir.File("aus/Zwiebelkuchen.txt")), "vorher");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("aus")), fs::directory_iterator()), 1);
}

TEST(ClsZip, EntryPointingOutsideTheTargetIsRefused)
{
    test::TempDir dir;
    clsZIP zip;
    ASSERT_TRUE(zip.LoadZIPFile(MakeArchive(dir, "boese.zip", {{"../boese.txt", "x"}, {"gut.txt", "y"}})));
    zip.ZIPSelectAll(true);
    EXPECT_FALSE(zip.Expand(dir.File("ziel/unter")));
    EXPECT_EQ(zip.LastResult(), clsZIP::kUnsafeName);
    EXPECT_FALSE(fs::exists(dir.File("ziel/boese.txt")));
}

TEST(ClsZip, AddsToAndDeletesFromAnExistingArchive)
{
    test::TempDir dir;
    clsZIP zip;
    ASSERT_TRUE(zip.LoadZIPFile(MakeArchive(dir, "a.zip", kFiles)));
    test::WriteFile(dir.File("neu.txt"), "Neues Rezept");
    ASSERT_TRUE(zip.AddFile(dir.File("neu.txt")));
    ASSERT_TRUE(zip.Add()) << zip.LastResultText();
    ASSERT_EQ(zip.ZIPFilecount(), 4);
    EXPECT_EQ(zip.ZIPFilename(3), "neu.txt");

    ASSERT_TRUE(zip.ZipSelectName("leer.txt"));
    ASSERT_TRUE(zip.Del()) << zip.LastResultText();
    clsZIP reread;
    ASSERT_TRUE(reread.LoadZIPFile(dir.File("a.zip")));
    ASSERT_EQ(reread.ZIPFilecount(), 3);
    EXPECT_EQ(reread.FindEntry("leer.txt"), -1);
    EXPECT_EQ(reread.ZIPFileCRC(reread.FindEntry("neu.txt")), Crc32("Neues Rezept"));

    EXPECT_FALSE(zip.AddFile(dir.File("fehlt.txt")));
    EXPECT_EQ(zip.LastResult(), clsZIP::kSourceMissing);
}

} // namespace
} // namespace pf
