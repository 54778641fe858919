#pragma once
// A read-only table of a maintenance list of the special menu (duplicate food keys, lexicon entries
// without description), with the number of rows in its foot.

#include "lexicon/LexiconMaintenance.h"

#include <QWidget>

class QTableWidget;

namespace pf {

class FrmMaintenanceList : public QWidget
{
    Q_OBJECT
public:
    FrmMaintenanceList(const QString& name, const QString& caption, const MaintenanceList& list,
                       QWidget* parent = nullptr);
    QTableWidget* Table() const { return m_table; }

private:
    QTableWidget* m_table = nullptr;
};

} // namespace pf
