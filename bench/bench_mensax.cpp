// What the Mensax exchange costs. Generates N recipes (default 100,000) of 15 ingredient lines with a
// separator, two categories and a paragraph of instructions, exports all of them to a Mensax file,
// then imports the first M of them (default 10,000, written to a file of their own) into a fresh
// database with the duplicate checks the command line uses. Prints recipes per second, wall and
// processor time, and the peak memory of the process.
// Usage: bench_mensax [export recipes] [import recipes]. Targets: export at least 10,000 recipes/s,
// import at least 3,000 recipes/s.

#include "bench/BenchData.h"
#include "db/Database.h"
#include "exchange/ExportRun.h"
#include "exchange/RecipeImport.h"
#include "model/ProgramUnits.h"

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

namespace {

using pf::bench::Clock;
using pf::bench::Seconds;

long PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

void Report(const char* what, long recipes, Clock::time_point start, std::clock_t cpuStart,
            const char* target)
{
    const double seconds = Seconds(start);
    const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    std::printf(
        "%s: %ld Rezepte in %.2f s = %.0f Rezepte/s (CPU %.2f s = %.0f Rezepte/s), Spitze %ld MB (%s)\n",
        what, recipes, seconds, static_cast<double>(recipes) / seconds, cpu,
        static_cast<double>(recipes) / cpu, PeakMegabytes(), target);
}

} // namespace

int main(int argc, char** argv)
{
    const long exported = argc > 1 ? std::atol(argv[1]) : 100000;
    const long imported = std::min(argc > 2 ? std::atol(argv[2]) : 10000, exported);
    const pf::bench::BenchFolder folder("pf_bench_mensax");
    auto db = folder.NewDatabase("bench.MDB");
    Clock::time_point start = Clock::now();
    pf::bench::GenerateRecipes(*db, exported);
    std::printf("Erzeugt: %ld Rezepte in %.1f s\n", exported, Seconds(start));

    pf::ExportRequest request;
    request.Mode = pf::clsRecipeExport::kMensaxFile;
    for (long id = 1; id <= exported; ++id)
        request.Ids.push_back(id);
    request.FileName = (folder.Dir() / "export.mnx").string();
    pf::ResetProgramData();
    start = Clock::now();
    std::clock_t cpuStart = std::clock();
    pf::ExportOutcome outcome = pf::RunExport(request, db.get());
    if (!outcome.Ok || outcome.Exported != exported) {
        std::fprintf(stderr, "Export: %s (%ld exportiert)\n", outcome.Message.c_str(), outcome.Exported);
        return 1;
    }
    Report("Mensax-Export", exported, start, cpuStart, "Ziel >= 10000 Rezepte/s");

    request.Ids.resize(static_cast<std::size_t>(imported));
    request.FileName = (folder.Dir() / "import.mnx").string();
    outcome = pf::RunExport(request, db.get());
    if (!outcome.Ok)
        return 1;
    auto target = folder.NewDatabase("import.MDB");
    {
        pf::DbTransaction trans(*target);
        pf::bench::CreateTablesWithReferenceRows(*target);
        trans.Commit();
    }
    pf::ResetProgramData();
    start = Clock::now();
    cpuStart = std::clock();
    pf::RecipeImport run(*target);
    run.Options().Files = {request.FileName};
    run.Options().Duplicates = pf::DupePreset::Ignore;
    run.Options().SameContentOnly = true;
    if (!run.Import()) {
        std::fprintf(stderr, "Import: %s\n", run.LastErrorText().c_str());
        return 1;
    }
    Report("Mensax-Import", imported, start, cpuStart, "Ziel >= 3000 Rezepte/s");
    std::printf("%s\n", run.Summary().c_str());
    return run.Counters().Imported == imported ? 0 : 1;
}
