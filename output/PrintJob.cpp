#include "output/PrintJob.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "model/ClRecipe.h"
#include "output/clsRecipePrint.h"

#include <memory>

namespace pf {

namespace {

constexpr const char* kNotWritten = "Der Ausdruck konnte nicht geschrieben werden.";

} // namespace

void FinishDocument(PageCanvas& canvas, PrintOutcome& outcome)
{
    outcome.Ok = canvas.Finish();
    if (!outcome.Ok)
        outcome.Message = kNotWritten;
}

PrintJobRequest PrintRequestFromSettings(int mode)
{
    const UserSettings& options = AppContext::Current().Options;
    PrintJobRequest request;
    request.Mode = mode;
    request.Flags = options.PrintSimple;
    request.TwoPart = options.PrintStandardMode != 0;
    return request;
}

PrintOutcome RunPrintJob(const PrintJobRequest& request, PageCanvas& canvas, Database* db)
{
    PrintOutcome outcome;
    // Every recipe is read before the first page, so the job knows which one is printed last.
    std::vector<std::unique_ptr<ClRecipe>> recipes;
    for (const PrintJobItem& item : request.Items) {
        auto recipe = std::make_unique<ClRecipe>();
        recipe->SetDB(db);
        recipe->SetNocache();
        if (!recipe->LoadByID(item.RecipeId, 2, true)) {
            outcome.Missing.push_back(item.RecipeId);
            continue;
        }
        if (item.Servings > 0 && recipe->Yield() != 0)
            recipe->ScaleRecipe(item.Servings);
        recipes.push_back(std::move(recipe));
    }
    if (recipes.empty()) {
        outcome.Message = "Keines der Rezepte ist in der Datenbank vorhanden; es wurde nichts gedruckt.";
        return outcome;
    }
    clsRecipePrint printer;
    printer.PrintInit(canvas, request.Mode, request.Flags, request.TwoPart);
    bool cancelled = false;
    for (std::size_t i = 0; i < recipes.size() && !cancelled; ++i) {
        const bool last = i + 1 == recipes.size();
        while (!printer.PrintRecipe(*recipes[i], last)) {
            if (UI().Ask(
                    "Beim Drucken ist ein Fehler aufgetreten (" + std::to_string(printer.LastError()) + ")",
                    Buttons::RetryCancel, Answer::Cancel, MsgIcon::Critical, "Drucken") != Answer::Retry) {
                cancelled = true;
                break;
            }
        }
        if (!cancelled)
            ++outcome.Printed;
    }
    const bool written = printer.PrintFinalize();
    if (cancelled) {
        outcome.Message = "Der Ausdruck wurde abgebrochen.";
        UI().Inform(outcome.Message, MsgIcon::Information, "Drucken");
    } else if (!written) {
        outcome.Message = kNotWritten;
    } else {
        outcome.Ok = true;
    }
    return outcome;
}

} // namespace pf
