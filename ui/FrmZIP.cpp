#include "ui/FrmZIP.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "ui/ErrorTrap.h"
#include "ui/UiSupport.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace pf {

namespace {

void Warn(const std::string& text)
{
    UI().Inform(text, MsgIcon::Critical, AppContext::Current().AppCaption);
}

QTableWidgetItem* Cell(const QString& text, bool right = false)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (right)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

FrmZIP::FrmZIP(QWidget* parent) : QWidget(parent)
{
    setObjectName("FrmZIP");
    CloseOnEscape(this);
    resize(820, 480);
    setWindowTitle("ZIP-Archive");

    auto* layout = new QVBoxLayout(this);
    auto* archiveRow = new QHBoxLayout;
    archiveRow->addWidget(new QLabel("Archiv:", this));
    m_archive = new QLineEdit(this);
    m_archive->setObjectName("txtArchive");
    m_archive->setReadOnly(true);
    archiveRow->addWidget(m_archive, 1);
    auto* open = new QPushButton("Öff&nen …", this);
    open->setObjectName("cmdOpen");
    archiveRow->addWidget(open);
    layout->addLayout(archiveRow);

    m_table = new QTableWidget(0, 8, this);
    m_table->setObjectName("tblEntries");
    m_table->setHorizontalHeaderLabels(
        {"Name", "Ordner", "Datum", "Größe", "Gepackt", "Rate", "CRC", "Methode"});
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    FitHeaderTexts(m_table->horizontalHeader());
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->verticalHeader()->setVisible(false);
    layout->addWidget(m_table, 1);

    auto* targetRow = new QHBoxLayout;
    targetRow->addWidget(new QLabel("Entpacken nach:", this));
    m_target = new QLineEdit(this);
    m_target->setObjectName("txtTarget");
    targetRow->addWidget(m_target, 1);
    auto* target = new QPushButton("D&urchsuchen …", this);
    target->setObjectName("cmdTarget");
    targetRow->addWidget(target);
    layout->addLayout(targetRow);

    auto* buttons = new QHBoxLayout;
    m_keepFolders = new QCheckBox("&Ordner des Archivs anlegen", this);
    m_keepFolders->setObjectName("chkKeepFolders");
    m_keepFolders->setChecked(true);
    buttons->addWidget(m_keepFolders);
    buttons->addStretch(1);
    auto* expand = new QPushButton("&Entpacken", this);
    expand->setObjectName("cmdExpand");
    buttons->addWidget(expand);
    auto* close = new QPushButton("Schließen", this);
    close->setObjectName("cmdClose");
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(open, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdOpen_Click(); }); });
    connect(target, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdTarget_Click(); }); });
    connect(expand, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdExpand_Click(); }); });
    connect(close, &QPushButton::clicked, this, [this] {
        if (parentWidget() && parentWidget()->inherits("QMdiSubWindow"))
            parentWidget()->close();
        else
            this->close();
    });
}

bool FrmZIP::LoadArchive(const std::string& path)
{
    m_table->setRowCount(0);
    m_archive->setText(QString::fromStdString(path));
    if (!m_zip.LoadZIPFile(path)) {
        Warn("Das ZIP-Archiv kann nicht gelesen werden: " + m_zip.LastResultText());
        return false;
    }
    const QLocale german(QLocale::German);
    m_table->setRowCount(m_zip.ZIPFilecount());
    for (int i = 0; i < m_zip.ZIPFilecount(); ++i) {
        const ZipEntryInfo entry = m_zip.FileInfo(i);
        m_table->setItem(i, 0, Cell(QString::fromStdString(entry.Name)));
        m_table->setItem(i, 1, Cell(QString::fromStdString(entry.Folder)));
        m_table->setItem(i, 2, Cell(QString::fromStdString(DosDateTimeText(entry.Date))));
        m_table->setItem(i, 3, Cell(german.toString(static_cast<qulonglong>(entry.Size)), true));
        m_table->setItem(i, 4, Cell(german.toString(static_cast<qulonglong>(entry.SizeCompressed)), true));
        m_table->setItem(i, 5, Cell(QString::number(entry.Ratio) + " %", true));
        m_table->setItem(i, 6, Cell(QString("%1").arg(entry.CRC, 8, 16, QChar('0')).toUpper(), true));
        m_table->setItem(i, 7, Cell(QString::fromStdString(entry.CompressionType)));
    }
    if (m_target->text().isEmpty())
        m_target->setText(QString::fromStdString(AppContext::Current().DataDir + "ZIP"));
    return true;
}

bool FrmZIP::ExtractSelected(const std::string& folder)
{
    m_zip.ZIPSelectAll(false);
    for (const QModelIndex& row : m_table->selectionModel()->selectedRows())
        m_zip.ZIPSelect(row.row());
    if (m_zip.ZIPSelectCount() == 0) {
        UI().Inform("Bitte zuerst die Einträge auswählen, die entpackt werden sollen.", MsgIcon::Information,
                    AppContext::Current().AppCaption);
        return false;
    }
    UI().SetBusy(true);
    const bool done = m_zip.Expand(folder, m_keepFolders->isChecked());
    UI().SetBusy(false);
    if (!done) {
        Warn("ZIP Error: (" + std::to_string(m_zip.LastResult()) + ") " + m_zip.LastResultText());
        return false;
    }
    UI().Inform(std::to_string(m_zip.ZIPSelectCount()) + " Datei(en) nach \"" + folder + "\" entpackt.",
                MsgIcon::Information, AppContext::Current().AppCaption);
    return true;
}

void FrmZIP::cmdOpen_Click()
{
    const QString file =
        QFileDialog::getOpenFileName(this, "ZIP-Archiv öffnen", StartFolder("ZIP", m_archive->text()),
                                     "ZIP-Archive (*.zip *.ZIP);;Alle Dateien (*)");
    if (file.isEmpty())
        return;
    RememberFolder("ZIP", file);
    LoadArchive(file.toStdString());
}

void FrmZIP::cmdTarget_Click()
{
    const QString folder = QFileDialog::getExistingDirectory(this, "Zielordner wählen",
                                                             StartFolder("ZIP-Ziel", m_target->text()));
    if (folder.isEmpty())
        return;
    RememberFolder("ZIP-Ziel", folder);
    m_target->setText(folder);
}

void FrmZIP::cmdExpand_Click()
{
    const std::string folder = m_target->text().trimmed().toStdString();
    if (folder.empty()) {
        UI().Inform("Bitte einen Zielordner angeben.", MsgIcon::Information,
                    AppContext::Current().AppCaption);
        return;
    }
    ExtractSelected(folder);
}

} // namespace pf
