#include "db/Schema.h"

#include "core/Utf8.h"

namespace pf {

// The table definitions follow in the next change; the functions already keep their contracts.
const std::vector<TableDef>& SchemaTables()
{
    static const std::vector<TableDef> tables;
    return tables;
}

std::vector<TableDef> InitialSchema()
{
    return {};
}

std::string InitialSchemaVersion()
{
    return "000.50.073";
}

const TableDef* FindSchemaTable(const std::string& name)
{
    for (const TableDef& table : SchemaTables())
        if (EqualsNoCase(table.Name, name))
            return &table;
    return nullptr;
}

void CreateTables(Database& db, const std::vector<TableDef>& tables)
{
    DbTransaction transaction(db);
    for (const TableDef& table : tables)
        db.CreateTable(table);
    transaction.Commit();
}

} // namespace pf
