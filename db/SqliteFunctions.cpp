#include "db/SqliteFunctions.h"

#include "core/Utf8.h"
#include "db/JetLike.h"
#include "db/JetText.h"
#include "db/Value.h"

#include <charconv>
#include <cmath>
#include <ctime>
#include <string>
#include <string_view>

namespace pf {

namespace {

std::string_view TextArg(sqlite3_value* v)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return text ? std::string_view(text, static_cast<std::size_t>(sqlite3_value_bytes(v)))
                : std::string_view();
}

// Text of a value as the engine shows it: whole doubles without ".0" (SQLite writes 4.0).
std::string TextOf(sqlite3_value* v)
{
    if (sqlite3_value_type(v) == SQLITE_FLOAT)
        return Value(sqlite3_value_double(v)).AsText();
    return std::string(TextArg(v));
}

bool IsNull(sqlite3_value* v)
{
    return sqlite3_value_type(v) == SQLITE_NULL;
}

void ResultText(sqlite3_context* ctx, const std::string& text)
{
    sqlite3_result_text64(ctx, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

// Numbers of either storage class; numeric text by its leading number.
double NumberArg(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return static_cast<double>(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
        return sqlite3_value_double(v);
    case SQLITE_TEXT:
        return LeadingNumber(TextArg(v));
    default:
        return 0;
    }
}

void JetLikeFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (IsNull(argv[0]) || IsNull(argv[1])) {
        sqlite3_result_null(ctx);
        return;
    }
    // The compiled pattern stays with the statement while the pattern argument is a constant.
    auto* pattern = static_cast<JetLikePattern*>(sqlite3_get_auxdata(ctx, 0));
    if (!pattern) {
        try {
            pattern = new JetLikePattern(TextArg(argv[0]));
        } catch (const JetPatternError&) {
            sqlite3_result_error(ctx, "pf:pattern", -1);
            return;
        }
        sqlite3_set_auxdata(ctx, 0, pattern, [](void* p) { delete static_cast<JetLikePattern*>(p); });
        pattern = static_cast<JetLikePattern*>(sqlite3_get_auxdata(ctx, 0));
        if (!pattern) { // not kept: match with a temporary
            try {
                sqlite3_result_int(ctx, JetLike(TextArg(argv[0]), TextOf(argv[1])) ? 1 : 0);
            } catch (const JetPatternError&) {
                sqlite3_result_error(ctx, "pf:pattern", -1);
            }
            return;
        }
    }
    if (sqlite3_value_type(argv[1]) == SQLITE_FLOAT)
        sqlite3_result_int(ctx, pattern->Matches(TextOf(argv[1])) ? 1 : 0);
    else
        sqlite3_result_int(ctx, pattern->Matches(TextArg(argv[1])) ? 1 : 0);
}

void JetCat(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (IsNull(argv[0]) && IsNull(argv[1])) {
        sqlite3_result_null(ctx);
        return;
    }
    std::string out = TextOf(argv[0]);
    out += TextOf(argv[1]);
    ResultText(ctx, out);
}

void UCase(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (IsNull(argv[0]))
        return sqlite3_result_null(ctx);
    ResultText(ctx, ToUpper(TextArg(argv[0])));
}

void LCase(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (IsNull(argv[0]))
        return sqlite3_result_null(ctx);
    ResultText(ctx, ToLower(TextArg(argv[0])));
}

std::size_t CountArg(sqlite3_value* v)
{
    const double n = NumberArg(v);
    return n <= 0 ? 0 : static_cast<std::size_t>(n);
}

void Left(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (IsNull(argv[0]))
        return sqlite3_result_null(ctx);
    ResultText(ctx, CharSubstr(TextArg(argv[0]), 0, CountArg(argv[1])));
}

void Right(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (IsNull(argv[0]))
        return sqlite3_result_null(ctx);
    const std::string_view text = TextArg(argv[0]);
    const std::size_t length = CharLength(text);
    const std::size_t count = CountArg(argv[1]);
    ResultText(ctx, CharSubstr(text, count >= length ? 0 : length - count));
}

void Mid(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (IsNull(argv[0]))
        return sqlite3_result_null(ctx);
    const std::size_t start = CountArg(argv[1]);
    const std::size_t count = argc > 2 ? CountArg(argv[2]) : std::string::npos;
    ResultText(ctx, CharSubstr(TextArg(argv[0]), start > 0 ? start - 1 : 0, count));
}

void Len(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (IsNull(argv[0]))
        return sqlite3_result_null(ctx);
    sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(CharLength(TextArg(argv[0]))));
}

// InStr([start,] text, search): 1-based character position, 0 when absent; case is ignored as in
// the engine's text comparison.
void InStr(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    std::size_t start = 1;
    int first = 0;
    if (argc == 3) {
        start = CountArg(argv[0]);
        if (start == 0)
            start = 1;
        first = 1;
    }
    if (IsNull(argv[first]) || IsNull(argv[first + 1]))
        return sqlite3_result_null(ctx);
    const std::string text = ToLower(TextArg(argv[first]));
    const std::string search = ToLower(TextArg(argv[first + 1]));
    const std::string tail = CharSubstr(text, start - 1);
    const std::size_t at = tail.find(search);
    if (at == std::string::npos)
        return sqlite3_result_int64(ctx, 0);
    const auto position = start + CharLength(std::string_view(tail).substr(0, at));
    sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(position));
}

void Nz(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (!IsNull(argv[0]))
        return sqlite3_result_value(ctx, argv[0]);
    if (argc > 1)
        return sqlite3_result_value(ctx, argv[1]);
    sqlite3_result_text(ctx, "", 0, SQLITE_STATIC);
}

void ResultNumber(sqlite3_context* ctx, double d)
{
    if (d == std::trunc(d) && std::fabs(d) < 9e18)
        sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(d));
    else
        sqlite3_result_double(ctx, d);
}

void Val(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (IsNull(argv[0]))
        return sqlite3_result_null(ctx);
    ResultNumber(ctx, NumberArg(argv[0]));
}

void CStr(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (IsNull(argv[0]))
        return sqlite3_result_null(ctx);
    ResultText(ctx, TextOf(argv[0]));
}

void CLng(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (IsNull(argv[0]))
        return sqlite3_result_null(ctx);
    sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(std::nearbyint(NumberArg(argv[0]))));
}

void CDbl(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (IsNull(argv[0]))
        return sqlite3_result_null(ctx);
    sqlite3_result_double(ctx, NumberArg(argv[0]));
}

void CCur(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (IsNull(argv[0]))
        return sqlite3_result_null(ctx);
    sqlite3_result_double(ctx, Decimal4::FromDouble(NumberArg(argv[0])).ToDouble());
}

void Int(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (IsNull(argv[0]))
        return sqlite3_result_null(ctx);
    ResultNumber(ctx, std::floor(NumberArg(argv[0])));
}

void Fix(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (IsNull(argv[0]))
        return sqlite3_result_null(ctx);
    ResultNumber(ctx, std::trunc(NumberArg(argv[0])));
}

DateSerial LocalNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return DateSerial::FromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                 local.tm_min, local.tm_sec);
}

void Now(sqlite3_context* ctx, int, sqlite3_value**)
{
    sqlite3_result_double(ctx, LocalNow().Days);
}

void Today(sqlite3_context* ctx, int, sqlite3_value**)
{
    sqlite3_result_double(ctx, std::floor(LocalNow().Days));
}

template <int Part> void DatePart(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (IsNull(argv[0]))
        return sqlite3_result_null(ctx);
    int y = 0, m = 0, d = 0, hh = 0, mm = 0, ss = 0;
    DateSerial{NumberArg(argv[0])}.ToParts(y, m, d, hh, mm, ss);
    sqlite3_result_int(ctx, Part == 0 ? y : (Part == 1 ? m : d));
}

int CompareJet(void*, int lengthA, const void* a, int lengthB, const void* b)
{
    return JetCompare(std::string_view(static_cast<const char*>(a), static_cast<std::size_t>(lengthA)),
                      std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(lengthB)));
}

} // namespace

int RegisterJetFunctions(sqlite3* db)
{
    using Fn = void (*)(sqlite3_context*, int, sqlite3_value**);
    struct Entry
    {
        const char* name;
        int args;
        Fn fn;
        bool deterministic;
    };
    const Entry entries[] = {
        {"jetlike", 2, JetLikeFunction, true},
        {"jetcat", 2, JetCat, true},
        {"jet_ucase", 1, UCase, true},
        {"jet_lcase", 1, LCase, true},
        {"jet_left", 2, Left, true},
        {"jet_right", 2, Right, true},
        {"jet_mid", 2, Mid, true},
        {"jet_mid", 3, Mid, true},
        {"jet_len", 1, Len, true},
        {"jet_instr", 2, InStr, true},
        {"jet_instr", 3, InStr, true},
        {"jet_nz", 1, Nz, true},
        {"jet_nz", 2, Nz, true},
        {"jet_val", 1, Val, true},
        {"jet_cstr", 1, CStr, true},
        {"jet_clng", 1, CLng, true},
        {"jet_cdbl", 1, CDbl, true},
        {"jet_ccur", 1, CCur, true},
        {"jet_int", 1, Int, true},
        {"jet_fix", 1, Fix, true},
        {"jet_now", 0, Now, false},
        {"jet_date", 0, Today, false},
        {"jet_year", 1, DatePart<0>, true},
        {"jet_month", 1, DatePart<1>, true},
        {"jet_day", 1, DatePart<2>, true},
    };
    for (const Entry& e : entries) {
        const int flags = SQLITE_UTF8 | (e.deterministic ? SQLITE_DETERMINISTIC : 0);
        const int rc =
            sqlite3_create_function_v2(db, e.name, e.args, flags, nullptr, e.fn, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            return rc;
    }
    return sqlite3_create_collation_v2(db, "JETNOCASE", SQLITE_UTF8, nullptr, CompareJet, nullptr);
}

} // namespace pf
