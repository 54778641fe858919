#include "ui/Mainform.h"

#include "db/DbError.h"
#include "tests/ui/UiTestSupport.h"

#include <QMenuBar>
#include <QScreen>
#include <QSet>
#include <QToolBar>

#include <cstdlib>

namespace pf::test {
namespace {

class MainformTest : public UiTest
{
protected:
    static QStringList MenuTitles(const Mainform& window)
    {
        QStringList titles;
        for (QAction* action : window.menuBar()->actions())
            titles << action->text().remove('&');
        return titles;
    }
};

TEST_F(MainformTest, MenuBarHoldsTheSixMenusAndSpecialOnlyWhenAsked)
{
    {
        Mainform window;
        EXPECT_EQ(MenuTitles(window),
                  QStringList({"Datei", "Daten", "Import", "Extras", "Fenster", "Hilfe"}));
        EXPECT_EQ(window.Command("SpecialsDupe1"), nullptr);
    }
    m_context.Special = true;
    Mainform special;
    EXPECT_EQ(MenuTitles(special),
              QStringList({"Datei", "Daten", "Import", "Extras", "Fenster", "Hilfe", "Spezial"}));
    ASSERT_NE(special.Command("SpecialsLexDel"), nullptr);
}

TEST_F(MainformTest, EveryCommandExistsOnceAndAllButTheUnbuiltOnesAreEnabled)
{
    m_context.Special = true;
    // The help without a help folder and the online services are off; every other command is enabled.
    // clang-format off
    const QSet<QString> disabled = {
        "MenuExtraChangePwd", "MnuExtraImportCalcMenu", "MnuHilfeOverview", "MnuHilfeHandbuch",
        "MnuHilfeOnlineNewsletter", "MnuHilfeOnlineSupport"};
    // clang-format on
    Mainform window;
    QSet<QString> seen;
    for (QAction* action : window.CommandActions()) {
        const QString id = action->objectName();
        SCOPED_TRACE(id.toStdString());
        EXPECT_FALSE(seen.contains(id));
        seen.insert(id);
        EXPECT_FALSE(action->text().isEmpty());
        // The read-me entry follows whether a read-me is shipped beside the program.
        if (id != "MnuHilfeInfoFile") {
            EXPECT_EQ(action->isEnabled(), !disabled.contains(id));
        }
    }
    EXPECT_FALSE(window.Command("MnuExtraImportCalcMenu")->isVisible());
}

// Every entry of every menu has its own Alt key there, and the shortcuts a German user expects.
TEST_F(MainformTest, EveryMenuEntryHasItsOwnAltKeyAndTheCommonShortcuts)
{
    m_context.Special = true;
    Mainform window;
    std::vector<QMenu*> menus;
    for (QAction* top : window.menuBar()->actions())
        menus.push_back(top->menu());
    for (const char* id : {"HideRecipeAction", "HideParentRecipe", "HideRezMarks", "HideRTF", "HideLexikon"})
        menus.push_back(window.ContextMenu(id));
    for (QMenu* menu : menus) {
        ASSERT_NE(menu, nullptr);
        ExpectOwnAltKeys(*menu);
    }
    const struct
    {
        const char* Id;
        const char* Keys;
    } shortcuts[] = {{"Mnu01Suchen", "Ctrl+F"},
                     {"Mnu01NeuBlanko", "Ctrl+N"},
                     {"Mnu01DBOpen", "Ctrl+O"},
                     {"Mnu01Beenden", "Ctrl+Q"},
                     {"MnuHilfeContent", "F1"},
                     {"HideRecipeActionPrint", "Ctrl+P"},
                     {"HideRecipeActionDel", "Del"}};
    for (const auto& s : shortcuts)
        EXPECT_EQ(window.Command(s.Id)->shortcut(), QKeySequence(s.Keys)) << s.Id;
}

// The file menu lists the databases used last; choosing one commits it and reopens.
TEST_F(MainformTest, RecentDatabasesOpenLikeAChosenOne)
{
    WriteSetting("", "DBLastUse1", "/daten/Neu.MDB", true);
    WriteSetting("", "DBLastUse2", "/daten/R&D.MDB", true);
    Mainform window;
    int reopened = 0;
    window.SetReopenHandler([&](const DatabaseSelection&) { ++reopened; });
    auto* recent = window.findChild<QMenu*>("mnuRecent");
    ASSERT_NE(recent, nullptr);
    emit recent->aboutToShow();
    ASSERT_EQ(recent->actions().size(), 2);
    EXPECT_EQ(recent->actions()[1]->text(), "&2 /daten/R&&D.MDB");
    recent->actions()[0]->trigger();
    EXPECT_EQ(reopened, 1);
    EXPECT_EQ(ReadSetting("", "Database", "", true), "/daten/Neu.MDB");
}

TEST_F(MainformTest, CommandsNotBuiltHereGoToTheHandlerOnceEnabled)
{
    Mainform window;
    std::vector<std::string> received;
    window.SetCommandHandler([&](const std::string& command) { received.push_back(command); });
    window.SetCommandEnabled("Mnu02FloskelInfo", false);
    window.Command("Mnu02FloskelInfo")->trigger(); // disabled: nothing happens
    window.SetCommandEnabled("Mnu02FloskelInfo", true);
    window.Command("Mnu02FloskelInfo")->trigger();
    window.Command("MnuFCascaded")->trigger(); // carried out by the window itself
    EXPECT_EQ(received, std::vector<std::string>{"Mnu02FloskelInfo"});
}

TEST_F(MainformTest, ErrorOfACommandIsLoggedAndReportedInsteadOfEscaping)
{
    setenv("TMPDIR", m_dir.Dir().c_str(), 1);
    Mainform window;
    window.SetCommandHandler([](const std::string&) {
        throw DbError(3022, "Doppelter Schlüssel",
                      {{3022, "Doppelter Schlüssel", "DAO"}, {3022, "Index ID", "DAO"}});
    });
    window.SetCommandEnabled("Mnu01Suchen", true);
    m_ui.Answering(Answer::No);
    window.Command("Mnu01Suchen")->trigger();
    unsetenv("TMPDIR");
    ASSERT_EQ(m_ui.shown.size(), 1u);
    EXPECT_NE(m_ui.shown[0].Text.find("#3022:Doppelter Schlüssel, Index ID/DAO"), std::string::npos)
        << m_ui.shown[0].Text;
    EXPECT_NE(ReadFile(m_dir.File("Pfannola.LOG")).find("#3022:Doppelter Schlüssel, Index ID/DAO"),
              std::string::npos);
}

TEST_F(MainformTest, WindowMenuTilesChildrenWithoutOverlap)
{
    Mainform window;
    window.resize(900, 700);
    window.show();
    for (int i = 0; i < 3; ++i)
        window.AddChildWindow(new QWidget);
    const QRect area = window.MdiArea()->viewport()->rect();
    const QList<QMdiSubWindow*> children = window.MdiArea()->subWindowList(QMdiArea::CreationOrder);

    window.Command("MnuFHorizontal")->trigger();
    int top = 0;
    for (QMdiSubWindow* child : children) {
        EXPECT_EQ(child->geometry().left(), 0);
        EXPECT_EQ(child->geometry().width(), area.width());
        EXPECT_EQ(child->geometry().top(), top);
        top = child->geometry().bottom() + 1;
    }
    EXPECT_EQ(top, area.height());

    children[0]->showMaximized();
    window.Command("MnuFVertikal")->trigger();
    int left = 0;
    for (QMdiSubWindow* child : children) {
        EXPECT_FALSE(child->isMaximized());
        EXPECT_EQ(child->geometry().top(), 0);
        EXPECT_EQ(child->geometry().height(), area.height());
        EXPECT_EQ(child->geometry().left(), left);
        left = child->geometry().right() + 1;
    }
    EXPECT_EQ(left, area.width());
}

TEST_F(MainformTest, IconCommandTogglesToolbarTextAndRemembersIt)
{
    Mainform window;
    auto* toolBar = window.findChild<QToolBar*>("Toolbar");
    ASSERT_NE(toolBar, nullptr);
    EXPECT_EQ(toolBar->toolButtonStyle(), Qt::ToolButtonIconOnly);

    window.Command("Mnu02Icons")->trigger();
    EXPECT_TRUE(window.Command("Mnu02Icons")->isChecked());
    EXPECT_EQ(toolBar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    EXPECT_TRUE(SettingToBool(ReadSetting("", "ShowIcons", "", false)));

    window.Command("Mnu02Icons")->trigger();
    EXPECT_EQ(toolBar->toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_FALSE(SettingToBool(ReadSetting("", "ShowIcons", "", false)));
}

TEST_F(MainformTest, CloseRunsTheShutdownWhichMayRefuse)
{
    Mainform window;
    window.show();
    bool allowed = false;
    int shutdowns = 0;
    window.SetCloseHandler([&] {
        ++shutdowns;
        return allowed;
    });
    window.AddChildWindow(new QWidget);

    window.Command("Mnu01Beenden")->trigger();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(shutdowns, 1);
    EXPECT_NE(window.MdiArea()->activeSubWindow(), nullptr);

    allowed = true;
    window.Command("Mnu01Beenden")->trigger();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(shutdowns, 2);
    EXPECT_EQ(window.MdiArea()->activeSubWindow(), nullptr);
}

TEST_F(MainformTest, CloseWithoutShutdownSavesPlacementThatTheNextStartRestores)
{
    {
        Mainform window;
        window.resize(640, 480);
        window.show();
        window.close();
    }
    EXPECT_EQ(ReadSetting("MainformWindow", "Width", "", false), "640");
    EXPECT_EQ(ReadSetting("MainformWindow", "Height", "", false), "480");
    EXPECT_FALSE(ReadSetting("MainformWindow", "Geometry", "", false).empty());
    EXPECT_FALSE(SettingToBool(ReadSetting("", "ShowIcons", "", false)));
    WriteSetting("", "Toolbar", "False", false);
    WriteSetting("", "ShowIcons", "True", false);
    Mainform again;
    again.Load();
    EXPECT_TRUE(again.isVisible());
    EXPECT_EQ(again.geometry().size(), QSize(640, 480));
    EXPECT_FALSE(again.findChild<QToolBar*>("Toolbar")->isVisible());
    EXPECT_TRUE(again.IconTextShown());
}

TEST_F(MainformTest, FirstStartTakesMostOfTheScreenAndLeavesThePlaceToTheWindowManager)
{
    Mainform window;
    const QPoint unplaced = window.pos();
    window.Load();
    // A small screen is taken whole; on a large one the window manager places four fifths of it.
    const QRect available = QApplication::primaryScreen()->availableGeometry();
    const bool small = available.width() < 1600 || available.height() < 900;
    EXPECT_EQ(window.isMaximized(), small);
    if (!small) {
        EXPECT_EQ(window.size(), QSize(available.width() * 4 / 5, available.height() * 4 / 5));
        EXPECT_EQ(window.pos(), unplaced);
    }
}

} // namespace
} // namespace pf::test
