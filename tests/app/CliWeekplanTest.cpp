// The "weekplan" command on a database made by "init": a plan filled by the repeat rules, its
// approval, and its CSV file byte for byte.

#include "db/Database.h"
#include "tests/app/CliFixture.h"
#include "tests/planning/WeekPlanDb.h"

#include <gtest/gtest.h>

namespace pf {
namespace {

class CliWeekplanTest : public test::CliFixture
{
protected:
    // A new database links its default levels to categories of the base data: soups ("Suppe",
    // served again after two weeks) for "Tagessuppe", stews ("Eintöpfe") for the weekly dish.
    std::string MakeDatabase()
    {
        const std::string path = InitDatabase("plan.MDB");
        auto db = Database::OpenSqlite(path);
        const long soups = 105;
        const long stews = 503;
        const struct
        {
            long Id;
            const char* Title;
            long Category;
        } recipes[] = {{90001, "Kürbissuppe", soups},
                       {90002, "Erbsensuppe", soups},
                       {90003, "Linsen; mit Spätzle", stews}};
        for (const auto& r : recipes)
            test::AddPlanRecipe(*db, r.Id, r.Title, r.Category);
        return path;
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
    // Each day lists the levels in their serving order, not by name.
    EXPECT_NE(
        text.find("Montag, 07.12.2026\n  Tagessuppe: Erbsensuppe\n  Tagesteller 1: -\n  Tagesteller 2: -\n"
                  "  Vegetarisch: -\n  Wochenteller: Linsen; mit Spätzle\n  Tagesdessert: -\n"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("Dienstag, 08.12.2026\n  Tagessuppe: Kürbissuppe\n"), std::string::npos);
    EXPECT_NE(err.str().find("8 von 12 Plätzen blieben leer"), std::string::npos) << err.str();

    // A second plan on the same day is refused.
    EXPECT_EQ(Run({"--db", path, "weekplan", "new", "--start", "2026-12-07"}), 1);
    EXPECT_EQ(err.str(), "Am 07.12.2026 beginnt bereits ein Wochenplan (Nummer 1).\n");

    ASSERT_EQ(Run({"--db", path, "weekplan", "approve", "1"}), 0) << err.str();
    EXPECT_EQ(out.str().rfind("Der Wochenplan wurde am ", 0), 0u);
    EXPECT_EQ(Run({"--db", path, "weekplan", "approve", "2"}), 1);
    EXPECT_EQ(err.str(), "Es gibt keinen Wochenplan mit der Nummer 2.\n");

    const std::string csv = dir.File("plan.csv");
    ASSERT_EQ(Run({"--db", path, "weekplan", "csv", "1", "--out", csv}), 0) << err.str();
    EXPECT_EQ(test::ReadFile(csv), "\xEF\xBB\xBF"
                     "Datum;Teller;Gericht;Beschreibung;Preis;Typ;Index\r\n"
                     "07.12.2026;Tagessuppe;Erbsensuppe;;0,00;Rezept;90002\r\n"
                     "07.12.2026;Wochenteller;\"Linsen; mit Spätzle\";;0,00;Rezept;90003\r\n"
                     "08.12.2026;Tagessuppe;Kürbissuppe;;0,00;Rezept;90001\r\n"
                     "08.12.2026;Wochenteller;\"Linsen; mit Spätzle\";;0,00;Rezept;90003\r\n");
}

} // namespace
} // namespace pf
