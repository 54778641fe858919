#pragma once
// A database built for the search tests: 300 generated recipes whose every property follows a
// simple rule of the recipe number (so each test can compute its expected hits on its own),
// plus a few named recipes for umlauts and accents. The rules live in GenRecipe.

#include "core/AppContext.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "model/ClRecipe.h"
#include "search/ClSearch.h"
#include "tests/support/Backends.h"
#include "tests/support/Each.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace pf::test {

constexpr long kGenerated = 300;
constexpr long kCatBase = 9000;     // categories 9000..9003: one per recipe, primary
constexpr long kCatExtra = 9010;    // a second category of every third recipe
constexpr long kCountryBase = 9100; // origins 9100..9102 for even recipes
constexpr long kBookEven = 1;       // cookbook of the even recipes
constexpr long kBookThird = 2;      // cookbook of every third recipe
constexpr long kSugarKey = 500;     // food key of the sugar line
constexpr long kTool = 7;
constexpr long kSource = 3, kPublisher = 20, kAuthor = 30;

// The generated recipe of a number, as the rules make it.
struct GenRecipe
{
    long id;
    std::string Title() const
    {
        static const char* adjectives[] = {"Schnelle", "Feine", "Herzhafte"};
        static const char* dishes[] = {"Suppe", "Torte", "Salat", "Auflauf", "Braten"};
        return std::string(adjectives[id % 3]) + " " + dishes[id % 5] + " " + std::to_string(id);
    }
    std::string MenuCard() const { return id % 11 == 0 ? "Festtagsessen " + std::to_string(id) : Title(); }
    std::string Instructions() const { return id % 4 == 0 ? "Mit Zimt bestreuen." : "Gut umrühren."; }
    long Category() const { return kCatBase + id % 4; }
    bool Extra() const { return id % 3 == 0; }
    long Origin() const { return id % 2 == 0 ? kCountryBase + id % 3 : 0; }
    long Language() const { return id % 3; }
    long YieldUnit() const { return 1 + id % 2; }
    bool Sugar() const { return id % 2 == 0; }  // line "Zucker" with food key 500
    bool Butter() const { return id % 5 == 0; } // line "Butter"
    bool InBookEven() const { return id % 2 == 0; }
    bool InBookThird() const { return id % 3 == 0; }
    long Parent() const { return id > 10 && id % 10 == 1 ? id - 10 : 0; }
    bool Picture() const { return id % 9 == 0; }
    bool Template() const { return id % 50 == 0; }
    bool Deleted() const { return id % 47 == 0; }
    bool Tool() const { return id % 6 == 0; }
    long Source() const { return id % 8 == 0 ? kSource : 0; }
    long Fp1() const { return (id * 37) % 301; }
    // Listed by the final step: neither a template nor in the trash.
    bool Listed() const { return !Template() && !Deleted(); }
};

inline void InsertRecipe(Database& db, long id, const std::string& title, const std::string& menuCard,
                         const std::string& instructions)
{
    db.Execute(
        "INSERT INTO T_REZ_KOPF (ID,RezTitle,RezMenuCard,RezYield,RezYieldEinh,RezSprache,Generic,"
        "RezQuelleID,Template,FlagDeleted,RezImportSource,RezParent,WPExclude,RezHerkunft,Fingerprint1,"
        "Fingerprint2) VALUES (?,?,?,4,1,0,0,0,0,0,1,0,0,0,0,0)",
        {id, title, menuCard});
    db.Execute("INSERT INTO T_REZ_ANWEIS (ID,NO,AnwText) VALUES (?,1,?)", {id, instructions});
}

class SearchDb : public ::testing::Test
{
protected:
    // The back end the database lives on; fixtures run on both set it before SetUp.
    Backend backend = Backend::File;

    void SetUp() override
    {
        app.IniFile = dir.File("pfannola.INI");
        app.UserStoreFile = dir.File("user.ini");
        app.WinUser = "koch";
        app.UI = &ui;
        db = test::NewSchemaDatabaseOn(backend, dir.File("search.db"));
        if (!db)
            GTEST_SKIP() << kNoServer;
        ClearRecipeCache();
        Fill();
    }

    void Fill()
    {
        DbTransaction transaction(*db);
        db->Execute("INSERT INTO T_BUCH (ID,BuchTitel) VALUES (1,'Gerade'),(2,'Dritte'),(-2,'Duplikate')");
        db->Execute("INSERT INTO T_CAT (ID,CatNameD,CatType,LaenderCode) VALUES (9000,'Vorspeise',1,0),"
                    "(9001,'Hauptgericht',1,0),(9002,'Dessert',1,0),(9003,'Gebäck',1,0),(9010,'Schnell',1,0),"
                    "(9100,'Italien',2,39),(9101,'Frankreich',2,33),(9102,'Ungarn',2,36)");
        db->Execute("INSERT INTO T_REZ_KOPFEINHEIT (ID,NameD) VALUES (1,'Portionen'),(2,'Stück')");
        db->Execute(
            "INSERT INTO T_LITERATUR (QuelleID,Title,AutorID,VerlagID) VALUES (3,'Kochen heute',30,20),"
            "(4,'Anderes Buch',31,21)");
        for (long id = 1; id <= kGenerated; ++id) {
            const GenRecipe r{id};
            db->Execute(
                "INSERT INTO T_REZ_KOPF (ID,RezTitle,RezMenuCard,RezYield,RezYieldEinh,RezSprache,Generic,"
                "RezQuelleID,Template,FlagDeleted,RezImportSource,RezImportDate,RezParent,WPExclude,"
                "RezHerkunft,Fingerprint1,Fingerprint2) VALUES (?,?,?,4,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                {id, r.Title(), r.MenuCard(), r.YieldUnit(), r.Language(), Value(id % 13 == 0), r.Source(),
                 Value(r.Template()), Value(r.Deleted()), id % 4 == 0 ? 2L : 1L,
                 Value(DateSerial::FromParts(2024, 3, id % 4 == 0 ? 5 : 6, 10, 30, 15)), r.Parent(),
                 id % 5 == 0 ? 45000L : 0L, r.Origin(), r.Fp1(), id});
            db->Execute("INSERT INTO T_REZ_ANWEIS (ID,NO,AnwText) VALUES (?,1,?)", {id, r.Instructions()});
            db->Execute("INSERT INTO T_REZ_CAT_NDX (ID,CatID,CatPrimary,No) VALUES (?,?,-1,1)",
                        {id, r.Category()});
            if (r.Extra())
                db->Execute("INSERT INTO T_REZ_CAT_NDX (ID,CatID,CatPrimary,No) VALUES (?,?,0,2)",
                            {id, kCatExtra});
            long no = 1;
            db->Execute(
                "INSERT INTO T_REZ_ZUTAT (ID,No,ZutText,ZutAnz,ZutEinh,ZutBLSID) VALUES (?,?,'Mehl',250,1,0)",
                {id, no++});
            if (r.Sugar())
                db->Execute("INSERT INTO T_REZ_ZUTAT (ID,No,ZutText,ZutAnz,ZutEinh,ZutBLSID) VALUES "
                            "(?,?,'Zucker',50,1,?)",
                            {id, no++, kSugarKey});
            if (r.Butter())
                db->Execute("INSERT INTO T_REZ_ZUTAT (ID,No,ZutText,ZutAnz,ZutEinh,ZutBLSID) VALUES "
                            "(?,?,'weiche Butter',20,1,0)",
                            {id, no++});
            if (r.InBookEven())
                db->Execute("INSERT INTO T_REZ_KOCHBUCH (RezID,BuchID) VALUES (?,?)", {id, kBookEven});
            if (r.InBookThird())
                db->Execute("INSERT INTO T_REZ_KOCHBUCH (RezID,BuchID) VALUES (?,?)", {id, kBookThird});
            if (r.Tool())
                db->Execute("INSERT INTO T_REZ_GERAET (RezID,GeraetID) VALUES (?,?)", {id, kTool});
            if (r.Picture())
                db->Execute("INSERT INTO T_BLOB (ID,IDReference,IDType,IDNum,Property) VALUES (?,?,5,1,0)",
                            {id, id});
            // A picture of another kind of owner with the same number must not count.
            if (id % 7 == 0)
                db->Execute("INSERT INTO T_BLOB (ID,IDReference,IDType,IDNum,Property) VALUES (?,?,9,1,0)",
                            {10000 + id, id});
        }
        InsertRecipe(*db, 1001, "Käse-Spätzle", "Käse-Spätzle", "Zwiebeln rösten.");
        InsertRecipe(*db, 1002, "Kaesekuchen", "Kaesekuchen", "Backen.");
        InsertRecipe(*db, 1003, "Crème brûlée", "Crème brûlée", "Flämmen.");
        InsertRecipe(*db, 1004, "Creme Caramel", "Creme Caramel", "Stürzen.");
        InsertRecipe(*db, 1005, "käse brot", "käse brot", "Belegen.");
        InsertRecipe(*db, 1006, "KÄSETORTE", "Sonntagstorte", "Kühlen.");
        InsertRecipe(*db, 1007, "Kasseler", "Kasseler", "Käse darüber reiben.");
        transaction.Commit();
    }

    // The generated recipes the rule selects, plus named ones, as a sorted ID list.
    static std::vector<long> Expect(const std::function<bool(const GenRecipe&)>& rule,
                                    std::vector<long> extra = {})
    {
        std::vector<long> ids;
        for (long id = 1; id <= kGenerated; ++id)
            if (rule(GenRecipe{id}))
                ids.push_back(id);
        ids.insert(ids.end(), extra.begin(), extra.end());
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    // A single number the query gives.
    long Count(const std::string& sql) { return static_cast<long>(db->Scalar(sql).AsLong()); }

    static std::vector<long> Sorted(std::vector<long> ids)
    {
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    // The hits of a search walked one by one. What a list shows as the search goes is the result,
    // from its first hits on (from the recipes the index names, when it names few).
    std::vector<long> Ids(const std::string& data, int sortMode = ClSearch::kSortTitle, long book = -1)
    {
        ClSearch search(db.get());
        std::vector<long> shown;
        search.SetHitSink([&](const std::vector<SearchHit>& batch) {
            for (const SearchHit& hit : batch)
                shown.push_back(hit.id);
        });
        long count = -1;
        const bool found = search.FindFirst(data, book, sortMode, count);
        EXPECT_EQ(found, count > 0);
        std::vector<long> ids;
        for (bool more = !search.Eof(); more; more = search.FindNext())
            ids.push_back(search.Current().id);
        EXPECT_EQ(static_cast<long>(ids.size()), count);
        EXPECT_EQ(shown, ids);
        return ids;
    }

    AppContext app;
    ScopedAppContext scope{app};
    ScriptedInteraction ui;
    TempDir dir;
    std::unique_ptr<Database> db;
};

// The search database on the back end the test's parameter names.
class SearchDbOnBackend : public SearchDb, public ::testing::WithParamInterface<Backend>
{
protected:
    void SetUp() override
    {
        backend = GetParam();
        SearchDb::SetUp();
    }
};

} // namespace pf::test
