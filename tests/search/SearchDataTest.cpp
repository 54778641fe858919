#include "search/SearchData.h"

#include <gtest/gtest.h>

namespace pf {
namespace {

TEST(SearchData, EveryItemSurvivesEncodeAndDecodeAndUnknownCodesAreSkipped)
{
    SearchCriteria c;
    c.Books = {3, 4};
    c.PicturesOnly = true;
    c.NoChildren = true;
    c.Words = "Omas \"beste\" Torte";
    c.Instructions = c.Beginning = c.NegateWords = c.AnyWord = true;
    c.Ingredients = {{17, ""}, {0, "Rosenkohl, frisch"}};
    c.AllIngredients = c.NegateIngredients = true;
    c.Tools = {7, 8};
    c.NegateTools = true;
    c.Categories = {100, 102};
    c.AllCategories = false;
    c.PrimaryOnly = c.NegateCategories = true;
    c.YieldUnit = 2;
    c.Origins = {300};
    c.NegateOrigins = true;
    c.Languages = {1, 3};
    c.Literature = {5};
    c.Publishers = {6};
    c.Authors = {7};
    c.WPExcludeBefore = 45000;
    c.IngredientFlag = 1;
    c.SpecialMode = 8;
    c.SpecialValue = "1,5,9";
    const std::string data = EncodeSearchData(c);
    EXPECT_EQ(data,
              "5,3,5,4,1005,1006,1,\"Omas 'beste' Torte\",1004,1001,1002,1003,3,17,3,\"Rosenkohl, frisch\","
              "3002,3003,7,7,7,8,7001,1,2,100,2,102,2001,0,2002,1,2003,1,2004,2,4,300,4001,1,4002,1,4002,3,"
              "8,5,8001,6,8002,7,9,45000,3001,1,6,8,\"1,5,9\"");
    EXPECT_EQ(DecodeSearchData(data), c);

    // Decoding skips unknown codes and ends at the special list.
    const SearchCriteria decoded = DecodeSearchData("77,1,\"torte\",2,5,6,2,3,1,\"nie\"");
    EXPECT_EQ(decoded.Words, "torte");
    EXPECT_EQ(decoded.Categories, (std::vector<long>{5}));
    EXPECT_FALSE(decoded.AllCategories.has_value());
    EXPECT_TRUE(decoded.AllCategoriesRule());
    EXPECT_EQ(decoded.SpecialMode, 2);
    EXPECT_EQ(decoded.SpecialValue, "3");
    EXPECT_EQ(DecodeSearchData(""), SearchCriteria{});
    // An import source that is no plain number goes in quotes, so that it reads back whole.
    SearchCriteria odd;
    odd.SpecialMode = 2;
    odd.SpecialValue = "a,b";
    EXPECT_EQ(EncodeSearchData(odd), "6,2,\"a,b\"");
    EXPECT_EQ(DecodeSearchData(EncodeSearchData(odd)), odd);
}

TEST(SearchData, AccentClassesCoverTheWindowsLetters)
{
    EXPECT_EQ(AccentPattern("Brulee"), "br[uùúûü]l[eèéêë][eèéêë]");
    // Letters typed with an accent stay as typed.
    EXPECT_EQ(AccentPattern("Brûlé"), "brûlé");
    EXPECT_EQ(AccentPattern("xyz1"), "x[yýÿ][zž]1");
    // Wildcards the user typed are searched as written; % and _ mean nothing to the pattern.
    EXPECT_EQ(AccentPattern("*?#%_[1]"), "[*][?][#]%_[[]1]");
    EXPECT_EQ(WordPatterns("Straße"), (std::pair<std::string, std::string>{"[sš]tr[aàáâãäå][sš][sš][eèéêë]",
                                                                           "[sš]tr[aàáâãäå]ß[eèéêë]"}));
    EXPECT_EQ(WordPatterns("a\"b").first, "[aàáâãäå]'b");
    EXPECT_EQ(WordPatterns("käse"),
              (std::pair<std::string, std::string>{"k[aàáâãäå][eèéêë][sš][eèéêë]", "kä[sš][eèéêë]"}));
    EXPECT_EQ(WordPatterns("Torte").second, "");
    EXPECT_EQ(SplitSearchWords("  käse   torte "), (std::vector<std::string>{"käse", "torte"}));
}

} // namespace
} // namespace pf
