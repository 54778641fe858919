#include "ui/FrmMMImport.h"

#include "core/ExternalTools.h"
#include "exchange/ImportFile.h"
#include "ui/ExternalToolRun.h"

#include "exchange/RecipeImport.h"
#include "ui/FrmDBImport.h"
#include "ui/frmGenericImportWizard.h"

#include "tests/ui/UiTestSupport.h"
#include "ui/FrmMMImportDupe.h"
#include "ui/FrmMMImportFList.h"
#include "ui/FrmSearchandDisplay.h"

#include <QClipboard>

#include <fstream>

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
    EXPECT_FALSE(Child<QPushButton>(window, "cmdImport")->isEnabled());
    ASSERT_TRUE(window.ResultView());
    EXPECT_EQ(window.ResultView()->Caption, "Import-Ergebnis in Kochbuch \"Von Tante Erna\"");

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
    EXPECT_EQ(LastMessage(), "Es wurden keine neuen Rezepte importiert");
    EXPECT_TRUE(m_ui.AllAnswersUsed());
}

// Into the active cookbook, by the command line (only the first file of its list) or from the
// clipboard after its check step: the result is the cookbook's content, under a caption that names it.
TEST_F(FrmMMImportTest, TheResultOpensAsTheTargetCookbooksContent)
{
    db.reset();
    Connection().WorkDb = Database::OpenSqlite(m_dir.File("base.db"));
    WorkDb().Execute("INSERT INTO T_BUCH (ID, BuchTitel, BuchBeschreib) VALUES (3, 'Aktiv', 'x')");
    m_context.ActiveBookId = 3;
    const std::string expected = "Import-Ergebnis in Kochbuch \"Aktiv\"";
    std::optional<ImportResultView> view = RunCommandLineImport(DataFile("twocol.mm") + ",weitere.mm");
    ASSERT_TRUE(view);
    EXPECT_EQ(view->Caption, expected);
    EXPECT_EQ(WorkDb().Scalar("SELECT COUNT(*) FROM T_REZ_KOCHBUCH WHERE BuchID=3").AsLong(), 2);
    FrmSearchandDisplay list;
    list.ShowCookbook(view->BookID, view->Caption);
    EXPECT_EQ(Child<QLabel>(list, "lblCaption")->text().toStdString(), expected);
    EXPECT_EQ(list.ResultCount(), 2);

    const std::string text = test::ReadFile(DataFile("single.mm"));
    for (const bool confirm : {false, true}) {
        SCOPED_TRACE(confirm);
        QGuiApplication::clipboard()->setText(QString::fromStdString(text));
        QString checked;
        test::OnModal([&](QWidget& dialog) {
            checked = Child<QPlainTextEdit>(dialog, "txtRecipeText")->toPlainText();
            Click(dialog, confirm ? "cmdImport" : "cmdCancel");
        });
        view = ImportFromClipboard();
        EXPECT_EQ(checked, QString::fromStdString(text).remove('\r'));
        EXPECT_EQ(view.has_value(), confirm);
        EXPECT_EQ(WorkDb().Scalar("SELECT COUNT(*) FROM T_REZ_KOPF").AsLong(), confirm ? 3 : 2);
    }
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
    question.ImportTitle = question.ExistingTitle = "Pfannkuchen";
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

TEST_F(FrmMMImportTest, DatabaseImportTakesTheOtherDatabasesRecipesOnce)
{
    // The other database: three recipes from files, in a cookbook of its own.
    std::unique_ptr<Database> other = test::MakeBaseDataDatabase(m_dir, "andere.db");
    {
        RecipeImport fill(*other);
        fill.Options().Files = {DataFile("single.mm"), DataFile("twocol.mm")};
        fill.Options().NewCookbook = true;
        fill.Options().CookbookName = "Ernas Rezepte";
        ASSERT_TRUE(fill.Import());
    }
    const std::string otherFile = other->Name();
    other.reset();

    FrmDBImport window(db.get());
    window.show();
    m_ui.ChoosingFiles({otherFile});
    Click(window, "cmdDatei");
    EXPECT_EQ(Child<QLineEdit>(window, "tbDatei")->text().toStdString(), otherFile);
    Child<QCheckBox>(window, "chkNeuesKochbuch")->setChecked(true);
    Child<QLineEdit>(window, "tbKochbuchname")->setText("Von Erna");
    Click(window, "cmdStart");
    EXPECT_EQ(window.Counters().Imported, 3);
    ASSERT_TRUE(window.ResultView());
    EXPECT_EQ(window.ResultView()->Caption, "Import-Ergebnis in Kochbuch \"Von Erna\"");

    // Again: every recipe is known, nothing new comes in.
    FrmDBImport again(db.get());
    again.SetFile(otherFile);
    Click(again, "cmdStart");
    EXPECT_EQ(again.Counters().Skipped, 3);
    EXPECT_EQ(LastMessage(), "Es wurden keine neuen Rezepte importiert");
    // The open database itself is refused.
    again.SetFile(db->Name());
    Click(again, "cmdStart");
    EXPECT_EQ(LastMessage(), "Die Datenbank kann nicht in sich selbst importiert werden.");
}

TEST_F(FrmMMImportTest, TotallyInteractiveRunGoesThroughAnInterimDatabaseThatIsRemovedAfterwards)
{
    UseInitZip();
    // One recipe is in the database already: the interim run keeps it, the transfer window skips it.
    {
        RecipeImport first(*db);
        first.Options().Files = {DataFile("single.mm")};
        ASSERT_TRUE(first.Import());
    }
    for (const bool takeOver : {false, true}) {
        SCOPED_TRACE(takeOver);
        FrmMMImport window(db.get());
        window.show();
        m_ui.ChoosingFiles({DataFile("single.mm"), DataFile("twocol.mm")});
        m_ui.Answering(Answer::Yes); // single.mm was imported before
        Click(window, "cmdFileAdd");
        Click(window, "cmdWeiter");
        Child<QCheckBox>(window, "chkTotalInteraktiv")->setChecked(true);
        Click(window, "cmdWeiter");
        bool interimSeen = false;
        // The run processes events while it reads; the transfer window comes when it has finished.
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<FrmDBImport*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            poll.stop();
            // Nothing reached the open database yet; the interim file holds all three recipes.
            EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOPF"), 1);
            const std::string interim = Child<QLineEdit>(*dialog, "tbDatei")->text().toStdString();
            interimSeen = std::filesystem::exists(interim);
            Child<QRadioButton>(*dialog, "optIgnore")->setChecked(true);
            if (takeOver)
                Click(*dialog, "cmdStart");
            Click(*dialog, "cmdClose");
        });
        poll.start();
        Click(window, "cmdImport");
        EXPECT_TRUE(interimSeen);
        EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOPF"), takeOver ? 3 : 1);
        EXPECT_EQ(window.ResultView().has_value(), takeOver);
        // The interim file and its side files are gone, also when nothing was taken over.
        EXPECT_TRUE(std::filesystem::is_empty(m_context.TempDir));
    }
}

TEST_F(FrmMMImportTest, TableWizardReadsFiltersAndImportsOnItsThreePages)
{
    const std::string table = m_dir.File("liste.csv");
    std::ofstream(table, std::ios::binary)
        << "Titel;Menükarte;Notiz;Quelle;Kategorie;Unterkategorie;Kochbücher\r\n"
           "Apfelkuchen;;;;Backen;Kuchen;\"Sommer;Omas Beste\"\r\n"
           "\"Käse-\r\nspätzle\";Spätzle;;Heft;Hauptgericht;;Sommer\r\n"
           "Winterteller;;;;Hauptgericht;;Winter\r\n";
    const std::string narrow = m_dir.File("schmal.csv");
    std::ofstream(narrow, std::ios::binary) << "Titel;Quelle\r\nSuppe;Heft\r\n";

    frmGenericImportWizard wizard(db.get());
    wizard.show();
    // A table of the wrong width keeps the wizard on its first page.
    m_ui.ChoosingFiles({narrow});
    Click(wizard, "cmdDatei");
    Click(wizard, "cmdForward");
    EXPECT_EQ(wizard.Page(), 0);
    EXPECT_EQ(LastMessage(), "Die Datei scheint nicht das erwartete Format zu haben!");

    Child<QLineEdit>(wizard, "tbDatei")->setText(QString::fromStdString(table));
    Child<QLineEdit>(wizard, "tbQuelle")->setText("Aus der Liste");
    Click(wizard, "cmdForward");
    ASSERT_EQ(wizard.Page(), 1);
    auto* books = Child<QListWidget>(wizard, "lbBook");
    ASSERT_EQ(books->count(), 3);
    EXPECT_EQ(books->item(0)->text(), "Sommer [neu] (2)");
    auto* recipes = Child<QListWidget>(wizard, "lbrecipe");
    EXPECT_EQ(recipes->count(), 3);
    books->item(2)->setCheckState(Qt::Unchecked); // "Winter"
    ASSERT_EQ(recipes->count(), 2);
    EXPECT_EQ(recipes->item(0)->text(), "Apfelkuchen [Backen, Kuchen]");
    EXPECT_EQ(Child<QLabel>(wizard, "lblStatus")->text(),
              "Rezepte werden gefiltert: 1 Rezepte durch Schritt 2 entfernt");
    recipes->item(0)->setSelected(false);
    Click(wizard, "cmdForward");
    ASSERT_EQ(wizard.Page(), 2);
    Click(wizard, "cmdForward");
    EXPECT_EQ(db->Scalar("SELECT RezTitle FROM T_REZ_KOPF").AsText(), "Käse- spätzle");
    EXPECT_FALSE(Child<QPushButton>(wizard, "cmdForward")->isEnabled());

    // The result list shows this run's recipes only, under the caption with the run's date.
    const DateSerial runDate = wizard.RunDate();
    const std::string caption = wizard.ResultCaption();
    EXPECT_EQ(caption, "Ergebnis des Imports vom " + ClSearch::ImportDateText(runDate));
    db->Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,RezImportDate,FlagDeleted,Template) VALUES "
                "(900,'Früher importiert',?,0,0)",
                {DateSerial{runDate.Days - 1.0 / 24}});
    db.reset();
    Connection().WorkDb = Database::OpenSqlite(m_dir.File("base.db"));
    FrmSearchandDisplay list;
    list.ShowImportResult(runDate, caption);
    EXPECT_EQ(Child<QLabel>(list, "lblCaption")->text().toStdString(), caption);
    EXPECT_EQ(list.ResultCount(), 1);
}

// A tool that edits the exported recipe: what it gives back is the edited recipe, and the user
// decides through one question whether it replaces the recipe it came from (keeping its number,
// pictures, utensils and cookbooks, which no exchanged file carries), comes in beside it, or stops
// the import, whatever format the tool exchanges.
TEST_F(FrmMMImportTest, ToolEditedRecipeComesBackInPlaceOfTheExportedOne)
{
    UseTempFolder();
    const std::string script = m_dir.File("edit.sh");
    test::WriteFile(script, "#!/bin/sh\nsed -i 's/Die Butter/Die kalte Butter/' \"$1\"\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    struct Row
    {
        long Type;
        const char* Name;
        Answer Given;
        long Recipes; // afterwards
    };
    for (const Row row :
         {Row{tooltype::kMealMaster, "mm", Answer::Yes, 1}, Row{tooltype::kRezkonv, "rk", Answer::No, 2},
          Row{tooltype::kMensax, "mx", Answer::Cancel, 1}, Row{tooltype::kMensax, "mx-ja", Answer::Yes, 1}}) {
        SCOPED_TRACE(row.Name);
        db = test::MakeBaseDataDatabase(m_dir, std::string(row.Name) + ".db");
        RecipeImport first(*db);
        ASSERT_TRUE(first.ImportFromText(ImportTextFromString(test::ReadFile(DataFile("single.mm")), "x")));
        db.reset();
        Connection().WorkDb = Database::OpenSqlite(m_dir.File(std::string(row.Name) + ".db"));
        const long id = WorkDb().Scalar("SELECT ID FROM T_REZ_KOPF").AsLong();
        const char* const extras[] = {"T_BLOB WHERE IDType=5 AND IDReference=?",
                                      "T_REZ_GERAET WHERE GeraetID=41 AND RezID=?",
                                      "T_REZ_KOCHBUCH WHERE BuchID=42 AND RezID=?"};
        WorkDb().Execute("INSERT INTO T_BLOB (ID,IDReference,IDType,IDNum,Property,Blob) VALUES (9,?,5,1,0,?)",
                         {id, test::PngPicture(4, 4, Qt::red)});
        WorkDb().Execute("INSERT INTO T_REZ_GERAET (RezID,GeraetID) VALUES (?,41)", {id});
        WorkDb().Execute("INSERT INTO T_REZ_KOCHBUCH (RezID,BuchID) VALUES (?,42)", {id});

        const ExternalTool tool{"Butter kühlen", script + " &fil", "",
                                toolaction::kExportBefore | toolaction::kImportAfter, row.Type, ""};
        // A modal window opened past the interaction is recorded and closed, so that it fails the
        // test instead of waiting forever.
        QStringList modals;
        QTimer watchdog;
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                modals << modal->objectName();
                modal->close();
            }
        });
        watchdog.start(50);
        m_ui.Answering(row.Given);
        EXPECT_TRUE(RunExternalTool(tool, {id}, nullptr).Ran);
        watchdog.stop();
        EXPECT_TRUE(modals.isEmpty()) << modals.join(", ").toStdString();
        EXPECT_TRUE(m_ui.AllAnswersUsed());
        const std::string& asked = m_ui.shown.front().Text;
        EXPECT_EQ(asked.rfind("„Butter kühlen“ hat das Rezept „Apfelkuchen vom Blech“ zurückgegeben.", 0), 0u)
            << asked;
        for (const char* extra : extras)
            EXPECT_EQ(WorkDb().Scalar(std::string("SELECT COUNT(*) FROM ") + extra, {id}).AsLong(), 1) << extra;
        EXPECT_EQ(WorkDb().Scalar("SELECT COUNT(*) FROM T_REZ_KOPF").AsLong(), row.Recipes);
        const std::string kept =
            WorkDb().Scalar("SELECT AnwText FROM T_REZ_ANWEIS WHERE ID=" + std::to_string(id)).AsText();
        EXPECT_EQ(kept.find("Die kalte Butter") != std::string::npos, row.Given == Answer::Yes) << kept;
        m_ui.shown.clear();
        CloseWorkDatabase();
    }
}

} // namespace
} // namespace pf
