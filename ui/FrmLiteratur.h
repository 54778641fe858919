#pragma once
// The literature window: the register of cookbooks and magazines on the left, the chosen source's
// title, year, issue, publisher, author, storage place, lending note, rating and notes on the
// right, with the commands new, save, delete and table of contents. The rules, questions and
// refusals live in clLiteratur; the window gathers the input and shows what it says.

#include "literature/clLiteratur.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTreeWidget;

namespace pf {

class FrmLiteratur : public QWidget
{
    Q_OBJECT
public:
    explicit FrmLiteratur(QWidget* parent = nullptr);

    // Reads the sources again and selects sourceId (the first entry when it is not listed).
    void RefreshList(long sourceId);

    void cmdNew_Click();
    void cmdSave_Click();
    void cmdDelete_Click();
    // Opens the table of contents of the selected source (of all sources when none is selected).
    void cmdInhalt_Click();

private:
    void ShowSelected();
    void FillAddresses();
    long SelectedId() const;

    clLiteratur m_source;
    QTreeWidget* m_list = nullptr;
    QLineEdit* m_title = nullptr;
    QSpinBox* m_year = nullptr;
    QLineEdit* m_issue = nullptr;
    QComboBox* m_publisher = nullptr;
    QComboBox* m_author = nullptr;
    QLineEdit* m_storage = nullptr;
    QLineEdit* m_borrowed = nullptr;
    QSpinBox* m_rating = nullptr;
    QPlainTextEdit* m_notes = nullptr;
    QLabel* m_recipes = nullptr;
    QPushButton* m_delete = nullptr;
};

} // namespace pf
