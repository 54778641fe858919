#include "ui/FrmSynonymList.h"

#include "core/AppContext.h"
#include "nutrition/FoodSynonyms.h"
#include "ui/ErrorTrap.h"
#include "ui/FrmNaehrdataInfo.h"
#include "ui/FrmSynonym.h"
#include "ui/UiSupport.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace pf {

namespace {

constexpr int kIdRole = Qt::UserRole + 1;

} // namespace

FrmSynonymList::FrmSynonymList(Database& db, const FoodTables& tables, QWidget* parent)
    : QDialog(parent), m_db(db), m_tables(tables)
{
    setObjectName("FrmSynonymList");
    setWindowTitle("Nahrungsmittel mit Synonymen");
    auto* layout = new QVBoxLayout(this);
    m_list = Named(new QTreeWidget(this), "lstNahrungsmittel");
    m_list->setHeaderLabels({"Nahrungsmittel", "Synonyme"});
    m_list->setRootIsDecorated(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_list->header()->setStretchLastSection(true);
    FitHeaderTexts(m_list->header());
    RoomyRows(m_list);
    m_list->setMinimumHeight(200);
    layout->addWidget(m_list, 1);
    auto* buttons = new QHBoxLayout;
    QPushButton* edit = MakeButton("cmdBearbeiten", "Synonyme &bearbeiten …", this);
    QPushButton* properties = MakeButton("cmdEigenschaften", "&Eigenschaften …", this);
    QPushButton* close = MakeButton("cmdSchliessen", "Schlie&ßen", this);
    buttons->addWidget(edit);
    buttons->addWidget(properties);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(m_list, &QTreeWidget::itemActivated, this,
            [this] { RunTrapped([this] { cmdBearbeiten_Click(); }); });
    connect(edit, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdBearbeiten_Click(); }); });
    connect(properties, &QPushButton::clicked, this,
            [this] { RunTrapped([this] { cmdEigenschaften_Click(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    Fill();
    resize(560, 480);
}

void FrmSynonymList::Fill()
{
    const long current = CurrentFood();
    m_list->clear();
    for (const auto& [id, name] : FoodsWithSynonyms(m_db, AppContext::Current().LocaleLetter)) {
        std::string synonyms;
        for (const FoodSynonym& synonym : SynonymsOf(m_db, id))
            synonyms += (synonyms.empty() ? "" : ", ") + synonym.Text;
        auto* item = new QTreeWidgetItem(m_list, {Q(name), Q(synonyms)});
        item->setData(0, kIdRole, static_cast<qlonglong>(id));
        if (id == current)
            m_list->setCurrentItem(item);
    }
    if (!m_list->currentItem())
        m_list->setCurrentItem(m_list->topLevelItem(0));
}

long FrmSynonymList::CurrentFood() const
{
    const QTreeWidgetItem* item = m_list->currentItem();
    return item ? static_cast<long>(item->data(0, kIdRole).toLongLong()) : 0;
}

void FrmSynonymList::cmdBearbeiten_Click()
{
    if (const long food = CurrentFood()) {
        FrmSynonym dialog(m_db, food, {}, this);
        dialog.exec();
        Fill();
    }
}

void FrmSynonymList::cmdEigenschaften_Click()
{
    if (const long food = CurrentFood()) {
        FrmNaehrdataInfo dialog(m_db, m_tables, this);
        if (dialog.ShowFood(food))
            dialog.exec();
        Fill();
    }
}

} // namespace pf
