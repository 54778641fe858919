// The nutrient calculation as a cook uses it from the recipe editor: the unit matching list, the
// nutrient table per serving with the lines it left out, one of them matched to a food by hand and
// the table calculated again.

#include "ui/FrmMenuData.h"
#include "ui/FrmNaehrdata.h"
#include "ui/FrmUnitAbgleich.h"

#include "db/Database.h"
#include "db/DatabaseChoice.h"
#include "model/ProgramUnits.h"
#include "nutrition/FoodSearch.h"
#include "nutrition/Nutrition.h"
#include "nutrition/UnitMatching.h"
#include "tests/support/BaseDataDb.h"
#include "tests/ui/UiTestSupport.h"

#include <QLabel>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

namespace pf::test {
namespace {

class NutrientWindowsTest : public UiTest
{
protected:
    NutrientWindowsTest()
    {
        Connection() = ConnectionState{};
        Connection().WorkDb = MakeBaseDataDatabase(m_dir, "Pfannola.MDB", Foods::With);
        ResetProgramData();
    }
    ~NutrientWindowsTest() override
    {
        ResetProgramData();
        CloseWorkDatabase();
    }

    static long FoodId(const char* name)
    {
        return static_cast<long>(WorkDb().Scalar("SELECT ID FROM T_BLS_KEY WHERE ST=?", {name}).AsLong());
    }

    // "Rührei" for two: 180 g egg with its food, 2 EL butter without one (EL: 7, g: 31).
    static long AddRecipe(bool eggHasFood = true)
    {
        Database& db = WorkDb();
        db.Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,RezYield) VALUES (500,'Rührei',2)");
        db.Execute("INSERT INTO T_REZ_ZUTAT (ID,[No],ZutTrenner,ZutText,ZutAnz,ZutEinh,ZutRezept,ZutBLSID) "
                   "VALUES (500,1,0,'Eier',?,31,0,?)",
                   {Decimal4::FromLong(180), eggHasFood ? Value(FoodId("Hühnerei")) : Value()});
        db.Execute("INSERT INTO T_REZ_ZUTAT (ID,[No],ZutTrenner,ZutText,ZutAnz,ZutEinh,ZutRezept,ZutBLSID) "
                   "VALUES (500,2,0,'Butter',?,7,0,NULL)",
                   {Decimal4::FromLong(2)});
        return 500;
    }

    // The shown value of the table row whose unit is kcal, "" when there is none.
    static QString Kcal(QWidget& table)
    {
        auto* grid = table.findChild<QTableWidget*>("grdNaehrwerte");
        for (int row = 0; grid && row < grid->rowCount(); ++row)
            if (grid->item(row, 2)->text() == "kcal" &&
                grid->item(row, 0)->text() == "Energie (Kilokalorien)")
                return grid->item(row, 1)->text();
        return {};
    }

    // Runs step on the next modal window that opens while action runs.
    static void OnModal(const std::function<void(QWidget&)>& step)
    {
        QTimer::singleShot(0, [step] {
            QWidget* modal = QApplication::activeModalWidget();
            ASSERT_NE(modal, nullptr);
            step(*modal);
        });
    }
};

TEST_F(NutrientWindowsTest, EditorShowsEnergyPerServingAndAManualMatchChangesIt)
{
    const long id = AddRecipe();
    FrmMenuData editor(id);
    bool tableSeen = false;
    OnModal([&](QWidget& matching) {
        EXPECT_EQ(matching.objectName(), "FrmUnitAbgleich");
        auto* lines = matching.findChild<QTableWidget*>("grdZutaten");
        ASSERT_EQ(lines->rowCount(), 2);
        EXPECT_EQ(lines->item(0, FrmUnitAbgleich::ColGramm)->text(), "180 Gramm");
        EXPECT_EQ(lines->item(1, FrmUnitAbgleich::ColGramm)->text(), "< nicht definiert >");
        EXPECT_EQ(lines->item(1, FrmUnitAbgleich::ColNahrungsmittel)->text(), "–");

        OnModal([&](QWidget& table) {
            tableSeen = true;
            EXPECT_EQ(table.windowTitle(), "Rührei - Berechnung der Nährwerte");
            EXPECT_EQ(table.findChild<QLabel*>("lblGewicht")->text(), "Portionsgewicht ca. 90 Gramm");
            // 180 g egg at 143 kcal per 100 g, for two.
            EXPECT_EQ(Kcal(table), "128,700");
            auto* leftOut = table.findChild<QTreeWidget*>("lstNichtBerechnet");
            ASSERT_EQ(leftOut->topLevelItemCount(), 1);
            EXPECT_EQ(leftOut->topLevelItem(0)->text(1), "ohne Nahrungsmittel");

            // One serving shows the whole recipe.
            table.findChild<QSpinBox*>("txtPortionen")->setValue(1);
            EXPECT_EQ(Kcal(table), "257,400");
            table.findChild<QSpinBox*>("txtPortionen")->setValue(2);

            // The cook picks butter from the foods named like the line.
            FoodSearchOptions options;
            options.InSynonyms = true;
            const std::vector<FoodHit> hits = SearchFoodsByName(WorkDb(), "Butter", options);
            int butter = -1;
            for (std::size_t i = 0; i < hits.size(); ++i)
                if (hits[i].Id == FoodId("Butter"))
                    butter = static_cast<int>(i);
            ASSERT_GE(butter, 0);
            m_ui.ChoosingItem(butter);
            Click(table, "cmdZuordnen");
            // Plus 2 EL of 15 g butter at 717 kcal per 100 g.
            EXPECT_EQ(Kcal(table), "236,250");
            EXPECT_EQ(leftOut->topLevelItemCount(), 0);
            EXPECT_FALSE(table.findChild<QPushButton*>("cmdZuordnen")->isEnabled());
            Click(table, "cmdOK");
        });
        Click(matching, "cmdOK");
        // The list shows the matched food after the table closed.
        EXPECT_EQ(lines->item(1, FrmUnitAbgleich::ColNahrungsmittel)->text(), "Butter");
        Click(matching, "cmdCancel");
    });
    Click(editor, "cmdNutrients");
    EXPECT_TRUE(tableSeen);
    // Only the line the cook matched was written.
    EXPECT_EQ(WorkDb().Scalar("SELECT ZutBLSID FROM T_REZ_ZUTAT WHERE ID=500 AND [No]=2").AsLong(),
              FoodId("Butter"));
    EXPECT_EQ(WorkDb().Scalar("SELECT ZutBLSID FROM T_REZ_ZUTAT WHERE ID=500 AND [No]=1").AsLong(),
              FoodId("Hühnerei"));
}

TEST_F(NutrientWindowsTest, CorrectedGramsAndLeftOutLinesReachTheTable)
{
    const long id = AddRecipe();
    Nutrition* nutrition = NutritionOf(WorkDb());
    ASSERT_TRUE(nutrition);
    FrmUnitAbgleich matching(WorkDb(), nutrition->Tables);
    ASSERT_TRUE(matching.NextID(id));
    auto* lines = Child<QTableWidget>(matching, "grdZutaten");
    QString kcal;
    matching.SetTableShower([&](FrmNaehrdata& table) { kcal = Kcal(table); });

    // 120 g of egg instead of 180 g.
    lines->item(0, FrmUnitAbgleich::ColGramm)->setText("120");
    EXPECT_EQ(lines->item(0, FrmUnitAbgleich::ColGramm)->text(), "120 Gramm");
    matching.cmdOK_Click();
    EXPECT_EQ(kcal, "85,800");

    // Leaving the only line with a food out leaves nothing to show.
    lines->item(0, FrmUnitAbgleich::ColZutat)->setCheckState(Qt::Unchecked);
    kcal.clear();
    matching.cmdOK_Click();
    EXPECT_EQ(kcal, "");
    ASSERT_FALSE(m_ui.shown.empty());
    EXPECT_EQ(m_ui.shown.back().Text, "Es gibt keine Nährwertinformationen zum Anzeigen.");
}

} // namespace
} // namespace pf::test
