// The Mensax reader through the import pipeline: one recipe written the ways other programs write
// it reads the same every time; bad input loses only what it must and says where.

#include "exchange/MensaxImport.h"
#include "exchange/ExportText.h"
#include "exchange/MMImport.h"
#include "exchange/RecipeImport.h"

#include "core/AppContext.h"
#include "db/BaseData.h"
#include "db/Recordset.h"
#include "db/clsZIP.h"
#include "model/ClRecipe.h"
#include "model/ClUnit.h"
#include "planning/ClMenu.h"
#include "tests/support/BaseDataDb.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

namespace pf {
namespace {

std::string DataFile(const std::string& name)
{
    return std::string(PF_TEST_DATA_DIR) + "/mensax/" + name;
}

// The recipe as the writer lays it out, and the lines of the file before it.
const std::string kWritten = test::ReadFile(DataFile("recipe.mnx"));
const std::string kProlog = kWritten.substr(0, kWritten.find("  <recipe"));
const std::string kRecipe = kWritten.substr(kProlog.size(), kWritten.find("</mensax>") - kProlog.size());

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

class MensaxImportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app.IniFile = dir.File("pfannola.INI");
        app.UserStoreFile = dir.File("user.ini");
        app.TempDir = dir.Path().string() + "/";
        app.UI = &ui;
        Fresh();
    }

    // A new database with the base data, for each case of a table.
    void Fresh()
    {
        run.reset();
        db = test::MakeBaseDataDatabase(dir, "rezepte" + std::to_string(++databases) + ".db");
        ASSERT_TRUE(db);
        db->Execute("INSERT INTO T_BLS_KEY (ID,SBLS,ST) VALUES (7,'B100000','Weizenmehl')");
    }

    // Imports the files into the database (a fresh run each time).
    RecipeImport& Import(const std::vector<std::string>& files, DupePreset duplicates = DupePreset::Ignore)
    {
        run = std::make_unique<RecipeImport>(*db);
        run->Options().Files = files;
        run->Options().Duplicates = duplicates;
        EXPECT_TRUE(run->Import()) << run->LastErrorText();
        return *run;
    }
    std::string File(const std::string& name, const std::string& bytes)
    {
        test::WriteFile(dir.File(name), bytes);
        return dir.File(name);
    }

    // Everything the reader stores of a recipe, as one text.
    std::string Describe(long id)
    {
        ClRecipe recipe;
        recipe.SetDB(db.get());
        if (!recipe.LoadByID(id, 2))
            return "(nicht gefunden)";
        std::string text = recipe.Title() + "|" + std::to_string(recipe.Yield()) + " " +
                           recipe.YieldUnitText() + "|lang " + std::to_string(recipe.LanguageID()) + "|fp " +
                           std::to_string(recipe.Fingerprint().FP1()) + "," +
                           std::to_string(recipe.Fingerprint().FP2()) + "|src " + recipe.SourceText() + "\n";
        for (const std::string& cat : recipe.GetRecipeCategories(id))
            text += "cat " + cat + "\n";
        for (int i = 1; i <= recipe.IngredCount(); ++i) {
            ClIngredient& line = recipe.Ingredient(i);
            text +=
                line.IsTrenner()
                    ? "== " + line.Trennzeile()
                    : line.OrgMeasurement().ToString() + " [" + line.EinheitTxt() + "] " + line.Ingredient() +
                          " / " + line.Verarbeitung() + " / " + line.Zubereitung() + " / " +
                          (line.IsRecipe() ? "Rezept " + std::to_string(line.IsRecipeID()) : line.BLSid());
            text += "\n";
        }
        text += "prep " + NormalizeLineBreaks(recipe.Zubereitung()) + "\nnotes " + recipe.Notizen() + "\n";
        return text;
    }
    std::string Problems() const
    {
        std::string text;
        for (const std::string& problem : run->Problems())
            text += problem + "\n";
        return text;
    }

    AppContext app;
    ScopedAppContext scope{app};
    test::TempDir dir;
    test::ScriptedInteraction ui;
    std::unique_ptr<Database> db;
    std::unique_ptr<RecipeImport> run;
    int databases = 0;
};

// The recipe of recipe.mnx as other programs write it: with a byte-order mark and bare line feeds,
// in Windows-1252, with other case (the remark before the head, the preparation before the
// ingredients), with CDATA, comments and character references, and all on one line.
TEST_F(MensaxImportTest, OneRecipeReadsTheSameHoweverItIsWritten)
{
    // What the file says, field by field; the unknown unit stays in the text.
    const std::string described = "Käse & Brot <fein>|4 Portionen|lang 4|fp 11,22|src Omas Heft\n"
                                  "cat Brot\ncat Vegetarisch\n"
                                  "0.5 [Kilogramm] Mehl /  /  / 7\n"
                                  "2 [Stück] Eier / verquirlt / kalt / \n"
                                  "== Belag\n"
                                  "1 [] Zweiglein Schnittlauch /  /  / \n"
                                  "prep Teig kneten & ruhen lassen > 1 h.\r\n\r\nBacken.\n"
                                  "notes Schmeckt warm.\n";
    auto check = [&](const std::string& file, const std::string& expected) {
        Fresh();
        RecipeImport& imported = Import({file});
        EXPECT_EQ(imported.Summary(), "importiert: 1, übersprungen: 0, fehlerhaft: 0") << Problems();
        EXPECT_EQ(db->Scalar("SELECT COUNT(*) FROM T_REZ_KOPF").AsLong(), 1);
        EXPECT_EQ(Describe(db->Scalar("SELECT MIN(ID) FROM T_REZ_KOPF").AsLong()), expected);
    };
    for (const char* name : {"recipe.mnx", "recipe-bom-lf.mnx", "recipe-1252.mnx", "recipe-case-order.mnx",
                             "recipe-cdata.mnx", "recipe-one-line.mnx"}) {
        SCOPED_TRACE(name);
        check(DataFile(name), described);
        EXPECT_EQ(Problems(), "");
    }
    // A stray byte of another code page in UTF-8 text reads as its Windows-1252 character.
    check(File("rezept.mnx", Replace(kWritten, "Omas Heft", "Omas Heft \xB0")),
          Replace(described, "Omas Heft", "Omas Heft °"));
    // Decomposed umlauts read as the letters they stand for.
    check(File("rezept.mnx", Replace(kWritten, "Omas Heft", "Omas Ka\u0308seheft")),
          Replace(described, "Omas Heft", "Omas Käseheft"));

    // Slips of a hand-written file are read as meant and reported, alone: what is changed in the
    // file, the ingredient text then read instead of "Mehl", the problem.
    const std::tuple<const char*, const char*, const char*, const char*> slips[] = {
        {"servingqty=\"4\"", "servingqty=4", "Mehl",
         "Zeile 6: Mensax/XML Fehler: Im Element <head> sind Attribute ungültig geschrieben; gelesen wurde: "
         "servingqty = „4“."},
        {"item=\"Mehl\"", "item=\"Mehl \"fein\"\"", "Mehl \"fein\"",
         "Zeile 12: Mensax/XML Fehler: Im Element <ingredient> sind Attribute ungültig geschrieben; gelesen "
         "wurde: item = „Mehl \"fein\"“."},
        {"kalt</preparation>\r\n      </ingredient>", "kalt</preparation>", "Mehl",
         "Zeile 13: Das Element <ingredient> hat keine Endmarke und wurde bis vor </part> in Zeile 16 "
         "gelesen."},
        {"  </recipe>\r\n", "", "Mehl",
         "Zeile 5: Das Element <recipe> hat keine Endmarke und wurde bis vor </mensax> in Zeile 30 gelesen."},
    };
    for (const auto& [from, to, item, problem] : slips) {
        SCOPED_TRACE(to);
        check(File("rezept.mnx", Replace(kWritten, from, to)),
              Replace(described, "] Mehl", std::string("] ") + item));
        const std::string shown = Problems();
        EXPECT_EQ(shown.substr(std::min(shown.find("Zeile"), shown.size())), std::string(problem) + "\n");
    }
    // Recipes never nest: one without its end tag ends where the next one starts, and both come in.
    Fresh();
    const std::string second = Replace(kRecipe, "rid=\"11,22\"", "rid=\"11,23\"");
    RecipeImport& two = Import({File("rezept.mnx", kProlog + Replace(kRecipe, "  </recipe>\r\n", "") + second +
                                                       "</mensax>\r\n")});
    EXPECT_EQ(two.Summary(), "importiert: 2, übersprungen: 0, fehlerhaft: 0") << Problems();
    const std::string shown = Problems();
    EXPECT_EQ(shown.substr(std::min(shown.find("Zeile"), shown.size())),
              "Zeile 5: Das Element <recipe> hat keine Endmarke und wurde bis vor <recipe> in Zeile 30 gelesen.\n");
    EXPECT_EQ(Describe(db->Scalar("SELECT MIN(ID) FROM T_REZ_KOPF").AsLong()), described);
    EXPECT_EQ(Describe(db->Scalar("SELECT MAX(ID) FROM T_REZ_KOPF").AsLong()),
              Replace(described, "fp 11,22", "fp 11,23"));
}

TEST_F(MensaxImportTest, BadInputLosesOnlyWhatItMustAndSaysWhere)
{
    // A file of tests/data/mensax, read as rezept.mnx; the summary; the beginnings of the problems
    // reported, in order.
    const std::tuple<const char*, const char*, std::vector<std::string>> cases[] = {
        // Three recipes, cut in the second.
        {"cut.mnx",
         "importiert: 1, übersprungen: 0, fehlerhaft: 1",
         {"rezept.mnx, Zeile 44: Die Datei endet mitten im Element <recipe> ab Zeile 31"}},
        // The second of three recipes with an end tag that does not match.
        {"mismatched-tag.mnx",
         "importiert: 2, übersprungen: 0, fehlerhaft: 1",
         {"rezept.mnx, Zeile 40: Mensax/XML Fehler: Die Endmarke passt nicht zum Element "
          "(bei \"preparation>\"); das Rezept ab Zeile 31 wurde nicht importiert."}},
        // Unknown elements and a menu.
        {"unknown-elements.mnx",
         "importiert: 1, übersprungen: 0, fehlerhaft: 0\nMenüs: 1",
         {"rezept.mnx, Zeile 7: Mensax/XML Fehler: Knoten \"/RECIPE/HEAD/NUTRITION\" wird nicht unterstützt",
          "rezept.mnx, Zeile 33: Mensax/XML Fehler: Knoten \"/MENU/GUEST\" wird nicht unterstützt",
          "rezept.mnx, Zeile 35: Mensax/XML Fehler: Knoten \"/SHOPPINGLIST\" wird nicht "
          "unterstützt und daher ignoriert. Erwartet: RECIPE, MENU"}},
        // Entities of its own that would expand to gigabytes.
        {"entities.mnx",
         "importiert: 0, übersprungen: 0, fehlerhaft: 0",
         {"rezept.mnx, Zeile 7: Die Datei erklärt in ihrer Dokumenttyp-Angabe eigene Entitäten"}},
    };
    for (const auto& [name, summary, problems] : cases) {
        SCOPED_TRACE(name);
        Fresh();
        const std::string bytes = test::ReadFile(DataFile(name));
        if (bytes.find("</mensax>") == std::string::npos)
            ui.Answering(Answer::Yes);
        RecipeImport& imported = Import({File("rezept.mnx", bytes)});
        EXPECT_EQ(imported.Summary(), summary) << Problems();
        ASSERT_EQ(imported.Problems().size(), problems.size()) << Problems();
        for (std::size_t i = 0; i < problems.size(); ++i) {
            const std::string& problem = imported.Problems()[i];
            const std::string shown = problem.substr(problem.find("rezept.mnx"));
            EXPECT_EQ(shown.substr(0, problems[i].size()), problems[i]) << shown;
        }
    }

    // Declining the question about the missing end tag stops the run before anything is stored.
    db->Execute("DELETE FROM T_REZ_KOPF");
    ui.Answering(Answer::No);
    RecipeImport& declined = Import({File("rezept.mnx", test::ReadFile(DataFile("cut.mnx")))});
    EXPECT_TRUE(declined.IsCancelled());
    EXPECT_EQ(db->Scalar("SELECT COUNT(*) FROM T_REZ_KOPF").AsLong(), 0);
    EXPECT_NE(ui.shown.back().Text.find("Endmarke </mensax> nicht gefunden"), std::string::npos);
}

TEST_F(MensaxImportTest, MenusFindTheirRecipesAndKeepTheirTexts)
{
    // The recipe of the file has fingerprint 11,22, the title "Käse & Brot <fein>" and that as
    // its menu-card title too.
    // What the menu is, how it is written, and how it is stored ("title|yield|date|description|
    // notices|tree|course:description;..."; empty: not stored).
    const std::tuple<const char*, std::string, const char*> cases[] = {
        {"everything the writer writes, and a formatted back page",
         "  <menu title=\"Sonntag &amp; Gäste\" amount=\"4.9\" date=\"2024-02-01\">\r\n"
         "    <frontpage datatype=\"rtf\" value=\"\">{\\rtf1 Formatiert\\par}\r\n    </frontpage>\r\n"
         "    <frontpage datatype=\"text\" value=\"\">Zwei\r\n      Zeilen\r\n    </frontpage>\r\n"
         "    <backpage datatype=\"RTF\">{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 Fr\\'fch \\b kaufen\\b0\\par "
         "Tisch\\tab decken}    </backpage>\r\n    <mrecipe amount=\"4\" rid=\"11,22\" title=\"x\">\r\n"
         "      <desc>Vorweg</desc>\r\n    </mrecipe>\r\n  </menu>\r\n",
         "Sonntag & Gäste|4|2024-02-01|Zwei\r\n      Zeilen|Früh kaufen\r\nTisch\tdecken|-2|"
         "Käse & Brot <fein>:Vorweg;"},
        {"recipes by title and by menu-card title; an unknown one is dropped",
         "  <menu title=\"Abend\" amount=\"2\" date=\"2024-2-01\">\r\n"
         "    <mrecipe amount=\"4\" rid=\"0,0\" title=\"käse &amp; brot &lt;fein&gt;\" />\r\n"
         "    <mrecipe amount=\"4\" rid=\"5,6\" title=\"Unbekannt\" />\r\n"
         "    <mrecipe amount=\"4\" rid=\"5,6\" title=\"Anders\"><desc>Käse &amp; Brot &lt;fein&gt;</desc>"
         "</mrecipe>\r\n  </menu>\r\n",
         "Abend|2|heute|||-2|Käse & Brot <fein>:;Käse & Brot <fein>:Käse & Brot <fein>;"},
        {"a year before 1900 keeps today",
         "  <menu title=\"Alt\" amount=\"1\" date=\"1899-12-31\"><mrecipe rid=\"11,22\"/></menu>\r\n",
         "Alt|1|heute|||-2|Käse & Brot <fein>:;"},
        {"no course with a known recipe",
         "  <menu title=\"Leer\"><mrecipe rid=\"5,6\" title=\"?\"/></menu>\r\n", ""},
        {"no course at all", "  <menu title=\"Nichts\" amount=\"3\"></menu>\r\n", ""},
    };
    for (const auto& [name, written, stored] : cases) {
        SCOPED_TRACE(name);
        Fresh();
        RecipeImport& imported = Import({File("menu.mnx", kProlog + kRecipe + written + "</mensax>\r\n")});
        ASSERT_EQ(db->Scalar("SELECT COUNT(*) FROM T_MENU_KOPF").AsLong(), *stored ? 1 : 0) << Problems();
        if (!*stored)
            continue;
        EXPECT_EQ(imported.Counters().Menus, 1);
        ClMenu menu;
        menu.SetDB(db.get());
        ASSERT_TRUE(menu.Loadr(static_cast<long>(db->Scalar("SELECT MenuID FROM T_MENU_KOPF").AsLong())));
        int y = 0, m = 0, d = 0, h = 0, mi = 0, se = 0;
        menu.MenuDate().ToParts(y, m, d, h, mi, se);
        char date[16];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", y, m, d);
        const bool today = menu.MenuDate() == DateSerial{std::floor(imported.GetImportDate().Days)};
        std::string text = menu.Title() + "|" + std::to_string(menu.Yield()) + "|" +
                           (today ? "heute" : date) + "|" + menu.Description() + "|" + menu.Notices() + "|" +
                           std::to_string(menu.Tree()) + "|";
        for (int i = 1; i <= menu.CoursesCount(); ++i)
            text += menu.CourseTitle(i) + ":" + menu.CourseDesc(i) + ";";
        EXPECT_EQ(text, stored);
    }
}

long PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

TEST_F(MensaxImportTest, AHundredMegabyteTextIsRefusedInLittleMemory)
{
    // Written in pieces, so that making the file takes no memory of its own.
    const std::string path = dir.File("gross.mnx");
    {
        std::ofstream out(path, std::ios::binary);
        out << kProlog << Replace(kRecipe, "K&#228;se", "Vorher")
            << "  <recipe lang=\"DE\">\r\n    <head title=\"Riesig\" servingqty=\"1\">\r\n      <sourceline>";
        const std::string block(1 << 20, 'x');
        for (int i = 0; i < 100; ++i)
            out << block;
        out << "</sourceline>\r\n    </head>\r\n  </recipe>\r\n"
            << Replace(Replace(kRecipe, "K&#228;se", "Nachher"), "rid=\"11,22\"", "rid=\"3,4\"")
            << "</mensax>\r\n";
    }
    [[maybe_unused]] const long before = PeakMegabytes(); // unused where the sanitizer hides the peak
    RecipeImport& imported = Import({path});
#ifndef __SANITIZE_ADDRESS__
    // The sanitizer keeps freed memory aside for a while, which a peak measure counts.
    EXPECT_LT(PeakMegabytes() - before, 64);
#endif
    EXPECT_EQ(imported.Summary(), "importiert: 2, übersprungen: 0, fehlerhaft: 1") << Problems();
    ASSERT_EQ(imported.Problems().size(), 1u);
    EXPECT_NE(imported.Problems()[0].find("Zeile 31: Das Element <recipe> ist größer als 16 MB"),
              std::string::npos)
        << Problems();
}

TEST_F(MensaxImportTest, APictureIsReadAsideOfTheElementLimitOrLeftOutOverItsOwn)
{
    struct Sink : MMImportSink
    {
        long StoreRecipe(ImportRecipe& recipe) override
        {
            recipes.push_back(recipe);
            return 1;
        }
        void StoreInfoBlock(long, const MMInfoBlock&) override {}
        void ReadProblem(const std::string&, long line, const std::string& reason, bool) override
        {
            problems += std::to_string(line) + ": " + reason + "\n";
        }
        std::vector<ImportRecipe> recipes;
        std::string problems;
    };
    // A picture of a megabyte and a half, in a file whose elements may take a kilobyte.
    Blob picture(std::size_t{3} << 19, 0x5A);
    std::copy_n("GIF89a", 6, picture.begin());
    const std::string text = Replace(
        kWritten, "<cat>Brot",
        "<picbin format=\"gif\">" +
            EncodeBase64(std::string_view(reinterpret_cast<const char*>(picture.data()), picture.size())) +
            "</picbin>\r\n      <cat>Brot");
    ClUnit units;
    units.SetDB(db.get());
    for (const std::size_t megabytes : {2, 1}) {
        SCOPED_TRACE(megabytes);
        MensaxImport reader(units, DateSerial{46000});
        reader.SetLimits(1024, megabytes << 20);
        Sink sink;
        reader.ReadFile(ImportTextFromString(text, "bild.mnx"), sink);
        ASSERT_EQ(sink.recipes.size(), 1u) << sink.problems;
        EXPECT_EQ(sink.recipes[0].Title, "Käse & Brot <fein>");
        EXPECT_EQ(sink.recipes[0].Lines.size(), 4u);
        EXPECT_EQ(sink.recipes[0].Picture, megabytes == 2 ? picture : Blob{});
        EXPECT_EQ(sink.problems, megabytes == 2
                                     ? ""
                                     : "5: Das Bild des Rezepts \"Käse & Brot <fein>\" ist größer als 1 MB "
                                       "und wurde nicht gelesen; das Rezept wird ohne dieses Bild "
                                       "importiert.\n");
    }
}

TEST_F(MensaxImportTest, SubRecipesFoodKeysAndPicturesAndZipArchives)
{
    // The sub-recipe comes first, as the export writes it; the one with an unknown fingerprint
    // becomes an ordinary line.
    clsZIP zip;
    ASSERT_TRUE(zip.NewZIPFile(dir.File("rezepte.zip")));
    ASSERT_TRUE(zip.AddFile(DataFile("subrecipes.mnx"), "suppe.mnx"));
    ASSERT_TRUE(zip.Add()) << zip.LastResultText();
    RecipeImport& imported = Import({dir.File("rezepte.zip")});
    EXPECT_EQ(imported.Summary(), "importiert: 2, übersprungen: 0, fehlerhaft: 0") << Problems();
    const long brueheId = db->Scalar("SELECT ID FROM T_REZ_KOPF WHERE RezTitle='Brühe'").AsLong();
    const long suppeId = db->Scalar("SELECT ID FROM T_REZ_KOPF WHERE RezTitle='Suppe'").AsLong();
    EXPECT_EQ(Describe(suppeId), "Suppe|4 Portionen|lang 0|fp 7,8|src \n1 [] Brühe /  /  / Rezept " +
                                     std::to_string(brueheId) +
                                     "\n1.5 [] Fond /  /  / \n1 [] Mehl /  /  / \nprep \nnotes \n");
    EXPECT_EQ(
        db->Scalar("SELECT ZutRezept FROM T_REZ_ZUTAT WHERE ID=? AND [No]=1", {Value(suppeId)}).AsLong(), -1);
    ClRecipe bruehe;
    bruehe.SetDB(db.get());
    ASSERT_TRUE(bruehe.LoadByID(brueheId, 2));
    ASSERT_EQ(bruehe.PictureCount(), 1);
    EXPECT_EQ(bruehe.Picture(1).BlobData(), (Blob{'G', 'I', 'F', '8', '9', 'a'}));
    EXPECT_EQ(MensaxImport::DecodeBase64("SGFs\r\n bG8=="), (Blob{'H', 'a', 'l', 'l', 'o'}));
}

} // namespace
} // namespace pf
