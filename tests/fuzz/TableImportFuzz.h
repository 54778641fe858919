#pragma once
// One fuzz input through the generic table reader, as a file's bytes, in the fixed layout and with
// a column map: whatever they hold, reading must end, and every row it keeps must be one the
// import can store: a title of one line, at most ten cookbooks in the table and eleven per row,
// at most seven categories, rows in file order below the header.

#include "exchange/GenericImport.h"
#include "tests/support/BaseDataDb.h"

#include <memory>
#include <string>
#include <string_view>

namespace pf::fuzz {

class TableImportFuzz
{
public:
    TableImportFuzz()
        : m_db(test::MakeBaseDataDatabase(m_dir, "base.db", test::Foods::Without, {"40_cookbooks.csv"}))
    {
    }

    // Empty when the reader kept its promises, else what it broke.
    std::string Run(std::string_view bytes)
    {
        long broken = 0;
        for (const bool mapped : {false, true}) {
            GenericTableImport run(*m_db);
            if (mapped)
                run.SetMap("title=2,books=1,categories=3,page=4,parent=5");
            if (!run.ReadBytes(bytes))
                continue;
            long line = 1;
            const std::size_t books = run.Books().size();
            if (books > GenericTableImport::kMaxBooks)
                ++broken;
            for (const TableRecipe& row : run.Rows()) {
                if (row.Title.empty() || row.Title.find_first_of("\r\n") != std::string::npos)
                    ++broken;
                if (row.Line <= line || row.Books.size() > GenericTableImport::kMaxBooksPerRow ||
                    row.Categories.size() > 7)
                    ++broken;
                for (std::size_t b : row.Books)
                    if (b >= books)
                        ++broken;
                line = row.Line;
            }
            for (std::size_t b = 0; b < books; ++b)
                if (run.BookLabel(b).empty())
                    ++broken;
            const std::size_t before = run.Rows().size();
            if (books > 0)
                run.Books()[0].Selected = false;
            if (static_cast<std::size_t>(run.Filter()) + run.Rows().size() != before)
                ++broken;
        }
        return broken == 0 ? std::string() : std::to_string(broken) + " Zusagen des Tabellen-Lesers verletzt";
    }

private:
    test::TempDir m_dir;
    std::unique_ptr<Database> m_db;
};

} // namespace pf::fuzz
