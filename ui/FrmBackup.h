#pragma once
// The backup window: the backup folder, the backups found there with date and size, and the
// commands to save the work database, restore a listed backup (or a named file) over it, and
// delete a backup. The work is done by Backup; the window only gathers the choice and shows it.

#include <QWidget>

#include <functional>
#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace pf {

class DatabaseWindows;

class FrmBackup : public QWidget
{
    Q_OBJECT
public:
    // windows reopens the work database after a save or restore (null: the file is reopened
    // directly); afterRestore refreshes the main window.
    explicit FrmBackup(DatabaseWindows* windows, std::function<void()> afterRestore = {},
                       QWidget* parent = nullptr);

    // Lists the backups of the folder in the field (optData2Restore_Click).
    void RefreshList();

    void cmdStartSave_Click();
    void cmdStartRestore_Click();
    void cmdDelBackup_Click();
    void cmdExplorer_Click();
    void chkReminder_Click();

private:
    void BrowseFolder();
    void BrowseFile();
    // Path of the selected list entry, "" when none.
    std::string SelectedBackup() const;
    std::string FolderText() const;

    DatabaseWindows* m_windows;
    std::function<void()> m_afterRestore;
    QLineEdit* m_folder = nullptr;
    QLineEdit* m_file = nullptr;
    QTreeWidget* m_list = nullptr;
    QCheckBox* m_reminder = nullptr;
};

} // namespace pf
