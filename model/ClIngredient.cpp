#include "model/ClIngredient.h"

#include "core/LeadingNumber.h"
#include "core/Trim.h"
#include "core/Utf8.h"

#include <cstdint>
#include <cstdlib>

namespace pf {

namespace {

// The leading number of a text with "." as the only decimal point; a comma ends the number, so
// "2,5" reads as 2 outside decimal mode.
Decimal4 NumericValue(std::string_view text)
{
    bool negative = false;
    std::size_t pos = SkipBlanksAndSign(text, negative);
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
        ++pos;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
            ++pos;
    }
    return Decimal4::Parse(text.substr(0, pos));
}

std::string LocaleDecimal(Decimal4 value, char decimalSeparator)
{
    std::string text = value.ToString();
    const std::size_t point = text.find('.');
    if (point != std::string::npos)
        text[point] = decimalSeparator;
    return text;
}

} // namespace

Decimal4 ParseQuantity(std::string_view text, long editFlags)
{
    std::string work(Trim(text));
    if ((editFlags & kEditFlagDecimalMode) != 0) {
        const std::size_t comma = work.find(',');
        if (comma != std::string::npos)
            work[comma] = '.';
        if (work.find('/') == std::string::npos)
            return NumericValue(work);
    }

    std::string_view whole;
    std::string_view fraction = work;
    const std::size_t blank = work.find(' ');
    if (blank != std::string::npos) {
        const std::string_view all = work;
        whole = Trim(all.substr(0, blank));
        fraction = Trim(all.substr(blank + 1));
    }

    Decimal4 value = NumericValue(fraction);
    const std::size_t slash = fraction.find('/');
    // Only a "/" among the first seven characters makes a fraction.
    if (slash != std::string_view::npos && CharLength(fraction.substr(0, slash)) < 7) {
        const Decimal4 divisor = NumericValue(fraction.substr(slash + 1));
        if (divisor != Decimal4())
            value = value / divisor;
    }
    return value + NumericValue(whole);
}

std::string FormatQuantity(Decimal4 q, long editFlags, char decimalSeparator)
{
    if (q == Decimal4())
        return {};
    if ((editFlags & kEditFlagDecimalMode) != 0)
        return LocaleDecimal(q, decimalSeparator);

    const std::int64_t whole = q.Ticks() / Decimal4::kScale; // toward zero
    const std::int64_t remainder = q.Ticks() % Decimal4::kScale;
    std::string out;
    if (whole != 0)
        out = std::to_string(whole) + " ";
    if (remainder != 0) {
        std::string part;
        // |remainder - n/d| < 0.01, in ticks multiplied by d so the test stays exact.
        for (std::int64_t d = 2; d <= 8 && part.empty(); ++d) {
            for (std::int64_t n = 1; n < d; ++n) {
                if (std::llabs(remainder * d - n * Decimal4::kScale) < Decimal4::kScale / 100 * d) {
                    part = std::to_string(n) + "/" + std::to_string(d);
                    break;
                }
            }
        }
        if (part.empty())
            part = LocaleDecimal(Decimal4::FromTicks(remainder), decimalSeparator);
        out += part;
    }
    return std::string(Trim(out));
}

} // namespace pf
