// Fixed-point decimals with four places: parsing, text, rounding.

#include "core/Decimal4.h"

#include <gtest/gtest.h>

#include <limits>

namespace pf {
namespace {

TEST(Decimal4, ParsesTheLeadingNumberAndWritesTheShortestText)
{
    const std::pair<const char*, std::int64_t> cases[] = {
        {"12", 120000},      {"-3.5", -35000}, {"0,25", 2500},     {"  7", 70000},     {"+1.5", 15000},
        {".5", 5000},        {"-,75", -7500},  {"1.23454", 12345}, {"1.23455", 12346}, {"-1.23455", -12346},
        {"1.999999", 20000}, {"12 g", 120000}, {"3,5 EL", 35000},  {"abc", 0},         {"", 0},
        {"1.2.3", 12000},    {"0.00005", 1},   {"0.000049", 0},    {"007", 70000},     {"1e3", 10000},
    };
    for (auto [text, ticks] : cases)
        EXPECT_EQ(Decimal4::Parse(text).Ticks(), ticks) << text;
    EXPECT_EQ(Decimal4::Parse("99999999999999999999999").Ticks(), std::numeric_limits<std::int64_t>::max());

    // The shortest text of a value.
    const std::pair<std::int64_t, const char*> texts[] = {
        {120000, "12"}, {2500, "0.25"}, {-31416, "-3.1416"}, {0, "0"}, {-5000, "-0.5"}, {10, "0.001"},
        {1, "0.0001"},  {std::numeric_limits<std::int64_t>::min(), "-922337203685477.5808"},
    };
    for (auto [ticks, text] : texts)
        EXPECT_EQ(Decimal4::FromTicks(ticks).ToString(), text);
}

TEST(Decimal4, FromDoubleRoundsHalfAwayFromZeroAsTheDecimalReadsAndArithmeticStaysInRange)
{
    const std::pair<double, std::int64_t> cases[] = {
        {1.2345, 12345},      {0.1, 1000},        {1.00005, 10001},     {-1.00005, -10001},
        {2.00015, 20002},     {0.00004, 0},
        {123.45675, 1234568}, {1e300, std::numeric_limits<std::int64_t>::max()},
        {-0.00005, -1},       {0.1 + 0.2, 3000},
    };
    for (auto [value, ticks] : cases)
        EXPECT_EQ(Decimal4::FromDouble(value).Ticks(), ticks) << value;
    EXPECT_EQ(Decimal4::FromDouble(std::numeric_limits<double>::quiet_NaN()).Ticks(), 0);

    // Arithmetic.
    const Decimal4 a = Decimal4::Parse("2.5");
    const Decimal4 b = Decimal4::Parse("0.3333");
    EXPECT_EQ((a + b).ToString(), "2.8333");
    EXPECT_EQ((a - b).ToString(), "2.1667");
    EXPECT_EQ((a * b).ToString(), "0.8333"); // 0.83325 rounds away from zero
    EXPECT_EQ((-a * b).ToString(), "-0.8333");
    EXPECT_EQ((Decimal4::FromLong(1) / Decimal4::FromLong(3)).ToString(), "0.3333");
    EXPECT_EQ((Decimal4::FromLong(2) / Decimal4::FromLong(3)).ToString(), "0.6667");
    EXPECT_EQ((Decimal4::FromLong(-2) / Decimal4::FromLong(3)).ToString(), "-0.6667");
    // Large quantities multiply without overflow in between.
    EXPECT_EQ((Decimal4::FromLong(100000000) * Decimal4::FromLong(1000)).ToString(), "100000000000");
    // Sums beyond the range stay at its ends ("99999999999999999999 1/3" as a quantity).
    const Decimal4 max = Decimal4::FromTicks(std::numeric_limits<std::int64_t>::max());
    const Decimal4 min = Decimal4::FromTicks(std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(max + b, max);
    EXPECT_EQ(min - b, min);
    EXPECT_EQ(b - min, max);
    EXPECT_EQ(-min, max);
    EXPECT_EQ(max + -b, max - b);
    EXPECT_THROW(a / Decimal4(), std::domain_error);
    EXPECT_LT(b, a);
    EXPECT_EQ(Decimal4::FromLong(3), Decimal4::Parse("3,0000"));
}

} // namespace
} // namespace pf
