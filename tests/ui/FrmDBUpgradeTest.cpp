#include "ui/FrmDBUpgrade.h"

#include "db/Recordset.h"
#include "db/Schema.h"
#include "db/UpgradeSteps.h"
#include "tests/ui/UiTestSupport.h"

namespace pf::test {
namespace {

UpgradeQuestion Question(bool odbc = false)
{
    UpgradeQuestion question;
    question.DatabaseVersion = "001.19.110";
    question.ProgramVersion = "002.00.126";
    question.DatabaseName = "/home/koch/Rezepte.MDB";
    question.Odbc = odbc;
    question.History = {
        {"001.19.110", DateSerial::FromParts(2012, 3, 4, 10, 15), "Migration from 001.10.099"},
        {"001.10.099", DateSerial::FromParts(2008, 1, 2, 9, 0), "Neue Datenbank"}};
    return question;
}

using FrmDBUpgradeTest = UiTest;

TEST_F(FrmDBUpgradeTest, UpgradeReturnsTheTickedOptions)
{
    FrmDBUpgrade window(Question());
    window.show();
    EXPECT_EQ(window.DatabaseVersionLabel()->text(), "001.19.110");
    EXPECT_EQ(window.ProgramVersionLabel()->text(), "002.00.126");
    // The copy is offered ticked, the compaction not.
    EXPECT_TRUE(window.BackupOption()->isChecked());
    EXPECT_FALSE(window.OptimiseOption()->isChecked());
    window.BackupOption()->click();
    window.OptimiseOption()->click();
    window.UpgradeButton()->click();
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(window.Choice().Result, 1);
    EXPECT_FALSE(window.Choice().Backup);
    EXPECT_TRUE(window.Choice().Optimise);
}

TEST_F(FrmDBUpgradeTest, ContinuingWithoutUpgradeAsksFirst)
{
    FrmDBUpgrade window(Question());
    window.show();
    m_ui.Answering(Answer::No);
    window.ContinueButton()->click();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.Choice().Result, -1);

    m_ui.Answering(Answer::Yes);
    window.ContinueButton()->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.Choice().Result, 0);
    ASSERT_EQ(m_ui.shown.size(), 2u);
    EXPECT_NE(m_ui.shown[0].Text.find("Wirklich ohne Upgrade fortfahren?"), std::string::npos);

    FrmDBUpgrade cancelled(Question());
    cancelled.show();
    cancelled.CancelButton()->click();
    EXPECT_EQ(cancelled.result(), QDialog::Rejected);
    EXPECT_EQ(cancelled.Choice().Result, -1);
}

TEST_F(FrmDBUpgradeTest, ServerDatabaseGetsTheWarningAndNoCopy)
{
    FrmDBUpgrade window(Question(true));
    window.show();
    EXPECT_FALSE(window.BackupOption()->isEnabled());
    m_ui.Answering(Answer::No);
    window.UpgradeButton()->click();
    EXPECT_TRUE(window.isVisible());
    ASSERT_EQ(m_ui.shown.size(), 1u);
    EXPECT_EQ(m_ui.shown[0].Caption, "ODBC Datenbank-Upgrade");
    EXPECT_EQ(m_ui.shown[0].Icon, MsgIcon::Critical);

    m_ui.Answering(Answer::Yes);
    window.UpgradeButton()->click();
    EXPECT_EQ(window.Choice().Result, 1);
    EXPECT_FALSE(window.Choice().Backup);
}

TEST_F(FrmDBUpgradeTest, ViewVersionListsTheHistory)
{
    FrmDBUpgrade window(Question());
    window.show();
    EXPECT_FALSE(window.VersionList()->isVisible());
    window.ViewVersionButton()->click();
    ASSERT_TRUE(window.VersionList()->isVisible());
    QTreeWidget* list = window.VersionList();
    ASSERT_EQ(TopLevelTexts(list, 2), (QStringList{"Migration from 001.10.099", "Neue Datenbank"}));
    EXPECT_EQ(list->topLevelItem(0)->text(0), "001.19.110");
    EXPECT_EQ(list->topLevelItem(0)->text(1), "04.03.2012 10:15");
}

// The whole way: the database layer asks through the installed window, the user ticks the
// compaction and presses the button, the database ends at the program's version with its copy.
TEST_F(FrmDBUpgradeTest, InstalledWindowDrivesTheUpgrade)
{
    const std::string path = m_dir.File("Rezepte.MDB");
    auto db = test::NewSchemaDatabase(path, InitialSchema());
    db->Execute("INSERT INTO T_VERSION (Major, Minor, Build, Description) VALUES (1, 19, 110, 'alt')");
    db->Execute("INSERT INTO T_REZ_KOPF (ID, RezTitle) VALUES (1, 'Apfelkuchen')");
    // The initial structure lacks what the steps up to 001.19.110 add: bring it there first.
    std::string version = "000.50.073";
    for (const UpgradeStep& step : UpgradeSteps()) {
        if (step.Version > "001.19.110")
            break;
        step.Apply(*db, version);
        version = step.Version;
    }

    SetUpgradeWindow(std::make_unique<QtUpgradeWindow>());
    // Plays the user once the window is up (the upgrade shows it modally).
    QString shownVersion;
    std::function<void()> user = [&] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* window = qobject_cast<FrmDBUpgrade*>(widget); window && window->isVisible()) {
                shownVersion = window->DatabaseVersionLabel()->text();
                window->OptimiseOption()->click();
                window->UpgradeButton()->click();
                return;
            }
        QTimer::singleShot(10, user);
    };
    QTimer::singleShot(0, user);
    const bool usable = UpgradeDatabase(*db, true);
    SetUpgradeWindow(nullptr);

    EXPECT_TRUE(usable);
    EXPECT_EQ(shownVersion, "001.19.110");
    EXPECT_EQ(DatabaseVersionText(*db), "002.00.126");
    EXPECT_EQ(db->Scalar("SELECT RezTitle FROM T_REZ_KOPF WHERE ID=1").AsText(), "Apfelkuchen");
    EXPECT_TRUE(std::filesystem::exists(path + ".BAK"));
    EXPECT_NE(LastMessage().find("optimiert"), std::string::npos);
}

} // namespace
} // namespace pf::test
