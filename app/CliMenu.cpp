// The menu commands: the list of menus, one menu as text, and its export as a Mensax file (to
// standard output without --out).

#include "app/CliCommands.h"
#include "core/AppContext.h"
#include "exchange/ExportRun.h"
#include "planning/ClMenu.h"
#include "planning/MenuText.h"

#include <filesystem>
#include <ostream>
#include <unordered_set>

namespace pf {
namespace {

constexpr const char* kUsage =
    "Aufruf: pfannola-cli --db DATEI menu list | show ID | export ID --format mensax "
    "[--out DATEI]\n";

} // namespace

int CliMenu(CliCall& call)
{
    std::vector<std::string> words;
    std::string format;
    std::string outPath;
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
    };
    const bool parsed = ParseCliArgs(call, options, [&](const std::string& word) {
        if (words.empty() ? (word != "list" && word != "show" && word != "export") : words.size() >= 2)
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
        (action != "export" && !outPath.empty()) || (action == "export" && format.empty())) {
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
