#include "ui/FrmSetFingerprint.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "db/DatabaseChoice.h"
#include "model/ClFingerprint.h"
#include "ui/ErrorTrap.h"
#include "ui/UiSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace pf {

namespace {

struct TableChoice
{
    const char* Name;
    const char* Table;
};

constexpr TableChoice kTables[] = {{"Rezepte", "T_REZ_KOPF"},
                                   {"Lebensmittel", "T_BLS_KEY"},
                                   {"Utensilien", "T_GERAET"},
                                   {"Zusatzstoffe", "T_GIFT"},
                                   {"Lexikon", "T_LEXIKON"}};

QString TodayText()
{
    return QDate::currentDate().toString("dd.MM.yyyy");
}

} // namespace

FrmSetFingerprint::FrmSetFingerprint(QWidget* parent) : QWidget(parent)
{
    setObjectName("FrmSetFingerprint");
    CloseOnEscape(this);
    setWindowTitle("Fingerabdrücke");

    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto* tableRow = new QHBoxLayout;
    m_table = new QComboBox(this);
    m_table->setObjectName("cboTable");
    for (const TableChoice& choice : kTables)
        m_table->addItem(QString::fromUtf8(choice.Name), QString::fromLatin1(choice.Table));
    tableRow->addWidget(m_table, 1);
    tableRow->addWidget(new QLabel("Art:", this));
    m_lexikonType = new QSpinBox(this);
    m_lexikonType->setObjectName("spnLexikonType");
    m_lexikonType->setRange(0, 99);
    m_lexikonType->setEnabled(false);
    tableRow->addWidget(m_lexikonType);
    form->addRow("Tabelle:", tableRow);

    auto* creatorRow = new QHBoxLayout;
    m_creator = new QLineEdit(QString::fromStdString(AppContext::Current().WinUser), this);
    m_creator->setObjectName("txtCreator");
    creatorRow->addWidget(m_creator, 1);
    auto* creatorButton = MakeButton("cmdCreator", "…", this);
    creatorRow->addWidget(creatorButton);
    form->addRow("Benutzername:", creatorRow);

    auto* dateRow = new QHBoxLayout;
    m_date = new QLineEdit(TodayText(), this);
    m_date->setObjectName("txtDate");
    dateRow->addWidget(m_date, 1);
    auto* dateButton = MakeButton("cmdDate", "…", this);
    dateRow->addWidget(dateButton);
    form->addRow("Datum:", dateRow);
    layout->addLayout(form);

    auto* rows = new QGroupBox("Welche Datensätze", this);
    auto* rowsLayout = new QVBoxLayout(rows);
    m_missing = new QRadioButton("Datensätze &ohne Fingerprint", rows);
    m_missing->setObjectName("optMissing");
    m_missing->setChecked(true);
    rowsLayout->addWidget(m_missing);
    auto* olderRow = new QHBoxLayout;
    m_olderThan = new QRadioButton("Datensätze &bearbeitet vor dem", rows);
    m_olderThan->setObjectName("optOlderThan");
    m_olderThanDate = new QLineEdit(TodayText(), rows);
    m_olderThanDate->setObjectName("txtOlderThan");
    olderRow->addWidget(m_olderThan);
    olderRow->addWidget(m_olderThanDate, 1);
    rowsLayout->addLayout(olderRow);
    auto* rangeRow = new QHBoxLayout;
    m_creatorRange = new QRadioButton("Datensätze der &Ersteller-Nummern", rows);
    m_creatorRange->setObjectName("optCreatorRange");
    m_creatorFrom = new QSpinBox(rows);
    m_creatorFrom->setObjectName("spnCreatorFrom");
    m_creatorFrom->setRange(0, static_cast<int>(ClFingerprint::kCreatorMask));
    m_creatorTo = new QSpinBox(rows);
    m_creatorTo->setObjectName("spnCreatorTo");
    m_creatorTo->setRange(0, static_cast<int>(ClFingerprint::kCreatorMask));
    rangeRow->addWidget(m_creatorRange);
    rangeRow->addWidget(m_creatorFrom);
    rangeRow->addWidget(new QLabel("bis", rows));
    rangeRow->addWidget(m_creatorTo);
    rangeRow->addStretch(1);
    rowsLayout->addLayout(rangeRow);
    layout->addWidget(rows);

    m_newSerial = new QCheckBox("Neue Serial &vergeben", this);
    m_newSerial->setObjectName("chkNewSerial");
    layout->addWidget(m_newSerial);

    auto* buttons = new QHBoxLayout;
    auto* ok = MakeButton("cmdOK", "Fi&ngerprints setzen", this);
    auto* dupeKill = MakeButton("cmdDupeKill", "Doppelte &Serials beheben …", this);
    auto* close = MakeButton("cmdClose", "Schließen", this);
    buttons->addWidget(ok);
    buttons->addWidget(dupeKill);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    layout->addStretch(1);

    connect(m_table, &QComboBox::currentIndexChanged, this,
            [this] { m_lexikonType->setEnabled(Table() == "T_LEXIKON"); });
    connect(creatorButton, &QPushButton::clicked, this,
            [this] { RunTrapped([this] { cmdCreator_Click(); }); });
    connect(dateButton, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdDate_Click(); }); });
    connect(ok, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdOK_Click(); }); });
    connect(dupeKill, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdDupeKill_Click(); }); });
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
}

std::optional<DateSerial> FrmSetFingerprint::ParseDate(const QString& text)
{
    const QString trimmed = text.trimmed();
    for (const char* format : {"d.M.yyyy H:mm", "d.M.yyyy"}) {
        const QDateTime value = QDateTime::fromString(trimmed, QString::fromLatin1(format));
        if (value.isValid() && value.date().year() >= 1980)
            return DateSerial::FromParts(value.date().year(), value.date().month(), value.date().day(),
                                         value.time().hour(), value.time().minute());
    }
    return std::nullopt;
}

std::optional<DateSerial> FrmSetFingerprint::FieldDate(QLineEdit* field)
{
    std::optional<DateSerial> date = ParseDate(field->text());
    if (!date) {
        UI().Inform("Ungültiges Datum...", MsgIcon::Warning, "Fingerprint Datum");
        field->setFocus();
    }
    return date;
}

std::string FrmSetFingerprint::Table() const
{
    return m_table->currentData().toString().toStdString();
}

long FrmSetFingerprint::LexikonType() const
{
    return Table() == "T_LEXIKON" ? m_lexikonType->value() : -1;
}

void FrmSetFingerprint::cmdCreator_Click()
{
    bool ok = false;
    const QString name =
        QInputDialog::getText(this, "Fingerprint Benutzername",
                              "Benutzername eingeben, der für den Fingerprint massgeblich sein soll",
                              QLineEdit::Normal, m_creator->text(), &ok);
    if (ok)
        m_creator->setText(name.trimmed());
}

void FrmSetFingerprint::cmdDate_Click()
{
    bool ok = false;
    const QString text = QInputDialog::getText(
        this, "Fingerprint Datum", "Datum angeben, welches für den Fingerprint massgeblich sein soll",
        QLineEdit::Normal, m_date->text(), &ok);
    if (!ok)
        return;
    if (!ParseDate(text)) {
        UI().Inform("Ungültiges Datum...", MsgIcon::Warning, "Fingerprint Datum");
        return;
    }
    m_date->setText(text.trimmed());
}

void FrmSetFingerprint::cmdOK_Click()
{
    FingerprintRequest request;
    request.Table = Table();
    request.LexikonType = LexikonType();
    request.CreatorName = m_creator->text().trimmed().toStdString();
    request.NewSerial = m_newSerial->isChecked();
    const std::optional<DateSerial> date = FieldDate(m_date);
    if (!date)
        return;
    request.Datum = *date;
    if (m_olderThan->isChecked()) {
        const std::optional<DateSerial> olderThan = FieldDate(m_olderThanDate);
        if (!olderThan)
            return;
        request.Scope = FingerprintScope::OlderThan;
        request.OlderThan = *olderThan;
    } else if (m_creatorRange->isChecked()) {
        request.Scope = FingerprintScope::CreatorRange;
        request.CreatorFrom = std::min(m_creatorFrom->value(), m_creatorTo->value());
        request.CreatorTo = std::max(m_creatorFrom->value(), m_creatorTo->value());
    }
    const std::string caption = AppContext::Current().AppCaption;
    ClFingerprint fingerprint;
    long count = 0;
    UI().SetBusy(true);
    const bool done = fingerprint.SetFingerprints(WorkDb(), request, count);
    UI().SetBusy(false);
    if (!done) {
        UI().Inform(fingerprint.LastErrorText(), MsgIcon::Critical, caption);
        return;
    }
    UI().Inform(ClFingerprint::SetFingerprintsReport(count), MsgIcon::Information, caption);
}

void FrmSetFingerprint::cmdDupeKill_Click()
{
    const std::optional<DateSerial> since = FieldDate(m_date);
    if (!since)
        return;
    const std::string caption = AppContext::Current().AppCaption;
    // Rows of that day count as newer: the comparison starts at midnight.
    const DateSerial midnight{static_cast<double>(static_cast<long>(since->Days))};
    if (UI().Ask(ClFingerprint::DupeKillQuestion(midnight), Buttons::YesNo, Answer::No, MsgIcon::Question,
                 caption) != Answer::Yes)
        return;
    ClFingerprint fingerprint;
    long count = 0;
    UI().SetBusy(true);
    const bool done = fingerprint.DupeKill(WorkDb(), Table(), LexikonType(), midnight, count);
    UI().SetBusy(false);
    if (!done) {
        UI().Inform(fingerprint.LastErrorText(), MsgIcon::Critical, caption);
        return;
    }
    UI().Inform(std::to_string(count) + " Serials wurden neu vergeben.", MsgIcon::Information, caption);
}

} // namespace pf
