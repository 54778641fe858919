#pragma once
// The dialog that chooses a recipe's categories: the categories open for manual assignment, a
// filter over their names, up to 16 ticked entries kept in the order chosen (the first is the
// primary category). In origin mode it chooses one country instead. Reads categories only.

#include <QDialog>

#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;

namespace pf {

class FrmCatSelect : public QDialog
{
    Q_OBJECT
public:
    enum class Mode {
        Categories, // several ordinary categories, the first is primary
        Origin      // one country, or none
    };
    static constexpr std::size_t kMaxCategories = 16;

    // current: the IDs chosen so far (first = primary; in origin mode the origin, 0 for none).
    FrmCatSelect(Mode mode, std::vector<long> current, QWidget* parent = nullptr);

    // The chosen IDs in order; in origin mode one ID (0: no origin).
    std::vector<long> Chosen() const { return m_chosen; }

    // Shows the dialog; nullopt when cancelled.
    static std::optional<std::vector<long>> ChooseCategories(QWidget* parent, std::vector<long> current);
    static std::optional<long> ChooseOrigin(QWidget* parent, long current);

    // Moves the chosen entry at index to the front, making it the primary category.
    void MakePrimary(int index);

private:
    void ApplyFilter();
    void ItemChanged(QListWidgetItem* item);
    void RefreshChosen();
    void RemoveChosen(int index);
    QString NameOf(long id) const;

    Mode m_mode;
    std::vector<long> m_chosen;
    bool m_filling = false;
    QLineEdit* m_filter = nullptr;
    QListWidget* m_list = nullptr;
    QListWidget* m_chosenList = nullptr;
    QLabel* m_count = nullptr;
};

} // namespace pf
