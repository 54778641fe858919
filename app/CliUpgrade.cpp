// The command that brings a database file to the program's schema version.

#include "app/CliCommands.h"
#include "core/ProcessExit.h"
#include "db/BaseDataFill.h"
#include "db/DatabaseChoice.h"
#include "db/OpenDatabase.h"
#include "db/SchemaVersion.h"
#include "db/SearchIndex.h"

#include <ostream>

namespace pf {

int CliUpgrade(CliCall& call)
{
    if (!ParseCliArgs(call, {}))
        return 2;
    CliDatabase db(call, CliAccess::AnyVersion);
    if (!db)
        return 1;
    std::string before;
    if (!ReadVersionText(call, *db, before))
        return 1;
    // Questions take their defaults: upgrade, with the safety copy beside the file.
    bool usable = false;
    try {
        usable = UpgradeDatabase(*db, true);
    } catch (const ProcessExit& exit) {
        db.Close();
        call.Err << "Die Datenbank \"" << DatabaseDisplayName(call.Database)
                 << "\" wurde nicht aktualisiert.\n";
        return exit.Code != 0 ? exit.Code : 1;
    }
    // A compaction reopens the work database: read the version from the one open now.
    std::string after;
    long foods = 0;
    if (usable && HasWorkDb()) {
        after = DatabaseVersionText(WorkDb());
        // A database made before foods or the lexicon were shipped gets them now.
        const BaseDataFill filled = FillEmptyTablesFromInit(WorkDb());
        foods = filled.Foods;
        if (filled.Lexicon)
            call.Out << "Das Lexikon wurde mit den mitgelieferten Einträgen gefüllt.\n";
        // As when the desktop program opens it: a database without the search's word index gets
        // it (a server only from the role that owns the tables).
        const bool hadIndex = WorkDb().TableExists(kTitleIndexTable);
        if (!HasSearchIndex(WorkDb()) && EnsureSearchIndex(WorkDb()))
            call.Out << (hadIndex ? "Der Suchindex wurde auf den neuen Stand gebracht.\n"
                                  : "Der Suchindex wurde angelegt.\n");
        // Recipes an interrupted import left to the index are indexed now.
        if (PendingRecipeCount(WorkDb()) > 0) {
            if (IndexAllPendingRecipes(WorkDb()))
                call.Out << "Der Suchindex hat die noch nicht aufgenommenen Rezepte aufgenommen.\n";
            else
                call.Err << "Der Suchindex konnte die wartenden Rezepte nicht aufnehmen; die Suche liest alle "
                            "Rezepte, bis sie aufgenommen sind.\n";
        }
    }
    db.Close();
    if (!usable || after < ProgramVersionText()) {
        call.Err << "Die Datenbank \"" << DatabaseDisplayName(call.Database) << "\" wurde nicht auf den Stand "
                 << ProgramVersionText() << " gebracht; sie hat den Stand "
                 << (after.empty() ? before : after) << ".\n";
        return 1;
    }
    call.Out << "Schema-Version: " << before << " -> " << after << "\n";
    if (foods > 0)
        call.Out << "Lebensmittel ergänzt: " << foods << "\n";
    return 0;
}

} // namespace pf
