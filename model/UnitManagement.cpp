#include "model/UnitManagement.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Utf8.h"
#include "db/Database.h"
#include "model/ClUnit.h"
#include "model/clsRecipeUnit.h"

namespace pf {

namespace {

void ReportFailure(const std::string& text)
{
    UI().Inform(text, MsgIcon::Critical, AppContext::Current().AppCaption);
}

} // namespace

std::string UnitCompatibilityWarning(const std::string& appTitle)
{
    return "Warnung: Änderungen, insbesondere an den UK-Kurzbezeichnungen können die Kompatibilität mit "
           "Meal-Master in Bezug auf Rezept Import/Export gefährden.\n\nEbenso kann der Rezept-Austausch "
           "im " +
           appTitle +
           "-Format in der derzeitigen Version problematisch werden.\n\nGefährliche Änderungen können von " +
           appTitle + " werder erkannt noch verhindert werden!";
}

std::string UnitTableSaveQuestion()
{
    return "Es wurden Änderungen an der Einheiten-Tabelle vorgenommen. Sollten diese Änderungen nun "
           "unwiederruflich gespeichert werden ? (sie werden dann für alle bereits vorhandenen Rezepte "
           "ebenfalls "
           "Gültigkeit erlangen !";
}

std::string RecipeUnitMergeQuestion(const std::string& oldName, const std::string& newName)
{
    return "Sollen nun alle Rezepte, die als Rezepteinheit \"" + oldName +
           "\" enthalten, an dessen Stelle \"" + newName + "\" erhalten ?";
}

bool HasUnitChanges(ClUnit& units)
{
    const int n = units.Count();
    for (int i = 1; i <= n; ++i)
        if (units.IsChanged(i))
            return true;
    return false;
}

std::vector<std::pair<int, int>> FindDuplicateRecipeUnits(const clsRecipeUnit& units)
{
    std::vector<std::pair<int, int>> duplicates;
    const int n = units.Count();
    for (int i = 2; i <= n; ++i) {
        if (units.IsDeleted(i))
            continue;
        for (int first = 1; first < i; ++first) {
            if (!units.IsDeleted(first) && EqualsNoCase(units.UnitNameD(first), units.UnitNameD(i))) {
                duplicates.emplace_back(i, first);
                break;
            }
        }
    }
    return duplicates;
}

bool MergeRecipeUnit(clsRecipeUnit& units, int index, int target)
{
    if (index == target || index < 1 || index > units.Count() || target < 1 || target > units.Count() ||
        units.IsDeleted(index) || units.IsDeleted(target))
        return false;
    const std::string question = RecipeUnitMergeQuestion(units.UnitNameD(index), units.UnitNameD(target));
    if (UI().Ask(question, Buttons::YesNo, Answer::No, MsgIcon::Question, "Rezepteinheiten zusammenführen") !=
        Answer::Yes)
        return false;
    units.Deleteentry(index, units.id(target));
    if (!units.RefreshDB()) {
        ReportFailure(units.LastErrorText());
        return false;
    }
    return true;
}

long RemoveDuplicateRecipeUnits(clsRecipeUnit& units)
{
    const AppContext& app = AppContext::Current();
    if (UI().Ask("Diese Funktion eliminiert doppelte Rezepteinheiten und kann eine gewisse Zeit brauchen. "
                 "Fortfahren?",
                 Buttons::YesNo, Answer::Yes, MsgIcon::Question, app.AppCaption) != Answer::Yes)
        return -1;
    const std::vector<std::pair<int, int>> duplicates = FindDuplicateRecipeUnits(units);
    for (const auto& [duplicate, first] : duplicates)
        units.Deleteentry(duplicate, units.id(first));
    if (!units.RefreshDB()) {
        ReportFailure(units.LastErrorText());
        return -1;
    }
    const long eliminated = static_cast<long>(duplicates.size());
    UI().Inform("Es wurden " + std::to_string(eliminated) + " Rezepteinheiten eliminiert und es verbleiben " +
                    std::to_string(units.Count()),
                MsgIcon::Information, app.AppCaption);
    return eliminated;
}

long UnitLineCount(Database& db, long unitId)
{
    return static_cast<long>(
        db.Scalar("SELECT COUNT(*) FROM T_REZ_ZUTAT WHERE ZutEinh=" + std::to_string(unitId)).AsLong());
}

} // namespace pf
