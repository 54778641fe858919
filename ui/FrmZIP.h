#pragma once
// The ZIP window: opens an archive, shows its entries with name, folder, date, size, packed size,
// ratio, CRC and method, and extracts the selected rows into a chosen folder. Errors of the
// archive are shown as messages; the window never changes the archive.

#include "db/clsZIP.h"

#include <QWidget>

#include <string>

class QCheckBox;
class QLineEdit;
class QTableWidget;

namespace pf {

class FrmZIP : public QWidget
{
    Q_OBJECT
public:
    explicit FrmZIP(QWidget* parent = nullptr);

    // Loads an archive into the table; false (after a message) when it cannot be read.
    bool LoadArchive(const std::string& path);
    // Extracts the selected rows into folder; false (after a message) on failure.
    bool ExtractSelected(const std::string& folder);

    QTableWidget* Entries() const { return m_table; }

private:
    void cmdOpen_Click();
    void cmdTarget_Click();
    void cmdExpand_Click();

    clsZIP m_zip;
    QLineEdit* m_archive = nullptr;
    QLineEdit* m_target = nullptr;
    QCheckBox* m_keepFolders = nullptr;
    QTableWidget* m_table = nullptr;
};

} // namespace pf
