#include "db/BaseData.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Messages.h"
#include "core/Settings.h"
#include "core/TextConv.h"
#include "core/Trim.h"
#include "core/Utf8.h"
#include "db/Recordset.h"
#include "db/SchemaVersion.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace pf {

namespace {

const char* const kCrLf = "\r\n";
constexpr std::size_t kShownLineChars = 160;
constexpr long kCounterStep = 100; // rows between two counter updates

// A line the import cannot use; the description goes into the error message.
struct LineError
{
    std::string Description;
};

// Lexicon areas chosen by the bits 8 to 256 of the export mask. Bit 64 also selects T_GERAET, so
// it stands for the utensil area.
struct LexiconBit
{
    long Bit;
    int Area;
};
constexpr std::array<LexiconBit, 6> kLexiconAreas{{{8, 0}, {16, 1}, {32, 5}, {64, 2}, {128, 3}, {256, 6}}};

std::string Bracket(const std::string& name)
{
    return "[" + name + "]";
}

std::string NumberText(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::vector<std::string_view> SplitTabs(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        if (tab == std::string_view::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

// The field text without its surrounding double quotes; quoted tells whether there were any.
std::string_view Unquote(std::string_view field, bool& quoted)
{
    quoted = field.size() >= 2 && field.front() == '"' && field.back() == '"';
    return quoted ? field.substr(1, field.size() - 2) : field;
}

std::string EncodeField(const Value& value, FieldType type)
{
    if (value.IsNull())
        return {};
    switch (type) {
    case FieldType::Text:
        return "\"" + EncodeBaseDataText(value.AsText()) + "\"";
    case FieldType::Memo:
        return "\"" + EncodeBase64(value.AsText()) + "\"";
    case FieldType::Binary: {
        const Blob blob = value.AsBinary();
        return "\"" + EncodeBase64(std::string(blob.begin(), blob.end())) + "\"";
    }
    case FieldType::Boolean:
        return value.AsBool() ? "True" : "False";
    case FieldType::Date:
        return std::to_string(static_cast<long long>(std::floor(value.AsDate().Days)));
    case FieldType::Currency:
        return value.AsCurrency().ToString();
    case FieldType::Single:
    case FieldType::Double:
        return NumberText(value.AsDouble());
    default:
        return std::to_string(value.AsLong());
    }
}

double ReadNumber(std::string_view text)
{
    const std::string trimmed = std::string(Trim(text, kWhiteSpace));
    double value = 0;
    const auto result = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
    if (result.ec == std::errc() && result.ptr == trimmed.data() + trimmed.size())
        return value;
    return LeadingNumber(trimmed);
}

long long ReadWhole(std::string_view text)
{
    const std::string trimmed = std::string(Trim(text, kWhiteSpace));
    long long value = 0;
    const auto result = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
    if (result.ec == std::errc() && result.ptr == trimmed.data() + trimmed.size())
        return value;
    return std::llround(LeadingNumber(trimmed));
}

Value DecodeField(std::string_view field, const FieldDef& column)
{
    if (field.empty())
        return {};
    bool quoted = false;
    switch (column.Type) {
    case FieldType::Text:
        // Every column of our back ends accepts an empty text, so "" stays an empty text; only an
        // empty field (no quotes) is no value.
        return Value(DecodeBaseDataText(Unquote(field, quoted)));
    case FieldType::Memo:
    case FieldType::Binary: {
        std::string bytes;
        if (!DecodeBase64(Unquote(field, quoted), bytes))
            throw LineError{"Der Wert der Spalte \"" + column.Name + "\" ist kein gültiger Base64-Text."};
        if (column.Type == FieldType::Memo)
            return Value(std::move(bytes));
        return Value(Blob(bytes.begin(), bytes.end()));
    }
    case FieldType::Boolean:
        return Value(SettingToBool(std::string(Trim(field, kWhiteSpace))));
    case FieldType::Date:
        return Value(DateSerial{static_cast<double>(ReadWhole(field))});
    case FieldType::Currency:
        return Value(Decimal4::Parse(std::string(Trim(field, kWhiteSpace))));
    case FieldType::Single:
    case FieldType::Double:
        return Value(ReadNumber(field));
    default:
        return Value(ReadWhole(field));
    }
}

// Progress shown in the status line when no progress window is given.
class StatusProgress : public BaseDataProgress
{
public:
    void SetPercent(int percent) override
    {
        m_percent = percent;
        Show();
    }
    void SetCounter(long counter) override
    {
        m_counter = counter;
        Show();
    }
    void SetLabel(const std::string& text) override
    {
        m_label = text;
        m_counter = 0;
        Show();
    }

private:
    void Show() { ShowProgress(100, m_percent, m_label + " " + std::to_string(m_counter)); }

    std::string m_label;
    long m_counter = 0;
    int m_percent = 0;
};

// The table a header line names, with its columns in the order of the header.
struct ImportTable
{
    std::string Name;
    std::vector<FieldDef> Columns;
    std::string InsertSql;
    long Rows = 0;
};

ImportTable OpenImportTable(Database& db, const std::vector<std::string_view>& header)
{
    ImportTable table;
    table.Name = std::string(Trim(header[0], kWhiteSpace));
    const std::vector<FieldDef> fields = db.Fields(table.Name);
    std::string names;
    std::string marks;
    for (std::size_t i = 1; i < header.size(); ++i) {
        const std::string name = std::string(Trim(header[i], kWhiteSpace));
        const FieldDef* found = nullptr;
        for (const FieldDef& field : fields)
            if (EqualsNoCase(field.Name, name))
                found = &field;
        if (!found)
            throw LineError{"Die Tabelle \"" + table.Name + "\" hat keine Spalte \"" + name + "\"."};
        table.Columns.push_back(*found);
        names += (names.empty() ? "" : ", ") + Bracket(found->Name);
        marks += marks.empty() ? "?" : ", ?";
    }
    if (table.Columns.empty())
        throw LineError{"Die Kopfzeile der Tabelle \"" + table.Name + "\" nennt keine Spalten."};
    table.InsertSql = "INSERT INTO " + Bracket(table.Name) + " (" + names + ") VALUES (" + marks + ")";
    return table;
}

void ShowImportError(long lineNumber, const std::string& line, const std::string& description)
{
    const std::string text =
        "Beim Erstellen der Datenbank ist, eventuell durch eine korrupte \"INIT.ZIP\" Datei, in Zeile " +
        std::to_string(lineNumber) + " der folgende Fehler aufgetreten:" + kCrLf + description + kCrLf +
        "Die fehlerhafte Importzeile beginnt mit folgendem Text:" + kCrLf +
        CharSubstr(line, 0, kShownLineChars) + kCrLf + "Bitte die Fehlermeldung an den " + "Pfannola" +
        " Support melden!";
    UI().Inform(text, MsgIcon::Critical, "Fehler beim Erstellen einer neuen Datenbank");
}

} // namespace

std::string EncodeBaseDataText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 32 || c == '"' || c == '\\') {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\%03u", static_cast<unsigned>(code));
            out += buffer;
        } else {
            out += c;
        }
    }
    return out;
}

std::string DecodeBaseDataText(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string_view digits = field.substr(i + 1, 3);
            if (std::isdigit(static_cast<unsigned char>(digits[0])) &&
                std::isdigit(static_cast<unsigned char>(digits[1])) &&
                std::isdigit(static_cast<unsigned char>(digits[2]))) {
                const int code = (digits[0] - '0') * 100 + (digits[1] - '0') * 10 + (digits[2] - '0');
                if (code < 256) {
                    // A code above 127 names a Windows-1252 character; the text stays UTF-8.
                    const std::string character(1, static_cast<char>(code));
                    out += code < 128 ? character : Win1252ToUtf8(character);
                    i += 3;
                    continue;
                }
            }
        }
        out += field[i];
    }
    return out;
}

std::string EncodeBase64(std::string_view bytes)
{
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned n = static_cast<unsigned>(static_cast<unsigned char>(bytes[i])) << 16 |
                           static_cast<unsigned>(static_cast<unsigned char>(bytes[i + 1])) << 8 |
                           static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[n >> 18 & 63];
        out += kAlphabet[n >> 12 & 63];
        out += kAlphabet[n >> 6 & 63];
        out += kAlphabet[n & 63];
    }
    if (i < bytes.size()) {
        unsigned n = static_cast<unsigned>(static_cast<unsigned char>(bytes[i])) << 16;
        if (i + 1 < bytes.size())
            n |= static_cast<unsigned>(static_cast<unsigned char>(bytes[i + 1])) << 8;
        out += kAlphabet[n >> 18 & 63];
        out += kAlphabet[n >> 12 & 63];
        out += i + 1 < bytes.size() ? kAlphabet[n >> 6 & 63] : '=';
        out += '=';
    }
    return out;
}

int Base64Value(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

bool DecodeBase64(std::string_view text, std::string& bytes)
{
    bytes.clear();
    unsigned buffer = 0;
    int bits = 0;
    std::size_t padding = 0;
    std::size_t symbols = 0;
    for (const char c : text) {
        const int value = Base64Value(c);
        if (c == '=') {
            ++padding;
            ++symbols;
            continue;
        }
        if (value < 0)
            return false;
        if (padding > 0)
            return false; // data after the padding
        ++symbols;
        buffer = (buffer << 6 | static_cast<unsigned>(value)) & 0xFFFFFF;
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes += static_cast<char>(buffer >> bits & 0xFF);
        }
    }
    return symbols % 4 == 0 && padding <= 2;
}

std::vector<BaseDataTable> BaseDataTables(long mask)
{
    std::vector<BaseDataTable> tables;
    if (mask & basedata::kCategories)
        tables.insert(tables.end(), {{"T_CAT_TYPE", ""}, {"T_CAT", ""}});
    if (mask & basedata::kUnits)
        tables.insert(tables.end(), {{"T_UNIT", ""}, {"T_REZ_KOPFEINHEIT", ""}});
    if (mask & basedata::kNutrition)
        tables.insert(tables.end(), {{"T_BLS_DAT", ""},
                                     {"T_BLS_FDESC", ""},
                                     {"T_BLS_INFO", ""},
                                     {"T_BLS_KEY", ""},
                                     {"T_BLS_TREE", ""}});
    if (mask & basedata::kLexiconBits) {
        std::string areas;
        for (const LexiconBit& entry : kLexiconAreas)
            if (mask & entry.Bit)
                areas += (areas.empty() ? "" : ",") + std::to_string(entry.Area);
        tables.push_back({"T_INFO_KEY", "KEYTYPE IN (" + areas + ")"});
        tables.push_back({"T_LEXIKON", "Type IN (" + areas + ")"});
    }
    if (mask & basedata::kUtensils)
        tables.push_back({"T_GERAET", ""});
    return tables;
}

bool ExportBaseData(Database& db, const std::string& file, long mask, BaseDataProgress* progress,
                    const std::string& dateText)
{
    StatusProgress statusProgress;
    BaseDataProgress& shown = progress ? *progress : statusProgress;
    Interaction& ui = UI();
    try {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        if (!out)
            throw DbError(75, "Die Datei \"" + file + "\" kann nicht geschrieben werden.", {},
                          "ExportBaseData");
        out << kBaseDataHeader << kCrLf;
        out << "VERSION\t" << AppContext::Current().VersionText << "\t"
            << (dateText.empty() ? ShortDateText(NowSerial()) : dateText) << kCrLf;

        const std::vector<BaseDataTable> tables = BaseDataTables(mask);
        for (std::size_t t = 0; t < tables.size(); ++t) {
            const BaseDataTable& table = tables[t];
            if (db.TableExists(table.Name)) {
                shown.SetLabel(table.Name);
                const std::vector<FieldDef> fields = db.Fields(table.Name);
                std::string orderBy;
                for (const IndexDef& index : db.Indexes(table.Name))
                    if (index.Primary)
                        for (const std::string& column : index.Columns)
                            orderBy += (orderBy.empty() ? " ORDER BY " : ",") + Bracket(column);
                out << table.Name;
                for (const FieldDef& field : fields)
                    out << '\t' << field.Name;
                out << kCrLf;
                auto rs =
                    db.OpenRecordset("SELECT * FROM " + Bracket(table.Name) +
                                     (table.Condition.empty() ? "" : " WHERE " + table.Condition) + orderBy);
                const long count = rs->RecordCount();
                ShowProgress(0, 0, std::to_string(count) + " Einträge");
                long row = 0;
                for (; !rs->Eof(); rs->MoveNext()) {
                    std::string line;
                    for (std::size_t c = 0; c < fields.size(); ++c)
                        line += "\t" + EncodeField(rs->Field(static_cast<int>(c)), fields[c].Type);
                    out << line << kCrLf;
                    if (++row % kCounterStep == 0)
                        shown.SetCounter(row);
                }
                shown.SetCounter(row);
            }
            shown.SetPercent(static_cast<int>((t + 1) * 100 / tables.size()));
            ui.ProcessEvents();
        }
        out.flush();
        if (!out)
            throw DbError(75, "Die Datei \"" + file + "\" konnte nicht vollständig geschrieben werden.", {},
                          "ExportBaseData");
    } catch (const DbError& error) {
        ShowProgress(-1, -1, "");
        ReportError(ToErrorInfo(error), false);
        return false;
    }
    ShowProgress(-1, -1, "");
    return true;
}

bool ImportBaseData(Database& db, const std::string& file, BaseDataProgress* progress,
                    const BaseDataFilter& filter)
{
    StatusProgress statusProgress;
    BaseDataProgress& shown = progress ? *progress : statusProgress;

    std::string content;
    {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            ShowImportError(0, "", "Die Datei \"" + file + "\" kann nicht geöffnet werden.");
            return false;
        }
        content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (!IsValidUtf8(content))
        content = Win1252ToUtf8(content);

    long lineNumber = 0;
    std::string line;
    ImportTable table;
    bool haveTable = false;
    std::set<std::string> emptied; // upper-case names of the tables emptied so far
    std::size_t pos = 0;
    try {
        while (pos < content.size()) {
            std::size_t end = content.find('\n', pos);
            if (end == std::string::npos)
                end = content.size();
            line.assign(content, pos, end - pos);
            pos = end + 1;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            ++lineNumber;

            if (lineNumber == 1) {
                if (std::string(Trim(line, kWhiteSpace)) != kBaseDataHeader)
                    throw LineError{"Die Datei ist keine Basisdaten-Datei: die erste Zeile muss \"VERSION\", "
                                    "\"ProgVer\" und \"DATE\" lauten."};
                continue;
            }
            if (lineNumber == 2 && (line == "VERSION" || line.starts_with("VERSION\t")))
                continue;
            if (line.empty() || line.front() == '#')
                continue;

            const std::vector<std::string_view> fields = SplitTabs(line);
            if (!fields[0].empty()) {
                if (haveTable)
                    shown.SetCounter(table.Rows);
                table = OpenImportTable(db, fields);
                haveTable = true;
                if (!filter.Append && emptied.insert(ToUpper(table.Name)).second)
                    db.Execute("DELETE FROM " + Bracket(table.Name));
                shown.SetLabel(table.Name + " werden geladen");
                shown.SetCounter(0);
                shown.SetPercent(
                    static_cast<int>(static_cast<double>(pos) * 100 / static_cast<double>(content.size())));
                continue;
            }
            if (!haveTable)
                throw LineError{"Vor dieser Zeile steht keine Tabellen-Kopfzeile."};
            if (fields.size() - 1 != table.Columns.size())
                throw LineError{"Die Zeile enthält " + std::to_string(fields.size() - 1) +
                                " Werte, die Tabelle \"" + table.Name + "\" erwartet " +
                                std::to_string(table.Columns.size()) + "."};
            std::vector<Value> values;
            values.reserve(table.Columns.size());
            for (std::size_t c = 0; c < table.Columns.size(); ++c)
                values.push_back(DecodeField(fields[c + 1], table.Columns[c]));
            if (filter.Accept && !filter.Accept(table.Name, table.Columns, values))
                continue;
            db.Execute(table.InsertSql, values);
            if (++table.Rows % kCounterStep == 0) {
                shown.SetCounter(table.Rows);
                shown.SetPercent(
                    static_cast<int>(static_cast<double>(pos) * 100 / static_cast<double>(content.size())));
            }
        }
    } catch (const LineError& error) {
        ShowImportError(lineNumber, line, error.Description);
        return false;
    } catch (const DbError& error) {
        ShowImportError(lineNumber, line, error.JoinedDescription());
        return false;
    }
    if (haveTable)
        shown.SetCounter(table.Rows);
    shown.SetPercent(100);
    ShowProgress(-1, -1, "");
    return true;
}

} // namespace pf
