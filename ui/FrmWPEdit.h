#pragma once
// The weekly plan editor: the plans by year and month on the left, the chosen plan as a table of
// levels (rows) and days (columns) with the dish of each cell, and beside it the candidates of the
// chosen cell (FrmWPEditRezSearch): the recipes of the level's category that its repeat interval
// allows on that day. Dishes are placed from the candidates, entered without recipe
// (FrmWPEditGeneric), proposed by the repeat rules or removed; a day opens in the day editor
// (FrmWPEditDay), or dragged in from the search results. The grid shows the days as columns or,
// by the user's display mode, as rows. New plans come from the wizard, the levels from the
// settings (frmWPOptions); approval is FrmWPApprove. Saving writes the plan in one transaction.

#include "model/RecipeChanges.h"
#include "planning/ClMenu.h"
#include "planning/WeekPlanRules.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSplitter;
class QTableWidget;
class QTreeWidget;

namespace pf {

// The candidate list of one cell, with the chosen candidate's last use and parent, and the
// command that starts a variation (a child copy) of it in the recipe editor.
class FrmWPEditRezSearch : public QWidget
{
    Q_OBJECT
public:
    explicit FrmWPEditRezSearch(QWidget* parent = nullptr);
    // Lists the candidates of a level's category on a day (serial); category 0 empties the list.
    void Fill(Database* db, long category, long weeks, long day);
    // The recipe chosen in the list, 0 when none.
    long ChosenRecipe() const;
    // Asks, then opens the chosen recipe in the editor as a child copy.
    void cmdVariation_Click();
    // Shows or hides the variation command.
    void AllowVariation(bool allow);
    QListWidget* List() const { return m_list; }
    QCheckBox* NoDateFilter() const { return m_noDateFilter; }

signals:
    void Refill();

private:
    void ShowDetail();

    QLabel* m_caption = nullptr;
    QCheckBox* m_noDateFilter = nullptr;
    QListWidget* m_list = nullptr;
    QLabel* m_detail = nullptr;
    QPushButton* m_variation = nullptr;
    std::vector<WPCandidate> m_candidates; // in list order
};

class FrmWPEdit : public QWidget
{
    Q_OBJECT
public:
    // The editor of a plan (loaded or just created); db null: the work database.
    explicit FrmWPEdit(ClMenu plan, Database* db = nullptr, QWidget* parent = nullptr);
    // The editor opened on the plan that starts last (empty when there is none).
    explicit FrmWPEdit(Database* db = nullptr, QWidget* parent = nullptr);

    ClMenu& Plan() { return m_plan; }
    // Opens a stored plan, asking first when the one shown has unsaved changes; false when the
    // user keeps the shown one or the plan cannot be loaded.
    bool OpenPlan(long id);
    // Chooses the cell of a level (1-based) and day (1-based).
    void SelectCell(int level, int day);
    // Places the chosen candidate into the chosen cell.
    void cmdPlace_Click();
    // Places dropped recipes from a cell on, one per day at that level, up to the plan's last
    // day; the number placed.
    int DropRecipes(int level, int day, const std::vector<long>& recipes);
    // Shows the days as rows (display mode 1) or as columns (0), and keeps the choice.
    void SetDaysAsRows(bool daysAsRows);
    // Asks for a dish without recipe for the chosen cell.
    void cmdGeneric_Click();
    void cmdRemove_Click();
    // Fills the empty cells as the repeat rules propose.
    void cmdPropose_Click();
    bool cmdSave_Click();
    void cmdApprove_Click();
    // A new plan from the wizard.
    void cmdNew_Click();
    // The chosen day in the day editor.
    void cmdDay_Click();
    // The settings of the levels.
    void cmdOptions_Click();
    // The plan in the print languages, in the print preview.
    void cmdPrint_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Build();
    void BuildTree(QSplitter* outer);
    void BuildGrid(QSplitter* splitter);
    void RefreshTree();
    void ShowPlan();
    void ShowCandidates();
    int CurrentLevel() const;
    int CurrentDay() const;
    // True when the grid shows the days as rows.
    bool DaysAsRows() const;
    // True when nothing unsaved would be lost, or the user agrees to lose it.
    bool MayLeavePlan();

    ClMenu m_plan;
    Database* m_db;
    QTreeWidget* m_tree = nullptr;
    QLabel* m_head = nullptr;
    QTableWidget* m_table = nullptr;
    FrmWPEditRezSearch* m_search = nullptr;
    QCheckBox* m_daysAsRows = nullptr;
    bool m_gridDaysAsRows = false;            // the layout the grid shows
    std::vector<QPushButton*> m_planCommands; // need a plan
    std::unique_ptr<RecipeChangeSubscription> m_changes;
    // True when the logged-in user holds the right the button needs.
    static bool MayUse(const QPushButton* button);
};

} // namespace pf
