// Literature sources: the display text, saving with its refusals, categories and changes, the
// list and the table of contents by publisher and page, and deleting a source that recipes name.

#include "literature/clLiteratur.h"
#include "tests/lexicon/LexiconTestDb.h"
#include "tests/support/Each.h"

namespace pf {
namespace {

using test::Each;
using Strings = std::vector<std::string>;

class Literature : public test::LexiconDb
{
protected:
    void AddAddress(long id, const std::string& name)
    {
        db->Execute("INSERT INTO T_ADRESSE (ID,Name) VALUES (?,?)", {Value(id), Value(name)});
    }
    void AddRecipe(long id, const std::string& title, long source, const std::string& page,
                   bool deleted = false)
    {
        db->Execute(
            "INSERT INTO T_REZ_KOPF (ID,RezTitle,RezQuelleID,RezQuellePage,FlagDeleted) VALUES (?,?,?,?,?)",
            {Value(id), Value(title), Value(source), Value(page), Value(deleted ? -1L : 0L)});
    }
    clLiteratur Empty()
    {
        clLiteratur source;
        source.SetDB(db.get());
        return source;
    }
    clLiteratur Source(const std::string& title, long year = 0, const std::string& issue = "",
                       long publisher = 0)
    {
        clLiteratur source = Empty();
        source.SetTitle(title);
        source.SetJahrgang(year);
        source.SetAusgabe(issue);
        source.SetVerlagID(publisher);
        return source;
    }
    long Saved(const std::string& title, long year = 0, const std::string& issue = "", long publisher = 0)
    {
        clLiteratur source = Source(title, year, issue, publisher);
        EXPECT_TRUE(source.Save()) << source.LastErrorText();
        return source.id();
    }
    clLiteratur Loaded(long id)
    {
        clLiteratur source = Empty();
        EXPECT_TRUE(source.Loadr(id)) << id;
        return source;
    }
};

TEST(LiteratureText, TitleTextJoinsTheKnownParts)
{
    struct Case
    {
        const char* Publisher;
        long Year;
        const char* Issue;
        long Page;
        const char* Expected;
    };
    for (const Case& c :
         std::vector<Case>{{"", 0, "", 0, "Kochen"},
                           {"", 2004, "", 0, "Kochen, 2004"},
                           {"", 0, "3", 0, "Kochen, 3"},
                           {"Verlag Süd", 2004, "12", 35, "Kochen (Verlag Süd), 2004/12, Seite 35"},
                           {"X", 0, "", 7, "Kochen, Seite 7"}, // one-letter publisher left out
                           {"", -1, "", 0, "Kochen"}}) {
        SCOPED_TRACE(c.Expected);
        EXPECT_EQ(clLiteratur::ComposeTitleText("Kochen", c.Publisher, c.Year, c.Issue, c.Page), c.Expected);
    }
}

TEST_F(Literature, SaveAndLoadKeepEveryFieldAndCategoryOrder)
{
    AddAddress(3, "Verlag Süd");
    AddAddress(4, "Erika Koch");
    clLiteratur source = Source("Backen mit Liebe", 2004, "12", 3);
    source.SetAutorID(4);
    source.SetStorage("Regal 2");
    source.SetBorrowed("Nachbarin");
    source.SetRating(4);
    source.SetBemerkungen("Mit Lesezeichen");
    source.SetFingerprint(11, 22);
    source.SetCategories({7, 5}, 9);
    ASSERT_TRUE(source.Save()) << source.LastErrorText();
    EXPECT_EQ(source.id(), 1);
    EXPECT_FALSE(source.IsChanged());

    clLiteratur loaded = Loaded(1);
    EXPECT_EQ((Strings{loaded.GetTitleText(), loaded.Autor(), loaded.Storage(), loaded.Borrowed(),
                       loaded.Bemerkungen()}),
              (Strings{"Backen mit Liebe (Verlag Süd), 2004/12", "Erika Koch", "Regal 2", "Nachbarin",
                       "Mit Lesezeichen"}));
    EXPECT_EQ(loaded.Rating(), 4);
    EXPECT_EQ(loaded.CatPrimary(), 9);
    ASSERT_EQ(loaded.Categories().size(), 3u);
    EXPECT_EQ(loaded.Categories().front(), 9);

    // Edits are seen and can be taken back.
    loaded.SetTitle("Anders");
    loaded.SetRating(2);
    EXPECT_TRUE(loaded.IsChanged());
    loaded.CancelChange();
    EXPECT_FALSE(loaded.IsChanged());
    EXPECT_EQ(loaded.Title(), "Backen mit Liebe");
    EXPECT_EQ(loaded.Rating(), 4);

    // Fewer categories on the next save: the old rows go.
    loaded.SetCategories({5}, 0);
    ASSERT_TRUE(loaded.Save());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_LITERATUR_CAT_NDX WHERE ID=1"), 1);

    EXPECT_TRUE(loaded.LoadbyName("Backen mit Liebe", 2004, "12"));
    EXPECT_FALSE(loaded.LoadbyName("Backen mit Liebe", 2005));
    EXPECT_EQ(loaded.id(), 0);
    EXPECT_TRUE(loaded.LoadByFingerprint(22));
    EXPECT_EQ(loaded.id(), 1);
    EXPECT_FALSE(loaded.Loadr(99));
}

TEST(LiteratureText, EanChecksItsDigitAndIsbnGetsItsHyphens)
{
    struct Case
    {
        const char* Code;
        bool Valid;
        const char* Shown;
    };
    for (const Case& c :
         std::vector<Case>{{"9783161484100", true, "978-3-16-148410-0"},  // German group, two-digit publisher
                           {"9783453123458", true, "978-3-453-12345-8"},  // three digits from 200
                           {"9783800123456", false, "978-3-8001-2345-6"}, // four from 7000; wrong check digit
                           {"9783866801234", false, "978-3-86680-123-4"}, // five from 85000
                           {"9783930000123", false, "978-3-930000-12-3"}, // six from 900000
                           {"9780306406157", true, "978-0-306-40615-7"},  // English group
                           // Group 1 has ranges of its own.
                           {"9781400012343", true, "978-1-4000-1234-3"},
                           {"9781550001235", true, "978-1-55000-123-5"},
                           {"9781869800123", true, "978-1-869800-12-3"},
                           {"9781999000011", true, "978-1-9990000-1-1"},
                           // The German group's ranges below 04 and above 95.
                           {"9783030123451", true, "978-3-030-12345-1"},
                           {"9783034012348", true, "978-3-0340-1234-8"},
                           {"9783037001233", true, "978-3-03700-123-3"},
                           {"9783950000016", true, "978-3-9500000-1-6"},
                           {"9783954001231", true, "978-3-95400-123-1"},
                           {"9783970000010", true, "978-3-9700000-1-0"},
                           {"9783985001231", true, "978-3-98500-123-1"},
                           {"316148410X", true, "3-16-148410-X"}, // ISBN-10: check digit ten is written X
                           {"3161484100", false, "3-16-148410-0"},
                           {"9791234567896", true, "9791234567896"}, // other prefixes stay as they are
                           {"9788812345670", true, "9788812345670"},
                           {"40123455", true, "40123455"}, // EAN-8
                           {"4012345", false, "4012345"},
                           {"978316148410A", false, "978316148410A"}}) {
        SCOPED_TRACE(c.Code);
        EXPECT_EQ(clLiteratur::ValidEAN(c.Code), c.Valid);
        EXPECT_EQ(clLiteratur::ISBNText(c.Code), c.Shown);
    }
}

TEST_F(Literature, EanAndCoverAreSavedWithTheSource)
{
    clLiteratur source = Source("Backbuch");
    source.SetEAN("978-3-16-148410-1");
    EXPECT_EQ(source.EAN(), "9783161484101");
    EXPECT_FALSE(source.Save());
    EXPECT_EQ(source.LastError(), clLiteratur::kErrBadEAN);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_LITERATUR"), 0);

    source.SetEAN(" 978 3 16 148410 0 ");
    const Blob cover{0x89, 'P', 'N', 'G', 1, 2, 3};
    source.SetDeckblattBild(cover);
    ASSERT_TRUE(source.Save()) << source.LastErrorText();
    clLiteratur loaded = Loaded(source.id());
    EXPECT_EQ(loaded.EAN(), "9783161484100");
    EXPECT_EQ(loaded.DeckblattBild(), cover);
    EXPECT_EQ(loaded.PictureCount(), 1);
    EXPECT_FALSE(loaded.IsChanged());

    // A new cover replaces the old row; none removes it.
    loaded.SetDeckblattBild({'G', 'I', 'F', '8'});
    EXPECT_TRUE(loaded.IsChanged());
    ASSERT_TRUE(loaded.Save());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_BLOB"), 1);
    const auto covers = loaded.CoverList();
    ASSERT_EQ(covers.size(), 1u);
    EXPECT_EQ(covers[0].Picture, (Blob{'G', 'I', 'F', '8'}));
    loaded.SetDeckblattBild({});
    ASSERT_TRUE(loaded.Save());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_BLOB"), 0);
    EXPECT_EQ(loaded.PictureCount(), 0);
}

TEST_F(Literature, SaveRefusesBadInputAndKeepsTheStoredRow)
{
    const long id = Saved("Kochen", 2004, "3");
    struct Case
    {
        std::string Title;
        long Year;
        std::string Issue;
        std::string Storage;
        long Error;
    };
    for (const Case& c :
         std::vector<Case>{{"  ", 0, "", "", clLiteratur::kErrNoTitle},
                           {std::string(65, 'a'), 0, "", "", clLiteratur::kErrTooLong},
                           {std::string(64, 'a'), 0, "12345678901", "", clLiteratur::kErrTooLong},
                           {"Neu", 0, "", "Ein sehr langer Lagerort", clLiteratur::kErrTooLong},
                           {"Neu", -5, "", "", clLiteratur::kErrTooLong},
                           {"Kochen", 2004, "3", "", clLiteratur::kErrDuplicate},
                           {" Kochen ", 2004, " 3", "", clLiteratur::kErrDuplicate}}) {
        SCOPED_TRACE(c.Title + "/" + c.Issue);
        clLiteratur source = Source(c.Title, c.Year, c.Issue);
        source.SetStorage(c.Storage);
        EXPECT_FALSE(source.Save());
        EXPECT_EQ(source.LastError(), c.Error);
        EXPECT_FALSE(source.LastErrorText().empty());
    }
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_LITERATUR"), 1);
    // 64 characters of umlauts are 128 bytes but fit; the same title another year is no duplicate.
    std::string umlauts;
    for (int i = 0; i < 64; ++i)
        umlauts += "ü";
    EXPECT_GT(Saved(umlauts), 0);
    EXPECT_GT(Saved("Kochen", 2005, "3"), id);
    // Saving the stored source itself is not a duplicate of itself.
    clLiteratur same = Loaded(id);
    same.SetRating(5);
    EXPECT_TRUE(same.Save()) << same.LastErrorText();
}

TEST_F(Literature, DeleteRefusesASourceRecipesStillName)
{
    const long used = Saved("Kochen");
    const long unused = Saved("Backen");
    AddRecipe(1, "Suppe", used, "7");
    AddRecipe(2, "Alter Kuchen", used, "", true); // in the trash, still names the source
    db->Execute("INSERT INTO T_LITERATUR_CAT_NDX (ID,CatID,CatPrimary) VALUES (?,5,0)", {Value(unused)});
    db->Execute("INSERT INTO T_BLOB (ID,IDType,IDReference,IDNum,Property) VALUES (1,?,?,1,0)",
                {Value(kBlobOwnerLiterature), Value(unused)});

    clLiteratur source = Loaded(used);
    EXPECT_EQ(source.RecipeCount(), 2);
    EXPECT_FALSE(source.Delete());
    EXPECT_EQ(source.LastError(), clLiteratur::kErrInUse);
    EXPECT_NE(source.LastErrorText().find("2 Rezepten"), std::string::npos);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_LITERATUR WHERE QuelleID=" + std::to_string(used)), 1);

    // The question comes first; No keeps the source.
    ASSERT_TRUE(source.Loadr(unused));
    ui.Answering(Answer::No);
    EXPECT_FALSE(source.AskDelete());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_LITERATUR WHERE QuelleID=" + std::to_string(unused)), 1);
    ui.Answering(Answer::Yes);
    EXPECT_TRUE(source.AskDelete());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_LITERATUR WHERE QuelleID=" + std::to_string(unused)), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_LITERATUR_CAT_NDX"), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_BLOB"), 0);
}

TEST_F(Literature, ListAndContentsGroupByPublisherAndSortByPage)
{
    AddAddress(3, "Zeitschriften AG");
    AddAddress(4, "");
    const long magazine = Saved("Kochzeit", 2004, "12", 3);
    const long book = Saved("Apfelbuch", 0, "", 0);
    const long noName = Saved("Namenlos", 1999, "", 4);
    AddRecipe(1, "Suppe", magazine, "35");
    AddRecipe(2, "Salat", magazine, "7");
    AddRecipe(3, "Brot", magazine, "");
    AddRecipe(4, "Gelöscht", magazine, "1", true);
    AddRecipe(5, "Strudel", book, "120");

    clLiteratur lit = Empty();
    EXPECT_EQ(Each(lit.FillLiteraturlist(), &clLiteratur::ListItem::Text),
              (Strings{"Apfelbuch", "Kochzeit (Zeitschriften AG), 2004/12", "Namenlos, 1999"}));
    ASSERT_EQ(lit.FillLiteraturlist(3).size(), 1u);

    const auto groups = lit.FillLiteraturInhalt();
    ASSERT_EQ(Each(groups, &clLiteratur::ContentsPublisher::Name),
              (Strings{"(undefinierter Verlag)", "<unspezifiziert>", "Zeitschriften AG"}));
    EXPECT_EQ(groups[1].Sources.at(0).id, noName);
    EXPECT_EQ(Each(groups[2].Sources.at(0).Recipes, &clLiteratur::ContentsRecipe::Text),
              (Strings{"    7 - Salat", "   35 - Suppe", "Brot"}));
    EXPECT_EQ(groups[2].Sources.at(0).Text, "Kochzeit, 2004/12");
    // Pages of five digits fill the page column, longer ones push the title along; a blank page is none.
    EXPECT_EQ(clLiteratur::ContentsLine("12345", "Suppe"), "12345 - Suppe");
    EXPECT_EQ(clLiteratur::ContentsLine("123456", "Suppe"), "123456 - Suppe");
    EXPECT_EQ(clLiteratur::ContentsLine(" ", "Suppe"), "Suppe");

    // Publishers and authors are chosen among the active addresses, an alias row not repeating its
    // address.
    db->Execute("UPDATE T_ADRESSE SET AdrType=4, AliasID=0");
    db->Execute(
        "INSERT INTO T_ADRESSE (ID,Name,AdrType,AliasID,ParentID) VALUES (5,'Zeitschriften AG',4,3,9)");
    db->Execute("INSERT INTO T_ADRESSE (ID,Name,AdrType,AliasID) VALUES (6,'Alter Verlag',-5,0)");
    EXPECT_EQ(Each(lit.AddressList(), &clLiteratur::ListItem::id), (std::vector<long>{4, 3}));

    const auto one = lit.FillLiteraturInhalt(0, book);
    ASSERT_EQ(one.size(), 1u);
    ASSERT_EQ(one[0].Sources.size(), 1u);
    EXPECT_EQ(one[0].Sources[0].Recipes.at(0).Text, "  120 - Strudel");
    EXPECT_EQ(one[0].Sources[0].Recipes.at(0).id, 5);
}

// A second database beside the fixture's, for copies and imports between databases.
class LiteratureTwoDbs : public Literature
{
protected:
    void SetUp() override
    {
        Literature::SetUp();
        OpenOptions create;
        create.Create = true;
        other = Database::OpenSqlite(dir.File("ziel.db"), create);
        CreateTables(*other, SchemaTables());
    }
    long OtherCount(const std::string& sql) { return static_cast<long>(other->Scalar(sql).AsLong()); }
    std::unique_ptr<Database> other;
};

TEST_F(LiteratureTwoDbs, CloneToNewDbCopiesOnceAndMatchesAddresses)
{
    AddAddress(3, "Verlag Süd");
    AddAddress(4, "Erika Koch");
    other->Execute("INSERT INTO T_ADRESSE (ID,Name) VALUES (8,'Verlag Süd')");
    clLiteratur source = Source("Backen mit Liebe", 2004, "12", 3);
    source.SetAutorID(4);
    source.SetCategories({5}, 5);
    source.SetDeckblattBild(Blob{'P', 'N', 'G'});
    source.SetFingerprint(100, 4242);
    ASSERT_TRUE(source.Save()) << source.LastErrorText();

    const long copied = source.CloneToNewDb(*other);
    ASSERT_NE(copied, 0) << source.LastErrorText();
    clLiteratur there;
    there.SetDB(other.get());
    ASSERT_TRUE(there.Loadr(copied));
    EXPECT_EQ((Strings{there.GetTitleText(), there.Autor()}),
              (Strings{"Backen mit Liebe (Verlag Süd), 2004/12", "Erika Koch"}));
    EXPECT_EQ(there.VerlagID(), 8); // matched by name
    EXPECT_EQ(there.Fingerprint2(), 4242);
    EXPECT_EQ(there.DeckblattBild(), (Blob{'P', 'N', 'G'}));
    EXPECT_TRUE(there.Categories().empty()); // categories belong to the source database's tree

    // A second copy, and a copy of another source with the same title, year and issue, find it.
    EXPECT_EQ(source.CloneToNewDb(*other), copied);
    clLiteratur twin = Source("Backen mit Liebe", 2004, "12");
    twin.SetDB(db.get());
    EXPECT_EQ(twin.CloneToNewDb(*other), copied);
    EXPECT_EQ(OtherCount("SELECT COUNT(*) FROM T_LITERATUR"), 1);
    EXPECT_EQ(OtherCount("SELECT COUNT(*) FROM T_ADRESSE"), 2);
}

TEST_F(LiteratureTwoDbs, ImportUpdateReplacesOnlyWithANewerVersion)
{
    const long stored = Saved("Kochen heute", 2010, "3");
    db->Execute("UPDATE T_LITERATUR SET Fingerprint1=500, Fingerprint2=77, Notiz='alt' WHERE QuelleID=?",
                {Value(stored)});
    db->Execute("INSERT INTO T_LITERATUR_CAT_NDX (ID,CatID,CatPrimary) VALUES (?,6,-1)", {Value(stored)});
    struct Case
    {
        const char* Name;
        long FP1;
        long FP2;
        const char* Title;
        const char* ExpectedNote;
        long ExpectedSources;
    };
    for (const Case& c : std::vector<Case>{
             {"older version keeps the stored one", 400, 77, "Kochen heute", "alt", 1},
             {"newer version replaces the fields", 600, 77, "Kochen heute neu", "neu", 1},
             {"same title, no fingerprint: the stored one stays", 0, 0, "Kochen heute neu", "neu", 1},
             {"another source is added", 0, 0, "Backen heute", "neu", 2}}) {
        SCOPED_TRACE(c.Name);
        clLiteratur incoming = Source(c.Title, 2010, "3");
        incoming.SetBemerkungen("neu");
        incoming.SetFingerprint(c.FP1, c.FP2);
        ASSERT_TRUE(incoming.ImportUpdate()) << incoming.LastErrorText();
        EXPECT_EQ(Count("SELECT COUNT(*) FROM T_LITERATUR"), c.ExpectedSources);
        EXPECT_EQ(Text("SELECT Notiz FROM T_LITERATUR WHERE QuelleID=" + std::to_string(stored)),
                  c.ExpectedNote);
        EXPECT_FALSE(incoming.IsChanged());
    }
    // The replaced source keeps this database's categories.
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_LITERATUR_CAT_NDX WHERE CatID=6"), 1);
}

TEST_F(Literature, CloneIsANewUnsavedSource)
{
    clLiteratur source = Source("Landküche", 2001, "1");
    source.SetFingerprint(1, 2);
    ASSERT_TRUE(source.Save());
    source.Clone();
    EXPECT_EQ(source.id(), 0);
    EXPECT_TRUE(source.IsChanged());
    EXPECT_EQ(source.Fingerprint2(), 0);
    EXPECT_FALSE(source.Save()); // the same title, year and issue
    source.SetAusgabe("2");
    ASSERT_TRUE(source.Save()) << source.LastErrorText();
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_LITERATUR"), 2);
}

TEST_F(Literature, TreeOfACategoryGroupsTheIssuesOfATitle)
{
    AddAddress(3, "Verlag Süd");
    const long book = Saved("Alte Küche");
    const long issue2 = Saved("Zeitschrift", 2004, "2", 3);
    const long issue1 = Saved("Zeitschrift", 2004, "1", 3);
    const long volume = Saved("Zeitschrift", 2003);
    const long other = Saved("Anderes");
    for (const auto& [id, primary] :
         std::vector<std::pair<long, bool>>{{book, true}, {issue2, true}, {issue1, false}, {volume, true}})
        db->Execute("INSERT INTO T_LITERATUR_CAT_NDX (ID,CatID,CatPrimary) VALUES (?,9,?)",
                    {Value(id), Value(primary)});
    db->Execute("INSERT INTO T_LITERATUR_CAT_NDX (ID,CatID,CatPrimary) VALUES (?,8,-1)", {Value(other)});

    clLiteratur list = Empty();
    const auto all = list.FillLiteraturTree(9);
    using Node = clLiteratur::TreeNode;
    ASSERT_EQ(Each(all, &Node::Text), (Strings{"Alte Küche", "Zeitschrift"}));
    EXPECT_EQ(Each(all, &Node::id), (std::vector<long>{book, 0}));
    EXPECT_EQ(Each(all[1].Children, &Node::id), (std::vector<long>{volume, issue1, issue2}));
    EXPECT_EQ(Each(all[1].Children, &Node::Text),
              (Strings{"2003", "(Verlag Süd), 2004/1", "(Verlag Süd), 2004/2"}));

    const auto primary = list.FillLiteraturTree(9, true);
    ASSERT_EQ(primary.size(), 2u);
    EXPECT_EQ(primary[1].Children.size(), 2u); // issue 1 has the category as a further one

    const auto withoutIssue = list.FillLiteraturTree(9, false, true);
    ASSERT_EQ(withoutIssue.size(), 2u);
    EXPECT_EQ(withoutIssue[1].id, volume);
    EXPECT_EQ(withoutIssue[1].Text, "Zeitschrift, 2003");
}

} // namespace
} // namespace pf
