#include "search/SearchData.h"

#include "core/TextConv.h"
#include "core/Utf8.h"

#include <cstdlib>

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

void Item(std::string& out, long code, long value)
{
    Item(out, std::to_string(code) + "," + std::to_string(value));
}

void Item(std::string& out, long code, std::string_view text)
{
    Item(out, std::to_string(code) + "," + Quote(text));
}

// Plain letters and their accented Windows-1252 forms, lower case.
struct AccentClass
{
    char letter;
    const char* forms;
};
constexpr AccentClass kAccents[] = {
    {'a', "àáâãäå"}, {'c', "ç"}, {'e', "èéêë"}, {'i', "ìíîï"}, {'n', "ñ"},
    {'o', "òóôõö"},  {'s', "š"}, {'u', "ùúûü"}, {'y', "ýÿ"},   {'z', "ž"},
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
        Item(out, 5, book);
    if (c.PicturesOnly)
        Item(out, "1005");
    if (c.NoChildren)
        Item(out, "1006");
    if (!c.Words.empty()) {
        Item(out, 1, c.Words);
        if (c.Instructions)
            Item(out, "1004");
        if (c.Beginning)
            Item(out, "1001");
        if (c.NegateWords)
            Item(out, "1002");
        if (c.AnyWord)
            Item(out, "1003");
    }
    for (const IngredientCriterion& ingredient : c.Ingredients) {
        if (ingredient.FoodKey > 0)
            Item(out, 3, ingredient.FoodKey);
        else
            Item(out, 3, ingredient.Text);
    }
    if (!c.Ingredients.empty()) {
        if (c.AllIngredients)
            Item(out, "3002");
        if (c.NegateIngredients)
            Item(out, "3003");
    }
    for (long tool : c.Tools)
        Item(out, 7, tool);
    if (!c.Tools.empty() && c.NegateTools)
        Item(out, 7001, 1);
    for (long category : c.Categories)
        Item(out, 2, category);
    if (!c.Categories.empty()) {
        Item(out, 2001, c.AllCategoriesRule() ? 1 : 0);
        if (c.PrimaryOnly)
            Item(out, 2002, 1);
        Item(out, 2003, c.NegateCategories ? 1 : 0);
    }
    if (c.YieldUnit != 0)
        Item(out, 2004, c.YieldUnit);
    for (long origin : c.Origins)
        Item(out, 4, origin);
    if (!c.Origins.empty() && c.NegateOrigins)
        Item(out, 4001, 1);
    for (long language : c.Languages)
        Item(out, 4002, language);
    for (long source : c.Literature)
        Item(out, 8, source);
    for (long publisher : c.Publishers)
        Item(out, 8001, publisher);
    for (long author : c.Authors)
        Item(out, 8002, author);
    if (c.WPExcludeBefore != 0)
        Item(out, 9, c.WPExcludeBefore);
    if (c.IngredientFlag)
        Item(out, 3001, *c.IngredientFlag);
    if (c.SpecialMode != 0) {
        std::string item = "6," + std::to_string(c.SpecialMode);
        if (!c.SpecialValue.empty())
            // The import source is a bare number; anything else goes in quotes to read back whole.
            item += "," +
                    (c.SpecialMode == 2 && IsNumber(c.SpecialValue) ? c.SpecialValue : Quote(c.SpecialValue));
        Item(out, item);
    }
    return out;
}

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
        SearchToken v;
        switch (ToLong(code.Text)) {
        case 5:
            if (next(v))
                c.Books.push_back(ToLong(v.Text));
            break;
        case 1005:
            c.PicturesOnly = true;
            break;
        case 1006:
            c.NoChildren = true;
            break;
        case 1:
            if (next(v))
                c.Words = Unquote(v.Text);
            break;
        case 1004:
            c.Instructions = true;
            break;
        case 1001:
            c.Beginning = true;
            break;
        case 1002:
            c.NegateWords = true;
            break;
        case 1003:
            c.AnyWord = true;
            break;
        case 3:
            if (next(v)) {
                IngredientCriterion ingredient;
                if (v.Quoted)
                    ingredient.Text = Unquote(v.Text);
                else
                    ingredient.FoodKey = ToLong(v.Text);
                c.Ingredients.push_back(std::move(ingredient));
            }
            break;
        case 3002:
            c.AllIngredients = true;
            break;
        case 3003:
            c.NegateIngredients = true;
            break;
        case 7:
            if (next(v))
                c.Tools.push_back(ToLong(v.Text));
            break;
        case 7001:
            if (next(v))
                c.NegateTools = ToLong(v.Text) != 0;
            break;
        case 2:
            if (next(v))
                c.Categories.push_back(ToLong(v.Text));
            break;
        case 2001:
            if (next(v))
                c.AllCategories = ToLong(v.Text) != 0;
            break;
        case 2002:
            if (next(v))
                c.PrimaryOnly = ToLong(v.Text) != 0;
            break;
        case 2003:
            if (next(v))
                c.NegateCategories = ToLong(v.Text) != 0;
            break;
        case 2004:
            if (next(v))
                c.YieldUnit = ToLong(v.Text);
            break;
        case 4:
            if (next(v))
                c.Origins.push_back(ToLong(v.Text));
            break;
        case 4001:
            if (next(v))
                c.NegateOrigins = ToLong(v.Text) != 0;
            break;
        case 4002:
            if (next(v))
                c.Languages.push_back(ToLong(v.Text));
            break;
        case 8:
            if (next(v))
                c.Literature.push_back(ToLong(v.Text));
            break;
        case 8001:
            if (next(v))
                c.Publishers.push_back(ToLong(v.Text));
            break;
        case 8002:
            if (next(v))
                c.Authors.push_back(ToLong(v.Text));
            break;
        case 9:
            if (next(v))
                c.WPExcludeBefore = ToLong(v.Text);
            break;
        case 3001:
            if (next(v))
                c.IngredientFlag = ToLong(v.Text);
            break;
        case 6:
            // The special list ends the item list: the rest is its value.
            if (next(v)) {
                c.SpecialMode = static_cast<int>(ToLong(v.Text));
                if (i + 1 < tokens.size()) {
                    const SearchToken& value = tokens[i + 1];
                    c.SpecialValue = value.Quoted ? Unquote(value.Text) : value.Text;
                }
            }
            return c;
        default:
            break; // unknown code: skipped
        }
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

std::string AccentPattern(std::string_view word)
{
    std::string out;
    for (char32_t cp : ToCodePoints(ToLower(word))) {
        const AccentClass* found = nullptr;
        for (const AccentClass& accent : kAccents)
            if (static_cast<char32_t>(accent.letter) == cp)
                found = &accent;
        if (found) {
            out += '[';
            out += found->letter;
            out += found->forms;
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
