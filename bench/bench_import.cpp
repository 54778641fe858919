// Import of generated Meal-Master files into a fresh database with the duplicate checks on.
// Generates N recipes (default 100,000) in files of 10,000 each: title, two categories, a yield,
// twelve ingredient lines with fractions, units, notes and a heading, five lines of preparation,
// every hundredth recipe with a title seen before. Prints recipes per second after 10,000, 50,000
// and N recipes and the peak memory of the process.
// Usage: bench_import [recipes]. Targets: 3,000 recipes/s over the run, the rate at the end no
// worse than half the rate after 10,000, peak memory under 300 MB.

#include "core/AppContext.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "exchange/RecipeImport.h"

#include <sys/resource.h>
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

std::string MakeFile(long first, long count, std::mt19937& random)
{
    static const char* const kUnits[] = {"g ", "kg", "ml", "tb", "ts", "c ", "pn", "  ", "l "};
    static const char* const kAmounts[] = {"1", "2", "1/2", "1 1/2", "250", "3/4", "100", "", "4"};
    static const char* const kFoods[] = {
        "Mehl",  "Zucker",    "Butter; weich",         "Eier; verquirlt",
        "Milch", "Salz",      "Zwiebeln; gehackt",     "Tomaten; geschaelt",
        "Reis",  "Olivenoel", "Knoblauch; zerdrueckt", "Petersilie; fein gehackt"};
    std::string text;
    text.reserve(static_cast<std::size_t>(count) * 900);
    char line[128];
    for (long i = first; i < first + count; ++i) {
        // Every hundredth title repeats an earlier one: the duplicate check has work to do.
        const long titleNo = (i % 100 == 99 && i > 200) ? i - 150 : i;
        text += "MMMMM----- Recipe via Meal-Master (tm) v8.05\r\n\r\n";
        text += "      Title: Rezept Nummer " + std::to_string(titleNo) + "\r\n";
        text += " Categories: Kategorie " + std::to_string(random() % 300) + ", Hauptgericht\r\n";
        text += "      Yield: " + std::to_string(1 + random() % 8) + " Portionen\r\n\r\n";
        for (int n = 0; n < 12; ++n) {
            if (n == 6)
                text += "MMMMM--------------------------SAUCE-------------------------------\r\n";
            std::snprintf(line, sizeof line, "%7s %-2s %s\r\n", kAmounts[random() % 9], kUnits[random() % 9],
                          kFoods[random() % 12]);
            text += line;
        }
        text += "\r\n";
        for (int p = 0; p < 5; ++p)
            text += "  Die Zutaten sorgfaeltig verruehren und bei mittlerer Hitze garen, dabei\r\n";
        text += "\r\nMMMMM\r\n\r\n";
    }
    return text;
}

long PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
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

    std::vector<std::string> files;
    std::mt19937 random(42);
    for (long first = 0; first < total; first += 10000) {
        const std::string path = (dir / ("rezepte" + std::to_string(first / 10000) + ".mm")).string();
        std::ofstream(path, std::ios::binary) << MakeFile(first, std::min(10000L, total - first), random);
        files.push_back(path);
    }
    {
        pf::OpenOptions options;
        options.Create = true;
        auto db = pf::Database::OpenSqlite((dir / "import.db").string(), options);
        PrepareDatabase(*db);
        TimedImport run(*db, total);
        run.Options().Files = files;
        run.Options().Duplicates = pf::DupePreset::Ignore;
        run.Options().NewCookbook = true;
        run.Options().CookbookName = "Benchmark";
        if (const char* every = std::getenv("PF_COMMIT_EVERY"))
            run.Options().CommitEvery = std::atoi(every);
        const Clock::time_point start = Clock::now();
        if (!run.Import()) {
            std::fprintf(stderr, "Import fehlgeschlagen: %s\n", run.LastErrorText().c_str());
            return 1;
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        std::printf("%s\n%.1f s, %.0f recipes/s over the whole run, peak memory %ld MB\n",
                    run.Summary().c_str(), seconds, static_cast<double>(total) / seconds, PeakMegabytes());
    }
    std::filesystem::remove_all(dir);
    return 0;
}
