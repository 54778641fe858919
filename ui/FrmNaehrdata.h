#pragma once
// The nutrient table window: nutrients per serving (or per 100 g of one food) with their
// dimensions, the weight they refer to, and for a recipe the lines left out with the reason. For a
// recipe the servings can be changed and a line without food can be given one by hand, which is
// stored on that ingredient line at once and the table calculated again. Reads the database
// otherwise.

#include "core/Decimal4.h"
#include "nutrition/NutrientTable.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTreeWidget;

namespace pf {

class Database;
class FoodTables;
class UnitMatching;

class FrmNaehrdata : public QDialog
{
    Q_OBJECT
public:
    FrmNaehrdata(Database& db, const FoodTables& tables, QWidget* parent = nullptr);
    ~FrmNaehrdata() override;

    // One food or line at a time, as the food browser adds a single food (100 g).
    void SetServings(long servings);
    void AddItems(const std::string& key, Decimal4 grams);
    // Fills the table; false (after telling the user) when there is nothing to show.
    bool ShowItems();

    // The table of a recipe from its converted lines; matching must outlive the window. Lines
    // matched by hand reload it.
    bool ShowRecipe(UnitMatching& matching);

    // Gives the chosen left-out line a food, stores it and calculates the table again: the
    // automatic match, and when that finds nothing the food selection dialog. A food picked by
    // hand can be learned as a synonym of the line's text.
    void cmdZuordnen_Click();

    // "Drucken": the print preview of the table as shown, with the lines left out.
    void cmdDrucken_Click();
    // The text of each line the calculation left out and why; empty for a single food.
    std::vector<std::pair<std::string, std::string>> LeftOutLines() const;

    const NutrientTable& Table() const { return *m_table; }

private:
    void Recalculate();
    void Fill();
    void FillLeftOut();

    Database& m_db;
    const FoodTables& m_tables;
    std::unique_ptr<NutrientTable> m_table;
    UnitMatching* m_matching = nullptr;
    QLabel* m_weight = nullptr;
    QLabel* m_servingsLabel = nullptr;
    QSpinBox* m_servings = nullptr;
    QTableWidget* m_grid = nullptr;
    QLabel* m_leftOutCaption = nullptr;
    QTreeWidget* m_leftOut = nullptr;
    QPushButton* m_assign = nullptr;
};

} // namespace pf
