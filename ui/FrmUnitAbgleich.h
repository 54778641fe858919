#pragma once
// The unit matching window, the step before a recipe's nutrient table: every ingredient line with
// its food and the grams it was converted to. The user can correct the grams or leave a line out;
// "Fortfahren" shows the nutrient table and, with "Lernen", offers to keep the corrected grams as
// the foods' units. Writes only what the user confirms there or in the table.

#include <QDialog>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QTableWidget;
class QTableWidgetItem;

namespace pf {

class Database;
class FoodTables;
class FrmNaehrdata;
class UnitMatching;

class FrmUnitAbgleich : public QDialog
{
    Q_OBJECT
public:
    enum Column { ColZutat = 0, ColNahrungsmittel, ColGramm, ColCount };

    FrmUnitAbgleich(Database& db, const FoodTables& tables, QWidget* parent = nullptr);
    ~FrmUnitAbgleich() override;

    void SetServings(long servings);
    // Loads and converts the recipe's lines; false when the recipe cannot be read.
    bool NextID(long recipeId);

    // How the nutrient table is shown: modally unless replaced (tests look at it instead).
    using TableShower = std::function<void(FrmNaehrdata&)>;
    void SetTableShower(TableShower shower) { m_showTable = std::move(shower); }

    // "Fortfahren": the nutrient table, then learning of corrected grams and the lines again.
    void cmdOK_Click();

    UnitMatching& Matching() { return *m_matching; }

    // The whole way from a recipe list: the unit matching of the recipe, modally; tells the user
    // when the database has no nutrient data.
    static void ShowForRecipe(long recipeId, QWidget* parent);

private:
    void FillLines();
    void ItemChanged(QTableWidgetItem* item);

    Database& m_db;
    const FoodTables& m_tables;
    std::unique_ptr<UnitMatching> m_matching;
    TableShower m_showTable;
    bool m_filling = false;
    QLabel* m_title = nullptr;
    QLabel* m_yield = nullptr;
    QTableWidget* m_lines = nullptr;
    QCheckBox* m_learn = nullptr;
};

} // namespace pf
