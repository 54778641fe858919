#pragma once
// The cookbook management window: the reserved views and every cookbook with its recipe count
// (counted one cookbook at a time after the window shows, as a large database takes a while),
// the selected cookbook's title, description and dates, and the commands new, save, delete (with
// or without its recipes), copy or move its recipes to another cookbook, and choose it as the
// active cookbook. The rules, questions and reports live in clBook; the window gathers the choice.

#include "model/clBook.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace pf {

class FrmKochbuchManag : public QWidget
{
    Q_OBJECT
public:
    // activeBookChanged runs after the active cookbook (AppContext ActiveBookId/ActiveBookTitle)
    // changed, so the main window can show it.
    explicit FrmKochbuchManag(std::function<void()> activeBookChanged = {}, QWidget* parent = nullptr);

    // Reads the cookbooks again and selects bookId (the first entry when it is not listed).
    void RefreshList(long bookId);

    void cmdNew_Click();
    void cmdSave_Click();
    void cmdDelete_Click();
    void cmdCopy_Click();
    void cmdMove_Click();
    void cmdActive_Click();

private:
    void ShowSelected();
    // Fills the count of the next listed cookbook that has none, then asks for another turn.
    void CountNext(int generation);
    void FillTargets();
    long SelectedId() const;
    long TargetId() const;

    std::function<void()> m_activeBookChanged;
    clBook m_book;
    QTreeWidget* m_list = nullptr;
    QLineEdit* m_title = nullptr;
    QPlainTextEdit* m_description = nullptr;
    QLabel* m_created = nullptr;
    QLabel* m_modified = nullptr;
    QCheckBox* m_discardRecipes = nullptr;
    QComboBox* m_target = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_move = nullptr;
    int m_generation = 0; // a refreshed list stops the counting of the one before
};

} // namespace pf
