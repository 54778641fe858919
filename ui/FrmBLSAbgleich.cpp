#include "ui/FrmBLSAbgleich.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "db/DatabaseChoice.h"
#include "nutrition/FoodAssignment.h"
#include "nutrition/FoodRecord.h"
#include "nutrition/Nutrition.h"
#include "ui/ErrorTrap.h"
#include "ui/FrmNaehrSuche.h"
#include "ui/FrmNaehrdataInfo.h"
#include "ui/FrmSynonym.h"
#include "ui/UiSupport.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace pf {

FrmBLSAbgleich::FrmBLSAbgleich(Database& db, const FoodTables& tables, FoodMatcher& matcher, QWidget* parent)
    : QDialog(parent), m_db(db), m_tables(tables), m_matcher(matcher),
      m_assignment(std::make_unique<FoodAssignment>(db, matcher))
{
    setObjectName("FrmBLSAbgleich");
    setWindowTitle("BLS-Zuordnung");
    auto* layout = new QVBoxLayout(this);
    m_heading = Named(new QLabel(this), "lblRezept");
    QFont bold = m_heading->font();
    bold.setBold(true);
    m_heading->setFont(bold);
    layout->addWidget(m_heading);

    m_lines = Named(new QTableWidget(0, ColCount, this), "grdZutaten");
    RoomyRows(m_lines);
    m_lines->setHorizontalHeaderLabels({"Original-Zutat", "BLS-Zuordnung"});
    m_lines->verticalHeader()->setVisible(false);
    m_lines->verticalHeader()->setDefaultSectionSize(m_lines->fontMetrics().height() + 8);
    m_lines->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lines->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lines->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lines->setAlternatingRowColors(true);
    m_lines->horizontalHeader()->setSectionResizeMode(ColZutat, QHeaderView::Stretch);
    m_lines->horizontalHeader()->setSectionResizeMode(ColZuordnung, QHeaderView::Stretch);
    FitHeaderTexts(m_lines->horizontalHeader());
    m_lines->setMinimumHeight(180);
    layout->addWidget(m_lines, 1);
    m_hint = Named(new QLabel(this), "lblHinweis");
    layout->addWidget(m_hint);

    auto* lineButtons = new QHBoxLayout;
    QPushButton* choose = MakeButton("cmdProdukt", "&Produkt wählen …", this);
    QPushButton* clear = MakeButton("cmdAufheben", "A&ufheben", this);
    QPushButton* clearAll = MakeButton("cmdAllesAufheben", "A&lles aufheben", this);
    QPushButton* analyse = MakeButton("cmdAnalyse", "&Neu analysieren", this);
    QPushButton* synonym = MakeButton("cmdSynonym", "S&ynonym …", this);
    for (QPushButton* b : {choose, clear, clearAll, analyse, synonym})
        lineButtons->addWidget(b);
    lineButtons->addStretch(1);
    layout->addLayout(lineButtons);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    QPushButton* ok = MakeButton("cmdRezeptOK", "&Rezept [OK]", this);
    ok->setDefault(true);
    QPushButton* skip = MakeButton("cmdAbbruch", "&Abbruch", this);
    QPushButton* end = MakeButton("cmdBeenden", "&Beenden", this);
    buttons->addWidget(ok);
    buttons->addWidget(skip);
    buttons->addWidget(end);
    layout->addLayout(buttons);

    OfferFoodInfo(m_lines, [this](int row) {
        const auto& lines = m_assignment->Lines();
        const long food =
            row < static_cast<int>(lines.size()) ? lines[static_cast<std::size_t>(row)].FoodId : 0;
        return food == 0 ? std::string() : std::to_string(food);
    });
    connect(choose, &QPushButton::clicked, this, Trapped(this, &FrmBLSAbgleich::cmdProdukt_Click));
    connect(m_lines, &QTableWidget::cellDoubleClicked, this,
            Trapped(this, &FrmBLSAbgleich::cmdProdukt_Click));
    connect(clear, &QPushButton::clicked, this, Trapped(this, &FrmBLSAbgleich::cmdAufheben_Click));
    connect(clearAll, &QPushButton::clicked, this, Trapped(this, &FrmBLSAbgleich::cmdAllesAufheben_Click));
    connect(analyse, &QPushButton::clicked, this, Trapped(this, &FrmBLSAbgleich::cmdAnalyse_Click));
    connect(synonym, &QPushButton::clicked, this, Trapped(this, &FrmBLSAbgleich::cmdSynonym_Click));
    connect(ok, &QPushButton::clicked, this, Trapped(this, &FrmBLSAbgleich::cmdRezeptOK_Click));
    connect(skip, &QPushButton::clicked, this, Trapped(this, &FrmBLSAbgleich::cmdAbbruch_Click));
    connect(end, &QPushButton::clicked, this, &QDialog::reject);
    resize(680, 480);
}

FrmBLSAbgleich::~FrmBLSAbgleich() = default;

bool FrmBLSAbgleich::SetRecipes(std::vector<long> ids)
{
    setWindowTitle(ids.size() > 1 ? "Massen-Abgleich" : "BLS-Zuordnung");
    m_assignment->SetRecipes(std::move(ids));
    const bool any = m_assignment->NextID();
    FillLines();
    return any;
}

void FrmBLSAbgleich::Next()
{
    if (!m_assignment->NextID()) {
        accept();
        return;
    }
    FillLines();
}

void FrmBLSAbgleich::FillLines()
{
    const int row = std::max(0, CurrentLine());
    m_heading->setText(Q(m_assignment->Heading()));
    const auto& lines = m_assignment->Lines();
    m_lines->setRowCount(static_cast<int>(lines.size()));
    for (int i = 0; i < m_lines->rowCount(); ++i) {
        const AssignmentLine& line = lines[static_cast<std::size_t>(i)];
        m_lines->setItem(i, ColZutat, new QTableWidgetItem(Q(line.Text)));
        auto* food = new QTableWidgetItem(Q(line.FoodId == 0 ? "–" : line.FoodName));
        if (line.Changed)
            food->setToolTip("geändert, noch nicht gespeichert");
        m_lines->setItem(i, ColZuordnung, food);
    }
    m_hint->setText(Q(m_assignment->Hint()));
    if (m_lines->rowCount() > 0)
        m_lines->selectRow(std::min(row, m_lines->rowCount() - 1));
}

int FrmBLSAbgleich::CurrentLine() const
{
    return m_lines->currentRow();
}

void FrmBLSAbgleich::cmdProdukt_Click()
{
    const int row = CurrentLine();
    if (row < 0 || row >= static_cast<int>(m_assignment->Lines().size()))
        return;
    const AssignmentLine& line = m_assignment->Lines()[static_cast<std::size_t>(row)];
    long chosen = 0;
    if (m_choose) {
        chosen = m_choose(line.Text, line.FoodId);
    } else {
        std::string code;
        if (line.FoodId != 0)
            if (const auto food = LoadFood(m_db, m_tables, line.FoodId))
                code = food->Code;
        chosen = FrmNaehrSuche::Choose(m_db, m_tables, code.empty() ? line.Text : std::string(), code, this);
    }
    if (chosen != 0)
        m_assignment->Assign(static_cast<std::size_t>(row), chosen);
    FillLines();
}

void FrmBLSAbgleich::cmdAufheben_Click()
{
    if (const int row = CurrentLine(); row >= 0)
        m_assignment->Clear(static_cast<std::size_t>(row));
    FillLines();
}

void FrmBLSAbgleich::cmdAllesAufheben_Click()
{
    m_assignment->ClearAll(UI());
    FillLines();
}

void FrmBLSAbgleich::cmdAnalyse_Click()
{
    m_assignment->Reanalyse();
    FillLines();
}

void FrmBLSAbgleich::cmdSynonym_Click()
{
    const int row = CurrentLine();
    if (row < 0 || row >= static_cast<int>(m_assignment->Lines().size()))
        return;
    const AssignmentLine& line = m_assignment->Lines()[static_cast<std::size_t>(row)];
    if (line.FoodId == 0) {
        UI().Inform("Bitte ordnen Sie der Zutat zuerst ein Produkt zu; ihr Text wird dann dessen Synonym.",
                    MsgIcon::Information, "Synonyme");
        return;
    }
    FrmSynonym dialog(m_db, line.FoodId, line.Text, this);
    dialog.exec();
}

void FrmBLSAbgleich::cmdRezeptOK_Click()
{
    if (!m_assignment->SaveRecipe()) {
        UI().Inform("Die Zuordnungen konnten nicht gespeichert werden.", MsgIcon::Critical, "BLS-Zuordnung");
        return;
    }
    Next();
}

void FrmBLSAbgleich::cmdAbbruch_Click()
{
    Next();
}

void FrmBLSAbgleich::ShowForRecipes(const std::vector<long>& ids, QWidget* parent)
{
    Database& db = WorkDb();
    Nutrition* nutrition = NutritionOf(db);
    if (!nutrition) {
        UI().Inform("Die Datenbank enthält keine Nahrungsmittel-Tabelle.", MsgIcon::Information,
                    "BLS-Zuordnung");
        return;
    }
    FrmBLSAbgleich window(db, nutrition->Tables, nutrition->Matcher, parent);
    if (window.SetRecipes(ids))
        window.exec();
}

} // namespace pf
