// Build tool: turns the readable food tables into the base-data rows of the food table.
//   MakeFoods FOODSDIR UNITS.csv OUT.csv [USDADIR]
// FOODSDIR holds foods.tsv (one food per row: ID, code, names, the USDA number its values come
// from, units and portion), classes.tsv (the food class tree) and synonyms.tsv. UNITS.csv is the
// unit table of the base data; unit names in foods.tsv are looked up there. USDADIR holds the
// USDA SR21 files ABBREV.txt and FOOD_DES.txt; without it the nutrient values are taken from
// the existing OUT.csv, so only the names, units, classes and synonyms are rewritten.
// OUT.csv gets the sections T_BLS_TREE, T_BLS_KEY, T_BLS_DAT and T_INFO_KEY (synonyms, area 3).
// Exit code 0 on success; every fault names file and line.

#include "db/BaseData.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Fault : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

std::vector<std::string> Split(const std::string& line, char separator)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = line.find(separator, start);
        fields.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return fields;
        start = end + 1;
    }
}

std::string StripCr(std::string line)
{
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

// The non-empty lines of a text file with their numbers, line ends (CR LF or LF) removed; with
// skipComments also without the lines starting with "#". missing says what an unreadable file means.
struct Line
{
    int Number = 0;
    std::string Text;
};

std::vector<Line> ReadLines(const std::string& path, bool skipComments,
                            const std::string& missing = "kann nicht gelesen werden")
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Fault(path + ": " + missing);
    std::vector<Line> lines;
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        text = StripCr(text);
        if (!text.empty() && !(skipComments && text.front() == '#'))
            lines.push_back({number, text});
    }
    return lines;
}

// Calls row(header, fields) for every row of one table of a base-data file (the header line names
// the table and its columns; rows start with a tab).
void ForEachBaseDataRow(const std::string& path, const std::string& table, const std::string& missing,
                        const std::function<void(const std::vector<std::string>& header,
                                                 const std::vector<std::string>& fields)>& row)
{
    std::vector<std::string> header;
    for (const Line& line : ReadLines(path, true, missing)) {
        std::vector<std::string> fields = Split(line.Text, '\t');
        if (!fields[0].empty())
            header = std::move(fields);
        else if (!header.empty() && header[0] == table)
            row(header, fields);
    }
}

// A tab-separated table with a header line; lines starting with "#" and empty lines are skipped.
struct TsvRow
{
    int Line = 0;
    std::vector<std::string> Fields;
};

class Tsv
{
public:
    explicit Tsv(const std::string& path) : m_path(path)
    {
        for (const Line& line : ReadLines(path, true)) {
            std::vector<std::string> fields = Split(line.Text, '\t');
            if (m_header.empty()) {
                m_header = std::move(fields);
                continue;
            }
            if (fields.size() > m_header.size())
                throw Fault(Where(line.Number) + "mehr Spalten als die Kopfzeile: " + line.Text);
            fields.resize(m_header.size());
            m_rows.push_back({line.Number, std::move(fields)});
        }
        if (m_header.empty())
            throw Fault(path + ": keine Kopfzeile");
    }

    const std::vector<TsvRow>& Rows() const { return m_rows; }

    std::size_t Column(const std::string& name) const
    {
        const auto it = std::find(m_header.begin(), m_header.end(), name);
        if (it == m_header.end())
            throw Fault(m_path + ": Spalte \"" + name + "\" fehlt");
        return static_cast<std::size_t>(it - m_header.begin());
    }

    std::string Where(int line) const { return m_path + ":" + std::to_string(line) + ": "; }

private:
    std::string m_path;
    std::vector<std::string> m_header;
    std::vector<TsvRow> m_rows;
};

std::optional<double> ParseNumber(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

// Numbers are written rounded to a fixed number of decimals, shortest form, "." as separator.
std::string Number(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    double rounded = std::round(value * scale) / scale;
    if (rounded == 0)
        rounded = 0; // no "-0"
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, rounded);
    return std::string(buffer, result.ptr);
}

std::string Quoted(const std::string& text)
{
    return "\"" + pf::EncodeBaseDataText(text) + "\"";
}

// ---- units -------------------------------------------------------------------------------------

// German short and long unit names of the base data's unit table, mapped to their IDs; the first
// unit with a name wins, as in the program's own lookup.
std::map<std::string, long> ReadUnits(const std::string& path)
{
    std::map<std::string, long> units;
    ForEachBaseDataRow(path, "T_UNIT", "kann nicht gelesen werden",
                       [&](const auto& header, const auto& fields) {
                           long id = 0;
                           std::string shortName, longName;
                           for (std::size_t i = 1; i < fields.size() && i < header.size(); ++i) {
                               std::string value = fields[i];
                               if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                                   value = pf::DecodeBaseDataText(value.substr(1, value.size() - 2));
                               if (header[i] == "ID")
                                   id = std::stol(value);
                               else if (header[i] == "UnitShortD")
                                   shortName = value;
                               else if (header[i] == "UnitNameD")
                                   longName = value;
                           }
                           units.emplace(shortName, id);
                           units.emplace(longName, id);
                       });
    if (units.empty())
        throw Fault(path + ": keine Einheiten (T_UNIT) gefunden");
    return units;
}

// ---- USDA figures ------------------------------------------------------------------------------

// The fields of ABBREV.txt by their position (0-based), as the release describes them.
enum Abbrev : std::size_t {
    kNdb = 0,
    kWater = 2,
    kKcal = 3,
    kProtein = 4,
    kFat = 5,
    kAsh = 6,
    kCarb = 7,
    kFibre = 8,
    kSugar = 9,
    kCalcium = 10,
    kIron = 11,
    kMagnesium = 12,
    kPhosphorus = 13,
    kPotassium = 14,
    kSodium = 15,
    kZinc = 16,
    kCopper = 17,
    kManganese = 18,
    kVitC = 20,
    kThiamin = 21,
    kRiboflavin = 22,
    kNiacin = 23,
    kPanto = 24,
    kVitB6 = 25,
    kFolateTotal = 26,
    kVitB12 = 31,
    kVitARae = 33,
    kRetinol = 34,
    kBetaCarotene = 36,
    kVitE = 40,
    kVitK = 41,
    kFaSat = 42,
    kFaMono = 43,
    kFaPoly = 44,
    kCholesterol = 45,
    kAbbrevFields = 51
};

struct UsdaFood
{
    std::string Description;                   // Long_Desc of FOOD_DES.txt
    std::vector<std::optional<double>> Values; // ABBREV.txt fields, empty where the release has none
};

std::string Untilde(const std::string& field)
{
    if (field.size() >= 2 && field.front() == '~' && field.back() == '~')
        return field.substr(1, field.size() - 2);
    return field;
}

// The release is ASCII apart from a few Latin-1 letters in names; those become UTF-8.
std::string Latin1ToUtf8(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

std::map<std::string, UsdaFood> ReadUsda(const std::string& dir)
{
    std::map<std::string, UsdaFood> foods;
    const std::string abbrev = dir + "/ABBREV.txt";
    for (const Line& line : ReadLines(abbrev, false)) {
        const std::vector<std::string> fields = Split(line.Text, '^');
        if (fields.size() != kAbbrevFields)
            throw Fault(abbrev + ":" + std::to_string(line.Number) + ": " + std::to_string(fields.size()) +
                        " Felder statt 51");
        UsdaFood& food = foods[Untilde(fields[kNdb])];
        food.Values.resize(kAbbrevFields);
        for (std::size_t i = 2; i < kAbbrevFields; ++i)
            food.Values[i] = ParseNumber(fields[i]);
    }
    for (const Line& line : ReadLines(dir + "/FOOD_DES.txt", false)) {
        const std::vector<std::string> fields = Split(line.Text, '^');
        if (fields.size() < 3)
            continue;
        const auto it = foods.find(Untilde(fields[0]));
        if (it != foods.end())
            it->second.Description = Latin1ToUtf8(Untilde(fields[2]));
    }
    return foods;
}

// One nutrient column of the food value table and how it is taken from the USDA row: the field
// times a factor (1000 where the release gives grams and the descriptor milligrams, or
// milligrams and the descriptor micrograms), rounded to the decimals given.
struct NutrientColumn
{
    const char* Key;
    std::size_t Field;
    double Factor;
    int Decimals;
};

constexpr NutrientColumn kDirectColumns[] = {
    {"GCAL", kKcal, 1, 1},        {"ZW", kWater, 1000, 0},      {"ZE", kProtein, 1000, 0},
    {"ZF", kFat, 1000, 0},        {"ZK", kCarb, 1000, 0},       {"ZB", kFibre, 1000, 0},
    {"ZM", kAsh, 1000, 0},        {"KMD", kSugar, 1000, 0},     {"VA", kVitARae, 1, 1},
    {"VAR", kRetinol, 1, 1},      {"VAC", kBetaCarotene, 1, 1}, {"VE", kVitE, 1, 3},
    {"VEAT", kVitE, 1, 3},        {"VK", kVitK, 1, 1},          {"VB1", kThiamin, 1, 3},
    {"VB2", kRiboflavin, 1, 3},   {"VB3", kNiacin, 1, 3},       {"VB5", kPanto, 1, 3},
    {"VB6", kVitB6, 1, 3},        {"VB9G", kFolateTotal, 1, 1}, {"VB12", kVitB12, 1, 2},
    {"VC", kVitC, 1, 1},          {"MNA", kSodium, 1, 1},       {"MK", kPotassium, 1, 1},
    {"MCA", kCalcium, 1, 1},      {"MMG", kMagnesium, 1, 1},    {"MP", kPhosphorus, 1, 1},
    {"MFE", kIron, 1, 3},         {"MZN", kZinc, 1, 3},         {"MCU", kCopper, 1000, 0},
    {"MMN", kManganese, 1000, 0}, {"FS", kFaSat, 1000, 0},      {"FU", kFaMono, 1000, 0},
    {"FP", kFaPoly, 1000, 0},     {"FC", kCholesterol, 1, 1},
};

// The value columns in the order they are written: the direct ones, then those derived from them.
std::vector<std::string> ValueColumns()
{
    std::vector<std::string> columns;
    for (const NutrientColumn& column : kDirectColumns) {
        columns.emplace_back(column.Key);
        if (columns.back() == "GCAL")
            columns.emplace_back("GJ");
    }
    columns.insert(columns.end(), {"GKB", "GMKO", "GFPS"});
    return columns;
}

// The value fields of one food, in ValueColumns order; empty where the release has no figure.
std::vector<std::string> ValueFields(const UsdaFood& food)
{
    const auto& v = food.Values;
    std::vector<std::string> out;
    for (const NutrientColumn& column : kDirectColumns) {
        const std::optional<double>& value = v[column.Field];
        out.push_back(value ? Number(*value * column.Factor, column.Decimals) : std::string());
        if (std::string_view(column.Key) == "GCAL")
            out.push_back(value ? Number(*value * 4.184, 1) : std::string()); // kJ
    }
    // Bread units: 12 g carbohydrate make one. Table salt: sodium times 2.5. P/S: polyunsaturated
    // over saturated fatty acids, only where both are known and there is saturated fat.
    out.push_back(v[kCarb] ? Number(*v[kCarb] / 12, 2) : std::string());
    out.push_back(v[kSodium] ? Number(*v[kSodium] * 2.5, 1) : std::string());
    out.push_back(v[kFaPoly] && v[kFaSat] && *v[kFaSat] > 0 ? Number(*v[kFaPoly] / *v[kFaSat], 2)
                                                            : std::string());
    return out;
}

// ---- the readable tables -----------------------------------------------------------------------

const std::map<std::string, long> kLanguages = {
    {"DE(D)", 1}, {"DE(CH)", 2}, {"DE(A)", 3}, {"EN(UK)", 4}, {"EN(US)", 5},
    {"FR(F)", 6}, {"FR(CH)", 7}, {"IT(I)", 8}, {"IT(CH)", 9},
};

struct Food
{
    long Id = 0;
    std::string Code, Name, NameE, NameF, Ndb, UsdaDescription;
    bool Main = false;
    long StdUnit = 0, AltUnit = 0;
    std::string StdGrams, AltGrams, Portion;
};

bool IsWellFormedCode(const std::string& code)
{
    if (code.size() != 7 || code[0] < 'A' || code[0] > 'Z')
        return false;
    return std::all_of(code.begin() + 1, code.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'); });
}

std::string GramsText(const Tsv& tsv, const TsvRow& row, const std::string& text, const char* what)
{
    if (text.empty())
        return {};
    const std::optional<double> grams = ParseNumber(text);
    if (!grams || *grams <= 0)
        throw Fault(tsv.Where(row.Line) + what + " \"" + text + "\" ist keine positive Zahl");
    return Number(*grams, 4);
}

long UnitId(const Tsv& tsv, const TsvRow& row, const std::map<std::string, long>& units,
            const std::string& name, const std::string& grams)
{
    if (name.empty() != grams.empty())
        throw Fault(tsv.Where(row.Line) + "Einheit und Gramm gehören zusammen: \"" + name + "\", \"" + grams +
                    "\"");
    if (name.empty())
        return 0;
    const auto it = units.find(name);
    if (it == units.end())
        throw Fault(tsv.Where(row.Line) + "unbekannte Einheit \"" + name + "\"");
    return it->second;
}

std::vector<Food> ReadFoods(const std::string& path, const std::map<std::string, long>& units)
{
    const Tsv tsv(path);
    const std::size_t cId = tsv.Column("ID"), cCode = tsv.Column("SBLS"), cName = tsv.Column("ST"),
                      cNameE = tsv.Column("STE"), cNameF = tsv.Column("STF"), cNdb = tsv.Column("NDB_No"),
                      cUsda = tsv.Column("USDA"), cMain = tsv.Column("Haupt"), cStd = tsv.Column("Einheit"),
                      cStdG = tsv.Column("Gramm"), cAlt = tsv.Column("Einheit2"),
                      cAltG = tsv.Column("Gramm2"), cPortion = tsv.Column("Portion");
    std::vector<Food> foods;
    std::set<long> ids;
    std::set<std::string> codes;
    for (const TsvRow& row : tsv.Rows()) {
        const auto& f = row.Fields;
        Food food;
        const std::optional<double> id = ParseNumber(f[cId]);
        if (!id || *id < 1 || *id != std::floor(*id))
            throw Fault(tsv.Where(row.Line) + "ID \"" + f[cId] + "\" ist keine positive ganze Zahl");
        food.Id = static_cast<long>(*id);
        food.Code = f[cCode];
        food.Name = f[cName];
        food.NameE = f[cNameE];
        food.NameF = f[cNameF];
        food.Ndb = f[cNdb];
        food.UsdaDescription = f[cUsda];
        if (!IsWellFormedCode(food.Code))
            throw Fault(tsv.Where(row.Line) + "\"" + food.Code + "\" ist kein siebenstelliger Code");
        if (!ids.insert(food.Id).second)
            throw Fault(tsv.Where(row.Line) + "ID " + f[cId] + " doppelt");
        if (!codes.insert(food.Code).second)
            throw Fault(tsv.Where(row.Line) + "Code " + food.Code + " doppelt");
        if (food.Name.empty() || food.NameE.empty())
            throw Fault(tsv.Where(row.Line) + "deutscher und englischer Name sind nötig");
        if (food.Ndb.size() != 5 || food.Ndb.find_first_not_of("0123456789") != std::string::npos)
            throw Fault(tsv.Where(row.Line) + "NDB_No \"" + food.Ndb + "\" hat nicht fünf Ziffern");
        if (f[cMain] != "0" && f[cMain] != "1")
            throw Fault(tsv.Where(row.Line) + "Haupt muss 0 oder 1 sein");
        food.Main = f[cMain] == "1";
        food.StdGrams = GramsText(tsv, row, f[cStdG], "Gramm");
        food.AltGrams = GramsText(tsv, row, f[cAltG], "Gramm2");
        food.Portion = GramsText(tsv, row, f[cPortion], "Portion");
        food.StdUnit = UnitId(tsv, row, units, f[cStd], food.StdGrams);
        food.AltUnit = UnitId(tsv, row, units, f[cAlt], food.AltGrams);
        foods.push_back(std::move(food));
    }
    std::sort(foods.begin(), foods.end(), [](const Food& a, const Food& b) { return a.Id < b.Id; });
    return foods;
}

// ---- writing -----------------------------------------------------------------------------------

// The value rows of the existing output by food code, for a run without the USDA files.
std::map<std::string, std::vector<std::string>> ReadExistingValues(const std::string& path,
                                                                   const std::vector<std::string>& columns)
{
    std::map<std::string, std::vector<std::string>> values;
    ForEachBaseDataRow(
        path, "T_BLS_DAT", "ohne USDA-Ordner werden die Werte aus dieser Datei genommen, sie fehlt aber",
        [&](const auto& header, const auto& fields) {
            if (header.size() != columns.size() + 5 || fields.size() != header.size())
                throw Fault(path + ": die Werte-Tabelle hat andere Spalten als dieses Programm schreibt");
            const std::string& code = fields[1];
            values[pf::DecodeBaseDataText(code.substr(1, code.size() - 2))] =
                std::vector<std::string>(fields.begin() + 5, fields.end());
        });
    return values;
}

void Write(std::ostream& out, const std::vector<Food>& foods, const Tsv& classes, const Tsv& synonyms,
           const std::map<std::string, UsdaFood>* usda, const std::string& existingPath)
{
    const char* crlf = "\r\n";
    out << "# The food table: food classes, foods with their units and portions, nutrient values per" << crlf
        << "# 100 g, and synonyms (lexicon area 3). Written by MakeFoods from data/foods/*.tsv and the"
        << crlf << "# USDA SR21 figures; edit those tables, not this file." << crlf;

    // Food classes.
    const std::size_t cKey = classes.Column("BLSKEY"), cDesc = classes.Column("BLSDesc"),
                      cDescE = classes.Column("BLSDescE"), cDescF = classes.Column("BLSDescF"),
                      cDescI = classes.Column("BLSDescI");
    std::set<std::string> classKeys;
    out << "T_BLS_TREE\tBLSKEY\tBLSDesc\tBLSDescE\tBLSDescF\tBLSDescI" << crlf;
    std::vector<const TsvRow*> classRows;
    for (const TsvRow& row : classes.Rows())
        classRows.push_back(&row);
    std::sort(classRows.begin(), classRows.end(),
              [&](const TsvRow* a, const TsvRow* b) { return a->Fields[cKey] < b->Fields[cKey]; });
    for (const TsvRow* row : classRows) {
        const auto& f = row->Fields;
        if (f[cKey].empty() || f[cKey].size() > 6 || f[cDesc].empty())
            throw Fault(classes.Where(row->Line) + "Klasse ohne Schlüssel oder Namen");
        if (!classKeys.insert(f[cKey]).second)
            throw Fault(classes.Where(row->Line) + "Klasse " + f[cKey] + " doppelt");
        out << "\t" << Quoted(f[cKey]) << "\t" << Quoted(f[cDesc]) << "\t" << Quoted(f[cDescE]) << "\t"
            << (f[cDescF].empty() ? std::string() : Quoted(f[cDescF])) << "\t"
            << (f[cDescI].empty() ? std::string() : Quoted(f[cDescI])) << crlf;
    }

    // Foods.
    out << "T_BLS_KEY\tID\tSBLS\tST\tSTE\tSTF\tProduktHauptFlag\tProduktStandardEinheit\tProduktStandardMenge"
           "\tProduktAlternativEinheit\tProduktAlternativMenge\tUserflag"
        << crlf;
    std::map<std::string, long> idByCode;
    for (const Food& food : foods) {
        // Every food sits in its main group and its subgroup.
        for (std::size_t length : {1, 2})
            if (!classKeys.count(food.Code.substr(0, length)))
                throw Fault("Code " + food.Code + ": die Klasse " + food.Code.substr(0, length) + " fehlt");
        idByCode[food.Code] = food.Id;
        out << "\t" << food.Id << "\t" << Quoted(food.Code) << "\t" << Quoted(food.Name) << "\t"
            << Quoted(food.NameE) << "\t" << (food.NameF.empty() ? std::string() : Quoted(food.NameF)) << "\t"
            << (food.Main ? "True" : "False") << "\t" << (food.StdUnit ? std::to_string(food.StdUnit) : "")
            << "\t" << food.StdGrams << "\t" << (food.AltUnit ? std::to_string(food.AltUnit) : "") << "\t"
            << food.AltGrams << "\tFalse" << crlf;
    }

    // Nutrient values.
    const std::vector<std::string> columns = ValueColumns();
    std::map<std::string, std::vector<std::string>> existing;
    if (!usda)
        existing = ReadExistingValues(existingPath, columns);
    out << "T_BLS_DAT\tSBLS\tSKT\tGP\tGD";
    for (const std::string& column : columns)
        out << "\t" << column;
    out << crlf;
    for (const Food& food : foods) {
        std::vector<std::string> values;
        if (usda) {
            const auto it = usda->find(food.Ndb);
            if (it == usda->end())
                throw Fault("Code " + food.Code + ": USDA-Nummer " + food.Ndb + " gibt es nicht");
            if (it->second.Description != food.UsdaDescription)
                throw Fault("Code " + food.Code + ": USDA-Nummer " + food.Ndb + " heißt \"" +
                            it->second.Description + "\", nicht \"" + food.UsdaDescription + "\"");
            values = ValueFields(it->second);
        } else {
            const auto it = existing.find(food.Code);
            values = it != existing.end() ? it->second : std::vector<std::string>(columns.size());
        }
        out << "\t" << Quoted(food.Code) << "\t" << Quoted(food.Name) << "\t" << food.Portion << "\t";
        for (const std::string& value : values)
            out << "\t" << value;
        out << crlf;
    }

    // Synonyms.
    const std::size_t cSynCode = synonyms.Column("SBLS"), cSyn = synonyms.Column("Synonym"),
                      cLang = synonyms.Column("Sprache");
    std::set<std::pair<long, std::string>> seen;
    out << "T_INFO_KEY\tID\tKEY\tKEYTYPE\tTREE\tSprachcode" << crlf;
    for (const TsvRow& row : synonyms.Rows()) {
        const auto& f = row.Fields;
        const auto food = idByCode.find(f[cSynCode]);
        if (food == idByCode.end())
            throw Fault(synonyms.Where(row.Line) + "kein Lebensmittel mit dem Code \"" + f[cSynCode] + "\"");
        const auto language = kLanguages.find(f[cLang]);
        if (language == kLanguages.end())
            throw Fault(synonyms.Where(row.Line) + "unbekannte Sprache \"" + f[cLang] + "\"");
        if (f[cSyn].empty() || f[cSyn].size() > 100)
            throw Fault(synonyms.Where(row.Line) + "Synonym leer oder zu lang");
        if (!seen.emplace(food->second, f[cSyn]).second)
            throw Fault(synonyms.Where(row.Line) + "Synonym \"" + f[cSyn] + "\" doppelt");
        out << "\t" << food->second << "\t" << Quoted(f[cSyn]) << "\t3\t\t" << language->second << crlf;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 5) {
        std::cerr << "Aufruf: MakeFoods LEBENSMITTELORDNER EINHEITEN.csv AUSGABE.csv [USDA-ORDNER]\n";
        return 2;
    }
    const std::string foodsDir = argv[1];
    const std::string outPath = argv[3];
    try {
        const std::vector<Food> foods = ReadFoods(foodsDir + "/foods.tsv", ReadUnits(argv[2]));
        const Tsv classes(foodsDir + "/classes.tsv");
        const Tsv synonyms(foodsDir + "/synonyms.tsv");
        std::optional<std::map<std::string, UsdaFood>> usda;
        if (argc == 5)
            usda = ReadUsda(argv[4]);
        // Written to memory first: without the USDA files the old output is read while writing.
        std::ostringstream text;
        Write(text, foods, classes, synonyms, usda ? &*usda : nullptr, outPath);
        std::ofstream out(outPath, std::ios::binary | std::ios::trunc);
        out << text.str();
        out.flush();
        if (!out)
            throw Fault(outPath + ": kann nicht geschrieben werden");
    } catch (const std::exception& error) {
        std::cerr << "MakeFoods: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
