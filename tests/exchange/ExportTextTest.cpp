#include "exchange/ExportText.h"
#include "exchange/RtfExport.h"

#include "core/Utf8.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace pf {
namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return lines;
        start = end + 2;
    }
}

TEST(ExportText, CutLineFindsTheLastBreakWithinTheWidth)
{
    struct Case
    {
        const char* text;
        int width;
        const char* piece;
        const char* rest;
    };
    const Case cases[] = {
        {"Mehl", 28, "Mehl", ""},
        {"Frisch geriebener Emmentaler oder Bergkäse", 28, "Frisch geriebener ", "Emmentaler oder Bergkäse"},
        {"Emmentaler oder Bergkäse, gemischt", 26, "Emmentaler oder Bergkäse, ", "gemischt"},
        // An opening parenthesis moves to the next piece.
        {"abcdefghij(klmnopqrstuvwxyz)", 20, "abcdefghij", "(klmnopqrstuvwxyz)"},
        {"Donaudampfschifffahrtsgesellschaft", 28, "Donaudampfschifffahrtsgesel-", "lschaft"},
        {"Salz\r\nPfeffer", 28, "Salz", "Pfeffer"},
        {"aaaa bbbb cccc\r\n", 8, "aaaa ", "bbbb cccc\r\n"},
        {"abcdefg.\r\nx", 8, "abcdefg.", "x"},
        // Characters, not bytes: the umlauts count once.
        {"Käse Äpfel Öl", 5, "Käse ", "Äpfel Öl"},
        {"Öl/Essig-Marinade", 10, "Öl/Essig-", "Marinade"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string text = c.text;
        EXPECT_EQ(CutLine(text, c.width), c.piece);
        EXPECT_EQ(text, c.rest);
    }
}

TEST(ExportText, HeadingLineIsSeventyCharactersWithAtLeastFiveDashes)
{
    for (std::size_t length : {1u, 4u, 10u, 12u, 54u, 55u}) {
        std::string heading = "Für die Soße " + std::string(length, 'x');
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
}

TEST(ExportText, FormatTextBlockKeepsParagraphsJoinsFragmentsAndStopsAtLine101)
{
    int counter = 0;
    const std::string paragraph(100, 'p');
    EXPECT_EQ(FormatTextBlock(paragraph + "\r\n\r\nNext", counter, 999, 0, 70, true),
              paragraph + "\r\n\r\nNext");
    EXPECT_EQ(counter, 3);

    counter = 0;
    EXPECT_EQ(
        FormatTextBlock("Salz\nPfeffer\nZucker\nMehl und Butter schaumig rühren", counter, 999, 0, 70, true),
        "Salz Pfeffer Zucker\r\nMehl und Butter schaumig rühren");
    EXPECT_EQ(counter, 2);

    counter = 0;
    EXPECT_EQ(FormatTextBlock("Tipp\r:Notiz: kalt servieren\r\n\r\n", counter, 999, 0, 70, true),
              "Tipp\r\n:Notiz: kalt servieren");

    // The notes of the information block: indent 13 on every line.
    counter = 0;
    const std::string notes =
        FormatTextBlock("Schmeckt auch kalt und lässt sich gut einfrieren, wenn man ihn vorher portioniert.",
                        counter, 999999, 13, 70, false);
    for (const std::string& line : Lines(notes)) {
        EXPECT_EQ(line.rfind(std::string(13, ' '), 0), 0u) << line;
        EXPECT_LE(CharLength(line), 70u) << line;
    }

    // Counting from the lines already written, nothing beyond line 101 is formatted.
    std::string many;
    for (int i = 0; i < 10; ++i)
        many += "Zeile " + std::to_string(i) + " ist lang genug für sich allein\r\n";
    counter = 95;
    EXPECT_EQ(Lines(FormatTextBlock(many, counter, 999, 0, 70, true)).size(), 6u);
    EXPECT_EQ(counter, 101);
    counter = 95;
    EXPECT_EQ(Lines(FormatTextBlock(many, counter, 999, 0, 70, false)).size(), 10u);
}

// What a reader makes of formatted text: trimmed lines, at most one empty line between them.
std::string ReadBack(const std::string& formatted)
{
    std::string text;
    bool lastEmpty = false;
    for (const std::string& raw : Lines(formatted)) {
        const std::size_t first = raw.find_first_not_of(' ');
        const std::string line =
            first == std::string::npos ? "" : raw.substr(first, raw.find_last_not_of(' ') - first + 1);
        if (line.empty() && lastEmpty)
            continue;
        text += (text.empty() ? "" : "\r") + line;
        lastEmpty = line.empty();
    }
    return text;
}

TEST(ExportText, FormattedTextFormatsAgainToTheSameLines)
{
    const char* texts[] = {
        "Mehl, Eier und etwas Salz zu einem zähen Teig verrühren und so lange schlagen, bis er Blasen wirft. "
        "Den Teig durch ein Spätzlebrett (oder eine Presse) in kochendes Salzwasser schaben.",
        "Salz\nPfeffer\nZucker\nMehl\nButter\nEier\nMilch und alles andere gut verrühren\n\nFertig.",
        "  Eingerückter Absatz mit Leerzeichen am Anfang\n\n\n\nnach drei Leerzeilen",
        "Ein sehr langes Wort: Donaudampfschifffahrtsgesellschaftskapitänsmützenabzeichenhersteller und mehr",
        "Zwiebeln (rot oder weiß) in Ringe schneiden;/Öl "
        "erhitzen!Alles-zusammen.Fertig(und-gut)ist-das-Essen",
    };
    for (int width : {40, 70}) {
        for (const char* text : texts) {
            SCOPED_TRACE(text);
            int counter = 0;
            const std::string first = FormatTextBlock(text, counter, 999, 0, width, true);
            for (const std::string& line : Lines(first))
                EXPECT_EQ(line.find_last_of(' ') == line.size() - 1 && !line.empty(), false) << line;
            counter = 0;
            EXPECT_EQ(FormatTextBlock(ReadBack(first), counter, 999, 0, width, true), first);
        }
    }
}

TEST(ExportText, AnsiToUtf8KeepsTheListedCharactersOnly)
{
    EXPECT_EQ(AnsiToUtf8("Grüße aus Köln: ½ Tasse, 180 °C, © Ñandú"),
              "Grüße aus Köln: ½ Tasse, 180 °C, © Ñandú");
    EXPECT_EQ(AnsiToUtf8("5 € – „gut“ Œuvre"), "5   gut uvre");
    EXPECT_EQ(AnsiToUtf8("·\tPunkt · Mitte"), "Punkt  Mitte");
}

TEST(ExportText, HtmlConvertEscapesAndKeepsSignificantBlanks)
{
    EXPECT_EQ(HTMLConvert("a  b\r\n c <d> & e\nf"), "a &nbsp;b<br />&nbsp;c &lt;d&gt; &amp; e<br />f");
    EXPECT_EQ(HTMLReplace("<a name=\"$1\">$2$3</a>", true, "A & B", "x", "<"),
              "<a name=\"A &amp; B\">x&lt;</a>");
    EXPECT_EQ(HTMLReplace("$1$2", false, "<b>", ""), "<b>");
}

TEST(ExportText, RtfEscapeUsesCodePage1252AndUnicodeEscapes)
{
    EXPECT_EQ(RtfEscape("{Käse}\\ – Ω\t😀"), "\\{K\\'e4se\\}\\\\ \\'96 \\u937?\\tab ?");
    std::string body;
    RtfAddText(body, "Erste\r\nZweite\r\nRest");
    EXPECT_EQ(body, "Erste\\par\r\nZweite\\par\r\nRest");
}

} // namespace
} // namespace pf
