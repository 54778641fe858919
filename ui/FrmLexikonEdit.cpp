#include "ui/FrmLexikonEdit.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Language.h"
#include "db/Database.h"
#include "db/DatabaseChoice.h"
#include "lexicon/LexiconAreas.h"
#include "lexicon/LexiconEntryView.h"
#include "lexicon/LexiconFoodLinks.h"
#include "lexicon/LexiconSearch.h"
#include "lexicon/LexiconTree.h"
#include "nutrition/Nutrition.h"
#include "ui/ErrorTrap.h"
#include "ui/FrmNaehrSuche.h"
#include "ui/Mainform.h"
#include "ui/PrintPreview.h"
#include "ui/UiSupport.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <memory>
#include <tuple>

namespace pf {

namespace {

constexpr int kAreaRole = Qt::UserRole;
constexpr int kIdRole = Qt::UserRole + 1;
constexpr int kNodeRole = Qt::UserRole + 2;
constexpr const char* kCaption = "Lexikon";

QTreeWidgetItem* EntryItem(long area, long id, const std::string& text)
{
    auto* item = new QTreeWidgetItem(QStringList{Q(text)});
    item->setData(0, kAreaRole, static_cast<qlonglong>(area));
    item->setData(0, kIdRole, static_cast<qlonglong>(id));
    return item;
}

// The areas whose entries are written here; foods and recipes have windows of their own.
bool EditableHere(long area)
{
    return area != area::kFoods && area != area::kRecipes;
}

QComboBox* LanguageChoice(QWidget* parent, long language)
{
    auto* choice = new QComboBox(parent);
    for (long code = 0; code < kLanguageCount; ++code)
        choice->addItem(Q(LanguageName(code)), static_cast<qlonglong>(code));
    choice->setCurrentIndex(std::max(0, choice->findData(static_cast<qlonglong>(language))));
    return choice;
}

// A decimal field: empty is zero; otherwise digits with at most four decimals after "," or ".".
bool ReadDecimal(const QString& text, Decimal4& value)
{
    static const QRegularExpression number(R"(^\s*-?\d{1,12}([.,]\d{1,4})?\s*$)");
    if (text.trimmed().isEmpty()) {
        value = Decimal4();
        return true;
    }
    if (!number.match(text).hasMatch())
        return false;
    value = Decimal4::Parse(S(text.trimmed()));
    return true;
}

QString DecimalText(Decimal4 value)
{
    return value == Decimal4() ? QString() : Q(value.ToString()).replace('.', ',');
}

} // namespace

// The page that shows an entry while the window is not editing.
QWidget* FrmLexikonEdit::BuildReadingPage()
{
    auto* page = new QWidget(m_pages);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    m_title = Named(new QLabel(page), "lblTitel");
    QFont titleFont = m_title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    m_title->setFont(titleFont);
    m_title->setWordWrap(true);
    m_keywords = Named(new QLabel(page), "lblStichworte");
    m_keywords->setWordWrap(true);
    m_facts = Named(new QLabel(page), "lblAngaben");
    m_facts->setWordWrap(true);
    m_facts->setTextFormat(Qt::PlainText);
    m_text = Named(new QTextBrowser(page), "txtErklaerung");
    m_text->setMinimumWidth(260);
    pageLayout->addWidget(m_title);
    pageLayout->addWidget(m_keywords);
    pageLayout->addWidget(m_facts);
    pageLayout->addWidget(m_text, 1);
    return page;
}

FrmLexikonEdit::FrmLexikonEdit(QWidget* parent) : QWidget(parent)
{
    setObjectName("FrmLexikonEdit");
    CloseOnEscape(this);
    setWindowTitle(kCaption);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* areaLabel = new QLabel("&Bereich:", this);
    m_area = Named(new QComboBox(this), "cboBereich");
    for (long area : LexiconAreas())
        if (EditableHere(area))
            m_area->addItem(Q(LexiconAreaName(area)), static_cast<qlonglong>(area));
    areaLabel->setBuddy(m_area);
    top->addWidget(areaLabel);
    top->addWidget(m_area);
    auto* searchLabel = new QLabel("&Suchen nach:", this);
    m_search = Named(new QLineEdit(this), "txtSuchen");
    searchLabel->setBuddy(m_search);
    top->addSpacing(12);
    top->addWidget(searchLabel);
    top->addWidget(m_search, 1);
    auto* searchButton = MakeButton("cmdSuchen", "Suchen", this);
    top->addWidget(searchButton);
    top->addSpacing(12);
    m_editButton = MakeButton("cmdBearbeiten", "Bearbei&ten", this);
    m_editButton->setCheckable(true);
    m_editButton->setToolTip("Einträge anlegen, ändern und löschen");
    top->addWidget(m_editButton);
    layout->addLayout(top);

    auto* splitter = new QSplitter(this);
    m_tree = Named(new QTreeWidget(splitter), "treLexikon");
    RoomyRows(m_tree);
    m_tree->setHeaderLabel("Einträge");
    m_tree->setMinimumWidth(220);
    m_pages = new QStackedWidget(splitter);
    m_pages->addWidget(BuildReadingPage());
    m_pages->addWidget(BuildForm());
    splitter->addWidget(m_tree);
    splitter->addWidget(m_pages);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter, 1);

    auto* buttons = new QHBoxLayout;
    m_newButton = MakeButton("cmdNeu", "&Neu", this);
    m_saveButton = MakeButton("cmdSpeichern", "S&peichern", this);
    m_deleteButton = MakeButton("cmdLoeschen", "&Löschen", this);
    buttons->addWidget(m_newButton);
    buttons->addWidget(m_saveButton);
    buttons->addWidget(m_deleteButton);
    buttons->addStretch(1);
    m_printButton = MakeButton("cmdDrucken", "Dr&ucken …", this);
    m_printButton->setToolTip("Druckt den gewählten Eintrag; weitere Druckbefehle im Kontextmenü der Liste");
    m_exportButton = MakeButton("cmdExportieren", "Exportieren …", this);
    m_exportButton->setToolTip("Speichert den gewählten Eintrag als Text- oder HTML-Datei");
    buttons->addWidget(m_printButton);
    buttons->addWidget(m_exportButton);
    layout->addLayout(buttons);

    connect(m_area, &QComboBox::currentIndexChanged, this, [this](int index) {
        RunTrapped([&] {
            if (ConfirmLeave()) {
                ShowArea(m_area->itemData(index).toLongLong());
                return;
            }
            // The form keeps its entry, and the list the area it shows.
            const QSignalBlocker block(m_area);
            m_area->setCurrentIndex(m_area->findData(static_cast<qlonglong>(m_shownArea)));
        });
    });
    connect(searchButton, &QPushButton::clicked, this, Trapped(this, &FrmLexikonEdit::cmdSuchen_Click));
    connect(m_search, &QLineEdit::returnPressed, this, Trapped(this, &FrmLexikonEdit::cmdSuchen_Click));
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item, QTreeWidgetItem* previous) {
                RunTrapped([&] { ItemChosen(item, previous); });
            });
    connect(m_editButton, &QPushButton::toggled, this,
            [this](bool on) { RunTrapped([&] { SetEditing(on); }); });
    connect(m_newButton, &QPushButton::clicked, this, Trapped(this, &FrmLexikonEdit::cmdNeu_Click));
    connect(m_saveButton, &QPushButton::clicked, this, Trapped(this, &FrmLexikonEdit::cmdSpeichern_Click));
    connect(m_deleteButton, &QPushButton::clicked, this, Trapped(this, &FrmLexikonEdit::cmdLoeschen_Click));
    connect(m_printButton, &QPushButton::clicked, this, Trapped(this, &FrmLexikonEdit::cmdDrucken_Click));
    connect(m_exportButton, &QPushButton::clicked, this,
            Trapped(this, &FrmLexikonEdit::cmdExportieren_Click));
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_tree, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (QTreeWidgetItem* item = m_tree->itemAt(pos))
            m_tree->setCurrentItem(item);
        std::unique_ptr<QMenu> menu(MakeContextMenu());
        menu->exec(m_tree->viewport()->mapToGlobal(pos));
    });

    m_entry.SetDB(WorkDb());
    m_editButton->setEnabled(WorkDb().IsUpdatable());
    if (!WorkDb().IsUpdatable())
        m_editButton->setToolTip("Die Datenbank ist schreibgeschützt.");
    SetEditing(false);
    resize(760, 520);
    ShowArea(m_area->currentData().toLongLong());
}

QWidget* FrmLexikonEdit::BuildForm()
{
    auto* page = new QWidget;
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    m_formTitle = Named(new QLabel(page), "lblBearbeiten");
    QFont titleFont = m_formTitle->font();
    titleFont.setBold(true);
    m_formTitle->setFont(titleFont);
    m_formTitle->setWordWrap(true);
    pageLayout->addWidget(m_formTitle);
    auto* form = Named(new QWidget(page), "fraBearbeiten");
    m_formBody = form;
    pageLayout->addWidget(form, 1);
    m_form = new QFormLayout(form);
    m_form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);

    m_form->addRow("Stich&wörter:", BuildKeywordRow(form));

    m_entryArea = Named(new QComboBox(form), "cboEintragBereich");
    for (long area : LexiconAreas())
        if (EditableHere(area))
            m_entryArea->addItem(Q(LexiconAreaName(area)), static_cast<qlonglong>(area));
    m_form->addRow("Be&reich:", m_entryArea);
    m_node = Named(new QComboBox(form), "cboGruppe");
    m_form->addRow("&Gruppe:", m_node);

    m_eNumber = Named(new QLineEdit(form), "txtENummer");
    m_eNumber->setMaxLength(20);
    m_eNumber->setPlaceholderText("leer: wird vergeben");
    m_form->addRow("E-N&ummer:", m_eNumber);
    m_colour = Named(new QLineEdit(form), "txtFarbe");
    m_form->addRow("Farbe:", m_colour);
    m_occursIn = Named(new QLineEdit(form), "txtEnthaltenIn");
    m_form->addRow("Enthalten in:", m_occursIn);
    m_danger = MakeCheck("chkGefahr", "Gesundheitlich bedenklich", form);
    m_form->addRow("", m_danger);

    m_label = Named(new QLineEdit(form), "txtEtikett");
    m_form->addRow("Etikett:", m_label);
    m_year = Named(new QSpinBox(form), "txtJahrgang");
    m_year->setRange(0, 2999);
    m_year->setSpecialValueText("–");
    m_form->addRow("&Jahrgang:", m_year);
    m_grapes = Named(new QLineEdit(form), "txtRebsorten");
    m_form->addRow("Rebs&orten:", m_grapes);
    m_rating = Named(new QSpinBox(form), "txtBewertung");
    m_rating->setRange(0, 100);
    m_rating->setSpecialValueText("–");
    m_form->addRow("Bewertung:", m_rating);
    m_price = Named(new QLineEdit(form), "txtPreis");
    m_form->addRow("Preis:", m_price);
    m_alcohol = Named(new QLineEdit(form), "txtAlkohol");
    m_form->addRow("Alkohol (% vol):", m_alcohol);
    m_origin = Named(new QLineEdit(form), "txtHerkunft");
    m_form->addRow("Herkunft:", m_origin);
    m_tasting = Named(new QLineEdit(form), "txtVerkostung");
    m_form->addRow("&Verkostung:", m_tasting);

    m_pictureRow = BuildPictureRow(form);
    m_form->addRow("Bild:", m_pictureRow);

    m_foodRow = BuildFoodRow(form);
    m_form->addRow("Lebensmittel:", m_foodRow);

    m_entryText = Named(new QPlainTextEdit(form), "txtText");
    m_entryText->setMinimumHeight(120);
    m_textLabel = new QLabel("Er&klärung:", form);
    m_textLabel->setBuddy(m_entryText);
    m_form->addRow(m_textLabel, m_entryText);

    connect(m_keywordTable, &QTableWidget::itemChanged, this, [this] { MarkChanged(); });
    connect(m_entryArea, &QComboBox::currentIndexChanged, this, [this](int index) {
        const long area = m_entryArea->itemData(index).toLongLong();
        // Node keys belong to their area: a moved entry starts without one.
        if (!m_filling)
            FillNodeChoice(area, "");
        ShowAreaRows(area);
        MarkChanged();
    });
    connect(m_node, &QComboBox::currentIndexChanged, this, [this] { MarkChanged(); });
    connect(m_danger, &QCheckBox::toggled, this, [this] { MarkChanged(); });
    for (QSpinBox* box : {m_year, m_rating})
        connect(box, &QSpinBox::valueChanged, this, [this] { MarkChanged(); });
    for (QLineEdit* line :
         {m_eNumber, m_colour, m_occursIn, m_label, m_grapes, m_price, m_alcohol, m_origin, m_tasting})
        connect(line, &QLineEdit::textEdited, this, [this] { MarkChanged(); });
    connect(m_entryText, &QPlainTextEdit::textChanged, this, [this] { MarkChanged(); });
    return ScrollsDown(page);
}

// The keyword table with its buttons.
QWidget* FrmLexikonEdit::BuildKeywordRow(QWidget* parent)
{
    auto* keywords = new QWidget(parent);
    auto* keywordLayout = new QHBoxLayout(keywords);
    keywordLayout->setContentsMargins(0, 0, 0, 0);
    m_keywordTable = Named(new QTableWidget(0, 2, keywords), "tblStichworte");
    m_keywordTable->setHorizontalHeaderLabels({"Stichwort", "Sprache"});
    m_keywordTable->verticalHeader()->setVisible(false);
    m_keywordTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_keywordTable->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_keywordTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_keywordTable->setMinimumHeight(96);
    m_keywordTable->setMaximumHeight(140);
    auto* keywordButtons = new QVBoxLayout;
    auto* addKeyword = MakeButton("cmdStichwortNeu", "Hin&zufügen", keywords);
    auto* removeKeyword = MakeButton("cmdStichwortWeg", "&Entfernen", keywords);
    keywordButtons->addWidget(addKeyword);
    keywordButtons->addWidget(removeKeyword);
    keywordButtons->addStretch(1);
    keywordLayout->addWidget(m_keywordTable, 1);
    keywordLayout->addLayout(keywordButtons);

    connect(addKeyword, &QPushButton::clicked, this, [this] {
        AddKeywordRow("", DefaultKeywordLanguage());
        m_keywordTable->setCurrentCell(m_keywordTable->rowCount() - 1, 0);
        m_keywordTable->editItem(m_keywordTable->item(m_keywordTable->rowCount() - 1, 0));
        MarkChanged();
    });
    connect(removeKeyword, &QPushButton::clicked, this, [this] {
        const int row = m_keywordTable->currentRow();
        if (row >= 0) {
            m_keywordTable->removeRow(row);
            MarkChanged();
        }
    });
    return keywords;
}

// The entry's picture with its buttons.
QWidget* FrmLexikonEdit::BuildPictureRow(QWidget* parent)
{
    auto* row = new QWidget(parent);
    auto* pictureLayout = new QHBoxLayout(row);
    pictureLayout->setContentsMargins(0, 0, 0, 0);
    m_picture = Named(new QLabel(row), "imgBild");
    m_picture->setFixedSize(120, 90);
    m_picture->setFrameShape(QFrame::StyledPanel);
    m_picture->setAlignment(Qt::AlignCenter);
    auto* pictureButtons = new QVBoxLayout;
    auto* loadPicture = MakeButton("cmdBildLaden", "Bild laden …", row);
    auto* removePicture = MakeButton("cmdBildWeg", "Bild entfernen", row);
    pictureButtons->addWidget(loadPicture);
    pictureButtons->addWidget(removePicture);
    pictureButtons->addStretch(1);
    pictureLayout->addWidget(m_picture);
    pictureLayout->addLayout(pictureButtons);
    pictureLayout->addStretch(1);

    connect(loadPicture, &QPushButton::clicked, this, Trapped(this, &FrmLexikonEdit::cmdBildLaden_Click));
    connect(removePicture, &QPushButton::clicked, this, [this] {
        m_entry.Picture.clear();
        ShowPicture();
        MarkChanged();
    });
    return row;
}

// The foods linked to the entry, with their buttons.
QWidget* FrmLexikonEdit::BuildFoodRow(QWidget* parent)
{
    auto* row = new QWidget(parent);
    auto* foodLayout = new QHBoxLayout(row);
    foodLayout->setContentsMargins(0, 0, 0, 0);
    m_foods = Named(new QListWidget(row), "lstLebensmittel");
    RoomyRows(m_foods);
    m_foods->setMaximumHeight(80);
    auto* foodButtons = new QVBoxLayout;
    auto* linkFood = MakeButton("cmdLebensmittelVerknuepfen", "Verkn&üpfen …", row);
    linkFood->setToolTip("Verknüpft ein Nahrungsmittel mit diesem Eintrag");
    auto* unlinkFood = MakeButton("cmdLebensmittelLoesen", "L&ösen", row);
    unlinkFood->setToolTip("Löst die Verknüpfung mit dem gewählten Nahrungsmittel");
    foodButtons->addWidget(linkFood);
    foodButtons->addWidget(unlinkFood);
    foodButtons->addStretch(1);
    foodLayout->addWidget(m_foods, 1);
    foodLayout->addLayout(foodButtons);
    connect(linkFood, &QPushButton::clicked, this, Trapped(this, &FrmLexikonEdit::cmdFoodLink_Click));
    connect(unlinkFood, &QPushButton::clicked, this, Trapped(this, &FrmLexikonEdit::cmdFoodUnlink_Click));
    return row;
}

void FrmLexikonEdit::SetEditing(bool editing)
{
    if (editing && !WorkDb().IsUpdatable())
        editing = false;
    if (!editing && m_editing && !ConfirmLeave()) {
        const QSignalBlocker block(m_editButton);
        m_editButton->setChecked(true);
        return;
    }
    m_editing = editing;
    {
        const QSignalBlocker block(m_editButton);
        m_editButton->setChecked(editing);
    }
    m_newButton->setVisible(editing);
    m_saveButton->setVisible(editing);
    m_deleteButton->setVisible(editing);
    m_pages->setCurrentIndex(editing ? 1 : 0);
    setWindowTitle(editing ? QString("Lexikon bearbeiten") : QString(kCaption));
    // The page shows what is chosen on the left, as text or as form.
    if (QTreeWidgetItem* item = m_tree->currentItem(); item && item->data(0, kIdRole).isValid())
        ShowEntry(item->data(0, kAreaRole).toLongLong(), item->data(0, kIdRole).toLongLong(), item->text(0));
    else
        ClearEntry();
}

void FrmLexikonEdit::ShowArea(long area)
{
    m_searchShown = false;
    m_shownArea = area;
    const QSignalBlocker block(m_tree);
    m_tree->clear();
    ClearEntry();
    LexiconTree tree;
    tree.Load(WorkDb(), area, LanguageGroupCondition(UserLanguageGroup()));
    const std::function<void(QTreeWidgetItem*, const std::string&)> fill = [&](QTreeWidgetItem* parent,
                                                                               const std::string& key) {
        for (const LexiconTreeNode* node : tree.Children(key)) {
            auto* item = new QTreeWidgetItem(QStringList{Q(node->Caption)});
            item->setData(0, kNodeRole, Q(node->Key));
            parent ? parent->addChild(item) : m_tree->addTopLevelItem(item);
            fill(item, node->Key);
        }
        for (const LexiconTreeEntry* entry : tree.Entries(key)) {
            QTreeWidgetItem* item = EntryItem(area, entry->Id, entry->Keyword);
            parent ? parent->addChild(item) : m_tree->addTopLevelItem(item);
        }
    };
    fill(nullptr, "");
}

void FrmLexikonEdit::cmdSuchen_Click()
{
    const std::string text = S(m_search->text().trimmed());
    if (text.empty() || !ConfirmLeave())
        return;
    LexiconResultTree result;
    LexiconSearch(WorkDb(), text, kLexiconAllAreas, result);
    m_searchShown = true;
    {
        const QSignalBlocker block(m_tree);
        m_tree->clear();
        ClearEntry();
        for (const LexiconAreaNode& root : result.Roots()) {
            auto* rootItem = new QTreeWidgetItem(QStringList{Q(root.Text)});
            m_tree->addTopLevelItem(rootItem);
            for (const LexiconHit& hit : root.Hits)
                rootItem->addChild(EntryItem(hit.Area, hit.Id, hit.Text));
            rootItem->setExpanded(true);
        }
    }
    // The first hit is shown at once, so a search with one hit needs no further click; the area node is
    // chosen only when it holds no hit.
    if (QTreeWidgetItem* first = m_tree->topLevelItem(0))
        m_tree->setCurrentItem(first->childCount() > 0 ? first->child(0) : first);
}

void FrmLexikonEdit::ItemChosen(QTreeWidgetItem* item, QTreeWidgetItem* previous)
{
    if (!ConfirmLeave()) {
        // The form keeps its entry: the choice on the left goes back to it.
        const QSignalBlocker block(m_tree);
        m_tree->setCurrentItem(previous);
        return;
    }
    if (!item || !item->data(0, kIdRole).isValid()) {
        ClearEntry();
        return;
    }
    ShowEntry(item->data(0, kAreaRole).toLongLong(), item->data(0, kIdRole).toLongLong(), item->text(0));
}

void FrmLexikonEdit::ShowEntry(long area, long id, const QString& keyword)
{
    if (m_editing) {
        if (!EditableHere(area)) {
            ClearEntry();
            m_formTitle->setText("Einträge dieses Bereichs werden in ihrem eigenen Fenster bearbeitet.");
            return;
        }
        LexiconEntry entry;
        entry.SetDB(WorkDb());
        if (!entry.LoadByID(area, id)) {
            ClearEntry();
            return;
        }
        m_entry = std::move(entry);
        FillForm();
        return;
    }
    const std::optional<LexiconEntryView> view = ViewLexiconEntry(WorkDb(), area, id);
    if (!view) {
        ClearEntry();
        return;
    }
    m_title->setText(keyword.isEmpty() ? Q(view->Title) : keyword);
    QStringList keywords;
    for (const std::string& word : view->Keywords)
        keywords << Q(word);
    m_keywords->setText(Q(LexiconAreaName(area)) + (view->Node.empty() ? QString() : " – " + Q(view->Node)) +
                        "\nStichwörter: " + keywords.join(", "));
    QStringList facts;
    for (const auto& [label, value] : view->Facts)
        facts << Q(label) + ": " + Q(value);
    m_facts->setText(facts.join("\n"));
    m_facts->setVisible(!facts.isEmpty());
    m_text->setPlainText(Q(view->Text));
}

void FrmLexikonEdit::ClearEntry()
{
    m_title->clear();
    m_keywords->clear();
    m_facts->clear();
    m_facts->hide();
    m_text->clear();
    // The form waits for an entry or for "Neu".
    m_entry = LexiconEntry();
    m_entry.SetDB(WorkDb());
    FillForm();
    m_formTitle->setText("Links einen Eintrag wählen oder mit \"Neu\" einen anlegen.");
    m_formBody->setEnabled(false);
    m_saveButton->setEnabled(false);
    m_deleteButton->setEnabled(false);
}

void FrmLexikonEdit::FillForm()
{
    m_filling = true;
    m_formBody->setEnabled(true);
    const long area = m_entry.Area();
    m_formTitle->setText(m_entry.Id() > 0 ? Q(m_entry.Name()) + " (" + Q(LexiconAreaName(area)) + " Nr. " +
                                                QString::number(m_entry.Id()) + ")"
                                          : "Neuer Eintrag");
    m_keywordTable->setRowCount(0);
    for (const LexiconSynonym& synonym : m_entry.Synonyms())
        AddKeywordRow(synonym.Text, synonym.Language);
    m_entryArea->setCurrentIndex(std::max(0, m_entryArea->findData(static_cast<qlonglong>(area))));
    FillNodeChoice(area, m_entry.Tree());
    m_eNumber->setText(Q(m_entry.ENumber));
    m_colour->setText(Q(m_entry.Farbe));
    m_occursIn->setText(Q(m_entry.EnthaltenIn));
    m_danger->setChecked(m_entry.Gefahr);
    m_label->setText(Q(m_entry.Label));
    m_year->setValue(static_cast<int>(m_entry.Jahr));
    m_grapes->setText(Q(m_entry.Trauben));
    m_rating->setValue(static_cast<int>(m_entry.Rating));
    m_price->setText(DecimalText(m_entry.Preis));
    m_alcohol->setText(DecimalText(m_entry.Alkohol));
    m_origin->setText(Q(m_entry.Detail));
    m_tasting->setText(Q(m_entry.Degustation));
    m_entryText->setPlainText(Q(area == area::kAdditives  ? m_entry.Info
                                : area == area::kUtensils ? m_entry.Description
                                                          : m_entry.Text));
    ShowPicture();
    FillFoodLinks();
    ShowAreaRows(area);
    m_saveButton->setEnabled(true);
    m_deleteButton->setEnabled(m_entry.Id() > 0);
    m_filling = false;
    m_changed = false;
}

void FrmLexikonEdit::ShowAreaRows(long area)
{
    const bool additive = area == area::kAdditives;
    const bool wine = area == area::kWine;
    for (QWidget* field : std::initializer_list<QWidget*>{m_eNumber, m_colour, m_occursIn, m_danger})
        m_form->setRowVisible(field, additive);
    for (QWidget* field : std::initializer_list<QWidget*>{m_label, m_year, m_grapes, m_rating, m_price,
                                                          m_alcohol, m_origin, m_tasting})
        m_form->setRowVisible(field, wine);
    m_form->setRowVisible(m_pictureRow, area == area::kUtensils);
    m_textLabel->setText(additive || area == area::kUtensils ? "Bes&chreibung:" : "Er&klärung:");
}

void FrmLexikonEdit::FillNodeChoice(long area, const std::string& key)
{
    const bool filling = m_filling;
    m_filling = true;
    m_node->clear();
    m_node->addItem("(keine)", QString());
    LexiconTree tree;
    tree.LoadNodes(WorkDb(), area);
    const std::function<void(const std::string&, int)> add = [&](const std::string& parent, int depth) {
        for (const LexiconTreeNode* node : tree.Children(parent)) {
            m_node->addItem(QString(depth * 4, ' ') + Q(node->Caption), Q(node->Key));
            add(node->Key, depth + 1);
        }
    };
    add("", 0);
    const int found = m_node->findData(Q(key));
    // A node the tree table does not know stays chosen, so that saving keeps it.
    if (found < 0 && !key.empty())
        m_node->addItem(Q(key), Q(key));
    m_node->setCurrentIndex(found >= 0 ? found : key.empty() ? 0 : m_node->count() - 1);
    m_filling = filling;
}

void FrmLexikonEdit::AddKeywordRow(const std::string& text, long language)
{
    const int row = m_keywordTable->rowCount();
    m_keywordTable->insertRow(row);
    m_keywordTable->setItem(row, 0, new QTableWidgetItem(Q(text)));
    QComboBox* choice = LanguageChoice(m_keywordTable, language);
    connect(choice, &QComboBox::currentIndexChanged, this, [this] { MarkChanged(); });
    m_keywordTable->setCellWidget(row, 1, choice);
}

void FrmLexikonEdit::ShowPicture()
{
    QPixmap picture;
    if (!m_entry.Picture.empty())
        picture.loadFromData(m_entry.Picture.data(), static_cast<uint>(m_entry.Picture.size()));
    if (picture.isNull()) {
        m_picture->setPixmap({});
        m_picture->setText(m_entry.Picture.empty() ? "kein Bild" : "Bild");
    } else {
        m_picture->setPixmap(
            picture.scaled(m_picture->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
}

void FrmLexikonEdit::FillFoodLinks()
{
    m_foods->clear();
    // Links belong to a stored entry; a new one gets them after its first save.
    m_foodRow->setEnabled(m_entry.Id() > 0 && m_entry.Area() == m_entry.SavedArea());
    if (m_entry.Id() <= 0)
        return;
    for (const FoodLexiconLink& link : LinksOfEntry(WorkDb(), m_entry.SavedArea(), m_entry.Id())) {
        auto* item =
            new QListWidgetItem(Q(link.FoodName.empty() ? "(Nahrungsmittel fehlt)" : link.FoodName), m_foods);
        item->setData(Qt::UserRole, static_cast<qlonglong>(link.FoodId));
    }
}

void FrmLexikonEdit::cmdFoodLink_Click()
{
    if (!m_editing || m_entry.Id() <= 0)
        return;
    Nutrition* nutrition = NutritionOf(WorkDb());
    if (!nutrition)
        return;
    const long food = FrmNaehrSuche::Choose(WorkDb(), nutrition->Tables, {}, {}, this);
    if (food == 0)
        return;
    if (!AddFoodLink(WorkDb(), food, m_entry.SavedArea(), m_entry.Id()))
        UI().Inform("Dieses Nahrungsmittel ist mit dem Eintrag bereits verknüpft.", MsgIcon::Information,
                    kCaption);
    FillFoodLinks();
}

void FrmLexikonEdit::cmdFoodUnlink_Click()
{
    QListWidgetItem* item = m_foods->currentItem();
    if (!m_editing || !item)
        return;
    RemoveFoodLink(WorkDb(), item->data(Qt::UserRole).toLongLong(), m_entry.SavedArea(), m_entry.Id());
    FillFoodLinks();
}

void FrmLexikonEdit::MarkChanged()
{
    if (!m_filling)
        m_changed = true;
}

bool FrmLexikonEdit::GatherForm()
{
    std::vector<LexiconSynonym> synonyms;
    for (int row = 0; row < m_keywordTable->rowCount(); ++row) {
        const QTableWidgetItem* item = m_keywordTable->item(row, 0);
        const std::string text = item ? S(item->text().trimmed()) : std::string();
        if (text.empty())
            continue;
        const auto* choice = qobject_cast<QComboBox*>(m_keywordTable->cellWidget(row, 1));
        synonyms.push_back({text, choice ? static_cast<long>(choice->currentData().toLongLong()) : 1L});
    }
    Decimal4 price;
    Decimal4 alcohol;
    const long area = m_entryArea->currentData().toLongLong();
    if (area == area::kWine) {
        for (auto [field, value, name] :
             {std::tuple{m_price, &price, "Preis"}, std::tuple{m_alcohol, &alcohol, "Alkoholgehalt"}})
            if (!ReadDecimal(field->text(), *value)) {
                UI().Inform(std::string("Der ") + name + " \"" + S(field->text()) +
                                "\" ist keine Zahl. Bitte eine Zahl wie 12,50 eingeben.",
                            MsgIcon::Warning, kCaption);
                field->setFocus();
                return false;
            }
    }
    m_entry.Synonyms() = std::move(synonyms);
    m_entry.Area(area);
    m_entry.Tree(S(m_node->currentData().toString()));
    const std::string text = S(m_entryText->toPlainText());
    if (area == area::kAdditives) {
        m_entry.ENumber = S(m_eNumber->text().trimmed());
        m_entry.Farbe = S(m_colour->text().trimmed());
        m_entry.EnthaltenIn = S(m_occursIn->text().trimmed());
        m_entry.Gefahr = m_danger->isChecked();
        m_entry.Info = text;
    } else if (area == area::kUtensils) {
        m_entry.Description = text;
    } else {
        m_entry.Text = text;
    }
    if (area == area::kWine) {
        m_entry.Label = S(m_label->text().trimmed());
        m_entry.Jahr = m_year->value();
        m_entry.Trauben = S(m_grapes->text().trimmed());
        m_entry.Rating = m_rating->value();
        m_entry.Preis = price;
        m_entry.Alkohol = alcohol;
        m_entry.Detail = S(m_origin->text().trimmed());
        m_entry.Degustation = S(m_tasting->text().trimmed());
    }
    return true;
}

void FrmLexikonEdit::cmdNeu_Click()
{
    if (!m_editing || !ConfirmLeave())
        return;
    long area = m_area->currentData().toLongLong();
    std::string node;
    // A node chosen on the left (or the node of the chosen entry) is where the new entry goes.
    for (QTreeWidgetItem* item = m_tree->currentItem(); item && !m_searchShown; item = item->parent())
        if (item->data(0, kNodeRole).isValid()) {
            node = S(item->data(0, kNodeRole).toString());
            break;
        }
    m_entry = LexiconEntry(area);
    m_entry.SetDB(WorkDb());
    m_entry.Tree(node);
    m_entry.Language(DefaultKeywordLanguage());
    m_entry.Synonyms().push_back({"", DefaultKeywordLanguage()});
    FillForm();
    m_deleteButton->setEnabled(false);
    m_keywordTable->setCurrentCell(0, 0);
    m_keywordTable->setFocus();
}

void FrmLexikonEdit::cmdSpeichern_Click()
{
    if (!m_editing || !GatherForm())
        return;
    if (!m_entry.Save(true)) {
        if (m_entry.LastError() == LexiconEntry::kRefusedDeclined)
            return;
        // Engine errors are in the error log; the user reads what it means for the entry.
        UI().Inform(
            m_entry.LastError() > 0
                ? "Der Eintrag \"" + m_entry.Name() +
                      "\" konnte nicht gespeichert werden. Die Einzelheiten stehen im Fehlerprotokoll."
                : m_entry.LastErrorText(),
            MsgIcon::Warning, kCaption);
        return;
    }
    m_changed = false;
    Refresh(m_entry.Area(), m_entry.Id());
}

void FrmLexikonEdit::cmdLoeschen_Click()
{
    if (!m_editing || m_entry.Id() <= 0)
        return;
    const long area = m_entry.Area();
    const long id = m_entry.Id();
    if (!m_entry.Delete(true)) {
        if (m_entry.LastError() != LexiconEntry::kRefusedDeclined)
            UI().Inform("Der Eintrag \"" + m_entry.Name() +
                            "\" konnte nicht gelöscht werden. Die Einzelheiten stehen im Fehlerprotokoll.",
                        MsgIcon::Warning, kCaption);
        return;
    }
    m_changed = false;
    if (!m_searchShown) {
        Refresh(area, 0);
        return;
    }
    // The other hits stay listed; the deleted entry leaves the list.
    const QSignalBlocker block(m_tree);
    while (QTreeWidgetItem* item = FindEntryItem(area, id))
        delete item;
    m_tree->setCurrentItem(nullptr);
    ClearEntry();
}

void FrmLexikonEdit::cmdBildLaden_Click()
{
    FileRequest request;
    request.Caption = "Bild für das Gerät wählen";
    request.Filter = "Bilder|*.jpg;*.jpeg;*.png;*.gif;*.bmp|Alle Dateien|*.*";
    request.Purpose = "Bild";
    const std::vector<std::string> files = UI().ChooseFiles(request);
    if (files.empty())
        return;
    if (!m_entry.LoadPicture(files.front())) {
        if (!m_entry.LastErrorText().empty())
            UI().Inform(m_entry.LastErrorText(), MsgIcon::Warning, kCaption);
        return;
    }
    ShowPicture();
    MarkChanged();
}

bool FrmLexikonEdit::ConfirmLeave()
{
    if (!m_editing || !m_changed)
        return true;
    const std::string name =
        m_entry.Name().empty() ? std::string("neuen Eintrag") : "\"" + m_entry.Name() + "\"";
    switch (UI().Ask("Die Änderungen an " + name + " sind nicht gespeichert. Jetzt speichern?",
                     Buttons::YesNoCancel, Answer::Yes, MsgIcon::Question, kCaption)) {
    case Answer::Yes:
        if (!GatherForm())
            return false;
        if (!m_entry.Save(false)) {
            UI().Inform(m_entry.LastError() > 0
                            ? "Der Eintrag konnte nicht gespeichert werden. Die Einzelheiten "
                              "stehen im Fehlerprotokoll."
                            : m_entry.LastErrorText(),
                        MsgIcon::Warning, kCaption);
            return false;
        }
        m_changed = false;
        return true;
    case Answer::No:
        m_changed = false;
        return true;
    default:
        return false;
    }
}

void FrmLexikonEdit::Refresh(long area, long id)
{
    {
        // The area list follows the entry; its signal would only show the same area again.
        const QSignalBlocker block(m_area);
        m_area->setCurrentIndex(std::max(0, m_area->findData(static_cast<qlonglong>(area))));
    }
    ShowArea(m_area->currentData().toLongLong());
    if (QTreeWidgetItem* item = id > 0 ? FindEntryItem(area, id) : nullptr) {
        m_tree->scrollToItem(item);
        m_tree->setCurrentItem(item);
    } else if (id > 0 && m_editing) {
        // Saved with keywords of another language group only: not in this list, still in the form.
        LexiconEntry saved;
        saved.SetDB(WorkDb());
        if (saved.LoadByID(area, id)) {
            m_entry = std::move(saved);
            FillForm();
        }
    }
}

QTreeWidgetItem* FrmLexikonEdit::FindEntryItem(long area, long id) const
{
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it)
        if ((*it)->data(0, kIdRole).isValid() && (*it)->data(0, kAreaRole).toLongLong() == area &&
            (*it)->data(0, kIdRole).toLongLong() == id)
            return *it;
    return nullptr;
}

void FrmLexikonEdit::closeEvent(QCloseEvent* event)
{
    bool leave = true;
    RunTrapped([&] { leave = ConfirmLeave(); });
    if (leave)
        event->accept();
    else
        event->ignore();
}

QMenu* FrmLexikonEdit::MakeContextMenu()
{
    auto* menu = new QMenu(this);
    menu->setObjectName("HideLexikon");
    const struct
    {
        const char* Command;
        const char* Caption;
    } commands[] = {
        {"HideLexikonPrintEinzeln", "&Eintrag drucken"},
        {"HideLexikonPrintFollowing", "Ab hier &folgende drucken"},
        {"HideLexikonPrintEnd", "Bis zum &Ende drucken"},
        {"HideLexikonPrintClipboard", "In die &Zwischenablage"},
        {"HideLexikonExportEinzeln", "Eintrag e&xportieren …"},
    };
    for (const auto& c : commands) {
        QAction* action = menu->addAction(c.Caption);
        action->setObjectName(c.Command);
        action->setEnabled(!EntriesFor(c.Command).empty() && Mainform::CommandAllowed(c.Command));
        const std::string command = c.Command;
        connect(action, &QAction::triggered, this,
                [this, command] { RunTrapped([this, command] { RunCommand(command); }); });
    }
    return menu;
}

std::vector<LexiconEntryKey> FrmLexikonEdit::EntriesFor(const std::string& command) const
{
    std::vector<LexiconEntryKey> keys;
    QTreeWidgetItem* current = m_tree->currentItem();
    if (!current)
        return keys;
    auto add = [&keys](const QTreeWidgetItem* item) {
        if (!item->data(0, kIdRole).isValid())
            return;
        const LexiconEntryKey key{item->data(0, kAreaRole).toLongLong(), item->data(0, kIdRole).toLongLong()};
        // Search hits can list an entry under several keywords; it is printed once.
        if (std::find(keys.begin(), keys.end(), key) == keys.end())
            keys.push_back(key);
    };
    const std::function<void(const QTreeWidgetItem*)> addAll = [&](const QTreeWidgetItem* item) {
        add(item);
        for (int i = 0; i < item->childCount(); ++i)
            addAll(item->child(i));
    };
    if (command == "HideLexikonPrintFollowing") {
        // The chosen entry and those after it in its group, with their own sub-groups.
        QTreeWidgetItem* parent = current->parent();
        const int count = parent ? parent->childCount() : m_tree->topLevelItemCount();
        const int from = parent ? parent->indexOfChild(current) : m_tree->indexOfTopLevelItem(current);
        for (int i = from; i < count; ++i)
            addAll(parent ? parent->child(i) : m_tree->topLevelItem(i));
    } else if (command == "HideLexikonPrintEnd") {
        for (QTreeWidgetItemIterator it(current); *it; ++it)
            add(*it);
    } else {
        add(current);
    }
    return keys;
}

void FrmLexikonEdit::RunCommand(const std::string& command)
{
    const std::vector<LexiconEntryKey> keys = EntriesFor(command);
    if (keys.empty())
        return;
    if (command == "HideLexikonPrintClipboard") {
        if (const std::optional<LexiconEntryView> view =
                ViewLexiconEntry(WorkDb(), keys[0].first, keys[0].second))
            UI().SetClipboardText(LexiconEntryText(*view));
    } else if (command == "HideLexikonExportEinzeln") {
        const std::optional<LexiconEntryView> view =
            ViewLexiconEntry(WorkDb(), keys[0].first, keys[0].second);
        if (!view)
            return;
        FileRequest request;
        request.Caption = "Lexikon-Eintrag exportieren";
        request.Filter = "Textdateien|*.txt|HTML-Seiten|*.html";
        request.InitialPath = view->Title + ".txt";
        request.Purpose = "Lexikon";
        request.Save = true;
        const std::vector<std::string> files = UI().ChooseFiles(request);
        if (files.empty())
            return;
        std::string problem;
        if (!ExportLexiconEntries(WorkDb(), keys, files.front(), problem))
            UI().Inform(problem, MsgIcon::Warning, kCaption);
    } else {
        const std::vector<LexiconEntryView> views = ViewLexiconEntries(WorkDb(), keys);
        if (views.empty())
            return;
        PreviewPrintout(this, views.size() == 1 ? "Lexikon - " + views.front().Title : std::string("Lexikon"),
                        [&views](PageCanvas& canvas) { PrintLexiconEntries(canvas, views); });
    }
}

} // namespace pf
