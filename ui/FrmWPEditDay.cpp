#include "ui/FrmWPEditDay.h"

#include "planning/ClMenu.h"
#include "planning/WeekCalendar.h"
#include "planning/WeekPlanText.h"
#include "ui/FrmWPEdit.h"
#include "ui/FrmWPEditGeneric.h"
#include "ui/UiSupport.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace pf {

FrmWPEditDay::FrmWPEditDay(ClMenu& plan, int day, Database* db, QWidget* parent)
    : QDialog(parent), m_plan(plan), m_db(db), m_day(day)
{
    setObjectName("FrmWPEditDay");
    auto* layout = new QVBoxLayout(this);
    m_head = Named(new QLabel(this), "lblDay");
    QFont bold = m_head->font();
    bold.setBold(true);
    m_head->setFont(bold);
    layout->addWidget(m_head);

    auto* splitter = new QSplitter(this);
    m_levels = Named(new QTableWidget(0, 3, this), "grdDay");
    m_levels->setHorizontalHeaderLabels({Q("Ebene"), Q("Gericht"), Q("Preis")});
    m_levels->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_levels->setSelectionMode(QAbstractItemView::SingleSelection);
    m_levels->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_levels->verticalHeader()->hide();
    m_levels->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    RoomyRows(m_levels);
    FitHeaderTexts(m_levels->horizontalHeader());
    splitter->addWidget(m_levels);
    m_search = new FrmWPEditRezSearch(this);
    // This dialog is modal: a recipe editor opened from it could not be used until it closes.
    m_search->AllowVariation(false);
    splitter->addWidget(m_search);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    layout->addWidget(splitter, 1);

    auto* buttons = new QHBoxLayout();
    QPushButton* previous = MakeButton("cmdPrevDay", Q("&Vorheriger Tag"), this);
    QPushButton* next = MakeButton("cmdNextDay", Q("&Nächster Tag"), this);
    QPushButton* place = MakeButton("cmdPlace", Q("Rezept &einsetzen"), this);
    QPushButton* generic = MakeButton("cmdGeneric", Q("Gericht &ohne Rezept …"), this);
    QPushButton* remove = MakeButton("cmdRemove", Q("Gericht ent&fernen"), this);
    QPushButton* close = MakeButton("cmdClose", Q("S&chließen"), this);
    for (QPushButton* b : {previous, next})
        buttons->addWidget(b);
    buttons->addStretch(1);
    for (QPushButton* b : {place, generic, remove, close})
        buttons->addWidget(b);
    layout->addLayout(buttons);

    connect(previous, &QPushButton::clicked, this, [this] { SetDay(m_day - 1); });
    connect(next, &QPushButton::clicked, this, [this] { SetDay(m_day + 1); });
    connect(place, &QPushButton::clicked, this, &FrmWPEditDay::cmdPlace_Click);
    connect(m_search->List(), &QListWidget::itemDoubleClicked, this, &FrmWPEditDay::cmdPlace_Click);
    connect(generic, &QPushButton::clicked, this, &FrmWPEditDay::cmdGeneric_Click);
    connect(remove, &QPushButton::clicked, this, &FrmWPEditDay::cmdRemove_Click);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_levels, &QTableWidget::currentCellChanged, this, &FrmWPEditDay::ShowCandidates);
    connect(m_search, &FrmWPEditRezSearch::Refill, this, &FrmWPEditDay::ShowCandidates);
    CloseOnEscape(this);
    resize(900, 480);
    SetDay(day);
}

void FrmWPEditDay::SetDay(int day)
{
    if (day < 1 || day > m_plan.WPDayCount())
        return;
    const int level = std::max(CurrentLevel(), 1);
    m_day = day;
    ShowDay();
    SelectLevel(level);
    findChild<QPushButton*>("cmdPrevDay")->setEnabled(m_day > 1);
    findChild<QPushButton*>("cmdNextDay")->setEnabled(m_day < m_plan.WPDayCount());
}

void FrmWPEditDay::ShowDay()
{
    const DateSerial date{static_cast<double>(DayOf(m_plan.MenuDate()) + m_day - 1)};
    std::string head = GermanWeekdayName(date) + ", " + ShortDateText(date);
    if (m_plan.WPApproveDate().Days != 0)
        head += " (bereits genehmigt)";
    m_head->setText(Q(head));
    setWindowTitle(Q("Wochenplan - " + head));
    clsWPLevel& levels = m_plan.WPLevels();
    const int row = m_levels->currentRow();
    m_levels->setRowCount(levels.Max());
    for (int level = 1; level <= levels.Max(); ++level) {
        const int course = m_plan.WPCourse(m_day, levels.id(level));
        std::string dish = course ? m_plan.CourseTitle(course) : "";
        if (course && m_plan.CourseGeneric(course))
            dish += " [Generisch]";
        m_levels->setItem(level - 1, 0, new QTableWidgetItem(Q(levels.Name(level))));
        auto* dishItem = new QTableWidgetItem(Q(dish));
        if (course && !m_plan.CourseDesc(course).empty())
            dishItem->setToolTip(Q(m_plan.CourseDesc(course)));
        m_levels->setItem(level - 1, 1, dishItem);
        auto* price = new QTableWidgetItem(Q(WPPriceText(levels.Cost(level))));
        price->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_levels->setItem(level - 1, 2, price);
    }
    m_levels->resizeColumnToContents(0);
    m_levels->resizeColumnToContents(2);
    if (row >= 0)
        m_levels->setCurrentCell(row, 1);
}

void FrmWPEditDay::SelectLevel(int level)
{
    m_levels->setCurrentCell(level - 1, 1);
    ShowCandidates();
}

int FrmWPEditDay::CurrentLevel() const
{
    return m_levels->currentRow() + 1;
}

void FrmWPEditDay::ShowCandidates()
{
    const int level = CurrentLevel();
    if (level < 1) {
        m_search->Fill(m_db, 0, 0, 0);
        return;
    }
    m_search->Fill(m_db, m_plan.WPLevelClass(level), m_plan.WPLevels().CatRepeat(level),
                   DayOf(m_plan.MenuDate()) + m_day - 1);
}

void FrmWPEditDay::cmdPlace_Click()
{
    const long recipe = m_search->ChosenRecipe();
    if (recipe == 0 || CurrentLevel() < 1)
        return;
    m_plan.WPPlace(m_day, m_plan.WPLevels().id(CurrentLevel()), recipe);
    ShowDay();
}

void FrmWPEditDay::cmdGeneric_Click()
{
    if (CurrentLevel() >= 1 && EditGenericDish(m_plan, m_day, CurrentLevel(), this))
        ShowDay();
}

void FrmWPEditDay::cmdRemove_Click()
{
    if (CurrentLevel() < 1)
        return;
    m_plan.WPPlace(m_day, m_plan.WPLevels().id(CurrentLevel()), 0, "");
    ShowDay();
    ShowCandidates();
}

} // namespace pf
