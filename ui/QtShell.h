#pragma once
// The windows of the start and the shutdown for the desktop program: splash, main window, and the
// first-start and selection windows the database open asks with. Owns the splash and the main
// window; routes the interaction's status texts to them while they exist.

#include "app/Startup.h"
#include "ui/ExternalToolRun.h"
#include "ui/FrmMMImport.h"
#include "ui/QtDatabaseWindows.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>

namespace pf {

class FrmSplash;
class Mainform;
class QtInteraction;

class QtShell : public Shell
{
public:
    explicit QtShell(QtInteraction& ui);
    ~QtShell() override;
    QtShell(const QtShell&) = delete;
    QtShell& operator=(const QtShell&) = delete;

    void ShowSplash() override;
    void UnloadSplash() override;
    // Loads and shows the main window, then finishes the start (splash, version); closing the
    // window runs Shutdown, choosing another database reopens it.
    void ShowMainWindow() override;
    void RunCommandLineImport(const std::string& file) override;
    void CloseMainWindow() override;
    bool SaveStateWanted() const override;
    void SaveMainWindowState() override;
    bool ShowIcons() const override;
    void UnloadOtherWindows() override;

    FirstStartResult ShowFirstStart(const std::vector<FirstStartItem>& items,
                                    const std::string& newPath) override;
    bool ShowSelection() override;
    void ShowOptions() override;

    Mainform* MainWindow() const { return m_main.get(); }
    FrmSplash* Splash() const { return m_splash.get(); }
    // Exit code when the program must end from inside the running window (a reopen that failed).
    void SetExitHandler(std::function<void(int code)> handler);

private:
    void Reopen(const DatabaseSelection& previous);
    // Opens the food browser, or brings it to the front when it is open.
    void ShowFoodBrowser();
    // The main window's commands that open windows of the libraries below.
    void RunCommand(const std::string& command);
    // Reloads what an import may have changed.
    void AfterImport(const std::optional<ImportResultView>& result);
    QtDatabaseWindows Windows() const;
    // The child window in front (or the one last in front).
    QWidget* ActiveChild() const;
    // The recipes selected in the recipe list in front; empty without one.
    std::vector<long> ActiveRecipeIds() const;
    // A context-menu command of the main window, run by the list or lexicon in front.
    void RunInActiveWindow(const std::string& command);
    void ShowTips();
    void AfterTool(const ToolRunOutcome& outcome);
    // Indexes a piece of the recipes an import left to the search index, while the program waits
    // for the user; the status bar says how many are left. Runs again at once while any are.
    void IndexWaitingRecipes();

    QtInteraction& m_ui;
    std::unique_ptr<FrmSplash> m_splash;
    std::unique_ptr<Mainform> m_main;
    // The food browser, a window of its own; it belongs to the open database and closes with it.
    QPointer<QWidget> m_foodBrowser;
    std::function<void(int)> m_exitHandler;
    std::unique_ptr<QTimer> m_indexTimer;
    bool m_indexShown = false; // the status bar tells of the indexing
};

} // namespace pf
