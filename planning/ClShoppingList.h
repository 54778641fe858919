#pragma once
// A shopping list: up to 64 recipe slots, each scaled to the servings wanted, and up to 256
// ingredient lines taken from those recipes or entered by hand. Every line keeps the recipe it
// came from (RezID, 0 for manual lines), so the stored list stays per recipe; merging equal
// ingredients is a matter of the display (ShoppingView). The list is read from and written to the
// database only by LoadByID (the head at once, slots and lines on first use), Save and Delete;
// Save writes head, slots and lines in one transaction.

#include "db/Value.h"
#include "model/ChoiceLists.h"
#include "model/ClIngredient.h"
#include "model/ModelObject.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pf {

class ClRecipe;
class ClUnit;
class Database;

// One recipe on the list. The loaded recipe is temp-only and never saves itself.
struct ShoppingSlot
{
    long RecipeID = 0; // 0 for the manual entries
    long Num = 0;
    std::string Title; // a sub-recipe: "Title (Parent)"
    std::string UnitName;
    Decimal4 Yield;
    long UnitID = 0;
    std::shared_ptr<ClRecipe> Recipe;
    bool FromDb = false;
};

class ClShoppingList : public ModelObject
{
public:
    static constexpr int kMaxRecipes = 64;
    static constexpr int kMaxLines = 256;

    ClShoppingList();
    ~ClShoppingList();
    ClShoppingList(const ClShoppingList&) = delete;
    ClShoppingList& operator=(const ClShoppingList&) = delete;

    // null: the program's work database.
    void SetDB(Database* db);
    using ModelObject::Db;
    // Empties the list: no recipes, no lines, ID 0, unchanged.
    void Void();
    bool IsChanged() const { return m_changed; }

    int RecipeCount();
    int IngredCount();
    // Lines are 1-based; an index outside gives an empty line (get) or is ignored (set).
    const ClIngredient& Ingred(int index);
    void SetIngred(int index, const ClIngredient& line);
    // Appends a copy; the new line number, or -1 when 256 lines are held (the line then counts as left out).
    int IngredAdd(const ClIngredient& line);
    // Lines refused because the list was full, since it was emptied or loaded: a list that left lines out
    // has sums that are too low, so whoever filled it must say so.
    int LinesLeftOut() const { return m_linesLeftOut; }
    // "Die Einkaufsliste fasst höchstens 256 Zutatenzeilen; …": the message for count lines left out.
    static std::string LinesLeftOutText(int count);
    bool IngredDel(int index);

    // Reads the head of a saved list; slots and lines follow on first use. False when there is
    // no such list (the list is then empty) or it cannot be read.
    bool LoadByID(long id);
    long id() const { return m_id; }
    const std::string& Description() const { return m_description; }
    void SetDescription(std::string_view text);
    DateSerial Datum() const { return m_datum; }

    // The chooser of saved lists: "Neue ungespeicherte Einkaufsliste" (ID 0), then every saved
    // list as "name [date time]". selected receives the position of the current list.
    ChoiceList FillList(int& selected);
    // "Manuelle Erfassung" (ID 0), then one entry per slot (ID = the slot's recipe ID).
    ChoiceList FillRecipes();

    // Slots are 1-based; an index outside gives empty values.
    const ShoppingSlot& Slot(int index);
    // The slot's recipe, loaded on first use; null for a recipe that cannot be read.
    ClRecipe* Recipe(int index);
    long RecipeID(int index) { return Slot(index).RecipeID; }
    std::string RecipeTitle(int index) { return Slot(index).Title; }
    void SetRecipeTitle(int index, std::string_view title);
    Decimal4 RecipeYield(int index) { return Slot(index).Yield; }
    void SetRecipeYield(int index, Decimal4 yield);
    std::string RecipeUnitName(int index) { return Slot(index).UnitName; }
    long RecipeUnitType(int index) { return Slot(index).UnitID; }
    // Names the yield unit; the ID is looked up among the yield units (0 when unknown).
    void SetRecipeUnitType(int index, std::string_view unitName);
    // The first slot holding the recipe, 0 when none.
    int SlotOfRecipe(long recipeId);
    // Title of the first slot holding the recipe, "" when none.
    std::string TitleOfRecipe(long recipeId);

    // Adds the recipe scaled to servings (0: as stored) with its lines that have a quantity, and
    // every sub-recipe such a line names as a slot of its own, unscaled. Returns the slot number,
    // 0 when 64 slots are held. A recipe that cannot be read keeps a slot with its ID only.
    int RecipeAdd(long recipeId, long servings, std::string_view parentTitle = {},
                  bool ingredientsOff = false);
    // Removes the slot and every line of its recipe.
    bool RecipeDelete(int index);
    // Replaces the lines of the slot's recipe by the recipe scaled anew to servings, in place.
    bool RecipeRescale(int index, long servings);

    // Copies the lines of the recipe into edit (a temporary recipe with that ID).
    void TransferRecipe2Edit(long recipeId, ClRecipe& edit);
    // Overwrites the lines of edit's recipe in order, deletes surplus old lines and appends
    // extra edited ones.
    void TransferEdit2List(ClRecipe& edit);

    // Writes the list when changed (a new list gets the next free ID), in one transaction.
    bool Save();
    // Deletes the saved list and empties this one.
    bool Delete();

    // The food code of a line (its food key's code, or the code it holds itself).
    std::string LineCode(const ClIngredient& line);

private:
    void EnsureLoaded();
    void ReadDetails();
    ClUnit* ListUnits();
    int AddSlot(long recipeId, long servings, std::string_view parentTitle, bool ingredientsOff,
                std::vector<long>& chain);
    long FoodKeyId(const ClIngredient& line);
    long YieldUnitId(std::string_view name);

    long m_id = 0;
    std::string m_description;
    DateSerial m_datum;
    bool m_changed = false;
    int m_linesLeftOut = 0;
    bool m_detailsPending = false;
    std::vector<ShoppingSlot> m_slots;
    std::vector<ClIngredient> m_lines;
    std::shared_ptr<ClUnit> m_ownUnits;
};

} // namespace pf
