// The "weekplan" command on a database made by "init": a plan filled by the repeat rules, its
// approval recording the served recipes, and its CSV file byte for byte.

#include "db/Database.h"
#include "tests/app/CliFixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace pf {
namespace {

class CliWeekplanTest : public test::CliFixture
{
protected:
    // Soups for the level "Tagessuppe" (repeat after a week) and one dish for the weekly level.
    std::string MakeDatabase()
    {
        const std::string path = InitDatabase("plan.MDB");
        auto db = Database::OpenSqlite(path);
        // A new database has the default levels: "Tagessuppe" is level 2, "Wochenteller" level 6.
        const long soupLevel = 2;
        const long weekLevel = 6;
        db->Execute("INSERT INTO T_CAT "
                    "(ID,CatNameD,CatType,CatParent,LaenderCode,ErfassungsFlag,CatWPLevel,CatWPRepeat) "
                    "VALUES (9001,'Mittagssuppen',1,0,0,-1,?,1),(9002,'Wochengerichte',1,0,0,-1,?,1)",
                    {soupLevel, weekLevel});
        const struct
        {
            long Id;
            const char* Title;
            long Category;
        } recipes[] = {
            {90001, "Kürbissuppe", 9001}, {90002, "Erbsensuppe", 9001}, {90003, "Linsen; mit Spätzle", 9002}};
        for (const auto& r : recipes) {
            db->Execute(
                "INSERT INTO T_REZ_KOPF (ID,RezTitle,RezYield,Template,FlagDeleted,RezParent,WPExclude) "
                "VALUES (?,?,4,0,0,0,0)",
                {r.Id, r.Title});
            db->Execute("INSERT INTO T_REZ_CAT_NDX (ID,CatID,CatPrimary,[No]) VALUES (?,?,-1,1)",
                        {r.Id, r.Category});
        }
        return path;
    }
    static long Exclude(const std::string& path, long recipe)
    {
        return static_cast<long>(
            Database::OpenSqlite(path)
                ->Scalar("SELECT WPExclude FROM T_REZ_KOPF WHERE ID=" + std::to_string(recipe))
                .AsLong());
    }
};

TEST_F(CliWeekplanTest, NewApproveAndCsv)
{
    const std::string path = MakeDatabase();
    ASSERT_EQ(Run({"--db", path, "weekplan", "new", "--start", "07.12.2026", "--days", "2"}), 0) << err.str();
    const std::string text = out.str();
    EXPECT_EQ(
        text.rfind(
            "Wochenplan vom 07.12.2026 bis 08.12.2026 (KW 50) #1\nWochenplan ist noch nicht genehmigt!\n", 0),
        0u)
        << text;
    EXPECT_NE(text.find("Montag, 07.12.2026\n  Tagesdessert: -\n  Tagessuppe: Erbsensuppe\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Dienstag, 08.12.2026\n  Tagesdessert: -\n  Tagessuppe: Kürbissuppe\n"),
              std::string::npos);
    EXPECT_NE(err.str().find("8 von 12 Plätzen blieben leer"), std::string::npos) << err.str();

    // A second plan on the same day is refused.
    EXPECT_EQ(Run({"--db", path, "weekplan", "new", "--start", "2026-12-07"}), 1);
    EXPECT_EQ(err.str(), "Am 07.12.2026 beginnt bereits ein Wochenplan (Nummer 1).\n");

    ASSERT_EQ(Run({"--db", path, "weekplan", "approve", "1"}), 0) << err.str();
    EXPECT_EQ(out.str().rfind("Der Wochenplan wurde am ", 0), 0u);
    EXPECT_EQ(Exclude(path, 90002), 46363); // Monday 7 December 2026
    EXPECT_EQ(Exclude(path, 90001), 46364);
    EXPECT_EQ(Exclude(path, 90003), 46364);
    EXPECT_EQ(Run({"--db", path, "weekplan", "approve", "2"}), 1);
    EXPECT_EQ(err.str(), "Es gibt keinen Wochenplan mit der Nummer 2.\n");

    const std::string csv = dir.File("plan.csv");
    ASSERT_EQ(Run({"--db", path, "weekplan", "csv", "1", "--out", csv}), 0) << err.str();
    std::ifstream file(csv, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, "\xEF\xBB\xBF"
                     "Datum;Teller;Gericht;Beschreibung;Preis;Typ;Index\r\n"
                     "07.12.2026;Tagessuppe;Erbsensuppe;;0,00;Rezept;90002\r\n"
                     "07.12.2026;Wochenteller;\"Linsen; mit Spätzle\";;0,00;Rezept;90003\r\n"
                     "08.12.2026;Tagessuppe;Kürbissuppe;;0,00;Rezept;90001\r\n"
                     "08.12.2026;Wochenteller;\"Linsen; mit Spätzle\";;0,00;Rezept;90003\r\n");

    // The next week leaves out last week's soups on the same weekdays.
    ASSERT_EQ(Run({"--db", path, "weekplan", "new", "--start", "14.12.2026", "--days", "1"}), 0) << err.str();
    EXPECT_NE(out.str().find("  Tagessuppe: -\n"), std::string::npos) << out.str();
}

} // namespace
} // namespace pf
