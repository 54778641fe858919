#pragma once
// One recipe category (a T_CAT row) and the operations on the category table: lookup, save with
// the lowest free ID, delete, merge, conversion between ordinary and country categories, usage
// counts, lists and the hierarchy. Categories are read and written explicitly; every change that
// touches more than one table runs in one transaction and leaves the tables as they were when it
// fails. The Confirm... operations ask their question through UI() before they change anything.

#include "model/ModelObject.h"
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace pf {

class Database;

// One entry of a category list: the text to show and the category behind it.
struct CategoryItem
{
    std::string Text; // the name; countries carry " [Herkunft]"
    std::string Name; // the name alone
    long ID = 0;
    long TypeID = 0;
    long Parent = 0;
    bool IsCountry = false;
    bool IsEdit = false;
};

// One kind of category (a T_CAT_TYPE row).
struct CategoryKind
{
    long CatTypeID = 0;
    std::string CatTypeName;
    long CatParentID = 0;
    bool CatClassified = false;
};

// Filters of FillListbox; all off lists every category except the entries with LaenderCode 99.
struct CategoryListFilter
{
    long ExcludeID = 0;            // leave this category out (0: none)
    bool EditOnly = false;         // only categories open for manual assignment
    long TypeID = 0;               // only this kind (0: every kind)
    bool WPLevelOnly = false;      // only categories with a weekly-plan level
    bool TopLevelOnly = false;     // only categories without parent
    std::optional<bool> Country{}; // only countries (true) or only ordinary categories (false)
};

// Filters of FindFirst: one source and the conditions on it.
struct CategoryFindFilter
{
    enum class Source {
        All,          // every category
        InUse,        // categories some recipe carries
        OriginsInUse, // countries some recipe names as origin
        InCookbook    // categories carried by recipes of cookbook BookID
    };
    enum class Level { Any, ChildrenOnly, TopLevelOnly };
    Source From = Source::All;
    long BookID = 0;
    std::string NameStart{};       // names beginning with this text (case-insensitive)
    std::optional<bool> Country{}; // only countries (true) or only ordinary categories (false)
    long TypeID = 0;               // only this kind (0: every kind)
    bool EditOnly = false;
    bool ClassifiedOnly = false; // only kinds shown classified in the search tree
    bool PrimaryOnly = false;    // only as primary category (sources over T_REZ_CAT_NDX)
    Level Levels = Level::Any;
};

class ClCategory : public ModelObject
{
public:
    static constexpr std::size_t kNameLength = 20;
    // LaenderCode of the entries that no list shows.
    static constexpr long kHiddenCountry = 99;

    // Binds the object to a database; null means the work database. A database that cannot be
    // written makes the object read-only.
    void SetDB(Database* db);

    long id() const { return m_id; }
    const std::string& Description() const { return m_name; }
    void SetDescription(std::string name);
    bool IsCountry() const { return m_laenderCode != 0; }
    long LaenderCode() const { return m_laenderCode; }
    // Marks or unmarks the object as a country without touching recipes (for new categories; a
    // stored one is converted with SetCountry). A stored country code stays when it is already set.
    void SetIsCountry(bool country);
    bool IsEdit() const { return m_isEdit; }
    void SetIsEdit(bool edit);
    long TypeID() const { return m_typeID; }
    // Sets the kind; a stored category writes it at once.
    bool SetTypeID(long typeID);
    // Name of the kind, "<undefiniert>" when the kind does not exist.
    std::string TypeIDText();
    long Parent() const { return m_parent; }
    void SetParent(long parent);
    // The parent category, an empty object (id 0) for a top-level category.
    ClCategory ParentObject();
    long wplevel() const { return m_wpLevel; }
    void Setwplevel(long level);
    long WPRepeat() const { return m_wpRepeat; }
    void SetWPRepeat(long repeat);
    bool newID() const { return m_changed; }
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }

    // Loading. A failed load leaves an empty object.
    bool LoadByID(long id);
    // First category whose name equals name regardless of case.
    bool LoadbyName(const std::string& name);
    // Loads the category of that name, or creates and saves a new one (open for manual
    // assignment, of kind typeID; a new country without kind takes the kind other countries have).
    bool LoadbyNameorCreate(const std::string& name, bool isCountry = false, long typeID = 0);
    // The origin category of a recipe; false when it has none.
    bool LoadRezOrigin(long recipeID);
    // Reloads the stored state, dropping unsaved changes (a new category becomes empty).
    void CancelChange();
    // Empties the object (id 0, no changes).
    void Clear();

    // Writes a changed category; a new one takes the lowest free ID. The name is cut to 20
    // characters. A read-only object writes nothing.
    bool Save();
    // Gives the object the lowest free ID and marks it new.
    long SetNewID();
    // Takes over a stored category of the same name (its ID and fields), else stores this one.
    bool ImportUpdate();
    // Removes the category from all recipes (categories and origins) and deletes it.
    bool Delete();
    // Moves every recipe of this category (or origin) to targetID and deletes this category.
    bool Merge(long targetID);
    // Converts between ordinary and country category. To a country: each recipe carrying it gets
    // it as origin (replacing an existing origin only with replaceExisting) and loses it as
    // category. To ordinary: each recipe with it as origin carries it as category instead.
    bool SetCountry(bool country, bool replaceExisting = true);
    // Recipes that carry this category and already have an origin.
    long ChangeToCountryFailCount();
    // Kinds: moves the categories of kind from to kind to and deletes kind from; the number of
    // categories moved, -1 on failure.
    long MergeTypeID(long from, long to);

    // The questions of the category screen, each followed by the operation on Yes. False when
    // the user declined (LastError 0) or the operation failed.
    bool ConfirmDelete();
    bool ConfirmMerge(long targetID);
    bool ConfirmSetCountry(bool country);

    // True when no other category has that name (case-insensitive).
    bool IsNewNameOK(const std::string& name);
    // Recipes using the category: as origin for countries, as category otherwise; -1 on failure.
    long UsageCount();
    // The cookbooks holding recipes of this category, comma-separated.
    std::string GetCookbookIDList();
    // Usage of every category at once, for lists: category ID -> recipes that carry it, and
    // for countries the recipes naming it as origin. Categories nobody uses are missing.
    std::map<long, long> UsageCounts();

    // A list walked by FindNext; each step loads the next category. FindCount is its length.
    bool FindFirst(const CategoryFindFilter& filter);
    // The categories of a recipe, the primary one first.
    bool FindFirstRecipe(long recipeID);
    bool FindNext();
    long FindCount() const { return static_cast<long>(m_found.size()); }
    // Highest row number ([No]) of a recipe's category rows, 0 when none.
    long FindMaxRezCatNo(long recipeID);

    // Lists.
    std::vector<CategoryKind> FillCatLevel();
    std::vector<CategoryItem> FillListbox(const CategoryListFilter& filter = {});
    // The direct children of a category (of the top level with 0).
    std::vector<CategoryItem> GetChilds(long parentID);
    // Loads the parent of this category into parent; false at the top level.
    bool GetParentCategory(ClCategory& parent);
    // Prepares this (new) category as a child of parentID: it takes the parent's kind, country
    // and assignment flags.
    bool LoadInheritData(long parentID);

private:
    bool LowestFreeID(long& id);
    bool LoadWhere(const std::string& sql);
    bool LoadFound();
    std::string Quoted() const;
    // The categories the query selects, in its order; an engine error is recorded.
    std::vector<CategoryItem> ItemsOf(const std::string& sql);

    long m_id = 0;
    std::string m_name;
    long m_laenderCode = 0;
    bool m_isEdit = true;
    long m_typeID = 0;
    long m_parent = 0;
    long m_wpLevel = 0;
    long m_wpRepeat = 0;
    bool m_changed = false;
    bool m_new = false;
    bool m_readOnly = false;

    std::vector<long> m_found;
    std::size_t m_foundIndex = 0;
};

} // namespace pf
