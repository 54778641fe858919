#pragma once
// The search data: every criterion of a recipe search written as one text of comma-separated
// items (a numeric code followed by its values, text values in double quotes). The search screen
// writes it, templates store it, and the search reads it back. Pure text work, no database.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pf {

// One ingredient criterion: a food key (FoodKey > 0) or a text.
struct IngredientCriterion
{
    long FoodKey = 0;
    std::string Text;
    friend bool operator==(const IngredientCriterion&, const IngredientCriterion&) = default;
};

// The item codes of the search data. Stored templates hold these numbers: they never change.
enum class SearchItem : long {
    Word = 1,
    Category = 2,
    Ingredient = 3,
    Origin = 4,
    Book = 5,
    Special = 6,
    Tool = 7,
    Literature = 8,
    WPExcludeBefore = 9,
    Beginning = 1001,
    NegateWords = 1002,
    AnyWord = 1003,
    Instructions = 1004,
    PicturesOnly = 1005,
    NoChildren = 1006,
    AllCategories = 2001,
    PrimaryOnly = 2002,
    NegateCategories = 2003,
    YieldUnit = 2004,
    IngredientFlag = 3001,
    AllIngredients = 3002,
    NegateIngredients = 3003,
    NegateOrigins = 4001,
    Language = 4002,
    NegateTools = 7001,
    Publisher = 8001,
    Author = 8002,
};

struct SearchCriteria
{
    std::vector<long> Books;                      // item 5, always written first
    bool PicturesOnly = false;                    // 1005
    bool NoChildren = false;                      // 1006: only recipes without a parent
    std::string Words;                            // 1, split at blanks
    bool Instructions = false;                    // 1004
    bool Beginning = false;                       // 1001
    bool NegateWords = false;                     // 1002
    bool AnyWord = false;                         // 1003
    std::vector<IngredientCriterion> Ingredients; // 3
    bool AllIngredients = false;                  // 3002
    bool NegateIngredients = false;               // 3003
    std::vector<long> Tools;                      // 7
    bool NegateTools = false;                     // 7001,1
    std::vector<long> Categories;                 // 2
    std::optional<bool> AllCategories;            // 2001; missing means all
    bool PrimaryOnly = false;                     // 2002,1
    bool NegateCategories = false;                // 2003,1
    long YieldUnit = 0;                           // 2004
    std::vector<long> Origins;                    // 4
    bool NegateOrigins = false;                   // 4001,1
    std::vector<long> Languages;                  // 4002
    std::vector<long> Literature;                 // 8
    std::vector<long> Publishers;                 // 8001
    std::vector<long> Authors;                    // 8002
    long WPExcludeBefore = 0;                     // 9: a day serial
    std::optional<long> IngredientFlag;           // 3001
    int SpecialMode = 0;                          // 6: 1..8, 0 none
    std::string SpecialValue;                     // the value after the mode

    // True when some criterion besides the cookbooks and the two flags is set.
    bool HasCriteria() const;
    bool AllCategoriesRule() const { return !AllCategories.has_value() || *AllCategories; }
    friend bool operator==(const SearchCriteria&, const SearchCriteria&) = default;
};

// The search data of the criteria, items in the screen's order.
std::string EncodeSearchData(const SearchCriteria& criteria);
// Reads search data; an unrecognised code skips the item.
SearchCriteria DecodeSearchData(std::string_view data);

// The words of a word criterion, split at blanks.
std::vector<std::string> SplitSearchWords(std::string_view words);

// The Jet LIKE pattern of a search word: lower case, every plain letter that has accented forms
// widened to a bracket class of the letter and those forms ("e" becomes "[eèéêë]"). The pattern
// characters * ? # [ stand for themselves ("[*]"): a user's text is always searched literally.
// foreignLetters adds ð, ø and þ to d, o and t.
std::string AccentPattern(std::string_view word, bool foreignLetters = false);
// The two patterns of a word: first with umlauts and ß written out, second as typed. The second
// is empty when it equals the first.
std::pair<std::string, std::string> WordPatterns(std::string_view word);

} // namespace pf
