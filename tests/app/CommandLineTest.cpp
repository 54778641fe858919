#include "app/CommandLine.h"
#include "app/Startup.h"

#include <gtest/gtest.h>

namespace pf {
namespace {

TEST(CommandLine, UpgradeSwitchTakesTheRestOfTheLineWithBlanks)
{
    auto path = UpgradeVersionArgument("/upgradeversion /home/k/Meine Rezepte/alt.mdb");
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, "/home/k/Meine Rezepte/alt.mdb");
    EXPECT_FALSE(UpgradeVersionArgument("/UPGRADEVERSION"));
    EXPECT_FALSE(UpgradeVersionArgument("ShowTips=0"));
}

TEST(CommandLine, ImportSwitchInLowerCaseUsesOnlyTheFirstFile)
{
    struct Case
    {
        const char* line;
        const char* expected;
    } cases[] = {
        {"/import /tmp/a.mm,/tmp/b.mm", "/tmp/a.mm"},
        {"  /IMPORT /tmp/Omas Kuchen.mm  ", "/tmp/Omas Kuchen.mm  "},
        {"ShowTips=0 /Import /tmp/x.mm", "/tmp/x.mm"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        auto file = ImportArgument(c.line);
        ASSERT_TRUE(file);
        EXPECT_EQ(*file, c.expected);
    }
    EXPECT_FALSE(ImportArgument("/IMPORTIERT"));
}

TEST(CommandLine, SpecialSwitchMustStandAsAWord)
{
    EXPECT_TRUE(HasSpecialSwitch("/special"));
    EXPECT_TRUE(HasSpecialSwitch("A=1 /SPECIAL B=2"));
    EXPECT_FALSE(HasSpecialSwitch("/SPECIALS"));
    EXPECT_FALSE(HasSpecialSwitch("X/SPECIAL"));
}

TEST(CommandLine, JoinQuotesSettingValuesWithBlanks)
{
    EXPECT_EQ(JoinCommandLine({"Database=/a b/c.mdb", "ShowTips=0"}), "Database=\"/a b/c.mdb\" ShowTips=0");
    EXPECT_EQ(JoinCommandLine({"/IMPORT", "/a b/c.mm"}), "/IMPORT /a b/c.mm");
}

TEST(Startup, EditRingSizeIsAtLeastTwentyAndHoldsAtMostItsSize)
{
    int size = 0;
    std::vector<long> ring;
    ParseEditRing("5,12,7", size, ring);
    EXPECT_EQ(size, 20);
    EXPECT_EQ(ring, (std::vector<long>{12, 7}));

    std::string many = "21";
    for (int i = 1; i <= 30; ++i)
        many += "," + std::to_string(i);
    ParseEditRing(many, size, ring);
    EXPECT_EQ(size, 21);
    EXPECT_EQ(ring.size(), 21u);
    EXPECT_EQ(ring.back(), 21);
}

TEST(Startup, ImportSourceWordsFromTheQuotedList)
{
    EXPECT_EQ(ParseImportSourceWords("SOURCE\",\"QUELLE\",\"ERFASST\",\"ERFAßT"),
              (std::vector<std::string>{"SOURCE", "QUELLE", "ERFASST", "ERFAßT"}));
    EXPECT_EQ(ParseImportSourceWords(" VON \",\"\",\" AUS"), (std::vector<std::string>{"VON", "AUS"}));
    EXPECT_EQ(ParseImportSourceWords(""), std::vector<std::string>{});
}

} // namespace
} // namespace pf
