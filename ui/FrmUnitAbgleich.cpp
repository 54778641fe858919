#include "ui/FrmUnitAbgleich.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "db/DatabaseChoice.h"
#include "nutrition/FoodTables.h"
#include "nutrition/Nutrition.h"
#include "nutrition/UnitMatching.h"
#include "ui/ErrorTrap.h"
#include "ui/FrmNaehrdata.h"
#include "ui/FrmNaehrdataInfo.h"
#include "ui/UiSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace pf {

namespace {

// "120 Gramm", "7,5 Gramm": grams without needless decimals.
std::string GramText(Decimal4 grams)
{
    std::string text = FormatGrouped(grams, 2);
    if (text.size() > 3 && text.compare(text.size() - 3, 3, ",00") == 0)
        text.resize(text.size() - 3);
    else if (text.size() > 1 && text.back() == '0' && text.find(',') != std::string::npos)
        text.pop_back();
    return text + " Gramm";
}

} // namespace

FrmUnitAbgleich::FrmUnitAbgleich(Database& db, const FoodTables& tables, QWidget* parent)
    : QDialog(parent), m_db(db), m_tables(tables), m_matching(std::make_unique<UnitMatching>(db, tables))
{
    setObjectName("FrmUnitAbgleich");
    setWindowTitle("Einheiten-Abgleich");
    auto* layout = new QVBoxLayout(this);
    auto* head = new QHBoxLayout;
    m_title = Named(new QLabel(this), "lblTitel");
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    head->addWidget(m_title, 1);
    m_yield = Named(new QLabel(this), "lblPortionen");
    head->addWidget(m_yield);
    layout->addLayout(head);

    auto* hint =
        new QLabel("Prüfen Sie die Gramm-Angaben; eine Zutat ohne Häkchen wird nicht berechnet.", this);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    m_lines = Named(new QTableWidget(0, ColCount, this), "grdZutaten");
    RoomyRows(m_lines);
    m_lines->setHorizontalHeaderLabels({"Zutat", "Nahrungsmittel", "Gramm"});
    m_lines->verticalHeader()->setVisible(false);
    m_lines->verticalHeader()->setDefaultSectionSize(m_lines->fontMetrics().height() + 8);
    m_lines->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lines->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lines->setAlternatingRowColors(true);
    m_lines->horizontalHeader()->setSectionResizeMode(ColZutat, QHeaderView::Stretch);
    m_lines->horizontalHeader()->setSectionResizeMode(ColNahrungsmittel, QHeaderView::Stretch);
    m_lines->horizontalHeader()->setSectionResizeMode(ColGramm, QHeaderView::ResizeToContents);
    FitHeaderTexts(m_lines->horizontalHeader());
    m_lines->setMinimumHeight(160);
    layout->addWidget(m_lines, 1);

    auto* buttons = new QHBoxLayout;
    m_learn = MakeCheck("chkLernen", "&Lernen", this);
    m_learn->setToolTip("Die Einheitenzuordnung wird für zukünftige Einsätze mitgelernt");
    buttons->addWidget(m_learn);
    buttons->addStretch(1);
    QPushButton* ok = MakeButton("cmdOK", "&Fortfahren >>", this);
    ok->setDefault(true);
    QPushButton* cancel = MakeButton("cmdCancel", "&Abbrechen", this);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    OfferFoodInfo(m_lines, [this](int row) {
        const std::vector<ConversionLine>& lines = m_matching->Lines();
        return row < static_cast<int>(lines.size()) ? lines[static_cast<std::size_t>(row)].FoodKey
                                                    : std::string();
    });
    connect(m_lines, &QTableWidget::itemChanged, this,
            [this](QTableWidgetItem* item) { RunTrapped([this, item] { ItemChanged(item); }); });
    connect(ok, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdOK_Click(); }); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(640, 460);
}

FrmUnitAbgleich::~FrmUnitAbgleich() = default;

void FrmUnitAbgleich::SetServings(long servings)
{
    m_matching->SetServings(servings);
}

bool FrmUnitAbgleich::NextID(long recipeId)
{
    if (!m_matching->NextID(recipeId))
        return false;
    m_title->setText(Q(m_matching->Title()));
    FillLines();
    return true;
}

void FrmUnitAbgleich::FillLines()
{
    m_filling = true;
    m_yield->setText(Q(std::to_string(m_matching->Servings()) + " Portionen"));
    const std::vector<ConversionLine>& lines = m_matching->Lines();
    m_lines->setRowCount(static_cast<int>(lines.size()));
    for (int row = 0; row < m_lines->rowCount(); ++row) {
        const ConversionLine& line = lines[static_cast<std::size_t>(row)];
        auto* text = new QTableWidgetItem(Q(LineText(line)));
        text->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        text->setCheckState(line.Skip ? Qt::Unchecked : Qt::Checked);
        if (!line.LeftOut.empty())
            text->setToolTip(Q("Nicht berechnet: " + line.LeftOut));
        m_lines->setItem(row, ColZutat, text);
        auto* food = new QTableWidgetItem(Q(line.FoodName.empty() ? "–" : line.FoodName));
        food->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        m_lines->setItem(row, ColNahrungsmittel, food);
        const bool grams = line.Unit == FoodTables::kGram || line.Unit == FoodTables::kMillilitre;
        auto* amount = new QTableWidgetItem(Q(grams ? GramText(line.Quantity) : "< nicht definiert >"));
        amount->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // Grams can be corrected only where there is a food to weigh.
        amount->setFlags(line.FoodName.empty()
                             ? Qt::ItemIsEnabled | Qt::ItemIsSelectable
                             : Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        m_lines->setItem(row, ColGramm, amount);
    }
    m_filling = false;
}

void FrmUnitAbgleich::ItemChanged(QTableWidgetItem* item)
{
    if (m_filling)
        return;
    const auto index = static_cast<std::size_t>(item->row());
    if (item->column() == ColZutat)
        m_matching->SetSkip(index, item->checkState() != Qt::Checked);
    else if (item->column() == ColGramm)
        m_matching->SetGrams(index, Decimal4::Parse(S(item->text()).c_str()));
    FillLines();
}

void FrmUnitAbgleich::cmdOK_Click()
{
    FrmNaehrdata table(m_db, m_tables, this);
    bool any = false;
    {
        // The busy pointer goes away also when reading the foods fails.
        struct Busy
        {
            Busy()
            {
                UI().SetBusy(true);
                UI().SetStatus("Berechnung der Nährwerte", -1);
            }
            ~Busy()
            {
                UI().SetStatus("", -1);
                UI().SetBusy(false);
            }
        } busy;
        any = table.ShowRecipe(*m_matching);
    }
    if (any) {
        if (m_showTable)
            m_showTable(table);
        else
            table.exec();
    }
    if (m_learn->isChecked())
        m_matching->LearnChanged(UI());
    const long servings = m_matching->Servings();
    m_matching->NextID(m_matching->RecipeId());
    m_matching->SetServings(servings);
    FillLines();
}

void FrmUnitAbgleich::ShowForRecipe(long recipeId, QWidget* parent)
{
    Database& db = WorkDb();
    Nutrition* nutrition = NutritionOf(db);
    if (!nutrition) {
        UI().Inform("Es gibt keine Nährwertinformationen zum Anzeigen.", MsgIcon::Information,
                    "Berechnung der Nährwerte");
        return;
    }
    FrmUnitAbgleich window(db, nutrition->Tables, parent);
    if (!window.NextID(recipeId))
        return;
    window.exec();
}

} // namespace pf
