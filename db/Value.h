#pragma once
// One field value as the database layer hands it out: null, long, currency, double, text, date,
// boolean or binary. Conversions follow the loose rules the program's logic expects of its
// database: any number reads as text, numeric text reads as a number, null reads as 0 or "".

#include "core/Decimal4.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace pf {

enum class ValueType { Null, Long, Currency, Double, Text, Date, Boolean, Binary };

// A date as its day serial: days after 1899-12-30, the fraction is the time of day.
struct DateSerial
{
    double Days = 0;
    friend bool operator==(DateSerial a, DateSerial b) = default;
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

    // Loose conversions (null gives 0, "", false, empty).
    std::int64_t AsLong() const;   // doubles and currency round half to even, as the engine does
    double AsDouble() const;
    Decimal4 AsCurrency() const;
    std::string AsText() const;    // numbers as plain decimal text ("." separator), booleans "True"/"False"
    bool AsBool() const;           // any non-zero number, "True"/"Wahr" text
    DateSerial AsDate() const;
    Blob AsBinary() const;

    friend bool operator==(const Value& a, const Value& b) = default;

private:
    std::variant<std::monostate, std::int64_t, Decimal4, double, std::string, DateSerial, bool, Blob> m_v;
};

} // namespace pf
