#include "ui/FrmNaehrdataInfo.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "db/DatabaseChoice.h"
#include "lexicon/LexiconAreas.h"
#include "lexicon/LexiconFoodLinks.h"
#include "lexicon/LexiconSearch.h"
#include "nutrition/FoodCode.h"
#include "nutrition/FoodTables.h"
#include "nutrition/Nutrition.h"
#include "ui/ErrorTrap.h"
#include "ui/FoodWidgets.h"
#include "ui/FrmNaehrdata.h"
#include "ui/UiSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <charconv>
#include <cmath>

namespace pf {

namespace {

// "12,5", "60", "0,0042": a number as it is typed back, with a decimal comma and no grouping.
QString PlainNumber(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 4);
    std::string text(buffer, result.ptr);
    while (text.find('.') != std::string::npos && (text.back() == '0' || text.back() == '.'))
        text.pop_back();
    for (char& c : text)
        if (c == '.')
            c = ',';
    return Q(text);
}

QComboBox* UnitBox(const char* name, const FoodTables& tables, QWidget* parent)
{
    auto* box = Named(new QComboBox(parent), name);
    box->addItem("< nicht definiert >", 0);
    for (const auto& [id, unit] : tables.UnitList())
        box->addItem(Q(unit), static_cast<qlonglong>(id));
    return box;
}

void SelectUnit(QComboBox* box, long unit)
{
    const int index = box->findData(static_cast<qlonglong>(unit));
    box->setCurrentIndex(index < 0 ? 0 : index);
}

QLineEdit* NumberField(const char* name, QWidget* parent)
{
    auto* edit = Named(new QLineEdit(parent), name);
    edit->setMaximumWidth(100);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

} // namespace

FrmNaehrdataInfo::FrmNaehrdataInfo(Database& db, const FoodTables& tables, QWidget* parent)
    : QDialog(parent), m_db(db), m_tables(tables)
{
    setObjectName("FrmNaehrdataInfo");
    setWindowTitle("Nahrungsmittel-Information");
    auto* layout = new QVBoxLayout(this);
    m_state = Named(new QLabel(this), "lblSelbsterfasst");
    QFont bold = m_state->font();
    bold.setBold(true);
    m_state->setFont(bold);
    layout->addWidget(m_state);

    auto* tabs = Named(new QTabWidget(this), "tabSeiten");
    auto* general = new QWidget(tabs);
    auto* form = new QFormLayout(general);
    m_name = Named(new QLineEdit(general), "txtName");
    m_name->setMaxLength(128);
    form->addRow("&Bezeichnung:", m_name);
    m_nameE = Named(new QLineEdit(general), "txtNameE");
    m_nameE->setMaxLength(128);
    form->addRow("&Englisch:", m_nameE);
    m_nameF = Named(new QLineEdit(general), "txtNameF");
    m_nameF->setMaxLength(128);
    form->addRow("F&ranzösisch:", m_nameF);
    m_code = Named(new QLineEdit(general), "txtCode");
    m_code->setReadOnly(true);
    m_code->setMaximumWidth(100);
    form->addRow("BLS-Code:", m_code);
    m_description = Named(new QLabel(general), "lblBeschreibung");
    m_description->setWordWrap(true);
    form->addRow("Bedeutung:", m_description);
    m_main = MakeCheck("chkHaupt", "&Haupt-Nahrungsmittel", general);
    form->addRow("", m_main);

    auto* units = new QGridLayout;
    m_stdUnit = UnitBox("cboStandardEinheit", tables, general);
    m_stdGrams = NumberField("txtStandardMenge", general);
    m_altUnit = UnitBox("cboAlternativEinheit", tables, general);
    m_altGrams = NumberField("txtAlternativMenge", general);
    units->addWidget(m_stdUnit, 0, 0);
    units->addWidget(new QLabel("=", general), 0, 1);
    units->addWidget(m_stdGrams, 0, 2);
    units->addWidget(new QLabel("Gramm", general), 0, 3);
    units->addWidget(m_altUnit, 1, 0);
    units->addWidget(new QLabel("=", general), 1, 1);
    units->addWidget(m_altGrams, 1, 2);
    units->addWidget(new QLabel("Gramm", general), 1, 3);
    units->setColumnStretch(0, 1);
    auto* unitsLabel = new QLabel("&Primär-/Sekundär-\nAngabe:", general);
    unitsLabel->setBuddy(m_stdUnit);
    form->addRow(unitsLabel, units);
    m_stdUnit->setToolTip("Primär-Angabe zur Verzehr-Menge / Nährwertberechnung");
    m_altUnit->setToolTip("Sekundär-Angabe zur Verzehr-Menge / Nährwertberechnung");
    auto* portion = new QHBoxLayout;
    m_portion = NumberField("txtPortion", general);
    portion->addWidget(m_portion);
    portion->addWidget(new QLabel("Gramm", general));
    portion->addStretch(1);
    form->addRow("&Mittlere Portionsmenge:", portion);
    auto* price = new QHBoxLayout;
    m_price = NumberField("txtPreis", general);
    price->addWidget(m_price);
    price->addStretch(1);
    form->addRow("Mittlerer Preis pro 100g:", price);

    QGroupBox* season = MakeSeason(m_months, general);
    form->addRow(season);
    m_info = Named(new QPlainTextEdit(general), "txtInfo");
    m_info->setMinimumHeight(60);
    form->addRow("Produkt&info:", m_info);
    tabs->addTab(ScrollsDown(general), "&Allgemein");

    m_values = MakeValueGrid("grdWerte", tabs);
    tabs->addTab(m_values, "&Nährwerte");
    tabs->addTab(BuildLinkPage(tabs), "Le&xikon");
    layout->addWidget(tabs, 1);

    auto* buttons = new QHBoxLayout;
    QPushButton* content = MakeButton("cmdInhalt", "Inhal&t …", this);
    buttons->addWidget(content);
    buttons->addStretch(1);
    m_save = MakeButton("cmdSpeichern", "&Speichern", this);
    m_delete = MakeButton("cmdLoeschen", "&Löschen …", this);
    QPushButton* close = MakeButton("cmdSchliessen", "Schlie&ßen", this);
    buttons->addWidget(m_save);
    buttons->addWidget(m_delete);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(content, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdInhalt_Click(); }); });
    connect(m_save, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdSpeichern_Click(); }); });
    connect(m_delete, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdLoeschen_Click(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    resize(560, 600);
}

bool FrmNaehrdataInfo::ShowCode(const std::string& code)
{
    const long id = FoodIdOfCode(m_db, code);
    return id != 0 && ShowFood(id);
}

bool FrmNaehrdataInfo::ShowFood(long id)
{
    std::optional<FoodRecord> food = LoadFood(m_db, m_tables, id);
    if (!food)
        return false;
    m_food = std::move(*food);
    Fill();
    return true;
}

QWidget* FrmNaehrdataInfo::BuildLinkPage(QWidget* parent)
{
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel("Lexikon-Einträge, die dieses Nahrungsmittel erklären:", page));
    m_links = Named(new QTreeWidget(page), "lstLexikon");
    RoomyRows(m_links);
    m_links->setHeaderLabels({"Eintrag", "Bereich", "Bevorzugt"});
    m_links->setRootIsDecorated(false);
    m_links->setColumnWidth(0, 220);
    m_links->setColumnWidth(1, 140);
    layout->addWidget(m_links, 1);
    m_linkButtons = new QWidget(page);
    auto* row = new QHBoxLayout(m_linkButtons);
    row->setContentsMargins(0, 0, 0, 0);
    m_linkSearch = Named(new QLineEdit(m_linkButtons), "txtLexSuche");
    m_linkSearch->setPlaceholderText("Stichwort im Lexikon");
    QPushButton* link = MakeButton("cmdLexVerknuepfen", "&Verknüpfen …", m_linkButtons);
    QPushButton* unlink = MakeButton("cmdLexLoesen", "L&ösen", m_linkButtons);
    QPushButton* preferred = MakeButton("cmdLexBevorzugt", "Bevor&zugt", m_linkButtons);
    row->addWidget(m_linkSearch, 1);
    row->addWidget(link);
    row->addWidget(unlink);
    row->addWidget(preferred);
    layout->addWidget(m_linkButtons);
    connect(link, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdLexVerknuepfen_Click(); }); });
    connect(m_linkSearch, &QLineEdit::returnPressed, this,
            [this] { RunTrapped([this] { cmdLexVerknuepfen_Click(); }); });
    connect(unlink, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdLexLoesen_Click(); }); });
    connect(preferred, &QPushButton::clicked, this,
            [this] { RunTrapped([this] { cmdLexBevorzugt_Click(); }); });
    return page;
}

void FrmNaehrdataInfo::FillLinks()
{
    m_links->clear();
    for (const FoodLexiconLink& link : LinksOfFood(m_db, m_food.Id)) {
        auto* item =
            new QTreeWidgetItem(m_links, {Q(link.EntryName.empty() ? "(Eintrag fehlt)" : link.EntryName),
                                          Q(LexiconAreaName(link.Area)), link.Preferred ? "ja" : ""});
        item->setData(0, Qt::UserRole, static_cast<qlonglong>(link.Area));
        item->setData(0, Qt::UserRole + 1, static_cast<qlonglong>(link.EntryId));
    }
    // Links are the cook's notes on any food, base data or not.
    m_linkButtons->setEnabled(m_db.IsUpdatable());
}

void FrmNaehrdataInfo::cmdLexVerknuepfen_Click()
{
    const std::string text = S(m_linkSearch->text().trimmed());
    if (text.empty()) {
        m_linkSearch->setFocus();
        return;
    }
    LexiconResultTree result;
    LexiconSearch(m_db, text, kLexiconAllAreas, result);
    std::vector<LexiconHit> hits;
    std::vector<std::string> items;
    for (const LexiconAreaNode& root : result.Roots())
        for (const LexiconHit& hit : root.Hits)
            if (hit.Area != area::kFoods && hit.Area != area::kRecipes) {
                hits.push_back(hit);
                items.push_back(hit.Text + " (" + LexiconAreaName(hit.Area) + ")");
            }
    if (hits.empty()) {
        UI().Inform("Im Lexikon wurde zu \"" + text + "\" kein Eintrag gefunden.", MsgIcon::Information,
                    "Lexikon-Verknüpfung");
        return;
    }
    const std::optional<int> chosen =
        UI().ChooseItem("Lexikon-Eintrag für \"" + m_food.Name + "\" wählen:", items, "Lexikon-Verknüpfung");
    if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(hits.size()))
        return;
    const LexiconHit& hit = hits[static_cast<std::size_t>(*chosen)];
    if (!AddFoodLink(m_db, m_food.Id, hit.Area, hit.Id))
        UI().Inform("Das Nahrungsmittel ist mit diesem Eintrag bereits verknüpft.", MsgIcon::Information,
                    "Lexikon-Verknüpfung");
    m_linkSearch->clear();
    FillLinks();
}

void FrmNaehrdataInfo::cmdLexLoesen_Click()
{
    if (QTreeWidgetItem* item = m_links->currentItem()) {
        RemoveFoodLink(m_db, m_food.Id, item->data(0, Qt::UserRole).toLongLong(),
                       item->data(0, Qt::UserRole + 1).toLongLong());
        FillLinks();
    }
}

void FrmNaehrdataInfo::cmdLexBevorzugt_Click()
{
    if (QTreeWidgetItem* item = m_links->currentItem()) {
        SetPreferredFoodLink(m_db, m_food.Id, item->data(0, Qt::UserRole).toLongLong(),
                             item->data(0, Qt::UserRole + 1).toLongLong());
        FillLinks();
    }
}

void FrmNaehrdataInfo::Fill()
{
    const bool own = m_food.Own;
    setWindowTitle(Q("Nahrungsmittel-Information - " + m_food.Name));
    m_state->setText(own ? "Selbsterfasst !" : "Grunddaten (nicht änderbar)");
    m_name->setText(Q(m_food.Name));
    m_nameE->setText(Q(m_food.NameE));
    m_nameF->setText(Q(m_food.NameF));
    m_code->setText(Q(m_food.Code));
    m_description->setText(Q(DescribeFoodCode(m_food.Code)).replace("\r\n", "\n"));
    m_main->setChecked(m_food.Main);
    ShowSeason(m_months, m_food.Season);
    SelectUnit(m_stdUnit, m_food.StdUnit);
    m_stdGrams->setText(PlainNumber(m_food.StdGrams.ToDouble()));
    SelectUnit(m_altUnit, m_food.AltUnit);
    m_altGrams->setText(PlainNumber(m_food.AltGrams.ToDouble()));
    m_portion->setText(PlainNumber(m_food.Portion.ToDouble()));
    m_price->setText(PlainNumber(m_food.Price.ToDouble()));
    std::string code = m_food.Code;
    m_info->setPlainText(Q(m_food.Info.empty() ? GetFoodInfoText(m_db, code) : m_food.Info));
    FillLinks();

    const auto& descriptors = m_tables.NutrientDescriptors();
    m_values->setRowCount(static_cast<int>(descriptors.size()));
    for (int row = 0; row < m_values->rowCount(); ++row) {
        const auto i = static_cast<std::size_t>(row);
        auto* name = new QTableWidgetItem(Q(descriptors[i].Description));
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        m_values->setItem(row, 0, name);
        const std::optional<double>& v = i < m_food.Values.size() ? m_food.Values[i] : std::nullopt;
        auto* value = new QTableWidgetItem(v ? PlainNumber(*v) : QString());
        value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setFlags(own ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                            : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        m_values->setItem(row, 1, value);
        auto* dim = new QTableWidgetItem(Q(descriptors[i].Dimension));
        dim->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        m_values->setItem(row, 2, dim);
    }

    // A food of the base data is what every recipe's calculation relies on: it stays as shipped.
    for (QLineEdit* edit : {m_name, m_nameE, m_nameF, m_stdGrams, m_altGrams, m_portion, m_price})
        edit->setReadOnly(!own);
    m_info->setReadOnly(!own);
    for (QWidget* w : std::initializer_list<QWidget*>{m_main, m_stdUnit, m_altUnit})
        w->setEnabled(own);
    for (QCheckBox* month : m_months)
        month->setEnabled(own);
    m_save->setEnabled(own);
    m_delete->setEnabled(own);
}

void FrmNaehrdataInfo::Gather()
{
    m_food.Name = S(m_name->text().trimmed());
    m_food.NameE = S(m_nameE->text().trimmed());
    m_food.NameF = S(m_nameF->text().trimmed());
    m_food.Info = S(m_info->toPlainText());
    m_food.Main = m_main->isChecked();
    m_food.Season = SeasonOf(m_months);
    m_food.StdUnit = static_cast<long>(m_stdUnit->currentData().toLongLong());
    m_food.StdGrams = Decimal4::Parse(S(m_stdGrams->text()));
    m_food.AltUnit = static_cast<long>(m_altUnit->currentData().toLongLong());
    m_food.AltGrams = Decimal4::Parse(S(m_altGrams->text()));
    m_food.Portion = Decimal4::Parse(S(m_portion->text()));
    m_food.Price = Decimal4::Parse(S(m_price->text()));
    m_food.Values.resize(static_cast<std::size_t>(m_values->rowCount()));
    for (int row = 0; row < m_values->rowCount(); ++row) {
        const std::string text = S(m_values->item(row, 1)->text().trimmed());
        m_food.Values[static_cast<std::size_t>(row)] =
            text.empty() ? std::nullopt : std::optional<double>(Decimal4::Parse(text).ToDouble());
    }
}

bool FrmNaehrdataInfo::cmdSpeichern_Click()
{
    Gather();
    std::string problem;
    if (!SaveOwnFood(m_db, m_tables, m_food, problem)) {
        UI().Inform(problem, MsgIcon::Warning, "Nahrungsmittel-Information");
        return false;
    }
    ShowFood(m_food.Id);
    return true;
}

void FrmNaehrdataInfo::cmdLoeschen_Click()
{
    const long uses = FoodUseCount(m_db, m_food.Id);
    std::string question = "Soll das Nahrungsmittel \"" + m_food.Name +
                           "\" mit seinen Werten und Synonymen "
                           "gelöscht werden ?";
    if (uses > 0)
        question +=
            "\r\n" + std::to_string(uses) +
            (uses == 1 ? " Zutat verweist darauf und zählt" : " Zutaten verweisen darauf und zählen") +
            " danach nicht mehr in der Nährwertberechnung.";
    if (UI().Ask(question, Buttons::YesNo, Answer::No, MsgIcon::Question, "Nahrungsmittel löschen") !=
        Answer::Yes)
        return;
    std::string problem;
    if (!DeleteOwnFood(m_db, m_food.Id, problem)) {
        UI().Inform(problem, MsgIcon::Warning, "Nahrungsmittel löschen");
        return;
    }
    m_deleted = true;
    accept();
}

void FrmNaehrdataInfo::cmdInhalt_Click()
{
    FrmNaehrdata table(m_db, m_tables, this);
    table.setWindowTitle(Q(m_food.Name + " - Nährwertangaben"));
    table.AddItems(m_food.Code, Decimal4::FromLong(100));
    if (table.ShowItems())
        table.exec();
}

void ShowFoodInfo(const std::string& key, QWidget* parent)
{
    Database& db = WorkDb();
    Nutrition* nutrition = NutritionOf(db);
    const std::string code = nutrition ? FoodInfoCode(db, key) : std::string();
    if (!code.empty()) {
        FrmNaehrdataInfo window(db, nutrition->Tables, parent);
        if (window.ShowCode(code)) {
            window.exec();
            return;
        }
    }
    UI().Inform("Zu dieser Position gibt es keine weiteren Informationen !", MsgIcon::Information,
                "Nahrungsmittel-Information");
}

void OfferFoodInfo(QAbstractItemView* list, std::function<std::string(int row)> keyOfRow)
{
    auto show = [list, keyOfRow](int row) {
        if (row >= 0)
            RunTrapped([&] { ShowFoodInfo(keyOfRow(row), list->window()); });
    };
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(list, &QWidget::customContextMenuRequested, list,
                     [list, keyOfRow, show](const QPoint& pos) {
                         const QModelIndex index = list->indexAt(pos);
                         if (!index.isValid())
                             return;
                         list->setCurrentIndex(index);
                         QMenu menu(list);
                         QAction* info = menu.addAction("Lebensmittel-&Information …\tUmschalt+F4");
                         info->setEnabled(!keyOfRow(index.row()).empty());
                         if (menu.exec(list->viewport()->mapToGlobal(pos)) == info)
                             show(index.row());
                     });
    auto* shortcut = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F4), list);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(shortcut, &QShortcut::activated, list,
                     [list, show] { show(list->currentIndex().row()); });
}

} // namespace pf
