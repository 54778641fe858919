#include "db/DatabaseTransfer.h"

#include "db/PgDatabase.h"
#include "db/Recordset.h"

namespace pf {

namespace {

// A name in the program's dialect.
std::string Bracketed(const std::string& name)
{
    return "[" + name + "]";
}

} // namespace

void TransferDatabase(Database& source, Database& target)
{
    const std::vector<std::string> tables = source.TableNames();
    for (const std::string& table : tables)
        if (target.TableExists(table))
            throw DbError(3010, "Die Tabelle '" + table + "' existiert bereits.");
    DbTransaction transaction(target);
    for (const std::string& table : tables) {
        TableDef def{table, source.Fields(table), source.Indexes(table)};
        target.CreateTable(def);
        std::string names;
        std::string marks;
        for (const FieldDef& f : def.Fields) {
            names += (names.empty() ? "" : ", ") + Bracketed(f.Name);
            marks += marks.empty() ? "?" : ", ?";
        }
        if (names.empty())
            continue;
        const std::string insert = "INSERT INTO " + Bracketed(table) + " (" + names + ") VALUES (" + marks + ")";
        std::vector<Value> row(def.Fields.size());
        for (auto rs = source.OpenRecordset("SELECT " + names + " FROM " + Bracketed(table)); !rs->Eof();
             rs->MoveNext()) {
            for (std::size_t i = 0; i < row.size(); ++i)
                row[i] = rs->Field(static_cast<int>(i));
            target.Execute(insert, row);
        }
        // Counters go on after the highest number copied.
        if (auto* server = dynamic_cast<PgDatabase*>(&target))
            for (const FieldDef& f : def.Fields)
                if (f.Type == FieldType::Counter)
                    server->ResetCounter(table, f.Name);
    }
    transaction.Commit();
}

} // namespace pf
