#pragma once
// Approval of a weekly plan: shows whether and when it was approved, the dishes that break their
// level's repeat interval and the dishes without recipe; approves (recording the recipes' usage
// when saved) or withdraws the approval, each after a question, and saves the plan. The plan goes
// as a list to the clipboard or, through the print preview, to a printer or PDF file.

#include <QDialog>

class QLabel;
class QListWidget;
class QTableWidget;

namespace pf {

class ClMenu;

class FrmWPApprove : public QDialog
{
    Q_OBJECT
public:
    explicit FrmWPApprove(QWidget* parent = nullptr);

    // The plan shown; it must outlive the window.
    void SetWP(ClMenu& plan);
    void cmdApprove_Click();
    void cmdWithdraw_Click();
    // Puts the plan as a list on the clipboard.
    void cmdPrint_Click();

private:
    void ShowState();

    ClMenu* m_plan = nullptr;
    QLabel* m_status = nullptr;
    QTableWidget* m_breaches = nullptr;
    QLabel* m_genericCaption = nullptr;
    QListWidget* m_generic = nullptr;
};

} // namespace pf
