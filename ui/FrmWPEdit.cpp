#include "ui/FrmWPEdit.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "db/DatabaseChoice.h"
#include "db/DbError.h"
#include "planning/WeekCalendar.h"
#include "planning/WeekPlanRules.h"
#include "ui/FrmWPApprove.h"
#include "ui/UiSupport.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace pf {

namespace {

constexpr const char* kCaption = "Wochenplan";

DateSerial Serial(long day)
{
    return DateSerial{static_cast<double>(day)};
}

} // namespace

FrmWPEditRezSearch::FrmWPEditRezSearch(QWidget* parent) : QWidget(parent)
{
    setObjectName("FrmWPEditRezSearch");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_caption = Named(new QLabel(this), "lblRepeat");
    m_caption->setWordWrap(true);
    m_noDateFilter = MakeCheck("chkNoDateFilter", Q("&Alle Rezepte der Kategorie zeigen"), this);
    m_list = Named(new QListWidget(this), "lstCandidates");
    RoomyRows(m_list);
    layout->addWidget(m_caption);
    layout->addWidget(m_noDateFilter);
    layout->addWidget(m_list, 1);
    connect(m_noDateFilter, &QCheckBox::toggled, this, &FrmWPEditRezSearch::Refill);
}

void FrmWPEditRezSearch::Fill(Database* db, long category, long weeks, long day)
{
    m_list->clear();
    if (category == 0) {
        m_caption->setText(Q("Dieser Ebene ist keine Kategorie zugeordnet."));
        return;
    }
    m_caption->setText(Q("Rezepte der Kategorie " + WPRepeatCaption(weeks)));
    try {
        for (const WPCandidate& c :
             WPCandidates(db ? *db : WorkDb(), category, weeks, day, m_noDateFilter->isChecked())) {
            auto* item = new QListWidgetItem(Q(c.Title), m_list);
            item->setData(Qt::UserRole, static_cast<qlonglong>(c.id));
            item->setToolTip(Q(c.WPExclude > 0 ? "Zuletzt genutzt: " + ShortDateText(Serial(c.WPExclude))
                                               : std::string("Noch nie genutzt")));
        }
    } catch (const DbError&) {
        m_caption->setText(Q("Die Rezepte der Kategorie konnten nicht gelesen werden."));
    }
}

long FrmWPEditRezSearch::ChosenRecipe() const
{
    const QListWidgetItem* item = m_list->currentItem();
    return item ? static_cast<long>(item->data(Qt::UserRole).toLongLong()) : 0;
}

FrmWPEdit::FrmWPEdit(ClMenu plan, Database* db, QWidget* parent)
    : QDialog(parent), m_plan(std::move(plan)), m_db(db)
{
    setObjectName("FrmWPEdit");
    setWindowTitle(Q(kCaption));
    m_plan.SetDB(db);
    auto* layout = new QVBoxLayout(this);
    m_head = Named(new QLabel(this), "lblHead");
    layout->addWidget(m_head);

    auto* splitter = new QSplitter(this);
    m_table = Named(new QTableWidget(this), "grdPlan");
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(true);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    splitter->addWidget(m_table);

    auto* side = new QWidget(this);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    m_search = new FrmWPEditRezSearch(side);
    sideLayout->addWidget(m_search, 1);
    QPushButton* place = MakeButton("cmdPlace", Q("Rezept &einsetzen"), side);
    sideLayout->addWidget(place);
    m_generic = Named(new QLineEdit(side), "txtGeneric");
    m_generic->setPlaceholderText(Q("Gericht ohne Rezept"));
    sideLayout->addWidget(m_generic);
    QPushButton* generic = MakeButton("cmdGeneric", Q("Als &Text eintragen"), side);
    sideLayout->addWidget(generic);
    splitter->addWidget(side);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter, 1);

    auto* buttons = new QHBoxLayout();
    QPushButton* propose = MakeButton("cmdPropose", Q("&Vorschlag für leere Plätze"), this);
    QPushButton* remove = MakeButton("cmdRemove", Q("Gericht ent&fernen"), this);
    QPushButton* approve = MakeButton("cmdApprove", Q("&Genehmigung …"), this);
    QPushButton* save = MakeButton("cmdSave", Q("&Speichern"), this);
    QPushButton* close = MakeButton("cmdClose", Q("S&chließen"), this);
    for (QPushButton* b : {propose, remove})
        buttons->addWidget(b);
    buttons->addStretch(1);
    for (QPushButton* b : {approve, save, close})
        buttons->addWidget(b);
    layout->addLayout(buttons);

    connect(place, &QPushButton::clicked, this, &FrmWPEdit::cmdPlace_Click);
    connect(m_search->List(), &QListWidget::itemDoubleClicked, this, &FrmWPEdit::cmdPlace_Click);
    connect(generic, &QPushButton::clicked, this, &FrmWPEdit::cmdGeneric_Click);
    connect(propose, &QPushButton::clicked, this, &FrmWPEdit::cmdPropose_Click);
    connect(remove, &QPushButton::clicked, this, &FrmWPEdit::cmdRemove_Click);
    connect(approve, &QPushButton::clicked, this, &FrmWPEdit::cmdApprove_Click);
    connect(save, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_table, &QTableWidget::currentCellChanged, this, &FrmWPEdit::ShowCandidates);
    connect(m_search, &FrmWPEditRezSearch::Refill, this, &FrmWPEdit::ShowCandidates);
    CloseOnEscape(this);
    resize(1100, 640);
    ShowPlan();
    SelectCell(1, 1);
}

void FrmWPEdit::ShowPlan()
{
    const long first = DayOf(m_plan.MenuDate());
    const int days = m_plan.WPDayCount();
    clsWPLevel& levels = m_plan.WPLevels();
    std::string head = m_plan.GenMenuEntryTitle() + "  –  " + std::to_string(days) + " Tage";
    const DateSerial approved = m_plan.WPApproveDate();
    head += approved.Days != 0 ? "  –  genehmigt am " + DateTimeText(approved) : "  –  noch nicht genehmigt";
    m_head->setText(Q(head));
    const int row = m_table->currentRow(), column = m_table->currentColumn();
    m_table->setRowCount(levels.Max());
    m_table->setColumnCount(days);
    for (int day = 1; day <= days; ++day) {
        const DateSerial date = Serial(first + day - 1);
        m_table->setHorizontalHeaderItem(
            day - 1, new QTableWidgetItem(Q(GermanWeekdayName(date) + "\n" + ShortDateText(date))));
    }
    for (int level = 1; level <= levels.Max(); ++level) {
        m_table->setVerticalHeaderItem(level - 1, new QTableWidgetItem(Q(levels.Name(level))));
        for (int day = 1; day <= days; ++day) {
            const int course = m_plan.WPCourse(day, levels.id(level));
            std::string text = course ? m_plan.CourseTitle(course) : "";
            if (course && m_plan.CourseGeneric(course))
                text += " [Generisch]";
            m_table->setItem(level - 1, day - 1, new QTableWidgetItem(Q(text)));
        }
    }
    if (row >= 0 && column >= 0)
        m_table->setCurrentCell(row, column);
}

void FrmWPEdit::SelectCell(int level, int day)
{
    m_table->setCurrentCell(level - 1, day - 1);
    ShowCandidates();
}

int FrmWPEdit::CurrentLevel() const
{
    return m_table->currentRow() + 1;
}

int FrmWPEdit::CurrentDay() const
{
    return m_table->currentColumn() + 1;
}

void FrmWPEdit::ShowCandidates()
{
    const int level = CurrentLevel();
    if (level < 1 || CurrentDay() < 1) {
        m_search->Fill(m_db, 0, 0, 0);
        return;
    }
    m_search->Fill(m_db, m_plan.WPLevelClass(level), m_plan.WPLevels().CatRepeat(level),
                   DayOf(m_plan.MenuDate()) + CurrentDay() - 1);
}

void FrmWPEdit::cmdPlace_Click()
{
    const long recipe = m_search->ChosenRecipe();
    if (recipe == 0 || CurrentLevel() < 1 || CurrentDay() < 1)
        return;
    m_plan.WPPlace(CurrentDay(), m_plan.WPLevels().id(CurrentLevel()), recipe);
    ShowPlan();
}

void FrmWPEdit::cmdGeneric_Click()
{
    const std::string text = S(m_generic->text().trimmed());
    if (text.empty() || CurrentLevel() < 1 || CurrentDay() < 1)
        return;
    m_plan.WPPlace(CurrentDay(), m_plan.WPLevels().id(CurrentLevel()), 0, text);
    m_generic->clear();
    ShowPlan();
}

void FrmWPEdit::cmdRemove_Click()
{
    if (CurrentLevel() < 1 || CurrentDay() < 1)
        return;
    m_plan.WPPlace(CurrentDay(), m_plan.WPLevels().id(CurrentLevel()), 0, "");
    ShowPlan();
    ShowCandidates();
}

void FrmWPEdit::cmdPropose_Click()
{
    m_plan.WPFill();
    ShowPlan();
}

bool FrmWPEdit::cmdSave_Click()
{
    if (!m_plan.Save()) {
        UI().Inform("Der Wochenplan konnte nicht gespeichert werden: " + m_plan.LastErrorText(),
                    MsgIcon::Critical, kCaption);
        return false;
    }
    ShowPlan();
    return true;
}

void FrmWPEdit::cmdApprove_Click()
{
    FrmWPApprove approve(this);
    approve.SetWP(m_plan);
    approve.exec();
    ShowPlan();
    ShowCandidates();
}

void FrmWPEdit::closeEvent(QCloseEvent* event)
{
    if (m_plan.IsChanged() &&
        UI().Ask("Soll die Bearbeitung des Wochenplans wirklich abgebrochen werden ohne zu speichern?",
                 Buttons::YesNo, Answer::No, MsgIcon::Question, kCaption) != Answer::Yes) {
        event->ignore();
        return;
    }
    event->accept();
}

} // namespace pf
