#include "search/ClSearch.h"
#include "search/AddressSearch.h"

#include "model/ClFingerprint.h"
#include "tests/search/SearchTestDb.h"

#include <numeric>

namespace pf::test {
namespace {

class ClSearchTest : public SearchDbOnBackend
{
protected:
    std::vector<long> Found(const std::string& data) { return Sorted(Ids(data)); }
};

// Words and their options against the rules of title, menu-card title and instructions.
TEST_P(ClSearchTest, EachCriterionAloneFindsWhatItsRuleSays)
{
    const auto contains = [](const std::string& text, const std::string& word) {
        std::string lower = text;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return lower.find(word) != std::string::npos;
    };
    // A search finds the listed recipes (neither a template nor in the trash) its rule selects, and
    // the named recipes given.
    struct Case
    {
        std::vector<const char*> searches;
        std::function<bool(const GenRecipe&)> rule;
        std::vector<long> extra = {};
    };
    const std::vector<long> named = {1001, 1002, 1003, 1004, 1005, 1006, 1007};
    const Case cases[] = {
        {{"1,\"suppe\""}, [&](auto& r) { return contains(r.Title(), "suppe"); }},
        {{"1,\"festtag\""}, [](auto& r) { return r.id % 11 == 0; }},
        {{"1,\"feine\",1001"}, [](auto& r) { return r.id % 3 == 1; }},
        {{"1,\"salat\",1002"}, [&](auto& r) { return !contains(r.Title(), "salat"); }, named},
        {{"1,\"suppe torte\",1003"}, [](auto& r) { return r.id % 5 == 0 || r.id % 5 == 1; }, {1006}},
        {{"1,\"suppe torte\"", "1,\"#12 suppe\"", "2,9010,2002,1", "8002,31"}, [](auto&) { return false; }},
        {{"1,\"zimt\",1004"}, [](auto& r) { return r.id % 4 == 0; }},
        {{"1,\"#12\""}, [](auto& r) { return r.id == 12; }},
        {{"1,\"#12 #15\",1003"}, [](auto& r) { return r.id == 12 || r.id == 15; }},
        {{"2,9001"}, [](auto& r) { return r.Category() == 9001; }},
        // A missing 2001 means all categories must apply.
        {{"2,9001,2001,1,2003,0,2,9010", "2,9001,2,9010"},
         [](auto& r) { return r.Category() == 9001 && r.Extra(); }},
        {{"2,9001,2,9010,2001,0"}, [](auto& r) { return r.Category() == 9001 || r.Extra(); }},
        {{"2,9002,2002,1"}, [](auto& r) { return r.Category() == 9002; }},
        // The negated category row test: recipes with some category row other than 9010.
        {{"2,9010,2003,1"}, [](auto&) { return true; }},
        {{"2,9001,2003,1"}, [](auto& r) { return r.Category() != 9001 || r.Extra(); }},
        {{"4,9100"}, [](auto& r) { return r.Origin() == 9100; }},
        {{"4,9100,4,9101"}, [](auto& r) { return r.Origin() == 9100 || r.Origin() == 9101; }},
        {{"4,9100,4001,1"}, [](auto& r) { return r.Origin() != 9100; }, named},
        {{"2004,2"}, [](auto& r) { return r.YieldUnit() == 2; }},
        {{"3,\"zucker\"", "3,500"}, [](auto& r) { return r.Sugar(); }},
        {{"3,\"butter\""}, [](auto& r) { return r.Butter(); }},
        {{"3,500,3,\"butter\",3002"}, [](auto& r) { return r.Sugar() && r.Butter(); }},
        {{"3,500,3,\"butter\""}, [](auto& r) { return r.Sugar() || r.Butter(); }},
        {{"3,\"butter\",3003"}, [](auto& r) { return !r.Butter(); }, named},
        {{"3,500,3003"}, [](auto& r) { return !r.Sugar(); }, named},
        {{"3,500,7,7"}, [](auto& r) { return r.Sugar() && r.Tool(); }},
        {{"7,7", "7,7,7,8"}, [](auto& r) { return r.Tool(); }},
        {{"5,1,7,7"}, [](auto& r) { return r.InBookEven() && r.Tool(); }},
        {{"4002,2"}, [](auto& r) { return r.Language() == 2; }},
        {{"4002,1,4002,2"}, [](auto& r) { return r.Language() != 0; }},
        // Also the search an address starts: recipes of the sources it published or wrote.
        {{"8,3", "8001,20", "8002,30", "address:20", "address:30"},
         [](auto& r) { return r.Source() == kSource; }},
        {{"5,1"}, [](auto& r) { return r.InBookEven(); }},
        // A cookbook alone: no template (150) or trash (141).
        {{"5,2"}, [](auto& r) { return r.InBookThird(); }},
        {{"5,1,5,2"}, [](auto& r) { return r.InBookEven() || r.InBookThird(); }},
        {{"5,2,1,\"torte\""}, [](auto& r) { return r.InBookThird() && r.id % 5 == 1; }},
        {{"5,1,2,9010"}, [](auto& r) { return r.InBookEven() && r.Extra(); }},
        {{"5,2,3,500"}, [](auto& r) { return r.InBookThird() && r.Sugar(); }},
        {{"5,1,4002,1"}, [](auto& r) { return r.InBookEven() && r.Language() == 1; }},
        {{"1005,1,\"salat\""}, [](auto& r) { return r.Picture() && r.id % 5 == 2; }},
        {{"1006,1,\"braten\""}, [](auto& r) { return r.Parent() == 0 && r.id % 5 == 4; }},
        {{"9,40000,2,9000"}, [](auto& r) { return r.Category() == 9000 && r.id % 5 != 0; }},
        {{"2,9002,1,\"schnelle\",7,7,2004,1"},
         [](auto& r) { return r.Category() == 9002 && r.id % 3 == 0 && r.Tool() && r.YieldUnit() == 1; }},
        {{"1,\"auflauf\",2,9003,4,9102,3,\"mehl\",4002,0"},
         [](auto& r) {
             return r.id % 5 == 3 && r.Category() == 9003 && r.Origin() == 9102 && r.Language() == 0;
         }},
        {{"99,\"x\",1,\"torte\""}, [](auto& r) { return r.id % 5 == 1; }, {1006}},
    };
    for (const Case& c : cases) {
        for (std::string data : c.searches) {
            SCOPED_TRACE(data);
            if (data.starts_with("address:"))
                data = AddressSearchData(*db, std::stol(data.substr(8)));
            EXPECT_EQ(Found(data), Expect([&](auto& r) { return r.Listed() && c.rule(r); }, c.extra));
        }
    }
    // An address that named no source starts no search.
    EXPECT_EQ(AddressSearchData(*db, 99), "");
}

TEST_P(ClSearchTest, UmlautsAndAccentsFindEveryWrittenForm)
{
    EXPECT_EQ(Found("1,\"Käse\""), (std::vector<long>{1001, 1002, 1005, 1006}));
    EXPECT_EQ(Found("1,\"kaese\""), (std::vector<long>{1002}));
    EXPECT_EQ(Found("1,\"käse\",1004"), (std::vector<long>{1001, 1002, 1005, 1006, 1007}));
    EXPECT_EQ(Found("1,\"creme\""), (std::vector<long>{1003, 1004}));
    EXPECT_EQ(Found("1,\"CRÈME\""), (std::vector<long>{1003}));
    EXPECT_EQ(Found("1,\"spatzle\""), (std::vector<long>{1001}));
    EXPECT_EQ(Found("1,\"kä\",1001"), (std::vector<long>{1001, 1002, 1005, 1006}));
}

TEST_P(ClSearchTest, AFailedStepKeepsThePreviousResult)
{
    ClSearch search(db.get());
    long count = 0;
    // Without its table the ingredient step fails; the words' result stands.
    db->Execute("DROP TABLE T_REZ_ZUTAT");
    EXPECT_TRUE(search.FindFirst("1,\"#12 #14\",1003,3,\"zucker\"", -1, 0, count));
    EXPECT_EQ(count, 2);
    EXPECT_NE(search.LastError(), 0);
    // As the first step there is nothing to keep.
    EXPECT_FALSE(search.FindFirst("3,\"torte\"", -1, 0, count));
    EXPECT_EQ(count, 0);

    // A step too long to send finds nothing and says so, as the first step (where leaving it out
    // would list every recipe) and after others (where it would ignore the words).
    std::string words;
    while (words.size() < ClSearch::kMaxStatement)
        words += "apfel ";
    for (const std::string& data : {"1,\"" + words + "\"", "1,\"käse\",3,\"" + words + "\""}) {
        EXPECT_FALSE(search.FindFirst(data, -1, 0, count));
        EXPECT_EQ(count, 0);
        EXPECT_EQ(search.LastError(), ClSearch::kTooLong);
        EXPECT_EQ(search.LastErrorText(), "Die Suche ist zu lang: zu viele oder zu lange Suchbegriffe. Bitte kürzen.");
    }
}

TEST_P(ClSearchTest, ResultsComeInTitleOrderOrNewestFirstAndHitsCarryPictureAndParent)
{
    const std::vector<long> byTitle = Ids("1,\"suppe\"");
    std::vector<long> expected = Expect([](auto& r) { return r.Listed() && r.id % 5 == 0; });
    std::sort(expected.begin(), expected.end(),
              [](long a, long b) { return GenRecipe{a}.Title() < GenRecipe{b}.Title(); });
    EXPECT_EQ(byTitle, expected);
    const std::vector<long> newest = Ids("1,\"suppe\"", ClSearch::kSortNewest);
    std::stable_sort(expected.begin(), expected.end(),
                     [](long a, long b) { return GenRecipe{a}.Fp1() > GenRecipe{b}.Fp1(); });
    EXPECT_EQ(newest, expected);

    // Hits carry the parent and whether the recipe has a picture.
    ClSearch search(db.get());
    long count = 0;
    ASSERT_TRUE(search.FindFirst("1,\"#21\"", -1, 0, count));
    EXPECT_EQ(search.Current(), (SearchHit{21, GenRecipe{21}.Title(), 11, false}));
    ASSERT_TRUE(search.FindFirst("1,\"#63\"", -1, 0, count)); // a picture and another owner's blob
    EXPECT_EQ(count, 1);
    EXPECT_TRUE(search.Current().Picture);
    ASSERT_TRUE(search.FindFirst("1,\"#14\"", -1, 0, count)); // only another owner's blob
    EXPECT_FALSE(search.Current().Picture);
}

TEST_P(ClSearchTest, SpecialListsFollowTheirModes)
{
    MarkedRecipes() = {5, 9999, 3};
    EXPECT_EQ(Ids("6,1"), (std::vector<long>{5, 3}));
    MarkedRecipes().clear();
    EXPECT_EQ(Found("6,2,2"), Expect([](auto& r) { return r.id % 4 == 0; }));
    EXPECT_EQ(Found("6,3"), Expect([](auto& r) { return r.id % 13 == 0 && r.Listed(); }));
    EXPECT_EQ(Found("6,4"), Expect([](auto& r) { return r.Template() && !r.Deleted(); }));
    EXPECT_EQ(Found("6,5"), Expect([](auto& r) { return r.Picture() && r.Listed(); }));
    EXPECT_EQ(Found("6,7,\"#03/05/2024 10:30:15#\""),
              Expect([](auto& r) { return r.id % 4 == 0 && r.Listed(); }));
    EXPECT_EQ(Found("6,8,\"5, 7,9x\""), (std::vector<long>{5, 7, 9}));
    EXPECT_EQ(Found("6,8,\"98-102\""), (std::vector<long>{98, 99, 101, 102}));
    EXPECT_EQ(Found("6,8,\"12\""), (std::vector<long>{12}));
    // Within one cookbook.
    EXPECT_EQ(Found("5,1,6,8,\"1-10\""), (std::vector<long>{2, 4, 6, 8, 10}));
    EXPECT_EQ(Sorted(Ids("6,5", 0, kBookThird)),
              Expect([](auto& r) { return r.Picture() && r.InBookThird() && !r.Template(); }));

    ClFingerprint fingerprint;
    const long creator = fingerprint.GetFingerprintAktCreator("");
    db->Execute("UPDATE T_REZ_KOPF SET Fingerprint2=" + std::to_string(creator * 1048576L + 17) +
                " WHERE ID IN (17,18,50)");
    db->Execute("UPDATE T_REZ_KOPF SET Fingerprint2=" + std::to_string((creator + 1) * 1048576L) +
                " WHERE ID=19");
    std::vector<long> own = Found("6,6");
    if (creator != 0) { // creator 0 would also own every recipe without a fingerprint
        EXPECT_EQ(own, (std::vector<long>{17, 18}));
    }

    EXPECT_TRUE(Ids("6,7,\"#13/45/2024 10:30:15#\"").empty());
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_EQ(ui.shown.back().Text, "Das enthaltene Datum ist hat ein falsches Format: \"#13/45/2024 "
                                    "10:30:15#\"konnte nicht aktiviert werden.");
}

TEST_P(ClSearchTest, ImportDatesListNewestFirstAndFindTheirRecipes)
{
    ClSearch search(db.get());
    const std::vector<DateSerial> dates = search.FillImportdate();
    ASSERT_EQ(dates.size(), 1u); // the hand-entered recipes (source 1) are left out
    EXPECT_EQ(ClSearch::ImportDateText(dates[0]), "03/05/2024 10:30:15");
    ASSERT_TRUE(search.FindImportDate(dates[0]));
    EXPECT_EQ(Sorted(Each(search.Hits(), &SearchHit::id)), Expect([](auto& r) { return r.id % 4 == 0; }));
}

TEST_P(ClSearchTest, ChildrenAndTheResultTree)
{
    ClSearch search(db.get());
    EXPECT_EQ(search.FindFirstChild(11), 21);
    EXPECT_EQ(search.FindFirstChild(21), 31);
    EXPECT_EQ(search.FindFirstChild(5), 0);
    EXPECT_EQ(Each(search.FindParentTree(31), &SearchHit::id), (std::vector<long>{1, 11, 21, 31}));
    long count = 0;
    ASSERT_TRUE(search.FindFirst("6,8,\"291-292\"", -1, 0, count));
    const std::vector<SearchTreeNode> nodes = search.FindFillTree();
    ASSERT_EQ(nodes.size(), 2u);
    EXPECT_EQ(nodes[0].Caption, GenRecipe{292}.Title());
    EXPECT_EQ(nodes[1].Caption, GenRecipe{291}.Title());
    EXPECT_EQ(search.FindFirst("6,8,\"281\"", -1, 0, count), true);
    EXPECT_EQ(search.FindFillTree()[0].Caption, GenRecipe{281}.Title() + " [*]");
}

TEST_P(ClSearchTest, CaptionAndDecodedText)
{
    ClSearch search(db.get());
    long count = 0;
    search.FindFirst("5,2", -1, 0, count);
    EXPECT_EQ(search.FindResultCaption(), "Alle Rezepte aus Kochbuch \"Dritte\"");
    search.FindFirst("5,1,1005,1,\"torte\",3,\"mehl\",2,9000,2,9001,2,9002,2,9003,2004,1", -1, 0, count);
    EXPECT_EQ(
        search.FindResultCaption(),
        "Suchergebnis in \"Gerade\" nach Titel(n) und Zutaten und 4 Kategorie (Vorspeise, Hauptgericht, "
        "Dessert,...)  und Rezepteinheit: Portionen (Rezepte mit Bildern)");
    search.FindFirst("6,8,\"1-9\"", -1, 0, count);
    EXPECT_EQ(search.FindResultCaption(), "Rezeptnummern 1-9");
    search.FindFirst("1006", -1, 0, count);
    EXPECT_EQ(search.FindResultCaption(), "Alle Rezepte");
    search.FindFirst("1,\"torte\"", -1, 0, count);
    std::string list;
    for (const SearchHit& hit : search.Hits())
        list += (list.empty() ? "" : ",") + std::to_string(hit.id);
    EXPECT_EQ(search.FindResultList(), list);
    EXPECT_NE(search.FindResultDecoded().find("Titel: torte"), std::string::npos);
}

// Lists longer than a statement could name: a common word followed by other steps keeps every
// hit, and so do the listing and a list of IDs. The first hits of such a large result reach the
// list before the result is sorted: the list gets every hit once, in the order of the result.
TEST_P(ClSearchTest, LongListsKeepEveryHit)
{
    {
        DbTransaction transaction(*db);
        for (long id = 20000; id < 32000; ++id) {
            InsertRecipe(*db, id, (id % 7 == 0 ? "menge " : "Menge ") + std::to_string(id % 1500), "", "x");
            if (id % 2 == 0)
                db->Execute("INSERT INTO T_REZ_CAT_NDX (ID,CatID,CatPrimary,No) VALUES (?,9002,-1,1)", {id});
            if (id % 3 == 0)
                db->Execute(
                    "INSERT INTO T_REZ_ZUTAT (ID,No,ZutText,ZutTrenner,ZutBLSID) VALUES (?,1,'Salz',0,0)",
                    {id});
            if (id % 4 == 0) {
                db->Execute("INSERT INTO T_REZ_ZUTAT (ID,No,ZutText,ZutTrenner,ZutBLSID) VALUES "
                            "(?,2,'Pfeffer',0,600)",
                            {id});
                db->Execute("INSERT INTO T_REZ_GERAET (RezID,GeraetID) VALUES (?,8)", {id});
            }
        }
        transaction.Commit();
    }
    // A search and the new recipes it finds: those whose number the second divides (0: see the case).
    const std::pair<const char*, int> cases[] = {
        {"1,\"menge\"", 1},                   {"1,\"menge\",2,9002", 2},
        {"1,\"menge\",3,\"salz\"", 3},        {"1,\"menge\",2,9002,3,\"salz\"", 6},
        {"1,\"menge\",3,\"salz\",3,\"quark\"", 3}, // one of two ingredients: the combined step
        {"1,\"menge\",3,600", 4},                  // by food
        {"1,\"menge\",3,600,3,\"salz\",3002", 12},
        {"1,\"menge\",3,600,3,\"salz\"", 0}, // any of them, below: every third or fourth
        {"1,\"menge\",7,8", 4},             {"1,\"menge\",2,9002,7,8", 4},
        {"1,\"menge\",3,\"salz\",7,8", 12},
    };
    std::vector<std::vector<long>> listed;
    for (const auto& [data, every] : cases) {
        SCOPED_TRACE(data);
        ClSearch search(db.get());
        std::vector<long> shown;
        std::vector<std::size_t> batches;
        search.SetHitSink([&](const std::vector<SearchHit>& batch) {
            batches.push_back(batch.size());
            for (const SearchHit& hit : batch)
                shown.push_back(hit.id);
        });
        long count = 0;
        ASSERT_TRUE(search.FindFirst(data, -1, 0, count)) << search.LastErrorText();
        listed.push_back(Each(search.Hits(), &SearchHit::id));
        EXPECT_EQ(shown, listed.back());
        ASSERT_FALSE(batches.empty());
        EXPECT_EQ(batches.front(), 64u);
        std::vector<long> expected;
        for (long id = 20000; id < 32000; ++id)
            if (every == 0 ? id % 3 == 0 || id % 4 == 0 : id % every == 0)
                expected.push_back(id);
        EXPECT_EQ(Sorted(Each(search.Hits(), &SearchHit::id)), expected);
        for (const std::string& sql : search.Statements())
            EXPECT_LT(sql.size(), ClSearch::kMaxStatement);
    }
    std::vector<long> all(12000);
    std::iota(all.begin(), all.end(), 20000);
    ClSearch search(db.get());
    ASSERT_TRUE(search.FindIDList(all, ClSearch::kSortTitle));
    EXPECT_EQ(search.Hits().size(), all.size());
    EXPECT_TRUE(ui.shown.empty());

    db->Execute("DROP INDEX [T_REZ_KOPF.IRezTitle]"); // now every result is sorted first
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].first);
        ClSearch sorted(db.get());
        long count = 0;
        ASSERT_TRUE(sorted.FindFirst(cases[i].first, -1, 0, count));
        EXPECT_EQ(Each(sorted.Hits(), &SearchHit::id), listed[i]);
    }
}

TEST_P(ClSearchTest, CancelStopsTheListing)
{
    ClSearch search(db.get());
    std::size_t batches = 0;
    search.SetHitSink([&](const std::vector<SearchHit>& batch) {
        ++batches;
        EXPECT_FALSE(batch.empty());
        ui.cancel = true; // the user presses cancel after the first hits
    });
    long count = 0;
    search.FindFirst("1,\"e\"", -1, 0, count);
    EXPECT_EQ(batches, 1u);
    EXPECT_EQ(count, 64);
}

PF_ON_BOTH_BACKENDS(ClSearchTest);

} // namespace
} // namespace pf::test
