#pragma once
// One menu for an occasion (a T_MENU_KOPF row) with its courses (T_MENU_GANG) and guests
// (T_MENU_GAST). Weekly plans are menus in the folder -3 whose courses carry a day and a level;
// their own operations live in ClMenuWP.cpp. Courses and guests are read on first use; Save writes
// head, courses and guests in one transaction, Delete removes all three. The database is touched
// only by loading, the lists and the write operations; a destructor never writes.

#include "db/Value.h"
#include "model/ModelObject.h"
#include "planning/WeekPlanRules.h"
#include "planning/clsWPLevel.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace pf {

class ClRecipe;
class Database;

// One node of the menu manager's tree: a folder (a T_MENU_TREE row or one of the fixed top folders)
// or a menu. Image names the picture the tree shows.
struct MenuTreeEntry
{
    bool IsFolder = false;
    long id = 0;     // folder ID or MenuID
    long Parent = 0; // the folder that holds the node
    std::string Text;
    std::string Image; // "Folder" (open: "FolderOpen") or "Notiz"
    DateSerial Date;   // a menu's date
};

// One course a guest was served: the menu it belonged to and the guest's note there.
struct GuestHistoryEntry
{
    long MenuID = 0;
    std::string MenuTitle;
    DateSerial MenuDatum;
    long RezID = 0;
    std::string CourseTitle; // the course's own title, else its recipe's title
    std::string Notiz;
};

class ClMenu : public ModelObject
{
public:
    // Folder numbers with a meaning of their own.
    static constexpr long kWPTree = -3;      // weekly plans
    static constexpr long kSpecialTree = -2; // a further special folder, counted separately

    ClMenu();
    ~ClMenu();
    ClMenu(ClMenu&&) noexcept;
    ClMenu& operator=(ClMenu&&) noexcept;

    // Without a database the work database is used.
    void SetDB(Database* db) { m_db = db; }
    // The database set with SetDB, null for the work database.
    Database* DB() const { return m_db; }
    // Forgets everything: a new, empty, unchanged menu with ID 0.
    void Void();
    // Loads the head of menu id; false (and an empty object) when there is none.
    bool Loadr(long id);
    bool IsChanged() const { return m_changed; }
    // Drops unsaved changes: the stored menu is read again, a never-saved one is emptied.
    void CancelChange();
    // A read-only object never writes its head and keeps its guests.
    bool ROMode() const { return m_roMode; }
    void SetROMode(bool on) { m_roMode = on; }

    // --- head ------------------------------------------------------------------------------------
    bool IsWP() const { return m_tree == kWPTree; }
    long id() const { return m_id; }
    const std::string& Title() const { return m_title; }
    void SetTitle(std::string title);
    // Date of the occasion; a weekly plan's first day. Below 2 means "no date".
    DateSerial MenuDate() const { return m_date; }
    void SetMenuDate(DateSerial date);
    // Free source text; a weekly plan keeps its level definitions here.
    const std::string& MenuSource() const { return m_source; }
    void SetMenuSource(std::string source);
    // Origin category: its ID and its name (T_CAT).
    long MenuOriginID() const { return m_originID; }
    void SetMenuOriginID(long categoryId);
    std::string MenuOrigin() const;
    const std::string& Description() const { return m_description; }
    void SetDescription(std::string text);
    const std::string& Notices() const { return m_notices; }
    void SetNotices(std::string text);
    long Yield() const { return m_yield; }
    void SetYield(long persons);
    // Folder (T_MENU_TREE ID); kWPTree marks a weekly plan.
    long Tree() const { return m_tree; }
    void SetTree(long folder);
    // Preparation and cooking time as day fractions. A weekly plan has no preparation time: the
    // column holds its approval instead.
    DateSerial TimePreparation() const { return IsWP() ? DateSerial() : m_timePreparation; }
    void SetTimePreparation(DateSerial time);
    DateSerial TimeCooking() const { return m_timeCooking; }
    void SetTimeCooking(DateSerial time);

    // --- courses (1-based; an index outside 1..count is ignored) ----------------------------------
    // Reads the courses on first use.
    int CoursesCount();
    // The course's own title, or when it has none, its recipe's title.
    std::string CourseTitle(int i);
    // The title stored with the course, "" when it shows its recipe's title.
    std::string CourseOwnTitle(int i);
    void SetCourseTitle(int i, std::string title);
    // The course's yield, or when it has none, its recipe's yield.
    long CourseYield(int i);
    void SetCourseYield(int i, long yield);
    // The recipe's yield unit, "" for a generic course.
    std::string CourseUnit(int i);
    // The number the recipe's quantities are divided by to serve the course: recipe yield /
    // course yield; 1 when either is unknown.
    double CourseDivider(int i);
    std::string CourseDesc(int i);
    void SetCourseDesc(int i, std::string text);
    std::string CourseDrink(int i);
    void SetCourseDrink(int i, std::string text);
    long CourseWineID(int i);
    void SetCourseWineID(int i, long wineId);
    long CourseRezID(int i);
    // The loaded recipe, null for a generic course or a recipe that could not be loaded.
    ClRecipe* CourseRecipe(int i);
    bool CourseRecipeLoaded(int i);
    bool CourseGeneric(int i);
    // Day (from 1) and level of a weekly-plan course.
    long WPDay(int i);
    void SetWPDay(int i, long day);
    long wplevel(int i);
    void Setwplevel(int i, long level);

    // Appends a course and returns its number. generic or a recipe ID below 1 gives a course
    // without recipe titled title; otherwise the recipe's title, yield and unit are taken (a
    // recipe that cannot be loaded keeps its ID and the given title).
    int CourseAdd(long recipeId, bool generic, const std::string& title);
    void CourseDelete(int i);
    void CourseSwap(int i, int j);
    // Moves course i one place down the list (swaps it with i+1).
    void CourseUp(int i);
    // Moves course i one place up the list (swaps it with i-1).
    void CourseDown(int i);

    // --- guests (1-based) ----------------------------------------------------------------------
    int GuestCount();
    // Appends the guest with this address and returns its number.
    int GuestAdd(long addressId, const std::string& note = "");
    void GuestDelete(int i);
    long Guest(int i);
    void SetGuest(int i, long addressId);
    std::string GuestNotice(int i);
    void SetGuestNotice(int i, std::string note);
    // The guest's name as the address list shows it, "" when the address is gone.
    std::string GuestName(int i);

    // --- storing -------------------------------------------------------------------------------
    // Empties the object, saves it so it has an ID, returns the ID (0 on failure).
    long CreateNewMenu();
    // Writes head, courses (when read) and guests (when read) in one transaction; a new menu
    // takes the next free MenuID. A read-only object leaves the head as stored.
    bool Save();
    // Turns the object into an unsaved copy: courses read, ID 0, changed. The copy has no guests
    // (they were at the original occasion) and a weekly plan copy is not approved.
    void Clone();
    // Deletes the menu with its courses and guests, then empties the object.
    bool Delete();

    // True when another menu has the same title on the same day.
    bool CheckDateTitle();
    // The menus whose courses use the recipe, by ID.
    std::vector<long> SearchMenuForRecipeID(long recipeId);

    // Title of a tree or list entry: for a menu "title - date" (the title alone without a real
    // date); for a weekly plan "Woche ww - date (#id)", in the short form "date (#id)", with
    // " !" while it is not approved.
    std::string GenMenuEntryTitle(bool shortForm = false) const;
    static std::string GenMenuEntryTitle(const std::string& title, DateSerial date, long id, long tree,
                                         DateSerial approved, bool shortForm = false);

    // --- the folder tree (ClMenuTree.cpp) ------------------------------------------------------
    // The top of the tree: the folder root (folder 0, titled rootText), the weekly plans (folder
    // -3), the unclassified menus (folder -2, with their count) and the product information
    // (folder -1). Empty texts take "Folders", "Wochenpläne", "Unklassifiert", "Produktinformationen".
    std::vector<MenuTreeEntry> FillMenuLevel(const std::string& rootText = "", const std::string& wpText = "",
                                             const std::string& unclassifiedText = "",
                                             const std::string& productText = "");
    // The content of a folder: its sub-folders by name, then its menus, newest first.
    std::vector<MenuTreeEntry> RefreshMenuList(long folder);
    // Creates a folder under parent (0 for the top); returns its ID, 0 on failure.
    long MenuFolderAdd(long parent, const std::string& name);
    bool MenuFolderRename(long folder, const std::string& name);
    // Deletes a folder with every sub-folder and every menu in them, in one transaction.
    // Only real folders (ID above 0) can be deleted.
    bool MenuFolderDelete(long folder);
    // The folder's name, "" when there is none.
    std::string MenuFolderName(long folder);
    // Moves a stored menu into another folder (not into or out of the weekly plans).
    bool MoveMenu(long menuId, long folder);

    // Choices for the menu windows: ID and display text.
    struct Choice
    {
        long id = 0;
        std::string Text;
    };
    // Every menu that is no weekly plan, newest first, titled as in the tree.
    std::vector<Choice> MenuChoices();
    // Recipes for a course, by title: a number finds that recipe, a text the recipes whose title
    // contains it (at most 200, recipes in the trash left out).
    std::vector<Choice> FindRecipes(const std::string& text);
    // The wines of the wine lexicon, newest first, and the name of one ("" when none).
    std::vector<Choice> WineChoices();
    std::string WineName(long wineId);

    // Every course the guest with this address was served, newest menu first.
    std::vector<GuestHistoryEntry> GuestHistory(long addressId);
    // A menu's courses as the shopping list takes them: recipe ID and yield per course with a recipe.
    struct ShoppingCourse
    {
        long RezID = 0;
        long Yield = 0;
        std::string Title;
    };
    std::vector<ShoppingCourse> ShoppingCourses(long menuId);

    // --- weekly plans (ClMenuWP.cpp) ---------------------------------------------------------
    // Empties the object and makes it a weekly plan of days days starting on startDate, with the
    // program's current levels (kept in MenuSource, so the plan keeps them).
    void CreateNewWP(DateSerial startDate, int days = 7);
    // Approval date and time of a weekly plan, 0 when it is not approved (or no plan).
    DateSerial WPApproveDate() const { return IsWP() ? m_approved : DateSerial(); }
    void SetWPApproveDate(DateSerial when);
    // Approves a plan (now) or withdraws its approval; marks it changed. Saving an approved plan
    // records its recipes' usage; saving a withdrawn one recomputes it. Read-only objects and
    // menus that are no plans are left alone.
    void WPApprove(bool on);
    // True when another weekly plan starts on the same day.
    bool CheckWPDate();
    // The weekly plans that start on a day.
    std::vector<long> WPDupeCheck(DateSerial date);
    // The latest day the recipe is served in any other weekly plan, 0 when none.
    long WPLastUsage(long recipeId);

    // The plan's levels, read from MenuSource on first use.
    clsWPLevel& WPLevels();
    // Level properties by level number (1..levels), "" or 0 outside.
    std::string WPLevelText(int level);
    Decimal4 WPLevelPrice(int level);
    bool WPLevelRepeat(int level);
    // The category that supplies the level's dishes, 0 when none.
    long WPLevelClass(int level);
    // The number of days: as created (stored with the plan), or as far as the courses reach (7 for
    // a plan without either).
    int WPDayCount();
    void SetWPDayCount(int days);
    // A key for one cell of the plan (day and level number), unique within a plan.
    static long GenIntNumber(long day, long level) { return day * 100 + level; }
    // The course served on a day at a level (by level ID), 0 when the cell is empty.
    int WPCourse(long day, long levelId);
    // Places a dish into a cell, replacing what was there: a recipe, or with recipeId 0 a generic
    // dish titled title. An empty title with recipe 0 clears the cell. Returns the course, or 0.
    int WPPlace(long day, long levelId, long recipeId, const std::string& title = "");
    // Fills the empty cells with the proposal of the repeat rules; the number of dishes placed.
    int WPFill();
    // The plan's courses with their serving days, for the repeat check.
    std::vector<WPCourseRef> WPCourseRefs();
    // The repeat breaches of the plan's courses.
    std::vector<WPBreach> WPCheck();

    // One weekly plan in the plan list, with its year and month group.
    struct WPListEntry
    {
        long id = 0;
        DateSerial Date;
        DateSerial Approved;
        int Year = 0;
        std::string Month; // "Dezember"
        std::string Title; // GenMenuEntryTitle
    };
    // The weekly plans in date order, those starting from..to when to is a real date.
    std::vector<WPListEntry> RefreshWPList(DateSerial from = {}, DateSerial to = {});

private:
    struct Course;
    struct GuestEntry
    {
        long AdressID = 0;
        std::string Notiz;
    };

    Course* At(int i);
    void LoadCourses();
    void LoadGuests();
    void LoadCourseRecipe(Course& course);
    // A different value is taken and marks the menu changed.
    template <typename T, typename V> void Assign(T& member, V&& value)
    {
        if (!(member == value)) {
            member = std::forward<V>(value);
            m_changed = true;
        }
    }
    // Weekly-plan upkeep of the recipes' exclusion dates (ClMenuWP.cpp): after the courses of an
    // approved plan were written (inside Save's transaction), and when a course leaves a plan.
    void WPRecordUsage(Database& db);
    void WPCourseRemoved(long recipeId);
    // The recipes a stored plan serves (before its deletion), and their exclusions recomputed.
    std::vector<long> WPStoredRecipes(Database& db);
    void WPRecompute(Database& db, const std::vector<long>& recipes);

    long m_id = 0;
    long m_loadedId = 0;
    std::string m_title;
    DateSerial m_date;
    std::string m_source;
    long m_originID = 0;
    std::string m_description;
    std::string m_notices;
    long m_yield = 0;
    long m_tree = 0;
    DateSerial m_timePreparation;
    DateSerial m_approved;
    DateSerial m_timeCooking;

    std::vector<Course> m_courses;
    std::vector<GuestEntry> m_guests;
    bool m_coursesLoaded = false;
    bool m_guestsLoaded = false;
    bool m_changed = false;
    bool m_roMode = false;

    // Weekly plans: levels read from MenuSource on first use, the day count as created, the
    // approval as loaded (to see a withdrawal) and the recipes whose courses were removed.
    clsWPLevel m_wpLevels;
    bool m_wpLevelsRead = false;
    int m_wpDays = 0;
    DateSerial m_approvedLoaded;
    std::vector<long> m_wpRemoved;
};

} // namespace pf
