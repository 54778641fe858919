#include "model/ClIngredient.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>

namespace pf {
namespace {

constexpr long kFractionMode = 0;
constexpr long kDecimalMode = 12; // the default EditFlags, decimal bit set

Decimal4 D(const char* text)
{
    return Decimal4::Parse(text);
}

TEST(ClIngredient, ParseQuantityReadsEveryNotation)
{
    // Text, edit flags, the quantity read.
    const std::tuple<const char*, long, const char*> cases[] = {
        {"1 1/2", kFractionMode, "1.5"}, {"3/4", kFractionMode, "0.75"},  {"2", kFractionMode, "2"},
        {"2.5", kFractionMode, "2.5"},
        {"2,5", kFractionMode, "2"}, // a comma ends the number outside decimal mode
        {"", kFractionMode, "0"},
        {"   ", kFractionMode, "0"},
        {"1/0", kFractionMode, "1"}, // failed division keeps the dividend
        {"2 1/0", kFractionMode, "3"},
        {"  1 1/2  ", kFractionMode, "1.5"},
        {"1    3/4", kFractionMode, "1.75"}, // blanks around the fraction are trimmed
        {"1/3", kFractionMode, "0.3333"}, {"2/3", kFractionMode, "0.6667"}, {"Prise", kFractionMode, "0"},
        {"2 Prisen", kFractionMode, "2"},
        {"\xC2\xBD", kFractionMode, "0"},        // no leading digit, no number
        {"123456/2", kFractionMode, "61728"},    // "/" is the 7th character: divides
        {"1234567/2", kFractionMode, "1234567"}, // "/" is the 8th character: ignored
        {"2,5", kDecimalMode, "2.5"},   {"0,25", kDecimalMode, "0.25"}, {"2.5", kDecimalMode, "2.5"},
        {"2,5,3", kDecimalMode, "2.5"}, // only the first comma becomes a point
        {"1 1/2", kDecimalMode, "1.5"}, // a "/" falls through to the fraction rules
        {"1,5/3", kDecimalMode, "0.5"}, {"1/0", kDecimalMode, "1"},     {"", kDecimalMode, "0"},
    };
    for (const auto& [text, flags, expected] : cases) {
        SCOPED_TRACE(std::string("'") + text + "' flags " + std::to_string(flags));
        EXPECT_EQ(ParseQuantity(text, flags), D(expected));
    }
}

TEST(ClIngredient, FormatQuantityWritesFractionsOrDecimals)
{
    // Quantity, edit flags, decimal separator, the text written.
    const std::tuple<const char*, long, char, const char*> cases[] = {
        {"1.5", kFractionMode, ',', "1 1/2"},  {"0.333", kFractionMode, ',', "1/3"},
        {"2.75", kFractionMode, ',', "2 3/4"}, {"0.125", kFractionMode, ',', "1/8"},
        {"3", kFractionMode, ',', "3"},        {"0", kFractionMode, ',', ""},
        {"0.2", kFractionMode, ',', "1/5"},
        {"1.9", kFractionMode, ',', "1 0,9"}, // no fraction within 0.01
        {"2.95", kFractionMode, ',', "2 0,95"}, {"2.95", kFractionMode, '.', "2 0.95"},
        {"0.66", kFractionMode, ',', "2/3"},    {"0.57", kFractionMode, ',', "4/7"},
        {"0.3", kFractionMode, ',', "0,3"},
        {"0.4901", kFractionMode, ',', "1/2"}, // just within 0.01
        {"0.49", kFractionMode, ',', "0,49"},  // exactly 0.01 away is not close enough
        {"0.5", kDecimalMode, ',', "0,5"},     {"2.5", kDecimalMode, ',', "2,5"},
        {"2.5", kDecimalMode, '.', "2.5"},     {"0.125", kDecimalMode, ',', "0,125"},
        {"4", kDecimalMode, ',', "4"},         {"0", kDecimalMode, ',', ""},
    };
    for (const auto& [quantity, flags, separator, expected] : cases) {
        SCOPED_TRACE(std::string(quantity) + " flags " + std::to_string(flags));
        EXPECT_EQ(FormatQuantity(D(quantity), flags, separator), expected);
    }
    // A quantity converted into another unit system is rounded as a cook weighs it.
    const std::pair<const char*, const char*> readable[] = {
        {"453.592", "454"}, {"236.588", "237"}, {"28.3495", "28,5"}, {"14.7868", "15"}, {"4.9289", "4,93"}};
    for (const auto& [converted, shown] : readable)
        EXPECT_EQ(FormatQuantity(ReadableQuantity(D(converted)), kDecimalMode, ','), shown) << converted;
}

// Every fraction the editor can show, and every decimal, reads back as the quantity it stands for.
TEST(ClIngredient, QuantityTextReadsBackToItsQuantity)
{
    for (std::int64_t whole = 0; whole <= 2; ++whole) {
        for (std::int64_t d = 2; d <= 8; ++d) {
            for (std::int64_t n = 1; n < d; ++n) {
                const Decimal4 q = Decimal4::FromLong(whole) + Decimal4::FromLong(n) / Decimal4::FromLong(d);
                const std::string text = FormatQuantity(q, kFractionMode);
                SCOPED_TRACE(std::to_string(whole) + " " + std::to_string(n) + "/" + std::to_string(d) +
                             " -> " + text);
                EXPECT_NE(text.find('/'), std::string::npos);
                EXPECT_EQ(ParseQuantity(text, kFractionMode), q);
            }
        }
    }
    for (const char* quantity : {"0.0001", "0.25", "1.9", "12.3456", "250", "-2.5"}) {
        SCOPED_TRACE(quantity);
        EXPECT_EQ(ParseQuantity(FormatQuantity(D(quantity), kDecimalMode), kDecimalMode), D(quantity));
    }
}

TEST(ClIngredient, SemicolonSplitsOffTheProcessingAlsoWhenTheProcessingIsSet)
{
    // Processing before, the text set, the ingredient and the processing after.
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"", "Mehl; gesiebt", "Mehl", "gesiebt"},
        {"", "Mehl ;  gesiebt; fein ", "Mehl", "gesiebt; fein "}, // only the first ";" splits
        {"gehackt", "Mehl; gesiebt", "Mehl; gesiebt", "gehackt"}, // processing already set
        {"", "; gesiebt", "gesiebt", ""},                         // empty ingredient swaps
        {"gehackt", "", "gehackt", ""},
        {"", "Zucker", "Zucker", ""},
    };
    for (const auto& [before, text, ingredient, verarbeitung] : cases) {
        SCOPED_TRACE(text);
        ClIngredient line;
        line.SetIngredient("Zucker");
        line.SetVerarbeitung(before);
        line.SetIngredient(text);
        EXPECT_EQ(line.Ingredient(), ingredient);
        EXPECT_EQ(line.Verarbeitung(), verarbeitung);
    }
    ClIngredient line;
    line.SetIngredient("Mehl; gesiebt");
    EXPECT_EQ(line.ZutatVerarbeitung(), "Mehl; gesiebt");

    // Setting the processing applies the split again.
    ClIngredient alone;
    alone.SetVerarbeitung("gewürfelt"); // no ingredient yet: the two swap
    EXPECT_EQ(alone.Ingredient(), "gewürfelt");
    EXPECT_EQ(alone.Verarbeitung(), "");

    ClIngredient onion;
    onion.SetIngredient("Zwiebel");
    onion.SetVerarbeitung("gewürfelt");
    onion.SetIngredient("Zwiebel; fein");
    ASSERT_EQ(onion.Ingredient(), "Zwiebel; fein");
    onion.SetVerarbeitung("");
    EXPECT_EQ(onion.Ingredient(), "Zwiebel");
    EXPECT_EQ(onion.Verarbeitung(), "fein");
}

TEST(ClIngredient, SeparatorClearsTheLineAndARecipeReferenceNeedsAPositiveID)
{
    ClIngredient line;
    line.SetOrgMeasurement(D("250"));
    line.SetEinheitID(3);
    line.SetBLSid("B100000");
    line.SetIngredient("Mehl; gesiebt");
    line.SetTrennzeile("Für die Soße");
    EXPECT_EQ(line.Kind(), IngredientKind::Trenner);
    EXPECT_EQ(line.OrgMeasurement(), Decimal4());
    EXPECT_EQ(line.EinheitID(), 0);
    EXPECT_EQ(line.Trennzeile() + "|" + line.BLSid() + "|" + line.Verarbeitung(), "Für die Soße||");

    line.SetTrennzeile("");
    EXPECT_EQ(line.Kind(), IngredientKind::Ingredient);
    EXPECT_EQ(line.Trennzeile(), "");

    // A recipe reference needs a positive ID.
    ClIngredient reference;
    EXPECT_FALSE(reference.IsChanged());
    reference.SetIsRecipeID(42);
    EXPECT_TRUE(reference.IsChanged());
    EXPECT_EQ(reference.Kind(), IngredientKind::Recipe);
    EXPECT_EQ(reference.IsRecipeID(), 42);
    for (long id : {0L, -1L}) {
        SCOPED_TRACE(id);
        reference.SetIsRecipeID(42);
        reference.SetIsRecipeID(id);
        EXPECT_FALSE(reference.IsRecipe());
        EXPECT_EQ(reference.IsRecipeID(), 0);
    }
}

TEST(ClIngredient, ClearingGegliedertDropsThePreparationNote)
{
    ClIngredient line;
    line.SetZubereitung("über Nacht quellen lassen");
    EXPECT_TRUE(line.IsGegliedert());
    line.SetIsGegliedert(true);
    EXPECT_EQ(line.Zubereitung(), "über Nacht quellen lassen");
    line.SetIsGegliedert(false);
    EXPECT_FALSE(line.IsGegliedert());
    EXPECT_EQ(line.Zubereitung(), "");
}

} // namespace
} // namespace pf
