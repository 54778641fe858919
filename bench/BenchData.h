#pragma once
// What the benchmarks that generate recipes share: a clock that reads in seconds or milliseconds,
// a fresh folder with the program context installed, and the tables with the reference rows every
// generated recipe points at (five units, the yield unit "Portionen", 200 categories), and the
// recipes of the export and print benchmarks; a copy of a database on a server.

#include "core/AppContext.h"
#include "core/Decimal4.h"
#include "db/Database.h"
#include "db/DatabaseTransfer.h"
#include "db/OpenDatabase.h"
#include "db/PgDatabase.h"
#include "db/Schema.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

namespace pf::bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

inline double Millis(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A benchmark's own folder under the temporary directory, emptied at the start and removed at the
// end, holding the settings and temporary files of a program context installed meanwhile.
class BenchFolder
{
public:
    explicit BenchFolder(const std::string& name) : m_dir(std::filesystem::temp_directory_path() / name)
    {
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        m_app.IniFile = (m_dir / "pfannola.INI").string();
        m_app.UserStoreFile = (m_dir / "user.ini").string();
        m_app.WinUser = "bench";
        m_app.TempDir = m_dir.string() + "/";
        m_scope = std::make_unique<ScopedAppContext>(m_app);
    }
    ~BenchFolder()
    {
        m_scope.reset();
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    const std::filesystem::path& Dir() const { return m_dir; }

    // A new, empty database file in the folder.
    std::unique_ptr<Database> NewDatabase(const std::string& file) const
    {
        OpenOptions options;
        options.Create = true;
        return Database::OpenSqlite((m_dir / file).string(), options);
    }

private:
    std::filesystem::path m_dir;
    AppContext m_app;
    std::unique_ptr<ScopedAppContext> m_scope;
};

// With PF_BENCH_SERVER set to a server's connect text ("odbc:..."): a schema of its own on that server
// (dropped at the end) holding a copy of a database, its statistics gathered; without it, nothing.
// With PF_BENCH_SCHEMA set as well, the copy stays in the schema of that name, and a later run finds
// it there instead of copying again (the copy of 100,000 recipes takes a minute).
class ServerCopy
{
public:
    ServerCopy(Database& source, const std::string& name)
    {
        const char* server = std::getenv("PF_BENCH_SERVER");
        if (!server || !*server)
            return;
        m_server = server;
        const char* kept = std::getenv("PF_BENCH_SCHEMA");
        m_keep = kept && *kept;
        m_schema = m_keep ? std::string(kept) : name + "_" + std::to_string(getpid());
        OpenDatabase(m_server)->Execute("CREATE SCHEMA IF NOT EXISTS " + m_schema);
        m_db = OpenDatabase(m_server + ";ConnSettings=SET search_path TO " + m_schema);
        if (m_keep && m_db->TableExists("T_REZ_KOPF"))
            return;
        const Clock::time_point start = Clock::now();
        TransferDatabase(source, *m_db);
        static_cast<PgDatabase&>(*m_db).ExecuteNative("ANALYZE");
        std::printf("copied onto the server in %.1f s\n", Seconds(start));
    }
    ~ServerCopy()
    {
        if (!m_db || m_keep)
            return;
        m_db.reset();
        OpenDatabase(m_server)->Execute("DROP SCHEMA " + m_schema + " CASCADE");
    }
    ServerCopy(const ServerCopy&) = delete;
    ServerCopy& operator=(const ServerCopy&) = delete;

    // The copy; null without a server.
    Database* Db() const { return m_db.get(); }

private:
    std::string m_server;
    std::string m_schema;
    bool m_keep = false;
    std::unique_ptr<Database> m_db;
};

// The program's tables with units 1..5 (gram, millilitre, tablespoon, teaspoon, piece) and their
// export short names, yield unit 1 and categories 1..200; inside the caller's transaction.
inline void CreateTablesWithReferenceRows(Database& db)
{
    CreateTables(db, SchemaTables());
    const char* units[][3] = {{"G", "Gramm", "G"},
                              {"ML", "Milliliter", "ML"},
                              {"EL", "Esslöffel", "TB"},
                              {"TL", "Teelöffel", "TS"},
                              {"STK.", "Stück", "EA"}};
    for (long i = 0; i < 5; ++i)
        db.Execute(
            "INSERT INTO T_UNIT (ID,UnitShortD,UnitNameD,UnitShortUK,UnitNameUK,UnitShortUS,UnitNameUS,"
            "ConvMetrisch,ConvMetrischUS) VALUES (?,?,?,?,?,?,?,1,1)",
            {i + 1, units[i][0], units[i][1], units[i][2], units[i][1], units[i][2], units[i][1]});
    db.Execute(
        "INSERT INTO T_REZ_KOPFEINHEIT (ID,NameD,NameE,NameF) VALUES (1,'Portionen','Servings','Portions')");
    for (long c = 1; c <= 200; ++c)
        db.Execute("INSERT INTO T_CAT (ID,CatNameD,CatType,ErfassungsFlag) VALUES (?,?,1,-1)",
                   {c, "Kategorie " + std::to_string(c)});
}

// N recipes of 15 ingredient lines with a separator, two categories and a paragraph of
// instructions, over the reference rows; in one transaction.
inline void GenerateRecipes(Database& db, long recipes)
{
    DbTransaction trans(db);
    CreateTablesWithReferenceRows(db);
    const std::string instructions =
        "Die Zwiebeln schälen und fein würfeln. In einer großen Pfanne das Öl erhitzen und die Zwiebeln "
        "darin glasig dünsten. Das Gemüse dazugeben, mit Brühe ablöschen und bei kleiner Hitze zwanzig "
        "Minuten köcheln lassen.\r\n\r\nMit Salz, Pfeffer und einer Prise Zucker abschmecken und heiß "
        "servieren. Dazu passt frisches Bauernbrot oder ein grüner Salat mit einem leichten Dressing.";
    std::mt19937 random(42);
    for (long id = 1; id <= recipes; ++id) {
        db.Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,RezMenuCard,RezYield,RezYieldEinh,Fingerprint1,"
                   "Fingerprint2,FlagDeleted,Template,RezHerkunft) VALUES (?,?,?,4,1,?,?,0,0,0)",
                   {id, "Gemüsepfanne Nr. " + std::to_string(id), "Gemüsepfanne", 24480675L + id,
                    5L * 1048576L + id});
        for (long no = 1; no <= 15; ++no) {
            if (no == 8) {
                db.Execute("INSERT INTO T_REZ_ZUTAT (ID,No,ZutTrenner,ZutText,ZutAnz,ZutEinh,ZutRezept) "
                           "VALUES (?,?,-1,'Für die Soße',0,0,0)",
                           {id, no});
                continue;
            }
            db.Execute("INSERT INTO T_REZ_ZUTAT (ID,No,ZutTrenner,ZutText,ZutAnz,ZutEinh,ZutVerarbeitung,"
                       "ZutRezept,ZutBLSID) VALUES (?,?,0,?,?,?,'fein gehackt',0,0)",
                       {id, no, no % 3 == 0 ? "Frühlingszwiebeln aus dem eigenen Garten" : "Möhren",
                        Decimal4::FromTicks(static_cast<std::int64_t>(random() % 2000 + 1) * 2500),
                        static_cast<long>(no % 5) + 1});
        }
        const long cat = static_cast<long>(random() % 200) + 1;
        db.Execute("INSERT INTO T_REZ_CAT_NDX (ID,CatID,CatPrimary,No) VALUES (?,?,-1,1), (?,?,0,2)",
                   {id, cat, id, cat % 200 + 1});
        db.Execute("INSERT INTO T_REZ_ANWEIS (ID,NO,AnwText) VALUES (?,1,?)", {id, instructions});
    }
    trans.Commit();
}

} // namespace pf::bench
