#include "ui/QtShell.h"

#include "db/DatabaseChoice.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/FrmSplash.h"
#include "ui/Mainform.h"
#include "ui/QtInteraction.h"

namespace pf::test {
namespace {

class QtShellTest : public UiTest
{
};

TEST_F(QtShellTest, StatusFollowsTheWindowsOfTheStart)
{
    QtInteraction ui;
    m_context.UI = &ui;
    const std::string previousPath = Connection().DbPath;
    Connection().DbPath = "/home/koch/Rezepte.MDB";
    {
        QtShell shell(ui);
        shell.ShowSplash();
        EXPECT_TRUE(ui.SplashVisible());
        ui.SetSplashStatus("Hauptprogramm starten ...");
        EXPECT_EQ(shell.Splash()->Status(), "Hauptprogramm starten ...");

        shell.ShowMainWindow();
        ASSERT_NE(shell.MainWindow(), nullptr);
        EXPECT_TRUE(ui.MainWindowLoaded());
        EXPECT_FALSE(ui.SplashVisible()); // the main window's loading took it down
        EXPECT_EQ(shell.MainWindow()->windowTitle().toStdString(),
                  m_context.AppCaption + " - /home/koch/Rezepte.MDB");
        ui.SetStatus("Suche läuft", 10);
        EXPECT_EQ(shell.MainWindow()->StatusText(), QString::fromUtf8("Suche läuft"));

        shell.CloseMainWindow();
        EXPECT_FALSE(ui.MainWindowLoaded());
    }
    // The shell's windows are gone; the interaction must not reach for them.
    EXPECT_FALSE(ui.SplashVisible());
    ui.SetStatus("danach", -1);
    EXPECT_EQ(ui.StatusText(), "danach");
    Connection().DbPath = previousPath;
}

} // namespace
} // namespace pf::test
