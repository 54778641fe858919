// The "vcard" command: import of a file with a broken card, export of what was stored, and the
// usage for wrong words.

#include "tests/app/CliFixture.h"

namespace pf {
namespace {

using CliVCardTest = test::CliFixture;

TEST_F(CliVCardTest, ImportsCountsAndExportsAgain)
{
    const std::string db = InitDatabase();
    const std::string file = dir.File("telefon.vcf");
    test::WriteFile(file, "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:B=C3=A4cker;Ida\r\n"
               "TEL;HOME;VOICE:0711 1\r\nEND:VCARD\r\nBEGIN:VCARD\r\nTEL:1\r\nEND:VCARD\r\n");
    ASSERT_EQ(Run({"--db", db, "vcard", "import", file}), 0) << err.str();
    EXPECT_EQ(out.str(), "übernommen: 1, bereits vorhanden: 0, übersprungen: 1\n");
    EXPECT_NE(err.str().find("Karte ab Zeile 6 übersprungen"), std::string::npos);

    const std::string back = dir.File("alle.vcf");
    ASSERT_EQ(Run({"--db", db, "vcard", "export", back}), 0) << err.str();
    EXPECT_EQ(out.str(), "exportiert: 1\n");
    const std::string text = test::ReadFile(back);
    EXPECT_NE(text.find("FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Ida B=C3=A4cker\r\n"), std::string::npos);
    EXPECT_NE(text.find("TEL;HOME;VOICE:0711 1\r\n"), std::string::npos);

    for (const std::vector<std::string>& words :
         {std::vector<std::string>{"vcard"}, {"vcard", "drucken", back}, {"vcard", "import", back, "mehr"}}) {
        EXPECT_EQ(RunOn(db, words), 2);
        EXPECT_FALSE(err.str().empty());
    }
    EXPECT_EQ(Run({"--db", db, "vcard", "import", dir.File("fehlt.vcf")}), 1);
    EXPECT_NE(err.str().find("kann nicht gelesen werden"), std::string::npos);
}

} // namespace
} // namespace pf
