#include "exchange/ExportRun.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Messages.h"
#include "db/DatabaseChoice.h"
#include "db/DbError.h"
#include "exchange/DatabaseExport.h"

#include <algorithm>

namespace pf {

namespace {

// Recipes read ahead together.
constexpr long kPrefetchCount = 500;

} // namespace

std::string ExportTargetName(int mode)
{
    return clsRecipeExport::isFileBasedExport(mode) ? "Datei" : "Zwischenablage";
}

ExportOutcome RunExport(const ExportRequest& request, Database* db)
{
    ExportOutcome outcome;
    ExportList list{request.Ids, request.Servings};
    if (request.SubRecipes || request.Parents) {
        try {
            list =
                clsRecipeExport::Dependencies(db ? *db : WorkDb(), list, request.SubRecipes, request.Parents);
        } catch (const DbError& error) {
            outcome.Message = "Beim Exportieren ist ein Fehler aufgetreten (" + error.Description() + ")";
            return outcome;
        }
    }
    if (clsRecipeExport::GetModeType(request.Mode) == 2) {
        UI().SetBusy(true);
        outcome = ExportToDatabase(request, list.Ids, db ? *db : WorkDb());
        ShowProgress(-1, -1, "");
        UI().SetBusy(false);
        return outcome;
    }
    const std::string name = clsRecipeExport::ModeTypeName(request.Mode);
    clsRecipeExport engine;
    engine.SetHtmlOptions(request.HtmlFlags, request.PicturePath, request.HtmlDownload);
    engine.SetCsvSeparator(request.CsvSeparator);
    Interaction& ui = UI();
    ui.SetBusy(true);
    ui.ResetCancel();
    bool ok = engine.CompleteInit(request.Mode, request.FileName, request.Append, db);
    const std::string caption = name + " via " + ExportTargetName(request.Mode);
    const long total = static_cast<long>(list.Ids.size());
    for (long i = 0; ok && i < total; ++i) {
        const long id = list.Ids[static_cast<std::size_t>(i)];
        const long servings = static_cast<std::size_t>(i) < list.Servings.size()
                                  ? list.Servings[static_cast<std::size_t>(i)]
                                  : 0;
        ShowProgress(total, i, caption);
        if (i % kPrefetchCount == 0) {
            const auto first = list.Ids.begin() + i;
            engine.Prefetch(std::vector<long>(first, first + std::min<long>(kPrefetchCount, total - i)));
        }
        if (engine.ExportRecipe(id, servings)) {
            ++outcome.Exported;
            outcome.Ids.push_back(id);
        } else if (!engine.LastErrorText().empty()) {
            ok = false;
        } else {
            ++outcome.Skipped;
            if (ui.Ask("Zu exportierendes Rezept nicht gefunden:\r\n#" + std::to_string(id),
                       Buttons::OkCancel, Answer::Ok, MsgIcon::Question, name) == Answer::Cancel) {
                outcome.Cancelled = true;
                break;
            }
        }
        if (ui.CancelRequested()) {
            outcome.Cancelled = true;
            break;
        }
    }
    if (ok)
        ok = engine.MediaClose(request.MenuIds);
    else
        engine.MediaClose();
    ShowProgress(-1, -1, "");
    ui.SetBusy(false);
    outcome.Ok = ok;
    outcome.Result = engine.Result();
    outcome.Message = ok ? "Export \"" + name + "\" abgeschlossen."
                         : "Beim Exportieren ist ein Fehler aufgetreten (" + engine.LastErrorText() + ")";
    return outcome;
}

} // namespace pf
