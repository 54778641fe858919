#pragma once
// The login at start: user name (the previous run's user preselected) and password. Every OK
// counts an attempt; a failed attempt n says so, clears the password and waits 5^n seconds while
// the screen goes on (5, 25, 125). After the third failure the window closes unsuccessful and the
// caller ends the program. The waits run on a clock the caller gives, so tests need not wait.

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace pf {

class ClsUser;
class WaitClock;

class frmLogin : public QDialog
{
    Q_OBJECT
public:
    frmLogin(ClsUser& users, WaitClock& clock, QWidget* parent = nullptr);

    void cmdOK_Click();
    int Attempts() const { return m_attempts; }
    // True after the third failed attempt.
    bool Failed() const { return m_failed; }

    static constexpr int kMaxAttempts = 3;

private:
    void Wait(int seconds);

    ClsUser& m_users;
    WaitClock& m_clock;
    QComboBox* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    int m_attempts = 0;
    bool m_failed = false;
};

} // namespace pf
