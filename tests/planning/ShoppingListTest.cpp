#include "planning/ClShoppingList.h"
#include "planning/ShoppingView.h"

#include "tests/planning/ShoppingDb.h"
#include "tests/support/Each.h"
#include "tests/support/RawSql.h"

namespace pf {
namespace {

using test::kGramm;
using test::kKilo;
using test::kStueck;
using Strings = std::vector<std::string>;

using ShoppingList = test::ShoppingDb;

TEST_F(ShoppingList, RecipeAddScalesSkipsLinesWithoutQuantityAndAddsSubRecipesUnscaled)
{
    EXPECT_EQ(list.RecipeAdd(pfannkuchen, 8), 1);
    const std::string p = " [" + std::to_string(pfannkuchen) + "]";
    const std::string a = " [" + std::to_string(apfelmus) + "]";
    // Doubled from 4 to 8 servings; salt without quantity and the separator stay off the list; the
    // sub-recipe line is on it, and its recipe follows as a slot of its own at its stored yield.
    EXPECT_EQ(Lines(list),
              (Strings{"500 g Mehl C123000" + p, "1000 ml Milch M111000" + p, "6 Stk. Eier E100000" + p,
                       "400 g Apfelmus " + p, "1 kg Äpfel F110000" + a, "50 g Zucker S100000" + a}));
    EXPECT_EQ(Slots(list), (Strings{std::to_string(pfannkuchen) + " Pfannkuchen 8 Portionen",
                                    std::to_string(apfelmus) + " Apfelmus (Pfannkuchen) 2 Portionen"}));
    EXPECT_TRUE(list.IsChanged());

    // A recipe that cannot be read keeps a slot with its ID; ingredients-off adds no lines.
    EXPECT_EQ(list.RecipeAdd(9999, 2), 3);
    EXPECT_EQ(list.RecipeID(3), 9999);
    EXPECT_EQ(list.RecipeAdd(brot, 0, {}, true), 4);
    EXPECT_EQ(list.IngredCount(), 6);
}

TEST_F(ShoppingList, CapacityOfSlotsAndLinesRefusesWithoutAdding)
{
    for (int i = 1; i <= ClShoppingList::kMaxRecipes; ++i)
        ASSERT_EQ(list.RecipeAdd(brot, 0, {}, true), i);
    EXPECT_EQ(list.RecipeAdd(brot, 0), 0);
    EXPECT_EQ(list.RecipeCount(), ClShoppingList::kMaxRecipes);

    list.Void();
    ClIngredient line = Line("1", kStueck, "Zitrone");
    for (int i = 1; i < ClShoppingList::kMaxLines; ++i)
        ASSERT_EQ(list.IngredAdd(line), i);
    EXPECT_EQ(list.LinesLeftOut(), 0);
    // A recipe that no longer fits whole: its first line takes the last place, the other three (the
    // sub-recipe line among them, so no slot for the sub-recipe) are counted as left out.
    EXPECT_EQ(list.RecipeAdd(pfannkuchen, 0), 1);
    EXPECT_EQ(list.IngredCount(), ClShoppingList::kMaxLines);
    EXPECT_EQ(list.RecipeCount(), 1);
    EXPECT_EQ(list.IngredAdd(line), -1);
    EXPECT_EQ(list.LinesLeftOut(), 4);
    EXPECT_EQ(ClShoppingList::LinesLeftOutText(4),
              "Die Einkaufsliste fasst höchstens 256 Zutatenzeilen; 4 Zeilen passten nicht mehr hinein. "
              "Die Mengen der Liste sind deshalb unvollständig.");
    list.Void();
    EXPECT_EQ(list.LinesLeftOut(), 0);
}

TEST_F(ShoppingList, SaveLoadsBackLazilyAndDeleteRemovesEveryRow)
{
    list.RecipeAdd(brot, 2);
    ClIngredient separator;
    separator.SetTrennzeile("Drogerie");
    list.IngredAdd(separator);
    list.IngredAdd(Line("2", kStueck, "Zitronen"));
    list.SetDescription("Wochenende");
    ASSERT_TRUE(list.Save()) << list.LastErrorText();
    EXPECT_FALSE(list.IsChanged());
    const long id = list.id();
    EXPECT_GT(id, 0);
    const Strings saved = Lines(list);

    ClShoppingList loaded;
    loaded.SetDB(db.get());
    ASSERT_TRUE(loaded.LoadByID(id));
    EXPECT_EQ(loaded.Description(), "Wochenende");
    // Slots and lines are read on first use: a row written now is seen.
    db->Execute("UPDATE T_SHOPPING_PART SET RezName='Brot!' WHERE ID=" + std::to_string(id));
    EXPECT_EQ(Slots(loaded), Strings{std::to_string(brot) + " Brot! 2 Portionen"});
    EXPECT_EQ(Lines(loaded), saved);
    EXPECT_EQ(saved[2], "--Drogerie [0]");

    // Saving again replaces parts and lines; the chooser lists the list by name and date.
    loaded.IngredDel(3);
    ASSERT_TRUE(loaded.Save());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_SHOPPING_DETAIL WHERE ID=" + std::to_string(id)), 3);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_SHOPPING_KOPF"), 1);
    int selected = -1;
    const ChoiceList choices = loaded.FillList(selected);
    ASSERT_EQ(choices.size(), 2u);
    EXPECT_EQ(choices[0].Name, "Neue ungespeicherte Einkaufsliste");
    EXPECT_EQ(choices[1].ID, id);
    EXPECT_TRUE(choices[1].Name.starts_with("Wochenende [")) << choices[1].Name;
    EXPECT_EQ(selected, 1);

    ASSERT_TRUE(loaded.Delete());
    for (const char* table : {"T_SHOPPING_KOPF", "T_SHOPPING_PART", "T_SHOPPING_DETAIL"})
        EXPECT_EQ(Count(std::string("SELECT COUNT(*) FROM ") + table), 0) << table;
    EXPECT_FALSE(loaded.LoadByID(id));
}

TEST_F(ShoppingList, FailingSaveLeavesTheStoredListAsItWas)
{
    list.RecipeAdd(brot, 0);
    ASSERT_TRUE(list.Save());
    const long id = list.id();
    list.IngredAdd(Line("1", kStueck, "Zitrone"));
    test::ExecuteRawSql(dir.File("base.db"),
                        "CREATE TRIGGER refuse BEFORE INSERT ON T_SHOPPING_DETAIL WHEN NEW.ZutText='Zitrone' "
                        "BEGIN SELECT RAISE(ABORT, 'nein'); END");
    EXPECT_FALSE(list.Save());
    EXPECT_NE(list.LastError(), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_SHOPPING_DETAIL WHERE ID=" + std::to_string(id)), 2);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_SHOPPING_PART WHERE ID=" + std::to_string(id)), 1);
}

TEST_F(ShoppingList, RecipeDeleteAndEditTransfersWorkOnTheLinesOfOneRecipe)
{
    list.RecipeAdd(brot, 0);
    list.IngredAdd(Line("2", kStueck, "Zitronen"));
    list.RecipeAdd(apfelmus, 0);
    const std::string b = " [" + std::to_string(brot) + "]";
    const std::string a = " [" + std::to_string(apfelmus) + "]";

    ClRecipe edit;
    edit.SetDB(db.get());
    list.TransferRecipe2Edit(brot, edit);
    ASSERT_EQ(edit.IngredCount(), 2);
    EXPECT_EQ(edit.id(), brot);
    // Fewer edited lines than before: the surplus old line goes.
    ClIngredient changed = edit.Ingredient(1);
    changed.SetOrgMeasurement(Decimal4::Parse("1.5"));
    edit.SetIngredient(1, changed);
    edit.IngredDel(2);
    list.TransferEdit2List(edit);
    EXPECT_EQ(Lines(list), (Strings{"1,5 kg Mehl C123000" + b, "2 Stk. Zitronen  [0]",
                                    "1 kg Äpfel F110000" + a, "50 g Zucker S100000" + a}));
    // More edited lines: the extra ones are appended with the recipe's ID.
    edit.IngredAdd(Line("1", kGramm, "Kümmel"));
    edit.IngredAdd(Line("2", kGramm, "Anis"));
    list.TransferEdit2List(edit);
    EXPECT_EQ(Lines(list),
              (Strings{"1,5 kg Mehl C123000" + b, "2 Stk. Zitronen  [0]", "1 kg Äpfel F110000" + a,
                       "50 g Zucker S100000" + a, "1 g Kümmel " + b, "2 g Anis " + b}));

    // Scaling a slot anew replaces its lines in place.
    ASSERT_TRUE(list.RecipeRescale(2, 4));
    EXPECT_EQ(list.RecipeYield(2), Decimal4::FromLong(4));
    EXPECT_EQ(Lines(list)[2], "2 kg Äpfel F110000" + a);

    ASSERT_TRUE(list.RecipeDelete(1));
    EXPECT_EQ(Lines(list),
              (Strings{"2 Stk. Zitronen  [0]", "2 kg Äpfel F110000" + a, "100 g Zucker S100000" + a}));
    ASSERT_EQ(list.RecipeCount(), 1);
    EXPECT_EQ(list.RecipeID(1), apfelmus);
    EXPECT_FALSE(list.RecipeDelete(2));
    const ChoiceList recipes = list.FillRecipes();
    ASSERT_EQ(recipes.size(), 2u);
    EXPECT_EQ(recipes[0].Name, "Manuelle Erfassung");
    EXPECT_EQ(recipes[1].ID, apfelmus);
}

// Lines for the sort table: text and food code only.
ShoppingLine Shown(const char* text, const char* code)
{
    ShoppingLine line;
    line.Line.SetIngredient(text);
    line.Code = code;
    return line;
}

TEST(ShoppingSortTest, EachOrderAgainstAHandSortedList)
{
    const std::vector<ShoppingLine> lines = {
        Shown("milch", "M111000"),  Shown("Äpfel", "F110000"),  Shown("Mehl", "?C123000"),
        Shown("Zitronen", ""),      Shown("Butter", "M400000"), Shown("apfelsaft", "N1"),
        Shown("Birnen", "F120000"), Shown("Eier", "E100000"),
    };
    const std::string shop = "FEM"; // fruit first, then eggs, then dairy
    struct Case
    {
        ShoppingSort Sort;
        Strings Expected;
    };
    const Case cases[] = {
        {ShoppingSort::Recipe,
         {"milch", "Äpfel", "Mehl", "Zitronen", "Butter", "apfelsaft", "Birnen", "Eier"}},
        // Binary: capitals before small letters, umlauts after both.
        {ShoppingSort::Alpha,
         {"Birnen", "Butter", "Eier", "Mehl", "Zitronen", "apfelsaft", "milch", "Äpfel"}},
        // Group letter first (no code before any letter, "?" dropped), then upper-cased text.
        {ShoppingSort::Group,
         {"Zitronen", "Mehl", "Eier", "Birnen", "Äpfel", "Butter", "milch", "apfelsaft"}},
        // Shop rank; codes not in the shop, empty ones and those of two characters at the end.
        {ShoppingSort::Shop, {"Birnen", "Äpfel", "Eier", "Butter", "milch", "apfelsaft", "Mehl", "Zitronen"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Sort));
        std::vector<ShoppingLine> sorted = lines;
        SortShoppingLines(sorted, c.Sort, shop);
        EXPECT_EQ(test::Each(sorted, [](const ShoppingLine& line) { return line.Line.Ingredient(); }),
                  c.Expected);
    }
    EXPECT_EQ(ShopPosition("M1", shop), 3);
    EXPECT_EQ(ShopPosition("C123000", shop), 0);
    EXPECT_EQ(ShopPosition("M111000", ""), 0);
}

TEST_F(ShoppingList, CompleteViewMergesEqualIngredientsAcrossUnitsOfOneMeasure)
{
    list.RecipeAdd(pfannkuchen, 0);
    list.RecipeAdd(brot, 0);
    list.IngredAdd(Line("600", kGramm, "mehl"));
    list.IngredAdd(Line("1", test::kEL, "Salz"));
    list.IngredAdd(Line("1", test::kPrise, "Salz"));
    list.IngredAdd(Line("2", kStueck, "Eier"));
    ShoppingViewOptions options;
    options.Sort = ShoppingSort::Alpha;
    Strings shown;
    for (const ShoppingLine& line : BuildShoppingView(list, options))
        shown.push_back(line.Line.MengeTxt() + " " + line.Line.DisplayUnitText() + " " +
                        line.Line.Ingredient() + " " + std::to_string(line.Recipes.size()));
    // 250 g + 1 kg + 600 g flour = 1.85 kg; 1 TL + 1 EL salt = 4 TL = 1.333 EL; a pinch is no measure.
    EXPECT_EQ(shown, (Strings{"200 g Apfelmus 1", "5 Stk. Eier 2", "1,85 kg Mehl 3", "500 ml Milch 1",
                              "1,333 EL Salz 2", "1 Pr. Salz 1", "50 g Zucker 1", "1 kg Äpfel 1"}));

    // Per recipe shows one recipe's lines unmerged; the stored list is never changed.
    options.Complete = false;
    options.RecipeID = brot;
    options.Sort = ShoppingSort::Recipe;
    EXPECT_EQ(BuildShoppingView(list, options).size(), 2u);
    EXPECT_EQ(list.IngredCount(), 12);

    // Sixty teaspoons are twenty tablespoons: the sum does not drift with each addition.
    list.Void();
    for (int i = 0; i < 60; ++i)
        list.IngredAdd(Line("1", test::kTL, "Salz"));
    for (const char* tenths : {"0.3", "2.3", "0.4"})
        list.IngredAdd(Line(tenths, test::kTL, "Zucker")); // three TL, whose binary sum is a hair short
    const std::vector<ShoppingLine> sums = BuildShoppingView(list, ShoppingViewOptions());
    ASSERT_EQ(sums.size(), 2u);
    EXPECT_EQ(sums[0].Line.MengeTxt() + " " + sums[0].Line.DisplayUnitText(), "20 EL");
    EXPECT_EQ(sums[1].Line.MengeTxt() + " " + sums[1].Line.DisplayUnitText(), "1 EL");
}

} // namespace
} // namespace pf
