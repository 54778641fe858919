#pragma once
// One field value as the database layer hands it out: null, long, currency, double, text, date,
// boolean or binary. Conversions follow the loose rules the program's logic expects of its
// database: any number reads as text, numeric text reads as a number, null reads as 0 or "".

#include "core/Decimal4.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pf {

enum class ValueType { Null, Long, Currency, Double, Text, Date, Boolean, Binary };

// A date as its day serial: days after 1899-12-30, the fraction is the time of day.
struct DateSerial
{
    double Days = 0;
    friend bool operator==(DateSerial a, DateSerial b) = default;

    // Day serial of a Gregorian calendar date and time of day.
    static DateSerial FromParts(int year, int month, int day, int hour = 0, int minute = 0,
                                double second = 0);
    // Calendar date and time of day, the time rounded to whole seconds.
    void ToParts(int& year, int& month, int& day, int& hour, int& minute, int& second) const;
};

using Blob = std::vector<std::uint8_t>;

class Value
{
public:
    Value() = default;
    Value(std::nullptr_t) {}
    Value(int v) : m_v(static_cast<std::int64_t>(v)) {}
    Value(long v) : m_v(static_cast<std::int64_t>(v)) {}
    Value(long long v) : m_v(static_cast<std::int64_t>(v)) {}
    Value(Decimal4 v) : m_v(v) {}
    Value(double v) : m_v(v) {}
    Value(std::string v) : m_v(std::move(v)) {}
    Value(const char* v) : m_v(std::string(v)) {}
    Value(std::string_view v) : m_v(std::string(v)) {}
    Value(DateSerial v) : m_v(v) {}
    Value(bool v) : m_v(v) {}
    Value(Blob v) : m_v(std::move(v)) {}

    ValueType Type() const { return static_cast<ValueType>(m_v.index()); }
    bool IsNull() const { return m_v.index() == 0; }

    // Loose conversions (null gives 0, "", false, empty). The value's own type is answered inline.
    std::int64_t AsLong() const // doubles and currency round half to even, as the engine does
    {
        if (const auto* v = std::get_if<std::int64_t>(&m_v))
            return *v;
        return ConvertToLong();
    }
    double AsDouble() const
    {
        if (const auto* v = std::get_if<double>(&m_v))
            return *v;
        return ConvertToDouble();
    }
    Decimal4 AsCurrency() const
    {
        if (const auto* v = std::get_if<Decimal4>(&m_v))
            return *v;
        return ConvertToCurrency();
    }
    std::string AsText() const&; // numbers as plain decimal text ("." separator), booleans "True"/"False"
    std::string AsText() &&;     // the same, moving the text out of a temporary
    bool AsBool() const;         // any non-zero number, "True"/"Wahr" text
    DateSerial AsDate() const;
    Blob AsBinary() const;

    friend bool operator==(const Value& a, const Value& b) = default;

    // The stored alternative, for code that must not copy (binding a value to a statement).
    using Storage =
        std::variant<std::monostate, std::int64_t, Decimal4, double, std::string, DateSerial, bool, Blob>;
    const Storage& Raw() const { return m_v; }

private:
    std::int64_t ConvertToLong() const;
    double ConvertToDouble() const;
    Decimal4 ConvertToCurrency() const;

    Storage m_v;
};

// Numeric value of the leading number of a text, never locale-dependent: "12 g" gives 12, "0,25"
// and "0.25" give 0.25, "-1e3" gives -1000; 0 when the text does not start with a number (leading
// blanks are skipped). found tells whether a number was there.
double LeadingNumber(std::string_view text, bool* found = nullptr);

// The leading number as a whole number (its fraction dropped), for IDs and page numbers read from
// texts; 0 when there is none or when it lies outside the range of long, as such a number names
// nothing.
long LeadingLong(std::string_view text);

// The German short date of a day serial, "17.05.2003".
std::string ShortDateText(DateSerial date);

// Date and time as a German reader expects them: "17.05.2003 14:30", with seconds "17.05.2003 14:30:05".
std::string DateTimeText(DateSerial date, bool withSeconds = false);

} // namespace pf
