#include "lexicon/LexiconSearch.h"

#include "core/BusyPointer.h"
#include "core/Interaction.h"
#include "core/Messages.h"
#include "core/TextConv.h"
#include "core/Trim.h"
#include "core/Utf8.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/Recordset.h"
#include "lexicon/LexiconAreas.h"
#include "search/SearchData.h"

#include <algorithm>
#include <cstdio>
#include <functional>

namespace pf {

namespace {

constexpr std::size_t kMinPatternChars = 3;
constexpr int kMaxShortenings = 4;

std::string Text(const Value& value)
{
    return value.IsNull() ? std::string() : value.AsText();
}

long Number(const Value& value)
{
    return value.IsNull() ? 0 : static_cast<long>(value.AsLong());
}

std::string AreaKey(long areaNumber)
{
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%lXT", areaNumber);
    return buffer;
}

// A LIKE condition on column for each distinct pattern, joined with OR.
std::string AnyLike(const std::string& column, std::vector<std::string> patterns)
{
    std::string condition;
    std::vector<std::string> used;
    for (std::string& pattern : patterns) {
        if (pattern.empty() || std::find(used.begin(), used.end(), pattern) != used.end())
            continue;
        condition += (condition.empty() ? "" : " OR ") + column + " like \"" + pattern + "\"";
        used.push_back(std::move(pattern));
    }
    return condition;
}

class Search
{
public:
    Search(Database& db, long selector, LexiconResultTree& tree)
        : m_db(db), m_selector(selector), m_tree(tree), m_groupSuffix(UserLanguageGroup())
    {
        if (m_groupSuffix == "D")
            m_groupSuffix.clear();
    }

    void Pass(const LexiconPatterns& p)
    {
        Step([&] { Keywords(p); });
        Step([&] { Explanations(p); });
        if (m_selector == area::kAdditives || m_selector == kLexiconTextSearch)
            Step([&] { AdditiveNumbers(p); });
        if (m_selector == area::kFoods || m_selector == kLexiconAllAreas)
            Step([&] { Foods(p); });
        if (m_selector == area::kAdditives || m_selector == kLexiconTextSearch)
            Step([&] { AdditiveTexts(p); });
        if (m_selector == area::kUtensils || m_selector == kLexiconTextSearch)
            Step([&] { Utensils(p); });
    }

private:
    bool Accepts(long areaNumber) const { return m_selector == kLexiconAllAreas || m_selector == areaNumber; }

    // A failing read ends its step only; the error log keeps the details.
    static void Step(const std::function<void()>& step)
    {
        try {
            step();
        } catch (const DbError& error) {
            LogError(ToErrorInfo(error));
        }
    }

    void AddFood(long id)
    {
        auto rs = m_db.OpenRecordset("SELECT ST" + m_groupSuffix +
                                     ",SBLS FROM T_BLS_KEY WHERE ID=" + std::to_string(id));
        if (!rs->Eof())
            m_tree.Add({area::kFoods, id, Text(rs->Field(0)), Text(rs->Field("SBLS"))});
    }

    void AddKeywordRow(const Recordset& rs)
    {
        const long areaNumber = Number(rs.Field("KEYTYPE"));
        const long id = Number(rs.Field("ID"));
        if (areaNumber == area::kFoods)
            AddFood(id);
        else
            m_tree.Add({areaNumber, id, Text(rs.Field("KEY")), {}});
    }

    // The keyword rows of one entry, each a hit of its area.
    void AddEntry(long areaNumber, long id)
    {
        auto rs = m_db.OpenRecordset("SELECT * FROM T_INFO_KEY WHERE KEYTYPE=" + std::to_string(areaNumber) +
                                     " AND ID=" + std::to_string(id));
        for (; !rs->Eof(); rs->MoveNext())
            AddKeywordRow(*rs);
    }

    void Keywords(const LexiconPatterns& p)
    {
        auto rs = m_db.OpenRecordset("SELECT * FROM T_INFO_KEY WHERE " +
                                     AnyLike("[Key]", {p.Regenerated, p.Eliminated, p.Typed}));
        for (; !rs->Eof(); rs->MoveNext())
            if (Accepts(Number(rs->Field("KEYTYPE"))))
                AddKeywordRow(*rs);
    }

    void Explanations(const LexiconPatterns& p)
    {
        auto rs = m_db.OpenRecordset("SELECT Type,ID FROM T_LEXIKON WHERE " +
                                     AnyLike("LexikonD", {p.Typed, p.Regenerated, p.Eliminated}));
        std::vector<std::pair<long, long>> entries;
        for (; !rs->Eof(); rs->MoveNext())
            entries.emplace_back(Number(rs->Field("Type")), Number(rs->Field("ID")));
        for (const auto& [areaNumber, id] : entries)
            if (Accepts(areaNumber))
                AddEntry(areaNumber, id);
    }

    void AdditiveIds(const std::string& sql)
    {
        std::vector<long> ids;
        auto rs = m_db.OpenRecordset(sql);
        for (; !rs->Eof(); rs->MoveNext())
            ids.push_back(Number(rs->Field("ID")));
        for (long id : ids)
            AddEntry(area::kAdditives, id);
    }

    void AdditiveNumbers(const LexiconPatterns& p)
    {
        AdditiveIds("SELECT ID FROM T_GIFT WHERE " + AnyLike("[KEY]", {p.Typed, FoldAccents(p.Typed)}));
    }

    void AdditiveTexts(const LexiconPatterns& p)
    {
        AdditiveIds("SELECT ID FROM T_GIFT WHERE " + AnyLike("[Key]", {p.Typed}) + " OR " +
                    AnyLike("Info", {p.Typed, p.Regenerated, p.Eliminated}) + " OR " +
                    AnyLike("EnthaltenIn", {p.Typed, p.Regenerated, p.Eliminated}));
    }

    void Foods(const LexiconPatterns& p)
    {
        const std::vector<std::string> patterns = {p.Typed, FoldAccents(p.Typed), p.Regenerated,
                                                   p.Eliminated};
        auto rs = m_db.OpenRecordset("SELECT ID,ST" + m_groupSuffix + ",SBLS FROM T_BLS_KEY WHERE " +
                                     AnyLike("ST", patterns) + " OR " + AnyLike("STE", patterns));
        for (; !rs->Eof(); rs->MoveNext())
            m_tree.Add({area::kFoods, Number(rs->Field("ID")), Text(rs->Field(1)), Text(rs->Field("SBLS"))});
    }

    void Utensils(const LexiconPatterns& p)
    {
        std::vector<long> ids;
        auto rs = m_db.OpenRecordset("SELECT ID FROM T_GERAET WHERE " +
                                     AnyLike("GerMerkmalD", {p.Typed, p.Regenerated, p.Eliminated}));
        for (; !rs->Eof(); rs->MoveNext())
            ids.push_back(Number(rs->Field("ID")));
        for (long id : ids)
            AddEntry(area::kUtensils, id);
    }

    Database& m_db;
    long m_selector;
    LexiconResultTree& m_tree;
    std::string m_groupSuffix; // "" for German users, else the group letter of the name column
};

// The working text one character shorter, trimmed.
std::string Shortened(const std::string& text)
{
    const std::size_t length = CharLength(text);
    return std::string(Trim(CharSubstr(text, 0, length == 0 ? 0 : length - 1), kWhiteSpace));
}

} // namespace

void LexiconResultTree::Clear()
{
    m_roots.clear();
}

void LexiconResultTree::Add(LexiconHit hit)
{
    auto it = std::lower_bound(m_roots.begin(), m_roots.end(), hit.Area,
                               [](const LexiconAreaNode& node, long a) { return node.Area < a; });
    if (it == m_roots.end() || it->Area != hit.Area) {
        LexiconAreaNode node;
        node.Area = hit.Area;
        node.Key = AreaKey(hit.Area);
        node.Text = LexiconAreaName(hit.Area);
        it = m_roots.insert(it, std::move(node));
    }
    for (const LexiconHit& known : it->Hits)
        if (known.Id == hit.Id && known.Text == hit.Text)
            return;
    it->Hits.push_back(std::move(hit));
}

void LexiconResultTree::Finish()
{
    for (LexiconAreaNode& node : m_roots)
        node.Text = LexiconAreaName(node.Area) + " (" + std::to_string(node.Hits.size()) + ")";
}

const LexiconAreaNode* LexiconResultTree::Root(long areaNumber) const
{
    for (const LexiconAreaNode& node : m_roots)
        if (node.Area == areaNumber)
            return &node;
    return nullptr;
}

std::size_t LexiconResultTree::HitCount() const
{
    std::size_t count = 0;
    for (const LexiconAreaNode& node : m_roots)
        count += node.Hits.size();
    return count;
}

std::string MakeAccentPattern(std::string_view text)
{
    return AccentPattern(text, true);
}

LexiconPatterns MakeLexiconPatterns(std::string_view workingText)
{
    const std::string cleaned =
        ToLower(ReplaceSpecialChars(ReplaceSpecialChars(std::string(Trim(workingText, kWhiteSpace)), 1), 2));
    LexiconPatterns patterns;
    patterns.Typed = MakeAccentPattern(cleaned) + "*";
    if (CharLength(patterns.Typed) < kMinPatternChars)
        return {};
    // The variants are formed on the text, before the accent classes hide its digraphs.
    patterns.Regenerated = MakeAccentPattern(ToLower(RegenerateUmlaute(cleaned, true, false))) + "*";
    patterns.Eliminated = MakeAccentPattern(EliminateUmlaute(cleaned, true, true)) + "*";
    return patterns;
}

void LexiconSearch(Database& db, const std::string& text, long selector, LexiconResultTree& tree)
{
    BusyPointer busy;
    tree.Clear();
    Search search(db, selector, tree);
    std::string working = ToLower(text);
    int shortenings = 0;
    bool asked = false;
    while (true) {
        const LexiconPatterns patterns = MakeLexiconPatterns(working);
        if (!patterns.Typed.empty())
            search.Pass(patterns);
        if (!tree.Empty())
            break;
        working = Shortened(working);
        ++shortenings;
        if (CharLength(working) >= kMinPatternChars && shortenings < kMaxShortenings)
            continue;
        if (asked)
            break;
        asked = true;
        const Answer answer =
            UI().Ask("Mit dem Suchbegriff konnte nichts gefunden werden. Soll die Suche ausgedehnt werden ? "
                     "(Es werden "
                     "unter Umständen auch \"sonderliche\" Ergebnisse gefunden)",
                     Buttons::YesNo, Answer::Yes, MsgIcon::Question, "Lexikonsuche nach \"" + text + "\"");
        if (answer != Answer::Yes)
            break;
        working = text.starts_with("*") ? text : "*" + text;
        // The counter starts so that short texts get the passes a long text had before asking.
        shortenings = 6 - static_cast<int>(CharLength(text));
    }
    tree.Finish();
}

} // namespace pf
