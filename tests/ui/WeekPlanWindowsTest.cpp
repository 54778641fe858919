// The weekly-plan windows driven as a cook uses them: a plan for three levels made with the
// wizard, filled in the editor (from the candidates, as free text and by the proposal), approved,
// and the next week's candidates without the recipes just served.

#include "ui/FrmWPApprove.h"
#include "ui/FrmWPEdit.h"
#include "ui/frmWPNewWizard.h"

#include "db/Database.h"
#include "tests/support/NewDatabase.h"
#include "tests/ui/UiTestSupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QTableWidget>

#include <set>

namespace pf {
namespace {

class WeekPlanWindows : public test::UiTest
{
protected:
    void SetUp() override
    {
        db = test::NewSchemaDatabase(m_dir.File("plan.db"));
        db->Execute("INSERT INTO T_WPLevel (ID,WPOrder,WPName,WPCost,WPPrint,WPRepeat) VALUES "
                    "(1,1,'Suppe',2.5,-1,0),(2,2,'Hauptgang',6.9,-1,0),(3,3,'Dessert',1.8,-1,0)");
        db->Execute("INSERT INTO T_CAT (ID,CatNameD,CatType,CatParent,LaenderCode,ErfassungsFlag,CatWPLevel,"
                    "CatWPRepeat) VALUES (50,'Suppen',1,0,0,-1,1,1),(51,'Hauptgerichte',1,0,0,-1,2,2),"
                    "(52,'Nachspeisen',1,0,0,-1,3,1)");
        long id = 0;
        for (long category : {50, 51, 52})
            for (int n = 1; n <= 6; ++n) {
                ++id;
                db->Execute(
                    "INSERT INTO T_REZ_KOPF (ID,RezTitle,RezYield,Template,FlagDeleted,RezParent,WPExclude) "
                    "VALUES (?,?,4,0,0,0,0)",
                    {id, "Gericht " + std::to_string(category) + "-" + std::to_string(n)});
                db->Execute("INSERT INTO T_REZ_CAT_NDX (ID,CatID,CatPrimary,[No]) VALUES (?,?,-1,1)",
                            {id, category});
            }
    }
    ClMenu NewPlanWithWizard(const char* start, int days)
    {
        frmWPNewWizard wizard(db.get());
        Child<QLineEdit>(wizard, "txtStartDate")->setText(start);
        Child<QSpinBox>(wizard, "spnDays")->setValue(days);
        m_ui.Answering(Answer::Yes);
        Click(wizard, "cmdOK");
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

    std::unique_ptr<Database> db;
};

TEST_F(WeekPlanWindows, PlanFillApproveAndSeeServedRecipesExcludedNextWeek)
{
    {
        frmWPNewWizard wizard(db.get());
        Child<QLineEdit>(wizard, "txtStartDate")->setText("29.12.2025");
        EXPECT_EQ(Child<QLabel>(wizard, "lblWeekday")->text(), "Montag, KW 1");
    }
    FrmWPEdit editor(NewPlanWithWizard("07.12.2026", 5), db.get());
    auto* grid = Child<QTableWidget>(editor, "grdPlan");
    ASSERT_EQ(grid->rowCount(), 3);
    ASSERT_EQ(grid->columnCount(), 5);
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), "Montag\n07.12.2026");

    // Monday's soup from the candidates, Tuesday's dessert as free text, the rest proposed.
    editor.SelectCell(1, 1);
    auto* candidates = Child<QListWidget>(editor, "lstCandidates");
    ASSERT_EQ(candidates->count(), 6);
    candidates->setCurrentRow(5);
    Click(editor, "cmdPlace");
    EXPECT_EQ(grid->item(0, 0)->text(), "Gericht 50-6");
    editor.SelectCell(3, 2);
    Child<QLineEdit>(editor, "txtGeneric")->setText("Obst der Saison");
    Click(editor, "cmdGeneric");
    EXPECT_EQ(grid->item(2, 1)->text(), "Obst der Saison [Generisch]");
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
    m_ui.Answering(Answer::Yes);
    Click(approve, "cmdApprove");
    EXPECT_TRUE(Child<QLabel>(approve, "lblStatus")->text().startsWith("Der Wochenplan wurde am "));
    EXPECT_FALSE(editor.Plan().IsChanged());

    std::set<long> servedMains;
    for (int day = 1; day <= 5; ++day)
        servedMains.insert(editor.Plan().CourseRezID(editor.Plan().WPCourse(day, 2)));
    EXPECT_EQ(servedMains.size(), 5u);

    // Next Monday the main dishes (two weeks' interval) served this week are not offered.
    FrmWPEdit next(NewPlanWithWizard("14.12.2026", 5), db.get());
    next.SelectCell(2, 1);
    const std::set<long> offered = Candidates(next);
    EXPECT_EQ(offered.size(), 1u);
    for (long id : servedMains)
        EXPECT_EQ(offered.count(id), 0u) << id;
    Child<QCheckBox>(next, "chkNoDateFilter")->setChecked(true);
    EXPECT_EQ(Candidates(next).size(), 6u);
    EXPECT_TRUE(m_ui.AllAnswersUsed());
}

TEST_F(WeekPlanWindows, LeavingWithUnsavedChangesAsks)
{
    auto* editor = new FrmWPEdit(NewPlanWithWizard("07.12.2026", 3), db.get());
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

} // namespace
} // namespace pf
