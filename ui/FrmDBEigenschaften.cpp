#include "ui/FrmDBEigenschaften.h"

#include "db/DatabaseChoice.h"
#include "db/DatabaseContents.h"
#include "db/SchemaVersion.h"
#include "ui/UiSupport.h"

#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <filesystem>

namespace pf {

namespace {

QLabel* ValueLabel(const char* name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QTableWidgetItem* Cell(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

QString DateText(DateSerial date)
{
    if (date.Days == 0)
        return {};
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    date.ToParts(year, month, day, hour, minute, second);
    return QString("%1.%2.%3").arg(day, 2, 10, QChar('0')).arg(month, 2, 10, QChar('0')).arg(year);
}

} // namespace

FrmDBEigenschaften::FrmDBEigenschaften(QWidget* parent) : QWidget(parent)
{
    setObjectName("FrmDBEigenschaften");
    CloseOnEscape(this);
    resize(760, 600);
    setWindowTitle("Datenbank-Eigenschaften");

    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_path = ValueLabel("lblPath", this);
    m_kind = ValueLabel("lblKind", this);
    m_version = ValueLabel("lblVersion", this);
    m_size = ValueLabel("lblSize", this);
    m_readOnly = ValueLabel("lblReadOnly", this);
    form->addRow("Datenbank:", m_path);
    form->addRow("Art:", m_kind);
    form->addRow("Schema-Version:", m_version);
    form->addRow("Dateigröße:", m_size);
    form->addRow("Nur lesen:", m_readOnly);
    layout->addLayout(form);

    layout->addWidget(new QLabel("Versionsgeschichte:", this));
    m_history = new QTableWidget(0, 3, this);
    m_history->setObjectName("tblVersion");
    m_history->setHorizontalHeaderLabels({"Version", "Datum", "Beschreibung"});
    m_history->verticalHeader()->setVisible(false);
    m_history->horizontalHeader()->setStretchLastSection(true);
    m_history->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_history->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    layout->addWidget(m_history, 1);

    layout->addWidget(new QLabel("Inhalt:", this));
    m_counts = new QTableWidget(0, 3, this);
    m_counts->setObjectName("tblCounts");
    m_counts->setHorizontalHeaderLabels({"Tabelle", "Inhalt", "Zeilen"});
    m_counts->verticalHeader()->setVisible(false);
    m_counts->horizontalHeader()->setStretchLastSection(true);
    m_counts->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_counts->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    layout->addWidget(m_counts, 1);

    auto* close = new QPushButton("Schließen", this);
    close->setObjectName("cmdClose");
    layout->addWidget(close, 0, Qt::AlignRight);
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });

    Refresh();
}

QLabel* FrmDBEigenschaften::Field(const char* name) const
{
    return findChild<QLabel*>(name);
}

void FrmDBEigenschaften::Refresh()
{
    const ConnectionState& conn = Connection();
    const QLocale german(QLocale::German);
    m_path->setText(QString::fromStdString(conn.DbPath));
    m_kind->setText(conn.DbType == 0 ? "Datenbank-Datei"
                                     : "ODBC-Datenquelle (" + QString::fromStdString(conn.DbTypeText) + ")");
    m_history->setRowCount(0);
    m_counts->setRowCount(0);
    std::error_code ec;
    const auto size = conn.DbType == 0 ? std::filesystem::file_size(conn.DbPath, ec) : 0;
    m_size->setText(conn.DbType != 0 || ec ? QString("-")
                                           : german.toString(static_cast<qulonglong>(size)) + " Bytes");
    if (!HasWorkDb()) {
        m_version->setText("-");
        m_readOnly->setText("-");
        return;
    }
    Database& db = WorkDb();
    m_readOnly->setText(db.IsUpdatable() ? "nein" : "ja");
    try {
        m_version->setText(QString::fromStdString(DatabaseVersionText(db)));
        for (const VersionEntry& entry : pf::VersionHistory(db)) {
            const int row = m_history->rowCount();
            m_history->insertRow(row);
            m_history->setItem(row, 0, Cell(QString::fromStdString(entry.Version)));
            m_history->setItem(row, 1, Cell(DateText(entry.Date)));
            m_history->setItem(row, 2, Cell(QString::fromStdString(entry.Description)));
        }
    } catch (const DbError& error) {
        m_version->setText("nicht lesbar: " + QString::fromStdString(error.Description()));
    }
    std::vector<TableCount> counts;
    try {
        counts = DatabaseContents(db);
    } catch (const DbError&) {
        // A table that cannot be read leaves the contents empty; the version line says why.
    }
    for (const TableCount& table : counts) {
        const int row = m_counts->rowCount();
        m_counts->insertRow(row);
        m_counts->setItem(row, 0, Cell(QString::fromStdString(table.Table)));
        m_counts->setItem(row, 1, Cell(QString::fromStdString(table.Label)));
        auto* number = Cell(german.toString(static_cast<qlonglong>(table.Rows)));
        number->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_counts->setItem(row, 2, number);
    }
}

} // namespace pf
