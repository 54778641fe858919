// The weekly-plan windows driven as a cook uses them: a plan for three levels made with the
// wizard, filled in the editor (from the candidates, as a dish without recipe and by the
// proposal), approved, and the next week's candidates without the recipes just served; the day
// editor and the level settings; recipes dropped onto the grid in either layout, and a variation
// of a candidate started from the candidate pane.

#include "ui/FrmMenuData.h"
#include "ui/FrmWPApprove.h"
#include "ui/FrmWPEdit.h"
#include "ui/FrmWPEditDay.h"
#include "ui/FrmWPEditGeneric.h"
#include "ui/RecipeDrag.h"
#include "ui/frmWPNewWizard.h"
#include "ui/frmWPOptions.h"

#include "planning/clWPLanguage.h"
#include "tests/planning/WeekPlanDb.h"
#include "tests/ui/UiTestSupport.h"

#include <QDropEvent>

#include <set>

namespace pf {
namespace {

class WeekPlanWindows : public test::UiDbTest
{
protected:
    // The plan database is the work database, so that the recipe editor opened from the
    // candidates works on the same recipes.
    void SetUp() override
    {
        db = &WorkDb();
        test::AddPlanLevels(*db, 6, true);
    }
    ClMenu NewPlanWithWizard(const char* start, int days)
    {
        frmWPNewWizard wizard(db);
        Child<QLineEdit>(wizard, "txtStartDate")->setText(start);
        Child<QSpinBox>(wizard, "spnDays")->setValue(days);
        Click(wizard, "cmdOK", Answer::Yes);
        EXPECT_NE(wizard.CreatedID(), 0);
        return wizard.TakePlan();
    }
    std::set<long> Candidates(FrmWPEdit& editor)
    {
        std::set<long> ids;
        auto* list = Child<QListWidget>(editor, "lstCandidates");
        for (int i = 0; i < list->count(); ++i)
            ids.insert(list->item(i)->data(Qt::UserRole).toLongLong());
        return ids;
    }

    // Answers the dialog for a dish without recipe, once it is up, with a name and description.
    static void AnswerGeneric(const char* title, const char* description)
    {
        test::OnModal<FrmWPEditGeneric>([title, description](FrmWPEditGeneric& dialog) {
            Child<QLineEdit>(dialog, "txtTitle")->setText(title);
            Child<QPlainTextEdit>(dialog, "txtDescription")->setPlainText(description);
            Click(dialog, "cmdOK");
        });
    }
    Database* db = nullptr;
};

TEST_F(WeekPlanWindows, PlanFillApproveAndSeeServedRecipesExcludedNextWeek)
{
    {
        frmWPNewWizard wizard(db);
        Child<QLineEdit>(wizard, "txtStartDate")->setText("29.12.2025");
        EXPECT_EQ(Child<QLabel>(wizard, "lblWeekday")->text(), "Montag, KW 1");
    }
    FrmWPEdit editor(NewPlanWithWizard("07.12.2026", 5), db);
    auto* grid = Child<QTableWidget>(editor, "grdPlan");
    ASSERT_EQ(grid->rowCount(), 3);
    ASSERT_EQ(grid->columnCount(), 5);
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), "Mo 07.12.2026");
    EXPECT_EQ(grid->horizontalHeaderItem(0)->toolTip(), "Montag");

    // Monday's soup from the candidates, Tuesday's dessert as free text, the rest proposed.
    editor.SelectCell(1, 1);
    auto* candidates = Child<QListWidget>(editor, "lstCandidates");
    ASSERT_EQ(candidates->count(), 6);
    candidates->setCurrentRow(5);
    Click(editor, "cmdPlace");
    EXPECT_EQ(grid->item(0, 0)->text(), "Gericht 50-6");
    editor.SelectCell(3, 2);
    AnswerGeneric("Obst der Saison", "Äpfel und Birnen aus der Region");
    Click(editor, "cmdGeneric");
    EXPECT_EQ(grid->item(2, 1)->text(), "Obst der Saison [Generisch]");
    EXPECT_EQ(grid->item(2, 1)->toolTip(), "Äpfel und Birnen aus der Region");
    Click(editor, "cmdPropose");
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 5; ++column)
            EXPECT_FALSE(grid->item(row, column)->text().isEmpty()) << row << "," << column;
    ASSERT_TRUE(editor.cmdSave_Click());

    FrmWPApprove approve;
    approve.SetWP(editor.Plan());
    EXPECT_EQ(Child<QLabel>(approve, "lblStatus")->text(),
              "Der Wochenplan ist aktuell noch nicht genehmigt.");
    EXPECT_EQ(Child<QLabel>(approve, "lblGeneric")->text(), "Liste der generischen Rezepte");
    EXPECT_EQ(Child<QTableWidget>(approve, "grdBreaches")->rowCount(), 0);
    Click(approve, "cmdApprove", Answer::Yes);
    EXPECT_TRUE(Child<QLabel>(approve, "lblStatus")->text().startsWith("Der Wochenplan wurde am "));
    EXPECT_FALSE(editor.Plan().IsChanged());

    // Next Monday the five main dishes (two weeks' interval) served this week are not offered.
    FrmWPEdit next(NewPlanWithWizard("14.12.2026", 5), db);
    next.SelectCell(2, 1);
    EXPECT_EQ(Candidates(next).size(), 1u);
    Child<QCheckBox>(next, "chkNoDateFilter")->setChecked(true);
    EXPECT_EQ(Candidates(next).size(), 6u);
    EXPECT_TRUE(m_ui.AllAnswersUsed());
}

TEST_F(WeekPlanWindows, DayEditorChangesTheEditorsPlan)
{
    FrmWPEdit editor(NewPlanWithWizard("07.12.2026", 3), db);
    // The editor opens the day editor as a modal dialog on its own plan; here it is driven directly.
    FrmWPEditDay day(editor.Plan(), 2, db);
    EXPECT_EQ(Child<QLabel>(day, "lblDay")->text(), "Dienstag, 08.12.2026");
    auto* levels = Child<QTableWidget>(day, "grdDay");
    ASSERT_EQ(levels->rowCount(), 3);
    EXPECT_EQ(levels->item(0, 2)->text(), "2,50");
    day.SelectLevel(2);
    Child<QListWidget>(day, "lstCandidates")->setCurrentRow(0);
    Click(day, "cmdPlace");
    EXPECT_EQ(levels->item(1, 1)->text(), "Gericht 51-1");
    AnswerGeneric("Grießbrei", "");
    day.SelectLevel(3);
    Click(day, "cmdGeneric");
    EXPECT_EQ(levels->item(2, 1)->text(), "Grießbrei [Generisch]");
    Click(day, "cmdNextDay");
    EXPECT_EQ(Child<QLabel>(day, "lblDay")->text(), "Mittwoch, 09.12.2026");
    EXPECT_FALSE(Child<QPushButton>(day, "cmdNextDay")->isEnabled());
    EXPECT_EQ(levels->item(1, 1)->text(), "");

    EXPECT_NE(editor.Plan().WPCourse(2, 2), 0);
    EXPECT_TRUE(editor.Plan().IsChanged());
    editor.Plan().WPApprove(true);
    day.SetDay(1);
    EXPECT_EQ(Child<QLabel>(day, "lblDay")->text(), "Montag, 07.12.2026 (bereits genehmigt)");
}

TEST_F(WeekPlanWindows, PlanListOpensTheNewestPlanAndAnotherOnRequest)
{
    const long first = NewPlanWithWizard("07.12.2026", 3).id();
    const long second = NewPlanWithWizard("04.01.2027", 5).id();
    FrmWPEdit editor(db);
    EXPECT_EQ(editor.Plan().id(), second);
    auto* tree = Child<QTreeWidget>(editor, "tvPlans");
    ASSERT_EQ(test::TopLevelTexts(tree), (QStringList{"2026", "2027"}));
    EXPECT_EQ(tree->topLevelItem(0)->child(0)->text(0), "Dezember");
    EXPECT_EQ(tree->topLevelItem(1)->child(0)->text(0), "Januar");
    EXPECT_EQ(Child<QTableWidget>(editor, "grdPlan")->columnCount(), 5);

    // Leaving unsaved changes asks; No keeps the plan shown.
    editor.SelectCell(1, 1);
    Child<QListWidget>(editor, "lstCandidates")->setCurrentRow(0);
    Click(editor, "cmdPlace");
    m_ui.Answering(Answer::No);
    EXPECT_FALSE(editor.OpenPlan(first));
    EXPECT_EQ(editor.Plan().id(), second);
    m_ui.Answering(Answer::Yes);
    EXPECT_TRUE(editor.OpenPlan(first));
    EXPECT_EQ(editor.Plan().id(), first);
    EXPECT_TRUE(m_ui.AllAnswersUsed());
}

TEST_F(WeekPlanWindows, SettingsRewriteLevelsAndCategories)
{
    {
        frmWPOptions options(db);
        auto* grid = Child<QTableWidget>(options, "grdLevels");
        ASSERT_EQ(grid->rowCount(), 3);
        EXPECT_EQ(grid->item(0, 1)->text(), "2,50");
        EXPECT_EQ(grid->item(1, 4)->text(), "Hauptgerichte");
        EXPECT_EQ(grid->item(1, 5)->text(), "Nach 2 Wochen wiederholbar");

        // The dessert moves to the top, stops printing and takes the soups' category.
        options.SelectLevel(3);
        Click(options, "cmdUp");
        Click(options, "cmdUp");
        Child<QCheckBox>(options, "chkPrint")->setChecked(false);
        auto* category = Child<QComboBox>(options, "cboCategory");
        category->setCurrentIndex(category->findText("Suppen"));
        Child<QSpinBox>(options, "spnWeeks")->setValue(3);
        EXPECT_EQ(grid->item(0, 2)->text(), "Nein");
        EXPECT_EQ(grid->item(1, 4)->text(), ""); // the soup level let its category go
        // The main course goes; a new level comes.
        options.SelectLevel(3);
        Click(options, "cmdDelete", Answer::Yes);
        Click(options, "cmdNew");
        Child<QLineEdit>(options, "txtName")->setText("Salatteller");
        Child<QLineEdit>(options, "txtName")->textEdited("Salatteller");
        Child<QLineEdit>(options, "txtCost")->setText("4,2");
        Child<QLineEdit>(options, "txtCost")->editingFinished();
        Child<QCheckBox>(options, "chkLanguage2")->setChecked(true);
        Click(options, "cmdOK");
        EXPECT_EQ(options.result(), QDialog::Accepted);
    }
    clsWPLevel levels(db);
    ASSERT_TRUE(levels.Load());
    ASSERT_EQ(levels.Max(), 3);
    EXPECT_EQ(levels.Name(1), "Dessert");
    EXPECT_TRUE(levels.NoPrint(1));
    EXPECT_EQ(levels.Name(2), "Suppe");
    EXPECT_EQ(levels.Name(3), "Salatteller");
    EXPECT_EQ(levels.Cost(3), Decimal4::Parse("4.2"));
    EXPECT_EQ(levels.CatSelect(1), 50);
    EXPECT_EQ(levels.CatRepeat(1), 3);
    EXPECT_EQ(levels.CatSelect(2), 0);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_CAT WHERE CatWPLevel<>0"), 1);
    EXPECT_EQ(clWPLanguage::PrintLanguages(), (std::vector<int>{1, 2}));
    EXPECT_TRUE(m_ui.AllAnswersUsed());
}

TEST_F(WeekPlanWindows, LeavingWithUnsavedChangesAsks)
{
    auto* editor = new FrmWPEdit(NewPlanWithWizard("07.12.2026", 3), db);
    editor->SelectCell(1, 1);
    Child<QListWidget>(*editor, "lstCandidates")->setCurrentRow(0);
    Click(*editor, "cmdPlace");
    m_ui.Answering(Answer::No);
    editor->show();
    editor->close();
    EXPECT_TRUE(editor->isVisible());
    m_ui.Answering(Answer::Yes);
    editor->close();
    EXPECT_FALSE(editor->isVisible());
    delete editor;
    EXPECT_TRUE(m_ui.AllAnswersUsed());
}

// Drops drag data onto a cell of the plan grid as the mouse would; true when it was taken.
bool DropOnCell(QTableWidget* grid, int row, int column, QMimeData* data)
{
    const QPoint at = grid->visualItemRect(grid->item(row, column)).center();
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid->viewport(), &enter);
    QDropEvent drop(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid->viewport(), &drop);
    return enter.isAccepted() && drop.isAccepted();
}

TEST_F(WeekPlanWindows, DroppedRecipesFillTheirLevelFromTheCellOnInEitherLayout)
{
    FrmWPEdit editor(NewPlanWithWizard("07.12.2026", 5), db);
    editor.resize(1200, 700);
    editor.show();
    auto* grid = Child<QTableWidget>(editor, "grdPlan");
    // Levels as rows: main courses 7 and 8 from Thursday on; the third finds no day left.
    std::unique_ptr<QMimeData> mains(RecipeDragData({7, 8, 9}));
    ASSERT_TRUE(DropOnCell(grid, 1, 3, mains.get()));
    EXPECT_EQ(grid->item(1, 3)->text(), "Gericht 51-1");
    EXPECT_EQ(grid->item(1, 4)->text(), "Gericht 51-2");
    EXPECT_EQ(editor.Plan().CoursesCount(), 2);
    QMimeData notRecipes;
    notRecipes.setText("7 Teller");
    EXPECT_FALSE(DropOnCell(grid, 0, 0, &notRecipes));
    EXPECT_EQ(grid->item(0, 0)->text(), "");

    // Days as rows: the same dishes turn round, the choice is kept for the next editor.
    editor.SelectCell(2, 4);
    Child<QCheckBox>(editor, "chkDaysAsRows")->setChecked(true);
    ASSERT_EQ(grid->rowCount(), 5);
    ASSERT_EQ(grid->columnCount(), 3);
    EXPECT_EQ(grid->verticalHeaderItem(3)->text(), "Do 10.12.2026");
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), "Hauptgang");
    EXPECT_EQ(grid->item(3, 1)->text(), "Gericht 51-1");
    EXPECT_EQ(grid->currentRow(), 3);
    EXPECT_EQ(grid->currentColumn(), 1);
    std::unique_ptr<QMimeData> dessert(RecipeDragData({13}));
    ASSERT_TRUE(DropOnCell(grid, 0, 2, dessert.get()));
    EXPECT_EQ(editor.Plan().CourseRezID(editor.Plan().WPCourse(1, 3)), 13);
    EXPECT_EQ(ReadSetting("", "WPDisplayMode", "0", false), "1");
    FrmWPEdit again(db);
    EXPECT_EQ(Child<QTableWidget>(again, "grdPlan")->rowCount(), 5);
}

TEST_F(WeekPlanWindows, CandidatePaneTellsLastUseAndParentAndStartsAChildCopy)
{
    db->Execute("UPDATE T_REZ_KOPF SET WPExclude=? WHERE ID=1", {DateSerial::FromParts(2026, 11, 2)});
    db->Execute("UPDATE T_REZ_KOPF SET RezParent=1 WHERE ID=2");
    FrmWPEdit editor(NewPlanWithWizard("07.12.2026", 3), db);
    editor.SelectCell(1, 1);
    auto* candidates = Child<QListWidget>(editor, "lstCandidates");
    auto* detail = Child<QLabel>(editor, "lblDetail");
    EXPECT_FALSE(Child<QPushButton>(editor, "cmdVariation")->isEnabled());
    const auto rowOf = [candidates](long id) {
        for (int i = 0; i < candidates->count(); ++i)
            if (candidates->item(i)->data(Qt::UserRole).toLongLong() == id)
                return i;
        return -1;
    };
    candidates->setCurrentRow(rowOf(1));
    EXPECT_EQ(detail->text(), "Zuletzt genutzt: 02.11.2026");
    candidates->setCurrentRow(rowOf(2));
    EXPECT_EQ(detail->text(), "Noch nie genutzt\nBasiert auf: Gericht 50-1");

    // No leaves it; Yes opens the editor, whose save stores a child and keeps the original.
    Click(editor, "cmdVariation", Answer::No);
    EXPECT_EQ(LastMessage(), "Es wird jetzt das Rezept \"Gericht 50-2\" angezeigt. Dieses kann "
                             "modifiziert und dann als Kind-Kopie gespeichert werden. Fortfahren?");
    const auto recipeEditors = [] {
        std::vector<FrmMenuData*> found;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* e = qobject_cast<FrmMenuData*>(w))
                found.push_back(e);
        return found;
    };
    EXPECT_TRUE(recipeEditors().empty());
    Click(editor, "cmdVariation", Answer::Yes);
    ASSERT_EQ(recipeEditors().size(), 1u);
    std::unique_ptr<FrmMenuData> recipe(recipeEditors().front());
    EXPECT_TRUE(recipe->windowTitle().endsWith("(Kind-Kopie)")) << recipe->windowTitle().toStdString();
    recipe->Recipe().SetTitle("Gericht 50-2 scharf");
    recipe->Recipe().SetZubereitung("Mit Chili abschmecken.");
    m_ui.Answering(Answer::Yes).Answering(Answer::Yes).Answering(Answer::Yes);
    ASSERT_TRUE(recipe->cmdSave_Click());
    const long child = recipe->Recipe().id();
    EXPECT_NE(child, 2);
    EXPECT_EQ(Scalar("SELECT RezParent FROM T_REZ_KOPF WHERE ID=" + std::to_string(child)), 2);
    EXPECT_EQ(db->Scalar("SELECT RezTitle FROM T_REZ_KOPF WHERE ID=2").AsText(), "Gericht 50-2");
    EXPECT_FALSE(recipe->windowTitle().endsWith("(Kind-Kopie)"));
    QCoreApplication::processEvents();
    candidates->setCurrentRow(rowOf(child));
    EXPECT_EQ(detail->text(), "Noch nie genutzt\nBasiert auf: Gericht 50-2");
}

} // namespace
} // namespace pf
