#include "model/RecipeTrash.h"

#include "core/AppContext.h"
#include "core/BusyPointer.h"
#include "core/IdList.h"
#include "core/Messages.h"
#include "core/TextConv.h"
#include "db/Database.h"
#include "db/DatabaseChoice.h"
#include "db/Recordset.h"
#include "model/ClRecipe.h"
#include "model/RecipeChanges.h"
#include "model/clBook.h"

#include <cmath>
#include <vector>

namespace pf {

namespace {

constexpr const char* kToTrashVerb = "in den Papierkorb geworfen";
constexpr const char* kDeleteVerb = "gelöscht";

// Takes up to max IDs off the front of list; false when a field is not a recipe number.
bool TakeIds(std::string& list, std::size_t max, std::vector<long>& ids)
{
    while (!list.empty() && ids.size() < max) {
        const Token token = GetNextToken(list, ",", false);
        if (const auto* number = std::get_if<double>(&token)) {
            if (*number != std::floor(*number))
                return false;
            ids.push_back(static_cast<long>(*number));
        } else if (!std::get<std::string>(token).empty()) {
            return false;
        }
    }
    return true;
}

} // namespace

bool RecipeTrash::DeletePortion(bool toTrash, const std::string& idList)
{
    // A fresh recipe object, so that no loaded recipe is touched.
    ClRecipe recipe;
    recipe.SetDB(m_db);
    if (recipe.Delete(toTrash, idList))
        return true;
    TakeError(recipe);
    return false;
}

bool RecipeTrash::DeleteRecipes(std::string idList, int mode)
{
    LastErrorClear();
    BusyPointer busy;
    if (mode == kModeFromSetting)
        mode = AppContext::Current().Options.EditSaveDel ? 1 : 0;
    const bool toTrash = mode != 0;
    const std::string verb = toTrash ? kToTrashVerb : kDeleteVerb;
    // Open lists hear of the whole run at its end instead of once per portion.
    RecipeChangeBatch changes;

    while (!idList.empty()) {
        std::vector<long> ids;
        if (!TakeIds(idList, kPortion, ids)) {
            SetError(-1, "Die Liste der Rezepte enthält eine ungültige Rezeptnummer.");
            return false;
        }
        if (ids.empty())
            continue;
        if (ids.size() == 1)
            ShowStatus("Rezept " + std::to_string(ids.front()) + " wird " + verb);
        else
            ShowStatus(std::to_string(ids.size()) + " Rezepte werden " + verb);
        if (!DeletePortion(toTrash, JoinIds(ids)))
            return false;
    }
    return true;
}

bool RecipeTrash::EmptyTrash(long bookId, Buttons buttons)
{
    LastErrorClear();
    const std::string from = bookId == clBook::kTrash
                                 ? " FROM T_REZ_KOPF WHERE FlagDeleted<>0"
                                 : " FROM T_REZ_KOCHBUCH WHERE BUCHID=" + std::to_string(bookId);
    long count = 0;
    try {
        count = static_cast<long>(Db().Scalar("SELECT COUNT(*) " + from).AsLong());
    } catch (const DbError&) {
        // A trash that cannot be counted is treated as empty: closing must not fail over it.
        count = 0;
    }
    if (count <= 0)
        return true;

    clBook book;
    book.SetDB(m_db);
    const std::string question = "Im \"" + book.GetBookName(bookId) + "\" sind " + std::to_string(count) +
                                 " Rezepte enthalten, die jetzt gelöscht werden können.";
    const Answer answer = UI().Ask(question, buttons, Answer::No, MsgIcon::Question, "Papierkorb");
    if (answer == Answer::Cancel)
        return false;
    if (answer != Answer::Yes && answer != Answer::Ok)
        return true;

    BusyPointer busy;
    const std::string caption = "Papierkorb \"ausleeren\"";
    ShowProgress(count, 0, caption);
    std::vector<long> ids;
    try {
        auto rs =
            Db().OpenRecordset("SELECT " + std::string(bookId == clBook::kTrash ? "ID" : "REZID") + from);
        for (; !rs->Eof(); rs->MoveNext())
            ids.push_back(static_cast<long>(rs->Field(0).AsLong()));
    } catch (const DbError& e) {
        SetDbError(e);
    }
    long done = 0;
    for (std::size_t start = 0; m_lastError == 0 && start < ids.size(); start += kEmptyPortion) {
        const std::size_t end = std::min(ids.size(), start + kEmptyPortion);
        const std::vector<long> portion(ids.begin() + static_cast<std::ptrdiff_t>(start),
                                        ids.begin() + static_cast<std::ptrdiff_t>(end));
        DeleteRecipes(JoinIds(portion), 0);
        done += static_cast<long>(portion.size());
        ShowProgress(count, done, caption);
    }
    ShowProgress(-1, -1, "");
    if (m_lastError != 0)
        InformCritical(LastErrorText());
    return true;
}

} // namespace pf
