#include "db/JetSql.h"

#include "core/Utf8.h"
#include "db/DbError.h"
#include "db/FieldTypes.h"
#include "db/Value.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <initializer_list>

namespace pf {

namespace {

// The dialect of the translation running on this thread; set for the length of one call of
// TranslateJetSql, so that the rewriting functions need not pass it along.
thread_local SqlDialect t_dialect = SqlDialect::Sqlite;

bool IsServer()
{
    return t_dialect == SqlDialect::Postgres;
}

// The column that addresses one row: SQLite's row id, the server's row version.
const char* RowIdName()
{
    return IsServer() ? "ctid" : "_rowid_";
}

// The server folds unquoted names to lower case and stores every name so: a quoted name must be
// lower case too to find the same object.
std::string ServerName(std::string name)
{
    for (char& c : name)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return name;
}

enum class K { Name, QName, String, Number, Param, Op, Comma, Dot, Group, Raw };

struct Node
{
    K kind;
    std::string text;       // Name: as written; QName: the bare name; String: the value; Number, Op: the text
    std::vector<Node> kids; // Group: its content
};

using List = std::vector<Node>;

[[noreturn]] void SyntaxError(std::string_view jet)
{
    throw DbError(dberr::kSyntax, "Syntaxfehler in Abfrageausdruck '" + std::string(jet) + "'.");
}

bool AsciiEqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char ca = a[i], cb = b[i];
        if (ca >= 'a' && ca <= 'z')
            ca = static_cast<char>(ca - 32);
        if (cb >= 'a' && cb <= 'z')
            cb = static_cast<char>(cb - 32);
        if (ca != cb)
            return false;
    }
    return true;
}

bool IsKw(const Node& n, std::string_view keyword)
{
    return n.kind == K::Name && AsciiEqualsNoCase(n.text, keyword);
}

bool IsAnyKw(const Node& n, std::initializer_list<std::string_view> keywords)
{
    if (n.kind != K::Name)
        return false;
    for (std::string_view k : keywords)
        if (AsciiEqualsNoCase(n.text, k))
            return true;
    return false;
}

bool IsOp(const Node& n, std::string_view op)
{
    return n.kind == K::Op && n.text == op;
}

// Words that cannot be an operand: where an operand scan stops.
bool IsStopWord(const Node& n)
{
    return IsAnyKw(n, {"SELECT", "FROM",   "WHERE",    "AND",         "OR",     "NOT",    "ON",
                       "HAVING", "WHEN",   "THEN",     "ELSE",        "END",    "CASE",   "BETWEEN",
                       "SET",    "BY",     "DISTINCT", "DISTINCTROW", "TOP",    "AS",     "IN",
                       "IS",     "LIKE",   "JOIN",     "INNER",       "LEFT",   "RIGHT",  "OUTER",
                       "ORDER",  "GROUP",  "UNION",    "ALL",         "VALUES", "INTO",   "UPDATE",
                       "DELETE", "INSERT", "EXISTS",   "ASC",         "DESC",   "ESCAPE", "LIMIT"});
}

bool IsOperandName(const Node& n)
{
    return n.kind == K::Name && !IsStopWord(n);
}

bool IsNameLike(const Node& n)
{
    return n.kind == K::QName || IsOperandName(n);
}

// Any name may follow a dot, reserved words included (T_USER.Desc).
bool IsChainPart(const Node& n)
{
    return n.kind == K::Name || n.kind == K::QName;
}

Node MakeName(std::string text)
{
    return Node{K::Name, std::move(text), {}};
}

Node MakeGroup(List kids)
{
    return Node{K::Group, {}, std::move(kids)};
}

// --- tokenizer -------------------------------------------------------------------------------

bool IsNameStart(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}

bool IsNameChar(unsigned char c)
{
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '$';
}

bool ReadNumber(std::string_view s, std::size_t& pos, int& value)
{
    const std::size_t start = pos;
    value = 0;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9' && pos - start < 5)
        value = value * 10 + (s[pos++] - '0');
    return pos > start;
}

void SkipBlanks(std::string_view s, std::size_t& pos)
{
    while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t'))
        ++pos;
}

// The content of a #...# literal as a day serial; false when it is no date.
bool ParseDateLiteral(std::string_view s, double& serial)
{
    std::size_t pos = 0;
    SkipBlanks(s, pos);
    int year = 1899, month = 12, day = 30;
    int a = 0;
    const std::size_t firstStart = pos;
    if (!ReadNumber(s, pos, a))
        return false;
    bool hasTime = false;
    int hour = 0, minute = 0, second = 0;
    if (pos < s.size() && s[pos] == ':') {
        pos = firstStart; // a time alone
    } else {
        if (pos >= s.size())
            return false;
        const char sep = s[pos];
        if (sep != '/' && sep != '-' && sep != '.')
            return false;
        const std::size_t firstLength = pos - firstStart;
        int b = 0, c = 0;
        ++pos;
        if (!ReadNumber(s, pos, b) || pos >= s.size() || s[pos] != sep)
            return false;
        ++pos;
        if (!ReadNumber(s, pos, c))
            return false;
        if (firstLength >= 3) {
            year = a, month = b, day = c;
        } else if (sep == '.') {
            day = a, month = b, year = c;
        } else {
            month = a, day = b, year = c;
            // The engine reads 28/12/2018 as the 28th of December: no month 28 exists.
            if (month > 12 && day <= 12)
                std::swap(month, day);
        }
        if (year < 100)
            year += year < 30 ? 2000 : 1900;
        if (month < 1 || month > 12 || day < 1 || day > 31)
            return false;
        SkipBlanks(s, pos);
    }
    if (pos < s.size()) {
        if (!ReadNumber(s, pos, hour) || pos >= s.size() || s[pos] != ':')
            return false;
        ++pos;
        if (!ReadNumber(s, pos, minute))
            return false;
        if (pos < s.size() && s[pos] == ':') {
            ++pos;
            if (!ReadNumber(s, pos, second))
                return false;
        }
        SkipBlanks(s, pos);
        if (pos + 1 < s.size() && (s[pos + 1] == 'M' || s[pos + 1] == 'm')) {
            const char ap = s[pos];
            if (ap == 'P' || ap == 'p') {
                if (hour < 12)
                    hour += 12;
            } else if (ap == 'A' || ap == 'a') {
                if (hour == 12)
                    hour = 0;
            } else {
                return false;
            }
            pos += 2;
            SkipBlanks(s, pos);
        }
        if (pos != s.size() || hour > 23 || minute > 59 || second > 59)
            return false;
        hasTime = true;
    }
    serial = DateSerial::FromParts(year, month, day, hasTime ? hour : 0, hasTime ? minute : 0,
                                   hasTime ? second : 0)
                 .Days;
    return true;
}

std::string SerialText(double serial)
{
    char buffer[64];
    if (serial == std::trunc(serial) && std::fabs(serial) < 1e15) {
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(serial));
        return std::string(buffer, r.ptr);
    }
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, serial);
    return std::string(buffer, r.ptr);
}

// A token before the groups are built, with '(' and ')' as markers.
struct FlatToken
{
    Node node;
    int paren = 0; // 1 open, -1 close
};

// The text of the quoted literal starting at pos (a doubled quote stands for one); pos ends
// after it.
std::string ReadStringLiteral(std::string_view jet, std::size_t& pos)
{
    const char quote = jet[pos];
    const std::size_t n = jet.size();
    std::string value;
    ++pos;
    while (pos < n) {
        if (jet[pos] == quote) {
            if (pos + 1 < n && jet[pos + 1] == quote) {
                value += quote;
                pos += 2;
                continue;
            }
            ++pos;
            return value;
        }
        value += jet[pos++];
    }
    SyntaxError(jet);
}

// The end of the number starting at pos: digits, a fraction and an exponent.
std::size_t NumberEnd(std::string_view jet, std::size_t pos)
{
    const std::size_t n = jet.size();
    while (pos < n && jet[pos] >= '0' && jet[pos] <= '9')
        ++pos;
    if (pos < n && jet[pos] == '.') {
        ++pos;
        while (pos < n && jet[pos] >= '0' && jet[pos] <= '9')
            ++pos;
    }
    if (pos + 1 < n && (jet[pos] == 'e' || jet[pos] == 'E')) {
        std::size_t look = pos + 1;
        if (look < n && (jet[look] == '+' || jet[look] == '-'))
            ++look;
        if (look < n && jet[look] >= '0' && jet[look] <= '9') {
            pos = look;
            while (pos < n && jet[pos] >= '0' && jet[pos] <= '9')
                ++pos;
        }
    }
    return pos;
}

// The operator at pos (one or two characters); a character that starts none is a syntax error.
std::string ReadOperator(std::string_view jet, std::size_t pos)
{
    const char c = jet[pos];
    std::string op(1, c);
    if (pos + 1 < jet.size()) {
        const char d = jet[pos + 1];
        if ((c == '<' && (d == '>' || d == '=')) || (c == '>' && d == '=') || (c == '!' && d == '=') ||
            (c == '|' && d == '|'))
            op += d;
    }
    static const std::string_view kOps[] = {"=", "<>", "<", ">",  "<=", ">=", "!=", "+",
                                            "-", "*",  "/", "\\", "^",  "&",  "%",  "||"};
    for (std::string_view k : kOps)
        if (op == k)
            return op;
    SyntaxError(jet);
}

// The tree of groups of the flat tokens.
List BuildGroups(std::vector<FlatToken>& flat, std::string_view jet)
{
    std::vector<List> stack(1);
    for (FlatToken& f : flat) {
        if (f.paren == 1) {
            stack.emplace_back();
        } else if (f.paren == -1) {
            if (stack.size() < 2)
                SyntaxError(jet);
            List kids = std::move(stack.back());
            stack.pop_back();
            stack.back().push_back(MakeGroup(std::move(kids)));
        } else {
            stack.back().push_back(std::move(f.node));
        }
    }
    if (stack.size() != 1)
        SyntaxError(jet);
    return std::move(stack.front());
}

List Tokenize(std::string_view jet)
{
    // Flat tokens first; groups are built afterwards.
    using Flat = FlatToken;
    std::vector<Flat> flat;
    int params = 0;
    std::size_t pos = 0;
    const std::size_t n = jet.size();
    auto lastKind = [&]() -> const Flat* { return flat.empty() ? nullptr : &flat.back(); };
    while (pos < n) {
        const auto c = static_cast<unsigned char>(jet[pos]);
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++pos;
            continue;
        }
        if (c == '"' || c == '\'') {
            flat.push_back({Node{K::String, ReadStringLiteral(jet, pos), {}}});
            continue;
        }
        if (c == '[') {
            const std::size_t end = jet.find(']', pos + 1);
            if (end == std::string_view::npos)
                SyntaxError(jet);
            flat.push_back({Node{K::QName, std::string(jet.substr(pos + 1, end - pos - 1)), {}}});
            pos = end + 1;
            continue;
        }
        if (c == '`') {
            const std::size_t end = jet.find('`', pos + 1);
            if (end == std::string_view::npos)
                SyntaxError(jet);
            flat.push_back({Node{K::QName, std::string(jet.substr(pos + 1, end - pos - 1)), {}}});
            pos = end + 1;
            continue;
        }
        if (c == '#') {
            const std::size_t end = jet.find('#', pos + 1);
            double serial = 0;
            if (end == std::string_view::npos ||
                !ParseDateLiteral(jet.substr(pos + 1, end - pos - 1), serial))
                SyntaxError(jet);
            flat.push_back({Node{K::Number, SerialText(serial), {}}});
            pos = end + 1;
            continue;
        }
        const Flat* last = lastKind();
        const bool afterName =
            last && last->paren == 0 && (last->node.kind == K::Name || last->node.kind == K::QName);
        const bool afterClose = last && last->paren == -1;
        if ((c >= '0' && c <= '9') || (c == '.' && pos + 1 < n && jet[pos + 1] >= '0' &&
                                       jet[pos + 1] <= '9' && !afterName && !afterClose)) {
            const std::size_t start = pos;
            pos = NumberEnd(jet, pos);
            flat.push_back({Node{K::Number, std::string(jet.substr(start, pos - start)), {}}});
            continue;
        }
        if (IsNameStart(c)) {
            const std::size_t start = pos;
            while (pos < n && IsNameChar(static_cast<unsigned char>(jet[pos])))
                ++pos;
            flat.push_back({Node{K::Name, std::string(jet.substr(start, pos - start)), {}}});
            continue;
        }
        switch (c) {
        case '(':
            flat.push_back({Node{K::Group, {}, {}}, 1});
            ++pos;
            continue;
        case ')':
            flat.push_back({Node{K::Group, {}, {}}, -1});
            ++pos;
            continue;
        case ',':
            flat.push_back({Node{K::Comma, ",", {}}});
            ++pos;
            continue;
        case '.':
            flat.push_back({Node{K::Dot, ".", {}}});
            ++pos;
            continue;
        case '?':
            // Numbered, so that rewriting may reorder operands (x LIKE ? becomes jetlike(?1, x))
            // without changing which value binds where. ODBC knows only plain markers: there the
            // rewriting keeps the operands in their order.
            ++params;
            flat.push_back({Node{K::Param, IsServer() ? "?" : "?" + std::to_string(params), {}}});
            ++pos;
            continue;
        case ';':
            // A closing semicolon ends the statement; nothing may follow it.
            ++pos;
            while (pos < n && (jet[pos] == ' ' || jet[pos] == '\t' || jet[pos] == '\r' || jet[pos] == '\n'))
                ++pos;
            if (pos != n)
                SyntaxError(jet);
            continue;
        default:
            break;
        }
        std::string op = ReadOperator(jet, pos);
        pos += op.size();
        flat.push_back({Node{K::Op, std::move(op), {}}});
    }

    return BuildGroups(flat, jet);
}

// --- emission --------------------------------------------------------------------------------

void EmitList(const List& list, std::string& out);

void EmitNode(const Node& n, std::string& out)
{
    // The file engine's row id is the server's row version: both order rows as they were stored.
    if (IsServer() && (n.kind == K::Name || n.kind == K::QName) &&
        (AsciiEqualsNoCase(n.text, "rowid") || AsciiEqualsNoCase(n.text, "_rowid_"))) {
        out += RowIdName();
        return;
    }
    switch (n.kind) {
    case K::String:
        out += '\'';
        for (char c : n.text) {
            if (c == '\'')
                out += '\'';
            out += c;
        }
        out += '\'';
        break;
    case K::QName:
        out += '"';
        for (char c : IsServer() ? ServerName(n.text) : n.text) {
            if (c == '"')
                out += '"';
            out += c;
        }
        out += '"';
        break;
    case K::Group:
        out += '(';
        EmitList(n.kids, out);
        out += ')';
        break;
    default:
        out += n.text;
        break;
    }
}

void EmitList(const List& list, std::string& out)
{
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Node& n = list[i];
        if (i > 0) {
            const Node& prev = list[i - 1];
            const bool tight = prev.kind == K::Dot || n.kind == K::Dot || n.kind == K::Comma ||
                               (n.kind == K::Group && prev.kind == K::Name && !IsStopWord(prev));
            if (!tight)
                out += ' ';
        }
        EmitNode(n, out);
    }
}

std::string Emit(const List& list)
{
    std::string out;
    EmitList(list, out);
    return out;
}

List Slice(const List& list, std::size_t begin, std::size_t end)
{
    return List(list.begin() + static_cast<std::ptrdiff_t>(begin),
                list.begin() + static_cast<std::ptrdiff_t>(end));
}

void Append(List& to, const List& from)
{
    to.insert(to.end(), from.begin(), from.end());
}

// --- operand scanning ------------------------------------------------------------------------

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

bool EndsOperand(const Node& n)
{
    return n.kind == K::String || n.kind == K::Number || n.kind == K::Param || n.kind == K::Group ||
           IsNameLike(n);
}

bool IsArithmetic(const Node& n)
{
    return n.kind == K::Op && (n.text == "*" || n.text == "/" || n.text == "\\" || n.text == "^" ||
                               n.text == "%" || n.text == "+" || n.text == "-");
}

// Start of the primary (literal, name chain, group or function call) that ends at j.
std::size_t PrimaryStart(const List& list, std::size_t j)
{
    if (j == kNone || j >= list.size())
        return kNone;
    const Node& n = list[j];
    if (n.kind == K::Group) {
        if (j >= 1 && list[j - 1].kind == K::Name && !IsStopWord(list[j - 1]))
            return j - 1;
        return j;
    }
    if (n.kind == K::String || n.kind == K::Number || n.kind == K::Param)
        return j;
    const bool afterDot = j >= 1 && list[j - 1].kind == K::Dot;
    if (IsNameLike(n) || IsOp(n, "*") || (afterDot && n.kind == K::Name)) {
        std::size_t start = j;
        while (start >= 2 && list[start - 1].kind == K::Dot && IsChainPart(list[start - 2]))
            start -= 2;
        return IsOp(list[start], "*") ? kNone : start;
    }
    return kNone;
}

// Index one past the primary that starts at j.
std::size_t PrimaryEnd(const List& list, std::size_t j)
{
    if (j >= list.size())
        return kNone;
    const Node& n = list[j];
    if (n.kind == K::String || n.kind == K::Number || n.kind == K::Param || n.kind == K::Group)
        return j + 1;
    if (!IsNameLike(n))
        return kNone;
    if (n.kind == K::Name && j + 1 < list.size() && list[j + 1].kind == K::Group)
        return j + 2;
    std::size_t end = j + 1;
    while (end + 1 < list.size() && list[end].kind == K::Dot && IsChainPart(list[end + 1]))
        end += 2;
    return end;
}

// Start of the operand left of the operator at opIndex: primaries joined by arithmetic operators,
// which bind tighter than "&" and LIKE.
std::size_t OperandStart(const List& list, std::size_t opIndex)
{
    if (opIndex == 0)
        return kNone;
    std::size_t start = PrimaryStart(list, opIndex - 1);
    if (start == kNone)
        return kNone;
    while (start >= 1) {
        const Node& before = list[start - 1];
        if (before.kind != K::Op || !IsArithmetic(before))
            break;
        const bool sign = before.text == "+" || before.text == "-";
        if (sign && (start < 2 || !EndsOperand(list[start - 2]))) {
            start -= 1; // a unary sign
            continue;
        }
        if (start < 2)
            break;
        const std::size_t previous = PrimaryStart(list, start - 2);
        if (previous == kNone)
            break;
        start = previous;
    }
    return start;
}

std::size_t OperandEnd(const List& list, std::size_t opIndex)
{
    std::size_t j = opIndex + 1;
    while (j < list.size() && (IsOp(list[j], "-") || IsOp(list[j], "+")))
        ++j;
    std::size_t end = PrimaryEnd(list, j);
    if (end == kNone)
        return kNone;
    while (end < list.size() && IsArithmetic(list[end])) {
        std::size_t k = end + 1;
        while (k < list.size() && (IsOp(list[k], "-") || IsOp(list[k], "+")))
            ++k;
        const std::size_t next = PrimaryEnd(list, k);
        if (next == kNone)
            break;
        end = next;
    }
    return end;
}

// --- expression rewriting --------------------------------------------------------------------

struct FunctionName
{
    std::string_view jet;
    std::string_view sqlite;
};

constexpr FunctionName kFunctions[] = {
    {"UCase", "jet_ucase"}, {"UCase$", "jet_ucase"}, {"LCase", "jet_lcase"}, {"LCase$", "jet_lcase"},
    {"Left", "jet_left"},   {"Left$", "jet_left"},   {"Right", "jet_right"}, {"Right$", "jet_right"},
    {"Mid", "jet_mid"},     {"Mid$", "jet_mid"},     {"Len", "jet_len"},     {"InStr", "jet_instr"},
    {"IIf", "iif"},         {"Nz", "jet_nz"},        {"Val", "jet_val"},     {"CStr", "jet_cstr"},
    {"CLng", "jet_clng"},   {"CInt", "jet_clng"},    {"CDbl", "jet_cdbl"},   {"CCur", "jet_ccur"},
    {"Int", "jet_int"},     {"Fix", "jet_fix"},      {"Now", "jet_now"},     {"Date", "jet_date"},
    {"Year", "jet_year"},   {"Month", "jet_month"},  {"Day", "jet_day"},     {"Trim$", "trim"},
    {"LTrim$", "ltrim"},    {"RTrim$", "rtrim"},
};

void RewriteExpressions(List& list, std::string_view jet);

// The arguments of a call, split at the commas of its group.
std::vector<List> Arguments(const Node& group)
{
    std::vector<List> args(1);
    for (const Node& n : group.kids) {
        if (n.kind == K::Comma)
            args.emplace_back();
        else
            args.back().push_back(n);
    }
    return args;
}

// IIf(c, a, b) and Nz(x, y) in standard SQL: the server types a function's result from its
// arguments, which the polymorphic originals cannot give. False when the call has another shape.
bool RewriteServerFunction(List& list, std::size_t i)
{
    std::vector<List> args = Arguments(list[i + 1]);
    List replacement;
    if (IsKw(list[i], "IIf") && args.size() == 3) {
        replacement.push_back(MakeName("CASE"));
        replacement.push_back(MakeName("WHEN"));
        // A number as condition (a Boolean column) is true when not zero, as in Jet.
        const bool truthValue = std::any_of(args[0].begin(), args[0].end(), [](const Node& n) {
            return (n.kind == K::Op && (n.text == "=" || n.text == "<>" || n.text == "<" || n.text == ">" ||
                                        n.text == "<=" || n.text == ">=")) ||
                   IsAnyKw(n, {"AND", "OR", "NOT", "IS", "LIKE", "IN", "BETWEEN", "EXISTS", "jetlike"});
        });
        replacement.push_back(MakeGroup(std::move(args[0])));
        if (!truthValue) {
            replacement.push_back(Node{K::Op, "<>", {}});
            replacement.push_back(Node{K::Number, "0", {}});
        }
        replacement.push_back(MakeName("THEN"));
        replacement.push_back(MakeGroup(std::move(args[1])));
        replacement.push_back(MakeName("ELSE"));
        replacement.push_back(MakeGroup(std::move(args[2])));
        replacement.push_back(MakeName("END"));
    } else if (IsKw(list[i], "Nz") && args.size() == 2) {
        replacement.push_back(MakeName("COALESCE"));
        replacement.push_back(list[i + 1]);
    } else {
        return false;
    }
    list[i] = MakeGroup(std::move(replacement));
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(i + 1));
    return true;
}

// An operand as the argument of a text function: the server does not turn numbers into text on
// its own, so the operand is cast.
List TextArgument(List operand)
{
    if (!IsServer())
        return operand;
    List cast{MakeGroup(std::move(operand)), MakeName("AS"), MakeName("text")};
    return List{MakeName("CAST"), MakeGroup(std::move(cast))};
}

void RewritePrimitives(List& list)
{
    for (std::size_t i = 0; i < list.size(); ++i) {
        Node& n = list[i];
        if (n.kind != K::Name)
            continue;
        const bool afterDot = i > 0 && list[i - 1].kind == K::Dot;
        const bool beforeDot = i + 1 < list.size() && list[i + 1].kind == K::Dot;
        if (afterDot || beforeDot)
            continue;
        if (IsKw(n, "True")) {
            n = Node{K::Number, "-1", {}};
        } else if (IsKw(n, "False")) {
            n = Node{K::Number, "0", {}};
        } else if (IsKw(n, "Mod")) {
            n = Node{K::Op, "%", {}};
        } else if (IsServer() && i + 1 < list.size() && list[i + 1].kind == K::Group &&
                   (IsKw(n, "IIf") || IsKw(n, "Nz")) && RewriteServerFunction(list, i)) {
            continue;
        } else if (IsServer() && IsKw(n, "json_each") && i + 1 < list.size() && list[i + 1].kind == K::Group) {
            // A bound list of IDs as JSON array: the server reads it as rows of numbers.
            n.text = "jet_idlist";
        } else if (i + 1 < list.size() && list[i + 1].kind == K::Group) {
            for (const FunctionName& f : kFunctions) {
                if (AsciiEqualsNoCase(n.text, f.jet)) {
                    n.text = std::string(f.sqlite);
                    break;
                }
            }
        }
    }
}

void RewriteConcat(List& list, std::string_view jet)
{
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (!IsOp(list[i], "&"))
            continue;
        const std::size_t start = OperandStart(list, i);
        const std::size_t end = OperandEnd(list, i);
        if (start == kNone || end == kNone)
            SyntaxError(jet);
        List args = TextArgument(Slice(list, start, i));
        args.push_back(Node{K::Comma, ",", {}});
        Append(args, TextArgument(Slice(list, i + 1, end)));
        List replacement{MakeName("jetcat"), MakeGroup(std::move(args))};
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(start),
                   list.begin() + static_cast<std::ptrdiff_t>(end));
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(start), replacement.begin(),
                    replacement.end());
        i = start + 1;
    }
}

void RewriteLike(List& list, std::string_view jet)
{
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (!IsKw(list[i], "LIKE"))
            continue;
        const bool negated = i >= 1 && IsKw(list[i - 1], "NOT");
        const std::size_t leftEnd = negated ? i - 1 : i;
        const std::size_t start = OperandStart(list, leftEnd);
        const std::size_t end = OperandEnd(list, i);
        if (start == kNone || end == kNone)
            SyntaxError(jet);
        // jetlike(pattern, value) on the file database, jetlike(value, pattern) on the server.
        List args = TextArgument(Slice(list, IsServer() ? start : i + 1, IsServer() ? leftEnd : end));
        args.push_back(Node{K::Comma, ",", {}});
        Append(args, TextArgument(Slice(list, IsServer() ? i + 1 : start, IsServer() ? end : leftEnd)));
        List replacement{MakeName("jetlike"), MakeGroup(std::move(args))};
        if (negated) {
            replacement.insert(replacement.begin(), MakeName("NOT"));
            replacement = List{MakeGroup(std::move(replacement))};
        }
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(start),
                   list.begin() + static_cast<std::ptrdiff_t>(end));
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(start), replacement.begin(),
                    replacement.end());
        i = start + replacement.size() - 1;
    }
}

// --- clauses ---------------------------------------------------------------------------------

bool ContainsJoin(const List& list, std::size_t begin, std::size_t end)
{
    for (std::size_t i = begin; i < end; ++i) {
        const Node& n = list[i];
        if (IsKw(n, "JOIN"))
            return true;
        if (n.kind == K::Group && !(n.kids.size() > 0 && IsKw(n.kids[0], "SELECT")) &&
            ContainsJoin(n.kids, 0, n.kids.size()))
            return true;
    }
    return false;
}

bool ContainsTopLevel(const List& list, std::size_t begin, std::size_t end, K kind)
{
    for (std::size_t i = begin; i < end; ++i)
        if (list[i].kind == kind)
            return true;
    return false;
}

std::size_t FindKw(const List& list, std::size_t begin, std::size_t end, std::string_view keyword)
{
    for (std::size_t i = begin; i < end && i < list.size(); ++i)
        if (IsKw(list[i], keyword))
            return i;
    return kNone;
}

// End of the clause that starts after begin: the next clause keyword at this level.
std::size_t ClauseEnd(const List& list, std::size_t begin, std::initializer_list<std::string_view> enders)
{
    for (std::size_t i = begin; i < list.size(); ++i)
        if (IsAnyKw(list[i], enders))
            return i;
    return list.size();
}

struct TableRef
{
    Node name; // Name or QName as written
    std::string alias;
};

bool IsJoinWord(const Node& n)
{
    return IsAnyKw(n, {"INNER", "LEFT", "RIGHT", "OUTER", "FULL", "CROSS", "JOIN", "ON", "WHERE", "GROUP",
                       "ORDER", "HAVING", "UNION", "SET", "LIMIT"});
}

// Table references of a FROM clause or a joined UPDATE target, nested groups included.
void CollectTables(const List& list, std::size_t begin, std::size_t end, std::vector<TableRef>& out)
{
    bool expectTable = true;
    bool inOn = false;
    for (std::size_t i = begin; i < end; ++i) {
        const Node& n = list[i];
        if (IsKw(n, "JOIN") || n.kind == K::Comma) {
            expectTable = true;
            inOn = false;
            continue;
        }
        if (IsKw(n, "ON")) {
            inOn = true;
            continue;
        }
        if (inOn)
            continue;
        if (n.kind == K::Group) {
            if (expectTable && !(n.kids.size() > 0 && IsKw(n.kids[0], "SELECT")))
                CollectTables(n.kids, 0, n.kids.size(), out);
            expectTable = false;
            continue;
        }
        if (expectTable && (n.kind == K::Name || n.kind == K::QName)) {
            TableRef ref{n, {}};
            std::size_t k = i + 1;
            if (k < end && IsKw(list[k], "AS"))
                ++k;
            if (k < end && (list[k].kind == K::QName || (list[k].kind == K::Name && !IsJoinWord(list[k])))) {
                ref.alias = list[k].text;
                i = k;
            }
            out.push_back(std::move(ref));
            expectTable = false;
        }
    }
}

// The table that a qualifier (alias or table name) stands for; the first table without one.
const TableRef* ResolveTable(const std::vector<TableRef>& tables, const std::string& qualifier)
{
    if (tables.empty())
        return nullptr;
    if (qualifier.empty())
        return &tables.front();
    for (const TableRef& t : tables)
        if (EqualsNoCase(t.alias, qualifier))
            return &t;
    for (const TableRef& t : tables)
        if (t.alias.empty() && EqualsNoCase(t.name.text, qualifier))
            return &t;
    for (const TableRef& t : tables)
        if (EqualsNoCase(t.name.text, qualifier))
            return &t;
    return nullptr;
}

Node QualifierNode(const TableRef& t)
{
    if (!t.alias.empty())
        return Node{K::QName, t.alias, {}};
    return t.name;
}

// DISTINCTROW and TOP of every SELECT in this list.
void RewriteSelects(List& list, std::string_view jet)
{
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (!IsKw(list[i], "SELECT"))
            continue;
        const std::size_t selectEnd = [&] {
            for (std::size_t k = i + 1; k < list.size(); ++k)
                if (IsKw(list[k], "UNION"))
                    return k;
            return list.size();
        }();
        std::size_t j = i + 1;
        bool distinctRow = false;
        if (j < selectEnd && IsKw(list[j], "DISTINCTROW"))
            distinctRow = true;
        std::size_t topAt = kNone;
        std::string limit;
        const std::size_t topIndex =
            (distinctRow || (j < selectEnd && IsAnyKw(list[j], {"DISTINCT", "ALL"}))) ? j + 1 : j;
        if (topIndex < selectEnd && IsKw(list[topIndex], "TOP")) {
            if (topIndex + 1 >= selectEnd || list[topIndex + 1].kind != K::Number)
                SyntaxError(jet);
            if (topIndex + 2 < selectEnd && IsKw(list[topIndex + 2], "PERCENT"))
                SyntaxError(jet);
            limit = list[topIndex + 1].text;
            topAt = topIndex;
        }
        std::size_t end = selectEnd;
        if (topAt != kNone) {
            list.insert(list.begin() + static_cast<std::ptrdiff_t>(end),
                        {MakeName("LIMIT"), Node{K::Number, limit, {}}});
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(topAt),
                       list.begin() + static_cast<std::ptrdiff_t>(topAt + 2));
            end -= 2;
        }
        if (distinctRow) {
            const std::size_t from = FindKw(list, j, end, "FROM");
            bool joined = false;
            if (from != kNone) {
                const std::size_t fromEnd =
                    ClauseEnd(list, from + 1, {"WHERE", "GROUP", "HAVING", "ORDER", "UNION", "LIMIT"});
                joined = ContainsJoin(list, from + 1, fromEnd) ||
                         ContainsTopLevel(list, from + 1, fromEnd, K::Comma);
            }
            if (joined)
                list[j].text = "DISTINCT";
            else
                list.erase(list.begin() + static_cast<std::ptrdiff_t>(j));
        }
    }
}

// Words the server reserves that Jet lets a statement use as a column name ("SELECT ID, Desc FROM
// T_USER"): where such a word stands as an operand it is quoted. Only a word that cannot be
// anything else there is touched: "ORDER BY x DESC" keeps its keyword.
void QuoteServerReserved(List& list)
{
    static constexpr std::string_view kReserved[] = {
        "desc",      "asc",          "user",       "offset",   "limit",     "only",    "do",
        "window",    "both",         "leading",    "trailing", "placing",   "analyse", "analyze",
        "variadic",  "symmetric",    "asymmetric", "fetch",    "returning", "lateral", "array",
        "collation", "concurrently", "freeze",     "verbose",  "similar",   "ilike",   "overlaps"};
    for (std::size_t i = 0; i < list.size(); ++i) {
        Node& n = list[i];
        if (n.kind != K::Name)
            continue;
        bool reserved = false;
        for (std::string_view word : kReserved)
            reserved = reserved || AsciiEqualsNoCase(n.text, word);
        if (!reserved)
            continue;
        const Node* prev = i > 0 ? &list[i - 1] : nullptr;
        const Node* next = i + 1 < list.size() ? &list[i + 1] : nullptr;
        const bool operandBefore =
            !prev || prev->kind == K::Comma || prev->kind == K::Dot || prev->kind == K::Op ||
            IsAnyKw(*prev, {"SELECT", "DISTINCT", "WHERE", "AND", "OR", "ON", "SET", "NOT"});
        const bool operandAfter =
            !next || next->kind == K::Comma || next->kind == K::Op || next->kind == K::Dot ||
            IsAnyKw(*next, {"FROM", "AS", "AND", "OR", "IS", "LIKE", "IN", "BETWEEN", "WHERE"});
        if ((prev && prev->kind == K::Dot) || (operandBefore && operandAfter))
            n = Node{K::QName, n.text, {}};
    }
}

// Index hints ("INDEXED BY name", "NOT INDEXED") steer the file engine's planner; the server plans
// on its own and knows no such words.
void DropIndexHints(List& list)
{
    for (std::size_t i = 0; i + 1 < list.size();) {
        if (IsKw(list[i], "INDEXED") && IsKw(list[i + 1], "BY") && i + 2 < list.size())
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i),
                       list.begin() + static_cast<std::ptrdiff_t>(i + 3));
        else if (IsKw(list[i], "NOT") && IsKw(list[i + 1], "INDEXED"))
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i),
                       list.begin() + static_cast<std::ptrdiff_t>(i + 2));
        else
            ++i;
    }
}

// The comma-separated parts of list[begin, end) at its own level, empty parts included.
std::vector<List> SplitAtCommas(const List& list, std::size_t begin, std::size_t end)
{
    std::vector<List> parts;
    std::size_t start = begin;
    for (std::size_t k = begin; k <= end; ++k) {
        if (k < end && list[k].kind != K::Comma)
            continue;
        parts.push_back(Slice(list, start, k));
        start = k + 1;
    }
    return parts;
}

// The sort keys of a list, each without ASC or DESC.
std::vector<List> SortKeys(const List& list, std::size_t begin, std::size_t end)
{
    std::vector<List> keys;
    for (List& key : SplitAtCommas(list, begin, end)) {
        if (!key.empty() && IsAnyKw(key.back(), {"ASC", "DESC"}))
            key.pop_back();
        if (!key.empty())
            keys.push_back(std::move(key));
    }
    return keys;
}

// The server sorts a DISTINCT result only by what it selects; the file engine also by other
// columns of the same rows. Sort keys missing from the select list are selected too, after the
// columns the caller reads; they depend on the rows already selected, so no row is added.
void SelectDistinctSortKeys(List& list)
{
    if (list.size() < 2 || !IsKw(list[0], "SELECT") || !IsKw(list[1], "DISTINCT") ||
        FindKw(list, 0, list.size(), "UNION") != kNone)
        return;
    const std::size_t from = FindKw(list, 2, list.size(), "FROM");
    const std::size_t order = FindKw(list, 2, list.size(), "ORDER");
    if (from == kNone || order == kNone || order + 1 >= list.size() || !IsKw(list[order + 1], "BY"))
        return;
    const std::size_t orderEnd = ClauseEnd(list, order + 2, {"LIMIT", "OFFSET"});
    // A column is known by its text and, when it has one, by its alias.
    std::vector<std::string> selected;
    for (const List& item : SortKeys(list, 2, from)) {
        if (IsOp(item.back(), "*"))
            return; // every column of the tables is selected already
        selected.push_back(Emit(item));
        if (item.size() > 2 && IsKw(item[item.size() - 2], "AS"))
            selected.push_back(Emit(Slice(item, item.size() - 1, item.size())));
    }
    List added;
    for (const List& key : SortKeys(list, order + 2, orderEnd)) {
        const std::string text = Emit(key);
        if (std::any_of(selected.begin(), selected.end(),
                        [&](const std::string& column) { return AsciiEqualsNoCase(column, text); }))
            continue;
        selected.push_back(text);
        added.push_back(Node{K::Comma, ",", {}});
        Append(added, key);
    }
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(from), added.begin(), added.end());
}

// Jet sorts Null before every value; the server after. Each sort key says where Null goes.
void RewriteOrderBy(List& list)
{
    for (std::size_t i = 0; i + 1 < list.size(); ++i) {
        if (!IsKw(list[i], "ORDER") || !IsKw(list[i + 1], "BY"))
            continue;
        std::size_t end = i + 2;
        while (end < list.size() && !IsAnyKw(list[end], {"LIMIT", "UNION", "OFFSET"}))
            ++end;
        List result;
        for (List& key : SplitAtCommas(list, i + 2, end)) {
            if (!key.empty() && !IsKw(key.back(), "NULLS") && !IsAnyKw(key.back(), {"FIRST", "LAST"})) {
                const bool descending = IsKw(key.back(), "DESC");
                key.push_back(MakeName("NULLS"));
                key.push_back(MakeName(descending ? "LAST" : "FIRST"));
            }
            if (!result.empty())
                result.push_back(Node{K::Comma, ",", {}});
            Append(result, key);
        }
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(i + 2),
                   list.begin() + static_cast<std::ptrdiff_t>(end));
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(i + 2), result.begin(), result.end());
        i += 1 + result.size();
    }
}

void RewriteExpressions(List& list, std::string_view jet)
{
    for (Node& n : list)
        if (n.kind == K::Group)
            RewriteExpressions(n.kids, jet);
    if (IsServer())
        QuoteServerReserved(list);
    RewritePrimitives(list);
    RewriteConcat(list, jet);
    RewriteLike(list, jet);
    RewriteSelects(list, jet);
    if (IsServer()) {
        DropIndexHints(list);
        SelectDistinctSortKeys(list);
        RewriteOrderBy(list);
    }
}

// --- statements ------------------------------------------------------------------------------

void RewriteDelete(List& list, std::string_view jet)
{
    const std::size_t from = FindKw(list, 1, list.size(), "FROM");
    if (from == kNone)
        SyntaxError(jet);
    // The rows deleted are those of the table named first ("DELETE t.*, u.Col FROM ..." deletes
    // from t; the other columns listed change nothing).
    std::string qualifier;
    for (std::size_t i = 1; i < from; ++i)
        if (list[i].kind == K::Name || list[i].kind == K::QName) {
            qualifier = list[i].text;
            break;
        }
    const std::size_t where = FindKw(list, from + 1, list.size(), "WHERE");
    const std::size_t fromEnd = where == kNone ? list.size() : where;
    if (!ContainsJoin(list, from + 1, fromEnd) && !ContainsTopLevel(list, from + 1, fromEnd, K::Comma)) {
        list.erase(list.begin() + 1, list.begin() + static_cast<std::ptrdiff_t>(from));
        return;
    }
    std::vector<TableRef> tables;
    CollectTables(list, from + 1, fromEnd, tables);
    const TableRef* target = ResolveTable(tables, qualifier);
    if (!target)
        SyntaxError(jet);
    List inner{MakeName("SELECT"), QualifierNode(*target), Node{K::Dot, ".", {}}, MakeName(RowIdName()),
               MakeName("FROM")};
    Append(inner, Slice(list, from + 1, list.size()));
    List result{MakeName("DELETE"),         MakeName("FROM"),      target->name,
                MakeName("WHERE"),          MakeName(RowIdName()), MakeName("IN"),
                MakeGroup(std::move(inner))};
    list = std::move(result);
}

void RewriteUpdate(List& list, std::string_view jet)
{
    // "UPDATE DISTINCTROW ..." changes each row of the target once, as every update here does.
    if (list.size() > 1 && IsAnyKw(list[1], {"DISTINCTROW", "DISTINCT"}))
        list.erase(list.begin() + 1);
    const std::size_t set = FindKw(list, 1, list.size(), "SET");
    if (set == kNone)
        SyntaxError(jet);
    const std::size_t where = FindKw(list, set + 1, list.size(), "WHERE");
    const std::size_t setEnd = where == kNone ? list.size() : where;

    // Split the assignments and strip the table from their targets (SQLite wants bare columns).
    struct Assignment
    {
        std::string qualifier;
        Node column;
        List value;
    };
    std::vector<Assignment> assignments;
    std::size_t start = set + 1;
    for (std::size_t i = set + 1; i <= setEnd; ++i) {
        if (i < setEnd && list[i].kind != K::Comma)
            continue;
        List part = Slice(list, start, i);
        start = i + 1;
        std::size_t eq = kNone;
        for (std::size_t k = 0; k < part.size(); ++k)
            if (IsOp(part[k], "=")) {
                eq = k;
                break;
            }
        if (eq == kNone || eq == 0)
            SyntaxError(jet);
        Assignment a;
        if (eq == 3 && part[1].kind == K::Dot) {
            a.qualifier = part[0].text;
            a.column = part[2];
        } else if (eq == 1) {
            a.column = part[0];
        } else {
            SyntaxError(jet);
        }
        a.value = Slice(part, eq + 1, part.size());
        assignments.push_back(std::move(a));
    }

    const bool joined = ContainsJoin(list, 1, set) || ContainsTopLevel(list, 1, set, K::Comma);
    if (!joined) {
        List result = Slice(list, 0, set + 1);
        for (std::size_t k = 0; k < assignments.size(); ++k) {
            if (k > 0)
                result.push_back(Node{K::Comma, ",", {}});
            result.push_back(assignments[k].column);
            result.push_back(Node{K::Op, "=", {}});
            Append(result, assignments[k].value);
        }
        Append(result, Slice(list, setEnd, list.size()));
        list = std::move(result);
        return;
    }

    std::string qualifier;
    for (const Assignment& a : assignments) {
        if (a.qualifier.empty())
            continue;
        if (!qualifier.empty() && !EqualsNoCase(qualifier, a.qualifier))
            throw DbError(3073, "Operation muss eine aktualisierbare Abfrage verwenden.");
        qualifier = a.qualifier;
    }
    std::vector<TableRef> tables;
    CollectTables(list, 1, set, tables);
    const TableRef* target = ResolveTable(tables, qualifier);
    if (!target)
        SyntaxError(jet);

    List inner{MakeName("SELECT"),    QualifierNode(*target), Node{K::Dot, ".", {}},
               MakeName(RowIdName()), MakeName("AS"),         MakeName("pf_rid")};
    List result{MakeName("UPDATE"), target->name, MakeName("AS"), MakeName("pf_target"), MakeName("SET")};
    for (std::size_t k = 0; k < assignments.size(); ++k) {
        const std::string value = "pf_v" + std::to_string(k + 1);
        inner.push_back(Node{K::Comma, ",", {}});
        inner.push_back(MakeGroup(assignments[k].value));
        inner.push_back(MakeName("AS"));
        inner.push_back(MakeName(value));
        if (k > 0)
            result.push_back(Node{K::Comma, ",", {}});
        result.push_back(assignments[k].column);
        result.push_back(Node{K::Op, "=", {}});
        result.push_back(MakeName("pf_src"));
        result.push_back(Node{K::Dot, ".", {}});
        result.push_back(MakeName(value));
    }
    inner.push_back(MakeName("FROM"));
    Append(inner, Slice(list, 1, set));
    Append(inner, Slice(list, setEnd, list.size()));
    result.push_back(MakeName("FROM"));
    result.push_back(MakeGroup(std::move(inner)));
    for (const char* word : {"AS", "pf_src", "WHERE", "pf_target"})
        result.push_back(MakeName(word));
    result.push_back(Node{K::Dot, ".", {}});
    result.push_back(MakeName(RowIdName()));
    result.push_back(Node{K::Op, "=", {}});
    result.push_back(MakeName("pf_src"));
    result.push_back(Node{K::Dot, ".", {}});
    result.push_back(MakeName("pf_rid"));
    list = std::move(result);
}

// --- table definitions in SQL text -----------------------------------------------------------

// The Jet type names of DDL statements.
bool JetDdlType(std::string_view name, FieldType& type)
{
    struct Entry
    {
        std::string_view name;
        FieldType type;
    };
    static constexpr Entry kTypes[] = {
        {"TEXT", FieldType::Text},
        {"CHAR", FieldType::Text},
        {"VARCHAR", FieldType::Text},
        {"CHARACTER", FieldType::Text},
        {"STRING", FieldType::Text},
        {"NVARCHAR", FieldType::Text},
        {"MEMO", FieldType::Memo},
        {"LONGTEXT", FieldType::Memo},
        {"NOTE", FieldType::Memo},
        {"LONG", FieldType::Long},
        {"INTEGER", FieldType::Long},
        {"INT", FieldType::Long},
        {"INTEGER4", FieldType::Long},
        {"SHORT", FieldType::Integer},
        {"SMALLINT", FieldType::Integer},
        {"INTEGER2", FieldType::Integer},
        {"BYTE", FieldType::Byte},
        {"TINYINT", FieldType::Byte},
        {"INTEGER1", FieldType::Byte},
        {"COUNTER", FieldType::Counter},
        {"AUTOINCREMENT", FieldType::Counter},
        {"SINGLE", FieldType::Single},
        {"REAL", FieldType::Single},
        {"FLOAT4", FieldType::Single},
        {"DOUBLE", FieldType::Double},
        {"FLOAT", FieldType::Double},
        {"FLOAT8", FieldType::Double},
        {"NUMBER", FieldType::Double},
        {"CURRENCY", FieldType::Currency},
        {"MONEY", FieldType::Currency},
        {"DATETIME", FieldType::Date},
        {"DATE", FieldType::Date},
        {"TIME", FieldType::Date},
        {"TIMESTAMP", FieldType::Date},
        {"YESNO", FieldType::Boolean},
        {"BIT", FieldType::Boolean},
        {"LOGICAL", FieldType::Boolean},
        {"BOOLEAN", FieldType::Boolean},
        {"LONGBINARY", FieldType::Binary},
        {"OLEOBJECT", FieldType::Binary},
        {"GENERAL", FieldType::Binary},
        {"BINARY", FieldType::Binary},
    };
    for (const Entry& e : kTypes)
        if (AsciiEqualsNoCase(name, e.name)) {
            type = e.type;
            return true;
        }
    return false;
}

// One column definition "name TYPE[(n)] ...": the type becomes the layer's declared type, text
// gets the JETNOCASE collation and Text(n) its length check, as CreateTable writes them.
void RewriteColumnDefinition(List& def)
{
    if (def.size() < 2 || !(def[0].kind == K::Name || def[0].kind == K::QName) || def[1].kind != K::Name ||
        IsAnyKw(def[0], {"CONSTRAINT", "PRIMARY", "UNIQUE", "FOREIGN", "CHECK"}))
        return;
    FieldType type{};
    if (!JetDdlType(def[1].text, type))
        return;
    int size = 0;
    std::size_t typeEnd = 2;
    if (def.size() > 2 && def[2].kind == K::Group && !def[2].kids.empty() &&
        def[2].kids[0].kind == K::Number) {
        size = std::atoi(def[2].kids[0].text.c_str());
        typeEnd = 3;
    }
    if (type == FieldType::Text && size <= 0)
        size = 255;
    std::string declared = IsServer() ? ServerDeclaredType(type, size) : DeclaredType(type, size);
    if (IsTextType(type))
        declared += IsServer() ? " COLLATE jetnocase" : " COLLATE JETNOCASE";
    def.erase(def.begin() + 1, def.begin() + static_cast<std::ptrdiff_t>(typeEnd));
    def.insert(def.begin() + 1, Node{K::Raw, declared, {}});
    // The server's VARCHAR(n) checks the length itself.
    if (type == FieldType::Text && !IsServer()) {
        const Node name{K::QName, def[0].text, {}};
        std::string check = "CONSTRAINT ";
        EmitNode(Node{K::QName, "pf_len_" + def[0].text, {}}, check);
        check += " CHECK (length(";
        EmitNode(name, check);
        check += ") <= " + std::to_string(size) + ")";
        def.push_back(Node{K::Raw, check, {}});
    }
}

// The server keeps names in lower case; a comment on the object keeps the name as written.
std::string NameComment(const std::string& object, const std::string& name)
{
    std::string out = "COMMENT ON " + object + " IS ";
    EmitNode(Node{K::String, name, {}}, out);
    return out;
}

std::string QuotedServerName(const std::string& name)
{
    std::string out;
    EmitNode(Node{K::QName, name, {}}, out);
    return out;
}

void RewriteDefinitionList(List& kids, const std::string& table, std::vector<std::string>& follow)
{
    List result;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= kids.size(); ++i) {
        if (i < kids.size() && kids[i].kind != K::Comma)
            continue;
        List def = Slice(kids, start, i);
        if (IsServer() && !def.empty()) {
            if (IsKw(def[0], "CONSTRAINT") && def.size() > 1) {
                // Constraint indexes are named per schema on the server: "table.name".
                const std::string name = def[1].text;
                def[1] = Node{K::QName, table + "." + name, {}};
                follow.push_back(NameComment("INDEX " + QuotedServerName(table + "." + name), name));
            } else if ((def[0].kind == K::Name || def[0].kind == K::QName) &&
                       !IsAnyKw(def[0], {"PRIMARY", "UNIQUE", "FOREIGN", "CHECK"})) {
                follow.push_back(NameComment(
                    "COLUMN " + QuotedServerName(table) + "." + QuotedServerName(def[0].text), def[0].text));
            }
        }
        RewriteColumnDefinition(def);
        if (!result.empty())
            result.push_back(Node{K::Comma, ",", {}});
        Append(result, def);
        start = i + 1;
    }
    kids = std::move(result);
}

// CREATE TABLE, ALTER TABLE ... ADD, CREATE INDEX and DROP INDEX ... ON in the Jet dialect.
void RewriteDefinition(List& list, std::vector<std::string>& follow)
{
    if (IsKw(list[0], "CREATE") && list.size() >= 4 && IsKw(list[1], "TABLE") && list[3].kind == K::Group) {
        if (IsServer())
            follow.push_back(NameComment("TABLE " + QuotedServerName(list[2].text), list[2].text));
        RewriteDefinitionList(list[3].kids, list[2].text, follow);
        return;
    }
    if (IsKw(list[0], "ALTER") && list.size() >= 5 && IsKw(list[1], "TABLE") && IsKw(list[3], "ADD")) {
        std::size_t at = IsKw(list[4], "COLUMN") ? 5 : 4;
        List def = Slice(list, at, list.size());
        if (IsServer() && !def.empty())
            follow.push_back(
                NameComment("COLUMN " + QuotedServerName(list[2].text) + "." + QuotedServerName(def[0].text),
                            def[0].text));
        RewriteColumnDefinition(def);
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(at), list.end());
        if (at == 4)
            list.push_back(MakeName("COLUMN"));
        Append(list, def);
        return;
    }
    // Index names are per table in the engine and per file in SQLite: stored as "table.name".
    const bool unique = list.size() > 1 && IsKw(list[1], "UNIQUE");
    const std::size_t indexAt = unique ? 2 : 1;
    if (IsKw(list[0], "CREATE") && list.size() > indexAt + 3 && IsKw(list[indexAt], "INDEX") &&
        IsKw(list[indexAt + 2], "ON")) {
        Node& name = list[indexAt + 1];
        if (IsServer())
            follow.push_back(NameComment(
                "INDEX " + QuotedServerName(list[indexAt + 3].text + "." + name.text), name.text));
        name = Node{K::QName, list[indexAt + 3].text + "." + name.text, {}};
        // WITH PRIMARY / DISALLOW NULL / IGNORE NULL have no counterpart on an existing table.
        const std::size_t with = FindKw(list, indexAt + 4, list.size(), "WITH");
        if (with != kNone) {
            if (FindKw(list, with, list.size(), "PRIMARY") != kNone && !unique)
                list.insert(list.begin() + 1, MakeName("UNIQUE"));
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(FindKw(list, 0, list.size(), "WITH")),
                       list.end());
        }
        return;
    }
    if (IsKw(list[0], "DROP") && list.size() == 5 && IsKw(list[1], "INDEX") && IsKw(list[3], "ON")) {
        list =
            List{MakeName("DROP"), MakeName("INDEX"), Node{K::QName, list[4].text + "." + list[2].text, {}}};
        return;
    }
}

bool IsAggregate(const Node& n)
{
    return IsAnyKw(
        n, {"COUNT", "SUM", "MIN", "MAX", "AVG", "FIRST", "LAST", "STDEV", "VAR", "TOTAL", "GROUP_CONCAT"});
}

bool HasParam(const List& list)
{
    for (const Node& n : list)
        if (n.kind == K::Param || (n.kind == K::Group && HasParam(n.kids)))
            return true;
    return false;
}

void AnalyseSelect(const List& list, JetTranslation& t)
{
    const std::size_t from = FindKw(list, 1, list.size(), "FROM");
    if (from == kNone)
        return;
    const std::size_t fromEnd =
        ClauseEnd(list, from + 1, {"WHERE", "GROUP", "HAVING", "ORDER", "UNION", "LIMIT"});
    std::vector<TableRef> tables;
    CollectTables(list, from + 1, fromEnd, tables);
    for (const TableRef& ref : tables)
        if (!ref.alias.empty())
            t.Aliases.emplace_back(ref.alias, ref.name.text);

    // Editable: one plain table, no grouping, no DISTINCT, no aggregate, no parameter among the
    // selected columns (the refetch by row id could not bind it).
    if (tables.size() != 1 || ContainsJoin(list, from + 1, fromEnd) ||
        ContainsTopLevel(list, from + 1, fromEnd, K::Comma) ||
        ContainsTopLevel(list, from + 1, fromEnd, K::Group))
        return;
    if (IsAnyKw(list[1], {"DISTINCT"}))
        return;
    for (std::size_t i = from; i < list.size(); ++i)
        if (IsAnyKw(list[i], {"GROUP", "HAVING", "UNION"}))
            return;
    const List columns = Slice(list, 1, from);
    if (HasParam(columns))
        return;
    for (std::size_t i = 0; i + 1 < columns.size(); ++i)
        if (IsAggregate(columns[i]) && columns[i + 1].kind == K::Group)
            return;

    t.Table = tables.front().name.text;
    List editable = Slice(list, 0, from);
    editable.push_back(Node{K::Comma, ",", {}});
    editable.push_back(MakeName(RowIdName()));
    Append(editable, Slice(list, from, list.size()));
    t.EditableSql = Emit(editable);

    List refetch = Slice(list, 0, from);
    refetch.push_back(Node{K::Comma, ",", {}});
    refetch.push_back(MakeName(RowIdName()));
    Append(refetch, Slice(list, from, fromEnd));
    refetch.push_back(MakeName("WHERE"));
    refetch.push_back(MakeName(RowIdName()));
    refetch.push_back(Node{K::Op, "=", {}});
    refetch.push_back(Node{K::Param, "?", {}});
    t.RefetchSql = Emit(refetch);
}

} // namespace

JetTranslation TranslateJetSql(std::string_view jet, SqlDialect dialect)
{
    struct DialectScope
    {
        explicit DialectScope(SqlDialect d) : previous(t_dialect) { t_dialect = d; }
        ~DialectScope() { t_dialect = previous; }
        SqlDialect previous;
    } scope(dialect);
    List list = Tokenize(jet);
    JetTranslation t;
    if (list.empty())
        SyntaxError(jet);
    // A bare table name opens the whole table, as a recordset over a table definition does.
    if (list.size() == 1 && (list[0].kind == K::QName || (list[0].kind == K::Name && !IsStopWord(list[0])))) {
        Node table = list[0];
        list = List{MakeName("SELECT"), Node{K::Op, "*", {}}, MakeName("FROM"), table};
    }
    RewriteExpressions(list, jet);
    if (IsKw(list[0], "SELECT")) {
        t.Kind = StatementKind::Select;
        AnalyseSelect(list, t);
    } else if (IsKw(list[0], "PRAGMA")) {
        t.Kind = StatementKind::Pragma;
    } else if (IsKw(list[0], "DELETE")) {
        t.Kind = StatementKind::Delete;
        RewriteDelete(list, jet);
    } else if (IsKw(list[0], "UPDATE")) {
        t.Kind = StatementKind::Update;
        RewriteUpdate(list, jet);
    } else if (IsKw(list[0], "INSERT")) {
        t.Kind = StatementKind::Insert;
    } else if (IsAnyKw(list[0], {"CREATE", "ALTER", "DROP"})) {
        RewriteDefinition(list, t.Follow);
    }
    t.Sql = Emit(list);
    if (IsServer())
        t.Table = ServerName(t.Table);
    return t;
}

} // namespace pf
