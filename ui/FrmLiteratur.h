#pragma once
// The literature window: the register of cookbooks and magazines on the left (every source by
// title, or the sources of one category with the issues of a magazine under its title), the
// chosen source's title, year, issue, publisher, author, EAN/ISBN, storage place, lending note,
// rating, categories, notes and cover picture on the right, with the commands new, save, delete,
// table of contents and gallery. Leaving a changed source (another entry, new, close, another
// view of the register) asks whether to save it first. The rules, questions and refusals live in
// clLiteratur; the window gathers the input and shows it.

#include "literature/clLiteratur.h"

#include <QWidget>

#include <vector>

class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;

namespace pf {

class FrmLiteratur : public QWidget
{
    Q_OBJECT
public:
    explicit FrmLiteratur(QWidget* parent = nullptr);

    // Reads the sources again and selects sourceId (the first entry when it is not listed).
    void RefreshList(long sourceId);
    // Selects a source as a click in the list does, asking first about unsaved changes; false when
    // the cook chose to stay on the changed one.
    bool OpenSource(long sourceId);

    void cmdNew_Click();
    // False when the source was refused (the reason has been shown).
    bool cmdSave_Click();
    void cmdDelete_Click();
    // Opens the table of contents of the selected source (of all sources when none is selected).
    void cmdInhalt_Click();
    // Opens the gallery of cover pictures; a click there selects the source here.
    void cmdGalerie_Click();
    void cmdKategorien_Click();
    void cmdBildLaden_Click();
    void cmdBildEntfernen_Click();

    // The categories of the source on screen, the primary one first (as the category dialog
    // chooses them).
    void SetCategories(const std::vector<long>& chosen);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QFormLayout* BuildSourceForm();
    QVBoxLayout* BuildCover();
    void ShowSelected();
    void ShowCategories();
    void ShowCover();
    void FillAddresses();
    long SelectedId() const;
    // Copies what is on screen into the source object.
    void TakeFields();
    // Asks about unsaved changes of the shown source: true when the window may show another one.
    bool MayLeave();
    void ListItemChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);

    clLiteratur m_source;
    QString m_shownNotes;          // the notes as the editor showed them, which may differ in line ends
    QComboBox* m_filter = nullptr; // every source, or the sources of one category
    int m_filterShown = 0;         // the view the list shows
    QTreeWidget* m_list = nullptr;
    QLineEdit* m_title = nullptr;
    QSpinBox* m_year = nullptr;
    QLineEdit* m_issue = nullptr;
    QComboBox* m_publisher = nullptr;
    QComboBox* m_author = nullptr;
    QLineEdit* m_ean = nullptr;
    QLineEdit* m_storage = nullptr;
    QLineEdit* m_borrowed = nullptr;
    QSpinBox* m_rating = nullptr;
    QLabel* m_categories = nullptr;
    QPlainTextEdit* m_notes = nullptr;
    QLabel* m_cover = nullptr;
    QLabel* m_recipes = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_removeCover = nullptr;
};

} // namespace pf
