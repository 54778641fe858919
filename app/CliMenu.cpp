// The menu commands: the list of menus, one menu as text, its export as a Mensax file (to
// standard output without --out) and its printout as a PDF file.

#include "app/CliCommands.h"
#include "core/AppContext.h"
#include "db/DbError.h"
#include "exchange/ExportRun.h"
#include "output/PdfOutput.h"
#include "planning/ClMenu.h"
#include "planning/MenuText.h"
#include "planning/clsMenuPrint.h"

#include <filesystem>
#include <ostream>
#include <unordered_set>

namespace pf {
namespace {

constexpr const char* kUsage =
    "Aufruf: pfannola-cli --db DATEI menu list | show ID | export ID --format mensax "
    "[--out DATEI] | print ID [--layout 0|1|2] --out DATEI.pdf\n";

// Writes the menu's printout as a PDF file at outPath.
int PrintMenuPdf(CliCall& call, ClMenu& menu, int layout, const std::string& outPath)
{
    const std::filesystem::path target = std::filesystem::absolute(outPath);
    std::string error;
    std::unique_ptr<PageCanvas> canvas = OpenPdf(target.string(), clsMenuPrint::LayoutName(layout), error);
    if (!canvas) {
        call.Err << error << "\n";
        return 1;
    }
    PrintOutcome outcome;
    try {
        outcome = clsMenuPrint().PrintMenu(*canvas, menu, layout);
    } catch (const DbError& e) {
        outcome.Message = "Beim Drucken ist ein Fehler aufgetreten (" + std::to_string(e.Number()) + ")";
    }
    canvas.reset();
    for (long id : outcome.Missing)
        call.Err << "Das Rezept " << id << " des Menüs gibt es nicht mehr; es wurde ausgelassen.\n";
    if (!outcome.Ok) {
        call.Err << outcome.Message << "\n";
        return 1;
    }
    call.Out << "gedruckt: " << clsMenuPrint::LayoutName(layout) << " \"" << menu.Title() << "\"";
    if (outcome.Printed > 0)
        call.Out << " mit " << outcome.Printed << " Rezept" << (outcome.Printed == 1 ? "" : "en");
    call.Out << " in \"" << target.string() << "\"\n";
    return 0;
}

} // namespace

int CliMenu(CliCall& call)
{
    std::vector<std::string> words;
    std::string format;
    std::string outPath;
    int layout = -1;
    const std::vector<CliOption> options = {
        {"--format", true,
         [&](const std::string& v) {
             format = v;
             return !v.empty();
         },
         "Nach --format muss ein Format folgen (mensax)."},
        {"--out", true,
         [&](const std::string& v) {
             outPath = v;
             return !v.empty();
         },
         "Nach --out muss eine Datei folgen."},
        {"--layout", true,
         [&](const std::string& v) {
             if (v.size() != 1 || v[0] < '0' || v[0] >= '0' + clsMenuPrint::kLayoutCount)
                 return false;
             layout = v[0] - '0';
             return true;
         },
         "Nach --layout muss 0 (Menükarte), 1 (Küchenplan) oder 2 (Küchenplan mit Rezepten) stehen."},
    };
    const bool parsed = ParseCliArgs(call, options, [&](const std::string& word) {
        if (words.empty() ? (word != "list" && word != "show" && word != "export" && word != "print")
                          : words.size() >= 2)
            return false;
        words.push_back(word);
        return true;
    });
    if (!parsed)
        return 2;
    long id = 0;
    const std::string action = words.empty() ? "" : words[0];
    if (action.empty() || (action == "list") != (words.size() == 1) ||
        (action != "list" && !ParsePositiveNumber(words[1], id)) || (action != "export" && !format.empty()) ||
        (action != "export" && action != "print" && !outPath.empty()) ||
        (action == "export" && format.empty()) || (action == "print" && outPath.empty()) ||
        (action != "print" && layout >= 0)) {
        call.Err << kUsage;
        return 2;
    }
    if (action == "export" && format != "mensax") {
        call.Err << "Menüs lassen sich nur im Format mensax exportieren, nicht als \"" << format << "\".\n";
        return 2;
    }
    CliDatabase db(call);
    if (!db)
        return 1;
    ClMenu menu;
    if (action == "list") {
        const std::vector<ClMenu::Choice> menus = menu.MenuChoices();
        if (menu.LastError() != 0) {
            call.Err << "Die Menüs können nicht gelesen werden: " << menu.LastErrorText() << "\n";
            return 1;
        }
        for (const ClMenu::Choice& choice : menus)
            call.Out << choice.id << "\t" << choice.Text << "\n";
        return 0;
    }
    if (!menu.Loadr(id)) {
        if (menu.LastError() != 0)
            call.Err << "Das Menü " << id << " kann nicht gelesen werden: " << menu.LastErrorText() << "\n";
        else
            call.Err << "Ein Menü mit der Nummer " << id << " gibt es nicht.\n";
        return 1;
    }
    if (action == "show") {
        call.Out << MenuAsText(menu);
        return 0;
    }
    if (action == "print")
        return PrintMenuPdf(call, menu, layout >= 0 ? layout : clsMenuPrint::SavedLayout(), outPath);
    // The menu travels with its courses' recipes (and what they depend on), so that a reader finds
    // them by fingerprint.
    ExportRequest request;
    std::unordered_set<long> seen;
    for (int i = 1; i <= menu.CoursesCount(); ++i)
        if (const long recipeId = menu.CourseRezID(i); recipeId > 0 && seen.insert(recipeId).second)
            request.Ids.push_back(recipeId);
    request.MenuIds = {id};
    request.SubRecipes = AppContext::Current().Options.ExportAbhaengigkeiten != 0;
    request.Mode = outPath.empty() ? clsRecipeExport::kMensaxClipboard : clsRecipeExport::kMensaxFile;
    if (!outPath.empty())
        request.FileName = std::filesystem::absolute(outPath).string();
    const ExportOutcome outcome = RunExport(request, db.Get());
    if (!outcome.Ok) {
        call.Err << outcome.Message << "\n";
        return 1;
    }
    if (outPath.empty())
        call.Out << outcome.Result;
    else
        call.Out << "exportiert: " << outcome.Exported << " Rezepte, 1 Menü\n";
    return 0;
}

} // namespace pf
