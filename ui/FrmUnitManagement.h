#pragma once
// The unit-management window: the program's unit table, editable in place (names in the three
// measure systems, factors, scaling flags, scale and nutrient units), and the list of recipe yield
// units with new, delete, rename, merge and duplicate removal. Unit edits stay in memory until
// the user agrees to save them on leaving; yield-unit commands are written at once.

#include <QWidget>

#include <functional>
#include <optional>
#include <string>

class QCloseEvent;
class QTableWidget;
class QTreeWidget;

namespace pf {

class ClUnit;
class Database;
class clsRecipeUnit;

class FrmUnitManagement : public QWidget
{
    Q_OBJECT
public:
    // Asks for a text (prompt, window title, preset text); nullopt when cancelled.
    using TextPrompt = std::function<std::optional<std::string>(
        const std::string& prompt, const std::string& title, const std::string& initial)>;

    // units and recipeUnits are the program's lists and must outlive the window; units is
    // writable while the window is open. Shows the compatibility warning.
    FrmUnitManagement(ClUnit& units, clsRecipeUnit& recipeUnits, QWidget* parent = nullptr);
    ~FrmUnitManagement() override;

    // Database the unit table was read from, for usage checks and for rereading the table when
    // changes are discarded; null is the work database.
    void SetDB(Database* db) { m_db = db; }
    // Replaces the text input dialog (tests).
    void SetTextPrompt(TextPrompt prompt) { m_prompt = std::move(prompt); }

    void cmdNewUnit_Click();
    void cmdDelUnit_Click();
    void cmdNewRecipeUnit_Click();
    void cmdDelRecipeUnit_Click();
    void cmdRenameRecipeUnit_Click();
    void cmdMergeRecipeUnit_Click();
    void cmdRemoveDuplicates_Click();

    // Fills the unit table and the yield-unit list from the lists.
    void FillUnits();
    void FillRecipeUnits();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Shows entry row + 1 in its row, which FillUnits has made.
    void ShowUnitRow(int row);
    // Takes an edited cell of the unit table into its entry.
    void UnitCellChanged(int row, int column);
    void ScaleUnitChosen(int row, int column, long unitId);
    // Index of the selected unit (1-based), 0 when none.
    int SelectedUnit() const;
    // Index of the selected yield unit (1-based), 0 when none.
    int SelectedRecipeUnit() const;
    void SelectRecipeUnit(int index);
    // Writes the yield-unit list; shows the reason when it failed.
    bool WriteRecipeUnits();
    // Asks whether to save changed units; false when the window must stay open.
    bool ConfirmLeave();
    std::optional<std::string> Prompt(const std::string& text, const std::string& title,
                                      const std::string& initial = {});
    Database& Db();

    ClUnit& m_units;
    clsRecipeUnit& m_recipeUnits;
    Database* m_db = nullptr;
    TextPrompt m_prompt;
    bool m_wasWritable = false;
    bool m_left = false;
    bool m_filling = false;
    QTableWidget* m_table = nullptr;
    QTreeWidget* m_recipeList = nullptr;
};

} // namespace pf
