#include "search/WordIndexFilter.h"

#include "core/Utf8.h"
#include "db/PgDatabase.h"
#include "db/SearchIndex.h"
#include "search/ClSearch.h"
#include "tests/search/SearchTestDb.h"
#include "tests/support/IndexAgreement.h"

#include <numeric>
#include <random>

namespace pf::test {
namespace {

// What the index is asked for a pattern: the trigrams every match must contain.
TEST(WordIndexFilter, TrigramQueryOfPatternsAndAConditionNarrowsOnlyWhenEveryNeededWordCan)
{
    const std::pair<const char*, std::string> cases[] = {
        {"*suppe*", "\"sup\" AND \"upp\" AND \"ppe\""},
        {"SUPPE*", "\"sup\" AND \"upp\" AND \"ppe\""}, // the index folds case as the comparison does
        {"*ab*", ""},                                  // too short for a trigram
        {"*ab?de*", ""},                               // no stretch of three
        {"*ab#cde*", "\"cde\""},                       // "#" is one digit
        {"*a[b-d]cde*", "\"cde\""},                    // a range is not looked up
        {"*a[!b]cde*", "\"cde\""},                     // nor a negated list
        {"*k[aä]se*", "(\"kas\" OR \"käs\") AND (\"ase\" OR \"äse\")"},
        {"*[*]ab*", "\"*ab\""}, // a listed wildcard stands for itself
        {"*ei*n*", ""},
        {"*lein*", "(\"lei\" OR \"leİ\") AND (\"ein\" OR \"eİn\")"}, // "i" also stands for "İ"
        {"*it's*", ""},                                              // quotes end a stretch
        {"*abcabc*", "\"abc\" AND \"bca\" AND \"cab\""},             // each trigram once
        {"*[aàáâãäå][aàáâãäå][aàáâãäå]*", ""},                       // 343 forms: too many to look up
        {"*ab[c*", ""},                                              // malformed: left to the comparison
    };
    for (const auto& [pattern, query] : cases) {
        SCOPED_TRACE(pattern);
        EXPECT_EQ(TrigramQuery(pattern), query);
    }

    // All words must match: the words the index can serve narrow, the others are left out.
    const std::string both = WordIndexCondition({"suppe", "ei", "torte"}, false, false);
    EXPECT_NE(both.find("\"ppe\""), std::string::npos);
    EXPECT_NE(both.find("\"tor\""), std::string::npos);
    EXPECT_EQ(both.find("\"ei\""), std::string::npos);
    EXPECT_EQ(both.find("T_SUCHINDEX_ANWEIS"), std::string::npos);
    // One word suffices: a word the index cannot serve could match any recipe.
    EXPECT_EQ(WordIndexCondition({"suppe", "ei"}, true, false), "");
    EXPECT_EQ(WordIndexCondition({"#12", "torte"}, true, true), "");
    EXPECT_EQ(WordIndexCondition({"ab", "#12"}, false, true), "");
    EXPECT_NE(WordIndexCondition({"suppe"}, false, true).find("T_SUCHINDEX_ANWEIS MATCH"), std::string::npos);
}

class WordIndexSearch : public SearchDbOnBackend
{
protected:
    // Recipes whose titles and instructions are made of the words below, so that random searches
    // find something, with umlauts, ß, accents and a capital dotted I.
    void AddWordRecipes(std::mt19937& random, long first = 2000, long end = 2150)
    {
        DbTransaction transaction(*db);
        for (long id = first; id < end; ++id) {
            auto phrase = [&](int words) {
                std::string text;
                for (int w = 0; w < words; ++w)
                    text += (w ? " " : "") + std::string(kVocabulary[random() % std::size(kVocabulary)]);
                return text;
            };
            InsertRecipe(*db, id, phrase(3), phrase(2), phrase(6));
            if (id % 5 == 0) // a second row of instructions
                db->Execute("INSERT INTO T_REZ_ANWEIS (ID,NO,AnwText) VALUES (?,2,?)", {id, phrase(4)});
            for (long no = 1; no <= id % 4; ++no) // up to three ingredient lines, some without
                db->Execute("INSERT INTO T_REZ_ZUTAT (ID,No,ZutText,ZutTrenner,ZutBLSID) VALUES (?,?,?,0,0)",
                            {id, no, phrase(1 + static_cast<int>(no % 2))});
        }
        transaction.Commit();
    }

    static constexpr const char* kVocabulary[] = {
        "Käse",   "KÄSE",     "Kaese",   "Soße",     "SOSSE",   "Sosse",  "Crème",   "Creme",
        "brûlée", "Müsli",    "Muesli",  "Straße",   "Strasse", "Größe",  "Groesse", "İnci",
        "inci",   "Brötchen", "Spätzle", "Spaetzle", "Ragoût",  "Garçon", "Señor",   "Öl",
        "oel",    "Äpfel",    "Apfel",   "gießen",   "Suppe",   "Zimt"};
    static constexpr const char* kSearchWords[] = {
        "käse",  "kase",  "kaese",   "soße",   "sosse", "soss",  "creme", "crème", "brulee", "brûlée",
        "müsli", "musli", "strasse", "straße", "größe", "groes", "inci",  "İnci",  "ragout", "garcon",
        "señor", "senor", "öl",      "oel",    "äpfel", "apfel", "gieß",  "giess", "sup",    "uppe",
        "zi",    "e",     "pfel",    "tze",    "#2001", "ätzl",  "ößе",   "üsl",   "ÄSE",    "spätzle"};

    // The hits of every search, in order.
    std::vector<std::vector<long>> Hits(const std::vector<std::string>& searches)
    {
        std::vector<std::vector<long>> hits;
        for (const std::string& data : searches)
            hits.push_back(Ids(data));
        return hits;
    }
    void ExpectHits(const std::vector<std::string>& searches, const std::vector<std::vector<long>>& expected)
    {
        for (std::size_t i = 0; i < searches.size(); ++i) {
            SCOPED_TRACE(searches[i]);
            EXPECT_EQ(Ids(searches[i]), expected[i]);
        }
    }
    // The statements a search runs.
    std::vector<std::string> Statements(const std::string& data)
    {
        ClSearch search(db.get());
        long count = 0;
        search.FindFirst(data, -1, ClSearch::kSortTitle, count);
        return search.Statements();
    }

    // Searches of one to three random words and up to two ingredient texts with random options
    // (an ingredient search alone too), compared with the same search on the same rows without
    // the index.
    std::vector<std::string> RandomSearches(std::mt19937& random, int count)
    {
        auto word = [&] { return std::string(kSearchWords[random() % std::size(kSearchWords)]); };
        std::vector<std::string> out;
        for (int i = 0; i < count; ++i) {
            std::string data;
            if (i % 4 != 3) {
                std::string words;
                const int n = 1 + static_cast<int>(random() % 3);
                for (int w = 0; w < n; ++w)
                    words += (w ? " " : "") + word();
                data = "1,\"" + words + "\"";
                for (const char* option : {"1001", "1002", "1003", "1004"})
                    if (random() % 3 == 0)
                        data += std::string(",") + option;
            }
            const int ingredients =
                i % 4 == 3 ? 1 + static_cast<int>(random() % 2) : static_cast<int>(random() % 3);
            for (int n = 0; n < ingredients; ++n)
                data += std::string(data.empty() ? "" : ",") + "3,\"" + word() + "\"";
            if (ingredients > 0)
                for (const char* option : {"3002", "3003"})
                    if (random() % 3 == 0)
                        data += std::string(",") + option;
            out.push_back(data);
        }
        return out;
    }
};

TEST_P(WordIndexSearch, SameHitsWithAndWithoutIndexAfterChanges)
{
    std::mt19937 random(20261206);
    AddWordRecipes(random);
    ASSERT_FALSE(HasSearchIndex(*db));
    const std::vector<std::string> searches = RandomSearches(random, 250);
    const std::vector<std::vector<long>> scanned = Hits(searches);

    CreateSearchIndex(*db);
    ASSERT_TRUE(HasSearchIndex(*db));
    const bool file = backend == Backend::File;
    long narrowed = 0;
    long ingredientsNarrowed = 0;
    for (std::size_t i = 0; i < searches.size(); ++i) {
        SCOPED_TRACE(searches[i]);
        EXPECT_EQ(Ids(searches[i]), scanned[i]);
        const std::vector<std::string> statements = Statements(searches[i]);
        // A server narrows only words searched in the instructions too, by a step of their own.
        if (!statements.empty() &&
            statements[0].find(file ? "MATCH" : "UNION SELECT ID FROM T_REZ_ANWEIS") != std::string::npos)
            ++narrowed;
        for (const std::string& sql : statements)
            if (sql.find(std::string(kIngredientIndexTable) + " MATCH") != std::string::npos) {
                ++ingredientsNarrowed;
                break;
            }
    }
    EXPECT_GT(narrowed, file ? 100 : 30); // the index did the narrowing in most searches
    EXPECT_EQ(ingredientsNarrowed > 30, file);
    if (!file) {
        // The server serves every searched column's LIKE from the index (the planner told to
        // prefer it over reading the few rows of the test).
        auto& server = static_cast<PgDatabase&>(*db);
        server.ExecuteNative("SET enable_seqscan = off");
        for (const auto& [table, column] : {std::pair{"T_REZ_KOPF", "RezTitle"}, {"T_REZ_KOPF", "RezMenuCard"},
                                            {"T_REZ_ANWEIS", "AnwText"}, {"T_REZ_ZUTAT", "ZutText"}}) {
            const std::string plan = server.NativeText(
                "EXPLAIN (FORMAT JSON) " + server.Translated(std::string("SELECT ID FROM ") + table + " WHERE " +
                                                             column + " LIKE \"*käse*\""));
            EXPECT_NE(plan.find("t_suchindex_" + ToLower(column)), std::string::npos) << plan;
        }
        server.ExecuteNative("SET enable_seqscan = on");
    }

    // Every way of changing the rows keeps the index in step: new, changed, moved and removed
    // titles and instruction rows, a recipe saved through the model.
    {
        DbTransaction transaction(*db);
        db->Execute("UPDATE T_REZ_KOPF SET RezTitle='Grießbrei' WHERE ID=2001");
        db->Execute("UPDATE T_REZ_KOPF SET RezMenuCard=Null WHERE ID BETWEEN 2010 AND 2020");
        db->Execute("UPDATE T_REZ_KOPF SET RezTitle=RezTitle WHERE ID=2002"); // unchanged
        db->Execute("UPDATE T_REZ_KOPF SET ID=2999 WHERE ID=2003");
        // A menu-card title equal to the title, made so, changed on one side and removed.
        db->Execute("UPDATE T_REZ_KOPF SET RezMenuCard=RezTitle WHERE ID BETWEEN 2021 AND 2029");
        db->Execute("UPDATE T_REZ_KOPF SET RezTitle='Zimt und Öl' WHERE ID=2022");
        db->Execute("UPDATE T_REZ_KOPF SET RezTitle='Müsli',RezMenuCard='Müsli' WHERE ID=2023");
        db->Execute("UPDATE T_REZ_KOPF SET RezMenuCard='Spätzle' WHERE ID=2025");
        db->Execute("UPDATE T_REZ_KOPF SET RezMenuCard=Null WHERE ID=2026");
        db->Execute("DELETE FROM T_REZ_KOPF WHERE ID=2024");
        db->Execute("DELETE FROM T_REZ_KOPF WHERE ID BETWEEN 2030 AND 2040");
        db->Execute("UPDATE T_REZ_ANWEIS SET AnwText='Öl und Käse' WHERE ID=2005 AND NO=2");
        db->Execute("DELETE FROM T_REZ_ANWEIS WHERE ID=2010 AND NO=1");
        db->Execute("UPDATE T_REZ_ANWEIS SET ID=2004 WHERE ID=2015 AND NO=2");
        db->Execute("UPDATE T_REZ_ANWEIS SET NO=3 WHERE ID=2020 AND NO=1");
        db->Execute("DELETE FROM T_REZ_ANWEIS WHERE ID BETWEEN 2041 AND 2050");
        db->Execute("INSERT INTO T_REZ_ANWEIS (ID,NO,AnwText) VALUES (2042,1,'Soße gießen')");
        db->Execute("UPDATE T_REZ_ZUTAT SET ZutText='Größe Äpfel' WHERE ID=2006 AND No=1");
        db->Execute("UPDATE T_REZ_ZUTAT SET ID=2008 WHERE ID=2007 AND No=3");
        db->Execute("UPDATE T_REZ_ZUTAT SET No=5 WHERE ID=2011 AND No=1");
        db->Execute("DELETE FROM T_REZ_ZUTAT WHERE ID BETWEEN 2051 AND 2059");
        db->Execute(
            "INSERT INTO T_REZ_ZUTAT (ID,No,ZutText,ZutTrenner,ZutBLSID) VALUES (2052,1,'Crème',0,0)");
        transaction.Commit();
    }
    {
        // A save as the recipe writers do it: the head updated, the instruction rows rewritten.
        DbTransaction transaction(*db);
        db->Execute("UPDATE T_REZ_KOPF SET RezTitle='Strasse der Brötchen',RezMenuCard='x' WHERE ID=2060");
        db->Execute("DELETE FROM T_REZ_ANWEIS WHERE ID=2060");
        db->Execute("INSERT INTO T_REZ_ANWEIS (ID,NO,AnwText) VALUES (2060,1,'Spätzle mit Zimt'),"
                    "(2060,2,'und Crème')");
        db->Execute("DELETE FROM T_REZ_ZUTAT WHERE ID=2060");
        db->Execute("INSERT INTO T_REZ_ZUTAT (ID,No,ZutText,ZutTrenner,ZutBLSID) VALUES (2060,1,'Müsli',0,0),"
                    "(2060,2,'Brötchen',0,0)");
        transaction.Commit();
    }
    {
        DbTransaction transaction(*db);
        db->Execute("DELETE FROM T_REZ_ANWEIS WHERE ID=2061");
        // Not committed: a failed save leaves the index as the rows.
    }

    EXPECT_EQ(IndexDisagreement(*db), "");
    const std::vector<std::vector<long>> indexed = Hits(searches);
    DropSearchIndex(*db);
    ASSERT_FALSE(HasSearchIndex(*db));
    ExpectHits(searches, indexed);
}

// Recipes stored as an import stores them wait to be indexed. Changed meanwhile, also by rows moving
// between them and indexed recipes, they leave the index in step; no search uses the index while
// they wait, and the hits are those without the index, before and after they are indexed.
TEST_P(WordIndexSearch, WaitingRecipesLeaveTheIndexInStepAndTheHitsExact)
{
    if (backend != Backend::File)
        return; // a server keeps its indexes itself
    std::mt19937 random(20261207);
    AddWordRecipes(random);
    const std::vector<std::string> searches = RandomSearches(random, 120);
    CreateSearchIndex(*db);
    {
        DbTransaction transaction(*db);
        ASSERT_TRUE(SuspendIndexOfNewRecipes(*db));
        AddWordRecipes(random, 2200, 2260);
        std::vector<long> ids(60);
        std::iota(ids.begin(), ids.end(), 2200);
        DeferIndexOfNewRecipes(*db, ids);
        transaction.Commit();
    }
    db->Execute("UPDATE T_REZ_KOPF SET RezTitle='Käse im Öl' WHERE ID=2201");
    db->Execute("DELETE FROM T_REZ_KOPF WHERE ID=2202");
    db->Execute("UPDATE T_REZ_ANWEIS SET ID=2004,NO=NO+10 WHERE ID=2205");
    db->Execute("UPDATE T_REZ_ZUTAT SET ID=2206,No=No+10 WHERE ID=2009");
    db->Execute("DELETE FROM T_REZ_ANWEIS WHERE ID=2207");
    db->Execute("INSERT INTO T_REZ_ZUTAT (ID,No,ZutText,ZutTrenner,ZutBLSID) VALUES (2208,9,'Zimt',0,0)");
    db->Execute("UPDATE T_REZ_KOPF SET RezTitle='Spätzle' WHERE ID=2100");
    ASSERT_EQ(PendingRecipeCount(*db), 60u);
    EXPECT_EQ(IndexDisagreement(*db), "");

    const std::vector<std::vector<long>> waiting = Hits(searches);
    for (const std::string& data : searches)
        for (const std::string& sql : Statements(data))
            EXPECT_EQ(sql.find("MATCH"), std::string::npos) << sql;
    EXPECT_EQ(IndexPendingRecipes(*db, 25), 35u);
    EXPECT_EQ(IndexDisagreement(*db), "");
    ASSERT_TRUE(IndexAllPendingRecipes(*db));
    EXPECT_EQ(PendingRecipeCount(*db), 0u);
    EXPECT_EQ(IndexDisagreement(*db), "");
    EXPECT_TRUE(HasWordIndex(*db));
    ExpectHits(searches, waiting);
    DropSearchIndex(*db);
    ExpectHits(searches, waiting);
}

PF_ON_BOTH_BACKENDS(WordIndexSearch);

} // namespace
} // namespace pf::test
