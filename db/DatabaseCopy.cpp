#include "db/DatabaseCopy.h"

#include "db/SqliteFunctions.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

namespace pf {

namespace {

struct DbCloser
{
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using DbHandle = std::unique_ptr<sqlite3, DbCloser>;

DbError CopyError(const std::string& target, const std::string& reason)
{
    return DbError(3051, "Die Datenbank konnte nicht nach \"" + target + "\" kopiert werden: " + reason);
}

void CopyFromHandle(sqlite3* source, const std::string& target)
{
    const std::string partial = target + ".$$$";
    std::error_code ignored;
    std::filesystem::remove(partial, ignored);
    {
        sqlite3* raw = nullptr;
        const int rc =
            sqlite3_open_v2(partial.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        DbHandle copy(raw);
        if (rc != SQLITE_OK)
            throw CopyError(target, EngineErrorReason(rc, raw ? sqlite3_errmsg(raw) : nullptr, partial));
        RegisterJetFunctions(raw);
        sqlite3_backup* backup = sqlite3_backup_init(raw, "main", source, "main");
        if (!backup)
            throw CopyError(target, EngineErrorReason(sqlite3_errcode(raw), sqlite3_errmsg(raw), partial));
        // A writer elsewhere may hold the file for a moment; give up after about ten seconds.
        int step;
        int waits = 0;
        while ((step = sqlite3_backup_step(backup, 256)) == SQLITE_OK ||
               ((step == SQLITE_BUSY || step == SQLITE_LOCKED) && ++waits < 500))
            sqlite3_sleep(step == SQLITE_OK ? 0 : 20);
        int done = sqlite3_backup_finish(backup);
        if (step != SQLITE_DONE)
            done = step;
        // The copy is a single file: no write-ahead log beside it. Leaving the log writes its last
        // pages into the file, which a full disk can refuse; only a copy closed without error is whole.
        if (done == SQLITE_OK)
            done = sqlite3_exec(raw, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
        if (done == SQLITE_OK)
            done = sqlite3_close_v2(copy.release());
        if (done != SQLITE_OK) {
            copy.reset();
            RemoveDatabaseFile(partial);
            throw CopyError(target, EngineErrorReason(done, nullptr, partial));
        }
    }
    // Only a complete copy takes the target's name.
    std::error_code ec;
    std::filesystem::rename(partial, target, ec);
    if (ec) {
        std::filesystem::remove(partial, ignored);
        throw CopyError(target, SystemErrorReason(ec));
    }
}

} // namespace

void CopyDatabaseFile(const std::string& source, const std::string& target)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(source.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    DbHandle db(raw);
    if (rc != SQLITE_OK)
        throw CopyError(target, EngineErrorReason(rc, raw ? sqlite3_errmsg(raw) : nullptr, source));
    RegisterJetFunctions(raw);
    CopyFromHandle(raw, target);
}

bool DatabaseFileInUse(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct flock probe
    {
    };
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = 0x40000000; // the engine's lock bytes lie just past the first gigabyte
    probe.l_len = 512;
    const bool locked = ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    ::close(fd);
    return locked;
}

void RemoveLeftoverCopies(const std::string& path)
{
    for (const std::string& partial : {path + ".$$$", path + ".$$$.$$$", path + ".BAK.$$$"}) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(partial, ec) && !DatabaseFileInUse(partial))
            RemoveDatabaseFile(partial);
    }
}

void RemoveDatabaseFile(const std::string& path)
{
    std::error_code ignored;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        std::filesystem::remove(path + suffix, ignored);
}

void CopyDatabase(Database& source, const std::string& target)
{
    // A connection of its own reads the last committed state, whatever the program's connection
    // holds uncommitted at this moment.
    CopyDatabaseFile(source.Name(), target);
}

} // namespace pf
