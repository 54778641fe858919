#include "exchange/ExportRun.h"
#include "exchange/MensaxExport.h"
#include "exchange/clsRecipeExport.h"

#include "core/TextConv.h"
#include "tests/exchange/ExportFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

namespace pf {
namespace {

class Export : public test::ExportFixture, public ::testing::WithParamInterface<test::Backend>
{
protected:
    void SetUp() override
    {
        backend = GetParam();
        ExportFixture::SetUp();
    }
    ExportOutcome Run(int mode, std::vector<long> ids, const std::string& file,
                      std::vector<long> servings = {})
    {
        ExportRequest request = Request(mode, std::move(ids), file);
        request.Servings = std::move(servings);
        return RunExport(request, db.get());
    }
};

// Tests about the database file itself.
class ExportToFile : public Export
{
};

TEST_P(Export, MealMasterWithDependenciesMatchesGoldenFile)
{
    ExportRequest request = Request(clsRecipeExport::kMealMasterFile, {suppeId}, "out.mm");
    request.SubRecipes = request.Parents = true;
    const ExportOutcome outcome = RunExport(request, db.get());
    ASSERT_TRUE(outcome.Ok) << outcome.Message;
    EXPECT_EQ(outcome.Message, "Export \"Meal Master\" abgeschlossen.");
    // The parent first, then the sub-recipe, then the recipe that uses them.
    EXPECT_EQ(outcome.Ids, (std::vector<long>{spaetzleId, brueheId, suppeId}));
    ExpectGolden(test::ReadFile(dir.File("out.mm")), "default.mm");
}

TEST_P(Export, MealMasterInformationBlockAndScaling)
{
    app.Options.ExportFingerprint = 1 + 4 + 8 + 16;
    const ExportOutcome outcome =
        Run(clsRecipeExport::kMealMasterFile, {spaetzleId, brueheId}, "info.mm", {8, 0});
    ASSERT_TRUE(outcome.Ok) << outcome.Message;
    ExpectGolden(test::ReadFile(dir.File("info.mm")), "information.mm");
    // The clipboard gets the whole file, as UTF-8.
    ASSERT_TRUE(Run(clsRecipeExport::kMealMasterClipboard, {spaetzleId, brueheId}, "", {8, 0}).Ok);
    EXPECT_EQ(ui.clipboard, Win1252ToUtf8(test::ReadFile(dir.File("info.mm"))));
}

TEST_P(Export, RezkonvMatchesGoldenFile)
{
    const ExportOutcome outcome = Run(clsRecipeExport::kRezkonvFile, {spaetzleId, suppeId}, "out.rez");
    ASSERT_TRUE(outcome.Ok) << outcome.Message;
    EXPECT_EQ(outcome.Message, "Export \"Rezkonv\" abgeschlossen.");
    ExpectGolden(test::ReadFile(dir.File("out.rez")), "recipes.rez");
    ASSERT_TRUE(Run(clsRecipeExport::kRezkonvClipboard, {spaetzleId, suppeId}, "").Ok);
    EXPECT_EQ(ui.clipboard, Win1252ToUtf8(test::ReadFile(dir.File("out.rez"))));
}

TEST_P(Export, HtmlPageWithPictureIndexAndDownloadLinksMatchesGoldenFile)
{
    Edit(spaetzleId, [](ClRecipe& recipe) { recipe.PictureAdd(Blob{0x89, 'P', 'N', 'G', 13, 10, 26, 10}); });
    app.Options.ExportTitelIndex = 1;
    ExportRequest request = Request(clsRecipeExport::kHtmlFile, {spaetzleId, suppeId}, "rezepte.html");
    request.HtmlFlags = htmlflags::kUtf8 | htmlflags::kPicturePathPrefix;
    request.PicturePath = "bilder";
    request.HtmlDownload = true;
    const ExportOutcome outcome = RunExport(request, db.get());
    ASSERT_TRUE(outcome.Ok) << outcome.Message;
    const std::string html = test::ReadFile(dir.File("rezepte.html"));
    EXPECT_TRUE(IsValidUtf8(html));
    ExpectGolden(html, "recipes.html");
    EXPECT_EQ(test::ReadFile(dir.File("rezepte_" + std::to_string(spaetzleId) + ".png")),
              std::string("\x89PNG\r\n\x1a\n", 8));
}

TEST_P(Export, HtmlWithoutUtf8DeclaresIsoAndFragmentsHaveNoFrame)
{
    app.Options.ExportUmlautConvert = 1; // not applied to HTML
    ExportRequest request = Request(clsRecipeExport::kHtmlClipboard, {brueheId});
    request.HtmlFlags = 0;
    ASSERT_TRUE(RunExport(request, db.get()).Ok);
    ExpectGolden(ui.clipboard, "iso.html");
    // A fragment is the recipe's block alone; like a page it has no empty line.
    request.HtmlFlags = 2 | htmlflags::kUtf8;
    ASSERT_TRUE(RunExport(request, db.get()).Ok);
    ExpectGolden(ui.clipboard, "fragment.html");
}

TEST_P(Export, MensaxMatchesGoldenFileAndTheClipboardHoldsTheSame)
{
    // A picture, characters the format does not carry, and texts that need escaping.
    Edit(spaetzleId, [](ClRecipe& recipe) {
        recipe.PictureAdd(Blob{0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0});
        recipe.SetNotizen("Œuvre: 5 € – „gut“ & <schnell> ·\tfertig\r\n\r\n  eingerückt  ");
        recipe.IngredAdd(Separator("Zum \"Servieren\" & Garnieren"));
        ClIngredient line = Line("0.3333", kTeeloeffel, "Pfeffer <schwarz>");
        line.SetVerarbeitung("frisch > gemahlen");
        line.SetZubereitung("zuletzt 'drüber'");
        recipe.IngredAdd(line);
    });
    // A stored recipe always has a fingerprint; the sub-recipe reference needs it.
    db->Execute("UPDATE T_REZ_KOPF SET Fingerprint1=11, Fingerprint2=22 WHERE ID=?", {Value(brueheId)});
    ExportRequest request = Request(clsRecipeExport::kMensaxFile, {suppeId}, "rezepte.mnx");
    request.SubRecipes = request.Parents = true;
    const ExportOutcome outcome = RunExport(request, db.get());
    ASSERT_TRUE(outcome.Ok) << outcome.Message;
    EXPECT_EQ(outcome.Message, "Export \"Mensax\" abgeschlossen.");
    const std::string file = test::ReadFile(dir.File("rezepte.mnx"));
    EXPECT_TRUE(IsValidUtf8(file));
    EXPECT_EQ(file.find("\r\n\r\n"), std::string::npos);
    ExpectGolden(file, "recipes.mnx");

    request.Mode = clsRecipeExport::kMensaxClipboard;
    ASSERT_TRUE(RunExport(request, db.get()).Ok);
    EXPECT_EQ(ui.clipboard, file);

    // With the umlaut setting the text is transliterated before it is converted.
    app.Options.ExportUmlautConvert = 1;
    request.Ids = {brueheId};
    request.SubRecipes = request.Parents = false;
    ASSERT_TRUE(RunExport(request, db.get()).Ok);
    EXPECT_NE(ui.clipboard.find("<head title=\"Gemuesebruehe\" servingqty=\"2\""), std::string::npos)
        << ui.clipboard;
    EXPECT_EQ(ui.clipboard.find('\xC3'), std::string::npos);
}

TEST_P(Export, MensaxMenusFollowTheRecipesAndMatchGoldenFile)
{
    db->Execute("UPDATE T_REZ_KOPF SET Fingerprint1=11, Fingerprint2=22 WHERE ID=?", {Value(brueheId)});
    const long menuId = SaveMenu();
    ClMenu bare;
    bare.SetDB(db.get());
    bare.SetTitle("Ohne Datum");
    bare.CourseAdd(brueheId, false, "");
    ASSERT_TRUE(bare.Save());
    ExportRequest request = Request(clsRecipeExport::kMensaxFile, {brueheId, spaetzleId}, "menues.mnx");
    request.MenuIds = {menuId, 0, 999, bare.id()}; // missing menus are left out
    const ExportOutcome outcome = RunExport(request, db.get());
    ASSERT_TRUE(outcome.Ok) << outcome.Message;
    const std::string file = test::ReadFile(request.FileName);
    EXPECT_TRUE(IsValidUtf8(file));
    ExpectGolden(file, "menus.mnx");
    // Only Mensax carries menus.
    request.Mode = clsRecipeExport::kMealMasterFile;
    request.FileName = dir.File("menues.mm");
    ASSERT_TRUE(RunExport(request, db.get()).Ok);
    EXPECT_EQ(test::ReadFile(request.FileName).find("Sonntagsessen"), std::string::npos);
}

TEST_P(Export, CsvCookbookXmlAndStructureMatchGoldenFiles)
{
    Edit(spaetzleId, [](ClRecipe& recipe) {
        recipe.SetPreparationTime(DateSerial{20.0 / 1440});
        recipe.SetCookingTime(DateSerial{0.5 / 24});
        recipe.PictureAdd(Blob{'G', 'I', 'F', '8', '9', 'a', 0, 1});
        recipe.SetSourceText("Omas Kochbuch; \"Seite\" 12");
    });
    const long menuId = SaveMenu();
    ClMenu plan;
    plan.SetDB(db.get());
    plan.CreateNewWP(DateSerial::FromParts(2026, 12, 7), 2);
    ASSERT_GE(plan.WPLevels().Max(), 2);
    plan.WPPlace(1, plan.WPLevels().id(1), brueheId);
    plan.WPPlace(2, plan.WPLevels().id(2), 0, "Eintopf, \"deftig\"");
    ASSERT_TRUE(plan.Save()) << plan.LastErrorText();
    const std::tuple<int, char, const char*> cases[] = {
        {clsRecipeExport::kCsvFile, ';', "recipes.csv"},
        {clsRecipeExport::kCsvFile, ',', "recipes-comma.csv"},
        {clsRecipeExport::kCookbookXmlFile, ';', "recipes.xml"},
        {clsRecipeExport::kStructureClipboard, ';', "structure.txt"},
    };
    for (const auto& [mode, separator, golden] : cases) {
        SCOPED_TRACE(golden);
        ExportRequest request = Request(mode, {spaetzleId, suppeId, brueheId}, golden);
        request.MenuIds = {menuId, plan.id()};
        request.CsvSeparator = separator;
        const ExportOutcome outcome = RunExport(request, db.get());
        ASSERT_TRUE(outcome.Ok) << outcome.Message;
        const bool toFile = clsRecipeExport::isFileBasedExport(mode);
        const std::string text = toFile ? test::ReadFile(request.FileName) : ui.clipboard;
        EXPECT_EQ(outcome.Result, toFile ? "" : text);
        EXPECT_TRUE(IsValidUtf8(text));
        ExpectGolden(text, golden);
    }
    // The clipboard gets the same CSV, without the byte-order mark a file needs.
    ExportRequest request = Request(clsRecipeExport::kCsvClipboard, {spaetzleId, suppeId, brueheId});
    request.MenuIds = {menuId, plan.id()};
    ASSERT_TRUE(RunExport(request, db.get()).Ok);
    EXPECT_EQ("\xEF\xBB\xBF" + ui.clipboard, test::ReadFile(dir.File("recipes.csv")));
}

TEST_P(Export, StructureStopsAtRecipesThatUseEachOther)
{
    // The broth uses the soup that uses the broth.
    db->Execute("INSERT INTO T_REZ_ZUTAT (ID,No,ZutTrenner,ZutText,ZutAnz,ZutEinh,ZutRezept,ZutBLSID) VALUES "
                "(?,9,0,'Suppe',0,0,-1,?), (?,10,0,'Verloren',0,0,-1,9999)",
                {Value(brueheId), Value(suppeId), Value(brueheId)});
    ASSERT_TRUE(Run(clsRecipeExport::kStructureClipboard, {suppeId}, "").Ok);
    ExpectGolden(ui.clipboard, "structure-cycle.txt");
}

TEST_P(Export, MensaxPictureTypesAndUnknownPictureMessage)
{
    const std::pair<Blob, const char*> cases[] = {
        {{0xFF, 0xD8, 0xFF, 0xE1, 0, 16, 'E', 'x', 'i', 'f'}, "jpg"},
        {{'B', 'M', 1, 2}, "bmp"},
        {{'G', 'I', 'F', '8', '9', 'a'}, "gif"},
        {{0x89, 'P', 'N', 'G', 13, 10}, "png"},
        {{'J', 'F', 'I', 'F'}, ""},
    };
    for (const auto& [data, type] : cases)
        EXPECT_EQ(PictureFileType(data, false), type) << type;
    EXPECT_EQ(PictureFileType(Blob{'R', 'I', 'F', 'F', 1, 0xE4}, true), "");
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].Text, "Derzeit nicht unterstützter Bild-Typ.\r\nBitte das Rezept als "
                                "Pfannola-Kochbuchexport zur Analyse zusenden.\r\n\r\nAnalysecode:\r\n"
                                "52 49 46 46 01 E4 RIFF0?");
}

// Every "{" has its "}" (escaped braces aside) and the document is one group.
void ExpectBalancedRtf(const std::string& rtf)
{
    int depth = 0;
    bool closedEarly = false;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
            continue;
        }
        if (rtf[i] == '{')
            ++depth;
        if (rtf[i] == '}' && --depth == 0 && rtf.find_first_not_of("\r\n", i + 1) != std::string::npos)
            closedEarly = true;
        ASSERT_GE(depth, 0);
        ASSERT_LT(static_cast<unsigned char>(rtf[i]), 0x80) << "raw byte at " << i;
    }
    EXPECT_EQ(depth, 0);
    EXPECT_FALSE(closedEarly);
}

TEST_P(Export, RtfIsABalancedDocumentMatchingGoldenFileAndOpensInTheWordProcessor)
{
    ExportOutcome outcome = Run(clsRecipeExport::kRtfFile, {spaetzleId, suppeId}, "rezepte.rtf");
    ASSERT_TRUE(outcome.Ok) << outcome.Message;
    const std::string rtf = test::ReadFile(dir.File("rezepte.rtf"));
    EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg1252", 0), 0u);
    ExpectBalancedRtf(rtf);
    EXPECT_NE(rtf.find("K\\'e4sesp\\'e4tzle"), std::string::npos);
    ExpectGolden(rtf, "recipes.rtf");

    // For the word processor the file is written and handed to the desktop to open.
    outcome = Run(clsRecipeExport::kRtfWord, {brueheId}, "");
    ASSERT_TRUE(outcome.Ok) << outcome.Message;
    ASSERT_FALSE(ui.opened.empty());
    ExpectBalancedRtf(test::ReadFile(ui.opened));

    ui.openSucceeds = false;
    outcome = Run(clsRecipeExport::kRtfWord, {brueheId}, "");
    EXPECT_FALSE(outcome.Ok);
    EXPECT_EQ(outcome.Message.rfind("Beim Exportieren ist ein Fehler aufgetreten (", 0), 0u)
        << outcome.Message;
}

TEST_P(Export, ExistingFileBecomesBakAndAppendingKeepsIt)
{
    const std::string file = dir.File("out.mm");
    test::WriteFile(file, "erste Fassung");
    test::WriteFile(file + ".BAK", "uralt");
    ASSERT_TRUE(Run(clsRecipeExport::kMealMasterFile, {brueheId}, "out.mm").Ok);
    EXPECT_EQ(test::ReadFile(file + ".BAK"), "erste Fassung");
    const std::string single = test::ReadFile(file);

    ExportRequest request = Request(clsRecipeExport::kMealMasterFile, {brueheId}, "out.mm");
    request.Append = true;
    ASSERT_TRUE(RunExport(request, db.get()).Ok);
    EXPECT_EQ(test::ReadFile(file), single + single);
    EXPECT_EQ(test::ReadFile(file + ".BAK"), "erste Fassung");

    // HTML cannot append: the file is replaced and the old one kept as .BAK.
    request.Mode = clsRecipeExport::kHtmlFile;
    ASSERT_TRUE(RunExport(request, db.get()).Ok);
    EXPECT_EQ(test::ReadFile(file + ".BAK"), single + single);
}

TEST_P(Export, UmlautSettingsChangeTheWrittenText)
{
    app.Options.ExportUmlautConvert = 1;
    ASSERT_TRUE(Run(clsRecipeExport::kMealMasterFile, {spaetzleId}, "digraphs.mm").Ok);
    ExpectGolden(test::ReadFile(dir.File("digraphs.mm")), "digraphs.mm");

    app.Options.ExportUmlautConvert = 0;
    app.Options.ExportUmlautAnsi = 1;
    ASSERT_TRUE(Run(clsRecipeExport::kMealMasterFile, {spaetzleId}, "cp850.mm").Ok);
    ExpectGolden(test::ReadFile(dir.File("cp850.mm")), "cp850.mm");
}

TEST_P(Export, MissingRecipeIsSkippedOnOkAndEndsTheRunOnCancel)
{
    ui.Answering(Answer::Ok);
    ExportOutcome outcome = Run(clsRecipeExport::kMealMasterFile, {999, brueheId}, "out.mm");
    ASSERT_TRUE(outcome.Ok);
    EXPECT_EQ(outcome.Exported, 1);
    EXPECT_EQ(outcome.Skipped, 1);
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_EQ(ui.shown.back().Text, "Zu exportierendes Rezept nicht gefunden:\r\n#999");

    ui.Answering(Answer::Cancel);
    outcome = Run(clsRecipeExport::kMealMasterFile, {999, brueheId}, "out.mm");
    EXPECT_TRUE(outcome.Cancelled);
    EXPECT_EQ(outcome.Exported, 0);
    EXPECT_TRUE(ui.AllAnswersUsed());
}

TEST_P(Export, UnwritableTargetReportsTheError)
{
    const ExportOutcome outcome = Run(clsRecipeExport::kMealMasterFile, {brueheId}, "fehlt/out.mm");
    EXPECT_FALSE(outcome.Ok);
    EXPECT_EQ(outcome.Message, "Beim Exportieren ist ein Fehler aufgetreten (Die Datei " +
                                   dir.File("fehlt/out.mm") + " kann nicht geschrieben werden.)");
}

TEST_P(ExportToFile, TargetThatIsTheOpenDatabaseIsRefused)
{
    // Replacing or appending to the database file, or copying recipes over it, would destroy every
    // recipe in it.
    const std::string file = db->Name();
    const std::string before = test::ReadFile(file);
    const std::pair<int, bool> cases[] = {{clsRecipeExport::kMealMasterFile, false},
                                          {clsRecipeExport::kMealMasterFile, true},
                                          {clsRecipeExport::kDatabaseFile, false}};
    for (const auto& [mode, append] : cases) {
        SCOPED_TRACE(mode * 10 + append);
        ExportRequest request = Request(mode, {brueheId});
        request.FileName = file;
        request.Append = append;
        const ExportOutcome outcome = RunExport(request, db.get());
        EXPECT_FALSE(outcome.Ok);
        EXPECT_EQ(outcome.Message, "Beim Exportieren ist ein Fehler aufgetreten (Die Datei " + file +
                                       " ist die geöffnete Datenbank und wird nicht überschrieben.)");
    }
    EXPECT_FALSE(std::filesystem::exists(file + ".BAK"));
    EXPECT_EQ(test::ReadFile(file), before);
    EXPECT_EQ(db->Scalar("SELECT COUNT(*) FROM T_REZ_KOPF WHERE ID=?", {Value(brueheId)}).AsLong(), 1);
}

TEST_P(Export, ReadingAheadWritesTheSameAsLoadingEachRecipe)
{
    app.Options.ExportFingerprint = 1 + 4 + 8 + 16;
    // A picture (its recipe is loaded on its own), a language and a literature source with page.
    db->Execute("INSERT INTO T_LITERATUR (QuelleID, Title) VALUES (5, 'Schwäbisch kochen')");
    db->Execute("UPDATE T_REZ_KOPF SET RezSprache=4, RezQuelleID=5, RezQuellePage='12' WHERE ID=?",
                {Value(suppeId)});
    db->Execute("UPDATE T_REZ_KOPF SET Fingerprint1=11, Fingerprint2=22 WHERE ID=?", {Value(brueheId)});
    Edit(spaetzleId, [](ClRecipe& recipe) { recipe.PictureAdd(Blob{'G', 'I', 'F', '8', '9', 'a', 0, 1}); });
    const std::vector<long> ids{spaetzleId, suppeId, brueheId};
    for (int mode : {clsRecipeExport::kMealMasterFile, clsRecipeExport::kRezkonvFile,
                     clsRecipeExport::kRtfFile, clsRecipeExport::kMensaxFile}) {
        SCOPED_TRACE(mode);
        ASSERT_TRUE(Run(mode, ids, "ahead.txt", {0, 8, 0}).Ok);
        clsRecipeExport engine;
        ASSERT_TRUE(engine.CompleteInit(mode, dir.File("single.txt"), false, db.get()));
        for (long id : ids)
            ASSERT_TRUE(engine.ExportRecipe(id, id == suppeId ? 8 : 0));
        ASSERT_TRUE(engine.MediaClose());
        EXPECT_EQ(test::ReadFile(dir.File("single.txt")), test::ReadFile(dir.File("ahead.txt")));
    }
}

TEST_P(Export, ExchangeFilesWriteAmountsEveryReaderReadsBack)
{
    app.Options.EditFlags = 12; // the user sees decimals with a comma
    ClRecipe recipe = NewRecipe("Mengenprobe", 4);
    recipe.IngredAdd(Line("1.5", kGramm, "Zucker"));
    recipe.IngredAdd(Line("2.95", kGramm, "Salz"));
    recipe.IngredAdd(Line("187.547", kGramm, "Mehl"));
    recipe.IngredAdd(Line("99999.99", kGramm, "Wasser"));
    recipe.IngredAdd(Line("1", 56, "Pfeffer")); // "nach Geschmack": two words
    recipe.IngredAdd(Line("2", 3, "Muskat"));   // "Messerspitze": longer than the column
    recipe.IngredAdd(Line("1", kEssloeffel, "Zucker; (1\u20132) fein")); // a range as earlier imports kept it
    recipe.IngredAdd(Line("2", kGramm, "Hefe; (2-3)"));
    Store(recipe, 5, 6);
    // The user's decimal comma never reaches a file.
    for (const auto& [mode, golden] : {std::pair{clsRecipeExport::kMealMasterFile, "amounts.mm"},
                                       std::pair{clsRecipeExport::kRezkonvFile, "amounts.rez"}}) {
        ASSERT_TRUE(Run(mode, {recipe.id()}, golden).Ok);
        ExpectGolden(test::ReadFile(dir.File(golden)), golden);
    }
    // Mensax carries no en dash: the range keeps a plain one instead of reading "(12)".
    ASSERT_TRUE(Run(clsRecipeExport::kMensaxFile, {recipe.id()}, "amounts.mnx").Ok);
    EXPECT_NE(test::ReadFile(dir.File("amounts.mnx")).find("<inote>(1-2) fein</inote>"), std::string::npos);
}

PF_ON_BOTH_BACKENDS(Export);
PF_ON_FILE_BACKEND(ExportToFile);

} // namespace
} // namespace pf
