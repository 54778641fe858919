// The nutrient calculation as a cook uses it from the recipe editor: the unit matching list, the
// nutrient table per serving with the lines it left out, one of them matched to a food by hand and
// the table calculated again. And the food table's own windows: the browser with its search, a
// food of the cook's own, synonyms and the food matching of a recipe.

#include "ui/FrmBLSAbgleich.h"
#include "ui/FrmMenuData.h"
#include "ui/FrmNaehrSuche.h"
#include "ui/FrmNaehrdata.h"
#include "ui/FrmNaehrdataInfo.h"
#include "ui/FrmNaehrwerte.h"
#include "ui/FrmSearchandDisplay.h"
#include "ui/FrmSynonym.h"
#include "ui/FrmUnitAbgleich.h"

#include "nutrition/FoodSearch.h"
#include "nutrition/Nutrition.h"
#include "nutrition/UnitMatching.h"
#include "tests/ui/UiTestSupport.h"

#include <QUrl>

#include <algorithm>

namespace pf::test {
namespace {

class NutrientWindowsTest : public UiDbTest
{
protected:
    NutrientWindowsTest() : UiDbTest(WorkData::BaseDataWithFoods) {}

    static long FoodId(const char* name) { return Scalar("SELECT ID FROM T_BLS_KEY WHERE ST=?", {name}); }

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
};

TEST_F(NutrientWindowsTest, EditorShowsEnergyPerServingAndAManualMatchChangesIt)
{
    const long id = AddRecipe();
    WorkDb().Execute("UPDATE T_REZ_ZUTAT SET ZutText='Hausgemachtes Streichfett' WHERE ID=500 AND [No]=2");
    FrmMenuData editor(id);
    bool tableSeen = false;
    OnModal([&](QWidget& matching) {
        EXPECT_EQ(matching.objectName(), "FrmUnitAbgleich");
        auto* lines = matching.findChild<QTableWidget*>("grdZutaten");
        ASSERT_EQ(ColumnTexts(lines, FrmUnitAbgleich::ColGramm), (QStringList{"180 Gramm", "< nicht definiert >"}));
        EXPECT_EQ(lines->item(1, FrmUnitAbgleich::ColNahrungsmittel)->text(), "–");

        OnModal([&](QWidget& table) {
            tableSeen = true;
            EXPECT_EQ(table.windowTitle(), "Rührei - Berechnung der Nährwerte");
            EXPECT_EQ(table.findChild<QLabel*>("lblGewicht")->text(), "Portionsgewicht ca. 90 Gramm");
            // 180 g egg at 143 kcal per 100 g, for two.
            EXPECT_EQ(Kcal(table), "128,700");
            auto* leftOut = table.findChild<QTreeWidget*>("lstNichtBerechnet");
            ASSERT_EQ(TopLevelTexts(leftOut, 1), QStringList{"ohne Nahrungsmittel"});

            // One serving shows the whole recipe.
            table.findChild<QSpinBox*>("txtPortionen")->setValue(1);
            EXPECT_EQ(Kcal(table), "257,400");
            table.findChild<QSpinBox*>("txtPortionen")->setValue(2);

            // Nothing is named like the line: the selection dialog opens with its text, finds
            // nothing there either (no detailed search), and the cook looks for butter.
            m_ui.Answering(Answer::No).Answering(Answer::Yes);
            OnModal([&](QWidget& dialog) {
                EXPECT_EQ(dialog.objectName(), "FrmNaehrSuche");
                EXPECT_EQ(dialog.findChild<QLineEdit*>("txtSuche")->text(), "Hausgemachtes Streichfett");
                dialog.findChild<QLineEdit*>("txtSuche")->setText("Butter");
                Click(dialog, "cmdStart");
                Select(dialog.findChild<QTreeWidget*>("lstErgebnis"), "Butter");
                Click(dialog, "cmdAuswahl");
            });
            Click(table, "cmdZuordnen");
            EXPECT_TRUE(std::any_of(m_ui.shown.begin(), m_ui.shown.end(),
                                    [](const auto& shown) { return shown.Caption == "Nährwert-Abgleich"; }));
            EXPECT_TRUE(m_ui.AllAnswersUsed());
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
    EXPECT_EQ(Scalar("SELECT ZutBLSID FROM T_REZ_ZUTAT WHERE ID=500 AND [No]=2"), FoodId("Butter"));
    // The cook agreed to learn the line's text: the next recipe naming it is matched at once.
    EXPECT_EQ(NutritionOf(WorkDb())->Matcher.MatchFoodForIngredient("Hausgemachtes Streichfett"),
              FoodId("Butter"));
}

TEST_F(NutrientWindowsTest, FoodInformationOpensFromEveryListOfLinesAndKeepsLexiconLinks)
{
    // No food, or one that is gone: a message, no window.
    for (const char* key : {"", "0", "999999", "G2"}) {
        ShowFoodInfo(key, nullptr);
        EXPECT_EQ(LastMessage(), "Zu dieser Position gibt es keine weiteren Informationen !") << key;
    }
    const std::size_t messages = m_ui.shown.size();

    const long id = AddRecipe();
    const long egg = FoodId("Hühnerei");
    int opened = 0;
    auto expectEgg = [&](QWidget& info) {
        ++opened;
        EXPECT_EQ(info.objectName(), "FrmNaehrdataInfo");
        EXPECT_EQ(info.findChild<QLineEdit*>("txtName")->text(), "Hühnerei");
        qobject_cast<QDialog*>(&info)->reject();
    };
    {
        FrmMenuData editor(id);
        Child<QTableWidget>(editor, "grdIngredients")->setCurrentCell(0, FrmMenuData::ColZutat);
        OnModal(expectEgg);
        editor.cmdFoodInfo_Click();
        // The butter line has no food.
        Child<QTableWidget>(editor, "grdIngredients")->setCurrentCell(1, FrmMenuData::ColZutat);
        editor.cmdFoodInfo_Click();
        EXPECT_EQ(m_ui.shown.size(), messages + 1);
    }
    {
        FrmSearchandDisplay search;
        search.ShowRecipe(id);
        auto* display = Child<QTextBrowser>(search, "txtDisplay");
        const QString link = "food:" + QString::number(egg);
        EXPECT_TRUE(display->toHtml().contains(link));
        OnModal(expectEgg);
        emit display->anchorClicked(QUrl(link));
    }
    EXPECT_EQ(opened, 2);

    // On its page "Lexikon" the food is linked to the vitamin entry the cook picks among the hits.
    FrmNaehrdataInfo info(WorkDb(), NutritionOf(WorkDb())->Tables);
    ASSERT_TRUE(info.ShowFood(egg));
    Child<QLineEdit>(info, "txtLexSuche")->setText("Vitamin C");
    m_ui.ChoosingItem(std::nullopt);
    info.cmdLexVerknuepfen_Click();
    ASSERT_FALSE(m_ui.offered.empty());
    const std::vector<std::string>& items = m_ui.offered.back().Items;
    const auto vitamin = std::find(items.begin(), items.end(), "Vitamin C (Vitamine)");
    ASSERT_NE(vitamin, items.end());
    m_ui.ChoosingItem(static_cast<int>(vitamin - items.begin()));
    info.cmdLexVerknuepfen_Click();
    auto* links = Child<QTreeWidget>(info, "lstLexikon");
    ASSERT_EQ(links->topLevelItemCount(), 1);
    links->setCurrentItem(links->topLevelItem(0));
    Click(info, "cmdLexBevorzugt");
    EXPECT_EQ(links->topLevelItem(0)->text(2), "ja");
    links->setCurrentItem(links->topLevelItem(0));
    Click(info, "cmdLexLoesen");
    EXPECT_EQ(links->topLevelItemCount(), 0);
    EXPECT_TRUE(m_ui.AllAnswersUsed());
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
    EXPECT_EQ(LastMessage(), "Es gibt keine Nährwertinformationen zum Anzeigen.");
}

// The texts of a food list, in order.
QStringList ListTexts(QWidget& window, const char* list)
{
    return TopLevelTexts(window.findChild<QTreeWidget*>(list));
}

TEST_F(NutrientWindowsTest, BrowserFindsAFoodByItsSynonymAndTheClassTreeListsItsClass)
{
    FrmNaehrwerte browser(WorkDb(), NutritionOf(WorkDb())->Tables);
    Child<QLineEdit>(browser, "txtSchnellsuche")->setText("Karotte");
    Click(browser, "cmdStart");
    EXPECT_TRUE(ListTexts(browser, "lstNahrungsmittel").contains("Möhre [Synonym Karotte]"));
    ASSERT_TRUE(browser.SelectFood(FoodId("Möhre")));
    EXPECT_EQ(Child<QLabel>(browser, "lblName")->text(), "Möhre");
    EXPECT_TRUE(Child<QLabel>(browser, "lblEinheiten")->text().contains("1 Stück = 80 Gramm"));

    // Nothing starts with "hre"; the cook agrees to search inside the names.
    m_ui.Answering(Answer::Yes);
    Child<QLineEdit>(browser, "txtSchnellsuche")->setText("öhre");
    Click(browser, "cmdStart");
    EXPECT_TRUE(Child<QCheckBox>(browser, "chkDetail")->isChecked());
    EXPECT_TRUE(ListTexts(browser, "lstNahrungsmittel").contains("Möhre"));

    // The class of carrots lists them; with main foods only just the base entries.
    browser.ShowClass("G3");
    EXPECT_TRUE(ListTexts(browser, "lstNahrungsmittel").contains("Möhre"));
    EXPECT_TRUE(ListTexts(browser, "lstNahrungsmittel").contains("Karottensaft") == false);
    Child<QCheckBox>(browser, "chkHaupt")->setChecked(true);
    for (const QString& code : TopLevelTexts(Child<QTreeWidget>(browser, "lstNahrungsmittel"), 1))
        EXPECT_TRUE(code.endsWith("00")) << code.toStdString();

    bool tableSeen = false;
    OnModal([&](QWidget& table) {
        tableSeen = true;
        EXPECT_EQ(table.findChild<QLabel*>("lblGewicht")->text(), "Gewicht ca. 100 Gramm");
        EXPECT_FALSE(Kcal(table).isEmpty());
        Click(table, "cmdOK");
    });
    browser.ShowClass("G3");
    ASSERT_TRUE(browser.SelectFood(FoodId("Möhre")));
    Click(browser, "cmdInhalt");
    EXPECT_TRUE(tableSeen);
}

TEST_F(NutrientWindowsTest, SelectionDialogFindsByNameSynonymAndNutrientRange)
{
    FrmNaehrSuche dialog(WorkDb(), NutritionOf(WorkDb())->Tables);
    dialog.SetSearchText("Karotte");
    EXPECT_TRUE(ListTexts(dialog, "lstErgebnis").contains("Möhre [Synonym Karotte]"));
    dialog.SearchOnlyBLS(true);
    dialog.SetSearchText("Karotte");
    EXPECT_FALSE(ListTexts(dialog, "lstErgebnis").contains("Möhre [Synonym Karotte]"));

    // Foods named "Möhre…" with at most 1 g of fat per 100 g.
    Child<QCheckBox>(dialog, "chkNaehrwert")->setChecked(true);
    auto* nutrient = Child<QComboBox>(dialog, "cboNaehrwert");
    nutrient->setCurrentIndex(nutrient->findData("ZF"));
    Child<QLineEdit>(dialog, "txtBis")->setText("1000");
    dialog.SetSearchText("Möhre");
    const QStringList hits = ListTexts(dialog, "lstErgebnis");
    ASSERT_FALSE(hits.isEmpty());
    EXPECT_TRUE(hits.front().startsWith("Möhre (")) << hits.front().toStdString();

    Click(dialog, "cmdAuswahl");
    EXPECT_EQ(dialog.ChosenId(), FoodId("Möhre"));
}

TEST_F(NutrientWindowsTest, OwnFoodIsCreatedFromATemplateFilledInAndFound)
{
    FrmNaehrwerte browser(WorkDb(), NutritionOf(WorkDb())->Tables);
    Child<QLineEdit>(browser, "txtSchnellsuche")->setText("Möhre");
    Click(browser, "cmdStart");
    ASSERT_TRUE(browser.SelectFood(FoodId("Möhre")));
    const std::string carrot = Text("SELECT SBLS FROM T_BLS_KEY WHERE ST='Möhre'");

    m_ui.Answering(Answer::Ok);
    bool infoSeen = false;
    OnModal([&](QWidget& dialog) {
        EXPECT_EQ(dialog.objectName(), "FrmNaehrNew");
        auto* code = Child<QLineEdit>(dialog, "txtCode");
        // Position 6 must stay the template's: the digit is put back and the cook corrects positions 3-4.
        std::string wrong = carrot;
        wrong[5] = '2';
        code->setText(QString::fromStdString(wrong));
        Child<QLineEdit>(dialog, "txtBezeichnung")->setText("Möhre aus dem Garten");
        Click(dialog, "cmdFortfahren", Answer::Cancel);
        EXPECT_EQ(code->text().toStdString(), carrot);
        EXPECT_TRUE(LastMessage().find("Stelle 6") != std::string::npos);
        std::string mine = carrot;
        mine.replace(2, 2, "97");
        code->setText(QString::fromStdString(mine));
        OnModal([&](QWidget& info) {
            infoSeen = true;
            EXPECT_EQ(info.objectName(), "FrmNaehrdataInfo");
            EXPECT_EQ(Child<QLabel>(info, "lblSelbsterfasst")->text(), "Selbsterfasst !");
            auto* values = Child<QTableWidget>(info, "grdWerte");
            for (int row = 0; row < values->rowCount(); ++row)
                if (values->item(row, 0)->text() == "Energie (Kilokalorien)")
                    values->item(row, 1)->setText("45");
            Child<QLineEdit>(info, "txtPortion")->setText("120");
            Click(info, "cmdSpeichern");
            Click(info, "cmdSchliessen");
        });
        Click(dialog, "cmdFortfahren");
    });
    Click(browser, "cmdNeu");
    EXPECT_TRUE(infoSeen);

    const long id = FoodId("Möhre aus dem Garten");
    ASSERT_NE(id, 0);
    const std::string energy =
        "SELECT GCAL FROM T_BLS_DAT INNER JOIN T_BLS_KEY ON T_BLS_DAT.SBLS=T_BLS_KEY.SBLS WHERE ID=?";
    EXPECT_EQ(WorkDb().Scalar(energy, {id}).AsDouble(), 45.0);

    // Found among the cook's own foods, and by the automatic matching.
    Child<QCheckBox>(browser, "chkSelbsterfasst")->setChecked(true);
    Child<QLineEdit>(browser, "txtSchnellsuche")->setText("Möhre");
    Click(browser, "cmdStart");
    EXPECT_EQ(ListTexts(browser, "lstNahrungsmittel"), QStringList({"Möhre aus dem Garten"}));
    EXPECT_EQ(NutritionOf(WorkDb())->Matcher.MatchFoodForIngredient("Möhre aus dem Garten"), id);
}

TEST_F(NutrientWindowsTest, AddedSynonymIsMatchedInTheRecipeMatching)
{
    const long beet = FoodId("Möhre");
    {
        FrmSynonym synonyms(WorkDb(), beet);
        Child<QLineEdit>(synonyms, "txtSynonym")->setText("Gelbe Wurzel");
        Click(synonyms, "cmdSpeichern");
        EXPECT_EQ(Child<QListWidget>(synonyms, "lstSynonyme")->findItems("Gelbe Wurzel", Qt::MatchExactly).size(), 1);
    }
    Database& db = WorkDb();
    db.Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,RezYield) VALUES (600,'Gemüse',2)");
    db.Execute("INSERT INTO T_REZ_ZUTAT (ID,[No],ZutTrenner,ZutText,ZutAnz,ZutEinh,ZutRezept) "
               "VALUES (600,1,0,'Gelbe Wurzel',2,1,0),(600,2,0,'Quarkkeulchenteig',1,1,0)");
    Nutrition* nutrition = NutritionOf(db);
    FrmBLSAbgleich matching(db, nutrition->Tables, nutrition->Matcher);
    ASSERT_TRUE(matching.SetRecipes({600}));
    auto* lines = Child<QTableWidget>(matching, "grdZutaten");
    ASSERT_EQ(ColumnTexts(lines, FrmBLSAbgleich::ColZuordnung), (QStringList{"Möhre", "–"}));

    // The second line gets butter by hand, then the cook takes it back and chooses again.
    matching.SetFoodChooser([&](const std::string& text, long current) {
        EXPECT_EQ(text, "Quarkkeulchenteig");
        EXPECT_EQ(current, 0);
        return FoodId("Butter");
    });
    lines->selectRow(1);
    Click(matching, "cmdProdukt");
    EXPECT_EQ(lines->item(1, FrmBLSAbgleich::ColZuordnung)->text(), "Butter");
    EXPECT_EQ(Child<QLabel>(matching, "lblHinweis")->text(),
              "Hinweis: Alle Zutaten enthalten eine BLS-Zuordnung.");
    // Nothing is stored before "Rezept [OK]".
    EXPECT_TRUE(db.Scalar("SELECT ZutBLSID FROM T_REZ_ZUTAT WHERE ID=600 AND [No]=1").IsNull());
    Click(matching, "cmdRezeptOK");
    EXPECT_EQ(Scalar("SELECT ZutBLSID FROM T_REZ_ZUTAT WHERE ID=600 AND [No]=2"), FoodId("Butter"));
}

} // namespace
} // namespace pf::test
