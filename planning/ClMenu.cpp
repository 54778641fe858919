#include "planning/ClMenu.h"

#include "db/Database.h"
#include "db/Recordset.h"
#include "db/RowValues.h"
#include "model/ClRecipe.h"
#include "planning/ClAddress.h"
#include "planning/WeekCalendar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace pf {

struct ClMenu::Course
{
    std::string Title; // TitelAlternativ; empty shows the recipe's title
    std::string RecipeTitle;
    std::string Desc;
    std::string Drink;
    long RezID = 0;
    long Yield = 0;
    long RecipeYield = 0;
    std::string Unit;
    long WineID = 0;
    long WPDay = 0;
    long WPLevel = 0;
    std::shared_ptr<ClRecipe> Recipe;
    bool RecipeLoaded = false;
};

namespace {

DateSerial AsDay(const Value& v)
{
    return v.IsNull() ? DateSerial() : v.AsDate();
}

// Menu dates compare by day, as the date is stored without time.
double WholeDay(DateSerial date)
{
    return std::floor(date.Days);
}

} // namespace

ClMenu::ClMenu() = default;
ClMenu::~ClMenu() = default;
ClMenu::ClMenu(ClMenu&&) noexcept = default;
ClMenu& ClMenu::operator=(ClMenu&&) noexcept = default;

void ClMenu::Void()
{
    Database* db = m_db;
    const bool roMode = m_roMode;
    *this = ClMenu();
    m_db = db;
    m_roMode = roMode;
}

bool ClMenu::Loadr(long id)
{
    LastErrorClear();
    Void();
    try {
        auto rs = Db().OpenRecordset("SELECT * FROM T_MENU_KOPF WHERE MenuID=?", {Value(id)});
        if (rs->Eof())
            return false;
        m_id = id;
        m_loadedId = id;
        m_title = AsString(rs->Field("MenuTitle"));
        m_date = AsDay(rs->Field("MenuDatum"));
        m_source = AsString(rs->Field("MenuQuelle"));
        m_originID = AsId(rs->Field("MenuHerkunft"));
        m_description = AsString(rs->Field("MenuDesc"));
        m_notices = AsString(rs->Field("MenuNotizen"));
        m_yield = AsId(rs->Field("MenuYield"));
        m_tree = AsId(rs->Field("MenuTree"));
        (IsWP() ? m_approved : m_timePreparation) = AsDay(rs->Field("MenuZeitVorher"));
        m_approvedLoaded = m_approved;
        m_timeCooking = AsDay(rs->Field("MenuZeitKochen"));
        // A weekly plan serves no number of persons: the column keeps its number of days.
        if (IsWP()) {
            m_wpDays = static_cast<int>(std::clamp(m_yield, 0L, 366L));
            m_yield = 0;
        }
    } catch (const DbError& e) {
        Void();
        SetDbError(e);
        return false;
    }
    return true;
}

void ClMenu::CancelChange()
{
    if (m_loadedId > 0)
        Loadr(m_loadedId);
    else
        Void();
}

void ClMenu::SetTitle(std::string title)
{
    Assign(m_title, std::move(title));
}

void ClMenu::SetMenuDate(DateSerial date)
{
    Assign(m_date, date);
}

void ClMenu::SetMenuSource(std::string source)
{
    Assign(m_source, std::move(source));
}

void ClMenu::SetMenuOriginID(long categoryId)
{
    Assign(m_originID, categoryId < 0 ? 0L : categoryId);
}

std::string ClMenu::MenuOrigin() const
{
    if (m_originID <= 0)
        return {};
    try {
        return AsString(Db().Scalar("SELECT CatNameD FROM T_CAT WHERE ID=?", {Value(m_originID)}));
    } catch (const DbError&) {
        return {}; // an unreadable name shows as none; the ID is kept
    }
}

void ClMenu::SetDescription(std::string text)
{
    Assign(m_description, std::move(text));
}

void ClMenu::SetNotices(std::string text)
{
    Assign(m_notices, std::move(text));
}

void ClMenu::SetYield(long persons)
{
    Assign(m_yield, persons);
}

void ClMenu::SetTree(long folder)
{
    Assign(m_tree, folder);
}

void ClMenu::SetTimePreparation(DateSerial time)
{
    if (!IsWP())
        Assign(m_timePreparation, time);
}

void ClMenu::SetTimeCooking(DateSerial time)
{
    Assign(m_timeCooking, time);
}

// ---------------------------------------------------------------------------------------------
// Courses

void ClMenu::LoadCourseRecipe(Course& course)
{
    course.Recipe.reset();
    course.RecipeLoaded = false;
    if (course.RezID < 1)
        return;
    auto recipe = std::make_shared<ClRecipe>();
    recipe->SetDB(m_db);
    if (!recipe->LoadByID(course.RezID))
        return; // a recipe that is gone: the course keeps what it stored
    course.RecipeTitle = recipe->Title();
    course.RecipeYield = recipe->Yield();
    course.Unit = recipe->YieldUnitText();
    course.Recipe = std::move(recipe);
    course.RecipeLoaded = true;
}

void ClMenu::LoadCourses()
{
    if (m_coursesLoaded)
        return;
    m_coursesLoaded = true;
    m_courses.clear();
    if (m_id == 0)
        return;
    try {
        auto rs = Db().OpenRecordset("SELECT DISTINCTROW * FROM T_MENU_GANG WHERE MenuID=? ORDER BY GangNr",
                                     {Value(m_id)});
        for (; !rs->Eof(); rs->MoveNext()) {
            Course course;
            course.RezID = AsId(rs->Field("RezID"));
            course.Yield = AsId(rs->Field("Yield"));
            course.Title = AsString(rs->Field("TitelAlternativ"));
            course.RecipeTitle = course.Title;
            course.Desc = AsString(rs->Field("GangDesc"));
            course.Drink = AsString(rs->Field("DrinkDesc"));
            course.WineID = AsId(rs->Field("WeinID"));
            course.WPDay = AsId(rs->Field("WPDay"));
            course.WPLevel = AsId(rs->Field("WPLevel"));
            m_courses.push_back(std::move(course));
        }
    } catch (const DbError& e) {
        SetDbError(e);
        return;
    }
    for (Course& course : m_courses)
        LoadCourseRecipe(course);
}

ClMenu::Course* ClMenu::At(int i)
{
    LoadCourses();
    if (i < 1 || i > static_cast<int>(m_courses.size()))
        return nullptr;
    return &m_courses[static_cast<std::size_t>(i - 1)];
}

int ClMenu::CoursesCount()
{
    LoadCourses();
    return static_cast<int>(m_courses.size());
}

std::string ClMenu::CourseTitle(int i)
{
    const Course* c = At(i);
    if (!c)
        return {};
    return c->Title.empty() ? c->RecipeTitle : c->Title;
}

std::string ClMenu::CourseOwnTitle(int i)
{
    const Course* c = At(i);
    return c ? c->Title : std::string();
}

void ClMenu::SetCourseTitle(int i, std::string title)
{
    if (Course* c = At(i))
        Assign(c->Title, std::move(title));
}

long ClMenu::CourseYield(int i)
{
    const Course* c = At(i);
    if (!c)
        return 0;
    return c->Yield != 0 ? c->Yield : c->RecipeYield;
}

void ClMenu::SetCourseYield(int i, long yield)
{
    if (Course* c = At(i))
        Assign(c->Yield, yield);
}

std::string ClMenu::CourseUnit(int i)
{
    const Course* c = At(i);
    return c ? c->Unit : std::string();
}

double ClMenu::CourseDivider(int i)
{
    const Course* c = At(i);
    if (!c || c->RecipeYield <= 0)
        return 1.0;
    const long yield = CourseYield(i);
    return yield > 0 ? static_cast<double>(c->RecipeYield) / static_cast<double>(yield) : 1.0;
}

std::string ClMenu::CourseDesc(int i)
{
    const Course* c = At(i);
    return c ? c->Desc : std::string();
}

void ClMenu::SetCourseDesc(int i, std::string text)
{
    if (Course* c = At(i))
        Assign(c->Desc, std::move(text));
}

std::string ClMenu::CourseDrink(int i)
{
    const Course* c = At(i);
    return c ? c->Drink : std::string();
}

void ClMenu::SetCourseDrink(int i, std::string text)
{
    if (Course* c = At(i))
        Assign(c->Drink, std::move(text));
}

long ClMenu::CourseWineID(int i)
{
    const Course* c = At(i);
    return c ? c->WineID : 0;
}

void ClMenu::SetCourseWineID(int i, long wineId)
{
    if (Course* c = At(i))
        Assign(c->WineID, wineId < 0 ? 0L : wineId);
}

long ClMenu::CourseRezID(int i)
{
    const Course* c = At(i);
    return c ? c->RezID : 0;
}

ClRecipe* ClMenu::CourseRecipe(int i)
{
    Course* c = At(i);
    return c ? c->Recipe.get() : nullptr;
}

bool ClMenu::CourseRecipeLoaded(int i)
{
    const Course* c = At(i);
    return c && c->RecipeLoaded;
}

bool ClMenu::CourseGeneric(int i)
{
    const Course* c = At(i);
    return c && c->RezID < 1;
}

long ClMenu::WPDay(int i)
{
    const Course* c = At(i);
    return c ? c->WPDay : 0;
}

void ClMenu::SetWPDay(int i, long day)
{
    if (Course* c = At(i))
        Assign(c->WPDay, day);
}

long ClMenu::wplevel(int i)
{
    const Course* c = At(i);
    return c ? c->WPLevel : 0;
}

void ClMenu::Setwplevel(int i, long level)
{
    if (Course* c = At(i))
        Assign(c->WPLevel, level);
}

int ClMenu::CourseAdd(long recipeId, bool generic, const std::string& title)
{
    LoadCourses();
    Course course;
    if (generic || recipeId < 1) {
        course.Title = title;
        course.RecipeTitle = title;
    } else {
        course.RezID = recipeId;
        LoadCourseRecipe(course);
        if (course.RecipeLoaded) {
            course.Yield = course.RecipeYield;
        } else {
            course.Title = title;
            course.RecipeTitle = title;
        }
    }
    m_courses.push_back(std::move(course));
    m_changed = true;
    return static_cast<int>(m_courses.size());
}

void ClMenu::CourseDelete(int i)
{
    Course* c = At(i);
    if (!c)
        return;
    const long recipeId = c->RezID;
    m_courses.erase(m_courses.begin() + (i - 1));
    m_changed = true;
    if (IsWP() && recipeId > 0)
        WPCourseRemoved(recipeId);
}

void ClMenu::CourseSwap(int i, int j)
{
    Course* a = At(i);
    Course* b = At(j);
    if (!a || !b || i == j)
        return;
    std::swap(*a, *b);
    m_changed = true;
}

void ClMenu::CourseUp(int i)
{
    if (i >= 1 && i < CoursesCount())
        CourseSwap(i, i + 1);
}

void ClMenu::CourseDown(int i)
{
    if (i >= 2 && i <= CoursesCount())
        CourseSwap(i - 1, i);
}

// ---------------------------------------------------------------------------------------------
// Guests

void ClMenu::LoadGuests()
{
    if (m_guestsLoaded)
        return;
    m_guestsLoaded = true;
    m_guests.clear();
    if (m_id == 0)
        return;
    try {
        auto rs = Db().OpenRecordset("SELECT * FROM T_Menu_GAST WHERE MenuID=? ORDER BY No", {Value(m_id)});
        for (; !rs->Eof(); rs->MoveNext())
            m_guests.push_back({AsId(rs->Field("AdressID")), AsString(rs->Field("Notiz"))});
    } catch (const DbError& e) {
        SetDbError(e);
    }
}

int ClMenu::GuestCount()
{
    LoadGuests();
    return static_cast<int>(m_guests.size());
}

int ClMenu::GuestAdd(long addressId, const std::string& note)
{
    LoadGuests();
    m_guests.push_back({addressId, note});
    m_changed = true;
    return static_cast<int>(m_guests.size());
}

void ClMenu::GuestDelete(int i)
{
    if (m_roMode || i < 1 || i > GuestCount())
        return;
    m_guests.erase(m_guests.begin() + (i - 1));
    m_changed = true;
}

long ClMenu::Guest(int i)
{
    if (i < 1 || i > GuestCount())
        return 0;
    return m_guests[static_cast<std::size_t>(i - 1)].AdressID;
}

void ClMenu::SetGuest(int i, long addressId)
{
    if (i >= 1 && i <= GuestCount())
        Assign(m_guests[static_cast<std::size_t>(i - 1)].AdressID, addressId);
}

std::string ClMenu::GuestNotice(int i)
{
    if (i < 1 || i > GuestCount())
        return {};
    return m_guests[static_cast<std::size_t>(i - 1)].Notiz;
}

void ClMenu::SetGuestNotice(int i, std::string note)
{
    if (i >= 1 && i <= GuestCount())
        Assign(m_guests[static_cast<std::size_t>(i - 1)].Notiz, std::move(note));
}

std::string ClMenu::GuestName(int i)
{
    const long address = Guest(i);
    if (address <= 0)
        return {};
    ClAddress guest;
    guest.SetDB(m_db);
    return guest.GetID(address) ? guest.NameFriend() : std::string();
}

// ---------------------------------------------------------------------------------------------
// Storing

long ClMenu::CreateNewMenu()
{
    Void();
    m_changed = true;
    return Save() ? m_id : 0;
}

bool ClMenu::Save()
{
    LastErrorClear();
    Database& db = Db();
    try {
        DbTransaction transaction(db);
        long id = m_id;
        if (id == 0)
            id = std::max(1L, AsId(db.Scalar("SELECT MAX(MENUID) FROM T_MENU_KOPF")) + 1);
        if (!m_roMode) {
            auto rs = db.OpenRecordset("SELECT * FROM T_MENU_KOPF WHERE MenuID=?", {Value(id)});
            if (rs->Eof()) {
                rs->AddNew();
                rs->SetField("MenuID", id);
            } else {
                rs->Edit();
            }
            rs->SetField("MenuTitle", m_title);
            rs->SetField("MenuTree", m_tree);
            rs->SetField("MenuDesc", m_description);
            rs->SetField("MenuNotizen", m_notices);
            rs->SetField("MenuYield", IsWP() ? static_cast<long>(m_wpDays) : m_yield);
            rs->SetField("MenuQuelle", m_source);
            rs->SetField("MenuHerkunft", m_originID);
            rs->SetField("MenuDatum", m_date);
            rs->SetField("MenuZeitVorher", IsWP() ? m_approved : m_timePreparation);
            rs->SetField("MenuZeitKochen", m_timeCooking);
            rs->Update();
            rs->Close();
        }
        if (m_coursesLoaded) {
            db.Execute("DELETE FROM T_MENU_GANG WHERE MenuID=?", {Value(id)});
            long number = 0;
            for (const Course& c : m_courses)
                db.Execute("INSERT INTO T_MENU_GANG (MenuID,GangNr,RezID,Yield,TitelAlternativ,GangDesc,"
                           "DrinkDesc,WeinID,WPDay,WPLevel) VALUES (?,?,?,?,?,?,?,?,?,?)",
                           {Value(id), Value(++number), Value(c.RezID), Value(c.Yield), Value(c.Title),
                            Value(c.Desc), Value(c.Drink), Value(c.WineID), Value(c.WPDay),
                            Value(c.WPLevel)});
        }
        if (m_guestsLoaded) {
            db.Execute("DELETE FROM T_MENU_GAST WHERE MenuID=?", {Value(id)});
            long number = 0;
            for (const GuestEntry& g : m_guests)
                db.Execute("INSERT INTO T_MENU_GAST (MenuID,No,AdressID,Notiz) VALUES (?,?,?,?)",
                           {Value(id), Value(++number), Value(g.AdressID), Value(g.Notiz)});
        }
        const long previousId = m_id;
        m_id = id;
        if (IsWP()) {
            try {
                WPRecordUsage(db);
            } catch (...) {
                m_id = previousId;
                throw;
            }
        }
        transaction.Commit();
    } catch (const DbError& e) {
        SetDbError(e);
        return false;
    }
    m_loadedId = m_id;
    m_changed = false;
    m_approvedLoaded = m_approved;
    m_wpRemoved.clear();
    return true;
}

void ClMenu::Clone()
{
    LoadCourses();
    m_guests.clear();
    m_guestsLoaded = true;
    m_approved = DateSerial();
    m_id = 0;
    m_loadedId = 0;
    m_changed = true;
}

bool ClMenu::Delete()
{
    LastErrorClear();
    if (m_id != 0) {
        try {
            Database& db = Db();
            DbTransaction transaction(db);
            const std::vector<long> served = WPStoredRecipes(db);
            db.Execute("DELETE FROM T_MENU_GANG WHERE MenuID=?", {Value(m_id)});
            db.Execute("DELETE FROM T_MENU_KOPF WHERE MenuID=?", {Value(m_id)});
            db.Execute("DELETE FROM T_MENU_GAST WHERE MenuID=?", {Value(m_id)});
            WPRecompute(db, served);
            transaction.Commit();
        } catch (const DbError& e) {
            SetDbError(e);
            return false;
        }
    }
    Void();
    return true;
}

bool ClMenu::CheckDateTitle()
{
    LastErrorClear();
    try {
        auto rs = Db().OpenRecordset(
            "SELECT MenuID,MenuDatum FROM T_MENU_KOPF WHERE MenuID<>? AND MenuTitle=? "
            "AND MenuDatum>=? AND MenuDatum<?",
            {Value(m_id), Value(m_title), Value(WholeDay(m_date)), Value(WholeDay(m_date) + 1)});
        return !rs->Eof();
    } catch (const DbError& e) {
        SetDbError(e);
        return false;
    }
}

std::vector<long> ClMenu::SearchMenuForRecipeID(long recipeId)
{
    LastErrorClear();
    std::vector<long> menus;
    try {
        auto rs = Db().OpenRecordset("SELECT DISTINCT MenuID FROM T_MENU_GANG WHERE RezID=? ORDER BY MenuID",
                                     {Value(recipeId)});
        for (; !rs->Eof(); rs->MoveNext())
            menus.push_back(AsId(rs->Field(0)));
    } catch (const DbError& e) {
        SetDbError(e);
    }
    return menus;
}

std::string ClMenu::GenMenuEntryTitle(bool shortForm) const
{
    return GenMenuEntryTitle(m_title, m_date, m_id, m_tree, m_approved, shortForm);
}

std::string ClMenu::GenMenuEntryTitle(const std::string& title, DateSerial date, long id, long tree,
                                      DateSerial approved, bool shortForm)
{
    if (tree != kWPTree)
        return date.Days >= 2 ? title + " - " + ShortDateText(date) : title;
    std::string text = ShortDateText(date) + " (#" + std::to_string(id) + ")";
    if (!shortForm) {
        char week[8];
        std::snprintf(week, sizeof week, "%02d", CalendarWeek(date));
        text = "Woche " + std::string(week) + " - " + text;
    }
    if (approved.Days == 0)
        text += " !";
    return text;
}

} // namespace pf
