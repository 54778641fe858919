#include "ui/QtInteraction.h"

#include "tests/ui/UiTestSupport.h"
#include "ui/FrmSplash.h"
#include "ui/Mainform.h"
#include "ui/UiSupport.h"

#include <QDir>
#include <QMessageBox>
#include <QProgressBar>

namespace pf::test {
namespace {

class QtInteractionTest : public UiTest
{
protected:
    // What the message box showed when the scheduled key reached it.
    struct SeenBox
    {
        QString Caption;
        QString Text;
        QStringList Buttons;
        QMessageBox::Icon Icon = QMessageBox::NoIcon;
    };

    // Presses a key in the next message box that opens.
    void PressInNextBox(Qt::Key key)
    {
        m_seen = {};
        OnModal<QMessageBox>([this, key](QMessageBox& box) {
            m_seen.Caption = box.windowTitle();
            m_seen.Text = box.text();
            m_seen.Icon = box.icon();
            for (QAbstractButton* button : box.buttons())
                m_seen.Buttons << button->text();
            m_seen.Buttons.sort();
            QTest::keyClick(&box, key);
        });
    }

    SeenBox m_seen;
};

TEST_F(QtInteractionTest, StatusTextAndPercentShowInTheMainWindow)
{
    Mainform window;
    QtInteraction ui;
    ui.SetMainWindow(&window);
    window.show();
    auto* label = window.findChild<QLabel*>("StatusText");
    auto* bar = window.findChild<QProgressBar*>("StatusPercent");
    ASSERT_TRUE(label && bar);

    ui.SetStatus("Rezepte werden importiert", 40);
    EXPECT_EQ(label->text(), "Rezepte werden importiert");
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->value(), 40);
    EXPECT_EQ(ui.StatusText(), "Rezepte werden importiert");

    ui.SetStatus("Fast fertig", 250);
    EXPECT_EQ(bar->value(), 100);
    EXPECT_EQ(ui.StatusPercent(), 100);

    ui.SetStatus("Nur Text", -1);
    EXPECT_EQ(label->text(), "Nur Text");
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(ui.StatusPercent(), -1);
    EXPECT_TRUE(ui.MainWindowLoaded());
}

TEST_F(QtInteractionTest, SplashShowsItsStatusAndGreetingWhileVisible)
{
    WriteSetting("", "Greetings", "Willkommen in der Großküche", true);
    QtInteraction ui;
    FrmSplash splash;
    ui.SetSplash(&splash);
    EXPECT_EQ(splash.Greeting(), QString::fromUtf8("Willkommen in der Großküche"));
    EXPECT_FALSE(ui.SplashVisible());
    splash.show();
    EXPECT_TRUE(ui.SplashVisible());
    ui.SetSplashStatus("Datenbank wird geöffnet ...");
    EXPECT_EQ(splash.Status(), QString::fromUtf8("Datenbank wird geöffnet ..."));
    splash.close();
    EXPECT_FALSE(ui.SplashVisible());
}

TEST_F(QtInteractionTest, PipeFiltersBecomeQtFilters)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Meal-Master|*.mm;*.txt|Alle Dateien|*.*", "Meal-Master (*.mm *.txt);;Alle Dateien (*)"},
        {"Alle Bilder|*.gif;*.jpg|JPEG|*.jpg", "Alle Bilder (*.gif *.jpg);;JPEG (*.jpg)"},
        {"Mensax| *.mnx ", "Mensax (*.mnx)"},
        {"", ""},
        {"Ohne Muster", ""},
    };
    for (const auto& [pipe, qt] : cases) {
        SCOPED_TRACE(pipe);
        EXPECT_EQ(QtFileFilter(pipe), QString::fromUtf8(qt));
    }
}

TEST_F(QtInteractionTest, FileDialogsStartInTheFolderOfTheirPurposeNeverInTheProgramFolder)
{
    TempDir elsewhere;
    const QString home = QDir::homePath();
    const QString outside = QString::fromStdString(elsewhere.Dir()).chopped(1);
    WriteFile(m_dir.File("INIT.ZIP"), "x");
    WriteFile(elsewhere.File("rezepte.mm"), "x");
    const struct
    {
        const char* purpose;
        QString wanted;
        QString expected;
    } cases[] = {
        {"Import", "", home},
        {"Import", QString::fromStdString(m_dir.File("INIT.ZIP")), home},
        {"Import", QString::fromStdString(m_dir.Dir()), home},
        {"Import", outside, outside},
        {"Import", QString::fromStdString(elsewhere.File("rezepte.mm")), outside + "/rezepte.mm"},
        {"Export", "neu.mm", home + "/neu.mm"},
        {"Export", "/gibt/es/nicht/neu.mm", home + "/neu.mm"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.wanted.toStdString());
        EXPECT_EQ(StartFolder(c.purpose, c.wanted), c.expected);
    }

    // The folder of a chosen file is where the next dialog of the same purpose starts.
    RememberFolder("Import", QString::fromStdString(elsewhere.File("rezepte.mm")));
    EXPECT_EQ(StartFolder("Import"), outside);
    EXPECT_EQ(StartFolder("Export"), home);
    // A remembered program folder counts as none.
    RememberFolder("Sicherung", QString::fromStdString(m_dir.Dir()));
    EXPECT_EQ(StartFolder("Sicherung", "sicherung.zip"), home + "/sicherung.zip");
}

TEST_F(QtInteractionTest, QuestionsUseGermanButtonsAndEnterGivesTheDefault)
{
    QtInteraction ui;
    PressInNextBox(Qt::Key_Return);
    EXPECT_EQ(ui.Ask("Papierkorb leeren?\r\nAlle Rezepte darin gehen verloren.", Buttons::YesNoCancel,
                     Answer::No, MsgIcon::Question, "Papierkorb"),
              Answer::No);
    EXPECT_EQ(m_seen.Buttons, QStringList({"Abbrechen", "Ja", "Nein"}));
    EXPECT_EQ(m_seen.Caption, QString::fromUtf8("Pfannola – Papierkorb"));
    EXPECT_EQ(m_seen.Text, "Papierkorb leeren?\nAlle Rezepte darin gehen verloren.");
    EXPECT_EQ(m_seen.Icon, QMessageBox::Question);

    PressInNextBox(Qt::Key_Escape);
    EXPECT_EQ(ui.Ask("Nochmal?", Buttons::RetryCancel, Answer::Retry, MsgIcon::Warning, ""), Answer::Cancel);
    EXPECT_EQ(m_seen.Buttons, QStringList({"Abbrechen", "Wiederholen"}));
    EXPECT_EQ(m_seen.Caption, "Pfannola");

    PressInNextBox(Qt::Key_Return);
    EXPECT_EQ(ui.Ask("Fehler", Buttons::AbortRetryIgnore, Answer::Ignore, MsgIcon::Critical, ""),
              Answer::Ignore);
    EXPECT_EQ(m_seen.Buttons, QStringList({"Abbrechen", "Ignorieren", "Wiederholen"}));

    PressInNextBox(Qt::Key_Return);
    ui.Inform("Fertig.", MsgIcon::Information, "");
    EXPECT_EQ(m_seen.Buttons, QStringList({"OK"}));
}

TEST_F(QtInteractionTest, AQuestionMayOfferNotToAskAgain)
{
    QtInteraction ui;
    for (const bool tick : {false, true}) {
        SCOPED_TRACE(tick);
        OnModal<QMessageBox>([tick](QMessageBox& box) {
            ASSERT_NE(box.checkBox(), nullptr);
            EXPECT_EQ(box.checkBox()->text(), "&Nicht mehr fragen");
            box.checkBox()->setChecked(tick);
            QTest::keyClick(&box, Qt::Key_Return);
        });
        bool silence = !tick;
        EXPECT_EQ(
            ui.AskOfferingSilence("Weiter?", Buttons::YesNo, Answer::Yes, MsgIcon::Question, "", silence),
            Answer::Yes);
        EXPECT_EQ(silence, tick);
    }
}

TEST_F(QtInteractionTest, EscapeRequestsCancelUntilReset)
{
    Mainform window;
    window.show();
    QtInteraction ui;
    EXPECT_FALSE(ui.CancelRequested());
    QTest::keyClick(&window, Qt::Key_A);
    EXPECT_FALSE(ui.CancelRequested());
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(ui.CancelRequested());
    ui.ResetCancel();
    EXPECT_FALSE(ui.CancelRequested());
}

TEST_F(QtInteractionTest, ActiveWindowIsTheActiveChildOfTheFrame)
{
    Mainform window;
    QtInteraction ui;
    ui.SetMainWindow(&window);
    window.show();
    QApplication::setActiveWindow(&window);
    EXPECT_EQ(ui.ActiveWindowName(), "Mainform");

    auto* editor = new QWidget;
    editor->setObjectName("FrmMenuData");
    window.AddChildWindow(editor);
    window.MdiArea()->setActiveSubWindow(window.MdiArea()->subWindowList().front());
    EXPECT_EQ(ui.ActiveWindowName(), "FrmMenuData");

    ui.UnloadActiveWindow();
    QApplication::processEvents();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.MdiArea()->activeSubWindow(), nullptr);
}

TEST_F(QtInteractionTest, BusyPointerNestsAndIsRestored)
{
    {
        QtInteraction ui;
        ui.SetBusy(true);
        ui.SetBusy(true);
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        ui.SetBusy(false);
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
        ui.SetBusy(false);
        ui.SetBusy(false); // one too many must not pop somebody else's pointer
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        ui.SetBusy(true);
    }
    // Destroyed while busy: the pointer is back to normal.
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
} // namespace pf::test
