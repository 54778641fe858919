// What filling a weekly plan costs: a database of 100,000 recipes over 200 categories (two each),
// five levels linked to five categories with repeat intervals of one to four weeks, and recipes
// served on random days of the last two months. A new plan of seven days is filled by the repeat
// rules, ten times, each time on a fresh plan. Prints the time of one filling.
// Usage: bench_weekplan [recipes]. Target: under 1 s for 100,000 recipes and 5 levels.

#include "bench/BenchData.h"
#include "db/Database.h"
#include "planning/ClMenu.h"
#include "planning/WeekCalendar.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>

int main(int argc, char** argv)
{
    const long recipes = argc > 1 ? std::atol(argv[1]) : 100000;
    const pf::bench::BenchFolder folder("pf_bench_weekplan");
    auto db = folder.NewDatabase("bench.MDB");
    const long monday = pf::DayOf(pf::DateSerial::FromParts(2026, 12, 7));
    {
        // Only what a filling reads: the recipe heads with their exclusion and the categories.
        pf::DbTransaction trans(*db);
        pf::CreateTables(*db, pf::SchemaTables());
        for (long c = 1; c <= 200; ++c)
            db->Execute(
                "INSERT INTO T_CAT (ID,CatNameD,CatType,ErfassungsFlag,CatWPLevel,CatWPRepeat) "
                "VALUES (?,?,1,-1,?,?)",
                {c, "Kategorie " + std::to_string(c), c <= 5 ? c : 0L, c <= 5 ? (c - 1) % 4 + 1 : 0L});
        const char* names[] = {"Tagessuppe", "Tagesteller 1", "Tagesteller 2", "Vegetarisch", "Tagesdessert"};
        for (long level = 1; level <= 5; ++level)
            db->Execute(
                "INSERT INTO T_WPLevel (ID,WPOrder,WPName,WPCost,WPPrint,WPRepeat) VALUES (?,?,?,?,-1,0)",
                {level, level, names[level - 1], pf::Decimal4::FromLong(level + 1)});
        std::mt19937 random(42);
        for (long id = 1; id <= recipes; ++id) {
            const long served = random() % 2 == 0 ? monday - 1 - static_cast<long>(random() % 60) : 0;
            db->Execute(
                "INSERT INTO T_REZ_KOPF (ID,RezTitle,RezYield,RezYieldEinh,FlagDeleted,Template,RezParent,"
                "WPExclude) VALUES (?,?,4,1,0,0,0,?)",
                {id, "Gericht Nr. " + std::to_string(id), served});
            const long cat = static_cast<long>(random() % 200) + 1;
            db->Execute("INSERT INTO T_REZ_CAT_NDX (ID,CatID,CatPrimary,No) VALUES (?,?,-1,1), (?,?,0,2)",
                        {id, cat, id, cat % 200 + 1});
        }
        trans.Commit();
    }

    double worst = 0;
    double total = 0;
    const int runs = 10;
    int placed = 0;
    for (int run = 0; run < runs; ++run) {
        const pf::bench::Clock::time_point start = pf::bench::Clock::now();
        pf::ClMenu plan;
        plan.SetDB(db.get());
        plan.CreateNewWP(pf::DateSerial{static_cast<double>(monday + 7 * run)}, 7);
        placed = plan.WPFill();
        const double ms = pf::bench::Millis(start);
        worst = std::max(worst, ms);
        total += ms;
    }
    std::printf(
        "Wochenplan mit 5 Ebenen und 7 Tagen aus %ld Rezepten gefüllt (%d Gerichte): %.1f ms im Mittel, "
        "%.1f ms höchstens (Ziel < 1000 ms)\n",
        recipes, placed, total / runs, worst);
    return placed == 35 ? 0 : 1;
}
