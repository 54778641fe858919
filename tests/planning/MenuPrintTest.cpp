// Menu printouts on the recording canvas: the card centres its lines and shows what guests read,
// the kitchen plan lists persons, recipes, drinks and guests, the third layout appends the
// courses' recipes scaled to their persons, and every layout keeps text above the footer of
// menu cards on each of its pages.

#include "planning/clsMenuPrint.h"

#include "output/PageFooter.h"
#include "tests/output/RecordingCanvas.h"
#include "tests/planning/PlanningDb.h"
#include "tests/support/Each.h"

#include <map>

namespace pf {
namespace {

using test::DrawnItem;
using test::DrawnTexts;
using test::FindText;
using test::RecordingCanvas;

constexpr const char* kCardFooter = "Menükarte gedruckt von Pfannola";

class MenuPrint : public test::MenuDb
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(MenuDb::SetUp());
        db->Execute(
            "UPDATE T_REZ_KOPF SET RezMenuCard=CASE ID WHEN 11 THEN 'Samtsuppe vom Hokkaido' ELSE '' END");
        db->Execute("INSERT INTO T_INFO_KEY (ID,KEY,KEYTYPE) VALUES (4,'Spätburgunder',6)");
        db->Execute("INSERT INTO T_WEIN (ID,Jahr) VALUES (4,2019)");
        menu.SetDB(db.get());
        menu.SetTitle("Erntedank");
        menu.SetMenuDate(DateSerial::FromParts(2026, 10, 4));
        menu.SetYield(8);
        menu.SetTimeCooking(DateSerial{0.75 / 24});
        const int soup = menu.CourseAdd(11, false, "");
        menu.SetCourseYield(soup, 8);
        menu.SetCourseDesc(soup, "mit Kürbiskernöl");
        const int roast = menu.CourseAdd(12, false, "");
        menu.SetCourseDrink(roast, "Wasser");
        menu.SetCourseWineID(roast, 4);
        menu.CourseAdd(0, true, "Käseplatte");
        menu.GuestAdd(5, "vegetarisch");
    }

    // Text stays above the footer's room and inside the page; one footer label per page (the
    // version beside it is the other small print). The footer labels per page.
    static std::map<int, std::string> CheckPages(RecordingCanvas& canvas)
    {
        const double bottom = canvas.Height() - PageFooterReserve(canvas);
        std::map<int, std::string> footers;
        for (const DrawnItem& item : canvas.Items) {
            if (test::IsFooter(item) && item.Content.find("gedruckt von") != std::string::npos) {
                EXPECT_EQ(footers.count(item.Page), 0u) << item.Content;
                footers[item.Page] = item.Content;
            } else if (item.What == DrawnItem::Text && item.Font.Size != 6) {
                EXPECT_LE(item.Y + item.H, bottom + 1) << item.Content << " on page " << item.Page;
                EXPECT_GE(item.X, -1) << item.Content;
                EXPECT_LE(item.X + item.W, canvas.Width() + 1) << item.Content;
            }
        }
        EXPECT_EQ(static_cast<int>(footers.size()), canvas.PageNumber());
        return footers;
    }

    ClMenu menu;
};

TEST_F(MenuPrint, CardCentresWhatGuestsReadAndLeavesTheKitchenOut)
{
    RecordingCanvas canvas;
    const PrintOutcome outcome = clsMenuPrint().PrintMenu(canvas, menu, clsMenuPrint::kMenuCard);
    ASSERT_TRUE(outcome.Ok) << outcome.Message;
    EXPECT_TRUE(canvas.Finished);
    // The recipe's title for menu cards, the recipe's title when it has none, the free course.
    EXPECT_EQ(DrawnTexts(canvas, 15),
              (std::vector<std::string>{"Samtsuppe vom Hokkaido", "Rinderbraten", "Käseplatte"}));
    for (const char* text :
         {"Erntedank", "Sonntag, 4. Oktober 2026", "mit Kürbiskernöl", "Wasser, Spätburgunder 2019"}) {
        SCOPED_TRACE(text);
        ASSERT_TRUE(FindText(canvas, text));
    }
    for (const DrawnItem& item : canvas.Items)
        if (item.What == DrawnItem::Text && item.Font.Size != 6) {
            EXPECT_NEAR(item.X + item.W / 2, canvas.Width() / 2, 1) << item.Content;
            EXPECT_EQ(item.Content.find("Rezept"), std::string::npos) << item.Content;
            EXPECT_EQ(item.Content.find("Müller"), std::string::npos) << item.Content;
        }
    // A menu card's footer carries no version.
    EXPECT_EQ(CheckPages(canvas), (std::map<int, std::string>{{1, kCardFooter}}));
}

TEST_F(MenuPrint, KitchenPlanListsPersonsRecipesDrinksAndGuests)
{
    menu.SetCourseTitle(2, "Sonntagsbraten");
    ASSERT_TRUE(menu.Save()) << menu.LastErrorText();
    db->Execute("DELETE FROM T_REZ_KOPF WHERE ID=12");
    ClearRecipeCache();
    ClMenu stored = Loaded(menu.id());
    RecordingCanvas canvas;
    const PrintOutcome outcome = clsMenuPrint().PrintMenu(canvas, stored, clsMenuPrint::kKitchenPlan);
    ASSERT_TRUE(outcome.Ok) << outcome.Message;
    // The roast's recipe is gone: its course keeps its title and is reported.
    EXPECT_EQ(outcome.Missing, (std::vector<long>{12}));
    for (const char* text : {"Erntedank", "Datum:", "Sonntag, 4. Oktober 2026", "Personen:", "8", "Kochzeit:",
                             "0:45 Std.", "1.", "Kürbissuppe", "8 Portionen, Rezept #11", "mit Kürbiskernöl",
                             "2.", "Sonntagsbraten", "6 Portionen, Rezept #12 (nicht mehr vorhanden)",
                             "Getränk: Wasser", "Wein: Spätburgunder 2019", "3.", "Käseplatte", "Gäste"}) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(FindText(canvas, text)) << testing::PrintToString(DrawnTexts(canvas));
    }
    EXPECT_TRUE(FindText(canvas, "Erna Müller (vegetarisch)"));
    // The course title stands beside its number.
    const auto at = [&](const std::string& text) {
        return *std::find_if(canvas.Items.begin(), canvas.Items.end(),
                             [&](const DrawnItem& item) { return item.Content == text; });
    };
    EXPECT_EQ(at("1.").Y, at("Kürbissuppe").Y);
    EXPECT_TRUE(at("Kürbissuppe").Font.Bold);
    EXPECT_LT(at("Kürbissuppe").Y, at("8 Portionen, Rezept #11").Y);
    CheckPages(canvas);
}

TEST_F(MenuPrint, LongMenusBreakBetweenCoursesInEveryLayout)
{
    for (int i = 1; i <= 45; ++i) {
        const int course = menu.CourseAdd(0, true, "Gang " + std::to_string(i));
        menu.SetCourseDesc(course, "Beschreibung " + std::to_string(i));
    }
    for (int layout : {clsMenuPrint::kMenuCard, clsMenuPrint::kKitchenPlan}) {
        SCOPED_TRACE(clsMenuPrint::LayoutName(layout));
        RecordingCanvas canvas;
        ASSERT_TRUE(clsMenuPrint().PrintMenu(canvas, menu, layout).Ok);
        ASSERT_GE(canvas.PageNumber(), 2);
        for (const auto& [page, footer] : CheckPages(canvas))
            EXPECT_EQ(footer, kCardFooter) << page;
        // A course's description is on its title's page.
        std::map<std::string, int> pageOf;
        for (const DrawnItem& item : canvas.Items)
            pageOf[item.Content] = item.Page;
        for (int i = 1; i <= 45; ++i)
            EXPECT_EQ(pageOf["Gang " + std::to_string(i)], pageOf["Beschreibung " + std::to_string(i)]) << i;
    }
}

TEST_F(MenuPrint, ThirdLayoutAppendsEachCourseRecipeScaledToItsPersons)
{
    // The soup twice for the same persons is printed once; for other persons again.
    menu.SetCourseYield(menu.CourseAdd(11, false, "Suppe nachgereicht"), 8);
    menu.SetCourseYield(menu.CourseAdd(11, false, "Suppe für die Küche"), 2);
    const std::vector<PrintJobItem> items = clsMenuPrint::CourseRecipes(menu);
    EXPECT_EQ(test::Each(items, &PrintJobItem::RecipeId), (std::vector<long>{11, 12, 11}));
    EXPECT_EQ(test::Each(items, &PrintJobItem::Servings), (std::vector<long>{8, 6, 2}));

    RecordingCanvas canvas;
    const PrintOutcome outcome = clsMenuPrint().PrintMenu(canvas, menu, clsMenuPrint::kWithRecipes);
    ASSERT_TRUE(outcome.Ok) << outcome.Message;
    EXPECT_EQ(outcome.Printed, 3);
    EXPECT_TRUE(canvas.Finished);
    const std::map<int, std::string> footers = CheckPages(canvas);
    ASSERT_EQ(footers.size(), 4u);
    EXPECT_EQ(footers.at(1), kCardFooter);
    EXPECT_EQ(footers.at(2).rfind("Rezept #11 gedruckt von Pfannola", 0), 0u) << footers.at(2);
    EXPECT_EQ(footers.at(3).rfind("Rezept #12 gedruckt von Pfannola", 0), 0u) << footers.at(3);
    std::vector<std::string> yields;
    for (const DrawnItem& item : canvas.Items)
        if (item.Content.find(" Portionen") != std::string::npos && item.Page > 1)
            yields.push_back(std::to_string(item.Page) + ": " + item.Content);
    EXPECT_EQ(yields, (std::vector<std::string>{"2: 8 Portionen", "3: 6 Portionen", "4: 2 Portionen"}));
}

} // namespace
} // namespace pf
