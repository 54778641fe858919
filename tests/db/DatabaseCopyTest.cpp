#include "db/DatabaseCopy.h"
#include "db/Recordset.h"
#include "tests/support/NewDatabase.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pf {
namespace {

std::unique_ptr<Database> MakeNotes(const std::string& path, int rows)
{
    auto db = test::NewDatabase(path);
    db->CreateTable({"T_NOTIZ", {{"ID", FieldType::Long}, {"Titel", FieldType::Text, 50}}, {}});
    DbTransaction t(*db);
    for (int i = 1; i <= rows; ++i)
        db->Execute("INSERT INTO T_NOTIZ (ID, Titel) VALUES (?, ?)",
                    {Value(i), Value("Käse " + std::to_string(i))});
    t.Commit();
    return db;
}

TEST(DatabaseCopy, OpenDatabaseCopiesItsCommittedStateOnly)
{
    test::TempDir dir;
    auto db = MakeNotes(dir.File("a.mdb"), 300);
    db->BeginTrans();
    db->Execute("DELETE * FROM T_NOTIZ");
    CopyDatabase(*db, dir.File("a.BAK"));
    db->Rollback();
    EXPECT_FALSE(std::filesystem::exists(dir.File("a.BAK-wal")));

    auto copy = Database::OpenSqlite(dir.File("a.BAK"));
    EXPECT_EQ(copy->Scalar("SELECT COUNT(*) FROM T_NOTIZ WHERE Titel = \"KÄSE 7\"").AsLong(), 1);
    EXPECT_EQ(copy->Scalar("SELECT COUNT(*) FROM T_NOTIZ").AsLong(), 300);
}

TEST(DatabaseCopy, FailedCopyLeavesAnExistingTargetAloneAndNamesTheFile)
{
    test::TempDir dir;
    test::WriteFile(dir.File("alt.BAK"), "alte Sicherung");
    test::WriteFile(dir.File("keine.mdb"), "keine Datenbank");
    MakeNotes(dir.File("a.mdb"), 3);
    struct Case
    {
        std::string From, To, Named;
    };
    // A path below a regular file cannot be created by anyone, root included.
    const Case cases[] = {{"keine.mdb", "alt.BAK", ""},
                          {"fehlt.mdb", "x.BAK", "'" + dir.File("fehlt.mdb") + "'"},
                          {"a.mdb", "keine.mdb/x.BAK", "'" + dir.File("keine.mdb/x.BAK.$$$") + "'"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.From + " -> " + c.To);
        try {
            CopyDatabaseFile(dir.File(c.From), dir.File(c.To));
            ADD_FAILURE() << "copied";
        } catch (const DbError& error) {
            EXPECT_NE(error.Description().find(c.Named), std::string::npos) << error.Description();
        }
    }
    EXPECT_EQ(test::ReadFile(dir.File("alt.BAK")), "alte Sicherung");
}

} // namespace
} // namespace pf
