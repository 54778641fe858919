#include "ui/FrmUnitManagement.h"

#include "db/Recordset.h"
#include "model/ClUnit.h"
#include "model/clsRecipeUnit.h"
#include "tests/ui/UiTestSupport.h"

namespace pf::test {
namespace {

class UnitManagementTest : public UiTest
{
protected:
    UnitManagementTest()
    {
        m_db = test::NewSchemaDatabase(m_dir.File("units.db"));
        AddUnit(1, "GR", "Gramm");
        AddUnit(2, "ML", "Milliliter");
        m_units.SetDB(m_db.get());
    }

    void AddUnit(long id, const char* shortName, const char* name)
    {
        m_db->Execute(
            "INSERT INTO T_UNIT (ID,UnitShortD,UnitNameD,UnitShortUK,UnitNameUK,UnitShortUS,UnitNameUS) "
            "VALUES (?,?,?,?,?,?,?)",
            {id, shortName, name, shortName, name, shortName, name});
    }
    void AddYieldUnit(long id, const char* name)
    {
        m_db->Execute("INSERT INTO T_REZ_KOPFEINHEIT (ID,NameD,NameE,NameF) VALUES (?,?,?,?)",
                      {id, name, name, name});
    }
    void AddRecipe(long id, long yieldUnit)
    {
        m_db->Execute("INSERT INTO T_REZ_KOPF (ID,RezYieldEinh,Template,FlagDeleted) VALUES (?,?,0,0)",
                      {id, yieldUnit});
    }
    long YieldUnitOf(long recipe)
    {
        return Count("SELECT RezYieldEinh FROM T_REZ_KOPF WHERE ID=" + std::to_string(recipe));
    }
    long Count(const std::string& sql) { return static_cast<long>(m_db->Scalar(sql).AsLong()); }

    std::unique_ptr<FrmUnitManagement> Open()
    {
        EXPECT_TRUE(m_recipeUnits.Init(*m_db, &m_units));
        auto window = std::make_unique<FrmUnitManagement>(m_units, m_recipeUnits);
        window->SetDB(m_db.get());
        window->SetTextPrompt(
            [this](const std::string& prompt, const std::string& title, const std::string&) {
                m_prompts.push_back(title + ": " + prompt);
                std::optional<std::string> answer;
                if (!m_promptAnswers.empty()) {
                    answer = m_promptAnswers.front();
                    m_promptAnswers.erase(m_promptAnswers.begin());
                }
                return answer;
            });
        return window;
    }

    static void SelectYieldUnit(QWidget& window, const QString& name)
    {
        Select(Child<QTreeWidget>(window, "lstRecipeUnits"), name);
    }
    static QStringList YieldUnitNames(QWidget& window)
    {
        return TopLevelTexts(Child<QTreeWidget>(window, "lstRecipeUnits"));
    }

    std::unique_ptr<Database> m_db;
    ClUnit m_units;
    clsRecipeUnit m_recipeUnits;
    std::vector<std::string> m_prompts;
    std::vector<std::string> m_promptAnswers;
};

TEST_F(UnitManagementTest, OpeningWarnsAndMakesTheTableWritableWhileOpen)
{
    m_context.AppTitle = "Pfannola";
    {
        auto window = Open();
        EXPECT_TRUE(m_units.IsRW());
        ASSERT_EQ(m_ui.shown.size(), 1u);
        EXPECT_EQ(m_ui.shown[0].Caption, "Kompatibilitätswarnung");
        EXPECT_EQ(m_ui.shown[0].Text,
                  "Warnung: Änderungen, insbesondere an den UK-Kurzbezeichnungen können die Kompatibilität "
                  "mit Meal-Master in Bezug auf Rezept Import/Export gefährden.\n\nEbenso kann der "
                  "Rezept-Austausch im Pfannola-Format in der derzeitigen Version problematisch werden.\n\n"
                  "Gefährliche Änderungen können von Pfannola werder erkannt noch verhindert werden!");
        auto* table = Child<QTableWidget>(*window, "tblUnits");
        EXPECT_EQ(table->rowCount(), 2);

        // A factor that is no number is refused and the cell shows the stored one again.
        table->item(0, 7)->setText("viel");
        EXPECT_EQ(LastMessage(), "Bitte eine gültige Zahl angeben.");
        EXPECT_EQ(table->item(0, 7)->text(), "0");
        EXPECT_TRUE(window->close()); // nothing changed: no question
    }
    EXPECT_FALSE(m_units.IsRW());
    EXPECT_EQ(m_ui.shown.size(), 2u);
}

TEST_F(UnitManagementTest, EditedUnitIsSavedOnlyWhenLeavingWithYes)
{
    struct Case
    {
        Answer answer;
        const char* storedName;
        const char* storedShort;
    };
    // The table keeps a short name as typed (the recipe display shows it so); read back, it is
    // upper-cased like every short name.
    const Case cases[] = {{Answer::No, "Gramm", "GR"}, {Answer::Yes, "Gramm (fein)", "gf"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.storedName);
        m_ui.shown.clear();
        auto window = Open();
        auto* table = Child<QTableWidget>(*window, "tblUnits");
        table->item(0, 1)->setText("Gramm (fein)");
        table->item(0, 2)->setText("gf");
        EXPECT_EQ(table->item(0, 2)->text(), "GF"); // short names are kept in capitals
        table->item(1, 9)->setCheckState(Qt::Checked);
        table->item(1, 7)->setText("0,5");
        // The nutrient unit of Milliliter becomes Gramm (first entry after the empty one).
        auto* nutrientUnit = window->findChild<QComboBox*>("cboUnit_1_13");
        ASSERT_NE(nutrientUnit, nullptr);
        nutrientUnit->setCurrentIndex(1);
        emit nutrientUnit->activated(1);

        m_ui.Answering(c.answer);
        EXPECT_TRUE(window->close());
        ASSERT_EQ(m_ui.shown.size(), 2u);
        EXPECT_EQ(m_ui.shown[1].Caption, "Speichern der neuen Einheitentabelle");
        EXPECT_EQ(m_ui.shown[1].Text.rfind("Es wurden Änderungen an der Einheiten-Tabelle vorgenommen.", 0),
                  0u);

        auto rs = m_db->OpenRecordset("SELECT * FROM T_UNIT WHERE ID=1");
        EXPECT_EQ(rs->Field("UnitNameD").AsText(), c.storedName);
        EXPECT_EQ(rs->Field("UnitShortD").AsText(), c.storedShort);
        rs->Close();
        const bool saved = c.answer == Answer::Yes;
        EXPECT_EQ(m_db->Scalar("SELECT Unscaled FROM T_UNIT WHERE ID=2").AsBool(), saved);
        EXPECT_EQ(m_db->Scalar("SELECT ConvMetrisch FROM T_UNIT WHERE ID=2").AsCurrency(),
                  saved ? Decimal4::FromTicks(5000) : Decimal4());
        EXPECT_EQ(m_db->Scalar("SELECT NaehrScaleIndex FROM T_UNIT WHERE ID=2").AsLong(), saved ? 1 : 0);
        // The program's table holds what the database holds, whichever the answer.
        EXPECT_EQ(m_units.UnitLongD(1), c.storedName);
        EXPECT_FALSE(m_units.IsChanged(1));
    }
}

TEST_F(UnitManagementTest, NewUnitIsAskedForNamedAndStoredOnLeaving)
{
    auto window = Open();
    m_ui.Answering(Answer::Yes);
    m_promptAnswers = {"Prise"};
    Click(*window, "cmdNewUnit");
    ASSERT_EQ(m_prompts.size(), 1u);
    EXPECT_EQ(m_prompts[0], "Neue Masseinheit: Bezeichnung fuer die neue Einheit");
    EXPECT_EQ(LastMessage(), "Soll wirklich eine neue Einheit erfasst werden ?");
    EXPECT_EQ(Child<QTableWidget>(*window, "tblUnits")->rowCount(), 3);

    // A name the table already knows is refused.
    m_ui.Answering(Answer::Yes);
    m_promptAnswers = {"milliliter"};
    Click(*window, "cmdNewUnit");
    EXPECT_EQ(Child<QTableWidget>(*window, "tblUnits")->rowCount(), 3);
    EXPECT_EQ(m_ui.shown.back().Icon, MsgIcon::Warning);

    m_ui.Answering(Answer::Yes);
    EXPECT_TRUE(window->close());
    EXPECT_EQ(m_db->Scalar("SELECT UnitNameD FROM T_UNIT WHERE ID=3").AsText(), "Prise");
}

TEST_F(UnitManagementTest, UnitUsedByIngredientLinesIsNotDeleted)
{
    m_db->Execute("INSERT INTO T_REZ_ZUTAT (ID,No,ZutEinh) VALUES (7,1,2)");
    auto window = Open();
    auto* table = Child<QTableWidget>(*window, "tblUnits");
    table->setCurrentCell(1, 1);
    Click(*window, "cmdDelUnit");
    EXPECT_EQ(
        m_ui.shown.back().Text,
        "Die Einheit \"Milliliter\" wird in 1 Zutatenzeilen verwendet und kann daher nicht gelöscht werden.");

    table->setCurrentCell(0, 1);
    Click(*window, "cmdDelUnit", Answer::Yes);
    EXPECT_EQ(table->rowCount(), 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_UNIT"), 1);
    EXPECT_TRUE(m_ui.AllAnswersUsed());
}

TEST_F(UnitManagementTest, MergingYieldUnitsMovesTheRecipes)
{
    AddYieldUnit(1, "Portionen");
    AddYieldUnit(2, "Stück");
    AddYieldUnit(3, "Laib");
    AddRecipe(10, 2);
    AddRecipe(11, 2);
    AddRecipe(12, 3);
    auto window = Open();
    SelectYieldUnit(*window, "Stück");
    // The choice lists the other units in name order: Laib, Portionen.
    m_ui.ChoosingItem(1).Answering(Answer::Yes);
    Click(*window, "cmdMergeRecipeUnit");

    EXPECT_EQ(m_ui.shown.back().Caption, "Rezepteinheiten zusammenführen");
    EXPECT_EQ(LastMessage(), "Sollen nun alle Rezepte, die als Rezepteinheit \"Stück\" enthalten, an dessen "
                             "Stelle \"Portionen\" erhalten ?");
    EXPECT_EQ(YieldUnitOf(10), 1);
    EXPECT_EQ(YieldUnitNames(*window), (QStringList{"Laib", "Portionen"}));
    EXPECT_TRUE(m_ui.AllAnswersUsed());
}

TEST_F(UnitManagementTest, RemovingDuplicatesReportsTheCount)
{
    AddYieldUnit(1, "Portionen");
    AddYieldUnit(2, "portionen");
    AddYieldUnit(3, "Stück");
    AddYieldUnit(4, "PORTIONEN");
    AddYieldUnit(5, "Laib");
    auto window = Open();
    Click(*window, "cmdRemoveDuplicates", Answer::Yes);

    EXPECT_EQ(m_ui.shown[1].Text, "Diese Funktion eliminiert doppelte Rezepteinheiten und kann eine gewisse "
                                  "Zeit brauchen. Fortfahren?");
    EXPECT_EQ(LastMessage(), "Es wurden 2 Rezepteinheiten eliminiert und es verbleiben 3");
    EXPECT_EQ(YieldUnitNames(*window).size(), 3);
}

TEST_F(UnitManagementTest, YieldUnitsAreAddedRenamedAndDeleted)
{
    AddYieldUnit(1, "Portionen");
    AddRecipe(10, 1);
    auto window = Open();

    m_promptAnswers = {"Stueck"};
    Click(*window, "cmdNewRecipeUnit");
    EXPECT_EQ(m_prompts.back(),
              "Neue Rezept-Einheit: Bitte die Bezeichnung der neuen Rezept-Einheit eingeben");
    EXPECT_EQ(m_db->Scalar("SELECT NameE FROM T_REZ_KOPFEINHEIT WHERE NameD='Stueck'").AsText(), "Stueck");

    SelectYieldUnit(*window, "Stueck");
    m_promptAnswers = {"Stück"};
    Click(*window, "cmdRenameRecipeUnit");
    EXPECT_EQ(m_prompts.back(),
              "Umbenennen: Bitte die korrigierte Bezeichnung für die Rezept-Einheit angeben");
    EXPECT_EQ(m_db->Scalar("SELECT NameE FROM T_REZ_KOPFEINHEIT WHERE NameD='Stück'").AsText(), "Stück");

    SelectYieldUnit(*window, "Portionen");
    Click(*window, "cmdDelRecipeUnit", Answer::No);
    EXPECT_EQ(LastMessage(), "Soll dieses Rezept-Einheit wirklich gelöscht werden ?");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOPFEINHEIT"), 2);
    Click(*window, "cmdDelRecipeUnit", Answer::Yes);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOPFEINHEIT"), 1);
    EXPECT_EQ(YieldUnitOf(10), 0);
    EXPECT_EQ(YieldUnitNames(*window), (QStringList{"Stück"}));
}

} // namespace
} // namespace pf::test
