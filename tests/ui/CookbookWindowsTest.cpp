#include "ui/FrmKochbuchManag.h"
#include "ui/FrmSetFingerprint.h"

#include "db/Recordset.h"
#include "model/ClFingerprint.h"
#include "tests/ui/UiTestSupport.h"

namespace pf::test {
namespace {

class CookbookWindowsTest : public UiDbTest
{
protected:
    CookbookWindowsTest()
    {
        m_ui.mainWindowLoaded = true;
        WorkDb().Execute("INSERT INTO T_BUCH (ID,BuchTitel,BuchBeschreib) VALUES (5,'Kuchen','Süßes'),"
                         "(6,'Torten','Festliches')");
        AddRecipe(1, {5});
        AddRecipe(2, {5, 6});
        AddRecipe(3, {6});
    }
    static void AddRecipe(long id, std::initializer_list<long> books)
    {
        WorkDb().Execute("INSERT INTO T_REZ_KOPF (ID,FlagDeleted,Template,Fingerprint1,Fingerprint2) "
                         "VALUES (?,0,0,0,0)",
                         {id});
        for (long book : books)
            WorkDb().Execute("INSERT INTO T_REZ_KOCHBUCH (RezID,BuchID) VALUES (?,?)", {id, book});
    }
    static void SelectBook(QWidget& window, const QString& title)
    {
        Select(Child<QTreeWidget>(window, "lstBooks"), title);
    }
    static QStringList Rows(QWidget& window)
    {
        QStringList rows;
        auto* list = Child<QTreeWidget>(window, "lstBooks");
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            rows << list->topLevelItem(i)->text(0) + ":" + list->topLevelItem(i)->text(1);
        return rows;
    }
};

TEST_F(CookbookWindowsTest, ListsReservedViewsAndCookbooksWithTheirCounts)
{
    WorkDb().Execute("UPDATE T_REZ_KOPF SET FlagDeleted=-1 WHERE ID=3");
    // A new database carries a row of its own for the base cookbook, with its dates.
    WorkDb().Execute("INSERT INTO T_BUCH (ID,BuchTitel,BuchBeschreib,BuchDatum,BuchModifiziert) VALUES "
                     "(0,'Basiskochbuch','Hierin sind alle Rezepte enthalten',46362,46362)");
    FrmKochbuchManag window;
    // The window shows before it counts (a large database counts for a while), then counts.
    EXPECT_EQ(
        Rows(window),
        (QStringList{"Basiskochbuch:", "[Doppelte Rezepte]:", "[Rezept-Papierkorb]:", "Kuchen:", "Torten:"}));
    for (int turn = 0; turn < 20; ++turn)
        QCoreApplication::processEvents();
    EXPECT_EQ(Rows(window), (QStringList{"Basiskochbuch:2", "[Doppelte Rezepte]:0", "[Rezept-Papierkorb]:1",
                                         "Kuchen:2", "Torten:1"}));
    SelectBook(window, "Basiskochbuch");
    EXPECT_TRUE(Child<QLabel>(window, "lblCreated")->text().startsWith("06.12.2026"))
        << Child<QLabel>(window, "lblCreated")->text().toStdString();
    SelectBook(window, "[Rezept-Papierkorb]");
    EXPECT_TRUE(Child<QPlainTextEdit>(window, "txtDescription")
                    ->toPlainText()
                    .startsWith("Dies ist der Kochbuch-Papierkorb."));
    EXPECT_FALSE(Child<QPushButton>(window, "cmdDelete")->isEnabled());
}

TEST_F(CookbookWindowsTest, NewCookbookNeedsTitleAndDescriptionAndIsStored)
{
    FrmKochbuchManag window;
    Click(window, "cmdNew");
    Child<QLineEdit>(window, "txtTitle")->setText("Suppen");
    Click(window, "cmdSave");
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Ein Kochbuch muss einen Namen und eine kurze Beschreibung erhalten !"});
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_BUCH"), 2);

    Child<QPlainTextEdit>(window, "txtDescription")->setPlainText("Heißes aus dem Topf");
    Click(window, "cmdSave");
    EXPECT_EQ(m_ui.shown.size(), 1u);
    EXPECT_EQ(Text("SELECT BuchBeschreib FROM T_BUCH WHERE BuchTitel='Suppen'"), "Heißes aus dem Topf");
    EXPECT_EQ(Child<QTreeWidget>(window, "lstBooks")->currentItem()->text(0), "Suppen");
    EXPECT_FALSE(Child<QLabel>(window, "lblCreated")->text().isEmpty());
}

TEST_F(CookbookWindowsTest, DeleteWithItsRecipesTrashesOnlyTheOnesInNoOtherCookbook)
{
    m_context.ActiveBookId = 5;
    m_context.ActiveBookTitle = "Kuchen";
    int changed = 0;
    FrmKochbuchManag window([&] { ++changed; });
    SelectBook(window, "Kuchen");
    Child<QCheckBox>(window, "chkDiscardRecipes")->setChecked(true);
    Click(window, "cmdDelete", Answer::Yes);

    EXPECT_TRUE(m_ui.AllAnswersUsed());
    ASSERT_EQ(m_ui.shown.size(), 3u);
    EXPECT_EQ(m_ui.shown[0].Text,
              "Soll das Kochbuch \"Kuchen\" wirklich gelöscht werden ?\n(alle exakt nur in "
              "diesem Kochbuch enthaltenen Rezepte werden ebenfalls gelöscht !)");
    EXPECT_EQ(m_ui.shown[2].Text, "1 Rezepte wurden in den Papierkorb geworfen");
    EXPECT_EQ(Rows(window).filter("Kuchen").size(), 0);
    // The deleted cookbook was the active one.
    EXPECT_EQ(m_context.ActiveBookId, 0);
    EXPECT_EQ(m_context.ActiveBookTitle, "Basiskochbuch");
    EXPECT_EQ(changed, 1);
}

TEST_F(CookbookWindowsTest, CopyToAnotherCookbookAndChooseItAsActive)
{
    int changed = 0;
    FrmKochbuchManag window([&] { ++changed; });
    SelectBook(window, "Torten");
    auto* target = Child<QComboBox>(window, "cboTarget");
    ASSERT_EQ(target->count(), 1);
    EXPECT_EQ(target->currentText(), "Kuchen");
    Click(window, "cmdCopy", Answer::Yes);
    EXPECT_EQ(LastMessage(), "1 Rezepte wurden erfolgreich in das Kochbuch kopiert");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_REZ_KOCHBUCH WHERE BuchID=5"), 3);

    Click(window, "cmdActive");
    EXPECT_EQ(m_context.ActiveBookId, 6);
    EXPECT_EQ(m_context.ActiveBookTitle, "Torten");
    EXPECT_EQ(changed, 1);
}

TEST_F(CookbookWindowsTest, FingerprintAssignmentReportsItsCount)
{
    WorkDb().Execute("UPDATE T_REZ_KOPF SET Fingerprint1=5,Fingerprint2=7 WHERE ID=3");
    FrmSetFingerprint window;
    auto* date = Child<QLineEdit>(window, "txtDate");
    date->setText("31.02.2015");
    Click(window, "cmdOK");
    ASSERT_EQ(Messages(), std::vector<std::string>{"Ungültiges Datum..."});

    m_ui.shown.clear();
    date->setText("17.05.2003 14:35");
    Child<QLineEdit>(window, "txtCreator")->setText("Koch");
    Click(window, "cmdOK");
    EXPECT_EQ(Messages(), std::vector<std::string>{"2 Fingerprints wurden generiert/verändert."});
    // The window's date reaches the fingerprints it writes.
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_REZ_KOPF WHERE Fingerprint1=24480675"), 2);
}

TEST_F(CookbookWindowsTest, SerialRepairAsksFirst)
{
    WorkDb().Execute("UPDATE T_REZ_KOPF SET Fingerprint1=24480675,Fingerprint2=1048583");
    FrmSetFingerprint window;
    Child<QLineEdit>(window, "txtDate")->setText("01.01.2003");
    Click(window, "cmdDupeKill", Answer::No);
    EXPECT_EQ(Messages(), std::vector<std::string>{ClFingerprint::DupeKillQuestion(DateSerial::FromParts(2003, 1, 1))});
    EXPECT_EQ(Scalar("SELECT COUNT(DISTINCT Fingerprint2) FROM T_REZ_KOPF"), 1);

    Click(window, "cmdDupeKill", Answer::Yes);
    EXPECT_EQ(Scalar("SELECT COUNT(DISTINCT Fingerprint2) FROM T_REZ_KOPF"), 3);
}

} // namespace
} // namespace pf::test
