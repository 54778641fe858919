#include "ui/FrmBackup.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "db/Backup.h"
#include "ui/ErrorTrap.h"
#include "ui/UiSupport.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace pf {

namespace {

QString SizeText(std::uintmax_t bytes)
{
    return QLocale(QLocale::German).toString(static_cast<qulonglong>((bytes + 1023) / 1024)) + " KB";
}

} // namespace

FrmBackup::FrmBackup(DatabaseWindows* windows, std::function<void()> afterRestore, QWidget* parent)
    : QWidget(parent), m_windows(windows), m_afterRestore(std::move(afterRestore))
{
    setObjectName("FrmBackup");
    CloseOnEscape(this);
    resize(720, 440);
    setWindowTitle("Datensicherung");

    auto* layout = new QVBoxLayout(this);
    auto* folderRow = new QHBoxLayout;
    auto* folderLabel = new QLabel("Sicherungs&verzeichnis:", this);
    folderRow->addWidget(folderLabel);
    m_folder = new QLineEdit(QString::fromStdString(Backup::Folder()), this);
    folderLabel->setBuddy(m_folder);
    m_folder->setObjectName("txtBackupFolder");
    folderRow->addWidget(m_folder, 1);
    auto* browse = MakeButton("cmdBrowse", "D&urchsuchen …", this);
    folderRow->addWidget(browse);
    auto* explorer = MakeButton("cmdExplorer", "&Ordner öffnen", this);
    folderRow->addWidget(explorer);
    layout->addLayout(folderRow);

    auto* listLabel = new QLabel("Vorhandene Datensicherun&gen:", this);
    layout->addWidget(listLabel);
    m_list = new QTreeWidget(this);
    listLabel->setBuddy(m_list);
    m_list->setObjectName("lstBackups");
    m_list->setHeaderLabels({"Datei", "Datum", "Größe"});
    m_list->setRootIsDecorated(false);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setStretchLastSection(false);
    FitHeaderTexts(m_list->header());
    layout->addWidget(m_list, 1);

    auto* fileRow = new QHBoxLayout;
    auto* fileLabel = new QLabel("Oder zurückladen aus Da&tei:", this);
    fileRow->addWidget(fileLabel);
    m_file = new QLineEdit(this);
    fileLabel->setBuddy(m_file);
    m_file->setObjectName("txtRestoreFile");
    fileRow->addWidget(m_file, 1);
    auto* browseFile = MakeButton("cmdBrowseFile", "Dat&ei …", this);
    fileRow->addWidget(browseFile);
    layout->addLayout(fileRow);

    m_reminder = new QCheckBox("An die Datensicherung e&rinnern", this);
    m_reminder->setObjectName("chkReminder");
    m_reminder->setChecked(Backup::Reminder());
    layout->addWidget(m_reminder);

    auto* buttons = new QHBoxLayout;
    auto* save = MakeButton("cmdStartSave", "Si&chern", this);
    auto* restore = MakeButton("cmdStartRestore", "&Wiederherstellen", this);
    auto* remove = MakeButton("cmdDelBackup", "&Löschen", this);
    auto* close = MakeButton("cmdClose", "Schließen", this);
    buttons->addWidget(save);
    buttons->addWidget(restore);
    buttons->addWidget(remove);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(browse, &QPushButton::clicked, this, [this] { RunTrapped([this] { BrowseFolder(); }); });
    connect(browseFile, &QPushButton::clicked, this, [this] { RunTrapped([this] { BrowseFile(); }); });
    connect(explorer, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdExplorer_Click(); }); });
    connect(save, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdStartSave_Click(); }); });
    connect(restore, &QPushButton::clicked, this,
            [this] { RunTrapped([this] { cmdStartRestore_Click(); }); });
    connect(remove, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdDelBackup_Click(); }); });
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    connect(m_reminder, &QCheckBox::clicked, this, [this] { RunTrapped([this] { chkReminder_Click(); }); });
    connect(m_folder, &QLineEdit::editingFinished, this, [this] { RefreshList(); });

    RefreshList();
}

std::string FrmBackup::FolderText() const
{
    return m_folder->text().trimmed().toStdString();
}

void FrmBackup::RefreshList()
{
    m_list->clear();
    for (const BackupEntry& entry : Backup::List(FolderText())) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, QString::fromStdString(entry.FileName));
        item->setText(1, QString::fromStdString(entry.DateText));
        item->setText(2, SizeText(entry.Size));
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(0, Qt::UserRole, QString::fromStdString(entry.Path));
    }
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
}

std::string FrmBackup::SelectedBackup() const
{
    const QTreeWidgetItem* item = m_list->currentItem();
    return item ? item->data(0, Qt::UserRole).toString().toStdString() : std::string();
}

void FrmBackup::BrowseFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(this, "Sicherungsverzeichnis wählen",
                                                             StartFolder("Sicherung", m_folder->text()));
    if (folder.isEmpty())
        return;
    RememberFolder("Sicherung", folder);
    m_folder->setText(folder);
    RefreshList();
}

void FrmBackup::BrowseFile()
{
    const QString file = QFileDialog::getOpenFileName(
        this, "Datensicherung wählen", StartFolder("Sicherung", m_folder->text()),
        "Datensicherungen (*.zip *.ZIP *.MDB *.mdb);;Alle Dateien (*)");
    if (!file.isEmpty()) {
        RememberFolder("Sicherung", file);
        m_file->setText(file);
        m_list->clearSelection();
        m_list->setCurrentItem(nullptr);
    }
}

void FrmBackup::cmdStartSave_Click()
{
    const std::string folder = FolderText();
    Backup::SetFolder(folder);
    Backup::SetMode(0);
    setEnabled(false);
    Backup backup(m_windows);
    const bool saved = backup.Save(folder);
    setEnabled(true);
    if (saved)
        CloseWindow(this);
    else
        RefreshList();
}

void FrmBackup::cmdStartRestore_Click()
{
    std::string source = m_file->text().trimmed().toStdString();
    if (source.empty())
        source = SelectedBackup();
    if (source.empty()) {
        UI().Inform("Bitte zuerst eine Datensicherung auswählen.", MsgIcon::Information,
                    AppContext::Current().AppCaption);
        return;
    }
    Backup::SetFolder(FolderText());
    Backup::SetMode(1);
    setEnabled(false);
    Backup backup(m_windows);
    const bool restored = backup.Restore(source);
    setEnabled(true);
    if (!restored)
        return;
    if (m_afterRestore)
        m_afterRestore();
    CloseWindow(this);
}

void FrmBackup::cmdDelBackup_Click()
{
    const std::string path = SelectedBackup();
    if (path.empty())
        return;
    Backup backup(m_windows);
    backup.Delete(path);
    RefreshList();
}

void FrmBackup::cmdExplorer_Click()
{
    const QString folder = m_folder->text().trimmed();
    if (!QFileInfo(folder).isDir()) {
        UI().Inform("Den Ordner \"" + S(folder) + "\" gibt es nicht.", MsgIcon::Warning, "");
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        UI().Inform("Der Ordner \"" + S(folder) +
                        "\" konnte nicht geöffnet werden: es ist kein Programm zum Anzeigen von Ordnern "
                        "eingerichtet.",
                    MsgIcon::Warning, "");
}

void FrmBackup::chkReminder_Click()
{
    Backup::SetReminder(m_reminder->isChecked());
}

} // namespace pf
