#include "output/clsRecipePrint.h"

#include "core/AppContext.h"
#include "model/ClRecipe.h"
#include "output/PageFooter.h"
#include "tests/output/RecordingCanvas.h"
#include "tests/support/BaseDataDb.h"

#include <algorithm>

namespace pf {
namespace {

using test::DrawnItem;
using test::FindText;
using test::RecordingCanvas;

constexpr long kGramm = 31;
constexpr long kPortionen = 1;
constexpr long kVorspeise = 102;
constexpr long kAll = 1 | 2 | 4 | 8 | 16 | 64 | 128 | 256 | 512 | 1024 | 2048 | 4096;

Blob Bytes(const std::string& text)
{
    return Blob(text.begin(), text.end());
}

std::string Words(int count, const char* word = "Teig")
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += (i ? " " : "") + std::string(word) + std::to_string(i);
    return text;
}

ClIngredient Line(const char* quantity, long unit, const std::string& text,
                  const std::string& preparation = {})
{
    ClIngredient line;
    line.SetEinheitID(unit);
    line.SetOrgMeasurement(Decimal4::Parse(quantity));
    line.SetIngredient(text);
    line.SetZubereitung(preparation);
    return line;
}

// Every text in drawing order, joined by blanks: a wrapped value reads as one.
std::string AllText(const RecordingCanvas& canvas)
{
    std::string text;
    for (const DrawnItem& item : canvas.Items)
        text += item.Content + " ";
    return text;
}

class RecipePrint : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app.IniFile = dir.File("pfannola.INI");
        app.UserStoreFile = dir.File("user.ini");
        app.VersionText = "v2.00.126";
        app.Options.EditFlags = 0;
        db = test::MakeBaseDataDatabase(dir);
        ASSERT_TRUE(db);
    }

    std::unique_ptr<ClRecipe> Recipe(const std::string& title, int lines = 3)
    {
        auto recipe = std::make_unique<ClRecipe>();
        recipe->SetDB(db.get());
        recipe->LoadByID(0);
        recipe->Setid(++lastId);
        recipe->SetTitle(title);
        recipe->SetYield(4);
        recipe->SetYieldUnitIndex(kPortionen);
        recipe->CatAddID(kVorspeise);
        recipe->SetZubereitung("Alles verrühren und backen.");
        for (int i = 1; i <= lines; ++i)
            recipe->IngredAdd(Line(std::to_string(i * 50).c_str(), kGramm, "Zutat " + std::to_string(i)));
        return recipe;
    }

    RecordingCanvas Print(const std::vector<ClRecipe*>& recipes, int mode = 0, long flags = 16,
                          bool twoPart = true)
    {
        RecordingCanvas canvas;
        clsRecipePrint printer;
        printer.PrintInit(canvas, mode, flags, twoPart);
        for (std::size_t i = 0; i < recipes.size(); ++i)
            EXPECT_TRUE(printer.PrintRecipe(*recipes[i], i + 1 == recipes.size()));
        EXPECT_TRUE(printer.PrintFinalize());
        return canvas;
    }

    AppContext app;
    ScopedAppContext scope{app};
    test::TempDir dir;
    std::unique_ptr<Database> db;
    long lastId = 0;
};

// What the layout cases add to the standard recipe.
void LongTitleAndPicture(ClRecipe& r)
{
    r.SetTitle(Words(12, "Überlanger"));
    r.PictureAdd(Bytes("IMG 400 800"));
}
void SixtyLines(ClRecipe& r)
{
    for (int i = 0; i < 60; ++i)
        r.IngredAdd(Line("125", kGramm, "Mehl " + std::to_string(i)));
}
// 80 lines with long texts, separators and preparations.
void EightyMixedLines(ClRecipe& r)
{
    for (int i = 0; i < 80; ++i) {
        if (i % 20 == 0)
            r.IngredAdd(Line("0", 0, "Für den Teil " + std::to_string(i / 20)));
        r.IngredAdd(Line("1 1/2", kGramm, i % 7 == 0 ? Words(9, "Käse") : "Öl", i % 5 ? "" : Words(5)));
    }
    for (int i = 1; i <= r.IngredCount(); ++i)
        if (r.Ingredient(i).Ingredient().starts_with("Für den Teil"))
            r.Ingredient(i).SetTrennzeile(r.Ingredient(i).Ingredient());
}
void LongPreparation(ClRecipe& r)
{
    std::string text;
    for (int i = 0; i < 60; ++i)
        text += Words(14, "rühren") + "\n";
    r.SetZubereitung(text);
}
void LongWord(ClRecipe& r)
{
    r.SetZubereitung(std::string(400, 'W'));
}
void EverySection(ClRecipe& r)
{
    r.SetNotizen("Am Vortag vorbereiten.\n\nHält sich gut.");
    r.SetStorageTime(2, 3);
    r.SetStorageTime(3, 1);
    r.SetWineDegustation("Ein trockener Riesling");
    r.SetSourceText("Omas Heft");
    r.Db().Execute("INSERT INTO T_ADRESSE (ID,Name) VALUES (61,'Süd')");
    r.Db().Execute("INSERT INTO T_LITERATUR (QuelleID,Title,Jahrgang,AusgabeNr,VerlagID) VALUES "
                   "(5,'Backen',2004,'12',61)");
    r.SourcebookSetID(5);
    r.SetSourcePage(35);
    r.SetPreparationTime(DateSerial{0.5 / 24});
    r.PictureAdd(Bytes("IMG 4000 3000"));
    r.PictureAdd(Bytes("IMG 300 3000"));
    r.PictureAdd(Bytes("IMG 3000 300"));
}
void UnreadablePictures(ClRecipe& r)
{
    r.PictureAdd(Bytes("kein Bild"));
    r.PictureAdd({}, "/nirgends/bild.jpg");
}
void WithNote(ClRecipe& r)
{
    r.SetNotizen("Notiz");
}
void SixtyLinesAndAPicture(ClRecipe& r)
{
    for (int i = 0; i < 60; ++i)
        r.IngredAdd(Line("2", kGramm, Words(4, "Brühe")));
    r.PictureAdd(Bytes("IMG 640 480"));
}

TEST_F(RecipePrint, EveryLayoutStaysOnItsPagesWithoutOverlapsOrEmptyPages)
{
    struct Case
    {
        const char* Name;
        void (*Change)(ClRecipe&);
        int Mode;
        long Flags;
        int Pages;
        std::vector<std::string> Texts; // that must appear (on any page)
    };
    const Case cases[] = {
        {"short recipe", nullptr, 0, 16, 1, {"Mengenangaben:", "4 Portionen", "Zutaten:", "Zubereitung:"}},
        {"long title wraps beside the header picture", LongTitleAndPicture, 0, kAll, 1, {}},
        {"60 ingredient lines", SixtyLines, 0, 16, 2, {"Seite 2"}},
        {"80 mixed lines, two-part", EightyMixedLines, 0, 16, 3, {"Zutaten und Zubereitung:", "Seite 3"}},
        {"preparation over three pages", LongPreparation, 0, 16, 3, {"Seite 3"}},
        {"a word longer than the page", LongWord, 0, 16, 1, {}},
        {"every section with pictures",
         EverySection,
         0,
         kAll,
         2,
         {"Haltbarkeitsangaben:", "3 Tage gekühlt, 1 Monat tiefgekühlt", "Notizen:", "Weinempfehlung:",
          "Quelle:", "Backen (Süd), 2004/12, Seite 35, Omas Heft", "Vorbereitungszeit:", "0:30"}},
        // Pictures that cannot be read are left out with a note.
        {"unreadable pictures",
         UnreadablePictures,
         0,
         kAll,
         1,
         {"Das Bild des Rezepts kann nicht gedruckt werden: die Datei fehlt oder ist kein Bild.",
          "Bild 2 kann nicht gedruckt werden: die Datei fehlt oder ist kein Bild."}},
        {"working recipe", WithNote, 1, 16, 1, {"Zutaten (4 Portionen)", "Notizen:"}},
        {"working recipe with 60 lines and a picture", SixtyLinesAndAPicture, 1, 16, 2, {"Bild"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::unique_ptr<ClRecipe> recipe = Recipe("Käsespätzle");
        if (c.Change)
            c.Change(*recipe);
        const RecordingCanvas canvas = Print({recipe.get()}, c.Mode, c.Flags);
        ExpectSoundLayout(canvas);
        EXPECT_EQ(Pages(canvas), c.Pages);
        for (const std::string& text : c.Texts)
            EXPECT_NE(AllText(canvas).find(text), std::string::npos) << text;
    }
}

TEST_F(RecipePrint, StandardPrintoutKeepsItsColumnsAndBreaksWithFiveLinesInReserve)
{
    std::unique_ptr<ClRecipe> recipe = Recipe("Rouladen", 0);
    recipe->IngredAdd(Line("1", kGramm, "Senf"));
    recipe->IngredAdd(Line("12345", kGramm, "Rindfleisch"));
    for (int i = 0; i < 70; ++i)
        recipe->IngredAdd(Line("3", 0, "Gurke " + std::to_string(i)));
    const RecordingCanvas canvas = Print({recipe.get()});
    ExpectSoundLayout(canvas);

    const double lineA = 276; // "A" in Arial 12, leading included
    for (const char* quantity : {"1", "12345", "3"}) {
        const DrawnItem* item = FindText(canvas, quantity);
        ASSERT_TRUE(item) << quantity;
        EXPECT_NEAR(item->X + item->W, 1300, 0.01) << quantity;
    }
    EXPECT_EQ(FindText(canvas, "Senf")->X, 2900);
    EXPECT_EQ(FindText(canvas, "Mengenangaben:")->X, 512);
    EXPECT_EQ(FindText(canvas, "4 Portionen")->X, 2900);
    EXPECT_NEAR(FindText(canvas, "Rouladen")->Y, 276 + 150, 0.5); // bold 12 has the same line height
    // The last line of a page started with at least five heights of "A" below it; the next
    // page repeats the title with the page number flush right.
    double lastOnFirstPage = 0;
    for (const DrawnItem& item : canvas.Items)
        if (item.Page == 1 && item.Content.starts_with("Gurke"))
            lastOnFirstPage = std::max(lastOnFirstPage, item.Y);
    EXPECT_LE(lastOnFirstPage + 5 * lineA, canvas.Height());
    EXPECT_GT(lastOnFirstPage + 6 * lineA, canvas.Height());
    ASSERT_TRUE(FindText(canvas, "Rouladen", 2));
    const DrawnItem* label = FindText(canvas, "Seite 2", 2);
    ASSERT_TRUE(label);
    EXPECT_NEAR(label->X + label->W, canvas.Width(), 0.01);
    EXPECT_FALSE(FindText(canvas, "Mengenangaben:", 2)); // the facts stay on the first page
    const DrawnItem* footer = FindText(canvas, "Rezept #1 gedruckt von Pfannola", 2);
    ASSERT_TRUE(footer);
    EXPECT_EQ(footer->X, 256);
    const DrawnItem* version = FindText(canvas, "v2.00.126", 2);
    EXPECT_NEAR(version->X + version->W, canvas.Width() - 256, 0.01);
    EXPECT_NEAR(version->Y, canvas.Height() - 2 * 138, 0.5);
}

TEST_F(RecipePrint, HeaderPictureNarrowsTheFactsBesideItOnly)
{
    std::unique_ptr<ClRecipe> recipe = Recipe("Pizza");
    recipe->PictureAdd(Bytes("IMG 1000 500"));
    recipe->SetSourceText(Words(30, "Quelle"));
    const RecordingCanvas canvas = Print({recipe.get()}, 0, kAll);
    ExpectSoundLayout(canvas);
    const auto picture = std::find_if(canvas.Items.begin(), canvas.Items.end(),
                                      [](const DrawnItem& item) { return item.What == DrawnItem::Image; });
    ASSERT_NE(picture, canvas.Items.end());
    EXPECT_EQ((std::vector<double>{picture->X, picture->Y, picture->W, picture->H}),
              (std::vector<double>{canvas.Width() - 512 - 3000, 250, 3000, 1500}));
    // Beside the picture the text stays left of it; below its limit it runs to the wide margin.
    double widestBeside = 0, widestBelow = 0;
    for (const DrawnItem& item : canvas.Items)
        if (item.Content.starts_with("Quelle") && item.X >= 2900)
            (item.Y < 1500 + 400 ? widestBeside : widestBelow) =
                std::max(item.Y < 1500 + 400 ? widestBeside : widestBelow, item.X + item.W);
    EXPECT_LE(widestBeside, picture->X);
    EXPECT_GT(widestBelow, picture->X);
    EXPECT_LE(widestBelow, canvas.Width() - 512);
}

TEST_F(RecipePrint, SeveralRecipesStartOnPagesOfTheirOwnAndScaledServingsArePrinted)
{
    std::unique_ptr<ClRecipe> first = Recipe("Erster Gang");
    std::unique_ptr<ClRecipe> second = Recipe("Zweiter Gang");
    second->ScaleRecipe(8);
    const RecordingCanvas canvas = Print({first.get(), second.get()});
    ExpectSoundLayout(canvas);
    EXPECT_EQ(Pages(canvas), 2);
    EXPECT_TRUE(FindText(canvas, "Zweiter Gang", 2));
    EXPECT_TRUE(FindText(canvas, "8 Portionen", 2));
    EXPECT_TRUE(FindText(canvas, "100", 2)); // 50 g for four, 100 g for eight
    EXPECT_FALSE(FindText(canvas, "Seite 2", 2));
    EXPECT_TRUE(FindText(canvas, "Rezept #2 gedruckt von Pfannola", 2));
}

TEST_F(RecipePrint, RecipeListHasOneRowPerRecipeAcrossPages)
{
    std::vector<std::unique_ptr<ClRecipe>> recipes;
    std::vector<ClRecipe*> job;
    for (int i = 0; i < 120; ++i) {
        recipes.push_back(Recipe(i % 10 ? "Suppe " + std::to_string(i) : Words(15, "Eintopf")));
        job.push_back(recipes.back().get());
    }
    const RecordingCanvas canvas = Print(job, 10);
    ExpectSoundLayout(canvas);
    EXPECT_EQ(Pages(canvas), 4);
    EXPECT_TRUE(FindText(canvas, "Rezeptliste", 4));
    EXPECT_TRUE(FindText(canvas, "Seite 4", 4));
    EXPECT_TRUE(FindText(canvas, "120", 4));
    EXPECT_TRUE(FindText(canvas, "gedruckt von Pfannola", 1));
}

TEST_F(RecipePrint, HeadingOfTheTwoPartLayoutNeedsALineWithPreparation)
{
    struct Case
    {
        bool TwoPart;
        const char *Preparation, *Heading;
    } cases[] = {{true, "", "Zutaten:"},
                 {true, "fein hacken", "Zutaten und Zubereitung:"},
                 {false, "fein hacken", "Zutaten:"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Heading);
        std::unique_ptr<ClRecipe> recipe = Recipe("Salat", 0);
        recipe->IngredAdd(Line("1", 0, "Zwiebel", c.Preparation));
        const RecordingCanvas canvas = Print({recipe.get()}, 0, 16, c.TwoPart);
        EXPECT_TRUE(FindText(canvas, c.Heading));
        const DrawnItem* onion = FindText(canvas, "Zwiebel");
        ASSERT_TRUE(onion);
        EXPECT_EQ(onion->Font.Bold, c.TwoPart);
    }
}

TEST(RecipePrintTexts, KeepingTimesAndFooterLabelFollowTheirRules)
{
    EXPECT_EQ(clsRecipePrint::KeepingText(0, 3, 1), "3 Tage gekühlt, 1 Monat tiefgekühlt");
    EXPECT_EQ(clsRecipePrint::KeepingText(1, 0, 6), "1 Tag gelagert, 6 Monate tiefgekühlt");
    EXPECT_EQ(clsRecipePrint::KeepingText(0, 0, 0), "");

    AppContext app;
    ScopedAppContext scope{app};
    app.VersionText = "v2.00.126";
    struct Case
    {
        const char* Label;
        bool MenuCard;
        const char* Printed;
    } cases[] = {
        {"Lexikon", false, "Lexikon gedruckt von Pfannola"},
        {"", false, "gedruckt von Pfannola"},
        // Cut at the last character that starts left of the version text.
        {"Rezept #1 mit einer sehr langen Beschriftung, die bis an die Versionsangabe heranreicht und weit "
         "darüber "
         "hinaus geht, weil sie einfach nicht aufhören will",
         false, ""},
        {"Menükarte", true, "Menükarte gedruckt von Pfannola"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Label);
        RecordingCanvas canvas;
        PrintPageFooter(canvas, {c.Label, c.MenuCard}, true);
        ASSERT_FALSE(canvas.Items.empty());
        const DrawnItem& left = canvas.Items.back();
        EXPECT_EQ(canvas.PageNumber(), 1);
        EXPECT_EQ(canvas.Items.size(), c.MenuCard ? 1u : 2u);
        if (*c.Printed) {
            EXPECT_EQ(left.Content, c.Printed);
            continue;
        }
        const double limit = canvas.Items.front().X;
        canvas.SetFont(left.Font);
        const std::u32string chars = ToCodePoints(left.Content);
        const double lastStart = 256 + canvas.TextWidth(FromCodePoints(chars.substr(0, chars.size() - 1)));
        EXPECT_LT(lastStart, limit);
        EXPECT_GE(lastStart + canvas.TextWidth(FromCodePoints(chars.substr(chars.size() - 1))), limit);
    }
    RecordingCanvas canvas;
    PrintPageFooter(canvas, {}, false);
    EXPECT_EQ(canvas.PageNumber(), 2);
}

} // namespace
} // namespace pf
