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

void InsertRows(Database& db, const std::string& insertHead, std::size_t columns,
                const std::vector<Value>& values)
{
    if (columns == 0)
        return;
    std::size_t most = 1;
    while (most * 2 * columns <= kMaxValuesPerStatement)
        most *= 2;
    const std::size_t total = values.size() / columns;
    // Rows that fit one statement are bound from the caller's values as they are.
    if (total > 0 && total <= most && (total & (total - 1)) == 0) {
        db.Execute(InsertSql(insertHead, columns, total), values);
        return;
    }
    std::size_t rowsLeft = total;
    auto next = values.begin();
    while (rowsLeft > 0) {
        std::size_t rows = most;
        while (rows > rowsLeft)
            rows /= 2;
        const auto end = next + static_cast<std::ptrdiff_t>(rows * columns);
        db.Execute(InsertSql(insertHead, columns, rows), std::vector<Value>(next, end));
        next = end;
        rowsLeft -= rows;
    }
}

} // namespace pf
