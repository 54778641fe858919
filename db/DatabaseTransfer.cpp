#include "db/DatabaseTransfer.h"

#include "db/ChangeStamp.h"
#include "db/PgDatabase.h"
#include "db/Recordset.h"

#include <algorithm>

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
        // Many rows per statement: on a server each statement is a round trip.
        const std::size_t perStatement = std::max<std::size_t>(1, 1000 / def.Fields.size());
        const std::string head = "INSERT INTO " + Bracketed(table) + " (" + names + ") VALUES ";
        const std::string tuple = "(" + marks + ")";
        std::string fullInsert;
        std::vector<Value> rows;
        std::size_t pending = 0;
        const auto flush = [&] {
            if (pending == 0)
                return;
            if (pending < perStatement || fullInsert.empty()) {
                std::string sql = head;
                for (std::size_t r = 0; r < pending; ++r)
                    sql += (r == 0 ? "" : ", ") + tuple;
                if (pending == perStatement)
                    fullInsert = sql;
                target.Execute(sql, rows);
            } else {
                target.Execute(fullInsert, rows);
            }
            rows.clear();
            pending = 0;
        };
        for (auto rs = source.OpenRecordset("SELECT " + names + " FROM " + Bracketed(table)); !rs->Eof();
             rs->MoveNext()) {
            for (std::size_t i = 0; i < def.Fields.size(); ++i)
                rows.push_back(rs->Field(static_cast<int>(i)));
            if (++pending == perStatement)
                flush();
        }
        flush();
        // Counters go on after the highest number copied.
        if (auto* server = dynamic_cast<PgDatabase*>(&target))
            for (const FieldDef& f : def.Fields)
                if (f.Type == FieldType::Counter)
                    server->ResetCounter(table, f.Name);
    }
    transaction.Commit();
    // The stamps are made for the copied rows, not copied: the target's own writes move them.
    EnsureChangeStamps(target);
}

} // namespace pf
