#include "db/Value.h"

#include "core/LeadingNumber.h"

#include "core/Utf8.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace pf {

namespace {

// Days from 1970-01-01 to a Gregorian date (H. Hinnant's days_from_civil).
long long DaysFromCivil(long long y, long long m, long long d)
{
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(long long z, int& year, int& month, int& day)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
    month = static_cast<int>(m);
    day = static_cast<int>(d);
}

const long long kEpoch = DaysFromCivil(1899, 12, 30);

// Rounds half to even, as the engine converts to whole numbers.
std::int64_t RoundEven(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 9.2e18)
        return std::numeric_limits<std::int64_t>::max();
    if (value <= -9.2e18)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(std::nearbyint(value));
}

std::int64_t TicksToLong(Decimal4 d)
{
    const std::int64_t ticks = d.Ticks();
    std::int64_t q = ticks / Decimal4::kScale;
    std::int64_t r = ticks % Decimal4::kScale;
    const std::int64_t half = Decimal4::kScale / 2;
    if (r > half || (r == half && (q & 1) != 0))
        ++q;
    else if (r < -half || (r == -half && (q & 1) != 0))
        --q;
    return q;
}

std::string DoubleText(double value)
{
    char buffer[64];
    // Fifteen significant digits, as the engine and VB show a double.
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, result.ptr);
}

std::string TwoDigits(int n)
{
    std::string s = std::to_string(n);
    return s.size() < 2 ? "0" + s : s;
}

} // namespace

std::string ShortDateText(DateSerial date)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    date.ToParts(year, month, day, hour, minute, second);
    return TwoDigits(day) + "." + TwoDigits(month) + "." + std::to_string(year);
}

std::string DateTimeText(DateSerial date, bool withSeconds)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    date.ToParts(year, month, day, hour, minute, second);
    std::string text = TwoDigits(day) + "." + TwoDigits(month) + "." + std::to_string(year) + " " +
                       TwoDigits(hour) + ":" + TwoDigits(minute);
    if (withSeconds)
        text += ":" + TwoDigits(second);
    return text;
}

namespace {

// German date text as VB shows a date: the date alone at midnight, the time alone on day 0.
std::string DateText(DateSerial date)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    date.ToParts(year, month, day, hour, minute, second);
    const bool hasTime = hour != 0 || minute != 0 || second != 0;
    const bool hasDay = std::trunc(date.Days) != 0;
    std::string out;
    if (hasDay)
        out = ShortDateText(date);
    if (hasTime || !hasDay) {
        if (!out.empty())
            out += " ";
        out += TwoDigits(hour) + ":" + TwoDigits(minute) + ":" + TwoDigits(second);
    }
    return out;
}

bool ReadInt(std::string_view text, std::size_t& pos, int& value, int maxDigits = 4)
{
    const std::size_t start = pos;
    value = 0;
    while (pos < text.size() && pos - start < static_cast<std::size_t>(maxDigits) && text[pos] >= '0' &&
           text[pos] <= '9')
        value = value * 10 + (text[pos++] - '0');
    return pos > start;
}

bool ReadTime(std::string_view text, std::size_t& pos, double& fraction)
{
    int hour = 0, minute = 0, second = 0;
    if (!ReadInt(text, pos, hour, 2) || pos >= text.size() || text[pos] != ':')
        return false;
    ++pos;
    if (!ReadInt(text, pos, minute, 2))
        return false;
    if (pos < text.size() && text[pos] == ':') {
        ++pos;
        if (!ReadInt(text, pos, second, 2))
            return false;
    }
    fraction = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
    return true;
}

// German "dd.mm.yyyy", ISO "yyyy-mm-dd" and US "mm/dd/yyyy", each with an optional time, or a time
// alone. Returns false for anything else.
bool ParseDateText(std::string_view text, DateSerial& out)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    std::size_t pos = 0;
    int a = 0, b = 0, c = 0;
    double fraction = 0;
    if (!ReadInt(text, pos, a))
        return false;
    if (pos < text.size() && text[pos] == ':') {
        pos = 0;
        if (!ReadTime(text, pos, fraction) || pos != text.size())
            return false;
        out.Days = fraction;
        return true;
    }
    if (pos >= text.size())
        return false;
    const char sep = text[pos];
    if (sep != '.' && sep != '-' && sep != '/')
        return false;
    const std::size_t firstLength = pos;
    ++pos;
    if (!ReadInt(text, pos, b) || pos >= text.size() || text[pos] != sep)
        return false;
    ++pos;
    if (!ReadInt(text, pos, c))
        return false;
    int year = 0, month = 0, day = 0;
    if (sep == '.') {
        day = a, month = b, year = c;
    } else if (sep == '-' || firstLength == 4) {
        year = a, month = b, day = c;
    } else {
        month = a, day = b, year = c;
    }
    if (year < 100)
        year += year < 30 ? 2000 : 1900;
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return false;
    if (pos < text.size()) {
        if (text[pos] != ' ' && text[pos] != 'T')
            return false;
        ++pos;
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        if (!ReadTime(text, pos, fraction) || pos != text.size())
            return false;
    }
    const double days = static_cast<double>(DaysFromCivil(year, month, day) - kEpoch);
    out.Days = days >= 0 ? days + fraction : days - fraction;
    return true;
}

} // namespace

DateSerial DateSerial::FromParts(int year, int month, int day, int hour, int minute, double second)
{
    const double days = static_cast<double>(DaysFromCivil(year, month, day) - kEpoch);
    const double fraction = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
    return DateSerial{days >= 0 ? days + fraction : days - fraction};
}

void DateSerial::ToParts(int& year, int& month, int& day, int& hour, int& minute, int& second) const
{
    // Negative serials count the days backwards but the time of day forwards (-1.25 is
    // 1899-12-29 06:00), as the engine stores them.
    double whole = std::trunc(Days);
    long long seconds = std::llround(std::fabs(Days - whole) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        whole += 1;
    }
    CivilFromDays(static_cast<long long>(whole) + kEpoch, year, month, day);
    hour = static_cast<int>(seconds / 3600);
    minute = static_cast<int>(seconds / 60 % 60);
    second = static_cast<int>(seconds % 60);
}

long LeadingLong(std::string_view text)
{
    const double value = LeadingNumber(text);
    // Inside the open range, so that the conversion is defined; NaN fails both tests.
    if (!(value > static_cast<double>(std::numeric_limits<long>::min()) &&
          value < static_cast<double>(std::numeric_limits<long>::max())))
        return 0;
    return static_cast<long>(value);
}

double LeadingNumber(std::string_view text, bool* found)
{
    bool negative = false;
    std::size_t pos = SkipBlanksAndSign(text, negative);
    std::string number = negative ? "-" : "";
    bool digits = false;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        number += text[pos++];
        digits = true;
    }
    if (pos < text.size() && (text[pos] == '.' || text[pos] == ',')) {
        std::size_t look = pos + 1;
        std::string fraction;
        while (look < text.size() && text[look] >= '0' && text[look] <= '9')
            fraction += text[look++];
        if (!fraction.empty() || digits) {
            number += '.';
            number += fraction;
            digits = digits || !fraction.empty();
            pos = look;
        }
    }
    if (digits && pos + 1 < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t look = pos + 1;
        std::string exponent = "e";
        if (text[look] == '-' || text[look] == '+')
            exponent += text[look++];
        bool expDigits = false;
        while (look < text.size() && text[look] >= '0' && text[look] <= '9') {
            exponent += text[look++];
            expDigits = true;
        }
        if (expDigits)
            number += exponent;
    }
    if (found)
        *found = digits;
    if (!digits)
        return 0;
    if (number.back() == '.')
        number.pop_back();
    double value = 0;
    const char* begin = number.data();
    std::from_chars(begin, begin + number.size(), value);
    return value;
}

std::int64_t Value::ConvertToLong() const
{
    switch (Type()) {
    case ValueType::Null:
        return 0;
    case ValueType::Long:
        return std::get<std::int64_t>(m_v);
    case ValueType::Currency:
        return TicksToLong(std::get<Decimal4>(m_v));
    case ValueType::Double:
        return RoundEven(std::get<double>(m_v));
    case ValueType::Text: {
        const std::string& text = std::get<std::string>(m_v);
        if (EqualsNoCase(text, "True") || EqualsNoCase(text, "Wahr"))
            return -1;
        return RoundEven(LeadingNumber(text));
    }
    case ValueType::Date:
        return RoundEven(std::get<DateSerial>(m_v).Days);
    case ValueType::Boolean:
        return std::get<bool>(m_v) ? -1 : 0;
    case ValueType::Binary:
        return 0;
    }
    return 0;
}

double Value::ConvertToDouble() const
{
    switch (Type()) {
    case ValueType::Null:
        return 0;
    case ValueType::Long:
        return static_cast<double>(std::get<std::int64_t>(m_v));
    case ValueType::Currency:
        return std::get<Decimal4>(m_v).ToDouble();
    case ValueType::Double:
        return std::get<double>(m_v);
    case ValueType::Text: {
        const std::string& text = std::get<std::string>(m_v);
        if (EqualsNoCase(text, "True") || EqualsNoCase(text, "Wahr"))
            return -1;
        return LeadingNumber(text);
    }
    case ValueType::Date:
        return std::get<DateSerial>(m_v).Days;
    case ValueType::Boolean:
        return std::get<bool>(m_v) ? -1 : 0;
    case ValueType::Binary:
        return 0;
    }
    return 0;
}

Decimal4 Value::ConvertToCurrency() const
{
    switch (Type()) {
    case ValueType::Currency:
        return std::get<Decimal4>(m_v);
    case ValueType::Long:
        return Decimal4::FromLong(std::get<std::int64_t>(m_v));
    case ValueType::Text: {
        const std::string& text = std::get<std::string>(m_v);
        if (EqualsNoCase(text, "True") || EqualsNoCase(text, "Wahr"))
            return Decimal4::FromLong(-1);
        bool found = false;
        const double number = LeadingNumber(text, &found);
        // Plain decimals read exactly; only exponent forms go through the double.
        if (text.find_first_of("eE") == std::string::npos)
            return Decimal4::Parse(text);
        return found ? Decimal4::FromDouble(number) : Decimal4();
    }
    default:
        return Decimal4::FromDouble(AsDouble());
    }
}

std::string Value::AsText() &&
{
    if (Type() == ValueType::Text)
        return std::move(std::get<std::string>(m_v));
    return static_cast<const Value&>(*this).AsText();
}

std::string Value::AsText() const&
{
    switch (Type()) {
    case ValueType::Null:
        return {};
    case ValueType::Long:
        return std::to_string(std::get<std::int64_t>(m_v));
    case ValueType::Currency:
        return std::get<Decimal4>(m_v).ToString();
    case ValueType::Double:
        return DoubleText(std::get<double>(m_v));
    case ValueType::Text:
        return std::get<std::string>(m_v);
    case ValueType::Date:
        return DateText(std::get<DateSerial>(m_v));
    case ValueType::Boolean:
        return std::get<bool>(m_v) ? "True" : "False";
    case ValueType::Binary: {
        const Blob& blob = std::get<Blob>(m_v);
        return std::string(blob.begin(), blob.end());
    }
    }
    return {};
}

bool Value::AsBool() const
{
    switch (Type()) {
    case ValueType::Null:
        return false;
    case ValueType::Long:
        return std::get<std::int64_t>(m_v) != 0;
    case ValueType::Currency:
        return std::get<Decimal4>(m_v).Ticks() != 0;
    case ValueType::Double:
        return std::get<double>(m_v) != 0;
    case ValueType::Text: {
        const std::string& text = std::get<std::string>(m_v);
        if (EqualsNoCase(text, "True") || EqualsNoCase(text, "Wahr"))
            return true;
        if (EqualsNoCase(text, "False") || EqualsNoCase(text, "Falsch"))
            return false;
        return LeadingNumber(text) != 0;
    }
    case ValueType::Date:
        return std::get<DateSerial>(m_v).Days != 0;
    case ValueType::Boolean:
        return std::get<bool>(m_v);
    case ValueType::Binary:
        return !std::get<Blob>(m_v).empty();
    }
    return false;
}

DateSerial Value::AsDate() const
{
    switch (Type()) {
    case ValueType::Date:
        return std::get<DateSerial>(m_v);
    case ValueType::Text: {
        DateSerial date;
        if (ParseDateText(std::get<std::string>(m_v), date))
            return date;
        return DateSerial{LeadingNumber(std::get<std::string>(m_v))};
    }
    default:
        return DateSerial{AsDouble()};
    }
}

Blob Value::AsBinary() const
{
    switch (Type()) {
    case ValueType::Binary:
        return std::get<Blob>(m_v);
    case ValueType::Null:
        return {};
    default: {
        const std::string text = AsText();
        return Blob(text.begin(), text.end());
    }
    }
}

} // namespace pf
