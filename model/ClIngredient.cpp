#include "model/ClIngredient.h"

#include "core/LeadingNumber.h"
#include "core/Trim.h"
#include "core/Utf8.h"

#include <cstdint>
#include <cstdlib>
#include <utility>

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

IngredientKind ClIngredient::Kind() const
{
    if (m_isTrenner)
        return IngredientKind::Trenner;
    return m_isRecipe ? IngredientKind::Recipe : IngredientKind::Ingredient;
}

void ClIngredient::SetRezID(long id)
{
    Assign(m_rezId, id);
}

void ClIngredient::SetIngredNo(long no)
{
    Assign(m_ingredNo, no);
}

void ClIngredient::SetIsTrenner(bool value)
{
    Assign(m_isTrenner, value);
    if (value) {
        Assign(m_orgMeasurement, Decimal4());
        Assign(m_einheitId, 0L);
        Assign(m_blsId, std::string());
        Assign(m_verarbeitung, std::string());
        // A separator is stored with ZutRezept false.
        Assign(m_isRecipe, false);
    }
}

void ClIngredient::SetTrennzeile(std::string_view text)
{
    SetIsTrenner(!text.empty());
    Assign(m_text, std::string(text));
}

void ClIngredient::SetOrgMeasurement(Decimal4 quantity)
{
    Assign(m_orgMeasurement, quantity);
}

void ClIngredient::SetEinheitID(long id)
{
    Assign(m_einheitId, id);
}

void ClIngredient::SetIngredient(std::string_view text)
{
    std::string ingredient(text);
    std::string verarbeitung = m_verarbeitung;
    const std::size_t semicolon = ingredient.find(';');
    if (verarbeitung.empty() && semicolon != std::string::npos) {
        const std::string_view all = ingredient;
        const std::string_view after = all.substr(semicolon + 1);
        const std::size_t start = after.find_first_not_of(kBlanksAndTabs);
        verarbeitung = start == std::string_view::npos ? std::string() : std::string(after.substr(start));
        ingredient = std::string(all.substr(0, semicolon));
        ingredient.erase(ingredient.find_last_not_of(kBlanksAndTabs) + 1);
    }
    if (ingredient.empty() && !verarbeitung.empty())
        std::swap(ingredient, verarbeitung);
    Assign(m_text, ingredient);
    Assign(m_verarbeitung, verarbeitung);
}

void ClIngredient::SetVerarbeitung(std::string_view text)
{
    Assign(m_verarbeitung, std::string(text));
    SetIngredient(std::string(m_text));
}

std::string ClIngredient::ZutatVerarbeitung() const
{
    if (m_verarbeitung.empty())
        return m_text;
    return m_text + "; " + m_verarbeitung;
}

void ClIngredient::SetZubereitung(std::string_view text)
{
    Assign(m_zubereitung, std::string(text));
}

void ClIngredient::SetIsGegliedert(bool value)
{
    if (!value)
        Assign(m_zubereitung, std::string());
}

void ClIngredient::SetIsRecipeID(long id)
{
    Assign(m_isRecipe, id >= 1);
    Assign(m_recipeId, id >= 1 ? id : 0L);
}

void ClIngredient::SetBLSid(std::string_view id)
{
    Assign(m_blsId, std::string(id));
}

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
