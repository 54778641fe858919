// vCard files: the cards written for addresses, reading them back, cards from phones and other
// address books (quoted-printable, UTF-8 or Windows-1252, folded lines, version 3.0 escapes),
// broken cards that are skipped and counted, and the import into the address book.

#include "planning/AddressVCard.h"
#include "tests/lexicon/LexiconTestDb.h"

namespace pf {
namespace {

ClAddress Person(const std::string& name)
{
    ClAddress a;
    a.SetNameClassic(name);
    return a;
}

// Name, street, postcode, town, phone, fax, mail and notes of an address.
std::vector<std::string> CardFields(const ClAddress& a)
{
    return {a.NameClassic(), a.Address(), a.Plz(),   a.City(),
            a.Telefon(),     a.Telefax(), a.email(), a.Notices()};
}

TEST(VCard, WritesTheCardLinesOfAnAddress)
{
    ClAddress a = Person("Kunz, Ida");
    a.SetAddress("Hauptstr. 1");
    a.SetCity("Ulm");
    a.SetPlz("89073");
    a.SetTelefon("0731 12");
    a.Setemail("ida@kunz.example");
    EXPECT_EQ(AddressVCard::Write({a}), "BEGIN:VCARD\r\n"
                                        "VERSION:2.1\r\n"
                                        "N:Kunz;Ida\r\n"
                                        "FN:Ida Kunz\r\n"
                                        "ADR;HOME:;;Hauptstr. 1;Ulm;;89073;\r\n"
                                        "TEL;HOME;VOICE:0731 12\r\n"
                                        "EMAIL;PREF;INTERNET:ida@kunz.example\r\n"
                                        "END:VCARD\r\n");
    // Umlauts and line breaks go quoted-printable in UTF-8, breaks as =0D=0A.
    ClAddress b = Person("Öhler, Jürgen");
    b.SetAddress("Hof 2\r\nHinterhaus");
    const std::string text = AddressVCard::Write({b});
    EXPECT_NE(text.find("N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C3=96hler;J=C3=BCrgen\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("Hof 2=0D=0AHinterhaus"), std::string::npos);
    EXPECT_EQ(text.find("TEL"), std::string::npos);
}

TEST(VCard, RoundTripKeepsTheExchangedFields)
{
    ClAddress a = Person("Öhler-Müßig, Jürgen; Sohn");
    a.SetAddress("Große Straße 5\r\nHinterhaus, 2. Stock");
    a.SetPlz("CH-8001");
    a.SetCity("Zürich");
    a.SetTelefon("+41 44 000");
    a.SetTelefax("+41 44 001");
    a.Setemail("j=o@example.ch");
    a.SetWebSite("https://example.ch/a?b=c");
    ClAddress shop = Person("Feinkost " + std::string(80, 'x')); // long lines get soft breaks
    shop.SetStatus(static_cast<long>(AddressKind::Geschaeft));
    shop.SetAnsprechpartner1("Frau Ćosić");
    shop.SetAnsprechpartner2("Herr Lang");
    std::vector<ClAddress> cards{a, shop, Person("Nur, Vorname")};
    const VCardReadResult read = AddressVCard::Read(AddressVCard::Write(cards));
    EXPECT_EQ(read.Skipped, 0);
    EXPECT_TRUE(read.Problems.empty());
    ASSERT_EQ(read.Cards.size(), cards.size());
    for (std::size_t i = 0; i < cards.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(CardFields(read.Cards[i]), CardFields(cards[i]));
        EXPECT_EQ(read.Cards[i].WebSite(), cards[i].WebSite());
        EXPECT_EQ(read.Cards[i].Status(), cards[i].Status());
        EXPECT_EQ(read.Cards[i].Ansprechpartner1(), cards[i].Ansprechpartner1());
        EXPECT_EQ(read.Cards[i].Ansprechpartner2(), cards[i].Ansprechpartner2());
    }
    const std::string text = AddressVCard::Write(cards);
    std::size_t start = 0;
    for (std::size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
        EXPECT_LT(end - start, 76u);
        start = end + 2;
    }
}

TEST(VCard, ReadsCardsOfOtherAddressBooks)
{
    struct Case
    {
        const char* What;
        std::string File;
        const char *Name, *Street, *Plz, *City, *Phone, *Fax, *Mail, *Notes;
    };
    const std::vector<Case> cases{
        {"phone, UTF-8 quoted-printable with soft break",
         "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:M=C3=BCller;J=C3=BC="
         "\r\nrgen;;;\r\n"
         "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:J=C3=BCrgen M=C3=BCller\r\n"
         "TEL;CELL:+49 170 1\r\nTEL;HOME:089 2\r\nTEL;WORK;FAX:089 3\r\n"
         "ADR;HOME;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:;;Stra=C3=9Fe "
         "1;M=C3=BCnchen;;80331;Deutschland\r\n"
         "PHOTO;ENCODING=BASE64;JPEG:/9j/4AAQSkZJRgABAQ\r\n AAAQABAAD/2wBDAAMCAgMCAgMDAwMEAwME\r\n\r\n"
         "X-ANDROID-CUSTOM:vnd.android.cursor.item/nickname;Jo;1;;;;;;;;;;;;;\r\nEND:VCARD\r\n",
         "Müller, Jürgen", "Straße 1", "80331", "München", "+49 170 1", "089 3", "", ""},
        {"Windows-1252 bytes, LF line ends, soft break in the note",
         "BEGIN:VCARD\nVERSION:2.1\nN:Gr\xFC\xDF;Anna\nEMAIL;INTERNET:a@x.example\n"
         "NOTE;ENCODING=QUOTED-PRINTABLE:Zeile 1=0D=0AZeile=\n 2\nADR;WORK:;;Via Roma "
         "3;Roma;;00100;ITALIA\nEND:VCARD\n",
         "Grüß, Anna", "Via Roma 3", "I-00100", "Roma", "", "", "a@x.example", "Zeile 1\r\nZeile 2"},
        {"version 3.0 with escapes, groups and folded lines",
         "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Dupont;Jean\\, fils;;;\r\nitem1.EMAIL;TYPE=INTERNET,pref:jean@\r\n"
         " example.fr\r\nADR;TYPE=HOME:;;12 rue Haute\\nB\xC3\xA2timent A;Paris;;75001;\r\n"
         "TEL;TYPE=HOME,FAX:01 2\r\nNOTE:Erster Eintrag\\nzweiter\r\nEND:VCARD\r\n",
         "Dupont, Jean, fils", "12 rue Haute\r\nBâtiment A", "75001", "Paris", "", "01 2", "jean@example.fr",
         "Erster Eintrag\r\nzweiter"},
        {"country as last line of the street, unknown country into the notes",
         "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Eva Maria Wolf\r\nADR:;;Ring "
         "4=0D=0A\xC3\x96sterreich;Wien;;1010;\r\n"
         "END:VCARD\r\n"
         "BEGIN:VCARD\r\nVERSION:2.1\r\nORG:Deli AB;Einkauf\r\nADR:;;Gatan "
         "1;Lund;;22100;Schweden\r\nEND:VCARD\r\n",
         "Wolf, Eva Maria", "Ring 4=0D=0AÖsterreich", "1010", "Wien", "", "", "", ""},
        {"version 2.1 folded line: the blank at the fold stays",
         "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Schmidt;Petra\r\nADR;HOME:;;Am Alten\r\n Markt 4;Bonn;;53111;\r\n"
         "END:VCARD\r\n",
         "Schmidt, Petra", "Am Alten Markt 4", "53111", "Bonn", "", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        const VCardReadResult read = AddressVCard::Read(c.File);
        EXPECT_EQ(read.Skipped, 0);
        ASSERT_GE(read.Cards.size(), 1u);
        EXPECT_EQ(CardFields(read.Cards[0]), (std::vector<std::string>{c.Name, c.Street, c.Plz, c.City,
                                                                       c.Phone, c.Fax, c.Mail, c.Notes}));
    }
    // Quoted-printable line break before the country in the street: the country leaves the street.
    const VCardReadResult wolf =
        AddressVCard::Read("BEGIN:VCARD\r\nVERSION:2.1\r\nN:Wolf;Eva\r\nADR;ENCODING=QUOTED-PRINTABLE:;;Ring "
                           "4=0D=0AOesterreich;Wien;;1010;\r\nEND:VCARD\r\n");
    ASSERT_EQ(wolf.Cards.size(), 1u);
    EXPECT_EQ(wolf.Cards[0].Address(), "Ring 4");
    EXPECT_EQ(wolf.Cards[0].Plz(), "A-1010");
    const VCardReadResult deli = AddressVCard::Read(cases[3].File);
    ASSERT_EQ(deli.Cards.size(), 2u);
    EXPECT_EQ(deli.Cards[1].NameClassic(), "Deli AB");
    EXPECT_EQ(deli.Cards[1].Status(), static_cast<long>(AddressKind::Geschaeft));
    EXPECT_EQ(deli.Cards[1].Notices(), "Land: Schweden");
    // A card with a company and a person is the person's, the company in the notes; a card that says
    // it is a company's files under the company, with the person as its contact.
    const std::string card = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Müller;Hans-Jürgen;;Dr.;\r\n"
                             "ORG:Metzgerei Müller GmbH\r\n";
    const VCardReadResult person = AddressVCard::Read(card + "END:VCARD\r\n");
    ASSERT_EQ(person.Cards.size(), 1u);
    EXPECT_EQ(person.Cards[0].NameClassic(), "Müller, Hans-Jürgen");
    EXPECT_EQ(person.Cards[0].Status(), static_cast<long>(AddressKind::Person));
    EXPECT_EQ(person.Cards[0].Notices(), "Firma: Metzgerei Müller GmbH");
    const VCardReadResult shop = AddressVCard::Read(card + "X-ABShowAs:COMPANY\r\nEND:VCARD\r\n");
    ASSERT_EQ(shop.Cards.size(), 1u);
    EXPECT_EQ(shop.Cards[0].NameClassic(), "Metzgerei Müller GmbH");
    EXPECT_EQ(shop.Cards[0].Status(), static_cast<long>(AddressKind::Geschaeft));
    EXPECT_EQ(shop.Cards[0].Ansprechpartner1(), "Dr. Hans-Jürgen Müller");
}

TEST(VCard, BrokenCardsAreSkippedAndCounted)
{
    const std::string file =
        "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Erste;Karte\r\n"                   // no END
        "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Zweite;Karte\r\nkaputte Zeile\r\n" // broken line
        "X-UNBEKANNT;FOO=BAR:egal\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:2.1\r\nTEL:123\r\nEND:VCARD\r\n" // no name
        "Müll außerhalb\r\n"
        "BEGIN:VCARD\r\nN:Vierte;Karte\r\n"; // the file ends inside
    const VCardReadResult read = AddressVCard::Read(file);
    ASSERT_EQ(read.Cards.size(), 1u);
    EXPECT_EQ(read.Cards[0].NameClassic(), "Zweite, Karte");
    EXPECT_EQ(read.Skipped, 3);
    ASSERT_EQ(read.Problems.size(), 4u);
    EXPECT_EQ(read.Problems[0], "Karte ab Zeile 1 übersprungen: die Karte endet nicht mit END:VCARD.");
    EXPECT_EQ(read.Problems[1], "Zeile 7 ist unvollständig: kaputte Zeile");
    EXPECT_EQ(AddressVCard::Read("").Cards.size(), 0u);
    const std::string withMark = "\xEF\xBB\xBF"
                                 "BEGIN:VCARD\nN:A\nEND:VCARD";
    EXPECT_EQ(AddressVCard::Read(withMark).Cards.size(), 1u);
}

using VCardFile = test::LexiconDb;

TEST_F(VCardFile, ImportStoresNewCardsOnceAndExportWritesThemAgain)
{
    const std::string path = dir.File("adressen.vcf");
    test::WriteFile(path,
                    "BEGIN:VCARD\r\nVERSION:2.1\r\nN:M=C3=BCller;Anna\r\nEND:VCARD\r\n" // plain, not marked QP
                    "BEGIN:VCARD\r\nVERSION:2.1\r\nN;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:K=C3=B6hler;Ute\r\n"
                    "ADR:;;Weg 1;Bonn;;53111;\r\nEND:VCARD\r\nBEGIN:VCARD\r\nN:" +
                        std::string(120, 'y') + "\r\nEND:VCARD\r\n" // too long: skipped
                        "BEGIN:VCARD\r\nFN:ohne Ende\r\n");
    AddressVCard vcard;
    vcard.SetDB(db.get());
    VCardImportCounts counts;
    ASSERT_TRUE(vcard.ImportFile(path, counts)) << vcard.LastErrorText();
    EXPECT_EQ(AddressVCard::Summary(counts), "übernommen: 2, bereits vorhanden: 0, übersprungen: 2");
    EXPECT_EQ(vcard.Problems().size(), 2u);
    EXPECT_EQ(Text("SELECT AdrOrt FROM T_ADRESSE WHERE Name='Köhler, Ute'"), "Bonn");

    ASSERT_TRUE(vcard.ImportFile(path, counts));
    EXPECT_EQ(AddressVCard::Summary(counts), "übernommen: 0, bereits vorhanden: 2, übersprungen: 2");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM T_ADRESSE"), 2);

    const std::string back = dir.File("zurueck.vcf");
    long written = 0;
    ASSERT_TRUE(vcard.ExportFile(back, {}, written));
    EXPECT_EQ(written, 2);
    const VCardReadResult again = AddressVCard::Read(test::ReadFile(back));
    ASSERT_EQ(again.Cards.size(), 2u);
    EXPECT_EQ(again.Cards[0].NameClassic(), "Köhler, Ute");
    EXPECT_EQ(again.Cards[1].NameClassic(), "M=C3=BCller, Anna");

    EXPECT_FALSE(vcard.ImportFile(dir.File("fehlt.vcf"), counts));
    EXPECT_EQ(vcard.LastErrorText(),
              "Die Datei \"" + dir.File("fehlt.vcf") + "\" kann nicht gelesen werden.");
}

} // namespace
} // namespace pf
