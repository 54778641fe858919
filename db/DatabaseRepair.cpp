#include "db/DatabaseRepair.h"

#include "db/DbError.h"
#include "db/SearchIndex.h"
#include "db/SqliteFunctions.h"

#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace pf {

namespace {

struct DbCloser
{
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct StmtFinalizer
{
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using DbHandle = std::unique_ptr<sqlite3, DbCloser>;
using StmtHandle = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

// The reason of the last failure on an open handle, naming the handle's file.
std::string HandleErrorReason(sqlite3* db)
{
    const char* file = sqlite3_db_filename(db, "main");
    return EngineErrorReason(sqlite3_extended_errcode(db), sqlite3_errmsg(db), file ? file : "");
}

DbHandle OpenRaw(const std::string& path, int flags, std::string& error)
{
    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
    DbHandle db(raw);
    if (rc != SQLITE_OK) {
        error = EngineErrorReason(rc, raw ? sqlite3_errmsg(raw) : nullptr, path);
        return nullptr;
    }
    sqlite3_busy_timeout(raw, 3000);
    // The schema's text columns compare through the program's collation; without it the engine
    // refuses to touch them.
    RegisterJetFunctions(raw);
    return db;
}

StmtHandle Prepare(sqlite3* db, const std::string& sql)
{
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
        return nullptr;
    return StmtHandle(stmt);
}

std::string QuoteName(const std::string& name)
{
    std::string quoted = "\"";
    for (char c : name) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

std::string FirstLine(sqlite3* db, const std::string& sql, std::string& error)
{
    StmtHandle stmt = Prepare(db, sql);
    if (!stmt) {
        error = HandleErrorReason(db);
        return {};
    }
    int rc = sqlite3_step(stmt.get());
    if (rc == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(stmt.get(), 0);
        return text ? reinterpret_cast<const char*>(text) : "";
    }
    if (rc != SQLITE_DONE)
        error = HandleErrorReason(db);
    return {};
}

struct SchemaObject
{
    std::string Type;
    std::string Name;
    std::string Sql;
};

// Copies the rows of one table; rows the engine cannot read are skipped by continuing after the
// last good rowid, so one damaged page does not cost the rest of the table.
void CopyTable(sqlite3* src, sqlite3* dst, const std::string& table, RepairResult& result)
{
    const std::string name = QuoteName(table);
    sqlite3_int64 lastRowid = 0;
    bool first = true;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::string select = "SELECT rowid, * FROM " + name;
        if (!first)
            select += " WHERE rowid > " + std::to_string(lastRowid);
        select += " ORDER BY rowid";
        StmtHandle read = Prepare(src, select);
        if (!read)
            return;
        const int columns = sqlite3_column_count(read.get()) - 1;
        std::string insert = "INSERT INTO " + name + " VALUES (";
        for (int i = 0; i < columns; ++i)
            insert += i ? ",?" : "?";
        insert += ")";
        StmtHandle write = Prepare(dst, insert);
        if (!write)
            return;
        int rc;
        while ((rc = sqlite3_step(read.get())) == SQLITE_ROW) {
            lastRowid = sqlite3_column_int64(read.get(), 0);
            for (int i = 0; i < columns; ++i)
                sqlite3_bind_value(write.get(), i + 1, sqlite3_column_value(read.get(), i + 1));
            if (sqlite3_step(write.get()) == SQLITE_DONE)
                ++result.RowsCopied;
            else
                ++result.RowsLost;
            sqlite3_reset(write.get());
        }
        if (rc == SQLITE_DONE)
            return;
        // A damaged row or page: skip one rowid and go on with the rest.
        ++result.RowsLost;
        ++lastRowid;
        first = false;
    }
}

std::string FreeName(const std::string& base)
{
    std::string candidate = base;
    for (int n = 1; std::filesystem::exists(candidate); ++n)
        candidate = base + "." + std::to_string(n);
    return candidate;
}

} // namespace

RepairResult RepairDatabaseFile(const std::string& path)
{
    RepairResult result;
    std::string error;
    DbHandle src = OpenRaw(path, SQLITE_OPEN_READWRITE, error);
    if (!src) {
        result.Error = error;
        return result;
    }
    std::string check = FirstLine(src.get(), "PRAGMA integrity_check", error);
    if (!error.empty() && check.empty()) {
        result.Error = error;
        return result;
    }
    if (check == "ok") {
        result.Ok = true;
        result.WasIntact = true;
        return result;
    }

    std::vector<SchemaObject> objects;
    bool hadIndex = false;
    {
        StmtHandle stmt =
            Prepare(src.get(), "SELECT type, name, sql FROM sqlite_master WHERE sql IS NOT NULL "
                               "AND name NOT LIKE 'sqlite_%' ORDER BY type = 'table' DESC, rowid");
        if (!stmt) {
            result.Error = HandleErrorReason(src.get());
            return result;
        }
        while (sqlite3_step(stmt.get()) == SQLITE_ROW) {
            auto text = [&](int i) {
                const unsigned char* t = sqlite3_column_text(stmt.get(), i);
                return std::string(t ? reinterpret_cast<const char*>(t) : "");
            };
            // The word index is rebuilt from the copied rows instead of copied: its tables hold no
            // text that a copy could check, and its triggers must not see the rows arrive.
            if (IsSearchIndexObject(text(1))) {
                hadIndex = true;
                continue;
            }
            objects.push_back({text(0), text(1), text(2)});
        }
    }

    const std::string fresh = FreeName(path + ".neu");
    {
        DbHandle dst = OpenRaw(fresh, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, error);
        if (!dst) {
            result.Error = error;
            return result;
        }
        sqlite3_exec(dst.get(), "BEGIN", nullptr, nullptr, nullptr);
        for (const auto& object : objects) {
            if (object.Type != "table")
                continue;
            if (sqlite3_exec(dst.get(), object.Sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK)
                CopyTable(src.get(), dst.get(), object.Name, result);
        }
        for (const auto& object : objects) {
            if (object.Type != "table")
                sqlite3_exec(dst.get(), object.Sql.c_str(), nullptr, nullptr, nullptr);
        }
        if (hadIndex)
            CreateSearchIndex(dst.get()); // without it the file searches by scan, as before
        if (sqlite3_exec(dst.get(), "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
            result.Error = HandleErrorReason(dst.get());
            dst.reset();
            std::error_code ignored;
            std::filesystem::remove(fresh, ignored);
            return result;
        }
    }
    src.reset();

    std::error_code ec;
    result.KeptOriginal = FreeName(path + ".defekt");
    std::filesystem::rename(path, result.KeptOriginal, ec);
    if (!ec) {
        for (const char* side : {"-wal", "-shm"})
            std::filesystem::rename(path + side, result.KeptOriginal + side, ec);
        ec.clear();
        std::filesystem::rename(fresh, path, ec);
    }
    if (ec) {
        result.Error = SystemErrorReason(ec);
        return result;
    }
    result.Ok = true;
    return result;
}

bool VacuumDatabaseFile(const std::string& path, std::string& error)
{
    DbHandle db = OpenRaw(path, SQLITE_OPEN_READWRITE, error);
    if (!db)
        return false;
    // Fold the write-ahead log into the file first so that the size before and after compares.
    sqlite3_wal_checkpoint_v2(db.get(), nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    if (sqlite3_exec(db.get(), "VACUUM", nullptr, nullptr, nullptr) != SQLITE_OK) {
        error = HandleErrorReason(db.get());
        return false;
    }
    sqlite3_wal_checkpoint_v2(db.get(), nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    return true;
}

} // namespace pf
