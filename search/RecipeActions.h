#pragma once
// What the recipe context menu of a recipe list does to the selected recipes: which entries it
// offers, and each entry's change (cookbooks, categories, utensils, origin, language, literature
// source, fingerprints, deletion, parent and child links, marks). Questions and messages go
// through UI(); each change of several rows is one transaction. A window only supplies the
// choices (which cookbook, which category) and shows the result.

#include "model/ModelObject.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace pf {

class Database;
class ClRecipe;
class RecipeIdList;

struct RecipeMenuEntry
{
    RecipeMenuEntry(std::string command, std::string caption, bool enabled, bool separator,
                    std::string submenu = {})
        : Command(std::move(command)), Caption(std::move(caption)), Enabled(enabled), Separator(separator),
          Submenu(std::move(submenu))
    {
    }
    std::string Command; // the command name, e.g. "HideRecipeActionBookAdd"
    std::string Caption;
    bool Enabled = true;
    bool Separator = false; // a dividing line before this entry, or before the submenu it opens
    std::string Submenu;    // the caption of the submenu that holds the entry; empty: the menu itself
};

class RecipeActions : public ModelObject
{
public:
    // Without a database the work database is used.
    explicit RecipeActions(Database* db = nullptr) { m_db = db; }

    // The entries for a selection of count recipes; parentOfFirst is the parent of the first
    // selected recipe (0: none), inTrash when the list shows the trash.
    static std::vector<RecipeMenuEntry> MenuEntries(std::size_t count, long parentOfFirst, bool inTrash);

    // Cookbooks, categories and utensils of all given recipes; an existing row is kept, a
    // 17th category is not added. Return the number of recipes changed, -1 on failure.
    long BookAdd(const std::vector<long>& ids, long bookId);
    long BookDel(const std::vector<long>& ids, long bookId);
    long CatAdd(const std::vector<long>& ids, long catId);
    long CatDel(const std::vector<long>& ids, long catId);
    long ToolAdd(const std::vector<long>& ids, long toolId);
    long ToolDel(const std::vector<long>& ids, long toolId);
    bool SetOrigin(const std::vector<long>& ids, long originId);
    bool SetLanguage(const std::vector<long>& ids, long language);
    bool SetSource(const std::vector<long>& ids, long quelleId);
    // New fingerprints, each recipe saved again.
    long NewFingerprints(const std::vector<long>& ids);
    // Loads, checks and saves each recipe again; returns how many were saved.
    long TestRecipes(const std::vector<long>& ids);

    // Deletes after the dependency check: recipes used by other recipes or in menus stay, the
    // user is told which; the rest go to the trash (or for good, as the settings say) after a
    // question. Returns the number deleted.
    long DeleteWithCheck(const std::vector<long>& ids);
    // Takes recipes back out of the trash after the question.
    bool RestoreFromTrash(const std::vector<long>& ids);

    // The parent of a recipe; 0 and the message when it is missing.
    long ShowParent(long id);
    // Sets or clears the parent after confirmation; false when declined or refused.
    bool CreateRelationship(long child, long parent);
    bool DeleteRelationship(long child);

    // Marks of the program's marked-recipe list.
    static void Mark(const std::vector<long>& ids);
    static void Unmark(const std::vector<long>& ids);
    static void MarkDel();
    static bool IsMarked(long id);

private:
    // Sets one numeric head column of every listed recipe in one statement.
    bool SetHeadColumn(const std::vector<long>& ids, const char* column, long value);
    // Links linkId to each recipe that has room for it (a list of kind) through write; removes it
    // with deleteSql (recipe, link). The number of recipes changed, -1 on failure.
    long AddLink(const std::vector<long>& ids, RecipeIdList (*kind)(),
                 void (*write)(Database&, long, const std::vector<long>&), long linkId);
    long DelLink(const std::vector<long>& ids, const char* deleteSql, long linkId);
    // Runs change for each recipe in one transaction; the number of recipes it changed, -1 on a
    // database error (then nothing is changed).
    long ForEachRecipe(const std::vector<long>& ids, const std::function<bool(Database&, long)>& change);
    std::string Title(long id);
    // Loads each recipe on its own and lets change save it; the number saved, each failure's
    // reason kept as the last error.
    long ResaveEach(const std::vector<long>& ids, const std::function<bool(ClRecipe&)>& change);
};

} // namespace pf
