// Weekly plans stored as menus: levels kept with the plan, cells placed and filled, approval with
// the recipes' exclusion over their families, the plan list and the printouts.

#include "planning/ClMenu.h"

#include "planning/WeekPlanPrint.h"
#include "tests/output/RecordingCanvas.h"
#include "tests/planning/WeekPlanDb.h"

#include <map>

namespace pf {
namespace {

class WeekPlanMenu : public test::WeekPlanDb
{
protected:
    void SetUp() override
    {
        WeekPlanDb::SetUp();
        test::AddPlanLevels(*db, 8, false); // the dessert is not printed
    }
    static DateSerial At(long day) { return DateSerial{static_cast<double>(day)}; }
    ClMenu NewPlan(long firstDay, int days = 5)
    {
        ClMenu plan;
        plan.SetDB(db.get());
        plan.CreateNewWP(At(firstDay), days);
        return plan;
    }
    ClMenu Load(long id)
    {
        ClMenu plan;
        plan.SetDB(db.get());
        EXPECT_TRUE(plan.Loadr(id));
        return plan;
    }
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
    EXPECT_EQ(back.WPLevelText(2) + "|" + back.WPLevelText(4), "Hauptgang|");
    EXPECT_EQ(back.WPLevelPrice(2), Decimal4::Parse("6.9"));
    EXPECT_EQ(back.WPLevelClass(3), 52);
    EXPECT_EQ(back.WPCourse(1, 2), 1);
    EXPECT_EQ(back.CourseRezID(back.WPCourse(1, 2)), 9);
    EXPECT_TRUE(back.CourseGeneric(back.WPCourse(2, 3)));
    EXPECT_EQ(back.WPCourse(1, 1), 0);
    EXPECT_EQ(back.WPDayCount(), 5); // as created, not only as far as the dishes reach
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

    // Approving a variation holds back its base recipe and the other variations as well.
    Recipe(100, "Eintopf", 51);
    Recipe(101, "Eintopf mit Wurst", 51, 0, 100);
    Recipe(102, "Eintopf vegetarisch", 51, 0, 100);
    ClMenu family = NewPlan(monday + 7);
    family.WPPlace(4, 2, 101);
    family.WPApprove(true);
    ASSERT_TRUE(family.Save());
    for (long id : {100, 101, 102})
        EXPECT_EQ(Exclude(id), monday + 10) << id;
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
    b.SetMenuDate(DateSerial{At(monday).Days + 0.25});
    EXPECT_TRUE(b.CheckWPDate());
    b.SetMenuDate(At(monday + 28));
    b.WPApprove(true);
    ASSERT_TRUE(b.Save());
    EXPECT_EQ(b.WPDupeCheck(At(monday)), std::vector<long>{a.id()});

    const std::vector<ClMenu::WPListEntry> list = a.RefreshWPList();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].Title, "Woche 50 - 07.12.2026 (#" + std::to_string(a.id()) + ") !");
    EXPECT_EQ(list[0].Month, "Dezember");
    EXPECT_EQ(list[1].Title, "Woche 01 - 04.01.2027 (#" + std::to_string(b.id()) + ")");
    EXPECT_EQ(list[1].Year, 2027);
    EXPECT_EQ(a.RefreshWPList(At(monday + 1), At(monday + 28)).size(), 1u);
}

TEST_F(WeekPlanMenu, PrintoutInEachLanguageLeavesOutUnprintedLevels)
{
    ClMenu plan = NewPlan(monday, 3);
    plan.WPPlace(1, 1, 1);
    const int pudding = plan.WPPlace(1, 3, 0, "Grießpudding"); // the dessert level is not printed
    plan.SetCourseDesc(plan.WPPlace(2, 2, 0, "Linsen mit Spätzle"), "mit Saitenwürstchen");
    ASSERT_NE(pudding, 0);

    test::RecordingCanvas canvas;
    ASSERT_TRUE(PrintWeekPlan(canvas, plan, {1, 3}));
    EXPECT_TRUE(canvas.Finished);
    std::map<int, std::vector<std::string>> pages;
    for (const test::DrawnItem& item : canvas.Items)
        if (item.What == test::DrawnItem::Text)
            pages[item.Page].push_back(item.Content);
    // Each language on pages of its own; day 3 without a printed dish has no heading.
    ASSERT_EQ(pages.size(), 2u);
    for (const char* text :
         {"Wochenplan 07.12.2026 – 09.12.2026", "Montag, 07.12.2026", "Suppe", "Gericht 50-1 – 2,50 €",
          "Dienstag, 08.12.2026", "Hauptgang", "Linsen mit Spätzle – 6,90 €", "mit Saitenwürstchen",
          "Wochenplan gedruckt von Pfannola"})
        EXPECT_TRUE(test::FindText(canvas, text, 1)) << text;
    EXPECT_FALSE(test::FindText(canvas, "Grießpudding – 1,80 €", 1));
    EXPECT_FALSE(test::FindText(canvas, "Mittwoch, 09.12.2026", 1));
    EXPECT_EQ(pages[2].front(), "Menu de la semaine 07.12.2026 – 09.12.2026");
    EXPECT_TRUE(test::FindText(canvas, "Mardi, 08.12.2026", 2));

    // The approval list shows every level and marks the dish without recipe.
    test::RecordingCanvas list;
    ASSERT_TRUE(PrintWPApprovalList(list, plan));
    for (const std::string text : {"Wochenplan vom 07.12.2026", "Wochenplan ist noch nicht genehmigt!",
                                   "Grießpudding [Generisch]", "Mittwoch, 09.12.2026"})
        EXPECT_TRUE(test::FindText(list, text)) << text;
}

} // namespace
} // namespace pf
