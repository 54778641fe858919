#pragma once
// The lexicon window: the tree of one area (nodes by key, entries under their node) or the hits of
// a lexicon search over all areas, and the chosen entry with its keywords in every language, its
// facts and its explanation. It opens for reading; "Bearbeiten" (on a writable database) turns the
// page into a form for new entries, changes and deletions. Loading, saving, deleting and their
// questions are the lexicon library's; the window shows the entry, gathers the form and reports.

#include "lexicon/LexiconEntry.h"
#include "lexicon/LexiconOutput.h"

#include <QWidget>

class QCheckBox;
class QListWidget;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class QTableWidget;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

namespace pf {

class FrmLexikonEdit : public QWidget
{
    Q_OBJECT
public:
    explicit FrmLexikonEdit(QWidget* parent = nullptr);

    // Fills the tree with one area's nodes and entries.
    void ShowArea(long area);
    // Searches the text of the search field in every area and lists the hits by area.
    void cmdSuchen_Click();
    // Shows one entry on the right under the keyword it was chosen by (its first keyword when
    // none is given); an entry that is gone clears the page.
    void ShowEntry(long area, long id, const QString& keyword = {});

    // Switches between reading and editing; editing needs a writable database.
    void SetEditing(bool editing);
    bool Editing() const { return m_editing; }
    // A blank entry of the area chosen above, under the tree node chosen on the left.
    void cmdNeu_Click();
    // Saves the form after the question "… Speichern"; the tree then shows the saved entry.
    void cmdSpeichern_Click();
    // Deletes the entry in the form after a Yes/No question.
    void cmdLoeschen_Click();
    // The foods the entry in the form explains: "Lebensmittel verknüpfen" picks one in the food
    // selection dialog, "Verknüpfung lösen" removes the chosen one; both are stored at once.
    void cmdFoodLink_Click();
    void cmdFoodUnlink_Click();
    // Asks for a picture file for the utensil in the form.
    void cmdBildLaden_Click();
    // The output commands of the entry list (its context menu "HideLexikon"): print the chosen
    // entry, it and the entries after it in its group, or every entry from it to the end of the
    // list; put it on the clipboard; export it to a text or HTML file.
    void RunCommand(const std::string& command);
    // The entries a print or export command covers, in list order, each once.
    std::vector<LexiconEntryKey> EntriesFor(const std::string& command) const;
    // "Drucken": the print preview of the chosen entry.
    void cmdDrucken_Click() { RunCommand("HideLexikonPrintEinzeln"); }
    // "Exportieren": the chosen entry to a file.
    void cmdExportieren_Click() { RunCommand("HideLexikonExportEinzeln"); }
    QMenu* MakeContextMenu();

    // True when the form holds unsaved changes.
    bool FormChanged() const { return m_changed; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* BuildForm();
    QWidget* BuildReadingPage();
    QWidget* BuildKeywordRow(QWidget* parent);
    QWidget* BuildPictureRow(QWidget* parent);
    QWidget* BuildFoodRow(QWidget* parent);
    void ItemChosen(QTreeWidgetItem* item, QTreeWidgetItem* previous);
    void ClearEntry();
    // Puts m_entry into the form.
    void FillForm();
    // Takes the form into m_entry; false (after saying why) when a field cannot be read.
    bool GatherForm();
    void ShowAreaRows(long area);
    void FillNodeChoice(long area, const std::string& key);
    void AddKeywordRow(const std::string& text, long language);
    void ShowPicture();
    void FillFoodLinks();
    void MarkChanged();
    // Offers to save unsaved changes; false when the user cancels (the form stays as it is).
    bool ConfirmLeave();
    // Shows the area's tree with the entry chosen (none when id is 0).
    void Refresh(long area, long id);
    QTreeWidgetItem* FindEntryItem(long area, long id) const;

    QComboBox* m_area = nullptr;
    QLineEdit* m_search = nullptr;
    QTreeWidget* m_tree = nullptr;
    QStackedWidget* m_pages = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_keywords = nullptr;
    QLabel* m_facts = nullptr;
    QTextBrowser* m_text = nullptr;
    QPushButton* m_editButton = nullptr;
    QPushButton* m_newButton = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QPushButton* m_printButton = nullptr;
    QPushButton* m_exportButton = nullptr;

    // The form.
    QFormLayout* m_form = nullptr;
    QLabel* m_formTitle = nullptr;
    QWidget* m_formBody = nullptr;
    QTableWidget* m_keywordTable = nullptr;
    QComboBox* m_entryArea = nullptr;
    QComboBox* m_node = nullptr;
    QLineEdit* m_eNumber = nullptr;
    QLineEdit* m_colour = nullptr;
    QLineEdit* m_occursIn = nullptr;
    QCheckBox* m_danger = nullptr;
    QLineEdit* m_label = nullptr;
    QSpinBox* m_year = nullptr;
    QLineEdit* m_grapes = nullptr;
    QSpinBox* m_rating = nullptr;
    QLineEdit* m_price = nullptr;
    QLineEdit* m_alcohol = nullptr;
    QLineEdit* m_origin = nullptr;
    QLineEdit* m_tasting = nullptr;
    QLabel* m_picture = nullptr;
    QListWidget* m_foods = nullptr;
    QWidget* m_foodRow = nullptr;
    QWidget* m_pictureRow = nullptr;
    QLabel* m_textLabel = nullptr;
    QPlainTextEdit* m_entryText = nullptr;

    LexiconEntry m_entry;
    bool m_editing = false;
    bool m_changed = false;
    bool m_filling = false;     // the form is being filled: its signals are no user changes
    bool m_searchShown = false; // the tree shows search hits rather than an area
    long m_shownArea = 0;       // the area the tree shows (or showed before a search)
};

} // namespace pf
