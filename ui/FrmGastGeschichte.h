#pragma once
// The guest history: every course a guest from the address book was served, newest menu first,
// with the menu's title and date and the note kept for the guest there. Double-clicking a row
// opens its menu. Reads through ClMenu; changes nothing.

#include <QWidget>

class QLabel;
class QTreeWidget;

namespace pf {

class FrmGastGeschichte : public QWidget
{
    Q_OBJECT
public:
    explicit FrmGastGeschichte(long addressId, QWidget* parent = nullptr);

    // Reads the history again (after a menu was saved).
    void Refresh();

private:
    long m_address = 0;
    QLabel* m_name = nullptr;
    QTreeWidget* m_list = nullptr;
};

} // namespace pf
