#include "ui/FrmMMImport.h"

#include "db/Database.h"
#include "db/DatabaseChoice.h"
#include "tests/support/BaseDataDb.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/FrmMMImportDupe.h"
#include "ui/FrmMMImportFList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

namespace pf {
namespace {

std::string DataFile(const std::string& name)
{
    return std::string(PF_TEST_DATA_DIR) + "/mm/" + name;
}

class FrmMMImportTest : public test::UiTest
{
protected:
    FrmMMImportTest()
    {
        db = test::MakeBaseDataDatabase(m_dir);
        m_context.Options.EditLastFPCounter = 10;
    }

    long Count(const std::string& sql) { return static_cast<long>(db->Scalar(sql).AsLong()); }

    std::unique_ptr<Database> db;
};

TEST_F(FrmMMImportTest, WizardImportsTheChosenFilesIntoANewCookbookWithLiveCounters)
{
    FrmMMImport window(db.get());
    window.show();
    m_ui.ChoosingFiles({DataFile("single.mm"), DataFile("twocol.mm")});
    Click(window, "cmdFileAdd");
    EXPECT_EQ(Child<QLabel>(window, "lblDateien")->text(), "2 Dateien");
    Click(window, "cmdWeiter");
    EXPECT_EQ(window.Page(), 1);
    Child<QCheckBox>(window, "chkNeuesKochbuch")->setChecked(true);
    Child<QLineEdit>(window, "tbKochbuchname")->setText("Von Tante Erna");
    Child<QRadioButton>(window, "optIgnore")->setChecked(true);
    Click(window, "cmdWeiter");
    EXPECT_EQ(window.Page(), 2);
    Click(window, "cmdImport");
    EXPECT_EQ(Child<QLabel>(window, "Anzahl")->text(), "3");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOPF"), 3);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOCHBUCH k INNER JOIN T_BUCH b ON k.BuchID=b.ID "
                    "WHERE b.BuchTitel='Von Tante Erna'"),
              3);

    // The same files again: the history question, then every recipe is a skipped duplicate.
    FrmMMImport again(db.get());
    again.show();
    m_ui.Answering(Answer::Yes);
    EXPECT_TRUE(again.AddFile(DataFile("twocol.mm")));
    m_ui.Answering(Answer::No);
    EXPECT_FALSE(again.AddFile(DataFile("single.mm")));
    Child<QRadioButton>(again, "optIgnore")->setChecked(true);
    Click(again, "cmdWeiter");
    Click(again, "cmdWeiter");
    Click(again, "cmdImport");
    EXPECT_EQ(Child<QLabel>(again, "lblSkipped")->text(), "2");
    EXPECT_EQ(m_ui.shown.back().Text, "Es wurden keine neuen Rezepte importiert");
    EXPECT_TRUE(m_ui.AllAnswersUsed());
}

TEST_F(FrmMMImportTest, CommandLineImportRunsIntoTheActiveCookbookAndCloses)
{
    db.reset();
    Connection().WorkDb = Database::OpenSqlite(m_dir.File("base.db"));
    WorkDb().Execute("INSERT INTO T_BUCH (ID, BuchTitel, BuchBeschreib) VALUES (3, 'Aktiv', 'x')");
    m_context.ActiveBookId = 3;
    // Only the first field of the list counts.
    RunCommandLineImport(DataFile("twocol.mm") + ",weitere.mm");
    EXPECT_EQ(WorkDb().Scalar("SELECT COUNT(*) FROM T_REZ_KOCHBUCH WHERE BuchID=3").AsLong(), 2);
    CloseWorkDatabase();
}

TEST_F(FrmMMImportTest, OptionQuestionsAndFileList)
{
    FrmMMImport window(db.get());
    m_ui.Answering(Answer::No).Answering(Answer::Yes);
    auto* binary = Child<QCheckBox>(window, "chkBin");
    binary->setChecked(true);
    EXPECT_FALSE(binary->isChecked());
    auto* bls = Child<QCheckBox>(window, "chkBLS");
    bls->setChecked(true);
    EXPECT_TRUE(bls->isChecked());
    EXPECT_EQ(m_ui.shown[0].Text, "Wirklich den Binärmodus aktivieren ?");
    EXPECT_NE(m_ui.shown[1].Text.find("Trotzdem fortfahren ?"), std::string::npos);

    FrmMMImportFList list({"a.mm", "b.mm", "c.mm"});
    list.show();
    Child<QListWidget>(list, "lstFiles")->setCurrentRow(1);
    Click(list, "cmdDel");
    EXPECT_EQ(list.Files(), (std::vector<std::string>{"a.mm", "c.mm"}));
}

TEST_F(FrmMMImportTest, DuplicateDialogShowsBothRecipesAndAnswers)
{
    ImportRecipe record;
    record.Title = "Pfannkuchen";
    record.Servings = 4;
    record.YieldUnitText = "Portionen";
    ImportIngredient flour;
    flour.Amount = Decimal4::FromLong(250);
    flour.AmountText = "250";
    flour.UnitText = "g";
    flour.Text = "Mehl";
    record.Lines.push_back(flour);
    DupeQuestion question;
    question.Recipe = &record;
    question.ImportTitle = "Pfannkuchen";
    question.ExistingTitle = "Pfannkuchen";
    question.Recommendation = "Ersetzen. Das zu importierende Rezept ist neuer.";
    question.Books = "Das Rezept ist im Kochbuch Import";

    FrmMMImportDupe dialog(question, db.get());
    dialog.show();
    EXPECT_EQ(Child<QLabel>(dialog, "lblEmpfehlung")->text(),
              "Empfehlung: Ersetzen. Das zu importierende Rezept ist neuer.");
    EXPECT_EQ(Child<QLabel>(dialog, "lblExistingTitle")->text(), "Pfannkuchen");
    Child<QCheckBox>(dialog, "chkNoMoreQuestions")->setChecked(true);
    Click(dialog, "cmdReplace");
    EXPECT_EQ(dialog.Decision(), dupe::kReplace);
    EXPECT_TRUE(dialog.NoMoreQuestions());

    FrmMMImportDupe escape(question, db.get());
    escape.show();
    QTest::keyClick(&escape, Qt::Key_Escape);
    EXPECT_EQ(escape.Decision(), dupe::kSkip);
}

} // namespace
} // namespace pf
