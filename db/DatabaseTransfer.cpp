#include "db/DatabaseTransfer.h"

#include "db/ChangeStamp.h"
#include "db/InsertRows.h"
#include "db/PgDatabase.h"
#include "db/Recordset.h"
#include "db/SearchIndex.h"

#include <algorithm>

namespace pf {

namespace {

// A name in the program's dialect.
std::string Bracketed(const std::string& name)
{
    return "[" + name + "]";
}

} // namespace

void TransferDatabase(Database& source, Database& target, const TransferProgress& progress)
{
    const std::vector<std::string> tables = source.TableNames();
    for (const std::string& table : tables)
        if (target.TableExists(table))
            throw DbError(3010, "Die Tabelle '" + table + "' existiert bereits.");
    DbTransaction transaction(target);
    for (const std::string& table : tables) {
        if (progress)
            progress(static_cast<std::size_t>(&table - tables.data()), tables.size(), table);
        TableDef def{table, source.Fields(table), source.Indexes(table)};
        target.CreateTable(def);
        std::string names;
        for (const FieldDef& f : def.Fields)
            names += (names.empty() ? "" : ", ") + Bracketed(f.Name);
        if (names.empty())
            continue;
        const std::string head = "INSERT INTO " + Bracketed(table) + " (" + names + ") VALUES ";
        std::vector<Value> rows;
        std::size_t pending = 0;
        for (auto rs = source.OpenRecordset("SELECT " + names + " FROM " + Bracketed(table)); !rs->Eof();
             rs->MoveNext()) {
            for (std::size_t i = 0; i < def.Fields.size(); ++i)
                rows.push_back(rs->Field(static_cast<int>(i)));
            if (++pending == 1024) {
                InsertRows(target, head, def.Fields.size(), rows);
                rows.clear();
                pending = 0;
            }
        }
        InsertRows(target, head, def.Fields.size(), rows);
        // Counters go on after the highest number copied.
        if (auto* server = dynamic_cast<PgDatabase*>(&target))
            for (const FieldDef& f : def.Fields)
                if (f.Type == FieldType::Counter)
                    server->ResetCounter(table, f.Name);
    }
    transaction.Commit();
    // The stamps are made for the copied rows, not copied: the target's own writes move them.
    EnsureChangeStamps(target);
    // A file gets its word index when it is opened; a server, where many open it, gets it here.
    EnsureServerSearchIndex(target);
}

} // namespace pf
