#include "search/RecipeActions.h"

#include "core/AppContext.h"
#include "core/IdList.h"
#include "core/Interaction.h"
#include "db/DatabaseChoice.h"
#include "db/Recordset.h"
#include "model/ClRecipe.h"
#include "model/RecipeIdList.h"
#include "model/RecipeRows.h"
#include "model/RecipeTrash.h"
#include "search/ClSearch.h"

#include <algorithm>
#include <functional>

namespace pf {

namespace {

long Count(Database& db, const std::string& sql, const std::vector<Value>& params)
{
    const Value v = db.Scalar(sql, params);
    return v.IsNull() ? 0 : static_cast<long>(v.AsLong());
}

// Whether the ID is not yet linked to the recipe and the recipe's list has room for it: a link
// beyond the list's limit would be dropped by the next load and save of the recipe.
bool FitsAsNew(RecipeIdList list, Database& db, long recipeId, long id)
{
    list.Load(db, recipeId);
    return !list.Contains(id) && list.Add(id);
}

const std::string& Caption()
{
    return AppContext::Current().AppTitle;
}

} // namespace

std::string RecipeActions::Title(long id)
{
    try {
        const Value v = Db().Scalar("SELECT RezTitle FROM T_REZ_KOPF WHERE ID=" + std::to_string(id));
        return v.IsNull() ? std::string() : v.AsText();
    } catch (const DbError&) {
        return {};
    }
}

std::vector<RecipeMenuEntry> RecipeActions::MenuEntries(std::size_t count, long parentOfFirst, bool inTrash)
{
    const bool any = count > 0;
    const bool one = count == 1;
    // The changes to recipes that are not in the trash.
    const bool change = any && !inTrash;
    // Every entry of a menu has its own Alt key; the parent and child links and the marks sit in
    // submenus of their own, as the one menu has more entries than there are letters to go round.
    const char* const family = "El&tern und Kinder";
    const char* const marks = "Ma&rkierungen";
    std::vector<RecipeMenuEntry> entries = {
        {"HideRezOpen", "&Öffnen", one, false},
        {"HideRecipeActionBookAdd", "In Kochbuch &aufnehmen …", change, true},
        {"HideRecipeActionBookDel", "Aus Kochbuch ent&fernen …", change, false},
        {"HideRecipeActionCatAdd", "Kategorie &zuordnen …", change, false},
        {"HideRecipeActionCatDel", "Kategorie &wegnehmen …", change, false},
        {"HideRecipeActionToolAdd", "&Gerät zuordnen …", change, false},
        {"HideRecipeActionToolDel", "Gerät wegne&hmen …", change, false},
        {"HideRecipeActionCountry", "Her&kunft setzen …", change, true},
        {"HideRecipeActionLanguage", "&Sprache setzen …", change, false},
        {"HideRecipeActionSource", "Literatur&quelle setzen …", change, false},
        {"HideRecipeActionFingerprint", "Neue Fingerab&drücke", change, false},
        {"HideRecipeActionTest", "&Prüfen und neu speichern", change, false},
        {"HideRecipeActionExport", "Exp&ortieren …", change, false},
        {"HideRecipeActionPrint", "Dr&ucken …", any && !inTrash, false},
        {"HideRecipeActionShoplist", "Auf die &Einkaufsliste", any && !inTrash, false},
        {"HideRecipeActionBLS", "Zutaten mit Lebensmittelschlüsseln a&bgleichen …", change, true},
        {"HideRecipeActionNaehrwert", "&Nährwerte berechnen …", one && !inTrash, false},
        {"HideRecipeActionMenu", "Zu einem &Menü hinzufügen …", change, false},
        {"HideRecipeActionImpPicture", "Bild &importieren …", one && !inTrash, true},
        {"HideRecipeActionExpPicture", "Bild e&xportieren …", one, false},
        {"HideRecipeActionTool", "Externes Programm ausf&ühren …", any && !inTrash, false},
        {"HideParentRecipeShowParent", "&Elternrezept anzeigen", one && parentOfFirst != 0, true, family},
        {"HideParentRecipeShowChild", "&Kinder anzeigen", one, false, family},
        {"HideParentRecipeCreateRelationship", "Eltern/Kind-Beziehung e&rzeugen …", one && !inTrash, false,
         family},
        {"HideParentRecipeDeleteRelationship", "Eltern/Kind-Beziehung &lösen …", one && parentOfFirst != 0,
         false, family},
        {"HideRezMark", "&Markieren", any, false, marks},
        {"HideRezMarkAll", "&Alle markieren", true, false, marks},
        {"HideRezUnmark", "Markierung auf&heben", any, false, marks},
        {"HideRezMarkdel", "Alle Markierungen &löschen", !MarkedRecipes().empty(), false, marks},
        {"HideRecipeActionDel", inTrash ? "Endgültig &löschen …" : "&Löschen …", any, true},
    };
    return entries;
}

long RecipeActions::ForEachRecipe(const std::vector<long>& ids,
                                  const std::function<bool(Database&, long)>& change)
{
    LastErrorClear();
    long changed = 0;
    try {
        Database& db = Db();
        DbTransaction transaction(db);
        for (long id : ids)
            if (change(db, id))
                ++changed;
        transaction.Commit();
    } catch (const DbError& e) {
        SetDbError(e);
        return -1;
    }
    ClearRecipeCache();
    return changed;
}

long RecipeActions::AddLink(const std::vector<long>& ids, RecipeIdList (*kind)(),
                            void (*write)(Database&, long, const std::vector<long>&), long linkId)
{
    return ForEachRecipe(ids, [=](Database& db, long id) {
        if (!FitsAsNew(kind(), db, id, linkId))
            return false;
        write(db, id, {linkId});
        return true;
    });
}

long RecipeActions::DelLink(const std::vector<long>& ids, const char* deleteSql, long linkId)
{
    return ForEachRecipe(ids, [=](Database& db, long id) { return db.Execute(deleteSql, {id, linkId}) > 0; });
}

long RecipeActions::BookAdd(const std::vector<long>& ids, long bookId)
{
    return AddLink(ids, &RecipeIdList::Books, &WriteBookRows, bookId);
}

long RecipeActions::BookDel(const std::vector<long>& ids, long bookId)
{
    return DelLink(ids, "DELETE FROM T_REZ_KOCHBUCH WHERE RezID=? AND BuchID=?", bookId);
}

long RecipeActions::CatAdd(const std::vector<long>& ids, long catId)
{
    return ForEachRecipe(ids, [catId](Database& db, long id) {
        if (!FitsAsNew(RecipeIdList::Categories(), db, id, catId))
            return false;
        const long present = Count(db, "SELECT COUNT(*) FROM T_REZ_CAT_NDX WHERE ID=?", {id});
        const long no = Count(db, "SELECT MAX(No) FROM T_REZ_CAT_NDX WHERE ID=?", {id}) + 1;
        // The first category of a recipe is its primary one.
        db.Execute("INSERT INTO T_REZ_CAT_NDX (ID,CatID,CatPrimary,No) VALUES (?,?,?,?)",
                   {id, catId, Value(present == 0), no});
        return true;
    });
}

long RecipeActions::CatDel(const std::vector<long>& ids, long catId)
{
    return ForEachRecipe(ids, [catId](Database& db, long id) {
        const bool wasPrimary =
            Count(db, "SELECT COUNT(*) FROM T_REZ_CAT_NDX WHERE ID=? AND CatID=? AND CatPrimary<>0",
                  {id, catId}) > 0;
        if (db.Execute("DELETE FROM T_REZ_CAT_NDX WHERE ID=? AND CatID=?", {id, catId}) == 0)
            return false;
        if (wasPrimary) {
            // The next category in order becomes the primary one.
            const Value first = db.Scalar("SELECT MIN(No) FROM T_REZ_CAT_NDX WHERE ID=?", {id});
            if (!first.IsNull())
                db.Execute("UPDATE T_REZ_CAT_NDX SET CatPrimary=True WHERE ID=? AND No=?", {id, first});
        }
        return true;
    });
}

long RecipeActions::ToolAdd(const std::vector<long>& ids, long toolId)
{
    return AddLink(ids, &RecipeIdList::Tools, &WriteToolRows, toolId);
}

long RecipeActions::ToolDel(const std::vector<long>& ids, long toolId)
{
    return DelLink(ids, "DELETE FROM T_REZ_GERAET WHERE RezID=? AND GeraetID=?", toolId);
}

bool RecipeActions::SetOrigin(const std::vector<long>& ids, long originId)
{
    ClRecipe recipe;
    recipe.SetDB(&Db());
    const bool ok = recipe.ChangeOrigin(JoinIds(ids), originId, 0);
    if (ok)
        LastErrorClear();
    else
        TakeError(recipe);
    ClearRecipeCache();
    return ok;
}

bool RecipeActions::SetHeadColumn(const std::vector<long>& ids, const char* column, long value)
{
    LastErrorClear();
    if (ids.empty())
        return true;
    try {
        Db().Execute(std::string("UPDATE T_REZ_KOPF SET ") + column + "=" + std::to_string(value) +
                     " WHERE ID IN (" + JoinIds(ids) + ")");
    } catch (const DbError& e) {
        SetDbError(e);
        return false;
    }
    ClearRecipeCache();
    return true;
}

bool RecipeActions::SetLanguage(const std::vector<long>& ids, long language)
{
    return SetHeadColumn(ids, "RezSprache", language);
}

bool RecipeActions::SetSource(const std::vector<long>& ids, long quelleId)
{
    return SetHeadColumn(ids, "RezQuelleID", quelleId);
}

long RecipeActions::ResaveEach(const std::vector<long>& ids, const std::function<bool(ClRecipe&)>& change)
{
    LastErrorClear();
    long saved = 0;
    for (long id : ids) {
        ClRecipe recipe;
        recipe.SetDB(&Db());
        if (!recipe.LoadByID(id, 2))
            continue;
        if (change(recipe))
            ++saved;
        else
            TakeError(recipe);
    }
    return saved;
}

long RecipeActions::NewFingerprints(const std::vector<long>& ids)
{
    return ResaveEach(ids, [](ClRecipe& recipe) {
        recipe.Fingerprint().Initialize();
        return recipe.Save(true);
    });
}

long RecipeActions::TestRecipes(const std::vector<long>& ids)
{
    return ResaveEach(ids, [](ClRecipe& recipe) {
        recipe.LoadAll();
        return recipe.Save();
    });
}

long RecipeActions::DeleteWithCheck(const std::vector<long>& ids)
{
    LastErrorClear();
    if (ids.empty())
        return 0;
    ClRecipe recipe;
    recipe.SetDB(&Db());
    std::string usedBy, menus, deletable;
    if (!recipe.CheckDependency(JoinIds(ids), true, true, usedBy, menus, deletable)) {
        TakeError(recipe);
        return -1;
    }
    if (!usedBy.empty() || !menus.empty()) {
        std::string text = "Einige Rezepte werden noch verwendet und bleiben erhalten.";
        if (!usedBy.empty())
            text += "\nVerwendet in den Rezepten: " + usedBy;
        if (!menus.empty())
            text += "\nVerwendet in den Menüs: " + menus;
        UI().Inform(text, MsgIcon::Information, Caption());
    }
    if (deletable.empty())
        return 0;
    const long count = static_cast<long>(std::count(deletable.begin(), deletable.end(), ',') + 1);
    const std::string question =
        count == 1 ? "Soll das Rezept \"" + Title(std::stol(deletable)) + "\" gelöscht werden ?"
                   : "Sollen die " + std::to_string(count) + " Rezepte gelöscht werden ?";
    if (UI().Ask(question, Buttons::YesNo, Answer::No, MsgIcon::Question, Caption()) != Answer::Yes)
        return 0;
    // Recipes already in the trash go for good; the others follow the setting.
    bool inTrash = false;
    try {
        inTrash =
            Count(Db(), "SELECT COUNT(*) FROM T_REZ_KOPF WHERE FlagDeleted<>0 AND ID IN (" + deletable + ")",
                  {}) == count;
    } catch (const DbError&) {
        inTrash = false;
    }
    RecipeTrash trash;
    trash.SetDB(&Db());
    if (!trash.DeleteRecipes(deletable, inTrash ? 0 : RecipeTrash::kModeFromSetting)) {
        TakeError(trash);
        return -1;
    }
    return count;
}

bool RecipeActions::RestoreFromTrash(const std::vector<long>& ids)
{
    if (UI().Ask("Soll das Rezept wirklich aus dem Papierkorb geholt werden ?", Buttons::YesNo, Answer::No,
                 MsgIcon::Question, Caption()) != Answer::Yes)
        return false;
    ClRecipe recipe;
    recipe.SetDB(&Db());
    const bool ok = recipe.Undelete(JoinIds(ids));
    if (ok)
        LastErrorClear();
    else
        TakeError(recipe);
    ClearRecipeCache();
    return ok;
}

long RecipeActions::ShowParent(long id)
{
    long parent = 0;
    try {
        const Value v = Db().Scalar("SELECT RezParent FROM T_REZ_KOPF WHERE ID=" + std::to_string(id));
        parent = v.IsNull() ? 0 : static_cast<long>(v.AsLong());
        if (parent != 0 && Count(Db(), "SELECT COUNT(*) FROM T_REZ_KOPF WHERE ID=?", {parent}) == 0)
            parent = 0;
    } catch (const DbError&) {
        parent = 0;
    }
    if (parent == 0)
        UI().Inform("Das Elternrezept von \"" + Title(id) + "\" konnte nicht geladen werden",
                    MsgIcon::Information, Caption());
    return parent;
}

bool RecipeActions::CreateRelationship(long child, long parent)
{
    LastErrorClear();
    if (parent == child || parent <= 0)
        return false;
    const std::string parentTitle = Title(parent);
    if (parentTitle.empty()) {
        UI().Inform("Das Rezept " + std::to_string(parent) + " existiert nicht (mehr).", MsgIcon::Information,
                    Caption());
        return false;
    }
    const std::string question =
        "Soll \"" + parentTitle + "\" das Elternrezept von \"" + Title(child) + "\" werden ?";
    if (UI().Ask(question, Buttons::YesNo, Answer::No, MsgIcon::Question, "Eltern/Kind-Beziehung erzeugen") !=
        Answer::Yes)
        return false;
    try {
        Db().Execute("UPDATE T_REZ_KOPF SET RezParent=? WHERE ID=?", {parent, child});
    } catch (const DbError& e) {
        SetDbError(e);
        return false;
    }
    ClearRecipeCache();
    return true;
}

bool RecipeActions::DeleteRelationship(long child)
{
    LastErrorClear();
    const std::string question =
        "Soll die Verbindung von \"" + Title(child) + "\" zu seinem Elternrezept gelöst werden ?";
    if (UI().Ask(question, Buttons::YesNo, Answer::No, MsgIcon::Question, Caption()) != Answer::Yes)
        return false;
    try {
        Db().Execute("UPDATE T_REZ_KOPF SET RezParent=0 WHERE ID=?", {child});
    } catch (const DbError& e) {
        SetDbError(e);
        return false;
    }
    ClearRecipeCache();
    return true;
}

void RecipeActions::Mark(const std::vector<long>& ids)
{
    std::vector<long>& marked = MarkedRecipes();
    for (long id : ids)
        if (std::find(marked.begin(), marked.end(), id) == marked.end())
            marked.push_back(id);
}

void RecipeActions::Unmark(const std::vector<long>& ids)
{
    std::vector<long>& marked = MarkedRecipes();
    for (long id : ids)
        std::erase(marked, id);
}

void RecipeActions::MarkDel()
{
    MarkedRecipes().clear();
}

bool RecipeActions::IsMarked(long id)
{
    const std::vector<long>& marked = MarkedRecipes();
    return std::find(marked.begin(), marked.end(), id) != marked.end();
}

} // namespace pf
