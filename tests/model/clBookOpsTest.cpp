#include "model/clBook.h"

#include "core/AppContext.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "tests/support/NewDatabase.h"
#include "tests/support/RawSql.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace pf {
namespace {

class BookOps : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app.UI = &ui;
        db = test::NewSchemaDatabase(dir.File("books.db"));
        book.SetDB(db.get());
        AddBook(5, "Kuchen");
        AddBook(6, "Torten");
        AddBook(7, "Brot");
    }
    void AddBook(long id, const char* title)
    {
        db->Execute("INSERT INTO T_BUCH (ID,BuchTitel,BuchBeschreib) VALUES (?,?,?)",
                    {id, title, "Sammlung"});
    }
    void AddRecipe(long id, std::initializer_list<long> books)
    {
        db->Execute("INSERT INTO T_REZ_KOPF (ID,FlagDeleted,Template) VALUES (?,0,0)", {id});
        for (long bookId : books)
            db->Execute("INSERT INTO T_REZ_KOCHBUCH (RezID,BuchID) VALUES (?,?)", {id, bookId});
    }
    long Scalar(const std::string& sql) { return static_cast<long>(db->Scalar(sql).AsLong()); }
    // A statement of SQLite's own dialect, past the program's translation (a failing trigger).
    void RunDirectly(const char* sql) { test::ExecuteRawSql(dir.File("books.db"), sql); }
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

    test::ScriptedInteraction ui;
    AppContext app;
    ScopedAppContext scope{app};
    test::TempDir dir;
    std::unique_ptr<Database> db;
    clBook book;
};

TEST_F(BookOps, DeleteWithDiscardTrashesOnlyRecipesInNoOtherCookbook)
{
    AddRecipe(1, {5});
    AddRecipe(2, {5, 6});
    AddRecipe(3, {5, -2});
    AddRecipe(4, {6});
    AddRecipe(8, {5, 5}); // a doubled membership row is still one recipe
    ASSERT_TRUE(book.LoadByID(5));
    EXPECT_EQ(book.Delete(true), 2);
    EXPECT_EQ(Trashed(), "1,8");
    EXPECT_EQ(Members(5), "");
    EXPECT_EQ(Members(6), "2,4");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_BUCH WHERE ID=5"), 0);
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
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_REZ_KOPF WHERE FlagDeleted<>0"), 1203);
}

TEST_F(BookOps, AFailureInTheMiddleLeavesAllTablesAsTheyWere)
{
    AddRecipe(1, {5});
    AddRecipe(2, {5, 6});
    // The trash step has run when the membership rows are removed; the failure comes last.
    RunDirectly(
        "CREATE TRIGGER fail BEFORE DELETE ON T_REZ_KOCHBUCH BEGIN SELECT RAISE(ABORT, 'kaputt'); END");
    ASSERT_TRUE(book.LoadByID(5));
    EXPECT_EQ(book.Delete(true), -1);
    EXPECT_NE(book.LastError(), 0);
    EXPECT_EQ(Trashed(), "");
    EXPECT_EQ(Members(5), "1,2");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_BUCH WHERE ID=5"), 1);
}

TEST_F(BookOps, ReservedBooksCannotBeDeletedOrTargeted)
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
}

TEST_F(BookOps, CopyAddsOnlyMissingMembersAndMoveEmptiesTheSource)
{
    AddRecipe(1, {5});
    AddRecipe(2, {5, 6});
    AddRecipe(3, {5});
    AddRecipe(4, {6});
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

TEST_F(BookOps, DuplicatesCanBeMovedIntoARealCookbook)
{
    AddRecipe(1, {-2});
    ASSERT_TRUE(book.LoadByID(clBook::kDuplicates));
    EXPECT_EQ(book.Move(7), 1);
    EXPECT_EQ(Members(7), "1");
    EXPECT_EQ(Members(-2), "");
}

TEST_F(BookOps, ScreenQuestionsProgressAndResults)
{
    AddRecipe(1, {5});
    AddRecipe(2, {5, 6});
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
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T_BUCH"), 4);
}

} // namespace
} // namespace pf
