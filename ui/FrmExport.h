#pragma once
// The export window: the chosen recipes go to a Meal-Master, Rezkonv, HTML or RTF file, the
// clipboard or the word processor. It lists the export types, gathers the target and the
// options, remembers them for the next time and runs the export (RunExport) with its progress
// and closing message. The formats that carry menus (Mensax, CSV) offer the stored menus, CSV
// also the weekly plans and its field separator. The export itself is the engine's; the window
// only collects the choice.

#include <QWidget>

#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace pf {

class Database;

class FrmExport : public QWidget
{
    Q_OBJECT
public:
    // ids: the recipes to export in this order; servings: per recipe, 0 or missing = its yield.
    // db null: the work database.
    explicit FrmExport(std::vector<long> ids, std::vector<long> servings = {}, Database* db = nullptr,
                       QWidget* parent = nullptr);

    // The mode number the current choice gives (type and target), e.g. 1 for Meal-Master to a file.
    int SelectedMode() const;

    void cmdStart_Click();
    void cboMode_Click();
    // Ticks these menus or weekly plans in the menu list, and chooses a type that carries them
    // (Mensax, or CSV for weekly plans) when the chosen one does not.
    void CheckMenus(const std::vector<long>& menuIds);
    // The ticked menus the chosen format carries, in list order.
    std::vector<long> CheckedMenus() const;

private:
    void FillModeList();
    void FillMenuList();
    void BrowseFile();
    void SaveChoices();
    void UpdateStatus();
    int SelectedType() const;

    std::vector<long> m_ids;
    std::vector<long> m_servings;
    Database* m_db;
    QComboBox* m_mode = nullptr;
    QRadioButton* m_toFile = nullptr;
    QRadioButton* m_toClipboard = nullptr;
    QRadioButton* m_toWord = nullptr;
    QLineEdit* m_file = nullptr;
    QCheckBox* m_append = nullptr;
    QCheckBox* m_subRecipes = nullptr;
    QCheckBox* m_parents = nullptr;
    QGroupBox* m_options = nullptr;
    QComboBox* m_htmlType = nullptr;
    QCheckBox* m_utf8 = nullptr;
    QCheckBox* m_download = nullptr;
    QCheckBox* m_picturePathOn = nullptr;
    QLineEdit* m_picturePath = nullptr;
    QGroupBox* m_menuBox = nullptr;
    QListWidget* m_menus = nullptr;
    QLabel* m_separatorLabel = nullptr;
    QComboBox* m_separator = nullptr;
    QLabel* m_status = nullptr;
};

} // namespace pf
