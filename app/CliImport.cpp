// The "import" command of the command-line program: reads recipe files (and ZIP archives of them)
// into the database and prints the closing summary.

#include "app/CliCommands.h"
#include "core/Messages.h"
#include "db/Database.h"
#include "db/DatabaseChoice.h"
#include "db/OpenDatabase.h"
#include "db/SearchIndex.h"
#include "exchange/RecipeImport.h"
#include "exchange/RecipeTransfer.h"
#include "model/clBook.h"
#include "nutrition/Nutrition.h"

#include <filesystem>
#include <functional>
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

// The options the recipe imports share.
struct ImportChoices
{
    long Book = 0;
    DupePreset Preset = DupePreset::Ignore;
    // Without --duplicates a known title alone does not make a duplicate: collections hold several
    // different "Apple Pie" recipes.
    bool SameContentOnly = true;
    bool Trash = false;

    std::vector<CliOption> Options()
    {
        return {{"--cookbook", true,
                 [this](const std::string& text) { return ParsePositiveNumber(text, Book); },
                 "Nach --cookbook muss die Nummer eines Kochbuchs stehen."},
                {"--duplicates", true,
                 [this](const std::string& text) {
                     SameContentOnly = false;
                     return ParsePreset(text, Preset);
                 },
                 "Nach --duplicates muss skip, replace oder move stehen."},
                {"--trash", false, [this](const std::string&) { return Trash = true; }, ""}};
    }

    // Whether the database can take the import into the chosen cookbook; the reason on Err.
    bool Check(CliCall& call, Database& db) const
    {
        if (!db.IsUpdatable()) {
            // Every recipe would fail; say so once instead of counting them all as faulty.
            call.Err
                << "Der Import ist fehlgeschlagen: Aktualisieren nicht möglich. Datenbank oder Objekt ist "
                   "schreibgeschützt.\n";
            return false;
        }
        if (Book != 0) {
            clBook target;
            target.SetDB(&db);
            if (!target.LoadByID(Book)) {
                call.Err << "Ein Kochbuch mit der Nummer " << Book << " gibt es nicht.\n";
                return false;
            }
        }
        return true;
    }

    void Apply(RecipeImport& run) const
    {
        run.Options().CookbookID = Book;
        run.Options().Duplicates = Preset;
        run.Options().DupeTrash = Trash;
        run.Options().SameContentOnly = SameContentOnly;
    }
};

// Opens the database, checks the choices against it and hands work an import run set up by them,
// with its notices going to Err; 1 when the database cannot take the import.
int WithImportRun(CliCall& call, const ImportChoices& choices,
                  const std::function<int(Database&, RecipeImport&)>& work)
{
    CliDatabase db(call);
    if (!db)
        return 1;
    if (!choices.Check(call, *db))
        return 1;
    RecipeImport run(*db);
    choices.Apply(run);
    run.SetNotice([&call](const std::string& text) { call.Err << text << std::endl; });
    const int code = work(*db, run);
    // The import leaves its new recipes to the search index; they are indexed before the command
    // ends, so that the next search is served by the index again. What is stored stays either way.
    if (!IndexAllPendingRecipes(*db))
        call.Err << "Der Suchindex konnte die neuen Rezepte nicht aufnehmen; die Suche liest alle Rezepte, "
                    "bis das Programm sie beim nächsten Öffnen der Datenbank aufgenommen hat.\n";
    return code;
}

// Prints what a run left to say and its summary; the exit code.
int Report(CliCall& call, RecipeImport& run, bool ok, const std::string& failure, const char* nothingFound)
{
    for (const std::string& skipped : run.SkippedRecipes())
        call.Err << skipped << "\n";
    for (const std::string& problem : run.Problems())
        call.Err << problem << "\n";
    const ImportCounters& counted = run.Counters();
    int code = 0;
    if (!ok) {
        call.Err << "Der Import ist fehlgeschlagen: " << failure << "\n";
        code = 1;
    } else if (counted.Imported + counted.Dupe + counted.Skipped + counted.Faulty == 0) {
        // An empty file or an archive that cannot be read: a script must see that nothing came in.
        call.Err << nothingFound << "\n";
        code = 1;
    } else if (counted.Imported + counted.Dupe + counted.Skipped == 0) {
        call.Err << "Keines der Rezepte konnte gelesen oder gespeichert werden.\n";
        code = 1;
    }
    call.Out << run.Summary() << "\n";
    return code;
}

} // namespace

int CliImportDb(CliCall& call)
{
    ImportChoices choices;
    std::string other;
    const bool parsed = ParseCliArgs(call, choices.Options(), [&other](const std::string& file) {
        if (!other.empty())
            return false;
        other = std::filesystem::absolute(file).string();
        return true;
    });
    if (!parsed)
        return 2;
    if (other.empty()) {
        call.Err
            << "Aufruf: pfannola-cli --db DATEI import-db [--cookbook N] [--duplicates skip|replace|move] "
               "[--trash] ANDERE.MDB\n";
        return 2;
    }
    if (!InputFileFound(call, other))
        return 1;
    std::error_code ec;
    if (std::filesystem::equivalent(other, call.Database, ec)) {
        call.Err << "Die Datenbank kann nicht in sich selbst importiert werden.\n";
        return 1;
    }
    // The other database is only read: opened read-only, it cannot be changed by mistake.
    std::unique_ptr<Database> source;
    try {
        OpenOptions readOnly;
        readOnly.ReadOnly = true;
        source = OpenDatabase(other, readOnly);
        if (!source->TableExists("T_REZ_KOPF"))
            throw DbError(dberr::kNotADatabase, "");
    } catch (const DbError& error) {
        call.Err << other << ": "
                 << (error.Number() == dberr::kNotADatabase || error.Number() == 3049
                         ? LoadText(501) + "Pfannola" + LoadText(502)
                         : error.Description())
                 << "\n";
        return 1;
    }
    return WithImportRun(call, choices, [&](Database& db, RecipeImport& run) {
        RecipeTransfer transfer(*source, db, run);
        bool ok = false;
        try {
            ok = transfer.Run(RecipeTransfer::AllRecipes(*source));
        } catch (const DbError& error) {
            call.Err << other << ": " << error.Description() << "\n";
            return 1;
        }
        return Report(call, run, ok, transfer.LastErrorText(), "Die andere Datenbank enthält keine Rezepte.");
    });
}

int CliImport(CliCall& call)
{
    ImportChoices choices;
    bool matchFoods = false;
    std::vector<std::string> files;
    std::vector<CliOption> options = choices.Options();
    options.push_back({"--bls", false, [&matchFoods](const std::string&) { return matchFoods = true; }, ""});
    const bool parsed = ParseCliArgs(call, options, [&files](const std::string& file) {
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
    for (const std::string& file : files)
        if (!InputFileFound(call, file))
            return 1;
    return WithImportRun(call, choices, [&](Database& db, RecipeImport& run) {
        run.Options().Files = files;
        // Each ordinary line without food gets the one its text names, as far as one is found.
        run.Options().BLS = matchFoods;
        if (matchFoods)
            run.SetFoodKeyMatcher(FoodKeyMatcher(db));
        const bool ok = run.Import();
        return Report(call, run, ok, run.LastErrorText(),
                      "In den angegebenen Dateien wurde kein Rezept gefunden.");
    });
}

} // namespace pf
