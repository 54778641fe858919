#include "model/ClRecipe.h"
#include "model/ChoiceLists.h"
#include "model/ClUnit.h"

#include "core/AppContext.h"
#include "core/Utf8.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "tests/support/Backends.h"
#include "tests/support/BaseDataDb.h"
#include "tests/support/Each.h"
#include "tests/support/RawSql.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace pf {
namespace {

constexpr long kGramm = 31;
constexpr long kPortionen = 1;
constexpr long kVorspeise = 102;
constexpr long kAperitif = 100;

class RecipeDb : public ::testing::TestWithParam<test::Backend>
{
protected:
    void SetUp() override
    {
        app.IniFile = dir.File("pfannola.INI");
        app.UserStoreFile = dir.File("user.ini");
        app.WinUser = "koch";
        app.Options.EditFlags = 0; // fraction mode
        db = test::MakeBaseDataDatabaseOn(GetParam(), dir, &connect);
        if (!db && GetParam() == test::Backend::Server)
            GTEST_SKIP() << test::kNoServer;
        ASSERT_TRUE(db);
    }

    ClRecipe Recipe()
    {
        ClRecipe recipe;
        recipe.SetDB(db.get());
        return recipe;
    }

    static ClIngredient Line(const char* quantity, long unit, const char* text)
    {
        ClIngredient line;
        line.SetEinheitID(unit);
        line.SetOrgMeasurement(Decimal4::Parse(quantity));
        line.SetIngredient(text);
        return line;
    }

    // A complete recipe: title, yield, one category, instructions and ingredient lines.
    ClRecipe Complete(const char* title)
    {
        ClRecipe recipe = Recipe();
        recipe.LoadByID(0);
        recipe.SetTitle(title);
        recipe.SetYield(4);
        recipe.SetYieldUnitIndex(kPortionen);
        EXPECT_TRUE(recipe.CatAddID(kVorspeise));
        recipe.SetZubereitung("Alles verrühren.");
        recipe.IngredAdd(Line("250", kGramm, "Mehl"));
        return recipe;
    }

    void Raw(const std::string& sql) { test::ExecuteRawSql(dir.File("base.db"), sql); }
    long Count(const std::string& sql) { return static_cast<long>(db->Scalar(sql).AsLong()); }

    AppContext app;
    ScopedAppContext scope{app};
    test::TempDir dir;
    std::string connect; // of the server schema
    std::unique_ptr<Database> db;
};

// Tests that inject faults through the file engine directly.
class RecipeFileDb : public RecipeDb
{
};

TEST_P(RecipeDb, EveryFieldAndCollectionRoundTripsThroughSaveAndLoad)
{
    ClRecipe recipe = Complete("Omas \"beste\" 100% [echte] Suppe?|*");
    recipe.SetLanguageID(2);
    recipe.SetSourceText("Aus dem Heft");
    recipe.SetSourcePage(35);
    recipe.SetStorageTime(1, 3);
    recipe.SetStorageTime(2, 5);
    recipe.SetStorageTime(3, 6);
    recipe.SetStorageTime(4, 9); // ignored
    recipe.SetWineDegustation("Ein trockener Riesling");
    recipe.SetNotizen("Gelingt immer.");
    recipe.SetPreparationTime(DateSerial{0.5});
    recipe.SetCookingTime(DateSerial{0.25});
    recipe.SetOriginID(1001);
    recipe.SetWPExclude(2);
    std::string instructions;
    for (int i = 0; i < 40000; ++i)
        instructions += static_cast<char>('a' + i % 26);
    instructions.replace(16383, 2, "ä"); // a two-byte character across the row boundary
    recipe.SetZubereitung(instructions);
    // 16 categories, the 17th is refused; 32 cookbooks; 32 pictures.
    long added = 1;
    for (long cat = 103; added < ClRecipe::kMaxCategories; ++cat)
        if (recipe.CatAddID(cat))
            ++added;
    EXPECT_FALSE(recipe.CatAddID(kAperitif));
    for (long book = 0; book < 32; ++book)
        EXPECT_TRUE(recipe.BookAdd(book));
    EXPECT_FALSE(recipe.BookAdd(99));
    for (int p = 0; p < 32; ++p)
        EXPECT_TRUE(recipe.PictureAdd(Blob{static_cast<std::uint8_t>(p), 0, 255}));
    EXPECT_FALSE(recipe.PictureAdd(Blob{1}));
    ClIngredient separator;
    separator.SetTrennzeile("Für die Soße");
    recipe.IngredAdd(separator);
    recipe.IngredAdd(Line("1.5", 4, "Sahne; geschlagen"));
    ClIngredient reference;
    reference.SetIsRecipeID(42);
    reference.SetIngredient("Brühe");
    recipe.IngredAdd(reference, 1);
    ASSERT_TRUE(recipe.Save()) << recipe.LastErrorText();

    ClRecipe loaded = Recipe();
    ASSERT_TRUE(loaded.LoadByID(recipe.id(), 2));
    EXPECT_EQ((std::vector<std::string>{loaded.Title(), loaded.TitleMenuCard(), loaded.YieldUnitText(),
                                        loaded.LanguageText(), loaded.WineDegustation()}),
              (std::vector<std::string>{"Omas 'beste' 100 echte Suppe", "Omas 'beste' 100 echte Suppe",
                                        "Portionen", "Deutsch (Schweiz)", "Ein trockener Riesling"}));
    EXPECT_EQ((std::vector<long>{loaded.SourcePage(), loaded.StorageTime(1), loaded.StorageTime(2),
                                 loaded.StorageTime(3), loaded.Origin(), loaded.ImportSource(),
                                 loaded.CatCount(), loaded.CatID(1), loaded.BookCount()}),
              (std::vector<long>{35, 3, 5, 6, 1001, 1, 16, kVorspeise, 32}));
    EXPECT_EQ(loaded.Zubereitung(), instructions);
    EXPECT_EQ(loaded.PreparationTime(), DateSerial{0.5});
    EXPECT_NE(loaded.Importdate().Days, 0);
    EXPECT_FALSE(loaded.IsGeneric());
    ASSERT_EQ(loaded.PictureCount(), 32);
    EXPECT_EQ(loaded.Picture(32).BlobData(), (Blob{31, 0, 255}));
    ASSERT_EQ(loaded.IngredCount(), 4);
    EXPECT_EQ(loaded.Ingredient(1).IsRecipeID(), 42);
    EXPECT_EQ(
        (std::vector<std::string>{loaded.Ingredient(2).Ingredient(), loaded.Ingredient(2).EinheitTxt(),
                                  loaded.Ingredient(3).Trennzeile(), loaded.Ingredient(4).Verarbeitung(),
                                  loaded.Ingredient(4).MengeTxt()}),
        (std::vector<std::string>{"Mehl", "Gramm", "Für die Soße", "geschlagen", "1 1/2"}));
    EXPECT_FALSE(loaded.IsChanged());

    // The instructions are stored in rows of 16384 characters.
    auto rows =
        db->OpenRecordset("SELECT NO, AnwText FROM T_REZ_ANWEIS WHERE ID=? ORDER BY NO", {recipe.id()});
    std::vector<std::size_t> lengths;
    for (; !rows->Eof(); rows->MoveNext())
        lengths.push_back(ToCodePoints(rows->Field(1).AsText()).size());
    EXPECT_EQ(lengths, (std::vector<std::size_t>{16384, 16384, 7231}));
}

TEST_P(RecipeDb, TitlesAreCleanedAndCutToTheColumn)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Er sagte \"lecker\"", "Er sagte 'lecker'"},
        {"Kuchen [neu] 50% |?*", "Kuchen neu 50 "},
        {"  Linsensuppe  ", "Linsensuppe"}, // as the import stores it, so that a duplicate is found
        {std::string(130, 'x'), std::string(128, 'x')},
        {std::string(64, 'x') + std::string(20, 'x') + "ÄÖÜäöüß" + std::string(60, 'y'),
         std::string(84, 'x') + "ÄÖÜäöüß" + std::string(37, 'y')},
    };
    for (const auto& [in, out] : cases) {
        SCOPED_TRACE(in);
        ClRecipe recipe = Recipe();
        recipe.SetTitle(in);
        EXPECT_EQ(recipe.Title(), out);
    }
}

TEST_P(RecipeDb, SaveRefusesWhatIsMissingUnlessTheRecipeIsStoredAsGenericWithItsReasonsInOrder)
{
    ClRecipe untitled = Complete("");
    EXPECT_FALSE(untitled.Save());
    EXPECT_EQ(untitled.LastError(), ClRecipe::kErrTitle);
    EXPECT_EQ(untitled.LastErrorText(), "Titel");
    ClRecipe uncategorized = Complete("Ohne Kategorie");
    uncategorized.CatDel(1);
    EXPECT_FALSE(uncategorized.Save());
    EXPECT_EQ(uncategorized.LastError(), ClRecipe::kErrCategories);
    EXPECT_EQ(uncategorized.id(), 0);

    // Why a recipe is generic, the reasons in order. The cases: with instructions, the yield, with a
    // category, the quantity of the line (nullptr: no line).
    const std::tuple<bool, long, bool, const char*, const char*> cases[] = {
        {true, 4, true, "250", ""},             {false, 4, true, "250", "Zubereitung"},
        {true, 0, true, "250", "Menge"},        {true, 4, false, "250", "Kategorie"},
        {true, 4, true, nullptr, "Zutaten"},    {true, 4, true, "0", "Zutaten"},
        {false, 0, false, nullptr, "Zubereitung, Menge, Kategorie, Zutaten"},
    };
    for (const auto& [instructions, yield, category, quantity, why] : cases) {
        SCOPED_TRACE(why);
        ClRecipe recipe = Recipe();
        recipe.LoadByID(0);
        recipe.SetTitle("Probe");
        recipe.SetYield(yield);
        if (instructions)
            recipe.SetZubereitung("Kochen.");
        if (category)
            recipe.CatAddID(kVorspeise);
        recipe.IngredCount();
        if (quantity)
            recipe.IngredAdd(Line(quantity, kGramm, "Mehl"));
        EXPECT_EQ(recipe.IsGeneric(), std::string(why) != "");
        EXPECT_EQ(recipe.WhyGeneric(), why);
    }
}

TEST_P(RecipeFileDb, AFailedSaveLeavesTheStoredRecipeWholeAndKeepsTheEdits)
{
    // A failed first save keeps the recipe new: no head row without its lines.
    ClRecipe fresh = Complete("Neu");
    Raw("CREATE TRIGGER Sperre BEFORE INSERT ON T_REZ_ZUTAT BEGIN SELECT RAISE(ABORT, 'voll'); END");
    EXPECT_FALSE(fresh.Save());
    EXPECT_EQ(fresh.id(), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOPF"), 0);
    Raw("DROP TRIGGER Sperre");

    ClRecipe recipe = Complete("Linsensuppe");
    ASSERT_TRUE(recipe.Save());
    const long id = recipe.id();

    recipe.SetTitle("Linseneintopf");
    recipe.IngredAdd(Line("2", kGramm, "Salz"));
    recipe.CatAddID(kAperitif);
    recipe.SetZubereitung("Neu: lange köcheln.");
    // The instructions are written last: everything before them must roll back.
    Raw("CREATE TRIGGER Sperre BEFORE INSERT ON T_REZ_ANWEIS BEGIN SELECT RAISE(ABORT, 'gesperrt'); END");
    EXPECT_FALSE(recipe.Save());
    EXPECT_GT(recipe.LastError(), 0);
    EXPECT_NE(recipe.LastErrorText().find("gesperrt"), std::string::npos);

    // Title, number of lines and of categories, and instructions.
    auto state = [](ClRecipe& r) {
        return r.Title() + "|" + std::to_string(r.IngredCount()) + "|" + std::to_string(r.CatCount()) + "|" +
               r.Zubereitung();
    };
    ClRecipe stored = Recipe();
    ASSERT_TRUE(stored.LoadByID(id, 2));
    EXPECT_EQ(state(stored), "Linsensuppe|1|1|Alles verrühren.");

    EXPECT_TRUE(recipe.IsChanged());
    EXPECT_EQ(state(recipe), "Linseneintopf|2|2|Neu: lange köcheln.");
    Raw("DROP TRIGGER Sperre");
    ASSERT_TRUE(recipe.Save()) << recipe.LastErrorText();
    ASSERT_TRUE(stored.LoadByID(id, 2));
    EXPECT_EQ(state(stored), "Linseneintopf|2|2|Neu: lange köcheln.");
}

// What another workstation changes of a stored recipe: through its own recipe object or by plain
// SQL, one kind of row at a time. check says whether a recipe read afterwards shows the change.
struct OtherChange
{
    const char* what;
    std::function<void(Database& other, long id)> change;
    std::function<bool(ClRecipe& read)> shows;
};

std::vector<OtherChange> OtherChanges()
{
    auto saved = [](const std::function<void(ClRecipe&)>& edit) {
        return [=](Database& other, long id) {
            ClRecipe theirs;
            theirs.SetDB(&other);
            ASSERT_TRUE(theirs.LoadByID(id, 2));
            edit(theirs);
            ASSERT_TRUE(theirs.Save()) << theirs.LastErrorText();
        };
    };
    auto sql = [](const char* statement) {
        return [=](Database& other, long id) { other.Execute(statement, {id}); };
    };
    return {
        {"Zubereitung", saved([](ClRecipe& r) { r.SetZubereitung("Alles verrühren und ziehen lassen."); }),
         [](ClRecipe& r) { return r.Zubereitung() == "Alles verrühren und ziehen lassen."; }},
        {"nur eine Zutat", saved([](ClRecipe& r) {
             ClIngredient line = r.Ingredient(1);
             line.SetIngredient("Roggenmehl");
             r.SetIngredient(1, line);
         }),
         [](ClRecipe& r) { return r.IngredCount() == 1 && r.Ingredient(1).Ingredient() == "Roggenmehl"; }},
        {"Zutat per SQL", sql("UPDATE T_REZ_ZUTAT SET ZutText='Dinkelmehl' WHERE ID=?"),
         [](ClRecipe& r) { return r.IngredCount() == 1 && r.Ingredient(1).Ingredient() == "Dinkelmehl"; }},
        {"Anweisung per SQL", sql("UPDATE T_REZ_ANWEIS SET AnwText='Kalt stellen.' WHERE ID=?"),
         [](ClRecipe& r) { return r.Zubereitung() == "Kalt stellen."; }},
        {"Kategorie per SQL", sql("DELETE FROM T_REZ_CAT_NDX WHERE ID=?"),
         [](ClRecipe& r) { return r.CatCount() == 0; }},
    };
}

// Two workstations on one recipe, whichever of the recipe's rows the other changed (also only a line,
// in the same minute, when the head row reads as before): a recipe this program holds in memory (saved,
// read, or served in a menu) is read again, so every read shows the stored state, and a save of the copy
// read before is refused with the message and keeps the user's edits. One program saving twice meets
// no one.
TEST_P(RecipeDb, AnotherProgramsChangeIsReadAgainAndRefusesAStaleSave)
{
    auto otherDb = OpenDatabase(connect.empty() ? dir.File("base.db") : connect);
    for (const OtherChange& c : OtherChanges()) {
        SCOPED_TRACE(c.what);
        ClRecipe first = Complete("Linsensuppe");
        ASSERT_TRUE(first.Save());
        const long id = first.id();
        ClRecipe mine = Recipe();
        ASSERT_TRUE(mine.LoadByID(id));
        EXPECT_FALSE(c.shows(mine));
        c.change(*otherDb, id);
        ClRecipe after = Recipe();
        ASSERT_TRUE(after.LoadByID(id));
        EXPECT_TRUE(c.shows(after));
        ClRecipe byName = Recipe();
        ASSERT_TRUE(byName.LoadbyName("Linsensuppe"));
        EXPECT_TRUE(c.shows(byName));

        mine.SetTitle("Linsensuppe mit Speck");
        EXPECT_FALSE(mine.Save());
        EXPECT_EQ(mine.LastError(), 3197);
        EXPECT_NE(mine.LastErrorText().find("gleichzeitig"), std::string::npos) << mine.LastErrorText();
        EXPECT_EQ(mine.Title(), "Linsensuppe mit Speck");
        EXPECT_TRUE(mine.IsChanged());
        EXPECT_EQ(db->Scalar("SELECT RezTitle FROM T_REZ_KOPF WHERE ID=?", {id}).AsText(), "Linsensuppe");
        ClRecipe stored = Recipe();
        ASSERT_TRUE(stored.LoadByID(id, 2));
        EXPECT_TRUE(c.shows(stored));
        ASSERT_TRUE(first.Delete(false));
    }

    ClRecipe again = Complete("Linsensuppe");
    ASSERT_TRUE(again.Save());
    ClRecipe theirs;
    theirs.SetDB(otherDb.get());
    ASSERT_TRUE(theirs.LoadByID(again.id(), 2));
    theirs.SetYield(6);
    EXPECT_TRUE(theirs.Save()) << theirs.LastErrorText();
    theirs.SetYield(8);
    EXPECT_TRUE(theirs.Save()) << theirs.LastErrorText();
}

TEST_P(RecipeDb, NewIdsFollowTheHighestOrFillTheLowestGap)
{
    // Stored IDs, gap filling, offset, the new ID.
    const std::tuple<std::vector<long>, bool, long, long> cases[] = {
        {{}, true, 0, 1},        {{1, 2, 4}, true, 0, 3},       {{2, 3}, true, 0, 1},
        {{1, 2, 3}, true, 0, 4}, {{1, 2, 4}, false, 0, 5},      {{1, 2, 4}, true, 10, 15},
        {{}, false, 0, 1},       {{1, 5, 6, 7, 9}, true, 0, 2},
    };
    for (const auto& [ids, gapFilling, offset, expected] : cases) {
        SCOPED_TRACE(testing::PrintToString(ids));
        db->Execute("DELETE FROM T_REZ_KOPF");
        for (long id : ids)
            db->Execute("INSERT INTO T_REZ_KOPF (ID) VALUES (?)", {id});
        ClRecipe recipe = Recipe();
        recipe.SetGapFilling(gapFilling);
        EXPECT_EQ(recipe.SetNewID(offset), expected);
    }
}

TEST_P(RecipeDb, DeleteMovesToTheTrashOrRemovesEveryRowOfTheRecipe)
{
    std::vector<long> ids;
    for (const char* title : {"Eins", "Zwei", "Drei"}) {
        ClRecipe recipe = Complete(title);
        recipe.BookAdd(0);
        recipe.PictureAdd(Blob{1, 2, 3});
        ASSERT_TRUE(recipe.Save());
        ids.push_back(recipe.id());
    }
    ClRecipe recipe = Recipe();
    ASSERT_TRUE(recipe.LoadByID(ids[0]));
    ASSERT_TRUE(recipe.Delete(true));
    EXPECT_TRUE(recipe.isDeleted());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOPF WHERE FlagDeleted<>0"), 1);
    // The cached copy follows the trash flag.
    ClRecipe again = Recipe();
    ASSERT_TRUE(again.LoadByID(ids[0]));
    EXPECT_TRUE(again.isDeleted());
    ASSERT_TRUE(recipe.Undelete(std::to_string(ids[0])));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOPF WHERE FlagDeleted<>0"), 0);

    ASSERT_TRUE(recipe.Delete(false, std::to_string(ids[1]) + "," + std::to_string(ids[2]) + ",x"));
    for (const char* table :
         {"T_REZ_KOPF", "T_REZ_ZUTAT", "T_REZ_CAT_NDX", "T_REZ_ANWEIS", "T_REZ_KOCHBUCH", "T_BLOB"})
        EXPECT_EQ(Count(std::string("SELECT COUNT(*) FROM ") + table), 1) << table;
    EXPECT_FALSE(again.LoadByID(ids[1]));
}

TEST_P(RecipeDb, DependenciesCountOnlyUsersOutsideTheList)
{
    db->Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle) VALUES (5,'R'),(9,'R'),(11,'R'),(12,'R')");
    // 9 uses 5, 11 uses 12 (and a food key 5); 12 is served in menu 3.
    db->Execute(
        "INSERT INTO T_REZ_ZUTAT (ID,No,ZutRezept,ZutBLSID) VALUES (9,1,-1,5),(11,1,-1,12),(11,2,0,5)");
    db->Execute("INSERT INTO T_MENU_GANG (MenuID,GangNr,RezID) VALUES (3,1,12)");
    // The list, then the recipes using it, the menus serving it and the deletable ones.
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"5,9", "", "", "5,9"},   {"5", "9", "", ""},   {"12", "11", "3", ""},
        {"11,12", "", "3", "11"}, {"0,9", "", "", "9"},
    };
    for (const auto& [list, usedBy, menus, deletable] : cases) {
        SCOPED_TRACE(list);
        std::string users, servedIn, free;
        ClRecipe recipe = Recipe();
        ASSERT_TRUE(recipe.CheckDependency(list, true, true, users, servedIn, free));
        EXPECT_EQ(users, usedBy);
        EXPECT_EQ(servedIn, menus);
        EXPECT_EQ(free, deletable);
    }
}

TEST_P(RecipeDb, SaveAsChildAndSaveAsWriteNewRecipesWithTheirCollections)
{
    ClRecipe recipe = Complete("Grundteig");
    recipe.BookAdd(0);
    ASSERT_TRUE(recipe.Save());
    const long parent = recipe.id();

    ASSERT_TRUE(recipe.SaveAsChild());
    EXPECT_NE(recipe.id(), parent);
    EXPECT_EQ(recipe.rezparent(), parent);
    EXPECT_EQ(recipe.RezParentTitle(), "Grundteig");
    ClRecipe child = Recipe();
    ASSERT_TRUE(child.LoadByID(recipe.id(), 2));
    EXPECT_EQ((std::vector<long>{child.IngredCount(), child.CatCount(), child.BookCount()}),
              (std::vector<long>{1, 1, 1}));
    EXPECT_TRUE(child.HasChilds(parent));
    // A new identity: the copy does not share the fingerprint of its parent.
    ClRecipe original = Recipe();
    ASSERT_TRUE(original.LoadByID(parent, 2));
    EXPECT_NE(child.Fingerprint().FP2(), original.Fingerprint().FP2());

    ASSERT_TRUE(original.SaveAs());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOPF"), 3);
}

TEST_P(RecipeDb, ScalingChangesQuantitiesButNotSeparatorsOrUnscaledUnits)
{
    db->Execute("UPDATE T_UNIT SET Unscaled=-1 WHERE ID=3");
    ClRecipe recipe = Complete("Kuchen");
    ClIngredient separator;
    separator.SetTrennzeile("Guss");
    recipe.IngredAdd(separator);
    recipe.IngredAdd(Line("1", 2, "Salz")); // a pinch: not rounded when scaled
    recipe.IngredAdd(Line("3", 0, "Eier")); // no unit
    recipe.IngredAdd(Line("1", 3, "Muskat"));
    recipe.ScaleRecipe(6);
    EXPECT_EQ(recipe.Yield(), 6);
    EXPECT_EQ(recipe.Ingredient(2).Trennzeile(), "Guss");
    EXPECT_EQ(
        (std::vector<Decimal4>{recipe.Ingredient(1).OrgMeasurement(), recipe.Ingredient(3).OrgMeasurement(),
                               recipe.Ingredient(4).OrgMeasurement(), recipe.Ingredient(5).OrgMeasurement()}),
        (std::vector<Decimal4>{Decimal4::FromLong(375), Decimal4::Parse("1.5"), Decimal4::Parse("4.5"),
                               Decimal4::FromLong(1)}));
    EXPECT_TRUE(recipe.IsChanged());
    recipe.ScaleRecipe(0);
    recipe.ScaleRecipe(6);
    EXPECT_EQ(recipe.Ingredient(1).OrgMeasurement(), Decimal4::FromLong(375));
}

TEST_P(RecipeDb, PicturesBeyondTheCountAreDeletedOnSave)
{
    ClRecipe recipe = Complete("Bildrezept");
    recipe.PictureAdd(Blob{1});
    recipe.PictureAdd({}, "/bilder/zwei.jpg");
    ASSERT_TRUE(recipe.Save());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_BLOB WHERE IDType=5"), 2);
    ClRecipe loaded = Recipe();
    ASSERT_TRUE(loaded.LoadByID(recipe.id(), 2));
    ASSERT_EQ(loaded.PictureCount(), 2);
    EXPECT_EQ(loaded.Picture(2).Path(), "/bilder/zwei.jpg");
    loaded.PictureDel(1);
    ASSERT_TRUE(loaded.Save());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_BLOB WHERE IDType=5"), 1);
    ClRecipe again = Recipe();
    ASSERT_TRUE(again.LoadByID(recipe.id(), 2));
    ASSERT_EQ(again.PictureCount(), 1);
    EXPECT_EQ(again.Picture(1).Path(), "/bilder/zwei.jpg");
}

TEST_P(RecipeDb, CellTipNamesYieldOriginSourceCategoriesAndBooks)
{
    ClRecipe recipe = Complete("Tipp");
    recipe.SetOriginID(1001);
    recipe.SetSourceText("Familienrezept");
    recipe.BookAdd(0);
    ASSERT_TRUE(recipe.Save());
    const std::string tip = recipe.RecipeCellTip(recipe.id());
    const std::string origin = db->Scalar("SELECT CatNameD FROM T_CAT WHERE ID=1001").AsText();
    for (const std::string& piece : std::vector<std::string>{
             "Angaben für: 4 Portionen\n", "Herkunft: " + origin + "\n", "Quellenangabe: Familienrezept\n",
             "Fingerprint-Information:", "Kategorien: Vorspeise\n", "Kochbücher: Basiskochbuch"})
        EXPECT_NE(tip.find(piece), std::string::npos) << piece << " in " << tip;
    EXPECT_EQ(tip.find("Sprache"), std::string::npos) << tip;

    // A literature source is named with its publisher, year, issue and the page, before the free text.
    db->Execute("INSERT INTO T_ADRESSE (ID,Name) VALUES (61,'Verlag Süd')");
    db->Execute("INSERT INTO T_LITERATUR (QuelleID,Title,Jahrgang,AusgabeNr,VerlagID) VALUES "
                "(5,'Backen',2004,'12',61)");
    recipe.SourcebookSetID(5);
    recipe.SetSourcePage(35);
    ASSERT_TRUE(recipe.Save());
    const std::string withSource = recipe.RecipeCellTip(recipe.id());
    EXPECT_NE(withSource.find("Quellenangabe: Backen (Verlag Süd), 2004/12, Seite 35\n"), std::string::npos)
        << withSource;
}

TEST_P(RecipeDb, LinesShowQuantitiesInTheChosenMeasureAndTakeThemBack)
{
    // Unit, stored quantity, conversion flags, EditMasse, the quantity and the unit shown.
    const std::tuple<long, const char*, int, long, const char*, const char*> cases[] = {
        {36, "2", convtype::kUK, 0, "56.699", "Gramm"}, // ounces shown as grams
        {36, "2", convtype::kBritish, 0, "2", "ounce"}, // British names, quantity as stored
        {36, "2", 0, 1, "2", "ounce"},                  // EditMasse 1: British by default
        {35, "1", convtype::kUS, 0, "500", "gram"},     // American factor and names
        {36, "2", convtype::kUK | convtype::kShortNames, 0, "56.699", "G"},
        {kGramm, "250", convtype::kUK, 0, "250", "Gramm"}, // no factor to apply
    };
    ClUnit units;
    units.SetDB(db.get());
    for (const auto& [unit, stored, flags, editMasse, shown, text] : cases) {
        SCOPED_TRACE(std::string(text) + " " + std::to_string(flags));
        app.Options.EditMasse = editMasse;
        ClIngredient line = Line(stored, unit, "Zutat");
        line.SetUnits(&units);
        line.SetConvtype(flags);
        EXPECT_EQ(line.Menge(), Decimal4::Parse(shown));
        EXPECT_EQ(line.EinheitTxt(), text);
        // Entering the shown quantity again keeps the stored one (to the fourth decimal).
        line.SetMenge(line.Menge());
        EXPECT_LE(std::llabs((line.OrgMeasurement() - Decimal4::Parse(stored)).Ticks()), 1);
    }
}

TEST_P(RecipeFileDb, AFailedCopyLeavesTheOriginalAsItWas)
{
    ClRecipe unsaved = Complete("Entwurf");
    EXPECT_FALSE(unsaved.SaveAsChild());
    EXPECT_EQ(unsaved.LastError(), ClRecipe::kErrNotStored);

    ClRecipe recipe = Complete("Vorlage");
    ASSERT_TRUE(recipe.Save());
    const long id = recipe.id();
    const std::int32_t fp2 = recipe.Fingerprint().FP2();
    Raw("CREATE TRIGGER Sperre BEFORE INSERT ON T_REZ_KOPF BEGIN SELECT RAISE(ABORT, 'voll'); END");
    for (bool child : {false, true}) {
        SCOPED_TRACE(child);
        EXPECT_FALSE(child ? recipe.SaveAsChild() : recipe.SaveAs());
        EXPECT_NE(recipe.LastErrorText().find("voll"), std::string::npos);
        EXPECT_EQ(recipe.id(), id);
        EXPECT_EQ(recipe.rezparent(), 0);
        EXPECT_EQ(recipe.Fingerprint().FP2(), fp2);
        EXPECT_FALSE(recipe.IsChanged());
    }
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_KOPF"), 1);
}

// The lists the windows offer: each entry once, named and filtered as a cook expects.
TEST_P(RecipeDb, ChoiceListsNameEachEntryOnceAndLeaveOutWhatCannotBeChosen)
{
    db->Execute("DELETE FROM T_INFO_KEY");
    db->Execute("DELETE FROM T_REZ_KOPF");
    db->Execute("INSERT INTO T_INFO_KEY (ID,[KEY],KEYTYPE) VALUES (7,'Schneebesen',2),(7,'Rührbesen',2),"
                "(3,'Wok',2),(5,'Backofen',2),(9,'Anis',1)");
    db->Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,FlagDeleted,Template) VALUES (1,'Zwiebelkuchen',0,0),"
                "(2,'Apfelstrudel',0,0),(3,'Im Papierkorb',-1,0),(4,'Vorlage',0,-1),(5,'',0,0),"
                "(6,'Das Rezept selbst',0,0)");

    const ChoiceList utensils = UtensilChoices(*db);
    EXPECT_EQ(test::Each(utensils, &Choice::ID), (std::vector<long>{5, 7, 3}));
    EXPECT_EQ(test::Each(utensils, &Choice::Name),
              (std::vector<std::string>{"Backofen", "Rührbesen", "Wok"}));
    const ChoiceList references = RecipeReferenceChoices(*db, 6);
    EXPECT_EQ(test::Each(references, &Choice::ID), (std::vector<long>{2, 1}));
    EXPECT_EQ(test::Each(references, &Choice::Name),
              (std::vector<std::string>{"Apfelstrudel", "Zwiebelkuchen"}));
    db->Execute("DROP TABLE T_LITERATUR");
    EXPECT_TRUE(LiteratureChoices(*db).empty());
}

PF_ON_BOTH_BACKENDS(RecipeDb);

PF_ON_FILE_BACKEND(RecipeFileDb);

} // namespace
} // namespace pf
