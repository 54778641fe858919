#pragma once
// What most model tests stand on: the application context answering through scripted answers, a
// temporary folder and in it a database file with the program's tables.

#include "core/AppContext.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "tests/support/NewDatabase.h"
#include "tests/support/RawSql.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace pf::test {

class ModelDb : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app.UI = &ui;
        db = NewSchemaDatabase(dir.File(kFile));
    }
    // A single number the query gives.
    long Count(const std::string& sql) { return static_cast<long>(db->Scalar(sql).AsLong()); }
    // Statements the program never issues (triggers that make a write fail) go past the connection
    // layer straight to the file.
    void Raw(const std::string& sql) { ExecuteRawSql(dir.File(kFile), sql); }

    static constexpr const char* kFile = "model.db";
    ScriptedInteraction ui;
    AppContext app;
    ScopedAppContext scope{app};
    TempDir dir;
    std::unique_ptr<Database> db;
};

} // namespace pf::test
