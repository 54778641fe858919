#include "planning/WeekPlanRules.h"

#include "core/IdList.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "planning/WeekCalendar.h"
#include "planning/clsWPLevel.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <queue>
#include <set>
#include <tuple>

namespace pf {

namespace {

long ParentOf(Database& db, long recipeId)
{
    return static_cast<long>(
        db.Scalar("SELECT RezParent FROM T_REZ_KOPF WHERE ID=" + std::to_string(recipeId)).AsLong());
}

// The serving day of a course: the plan's first day plus the course's day, less one.
constexpr const char* kServedDay = "T_MENU_GANG.WPDay+T_MENU_KOPF.MenuDatum-1";

long WholeDay(const Value& value)
{
    return static_cast<long>(std::floor(value.AsDouble() + 1e-9));
}

} // namespace

long WPFamilyRoot(Database& db, long recipeId)
{
    std::set<long> seen{recipeId};
    long current = recipeId;
    for (;;) {
        const long parent = ParentOf(db, current);
        if (parent < 1 || !seen.insert(parent).second)
            return current;
        current = parent;
    }
}

std::vector<long> WPFamily(Database& db, long recipeId)
{
    const long root = WPFamilyRoot(db, recipeId);
    std::vector<long> family{root};
    std::set<long> seen{root};
    std::vector<long> level{root};
    while (!level.empty()) {
        std::vector<long> next;
        auto rs = db.OpenRecordset("SELECT ID FROM T_REZ_KOPF WHERE RezParent IN (" + JoinIds(level) + ")");
        for (; !rs->Eof(); rs->MoveNext()) {
            const long child = static_cast<long>(rs->Field(0).AsLong());
            if (seen.insert(child).second) {
                family.push_back(child);
                next.push_back(child);
            }
        }
        level = std::move(next);
    }
    return family;
}

long WPLastApprovedUse(Database& db, const std::vector<long>& recipeIds, long exceptPlan, long beforeDay)
{
    if (recipeIds.empty())
        return 0;
    std::string sql =
        std::string("SELECT MAX(") + kServedDay +
        ") FROM T_MENU_GANG INNER JOIN T_MENU_KOPF ON T_MENU_GANG.MenuID=T_MENU_KOPF.MenuID "
        "WHERE T_MENU_KOPF.MenuTree=-3 AND T_MENU_KOPF.MenuZeitVorher<>0 AND T_MENU_GANG.RezID IN (" +
        JoinIds(recipeIds) + ")";
    if (exceptPlan != 0)
        sql += " AND T_MENU_KOPF.MenuID<>" + std::to_string(exceptPlan);
    if (beforeDay != 0)
        sql += std::string(" AND ") + kServedDay + "<" + std::to_string(beforeDay);
    return WholeDay(db.Scalar(sql));
}

void WPUpdateExclusion(Database& db, long recipeId, std::optional<long> day)
{
    if (recipeId < 1)
        return;
    // A family is excluded as one: serving a variation holds back its base recipe and the other
    // variations as well.
    const std::vector<long> family = WPFamily(db, recipeId);
    if (day) {
        db.Execute("UPDATE T_REZ_KOPF SET WPExclude=? WHERE ID IN (" + JoinIds(family) +
                       ") AND (WPExclude<? OR WPExclude IS NULL)",
                   {*day, *day});
        return;
    }
    db.Execute("UPDATE T_REZ_KOPF SET WPExclude=? WHERE ID IN (" + JoinIds(family) + ")",
               {WPLastApprovedUse(db, family)});
}

std::string WPRepeatCaption(long weeks)
{
    return weeks <= 1 ? "Dürfen sich jede Woche wiederholen"
                      : "dürfen sich alle " + std::to_string(weeks) + " Wochen wiederholen";
}

std::string WPRepeatCategoryText(long weeks)
{
    return weeks <= 1 ? "Jede Woche wiederholbar" : "Nach " + std::to_string(weeks) + " Wochen wiederholbar";
}

std::vector<WPCandidate> WPCandidates(Database& db, long category, long weeks, long day, bool noDateFilter)
{
    std::string sql = "SELECT T_REZ_KOPF.ID,RezTitle,WPExclude,RezParent FROM T_REZ_CAT_NDX INNER JOIN "
                      "T_REZ_KOPF ON T_REZ_CAT_NDX.ID=T_REZ_KOPF.ID WHERE T_REZ_CAT_NDX.CatID=" +
                      std::to_string(category) + " AND Template=False AND FlagDeleted=0";
    if (!noDateFilter)
        sql += " AND (WPExclude<" + std::to_string(WPExcludeLimit(day, weeks)) + ")";
    sql += " ORDER BY WPExclude, RezTitle, T_REZ_KOPF.ID";
    std::vector<WPCandidate> candidates;
    std::set<long> seen;
    auto rs = db.OpenRecordset(sql);
    for (; !rs->Eof(); rs->MoveNext()) {
        WPCandidate c;
        c.id = static_cast<long>(rs->Field(0).AsLong());
        if (!seen.insert(c.id).second)
            continue;
        c.Title = rs->Field(1).AsText();
        c.WPExclude = static_cast<long>(rs->Field(2).AsLong());
        c.Parent = static_cast<long>(rs->Field(3).AsLong());
        candidates.push_back(std::move(c));
    }
    std::vector<long> parents;
    for (const WPCandidate& c : candidates)
        if (c.Parent >= 1 && c.Parent != c.id)
            parents.push_back(c.Parent);
    if (parents.empty())
        return candidates;
    std::map<long, std::string> titles;
    auto names =
        db.OpenRecordset("SELECT ID,RezTitle FROM T_REZ_KOPF WHERE ID IN (" + JoinIds(parents) + ")");
    for (; !names->Eof(); names->MoveNext())
        titles[static_cast<long>(names->Field(0).AsLong())] = names->Field(1).AsText();
    for (WPCandidate& c : candidates)
        if (c.Parent >= 1 && c.Parent != c.id)
            if (auto found = titles.find(c.Parent); found != titles.end())
                c.ParentTitle = found->second;
    return candidates;
}

std::string WPCandidateDetail(const WPCandidate& candidate)
{
    std::string text =
        candidate.WPExclude > 0
            ? "Zuletzt genutzt: " + ShortDateText(DateSerial{static_cast<double>(candidate.WPExclude)})
            : std::string("Noch nie genutzt");
    if (!candidate.ParentTitle.empty())
        text += "\nBasiert auf: " + candidate.ParentTitle;
    return text;
}

std::vector<WPPlacement> WPProposePlan(Database& db, clsWPLevel& levels, long firstDay, int days)
{
    std::vector<WPPlacement> plan;
    // The latest day each family is served, from the recipes' exclusions and from this proposal.
    std::map<long, long> familyLastUse;
    for (int level = 1; level <= levels.Max(); ++level) {
        const long category = levels.CatSelect(level);
        if (category == 0)
            continue;
        const long weeks = levels.CatRepeat(level);
        const std::vector<WPCandidate> candidates = WPCandidates(db, category, weeks, 0, true);
        // Families by their base recipe, as far as the candidates tell it (one step up).
        auto familyOf = [](const WPCandidate& c) {
            return c.Parent >= 1 && c.Parent != c.id ? c.Parent : c.id;
        };
        for (const WPCandidate& c : candidates) {
            long& last = familyLastUse[familyOf(c)];
            last = std::max(last, c.WPExclude);
        }
        // Least recently served first; equal days keep the list's order (title, then ID).
        using Entry = std::tuple<long, std::size_t>; // last use, position in the list
        std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
        for (std::size_t i = 0; i < candidates.size(); ++i)
            queue.emplace(familyLastUse[familyOf(candidates[i])], i);

        const bool repeat = levels.Repeat(level);
        int day = 1;
        while (day <= days) {
            const long serial = firstDay + day - 1;
            // A repeating level keeps its dish to the end of the calendar week.
            int through = day;
            if (repeat)
                while (through < days &&
                       IsoWeekday(DateSerial{static_cast<double>(serial + through - day)}) < 7)
                    ++through;
            const long limit = WPExcludeLimit(serial, weeks);
            std::optional<std::size_t> chosen;
            while (!queue.empty()) {
                auto [lastUse, index] = queue.top();
                const long current = familyLastUse[familyOf(candidates[index])];
                if (current != lastUse) {
                    // Served since it was queued (through another recipe of its family).
                    queue.pop();
                    queue.emplace(current, index);
                    continue;
                }
                if (lastUse >= limit)
                    break; // the least recently served is too recent: so is every other one
                queue.pop();
                chosen = index;
                break;
            }
            if (chosen) {
                const WPCandidate& c = candidates[*chosen];
                for (int d = day; d <= through; ++d)
                    plan.push_back({d, levels.id(level), c.id, c.Title});
                familyLastUse[familyOf(c)] = firstDay + through - 1;
                queue.emplace(firstDay + through - 1, *chosen);
            }
            day = through + 1;
        }
    }
    std::sort(plan.begin(), plan.end(), [&](const WPPlacement& a, const WPPlacement& b) {
        return std::tuple(a.Day, levels.LevelOfId(a.LevelId)) <
               std::tuple(b.Day, levels.LevelOfId(b.LevelId));
    });
    return plan;
}

std::vector<WPBreach> WPCheckBreaches(Database& db, clsWPLevel& levels, long planId,
                                      const std::vector<WPCourseRef>& courses)
{
    std::vector<WPBreach> breaches;
    std::map<long, std::vector<long>> families;
    for (const WPCourseRef& course : courses) {
        const int level = levels.LevelOfId(course.LevelId);
        if (course.RecipeId < 1 || level == 0)
            continue;
        const long weeks = levels.CatRepeat(level);
        auto found = families.find(course.RecipeId);
        if (found == families.end())
            found = families.emplace(course.RecipeId, WPFamily(db, course.RecipeId)).first;
        const std::vector<long>& family = found->second;
        long last = WPLastApprovedUse(db, family, planId, course.Day);
        // Earlier days of this plan count too, except where the level repeats its dish by design.
        if (!levels.Repeat(level))
            for (const WPCourseRef& other : courses)
                if (other.Day < course.Day && other.Day > last &&
                    std::find(family.begin(), family.end(), other.RecipeId) != family.end())
                    last = other.Day;
        if (last != 0 && last >= WPExcludeLimit(course.Day, weeks))
            breaches.push_back(
                {course.RecipeId, course.Title, course.Day,
                 "zuletzt am " + ShortDateText(DateSerial{static_cast<double>(last)}) + ", erlaubt " +
                     (weeks <= 1 ? std::string("jede Woche") : "alle " + std::to_string(weeks) + " Wochen")});
    }
    return breaches;
}

} // namespace pf
