#pragma once
// A database with the shipped units and nutrient descriptors and a handful of foods whose values
// are easy to add up by hand, for the matching and calculation tests.

#include "core/AppContext.h"
#include "db/Database.h"
#include "nutrition/NutrientTable.h"
#include "tests/support/BaseDataDb.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace pf::test {

struct FixtureFood
{
    long Id;
    const char* Code;
    const char* Name;
    const char* English;
    bool Main;
    long StdUnit;
    double StdGrams;
    long AltUnit;
    double AltGrams;
    double Portion; // GP
    double Kcal;    // GCAL per 100 g
    double Protein; // ZE, mg per 100 g
    double Fat;     // ZF, mg per 100 g, negative: no value
};

// Units of the shipped table: 1 Stück, 7 EL, 8 Tasse, 11 Dose, 31 g.
inline const FixtureFood kFixtureFoods[] = {
    {1, "G100000", "Zwiebel", "Onion", true, 1, 80, 0, 0, 80, 28, 1200, 200},
    {2, "G100400", "Zwiebel, getrocknet", "Onion, dried", false, 0, 0, 0, 0, 5, 340, 9000, 500},
    {3, "E100000", "Ei", "Egg", true, 1, 60, 0, 0, 60, 150, 12500, 11000},
    {4, "C100000", "Weizenmehl Type 405", "Wheat flour", true, 0, 0, 8, 125, 0, 350, 10000, 1000},
    {5, "G200000", "Möhre", "Carrot", true, 0, 0, 0, 0, 100, 40, 900, 200},
    {6, "G300000", "Tomate", "Tomato", true, 1, 70, 0, 0, 70, 20, 900, 200},
    {7, "G400100", "Paprika", "Sweet pepper, dried", false, 0, 0, 0, 0, 0, 300, 14000, 13000},
    {8, "Q100000", "Butter", "Butter", true, 7, 10, 0, 0, 10, 740, 700, 83000},
    {9, "M130000", "Milch", "Milk", true, 0, 0, 0, 0, 200, 64, 3300, 3500},
    {10, "W100000", "Wurst", "Sausage", true, 0, 0, 0, 0, 0, 300, 13000, 27000},
    {11, "G400000", "Paprika", "Sweet pepper", true, 1, 150, 0, 0, 150, 30, 1000, -1},
    {12, "G500000", "Champignon", "Mushroom", true, 0, 0, 0, 0, 0, 20, 3000, 300},
    {13, "M200000", "Sahne", "Cream", true, 0, 0, 0, 0, 0, 300, 2400, 30000},
    {14, "G600000", "Rahmspinat", "Creamed spinach", true, 0, 0, 0, 0, 0, 80, 3000, 5000},
};

inline void InsertFood(Database& db, const FixtureFood& f)
{
    db.Execute("INSERT INTO T_BLS_KEY (ID,SBLS,ST,STE,ProduktHauptFlag,ProduktStandardEinheit,"
               "ProduktStandardMenge,ProduktAlternativEinheit,ProduktAlternativMenge,Userflag) "
               "VALUES (?,?,?,?,?,?,?,?,?,0)",
               {f.Id, f.Code, f.Name, f.English, f.Main ? -1 : 0, f.StdUnit, Decimal4::FromDouble(f.StdGrams),
                f.AltUnit, Decimal4::FromDouble(f.AltGrams)});
    db.Execute("INSERT INTO T_BLS_DAT (SBLS,SKT,GP,GCAL,ZE,ZF) VALUES (?,?,?,?,?,?)",
               {f.Code, f.Name, Decimal4::FromDouble(f.Portion), f.Kcal, f.Protein,
                f.Fat < 0 ? Value() : Value(f.Fat)});
}

inline void InsertSynonym(Database& db, long foodId, const std::string& synonym)
{
    db.Execute("INSERT INTO T_INFO_KEY (ID,[KEY],KEYTYPE,Sprachcode) VALUES (?,?,3,0)", {foodId, synonym});
}

// The shown value of the nutrient with this key, "" when the table does not list it.
inline std::string Shown(const NutrientTable& table, const std::string& key)
{
    for (const NutrientLine& line : table.Lines())
        if (line.Key == key)
            return FormatGrouped(table.Shown(line), 3);
    return {};
}

// A test with its own folder, database, scripted person and application context.
class NutritionTest : public ::testing::Test
{
protected:
    NutritionTest() { m_app.UI = &m_ui; }

    TempDir m_dir;
    std::unique_ptr<Database> m_db;
    ScriptedInteraction m_ui;
    AppContext m_app;
    ScopedAppContext m_scope{m_app};
};

class FoodFixture : public NutritionTest
{
protected:
    void SetUp() override
    {
        m_db = MakeBaseDataDatabase(m_dir);
        ASSERT_TRUE(m_db);
        // Only the fixture's foods, whatever the shipped base data holds.
        m_db->Execute("DELETE FROM T_BLS_KEY");
        m_db->Execute("DELETE FROM T_BLS_DAT");
        m_db->Execute("DELETE FROM T_INFO_KEY WHERE KEYTYPE=3");
        for (const FixtureFood& f : kFixtureFoods)
            InsertFood(*m_db, f);
        for (const char* synonym : {"Karotte", "Mohrrübe", "Gelbe Rübe"})
            InsertSynonym(*m_db, 5, synonym);
        InsertSynonym(*m_db, 13, "Rahm");
        InsertSynonym(*m_db, 13, "Schlagobers");
    }

    // A recipe of lines (quantity, unit ID, text, food ID), stored as the import would store it.
    struct Line
    {
        double Quantity;
        long Unit;
        const char* Text;
        long Food;
    };
    long AddRecipe(long id, const std::string& title, long yield, std::initializer_list<Line> lines)
    {
        m_db->Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,RezYield) VALUES (?,?,?)", {id, title, yield});
        long no = 0;
        for (const Line& l : lines)
            m_db->Execute(
                "INSERT INTO T_REZ_ZUTAT (ID,[No],ZutTrenner,ZutText,ZutAnz,ZutEinh,ZutRezept,ZutBLSID) "
                "VALUES (?,?,0,?,?,?,0,?)",
                {id, ++no, l.Text, Decimal4::FromDouble(l.Quantity), l.Unit,
                 l.Food == 0 ? Value() : Value(l.Food)});
        return id;
    }
};

} // namespace pf::test
