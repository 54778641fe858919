#include "model/clBook.h"

#include "core/AppContext.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "db/DatabaseChoice.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "tests/support/NewDatabase.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace pf {
namespace {

class BookDb : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db = test::NewSchemaDatabase(dir.File("books.db"));
        book.SetDB(db.get());
    }
    void AddBook(long id, const char* title, const char* description = "")
    {
        db->Execute(
            "INSERT INTO T_BUCH (ID,BuchTitel,BuchBeschreib,BuchDatum,BuchModifiziert) "
            "VALUES (?,?,?,?,?)",
            {id, title, description, DateSerial::FromParts(2018, 3, 4), DateSerial::FromParts(2018, 5, 6)});
    }
    void AddRecipe(long id, bool deleted, bool templ)
    {
        db->Execute("INSERT INTO T_REZ_KOPF (ID,FlagDeleted,Template) VALUES (?,?,?)", {id, deleted, templ});
    }
    void AddMember(long bookId, long recipe)
    {
        db->Execute("INSERT INTO T_REZ_KOCHBUCH (RezID,BuchID) VALUES (?,?)", {recipe, bookId});
    }

    AppContext app;
    ScopedAppContext scope{app};
    test::TempDir dir;
    std::unique_ptr<Database> db;
    clBook book;
};

TEST(clBook, ReservedNumbersLoadTheirFixedNamesWithoutADatabase)
{
    struct Case
    {
        long id;
        const char* name;
        bool found;
    };
    const Case cases[] = {{0, "Basiskochbuch", true},
                          {-1, "[Neu/Undefiniert - Fehler!]", false},
                          {-2, "[Doppelte Rezepte]", true},
                          {-3, "[Rezept-Papierkorb]", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(clBook::DefaultName(c.id), c.name);
        clBook book; // no database set and none open: must not be read
        EXPECT_EQ(book.LoadByID(c.id), c.found);
        EXPECT_EQ(book.id(), c.id);
        EXPECT_EQ(book.Title(), c.name);
    }
    EXPECT_EQ(clBook::DefaultName(7), "");
    EXPECT_EQ(clBook::DefaultDescription(-3).rfind("Dies ist der Kochbuch-Papierkorb.", 0), 0u);
}

TEST_F(BookDb, LoadsAnExistingBookAndNamesAMissingOne)
{
    AddBook(5, "Kuchen", "Süßes");
    ASSERT_TRUE(book.LoadByID(5));
    EXPECT_EQ(book.Title(), "Kuchen");
    EXPECT_EQ(book.Description(), "Süßes");
    EXPECT_EQ(book.DateCreated(), DateSerial::FromParts(2018, 3, 4));
    EXPECT_EQ(book.DateModified(), DateSerial::FromParts(2018, 5, 6));

    EXPECT_FALSE(book.LoadByID(9));
    EXPECT_EQ(book.id(), 9);
    EXPECT_EQ(book.Title(), "Unbekanntes Kochbuch #9");
    EXPECT_EQ(book.Description(), "");

    ASSERT_TRUE(book.LoadbyName("kuchen"));
    EXPECT_EQ(book.id(), 5);
    EXPECT_FALSE(book.LoadbyName("Suppen"));
    EXPECT_EQ(book.GetBookName(5), "Kuchen");
}

TEST_F(BookDb, KeptListIsOrderedByIdAndServesLoads)
{
    AddBook(7, "Suppen");
    AddBook(2, "Kuchen");
    AddBook(4, "Brot");
    ASSERT_EQ(book.Count(), 3);
    const char* titles[] = {"Kuchen", "Brot", "Suppen"};
    for (long i = 1; i <= 3; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(book.SetIndex(i));
        EXPECT_EQ(book.Index(), i);
        EXPECT_EQ(book.Title(), titles[i - 1]);
    }
    EXPECT_FALSE(book.SetIndex(4));

    // A row added behind the kept list is not seen until the list is read again.
    AddBook(9, "Salate");
    EXPECT_FALSE(book.LoadByID(9));
    ASSERT_TRUE(book.LoadByID(4));
    EXPECT_EQ(book.Index(), 2);
}

TEST_F(BookDb, RezCountDistinguishesTrashBaseAndRealBooks)
{
    AddRecipe(1, false, false);
    AddRecipe(2, false, false);
    AddRecipe(3, true, false); // in the trash
    AddRecipe(4, false, true); // a template
    AddRecipe(5, true, false);
    AddMember(5, 1);
    AddMember(5, 3);
    AddMember(5, 4);
    AddMember(6, 2);
    const struct
    {
        long id;
        long count;
    } cases[] = {{-3, 2}, {0, 3}, {5, 1}, {6, 1}, {8, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(book.RezCount(c.id), c.count);
    }
}

TEST_F(BookDb, SaveGivesANewBookTheNextIdAndRefreshesTheList)
{
    EXPECT_EQ(book.Count(), 0);
    book.SetTitle("Kuchen");
    EXPECT_FALSE(book.Save()); // the description is required
    EXPECT_EQ(book.LastErrorText(), "Ein Kochbuch muss einen Namen und eine kurze Beschreibung erhalten !");

    book.SetDescription("Süßes");
    ASSERT_TRUE(book.Save()) << book.LastErrorText();
    EXPECT_EQ(book.id(), 1);

    AddBook(10, "Brot");
    clBook second;
    second.SetDB(db.get());
    second.SetTitle("Suppen");
    second.SetDescription("Warm");
    ASSERT_TRUE(second.Save());
    EXPECT_EQ(second.id(), 11);
    EXPECT_NE(second.DateCreated().Days, 0);

    // The first object's list was dropped by its save and is read again.
    EXPECT_EQ(book.Count(), 3);
    ASSERT_TRUE(book.LoadByID(11));
    EXPECT_EQ(book.Title(), "Suppen");

    // Saving a stored book edits its row.
    book.SetTitle("Suppen und Eintöpfe");
    ASSERT_TRUE(book.Save());
    EXPECT_EQ(book.id(), 11);
    EXPECT_EQ(db->Scalar("SELECT BuchTitel FROM T_BUCH WHERE ID=11").AsText(), "Suppen und Eintöpfe");
    EXPECT_EQ(db->Scalar("SELECT COUNT(*) FROM T_BUCH").AsLong(), 3);

    // Saving a stored book keeps the day it was made and notes the change.
    ASSERT_TRUE(book.LoadByID(10));
    book.SetDescription("Brot und Brötchen");
    ASSERT_TRUE(book.Save());
    EXPECT_EQ(db->Scalar("SELECT BuchDatum FROM T_BUCH WHERE ID=10").AsDate().Days,
              DateSerial::FromParts(2018, 3, 4).Days);
    EXPECT_GT(db->Scalar("SELECT BuchModifiziert FROM T_BUCH WHERE ID=10").AsDate().Days,
              DateSerial::FromParts(2018, 5, 6).Days);
    EXPECT_EQ(book.DateCreated().Days, DateSerial::FromParts(2018, 3, 4).Days);

    clBook reserved;
    reserved.SetDB(db.get());
    reserved.LoadByID(-3);
    EXPECT_FALSE(reserved.Save());
}

// The start restores the "Book" setting through LoadActiveCookbook with the setting's number; a
// book that is gone stays as the failed load leaves it.
TEST_F(BookDb, ActiveCookbookIsRestoredFromItsNumber)
{
    Connection().WorkDb = std::move(db);
    const std::string setting = "5,Kuchen";
    for (bool exists : {false, true}) {
        SCOPED_TRACE(exists);
        if (exists)
            WorkDb().Execute("INSERT INTO T_BUCH (ID,BuchTitel) VALUES (5,'Kuchen')");
        app.ActiveBookId = 99;
        LoadActiveCookbook(SettingToLong(setting));
        EXPECT_EQ(app.ActiveBookId, 5);
        EXPECT_EQ(app.ActiveBookTitle, exists ? "Kuchen" : "Unbekanntes Kochbuch #5");
    }
    CloseWorkDatabase();
}

} // namespace
} // namespace pf
