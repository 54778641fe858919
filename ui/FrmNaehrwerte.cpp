#include "ui/FrmNaehrwerte.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "nutrition/FoodCode.h"
#include "nutrition/FoodRecord.h"
#include "nutrition/FoodSearch.h"
#include "nutrition/FoodTables.h"
#include "nutrition/NutrientTable.h"
#include "ui/ErrorTrap.h"
#include "ui/FoodWidgets.h"
#include "ui/FrmNaehrNew.h"
#include "ui/FrmNaehrdata.h"
#include "ui/FrmNaehrdataInfo.h"
#include "ui/FrmSynonym.h"
#include "ui/FrmSynonymList.h"
#include "ui/UiSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <map>

namespace pf {

namespace {

constexpr int kClassRole = Qt::UserRole + 2;

// "1 Stück = 60 Gramm"; empty without unit or weight.
std::string UnitWeight(const FoodTables& tables, long unit, Decimal4 grams)
{
    if (unit <= 0 || grams.Ticks() <= 0)
        return {};
    const std::string name = tables.Scale(unit).LongName;
    return "1 " + (name.empty() ? "Einheit" : name) + " = " + FormatGrouped(grams, 0) + " Gramm";
}

} // namespace

FrmNaehrwerte::FrmNaehrwerte(Database& db, const FoodTables& tables, QWidget* parent)
    : QWidget(parent, Qt::Window), m_db(db), m_tables(tables)
{
    setObjectName("FrmNaehrwerte");
    setWindowTitle("Nahrungsmittel und Nährwerte");
    CloseOnEscape(this);
    auto* layout = new QVBoxLayout(this);

    auto* search = new QHBoxLayout;
    auto* searchLabel = new QLabel("S&chnellsuche:", this);
    m_search = Named(new QLineEdit(this), "txtSchnellsuche");
    m_search->setPlaceholderText("Name oder Anfang des Namens");
    searchLabel->setBuddy(m_search);
    QPushButton* start = MakeButton("cmdStart", "&Start", this);
    search->addWidget(searchLabel);
    search->addWidget(m_search, 1);
    search->addWidget(start);
    layout->addLayout(search);

    auto* options = new QGridLayout;
    m_detailed = MakeCheck("chkDetail", "&Detailierte Suche (innerhalb des Namens)", this);
    m_main = MakeCheck("chkHaupt", "Nur &Haupt-Nahrungsmittel", this);
    m_own = MakeCheck("chkSelbsterfasst", "nur s&elbsterfasste Nahrungsmittel", this);
    m_inSynonyms = MakeCheck("chkSynonyme", "Suche auch in S&ynonymen", this);
    m_inSynonyms->setChecked(true);
    m_allSynonyms = MakeCheck("chkAlleSynonyme", "Au&tomatische Anzeige aller Synonyme", this);
    options->addWidget(m_detailed, 0, 0);
    options->addWidget(m_inSynonyms, 0, 1);
    options->addWidget(m_main, 1, 0);
    options->addWidget(m_allSynonyms, 1, 1);
    options->addWidget(m_own, 2, 0);
    options->setColumnStretch(2, 1);
    layout->addLayout(options);

    auto* splitter = Named(new QSplitter(Qt::Horizontal, this), "splHaupt");
    auto* lists = new QSplitter(Qt::Vertical, splitter);
    m_tree = Named(new QTreeWidget(lists), "trvKlassen");
    m_tree->setHeaderLabels({"Nahrungsmittel-Klassen"});
    RoomyRows(m_tree);
    m_tree->setMinimumHeight(120);
    m_list = MakeFoodList("lstNahrungsmittel", lists);
    m_list->setMinimumHeight(120);
    lists->setStretchFactor(0, 2);
    lists->setStretchFactor(1, 3);

    // The product page scrolls on a small screen instead of squeezing its texts.
    auto* page = Named(new QWidget, "pnlProdukt");
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    m_name = Named(new QLabel(page), "lblName");
    QFont big = m_name->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.2);
    m_name->setFont(big);
    m_name->setWordWrap(true);
    pageLayout->addWidget(m_name);
    m_code = Named(new QLabel(page), "lblCode");
    pageLayout->addWidget(m_code);
    m_description = Named(new QLabel(page), "lblBeschreibung");
    m_description->setWordWrap(true);
    pageLayout->addWidget(m_description);
    m_units = Named(new QLabel(page), "lblEinheiten");
    m_units->setWordWrap(true);
    pageLayout->addWidget(m_units);
    QGroupBox* season = MakeSeason(m_months, page);
    for (QCheckBox* month : m_months) {
        // The season is shown here and changed on the information page.
        month->setAttribute(Qt::WA_TransparentForMouseEvents);
        month->setFocusPolicy(Qt::NoFocus);
    }
    m_season = season;
    pageLayout->addWidget(season);
    m_info = Named(new QLabel(page), "lblInfo");
    m_info->setWordWrap(true);
    m_info->setTextFormat(Qt::PlainText);
    pageLayout->addWidget(m_info);
    // The food's values per 100 g at a glance; "Inhalt" shows the full table.
    m_values = MakeValueGrid("grdWerte", page);
    m_values->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_values->setSelectionMode(QAbstractItemView::NoSelection);
    pageLayout->addWidget(m_values, 1);
    splitter->addWidget(ScrollsDown(page));
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter, 1);

    auto* buttons = new QHBoxLayout;
    QPushButton* content = MakeButton("cmdInhalt", "&Inhalt …", this);
    QPushButton* info = MakeButton("cmdInfo", "Info&rmation …", this);
    QPushButton* create = MakeButton("cmdNeu", "&Neu …", this);
    QPushButton* synonym = MakeButton("cmdSynonym", "Synony&me …", this);
    QPushButton* synonymList = MakeButton("cmdSynonymListe", "Synonym&liste …", this);
    QPushButton* close = MakeButton("cmdSchliessen", "Schlie&ßen", this);
    for (QPushButton* b : {content, info, create, synonym})
        buttons->addWidget(b);
    buttons->addWidget(synonymList);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(m_search, &QLineEdit::returnPressed, this, Trapped(this, &FrmNaehrwerte::cmdStart_Click));
    connect(start, &QPushButton::clicked, this, Trapped(this, &FrmNaehrwerte::cmdStart_Click));
    connect(content, &QPushButton::clicked, this, Trapped(this, &FrmNaehrwerte::cmdInhalt_Click));
    connect(info, &QPushButton::clicked, this, Trapped(this, &FrmNaehrwerte::cmdInfo_Click));
    connect(create, &QPushButton::clicked, this, Trapped(this, &FrmNaehrwerte::cmdNeu_Click));
    connect(synonym, &QPushButton::clicked, this, Trapped(this, &FrmNaehrwerte::cmdSynonym_Click));
    connect(synonymList, &QPushButton::clicked, this, Trapped(this, &FrmNaehrwerte::cmdSynonymListe_Click));
    connect(m_list, &QTreeWidget::itemActivated, this, Trapped(this, &FrmNaehrwerte::cmdInhalt_Click));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this] { RunTrapped([this] { ShowPage(); }); });
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item)
            RunTrapped([this, item] { ShowClass(S(item->data(0, kClassRole).toString())); });
    });
    // The tree lists main foods by their base codes: a changed filter lists the class again.
    connect(m_main, &QCheckBox::toggled, this, [this] { RunTrapped([this] { Refresh(); }); });
    connect(m_allSynonyms, &QCheckBox::toggled, this, [this] { RunTrapped([this] { Refresh(); }); });

    FillTree();
    ShowPage();
    resize(980, 640);
}

void FrmNaehrwerte::FillTree()
{
    m_tree->clear();
    // Classes come in key order, so a class's parent (the longest shorter key it starts with) is
    // already in the tree.
    std::map<std::string, QTreeWidgetItem*> nodes;
    for (const std::string& entry : m_tables.FoodClassList()) {
        std::string key = entry.substr(0, std::min<std::size_t>(10, entry.size()));
        key.erase(key.find_last_not_of(' ') + 1);
        const std::string name = entry.size() > 10 ? entry.substr(10) : key;
        QTreeWidgetItem* parent = nullptr;
        for (std::size_t length = key.size(); length-- > 1 && !parent;)
            if (auto it = nodes.find(key.substr(0, length)); it != nodes.end())
                parent = it->second;
        auto* item = parent ? new QTreeWidgetItem(parent, {Q(name)}) : new QTreeWidgetItem(m_tree, {Q(name)});
        item->setData(0, kClassRole, Q(key));
        item->setToolTip(0, Q(key));
        nodes[key] = item;
    }
}

void FrmNaehrwerte::cmdStart_Click()
{
    FoodSearchOptions options;
    options.Detailed = m_detailed->isChecked();
    options.MainOnly = m_main->isChecked();
    options.OwnOnly = m_own->isChecked();
    options.InSynonyms = m_inSynonyms->isChecked();
    options.ShowAllSynonyms = m_allSynonyms->isChecked();
    options.LanguageSuffix = AppContext::Current().LocaleLetter;
    const std::vector<FoodHit> hits = SearchFoodsAsking(m_db, S(m_search->text().trimmed()), options, UI());
    m_detailed->setChecked(options.Detailed);
    m_shownClass.clear();
    Fill(hits);
    if (hits.empty())
        QApplication::beep();
}

void FrmNaehrwerte::ShowClass(const std::string& prefix)
{
    FoodSearchOptions options;
    options.MainOnly = m_main->isChecked();
    options.ShowAllSynonyms = m_allSynonyms->isChecked();
    options.LanguageSuffix = AppContext::Current().LocaleLetter;
    m_shownClass = prefix;
    Fill(SearchFoodsByClass(m_db, prefix, options));
}

void FrmNaehrwerte::Refresh()
{
    if (!m_shownClass.empty())
        ShowClass(m_shownClass);
    else if (!m_search->text().trimmed().isEmpty())
        cmdStart_Click();
}

void FrmNaehrwerte::Fill(const std::vector<FoodHit>& hits)
{
    {
        const QSignalBlocker block(m_list);
        FillFoodList(m_list, hits, CurrentFood());
    }
    ShowPage();
}

bool FrmNaehrwerte::SelectFood(long id)
{
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        if (FoodOfRow(m_list->topLevelItem(i)) == id) {
            m_list->setCurrentItem(m_list->topLevelItem(i));
            return true;
        }
    }
    return false;
}

long FrmNaehrwerte::CurrentFood() const
{
    return FoodOfRow(m_list->currentItem());
}

void FrmNaehrwerte::ShowPage()
{
    const std::optional<FoodRecord> food =
        CurrentFood() ? LoadFood(m_db, m_tables, CurrentFood()) : std::nullopt;
    for (QWidget* w : findChildren<QPushButton*>())
        if (w->objectName() == "cmdInhalt" || w->objectName() == "cmdInfo" || w->objectName() == "cmdSynonym")
            w->setEnabled(food.has_value());
    if (!food) {
        m_name->setText("Kein Nahrungsmittel gewählt");
        m_code->clear();
        m_description->setText("Wählen Sie links eine Klasse oder suchen Sie ein Nahrungsmittel.");
        m_units->clear();
        m_info->clear();
        m_info->setVisible(false);
        m_season->setVisible(false);
        m_values->setRowCount(0);
        return;
    }
    m_name->setText(Q(food->Name));
    m_code->setText(Q("BLS-Code " + food->Code + (food->Own ? "   Selbsterfasst !" : "")));
    m_description->setText(Q(DescribeFoodCode(food->Code)).replace("\r\n", "\n"));
    std::string units;
    for (const std::string& part :
         {UnitWeight(m_tables, food->StdUnit, food->StdGrams),
          UnitWeight(m_tables, food->AltUnit, food->AltGrams),
          food->Portion.Ticks() > 0 ? "Mittlere Portion " + FormatGrouped(food->Portion, 0) + " Gramm"
                                    : std::string()})
        if (!part.empty())
            units += (units.empty() ? "" : "\n") + part;
    m_units->setText(Q(units));
    std::string code = food->Code;
    m_info->setText(Q(food->Info.empty() ? GetFoodInfoText(m_db, code) : food->Info));
    m_info->setVisible(!m_info->text().isEmpty());
    // Without any month set the season is unknown, not "never".
    m_season->setVisible(food->Season != 0);
    ShowSeason(m_months, food->Season);
    const auto& descriptors = m_tables.NutrientDescriptors();
    m_values->setRowCount(0);
    for (std::size_t i = 0; i < descriptors.size() && i < food->Values.size(); ++i) {
        if (!food->Values[i])
            continue;
        const int row = m_values->rowCount();
        m_values->insertRow(row);
        m_values->setItem(row, 0, new QTableWidgetItem(Q(descriptors[i].Description)));
        auto* value = new QTableWidgetItem(Q(FormatShort(*food->Values[i])));
        value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_values->setItem(row, 1, value);
        m_values->setItem(row, 2, new QTableWidgetItem(Q(descriptors[i].Dimension)));
    }
}

void FrmNaehrwerte::cmdInhalt_Click()
{
    const std::optional<FoodRecord> food = LoadFood(m_db, m_tables, CurrentFood());
    if (!food)
        return;
    FrmNaehrdata table(m_db, m_tables, this);
    table.setWindowTitle(Q(food->Name + " - Nährwertangaben"));
    table.AddItems(food->Code, Decimal4::FromLong(100));
    if (table.ShowItems())
        table.exec();
}

void FrmNaehrwerte::cmdInfo_Click()
{
    FrmNaehrdataInfo info(m_db, m_tables, this);
    if (!info.ShowFood(CurrentFood()))
        return;
    info.exec();
    Refresh();
    ShowPage();
}

void FrmNaehrwerte::cmdNeu_Click()
{
    const std::optional<FoodRecord> food = LoadFood(m_db, m_tables, CurrentFood());
    if (!food) {
        UI().Inform("Bitte wählen Sie zuerst ein Nahrungsmittel als Vorlage aus.", MsgIcon::Information,
                    "Neues Nahrungsmittel anlegen");
        return;
    }
    if (UI().Ask("Die Aktion wird ein neues Nahrungsmittel in die Datenbank aufnehmen.\r\n"
                 "Sie werden dazu einen gültigen und unbenutzten BLS-Code erfassen müssen sowie die "
                 "Nährwert-Tabelle mit Werten füllen müssen.\r\n"
                 "Wenn Sie jetzt immer noch fortfahren wollen, drücken Sie auf OK.",
                 Buttons::OkCancel, Answer::Cancel, MsgIcon::Question,
                 "Neues Nahrungsmittel anlegen") != Answer::Ok)
        return;
    FrmNaehrNew dialog(m_db, food->Code, food->Name, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const long id = CreateOwnFood(m_db, food->Code, dialog.Code(), dialog.Name());
    // The new food is listed at once, so that its values can be filled in.
    m_search->setText(Q(dialog.Name()));
    m_own->setChecked(false);
    cmdStart_Click();
    SelectFood(id);
    cmdInfo_Click();
}

void FrmNaehrwerte::cmdSynonym_Click()
{
    if (const long food = CurrentFood()) {
        FrmSynonym dialog(m_db, food, {}, this);
        dialog.exec();
        Refresh();
    }
}

void FrmNaehrwerte::cmdSynonymListe_Click()
{
    FrmSynonymList dialog(m_db, m_tables, this);
    dialog.exec();
    Refresh();
}

} // namespace pf
