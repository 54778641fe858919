// Recipes between databases. First the database copy of the export: N generated recipes (default
// 10,000), every tenth with a picture and every twentieth using the recipe before it as a
// sub-recipe, copied into a new database made from INIT.ZIP and packed into a ZIP archive (mode
// 22). Target: under 5 s for 10,000 recipes, the new database included. Then the import from
// another database: half of the recipes into a new database, then all of them, so that every
// second one is skipped as present; prints the times and the counts (expected: N/2 imported and
// N/2 skipped in the second run, N recipes and no title twice in the end).
// Usage: bench_transfer [recipes]. Needs the INIT.ZIP the build packs (build/app/INIT.ZIP).

#include "bench/BenchData.h"
#include "db/InitFiles.h"
#include "db/OpenDatabase.h"
#include "db/Recordset.h"
#include "exchange/ExportRun.h"
#include "exchange/RecipeImport.h"
#include "exchange/RecipeTransfer.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

std::string ProgramFolder()
{
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return {};
    // build/bench/bench_transfer -> build/app/
    return std::filesystem::path(std::string(path, static_cast<std::size_t>(length)))
               .parent_path()
               .parent_path()
               .string() +
           "/app/";
}

} // namespace

int main(int argc, char** argv)
{
    using namespace pf;
    using namespace pf::bench;
    const long recipes = argc > 1 ? std::atol(argv[1]) : 10000;
    BenchFolder folder("pf-bench-transfer");
    AppContext::Current().ProgramDir = ProgramFolder();
    if (!std::filesystem::exists(AppContext::Current().ProgramDir + "INIT.ZIP")) {
        std::fprintf(stderr, "INIT.ZIP fehlt in %s\n", AppContext::Current().ProgramDir.c_str());
        return 1;
    }
    std::unique_ptr<Database> source = folder.NewDatabase("quelle.MDB");
    GenerateRecipes(*source, recipes);
    {
        DbTransaction trans(*source);
        const Blob picture(20000, 0x5a);
        for (long id = 10; id <= recipes; id += 10)
            source->Execute(
                "INSERT INTO T_BLOB (ID,IDReference,IDType,IDNum,Property,Blob) VALUES (?,?,5,1,0,?)",
                {id, id, picture});
        for (long id = 20; id <= recipes; id += 20)
            source->Execute(
                "INSERT INTO T_REZ_ZUTAT (ID,No,ZutTrenner,ZutText,ZutAnz,ZutEinh,ZutRezept,ZutBLSID) "
                "VALUES (?,16,0,'Grundrezept',1,0,-1,?)",
                {id, id - 1});
        trans.Commit();
    }
    std::vector<long> all;
    for (long id = 1; id <= recipes; ++id)
        all.push_back(id);

    ExportRequest request;
    request.Mode = clsRecipeExport::kDatabaseZipOnly;
    request.Ids = all;
    request.FileName = (folder.Dir() / "kopie.zip").string();
    auto start = Clock::now();
    const ExportOutcome copied = RunExport(request, source.get());
    std::printf("Datenbankkopie: %ld Rezepte in %.2f s (Ziel: < 5 s bei 10.000)%s\n", copied.Exported,
                Seconds(start), copied.Ok ? "" : (" FEHLER: " + copied.Message).c_str());

    const std::string targetFile = (folder.Dir() / "ziel.MDB").string();
    if (!CreateDatabaseFile(targetFile))
        return 1;
    std::unique_ptr<Database> target = OpenDatabase(targetFile);
    const auto transfer = [&](const std::vector<long>& ids) {
        RecipeImport pipeline(*target);
        pipeline.Options().Duplicates = DupePreset::Ignore;
        RecipeTransfer run(*source, *target, pipeline);
        const auto begin = Clock::now();
        if (!run.Run(ids))
            std::printf("FEHLER: %s\n", run.LastErrorText().c_str());
        std::printf("Import aus Datenbank: %zu Rezepte in %.2f s: importiert %ld, übersprungen %ld, "
                    "fehlerhaft %ld\n",
                    ids.size(), Seconds(begin), pipeline.Counters().Imported, pipeline.Counters().Skipped,
                    pipeline.Counters().Faulty);
    };
    std::vector<long> half;
    for (long id = 1; id <= recipes; id += 2)
        half.push_back(id);
    transfer(half);
    transfer(all);
    std::printf(
        "Zieldatenbank: %lld Rezepte, %lld verschiedene Titel\n",
        static_cast<long long>(target->Scalar("SELECT COUNT(*) FROM T_REZ_KOPF").AsLong()),
        static_cast<long long>(
            target->Scalar("SELECT COUNT(*) FROM (SELECT DISTINCT RezTitle FROM T_REZ_KOPF)").AsLong()));
    return 0;
}
