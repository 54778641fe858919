#include "ui/FrmDBOpen.h"

#include "core/AppContext.h"
#include "core/BusyPointer.h"
#include "core/Interaction.h"
#include "core/Messages.h"
#include "db/DbError.h"
#include "db/InitFiles.h"
#include "db/OpenDatabase.h"
#include "db/WorkDatabase.h"
#include "ui/UiSupport.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <filesystem>

namespace pf {

namespace {

QString Utf8(const char* text)
{
    return QString::fromUtf8(text);
}

// "1 - path", with " [nicht gefunden]" for a file that is gone; the commit strips both again.
QString LastUsedEntry(int number, const std::string& path)
{
    QString entry = QString::number(number) + " - " + QString::fromStdString(path);
    const bool looksLikeFile = path.find('/') != std::string::npos;
    if (looksLikeFile && !QFileInfo::exists(QString::fromStdString(path)))
        entry += Utf8(" [nicht gefunden]");
    return entry;
}

} // namespace

FrmDBOpen::FrmDBOpen(QWidget* parent) : QDialog(parent), m_commit(CommitDatabaseSelection)
{
    setObjectName("FrmDBOpen");
    setWindowTitle(Utf8("Datenbank öffnen"));

    m_pages = new QStackedWidget(this);
    m_pages->addWidget(BuildFilePage());
    m_pages->addWidget(BuildOdbcPage());

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->button(QDialogButtonBox::Ok)->setText("OK");
    m_buttons->button(QDialogButtonBox::Cancel)->setText("Abbrechen");
    connect(m_buttons, &QDialogButtonBox::accepted, this, &FrmDBOpen::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &FrmDBOpen::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildKindBox());
    layout->addWidget(m_pages, 1);
    layout->addWidget(m_buttons);

    ShowCurrentConnection();
    resize(540, 420);
    UpdateControls();
}

QGroupBox* FrmDBOpen::BuildKindBox()
{
    m_optFile = new QRadioButton(Utf8("&Pfannola-Datenbank (*.MDB)"), this);
    m_optFile->setObjectName("optAccess");
    m_optOdbc = new QRadioButton(Utf8("&ODBC-Datenquelle"), this);
    m_optOdbc->setObjectName("optODBC");
    auto* kindGroup = new QButtonGroup(this);
    kindGroup->addButton(m_optFile, 0);
    kindGroup->addButton(m_optOdbc, 1);
    connect(kindGroup, &QButtonGroup::idToggled, this, [this] { UpdateControls(); });
    auto* kindBox = new QGroupBox(Utf8("Art der Datenbank"), this);
    auto* kindLayout = new QHBoxLayout(kindBox);
    kindLayout->addWidget(m_optFile);
    kindLayout->addWidget(m_optOdbc);
    kindLayout->addStretch(1);
    return kindBox;
}

// The path with its browse button, and the last-used list.
QWidget* FrmDBOpen::BuildFilePage()
{
    auto* filePage = new QWidget(this);
    m_path = new QLineEdit(filePage);
    m_path->setObjectName("txtPath");
    m_path->setPlaceholderText(Utf8("Pfad der Datenbankdatei"));
    m_browse = new QPushButton(Utf8("&Durchsuchen …"), filePage);
    m_browse->setObjectName("cmdBrowse");
    m_lastUsed = new QListWidget(filePage);
    m_lastUsed->setObjectName("lstLastUsed");
    int number = 1;
    for (const std::string& path : LastUsedDatabases())
        m_lastUsed->addItem(LastUsedEntry(number++, path));
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(m_path, 1);
    pathRow->addWidget(m_browse);
    auto* fileLayout = new QVBoxLayout(filePage);
    fileLayout->setContentsMargins(0, 0, 0, 0);
    auto* pathLabel = new QLabel(Utf8("D&atenbankdatei:"), filePage);
    pathLabel->setBuddy(m_path);
    fileLayout->addWidget(pathLabel);
    fileLayout->addLayout(pathRow);
    fileLayout->addSpacing(6);
    auto* lastUsedLabel = new QLabel(Utf8("&Zuletzt verwendet:"), filePage);
    lastUsedLabel->setBuddy(m_lastUsed);
    fileLayout->addWidget(lastUsedLabel);
    fileLayout->addWidget(m_lastUsed, 1);
    connect(m_browse, &QPushButton::clicked, this, &FrmDBOpen::Browse);
    // Typing a path takes over from a chosen list entry.
    connect(m_path, &QLineEdit::textEdited, this, [this] { m_lastUsed->setCurrentRow(-1); });
    connect(m_lastUsed, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    return filePage;
}

// The data source, the logon data and how the driver asks for the rest; testing the connection
// and making a new database there.
QWidget* FrmDBOpen::BuildOdbcPage()
{
    auto* odbcPage = new QWidget(this);
    m_dsn = new QLineEdit(odbcPage);
    m_dsn->setObjectName("txtDSN");
    m_user = new QLineEdit(odbcPage);
    m_user->setObjectName("txtUser");
    m_password = new QLineEdit(odbcPage);
    m_password->setObjectName("txtPassword");
    m_password->setEchoMode(QLineEdit::Password);
    // A configured data source, or the server's driver keywords, so that a workstation needs no
    // data source of its own.
    m_dsn->setPlaceholderText(Utf8("Name der Datenquelle oder Server=…;Port=5432;Database=…"));
    m_dsn->setToolTip(Utf8("Der Name einer eingerichteten ODBC-Datenquelle oder die Angaben zum "
                           "PostgreSQL-Server, z.B. Server=kueche;Port=5432;Database=rezepte"));
    auto* odbcForm = new QFormLayout;
    odbcForm->addRow(Utf8("Daten&quelle:"), m_dsn);
    odbcForm->addRow(Utf8("Ben&utzer:"), m_user);
    odbcForm->addRow(Utf8("Pass&wort:"), m_password);
    auto* odbcLayout = new QVBoxLayout(odbcPage);
    odbcLayout->setContentsMargins(0, 0, 0, 0);
    odbcLayout->addLayout(odbcForm);
    odbcLayout->addWidget(BuildLogonBox(odbcPage));
    m_testConnection = new QPushButton(Utf8("&Verbindung testen"), odbcPage);
    m_testConnection->setObjectName("cmdTestConnection");
    m_newServerDb = new QPushButton(Utf8("&Neu anlegen"), odbcPage);
    m_newServerDb->setObjectName("cmdNewServerDb");
    m_newServerDb->setToolTip(Utf8("Legt in der angegebenen Datenbank auf dem Server eine neue "
                                   "Pfannola-Datenbank aus den Grunddaten an und öffnet sie"));
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(m_newServerDb);
    buttonRow->addWidget(m_testConnection);
    odbcLayout->addLayout(buttonRow);
    odbcLayout->addStretch(1);
    connect(m_testConnection, &QPushButton::clicked, this, &FrmDBOpen::TestConnection);
    connect(m_newServerDb, &QPushButton::clicked, this, &FrmDBOpen::NewServerDatabase);
    return odbcPage;
}

QGroupBox* FrmDBOpen::BuildLogonBox(QWidget* page)
{
    m_logon[0] = new QRadioButton(Utf8("Mit &Benutzer und Passwort von hier anmelden"), page);
    m_logon[1] = new QRadioButton(Utf8("Anmeldedaten immer vom &Treiber abfragen lassen"), page);
    m_logon[2] = new QRadioButton(Utf8("Nur &fehlende Anmeldedaten abfragen"), page);
    auto* logonGroup = new QButtonGroup(this);
    auto* logonBox = new QGroupBox(Utf8("Anmeldung"), page);
    auto* logonLayout = new QVBoxLayout(logonBox);
    for (int i = 0; i < 3; ++i) {
        m_logon[i]->setObjectName(QString("optLogon%1").arg(i));
        logonGroup->addButton(m_logon[i], i);
        logonLayout->addWidget(m_logon[i]);
    }
    connect(logonGroup, &QButtonGroup::idToggled, this, [this] { UpdateControls(); });
    return logonBox;
}

// The current connection as the starting point.
void FrmDBOpen::ShowCurrentConnection()
{
    const ConnectionState& connection = Connection();
    if (connection.DbType == 0) {
        m_optFile->setChecked(true);
        m_path->setText(QString::fromStdString(connection.DbPath));
    } else {
        m_optOdbc->setChecked(true);
        m_dsn->setText(QString::fromStdString(connection.DbPath));
    }
    const int logonType = connection.OdbcLogonType;
    m_logon[logonType >= 0 && logonType <= 2 ? logonType : 2]->setChecked(true);
}

// A file that does not exist yet is created here, after one question, while the open database
// stays open: declining or a failed creation keeps this window and the current database.
bool FrmDBOpen::CreateIfMissing(const std::string& path)
{
    std::string full = path;
    if (full.find('/') == std::string::npos)
        full = AppContext::Current().ProgramDir + full;
    std::error_code ignored;
    if (std::filesystem::exists(full, ignored))
        return true;
    if (UI().Ask(LoadText(417) + full + LoadText(418), Buttons::YesNo, Answer::Yes, MsgIcon::Question,
                 AppContext::Current().AppCaption) != Answer::Yes)
        return false;
    return CreateDatabaseFile(full);
}

QRadioButton* FrmDBOpen::LogonOption(int logonType) const
{
    return logonType >= 0 && logonType <= 2 ? m_logon[logonType] : nullptr;
}

void FrmDBOpen::SetCommit(std::function<void(const DatabaseSelection&)> commit)
{
    m_commit = std::move(commit);
}

void FrmDBOpen::UpdateControls()
{
    const bool odbc = m_optOdbc->isChecked();
    m_pages->setCurrentIndex(odbc ? 1 : 0);
    const bool ownLogon = m_logon[0]->isChecked();
    m_user->setEnabled(ownLogon);
    m_password->setEnabled(ownLogon);
}

void FrmDBOpen::Browse()
{
    // The folder of the databases, unless the user has typed a path of his own.
    QString start = m_path->text().trimmed();
    if (start.isEmpty() || start.toStdString() == Connection().DbPath)
        start = QString::fromStdString(DatabaseFolder());
    // A name that does not exist yet may be typed: OK then offers to create that database.
    QFileDialog dialog(this, Utf8("Datenbank auswählen oder neu anlegen"), StartFolder("Datenbank", start),
                       Utf8("Pfannola-Datenbank (*.MDB *.mdb);;Alle Dateien (*)"));
    dialog.setObjectName("dlgDatabaseFile");
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix("MDB");
    dialog.setLabelText(QFileDialog::Accept, Utf8("Ö&ffnen"));
    dialog.setLabelText(QFileDialog::Reject, Utf8("Abbrechen"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    m_path->setText(dialog.selectedFiles().front());
    m_lastUsed->setCurrentRow(-1);
}

DatabaseSelection FrmDBOpen::Selection() const
{
    DatabaseSelection choice;
    if (m_optOdbc->isChecked()) {
        choice.DbType = 1;
        choice.Dsn = m_dsn->text().trimmed().toStdString();
        for (int i = 0; i < 3; ++i)
            if (m_logon[i]->isChecked())
                choice.LogonType = i;
        // User and password count only when this window logs on.
        if (choice.LogonType == 0) {
            choice.User = m_user->text().toStdString();
            choice.Password = m_password->text().toStdString();
        }
        return choice;
    }
    choice.DbType = 0;
    QListWidgetItem* entry = m_lastUsed->currentItem();
    if (entry && entry->isSelected())
        choice.Path = SelectionEntryPath(entry->text().toStdString());
    else
        choice.Path = m_path->text().trimmed().toStdString();
    return choice;
}

bool FrmDBOpen::DataSourceGiven(const DatabaseSelection& choice)
{
    if (!choice.Dsn.empty())
        return true;
    UI().Inform("Bitte die ODBC-Datenquelle angeben.", MsgIcon::Warning, AppContext::Current().AppCaption);
    m_dsn->setFocus();
    return false;
}

void FrmDBOpen::TestConnection()
{
    const DatabaseSelection choice = Selection();
    const std::string& caption = AppContext::Current().AppCaption;
    if (!DataSourceGiven(choice))
        return;
    try {
        const BusyPointer busy;
        OpenDatabase(ServerConnectFor(choice.Dsn, choice.LogonType, choice.User, choice.Password))->Close();
    } catch (const DbError& error) {
        UI().Inform("Keine Verbindung zur Datenbank: " + error.Description(), MsgIcon::Warning, caption);
        return;
    }
    UI().Inform("Die Verbindung zur Datenbank steht.", MsgIcon::Information, caption);
}

void FrmDBOpen::NewServerDatabase()
{
    const DatabaseSelection choice = Selection();
    if (!DataSourceGiven(choice))
        return;
    if (!CreateServerDatabase(ServerConnectFor(choice.Dsn, choice.LogonType, choice.User, choice.Password)))
        return;
    if (m_commit)
        m_commit(choice);
    QDialog::accept();
}

void FrmDBOpen::accept()
{
    const DatabaseSelection choice = Selection();
    const std::string& caption = AppContext::Current().AppCaption;
    if (choice.DbType == 0 && choice.Path.empty()) {
        UI().Inform("Bitte eine Datenbankdatei angeben oder aus der Liste wählen.", MsgIcon::Warning,
                    caption);
        m_path->setFocus();
        return;
    }
    if (choice.DbType != 0 && !DataSourceGiven(choice))
        return;
    if (choice.DbType == 0 && !CreateIfMissing(choice.Path)) {
        m_path->setFocus();
        return;
    }
    if (m_commit)
        m_commit(choice);
    QDialog::accept();
}

} // namespace pf
