#include "ui/FrmSearchandDisplay.h"

#include "core/RememberedAnswers.h"
#include "core/UserRights.h"
#include "core/UserSettings.h"
#include "model/ClIngredient.h"
#include "model/ClRecipe.h"
#include "model/RecipeTrash.h"
#include "model/clBook.h"
#include "output/clsRecipePrint.h"
#include "search/ClSearch.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/FrmExport.h"
#include "ui/FrmMenuData.h"
#include "ui/RecipeDrag.h"
#include "ui/frmOptions1.h"

#include <QHelpEvent>
#include <QToolTip>

namespace pf::test {
namespace {

class FrmSearchandDisplayTest : public UiDbTest
{
protected:
    FrmSearchandDisplayTest()
    {
        MarkedRecipes().clear();
        Database& db = WorkDb();
        db.Execute(
            "INSERT INTO T_UNIT (ID,UnitShortD,UnitNameD) VALUES (1,'g','Gramm'),(2,'EL','Esslöffel')");
        db.Execute("INSERT INTO T_REZ_KOPFEINHEIT (ID,NameD) VALUES (1,'Portionen')");
        db.Execute("INSERT INTO T_CAT (ID,CatNameD,CatType,LaenderCode,ErfassungsFlag) VALUES "
                   "(1,'Hauptgericht',1,0,-1),(2,'Dessert',1,0,-1),(10,'Schweiz',2,41,-1)");
        db.Execute("INSERT INTO T_BUCH (ID,BuchTitel) VALUES (5,'Alltag')");
        struct R
        {
            long id;
            const char* title;
            long cat;
            long parent;
            int flags; // 1 template, 2 trash
        };
        const R recipes[] = {{1, "Käsespätzle", 1, 0, 0},
                             {2, "Kaesekuchen", 2, 0, 0},
                             {3, "Apfelstrudel", 2, 0, 0},
                             {4, "Käsefondue", 1, 0, 0},
                             {5, "Käsefondue mit Weißwein", 1, 4, 0},
                             {6, "Grundteig Vorlage", 2, 0, 1},
                             {7, "Alter Käsekuchen", 2, 0, 2},
                             {8, "Rösti", 1, 0, 0}};
        for (const R& r : recipes) {
            db.Execute(
                "INSERT INTO T_REZ_KOPF (ID,RezTitle,RezMenuCard,RezYield,RezYieldEinh,RezParent,Template,"
                "FlagDeleted,RezHerkunft,Fingerprint1,Fingerprint2) VALUES (?,?,?,4,1,?,?,?,?,?,0)",
                {r.id, r.title, r.title, r.parent, Value((r.flags & 1) != 0), Value((r.flags & 2) != 0),
                 r.id == 4 ? 10L : 0L, r.id});
            db.Execute("INSERT INTO T_REZ_CAT_NDX (ID,CatID,CatPrimary,No) VALUES (?,?,-1,1)", {r.id, r.cat});
            db.Execute("INSERT INTO T_REZ_ZUTAT (ID,No,ZutTrenner,ZutText,ZutAnz,ZutEinh) VALUES "
                       "(?,1,0,'Emmentaler',200,1),(?,2,0,'Mehl',3,2)",
                       {r.id, r.id});
            db.Execute(
                "INSERT INTO T_REZ_ANWEIS (ID,NO,AnwText) VALUES (?,1,'Alles gut verrühren und backen.')",
                {r.id});
        }
        // A picture for the fondue.
        db.Execute("INSERT INTO T_BLOB (ID,IDReference,IDType,IDNum,Property,Blob) VALUES (1,4,5,1,0,?)",
                   {PngPicture(60, 40, Qt::darkYellow)});
    }
    ~FrmSearchandDisplayTest() override { MarkedRecipes().clear(); }

    static QTreeWidget& Results(QWidget& window) { return *Child<QTreeWidget>(window, "trvResults"); }
    static QStringList Titles(QWidget& window)
    {
        return TopLevelTexts(&Results(window), FrmSearchandDisplay::ColTitle);
    }
    // Searches for the words as typed into the search field.
    static bool Search(FrmSearchandDisplay& window, const QString& words)
    {
        Child<QLineEdit>(window, "txtSearch")->setText(words);
        return window.cmdSearch_Click();
    }
    // Types text key by key, umlauts included.
    static void Type(QWidget* widget, const QString& text)
    {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
};

TEST_F(FrmSearchandDisplayTest, TypingAWordAndEnterListsHitsAndTheDisplayShowsTheSelectedRecipe)
{
    FrmSearchandDisplay window;
    window.show();
    auto* words = Child<QLineEdit>(window, "txtSearch");
    Type(words, "käse");
    QTest::keyClick(words, Qt::Key_Return);
    // Title order; the fondue has a derived recipe and a picture; the trash stays out.
    EXPECT_EQ(Titles(window),
              (QStringList{"Kaesekuchen", "Käsefondue [*]", "Käsefondue mit Weißwein", "Käsespätzle"}));
    EXPECT_EQ(Results(window).topLevelItem(1)->text(FrmSearchandDisplay::ColPicture).isEmpty(), false);
    EXPECT_EQ(Child<QLabel>(window, "lblCount")->text(), "4 Rezepte");
    EXPECT_EQ(Child<QLabel>(window, "lblCaption")->text(), "Suchergebnis nach Titel(n)");

    Results(window).setCurrentItem(Results(window).topLevelItem(1));
    const QString shown = Child<QTextBrowser>(window, "txtDisplay")->toPlainText();
    EXPECT_TRUE(shown.startsWith("Käsefondue")) << shown.toStdString();
    EXPECT_TRUE(Child<QLabel>(window, "picPicture")->isVisible());

    // The cell tip names what the list does not show.
    const QRect rect = Results(window).visualItemRect(Results(window).topLevelItem(1));
    QHelpEvent help(QEvent::ToolTip, rect.center(), Results(window).viewport()->mapToGlobal(rect.center()));
    QApplication::sendEvent(Results(window).viewport(), &help);
    EXPECT_TRUE(QToolTip::text().contains("Herkunft: Schweiz")) << QToolTip::text().toStdString();

    // The derived recipe shows below its parent.
    Results(window).topLevelItem(1)->setExpanded(true);
    ASSERT_EQ(Results(window).topLevelItem(1)->childCount(), 1);
    EXPECT_EQ(Results(window).topLevelItem(1)->child(0)->text(0), "Käsefondue mit Weißwein");

    // Newest first re-runs the search.
    Child<QComboBox>(window, "cboSort")->setCurrentIndex(1);
    EXPECT_EQ(Titles(window).front(), "Käsefondue mit Weißwein");

    Type(words, "x");
    QTest::keyClick(words, Qt::Key_Return);
    EXPECT_EQ(LastMessage(), "keine Rezepte mit diesem Suchbegriff !");
}

TEST_F(FrmSearchandDisplayTest, CriteriaRoundTripThroughSearchDataAndTemplates)
{
    FrmSearchandDisplay window;
    auto* categories = Child<QListWidget>(window, "lstCategories");
    ASSERT_EQ(ItemTexts(categories), (QStringList{"Dessert", "Hauptgericht"}));
    categories->item(0)->setCheckState(Qt::Checked);
    Child<QCheckBox>(window, "chkPictures")->setChecked(false);
    Child<QLineEdit>(window, "txtSearch")->setText("kuchen");
    window.SetAskText([](const std::string& prompt, const std::string&, const std::string&) {
        EXPECT_EQ(prompt, "Name des Suchlaufs:");
        return std::optional<std::string>("Kuchen");
    });
    window.cmdTemplateSave_Click();
    EXPECT_EQ(Text("SELECT Daten FROM T_SUCHE_KOPF WHERE Suchname='Kuchen' AND Owner='koch'"),
              "1,\"kuchen\",2,2,2001,1,2003,0");
    // The same name again asks before replacing.
    m_ui.Answering(Answer::No);
    window.cmdTemplateSave_Click();
    EXPECT_EQ(LastMessage(), "Nicht gespeichert ...");

    EXPECT_TRUE(window.cmdSearch_Click());
    EXPECT_EQ(Titles(window), QStringList{"Kaesekuchen"});

    // The default template fills a new window's criteria.
    WorkDb().Execute("INSERT INTO T_SUCHE_KOPF (ID,Suchname,Owner,Daten) VALUES (0,'Standard','',"
                     "'1,\"strudel\",1004')");
    {
        FrmSearchandDisplay second;
        EXPECT_EQ(Child<QLineEdit>(second, "txtSearch")->text(), "strudel");
        EXPECT_TRUE(Child<QCheckBox>(second, "chkInstructions")->isChecked());
        EXPECT_EQ(Child<QListWidget>(second, "lstTemplates")->count(), 2);
    }

    window.ApplySearchData("2,1,4,10,4,99");
    EXPECT_EQ(LastMessage(), "Herkunft 99 existiert nicht (mehr).");
    EXPECT_EQ(window.SearchData(), "2,1,2001,1,2003,0,4,10");
    EXPECT_TRUE(window.cmdSearch_Click());
    EXPECT_EQ(Titles(window), QStringList{"Käsefondue [*]"});
    EXPECT_TRUE(m_ui.AllAnswersUsed());
}

TEST_F(FrmSearchandDisplayTest, IngredientByFoodIsChosenByNameAndFindsTheLinesOfThatFood)
{
    Database& db = WorkDb();
    db.Execute("INSERT INTO T_BLS_KEY (ID,SBLS,ST,STE,ProduktHauptFlag) VALUES (30,'M320200','Emmentaler',"
               "'Emmental',-1),(31,'M320300','Emmentaler, light','Emmental, light',0)");
    db.Execute("INSERT INTO T_INFO_KEY (ID,[KEY],KEYTYPE) VALUES (30,'Schweizer Käse',3)");
    db.Execute("UPDATE T_REZ_ZUTAT SET ZutBLSID=30 WHERE ZutText='Emmentaler' AND ID IN (1,4)");
    FrmSearchandDisplay window;
    window.SetAskText([](const std::string& prompt, const std::string&, const std::string&) {
        EXPECT_EQ(prompt, "Zutat eingeben, z.B. Rosenkohl");
        return std::optional<std::string>("Schweizer");
    });
    m_ui.ChoosingItem(0);
    Click(window, "cmdIngredientFood");
    ASSERT_FALSE(m_ui.offered.empty());
    EXPECT_EQ(m_ui.offered.back().Items, std::vector<std::string>{"Emmentaler [Synonym Schweizer Käse]"});
    auto* ingredients = Child<QListWidget>(window, "lstIngredients");
    EXPECT_EQ(ItemTexts(ingredients), QStringList{"Emmentaler"});
    EXPECT_EQ(window.SearchData(), "3,30");
    EXPECT_TRUE(window.cmdSearch_Click());
    EXPECT_EQ(Titles(window), (QStringList{"Käsefondue [*]", "Käsespätzle"}));

    // A stored search shows the food by name; a food that is gone is reported and left out.
    window.ApplySearchData("3,31,3,99,3,\"Mehl\"");
    EXPECT_EQ(ItemTexts(ingredients), (QStringList{"Emmentaler, light", "Mehl"}));
    EXPECT_EQ(LastMessage(), "Lebensmittel 99 existiert nicht (mehr).");
    EXPECT_TRUE(m_ui.AllAnswersUsed());
}

TEST_F(FrmSearchandDisplayTest, ContextMenuActsOnTheSelection)
{
    FrmSearchandDisplay window;
    ASSERT_TRUE(Search(window, "käse"));
    Results(window).topLevelItem(0)->setSelected(true);
    Results(window).topLevelItem(3)->setSelected(true);
    // Dragged, the selection carries its recipes to menus, weekly plans and the shopping list.
    QTreeWidget& results = Results(window);
    const QModelIndexList dragged = {results.model()->index(0, 0), results.model()->index(3, 0)};
    std::unique_ptr<QMimeData> drag(results.model()->mimeData(dragged));
    ASSERT_NE(drag, nullptr);
    const auto id = [&results](int row) {
        return results.topLevelItem(row)->data(0, Qt::UserRole).toLongLong();
    };
    EXPECT_EQ(DroppedRecipeIds(drag.get()),
              (std::vector<long>{static_cast<long>(id(0)), static_cast<long>(id(3))}));
    std::unique_ptr<QMenu> menu(window.MakeContextMenu());
    ASSERT_NE(menu->findChild<QAction*>("HideRecipeActionBookAdd"), nullptr);
    ExpectOwnAltKeys(*menu);
    EXPECT_FALSE(menu->findChild<QAction*>("HideRezOpen")->isEnabled());
    m_ui.ChoosingItem(0); // the cookbook list holds "Alltag"
    window.RunCommand("HideRecipeActionBookAdd");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_REZ_KOCHBUCH WHERE BuchID=5 AND RezID IN (1,2)"), 2);
    window.RunCommand("HideRezMark");
    EXPECT_EQ(MarkedRecipes().size(), 2u);
    // Export opens the export window for the selection.
    window.RunCommand("HideRecipeActionExport");
    std::unique_ptr<FrmExport> exporter(OpenWindow<FrmExport>());
    ASSERT_NE(exporter, nullptr);

    // Delete the derived fondue after the question.
    Results(window).clearSelection();
    for (int i = 0; i < Results(window).topLevelItemCount(); ++i)
        if (Results(window).topLevelItem(i)->text(0) == "Käsefondue mit Weißwein")
            Results(window).setCurrentItem(Results(window).topLevelItem(i));
    m_ui.Answering(Answer::Yes);
    window.RunCommand("HideRecipeActionDel");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_REZ_KOPF WHERE ID=5 AND FlagDeleted=0"), 0);
    EXPECT_FALSE(Titles(window).contains("Käsefondue mit Weißwein"));
    EXPECT_TRUE(m_ui.AllAnswersUsed());
}

TEST_F(FrmSearchandDisplayTest, ContextMenuOffersOnlyWhatTheUserMayDo)
{
    ScopedCurrentUser user({true, "Gast", kRightPrint});
    FrmSearchandDisplay window;
    ASSERT_TRUE(Search(window, "käse"));
    Results(window).setCurrentItem(Results(window).topLevelItem(0));
    std::unique_ptr<QMenu> menu(window.MakeContextMenu());
    for (const char* open :
         {"HideRezOpen", "HideRecipeActionPrint", "HideRecipeActionShoplist", "HideRezMark"})
        EXPECT_TRUE(menu->findChild<QAction*>(open)->isEnabled()) << open;
    for (const char* closed : {"HideRecipeActionDel", "HideRecipeActionBookAdd", "HideRecipeActionExport",
                               "HideParentRecipeCreateRelationship"})
        EXPECT_FALSE(menu->findChild<QAction*>(closed)->isEnabled()) << closed;
    // The Delete key does not get round the menu.
    window.RunCommand("HideRecipeActionDel");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_REZ_KOPF WHERE FlagDeleted<>0"), 1);
}

TEST_F(FrmSearchandDisplayTest, DeletingTheOnlyHitLeavesAnEmptyListWithoutAnotherMessage)
{
    FrmSearchandDisplay window;
    ASSERT_TRUE(Search(window, "Apfelstrudel"));
    ASSERT_EQ(Titles(window), QStringList{"Apfelstrudel"});
    Results(window).setCurrentItem(Results(window).topLevelItem(0));
    m_ui.Answering(Answer::Yes);
    window.RunCommand("HideRecipeActionDel");
    EXPECT_EQ(Results(window).topLevelItemCount(), 0);
    ASSERT_EQ(m_ui.shown.size(), 1u);
    EXPECT_TRUE(m_ui.shown[0].Question);
}

TEST_F(FrmSearchandDisplayTest, TemplateAndTrashModesListTheirRecipesAndOpenThem)
{
    std::vector<std::pair<long, bool>> opened;
    {
        FrmSearchandDisplay window(FrmSearchandDisplay::Mode::Templates);
        EXPECT_EQ(Titles(window), QStringList{"Grundteig Vorlage"});
        window.SetOpenRecipe([&](long id, bool fromTemplate) { opened.emplace_back(id, fromTemplate); });
        window.OpenSelected();
    }
    {
        FrmSearchandDisplay window(FrmSearchandDisplay::Mode::Trash);
        EXPECT_EQ(Titles(window), QStringList{"Alter Käsekuchen"});
        window.SetOpenRecipe([&](long id, bool fromTemplate) { opened.emplace_back(id, fromTemplate); });
        m_ui.Answering(Answer::Yes);
        window.OpenSelected();
        EXPECT_EQ(LastMessage(), "Soll das Rezept wirklich aus dem Papierkorb geholt werden ?");
        EXPECT_TRUE(Titles(window).isEmpty());
    }
    EXPECT_EQ(opened, (std::vector<std::pair<long, bool>>{{6, true}, {7, false}}));
}

// Open lists and the display pane follow recipes saved, deleted or restored elsewhere.
TEST_F(FrmSearchandDisplayTest, OpenListsFollowRecipesChangedElsewhere)
{
    const auto rename = [] {
        ClRecipe recipe;
        ASSERT_TRUE(recipe.LoadByID(2, 2));
        recipe.SetTitle("Käsekuchen vom Blech");
        recipe.SetZubereitung("Auf dem Blech backen.");
        ASSERT_TRUE(recipe.Save());
    };
    const auto trash = [] { ASSERT_TRUE(ClRecipe().Delete(true, "2,1")); };
    const auto emptyTrash = [&] {
        m_ui.Answering(Answer::Yes);
        ASSERT_TRUE(RecipeTrash().EmptyTrash(clBook::kTrash, Buttons::YesNo));
    };
    const auto restore = [] { ASSERT_TRUE(ClRecipe().Undelete("7")); };
    const struct
    {
        const char* name;
        FrmSearchandDisplay::Mode mode;
        std::function<void()> change;
        QStringList titles;
        const char* shown; // start of the display pane afterwards
    } cases[] = {
        {"saved",
         FrmSearchandDisplay::Mode::Search,
         rename,
         {"Käsekuchen vom Blech", "Käsefondue [*]", "Käsefondue mit Weißwein", "Käsespätzle"},
         "Käsekuchen vom Blech"},
        {"trashed",
         FrmSearchandDisplay::Mode::Search,
         trash,
         {"Käsefondue [*]", "Käsefondue mit Weißwein"},
         "Käsefondue"},
        {"restored",
         FrmSearchandDisplay::Mode::Trash,
         restore,
         {"Käsekuchen vom Blech", "Käsespätzle"},
         "Käsekuchen vom Blech"},
        {"trash emptied", FrmSearchandDisplay::Mode::Trash, emptyTrash, {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClearRecipeCache();
        FrmSearchandDisplay window(c.mode);
        if (c.mode == FrmSearchandDisplay::Mode::Search) {
            ASSERT_TRUE(Search(window, "käse"));
        }
        ASSERT_GT(Results(window).topLevelItemCount(), 0);
        Results(window).setCurrentItem(Results(window).topLevelItem(0));
        c.change();
        EXPECT_EQ(Titles(window), c.titles);
        EXPECT_TRUE(Child<QTextBrowser>(window, "txtDisplay")->toPlainText().startsWith(c.shown))
            << Child<QTextBrowser>(window, "txtDisplay")->toPlainText().toStdString();
        EXPECT_EQ(Child<QLabel>(window, "lblCount")->text(), QString("%1 Rezepte").arg(c.titles.size()));
    }
}

// A recipe deleted for good elsewhere cannot be restored from an open trash list; the one that is
// restored opens in the editor as it was stored.
TEST_F(FrmSearchandDisplayTest, ARecipeTakenOutOfTheTrashOpensInTheEditor)
{
    ASSERT_TRUE(ClRecipe().Delete(true, "3"));
    FrmSearchandDisplay window(FrmSearchandDisplay::Mode::Trash);
    ASSERT_EQ(Titles(window), (QStringList{"Alter Käsekuchen", "Apfelstrudel"}));
    Results(window).setCurrentItem(Results(window).topLevelItem(0));
    ASSERT_TRUE(ClRecipe().Delete(false, "7"));
    ASSERT_EQ(Titles(window), QStringList{"Apfelstrudel"});
    m_ui.Answering(Answer::Yes);
    window.OpenSelected();
    std::unique_ptr<FrmMenuData> editor(OpenWindow<FrmMenuData>());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(Child<QLineEdit>(*editor, "txtTitle")->text(), "Apfelstrudel");
    EXPECT_EQ(m_ui.shown.size(), 1u) << m_ui.shown.back().Text;
}

// The options window writes each option at once, the settings read it back, and every open view
// of quantities (the recipe pane, the editor's grid) shows them again in the new form: a pound
// reads "454 g" in metric display, with the unit's short name as the table spells it.
TEST_F(FrmSearchandDisplayTest, OptionsApplyAtOnceToTheSettingsAndTheOpenViews)
{
    WorkDb().Execute(
        "INSERT INTO T_UNIT (ID,UnitShortD,UnitNameD,UnitShortUK,UnitNameUK,UnitShortUS,UnitNameUS,"
        "ConvMetrisch,ConvMetrischUS) VALUES (3,'g','Gramm','lb','pound','lb','pound',453.5924,1)");
    WorkDb().Execute("UPDATE T_REZ_ZUTAT SET ZutAnz=1,ZutEinh=3 WHERE ID=1 AND No=1");
    WorkDb().Execute("UPDATE T_REZ_ZUTAT SET ZutAnz=1.5 WHERE ID=1 AND No=2");
    ClearRecipeCache();
    FrmSearchandDisplay window;
    window.ShowRecipe(1);
    FrmMenuData editor(1);
    frmOptions1 options;
    const auto pane = [&] { return Child<QTextBrowser>(window, "txtDisplay")->toPlainText().simplified(); };
    const auto cell = [&](int row, int column) {
        return Child<QTableWidget>(editor, "grdIngredients")->item(row, column)->text();
    };

    const struct
    {
        const char* name;
        std::function<void()> change;
        const char* paneLine; // the pound line in the pane
        const char* poundUnit;
        const char* poundQuantity;
        const char* flour; // 1.5 EL
    } steps[] = {
        {"Brüche", [&] { Child<QRadioButton>(options, "optFractions")->setChecked(true); },
         "454 g Emmentaler", "Gramm [g]", "453 3/5", "1 1/2"},
        {"Dezimal", [&] { Child<QRadioButton>(options, "optDecimals")->setChecked(true); },
         "454 g Emmentaler", "Gramm [g]", "453,592", "1,5"},
        {"Britisch", [&] { Child<QComboBox>(options, "cboUnitSystem")->setCurrentIndex(1); },
         "1 lb Emmentaler", "pound [lb]", "1", "1,5"},
        {"Amerikanisch", [&] { Child<QComboBox>(options, "cboUnitSystem")->setCurrentIndex(2); },
         "1 lb Emmentaler", "pound [lb]", "1", "1,5"},
        {"Metrisch", [&] { Child<QComboBox>(options, "cboUnitSystem")->setCurrentIndex(0); },
         "454 g Emmentaler", "Gramm [g]", "453,592", "1,5"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        step.change();
        EXPECT_TRUE(pane().contains(QString::fromUtf8(step.paneLine))) << pane().toStdString();
        EXPECT_TRUE(pane().contains(QString::fromUtf8(step.flour) + " ")) << pane().toStdString();
        EXPECT_EQ(cell(0, FrmMenuData::ColMenge), QString::fromUtf8(step.poundQuantity));
        EXPECT_EQ(cell(0, FrmMenuData::ColEinheit), QString::fromUtf8(step.poundUnit));
        EXPECT_EQ(cell(1, FrmMenuData::ColMenge), QString::fromUtf8(step.flour));
    }
    EXPECT_FALSE(editor.HasUnsavedChanges());

    Child<QComboBox>(options, "cboUnitSystem")->setCurrentIndex(2);
    Child<QCheckBox>(options, "chkExportNoPictures")->setChecked(true);
    Child<QCheckBox>(options, "chkBackupReminder")->setChecked(false);
    // Notes printed besides the categories of the default; the one-part ingredient layout.
    Child<QListWidget>(options, "lstPrintSections")->item(6)->setCheckState(Qt::Checked);
    Child<QCheckBox>(options, "chkPrintStandardMode")->setChecked(false);
    const UserSettings stored = ReadUserSettings();
    EXPECT_EQ(stored.EditMasse, 2);
    EXPECT_EQ(m_context.Options.EditMasse, 2);
    EXPECT_EQ(stored.ExportNoPictures, 1);
    EXPECT_FALSE(stored.BackupReminder);
    EXPECT_EQ(stored.PrintSimple, clsRecipePrint::kCategories | clsRecipePrint::kNotes);
    EXPECT_EQ(m_context.Options.PrintSimple, stored.PrintSimple);
    EXPECT_EQ(stored.PrintStandardMode, 0);
    EXPECT_NE(stored.EditFlags & kEditFlagDecimalMode, 0);

    // Silenced questions are listed and asked again after the reset.
    m_ui.AnsweringForGood(Answer::Yes);
    AskRemembered("SaveNoOrigin", "Frage?", Buttons::YesNo, Answer::Yes, MsgIcon::Question, "");
    frmOptions1 again;
    auto* questions = Child<QListWidget>(again, "lstQuestions");
    EXPECT_TRUE(questions->item(1)->text().endsWith("wird nicht mehr gefragt"));
    Click(again, "cmdAskAgain");
    EXPECT_FALSE(HasRememberedAnswer("SaveNoOrigin"));
    EXPECT_TRUE(questions->item(1)->text().endsWith("wird gefragt"));
}

} // namespace
} // namespace pf::test
