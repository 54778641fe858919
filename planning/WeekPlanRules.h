#pragma once
// The rules of weekly plans that work on the recipes rather than on one plan: when a recipe and
// its family of variations were last served in an approved plan (the recipes' WPExclude), which
// recipes a level may offer on a day, a proposed filling of a new plan, and the repeat breaches
// an approval lists. Days are whole day serials. Reads the database; only the exclusion updates
// write (the caller owns the transaction).

#include "db/Value.h"

#include <optional>
#include <string>
#include <vector>

namespace pf {

class Database;
class clsWPLevel;

// The recipe a variation is based on, followed up to the family's first recipe (a recipe naming
// itself, or a loop of parents, ends the walk).
long WPFamilyRoot(Database& db, long recipeId);
// The family's first recipe and every variation below it.
std::vector<long> WPFamily(Database& db, long recipeId);

// The latest day any recipe of the list is served in an approved weekly plan, 0 when none.
// exceptPlan leaves one plan out; beforeDay (when not 0) counts only days before it.
long WPLastApprovedUse(Database& db, const std::vector<long>& recipeIds, long exceptPlan = 0,
                       long beforeDay = 0);

// Records that a recipe is served on a day: each member of its family whose WPExclude is earlier
// gets the day. Without a day, the family's WPExclude is recomputed from the approved plans.
void WPUpdateExclusion(Database& db, long recipeId, std::optional<long> day);

// The first day a recipe last served on lastUse may be served again under a repeat interval of
// weeks: offered when its WPExclude lies before day - 7 * weeks.
inline long WPExcludeLimit(long day, long weeks)
{
    return day - 7 * weeks;
}
// The caption of a level's candidate list and the category list's note for a repeat interval.
std::string WPRepeatCaption(long weeks);
std::string WPRepeatCategoryText(long weeks);

struct WPCandidate
{
    long id = 0;
    std::string Title;
    long WPExclude = 0;
    long Parent = 0;
    std::string ParentTitle; // of a variation, whose parent is another recipe
};
// The recipes a level's category offers on a day, least recently served first: not templates,
// not in the trash, and unless noDateFilter only those whose WPExclude lies before the limit.
std::vector<WPCandidate> WPCandidates(Database& db, long category, long weeks, long day, bool noDateFilter);
// The lines a candidate's detail pane shows: when it was last served ("Zuletzt genutzt: " and the
// short date, or that it never was) and, for a variation, "Basiert auf: " and its parent.
std::string WPCandidateDetail(const WPCandidate& candidate);

// One dish of a proposed plan.
struct WPPlacement
{
    int Day = 0; // 1-based
    long LevelId = 0;
    long RecipeId = 0;
    std::string Title;
    friend bool operator==(const WPPlacement&, const WPPlacement&) = default;
};
// A proposal for days days from firstDay: for every level with a category, each day the least
// recently served recipe (family) that the repeat interval allows, counting what the proposal
// itself serves; a level marked Repeat serves one dish through each calendar week. Days without
// an allowed recipe stay empty. Deterministic: equal input gives an equal plan.
std::vector<WPPlacement> WPProposePlan(Database& db, clsWPLevel& levels, long firstDay, int days);

// One repeat breach of a planned course, as the approval lists it.
struct WPBreach
{
    long RecipeId = 0;
    std::string Title;
    long Day = 0;
    std::string Text;
};
// The courses (recipe, level ID, day) of a plan checked against the repeat intervals of their
// levels' categories: a recipe family served in another approved plan, or earlier in this plan on
// a level that does not repeat, fewer than 7 * weeks days before the course.
struct WPCourseRef
{
    long RecipeId = 0;
    long LevelId = 0;
    long Day = 0;
    std::string Title;
};
std::vector<WPBreach> WPCheckBreaches(Database& db, clsWPLevel& levels, long planId,
                                      const std::vector<WPCourseRef>& courses);

} // namespace pf
