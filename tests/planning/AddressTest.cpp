// Addresses: names, saving with aliases and deliveries in one transaction, loading through an
// alias, the tree and the lists, finding by name and fingerprint, deleting and the default.

#include "planning/ClAddress.h"
#include "tests/lexicon/LexiconTestDb.h"
#include "tests/support/Each.h"

namespace pf {
namespace {

using Strings = std::vector<std::string>;

class Address : public test::LexiconDb
{
protected:
    ClAddress Empty()
    {
        ClAddress a;
        a.SetDB(db.get());
        return a;
    }
    ClAddress New(const std::string& name, long parent = 0, AddressKind kind = AddressKind::Person)
    {
        ClAddress a = Empty();
        a.SetNameClassic(name);
        a.ParentIDUnconditional(parent);
        a.SetStatus(static_cast<long>(kind));
        return a;
    }
    long Saved(const std::string& name, long parent = 0, AddressKind kind = AddressKind::Person)
    {
        ClAddress a = New(name, parent, kind);
        EXPECT_TRUE(a.Save()) << a.LastErrorText();
        return a.id();
    }
    ClAddress Loaded(long id)
    {
        ClAddress a = Empty();
        EXPECT_TRUE(a.GetID(id)) << id;
        return a;
    }
    // The texts of the tree, indented by level.
    static Strings TreeTexts(const std::vector<AddressListRow>& rows, const std::string& indent = "")
    {
        Strings texts;
        for (const AddressListRow& r : rows) {
            texts.push_back(indent + r.Text);
            for (const std::string& child : TreeTexts(r.Children, indent + "  "))
                texts.push_back(child);
        }
        return texts;
    }
};

TEST(AddressNames, ClassicAndFriendlyNames)
{
    struct Case
    {
        const char *Classic, *Family, *Given, *Friend, *Back;
    };
    for (const Case& c : std::vector<Case>{
             {"Müller, Anna", "Müller", "Anna", "Anna Müller", "Müller, Anna"},
             {"Müller  ,   Anna Maria ", "Müller", "Anna Maria", "Anna Maria Müller", "Müller, Anna Maria"},
             {"Feinkost Schmidt", "Feinkost Schmidt", "", "Feinkost Schmidt", "Feinkost Schmidt"},
             {"Meier, Hans, jun.", "Meier", "Hans, jun.", "Hans, jun. Meier", "Meier, Hans, jun."},
             {"Weber,Ute", "Weber,Ute", "", "Weber,Ute", "Weber,Ute"}}) {
        SCOPED_TRACE(c.Classic);
        ClAddress a;
        a.SetNameClassic(c.Classic);
        EXPECT_EQ((Strings{a.NameFamily(), a.NameGiven(), a.NameFriend(), a.NameClassic()}),
                  (Strings{c.Family, c.Given, c.Friend, c.Back}));
    }
    EXPECT_EQ(ClAddress::ListenName("Müller, Anna", "80331", "München"), "Müller, Anna, 80331 München");
    EXPECT_EQ(ClAddress::ListenName("Müller, Anna", "", " "), "Müller, Anna");
}

TEST_F(Address, SaveAndLoadKeepEveryField)
{
    db->Execute("INSERT INTO T_BLS_KEY (ID,SBLS,ST) VALUES (7,'B100000','Brot')");
    const long group = Saved("Läden", 0, AddressKind::Gruppe);
    ClAddress a = New("Bäcker Kunz", group, AddressKind::Lieferant);
    a.SetAddress("Hauptstraße 1");
    a.SetPlz("80331");
    a.SetCity("München");
    a.SetTelefon("089 1234");
    a.SetTelefax("089 1235");
    a.Setemail("info@kunz.example");
    a.SetWebSite("www.kunz.example");
    a.SetStoreLocations("BGB F");
    a.SetNotices("Montag Ruhetag\r\nsonst 7-18 Uhr");
    a.SetAnsprechpartner1("Frau Kunz");
    a.SetAnsprechpartner2("Herr Kunz");
    a.SetKundennummer("K-17");
    a.SetMinBestellwert(Decimal4::Parse("25.5"));
    a.SetWaehrung("EUR");
    a.SetInactive(true);
    a.SetImagefromObject(Blob{0x89, 'P', 'N', 'G', 1, 2});
    AddressDelivery bread;
    bread.Nahrungsmittel = 7;
    bread.Name = "Bauernbrot";
    bread.Menge = Decimal4::FromLong(1);
    bread.Preis = Decimal4::Parse("3.2");
    bread.Waehrung = "EUR";
    a.SetSpez(0, bread);
    AddressDelivery rolls;
    rolls.Name = "Semmeln";
    a.SetSpez(1, rolls);
    ASSERT_TRUE(a.Save()) << a.LastErrorText();
    EXPECT_FALSE(a.IsChanged());
    EXPECT_EQ(a.StoreLocations(), "BGF"); // each group once

    ClAddress b = Loaded(a.id());
    EXPECT_EQ((Strings{b.NameClassic(), b.Parent(), b.City(), b.Notices()}),
              (Strings{"Bäcker Kunz", "Läden", "München", "Montag Ruhetag\r\nsonst 7-18 Uhr"}));
    EXPECT_EQ(b.MinBestellwert(), Decimal4::Parse("25.5"));
    EXPECT_EQ(b.Status(), static_cast<long>(AddressKind::Lieferant));
    EXPECT_TRUE(b.IsInactive());
    EXPECT_EQ(b.GetImage2Control().size(), 6u);
    ASSERT_EQ(b.GetSpezCount(), 2);
    EXPECT_EQ((Strings{b.GetSpez(0).FoodName, b.GetSpez(0).SBLS, b.GetSpez(1).Name}),
              (Strings{"Brot", "B100000", "Semmeln"}));
    EXPECT_EQ(b.GetSpez(0).Preis, Decimal4::Parse("3.2"));
    EXPECT_TRUE(b.Fingerprint().HasFingerprint());
    EXPECT_NE(Count("SELECT Fingerprint2 FROM T_ADRESSE WHERE ID=" + std::to_string(a.id())), 0);

    b.DelSpez(0);
    ASSERT_TRUE(b.Save());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_LIEFERUNG"), 1);
    EXPECT_EQ(Loaded(a.id()).GetSpez(0).Name, "Semmeln");
}

TEST_F(Address, RefusalsLeaveTheDatabaseAlone)
{
    const long group = Saved("Gruppe", 0, AddressKind::Gruppe);
    const long member = Saved("Mitglied", group);
    struct Case
    {
        const char* What;
        std::function<void(ClAddress&)> Change;
        long Error;
    };
    const std::vector<Case> cases{
        {"no name", [](ClAddress& a) { a.SetNameClassic("  "); }, ClAddress::kErrNoName},
        {"long town", [](ClAddress& a) { a.SetCity(std::string(51, 'x')); }, ClAddress::kErrTooLong},
        {"own group", [&](ClAddress& a) { a.ParentIDUnconditional(group); }, ClAddress::kErrBadGroup},
        {"group below", [&](ClAddress& a) { a.ParentIDUnconditional(member); }, ClAddress::kErrBadGroup},
        {"missing group", [](ClAddress& a) { a.ParentIDUnconditional(999); }, ClAddress::kErrBadGroup},
        {"empty delivery", [](ClAddress& a) { a.SetSpez(0, {}); }, ClAddress::kErrBadDelivery},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        ClAddress a = Loaded(group);
        c.Change(a);
        EXPECT_FALSE(a.Save());
        EXPECT_EQ(a.LastError(), c.Error);
        EXPECT_FALSE(a.LastErrorText().empty());
        EXPECT_EQ(Text("SELECT Name FROM T_ADRESSE WHERE ID=" + std::to_string(group)), "Gruppe");
        EXPECT_EQ(Count("SELECT ParentID FROM T_ADRESSE WHERE ID=" + std::to_string(group)), 0);
    }
    ClAddress g = Loaded(group);
    EXPECT_FALSE(g.SetParentID(member));
    EXPECT_EQ(g.ParentID(), 0);
}

TEST_F(Address, AFailingDeliveryWriteKeepsTheStoredAddress)
{
    const long id = Saved("Markt Ost");
    const long group = Saved("Gruppe", 0, AddressKind::Gruppe);
    ClAddress a = Loaded(id);
    db->Execute("DROP TABLE T_LIEFERUNG");
    a.SetCity("Leipzig");
    ASSERT_TRUE(a.AddAlias(group));
    EXPECT_FALSE(a.Save());
    EXPECT_GT(a.LastError(), 0);
    EXPECT_EQ(Text("SELECT AdrOrt FROM T_ADRESSE WHERE ID=" + std::to_string(id)), "");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_ADRESSE WHERE AliasID<>0"), 0);
}

TEST_F(Address, AnAddressUnderTwoGroupsIsOneRowAndOneAlias)
{
    const long shops = Saved("Geschäfte", 0, AddressKind::Gruppe);
    const long organic = Saved("Bio", 0, AddressKind::Gruppe);
    const long nested = Saved("Bio Süd", organic, AddressKind::Gruppe);
    ClAddress a = New("Hofladen Berg", shops, AddressKind::Geschaeft);
    a.SetCity("Au");
    EXPECT_TRUE(a.AddAlias(organic));
    EXPECT_FALSE(a.AddAlias(organic)); // already listed there
    EXPECT_FALSE(a.AddAlias(shops));   // its own group
    ASSERT_TRUE(a.Save());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_ADRESSE WHERE Name='Hofladen Berg'"), 2);
    const long aliasRow = Count("SELECT ID FROM T_ADRESSE WHERE AliasID=" + std::to_string(a.id()));
    EXPECT_EQ(Count("SELECT ParentID FROM T_ADRESSE WHERE ID=" + std::to_string(aliasRow)), organic);
    EXPECT_EQ(Text("SELECT AdrOrt FROM T_ADRESSE WHERE ID=" + std::to_string(aliasRow)), "Au");

    // Loading the alias row loads the address it stands for, with its groups.
    ClAddress viaAlias = Loaded(aliasRow);
    EXPECT_EQ(viaAlias.id(), a.id());
    EXPECT_EQ(viaAlias.AliasList(), std::vector<long>{organic});

    // A group cannot be listed below itself through an alias.
    ClAddress bio = Loaded(organic);
    EXPECT_FALSE(bio.AddAlias(nested));

    // Moving the alias rewrites the alias rows.
    EXPECT_TRUE(viaAlias.RemoveAlias(organic));
    EXPECT_FALSE(viaAlias.RemoveAlias(organic));
    EXPECT_TRUE(viaAlias.AddAlias(nested));
    ASSERT_TRUE(viaAlias.Save());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_ADRESSE WHERE AliasID=" + std::to_string(a.id())), 1);
    EXPECT_EQ(Loaded(a.id()).AliasList(), std::vector<long>{nested});

    // An alias that points to itself is an ordinary address.
    db->Execute("INSERT INTO T_ADRESSE (ID,Name,AliasID) VALUES (50,'Selbst',50)");
    db->Execute("UPDATE T_ADRESSE SET AdrType=1 WHERE ID=50");
    EXPECT_EQ(Loaded(50).NameClassic(), "Selbst");

    // The tree shows the alias under its group, marked; filtered by kind: the shops and the groups
    // above them.
    const Strings shopsAndGroups{"Bio", "  Bio Süd", "    Hofladen Berg, Au [Alias]", "Geschäfte",
                                 "  Hofladen Berg, Au"};
    Strings all = shopsAndGroups;
    all.push_back("Selbst");
    EXPECT_EQ(TreeTexts(a.FillAdressTree()), all);
    EXPECT_EQ(TreeTexts(a.FillAdressTree(static_cast<long>(AddressKind::Geschaeft))), shopsAndGroups);
}

TEST_F(Address, ListsAndLookups)
{
    const long group = Saved("Zulieferer", 0, AddressKind::Gruppe);
    const long mill = Saved("Mühle Öhringer", group, AddressKind::Lieferant);
    ClAddress quiet = New("Alte Mühle", group);
    quiet.SetInactive(true);
    ASSERT_TRUE(quiet.Save());

    ClAddress a = Empty();
    const std::vector<AddressListRow> list = a.FillAdresslist();
    // The inactive one is not offered.
    ASSERT_EQ(test::Each(list, &AddressListRow::Text),
              (Strings{"** keine Unterordnung **", "Mühle Öhringer", "Zulieferer"}));
    EXPECT_EQ(list[0].id, 0);

    ASSERT_TRUE(a.LoadbyName("mühle ö*"));
    EXPECT_EQ(a.id(), mill);
    EXPECT_FALSE(a.LoadbyName("Bäckerei"));
    EXPECT_EQ(a.id(), 0);

    ASSERT_TRUE(a.GetID(mill));
    const long fp2 = a.Fingerprint().FP2();
    ClAddress b = Empty();
    ASSERT_TRUE(b.LoadByFingerprint(fp2));
    EXPECT_EQ(b.id(), mill);
    EXPECT_FALSE(b.LoadByFingerprint(0));

    ASSERT_TRUE(a.GetID(group));
    EXPECT_EQ(a.GetChildrenID(), (std::vector<long>{mill, quiet.id()}));
}

TEST_F(Address, DeletionRules)
{
    const long group = Saved("Verlage", 0, AddressKind::Gruppe);
    const long publisher = Saved("Verlag Süd", group, AddressKind::Verlag);
    const long guest = Saved("Gast, Erna");
    const long free = Saved("Frei, Fritz");
    db->Execute(
        "INSERT INTO T_LITERATUR (QuelleID,Title,VerlagID,AutorID,Jahrgang) VALUES (1,'Backen',?,0,0)",
        {Value(publisher)});
    db->Execute("INSERT INTO T_MENU_GAST (MenuID,No,AdressID) VALUES (1,1,?)", {Value(guest)});
    ClAddress withAlias = Loaded(free);
    ASSERT_TRUE(withAlias.AddAlias(group));
    AddressDelivery d;
    d.Name = "Mehl";
    withAlias.SetSpez(0, d);
    ASSERT_TRUE(withAlias.Save());

    struct Case
    {
        long Id;
        long Error; // 0: deleted
    };
    for (const Case& c : {Case{group, ClAddress::kErrHasChildren}, Case{publisher, ClAddress::kErrInUse},
                          Case{guest, ClAddress::kErrInUse}, Case{free, 0}}) {
        SCOPED_TRACE(c.Id);
        ClAddress a = Loaded(c.Id);
        EXPECT_EQ(a.Delete(), c.Error == 0);
        EXPECT_EQ(a.LastError(), c.Error);
        EXPECT_EQ(Count("SELECT COUNT(*) FROM T_ADRESSE WHERE ID=" + std::to_string(c.Id)),
                  c.Error == 0 ? 0 : 1);
    }
    // The deleted address took its alias row and its deliveries along.
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_ADRESSE WHERE AliasID<>0"), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_LIEFERUNG"), 0);
    EXPECT_FALSE(Empty().Delete());
}

TEST_F(Address, OneDefaultAddress)
{
    const long first = Saved("Erste");
    const long second = Saved("Zweite");
    EXPECT_EQ(ClAddress::DefaultID(*db), 0);
    ClAddress a = Loaded(first);
    ASSERT_TRUE(a.SetDefault());
    EXPECT_EQ(ClAddress::DefaultID(*db), first);
    ClAddress b = Loaded(second);
    ASSERT_TRUE(b.SetDefault());
    EXPECT_EQ(ClAddress::DefaultID(*db), second);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_ADRESSE WHERE StdAdresse<>0"), 1);
    // A clone is a new address that is not the default.
    ClAddress c = b.Clone();
    EXPECT_TRUE(c.IsNew());
    EXPECT_FALSE(c.StdAdresse());
    ASSERT_TRUE(c.Save());
    EXPECT_EQ(ClAddress::DefaultID(*db), second);
}

TEST_F(Address, ImportUpdateKeepsTheNewerVersion)
{
    ClAddress stored = New("Laden, Alt");
    ASSERT_TRUE(stored.Save());
    const std::int32_t fp1 = stored.Fingerprint().FP1();
    const std::int32_t fp2 = stored.Fingerprint().FP2();

    struct Case
    {
        std::int32_t Fp1, Fp2;
        const char* Expected;
        long Rows;
    };
    for (const Case& c : {Case{fp1 - 1, fp2, "Laden, Alt", 1}, Case{fp1 + 1, fp2, "Laden, Neu", 1},
                          Case{fp1, fp2 + 1, "Laden, Neu", 2}}) {
        SCOPED_TRACE(c.Fp1);
        ClAddress imported = New("Laden, Neu");
        imported.Fingerprint().SetFPBin(c.Fp1, c.Fp2);
        ASSERT_TRUE(imported.ImportUpdate()) << imported.LastErrorText();
        EXPECT_EQ(Text("SELECT Name FROM T_ADRESSE WHERE ID=" + std::to_string(stored.id())), c.Expected);
        EXPECT_EQ(Count("SELECT COUNT(*) FROM T_ADRESSE"), c.Rows);
    }
}

} // namespace
} // namespace pf
