#include "model/RecipeTemplates.h"

#include "core/AppContext.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace pf {
namespace {

TEST(RecipeTemplates, OffersTemplatesNotInTheTrashByTitleOrSaysThereAreNone)
{
    test::TempDir dir;
    test::ScriptedInteraction ui;
    AppContext app;
    app.UI = &ui;
    ScopedAppContext scope(app);
    OpenOptions options;
    options.Create = true;
    auto db = Database::OpenSqlite(dir.File("t.db"), options);
    CreateTables(*db, SchemaTables());

    EXPECT_EQ(ChooseTemplate(*db), 0);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].Text, "Es wurden keine Vorlagen gefunden!");

    db->Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,Template,FlagDeleted) VALUES "
                "(1,'Suppe',-1,0), (2,'Auflauf',-1,0), (3,'Kuchen',0,0), (4,'Alt',-1,-1)");
    ui.ChoosingItem(1).ChoosingItem(std::nullopt);
    EXPECT_EQ(ChooseTemplate(*db), 1); // "Auflauf", "Suppe": the second is Suppe
    EXPECT_EQ(ChooseTemplate(*db), 0); // cancelled
    EXPECT_EQ(ui.shown.size(), 1u);
}

} // namespace
} // namespace pf
