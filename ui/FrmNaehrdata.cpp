#include "ui/FrmNaehrdata.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "lexicon/LexiconEntry.h"
#include "nutrition/FoodAssignment.h"
#include "nutrition/FoodMatcher.h"
#include "nutrition/FoodSynonyms.h"
#include "nutrition/NutrientTablePrint.h"
#include "nutrition/Nutrition.h"
#include "nutrition/UnitMatching.h"
#include "ui/ErrorTrap.h"
#include "ui/FrmNaehrSuche.h"
#include "ui/PrintPreview.h"
#include "ui/UiSupport.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace pf {

namespace {

constexpr int kLineRole = Qt::UserRole + 1;

QTableWidgetItem* Cell(const std::string& text, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* item = new QTableWidgetItem(Q(text));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(align);
    return item;
}

} // namespace

FrmNaehrdata::FrmNaehrdata(Database& db, const FoodTables& tables, QWidget* parent)
    : QDialog(parent), m_db(db), m_tables(tables), m_table(std::make_unique<NutrientTable>(db, tables))
{
    setObjectName("FrmNaehrdata");
    setWindowTitle("Nährwertangaben");
    auto* layout = new QVBoxLayout(this);

    auto* head = new QHBoxLayout;
    m_weight = Named(new QLabel(this), "lblGewicht");
    head->addWidget(m_weight, 1);
    m_servingsLabel = new QLabel("&Portionen:", this);
    m_servings = Named(new QSpinBox(this), "txtPortionen");
    m_servings->setRange(1, 999);
    m_servingsLabel->setBuddy(m_servings);
    head->addWidget(m_servingsLabel);
    head->addWidget(m_servings);
    layout->addLayout(head);

    m_grid = Named(new QTableWidget(0, 3, this), "grdNaehrwerte");
    m_grid->setHorizontalHeaderLabels({"Inhaltsstoff", "pro 100g/ml", "Einheit"});
    m_grid->verticalHeader()->setVisible(false);
    // Compact rows: the whole table of a recipe is read at a glance.
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setAlternatingRowColors(true);
    m_grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_grid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_grid->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    FitHeaderTexts(m_grid->horizontalHeader());
    m_grid->setMinimumHeight(180);
    layout->addWidget(m_grid, 3);

    m_leftOutCaption = new QLabel("&Nicht berechnete Zutaten:", this);
    layout->addWidget(m_leftOutCaption);
    m_leftOut = Named(new QTreeWidget(this), "lstNichtBerechnet");
    RoomyRows(m_leftOut);
    m_leftOut->setHeaderLabels({"Zutat", "Grund"});
    m_leftOut->setRootIsDecorated(false);
    m_leftOut->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_leftOut->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_leftOut->header()->setStretchLastSection(false);
    m_leftOutCaption->setBuddy(m_leftOut);
    m_leftOut->setMinimumHeight(80);
    layout->addWidget(m_leftOut, 1);

    auto* buttons = new QHBoxLayout;
    m_assign = MakeButton("cmdZuordnen", "Nahrungsmittel &zuordnen …", this);
    buttons->addWidget(m_assign);
    buttons->addStretch(1);
    QPushButton* print = MakeButton("cmdDrucken", "&Drucken …", this);
    buttons->addWidget(print);
    QPushButton* ok = MakeButton("cmdOK", "&OK", this);
    ok->setDefault(true);
    buttons->addWidget(ok);
    connect(print, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdDrucken_Click(); }); });
    layout->addLayout(buttons);

    // Only a recipe has servings to change and lines to match.
    m_servingsLabel->setVisible(false);
    m_servings->setVisible(false);
    m_leftOutCaption->setVisible(false);
    m_leftOut->setVisible(false);
    m_assign->setVisible(false);
    connect(m_servings, &QSpinBox::valueChanged, this, [this](int value) {
        if (!m_matching || value == m_matching->Servings())
            return;
        RunTrapped([this, value] {
            m_matching->SetServings(value);
            Recalculate();
        });
    });
    connect(m_leftOut, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        m_assign->setEnabled(item && item->data(0, kLineRole).toInt() >= 0);
    });
    connect(m_leftOut, &QTreeWidget::itemDoubleClicked, this,
            [this] { RunTrapped([this] { cmdZuordnen_Click(); }); });
    connect(m_assign, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdZuordnen_Click(); }); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    // Tall enough for most of the forty nutrients on a large screen; PlaceOver keeps it on a small one.
    resize(600, 820);
    PlaceOver(this, parent);
}

FrmNaehrdata::~FrmNaehrdata() = default;

void FrmNaehrdata::SetServings(long servings)
{
    m_table->SetServings(servings);
}

void FrmNaehrdata::AddItems(const std::string& key, Decimal4 grams)
{
    m_table->AddItems(key, grams);
}

bool FrmNaehrdata::ShowItems()
{
    if (!m_table->ShowItems(&UI()))
        return false;
    Fill();
    return true;
}

bool FrmNaehrdata::ShowRecipe(UnitMatching& matching)
{
    m_matching = &matching;
    setWindowTitle(Q(matching.Title() + " - Berechnung der Nährwerte"));
    {
        const QSignalBlocker block(m_servings);
        m_servings->setValue(static_cast<int>(matching.Servings()));
    }
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_servingsLabel, m_servings, m_leftOutCaption, m_leftOut, m_assign})
        w->setVisible(true);
    m_table = std::make_unique<NutrientTable>(matching.Calculate());
    if (!m_table->ShowItems(&UI()))
        return false;
    Fill();
    FillLeftOut();
    return true;
}

void FrmNaehrdata::Recalculate()
{
    m_table = std::make_unique<NutrientTable>(m_matching->Calculate());
    // A table that lost its last food stays open empty, so that a food can be matched again.
    m_table->ShowItems();
    Fill();
    FillLeftOut();
}

void FrmNaehrdata::Fill()
{
    m_weight->setText(Q(m_table->WeightLabel()));
    m_grid->horizontalHeaderItem(1)->setText(Q(m_table->ValueHeader()));
    const auto& lines = m_table->Lines();
    m_grid->setRowCount(static_cast<int>(lines.size()));
    for (int row = 0; row < m_grid->rowCount(); ++row) {
        const NutrientLine& line = lines[static_cast<std::size_t>(row)];
        QTableWidgetItem* name = Cell(line.Description);
        if (line.Missing > 0)
            name->setToolTip(Q("unvollständig: " + std::to_string(line.Missing) +
                               (line.Missing == 1 ? " Zutat ohne Wert" : " Zutaten ohne Wert")));
        m_grid->setItem(row, 0, name);
        m_grid->setItem(row, 1,
                        Cell(FormatGrouped(m_table->Shown(line), 3), Qt::AlignRight | Qt::AlignVCenter));
        m_grid->setItem(row, 2, Cell(line.Dimension));
    }
}

void FrmNaehrdata::FillLeftOut()
{
    m_leftOut->clear();
    const std::vector<ConversionLine>& all = m_matching->Lines();
    for (const ConversionLine* line : m_matching->LeftOutLines()) {
        auto* item = new QTreeWidgetItem(m_leftOut, {Q(LineText(*line)), Q(line->LeftOut)});
        // Lines without a usable food can be matched here; the others need a changed amount or unit.
        const bool matchable = line->FoodName.empty() && !line->Ingredient.empty();
        item->setData(0, kLineRole, matchable ? static_cast<int>(line - all.data()) : -1);
    }
    const bool allCounted = m_leftOut->topLevelItemCount() == 0;
    m_leftOutCaption->setText(allCounted ? "Alle Zutaten wurden berechnet." : "&Nicht berechnete Zutaten:");
    // An empty list only takes room from the nutrients.
    m_leftOut->setVisible(!allCounted);
    m_leftOut->setCurrentItem(m_leftOut->topLevelItem(0));
    QTreeWidgetItem* current = m_leftOut->currentItem();
    m_assign->setEnabled(current && current->data(0, kLineRole).toInt() >= 0);
}

std::vector<std::pair<std::string, std::string>> FrmNaehrdata::LeftOutLines() const
{
    std::vector<std::pair<std::string, std::string>> lines;
    if (m_matching)
        for (const ConversionLine* line : m_matching->LeftOutLines())
            lines.emplace_back(LineText(*line), line->LeftOut);
    return lines;
}

void FrmNaehrdata::cmdDrucken_Click()
{
    const std::string title = S(windowTitle());
    const auto leftOut = LeftOutLines();
    PreviewPrintout(this, title,
                    [&](PageCanvas& canvas) { PrintNutrientTable(canvas, title, *m_table, leftOut); });
}

void FrmNaehrdata::cmdZuordnen_Click()
{
    QTreeWidgetItem* item = m_leftOut->currentItem();
    if (!m_matching || !item || item->data(0, kLineRole).toInt() < 0)
        return;
    const auto index = static_cast<std::size_t>(item->data(0, kLineRole).toInt());
    const ConversionLine& line = m_matching->Lines()[index];
    DialogFoodChooser dialog(m_db, m_tables, this);
    RecordingChooser chooser(dialog);
    Nutrition* nutrition = NutritionOf(m_db);
    const long food = nutrition
                          ? nutrition->Matcher.MatchFoodForIngredient(line.Ingredient, true, &chooser, &UI())
                          : dialog.ChooseFood(line.Ingredient);
    if (food == 0)
        return;
    const long no = line.No;
    const long servings = m_matching->Servings();
    if (!StoreFood(m_db, m_matching->RecipeId(), no, food)) {
        UI().Inform("Die Zuordnung konnte nicht gespeichert werden.", MsgIcon::Critical, "Nährwertangaben");
        return;
    }
    if (chooser.Used())
        LearnSynonym(m_db, UI(), food, chooser.Text(), DefaultKeywordLanguage());
    m_matching->NextID(m_matching->RecipeId());
    m_matching->SetServings(servings);
    Recalculate();
}

} // namespace pf
