#include "core/TextConv.h"

#include "core/AppContext.h"
#include "core/Markup.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

namespace pf {
namespace {

using test::TempDir;
using test::WriteFile;

// Every test runs in its own context: no settings file, no exception list.
class TextConvTest : public ::testing::Test
{
protected:
    AppContext m_ctx;
    ScopedAppContext m_scope{m_ctx};
};

// The same text as UTF-8, as Windows-1252 bytes and as code page 850 bytes.
const std::tuple<const char*, std::string, std::string> kEncoded[] = {
    {"Grüße aus Köln", "Gr\xFC\xDF\x65 aus K\xF6ln", "Gr\x81\xE1\x65 aus K\x94ln"},
    {"ÄÖÜ äöü ß", "\xC4\xD6\xDC \xE4\xF6\xFC \xDF", "\x8E\x99\x9A \x84\x94\x81 \xE1"},
    {"Crème brûlée à la façon", "Cr\xE8me br\xFBl\xE9\x65 \xE0 la fa\xE7on",
     "Cr\x8Ame br\x96l\x82\x65 \x85 la fa\x87on"},
    {"½ l Öl, 180 °C", "\xBD l \xD6l, 180 \xB0\x43", "\xAB l \x99l, 180 \xF8\x43"},
    {"plain ASCII\r\n", "plain ASCII\r\n", "plain ASCII\r\n"},
};

TEST_F(TextConvTest, CodePagesConvertBothWaysAndEveryByteSurvives)
{
    for (const auto& [utf8, win1252, cp850] : kEncoded) {
        SCOPED_TRACE(utf8);
        EXPECT_EQ(Win1252ToUtf8(win1252), utf8);
        EXPECT_EQ(Utf8ToWin1252(utf8), win1252);
        EXPECT_EQ(Cp850ToUtf8(cp850), utf8);
        EXPECT_EQ(Utf8ToCp850(utf8), cp850);
        // Internal text through OEM and back: CharToOem yields what a Windows-1252 program would hold
        // after reading the CP850 bytes.
        EXPECT_EQ(CharToOem(utf8), Win1252ToUtf8(cp850));
        EXPECT_EQ(OemToChar(CharToOem(utf8)), utf8);
        // A file's bytes are read as UTF-8 when valid, else as Windows-1252; CP850 files then carry
        // the marker characters and are repaired.
        for (const std::string& b : {std::string(utf8), win1252, cp850})
            EXPECT_EQ(RepairCharset(IsValidUtf8(b) ? b : Win1252ToUtf8(b), false), utf8) << b;
    }

    // Every byte survives both code pages.
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(Utf8ToWin1252(Win1252ToUtf8(all)), all);
    EXPECT_EQ(Utf8ToCp850(Cp850ToUtf8(all)), all);
    EXPECT_EQ(Win1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D");
    EXPECT_EQ(Win1252ToUtf8("\x80\x84\x9A"), "€„š");
    // Missing characters and broken input become question marks.
    EXPECT_EQ(Utf8ToWin1252("a─b€"), "a?b\x80");
    EXPECT_EQ(Utf8ToCp850("a─b€"), "a\xC4\x62?");
    EXPECT_EQ(Utf8ToWin1252("x\xFFy"), "x?y");
    EXPECT_EQ(Utf8ToCp850("日本"), "??");
    EXPECT_EQ(FoldAccents("Crème brûlée, Käse"), "Creme brulee, Käse");
}

TEST_F(TextConvTest, ComposesDecomposedAccents)
{
    // Decomposed text, the same composed as a Windows-1252 program holds it.
    const std::pair<const char*, const char*> cases[] = {
        {"Ka\u0308sespa\u0308tzle, U\u0308BER, Mu\u0308sli, Weiße", "Käsespätzle, ÜBER, Müsli, Weiße"},
        {"Cre\u0300me bru\u0302le\u0301e, pin\u0303a, c\u0327a, A\u030Agade, S\u030Cljivo",
         "Crème brûlée, piña, ça, Ågade, Šljivo"},
        // No precomposed letter: the mark stays; a second mark does not join a composed letter.
        {"q\u0308, \u0308a, a\u0308\u0308, x\u0301", "q\u0308, \u0308a, ä\u0308, x\u0301"},
        {"Ka\u0308se\xFF", "Käse\xFF"}, // a stray byte passes through
        {"plain", "plain"},
    };
    for (const auto& [decomposed, composed] : cases)
        EXPECT_EQ(ComposeAccents(decomposed), composed) << decomposed;
}

TEST_F(TextConvTest, RecognisesValidUtf8)
{
    const std::pair<std::string, bool> cases[] = {
        {"", true}, {"Käse 😀", true}, {"\xEF\xBB\xBF\x61", true},
        {"\xE4", false},             // Windows-1252 ä
        {"\xC3", false},             // cut short
        {"\xC0\xAF", false},         // overlong
        {"\xE0\x80\xAF", false},     // overlong
        {"\xED\xA0\x80", false},     // surrogate
        {"\xF4\x90\x80\x80", false}, // past U+10FFFF
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(IsValidUtf8(cases[i].first), cases[i].second) << i;
}

TEST_F(TextConvTest, GetNextToken)
{
    // Text, delimiter, kept as text, the token, what is left of the text.
    const std::tuple<std::string, const char*, bool, Token, std::string> cases[] = {
        {"\"a \"\"b\"\"\",x", ",", false, std::string("a \"b\""), "x"},
        {"12,5", ",", false, 12.0, "5"}, {"12,5", ",", true, std::string("12"), "5"},
        {"abc", ",", false, std::string("abc"), ""}, {"", ",", false, std::string(), ""},
        {"-1.5e2;x", ";", false, -150.0, "x"}, {" 7 |x", "|", false, 7.0, "x"},
        {"1.2.3,x", ",", false, std::string("1.2.3"), "x"}, {"inf,x", ",", false, std::string("inf"), "x"},
        {",x", ",", false, std::string(), "x"}, {"a\r\nb,c", ",", true, std::string("a"), "b,c"},
        {"a,b\r\nc", ",", true, std::string("a"), "b\r\nc"}, {"a\nb,c", ",", true, std::string("a\nb"), "c"},
        {"a<>b<>c", "<>", true, std::string("a"), "b<>c"},
        {"\"x, y\",z", ",", false, std::string("x, y"), "z"},
        {"\"42\",z", ",", false, std::string("42"), "z"}, // quoted fields stay text
        {"\"ab\"cd,e", ",", true, std::string("\"ab\"cd"), "e"},
        {"\"a\"\"b\"c\"\"d,e", ",", true, std::string("\"a\"b\"c\"d"), "e"},
        {"\"\",x", ",", true, std::string(), "x"},
        {"\"offen, bis Ende", ",", true, std::string("offen, bis Ende"), ""},
        {"\"zeile\"\r\nnext,x", ",", true, std::string("\"zeile\"\r\nnext"), "x"},
        {"\"ä\",ö", ",", true, std::string("ä"), "ö"},
    };
    for (const auto& [input, delimiter, keepAsText, expected, rest] : cases) {
        SCOPED_TRACE(input);
        std::string text = input;
        EXPECT_EQ(GetNextToken(text, delimiter, keepAsText), expected);
        EXPECT_EQ(text, rest);
    }
}

TEST_F(TextConvTest, ReplaceSpecialCharsCountTextAndMarkUp)
{
    const std::string title = "Omas \"beste\" Tarte's [Nr.1] 100%|?*";
    EXPECT_EQ(ReplaceSpecialChars(title, 0), "Omas \"beste\" Tarte\"s [Nr.1] 100%|?*");
    EXPECT_EQ(ReplaceSpecialChars(title, 1), "Omas 'beste' Tarte's [Nr.1] 100%|?*");
    EXPECT_EQ(ReplaceSpecialChars(title, 2), "Omas \"beste\" Tarte's Nr.1 100");
    EXPECT_EQ(ReplaceSpecialChars(title, 3), title);
    EXPECT_EQ(ReplaceSpecialChars(title, -1), title);

    // A count of one takes the singular of the nouns that change.
    const std::tuple<long, const char*, const char*> cases[] = {
        {1, "Rezepte", "1 Rezept"},      {2, "Rezepte", "2 Rezepte"},       {0, "Rezepte", "0 Rezepte"},
        {1, "Portionen", "1 Portion"},   {4, "Portionen", "4 Portionen"},   {1, "Gläser", "1 Glas"},
        {1, "Stück", "1 Stück"},         {1, "Springform", "1 Springform"}, {-1, "Portionen", "-1 Portion"},
        {1, "portionen", "1 portionen"}, {1, "", "1"},
    };
    for (const auto& [count, plural, expected] : cases)
        EXPECT_EQ(CountText(count, plural), expected) << plural;

    // Each markup set replaces its characters and no more.
    const std::string markup = "a&b<c>d\"e'f ä";
    const std::pair<MarkupSet, const char*> sets[] = {
        {MarkupSet::Minimal, "a&amp;b&lt;c>d\"e'f ä"},
        {MarkupSet::Text, "a&amp;b&lt;c&gt;d\"e'f ä"},
        {MarkupSet::Html, "a&amp;b&lt;c&gt;d&quot;e'f ä"},
        {MarkupSet::Xml, "a&amp;b&lt;c&gt;d&quot;e&apos;f ä"},
    };
    for (const auto& [set, expected] : sets)
        EXPECT_EQ(MarkupEscaped(markup, set), expected) << static_cast<int>(set);
}

TEST_F(TextConvTest, RepairCharset)
{
    // Text, umlauts written as digraphs, expected.
    const std::tuple<const char*, bool, const char*> cases[] = {
        {"K„se", false, "Käse"},                     // CP850 ä read as Windows-1252
        {"K„se und Äpfel", false, "K„se und Äpfel"}, // a real umlaut: not OEM text
        {"Gr=FCn", false, "Grün"}, {"Gr=fcn", false, "Gr=fcn"},
        {"=C4pfel =3D 2 =B0C =A7 =FB", false, "Äpfel = 2 °C § û"},
        {"=3DE4", false, "=E4"}, // table order: "=E4" is done before "=3D" yields it
        {"soft=\r\nbreak =20", false, "soft=\r\nbreak =20"},
        {"Gr=FCn", true, "Gruen"}, {"K„SE", true, "KAESE"},
        {"a – b", false, "a û b"}, // a lone dash marks the text as OEM
    };
    for (const auto& [text, eliminate, expected] : cases)
        EXPECT_EQ(RepairCharset(text, eliminate), expected) << text;
}

TEST_F(TextConvTest, RegenerateAndEliminateUmlaute)
{
    m_ctx.UmlautExceptions = "QUELLE,AKTUELL,BLUES,,MASSE";
    // Text, "ss" kept, expected.
    const std::tuple<const char*, bool, const char*> cases[] = {
        {"Kaese", false, "Käse"}, {"Menue.", false, "Menü."}, {"Masse", false, "Masse"}, {"ue", false, "ue"},
        {"Strasse", true, "Strasse"}, {"Strasse", false, "Straße"}, {"xue2ue", false, "xü2ue"},
        {"Quelle: Omas Kochbuch", false, "Quelle: Omas Kochbuch"},
        {"Quellen", false, "Quellen"},                 // an entry inside the word
        {"Aktuelles Menue", false, "Aktuelles Menue"}, // digraph ends the text
        {"MUELLER und Mueller", false, "MÜLLER und Müller"}, {"Oel, Aepfel, OEL", false, "Öl, Äpfel, ÖL"},
        {"Blues Bluese", false, "Blues Bluese"}, {"Gruener Tee", false, "Grüner Tee"},
        {"Grosse Nuesse", false, "Große Nüsse"}, {"K=E4se ist Kaese", false, "Käse ist Käse"},
        {"Groesse", false, "Grösse"}, // the word around "ss" is "SSE", the tail of MASSE
        // "ELLE," occurs inside "QUELLE,": a word that is the tail of an entry stays too.
        {"Uelle x", false, "Uelle x"}, {"UELLE x", false, "UELLE x"},
    };
    for (const auto& [text, keepSs, expected] : cases)
        EXPECT_EQ(RegenerateUmlaute(text, true, keepSs), expected) << text;
    EXPECT_EQ(RegenerateUmlaute("Gr=FCner Kaese", false, false), "Grüner Kaese");

    // Umlauts eliminated: text, lower-case digraphs only, expected.
    const std::tuple<const char*, bool, const char*> eliminated[] = {
        {"MÜLLER", false, "MUELLER"}, {"Müller", false, "Mueller"},   {"ÜBER", false, "UeBER"},
        {"Über", false, "Ueber"},     {"STRAßE", false, "STRASSE"},   {"Straße", false, "Strasse"},
        {"Menü", false, "Menue"},     {"MENÜ", false, "MENUE"},       {"Ä", false, "Ae"},
        {"GRÜN 5", false, "GRUEN 5"}, {"MÜLLER Über", true, "MueLLER ueber"}, {"ohne", false, "ohne"},
        {"Soße, Öl und Äpfel", false, "Sosse, Oel und Aepfel"},
    };
    for (const auto& [text, lowerOnly, expected] : eliminated)
        EXPECT_EQ(EliminateUmlaute(text, true, lowerOnly), expected) << text;
    EXPECT_EQ(EliminateUmlaute("Müller", false, false), "Müller");
    // Asked for OEM text, the result holds the characters whose Windows-1252 bytes are the CP850
    // bytes of the text.
    m_ctx.Options.ExportUmlautAnsi = 1;
    EXPECT_EQ(EliminateUmlaute("Müller é", true, false), "Mueller ‚");
    EXPECT_EQ(EliminateUmlaute("Müller", false, false), "M\u0081ller");
}

TEST_F(TextConvTest, LoadUmlautExceptions)
{
    TempDir dir;
    m_ctx.ExeName = "pfannola";
    m_ctx.ProgramDir = dir.Dir() + "prog/";
    m_ctx.IniFile = m_ctx.ProgramDir + "pfannola.INI";
    m_ctx.DataDir = dir.Dir() + "data/";
    std::filesystem::create_directories(m_ctx.DataDir);
    const std::string shipped = m_ctx.ProgramDir + "pfannola.UML";
    const std::string local = m_ctx.DataDir + "pfannola.UML";

    m_ctx.UmlautExceptions = "alt";
    LoadUmlautExceptions();
    EXPECT_EQ(m_ctx.UmlautExceptions, "") << "no file anywhere";

    WriteFile(shipped, "QUELLE,AKTUELL\r\nBLUES\r\n\"MASSE\",EINS\rZWEI\n");
    LoadUmlautExceptions();
    EXPECT_EQ(m_ctx.UmlautExceptions, "QUELLE,AKTUELL,BLUES,MASSE,EINS");
    EXPECT_EQ(test::ReadFile(local), test::ReadFile(shipped)) << "copied into the data folder";

    // A newer copy in the data folder is kept; an older one is replaced.
    WriteFile(local, "EIGEN\n");
    LoadUmlautExceptions();
    EXPECT_EQ(m_ctx.UmlautExceptions, "EIGEN");
    std::filesystem::last_write_time(local,
                                     std::filesystem::last_write_time(shipped) - std::chrono::hours(1));
    LoadUmlautExceptions();
    EXPECT_EQ(m_ctx.UmlautExceptions, "QUELLE,AKTUELL,BLUES,MASSE,EINS");

    // Lines with bare LF ends are separate entries too.
    WriteFile(shipped, "A\nB,C\n");
    std::filesystem::remove(local);
    LoadUmlautExceptions();
    EXPECT_EQ(m_ctx.UmlautExceptions, "A,B,C");
}

} // namespace
} // namespace pf
