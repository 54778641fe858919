#pragma once
// A fresh database with the program's schema, an application context that answers questions from
// a script, and helpers to read single values: for the lexicon, literature, address and weekly-plan
// tests.

#include "core/AppContext.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace pf::test {

class LexiconDb : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app.IniFile = dir.File("pfannola.INI");
        app.UserStoreFile = dir.File("user.ini");
        app.WinUser = "koch";
        app.UI = &ui;
        OpenOptions create;
        create.Create = true;
        db = Database::OpenSqlite(dir.File("lexikon.db"), create);
        CreateTables(*db, SchemaTables());
    }

    long Count(const std::string& sql) { return static_cast<long>(db->Scalar(sql).AsLong()); }
    std::string Text(const std::string& sql)
    {
        const Value v = db->Scalar(sql);
        return v.IsNull() ? std::string() : v.AsText();
    }

    AppContext app;
    ScopedAppContext scope{app};
    ScriptedInteraction ui;
    TempDir dir;
    std::unique_ptr<Database> db;
};

} // namespace pf::test
