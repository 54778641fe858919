#pragma once
// One fuzz input as the quantity of an ingredient line, read as the editor and the recipe-file
// reader read it, in fraction and in decimal mode. What is read must show as a text that reads
// back as the same quantity: exactly in decimal mode, within the 0.01 the fraction display rounds
// to in fraction mode (1.6567 shows as "1 2/3" and reads back as 1.6667).

#include "core/Decimal4.h"
#include "exchange/MMImport.h"
#include "model/ClIngredient.h"

#include <string>
#include <string_view>

namespace pf::fuzz {

class QuantityFuzz
{
public:
    std::string Run(std::string_view text)
    {
        const Decimal4 read[] = {
            ParseQuantity(text, 0),
            ParseQuantity(text, kEditFlagDecimalMode),
            MMImport::ParseAmount(text),
            Decimal4::Parse(text),
        };
        for (const Decimal4 q : read) {
            const std::string decimal = FormatQuantity(q, kEditFlagDecimalMode, ',');
            if (ParseQuantity(decimal, kEditFlagDecimalMode) != q)
                return "die Menge " + q.ToString() + " wird als \"" + decimal +
                       "\" gezeigt und anders gelesen";
            if (q < Decimal4() || q > Decimal4::FromLong(1000000000000))
                continue;
            const std::string fraction = FormatQuantity(q, 0, '.');
            const Decimal4 back = ParseQuantity(fraction, 0);
            const Decimal4 difference = back > q ? back - q : q - back;
            // The fraction lies within 0.01 of the remainder; reading it back rounds it to four
            // places, which never takes a whole tick more.
            if (difference > Decimal4::FromTicks(Decimal4::kScale / 100))
                return "die Menge " + q.ToString() + " wird als Bruch \"" + fraction + "\" gezeigt und als " +
                       back.ToString() + " gelesen";
        }
        return {};
    }
};

} // namespace pf::fuzz
