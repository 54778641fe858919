// What a shopping list costs: 50 recipes of 15 lines (one a separator) from a database of 1,000,
// each scaled, added to a new list, then the complete view merged and sorted in each order, and
// the unmerged lines sorted by food group (the exchange sort's worst case). Prints the time of the
// whole build and sort. Usage: bench_shopping [recipes on the list]. Target: under 200 ms for 50.

#include "bench/BenchData.h"
#include "db/Database.h"
#include "model/ClRecipe.h"
#include "planning/ClShoppingList.h"
#include "planning/ShoppingView.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    const long onList = argc > 1 ? std::atol(argv[1]) : 50;
    const pf::bench::BenchFolder folder("pf_bench_shopping");
    pf::SetRecipeCacheCapacity(0);
    auto db = folder.NewDatabase("bench.MDB");
    pf::bench::GenerateRecipes(*db, 1000);
    db->Execute("UPDATE T_REZ_ZUTAT SET ZutBLSID=(ID*7+No) % 90 + 1");
    for (long key = 1; key <= 90; ++key)
        db->Execute("INSERT INTO T_BLS_KEY (ID,SBLS,ST) VALUES (?,?,?)",
                    {key, std::string(1, static_cast<char>('A' + key % 20)) + std::to_string(100000 + key),
                     "Lebensmittel " + std::to_string(key)});

    double worst = 0;
    double total = 0;
    const int runs = 20;
    std::size_t lines = 0;
    std::size_t shown = 0;
    for (int run = 0; run < runs; ++run) {
        const pf::bench::Clock::time_point start = pf::bench::Clock::now();
        pf::ClShoppingList list;
        list.SetDB(db.get());
        for (long i = 0; i < onList; ++i)
            list.RecipeAdd(1 + (i * 19 + run) % 1000, 6);
        for (pf::ShoppingSort sort : {pf::ShoppingSort::Recipe, pf::ShoppingSort::Alpha,
                                      pf::ShoppingSort::Group, pf::ShoppingSort::Shop}) {
            pf::ShoppingViewOptions options;
            options.Sort = sort;
            options.StoreLocations = "KJIHGFEDCBA";
            shown = pf::BuildShoppingView(list, options).size();
        }
        pf::ShoppingViewOptions unmerged;
        unmerged.Merge = false;
        unmerged.Sort = pf::ShoppingSort::Group;
        lines = pf::BuildShoppingView(list, unmerged).size();
        const double ms = pf::bench::Millis(start);
        worst = std::max(worst, ms);
        total += ms;
    }
    std::printf("Einkaufsliste aus %ld Rezepten (%zu Zeilen, %zu zusammengefasst), aufgebaut und viermal "
                "sortiert: %.1f ms im Mittel, %.1f ms höchstens (Ziel < 200 ms)\n",
                onList, lines, shown, total / runs, worst);
    return 0;
}
