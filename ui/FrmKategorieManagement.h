#pragma once
// The category management window: a tree of all categories (kinds, their top-level categories and
// the subcategories below), a filter, the fields of the selected category and the commands new,
// save, discard, delete, merge and conversion between category and origin. Rules and questions
// live in ClCategory; the window gathers input and shows the result.

#include "model/ClCategory.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace pf {

class FrmKategorieManagement : public QWidget
{
    Q_OBJECT
public:
    explicit FrmKategorieManagement(QWidget* parent = nullptr);

    // Reads the tree anew and selects category selectID when it is there.
    void RefreshTree(long selectID = 0);
    // Selects a category in the tree and shows its fields; false when it is not listed.
    bool SelectCategory(long id);
    // The category shown in the fields, 0 for a new one.
    long CurrentID() const { return m_cat.id(); }

    void cmdNew_Click();
    void cmdSave_Click();
    void cmdCancel_Click();
    void cmdDelete_Click();
    void cmdMerge_Click();
    void cmdCountry_Click();

private:
    void TreeSelectionChanged();
    void ApplyFilter();
    void ShowCategory();
    void FillParentCombo();
    void UpdateCommands();
    void Report(const std::string& text);
    QTreeWidgetItem* FindItem(long id) const;

    ClCategory m_cat;
    long m_newKind = 0;
    bool m_filling = false;

    QLineEdit* m_filter = nullptr;
    QTreeWidget* m_tree = nullptr;
    QLineEdit* m_name = nullptr;
    QComboBox* m_kind = nullptr;
    QComboBox* m_parent = nullptr;
    QCheckBox* m_country = nullptr;
    QCheckBox* m_edit = nullptr;
    QSpinBox* m_wpLevel = nullptr;
    QSpinBox* m_wpRepeat = nullptr;
    QLabel* m_usage = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_merge = nullptr;
    QPushButton* m_convert = nullptr;
};

} // namespace pf
