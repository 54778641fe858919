#include "exchange/ExportText.h"
#include "exchange/RtfExport.h"

#include "core/Utf8.h"
#include "tests/exchange/Golden.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

namespace pf {
namespace {

TEST(ExportText, CutLineBreaksOnlyAtBlanks)
{
    // The text, the width, the piece cut off and the rest.
    const std::tuple<const char*, int, const char*, const char*> cases[] = {
        {"Mehl", 28, "Mehl", ""},
        {"Frisch geriebener Emmentaler oder Bergkäse", 28, "Frisch geriebener", " Emmentaler oder Bergkäse"},
        {"Emmentaler oder Bergkäse, gemischt", 26, "Emmentaler oder Bergkäse,", " gemischt"},
        // Fractions and compound words stay whole.
        {"1 1/2 Tasse Weizen-Dinkel-Mischung", 20, "1 1/2 Tasse", " Weizen-Dinkel-Mischung"},
        {"abcdefghij(klmnopqrstuvwxyz)", 20, "abcdefghij(klmnopqr-", "stuvwxyz)"},
        // A word longer than the line is cut hard: the only pieces of the full width ending in "-".
        {"Donaudampfschifffahrtsgesellschaft", 28, "Donaudampfschifffahrtsgesel-", "lschaft"},
        {"abcdefgh ij", 8, "abcdefg-", "h ij"},
        {"abcdefg-", 8, "abcdefg-", "-"},
        {"Öl/Essig-Marinade", 10, "Öl/Essig--", "Marinade"},
        {"Salz\r\nPfeffer", 28, "Salz", "Pfeffer"},
        {"aaaa bbbb cccc\r\n", 8, "aaaa", " bbbb cccc\r\n"},
        // Characters, not bytes: the umlauts count once.
        {"Käse Äpfel Öl", 5, "Käse", " Äpfel Öl"},
        // Never where the rest would read as a new line or after ":" and ";".
        {"Im Verhältnis 2 zu 1. Danach", 20, "Im Verhältnis 2", " zu 1. Danach"},
        {"Mehl; gesiebt und gewogen", 16, "Mehl; gesiebt", " und gewogen"},
        {"Zucker; - fein", 9, "Zucker;", " - fein"},
        // Nor in a run of blanks, which a reader joins as one, nor where a line would end with a
        // lone "=" (a mail's soft line break) or begin with the marks of a heading.
        {"Salz und Pfeffer.  Dann abschmecken", 20, "Salz und", " Pfeffer.  Dann abschmecken"},
        {"Salz      Pfeffer", 8, "Salz", "      Pfeffer"},
        {"1 Tasse = 250 ml", 10, "1 Tasse", " = 250 ml"},
        // Without a good blank a word is cut hard where that loses nothing.
        {"Rezept MMMMM Ende", 10, "Rezept MM-", "MMM Ende"},
        {"Zutaten: Mehl: 200 g", 12, "Zutaten: Me-", "hl: 200 g"},
        // A cut next to a blank would not read as a cut word: a piece like a rule is better.
        {"????????? - x", 10, "?????????", " - x"},
    };
    for (const auto& [written, width, piece, rest] : cases) {
        SCOPED_TRACE(written);
        std::string text = written;
        EXPECT_EQ(CutLine(text, width), piece);
        EXPECT_EQ(text, rest);
    }
}

TEST(ExportText, AmountsForExchangeFiles)
{
    const std::pair<const char*, const char*> cases[] = {
        {"0", ""},                {"2", "2"},               {"1.5", "1 1/2"},
        {"0.333", "1/3"},         {"0.3333", "1/3"},        {"2.75", "2 3/4"},
        {"0.125", "1/8"},         {"2.95", "2.95"},         {"187.547", "187.547"},
        {"680.389", "680.389"},   {"0.001", "0.001"},       {"0.33", "0.33"},
        {"12345.678", "12345.7"}, {"99999.99", "100000"},   {"1234.5", "1234.5"},
        {"123.5", "123 1/2"},     {"12345.5", "12345.5"},   {"0.0001", "0.0001"},
        {"99999", "99999"},
    };
    for (const auto& [amount, expected] : cases) {
        const std::string text = ExchangeAmount(Decimal4::Parse(amount));
        EXPECT_EQ(text, expected) << amount;
        EXPECT_LE(text.size(), 7u) << amount;
    }
}

TEST(ExportText, HeadingLineIsSeventyCharactersWithAtLeastFiveDashes)
{
    for (std::size_t length : {1u, 4u, 10u, 12u, 54u, 55u}) {
        std::string heading = "FürdieSoße" + std::string(length, 'x');
        heading = CharSubstr(heading, 0, length);
        const std::string line = MMHeadingLine(heading);
        EXPECT_EQ(CharLength(line), 70u) << heading;
        EXPECT_EQ(line.rfind("MMMMM-----", 0), 0u);
        EXPECT_NE(line.find(heading), std::string::npos);
    }
    EXPECT_EQ(MMHeadingLine("Teig für 4"),
              "MMMMM" + std::string(27, '-') + "Teig für 4" + std::string(28, '-'));
    // Longer headings keep five dashes on each side, so that they still read as headings.
    EXPECT_EQ(MMHeadingLine(std::string(56, 'a')), "MMMMM-----" + std::string(56, 'a') + "-----");
    EXPECT_EQ(MMHeadingLine(std::string(66, 'a')), "MMMMM-----" + std::string(66, 'a') + "-----");
    // Dashes and blanks at the ends would melt into the fill: what a reader sees is written.
    EXPECT_EQ(MMHeadingLine("- Teig für 4 =="), MMHeadingLine("Teig für 4"));
}

TEST(ExportText, FormatTextBlockWritesParagraphsAndKeepsLaidOutLines)
{
    // The text, how it is written and the lines that counts.
    using Case = std::tuple<const char*, const char*, int>;
    const std::string paragraph(100, 'p');
    const std::string longParagraph = paragraph + "\r\n\r\nNext";
    const Case cases[] = {
        // A paragraph before an empty line stays one line.
        {longParagraph.c_str(), longParagraph.c_str(), 3},
        // The lines of a paragraph are one text, wrapped at blanks only.
        {"Salz\nPfeffer\nZucker\nMehl und Butter schaumig rühren",
         "Salz Pfeffer Zucker Mehl und Butter schaumig rühren", 1},
        {"Die Zwiebeln mit 1/2 Tasse Weizen-Dinkel-Mischung bestäuben und unter Rühren\nanbraten.",
         "Die Zwiebeln mit 1/2 Tasse Weizen-Dinkel-Mischung bestäuben und unter\r\nRühren anbraten.", 2},
        // Lists, tables, rules, colon lines and short sentences keep their lines.
        {"Für den Teig:\n- Mehl\n- Zucker\n1. Rühren\n2) Backen",
         "Für den Teig:\r\n- Mehl\r\n- Zucker\r\n1. Rühren\r\n2) Backen", 5},
        {"Backzeit: 40 Minuten\nTemperatur: 180 °C", "Backzeit: 40 Minuten\r\nTemperatur: 180 °C", 2},
        {"Teig\n----------\nBelag", "Teig\r\n----------\r\nBelag", 3},
        {"Tipp\r:Notiz: kalt servieren\r\n\r\n", "Tipp\r\n:Notiz: kalt servieren", 2},
        {"Verrühren.\nFertig.", "Verrühren.\r\nFertig.", 2},
        {"\n\n  Eingerückt\n\n\n\nnach Leerzeilen\n\n", "Eingerückt\r\n\r\nnach Leerzeilen", 3},
    };
    for (const auto& [text, formatted, lines] : cases) {
        SCOPED_TRACE(text);
        int counter = 0;
        EXPECT_EQ(FormatTextBlock(text, counter, 999, 0, 70, true), formatted);
        EXPECT_EQ(counter, lines);
    }

    // The notes of the information block: indent 13 on every line.
    int counter = 0;
    const std::string notes =
        FormatTextBlock("Schmeckt auch kalt und lässt sich gut einfrieren, wenn man ihn vorher portioniert.",
                        counter, 999999, 13, 70, false);
    for (const std::string& line : test::CrLfLines(notes)) {
        EXPECT_EQ(line.rfind(std::string(13, ' '), 0), 0u) << line;
        EXPECT_LE(CharLength(line), 70u) << line;
    }

    // Counting from the lines already written, nothing beyond line 101 is formatted.
    std::string many;
    for (int i = 0; i < 10; ++i)
        many += "- Zeile " + std::to_string(i) + " steht für sich allein\r\n";
    counter = 95;
    EXPECT_EQ(test::CrLfLines(FormatTextBlock(many, counter, 999, 0, 70, true)).size(), 6u);
    EXPECT_EQ(counter, 101);
    counter = 95;
    EXPECT_EQ(test::CrLfLines(FormatTextBlock(many, counter, 999, 0, 70, false)).size(), 10u);
}

TEST(ExportText, EachFormatEscapesItsOwnWay)
{
    EXPECT_EQ(AnsiToUtf8("Grüße aus Köln: ½ Tasse, 180 °C, © Ñandú"),
              "Grüße aus Köln: ½ Tasse, 180 °C, © Ñandú");
    EXPECT_EQ(AnsiToUtf8("5 € – „gut“ Œuvre"), "5   gut uvre");
    EXPECT_EQ(AnsiToUtf8("·\tPunkt · Mitte"), "Punkt  Mitte");
    EXPECT_EQ(HTMLConvert("a  b\r\n c <d> & e\nf"), "a &nbsp;b<br />&nbsp;c &lt;d&gt; &amp; e<br />f");
    EXPECT_EQ(HTMLReplace("<a name=\"$1\">$2$3</a>", true, "A & B", "x", "<"),
              "<a name=\"A &amp; B\">x&lt;</a>");
    EXPECT_EQ(HTMLReplace("$1$2", false, "<b>", ""), "<b>");
    EXPECT_EQ(RtfEscape("{Käse}\\ – Ω\t😀"), "\\{K\\'e4se\\}\\\\ \\'96 \\u937?\\tab ?");
    std::string body;
    RtfAddText(body, "Erste\r\nZweite\r\nRest");
    EXPECT_EQ(body, "Erste\\par\r\nZweite\\par\r\nRest");
}

TEST(ExportText, RtfPlainTextReadsBackWhatRtfEscapeWrites)
{
    // The way back of every text the escaping writes.
    for (const char* text : {"{Käse}\\ – Ω\tDill", "Zeile\r\nZweite", ""}) {
        std::string body;
        RtfAddText(body, text);
        EXPECT_EQ(RtfPlainText(RtfDocument(body)), text) << text;
    }
    const std::pair<const char*, const char*> cases[] = {
        {"kein RTF {\\b}", "kein RTF {\\b}"},
        {"{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\*\\generator x;}\\f0 a\\b b\\b0\\line c}", "ab\r\nc"},
        {"{\\rtf1 \\u-10000?x\\u1114112?y\\u223\\'3fz}", "?x?yßz"}, // half surrogate, beyond Unicode
        {"{\\rtf1 offen\\'4", "offen"},                             // cut in the middle
    };
    for (const auto& [rtf, plain] : cases)
        EXPECT_EQ(RtfPlainText(rtf), plain) << rtf;
}

} // namespace
} // namespace pf
