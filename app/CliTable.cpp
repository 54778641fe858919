// The "import-table" command of the command-line program: the generic table import of recipe
// references (title, source, page, categories, cookbooks per row) from a delimited text file.

#include "app/CliCommands.h"
#include "db/Database.h"
#include "exchange/GenericImport.h"

#include <filesystem>
#include <ostream>

namespace pf {

int CliImportTable(CliCall& call)
{
    constexpr const char* kUsage =
        "Aufruf: pfannola-cli --db DATEI import-table [--separator ;|,|tab] "
        "[--map title=1,source=3,page=4,categories=5,books=6] [--source TEXT] DATEI";
    std::string file;
    std::string separator;
    std::string map;
    std::string source;
    const auto store = [](std::string& into) {
        return [&into](const std::string& value) {
            into = value;
            return true;
        };
    };
    const bool parsed = ParseCliArgs(call,
                                     {{"--separator", true,
                                       [&separator](const std::string& value) {
                                           separator = value;
                                           return value == ";" || value == "," || value == "tab";
                                       },
                                       "Nach --separator muss ; oder , oder tab stehen."},
                                      {"--map", true, store(map), kUsage},
                                      {"--source", true, store(source), kUsage}},
                                     [&file](const std::string& word) {
                                         if (!file.empty())
                                             return false;
                                         file = std::filesystem::absolute(word).string();
                                         return true;
                                     });
    if (!parsed)
        return 2;
    if (file.empty()) {
        call.Err << kUsage << "\n";
        return 2;
    }
    if (!InputFileFound(call, file))
        return 1;
    CliDatabase db(call);
    if (!db)
        return 1;
    GenericTableImport run(*db);
    if (!map.empty() && !run.SetMap(map)) {
        call.Err
            << "Die Spaltenzuordnung \"" << map
            << "\" ist ungültig: erwartet werden Paare wie title=1,source=3 (Felder title, menucard, "
               "note, source, category, subcategory, books, literature, page, categories, edition, parent; "
               "Spalten 1 bis 64, title ist nötig).\n";
        return 2;
    }
    if (!separator.empty())
        run.SetDelimiter(separator == "tab" ? '\t' : separator[0]);
    if (!run.Read(file)) {
        call.Err << file << ": " << run.LastErrorText() << "\n";
        return 1;
    }
    for (const std::string& problem : run.Problems())
        call.Err << problem << "\n";
    if (!run.Import(source)) {
        call.Err << "Der Import ist fehlgeschlagen: " << run.LastErrorText() << "\n";
        return 1;
    }
    call.Out << "importiert: " << run.Imported() << ", übersprungen: " << run.Skipped()
             << ", fehlerhaft: " << run.Failed() << "\n";
    if (run.Imported() > 0)
        return 0;
    // A script must see that nothing came in.
    call.Err << (run.Skipped() + run.Failed() == 0 ? "In der Datei wurde keine Rezeptzeile gefunden.\n"
                                                    : "Keine der Zeilen wurde als Rezept übernommen.\n");
    return 1;
}

} // namespace pf
