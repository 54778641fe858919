#pragma once
// The planning tests' databases: the shipped base data (all of it, or only the files a fixture
// names) under an application context of their own; for menus, two recipes and two addresses.

#include "core/AppContext.h"
#include "db/Database.h"
#include "model/ClRecipe.h"
#include "planning/ClMenu.h"
#include "tests/support/BaseDataDb.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace pf::test {

class PlanningDb : public ::testing::Test
{
protected:
    explicit PlanningDb(std::vector<std::string> baseData = {}) : m_baseData(std::move(baseData)) {}
    void SetUp() override
    {
        app.IniFile = dir.File("pfannola.INI");
        app.UserStoreFile = dir.File("user.ini");
        app.WinUser = "koch";
        app.VersionText = "v2.00.126";
        db = MakeBaseDataDatabase(dir, "base.db", Foods::Without, m_baseData);
        ASSERT_TRUE(db);
        ClearRecipeCache();
    }
    void TearDown() override { ClearRecipeCache(); }

    long Count(const std::string& sql) { return static_cast<long>(db->Scalar(sql).AsLong()); }

    AppContext app;
    ScopedAppContext scope{app};
    TempDir dir;
    std::unique_ptr<Database> db;

private:
    std::vector<std::string> m_baseData;
};

// Categories and units only; the soup (11) for four and the roast (12) for six, Erna Müller (5)
// and Onkel Paul (6).
class MenuDb : public PlanningDb
{
protected:
    MenuDb() : PlanningDb({"10_categories.csv", "20_units.csv"}) {}
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(PlanningDb::SetUp());
        AddRecipe(11, "Kürbissuppe", 4);
        AddRecipe(12, "Rinderbraten", 6);
        db->Execute("INSERT INTO T_ADRESSE (ID,Name) VALUES (5,'Müller, Erna'),(6,'Onkel Paul')");
    }

    // A recipe yielding servings ("Portionen").
    void AddRecipe(long id, const std::string& title, long yield)
    {
        db->Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,RezYield,RezYieldEinh) VALUES (?,?,?,1)",
                    {Value(id), Value(title), Value(yield)});
    }
    ClMenu Menu()
    {
        ClMenu menu;
        menu.SetDB(db.get());
        return menu;
    }
    ClMenu Loaded(long id)
    {
        ClMenu menu = Menu();
        EXPECT_TRUE(menu.Loadr(id));
        return menu;
    }
};

} // namespace pf::test
