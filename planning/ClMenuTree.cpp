// The menu manager's data: the fixed top of the folder tree, the content of a folder, folder
// upkeep, the guest history and the courses that go to the shopping list.

#include "planning/ClMenu.h"

#include "db/Database.h"
#include "db/Recordset.h"
#include "db/RowValues.h"

#include <algorithm>

namespace pf {
namespace {

DateSerial AsDay(const Value& v)
{
    return v.IsNull() ? DateSerial() : v.AsDate();
}

MenuTreeEntry FolderEntry(long id, long parent, std::string text)
{
    MenuTreeEntry entry;
    entry.IsFolder = true;
    entry.id = id;
    entry.Parent = parent;
    entry.Text = std::move(text);
    entry.Image = "Folder";
    return entry;
}

const std::string& Or(const std::string& text, const std::string& fallback)
{
    return text.empty() ? fallback : text;
}

} // namespace

std::vector<MenuTreeEntry> ClMenu::FillMenuLevel(const std::string& rootText, const std::string& wpText,
                                                 const std::string& unclassifiedText,
                                                 const std::string& productText)
{
    LastErrorClear();
    std::vector<MenuTreeEntry> top;
    top.push_back(FolderEntry(0, 0, Or(rootText, "Folders")));
    top.push_back(FolderEntry(kWPTree, 0, Or(wpText, "Wochenpläne")));
    std::string unclassified = Or(unclassifiedText, "Unklassifiert");
    try {
        const long count = AsId(Db().Scalar("SELECT COUNT(*) FROM T_MENU_KOPF WHERE MenuTree=-2"));
        unclassified += " (" + std::to_string(count) + ")";
    } catch (const DbError& e) {
        SetDbError(e);
    }
    top.push_back(FolderEntry(kSpecialTree, 0, unclassified));
    top.push_back(FolderEntry(-1, 0, Or(productText, "Produktinformationen")));
    return top;
}

std::vector<MenuTreeEntry> ClMenu::RefreshMenuList(long folder)
{
    LastErrorClear();
    std::vector<MenuTreeEntry> entries;
    try {
        Database& db = Db();
        // Only real folders hold sub-folders; the fixed ones below 0 hold menus alone.
        if (folder >= 0) {
            auto rs = db.OpenRecordset(
                "SELECT ID,Parent,Beschreibung FROM T_MENU_TREE WHERE Parent=? ORDER BY Beschreibung,ID",
                {Value(folder)});
            for (; !rs->Eof(); rs->MoveNext()) {
                const long id = AsId(rs->Field(0));
                if (id != folder) // a folder that names itself as parent would nest without end
                    entries.push_back(FolderEntry(id, folder, AsString(rs->Field(2))));
            }
        }
        auto rs =
            db.OpenRecordset("SELECT MenuTitle,MenuID,MenuTree,MenuDatum,MenuZeitVorher FROM T_MENU_KOPF "
                             "WHERE MenuTree=? ORDER BY MenuDatum DESC,MenuID DESC",
                             {Value(folder)});
        for (; !rs->Eof(); rs->MoveNext()) {
            MenuTreeEntry entry;
            entry.id = AsId(rs->Field(1));
            entry.Parent = folder;
            entry.Date = AsDay(rs->Field(3));
            entry.Text =
                GenMenuEntryTitle(AsString(rs->Field(0)), entry.Date, entry.id, folder, AsDay(rs->Field(4)));
            entry.Image = "Notiz";
            entries.push_back(std::move(entry));
        }
    } catch (const DbError& e) {
        SetDbError(e);
    }
    return entries;
}

long ClMenu::MenuFolderAdd(long parent, const std::string& name)
{
    LastErrorClear();
    try {
        Database& db = Db();
        DbTransaction transaction(db);
        const long id = std::max(1L, AsId(db.Scalar("SELECT MAX(ID) FROM T_MENU_TREE")) + 1);
        db.Execute("INSERT INTO T_MENU_TREE (ID,Parent,Beschreibung) VALUES (?,?,?)",
                   {Value(id), Value(std::max(0L, parent)), Value(name)});
        transaction.Commit();
        return id;
    } catch (const DbError& e) {
        SetDbError(e);
        return 0;
    }
}

bool ClMenu::MenuFolderRename(long folder, const std::string& name)
{
    LastErrorClear();
    return Recorded([&] {
        Db().Execute("UPDATE T_MENU_TREE SET Beschreibung=? WHERE ID=?", {Value(name), Value(folder)});
    });
}

std::string ClMenu::MenuFolderName(long folder)
{
    try {
        return AsString(Db().Scalar("SELECT Beschreibung FROM T_MENU_TREE WHERE ID=?", {Value(folder)}));
    } catch (const DbError&) {
        return {};
    }
}

bool ClMenu::MenuFolderDelete(long folder)
{
    LastErrorClear();
    if (folder <= 0)
        return false;
    return Recorded([&] {
        Database& db = Db();
        DbTransaction transaction(db);
        // Walk the folder and its sub-folders; a folder met twice (a damaged tree) is walked once.
        std::vector<long> folders{folder};
        for (std::size_t next = 0; next < folders.size(); ++next) {
            auto rs = db.OpenRecordset("SELECT ID FROM T_MENU_TREE WHERE PARENT=?", {Value(folders[next])});
            for (; !rs->Eof(); rs->MoveNext()) {
                const long child = AsId(rs->Field(0));
                if (child > 0 && std::find(folders.begin(), folders.end(), child) == folders.end())
                    folders.push_back(child);
            }
        }
        for (long f : folders) {
            std::vector<long> menus;
            auto rs = db.OpenRecordset("SELECT MenuID FROM T_MENU_KOPF WHERE MenuTREE=?", {Value(f)});
            for (; !rs->Eof(); rs->MoveNext())
                menus.push_back(AsId(rs->Field(0)));
            rs->Close();
            for (long menu : menus) {
                db.Execute("DELETE FROM T_MENU_GANG WHERE MenuID=?", {Value(menu)});
                db.Execute("DELETE FROM T_MENU_KOPF WHERE MenuID=?", {Value(menu)});
                db.Execute("DELETE FROM T_MENU_GAST WHERE MenuID=?", {Value(menu)});
            }
            db.Execute("DELETE FROM T_MENU_TREE WHERE ID=?", {Value(f)});
        }
        transaction.Commit();
        // The loaded menu may have been in the deleted folders; it is new from now on.
        if (m_id != 0 && std::find(folders.begin(), folders.end(), m_tree) != folders.end()) {
            m_id = 0;
            m_loadedId = 0;
            m_changed = true;
        }
    });
}

bool ClMenu::MoveMenu(long menuId, long folder)
{
    LastErrorClear();
    if (folder == kWPTree)
        return false;
    return Recorded([&] {
        Db().Execute("UPDATE T_MENU_KOPF SET MenuTree=? WHERE MenuID=? AND MenuTree<>-3",
                     {Value(folder), Value(menuId)});
        if (menuId == m_id && !IsWP())
            m_tree = folder;
    });
}

std::vector<GuestHistoryEntry> ClMenu::GuestHistory(long addressId)
{
    LastErrorClear();
    std::vector<GuestHistoryEntry> history;
    try {
        auto rs = Db().OpenRecordset(
            "SELECT D.MenuTitle,D.MenuDatum,A.MenuID,A.RezID,B.Notiz,A.TitelAlternativ,C.RezTitle FROM "
            "((T_MENU_GANG A LEFT JOIN T_MENU_GAST B ON A.MenuID=B.MENUID ) INNER JOIN T_MENU_KOPF D ON "
            "(A.MenuID=D.MenuID))  LEFT JOIN T_REZ_KOPF C ON (A.RezID=C.ID) WHERE B.AdressID=? "
            "ORDER BY D.MenuDatum DESC,A.MenuID DESC,A.GangNr",
            {Value(addressId)});
        for (; !rs->Eof(); rs->MoveNext()) {
            GuestHistoryEntry entry;
            entry.MenuTitle = AsString(rs->Field(0));
            entry.MenuDatum = AsDay(rs->Field(1));
            entry.MenuID = AsId(rs->Field(2));
            entry.RezID = AsId(rs->Field(3));
            entry.Notiz = AsString(rs->Field(4));
            entry.CourseTitle = AsString(rs->Field(5));
            if (entry.CourseTitle.empty())
                entry.CourseTitle = AsString(rs->Field(6));
            history.push_back(std::move(entry));
        }
    } catch (const DbError& e) {
        SetDbError(e);
    }
    return history;
}

std::vector<ClMenu::ShoppingCourse> ClMenu::ShoppingCourses(long menuId)
{
    LastErrorClear();
    std::vector<ShoppingCourse> courses;
    try {
        auto rs = Db().OpenRecordset(
            "SELECT Titelalternativ,RezID,Yield FROM T_MENU_GANG WHERE MenuID=? ORDER BY GangNr",
            {Value(menuId)});
        for (; !rs->Eof(); rs->MoveNext())
            if (AsId(rs->Field(1)) > 0)
                courses.push_back({AsId(rs->Field(1)), AsId(rs->Field(2)), AsString(rs->Field(0))});
    } catch (const DbError& e) {
        SetDbError(e);
    }
    return courses;
}

std::vector<ClMenu::Choice> ClMenu::MenuChoices()
{
    LastErrorClear();
    std::vector<Choice> menus;
    try {
        auto rs = Db().OpenRecordset("SELECT MenuTitle,MenuID,MenuDatum FROM T_MENU_KOPF WHERE MenuTree<>-3 "
                                     "ORDER BY MenuDatum DESC,MenuID DESC");
        for (; !rs->Eof(); rs->MoveNext()) {
            const long id = AsId(rs->Field(1));
            menus.push_back({id, GenMenuEntryTitle(AsString(rs->Field(0)), AsDay(rs->Field(2)), id, 0, {})});
        }
    } catch (const DbError& e) {
        SetDbError(e);
    }
    return menus;
}

std::vector<ClMenu::Choice> ClMenu::FindRecipes(const std::string& text)
{
    LastErrorClear();
    std::vector<Choice> recipes;
    const std::string trimmed = text.substr(0, text.find_last_not_of(' ') + 1);
    const std::size_t start = trimmed.find_first_not_of(' ');
    if (start == std::string::npos)
        return recipes;
    const std::string term = trimmed.substr(start);
    try {
        Database& db = Db();
        std::unique_ptr<Recordset> rs;
        if (term.find_first_not_of("0123456789") == std::string::npos && term.size() < 10) {
            rs = db.OpenRecordset("SELECT ID,RezTitle FROM T_REZ_KOPF WHERE ID=? AND FlagDeleted=0",
                                  {Value(std::stol(term))});
        } else {
            // The term is matched literally: the pattern characters of LIKE are taken out of it.
            std::string literal;
            for (char c : term)
                if (c != '*' && c != '?' && c != '#' && c != '[' && c != ']')
                    literal += c;
            rs = db.OpenRecordset("SELECT TOP 200 ID,RezTitle FROM T_REZ_KOPF WHERE RezTitle LIKE ? AND "
                                  "FlagDeleted=0 AND Template=0 ORDER BY RezTitle",
                                  {Value("*" + literal + "*")});
        }
        for (; !rs->Eof(); rs->MoveNext())
            recipes.push_back({AsId(rs->Field(0)), AsString(rs->Field(1))});
    } catch (const DbError& e) {
        SetDbError(e);
    }
    return recipes;
}

std::vector<ClMenu::Choice> ClMenu::WineChoices()
{
    LastErrorClear();
    std::vector<Choice> wines;
    try {
        auto rs = Db().OpenRecordset("SELECT * FROM T_INFO_KEY WHERE KEYTYPE=6 ORDER BY ID DESC");
        for (; !rs->Eof(); rs->MoveNext())
            wines.push_back({AsId(rs->Field("ID")), AsString(rs->Field("KEY"))});
    } catch (const DbError& e) {
        SetDbError(e);
    }
    return wines;
}

std::string ClMenu::WineName(long wineId)
{
    if (wineId <= 0)
        return {};
    try {
        std::string name =
            AsString(Db().Scalar("SELECT KEY FROM T_INFO_KEY WHERE KEYTYPE=6 AND ID=?", {Value(wineId)}));
        auto rs = Db().OpenRecordset("SELECT * FROM T_WEIN WHERE ID=?", {Value(wineId)});
        if (!rs->Eof()) {
            const long year = AsId(rs->Field("Jahr"));
            if (name.empty())
                name = AsString(rs->Field("Label"));
            if (year > 0)
                name += " " + std::to_string(year);
        }
        return name;
    } catch (const DbError&) {
        return {};
    }
}

} // namespace pf
