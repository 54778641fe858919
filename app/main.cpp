// pfannola: the desktop program.

#include "app/CommandLine.h"
#include "app/Startup.h"
#include "core/AppContext.h"
#include "core/Messages.h"
#include "core/ProcessExit.h"
#include "ui/FrmBaseDataProgress.h"
#include "ui/GermanTranslation.h"
#include "ui/Mainform.h"
#include "ui/QtInteraction.h"
#include "ui/QtPageCanvas.h"
#include "ui/QtShell.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <cstdlib>

#include <exception>
#include <string>
#include <vector>

namespace {

// For looking at windows (scripts/screenshot): PFANNOLA_OPEN=STEP[;STEP…], each STEP being
// COMMAND[/BUTTON[/TEXT]], runs a main-window command once the program is up and then presses a
// button of the window it opened (a child window, or a window of its own), after typing TEXT into
// that window's first text field; a BUTTON "#N" shows the window's N-th tab. An empty COMMAND
// only presses the button, so a chain can walk into dialogs
// ("Mnu01Suchen/cmdSearch;/cmdOpen;/cmdNutrients;/cmdOK"). Every next step is scheduled before the
// current one runs, because a modal window blocks until it closes.
void RunOpenStep(pf::Mainform* main, QStringList steps)
{
    if (steps.isEmpty())
        return;
    const QStringList parts = steps.takeFirst().split('/');
    QTimer::singleShot(300, main, [main, parts, steps] {
        QTimer::singleShot(700, main, [main, steps] { RunOpenStep(main, steps); });
        QWidget* window = QApplication::activeModalWidget();
        if (!window)
            window = main->MdiArea()->activeSubWindow();
        if (!window && QApplication::activeWindow() != main)
            window = QApplication::activeWindow();
        if (parts.size() < 2 || !window)
            return;
        if (parts.size() > 2)
            if (auto* field = window->findChild<QLineEdit*>())
                field->setText(parts[2]);
        // "#N" for a button shows the window's N-th tab (counted from 0) instead.
        if (parts[1].startsWith('#')) {
            if (auto* tabs = window->findChild<QTabWidget*>())
                tabs->setCurrentIndex(parts[1].mid(1).toInt());
        } else if (auto* button = window->findChild<QPushButton*>(parts[1])) {
            button->click();
        }
    });
    if (parts[0].isEmpty())
        return;
    if (QAction* command = main->Command(parts[0]))
        command->trigger();
    else if (auto* menu = main->menuBar()->findChild<QMenu*>(parts[0]))
        main->menuBar()->setActiveAction(menu->menuAction());
}

void OpenOnStart(pf::Mainform* main)
{
    const char* open = std::getenv("PFANNOLA_OPEN");
    if (!main || !open || !*open)
        return;
    QTimer::singleShot(300, main, [main, spec = QString::fromUtf8(open)] {
        RunOpenStep(main, spec.split(';', Qt::SkipEmptyParts));
    });
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("Pfannola");
    QApplication::setOrganizationName("Kelm");
    pf::InstallGermanTranslation(application);
    pf::InstallQtPdfOutput();

    pf::AppContext context;
    pf::ScopedAppContext installed(context);
    pf::QtInteraction interaction;
    context.UI = &interaction;
    pf::FrmBaseDataProgress::Install();

    std::vector<std::string> args(argv + 1, argv + argc);
    const std::string executable = QCoreApplication::applicationFilePath().toStdString();
    int code = 0;
    {
        pf::QtShell shell(interaction);
        try {
            pf::StartProgram({executable, pf::JoinCommandLine(args)}, shell);
            // A command-line import may already have closed the main window.
            if (shell.MainWindow() && shell.MainWindow()->isVisible()) {
                OpenOnStart(shell.MainWindow());
                code = QApplication::exec();
            }
        } catch (const pf::ProcessExit& exit) {
            code = exit.Code;
        } catch (const std::exception& error) {
            pf::ReportError({0, error.what(), "Pfannola", {}}, false);
            code = 1;
        }
    }
    pf::RemoveTempDir();
    return code;
}
