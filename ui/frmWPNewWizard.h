#pragma once
// The new weekly plan: the user enters the first day (the weekday and calendar week show beside
// it) and the number of days; OK asks once and creates the plan with the program's current levels.

#include "planning/ClMenu.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QSpinBox;

namespace pf {

class Database;

class frmWPNewWizard : public QDialog
{
    Q_OBJECT
public:
    // db null: the work database.
    explicit frmWPNewWizard(Database* db = nullptr, QWidget* parent = nullptr);

    // Checks the date, asks, creates and saves the plan; the dialog closes accepted on success.
    void cmdOK_Click();
    long CreatedID() const { return m_plan.id(); }
    // The plan created, with its day count, for the plan editor.
    ClMenu TakePlan() { return std::move(m_plan); }

private:
    void ShowWeekday();

    Database* m_db;
    ClMenu m_plan;
    QLineEdit* m_start = nullptr;
    QLabel* m_weekday = nullptr;
    QSpinBox* m_days = nullptr;
};

} // namespace pf
