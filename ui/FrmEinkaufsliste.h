#pragma once
// The shopping list window: recipes added from other windows or dropped onto it, each with its
// servings; the lines shown complete (equal ingredients added up) or per recipe, in one of four
// orders, by food class when asked; saved lists to choose from; the exchange text to and from the
// clipboard, spreadsheet rows, printing. The list itself and every rule live in planning/.

#include "planning/ClShoppingList.h"
#include "planning/ShoppingView.h"

#include <QWidget>

#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLayout;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace pf {

class PageCanvas;

class FrmEinkaufsliste : public QWidget
{
    Q_OBJECT
public:
    explicit FrmEinkaufsliste(QWidget* parent = nullptr);
    ~FrmEinkaufsliste() override;

    // The open shopping list window, null when there is none.
    static FrmEinkaufsliste* Current();
    // The open shopping list window brought to the front, or a new one shown beside from.
    static FrmEinkaufsliste* Open(QWidget* from);
    // Adds the recipe scaled to servings (0: its stored yield) and shows it.
    void AddRecipe(long recipeId, long servings = 0);

    ClShoppingList& List() { return m_list; }
    // The lines as shown now.
    const std::vector<ShoppingLine>& Shown() const { return m_shown; }
    ShoppingViewOptions Options() const;

    // Asks for a name, then saves under it.
    void cmdSave_Click();
    void SaveAs(const std::string& name);
    void cmdDelete_Click();
    void cmdEdit_Click();
    void cmdScale_Click();
    void cmdRecipeDel_Click();
    void cmdImport_Click();
    void cmdExport_Click();
    void cmdExcel_Click();
    void cmdPrint_Click();
    // Prints into a PDF file; false when it could not be written.
    bool WritePdf(const std::string& path);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QLayout* BuildTop();
    QWidget* BuildChoices();
    QWidget* BuildLines();
    QLayout* BuildBottom();
    void FillChooser();
    void FillRecipes(long selectRecipe);
    void FillShops();
    void RefreshView();
    // Warns when the list left out lines since it counted before lines left out.
    void WarnLinesLeftOut(int before);
    void ChooseList();
    // The recipe ID chosen in the recipe list; -1 when none is chosen.
    long ChosenRecipe() const;
    int ChosenSlot() const;
    bool PrintOn(PageCanvas& canvas);

    ClShoppingList m_list;
    std::vector<ShoppingLine> m_shown;
    std::vector<std::string> m_classes;
    std::string m_storeLocations;
    bool m_filling = false;

    QComboBox* m_chooser = nullptr;
    QListWidget* m_recipes = nullptr;
    QTableWidget* m_lines = nullptr;
    QRadioButton* m_complete = nullptr;
    QRadioButton* m_perRecipe = nullptr;
    QCheckBox* m_classColumn = nullptr;
    QCheckBox* m_classDetail = nullptr;
    QRadioButton* m_sort[4] = {};
    QComboBox* m_shop = nullptr;
    QPushButton* m_save = nullptr;
};

} // namespace pf
