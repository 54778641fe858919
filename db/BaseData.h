#pragma once
// The base-data text file that fills a new database ("INIT.CSV"): reference tables as tab-separated
// lines, a header line per table and one line per row. The import replaces the rows of every table
// the file names and leaves transactions to its caller; the export writes the table groups of a
// bit mask. Both report progress through a BaseDataProgress and never throw.

#include "db/Database.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pf {

// The progress window of a base-data run: a percentage, a row counter and a label text.
class BaseDataProgress
{
public:
    virtual ~BaseDataProgress() = default;
    virtual void SetPercent(int percent) = 0;
    virtual void SetCounter(long counter) = 0;
    virtual void SetLabel(const std::string& text) = 0;
};

// Table groups of the export mask.
namespace basedata {
constexpr long kCategories = 1; // T_CAT_TYPE, T_CAT
constexpr long kUnits = 2;      // T_UNIT, T_REZ_KOPFEINHEIT
constexpr long kNutrition = 4;  // T_BLS_DAT, T_BLS_FDESC, T_BLS_INFO, T_BLS_KEY, T_BLS_TREE
constexpr long kUtensils = 64;  // T_GERAET (and the utensil area of the lexicon)
// Each of these bits selects one lexicon area for T_INFO_KEY and T_LEXIKON.
constexpr long kLexiconBits = 8 | 16 | 32 | 64 | 128 | 256;
} // namespace basedata

// One table of an export: its name and the condition its rows are chosen by ("" for all rows).
struct BaseDataTable
{
    std::string Name;
    std::string Condition;
};

// The tables an export with this mask writes, in the order they are written.
std::vector<BaseDataTable> BaseDataTables(long mask);

// The first line of every base-data file.
constexpr std::string_view kBaseDataHeader = "VERSION\tProgVer\tDATE";

// Writes the tables of mask to file. dateText is the date of the second line, empty for today in
// the short date format. Tables the database lacks are left out. On failure the error is reported
// and false returned; the file may then be incomplete.
bool ExportBaseData(Database& db, const std::string& file, long mask, BaseDataProgress* progress,
                    const std::string& dateText = {});

// Which rows a load takes. Accept (when set) sees every decoded row with its table's columns in the
// file's order and says whether it is added. With Append the rows a table already holds stay; else
// a table is emptied when the file first names it (a table may have several sections).
struct BaseDataFilter
{
    bool Append = false;
    std::function<bool(const std::string& table, const std::vector<FieldDef>& columns,
                       const std::vector<Value>& row)>
        Accept;
};

// Loads file into db: each table it names is emptied (unless filter.Append) and filled with its
// rows. On the first bad line the critical message with line number and line text is shown and
// false returned; the rows loaded until then stay unless the caller rolls back. progress may be
// null (status line only).
bool ImportBaseData(Database& db, const std::string& file, BaseDataProgress* progress,
                    const BaseDataFilter& filter = {});

// The field encodings of the format, shared with tools that write base-data files.
std::string EncodeBaseDataText(std::string_view text);
std::string DecodeBaseDataText(std::string_view field);
std::string EncodeBase64(std::string_view bytes);
// The 6-bit value of a Base64 character; -1 for padding and anything outside the alphabet.
int Base64Value(char c);
// false when text is no valid Base64.
bool DecodeBase64(std::string_view text, std::string& bytes);

} // namespace pf
