#include "ui/FrmPrint.h"

#include "tests/ui/PdfTools.h"
#include "tests/ui/UiTestSupport.h"

#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>

namespace pf {
namespace {

class FrmPrintTest : public test::UiTest
{
protected:
    FrmPrintTest()
    {
        db = test::MakeBaseDataDatabase(m_dir);
        db->Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,RezYield,RezYieldEinh,RezParent) VALUES "
                    "(7,'Pfannkuchen',4,1,0), (8,'Apfelmus',2,1,0), (9,'Pfannkuchen mit Speck',4,1,7)");
        // A sub-recipe line names its recipe in ZutBLSID.
        db->Execute(
            "INSERT INTO T_REZ_ZUTAT (ID,No,ZutTrenner,ZutText,ZutAnz,ZutEinh,ZutRezept,ZutBLSID) VALUES "
            "(7,1,0,'Mehl',250,31,0,NULL), (7,2,0,'Apfelmus',0,0,-1,8), (8,1,0,'Äpfel',300,31,0,NULL),"
            "(9,1,0,'Speck',100,31,0,NULL)");
        db->Execute("INSERT INTO T_REZ_ANWEIS (ID,NO,AnwText) VALUES (7,1,'Ausbacken.'), (8,1,'Kochen.')");
    }

    static QStringList Titles(QWidget& window)
    {
        return test::ColumnTexts(Child<QTableWidget>(window, "lbRezScaleList"), 0);
    }

    std::unique_ptr<Database> db;
};

TEST_F(FrmPrintTest, PrintsTheListedRecipesScaledAsEnteredIntoAPdfFile)
{
    FrmPrint window({9}, db.get());
    EXPECT_EQ(Titles(window), QStringList{"Pfannkuchen mit Speck"});
    Child<QCheckBox>(window, "chkParents")->setChecked(true);
    Child<QCheckBox>(window, "chkSubRecipes")->setChecked(true);
    EXPECT_EQ(Titles(window), (QStringList{"Pfannkuchen mit Speck", "Pfannkuchen", "Apfelmus"}));
    // The PDF file is always offered and is the choice without any printer.
    auto* printer = Child<QComboBox>(window, "cboPrinter");
    EXPECT_EQ(printer->itemText(printer->count() - 1), FrmPrint::PdfEntry());
    printer->setCurrentIndex(printer->count() - 1);
    Child<QTableWidget>(window, "lbRezScaleList")->item(1, 1)->setText("8"); // "Pfannkuchen"
    // A menu is listed before the recipes and printed first; a second add or a missing menu adds nothing.
    db->Execute(
        "INSERT INTO T_MENU_KOPF (MenuID,MenuTitle,MenuYield,MenuTree) VALUES (3,'Sonntagsessen',6,0)");
    db->Execute("INSERT INTO T_MENU_GANG (MenuID,GangNr,RezID,Yield,GangDesc) VALUES (3,1,8,6,'Nachtisch')");
    for (long menu : {3L, 3L, 99L})
        window.AddMenuID(menu);
    EXPECT_EQ(Titles(window),
              (QStringList{"Menü: Sonntagsessen", "Pfannkuchen mit Speck", "Pfannkuchen", "Apfelmus"}));

    const std::string pdf = m_dir.File("druck.pdf");
    m_ui.ChoosingFiles({pdf});
    Click(window, "cmdStart");
    ASSERT_TRUE(std::filesystem::exists(pdf));
    // The servings typed into the list reach the printout: 250 g flour for four, 500 for eight.
    const std::string text = Poppler("pdftotext '" + pdf + "' -");
    EXPECT_NE(text.find("500"), std::string::npos) << text;
    EXPECT_NE(text.find("Apfelmus"), std::string::npos) << text;
    EXPECT_LT(text.find("Sonntagsessen"), text.find("Pfannkuchen mit Speck")) << text;
    EXPECT_EQ(Child<QTableWidget>(window, "lbRezScaleList")->item(0, 1)->text(), "6");
}

TEST_F(FrmPrintTest, PreviewShowsTheFirstPage)
{
    FrmPrint window({7, 8}, db.get());
    auto* printer = Child<QComboBox>(window, "cboPrinter");
    printer->setCurrentIndex(printer->count() - 1);
    std::unique_ptr<QPrintPreviewDialog> preview(window.MakePreview());
    preview->show();
    auto* pages = preview->findChild<QPrintPreviewWidget*>();
    ASSERT_TRUE(pages);
    EXPECT_TRUE(QTest::qWaitFor([&] { return pages->pageCount() == 2; }, 60000));
    EXPECT_EQ(pages->currentPage(), 1);
}

} // namespace
} // namespace pf
