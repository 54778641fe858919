// The menu windows: a menu planned in the editor with two recipe courses, a free course and a
// guest, saved, found in the manager's tree and reopened; the guest's history lists what was
// served; bad dates are refused; folders are made and deleted; recipes join a menu from a list; a
// menu's recipes go on the shopping list and the menu into its printouts.

#include "ui/FrmEinkaufsliste.h"
#include "ui/FrmExport.h"
#include "ui/FrmGastGeschichte.h"
#include "ui/FrmMenuDetail.h"
#include "ui/FrmMenuManagement.h"
#include "ui/FrmMenuPrint.h"

#include "planning/clsMenuPrint.h"
#include "tests/ui/UiTestSupport.h"

#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>

namespace pf::test {
namespace {

class MenuWindowsTest : public UiDbTest
{
protected:
    MenuWindowsTest()
    {
        for (const char* row : {"(1,'Kürbissuppe',4)", "(2,'Rinderbraten',6)", "(3,'Rote Grütze',4)"})
            WorkDb().Execute(std::string("INSERT INTO T_REZ_KOPF (ID,RezTitle,RezYield) VALUES ") + row);
        WorkDb().Execute("UPDATE T_REZ_KOPF SET FlagDeleted=0, Template=0");
        WorkDb().Execute("INSERT INTO T_ADRESSE (ID,Name,AdrType,ParentID,AliasID) VALUES "
                         "(5,'Müller, Erna',1,0,0),(6,'Paul',1,0,0)");
        WorkDb().Execute("INSERT INTO T_INFO_KEY (ID,KEY,KEYTYPE) VALUES (8,'Riesling',6)");
    }
    ~MenuWindowsTest() override
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName().startsWith("Frm"))
                delete w;
    }
};

TEST_F(MenuWindowsTest, PlanSaveReopenAndSeeTheGuestHistory)
{
    long id = 0;
    {
        FrmMenuDetail editor(0, [&](long saved) { id = saved; });
        Child<QLineEdit>(editor, "txtTitle")->setText("Erntedank");
        Child<QLineEdit>(editor, "txtDatum")->setText("4.10.2026");
        Child<QSpinBox>(editor, "txtYield")->setValue(6);
        Child<QLineEdit>(editor, "txtZeitVorher")->setText("2:30");

        auto* search = Child<QLineEdit>(editor, "txtRezeptSuche");
        search->setText("kürbis");
        Click(editor, "cmdAddRecipe");
        search->setText("2");
        Click(editor, "cmdAddRecipe");
        search->setText("Apfelkuchen vom Blech");
        Click(editor, "cmdAddGeneric");
        // The free course gets a drink and the wine of the lexicon.
        QTest::keyClicks(Child<QLineEdit>(editor, "txtGangDrink"), "Kaffee");
        QTest::keyClicks(Child<QLineEdit>(editor, "txtGangDesc"), "mit Sahne & Zimt");
        auto* wine = Child<QComboBox>(editor, "cboWein");
        wine->setCurrentIndex(wine->findText("Riesling"));
        emit wine->activated(wine->currentIndex());

        auto* guest = Child<QComboBox>(editor, "cboGast");
        guest->setCurrentIndex(guest->findData(QVariant::fromValue<qlonglong>(5)));
        Child<QLineEdit>(editor, "txtGastNotiz")->setText("isst kein Rind");
        Click(editor, "cmdAddGuest");
        EXPECT_EQ(Child<QListWidget>(editor, "lstGaeste")->item(0)->text(), "Erna Müller vom 04.10.2026");

        Click(editor, "cmdSave");
        EXPECT_TRUE(m_ui.shown.empty()) << m_ui.shown.front().Text;
        ASSERT_EQ(id, 1);
    }

    FrmMenuManagement manager;
    auto* tree = Child<QTreeWidget>(manager, "tvMenu");
    manager.RefreshTree("M1");
    ASSERT_NE(tree->currentItem(), nullptr);
    EXPECT_EQ(tree->currentItem()->text(0), "Erntedank - 04.10.2026");
    const QString preview = Child<QTextBrowser>(manager, "txtPreview")->toPlainText();
    EXPECT_TRUE(preview.contains("Apfelkuchen vom Blech\nmit Sahne & Zimt\ndazu: Kaffee, Riesling"))
        << preview.toStdString();

    Click(manager, "cmdOpen");
    auto* editor = OpenWindow<FrmMenuDetail>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(Child<QLineEdit>(*editor, "txtZeitVorher")->text(), "02:30");
    const QStringList courses = TopLevelTexts(Child<QTreeWidget>(*editor, "lstGaenge"), 1);
    EXPECT_EQ(courses, QStringList({"Kürbissuppe", "Rinderbraten", "Apfelkuchen vom Blech [frei]"}));
    EXPECT_EQ(TopLevelTexts(Child<QTreeWidget>(*editor, "lstGaenge"), 2), QStringList({"4 ", "6 ", ""}));

    Click(*editor, "cmdGuestHistory");
    auto* history = OpenWindow<FrmGastGeschichte>();
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(Child<QTreeWidget>(*history, "lstGeschichte")->topLevelItem(0)->text(3), "isst kein Rind");

    FrmGastGeschichte nobody(6);
    EXPECT_EQ(Child<QLabel>(nobody, "lblGast")->text(), "Paul war noch bei keinem Menü zu Gast.");
}

TEST_F(MenuWindowsTest, EditorRefusesUnreadableInputAndAsksBeforeADuplicate)
{
    FrmMenuDetail first(0);
    Child<QLineEdit>(first, "txtTitle")->setText("Fest");
    Child<QLineEdit>(first, "txtDatum")->setText("24.12.2026");
    ASSERT_TRUE(first.cmdSave_Click());

    struct Case
    {
        const char* Title;
        const char* Date;
        const char* Time;
        const char* Message;
        bool Question = false; // answered No
    };
    const Case cases[] = {
        {"Fest", "31.02.2026", "", "Das Datum \"31.02.2026\" ist ungültig. Bitte als TT.MM.JJJJ eingeben."},
        {"Fest", "", "90 Minuten", "Zeiten bitte als hh:mm eingeben, zum Beispiel 1:30."},
        {"Fest", "", "1:75", "Zeiten bitte als hh:mm eingeben, zum Beispiel 1:30."},
        {"", "", "", "Bitte dem Menü einen Titel geben."},
        // The same title on the same day is asked about; No keeps it unsaved.
        {"Fest", "24.12.26", "", "Es gibt bereits ein Menü \"Fest\" am 24.12.2026. Trotzdem speichern?", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Message);
        m_ui.shown.clear();
        FrmMenuDetail editor(0);
        Child<QLineEdit>(editor, "txtTitle")->setText(c.Title);
        Child<QLineEdit>(editor, "txtDatum")->setText(c.Date);
        Child<QLineEdit>(editor, "txtZeitKochen")->setText(c.Time);
        if (c.Question)
            m_ui.Answering(Answer::No);
        EXPECT_FALSE(editor.cmdSave_Click());
        EXPECT_EQ(Messages(), std::vector<std::string>{c.Message});
    }
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_MENU_KOPF"), 1);
}

TEST_F(MenuWindowsTest, ManagerKeepsFoldersAndRemembersTheLastNode)
{
    {
        FrmMenuManagement manager;
        manager.cmdNewFolder_Click("Feste");
        EXPECT_EQ(manager.SelectedKey(), "F1");
        manager.cmdNewFolder_Click("Weihnachten");
        EXPECT_EQ(manager.SelectedKey(), "F2");
        manager.cmdRenameFolder_Click("Advent");
        auto* tree = Child<QTreeWidget>(manager, "tvMenu");
        EXPECT_EQ(tree->currentItem()->text(0), "Advent");
        EXPECT_EQ(tree->currentItem()->parent()->text(0), "Feste");
        EXPECT_EQ(TopLevelTexts(tree, 0),
                  QStringList({"Menüordner", "Wochenpläne", "Unklassifiert (0)", "Produktinformationen"}));
        manager.close();
    }
    EXPECT_EQ(ReadSetting("MenuManager", "LastMenuNode", "", false), "F2");

    FrmMenuManagement again;
    EXPECT_EQ(again.SelectedKey(), "F2");
    // A menu for the chosen folder, copied, then the folder deleted with what it holds.
    ClMenu menu;
    menu.SetTitle("Plätzchen");
    menu.SetTree(2);
    menu.CourseAdd(3, false, "");
    ASSERT_TRUE(menu.Save());
    again.RefreshTree("M1");
    again.cmdCopy_Click();
    EXPECT_EQ(again.SelectedKey(), "M2");
    EXPECT_EQ(Child<QTreeWidget>(again, "tvMenu")->currentItem()->text(0), "Plätzchen (Kopie)");

    again.RefreshTree("F1");
    m_ui.Answering(Answer::Yes);
    again.cmdDeleteFolder_Click();
    EXPECT_EQ(LastMessage(), "Soll der Ordner \"Feste\" mit allen Unterordnern und Menüs darin wirklich "
                             "gelöscht werden?");
    EXPECT_EQ(again.SelectedKey(), "F0");
}

TEST_F(MenuWindowsTest, RecipesJoinAMenuFromTheListOrByDrop)
{
    ClMenu menu;
    menu.SetTitle("Sonntag");
    ASSERT_TRUE(menu.Save());
    m_ui.ChoosingItem(1);
    FrmMenuDetail* editor = FrmMenuDetail::AddToChosenMenu({1, 3}, nullptr);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(m_ui.offered.at(0).Items, (std::vector<std::string>{"(neues Menü)", "Sonntag"}));
    EXPECT_EQ(editor->Menu().id(), 1);

    auto* courses = Child<QTreeWidget>(*editor, "lstGaenge");
    QMimeData data;
    data.setText("2 x");
    EXPECT_FALSE(editor->DropRecipes(&data));
    data.setText("2");
    EXPECT_TRUE(editor->DropRecipes(&data));
    EXPECT_EQ(TopLevelTexts(courses, 1), QStringList({"Kürbissuppe", "Rote Grütze", "Rinderbraten"}));

    // Moving the last course up and the first down.
    courses->setCurrentItem(courses->topLevelItem(2));
    Click(*editor, "cmdUp");
    courses->setCurrentItem(courses->topLevelItem(0));
    Click(*editor, "cmdDown");
    EXPECT_EQ(TopLevelTexts(courses, 1), QStringList({"Rinderbraten", "Kürbissuppe", "Rote Grütze"}));

    // Closing asks to save the unsaved courses.
    m_ui.Answering(Answer::Yes);
    editor->close();
    ClMenu back;
    ASSERT_TRUE(back.Loadr(1));
    EXPECT_EQ(back.CoursesCount(), 3);
    EXPECT_EQ(back.CourseRezID(1), 2);
}

TEST_F(MenuWindowsTest, MenuGoesOnTheShoppingListAndIntoItsPrintouts)
{
    ClMenu menu;
    menu.SetTitle("Herbstessen");
    menu.SetCourseYield(menu.CourseAdd(1, false, ""), 8);
    menu.CourseAdd(0, true, "Käse");
    menu.CourseAdd(3, false, "");
    ASSERT_TRUE(menu.Save()) << menu.LastErrorText();
    ClMenu bare;
    bare.SetTitle("Nur Freies");
    bare.CourseAdd(0, true, "Brot");
    ASSERT_TRUE(bare.Save());

    FrmMenuManagement manager;
    manager.RefreshTree("M" + std::to_string(menu.id()));
    Click(manager, "cmdShopping");
    FrmEinkaufsliste* list = FrmEinkaufsliste::Current();
    ASSERT_NE(list, nullptr);
    // Each course's recipe for the course's persons; the free course has none.
    ASSERT_EQ(list->List().RecipeCount(), 2);
    EXPECT_EQ(list->List().RecipeYield(1).ToString(), "8");
    EXPECT_EQ(list->List().RecipeYield(2).ToString(), "4");
    // The next menu joins the same list; one without recipes says so.
    manager.RefreshTree("M" + std::to_string(bare.id()));
    Click(manager, "cmdShopping");
    EXPECT_EQ(FrmEinkaufsliste::Current(), list);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Das Menü hat keine Gänge mit einem Rezept."});

    manager.RefreshTree("M" + std::to_string(menu.id()));
    Click(manager, "cmdPrint");
    auto* print = OpenWindow<FrmMenuPrint>();
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(print->Layout(), clsMenuPrint::kMenuCard);
    Child<QRadioButton>(*print, "optLayout1")->click();
    EXPECT_EQ(ReadSetting("", "MENUPRINTLAYOUT", "", false), "1");
    std::unique_ptr<QPrintPreviewDialog> preview(print->MakePreview());
    preview->show();
    auto* pages = preview->findChild<QPrintPreviewWidget*>();
    ASSERT_NE(pages, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return pages->pageCount() == 1; }, 60000));
    preview.reset();
    // The recipes follow the kitchen plan, each on its own page.
    print->SetLayout(clsMenuPrint::kWithRecipes);
    const std::string pdf = m_dir.File("menu.pdf");
    ASSERT_TRUE(print->WritePdf(pdf));
    EXPECT_GT(std::filesystem::file_size(pdf), 0u);
    EXPECT_EQ(m_ui.shown.size(), 1u);
    FrmMenuPrint again(menu.id());
    EXPECT_EQ(again.Layout(), clsMenuPrint::kWithRecipes);

    // The export window opens on a type that carries the menu, the menu ticked.
    Click(manager, "cmdExport");
    auto* exporter = OpenWindow<FrmExport>();
    ASSERT_NE(exporter, nullptr);
    EXPECT_EQ(exporter->CheckedMenus(), std::vector<long>{menu.id()});
}

} // namespace
} // namespace pf::test
