#include "ui/FrmMenuData.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Language.h"
#include "core/Trim.h"
#include "core/UserRights.h"
#include "db/Database.h"
#include "db/DatabaseChoice.h"
#include "model/ChoiceLists.h"
#include "model/ClCategory.h"
#include "model/ClUnit.h"
#include "model/ProgramUnits.h"
#include "model/RecipeSaveChecks.h"
#include "model/clBlob.h"
#include "model/clBook.h"
#include "model/clsRecipeUnit.h"
#include "nutrition/IngredientLookup.h"
#include "nutrition/Nutrition.h"
#include "ui/ErrorTrap.h"
#include "ui/FrmCatSelect.h"
#include "ui/FrmNaehrSuche.h"
#include "ui/FrmNaehrdataInfo.h"
#include "ui/FrmSkalierungAnzahl.h"
#include "ui/FrmUnitAbgleich.h"
#include "ui/TextMenu.h"
#include "ui/UiSupport.h"
#include "ui/frmOptions1.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace pf {

namespace {

constexpr const char* kSaveCaption = "Speichern eines Rezeptes";
constexpr int kIdRole = Qt::UserRole;

long IdOf(const QVariant& data)
{
    return static_cast<long>(data.toLongLong());
}

QVariant IdData(long id)
{
    return QVariant::fromValue<qlonglong>(id);
}

QLabel* BuddyLabel(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

char DecimalSeparator()
{
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? ',' : point.front().toLatin1();
}

long EditFlags()
{
    return AppContext::Current().Options.EditFlags;
}

// A duration held as a time of day: minutes since midnight.
QTime TimeOf(DateSerial value)
{
    const double fraction = value.Days - std::floor(value.Days);
    const int minutes = static_cast<int>(std::lround(fraction * 1440.0)) % 1440;
    return QTime(minutes / 60, minutes % 60);
}

DateSerial SerialOf(const QTime& time)
{
    return DateSerial{(time.hour() * 60 + time.minute()) / 1440.0};
}

// The unit column's text: the long name and the short one in the measure system the quantity is
// shown in, as the unit list writes them ("Gramm [g]"; "pound [lb]" with British display).
QString UnitCellText(const ClIngredient& line)
{
    if (line.EinheitID() == 0)
        return {};
    const std::string name = line.EinheitTxt();
    const std::string shortName = line.DisplayUnitText();
    if (line.EinheitPtr() <= 0 || shortName.empty() || shortName == name)
        return Q(name);
    return Q(name + " [" + shortName + "]");
}

bool IsEmptyLine(const ClIngredient& line)
{
    return line.Kind() == IngredientKind::Ingredient && line.OrgMeasurement() == Decimal4() &&
           line.EinheitID() == 0 && line.Ingredient().empty() && line.Verarbeitung().empty() &&
           line.Zubereitung().empty();
}

// The unit column edits through a list of the program's units; "no unit" comes first.
class UnitDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        auto* combo = new QComboBox(parent);
        combo->setObjectName("cboUnitEditor");
        combo->addItem(QString(), IdData(0));
        int selected = -1;
        for (const UnitListItem& item : ProgramUnits().FillUnitNameD(0, true, selected))
            combo->addItem(Q(item.Text), IdData(item.ItemData));
        return combo;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* combo = static_cast<QComboBox*>(editor);
        const int pos = combo->findData(IdData(IdOf(index.data(kIdRole))));
        combo->setCurrentIndex(pos < 0 ? 0 : pos);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        auto* combo = static_cast<QComboBox*>(editor);
        model->setData(index, combo->currentData(), kIdRole);
        model->setData(index, combo->currentText(), Qt::DisplayRole);
    }
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Construction

FrmMenuData::FrmMenuData(long recipeId, QWidget* parent) : FrmMenuData(recipeId, Start::Edit, parent) {}

FrmMenuData::FrmMenuData(long recipeId, Start start, QWidget* parent) : QWidget(parent)
{
    setObjectName("FrmMenuData");
    CloseOnEscape(this);
    m_chooseCategories = [](QWidget* owner, std::vector<long> current) {
        return FrmCatSelect::ChooseCategories(owner, std::move(current));
    };
    m_chooseOrigin = [](QWidget* owner, long current) { return FrmCatSelect::ChooseOrigin(owner, current); };

    if (recipeId != 0 && !m_recipe.LoadByID(recipeId, 2)) {
        UI().Inform("Das Rezept " + std::to_string(recipeId) +
                        " konnte nicht geladen werden. Es wird ein neues Rezept angelegt.",
                    MsgIcon::Warning, AppContext::Current().AppCaption);
        m_recipe.LoadByID(0);
    }
    if (m_recipe.id() != 0 && start == Start::ChildCopy)
        m_childOf = m_recipe.id();
    if (m_recipe.id() != 0 && start == Start::FromTemplate) {
        m_recipe.Clone();
        m_recipe.SetIsTemplate(false);
    } else if (m_recipe.id() == 0 && recipeId == 0) {
        // A new recipe is German and belongs to the active cookbook.
        m_recipe.SetLanguageID(1);
        if (AppContext::Current().ActiveBookId > 0)
            m_recipe.BookAdd(AppContext::Current().ActiveBookId);
    }
    m_recipe.LoadAll();

    Build();
    FillLists();
    ShowRecipe();
    Connect();
    // A changed display option (measure system, fractions) shows the lines again in the new form.
    connect(&OptionsNotifier::Instance(), &OptionsNotifier::optionsChanged, this, [this] { ShowLines(); });
    resize(900, 640);
}

FrmMenuData::~FrmMenuData()
{
    // The fields lose the focus while they are destroyed and then report a finished edit; by that
    // time this window is gone, so they must not reach it any more.
    for (QWidget* field : findChildren<QWidget*>())
        field->disconnect(this);
}

void FrmMenuData::Build()
{
    auto* layout = new QVBoxLayout(this);
    auto* titleRow = new QHBoxLayout;
    m_title = new QLineEdit(this);
    m_title->setObjectName("txtTitle");
    auto* titleLabel = BuddyLabel("&Titel:", m_title, this);
    QFont bold = titleLabel->font();
    bold.setBold(true);
    titleLabel->setFont(bold);
    titleRow->addWidget(titleLabel);
    titleRow->addWidget(m_title, 1);
    layout->addLayout(titleRow);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName("tabRecipe");
    m_tabs->addTab(ScrollsDown(BuildHeadTab()), "K&opfdaten");
    m_tabs->addTab(BuildIngredientTab(), "&Zutaten");
    m_tabs->addTab(BuildTextTab(), "Zubereit&ung");
    m_tabs->addTab(BuildPictureTab(), "&Bilder");
    layout->addWidget(m_tabs, 1);

    auto* statusRow = new QHBoxLayout;
    auto* status = MakeButton("cmdStatus", "Status &prüfen", this);
    m_status = new QLabel(this);
    m_status->setObjectName("lblStatus");
    m_status->setWordWrap(true);
    statusRow->addWidget(status);
    statusRow->addWidget(m_status, 1);
    layout->addLayout(statusRow);

    auto* buttons = new QHBoxLayout;
    auto* scale = MakeButton("cmdScale", "Ska&lieren …", this);
    auto* nutrients = MakeButton("cmdNutrients", "N&ährwerte …", this);
    nutrients->setToolTip("Berechnet die Nährwerte pro Portion aus dem gespeicherten Rezept");
    auto* save = MakeButton("cmdSave", "&Speichern", this);
    auto* saveTemplate = MakeButton("cmdSaveTemplate", "Als &Vorlage speichern", this);
    m_saveChild = MakeButton("cmdSaveChild", "Als &Kind speichern", this);
    // Escape cancels; Alt+A belongs to the main window's "Daten" menu.
    auto* cancel = MakeButton("cmdCancel", "Abbrechen", this);
    buttons->addWidget(scale);
    buttons->addWidget(nutrients);
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(saveTemplate);
    buttons->addWidget(m_saveChild);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(status, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdStatus_Click(); }); });
    connect(scale, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdScale_Click(); }); });
    connect(nutrients, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdNutrients_Click(); }); });
    connect(save, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdSave_Click(); }); });
    auto* saveKey = new QShortcut(QKeySequence::Save, this);
    saveKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(saveKey, &QShortcut::activated, save, &QPushButton::click);
    save->setToolTip("Speichern (" + saveKey->key().toString(QKeySequence::NativeText) + ")");
    connect(saveTemplate, &QPushButton::clicked, this,
            [this] { RunTrapped([this] { cmdSaveTemplate_Click(); }); });
    connect(m_saveChild, &QPushButton::clicked, this,
            [this] { RunTrapped([this] { cmdSaveChild_Click(); }); });
    connect(cancel, &QPushButton::clicked, this, [this] { CloseWindow(this); });
}

QWidget* FrmMenuData::BuildHeadTab()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);

    // Left: the recipe's own data, its source, keeping times and durations.
    auto* recipeBox = BuildRecipeBox(page);
    auto* sourceBox = BuildSourceBox(page);
    auto* keepBox = BuildKeepBox(page);

    // Right: categories, cookbooks and utensils.
    auto* catBox = BuildCategoryBox(page);
    auto* bookBox = new QGroupBox("Kochbücher", page);
    auto* bookLayout = new QVBoxLayout(bookBox);
    m_books = new QListWidget(bookBox);
    m_books->setObjectName("lstBooks");
    bookLayout->addWidget(m_books);

    m_toolBox = new QGroupBox("Utensilien", page);
    auto* toolLayout = new QVBoxLayout(m_toolBox);
    m_tools = new QListWidget(m_toolBox);
    m_tools->setObjectName("lstTools");
    toolLayout->addWidget(m_tools);

    grid->addWidget(recipeBox, 0, 0);
    grid->addWidget(sourceBox, 1, 0);
    grid->addWidget(keepBox, 2, 0);
    grid->addWidget(catBox, 0, 1);
    grid->addWidget(bookBox, 1, 1);
    grid->addWidget(m_toolBox, 2, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setRowStretch(3, 1);
    return page;
}

// The recipe's own data: menu card title, yield, language and origin.
QGroupBox* FrmMenuData::BuildRecipeBox(QWidget* page)
{
    auto* recipeBox = new QGroupBox("Rezept", page);
    auto* form = new QFormLayout(recipeBox);
    m_menuCard = new QLineEdit(recipeBox);
    m_menuCard->setObjectName("txtMenuCard");
    form->addRow(BuddyLabel("Titel auf der &Menükarte:", m_menuCard, recipeBox), m_menuCard);
    auto* yieldRow = new QHBoxLayout;
    m_yield = new QSpinBox(recipeBox);
    m_yield->setObjectName("spnYield");
    m_yield->setRange(0, 9999);
    m_yieldUnit = new QComboBox(recipeBox);
    m_yieldUnit->setObjectName("cboYieldUnit");
    m_yieldUnit->setEditable(true);
    m_yieldUnit->setInsertPolicy(QComboBox::NoInsert);
    yieldRow->addWidget(m_yield);
    yieldRow->addWidget(new QLabel("Einheit:", recipeBox));
    yieldRow->addWidget(m_yieldUnit, 1);
    form->addRow(BuddyLabel("Men&ge:", m_yield, recipeBox), yieldRow);
    m_language = new QComboBox(recipeBox);
    m_language->setObjectName("cboLanguage");
    form->addRow(BuddyLabel("Spra&che:", m_language, recipeBox), m_language);
    auto* originRow = new QHBoxLayout;
    m_origin = new QComboBox(recipeBox);
    m_origin->setObjectName("cboOrigin");
    m_origin->setEditable(true);
    m_origin->setInsertPolicy(QComboBox::NoInsert);
    // A small button beside the field: a push button would take the width of a dialog button.
    auto* chooseOrigin = Named(new QToolButton(recipeBox), "cmdChooseOrigin");
    chooseOrigin->setText("…");
    chooseOrigin->setToolTip("Herkunft aus der Liste der Länder wählen");
    originRow->addWidget(m_origin, 1);
    originRow->addWidget(chooseOrigin);
    form->addRow(BuddyLabel("He&rkunft:", m_origin, recipeBox), originRow);
    connect(chooseOrigin, &QPushButton::clicked, this,
            [this] { RunTrapped([this] { cmdChooseOrigin_Click(); }); });
    return recipeBox;
}

// The source: a book of the literature list with its page, or a free text.
QGroupBox* FrmMenuData::BuildSourceBox(QWidget* page)
{
    auto* sourceBox = new QGroupBox("Quelle", page);
    auto* sourceForm = new QFormLayout(sourceBox);
    m_literature = new QComboBox(sourceBox);
    m_literature->setObjectName("cboLiterature");
    auto* pageRow = new QHBoxLayout;
    m_page = new QSpinBox(sourceBox);
    m_page->setObjectName("spnPage");
    m_page->setRange(0, 99999);
    m_page->setSpecialValueText(" ");
    pageRow->addWidget(m_literature, 1);
    pageRow->addWidget(BuddyLabel("S&eite:", m_page, sourceBox));
    pageRow->addWidget(m_page);
    sourceForm->addRow(BuddyLabel("Literatur:", m_literature, sourceBox), pageRow);
    m_sourceText = new QLineEdit(sourceBox);
    m_sourceText->setObjectName("txtSource");
    m_sourceText->setPlaceholderText("freie Quellenangabe");
    sourceForm->addRow(BuddyLabel("&Quelle:", m_sourceText, sourceBox), m_sourceText);
    return sourceBox;
}

// Keeping times and durations.
QGroupBox* FrmMenuData::BuildKeepBox(QWidget* page)
{
    auto* keepBox = new QGroupBox("Haltbarkeit und Zeiten", page);
    auto* keepGrid = new QGridLayout(keepBox);
    const char* keepNames[3] = {"spnPantry", "spnFridge", "spnFreezer"};
    const char* keepLabels[3] = {"Vorratsschrank (Tage):", "Kühlschrank (Tage):", "Tiefkühler (Monate):"};
    for (int i = 0; i < 3; ++i) {
        m_storage[i] = new QSpinBox(keepBox);
        m_storage[i]->setObjectName(keepNames[i]);
        m_storage[i]->setRange(0, 9999);
        keepGrid->addWidget(BuddyLabel(keepLabels[i], m_storage[i], keepBox), i, 0);
        keepGrid->addWidget(m_storage[i], i, 1);
    }
    m_preparation = new QTimeEdit(keepBox);
    m_preparation->setObjectName("timPreparation");
    m_preparation->setDisplayFormat("HH:mm");
    m_cooking = new QTimeEdit(keepBox);
    m_cooking->setObjectName("timCooking");
    m_cooking->setDisplayFormat("HH:mm");
    keepGrid->addWidget(BuddyLabel("Vorbereitungszeit (h:min):", m_preparation, keepBox), 0, 2);
    keepGrid->addWidget(m_preparation, 0, 3);
    keepGrid->addWidget(BuddyLabel("Kochzeit (h:min):", m_cooking, keepBox), 1, 2);
    keepGrid->addWidget(m_cooking, 1, 3);
    keepGrid->setColumnStretch(4, 1);
    return keepBox;
}

// The categories, the first of them the main one.
QGroupBox* FrmMenuData::BuildCategoryBox(QWidget* page)
{
    auto* catBox = new QGroupBox("Kategorien (die erste ist die Hauptkategorie)", page);
    auto* catLayout = new QHBoxLayout(catBox);
    m_categories = new QListWidget(catBox);
    m_categories->setObjectName("lstCategories");
    auto* catButtons = new QVBoxLayout;
    auto* addCat = MakeButton("cmdAddCategory", "Kategorien &wählen …", catBox);
    auto* delCat = MakeButton("cmdDelCategory", "E&ntfernen", catBox);
    auto* primaryCat = MakeButton("cmdPrimaryCategory", "Als Hauptkategorie", catBox);
    catButtons->addWidget(addCat);
    catButtons->addWidget(delCat);
    catButtons->addWidget(primaryCat);
    catButtons->addStretch(1);
    catLayout->addWidget(m_categories, 1);
    catLayout->addLayout(catButtons);
    connect(addCat, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdAddCategory_Click(); }); });
    connect(delCat, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdDelCategory_Click(); }); });
    connect(primaryCat, &QPushButton::clicked, this,
            [this] { RunTrapped([this] { cmdPrimaryCategory_Click(); }); });
    return catBox;
}

QWidget* FrmMenuData::BuildIngredientTab()
{
    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    m_lines = new QTableWidget(0, ColCount, page);
    m_lines->setObjectName("grdIngredients");
    m_lines->setHorizontalHeaderLabels(
        {"Menge", "Einheit", "Zutat", "Verarbeitung", "Zubereitungshinweis", "Lebensmittel"});
    m_lines->setItemDelegateForColumn(ColEinheit, new UnitDelegate(m_lines));
    m_lines->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lines->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lines->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    m_lines->verticalHeader()->setDefaultSectionSize(m_lines->fontMetrics().height() + 10);
    QHeaderView* header = m_lines->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(true);
    m_lines->setColumnWidth(ColMenge, 70);
    m_lines->setColumnWidth(ColEinheit, 150);
    m_lines->setColumnWidth(ColZutat, 220);
    m_lines->setColumnWidth(ColVerarbeitung, 150);
    m_lines->setColumnWidth(ColZubereitung, 150);
    m_lines->horizontalHeaderItem(ColLebensmittel)
        ->setToolTip(
            "Das Lebensmittel, mit dem die Nährwerte der Zeile berechnet werden (Doppelklick: zuordnen)");
    layout->addWidget(m_lines, 1);

    auto* buttons = new QVBoxLayout;
    auto* insert = MakeButton("cmdInsertLine", "Zeile &einfügen", page);
    insert->setToolTip("Fügt nach der gewählten Zeile eine neue Zeile ein (Strg+Einfg)");
    auto* remove = MakeButton("cmdDeleteLine", "Zeile entfe&rnen", page);
    remove->setToolTip("Entfernt die gewählte Zeile (Strg+Entf)");
    auto* up = MakeButton("cmdLineUp", "Nach oben", page);
    up->setToolTip("Alt+Pfeil nach oben");
    auto* down = MakeButton("cmdLineDown", "Nach unten", page);
    down->setToolTip("Alt+Pfeil nach unten");
    auto* separator = MakeButton("cmdSeparator", "Tre&nnzeile", page);
    separator->setToolTip("Fügt eine Zwischenüberschrift in die Zutatenliste ein");
    auto* reference = MakeButton("cmdRecipeReference", "Rezeptver&weis …", page);
    reference->setToolTip("Fügt ein anderes Rezept als Teilrezept ein");
    auto* food = MakeButton("cmdFindFood", "Lebensmittel …", page);
    food->setToolTip("Sucht das Lebensmittel zur Zutat der gewählten Zeile (F4)");
    for (QPushButton* button : {insert, remove, up, down, separator, reference, food})
        buttons->addWidget(button);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    auto shortcut = [this](const QKeySequence& keys, std::function<void()> action) {
        auto* sc = new QShortcut(keys, m_lines);
        sc->setContext(Qt::WidgetWithChildrenShortcut);
        connect(sc, &QShortcut::activated, this, [action] { RunTrapped(action); });
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Insert), [this] { cmdInsertLine_Click(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete), [this] { cmdDeleteLine_Click(); });
    shortcut(QKeySequence(Qt::ALT | Qt::Key_Up), [this] { cmdMoveLine_Click(-1); });
    shortcut(QKeySequence(Qt::ALT | Qt::Key_Down), [this] { cmdMoveLine_Click(1); });
    shortcut(QKeySequence(Qt::Key_F4), [this] { cmdFindFood_Click(); });
    shortcut(QKeySequence(Qt::SHIFT | Qt::Key_F4), [this] { cmdFoodInfo_Click(); });
    m_lines->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_lines, &QTableWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const int row = m_lines->rowAt(pos.y());
        if (row < 0 || row >= m_recipe.IngredCount() || m_recipe.Ingredient(row + 1).IsTrenner())
            return;
        m_lines->selectRow(row);
        const ClIngredient& line = m_recipe.Ingredient(row + 1);
        QMenu menu(this);
        QAction* assign = menu.addAction("Lebensmittel &zuordnen …\tF4");
        QAction* info = menu.addAction("Lebensmittel-&Information …\tUmschalt+F4");
        info->setEnabled(!line.IsRecipe() && !line.BLSid().empty() && line.BLSid() != "0");
        QAction* chosen = menu.exec(m_lines->viewport()->mapToGlobal(pos));
        if (chosen == assign)
            RunTrapped([this] { cmdFindFood_Click(); });
        else if (chosen == info)
            RunTrapped([this] { cmdFoodInfo_Click(); });
    });

    connect(insert, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdInsertLine_Click(); }); });
    connect(remove, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdDeleteLine_Click(); }); });
    connect(up, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdMoveLine_Click(-1); }); });
    connect(down, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdMoveLine_Click(1); }); });
    connect(separator, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdSeparator_Click(); }); });
    connect(reference, &QPushButton::clicked, this,
            [this] { RunTrapped([this] { cmdRecipeReference_Click(); }); });
    connect(food, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdFindFood_Click(); }); });
    connect(m_lines, &QTableWidget::cellDoubleClicked, this, [this](int, int column) {
        if (column == ColLebensmittel)
            RunTrapped([this] { cmdFindFood_Click(); });
    });
    return page;
}

QWidget* FrmMenuData::BuildTextTab()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    m_instructions = new QPlainTextEdit(page);
    m_instructions->setObjectName("txtInstructions");
    m_instructions->setTabChangesFocus(true);
    layout->addWidget(BuddyLabel("Zubereitung:", m_instructions, page));
    layout->addWidget(m_instructions, 3);
    m_notes = new QPlainTextEdit(page);
    m_notes->setObjectName("txtNotes");
    m_notes->setTabChangesFocus(true);
    layout->addWidget(BuddyLabel("&Notizen:", m_notes, page));
    layout->addWidget(m_notes, 1);
    InstallTextMenu(m_instructions);
    InstallTextMenu(m_notes);
    m_wine = new QLineEdit(page);
    m_wine->setObjectName("txtWine");
    auto* wineRow = new QHBoxLayout;
    wineRow->addWidget(BuddyLabel("&Weinempfehlung:", m_wine, page));
    wineRow->addWidget(m_wine, 1);
    layout->addLayout(wineRow);
    return page;
}

QWidget* FrmMenuData::BuildPictureTab()
{
    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    m_pictures = new QListWidget(page);
    m_pictures->setObjectName("lstPictures");
    m_pictures->setViewMode(QListView::IconMode);
    m_pictures->setIconSize(QSize(160, 120));
    m_pictures->setResizeMode(QListView::Adjust);
    m_pictures->setMovement(QListView::Static);
    m_pictures->setSpacing(8);
    layout->addWidget(m_pictures, 1);
    auto* buttons = new QVBoxLayout;
    auto* add = MakeButton("cmdAddPicture", "Bild hinzufü&gen …", page);
    auto* remove = MakeButton("cmdDelPicture", "Bild e&ntfernen", page);
    auto* show = MakeButton("cmdShowPicture", "Größer anzeig&en", page);
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addWidget(show);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    connect(add, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdAddPicture_Click(); }); });
    connect(remove, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdDelPicture_Click(); }); });
    connect(show, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdShowPicture_Click(); }); });
    connect(m_pictures, &QListWidget::itemDoubleClicked, this,
            [this] { RunTrapped([this] { cmdShowPicture_Click(); }); });
    return page;
}

// Every edit goes into the recipe at once, so that the status check, the scaling and the save see
// what the window shows.
void FrmMenuData::Connect()
{
    auto edit = [this](auto&& apply) {
        return [this, apply](auto&&... args) {
            if (m_filling)
                return;
            apply(args...);
            MarkDirty();
        };
    };
    connect(m_title, &QLineEdit::textEdited, this, edit([this](const QString& text) {
                m_recipe.SetTitle(S(text));
                UpdateCaption();
            }));
    // The stored title drops characters a title may not hold; show what will be stored.
    connect(m_title, &QLineEdit::editingFinished, this, [this] {
        if (m_title->text() != Q(m_recipe.Title()))
            m_title->setText(Q(m_recipe.Title()));
    });
    connect(m_menuCard, &QLineEdit::textEdited, this,
            edit([this](const QString& text) { m_recipe.SetTitleMenuCard(S(text)); }));
    connect(m_menuCard, &QLineEdit::editingFinished, this, [this] {
        if (m_menuCard->text() != Q(m_recipe.TitleMenuCard()))
            m_menuCard->setText(Q(m_recipe.TitleMenuCard()));
    });
    connect(m_yield, &QSpinBox::valueChanged, this, edit([this](int value) { m_recipe.SetYield(value); }));
    connect(m_yieldUnit, &QComboBox::currentTextChanged, this,
            edit([this](const QString& text) { m_recipe.SetYieldUnitText(S(text.trimmed())); }));
    connect(m_language, &QComboBox::currentIndexChanged, this,
            edit([this](int) { m_recipe.SetLanguageID(IdOf(m_language->currentData())); }));
    connect(m_origin, &QComboBox::currentTextChanged, this, edit([](const QString&) {}));
    connect(m_literature, &QComboBox::currentIndexChanged, this,
            edit([this](int) { m_recipe.SourcebookSetID(IdOf(m_literature->currentData())); }));
    connect(m_page, &QSpinBox::valueChanged, this,
            edit([this](int value) { m_recipe.SetSourcePage(value); }));
    connect(m_sourceText, &QLineEdit::textEdited, this,
            edit([this](const QString& text) { m_recipe.SetSourceText(S(text)); }));
    for (int i = 0; i < 3; ++i) {
        connect(m_storage[i], &QSpinBox::valueChanged, this,
                edit([this, i](int value) { m_recipe.SetStorageTime(i + 1, value); }));
    }
    connect(m_preparation, &QTimeEdit::timeChanged, this,
            edit([this](const QTime& time) { m_recipe.SetPreparationTime(SerialOf(time)); }));
    connect(m_cooking, &QTimeEdit::timeChanged, this,
            edit([this](const QTime& time) { m_recipe.SetCookingTime(SerialOf(time)); }));
    connect(m_instructions, &QPlainTextEdit::textChanged, this,
            edit([this] { m_recipe.SetZubereitung(S(m_instructions->toPlainText())); }));
    connect(m_notes, &QPlainTextEdit::textChanged, this,
            edit([this] { m_recipe.SetNotizen(S(m_notes->toPlainText())); }));
    connect(m_wine, &QLineEdit::textEdited, this,
            edit([this](const QString& text) { m_recipe.SetWineDegustation(S(text)); }));
    connect(m_books, &QListWidget::itemChanged, this, edit([this](QListWidgetItem*) { BooksChanged(); }));
    connect(m_tools, &QListWidget::itemChanged, this,
            edit([this](QListWidgetItem* item) { ToolItemChanged(item); }));
    connect(m_lines, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (m_filling)
            return;
        RunTrapped([this, item] { LineItemChanged(item); });
    });
}

// ---------------------------------------------------------------------------------------------
// Lists and display

void FrmMenuData::FillLists()
{
    m_filling = true;
    m_yieldUnit->clear();
    m_yieldUnit->addItem(QString());
    clsRecipeUnit& yieldUnits = ProgramRecipeUnits();
    for (int i = 1; i <= yieldUnits.Count(); ++i) {
        if (!yieldUnits.IsDeleted(i))
            m_yieldUnit->addItem(Q(yieldUnits.UnitNameD(i)), IdData(yieldUnits.id(i)));
    }

    m_language->clear();
    for (long code = 0; code < kLanguageCount; ++code)
        m_language->addItem(Q(LanguageName(code)), IdData(code));

    m_origin->clear();
    m_origin->addItem(QString(), IdData(0));
    ClCategory categories;
    CategoryListFilter countries;
    countries.EditOnly = true;
    countries.Country = true;
    for (const CategoryItem& item : categories.FillListbox(countries)) {
        ClCategory country;
        if (country.LoadByID(item.ID))
            m_origin->addItem(Q(country.Description()), IdData(item.ID));
    }

    m_literature->clear();
    m_literature->addItem(QString(), IdData(0));
    for (const Choice& source : HasWorkDb() ? LiteratureChoices(WorkDb()) : ChoiceList{})
        m_literature->addItem(Q(source.Name), IdData(source.ID));

    m_books->clear();
    clBook books;
    for (const clBook::ListItem& book : books.GetBooklist2List(false)) {
        auto* item = new QListWidgetItem(Q(book.Text), m_books);
        item->setData(kIdRole, IdData(book.id));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }

    m_tools->clear();
    const ChoiceList tools = HasWorkDb() ? UtensilChoices(WorkDb()) : ChoiceList{};
    for (const Choice& tool : tools) {
        auto* item = new QListWidgetItem(Q(tool.Name), m_tools);
        item->setData(kIdRole, IdData(tool.ID));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    m_hasTools = !tools.empty();
    m_toolBox->setVisible(m_hasTools);
    m_filling = false;
}

void FrmMenuData::ShowRecipe()
{
    ShowHead();
    ShowCategories();
    ShowBooks();
    ShowTools();
    ShowLines();
    ShowPictures();
    m_status->clear();
    UpdateCaption();
}

void FrmMenuData::ShowHead()
{
    m_filling = true;
    m_title->setText(Q(m_recipe.Title()));
    m_menuCard->setText(Q(m_recipe.TitleMenuCard()));
    m_yield->setValue(static_cast<int>(m_recipe.Yield()));
    m_yieldUnit->setCurrentText(Q(m_recipe.YieldUnitText()));
    const int language = m_language->findData(IdData(m_recipe.LanguageID()));
    m_language->setCurrentIndex(language < 0 ? 0 : language);

    const long origin = m_recipe.Origin();
    const QString originName = Q(m_recipe.OriginName());
    if (origin != 0 && m_origin->findData(IdData(origin)) < 0)
        m_origin->addItem(originName, IdData(origin));
    m_origin->setCurrentText(originName);

    const long source = m_recipe.Sourcebook();
    int sourceIndex = m_literature->findData(IdData(source));
    if (sourceIndex < 0) {
        m_literature->addItem(Q(m_recipe.SourcebookTitle()), IdData(source));
        sourceIndex = m_literature->count() - 1;
    }
    m_literature->setCurrentIndex(sourceIndex);
    m_page->setValue(static_cast<int>(m_recipe.SourcePage()));
    m_sourceText->setText(Q(m_recipe.SourceText()));
    for (int i = 0; i < 3; ++i)
        m_storage[i]->setValue(static_cast<int>(m_recipe.StorageTime(i + 1)));
    m_preparation->setTime(TimeOf(m_recipe.PreparationTime()));
    m_cooking->setTime(TimeOf(m_recipe.CookingTime()));
    m_instructions->setPlainText(Q(m_recipe.Zubereitung()));
    m_notes->setPlainText(Q(m_recipe.Notizen()));
    m_wine->setText(Q(m_recipe.WineDegustation()));
    // Storing a recipe is the right to change recipes; a new one, the right to enter recipes.
    for (const char* name : {"cmdSave", "cmdSaveTemplate"})
        if (auto* button = findChild<QPushButton*>(name))
            button->setEnabled(MaySave());
    m_saveChild->setEnabled(m_recipe.id() != 0 && UserMayUse(kRightEnter));
    m_filling = false;
}

void FrmMenuData::ShowCategories()
{
    m_categories->clear();
    for (int i = 1; i <= m_recipe.CatCount(); ++i) {
        auto* item = new QListWidgetItem(Q(m_recipe.CatName(i)), m_categories);
        item->setData(kIdRole, IdData(m_recipe.CatID(i)));
        if (i == 1) {
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
            item->setToolTip("Hauptkategorie");
        }
    }
}

void FrmMenuData::ShowBooks()
{
    m_filling = true;
    const std::vector<long>& ids = m_recipe.BookIDs();
    for (int i = 0; i < m_books->count(); ++i) {
        QListWidgetItem* item = m_books->item(i);
        const bool member = std::find(ids.begin(), ids.end(), IdOf(item->data(kIdRole))) != ids.end();
        item->setCheckState(member ? Qt::Checked : Qt::Unchecked);
    }
    m_filling = false;
}

void FrmMenuData::ShowTools()
{
    m_filling = true;
    std::vector<long> ids;
    for (int i = 1; i <= m_recipe.ToolCount(); ++i)
        ids.push_back(m_recipe.ToolID(i));
    for (int i = 0; i < m_tools->count(); ++i) {
        QListWidgetItem* item = m_tools->item(i);
        const bool used = std::find(ids.begin(), ids.end(), IdOf(item->data(kIdRole))) != ids.end();
        item->setCheckState(used ? Qt::Checked : Qt::Unchecked);
    }
    m_filling = false;
}

void FrmMenuData::ShowLines()
{
    const bool filling = m_filling;
    m_filling = true;
    m_lines->clearSpans();
    m_lines->setRowCount(m_recipe.IngredCount());
    for (int row = 0; row < m_lines->rowCount(); ++row)
        ShowLine(row);
    m_filling = filling;
}

void FrmMenuData::ShowLine(int row)
{
    const bool filling = m_filling;
    m_filling = true;
    ClIngredient& line = m_recipe.Ingredient(row + 1);
    auto cell = [this, row](int column, const QString& text) {
        QTableWidgetItem* item = m_lines->item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            m_lines->setItem(row, column, item);
        }
        item->setText(text);
        item->setFont(m_lines->font());
        item->setData(Qt::BackgroundRole, QVariant());
        item->setData(Qt::ForegroundRole, QVariant());
        item->setToolTip(QString());
        return item;
    };
    if (line.IsTrenner()) {
        QTableWidgetItem* item = cell(ColMenge, Q(line.Trennzeile()));
        QFont font = m_lines->font();
        font.setBold(true);
        item->setFont(font);
        item->setBackground(m_lines->palette().alternateBase());
        item->setToolTip("Trennzeile");
        for (int column = ColEinheit; column < ColCount; ++column)
            cell(column, QString());
        m_lines->setSpan(row, 0, 1, ColCount);
    } else {
        if (m_lines->columnSpan(row, 0) > 1)
            m_lines->setSpan(row, 0, 1, 1);
        QTableWidgetItem* quantity =
            cell(ColMenge, Q(FormatQuantity(line.Menge(), EditFlags(), DecimalSeparator())));
        quantity->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QTableWidgetItem* unit = cell(ColEinheit, UnitCellText(line));
        unit->setData(kIdRole, IdData(line.EinheitID()));
        QTableWidgetItem* text = cell(ColZutat, Q(line.Ingredient()));
        if (line.IsRecipe()) {
            QFont font = m_lines->font();
            font.setItalic(true);
            text->setFont(font);
            text->setForeground(m_lines->palette().link());
            text->setToolTip("Verweis auf das Rezept Nr. " + QString::number(line.IsRecipeID()));
        }
        cell(ColVerarbeitung, Q(line.Verarbeitung()));
        cell(ColZubereitung, Q(line.Zubereitung()));
        // The food is chosen through the lookup, never typed.
        QTableWidgetItem* food =
            cell(ColLebensmittel, line.IsRecipe() ? QString() : Q(line.BLSText(WorkDb())));
        food->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        const std::string code = line.IsRecipe() ? std::string() : line.BLSCode(WorkDb());
        if (!code.empty())
            food->setToolTip("BLS-Code " + Q(code));
    }
    m_filling = filling;
}

void FrmMenuData::ShowPictures()
{
    m_pictures->clear();
    for (int i = 1; i <= m_recipe.PictureCount(); ++i) {
        QPixmap pixmap;
        if (const auto bytes = PictureData(m_recipe.Picture(i)))
            pixmap.loadFromData(bytes->data(), static_cast<uint>(bytes->size()));
        auto* item = new QListWidgetItem(QString("Bild %1").arg(i), m_pictures);
        if (!pixmap.isNull())
            item->setIcon(
                QIcon(pixmap.scaled(m_pictures->iconSize(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
        item->setData(kIdRole, i);
    }
}

void FrmMenuData::UpdateCaption()
{
    const QString title = Q(m_recipe.Title());
    QString caption = title.isEmpty() ? QString("Neues Rezept") : "Rezept: " + title;
    if (m_recipe.IsTemplate())
        caption += " (Vorlage)";
    if (m_childOf != 0 && m_recipe.id() == m_childOf)
        caption += " (Kind-Kopie)";
    setWindowTitle(caption);
}

void FrmMenuData::MarkDirty()
{
    m_dirty = true;
}

std::string FrmMenuData::OriginText() const
{
    return S(m_origin->currentText().trimmed());
}

std::string FrmMenuData::YieldUnitText() const
{
    return S(m_yieldUnit->currentText().trimmed());
}

QString FrmMenuData::StatusText()
{
    if (!m_recipe.IsGeneric())
        return "Das Rezept ist kein generisches Rezept. Alle notwendigen Angaben sind vorhanden.";
    return Q("Es fehlt: " + m_recipe.WhyGeneric());
}

// ---------------------------------------------------------------------------------------------
// Head commands

void FrmMenuData::cmdStatus_Click()
{
    const QString text = StatusText();
    m_status->setText(text);
    UI().Inform(S(text), MsgIcon::Information, AppContext::Current().AppCaption);
}

void FrmMenuData::cmdAddCategory_Click()
{
    if (!m_chooseCategories)
        return;
    const std::optional<std::vector<long>> chosen = m_chooseCategories(this, m_recipe.CatIDs());
    if (!chosen || *chosen == m_recipe.CatIDs())
        return;
    m_recipe.SetCatIDs(*chosen);
    MarkDirty();
    ShowCategories();
}

void FrmMenuData::cmdDelCategory_Click()
{
    const int row = m_categories->currentRow();
    if (row < 0)
        return;
    m_recipe.CatDel(row + 1);
    MarkDirty();
    ShowCategories();
    m_categories->setCurrentRow(std::min(row, m_categories->count() - 1));
}

void FrmMenuData::cmdPrimaryCategory_Click()
{
    const int row = m_categories->currentRow();
    if (row < 1)
        return;
    m_recipe.CatSetPrimary(row + 1);
    MarkDirty();
    ShowCategories();
    m_categories->setCurrentRow(0);
}

void FrmMenuData::cmdChooseOrigin_Click()
{
    if (!m_chooseOrigin)
        return;
    ClCategory current;
    const long currentId = current.LoadbyName(OriginText()) ? current.id() : 0;
    const std::optional<long> chosen = m_chooseOrigin(this, currentId);
    if (!chosen)
        return;
    QString name;
    ClCategory country;
    if (*chosen != 0 && country.LoadByID(*chosen)) {
        name = Q(country.Description());
        if (m_origin->findData(IdData(*chosen)) < 0)
            m_origin->addItem(name, IdData(*chosen));
    }
    m_origin->setCurrentText(name);
}

void FrmMenuData::BooksChanged()
{
    std::vector<long> ids;
    for (int i = 0; i < m_books->count(); ++i) {
        if (m_books->item(i)->checkState() == Qt::Checked)
            ids.push_back(IdOf(m_books->item(i)->data(kIdRole)));
    }
    m_recipe.SetBookIDs(ids);
}

void FrmMenuData::ToolItemChanged(QListWidgetItem* item)
{
    const long id = IdOf(item->data(kIdRole));
    if (item->checkState() == Qt::Checked) {
        if (!m_recipe.ToolAdd(id)) {
            UI().Inform("Einem Rezept können höchstens " + std::to_string(ClRecipe::kMaxTools) +
                            " Utensilien zugeordnet werden.",
                        MsgIcon::Information, AppContext::Current().AppCaption);
            ShowTools();
        }
        return;
    }
    for (int i = 1; i <= m_recipe.ToolCount(); ++i) {
        if (m_recipe.ToolID(i) == id) {
            m_recipe.ToolDel(i);
            break;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Ingredient lines

int FrmMenuData::CurrentLine() const
{
    return m_lines->currentRow();
}

void FrmMenuData::SelectLine(int row)
{
    if (row >= 0 && row < m_lines->rowCount())
        m_lines->setCurrentCell(row, m_lines->columnSpan(row, 0) > 1 ? 0 : ColZutat);
}

void FrmMenuData::LineItemChanged(QTableWidgetItem* item)
{
    const int row = item->row();
    if (row < 0 || row >= m_recipe.IngredCount())
        return;
    ClIngredient& line = m_recipe.Ingredient(row + 1);
    const std::string text = S(item->text().trimmed());
    if (line.IsTrenner()) {
        if (item->column() == ColMenge)
            line.SetTrennzeile(text);
    } else {
        switch (item->column()) {
        case ColMenge:
            line.SetMenge(ParseQuantity(text, EditFlags()));
            break;
        case ColEinheit: {
            const long id = IdOf(item->data(kIdRole));
            line.SetEinheitPtr(id == 0 ? 0 : ProgramUnits().GetIndexforID(id));
            break;
        }
        case ColZutat:
            line.SetIngredient(text);
            break;
        case ColVerarbeitung:
            line.SetVerarbeitung(text);
            break;
        case ColZubereitung:
            line.SetZubereitung(text);
            break;
        default:
            break;
        }
    }
    MarkDirty();
    // The quantity is shown as it will be stored; the ingredient may have lent its text after
    // ";" to the processing.
    ShowLine(row);
}

void FrmMenuData::cmdInsertLine_Click()
{
    const int row = CurrentLine() < 0 ? m_lines->rowCount() : CurrentLine() + 1;
    m_recipe.IngredAdd(ClIngredient(), row + 1);
    MarkDirty();
    ShowLines();
    m_lines->setCurrentCell(row, ColMenge);
    m_lines->setFocus();
}

void FrmMenuData::cmdDeleteLine_Click()
{
    const int row = CurrentLine();
    if (row < 0)
        return;
    m_recipe.IngredDel(row + 1);
    MarkDirty();
    ShowLines();
    SelectLine(std::min(row, m_lines->rowCount() - 1));
}

void FrmMenuData::cmdMoveLine_Click(int delta)
{
    const int row = CurrentLine();
    const int target = row + delta;
    if (row < 0 || target < 0 || target >= m_lines->rowCount())
        return;
    const ClIngredient a = m_recipe.Ingredient(row + 1);
    const ClIngredient b = m_recipe.Ingredient(target + 1);
    m_recipe.SetIngredient(row + 1, b);
    m_recipe.SetIngredient(target + 1, a);
    MarkDirty();
    ShowLines();
    SelectLine(target);
}

void FrmMenuData::cmdSeparator_Click()
{
    const int row = CurrentLine() < 0 ? m_lines->rowCount() : CurrentLine() + 1;
    ClIngredient line;
    line.SetTrennzeile("Zwischenüberschrift");
    m_recipe.IngredAdd(line, row + 1);
    MarkDirty();
    ShowLines();
    m_lines->setCurrentCell(row, ColMenge);
    if (isVisible())
        m_lines->editItem(m_lines->item(row, ColMenge));
}

void FrmMenuData::cmdRecipeReference_Click()
{
    std::vector<long> ids;
    std::vector<std::string> titles;
    for (const Choice& recipe : RecipeReferenceChoices(WorkDb(), m_recipe.id())) {
        ids.push_back(recipe.ID);
        titles.push_back(recipe.Name);
    }
    if (titles.empty()) {
        UI().Inform("Es gibt noch kein anderes Rezept, auf das verwiesen werden kann.", MsgIcon::Information,
                    AppContext::Current().AppCaption);
        return;
    }
    const std::optional<int> chosen =
        UI().ChooseItem("Auf welches Rezept soll die Zeile verweisen?", titles, "Rezeptverweis");
    if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(ids.size()))
        return;
    const auto index = static_cast<std::size_t>(*chosen);
    ClIngredient line;
    line.SetIngredient(titles[index]);
    line.SetIsRecipeID(ids[index]);
    const int row = CurrentLine() < 0 ? m_lines->rowCount() : CurrentLine() + 1;
    m_recipe.IngredAdd(line, row + 1);
    MarkDirty();
    ShowLines();
    SelectLine(row);
}

void FrmMenuData::cmdFoodInfo_Click()
{
    const int row = CurrentLine();
    if (row < 0 || row >= m_recipe.IngredCount())
        return;
    const ClIngredient& line = m_recipe.Ingredient(row + 1);
    ShowFoodInfo(line.IsTrenner() || line.IsRecipe() ? std::string() : line.BLSid(), this);
}

void FrmMenuData::cmdFindFood_Click()
{
    const int row = CurrentLine();
    if (row < 0 || row >= m_recipe.IngredCount())
        return;
    ClIngredient& line = m_recipe.Ingredient(row + 1);
    if (line.IsTrenner())
        return;
    const AppContext& app = AppContext::Current();
    IngredientLookupOptions options;
    options.MainOnly = true;
    options.NoComposites = app.Options.EditNoBLSXY;
    options.Book = app.ActiveBookId;
    options.LanguageSuffix = app.LanguageCode == "E" ? "E" : "D";
    const std::vector<IngredientHit> hits =
        FindFoodsForIngredient(WorkDb(), line.Ingredient(), options, UI());
    if (hits.empty())
        return;
    std::vector<std::string> items;
    for (const IngredientHit& hit : hits)
        items.push_back(hit.IsRecipe ? "Rezept: " + hit.Text : hit.Text);
    // The whole food table is one entry further down: the selection dialog, preset with the text.
    items.push_back("< weitere Lebensmittel suchen … >");
    const bool assigned = line.IsRecipe() || (!line.BLSid().empty() && line.BLSid() != "0");
    if (assigned)
        items.push_back("< keine Zuordnung >");
    const std::optional<int> chosen =
        UI().ChooseItem("Lebensmittel für \"" + line.Ingredient() + "\"", items, "Lebensmittel-Zuordnung");
    if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(items.size()))
        return;
    const auto index = static_cast<std::size_t>(*chosen);
    if (index == hits.size()) {
        Nutrition* nutrition = NutritionOf(WorkDb());
        const long food =
            nutrition ? FrmNaehrSuche::Choose(WorkDb(), nutrition->Tables, line.Ingredient(), {}, this) : 0;
        if (food == 0)
            return;
        line.SetIsRecipeID(0);
        line.SetBLSid(std::to_string(food));
    } else if (index == hits.size() + 1) {
        line.SetIsRecipeID(0);
        line.SetBLSid("");
    } else if (hits[index].IsRecipe) {
        line.SetBLSid("");
        line.SetIsRecipeID(hits[index].Id);
    } else {
        line.SetIsRecipeID(0);
        line.SetBLSid(std::to_string(hits[index].Id));
    }
    MarkDirty();
    ShowLine(row);
}

void FrmMenuData::DropEmptyLines()
{
    bool dropped = false;
    for (int i = m_recipe.IngredCount(); i >= 1; --i) {
        if (IsEmptyLine(m_recipe.Ingredient(i))) {
            m_recipe.IngredDel(i);
            dropped = true;
        }
    }
    if (dropped)
        ShowLines();
}

// ---------------------------------------------------------------------------------------------
// Pictures

void FrmMenuData::cmdAddPicture_Click()
{
    FileRequest request;
    request.Caption = "Bild hinzufügen";
    request.Filter = "Bilder|*.jpg;*.jpeg;*.png;*.bmp;*.gif|Alle Dateien|*.*";
    request.Purpose = "Bild";
    request.Multiple = true;
    for (const std::string& file : UI().ChooseFiles(request)) {
        if (m_recipe.PictureCount() >= ClRecipe::kMaxPictures) {
            UI().Inform("Ein Rezept kann höchstens " + std::to_string(ClRecipe::kMaxPictures) +
                            " Bilder haben.",
                        MsgIcon::Information, AppContext::Current().AppCaption);
            break;
        }
        const std::optional<Blob> bytes = LoadShownPicture(file, AppContext::Current().AppCaption);
        if (!bytes)
            continue;
        if (m_recipe.PictureAdd(*bytes))
            MarkDirty();
    }
    ShowPictures();
}

void FrmMenuData::cmdDelPicture_Click()
{
    const QListWidgetItem* item = m_pictures->currentItem();
    if (!item)
        return;
    m_recipe.PictureDel(item->data(kIdRole).toInt());
    MarkDirty();
    ShowPictures();
}

void FrmMenuData::cmdShowPicture_Click()
{
    const QListWidgetItem* item = m_pictures->currentItem();
    if (!item)
        return;
    const std::optional<Blob> bytes = PictureData(m_recipe.Picture(item->data(kIdRole).toInt()));
    QPixmap pixmap;
    if (!bytes || !pixmap.loadFromData(bytes->data(), static_cast<uint>(bytes->size())))
        return;
    QDialog dialog(this);
    dialog.setWindowTitle(windowTitle() + " – " + item->text());
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(&dialog);
    label->setAlignment(Qt::AlignCenter);
    label->setPixmap(pixmap.width() > 1000 || pixmap.height() > 750
                         ? pixmap.scaled(1000, 750, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                         : pixmap);
    layout->addWidget(label);
    auto* close = new QPushButton("Schl&ießen", &dialog);
    connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignRight);
    dialog.exec();
}

// ---------------------------------------------------------------------------------------------
// Scaling and saving

void FrmMenuData::cmdNutrients_Click()
{
    // The calculation reads the stored recipe, so edits are saved first.
    if (m_dirty || m_recipe.id() == 0) {
        if (UI().Ask("Die Nährwerte werden aus dem gespeicherten Rezept berechnet. Soll das Rezept jetzt "
                     "gespeichert werden ?",
                     Buttons::YesNo, Answer::Yes, MsgIcon::Question,
                     "Berechnung der Nährwerte") != Answer::Yes)
            return;
        if (!cmdSave_Click())
            return;
    }
    FrmUnitAbgleich::ShowForRecipe(m_recipe.id(), this);
}

void FrmMenuData::cmdScale_Click()
{
    FrmSkalierungAnzahl dialog(m_recipe, this);
    dialog.exec();
    if (!dialog.Scaled())
        return;
    MarkDirty();
    m_filling = true;
    m_yield->setValue(static_cast<int>(m_recipe.Yield()));
    m_filling = false;
    ShowLines();
}

bool FrmMenuData::MaySave() const
{
    return UserMayUse(m_recipe.id() == 0 ? kRightEnter : kRightEdit);
}

bool FrmMenuData::SaveChecked(bool asChild)
{
    if (!MaySave() || (asChild && !UserMayUse(kRightEnter))) {
        UI().Inform("Sie haben nicht das Recht, dieses Rezept zu speichern.", MsgIcon::Warning, kSaveCaption);
        return false;
    }
    DropEmptyLines();
    if (Trim(m_recipe.Title()).empty()) {
        UI().Inform("Das Rezept braucht einen Titel.", MsgIcon::Warning, kSaveCaption);
        m_title->setFocus();
        return false;
    }
    const RecipeSaveCheck check = CheckRecipeBeforeSave(m_recipe, OriginText(), YieldUnitText());
    if (!check.CanSave())
        return false;
    std::string error;
    if (!SaveCheckedRecipe(m_recipe, check, asChild, error)) {
        UI().Inform(error, MsgIcon::Warning, kSaveCaption);
        return false;
    }
    AfterSave();
    return true;
}

bool FrmMenuData::cmdSave_Click()
{
    // A child copy must not overwrite the recipe it started from.
    const bool asChild = m_childOf != 0 && m_recipe.id() == m_childOf;
    if (!SaveChecked(asChild))
        return false;
    m_childOf = 0;
    UpdateCaption();
    return true;
}

bool FrmMenuData::cmdSaveChild_Click()
{
    if (m_recipe.id() == 0) {
        UI().Inform("Nur ein gespeichertes Rezept kann ein Kind-Rezept erhalten.", MsgIcon::Information,
                    kSaveCaption);
        return false;
    }
    return SaveChecked(true);
}

bool FrmMenuData::cmdSaveTemplate_Click()
{
    if (UI().Ask("Die vorliegenden Eingabedaten werden als sogenanntes Template gespeichert.\n"
                 "Wenn die Daten bereits auf einem Template basieren, wird jetzt ein weiterer Set an Daten "
                 "abgespeichert !",
                 Buttons::OkCancel, Answer::Ok, MsgIcon::Information, "Speichern als Template") != Answer::Ok)
        return false;
    DropEmptyLines();
    // A template keeps an origin that is known already; it creates no new country.
    const long oldOrigin = m_recipe.Origin();
    ClCategory origin;
    if (OriginText().empty())
        m_recipe.SetOriginID(0);
    else if (origin.LoadbyName(OriginText()) && origin.IsCountry())
        m_recipe.SetOriginID(origin.id());
    const bool wasTemplate = m_recipe.IsTemplate();
    m_recipe.SetIsTemplate(true);
    if (!m_recipe.SaveAs()) {
        m_recipe.SetIsTemplate(wasTemplate);
        m_recipe.SetOriginID(oldOrigin);
        UI().Inform("Das Rezept konnte nicht als neues Template gespeichert werden!", MsgIcon::Critical,
                    "Speichern als Template");
        return false;
    }
    AfterSave();
    return true;
}

void FrmMenuData::AfterSave()
{
    m_dirty = false;
    // A new origin or yield unit joins its list.
    FillLists();
    ShowRecipe();
    emit recipeSaved(m_recipe.id());
}

void FrmMenuData::closeEvent(QCloseEvent* event)
{
    // A user who may not store the recipe is not offered to.
    if (m_dirty && MaySave()) {
        const Answer answer =
            UI().Ask("Sollen die Änderungen am Rezept gespeichert werden?", Buttons::YesNoCancel, Answer::Yes,
                     MsgIcon::Question, AppContext::Current().AppCaption);
        if (answer == Answer::Cancel || (answer == Answer::Yes && !cmdSave_Click())) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

} // namespace pf
