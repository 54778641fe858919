// Lexicon entries leave the program as text, HTML and printed pages with the same parts; the
// printout keeps to its pages with the common footer.

#include "lexicon/LexiconOutput.h"
#include "lexicon/LexiconEntry.h"

#include "tests/lexicon/LexiconTestDb.h"
#include "tests/output/RecordingCanvas.h"

#include <gmock/gmock.h>

#include <filesystem>

namespace pf::test {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

class LexiconOutput : public LexiconDb
{
protected:
    void SetUp() override
    {
        LexiconDb::SetUp();
        app.VersionText = "v2.00.126";
        LexiconEntry additive(1);
        additive.SetDB(*db);
        additive.Synonyms() = {{"Ascorbinsäure", 1}, {"ascorbic acid", 4}};
        additive.ENumber = "E 300";
        additive.EnthaltenIn = "Obstkonserven & Säfte";
        additive.Info = "Vitamin C <antioxidativ>.\r\nGilt als unbedenklich.";
        ASSERT_TRUE(additive.Save()) << additive.LastErrorText();
        LexiconEntry term(0);
        term.SetDB(*db);
        term.Synonyms() = {{"Blanchieren", 1}};
        term.Text = "Kurz in kochendem Wasser garen, dann abschrecken.";
        ASSERT_TRUE(term.Save()) << term.LastErrorText();
    }
};

TEST_F(LexiconOutput, ExportWritesTextOrHtmlByTheFileNameAndRefusesWhatItCannotWrite)
{
    const std::vector<LexiconEntryKey> both{{1, 1}, {0, 1}, {0, 99}}; // the last one does not exist
    std::string problem;
    const std::string text = dir.File("eintrag.txt");
    ASSERT_TRUE(ExportLexiconEntries(*db, both, text, problem)) << problem;
    EXPECT_EQ(ReadFile(text),
              "Ascorbinsäure\nZusatzstoffe\nStichwörter: Ascorbinsäure [DE(D)], ascorbic acid "
              "[EN(UK)]\nE-Nummer: E 300\nEnthalten in: Obstkonserven & Säfte\n\nVitamin C "
              "<antioxidativ>.\nGilt als unbedenklich.\n\n----------\n\nBlanchieren\nFachbegriffe\n"
              "Stichwörter: Blanchieren [DE(D)]\n\nKurz in kochendem Wasser garen, dann "
              "abschrecken.\n");

    const std::string html = dir.File("eintrag.HTML");
    ASSERT_TRUE(ExportLexiconEntries(*db, {{1, 1}}, html, problem)) << problem;
    EXPECT_THAT(ReadFile(html),
                AllOf(HasSubstr("<meta charset=\"utf-8\">"), HasSubstr("<title>Ascorbinsäure</title>"),
                      HasSubstr("<tr><th>Enthalten in</th><td>Obstkonserven &amp; Säfte</td></tr>"),
                      HasSubstr("Vitamin C &lt;antioxidativ&gt;.<br>\nGilt"), Not(HasSubstr("\r"))));

    // The entries, the file, the problem reported.
    const std::tuple<std::vector<LexiconEntryKey>, std::string, std::string> refused[] = {
        {{{0, 99}}, dir.File("leer.txt"), "Es ist kein Lexikon-Eintrag zum Exportieren gewählt."},
        {{{0, 1}},
         dir.File("fehlt/eintrag.txt"),
         "Die Datei \"" + dir.File("fehlt/eintrag.txt") + "\" kann nicht geschrieben werden."},
    };
    for (const auto& [keys, path, expected] : refused) {
        EXPECT_FALSE(ExportLexiconEntries(*db, keys, path, problem)) << path;
        EXPECT_EQ(problem, expected);
        EXPECT_FALSE(std::filesystem::exists(path)) << path;
    }
}

TEST(LexiconPrint, EntriesRunOverPagesWithTheLexiconFooterAndNoHeadingLeftAlone)
{
    AppContext app;
    app.VersionText = "v2.00.126";
    ScopedAppContext scope(app);
    std::vector<LexiconEntryView> views;
    for (int i = 0; i < 12; ++i) {
        LexiconEntryView view;
        view.Area = 5;
        view.Id = i + 1;
        view.Title = "Garmethode " + std::to_string(i);
        view.Node = "Feuchte Garverfahren";
        view.Keywords = {"Dünsten [DE(D)]", "steam [EN(US)]"};
        view.Facts = {{"Temperatur", "etwa 100 °C"}, {"Ein sehr langer Name für eine Angabe", "kurz"}};
        for (int w = 0; w < 60 * (i % 3 + 1); ++w)
            view.Text += "Wort" + std::to_string(w) + (w % 40 == 39 ? "\n" : " ");
        views.push_back(view);
    }
    RecordingCanvas canvas;
    PrintLexiconEntries(canvas, views);
    canvas.Finish();
    ExpectSoundLayout(canvas);
    ASSERT_GE(Pages(canvas), 2);

    int headings = 0;
    for (std::size_t i = 0; i < canvas.Items.size(); ++i) {
        const DrawnItem& item = canvas.Items[i];
        if (IsFooter(item) && item.X < 1000) {
            EXPECT_EQ(item.Content, "Lexikon gedruckt von Pfannola");
        }
        if (item.What != DrawnItem::Text || item.Font.Size != 14)
            continue;
        ++headings;
        EXPECT_TRUE(item.Font.Bold);
        EXPECT_EQ(item.X, 0);
        // The area line follows on the same page.
        ASSERT_LT(i + 1, canvas.Items.size());
        EXPECT_EQ(canvas.Items[i + 1].Content, "Kochtechnik – Feuchte Garverfahren");
        EXPECT_EQ(canvas.Items[i + 1].Page, item.Page);
    }
    EXPECT_EQ(headings, 12);
    // Values stand in their column; a label too wide for its column puts its value below it.
    for (const DrawnItem& item : canvas.Items) {
        if (item.Content.rfind("etwa", 0) == 0 || item.Content == "kurz") {
            EXPECT_EQ(item.X, 2600) << item.Content;
        }
    }
}

} // namespace
} // namespace pf::test
