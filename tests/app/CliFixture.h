#pragma once
// Runs the command-line program in-process with a private settings and data folder and the
// INIT.ZIP the build packs beside the programs.

#include "app/Cli.h"
#include "db/Database.h"
#include "tests/support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace pf::test {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

class CliFixture : public ::testing::Test
{
protected:
    CliFixture()
    {
        setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
        setenv("XDG_DATA_HOME", dir.File("share").c_str(), 1);
        std::filesystem::create_directories(dir.File("bin"));
        std::filesystem::copy_file(PF_INIT_ZIP, dir.File("bin/INIT.ZIP"));
    }

    // Runs one call; out and err hold what it printed.
    int Run(std::vector<std::string> args)
    {
        out.str("");
        err.str("");
        return RunCli(dir.File("bin/pfannola-cli"), args, out, err);
    }

    // Runs a call that must succeed and gives what it printed on standard output.
    std::string Out(std::vector<std::string> args)
    {
        EXPECT_EQ(Run(std::move(args)), 0) << err.str();
        return out.str();
    }

    // Runs one call on the database: "--db" and its path, the command's words, then further words.
    int RunOn(const std::string& db, std::vector<std::string> words,
              const std::vector<std::string>& more = {})
    {
        words.insert(words.begin(), {"--db", db});
        words.insert(words.end(), more.begin(), more.end());
        return Run(std::move(words));
    }

    // A new database made by "init" from the base data, as a user starts one.
    std::string InitDatabase(const std::string& name = "rezepte.MDB")
    {
        const std::string path = dir.File(name);
        EXPECT_EQ(Run({"--db", path, "init"}), 0) << err.str();
        return path;
    }

    // The same, with these statements run on it afterwards.
    std::string InitDatabase(const std::string& name, std::initializer_list<std::string> statements)
    {
        const std::string path = InitDatabase(name);
        auto db = Database::OpenSqlite(path);
        for (const std::string& statement : statements)
            db->Execute(statement);
        return path;
    }

    TempDir dir;
    std::ostringstream out;
    std::ostringstream err;
};

} // namespace pf::test
