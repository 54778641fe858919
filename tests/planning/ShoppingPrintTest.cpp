#include "planning/ShoppingPrint.h"

#include "output/PageFooter.h"
#include "planning/ShoppingExchange.h"
#include "tests/output/RecordingCanvas.h"
#include "tests/planning/ShoppingDb.h"

namespace pf {
namespace {

using test::DrawnItem;
using test::kStueck;

using ShoppingPrint = test::ShoppingDb;

TEST_F(ShoppingPrint, GroupsByFoodClassInShownOrderAndEndsEveryPageWithTheFooter)
{
    list.SetDescription("Sonntag");
    list.IngredAdd(Line("2", kStueck, "Zitronen"));
    list.RecipeAdd(pfannkuchen, 4);
    for (int i = 1; i <= 90; ++i)
        list.IngredAdd(Line("1", kStueck, ("Dose Nummer " + std::to_string(i)).c_str()));
    ShoppingViewOptions options;
    options.Sort = ShoppingSort::Shop;
    options.StoreLocations = "FMCE";
    const std::vector<ShoppingLine> lines = BuildShoppingView(list, options);
    const std::vector<std::string> classes = LoadFoodClasses(*db);

    test::RecordingCanvas canvas;
    ASSERT_TRUE(PrintShoppingList(canvas, list, lines, classes));
    EXPECT_TRUE(canvas.Finished);

    std::vector<std::string> headings;
    int pages = 1;
    const double bottom = canvas.Height() - PageFooterReserve(canvas);
    for (const DrawnItem& item : canvas.Items) {
        pages = std::max(pages, item.Page);
        if (item.What == DrawnItem::Text && item.Font.Bold && item.Font.Size == 11)
            headings.push_back(item.Content);
        if (item.What == DrawnItem::Text && item.Font.Size != 6) {
            EXPECT_LE(item.Y + item.H, bottom) << item.Content << " on page " << item.Page;
        }
    }
    // The shop's order: fruit, dairy, cereals, eggs, then sugar (not in the shop); lines without a
    // class last.
    EXPECT_EQ(headings, (std::vector<std::string>{"Obst", "Milch und Milchprodukte", "Getreide", "Eier",
                                                  "Süßwaren", "Unkategorisiert"}));
    ASSERT_GE(pages, 2);
    for (int page = 1; page <= pages; ++page)
        EXPECT_TRUE(test::FindText(canvas, "Einkaufsliste gedruckt von Pfannola", page)) << page;
    EXPECT_TRUE(test::FindText(canvas, "Einkaufsliste: Sonntag"));
}

} // namespace
} // namespace pf
