#include "db/InsertRows.h"

#include "db/Database.h"

#include <iterator>

namespace pf {

namespace {

constexpr std::size_t kMaxValuesPerStatement = 4096;

std::string InsertSql(const std::string& insertHead, std::size_t columns, std::size_t rows)
{
    std::string tuple = "(?";
    for (std::size_t c = 1; c < columns; ++c)
        tuple += ", ?";
    tuple += ')';
    std::string sql = insertHead + tuple;
    for (std::size_t r = 1; r < rows; ++r)
        sql += ", " + tuple;
    return sql;
}

} // namespace

void InsertRows(Database& db, const std::string& insertHead, std::size_t columns, std::vector<Value> values)
{
    if (columns == 0)
        return;
    std::size_t most = 1;
    while (most * 2 * columns <= kMaxValuesPerStatement)
        most *= 2;
    std::size_t rowsLeft = values.size() / columns;
    auto next = values.begin();
    while (rowsLeft > 0) {
        std::size_t rows = most;
        while (rows > rowsLeft)
            rows /= 2;
        const auto end = next + static_cast<std::ptrdiff_t>(rows * columns);
        db.Execute(InsertSql(insertHead, columns, rows),
                   std::vector<Value>(std::make_move_iterator(next), std::make_move_iterator(end)));
        next = end;
        rowsLeft -= rows;
    }
}

} // namespace pf
