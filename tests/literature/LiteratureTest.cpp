// Literature sources: the display text, saving with its refusals, categories and changes, the
// list and the table of contents by publisher and page, and deleting a source that recipes name.

#include "literature/clLiteratur.h"
#include "tests/lexicon/LexiconTestDb.h"

namespace pf {
namespace {

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
    clLiteratur Source(const std::string& title, long year = 0, const std::string& issue = "",
                       long publisher = 0)
    {
        clLiteratur source;
        source.SetDB(db.get());
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

TEST(LiteratureText, ContentsLineRightAlignsThePage)
{
    EXPECT_EQ(clLiteratur::ContentsLine("7", "Suppe"), "    7 - Suppe");
    EXPECT_EQ(clLiteratur::ContentsLine("12345", "Suppe"), "12345 - Suppe");
    EXPECT_EQ(clLiteratur::ContentsLine("123456", "Suppe"), "123456 - Suppe");
    EXPECT_EQ(clLiteratur::ContentsLine(" ", "Suppe"), "Suppe");
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

    clLiteratur loaded;
    loaded.SetDB(db.get());
    ASSERT_TRUE(loaded.Loadr(1));
    EXPECT_EQ(loaded.GetTitleText(), "Backen mit Liebe (Verlag Süd), 2004/12");
    EXPECT_EQ(loaded.Autor(), "Erika Koch");
    EXPECT_EQ(loaded.Storage(), "Regal 2");
    EXPECT_EQ(loaded.Borrowed(), "Nachbarin");
    EXPECT_EQ(loaded.Rating(), 4);
    EXPECT_EQ(loaded.Bemerkungen(), "Mit Lesezeichen");
    EXPECT_EQ(loaded.CatPrimary(), 9);
    ASSERT_FALSE(loaded.Categories().empty());
    EXPECT_EQ(loaded.Categories().front(), 9);
    EXPECT_EQ(loaded.Categories().size(), 3u);

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
    clLiteratur loaded;
    loaded.SetDB(db.get());
    ASSERT_TRUE(loaded.Loadr(source.id()));
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

TEST_F(Literature, ChangesAreSeenAndCanBeTakenBack)
{
    const long id = Saved("Kochen", 2001);
    clLiteratur source;
    source.SetDB(db.get());
    ASSERT_TRUE(source.Loadr(id));
    source.SetTitle("Anders");
    source.SetRating(2);
    EXPECT_TRUE(source.IsChanged());
    source.CancelChange();
    EXPECT_FALSE(source.IsChanged());
    EXPECT_EQ(source.Title(), "Kochen");
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
    clLiteratur same;
    same.SetDB(db.get());
    ASSERT_TRUE(same.Loadr(id));
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

    clLiteratur source;
    source.SetDB(db.get());
    ASSERT_TRUE(source.Loadr(used));
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

    clLiteratur lit;
    lit.SetDB(db.get());
    std::vector<std::string> texts;
    for (const auto& item : lit.FillLiteraturlist())
        texts.push_back(item.Text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Apfelbuch", "Kochzeit (Zeitschriften AG), 2004/12",
                                               "Namenlos, 1999"}));
    ASSERT_EQ(lit.FillLiteraturlist(3).size(), 1u);

    const auto groups = lit.FillLiteraturInhalt();
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0].Name, "(undefinierter Verlag)");
    EXPECT_EQ(groups[1].Name, "<unspezifiziert>");
    EXPECT_EQ(groups[1].Sources.at(0).id, noName);
    EXPECT_EQ(groups[2].Name, "Zeitschriften AG");
    const auto& recipes = groups[2].Sources.at(0).Recipes;
    std::vector<std::string> lines;
    for (const auto& r : recipes)
        lines.push_back(r.Text);
    EXPECT_EQ(lines, (std::vector<std::string>{"    7 - Salat", "   35 - Suppe", "Brot"}));
    EXPECT_EQ(groups[2].Sources.at(0).Text, "Kochzeit, 2004/12");

    // Publishers and authors are chosen among the active addresses, an alias row not repeating its
    // address.
    db->Execute("UPDATE T_ADRESSE SET AdrType=4, AliasID=0");
    db->Execute(
        "INSERT INTO T_ADRESSE (ID,Name,AdrType,AliasID,ParentID) VALUES (5,'Zeitschriften AG',4,3,9)");
    db->Execute("INSERT INTO T_ADRESSE (ID,Name,AdrType,AliasID) VALUES (6,'Alter Verlag',-5,0)");
    std::vector<long> choosable;
    for (const auto& item : lit.AddressList())
        choosable.push_back(item.id);
    EXPECT_EQ(choosable, (std::vector<long>{4, 3}));

    const auto one = lit.FillLiteraturInhalt(0, book);
    ASSERT_EQ(one.size(), 1u);
    ASSERT_EQ(one[0].Sources.size(), 1u);
    EXPECT_EQ(one[0].Sources[0].Recipes.at(0).Text, "  120 - Strudel");
    EXPECT_EQ(one[0].Sources[0].Recipes.at(0).id, 5);
}

} // namespace
} // namespace pf
