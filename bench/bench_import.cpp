// Import of one generated Meal-Master file into a fresh database with the duplicate checks the
// command line uses (a known title is skipped only with the same ingredient lines). The file holds
// N recipes (default 100,000; 10,000 for a quick run) in code page 850 with CR LF, as DOS-era
// collections come: title, two categories, a yield, twelve ingredient lines with fractions, units,
// umlauts, notes and a heading, five lines of preparation. Every hundredth recipe repeats an
// earlier one whole (skipped), every hundredth after the fiftieth repeats only an earlier title
// (stored). Prints the rate after 10,000, 50,000 and N recipes, then the rate of the whole run
// (reading the file included), the peak memory of the process (ru_maxrss) and the processor time
// of the storing thread (the file is read on a thread beside it).
// Usage: bench_import [recipes]. Targets at 100,000 recipes: at least 10,000 recipes/s over the
// whole run, peak memory under 150 MB. With PF_BENCH_SERVER set to a server's connect text
// ("odbc:...") the import goes into a new schema there (dropped at the end); target at 20,000
// recipes: at least 1,500 recipes/s.

#include "core/AppContext.h"
#include "core/TextConv.h"
#include "db/Database.h"
#include "db/OpenDatabase.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "db/SearchIndex.h"
#include "db/SqliteDatabase.h"
#include "exchange/RecipeImport.h"

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

void PrepareDatabase(pf::Database& db)
{
    pf::CreateTables(db, pf::SchemaTables());
    pf::DbTransaction trans(db);
    const char* units[][3] = {
        {"G", "Gramm", "g"},       {"KG", "Kilogramm", "kg"}, {"ML", "Milliliter", "ml"},
        {"EL", "Esslöffel", "tb"}, {"TL", "Teelöffel", "ts"}, {"TA.", "Tasse", "c"},
        {"PR.", "Prise", "pn"},    {"STK.", "Stück", "ea"},   {"L", "Liter", "l"}};
    for (long i = 0; i < 9; ++i)
        db.Execute(
            "INSERT INTO T_UNIT (ID,UnitShortD,UnitNameD,UnitShortUK,UnitNameUK,UnitShortUS,UnitNameUS) "
            "VALUES (?,?,?,?,?,?,?)",
            {i + 1, units[i][0], units[i][1], units[i][2], units[i][1], units[i][2], units[i][1]});
    db.Execute(
        "INSERT INTO T_REZ_KOPFEINHEIT (ID,NameD,NameE,NameF) VALUES (1,'Portionen','Servings','Portions')");
    trans.Commit();
}

// One recipe in UTF-8; its content follows from contentNo alone, so that a repeat is the same.
std::string MakeRecipe(long titleNo, long contentNo)
{
    static const char* const kUnits[] = {"g ", "kg", "ml", "tb", "ts", "c ", "pn", "  ", "l "};
    static const char* const kAmounts[] = {"1", "2", "1/2", "1 1/2", "250", "3/4", "100", "", "4"};
    static const char* const kFoods[] = {
        "Mehl",  "Zucker",   "Butter; weich",        "Eier; verquirlt",
        "Milch", "Salz",     "Zwiebeln; gehackt",    "Tomaten; geschält",
        "Reis",  "Olivenöl", "Knoblauch; zerdrückt", "Petersilie; fein gehackt"};
    std::mt19937 random(static_cast<std::mt19937::result_type>(contentNo));
    std::string text = "MMMMM----- Recipe via Meal-Master (tm) v8.05\r\n\r\n";
    text += "      Title: Rezept Nummer " + std::to_string(titleNo) + "\r\n";
    text += " Categories: Kategorie " + std::to_string(random() % 300) + ", Hauptgericht\r\n";
    text += "      Yield: " + std::to_string(1 + random() % 8) + " Portionen\r\n\r\n";
    char line[128];
    for (int n = 0; n < 12; ++n) {
        if (n == 6)
            text += "MMMMM--------------------------SOßE--------------------------------\r\n";
        std::snprintf(line, sizeof line, "%7s %-2s %s\r\n", kAmounts[random() % 9], kUnits[random() % 9],
                      kFoods[random() % 12]);
        text += line;
    }
    text += "\r\n";
    for (int p = 0; p < 4; ++p)
        text += "  Die Zutaten sorgfältig verrühren und bei mittlerer Hitze garen, dabei\r\n";
    text +=
        "  gelegentlich umrühren; im Ofen bei " + std::to_string(150 + random() % 80) + "°C überbacken.\r\n";
    text += "\r\nMMMMM\r\n\r\n";
    return text;
}

// Writes the file recipe by recipe, so that making it does not raise the peak memory.
void WriteFile(const std::string& path, long count)
{
    std::ofstream out(path, std::ios::binary);
    for (long i = 0; i < count; ++i) {
        long titleNo = i;
        long contentNo = i;
        if (i % 100 == 99 && i > 200)
            titleNo = contentNo = i - 199; // the same recipe again
        else if (i % 100 == 49 && i > 200)
            titleNo = i - 149; // another recipe under a known title
        out << pf::Utf8ToCp850(MakeRecipe(titleNo, contentNo));
    }
}

long PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Processor time of the process so far (user and system); on a shared machine it varies less than
// the wall-clock time.
double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Processor time of the calling thread alone. The file is read on a second thread while this one
// stores: on an otherwise idle machine with two cores the run takes about as long as the storing
// thread's processor time, whatever other programs take from the machine meanwhile.
double ThreadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

class TimedImport : public pf::RecipeImport
{
public:
    TimedImport(pf::Database& db, long total) : RecipeImport(db), m_total(total), m_start(Clock::now()) {}

    long StoreRecipe(pf::ImportRecipe& recipe) override
    {
        const long id = RecipeImport::StoreRecipe(recipe);
        ++m_done;
        if (m_done == 10000 || m_done == 50000 || m_done == m_total) {
            const double seconds = std::chrono::duration<double>(Clock::now() - m_start).count();
            const double window = std::chrono::duration<double>(Clock::now() - m_mark).count();
            std::printf(
                "%7ld recipes: %8.0f recipes/s overall, %8.0f recipes/s since the last mark, %ld MB peak\n",
                m_done, static_cast<double>(m_done) / seconds,
                static_cast<double>(m_done - m_markDone) / window, PeakMegabytes());
            std::fflush(stdout);
            m_mark = Clock::now();
            m_markDone = m_done;
        }
        return id;
    }

private:
    long m_total;
    long m_done = 0;
    Clock::time_point m_start;
    Clock::time_point m_mark = Clock::now();
    long m_markDone = 0;
};

} // namespace

int main(int argc, char** argv)
{
    const long total = argc > 1 ? std::atol(argv[1]) : 100000;
    const auto dir = std::filesystem::temp_directory_path() / ("bench_import_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    pf::AppContext app;
    app.WinUser = "bench";
    app.IniFile = (dir / "machine.ini").string();
    app.UserStoreFile = (dir / "user.ini").string();
    pf::ScopedAppContext scope(app);

    // PF_BENCH_FILE names a file kept between runs (written when missing); a million recipes take
    // a gigabyte that need not be written again for every run.
    const char* kept = std::getenv("PF_BENCH_FILE");
    const std::string file = kept && *kept ? std::string(kept) : (dir / "rezepte.mm").string();
    if (!std::filesystem::exists(file))
        WriteFile(file, total);
    std::printf("%ld recipes, file of %.1f MB (code page 850, CR LF), %ld MB peak before the run\n", total,
                static_cast<double>(std::filesystem::file_size(file)) / 1e6, PeakMegabytes());
    {
        pf::OpenOptions options;
        options.Create = true;
        const char* server = std::getenv("PF_BENCH_SERVER");
        const std::string schema = "bench_import_" + std::to_string(getpid());
        std::unique_ptr<pf::Database> db;
        if (server && *server) {
            pf::OpenDatabase(server)->Execute("CREATE SCHEMA " + schema);
            db = pf::OpenDatabase(std::string(server) + ";ConnSettings=SET search_path TO " + schema);
        } else {
            db = pf::Database::OpenSqlite((dir / "import.db").string(), options);
        }
        struct DropSchema
        {
            const char* Server;
            std::string Name;
            ~DropSchema()
            {
                if (Server && *Server)
                    pf::OpenDatabase(Server)->Execute("DROP SCHEMA " + Name + " CASCADE");
            }
        } drop{server, schema};
        PrepareDatabase(*db);
        // The word index of the search is kept during the import (by triggers on a file, by the
        // server's own indexes there); PF_WORD_INDEX=0 measures the import without it.
        const char* index = std::getenv("PF_WORD_INDEX");
        if (!index || std::string(index) != "0")
            pf::CreateSearchIndex(*db);
        std::printf("word index: %s\n", pf::HasSearchIndex(*db) ? "yes" : "no");
        // For trying settings of the index tables: PF_INDEX_CONFIG="pgsz=4000,automerge=8" sets them on
        // each of the three.
        if (const char* config = std::getenv("PF_INDEX_CONFIG"); config && pf::HasSearchIndex(*db)) {
            std::string list = config;
            for (std::size_t pos = 0; pos < list.size();) {
                const std::size_t end = std::min(list.find(',', pos), list.size());
                const std::string item = list.substr(pos, end - pos);
                const std::size_t eq = item.find('=');
                for (const char* table :
                     {pf::kTitleIndexTable, pf::kTextIndexTable, pf::kIngredientIndexTable})
                    static_cast<pf::SqliteDatabase&>(*db).ExecuteNative(
                        std::string("INSERT INTO ") + table + "(" + table + ",rank) VALUES('" +
                        item.substr(0, eq) + "'," + item.substr(eq + 1) + ")");
                pos = end + 1;
            }
        }
        // For trying engine settings: PF_PRAGMA="cache_size=-32768" and the like.
        if (const char* pragma = std::getenv("PF_PRAGMA"))
            db->OpenRecordset(std::string("PRAGMA ") + pragma);
        // For weighing what an index of the recipe tables costs: PF_SQL="DROP INDEX ..." runs first.
        if (const char* sql = std::getenv("PF_SQL"))
            static_cast<pf::SqliteDatabase&>(*db).ExecuteNative(sql);
        TimedImport run(*db, total);
        run.Options().Files = {file};
        run.Options().Duplicates = pf::DupePreset::Ignore;
        run.Options().SameContentOnly = true;
        run.Options().NewCookbook = true;
        run.Options().CookbookName = "Benchmark";
        if (const char* every = std::getenv("PF_COMMIT_EVERY"))
            run.Options().CommitEvery = std::atoi(every);
        const Clock::time_point start = Clock::now();
        const double cpuStart = CpuSeconds();
        const double storingStart = ThreadCpuSeconds();
        if (!run.Import()) {
            std::fprintf(stderr, "Import fehlgeschlagen: %s\n", run.LastErrorText().c_str());
            return 1;
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        const double cpu = CpuSeconds() - cpuStart;
        const double storing = ThreadCpuSeconds() - storingStart;
        std::printf("%s\n%.1f s, %.0f recipes/s over the whole run, peak memory %ld MB; processor %.1f s, "
                    "%.0f recipes per processor second; storing thread %.1f s\n",
                    run.Summary().c_str(), seconds, static_cast<double>(total) / seconds, PeakMegabytes(),
                    cpu, static_cast<double>(total) / cpu, storing);
        // The import leaves its new recipes to be indexed afterwards (in the background by the
        // desktop program, at the end of the command by the command line).
        const std::size_t waiting = pf::PendingRecipeCount(*db);
        const Clock::time_point indexStart = Clock::now();
        // PF_INDEX_PIECE=1000 indexes in pieces as the desktop program does and names the slowest.
        double slowest = 0;
        if (const char* piece = std::getenv("PF_INDEX_PIECE")) {
            for (std::size_t left = waiting; left > 0;) {
                const Clock::time_point pieceStart = Clock::now();
                left = pf::IndexPendingRecipes(*db, static_cast<std::size_t>(std::atol(piece)));
                slowest = std::max(slowest, std::chrono::duration<double>(Clock::now() - pieceStart).count());
            }
        } else {
            pf::IndexAllPendingRecipes(*db);
        }
        std::printf("word index of %zu recipes afterwards: %.1f s (slowest piece %.3f s), peak memory %ld MB\n",
                    waiting, std::chrono::duration<double>(Clock::now() - indexStart).count(), slowest,
                    PeakMegabytes());
    }
    std::filesystem::remove_all(dir);
    return 0;
}
