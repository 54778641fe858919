// The "export" command of the command-line program: writes the listed recipes (all when no list
// is given) in one of the export formats to a file.

#include "app/CliCommands.h"
#include "core/AppContext.h"
#include "core/AtomicFile.h"
#include "db/Database.h"
#include "db/DatabaseChoice.h"
#include "db/DbError.h"
#include "db/Recordset.h"
#include "exchange/ExportRun.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <unordered_set>

namespace pf {

namespace {

// The file mode of a format name; 0 when there is none.
int FileModeOf(const std::string& format)
{
    if (format == "mm")
        return clsRecipeExport::kMealMasterFile;
    if (format == "rezkonv")
        return clsRecipeExport::kRezkonvFile;
    if (format == "html")
        return clsRecipeExport::kHtmlFile;
    if (format == "rtf")
        return clsRecipeExport::kRtfFile;
    if (format == "mensax" || format == "mnx")
        return clsRecipeExport::kMensaxFile;
    if (format == "db")
        return clsRecipeExport::kDatabaseFile;
    if (format == "dbzip")
        return clsRecipeExport::kDatabaseZipOnly;
    if (format == "csv")
        return clsRecipeExport::kCsvFile;
    if (format == "xml")
        return clsRecipeExport::kCookbookXmlFile;
    if (format == "structure")
        return clsRecipeExport::kStructureClipboard;
    return 0;
}

constexpr const char* kUsage =
    "Aufruf: pfannola-cli --db DATEI export --format mm|rezkonv|mensax|html|rtf|csv|xml|structure|db|dbzip "
    "[--ids LISTE] [--servings N] [--separator ;|,] --out DATEI (structure ohne --out: auf die "
    "Standardausgabe)";

} // namespace

int CliExport(CliCall& call)
{
    std::string format;
    std::string out;
    std::vector<long> ids;
    long servings = 0;
    std::string separator = ";";
    const auto store = [](std::string& into) {
        return [&into](const std::string& value) {
            into = value;
            return true;
        };
    };
    if (!ParseCliArgs(call, {{"--format", true, store(format), kUsage},
                             {"--out", true, store(out), kUsage},
                             {"--separator", true, store(separator), kUsage},
                             IdsOption(ids),
                             ServingsOption(servings)}))
        return 2;
    const int mode = FileModeOf(format);
    // The structure is a text for reading: without a file it goes to standard output.
    const bool toStdout = mode == clsRecipeExport::kStructureClipboard && out.empty();
    if (format.empty() || (out.empty() && !toStdout)) {
        call.Err << kUsage << "\n";
        return 2;
    }
    if (mode == 0) {
        call.Err << "Unbekanntes Exportformat: " << format << "\n" << kUsage << "\n";
        return 2;
    }
    if (separator != ";" && separator != ",") {
        call.Err << "Als Trennzeichen sind nur \";\" und \",\" möglich, nicht \"" << separator << "\".\n";
        return 2;
    }
    const std::filesystem::path target = toStdout ? std::filesystem::path() : std::filesystem::absolute(out);
    std::error_code ec;
    if (std::filesystem::is_directory(target, ec)) {
        // An earlier file of the name is kept as name.BAK; a folder is no earlier export.
        call.Err << "\"" << target.string()
                 << "\" ist ein Ordner. Nach --out muss der Name der Exportdatei stehen (z. B. " << out
                 << "/rezepte." << format << ").\n";
        return 2;
    }
    const bool existed = std::filesystem::exists(target, ec);
    CliDatabase db(call);
    if (!db)
        return 1;
    int code = 0;
    try {
        ExportRequest request;
        request.Mode = mode;
        const bool all = ids.empty(); // each recipe once, by the query
        if (all) {
            auto rs = db->OpenRecordset(
                "SELECT ID FROM T_REZ_KOPF WHERE FlagDeleted=0 OR FlagDeleted IS NULL ORDER BY ID");
            for (; !rs->Eof(); rs->MoveNext())
                ids.push_back(static_cast<long>(rs->Field(0).AsLong()));
        }
        // A recipe named twice is written once, in the place it was first named.
        if (!all) {
            std::vector<long> unique;
            std::unordered_set<long> seen;
            for (long id : ids)
                if (seen.insert(id).second)
                    unique.push_back(id);
            ids = std::move(unique);
        }
        // Whether any of them exists, asked in pieces: one statement naming a million IDs would
        // take more memory than the whole export.
        bool any = false;
        constexpr std::size_t kPiece = 500;
        for (std::size_t first = 0; !any && first < ids.size(); first += kPiece) {
            std::string list;
            for (std::size_t i = first; i < std::min(ids.size(), first + kPiece); ++i)
                list += (list.empty() ? "" : ",") + std::to_string(ids[i]);
            any = db->Scalar("SELECT COUNT(*) FROM T_REZ_KOPF WHERE ID IN (" + list + ")").AsLong() != 0;
        }
        if (!any) {
            // Nothing to write: the target file stays as it is.
            call.Err << "Keines der Rezepte ist in der Datenbank vorhanden; es wurde nichts exportiert.\n";
            return 1;
        }
        request.Ids = ids;
        request.Servings.assign(ids.size(), servings);
        request.FileName = target.string();
        request.CsvSeparator = separator[0];
        request.SubRecipes = AppContext::Current().Options.ExportAbhaengigkeiten != 0;
        const ExportOutcome outcome = RunExport(request, db.Get());
        if (!outcome.Ok) {
            call.Err << outcome.Message << "\n";
            code = 1;
        } else if (toStdout) {
            call.Out << outcome.Result;
        } else {
            if (mode == clsRecipeExport::kStructureClipboard) {
                if (!WriteFileAtomically(target.string(), outcome.Result)) {
                    call.Err << "Die Datei " << target.string() << " kann nicht geschrieben werden.\n";
                    return 1;
                }
            }
            call.Out << "exportiert: " << outcome.Exported << ", übersprungen: " << outcome.Skipped << "\n";
        }
    } catch (const DbError& error) {
        call.Err << "Beim Exportieren ist ein Fehler aufgetreten (" << error.Description() << ")\n";
        code = 1;
    }
    db.Close();
    if (code != 0) {
        // A failed export leaves no empty file behind; the earlier file of the name comes back.
        if (std::filesystem::is_regular_file(target, ec) && std::filesystem::file_size(target, ec) == 0) {
            std::filesystem::remove(target, ec);
            if (existed)
                std::filesystem::rename(target.string() + ".BAK", target, ec);
        }
    }
    return code;
}

} // namespace pf
