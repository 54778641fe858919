#pragma once
// A program context of the test's own: program, data and temporary folders in a fresh directory,
// settings files there, scripted answers, and no work database before or after the test.

#include "core/AppContext.h"
#include "db/DatabaseChoice.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pf::test {

class AppFixture : public ::testing::Test
{
protected:
    AppFixture() : m_scope(m_app)
    {
        m_app.UI = &ui;
        m_app.ComputeVersion();
        m_app.ProgramDir = dir.Dir() + "prog/";
        m_app.DataDir = dir.Dir() + "data/";
        m_app.TempDir = dir.Dir() + "tmp/";
        m_app.IniFile = dir.File("pfannola.INI");
        m_app.UserStoreFile = dir.File("user.ini");
        m_app.WinUser = "koch";
        for (const std::string& folder : {m_app.ProgramDir, m_app.DataDir, m_app.TempDir})
            std::filesystem::create_directories(folder);
        Connection() = ConnectionState{};
    }
    ~AppFixture() override
    {
        CloseWorkDatabase();
        Connection() = ConnectionState{};
    }

    // The shipped INIT.ZIP beside the program, for the tests that make databases from it.
    void ShipInitZip() { std::filesystem::copy_file(PF_INIT_ZIP, m_app.ProgramDir + "INIT.ZIP"); }

    TempDir dir;
    ScriptedInteraction ui;
    AppContext m_app;

private:
    ScopedAppContext m_scope;
};

} // namespace pf::test
