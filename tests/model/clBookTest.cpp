#include "model/clBook.h"

#include "core/Settings.h"
#include "db/DatabaseChoice.h"
#include "tests/model/ModelDb.h"

namespace pf {
namespace {

class BookDb : public test::ModelDb
{
protected:
    void SetUp() override
    {
        ModelDb::SetUp();
        book.SetDB(db.get());
    }
    void AddBook(long id, const char* title, const char* description = "")
    {
        db->Execute(
            "INSERT INTO T_BUCH (ID,BuchTitel,BuchBeschreib,BuchDatum,BuchModifiziert) "
            "VALUES (?,?,?,?,?)",
            {id, title, description, DateSerial::FromParts(2018, 3, 4), DateSerial::FromParts(2018, 5, 6)});
    }
    void AddRecipe(long id, std::initializer_list<long> books, bool deleted = false, bool templ = false)
    {
        db->Execute("INSERT INTO T_REZ_KOPF (ID,FlagDeleted,Template) VALUES (?,?,?)", {id, deleted, templ});
        for (long bookId : books)
            db->Execute("INSERT INTO T_REZ_KOCHBUCH (RezID,BuchID) VALUES (?,?)", {id, bookId});
    }
    // Recipes, each with the cookbooks it is in.
    void AddRecipes(std::initializer_list<std::pair<long, std::initializer_list<long>>> recipes)
    {
        for (const auto& [id, books] : recipes)
            AddRecipe(id, books);
    }
    // The first column of a query as "id,id,...".
    std::string Joined(const std::string& sql)
    {
        std::string text;
        for (auto rs = db->OpenRecordset(sql); !rs->Eof(); rs->MoveNext())
            text += (text.empty() ? "" : ",") + rs->Field(0).AsText();
        return text;
    }
    // Members of a cookbook in ID order.
    std::string Members(long bookId)
    {
        return Joined("SELECT RezID FROM T_REZ_KOCHBUCH WHERE BuchID=" + std::to_string(bookId) +
                      " ORDER BY RezID");
    }
    std::string Trashed() { return Joined("SELECT ID FROM T_REZ_KOPF WHERE FlagDeleted<>0 ORDER BY ID"); }

    clBook book;
};

// Three cookbooks of the user for the operations on whole books.
class BookOps : public BookDb
{
protected:
    void SetUp() override
    {
        BookDb::SetUp();
        AddBook(5, "Kuchen", "Sammlung");
        AddBook(6, "Torten", "Sammlung");
        AddBook(7, "Brot", "Sammlung");
    }
};

TEST(clBook, ReservedNumbersLoadTheirFixedNamesWithoutADatabase)
{
    const std::tuple<long, const char*, bool> cases[] = {{0, "Basiskochbuch", true},
                                                         {-1, "[Neu/Undefiniert - Fehler!]", false},
                                                         {-2, "[Doppelte Rezepte]", true},
                                                         {-3, "[Rezept-Papierkorb]", true}};
    for (const auto& [id, name, found] : cases) {
        SCOPED_TRACE(id);
        EXPECT_EQ(clBook::DefaultName(id), name);
        clBook book; // no database set and none open: must not be read
        EXPECT_EQ(book.LoadByID(id), found);
        EXPECT_EQ(book.id(), id);
        EXPECT_EQ(book.Title(), name);
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
    AddRecipe(1, {5});
    AddRecipe(2, {6});
    AddRecipe(3, {5}, true);        // in the trash
    AddRecipe(4, {5}, false, true); // a template
    AddRecipe(5, {}, true);
    // A cookbook and the number of its recipes.
    for (const auto& [id, count] : {std::pair{-3L, 2L}, {0L, 3L}, {5L, 1L}, {6L, 1L}, {8L, 0L}}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(book.RezCount(id), count);
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
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_BUCH"), 3);

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

TEST_F(BookOps, DeleteWithDiscardTrashesOnlyRecipesInNoOtherCookbook)
{
    // A doubled membership row (recipe 8) is still one recipe.
    AddRecipes({{1, {5}}, {2, {5, 6}}, {3, {5, -2}}, {4, {6}}, {8, {5, 5}}});
    ASSERT_TRUE(book.LoadByID(5));
    EXPECT_EQ(book.Delete(true), 2);
    EXPECT_EQ(Trashed(), "1,8");
    EXPECT_EQ(Members(5), "");
    EXPECT_EQ(Members(6), "2,4");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_BUCH WHERE ID=5"), 0);
    EXPECT_EQ(book.Count(), 2);
}

TEST_F(BookOps, DeleteTrashesInPortionsOfAtMost500)
{
    db->BeginTrans();
    for (long id = 1; id <= 1203; ++id)
        AddRecipe(id, {5});
    db->CommitTrans();
    ASSERT_TRUE(book.LoadByID(5));
    EXPECT_EQ(book.Delete(true), 1203);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOPF WHERE FlagDeleted<>0"), 1203);
}

TEST_F(BookOps, AFailureInTheMiddleLeavesAllTablesAsTheyWere)
{
    AddRecipes({{1, {5}}, {2, {5, 6}}});
    // The trash step has run when the membership rows are removed; the failure comes last.
    Raw("CREATE TRIGGER fail BEFORE DELETE ON T_REZ_KOCHBUCH BEGIN SELECT RAISE(ABORT, 'kaputt'); END");
    ASSERT_TRUE(book.LoadByID(5));
    EXPECT_EQ(book.Delete(true), -1);
    EXPECT_NE(book.LastError(), 0);
    EXPECT_EQ(Trashed(), "");
    EXPECT_EQ(Members(5), "1,2");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_BUCH WHERE ID=5"), 1);
}

TEST_F(BookOps, ReservedBooksCannotBeDeletedOrTargetedButDuplicatesMoveOut)
{
    for (long id : {clBook::kBaseBook, clBook::kDuplicates, clBook::kTrash}) {
        SCOPED_TRACE(id);
        book.LoadByID(id);
        EXPECT_EQ(book.Delete(true), -1);
    }
    ASSERT_TRUE(book.LoadByID(5));
    for (long target : {clBook::kBaseBook, clBook::kTrash, 5L}) {
        SCOPED_TRACE(target);
        EXPECT_EQ(book.AddToNewBook(target), -1);
        EXPECT_EQ(book.Move(target), -1);
    }
    // The duplicates can be moved into a real cookbook.
    AddRecipe(1, {-2});
    ASSERT_TRUE(book.LoadByID(clBook::kDuplicates));
    EXPECT_EQ(book.Move(7), 1);
    EXPECT_EQ(Members(7), "1");
    EXPECT_EQ(Members(-2), "");
}

TEST_F(BookOps, CopyAddsOnlyMissingMembersAndMoveEmptiesTheSource)
{
    AddRecipes({{1, {5}}, {2, {5, 6}}, {3, {5}}, {4, {6}}});
    ASSERT_TRUE(book.LoadByID(5));
    EXPECT_EQ(book.AddToNewBook(6), 2);
    EXPECT_EQ(Members(6), "1,2,3,4");
    EXPECT_EQ(Members(5), "1,2,3");
    EXPECT_EQ(book.AddToNewBook(6), 0);

    EXPECT_EQ(book.Move(7), 3);
    EXPECT_EQ(Members(7), "1,2,3");
    EXPECT_EQ(Members(5), "");
    EXPECT_EQ(Members(6), "1,2,3,4");
}

TEST_F(BookOps, ScreenQuestionsProgressAndResults)
{
    AddRecipes({{1, {5}}, {2, {5, 6}}});
    ui.mainWindowLoaded = true;
    ASSERT_TRUE(book.LoadByID(5));

    ui.Answering(Answer::No);
    EXPECT_EQ(book.AskDelete(true), -1);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].Text, "Soll das Kochbuch \"Kuchen\" wirklich gelöscht werden ?\n(alle exakt nur in "
                                "diesem Kochbuch enthaltenen Rezepte werden ebenfalls gelöscht !)");
    EXPECT_EQ(Members(5), "1,2");

    ui.shown.clear();
    ui.Answering(Answer::Yes);
    EXPECT_EQ(book.AskAddToNewBook(7), 2);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[0].Text,
              "Wirklich alle Rezepte vom Kochbuch \"Kuchen\" in das Kochbuch \"Brot\" kopieren ?");
    EXPECT_EQ(ui.shown[1].Text, "2 Rezepte wurden erfolgreich in das Kochbuch kopiert");

    ui.shown.clear();
    ui.Answering(Answer::Yes);
    EXPECT_EQ(book.AskDelete(false), 0);
    ASSERT_EQ(ui.shown.size(), 3u);
    EXPECT_EQ(ui.shown[0].Text, "Soll das Kochbuch \"Kuchen\" wirklich gelöscht werden ?\n(alle darin "
                                "enthaltenen Rezepte sind automatisch noch im Basiskochbuch enthalten und "
                                "werden daher nicht gelöscht)");
    EXPECT_EQ(ui.shown[1].Text, "Der Vorgang kann unter Umständen einige Zeit beanspruchen ...");
    EXPECT_EQ(ui.shown[2].Text, "0 Rezepte wurden in den Papierkorb geworfen");
    EXPECT_EQ(ui.statusText, "");
    EXPECT_EQ(Trashed(), "");

    ui.shown.clear();
    ASSERT_TRUE(book.LoadByID(7));
    ui.Answering(Answer::Yes);
    EXPECT_EQ(book.AskMove(6), 1);
    EXPECT_EQ(ui.shown[0].Text,
              "Wirklich alle Rezepte vom Kochbuch \"Brot\" in das Kochbuch \"Torten\" verschieben ?");
    EXPECT_TRUE(ui.AllAnswersUsed());
}

TEST_F(BookOps, BookListAndImportUpdate)
{
    const auto items = book.GetBooklist2List(true);
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0].id, clBook::kBaseBook);
    EXPECT_EQ(items[2].Text, "[Rezept-Papierkorb]");
    EXPECT_EQ(items[3].id, 5);
    EXPECT_EQ(items[5].Text, "Brot");
    EXPECT_EQ(book.GetBooklist2List(false).size(), 3u);

    ASSERT_TRUE(book.ImportUpdate("torten"));
    EXPECT_EQ(book.id(), 6);
    ASSERT_TRUE(book.ImportUpdate("Suppen"));
    EXPECT_EQ(book.id(), 8);
    EXPECT_EQ(book.Description(), "Suppen");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_BUCH"), 4);
}

} // namespace
} // namespace pf
