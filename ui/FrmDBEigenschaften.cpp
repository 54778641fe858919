#include "ui/FrmDBEigenschaften.h"

#include "db/DatabaseChoice.h"
#include "db/Recordset.h"
#include "db/SchemaVersion.h"

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

// The tables whose row counts tell how much a database holds, with their German names.
struct CountedTable
{
    const char* Table;
    const char* Label;
};
const CountedTable kCounted[] = {
    {"T_REZ_KOPF", "Rezepte"},
    {"T_REZ_ZUTAT", "Zutatenzeilen"},
    {"T_BUCH", "Kochbücher"},
    {"T_CAT", "Kategorien"},
    {"T_UNIT", "Einheiten"},
    {"T_MENU_KOPF", "Menüs"},
    {"T_SHOPPING_KOPF", "Einkaufslisten"},
    {"T_ADRESSE", "Adressen"},
    {"T_LEXIKON", "Lexikoneinträge"},
    {"T_LITERATUR", "Literaturquellen"},
    {"T_BLS_DAT", "Lebensmittel (BLS)"},
    {"T_USER", "Benutzer"},
};

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

QString DateText(const Value& value)
{
    if (value.IsNull())
        return {};
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    value.AsDate().ToParts(year, month, day, hour, minute, second);
    return QString("%1.%2.%3").arg(day, 2, 10, QChar('0')).arg(month, 2, 10, QChar('0')).arg(year);
}

} // namespace

FrmDBEigenschaften::FrmDBEigenschaften(QWidget* parent) : QWidget(parent)
{
    setObjectName("FrmDBEigenschaften");
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
    m_history = new QTableWidget(0, 5, this);
    m_history->setObjectName("tblVersion");
    m_history->setHorizontalHeaderLabels({"Major", "Minor", "Build", "Datum", "Beschreibung"});
    m_history->verticalHeader()->setVisible(false);
    m_history->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_history, 1);

    layout->addWidget(new QLabel("Inhalt:", this));
    m_counts = new QTableWidget(0, 3, this);
    m_counts->setObjectName("tblCounts");
    m_counts->setHorizontalHeaderLabels({"Tabelle", "Inhalt", "Zeilen"});
    m_counts->verticalHeader()->setVisible(false);
    m_counts->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_counts, 1);

    auto* close = new QPushButton("Schließen", this);
    close->setObjectName("cmdClose");
    layout->addWidget(close, 0, Qt::AlignRight);
    connect(close, &QPushButton::clicked, this, [this] {
        if (parentWidget() && parentWidget()->inherits("QMdiSubWindow"))
            parentWidget()->close();
        else
            this->close();
    });

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
        auto rs = db.OpenRecordset("SELECT * FROM T_VERSION ORDER BY Major DESC,Minor DESC,Build DESC");
        for (; !rs->Eof(); rs->MoveNext()) {
            const int row = m_history->rowCount();
            m_history->insertRow(row);
            m_history->setItem(row, 0, Cell(QString::number(rs->Field("Major").AsLong())));
            m_history->setItem(row, 1, Cell(QString::number(rs->Field("Minor").AsLong())));
            m_history->setItem(row, 2, Cell(QString::number(rs->Field("Build").AsLong())));
            // Older version tables lack the date and the description.
            Value date, description;
            try {
                date = rs->Field("Date");
                description = rs->Field("Description");
            } catch (const DbError&) {
            }
            m_history->setItem(row, 3, Cell(DateText(date)));
            m_history->setItem(
                row, 4, Cell(QString::fromStdString(description.IsNull() ? "" : description.AsText())));
        }
    } catch (const DbError& error) {
        m_version->setText("nicht lesbar: " + QString::fromStdString(error.Description()));
    }
    for (const CountedTable& table : kCounted) {
        if (!db.TableExists(table.Table))
            continue;
        const long count =
            static_cast<long>(db.Scalar(std::string("SELECT COUNT(*) FROM ") + table.Table).AsLong());
        const int row = m_counts->rowCount();
        m_counts->insertRow(row);
        m_counts->setItem(row, 0, Cell(table.Table));
        m_counts->setItem(row, 1, Cell(table.Label));
        auto* number = Cell(german.toString(static_cast<qlonglong>(count)));
        number->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_counts->setItem(row, 2, number);
    }
}

} // namespace pf
