#pragma once
// Widgets the food windows share: the list of found foods (name and code, each row keeping the
// food's ID), the table of a food's values per 100 g, and the twelve months of its season. They
// only show what they are given.

#include <QString>

#include <array>
#include <vector>

class QCheckBox;
class QGroupBox;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace pf {

struct FoodHit;

QTreeWidget* MakeFoodList(const char* name, QWidget* parent);
// Lists the hits; the row of the food keep becomes current, else the first row.
void FillFoodList(QTreeWidget* list, const std::vector<FoodHit>& hits, long keep = 0);
// The food ID of a row, 0 for none.
long FoodOfRow(const QTreeWidgetItem* item);

// Three columns: "Inhaltsstoff", "pro 100g", "Einheit".
QTableWidget* MakeValueGrid(const char* name, QWidget* parent);

using MonthBoxes = std::array<QCheckBox*, 12>;
// The "Saison" box with one check box per month (chkMonat1 … chkMonat12); bit i of a season is
// month i+1.
QGroupBox* MakeSeason(MonthBoxes& months, QWidget* parent);
void ShowSeason(const MonthBoxes& months, long season);
long SeasonOf(const MonthBoxes& months);

} // namespace pf
