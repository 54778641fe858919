#pragma once
// The one in-memory form of a recipe: its head (a T_REZ_KOPF row), instructions, ingredient lines,
// categories, cookbooks, utensils and pictures. It loads itself by ID, title or fingerprint,
// tracks changes, writes itself back in one transaction and moves recipes to the trash and back.
// The database is touched only by the load, save and batch operations; a destructor never
// writes. Operations return success and leave the reason in LastError/LastErrorText.

#include "db/Value.h"
#include "model/ChangeFlag.h"
#include "model/ClFingerprint.h"
#include "model/ClIngredient.h"
#include "model/ModelObject.h"
#include "model/RecipeIdList.h"
#include "model/RecipeRows.h"
#include "model/clBlob.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pf {

class ClUnit;
class clsRecipeUnit;
class Database;

// A guest who was served the recipe in a menu.
struct RecipeGuest
{
    long AdressID = 0;
    std::string MenuTitle;
    DateSerial MenuDatum;
    std::string Notiz;
};

class ClRecipe : public ModelObject
{
public:
    static constexpr int kMaxCategories = static_cast<int>(RecipeIdList::kMaxCategories);
    static constexpr int kMaxBooks = static_cast<int>(RecipeIdList::kMaxBooks);
    static constexpr int kMaxTools = static_cast<int>(RecipeIdList::kMaxTools);
    static constexpr int kMaxPictures = 32;
    // Save refusals; the caller shows its own message.
    static constexpr long kErrTitle = -1;
    static constexpr long kErrCategories = -2;
    static constexpr long kErrInstructions = -3;
    static constexpr long kErrNotStored = -4; // a child needs a stored parent

    ClRecipe();

    // Binds the object to another database (null: the program's work database). A database that
    // cannot be written makes the object temp-only; another database gets its own unit lists.
    void SetDB(Database* db);
    using ModelObject::Db;
    void SetTempOnly(bool tempOnly = true) { m_tempOnly = tempOnly; }
    bool IsTempOnly() const { return m_tempOnly; }
    // Not stored yet (a new or cloned recipe).
    bool IsNew() const { return m_new; }
    void SetNocache(bool nocache = true) { m_nocache = nocache; }
    // New IDs fill the lowest gap instead of following the highest ID.
    void SetGapFilling(bool on) { m_gapFilling = on; }

    // --- loading --------------------------------------------------------------------------------
    // id 0 gives an empty new record. mode 2 bypasses the cache. False (record empty) when missing.
    bool LoadByID(long id, int mode = 0, bool tempOnly = false);
    bool LoadbyName(std::string_view title);
    bool LoadByFingerprint(std::int32_t fp1, std::int32_t fp2);
    bool FullDataLoaded() const { return m_fullLoaded; }

    // --- head fields ----------------------------------------------------------------------------
    long id() const { return m_head.id; }
    // A different ID marks the record changed; 0 clears the record.
    void Setid(long id);
    const std::string& Title() const { return m_head.Title; }
    // " becomes ', the characters | ? * % [ ] are dropped and the text is cut to the column size.
    void SetTitle(std::string_view title);
    const std::string& TitleMenuCard() const { return m_head.TitleMenuCard; }
    void SetTitleMenuCard(std::string_view title);
    long Yield() const { return m_head.Yield; }
    void SetYield(long yield);
    long YieldUnitIndex() const { return m_head.YieldUnit; }
    void SetYieldUnitIndex(long unitId);
    std::string YieldUnitText() const;
    // Looks the name up in the yield-unit list; an unknown name gives 0.
    void SetYieldUnitText(std::string_view name);
    long LanguageID() const { return m_head.LanguageID; }
    void SetLanguageID(long code);
    std::string LanguageText() const;
    const std::string& SourceText() const { return m_head.SourceText; }
    void SetSourceText(std::string_view text);
    long Sourcebook();
    void SourcebookSetID(long quelleId);
    void ClearSourcebook() { SourcebookSetID(0); }
    // Title of the literature source, "" when none.
    std::string SourcebookTitle();
    long SourcePage() const { return m_head.SourcePage; }
    void SetSourcePage(long page);
    // Keeping time in days: 1 pantry, 2 refrigerator, 3 freezer; other indexes are ignored.
    long StorageTime(int index) const;
    void SetStorageTime(int index, long days);
    bool IsTemplate() const { return m_head.IsTemplate; }
    void SetIsTemplate(bool value);
    bool isDeleted() const { return m_head.isDeleted; }
    const std::string& WineDegustation() const { return m_head.WineDegustation; }
    void SetWineDegustation(std::string_view text);
    DateSerial Importdate() const { return m_head.Importdate; }
    void SetImportdate(DateSerial date);
    long ImportSource() const { return m_head.ImportSource; }
    void SetImportSource(long source);
    long ImportMode() const { return m_importMode; }
    void SetImportMode(long mode) { m_importMode = mode; }
    long rezparent() const { return m_head.rezparent; }
    // A recipe naming itself as parent has none.
    void Setrezparent(long parent);
    std::string RezParentTitle();
    long WPExclude() const { return m_head.WPExclude; }
    void SetWPExclude(long level);
    DateSerial PreparationTime() const { return m_head.PreparationTime; }
    void SetPreparationTime(DateSerial time);
    DateSerial CookingTime() const { return m_head.CookingTime; }
    void SetCookingTime(DateSerial time);
    long Origin();
    void SetOriginID(long categoryId);
    std::string OriginName();
    const std::string& Notizen();
    void SetNotizen(std::string_view text);
    const std::string& Zubereitung();
    void SetZubereitung(std::string_view text);
    ClFingerprint& Fingerprint() { return m_fingerprint; }
    void FingerprintUpdate();
    DateSerial TS() const { return m_ts; }

    // Incomplete recipe: no instructions, yield 0, no category, or (lines loaded) no line or every
    // quantity 0. Stores the result; a change marks the record changed.
    bool IsGeneric();
    // ", Zubereitung", ", Menge", ", Kategorie", ", Zutaten" without the leading ", ".
    std::string WhyGeneric();

    // --- ingredient lines (1-based) --------------------------------------------------------------
    int IngredCount();
    ClIngredient& Ingredient(int index);
    void SetIngredient(int index, const ClIngredient& line);
    // Inserts at position (1..count+1; 0 or beyond the end appends); returns its index.
    int IngredAdd(const ClIngredient& line, int position = 0);
    bool IngredDel(int index);
    bool IsIngredientAlreadyLoaded() const { return m_linesLoaded; }

    // --- categories: the first is the primary one ------------------------------------------------
    int CatCount();
    long CatID(int index);
    std::string CatName(int index);
    // Ignores an ID already present, refuses a 17th and adds nothing for a category not found.
    bool CatAddID(long categoryId);
    bool CatAddName(std::string_view name);
    bool CatDel(int index);
    void CatSetPrimary(int index);
    const std::vector<long>& CatIDs();
    void SetCatIDs(const std::vector<long>& ids);

    // --- cookbooks and utensils ------------------------------------------------------------------
    int BookCount();
    long BookID(int index);
    std::string BookName(int index);
    bool BookAdd(long bookId);
    bool BookDel(int index);
    const std::vector<long>& BookIDs();
    void SetBookIDs(const std::vector<long>& ids);
    int ToolCount();
    long ToolID(int index);
    std::string ToolName(int index);
    bool ToolAdd(long toolId);
    bool ToolDel(int index);

    // --- pictures (1-based, up to 32) --------------------------------------------------------------
    int PictureCount();
    const clBlob& Picture(int index);
    // The picture for changing it (description, data); marks the pictures changed. Null outside.
    clBlob* EditPicture(int index);
    // Appends a picture (data or a file path); false when 32 are present.
    bool PictureAdd(const Blob& data, const std::string& path = {});
    bool PictureDel(int index);

    // --- change tracking ---------------------------------------------------------------------------
    bool IsChanged() const;
    void IgnoreChange();
    // Restores the head from the copy and forgets the collections so they are read again.
    void CancelChange();
    // Turns the object into an unsaved copy: ID 0, every collection changed.
    void Clone();
    void Copy2Me(const ClRecipe& other);
    // Reads every collection now (before Clone or a transfer to another database).
    void LoadAll();

    // --- saving ----------------------------------------------------------------------------------
    bool Save(bool keepFingerprint = false);
    bool SaveAs();
    bool SaveAsChild();
    // Gives the record a new ID (lowest gap with gap filling and offset <= 0, else MAX(ID) +
    // offset + 1) and marks it new.
    long SetNewID(long offset = 0);
    // Used by the import: comma-separated ID lists; mode 1 and 3 always take a new ID, mode 1
    // replaces the cookbooks by the one given.
    bool ImportUpdate(std::string_view categoryIds, std::string_view bookIds, std::string_view toolIds,
                      long mode);

    // --- deleting and batch changes ---------------------------------------------------------------
    // idList: comma-separated IDs, empty = this record.
    bool Delete(bool toTrash, std::string_view idList = {});
    bool Undelete(std::string_view idList = {});
    bool CheckDependency(std::string_view idList, bool checkSubRecipes, bool checkMenus, std::string& usedBy,
                         std::string& menus, std::string& deletable);
    // mode 1 fills only recipes without an origin.
    bool ChangeOrigin(std::string_view idList, long newOrigin, long mode);

    // --- information -------------------------------------------------------------------------------
    std::string RecipeCellTip(long id);
    std::vector<std::string> GetRecipeCategories(long id);
    long GetAttachementCount(long id);
    // Recipes using this one as a sub-recipe, and menus serving it, as ID lists.
    std::string GetChainedRecipeList(long id);
    std::string GetChainedMenuList(long id);
    long FindFirstChild(long id);
    bool HasChilds(long id);
    long GetGuestCount();
    const RecipeGuest& Guest(int index) const;
    long GetGuestadr(int index) const { return Guest(index).AdressID; }
    DateSerial GetGuestDate(int index) const { return Guest(index).MenuDatum; }
    std::string GetGuestEvent(int index) const { return Guest(index).MenuTitle; }
    std::string GetGuestRemark(int index) const { return Guest(index).Notiz; }

    // --- scaling and display -------------------------------------------------------------------------
    // Scales every line to newYield with the cook's rounding and sets the yield.
    void ScaleRecipe(long newYield);
    void SetConvtype(int flags);
    int Convtype() const { return m_convtype; }

private:
    ClUnit& Units() const;
    clsRecipeUnit& RecipeUnits() const;
    void Clear();
    std::string CleanTitle(std::string_view title);
    bool AnyQuantity() const;
    void ReadHead(const Recordset& rs);
    void ReadDetail(const Recordset& rs);
    void LoadDetail();
    void LoadLines();
    // The list, read from the recipe's rows on first use.
    RecipeIdList& Loaded(RecipeIdList& list);
    // Marks the record changed when the list changed; returns done.
    bool Changing(bool done, const RecipeIdList& list);
    void ReplaceIds(RecipeIdList& list, const std::vector<long>& ids, bool (ClRecipe::*add)(long));
    void ForgetIdLists();
    void MarkCollectionsChanged(bool changed);
    // First column of a one-ID lookup as text; "" for ID 0 or a failed read.
    std::string NameOf(const char* sql, long id) const;
    void LoadPictures();
    void WriteHead();
    void WritePictures();
    void WriteChildren();
    void CacheUpdate();
    template <typename T, typename V> void Assign(T& member, const V& value)
    {
        AssignChanged(member, value, m_changed);
    }

    std::shared_ptr<ClUnit> m_ownUnits;
    mutable std::shared_ptr<clsRecipeUnit> m_ownRecipeUnits; // made on first use

    RecipeHead m_head;
    RecipeHead m_saved;
    ClFingerprint m_fingerprint;
    long m_importMode = 0;
    DateSerial m_ts;
    // The recipe's change stamp when its rows were read or last written; -1 when unknown.
    std::int64_t m_stamp = -1;
    int m_convtype = 0;

    std::vector<ClIngredient> m_lines;
    RecipeIdList m_cats = RecipeIdList::Categories();
    RecipeIdList m_books = RecipeIdList::Books();
    RecipeIdList m_tools = RecipeIdList::Tools();
    std::vector<clBlob> m_pictures;
    std::string m_legacyPicture; // RezBild of older databases
    std::vector<RecipeGuest> m_guests;
    bool m_linesLoaded = false;
    bool m_picturesLoaded = false;
    bool m_guestsLoaded = false;
    bool m_linesChanged = false;
    bool m_picturesChanged = false;

    bool m_changed = false;
    bool m_new = false;
    bool m_fullLoaded = false;
    bool m_nocache = false;
    bool m_tempOnly = false;
    bool m_gapFilling = false;
    std::size_t m_titleSize = 0; // of the bound database, read on first use
};

// Capacity of the process-wide recipe cache; 0 switches caching off for new objects.
void SetRecipeCacheCapacity(std::size_t capacity);
void ClearRecipeCache();

} // namespace pf
