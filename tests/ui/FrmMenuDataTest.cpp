#include "ui/FrmMenuData.h"
#include "ui/FrmSkalierungAnzahl.h"

#include "model/ClUnit.h"
#include "tests/ui/UiTestSupport.h"

#include <QLocale>
#include <QPointer>
#include <QSignalSpy>
#include <QTimeEdit>

namespace pf::test {
namespace {

class FrmMenuDataTest : public UiDbTest
{
protected:
    FrmMenuDataTest()
    {
        // Quantities are typed and shown as fractions; decimals as a German user sees them.
        m_context.Options.EditFlags = 8;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        Database& db = WorkDb();
        db.Execute("INSERT INTO T_UNIT (ID,UnitShortD,UnitNameD) VALUES (1,'G','Gramm'),(2,'KG','Kilogramm'),"
                   "(3,'EL','Esslöffel')");
        db.Execute("INSERT INTO T_REZ_KOPFEINHEIT (ID,NameD,NameE,NameF) VALUES (1,'Portionen','Portionen',"
                   "'Portionen'),(2,'Stück','Stück','Stück')");
        db.Execute("INSERT INTO T_CAT (ID,CatNameD,CatType,LaenderCode,ErfassungsFlag) VALUES "
                   "(1,'Hauptgericht',1,0,-1),(2,'Fleisch',1,0,-1),(10,'Ungarn',2,36,-1)");
        db.Execute("INSERT INTO T_BUCH (ID,BuchTitel) VALUES (5,'Alltag'),(6,'Feste')");
    }
    ~FrmMenuDataTest() override { QLocale::setDefault(m_locale); }

    QLocale m_locale;

    static QTableWidget& Grid(QWidget& window) { return *Child<QTableWidget>(window, "grdIngredients"); }
    // Types into a cell of the ingredient grid as a finished edit.
    static void Type(QWidget& window, int row, int column, const QString& text)
    {
        Grid(window).item(row, column)->setText(text);
    }
    // Chooses a unit through the unit column's list.
    static void ChooseUnit(QWidget& window, int row, const QString& unit)
    {
        QTableWidget& grid = Grid(window);
        const QModelIndex index = grid.model()->index(row, FrmMenuData::ColEinheit);
        QAbstractItemDelegate* delegate = grid.itemDelegateForColumn(FrmMenuData::ColEinheit);
        std::unique_ptr<QWidget> editor(
            delegate->createEditor(grid.viewport(), QStyleOptionViewItem(), index));
        auto* combo = qobject_cast<QComboBox*>(editor.get());
        ASSERT_NE(combo, nullptr);
        delegate->setEditorData(combo, index);
        const int pos = combo->findText(unit);
        ASSERT_GE(pos, 0) << unit.toStdString();
        combo->setCurrentIndex(pos);
        delegate->setModelData(combo, grid.model(), index);
    }
    static void AddLine(QWidget& window, const QString& quantity, const QString& unit, const QString& text)
    {
        Click(window, "cmdInsertLine");
        const int row = Grid(window).currentRow();
        Type(window, row, FrmMenuData::ColMenge, quantity);
        if (!unit.isEmpty())
            ChooseUnit(window, row, unit);
        Type(window, row, FrmMenuData::ColZutat, text);
    }
    static QStringList Row(QWidget& window, int row)
    {
        QStringList cells;
        for (int column = 0; column < FrmMenuData::ColCount; ++column) {
            QTableWidgetItem* item = Grid(window).item(row, column);
            cells << (item ? item->text() : QString());
        }
        return cells;
    }
    // Fills what a complete recipe needs: title, yield, instructions, a category and a cookbook.
    static void FillComplete(FrmMenuData& window, const QString& title)
    {
        QTest::keyClicks(Child<QLineEdit>(window, "txtTitle"), title);
        Child<QSpinBox>(window, "spnYield")->setValue(4);
        Child<QComboBox>(window, "cboYieldUnit")->setCurrentText("Portionen");
        Child<QPlainTextEdit>(window, "txtInstructions")->setPlainText("Anbraten.\nSchmoren lassen.");
        window.SetCategoryChooser([](QWidget*, std::vector<long>) { return std::vector<long>{1}; });
        Click(window, "cmdAddCategory");
        Child<QListWidget>(window, "lstBooks")->item(0)->setCheckState(Qt::Checked);
        Child<QComboBox>(window, "cboOrigin")->setCurrentText("Ungarn");
    }
};

TEST_F(FrmMenuDataTest, NewRecipeIsStoredAndReadsBackAsTyped)
{
    long id = 0;
    {
        FrmMenuData window(0);
        QSignalSpy saved(&window, &FrmMenuData::recipeSaved);
        FillComplete(window, "Gulasch");
        AddLine(window, "1 1/2", "Kilogramm [KG]", "Rindfleisch; gewürfelt");
        AddLine(window, "250", "Gramm [G]", "Zwiebeln");
        Click(window, "cmdSeparator");
        Type(window, Grid(window).currentRow(), 0, "Zum Abschmecken");
        AddLine(window, "1/4", "Esslöffel [EL]", "Paprika edelsüß");
        EXPECT_TRUE(window.HasUnsavedChanges());

        ASSERT_TRUE(window.cmdSave_Click());
        EXPECT_TRUE(m_ui.shown.empty()) << m_ui.shown.front().Text;
        id = window.Recipe().id();
        ASSERT_GT(id, 0);
        ASSERT_EQ(saved.count(), 1);
        EXPECT_EQ(saved.front().front().toLongLong(), id);
        EXPECT_FALSE(window.HasUnsavedChanges());
        EXPECT_EQ(window.windowTitle(), "Rezept: Gulasch");
    }
    // Read back through a fresh window: what was typed is what was stored. The ingredient lends
    // its text after ";" to the processing column.
    EXPECT_FALSE(WorkDb().Scalar("SELECT Generic FROM T_REZ_KOPF").AsBool());

    ClearRecipeCache();
    FrmMenuData window(id);
    EXPECT_EQ(Child<QLineEdit>(window, "txtTitle")->text(), "Gulasch");
    EXPECT_EQ(Child<QSpinBox>(window, "spnYield")->value(), 4);
    EXPECT_EQ(Child<QComboBox>(window, "cboYieldUnit")->currentText(), "Portionen");
    EXPECT_EQ(Child<QComboBox>(window, "cboOrigin")->currentText(), "Ungarn");
    EXPECT_EQ(Child<QPlainTextEdit>(window, "txtInstructions")->toPlainText(), "Anbraten.\nSchmoren lassen.");
    EXPECT_EQ(ItemTexts(Child<QListWidget>(window, "lstCategories")), QStringList{"Hauptgericht"});
    EXPECT_EQ(Child<QListWidget>(window, "lstBooks")->item(0)->checkState(), Qt::Checked);
    ASSERT_EQ(Grid(window).rowCount(), 4);
    EXPECT_EQ(Row(window, 0),
              (QStringList{"1 1/2", "Kilogramm [KG]", "Rindfleisch", "gewürfelt", QString(), QString()}));
    EXPECT_EQ(Row(window, 1), (QStringList{"250", "Gramm [G]", "Zwiebeln", QString(), QString(), QString()}));
    EXPECT_EQ(Row(window, 2)[0], "Zum Abschmecken");
    EXPECT_EQ(Grid(window).columnSpan(2, 0), FrmMenuData::ColCount);
    EXPECT_EQ(Row(window, 3),
              (QStringList{"1/4", "Esslöffel [EL]", "Paprika edelsüß", QString(), QString(), QString()}));
    EXPECT_FALSE(window.HasUnsavedChanges());
}

TEST_F(FrmMenuDataTest, HeadFieldsAndPicturesAreStoredAndShownAgain)
{
    WorkDb().Execute("INSERT INTO T_LITERATUR (QuelleID,Title) VALUES (3,'Das große Kochbuch')");
    WorkDb().Execute("INSERT INTO T_INFO_KEY (ID,[KEY],KEYTYPE) VALUES (4,'Schmortopf',2),(4,'Bräter',2),"
                     "(9,'Kochlöffel',2)");
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkRed);
    const std::string picture = m_dir.File("gulasch.png");
    ASSERT_TRUE(image.save(QString::fromStdString(picture)));

    long id = 0;
    {
        FrmMenuData window(0);
        QTest::keyClicks(Child<QLineEdit>(window, "txtTitle"), "Gulasch");
        QTest::keyClicks(Child<QLineEdit>(window, "txtMenuCard"), "Gulasch nach Art des Hauses");
        Choose(window, "cboLanguage", "Deutsch (Österreich)");
        Choose(window, "cboLiterature", "Das große Kochbuch");
        Child<QSpinBox>(window, "spnPage")->setValue(112);
        QTest::keyClicks(Child<QLineEdit>(window, "txtSource"), "Tante Ilona");
        Child<QSpinBox>(window, "spnPantry")->setValue(1);
        Child<QSpinBox>(window, "spnFridge")->setValue(3);
        Child<QSpinBox>(window, "spnFreezer")->setValue(6);
        Child<QTimeEdit>(window, "timPreparation")->setTime(QTime(0, 30));
        Child<QTimeEdit>(window, "timCooking")->setTime(QTime(2, 15));
        Child<QPlainTextEdit>(window, "txtNotes")->setPlainText("Am nächsten Tag noch besser.");
        QTest::keyClicks(Child<QLineEdit>(window, "txtWine"), "Blaufraenkisch");
        auto* tools = Child<QListWidget>(window, "lstTools");
        // One entry per utensil, named by its first keyword.
        ASSERT_EQ(ItemTexts(tools), (QStringList{"Bräter", "Kochlöffel"}));
        tools->item(0)->setCheckState(Qt::Checked);
        m_ui.ChoosingFiles({picture});
        Click(window, "cmdAddPicture");
        EXPECT_EQ(Child<QListWidget>(window, "lstPictures")->count(), 1);
        ASSERT_TRUE(window.cmdSave_Click());
        id = window.Recipe().id();
    }
    // Times are stored as fractions of a day, as every other reader of the table expects.
    EXPECT_EQ(WorkDb().Scalar("SELECT RezZeitKochen FROM T_REZ_KOPF").AsDate().Days, (2 * 60 + 15) / 1440.0);
    ClearRecipeCache();
    FrmMenuData window(id);
    EXPECT_EQ(Child<QLineEdit>(window, "txtMenuCard")->text(), "Gulasch nach Art des Hauses");
    EXPECT_EQ(Child<QComboBox>(window, "cboLanguage")->currentText(), "Deutsch (Österreich)");
    EXPECT_EQ(Child<QComboBox>(window, "cboLiterature")->currentText(), "Das große Kochbuch");
    EXPECT_EQ(Child<QSpinBox>(window, "spnPage")->value(), 112);
    EXPECT_EQ(Child<QLineEdit>(window, "txtSource")->text(), "Tante Ilona");
    EXPECT_EQ(Child<QSpinBox>(window, "spnPantry")->value(), 1);
    EXPECT_EQ(Child<QSpinBox>(window, "spnFridge")->value(), 3);
    EXPECT_EQ(Child<QSpinBox>(window, "spnFreezer")->value(), 6);
    EXPECT_EQ(Child<QTimeEdit>(window, "timPreparation")->time(), QTime(0, 30));
    EXPECT_EQ(Child<QTimeEdit>(window, "timCooking")->time(), QTime(2, 15));
    EXPECT_EQ(Child<QPlainTextEdit>(window, "txtNotes")->toPlainText(), "Am nächsten Tag noch besser.");
    EXPECT_EQ(Child<QLineEdit>(window, "txtWine")->text(), "Blaufraenkisch");
    EXPECT_EQ(Child<QListWidget>(window, "lstTools")->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(Child<QListWidget>(window, "lstTools")->item(1)->checkState(), Qt::Unchecked);
    auto* pictures = Child<QListWidget>(window, "lstPictures");
    ASSERT_EQ(pictures->count(), 1);
    EXPECT_FALSE(pictures->item(0)->icon().isNull());
    EXPECT_FALSE(window.HasUnsavedChanges());

    pictures->setCurrentRow(0);
    Click(window, "cmdDelPicture");
    ASSERT_TRUE(window.cmdSave_Click());
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_BLOB"), 0);
}

TEST_F(FrmMenuDataTest, LinesMoveAndGoAndEmptyOnesAreDropped)
{
    FrmMenuData window(0);
    AddLine(window, "1", "", "Eier");
    AddLine(window, "2", "", "Milch");
    AddLine(window, "3", "", "Mehl");
    Click(window, "cmdLineUp");
    EXPECT_EQ(Row(window, 1)[FrmMenuData::ColZutat], "Mehl");
    Grid(window).setCurrentCell(0, 0);
    Click(window, "cmdDeleteLine");
    Click(window, "cmdInsertLine");
    m_context.Options.EditFlags = 12; // decimal entry: "2,5" is two and a half
    Type(window, 1, FrmMenuData::ColMenge, "2,5");
    EXPECT_EQ(Row(window, 1)[FrmMenuData::ColMenge], "2,5");
    Click(window, "cmdInsertLine");
    QTest::keyClicks(Child<QLineEdit>(window, "txtTitle"), "Pfannkuchen");
    ASSERT_TRUE(window.cmdSave_Click());
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_REZ_ZUTAT"), 3);
    EXPECT_EQ(Text("SELECT ZutText FROM T_REZ_ZUTAT WHERE No=1"), "Mehl");
    EXPECT_EQ(WorkDb().Scalar("SELECT ZutAnz FROM T_REZ_ZUTAT WHERE No=2").AsDouble(), 2.5);
    EXPECT_EQ(Text("SELECT ZutText FROM T_REZ_ZUTAT WHERE No=3"), "Milch");
    // Without instructions the recipe is a draft: stored as generic without the questions.
    EXPECT_TRUE(WorkDb().Scalar("SELECT Generic FROM T_REZ_KOPF").AsBool());
}

TEST_F(FrmMenuDataTest, RecipeReferenceLinePointsAtTheChosenRecipe)
{
    WorkDb().Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,FlagDeleted,Template) VALUES (7,'Spätzle',0,0),"
                     "(8,'Alte Soße',-1,0)");
    FrmMenuData window(0);
    QTest::keyClicks(Child<QLineEdit>(window, "txtTitle"), "Gulasch mit Beilage");
    m_ui.ChoosingItem(0);
    Click(window, "cmdRecipeReference");
    EXPECT_EQ(Row(window, 0)[FrmMenuData::ColZutat], "Spätzle");
    ASSERT_TRUE(window.cmdSave_Click());
    EXPECT_TRUE(WorkDb().Scalar("SELECT ZutRezept FROM T_REZ_ZUTAT").AsBool());
    EXPECT_EQ(Scalar("SELECT ZutBLSId FROM T_REZ_ZUTAT"), 7);
}

TEST_F(FrmMenuDataTest, FoodOfALineIsChosenFromTheLookupAndStoredWithTheRecipe)
{
    Database& db = WorkDb();
    db.Execute(
        "INSERT INTO T_BLS_KEY (ID,SBLS,ST,STE,ProduktHauptFlag) VALUES (5,'G301100','Möhre','Carrot',-1),"
        "(8,'G501400','Zwiebel, getrocknet','Onion, dried',0)");
    db.Execute("INSERT INTO T_INFO_KEY (ID,[KEY],KEYTYPE) VALUES (5,'Karotte',3)");
    db.Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle) VALUES (70,'Karottensalat')");
    long id = 0;
    {
        FrmMenuData window(0);
        FillComplete(window, "Pfanne");
        AddLine(window, "3", "", "Karotten");
        AddLine(window, "1", "Esslöffel [EL]", "Zwiebel, getr");
        // "Karotten" finds the carrot through its synonym, and the recipe of that name.
        Grid(window).setCurrentCell(0, FrmMenuData::ColZutat);
        m_ui.ChoosingItem(0);
        Click(window, "cmdFindFood");
        ASSERT_FALSE(m_ui.offered.empty());
        EXPECT_EQ(m_ui.offered.back().Items,
                  (std::vector<std::string>{"Möhre [Synonym Karotte]", "Rezept: Karottensalat",
                                            "< weitere Lebensmittel suchen … >"}));
        EXPECT_EQ(Row(window, 0)[FrmMenuData::ColLebensmittel], "Möhre");
        EXPECT_EQ(Grid(window).item(0, FrmMenuData::ColLebensmittel)->toolTip(), "BLS-Code G301100");
        EXPECT_TRUE(window.HasUnsavedChanges());
        // No main product: the cook is asked to look among the others.
        Grid(window).setCurrentCell(1, FrmMenuData::ColZutat);
        m_ui.Answering(Answer::Yes).ChoosingItem(0);
        Click(window, "cmdFindFood");
        EXPECT_EQ(Row(window, 1)[FrmMenuData::ColLebensmittel], "Zwiebel, getrocknet");
        EXPECT_TRUE(m_ui.AllAnswersUsed());
        ASSERT_TRUE(window.cmdSave_Click());
        id = window.Recipe().id();
    }
    ClearRecipeCache();
    FrmMenuData window(id);
    EXPECT_EQ(Row(window, 0)[FrmMenuData::ColLebensmittel], "Möhre");
    EXPECT_EQ(Row(window, 1)[FrmMenuData::ColLebensmittel], "Zwiebel, getrocknet");
    // A line with a food offers to take it away; the choice is stored only with the recipe.
    Grid(window).setCurrentCell(0, FrmMenuData::ColZutat);
    m_ui.ChoosingItem(3);
    Click(window, "cmdFindFood");
    EXPECT_EQ(m_ui.offered.back().Items[2], "< weitere Lebensmittel suchen … >");
    EXPECT_EQ(m_ui.offered.back().Items.back(), "< keine Zuordnung >");
    EXPECT_EQ(Row(window, 0)[FrmMenuData::ColLebensmittel], "");
    // Choosing the recipe makes the line a sub-recipe.
    m_ui.ChoosingItem(1);
    Click(window, "cmdFindFood");
    ASSERT_TRUE(window.cmdSave_Click());
    EXPECT_TRUE(db.Scalar("SELECT ZutRezept FROM T_REZ_ZUTAT WHERE ZutBLSID=70").AsBool());
}

TEST_F(FrmMenuDataTest, ChecksStopTheSaveUntilTheProblemsAreSolved)
{
    FrmMenuData window(0);
    QTest::keyClicks(Child<QLineEdit>(window, "txtTitle"), "Gulasch");
    Child<QPlainTextEdit>(window, "txtInstructions")->setPlainText("Schmoren.");
    AddLine(window, "500", "Gramm [G]", "Rindfleisch");
    Child<QComboBox>(window, "cboOrigin")->setCurrentText("Puszta");
    m_ui.Answering(Answer::Yes).Answering(Answer::Yes);
    EXPECT_FALSE(window.cmdSave_Click());
    ASSERT_EQ(Messages(),
              (std::vector<std::string>{
                  "Ist es korrekt, dass das Rezept ausser zum Basiskochbuch zu keinen weiteren Kochbüchern gehört ?",
                  "Die erfasste geographische Herkunft: \"Puszta\" ist neu. Soll diese Angabe "
                  "wirklich als neue Herkunft gespeichert werden ?",
                  "Vor dem Speichern müssen noch folgende Probleme beseitigt sein:\n"
                  "Das Rezept muss zu mindestens einer Kategorie gehören.\n"
                  "Eine Mengenangabe muss gemacht werden."}));
    EXPECT_EQ(m_ui.shown.back().Caption, "Speichern eines Rezeptes");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_REZ_KOPF"), 0);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_CAT WHERE CatNameD='Puszta'"), 0);

    m_ui.shown.clear();
    window.SetCategoryChooser([](QWidget*, std::vector<long> current) {
        current.push_back(2);
        current.push_back(1);
        return current;
    });
    Click(window, "cmdAddCategory");
    Child<QListWidget>(window, "lstCategories")->setCurrentRow(1);
    Click(window, "cmdPrimaryCategory");
    EXPECT_EQ(Child<QListWidget>(window, "lstCategories")->item(0)->text(), "Hauptgericht");
    Child<QSpinBox>(window, "spnYield")->setValue(4);
    m_ui.Answering(Answer::Yes).Answering(Answer::Yes);
    ASSERT_TRUE(window.cmdSave_Click());
    EXPECT_TRUE(m_ui.AllAnswersUsed());
    const long origin = Scalar("SELECT ID FROM T_CAT WHERE CatNameD='Puszta'");
    EXPECT_NE(Scalar("SELECT LaenderCode FROM T_CAT WHERE CatNameD='Puszta'"), 0);
    EXPECT_EQ(Scalar("SELECT RezHerkunft FROM T_REZ_KOPF"), origin);
    EXPECT_EQ(Scalar("SELECT CatID FROM T_REZ_CAT_NDX WHERE CatPrimary<>0"), 1);
    // The new country is offered in the origin list from now on.
    EXPECT_GE(Child<QComboBox>(window, "cboOrigin")->findText("Puszta"), 0);
}

// The cookbook and origin questions confirm a state the cook chose: asked when a save brings it
// about, not again on every later save; silenced for good when the cook ticks the box.
TEST_F(FrmMenuDataTest, SaveAsksAboutCookbooksAndOriginUntilTheCookSilencesTheQuestion)
{
    const std::string books =
        "Ist es korrekt, dass das Rezept ausser zum Basiskochbuch zu keinen weiteren Kochbüchern gehört ?";
    const std::string origin = "Ist es korrekt, dass keine Herkunftsangabe gemacht worden ist ?";
    long id = 0;
    const struct
    {
        const char* name;
        bool newRecipe;
        const char* originText;
        std::vector<std::string> asked;
        bool silenceBooks;
    } saves[] = {
        {"new, base cookbook only, no origin", true, "", {books, origin}, false},
        {"saved again unchanged", false, "", {books, origin}, false},
        {"an origin given", false, "Ungarn", {books}, false},
        {"the origin taken away", false, "", {books, origin}, false},
        {"another new one, cookbook question silenced", true, "Ungarn", {books}, true},
        {"a third new one", true, "Ungarn", {}, false},
    };
    for (const auto& save : saves) {
        SCOPED_TRACE(save.name);
        FrmMenuData window(save.newRecipe ? 0 : id);
        if (save.newRecipe) {
            FillComplete(window, "Gulasch");
            AddLine(window, "500", "Gramm [G]", "Rindfleisch");
            Child<QListWidget>(window, "lstBooks")->item(0)->setCheckState(Qt::Unchecked);
        }
        Child<QPlainTextEdit>(window, "txtInstructions")->setPlainText(QString("Schmoren: ") + save.name);
        Child<QComboBox>(window, "cboOrigin")->setCurrentText(save.originText);
        m_ui.shown.clear();
        for (std::size_t i = 0; i < save.asked.size(); ++i)
            save.silenceBooks ? m_ui.AnsweringForGood(Answer::Yes) : m_ui.Answering(Answer::Yes);
        ASSERT_TRUE(window.cmdSave_Click());
        EXPECT_EQ(Messages(), save.asked);
        EXPECT_TRUE(m_ui.AllAnswersUsed());
        if (save.newRecipe)
            id = window.Recipe().id();
    }
}

TEST_F(FrmMenuDataTest, StatusCheckNamesWhatIsMissing)
{
    FrmMenuData window(0);
    window.show();
    // Without utensil entries in the lexicon the utensil list is not offered.
    EXPECT_FALSE(Child<QListWidget>(window, "lstTools")->isVisible());
    Click(window, "cmdStatus");
    EXPECT_EQ(Child<QLabel>(window, "lblStatus")->text(), "Es fehlt: Zubereitung, Menge, Kategorie, Zutaten");
    FillComplete(window, "Gulasch");
    AddLine(window, "1", "Kilogramm [KG]", "Rindfleisch");
    Click(window, "cmdStatus");
    EXPECT_EQ(LastMessage(), "Das Rezept ist kein generisches Rezept. Alle notwendigen Angaben sind vorhanden.");
}

TEST_F(FrmMenuDataTest, TemplateIsSavedAsAFurtherRecipeAfterTheQuestion)
{
    FrmMenuData window(0);
    FillComplete(window, "Eintopf");
    AddLine(window, "1", "Kilogramm [KG]", "Kartoffeln");
    ASSERT_TRUE(window.cmdSave_Click());
    const long original = window.Recipe().id();

    m_ui.Answering(Answer::Cancel);
    EXPECT_FALSE(window.cmdSaveTemplate_Click());
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_REZ_KOPF"), 1);
    EXPECT_EQ(LastMessage(), "Die vorliegenden Eingabedaten werden als sogenanntes Template gespeichert.\n"
                             "Wenn die Daten bereits auf einem Template basieren, wird jetzt ein weiterer "
                             "Set an Daten abgespeichert !");
    EXPECT_EQ(m_ui.shown.back().Caption, "Speichern als Template");

    m_ui.Answering(Answer::Ok);
    ASSERT_TRUE(window.cmdSaveTemplate_Click());
    const long templ = window.Recipe().id();
    EXPECT_NE(templ, original);
    EXPECT_EQ(Scalar("SELECT ID FROM T_REZ_KOPF WHERE Template<>0"), templ);

    // A recipe started from the template is stored as a new ordinary recipe.
    FrmMenuData fromTemplate(templ, FrmMenuData::Start::FromTemplate);
    EXPECT_EQ(Row(fromTemplate, 0)[FrmMenuData::ColZutat], "Kartoffeln");
    ASSERT_TRUE(fromTemplate.cmdSave_Click());
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_REZ_KOPF WHERE Template=0"), 2);

    // Without a title the template cannot be stored.
    Child<QLineEdit>(window, "txtTitle")->selectAll();
    QTest::keyClick(Child<QLineEdit>(window, "txtTitle"), Qt::Key_Delete);
    m_ui.Answering(Answer::Ok);
    EXPECT_FALSE(window.cmdSaveTemplate_Click());
    EXPECT_EQ(LastMessage(), "Das Rezept konnte nicht als neues Template gespeichert werden!");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_REZ_KOPF"), 3);
}

TEST_F(FrmMenuDataTest, ClosingWithChangesAsksWhetherToSave)
{
    FrmMenuData untouched(0);
    EXPECT_TRUE(untouched.close());
    EXPECT_TRUE(m_ui.shown.empty());

    FrmMenuData window(0);
    QTest::keyClicks(Child<QLineEdit>(window, "txtTitle"), "Kartoffelsalat");
    m_ui.Answering(Answer::Cancel);
    EXPECT_FALSE(window.close());
    EXPECT_EQ(LastMessage(), "Sollen die Änderungen am Rezept gespeichert werden?");
    m_ui.Answering(Answer::Yes);
    EXPECT_TRUE(window.close());
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_REZ_KOPF WHERE RezTitle='Kartoffelsalat'"), 1);

    FrmMenuData discarded(window.Recipe().id());
    QTest::keyClicks(Child<QLineEdit>(discarded, "txtTitle"), " mit Gurke");
    m_ui.Answering(Answer::No);
    EXPECT_TRUE(discarded.close());
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_REZ_KOPF WHERE RezTitle='Kartoffelsalat'"), 1);
}

TEST_F(FrmMenuDataTest, CancelClosesTheFrameInTheMainWindowArea)
{
    QMdiArea area;
    auto* window = new FrmMenuData(0);
    QMdiSubWindow* frame = area.addSubWindow(window);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    area.show();
    frame->show();
    QPointer<QMdiSubWindow> watch(frame);
    QTest::keyClicks(Child<QLineEdit>(*window, "txtTitle"), "Kaiserschmarrn");
    Click(*window, "cmdCancel", Answer::Cancel);
    QApplication::processEvents();
    ASSERT_FALSE(watch.isNull());
    EXPECT_TRUE(frame->isVisible());
    Click(*window, "cmdCancel", Answer::No);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull());
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_REZ_KOPF"), 0);
}

TEST_F(FrmMenuDataTest, ScalingDialogChecksTheEntryAndScalesOnlyWhenPermanent)
{
    ClRecipe recipe;
    recipe.LoadByID(0);
    recipe.SetYield(4);
    ClIngredient line;
    line.SetEinheitPtr(ProgramUnits().GetIndexforID(1));
    line.SetMenge(Decimal4::FromLong(250));
    line.SetIngredient("Zucker");
    recipe.IngredAdd(line);

    FrmSkalierungAnzahl dialog(recipe);
    auto* newList = Child<QListWidget>(dialog, "lstNew");
    const struct
    {
        const char* entry;
        const char* message;
    } refusals[] = {
        {"abc", "Es muss eine gültige Menge angeben sein !"},
        {"0", "Es muss eine gültige Menge angeben sein !"},
        {"2,5", "In diesem Zusammenhang sind leider nur ganze Zahlen zur Skalierung zugelassen !"}};
    for (const auto& refusal : refusals) {
        SCOPED_TRACE(refusal.entry);
        dialog.SetNewYieldText(refusal.entry);
        Click(dialog, "cmdOK");
        EXPECT_EQ(LastMessage(), refusal.message);
    }

    // Temporary: only the new column changes.
    dialog.SetTemporary(true);
    dialog.SetNewYieldText("6");
    const std::size_t shownBefore = m_ui.shown.size();
    Click(dialog, "cmdOK");
    EXPECT_EQ(m_ui.shown.size(), shownBefore);
    EXPECT_TRUE(newList->item(1)->text().startsWith("375 ")) << newList->item(1)->text().toStdString();
    EXPECT_TRUE(Child<QListWidget>(dialog, "lstOriginal")->item(1)->text().startsWith("250 "));
    EXPECT_EQ(recipe.Ingredient(1).Menge(), Decimal4::FromLong(250));

    // Permanent: asks, No keeps the recipe, Yes scales it.
    dialog.SetTemporary(false);
    Click(dialog, "cmdOK", Answer::No);
    EXPECT_EQ(LastMessage(), "Sollen wirklich die Mengenangaben in den Rezept-Daten permanent geändert werden ?");
    EXPECT_EQ(m_ui.shown.back().Default, Answer::No); // Enter keeps the stored quantities
    EXPECT_EQ(recipe.Yield(), 4);
    EXPECT_FALSE(dialog.Scaled());
    Click(dialog, "cmdOK", Answer::Yes);
    EXPECT_TRUE(dialog.Scaled());
    EXPECT_EQ(recipe.Yield(), 6);
    EXPECT_EQ(recipe.Ingredient(1).Menge(), Decimal4::FromLong(375));
}

TEST_F(FrmMenuDataTest, ScalingFromTheEditorIsStoredOnSave)
{
    FrmMenuData window(0);
    FillComplete(window, "Zuckerguss");
    AddLine(window, "250", "Gramm [G]", "Puderzucker");
    ASSERT_TRUE(window.cmdSave_Click());

    OnModal<FrmSkalierungAnzahl>([this](FrmSkalierungAnzahl& dialog) {
        dialog.SetNewYieldText("6");
        Click(dialog, "cmdOK", Answer::Yes);
    });
    window.show();
    Click(window, "cmdScale");
    EXPECT_EQ(Row(window, 0)[FrmMenuData::ColMenge], "375");
    EXPECT_EQ(Child<QSpinBox>(window, "spnYield")->value(), 6);
    EXPECT_TRUE(window.HasUnsavedChanges());
    ASSERT_TRUE(window.cmdSave_Click());
    EXPECT_EQ(WorkDb().Scalar("SELECT ZutAnz FROM T_REZ_ZUTAT").AsDouble(), 375.0);
    EXPECT_EQ(Scalar("SELECT RezYield FROM T_REZ_KOPF"), 6);
    window.hide();
}

} // namespace
} // namespace pf::test
