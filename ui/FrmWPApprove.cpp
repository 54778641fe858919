#include "ui/FrmWPApprove.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "planning/ClMenu.h"
#include "planning/WeekPlanPrint.h"
#include "planning/WeekPlanText.h"
#include "ui/PrintPreview.h"
#include "ui/UiSupport.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace pf {

namespace {

constexpr const char* kCaption = "Wochenplangenehmigung";

} // namespace

FrmWPApprove::FrmWPApprove(QWidget* parent) : QDialog(parent)
{
    setObjectName("FrmWPApprove");
    setWindowTitle(Q(kCaption));
    auto* layout = new QVBoxLayout(this);
    m_status = Named(new QLabel(this), "lblStatus");
    layout->addWidget(m_status);
    m_breaches = Named(new QTableWidget(0, 3, this), "grdBreaches");
    m_breaches->setHorizontalHeaderLabels({Q("Rezept"), Q("Datum"), Q("Verstoss")});
    m_breaches->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_breaches->horizontalHeader()->setStretchLastSection(true);
    m_breaches->verticalHeader()->hide();
    FitHeaderTexts(m_breaches->horizontalHeader());
    layout->addWidget(m_breaches, 2);
    m_genericCaption = Named(new QLabel(this), "lblGeneric");
    layout->addWidget(m_genericCaption);
    m_generic = Named(new QListWidget(this), "lstGeneric");
    layout->addWidget(m_generic, 1);
    auto* buttons = new QHBoxLayout();
    QPushButton* print = MakeButton("cmdPrint", Q("In die &Zwischenablage"), this);
    QPushButton* paper = MakeButton("cmdPrintPaper", Q("&Drucken …"), this);
    QPushButton* withdraw = MakeButton("cmdWithdraw", Q("Genehmigung &aufheben"), this);
    QPushButton* approve = MakeButton("cmdApprove", Q("&Genehmigen"), this);
    QPushButton* close = MakeButton("cmdClose", Q("S&chließen"), this);
    buttons->addWidget(print);
    buttons->addWidget(paper);
    buttons->addStretch(1);
    for (QPushButton* b : {withdraw, approve, close})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(print, &QPushButton::clicked, this, &FrmWPApprove::cmdPrint_Click);
    connect(paper, &QPushButton::clicked, this, [this] {
        if (m_plan)
            PreviewPrintout(this, "Wochenplan vom " + ShortDateText(m_plan->MenuDate()),
                            [this](PageCanvas& canvas) { PrintWPApprovalList(canvas, *m_plan); });
    });
    connect(withdraw, &QPushButton::clicked, this, &FrmWPApprove::cmdWithdraw_Click);
    connect(approve, &QPushButton::clicked, this, &FrmWPApprove::cmdApprove_Click);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    CloseOnEscape(this);
    resize(720, 480);
}

void FrmWPApprove::SetWP(ClMenu& plan)
{
    m_plan = &plan;
    ShowState();
}

void FrmWPApprove::ShowState()
{
    if (!m_plan)
        return;
    setWindowTitle(Q("Wochenplangenehmigung - [" + m_plan->GenMenuEntryTitle() + "]"));
    const DateSerial approved = m_plan->WPApproveDate();
    if (approved.Days == 0) {
        m_status->setText(Q("Der Wochenplan ist aktuell noch nicht genehmigt."));
    } else {
        const std::string when = DateTimeText(approved);
        m_status->setText(
            Q("Der Wochenplan wurde am " + when.substr(0, 10) + " um " + when.substr(11, 5) + " genehmigt."));
    }
    const std::vector<WPBreach> breaches = m_plan->WPCheck();
    m_breaches->setRowCount(static_cast<int>(breaches.size()));
    for (int row = 0; row < static_cast<int>(breaches.size()); ++row) {
        const WPBreach& b = breaches[static_cast<std::size_t>(row)];
        m_breaches->setItem(row, 0, new QTableWidgetItem(Q(b.Title)));
        m_breaches->setItem(row, 1,
                            new QTableWidgetItem(Q(ShortDateText(DateSerial{static_cast<double>(b.Day)}))));
        m_breaches->setItem(row, 2, new QTableWidgetItem(Q(b.Text)));
    }
    m_breaches->resizeColumnsToContents();
    m_generic->clear();
    for (int i = 1; i <= m_plan->CoursesCount(); ++i)
        if (m_plan->CourseGeneric(i))
            m_generic->addItem(Q(m_plan->CourseTitle(i)));
    m_genericCaption->setText(m_generic->count() == 0 ? Q("Es sind keine Rezepte zu komplettieren.")
                                                      : Q("Liste der generischen Rezepte"));
}

void FrmWPApprove::cmdApprove_Click()
{
    if (!m_plan || m_plan->WPApproveDate().Days != 0)
        return;
    if (UI().Ask("Wirklich genehmigen?", Buttons::YesNo, Answer::No, MsgIcon::Question, kCaption) !=
        Answer::Yes)
        return;
    m_plan->WPApprove(true);
    if (!m_plan->Save())
        UI().Inform("Der Wochenplan konnte nicht gespeichert werden: " + m_plan->LastErrorText(),
                    MsgIcon::Critical, kCaption);
    ShowState();
}

void FrmWPApprove::cmdWithdraw_Click()
{
    if (!m_plan || m_plan->WPApproveDate().Days == 0)
        return;
    if (UI().Ask("Soll die Genehmigung wirklich aufgehoben werden?", Buttons::YesNo, Answer::No,
                 MsgIcon::Question, kCaption) != Answer::Yes)
        return;
    m_plan->WPApprove(false);
    if (!m_plan->Save())
        UI().Inform("Der Wochenplan konnte nicht gespeichert werden: " + m_plan->LastErrorText(),
                    MsgIcon::Critical, kCaption);
    ShowState();
}

void FrmWPApprove::cmdPrint_Click()
{
    if (!m_plan)
        return;
    UI().SetClipboardText(WPPlanText(*m_plan));
    UI().Inform("Die Daten sind in der Zwischenablage", MsgIcon::Information, kCaption);
}

} // namespace pf
