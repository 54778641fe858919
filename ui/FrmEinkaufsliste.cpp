#include "ui/FrmEinkaufsliste.h"

#include "core/AppContext.h"
#include "core/AtomicFile.h"
#include "core/Interaction.h"
#include "core/Settings.h"
#include "db/DatabaseChoice.h"
#include "db/DbError.h"
#include "model/ClRecipe.h"
#include "model/ClUnit.h"
#include "model/ProgramUnits.h"
#include "planning/ShoppingExchange.h"
#include "planning/ShoppingPrint.h"
#include "ui/ErrorTrap.h"
#include "ui/QtPageCanvas.h"
#include "ui/RecipeDrag.h"
#include "ui/UiSupport.h"
#include "ui/WindowSize.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>

namespace pf {

namespace {

constexpr const char* kCaption = "Einkaufsliste";
constexpr const char* kSettingsName = "ShoppingList";

QPointer<FrmEinkaufsliste>& Instance()
{
    static QPointer<FrmEinkaufsliste> instance;
    return instance;
}

// The desktop's clipboard; the interaction's own clipboard call is used as well, so that a
// recording interaction sees what was put there.
void SetClipboard(const std::string& text)
{
    QGuiApplication::clipboard()->setText(Q(text));
    UI().SetClipboardText(text);
}

std::string ClipboardText()
{
    return S(QGuiApplication::clipboard()->text());
}

// The lines of one recipe in an editable table: quantity, unit, ingredient. Rows keep the number
// of the line they show, so food keys of unchanged lines stay.
bool EditLines(QWidget* parent, ClRecipe& edit)
{
    QDialog dialog(parent);
    dialog.setObjectName("FrmEinkaufslisteEdit");
    dialog.setWindowTitle("Zutaten bearbeiten");
    auto* table = Named(new QTableWidget(0, 3, &dialog), "lstEdit");
    table->setHorizontalHeaderLabels({"Menge", "Einheit", "Zutat"});
    table->horizontalHeader()->setStretchLastSection(true);
    ClUnit& units = ProgramUnits();
    const auto addRow = [table](const QString& quantity, const QString& unit, const QString& text, int line) {
        const int row = table->rowCount();
        table->insertRow(row);
        table->setItem(row, 0, new QTableWidgetItem(quantity));
        table->setItem(row, 1, new QTableWidgetItem(unit));
        table->setItem(row, 2, new QTableWidgetItem(text));
        table->item(row, 0)->setData(Qt::UserRole, line);
    };
    for (int i = 1; i <= edit.IngredCount(); ++i) {
        const ClIngredient& line = edit.Ingredient(i);
        addRow(Q(line.MengeTxt()), Q(line.DisplayUnitText()),
               Q(line.IsTrenner() ? line.Trennzeile() : line.Ingredient()), i);
    }
    auto* add = MakeButton("cmdAddLine", "Zeile &hinzufügen", &dialog);
    auto* del = MakeButton("cmdDelLine", "Zeile &löschen", &dialog);
    QObject::connect(add, &QPushButton::clicked, &dialog, [&] { addRow({}, {}, {}, 0); });
    QObject::connect(del, &QPushButton::clicked, &dialog, [table] {
        if (table->currentRow() >= 0)
            table->removeRow(table->currentRow());
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText("Abbrechen");
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* rowButtons = new QHBoxLayout;
    rowButtons->addWidget(add);
    rowButtons->addWidget(del);
    rowButtons->addStretch();
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(table);
    layout->addLayout(rowButtons);
    layout->addWidget(buttons);
    dialog.resize(560, 420);
    if (dialog.exec() != QDialog::Accepted)
        return false;

    const long recipeId = edit.id();
    std::vector<ClIngredient> lines;
    for (int row = 0; row < table->rowCount(); ++row) {
        const auto text = [&](int column) {
            return table->item(row, column) ? S(table->item(row, column)->text()) : "";
        };
        const int original = table->item(row, 0) ? table->item(row, 0)->data(Qt::UserRole).toInt() : 0;
        ClIngredient line = original > 0 ? edit.Ingredient(original) : ClIngredient();
        if (text(2).empty())
            continue;
        if (!line.IsTrenner()) {
            const int unit = units.SearchforName(text(1));
            line.SetEinheitID(unit > 0 ? units.id(unit) : 0);
            line.SetIngredient(text(2));
            line.SetMenge(ParseQuantity(text(0), AppContext::Current().Options.EditFlags));
        } else {
            line.SetTrennzeile(text(2));
        }
        lines.push_back(line);
    }
    edit.LoadByID(0);
    edit.IngredCount();
    edit.Setid(recipeId);
    for (const ClIngredient& line : lines)
        edit.IngredAdd(line);
    return true;
}

} // namespace

FrmEinkaufsliste::FrmEinkaufsliste(QWidget* parent) : QWidget(parent)
{
    setObjectName("FrmEinkaufsliste");
    setWindowTitle(kCaption);
    CloseOnEscape(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setAcceptDrops(true);
    Instance() = this;
    m_classes = LoadFoodClasses(WorkDb());

    // Built in the order of the tab chain: top row, left column, lines, bottom row.
    QLayout* top = BuildTop();
    QWidget* choices = BuildChoices();
    QWidget* lines = BuildLines();
    QLayout* bottom = BuildBottom();
    auto* middle = new QHBoxLayout;
    middle->addWidget(ScrollsDown(choices), 2);
    middle->addWidget(lines, 5);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);

    connect(m_chooser, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling)
            RunTrapped([this] { ChooseList(); });
    });
    connect(m_shop, &QComboBox::currentIndexChanged, this, [this] {
        if (m_filling)
            return;
        RunTrapped([this] {
            m_storeLocations = StoreLocationsOf(WorkDb(), m_shop->currentData().toLongLong());
            RefreshView();
        });
    });
    connect(m_recipes, &QListWidget::currentRowChanged, this, [this] {
        if (!m_filling && m_perRecipe->isChecked())
            RunTrapped([this] { RefreshView(); });
    });
    for (QAbstractButton* b :
         std::initializer_list<QAbstractButton*>{m_complete, m_perRecipe, m_classColumn, m_classDetail,
                                                 m_sort[0], m_sort[1], m_sort[2], m_sort[3]})
        connect(b, &QAbstractButton::toggled, this, [this](bool on) {
            if (on || qobject_cast<QCheckBox*>(sender()))
                RunTrapped([this] { RefreshView(); });
        });

    FillShops();
    FillChooser();
    FillRecipes(-1);
    RefreshView();

    RestoreSize(this, kSettingsName, {980, 640}, {700, 480});
}

QLayout* FrmEinkaufsliste::BuildTop()
{
    m_chooser = Named(new QComboBox(this), "cboListe");
    m_save = MakeButton("cmdSave", "S&peichern", this);
    auto* deleteList = MakeButton("cmdDelete", "Entfernen", this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel("Einkaufsliste:", this));
    top->addWidget(m_chooser, 1);
    top->addWidget(m_save);
    top->addWidget(deleteList);

    connect(m_save, &QPushButton::clicked, this, Trapped(this, &FrmEinkaufsliste::cmdSave_Click));
    connect(deleteList, &QPushButton::clicked, this, Trapped(this, &FrmEinkaufsliste::cmdDelete_Click));
    return top;
}

// The left column: the list's recipes, how the lines show and their order.
QWidget* FrmEinkaufsliste::BuildChoices()
{
    m_recipes = Named(new QListWidget(this), "lstRezepte");
    RoomyRows(m_recipes);
    auto* edit = MakeButton("cmdEdit", "&Bearbeiten", this);
    auto* scale = MakeButton("cmdScale", "Ska&lieren", this);
    auto* recipeDel = MakeButton("cmdRecipeDel", "&Entfernen", this);
    auto* recipeButtons = new QHBoxLayout;
    recipeButtons->addWidget(edit);
    recipeButtons->addWidget(scale);
    recipeButtons->addWidget(recipeDel);
    auto* recipeBox = new QGroupBox("Rezepte", this);
    auto* recipeLayout = new QVBoxLayout(recipeBox);
    recipeLayout->addWidget(m_recipes);
    recipeLayout->addLayout(recipeButtons);

    m_complete = Named(new QRadioButton("&Komplett", this), "optKomplett");
    m_perRecipe = Named(new QRadioButton("pro &Rezept", this), "optProRezept");
    m_complete->setChecked(true);
    m_classColumn = MakeCheck("chkKategorie", "Nahrung&smittel-Kategorie", this);
    m_classDetail = MakeCheck("chkKategorieDetail", "Kategorie &voll detailliert", this);
    auto* showBox = new QGroupBox("Anzeige", this);
    auto* showLayout = new QVBoxLayout(showBox);
    for (QWidget* w : std::initializer_list<QWidget*>{m_complete, m_perRecipe, m_classColumn, m_classDetail})
        showLayout->addWidget(w);

    const char* sortNames[] = {"optSortRezept", "optSortAlpha", "optSortKategorie", "optSortGeschaeft"};
    // Alt keys of their own beside the main menu's (Datei, Daten, Import, Extras, Fenster, Hilfe,
    // Spezial), which work in this window as well.
    const char* sortTexts[] = {"&wie im Rezept", "Zu&taten alphabetisch",
                               "nach Produkt-Kate&gorie (soweit möglich)",
                               "nach Reihenfolge der Prod&uktkategorien im Geschäft"};
    auto* sortBox = new QGroupBox("Sortierung", this);
    auto* sortLayout = new QVBoxLayout(sortBox);
    for (int i = 0; i < 4; ++i) {
        m_sort[i] = Named(new QRadioButton(sortTexts[i], this), sortNames[i]);
        sortLayout->addWidget(m_sort[i]);
    }
    m_sort[2]->setToolTip("basierend auf der BLS-Klassifizierung der Produkte");
    m_sort[0]->setChecked(true);
    m_shop = Named(new QComboBox(this), "cboGeschaeft");
    sortLayout->addWidget(m_shop);

    // The left column scrolls, so that the window fits the room a small screen leaves with its
    // buttons in view.
    auto* leftPage = Named(new QWidget, "pnlAuswahl");
    auto* left = new QVBoxLayout(leftPage);
    left->setContentsMargins(0, 0, 0, 0);
    m_recipes->setMinimumHeight(90);
    left->addWidget(recipeBox, 1);
    left->addWidget(showBox);
    left->addWidget(sortBox);

    connect(edit, &QPushButton::clicked, this, Trapped(this, &FrmEinkaufsliste::cmdEdit_Click));
    connect(scale, &QPushButton::clicked, this, Trapped(this, &FrmEinkaufsliste::cmdScale_Click));
    connect(recipeDel, &QPushButton::clicked, this, Trapped(this, &FrmEinkaufsliste::cmdRecipeDel_Click));
    return leftPage;
}

QWidget* FrmEinkaufsliste::BuildLines()
{
    m_lines = Named(new QTableWidget(0, 6, this), "lstZutaten");
    m_lines->setHorizontalHeaderLabels(
        {"Menge", "Einheit", "Zutat", "Rezept", "Kategorie (Haupt)", "Kategorie (Detail)"});
    m_lines->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lines->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lines->verticalHeader()->hide();
    m_lines->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    RoomyRows(m_lines);
    return m_lines;
}

QLayout* FrmEinkaufsliste::BuildBottom()
{
    auto* import = MakeButton("cmdImport", "<< I&mport", this);
    import->setToolTip("Eine Einkaufsliste im Austauschformat aus der Zwischenablage übernehmen");
    auto* exportButton = MakeButton("cmdExport", ">> Exp&ort", this);
    exportButton->setToolTip("In einem für den EMailtransport geeigneten Format, welches in einem anderen "
                             "Pfannola erneut Importiert werden kann");
    auto* excel = MakeButton("cmdExcel", ">> Ex&cel", this);
    excel->setToolTip("In einem durch Excel verarbeitbaren Format in die Zwischenablage");
    auto* print = MakeButton("cmdPrint", "Drucke&n", this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(import);
    bottom->addWidget(exportButton);
    bottom->addWidget(excel);
    bottom->addStretch();
    bottom->addWidget(print);

    connect(import, &QPushButton::clicked, this, Trapped(this, &FrmEinkaufsliste::cmdImport_Click));
    connect(exportButton, &QPushButton::clicked, this, Trapped(this, &FrmEinkaufsliste::cmdExport_Click));
    connect(excel, &QPushButton::clicked, this, Trapped(this, &FrmEinkaufsliste::cmdExcel_Click));
    connect(print, &QPushButton::clicked, this, Trapped(this, &FrmEinkaufsliste::cmdPrint_Click));
    return bottom;
}

FrmEinkaufsliste::~FrmEinkaufsliste()
{
    if (Instance() == this)
        Instance() = nullptr;
}

FrmEinkaufsliste* FrmEinkaufsliste::Current()
{
    return Instance();
}

FrmEinkaufsliste* FrmEinkaufsliste::Open(QWidget* from)
{
    if (FrmEinkaufsliste* open = Instance()) {
        if (auto* frame = qobject_cast<QMdiSubWindow*>(open->parentWidget()); frame && frame->mdiArea()) {
            frame->mdiArea()->setActiveSubWindow(frame);
        } else {
            open->raise();
            open->activateWindow();
        }
        return open;
    }
    auto* window = new FrmEinkaufsliste;
    ShowBeside(from, window);
    return window;
}

void FrmEinkaufsliste::closeEvent(QCloseEvent* event)
{
    WindowPlacement placement;
    placement.Width = width();
    placement.Height = height();
    SaveWindow(placement, kSettingsName);
    QWidget::closeEvent(event);
}

ShoppingViewOptions FrmEinkaufsliste::Options() const
{
    ShoppingViewOptions options;
    options.Complete = m_complete->isChecked();
    options.RecipeID = std::max(0L, ChosenRecipe());
    options.StoreLocations = m_storeLocations;
    const ShoppingSort sorts[] = {ShoppingSort::Recipe, ShoppingSort::Alpha, ShoppingSort::Group,
                                  ShoppingSort::Shop};
    for (int i = 0; i < 4; ++i)
        if (m_sort[i]->isChecked())
            options.Sort = sorts[i];
    return options;
}

void FrmEinkaufsliste::FillShops()
{
    m_filling = true;
    m_shop->clear();
    m_shop->addItem("(kein Geschäft)", 0);
    for (const Choice& shop : ShopChoices(WorkDb()))
        m_shop->addItem(Q(shop.Name), static_cast<qlonglong>(shop.ID));
    m_filling = false;
}

void FrmEinkaufsliste::FillChooser()
{
    m_filling = true;
    int selected = 0;
    m_chooser->clear();
    for (const Choice& entry : m_list.FillList(selected))
        m_chooser->addItem(Q(entry.Name), static_cast<qlonglong>(entry.ID));
    m_chooser->setCurrentIndex(selected);
    m_filling = false;
}

void FrmEinkaufsliste::FillRecipes(long selectRecipe)
{
    m_filling = true;
    m_recipes->clear();
    for (const Choice& entry : m_list.FillRecipes()) {
        auto* item = new QListWidgetItem(Q(entry.Name), m_recipes);
        item->setData(Qt::UserRole, static_cast<qlonglong>(entry.ID));
        if (entry.ID == selectRecipe)
            m_recipes->setCurrentItem(item);
    }
    if (!m_recipes->currentItem() && m_recipes->count() > 1)
        m_recipes->setCurrentRow(m_recipes->count() - 1);
    m_filling = false;
}

long FrmEinkaufsliste::ChosenRecipe() const
{
    const QListWidgetItem* item = m_recipes->currentItem();
    return item ? static_cast<long>(item->data(Qt::UserRole).toLongLong()) : -1;
}

int FrmEinkaufsliste::ChosenSlot() const
{
    // The first entry is the manual one; the others follow the slots in order.
    return m_recipes->currentRow();
}

void FrmEinkaufsliste::RefreshView()
{
    m_shown = BuildShoppingView(m_list, Options());
    const bool classes = m_classColumn->isChecked();
    m_lines->setColumnHidden(4, !classes);
    m_lines->setColumnHidden(5, !classes || !m_classDetail->isChecked());
    m_lines->setRowCount(static_cast<int>(m_shown.size()));
    for (int row = 0; row < static_cast<int>(m_shown.size()); ++row) {
        const ShoppingLine& shown = m_shown[static_cast<std::size_t>(row)];
        std::string recipes;
        for (long id : shown.Recipes) {
            const std::string title = m_list.TitleOfRecipe(id);
            if (!title.empty())
                recipes += (recipes.empty() ? "" : ", ") + title;
        }
        const bool separator = shown.Line.IsTrenner();
        const std::string cells[] = {separator ? "" : shown.Line.MengeTxt(),
                                     separator ? "" : shown.Line.DisplayUnitText(),
                                     separator ? shown.Line.Trennzeile() : shown.Line.Ingredient(),
                                     recipes,
                                     MainClassName(shown.Code, m_classes),
                                     DetailClassName(shown.Code, m_classes)};
        for (int column = 0; column < 6; ++column) {
            auto* item = new QTableWidgetItem(Q(cells[column]));
            if (column == 0)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (separator) {
                QFont font = item->font();
                font.setBold(true);
                item->setFont(font);
            }
            m_lines->setItem(row, column, item);
        }
    }
    m_lines->resizeColumnToContents(0);
    m_lines->resizeColumnToContents(1);
    m_save->setEnabled(m_list.IsChanged());
}

void FrmEinkaufsliste::WarnLinesLeftOut(int before)
{
    const int leftOut = m_list.LinesLeftOut() - before;
    if (leftOut > 0)
        UI().Inform(ClShoppingList::LinesLeftOutText(leftOut), MsgIcon::Warning, kCaption);
}

void FrmEinkaufsliste::AddRecipe(long recipeId, long servings)
{
    const int leftOut = m_list.LinesLeftOut();
    const int slot = m_list.RecipeAdd(recipeId, servings);
    if (slot == 0) {
        UI().Inform("Die Einkaufsliste fasst höchstens " + std::to_string(ClShoppingList::kMaxRecipes) +
                        " Rezepte.",
                    MsgIcon::Information, kCaption);
        return;
    }
    FillRecipes(recipeId);
    RefreshView();
    WarnLinesLeftOut(leftOut);
}

void FrmEinkaufsliste::ChooseList()
{
    const long id = m_chooser->currentData().toLongLong();
    if (id == m_list.id())
        return;
    if (id == 0)
        m_list.Void();
    else if (!m_list.LoadByID(id) && m_list.LastError() != 0)
        UI().Inform("Die Einkaufsliste kann nicht gelesen werden: " + m_list.LastErrorText(),
                    MsgIcon::Critical, kCaption);
    FillRecipes(-1);
    RefreshView();
}

void FrmEinkaufsliste::cmdSave_Click()
{
    if (!m_list.IsChanged())
        return;
    bool ok = false;
    const QString name = QInputDialog::getText(this, "Speichern der Einkaufsliste",
                                               "Bitte der zu speichernden Einkaufsliste einen Namen geben",
                                               QLineEdit::Normal, Q(m_list.Description()), &ok);
    if (ok)
        SaveAs(S(name));
}

void FrmEinkaufsliste::SaveAs(const std::string& name)
{
    m_list.SetDescription(name);
    if (!m_list.Save()) {
        UI().Inform("Die Einkaufsliste kann nicht gespeichert werden: " + m_list.LastErrorText(),
                    MsgIcon::Critical, kCaption);
        return;
    }
    FillChooser();
    RefreshView();
}

void FrmEinkaufsliste::cmdDelete_Click()
{
    if (UI().Ask(
            "Damit werden sowohl die aktuelle Erfassung als auch die gespeicherten Daten aus der Datenbank "
            "gelöscht !\r\n\r\nWirklich fortfahren ?",
            Buttons::YesNo, Answer::No, MsgIcon::Warning, kCaption) != Answer::Yes)
        return;
    if (!m_list.Delete()) {
        UI().Inform("Die Einkaufsliste kann nicht gelöscht werden: " + m_list.LastErrorText(),
                    MsgIcon::Critical, kCaption);
        return;
    }
    FillChooser();
    FillRecipes(-1);
    RefreshView();
}

void FrmEinkaufsliste::cmdEdit_Click()
{
    const long recipeId = ChosenRecipe();
    if (recipeId < 0)
        return;
    ClRecipe edit;
    m_list.TransferRecipe2Edit(recipeId, edit);
    if (!EditLines(this, edit))
        return;
    const int leftOut = m_list.LinesLeftOut();
    m_list.TransferEdit2List(edit);
    RefreshView();
    WarnLinesLeftOut(leftOut);
}

void FrmEinkaufsliste::cmdScale_Click()
{
    const int slot = ChosenSlot();
    if (slot < 1)
        return;
    bool ok = false;
    const int servings = QInputDialog::getInt(
        this, "Skalieren", Q("Für wie viele " + m_list.RecipeUnitName(slot) + " soll eingekauft werden?"),
        static_cast<int>(m_list.RecipeYield(slot).ToDouble()), 1, 100000, 1, &ok);
    if (!ok || !m_list.RecipeRescale(slot, servings))
        return;
    FillRecipes(m_list.RecipeID(slot));
    RefreshView();
}

void FrmEinkaufsliste::cmdRecipeDel_Click()
{
    const int slot = ChosenSlot();
    if (slot < 1)
        return;
    m_list.RecipeDelete(slot);
    FillRecipes(-1);
    RefreshView();
}

void FrmEinkaufsliste::cmdExport_Click()
{
    if (m_perRecipe->isChecked() &&
        UI().Ask("Es ist die Auswahl \"pro Rezept\" aktiv, damit wird nur das aktuell ausgewählte Rezept und "
                 "nicht "
                 "die komplette Einkaufsliste exportiert. Trotzdem fortfahren ?",
                 Buttons::YesNo, Answer::No, MsgIcon::Question, kCaption) != Answer::Yes)
        return;
    // The exchange text keeps every line with its recipe, so the other side rebuilds the same list.
    ShoppingViewOptions options = Options();
    options.Merge = false;
    SetClipboard(
        ShoppingExchangeText(m_list, BuildShoppingView(m_list, options), AppContext::Current().VersionText));
    UI().Inform(
        "Die Einkaufsliste ist zum Einfügen in ein EMail oder sonstiges Textdokument zum Austausch in der "
        "Zwischenablage verfügbar !",
        MsgIcon::Information, "Einkaufslisten-Austausch");
}

void FrmEinkaufsliste::cmdImport_Click()
{
    std::string text = ClipboardText();
    for (;;) {
        const ExchangeRead check = CheckShoppingExchange(text);
        if (check == ExchangeRead::NoEnd) {
            UI().Inform(ExchangeNoEndText(), MsgIcon::Critical, "Einkaufslisten-Austausch");
            return;
        }
        if (check == ExchangeRead::Ok)
            break;
        if (UI().Ask(ExchangeNoMarkerText(), Buttons::OkCancel, Answer::Ok, MsgIcon::Information,
                     "Einkaufslisten-Austausch") != Answer::Ok)
            return;
        text = ClipboardText();
    }
    if (m_list.IsChanged()) {
        cmdSave_Click();
        if (m_list.IsChanged())
            return;
    }
    m_list.Void();
    FillChooser();
    ReadShoppingExchange(text, m_list);
    FillRecipes(-1);
    RefreshView();
    if (m_list.LinesLeftOut() > 0) {
        WarnLinesLeftOut(0);
        return;
    }
    UI().Inform("Der Import wurde erfolgreich durchgeführt", MsgIcon::Information,
                "Einkaufslisten-Austausch");
}

void FrmEinkaufsliste::cmdExcel_Click()
{
    SetClipboard(ShoppingSpreadsheetRows(m_list, m_shown, m_storeLocations, m_classes));
    if (UI().Ask(
            "Soll die Einkaufsliste zusätzlich als Datei (.csv) in der Tabellenkalkulation geöffnet werden?",
            Buttons::YesNo, Answer::No, MsgIcon::Question, kCaption) == Answer::Yes) {
        const std::string dir =
            AppContext::Current().TempDir.empty() ? "/tmp/" : AppContext::Current().TempDir;
        const std::string path = dir + (dir.ends_with('/') ? "" : "/") + "Einkaufsliste.csv";
        if (!WriteFileAtomically(path, ShoppingCsv(m_list, m_shown, m_storeLocations, m_classes)) ||
            !UI().OpenWithDefaultApplication(path))
            UI().Inform("Die Datei \"" + path + "\" kann nicht mit der Tabellenkalkulation geöffnet werden.",
                        MsgIcon::Warning, kCaption);
    }
    UI().Inform(
        "Die Einkaufsliste ist zum Einfügen in Excel in der Zwischenablage verfügbar !\r\n\r\nTipp: Durch "
        "Sortieren der Daten (Kopfzeile vorhanden) zuerst nach Kolonne \"F\"/Kategorie (Haupt) und dann "
        "nach Kolonne \"E\"/Kategorie (Detail) liegen die Daten automatisch in einem nach Kategorien "
        "sortiertem Format vor.",
        MsgIcon::Information, kCaption);
}

bool FrmEinkaufsliste::PrintOn(PageCanvas& canvas)
{
    return PrintShoppingList(canvas, m_list, m_shown, m_classes);
}

bool FrmEinkaufsliste::WritePdf(const std::string& path)
{
    std::string error;
    std::unique_ptr<PageCanvas> canvas = OpenQtPdf(path, kCaption, error);
    if (!canvas) {
        UI().Inform(error, MsgIcon::Critical, "Drucken der Einkaufsliste");
        return false;
    }
    return PrintOn(*canvas);
}

void FrmEinkaufsliste::cmdPrint_Click()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter));
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle("Drucken der Einkaufsliste");
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* target) {
        QtPageCanvas canvas(*target);
        if (!canvas.Active()) {
            UI().Inform("Der Drucker scheint nicht bereit zu sein !", MsgIcon::Warning,
                        "Drucken der Einkaufsliste");
            return;
        }
        PrintOn(canvas);
    });
    preview.exec();
}

void FrmEinkaufsliste::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedRecipeIds(event->mimeData()).empty())
        event->acceptProposedAction();
}

void FrmEinkaufsliste::dropEvent(QDropEvent* event)
{
    const std::vector<long> ids = DroppedRecipeIds(event->mimeData());
    RunTrapped([this, &ids] {
        for (long id : ids)
            AddRecipe(id);
    });
    event->acceptProposedAction();
}

} // namespace pf
