#include "ui/FrmNaehrSuche.h"

#include "core/AppContext.h"
#include "core/Decimal4.h"
#include "nutrition/FoodCode.h"
#include "nutrition/FoodSearch.h"
#include "nutrition/FoodTables.h"
#include "ui/ErrorTrap.h"
#include "ui/FoodWidgets.h"
#include "ui/UiSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace pf {

namespace {

// An empty bound does not limit; anything else is read as a number ("12,5").
std::optional<double> Bound(const QLineEdit* edit)
{
    const std::string text = S(edit->text().trimmed());
    if (text.empty())
        return std::nullopt;
    return Decimal4::Parse(text).ToDouble();
}

} // namespace

FrmNaehrSuche::FrmNaehrSuche(Database& db, const FoodTables& tables, QWidget* parent)
    : QDialog(parent), m_db(db), m_tables(tables)
{
    setObjectName("FrmNaehrSuche");
    setWindowTitle("Nahrungsmittel auswählen");
    auto* layout = new QVBoxLayout(this);

    auto* search = new QHBoxLayout;
    auto* label = new QLabel("&Suchbegriff:", this);
    m_text = Named(new QLineEdit(this), "txtSuche");
    label->setBuddy(m_text);
    QPushButton* start = MakeButton("cmdStart", "S&tart", this);
    search->addWidget(label);
    search->addWidget(m_text, 1);
    search->addWidget(start);
    layout->addLayout(search);

    auto* options = new QGridLayout;
    m_synonyms = MakeCheck("chkSynonyme", "Suche auch in S&ynonymen", this);
    m_synonyms->setChecked(true);
    m_main = MakeCheck("chkHaupt", "Nur &Haupt-Nahrungsmittel", this);
    m_detailed = MakeCheck("chkDetail", "&Detailierte Suche (innerhalb des Namens)", this);
    options->addWidget(m_synonyms, 0, 0);
    options->addWidget(m_main, 0, 1);
    options->addWidget(m_detailed, 1, 0, 1, 2);
    layout->addLayout(options);

    auto* range = new QHBoxLayout;
    m_byNutrient = MakeCheck("chkNaehrwert", "&Nährwert:", this);
    m_nutrient = Named(new QComboBox(this), "cboNaehrwert");
    for (const NutrientDescriptor& d : tables.NutrientDescriptors())
        m_nutrient->addItem(Q(d.Description + " (" + d.Dimension + ")"), Q(d.Key));
    m_nutrient->setMinimumContentsLength(18);
    m_nutrient->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    auto* fromLabel = new QLabel("&von", this);
    m_from = Named(new QLineEdit(this), "txtVon");
    fromLabel->setBuddy(m_from);
    auto* toLabel = new QLabel("&bis", this);
    m_to = Named(new QLineEdit(this), "txtBis");
    toLabel->setBuddy(m_to);
    for (QLineEdit* edit : {m_from, m_to}) {
        edit->setMaximumWidth(80);
        edit->setToolTip("pro 100 g; leer: ohne Grenze");
    }
    range->addWidget(m_byNutrient);
    range->addWidget(m_nutrient, 1);
    range->addWidget(fromLabel);
    range->addWidget(m_from);
    range->addWidget(toLabel);
    range->addWidget(m_to);
    layout->addLayout(range);

    m_list = MakeFoodList("lstErgebnis", this);
    m_list->setMinimumHeight(160);
    layout->addWidget(m_list, 1);

    m_description = Named(new QLabel(this), "lblBeschreibung");
    m_description->setWordWrap(true);
    m_description->setMinimumHeight(3 * m_description->fontMetrics().lineSpacing());
    m_description->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(m_description);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    QPushButton* choose = MakeButton("cmdAuswahl", "&Auswahl", this);
    choose->setDefault(false);
    QPushButton* cancel = MakeButton("cmdAbbrechen", "Abbre&chen", this);
    buttons->addWidget(choose);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    // Enter in the search field searches; in the list it chooses.
    connect(m_text, &QLineEdit::returnPressed, this, [this] { RunTrapped([this] { cmdStart_Click(); }); });
    connect(start, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdStart_Click(); }); });
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this] { Current(); });
    connect(m_list, &QTreeWidget::itemActivated, this, [this] { Accept(); });
    connect(choose, &QPushButton::clicked, this, [this] { Accept(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(600, 520);
}

void FrmNaehrSuche::SearchOnlyBLS(bool only)
{
    m_synonyms->setChecked(!only);
}

void FrmNaehrSuche::SetSearchText(const std::string& text)
{
    m_text->setText(Q(text));
    cmdStart_Click();
}

void FrmNaehrSuche::SetProduct(const std::string& code)
{
    FoodSearchOptions options;
    std::vector<FoodHit> hits;
    for (const FoodHit& hit : SearchFoodsByClass(m_db, code, options))
        if (hit.Code == code)
            hits.push_back(hit);
    Fill(hits);
}

void FrmNaehrSuche::cmdStart_Click()
{
    FoodSearchOptions options;
    options.InSynonyms = m_synonyms->isChecked();
    options.MainOnly = m_main->isChecked();
    options.Detailed = m_detailed->isChecked();
    options.OrderByCode = true;
    options.LanguageSuffix = AppContext::Current().LocaleLetter;
    const std::string term = S(m_text->text().trimmed());
    std::vector<FoodHit> hits;
    if (m_byNutrient->isChecked()) {
        const NutrientRange range{S(m_nutrient->currentData().toString()), Bound(m_from), Bound(m_to)};
        hits = SearchFoodsByNutrient(m_db, m_tables, term, range, options);
    } else {
        hits = SearchFoodsAsking(m_db, term, options, UI());
        m_detailed->setChecked(options.Detailed);
    }
    Fill(hits);
    if (hits.empty())
        QApplication::beep();
}

void FrmNaehrSuche::Fill(const std::vector<FoodHit>& hits)
{
    FillFoodList(m_list, hits);
    Current();
}

void FrmNaehrSuche::Current()
{
    QTreeWidgetItem* item = m_list->currentItem();
    m_description->setText(item ? Q(DescribeFoodCode(S(item->text(1)))).replace("\r\n", "\n") : QString());
}

void FrmNaehrSuche::Accept()
{
    QTreeWidgetItem* item = m_list->currentItem();
    if (!item)
        return;
    m_chosen = FoodOfRow(item);
    accept();
}

long FrmNaehrSuche::Choose(Database& db, const FoodTables& tables, const std::string& text,
                           const std::string& code, QWidget* parent)
{
    FrmNaehrSuche dialog(db, tables, parent);
    if (!code.empty())
        dialog.SetProduct(code);
    if (!text.empty())
        dialog.SetSearchText(text);
    return dialog.exec() == QDialog::Accepted ? dialog.ChosenId() : 0;
}

long DialogFoodChooser::ChooseFood(const std::string& presetText)
{
    return FrmNaehrSuche::Choose(m_db, m_tables, presetText, {}, m_parent);
}

} // namespace pf
