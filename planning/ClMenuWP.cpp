// The weekly-plan operations of ClMenu: a plan is a menu in folder -3 whose courses carry a day
// and a level, whose preparation-time column holds the approval and whose source text keeps the
// levels it was made with.

#include "planning/ClMenu.h"

#include "db/Database.h"
#include "db/Recordset.h"
#include "db/SchemaVersion.h"
#include "model/ClRecipe.h"
#include "planning/WeekCalendar.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace pf {

namespace {

long WholeDayOf(DateSerial date)
{
    return static_cast<long>(std::floor(date.Days));
}

} // namespace

void ClMenu::CreateNewWP(DateSerial startDate, int days)
{
    Void();
    m_tree = kWPTree;
    m_date = DateSerial{static_cast<double>(WholeDayOf(startDate))};
    m_title = "Wochenplan vom " + ShortDateText(m_date);
    m_wpLevels = clsWPLevel(m_db);
    m_wpLevels.Load();
    m_wpLevelsRead = true;
    m_source = m_wpLevels.WPData();
    m_wpDays = std::max(days, 1);
    m_coursesLoaded = true;
    m_changed = true;
}

void ClMenu::SetWPApproveDate(DateSerial when)
{
    if (IsWP() && !m_roMode)
        Assign(m_approved, when);
}

void ClMenu::WPApprove(bool on)
{
    if (!IsWP() || m_roMode)
        return;
    if (on && m_approved.Days == 0)
        Assign(m_approved, NowSerial());
    else if (!on && m_approved.Days != 0)
        Assign(m_approved, DateSerial());
}

bool ClMenu::CheckWPDate()
{
    LastErrorClear();
    try {
        const double day = static_cast<double>(WholeDayOf(m_date));
        auto rs =
            Db().OpenRecordset("SELECT MenuID,MenuDatum FROM T_MENU_KOPF WHERE MenuTree=-3 AND MenuID<>? "
                               "AND MenuDatum>=? AND MenuDatum<?",
                               {Value(m_id), Value(day), Value(day + 1)});
        return !rs->Eof();
    } catch (const DbError& e) {
        SetDbError(e);
        return false;
    }
}

std::vector<long> ClMenu::WPDupeCheck(DateSerial date)
{
    LastErrorClear();
    std::vector<long> plans;
    Recorded([&] {
        const double day = static_cast<double>(WholeDayOf(date));
        auto rs = Db().OpenRecordset("SELECT MenuID FROM T_MENU_KOPF WHERE MenuTree=-3 AND MenuDatum>=? AND "
                                     "MenuDatum<? ORDER BY MenuID",
                                     {Value(day), Value(day + 1)});
        for (; !rs->Eof(); rs->MoveNext())
            plans.push_back(static_cast<long>(rs->Field(0).AsLong()));
    });
    return plans;
}

long ClMenu::WPLastUsage(long recipeId)
{
    LastErrorClear();
    if (recipeId <= 0)
        return 0;
    long last = 0;
    Recorded([&] {
        std::string sql =
            "SELECT T_MENU_GANG.WPDay+T_MENU_KOPF.MenuDatum-1 AS DX, T_MENU_GANG.RezID FROM "
            "T_MENU_GANG INNER JOIN T_MENU_KOPF ON T_MENU_GANG.MenuID = T_MENU_KOPF.MenuId Where "
            "(((T_MENU_KOPF.MenuTree) = -3)) AND T_MENU_GANG.RezID=" +
            std::to_string(recipeId);
        if (m_id != 0)
            sql += " AND T_MENU_KOPF.MenuID<>" + std::to_string(m_id);
        sql += " ORDER BY T_MENU_GANG.RezID, T_MENU_GANG.WPDay+T_MENU_KOPF.MenuDatum DESC";
        auto rs = Db().OpenRecordset(sql);
        if (!rs->Eof())
            last = WholeDayOf(DateSerial{rs->Field("DX").AsDouble() + 1e-9});
    });
    return last;
}

clsWPLevel& ClMenu::WPLevels()
{
    if (!m_wpLevelsRead) {
        m_wpLevels = clsWPLevel(m_db);
        m_wpLevels.InitDefaultWP(m_source);
        // A plan without a level text of its own shows the program's levels.
        if (m_wpLevels.Max() == 0)
            m_wpLevels.Load();
        m_wpLevels.SetROMode(true);
        m_wpLevelsRead = true;
    }
    return m_wpLevels;
}

std::string ClMenu::WPLevelText(int level)
{
    return WPLevels().Name(level);
}

Decimal4 ClMenu::WPLevelPrice(int level)
{
    return WPLevels().Cost(level);
}

bool ClMenu::WPLevelRepeat(int level)
{
    return WPLevels().Repeat(level);
}

long ClMenu::WPLevelClass(int level)
{
    return WPLevels().CatSelect(level);
}

int ClMenu::WPDayCount()
{
    long days = m_wpDays;
    for (int i = 1; i <= CoursesCount(); ++i)
        days = std::max(days, WPDay(i));
    return days > 0 ? static_cast<int>(days) : 7;
}

void ClMenu::SetWPDayCount(int days)
{
    if (days >= 1 && days != m_wpDays) {
        m_wpDays = days;
        m_changed = true;
    }
}

int ClMenu::WPCourse(long day, long levelId)
{
    for (int i = 1; i <= CoursesCount(); ++i)
        if (WPDay(i) == day && wplevel(i) == levelId)
            return i;
    return 0;
}

int ClMenu::WPPlace(long day, long levelId, long recipeId, const std::string& title)
{
    if (const int existing = WPCourse(day, levelId)) {
        if (recipeId > 0 && CourseRezID(existing) == recipeId)
            return existing;
        CourseDelete(existing);
    }
    if (recipeId < 1 && title.empty())
        return 0;
    const int course = CourseAdd(recipeId, recipeId < 1, title);
    SetWPDay(course, day);
    Setwplevel(course, levelId);
    return course;
}

int ClMenu::WPFill()
{
    LastErrorClear();
    int placed = 0;
    Recorded([&] {
        const long first = WholeDayOf(m_date);
        for (const WPPlacement& p : WPProposePlan(Db(), WPLevels(), first, WPDayCount()))
            if (WPCourse(p.Day, p.LevelId) == 0 && WPPlace(p.Day, p.LevelId, p.RecipeId) != 0)
                ++placed;
    });
    return placed;
}

std::vector<WPCourseRef> ClMenu::WPCourseRefs()
{
    std::vector<WPCourseRef> refs;
    const long first = WholeDayOf(m_date);
    for (int i = 1; i <= CoursesCount(); ++i)
        refs.push_back({CourseRezID(i), wplevel(i), first + WPDay(i) - 1, CourseTitle(i)});
    std::stable_sort(refs.begin(), refs.end(),
                     [](const WPCourseRef& a, const WPCourseRef& b) { return a.Day < b.Day; });
    return refs;
}

std::vector<WPBreach> ClMenu::WPCheck()
{
    LastErrorClear();
    std::vector<WPBreach> breaches;
    Recorded([&] { breaches = WPCheckBreaches(Db(), WPLevels(), m_id, WPCourseRefs()); });
    return breaches;
}

std::vector<ClMenu::WPListEntry> ClMenu::RefreshWPList(DateSerial from, DateSerial to)
{
    LastErrorClear();
    std::vector<WPListEntry> list;
    Recorded([&] {
        std::string sql = "SELECT MenuDatum,MenuID,MenuZeitVorher FROM T_MENU_KOPF WHERE MenuTree=-3";
        std::vector<Value> params;
        if (to.Days >= 2) {
            sql += " AND (MenuDatum>=?) AND (MenuDatum<?)";
            params = {Value(static_cast<double>(WholeDayOf(from))),
                      Value(static_cast<double>(WholeDayOf(to) + 1))};
        }
        sql += " ORDER BY MenuDatum, MenuID";
        auto rs = Db().OpenRecordset(sql, params);
        for (; !rs->Eof(); rs->MoveNext()) {
            WPListEntry e;
            e.id = static_cast<long>(rs->Field("MenuID").AsLong());
            e.Date = rs->Field("MenuDatum").AsDate();
            e.Approved =
                rs->Field("MenuZeitVorher").IsNull() ? DateSerial() : rs->Field("MenuZeitVorher").AsDate();
            int month = 0, day = 0, hour = 0, minute = 0, second = 0;
            e.Date.ToParts(e.Year, month, day, hour, minute, second);
            e.Month = GermanMonthName(month);
            e.Title = GenMenuEntryTitle("", e.Date, e.id, kWPTree, e.Approved);
            list.push_back(std::move(e));
        }
    });
    return list;
}

void ClMenu::WPCourseRemoved(long recipeId)
{
    m_wpRemoved.push_back(recipeId);
}

std::vector<long> ClMenu::WPStoredRecipes(Database& db)
{
    std::vector<long> recipes;
    if (!IsWP() || m_id == 0)
        return recipes;
    auto rs =
        db.OpenRecordset("SELECT DISTINCT RezID FROM T_MENU_GANG WHERE MenuID=? AND RezID>0", {Value(m_id)});
    for (; !rs->Eof(); rs->MoveNext())
        recipes.push_back(static_cast<long>(rs->Field(0).AsLong()));
    return recipes;
}

void ClMenu::WPRecompute(Database& db, const std::vector<long>& recipes)
{
    const std::set<long> distinct(recipes.begin(), recipes.end());
    for (long recipe : distinct)
        WPUpdateExclusion(db, recipe, std::nullopt);
    if (!distinct.empty())
        ClearRecipeCache();
}

void ClMenu::WPRecordUsage(Database& db)
{
    const bool approved = m_approved.Days != 0;
    // Removed dishes, and every dish of a plan whose approval was withdrawn, no longer hold their
    // recipes back: their exclusion is worked out again from the approved plans.
    std::vector<long> recompute = m_wpRemoved;
    if (!approved && m_approvedLoaded.Days != 0) {
        const std::vector<long> stored = WPStoredRecipes(db);
        recompute.insert(recompute.end(), stored.begin(), stored.end());
    }
    WPRecompute(db, recompute);
    if (!approved)
        return;
    const long first = WholeDayOf(m_date);
    auto rs = db.OpenRecordset(
        "SELECT RezID,WPDay FROM T_MENU_GANG WHERE MenuID=? AND RezID>0 ORDER BY GangNr", {Value(m_id)});
    std::vector<std::pair<long, long>> served;
    for (; !rs->Eof(); rs->MoveNext())
        served.emplace_back(static_cast<long>(rs->Field(0).AsLong()),
                            static_cast<long>(rs->Field(1).AsLong()));
    rs->Close();
    for (auto [recipe, day] : served) {
        // A later use elsewhere may stem from a plan changed since: start from the approved plans.
        const long last = WPLastUsage(recipe);
        if (m_date.Days >= 2 && last >= first)
            WPUpdateExclusion(db, recipe, std::nullopt);
        WPUpdateExclusion(db, recipe, first + day - 1);
    }
    ClearRecipeCache();
}

} // namespace pf
