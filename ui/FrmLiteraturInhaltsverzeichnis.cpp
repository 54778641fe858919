#include "ui/FrmLiteraturInhaltsverzeichnis.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "literature/clLiteratur.h"
#include "ui/ErrorTrap.h"
#include "ui/FrmMenuData.h"
#include "ui/UiSupport.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace pf {

namespace {

// Recipe lines carry their recipe's ID; publisher and source lines carry none.
constexpr int kRecipeRole = Qt::UserRole + 1;

} // namespace

FrmLiteraturInhaltsverzeichnis::FrmLiteraturInhaltsverzeichnis(long source,
                                                               std::function<void(long)> openRecipe,
                                                               QWidget* parent)
    : QWidget(parent), m_source(source), m_openRecipe(std::move(openRecipe))
{
    setObjectName("FrmLiteraturInhaltsverzeichnis");
    CloseOnEscape(this);
    setWindowTitle("Literatur-Inhaltsverzeichnis");

    auto* layout = new QVBoxLayout(this);
    m_tree = Named(new QTreeWidget(this), "tvwInhalt");
    RoomyRows(m_tree);
    m_tree->setHeaderLabels({"Inhalt nach Seiten"});
    FitHeaderTexts(m_tree->header());
    layout->addWidget(m_tree, 1);
    auto* buttons = new QHBoxLayout;
    auto* open = MakeButton("cmdOpen", "&Rezept öffnen", this);
    auto* close = MakeButton("cmdClose", "Schließen", this);
    buttons->addWidget(open);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(open, &QPushButton::clicked, this, [this] { RunTrapped([this] { cmdOpen_Click(); }); });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this,
            [this] { RunTrapped([this] { cmdOpen_Click(); }); });
    connect(close, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    RunTrapped([this] { Refresh(); });
}

void FrmLiteraturInhaltsverzeichnis::Refresh()
{
    m_tree->clear();
    clLiteratur literature;
    // Pages are right-aligned in five characters: a fixed-width font keeps them in one column.
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (const auto& group : literature.FillLiteraturInhalt(0, m_source)) {
        auto* publisher = new QTreeWidgetItem(m_tree, {Q(group.Name)});
        for (const auto& source : group.Sources) {
            auto* sourceItem = new QTreeWidgetItem(publisher, {Q(source.Text)});
            for (const auto& recipe : source.Recipes) {
                auto* line = new QTreeWidgetItem(sourceItem, {Q(recipe.Text)});
                line->setData(0, kRecipeRole, QVariant::fromValue<qlonglong>(recipe.id));
                line->setFont(0, fixed);
            }
            sourceItem->setExpanded(m_source != 0);
        }
        publisher->setExpanded(true);
    }
    if (literature.LastError() != 0)
        UI().Inform(literature.LastErrorText(), MsgIcon::Critical, "Literatur-Inhaltsverzeichnis");
}

void FrmLiteraturInhaltsverzeichnis::cmdOpen_Click()
{
    const QTreeWidgetItem* item = m_tree->currentItem();
    if (!item || !item->data(0, kRecipeRole).isValid())
        return;
    const long id = static_cast<long>(item->data(0, kRecipeRole).toLongLong());
    if (m_openRecipe)
        m_openRecipe(id);
    else
        ShowBeside(this, new FrmMenuData(id, FrmMenuData::Start::Edit));
}

} // namespace pf
