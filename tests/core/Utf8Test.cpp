// Code points, lengths and case of UTF-8 text.

#include "core/Utf8.h"

#include <gtest/gtest.h>

namespace pf {
namespace {

TEST(Utf8, DecodesAndEncodesWithOneReplacementPerInvalidByte)
{
    const std::string text = "aä€𝄞";
    std::size_t pos = 0;
    std::string out;
    for (char32_t cp : {U'a', U'ä', U'€', U'𝄞'}) {
        EXPECT_EQ(NextCodePoint(text, pos), cp);
        AppendUtf8(out, cp);
    }
    EXPECT_EQ(pos, text.size());
    EXPECT_EQ(out, text);
    // Invalid bytes become one replacement character each.
    for (const std::string& bad : {std::string("\xC3"), std::string("\xC0\xAF"), std::string("\xED\xA0\x80"),
                                   std::string("\xFF"), std::string("\x80")}) {
        std::size_t at = 0;
        EXPECT_EQ(NextCodePoint(bad, at), 0xFFFDu);
        EXPECT_EQ(at, 1u);
    }
    EXPECT_EQ(CharLength("a\xFF\x62"), 3u);
}

TEST(Utf8, CaseCoversLatin1AndLatinExtendedAAndLengthsCountCharacters)
{
    const std::pair<const char*, const char*> cases[] = {
        {"äöü", "ÄÖÜ"}, {"éèêë", "ÉÈÊË"}, {"àçñøåæ", "ÀÇÑØÅÆ"}, {"þ", "Þ"}, {"ÿ", "Ÿ"},
        {"łńśźżąęć", "ŁŃŚŹŻĄĘĆ"}, {"őű", "ŐŰ"}, {"čďěňřšťůž", "ČĎĚŇŘŠŤŮŽ"}, {"œ", "Œ"}, {"ğ", "Ğ"},
        {"apfel 1x!", "APFEL 1X!"}, {"αβγ", "ΑΒΓ"}, {"жук", "ЖУК"},
    };
    for (const auto& [lower, upper] : cases) {
        SCOPED_TRACE(lower);
        EXPECT_EQ(ToUpper(lower), upper);
        EXPECT_EQ(ToLower(upper), lower);
        EXPECT_TRUE(EqualsNoCase(lower, upper));
    }
    // ß has no single upper-case letter and stays; × and ÷ are no letters.
    EXPECT_EQ(ToUpper("Straße"), "STRAßE");
    EXPECT_EQ(ToLower("STRAßE"), "straße");
    EXPECT_EQ(ToUpper("×÷"), "×÷");
    EXPECT_EQ(ToLower("İ"), "i");
    EXPECT_EQ(ToUpper("ı"), "I");
    EXPECT_EQ(ToUpper(std::string("\xFF") + "a"), std::string("\xFF") + "A"); // invalid bytes pass unchanged
    EXPECT_FALSE(EqualsNoCase("Äpfel", "Apfel"));
    EXPECT_FALSE(EqualsNoCase("Straße", "STRASSE"));
    EXPECT_FALSE(EqualsNoCase("ab", "abc"));

    // Lengths and substrings count characters.
    EXPECT_EQ(CharLength("Straße"), 6u);
    EXPECT_EQ(CharLength(""), 0u);
    EXPECT_EQ(CharSubstr("Äpfel im Schlafrock", 0, 5), "Äpfel");
    EXPECT_EQ(CharSubstr("Äpfel", 1, 2), "pf");
    EXPECT_EQ(CharSubstr("Äpfel", 3), "el");
    EXPECT_EQ(CharSubstr("Äpfel", 9, 2), "");
}

} // namespace
} // namespace pf
