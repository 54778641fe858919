#include "exchange/MMImport.h"

#include "core/AppContext.h"
#include "core/Utf8.h"
#include "model/ClUnit.h"
#include "tests/support/BaseDataDb.h"
#include "tests/support/Each.h"
#include "tests/support/GeneratedRecipes.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace pf {
namespace {

std::string DataFile(const std::string& name)
{
    return std::string(PF_TEST_DATA_DIR) + "/mm/" + name;
}

// Keeps what the reader delivers instead of storing it.
class CollectingSink : public MMImportSink
{
public:
    long StoreRecipe(ImportRecipe& recipe) override
    {
        recipes.push_back(recipe);
        return static_cast<long>(recipes.size());
    }
    void StoreInfoBlock(long recipeId, const MMInfoBlock& block) override
    {
        infoIds.push_back(recipeId);
        infos.push_back(block);
    }
    void ReadProblem(const std::string& file, long line, const std::string& reason, bool lost) override
    {
        problems.push_back(file + ":" + std::to_string(line) + ":" + reason + (lost ? ":lost" : ""));
    }

    std::vector<ImportRecipe> recipes;
    std::vector<long> infoIds;
    std::vector<MMInfoBlock> infos;
    std::vector<std::string> problems;
};

class MMImportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_db = test::MakeBaseDataDatabase(m_dir);
        ASSERT_TRUE(m_db);
        m_units.SetDB(m_db.get());
    }

    CollectingSink ReadFile(const std::string& name, MMReadOptions options = {})
    {
        ImportText text;
        std::string error;
        EXPECT_TRUE(ReadImportFile(DataFile(name), text, error)) << error;
        return ReadText(text, std::move(options));
    }

    CollectingSink ReadText(const ImportText& text, MMReadOptions options = {})
    {
        CollectingSink sink;
        MMImport reader(m_units, std::move(options));
        reader.ReadFile(text, sink);
        return sink;
    }

    CollectingSink ReadString(const std::string& content, MMReadOptions options = {})
    {
        return ReadText(ImportTextFromString(content, "test.mm"), std::move(options));
    }

    std::string UnitName(long id) { return m_units.UnitNameE(m_units.GetIndexforID(id)); }

    AppContext m_app;
    ScopedAppContext m_scope{m_app};
    test::TempDir m_dir;
    std::unique_ptr<Database> m_db;
    ClUnit m_units;
};

struct Line
{
    const char* amount;
    const char* unit; // British short name, "" for none; "--" for a separator
    const char* text;
    const char* note;
};

void ExpectLines(const ImportRecipe& recipe, const std::vector<Line>& expected, ClUnit& units)
{
    ASSERT_EQ(recipe.Lines.size(), expected.size()) << recipe.Title;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(recipe.Title + " line " + std::to_string(i + 1));
        const ImportIngredient& line = recipe.Lines[i];
        const Line& want = expected[i];
        if (std::string(want.unit) == "--") {
            EXPECT_TRUE(line.IsTrenner);
            EXPECT_EQ(line.Text, want.text);
            continue;
        }
        EXPECT_FALSE(line.IsTrenner);
        EXPECT_EQ(line.Amount, Decimal4::Parse(want.amount));
        EXPECT_EQ(ToLower(units.UnitNameE(units.GetIndexforID(line.UnitID))), want.unit);
        EXPECT_EQ(line.Text, want.text);
        EXPECT_EQ(line.Verarbeitung, want.note);
    }
}

TEST_F(MMImportTest, SingleColumnRecipeWithHeadingContinuationAndColonLines)
{
    const CollectingSink sink = ReadFile("single.mm");
    ASSERT_EQ(sink.recipes.size(), 1u);
    const ImportRecipe& r = sink.recipes[0];
    EXPECT_EQ(r.Title, "Apfelkuchen vom Blech");
    EXPECT_EQ(r.Categories, (std::vector<std::string>{"Backen", "Kuchen"}));
    EXPECT_TRUE(r.IsTemplate);
    EXPECT_EQ(r.Servings, 1);
    EXPECT_EQ(r.YieldUnitText, "Blech");
    ExpectLines(r,
                {{"500", "g", "Mehl", ""},
                 {"0.5", "l", "Milch", ""},
                 {"1.5", "ts", "Salz", ""},
                 {"3", "", "Eier", "verquirlt"},
                 {"250", "g", "Butter", "weich, in Stuecken, nicht zu kalt aus dem Kuehlschrank"},
                 {"0", "", "Zimt", ""},
                 {"", "--", "BELAG", ""},
                 {"1", "kg", "Aepfel", "geschaelt"},
                 {"2", "tb", "Zucker", ""}},
                m_units);
    // The continuation line is a written line of its own that joined the butter.
    EXPECT_EQ(r.WrittenLines, (std::vector<int>{0, 1, 2, 3, 4, -1, 5, 6, 7, 8}));
    // The lines of a paragraph are joined; a short line ending a sentence keeps its break.
    EXPECT_EQ(r.Zubereitung, "Den Teig aus Mehl, Milch, Salz und Eiern ruehren.\nDie Butter unterkneten.\n\n"
                             "Die Aepfel auf dem Teig verteilen und bei 180 Grad 40 Minuten backen.");
    EXPECT_EQ(r.Notizen, "Schmeckt auch kalt.");
    EXPECT_EQ(r.FP1, 1015412);
    EXPECT_EQ(r.FP2, 2097153);
    EXPECT_EQ(r.Line, 3);
    EXPECT_TRUE(sink.problems.empty());
}

TEST_F(MMImportTest, TwoColumnsDashMarkersAndStrayText)
{
    const CollectingSink sink = ReadFile("twocol.mm");
    ASSERT_EQ(sink.recipes.size(), 2u);
    const ImportRecipe& pancakes = sink.recipes[0];
    EXPECT_EQ(pancakes.Title, "'Best' Pancakes");
    EXPECT_EQ(pancakes.Servings, 4);
    EXPECT_EQ(pancakes.YieldUnitText, "Servings");
    // Left column first, the right halves before the next heading.
    ExpectLines(pancakes,
                {{"1.5", "c", "flour", ""},
                 {"2", "tb", "sugar", ""},
                 {"1.25", "c", "milk", ""},
                 {"0.5", "ts", "salt", ""},
                 {"1", "", "egg", ""},
                 {"", "--", "TOPPING", ""},
                 {"1", "c", "blueberries", ""},
                 {"2", "tb", "maple syrup", ""}},
                m_units);
    EXPECT_EQ(pancakes.Zubereitung,
              "Mix the dry ingredients. Whisk in the milk and the egg.\nBake on a hot griddle until golden.");

    const ImportRecipe& soup = sink.recipes[1];
    EXPECT_EQ(soup.Title, "Tomato Soup");
    EXPECT_EQ(soup.Categories, (std::vector<std::string>{"Soups", "Vegetarian"}));
    EXPECT_EQ(soup.Servings, 1); // "Yield: 0"
    EXPECT_EQ(soup.YieldUnitText, "Servings");
    ExpectLines(soup,
                {{"2", "lb", "tomatoes", "peeled"},
                 {"1", "", "onion", "chopped"},
                 {"1", "qt", "water", ""},
                 {"0", "", "Salt and pepper to taste", ""}},
                m_units);
}

TEST_F(MMImportTest, SameRecipeInEveryEncodingReadsTheSame)
{
    std::vector<ImportRecipe> read;
    for (const char* name : {"german-utf8.mm", "german-1252.mm", "german-850.mm"}) {
        SCOPED_TRACE(name);
        const CollectingSink sink = ReadFile(name);
        ASSERT_EQ(sink.recipes.size(), 1u);
        read.push_back(sink.recipes[0]);
    }
    for (const ImportRecipe& r : read) {
        EXPECT_EQ(r.Title, "Würzige Käsespätzle");
        EXPECT_EQ(r.Categories, (std::vector<std::string>{"Hauptgerichte", "Käse"}));
        EXPECT_EQ(r.YieldUnitText, "Portionen");
        ExpectLines(r,
                    {{"400", "g", "Mehl", ""},
                     {"4", "", "Eier", ""},
                     {"200", "g", "Bergkäse", "gerieben"},
                     {"2", "", "Zwiebeln", "in Ringe geschnitten"},
                     {"1", "pn", "Muskatnuß", ""}},
                    m_units);
        EXPECT_EQ(r.Zubereitung, read[0].Zubereitung);
    }
    EXPECT_NE(read[0].Zubereitung.find("gerösteten"), std::string::npos);
}

TEST_F(MMImportTest, EncodingIsDecidedPerFile)
{
    struct Case
    {
        std::string bytes;
        FileEncoding expected;
    };
    const Case cases[] = {
        {"K\xC3\xA4se", FileEncoding::Utf8},
        {"K\xE4se und Spa\xDF", FileEncoding::Windows1252},
        {"K\x84se und Spa\xE1", FileEncoding::Cp850},
        // German quotation marks of Windows-1252 beside real umlauts.
        {"\x84Omas K\xE4se\x93", FileEncoding::Windows1252},
        {"plain", FileEncoding::Utf8},
        // A degree sign after a number: F8 in code page 850, B0 in Windows-1252.
        {"350\xF8\x46 backen", FileEncoding::Cp850},
        {"Bei 180 \xF8\x43 backen", FileEncoding::Cp850},
        {"Bei 180\xB0\x43 backen", FileEncoding::Windows1252},
        {"\xBD Tasse Milch", FileEncoding::Windows1252},
        {"2\xBD Tassen", FileEncoding::Windows1252},
        {"Preis: 5 \x80", FileEncoding::Windows1252},
        // One sign that neither count decides: the tie goes to Windows-1252.
        {"Umluft \xB0\x43", FileEncoding::Windows1252},
        {"\xBDTasse", FileEncoding::Windows1252},
        {"Preis in \x80", FileEncoding::Windows1252},
        {"1\xAB Tassen", FileEncoding::Cp850},
        {"Sm\xF8rrebr\xF8\x64", FileEncoding::Windows1252},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(DetectEncoding(c.bytes), c.expected);
    }
    EXPECT_EQ(DecodeImportText("\xEF\xBB\xBFTitle"), "Title");
}

// The lines a reader walks, as the readers see them.
std::vector<std::string> WalkedLines(const ImportText& text)
{
    std::vector<std::string> lines;
    ImportLineReader reader(text);
    for (std::string line; reader.Next(line);)
        lines.push_back(line);
    EXPECT_EQ(reader.BytesRead(), reader.TotalBytes());
    return lines;
}

TEST_F(MMImportTest, LinesReadAsTheFileIsWalkedAreTheLinesOfTheWholeText)
{
    const std::string longWords(3000, 'x');
    std::string longLine;
    for (int i = 0; i < 300; ++i)
        longLine += "Wort\x84 ";
    const std::string cases[] = {
        "",
        "a\r\nb\nc\rd",
        "a\r\n\r\n",
        "a\r",
        "\r\n\r\n",
        "  1 1/2\tc\t\x84\tx",
        "\fMMMMM\x1A",
        "last\x1A\x1A",
        "\xEF\xBB\xBFK\xC3\xA4se\r\n\t\xC3\xA4\tb",
        "K\x84se\r\nSpa\xE1\r\n",
        "sch=E4len und w=FCrfeln=\r\nweiter\r\n",
        longWords + "\r\n" + longLine + "\r\n" + longLine + longWords,
    };
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(bytes.substr(0, 60));
        const ImportText text = ImportTextFromString(bytes, "test.mm");
        FileEncoding encoding{};
        const std::string decoded = DecodeImportText(bytes, &encoding);
        EXPECT_EQ(text.Encoding, encoding);
        EXPECT_EQ(text.Size, CharLength(decoded));
        EXPECT_EQ(WalkedLines(text), SplitImportLines(decoded));
    }

    // A file longer than the piece the first pass looks at in one go: the only code page 850 letters
    // come late, and a UTF-8 character straddles every possible piece boundary.
    const std::string filler = std::string(70, 'a') + "\r\n";
    std::string oem;
    while (oem.size() < (std::size_t{9} << 20))
        oem += filler;
    oem += "K\x84se und Spa\xE1\r\n";
    std::string utf8;
    for (std::size_t i = 0; utf8.size() < (std::size_t{9} << 20); ++i)
        utf8 += i % 3 == 0 ? "\xC3\xA4\xE2\x82\xAC\n" : "ab\xF0\x9F\x8D\xB0\n";
    for (const std::string* bytes : {&oem, &utf8}) {
        const std::string path = m_dir.File("long.mm");
        test::WriteFile(path, *bytes);
        ImportText text;
        std::string error;
        ASSERT_TRUE(ReadImportFile(path, text, error)) << error;
        const std::string decoded = DecodeImportText(*bytes);
        EXPECT_EQ(text.Encoding, DetectEncoding(*bytes));
        EXPECT_EQ(text.Size, CharLength(decoded));
        EXPECT_TRUE(WalkedLines(text) == SplitImportLines(decoded));
    }
    EXPECT_EQ(ImportTextFromString(oem, "oem").Encoding, FileEncoding::Cp850);
}

TEST_F(MMImportTest, FileShortenedWhileReadEndsTheReadingWithAProblem)
{
    // Emptied by another program once the first recipe is read: the recipes read before stay, the
    // one in hand is lost, the rest is not read. The file is longer than the piece held in memory.
    const std::string path = m_dir.File("schwindet.mm");
    test::WriteFile(path, test::RecipeFile("Schwund", 1, 12000));
    ImportText text;
    std::string error;
    ASSERT_TRUE(ReadImportFile(path, text, error)) << error;
    struct ShorteningSink : CollectingSink
    {
        explicit ShorteningSink(std::string file) : path(std::move(file)) {}
        long StoreRecipe(ImportRecipe& recipe) override
        {
            if (recipes.empty())
                std::filesystem::resize_file(path, 0);
            return CollectingSink::StoreRecipe(recipe);
        }
        std::string path;
    } sink(path);
    MMImport reader(m_units, {});
    reader.ReadFile(text, sink);
    EXPECT_TRUE(reader.ReadFailed());
    ASSERT_GT(sink.recipes.size(), 1u);
    EXPECT_LT(sink.recipes.size(), 12000u);
    EXPECT_EQ(sink.recipes.back().Title, "Schwund " + std::to_string(sink.recipes.size()));
    EXPECT_EQ(sink.recipes.back().Lines.size(), 3u);
    ASSERT_EQ(sink.problems.size(), 2u);
    EXPECT_NE(sink.problems[0].find(":Rezept unvollständig gelesen: Schwund " +
                                    std::to_string(sink.recipes.size() + 1) + ":lost"),
              std::string::npos)
        << sink.problems[0];
    EXPECT_NE(sink.problems[1].find("während des Lesens gekürzt"), std::string::npos) << sink.problems[1];
}

TEST_F(MMImportTest, MixedLineEndingsAndTabsReadLikeClean)
{
    EXPECT_EQ(SplitImportLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitImportLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(SplitImportLines("  1 1/2\tc"), (std::vector<std::string>{"  1 1/2 c"}));
    EXPECT_EQ(SplitImportLines("\fMMMMM\x1A"), (std::vector<std::string>{"MMMMM"}));

    const CollectingSink mixed = ReadFile("mixed-endings.mm");
    ASSERT_EQ(mixed.recipes.size(), 1u);
    EXPECT_EQ(mixed.recipes[0].Title, "Gemischte Zeilen");
    EXPECT_EQ(mixed.recipes[0].Servings, 2);
    ExpectLines(mixed.recipes[0], {{"100", "g", "Zucker", ""}, {"1", "", "Ei", ""}}, m_units);
    EXPECT_EQ(mixed.recipes[0].Zubereitung, "Verruehren.\nFertig.");

    const CollectingSink tabs = ReadFile("tabs-overlong.mm");
    ASSERT_EQ(tabs.recipes.size(), 1u);
    // An overlong single-column line keeps its whole text and is not split into two columns.
    ExpectLines(tabs.recipes[0],
                {{"1.5", "c", "rice", ""},
                 {"2", "c", "chicken stock, preferably homemade and unsalted", ""},
                 {"1", "x", "parsley", ""}},
                m_units);
    EXPECT_EQ(tabs.recipes[0].Zubereitung, "Cook the rice in the stock.");
}

TEST_F(MMImportTest, RezkonvFile)
{
    const CollectingSink sink = ReadFile("rouladen.rez");
    ASSERT_EQ(sink.recipes.size(), 1u);
    const ImportRecipe& r = sink.recipes[0];
    EXPECT_EQ(r.Title, "Omas Rinderrouladen");
    EXPECT_EQ(r.Categories, (std::vector<std::string>{"Fleisch", "Rind"}));
    EXPECT_EQ(r.Servings, 4);
    EXPECT_EQ(r.YieldUnitText, "Portionen");
    ExpectLines(r,
                {{"4", "sl", "Rinderrouladen", ""},
                 {"2", "tb", "Senf", ""},
                 {"1", "pn", "Salz", ""},
                 {"100", "g", "Speck", "gewürfelt"},
                 {"2", "", "Gewürzgurken", ""},
                 {"", "--", "Sauce", ""},
                 {"250", "ml", "Rotwein", ""}},
                m_units);
    EXPECT_EQ(r.Zubereitung,
              "Die Rouladen mit Senf bestreichen, mit Speck und Gurken belegen und aufrollen.\n\n"
              "Im Rotwein 90 Minuten schmoren.");
    EXPECT_EQ(r.StorageTime, (std::array<long, 3>{0, 3, 90}));
}

TEST_F(MMImportTest, SourceSectionAndInformationBlock)
{
    const CollectingSink sink = ReadFile("source-info.mm");
    ASSERT_EQ(sink.recipes.size(), 1u);
    const ImportRecipe& r = sink.recipes[0];
    EXPECT_EQ(r.SourceText, "Kochbuch der Gemeinde\n-- Erfasst von Hans Muster");
    ExpectLines(r, {{"500", "g", "Linsen", ""}, {"2", "", "Karotten", ""}}, m_units);
    EXPECT_EQ(r.Zubereitung, "Linsen über Nacht einweichen und mit den Karotten kochen.");
    ASSERT_EQ(sink.infos.size(), 1u);
    EXPECT_EQ(sink.infoIds[0], 1);
    EXPECT_EQ(sink.infos[0].Origin, "Deutschland");
    EXPECT_EQ(sink.infos[0].Notices, "Mit Essig abschmecken.");
}

TEST_F(MMImportTest, ParseAmount)
{
    // The same in every display mode: a file does not know its reader's settings.
    struct Case
    {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"1 1/2", "1.5"},   {"1/2", "0.5"},     {"2", "2"},
        {"0,5", "0.5"},     {"2.95", "2.95"},   {"2,95", "2.95"},
        {"2 3/4", "2.75"},  {"3/4", "0.75"},    {"½", "0.5"},
        {"1½", "1.5"},      {"1 ½", "1.5"},     {"3/0", "3"},
        {"abc", "0"},       {"", "0"},          {"2-3", "2"},
        {"1-1 1/2", "1"},   {"1 1/2-2", "1.5"}, {"187.547", "187.547"},
        {"0.001", "0.001"}, {"-", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(MMImport::ParseAmount(c.text), Decimal4::Parse(c.expected));
    }
}

// The frame a table case's body is read in: a head with the title "Probe" and the end line.
enum class Frame {
    MealMaster,
    OldMealMaster,
    Rezkonv,
    None, // the body is the whole text
};

TEST_F(MMImportTest, IngredientListsAndPreparationAsWritten)
{
    struct Case
    {
        const char* name;
        std::string body; // after the head, up to the end line
        std::vector<Line> lines;
        const char* preparation;
        Frame frame = Frame::MealMaster;
    };
    const std::string degree = "\xC2\xB0";
    const std::string note64 = std::string(30, 'a') + " " + std::string(33, 'b');
    const Case cases[] = {
        {"empty heading with a stray control character",
         "      1 c  flour\nMMMMM-----\x14--------------------\n      2 tb sugar\n\n  Mix.\n",
         {{"1", "c", "flour", ""}, {"", "--", "", ""}, {"2", "tb", "sugar", ""}},
         "Mix."},
        {"rule whose text parts clean to nothing",
         "      1 c  flour\n------------- - == -------------\n      2 tb sugar\n\n  Mix.\n",
         {{"1", "c", "flour", ""}, {"", "--", "", ""}, {"2", "tb", "sugar", ""}},
         "Mix."},
        {"empty Rezkonv rule among the ingredients",
         "    100     Gramm  Zucker\n==================  ============================\n"
         "      1     Stück  Minze\n\n  Mix.\n",
         {{"100", "g", "Zucker", ""}, {"", "--", "", ""}, {"1", "ea", "Minze", ""}},
         "Mix.",
         Frame::Rezkonv},
        {"Rezkonv amount typed past its columns",
         "    100     Gramm  Zucker\n   1 1/2 Liter Milch\n     250 g Mehl\n      1     Stück  Minze\n\n"
         "  Mix.\n",
         {{"100", "g", "Zucker", ""},
          {"1.5", "l", "Milch", ""},
          {"250", "g", "Mehl", ""},
          {"1", "ea", "Minze", ""}},
         "Mix.",
         Frame::Rezkonv},
        {"padding inside an ingredient text",
         "      1 c  flour          sifted\n           - twice   over\n\n  Mix.\n",
         {{"1", "c", "flour sifted twice over", ""}},
         "Mix."},
        {"fraction an earlier export broke after the slash",
         "      1 c  Weizen-Dinkel-Mischung, davon 1/\n           - 2 gesiebt\n\n"
         "  Die Zwiebeln mit 1/\n  2 Tasse Mehl bestauben.\n",
         {{"1", "c", "Weizen-Dinkel-Mischung, davon 1/2 gesiebt", ""}},
         "Die Zwiebeln mit 1/2 Tasse Mehl bestauben."},
        {"heading without a text after it",
         "      1 c  flour\n  MMMMM------------Sauce\n      2 tb sugar\n\n  Mix.\n",
         {{"1", "c", "flour", ""}, {"", "--", "Sauce", ""}, {"2", "tb", "sugar", ""}},
         "Mix."},
        {"amounts of earlier exports",
         "  1 1/2 c  flour\n 2 0.95 g  salt\n   2.95 g  sugar\n   2,95 g  yeast\n\n  Bake.\n",
         {{"1.5", "c", "flour", ""},
          {"2.95", "g", "salt", ""},
          {"2.95", "g", "sugar", ""},
          {"2.95", "g", "yeast", ""}},
         "Bake."},
        {"paragraphs that begin with a number",
         "      1 c  flour\n\n2 Std.\n\n1 cup.\n\n  Bake.\n",
         {{"1", "c", "flour", ""}},
         "2 Std.\n\n1 cup.\n\nBake."},
        {"codes that are no quoted-printable",
         "      1 l  Wasser=DF\n\n  Ofen=C4 auf 180" + degree + "C vorheizen.\n",
         {{"1", "l", "Wasser=DF", ""}},
         "Ofen=C4 auf 180\xC2\xB0"
         "C vorheizen."},
        {"ranges",
         "    1-2 tb sugar\n1-1 1/2 c  milk; warm\n  1 - 2    eggs\n\n  Mix.\n",
         {{"1", "tb", "sugar", "(1\u20132)"},
          {"1", "c", "milk", "(1\u20131 1/2) warm"},
          {"1", "", "eggs", "(1\u20132)"}},
         "Mix."},
        {"rules inside the preparation",
         "      1 c  flour\n\n  Mix.\n  ==========================\n  Serve.\n  --------------------\n  "
         "Enjoy.\n",
         {{"1", "c", "flour", ""}},
         "Mix.\n==========================\nServe.\n--------------------\nEnjoy."},
        {"lines of a paragraph, lists and tables",
         "      1 c  flour\n\n  Die Zwiebeln mit 1/2 Tasse Weizen-Dinkel-Mischung bestauben und unter\n"
         "  Ruehren anbraten.\n  - Salz\n  - Pfeffer\n  Backzeit: 40 Min.\n  Hitze: 180 Grad\n",
         {{"1", "c", "flour", ""}},
         "Die Zwiebeln mit 1/2 Tasse Weizen-Dinkel-Mischung bestauben und unter Ruehren anbraten.\n"
         "- Salz\n- Pfeffer\nBackzeit: 40 Min.\nHitze: 180 Grad"},
        {"texts after a lone \";\" that begin like a continuation or a heading",
         "      1 c  flour\n           ; - ganz fein\n           ; MMMMM----- Deko\n\n  Mix.\n",
         {{"1", "c", "flour", ""}, {"", "", "- ganz fein", ""}, {"", "", "MMMMM----- Deko", ""}},
         "Mix."},
        {"a note that fills its 64 characters over two lines",
         "      1 c  flour; " + std::string(30, 'a') + "\n           - " + std::string(33, 'b') +
             "\n\n  Mix.\n",
         {{"1", "c", "flour", note64.c_str()}},
         "Mix."},
        {"a word cut hard in a long ingredient",
         "      1 g  Zitronenschalenabriebundvan-\n           - illezucker; fein\n\n  Mix.\n",
         {{"1", "g", "Zitronenschalenabriebundvanillezucker", "fein"}},
         "Mix."},
        {"a word that is no unit ends the list; a later block is preparation",
         "      1 c  flour\n      2 zz not a unit here\n  Stir well.\n\n"
         "      3 tb more text that looks like an ingredient\n\n  Serve.\n",
         {{"1", "c", "flour", ""}},
         "2 zz not a unit here Stir well.\n\n3 tb more text that looks like an ingredient\n\nServe."},
        {"a later block without heading continues the list",
         "      1 c  flour\n\n      2    eggs\n\n  Mix.\n",
         {{"1", "c", "flour", ""}, {"2", "", "eggs", ""}},
         "Mix."},
        {"preparation right after the ingredients; a capital T and a three-letter unit",
         "      2 T  butter\n      1 pkg yeast\n  Melt the butter and stir in the yeast.\n  Let it rise.\n",
         {{"2", "tb", "butter", ""}, {"1", "pk", "yeast", ""}},
         "Melt the butter and stir in the yeast.\nLet it rise."},
        {"ingredients without fixed columns",
         "1 1/2 cups flour\n2 eggs, beaten\nsalt\n250 g butter\n\nMix it all.\n",
         {{"1.5", "c", "flour", ""},
          {"2", "", "eggs, beaten", ""},
          {"0", "", "salt", ""},
          {"250", "g", "butter", ""}},
         "Mix it all.",
         Frame::OldMealMaster},
        {"preparation that begins with a number",
         "2 hours later bake it.\n3 minutes more if needed\n",
         {},
         "2 hours later bake it.\n3 minutes more if needed",
         Frame::OldMealMaster},
        {"the right column shifted by hand",
         "      1    chicken, 3-4 lb, cut up               2 c  flour\n"
         "      2 qt water                                 1 tb baking powder\n"
         "           salt and pepper to taste            3/4 c  milk\n\n  Simmer.\n",
         {{"1", "", "chicken, 3-4 lb, cut up", ""},
          {"2", "qt", "water", ""},
          {"0", "", "salt and pepper to taste", ""},
          {"2", "c", "flour", ""},
          {"1", "tb", "baking powder", ""},
          {"0.75", "c", "milk", ""}},
         "Simmer."},
        {"Rezkonv headings against the fill; preparation beginning with a number",
         "=====CARAMEL===\n    100     Gramm  Zucker\n==================DEKO====================\n"
         "      1     Stück  Minze\n\n      2 Eier trennen, das Eiweiß steif schlagen.\n\n  1/2 5 Minuten "
         "rühren.\n\n",
         {{"", "--", "CARAMEL", ""},
          {"100", "g", "Zucker", ""},
          {"", "--", "DEKO", ""},
          {"1", "ea", "Minze", ""}},
         "2 Eier trennen, das Eiweiß steif schlagen.\n\n1/2 5 Minuten rühren.",
         Frame::Rezkonv},
        {"a recipe quoted in a mail",
         "Am Montag schrieb Erna:\n> MMMMM----- Recipe via Meal-Master (tm) v8.05\n>\n>       Title: "
         "Zitiert\n"
         ">       Yield: 2\n>\n>     250 g  Quark\n>\n>   Verruehren.\n>\n> MMMMM\n",
         {{"250", "g", "Quark", ""}},
         "Verruehren.",
         Frame::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = c.body;
        if (c.frame == Frame::MealMaster)
            text = "MMMMM----- Recipe via Meal-Master (tm) v8.05\n      Title: Probe\n\n" + text + "MMMMM\n";
        else if (c.frame == Frame::OldMealMaster)
            text = "---------- Recipe via Meal-Master (tm) v8.02\n      Title: Probe\n     Yield: 2\n\n" +
                   text + "-----\n";
        else if (c.frame == Frame::Rezkonv)
            text = "========== REZKONV-Rezept ==========\n     Titel: Probe\n\n" + text + "=====\n";
        const CollectingSink sink = ReadString(text);
        ASSERT_EQ(sink.recipes.size(), 1u);
        ExpectLines(sink.recipes[0], c.lines, m_units);
        EXPECT_EQ(sink.recipes[0].Zubereitung, c.preparation);
        EXPECT_TRUE(sink.problems.empty());
    }
}

TEST_F(MMImportTest, QuotedPrintableOnlyWhereTheTextIsEncoded)
{
    // A mail: soft line breaks and several codes on a line.
    const CollectingSink mail = ReadString(
        "MMMMM----- Recipe via Meal-Master (tm) v8.05\n      Title: Gr=FCnkohl mit K=E4se\n\n"
        "      1 kg Gr=FCnkohl\n\n  Den Gr=FCnkohl waschen, die Zwiebeln sch=E4len und w=FCrfeln, =\n"
        "dann alles zusammen d=FCnsten.\nMMMMM\n");
    ASSERT_EQ(mail.recipes.size(), 1u);
    EXPECT_EQ(mail.recipes[0].Title, "Grünkohl mit Käse");
    EXPECT_EQ(mail.recipes[0].Lines[0].Text, "Grünkohl");
    EXPECT_EQ(mail.recipes[0].Zubereitung,
              "Den Grünkohl waschen, die Zwiebeln schälen und würfeln, dann alles zusammen dünsten.");
}

TEST_F(MMImportTest, HeadingLines)
{
    struct Case
    {
        const char* line;
        bool heading;
        const char* text;
    };
    const Case cases[] = {
        {"MMMMM-----------------------FILLING------------------------", true, "FILLING"},
        {"---------- Recipe via Meal-Master (tm) v8.02", true, "Recipe via Meal-Master (tm) v8.02"},
        {"------------- Sauce -------------", true, "Sauce"},
        {"-----Sauce", false, ""},
        {"      H    Teig", true, "Teig"},
        {"================== Sauce ========================", true, "Sauce"},
        {"      2 c  flour", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::string line = c.line;
        EXPECT_EQ(MMImport::IsHeadingLine(line), c.heading);
        if (c.heading) {
            EXPECT_EQ(line, c.text);
        }
    }
}

TEST_F(MMImportTest, RecipesWithoutEndLineOrTitleAndLongPreparation)
{
    std::string text =
        "MMMMM----- Recipe via Meal-Master (tm) v8.05\n      Title: Ohne Ende\n\n      1    Ei\n\n  Kochen.\n"
        "MMMMM----- Recipe via Meal-Master (tm) v8.05\n      Yield: 2\n\n      1    Ei\n\nMMMMM\n"
        "MMMMM----- Recipe via Meal-Master (tm) v8.05\n      Title: Lang\n\n      1    Ei\n\n";
    for (int i = 0; i < 150; ++i)
        text += "  Zeile " + std::to_string(i) + "\n";
    text += "MMMMM\nMMMMM----- Recipe via Meal-Master (tm) v8.05\n      Title: Danach\n\n      1    Ei\n\n  "
            "Ende.\nMMMMM\n";
    const CollectingSink sink = ReadString(text);
    ASSERT_EQ(test::Each(sink.recipes, &ImportRecipe::Title),
              (std::vector<std::string>{"Ohne Ende", "Lang", "Danach"}));
    EXPECT_EQ(sink.recipes[0].Zubereitung, "Kochen.");
    EXPECT_EQ(sink.recipes[1].Zubereitung.find("Zeile 110"), std::string::npos);
    EXPECT_NE(sink.recipes[1].Zubereitung.find("Zeile 109"), std::string::npos);
    ASSERT_EQ(sink.problems.size(), 2u) << sink.problems.back();
    EXPECT_EQ(sink.problems[0], "test.mm:7:Rezept ohne Titel:lost");
    EXPECT_NE(sink.problems[1].find("test.mm:128:"), std::string::npos) << sink.problems[1];
}

TEST_F(MMImportTest, UmlautOptionsRepairLines)
{
    const std::string text = "MMMMM----- Recipe via Meal-Master (tm) v8.05\n      Title: Kaese mit Soße\n\n"
                             "      1    Gr=FCnkohl\n\nMMMMM\n";
    MMReadOptions regenerate;
    regenerate.Umlaute = true;
    const CollectingSink a = ReadString(text, regenerate);
    ASSERT_EQ(a.recipes.size(), 1u);
    EXPECT_EQ(a.recipes[0].Title, "Käse mit Soße");
    EXPECT_EQ(a.recipes[0].Lines[0].Text, "Grünkohl");

    MMReadOptions eliminate;
    eliminate.NoUmlaute = true;
    const CollectingSink b = ReadString(text, eliminate);
    ASSERT_EQ(b.recipes.size(), 1u);
    EXPECT_EQ(b.recipes[0].Title, "Kaese mit Sosse");
    EXPECT_EQ(b.recipes[0].Lines[0].Text, "Gruenkohl");
}

TEST_F(MMImportTest, UnitSpellings)
{
    struct Case
    {
        const char* written;
        const char* unit; // British short name
    };
    const Case cases[] = {{"T", "tb"},    {"t", "ts"},     {"TB", "tb"},   {"c", "c"},
                          {"EL", "tb"},   {"Essl.", "tb"}, {"Teel", "ts"}, {"Pr", "pn"},
                          {"Pck.", "pk"}, {"Stck.", "ea"}, {"Gramm", "g"}, {"Esslöffel", "tb"},
                          {"cups", "c"},  {"lbs", "lb"},   {"x", "x"}};
    MMImport reader(m_units, {});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        EXPECT_EQ(ToLower(m_units.UnitNameE(reader.FindUnit(c.written))), c.unit);
    }
    EXPECT_EQ(reader.FindUnit("zz"), 0);
}

TEST_F(MMImportTest, HeadFields)
{
    struct Case
    {
        std::string head; // between the start line and the blank line before the ingredients
        const char* title;
        int servings;
        std::string yieldUnit;
        const char* notes = "";
        std::vector<std::string> categories = {};
    };
    const Case cases[] = {
        // Quotes around the title go; an unknown yield unit reads as the recipe.
        {"\n      Title: 'Listen'\n      Yield: 4 keine angabe\n", "Listen", 4, "Rezept"},
        // Other head fields become notes.
        {"\n      Title: Kopf\n  Preparation Time: 0:30\n      Yield: 2\n", "Kopf", 2, "Servings",
         "Preparation Time: 0:30"},
        {"      Title: Kekse\n Categories: Cakes, Desserts,\n             Cookies\n",
         "Kekse",
         1,
         "Servings",
         "",
         {"Cakes", "Desserts", "Cookies"}},
        {"      Title: Brot\n      Yield: 1 1/2 loaves\n", "Brot", 1, "loaves"},
        // A yield unit cut to its 50 characters just before a blank keeps no blank at its end.
        {"      Title: Brot\n      Yield: 2 " + std::string(49, 'x') + " Laibe\n", "Brot", 2,
         std::string(49, 'x')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.head);
        const CollectingSink sink = ReadString("MMMMM----- Recipe via Meal-Master (tm) v8.05\n" + c.head +
                                               "\n      1 c  flour\n\nNote: serve hot.\nMMMMM\n");
        ASSERT_EQ(sink.recipes.size(), 1u);
        const ImportRecipe& r = sink.recipes[0];
        EXPECT_EQ(r.Title, c.title);
        EXPECT_EQ(r.Servings, c.servings);
        EXPECT_EQ(r.YieldUnitText, c.yieldUnit);
        EXPECT_EQ(r.Categories, c.categories);
        EXPECT_EQ(r.Notizen, c.notes);
        ExpectLines(r, {{"1", "c", "flour", ""}}, m_units);
        EXPECT_EQ(r.Zubereitung, "Note: serve hot.");
    }
}

} // namespace
} // namespace pf
