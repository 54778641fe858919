#include "exchange/GenericImport.h"

#include "core/Messages.h"
#include "core/Trim.h"
#include "core/Utf8.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/Recordset.h"
#include "db/SchemaVersion.h"
#include "exchange/ImportFile.h"
#include "model/ClCategory.h"
#include "model/ClRecipe.h"
#include "model/RecipeChanges.h"
#include "model/RecipeRows.h"
#include "model/clBook.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace pf {

namespace {

const char* const kWrongFormat = "Die Datei scheint nicht das erwartete Format zu haben!";
constexpr std::size_t kMaxColumn = 64;
constexpr std::size_t kMaxFurtherCategories = 5;

const char* const kFieldNames[] = {"title", "menucard",   "note", "source",     "category", "subcategory",
                                   "books", "literature", "page", "categories", "edition",  "parent"};

std::string Trimmed(std::string_view text)
{
    return std::string(Trim(text, " \t"));
}

} // namespace

std::vector<std::vector<std::string>> SplitTable(std::string_view text, char delimiter,
                                                 std::vector<long>* lines, std::vector<std::size_t>* offsets)
{
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::string field;
    bool quoted = false;
    bool any = false; // the record has begun
    long line = 1;
    long start = 1;
    std::size_t startOffset = 0;
    const auto endRecord = [&] {
        record.push_back(std::move(field));
        field.clear();
        records.push_back(std::move(record));
        record.clear();
        if (lines)
            lines->push_back(start);
        if (offsets)
            offsets->push_back(startOffset);
        any = false;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!any) {
            any = true;
            start = line;
            startOffset = i;
        }
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == '\n' || (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')))
                    ++line;
                field += c;
            }
        } else if (c == '"' && Trim(field, " ").empty()) {
            field.clear();
            quoted = true;
        } else if (c == delimiter) {
            record.push_back(std::move(field));
            field.clear();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            ++line;
            endRecord();
        } else {
            field += c;
        }
    }
    if (any)
        endRecord();
    return records;
}

char TableDelimiter(std::string_view header)
{
    const std::size_t semicolon = header.find(';');
    const std::size_t comma = header.find(',');
    const std::size_t tab = header.find('\t');
    char delimiter = ',';
    if (semicolon != std::string_view::npos && (comma == std::string_view::npos || semicolon < comma))
        delimiter = ';';
    if (tab != std::string_view::npos && (semicolon == std::string_view::npos || semicolon > tab))
        delimiter = '\t';
    return delimiter;
}

GenericTableImport::GenericTableImport(Database& db) : m_db(db)
{
    m_map.resize(static_cast<std::size_t>(TableField::Count));
    for (std::size_t i = 0; i < m_map.size(); ++i)
        m_map[i] = i + 1;
}

bool GenericTableImport::SetMap(std::string_view map)
{
    std::vector<std::size_t> columns(static_cast<std::size_t>(TableField::Count), 0);
    std::string rest(map);
    std::stringstream pairs(rest);
    std::string pair;
    while (std::getline(pairs, pair, ',')) {
        const std::size_t equals = pair.find('=');
        if (equals == std::string::npos)
            return false;
        const std::string name = ToLower(Trimmed(pair.substr(0, equals)));
        const std::string number = Trimmed(pair.substr(equals + 1));
        const auto found = std::find(std::begin(kFieldNames), std::end(kFieldNames), name);
        if (found == std::end(kFieldNames) || number.empty() || number.size() > 2 ||
            !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return false;
        const std::size_t column = std::stoul(number);
        if (column < 1 || column > kMaxColumn)
            return false;
        columns[static_cast<std::size_t>(found - std::begin(kFieldNames))] = column;
    }
    if (columns[static_cast<std::size_t>(TableField::Title)] == 0)
        return false;
    m_map = std::move(columns);
    m_mapped = true;
    return true;
}

std::string GenericTableImport::Field(const std::vector<std::string>& fields, TableField field) const
{
    const std::size_t column = Column(field);
    if (column == 0 || column > fields.size())
        return {};
    // A line break inside a quoted field joins its lines with a blank: every field is one line.
    std::string text;
    for (const char c : fields[column - 1])
        if (c != '\r' && c != '\n')
            text += c;
        else if (!text.empty() && text.back() != ' ')
            text += ' ';
    return Trimmed(text);
}

std::vector<std::string> GenericTableImport::SplitInner(const std::string& field) const
{
    std::vector<std::string> parts;
    if (field.empty())
        return parts;
    for (std::vector<std::string>& record : SplitTable(field, m_delimiter))
        for (std::string& part : record)
            if (std::string t = Trimmed(part); !t.empty())
                parts.push_back(std::move(t));
    return parts;
}

bool GenericTableImport::Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        m_lastErrorText = "Die Datei " + path + " kann nicht gelesen werden.";
        return false;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return ReadBytes(bytes.str());
}

std::size_t GenericTableImport::BookIndex(const std::string& name)
{
    for (std::size_t i = 0; i < m_books.size(); ++i)
        if (EqualsNoCase(m_books[i].Name, name))
            return i;
    if (m_books.size() >= kMaxBooks)
        return kMaxBooks;
    TableBook book;
    book.Name = name;
    clBook existing;
    existing.SetDB(&m_db);
    book.Exists = existing.LoadbyName(name) && EqualsNoCase(existing.Title(), name);
    m_books.push_back(std::move(book));
    return m_books.size() - 1;
}

bool GenericTableImport::ReadBytes(std::string_view bytes)
{
    m_lastErrorText.clear();
    m_rows.clear();
    m_books.clear();
    m_skipped = 0;
    m_failed = 0;
    m_problems.clear();
    const std::string text = DecodeImportText(bytes);
    const std::size_t headerEnd = text.find_first_of("\r\n");
    const std::string_view header = std::string_view(text).substr(0, headerEnd);
    m_delimiter = m_forcedDelimiter != 0 ? m_forcedDelimiter : TableDelimiter(header);
    std::vector<long> lines;
    std::vector<std::size_t> offsets;
    const std::vector<std::vector<std::string>> records = SplitTable(text, m_delimiter, &lines, &offsets);
    m_columns = records.empty() ? 0 : records.front().size();
    const std::size_t needed = m_mapped ? *std::max_element(m_map.begin(), m_map.end()) : 0;
    if (records.empty() ||
        (m_mapped ? m_columns < needed : (m_columns < 7 || m_columns == 8 || m_columns > 16))) {
        m_lastErrorText = kWrongFormat;
        return false;
    }
    try {
        for (std::size_t r = 1; r < records.size(); ++r) {
            const std::vector<std::string>& fields = records[r];
            // A line of nothing but delimiters is as empty as an empty one.
            if (std::all_of(fields.begin(), fields.end(),
                            [](const std::string& f) { return Trimmed(f).empty(); }))
                continue;
            const std::string where = "Zeile " + std::to_string(lines[r]);
            TableRecipe row;
            row.Line = lines[r];
            row.Title = Field(fields, TableField::Title);
            // A comment is a line whose first character is "#" or ";", whatever the columns hold: a
            // quoted "#1" title does not make one, an empty first column before ";" does.
            if (text[offsets[r]] == '#' || text[offsets[r]] == ';') {
                ++m_skipped;
                m_problems.push_back(where + " übersprungen: sie beginnt mit \"" + text[offsets[r]] +
                                     "\" und gilt deshalb als Kommentar" +
                                     (row.Title.empty() ? "." : " (Titel \"" + row.Title + "\")."));
                continue;
            }
            if (row.Title.empty()) {
                ++m_failed;
                m_problems.push_back(where + " nicht übernommen: die Spalte des Titels ist leer.");
                continue;
            }
            row.MenuCard = Field(fields, TableField::MenuCard);
            row.Note = Field(fields, TableField::Note);
            row.Source = Field(fields, TableField::Source);
            for (TableField f : {TableField::Category, TableField::SubCategory})
                if (std::string name = Field(fields, f); !name.empty())
                    row.Categories.push_back(std::move(name));
            std::vector<std::string> further = SplitInner(Field(fields, TableField::Categories));
            if (further.size() > kMaxFurtherCategories)
                further.resize(kMaxFurtherCategories);
            row.Categories.insert(row.Categories.end(), further.begin(), further.end());
            for (const std::string& name : SplitInner(Field(fields, TableField::Books))) {
                const std::size_t index = BookIndex(name);
                if (index < m_books.size() && row.Books.size() < kMaxBooksPerRow &&
                    std::find(row.Books.begin(), row.Books.end(), index) == row.Books.end()) {
                    row.Books.push_back(index);
                    ++m_books[index].Rows;
                }
            }
            row.Literature = Field(fields, TableField::Literature);
            row.Page = LeadingLong(Field(fields, TableField::Page));
            row.Edition = Field(fields, TableField::Edition);
            row.Parent = Field(fields, TableField::Parent);
            m_rows.push_back(std::move(row));
        }
    } catch (const DbError& error) {
        m_lastErrorText = error.JoinedDescription();
        return false;
    }
    return true;
}

std::string GenericTableImport::BookLabel(std::size_t index) const
{
    const TableBook& book = m_books[index];
    return book.Name + (book.Exists ? " [bestehend]" : " [neu]") + " (" + std::to_string(book.Rows) + ")";
}

long GenericTableImport::Filter()
{
    const std::size_t before = m_rows.size();
    std::erase_if(m_rows, [&](const TableRecipe& row) {
        return !row.Books.empty() && std::none_of(row.Books.begin(), row.Books.end(),
                                                  [&](std::size_t b) { return m_books[b].Selected; });
    });
    return static_cast<long>(before - m_rows.size());
}

std::string GenericTableImport::RowLabel(const TableRecipe& row)
{
    std::string categories;
    for (const std::string& name : row.Categories)
        categories += (categories.empty() ? "" : ", ") + name;
    return row.Title + " [" + categories + "]";
}

long GenericTableImport::LiteratureID(const TableRecipe& row)
{
    const std::string title = CharSubstr(row.Literature, 0, 64);
    const std::string edition = CharSubstr(row.Edition, 0, 10);
    const Value found = m_db.Scalar(
        "SELECT QuelleID FROM T_LITERATUR WHERE Title=? AND (AusgabeNr=? OR (AusgabeNr IS NULL AND ?=''))",
        {title, edition, edition});
    if (!found.IsNull())
        return static_cast<long>(found.AsLong());
    const long id = static_cast<long>(m_db.Scalar("SELECT MAX(QuelleID) FROM T_LITERATUR").AsLong()) + 1;
    m_db.Execute("INSERT INTO T_LITERATUR (QuelleID, Title, AusgabeNr) VALUES (?, ?, ?)",
                 {id, title, edition});
    return id;
}

bool GenericTableImport::Import(const std::string& defaultSource)
{
    m_lastErrorText.clear();
    m_importedIds.clear();
    m_runDate = NowSerial();
    RecipeChangeBatch changes;
    try {
        DbTransaction trans(m_db);
        ShowStatus("1 von 3: Neue Kochbücher werden angelegt");
        std::vector<long> bookIds(m_books.size(), 0);
        for (std::size_t i = 0; i < m_books.size(); ++i) {
            if (!m_books[i].Selected)
                continue;
            clBook book;
            book.SetDB(&m_db);
            if (!book.ImportUpdate(m_books[i].Name, "Durch generischen Rezeptimport erzeugt"))
                throw book.LastDbError();
            bookIds[i] = book.id();
        }
        ShowStatus("2 von 3: Rezepte werden importiert");
        std::map<std::string, long> categoryIds;
        std::vector<std::pair<long, std::string>> parents;
        for (const TableRecipe& row : m_rows) {
            if (!row.Selected)
                continue;
            ClRecipe recipe;
            recipe.SetDB(&m_db);
            recipe.SetNocache(true);
            recipe.LoadByID(0);
            recipe.SetTitle(row.Title);
            recipe.SetTitleMenuCard(row.MenuCard.empty() ? row.Title : row.MenuCard);
            recipe.SetSourceText(row.Source.empty() ? defaultSource : row.Source);
            for (const std::string& name : row.Categories) {
                const std::string key = ToLower(name);
                auto found = categoryIds.find(key);
                if (found == categoryIds.end()) {
                    ClCategory category;
                    category.SetDB(&m_db);
                    if (!category.LoadbyNameorCreate(CharSubstr(name, 0, ClCategory::kNameLength)))
                        throw category.LastDbError();
                    found = categoryIds.emplace(key, category.id()).first;
                }
                recipe.CatAddID(found->second);
            }
            for (std::size_t b : row.Books)
                if (bookIds[b] != 0)
                    recipe.BookAdd(bookIds[b]);
            if (!row.Literature.empty()) {
                recipe.SourcebookSetID(LiteratureID(row));
                recipe.SetSourcePage(row.Page);
            }
            recipe.SetImportdate(m_runDate);
            recipe.SetImportSource(kImportSource);
            if (!recipe.Save())
                throw recipe.LastDbError("Zeile " + std::to_string(row.Line) + ": ");
            m_importedIds.push_back(recipe.id());
            if (!row.Parent.empty())
                parents.emplace_back(recipe.id(), row.Parent);
        }
        ShowStatus("3 von 3: Rezeptverknüfungen werden aktualisiert");
        for (const auto& [id, parentTitle] : parents) {
            const Value parent = m_db.Scalar("SELECT ID FROM T_REZ_KOPF WHERE RezTitle=? AND ID<>?",
                                             {CleanRecipeTitle(parentTitle), id});
            if (!parent.IsNull())
                m_db.Execute("UPDATE T_REZ_KOPF SET RezParent=? WHERE ID=?", {parent, id});
        }
        trans.Commit();
    } catch (const DbError& error) {
        m_importedIds.clear();
        m_lastErrorText = error.JoinedDescription();
        ShowStatus("");
        return false;
    }
    ShowStatus("");
    return true;
}

} // namespace pf
