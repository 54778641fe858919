#include "db/ClsUser.h"

#include "core/AppContext.h"
#include "db/Recordset.h"
#include "tests/support/NewDatabase.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace pf {
namespace {

using test::TempDir;

class ClsUserTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_db = test::NewSchemaDatabase(m_dir.File("users.db"), {*FindSchemaTable("T_USER")});
    }
    // Adds a user through the class as the user manager does and returns nothing; the rows are
    // read again by the next ClsUser.
    void Add(const std::string& name, const std::string& password, long flags)
    {
        ClsUser users(*m_db);
        const int index = users.NewUser(name);
        users.SetUserPassword(index, password);
        users.SetUserflag(index, flags);
        ASSERT_TRUE(users.Save(index)) << users.LastErrorText();
    }
    long Rows() { return static_cast<long>(m_db->Scalar("SELECT COUNT(*) FROM T_USER").AsLong()); }

    TempDir m_dir;
    std::unique_ptr<Database> m_db;
    AppContext m_context;
    ScopedAppContext m_installed{m_context};
};

TEST(ClsUserScramble, CodesXorNameXorPositionOverTheLongerText)
{
    // Empty password = one blank, repeated to the name's length: ' '^'A'^1, ' '^'n'^2, ' '^'n'^3, ' '^'a'^4.
    EXPECT_EQ(ScramblePassword("Anna", ""), "`LME");
    EXPECT_EQ(ScramblePassword("Anna", " "), "`LME");
    // The name repeats under a longer password: 'x'^'A'^1, 'y'^'b'^2, 'z'^'A'^3.
    EXPECT_EQ(ScramblePassword("Ab", "xyz"), std::string("\x38\x19\x38"));
    // Characters count by their Windows-1252 code: 'ä' is 0xE4, 0xE4^'B'^1 = 0xA7 = '§'.
    EXPECT_EQ(ScramblePassword("B", "ä"), "§");
    // The scramble depends on the name as stored.
    EXPECT_NE(ScramblePassword("anna", "x"), ScramblePassword("Anna", "x"));
}

TEST_F(ClsUserTest, LoginFindsNameInAnyCaseAndComparesPasswordExactly)
{
    Add("Anna", "", kRightAdmin);
    Add("Bernd", "Käsespätzle", kRightPrint);
    const struct
    {
        const char* name;
        const char* password;
        int index;
    } cases[] = {
        {"Anna", "", 1},              {"  anna ", "", 1},           {"ANNA", " ", 1},
        {"Anna", "x", 0},             {"bernd", "Käsespätzle", 2},  {"Bernd", "käsespätzle", 0},
        {"Bernd", "Käsespätzle ", 0}, {"Carla", "", 0},             {"", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + "/" + c.password);
        ClsUser users(*m_db);
        EXPECT_TRUE(users.AreUsersEnabled());
        EXPECT_EQ(users.Login(c.name, c.password), c.index);
        EXPECT_EQ(users.LoggedInIndex(), c.index);
        EXPECT_EQ(users.PfannolaUser(), c.index == 1 ? "Anna" : c.index == 2 ? "Bernd" : "");
    }
}

TEST_F(ClsUserTest, LoginGoesOnToTheNextUserOfTheSameName)
{
    // Two rows of one name can only come from outside the program; both passwords work.
    m_db->Execute(
        "INSERT INTO T_USER (ID, Username, Pwd, Flags) VALUES (1, 'Bernd', ?, 32), (2, 'BERND', ?, 64)",
        {Value(ScramblePassword("Bernd", "eins")), Value(ScramblePassword("BERND", "zwei"))});
    ClsUser users(*m_db);
    EXPECT_EQ(users.Login("bernd", "zwei"), 2);
    EXPECT_EQ(users.PfannolaUserFlag(), 64);
    EXPECT_EQ(users.Login("bernd", "eins"), 1);
}

TEST_F(ClsUserTest, UserCheckTestsOneBitBetweenOneAndThirtyOne)
{
    Add("Anna", "a", kRightAdmin | kRightCookbooks | kRightEdit | static_cast<long>(0x80000000u));
    ClsUser users(*m_db);
    EXPECT_FALSE(users.PfannolaUserCheck(2)); // nobody logged in
    EXPECT_EQ(users.PfannolaUserFlag(), 0);
    ASSERT_EQ(users.Login("anna", "a"), 1);
    const std::pair<int, bool> cases[] = {{0, false}, {1, false}, {2, true},   {6, true},
                                          {7, false}, {31, true}, {32, false}, {-1, false}};
    for (const auto& [bit, expected] : cases)
        EXPECT_EQ(users.PfannolaUserCheck(bit), expected) << bit;
}

TEST_F(ClsUserTest, SaveRefusesATakenNameInAnyCaseAndKeepsTheTable)
{
    {
        // Nobody could manage the users after a first user without the administrator right.
        ClsUser users(*m_db);
        users.SetUserflag(users.NewUser("Gast"), kRightPrint);
        EXPECT_FALSE(users.Save(1));
        EXPECT_EQ(users.LastErrorText(), "Mindestens ein Benutzer muss Systemverwalter sein.");
    }
    Add("anna", "", kRightAdmin);
    ClsUser users(*m_db);
    for (const char* name : {"Anna", " ANNA ", "aNnA"}) {
        const int index = users.NewUser(name);
        EXPECT_FALSE(users.Save(index)) << name;
        EXPECT_EQ(users.LastErrorText(),
                  "Dieser Benutzername ist bereits in Verwendung. Der Benutzername muss eindeutig sein!");
        users.DeleteUser(index);
    }
    const int blank = users.NewUser("   ");
    EXPECT_FALSE(users.Save(blank));
    users.DeleteUser(blank);
    EXPECT_EQ(Rows(), 1);

    // Renaming the stored user onto itself in another case is no clash.
    users.SetUsername(1, "Anna");
    EXPECT_TRUE(users.Save(1));
    const int next = users.NewUser("Bernd");
    ASSERT_TRUE(users.Save(next));
    EXPECT_EQ(users.UserID(next), 2);
    EXPECT_EQ(m_db->Scalar("SELECT Username FROM T_USER WHERE ID=1").AsText(), "Anna");
}

TEST_F(ClsUserTest, LastAdministratorCannotBeDeleted)
{
    Add("Anna", "", kRightAdmin);
    Add("Bernd", "", kRightPrint);
    ClsUser users(*m_db);
    EXPECT_TRUE(users.IsLastAdministrator(1));
    EXPECT_FALSE(users.DeleteUser(1));
    EXPECT_EQ(users.LastErrorText(),
              "Dies ist der letzte Benutzer mit Supervisor-Rechten. Er kann nicht gelöscht werden");
    EXPECT_EQ(Rows(), 2);

    users.SetUserflag(2, kRightAdmin | kRightPrint);
    ASSERT_TRUE(users.Save(2));
    EXPECT_FALSE(users.IsLastAdministrator(1));
    EXPECT_TRUE(users.DeleteUser(1));
    EXPECT_EQ(users.Username(1), "Bernd");
    EXPECT_EQ(Rows(), 1);
    EXPECT_TRUE(users.IsLastAdministrator(1));
}

TEST_F(ClsUserTest, OwnPasswordChangeIsStored)
{
    Add("Anna", "alt", kRightAdmin | kRightPassword);
    {
        ClsUser users(*m_db);
        EXPECT_FALSE(users.PfannolaUserPassword("neu")); // nobody logged in
        ASSERT_EQ(users.Login("Anna", "alt"), 1);
        ASSERT_TRUE(users.PfannolaUserPassword("Grüße"));
    }
    ClsUser users(*m_db);
    EXPECT_EQ(users.Login("Anna", "alt"), 0);
    EXPECT_EQ(users.Login("Anna", "Grüße"), 1);
}

TEST_F(ClsUserTest, DamagedRowsNeverStopTheAdministrator)
{
    m_db->Execute(
        "INSERT INTO T_USER (ID, Username, [Desc], Pwd, Flags) VALUES "
        "(1, 'Gast', NULL, NULL, NULL), (2, NULL, NULL, 'x', 'kaputt'), (3, 'Riesig', '', '', 1e20), "
        "(4, 'Chef', 'Küche', ?, 1), (5, 'Anna', NULL, ?, NULL)",
        {Value(ScramblePassword("Chef", "geheim")), Value(ScramblePassword("Anna", "a"))});
    ClsUser users(*m_db);
    ASSERT_EQ(users.UserCount(), 5);
    EXPECT_EQ(users.Userflag(2), 0);
    EXPECT_EQ(users.Userflag(3), 0);
    EXPECT_EQ(users.Login("chef", "geheim"), 4);
    EXPECT_TRUE(UserMayUse(users.Current(), kRightWeekPlan | kRightAdmin));
    // A row without password cannot be logged in to, whatever is typed.
    EXPECT_EQ(users.Login("Gast", ""), 0);

    // The AdminUser setting names a user who is administrator whatever the row's Flags say.
    EXPECT_EQ(users.Login("anna", "a"), 5);
    EXPECT_FALSE(UserMayUse(users.Current(), kRightEdit));
    m_context.AdminUser = "ANNA";
    EXPECT_EQ(users.PfannolaUserFlag(), kRightAdmin);
    EXPECT_TRUE(UserMayUse(users.Current(), kRightEdit));
}

TEST_F(ClsUserTest, NoUsersAllowsEverything)
{
    ClsUser users(*m_db);
    EXPECT_FALSE(users.AreUsersEnabled());
    for (long right : {kRightAdmin, kRightEdit, kRightsWeekPlanEditor})
        EXPECT_TRUE(UserMayUse(users.Current(), right));
    // A database without the table reads as one without users.
    m_db->Execute("DROP TABLE T_USER");
    EXPECT_FALSE(ClsUser(*m_db).AreUsersEnabled());
}

} // namespace
} // namespace pf
