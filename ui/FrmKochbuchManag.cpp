#include "ui/FrmKochbuchManag.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "ui/ErrorTrap.h"
#include "ui/UiSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace pf {

namespace {

// Reserved views have no row: they can be chosen, but neither edited nor deleted.
bool IsRealBook(long id)
{
    return id > clBook::kBaseBook;
}

} // namespace

FrmKochbuchManag::FrmKochbuchManag(std::function<void()> activeBookChanged, QWidget* parent)
    : QWidget(parent), m_activeBookChanged(std::move(activeBookChanged))
{
    setObjectName("FrmKochbuchManag");
    CloseOnEscape(this);
    setWindowTitle("Kochbücher");

    auto* layout = new QHBoxLayout(this);
    m_list = new QTreeWidget(this);
    RoomyRows(m_list);
    m_list->setObjectName("lstBooks");
    m_list->setHeaderLabels({"Kochbuch", "Rezepte"});
    m_list->setRootIsDecorated(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_list->header()->setStretchLastSection(false);
    FitHeaderTexts(m_list->header());
    layout->addWidget(m_list, 1);

    auto* right = new QVBoxLayout;
    auto* form = new QFormLayout;
    m_title = new QLineEdit(this);
    m_title->setObjectName("txtTitle");
    m_title->setMaxLength(100);
    form->addRow("Titel:", m_title);
    m_description = new QPlainTextEdit(this);
    m_description->setObjectName("txtDescription");
    form->addRow("Beschreibung:", m_description);
    m_created = new QLabel(this);
    m_created->setObjectName("lblCreated");
    form->addRow("Erstellt am:", m_created);
    m_modified = new QLabel(this);
    m_modified->setObjectName("lblModified");
    form->addRow("Geändert am:", m_modified);
    right->addLayout(form);

    auto* edit = new QHBoxLayout;
    auto* add = MakeButton("cmdNew", "&Neu", this);
    m_save = MakeButton("cmdSave", "&Speichern", this);
    edit->addWidget(add);
    edit->addWidget(m_save);
    edit->addStretch(1);
    right->addLayout(edit);

    auto* remove = new QHBoxLayout;
    m_delete = MakeButton("cmdDelete", "&Löschen", this);
    m_discardRecipes = new QCheckBox("&Rezepte, die nur in diesem Kochbuch sind, ebenfalls löschen", this);
    m_discardRecipes->setObjectName("chkDiscardRecipes");
    remove->addWidget(m_delete);
    remove->addWidget(m_discardRecipes, 1);
    right->addLayout(remove);

    auto* transfer = new QHBoxLayout;
    transfer->addWidget(new QLabel("Alle Rezepte", this));
    m_copy = MakeButton("cmdCopy", "k&opieren", this);
    m_move = MakeButton("cmdMove", "&verschieben", this);
    transfer->addWidget(m_copy);
    transfer->addWidget(m_move);
    transfer->addWidget(new QLabel("nach", this));
    m_target = new QComboBox(this);
    m_target->setObjectName("cboTarget");
    transfer->addWidget(m_target, 1);
    right->addLayout(transfer);

    right->addStretch(1);
    auto* bottom = new QHBoxLayout;
    auto* active = MakeButton("cmdActive", "Als aktives &Kochbuch wählen", this);
    auto* close = MakeButton("cmdClose", "Schließen", this);
    bottom->addWidget(active);
    bottom->addStretch(1);
    bottom->addWidget(close);
    right->addLayout(bottom);
    layout->addLayout(right, 2);

    connect(m_list, &QTreeWidget::currentItemChanged, this,
            [this] { RunTrapped([this] { ShowSelected(); }); });
    connect(add, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdNew_Click(); }); });
    connect(m_save, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdSave_Click(); }); });
    connect(m_delete, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdDelete_Click(); }); });
    connect(m_copy, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdCopy_Click(); }); });
    connect(m_move, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdMove_Click(); }); });
    connect(active, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdActive_Click(); }); });
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });

    RunTrapped([this] { RefreshList(AppContext::Current().ActiveBookId); });
}

void FrmKochbuchManag::RefreshList(long bookId)
{
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    clBook books;
    QTreeWidgetItem* selected = nullptr;
    for (const clBook::ListItem& entry : books.GetBooklist2List(true)) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, QString::fromStdString(entry.Text));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(0, Qt::UserRole, QVariant::fromValue<qlonglong>(entry.id));
        if (entry.id == bookId)
            selected = item;
    }
    if (!selected && m_list->topLevelItemCount() > 0)
        selected = m_list->topLevelItem(0);
    m_list->setCurrentItem(selected);
    ShowSelected();
    const int generation = ++m_generation;
    QTimer::singleShot(0, this, [this, generation] { RunTrapped([&] { CountNext(generation); }); });
}

void FrmKochbuchManag::CountNext(int generation)
{
    if (generation != m_generation)
        return;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_list->topLevelItem(i);
        if (!item->data(1, Qt::UserRole).isNull())
            continue;
        clBook books;
        const long count = books.RezCount(static_cast<long>(item->data(0, Qt::UserRole).toLongLong()));
        item->setText(1, count < 0 ? QString() : QString::number(count));
        item->setData(1, Qt::UserRole, true);
        QTimer::singleShot(0, this, [this, generation] { RunTrapped([&] { CountNext(generation); }); });
        return;
    }
}

long FrmKochbuchManag::SelectedId() const
{
    const QTreeWidgetItem* item = m_list->currentItem();
    return item ? static_cast<long>(item->data(0, Qt::UserRole).toLongLong()) : clBook::kNoBook;
}

long FrmKochbuchManag::TargetId() const
{
    return m_target->currentIndex() < 0 ? clBook::kNoBook
                                        : static_cast<long>(m_target->currentData().toLongLong());
}

void FrmKochbuchManag::ShowSelected()
{
    const long id = SelectedId();
    if (id == clBook::kNoBook)
        m_book.Void();
    else
        m_book.LoadByID(id);
    m_title->setText(QString::fromStdString(m_book.Title()));
    m_description->setPlainText(QString::fromStdString(m_book.Description()));
    m_created->setText(DateTimeCell(m_book.DateCreated()));
    m_modified->setText(DateTimeCell(m_book.DateModified()));
    const bool real = IsRealBook(id);
    m_title->setReadOnly(!real && id != clBook::kNoBook);
    m_description->setReadOnly(!real && id != clBook::kNoBook);
    m_save->setEnabled(real || id == clBook::kNoBook);
    m_delete->setEnabled(real);
    m_discardRecipes->setEnabled(real);
    // The duplicates are real membership rows and may be rescued into a cookbook.
    const bool transferable = real || id == clBook::kDuplicates;
    m_copy->setEnabled(transferable);
    m_move->setEnabled(transferable);
    FillTargets();
}

void FrmKochbuchManag::FillTargets()
{
    const long previous = TargetId();
    m_target->clear();
    const long id = SelectedId();
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = m_list->topLevelItem(i);
        const long bookId = static_cast<long>(item->data(0, Qt::UserRole).toLongLong());
        if (IsRealBook(bookId) && bookId != id)
            m_target->addItem(item->text(0), QVariant::fromValue<qlonglong>(bookId));
    }
    const int index = m_target->findData(QVariant::fromValue<qlonglong>(previous));
    if (index >= 0)
        m_target->setCurrentIndex(index);
}

void FrmKochbuchManag::cmdNew_Click()
{
    {
        const QSignalBlocker blocker(m_list);
        m_list->clearSelection();
        m_list->setCurrentItem(nullptr);
    }
    ShowSelected();
    m_title->setFocus();
}

void FrmKochbuchManag::cmdSave_Click()
{
    const std::string title = m_title->text().trimmed().toStdString();
    const std::string description = m_description->toPlainText().trimmed().toStdString();
    const std::string caption = AppContext::Current().AppCaption;
    if (title.empty() || description.empty()) {
        UI().Inform("Ein Kochbuch muss einen Namen und eine kurze Beschreibung erhalten !",
                    MsgIcon::Information, caption);
        return;
    }
    m_book.SetTitle(title);
    m_book.SetDescription(description);
    if (!m_book.Save()) {
        UI().Inform(m_book.LastErrorText(), MsgIcon::Critical, caption);
        return;
    }
    AppContext& app = AppContext::Current();
    if (app.ActiveBookId == m_book.id() && app.ActiveBookTitle != m_book.Title()) {
        app.ActiveBookTitle = m_book.Title();
        if (m_activeBookChanged)
            m_activeBookChanged();
    }
    RefreshList(m_book.id());
}

void FrmKochbuchManag::cmdDelete_Click()
{
    const long id = SelectedId();
    if (!IsRealBook(id))
        return;
    if (m_book.AskDelete(m_discardRecipes->isChecked()) < 0) {
        RefreshList(id);
        return;
    }
    // A deleted cookbook cannot stay the active one.
    AppContext& app = AppContext::Current();
    if (app.ActiveBookId == id) {
        app.ActiveBookId = clBook::kBaseBook;
        app.ActiveBookTitle = clBook::DefaultName(clBook::kBaseBook);
        if (m_activeBookChanged)
            m_activeBookChanged();
    }
    RefreshList(clBook::kBaseBook);
}

void FrmKochbuchManag::cmdCopy_Click()
{
    const long id = SelectedId();
    if (m_book.AskAddToNewBook(TargetId()) >= 0)
        RefreshList(id);
}

void FrmKochbuchManag::cmdMove_Click()
{
    const long id = SelectedId();
    if (m_book.AskMove(TargetId()) >= 0)
        RefreshList(id);
}

void FrmKochbuchManag::cmdActive_Click()
{
    if (SelectedId() == clBook::kNoBook)
        return;
    AppContext& app = AppContext::Current();
    app.ActiveBookId = m_book.id();
    app.ActiveBookTitle = m_book.Title();
    if (m_activeBookChanged)
        m_activeBookChanged();
}

} // namespace pf
