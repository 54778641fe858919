// What a recipe costs in a large database. Generates N recipes (default 100,000) of 15 ingredient
// lines, two categories, one cookbook and a paragraph of instructions, then measures: a full load
// by ID (head, instructions, lines, categories, cookbooks; cache bypassed), a save of a loaded
// recipe with a changed title and quantity, ScaleRecipe on a loaded recipe, SetNewID with and
// without gap filling, RezCount of a cookbook and UsageCount of a category. Prints the average
// time of each. Usage: bench_recipe [recipes]. Targets: load under 0.5 ms, save under 2 ms. With
// PF_BENCH_SERVER set to a server's connect text ("odbc:...") the generated file is copied into a new
// schema there (dropped at the end) and measured on the server; target: load under 2 ms.

#include "bench/BenchData.h"
#include "db/Database.h"
#include "model/ClCategory.h"
#include "model/ClRecipe.h"
#include "model/clBook.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

namespace {

using pf::bench::Clock;
using pf::bench::Millis;

void Generate(pf::Database& db, long recipes)
{
    pf::DbTransaction trans(db);
    pf::bench::CreateTablesWithReferenceRows(db);
    for (long b = 1; b <= 20; ++b)
        db.Execute("INSERT INTO T_BUCH (ID,BuchTitel,BuchBeschreib) VALUES (?,?,'x')",
                   {b, "Buch " + std::to_string(b)});
    const std::string instructions(600, 'z');
    std::mt19937 random(42);
    for (long id = 1; id <= recipes; ++id) {
        db.Execute(
            "INSERT INTO T_REZ_KOPF (ID,RezTitle,RezMenuCard,RezYield,RezYieldEinh,Fingerprint1,Fingerprint2,"
            "FlagDeleted,Template,RezHerkunft) VALUES (?,?,?,4,1,?,?,0,0,0)",
            {id, "Rezept " + std::to_string(id), "Rezept " + std::to_string(id), 24480675L + id,
             5L * 1048576L + id});
        for (long no = 1; no <= 15; ++no)
            db.Execute(
                "INSERT INTO T_REZ_ZUTAT (ID,No,ZutTrenner,ZutText,ZutAnz,ZutEinh,ZutVerarbeitung,ZutRezept,"
                "ZutBLSID) VALUES (?,?,0,'Zutat',?,?,'gehackt',0,0)",
                {id, no, pf::Decimal4::FromLong(static_cast<long>(random() % 500) + 1),
                 static_cast<long>(no % 5) + 1});
        const long cat = static_cast<long>(random() % 200) + 1;
        db.Execute("INSERT INTO T_REZ_CAT_NDX (ID,CatID,CatPrimary,No) VALUES (?,?,-1,1), (?,?,0,2)",
                   {id, cat, id, cat % 200 + 1});
        db.Execute("INSERT INTO T_REZ_KOCHBUCH (RezID,BuchID) VALUES (?,?)",
                   {id, static_cast<long>(id % 20) + 1});
        db.Execute("INSERT INTO T_REZ_ANWEIS (ID,NO,AnwText) VALUES (?,1,?)", {id, instructions});
    }
    trans.Commit();
}

double Average(int runs, const std::function<void(int)>& work)
{
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < runs; ++i)
        work(i);
    return Millis(start) / runs;
}

} // namespace

int main(int argc, char** argv)
{
    const long recipes = argc > 1 ? std::atol(argv[1]) : 100000;
    const pf::bench::BenchFolder folder("pf_bench_recipe");
    pf::SetRecipeCacheCapacity(0);
    auto file = folder.NewDatabase("bench.MDB");
    Clock::time_point start = Clock::now();
    Generate(*file, recipes);
    std::printf("Erzeugt: %ld Rezepte in %.1f s\n", recipes, Millis(start) / 1000);
    const pf::bench::ServerCopy server(*file, "bench_recipe");
    pf::Database* db = server.Db() ? server.Db() : file.get();
    std::printf("Datenbank: %s\n", server.Db() ? "Server" : "Datei");

    std::mt19937 random(7);
    auto randomId = [&] { return static_cast<long>(random() % static_cast<unsigned long>(recipes)) + 1; };

    const double load = Average(2000, [&](int) {
        pf::ClRecipe recipe;
        recipe.SetDB(db);
        recipe.SetNocache();
        if (!recipe.LoadByID(randomId(), 2) || recipe.IngredCount() != 15 || recipe.CatCount() != 2 ||
            recipe.BookCount() != 1) {
            std::fprintf(stderr, "Laden fehlgeschlagen: %s (%d Zeilen, %d Kategorien)\n",
                         recipe.LastErrorText().c_str(), recipe.IngredCount(), recipe.CatCount());
            std::abort();
        }
    });
    std::printf("Laden nach ID (vollständig): %.3f ms (Ziel < 0.5 ms)\n", load);

    pf::ClRecipe recipe;
    recipe.SetDB(db);
    recipe.SetNocache();
    const double save = Average(500, [&](int i) {
        if (!recipe.LoadByID(randomId(), 2))
            std::abort();
        recipe.SetTitle("Geändert " + std::to_string(i));
        recipe.Ingredient(3).SetMenge(pf::Decimal4::FromLong(i + 1));
        if (!recipe.Save())
            std::abort();
    });
    std::printf("Laden und Speichern (Titel und eine Zeile geändert): %.3f ms (Ziel Speichern < 2 ms)\n",
                save);

    recipe.LoadByID(randomId(), 2);
    const double scale = Average(2000, [&](int i) {
        pf::ClRecipe copy = recipe;
        copy.ScaleRecipe(i % 2 == 0 ? 6 : 3);
    });
    std::printf("ScaleRecipe (15 Zeilen, mit Kopie): %.4f ms\n", scale);

    db->Execute("DELETE FROM T_REZ_KOPF WHERE ID=?", {recipes - 10});
    const double newId = Average(200, [&](int) { recipe.SetGapFilling(false), recipe.SetNewID(0); });
    const double gapId = Average(200, [&](int) {
        recipe.SetGapFilling(true);
        if (recipe.SetNewID(0) != recipes - 10)
            std::abort();
    });
    std::printf("SetNewID: %.3f ms, mit Lückensuche: %.3f ms\n", newId, gapId);

    pf::clBook book;
    book.SetDB(db);
    const double rezCount = Average(100, [&](int i) { book.RezCount(i % 20 + 1); });
    pf::ClCategory category;
    category.SetDB(db);
    const double usage = Average(100, [&](int i) {
        category.LoadByID(i % 200 + 1);
        category.UsageCount();
    });
    std::printf("RezCount (Kochbuch): %.3f ms, UsageCount (Kategorie): %.3f ms\n", rezCount, usage);

    return 0;
}
