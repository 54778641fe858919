#include "db/Database.h"
#include "tests/app/CliFixture.h"

#include <gtest/gtest.h>

namespace pf {
namespace {

class CliNutritionTest : public test::CliFixture
{
protected:
    // A database from the base data with two foods and a recipe for two: 2 eggs, 100 g flour,
    // a line without food and a tin of something.
    std::string MakeDatabase()
    {
        const std::string path = InitDatabase();
        auto db = Database::OpenSqlite(path);
        db->Execute("INSERT INTO T_BLS_KEY (ID,SBLS,ST,STE,ProduktHauptFlag,ProduktStandardEinheit,"
                    "ProduktStandardMenge) VALUES (9001,'E900000','Probe-Ei','Test egg',-1,1,60),"
                    "(9002,'C900000','Probemehl','Test flour',-1,0,0)");
        db->Execute("INSERT INTO T_BLS_DAT (SBLS,GP,GCAL,ZE) VALUES ('E900000',60,150,12500),"
                    "('C900000',0,350,10000)");
        db->Execute("INSERT INTO T_INFO_KEY (ID,[KEY],KEYTYPE) VALUES (9002,'Testmehl',3)");
        db->Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,RezYield) VALUES (5,'Probe',2)");
        db->Execute(
            "INSERT INTO T_REZ_ZUTAT (ID,No,ZutTrenner,ZutText,ZutAnz,ZutEinh,ZutRezept,ZutBLSID) VALUES "
            "(5,1,0,'Probe-Eier',2,1,0,NULL),(5,2,0,'Testmehl',100,31,0,NULL),"
            "(5,3,0,'Mondstaub',1,31,0,NULL),(5,4,-1,'Deko',0,0,0,NULL)");
        return path;
    }
};

TEST_F(CliNutritionTest, MatchThenPrintTheTablePerServing)
{
    const std::string path = MakeDatabase();
    ASSERT_EQ(Run({"--db", path, "match"}), 0) << err.str();
    EXPECT_EQ(out.str(), "zugeordnet: 2, offen: 1\n");
    ASSERT_EQ(Run({"--db", path, "match", "--ids", "5"}), 0) << err.str();
    EXPECT_EQ(out.str(), "zugeordnet: 0, offen: 1\n"); // what is matched stays, nothing twice

    ASSERT_EQ(Run({"--db", path, "nutrients", "5"}), 0) << err.str();
    // Per serving of two: (120 g egg * 1.5 + 100 g flour * 3.5) / 2 kcal.
    EXPECT_EQ(out.str(), "Nährwerte pro Portion (2 Portionen), Portionsgewicht ca. 110 Gramm\n"
                         "Energie (Kilokalorien)\t265,000\tkcal\n"
                         "Eiweiß (Protein)\t12.500,000\tmg\n"
                         "\nNicht berechnet:\n"
                         "1 Gramm Mondstaub\tohne Nahrungsmittel\n");
    ASSERT_EQ(Run({"--db", path, "nutrients", "5", "--servings", "1"}), 0) << err.str();
    EXPECT_NE(out.str().find("Energie (Kilokalorien)\t530,000\tkcal\n"), std::string::npos) << out.str();
}

TEST_F(CliNutritionTest, ImportWithFoodMatchingGivesATableAtOnce)
{
    const std::string path = MakeDatabase();
    const std::string file = dir.File("probe.mm");
    test::WriteFile(file, "MMMMM----- Recipe via Meal-Master (tm) v8.05\r\n\r\n      Title: Eierkuchen\r\n"
                          " Categories: Test\r\n      Yield: 1 serving\r\n\r\n      2 ea Probe-Eier\r\n"
                          "    100 g  Testmehl\r\n\r\n  Backen.\r\n\r\nMMMMM\r\n");
    ASSERT_EQ(Run({"--db", path, "import", "--bls", file}), 0) << err.str();
    const long id =
        Database::OpenSqlite(path)->Scalar("SELECT ID FROM T_REZ_KOPF WHERE RezTitle='Eierkuchen'").AsLong();
    ASSERT_EQ(Run({"--db", path, "nutrients", std::to_string(id)}), 0) << err.str();
    // 120 g egg * 1.5 + 100 g flour * 3.5 kcal, one serving.
    EXPECT_NE(out.str().find("Energie (Kilokalorien)\t530,000\tkcal\n"), std::string::npos) << out.str();
    // Without --bls the lines keep no food.
    ASSERT_EQ(Run({"--db", path, "import", "--duplicates", "move", file}), 0) << err.str();
    EXPECT_EQ(Database::OpenSqlite(path)
                  ->Scalar("SELECT COUNT(*) FROM T_REZ_ZUTAT WHERE ZutBLSID<>0 AND ID<>5")
                  .AsLong(),
              2);
}

TEST_F(CliNutritionTest, RefusesWhatItCannotDo)
{
    const std::string path = MakeDatabase();
    const struct
    {
        std::vector<std::string> Args;
        int Code;
        const char* Err;
    } cases[] = {
        {{"nutrients", "77"}, 1, "Ein Rezept mit der Nummer 77 gibt es nicht."},
        {{"nutrients", "5"}, 1, "Es gibt keine Nährwertinformationen zum Anzeigen."}, // nothing matched yet
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RunOn(path, c.Args), c.Code) << c.Args.front();
        EXPECT_NE(err.str().find(c.Err), std::string::npos) << err.str();
    }
    Database::OpenSqlite(path)->Execute("DELETE FROM T_BLS_FDESC");
    EXPECT_EQ(Run({"--db", path, "match"}), 1);
    EXPECT_NE(err.str().find("keine Nährwert-Beschreibungen"), std::string::npos) << err.str();
}

} // namespace
} // namespace pf
