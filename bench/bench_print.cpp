// What printing costs: lays N generated recipes (default 1,000) of 15 ingredient lines and a
// paragraph of instructions out into one PDF file in the standard printout, and prints the time
// and the pages. Target: 1,000 recipes in less than 10 s.
// Usage: bench_print [recipes] [mode]

#include "bench/BenchData.h"
#include "output/PrintJob.h"
#include "ui/QtPageCanvas.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <ctime>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const long recipes = argc > 1 ? std::atol(argv[1]) : 1000;
    const int mode = argc > 2 ? std::atoi(argv[2]) : 0;
    const pf::bench::BenchFolder folder("pf_bench_print");
    auto db = folder.NewDatabase("bench.MDB");
    pf::bench::GenerateRecipes(*db, recipes);

    pf::PrintJobRequest request = pf::PrintRequestFromSettings(mode);
    for (long id = 1; id <= recipes; ++id)
        request.Items.push_back({id, 0});
    const std::string file = (folder.Dir() / "druck.pdf").string();
    const pf::bench::Clock::time_point start = pf::bench::Clock::now();
    const std::clock_t cpuStart = std::clock();
    std::string error;
    std::unique_ptr<pf::PageCanvas> canvas = pf::OpenQtPdf(file, "Benchmark", error);
    if (!canvas) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const pf::PrintOutcome outcome = pf::RunPrintJob(request, *canvas, db.get());
    const int pages = canvas->PageNumber();
    canvas.reset();
    const double seconds = pf::bench::Seconds(start);
    const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    if (!outcome.Ok) {
        std::fprintf(stderr, "%s\n", outcome.Message.c_str());
        return 1;
    }
    std::printf("%ld Rezepte auf %d Seiten in %.2f s (CPU %.2f s), %.1f MB (Ziel: 1000 Rezepte < 10 s)\n",
                outcome.Printed, pages, seconds, cpu,
                static_cast<double>(std::filesystem::file_size(file)) / 1e6);
    return 0;
}
