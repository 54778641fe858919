#include "db/Database.h"
#include "tests/app/CliFixture.h"

#include <gtest/gtest.h>

namespace pf {
namespace {

class CliShoppingTest : public test::CliFixture
{
protected:
    // Pancakes for 4 and a bread, both with flour; a shop that has bread and cereals (C) before
    // dairy (M).
    std::string MakeDatabase()
    {
        const std::string path = InitDatabase();
        auto db = Database::OpenSqlite(path);
        db->Execute(
            "INSERT INTO T_BLS_KEY (ID,SBLS,ST) VALUES (900001,'C999990','Mehl'),(900002,'M999990','Milch')");
        db->Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,RezYield,RezYieldEinh) VALUES (7,'Pfannkuchen',4,1),"
                    "(8,'Brot',1,1)");
        db->Execute("INSERT INTO T_REZ_ZUTAT (ID,No,ZutTrenner,ZutText,ZutAnz,ZutEinh,ZutBLSID) VALUES "
                    "(7,1,0,'Milch',500,25,'900002'), (7,2,0,'Mehl',250,31,'900001'), (7,3,0,'Salz',0,0,''), "
                    "(8,1,0,'Mehl',1,32,'900001')");
        db->Execute("INSERT INTO T_ADRESSE (ID,Name,AdrType,StoreLocations) VALUES (5,'Markt',2,'CM')");
        return path;
    }
};

TEST_F(CliShoppingTest, PrintsTheScaledMergedListInTheAskedOrder)
{
    const std::string path = MakeDatabase();
    ASSERT_EQ(Run({"--db", path, "shopping", "--ids", "7,8", "--servings", "8", "--sort", "shop", "--shop",
                   "5", "EditFlags=12"}),
              0)
        << err.str();
    const std::string text = out.str();
    const std::size_t flour = text.find("8,5 kg     Mehl");
    const std::size_t milk = text.find("1000 ml     Milch");
    EXPECT_NE(flour, std::string::npos) << text;
    EXPECT_LT(flour, milk) << text;
    EXPECT_NE(text.find("[Pfannkuchen, Brot]"), std::string::npos) << text;
    EXPECT_EQ(text.find("Salz"), std::string::npos) << text;

    ASSERT_EQ(Run({"--db", path, "shopping", "--ids", "8", "--exchange"}), 0) << err.str();
    EXPECT_NE(out.str().find("R,8,\"Brot\",1,\"Portionen\"\n"), std::string::npos) << out.str();
}

TEST_F(CliShoppingTest, RefusesWhatItCannotUse)
{
    const std::string path = MakeDatabase();
    struct Case
    {
        std::vector<std::string> Args;
        int Code;
        const char* Message;
    };
    const Case cases[] = {
        {{"shopping"}, 2, "Aufruf: pfannola-cli --db DATEI shopping --ids"},
        {{"shopping", "--ids", "7", "--sort", "preis"}, 2, "Nach --sort muss"},
        {{"shopping", "--ids", "7", "--sort", "shop"}, 2, "fehlt --shop ID"},
        {{"shopping", "--ids", "7", "--shop", "99"}, 1, "Ein Geschäft mit der Nummer 99 gibt es nicht."},
        {{"shopping", "--ids", "7,99"}, 1, "Ein Rezept mit der Nummer 99 gibt es nicht."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Args.back());
        EXPECT_EQ(RunOn(path, c.Args), c.Code);
        EXPECT_NE(err.str().find(c.Message), std::string::npos) << err.str();
    }
}

} // namespace
} // namespace pf
