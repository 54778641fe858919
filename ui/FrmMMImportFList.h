#pragma once
// The file list of the import for review: shows the listed files, removes the selected one
// (cmdDel) and closes (cmdOK). The caller reads the remaining list back with Files().

#include <QDialog>

#include <string>
#include <vector>

class QListWidget;

namespace pf {

class FrmMMImportFList : public QDialog
{
    Q_OBJECT
public:
    explicit FrmMMImportFList(const std::vector<std::string>& files, QWidget* parent = nullptr);

    std::vector<std::string> Files() const;

    void cmdDel_Click();

private:
    QListWidget* m_list = nullptr;
};

} // namespace pf
