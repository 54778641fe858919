#pragma once
// The maintenance window for deleting lexicon entries in bulk: the entries of one area with their
// first keyword and whether they have a description, a filter for those without, and deletion of
// the marked ones after one question. Listing and deleting are the lexicon library's.

#include <QWidget>

#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace pf {

class FrmSpecialLexDel : public QWidget
{
    Q_OBJECT
public:
    explicit FrmSpecialLexDel(QWidget* parent = nullptr);

    // Lists the entries of the chosen area (only those without description when so filtered).
    void LoadList();
    // Marks or unmarks every listed entry.
    void MarkAll(bool marked);
    // Deletes the marked entries after a Yes/No question.
    void cmdLoeschen_Click();
    std::vector<long> MarkedIds() const;

private:
    void ShowCount();

    QComboBox* m_area = nullptr;
    QCheckBox* m_withoutText = nullptr;
    QTreeWidget* m_list = nullptr;
    QLabel* m_count = nullptr;
    QPushButton* m_delete = nullptr;
};

} // namespace pf
