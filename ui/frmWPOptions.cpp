#include "ui/frmWPOptions.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "planning/WeekPlanRules.h"
#include "planning/WeekPlanText.h"
#include "planning/clWPLanguage.h"
#include "ui/UiSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace pf {

namespace {

constexpr const char* kCaption = "Einstellungen der Wochenpläne";
enum Column { ColName, ColPrice, ColPrint, ColWeek, ColCategory, ColRepeat, ColCount };

QString YesNo(bool yes)
{
    return yes ? Q("Ja") : Q("Nein");
}

} // namespace

frmWPOptions::frmWPOptions(Database* db, QWidget* parent) : QDialog(parent), m_levels(db)
{
    setObjectName("frmWPOptions");
    setWindowTitle(Q(kCaption));
    m_levels.Load();
    m_categories = m_levels.CategoryChoices();
    for (int level = 1; level <= m_levels.Max(); ++level) {
        WPCategoryLink link;
        // A level takes the first category linked to it, as the plans do.
        for (const WPCategoryChoice& c : m_categories)
            if (c.Level == m_levels.id(level) && (link.Category == 0 || c.id < link.Category))
                link = {c.id, c.Weeks};
        m_links.push_back(link);
    }

    auto* layout = new QVBoxLayout(this);
    m_grid = Named(new QTableWidget(0, ColCount, this), "grdLevels");
    m_grid->setHorizontalHeaderLabels(
        {Q("Ebene"), Q("Preis"), Q("Drucken"), Q("Ganze Woche"), Q("Kategorie"), Q("Wiederholung")});
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setSectionResizeMode(ColCategory, QHeaderView::Stretch);
    FitHeaderTexts(m_grid->horizontalHeader());
    RoomyRows(m_grid);
    auto* top = new QHBoxLayout();
    top->addWidget(m_grid, 1);
    auto* moves = new QVBoxLayout();
    m_new = MakeButton("cmdNew", Q("&Neue Ebene"), this);
    QPushButton* remove = MakeButton("cmdDelete", Q("Ebene &löschen"), this);
    QPushButton* up = MakeButton("cmdUp", Q("Nach &oben"), this);
    QPushButton* down = MakeButton("cmdDown", Q("Nach &unten"), this);
    for (QPushButton* b : {m_new, remove, up, down})
        moves->addWidget(b);
    moves->addStretch(1);
    top->addLayout(moves);
    layout->addLayout(top, 1);

    auto* detail = new QGroupBox(Q("Ausgewählte Ebene"), this);
    auto* form = new QFormLayout(detail);
    m_name = Named(new QLineEdit(detail), "txtName");
    m_name->setMaxLength(32);
    m_cost = Named(new QLineEdit(detail), "txtCost");
    m_cost->setMaximumWidth(100);
    m_print = MakeCheck("chkPrint", Q("Im Ausdruck &zeigen"), detail);
    m_repeat = MakeCheck("chkRepeat", Q("Ein Gericht für die ganze &Woche"), detail);
    m_category = Named(new QComboBox(detail), "cboCategory");
    m_category->addItem(Q("(keine Kategorie)"), QVariant::fromValue<qlonglong>(0));
    for (const WPCategoryChoice& c : m_categories)
        m_category->addItem(Q(c.Name), QVariant::fromValue<qlonglong>(c.id));
    m_weeks = Named(new QSpinBox(detail), "spnWeeks");
    m_weeks->setRange(0, 52);
    m_weeks->setSuffix(Q(" Wochen"));
    form->addRow(Q("Na&me:"), m_name);
    form->addRow(Q("&Preis:"), m_cost);
    form->addRow(QString(), m_print);
    form->addRow(QString(), m_repeat);
    form->addRow(Q("&Kategorie:"), m_category);
    form->addRow(Q("Wiederholbar &alle:"), m_weeks);
    layout->addWidget(detail);

    auto* languages = new QGroupBox(Q("Sprachen der Ausdrucke"), this);
    auto* languageRow = new QHBoxLayout(languages);
    const std::vector<int> printed = clWPLanguage::PrintLanguages();
    for (int index = 1; index <= clWPLanguage::Count(); ++index) {
        auto* check = MakeCheck(Q("chkLanguage" + std::to_string(index)),
                                Q(clWPLanguage::LanguageName(index)), languages);
        check->setChecked(std::find(printed.begin(), printed.end(), index) != printed.end());
        languageRow->addWidget(check);
        m_languages.push_back(check);
    }
    languageRow->addStretch(1);
    layout->addWidget(languages);

    QPushButton* ok = AddOkCancel(this, layout);

    connect(m_new, &QPushButton::clicked, this, &frmWPOptions::cmdNew_Click);
    connect(remove, &QPushButton::clicked, this, &frmWPOptions::cmdDelete_Click);
    connect(up, &QPushButton::clicked, this, &frmWPOptions::cmdUp_Click);
    connect(down, &QPushButton::clicked, this, &frmWPOptions::cmdDown_Click);
    connect(ok, &QPushButton::clicked, this, &frmWPOptions::cmdOK_Click);
    connect(m_grid, &QTableWidget::currentCellChanged, this, &frmWPOptions::ShowDetail);
    connect(m_name, &QLineEdit::textEdited, this, &frmWPOptions::TakeDetail);
    connect(m_cost, &QLineEdit::editingFinished, this, &frmWPOptions::TakeDetail);
    for (QCheckBox* check : {m_print, m_repeat})
        connect(check, &QCheckBox::toggled, this, &frmWPOptions::TakeDetail);
    connect(m_category, &QComboBox::currentIndexChanged, this, &frmWPOptions::TakeDetail);
    connect(m_weeks, &QSpinBox::valueChanged, this, &frmWPOptions::TakeDetail);
    resize(760, 560);
    ShowLevels();
    SelectLevel(1);
}

std::string frmWPOptions::CategoryName(long id) const
{
    for (const WPCategoryChoice& c : m_categories)
        if (c.id == id)
            return c.Name;
    return {};
}

void frmWPOptions::ShowLevels()
{
    m_grid->setRowCount(m_levels.Max());
    for (int level = 1; level <= m_levels.Max(); ++level)
        ShowRow(level);
    m_grid->resizeColumnsToContents();
    m_new->setEnabled(m_levels.Max() < clsWPLevel::MaxAllowedWPLevel());
}

void frmWPOptions::ShowRow(int level)
{
    const WPCategoryLink& link = m_links[static_cast<std::size_t>(level - 1)];
    const QString texts[ColCount] = {
        Q(m_levels.Name(level)),         Q(WPPriceText(m_levels.Cost(level))),
        YesNo(!m_levels.NoPrint(level)), YesNo(m_levels.Repeat(level)),
        Q(CategoryName(link.Category)),  link.Category == 0 ? QString() : Q(WPRepeatCategoryText(link.Weeks)),
    };
    for (int column = 0; column < ColCount; ++column) {
        auto* item = new QTableWidgetItem(texts[column]);
        if (column == ColPrice)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_grid->setItem(level - 1, column, item);
    }
}

int frmWPOptions::CurrentLevel() const
{
    const int level = m_grid->currentRow() + 1;
    return level >= 1 && level <= m_levels.Max() ? level : 0;
}

void frmWPOptions::SelectLevel(int level)
{
    m_grid->setCurrentCell(level - 1, 0);
    ShowDetail();
}

void frmWPOptions::ShowDetail()
{
    const int level = CurrentLevel();
    m_showing = true;
    for (QWidget* w : std::initializer_list<QWidget*>{m_name, m_cost, m_print, m_repeat, m_category, m_weeks})
        w->setEnabled(level != 0);
    const WPCategoryLink link = level ? m_links[static_cast<std::size_t>(level - 1)] : WPCategoryLink{};
    m_name->setText(Q(m_levels.Name(level)));
    m_cost->setText(level ? Q(WPPriceText(m_levels.Cost(level))) : QString());
    m_print->setChecked(level && !m_levels.NoPrint(level));
    m_repeat->setChecked(m_levels.Repeat(level));
    m_category->setCurrentIndex(
        std::max(m_category->findData(QVariant::fromValue<qlonglong>(link.Category)), 0));
    m_weeks->setValue(static_cast<int>(link.Weeks));
    m_weeks->setEnabled(level != 0 && link.Category != 0);
    m_showing = false;
}

void frmWPOptions::TakeDetail()
{
    const int level = CurrentLevel();
    if (m_showing || level == 0)
        return;
    m_levels.SetName(level, S(m_name->text().trimmed()));
    m_levels.SetCost(level, Decimal4::Parse(S(m_cost->text())));
    m_levels.SetNoPrint(level, !m_print->isChecked());
    m_levels.SetRepeat(level, m_repeat->isChecked());
    WPCategoryLink& link = m_links[static_cast<std::size_t>(level - 1)];
    const long category = static_cast<long>(m_category->currentData().toLongLong());
    if (category != link.Category) {
        // A category serves one level: the level that had it lets it go.
        for (std::size_t i = 0; i < m_links.size(); ++i)
            if (static_cast<int>(i) != level - 1 && category != 0 && m_links[i].Category == category) {
                m_links[i] = {};
                ShowRow(static_cast<int>(i) + 1);
            }
        link.Category = category;
        // A newly chosen category brings the interval it has.
        for (const WPCategoryChoice& c : m_categories)
            if (c.id == category) {
                m_showing = true;
                m_weeks->setValue(static_cast<int>(c.Weeks));
                m_showing = false;
            }
    }
    link.Weeks = m_weeks->value();
    m_weeks->setEnabled(category != 0);
    ShowRow(level);
}

void frmWPOptions::cmdNew_Click()
{
    const int level = m_levels.NewLevel("Neue Ebene");
    if (level == 0) {
        UI().Inform("Ein Wochenplan hat höchstens " + std::to_string(clsWPLevel::MaxAllowedWPLevel()) +
                        " Ebenen.",
                    MsgIcon::Information, kCaption);
        return;
    }
    m_links.emplace_back();
    ShowLevels();
    SelectLevel(level);
    m_name->selectAll();
    m_name->setFocus();
}

void frmWPOptions::cmdDelete_Click()
{
    const int level = CurrentLevel();
    if (level == 0)
        return;
    if (UI().Ask("Soll die Ebene \"" + m_levels.Name(level) +
                     "\" wirklich gelöscht werden? Bestehende Wochenpläne behalten ihre Ebenen.",
                 Buttons::YesNo, Answer::No, MsgIcon::Question, kCaption) != Answer::Yes)
        return;
    m_levels.DeleteLevel(level);
    m_links.erase(m_links.begin() + (level - 1));
    ShowLevels();
    SelectLevel(std::min(level, m_levels.Max()));
}

void frmWPOptions::cmdUp_Click()
{
    const int level = CurrentLevel();
    if (level <= 1)
        return;
    m_levels.ShiftUp(level);
    std::swap(m_links[static_cast<std::size_t>(level - 1)], m_links[static_cast<std::size_t>(level - 2)]);
    ShowLevels();
    SelectLevel(level - 1);
}

void frmWPOptions::cmdDown_Click()
{
    const int level = CurrentLevel();
    if (level == 0 || level >= m_levels.Max())
        return;
    m_levels.shiftDown(level);
    std::swap(m_links[static_cast<std::size_t>(level - 1)], m_links[static_cast<std::size_t>(level)]);
    ShowLevels();
    SelectLevel(level + 1);
}

void frmWPOptions::cmdOK_Click()
{
    TakeDetail();
    for (int level = 1; level <= m_levels.Max(); ++level)
        if (m_levels.Name(level).empty()) {
            UI().Inform("Bitte geben Sie jeder Ebene einen Namen.", MsgIcon::Warning, kCaption);
            SelectLevel(level);
            return;
        }
    if (!m_levels.SaveWithCategories(m_links)) {
        UI().Inform("Die Ebenen konnten nicht gespeichert werden: " + m_levels.LastErrorText(),
                    MsgIcon::Critical, kCaption);
        return;
    }
    std::vector<int> languages;
    for (std::size_t i = 0; i < m_languages.size(); ++i)
        if (m_languages[i]->isChecked())
            languages.push_back(static_cast<int>(i) + 1);
    clWPLanguage::SetPrintLanguages(languages);
    accept();
}

} // namespace pf
