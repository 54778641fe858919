#include "core/AppContext.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "db/SchemaVersion.h"
#include "db/UpgradeSteps.h"
#include "tests/app/CliFixture.h"
#include "tests/support/NewDatabase.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <sstream>

namespace pf {
namespace {

class CliUpgradeTest : public test::CliFixture
{
protected:
    // Without base data beside the program the upgrade changes the schema only.
    CliUpgradeTest() { std::filesystem::remove(dir.File("bin/INIT.ZIP")); }

    // A database as an older program left it at that version, with one recipe.
    std::string MakeDatabase(const std::string& version)
    {
        const std::string path = dir.File("rezepte.mdb");
        auto db = test::NewSchemaDatabase(path, InitialSchema());
        db->Execute("INSERT INTO T_REZ_KOPF (ID, RezTitle, RezBild) VALUES (1, 'Apfelkuchen', 'apfel.jpg')");
        std::string current = InitialSchemaVersion();
        for (const UpgradeStep& step : UpgradeSteps()) {
            if (step.Version > version)
                break;
            step.Apply(*db, current);
            current = step.Version;
        }
        if (!version.empty())
            db->Execute("INSERT INTO T_VERSION (Major, Minor, Build) VALUES (?, ?, ?)",
                        {std::stol(version.substr(0, 3)), std::stol(version.substr(4, 2)),
                         std::stol(version.substr(7, 3))});
        return path;
    }
};

TEST_F(CliUpgradeTest, BringsTheFileToTheProgramVersionWithASafetyCopy)
{
    const std::string path = MakeDatabase("001.19.110");
    EXPECT_EQ(Run({"--db", path, "upgrade"}), 0) << err.str();
    EXPECT_EQ(out.str(), "Schema-Version: 001.19.110 -> 002.00.126\n");

    EXPECT_EQ(DatabaseVersionText(*Database::OpenSqlite(path + ".BAK")), "001.19.110");

    // A second run finds nothing to do.
    EXPECT_EQ(Run({"--db", path, "upgrade"}), 0) << err.str();
    EXPECT_EQ(out.str(), "Schema-Version: 002.00.126 -> 002.00.126\n");
}

TEST_F(CliUpgradeTest, ATooOldDatabaseIsLeftAloneWithAGermanMessage)
{
    const std::string path = MakeDatabase(""); // no version row: 000.50.036
    // The question and its default answer go to the terminal's error stream.
    std::ostringstream terminal;
    std::streambuf* previous = std::cerr.rdbuf(terminal.rdbuf());
    const int code = Run({"--db", path, "upgrade"});
    std::cerr.rdbuf(previous);
    EXPECT_NE(code, 0);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(terminal.str().find("wahrscheinlich zu alt"), std::string::npos) << terminal.str();
    EXPECT_NE(terminal.str().find("-> Nein"), std::string::npos) << terminal.str();
    EXPECT_NE(err.str().find("wurde nicht aktualisiert"), std::string::npos) << err.str();
    auto db = Database::OpenSqlite(path);
    EXPECT_EQ(DatabaseVersionText(*db), "000.50.036");
}

TEST_F(CliUpgradeTest, FailuresExitNonZeroWithTheirReason)
{
    EXPECT_NE(Run({"--db", dir.File("fehlt.mdb"), "upgrade"}), 0);
    EXPECT_NE(err.str().find("wurde nicht gefunden"), std::string::npos) << err.str();

    EXPECT_EQ(Run({"upgrade"}), 2);
    EXPECT_NE(err.str().find("--db DATEI"), std::string::npos);
}

} // namespace
} // namespace pf
