#include "model/ClCategory.h"

#include "tests/model/ModelDb.h"
#include "tests/support/Each.h"

namespace pf {
namespace {

class CategoryDb : public test::ModelDb
{
protected:
    void SetUp() override
    {
        ModelDb::SetUp();
        cat.SetDB(db.get());
    }
    struct Cat
    {
        long id;
        const char* name;
        long type = 1, parent = 0, country = 0;
        bool edit = true;
        long wpLevel = 0;
    };
    void AddCats(std::initializer_list<Cat> cats)
    {
        for (const Cat& c : cats)
            db->Execute(
                "INSERT INTO T_CAT (ID,CatNameD,CatType,CatParent,LaenderCode,ErfassungsFlag,CatWPLevel,"
                "CatWPRepeat) VALUES (?,?,?,?,?,?,?,0)",
                {c.id, c.name, c.type, c.parent, c.country, c.edit, c.wpLevel});
    }
    // A recipe of the origin carrying the categories (ID, primary), numbered from 1 in this order.
    void AddRecipe(long id, long origin = 0, std::initializer_list<std::pair<long, bool>> cats = {})
    {
        db->Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,RezHerkunft) VALUES (?,?,?)",
                    {id, "Rezept " + std::to_string(id), origin});
        long no = 0;
        for (const auto& [catId, primary] : cats)
            AddRecipeCat(id, catId, primary, ++no);
    }
    void AddRecipeCat(long recipe, long catId, bool primary, long no)
    {
        db->Execute("INSERT INTO T_REZ_CAT_NDX (ID,CatID,CatPrimary,[No]) VALUES (?,?,?,?)",
                    {recipe, catId, primary, no});
    }
    long Origin(long recipe)
    {
        return Count("SELECT RezHerkunft FROM T_REZ_KOPF WHERE ID=" + std::to_string(recipe));
    }
    // (CatID, primary) rows of a recipe in row order.
    std::vector<std::pair<long, bool>> RecipeCats(long recipe)
    {
        std::vector<std::pair<long, bool>> rows;
        auto rs = db->OpenRecordset("SELECT CatID,CatPrimary FROM T_REZ_CAT_NDX WHERE ID=" +
                                    std::to_string(recipe) + " ORDER BY [No]");
        for (; !rs->Eof(); rs->MoveNext())
            rows.emplace_back(static_cast<long>(rs->Field("CatID").AsLong()),
                              rs->Field("CatPrimary").AsBool());
        return rows;
    }

    ClCategory cat;
};

using Rows = std::vector<std::pair<long, bool>>;

TEST_F(CategoryDb, NewCategoriesTakeTheLowestFreeIdAndAShortenedName)
{
    const std::pair<std::vector<long>, long> cases[] = {{{}, 1},         {{1, 2, 4}, 3}, {{1, 2, 3}, 4},
                                                        {{100, 101}, 1}, {{1, 5, 6}, 2}, {{-4, 0, 1}, 2}};
    for (const auto& [existing, expected] : cases) {
        SCOPED_TRACE(expected);
        db->Execute("DELETE FROM T_CAT");
        for (long id : existing)
            AddCats({{id, ("K" + std::to_string(id)).c_str()}});
        ClCategory fresh;
        fresh.SetDB(db.get());
        fresh.SetDescription("Neue Kategorie");
        ASSERT_TRUE(fresh.Save()) << fresh.LastErrorText();
        EXPECT_EQ(fresh.id(), expected);
        EXPECT_EQ(Count("SELECT COUNT(*) FROM T_CAT"), static_cast<long>(existing.size()) + 1);
    }

    // 25 characters, umlauts among them: the first 20 characters are stored, not 20 bytes.
    cat.SetDescription("Süßspeisen für Gäste abcd");
    ASSERT_TRUE(cat.Save());
    ClCategory stored;
    stored.SetDB(db.get());
    ASSERT_TRUE(stored.LoadByID(cat.id()));
    EXPECT_EQ(stored.Description(), "Süßspeisen für Gäste");
    EXPECT_EQ(cat.Description(), "Süßspeisen für Gäste");

    ClCategory empty;
    empty.SetDB(db.get());
    empty.SetDescription("   ");
    EXPECT_FALSE(empty.Save());
    EXPECT_EQ(empty.LastError(), -1);
}

TEST_F(CategoryDb, SaveWritesEveryFieldAndRefusesAParentCycleAndTheKindIsWrittenAtOnce)
{
    AddCats({{1, "Vorspeise"}, {2, "Kalte Vorspeise", 1, 1}, {3, "Salate", 1, 2}});
    ASSERT_TRUE(cat.LoadByID(3));
    cat.SetDescription("Blattsalate");
    cat.SetIsEdit(false);
    cat.Setwplevel(4);
    cat.SetWPRepeat(7);
    cat.SetParent(1);
    ASSERT_TRUE(cat.Save());
    ClCategory back;
    back.SetDB(db.get());
    ASSERT_TRUE(back.LoadByID(3));
    EXPECT_EQ(back.Description(), "Blattsalate");
    EXPECT_FALSE(back.IsEdit());
    EXPECT_EQ((std::vector<long>{back.wplevel(), back.WPRepeat(), back.Parent()}),
              (std::vector<long>{4, 7, 1}));
    EXPECT_EQ(back.ParentObject().Description(), "Vorspeise");

    // Vorspeise under its own grandchild would hang the tree in a loop.
    ASSERT_TRUE(cat.LoadByID(1));
    cat.SetParent(2);
    EXPECT_FALSE(cat.Save());
    EXPECT_EQ(cat.LastError(), -1);
    EXPECT_EQ(Count("SELECT CatParent FROM T_CAT WHERE ID=1"), 0);

    // The kind is written at once and named undefined when missing.
    db->Execute("INSERT INTO T_CAT_TYPE (CatTypeID,CatTypeName,CatParentID,CatClassified) VALUES "
                "(2,'Hauptzutat',0,-1)");
    AddCats({{7, "Fisch", 9}});
    ASSERT_TRUE(cat.LoadByID(7));
    EXPECT_EQ(cat.TypeIDText(), "<undefiniert>");
    ASSERT_TRUE(cat.SetTypeID(2));
    EXPECT_EQ(cat.TypeIDText(), "Hauptzutat");
    EXPECT_EQ(Count("SELECT CatType FROM T_CAT WHERE ID=7"), 2); // no Save needed
}

TEST_F(CategoryDb, MergeMovesRecipesAndChildrenAndDeletesTheSource)
{
    AddCats({{5, "Suppe"}, {12, "Suppen"}, {13, "Klare Suppen", 1, 12}, {1000, "Italien", 7, 0, 380},
             {1001, "Italia", 7, 0, 380}});
    AddRecipe(1, 1001, {{12, true}});
    AddRecipe(2, 1000, {{5, true}, {12, false}});

    ASSERT_TRUE(cat.LoadByID(12));
    ASSERT_TRUE(cat.Merge(5)) << cat.LastErrorText();
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_CAT_NDX WHERE CatID=12"), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_CAT_NDX WHERE CatID=5"), 3);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_CAT WHERE ID=12"), 0);
    EXPECT_EQ(Count("SELECT CatParent FROM T_CAT WHERE ID=13"), 5);

    // A country moves the origins, not the category rows.
    ASSERT_TRUE(cat.LoadByID(1001));
    ASSERT_TRUE(cat.Merge(1000));
    EXPECT_EQ(Origin(1), 1000);
    EXPECT_EQ(Origin(2), 1000);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_CAT WHERE ID=1001"), 0);

    for (long refused : {5L, 4711L}) { // into itself, into a category that does not exist
        SCOPED_TRACE(refused);
        ASSERT_TRUE(cat.LoadByID(5));
        EXPECT_FALSE(cat.Merge(refused));
        EXPECT_EQ(cat.LastError(), -1);
        EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_CAT_NDX WHERE CatID=5"), 3);
    }
}

TEST_F(CategoryDb, ConvertingToACountryAsksAndReplacesOriginsOnlyOnYes)
{
    // The answer to replacing the origins, and the origin the recipe that had one has then.
    for (const auto& [replace, originOfRecipeWithOrigin] :
         {std::pair{Answer::No, 900L}, {Answer::Yes, 20L}}) {
        SCOPED_TRACE(replace == Answer::Yes ? "Ja" : "Nein");
        for (const char* table : {"T_CAT", "T_REZ_KOPF", "T_REZ_CAT_NDX"})
            db->Execute(std::string("DELETE FROM ") + table);
        ui.shown.clear();
        AddCats({{20, "Toskana"}, {21, "Nudeln"}, {900, "Frankreich", 7, 0, 250}});
        AddRecipe(1, 0, {{20, true}, {21, false}}); // no origin yet
        AddRecipe(2, 900, {{20, false}});           // has an origin
        AddRecipe(3, 0, {{21, true}});              // does not carry the category

        ASSERT_TRUE(cat.LoadByID(20));
        EXPECT_EQ(cat.ChangeToCountryFailCount(), 1);
        ui.Answering(Answer::Yes).Answering(replace);
        ASSERT_TRUE(cat.ConfirmSetCountry(true)) << cat.LastErrorText();
        ASSERT_EQ(ui.shown.size(), 2u);
        EXPECT_EQ(ui.shown[0].Text, "Sollen alle Rezepte, die \"Toskana\" als Kategorie enthalten, nun "
                                    "entsprechend angepasst werden ?");
        EXPECT_EQ(
            ui.shown[1].Text.rfind("Es gibt 1 Rezepte, die bereits eine andere Herkunftsangabe haben. ", 0),
            0u);
        EXPECT_NE(
            ui.shown[1].Text.find("[Nein] Die Kategorie wird aus den Rezepten entfernt, aber die vorhandene "
                                  "Herkunftsangabe wird nicht ersetzt."),
            std::string::npos);

        EXPECT_EQ(Origin(1), 20);
        EXPECT_EQ(Origin(2), originOfRecipeWithOrigin);
        EXPECT_EQ(Origin(3), 0);
        EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_CAT_NDX WHERE CatID=20"), 0);
        EXPECT_EQ(RecipeCats(1), (Rows{{21, false}}));
        EXPECT_EQ(RecipeCats(3), (Rows{{21, true}}));
        EXPECT_TRUE(cat.IsCountry());
        EXPECT_NE(Count("SELECT LaenderCode FROM T_CAT WHERE ID=20"), 0);
        EXPECT_EQ(cat.UsageCount(), replace == Answer::Yes ? 2 : 1);
    }
}

TEST_F(CategoryDb, ConvertingACountryToACategoryAddsAPrimaryRowOnlyWhereNoneIsPrimary)
{
    AddCats({{5, "Suppe"}, {6, "Eintopf"}, {1000, "Ungarn", 7, 0, 348}});
    AddRecipe(1, 1000);               // has a primary category
    AddRecipe(2, 1000);               // has no category at all
    AddRecipe(3, 1000, {{6, false}}); // has categories, none of them primary
    AddRecipe(4, 5);                  // another origin stays
    AddRecipeCat(1, 5, true, 1);
    AddRecipeCat(1, 6, false, 4);

    ASSERT_TRUE(cat.LoadByID(1000));
    EXPECT_EQ(cat.UsageCount(), 3);
    ui.Answering(Answer::Yes);
    ASSERT_TRUE(cat.ConfirmSetCountry(false)) << cat.LastErrorText();
    EXPECT_EQ(
        ui.shown.at(0).Text,
        "Sollen alle Rezepte, die bisher \"Ungarn\" als Herkunft enthalten haben, diese nun als Kategorie "
        "erhalten ?");
    EXPECT_EQ(RecipeCats(1), (Rows{{5, true}, {6, false}, {1000, false}}));
    EXPECT_EQ(Count("SELECT [No] FROM T_REZ_CAT_NDX WHERE ID=1 AND CatID=1000"), 5);
    EXPECT_EQ(RecipeCats(2), (Rows{{1000, true}}));
    EXPECT_EQ(RecipeCats(3), (Rows{{6, false}, {1000, true}}));
    for (long recipe : {1, 2, 3})
        EXPECT_EQ(Origin(recipe), 0);
    EXPECT_EQ(Origin(4), 5);
    EXPECT_FALSE(cat.IsCountry());
    EXPECT_EQ(cat.UsageCount(), 3);

    // Declining changes nothing.
    ASSERT_TRUE(cat.LoadByID(5));
    db->Execute("UPDATE T_CAT SET LaenderCode=-1 WHERE ID=5");
    ASSERT_TRUE(cat.LoadByID(5));
    ui.Answering(Answer::No);
    EXPECT_FALSE(cat.ConfirmSetCountry(false));
    EXPECT_EQ(cat.LastError(), 0);
    EXPECT_EQ(Origin(4), 5);
    EXPECT_TRUE(ui.AllAnswersUsed());
}

TEST_F(CategoryDb, DeleteRemovesTheCategoryEverywhereOrNowhere)
{
    AddCats({{1, "Dessert"}, {8, "Eis", 1, 1}, {9, "Sorbet", 1, 8}});
    AddRecipe(1, 8, {{8, true}});
    AddRecipeCat(2, 8, false, 2);
    AddRecipeCat(2, 1, true, 1);
    ASSERT_TRUE(cat.LoadByID(8));

    // The last statement fails: the rows removed before it come back.
    Raw("CREATE TRIGGER NoOriginChange BEFORE UPDATE ON T_REZ_KOPF BEGIN SELECT RAISE(ABORT, 'gesperrt'); "
        "END");
    EXPECT_FALSE(cat.Delete());
    EXPECT_NE(cat.LastError(), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_CAT_NDX WHERE CatID=8"), 2);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_CAT WHERE ID=8"), 1);
    EXPECT_EQ(Count("SELECT CatParent FROM T_CAT WHERE ID=9"), 8);
    EXPECT_EQ(Origin(1), 8);
    Raw("DROP TRIGGER NoOriginChange");

    // Declined: nothing happens.
    ui.Answering(Answer::No);
    EXPECT_FALSE(cat.ConfirmDelete());
    EXPECT_EQ(ui.shown.back().Text,
              "Soll die Kategorie \"Eis\" wirklich aus allen Rezepten entfernt werden ?");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_CAT WHERE ID=8"), 1);

    ui.Answering(Answer::Yes);
    ASSERT_TRUE(cat.ConfirmDelete()) << cat.LastErrorText();
    EXPECT_EQ(cat.id(), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_CAT_NDX WHERE CatID=8"), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_REZ_CAT_NDX"), 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_CAT WHERE ID=8"), 0);
    EXPECT_EQ(Origin(1), 0);
    EXPECT_EQ(Count("SELECT CatParent FROM T_CAT WHERE ID=9"), 1); // moved up a level
}

TEST_F(CategoryDb, NewNameCheckIgnoresCaseWildcardsAndTheCategoryItself)
{
    AddCats({{1, "Suppe"}, {2, "Süßspeise"}});
    // The category checking (0: a new one), the name, whether it may be taken.
    const std::tuple<long, const char*, bool> cases[] = {
        {0, "Suppe", false},     {0, "SUPPE", false},
        {0, "SÜSSSPEISE", true}, {0, "süßspeise", false},
        {0, "Sup*", true},       {0, "Supp?", true},
        {1, "Suppe", true},      {2, "suppe", false},
        {0, "Suppen", true},     {0, "Suppe und noch viel mehr dazu", true}};
    for (const auto& [self, name, ok] : cases) {
        SCOPED_TRACE(name);
        ClCategory check;
        check.SetDB(db.get());
        if (self != 0) {
            ASSERT_TRUE(check.LoadByID(self));
        }
        EXPECT_EQ(check.IsNewNameOK(name), ok);
    }
    ASSERT_TRUE(cat.LoadbyName("SUPPE"));
    EXPECT_EQ(cat.id(), 1);
    EXPECT_FALSE(cat.LoadbyName("Sup*"));
}

TEST_F(CategoryDb, FillListboxFiltersAndMarksCountries)
{
    AddCats({{1, "Vorspeise", 1}, {2, "Kalte Vorspeise", 1, 1}, {3, "Fisch", 2, 0, 0, false, 3},
             {4, "Italien", 7, 0, 380}, {5, "Unbekannt", 7, 0, 99}});
    const std::tuple<const char*, CategoryListFilter, std::vector<std::string>> cases[] = {
        {"alle", {}, {"Fisch", "Italien [Herkunft]", "Kalte Vorspeise", "Vorspeise"}},
        {"ohne 3", {.ExcludeID = 3}, {"Italien [Herkunft]", "Kalte Vorspeise", "Vorspeise"}},
        {"Erfassung", {.EditOnly = true}, {"Italien [Herkunft]", "Kalte Vorspeise", "Vorspeise"}},
        {"Art 1", {.TypeID = 1}, {"Kalte Vorspeise", "Vorspeise"}},
        {"Wochenplan", {.WPLevelOnly = true}, {"Fisch"}},
        {"oberste Ebene", {.TopLevelOnly = true}, {"Fisch", "Italien [Herkunft]", "Vorspeise"}},
        {"nur Länder", {.Country = true}, {"Italien [Herkunft]"}},
        {"keine Länder", {.Country = false}, {"Fisch", "Kalte Vorspeise", "Vorspeise"}},
    };
    for (const auto& [name, filter, texts] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(test::Each(cat.FillListbox(filter), &CategoryItem::Text), texts);
    }
    EXPECT_EQ(test::Each(cat.FillListbox({.Country = true}), &CategoryItem::Name),
              std::vector<std::string>{"Italien"});
    EXPECT_EQ(test::Each(cat.GetChilds(1), &CategoryItem::ID), std::vector<long>{2});
}

TEST_F(CategoryDb, FindListsWalkCategoriesInUseAndARecipesCategoriesPrimaryFirst)
{
    db->Execute("INSERT INTO T_CAT_TYPE (CatTypeID,CatTypeName,CatClassified) VALUES (1,'Menüfolge',-1),"
                "(2,'Hauptzutat',0)");
    AddCats({{1, "Suppe", 1}, {2, "Salat", 1}, {3, "Rind", 2}, {4, "Sellerie", 2},
             {1000, "Spanien", 7, 0, 724}});
    AddRecipe(1, 1000, {{3, false}, {1, true}});
    AddRecipe(2, 0, {{4, true}});
    db->Execute("INSERT INTO T_REZ_KOCHBUCH (RezID,BuchID) VALUES (1,7),(2,8)");

    auto walk = [this](bool found) {
        std::vector<std::string> names;
        for (; found; found = cat.FindNext())
            names.push_back(cat.Description());
        return names;
    };
    using Source = CategoryFindFilter::Source;
    const std::pair<CategoryFindFilter, std::vector<std::string>> cases[] = {
        {{.From = Source::InUse}, {"Rind", "Sellerie", "Suppe"}},
        {{.From = Source::InUse, .PrimaryOnly = true}, {"Sellerie", "Suppe"}},
        {{.From = Source::OriginsInUse}, {"Spanien"}},
        {{.NameStart = "s"}, {"Salat", "Sellerie", "Spanien", "Suppe"}},
        {{.ClassifiedOnly = true}, {"Salat", "Suppe"}},
        {{.From = Source::InCookbook, .BookID = 7}, {"Rind", "Suppe"}}};
    for (const auto& [filter, names] : cases) {
        SCOPED_TRACE(testing::PrintToString(names));
        EXPECT_EQ(walk(cat.FindFirst(filter)), names) << cat.LastErrorText();
        EXPECT_EQ(cat.FindCount(), static_cast<long>(names.size()));
    }

    EXPECT_EQ(walk(cat.FindFirstRecipe(1)), (std::vector<std::string>{"Suppe", "Rind"}));
    EXPECT_EQ(cat.FindMaxRezCatNo(1), 2);
    EXPECT_EQ(cat.FindMaxRezCatNo(99), 0);
    ASSERT_TRUE(cat.LoadRezOrigin(1));
    EXPECT_EQ(cat.Description(), "Spanien");
    EXPECT_FALSE(cat.LoadRezOrigin(2));

    for (const auto& [id, books] : {std::pair{1000L, "7"}, {3L, "7"}, {2L, ""}}) {
        ASSERT_TRUE(cat.LoadByID(id));
        EXPECT_EQ(cat.GetCookbookIDList(), books);
    }
}

TEST_F(CategoryDb, LoadOrCreateMakesNewCountriesOfTheCountryKind)
{
    AddCats({{1, "Suppe", 1}, {1000, "Italien", 7, 0, 380}});
    ASSERT_TRUE(cat.LoadbyNameorCreate("suppe"));
    EXPECT_EQ(cat.id(), 1);
    ASSERT_TRUE(cat.LoadbyNameorCreate("Sizilien", true));
    EXPECT_EQ(cat.id(), 2);
    EXPECT_TRUE(cat.IsCountry());
    EXPECT_TRUE(cat.IsEdit());
    EXPECT_EQ(cat.TypeID(), 7);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_CAT WHERE CatNameD='Sizilien' AND LaenderCode<>0"), 1);

    ClCategory child;
    child.SetDB(db.get());
    ASSERT_TRUE(child.LoadInheritData(1000));
    child.SetDescription("Venetien");
    ASSERT_TRUE(child.Save());
    EXPECT_EQ(child.Parent(), 1000);
    EXPECT_TRUE(child.IsCountry());
    EXPECT_EQ(child.TypeID(), 7);

    ClCategory imported;
    imported.SetDB(db.get());
    imported.SetDescription("ITALIEN");
    ASSERT_TRUE(imported.ImportUpdate());
    EXPECT_EQ(imported.id(), 1000);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_CAT"), 4);
}

TEST_F(CategoryDb, MergingKindsMovesTheirCategories)
{
    db->Execute("INSERT INTO T_CAT_TYPE (CatTypeID,CatTypeName) VALUES (3,'Alt'),(4,'Neu')");
    AddCats({{1, "A", 3}, {2, "B", 3}, {3, "C", 4}});
    EXPECT_EQ(cat.MergeTypeID(3, 4), 2);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_CAT WHERE CatType=4"), 3);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_CAT_TYPE"), 1);
}

} // namespace
} // namespace pf
