#include "ui/FrmSearchandDisplay.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Language.h"
#include "core/TextConv.h"
#include "db/DatabaseChoice.h"
#include "db/Recordset.h"
#include "model/ChoiceLists.h"
#include "model/ClIngredient.h"
#include "model/ClRecipe.h"
#include "model/RecipeText.h"
#include "model/clBlob.h"
#include "model/clBook.h"
#include "nutrition/FoodRecord.h"
#include "nutrition/IngredientLookup.h"
#include "search/RecipeActions.h"
#include "search/SearchTemplates.h"
#include "ui/ErrorTrap.h"
#include "ui/ExternalToolRun.h"
#include "ui/FrmBLSAbgleich.h"
#include "ui/FrmCatSelect.h"
#include "ui/FrmEinkaufsliste.h"
#include "ui/FrmExport.h"
#include "ui/FrmMenuData.h"
#include "ui/FrmMenuDetail.h"
#include "ui/FrmNaehrdataInfo.h"
#include "ui/FrmPrint.h"
#include "ui/FrmUnitAbgleich.h"
#include "ui/Mainform.h"
#include "ui/RecipeDrag.h"
#include "ui/UiSupport.h"
#include "ui/frmOptions1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QImage>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolTip>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <map>
#include <set>

namespace pf {

namespace {

constexpr int kIdRole = Qt::UserRole;
constexpr int kLoadedRole = Qt::UserRole + 1;
constexpr int kParentRole = Qt::UserRole + 2;

const char* const kImportSources[] = {"Beispieldaten",          "Mit Pfannola Manuell erfasst",
                                      "Mealmaster Text Import", "Mealmaster Datenbank Import",
                                      "Mastercook Import",      "Calcmenu Import",
                                      "Mensax Import",          "Generischer Rezeptimport",
                                      "Pfannola Kochbuchimport"};
const char* const kSpecialLists[] = {"(keine Sonderliste)", "Markierte Rezepte", "Importquelle",
                                     "Generische Rezepte",  "Vorlagen",          "Rezepte mit Bildern",
                                     "Eigene Rezepte",      "Importdatum",       "Rezeptnummern"};

QString Html(const std::string& text)
{
    return Q(text).toHtmlEscaped().replace("\n", "<br>");
}

QListWidget* CheckList(const char* name, QWidget* parent)
{
    auto* list = new QListWidget(parent);
    RoomyRows(list);
    list->setObjectName(name);
    list->setUniformItemSizes(true);
    return list;
}

void AddCheckItem(QListWidget* list, const std::string& text, long id)
{
    auto* item = new QListWidgetItem(Q(text), list);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    item->setData(kIdRole, QVariant::fromValue<qlonglong>(id));
}

std::vector<long> CheckedIDs(const QListWidget* list)
{
    std::vector<long> ids;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked)
            ids.push_back(static_cast<long>(list->item(i)->data(kIdRole).toLongLong()));
    return ids;
}

// Ticks the entries of the IDs; returns the IDs that have no entry.
std::vector<long> SetChecked(QListWidget* list, const std::vector<long>& ids)
{
    std::vector<long> missing = ids;
    for (int i = 0; i < list->count(); ++i) {
        const long id = static_cast<long>(list->item(i)->data(kIdRole).toLongLong());
        const bool on = std::find(ids.begin(), ids.end(), id) != ids.end();
        list->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        std::erase(missing, id);
    }
    return missing;
}

// A choice list of the work database; none without one.
ChoiceList Rows(ChoiceList (*list)(Database&))
{
    return HasWorkDb() ? list(WorkDb()) : ChoiceList{};
}

QTreeWidgetItem* MakeItem(const SearchHit& hit)
{
    auto* item = new QTreeWidgetItem;
    item->setText(FrmSearchandDisplay::ColTitle, Q(hit.Title));
    if (hit.Picture) {
        item->setText(FrmSearchandDisplay::ColPicture, QString::fromUtf8("\u25A3"));
        item->setToolTip(FrmSearchandDisplay::ColPicture, "Rezept mit Bild");
    }
    item->setTextAlignment(FrmSearchandDisplay::ColPicture, Qt::AlignCenter);
    item->setData(FrmSearchandDisplay::ColTitle, kIdRole, QVariant::fromValue<qlonglong>(hit.id));
    item->setData(FrmSearchandDisplay::ColTitle, kParentRole, QVariant::fromValue<qlonglong>(hit.Parent));
    return item;
}

} // namespace

FrmSearchandDisplay::FrmSearchandDisplay(Mode mode, QWidget* parent) : QWidget(parent), m_mode(mode)
{
    setObjectName("FrmSearchandDisplay");
    CloseOnEscape(this);
    switch (mode) {
    case Mode::Search:
        setWindowTitle("Rezepte suchen");
        break;
    case Mode::Templates:
        setWindowTitle("Neues Rezept aus einer Vorlage");
        break;
    case Mode::Trash:
        setWindowTitle("Papierkorb");
        break;
    case Mode::Duplicates:
        setWindowTitle("Duplikate");
        break;
    }
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName("splitter");
    splitter->addWidget(ScrollsDown(BuildCriteria()));
    splitter->addWidget(BuildResults());
    splitter->addWidget(BuildDisplay());
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 2);
    splitter->setStretchFactor(2, 3);
    splitter->setSizes({380, 340, 460});
    layout->addWidget(splitter);
    resize(1180, 680);

    FillLists();
    FillTemplates();
    m_sort->setCurrentIndex(AppContext::Current().Options.EditSortModus == ClSearch::kSortNewest ? 1 : 0);
    if (mode == Mode::Search) {
        const long tab = AppContext::Current().Options.RezSearchType;
        if (tab >= 0 && tab < m_tabs->count())
            m_tabs->setCurrentIndex(static_cast<int>(tab));
        // The default template fills the criteria; the user starts the search.
        if (HasWorkDb()) {
            SearchTemplates templates;
            const std::string standard = templates.GetSearchTemplateData(0);
            if (!standard.empty())
                ApplySearchData(standard);
        }
    }
    StartMode();
    m_changes = std::make_unique<RecipeChangeSubscription>(
        [this](const RecipeChange& change) { RecipesChanged(change); });
    // A changed display option shows the recipe again in the new form.
    connect(&OptionsNotifier::Instance(), &OptionsNotifier::optionsChanged, this, [this] {
        if (m_shownID != 0)
            ShowRecipe(m_shownID);
    });
}

FrmSearchandDisplay::~FrmSearchandDisplay() = default;

void FrmSearchandDisplay::RecipesChanged(const RecipeChange& change)
{
    if (!HasWorkDb() || change.Db != &WorkDb())
        return;
    const std::set<long> ids(change.IDs.begin(), change.IDs.end());
    // Saved recipes keep their row with the new title; recipes that left what the list shows
    // (into the trash, gone for good, or out of the trash list) lose theirs.
    const bool drop = change.Kind == RecipeChangeKind::Deleted ||
                      (change.Kind == RecipeChangeKind::Trashed && !m_trashList) ||
                      (change.Kind == RecipeChangeKind::Restored && m_trashList);
    if (change.Kind == RecipeChangeKind::Trashed && m_trashList) {
        StartMode();
        return;
    }
    std::vector<QTreeWidgetItem*> gone;
    std::vector<QTreeWidgetItem*> pending;
    for (int i = 0; i < m_results->topLevelItemCount(); ++i)
        pending.push_back(m_results->topLevelItem(i));
    while (!pending.empty()) {
        QTreeWidgetItem* item = pending.back();
        pending.pop_back();
        for (int i = 0; i < item->childCount(); ++i)
            pending.push_back(item->child(i));
        const long id = static_cast<long>(item->data(ColTitle, kIdRole).toLongLong());
        if (!ids.contains(id))
            continue;
        if (drop) {
            gone.push_back(item);
        } else if (change.Kind == RecipeChangeKind::Saved) {
            ClRecipe recipe;
            if (recipe.LoadByID(id, 0, true)) {
                const bool marked = item->text(ColTitle).endsWith(" [*]");
                item->setText(ColTitle, Q(recipe.Title()) + (marked ? " [*]" : ""));
            }
        }
    }
    // Children go before their parents, so no item is used after its parent deleted it.
    std::sort(gone.begin(), gone.end(), [](QTreeWidgetItem* a, QTreeWidgetItem* b) {
        int depthA = 0, depthB = 0;
        for (QTreeWidgetItem* p = a->parent(); p; p = p->parent())
            ++depthA;
        for (QTreeWidgetItem* p = b->parent(); p; p = p->parent())
            ++depthB;
        return depthA > depthB;
    });
    for (QTreeWidgetItem* item : gone) {
        if (std::find(gone.begin(), gone.end(), item->parent()) != gone.end())
            continue; // goes with its parent
        delete item;
    }
    if (!gone.empty())
        m_count->setText(QString("%1 Rezepte").arg(m_results->topLevelItemCount()));
    if (ids.contains(m_shownID)) {
        if (drop) {
            m_shownID = 0;
            m_display->clear();
            m_picture->setVisible(false);
            CurrentChanged();
        } else if (change.Kind == RecipeChangeKind::Saved) {
            ShowRecipe(m_shownID);
        }
    }
}

QWidget* FrmSearchandDisplay::BuildCriteria()
{
    auto* panel = new QWidget(this);
    auto* outer = new QVBoxLayout(panel);
    outer->setContentsMargins(0, 0, 0, 0);

    auto* wordRow = new QHBoxLayout;
    m_words = new QLineEdit(panel);
    m_words->setObjectName("txtSearch");
    // Short enough to be read whole in the criteria column at 1366×768.
    m_words->setPlaceholderText("z.B. Käse Torte oder #12");
    m_words->setToolTip("Suchbegriffe im Titel, z.B. Käse Torte, oder eine Rezeptnummer wie #12");
    m_words->setClearButtonEnabled(true);
    wordRow->addWidget(m_words, 1);
    m_searchButton = MakeButton("cmdSearch", "&Suchen", panel);
    m_searchButton->setDefault(true);
    wordRow->addWidget(m_searchButton);
    m_cancelButton = MakeButton("cmdCancel", "Abbrechen", panel);
    m_cancelButton->setEnabled(false);
    wordRow->addWidget(m_cancelButton);
    outer->addLayout(wordRow);
    connect(m_words, &QLineEdit::returnPressed, this, [this] { RunTrapped([this] { cmdSearch_Click(); }); });
    connect(m_searchButton, &QPushButton::clicked, this,
            [this] { RunTrapped([this] { cmdSearch_Click(); }); });

    m_tabs = new QTabWidget(panel);
    m_tabs->setObjectName("tabCriteria");
    outer->addWidget(m_tabs, 1);

    m_tabs->addTab(BuildTextTab(), "&Text");
    m_tabs->addTab(BuildCategoryTab(), "&Kategorien");
    m_tabs->addTab(BuildMoreTab(), "&Weitere");
    m_tabs->addTab(BuildSpecialTab(), "S&onder");
    m_tabs->addTab(BuildTemplateTab(), "&Vorlagen");

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel("Sortierung:", panel));
    m_sort = new QComboBox(panel);
    m_sort->setObjectName("cboSort");
    m_sort->addItems({"nach Titel", "neueste zuerst"});
    bottom->addWidget(m_sort, 1);
    auto* reset = MakeButton("cmdReset", "&Zurücksetzen", panel);
    bottom->addWidget(reset);
    outer->addLayout(bottom);
    connect(reset, &QPushButton::clicked, this, [this] { ResetCriteria(); });
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { m_search.RequestCancel(); });
    connect(m_sort, &QComboBox::currentIndexChanged, this, [this](int index) {
        AppContext::Current().Options.EditSortModus = index;
        if (!m_search.Hits().empty() && !m_running)
            RunTrapped([this] { StartMode(); });
    });
    return panel;
}

// Words, ingredients and general restrictions.
QWidget* FrmSearchandDisplay::BuildTextTab()
{
    auto* text = new QWidget(m_tabs);
    auto* textLayout = new QVBoxLayout(text);
    auto* wordBox = new QGroupBox("Titel", text);
    auto* wordGrid = new QVBoxLayout(wordBox);
    m_beginning = MakeCheck("chkBeginning", "Nur a&m Wortanfang", wordBox);
    m_negate = MakeCheck("chkNegate", "Darf &nicht vorkommen", wordBox);
    m_anyWord = MakeCheck("chkAnyWord", "Ein Wort &genügt", wordBox);
    m_instructions = MakeCheck("chkInstructions", "Au&ch in der Zubereitung suchen", wordBox);
    for (QCheckBox* box : {m_instructions, m_beginning, m_anyWord, m_negate})
        wordGrid->addWidget(box);
    textLayout->addWidget(wordBox);

    auto* ingredientBox = new QGroupBox("Zutaten", text);
    auto* ingredientLayout = new QVBoxLayout(ingredientBox);
    m_ingredients = new QListWidget(ingredientBox);
    RoomyRows(m_ingredients);
    m_ingredients->setObjectName("lstIngredients");
    m_ingredients->setMaximumHeight(70);
    ingredientLayout->addWidget(m_ingredients);
    auto* ingredientButtons = new QHBoxLayout;
    auto* addIngredient = MakeButton("cmdIngredientAdd", "Z&utat hinzufügen …", ingredientBox);
    auto* addFood = MakeButton("cmdIngredientFood", "Lebensmittel …", ingredientBox);
    addFood->setToolTip("Sucht Rezepte, deren Zutaten diesem Lebensmittel zugeordnet sind");
    auto* delIngredient = MakeButton("cmdIngredientDel", "Entfe&rnen", ingredientBox);
    ingredientButtons->addWidget(addIngredient);
    ingredientButtons->addWidget(addFood);
    ingredientButtons->addWidget(delIngredient);
    ingredientButtons->addStretch(1);
    ingredientLayout->addLayout(ingredientButtons);
    m_allIngredients = MakeCheck("chkAllIngredients", "A&lle Zutaten müssen vorkommen", ingredientBox);
    m_negateIngredients = MakeCheck("chkNegateIngredients", "Reze&pte ohne diese Zutaten", ingredientBox);
    ingredientLayout->addWidget(m_allIngredients);
    ingredientLayout->addWidget(m_negateIngredients);
    textLayout->addWidget(ingredientBox);
    connect(addIngredient, &QPushButton::clicked, this, [this] { RunTrapped([this] { AddIngredient(); }); });
    connect(addFood, &QPushButton::clicked, this, [this] { RunTrapped([this] { AddFood(); }); });
    connect(delIngredient, &QPushButton::clicked, this, [this] { RemoveIngredient(); });

    auto* bookBox = new QGroupBox("Kochbücher", text);
    auto* bookLayout = new QVBoxLayout(bookBox);
    m_books = CheckList("lstBooks", bookBox);
    m_books->setMaximumHeight(90);
    bookLayout->addWidget(m_books);
    textLayout->addWidget(bookBox);
    m_pictures = MakeCheck("chkPictures", "Nur R&ezepte mit Bild", text);
    m_noChildren = MakeCheck("chkNoChildren", "Keine abgeleiteten Rezepte", text);
    textLayout->addWidget(m_pictures);
    textLayout->addWidget(m_noChildren);
    textLayout->addStretch(1);
    return text;
}

// Categories and origins.
QWidget* FrmSearchandDisplay::BuildCategoryTab()
{
    auto* cats = new QWidget(m_tabs);
    auto* catLayout = new QVBoxLayout(cats);
    m_categories = CheckList("lstCategories", cats);
    catLayout->addWidget(m_categories, 2);
    auto* catOptions = new QGridLayout;
    m_allCategories = new QRadioButton("A&lle Kategorien", cats);
    m_allCategories->setObjectName("optAllCategories");
    m_allCategories->setChecked(true);
    m_anyCategory = new QRadioButton("&Eine der Kategorien", cats);
    m_anyCategory->setObjectName("optAnyCategory");
    m_primary = MakeCheck("chkPrimary", "Nur als Hau&ptkategorie", cats);
    m_negateCategories = MakeCheck("chkNegateCategories", "Ni&cht in diesen Kategorien", cats);
    catOptions->addWidget(m_allCategories, 0, 0);
    catOptions->addWidget(m_anyCategory, 0, 1);
    catOptions->addWidget(m_primary, 1, 0);
    catOptions->addWidget(m_negateCategories, 1, 1);
    catLayout->addLayout(catOptions);
    catLayout->addWidget(new QLabel("Herkunft:", cats));
    m_origins = CheckList("lstOrigins", cats);
    catLayout->addWidget(m_origins, 1);
    m_negateOrigins = MakeCheck("chkNegateOrigins", "&Nicht aus diesen Ländern", cats);
    catLayout->addWidget(m_negateOrigins);
    return cats;
}

// Further properties.
QWidget* FrmSearchandDisplay::BuildMoreTab()
{
    auto* more = new QWidget(m_tabs);
    auto* moreLayout = new QFormLayout(more);
    m_languages = CheckList("lstLanguages", more);
    m_languages->setMaximumHeight(80);
    moreLayout->addRow("Sprache:", m_languages);
    m_yieldUnit = new QComboBox(more);
    m_yieldUnit->setObjectName("cboYieldUnit");
    moreLayout->addRow("Rezepteinheit:", m_yieldUnit);
    m_tools = CheckList("lstTools", more);
    m_tools->setMaximumHeight(80);
    moreLayout->addRow("Geräte:", m_tools);
    m_negateTools = MakeCheck("chkNegateTools", "Ohne diese Geräte", more);
    moreLayout->addRow("", m_negateTools);
    m_literature = CheckList("lstLiterature", more);
    m_literature->setMaximumHeight(70);
    moreLayout->addRow("Literatur:", m_literature);
    m_publishers = CheckList("lstPublishers", more);
    m_publishers->setMaximumHeight(60);
    moreLayout->addRow("Verlage:", m_publishers);
    m_authors = CheckList("lstAuthors", more);
    m_authors->setMaximumHeight(60);
    moreLayout->addRow("Autoren:", m_authors);
    return more;
}

// Special lists.
QWidget* FrmSearchandDisplay::BuildSpecialTab()
{
    auto* special = new QWidget(m_tabs);
    auto* specialLayout = new QFormLayout(special);
    m_special = new QComboBox(special);
    m_special->setObjectName("cboSpecial");
    for (const char* name : kSpecialLists)
        m_special->addItem(QString::fromUtf8(name));
    specialLayout->addRow("Liste:", m_special);
    m_specialValue = new QComboBox(special);
    m_specialValue->setObjectName("cboSpecialValue");
    specialLayout->addRow("Auswahl:", m_specialValue);
    m_numbers = new QLineEdit(special);
    m_numbers->setObjectName("txtNumbers");
    m_numbers->setPlaceholderText("z.B. 12 oder 3,7,9 oder 100-200");
    specialLayout->addRow("Nummern:", m_numbers);
    m_numberRange = new QLabel(special);
    m_numberRange->setObjectName("lblNumberRange");
    specialLayout->addRow("", m_numberRange);
    connect(m_special, &QComboBox::currentIndexChanged, this, [this] { UpdateSpecialValue(); });
    connect(m_numbers, &QLineEdit::returnPressed, this,
            [this] { RunTrapped([this] { cmdSearch_Click(); }); });
    return special;
}

// Search templates.
QWidget* FrmSearchandDisplay::BuildTemplateTab()
{
    auto* templates = new QWidget(m_tabs);
    auto* templateLayout = new QVBoxLayout(templates);
    m_templates = new QListWidget(templates);
    RoomyRows(m_templates);
    m_templates->setObjectName("lstTemplates");
    templateLayout->addWidget(m_templates, 1);
    auto* templateButtons = new QGridLayout;
    auto* load = MakeButton("cmdTemplateLoad", "&Laden", templates);
    auto* save = MakeButton("cmdTemplateSave", "S&peichern …", templates);
    auto* remove = MakeButton("cmdTemplateDelete", "Lös&chen", templates);
    auto* standard = MakeButton("cmdTemplateDefault", "Als Sta&ndard", templates);
    templateButtons->addWidget(load, 0, 0);
    templateButtons->addWidget(save, 0, 1);
    templateButtons->addWidget(remove, 1, 0);
    templateButtons->addWidget(standard, 1, 1);
    templateLayout->addLayout(templateButtons);
    connect(load, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdTemplateLoad_Click(); }); });
    connect(m_templates, &QListWidget::itemDoubleClicked, this,
            [this] { RunTrapped([this] { cmdTemplateLoad_Click(); }); });
    connect(save, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdTemplateSave_Click(); }); });
    connect(remove, &QPushButton::clicked, this,
            [this] { RunTrapped([this] { cmdTemplateDelete_Click(); }); });
    connect(standard, &QPushButton::clicked, this,
            [this] { RunTrapped([this] { cmdTemplateDefault_Click(); }); });
    return templates;
}

QWidget* FrmSearchandDisplay::BuildResults()
{
    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    m_caption = new QLabel(panel);
    m_caption->setObjectName("lblCaption");
    m_caption->setWordWrap(true);
    QFont bold = m_caption->font();
    bold.setBold(true);
    m_caption->setFont(bold);
    layout->addWidget(m_caption);
    // Results drag as their recipes onto menus, weekly plans and the shopping list.
    m_results = new RecipeDragTree(kIdRole, panel);
    RoomyRows(m_results);
    m_results->setObjectName("trvResults");
    m_results->setHeaderLabels({"Titel", "Bild"});
    m_results->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_results->setUniformRowHeights(true);
    m_results->setAlternatingRowColors(true);
    m_results->header()->setSectionResizeMode(ColTitle, QHeaderView::Stretch);
    m_results->header()->setSectionResizeMode(ColPicture, QHeaderView::ResizeToContents);
    m_results->header()->setStretchLastSection(false);
    m_results->setContextMenuPolicy(Qt::CustomContextMenu);
    m_results->viewport()->installEventFilter(this);
    m_results->installEventFilter(this);
    layout->addWidget(m_results, 1);
    auto* row = new QHBoxLayout;
    m_count = new QLabel(panel);
    m_count->setObjectName("lblCount");
    row->addWidget(m_count, 1);
    auto* open =
        MakeButton("cmdOpen", m_mode == Mode::Templates ? "Neues &Rezept aus Vorlage" : "&Bearbeiten", panel);
    row->addWidget(open);
    layout->addLayout(row);

    connect(m_results, &QTreeWidget::currentItemChanged, this,
            [this] { RunTrapped([this] { CurrentChanged(); }); });
    connect(m_results, &QTreeWidget::itemDoubleClicked, this,
            [this] { RunTrapped([this] { OpenSelected(); }); });
    connect(m_results, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { RunTrapped([this, item] { ItemExpanded(item); }); });
    connect(open, &QPushButton::clicked, this, [this] { RunTrapped([this] { OpenSelected(); }); });
    connect(m_results, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        QMenu* menu = MakeContextMenu();
        menu->exec(m_results->viewport()->mapToGlobal(pos));
        menu->deleteLater();
    });
    return panel;
}

QWidget* FrmSearchandDisplay::BuildDisplay()
{
    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    m_picture = new QLabel(panel);
    m_picture->setObjectName("picPicture");
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setVisible(false);
    layout->addWidget(m_picture);
    m_display = new QTextBrowser(panel);
    m_display->setObjectName("txtDisplay");
    m_display->setOpenLinks(false);
    // Ingredients with a food are links to the food's information page; they read as text.
    m_display->document()->setDefaultStyleSheet("a { color: #1d4e89; text-decoration: none; }");
    connect(m_display, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
        if (link.scheme() == "food")
            RunTrapped([&] { ShowFoodInfo(S(link.path()), this); });
    });
    layout->addWidget(m_display, 1);
    return panel;
}

void FrmSearchandDisplay::FillLists()
{
    if (!HasWorkDb())
        return;
    for (const Choice& choice : Rows(KindCategoryChoices))
        AddCheckItem(m_categories, choice.Name, choice.ID);
    for (const Choice& choice : Rows(OriginChoices))
        AddCheckItem(m_origins, choice.Name, choice.ID);
    for (long code = 0; code < kLanguageCount; ++code)
        if (!LanguageName(code).empty())
            AddCheckItem(m_languages, LanguageName(code), code);
    m_yieldUnit->addItem("(beliebig)", QVariant::fromValue<qlonglong>(0));
    for (const Choice& choice : Rows(YieldUnitChoices))
        m_yieldUnit->addItem(Q(choice.Name), QVariant::fromValue<qlonglong>(choice.ID));
    for (const Choice& choice : Rows(UtensilChoices))
        AddCheckItem(m_tools, choice.Name, choice.ID);
    clBook book;
    for (const clBook::ListItem& item : book.GetBooklist2List(false))
        AddCheckItem(m_books, item.Text, item.id);
    for (const Choice& choice : Rows(LiteratureChoices))
        AddCheckItem(m_literature, choice.Name, choice.ID);
    for (const Choice& choice : Rows(PublisherChoices))
        AddCheckItem(m_publishers, choice.Name, choice.ID);
    for (const Choice& choice : Rows(AuthorChoices))
        AddCheckItem(m_authors, choice.Name, choice.ID);
}

void FrmSearchandDisplay::FillTemplates()
{
    m_templates->clear();
    if (!HasWorkDb())
        return;
    SearchTemplates templates;
    for (const SearchTemplateItem& item : templates.FillSearchTemplateList(AppContext::Current().WinUser)) {
        auto* entry = new QListWidgetItem(Q(item.Name) + (item.id == 0 ? " (Standard)" : ""), m_templates);
        entry->setData(kIdRole, QVariant::fromValue<qlonglong>(item.id));
    }
}

void FrmSearchandDisplay::UpdateSpecialValue()
{
    const int mode = m_special->currentIndex();
    m_specialValue->clear();
    m_specialValue->setEnabled(mode == 2 || mode == 7);
    m_numbers->setEnabled(mode == 8);
    m_numberRange->clear();
    if (mode == 2) {
        for (int code = 0; code < static_cast<int>(std::size(kImportSources)); ++code)
            m_specialValue->addItem(QString::fromUtf8(kImportSources[code]), code);
    } else if (mode == 7) {
        m_importDates = m_search.FillImportdate();
        for (DateSerial date : m_importDates)
            m_specialValue->addItem(Q(DateTimeText(date, true)), Q(ClSearch::ImportDateText(date)));
    } else if (mode == 8) {
        const std::vector<long> books = CheckedIDs(m_books);
        long low = 0, high = 0;
        if (m_search.NumberRange(books.size() == 1 ? books[0] : -1, low, high))
            m_numberRange->setText(QString("Vorhandene Nummern: %1 bis %2").arg(low).arg(high));
    }
}

void FrmSearchandDisplay::ResetCriteria()
{
    m_words->clear();
    for (QCheckBox* box : findChildren<QCheckBox*>())
        box->setChecked(false);
    for (QListWidget* list :
         {m_categories, m_origins, m_languages, m_tools, m_books, m_literature, m_publishers, m_authors})
        SetChecked(list, {});
    m_ingredients->clear();
    m_allCategories->setChecked(true);
    m_yieldUnit->setCurrentIndex(0);
    m_special->setCurrentIndex(0);
    m_numbers->clear();
}

std::string FrmSearchandDisplay::SearchData() const
{
    SearchCriteria c;
    c.Books = CheckedIDs(m_books);
    c.PicturesOnly = m_pictures->isChecked();
    c.NoChildren = m_noChildren->isChecked();
    c.Words = S(m_words->text().trimmed());
    c.Instructions = m_instructions->isChecked();
    c.Beginning = m_beginning->isChecked();
    c.NegateWords = m_negate->isChecked();
    c.AnyWord = m_anyWord->isChecked();
    for (int i = 0; i < m_ingredients->count(); ++i) {
        IngredientCriterion ingredient;
        const QListWidgetItem* item = m_ingredients->item(i);
        ingredient.FoodKey = static_cast<long>(item->data(kIdRole).toLongLong());
        if (ingredient.FoodKey <= 0)
            ingredient.Text = S(item->text());
        c.Ingredients.push_back(ingredient);
    }
    c.AllIngredients = m_allIngredients->isChecked();
    c.NegateIngredients = m_negateIngredients->isChecked();
    c.Tools = CheckedIDs(m_tools);
    c.NegateTools = m_negateTools->isChecked();
    c.Categories = CheckedIDs(m_categories);
    c.AllCategories = m_allCategories->isChecked();
    c.PrimaryOnly = m_primary->isChecked();
    c.NegateCategories = m_negateCategories->isChecked();
    c.YieldUnit = static_cast<long>(m_yieldUnit->currentData().toLongLong());
    c.Origins = CheckedIDs(m_origins);
    c.NegateOrigins = m_negateOrigins->isChecked();
    c.Languages = CheckedIDs(m_languages);
    c.Literature = CheckedIDs(m_literature);
    c.Publishers = CheckedIDs(m_publishers);
    c.Authors = CheckedIDs(m_authors);
    c.SpecialMode = m_special->currentIndex();
    if (c.SpecialMode == 2)
        c.SpecialValue = std::to_string(m_specialValue->currentData().toInt());
    else if (c.SpecialMode == 7 && m_specialValue->currentIndex() >= 0)
        c.SpecialValue = "#" + S(m_specialValue->currentData().toString()) + "#";
    else if (c.SpecialMode == 8)
        c.SpecialValue = S(m_numbers->text().trimmed());
    return EncodeSearchData(c);
}

void FrmSearchandDisplay::ApplySearchData(const std::string& searchData)
{
    ResetCriteria();
    const SearchCriteria c = DecodeSearchData(searchData);
    std::vector<std::string> missing;
    auto note = [&](const std::vector<long>& ids, const char* what) {
        for (long id : ids)
            missing.push_back(std::string(what) + " " + std::to_string(id));
    };
    note(SetChecked(m_books, c.Books), "Kochbuch");
    m_pictures->setChecked(c.PicturesOnly);
    m_noChildren->setChecked(c.NoChildren);
    m_words->setText(Q(c.Words));
    m_instructions->setChecked(c.Instructions);
    m_beginning->setChecked(c.Beginning);
    m_negate->setChecked(c.NegateWords);
    m_anyWord->setChecked(c.AnyWord);
    for (const IngredientCriterion& ingredient : c.Ingredients) {
        std::string text = ingredient.Text;
        if (ingredient.FoodKey > 0) {
            text = FoodNameOf(WorkDb(), ingredient.FoodKey);
            if (text.empty()) {
                missing.push_back("Lebensmittel " + std::to_string(ingredient.FoodKey));
                continue;
            }
        }
        auto* item = new QListWidgetItem(Q(text), m_ingredients);
        item->setData(kIdRole, QVariant::fromValue<qlonglong>(ingredient.FoodKey));
        if (ingredient.FoodKey > 0)
            item->setToolTip("Lebensmittel");
    }
    m_allIngredients->setChecked(c.AllIngredients);
    m_negateIngredients->setChecked(c.NegateIngredients);
    note(SetChecked(m_tools, c.Tools), "Gerät");
    m_negateTools->setChecked(c.NegateTools);
    note(SetChecked(m_categories, c.Categories), "Kategorie");
    (c.AllCategoriesRule() ? m_allCategories : m_anyCategory)->setChecked(true);
    m_primary->setChecked(c.PrimaryOnly);
    m_negateCategories->setChecked(c.NegateCategories);
    const int unit = m_yieldUnit->findData(QVariant::fromValue<qlonglong>(c.YieldUnit));
    if (unit < 0)
        missing.push_back("Rezepteinheit " + std::to_string(c.YieldUnit));
    m_yieldUnit->setCurrentIndex(std::max(0, unit));
    note(SetChecked(m_origins, c.Origins), "Herkunft");
    m_negateOrigins->setChecked(c.NegateOrigins);
    SetChecked(m_languages, c.Languages);
    note(SetChecked(m_literature, c.Literature), "Literatur");
    note(SetChecked(m_publishers, c.Publishers), "Verlag");
    note(SetChecked(m_authors, c.Authors), "Autor");
    if (c.SpecialMode >= 1 && c.SpecialMode <= 8) {
        m_special->setCurrentIndex(c.SpecialMode);
        if (c.SpecialMode == 2) {
            m_specialValue->setCurrentIndex(m_specialValue->findData(std::atoi(c.SpecialValue.c_str())));
        } else if (c.SpecialMode == 7) {
            std::string text = c.SpecialValue;
            if (text.size() >= 2 && text.front() == '#' && text.back() == '#')
                text = text.substr(1, text.size() - 2);
            DateSerial date;
            if (!ClSearch::ParseImportDateText(text, date)) {
                UI().Inform("Das enthaltene Datum ist hat ein falsches Format: \"" + c.SpecialValue +
                                "\"konnte nicht aktiviert werden.",
                            MsgIcon::Warning, AppContext::Current().AppTitle);
            } else {
                int index = m_specialValue->findData(Q(text));
                if (index < 0) {
                    m_specialValue->addItem(Q(DateTimeText(date, true)), Q(text));
                    index = m_specialValue->count() - 1;
                }
                m_specialValue->setCurrentIndex(index);
            }
        } else if (c.SpecialMode == 8) {
            m_numbers->setText(Q(c.SpecialValue));
        }
    }
    for (const std::string& entry : missing)
        UI().Inform(entry + " existiert nicht (mehr).", MsgIcon::Information, AppContext::Current().AppTitle);
}

void FrmSearchandDisplay::StartMode()
{
    m_trashList = false;
    switch (m_mode) {
    case Mode::Search:
        if (!m_search.Hits().empty() || !m_caption->text().isEmpty())
            cmdSearch_Click();
        break;
    case Mode::Templates:
        RunSearchData("6,4", -1);
        if (m_search.Hits().empty())
            UI().Inform("Es wurden keine Vorlagen gefunden!", MsgIcon::Information,
                        AppContext::Current().AppTitle);
        break;
    case Mode::Trash:
        m_trashList = true;
        m_results->clear();
        m_search.FindTrash(m_sort->currentIndex());
        AddHits(m_search.Hits());
        FinishTree();
        m_caption->setText("Rezepte im Papierkorb");
        break;
    case Mode::Duplicates:
        RunSearchData("5," + std::to_string(clBook::kDuplicates), -1);
        m_caption->setText("Duplikate");
        break;
    }
}

bool FrmSearchandDisplay::cmdSearch_Click()
{
    return RunSearch(true);
}

bool FrmSearchandDisplay::RunSearch(bool tellWhenNothingFound)
{
    if (m_running)
        return false;
    if (m_mode == Mode::Trash) {
        StartMode();
        return ResultCount() > 0;
    }
    AppContext::Current().Options.RezSearchType = m_tabs->currentIndex();
    const std::vector<long> books = CheckedIDs(m_books);
    RunSearchData(SearchData(), books.size() == 1 ? books[0] : -1);
    if (tellWhenNothingFound && m_search.Hits().empty() && !m_search.Cancelled())
        UI().Inform(m_search.LastError() != 0 ? m_search.LastErrorText() : "keine Rezepte mit diesem Suchbegriff !",
                    MsgIcon::Information, AppContext::Current().AppTitle);
    return !m_search.Hits().empty();
}

void FrmSearchandDisplay::ShowCookbook(long bookID, const std::string& caption)
{
    ResetCriteria();
    RunSearchData(bookID == clBook::kBaseBook ? std::string() : "5," + std::to_string(bookID), -1);
    m_caption->setText(Q(caption));
}

void FrmSearchandDisplay::ShowImportResult(DateSerial importDate, const std::string& caption)
{
    ResetCriteria();
    m_results->clear();
    m_display->clear();
    m_shownID = 0;
    m_picture->setVisible(false);
    m_search.FindImportDate(importDate);
    AddHits(m_search.Hits());
    FinishTree();
    m_caption->setText(Q(caption));
    m_caption->setToolTip(QString());
}

void FrmSearchandDisplay::RunSearchData(const std::string& searchData, long bookID)
{
    m_running = true;
    m_searchButton->setEnabled(false);
    m_cancelButton->setEnabled(true);
    m_results->clear();
    m_display->clear();
    m_shownID = 0;
    m_picture->setVisible(false);
    m_count->setText("Suche läuft …");
    m_search.SetHitSink([this](const std::vector<SearchHit>& batch) { AddHits(batch); });
    long count = 0;
    m_search.FindFirst(searchData, bookID, m_sort->currentIndex(), count);
    m_search.SetHitSink({});
    // Hits the sink did not pass on (a special list reads its rows at once).
    if (m_results->topLevelItemCount() < static_cast<int>(m_search.Hits().size())) {
        std::vector<SearchHit> rest(m_search.Hits().begin() + m_results->topLevelItemCount(),
                                    m_search.Hits().end());
        AddHits(rest);
    }
    FinishTree();
    m_caption->setText(Q(m_search.FindResultCaption()));
    // The criteria in words, for a look at what the result rests on.
    m_caption->setToolTip(Q(m_search.FindResultDecoded()));
    m_running = false;
    m_searchButton->setEnabled(true);
    m_cancelButton->setEnabled(false);
}

void FrmSearchandDisplay::AddHits(const std::vector<SearchHit>& batch)
{
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<int>(batch.size()));
    for (const SearchHit& hit : batch)
        items.append(MakeItem(hit));
    m_results->addTopLevelItems(items);
    if (!m_results->currentItem() && m_results->topLevelItemCount() > 0)
        m_results->setCurrentItem(m_results->topLevelItem(0));
    m_count->setText(Q(CountText(m_results->topLevelItemCount(), "Rezepte")));
}

void FrmSearchandDisplay::FinishTree()
{
    const std::vector<SearchTreeNode> nodes = m_search.FindFillTree();
    for (int i = 0; i < m_results->topLevelItemCount() && i < static_cast<int>(nodes.size()); ++i) {
        QTreeWidgetItem* item = m_results->topLevelItem(i);
        item->setText(ColTitle, Q(nodes[static_cast<std::size_t>(i)].Caption));
        if (nodes[static_cast<std::size_t>(i)].HasChildren)
            item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    QString count = Q(CountText(m_results->topLevelItemCount(), "Rezepte"));
    if (m_search.Cancelled())
        count += " (abgebrochen)";
    m_count->setText(count);
}

void FrmSearchandDisplay::ItemExpanded(QTreeWidgetItem* item)
{
    if (item->data(ColTitle, kLoadedRole).toBool())
        return;
    item->setData(ColTitle, kLoadedRole, true);
    const long id = static_cast<long>(item->data(ColTitle, kIdRole).toLongLong());
    for (const SearchHit& child : m_search.FindChildren(id)) {
        QTreeWidgetItem* childItem = MakeItem(child);
        if (m_search.FindFirstChild(child.id) != 0) {
            childItem->setText(ColTitle, Q(child.Title + " [*]"));
            childItem->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        }
        item->addChild(childItem);
    }
    if (item->childCount() == 0)
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void FrmSearchandDisplay::CurrentChanged()
{
    QTreeWidgetItem* item = m_results->currentItem();
    if (!item)
        return;
    ShowRecipe(static_cast<long>(item->data(ColTitle, kIdRole).toLongLong()));
}

void FrmSearchandDisplay::ShowRecipe(long id)
{
    m_shownID = id;
    ClRecipe recipe;
    if (!recipe.LoadByID(id, 0, true)) {
        m_display->setHtml("<p><i>Das Rezept kann nicht gelesen werden.</i></p>");
        m_picture->setVisible(false);
        return;
    }
    QString html = "<h2 style=\"margin-bottom:2px\">" + Html(recipe.Title()) + "</h2>";
    if (!recipe.TitleMenuCard().empty() && recipe.TitleMenuCard() != recipe.Title())
        html += "<p style=\"margin-top:0\"><i>" + Html(recipe.TitleMenuCard()) + "</i></p>";
    QString head;
    auto field = [&](const char* label, const std::string& value) {
        if (!value.empty())
            head += "<tr><td style=\"padding-right:10px;color:#555\">" + QString::fromUtf8(label) +
                    "</td><td>" + Html(value) + "</td></tr>";
    };
    if (recipe.Yield() != 0)
        field("Menge:", std::to_string(recipe.Yield()) + " " + recipe.YieldUnitText());
    std::string cats;
    for (int i = 1; i <= recipe.CatCount(); ++i)
        cats += (cats.empty() ? "" : ", ") + recipe.CatName(i);
    field("Kategorien:", cats);
    field("Herkunft:", recipe.OriginName());
    std::string source = recipe.SourcebookTitle();
    if (!source.empty() && recipe.SourcePage() > 0)
        source += ", Seite " + std::to_string(recipe.SourcePage());
    field("Quelle:", source.empty() ? recipe.SourceText() : source);
    field("Vorbereitung:", DurationText(recipe.PreparationTime().Days));
    field("Kochzeit:", DurationText(recipe.CookingTime().Days));
    if (!head.isEmpty())
        html += "<table cellspacing=\"0\">" + head + "</table>";
    if (recipe.IngredCount() > 0) {
        html += "<h3>Zutaten</h3><table cellspacing=\"0\" cellpadding=\"1\">";
        for (int i = 1; i <= recipe.IngredCount(); ++i) {
            ClIngredient& line = recipe.Ingredient(i);
            if (line.IsTrenner()) {
                html += "<tr><td colspan=\"3\"><b>" + Html(line.Trennzeile()) + "</b></td></tr>";
                continue;
            }
            std::string text = line.ZutatVerarbeitung();
            if (!line.Zubereitung().empty())
                text += " – " + line.Zubereitung();
            QString shown = Html(text);
            if (!line.IsRecipe() && !line.BLSid().empty() && line.BLSid() != "0")
                shown = "<a href=\"food:" + Html(line.BLSid()) + "\" title=\"Lebensmittel-Information\">" +
                        shown + "</a>";
            html += "<tr><td align=\"right\" style=\"padding-right:6px\">" + Html(line.ReadableMengeTxt()) +
                    "</td><td style=\"padding-right:8px\">" + Html(line.DisplayUnitText()) + "</td><td>" +
                    shown + "</td></tr>";
        }
        html += "</table>";
    }
    if (!recipe.Zubereitung().empty())
        html += "<h3>Zubereitung</h3><p>" + Html(recipe.Zubereitung()) + "</p>";
    if (!recipe.Notizen().empty())
        html += "<h3>Notizen</h3><p>" + Html(recipe.Notizen()) + "</p>";
    if (!recipe.WineDegustation().empty())
        html += "<p><b>Weinempfehlung:</b> " + Html(recipe.WineDegustation()) + "</p>";
    m_display->setHtml(html);

    m_picture->setVisible(false);
    if (recipe.PictureCount() > 0) {
        if (std::optional<Blob> bytes = PictureData(recipe.Picture(1))) {
            QImage image;
            if (image.loadFromData(bytes->data(), static_cast<int>(bytes->size()))) {
                // Large pictures shrink to the pane; small ones keep their size.
                if (image.width() > 280 || image.height() > 180)
                    image = image.scaled(280, 180, Qt::KeepAspectRatio, Qt::SmoothTransformation);
                m_picture->setPixmap(QPixmap::fromImage(image));
                m_picture->setVisible(true);
            }
        }
    }
}

std::vector<long> FrmSearchandDisplay::SelectedIDs() const
{
    std::vector<long> ids;
    for (QTreeWidgetItem* item : m_results->selectedItems())
        ids.push_back(static_cast<long>(item->data(ColTitle, kIdRole).toLongLong()));
    if (ids.empty() && m_results->currentItem())
        ids.push_back(static_cast<long>(m_results->currentItem()->data(ColTitle, kIdRole).toLongLong()));
    return ids;
}

void FrmSearchandDisplay::OpenSelected()
{
    const std::vector<long> ids = SelectedIDs();
    if (ids.empty())
        return;
    const long id = ids.front();
    if (m_trashList) {
        RecipeActions actions;
        if (!actions.RestoreFromTrash({id}))
            return;
        StartMode();
    }
    const bool fromTemplate = m_mode == Mode::Templates;
    if (m_openRecipe) {
        m_openRecipe(id, fromTemplate);
        return;
    }
    ShowBeside(
        new FrmMenuData(id, fromTemplate ? FrmMenuData::Start::FromTemplate : FrmMenuData::Start::Edit));
}

void FrmSearchandDisplay::ShowBeside(QWidget* window)
{
    ::pf::ShowBeside(this, window);
}

std::optional<std::string> FrmSearchandDisplay::Ask(const std::string& prompt, const std::string& caption,
                                                    const std::string& text)
{
    if (m_askText)
        return m_askText(prompt, caption, text);
    bool ok = false;
    const QString answer =
        QInputDialog::getText(this, Q(caption), Q(prompt), QLineEdit::Normal, Q(text), &ok);
    if (!ok)
        return std::nullopt;
    return S(answer);
}

std::optional<long> FrmSearchandDisplay::ChooseFromList(const std::string& prompt, const ChoiceList& rows)
{
    std::vector<std::string> names;
    for (const Choice& row : rows)
        names.push_back(row.Name);
    const std::optional<int> index = UI().ChooseItem(prompt, names, AppContext::Current().AppTitle);
    if (!index || *index < 0 || *index >= static_cast<int>(rows.size()))
        return std::nullopt;
    return rows[static_cast<std::size_t>(*index)].ID;
}

void FrmSearchandDisplay::AddIngredient()
{
    const std::optional<std::string> text = Ask("Zutat eingeben, z.B. Rosenkohl", "Zutat", "");
    if (!text || QString::fromStdString(*text).trimmed().isEmpty())
        return;
    auto* item = new QListWidgetItem(Q(*text).trimmed(), m_ingredients);
    item->setData(kIdRole, QVariant::fromValue<qlonglong>(0));
}

void FrmSearchandDisplay::AddFood()
{
    const std::optional<std::string> text = Ask("Zutat eingeben, z.B. Rosenkohl", "Lebensmittel", "");
    if (!text || QString::fromStdString(*text).trimmed().isEmpty())
        return;
    IngredientLookupOptions options;
    options.FoodsOnly = true;
    options.NoComposites = false;
    options.LanguageSuffix = AppContext::Current().LanguageCode == "E" ? "E" : "D";
    const std::vector<IngredientHit> hits = FindFoodsForIngredient(WorkDb(), *text, options, UI());
    if (hits.empty())
        return;
    std::vector<std::string> names;
    for (const IngredientHit& hit : hits)
        names.push_back(hit.Text);
    const std::optional<int> chosen =
        UI().ChooseItem("Lebensmittel für \"" + *text + "\"", names, "Lebensmittel");
    if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(hits.size()))
        return;
    const IngredientHit& hit = hits[static_cast<std::size_t>(*chosen)];
    auto* item = new QListWidgetItem(Q(hit.Name), m_ingredients);
    item->setData(kIdRole, QVariant::fromValue<qlonglong>(hit.Id));
    item->setToolTip("Lebensmittel");
}

void FrmSearchandDisplay::RemoveIngredient()
{
    delete m_ingredients->currentItem();
}

void FrmSearchandDisplay::cmdTemplateSave_Click()
{
    const std::optional<std::string> name = Ask("Name des Suchlaufs:", "Suchlauf speichern", "");
    if (!name || QString::fromStdString(*name).trimmed().isEmpty()) {
        UI().Inform("Nicht gespeichert ...", MsgIcon::Information, "Suchlauf speichern");
        return;
    }
    const std::string trimmed = S(Q(*name).trimmed());
    SearchTemplates templates;
    long id = templates.FindByName(trimmed);
    if (id >= 0 &&
        UI().Ask(
            "Ein Suchlauf unter diesem Namen existiert bereits. Soll dieser vorhandene Suchlauf durch die "
            "neuen Angaben ersetzt werden ?",
            Buttons::YesNo, Answer::No, MsgIcon::Question, "Suchlauf speichern") != Answer::Yes) {
        UI().Inform("Nicht gespeichert ...", MsgIcon::Information, "Suchlauf speichern");
        return;
    }
    if (templates.SaveSearchTemplateData(id, trimmed, AppContext::Current().WinUser, SearchData()) < 0)
        UI().Inform(templates.LastErrorText(), MsgIcon::Critical, "Suchlauf speichern");
    FillTemplates();
}

void FrmSearchandDisplay::cmdTemplateDelete_Click()
{
    QListWidgetItem* item = m_templates->currentItem();
    if (!item)
        return;
    if (UI().Ask("Soll der Suchlauf \"" + S(item->text()) + "\" gelöscht werden ?", Buttons::YesNo,
                 Answer::No, MsgIcon::Question, "Suchlauf löschen") != Answer::Yes)
        return;
    SearchTemplates templates;
    templates.DelSearchTemplatedata(static_cast<long>(item->data(kIdRole).toLongLong()));
    FillTemplates();
}

void FrmSearchandDisplay::cmdTemplateDefault_Click()
{
    QListWidgetItem* item = m_templates->currentItem();
    if (!item)
        return;
    const long id = static_cast<long>(item->data(kIdRole).toLongLong());
    SearchTemplates templates;
    // The default itself: it stops being the default.
    templates.SetSearchTemplateDefault(id == 0 ? -1 : id);
    FillTemplates();
}

void FrmSearchandDisplay::cmdTemplateLoad_Click()
{
    QListWidgetItem* item = m_templates->currentItem();
    if (!item)
        return;
    SearchTemplates templates;
    ApplySearchData(templates.GetSearchTemplateData(static_cast<long>(item->data(kIdRole).toLongLong())));
}

QMenu* FrmSearchandDisplay::MakeContextMenu()
{
    auto* menu = new QMenu(this);
    menu->setObjectName("HideRecipeAction");
    const std::vector<long> ids = SelectedIDs();
    long parent = 0;
    if (QTreeWidgetItem* item = m_results->currentItem())
        parent = static_cast<long>(item->data(ColTitle, kParentRole).toLongLong());
    std::map<std::string, QMenu*> submenus;
    for (const RecipeMenuEntry& entry : RecipeActions::MenuEntries(ids.size(), parent, m_trashList)) {
        QMenu* target = menu;
        if (!entry.Submenu.empty()) {
            QMenu*& submenu = submenus[entry.Submenu];
            if (!submenu) {
                if (entry.Separator)
                    menu->addSeparator();
                submenu = menu->addMenu(Q(entry.Submenu));
            }
            target = submenu;
        } else if (entry.Separator) {
            menu->addSeparator();
        }
        QAction* action = target->addAction(Q(entry.Caption));
        action->setObjectName(Q(entry.Command));
        action->setEnabled(entry.Enabled && Mainform::CommandAllowed(entry.Command));
        const std::string command = entry.Command;
        connect(action, &QAction::triggered, this,
                [this, command] { RunTrapped([this, command] { RunCommand(command); }); });
    }
    return menu;
}

void FrmSearchandDisplay::RunCommand(const std::string& command)
{
    // The Delete key reaches the delete command without the menu.
    if (!Mainform::CommandAllowed(command))
        return;
    const std::vector<long> ids = SelectedIDs();
    RecipeActions actions;
    std::optional<bool> refresh = RunChangeCommand(command, ids, actions);
    if (!refresh)
        refresh = RunWindowCommand(command, ids);
    if (!refresh)
        refresh = RunListCommand(command, ids, actions);
    if (!actions.LastErrorText().empty())
        UI().Inform(actions.LastErrorText(), MsgIcon::Critical, AppContext::Current().AppTitle);
    if (refresh.value_or(true))
        ReadListAgain();
}

std::optional<long> FrmSearchandDisplay::ChooseBook()
{
    clBook book;
    std::vector<std::string> names;
    const std::vector<clBook::ListItem> items = book.GetBooklist2List(false);
    for (const clBook::ListItem& item : items)
        names.push_back(item.Text);
    const std::optional<int> index = UI().ChooseItem("Kochbuch wählen:", names, "Kochbuch");
    if (!index || *index < 0 || *index >= static_cast<int>(items.size()))
        return std::nullopt;
    return items[static_cast<std::size_t>(*index)].id;
}

std::optional<long> FrmSearchandDisplay::ChooseCategory()
{
    const std::optional<std::vector<long>> chosen = FrmCatSelect::ChooseCategories(this, {});
    if (!chosen || chosen->empty())
        return std::nullopt;
    return chosen->front();
}

// The commands that change the selected recipes; nullopt when the command is none of them.
std::optional<bool> FrmSearchandDisplay::RunChangeCommand(const std::string& command,
                                                          const std::vector<long>& ids,
                                                          RecipeActions& actions)
{
    if (command == "HideRecipeActionBookAdd" || command == "HideRecipeActionBookDel") {
        if (const auto book = ChooseBook())
            command == "HideRecipeActionBookAdd" ? actions.BookAdd(ids, *book) : actions.BookDel(ids, *book);
        return true;
    }
    if (command == "HideRecipeActionCatAdd" || command == "HideRecipeActionCatDel") {
        if (const auto cat = ChooseCategory())
            command == "HideRecipeActionCatAdd" ? actions.CatAdd(ids, *cat) : actions.CatDel(ids, *cat);
        return true;
    }
    if (command == "HideRecipeActionToolAdd" || command == "HideRecipeActionToolDel") {
        if (const auto tool = ChooseFromList("Gerät wählen:", Rows(UtensilChoices)))
            command == "HideRecipeActionToolAdd" ? actions.ToolAdd(ids, *tool) : actions.ToolDel(ids, *tool);
        return true;
    }
    if (command == "HideRecipeActionCountry") {
        if (const std::optional<long> origin = FrmCatSelect::ChooseOrigin(this, 0))
            actions.SetOrigin(ids, *origin);
        return true;
    }
    if (command == "HideRecipeActionLanguage") {
        std::vector<std::string> names;
        for (long code = 0; code < kLanguageCount; ++code)
            names.push_back(LanguageName(code));
        if (const std::optional<int> index = UI().ChooseItem("Sprache wählen:", names, "Sprache"))
            actions.SetLanguage(ids, *index);
        return true;
    }
    if (command == "HideRecipeActionSource") {
        if (const auto source = ChooseFromList("Literaturquelle wählen:", Rows(LiteratureChoices)))
            actions.SetSource(ids, *source);
        return true;
    }
    if (command == "HideRecipeActionFingerprint") {
        actions.NewFingerprints(ids);
        return true;
    }
    if (command == "HideRecipeActionTest") {
        actions.TestRecipes(ids);
        return true;
    }
    return std::nullopt;
}

// The commands that open another window or run a tool; nullopt when the command is none of them.
std::optional<bool> FrmSearchandDisplay::RunWindowCommand(const std::string& command,
                                                          const std::vector<long>& ids)
{
    if (command == "HideRezOpen") {
        OpenSelected();
        return false;
    }
    if (command == "HideRecipeActionExport") {
        if (!ids.empty())
            ShowBeside(new FrmExport(ids));
        return false;
    }
    if (command == "HideRecipeActionBLS") {
        if (!ids.empty())
            FrmBLSAbgleich::ShowForRecipes(ids, this);
        return true;
    }
    if (command == "HideRecipeActionPrint") {
        if (!ids.empty())
            ShowBeside(new FrmPrint(ids));
        return false;
    }
    if (command == "HideRecipeActionShoplist") {
        if (!ids.empty()) {
            FrmEinkaufsliste* window = FrmEinkaufsliste::Open(this);
            for (long id : ids)
                window->AddRecipe(id);
        }
        return false;
    }
    if (command == "HideRecipeActionNaehrwert") {
        if (!ids.empty())
            FrmUnitAbgleich::ShowForRecipe(ids.front(), this);
        return false;
    }
    if (command == "HideRecipeActionMenu") {
        if (!ids.empty())
            FrmMenuDetail::AddToChosenMenu(ids, this);
        return false;
    }
    if (command == "HideRecipeActionTool") {
        const ToolRunOutcome outcome = ChooseAndRunTool(ids, false, this);
        return outcome.Ran;
    }
    if (command == "HideRecipeActionImpPicture" && !ids.empty()) {
        ImportPicture(ids.front());
        return true;
    }
    if (command == "HideRecipeActionExpPicture" && !ids.empty()) {
        ExportPicture(ids.front());
        return false;
    }
    return std::nullopt;
}

// Deleting, family relations and marks; nullopt when the command is none of them.
std::optional<bool> FrmSearchandDisplay::RunListCommand(const std::string& command,
                                                        const std::vector<long>& ids, RecipeActions& actions)
{
    if (command == "HideRecipeActionDel") {
        actions.DeleteWithCheck(ids);
        return true;
    }
    if (command == "HideParentRecipeShowParent" && !ids.empty()) {
        if (const long parent = actions.ShowParent(ids.front()); parent != 0) {
            RunSearchData("6,8,\"" + std::to_string(parent) + "\"", -1);
            m_caption->setText("Elternrezept");
        }
        return false;
    }
    if (command == "HideParentRecipeShowChild" && !ids.empty()) {
        const std::vector<SearchHit> children = m_search.FindChildren(ids.front());
        std::vector<long> childIds;
        for (const SearchHit& child : children)
            childIds.push_back(child.id);
        const std::string title = m_results->currentItem() ? S(m_results->currentItem()->text(ColTitle)) : "";
        m_results->clear();
        m_search.FindIDList(childIds, m_sort->currentIndex());
        AddHits(m_search.Hits());
        FinishTree();
        m_caption->setText(Q("Kinder von \"" + title + "\""));
        return false;
    }
    if (command == "HideParentRecipeCreateRelationship" && !ids.empty()) {
        if (const std::optional<std::string> text =
                Ask("Nummer des Elternrezeptes:", "Eltern/Kind-Beziehung erzeugen", ""))
            actions.CreateRelationship(ids.front(), std::atol(text->c_str()));
        return true;
    }
    if (command == "HideParentRecipeDeleteRelationship" && !ids.empty()) {
        actions.DeleteRelationship(ids.front());
        return true;
    }
    if (command == "HideRezMark") {
        RecipeActions::Mark(ids);
        return false;
    }
    if (command == "HideRezMarkAll") {
        std::vector<long> all;
        for (const SearchHit& hit : m_search.Hits())
            all.push_back(hit.id);
        RecipeActions::Mark(all);
        return false;
    }
    if (command == "HideRezUnmark") {
        RecipeActions::Unmark(ids);
        return false;
    }
    if (command == "HideRezMarkdel") {
        RecipeActions::MarkDel();
        return false;
    }
    return std::nullopt;
}

void FrmSearchandDisplay::ReadListAgain()
{
    const std::vector<long> current = SelectedIDs();
    // Reading the list again after a change says nothing when it is empty now.
    if (m_mode == Mode::Search && m_special->currentIndex() == 0 && !m_trashList)
        RunSearch(false);
    else
        StartMode();
    for (int i = 0; i < m_results->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_results->topLevelItem(i);
        const long id = static_cast<long>(item->data(ColTitle, kIdRole).toLongLong());
        if (std::find(current.begin(), current.end(), id) == current.end())
            continue;
        if (id == current.front())
            m_results->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
        item->setSelected(true);
    }
}

void FrmSearchandDisplay::ImportPicture(long id)
{
    const std::string caption = "Bild importieren";
    FileRequest request;
    request.Caption = caption;
    request.Filter = AppContext::Current().PictureFilter;
    request.Purpose = "Picture";
    const std::vector<std::string> files = UI().ChooseFiles(request);
    if (files.empty())
        return;
    const std::optional<Blob> picture = LoadShownPicture(files.front(), caption);
    if (!picture)
        return;
    ClRecipe recipe;
    if (!recipe.LoadByID(id) || !recipe.PictureAdd(*picture) || !recipe.Save())
        UI().Inform("Das Bild konnte nicht gespeichert werden: " + recipe.LastErrorText(), MsgIcon::Critical,
                    caption);
}

void FrmSearchandDisplay::ExportPicture(long id)
{
    const std::string caption = "Bild exportieren";
    ClRecipe recipe;
    std::optional<Blob> picture;
    if (recipe.LoadByID(id) && recipe.PictureCount() > 0)
        picture = PictureData(recipe.Picture(1));
    if (!picture) {
        UI().Inform("Dieses Rezept hat kein Bild.", MsgIcon::Information, caption);
        return;
    }
    const QImage image = QImage::fromData(picture->data(), static_cast<int>(picture->size()));
    FileRequest request;
    request.Caption = caption;
    request.Filter = "JPEG|*.jpg|PNG|*.png";
    std::string name = recipe.Title();
    std::replace(name.begin(), name.end(), '/', '-');
    request.InitialPath = name + ".jpg";
    request.Purpose = "Picture";
    request.Save = true;
    const std::vector<std::string> files = UI().ChooseFiles(request);
    if (files.empty())
        return;
    if (image.isNull() || !image.save(Q(files.front())))
        UI().Inform("Das Bild konnte nicht nach „" + files.front() + "“ geschrieben werden.",
                    MsgIcon::Critical, caption);
}

bool FrmSearchandDisplay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_results->viewport() && event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (QTreeWidgetItem* item = m_results->itemAt(help->pos())) {
            ClRecipe recipe;
            const std::string tip =
                recipe.RecipeCellTip(static_cast<long>(item->data(ColTitle, kIdRole).toLongLong()));
            QToolTip::showText(help->globalPos(), Q(tip), m_results->viewport());
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    if (watched == m_results && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            RunTrapped([this] { OpenSelected(); });
            return true;
        }
        if (key->key() == Qt::Key_Delete) {
            RunTrapped([this] { RunCommand("HideRecipeActionDel"); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace pf
