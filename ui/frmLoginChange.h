#pragma once
// The logged-in user changes the own password: the old one, the new one and its repetition.
// The change is stored at once in the work database.

#include <QDialog>

class QLineEdit;

namespace pf {

class frmLoginChange : public QDialog
{
    Q_OBJECT
public:
    explicit frmLoginChange(QWidget* parent = nullptr);
    // Checks and stores; true (and the window accepted) on success, otherwise it says why.
    bool cmdOK_Click();

private:
    QLineEdit* m_old = nullptr;
    QLineEdit* m_new = nullptr;
    QLineEdit* m_repeat = nullptr;
};

} // namespace pf
