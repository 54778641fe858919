#pragma once
// The menu manager: the tree of menu folders with their menus (the weekly plans and the
// unclassified menus as fixed folders at the top), a preview of the chosen menu, and the commands
// new, open, copy, delete, print, export and "on the shopping list" for menus and new, rename and
// delete for folders. The last chosen node is remembered per user. Rules and SQL live in ClMenu.

#include "planning/ClMenu.h"

#include <QWidget>

#include <string>

class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

namespace pf {

class FrmMenuManagement : public QWidget
{
    Q_OBJECT
public:
    explicit FrmMenuManagement(QWidget* parent = nullptr);

    // Reads the tree again and selects the node with this key ("F12" folder, "M7" menu).
    void RefreshTree(const std::string& selectKey);
    // The key of the chosen node, "" when none.
    std::string SelectedKey() const;

    void cmdNewMenu_Click();
    void cmdOpen_Click();
    void cmdCopy_Click();
    // The print window for the chosen menu.
    void cmdPrint_Click();
    // The export window with the chosen menu ticked and its courses' recipes listed.
    void cmdExport_Click();
    // Puts the recipes of the chosen menu's courses, each for its course's persons, on the open
    // shopping list (opens one when there is none).
    void cmdShopping_Click();
    void cmdDelete_Click();
    // Creates a folder with this name below the chosen folder (asks for the name when empty).
    void cmdNewFolder_Click(const std::string& name = {});
    void cmdRenameFolder_Click(const std::string& name = {});
    void cmdDeleteFolder_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void AddChildren(QTreeWidgetItem* parent, long folder, int depth);
    void ShowSelected();
    long SelectedMenu() const;
    // The folder chosen, or the folder of the chosen menu; 0 (the top) when nothing is chosen.
    long SelectedFolder() const;
    std::string AskName(const std::string& prompt, const std::string& text);
    void OpenMenu(long id);

    ClMenu m_menu;
    QTreeWidget* m_tree = nullptr;
    QTextBrowser* m_preview = nullptr;
};

} // namespace pf
