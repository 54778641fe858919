#include "exchange/RecipeImport.h"

#include "exchange/PositionIndex.h"

#include "core/AppContext.h"
#include "core/Utf8.h"
#include "db/OpenDatabase.h"
#include "db/PgDatabase.h"
#include "db/Recordset.h"
#include "db/SearchIndex.h"
#include "model/ClRecipe.h"
#include "model/ClUnit.h"
#include "tests/support/Backends.h"
#include "tests/support/BaseDataDb.h"
#include "tests/support/GeneratedRecipes.h"
#include "tests/support/IndexAgreement.h"
#include "tests/support/RawSql.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

namespace pf {
namespace {

std::string DataFile(const std::string& name)
{
    return std::string(PF_TEST_DATA_DIR) + "/mm/" + name;
}

long Count(Database& db, const std::string& sql)
{
    return static_cast<long>(db.Scalar(sql).AsLong());
}

// The duplicate check's compact map, against a plain multimap: keys shared by many positions,
// keys that differ in one high bit, growth past several resizes, and keys that are absent.
TEST(PositionIndex, FindsEveryPositionOfAKeyInOrder)
{
    for (const std::uint64_t spread : {7ULL, 5000ULL, 1ULL << 40}) {
        SCOPED_TRACE(spread);
        std::vector<std::uint64_t> keys;
        PositionIndex index([&](std::uint32_t p) { return keys[p]; });
        std::multimap<std::uint64_t, std::uint32_t> expected;
        std::mt19937_64 random(spread);
        for (std::uint32_t p = 0; p < 5000; ++p) {
            const std::uint64_t key = spread == (1ULL << 40) ? (random() % 50) << 40 : random() % spread;
            keys.push_back(key);
            index.Add(p);
            expected.emplace(key, p);
        }
        EXPECT_EQ(index.Size(), 5000u);
        for (std::uint64_t key = 0; key < 60; ++key) {
            const std::uint64_t k = spread == (1ULL << 40) ? key << 40 : key;
            std::vector<std::uint32_t> want;
            for (auto [it, end] = expected.equal_range(k); it != end; ++it)
                want.push_back(it->second);
            EXPECT_EQ(index.Find(k), want);
            EXPECT_EQ(index.Contains(k), !want.empty());
        }
        index.Clear();
        EXPECT_TRUE(index.Find(keys[0]).empty());
    }
}

// One Meal-Master recipe; a fingerprint is given as "FP1,FP2".
std::string MMRecipe(const std::string& title, const std::string& fingerprint = "")
{
    std::string text = "MMMMM----- Recipe via Meal-Master (tm) v8.05\r\n\r\n      Title: " + title +
                       "\r\n Categories: Kuchen\r\n      Yield: 4 Portionen\r\n\r\n    250 g  Mehl\r\n"
                       "      2    Eier\r\n\r\n  Alles verruehren und backen.\r\n\r\n";
    if (!fingerprint.empty())
        text += ":Fingerprint: " + fingerprint + ",Pfannola\r\n\r\n";
    return text + "MMMMM\r\n\r\n";
}

class ScriptedDecider : public DupeDecider
{
public:
    int Decide(const DupeQuestion& question, bool& noMoreQuestions) override
    {
        questions.push_back(question);
        noMoreQuestions = stopAsking;
        return answer;
    }
    int answer = dupe::kIgnore;
    bool stopAsking = false;
    std::vector<DupeQuestion> questions;
};

class RecipeImportTest : public ::testing::TestWithParam<test::Backend>
{
protected:
    void SetUp() override
    {
        m_app.WinUser = "koch";
        m_app.IniFile = m_dir.File("machine.ini");
        m_app.UserStoreFile = m_dir.File("user.ini");
        m_app.Options.EditLastFPCounter = 1000;
        m_app.UI = &m_ui;
        m_db = test::MakeBaseDataDatabaseOn(GetParam(), m_dir, &m_connect);
        if (!m_db && GetParam() == test::Backend::Server)
            GTEST_SKIP() << test::kNoServer;
        ASSERT_TRUE(m_db);
    }

    RecipeImport& Run(std::vector<std::string> files, DupePreset preset = DupePreset::Ignore)
    {
        m_import = std::make_unique<RecipeImport>(*m_db);
        m_import->Options().Files.clear();
        for (const std::string& f : files)
            m_import->Options().Files.push_back(DataFile(f));
        m_import->Options().Duplicates = preset;
        m_import->Options().NewCookbook = true;
        m_import->Options().CookbookName = "Import";
        return *m_import;
    }

    RecipeImport& RunText(const std::string& text, DupePreset preset)
    {
        const std::string file = m_dir.File("eingabe" + std::to_string(++m_files) + ".mm");
        test::WriteFile(file, text);
        m_import = std::make_unique<RecipeImport>(*m_db);
        m_import->Options().Files = {file};
        m_import->Options().Duplicates = preset;
        return *m_import;
    }

    long IdOf(const std::string& title)
    {
        return static_cast<long>(
            m_db->Scalar("SELECT ID FROM T_REZ_KOPF WHERE RezTitle=?", {title}).AsLong());
    }
    // The stored recipe of that title as the editor reads it, past the recipe cache.
    ClRecipe Load(const std::string& title)
    {
        ClRecipe recipe;
        recipe.SetDB(m_db.get());
        recipe.SetNocache(true);
        EXPECT_TRUE(recipe.LoadByID(IdOf(title), 2)) << title;
        return recipe;
    }

    AppContext m_app;
    ScopedAppContext m_scope{m_app};
    test::ScriptedInteraction m_ui;
    test::TempDir m_dir;
    std::unique_ptr<Database> m_db;
    std::string m_connect; // of the server schema
    std::unique_ptr<RecipeImport> m_import;
    int m_files = 0;
};

// Tests that inject faults through the file engine directly.
class RecipeImportFileTest : public RecipeImportTest
{
};

TEST_P(RecipeImportTest, StoresRecipesInTheLayoutTheRecipeReads)
{
    RecipeImport& run = Run({"single.mm", "twocol.mm", "rouladen.rez"});
    ASSERT_TRUE(run.Import()) << run.LastErrorText();
    EXPECT_EQ(run.Summary(), "importiert: 4, übersprungen: 0, fehlerhaft: 0");

    ClRecipe cake = Load("Apfelkuchen vom Blech");
    EXPECT_EQ(cake.YieldUnitText(), "Blech");
    EXPECT_EQ(cake.Yield(), 1);
    EXPECT_TRUE(cake.IsTemplate());
    EXPECT_EQ(cake.ImportSource(), 2);
    EXPECT_EQ(cake.Fingerprint().FP1(), 1015412);
    EXPECT_EQ(cake.Fingerprint().FP2(), 2097153);
    EXPECT_EQ(cake.Notizen(), "Schmeckt auch kalt.");
    ASSERT_EQ(cake.CatCount(), 2);
    EXPECT_EQ(cake.CatName(1), "Backen");
    EXPECT_EQ(cake.CatName(2), "Kuchen");
    ASSERT_EQ(cake.IngredCount(), 9);
    EXPECT_EQ(cake.Ingredient(2).Ingredient(), "Milch");
    EXPECT_EQ(cake.Ingredient(2).OrgMeasurement(), Decimal4::Parse("0.5"));
    EXPECT_EQ(cake.Ingredient(5).Verarbeitung(), "weich, in Stuecken, nicht zu kalt aus dem Kuehlschrank");
    EXPECT_TRUE(cake.Ingredient(7).IsTrenner());
    EXPECT_EQ(cake.Ingredient(7).Trennzeile(), "BELAG");
    EXPECT_EQ(cake.Zubereitung().substr(0, 20), "Den Teig aus Mehl, M");
    ASSERT_EQ(cake.BookCount(), 1);
    EXPECT_EQ(cake.BookName(1), "Import");
    EXPECT_EQ(m_db->Scalar("SELECT BuchBeschreib FROM T_BUCH WHERE ID=?", {cake.BookID(1)}).AsText(),
              "Durch MM-Import angelegt");

    // Recipes without fingerprint get new ones, each its own.
    ClRecipe soup = Load("Tomato Soup");
    EXPECT_EQ(soup.YieldUnitText(), "Portionen");
    EXPECT_NE(soup.Fingerprint().FP2(), 0);
    EXPECT_NE(soup.Fingerprint().FP2(), cake.Fingerprint().FP2());
    EXPECT_EQ(Count(*m_db, "SELECT COUNT(*) FROM T_REZ_KOPF WHERE Fingerprint2=0"), 0);
    // Serials come from one reserved block: the counter moved once, by the block.
    EXPECT_EQ(soup.Fingerprint().Serial(), 1002);
    EXPECT_EQ(m_app.Options.EditLastFPCounter, 1500);

    ClRecipe rouladen = Load("Omas Rinderrouladen");
    EXPECT_EQ(rouladen.StorageTime(3), 90);

    // The history names every file with the run's date.
    EXPECT_EQ(Count(*m_db, "SELECT COUNT(*) FROM T_REZ_IMPORT"), 3);
    EXPECT_TRUE(RecipeImport::ImportedBefore(*m_db, DataFile("single.mm")).has_value());

    // A category name cut to its 20 characters just before a blank keeps no blank at its end.
    std::string cut = MMRecipe("Tortenboden");
    cut.replace(cut.find("Kuchen"), 6, "Kuchen und Tortchen Obst");
    ASSERT_TRUE(RunText(cut, DupePreset::Ignore).Import());
    ClRecipe base = Load("Tortenboden");
    ASSERT_EQ(base.CatCount(), 1);
    EXPECT_EQ(base.CatName(1), "Kuchen und Tortchen");
}

TEST_P(RecipeImportTest, SecondRunAsksAboutTheFileAndAboutEachDuplicate)
{
    ASSERT_TRUE(Run({"single.mm", "twocol.mm"}).Import());
    m_ui.Answering(Answer::No).Answering(Answer::Yes);
    EXPECT_FALSE(RecipeImport::ConfirmAddFile(*m_db, DataFile("single.mm")));
    EXPECT_TRUE(RecipeImport::ConfirmAddFile(*m_db, DataFile("single.mm")));
    ASSERT_EQ(m_ui.shown.size(), 2u);
    EXPECT_EQ(m_ui.shown[0].Text.substr(0, 10), "Die Datei\r");
    EXPECT_NE(m_ui.shown[0].Text.find("importiert. Trotzdem erneut laden ?"), std::string::npos);
    EXPECT_TRUE(RecipeImport::ConfirmAddFile(*m_db, DataFile("twocol-never.mm")));

    RecipeImport& again = Run({"single.mm", "twocol.mm"});
    ASSERT_TRUE(again.Import());
    EXPECT_EQ(again.Counters().Skipped, 3);
    EXPECT_EQ(again.Counters().Imported, 0);
    EXPECT_EQ(again.ClosingMessage(), "Es wurden keine neuen Rezepte importiert");
    EXPECT_EQ(Count(*m_db, "SELECT COUNT(*) FROM T_REZ_KOPF"), 3);

    // Asked about each duplicate: both recipes and a recommendation are shown.
    ScriptedDecider decider;
    decider.answer = dupe::kSkip; // "Abbrechen": the whole run stops
    RecipeImport& run = Run({"single.mm", "twocol.mm"}, DupePreset::Ask);
    run.SetDecider(&decider);
    ASSERT_TRUE(run.Import());
    ASSERT_EQ(decider.questions.size(), 1u);
    const DupeQuestion& q = decider.questions[0];
    EXPECT_EQ(q.ImportTitle, "Apfelkuchen vom Blech");
    EXPECT_EQ(q.ExistingTitle, "Apfelkuchen vom Blech");
    EXPECT_EQ(q.Recommendation, "Ignorieren: Das zu importierende Rezept ist älter oder gleich.");
    EXPECT_EQ(q.Books, "Das Rezept ist im Kochbuch Import");
    EXPECT_TRUE(run.IsCancelled());
    EXPECT_EQ(run.Counters().Skipped, 1);

    ScriptedDecider importAll;
    importAll.answer = dupe::kImport;
    importAll.stopAsking = true;
    RecipeImport& second = Run({"twocol.mm"}, DupePreset::Ask);
    second.SetDecider(&importAll);
    ASSERT_TRUE(second.Import());
    // Switched off after the first question; the rest takes the preset ("ignore").
    EXPECT_EQ(importAll.questions.size(), 1u);
    EXPECT_EQ(importAll.questions[0].Recommendation,
              "Kein Fingerprint aber gleicher Rezepttitel: Doppelte Rezepte ignorieren");
    EXPECT_EQ(second.Counters().Imported, 1);
    EXPECT_EQ(second.Counters().Skipped, 1);
}

// What counts as the same recipe: a title in any case and umlaut spelling when the file has no
// fingerprint, otherwise the fingerprint alone; and what becomes of a duplicate with each choice. A
// duplicate keeps the import date of the recipe it repeats, so that the recipe's history does not
// change with a second import. The word index follows stored, replaced and moved recipes.
TEST_P(RecipeImportTest, WhatCountsAsADuplicateAndWhatBecomesOfIt)
{
    struct Case
    {
        const char* what;
        std::string stored; // imported first; its import date is then set to 2001-02-03
        std::string again;
        DupePreset preset;
        bool trash;
        long imported, skipped, replaced, dupe; // counted by the second run
        long recipes, deleted, inDupeBook;      // rows afterwards: all, in the trash, set aside as duplicates
        long oldDate;                           // recipes that carry the first import's date afterwards
        bool kept;                              // the last recipe stored first is still there under its ID
    };
    const std::string cake = "1015412,2097153";
    const std::string twocol = test::ReadFile(DataFile("twocol.mm"));
    const Case cases[] = {
        {"upper case", MMRecipe("Käsespätzle"), MMRecipe("KÄSESPÄTZLE"), DupePreset::Ignore, false, 0, 1, 0,
         0, 1, 0, 0, 1, true},
        {"ae for ä", MMRecipe("Käsespätzle"), MMRecipe("Kaesespaetzle"), DupePreset::Ignore, false, 0, 1, 0,
         0, 1, 0, 0, 1, true},
        {"ä for ae", MMRecipe("Kaesespaetzle"), MMRecipe("Käsespätzle"), DupePreset::Ignore, false, 0, 1, 0,
         0, 1, 0, 0, 1, true},
        {"other title", MMRecipe("Käsespätzle"), MMRecipe("Kässpatzen"), DupePreset::Ignore, false, 1, 0, 0,
         0, 2, 0, 0, 1, true},
        {"known fingerprint, new title", MMRecipe("Apfelkuchen", cake), MMRecipe("Blechkuchen", cake),
         DupePreset::Ignore, false, 0, 1, 0, 0, 1, 0, 0, 1, true},
        {"new fingerprint, known title", MMRecipe("Apfelkuchen", cake),
         MMRecipe("Apfelkuchen", "1015413,2097154"), DupePreset::Ignore, false, 1, 0, 0, 0, 2, 0, 0, 1, true},
        {"twice in one file", "", MMRecipe("Linsensuppe") + MMRecipe("Linsensuppe"), DupePreset::Ignore,
         false, 1, 1, 0, 0, 1, 0, 0, 0, false},
        {"replaced", MMRecipe("Linsensuppe"), MMRecipe("Linsensuppe"), DupePreset::Replace, false, 1, 0, 1, 0,
         1, 0, 0, 1, true},
        {"moved aside", MMRecipe("Linsensuppe"), MMRecipe("Linsensuppe"), DupePreset::Move, false, 0, 0, 0, 1,
         2, 0, 1, 2, true},
        // The new recipe takes the old one's ID unless the old one goes to the trash.
        {"two replaced", twocol, twocol, DupePreset::Replace, false, 2, 0, 2, 0, 2, 0, 0, 2, true},
        {"two replaced, the old ones in the trash", twocol, twocol, DupePreset::Replace, true, 2, 0, 2, 0, 4,
         2, 0, 4, false},
        {"two moved aside", twocol, twocol, DupePreset::Move, false, 0, 0, 0, 2, 4, 0, 2, 4, true},
        {"two ignored", twocol, twocol, DupePreset::Ignore, false, 0, 2, 0, 0, 2, 0, 0, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        m_db = test::MakeBaseDataDatabaseOn(GetParam(), dir, &m_connect);
        CreateSearchIndex(*m_db);
        if (!c.stored.empty()) {
            ASSERT_TRUE(RunText(c.stored, DupePreset::Ignore).Import());
            m_db->Execute("UPDATE T_REZ_KOPF SET RezImportDate=?", {DateSerial::FromParts(2001, 2, 3)});
        }
        const long last = Count(*m_db, "SELECT MAX(ID) FROM T_REZ_KOPF");
        RecipeImport& run = RunText(c.again, c.preset);
        run.Options().DupeTrash = c.trash;
        ASSERT_TRUE(run.Import()) << run.LastErrorText();
        EXPECT_EQ(run.Counters().Imported, c.imported);
        EXPECT_EQ(run.Counters().Skipped, c.skipped);
        EXPECT_EQ(run.Counters().Replaced, c.replaced);
        EXPECT_EQ(run.Counters().Dupe, c.dupe);
        EXPECT_EQ(Count(*m_db, "SELECT COUNT(*) FROM T_REZ_KOPF"), c.recipes);
        EXPECT_EQ(Count(*m_db, "SELECT COUNT(*) FROM T_REZ_KOPF WHERE FlagDeleted<>0"), c.deleted);
        EXPECT_EQ(Count(*m_db, "SELECT COUNT(*) FROM T_REZ_KOCHBUCH WHERE BuchID=-2"), c.inDupeBook);
        EXPECT_EQ(Count(*m_db, "SELECT COUNT(*) FROM T_REZ_KOPF WHERE RezImportDate<40000"), c.oldDate);
        EXPECT_EQ(Count(*m_db, "SELECT COUNT(*) FROM T_REZ_KOPF WHERE ID=" + std::to_string(last) +
                                   " AND FlagDeleted=0"),
                  c.kept ? 1 : 0);
        // No orphaned rows: every line belongs to a stored recipe.
        EXPECT_EQ(
            Count(*m_db, "SELECT COUNT(*) FROM T_REZ_ZUTAT WHERE ID NOT IN (SELECT ID FROM T_REZ_KOPF)"), 0);
        EXPECT_EQ(test::IndexDisagreement(*m_db), "");
        m_import.reset();
        m_db.reset();
    }
}

TEST_P(RecipeImportTest, TitleCandidatesSetAsideAsDuplicatesDoNotCount)
{
    ASSERT_TRUE(Run({"german-utf8.mm"}).Import());
    // The same title again, without fingerprint: a duplicate by title, set aside.
    ASSERT_TRUE(Run({"german-1252.mm"}, DupePreset::Move).Import());
    EXPECT_EQ(m_import->Counters().Dupe, 1);
    // One candidate set aside does not hide the one that is stored as a real recipe.
    ASSERT_TRUE(Run({"german-850.mm"}, DupePreset::Ignore).Import());
    EXPECT_EQ(m_import->Counters().Skipped, 1);
    EXPECT_EQ(m_import->Counters().Imported, 0);
    const long first = IdOf("Würzige Käsespätzle");
    m_db->Execute("INSERT INTO T_REZ_KOCHBUCH (RezID, BuchID) VALUES (?, -2)", {first});
    // Now every candidate sits in the duplicates: the recipe is new.
    RecipeImport& run = Run({"german-850.mm"}, DupePreset::Ignore);
    ASSERT_TRUE(run.Import());
    EXPECT_EQ(run.Counters().Imported, 1);
    EXPECT_EQ(run.Counters().Skipped, 0);
}

TEST_P(RecipeImportFileTest, FaultyRecipeIsReportedAndTheRunGoesOn)
{
    // A write that fails for one recipe leaves nothing of it behind, in the rows or in the index.
    CreateSearchIndex(*m_db);
    test::ExecuteRawSql(m_dir.File("base.db"),
                        "CREATE TRIGGER refuse BEFORE INSERT ON T_REZ_ANWEIS WHEN NEW.AnwText LIKE 'Simmer%' "
                        "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    RunText("MMMMM----- Recipe via Meal-Master (tm) v8.05\n      Yield: 2\n\n      1    Ei\n\nMMMMM\n" +
                test::ReadFile(DataFile("twocol.mm")),
            DupePreset::Ignore);
    const std::string file = m_import->Options().Files[0];
    ASSERT_TRUE(m_import->Import());
    EXPECT_EQ(m_import->Summary(), "importiert: 1, übersprungen: 0, fehlerhaft: 2");
    ASSERT_EQ(m_import->Problems().size(), 2u);
    EXPECT_EQ(m_import->Problems()[0], file + ", Zeile 1: Rezept ohne Titel");
    EXPECT_EQ(m_import->Problems()[1].substr(0, file.size() + 10), file + ", Zeile 26");
    EXPECT_EQ(Count(*m_db, "SELECT COUNT(*) FROM T_REZ_KOPF"), 1);
    EXPECT_EQ(Count(*m_db, "SELECT COUNT(*) FROM T_REZ_ZUTAT WHERE ID NOT IN (SELECT ID FROM T_REZ_KOPF)"),
              0);
    EXPECT_EQ(Count(*m_db, "SELECT COUNT(*) FROM T_REZ_CAT_NDX WHERE ID NOT IN (SELECT ID FROM T_REZ_KOPF)"),
              0);
    EXPECT_EQ(test::IndexDisagreement(*m_db), "");
    for (const char* table : {kTitleIndexTable, kTextIndexTable, kIngredientIndexTable})
        EXPECT_NO_THROW(m_db->Execute(std::string("INSERT INTO ") + table + "(" + table +
                                      ", rank) VALUES('integrity-check', 0)"))
            << table;
}

TEST_P(RecipeImportFileTest, FailedReplacementKeepsTheOldRecipe)
{
    CreateSearchIndex(*m_db);
    ASSERT_TRUE(Run({"twocol.mm"}).Import());
    const long soup = IdOf("Tomato Soup");
    test::ExecuteRawSql(m_dir.File("base.db"),
                        "CREATE TRIGGER refuse BEFORE INSERT ON T_REZ_ANWEIS WHEN NEW.AnwText LIKE 'Simmer%' "
                        "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    // The new soup differs from the old one, which the index must keep.
    std::string changed = test::ReadFile(DataFile("twocol.mm"));
    changed.replace(changed.find("tomatoes"), 8, "Flaschentomaten");
    RecipeImport& run = RunText(changed, DupePreset::Replace);
    ASSERT_TRUE(run.Import());
    EXPECT_EQ(run.Counters().Replaced, 1);
    EXPECT_EQ(run.Counters().Faulty, 1);
    EXPECT_EQ(IdOf("Tomato Soup"), soup);
    EXPECT_EQ(Count(*m_db, "SELECT COUNT(*) FROM T_REZ_ZUTAT WHERE ID=" + std::to_string(soup)), 4);
    EXPECT_EQ(Count(*m_db, "SELECT COUNT(*) FROM T_REZ_KOPF"), 2);
    EXPECT_EQ(test::IndexDisagreement(*m_db), "");
}

TEST_P(RecipeImportFileTest, FullDiskStopsTheRunAndCountsOnlyWhatIsStored)
{
    // The size limit makes the engine report a full disk exactly where a full disk would.
    CreateSearchIndex(*m_db);
    const long pages = static_cast<long>(m_db->Scalar("PRAGMA page_count").AsLong());
    m_db->Execute("PRAGMA max_page_count=" + std::to_string(pages + 20));
    RunText(test::RecipeFile("Rezept", 1, 400), DupePreset::Ignore).Options().CommitEvery = 50;
    EXPECT_FALSE(m_import->Import());
    EXPECT_NE(m_import->LastErrorText().find("Nicht genügend Speicherplatz auf dem Datenträger."),
              std::string::npos)
        << m_import->LastErrorText();
    EXPECT_TRUE(m_import->Problems().empty()) << m_import->Problems().front();
    const long stored = Count(*m_db, "SELECT COUNT(*) FROM T_REZ_KOPF");
    EXPECT_GT(stored, 0);
    EXPECT_LT(stored, 400);
    EXPECT_EQ(m_import->Counters().Imported, stored);
    EXPECT_EQ(Count(*m_db, "SELECT COUNT(*) FROM T_REZ_ZUTAT WHERE ID NOT IN (SELECT ID FROM T_REZ_KOPF)"),
              0);
    m_db->Execute("PRAGMA max_page_count=1073741823"); // room for the check's own writes
    EXPECT_EQ(test::IndexDisagreement(*m_db), "");
}

// A batch's new recipes go on the index's list at its commit and are indexed from there: the index
// must then hold exactly what the rows hold, for every kind of row and for recipes replaced within
// a batch.
TEST_P(RecipeImportFileTest, WordIndexHoldsExactlyWhatTheRowsHold)
{
    std::string longText;
    for (int i = 0; longText.size() < 40000; ++i)
        longText += "  Die Äpfel schälen, würfeln und " + std::to_string(i) + " Minuten dünsten.\n";
    auto recipe = [](const std::string& title, const std::string& lines, const std::string& text) {
        return "MMMMM----- Recipe via Meal-Master (tm) v8.05\n\n      Title: " + title +
               "\n Categories: Test\n      Yield: 2\n\n" + lines + "\n" + text + "\nMMMMM\n\n";
    };
    const std::string text =
        recipe("Apfelmus",
               "    500 g  Äpfel\nMMMMM--------------------------SOSSE--------------------------\n"
               "    100 ml Sahne\n           Zimt\n",
               longText) +
        recipe("Ohne Zubereitung", "      1    Ei\n", "") + recipe("Ohne Zutaten", "", "  Nur kochen.\n") +
        recipe("Apfelmus", "    750 g  Boskop\n      1 EL Zucker\n", "  Anders gekocht.\n") +
        test::ReadFile(DataFile("twocol.mm")) + test::ReadFile(DataFile("german-utf8.mm"));
    CreateSearchIndex(*m_db);
    for (const DupePreset preset : {DupePreset::Ignore, DupePreset::Replace})
        for (const int every : {1, 1000}) {
            SCOPED_TRACE(std::to_string(every) + (preset == DupePreset::Replace ? " ersetzen" : ""));
            RecipeImport& run = RunText(text, preset);
            run.Options().CommitEvery = every;
            ASSERT_TRUE(run.Import()) << run.LastErrorText();
            EXPECT_EQ(test::IndexDisagreement(*m_db), "");
        }
    EXPECT_GT(m_import->Counters().Replaced, 0);
    // An index of the version before the list of recipes to index gets it with the first batch.
    test::MakeIndexOfEarlierVersion(*m_db);
    ASSERT_TRUE(RunText(text, DupePreset::Replace).Import()) << m_import->LastErrorText();
    EXPECT_EQ(test::IndexDisagreement(*m_db), "");
}

TEST_P(RecipeImportFileTest, LockHeldByAnotherProgramEndsTheRunCleanly)
{
    auto other = Database::OpenSqlite(m_dir.File("base.db"));
    other->BeginTrans();
    OpenOptions quick;
    quick.BusyTimeoutMs = 50;
    auto own = Database::OpenSqlite(m_dir.File("base.db"), quick);
    RecipeImport run(*own);
    run.Options().Files = {DataFile("twocol.mm")};
    run.Options().LockWaitSeconds = 1;
    std::vector<std::string> notices;
    run.SetNotice([&](const std::string& text) { notices.push_back(text); });
    EXPECT_FALSE(run.Import());
    EXPECT_EQ(run.LastErrorText(), "Die Datenbank ist von einem anderen Programm gesperrt. Der Import wurde "
                                   "beendet; gespeichert sind 0 Rezepte.");
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find("momentan gesperrt"), std::string::npos);
    other->Rollback();
    EXPECT_TRUE(run.Import());
    EXPECT_EQ(run.Counters().Imported, 2);
}

TEST_P(RecipeImportTest, CancelKeepsWhatWasStored)
{
    RecipeImport& run = Run({"twocol.mm", "single.mm"});
    run.Options().CommitEvery = 1000;
    run.SetProgress([&](const ImportCounters& counters, const std::string&) {
        if (counters.Imported == 1)
            run.Cancel();
    });
    ASSERT_TRUE(run.Import());
    EXPECT_EQ(run.Counters().Imported, 1);
    // The other connection sees the committed recipe; the cancelled file is not in the history.
    auto other = OpenDatabase(m_connect.empty() ? m_dir.File("base.db") : m_connect);
    EXPECT_EQ(Count(*other, "SELECT COUNT(*) FROM T_REZ_KOPF"), 1);
    EXPECT_EQ(Count(*other, "SELECT COUNT(*) FROM T_REZ_IMPORT"), 0);
}

TEST_P(RecipeImportTest, ZipArchiveImportsEveryFileInside)
{
    RecipeImport& run = Run({"several.zip"});
    ASSERT_TRUE(run.Import());
    EXPECT_EQ(run.Counters().Imported, 3);
    EXPECT_EQ(run.Counters().Files, 3);
    EXPECT_NE(IdOf("Würzige Käsespätzle"), 0);
    EXPECT_EQ(ZipEntryNames(DataFile("several.zip")).size(), 3u);

    RecipeImport& broken = Run({"single.mm.zip"});
    ASSERT_TRUE(broken.Import());
    ASSERT_EQ(broken.Problems().size(), 1u);
    EXPECT_NE(broken.Problems()[0].find("Entweder keine gültige ZIP-Datei oder leer..."), std::string::npos);

    // A damaged entry (its checksum does not match) costs only its own recipes.
    std::string bytes = test::ReadFile(DataFile("several.zip"));
    for (std::size_t at = bytes.find("\x1b\xc3\x66\x3b"); at != std::string::npos; at = bytes.find("\x1b\xc3\x66\x3b"))
        bytes[at] = '\x1c';
    const std::string damaged = m_dir.File("beschaedigt.zip");
    test::WriteFile(damaged, bytes);
    RecipeImport& rest = Run({});
    rest.Options().Files = {damaged};
    ASSERT_TRUE(rest.Import());
    EXPECT_EQ(rest.Counters().Files, 2);
    EXPECT_EQ(rest.Summary(), "importiert: 0, übersprungen: 1, fehlerhaft: 0"); // read, and known from above
    ASSERT_EQ(rest.Problems().size(), 1u);
    EXPECT_TRUE(rest.Problems()[0].starts_with(damaged + ": \"us/twocol.mm\": ")) << rest.Problems()[0];
    EXPECT_TRUE(rest.Problems()[0].ends_with(" Der Eintrag wird übergangen.")) << rest.Problems()[0];
}

TEST_P(RecipeImportTest, InformationBlockSetsOriginNotesAndFoodKeys)
{
    m_db->Execute("INSERT INTO T_BLS_KEY (ID, SBLS) VALUES (77, 'M111000')");
    ASSERT_TRUE(Run({"source-info.mm"}).Import());
    ClRecipe soup = Load("Linsensuppe");
    EXPECT_EQ(soup.OriginName(), "Deutschland");
    EXPECT_EQ(soup.Notizen(), "Mit Essig abschmecken.");
    EXPECT_EQ(soup.SourceText(), "Kochbuch der Gemeinde\n-- Erfasst von Hans Muster");

    // Food keys follow the written lines, continuation lines included.
    ASSERT_TRUE(Run({"food-keys.mm"}, DupePreset::Ask).Import());
    const long id = IdOf("Mit Schluesseln");
    EXPECT_EQ(Count(*m_db, "SELECT ZutBLSID FROM T_REZ_ZUTAT WHERE ID=" + std::to_string(id) + " AND [No]=2"),
              77);
    EXPECT_EQ(Count(*m_db, "SELECT ZutBLSID FROM T_REZ_ZUTAT WHERE ID=" + std::to_string(id) + " AND [No]=1"),
              0);
}

// The server ends the run's connection between two recipes: the run stops at the next recipe that
// needs the server, with the server's message, and keeps what earlier batches committed, instead
// of going on and failing recipe by recipe.
class RecipeImportServerTest : public RecipeImportTest
{
};

TEST_P(RecipeImportServerTest, LostServerStopsTheRunAndKeepsWhatWasCommitted)
{
    const std::string pid = dynamic_cast<PgDatabase&>(*m_db).NativeText("SELECT pg_backend_pid()");
    RecipeImport run(*m_db);
    run.Options().CommitEvery = 10;
    const bool ok = run.ImportRecords([&] {
        for (long n = 1; n <= 100; ++n) {
            ImportRecipe recipe;
            recipe.Title = "Netz " + std::to_string(n);
            recipe.Categories = {"Kategorie " + std::to_string(n)};
            recipe.Zubereitung = "Alles verrühren.";
            run.StoreRecipe(recipe);
            if (n == 25)
                dynamic_cast<PgDatabase&>(*OpenDatabase(m_connect))
                    .NativeText("SELECT pg_terminate_backend(" + pid + ")");
        }
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(run.LastErrorText().find("ODBC-Verbindung zu '"), 0u) << run.LastErrorText();
    EXPECT_NE(run.LastErrorText().find("' fehlgeschlagen. Der Datenbankserver ist nicht erreichbar. Der Import "
                                       "wurde beendet; gespeichert sind 20 Rezepte."),
              std::string::npos)
        << run.LastErrorText();
    EXPECT_EQ(run.Summary(), "importiert: 20, übersprungen: 0, fehlerhaft: 6");
    EXPECT_TRUE(run.Problems().empty()) << run.Problems().front();
    auto other = OpenDatabase(m_connect);
    EXPECT_EQ(Count(*other, "SELECT COUNT(*) FROM T_REZ_KOPF WHERE RezTitle LIKE 'Netz *'"), 20);
    EXPECT_EQ(Count(*other, "SELECT COUNT(*) FROM T_REZ_ANWEIS WHERE ID NOT IN (SELECT ID FROM T_REZ_KOPF)"), 0);
}

PF_ON_BOTH_BACKENDS(RecipeImportTest);

PF_ON_FILE_BACKEND(RecipeImportFileTest);

INSTANTIATE_TEST_SUITE_P(Backends, RecipeImportServerTest, ::testing::Values(test::Backend::Server),
                         test::BackendName);

} // namespace
} // namespace pf

