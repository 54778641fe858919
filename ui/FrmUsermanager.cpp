#include "ui/FrmUsermanager.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Settings.h"
#include "core/UserRights.h"
#include "db/ClsUser.h"
#include "db/DatabaseChoice.h"
#include "ui/UiSupport.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace pf {

namespace {

constexpr const char* kCaption = "Benutzerverwaltung";

QString U(const char* text)
{
    return QString::fromUtf8(text);
}

} // namespace

FrmUsermanager::FrmUsermanager(QWidget* parent)
    : QDialog(parent), m_users(std::make_unique<ClsUser>(WorkDb()))
{
    setObjectName("FrmUsermanager");
    setWindowTitle(U(kCaption));
    auto* layout = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    layout->addLayout(columns, 1);

    auto* left = new QVBoxLayout;
    auto* listLabel = new QLabel(U("Ben&utzer:"), this);
    m_list = Named(new QListWidget(this), "lstUsers");
    m_list->setMinimumWidth(180);
    listLabel->setBuddy(m_list);
    left->addWidget(listLabel);
    left->addWidget(m_list, 1);
    columns->addLayout(left);

    auto* right = new QVBoxLayout;
    auto* form = new QFormLayout;
    const auto field = [&](const char* label, const char* name, QLineEdit*& edit) {
        edit = Named(new QLineEdit(this), name);
        auto* text = new QLabel(U(label), this);
        text->setBuddy(edit);
        form->addRow(text, edit);
    };
    field("&Benutzername:", "txtName", m_name);
    field("Bes&chreibung:", "txtDesc", m_desc);
    field("Pass&wort:", "txtPassword", m_password);
    field("Passwort wieder&holen:", "txtRepeat", m_repeat);
    m_name->setMaxLength(ClsUser::kMaxNameLength);
    m_desc->setMaxLength(255);
    for (QLineEdit* pwd : {m_password, m_repeat}) {
        pwd->setEchoMode(QLineEdit::Password);
        pwd->setMaxLength(ClsUser::kMaxPasswordLength);
    }
    m_password->setPlaceholderText(U("leer lassen: unverändert"));
    // Wide enough for the placeholder, and the other fields as wide as the password.
    const int wide = m_password->fontMetrics().horizontalAdvance(m_password->placeholderText()) + 24;
    for (QLineEdit* edit : {m_name, m_desc, m_password, m_repeat})
        edit->setMinimumWidth(wide);
    right->addLayout(form);

    auto* rights = Named(new QGroupBox(U("Rechte"), this), "fraRights");
    auto* rightsLayout = new QVBoxLayout(rights);
    m_admin = MakeCheck("chkAdmin", U("&Systemverwalter"), rights);
    m_admin->setToolTip(U("Darf alles, incl. Benutzerverwaltung"));
    rightsLayout->addWidget(m_admin);
    auto* adminHint = new QLabel(U("Darf alles, incl. Benutzerverwaltung"), rights);
    adminHint->setContentsMargins(20, 0, 0, 4);
    rightsLayout->addWidget(adminHint);
    for (const UserRightInfo& info : UserRightList()) {
        QCheckBox* box = MakeCheck(QString("chkRight%1").arg(info.Value), U(info.Caption), rights);
        QString hint = U(info.Hint);
        if (!hint.isEmpty()) {
            box->setText(box->text() + " (" + hint + ")");
            box->setToolTip(hint);
        }
        rightsLayout->addWidget(box);
        m_rights.emplace_back(box, info.Value);
    }
    right->addWidget(rights);
    columns->addLayout(right, 1);

    auto* help =
        Named(new QLabel(U("Hinweis: Die Passwörter werden nur verschleiert gespeichert. Das schützt vor "
                           "beiläufigem Mitlesen, nicht vor gezieltem Auslesen der Datenbank. Liegt die "
                           "Datenbank auf einem Server, schützen die Rechte der Datenbank-Rollen die Daten."),
                         this),
              "lblHelp");
    help->setWordWrap(true);
    layout->addWidget(help);

    auto* buttons = new QHBoxLayout;
    QPushButton* add = MakeButton("cmdNew", U("&Neu"), this);
    QPushButton* save = MakeButton("cmdSave", U("Spe&ichern"), this);
    QPushButton* remove = MakeButton("cmdDelete", U("Lösch&en"), this);
    QPushButton* close = MakeButton("cmdClose", U("Schließen"), this);
    buttons->addWidget(add);
    buttons->addWidget(save);
    buttons->addWidget(remove);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    save->setDefault(true);

    connect(add, &QPushButton::clicked, this, [this] { cmdNew_Click(); });
    connect(save, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(remove, &QPushButton::clicked, this, [this] { cmdDelete_Click(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_admin, &QCheckBox::toggled, this, [this] { AdminToggled(); });
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) { ShowUser(row + 1); });
    FillList(m_users->AreUsersEnabled() ? 1 : 0);
    KeepWrappedTextsWhole(this);
}

FrmUsermanager::~FrmUsermanager() = default;

void FrmUsermanager::FillList(int select)
{
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    for (int i = 1; i <= m_users->UserCount(); ++i) {
        const std::string name = m_users->Username(i);
        m_list->addItem(name.empty() ? U("(neuer Benutzer)") : Q(name));
    }
    m_list->setCurrentRow(select - 1);
    ShowUser(select);
}

void FrmUsermanager::ShowUser(int index)
{
    m_current = index;
    const bool shown = index > 0;
    m_name->setText(Q(m_users->Username(index)));
    m_desc->setText(Q(m_users->UserDesc(index)));
    m_password->clear();
    m_repeat->clear();
    const long flags = m_users->Userflag(index);
    m_admin->setChecked((flags & kRightAdmin) != 0);
    for (auto& [box, value] : m_rights)
        box->setChecked((flags & value) != 0);
    for (QWidget* w : std::initializer_list<QWidget*>{m_name, m_desc, m_password, m_repeat, m_admin})
        w->setEnabled(shown);
    AdminToggled();
    findChild<QPushButton*>("cmdSave")->setEnabled(shown);
    findChild<QPushButton*>("cmdDelete")->setEnabled(shown);
}

void FrmUsermanager::AdminToggled()
{
    const bool free = m_current > 0 && !m_admin->isChecked();
    for (auto& [box, value] : m_rights)
        box->setEnabled(free);
}

long FrmUsermanager::CheckedFlags() const
{
    long flags = m_admin->isChecked() ? kRightAdmin : 0;
    for (const auto& [box, value] : m_rights)
        if (box->isChecked())
            flags |= value;
    return flags;
}

void FrmUsermanager::cmdNew_Click()
{
    if (!m_users->AreUsersEnabled()) {
        UI().Inform("Wenn der erste Benutzer erfasst wird, wird in Zukunft ein Benutzer-Login aktiviert.",
                    MsgIcon::Warning, kCaption);
        if (UI().Ask("Soll wirklich fortgefahren werden ?", Buttons::YesNo, Answer::No, MsgIcon::Question,
                     kCaption) != Answer::Yes)
            return;
    }
    const int index = m_users->NewUser("");
    // The first user has to be able to manage the others.
    if (index == 1)
        m_users->SetUserflag(index, kRightAdmin);
    FillList(index);
    m_name->setFocus();
}

bool FrmUsermanager::cmdSave_Click()
{
    const int index = m_current;
    if (index <= 0)
        return false;
    const auto refuse = [](const std::string& text) {
        UI().Inform(text, MsgIcon::Warning, kCaption);
        return false;
    };
    if (m_password->text() != m_repeat->text())
        return refuse("Das Passwort und seine Wiederholung stimmen nicht überein.");
    const std::string name = S(m_name->text().trimmed());
    if (m_users->NameTaken(index, name))
        return refuse("Dieser Benutzername ist bereits in Verwendung. Der Benutzername muss eindeutig sein!");
    const bool isNew = m_users->UserID(index) == 0;
    const bool renamed = !isNew && name != m_users->Username(index);
    // The stored password is scrambled against the name: a new name needs the password again,
    // unless it was the empty one.
    std::optional<std::string> password;
    if (!m_password->text().isEmpty() || isNew)
        password = S(m_password->text());
    else if (renamed && m_users->PasswordMatches(index, ""))
        password = std::string();
    else if (renamed)
        return refuse("Nach dem Ändern des Benutzernamens muss das Passwort neu eingegeben werden.");

    bool first = true;
    for (int i = 1; i <= m_users->UserCount(); ++i)
        if (m_users->UserID(i) != 0)
            first = false;
    if (first && UI().Ask("Letzte Chance: Es wird jetzt der Benutzer-Login aktiviert ...", Buttons::OkCancel,
                          Answer::Cancel, MsgIcon::Warning, kCaption) != Answer::Ok)
        return false;

    // Kept to restore the form's user when the save is refused.
    const std::string oldName = m_users->Username(index);
    const std::string oldDesc = m_users->UserDesc(index);
    const std::string oldPwd = m_users->UserPassword(index);
    const long oldFlags = m_users->Userflag(index);
    m_users->SetUsername(index, name);
    m_users->SetUserDesc(index, S(m_desc->text()));
    m_users->SetUserflag(index, CheckedFlags());
    if (password)
        m_users->SetUserPassword(index, *password);
    if (!m_users->Save(index)) {
        m_users->SetUsername(index, oldName);
        m_users->SetUserDesc(index, oldDesc);
        m_users->SetUserflag(index, oldFlags);
        if (password)
            m_users->RestorePassword(index, oldPwd);
        return refuse(m_users->LastErrorText());
    }
    if (first) {
        AppContext& app = AppContext::Current();
        WriteSetting("", "SaveUserRelevant", "TRUE", true);
        app.SaveUserRelevant = true;
        UI().Inform(
            "Daten müssen Benutzerrelevant gespeichert werden. Diese Funktionalität ist jetzt aktiviert",
            MsgIcon::Information, kCaption);
        if (app.WinUser.empty()) {
            UI().Inform("Achtung: Es scheint keine Netzwerk-Funktionalität vorzuliegen oder zumindest keine "
                        "Benutzerverwaltung auf Windows-Ebene aktiviert zu sein.",
                        MsgIcon::Warning, kCaption);
            UI().Inform("Es kann sein, dass Benutzer keine persönlichen Einstellungen speichern können",
                        MsgIcon::Warning, kCaption);
        }
    }
    FillList(index);
    return true;
}

void FrmUsermanager::cmdDelete_Click()
{
    const int index = m_current;
    if (index <= 0)
        return;
    if (m_users->IsLastAdministrator(index)) {
        UI().Inform("Dies ist der letzte Benutzer mit Supervisor-Rechten. Er kann nicht gelöscht werden",
                    MsgIcon::Warning, kCaption);
        return;
    }
    const bool admin = (m_users->Userflag(index) & kRightAdmin) != 0;
    const std::string question =
        admin ? std::string("Dies ist ein Benutzer mit Supervisor-Rechten. Soll er wirklich "
                            "gelöscht werden ?")
              : "Soll der Benutzer \"" + m_users->Username(index) + "\" wirklich gelöscht werden ?";
    if (UI().Ask(question, Buttons::YesNo, Answer::No, MsgIcon::Question, kCaption) != Answer::Yes)
        return;
    if (!m_users->DeleteUser(index)) {
        UI().Inform(m_users->LastErrorText(), MsgIcon::Critical, kCaption);
        return;
    }
    FillList(std::min(index, m_users->UserCount()));
}

} // namespace pf
