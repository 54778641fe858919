#pragma once
// A database with the real base data and a small, varied set of recipes for the export tests:
// umlauts, a separator, wrapped ingredient texts, long instructions, a sub-recipe and a parent,
// keeping times, notes, an origin and a food key. Fingerprints are fixed so that outputs can be
// compared byte for byte.

#include "core/AppContext.h"
#include "db/Database.h"
#include "exchange/ExportRun.h"
#include "model/ClRecipe.h"
#include "planning/ClMenu.h"
#include "tests/exchange/Golden.h"
#include "tests/support/Backends.h"
#include "tests/support/BaseDataDb.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace pf::test {

// Records the file the export hands to the desktop to open.
class ExportInteraction : public ScriptedInteraction
{
public:
    bool OpenWithDefaultApplication(const std::string& path) override
    {
        opened = path;
        return openSucceeds;
    }
    std::string opened;
    bool openSucceeds = true;
};

class ExportFixture : public ::testing::Test
{
protected:
    // The back end the database lives on; fixtures run on both set it before SetUp.
    Backend backend = Backend::File;
    static constexpr long kGramm = 31;
    static constexpr long kStueck = 1;
    static constexpr long kEssloeffel = 7;
    static constexpr long kTeeloeffel = 6;
    static constexpr long kPfund = 35;
    static constexpr long kLiter = 26;
    static constexpr long kPrise = 2;

    void SetUp() override
    {
        app.IniFile = dir.File("pfannola.INI");
        app.UserStoreFile = dir.File("user.ini");
        app.WinUser = "koch";
        app.TempDir = dir.Path().string() + "/";
        app.ProgramDir = dir.Path().string() + "/";
        app.Options.EditFlags = 8; // quantities as fractions
        app.UI = &ui;
        db = MakeBaseDataDatabaseOn(backend, dir);
        if (!db && backend == Backend::Server)
            GTEST_SKIP() << kNoServer;
        ASSERT_TRUE(db);
        db->Execute("INSERT INTO T_BLS_KEY (ID,SBLS,ST) VALUES (1,'B100000','Weizenmehl')");
        db->Execute("INSERT INTO T_BLS_KEY (ID,SBLS,ST) VALUES (2,'M111000','Butter')");
        brueheId = SaveBruehe();
        spaetzleId = SaveSpaetzle();
        suppeId = SaveSuppe();
    }

    // A request for the recipes, written to that file of the test folder (none when empty).
    ExportRequest Request(int mode, std::vector<long> ids, const std::string& file = "") const
    {
        ExportRequest request;
        request.Mode = mode;
        request.Ids = std::move(ids);
        if (!file.empty())
            request.FileName = dir.File(file);
        return request;
    }

    ClRecipe NewRecipe(const char* title, long yield)
    {
        ClRecipe recipe;
        recipe.SetDB(db.get());
        recipe.LoadByID(0);
        recipe.SetTitle(title);
        recipe.SetYield(yield);
        recipe.SetYieldUnitIndex(1);
        return recipe;
    }

    static long IdOf(Database& in, const std::string& title)
    {
        return static_cast<long>(in.Scalar("SELECT ID FROM T_REZ_KOPF WHERE RezTitle=?", {title}).AsLong());
    }

    // Changes a stored recipe with all its collections and saves it again.
    template <class Change> void Edit(long id, const Change& change)
    {
        ClRecipe recipe;
        recipe.SetDB(db.get());
        ASSERT_TRUE(recipe.LoadByID(id, 2)) << id;
        change(recipe);
        ASSERT_TRUE(recipe.Save(true)) << recipe.LastErrorText();
    }

    static ClIngredient Line(const char* quantity, long unit, const char* text, const char* foodKey = "")
    {
        ClIngredient line;
        line.SetEinheitID(unit);
        line.SetOrgMeasurement(Decimal4::Parse(quantity));
        line.SetIngredient(text);
        if (*foodKey)
            line.SetBLSid(foodKey);
        return line;
    }

    static ClIngredient Separator(const char* text)
    {
        ClIngredient line;
        line.SetTrennzeile(text);
        return line;
    }

    long Store(ClRecipe& recipe, std::int32_t fp1, std::int32_t fp2)
    {
        EXPECT_TRUE(recipe.Save(true)) << recipe.LastErrorText();
        db->Execute("UPDATE T_REZ_KOPF SET Fingerprint1=?, Fingerprint2=? WHERE ID=?",
                    {Value(static_cast<long>(fp1)), Value(static_cast<long>(fp2)), Value(recipe.id())});
        return recipe.id();
    }

    long SaveBruehe()
    {
        ClRecipe recipe = NewRecipe("Gemüsebrühe", 2);
        recipe.CatAddID(102);
        recipe.SetZubereitung(
            "Gemüse putzen, grob schneiden und in Wasser eine Stunde köcheln lassen. Abseihen.");
        recipe.IngredAdd(Line("1", kLiter, "Wasser"));
        recipe.IngredAdd(Line("2", kStueck, "Möhren"));
        recipe.IngredAdd(Line("0.5", kStueck, "Sellerieknolle; geschält"));
        recipe.IngredAdd(Line("1", kPrise, "Salz"));
        return Store(recipe, 0, 0);
    }

    long SaveSpaetzle()
    {
        ClRecipe recipe = NewRecipe("Käsespätzle mit Röstzwiebeln", 4);
        recipe.CatAddID(102);
        recipe.CatAddID(103);
        recipe.SetOriginID(1001);
        recipe.SetStorageTime(2, 3);
        recipe.SetStorageTime(3, 90);
        recipe.SetSourceText("Omas Kochbuch");
        recipe.SetNotizen(
            "Schmeckt auch am nächsten Tag, in der Pfanne mit etwas Butter aufgebraten. Dazu passt "
            "ein grüner Salat.");
        recipe.SetZubereitung(
            "Mehl, Eier und etwas Salz zu einem zähen Teig verrühren und so lange schlagen, bis er Blasen "
            "wirft.\r\n\r\nDen Teig durch ein Spätzlebrett (oder eine Presse) in kochendes Salzwasser "
            "schaben. Sobald die Spätzle oben schwimmen, mit einer Schaumkelle herausheben und abwechselnd "
            "mit dem Käse in eine Form schichten.\r\nZwiebeln in Butter bräunen\r\nund darübergeben.");
        recipe.IngredAdd(Line("400", kGramm, "Mehl", "1"));
        recipe.IngredAdd(Line("4", kStueck, "Eier; verquirlt"));
        recipe.IngredAdd(Separator("Für die Käsemischung"));
        recipe.IngredAdd(Line("250", kGramm, "Frisch geriebener Emmentaler oder Bergkäse, gemischt"));
        recipe.IngredAdd(Line("1.5", kEssloeffel, "Butter", "2"));
        recipe.IngredAdd(Line("0", 0, "Salz und Pfeffer"));
        recipe.IngredAdd(Line("1", kPfund, "Zwiebeln; in feine Ringe geschnitten"));
        recipe.IngredAdd(Line("0.25", kTeeloeffel, "Muskat (frisch gerieben)"));
        return Store(recipe, 1234567, 7654321);
    }

    long SaveSuppe()
    {
        ClRecipe recipe = NewRecipe("Spätzlesuppe \"Schwäbische Art\"", 4);
        recipe.CatAddID(102);
        recipe.Setrezparent(spaetzleId);
        std::string text;
        for (int i = 1; i <= 8; ++i)
            text +=
                "Schritt " + std::to_string(i) +
                ": Die Brühe erhitzen, die Spätzle hineingeben und alles bei kleiner Hitze ziehen lassen, "
                "dabei gelegentlich umrühren.\r\n";
        recipe.SetZubereitung(text);
        ClIngredient reference;
        reference.SetIsRecipeID(brueheId);
        reference.SetIngredient("Gemüsebrühe");
        recipe.IngredAdd(reference);
        recipe.IngredAdd(Line("200", kGramm, "Käsespätzle"));
        recipe.IngredAdd(Line("1", kStueck, "Bund Schnittlauch; in Röllchen"));
        return Store(recipe, -5, 99);
    }

    // A dated menu of three courses: one with a description of its own, one showing its recipe's
    // title and a generic one; texts that need escaping and a description of two lines.
    long SaveMenu()
    {
        ClMenu menu;
        menu.SetDB(db.get());
        menu.SetTitle("Sonntagsessen \"bei Oma\" & Gäste");
        menu.SetYield(6);
        menu.SetMenuDate(DateSerial::FromParts(2026, 12, 6));
        menu.SetDescription("Drei Gänge <einfach>\r\nfür die ganze Familie");
        menu.SetNotices("Früh einkaufen");
        menu.SetCourseDesc(menu.CourseAdd(brueheId, false, ""), "Vorweg eine klare Brühe");
        menu.CourseAdd(spaetzleId, false, "");
        menu.CourseAdd(0, true, "Apfelkompott");
        EXPECT_TRUE(menu.Save()) << menu.LastErrorText();
        return menu.id();
    }

    void ExpectGolden(const std::string& actual, const std::string& name)
    {
        test::ExpectGolden(actual, "export/" + name);
    }

    AppContext app;
    ScopedAppContext scope{app};
    TempDir dir;
    ExportInteraction ui;
    std::unique_ptr<Database> db;
    long brueheId = 0;
    long spaetzleId = 0;
    long suppeId = 0;
};

} // namespace pf::test
