#include "ui/FrmLexikonEdit.h"

#include "db/DatabaseChoice.h"
#include "lexicon/LexiconAreas.h"
#include "lexicon/LexiconEntryView.h"
#include "lexicon/LexiconSearch.h"
#include "lexicon/LexiconTree.h"
#include "ui/ErrorTrap.h"
#include "ui/UiSupport.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <functional>

namespace pf {

namespace {

constexpr int kAreaRole = Qt::UserRole;
constexpr int kIdRole = Qt::UserRole + 1;

QTreeWidgetItem* EntryItem(long area, long id, const std::string& text)
{
    auto* item = new QTreeWidgetItem(QStringList{Q(text)});
    item->setData(0, kAreaRole, static_cast<qlonglong>(area));
    item->setData(0, kIdRole, static_cast<qlonglong>(id));
    return item;
}

} // namespace

FrmLexikonEdit::FrmLexikonEdit(QWidget* parent) : QWidget(parent)
{
    setObjectName("FrmLexikonEdit");
    CloseOnEscape(this);
    setWindowTitle("Lexikon");

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* areaLabel = new QLabel("&Bereich:", this);
    m_area = Named(new QComboBox(this), "cboBereich");
    for (long area : LexiconAreas())
        if (area != area::kFoods && area != area::kRecipes)
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
    auto* searchButton = MakeButton("cmdSuchen", "Su&chen", this);
    top->addWidget(searchButton);
    layout->addLayout(top);

    auto* splitter = new QSplitter(this);
    m_tree = Named(new QTreeWidget(splitter), "treLexikon");
    m_tree->setHeaderLabel("Einträge");
    m_tree->setMinimumWidth(220);
    auto* page = new QWidget(splitter);
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
    splitter->addWidget(m_tree);
    splitter->addWidget(page);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter, 1);

    connect(m_area, &QComboBox::currentIndexChanged, this,
            [this](int index) { RunTrapped([&] { ShowArea(m_area->itemData(index).toLongLong()); }); });
    connect(searchButton, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdSuchen_Click(); }); });
    connect(m_search, &QLineEdit::returnPressed, this, [this] { RunTrapped([this] { cmdSuchen_Click(); }); });
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { RunTrapped([&] { ItemChosen(item); }); });
    resize(720, 460);
    ShowArea(m_area->currentData().toLongLong());
}

void FrmLexikonEdit::ShowArea(long area)
{
    m_tree->clear();
    ClearEntry();
    LexiconTree tree;
    tree.Load(WorkDb(), area, LanguageGroupCondition(UserLanguageGroup()));
    const std::function<void(QTreeWidgetItem*, const std::string&)> fill = [&](QTreeWidgetItem* parent,
                                                                               const std::string& key) {
        for (const LexiconTreeNode* node : tree.Children(key)) {
            auto* item = new QTreeWidgetItem(QStringList{Q(node->Caption)});
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
    if (text.empty())
        return;
    LexiconResultTree result;
    LexiconSearch(WorkDb(), text, kLexiconAllAreas, result);
    m_tree->clear();
    ClearEntry();
    for (const LexiconAreaNode& root : result.Roots()) {
        auto* rootItem = new QTreeWidgetItem(QStringList{Q(root.Text)});
        m_tree->addTopLevelItem(rootItem);
        for (const LexiconHit& hit : root.Hits)
            rootItem->addChild(EntryItem(hit.Area, hit.Id, hit.Text));
        rootItem->setExpanded(true);
    }
    if (m_tree->topLevelItemCount() > 0)
        m_tree->setCurrentItem(m_tree->topLevelItem(0));
}

void FrmLexikonEdit::ItemChosen(QTreeWidgetItem* item)
{
    if (!item || !item->data(0, kIdRole).isValid()) {
        ClearEntry();
        return;
    }
    ShowEntry(item->data(0, kAreaRole).toLongLong(), item->data(0, kIdRole).toLongLong(), item->text(0));
}

void FrmLexikonEdit::ShowEntry(long area, long id, const QString& keyword)
{
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
}

} // namespace pf
