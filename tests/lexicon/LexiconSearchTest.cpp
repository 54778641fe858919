// The lexicon search over a small lexicon: accent classes, umlauts typed or written as digraphs,
// the area selector, explanations and additive and utensil texts, shortening and the one widening
// question, and the result tree with one root per area.

#include "lexicon/LexiconSearch.h"
#include "tests/lexicon/LexiconTestDb.h"

#include <set>
#include <tuple>

namespace pf {
namespace {

class LexiconSearchTest : public test::LexiconDb
{
protected:
    void SetUp() override
    {
        LexiconDb::SetUp();
        DbTransaction transaction(*db);
        db->Execute(
            "INSERT INTO T_INFO_KEY (ID,[KEY],KEYTYPE,TREE,Sprachcode) VALUES "
            "(1,'Crème brûlée',0,'F01',1),(2,'Käsespätzle',0,'F01',1),(3,'Kaesekuchen',0,'F01',1),"
            "(4,'Fond',0,'F01',1),(5,'Kasseler',0,'F01',1),"
            "(1,'blanchieren',5,'K01',1),(1,'blanch',5,'K01',4),(2,'pochieren',5,'K01',1),"
            "(1,'Zitronensäure',1,'E03',1),(1,'E 330',1,'E03',1),(2,'Curcumin',1,'E01',1),"
            "(1,'Zitronenpresse',2,'U06',1),(2,'Spätzlepresse',2,'U06',1),(3,'Schneebesen',2,'U03',1),"
            "(7,'Zitrone',3,'',1),(22,'Vitamin A',10,'V01',1),(22,'Retinol',10,'V01',1),"
            "(41,'Calcium',11,'M01',1),(42,'Kalzium',11,'M01',1)");
        db->Execute("INSERT INTO T_LEXIKON (ID,Type,Language,LexikonD) VALUES "
                    "(4,0,1,'Gemüse, Knochen und Wasser lange ausgekocht.'),"
                    "(2,5,1,'Garen knapp unter dem Siedepunkt.')");
        db->Execute("INSERT INTO T_GIFT (ID,[KEY],Info,EnthaltenIn) VALUES "
                    "(1,'E 330','Säuerungsmittel','Limonade, Konfitüre'),(2,'E 100','Gelber "
                    "Farbstoff','Senf, Currypulver')");
        db->Execute("INSERT INTO T_GERAET (ID,GerMerkmalD) VALUES (1,'Presst Zitrusfrüchte aus.'),"
                    "(2,'Drückt Teig in kochendes Wasser.'),(3,'Senf und Sahne aufschlagen.')");
        db->Execute("INSERT INTO T_BLS_KEY (ID,SBLS,ST,STE) VALUES (7,'F503100','Zitrone','Lemon'),"
                    "(8,'G000000','Äpfel','Apples'),(9,'X000000','Kartoffelpüree','Mashed potatoes')");
        transaction.Commit();
    }

    // The hits of a search as (area, ID, text), and the roots' keys and texts.
    using Hit = std::tuple<long, long, std::string>;
    std::set<Hit> Find(const std::string& text, long selector = kLexiconAllAreas)
    {
        LexiconSearch(*db, text, selector, tree);
        std::set<Hit> hits;
        for (const LexiconAreaNode& root : tree.Roots())
            for (const LexiconHit& hit : root.Hits)
                hits.insert({hit.Area, hit.Id, hit.Text});
        return hits;
    }

    LexiconResultTree tree;
};

TEST_F(LexiconSearchTest, PatternsAndEntriesFoundByKeywordTextAndTableWhateverTheUserTyped)
{
    const std::tuple<const char*, long, std::set<Hit>> cases[] = {
        // accents: the typed e finds the accented keyword
        {"creme", kLexiconAllAreas, {{0, 1, "Crème brûlée"}}},
        // the umlaut finds both spellings, the digraph finds the umlaut
        {"Käse", kLexiconAllAreas, {{0, 2, "Käsespätzle"}, {0, 3, "Kaesekuchen"}}},
        {"kaese", kLexiconAllAreas, {{0, 2, "Käsespätzle"}, {0, 3, "Kaesekuchen"}}},
        // one area only
        {"blanch", kLexiconAllAreas, {{5, 1, "blanchieren"}, {5, 1, "blanch"}}},
        {"Zitron", 2, {{2, 1, "Zitronenpresse"}}},
        {"Zitron", 3, {{3, 7, "Zitrone"}}},
        {"Zitron", kLexiconAllAreas, {{1, 1, "Zitronensäure"}, {2, 1, "Zitronenpresse"}, {3, 7, "Zitrone"}}},
        // foods by their English name, shown with the German one
        {"lemon", kLexiconAllAreas, {{3, 7, "Zitrone"}}},
        {"Aepfel", 3, {{3, 8, "Äpfel"}}},
        // explanations begin with the word; the entry is listed with all its keywords
        {"Gemüse", kLexiconAllAreas, {{0, 4, "Fond"}}},
        {"Garen", 5, {{5, 2, "pochieren"}}},
        {"Garen", 0, {}},
        // additive numbers and texts, utensil descriptions: only with their selectors
        {"e 33", 1, {{1, 1, "Zitronensäure"}, {1, 1, "E 330"}}},
        {"Senf", kLexiconTextSearch, {{1, 2, "Curcumin"}, {2, 3, "Schneebesen"}}},
        {"Senf", kLexiconAllAreas, {}},
        {"Senf", 2, {{2, 3, "Schneebesen"}}},
        // vitamins and minerals by any of their names
        {"retinol", kLexiconAllAreas, {{10, 22, "Retinol"}}},
        {"Kalz", 11, {{11, 42, "Kalzium"}}},
    };
    for (const auto& [text, selector, hits] : cases) {
        SCOPED_TRACE(std::string(text) + " / " + std::to_string(selector));
        ui.Answering(Answer::No); // a search that finds nothing asks once
        EXPECT_EQ(Find(text, selector), hits);
        EXPECT_EQ(ui.AllAnswersUsed(), hits.empty());
        ui = test::ScriptedInteraction();
    }
    // The user's text cannot break the statement.
    for (const char* text : {"Käse'; DROP TABLE T_INFO_KEY", "\"Fond\"", "[Fo]nd", "Fo#d", "%%%", "'''"}) {
        SCOPED_TRACE(text);
        ui = test::ScriptedInteraction();
        ui.Answering(Answer::Yes);
        Find(text);
        EXPECT_TRUE(db->TableExists("T_INFO_KEY"));
    }
    // A double quote is searched as an apostrophe.
    db->Execute("INSERT INTO T_INFO_KEY (ID,[KEY],KEYTYPE) VALUES (9,'Koch''s Topf',0)");
    EXPECT_EQ(Find("Koch\"s"), (std::set<Hit>{{0, 9, "Koch's Topf"}}));

    // The patterns: accent classes and digraph variants.
    EXPECT_EQ(MakeAccentPattern("creme"), "[cç]r[eèéêë]m[eèéêë]");
    EXPECT_EQ(MakeAccentPattern("kmr"), "kmr");
    EXPECT_EQ(MakeAccentPattern("dot"), "[dð][oòóôõöø][tþ]");
    // The text, its pattern as typed, with umlauts regenerated and with umlauts eliminated.
    const std::tuple<const char*, std::string, std::string, std::string> patterns[] = {
        {"Käse", "kä[sš][eèéêë]*", "kä[sš][eèéêë]*", "k[aàáâãäå][eèéêë][sš][eèéêë]*"},
        {"kaese", "k[aàáâãäå][eèéêë][sš][eèéêë]*", "kä[sš][eèéêë]*", "k[aàáâãäå][eèéêë][sš][eèéêë]*"},
        {" \"k|k*\" ", "'kk'*", "'kk'*", "'kk'*"}, // quotes become apostrophes, wildcards go
        {"x", "", "", ""},                         // "x*" is shorter than three characters
        {"*", "", "", ""},
        {"xy", "x[yýÿ]*", "x[yýÿ]*", "x[yýÿ]*"},
    };
    for (const auto& [text, typed, regenerated, eliminated] : patterns) {
        SCOPED_TRACE(text);
        const LexiconPatterns p = MakeLexiconPatterns(text);
        EXPECT_EQ(p.Typed, typed);
        EXPECT_EQ(p.Regenerated, regenerated);
        EXPECT_EQ(p.Eliminated, eliminated);
    }
}

TEST_F(LexiconSearchTest, TreeHasOneCountedRootPerAreaAndFoodsCarryTheirCode)
{
    Find("Zitron");
    std::vector<std::pair<std::string, std::string>> roots;
    for (const LexiconAreaNode& root : tree.Roots())
        roots.emplace_back(root.Key, root.Text);
    EXPECT_EQ(roots,
              (std::vector<std::pair<std::string, std::string>>{
                  {"1T", "Zusatzstoffe (1)"}, {"2T", "Utensilien (1)"}, {"3T", "Nahrungsmittel (1)"}}));
    ASSERT_TRUE(tree.Root(3));
    EXPECT_EQ(tree.Root(3)->Hits.at(0).Sbls, "F503100");
    EXPECT_EQ(tree.Selected(), &tree.Roots().front());

    Find("Vitamin");
    ASSERT_EQ(tree.Roots().size(), 1u);
    EXPECT_EQ(tree.Roots()[0].Key, "AT");
    EXPECT_EQ(tree.Roots()[0].Text, "Vitamine (1)");
}

TEST_F(LexiconSearchTest, ShortensThenAsksOnceBeforeWidening)
{
    // One shortening reaches the keyword; nothing is asked.
    EXPECT_EQ(Find("pochierenx"), (std::set<Hit>{{5, 2, "pochieren"}}));
    EXPECT_TRUE(ui.shown.empty());

    // Three shortenings are not enough: the question comes once, with the text in its title.
    ui.Answering(Answer::No);
    EXPECT_TRUE(Find("Spätzlexyzw", 2).empty());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].Caption, "Lexikonsuche nach \"Spätzlexyzw\"");
    EXPECT_NE(ui.shown[0].Text.find("Soll die Suche ausgedehnt werden ?"), std::string::npos);

    // Widened, the search shortens further and finds it.
    ui = test::ScriptedInteraction();
    ui.Answering(Answer::Yes);
    EXPECT_EQ(Find("Spätzlexyzw", 2), (std::set<Hit>{{2, 2, "Spätzlepresse"}}));
    EXPECT_EQ(ui.shown.size(), 1u);

    // Nothing at all: still one question only (a second one would fail the scripted interaction).
    ui = test::ScriptedInteraction();
    ui.Answering(Answer::Yes);
    EXPECT_TRUE(Find("qqqqqqqqqq").empty());
    EXPECT_EQ(ui.shown.size(), 1u);
    EXPECT_TRUE(tree.Empty());
    EXPECT_EQ(tree.Selected(), nullptr);
}

} // namespace
} // namespace pf
