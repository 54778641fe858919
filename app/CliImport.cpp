// The "import" command of the command-line program: reads recipe files (and ZIP archives of them)
// into the database and prints the closing summary.

#include "app/CliCommands.h"
#include "db/Database.h"
#include "db/DatabaseChoice.h"
#include "exchange/RecipeImport.h"
#include "model/clBook.h"
#include "nutrition/Nutrition.h"

#include <filesystem>
#include <ostream>

namespace pf {

namespace {

bool ParsePreset(const std::string& text, DupePreset& preset)
{
    if (text == "skip")
        preset = DupePreset::Ignore;
    else if (text == "replace")
        preset = DupePreset::Replace;
    else if (text == "move")
        preset = DupePreset::Move;
    else
        return false;
    return true;
}

} // namespace

int CliImport(CliCall& call)
{
    long book = 0;
    DupePreset preset = DupePreset::Ignore;
    // Without --duplicates a known title alone does not make a duplicate: collections hold several
    // different "Apple Pie" recipes.
    bool sameContentOnly = true;
    bool trash = false;
    bool matchFoods = false;
    std::vector<std::string> files;
    const bool parsed = ParseCliArgs(
        call,
        {{"--cookbook", true, [&book](const std::string& text) { return ParsePositiveNumber(text, book); },
          "Nach --cookbook muss die Nummer eines Kochbuchs stehen."},
         {"--duplicates", true,
          [&](const std::string& text) {
              sameContentOnly = false;
              return ParsePreset(text, preset);
          },
          "Nach --duplicates muss skip, replace oder move stehen."},
         {"--trash", false, [&trash](const std::string&) { return trash = true; }, ""},
         {"--bls", false, [&matchFoods](const std::string&) { return matchFoods = true; }, ""}},
        [&files](const std::string& file) {
            files.push_back(std::filesystem::absolute(file).string());
            return true;
        });
    if (!parsed)
        return 2;
    if (files.empty()) {
        call.Err << "Aufruf: pfannola-cli --db DATEI import [--cookbook N] [--duplicates skip|replace|move] "
                    "[--trash] [--bls] DATEI...\n";
        return 2;
    }
    for (const std::string& file : files) {
        if (!std::filesystem::is_regular_file(file)) {
            call.Err << "Die Datei " << file << " wurde nicht gefunden.\n";
            return 1;
        }
    }
    CliDatabase db(call);
    if (!db)
        return 1;
    int code = 0;
    {
        if (!db->IsUpdatable()) {
            // Every recipe would fail; say so once instead of counting them all as faulty.
            call.Err
                << "Der Import ist fehlgeschlagen: Aktualisieren nicht möglich. Datenbank oder Objekt ist "
                   "schreibgeschützt.\n";
            code = 1;
        } else if (book != 0) {
            clBook target;
            target.SetDB(db.Get());
            if (!target.LoadByID(book)) {
                call.Err << "Ein Kochbuch mit der Nummer " << book << " gibt es nicht.\n";
                code = 1;
            }
        }
        if (code == 0) {
            RecipeImport run(*db);
            run.Options().Files = files;
            run.Options().CookbookID = book;
            run.Options().Duplicates = preset;
            run.Options().DupeTrash = trash;
            run.Options().SameContentOnly = sameContentOnly;
            // Each ordinary line without food gets the one its text names, as far as one is found.
            run.Options().BLS = matchFoods;
            if (matchFoods)
                run.SetFoodKeyMatcher(FoodKeyMatcher(*db));
            run.SetNotice([&call](const std::string& text) { call.Err << text << std::endl; });
            const bool ok = run.Import();
            for (const std::string& skipped : run.SkippedRecipes())
                call.Err << skipped << "\n";
            for (const std::string& problem : run.Problems())
                call.Err << problem << "\n";
            const ImportCounters& counted = run.Counters();
            if (!ok) {
                call.Err << "Der Import ist fehlgeschlagen: " << run.LastErrorText() << "\n";
                code = 1;
            } else if (counted.Imported + counted.Dupe + counted.Skipped + counted.Faulty == 0) {
                // An empty file or an archive that cannot be read: a script must see that nothing came in.
                call.Err << "In den angegebenen Dateien wurde kein Rezept gefunden.\n";
                code = 1;
            } else if (counted.Imported + counted.Dupe + counted.Skipped == 0) {
                call.Err << "Keines der Rezepte konnte gelesen oder gespeichert werden.\n";
                code = 1;
            }
            call.Out << run.Summary() << "\n";
        }
    }
    return code;
}

} // namespace pf
