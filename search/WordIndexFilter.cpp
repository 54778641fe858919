#include "search/WordIndexFilter.h"

#include "core/Utf8.h"
#include "db/SearchIndex.h"
#include "search/SearchData.h"

#include <set>

namespace pf {

namespace {

// A window of three positions is looked up only when its forms are at most this many (a list of
// accented vowels beside another gives 7 x 6 = 42).
constexpr std::size_t kMaxForms = 64;

// The characters one position of a pattern accepts, lower case; empty for a position the index
// cannot serve (a wildcard, a range, a negated list), which ends a stretch.
using Position = std::vector<std::string>;

void AddForm(Position& position, char32_t lower)
{
    std::string form;
    AppendUtf8(form, lower);
    position.push_back(form);
    // The search reads capital dotted I as "i"; the index keeps it apart.
    if (lower == 'i')
        position.push_back("\xC4\xB0");
}

// Quotes would have to be escaped twice (statement and query); a stretch simply ends there.
bool Servable(char32_t cp)
{
    return cp >= 0x20 && cp != '"' && cp != '\'';
}

std::vector<Position> Positions(std::string_view pattern)
{
    std::vector<Position> out;
    std::size_t pos = 0;
    while (pos < pattern.size()) {
        const char32_t cp = NextCodePoint(pattern, pos);
        Position position;
        if (cp == '[') {
            bool closed = false;
            bool usable = true;
            std::vector<char32_t> members;
            while (pos < pattern.size()) {
                const char32_t member = NextCodePoint(pattern, pos);
                if (member == ']') {
                    closed = true;
                    break;
                }
                members.push_back(member);
            }
            if (!closed)
                break; // a malformed pattern: the comparison reports it
            if (members.empty() || members.front() == '!')
                usable = false;
            for (std::size_t i = 0; usable && i < members.size(); ++i) {
                // "a-z" is a range (which also takes accented forms): not looked up.
                if (members[i] == '-' && i > 0 && i + 1 < members.size())
                    usable = false;
                else if (!Servable(members[i]))
                    usable = false;
            }
            if (usable)
                for (char32_t member : members)
                    AddForm(position, ToLowerCp(member));
        } else if (cp != '*' && cp != '?' && cp != '#' && Servable(cp)) {
            AddForm(position, ToLowerCp(cp));
        }
        out.push_back(std::move(position));
    }
    return out;
}

std::string Phrase(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string RecipesOf(const std::string& query, bool instructions)
{
    std::string sql = "T_REZ_KOPF.ID IN (" + IndexMatch(kTitleIndexTable, query);
    if (instructions)
        sql += " UNION " + IndexMatch(kTextIndexTable, query);
    return sql + ")";
}

} // namespace

std::string WordIndexQuery(const std::string& word)
{
    if (word.size() > 1 && word[0] == '#')
        return {}; // "#n" names a recipe; anything else with "#" is a digit wildcard anyway
    const auto [first, second] = WordPatterns(word);
    const std::string one = TrigramQuery(first);
    if (one.empty() || second.empty())
        return one;
    const std::string other = TrigramQuery(second);
    if (other.empty())
        return {};
    return "(" + one + ") OR (" + other + ")";
}

std::string IndexMatch(const char* table, const std::string& query)
{
    return std::string("SELECT rowid FROM ") + table + " WHERE " + table + " MATCH '" + query + "'";
}

std::string TrigramQuery(std::string_view pattern)
{
    const std::vector<Position> positions = Positions(pattern);
    std::set<std::string> seen;
    std::string query;
    for (std::size_t i = 0; i + 3 <= positions.size(); ++i) {
        const Position& a = positions[i];
        const Position& b = positions[i + 1];
        const Position& c = positions[i + 2];
        if (a.empty() || b.empty() || c.empty() || a.size() * b.size() * c.size() > kMaxForms)
            continue;
        std::vector<std::string> forms;
        for (const std::string& x : a)
            for (const std::string& y : b)
                for (const std::string& z : c)
                    forms.push_back(Phrase(x + y + z));
        std::string group;
        for (const std::string& form : forms)
            group += (group.empty() ? "" : " OR ") + form;
        if (forms.size() > 1)
            group = "(" + group + ")";
        if (!seen.insert(group).second)
            continue;
        query += (query.empty() ? "" : " AND ") + group;
    }
    return query;
}

std::string WordIndexCondition(const std::vector<std::string>& words, bool anyWord, bool instructions)
{
    std::string condition;
    for (const std::string& word : words) {
        const std::string query = WordIndexQuery(word);
        if (query.empty()) {
            if (anyWord)
                return {}; // that word alone could match any recipe
            continue;
        }
        condition += (condition.empty() ? "" : anyWord ? " OR " : " AND ") + RecipesOf(query, instructions);
    }
    return anyWord && !condition.empty() ? "(" + condition + ")" : condition;
}

std::string IngredientIndexQuery(const std::vector<std::string>& texts)
{
    std::string queries;
    for (const std::string& text : texts) {
        // An ingredient text is matched as written ("#" included), with its second form.
        const auto [first, second] = WordPatterns(text);
        std::string query = TrigramQuery(first);
        if (!query.empty() && !second.empty()) {
            const std::string other = TrigramQuery(second);
            query = other.empty() ? std::string() : "(" + query + ") OR (" + other + ")";
        }
        if (query.empty())
            return {}; // that text alone could match any line
        queries += (queries.empty() ? "" : " OR ") + ("(" + query + ")");
    }
    return queries;
}

std::string IngredientIndexCondition(const std::vector<std::string>& texts)
{
    const std::string query = IngredientIndexQuery(texts);
    if (query.empty())
        return {};
    return "T_REZ_ZUTAT.ID IN (" + IndexMatch(kIngredientIndexTable, query) + ")";
}

} // namespace pf
