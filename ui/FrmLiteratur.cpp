#include "ui/FrmLiteratur.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "db/DatabaseChoice.h"
#include "model/ChoiceLists.h"
#include "ui/ErrorTrap.h"
#include "ui/FrmCatSelect.h"
#include "ui/FrmLiteraturGallery.h"
#include "ui/FrmLiteraturInhaltsverzeichnis.h"
#include "ui/UiSupport.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <map>

namespace pf {

namespace {

const char* const kCaption = "Literaturquellen";
constexpr int kCoverWidth = 150;
constexpr int kCoverHeight = 200;

// Selects the entry of id; an address the list does not offer (set inactive since) is added under
// its name, so that saving keeps it instead of dropping the reference.
void SelectData(QComboBox* box, long id, const std::string& name)
{
    int index = box->findData(QVariant::fromValue<qlonglong>(id));
    if (index < 0 && id > 0) {
        box->addItem(Q(name), QVariant::fromValue<qlonglong>(id));
        index = box->count() - 1;
    }
    box->setCurrentIndex(index >= 0 ? index : 0);
}

long DataOf(const QComboBox* box)
{
    return static_cast<long>(box->currentData().toLongLong());
}

long IdOf(const QTreeWidgetItem* item)
{
    return item ? static_cast<long>(item->data(0, Qt::UserRole).toLongLong()) : 0;
}

enum class Leave { Stay, Saved, Unchanged };

} // namespace

FrmLiteratur::FrmLiteratur(QWidget* parent) : QWidget(parent)
{
    setObjectName("FrmLiteratur");
    CloseOnEscape(this);
    setWindowTitle(kCaption);

    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    auto* filterRow = new QHBoxLayout;
    m_filter = Named(new QComboBox(this), "cboQuellen");
    auto* filterLabel = new QLabel("&Quellen:", this);
    filterLabel->setBuddy(m_filter);
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_filter, 1);
    left->addLayout(filterRow);
    m_list = Named(new QTreeWidget(this), "lstSources");
    m_list->setHeaderLabels({"Literaturquelle"});
    m_list->setRootIsDecorated(false);
    FitHeaderTexts(m_list->header());
    left->addWidget(m_list, 1);
    layout->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    auto* top = new QHBoxLayout;
    top->addLayout(BuildSourceForm(), 1);
    top->addLayout(BuildCover());
    right->addLayout(top);

    auto* lower = new QFormLayout;
    m_notes = Named(new QPlainTextEdit(this), "txtNotiz");
    lower->addRow("Noti&zen:", m_notes);
    m_recipes = Named(new QLabel(this), "lblRezepte");
    lower->addRow("Rezepte:", m_recipes);
    right->addLayout(lower, 1);

    auto* edit = new QHBoxLayout;
    auto* add = MakeButton("cmdNew", "&Neu", this);
    auto* save = MakeButton("cmdSave", "&Speichern", this);
    m_delete = MakeButton("cmdDelete", "&Löschen", this);
    auto* contents = MakeButton("cmdInhalt", "Inhaltsverzei&chnis", this);
    auto* gallery = MakeButton("cmdGalerie", "&Galerie", this);
    auto* close = MakeButton("cmdClose", "Schließen", this);
    edit->addWidget(add);
    edit->addWidget(save);
    edit->addWidget(m_delete);
    edit->addWidget(contents);
    edit->addWidget(gallery);
    edit->addStretch(1);
    edit->addWidget(close);
    right->addLayout(edit);
    layout->addLayout(right, 2);

    connect(m_list, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem* previous) {
                RunTrapped([&] { ListItemChanged(current, previous); });
            });
    connect(add, &QPushButton::clicked, this, Trapped(this, &FrmLiteratur::cmdNew_Click));
    connect(save, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdSave_Click(); }); });
    connect(m_delete, &QPushButton::clicked, this, Trapped(this, &FrmLiteratur::cmdDelete_Click));
    connect(contents, &QPushButton::clicked, this, Trapped(this, &FrmLiteratur::cmdInhalt_Click));
    connect(gallery, &QPushButton::clicked, this, Trapped(this, &FrmLiteratur::cmdGalerie_Click));
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    connect(m_filter, &QComboBox::activated, this, [this](int index) {
        RunTrapped([this, index] {
            if (index == m_filterShown)
                return;
            if (!MayLeave()) {
                m_filter->setCurrentIndex(m_filterShown);
                return;
            }
            m_filterShown = index;
            RefreshList(m_source.id());
        });
    });

    RunTrapped([this] {
        FillAddresses();
        m_filter->addItem("alle, nach Titel", QVariant::fromValue<qlonglong>(0));
        for (const Choice& choice : KindCategoryChoices(WorkDb()))
            m_filter->addItem(Q("Kategorie " + choice.Name), QVariant::fromValue<qlonglong>(choice.ID));
        RefreshList(0);
    });
}

// The fields of a source: title, year, issue, publisher, author, EAN, storage, lender, rating and
// categories.
QFormLayout* FrmLiteratur::BuildSourceForm()
{
    auto* form = new QFormLayout;
    m_title = Named(new QLineEdit(this), "txtTitle");
    m_title->setMaxLength(64);
    form->addRow("&Titel:", m_title);
    m_year = Named(new QSpinBox(this), "txtJahrgang");
    m_year->setRange(0, 999999);
    m_year->setSpecialValueText(" ");
    form->addRow("&Jahrgang:", m_year);
    m_issue = Named(new QLineEdit(this), "txtAusgabe");
    m_issue->setMaxLength(10);
    form->addRow("A&usgabe:", m_issue);
    m_publisher = Named(new QComboBox(this), "cboVerlag");
    form->addRow("&Verlag:", m_publisher);
    m_author = Named(new QComboBox(this), "cboAutor");
    form->addRow("Aut&or:", m_author);
    m_ean = Named(new QLineEdit(this), "txtEAN");
    // Room for an ISBN-13 with its four hyphens.
    m_ean->setMaxLength(17);
    m_ean->setToolTip("EAN oder ISBN; Bindestriche und Leerzeichen werden beim Speichern entfernt");
    form->addRow("&EAN/ISBN:", m_ean);
    m_storage = Named(new QLineEdit(this), "txtLagerort");
    m_storage->setMaxLength(16);
    form->addRow("Lage&rort:", m_storage);
    m_borrowed = Named(new QLineEdit(this), "txtVerliehen");
    m_borrowed->setMaxLength(32);
    form->addRow("Verliehen an:", m_borrowed);
    m_rating = Named(new QSpinBox(this), "txtBewertung");
    m_rating->setRange(0, 10);
    form->addRow("Be&wertung:", m_rating);
    auto* categoryRow = new QHBoxLayout;
    m_categories = Named(new QLabel(this), "lblKategorien");
    m_categories->setWordWrap(true);
    auto* chooseCategories = MakeButton("cmdKategorien", "&Kategorien …", this);
    categoryRow->addWidget(m_categories, 1);
    categoryRow->addWidget(chooseCategories);
    form->addRow("Kategorien:", categoryRow);
    connect(chooseCategories, &QPushButton::clicked, this, Trapped(this, &FrmLiteratur::cmdKategorien_Click));
    return form;
}

QVBoxLayout* FrmLiteratur::BuildCover()
{
    auto* coverColumn = new QVBoxLayout;
    m_cover = Named(new QLabel(this), "lblDeckblatt");
    m_cover->setFixedSize(kCoverWidth, kCoverHeight);
    m_cover->setAlignment(Qt::AlignCenter);
    m_cover->setFrameShape(QFrame::StyledPanel);
    auto* loadCover = MakeButton("cmdBildLaden", "&Bild laden …", this);
    m_removeCover = MakeButton("cmdBildEntfernen", "Bild entfernen", this);
    coverColumn->addWidget(m_cover);
    coverColumn->addWidget(loadCover);
    coverColumn->addWidget(m_removeCover);
    coverColumn->addStretch(1);
    connect(loadCover, &QPushButton::clicked, this, Trapped(this, &FrmLiteratur::cmdBildLaden_Click));
    connect(m_removeCover, &QPushButton::clicked, this, Trapped(this, &FrmLiteratur::cmdBildEntfernen_Click));
    return coverColumn;
}

void FrmLiteratur::FillAddresses()
{
    const auto addresses = m_source.AddressList();
    for (QComboBox* box : {m_publisher, m_author}) {
        box->clear();
        box->addItem("(keiner)", QVariant::fromValue<qlonglong>(0));
        for (const auto& address : addresses)
            box->addItem(Q(address.Text), QVariant::fromValue<qlonglong>(address.id));
    }
}

void FrmLiteratur::RefreshList(long sourceId)
{
    {
        const QSignalBlocker blocker(m_list);
        m_list->clear();
        QTreeWidgetItem* chosen = nullptr;
        const std::map<long, long> counts = m_source.RecipeCounts();
        const auto add = [&](QTreeWidgetItem* item, const std::string& text, long id) {
            const auto count = counts.find(id);
            const long recipes = count == counts.end() ? 0 : count->second;
            item->setText(0, Q(text));
            item->setToolTip(0,
                             Q(text) + "\n" +
                                 (recipes == 1 ? QString("1 Rezept") : QString("%1 Rezepte").arg(recipes)));
            item->setData(0, Qt::UserRole, QVariant::fromValue<qlonglong>(id));
            if (!chosen || id == sourceId)
                chosen = item;
        };
        const long category = DataOf(m_filter);
        // One category: its sources as a tree, the issues of a title grouped under the title.
        m_list->setRootIsDecorated(category != 0);
        if (category == 0) {
            for (const auto& entry : m_source.FillLiteraturlist())
                add(new QTreeWidgetItem(m_list), entry.Text, entry.id);
        } else {
            for (const auto& node : m_source.FillLiteraturTree(category)) {
                if (node.Children.empty()) {
                    add(new QTreeWidgetItem(m_list), node.Text, node.id);
                    continue;
                }
                // The title of several issues only groups them: it cannot be chosen itself.
                auto* group = new QTreeWidgetItem(m_list, {Q(node.Text)});
                group->setFlags(Qt::ItemIsEnabled);
                for (const auto& child : node.Children)
                    add(new QTreeWidgetItem(group), child.Text, child.id);
                group->setExpanded(true);
            }
        }
        m_list->setCurrentItem(chosen);
    }
    ShowSelected();
}

long FrmLiteratur::SelectedId() const
{
    return IdOf(m_list->currentItem());
}

void FrmLiteratur::ShowSelected()
{
    const long id = SelectedId();
    if (id == 0 || !m_source.Loadr(id))
        m_source.Void();
    m_title->setText(Q(m_source.Title()));
    m_year->setValue(static_cast<int>(m_source.Jahrgang()));
    m_issue->setText(Q(m_source.Ausgabe()));
    SelectData(m_publisher, m_source.VerlagID(), m_source.Verlag());
    SelectData(m_author, m_source.AutorID(), m_source.Autor());
    m_ean->setText(Q(clLiteratur::ISBNText(m_source.EAN())));
    m_storage->setText(Q(m_source.Storage()));
    m_borrowed->setText(Q(m_source.Borrowed()));
    m_rating->setValue(static_cast<int>(m_source.Rating()));
    m_notes->setPlainText(Q(m_source.Bemerkungen()));
    m_shownNotes = m_notes->toPlainText();
    m_recipes->setText(m_source.id() != 0 ? QString::number(m_source.RecipeCount()) : QString());
    m_delete->setEnabled(m_source.id() != 0);
    ShowCategories();
    ShowCover();
}

void FrmLiteratur::ShowCategories()
{
    std::map<long, std::string> names;
    for (const Choice& choice : KindCategoryChoices(WorkDb()))
        names[choice.ID] = choice.Name;
    QStringList shown;
    for (long id : m_source.Categories()) {
        const auto found = names.find(id);
        shown << (found != names.end() ? Q(found->second) : QString::number(id));
    }
    m_categories->setText(shown.isEmpty() ? QString("(keine)") : shown.join(", "));
}

void FrmLiteratur::ShowCover()
{
    const Blob& picture = m_source.DeckblattBild();
    QPixmap pixmap;
    if (picture.empty()) {
        m_cover->setText("Kein Bild");
    } else if (!pixmap.loadFromData(picture.data(), static_cast<uint>(picture.size()))) {
        m_cover->setText("Bild nicht lesbar");
    } else {
        m_cover->setPixmap(
            pixmap.scaled(m_cover->size() - QSize(4, 4), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    m_removeCover->setEnabled(!picture.empty());
}

void FrmLiteratur::TakeFields()
{
    m_source.SetTitle(S(m_title->text()));
    m_source.SetJahrgang(m_year->value());
    m_source.SetAusgabe(S(m_issue->text()));
    if (DataOf(m_publisher) != m_source.VerlagID())
        m_source.SetVerlagID(DataOf(m_publisher));
    if (DataOf(m_author) != m_source.AutorID())
        m_source.SetAutorID(DataOf(m_author));
    m_source.SetEAN(S(m_ean->text()));
    m_source.SetStorage(S(m_storage->text()));
    m_source.SetBorrowed(S(m_borrowed->text()));
    m_source.SetRating(m_rating->value());
    // The editor gives stored CR LF line ends back as LF: untouched notes stay as stored.
    if (m_notes->toPlainText() != m_shownNotes)
        m_source.SetBemerkungen(S(m_notes->toPlainText()));
}

bool FrmLiteratur::MayLeave()
{
    TakeFields();
    if (!m_source.IsChanged())
        return true;
    const Answer answer = UI().Ask("Sollen die Änderungen an der Literaturquelle \"" + m_source.Title() +
                                       "\" gespeichert werden?",
                                   Buttons::YesNoCancel, Answer::Yes, MsgIcon::Question, kCaption);
    if (answer == Answer::Cancel)
        return false;
    if (answer == Answer::No) {
        m_source.CancelChange();
        return true;
    }
    if (!m_source.Save()) {
        UI().Inform(m_source.LastErrorText(), MsgIcon::Warning, kCaption);
        return false;
    }
    return true;
}

void FrmLiteratur::ListItemChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous)
{
    const long shown = m_source.id();
    const bool wasChanged = (TakeFields(), m_source.IsChanged());
    if (!MayLeave()) {
        const QSignalBlocker blocker(m_list);
        m_list->setCurrentItem(previous);
        return;
    }
    if (wasChanged) {
        // The saved source's entry shows its new text; a new one joins the list (sorted on the
        // next reading).
        QTreeWidgetItem* entry = previous && IdOf(previous) == shown ? previous : nullptr;
        if (!entry && m_source.id() != 0 && shown == 0) {
            const QSignalBlocker blocker(m_list);
            entry = new QTreeWidgetItem(m_list);
            entry->setData(0, Qt::UserRole, QVariant::fromValue<qlonglong>(m_source.id()));
        }
        if (entry && m_source.id() != 0)
            entry->setText(0, Q(m_source.GetTitleText()));
    }
    (void)current;
    ShowSelected();
}

bool FrmLiteratur::OpenSource(long sourceId)
{
    if (!MayLeave())
        return false;
    RefreshList(sourceId);
    return true;
}

void FrmLiteratur::closeEvent(QCloseEvent* event)
{
    bool leave = true;
    RunTrapped([&] { leave = MayLeave(); });
    if (!leave) {
        event->ignore();
        return;
    }
    event->accept();
}

void FrmLiteratur::cmdNew_Click()
{
    if (!MayLeave())
        return;
    RefreshList(m_source.id());
    {
        const QSignalBlocker blocker(m_list);
        m_list->clearSelection();
        m_list->setCurrentItem(nullptr);
    }
    ShowSelected();
    m_title->setFocus();
}

bool FrmLiteratur::cmdSave_Click()
{
    TakeFields();
    if (!m_source.Save()) {
        UI().Inform(m_source.LastErrorText(), MsgIcon::Warning, kCaption);
        return false;
    }
    RefreshList(m_source.id());
    return true;
}

void FrmLiteratur::cmdDelete_Click()
{
    if (m_source.id() == 0)
        return;
    const long id = m_source.id();
    RefreshList(m_source.AskDelete() ? 0 : id);
}

void FrmLiteratur::cmdInhalt_Click()
{
    ShowBeside(this, new FrmLiteraturInhaltsverzeichnis(SelectedId()));
}

void FrmLiteratur::cmdGalerie_Click()
{
    // The gallery may outlive this window; then a click there opens a register of its own.
    QPointer<FrmLiteratur> self(this);
    ShowBeside(this, new FrmLiteraturGallery([self](long id) {
                   if (self)
                       RunTrapped([&] { self->OpenSource(id); });
                   return static_cast<bool>(self);
               }));
}

void FrmLiteratur::cmdKategorien_Click()
{
    if (const auto chosen = FrmCatSelect::ChooseCategories(this, m_source.Categories()))
        SetCategories(*chosen);
}

void FrmLiteratur::SetCategories(const std::vector<long>& chosen)
{
    m_source.SetCategories(chosen, chosen.empty() ? 0 : chosen.front());
    ShowCategories();
}

void FrmLiteratur::cmdBildLaden_Click()
{
    FileRequest request;
    request.Caption = "Deckblatt laden";
    request.Filter = "Bilder|*.jpg;*.jpeg;*.png;*.bmp;*.gif|Alle Dateien|*.*";
    request.Purpose = "Bild";
    const std::vector<std::string> files = UI().ChooseFiles(request);
    if (files.empty())
        return;
    const std::optional<Blob> bytes = LoadShownPicture(files.front(), kCaption);
    if (!bytes)
        return;
    m_source.SetDeckblattBild(*bytes);
    ShowCover();
}

void FrmLiteratur::cmdBildEntfernen_Click()
{
    m_source.SetDeckblattBild({});
    ShowCover();
}

} // namespace pf
