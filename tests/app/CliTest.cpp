#include "core/AppContext.h"
#include "db/Database.h"
#include "db/SchemaVersion.h"
#include "tests/app/CliFixture.h"
#include "tests/support/NewDatabase.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace pf {
namespace {

class CliTest : public test::CliFixture
{
};

TEST_F(CliTest, VersionPrintsTheVersionText)
{
    EXPECT_EQ(Run({"--version"}), 0);
    EXPECT_EQ(out.str(), "v2.00.126\n");
}

TEST_F(CliTest, InfoReportsVersionAndCounts)
{
    const std::string path = dir.File("rezepte.mdb");
    {
        auto db = test::NewDatabase(path);
        db->CreateTable({"T_VERSION",
                         {{"Major", FieldType::Long}, {"Minor", FieldType::Long}, {"Build", FieldType::Long}},
                         {}});
        db->Execute("INSERT INTO T_VERSION (Major, Minor, Build) VALUES (1, 19, 110)");
        db->CreateTable({"T_BUCH", {{"ID", FieldType::Long}, {"BuchTitel", FieldType::Text, 50}}, {}});
        db->Execute("INSERT INTO T_BUCH (ID, BuchTitel) VALUES (0, \"Basiskochbuch\")");
        db->Execute("INSERT INTO T_BUCH (ID, BuchTitel) VALUES (1, \"Kuchen\")");
    }
    EXPECT_EQ(Run({"--db", path, "info", "ShowTips=0"}), 0) << err.str();
    EXPECT_NE(out.str().find("Schema-Version: 001.19.110\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("Kochbücher: 2\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("Rezepte: -\n"), std::string::npos) << out.str();
}

TEST_F(CliTest, InitCreatesADatabaseThatInfoReads)
{
    const std::string path = dir.File("neu/Pfannola.MDB");
    EXPECT_EQ(Run({"--db", path, "init"}), 0) << err.str();
    EXPECT_EQ(Run({"--db", path, "info"}), 0) << err.str();
    EXPECT_NE(out.str().find("Schema-Version: 002.00.126\n"), std::string::npos) << out.str();
    // A second init must not touch the existing file.
    EXPECT_NE(Run({"--db", path, "init"}), 0);
    EXPECT_NE(err.str().find("bereits vorhanden"), std::string::npos);
}

TEST_F(CliTest, FailuresGiveGermanMessagesAndNonZeroCodes)
{
    EXPECT_NE(Run({"--db", dir.File("fehlt.mdb"), "info"}), 0);
    EXPECT_NE(err.str().find("wurde nicht gefunden"), std::string::npos) << err.str();
    EXPECT_NE(Run({"info"}), 0);
    EXPECT_NE(Run({"kochen"}), 0);
    EXPECT_NE(err.str().find("Unbekannter Befehl"), std::string::npos);
    EXPECT_NE(Run({"--db"}), 0);
    // Only a setting's name makes KEY=value an override; any other word with "=" is an argument.
    EXPECT_EQ(Run({"Omas=Rezepte.mm"}), 2);
    EXPECT_NE(err.str().find("Unbekannter Befehl: Omas=Rezepte.mm"), std::string::npos) << err.str();
    EXPECT_EQ(Run({"--set", "ohneWert", "info"}), 2);
    EXPECT_NE(err.str().find("SCHLÜSSEL=Wert"), std::string::npos) << err.str();
}

TEST_F(CliTest, HelpListsOnlyWhatWorks)
{
    ASSERT_EQ(Run({"--help"}), 0);
    for (const char* missing : {"mnx", "csv"})
        EXPECT_EQ(out.str().find(missing), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("mm|rezkonv|html|rtf"), std::string::npos) << out.str();
}

} // namespace
} // namespace pf
