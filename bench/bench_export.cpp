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
#include <random>
#include <string>

namespace {

using pf::bench::Clock;
using pf::bench::Seconds;

void Generate(pf::Database& db, long recipes)
{
    pf::DbTransaction trans(db);
    pf::bench::CreateTablesWithReferenceRows(db);
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
                        pf::Decimal4::FromTicks(static_cast<std::int64_t>(random() % 2000 + 1) * 2500),
                        static_cast<long>(no % 5) + 1});
        }
        const long cat = static_cast<long>(random() % 200) + 1;
        db.Execute("INSERT INTO T_REZ_CAT_NDX (ID,CatID,CatPrimary,No) VALUES (?,?,-1,1), (?,?,0,2)",
                   {id, cat, id, cat % 200 + 1});
        db.Execute("INSERT INTO T_REZ_ANWEIS (ID,NO,AnwText) VALUES (?,1,?)", {id, instructions});
    }
    trans.Commit();
}

} // namespace

int main(int argc, char** argv)
{
    const long recipes = argc > 1 ? std::atol(argv[1]) : 100000;
    const std::string only = argc > 2 ? argv[2] : "";
    const pf::bench::BenchFolder folder("pf_bench_export");
    auto db = folder.NewDatabase("bench.MDB");
    Clock::time_point start = Clock::now();
    Generate(*db, recipes);
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
