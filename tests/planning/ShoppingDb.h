#pragma once
// A database with the base data, a few foods with their classes, and three recipes a shopping
// list is built from: pancakes for 4 (with a sub-recipe line for apple sauce, a separator and salt
// without quantity), apple sauce for 2 and a bread.

#include "planning/ClShoppingList.h"
#include "tests/planning/PlanningDb.h"

namespace pf::test {

constexpr long kStueck = 1;
constexpr long kTL = 6;
constexpr long kEL = 7;
constexpr long kPrise = 2;
constexpr long kMl = 25;
constexpr long kGramm = 31;
constexpr long kKilo = 32;

class ShoppingDb : public PlanningDb
{
protected:
    void SetUp() override
    {
        app.Options.EditFlags = 4; // decimal mode
        ASSERT_NO_FATAL_FAILURE(PlanningDb::SetUp());
        list.SetDB(db.get());
        db->Execute("DELETE FROM T_BLS_TREE");
        db->Execute("INSERT INTO T_BLS_KEY (ID,SBLS,ST,STE) VALUES (1,'C123000','Weizenmehl','Flour'),"
                    "(2,'M111000','Milch','Milk'),(3,'E100000','Ei','Egg'),(4,'F110000','Apfel','Apple'),"
                    "(5,'S100000','Zucker','Sugar'),(6,'R100000','Salz','Salt')");
        db->Execute("INSERT INTO T_BLS_TREE (BLSKEY,BLSDesc) VALUES ('C','Getreide'),('C1','Mehle'),"
                    "('M','Milch und Milchprodukte'),('M1','Milch'),('F','Obst'),('F1','Kernobst'),"
                    "('E','Eier'),('S','Süßwaren')");
        apfelmus = Store("Apfelmus", 2, {Line("1", kKilo, "Äpfel", 4), Line("50", kGramm, "Zucker", 5)});
        ClIngredient sub = Line("200", kGramm, "Apfelmus");
        sub.SetIsRecipeID(apfelmus);
        ClIngredient salt = Line("0", 0, "Salz", 6);
        ClIngredient separator;
        separator.SetTrennzeile("Füllung");
        pfannkuchen = Store("Pfannkuchen", 4,
                            {Line("250", kGramm, "Mehl", 1), Line("500", kMl, "Milch", 2),
                             Line("3", kStueck, "Eier", 3), salt, separator, sub});
        brot = Store("Brot", 1, {Line("1", kKilo, "Mehl", 1), Line("1", kTL, "Salz", 6)});
    }

    static ClIngredient Line(const char* quantity, long unit, const char* text, long key = 0)
    {
        ClIngredient line;
        line.SetEinheitID(unit);
        line.SetOrgMeasurement(Decimal4::Parse(quantity));
        line.SetIngredient(text);
        if (key > 0)
            line.SetBLSid(std::to_string(key));
        return line;
    }

    long Store(const char* title, long yield, const std::vector<ClIngredient>& lines)
    {
        ClRecipe recipe;
        recipe.SetDB(db.get());
        recipe.LoadByID(0);
        recipe.SetTitle(title);
        recipe.SetYield(yield);
        recipe.SetYieldUnitIndex(1);
        EXPECT_TRUE(recipe.CatAddID(102));
        recipe.SetZubereitung("Zubereiten.");
        for (const ClIngredient& line : lines)
            recipe.IngredAdd(line);
        EXPECT_TRUE(recipe.Save()) << recipe.LastErrorText();
        return recipe.id();
    }

    // The lines of the list as "quantity unit text [recipe]" for comparing whole lists.
    std::vector<std::string> Lines(ClShoppingList& l)
    {
        std::vector<std::string> out;
        for (int i = 1; i <= l.IngredCount(); ++i) {
            const ClIngredient& line = l.Ingred(i);
            out.push_back(line.IsTrenner()
                              ? "--" + line.Trennzeile() + " [" + std::to_string(line.RezID()) + "]"
                              : line.MengeTxt() + " " + line.DisplayUnitText() + " " + line.Ingredient() +
                                    " " + l.LineCode(line) + " [" + std::to_string(line.RezID()) + "]");
        }
        return out;
    }

    // The recipe slots as "ID title yield unit".
    static std::vector<std::string> Slots(ClShoppingList& l)
    {
        std::vector<std::string> out;
        for (int i = 1; i <= l.RecipeCount(); ++i)
            out.push_back(std::to_string(l.RecipeID(i)) + " " + l.RecipeTitle(i) + " " +
                          l.RecipeYield(i).ToString() + " " + l.RecipeUnitName(i));
        return out;
    }

    ClShoppingList list;
    long apfelmus = 0;
    long pfannkuchen = 0;
    long brot = 0;
};

} // namespace pf::test
