#include "search/SearchData.h"

#include "core/TextConv.h"
#include "core/Utf8.h"

#include <cstdlib>
#include <utility>

namespace pf {

namespace {

struct SearchToken
{
    std::string Text;
    bool Quoted = false;
};

// Splits at commas outside double quotes; a quoted token loses its quotes.
std::vector<SearchToken> Tokenize(std::string_view data)
{
    std::vector<SearchToken> tokens;
    SearchToken current;
    bool inQuotes = false;
    bool any = false;
    for (char c : data) {
        if (c == '"') {
            inQuotes = !inQuotes;
            current.Quoted = true;
            any = true;
        } else if (c == ',' && !inQuotes) {
            tokens.push_back(std::move(current));
            current = SearchToken{};
            any = false;
        } else {
            current.Text += c;
            any = true;
        }
    }
    if (any || !tokens.empty())
        tokens.push_back(std::move(current));
    return tokens;
}

bool IsNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    const std::size_t digits = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        ++i;
    while (i < text.size() && text[i] == ' ')
        ++i;
    return i == text.size() && i > digits;
}

long ToLong(std::string_view text)
{
    return std::strtol(std::string(text).c_str(), nullptr, 10);
}

// A double quote inside a text value is stored as a single quote.
std::string Quote(std::string_view text)
{
    std::string out = "\"";
    for (char c : text)
        out += c == '"' ? '\'' : c;
    return out + "\"";
}

std::string Unquote(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c == '\'')
            c = '"';
    return out;
}

void Item(std::string& out, std::string_view item)
{
    if (!out.empty())
        out += ',';
    out += item;
}

std::string Code(SearchItem item)
{
    return std::to_string(static_cast<long>(item));
}

void Item(std::string& out, SearchItem item)
{
    Item(out, Code(item));
}

void Item(std::string& out, SearchItem item, long value)
{
    Item(out, Code(item) + "," + std::to_string(value));
}

void Item(std::string& out, SearchItem item, std::string_view text)
{
    Item(out, Code(item) + "," + Quote(text));
}

// Plain letters and their accented Windows-1252 forms, lower case.
// The recipe search leaves out the letters that are no accents in German eyes (ð, ø, þ); the
// lexicon search takes every Windows-1252 letter that folds to a plain one.
struct AccentClass
{
    char letter;
    const char* forms;
    const char* foreignForms;
};
constexpr AccentClass kAccents[] = {
    {'a', "àáâãäå", ""}, {'c', "ç", ""}, {'d', "", "ð"}, {'e', "èéêë", ""}, {'i', "ìíîï", ""}, {'n', "ñ", ""},
    {'o', "òóôõö", "ø"}, {'s', "š", ""}, {'t', "", "þ"}, {'u', "ùúûü", ""}, {'y', "ýÿ", ""},   {'z', "ž", ""},
};

} // namespace

bool SearchCriteria::HasCriteria() const
{
    return !Words.empty() || !Ingredients.empty() || !Tools.empty() || !Categories.empty() ||
           YieldUnit != 0 || !Origins.empty() || !Languages.empty() || !Literature.empty() ||
           !Publishers.empty() || !Authors.empty() || SpecialMode != 0;
}

std::string EncodeSearchData(const SearchCriteria& c)
{
    std::string out;
    for (long book : c.Books)
        Item(out, SearchItem::Book, book);
    if (c.PicturesOnly)
        Item(out, SearchItem::PicturesOnly);
    if (c.NoChildren)
        Item(out, SearchItem::NoChildren);
    if (!c.Words.empty()) {
        Item(out, SearchItem::Word, c.Words);
        if (c.Instructions)
            Item(out, SearchItem::Instructions);
        if (c.Beginning)
            Item(out, SearchItem::Beginning);
        if (c.NegateWords)
            Item(out, SearchItem::NegateWords);
        if (c.AnyWord)
            Item(out, SearchItem::AnyWord);
    }
    for (const IngredientCriterion& ingredient : c.Ingredients) {
        if (ingredient.FoodKey > 0)
            Item(out, SearchItem::Ingredient, ingredient.FoodKey);
        else
            Item(out, SearchItem::Ingredient, ingredient.Text);
    }
    if (!c.Ingredients.empty()) {
        if (c.AllIngredients)
            Item(out, SearchItem::AllIngredients);
        if (c.NegateIngredients)
            Item(out, SearchItem::NegateIngredients);
    }
    for (long tool : c.Tools)
        Item(out, SearchItem::Tool, tool);
    if (!c.Tools.empty() && c.NegateTools)
        Item(out, SearchItem::NegateTools, 1);
    for (long category : c.Categories)
        Item(out, SearchItem::Category, category);
    if (!c.Categories.empty()) {
        Item(out, SearchItem::AllCategories, c.AllCategoriesRule() ? 1 : 0);
        if (c.PrimaryOnly)
            Item(out, SearchItem::PrimaryOnly, 1);
        Item(out, SearchItem::NegateCategories, c.NegateCategories ? 1 : 0);
    }
    if (c.YieldUnit != 0)
        Item(out, SearchItem::YieldUnit, c.YieldUnit);
    for (long origin : c.Origins)
        Item(out, SearchItem::Origin, origin);
    if (!c.Origins.empty() && c.NegateOrigins)
        Item(out, SearchItem::NegateOrigins, 1);
    for (long language : c.Languages)
        Item(out, SearchItem::Language, language);
    for (long source : c.Literature)
        Item(out, SearchItem::Literature, source);
    for (long publisher : c.Publishers)
        Item(out, SearchItem::Publisher, publisher);
    for (long author : c.Authors)
        Item(out, SearchItem::Author, author);
    if (c.WPExcludeBefore != 0)
        Item(out, SearchItem::WPExcludeBefore, c.WPExcludeBefore);
    if (c.IngredientFlag)
        Item(out, SearchItem::IngredientFlag, *c.IngredientFlag);
    if (c.SpecialMode != 0) {
        std::string item = Code(SearchItem::Special) + "," + std::to_string(c.SpecialMode);
        if (!c.SpecialValue.empty())
            // The import source is a bare number; anything else goes in quotes to read back whole.
            item += "," +
                    (c.SpecialMode == 2 && IsNumber(c.SpecialValue) ? c.SpecialValue : Quote(c.SpecialValue));
        Item(out, item);
    }
    return out;
}

namespace {

// Items that are set by their presence alone.
constexpr std::pair<SearchItem, bool SearchCriteria::*> kPresenceFlags[] = {
    {SearchItem::PicturesOnly, &SearchCriteria::PicturesOnly},
    {SearchItem::NoChildren, &SearchCriteria::NoChildren},
    {SearchItem::Instructions, &SearchCriteria::Instructions},
    {SearchItem::Beginning, &SearchCriteria::Beginning},
    {SearchItem::NegateWords, &SearchCriteria::NegateWords},
    {SearchItem::AnyWord, &SearchCriteria::AnyWord},
    {SearchItem::AllIngredients, &SearchCriteria::AllIngredients},
    {SearchItem::NegateIngredients, &SearchCriteria::NegateIngredients},
};

// Items whose value (0 or not) sets a flag.
constexpr std::pair<SearchItem, bool SearchCriteria::*> kValueFlags[] = {
    {SearchItem::NegateTools, &SearchCriteria::NegateTools},
    {SearchItem::PrimaryOnly, &SearchCriteria::PrimaryOnly},
    {SearchItem::NegateCategories, &SearchCriteria::NegateCategories},
    {SearchItem::NegateOrigins, &SearchCriteria::NegateOrigins},
};

// Items that add their number to a list; one item per entry.
constexpr std::pair<SearchItem, std::vector<long> SearchCriteria::*> kLists[] = {
    {SearchItem::Book, &SearchCriteria::Books},
    {SearchItem::Tool, &SearchCriteria::Tools},
    {SearchItem::Category, &SearchCriteria::Categories},
    {SearchItem::Origin, &SearchCriteria::Origins},
    {SearchItem::Language, &SearchCriteria::Languages},
    {SearchItem::Literature, &SearchCriteria::Literature},
    {SearchItem::Publisher, &SearchCriteria::Publishers},
    {SearchItem::Author, &SearchCriteria::Authors},
};

// Reads the item of one code into c; value gives the token after the code (false when none).
// Returns false when the item ends the search data.
template <typename NextValue> bool ReadItem(SearchCriteria& c, SearchItem item, NextValue value)
{
    for (const auto& [code, flag] : kPresenceFlags)
        if (code == item) {
            c.*flag = true;
            return true;
        }
    SearchToken v;
    for (const auto& [code, flag] : kValueFlags)
        if (code == item) {
            if (value(v))
                c.*flag = ToLong(v.Text) != 0;
            return true;
        }
    for (const auto& [code, list] : kLists)
        if (code == item) {
            if (value(v))
                (c.*list).push_back(ToLong(v.Text));
            return true;
        }
    switch (item) {
    case SearchItem::Word:
        if (value(v))
            c.Words = Unquote(v.Text);
        break;
    case SearchItem::Ingredient:
        if (value(v)) {
            IngredientCriterion ingredient;
            if (v.Quoted)
                ingredient.Text = Unquote(v.Text);
            else
                ingredient.FoodKey = ToLong(v.Text);
            c.Ingredients.push_back(std::move(ingredient));
        }
        break;
    case SearchItem::AllCategories:
        if (value(v))
            c.AllCategories = ToLong(v.Text) != 0;
        break;
    case SearchItem::YieldUnit:
        if (value(v))
            c.YieldUnit = ToLong(v.Text);
        break;
    case SearchItem::WPExcludeBefore:
        if (value(v))
            c.WPExcludeBefore = ToLong(v.Text);
        break;
    case SearchItem::IngredientFlag:
        if (value(v))
            c.IngredientFlag = ToLong(v.Text);
        break;
    case SearchItem::Special:
        // The special list ends the item list: the rest is its value.
        if (value(v)) {
            c.SpecialMode = static_cast<int>(ToLong(v.Text));
            if (value(v))
                c.SpecialValue = v.Quoted ? Unquote(v.Text) : v.Text;
        }
        return false;
    default:
        break; // unknown code: skipped
    }
    return true;
}

} // namespace

SearchCriteria DecodeSearchData(std::string_view data)
{
    SearchCriteria c;
    const std::vector<SearchToken> tokens = Tokenize(data);
    std::size_t i = 0;
    // The value after the code, when there is one.
    auto next = [&](SearchToken& value) {
        if (i + 1 >= tokens.size())
            return false;
        value = tokens[++i];
        return true;
    };
    for (; i < tokens.size(); ++i) {
        const SearchToken& code = tokens[i];
        if (code.Quoted || !IsNumber(code.Text))
            continue;
        if (!ReadItem(c, static_cast<SearchItem>(ToLong(code.Text)), next))
            break;
    }
    return c;
}

std::vector<std::string> SplitSearchWords(std::string_view words)
{
    std::vector<std::string> out;
    std::string current;
    for (char ch : words) {
        if (ch == ' ') {
            if (!current.empty())
                out.push_back(std::move(current));
            current.clear();
        } else {
            current += ch;
        }
    }
    if (!current.empty())
        out.push_back(std::move(current));
    return out;
}

std::string AccentPattern(std::string_view word, bool foreignLetters)
{
    std::string out;
    for (char32_t cp : ToCodePoints(ToLower(word))) {
        const AccentClass* found = nullptr;
        for (const AccentClass& accent : kAccents)
            if (static_cast<char32_t>(accent.letter) == cp && (*accent.forms || foreignLetters))
                found = &accent;
        if (found) {
            out += '[';
            out += found->letter;
            out += found->forms;
            if (foreignLetters)
                out += found->foreignForms;
            out += ']';
        } else if (cp == '*' || cp == '?' || cp == '#' || cp == '[') {
            // What the user typed is searched as written: a wildcard of the pattern language
            // stands for itself inside a list.
            out += '[';
            out += static_cast<char>(cp);
            out += ']';
        } else {
            AppendUtf8(out, cp);
        }
    }
    return out;
}

std::pair<std::string, std::string> WordPatterns(std::string_view word)
{
    std::string cleaned = ReplaceSpecialChars(word, 1);
    cleaned = ToLower(cleaned);
    std::string first = AccentPattern(EliminateUmlaute(cleaned, true, false));
    std::string second = AccentPattern(cleaned);
    if (second == first)
        second.clear();
    return {std::move(first), std::move(second)};
}

} // namespace pf
