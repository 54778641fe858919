#pragma once
// The recipe search: decodes the search data and narrows the set of recipe IDs step by step,
// one query per criterion, each restricted to the IDs the previous steps left; the last step
// lists the survivors with title, parent and picture mark in the chosen order. Also the special
// lists, result lists by ID, children and import dates. The result lives in the object until the
// next search. Reads the database only; progress and cancel go through UI().

#include "search/SearchData.h"

#include "db/Value.h"
#include "model/ModelObject.h"

#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace pf {

class Database;

struct SearchHit
{
    long id = 0;
    std::string Title;
    long Parent = 0;
    bool Picture = false;
    friend bool operator==(const SearchHit&, const SearchHit&) = default;
};

// One entry of the result tree: a recipe and, below it, the recipes derived from it.
struct SearchTreeNode
{
    SearchHit Hit;
    std::string Caption; // the title, with " [*]" when the recipe has children
    bool HasChildren = false;
};

class ClSearch : public ModelObject
{
public:
    // A statement of this many characters or more is not sent.
    static constexpr std::size_t kMaxStatement = 32768;
    // Refusal of a search whose statement would pass kMaxStatement: it finds nothing.
    static constexpr long kTooLong = -1;
    // The interface is refreshed (and cancel checked) every this many rows.
    static constexpr long kRefreshRows = 512;
    // Sort modes.
    static constexpr int kSortTitle = 0;
    static constexpr int kSortNewest = 1;

    // Without a database the work database is used.
    explicit ClSearch(Database* db = nullptr) { m_db = db; }

    // Called with each batch of listed hits while the listing runs, so a list can fill early.
    using HitSink = std::function<void(const std::vector<SearchHit>& batch)>;
    void SetHitSink(HitSink sink) { m_sink = std::move(sink); }
    // Asks the running search to stop at its next refresh (a window's cancel button).
    void RequestCancel() { m_stop = true; }
    bool Cancelled() const { return m_cancelled; }

    // Runs the search. bookID names one cookbook for the special lists (-1: none). Returns true
    // when something was found; count receives the number of hits. The first hit is current.
    bool FindFirst(std::string_view searchData, long bookID, int sortMode, long& count);
    // Walks the result; false past the end.
    bool FindNext();
    // Skips n hits.
    bool FindNextSkip(long n);
    bool FindFirstAgain();
    bool Eof() const { return m_pos >= m_hits.size(); }
    const SearchHit& Current() const { return m_hits.at(m_pos); }
    const std::vector<SearchHit>& Hits() const { return m_hits; }

    // The heading of the last result.
    std::string FindResultCaption();
    // The result as a comma-separated ID list, and the criteria as readable text.
    std::string FindResultList() const;
    std::string FindResultDecoded();
    // The statements of the last search as built, in order, for diagnostics and tests.
    const std::vector<std::string>& Statements() const { return m_statements; }

    // Lists recipes of an ID list (no template or trash filter), in the sort order.
    bool FindIDList(const std::vector<long>& ids, int sortMode);
    // Recipes in the trash, in the sort order.
    bool FindTrash(int sortMode);
    // The result as tree entries: a recipe with children carries " [*]".
    std::vector<SearchTreeNode> FindFillTree();
    // The children of a recipe, ordered by title; the first, or 0.
    std::vector<SearchHit> FindChildren(long parentID);
    long FindFirstChild(long parentID);
    // The chain of parents of a recipe, the recipe itself last.
    std::vector<SearchHit> FindParentTree(long id);

    // Recipes imported at a date, and the import dates of imported recipes (newest first).
    bool FindImportDate(DateSerial date);
    std::vector<DateSerial> FillImportdate();
    // "mm/dd/yyyy hh:mm:ss", as the import-date list writes a date into the search data.
    static std::string ImportDateText(DateSerial date);
    // Reads that form back; false when the text is no date of that form.
    static bool ParseImportDateText(std::string_view text, DateSerial& date);

    // The range of existing recipe numbers, within a cookbook when bookID >= 0.
    bool NumberRange(long bookID, long& low, long& high);

private:
    void Reset();
    // Runs a step query: false when it was not sent (too long) or failed, leaving the list.
    bool RunStep(const std::string& sql, const std::string& progress);
    // Lists the current IDs with the listing query; the sink has the first `shown` already.
    void RunListing(const SearchCriteria& c, int sortMode, std::size_t shown = 0);
    // Before the steps of a search sorted by title: the first hits, read along the title index
    // within a time budget and passed to the sink (at most a page); how many, 0 when none.
    std::size_t ShowEarlyHits(const SearchCriteria& c);
    // The recipes the word index names for the words, ascending, when it narrows them to a few;
    // false when it cannot (no index, negated words, words common enough to match many recipes).
    bool WordCandidates(const SearchCriteria& c, std::vector<long>& ids);
    // The criteria as a condition on a row of the walk along the title index; "" when they
    // cannot be said there.
    std::string RowCondition(const SearchCriteria& c) const;
    // The words' condition on the recipe row (and the instruction rows when asked).
    static std::string WordsCondition(const SearchCriteria& c, const std::vector<std::string>& words);
    // Whether the first hits of a title listing can be read along the title index.
    bool ReadAlongTitles();
    // Runs a listing statement and collects hits, one per recipe; ids fill a bound list the
    // statement names. The sink hears of the hits after the first `shown` (it has those
    // already); with a limit the reading stops before the hit after it (true then); with `only`
    // rows of other recipes are passed over.
    bool CollectHits(const std::string& sql, const std::vector<long>& ids = {}, std::size_t shown = 0,
                     std::size_t limit = 0, const std::unordered_set<long>* only = nullptr);
    void Special(const SearchCriteria& c, long bookID, int sortMode);
    // The steps of a search, in the order FindFirst runs them; each leaves the list it narrowed.
    void StepWords(const SearchCriteria& c);
    void StepCategories(const SearchCriteria& c);
    void StepOrigins(const SearchCriteria& c);
    void StepYieldUnit(const SearchCriteria& c);
    void StepIngredients(const SearchCriteria& c);
    void StepTools(const SearchCriteria& c);
    void StepLanguages(const SearchCriteria& c);
    void StepLiterature(const SearchCriteria& c);
    void StepBooksOnly(const SearchCriteria& c);
    // True when a step left no recipe or the user cancelled.
    bool Stopped() const;
    // prefix, the current IDs and suffix; "" before the first step made a list. A long list is
    // one bound value that RunStep and CollectHits supply.
    std::string ListCond(const std::string& prefix, const std::string& suffix) const;
    // The join and condition that keep a step within the chosen cookbooks.
    std::string InBooks(const std::string& table, const std::string& joinColumn,
                        const std::string& condition) const;

    std::string BookList() const;
    static std::string OrderClause(int sortMode);

    HitSink m_sink;
    SearchCriteria m_criteria;
    std::vector<long> m_ids;
    bool m_haveList = false;
    std::vector<SearchHit> m_hits;
    std::size_t m_pos = 0;
    std::vector<std::string> m_statements;
    bool m_cancelled = false;
    bool m_stop = false;
    int m_sortMode = kSortTitle;
};

// The program's list of marked recipes (special list 1); the marks of the recipe lists change it.
std::vector<long>& MarkedRecipes();

} // namespace pf
