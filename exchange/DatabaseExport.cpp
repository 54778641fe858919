#include "exchange/DatabaseExport.h"

#include "core/Interaction.h"
#include "core/Messages.h"
#include "db/Backup.h"
#include "db/DatabaseCopy.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/InitFiles.h"
#include "db/OpenDatabase.h"
#include "exchange/RecipeImport.h"
#include "exchange/RecipeTransfer.h"

#include <filesystem>

namespace pf {

namespace fs = std::filesystem;

namespace {

// The previous file of a name stays as name.BAK; when it cannot be renamed it is removed.
// True when it was kept.
bool KeepPrevious(const std::string& file)
{
    std::error_code ec;
    if (!fs::exists(file, ec))
        return false;
    const std::string backup = file + ".BAK";
    fs::remove(backup, ec);
    fs::rename(file, backup, ec);
    if (!ec)
        return true;
    fs::remove(file, ec);
    return false;
}

// After a failed export: the file it began goes, and the previous file of the name comes back.
void DropUnfinished(const std::string& file, bool kept)
{
    RemoveDatabaseFile(file);
    std::error_code ec;
    if (kept)
        fs::rename(file + ".BAK", file, ec);
}

} // namespace

std::string DatabaseExportFile(int mode, const std::string& fileName)
{
    fs::path path(fileName);
    if (mode == clsRecipeExport::kDatabaseFile)
        return path.has_extension() ? fileName : fileName + ".MDB";
    return path.replace_extension(".MDB").string();
}

ExportOutcome ExportToDatabase(const ExportRequest& request, const std::vector<long>& ids, Database& source)
{
    ExportOutcome outcome;
    const std::string name = clsRecipeExport::ModeTypeName(request.Mode);
    const auto fail = [&](const std::string& reason) {
        outcome.Message = "Beim Exportieren ist ein Fehler aufgetreten (" + reason + ")";
        return outcome;
    };
    if (request.FileName.empty())
        return fail("Es wurde keine Zieldatei angegeben.");
    const std::string file = DatabaseExportFile(request.Mode, request.FileName);
    std::error_code ec;
    for (const std::string& target : {file, request.FileName})
        if (fs::equivalent(target, source.Name(), ec))
            return fail("Die Datei " + target + " ist die geöffnete Datenbank und wird nicht überschrieben.");
    const bool zipped = request.Mode != clsRecipeExport::kDatabaseFile;
    const bool keptFile = KeepPrevious(file);
    const bool keptArchive = zipped && KeepPrevious(request.FileName);

    const auto failDropping = [&](const std::string& reason) {
        DropUnfinished(file, keptFile);
        if (zipped)
            DropUnfinished(request.FileName, keptArchive);
        return fail(reason);
    };

    ShowStatus(name + ": Neue Datenbank wird angelegt");
    if (!CreateDatabaseFile(file))
        return failDropping("Die Datenbank " + file + " konnte nicht angelegt werden.");
    bool done = false;
    std::string failure;
    try {
        std::unique_ptr<Database> target = OpenDatabase(file);
        RecipeImport pipeline(*target);
        pipeline.Options().CheckDuplicates = false;
        pipeline.Options().CookbookID = 0;
        RecipeTransfer transfer(source, *target, pipeline);
        transfer.SetKeepImportDate(true);
        done = transfer.Run(ids);
        outcome.Exported = pipeline.Counters().Imported;
        outcome.Skipped = pipeline.Counters().Faulty;
        outcome.Cancelled = pipeline.IsCancelled() && transfer.LastErrorText().empty();
        failure = transfer.LastErrorText();
        // Closing writes the last pages into the file, which a full disk can refuse.
        target->Close();
    } catch (const DbError& error) {
        done = false;
        failure = error.Description();
    }
    if (!done)
        return failDropping(failure);
    if (zipped) {
        Backup zip;
        zip.SetQuiet(true);
        const std::string archive = zip.ZipFile(file, request.Mode == clsRecipeExport::kDatabaseZipOnly);
        if (archive.empty())
            return failDropping(zip.LastErrorText());
        // The archive is named as chosen, whatever case its extension had.
        if (!fs::equivalent(archive, request.FileName, ec)) {
            fs::rename(archive, request.FileName, ec);
            if (ec) {
                fs::remove(archive, ec);
                return failDropping("Die Datei " + request.FileName + " kann nicht geschrieben werden.");
            }
        }
    }
    outcome.Ok = true;
    outcome.Ids = ids;
    outcome.Message = "Export \"" + name + "\" abgeschlossen.";
    return outcome;
}

} // namespace pf
