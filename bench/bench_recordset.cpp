// What the connection layer costs over hand-written SQLite code. Inserts N ingredient-like rows
// through a recordset (AddNew / SetField / Update in one transaction) and reads them back by field
// name; does the same with raw prepared statements into a second file with the identical table.
// Layer and raw runs alternate (inserts twice into fresh files, reads five times) and the best
// time of each counts, so that a busy machine disturbs the ratio less. Prints both times and
// their ratio. Usage: bench_recordset [rows] (default 1,000,000).

#include "db/Database.h"
#include "db/Recordset.h"
#include "db/SqliteFunctions.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

const std::vector<std::string>& Texts()
{
    static const std::vector<std::string> texts = {
        "Weizenmehl Type 405",
        "Äpfel, säuerlich (Boskop)",
        "Zucker",
        "Butter, weich",
        "Eier Größe M",
        "Milch, 3,5 % Fett",
        "Salz",
        "Backpulver",
        "Vanillezucker",
        "Zimt, gemahlen",
        "Rosinen, in Rum eingelegt",
        "Mandeln, gehobelt",
        "Schlagsahne",
        "Quark, 20 % Fett",
        "Zitrone, unbehandelt, abgeriebene Schale",
        "Hefe, frisch",
        "Kartoffeln, mehlig kochend",
        "Zwiebeln",
        "Knoblauchzehen",
        "Petersilie, glatt",
    };
    return texts;
}

struct Row
{
    long long id, rezId, pos, einheit;
    long long mengeTicks;
    const std::string* text;
    const char* remark; // null for a Null remark
};

Row MakeRow(long long i)
{
    const auto& texts = Texts();
    return Row{i + 1,
               i / 10 + 1,
               i % 10 + 1,
               i % 7,
               (i % 1000) * 2500 + 1,
               &texts[static_cast<std::size_t>(i) % texts.size()],
               i % 3 == 0 ? "fein gehackt" : nullptr};
}

// Sums that both readers must agree on.
struct Checksum
{
    long long ids = 0, positions = 0, ticks = 0;
    std::size_t textBytes = 0, remarks = 0;
    bool operator==(const Checksum&) const = default;
};

void Check(int rc, sqlite3* db, const char* what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

void Exec(sqlite3* db, const std::string& sql)
{
    Check(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), db, sql.c_str());
}

// Creates the table through the layer; returns its CREATE statement for the raw file.
std::string CreateBenchTable(pf::Database& db)
{
    using T = pf::FieldType;
    db.CreateTable({"T_BENCH",
                    {{"ID", T::Long, 0, true, {}},
                     {"RezID", T::Long, 0, false, {}},
                     {"Pos", T::Long, 0, false, {}},
                     {"Menge", T::Currency, 0, false, {}},
                     {"EinheitID", T::Long, 0, false, {}},
                     {"ZutText", T::Text, 255, false, {}},
                     {"Bemerkung", T::Memo, 0, false, {}}},
                    {{"PrimaryKey", {"ID"}, true, true}}});
    return db.Scalar("SELECT sql FROM sqlite_master WHERE name='T_BENCH'").AsText();
}

std::unique_ptr<pf::Database> OpenLayer(const std::string& path)
{
    pf::OpenOptions options;
    options.Create = true;
    return pf::Database::OpenSqlite(path, options);
}

double LayerInsert(const std::string& path, long long rows)
{
    auto db = OpenLayer(path);
    CreateBenchTable(*db);
    const auto start = Clock::now();
    pf::DbTransaction tx(*db);
    auto rs = db->OpenRecordset("SELECT * FROM T_BENCH WHERE ID=0");
    for (long long i = 0; i < rows; ++i) {
        const Row r = MakeRow(i);
        rs->AddNew();
        rs->SetField("ID", r.id);
        rs->SetField("RezID", r.rezId);
        rs->SetField("Pos", r.pos);
        rs->SetField("Menge", pf::Decimal4::FromTicks(r.mengeTicks));
        rs->SetField("EinheitID", r.einheit);
        rs->SetField("ZutText", *r.text);
        rs->SetField("Bemerkung", r.remark ? pf::Value(r.remark) : pf::Value());
        rs->Update();
    }
    rs.reset();
    tx.Commit();
    return Seconds(start);
}

double LayerRead(pf::Database& db, Checksum& sum)
{
    const auto start = Clock::now();
    sum = {};
    auto rs = db.OpenRecordset("SELECT * FROM T_BENCH");
    for (; !rs->Eof(); rs->MoveNext()) {
        sum.ids += rs->Field("ID").AsLong();
        sum.positions +=
            rs->Field("Pos").AsLong() + rs->Field("RezID").AsLong() + rs->Field("EinheitID").AsLong();
        sum.ticks += rs->Field("Menge").AsCurrency().Ticks();
        sum.textBytes += rs->Field("ZutText").AsText().size();
        const pf::Value remark = rs->Field("Bemerkung");
        if (!remark.IsNull())
            sum.remarks += remark.AsText().size();
    }
    return Seconds(start);
}

struct RawDb
{
    sqlite3* db = nullptr;
    explicit RawDb(const std::string& path)
    {
        Check(sqlite3_open_v2(path.c_str(), &db,
                              SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr),
              db, "open");
        // The same connection settings as the layer's.
        pf::RegisterJetFunctions(db);
        Exec(db, "PRAGMA journal_mode=WAL");
        Exec(db, "PRAGMA synchronous=NORMAL");
    }
    ~RawDb() { sqlite3_close(db); }
    RawDb(const RawDb&) = delete;
    RawDb& operator=(const RawDb&) = delete;
};

double RawInsert(const std::string& path, long long rows, const std::string& tableSql)
{
    RawDb raw(path);
    sqlite3* db = raw.db;
    Exec(db, tableSql);
    const auto start = Clock::now();
    Exec(db, "BEGIN IMMEDIATE");
    sqlite3_stmt* insert = nullptr;
    Check(sqlite3_prepare_v2(db,
                             "INSERT INTO T_BENCH (ID, RezID, Pos, Menge, EinheitID, ZutText, Bemerkung) "
                             "VALUES (?,?,?,?,?,?,?)",
                             -1, &insert, nullptr),
          db, "prepare");
    for (long long i = 0; i < rows; ++i) {
        const Row r = MakeRow(i);
        sqlite3_bind_int64(insert, 1, r.id);
        sqlite3_bind_int64(insert, 2, r.rezId);
        sqlite3_bind_int64(insert, 3, r.pos);
        sqlite3_bind_double(insert, 4, static_cast<double>(r.mengeTicks) / 10000.0);
        sqlite3_bind_int64(insert, 5, r.einheit);
        sqlite3_bind_text(insert, 6, r.text->data(), static_cast<int>(r.text->size()), SQLITE_STATIC);
        if (r.remark)
            sqlite3_bind_text(insert, 7, r.remark, -1, SQLITE_STATIC);
        else
            sqlite3_bind_null(insert, 7);
        Check(sqlite3_step(insert), db, "insert");
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    Exec(db, "COMMIT");
    return Seconds(start);
}

// A careful hand-written reader: column numbers known, text copied into strings, currency
// rounded to four places as the program keeps it.
double RawRead(sqlite3* db, Checksum& sum)
{
    const auto start = Clock::now();
    sum = {};
    sqlite3_stmt* select = nullptr;
    Check(sqlite3_prepare_v2(db, "SELECT * FROM T_BENCH", -1, &select, nullptr), db, "prepare");
    int rc = 0;
    while ((rc = sqlite3_step(select)) == SQLITE_ROW) {
        sum.ids += sqlite3_column_int64(select, 0);
        sum.positions += sqlite3_column_int64(select, 2) + sqlite3_column_int64(select, 1) +
                         sqlite3_column_int64(select, 4);
        sum.ticks += pf::Decimal4::FromDouble(sqlite3_column_double(select, 3)).Ticks();
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(select, 5));
        sum.textBytes += std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(select, 5))).size();
        if (sqlite3_column_type(select, 6) != SQLITE_NULL) {
            const auto* remark = reinterpret_cast<const char*>(sqlite3_column_text(select, 6));
            sum.remarks +=
                std::string(remark, static_cast<std::size_t>(sqlite3_column_bytes(select, 6))).size();
        }
    }
    Check(rc, db, "select");
    sqlite3_finalize(select);
    return Seconds(start);
}

} // namespace

int main(int argc, char** argv)
{
    const long long rows = argc > 1 ? std::atoll(argv[1]) : 1000000;
    if (rows <= 0) {
        std::fprintf(stderr, "Aufruf: bench_recordset [Zeilen]\n");
        return 2;
    }
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/pf-bench-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::filesystem::path dir = pattern;
    int status = 0;
    try {
        const std::string layerPath = (dir / "layer.MDB").string();
        const std::string rawPath = (dir / "raw.MDB").string();
        std::string tableSql;
        {
            pf::OpenOptions options;
            options.Create = true;
            tableSql = CreateBenchTable(*pf::Database::OpenSqlite((dir / "schema.MDB").string(), options));
        }
        double layerInsert = 1e30, rawInsert = 1e30, layerRead = 1e30, rawRead = 1e30;
        for (int round = 0; round < 2; ++round) {
            for (const std::string& path : {layerPath, rawPath, layerPath + "-wal", rawPath + "-wal",
                                            layerPath + "-shm", rawPath + "-shm"})
                std::filesystem::remove(path);
            layerInsert = std::min(layerInsert, LayerInsert(layerPath, rows));
            rawInsert = std::min(rawInsert, RawInsert(rawPath, rows, tableSql));
        }
        auto layerDb = OpenLayer(layerPath);
        RawDb rawDb(rawPath);
        Checksum layerSum, rawSum;
        for (int round = 0; round < 5; ++round) {
            layerRead = std::min(layerRead, LayerRead(*layerDb, layerSum));
            rawRead = std::min(rawRead, RawRead(rawDb.db, rawSum));
        }
        std::printf("rows: %lld (best of 2 inserts, 5 reads)\n", rows);
        std::printf("%-8s %12s %12s %8s\n", "", "layer [s]", "raw [s]", "ratio");
        std::printf("%-8s %12.3f %12.3f %8.2f\n", "insert", layerInsert, rawInsert, layerInsert / rawInsert);
        std::printf("%-8s %12.3f %12.3f %8.2f\n", "read", layerRead, rawRead, layerRead / rawRead);
        if (!(layerSum == rawSum)) {
            std::fprintf(stderr, "Die gelesenen Daten unterscheiden sich.\n");
            status = 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        status = 1;
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return status;
}
