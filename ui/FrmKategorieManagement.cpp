#include "ui/FrmKategorieManagement.h"

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
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include <functional>
#include <map>

namespace pf {

namespace {

constexpr int kIdRole = Qt::UserRole;       // category ID, 0 on a kind node
constexpr int kKindRole = Qt::UserRole + 1; // kind of the node
constexpr int kNameRole = Qt::UserRole + 2; // plain name for the filter

QString UsageText(long count)
{
    return QString::number(count) + " x benutzt";
}

} // namespace

FrmKategorieManagement::FrmKategorieManagement(QWidget* parent) : QWidget(parent)
{
    setObjectName("FrmKategorieManagement");
    CloseOnEscape(this);
    setWindowTitle("Kategorien");

    auto* splitter = new QSplitter(this);

    // Left: filter and tree.
    auto* left = new QWidget(splitter);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    auto* filterRow = new QHBoxLayout;
    auto* filterLabel = new QLabel("&Suchen:", left);
    m_filter = new QLineEdit(left);
    m_filter->setObjectName("txtFilter");
    m_filter->setClearButtonEnabled(true);
    filterLabel->setBuddy(m_filter);
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_filter, 1);
    leftLayout->addLayout(filterRow);
    m_tree = new QTreeWidget(left);
    RoomyRows(m_tree);
    m_tree->setObjectName("tvwCategories");
    m_tree->setHeaderLabels({"Kategorie", "Verwendung"});
    m_tree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_tree->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_tree->header()->setStretchLastSection(false);
    FitHeaderTexts(m_tree->header());
    leftLayout->addWidget(m_tree, 1);

    // Right: the fields of the selected category and the commands.
    auto* right = new QWidget(splitter);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    auto* form = new QFormLayout;
    m_name = new QLineEdit(right);
    m_name->setObjectName("txtName");
    m_name->setMaxLength(static_cast<int>(ClCategory::kNameLength));
    form->addRow("Na&me:", m_name);
    m_kind = new QComboBox(right);
    m_kind->setObjectName("cboKind");
    form->addRow("Ar&t:", m_kind);
    m_parent = new QComboBox(right);
    m_parent->setObjectName("cboParent");
    m_parent->setEditable(true); // typing a name finds it among several hundred entries
    m_parent->setInsertPolicy(QComboBox::NoInsert);
    form->addRow("Ü&bergeordnet:", m_parent);
    m_country = new QCheckBox("Her&kunftsangabe (Land, Region)", right);
    m_country->setObjectName("chkCountry");
    form->addRow("", m_country);
    m_edit = new QCheckBox("zur &Erfassung freigegeben", right);
    m_edit->setObjectName("chkEdit");
    form->addRow("", m_edit);
    m_wpLevel = new QSpinBox(right);
    m_wpLevel->setObjectName("spnWPLevel");
    m_wpLevel->setRange(0, 9999);
    form->addRow("W&ochenplan-Ebene:", m_wpLevel);
    m_wpRepeat = new QSpinBox(right);
    m_wpRepeat->setObjectName("spnWPRepeat");
    m_wpRepeat->setRange(0, 32767);
    form->addRow("Wochenplan-&Wiederholung:", m_wpRepeat);
    m_usage = new QLabel(right);
    m_usage->setObjectName("lblUsage");
    form->addRow("Verwendung:", m_usage);
    rightLayout->addLayout(form);

    auto* commands = new QVBoxLayout;
    auto* add = MakeButton("cmdNew", "&Neu", right);
    m_save = MakeButton("cmdSave", "S&peichern", right);
    m_cancel = MakeButton("cmdCancel", "&Verwerfen", right);
    m_delete = MakeButton("cmdDelete", "&Löschen", right);
    m_merge = MakeButton("cmdMerge", "&Zusammenführen …", right);
    m_convert = MakeButton("cmdCountry", "In Herkunft &umwandeln", right);
    auto* close = MakeButton("cmdClose", "S&chließen", right);
    for (QPushButton* b : {add, m_save, m_cancel, m_delete, m_merge, m_convert})
        commands->addWidget(b);
    commands->addStretch(1);
    commands->addWidget(close);
    rightLayout->addLayout(commands, 1);

    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);

    connect(m_filter, &QLineEdit::textChanged, this, [this] { ApplyFilter(); });
    connect(m_filter, &QLineEdit::returnPressed, this, [this] { m_tree->setFocus(); });
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this] { RunTrapped([this] { TreeSelectionChanged(); }); });
    connect(add, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdNew_Click(); }); });
    connect(m_save, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdSave_Click(); }); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdCancel_Click(); }); });
    connect(m_delete, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdDelete_Click(); }); });
    connect(m_merge, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdMerge_Click(); }); });
    connect(m_convert, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdCountry_Click(); }); });
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    connect(m_name, &QLineEdit::returnPressed, this, [this] { RunTrapped([this] { cmdSave_Click(); }); });

    RefreshTree();
}

void FrmKategorieManagement::Report(const std::string& text)
{
    UI().Inform(text, MsgIcon::Warning, AppContext::Current().AppCaption);
}

void FrmKategorieManagement::RefreshTree(long selectID)
{
    m_filling = true;
    m_tree->clear();
    ClCategory reader;
    const std::vector<CategoryKind> kinds = reader.FillCatLevel();
    const std::vector<CategoryItem> all = reader.FillListbox();
    const std::map<long, long> usage = reader.UsageCounts();

    m_kind->clear();
    std::map<long, QTreeWidgetItem*> kindNodes;
    for (const CategoryKind& kind : kinds) {
        m_kind->addItem(Q(kind.CatTypeName), static_cast<qlonglong>(kind.CatTypeID));
        auto* node = new QTreeWidgetItem(m_tree, {Q(kind.CatTypeName)});
        node->setData(0, kIdRole, 0);
        node->setData(0, kKindRole, static_cast<qlonglong>(kind.CatTypeID));
        node->setData(0, kNameRole, Q(kind.CatTypeName));
        kindNodes[kind.CatTypeID] = node;
    }
    m_kind->addItem("<undefiniert>", 0);

    std::map<long, const CategoryItem*> byId;
    for (const CategoryItem& item : all)
        byId[item.ID] = &item;
    std::map<long, QTreeWidgetItem*> nodes;
    for (const CategoryItem& item : all) {
        auto* node = new QTreeWidgetItem({Q(item.Text)});
        node->setData(0, kIdRole, static_cast<qlonglong>(item.ID));
        node->setData(0, kKindRole, static_cast<qlonglong>(item.TypeID));
        const auto count = usage.find(item.ID);
        node->setText(1, UsageText(count == usage.end() ? 0 : count->second));
        node->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        nodes[item.ID] = node;
    }
    // Children under their parent; categories whose parent is missing count as top level.
    for (const CategoryItem& item : all) {
        QTreeWidgetItem* node = nodes[item.ID];
        node->setData(0, kNameRole, Q(item.Text));
        if (item.Parent != 0 && item.Parent != item.ID && nodes.count(item.Parent)) {
            nodes[item.Parent]->addChild(node);
            continue;
        }
        auto kind = kindNodes.find(item.TypeID);
        if (kind == kindNodes.end()) {
            auto* undefined = new QTreeWidgetItem(m_tree, {"<undefiniert>"});
            undefined->setData(0, kIdRole, 0);
            undefined->setData(0, kKindRole, 0);
            undefined->setData(0, kNameRole, "<undefiniert>");
            kind = kindNodes.emplace(item.TypeID, undefined).first;
        }
        kind->second->addChild(node);
    }
    m_filling = false;
    FillParentCombo();
    ApplyFilter();
    if (selectID == 0 || !SelectCategory(selectID)) {
        m_cat.Clear();
        ShowCategory();
    }
}

QTreeWidgetItem* FrmKategorieManagement::FindItem(long id) const
{
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it)
        if ((*it)->data(0, kIdRole).toLongLong() == id)
            return *it;
    return nullptr;
}

bool FrmKategorieManagement::SelectCategory(long id)
{
    QTreeWidgetItem* item = id != 0 ? FindItem(id) : nullptr;
    if (!item)
        return false;
    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent())
        p->setExpanded(true);
    m_tree->setCurrentItem(item);
    m_tree->scrollToItem(item);
    TreeSelectionChanged();
    return m_cat.id() == id;
}

void FrmKategorieManagement::TreeSelectionChanged()
{
    if (m_filling)
        return;
    const QTreeWidgetItem* item = m_tree->currentItem();
    const long id = item ? static_cast<long>(item->data(0, kIdRole).toLongLong()) : 0;
    if (id == 0) {
        m_newKind = item ? static_cast<long>(item->data(0, kKindRole).toLongLong()) : 0;
        m_cat.Clear();
    } else if (id != m_cat.id() || m_cat.newID()) {
        m_cat.LoadByID(id);
    }
    ShowCategory();
}

void FrmKategorieManagement::FillParentCombo()
{
    const bool was = m_filling;
    m_filling = true;
    m_parent->clear();
    m_parent->addItem("(keine)", 0);
    ClCategory reader;
    CategoryListFilter filter;
    filter.ExcludeID = m_cat.id();
    for (const CategoryItem& item : reader.FillListbox(filter))
        m_parent->addItem(Q(item.Text), static_cast<qlonglong>(item.ID));
    m_filling = was;
}

void FrmKategorieManagement::ShowCategory()
{
    m_filling = true;
    const bool stored = m_cat.id() != 0;
    m_name->setText(Q(m_cat.Description()));
    const long kind = stored ? m_cat.TypeID() : m_newKind;
    int kindIndex = m_kind->findData(static_cast<qlonglong>(kind));
    m_kind->setCurrentIndex(kindIndex >= 0 ? kindIndex : m_kind->findData(0));
    FillParentCombo();
    m_filling = true;
    const int parentIndex = m_parent->findData(static_cast<qlonglong>(m_cat.Parent()));
    m_parent->setCurrentIndex(parentIndex >= 0 ? parentIndex : 0);
    m_country->setChecked(m_cat.IsCountry());
    m_edit->setChecked(m_cat.IsEdit());
    m_wpLevel->setValue(static_cast<int>(m_cat.wplevel()));
    m_wpRepeat->setValue(static_cast<int>(m_cat.WPRepeat()));
    m_usage->setText(stored ? UsageText(m_cat.UsageCount()) : QString());
    m_filling = false;
    UpdateCommands();
}

void FrmKategorieManagement::UpdateCommands()
{
    const bool stored = m_cat.id() != 0;
    // A stored category changes between category and origin only through the conversion, which
    // adapts its recipes.
    m_country->setEnabled(!stored);
    m_delete->setEnabled(stored);
    m_merge->setEnabled(stored);
    m_convert->setEnabled(stored);
    m_convert->setText(m_cat.IsCountry() ? "In Kategorie &umwandeln" : "In Herkunft &umwandeln");
}

void FrmKategorieManagement::ApplyFilter()
{
    const QString text = m_filter->text().trimmed();
    // Post-order: a node stays visible when it matches or one of its children does.
    std::function<bool(QTreeWidgetItem*)> filter = [&](QTreeWidgetItem* item) {
        bool visible = false;
        for (int i = 0; i < item->childCount(); ++i)
            visible = filter(item->child(i)) || visible;
        const bool isCategory = item->data(0, kIdRole).toLongLong() != 0;
        if (text.isEmpty())
            visible = true;
        else if (isCategory && item->data(0, kNameRole).toString().contains(text, Qt::CaseInsensitive))
            visible = true;
        item->setHidden(!visible);
        if (!text.isEmpty() && visible && item->childCount() > 0)
            item->setExpanded(true);
        return visible;
    };
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
        filter(m_tree->topLevelItem(i));
}

void FrmKategorieManagement::cmdNew_Click()
{
    if (const QTreeWidgetItem* item = m_tree->currentItem())
        m_newKind = static_cast<long>(item->data(0, kKindRole).toLongLong());
    m_cat.Clear();
    ShowCategory();
    m_name->setFocus();
}

void FrmKategorieManagement::cmdSave_Click()
{
    const std::string name = m_name->text().trimmed().toStdString();
    if (name.empty()) {
        Report("Bitte einen Namen für die Kategorie eingeben.");
        m_name->setFocus();
        return;
    }
    if (!m_cat.IsNewNameOK(name)) {
        Report("Eine Kategorie mit dem Namen \"" + name + "\" gibt es bereits.");
        m_name->setFocus();
        return;
    }
    m_cat.SetDescription(name);
    m_cat.SetIsEdit(m_edit->isChecked());
    if (m_cat.id() == 0)
        m_cat.SetIsCountry(m_country->isChecked());
    m_cat.SetParent(static_cast<long>(m_parent->currentData().toLongLong()));
    m_cat.Setwplevel(m_wpLevel->value());
    m_cat.SetWPRepeat(m_wpRepeat->value());
    // A stored category writes its kind at once, so that comes after the checks of the save.
    const long kind = static_cast<long>(m_kind->currentData().toLongLong());
    if (m_cat.id() == 0)
        m_cat.SetTypeID(kind);
    if (!m_cat.Save() || !m_cat.SetTypeID(kind)) {
        Report(m_cat.LastErrorText());
        return;
    }
    RefreshTree(m_cat.id());
}

void FrmKategorieManagement::cmdCancel_Click()
{
    m_cat.CancelChange();
    ShowCategory();
}

void FrmKategorieManagement::cmdDelete_Click()
{
    if (m_cat.id() == 0)
        return;
    const long parent = m_cat.Parent();
    if (!m_cat.ConfirmDelete()) {
        if (m_cat.LastError() != 0)
            Report(m_cat.LastErrorText());
        return;
    }
    RefreshTree(parent);
}

void FrmKategorieManagement::cmdMerge_Click()
{
    if (m_cat.id() == 0)
        return;
    // Only a category of the same sort can take over the recipes: origins stay origins.
    CategoryListFilter filter;
    filter.ExcludeID = m_cat.id();
    filter.Country = m_cat.IsCountry();
    ClCategory reader;
    const std::vector<CategoryItem> targets = reader.FillListbox(filter);
    std::vector<std::string> texts;
    for (const CategoryItem& item : targets)
        texts.push_back(item.Text);
    const auto chosen = UI().ChooseItem(
        "Kategorie, die an die Stelle von \"" + m_cat.Description() + "\" treten soll:", texts,
        "Kategorien zusammenführen");
    if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(targets.size()))
        return;
    const long target = targets[static_cast<std::size_t>(*chosen)].ID;
    if (!m_cat.ConfirmMerge(target)) {
        if (m_cat.LastError() != 0)
            Report(m_cat.LastErrorText());
        return;
    }
    RefreshTree(target);
}

void FrmKategorieManagement::cmdCountry_Click()
{
    if (m_cat.id() == 0)
        return;
    const long id = m_cat.id();
    if (!m_cat.ConfirmSetCountry(!m_cat.IsCountry())) {
        if (m_cat.LastError() != 0)
            Report(m_cat.LastErrorText());
        return;
    }
    RefreshTree(id);
}

} // namespace pf
