#pragma once
// Batch deletion of recipes: moves a list of recipes to the trash or deletes them for good, in
// portions small enough for one statement each, and empties the trash or a cookbook after asking.
// Touches the database only through the recipe's own delete; questions and progress go through UI().

#include "core/Interaction.h"
#include "model/ModelObject.h"

#include <string>

namespace pf {

class Database;

class RecipeTrash : public ModelObject
{
public:
    // DeleteRecipes mode that takes the setting EditSaveDel instead.
    static constexpr int kModeFromSetting = 99;
    // At most this many IDs go into one delete.
    static constexpr std::size_t kPortion = 500;
    // EmptyTrash hands the IDs on in lists of this size.
    static constexpr std::size_t kEmptyPortion = 1000;

    // Without a database the work database is used.
    void SetDB(Database* db) { m_db = db; }

    // idList: comma-separated recipe IDs or a single number. mode 0 deletes for good, any other
    // value moves to the trash, kModeFromSetting follows EditSaveDel. Stops at the first portion
    // that fails (the earlier portions stay done); false then, with the reason in LastErrorText.
    bool DeleteRecipes(std::string idList, int mode);

    // Offers to delete for good the recipes of the trash (bookId -3) or of cookbook bookId, asking
    // with the caller's buttons. False only when the user chose Cancel: a closing program stays
    // open. Nothing to delete asks nothing.
    bool EmptyTrash(long bookId, Buttons buttons);

private:
    // One portion of at most kPortion IDs, through the recipe's own delete.
    bool DeletePortion(bool toTrash, const std::string& idList);
};

} // namespace pf
