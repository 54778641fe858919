#pragma once
// The recipe editor: head data, ingredient lines, instructions, notes and pictures of one recipe.
// Every edit goes straight into the window's ClRecipe; only the save commands write to the work
// database, after the editor's checks. Closing a window with unsaved edits asks whether to save
// them; the window never writes on its own.

#include "model/ClRecipe.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QTableWidgetItem;
class QTimeEdit;

namespace pf {

class FrmMenuData : public QWidget
{
    Q_OBJECT
public:
    enum class Start {
        Edit,         // the recipe itself (0: a new recipe)
        FromTemplate, // an unsaved copy of the recipe (a template) that saves as a new recipe
        ChildCopy     // the recipe, whose first save stores a new child of it and leaves it as it was
    };
    // Columns of the ingredient grid.
    enum Column {
        ColMenge = 0,
        ColEinheit,
        ColZutat,
        ColVerarbeitung,
        ColZubereitung,
        ColLebensmittel,
        ColCount
    };

    explicit FrmMenuData(long recipeId, QWidget* parent = nullptr);
    FrmMenuData(long recipeId, Start start, QWidget* parent = nullptr);
    ~FrmMenuData() override;

    ClRecipe& Recipe() { return m_recipe; }
    // True once the user changed anything since the last load or save.
    bool HasUnsavedChanges() const { return m_dirty; }

    // The category and country choosers (the chooser dialog by default); tests replace them.
    using CategoryChooser = std::function<std::optional<std::vector<long>>(QWidget*, std::vector<long>)>;
    using OriginChooser = std::function<std::optional<long>(QWidget*, long)>;
    void SetCategoryChooser(CategoryChooser chooser) { m_chooseCategories = std::move(chooser); }
    void SetOriginChooser(OriginChooser chooser) { m_chooseOrigin = std::move(chooser); }

    // Commands; the save commands return true when the recipe was stored.
    bool cmdSave_Click();
    bool cmdSaveTemplate_Click();
    bool cmdSaveChild_Click();
    void cmdStatus_Click();
    void cmdScale_Click();
    // The nutrient calculation of the recipe as stored (saves pending edits first, when the user agrees).
    void cmdNutrients_Click();
    void cmdAddCategory_Click();
    void cmdDelCategory_Click();
    void cmdPrimaryCategory_Click();
    void cmdChooseOrigin_Click();
    void cmdInsertLine_Click();
    void cmdDeleteLine_Click();
    void cmdMoveLine_Click(int delta);
    void cmdSeparator_Click();
    void cmdRecipeReference_Click();
    // Looks up the current line's ingredient text among the foods (and recipes) and lets the user
    // choose the food the line stands for, or take its food away.
    void cmdFindFood_Click();
    // The information page of the chosen line's food (Shift+F4, context menu of the lines).
    void cmdFoodInfo_Click();
    void cmdAddPicture_Click();
    void cmdDelPicture_Click();
    void cmdShowPicture_Click();

    // Shows the recipe's data again (after a scaling or a save).
    void ShowRecipe();
    // The status text of the completeness check.
    QString StatusText();

signals:
    void recipeSaved(long id);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Build();
    QWidget* BuildHeadTab();
    QGroupBox* BuildRecipeBox(QWidget* page);
    QGroupBox* BuildSourceBox(QWidget* page);
    QGroupBox* BuildKeepBox(QWidget* page);
    QGroupBox* BuildCategoryBox(QWidget* page);
    QWidget* BuildIngredientTab();
    QWidget* BuildTextTab();
    QWidget* BuildPictureTab();
    void Connect();
    void FillLists();
    void ShowHead();
    void ShowCategories();
    void ShowBooks();
    void ShowTools();
    void ShowLines();
    void ShowLine(int row);
    void ShowPictures();
    void UpdateCaption();
    void MarkDirty();
    void LineItemChanged(QTableWidgetItem* item);
    void BooksChanged();
    void ToolItemChanged(QListWidgetItem* item);
    // Drops ordinary lines the user left completely empty.
    void DropEmptyLines();
    bool SaveChecked(bool asChild);
    // True when the logged-in user may store the recipe shown.
    bool MaySave() const;
    int CurrentLine() const;
    void SelectLine(int row);
    std::string OriginText() const;
    std::string YieldUnitText() const;
    void AfterSave();

    ClRecipe m_recipe;
    bool m_filling = false;
    bool m_dirty = false;
    long m_childOf = 0; // the recipe a child copy started from, until its first save
    bool m_hasTools = false;
    CategoryChooser m_chooseCategories;
    OriginChooser m_chooseOrigin;

    QTabWidget* m_tabs = nullptr;
    QLineEdit* m_title = nullptr;
    QLineEdit* m_menuCard = nullptr;
    QSpinBox* m_yield = nullptr;
    QComboBox* m_yieldUnit = nullptr;
    QComboBox* m_language = nullptr;
    QComboBox* m_origin = nullptr;
    QListWidget* m_categories = nullptr;
    QListWidget* m_books = nullptr;
    QListWidget* m_tools = nullptr;
    QWidget* m_toolBox = nullptr;
    QComboBox* m_literature = nullptr;
    QSpinBox* m_page = nullptr;
    QLineEdit* m_sourceText = nullptr;
    QSpinBox* m_storage[3] = {};
    QTimeEdit* m_preparation = nullptr;
    QTimeEdit* m_cooking = nullptr;
    QTableWidget* m_lines = nullptr;
    QPlainTextEdit* m_instructions = nullptr;
    QPlainTextEdit* m_notes = nullptr;
    QLineEdit* m_wine = nullptr;
    QListWidget* m_pictures = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_saveChild = nullptr;
};

} // namespace pf
