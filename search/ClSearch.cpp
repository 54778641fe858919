#include "search/ClSearch.h"

#include "core/AppContext.h"
#include "core/BusyPointer.h"
#include "core/IdList.h"
#include "core/Interaction.h"
#include "core/Messages.h"
#include "db/DatabaseChoice.h"
#include "db/Recordset.h"
#include "db/SearchIndex.h"
#include "db/SqliteDatabase.h"
#include "model/ClFingerprint.h"
#include "search/WordIndexFilter.h"

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace pf {

namespace {

constexpr const char* kListingHead =
    "SELECT DISTINCTROW T_REZ_KOPF.ID,REZTITLE,REZPARENT,T_BLOB.ID,T_BLOB.IDType "
    "FROM (T_REZ_KOPF LEFT JOIN T_BLOB ON T_REZ_KOPF.ID = T_BLOB.IDReference) ";
constexpr const char* kListingRows =
    "SELECT T_REZ_KOPF.ID,REZTITLE,REZPARENT,T_BLOB.ID,T_BLOB.IDType "
    "FROM (T_REZ_KOPF LEFT JOIN T_BLOB ON T_REZ_KOPF.ID = T_BLOB.IDReference) ";
// The same along the title index, which hands the rows out in title order. A large result is
// sorted only after its last row is read; its first hits are read along the index beforehand, so
// that the list shows them at once.
constexpr const char* kTitleWalkHead =
    "SELECT DISTINCTROW T_REZ_KOPF.ID,REZTITLE,REZPARENT,T_BLOB.ID,T_BLOB.IDType "
    "FROM (T_REZ_KOPF INDEXED BY [T_REZ_KOPF.IRezTitle] LEFT JOIN T_BLOB ON T_REZ_KOPF.ID = "
    "T_BLOB.IDReference) ";
constexpr std::size_t kFirstHits = 64;
// The first page is read along the title index for at most this much processor time; the walk
// looks at the clock every so many rows.
constexpr std::chrono::milliseconds kEarlyBudget{70};
constexpr long kBudgetRows = 128;
// Results of fewer IDs sort in no time. Reading along the index passes recipes that are no hits
// (a title word at the start of the titles gathers the hits under one letter): it reads at most
// this many rows, and the list gets the hits among them before the rest.
constexpr std::size_t kWalkMinIds = 1000;
constexpr std::size_t kWalkRows = 6400;
constexpr long kPictureType = 5;
// Words whose index entries name at most this many recipes give the first page from those
// recipes: the first of them in title order are looked up (each costs a row read, so a larger
// set is left to the walk along the titles, where such common words find their hits soon).
constexpr std::size_t kEarlyCandidates = 65536;
constexpr std::size_t kEarlyHead = 256;

// A list of more IDs than this goes to the engine as one bound value instead of statement text,
// so that a common word followed by another step keeps every hit however many there are.
constexpr std::size_t kInlineIds = 1000;
constexpr const char* kBoundList = "SELECT value FROM json_each(?)";
// Up to this many IDs left by earlier steps, the ingredient step compares their lines directly.
constexpr std::size_t kNarrowIds = 20000;

// The bound value of a long list: the IDs as a JSON array.
Value BoundIds(const std::vector<long>& ids)
{
    return Value("[" + JoinIds(ids) + "]");
}

// The parameters of a statement: the bound list when the statement names one.
std::vector<Value> ListParameters(const std::string& sql, const std::vector<long>& ids)
{
    if (sql.find(kBoundList) == std::string::npos)
        return {};
    return {BoundIds(ids)};
}

// "IN (" + the list + ")": as text when short, otherwise as the bound list.
std::string IdList(const std::vector<long>& ids)
{
    return ids.size() > kInlineIds ? kBoundList : JoinIds(ids);
}

bool AllDigits(std::string_view text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The numeric value of the leading digits, as a typed number is read.
long NumericValue(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    return std::strtol(std::string(text.substr(i)).c_str(), nullptr, 10);
}

// The condition of one ingredient text: matched anywhere, with the written-out second pattern.
std::string IngredientTextCondition(const std::string& text)
{
    const auto [first, second] = WordPatterns(text);
    std::string cond = "(ZutText LIKE \"*" + first + "*\"";
    if (!second.empty())
        cond += " or ZutText  LIKE \"*" + second + "*\"";
    return cond + ")";
}

// The file database narrows through index tables of its own; a server's index serves the LIKE
// conditions as they stand.
bool IsFile(Database& db)
{
    return dynamic_cast<SqliteDatabase*>(&db) != nullptr;
}

// The condition of one ingredient criterion on an ingredient line.
std::string IngredientCondition(const IngredientCriterion& ingredient)
{
    return ingredient.FoodKey > 0 ? "ZutBLSid=" + std::to_string(ingredient.FoodKey)
                                  : IngredientTextCondition(ingredient.Text);
}

// The condition on an ingredient line of "any of the ingredients" (food keys and texts).
std::string AnyIngredientCondition(const SearchCriteria& c)
{
    std::vector<long> keys;
    std::string condition;
    for (const IngredientCriterion& ingredient : c.Ingredients) {
        if (ingredient.FoodKey > 0) {
            keys.push_back(ingredient.FoodKey);
        } else {
            if (!condition.empty())
                condition += " OR ";
            condition += IngredientTextCondition(ingredient.Text);
        }
    }
    if (!keys.empty())
        condition = "ZutBLSid IN (" + JoinIds(keys) + ")" + (condition.empty() ? "" : " OR " + condition);
    return condition;
}

// Whether every ingredient is looked for in a step of its own (otherwise one step takes any).
bool EachIngredientApart(const SearchCriteria& c)
{
    return (c.AllIngredients || c.Ingredients.size() == 1) && !c.NegateIngredients;
}

// The condition of one category (all of them must match) or of the list (any one), on a row of
// T_REZ_CAT_NDX.
std::string CategoryCondition(const SearchCriteria& c, long category)
{
    return std::string(c.NegateCategories ? "NOT " : "") + "CatID=" + std::to_string(category) +
           (c.PrimaryOnly ? " AND CatPrimary<>0" : "");
}

std::string AnyCategoryCondition(const SearchCriteria& c)
{
    return std::string(c.NegateCategories ? "NOT " : "") + "CatID IN (" + JoinIds(c.Categories) + ")" +
           (c.PrimaryOnly ? " AND CatPrimary<>0" : "");
}

std::string OriginCondition(const SearchCriteria& c)
{
    return std::string(c.NegateOrigins ? "NOT " : "") + "RezHerkunft IN (" + JoinIds(c.Origins) + ")";
}

std::string ToolCondition(const SearchCriteria& c)
{
    return std::string(c.NegateTools ? "NOT " : "") +
           (c.Tools.size() == 1 ? "GeraetID=" + std::to_string(c.Tools[0]) : "GeraetID IN (" + JoinIds(c.Tools) + ")");
}

// A row of table whose column names the recipe of the walk's row, meeting condition. The
// condition is tested as a value, so that the engine looks the rows up by recipe: by the index of
// the condition's column (a category, a food) it would read every recipe's rows of it, for each
// recipe along the walk.
std::string RowOf(const std::string& table, const std::string& column, const std::string& condition)
{
    return "EXISTS (SELECT 1 FROM " + table + " WHERE " + table + "." + column + "=T_REZ_KOPF.ID AND ((" +
           condition + ")<>0))";
}

// Processor time of the calling thread: the budget of the first page does not run out while
// other programs keep the machine busy.
std::chrono::nanoseconds ThreadTime()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
}

std::string ScalarText(Database& db, const std::string& sql)
{
    try {
        const Value v = db.Scalar(sql);
        return v.IsNull() ? std::string() : v.AsText();
    } catch (const DbError&) {
        return {};
    }
}

} // namespace

std::vector<long>& MarkedRecipes()
{
    static std::vector<long> marked;
    return marked;
}

void ClSearch::Reset()
{
    m_ids.clear();
    m_haveList = false;
    m_hits.clear();
    m_pos = 0;
    m_statements.clear();
    m_cancelled = false;
    m_stop = false;
    LastErrorClear();
}

std::string ClSearch::BookList() const
{
    return JoinIds(m_criteria.Books);
}

std::string ClSearch::OrderClause(int sortMode)
{
    return std::string(" ORDER BY ") + (sortMode == kSortNewest ? "Fingerprint1 DESC, RezTitle" : "RezTitle");
}

bool ClSearch::RunStep(const std::string& sql, const std::string& progress)
{
    m_statements.push_back(sql);
    if (sql.size() >= kMaxStatement) {
        // Too long to send. Leaving the step out would widen the search (as a first step, to every
        // recipe), so the search finds nothing and says why.
        m_ids.clear();
        m_haveList = true;
        SetError(kTooLong, "Die Suche ist zu lang: zu viele oder zu lange Suchbegriffe. Bitte kürzen.");
        return false;
    }
    if (!progress.empty())
        ShowStatus(progress);
    std::vector<long> ids;
    std::unordered_set<long> seen;
    try {
        auto rs = Db().OpenRecordset(sql, ListParameters(sql, m_ids));
        long rows = 0;
        for (; !rs->Eof(); rs->MoveNext()) {
            const long id = static_cast<long>(rs->Field(0).AsLong());
            if (seen.insert(id).second)
                ids.push_back(id);
            if (++rows % kRefreshRows == 0) {
                UI().ProcessEvents();
                if (m_stop || UI().CancelRequested()) {
                    m_cancelled = true;
                    return false;
                }
            }
        }
    } catch (const DbError& e) {
        SetDbError(e);
        // A failed first step has no earlier result to fall back on: nothing is found.
        if (!m_haveList) {
            m_ids.clear();
            m_haveList = true;
        }
        return false;
    }
    m_ids = std::move(ids);
    m_haveList = true;
    return true;
}

bool ClSearch::CollectHits(const std::string& sql, const std::vector<long>& ids, std::size_t shown,
                           std::size_t limit, const std::unordered_set<long>* only)
{
    bool atLimit = false;
    std::vector<SearchHit> batch;
    std::unordered_map<long, std::size_t> index;
    std::size_t flushed = shown;
    auto flush = [&] {
        if (m_sink && flushed < m_hits.size()) {
            batch.assign(m_hits.begin() + static_cast<std::ptrdiff_t>(flushed), m_hits.end());
            m_sink(batch);
            flushed = m_hits.size();
        }
    };
    try {
        auto rs = Db().OpenRecordset(sql, ListParameters(sql, ids));
        long rows = 0;
        for (; !rs->Eof(); rs->MoveNext()) {
            const long id = static_cast<long>(rs->Field(0).AsLong());
            if (only && !only->contains(id))
                continue;
            const Value type = rs->Field(4);
            const bool picture = !type.IsNull() && type.AsLong() == kPictureType;
            auto found = index.find(id);
            if (found == index.end()) {
                if (limit > 0 && m_hits.size() == limit) {
                    atLimit = true;
                    break;
                }
                index.emplace(id, m_hits.size());
                SearchHit hit;
                hit.id = id;
                const Value title = rs->Field(1);
                hit.Title = title.IsNull() ? std::string() : title.AsText();
                const Value parent = rs->Field(2);
                hit.Parent = parent.IsNull() ? 0 : static_cast<long>(parent.AsLong());
                hit.Picture = picture;
                m_hits.push_back(std::move(hit));
            } else if (picture) {
                m_hits[found->second].Picture = true;
            }
            ++rows;
            // An early first batch lets a list show hits while the rest is read.
            if (rows == 64 || rows % kRefreshRows == 0) {
                flush();
                UI().ProcessEvents();
                if (m_stop || UI().CancelRequested()) {
                    m_cancelled = true;
                    break;
                }
            }
        }
    } catch (const DbError& e) {
        SetDbError(e);
    }
    flush();
    return atLimit;
}

bool ClSearch::ReadAlongTitles()
{
    if (!IsFile(Db()) || (m_haveList && m_ids.size() < kWalkMinIds))
        return false; // the index hint is the file engine's
    try {
        return Db().Scalar("SELECT COUNT(*) FROM sqlite_master WHERE type='index' AND "
                           "name='T_REZ_KOPF.IRezTitle'")
                   .AsLong() > 0;
    } catch (const DbError&) {
        return false;
    }
}

std::string ClSearch::RowCondition(const SearchCriteria& c) const
{
    if (!c.Literature.empty() || !c.Publishers.empty() || !c.Authors.empty())
        return {}; // the sources are looked up first
    // The recipe row's own terms first: the engine tests the rest only on rows that pass them.
    std::vector<std::string> terms = {"Template=False", "FlagDeleted=0"};
    if (c.NoChildren)
        terms.push_back("RezParent=0");
    if (c.WPExcludeBefore != 0)
        terms.push_back("WPExclude<" + std::to_string(c.WPExcludeBefore));
    if (c.YieldUnit != 0)
        terms.push_back("RezYieldEinh=" + std::to_string(c.YieldUnit));
    if (!c.Origins.empty())
        terms.push_back("(" + OriginCondition(c) + ")");
    if (!c.Languages.empty())
        terms.push_back("RezSprache IN (" + JoinIds(c.Languages) + ")");
    if (const std::vector<std::string> words = SplitSearchWords(c.Words); !words.empty())
        terms.push_back(std::string(c.NegateWords ? "NOT " : "") + "(" + WordsCondition(c, words) + ")");
    if (!c.Books.empty())
        terms.push_back(RowOf("T_REZ_KOCHBUCH", "RezID", "BuchID IN (" + BookList() + ")"));
    if (c.AllCategoriesRule() || c.Categories.size() == 1) {
        for (long category : c.Categories)
            terms.push_back(RowOf("T_REZ_CAT_NDX", "ID", CategoryCondition(c, category)));
    } else if (!c.Categories.empty()) {
        terms.push_back(RowOf("T_REZ_CAT_NDX", "ID", AnyCategoryCondition(c)));
    }
    if (EachIngredientApart(c)) {
        for (const IngredientCriterion& ingredient : c.Ingredients)
            terms.push_back(RowOf("T_REZ_ZUTAT", "ID", IngredientCondition(ingredient)));
    } else if (!c.Ingredients.empty()) {
        terms.push_back(std::string(c.NegateIngredients ? "NOT " : "") +
                        RowOf("T_REZ_ZUTAT", "ID", AnyIngredientCondition(c)));
    }
    if (!c.Tools.empty())
        terms.push_back(RowOf("T_REZ_GERAET", "RezID", ToolCondition(c)));
    if (c.PicturesOnly)
        terms.push_back(RowOf("T_BLOB", "IDReference", "T_BLOB.IDType=5"));
    std::string condition;
    for (const std::string& term : terms)
        condition += (condition.empty() ? "" : " AND ") + term;
    return condition;
}

bool ClSearch::WordCandidates(const SearchCriteria& c, std::vector<long>& ids)
{
    const std::vector<std::string> words = SplitSearchWords(c.Words);
    if (words.empty() || c.NegateWords || !IsFile(Db()) || !HasWordIndex(Db()))
        return false;
    std::vector<const char*> tables = {kTitleIndexTable};
    if (c.Instructions)
        tables.push_back(kTextIndexTable);
    bool narrowed = false;
    for (const std::string& word : words) {
        const std::string query = WordIndexQuery(word);
        std::vector<long> found; // the recipes this word can match
        bool many = query.empty();
        for (std::size_t t = 0; t < tables.size() && !many; ++t) {
            const std::string sql =
                IndexMatch(tables[t], query) + " LIMIT " + std::to_string(kEarlyCandidates + 1);
            m_statements.push_back(sql);
            std::vector<long> more;
            try {
                for (auto rs = Db().OpenRecordset(sql); !rs->Eof(); rs->MoveNext())
                    more.push_back(static_cast<long>(rs->Field(0).AsLong()));
            } catch (const DbError&) {
                return false; // the steps meet the same fault and report it
            }
            many = more.size() > kEarlyCandidates;
            std::sort(more.begin(), more.end());
            std::vector<long> both;
            std::set_union(found.begin(), found.end(), more.begin(), more.end(), std::back_inserter(both));
            found = std::move(both);
        }
        // A word that could match many recipes narrows nothing: all words must match, and the
        // others narrow; any word suffices, and the walk along the titles serves better.
        if (many || found.size() > kEarlyCandidates) {
            if (c.AnyWord)
                return false;
            continue;
        }
        std::vector<long> joined;
        if (!narrowed)
            joined = std::move(found);
        else if (c.AnyWord)
            std::set_union(ids.begin(), ids.end(), found.begin(), found.end(), std::back_inserter(joined));
        else
            std::set_intersection(ids.begin(), ids.end(), found.begin(), found.end(), std::back_inserter(joined));
        ids = std::move(joined);
        narrowed = true;
    }
    return narrowed && ids.size() <= kEarlyCandidates;
}

std::size_t ClSearch::ShowEarlyHits(const SearchCriteria& c)
{
    if (!m_sink || !ReadAlongTitles())
        return 0;
    const std::string condition = RowCondition(c);
    if (condition.empty())
        return 0;
    // Every row along the title index comes back with the criteria's verdict, so that the walk
    // can stop at any row: the recipes passed so far are tested, and the hits among them are the
    // head of the result in its order.
    const bool instructions = c.Instructions && !SplitSearchWords(c.Words).empty();
    // When the word index names few recipes, the walk reads only the first of them in title
    // order: every hit is among them, so their hits are still the head of the result.
    std::vector<long> candidates;
    const bool fromCandidates = WordCandidates(c, candidates);
    if (fromCandidates && candidates.empty())
        return 0; // no recipe has the words
    const std::string rows =
        fromCandidates ? "(SELECT T_REZ_KOPF.ID AS Candidate FROM T_REZ_KOPF NOT INDEXED WHERE T_REZ_KOPF.ID IN (" +
                             IdList(candidates) + ") ORDER BY RezTitle, T_REZ_KOPF.ID LIMIT " +
                             std::to_string(kEarlyHead) +
                             ") AS Head CROSS JOIN T_REZ_KOPF ON T_REZ_KOPF.ID=Head.Candidate "
                       : "T_REZ_KOPF INDEXED BY [T_REZ_KOPF.IRezTitle] ";
    // The verdict: 0 no hit, 1 a hit, 2 a hit with a picture (looked up for hits only).
    const std::string sql =
        "SELECT T_REZ_KOPF.ID,REZTITLE,REZPARENT,CASE WHEN " + condition + " THEN 1+" +
        RowOf("T_BLOB", "IDReference", "T_BLOB.IDType=5") + " ELSE 0 END FROM " + rows +
        (instructions ? "LEFT JOIN T_REZ_ANWEIS ON (T_REZ_KOPF.ID=T_REZ_ANWEIS.ID) " : "") +
        "ORDER BY RezTitle, T_REZ_KOPF.ID";
    if (sql.size() >= kMaxStatement)
        return 0;
    m_statements.push_back(sql);
    const auto deadline = ThreadTime() + kEarlyBudget;
    std::vector<SearchHit> page;
    SearchHit recipe;         // the recipe whose rows are being read
    bool recipeHit = false;   // one of its rows met the criteria
    bool recipeRead = false;  // a recipe is being read
    try {
        auto rs = Db().OpenRecordset(sql, ListParameters(sql, candidates));
        long read = 0;
        for (;; rs->MoveNext()) {
            const bool end = rs->Eof();
            const long id = end ? 0 : static_cast<long>(rs->Field(0).AsLong());
            // A recipe is done when the next one begins (with the instructions, a recipe has a
            // row for each of them).
            if (recipeRead && (end || id != recipe.id)) {
                if (recipeHit)
                    page.push_back(std::move(recipe));
                recipeRead = false;
                if (page.size() == kFirstHits)
                    break;
            }
            if (end)
                break;
            if (!recipeRead) {
                recipe = SearchHit{};
                recipe.id = id;
                const Value title = rs->Field(1);
                recipe.Title = title.IsNull() ? std::string() : title.AsText();
                const Value parent = rs->Field(2);
                recipe.Parent = parent.IsNull() ? 0 : static_cast<long>(parent.AsLong());
                recipeHit = false;
                recipeRead = true;
            }
            const long verdict = static_cast<long>(rs->Field(3).AsLong());
            if (verdict > 0) {
                recipeHit = true;
                recipe.Picture = verdict == 2;
            }
            if (++read % kBudgetRows == 0) {
                if (ThreadTime() > deadline)
                    break;
                UI().ProcessEvents();
                if (m_stop || UI().CancelRequested()) {
                    m_cancelled = true;
                    break;
                }
            }
        }
    } catch (const DbError&) {
        return 0; // the steps meet the same fault and report it
    }
    m_hits = std::move(page);
    if (!m_hits.empty()) {
        m_sink(m_hits);
        UI().ProcessEvents();
        if (m_stop || UI().CancelRequested())
            m_cancelled = true;
    }
    if (m_cancelled)
        return m_hits.size(); // the result is the page shown
    const std::size_t shown = m_hits.size();
    m_hits.clear();
    return shown;
}

void ClSearch::RunListing(const SearchCriteria& c, int sortMode, std::size_t shown)
{
    ShowStatus("Sortieren des Ergebnisses");
    std::string before = "WHERE ";
    if (c.PicturesOnly)
        before += "(T_BLOB.IDType=5) AND ";
    std::string after = "Template=False AND FlagDeleted=0";
    if (c.NoChildren)
        after += " AND (RezParent=0)";
    if (c.WPExcludeBefore != 0)
        after += " AND (WPExclude<" + std::to_string(c.WPExcludeBefore) + ")";
    // Equal titles in the order of their numbers, the order of the index, whichever way is taken.
    after += OrderClause(sortMode) + (sortMode == kSortTitle ? ", T_REZ_KOPF.ID" : "");
    // Only pictures: most recipes along the index could fail that, and the first hits come late.
    if (shown == 0 && sortMode == kSortTitle && m_sink && !c.PicturesOnly && ReadAlongTitles()) {
        // The first rows along the index; of them the listed recipes, in title order, are the
        // result's first hits.
        const std::string first = kTitleWalkHead + before + after + " LIMIT " + std::to_string(kWalkRows);
        m_statements.push_back(first);
        // Only a full first page is passed on: the rows end within a recipe's last hit only when
        // the next one follows, so its picture mark is certain.
        const std::unordered_set<long> listed(m_ids.begin(), m_ids.end());
        HitSink sink = std::exchange(m_sink, {});
        const bool full = CollectHits(first, {}, 0, kFirstHits, m_haveList ? &listed : nullptr);
        m_sink = std::move(sink);
        if (m_cancelled)
            return;
        if (full) {
            m_sink(m_hits);
            shown = m_hits.size();
        }
        m_hits.clear();
    }
    // Each recipe is listed once however many pictures it has (CollectHits), so the engine
    // need not compare whole rows for that.
    const std::string sql = kListingRows + before + ListCond("(T_REZ_Kopf.ID IN (", ")) AND ") + after;
    m_statements.push_back(sql);
    CollectHits(sql, m_ids, shown);
}

bool ClSearch::FindFirst(std::string_view searchData, long bookID, int sortMode, long& count)
{
    Reset();
    count = 0;
    m_criteria = DecodeSearchData(searchData);
    const SearchCriteria& c = m_criteria;
    UI().ResetCancel();
    BusyPointer busy;

    if (c.SpecialMode != 0) {
        Special(c, bookID, sortMode);
    } else {
        // The steps in order; each narrows the IDs the ones before left, and a step that leaves
        // nothing (or a cancel) ends the search.
        m_sortMode = sortMode;
        const std::size_t early = sortMode == kSortTitle ? ShowEarlyHits(c) : 0;
        if (m_cancelled) {
            ShowStatus("");
            count = static_cast<long>(m_hits.size());
            return count > 0;
        }
        using Step = void (ClSearch::*)(const SearchCriteria&);
        static constexpr Step kSteps[] = {
            &ClSearch::StepWords,     &ClSearch::StepCategories,  &ClSearch::StepOrigins,
            &ClSearch::StepYieldUnit, &ClSearch::StepIngredients, &ClSearch::StepTools,
            &ClSearch::StepLanguages, &ClSearch::StepLiterature,  &ClSearch::StepBooksOnly};
        for (Step step : kSteps) {
            if (Stopped())
                break;
            (this->*step)(c);
        }
        if (!Stopped())
            RunListing(c, sortMode, early);
    }
    ShowStatus("");
    count = static_cast<long>(m_hits.size());
    m_pos = 0;
    return count > 0;
}

bool ClSearch::Stopped() const
{
    return m_cancelled || (m_haveList && m_ids.empty());
}

std::string ClSearch::ListCond(const std::string& prefix, const std::string& suffix) const
{
    return m_haveList ? prefix + IdList(m_ids) + suffix : std::string();
}

std::string ClSearch::InBooks(const std::string& table, const std::string& joinColumn,
                              const std::string& condition) const
{
    return " LEFT JOIN T_REZ_KOCHBUCH ON " + table + "." + joinColumn +
           " = T_REZ_KOCHBUCH.RezID  WHERE (T_REZ_KOCHBUCH.BuchID IN (" + BookList() + ")) AND (" +
           condition + ")";
}

namespace {

// "#n" names a recipe by its number.
bool IsIdWord(const std::string& word)
{
    return word.size() > 1 && word[0] == '#' && AllDigits(word.substr(1));
}

// A word's patterns (the written one, then the written-out umlauts) on each of the columns, joined
// by OR; a pattern matches at the start of the text when beginning, otherwise anywhere.
std::string WordLikes(const std::string& word, bool beginning, std::initializer_list<const char*> columns)
{
    const auto [first, second] = WordPatterns(word);
    std::string out;
    for (const std::string* pattern : {&first, &second}) {
        if (pattern->empty())
            continue;
        for (const char* column : columns)
            out += (out.empty() ? "" : " OR ") + std::string(column) + " LIKE \"" + (beginning ? "" : "*") +
                   *pattern + "*\"";
    }
    return out;
}

// Server: the statement of the recipes the words can match, each word's LIKEs on their own table,
// where the server's word index serves them; the words' joined condition (title or instruction
// row) could otherwise only be tested row by row. "" when the words leave nothing to narrow by (a
// "#n" that suffices alone, or only "#n" words).
std::string ServerWordCandidates(const SearchCriteria& c, const std::vector<std::string>& words)
{
    std::vector<std::string> titles;
    std::vector<std::string> texts;
    for (const std::string& word : words) {
        if (IsIdWord(word)) {
            if (c.AnyWord)
                return {};
            continue;
        }
        titles.push_back(WordLikes(word, c.Beginning, {"RezTitle", "RezMenuCard"}));
        texts.push_back(WordLikes(word, c.Beginning, {"AnwText"}));
    }
    auto either = [](const std::string& title, const std::string& text) {
        return "SELECT ID FROM T_REZ_KOPF WHERE " + title + " UNION SELECT ID FROM T_REZ_ANWEIS WHERE " + text;
    };
    if (titles.empty())
        return {};
    if (c.AnyWord || titles.size() == 1) {
        std::string title;
        std::string text;
        for (std::size_t i = 0; i < titles.size(); ++i) {
            title += (i ? " OR " : "") + titles[i];
            text += (i ? " OR " : "") + texts[i];
        }
        return either(title, text);
    }
    std::string sql = "SELECT ID FROM T_REZ_KOPF WHERE ";
    for (std::size_t i = 0; i < titles.size(); ++i)
        sql += (i ? " AND " : "") + ("ID IN (" + either(titles[i], texts[i]) + ")");
    return sql;
}

} // namespace

// The condition of the words on a recipe's row (and its instruction rows when asked).
std::string ClSearch::WordsCondition(const SearchCriteria& c, const std::vector<std::string>& words)
{
    std::string condition;
    for (const std::string& word : words) {
        std::string one;
        if (IsIdWord(word)) {
            one = "T_REZ_KOPF.ID=" + std::to_string(NumericValue(word.substr(1)));
        } else {
            one = "(" + WordLikes(word, c.Beginning, {"RezTitle", "RezMenuCard"});
            if (c.Instructions)
                one += " OR " + WordLikes(word, c.Beginning, {"AnwText"});
            one += ")";
        }
        if (!condition.empty())
            condition += c.AnyWord ? " OR " : " AND ";
        condition += one;
    }
    return condition;
}

// Words in the title, the menu-card title and, when asked, the instructions.
void ClSearch::StepWords(const SearchCriteria& c)
{
    const std::vector<std::string> words = SplitSearchWords(c.Words);
    if (words.empty())
        return;
    std::string condition = WordsCondition(c, words);
    bool instructions = c.Instructions; // the condition reads the instruction rows
    if (c.NegateWords) {
        condition = "NOT (" + condition + ")";
    } else if (IsFile(Db()) && HasWordIndex(Db())) {
        const std::string narrowed = WordIndexCondition(words, c.AnyWord, c.Instructions);
        if (!narrowed.empty())
            condition = narrowed + " AND (" + condition + ")";
    } else if (c.Instructions && HasWordIndex(Db())) {
        // A server's index serves the LIKEs of the title columns as they stand; the join with
        // the instruction rows gets the recipes the words can match first, as a step of its own.
        const std::string candidates = ServerWordCandidates(c, words);
        if (!candidates.empty()) {
            RunStep(candidates, "Suche nach dem Text");
            if (Stopped())
                return;
            // One word, or any of them: a recipe matches when a word stands in its titles or in
            // one of its instruction rows, which the candidates are already; several words that
            // must all match must do so in one row with the titles.
            if (c.AnyWord || words.size() == 1) {
                condition = ListCond("T_REZ_KOPF.ID IN (", ")");
                instructions = false;
            } else {
                condition = ListCond("T_REZ_KOPF.ID IN (", ") AND (") + condition + ")";
            }
        }
    }
    const std::string join = instructions ? "LEFT JOIN T_REZ_ANWEIS ON (T_REZ_KOPF.ID=T_REZ_ANWEIS.ID) " : "";
    std::string sql;
    if (!c.Books.empty())
        sql = "SELECT DISTINCTROW T_REZ_KOPF.ID FROM (T_REZ_KOPF LEFT JOIN T_REZ_KOCHBUCH ON "
              "T_REZ_KOPF.ID = T_REZ_KOCHBUCH.RezID) " +
              join + "WHERE (T_REZ_KOCHBUCH.BuchID IN (" + BookList() + ")) AND (" + condition + ")";
    else
        sql = "SELECT DISTINCTROW T_REZ_KOPF.ID FROM T_REZ_KOPF " + join + "WHERE (" + condition + ")";
    if (c.NoChildren)
        sql += " AND (RezParent=0)";
    RunStep(sql, "Suche nach dem Text");
}

// Categories: all of them one query each, any of them in one query.
void ClSearch::StepCategories(const SearchCriteria& c)
{
    if (c.Categories.empty())
        return;
    const std::string progress = "Selektion nach " + std::to_string(c.Categories.size()) + " Kategorien";
    auto statement = [&](const std::string& condition) {
        if (!c.Books.empty())
            return "SELECT DISTINCTROW ID FROM T_REZ_CAT_NDX" + InBooks("T_REZ_CAT_NDX", "ID", condition);
        return "SELECT DISTINCTROW ID FROM T_REZ_CAT_NDX WHERE" + condition;
    };
    if (c.AllCategoriesRule() || c.Categories.size() == 1) {
        for (long category : c.Categories) {
            const std::string condition = " " + CategoryCondition(c, category) + ListCond(" AND ID IN (", ")");
            RunStep(statement(condition), progress);
            if (Stopped())
                break;
        }
    } else {
        const std::string condition = " " + AnyCategoryCondition(c) + ListCond(" AND ID IN (", ")");
        RunStep(statement(condition), progress);
    }
}

// Countries of origin.
void ClSearch::StepOrigins(const SearchCriteria& c)
{
    if (c.Origins.empty())
        return;
    const std::string condition = OriginCondition(c) + ListCond(" AND (ID IN (", "))");
    if (!c.Books.empty())
        RunStep("SELECT DISTINCTROW ID FROM T_REZ_KOPF" + InBooks("T_REZ_KOPF", "ID", condition),
                "Suche nach geographischer Herkunft");
    else
        RunStep("SELECT DISTINCTROW ID FROM T_REZ_KOPF WHERE " + condition,
                "Suche nach geographischer Herkunft");
}

void ClSearch::StepYieldUnit(const SearchCriteria& c)
{
    if (c.YieldUnit == 0)
        return;
    const std::string unit = "RezYieldEinh=" + std::to_string(c.YieldUnit);
    if (!c.Books.empty())
        RunStep("SELECT DISTINCTROW ID FROM T_REZ_KOPF" + InBooks("T_REZ_KOPF", "ID", unit) +
                    ListCond(" AND (ID IN (", "))"),
                "Suchen nach Rezepteinheit");
    else
        RunStep("SELECT DISTINCTROW ID FROM T_REZ_KOPF WHERE " + unit + ListCond(" AND (ID IN (", "))"),
                "Suchen nach Rezepteinheit");
}

// Ingredients: each in turn when all must occur, otherwise one combined condition.
void ClSearch::StepIngredients(const SearchCriteria& c)
{
    if (c.Ingredients.empty())
        return;
    if (EachIngredientApart(c)) {
        int n = 0;
        for (const IngredientCriterion& ingredient : c.Ingredients) {
            std::string condition = IngredientCondition(ingredient);
            // After a step that left a short list the list narrows better than the index; given
            // both, the engine might look up the index's (longer) list of recipes instead.
            std::string query;
            if (ingredient.FoodKey <= 0 && (!m_haveList || m_ids.size() > kNarrowIds) &&
                IsFile(Db()) && HasIngredientIndex(Db()))
                query = IngredientIndexQuery({ingredient.Text});
            const std::string progress = "Suchen nach Zutat " + std::to_string(++n);
            if (!query.empty() && c.Books.empty()) {
                // The recipes the index names, each once, kept when one of their lines matches:
                // the lines of a recipe are read only up to the first that does.
                RunStep(IndexMatch(kIngredientIndexTable, query) +
                            " AND EXISTS (SELECT 1 FROM T_REZ_ZUTAT WHERE T_REZ_ZUTAT.ID=" + kIngredientIndexTable +
                            ".rowid AND (" + condition + "))" + ListCond(" AND (rowid IN (", "))"),
                        progress);
                if (Stopped())
                    break;
                continue;
            }
            if (!query.empty())
                condition = IngredientIndexCondition({ingredient.Text}) + " AND " + condition;
            std::string sql =
                c.Books.empty()
                    ? "SELECT DISTINCTROW ID FROM T_REZ_ZUTAT WHERE (" + condition + ")"
                    : "SELECT DISTINCTROW ID FROM T_REZ_ZUTAT" + InBooks("T_REZ_ZUTAT", "ID", condition);
            RunStep(sql + ListCond(" AND (ID IN (", "))"), progress);
            if (Stopped())
                break;
        }
        return;
    }
    std::string condition = AnyIngredientCondition(c);
    const bool anyKey = std::any_of(c.Ingredients.begin(), c.Ingredients.end(),
                                    [](const IngredientCriterion& ingredient) { return ingredient.FoodKey > 0; });
    if (!anyKey && !c.NegateIngredients && IsFile(Db()) && HasIngredientIndex(Db())) {
        std::vector<std::string> texts;
        for (const IngredientCriterion& ingredient : c.Ingredients)
            texts.push_back(ingredient.Text);
        const std::string narrowed = IngredientIndexCondition(texts);
        if (!narrowed.empty())
            condition = narrowed + " AND (" + condition + ")";
    }
    std::string sql = std::string(kListingHead) + "WHERE " + ListCond("(T_REZ_Kopf.ID IN (", ")) AND ");
    if (!c.Books.empty())
        sql +=
            "T_REZ_KOPF.ID IN (SELECT RezID FROM T_REZ_KOCHBUCH WHERE BuchID IN (" + BookList() + ")) AND ";
    sql += "Template=False AND FlagDeleted=0 AND T_REZ_KOPF.ID " +
           std::string(c.NegateIngredients ? "NOT" : "") + " IN (SELECT ID FROM T_REZ_ZUTAT WHERE " +
           condition + ")" + OrderClause(m_sortMode);
    RunStep(sql, "Selektion nach Zutaten");
}

// Kitchen tools: any of them.
void ClSearch::StepTools(const SearchCriteria& c)
{
    if (c.Tools.empty())
        return;
    const std::string condition = ToolCondition(c);
    std::string sql = "SELECT DISTINCTROW T_REZ_Geraet.RezID FROM T_REZ_GERAET";
    if (!c.Books.empty())
        sql += InBooks("T_REZ_GERAET", "RezID", condition);
    else
        sql += " WHERE (" + condition + ")";
    RunStep(sql + ListCond(" AND (T_REZ_Geraet.RezID IN (", "))"), "Suchen nach Küchengeräten");
}

void ClSearch::StepLanguages(const SearchCriteria& c)
{
    if (c.Languages.empty())
        return;
    std::string sql = "SELECT DISTINCTROW ID FROM T_REZ_KOPF ";
    if (!c.Books.empty())
        sql += "INNER JOIN T_REZ_KOCHBUCH ON T_REZ_KOPF.ID = T_REZ_KOCHBUCH.RezID WHERE "
               "(T_REZ_KOCHBUCH.BuchID IN (" +
               BookList() + "))";
    else
        sql += "WHERE FlagDeleted=0";
    sql += " AND (RezSprache IN (" + JoinIds(c.Languages) + "))" + ListCond(" AND (ID IN (", "))");
    RunStep(sql, "Suche nur nach Rezept-Sprache");
}

// Publishers and authors give literature sources; then the recipes of the sources.
void ClSearch::StepLiterature(const SearchCriteria& c)
{
    if (c.Literature.empty() && c.Publishers.empty() && c.Authors.empty())
        return;
    std::vector<long> sources = c.Literature;
    auto addSources = [&](const std::string& sql) {
        m_statements.push_back(sql);
        try {
            for (auto rs = Db().OpenRecordset(sql); !rs->Eof(); rs->MoveNext())
                sources.push_back(static_cast<long>(rs->Field(0).AsLong()));
        } catch (const DbError& e) {
            SetDbError(e);
        }
    };
    if (!c.Publishers.empty() || !c.Authors.empty())
        ShowStatus("Selektieren von Verlagen und Autoren");
    if (!c.Publishers.empty())
        addSources("SELECT QuelleID FROM T_LITERATUR WHERE VerlagID IN (" + JoinIds(c.Publishers) + ")");
    if (!c.Authors.empty())
        addSources("SELECT QuelleID FROM T_LITERATUR WHERE AutorID IN (" + JoinIds(c.Authors) + ")");
    if (sources.empty()) {
        m_ids.clear(); // no source of these publishers or authors: no recipe
        m_haveList = true;
        return;
    }
    const std::string condition = "RezQuelleID IN (" + JoinIds(sources) + ")";
    const std::string sql =
        c.Books.empty() ? "SELECT DISTINCTROW ID FROM T_REZ_KOPF WHERE " + condition
                        : "SELECT DISTINCTROW ID FROM T_REZ_KOPF" + InBooks("T_REZ_KOPF", "ID", condition);
    RunStep(sql + ListCond(" AND (ID IN (", "))"), "Suchen nach Verlagen, Autoren und Literatur");
}

// Only cookbooks chosen: every recipe of them.
void ClSearch::StepBooksOnly(const SearchCriteria& c)
{
    if (!m_haveList && !c.Books.empty())
        RunStep("SELECT DISTINCTROW RezID FROM T_REZ_KOCHBUCH WHERE BuchID IN (" + BookList() + ")", "");
}

void ClSearch::Special(const SearchCriteria& c, long bookID, int sortMode)
{
    const int mode = c.SpecialMode;
    if (mode == 1) {
        for (long id : MarkedRecipes()) {
            try {
                auto rs =
                    Db().OpenRecordset("SELECT RezTitle FROM T_REZ_KOPF WHERE ID=" + std::to_string(id));
                if (!rs->Eof()) {
                    const Value title = rs->Field(0);
                    m_hits.push_back({id, title.IsNull() ? std::string() : title.AsText(), 0, false});
                }
            } catch (const DbError& e) {
                SetDbError(e);
            }
        }
        if (m_sink && !m_hits.empty())
            m_sink(m_hits);
        return;
    }
    if (mode == 2) {
        const std::string sql = "SELECT REZTITLE,ID from T_REZ_KOPF where RezImportSource=" +
                                std::to_string(NumericValue(c.SpecialValue));
        m_statements.push_back(sql);
        try {
            for (auto rs = Db().OpenRecordset(sql); !rs->Eof(); rs->MoveNext()) {
                const Value title = rs->Field(0);
                m_hits.push_back({static_cast<long>(rs->Field(1).AsLong()),
                                  title.IsNull() ? std::string() : title.AsText(), 0, false});
            }
        } catch (const DbError& e) {
            SetDbError(e);
        }
        if (m_sink && !m_hits.empty())
            m_sink(m_hits);
        return;
    }

    std::string condition;
    switch (mode) {
    case 3:
        condition = "Generic<>0";
        break;
    case 4:
        condition = "Template<>0";
        break;
    case 5:
        condition = "T_BLOB.IDType=5";
        break;
    case 6: {
        ClFingerprint fingerprint;
        condition = "(" + ClFingerprint::CreatedByCondition(fingerprint.GetFingerprintAktCreator("")) + ")";
        break;
    }
    case 7: {
        std::string text = c.SpecialValue;
        if (text.size() >= 2 && text.front() == '#' && text.back() == '#')
            text = text.substr(1, text.size() - 2);
        DateSerial date;
        if (!ParseImportDateText(text, date)) {
            UI().Inform("Das enthaltene Datum ist hat ein falsches Format: \"" + c.SpecialValue +
                            "\"konnte nicht aktiviert werden.",
                        MsgIcon::Warning, AppContext::Current().AppTitle);
            return;
        }
        // The stored date may carry a fraction of a second: equal means the same second.
        char buffer[96];
        std::snprintf(buffer, sizeof buffer, " (RezImportDate>=%.10f AND RezImportDate<%.10f)",
                      date.Days - 0.5 / 86400.0, date.Days + 0.5 / 86400.0);
        condition = buffer;
        break;
    }
    case 8: {
        const std::string& text = c.SpecialValue;
        if (text.find(',') != std::string::npos) {
            std::string list;
            std::size_t start = 0;
            while (start <= text.size()) {
                std::size_t end = text.find(',', start);
                if (end == std::string::npos)
                    end = text.size();
                if (!list.empty())
                    list += ',';
                list += std::to_string(NumericValue(std::string_view(text).substr(start, end - start)));
                start = end + 1;
            }
            condition = " (T_REZ_KOPF.ID IN (" + list + "))";
        } else if (const std::size_t dash = text.find('-'); dash != std::string::npos) {
            condition = " (T_REZ_KOPF.ID BETWEEN " + std::to_string(NumericValue(text.substr(0, dash))) +
                        " AND " + std::to_string(NumericValue(text.substr(dash + 1))) + ")";
        } else {
            condition = "(T_REZ_KOPF.ID=" + std::to_string(NumericValue(text)) + ")";
        }
        break;
    }
    default:
        return; // unknown special list: nothing
    }
    const long book = c.Books.size() == 1 ? c.Books[0] : bookID;
    std::string sql = kListingHead;
    if (book != -1)
        sql += " INNER JOIN T_REZ_KOCHBUCH ON T_REZ_KOCHBUCH.RezID = T_REZ_KOPF.ID WHERE "
               "T_REZ_KOCHBUCH.BuchID=" +
               std::to_string(book) + " AND ";
    else
        sql += "WHERE FlagDeleted=False AND ";
    if (c.PicturesOnly && mode != 5)
        sql += "T_BLOB.IDType=5 AND ";
    sql += condition;
    if (mode != 4)
        sql += " AND Template=0";
    sql += OrderClause(sortMode);
    m_statements.push_back(sql);
    CollectHits(sql);
}

bool ClSearch::FindNext()
{
    if (m_pos < m_hits.size())
        ++m_pos;
    return m_pos < m_hits.size();
}

bool ClSearch::FindNextSkip(long n)
{
    m_pos = std::min(m_hits.size(), m_pos + static_cast<std::size_t>(std::max(0L, n)));
    return m_pos < m_hits.size();
}

bool ClSearch::FindFirstAgain()
{
    m_pos = 0;
    return !m_hits.empty();
}

std::string ClSearch::FindResultList() const
{
    std::string out;
    for (const SearchHit& hit : m_hits) {
        if (!out.empty())
            out += ',';
        out += std::to_string(hit.id);
    }
    return out;
}

std::string ClSearch::FindResultCaption()
{
    const SearchCriteria& c = m_criteria;
    Database& db = Db();
    auto bookNames = [&] {
        std::string names;
        for (long book : c.Books) {
            if (!names.empty())
                names += ", ";
            names += ScalarText(db, "SELECT BuchTitel FROM T_BUCH WHERE ID=" + std::to_string(book));
        }
        return names;
    };
    std::string caption;
    static const char* const specialNames[] = {"",
                                               "Markierte Rezepte",
                                               "Rezepte einer Importquelle",
                                               "Generische Rezepte",
                                               "Vorlagen",
                                               "Rezepte mit Bildern",
                                               "Eigene Rezepte",
                                               "Rezepte vom Importdatum",
                                               "Rezeptnummern"};
    if (c.SpecialMode >= 1 && c.SpecialMode <= 8) {
        caption = specialNames[c.SpecialMode];
        if (c.SpecialMode == 8 || c.SpecialMode == 7)
            caption += " " + c.SpecialValue;
    } else if (c.Books.empty() && !c.HasCriteria()) {
        caption = "Alle Rezepte";
    } else if (!c.Books.empty() && !c.HasCriteria()) {
        caption = "Alle Rezepte aus Kochbuch \"" + bookNames() + "\"";
    } else {
        caption = c.Books.empty() ? "Suchergebnis nach " : "Suchergebnis in \"" + bookNames() + "\" nach ";
        std::string parts;
        if (!c.Words.empty())
            parts += "und Titel(n) ";
        if (!c.Ingredients.empty())
            parts += "und Zutaten ";
        if (!c.Categories.empty()) {
            parts += "und " + std::to_string(c.Categories.size()) + " Kategorie (";
            const std::size_t shown = std::min<std::size_t>(3, c.Categories.size());
            for (std::size_t i = 0; i < shown; ++i) {
                if (i)
                    parts += ", ";
                parts +=
                    ScalarText(db, "SELECT CatNameD FROM T_CAT WHERE ID=" + std::to_string(c.Categories[i]));
            }
            parts += c.Categories.size() > shown ? ",...) " : ") ";
        }
        if (!c.Origins.empty())
            parts += "und Herkunft ";
        if (!c.Languages.empty())
            parts += "und Sprache ";
        if (!c.Tools.empty())
            parts += "und Küchengeräten ";
        if (c.YieldUnit != 0)
            parts += " und Rezepteinheit: " +
                     ScalarText(db, "SELECT NameD FROM T_REZ_KOPFEINHEIT WHERE ID=" +
                                        std::to_string(c.YieldUnit)) +
                     " ";
        if (!c.Publishers.empty())
            parts += "     Verlagen";
        if (!c.Authors.empty())
            parts += "     Autoren";
        if (!c.Literature.empty())
            parts += "     Literatur";
        // The first part needs no joining word.
        std::size_t start = parts.find_first_not_of(' ');
        if (start != std::string::npos && parts.compare(start, 4, "und ") == 0)
            parts = parts.substr(start + 4);
        while (!parts.empty() && parts.back() == ' ')
            parts.pop_back();
        caption += parts;
        while (!caption.empty() && caption.back() == ' ')
            caption.pop_back();
    }
    if (c.PicturesOnly)
        caption += " (Rezepte mit Bildern)";
    return caption;
}

std::string ClSearch::FindResultDecoded()
{
    const SearchCriteria& c = m_criteria;
    Database& db = Db();
    std::string out;
    auto line = [&](const std::string& label, const std::string& text) { out += label + ": " + text + "\n"; };
    auto names = [&](const std::vector<long>& ids, const std::string& sqlHead) {
        std::string text;
        for (long id : ids) {
            if (!text.empty())
                text += ", ";
            const std::string name = ScalarText(db, sqlHead + std::to_string(id));
            text += name.empty() ? std::to_string(id) : name;
        }
        return text;
    };
    if (!c.Books.empty())
        line("Kochbücher", names(c.Books, "SELECT BuchTitel FROM T_BUCH WHERE ID="));
    if (!c.Words.empty()) {
        std::string options;
        if (c.Instructions)
            options += ", auch in der Zubereitung";
        if (c.Beginning)
            options += ", am Anfang";
        if (c.AnyWord)
            options += ", ein Wort genügt";
        line(c.NegateWords ? "Titel ohne" : "Titel", c.Words + options);
    }
    if (!c.Ingredients.empty()) {
        std::string text;
        for (const IngredientCriterion& ingredient : c.Ingredients) {
            if (!text.empty())
                text += c.AllIngredients ? " und " : " oder ";
            text += ingredient.FoodKey > 0 ? "#" + std::to_string(ingredient.FoodKey) : ingredient.Text;
        }
        line(c.NegateIngredients ? "Zutaten ohne" : "Zutaten", text);
    }
    if (!c.Categories.empty())
        line(c.NegateCategories ? "Kategorien ohne"
                                : (c.AllCategoriesRule() ? "Alle Kategorien" : "Eine der Kategorien"),
             names(c.Categories, "SELECT CatNameD FROM T_CAT WHERE ID="));
    if (!c.Origins.empty())
        line(c.NegateOrigins ? "Herkunft nicht" : "Herkunft",
             names(c.Origins, "SELECT CatNameD FROM T_CAT WHERE ID="));
    if (c.YieldUnit != 0)
        line("Rezepteinheit", names({c.YieldUnit}, "SELECT NameD FROM T_REZ_KOPFEINHEIT WHERE ID="));
    if (!c.Tools.empty())
        line(c.NegateTools ? "Küchengeräte ohne" : "Küchengeräte", JoinIds(c.Tools));
    if (!c.Languages.empty())
        line("Sprachen", JoinIds(c.Languages));
    if (!c.Literature.empty())
        line("Literatur", names(c.Literature, "SELECT Title FROM T_LITERATUR WHERE QuelleID="));
    if (c.PicturesOnly)
        out += "nur Rezepte mit Bildern\n";
    if (c.NoChildren)
        out += "keine abgeleiteten Rezepte\n";
    if (c.SpecialMode != 0)
        line("Sonderliste " + std::to_string(c.SpecialMode), c.SpecialValue);
    out += std::to_string(m_hits.size()) + " Rezepte gefunden";
    return out;
}

bool ClSearch::FindIDList(const std::vector<long>& ids, int sortMode)
{
    Reset();
    m_criteria = SearchCriteria{};
    if (ids.empty())
        return false;
    const std::string sql =
        std::string(kListingHead) + "WHERE T_REZ_KOPF.ID IN (" + IdList(ids) + ")" + OrderClause(sortMode);
    m_statements.push_back(sql);
    CollectHits(sql, ids);
    return !m_hits.empty();
}

bool ClSearch::FindTrash(int sortMode)
{
    Reset();
    m_criteria = SearchCriteria{};
    m_criteria.Books = {-3};
    const std::string sql = std::string(kListingHead) + "WHERE FlagDeleted<>0" + OrderClause(sortMode);
    m_statements.push_back(sql);
    CollectHits(sql);
    return !m_hits.empty();
}

std::vector<SearchTreeNode> ClSearch::FindFillTree()
{
    std::set<long> parents;
    try {
        for (auto rs = Db().OpenRecordset("SELECT DISTINCT RezParent FROM T_REZ_KOPF WHERE RezParent<>0");
             !rs->Eof(); rs->MoveNext())
            parents.insert(static_cast<long>(rs->Field(0).AsLong()));
    } catch (const DbError& e) {
        SetDbError(e);
    }
    std::vector<SearchTreeNode> nodes;
    nodes.reserve(m_hits.size());
    for (const SearchHit& hit : m_hits) {
        SearchTreeNode node;
        node.Hit = hit;
        node.HasChildren = parents.count(hit.id) > 0;
        node.Caption = hit.Title + (node.HasChildren ? " [*]" : "");
        nodes.push_back(std::move(node));
    }
    return nodes;
}

std::vector<SearchHit> ClSearch::FindChildren(long parentID)
{
    std::vector<SearchHit> children;
    try {
        for (auto rs = Db().OpenRecordset("SELECT ID,RezTitle,RezParent FROM T_REZ_KOPF WHERE RezParent=" +
                                          std::to_string(parentID) + " ORDER BY RezTitle");
             !rs->Eof(); rs->MoveNext()) {
            const Value title = rs->Field(1);
            children.push_back({static_cast<long>(rs->Field(0).AsLong()),
                                title.IsNull() ? std::string() : title.AsText(), parentID, false});
        }
    } catch (const DbError& e) {
        SetDbError(e);
    }
    return children;
}

long ClSearch::FindFirstChild(long parentID)
{
    const std::vector<SearchHit> children = FindChildren(parentID);
    return children.empty() ? 0 : children.front().id;
}

std::vector<SearchHit> ClSearch::FindParentTree(long id)
{
    std::vector<SearchHit> chain;
    std::set<long> seen;
    while (id != 0 && seen.insert(id).second) {
        try {
            auto rs = Db().OpenRecordset("SELECT ID,RezTitle,RezParent FROM T_REZ_KOPF WHERE ID=" +
                                         std::to_string(id));
            if (rs->Eof())
                break;
            const Value title = rs->Field(1);
            const Value parent = rs->Field(2);
            SearchHit hit{id, title.IsNull() ? std::string() : title.AsText(),
                          parent.IsNull() ? 0 : static_cast<long>(parent.AsLong()), false};
            chain.insert(chain.begin(), hit);
            id = hit.Parent;
        } catch (const DbError& e) {
            SetDbError(e);
            break;
        }
    }
    return chain;
}

std::string ClSearch::ImportDateText(DateSerial date)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    date.ToParts(year, month, day, hour, minute, second);
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%02d/%02d/%04d %02d:%02d:%02d", month, day, year, hour, minute,
                  second);
    return buffer;
}

bool ClSearch::ParseImportDateText(std::string_view text, DateSerial& date)
{
    int month = 0, day = 0, year = 0, hour = 0, minute = 0, second = 0;
    char tail = 0;
    const std::string s(text);
    const int read = std::sscanf(s.c_str(), "%2d/%2d/%4d %2d:%2d:%2d%c", &month, &day, &year, &hour, &minute,
                                 &second, &tail);
    if (read != 6 || month < 1 || month > 12 || day < 1 || day > 31 || year < 100 || hour > 23 ||
        minute > 59 || second > 59 || hour < 0 || minute < 0 || second < 0)
        return false;
    date = DateSerial::FromParts(year, month, day, hour, minute, second);
    return true;
}

bool ClSearch::FindImportDate(DateSerial date)
{
    Reset();
    m_criteria = SearchCriteria{};
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "WHERE (RezImportDate>=%.10f AND RezImportDate<%.10f)",
                  date.Days - 0.5 / 86400.0, date.Days + 0.5 / 86400.0);
    const std::string sql = std::string(kListingHead) + buffer + OrderClause(kSortTitle);
    m_statements.push_back(sql);
    CollectHits(sql);
    return !m_hits.empty();
}

std::vector<DateSerial> ClSearch::FillImportdate()
{
    std::vector<DateSerial> dates;
    try {
        for (auto rs = Db().OpenRecordset("SELECT DISTINCT RezImportDate FROM T_REZ_KOPF WHERE "
                                          "RezImportSource<>1 ORDER BY RezImportDate DESC");
             !rs->Eof(); rs->MoveNext()) {
            const Value v = rs->Field(0);
            if (!v.IsNull())
                dates.push_back(v.AsDate());
        }
    } catch (const DbError& e) {
        SetDbError(e);
    }
    return dates;
}

bool ClSearch::NumberRange(long bookID, long& low, long& high)
{
    low = high = 0;
    try {
        auto rs = Db().OpenRecordset(bookID >= 0
                                         ? "SELECT MIN(REZID) AS X1,MAX(REZID) AS X2 FROM T_REZ_KOCHBUCH "
                                           "WHERE BUCHID=" +
                                               std::to_string(bookID)
                                         : std::string("SELECT MIN(ID) AS X1,MAX(ID) AS X2 FROM T_REZ_KOPF"));
        if (rs->Eof() || rs->Field("X1").IsNull())
            return false;
        low = static_cast<long>(rs->Field("X1").AsLong());
        high = static_cast<long>(rs->Field("X2").AsLong());
        return true;
    } catch (const DbError& e) {
        SetDbError(e);
        return false;
    }
}

} // namespace pf
