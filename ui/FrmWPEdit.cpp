#include "ui/FrmWPEdit.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Settings.h"
#include "core/UserRights.h"
#include "db/DatabaseChoice.h"
#include "db/DbError.h"
#include "planning/WeekCalendar.h"
#include "planning/WeekPlanPrint.h"
#include "planning/WeekPlanRules.h"
#include "planning/clWPLanguage.h"
#include "ui/ErrorTrap.h"
#include "ui/FrmMenuData.h"
#include "ui/FrmWPApprove.h"
#include "ui/FrmWPEditDay.h"
#include "ui/FrmWPEditGeneric.h"
#include "ui/PrintPreview.h"
#include "ui/RecipeDrag.h"
#include "ui/UiSupport.h"
#include "ui/frmWPNewWizard.h"
#include "ui/frmWPOptions.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace pf {

namespace {

// Button property: the user right the button needs.
constexpr const char* kRightProperty = "pfRight";

constexpr const char* kCaption = "Wochenplan";
constexpr int kPlanRole = Qt::UserRole + 1;

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
    // Wrapped text asks for its height only once laid out: room for three lines from the start.
    m_caption->setMinimumHeight(3 * m_caption->fontMetrics().lineSpacing());
    m_noDateFilter = MakeCheck("chkNoDateFilter", Q("Alle Rezepte der Kategorie &zeigen"), this);
    m_list = Named(new QListWidget(this), "lstCandidates");
    RoomyRows(m_list);
    m_list->setMinimumHeight(m_list->minimumSizeHint().height() * 2);
    m_detail = Named(new QLabel(this), "lblDetail");
    m_detail->setWordWrap(true);
    m_detail->setMinimumHeight(2 * m_detail->fontMetrics().lineSpacing());
    m_variation = MakeButton("cmdVariation", Q("Kind-Ko&pie anlegen …"), this);
    m_variation->setToolTip(Q("Das gewählte Rezept abwandeln und als Kind-Kopie speichern"));
    layout->addWidget(m_caption);
    layout->addWidget(m_noDateFilter);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_detail);
    layout->addWidget(m_variation);
    connect(m_noDateFilter, &QCheckBox::toggled, this, &FrmWPEditRezSearch::Refill);
    connect(m_list, &QListWidget::currentRowChanged, this, &FrmWPEditRezSearch::ShowDetail);
    connect(m_variation, &QPushButton::clicked, this, &FrmWPEditRezSearch::cmdVariation_Click);
    ShowDetail();
}

void FrmWPEditRezSearch::Fill(Database* db, long category, long weeks, long day)
{
    m_candidates.clear();
    m_list->clear();
    if (category == 0) {
        m_caption->setText(Q("Dieser Ebene ist keine Kategorie zugeordnet."));
        ShowDetail();
        return;
    }
    m_caption->setText(Q("Rezepte der Kategorie " + WPRepeatCaption(weeks)));
    try {
        m_candidates = WPCandidates(db ? *db : WorkDb(), category, weeks, day, m_noDateFilter->isChecked());
    } catch (const DbError&) {
        m_caption->setText(Q("Die Rezepte der Kategorie konnten nicht gelesen werden."));
    }
    for (const WPCandidate& c : m_candidates) {
        auto* item = new QListWidgetItem(Q(c.Title), m_list);
        item->setData(Qt::UserRole, static_cast<qlonglong>(c.id));
        item->setToolTip(Q(WPCandidateDetail(c)));
    }
    ShowDetail();
}

void FrmWPEditRezSearch::ShowDetail()
{
    const int row = m_list->currentRow();
    const bool chosen = row >= 0 && static_cast<std::size_t>(row) < m_candidates.size();
    m_detail->setText(chosen ? Q(WPCandidateDetail(m_candidates[static_cast<std::size_t>(row)])) : QString());
    m_variation->setEnabled(chosen);
}

void FrmWPEditRezSearch::AllowVariation(bool allow)
{
    m_variation->setVisible(allow);
}

void FrmWPEditRezSearch::cmdVariation_Click()
{
    const int row = m_list->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= m_candidates.size())
        return;
    const WPCandidate& chosen = m_candidates[static_cast<std::size_t>(row)];
    if (UI().Ask("Es wird jetzt das Rezept \"" + chosen.Title +
                     "\" angezeigt. Dieses kann modifiziert und dann als Kind-Kopie gespeichert werden. "
                     "Fortfahren?",
                 Buttons::YesNo, Answer::Yes, MsgIcon::Question, kCaption) != Answer::Yes)
        return;
    ShowBeside(window(), new FrmMenuData(chosen.id, FrmMenuData::Start::ChildCopy));
}

long FrmWPEditRezSearch::ChosenRecipe() const
{
    const QListWidgetItem* item = m_list->currentItem();
    return item ? static_cast<long>(item->data(Qt::UserRole).toLongLong()) : 0;
}

FrmWPEdit::FrmWPEdit(ClMenu plan, Database* db, QWidget* parent)
    : QWidget(parent), m_plan(std::move(plan)), m_db(db)
{
    m_plan.SetDB(db);
    Build();
}

FrmWPEdit::FrmWPEdit(Database* db, QWidget* parent) : QWidget(parent), m_db(db)
{
    m_plan.SetDB(db);
    const std::vector<ClMenu::WPListEntry> plans = m_plan.RefreshWPList();
    if (!plans.empty())
        m_plan.Loadr(plans.back().id);
    Build();
}

void FrmWPEdit::BuildTree(QSplitter* outer)
{
    m_tree = Named(new QTreeWidget(outer), "tvPlans");
    m_tree->setHeaderHidden(true);
    RoomyRows(m_tree);
    // Wide enough for a plan's week, date, number and mark under year and month (the indents, the
    // branch marks and the frame); the grid takes the rest.
    m_tree->setMinimumWidth(m_tree->fontMetrics().horizontalAdvance("Woche 52 - 28.12.2026 (#99) !") +
                            3 * m_tree->indentation() + 24);
    outer->addWidget(m_tree);
}

void FrmWPEdit::BuildGrid(QSplitter* splitter)
{
    m_table = Named(new QTableWidget(splitter), "grdPlan");
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(true);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // Recipes dragged from the search results land in the cell under the mouse.
    m_table->viewport()->setAcceptDrops(true);
    m_table->viewport()->installEventFilter(this);
    splitter->addWidget(m_table);
}

void FrmWPEdit::Build()
{
    setObjectName("FrmWPEdit");
    setWindowTitle(Q(kCaption));
    auto* layout = new QVBoxLayout(this);

    auto* outer = new QSplitter(this);
    BuildTree(outer);

    auto* main = new QWidget(outer);
    auto* mainLayout = new QVBoxLayout(main);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    m_head = Named(new QLabel(main), "lblHead");
    QFont bold = m_head->font();
    bold.setBold(true);
    m_head->setFont(bold);
    mainLayout->addWidget(m_head);
    auto* splitter = new QSplitter(main);
    BuildGrid(splitter);

    auto* side = new QWidget(splitter);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    m_search = new FrmWPEditRezSearch(side);
    sideLayout->addWidget(m_search, 1);
    QPushButton* place = MakeButton("cmdPlace", Q("Rezept &einsetzen"), side);
    QPushButton* generic = MakeButton("cmdGeneric", Q("Gericht &ohne Rezept …"), side);
    sideLayout->addWidget(place);
    sideLayout->addWidget(generic);
    m_daysAsRows = MakeCheck("chkDaysAsRows", Q("Tage a&ls Zeilen"), side);
    m_daysAsRows->setChecked(AppContext::Current().Options.WPDisplayMode == 1);
    sideLayout->addWidget(m_daysAsRows);
    splitter->addWidget(side);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    mainLayout->addWidget(splitter, 1);
    outer->addWidget(main);
    outer->setStretchFactor(0, 0);
    outer->setStretchFactor(1, 1);
    outer->setSizes({m_tree->minimumWidth(), 8 * m_tree->minimumWidth()});
    layout->addWidget(outer, 1);

    auto* buttons = new QHBoxLayout();
    QPushButton* create = MakeButton("cmdNew", Q("&Neuer Wochenplan …"), this);
    QPushButton* day = MakeButton("cmdDay", Q("&Tag bearbeiten …"), this);
    QPushButton* propose = MakeButton("cmdPropose", Q("&Vorschlag für leere Plätze"), this);
    QPushButton* remove = MakeButton("cmdRemove", Q("Gericht entfe&rnen"), this);
    QPushButton* options = MakeButton("cmdOptions", Q("Einstell&ungen …"), this);
    QPushButton* print = MakeButton("cmdPrint", Q("Druc&ken …"), this);
    QPushButton* approve = MakeButton("cmdApprove", Q("&Genehmigung …"), this);
    QPushButton* save = MakeButton("cmdSave", Q("&Speichern"), this);
    QPushButton* close = MakeButton("cmdClose", Q("S&chließen"), this);
    for (QPushButton* b : {create, day, propose, remove, options})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(print);
    for (QPushButton* b : {approve, save, close})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    m_planCommands = {place, generic, day, propose, remove, print, approve, save};
    // Editing a plan, planning and approving, choosing recipes and printing are separate rights;
    // the window keeps to them whatever plan it shows.
    const std::pair<QPushButton*, long> rights[] = {
        {place, kRightsWeekPlanEditor | kRightEdit},
        {generic, kRightsWeekPlanEditor},
        {day, kRightsWeekPlanEditor},
        {propose, kRightsWeekPlanEditor},
        {remove, kRightsWeekPlanEditor},
        {save, kRightsWeekPlanEditor},
        {print, kRightPrint},
        {approve, kRightsWeekPlanApproval},
        {create, kRightsWeekPlanApproval},
        {options, kRightsWeekPlanEditor},
    };
    for (const auto& [button, right] : rights)
        button->setProperty(kRightProperty, static_cast<qlonglong>(right));
    create->setEnabled(MayUse(create));
    options->setEnabled(MayUse(options));
    m_search->setEnabled(UserMayUse(kRightEdit) && UserMayUse(kRightsWeekPlanEditor));

    connect(place, &QPushButton::clicked, this, &FrmWPEdit::cmdPlace_Click);
    connect(m_search->List(), &QListWidget::itemDoubleClicked, this, &FrmWPEdit::cmdPlace_Click);
    connect(generic, &QPushButton::clicked, this, &FrmWPEdit::cmdGeneric_Click);
    connect(create, &QPushButton::clicked, this, &FrmWPEdit::cmdNew_Click);
    connect(day, &QPushButton::clicked, this, &FrmWPEdit::cmdDay_Click);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &FrmWPEdit::cmdDay_Click);
    connect(propose, &QPushButton::clicked, this, &FrmWPEdit::cmdPropose_Click);
    connect(remove, &QPushButton::clicked, this, &FrmWPEdit::cmdRemove_Click);
    connect(options, &QPushButton::clicked, this, &FrmWPEdit::cmdOptions_Click);
    connect(print, &QPushButton::clicked, this, &FrmWPEdit::cmdPrint_Click);
    connect(approve, &QPushButton::clicked, this, &FrmWPEdit::cmdApprove_Click);
    connect(save, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    connect(m_table, &QTableWidget::currentCellChanged, this, &FrmWPEdit::ShowCandidates);
    connect(m_search, &FrmWPEditRezSearch::Refill, this, &FrmWPEdit::ShowCandidates);
    connect(m_daysAsRows, &QCheckBox::toggled, this, &FrmWPEdit::SetDaysAsRows);
    connect(m_tree, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const long id = static_cast<long>(item->data(0, kPlanRole).toLongLong());
        if (id != 0 && id != m_plan.id())
            OpenPlan(id);
    });
    // A variation saved in the recipe editor, or a recipe changed elsewhere, shows in the
    // candidates; the list is read again once the saving code is done.
    m_changes = std::make_unique<RecipeChangeSubscription>(
        [this](const RecipeChange&) { QTimer::singleShot(0, this, &FrmWPEdit::ShowCandidates); });
    CloseOnEscape(this);
    resize(1240, 660);
    RefreshTree();
    ShowPlan();
    SelectCell(1, 1);
}

void FrmWPEdit::RefreshTree()
{
    m_tree->clear();
    QTreeWidgetItem* year = nullptr;
    QTreeWidgetItem* month = nullptr;
    for (const ClMenu::WPListEntry& entry : m_plan.RefreshWPList()) {
        const QString yearText = QString::number(entry.Year);
        if (!year || year->text(0) != yearText) {
            year = new QTreeWidgetItem(m_tree, {yearText});
            month = nullptr;
        }
        if (!month || month->text(0) != Q(entry.Month))
            month = new QTreeWidgetItem(year, {Q(entry.Month)});
        auto* item = new QTreeWidgetItem(month, {Q(entry.Title)});
        item->setToolTip(0, Q(entry.Title));
        item->setData(0, kPlanRole, QVariant::fromValue<qlonglong>(entry.id));
        if (entry.id == m_plan.id()) {
            m_tree->expandItem(year);
            m_tree->expandItem(month);
            m_tree->setCurrentItem(item);
        }
    }
}

bool FrmWPEdit::MayLeavePlan()
{
    return !m_plan.IsChanged() ||
           UI().Ask("Soll die Bearbeitung des Wochenplans wirklich abgebrochen werden ohne zu speichern?",
                    Buttons::YesNo, Answer::No, MsgIcon::Question, kCaption) == Answer::Yes;
}

bool FrmWPEdit::OpenPlan(long id)
{
    ClMenu plan;
    plan.SetDB(m_db);
    if (!MayLeavePlan() || !plan.Loadr(id) || !plan.IsWP()) {
        RefreshTree();
        return false;
    }
    m_plan = std::move(plan);
    RefreshTree();
    ShowPlan();
    SelectCell(1, 1);
    return true;
}

bool FrmWPEdit::MayUse(const QPushButton* button)
{
    return button && UserMayUse(button->property(kRightProperty).toLongLong());
}

void FrmWPEdit::ShowPlan()
{
    const bool havePlan = m_plan.IsWP();
    for (QPushButton* b : m_planCommands)
        b->setEnabled(havePlan && MayUse(b));
    if (!havePlan) {
        m_head->setText(Q("Es gibt noch keinen Wochenplan. Legen Sie mit „Neuer Wochenplan“ einen an."));
        m_table->setRowCount(0);
        m_table->setColumnCount(0);
        return;
    }
    const long first = DayOf(m_plan.MenuDate());
    const int days = m_plan.WPDayCount();
    clsWPLevel& levels = m_plan.WPLevels();
    std::string head = m_plan.GenMenuEntryTitle() + "  –  " + std::to_string(days) + " Tage";
    const DateSerial approved = m_plan.WPApproveDate();
    head += approved.Days != 0 ? "  –  genehmigt am " + DateTimeText(approved) : "  –  noch nicht genehmigt";
    m_head->setText(Q(head));
    setWindowTitle(Q(std::string(kCaption) + " - [" + m_plan.GenMenuEntryTitle(true) + "]"));
    // The chosen cell by level and day, read in the layout shown so far.
    const int level0 = CurrentLevel(), day0 = CurrentDay();
    const bool daysAsRows = m_gridDaysAsRows = m_daysAsRows->isChecked();
    m_table->setRowCount(daysAsRows ? days : levels.Max());
    m_table->setColumnCount(daysAsRows ? levels.Max() : days);
    for (int day = 1; day <= days; ++day) {
        // Short day names keep a week of columns within the window; the full name is the tip.
        const DateSerial date = Serial(first + day - 1);
        auto* header =
            new QTableWidgetItem(Q(GermanWeekdayName(date).substr(0, 2) + " " + ShortDateText(date)));
        header->setToolTip(Q(GermanWeekdayName(date)));
        if (daysAsRows)
            m_table->setVerticalHeaderItem(day - 1, header);
        else
            m_table->setHorizontalHeaderItem(day - 1, header);
    }
    for (int level = 1; level <= levels.Max(); ++level) {
        auto* header = new QTableWidgetItem(Q(levels.Name(level)));
        if (daysAsRows)
            m_table->setHorizontalHeaderItem(level - 1, header);
        else
            m_table->setVerticalHeaderItem(level - 1, header);
    }
    FitHeaderTexts(m_table->horizontalHeader());
    for (int level = 1; level <= levels.Max(); ++level) {
        for (int day = 1; day <= days; ++day) {
            const int course = m_plan.WPCourse(day, levels.id(level));
            std::string text = course ? m_plan.CourseTitle(course) : "";
            if (course && m_plan.CourseGeneric(course))
                text += " [Generisch]";
            auto* item = new QTableWidgetItem(Q(text));
            if (course && !m_plan.CourseDesc(course).empty())
                item->setToolTip(Q(m_plan.CourseDesc(course)));
            if (daysAsRows)
                m_table->setItem(day - 1, level - 1, item);
            else
                m_table->setItem(level - 1, day - 1, item);
        }
    }
    if (level0 >= 1 && day0 >= 1)
        m_table->setCurrentCell(daysAsRows ? day0 - 1 : level0 - 1, daysAsRows ? level0 - 1 : day0 - 1);
}

void FrmWPEdit::SelectCell(int level, int day)
{
    if (DaysAsRows())
        m_table->setCurrentCell(day - 1, level - 1);
    else
        m_table->setCurrentCell(level - 1, day - 1);
    ShowCandidates();
}

bool FrmWPEdit::DaysAsRows() const
{
    return m_gridDaysAsRows;
}

int FrmWPEdit::CurrentLevel() const
{
    return (DaysAsRows() ? m_table->currentColumn() : m_table->currentRow()) + 1;
}

int FrmWPEdit::CurrentDay() const
{
    return (DaysAsRows() ? m_table->currentRow() : m_table->currentColumn()) + 1;
}

void FrmWPEdit::SetDaysAsRows(bool daysAsRows)
{
    if (m_daysAsRows->isChecked() != daysAsRows) {
        const QSignalBlocker blocker(m_daysAsRows);
        m_daysAsRows->setChecked(daysAsRows);
    }
    AppContext::Current().Options.WPDisplayMode = daysAsRows ? 1 : 0;
    WriteSetting("", "WPDisplayMode", daysAsRows ? "1" : "0", false);
    ShowPlan();
    ShowCandidates();
}

void FrmWPEdit::ShowCandidates()
{
    const int level = CurrentLevel();
    if (!m_plan.IsWP() || level < 1 || CurrentDay() < 1) {
        m_search->Fill(m_db, 0, 0, 0);
        return;
    }
    m_search->Fill(m_db, m_plan.WPLevelClass(level), m_plan.WPLevels().CatRepeat(level),
                   DayOf(m_plan.MenuDate()) + CurrentDay() - 1);
}

void FrmWPEdit::cmdPlace_Click()
{
    if (!MayUse(findChild<QPushButton*>("cmdPlace")))
        return;
    const long recipe = m_search->ChosenRecipe();
    if (recipe == 0 || CurrentLevel() < 1 || CurrentDay() < 1)
        return;
    m_plan.WPPlace(CurrentDay(), m_plan.WPLevels().id(CurrentLevel()), recipe);
    ShowPlan();
}

int FrmWPEdit::DropRecipes(int level, int day, const std::vector<long>& recipes)
{
    if (!m_plan.IsWP() || level < 1 || level > m_plan.WPLevels().Max() || day < 1)
        return 0;
    int placed = 0;
    for (long recipe : recipes) {
        if (day + placed > m_plan.WPDayCount())
            break;
        if (m_plan.WPPlace(day + placed, m_plan.WPLevels().id(level), recipe) == 0)
            break;
        ++placed;
    }
    if (placed > 0) {
        ShowPlan();
        SelectCell(level, day);
    }
    return placed;
}

void FrmWPEdit::cmdGeneric_Click()
{
    if (CurrentLevel() >= 1 && CurrentDay() >= 1 &&
        EditGenericDish(m_plan, CurrentDay(), CurrentLevel(), this))
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
    RefreshTree();
    ShowPlan();
    return true;
}

void FrmWPEdit::cmdApprove_Click()
{
    if (!m_plan.IsWP())
        return;
    FrmWPApprove approve(this);
    approve.SetWP(m_plan);
    approve.exec();
    RefreshTree();
    ShowPlan();
    ShowCandidates();
}

void FrmWPEdit::cmdNew_Click()
{
    if (!MayLeavePlan())
        return;
    frmWPNewWizard wizard(m_db, this);
    if (wizard.exec() != QDialog::Accepted)
        return;
    m_plan = wizard.TakePlan();
    m_plan.SetDB(m_db);
    RefreshTree();
    ShowPlan();
    SelectCell(1, 1);
}

void FrmWPEdit::cmdDay_Click()
{
    if (!m_plan.IsWP() || !UserMayUse(kRightsWeekPlanEditor))
        return;
    FrmWPEditDay day(m_plan, std::max(CurrentDay(), 1), m_db, this);
    day.SelectLevel(std::max(CurrentLevel(), 1));
    day.exec();
    ShowPlan();
    ShowCandidates();
}

void FrmWPEdit::cmdOptions_Click()
{
    frmWPOptions options(m_db, this);
    if (options.exec() == QDialog::Accepted)
        ShowCandidates();
}

void FrmWPEdit::cmdPrint_Click()
{
    if (!m_plan.IsWP())
        return;
    PreviewPrintout(this, m_plan.GenMenuEntryTitle(), [this](PageCanvas& canvas) {
        PrintWeekPlan(canvas, m_plan, clWPLanguage::PrintLanguages());
    });
}

bool FrmWPEdit::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched != m_table->viewport() ||
        (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop))
        return QWidget::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    const std::vector<long> ids = DroppedRecipeIds(drop->mimeData());
    const QModelIndex cell = m_table->indexAt(drop->position().toPoint());
    // The drag must be taken on entering to get the moves; a move or drop needs a cell.
    // Dropping places recipes, as the place button does, and needs its rights.
    if (!m_plan.IsWP() || ids.empty() || (type != QEvent::DragEnter && !cell.isValid()) ||
        !MayUse(findChild<QPushButton*>("cmdPlace"))) {
        drop->ignore();
        return true;
    }
    if (type == QEvent::Drop) {
        const bool daysAsRows = DaysAsRows();
        const int level = (daysAsRows ? cell.column() : cell.row()) + 1;
        const int day = (daysAsRows ? cell.row() : cell.column()) + 1;
        RunTrapped([&] { DropRecipes(level, day, ids); });
    }
    drop->acceptProposedAction();
    return true;
}

void FrmWPEdit::closeEvent(QCloseEvent* event)
{
    if (!MayLeavePlan()) {
        event->ignore();
        return;
    }
    event->accept();
}

} // namespace pf
