#include "ui/FrmCatSelect.h"
#include "ui/FrmKategorieManagement.h"

#include "db/Recordset.h"
#include "tests/ui/UiTestSupport.h"

namespace pf::test {
namespace {

class CategoryWindowsTest : public UiDbTest
{
protected:
    CategoryWindowsTest()
    {
        Connection().DbPath = m_dir.File("Pfannola.MDB");
        Sql("INSERT INTO T_CAT_TYPE (CatTypeID,CatTypeName,CatClassified) VALUES (1,'Menüfolge',-1),"
            "(2,'Hauptzutat',-1)");
        AddCat(1, "Vorspeise", 1);
        AddCat(2, "Kalte Vorspeise", 1, 1);
        AddCat(3, "Fisch", 2);
        AddCat(5, "Geheim", 2, 0, 0, false);
        AddCat(1000, "Italien", 7, 0, 380); // a kind that does not exist
        Sql("INSERT INTO T_REZ_KOPF (ID,RezTitle,RezHerkunft) VALUES (1,'Vitello tonnato',1000)");
        Sql("INSERT INTO T_REZ_CAT_NDX (ID,CatID,CatPrimary,[No]) VALUES (1,2,-1,1),(1,3,0,2)");
    }
    static void Sql(const std::string& sql) { WorkDb().Execute(sql); }
    static void AddCat(long id, const char* name, long type, long parent = 0, long country = 0, bool edit = true)
    {
        WorkDb().Execute("INSERT INTO T_CAT (ID,CatNameD,CatType,CatParent,LaenderCode,ErfassungsFlag,CatWPLevel,"
                         "CatWPRepeat) VALUES (?,?,?,?,?,?,0,0)",
                         {id, name, type, parent, country, edit});
    }
    static void Type(QWidget& window, const char* field, const QString& text)
    {
        auto* edit = Child<QLineEdit>(window, field);
        edit->clear();
        // The test library types ASCII keys only; other characters arrive as an input method would.
        for (const QChar c : text) {
            if (c.unicode() < 128)
                QTest::keyClick(edit, c.toLatin1());
            else
                edit->insert(QString(c));
        }
    }
    static QStringList VisibleTexts(QTreeWidgetItem* node)
    {
        QStringList texts;
        for (int i = 0; i < node->childCount(); ++i)
            if (!node->child(i)->isHidden())
                texts << node->child(i)->text(0);
        return texts;
    }
    static QListWidgetItem* Item(QListWidget* list, const QString& text)
    {
        const auto found = list->findItems(text, Qt::MatchExactly);
        EXPECT_EQ(found.size(), 1) << text.toStdString();
        return found.value(0);
    }
};

TEST_F(CategoryWindowsTest, TreeShowsKindsHierarchyAndUsageAndSavesChangedFields)
{
    FrmKategorieManagement window;
    auto* tree = Child<QTreeWidget>(window, "tvwCategories");
    ASSERT_EQ(TopLevelTexts(tree), (QStringList{"Menüfolge", "Hauptzutat", "<undefiniert>"}));
    QTreeWidgetItem* starter = tree->topLevelItem(0)->child(0);
    ASSERT_NE(starter, nullptr);
    EXPECT_EQ(starter->text(0), "Vorspeise");
    ASSERT_EQ(starter->childCount(), 1);
    EXPECT_EQ(starter->child(0)->text(1), "1 x benutzt");
    EXPECT_EQ(tree->topLevelItem(2)->child(0)->text(0), "Italien [Herkunft]");
    EXPECT_EQ(tree->topLevelItem(2)->child(0)->text(1), "1 x benutzt");

    // The filter keeps matches and the nodes above them.
    Type(window, "txtFilter", "kalt");
    EXPECT_EQ(VisibleTexts(tree->topLevelItem(0)), QStringList{"Vorspeise"});
    EXPECT_TRUE(tree->topLevelItem(1)->isHidden());
    Type(window, "txtFilter", "");
    EXPECT_EQ(VisibleTexts(tree->topLevelItem(1)), (QStringList{"Fisch", "Geheim"}));

    tree->setCurrentItem(starter->child(0));
    EXPECT_EQ(window.CurrentID(), 2);
    EXPECT_EQ(Child<QLabel>(window, "lblUsage")->text(), "1 x benutzt");
    EXPECT_EQ(Child<QComboBox>(window, "cboParent")->currentText(), "Vorspeise");
    Type(window, "txtName", "Kalte Vorspeisen");
    Child<QCheckBox>(window, "chkEdit")->click();
    Child<QComboBox>(window, "cboKind")->setCurrentText("Hauptzutat");
    Click(window, "cmdSave");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_CAT WHERE ID=2 AND CatNameD='Kalte Vorspeisen' AND ErfassungsFlag=0 "
                     "AND CatType=2 AND CatParent=1"),
              1);
    EXPECT_EQ(window.CurrentID(), 2);
    EXPECT_TRUE(m_ui.shown.empty());
}

TEST_F(CategoryWindowsTest, NewCategoryTakesAFreeIdAndADuplicateNameIsRefused)
{
    FrmKategorieManagement window;
    auto* tree = Child<QTreeWidget>(window, "tvwCategories");
    tree->setCurrentItem(tree->topLevelItem(1)); // the kind "Hauptzutat"
    Click(window, "cmdNew");
    Type(window, "txtName", "Gemüse");
    QTest::keyClick(Child<QLineEdit>(window, "txtName"), Qt::Key_Return);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_CAT WHERE ID=4 AND CatNameD='Gemüse' AND CatType=2"), 1);
    EXPECT_EQ(window.CurrentID(), 4);

    Click(window, "cmdNew");
    Type(window, "txtName", "fisch");
    Click(window, "cmdSave");
    EXPECT_EQ(Messages(), std::vector<std::string>{"Eine Kategorie mit dem Namen \"fisch\" gibt es bereits."});
}

TEST_F(CategoryWindowsTest, DeleteMergeAndConversionAskFirst)
{
    FrmKategorieManagement window;
    ASSERT_TRUE(window.SelectCategory(2));
    Click(window, "cmdDelete", Answer::Yes);
    EXPECT_EQ(LastMessage(), "Soll die Kategorie \"Kalte Vorspeise\" wirklich aus allen Rezepten entfernt werden ?");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_CAT WHERE ID=2"), 0);
    EXPECT_EQ(window.CurrentID(), 1); // the parent is shown next

    // Merge Fisch into Vorspeise: the choice offers ordinary categories only (Geheim, Vorspeise).
    ASSERT_TRUE(window.SelectCategory(3));
    m_ui.ChoosingItem(1).Answering(Answer::Yes);
    Click(window, "cmdMerge");
    EXPECT_EQ(LastMessage(), "Sollen nun alle Rezepte, die die Kategorie \"Fisch\" enthalten, an dessen "
                             "Stelle \"Vorspeise\" erhalten ?");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_REZ_CAT_NDX WHERE CatID=1"), 1);
    EXPECT_EQ(window.CurrentID(), 1);

    // The country becomes a category of its recipe, which had none left.
    ASSERT_TRUE(window.SelectCategory(1000));
    EXPECT_EQ(Child<QPushButton>(window, "cmdCountry")->text(), "In Kategorie &umwandeln");
    Click(window, "cmdCountry", Answer::Yes);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_REZ_CAT_NDX WHERE ID=1 AND CatID=1000"), 1);
    EXPECT_FALSE(Child<QCheckBox>(window, "chkCountry")->isChecked());
    EXPECT_TRUE(m_ui.AllAnswersUsed());
}

TEST_F(CategoryWindowsTest, CategoryChooserKeepsTheOrderTheFilterAndTheLimit)
{
    FrmCatSelect dialog(FrmCatSelect::Mode::Categories, {3, 1});
    auto* list = Child<QListWidget>(dialog, "lstCategories");
    // Only categories open for assignment, no origins.
    EXPECT_EQ(ItemTexts(list, true), (QStringList{"Fisch", "Kalte Vorspeise", "Vorspeise"}));
    EXPECT_EQ(ItemTexts(Child<QListWidget>(dialog, "lstChosen"), true),
              (QStringList{"Fisch (Hauptkategorie)", "Vorspeise"}));
    Type(dialog, "txtFilter", "vor");
    EXPECT_EQ(ItemTexts(list, true), (QStringList{"Kalte Vorspeise", "Vorspeise"}));
    Item(list, "Kalte Vorspeise")->setCheckState(Qt::Checked);
    EXPECT_EQ(dialog.Chosen(), (std::vector<long>{3, 1, 2}));
    dialog.MakePrimary(2);
    EXPECT_EQ(dialog.Chosen(), (std::vector<long>{2, 3, 1}));
    Item(list, "Vorspeise")->setCheckState(Qt::Unchecked);
    EXPECT_EQ(dialog.Chosen(), (std::vector<long>{2, 3}));

    // A 17th category is refused.
    for (long id = 10; id < 25; ++id)
        AddCat(id, ("Kategorie " + std::to_string(id)).c_str(), 2);
    FrmCatSelect full(FrmCatSelect::Mode::Categories, {});
    auto* all = Child<QListWidget>(full, "lstCategories");
    ASSERT_EQ(all->count(), 18);
    for (int i = 0; i < all->count(); ++i)
        all->item(i)->setCheckState(Qt::Checked);
    EXPECT_EQ(full.Chosen().size(), 16u);
    EXPECT_EQ(all->item(17)->checkState(), Qt::Unchecked);
    EXPECT_EQ(LastMessage(), "Ein Rezept kann höchstens 16 Kategorien erhalten.");
}

TEST_F(CategoryWindowsTest, OriginChooserOffersCountriesAndNone)
{
    FrmCatSelect dialog(FrmCatSelect::Mode::Origin, {0});
    auto* list = Child<QListWidget>(dialog, "lstCategories");
    EXPECT_EQ(ItemTexts(list, true), (QStringList{"(keine Herkunft)", "Italien"}));
    EXPECT_EQ(dialog.Chosen(), std::vector<long>{0});
    list->setCurrentRow(1);
    EXPECT_EQ(dialog.Chosen(), std::vector<long>{1000});
}

} // namespace
} // namespace pf::test
