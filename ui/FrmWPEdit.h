#pragma once
// The weekly plan editor: a table of levels (rows) and days (columns) with the dish of each cell.
// Beside it the candidates of the chosen cell (FrmWPEditRezSearch): the recipes of the level's
// category that its repeat interval allows on that day. Dishes are placed from the candidates,
// typed as free text, proposed by the repeat rules, removed; saving writes the plan in one
// transaction. The plan is approved in FrmWPApprove.

#include "planning/ClMenu.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTableWidget;

namespace pf {

// The candidate list of one cell.
class FrmWPEditRezSearch : public QWidget
{
    Q_OBJECT
public:
    explicit FrmWPEditRezSearch(QWidget* parent = nullptr);
    // Lists the candidates of a level's category on a day (serial); category 0 empties the list.
    void Fill(Database* db, long category, long weeks, long day);
    // The recipe chosen in the list, 0 when none.
    long ChosenRecipe() const;
    QListWidget* List() const { return m_list; }
    QCheckBox* NoDateFilter() const { return m_noDateFilter; }

signals:
    void Refill();

private:
    QLabel* m_caption = nullptr;
    QCheckBox* m_noDateFilter = nullptr;
    QListWidget* m_list = nullptr;
};

class FrmWPEdit : public QDialog
{
    Q_OBJECT
public:
    // The editor of a plan (loaded or just created); db null: the work database.
    explicit FrmWPEdit(ClMenu plan, Database* db = nullptr, QWidget* parent = nullptr);

    ClMenu& Plan() { return m_plan; }
    // Chooses the cell of a level (1-based) and day (1-based).
    void SelectCell(int level, int day);
    // Places the chosen candidate into the chosen cell.
    void cmdPlace_Click();
    // Places the typed free text (a dish without recipe) into the chosen cell.
    void cmdGeneric_Click();
    void cmdRemove_Click();
    // Fills the empty cells as the repeat rules propose.
    void cmdPropose_Click();
    bool cmdSave_Click();
    void cmdApprove_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowPlan();
    void ShowCandidates();
    int CurrentLevel() const;
    int CurrentDay() const;

    ClMenu m_plan;
    Database* m_db;
    QLabel* m_head = nullptr;
    QTableWidget* m_table = nullptr;
    FrmWPEditRezSearch* m_search = nullptr;
    QLineEdit* m_generic = nullptr;
};

} // namespace pf
