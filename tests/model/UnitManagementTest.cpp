#include "model/UnitManagement.h"

#include "core/AppContext.h"
#include "core/Utf8.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "model/clsRecipeUnit.h"
#include "tests/support/NewDatabase.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace pf {
namespace {

class YieldUnitRules : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app.UI = &ui;
        db = test::NewSchemaDatabase(dir.File("units.db"));
    }
    void Load(std::initializer_list<const char*> names)
    {
        long id = 1;
        for (const char* name : names) {
            db->Execute("INSERT INTO T_REZ_KOPFEINHEIT (ID,NameD) VALUES (?,?)", {id, name});
            db->Execute("INSERT INTO T_REZ_KOPF (ID,RezYieldEinh) VALUES (?,?)", {id, id});
            ++id;
        }
        ASSERT_TRUE(units.Init(*db));
    }
    long Rows() { return static_cast<long>(db->Scalar("SELECT COUNT(*) FROM T_REZ_KOPFEINHEIT").AsLong()); }

    AppContext app;
    ScopedAppContext scope{app};
    test::ScriptedInteraction ui;
    test::TempDir dir;
    std::unique_ptr<Database> db;
    clsRecipeUnit units;
};

TEST_F(YieldUnitRules, DuplicatesAreFoundIgnoringCaseAndGoToTheFirst)
{
    Load({"Stück", "stück", "Laib", "STÜCK", "Brot", "brot"});
    const auto duplicates = FindDuplicateRecipeUnits(units);
    ASSERT_EQ(duplicates.size(), 3u);
    for (const auto& [duplicate, first] : duplicates) {
        SCOPED_TRACE(units.UnitNameD(duplicate));
        EXPECT_LT(first, duplicate);
        EXPECT_EQ(ToUpper(units.UnitNameD(first)), ToUpper(units.UnitNameD(duplicate)));
        // The first of a group is never itself a duplicate.
        for (const auto& other : duplicates)
            EXPECT_NE(other.first, first);
    }

    // An entry already marked for deletion takes no part.
    units.Deleteentry(duplicates[0].first, 0);
    EXPECT_EQ(FindDuplicateRecipeUnits(units).size(), 2u);
}

TEST_F(YieldUnitRules, DeclinedMergeAndDuplicateRemovalChangeNothing)
{
    Load({"Portionen", "portionen", "Stück"});
    ui.Answering(Answer::No).Answering(Answer::No);
    EXPECT_FALSE(MergeRecipeUnit(units, 3, 1));
    EXPECT_EQ(RemoveDuplicateRecipeUnits(units), -1);
    EXPECT_EQ(Rows(), 3);
    EXPECT_EQ(units.Count(), 3);
    EXPECT_FALSE(units.IsDeleted(3));
    // No question at all for a merge into itself or outside the list.
    EXPECT_FALSE(MergeRecipeUnit(units, 2, 2));
    EXPECT_FALSE(MergeRecipeUnit(units, 2, 9));
    EXPECT_EQ(ui.shown.size(), 2u);
}

TEST_F(YieldUnitRules, FailedMergeIsReportedAndLeavesTheRecipes)
{
    Load({"Portionen", "Stück"});
    db->Execute("DROP TABLE T_REZ_KOPFEINHEIT");
    ui.Answering(Answer::Yes);
    EXPECT_FALSE(MergeRecipeUnit(units, 2, 1));
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].Icon, MsgIcon::Critical);
    EXPECT_EQ(db->Scalar("SELECT RezYieldEinh FROM T_REZ_KOPF WHERE ID=2").AsLong(), 2);
}

} // namespace
} // namespace pf
