#include "ui/frmLogin.h"

#include "core/AppContext.h"
#include "core/BusyPointer.h"
#include "core/Interaction.h"
#include "core/Settings.h"
#include "core/WaitClock.h"
#include "db/ClsUser.h"
#include "ui/UiSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace pf {

frmLogin::frmLogin(ClsUser& users, WaitClock& clock, QWidget* parent)
    : QDialog(parent), m_users(users), m_clock(clock)
{
    setObjectName("frmLogin");
    setWindowTitle(Q(AppContext::Current().AppTitle + " - Anmeldung"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Bitte melden Sie sich mit Ihrem Benutzernamen und Passwort an.", this));
    auto* form = new QFormLayout;
    m_user = Named(new QComboBox(this), "cboUser");
    m_user->setEditable(true);
    m_user->setInsertPolicy(QComboBox::NoInsert);
    m_user->setMinimumWidth(240);
    const long lastId = SettingToLong(ReadSetting("", "LastUserID", "", false));
    int preselect = -1;
    for (int i = 1; i <= users.UserCount(); ++i) {
        m_user->addItem(Q(users.Username(i)));
        if (lastId != 0 && users.UserID(i) == lastId)
            preselect = i - 1;
    }
    m_user->setCurrentIndex(preselect);
    if (preselect < 0)
        m_user->setEditText({});
    m_password = Named(new QLineEdit(this), "txtPassword");
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setMaxLength(ClsUser::kMaxPasswordLength);
    auto* userLabel = new QLabel("&Benutzername:", this);
    userLabel->setBuddy(m_user);
    auto* passwordLabel = new QLabel("&Passwort:", this);
    passwordLabel->setBuddy(m_password);
    form->addRow(userLabel, m_user);
    form->addRow(passwordLabel, m_password);
    layout->addLayout(form);
    m_ok = AddOkCancel(this, layout);
    m_cancel = findChild<QPushButton*>("cmdCancel");
    // Nothing in it grows: the window manager offers neither resizing nor maximising.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(m_ok, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    // The previous user only needs the password.
    (preselect >= 0 ? static_cast<QWidget*>(m_password) : m_user)->setFocus();
}

void frmLogin::cmdOK_Click()
{
    ++m_attempts;
    const int index = m_users.Login(S(m_user->currentText()), S(m_password->text()));
    if (index > 0) {
        WriteSetting("", "LastUserID", std::to_string(m_users.UserID(index)), false);
        accept();
        return;
    }
    UI().Inform("Dieser Benutzername existiert nicht oder das Passwort ist falsch !", MsgIcon::Warning,
                AppContext::Current().AppTitle);
    m_password->clear();
    m_user->setFocus();
    int seconds = 1;
    for (int i = 0; i < m_attempts; ++i)
        seconds *= 5;
    Wait(seconds);
    if (m_attempts >= kMaxAttempts) {
        m_failed = true;
        reject();
    }
}

void frmLogin::Wait(int seconds)
{
    BusyPointer busy;
    // Nothing can be typed or pressed meanwhile; the window still repaints and moves.
    m_ok->setEnabled(false);
    m_cancel->setEnabled(false);
    m_user->setEnabled(false);
    m_password->setEnabled(false);
    const WaitClock::TimePoint end = m_clock.Now() + std::chrono::seconds(seconds);
    while (m_clock.Now() < end) {
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - m_clock.Now());
        m_clock.Pause(std::clamp(left, std::chrono::milliseconds(1), std::chrono::milliseconds(50)));
    }
    m_ok->setEnabled(true);
    m_cancel->setEnabled(true);
    m_user->setEnabled(true);
    m_password->setEnabled(true);
    m_user->setFocus();
}

} // namespace pf
