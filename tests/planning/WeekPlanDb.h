#pragma once
// The weekly-plan tests' database: the program's tables, recipes filed in the categories whose
// level and repeat interval a plan reads, and the day up to which a recipe is left out of plans.

#include "planning/WeekCalendar.h"
#include "tests/lexicon/LexiconTestDb.h"

namespace pf::test {

// A recipe for four in one category (0: none), with its parent and the day up to which plans leave
// it out.
inline void AddPlanRecipe(Database& db, long id, const std::string& title, long category, long exclude = 0,
                          long parent = 0, bool deleted = false)
{
    db.Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,RezYield,Template,FlagDeleted,RezParent,WPExclude) "
               "VALUES (?,?,4,0,?,?,?)",
               {id, title, deleted ? -1 : 0, parent, exclude});
    if (category != 0)
        db.Execute("INSERT INTO T_REZ_CAT_NDX (ID,CatID,CatPrimary,[No]) VALUES (?,?,-1,1)", {id, category});
}

// Three levels (soup at 2,50, main course at 6,90, dessert at 1,80), each with its category (50 to
// 52; main courses come back after two weeks, the others after one) holding perCategory recipes
// "Gericht 50-1" and so on, numbered from 1.
inline void AddPlanLevels(Database& db, int perCategory, bool printDessert)
{
    db.Execute("INSERT INTO T_WPLevel (ID,WPOrder,WPName,WPCost,WPPrint,WPRepeat) VALUES "
               "(1,1,'Suppe',2.5,-1,0),(2,2,'Hauptgang',6.9,-1,0),(3,3,'Dessert',1.8,?,0)",
               {printDessert ? -1 : 0});
    db.Execute("INSERT INTO T_CAT (ID,CatNameD,CatType,CatParent,LaenderCode,ErfassungsFlag,CatWPLevel,"
               "CatWPRepeat) VALUES (50,'Suppen',1,0,0,-1,1,1),(51,'Hauptgerichte',1,0,0,-1,2,2),"
               "(52,'Nachspeisen',1,0,0,-1,3,1)");
    long id = 0;
    for (long category : {50, 51, 52})
        for (int n = 1; n <= perCategory; ++n)
            AddPlanRecipe(db, ++id, "Gericht " + std::to_string(category) + "-" + std::to_string(n), category);
}

class WeekPlanDb : public LexiconDb
{
protected:
    void Recipe(long id, const std::string& title, long category, long exclude = 0, long parent = 0,
                bool deleted = false)
    {
        AddPlanRecipe(*db, id, title, category, exclude, parent, deleted);
    }
    long Exclude(long recipe) { return Count("SELECT WPExclude FROM T_REZ_KOPF WHERE ID=" + std::to_string(recipe)); }

    const long monday = DayOf(DateSerial::FromParts(2026, 12, 7)); // Monday, 7 December 2026
};

} // namespace pf::test
