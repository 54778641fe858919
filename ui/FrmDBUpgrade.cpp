#include "ui/FrmDBUpgrade.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "ui/FrmSplash.h"
#include "ui/UiSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace pf {

namespace {

} // namespace

FrmDBUpgrade::FrmDBUpgrade(const UpgradeQuestion& question, QWidget* parent)
    : QDialog(parent), m_question(question)
{
    setObjectName("FrmDBUpgrade");
    setWindowTitle(Q(AppContext::Current().AppCaption) + QString::fromUtf8(" - Datenbank-Upgrade"));
    setModal(true);

    auto* intro =
        new QLabel(QString::fromUtf8("<b>Die Datenbank hat einen älteren Stand als das Programm.</b><br>"
                                     "Damit alle Funktionen mit ihr arbeiten, wird sie jetzt auf den "
                                     "Stand des Programms gebracht."),
                   this);
    intro->setWordWrap(true);

    auto* name = new QLabel(Q(question.DatabaseName), this);
    name->setObjectName("lblDatabase");
    name->setTextInteractionFlags(Qt::TextSelectableByMouse);
    name->setWordWrap(true);
    m_lblDatabaseVersion = new QLabel(Q(question.DatabaseVersion), this);
    m_lblDatabaseVersion->setObjectName("lblDBVersion");
    m_lblProgramVersion = new QLabel(Q(question.ProgramVersion), this);
    m_lblProgramVersion->setObjectName("lblProgVersion");
    auto* versions = new QGridLayout;
    versions->addWidget(new QLabel(QString::fromUtf8("Datenbank:"), this), 0, 0);
    versions->addWidget(name, 0, 1);
    versions->addWidget(new QLabel(QString::fromUtf8("Stand der Datenbank:"), this), 1, 0);
    versions->addWidget(m_lblDatabaseVersion, 1, 1);
    versions->addWidget(new QLabel(QString::fromUtf8("Stand des Programms:"), this), 2, 0);
    versions->addWidget(m_lblProgramVersion, 2, 1);
    versions->setColumnStretch(1, 1);

    m_chkBackup = new QCheckBox(QString::fromUtf8("&Sicherungskopie anlegen"), this);
    m_chkBackup->setObjectName("chkBackup");
    if (question.Odbc) {
        // A server database is copied with the server's own tools, never by the program.
        m_chkBackup->setChecked(false);
        m_chkBackup->setEnabled(false);
        m_chkBackup->setToolTip(
            QString::fromUtf8("Eine Datenbank auf einem Server sichern Sie vorher mit der "
                              "Software des Datenbankservers."));
    } else {
        m_chkBackup->setChecked(true);
        m_chkBackup->setToolTip(QString::fromUtf8("Vor der ersten Änderung wird die Datei nach \"") +
                                Q(question.DatabaseName) + QString::fromUtf8(".BAK\" kopiert."));
    }
    m_chkOptimise = new QCheckBox(QString::fromUtf8("Datenbank danach &optimieren"), this);
    m_chkOptimise->setObjectName("chkOptimise");
    m_chkOptimise->setEnabled(!question.Odbc);

    m_lstVersion = new QTreeWidget(this);
    m_lstVersion->setObjectName("lstVersion");
    m_lstVersion->setHeaderLabels(
        {QString::fromUtf8("Stand"), QString::fromUtf8("Datum"), QString::fromUtf8("Beschreibung")});
    m_lstVersion->setRootIsDecorated(false);
    m_lstVersion->header()->setStretchLastSection(true);
    m_lstVersion->hide();

    m_cmdUpgrade = new QPushButton(QString::fromUtf8("&Upgrade durchführen"), this);
    m_cmdUpgrade->setObjectName("cmdUpgrade");
    m_cmdUpgrade->setDefault(true);
    m_cmdContinue = new QPushButton(QString::fromUtf8("Ohne Upgrade &fortfahren"), this);
    m_cmdContinue->setObjectName("cmdContinue");
    m_cmdCancel = new QPushButton(QString::fromUtf8("&Abbrechen"), this);
    m_cmdCancel->setObjectName("cmdCancel");
    m_cmdCancel->setToolTip(QString::fromUtf8("Beendet das Programm, ohne die Datenbank zu verändern."));
    m_cmdViewVersion = new QPushButton(QString::fromUtf8("&Versionsgeschichte"), this);
    m_cmdViewVersion->setObjectName("cmdViewVersion");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdViewVersion);
    buttons->addStretch(1);
    buttons->addWidget(m_cmdUpgrade);
    buttons->addWidget(m_cmdContinue);
    buttons->addWidget(m_cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addSpacing(6);
    layout->addLayout(versions);
    layout->addSpacing(6);
    layout->addWidget(m_chkBackup);
    layout->addWidget(m_chkOptimise);
    layout->addWidget(m_lstVersion, 1);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    connect(m_cmdUpgrade, &QPushButton::clicked, this, [this] { Upgrade(); });
    connect(m_cmdContinue, &QPushButton::clicked, this, [this] { ContinueWithout(); });
    connect(m_cmdCancel, &QPushButton::clicked, this, &FrmDBUpgrade::reject);
    connect(m_cmdViewVersion, &QPushButton::clicked, this, [this] { ViewVersion(); });

    KeepWrappedTextsWhole(this);
    resize(520, 300);
}

void FrmDBUpgrade::ViewVersion()
{
    m_lstVersion->clear();
    for (const VersionEntry& entry : m_question.History)
        new QTreeWidgetItem(m_lstVersion, {Q(entry.Version), DateTimeCell(entry.Date), Q(entry.Description)});
    m_lstVersion->resizeColumnToContents(0);
    m_lstVersion->resizeColumnToContents(1);
    m_lstVersion->show();
    m_cmdViewVersion->setEnabled(false);
}

void FrmDBUpgrade::Upgrade()
{
    UpgradeChoice choice{1, m_chkBackup->isChecked(), m_chkOptimise->isChecked()};
    if (m_question.Odbc) {
        if (!ConfirmOdbcUpgrade())
            return;
        choice.Backup = false;
    }
    m_choice = choice;
    accept();
}

void FrmDBUpgrade::ContinueWithout()
{
    const Answer answer = UI().Ask(
        "Ohne Upgrade kann das Programm mit dieser Datenbank nicht alle Funktionen ausführen, und es "
        "kann zu Fehlern kommen. Beim nächsten Start wird wieder gefragt.\r\n"
        "Wirklich ohne Upgrade fortfahren?",
        Buttons::YesNo, Answer::No, MsgIcon::Question, AppContext::Current().AppCaption);
    if (answer != Answer::Yes)
        return;
    m_choice = {0, false, false};
    accept();
}

UpgradeChoice QtUpgradeWindow::UpdateQuestion(const UpgradeQuestion& question)
{
    // The splash stays above all windows during the start; the question must be seen.
    QPointer<FrmSplash> splash;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* candidate = qobject_cast<FrmSplash*>(widget); candidate && candidate->isVisible())
            splash = candidate;
    if (splash)
        splash->SetOnTop(false);
    FrmDBUpgrade window(question, QApplication::activeWindow());
    window.exec();
    if (splash)
        splash->SetOnTop(true);
    return window.Choice();
}

} // namespace pf
