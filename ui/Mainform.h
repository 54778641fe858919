#pragma once
// The program's frame window: a multi-document area for the other windows, the menu bar with every
// command, a toolbar, and a status bar with a text and a percentage. Commands the window carries
// out itself (window arrangement, about box, icon display, quit, choosing another database) work
// here; every other command is handed to the command handler the program sets.

#include "db/DatabaseChoice.h"

#include <QMainWindow>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class QAction;
class QDialog;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QToolBar;

namespace pf {

struct MenuCommand; // one row of the menu tables in Mainform.cpp

class Mainform : public QMainWindow
{
    Q_OBJECT
public:
    // Builds menus, toolbar and status bar. The special menu exists only when
    // AppContext::Current().Special is set at this moment.
    explicit Mainform(QWidget* parent = nullptr);
    ~Mainform() override;

    // The loading of the window during start: restores the placement, reads Toolbar and ShowIcons
    // and shows the window.
    void Load();

    // The action of a command by its identifier ("Mnu01Suchen"), or null.
    QAction* Command(const QString& id) const;
    // Every command of the menu bar and of the context menus, in menu order.
    std::vector<QAction*> CommandActions() const;
    // Commands that exist in other windows start disabled; their window enables them when built.
    void SetCommandEnabled(const QString& id, bool enabled);
    // Enables each command only when it is meant to be usable and the logged-in user holds the
    // right it needs (everything without users); run after each login.
    void SetUserSecurity();
    // The user right a command needs, from the menu tables (kRightNone for an unknown command).
    static long CommandRight(const std::string& id);
    // True when the logged-in user may use the command; context menus that other windows build
    // ask here too.
    static bool CommandAllowed(const std::string& id);
    // A context menu by its identifier ("HideRecipeAction"), or null.
    QMenu* ContextMenu(const QString& id) const;

    QMdiArea* MdiArea() const { return m_mdiArea; }
    // The key list F1 shows when there is no help folder; owned by the main window.
    QDialog* BuildKeyHelp();
    // Shows a widget as a child window of the multi-document area; the area owns it.
    QMdiSubWindow* AddChildWindow(QWidget* widget);

    // Caption: AppCaption + " - " + the database path (only AppCaption when the path is empty).
    void SetDatabaseCaption(const std::string& databasePath);
    // Composes the caption again after the active cookbook changed.
    void RefreshCaption();

    // Status bar: the text, and the percentage as a bar (hidden when percent < 0; capped at 100).
    void ShowStatus(const std::string& text, int percent);
    QString StatusText() const;
    int StatusPercent() const;

    // Placement and ShowIcons into the per-user settings.
    void SaveState();
    // Closes every child window; false when one of them refuses.
    bool CloseChildWindows();

    // Called for every command the window does not carry out itself.
    void SetCommandHandler(std::function<void(const std::string& command)> handler);
    // Runs the program's shutdown when the window is asked to close; false keeps it open. Without
    // one, the window saves its own state and closes its children.
    void SetCloseHandler(std::function<bool()> handler);
    // Called after the selection window committed another database: reopen it, or the previous one
    // when the new one cannot be had.
    using ReopenHandler = std::function<void(const DatabaseSelection& previous)>;
    void SetReopenHandler(ReopenHandler handler);

    // Text under the toolbar icons (command Mnu02Icons, setting ShowIcons).
    bool IconTextShown() const;
    void SetIconTextShown(bool shown);

    // Child window arrangement of the window menu.
    void ArrangeCascaded();
    void ArrangeHorizontal();
    void ArrangeVertical();

protected:
    void closeEvent(QCloseEvent* event) override;

    void ShowKeyHelp();
    // The newest README among the shipped files, read-only in a child window.
    void ShowInfoFile();

private:
    void BuildMenus();
    void BuildContextMenus();
    void BuildToolBar();
    void BuildStatusBar();
    void FillMenu(QMenu* menu, const MenuCommand* first, std::size_t count);
    void OnCommand(const QString& id);
    void RunCommand(const QString& id);
    void ChooseDatabase();
    // The submenu of the last used databases in the file menu, filled each time it opens.
    void BuildRecentMenu(QMenu* fileMenu);
    void FillRecentMenu(QMenu* recent);
    // Opens a database of that list like one chosen in the selection window.
    void OpenRecent(const std::string& path);
    void ShowAbout();
    void RestorePlacement();

    QMdiArea* m_mdiArea = nullptr;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_statusLabel = nullptr;
    std::string m_databasePath;
    QProgressBar* m_statusBar = nullptr;
    int m_statusPercent = -1;
    std::vector<QAction*> m_commands;
    std::vector<QMenu*> m_contextMenus;
    bool m_closing = false;
    bool m_startMaximized = false;

    std::function<void(const std::string&)> m_commandHandler;
    std::function<bool()> m_closeHandler;
    ReopenHandler m_reopenHandler;
};

} // namespace pf
