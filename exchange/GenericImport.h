#pragma once
// The generic table import: a delimited text table (";", "," or TAB, as spreadsheet programs
// write it: quoted fields with doubled quotes and line breaks inside, UTF-8 with or without BOM,
// Windows-1252) in which each row names one recipe with its menu-card title, source text,
// categories, cookbooks, literature source with page and edition, and parent. Read parses the
// file and collects the cookbook table; Filter keeps the rows of the chosen cookbooks; Import
// creates one recipe per selected row (no ingredients, no instructions) in one transaction and
// then links the parents. Reading never touches the database except to learn which cookbooks exist.

#include "db/Value.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace pf {

class Database;

// The fields of a row; the column of each is 1-based, 0 when the table has none.
enum class TableField {
    Title,
    MenuCard,
    Note,
    Source,
    Category,
    SubCategory,
    Books,
    Literature,
    Page,
    Categories,
    Edition,
    Parent,
    Count
};

struct TableRecipe
{
    long Line = 0; // where the row starts in the file
    std::string Title;
    std::string MenuCard;
    std::string Note; // the third column: read and kept, not stored
    std::string Source;
    std::vector<std::string> Categories; // main, sub and the further ones, in this order
    std::vector<std::size_t> Books;      // indexes into the cookbook table
    std::string Literature;
    long Page = 0;
    std::string Edition;
    std::string Parent;
    bool Selected = true;
};

struct TableBook
{
    std::string Name;
    bool Exists = false; // a cookbook of this name is in the database
    long Rows = 0;
    bool Selected = true;
};

class GenericTableImport
{
public:
    static constexpr std::size_t kMaxBooks = 10;       // distinct cookbook names per file
    static constexpr std::size_t kMaxBooksPerRow = 11; // cookbooks a row may name
    static constexpr long kImportSource = 7;           // RezImportSource of the recipes it makes

    explicit GenericTableImport(Database& db);

    // The column of each field; without it, the fixed layout of columns 1 to 12 (where the header's
    // column count must be 7 to 16, but not 8). Pairs "title=1,source=3"; false for an unknown name
    // or a column that is no number from 1 to 64.
    bool SetMap(std::string_view map);
    // 0 picks the delimiter from the header; otherwise it is used as given.
    void SetDelimiter(char delimiter) { m_forcedDelimiter = delimiter; }

    // Wizard page 1: reads the table. False with LastErrorText ("Die Datei scheint nicht das
    // erwartete Format zu haben!" for a header of the wrong width).
    bool Read(const std::string& path);
    bool ReadBytes(std::string_view bytes);
    char Delimiter() const { return m_delimiter; }
    std::size_t ColumnCount() const { return m_columns; }

    // Wizard page 2: the cookbooks ("Name [neu]" or "Name [bestehend]" with its row count) and the
    // rows left after dropping those none of whose cookbooks is selected (rows without a cookbook
    // stay). Filter returns the number of rows removed.
    std::vector<TableBook>& Books() { return m_books; }
    std::string BookLabel(std::size_t index) const;
    long Filter();
    std::vector<TableRecipe>& Rows() { return m_rows; }
    // "Titel [Kategorie, Kategorie]"
    static std::string RowLabel(const TableRecipe& row);

    // Wizard page 3: creates the selected cookbooks marked new, then one recipe per selected row,
    // then the parent links; all in one transaction. defaultSource fills an empty source column.
    // False with LastErrorText when the database refused (nothing is stored then).
    bool Import(const std::string& defaultSource);
    long Imported() const { return static_cast<long>(m_importedIds.size()); }
    // What Read left out: comment lines that hold something (Skipped) and rows without a title
    // (Failed), each named with its line in Problems. Empty lines count nowhere.
    long Skipped() const { return m_skipped; }
    long Failed() const { return m_failed; }
    const std::vector<std::string>& Problems() const { return m_problems; }
    const std::vector<long>& ImportedIds() const { return m_importedIds; }
    DateSerial RunDate() const { return m_runDate; }

    const std::string& LastErrorText() const { return m_lastErrorText; }

private:
    std::size_t Column(TableField field) const { return m_map[static_cast<std::size_t>(field)]; }
    std::string Field(const std::vector<std::string>& fields, TableField field) const;
    std::vector<std::string> SplitInner(const std::string& field) const;
    std::size_t BookIndex(const std::string& name);
    long LiteratureID(const TableRecipe& row);

    Database& m_db;
    std::vector<std::size_t> m_map;
    bool m_mapped = false;
    char m_forcedDelimiter = 0;
    char m_delimiter = ';';
    std::size_t m_columns = 0;
    std::vector<TableBook> m_books;
    std::vector<TableRecipe> m_rows;
    std::vector<long> m_importedIds;
    long m_skipped = 0;
    long m_failed = 0;
    std::vector<std::string> m_problems;
    DateSerial m_runDate;
    std::string m_lastErrorText;
};

// Splits delimited text into records of fields: quotes enclose a field (doubled inside), a record
// ends at CR LF, LF or CR outside quotes. lines receives the line each record starts on, offsets
// the position of its first character in text.
std::vector<std::vector<std::string>> SplitTable(std::string_view text, char delimiter,
                                                 std::vector<long>* lines = nullptr,
                                                 std::vector<std::size_t>* offsets = nullptr);
// The delimiter a header line names: ";" when it has one before any ",", TAB when it has one
// before any ";", else ",".
char TableDelimiter(std::string_view header);

} // namespace pf
