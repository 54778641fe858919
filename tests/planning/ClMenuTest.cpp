// Menus: entry titles, the save/load round trip of head, courses and guests,
// course editing, copies, date clashes, deletion, and a failing save that leaves the menu as stored.

#include "planning/ClMenu.h"

#include "tests/planning/PlanningDb.h"
#include "tests/support/Each.h"
#include "tests/support/RawSql.h"

#include <sstream>

namespace pf {
namespace {

using Strings = std::vector<std::string>;

DateSerial Day(int year, int month, int day)
{
    return DateSerial::FromParts(year, month, day);
}

class MenuDb : public test::MenuDb
{
protected:
    // A saved menu with the given title, date and folder, the courses named (a number is a recipe
    // ID) and the guests (address and note).
    long Saved(const std::string& title, DateSerial date, const Strings& courses = {},
               const std::vector<std::pair<long, std::string>>& guests = {}, long folder = 0)
    {
        ClMenu menu = Menu();
        menu.SetTitle(title);
        menu.SetMenuDate(date);
        menu.SetTree(folder);
        for (const std::string& c : courses)
            if (std::isdigit(static_cast<unsigned char>(c[0])))
                menu.CourseAdd(std::stol(c), false, "");
            else
                menu.CourseAdd(0, true, c);
        for (const auto& [address, note] : guests)
            menu.GuestAdd(address, note);
        EXPECT_TRUE(menu.Save()) << menu.LastErrorText();
        return menu.id();
    }
    static std::string Titles(ClMenu& menu)
    {
        std::string text;
        for (int i = 1; i <= menu.CoursesCount(); ++i)
            text += (i > 1 ? "|" : "") + menu.CourseTitle(i);
        return text;
    }
    // The stored menu's title, course titles and number of guests.
    std::string Summary(long id)
    {
        ClMenu menu = Loaded(id);
        return menu.Title() + "|" + Titles(menu) + "|" + std::to_string(menu.GuestCount());
    }
    // A course as "recipe yield unit, generic, recipe loaded and there, drink, wine, divider".
    static std::string Course(ClMenu& m, int i)
    {
        std::ostringstream text;
        text << m.CourseRezID(i) << ' ' << m.CourseYield(i) << ' ' << m.CourseUnit(i) << ", "
             << m.CourseGeneric(i) << ", " << m.CourseRecipeLoaded(i) << (m.CourseRecipe(i) != nullptr)
             << ", " << m.CourseDrink(i) << ", " << m.CourseWineID(i) << ", " << m.CourseDivider(i);
        return text.str();
    }
};

TEST(MenuEntryTitle, MenusAndWeeklyPlansAcrossYearEnds)
{
    const DateSerial approved = DateSerial::FromParts(2020, 1, 1, 9, 30);
    struct Case
    {
        DateSerial Date;
        long Tree;
        DateSerial Approved;
        bool Short;
        const char* Expected;
    };
    const Case cases[] = {
        {Day(2024, 12, 24), 7, {}, false, "Fest - 24.12.2024"},
        {DateSerial{0}, 0, {}, false, "Fest"},
        {DateSerial{1.9}, 0, {}, false, "Fest"}, // below 2 is no date
        {DateSerial{2}, 0, {}, false, "Fest - 01.01.1900"},
        {Day(2026, 3, 2), ClMenu::kWPTree, approved, false, "Woche 10 - 02.03.2026 (#42)"},
        {Day(2026, 3, 2), ClMenu::kWPTree, {}, false, "Woche 10 - 02.03.2026 (#42) !"},
        {Day(2026, 3, 2), ClMenu::kWPTree, {}, true, "02.03.2026 (#42) !"},
        {Day(2026, 3, 2), ClMenu::kWPTree, approved, true, "02.03.2026 (#42)"},
        // A plan starting on Monday 29 December belongs to week 1 of the next year.
        {Day(2025, 12, 29), ClMenu::kWPTree, approved, false, "Woche 01 - 29.12.2025 (#42)"},
        {Day(2021, 1, 3), ClMenu::kWPTree, approved, false, "Woche 53 - 03.01.2021 (#42)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Expected);
        EXPECT_EQ(ClMenu::GenMenuEntryTitle("Fest", c.Date, 42, c.Tree, c.Approved, c.Short), c.Expected);
    }
}

TEST_F(MenuDb, HeadCoursesAndGuestsRoundTrip)
{
    ClMenu menu = Menu();
    menu.SetTitle("Silvester \"bei uns\"");
    menu.SetMenuDate(Day(2025, 12, 31));
    menu.SetDescription("Drei Gänge");
    menu.SetNotices("Früh einkaufen");
    menu.SetYield(8);
    menu.SetTree(4);
    menu.SetMenuOriginID(102);
    menu.SetMenuSource("Eigene Idee");
    menu.SetTimePreparation(DateSerial{2.0 / 24});
    menu.SetTimeCooking(DateSerial{1.5 / 24});
    EXPECT_EQ(menu.CourseAdd(11, false, "ignoriert"), 1);
    EXPECT_EQ(menu.CourseAdd(0, true, "Käseplatte"), 2);
    EXPECT_EQ(menu.CourseAdd(12, false, ""), 3);
    menu.SetCourseYield(3, 8);
    menu.SetCourseTitle(3, "Festbraten");
    menu.SetCourseDrink(1, "Sekt");
    menu.SetCourseDesc(1, "heiß servieren");
    menu.SetCourseWineID(3, 77);
    menu.GuestAdd(5, "vegetarisch");
    menu.GuestAdd(6);
    ASSERT_TRUE(menu.Save()) << menu.LastErrorText();
    EXPECT_FALSE(menu.IsChanged());
    EXPECT_EQ(menu.id(), 1);

    ClMenu back = Loaded(menu.id());
    EXPECT_EQ((Strings{back.Title(), back.Description(), back.Notices(), back.MenuSource()}),
              (Strings{"Silvester \"bei uns\"", "Drei Gänge", "Früh einkaufen", "Eigene Idee"}));
    EXPECT_EQ(back.MenuDate(), Day(2025, 12, 31));
    EXPECT_EQ((std::vector<long>{back.Yield(), back.Tree(), back.MenuOriginID()}),
              (std::vector<long>{8, 4, 102}));
    EXPECT_FALSE(back.MenuOrigin().empty());
    EXPECT_NEAR(back.TimePreparation().Days, 2.0 / 24, 1e-9);
    EXPECT_NEAR(back.TimeCooking().Days, 1.5 / 24, 1e-9);
    EXPECT_FALSE(back.IsWP());

    ASSERT_EQ(back.CoursesCount(), 3);
    EXPECT_EQ(Titles(back), "Kürbissuppe|Käseplatte|Festbraten");
    EXPECT_EQ(back.CourseOwnTitle(1), ""); // follows the recipe's title
    EXPECT_EQ((Strings{Course(back, 1), Course(back, 2), Course(back, 3)}),
              (Strings{"11 4 Portionen, 0, 11, Sekt, 0, 1", "0 0 , 1, 00, , 0, 1",
                       "12 8 Portionen, 0, 11, , 77, 0.75"}));
    EXPECT_EQ(back.CourseDesc(1), "heiß servieren");

    ASSERT_EQ(back.GuestCount(), 2);
    EXPECT_EQ(back.Guest(1), 5);
    EXPECT_EQ((Strings{back.GuestNotice(1), back.GuestName(1), back.GuestName(2)}),
              (Strings{"vegetarisch", "Erna Müller", "Onkel Paul"}));
    EXPECT_FALSE(back.IsChanged());

    // Saving again rewrites the rows instead of adding to them.
    back.SetTitle("Silvester");
    ASSERT_TRUE(back.Save());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_MENU_GANG WHERE MenuID=1"), 3);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_MENU_GAST WHERE MenuID=1"), 2);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_MENU_KOPF"), 1);

    // A copy is written as a new menu with the courses but without the guests.
    back.Clone();
    EXPECT_EQ(back.id(), 0);
    EXPECT_TRUE(back.IsChanged());
    back.SetTitle("Silvester (Kopie)");
    ASSERT_TRUE(back.Save());
    EXPECT_EQ(back.id(), 2);
    EXPECT_EQ(Summary(2), "Silvester (Kopie)|Kürbissuppe|Käseplatte|Festbraten|0");
    EXPECT_EQ(Summary(1), "Silvester|Kürbissuppe|Käseplatte|Festbraten|2");

    // A menu copied straight after loading, before anything read its courses, copies them too.
    ClMenu fresh = Loaded(1);
    fresh.Clone();
    ASSERT_TRUE(fresh.Save());
    EXPECT_EQ(Summary(fresh.id()), "Silvester|Kürbissuppe|Käseplatte|Festbraten|0");
}

TEST_F(MenuDb, CourseMovesIgnoreIndexesOutsideTheList)
{
    struct Case
    {
        const char* Name;
        void (*Edit)(ClMenu&);
        const char* Expected;
        bool Changed;
    };
    const Case cases[] = {
        {"up first", [](ClMenu& m) { m.CourseUp(1); }, "B|A|C", true},
        {"up last", [](ClMenu& m) { m.CourseUp(3); }, "A|B|C", false},
        {"up zero", [](ClMenu& m) { m.CourseUp(0); }, "A|B|C", false},
        {"down last", [](ClMenu& m) { m.CourseDown(3); }, "A|C|B", true},
        {"down first", [](ClMenu& m) { m.CourseDown(1); }, "A|B|C", false},
        {"down beyond", [](ClMenu& m) { m.CourseDown(4); }, "A|B|C", false},
        {"swap ends", [](ClMenu& m) { m.CourseSwap(1, 3); }, "C|B|A", true},
        {"swap outside", [](ClMenu& m) { m.CourseSwap(1, 4); }, "A|B|C", false},
        {"swap itself", [](ClMenu& m) { m.CourseSwap(2, 2); }, "A|B|C", false},
        {"delete middle", [](ClMenu& m) { m.CourseDelete(2); }, "A|C", true},
        {"delete outside", [](ClMenu& m) { m.CourseDelete(-1); }, "A|B|C", false},
        {"add", [](ClMenu& m) { m.CourseAdd(-5, false, "D"); }, "A|B|C|D", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        ClMenu menu = Loaded(Saved(c.Name, Day(2026, 2, 1), {"A", "B", "C"}));
        c.Edit(menu);
        EXPECT_EQ(Titles(menu), c.Expected);
        EXPECT_EQ(menu.IsChanged(), c.Changed);
        // What was edited is what is stored.
        ASSERT_TRUE(menu.Save());
        ClMenu back = Loaded(menu.id());
        EXPECT_EQ(Titles(back), c.Expected);
    }
}

TEST_F(MenuDb, CheckDateTitleFindsOnlyAnotherMenuOnTheSameDay)
{
    Saved("Weihnachten", Day(2025, 12, 24));
    struct Case
    {
        const char* Title;
        DateSerial Date;
        bool Clash;
    };
    const Case cases[] = {{"Weihnachten", Day(2025, 12, 24), true},
                          {"weihnachten", Day(2025, 12, 24), true}, // as the engine compares text
                          {"Weihnachten", DateSerial{Day(2025, 12, 24).Days + 0.5}, true},
                          {"Weihnachten", Day(2025, 12, 25), false},
                          {"Weihnachten 2", Day(2025, 12, 24), false},
                          {"Weihn*", Day(2025, 12, 24), false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Title);
        ClMenu menu = Menu();
        menu.SetTitle(c.Title);
        menu.SetMenuDate(c.Date);
        EXPECT_EQ(menu.CheckDateTitle(), c.Clash);
    }
    // The menu itself is no clash.
    EXPECT_FALSE(Loaded(1).CheckDateTitle());
}

TEST_F(MenuDb, DeleteRemovesOnlyThisMenusRows)
{
    ClMenu keep = Loaded(Saved("Bleibt", {}, {"11"}, {{5, ""}}));
    ClMenu gone = Loaded(Saved("Geht", {}, {"11", "12"}, {{6, ""}}));
    EXPECT_EQ(gone.SearchMenuForRecipeID(11), (std::vector<long>{1, 2}));

    ASSERT_TRUE(gone.Delete());
    EXPECT_EQ(gone.id(), 0);
    EXPECT_EQ(gone.CoursesCount(), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_MENU_KOPF"), 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_MENU_GANG WHERE MenuID=2"), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_MENU_GAST WHERE MenuID=2"), 0);
    EXPECT_EQ(Loaded(1).CoursesCount(), 1);
    EXPECT_EQ(keep.SearchMenuForRecipeID(12), std::vector<long>{});
    EXPECT_EQ(keep.SearchMenuForRecipeID(11), std::vector<long>{1});
}

TEST_F(MenuDb, FailingSaveLeavesTheStoredMenuAsItWas)
{
    Saved("Vorher", {}, {"11"}, {{5, ""}});
    db.reset();
    test::ExecuteRawSql(dir.File("base.db"), "CREATE TRIGGER fail BEFORE INSERT ON T_MENU_GAST BEGIN "
                                             "SELECT RAISE(ABORT, 'disk full'); END");
    db = Database::OpenSqlite(dir.File("base.db"));

    ClMenu edit = Loaded(1);
    edit.SetTitle("Nachher");
    edit.CourseAdd(0, true, "Nachtisch");
    edit.GuestAdd(6);
    EXPECT_FALSE(edit.Save());
    EXPECT_NE(edit.LastError(), 0);
    EXPECT_TRUE(edit.IsChanged());
    EXPECT_EQ(Summary(1), "Vorher|Kürbissuppe|1");

    // A new menu that fails keeps ID 0, so a later save does not take a number it never got.
    ClMenu fresh = Menu();
    fresh.SetTitle("Neu");
    fresh.GuestAdd(5);
    EXPECT_FALSE(fresh.Save());
    EXPECT_EQ(fresh.id(), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_MENU_KOPF"), 1);
}

TEST_F(MenuDb, CancelChangeAndReadOnly)
{
    const long id = Saved("Original", Day(2026, 5, 1), {"11"});
    ClMenu menu = Loaded(id);
    menu.SetTitle("Geändert");
    menu.CourseDelete(1);
    menu.CancelChange();
    EXPECT_FALSE(menu.IsChanged());
    EXPECT_EQ(menu.Title(), "Original");
    EXPECT_EQ(menu.CoursesCount(), 1);

    ClMenu fresh = Menu();
    fresh.SetTitle("Nie gespeichert");
    fresh.CancelChange();
    EXPECT_EQ(fresh.Title(), "");

    // Read-only: the head stays, guests cannot be removed.
    ClMenu ro = Loaded(id);
    ro.GuestAdd(5);
    ro.SetROMode(true);
    ro.SetTitle("Anders");
    ro.GuestDelete(1);
    EXPECT_EQ(ro.GuestCount(), 1);
    ASSERT_TRUE(ro.Save());
    EXPECT_EQ(Loaded(id).Title(), "Original");
}

TEST_F(MenuDb, NewMenusAndWeeklyPlansKeepTheirOwnFields)
{
    ClMenu menu = Menu();
    EXPECT_EQ(menu.CreateNewMenu(), 1);
    EXPECT_EQ(menu.CreateNewMenu(), 2);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_MENU_KOPF"), 2);

    ClMenu plan = Menu();
    plan.CreateNewWP(DateSerial{Day(2026, 3, 2).Days + 0.4});
    EXPECT_TRUE(plan.IsWP());
    EXPECT_EQ(plan.MenuDate(), Day(2026, 3, 2));
    plan.SetTimePreparation(DateSerial{0.5}); // a plan has no preparation time
    plan.SetWPApproveDate(DateSerial::FromParts(2026, 2, 27, 14, 5));
    const int course = plan.CourseAdd(11, false, "");
    plan.SetWPDay(course, 3);
    plan.Setwplevel(course, 2);
    plan.SetMenuSource("\"Tagessuppe\",\"Tagesteller 1\"");
    ASSERT_TRUE(plan.Save());

    ClMenu back = Loaded(plan.id());
    EXPECT_TRUE(back.IsWP());
    EXPECT_EQ(back.WPApproveDate(), DateSerial::FromParts(2026, 2, 27, 14, 5));
    EXPECT_EQ(back.TimePreparation(), DateSerial());
    EXPECT_EQ(back.WPDay(1), 3);
    EXPECT_EQ(back.wplevel(1), 2);
    EXPECT_EQ(back.MenuSource(), "\"Tagessuppe\",\"Tagesteller 1\"");
    EXPECT_EQ(back.GenMenuEntryTitle(), "Woche 10 - 02.03.2026 (#3)");
    back.Clone();
    EXPECT_EQ(back.WPApproveDate(), DateSerial()); // a copy is not approved
    EXPECT_EQ(back.GenMenuEntryTitle(true), "02.03.2026 (#0) !");

    // An ordinary menu has no approval.
    ClMenu ordinary = Loaded(1);
    ordinary.SetWPApproveDate(DateSerial{5});
    EXPECT_FALSE(ordinary.IsChanged());
}

TEST_F(MenuDb, TreeListsFoldersByNameThenMenusNewestFirst)
{
    ClMenu menu = Menu();
    const long feste = menu.MenuFolderAdd(0, "Feste");
    const long alltag = menu.MenuFolderAdd(0, "Alltag");
    const long ostern = menu.MenuFolderAdd(feste, "Ostern");
    Saved("Ostern 2024", Day(2024, 3, 31), {}, {}, feste);
    Saved("Ostern 2025", Day(2025, 4, 20), {}, {}, feste);
    Saved("Ohne Datum", DateSerial{}, {}, {}, feste);
    Saved("Resteessen", Day(2025, 1, 2), {}, {}, ClMenu::kSpecialTree);
    Saved("Import", Day(2025, 1, 3), {}, {}, ClMenu::kSpecialTree);
    ClMenu plan = Menu();
    plan.CreateNewWP(Day(2026, 3, 2));
    ASSERT_TRUE(plan.Save());

    auto texts = [](const std::vector<MenuTreeEntry>& entries) {
        std::string text;
        for (const MenuTreeEntry& e : entries)
            text += (text.empty() ? "" : "|") + e.Text + (e.IsFolder ? "/" : "");
        return text;
    };
    EXPECT_EQ(texts(menu.FillMenuLevel("Menüordner")),
              "Menüordner/|Wochenpläne/|Unklassifiert (2)/|Produktinformationen/");
    EXPECT_EQ(menu.FillMenuLevel()[0].Text, "Folders");
    EXPECT_EQ(texts(menu.RefreshMenuList(0)), "Alltag/|Feste/");
    const auto content = menu.RefreshMenuList(feste);
    EXPECT_EQ(texts(content), "Ostern/|Ostern 2025 - 20.04.2025|Ostern 2024 - 31.03.2024|Ohne Datum");
    EXPECT_EQ(content[0].id, ostern);
    EXPECT_EQ(content[0].Image, "Folder");
    EXPECT_EQ(content[1].Image, "Notiz");
    EXPECT_EQ(content[1].Parent, feste);
    EXPECT_EQ(texts(menu.RefreshMenuList(ClMenu::kWPTree)), "Woche 10 - 02.03.2026 (#6) !");
    EXPECT_EQ(texts(menu.RefreshMenuList(alltag)), "");

    // Moving: a menu changes folders, a weekly plan stays where it is.
    EXPECT_TRUE(menu.MoveMenu(4, alltag));
    EXPECT_EQ(texts(menu.RefreshMenuList(alltag)), "Resteessen - 02.01.2025");
    EXPECT_FALSE(menu.MoveMenu(4, ClMenu::kWPTree));
    EXPECT_TRUE(menu.MoveMenu(6, alltag));
    EXPECT_EQ(Loaded(6).Tree(), ClMenu::kWPTree);

    EXPECT_TRUE(menu.MenuFolderRename(alltag, "Werktags"));
    EXPECT_EQ(menu.MenuFolderName(alltag), "Werktags");
}

TEST_F(MenuDb, DeletingAFolderDeletesItsSubFoldersAndTheirMenus)
{
    ClMenu menu = Menu();
    const long top = menu.MenuFolderAdd(0, "Familie");
    const long sub = menu.MenuFolderAdd(top, "Geburtstage");
    const long subsub = menu.MenuFolderAdd(sub, "Kinder");
    const long other = menu.MenuFolderAdd(0, "Freunde");
    // A damaged tree: the top folder also hangs below its grandchild; the walk must end.
    db->Execute("UPDATE T_MENU_TREE SET Parent=? WHERE ID=?", {Value(subsub), Value(top)});
    std::vector<long> ids;
    for (long folder : {top, sub, subsub, other})
        ids.push_back(Saved("Menü in " + std::to_string(folder), {}, {"11"}, {{5, ""}}, folder));
    ClMenu loaded = Loaded(ids[1]);
    ASSERT_TRUE(loaded.MenuFolderDelete(top));
    for (const char* table : {"T_MENU_TREE", "T_MENU_KOPF", "T_MENU_GANG", "T_MENU_GAST"})
        EXPECT_EQ(Count(std::string("SELECT COUNT(*) FROM ") + table), 1) << table;
    EXPECT_EQ(Count("SELECT MenuTree FROM T_MENU_KOPF"), other);
    // The loaded menu was deleted with its folder: saving it writes it anew.
    EXPECT_EQ(loaded.id(), 0);
    EXPECT_TRUE(loaded.IsChanged());
    // The fixed folders cannot be deleted.
    EXPECT_FALSE(menu.MenuFolderDelete(0));
    EXPECT_FALSE(menu.MenuFolderDelete(ClMenu::kWPTree));
}

TEST_F(MenuDb, GuestHistoryListsEveryCourseTheGuestWasServed)
{
    const Strings courses = {"11", "Obstsalat"};
    Saved("Sommerfest", Day(2025, 7, 12), courses, {{5, "mag keinen Kürbis"}, {6, ""}});
    Saved("Herbst", Day(2025, 10, 3), courses, {{5, "kam später"}});
    Saved("Ohne Erna", Day(2025, 11, 1), courses, {{6, ""}});

    ClMenu menu = Menu();
    const auto history = menu.GuestHistory(5);
    Strings rows;
    for (const auto& row : history)
        rows.push_back(row.MenuTitle + "|" + row.CourseTitle + "|" + std::to_string(row.RezID) + "|" +
                       row.Notiz);
    ASSERT_EQ(rows, (Strings{"Herbst|Kürbissuppe|11|kam später", "Herbst|Obstsalat|0|kam später",
                             "Sommerfest|Kürbissuppe|11|mag keinen Kürbis",
                             "Sommerfest|Obstsalat|0|mag keinen Kürbis"}));
    EXPECT_EQ(history[0].MenuDatum, Day(2025, 10, 3));
    EXPECT_EQ(menu.GuestHistory(6).size(), 4u);
    EXPECT_TRUE(menu.GuestHistory(99).empty());
}

TEST_F(MenuDb, ARecipeDeletedForGoodLeavesItsTitleOnTheCourses)
{
    const long id = Saved("Abschied", Day(2026, 1, 10), {"11", "12"});
    ClMenu own = Loaded(id);
    own.SetCourseTitle(2, "Sonntagsbraten");
    ASSERT_TRUE(own.Save());
    // A course without a title of its own follows its recipe's title.
    db->Execute("UPDATE T_REZ_KOPF SET RezTitle='Kürbiscremesuppe' WHERE ID=11");
    ClearRecipeCache();
    ClMenu renamed = Loaded(id);
    EXPECT_EQ(Titles(renamed), "Kürbiscremesuppe|Sonntagsbraten");
    ClRecipe recipe;
    recipe.SetDB(db.get());
    ASSERT_TRUE(recipe.Delete(true, "11,12")); // the trash keeps the recipe
    EXPECT_EQ(Loaded(id).CourseOwnTitle(1), "");
    ASSERT_TRUE(recipe.Delete(false, "11,12"));

    ClMenu back = Loaded(id);
    EXPECT_EQ(Titles(back), "Kürbiscremesuppe|Sonntagsbraten");
    EXPECT_FALSE(back.CourseRecipeLoaded(1));
    EXPECT_FALSE(back.CourseRecipeLoaded(2));
    EXPECT_EQ(back.CourseRezID(1), 11);
    // The yields as stored when the recipes were added.
    EXPECT_EQ(back.CourseYield(1), 4);
    EXPECT_EQ(back.CourseYield(2), 6);
    EXPECT_FALSE(back.CourseGeneric(2));
    // The shopping list gets only courses with a recipe, with their yield.
    ClMenu withGeneric = Loaded(Saved("Einkauf", Day(2026, 1, 11), {"Brot"}));
    EXPECT_TRUE(withGeneric.ShoppingCourses(withGeneric.id()).empty());
    const auto courses = back.ShoppingCourses(id);
    ASSERT_EQ(courses.size(), 2u);
    EXPECT_EQ(courses[0].RezID, 11);
    EXPECT_EQ(courses[0].Yield, 4);
    EXPECT_EQ(courses[1].Title, "Sonntagsbraten");
}

TEST_F(MenuDb, LookupsOfTheMenuEditor)
{
    AddRecipe(13, "Kürbis-Risotto", 2);
    AddRecipe(14, "100% Kürbis [roh]", 2);
    db->Execute("UPDATE T_REZ_KOPF SET FlagDeleted=0, Template=0");
    AddRecipe(15, "Kürbiskuchen", 2);
    db->Execute("UPDATE T_REZ_KOPF SET FlagDeleted=-1, Template=0 WHERE ID=15");
    ClMenu menu = Menu();
    const std::pair<const char*, std::vector<long>> cases[] = {{"kürbis", {14, 13, 11}}, // any case, by title
                                                               {" 12 ", {12}},
                                                               {"15", {}}, // in the trash
                                                               {"[roh]", {14}},
                                                               {"K*s", {}}, // no pattern: a star is a star
                                                               {"", {}}};
    for (const auto& [term, ids] : cases) {
        SCOPED_TRACE(term);
        EXPECT_EQ(test::Each(menu.FindRecipes(term), &ClMenu::Choice::id), ids);
    }

    db->Execute("INSERT INTO T_INFO_KEY (ID,KEY,KEYTYPE) VALUES (3,'Riesling',6),(4,'Spätburgunder',6),"
                "(5,'Kerbel',1)");
    db->Execute("INSERT INTO T_WEIN (ID,Jahr) VALUES (4,2019)");
    const auto wines = menu.WineChoices();
    ASSERT_EQ(wines.size(), 2u);
    EXPECT_EQ(wines[0].Text, "Spätburgunder");
    EXPECT_EQ((Strings{menu.WineName(4), menu.WineName(3), menu.WineName(5)}),
              (Strings{"Spätburgunder 2019", "Riesling", ""}));

    Saved("Alt", Day(2024, 1, 1));
    Saved("Neu", Day(2025, 1, 1));
    ClMenu plan = Menu();
    plan.CreateNewWP(Day(2026, 1, 5));
    ASSERT_TRUE(plan.Save());
    const auto menus = menu.MenuChoices();
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_EQ(menus[0].Text, "Neu - 01.01.2025");
}

} // namespace
} // namespace pf
