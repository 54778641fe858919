#pragma once
// The database properties window: path and kind of the work database, its schema version with
// the history rows of T_VERSION, the file size and the row counts of the main tables that exist.
// It only reads; Refresh reads everything again from the open work database.

#include <QWidget>

class QLabel;
class QTableWidget;

namespace pf {

class FrmDBEigenschaften : public QWidget
{
    Q_OBJECT
public:
    explicit FrmDBEigenschaften(QWidget* parent = nullptr);

    void Refresh();

    QLabel* Field(const char* name) const;
    QTableWidget* VersionHistory() const { return m_history; }
    QTableWidget* TableCounts() const { return m_counts; }

private:
    QLabel* m_path = nullptr;
    QLabel* m_kind = nullptr;
    QLabel* m_version = nullptr;
    QLabel* m_size = nullptr;
    QLabel* m_readOnly = nullptr;
    QTableWidget* m_history = nullptr;
    QTableWidget* m_counts = nullptr;
};

} // namespace pf
