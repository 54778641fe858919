#include "ui/frmLoginChange.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "db/ClsUser.h"
#include "db/DatabaseChoice.h"
#include "ui/UiSupport.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pf {

namespace {

constexpr const char* kCaption = "Passwort ändern";

QLineEdit* PasswordField(const char* name, QWidget* parent)
{
    auto* field = Named(new QLineEdit(parent), name);
    field->setEchoMode(QLineEdit::Password);
    field->setMaxLength(ClsUser::kMaxPasswordLength);
    field->setMinimumWidth(220);
    return field;
}

} // namespace

frmLoginChange::frmLoginChange(QWidget* parent) : QDialog(parent)
{
    setObjectName("frmLoginChange");
    setWindowTitle(QString::fromUtf8(kCaption));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(Q("Benutzer: " + CurrentUser().Name), this));
    auto* form = new QFormLayout;
    m_old = PasswordField("txtOld", this);
    m_new = PasswordField("txtNew", this);
    m_repeat = PasswordField("txtRepeat", this);
    const auto row = [&](const char* text, QLineEdit* field) {
        auto* label = new QLabel(QString::fromUtf8(text), this);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    row("&Altes Passwort:", m_old);
    row("&Neues Passwort:", m_new);
    row("Neues Passwort &wiederholen:", m_repeat);
    layout->addLayout(form);
    QPushButton* ok = AddOkCancel(this, layout);
    connect(ok, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
}

bool frmLoginChange::cmdOK_Click()
{
    ClsUser users(WorkDb());
    const auto refuse = [this](const char* text, QLineEdit* field) {
        UI().Inform(text, MsgIcon::Warning, kCaption);
        field->selectAll();
        field->setFocus();
        return false;
    };
    if (users.Login(CurrentUser().Name, S(m_old->text())) == 0)
        return refuse("Das alte Passwort ist nicht richtig.", m_old);
    if (m_new->text() != m_repeat->text())
        return refuse("Das neue Passwort und seine Wiederholung stimmen nicht überein.", m_repeat);
    if (!users.PfannolaUserPassword(S(m_new->text()))) {
        UI().Inform(users.LastErrorText(), MsgIcon::Critical, kCaption);
        return false;
    }
    UI().Inform("Das Passwort wurde erfolgreich geändert.", MsgIcon::Information, kCaption);
    accept();
    return true;
}

} // namespace pf
