#pragma once
// The lexicon window, read-only: the tree of one area (nodes by key, entries under their node) or
// the hits of a lexicon search over all areas, and the chosen entry with its keywords in every
// language, its facts and its explanation. The lookups are the lexicon library's; the window only
// shows them.

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
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

private:
    void ItemChosen(QTreeWidgetItem* item);
    void ClearEntry();

    QComboBox* m_area = nullptr;
    QLineEdit* m_search = nullptr;
    QTreeWidget* m_tree = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_keywords = nullptr;
    QLabel* m_facts = nullptr;
    QTextBrowser* m_text = nullptr;
};

} // namespace pf
