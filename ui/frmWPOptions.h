#pragma once
// The settings of weekly plans: the program's levels (name, price, whether printouts show them,
// whether one dish serves the whole week), the category each level takes its dishes from with its
// repeat interval, and the languages plans are printed in. OK saves levels and category links in
// one transaction; plans already made keep the levels they were made with.

#include "planning/clsWPLevel.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace pf {

class Database;

class frmWPOptions : public QDialog
{
    Q_OBJECT
public:
    // db null: the work database.
    explicit frmWPOptions(Database* db = nullptr, QWidget* parent = nullptr);

    // Chooses a level (1-based).
    void SelectLevel(int level);
    void cmdNew_Click();
    void cmdDelete_Click();
    void cmdUp_Click();
    void cmdDown_Click();
    // Checks and saves; the dialog closes accepted on success.
    void cmdOK_Click();
    const clsWPLevel& Levels() const { return m_levels; }

private:
    void ShowLevels();
    void ShowRow(int level);
    void ShowDetail();
    void TakeDetail();
    int CurrentLevel() const;
    std::string CategoryName(long id) const;

    clsWPLevel m_levels;
    std::vector<WPCategoryLink> m_links; // per level
    std::vector<WPCategoryChoice> m_categories;
    bool m_showing = false;

    QTableWidget* m_grid = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_cost = nullptr;
    QCheckBox* m_print = nullptr;
    QCheckBox* m_repeat = nullptr;
    QComboBox* m_category = nullptr;
    QSpinBox* m_weeks = nullptr;
    QPushButton* m_new = nullptr;
    std::vector<QCheckBox*> m_languages;
};

} // namespace pf
