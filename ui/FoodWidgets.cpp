#include "ui/FoodWidgets.h"

#include "nutrition/FoodSearch.h"
#include "ui/UiSupport.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QTreeWidget>

namespace pf {

namespace {

constexpr int kIdRole = Qt::UserRole + 1;

constexpr const char* kMonths[12] = {"Jan", "Feb", "Mär", "Apr", "Mai", "Jun",
                                     "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};

} // namespace

QTreeWidget* MakeFoodList(const char* name, QWidget* parent)
{
    auto* list = Named(new QTreeWidget(parent), name);
    list->setHeaderLabels({"Nahrungsmittel", "BLS-Code"});
    list->setRootIsDecorated(false);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    FitHeaderTexts(list->header());
    RoomyRows(list);
    return list;
}

void FillFoodList(QTreeWidget* list, const std::vector<FoodHit>& hits, long keep)
{
    list->clear();
    QTreeWidgetItem* current = nullptr;
    for (const FoodHit& hit : hits) {
        auto* item = new QTreeWidgetItem(list, {Q(hit.Text), Q(hit.Code)});
        item->setData(0, kIdRole, static_cast<qlonglong>(hit.Id));
        if (!current && keep != 0 && hit.Id == keep)
            current = item;
    }
    list->setCurrentItem(current ? current : list->topLevelItem(0));
}

long FoodOfRow(const QTreeWidgetItem* item)
{
    return item ? static_cast<long>(item->data(0, kIdRole).toLongLong()) : 0;
}

QTableWidget* MakeValueGrid(const char* name, QWidget* parent)
{
    auto* grid = Named(new QTableWidget(0, 3, parent), name);
    grid->setHorizontalHeaderLabels({"Inhaltsstoff", "pro 100g", "Einheit"});
    grid->verticalHeader()->setVisible(false);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->setAlternatingRowColors(true);
    grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    grid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    grid->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    FitHeaderTexts(grid->horizontalHeader());
    grid->setMinimumHeight(120);
    return grid;
}

QGroupBox* MakeSeason(MonthBoxes& months, QWidget* parent)
{
    auto* season = Named(new QGroupBox("Saison", parent), "fraSaison");
    auto* grid = new QGridLayout(season);
    for (int i = 0; i < 12; ++i) {
        QCheckBox* month = MakeCheck(QString("chkMonat%1").arg(i + 1), Q(kMonths[i]), season);
        months[static_cast<std::size_t>(i)] = month;
        grid->addWidget(month, i / 6, i % 6);
    }
    return season;
}

void ShowSeason(const MonthBoxes& months, long season)
{
    for (std::size_t i = 0; i < months.size(); ++i)
        months[i]->setChecked((season >> i) & 1);
}

long SeasonOf(const MonthBoxes& months)
{
    long season = 0;
    for (std::size_t i = 0; i < months.size(); ++i)
        if (months[i]->isChecked())
            season |= 1L << i;
    return season;
}

} // namespace pf
