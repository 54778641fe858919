// Jet LIKE patterns, matched without regard to case, umlauts included.

#include "db/JetLike.h"
#include "db/JetText.h"

#include <gtest/gtest.h>

namespace pf {
namespace {

struct LikeCase
{
    const char* pattern;
    const char* text;
    bool expected;
};

const LikeCase kLikeCases[] = {
    {"Apfel", "apfel", true},       {"Apfel", "Apfelmus", false},     {"Apfel*", "Apfelmus", true},
    {"*mus", "Apfelmus", true},     {"*fel*", "Apfelmus", true},      {"*", "", true},
    {"", "", true},                 {"", "x", false},                 {"?", "", false},
    {"A?fel", "Apfel", true},       {"A?fel", "Apfel ", false},       {"?", "ä", true},
    {"??", "äß", true}, // characters, not bytes
    {"Stra?e", "Straße", true},     {"Strasse", "Straße", false},     {"ÄPFEL*", "äpfel im Schlafrock", true},
    {"äpfel", "ÄPFEL", true},       {"*É*", "Crème brûlée", true},    {"ß", "SS", false},
    {"ß", "ß", true},               {"#", "7", true},                 {"#", "0", true},
    {"#", "9", true},               {"#", "x", false},                {"###-##", "123-45", true},
    {"199#", "1999", true}, // a year search must find the last year of a decade
    {"*#%*", "Zwetschgen 50% fein", true},                            {"[a-c]*", "Birne", true},
    {"[a-c]*", "Dattel", false},    {"[A-C]*", "birne", true},        {"[aä]pfel", "Äpfel", true},
    {"[a-c]pfel", "Äpfel", true}, // a range takes the accented forms of its letters
    {"[a]pfel", "Äpfel", false},  // a single letter does not
    {"[eèéêë]clair", "Éclair", true}, {"[!a-c]*", "Birne", false},    {"[!a-c]*", "Dattel", true},
    {"[!0-9]", "x", true},          {"[!0-9]", "5", false},           {"[*]", "*", true},
    {"[*]", "x", false},            {"*[*]*", "Sternchen * hier", true}, {"[?]", "?", true},
    {"[#]", "#", true},             {"[#]", "1", false},              {"[[]fein]", "[fein]", true},
    {"*]", "fein]", true},          {"[a-]", "-", true},              {"[-a]", "a", true},
    {"a[]b", "ab", true},           {"**x", "abx", true},
    {"*a*a*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
    {"Mutter's \"bester\"*", "MUTTER'S \"BESTER\" Kuchen", true},
};

TEST(JetLike, MatchesAsTheEngineDoes)
{
    for (const LikeCase& c : kLikeCases) {
        SCOPED_TRACE(std::string(c.pattern) + " ~ " + c.text);
        EXPECT_EQ(JetLike(c.pattern, c.text), c.expected);
    }
}

TEST(JetLike, MalformedPatternsThrow)
{
    for (const char* pattern : {"[abc", "abc[", "[!", "[z-a]"}) {
        SCOPED_TRACE(pattern);
        EXPECT_THROW(JetLikePattern{pattern}, JetPatternError);
    }
}

TEST(JetText, ComparesWithoutCaseAndSortsAccentsBesideTheirLetter)
{
    EXPECT_EQ(JetCompare("Apfel", "APFEL"), 0);
    EXPECT_EQ(JetCompare("äpfel", "ÄPFEL"), 0);
    EXPECT_NE(JetCompare("Äpfel", "Apfel"), 0);
    EXPECT_LT(JetCompare("Apfel", "Äpfel"), 0);
    EXPECT_LT(JetCompare("Äpfel", "Apfelmus"), 0);
    EXPECT_LT(JetCompare("Apfelmus", "Birne"), 0);
    EXPECT_LT(JetCompare("Straße", "Strasse x"), 0);
    EXPECT_GT(JetCompare("Straße", "Strasse"), 0);
    EXPECT_LT(JetCompare("", "a"), 0);
    EXPECT_LT(JetCompare("Zucker", "Zuckerrübe"), 0);
    // Texts that share their first bytes, also within a character.
    EXPECT_GT(JetCompare("Würziges Brot", "WÜRZIGES auflauf"), 0);
    EXPECT_EQ(JetCompare("Würziges Brot", "WÜRZIGES BROT"), 0);
    EXPECT_GT(JetCompare("Kä", "Ká"), 0);
    EXPECT_LT(JetCompare("Käse", "Käsekuchen"), 0);
    EXPECT_GT(JetCompare("Grüße x", "Grüsse"), 0);
    EXPECT_EQ(BaseLetter(U'é'), U'e');
    EXPECT_EQ(BaseLetter(U'ł'), U'l');
    EXPECT_EQ(BaseLetter(U'x'), U'x');
}

} // namespace
} // namespace pf
