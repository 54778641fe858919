#pragma once
// The search and display window: criteria on the left (words, ingredients, categories, origins,
// languages, yield unit, utensils, cookbooks, literature, special lists, search templates), the
// result list in the middle (title, picture mark, derived recipes below their parent) and the
// selected recipe on the right as a cook reads it. The search itself, the templates and the
// context-menu actions are the logic of search/; the window gathers input and shows results.

#include "model/ChoiceLists.h"
#include "model/RecipeChanges.h"
#include "search/ClSearch.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

namespace pf {

class RecipeActions;

class FrmSearchandDisplay : public QWidget
{
    Q_OBJECT
public:
    enum class Mode {
        Search,     // the criteria, empty result
        Templates,  // the template recipes, opened as a new recipe from the template
        Trash,      // the recipes in the trash (cookbook -3)
        Duplicates, // the recipes set aside as duplicates (cookbook -2)
    };
    // Result list columns.
    enum Column { ColTitle = 0, ColPicture, ColCount };

    explicit FrmSearchandDisplay(Mode mode = Mode::Search, QWidget* parent = nullptr);
    ~FrmSearchandDisplay() override;

    Mode WindowMode() const { return m_mode; }
    // Runs the search of the criteria on screen; false when nothing was found.
    bool cmdSearch_Click();
    // The criteria on screen as search data, and back.
    std::string SearchData() const;
    void ApplySearchData(const std::string& searchData);
    // Lists the content of a cookbook (the base cookbook: every recipe) under the caller's caption.
    void ShowCookbook(long bookID, const std::string& caption);
    // Lists the recipes of one import run (by their import date) under the caller's caption.
    void ShowImportResult(DateSerial importDate, const std::string& caption);
    // Shows a recipe in the display pane.
    void ShowRecipe(long id);
    // Opens the selected recipe in the editor (from the trash after the question).
    void OpenSelected();
    // The IDs of the selected results, in list order.
    std::vector<long> SelectedIDs() const;
    // Runs a context-menu command on the selection.
    void RunCommand(const std::string& command);
    // The picture commands of the context menu: add a picture file to the recipe, or save its first
    // picture as a file.
    void ImportPicture(long id);
    void ExportPicture(long id);
    // The context menu for the current selection (the caller owns it).
    QMenu* MakeContextMenu();
    long ResultCount() const { return static_cast<long>(m_search.Hits().size()); }
    bool TemplatesFound() const { return m_mode != Mode::Templates || !m_search.Hits().empty(); }

    // How a recipe is opened, and where text and choices come from; tests replace them.
    using OpenRecipe = std::function<void(long id, bool fromTemplate)>;
    using AskText = std::function<std::optional<std::string>(
        const std::string& prompt, const std::string& caption, const std::string& text)>;
    void SetOpenRecipe(OpenRecipe open) { m_openRecipe = std::move(open); }
    void SetAskText(AskText ask) { m_askText = std::move(ask); }

    // Templates: save under a name (asking), delete and make default the selected one.
    void cmdTemplateSave_Click();
    void cmdTemplateDelete_Click();
    void cmdTemplateDefault_Click();
    void cmdTemplateLoad_Click();

private:
    std::optional<long> ChooseBook();
    std::optional<long> ChooseCategory();
    std::optional<bool> RunChangeCommand(const std::string& command, const std::vector<long>& ids,
                                         RecipeActions& actions);
    std::optional<bool> RunWindowCommand(const std::string& command, const std::vector<long>& ids);
    std::optional<bool> RunListCommand(const std::string& command, const std::vector<long>& ids,
                                       RecipeActions& actions);
    // Reads the list again; the selection stays on the recipes that are still listed.
    void ReadListAgain();
    bool RunSearch(bool tellWhenNothingFound);
    // The search panel: the word row, one tab per group of criteria, the sort order.
    QWidget* BuildCriteria();
    QWidget* BuildTextTab();
    QWidget* BuildCategoryTab();
    QWidget* BuildMoreTab();
    QWidget* BuildSpecialTab();
    QWidget* BuildTemplateTab();
    QWidget* BuildResults();
    QWidget* BuildDisplay();
    void FillLists();
    void FillTemplates();
    void FillSpecialValues();
    void ResetCriteria();
    void StartMode();
    void RunSearchData(const std::string& searchData, long bookID);
    void ShowResultList(bool fromTrash);
    void AddHits(const std::vector<SearchHit>& batch);
    void FinishTree();
    void CurrentChanged();
    void ItemExpanded(QTreeWidgetItem* item);
    void AddIngredient();
    // An ingredient criterion by food: the food is looked up by the typed text and chosen from a list.
    void AddFood();
    void RemoveIngredient();
    void UpdateSpecialValue();
    std::optional<std::string> Ask(const std::string& prompt, const std::string& caption,
                                   const std::string& text);
    // Shows another window inside the main window's area when this one sits there, else alone.
    void ShowBeside(QWidget* window);
    std::optional<long> ChooseFromList(const std::string& prompt, const ChoiceList& rows);
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Follows recipes saved, deleted or restored anywhere in the program.
    void RecipesChanged(const RecipeChange& change);

    Mode m_mode;
    ClSearch m_search;
    bool m_running = false;
    bool m_trashList = false;
    OpenRecipe m_openRecipe;
    AskText m_askText;

    QTabWidget* m_tabs = nullptr;
    QLineEdit* m_words = nullptr;
    QCheckBox* m_beginning = nullptr;
    QCheckBox* m_negate = nullptr;
    QCheckBox* m_anyWord = nullptr;
    QCheckBox* m_instructions = nullptr;
    QListWidget* m_ingredients = nullptr;
    QCheckBox* m_allIngredients = nullptr;
    QCheckBox* m_negateIngredients = nullptr;
    QListWidget* m_categories = nullptr;
    QRadioButton* m_allCategories = nullptr;
    QRadioButton* m_anyCategory = nullptr;
    QCheckBox* m_primary = nullptr;
    QCheckBox* m_negateCategories = nullptr;
    QListWidget* m_origins = nullptr;
    QCheckBox* m_negateOrigins = nullptr;
    QListWidget* m_languages = nullptr;
    QComboBox* m_yieldUnit = nullptr;
    QListWidget* m_tools = nullptr;
    QCheckBox* m_negateTools = nullptr;
    QListWidget* m_books = nullptr;
    QListWidget* m_literature = nullptr;
    QListWidget* m_publishers = nullptr;
    QListWidget* m_authors = nullptr;
    QCheckBox* m_pictures = nullptr;
    QCheckBox* m_noChildren = nullptr;
    QComboBox* m_special = nullptr;
    QComboBox* m_specialValue = nullptr;
    QLineEdit* m_numbers = nullptr;
    QLabel* m_numberRange = nullptr;
    QListWidget* m_templates = nullptr;
    QComboBox* m_sort = nullptr;
    QPushButton* m_searchButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QLabel* m_caption = nullptr;
    QLabel* m_count = nullptr;
    QTreeWidget* m_results = nullptr;
    QTextBrowser* m_display = nullptr;
    QLabel* m_picture = nullptr;
    std::vector<DateSerial> m_importDates;
    long m_shownID = 0; // the recipe in the display pane
    std::unique_ptr<RecipeChangeSubscription> m_changes;
};

} // namespace pf
