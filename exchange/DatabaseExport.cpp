#include "exchange/DatabaseExport.h"

#include "core/Interaction.h"
#include "core/Messages.h"
#include "db/Backup.h"
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
void KeepPrevious(const std::string& file)
{
    std::error_code ec;
    if (!fs::exists(file, ec))
        return;
    const std::string backup = file + ".BAK";
    fs::remove(backup, ec);
    fs::rename(file, backup, ec);
    if (ec)
        fs::remove(file, ec);
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
    KeepPrevious(file);
    if (request.Mode != clsRecipeExport::kDatabaseFile)
        KeepPrevious(request.FileName);

    ShowStatus(name + ": Neue Datenbank wird angelegt");
    if (!CreateDatabaseFile(file))
        return fail("Die Datenbank " + file + " konnte nicht angelegt werden.");
    {
        std::unique_ptr<Database> target;
        try {
            target = OpenDatabase(file);
        } catch (const DbError& error) {
            return fail(error.Description());
        }
        RecipeImport pipeline(*target);
        pipeline.Options().CheckDuplicates = false;
        pipeline.Options().CookbookID = 0;
        RecipeTransfer transfer(source, *target, pipeline);
        transfer.SetKeepImportDate(true);
        const bool ok = transfer.Run(ids);
        outcome.Exported = pipeline.Counters().Imported;
        outcome.Skipped = pipeline.Counters().Faulty;
        outcome.Cancelled = pipeline.IsCancelled() && transfer.LastErrorText().empty();
        if (!ok)
            return fail(transfer.LastErrorText());
    }
    if (request.Mode != clsRecipeExport::kDatabaseFile) {
        Backup zip;
        zip.SetQuiet(true);
        const std::string archive = zip.ZipFile(file, request.Mode == clsRecipeExport::kDatabaseZipOnly);
        if (archive.empty())
            return fail(zip.LastErrorText());
        // The archive is named as chosen, whatever case its extension had.
        if (!fs::equivalent(archive, request.FileName, ec)) {
            fs::rename(archive, request.FileName, ec);
            if (ec)
                return fail("Die Datei " + request.FileName + " kann nicht geschrieben werden.");
        }
    }
    outcome.Ok = true;
    outcome.Ids = ids;
    outcome.Message = "Export \"" + name + "\" abgeschlossen.";
    return outcome;
}

} // namespace pf
