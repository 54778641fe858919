#include "db/Schema.h"

#include "core/Utf8.h"
#include "db/Recordset.h"
#include "tests/support/NewDatabase.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace pf {
namespace {

using test::TempDir;

TEST(Schema, EveryReferenceColumnTheProgramJoinsOnIsIndexed)
{
    // A line's unit (ZutEinh) is not here: the join reads the unit by its key, and lines are found
    // by their unit only when a unit is deleted.
    const std::pair<const char*, const char*> references[] = {
        {"T_REZ_KOCHBUCH", "RezID"}, {"T_REZ_KOCHBUCH", "BuchID"},
        {"T_REZ_CAT_NDX", "ID"},     {"T_REZ_CAT_NDX", "CatID"},
        {"T_REZ_ANWEIS", "ID"},      {"T_REZ_ZUTAT", "ID"},
        {"T_REZ_ZUTAT", "ZutBLSID"},
        {"T_REZ_GERAET", "RezID"},   {"T_REZ_KOPF", "RezHerkunft"},
        {"T_REZ_KOPF", "RezTitle"},  {"T_REZ_KOPF", "Fingerprint2"},
        {"T_BLOB", "IDReference"},   {"T_MENU_GANG", "MenuID"},
        {"T_MENU_GAST", "MenuID"},   {"T_BLS_DAT", "SBLS"},
        {"T_BLS_KEY", "SBLS"},       {"T_INFO_KEY", "ID"},
        {"T_BLS_INFO", "KEYID"},     {"T_LIEFERUNG", "Nahrungsmittel"},
        {"T_LEXIKON", "ID"},         {"T_LITERATUR_CAT_NDX", "ID"},
        {"T_CAT", "CatParent"},      {"T_MENU_KOPF", "MenuTree"},
    };
    for (const auto& [tableName, column] : references) {
        SCOPED_TRACE(std::string(tableName) + "." + column);
        const TableDef* table = FindSchemaTable(tableName);
        ASSERT_TRUE(table);
        // An index serves a lookup on its first column.
        EXPECT_TRUE(std::any_of(table->Indexes.begin(), table->Indexes.end(), [&name = column](const IndexDef& i) {
            return !i.Columns.empty() && EqualsNoCase(i.Columns.front(), name);
        }));
    }
}

TEST(Schema, NewRowsGetTheDefaultsTheProgramReliesOn)
{
    TempDir dir;
    auto db = test::NewSchemaDatabase(dir.File("Pfannola.MDB"));
    db->Execute("INSERT INTO T_REZ_KOPF (ID, RezTitle) VALUES (1, 'Apfelkuchen')");
    EXPECT_EQ(db->Scalar("SELECT COUNT(*) FROM T_REZ_KOPF WHERE FlagDeleted=0 AND Template=False").AsLong(),
              1);
    EXPECT_EQ(db->Scalar("SELECT RezQuelleID FROM T_REZ_KOPF").AsLong(), 0);
    db->Execute("INSERT INTO T_WPLevel (ID, WPOrder, WPName) VALUES (1, 1, 'Tagessuppe')");
    EXPECT_TRUE(db->Scalar("SELECT WPPrint FROM T_WPLevel").AsBool());
    EXPECT_FALSE(db->Scalar("SELECT WPRepeat FROM T_WPLevel").AsBool());
    // The page holds at most eight characters.
    EXPECT_THROW(db->Execute("UPDATE T_REZ_KOPF SET RezQuellePage='123456789'"), DbError);
    // Several pictures of one recipe share ID, owner and kind.
    for (int num = 1; num <= 3; ++num)
        db->Execute("INSERT INTO T_BLOB (ID, IDReference, IDType, IDNum, Property) VALUES (7, 1, 5, ?, 1)",
                    {num});
    EXPECT_EQ(db->Scalar("SELECT MAX(IDNum) FROM T_BLOB WHERE IDType=5 AND IDReference=1").AsLong(), 3);
}

TEST(Schema, CreateTablesLeavesNothingBehindWhenATableFails)
{
    TempDir dir;
    auto db = test::NewDatabase(dir.File("Pfannola.MDB"));
    db->CreateTable({"T_CAT", {{"ID", FieldType::Long}}, {}});
    EXPECT_THROW(CreateTables(*db, SchemaTables()), DbError);
    EXPECT_EQ(db->TableNames(), std::vector<std::string>{"T_CAT"});
}

} // namespace
} // namespace pf
