#include "core/Decimal4.h"

#include "core/LeadingNumber.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace pf {

namespace {

// 128-bit intermediates keep products of two currency values exact before rounding.
__extension__ typedef __int128 Int128;

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

std::int64_t Saturate(Int128 value)
{
    if (value > kMax)
        return kMax;
    if (value < kMin)
        return kMin;
    return static_cast<std::int64_t>(value);
}

// Divides and rounds half away from zero.
Int128 DivRound(Int128 n, Int128 d)
{
    Int128 q = n / d;
    Int128 r = n % d;
    if (r < 0)
        r = -r;
    const Int128 ad = d < 0 ? -d : d;
    if (r * 2 >= ad)
        q += ((n < 0) != (d < 0)) ? -1 : 1;
    return q;
}

} // namespace

Decimal4 Decimal4::FromDouble(double value)
{
    if (std::isnan(value))
        return {};
    const double scaled = value * static_cast<double>(kScale);
    if (scaled >= 9.2e18)
        return FromTicks(kMax);
    if (scaled <= -9.2e18)
        return FromTicks(kMin);
    // Away from a tie the binary product rounds correctly. Near a tie (0.00005 steps) the binary
    // value may lie just below the decimal the user meant, so round the shortest decimal text of
    // the double instead: 1.00005 becomes 1.0001 as it reads.
    const double fraction = std::fabs(scaled - std::trunc(scaled));
    if (std::fabs(fraction - 0.5) > 1e-6)
        return FromTicks(static_cast<std::int64_t>(std::llround(scaled)));
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (result.ec != std::errc())
        return FromTicks(static_cast<std::int64_t>(std::llround(scaled)));
    return Parse(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

Decimal4 Decimal4::Parse(std::string_view text)
{
    bool negative = false;
    std::size_t pos = SkipBlanksAndSign(text, negative);
    Int128 ticks = 0;
    bool overflow = false;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        if (!overflow) {
            ticks = ticks * 10 + (text[pos] - '0');
            if (ticks > static_cast<Int128>(kMax))
                overflow = true;
        }
        ++pos;
    }
    int places = 0;
    bool roundUp = false;
    if (pos < text.size() && (text[pos] == '.' || text[pos] == ',')) {
        ++pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            if (places < 4) {
                if (!overflow)
                    ticks = ticks * 10 + (text[pos] - '0');
                ++places;
            } else if (places == 4) {
                roundUp = text[pos] >= '5';
                ++places;
            }
            ++pos;
        }
    }
    if (overflow)
        return FromTicks(negative ? kMin : kMax);
    for (int i = places < 4 ? places : 4; i < 4; ++i)
        ticks *= 10;
    if (roundUp)
        ++ticks;
    return FromTicks(Saturate(negative ? -ticks : ticks));
}

std::string Decimal4::ToString() const
{
    const bool negative = m_ticks < 0;
    const unsigned long long magnitude =
        negative ? 0ULL - static_cast<unsigned long long>(m_ticks) : static_cast<unsigned long long>(m_ticks);
    std::string out = negative ? "-" : "";
    out += std::to_string(magnitude / kScale);
    unsigned long long fraction = magnitude % kScale;
    if (fraction != 0) {
        std::string digits = std::to_string(fraction);
        digits.insert(0, 4 - digits.size(), '0');
        while (!digits.empty() && digits.back() == '0')
            digits.pop_back();
        out += '.';
        out += digits;
    }
    return out;
}

Decimal4 operator*(Decimal4 a, Decimal4 b)
{
    const Int128 product = static_cast<Int128>(a.m_ticks) * b.m_ticks;
    return Decimal4::FromTicks(Saturate(DivRound(product, Decimal4::kScale)));
}

Decimal4 operator/(Decimal4 a, Decimal4 b)
{
    if (b.m_ticks == 0)
        throw std::domain_error("Division durch Null");
    const Int128 numerator = static_cast<Int128>(a.m_ticks) * Decimal4::kScale;
    return Decimal4::FromTicks(Saturate(DivRound(numerator, b.m_ticks)));
}

} // namespace pf
