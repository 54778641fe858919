// Users and rights as a person meets them: the login with its waits, the password change, the
// user manager, and which commands of the main window a user reaches with which rights.

#include "ui/FrmUsermanager.h"
#include "ui/Mainform.h"
#include "ui/frmLogin.h"
#include "ui/frmLoginChange.h"

#include "core/UserRights.h"
#include "core/WaitClock.h"
#include "db/ClsUser.h"
#include "db/Schema.h"
#include "tests/ui/UiTestSupport.h"

#include <QToolBar>
#include <QToolButton>

namespace pf::test {
namespace {

// Time passes only when the login pauses, so its waits can be measured without waiting.
class FakeClock : public WaitClock
{
public:
    TimePoint Now() const override { return m_now; }
    void Pause(std::chrono::milliseconds duration) override { m_now += duration; }
    std::chrono::seconds Waited() const
    {
        return std::chrono::duration_cast<std::chrono::seconds>(m_now - TimePoint{});
    }

private:
    TimePoint m_now{};
};

class UserWindowsTest : public UiTest
{
protected:
    UserWindowsTest()
    {
        Connection() = ConnectionState{};
        Connection().WorkDb = NewSchemaDatabase(m_dir.File("Pfannola.MDB"), {*FindSchemaTable("T_USER")});
    }
    ~UserWindowsTest() override { CloseWorkDatabase(); }

    void AddUser(long id, const char* name, const char* password, long flags)
    {
        WorkDb().Execute("INSERT INTO T_USER (ID, Username, [Desc], Pwd, Flags) VALUES (?, ?, '', ?, ?)",
                         {Value(id), Value(name), Value(ScramblePassword(name, password)), Value(flags)});
    }
    long Users() { return static_cast<long>(WorkDb().Scalar("SELECT COUNT(*) FROM T_USER").AsLong()); }

    ScopedCurrentUser m_user{{}};
};

TEST_F(UserWindowsTest, WrongPasswordsWaitLongerEachTimeAndTheThirdEndsTheLogin)
{
    AddUser(1, "Anna", "Zimt", kRightAdmin);
    ClsUser users(WorkDb());
    FakeClock clock;
    frmLogin login(users, clock);
    login.findChild<QComboBox*>("cboUser")->setEditText("anna");
    auto* password = login.findChild<QLineEdit*>("txtPassword");
    const long expectedTotal[] = {5, 30, 155};
    for (int attempt = 1; attempt <= 3; ++attempt) {
        SCOPED_TRACE(attempt);
        password->setText("zimt");
        login.cmdOK_Click();
        EXPECT_EQ(login.Attempts(), attempt);
        EXPECT_EQ(clock.Waited().count(), expectedTotal[attempt - 1]);
        EXPECT_TRUE(password->text().isEmpty());
        ASSERT_EQ(m_ui.shown.size(), static_cast<std::size_t>(attempt));
        EXPECT_EQ(LastMessage(), "Dieser Benutzername existiert nicht oder das Passwort ist falsch !");
        EXPECT_EQ(login.Failed(), attempt == 3);
    }
    EXPECT_EQ(login.result(), QDialog::Rejected);
    EXPECT_EQ(users.LoggedInIndex(), 0);
}

TEST_F(UserWindowsTest, RightPasswordAfterAWrongOneLogsInAndIsPreselectedNextTime)
{
    AddUser(3, "Anna", "", kRightAdmin);
    AddUser(7, "Bernd", "Brot", kRightPrint);
    FakeClock clock;
    {
        ClsUser users(WorkDb());
        frmLogin login(users, clock);
        login.findChild<QComboBox*>("cboUser")->setEditText(" BERND ");
        login.findChild<QLineEdit*>("txtPassword")->setText("brot");
        login.cmdOK_Click();
        login.findChild<QLineEdit*>("txtPassword")->setText("Brot");
        login.cmdOK_Click();
        EXPECT_EQ(login.result(), QDialog::Accepted);
        EXPECT_EQ(clock.Waited().count(), 5);
        EXPECT_EQ(users.PfannolaUser(), "Bernd");
    }
    EXPECT_EQ(ReadSetting("", "LastUserID", "", false), "7");
    ClsUser users(WorkDb());
    frmLogin login(users, clock);
    EXPECT_EQ(login.findChild<QComboBox*>("cboUser")->currentText(), "Bernd");
    // Anna's empty password is a password too.
    login.findChild<QComboBox*>("cboUser")->setEditText("Anna");
    login.cmdOK_Click();
    EXPECT_EQ(login.result(), QDialog::Accepted);
    EXPECT_EQ(users.PfannolaUserFlag(), kRightAdmin);
}

TEST_F(UserWindowsTest, PasswordChangeNeedsTheOldPasswordAndTheSameRepetition)
{
    AddUser(1, "Anna", "alt", kRightAdmin | kRightPassword);
    SetCurrentUser({true, "Anna", kRightAdmin | kRightPassword});
    frmLoginChange window;
    const auto fill = [&](const char* old, const char* fresh, const char* repeat) {
        window.findChild<QLineEdit*>("txtOld")->setText(old);
        window.findChild<QLineEdit*>("txtNew")->setText(fresh);
        window.findChild<QLineEdit*>("txtRepeat")->setText(repeat);
        return window.cmdOK_Click();
    };
    EXPECT_FALSE(fill("falsch", "neu", "neu"));
    EXPECT_FALSE(fill("alt", "neu", "neU"));
    EXPECT_TRUE(fill("alt", "Grüße", "Grüße"));
    ASSERT_EQ(m_ui.shown.size(), 3u);
    EXPECT_EQ(m_ui.shown[2].Text, "Das Passwort wurde erfolgreich geändert.");
    ClsUser users(WorkDb());
    EXPECT_EQ(users.Login("Anna", "Grüße"), 1);
}

TEST_F(UserWindowsTest, FirstUserSwitchesTheLoginOnAndTheLastAdministratorStays)
{
    m_context.SaveUserRelevant = false;
    FrmUsermanager window;
    m_ui.Answering(Answer::Yes); // "Soll wirklich fortgefahren werden ?"
    window.cmdNew_Click();
    window.findChild<QLineEdit*>("txtName")->setText("Anna");
    EXPECT_TRUE(window.findChild<QCheckBox*>("chkAdmin")->isChecked());
    // Ticking the administrator box leaves the other rights nothing to say.
    EXPECT_FALSE(window.findChild<QCheckBox*>("chkRight64")->isEnabled());
    m_ui.Answering(Answer::Ok); // "Letzte Chance …"
    ASSERT_TRUE(window.cmdSave_Click());
    EXPECT_EQ(WorkDb().Scalar("SELECT Pwd FROM T_USER").AsText(), ScramblePassword("Anna", " "));
    EXPECT_TRUE(SettingToBool(ReadSetting("", "SaveUserRelevant", "", true)));
    EXPECT_TRUE(m_context.SaveUserRelevant);
    EXPECT_EQ(m_ui.shown[0].Text,
              "Wenn der erste Benutzer erfasst wird, wird in Zukunft ein Benutzer-Login aktiviert.");
    EXPECT_EQ(LastMessage(),
              "Daten müssen Benutzerrelevant gespeichert werden. Diese Funktionalität ist jetzt aktiviert");

    // The same name in other letters is refused; nothing is stored.
    window.cmdNew_Click();
    window.findChild<QLineEdit*>("txtName")->setText(" ANNA");
    EXPECT_FALSE(window.cmdSave_Click());
    EXPECT_EQ(LastMessage(), "Dieser Benutzername ist bereits in Verwendung. Der Benutzername muss eindeutig sein!");
    window.findChild<QLineEdit*>("txtName")->setText("Bernd");
    window.findChild<QLineEdit*>("txtPassword")->setText("Brot");
    window.findChild<QLineEdit*>("txtRepeat")->setText("Brot");
    window.findChild<QCheckBox*>("chkRight32")->setChecked(true);
    ASSERT_TRUE(window.cmdSave_Click());
    EXPECT_EQ(WorkDb().Scalar("SELECT Flags FROM T_USER WHERE Username='Bernd'").AsLong(), kRightPrint);

    auto* list = window.findChild<QListWidget*>("lstUsers");
    list->setCurrentRow(0);
    window.cmdDelete_Click();
    EXPECT_EQ(LastMessage(), "Dies ist der letzte Benutzer mit Supervisor-Rechten. Er kann nicht gelöscht werden");

    // With a second administrator the first may go, after the question.
    list->setCurrentRow(1);
    window.findChild<QCheckBox*>("chkAdmin")->setChecked(true);
    ASSERT_TRUE(window.cmdSave_Click());
    list->setCurrentRow(0);
    m_ui.Answering(Answer::Yes);
    window.cmdDelete_Click();
    EXPECT_EQ(LastMessage(), "Dies ist ein Benutzer mit Supervisor-Rechten. Soll er wirklich gelöscht werden ?");
    EXPECT_EQ(Users(), 1);
    EXPECT_TRUE(m_ui.AllAnswersUsed());
}

TEST_F(UserWindowsTest, RenamingKeepsTheLoginOnlyWithTheNewPassword)
{
    AddUser(1, "Anna", "Zimt", kRightAdmin);
    FrmUsermanager window;
    window.findChild<QLineEdit*>("txtName")->setText("Annette");
    EXPECT_FALSE(window.cmdSave_Click());
    window.findChild<QLineEdit*>("txtPassword")->setText("Zimt");
    window.findChild<QLineEdit*>("txtRepeat")->setText("Zimt");
    ASSERT_TRUE(window.cmdSave_Click());
    ClsUser users(WorkDb());
    EXPECT_EQ(users.Login("annette", "Zimt"), 1);
}

// Which commands each right opens. Every command needing the right is listed where a user meets
// it: a menu entry, a toolbar button or a context-menu entry.
struct RightCase
{
    long right;
    std::vector<const char*> commands;
};

const RightCase kRightCases[] = {
    {kRightExport, {"HideRecipeActionExport", "HideRecipeActionExpPicture", "HideLexikonExportEinzeln"}},
    {kRightCookbooks, {"Mnu02Kochbuch"}},
    {kRightPassword, {"MenuExtraChangePwd"}},
    {kRightEnter,
     {"Mnu01NeuBlanko", "Mnu01NeuTemplate", "MnuExtraImportMealMaster", "MnuExtraImportMealMasterClipbrd",
      "MnuExtraImportKochbuch", "MnuExtraImportGeneric"}},
    {kRightPrint,
     {"Mnu01Druckereinrichtung", "HideRecipeActionPrint", "HideLexikonPrintEinzeln", "HideLexikonPrintFollowing",
      "HideLexikonPrintEnd"}},
    {kRightEdit,
     {"Mnu02Menue", "Mnu02TrashEmpty", "MenuExtraFP", "MnuExtraDupeKill", "MnuExtraTeamPictureCleanup",
      "HideRecipeActionDel", "HideRecipeActionBookAdd", "HideRecipeActionBookDel", "HideRecipeActionCatAdd",
      "HideRecipeActionCatDel", "HideRecipeActionToolAdd", "HideRecipeActionToolDel", "HideRecipeActionCountry",
      "HideRecipeActionLanguage", "HideRecipeActionSource", "HideRecipeActionFingerprint", "HideRecipeActionBLS",
      "HideRecipeActionMenu", "HideRecipeActionImpPicture", "HideRecipeActionTest",
      "HideParentRecipeCreateRelationship", "HideParentRecipeDeleteRelationship"}},
    {kRightLexicon, {"Mnu02Zutaten", "Mnu02Literatur", "MnuExtraTeamDBInitExport"}},
    {kRightUnits, {"Mnu02Unit"}},
    {kRightCategories, {"Mnu02Kategorie"}},
    {kRightWeekPlan, {"Mnu02Wochenplan"}},
    {kRightAdmin,
     {"MenuExtraUser", "Mnu01DBOpen", "MenuExtraBackup", "MenuExtraZIP", "MenuExtraTools", "MenuImportTool",
      "HideRecipeActionTool"}},
};

// Every way to the command: its action (menu bar or context menu) and its toolbar button.
std::vector<bool> WaysEnabled(Mainform& main, const char* command)
{
    QAction* action = main.Command(command);
    EXPECT_NE(action, nullptr) << command;
    if (!action)
        return {};
    std::vector<bool> ways{action->isEnabled()};
    for (QToolButton* button : main.findChild<QToolBar*>("Toolbar")->findChildren<QToolButton*>())
        if (button->defaultAction() == action)
            ways.push_back(button->isEnabled());
    return ways;
}

TEST_F(UserWindowsTest, EachRightOpensItsCommandsAndNoOthers)
{
    for (const RightCase& c : kRightCases) {
        for (const long flags : {0L, c.right, kRightAdmin}) {
            SCOPED_TRACE(std::to_string(c.right) + " as " + std::to_string(flags));
            ScopedCurrentUser user({true, "Bernd", flags});
            Mainform main;
            for (const char* command : c.commands) {
                // As the window that offers it would, once it can.
                main.SetCommandEnabled(command, true);
                for (const bool enabled : WaysEnabled(main, command))
                    EXPECT_EQ(enabled, flags != 0) << command;
            }
        }
    }
    // The table is whole: every command that asks for a right is listed under that right.
    Mainform main;
    for (QAction* action : main.CommandActions()) {
        const std::string id = action->objectName().toStdString();
        const long right = Mainform::CommandRight(id);
        if (right == kRightNone || !action->isVisible())
            continue;
        EXPECT_TRUE(std::any_of(std::begin(kRightCases), std::end(kRightCases), [&](const RightCase& c) {
            return c.right == right && std::find(c.commands.begin(), c.commands.end(), id) != c.commands.end();
        })) << id << " needs right " << right;
    }
}

// Without users everything but the password change is open; a user without rights sees only what
// everyone may use.
TEST_F(UserWindowsTest, AUserWithoutRightsSeesOnlyWhatEveryoneMayUse)
{
    for (const bool withUsers : {false, true}) {
        SCOPED_TRACE(withUsers);
        ScopedCurrentUser user(withUsers ? LoggedInUser{true, "Gast", 0} : LoggedInUser{});
        Mainform main;
        for (QAction* action : main.CommandActions()) {
            const std::string id = action->objectName().toStdString();
            main.SetCommandEnabled(action->objectName(), true);
            // A hidden command (one this program cannot carry out) stays off for everyone.
            if (!action->isVisible())
                continue;
            EXPECT_EQ(action->isEnabled(),
                      (!withUsers || Mainform::CommandRight(id) == kRightNone) && id != "MenuExtraChangePwd")
                << id;
        }
        for (const char* open :
             {"Mnu01Suchen", "LexikonAnsehen", "Mnu02EinkaufenListe", "HideRezOpen", "MnuHilfeAboutbox"})
            EXPECT_TRUE(main.Command(open)->isEnabled()) << open;
        if (!withUsers)
            continue;
        // Logging in again as the administrator opens everything the windows offer.
        SetCurrentUser({true, "Anna", kRightAdmin});
        main.SetUserSecurity();
        for (QAction* action : main.CommandActions())
            EXPECT_TRUE(action->isEnabled() || !action->isVisible()) << action->objectName().toStdString();
    }
}

} // namespace
} // namespace pf::test
