#pragma once
// The day editor of a weekly plan: one day with the dish of every level, the candidates of the
// chosen level on that day, and the commands to place a recipe, a dish without recipe or nothing.
// It changes the plan it is given (owned by the plan editor), which saves it; the previous and
// next day are a button away.

#include <QDialog>

class QLabel;
class QTableWidget;

namespace pf {

class ClMenu;
class Database;
class FrmWPEditRezSearch;

class FrmWPEditDay : public QDialog
{
    Q_OBJECT
public:
    // day from 1; db null: the work database. The plan must outlive the window.
    FrmWPEditDay(ClMenu& plan, int day, Database* db = nullptr, QWidget* parent = nullptr);

    int Day() const { return m_day; }
    void SetDay(int day);
    // Chooses a level (1-based).
    void SelectLevel(int level);
    void cmdPlace_Click();
    void cmdGeneric_Click();
    void cmdRemove_Click();

private:
    void ShowDay();
    void ShowCandidates();
    int CurrentLevel() const;

    ClMenu& m_plan;
    Database* m_db;
    int m_day;
    QLabel* m_head = nullptr;
    QTableWidget* m_levels = nullptr;
    FrmWPEditRezSearch* m_search = nullptr;
};

} // namespace pf
