// Weekly plans stored as menus: levels kept with the plan, cells placed and filled, approval with
// the recipes' exclusion over their families, and the plan list.

#include "planning/ClMenu.h"

#include "core/AppContext.h"
#include "db/Database.h"
#include "planning/WeekCalendar.h"
#include "tests/support/NewDatabase.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace pf {
namespace {

class WeekPlanMenu : public ::testing::Test
{
protected:
    void SetUp() override
    {
        monday = DayOf(DateSerial::FromParts(2026, 12, 7));
        app.IniFile = dir.File("pfannola.INI");
        app.UserStoreFile = dir.File("user.ini");
        db = test::NewSchemaDatabase(dir.File("plans.db"));
        db->Execute("INSERT INTO T_WPLevel (ID,WPOrder,WPName,WPCost,WPPrint,WPRepeat) VALUES "
                    "(1,1,'Suppe',2.5,-1,0),(2,2,'Hauptgang',6.9,-1,0),(3,3,'Dessert',1.8,0,0)");
        db->Execute("INSERT INTO T_CAT (ID,CatNameD,CatType,CatParent,LaenderCode,ErfassungsFlag,CatWPLevel,"
                    "CatWPRepeat) VALUES (50,'Suppen',1,0,0,-1,1,1),(51,'Hauptgerichte',1,0,0,-1,2,2),"
                    "(52,'Nachspeisen',1,0,0,-1,3,1)");
        long id = 0;
        for (long category : {50, 51, 52})
            for (int n = 1; n <= 8; ++n)
                Recipe(++id, "Gericht " + std::to_string(category) + "-" + std::to_string(n), category);
    }
    void Recipe(long id, const std::string& title, long category, long parent = 0)
    {
        db->Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,RezYield,Template,FlagDeleted,RezParent,WPExclude) "
                    "VALUES (?,?,4,0,0,?,0)",
                    {id, title, parent});
        db->Execute("INSERT INTO T_REZ_CAT_NDX (ID,CatID,CatPrimary,[No]) VALUES (?,?,-1,1)", {id, category});
    }
    ClMenu NewPlan(long firstDay, int days = 5)
    {
        ClMenu plan;
        plan.SetDB(db.get());
        plan.CreateNewWP(DateSerial{static_cast<double>(firstDay)}, days);
        return plan;
    }
    ClMenu Load(long id)
    {
        ClMenu plan;
        plan.SetDB(db.get());
        EXPECT_TRUE(plan.Loadr(id));
        return plan;
    }
    long Exclude(long recipe)
    {
        return static_cast<long>(
            db->Scalar("SELECT WPExclude FROM T_REZ_KOPF WHERE ID=" + std::to_string(recipe)).AsLong());
    }

    long monday = 0;
    test::TempDir dir;
    AppContext app;
    ScopedAppContext scope{app};
    std::unique_ptr<Database> db;
};

TEST_F(WeekPlanMenu, PlanKeepsItsLevelsWhenTheSettingsChange)
{
    ClMenu plan = NewPlan(monday);
    EXPECT_TRUE(plan.IsWP());
    EXPECT_EQ(plan.WPDayCount(), 5);
    plan.WPPlace(1, 2, 9);
    plan.WPPlace(2, 3, 0, "Obstsalat");
    ASSERT_TRUE(plan.Save()) << plan.LastErrorText();

    db->Execute("DELETE FROM T_WPLevel");
    db->Execute(
        "INSERT INTO T_WPLevel (ID,WPOrder,WPName,WPCost,WPPrint,WPRepeat) VALUES (1,1,'Neu',0,-1,0)");
    ClMenu back = Load(plan.id());
    ASSERT_EQ(back.WPLevels().Max(), 3);
    EXPECT_EQ(back.WPLevelText(2), "Hauptgang");
    EXPECT_EQ(back.WPLevelPrice(2), Decimal4::Parse("6.9"));
    EXPECT_EQ(back.WPLevelClass(3), 52);
    EXPECT_EQ(back.WPLevelText(4), "");
    EXPECT_EQ(back.WPCourse(1, 2), 1);
    EXPECT_EQ(back.CourseRezID(back.WPCourse(1, 2)), 9);
    EXPECT_TRUE(back.CourseGeneric(back.WPCourse(2, 3)));
    EXPECT_EQ(back.WPCourse(1, 1), 0);
    EXPECT_EQ(back.WPDayCount(), 2); // as far as the dishes reach
    // The plan's levels are its own: they are not written back to the program's.
    EXPECT_TRUE(back.WPLevels().Save());
    EXPECT_EQ(db->Scalar("SELECT COUNT(*) FROM T_WPLevel").AsLong(), 1);

    // Placing into a taken cell replaces the dish; an empty generic text clears it.
    back.WPPlace(1, 2, 10);
    EXPECT_EQ(back.CoursesCount(), 2);
    back.WPPlace(2, 3, 0, "");
    EXPECT_EQ(back.CoursesCount(), 1);
}

TEST_F(WeekPlanMenu, ApprovalRecordsUsageAndChangesRecomputeIt)
{
    // An earlier approved plan served recipe 3 on its Tuesday.
    ClMenu earlier = NewPlan(monday - 7);
    earlier.WPPlace(2, 1, 3);
    earlier.WPApprove(true);
    ASSERT_TRUE(earlier.Save());
    EXPECT_EQ(Exclude(3), monday - 6);

    ClMenu plan = NewPlan(monday);
    plan.WPPlace(3, 1, 3); // Wednesday
    plan.WPPlace(1, 2, 9);
    EXPECT_EQ(plan.WPApproveDate().Days, 0);
    ASSERT_TRUE(plan.Save());
    EXPECT_EQ(Exclude(3), monday - 6); // a draft records nothing
    EXPECT_NE(plan.GenMenuEntryTitle().find(" !"), std::string::npos);

    plan.WPApprove(true);
    EXPECT_GT(plan.WPApproveDate().Days, 2);
    EXPECT_TRUE(plan.IsChanged());
    ASSERT_TRUE(plan.Save());
    EXPECT_EQ(Exclude(3), monday + 2);
    EXPECT_EQ(Exclude(9), monday);
    EXPECT_EQ(plan.WPLastUsage(3), monday - 6);

    // Removing the dish gives recipe 3 back the day of the earlier plan.
    ClMenu edit = Load(plan.id());
    edit.WPPlace(3, 1, 0, "");
    ASSERT_TRUE(edit.Save());
    EXPECT_EQ(Exclude(3), monday - 6);
    EXPECT_EQ(Exclude(9), monday);

    // Withdrawing the approval frees recipe 9; deleting the earlier plan frees recipe 3.
    edit.WPApprove(false);
    ASSERT_TRUE(edit.Save());
    EXPECT_EQ(Exclude(9), 0);
    ClMenu gone = Load(earlier.id());
    ASSERT_TRUE(gone.Delete());
    EXPECT_EQ(Exclude(3), 0);
}

TEST_F(WeekPlanMenu, ApprovingAVariationExcludesTheWholeFamily)
{
    Recipe(100, "Eintopf", 51);
    Recipe(101, "Eintopf mit Wurst", 51, 100);
    Recipe(102, "Eintopf vegetarisch", 51, 100);
    ClMenu plan = NewPlan(monday);
    plan.WPPlace(4, 2, 101);
    plan.WPApprove(true);
    ASSERT_TRUE(plan.Save());
    for (long id : {100, 101, 102})
        EXPECT_EQ(Exclude(id), monday + 3) << id;
}

TEST_F(WeekPlanMenu, ApprovalIsOnlyForWritablePlans)
{
    ClMenu menu;
    menu.SetDB(db.get());
    menu.SetTitle("Geburtstag");
    menu.WPApprove(true);
    EXPECT_EQ(menu.WPApproveDate().Days, 0);
    ClMenu plan = NewPlan(monday);
    plan.SetROMode(true);
    plan.WPApprove(true);
    EXPECT_EQ(plan.WPApproveDate().Days, 0);
}

TEST_F(WeekPlanMenu, ServedDishesAreNotProposedTheNextWeek)
{
    ClMenu first = NewPlan(monday);
    EXPECT_EQ(first.WPFill(), 15);
    first.WPApprove(true);
    ASSERT_TRUE(first.Save());
    std::set<long> servedMains;
    for (int day = 1; day <= 5; ++day)
        servedMains.insert(first.CourseRezID(first.WPCourse(day, 2)));

    // Soups and desserts may come back after a week: the three never served fill Monday to
    // Wednesday, Thursday and Friday bring back last Monday's and Tuesday's. Main dishes wait two
    // weeks: the three never served run out on Thursday.
    ClMenu next = NewPlan(monday + 7);
    EXPECT_EQ(next.WPFill(), 13);
    EXPECT_EQ(next.CourseRezID(next.WPCourse(4, 1)), first.CourseRezID(first.WPCourse(1, 1)));
    EXPECT_EQ(next.CourseRezID(next.WPCourse(5, 3)), first.CourseRezID(first.WPCourse(2, 3)));
    for (int day = 1; day <= 3; ++day)
        EXPECT_EQ(servedMains.count(next.CourseRezID(next.WPCourse(day, 2))), 0u) << day;
    EXPECT_EQ(next.WPCourse(4, 2), 0);
    EXPECT_TRUE(next.WPCheck().empty());

    // Placing a served main dish by hand is a breach the approval lists.
    next.WPPlace(4, 2, first.CourseRezID(first.WPCourse(5, 2)));
    const std::vector<WPBreach> breaches = next.WPCheck();
    ASSERT_EQ(breaches.size(), 1u);
    EXPECT_EQ(breaches[0].Day, monday + 10);
}

TEST_F(WeekPlanMenu, SameStartDayAndPlanList)
{
    ClMenu a = NewPlan(monday);
    ASSERT_TRUE(a.Save());
    ClMenu b = NewPlan(monday + 7);
    EXPECT_FALSE(b.CheckWPDate());
    b.SetMenuDate(DateSerial{static_cast<double>(monday) + 0.25});
    EXPECT_TRUE(b.CheckWPDate());
    b.SetMenuDate(DateSerial{static_cast<double>(monday + 28)});
    b.WPApprove(true);
    ASSERT_TRUE(b.Save());
    EXPECT_EQ(b.WPDupeCheck(DateSerial{static_cast<double>(monday)}), std::vector<long>{a.id()});

    const std::vector<ClMenu::WPListEntry> list = a.RefreshWPList();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].Title, "Woche 50 - 07.12.2026 (#" + std::to_string(a.id()) + ") !");
    EXPECT_EQ(list[0].Month, "Dezember");
    EXPECT_EQ(list[1].Title, "Woche 01 - 04.01.2027 (#" + std::to_string(b.id()) + ")");
    EXPECT_EQ(list[1].Year, 2027);
    EXPECT_EQ(a.RefreshWPList(DateSerial{static_cast<double>(monday + 1)},
                              DateSerial{static_cast<double>(monday + 28)})
                  .size(),
              1u);
}

} // namespace
} // namespace pf
