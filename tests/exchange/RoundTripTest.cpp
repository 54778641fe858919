// Export to Meal-Master, import the file into a fresh database, export again: both exports must
// be equal byte for byte, with and without the information block.

#include "exchange/ExportRun.h"
#include "exchange/RecipeImport.h"

#include "db/Recordset.h"
#include "model/ProgramUnits.h"
#include "tests/exchange/ExportFixture.h"

#include <gtest/gtest.h>

namespace pf {
namespace {

class RoundTrip : public test::ExportFixture
{
protected:
    void SetUp() override
    {
        ExportFixture::SetUp();
        // More of what a reader has to get back: a heading of 64 characters, words longer than
        // a column, thirds, units of every kind, and instructions beyond the 100-line limit.
        ClRecipe recipe = NewRecipe("Apfel-Zimt-Kuchen (Blech)", 12);
        recipe.CatAddID(102);
        recipe.SetNotizen("Hält sich drei Tage.\r\nNicht einfrieren.");
        std::string text;
        for (int i = 1; i <= 60; ++i)
            text += "Absatz " + std::to_string(i) +
                    ": Teig ausrollen, die Äpfel schälen, entkernen, in Spalten schneiden und dicht an dicht "
                    "auf den Teig legen.\r\n\r\n";
        recipe.SetZubereitung(text);
        recipe.IngredAdd(Separator("Für den Teig aus dem Kühlschrank, mindestens eine Stunde gekühlt"));
        recipe.IngredAdd(Line("0.3333", kTasse, "Zucker"));
        recipe.IngredAdd(Line("2.5", kGramm, "Zitronenschalenabriebundvanillezucker"));
        recipe.IngredAdd(Line("3", kPrise, "Zimt/Kardamom-Mischung (gemahlen)"));
        recipe.IngredAdd(Line("1", kLiter, "Milch; lauwarm, nicht heiß"));
        recipe.IngredAdd(Line("12", kStueck, "Äpfel (Boskop)", "1"));
        recipe.IngredAdd(Separator("Guss"));
        recipe.IngredAdd(Line("200", kMilliliter, "Sahne", "2"));
        kuchenId = Store(recipe, 42, 4242);
        // A stored recipe always has a fingerprint; the import gives one to a recipe without.
        db->Execute("UPDATE T_REZ_KOPF SET Fingerprint1=11, Fingerprint2=22 WHERE ID=?", {Value(brueheId)});
    }

    static constexpr long kTasse = 8;
    static constexpr long kMilliliter = 25;

    std::string Export(Database& target, const std::string& file) { return ExportAll(target, file, 4); }

    std::string ExportAll(Database& target, const std::string& file, long expected)
    {
        std::vector<long> ids;
        auto rs = target.OpenRecordset("SELECT ID FROM T_REZ_KOPF ORDER BY ID");
        for (; !rs->Eof(); rs->MoveNext())
            ids.push_back(static_cast<long>(rs->Field(0).AsLong()));
        ExportRequest request;
        request.Mode = clsRecipeExport::kMealMasterFile;
        request.Ids = ids;
        request.FileName = dir.File(file);
        const ExportOutcome outcome = RunExport(request, &target);
        EXPECT_TRUE(outcome.Ok) << outcome.Message;
        EXPECT_EQ(outcome.Exported, expected);
        return test::ReadFile(dir.File(file));
    }

    void ExpectSecondExportEqualsFirst(const std::string& name)
    {
        const std::string first = Export(*db, name + "-1.mm");
        auto fresh = test::MakeBaseDataDatabase(dir, name + ".db");
        ASSERT_TRUE(fresh);
        fresh->Execute("INSERT INTO T_BLS_KEY (ID,SBLS,ST) VALUES (1,'B100000','Weizenmehl')");
        fresh->Execute("INSERT INTO T_BLS_KEY (ID,SBLS,ST) VALUES (2,'M111000','Butter')");
        {
            RecipeImport import(*fresh);
            import.Options().Files = {dir.File(name + "-1.mm")};
            ASSERT_TRUE(import.Import()) << import.LastErrorText();
            EXPECT_EQ(import.Counters().Imported, 4);
            for (const std::string& problem : import.Problems())
                ADD_FAILURE() << problem;
        }
        ResetProgramData();
        const std::string second = Export(*fresh, name + "-2.mm");
        EXPECT_EQ(second, first);
    }

    long kuchenId = 0;
};

TEST_F(RoundTrip, SecondMealMasterExportEqualsTheFirst)
{
    ExpectSecondExportEqualsFirst("plain");
}

TEST_F(RoundTrip, InformationBlockWithOriginFoodKeysAndNotesReadsBack)
{
    app.Options.ExportFingerprint = 1 + 4 + 8 + 16;
    ExpectSecondExportEqualsFirst("info");
}

TEST_F(RoundTrip, EveryUnitOfTheBaseDataReadsBackFromItsColumns)
{
    // One line per unit: what columns 9-11 hold must name a unit again that is written the same.
    ClRecipe recipe = NewRecipe("Alle Einheiten", 4);
    recipe.CatAddID(102);
    recipe.SetZubereitung("Alles abwiegen.");
    const long units = db->Scalar("SELECT COUNT(*) FROM T_UNIT").AsLong();
    ASSERT_GT(units, 50);
    for (long unit = 1; unit <= units; ++unit)
        recipe.IngredAdd(Line("2", unit, ("Zutat " + std::to_string(unit)).c_str()));
    Store(recipe, 77, 78);
    db->Execute("DELETE FROM T_REZ_KOPF WHERE ID<>?", {Value(recipe.id())});
    const std::string first = ExportAll(*db, "units-1.mm", 1);
    auto fresh = test::MakeBaseDataDatabase(dir, "units.db");
    ASSERT_TRUE(fresh);
    {
        RecipeImport import(*fresh);
        import.Options().Files = {dir.File("units-1.mm")};
        ASSERT_TRUE(import.Import()) << import.LastErrorText();
    }
    ResetProgramData();
    EXPECT_EQ(ExportAll(*fresh, "units-2.mm", 1), first);
}

TEST_F(RoundTrip, RezkonvExportOfALongPreparationReadsBackWhole)
{
    // The Rezkonv export writes the whole preparation, far beyond the 110 lines a Meal-Master
    // recipe may have; its reader must take all of it back.
    ExportRequest request;
    request.Mode = clsRecipeExport::kRezkonvFile;
    request.Ids = {kuchenId};
    request.FileName = dir.File("long.rez");
    const ExportOutcome outcome = RunExport(request, db.get());
    ASSERT_TRUE(outcome.Ok) << outcome.Message;
    auto fresh = test::MakeBaseDataDatabase(dir, "long.db");
    ASSERT_TRUE(fresh);
    {
        RecipeImport import(*fresh);
        import.Options().Files = {dir.File("long.rez")};
        ASSERT_TRUE(import.Import()) << import.LastErrorText();
        EXPECT_EQ(import.Counters().Imported, 1);
        for (const std::string& problem : import.Problems())
            ADD_FAILURE() << problem;
    }
    ResetProgramData();
    const std::string text =
        fresh
            ->Scalar(
                "SELECT AnwText FROM T_REZ_ANWEIS INNER JOIN T_REZ_KOPF ON T_REZ_ANWEIS.ID=T_REZ_KOPF.ID "
                "WHERE RezTitle='Apfel-Zimt-Kuchen (Blech)'")
            .AsText();
    const std::size_t last = text.find("Absatz 60:");
    ASSERT_NE(last, std::string::npos);
    EXPECT_NE(text.find("legen.", last), std::string::npos);
}

TEST_F(RoundTrip, DecimalQuantitiesReadBack)
{
    app.Options.EditFlags = 12;
    ExpectSecondExportEqualsFirst("decimal");
}

} // namespace
} // namespace pf
