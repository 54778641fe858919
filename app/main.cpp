// pfannola: the desktop program.

#include "app/CommandLine.h"
#include "app/Startup.h"
#include "core/AppContext.h"
#include "core/Messages.h"
#include "core/ProcessExit.h"
#include "ui/FrmBaseDataProgress.h"
#include "ui/Mainform.h"
#include "ui/QtInteraction.h"
#include "ui/QtShell.h"

#include <QApplication>

#include <exception>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("Pfannola");
    QApplication::setOrganizationName("Kelm");

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
            if (shell.MainWindow() && shell.MainWindow()->isVisible())
                code = QApplication::exec();
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
