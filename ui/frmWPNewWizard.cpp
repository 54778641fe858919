#include "ui/frmWPNewWizard.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "db/SchemaVersion.h"
#include "planning/ClMenu.h"
#include "planning/WeekCalendar.h"
#include "ui/UiSupport.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace pf {

namespace {

constexpr const char* kCaption = "Neuer Wochenplan";

// A short date "07.12.2026" (also "7.12.2026"); false for anything else.
bool ReadShortDate(const QString& text, DateSerial& date)
{
    const QStringList parts = text.trimmed().split('.');
    if (parts.size() != 3)
        return false;
    bool okDay = false, okMonth = false, okYear = false;
    const int day = parts[0].toInt(&okDay), month = parts[1].toInt(&okMonth), year = parts[2].toInt(&okYear);
    if (!okDay || !okMonth || !okYear || year < 1900 || month < 1 || month > 12 || day < 1)
        return false;
    date = DateSerial::FromParts(year, month, day);
    int y = 0, m = 0, d = 0, hour = 0, minute = 0, second = 0;
    date.ToParts(y, m, d, hour, minute, second);
    return d == day;
}

} // namespace

frmWPNewWizard::frmWPNewWizard(Database* db, QWidget* parent) : QDialog(parent), m_db(db)
{
    setObjectName("frmWPNewWizard");
    setWindowTitle(Q(kCaption));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout();
    m_start = Named(new QLineEdit(this), "txtStartDate");
    // The next Monday is the usual start of a canteen week.
    const long today = DayOf(NowSerial());
    m_start->setText(Q(ShortDateText(
        DateSerial{static_cast<double>(today + 8 - IsoWeekday(DateSerial{static_cast<double>(today)}))})));
    m_weekday = Named(new QLabel(this), "lblWeekday");
    m_days = Named(new QSpinBox(this), "spnDays");
    m_days->setRange(1, 31);
    m_days->setValue(7);
    m_days->setSuffix(Q(" Tage"));
    form->addRow(Q("&Erster Tag:"), m_start);
    form->addRow(QString(), m_weekday);
    form->addRow(Q("&Dauer:"), m_days);
    layout->addLayout(form);
    QPushButton* ok = AddOkCancel(this, layout);
    connect(ok, &QPushButton::clicked, this, &frmWPNewWizard::cmdOK_Click);
    connect(m_start, &QLineEdit::textChanged, this, &frmWPNewWizard::ShowWeekday);
    ShowWeekday();
}

void frmWPNewWizard::ShowWeekday()
{
    DateSerial date;
    m_weekday->setText(ReadShortDate(m_start->text(), date)
                           ? Q(GermanWeekdayName(date) + ", KW " + std::to_string(CalendarWeek(date)))
                           : QString());
}

void frmWPNewWizard::cmdOK_Click()
{
    DateSerial start;
    if (!ReadShortDate(m_start->text(), start)) {
        UI().Inform("Bitte geben Sie den ersten Tag als Datum ein (z. B. 07.12.2026).", MsgIcon::Warning,
                    kCaption);
        return;
    }
    if (UI().Ask("Damit wird ein neuer Wochenplan erstellt. Wirklich fortfahren?", Buttons::YesNo, Answer::No,
                 MsgIcon::Question, kCaption) != Answer::Yes)
        return;
    ClMenu& plan = m_plan;
    plan.SetDB(m_db);
    plan.CreateNewWP(start, m_days->value());
    if (plan.CheckWPDate()) {
        UI().Inform("Am " + ShortDateText(start) + " beginnt bereits ein Wochenplan.", MsgIcon::Warning,
                    kCaption);
        return;
    }
    if (!plan.Save()) {
        UI().Inform("Der Wochenplan konnte nicht gespeichert werden.", MsgIcon::Critical, kCaption);
        return;
    }
    accept();
}

} // namespace pf
