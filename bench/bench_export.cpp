// What an export costs in a large database. Generates N recipes (default 100,000) of 15 ingredient
// lines with a separator, two categories and a paragraph of instructions, then exports all of them
// to a Meal-Master file, to Rezkonv and to HTML, and prints recipes per second for each.
// Wall time and the process's CPU time are both shown, as the machine may be shared.
// Usage: bench_export [recipes] [mm|rezkonv|html]. Target: Meal-Master at least 10,000 recipes
// per second.

#include "bench/BenchData.h"
#include "db/Database.h"
#include "exchange/ExportRun.h"
#include "model/ClRecipe.h"
#include "model/ProgramUnits.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include <string>

namespace {

using pf::bench::Clock;
using pf::bench::Seconds;

} // namespace

int main(int argc, char** argv)
{
    const long recipes = argc > 1 ? std::atol(argv[1]) : 100000;
    const std::string only = argc > 2 ? argv[2] : "";
    const pf::bench::BenchFolder folder("pf_bench_export");
    auto db = folder.NewDatabase("bench.MDB");
    Clock::time_point start = Clock::now();
    pf::bench::GenerateRecipes(*db, recipes);
    std::printf("Erzeugt: %ld Rezepte in %.1f s\n", recipes, Seconds(start));

    pf::ExportRequest request;
    for (long id = 1; id <= recipes; ++id)
        request.Ids.push_back(id);
    struct Format
    {
        const char* name;
        int mode;
        const char* file;
        const char* key;
    };
    for (const Format& format :
         {Format{"Meal-Master", pf::clsRecipeExport::kMealMasterFile, "export.mm", "mm"},
          Format{"Rezkonv", pf::clsRecipeExport::kRezkonvFile, "export.rez", "rezkonv"},
          Format{"HTML", pf::clsRecipeExport::kHtmlFile, "export.html", "html"}}) {
        if (!only.empty() && only != format.key)
            continue;
        pf::ResetProgramData();
        request.Mode = format.mode;
        request.FileName = (folder.Dir() / format.file).string();
        start = Clock::now();
        const std::clock_t cpuStart = std::clock();
        const pf::ExportOutcome outcome = pf::RunExport(request, db.get());
        const double seconds = Seconds(start);
        const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        if (!outcome.Ok || outcome.Exported != recipes) {
            std::fprintf(stderr, "%s: %s (%ld exportiert)\n", format.name, outcome.Message.c_str(),
                         outcome.Exported);
            return 1;
        }
        std::printf("%s: %ld Rezepte in %.2f s = %.0f Rezepte/s (CPU %.2f s = %.0f Rezepte/s), %.1f MB%s\n",
                    format.name, recipes, seconds, static_cast<double>(recipes) / seconds, cpu,
                    static_cast<double>(recipes) / cpu,
                    static_cast<double>(std::filesystem::file_size(request.FileName)) / 1e6,
                    format.mode == pf::clsRecipeExport::kMealMasterFile ? " (Ziel >= 10000 Rezepte/s)" : "");
    }
    return 0;
}
