// The loose conversions of a field value.

#include "db/Value.h"

#include <gtest/gtest.h>

namespace pf {
namespace {

TEST(Value, NullReadsAsZeroAndEmpty)
{
    const Value v;
    EXPECT_TRUE(v.IsNull());
    EXPECT_EQ(v.AsLong(), 0);
    EXPECT_EQ(v.AsDouble(), 0);
    EXPECT_EQ(v.AsText(), "");
    EXPECT_FALSE(v.AsBool());
    EXPECT_EQ(v.AsCurrency(), Decimal4());
    EXPECT_TRUE(v.AsBinary().empty());
}

TEST(Value, NumbersToWholeNumbersRoundHalfToEven)
{
    const std::pair<Value, std::int64_t> cases[] = {
        {Value(2.5), 2},                      {Value(3.5), 4},
        {Value(-2.5), -2},                    {Value(2.4999), 2},
        {Value(Decimal4::Parse("0.5")), 0},   {Value(Decimal4::Parse("1.5")), 2},
        {Value(Decimal4::Parse("-1.5")), -2}, {Value("12 g"), 12},
        {Value("  7,5"), 8},                  {Value("abc"), 0},
        {Value(true), -1},                    {Value(false), 0},
        {Value("Wahr"), -1},                  {Value(DateSerial{43462.75}), 43463},
        {Value(-3), -3},
    };
    for (const auto& [value, expected] : cases) {
        SCOPED_TRACE(value.AsText());
        EXPECT_EQ(value.AsLong(), expected);
    }
}

TEST(Value, TextOfEveryType)
{
    EXPECT_EQ(Value(42).AsText(), "42");
    EXPECT_EQ(Value(0.1 + 0.2).AsText(), "0.3"); // fifteen digits, as the engine shows doubles
    EXPECT_EQ(Value(1.5e20).AsText(), "1.5e+20");
    EXPECT_EQ(Value(Decimal4::Parse("-3.14159")).AsText(), "-3.1416");
    EXPECT_EQ(Value(true).AsText(), "True");
    EXPECT_EQ(Value(DateSerial::FromParts(2018, 12, 28)).AsText(), "28.12.2018");
    EXPECT_EQ(Value(DateSerial::FromParts(2018, 12, 28, 14, 30, 5)).AsText(), "28.12.2018 14:30:05");
    EXPECT_EQ(Value(DateSerial{0.25}).AsText(), "06:00:00");
    EXPECT_EQ(Value(Blob{'a', 'b'}).AsText(), "ab");
}

TEST(Value, BooleansFromAnything)
{
    const std::pair<Value, bool> cases[] = {{-1, true},   {1, true},         {0.5, true},
                                            {0, false},   {"True", true},    {"wahr", true},
                                            {"-1", true}, {"Falsch", false}, {"", false}};
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(value.AsBool(), expected) << value.AsText();
}

TEST(Value, CurrencyAndDoubleFromText)
{
    EXPECT_EQ(Value("0,25").AsCurrency(), Decimal4::FromTicks(2500));
    EXPECT_EQ(Value("1.23456").AsCurrency(), Decimal4::FromTicks(12346));
    EXPECT_EQ(Value("1e3").AsCurrency(), Decimal4::FromLong(1000));
    EXPECT_EQ(Value(0.1).AsCurrency(), Decimal4::FromTicks(1000));
    EXPECT_DOUBLE_EQ(Value("-2,5 kg").AsDouble(), -2.5);
    EXPECT_DOUBLE_EQ(Value(".5").AsDouble(), 0.5);
    bool found = true;
    EXPECT_EQ(LeadingNumber("kg", &found), 0);
    EXPECT_FALSE(found);
    EXPECT_EQ(LeadingNumber("3.", &found), 3);
    EXPECT_TRUE(found);
    // Whole numbers for IDs and pages: a number no long can hold names nothing.
    for (const auto& [text, whole] : std::initializer_list<std::pair<const char*, long>>{
             {"12 S.", 12}, {"-7,9", -7}, {"1e3", 1000}, {"S. 12", 0}, {"111111111111111111111111", 0},
             {"-1e300", 0}, {"1e19", 0}})
        EXPECT_EQ(LeadingLong(text), whole) << text;
}

TEST(Value, DatesFromTextAndParts)
{
    EXPECT_EQ(DateSerial::FromParts(1899, 12, 30).Days, 0);
    EXPECT_EQ(DateSerial::FromParts(1900, 1, 1).Days, 2);
    EXPECT_EQ(DateSerial::FromParts(2018, 12, 28).Days, 43462);
    EXPECT_EQ(DateSerial::FromParts(1899, 12, 29, 6).Days, -1.25); // time counts forwards
    EXPECT_EQ(Value("28.12.2018").AsDate(), DateSerial{43462});
    EXPECT_EQ(Value("2018-12-28 12:00").AsDate(), DateSerial{43462.5});
    EXPECT_EQ(Value("12/28/2018").AsDate(), DateSerial{43462});
    EXPECT_EQ(Value("18:00").AsDate(), DateSerial{0.75});
    EXPECT_EQ(Value("43462.5").AsDate(), DateSerial{43462.5});
    int y = 0, m = 0, d = 0, hh = 0, mm = 0, ss = 0;
    DateSerial{-1.25}.ToParts(y, m, d, hh, mm, ss);
    EXPECT_EQ((std::vector<int>{y, m, d, hh, mm}), (std::vector<int>{1899, 12, 29, 6, 0}));
    DateSerial{43462.99999999}.ToParts(y, m, d, hh, mm, ss);
    EXPECT_EQ((std::vector<int>{y, m, d, hh, mm, ss}), (std::vector<int>{2018, 12, 29, 0, 0, 0}));
    DateSerial::FromParts(2000, 2, 29, 23, 59, 59).ToParts(y, m, d, hh, mm, ss);
    EXPECT_EQ((std::vector<int>{y, m, d, hh, mm, ss}), (std::vector<int>{2000, 2, 29, 23, 59, 59}));
}

TEST(Value, EqualityIsByTypeAndValue)
{
    EXPECT_EQ(Value(1), Value(1LL));
    EXPECT_NE(Value(1), Value(1.0));
    EXPECT_NE(Value("1"), Value(1));
    EXPECT_EQ(Value(), Value(nullptr));
}

} // namespace
} // namespace pf
