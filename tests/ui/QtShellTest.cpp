#include "ui/QtShell.h"

#include "core/Messages.h"
#include "db/InitFiles.h"
#include "db/SearchIndex.h"
#include "db/SqliteDatabase.h"
#include "db/WorkDatabase.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/FrmDBOpen.h"
#include "ui/FrmSplash.h"
#include "ui/Mainform.h"
#include "ui/QtInteraction.h"

#include <QDialogButtonBox>
#include <QMessageBox>

#include <algorithm>
#include <set>

namespace pf::test {
namespace {

using QtShellTest = UiTest;

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
        shell.MainWindow()->SetDatabaseCaption("");
        EXPECT_EQ(shell.MainWindow()->windowTitle().toStdString(), m_context.AppCaption);
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

// Recipes an import left to the search index are indexed a piece at a time while the window
// waits for the user (not while another transaction is open), with the count left in the status
// bar, which is cleared at the end.
TEST_F(QtShellTest, WaitingRecipesAreIndexedInTheBackground)
{
    Connection() = ConnectionState{};
    Connection().WorkDb = MakeBaseDataDatabase(m_dir, "Pfannola.MDB");
    CreateSearchIndex(WorkDb());
    static_cast<SqliteDatabase&>(WorkDb())
        .ExecuteNative("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<20000) "
                       "INSERT INTO T_SUCHINDEX_OFFEN(ID) SELECT i FROM n");
    QtInteraction qt;
    m_context.UI = &qt;
    QtShell shell(qt);
    shell.ShowMainWindow();
    std::set<std::string> shown;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout,
                     [&] { shown.insert(shell.MainWindow()->StatusText().toStdString()); });
    watch.start(1);
    {
        DbTransaction saving(WorkDb());
        QTest::qWait(2500);
        EXPECT_EQ(PendingRecipeCount(WorkDb()), 20000u);
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return PendingRecipeCount(WorkDb()) == 0; }, 30000));
    QTest::qWait(50);
    EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [](const std::string& text) {
        return text.starts_with("Der Suchindex nimmt die neuen Rezepte auf: noch ");
    }));
    EXPECT_EQ(shell.MainWindow()->StatusText().toStdString(), "");
    EXPECT_TRUE(HasWordIndex(WorkDb()));
    shell.CloseMainWindow();
}

// "Datenbank öffnen" from the running main window, with the real selection window filled in as a
// user would. It ends with the new database open and named in the caption, or with the old one
// open again; the selection window never comes back empty after a database was created.
TEST_F(QtShellTest, ChoosingAnotherDatabaseEndsWithTheNewOneOrTheOldOneOpen)
{
    UseInitZip();
    const std::string old = m_dir.File("Alt.MDB");
    ASSERT_TRUE(CreateDatabaseFile(old));
    const std::string broken = m_dir.File("Einkaufszettel.MDB");
    WriteFile(broken, "Mehl, Eier, Milch\n");

    // Each step fills one appearance of the selection window and presses OK or Abbrechen.
    using Step = std::function<void(FrmDBOpen&)>;
    const auto type = [](const std::string& path, bool ok) -> Step {
        return [path, ok](FrmDBOpen& window) {
            window.PathEdit()->setText(QString::fromStdString(path));
            window.Buttons()->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
            if (ok && window.isVisible()) // "Nein" keeps the window: the user gives up
                window.Buttons()->button(QDialogButtonBox::Cancel)->click();
        };
    };
    const struct
    {
        const char* name;
        std::vector<Step> steps;
        std::vector<Answer> answers;
        std::string expectedOpen;
    } cases[] = {
        {"neuer Name, Ja", {type(m_dir.File("Neu.MDB"), true)}, {Answer::Yes}, m_dir.File("Neu.MDB")},
        {"neuer Name, Nein", {type(m_dir.File("Nein.MDB"), true)}, {Answer::No}, old},
        {"Abbrechen", {type(m_dir.File("Egal.MDB"), false)}, {}, old},
        // No repair, the selection window comes again and is left: the old database comes back.
        {"keine Datenbank, abgebrochen", {type(broken, true), type("", false)}, {Answer::No}, old},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Connection() = ConnectionState{};
        DatabaseSelection start;
        start.Path = old;
        CommitDatabaseSelection(start);
        for (Answer answer : c.answers)
            m_ui.Answering(answer);
        QtInteraction qt;
        QtShell shell(qt);
        OpenWorkDatabase(shell);
        shell.ShowMainWindow();

        std::size_t shownWindows = 0;
        QTimer driver;
        driver.setInterval(10);
        QObject::connect(&driver, &QTimer::timeout, [&] {
            auto* window = qobject_cast<FrmDBOpen*>(QApplication::activeModalWidget());
            if (!window || window->property("driven").toBool())
                return;
            window->setProperty("driven", true);
            if (shownWindows < c.steps.size())
                c.steps[shownWindows](*window);
            else
                window->reject();
            ++shownWindows;
        });
        driver.start();
        int exitCode = -1;
        shell.SetExitHandler([&](int code) { exitCode = code; });
        shell.MainWindow()->Command("Mnu01DBOpen")->trigger();
        driver.stop();

        EXPECT_EQ(exitCode, -1);
        EXPECT_EQ(shownWindows, c.steps.size());
        ASSERT_TRUE(HasWorkDb());
        EXPECT_EQ(WorkDb().Name(), c.expectedOpen);
        EXPECT_TRUE(shell.MainWindow()->windowTitle().toStdString().ends_with(c.expectedOpen));
        EXPECT_EQ(ReadSetting("", "Database", "", true), c.expectedOpen);
        // The database left heads the list of the last used ones.
        if (c.expectedOpen != old) {
            EXPECT_EQ(ReadSetting("", "DBLastUse1", "", true), old);
        }
        EXPECT_TRUE(m_ui.AllAnswersUsed());
        shell.CloseMainWindow();
        CloseWorkDatabase();
    }
}

// Declines every question (the safe answer), takes no file and no list entry, and records what was
// shown, so that a walk over all commands runs without a prepared script.
class DecliningInteraction : public ScriptedInteraction
{
public:
    Answer Ask(const std::string& text, Buttons buttons, Answer, MsgIcon icon,
               const std::string& caption) override
    {
        shown.push_back({text, caption, icon, true, Answer::Ok});
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
    Answer AskOfferingSilence(const std::string& text, Buttons buttons, Answer answer, MsgIcon icon,
                              const std::string& caption, bool& dontAskAgain) override
    {
        dontAskAgain = false;
        return Ask(text, buttons, answer, icon, caption);
    }
    std::vector<std::string> ChooseFiles(const FileRequest&) override { return {}; }
    std::optional<int> ChooseItem(const std::string&, const std::vector<std::string>&,
                                  const std::string&) override
    {
        return std::nullopt;
    }
};

// Every enabled command of the main window, its context menus and the special menu included, is
// started once on a database with base data; what it opens is closed again (modal windows by a
// timer, as a user pressing Escape). No command may end in an error message.
TEST_F(QtShellTest, EveryCommandOpensAndClosesWithoutAnErrorBox)
{
    Connection() = ConnectionState{};
    Connection().WorkDb = MakeBaseDataDatabase(m_dir, "Pfannola.MDB", Foods::With);
    ResetProgramData();
    m_context.Special = true;
    UseTempFolder();
    setenv("TMPDIR", m_context.TempDir.c_str(), 1);
    DecliningInteraction declining;
    m_context.UI = &declining;
    {
        QtInteraction qt;
        QtShell shell(qt);
        shell.ShowMainWindow();
        Mainform& main = *shell.MainWindow();

        std::string running;
        std::vector<std::string> errorBoxes;
        QTimer closer;
        closer.setInterval(20);
        QObject::connect(&closer, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            if (auto* box = qobject_cast<QMessageBox*>(modal); box && box->icon() == QMessageBox::Critical)
                errorBoxes.push_back(running + ": " + box->text().toStdString());
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
        });
        closer.start();
        std::vector<QAction*> commands = main.CommandActions();
        for (QAction* action : commands) {
            running = action->objectName().toStdString();
            if (!action->isEnabled() || !action->isVisible() || running == "Mnu01Beenden")
                continue;
            SCOPED_TRACE(running);
            action->trigger();
            QApplication::processEvents();
            EXPECT_TRUE(main.isVisible());
            main.CloseChildWindows();
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top != &main && top->isVisible() && !qobject_cast<QMenu*>(top))
                    top->close();
            QApplication::processEvents();
        }
        closer.stop();
        for (const ScriptedInteraction::Shown& message : declining.shown)
            EXPECT_NE(message.Icon, MsgIcon::Critical) << message.Caption << ": " << message.Text;
        EXPECT_EQ(errorBoxes, std::vector<std::string>{});
        shell.CloseMainWindow();
    }
    unsetenv("TMPDIR");
    ResetProgramData();
    CloseWorkDatabase();
}

} // namespace
} // namespace pf::test
