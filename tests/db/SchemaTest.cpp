#include "db/Schema.h"

#include "core/Utf8.h"
#include "db/Recordset.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace pf {
namespace {

using test::TempDir;

std::unique_ptr<Database> NewDatabase(const TempDir& dir, const std::string& name = "Pfannola.MDB")
{
    OpenOptions options;
    options.Create = true;
    return Database::OpenSqlite(dir.File(name), options);
}

const FieldDef* FindField(const TableDef& table, const std::string& name)
{
    for (const FieldDef& field : table.Fields)
        if (EqualsNoCase(field.Name, name))
            return &field;
    return nullptr;
}

TEST(Schema, TableNamesAreUniqueAndBeginWithT)
{
    std::set<std::string> names;
    for (const TableDef& table : SchemaTables()) {
        SCOPED_TRACE(table.Name);
        EXPECT_EQ(table.Name.rfind("T_", 0), 0u);
        EXPECT_TRUE(names.insert(ToUpper(table.Name)).second);
        std::set<std::string> columns;
        for (const FieldDef& field : table.Fields)
            EXPECT_TRUE(columns.insert(ToUpper(field.Name)).second) << field.Name;
        for (const IndexDef& index : table.Indexes)
            for (const std::string& column : index.Columns)
                EXPECT_TRUE(FindField(table, column)) << index.Name << " names " << column;
    }
}

TEST(Schema, RemovedColumnsAreGoneAndNamedIndexesPresent)
{
    EXPECT_FALSE(FindField(*FindSchemaTable("T_REZ_KOPF"), "RezBild"));
    EXPECT_FALSE(FindField(*FindSchemaTable("T_REZ_KOPF"), "RezWeinLexID"));
    EXPECT_FALSE(FindField(*FindSchemaTable("T_LITERATUR"), "ISBN"));

    struct Named
    {
        const char* Table;
        const char* Index;
        std::vector<std::string> Columns;
        bool Primary;
        bool Unique;
    };
    const Named named[] = {
        {"T_REZ_KOPF", "IParent", {"RezParent"}, false, false},
        {"T_MENU_GAST", "PrimaryKey", {"MenuID", "No"}, true, true},
        {"T_LITERATUR", "PrimaryKey", {"QuelleID"}, true, true},
        {"T_WPLevel", "PrimIndex", {"ID"}, true, true},
        {"T_WPLevel", "RefIndex", {"WPOrder"}, false, true},
        {"T_BLOB", "PrimIndex", {"ID", "IDNum"}, true, true},
        {"T_BLOB", "RefIndex", {"IDReference", "IDType", "IDNum"}, false, true},
        {"T_LITERATUR_CAT_NDX", "PrimIndex", {"ID", "CatID"}, true, true},
    };
    for (const Named& n : named) {
        SCOPED_TRACE(std::string(n.Table) + "." + n.Index);
        const TableDef* table = FindSchemaTable(n.Table);
        ASSERT_TRUE(table);
        auto found = std::find_if(table->Indexes.begin(), table->Indexes.end(),
                                  [&](const IndexDef& i) { return i.Name == n.Index; });
        ASSERT_NE(found, table->Indexes.end());
        EXPECT_EQ(found->Columns, n.Columns);
        EXPECT_EQ(found->Primary, n.Primary);
        EXPECT_EQ(found->Unique, n.Unique);
    }
}

TEST(Schema, EveryReferenceColumnTheProgramJoinsOnIsIndexed)
{
    const std::pair<const char*, const char*> references[] = {
        {"T_REZ_KOCHBUCH", "RezID"}, {"T_REZ_KOCHBUCH", "BuchID"},
        {"T_REZ_CAT_NDX", "ID"},     {"T_REZ_CAT_NDX", "CatID"},
        {"T_REZ_ANWEIS", "ID"},      {"T_REZ_ZUTAT", "ID"},
        {"T_REZ_ZUTAT", "ZutBLSID"}, {"T_REZ_ZUTAT", "ZutEinh"},
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
        EXPECT_TRUE(std::any_of(table->Indexes.begin(), table->Indexes.end(), [&](const IndexDef& i) {
            return !i.Columns.empty() && EqualsNoCase(i.Columns.front(), column);
        }));
    }
}

TEST(Schema, CreateTablesMakesTheWholeSchemaWithItsTypesAndIndexes)
{
    TempDir dir;
    auto db = NewDatabase(dir);
    CreateTables(*db, SchemaTables());
    for (const TableDef& table : SchemaTables()) {
        SCOPED_TRACE(table.Name);
        ASSERT_TRUE(db->TableExists(table.Name));
        const std::vector<FieldDef> fields = db->Fields(table.Name);
        ASSERT_EQ(fields.size(), table.Fields.size());
        for (std::size_t i = 0; i < fields.size(); ++i) {
            EXPECT_EQ(fields[i].Name, table.Fields[i].Name);
            EXPECT_EQ(fields[i].Type, table.Fields[i].Type) << fields[i].Name;
            EXPECT_EQ(fields[i].Size, table.Fields[i].Size) << fields[i].Name;
        }
        const std::vector<IndexDef> indexes = db->Indexes(table.Name);
        EXPECT_EQ(indexes.size(), table.Indexes.size());
        for (const IndexDef& expected : table.Indexes)
            EXPECT_TRUE(std::any_of(indexes.begin(), indexes.end(), [&](const IndexDef& i) {
                return i.Name == expected.Name && i.Columns == expected.Columns &&
                       i.Unique == expected.Unique;
            })) << expected.Name;
    }
}

TEST(Schema, NewRowsGetTheDefaultsTheProgramReliesOn)
{
    TempDir dir;
    auto db = NewDatabase(dir);
    CreateTables(*db, SchemaTables());
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
    auto db = NewDatabase(dir);
    db->CreateTable({"T_CAT", {{"ID", FieldType::Long}}, {}});
    EXPECT_THROW(CreateTables(*db, SchemaTables()), DbError);
    EXPECT_EQ(db->TableNames(), std::vector<std::string>{"T_CAT"});
}

TEST(Schema, InitialSchemaHoldsTheOldestStructure)
{
    const std::vector<TableDef> initial = InitialSchema();
    auto find = [&](const char* name) -> const TableDef* {
        for (const TableDef& table : initial)
            if (EqualsNoCase(table.Name, name))
                return &table;
        return nullptr;
    };
    for (const char* created : {"T_LITERATUR", "T_MENU_GAST", "T_BLOB", "T_WPLevel", "T_LITERATUR_CAT_NDX"})
        EXPECT_FALSE(find(created)) << created;
    const TableDef* kopf = find("T_REZ_KOPF");
    ASSERT_TRUE(kopf);
    EXPECT_TRUE(FindField(*kopf, "RezBild"));
    EXPECT_TRUE(FindField(*kopf, "RezWeinLexID"));
    EXPECT_FALSE(FindField(*kopf, "RezParent"));
    EXPECT_EQ(FindField(*kopf, "RezMenuCard")->Size, 50);
    EXPECT_FALSE(FindField(*find("T_UNIT"), "NoFractionOnScale"));
    EXPECT_FALSE(FindField(*find("T_CAT"), "CatParent"));
    // No index names a column that is not there yet.
    for (const TableDef& table : initial)
        for (const IndexDef& index : table.Indexes)
            for (const std::string& column : index.Columns)
                EXPECT_TRUE(FindField(table, column)) << table.Name << "." << index.Name;
    EXPECT_EQ(InitialSchemaVersion(), "000.50.073");
}

} // namespace
} // namespace pf
