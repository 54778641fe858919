#pragma once
// Fixed-point decimal with four places (an int64 of ten-thousandths): quantities, conversion
// factors, prices and nutrient sums. Exact in addition and comparison; only scaling uses doubles.

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace pf {

class Decimal4
{
public:
    static constexpr std::int64_t kScale = 10000;

    constexpr Decimal4() = default;
    static constexpr Decimal4 FromTicks(std::int64_t ticks)
    {
        Decimal4 d;
        d.m_ticks = ticks;
        return d;
    }
    static constexpr Decimal4 FromLong(std::int64_t whole) { return FromTicks(whole * kScale); }
    // Rounds half away from zero to four places.
    static Decimal4 FromDouble(double value);
    // Reads "12", "-3.5", "0,25" (either separator); the numeric value of the leading number,
    // 0 when there is none. Never uses the locale.
    static Decimal4 Parse(std::string_view text);

    constexpr std::int64_t Ticks() const { return m_ticks; }
    double ToDouble() const { return static_cast<double>(m_ticks) / kScale; }
    // Shortest text with "." as separator: 12, 0.25, -3.1416.
    std::string ToString() const;

    friend constexpr bool operator==(Decimal4 a, Decimal4 b) = default;
    friend constexpr auto operator<=>(Decimal4 a, Decimal4 b) = default;
    // Sums and differences beyond the range stay at its ends, as Parse and the products do.
    friend constexpr Decimal4 operator+(Decimal4 a, Decimal4 b)
    {
        std::int64_t sum = 0;
        if (__builtin_add_overflow(a.m_ticks, b.m_ticks, &sum))
            return FromTicks(b.m_ticks < 0 ? kMinTicks : kMaxTicks);
        return FromTicks(sum);
    }
    friend constexpr Decimal4 operator-(Decimal4 a, Decimal4 b)
    {
        std::int64_t difference = 0;
        if (__builtin_sub_overflow(a.m_ticks, b.m_ticks, &difference))
            return FromTicks(b.m_ticks < 0 ? kMaxTicks : kMinTicks);
        return FromTicks(difference);
    }
    friend constexpr Decimal4 operator-(Decimal4 a) { return Decimal4() - a; }
    // Products and quotients round half away from zero to four places.
    friend Decimal4 operator*(Decimal4 a, Decimal4 b);
    friend Decimal4 operator/(Decimal4 a, Decimal4 b);

private:
    static constexpr std::int64_t kMaxTicks = std::numeric_limits<std::int64_t>::max();
    static constexpr std::int64_t kMinTicks = std::numeric_limits<std::int64_t>::min();

    std::int64_t m_ticks = 0;
};

} // namespace pf
