// Lexicon entries, utensils and trees as the editor and the maintenance window use them: numbers
// of new entries and generated additive keys, keywords in several languages, moving an entry to
// another area, deleting, and the prefix tree of an area.

#include "lexicon/LexiconEntry.h"
#include "lexicon/LexiconAreas.h"
#include "lexicon/LexiconFoodLinks.h"
#include "lexicon/LexiconMaintenance.h"
#include "lexicon/LexiconTree.h"
#include "lexicon/clTool.h"
#include "tests/lexicon/LexiconTestDb.h"
#include "tests/support/Each.h"
#include "tests/support/TempDir.h"

#include <gmock/gmock.h>

#include <optional>
#include <set>
#include <tuple>

namespace pf {
namespace {

using test::Each;
using test::LexiconDb;

LexiconEntry NewEntry(Database& db, long area, std::vector<LexiconSynonym> synonyms, std::string tree = "")
{
    LexiconEntry entry(area);
    entry.SetDB(db);
    entry.Synonyms() = std::move(synonyms);
    entry.Tree(std::move(tree));
    return entry;
}

// A new entry with this text, saved.
LexiconEntry SavedEntry(Database& db, long area, std::vector<LexiconSynonym> synonyms, std::string text = "")
{
    LexiconEntry entry = NewEntry(db, area, std::move(synonyms));
    entry.Text = std::move(text);
    EXPECT_TRUE(entry.Save()) << entry.LastErrorText();
    return entry;
}

// The entry of that area and number as the database holds it.
std::optional<LexiconEntry> Loaded(Database& db, long area, long id)
{
    LexiconEntry entry;
    entry.SetDB(db);
    return entry.LoadByID(area, id) ? std::optional<LexiconEntry>(entry) : std::nullopt;
}

// A utensil with this German keyword, saved.
clTool SavedTool(Database& db, const char* keyword, const char* description = "")
{
    clTool tool;
    tool.SetDB(db);
    tool.SynonymAdd(keyword, 1);
    tool.Description(description);
    EXPECT_TRUE(tool.Save()) << tool.LastErrorText();
    return tool;
}

// Nodes hang under their prefix parent; entries under their node, those of unknown nodes at the top.
TEST_F(LexiconDb, TreeNodesAndEntries)
{
    LexiconTree nodes;
    nodes.SetNodes(0, {{"abcd", "Enkel"}, {"ABC", "Kind"}, {"AB", "Oben"}, {"XYZW1", "ohne Eltern"},
                       {"XY", "Wurzel"}, {"  k01 ", "Teig"}, {"K0123456789ZZ", "zu lang"}});
    // A key and its parent; XYZW and XYZ are missing: XYZW1 is at the top level.
    const std::pair<const char*, const char*> cases[] = {
        {"ABCD", "ABC"}, {"ABC", ""}, {"AB", ""}, {"XYZW1", ""}, {"K01", ""}, {"K012345678", "K01"}};
    for (const auto& [key, parent] : cases) {
        const LexiconTreeNode* node = nodes.Find(key);
        ASSERT_TRUE(node) << key;
        EXPECT_EQ(node->Parent, parent) << key;
    }
    EXPECT_EQ(Each(nodes.Children(""), &LexiconTreeNode::Key),
              (std::vector<std::string>{"AB", "ABC", "K01", "XY", "XYZW1"}));
    EXPECT_EQ(TreeParentKey("ABCD"), "ABC");
    EXPECT_EQ(TreeParentKey("AB"), "");

    db->Execute("INSERT INTO T_INFO_TREE ([KEY],KEYTYPE,KEYDESC) VALUES ('K01',5,'Garen'),"
                "('K011',5,'Feuchte Hitze'),('U01',2,'Messer')");
    NewEntry(*db, 5, {{"pochieren", 1}, {"poach", 4}}, "K011").Save();
    NewEntry(*db, 5, {{"dünsten", 1}}, "K01").Save();
    NewEntry(*db, 5, {{"flambieren", 1}}, "K99").Save();
    LexiconTree tree;
    tree.Load(*db, 5, LanguageGroupCondition("D"));
    ASSERT_EQ(tree.Nodes().size(), 2u);
    auto names = [&](const char* key) { return Each(tree.Entries(key), &LexiconTreeEntry::Keyword); };
    EXPECT_EQ(names("K011"), (std::vector<std::string>{"pochieren"}));
    EXPECT_EQ(names("K01"), (std::vector<std::string>{"dünsten"}));
    EXPECT_EQ(names(""), (std::vector<std::string>{"flambieren"}));
}

TEST_F(LexiconDb, AdditivesWithoutENumberGetGeneratedKeys)
{
    EXPECT_EQ(NextGeneratedAdditiveKey(*db), "-0001");
    std::vector<LexiconEntry> saved;
    for (const char* name : {"Farbstoff A", "Farbstoff B"})
        saved.push_back(SavedEntry(*db, 1, {{name, 1}}));
    LexiconEntry numbered = NewEntry(*db, 1, {{"Curcumin", 1}});
    numbered.ENumber = "E 100";
    ASSERT_TRUE(numbered.Save());
    EXPECT_EQ(saved[0].ENumber, "-0001");
    EXPECT_EQ(saved[1].ENumber, "-0002");
    EXPECT_EQ(numbered.ENumber, "E 100");
    EXPECT_EQ(std::set<long>({saved[0].Id(), saved[1].Id(), numbered.Id()}).size(), 3u);

    ASSERT_TRUE(saved[1].Delete());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_INFO_KEY WHERE KEYTYPE=1"), 2);
    EXPECT_EQ(SavedEntry(*db, 1, {{"Farbstoff C", 1}}).ENumber, "-0002");
    // Ten and more sort after nine as text: the four digits keep the order numeric.
    db->Execute("UPDATE T_GIFT SET [KEY]='-0009' WHERE [KEY]='-0002'");
    EXPECT_EQ(NextGeneratedAdditiveKey(*db), "-0010");
}

TEST_F(LexiconDb, UtensilWithSynonymsInThreeLanguagesIsOneRowAndThreeKeywords)
{
    clTool tool;
    tool.SetDB(*db);
    tool.SynonymAdd("Schneebesen", 1);
    tool.SynonymAdd("whisk", 4);
    tool.SynonymAdd("fouet", 6);
    tool.Tree("U03");
    tool.Description("Drahtschlaufen zum Aufschlagen von Sahne und Eischnee.");
    ASSERT_TRUE(tool.Save()) << tool.LastErrorText();
    EXPECT_EQ(tool.id(), 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_GERAET"), 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_INFO_KEY WHERE ID=1 AND KeyType=2 AND Tree='U03'"), 3);

    clTool loaded;
    loaded.SetDB(*db);
    ASSERT_TRUE(loaded.LoadByID(1));
    EXPECT_EQ(loaded.Synonyms(), tool.Synonyms());
    EXPECT_EQ(loaded.Description(), tool.Description());
    EXPECT_EQ(loaded.Tree(), "U03");
    EXPECT_EQ(loaded.Name(), "Schneebesen");
    EXPECT_EQ(loaded.Fingerprint().FP2(), tool.Fingerprint().FP2());

    // Saving again replaces the rows instead of adding to them.
    loaded.SynonymRemove(2);
    ASSERT_TRUE(loaded.Save());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_INFO_KEY WHERE KeyType=2"), 2);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_GERAET"), 1);

    std::vector<ToolListRow> list;
    ASSERT_TRUE(tool.FillList(list));
    ASSERT_EQ(list.size(), 1u); // only the keywords of the user's language group
    EXPECT_EQ(list[0].Keyword, "Schneebesen");
}

TEST_F(LexiconDb, ImportMergesUtensilsByNameAndRecipesListTheirUtensils)
{
    clTool tool;
    tool.SetDB(*db);
    const long whisk = tool.ImportUpdate("Schneebesen");
    ASSERT_GT(whisk, 0);
    EXPECT_TRUE(db->Scalar("SELECT Userflag FROM T_GERAET WHERE ID=" + std::to_string(whisk)).AsBool());
    EXPECT_EQ(tool.ImportUpdate("  SCHNEEBESEN "), whisk);
    const long press = tool.ImportUpdate("Spätzle*presse");
    EXPECT_NE(press, whisk);
    EXPECT_EQ(Text("SELECT [KEY] FROM T_INFO_KEY WHERE KEYTYPE=2 AND ID=" + std::to_string(press)),
              "Spätzlepresse");
    EXPECT_EQ(tool.ImportUpdate(" "), 0);

    db->Execute("INSERT INTO T_REZ_GERAET (RezID, GeraetID) VALUES (5, ?), (5, ?), (5, 999), (6, ?)",
                {press, whisk, whisk});
    EXPECT_EQ(Each(RecipeTools(*db, 5), &clTool::Name),
              (std::vector<std::string>{"Schneebesen", "Spätzlepresse"}));
}

TEST_F(LexiconDb, ChangingTheAreaMovesEverySynonym)
{
    LexiconEntry term = NewEntry(*db, 0, {{"Zitronensäure", 1}, {"citric acid", 4}}, "F01");
    term.Text = "Säuerungsmittel aus Zitrusfrüchten.";
    ASSERT_TRUE(term.Save());
    // Area 1 already uses the number: the moved entry takes the next free one there.
    const LexiconEntry other = SavedEntry(*db, 1, {{"Ascorbinsäure", 1}});
    ASSERT_EQ(other.Id(), term.Id());
    db->Execute("INSERT INTO T_BLS_INFO (BLSID,KEYID,KEYTYPE,Prefered) VALUES (40,?,0,-1)", {term.Id()});

    term.Area(1);
    term.ENumber = "E 330";
    term.Info = term.Text;
    ASSERT_TRUE(term.Save()) << term.LastErrorText();
    EXPECT_NE(term.Id(), other.Id());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_INFO_KEY WHERE KEYTYPE=0"), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_LEXIKON"), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_INFO_KEY WHERE KEYTYPE=1 AND ID=" + std::to_string(term.Id())),
              2);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_INFO_KEY WHERE KEYTYPE=1 AND ID=" + std::to_string(other.Id())),
              1);
    // The food it explained still points to it.
    EXPECT_EQ(Count("SELECT KEYID FROM T_BLS_INFO WHERE BLSID=40 AND KEYTYPE=1 AND Prefered<>0"), term.Id());

    const std::optional<LexiconEntry> loaded = Loaded(*db, 1, term.Id());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->ENumber, "E 330");
    EXPECT_EQ(loaded->Info, "Säuerungsmittel aus Zitrusfrüchten.");
    EXPECT_EQ(loaded->Tree(), "F01");
    EXPECT_EQ(loaded->Synonyms().size(), 2u);
}

TEST_F(LexiconDb, TextAndWineEntriesRoundTrip)
{
    LexiconEntry wine = NewEntry(*db, 6, {{"Riesling Spätlese", 1}});
    wine.Text = "Fruchtig mit feiner Säure.";
    wine.Label = "Weingut am Hang";
    wine.Jahr = 2019;
    wine.Alkohol = Decimal4::Parse("11.5");
    wine.Detail = "Mosel";
    ASSERT_TRUE(wine.Save()) << wine.LastErrorText();
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_WEIN WHERE ID=1"), 2); // neutral row and German row
    ASSERT_TRUE(wine.Save());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_WEIN WHERE ID=1"), 2);

    LexiconEntry loaded;
    loaded.SetDB(*db);
    ASSERT_TRUE(loaded.LoadByID(6, 1));
    EXPECT_EQ(loaded.Text, wine.Text);
    EXPECT_EQ(loaded.Label, wine.Label);
    EXPECT_EQ(loaded.Jahr, 2019);
    EXPECT_EQ(loaded.Alkohol, wine.Alkohol);
    EXPECT_EQ(loaded.Detail, "Mosel");
    EXPECT_FALSE(loaded.LoadByID(6, 2));
    EXPECT_EQ(loaded.LastError(), LexiconEntry::kRefusedMissing);
    EXPECT_EQ(loaded.Id(), 1); // a failed load keeps what the editor shows

    ASSERT_TRUE(loaded.Delete());
    for (const char* table : {"T_WEIN", "T_LEXIKON", "T_INFO_KEY"})
        EXPECT_EQ(Count(std::string("SELECT COUNT(*) FROM ") + table), 0) << table;
}

TEST_F(LexiconDb, RefusedOrFailedSavesWriteNothing)
{
    LexiconEntry kept = SavedEntry(*db, 0, {{"Fond", 1}}, "Kräftiger Sud.");

    std::tuple<const char*, LexiconEntry, long> cases[] = {
        {"no keyword", NewEntry(*db, 0, {}), LexiconEntry::kRefusedNoKeyword},
        {"empty keyword", NewEntry(*db, 5, {{"", 1}}), LexiconEntry::kRefusedNoKeyword},
        {"food area", NewEntry(*db, 3, {{"Apfel", 1}}), LexiconEntry::kRefusedArea},
        {"recipe area", NewEntry(*db, 4, {{"Apfel", 1}}), LexiconEntry::kRefusedArea},
        {"unnamed area", NewEntry(*db, 8, {{"Apfel", 1}}), LexiconEntry::kRefusedArea},
    };
    for (auto& [name, entry, error] : cases) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(entry.Save());
        EXPECT_EQ(entry.LastError(), error);
    }
    ui.Answering(Answer::No);
    LexiconEntry declined = NewEntry(*db, 0, {{"Farce", 1}});
    EXPECT_FALSE(declined.Save(true));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].Text, "Eintrag \"Farce\" Speichern");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_INFO_KEY"), 1);

    // A failure after the keywords were rewritten rolls them back and keeps the entry's number.
    db->RenameTable("T_LEXIKON", "T_LEXIKON_WEG");
    kept.Synonyms() = {{"Fonds", 1}, {"stock", 4}};
    EXPECT_FALSE(kept.Save());
    EXPECT_GT(kept.LastError(), 0);
    EXPECT_EQ(kept.Synonyms().size(), 2u);
    EXPECT_EQ(Text("SELECT [KEY] FROM T_INFO_KEY"), "Fond");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_INFO_KEY"), 1);
}

TEST_F(LexiconDb, MaintenanceListsEntriesWithoutTextAndDeletesChosenOnes)
{
    SavedTool(*db, "Wiegemesser", "Gebogene Klinge mit zwei Griffen.");
    const clTool bare = SavedTool(*db, "Apfelausstecher");
    SavedEntry(*db, 1, {{"Rätselstoff", 1}});
    SavedEntry(*db, 0, {{"Roux", 1}}, "Mehlschwitze.");

    const auto utensils = LexiconDeleteList(*db, 2);
    ASSERT_EQ(utensils.size(), 2u);
    EXPECT_EQ(utensils[0].Keyword, "Apfelausstecher");
    EXPECT_FALSE(utensils[0].HasDescription);
    EXPECT_TRUE(utensils[1].HasDescription);
    EXPECT_FALSE(LexiconDeleteList(*db, 1).at(0).HasDescription);
    EXPECT_TRUE(LexiconDeleteList(*db, 0).at(0).HasDescription);

    EXPECT_EQ(DeleteLexiconEntries(*db, 2, {bare.id()}), 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_GERAET"), 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_INFO_KEY WHERE KEYTYPE=2"), 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_INFO_KEY"), 3);
    EXPECT_EQ(NextEntryID(*db, 2), 2);
    EXPECT_EQ(NextEntryID(*db, 6), 1);
}

// The special menu's lists: additives and utensils without text (empty counts as none), and food
// keywords that name two foods (the same word in another area does not count).
TEST_F(LexiconDb, SpecialListsFindEntriesWithoutTextAndDoubleFoodKeys)
{
    db->Execute("INSERT INTO T_INFO_KEY (ID, [KEY], KEYTYPE) VALUES (1, 'E 100', 1), (2, 'E 101', 1), "
                "(3, 'E 102', 1), (1, 'Reibe', 2), (2, 'Sieb', 2)");
    db->Execute("INSERT INTO T_GIFT (ID, Info) VALUES (1, 'Kurkumin'), (2, NULL), (3, '')");
    db->Execute("INSERT INTO T_GERAET (ID, GerMerkmalD) VALUES (1, NULL), (2, 'Zum Abgießen')");
    using Rows = std::vector<std::vector<std::string>>;
    EXPECT_EQ(EntriesWithoutDescription(*db).Rows,
              (Rows{{"Zusatzstoffe", "2", "E 101"}, {"Zusatzstoffe", "3", "E 102"},
                    {"Utensilien", "1", "Reibe"}}));

    db->Execute("INSERT INTO T_BLS_KEY (ID, SBLS, ST) VALUES (1, 'M100000', 'Milch'), "
                "(2, 'M110000', 'Vollmilch'), (3, 'K100000', 'Käse')");
    db->Execute("INSERT INTO T_INFO_KEY (ID, [KEY], KEYTYPE) VALUES (1, 'Milch', 3), (2, 'Milch', 3), "
                "(3, 'Käse', 3), (3, 'Milch', 2)");
    EXPECT_EQ(DuplicateFoodKeys(*db).Rows, (Rows{{"Milch", "2", "M100000 Milch; M110000 Vollmilch"}}));
}

TEST_F(LexiconDb, DeletingAskedEntriesLeavesNoLinksForALaterEntryOfTheSameNumber)
{
    const clTool press = SavedTool(*db, "Spätzlepresse");
    db->Execute("INSERT INTO T_REZ_GERAET (RezID, GeraetID) VALUES (5, ?), (6, ?), (6, ?)",
                {press.id(), press.id(), press.id()});
    db->Execute("INSERT INTO T_BLS_INFO (BLSID, KEYID, KEYTYPE) VALUES (40, ?, 2), (41, ?, 0)",
                {press.id(), press.id()});
    std::optional<LexiconEntry> entry = Loaded(*db, 2, press.id());
    ASSERT_TRUE(entry);

    ui.Answering(Answer::No).Answering(Answer::Yes);
    EXPECT_FALSE(entry->Delete(true));
    EXPECT_EQ(entry->LastError(), LexiconEntry::kRefusedDeclined);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_GERAET"), 1);
    ASSERT_TRUE(entry->Delete(true));
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[0].Text, "Soll der Eintrag \"Spätzlepresse\" gelöscht werden?\n\nDas Gerät ist in 2 "
                                "Rezepten eingetragen und wird dort entfernt.");
    EXPECT_EQ(ui.shown[0].Default, Answer::No);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_GERAET"), 0);
    // Only the link to the utensil goes; a link to the term of the same number stays.
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_BLS_INFO WHERE KEYTYPE=0"), 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_BLS_INFO"), 1);

    // The next utensil takes the freed number and is in no recipe.
    EXPECT_EQ(SavedTool(*db, "Reibe").id(), press.id());
    EXPECT_TRUE(RecipeTools(*db, 6).empty());
}

TEST_F(LexiconDb, FoodLinksAreAddedOncePreferredOnceAndListedFromBothSides)
{
    db->Execute("INSERT INTO T_BLS_KEY (ID,SBLS,ST) VALUES (40,'M130000','Milch'), (41,'Q100000','Butter')");
    NewEntry(*db, 5, {{"Buttern", 1}}).Save();
    NewEntry(*db, 10, {{"Vitamin A", 1}, {"retinol", 4}}).Save();
    NewEntry(*db, 2, {{"Butterfass", 1}}).Save();

    // Food, area, entry, whether a link was added.
    const std::tuple<long, long, long, bool> adds[] = {
        {41, 5, 1, true},   {41, 10, 1, true}, {40, 10, 1, true},
        {41, 2, 1, true},   {41, 5, 1, false}, // already linked
        {99, 5, 1, false},                     // no such food
        {41, 0, 7, false},                     // no such entry
        {41, 3, 40, false},                    // foods are not explained by foods
    };
    for (const auto& [food, area, entry, added] : adds)
        EXPECT_EQ(AddFoodLink(*db, food, area, entry), added) << food << " " << area << " " << entry;

    auto names = [](const std::vector<FoodLexiconLink>& links, bool entries) {
        std::vector<std::string> out;
        for (const FoodLexiconLink& link : links)
            out.push_back((link.Preferred ? "*" : "") + (entries ? link.EntryName : link.FoodName));
        return out;
    };
    EXPECT_EQ(names(LinksOfFood(*db, 41), true),
              (std::vector<std::string>{"Butterfass", "Buttern", "Vitamin A"})); // by area
    EXPECT_TRUE(SetPreferredFoodLink(*db, 41, 5, 1));
    EXPECT_TRUE(SetPreferredFoodLink(*db, 41, 10, 1)); // only one is preferred
    EXPECT_FALSE(SetPreferredFoodLink(*db, 40, 5, 1));
    EXPECT_EQ(names(LinksOfFood(*db, 41), true),
              (std::vector<std::string>{"*Vitamin A", "Butterfass", "Buttern"}));
    EXPECT_EQ(names(LinksOfEntry(*db, 10, 1), false), (std::vector<std::string>{"*Butter", "Milch"}));

    EXPECT_TRUE(RemoveFoodLink(*db, 41, 10, 1));
    EXPECT_FALSE(RemoveFoodLink(*db, 41, 10, 1));
    EXPECT_EQ(names(LinksOfEntry(*db, 10, 1), false), (std::vector<std::string>{"Milch"}));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_BLS_INFO"), 3);
}

TEST_F(LexiconDb, MaintenanceDeletionAsksOnceForAllMarkedEntries)
{
    std::vector<long> ids;
    for (const char* name : {"Fond", "Farce", "Jus"})
        ids.push_back(SavedEntry(*db, 0, {{name, 1}}).Id());
    ui.Answering(Answer::No).Answering(Answer::Yes).Answering(Answer::Yes);
    EXPECT_EQ(DeleteLexiconEntries(*db, 0, {ids[0], ids[1]}, true), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_INFO_KEY"), 3);
    EXPECT_EQ(DeleteLexiconEntries(*db, 0, {ids[0], ids[1]}, true), 2);
    EXPECT_EQ(DeleteLexiconEntries(*db, 0, {ids[2]}, true), 1);
    EXPECT_EQ(DeleteLexiconEntries(*db, 0, {}, true), 0); // nothing marked: no question
    ASSERT_EQ(ui.shown.size(), 3u);
    EXPECT_EQ(ui.shown[0].Text,
              "Sollen die 2 markierten Einträge aus dem Bereich \"Fachbegriffe\" endgültig gelöscht werden?");
    EXPECT_EQ(ui.shown[2].Text,
              "Soll der markierte Eintrag aus dem Bereich \"Fachbegriffe\" endgültig gelöscht werden?");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_INFO_KEY") + Count("SELECT COUNT(*) FROM T_LEXIKON"), 0);
}

TEST_F(LexiconDb, UtensilPicturesAreTakenOnlyFromPictureFiles)
{
    const std::string png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    const std::string jpeg("\xFF\xD8\xFF\xE0\0\x10JFIF", 10);
    // The file, its content (nothing written when empty), whether it is taken, what the user reads.
    const std::tuple<const char*, std::string, bool, std::string> cases[] = {
        {"bild.png", png, true, ""},
        {"anim.gif", "GIF89a\x01\0\x01\0", true, ""},
        {"notiz.txt", "Schneebesen aus Draht", false, "ist kein Bild im Format JPEG, PNG, GIF oder BMP."},
        {"fehlt.png", "", false, "Bild konnte nicht geladen werden"},
        {"riesig.png", png + std::string(200000, 'x'), false, ""}, // declined after the question
        {"foto.jpg", jpeg, true, ""},
    };
    ui.Answering(Answer::No);
    LexiconEntry whisk = NewEntry(*db, 2, {{"Schneebesen", 1}});
    whisk.Picture = {1, 2, 3};
    for (const auto& [name, content, taken, message] : cases) {
        SCOPED_TRACE(name);
        if (!content.empty())
            test::WriteFile(dir.File(name), content);
        const Blob before = whisk.Picture;
        ui.shown.clear();
        EXPECT_EQ(whisk.LoadPicture(dir.File(name)), taken);
        if (taken) {
            EXPECT_EQ(whisk.Picture, Blob(content.begin(), content.end()));
            continue;
        }
        EXPECT_EQ(whisk.LastError(), LexiconEntry::kRefusedPicture);
        EXPECT_EQ(whisk.Picture, before);
        std::string read = whisk.LastErrorText();
        for (const auto& shown : ui.shown)
            read += shown.Question ? "" : shown.Text;
        EXPECT_THAT(read, testing::HasSubstr(message));
        EXPECT_EQ(read.empty(), message.empty()) << read;
    }
    EXPECT_TRUE(ui.AllAnswersUsed());
    ASSERT_TRUE(whisk.Save());
    const std::optional<LexiconEntry> loaded = Loaded(*db, 2, whisk.Id());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->Picture, whisk.Picture);
}

} // namespace
} // namespace pf
