// The shopping list window as a cook uses it: two recipes added, the list sorted by a shop's
// aisles, saved under a name, sent to the clipboard as exchange text and read back in a new list.

#include "ui/FrmEinkaufsliste.h"

#include "planning/ShoppingExchange.h"
#include "tests/ui/UiTestSupport.h"

#include <QClipboard>

namespace pf::test {
namespace {

class FrmEinkaufslisteTest : public UiDbTest
{
protected:
    FrmEinkaufslisteTest() : UiDbTest(WorkData::BaseData)
    {
        Database& db = WorkDb();
        db.Execute(
            "INSERT INTO T_BLS_KEY (ID,SBLS,ST) VALUES (1,'C123000','Weizenmehl'),(2,'M111000','Milch'),"
            "(3,'F110000','Apfel')");
        db.Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,RezYield,RezYieldEinh) VALUES (7,'Pfannkuchen',4,1),"
                   "(8,'Apfelkuchen',1,1)");
        db.Execute("INSERT INTO T_REZ_ZUTAT (ID,No,ZutTrenner,ZutText,ZutAnz,ZutEinh,ZutBLSID) VALUES "
                   "(7,1,0,'Milch',500,25,'2'), (7,2,0,'Mehl',250,31,'1'), (7,3,0,'Eier',3,1,''), "
                   "(8,1,0,'Äpfel',1,32,'3'), (8,2,0,'Mehl',300,31,'1')");
        db.Execute("INSERT INTO T_ADRESSE (ID,Name,AdrType,StoreLocations) VALUES (5,'Wochenmarkt',2,'FCM')");
    }
    static std::string Clipboard() { return QGuiApplication::clipboard()->text().toStdString(); }
    static void SetClipboard(const std::string& text)
    {
        QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    }
};

TEST_F(FrmEinkaufslisteTest, TwoRecipesSortedByShopSavedAndExchanged)
{
    FrmEinkaufsliste window;
    window.AddRecipe(7, 8);
    window.AddRecipe(8);
    auto* lines = Child<QTableWidget>(window, "lstZutaten");
    // Complete view: the flour of both recipes on one line, 500 g + 300 g.
    EXPECT_EQ(ColumnTexts(lines, 2), (QStringList{"Milch", "Mehl", "Eier", "Äpfel"}));
    EXPECT_EQ(ColumnTexts(lines, 0), (QStringList{"1000", "800", "6", "1"}));

    Choose(window, "cboGeschaeft", "Wochenmarkt");
    Child<QRadioButton>(window, "optSortGeschaeft")->setChecked(true);
    EXPECT_EQ(ColumnTexts(lines, 2), (QStringList{"Äpfel", "Mehl", "Milch", "Eier"}));

    window.SaveAs("Sonntag");
    EXPECT_EQ(WorkDb().Scalar("SELECT Bezeichnung FROM T_SHOPPING_KOPF").AsText(), "Sonntag");
    EXPECT_TRUE(Child<QComboBox>(window, "cboListe")->currentText().startsWith("Sonntag ["));

    m_ui.Answering(Answer::No); // no .csv file
    Click(window, "cmdExcel");
    EXPECT_NE(Clipboard().find("800\tg\tMehl\t2\t"), std::string::npos) << Clipboard();

    Click(window, "cmdExport");
    EXPECT_NE(Clipboard().find(kShoppingExchangeMarker), std::string::npos);
    SetClipboard("> " + Clipboard()); // as quoted in a reply
    Child<QComboBox>(window, "cboListe")->setCurrentIndex(0);
    Click(window, "cmdImport");
    EXPECT_EQ(window.List().IngredCount(), 5);
    EXPECT_EQ(LastMessage(), "Der Import wurde erfolgreich durchgeführt");

    // A clipboard without the block: asked to copy it, cancelled, nothing changed.
    SetClipboard("nichts");
    Click(window, "cmdImport", Answer::Cancel);
    EXPECT_EQ(window.List().IngredCount(), 5);
    EXPECT_TRUE(m_ui.AllAnswersUsed());
}

} // namespace
} // namespace pf::test
