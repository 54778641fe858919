#pragma once
// A fresh database per test (a file, or a schema on the test server) with a slice of the recipe schema
// (tables created through CreateTable, so they carry the layer's declared types and collation) and known
// rows: titles with quotes, wildcard characters, umlauts and ß, ingredients, units, cookbooks, categories,
// menus, keywords.

#include "db/Database.h"
#include "db/OpenDatabase.h"
#include "db/PgDatabase.h"
#include "db/Recordset.h"
#include "db/SqliteDatabase.h"
#include "tests/support/Backends.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace pf::test {

inline FieldDef F(const char* name, FieldType type, int size = 0, bool required = false, Value def = {})
{
    return FieldDef{name, type, size, required, std::move(def)};
}

inline IndexDef Primary(std::vector<std::string> columns, const char* name = "PrimaryKey")
{
    return IndexDef{name, std::move(columns), true, true};
}

inline void CreateFixtureSchema(Database& db)
{
    using T = FieldType;
    db.CreateTable({"T_REZ_KOPF",
                    {F("ID", T::Long, 0, true), F("RezTitle", T::Text, 255), F("RezMenuCard", T::Text, 255),
                     F("RezYieldEinh", T::Long), F("RezSprache", T::Long), F("RezHerkunft", T::Long),
                     F("RezParent", T::Long), F("Template", T::Boolean), F("FlagDeleted", T::Boolean),
                     F("RezImportDate", T::Date), F("RezImportSource", T::Long),
                     F("RezQuellePage", T::Text, 8), F("RezNotizen", T::Memo)},
                    {Primary({"ID"}), IndexDef{"IParent", {"RezParent"}, false, false}}});
    db.CreateTable({"T_REZ_ZUTAT",
                    {F("ID", T::Long, 0, true), F("No", T::Long, 0, true), F("ZutTrenner", T::Boolean),
                     F("ZutText", T::Text, 255), F("ZutAnz", T::Currency), F("ZutEinh", T::Long),
                     F("ZutBLSID", T::Long), F("ZutRezept", T::Boolean)},
                    {Primary({"ID", "No"})}});
    db.CreateTable({"T_UNIT",
                    {F("ID", T::Long, 0, true), F("UnitShortD", T::Text, 8), F("UnitNameD", T::Text, 32),
                     F("NoFractionOnScale", T::Boolean)},
                    {Primary({"ID"})}});
    db.CreateTable(
        {"T_BLS_KEY",
         {F("ID", T::Long, 0, true), F("SBLS", T::Text, 7), F("ST", T::Text, 60), F("STE", T::Text, 60)},
         {Primary({"ID"})}});
    db.CreateTable({"T_REZ_KOCHBUCH", {F("RezID", T::Long), F("BuchID", T::Long)}, {}});
    db.CreateTable({"T_REZ_CAT_NDX",
                    {F("ID", T::Long), F("CatID", T::Long), F("CatPrimary", T::Boolean), F("No", T::Long)},
                    {}});
    db.CreateTable({"T_CAT",
                    {F("ID", T::Long, 0, true), F("CatNameD", T::Text, 50), F("LaenderCode", T::Text, 4)},
                    {Primary({"ID"})}});
    db.CreateTable({"T_MENU_KOPF",
                    {F("MenuID", T::Long, 0, true), F("MenuTitle", T::Text, 100), F("MenuDatum", T::Date),
                     F("MenuTree", T::Long)},
                    {Primary({"MenuID"})}});
    db.CreateTable({"T_MENU_GANG",
                    {F("MenuID", T::Long), F("GangNr", T::Long), F("RezID", T::Long), F("WPDay", T::Long)},
                    {}});
    db.CreateTable({"T_MENU_GAST",
                    {F("MenuID", T::Long, 0, true), F("No", T::Long, 0, true),
                     F("AdressID", T::Long, 0, true), F("Notiz", T::Memo)},
                    {Primary({"MenuID", "No"})}});
    db.CreateTable(
        {"T_INFO_KEY",
         {F("ID", T::Long), F("KEY", T::Text, 64), F("KEYTYPE", T::Long), F("Sprachcode", T::Long)},
         {}});
    db.CreateTable({"T_GIFT", {F("ID", T::Long), F("KEY", T::Text, 10)}, {}});
    db.CreateTable({"T_WPLevel",
                    {F("ID", T::Long, 0, true), F("WPOrder", T::Long, 0, true),
                     F("WPName", T::Text, 32, true), F("WPCost", T::Currency, 0, true, Decimal4()),
                     F("WPPrint", T::Boolean, 0, true, true), F("WPRepeat", T::Boolean, 0, true, false)},
                    {Primary({"ID"}, "PrimIndex"), IndexDef{"RefIndex", {"WPOrder"}, true, false}}});
    db.CreateTable(
        {"T_SUCHE_KOPF", {F("ID", T::Long), F("Suchname", T::Text, 64), F("Owner", T::Text, 32)}, {}});
    db.CreateTable({"T_USER",
                    {F("ID", T::Long), F("Username", T::Text, 32), F("Desc", T::Text, 64),
                     F("Pwd", T::Text, 32), F("Flags", T::Long)},
                    {}});
}

inline void FillFixture(Database& db)
{
    const double importDate = DateSerial::FromParts(2018, 12, 28, 14, 30).Days;
    const char* kopf =
        "INSERT INTO T_REZ_KOPF (ID, RezTitle, RezYieldEinh, RezSprache, RezHerkunft, RezParent, "
        "Template, FlagDeleted, RezImportDate, RezQuellePage) VALUES (?,?,?,?,?,?,?,?,?,?)";
    db.Execute(kopf, {1, "Apfelkuchen", 2, 0, 7, 0, false, false, DateSerial{importDate}, "12"});
    db.Execute(kopf,
               {2, "Äpfel im Schlafrock", 2, 0, 0, 1, false, false, DateSerial{importDate + 1}, Value()});
    db.Execute(kopf, {3, "Mutter's \"bester\" Kuchen", 3, 1, 0, 0, false, true, Value(), Value()});
    db.Execute(kopf, {4, "Zwetschgenkuchen 50% [fein]", 2, 0, 0, 0, true, false, Value(), Value()});
    db.Execute(kopf, {5, "Straße der Würste", 1, 0, 0, 0, false, false, Value(), Value()});
    db.Execute(kopf, {6, "apfelmus", 2, 0, 0, 1, false, false, Value(), Value()});
    db.Execute("UPDATE T_REZ_KOPF SET RezImportSource=IIf(ID=2, 1, 0)");

    const char* zutat = "INSERT INTO T_REZ_ZUTAT (ID, [No], ZutTrenner, ZutText, ZutAnz, ZutEinh, ZutBLSID, "
                        "ZutRezept) VALUES (?,?,?,?,?,?,?,?)";
    db.Execute(zutat, {1, 1, false, "Weizenmehl", Decimal4::Parse("250"), 1, 10, false});
    db.Execute(zutat, {1, 2, false, "Äpfel, säuerlich", Decimal4::Parse("0.75"), 2, 11, false});
    db.Execute(zutat, {1, 3, false, "Zucker", Decimal4::Parse("1.12345"), 1, 0, false});
    db.Execute(zutat, {2, 1, false, "Blätterteig", Decimal4::Parse("1"), 3, 0, false});
    db.Execute(zutat, {2, 2, false, "Birne", Decimal4::Parse("2"), 3, 0, false});
    db.Execute(zutat, {6, 1, false, "APFEL", Decimal4::Parse("4"), 3, 11, false});

    const char* unit = "INSERT INTO T_UNIT (ID, UnitShortD, UnitNameD, NoFractionOnScale) VALUES (?,?,?,?)";
    db.Execute(unit, {1, "gr", "Gramm", false});
    db.Execute(unit, {2, "kg", "Kilogramm", false});
    db.Execute(unit, {3, "ML", "Milliliter", false});

    const char* key = "INSERT INTO T_BLS_KEY (ID, SBLS, ST, STE) VALUES (?,?,?,?)";
    db.Execute(key, {10, "C131000", "Weizenmehl", "wheat flour"});
    db.Execute(key, {11, "F110000", "Apfel", "apple"});
    db.Execute(key, {12, "F110100", "Apfel, roh", "apple, raw"});
    db.Execute(key, {13, "F120000", "Birne", "pear"});

    for (auto [rez, buch] : {std::pair{1, 1}, {2, 1}, {3, 1}, {4, 2}, {5, 2}})
        db.Execute("INSERT INTO T_REZ_KOCHBUCH (RezID, BuchID) VALUES (?,?)", {rez, buch});
    for (auto [id, cat, primary, no] :
         {std::tuple{1, 7, true, 1}, {1, 8, false, 2}, {2, 7, true, 1}, {5, 9, true, 1}})
        db.Execute("INSERT INTO T_REZ_CAT_NDX (ID, CatID, CatPrimary, [No]) VALUES (?,?,?,?)",
                   {id, cat, primary, no});
    db.Execute("INSERT INTO T_CAT (ID, CatNameD, LaenderCode) VALUES (7, 'Kuchen', ''), (8, 'Obst', ''), "
               "(9, 'Deutschland', 'D')");

    const char* menu = "INSERT INTO T_MENU_KOPF (MenuID, MenuTitle, MenuDatum, MenuTree) VALUES (?,?,?,?)";
    db.Execute(menu, {1, "Weihnachten", DateSerial::FromParts(2018, 12, 24), 0});
    db.Execute(menu, {2, "Woche 52", DateSerial::FromParts(2018, 12, 17), -3});
    db.Execute(menu, {3, "Woche 1", DateSerial::FromParts(2019, 1, 7), -3});
    db.Execute(
        "INSERT INTO T_MENU_GANG (MenuID, GangNr, RezID, WPDay) VALUES (1,1,1,0), (1,2,5,0), (2,1,1,3), "
        "(3,1,1,2)");
    db.Execute("INSERT INTO T_MENU_GAST (MenuID, [No], AdressID, Notiz) VALUES (1, 1, 9, 'mag keine Nüsse')");

    db.Execute("INSERT INTO T_INFO_KEY (ID, [KEY], KEYTYPE, Sprachcode) VALUES (11, 'Apfel', 3, 0), "
               "(11, 'Boskop', 3, 0), (13, 'Birne', 3, 0), (20, 'Schneebesen', 2, 0)");
    db.Execute("INSERT INTO T_GIFT (ID, [KEY]) VALUES (1, 'E100'), (2, '-0001'), (3, '-0002')");
    db.Execute("INSERT INTO T_WPLevel (ID, WPOrder, WPName) VALUES (1, 1, 'Mittag'), (2, 2, 'Abend')");
    db.Execute(
        "INSERT INTO T_SUCHE_KOPF (ID, Suchname, Owner) VALUES (0, 'Standard', ''), (5, 'Kuchen', 'Anna'), "
        "(6, 'Suppen', 'Bernd')");
    db.Execute("INSERT INTO T_USER (ID, Username, [Desc], Pwd, Flags) VALUES (1, 'anna', 'Köchin', '', 3)");
}

// The fixture's tables and rows in a new database of one back end.
class FixtureBase
{
protected:
    // False when the back end is not there (no server installed): the test then skips.
    bool OpenFixture(Backend backend)
    {
        m_path = m_dir.File("Pfannola.MDB");
        m_db = NewBackendDatabase(backend, m_path, &m_connect);
        if (!m_db)
            return false;
        try {
            CreateFixtureSchema(*m_db);
            FillFixture(*m_db);
        } catch (const DbError& e) {
            std::string details;
            for (const EngineError& engine : e.Errors())
                details += "\n  " + engine.Description;
            ADD_FAILURE() << e.what() << details;
            throw;
        }
        return true;
    }

    // First column of every row, as text joined with "|".
    std::string Column0(const std::string& sql)
    {
        auto rs = m_db->OpenRecordset(sql);
        std::string out;
        for (bool first = true; !rs->Eof(); rs->MoveNext(), first = false)
            out += (first ? "" : "|") + rs->Field(0).AsText();
        return out;
    }

    // A second program on the same database.
    std::unique_ptr<Database> OpenAgain() { return OpenDatabase(m_connect.empty() ? m_path : m_connect); }

    TempDir m_dir;
    std::string m_path;
    std::string m_connect; // of the server schema
    std::unique_ptr<Database> m_db;
};

// Tests of the file database alone.
class SqliteTest : public FixtureBase, public ::testing::Test
{
protected:
    void SetUp() override { OpenFixture(Backend::File); }
};

// Tests that run on both back ends from the same code: TEST_P(DbTest, ...).
class DbTest : public FixtureBase, public ::testing::TestWithParam<Backend>
{
protected:
    void SetUp() override
    {
        if (!OpenFixture(GetParam()))
            GTEST_SKIP() << kNoServer;
    }
    bool OnServer() const { return GetParam() == Backend::Server; }
    // What the back end runs for a statement, for failure messages.
    std::string Translated(std::string_view sql)
    {
        if (auto* file = dynamic_cast<SqliteDatabase*>(m_db.get()))
            return file->Translated(sql);
        if (auto* server = dynamic_cast<PgDatabase*>(m_db.get()))
            return server->Translated(sql);
        return {};
    }
};

// Runs a callable and returns the number of the DbError it throws, 0 when it does not throw.
template <typename F> long ErrorNumber(F&& f)
{
    try {
        f();
    } catch (const DbError& e) {
        return e.Number();
    }
    return 0;
}

} // namespace pf::test
