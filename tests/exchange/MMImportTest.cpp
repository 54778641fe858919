#include "exchange/MMImport.h"

#include "core/AppContext.h"
#include "core/Utf8.h"
#include "model/ClUnit.h"
#include "tests/exchange/Golden.h"
#include "tests/support/BaseDataDb.h"
#include "tests/support/GeneratedRecipes.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace pf {
namespace {

std::string DataFile(const std::string& name)
{
    return std::string(PF_TEST_DATA_DIR) + "/" + name;
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
        infos.push_back(std::to_string(recipeId) + ": " + block.Origin + "|" + block.Codes + "|" +
                        block.Notices);
    }
    void ReadProblem(const std::string& file, long line, const std::string& reason, bool lost) override
    {
        const std::string name = std::filesystem::path(file).filename().string();
        problems.push_back(name + ":" + std::to_string(line) + ":" + reason + (lost ? ":lost" : ""));
    }

    std::vector<ImportRecipe> recipes;
    std::vector<std::string> infos; // "recipe: origin|codes|notices"
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

    // A file of the test data, by its path below the data folder.
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

    std::string UnitName(long id) { return ToLower(m_units.UnitNameE(m_units.GetIndexforID(id))); }

    // Everything the reader delivers of a text: each recipe's fields, the information blocks and
    // the problems.
    std::string Describe(const CollectingSink& sink)
    {
        std::string text;
        const auto field = [&text](const std::string& name, const std::string& value) {
            text += name + ":" + (value.empty() ? "" : " " + value) + "\n";
        };
        for (const ImportRecipe& r : sink.recipes) {
            std::string categories;
            for (const std::string& category : r.Categories)
                categories += (categories.empty() ? "" : ", ") + category;
            std::string written;
            for (int index : r.WrittenLines)
                written += (written.empty() ? "" : " ") + std::to_string(index);
            field("title", r.Title + " (line " + std::to_string(r.Line) + ")");
            field("categories", categories);
            field("yield",
                  std::to_string(r.Servings) + " " + r.YieldUnitText + (r.IsTemplate ? " (template)" : ""));
            field("fingerprint", std::to_string(r.FP1) + "," + std::to_string(r.FP2));
            field("storage", std::to_string(r.StorageTime[0]) + " " + std::to_string(r.StorageTime[1]) + " " +
                                 std::to_string(r.StorageTime[2]));
            // Each line as "amount unit|text|note" (unit and note left out when empty), a heading as
            // "-- text"; the unit by its British short name.
            field("lines", "");
            for (const ImportIngredient& line : r.Lines) {
                const std::string unit = UnitName(line.UnitID);
                if (line.IsTrenner)
                    text += "  --" + (line.Text.empty() ? "" : " " + line.Text) + "\n";
                else
                    text += "  " + line.Amount.ToString() + (unit.empty() ? "" : " " + unit) + "|" +
                            line.Text + (line.Verarbeitung.empty() ? "" : "|" + line.Verarbeitung) + "\n";
            }
            field("written lines", written);
            field("source", r.SourceText);
            field("preparation", "");
            text += r.Zubereitung + "\n";
            field("notes", r.Notizen);
            text += "\n";
        }
        for (const std::string& info : sink.infos)
            field("info of", info);
        for (const std::string& problem : sink.problems)
            field("problem", problem);
        return text;
    }

    AppContext m_app;
    ScopedAppContext m_scope{m_app};
    test::TempDir m_dir;
    std::unique_ptr<Database> m_db;
    ClUnit m_units;
};

// What the reader makes of each file of the test data, against the reading kept in mm-read/.
TEST_F(MMImportTest, FilesReadAsTheirKeptReadings)
{
    const std::pair<const char*, const char*> cases[] = {
        // A continuation line is a written line of its own that joins the line before; the lines of
        // a paragraph are joined, a short line ending a sentence keeps its break.
        {"mm/single.mm", "single.txt"},
        // Two columns: the left one first, the right halves before the next heading. "Yield: 0"
        // reads as one serving.
        {"mm/twocol.mm", "twocol.txt"},
        // The same recipe in every encoding reads the same.
        {"mm/german-utf8.mm", "german.txt"},
        {"mm/german-1252.mm", "german.txt"},
        {"mm/german-850.mm", "german.txt"},
        // Line ends of every kind and tabs read like clean ones.
        {"mm/mixed-endings.mm", "mixed-endings.txt"},
        // An overlong single-column line keeps its whole text and is not split into two columns.
        {"mm/tabs-overlong.mm", "tabs-overlong.txt"},
        // Rezkonv, with its storage times.
        {"mm/rouladen.rez", "rouladen.txt"},
        // A source section and an information block after the recipe.
        {"mm/source-info.mm", "source-info.txt"},
        // Food keys in the information block, one for each written line.
        {"mm/food-keys.mm", "food-keys.txt"},
        // The ways lists, preparations and heads are written, one recipe each.
        {"mm/layouts.mm", "layouts.txt"},
        // A mail's quoted-printable text: soft line breaks and several codes on a line.
        {"mm/mail.mm", "mail.txt"},
        // A recipe without end line, one without title (lost), one whose preparation is cut after its
        // 110th line, and one after them; kept apart from mm/, whose files read without a fault.
        {"mm-read/faulty.mm", "faulty.txt"},
    };
    for (const auto& [file, reading] : cases) {
        SCOPED_TRACE(file);
        test::ExpectGolden(Describe(ReadFile(file)), std::string("mm-read/") + reading);
    }
}

TEST_F(MMImportTest, EncodingIsDecidedPerFile)
{
    const std::pair<std::string, FileEncoding> cases[] = {
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
        // No-break spaces of Windows-1252 before a word are no code page 850 "á".
        {"\xA0\xA0Title: Salat", FileEncoding::Windows1252},
        // UTF-8 with a stray Windows-1252 byte, or cut inside its last character; more stray
        // bytes than UTF-8 characters are a code page.
        {"Gr\xC3\xBCne bei 20 \xB0\x43", FileEncoding::Utf8},
        {"Gr\xC3\xBCne So\xC3", FileEncoding::Utf8},
        {"K\xC3\xA4se, Spa\xDF und M\xFChe", FileEncoding::Windows1252},
        // "ß" before a no-break space is valid UTF-8 by chance (a letter of a far script): it
        // excuses no stray byte.
        {"einr\xFChren und hei\xDF\xA0servieren", FileEncoding::Windows1252},
    };
    for (const auto& [bytes, encoding] : cases)
        EXPECT_EQ(DetectEncoding(bytes), encoding) << bytes;
    EXPECT_EQ(DecodeImportText("\xEF\xBB\xBFTitle"), "Title");
    EXPECT_EQ(DecodeImportText("Gr\xC3\xBCn 20\xB0\x43"), "Grün 20°C");
    // Decomposed umlauts read as the letters they stand for.
    EXPECT_EQ(DecodeImportText("Ka\u0308sespa\u0308tzle, Gr\xC3\xBCn 20\xB0\x43"), "Käsespätzle, Grün 20°C");
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
        "Gr\xC3\xBCn\r\n20\xB0\x43\r\n",
        "Ka\u0308se\r\nBergka\u0308se\xB0\r\n",
        "sch=E4len und w=FCrfeln=\r\nweiter\r\n",
        longWords + "\r\n" + longLine + "\r\n" + longLine + longWords,
    };
    EXPECT_EQ(SplitImportLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitImportLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(SplitImportLines("  1 1/2\tc"), (std::vector<std::string>{"  1 1/2 c"}));
    EXPECT_EQ(SplitImportLines("\fMMMMM\x1A"), (std::vector<std::string>{"MMMMM"}));
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

TEST_F(MMImportTest, ParseAmount)
{
    // The same in every display mode: a file does not know its reader's settings.
    const std::pair<const char*, const char*> cases[] = {
        {"1 1/2", "1.5"},   {"1/2", "0.5"},     {"2", "2"},
        {"0,5", "0.5"},     {"2.95", "2.95"},   {"2,95", "2.95"},
        {"2 3/4", "2.75"},  {"3/4", "0.75"},    {"½", "0.5"},
        {"1½", "1.5"},      {"1 ½", "1.5"},     {"3/0", "3"},
        {"abc", "0"},       {"", "0"},          {"2-3", "2"},
        {"1-1 1/2", "1"},   {"1 1/2-2", "1.5"}, {"187.547", "187.547"},
        {"0.001", "0.001"}, {"-", "0"},
    };
    for (const auto& [text, amount] : cases)
        EXPECT_EQ(MMImport::ParseAmount(text), Decimal4::Parse(amount)) << text;
}

TEST_F(MMImportTest, HeadingLines)
{
    const std::tuple<const char*, bool, const char*> cases[] = {
        {"MMMMM-----------------------FILLING------------------------", true, "FILLING"},
        {"---------- Recipe via Meal-Master (tm) v8.02", true, "Recipe via Meal-Master (tm) v8.02"},
        {"------------- Sauce -------------", true, "Sauce"},
        {"-----Sauce", false, ""},
        {"      H    Teig", true, "Teig"},
        {"================== Sauce ========================", true, "Sauce"},
        {"      2 c  flour", false, ""},
    };
    for (const auto& [written, heading, text] : cases) {
        SCOPED_TRACE(written);
        std::string line = written;
        EXPECT_EQ(MMImport::IsHeadingLine(line), heading);
        if (heading) {
            EXPECT_EQ(line, text);
        }
    }
}

// The umlaut options make umlauts of two letters ("ss" aside) or take them apart.
TEST_F(MMImportTest, UmlautOptionsRepairLines)
{
    MMReadOptions made;
    made.Umlaute = true;
    test::ExpectGolden(Describe(ReadFile("mm/umlauts.mm", made)), "mm-read/umlauts-made.txt");
    MMReadOptions apart;
    apart.NoUmlaute = true;
    test::ExpectGolden(Describe(ReadFile("mm/umlauts.mm", apart)), "mm-read/umlauts-apart.txt");
}

TEST_F(MMImportTest, UnitSpellings)
{
    // Each spelling and the British short name of the unit it stands for.
    const std::pair<const char*, const char*> cases[] = {
        {"T", "tb"},     {"t", "ts"},         {"TB", "tb"},  {"c", "c"},     {"EL", "tb"},
        {"Essl.", "tb"}, {"Teel", "ts"},      {"Pr", "pn"},  {"Pck.", "pk"}, {"Stck.", "ea"},
        {"Gramm", "g"},  {"Esslöffel", "tb"}, {"cups", "c"}, {"lbs", "lb"},  {"x", "x"}};
    MMImport reader(m_units, {});
    for (const auto& [written, unit] : cases)
        EXPECT_EQ(ToLower(m_units.UnitNameE(reader.FindUnit(written))), unit) << written;
    EXPECT_EQ(reader.FindUnit("zz"), 0);
}

} // namespace
} // namespace pf
