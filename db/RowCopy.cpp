#include "db/RowCopy.h"

#include "core/Utf8.h"
#include "db/Database.h"
#include "db/Recordset.h"

#include <algorithm>

namespace pf {

std::vector<std::string> ColumnNames(Database& db, const std::string& table)
{
    std::vector<std::string> names;
    for (const FieldDef& field : db.Fields(table))
        names.push_back(field.Name);
    return names;
}

void CopyRow(const Recordset& from, Database& to, const std::string& table,
             const std::vector<std::string>& targetColumns,
             const std::vector<std::pair<std::string, Value>>& overrides)
{
    std::string names;
    std::string marks;
    std::vector<Value> values;
    for (int i = 0; i < from.FieldCount(); ++i) {
        const std::string name = from.FieldName(i);
        const std::string upper = ToUpper(name);
        if (std::none_of(targetColumns.begin(), targetColumns.end(),
                         [&](const std::string& c) { return ToUpper(c) == upper; }))
            continue;
        names += (names.empty() ? "[" : ", [") + name + "]";
        marks += marks.empty() ? "?" : ", ?";
        const auto over = std::find_if(overrides.begin(), overrides.end(),
                                       [&](const auto& o) { return ToUpper(o.first) == upper; });
        values.push_back(over != overrides.end() ? over->second : from.Field(i));
    }
    to.Execute("INSERT INTO " + table + " (" + names + ") VALUES (" + marks + ")", values);
}

} // namespace pf
