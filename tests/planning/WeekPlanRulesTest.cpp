#include "planning/WeekPlanRules.h"

#include "planning/clsWPLevel.h"
#include "tests/planning/WeekPlanDb.h"
#include "tests/support/Each.h"

#include <map>

namespace pf {
namespace {

class WeekPlanRules : public test::WeekPlanDb
{
protected:
    void Category(long id, const char* name, long levelId, long weeks)
    {
        db->Execute("INSERT INTO T_CAT (ID,CatNameD,CatType,CatParent,LaenderCode,ErfassungsFlag,CatWPLevel,"
                    "CatWPRepeat) VALUES (?,?,1,0,0,-1,?,?)",
                    {id, name, levelId, weeks});
    }
    // A weekly plan with (day, level, recipe) courses; approved plans carry an approval time.
    void Plan(long id, long firstDay, bool approved, const std::vector<std::tuple<long, long, long>>& courses)
    {
        db->Execute("INSERT INTO T_MENU_KOPF (MenuID,MenuTitle,MenuTree,MenuDatum,MenuZeitVorher) "
                    "VALUES (?,'',-3,?,?)",
                    {id, DateSerial{static_cast<double>(firstDay)},
                     DateSerial{approved ? static_cast<double>(firstDay) - 1.5 : 0.0}});
        long number = 0;
        for (auto [day, level, recipe] : courses)
            db->Execute(
                "INSERT INTO T_MENU_GANG (MenuID,GangNr,RezID,WeinID,WPDay,WPLevel) VALUES (?,?,?,0,?,?)",
                {id, ++number, recipe, day, level});
    }
};

TEST_F(WeekPlanRules, ExclusionRecordsTheDayOverTheFamilyAndRecomputesFromApprovedPlans)
{
    Recipe(1, "Gulasch", 0, monday - 30);
    Recipe(2, "Linsen", 0, monday + 40); // already excluded beyond the plan
    // Served on day 3 of an approved plan starting on Monday: the Wednesday.
    WPUpdateExclusion(*db, 1, monday + 2);
    WPUpdateExclusion(*db, 2, monday + 2);
    EXPECT_EQ(Exclude(1), monday + 2);
    EXPECT_EQ(Exclude(2), monday + 40);

    // Recomputed: the latest day in approved plans only; a draft plan does not count.
    Plan(10, monday - 14, true, {{4, 1, 1}, {2, 1, 1}});
    Plan(11, monday + 7, false, {{1, 1, 1}});
    WPUpdateExclusion(*db, 1, std::nullopt);
    EXPECT_EQ(Exclude(1), monday - 14 + 3);
    WPUpdateExclusion(*db, 2, std::nullopt);
    EXPECT_EQ(Exclude(2), 0);

    EXPECT_EQ(WPLastApprovedUse(*db, {1}), monday - 11);
    EXPECT_EQ(WPLastApprovedUse(*db, {1}, 10), 0);
    EXPECT_EQ(WPLastApprovedUse(*db, {1}, 0, monday - 11), monday - 13);

    // A family is excluded as one.
    Recipe(20, "Pizza", 0);
    Recipe(21, "Pizza Funghi", 0, 0, 20);
    Recipe(22, "Pizza Funghi scharf", 0, 0, 21);
    Recipe(23, "Pizza Tonno", 0, monday + 50, 20);
    Recipe(24, "Anderes", 0);
    // Parents that name each other end the walk instead of looping.
    Recipe(30, "Kreis A", 0, 0, 31);
    Recipe(31, "Kreis B", 0, 0, 30);

    EXPECT_EQ(WPFamilyRoot(*db, 22), 20);
    std::vector<long> family = WPFamily(*db, 22);
    std::sort(family.begin(), family.end());
    EXPECT_EQ(family, (std::vector<long>{20, 21, 22, 23}));
    std::vector<long> loop = WPFamily(*db, 30);
    std::sort(loop.begin(), loop.end());
    EXPECT_EQ(loop, (std::vector<long>{30, 31}));

    WPUpdateExclusion(*db, 22, monday + 4);
    for (long id : {20, 21, 22})
        EXPECT_EQ(Exclude(id), monday + 4) << id;
    EXPECT_EQ(Exclude(23), monday + 50); // a later date stays
    EXPECT_EQ(Exclude(24), 0);

    // Recomputing over the family: the base recipe's use counts for the variations.
    Plan(12, monday - 7, true, {{1, 1, 20}});
    WPUpdateExclusion(*db, 23, std::nullopt);
    for (long id : {20, 21, 22, 23})
        EXPECT_EQ(Exclude(id), monday - 7) << id;
}

TEST_F(WeekPlanRules, CandidatesFollowTheRepeatInterval)
{
    Category(50, "Suppen", 2, 2);
    const long day = monday + 2;
    Recipe(1, "Zehn Tage her", 50, day - 10);
    Recipe(2, "Fünfzehn Tage her", 50, day - 15);
    Recipe(3, "Genau zwei Wochen", 50, day - 14);
    Recipe(4, "Nie", 50, 0);
    Recipe(5, "Gelöscht", 50, 0, 0, true);
    Recipe(6, "Andere Kategorie", 0, 0);
    Recipe(7, "Kürbissuppe mit Ingwer", 50, 0, 2);
    Recipe(8, "Ihr eigener Ursprung", 50, day - 20, 8);
    struct Case
    {
        bool NoDateFilter;
        std::vector<long> Ids; // least recently served first
    };
    const Case cases[] = {{false, {7, 4, 8, 2}}, {true, {7, 4, 8, 2, 3, 1}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.NoDateFilter);
        EXPECT_EQ(test::Each(WPCandidates(*db, 50, 2, day, c.NoDateFilter), &WPCandidate::id), c.Ids);
    }
    // The detail pane: the last use, and the parent of a variation only.
    std::map<long, std::string> details;
    for (const WPCandidate& c : WPCandidates(*db, 50, 2, day, true))
        details[c.id] = WPCandidateDetail(c);
    EXPECT_EQ(details[7], "Noch nie genutzt\nBasiert auf: Fünfzehn Tage her");
    EXPECT_EQ(details[2], "Zuletzt genutzt: 24.11.2026");
    EXPECT_EQ(details[8], "Zuletzt genutzt: 19.11.2026");
    EXPECT_EQ(WPRepeatCaption(1), "Dürfen sich jede Woche wiederholen");
    EXPECT_EQ(WPRepeatCaption(3), "dürfen sich alle 3 Wochen wiederholen");
    EXPECT_EQ(WPRepeatCategoryText(2), "Nach 2 Wochen wiederholbar");
}

TEST_F(WeekPlanRules, ProposalServesLeastRecentAllowedAndRepeatsWeeklyDish)
{
    // Thursday 10 December 2026 for five days: Thu, Fri, Sat, Sun, Mon.
    const long first = monday + 3;
    Category(60, "Tagesteller", 1, 1);
    Category(61, "Wochenteller", 2, 0);
    Recipe(1, "Apfelstrudel", 60, 0);
    Recipe(2, "Bratwurst", 60, 0);
    Recipe(3, "Chili", 60, first - 3);
    Recipe(4, "Xaver-Topf", 61, 0);
    Recipe(5, "Ysop-Eintopf", 61, 0);
    Recipe(6, "Zucchini", 61, first + 30); // excluded by a plan after this one
    clsWPLevel levels(db.get());
    levels.InitDefaultWP("\"Tagesteller\",\"Wochenteller;;1\",\"Ohne Kategorie\"");

    const std::vector<WPPlacement> plan = WPProposePlan(*db, levels, first, 5);
    // Weekly repeat: the least recently served of the category, Chili (three days ago), is too
    // recent on every day of the plan; the two others fill the first two days, then nothing is
    // allowed. The repeating level keeps its dish through Sunday and takes the next on Monday.
    const std::vector<WPPlacement> expected = {
        {1, 1, 1, "Apfelstrudel"}, {1, 2, 4, "Xaver-Topf"}, {2, 1, 2, "Bratwurst"},
        {2, 2, 4, "Xaver-Topf"},   {3, 2, 4, "Xaver-Topf"}, {4, 2, 4, "Xaver-Topf"},
        {5, 2, 5, "Ysop-Eintopf"},
    };
    EXPECT_EQ(plan, expected);
}

TEST_F(WeekPlanRules, ProposalKeepsFamiliesApart)
{
    Category(60, "Tagesteller", 1, 0);
    Recipe(1, "Pizza", 60, 0);
    Recipe(2, "Pizza Funghi", 60, 0, 1);
    Recipe(3, "Suppe", 60, 5);
    clsWPLevel levels(db.get());
    levels.InitDefaultWP("\"Tagesteller\"");
    // With no repeat interval a dish may come back the next day, but not two of a family on one.
    const std::vector<WPPlacement> plan = WPProposePlan(*db, levels, monday, 3);
    EXPECT_EQ(test::Each(plan, &WPPlacement::RecipeId), (std::vector<long>{1, 3, 1}));
}

TEST_F(WeekPlanRules, BreachesAgainstOtherPlansAndWithinThePlan)
{
    Category(60, "Tagesteller", 1, 2);
    Category(61, "Wochenteller", 2, 0);
    Recipe(1, "Gulasch", 60);
    Recipe(2, "Gulasch ungarisch", 60, 0, 1);
    Recipe(3, "Salat", 60);
    Recipe(4, "Eintopf", 61);
    Plan(10, monday - 7, true, {{1, 1, 2}});  // the variation ten days before Thursday
    Plan(11, monday - 7, false, {{2, 1, 3}}); // a draft does not count
    clsWPLevel levels(db.get());
    levels.InitDefaultWP("\"Tagesteller\",\"Wochenteller;;1\"");
    const std::vector<WPCourseRef> courses = {
        {1, 1, monday + 3, "Gulasch"}, {3, 1, monday, "Salat"},       {3, 1, monday + 4, "Salat"},
        {4, 2, monday, "Eintopf"},     {4, 2, monday + 1, "Eintopf"}, {0, 1, monday + 2, "frei"},
    };
    const std::vector<WPBreach> breaches = WPCheckBreaches(*db, levels, 20, courses);
    ASSERT_EQ(test::Each(breaches, &WPBreach::RecipeId), (std::vector<long>{1, 3}));
    EXPECT_EQ(test::Each(breaches, &WPBreach::Text),
              (std::vector<std::string>{"zuletzt am 30.11.2026, erlaubt alle 2 Wochen",
                                        "zuletzt am 07.12.2026, erlaubt alle 2 Wochen"}));
    EXPECT_EQ(breaches[1].Day, monday + 4);
}

} // namespace
} // namespace pf
