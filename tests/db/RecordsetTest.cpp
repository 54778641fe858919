// Recordsets over SQLite: reading by name over joins, types as the engine hands them out, and
// AddNew/Edit/Update/Delete on recordsets over one table.

#include "db/SqliteDatabase.h"
#include "tests/db/DbFixture.h"

namespace pf::test {
namespace {

TEST_P(DbTest, JoinedSelectStarAnswersQualifiedAndPlainNames)
{
    auto rs = m_db->OpenRecordset(
        "SELECT DISTINCTROW * FROM (T_REZ_ZUTAT LEFT JOIN T_UNIT ON T_REZ_ZUTAT.ZutEinh = T_UNIT.ID) LEFT "
        "JOIN "
        "T_BLS_KEY ON T_REZ_ZUTAT.ZutBLSID = T_BLS_KEY.ID WHERE T_REZ_ZUTAT.ID=1 ORDER BY [No] ASC");
    ASSERT_FALSE(rs->Eof());
    rs->MoveNext();                         // line 2: Äpfel, 0.75 kg, food 11
    EXPECT_EQ(rs->Field("ID").AsLong(), 1); // the first column of that name: T_REZ_ZUTAT.ID
    EXPECT_EQ(rs->Field("t_rez_zutat.id").AsLong(), 1);
    EXPECT_EQ(rs->Field("T_UNIT.ID").AsLong(), 2);
    EXPECT_EQ(rs->Field("T_BLS_KEY.ID").AsLong(), 11);
    EXPECT_EQ(rs->Field("UnitNameD").AsText(), "Kilogramm");
    EXPECT_EQ(rs->Field("ZutText").AsText(), "Äpfel, säuerlich");
    EXPECT_EQ(rs->Field("ZutAnz").Type(), ValueType::Currency);
    EXPECT_EQ(rs->Field("ZutAnz").AsCurrency(), Decimal4::Parse("0.75"));
    EXPECT_EQ(rs->Field("No").AsLong(), 2);
    EXPECT_EQ((*rs)["SBLS"].AsText(), "F110000");

    int ids = 0;
    for (int i = 0; i < rs->FieldCount(); ++i)
        if (rs->FieldName(i).find(".ID") != std::string::npos)
            ++ids;
    EXPECT_EQ(ids, 3);
    EXPECT_EQ(rs->FieldName(0), "T_REZ_ZUTAT.ID");
    EXPECT_EQ(rs->FieldName(1), "No");

    rs->MoveNext(); // line 3: no food key, the joined columns are Null
    EXPECT_TRUE(rs->Field("T_BLS_KEY.ID").IsNull());
    EXPECT_EQ(rs->Field("SBLS").AsText(), "");
    rs->MoveNext();
    EXPECT_TRUE(rs->Eof());
    EXPECT_EQ(ErrorNumber([&] { rs->Field("ZutText"); }), dberr::kNoCurrentRecord);
    EXPECT_EQ(ErrorNumber([&] { rs->MoveNext(); }), dberr::kNoCurrentRecord);
}

TEST_P(DbTest, AliasesAndExpressionsHaveNames)
{
    auto rs =
        m_db->OpenRecordset("SELECT D.MenuTitle,A.MenuID,C.RezTitle,C.ID FROM (T_MENU_GANG A INNER JOIN "
                            "T_MENU_KOPF D ON A.MenuID=D.MenuID) LEFT JOIN T_REZ_KOPF C ON (A.RezID=C.ID) "
                            "WHERE A.GangNr=2");
    ASSERT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Field("D.MenuTitle").AsText(), "Weihnachten");
    EXPECT_EQ(rs->Field("A.MenuID").AsLong(), 1);
    EXPECT_EQ(rs->Field("T_MENU_GANG.MenuID").AsLong(), 1);
    EXPECT_EQ(rs->Field("RezTitle").AsText(), "Straße der Würste");

    auto count = m_db->OpenRecordset("SELECT COUNT(*), MAX(ID) AS X FROM T_REZ_KOPF");
    EXPECT_EQ(count->Field("Expr1000").AsLong(), 6);
    EXPECT_EQ(count->Field("X").AsLong(), 6);
    EXPECT_EQ(count->Field("x").AsLong(), 6);
    EXPECT_EQ(ErrorNumber([&] { count->Field("Y"); }), dberr::kNoSuchField);
}

TEST_P(DbTest, ValuesComeBackInTheirJetTypes)
{
    auto rs = m_db->OpenRecordset("SELECT * FROM T_REZ_KOPF WHERE ID=3");
    EXPECT_EQ(rs->Field("FlagDeleted").Type(), ValueType::Boolean);
    EXPECT_TRUE(rs->Field("FlagDeleted").AsBool());
    EXPECT_EQ(rs->Field("FlagDeleted").AsLong(), -1);
    EXPECT_EQ(rs->Field("Template").Type(), ValueType::Boolean);
    EXPECT_FALSE(rs->Field("Template").AsBool());
    EXPECT_EQ(rs->Field("RezTitle").AsText(), "Mutter's \"bester\" Kuchen");
    EXPECT_TRUE(rs->Field("RezImportDate").IsNull());
    EXPECT_EQ(rs->FieldSize("RezTitle"), 255);
    EXPECT_EQ(rs->FieldSize("RezQuellePage"), 8);
    EXPECT_EQ(rs->FieldSize("ID"), 0);

    auto dated = m_db->OpenRecordset("SELECT RezImportDate, ID FROM T_REZ_KOPF WHERE ID=1");
    EXPECT_EQ(dated->Field("RezImportDate").Type(), ValueType::Date);
    EXPECT_EQ(dated->Field("RezImportDate").AsDate(), DateSerial::FromParts(2018, 12, 28, 14, 30));

    // Currency is rounded to four places on the way in and on the way out.
    auto zutat = m_db->OpenRecordset("SELECT ZutAnz FROM T_REZ_ZUTAT WHERE ID=1 AND [No]=3");
    EXPECT_EQ(zutat->Field("ZutAnz").AsCurrency(), Decimal4::FromTicks(11235));

    // Memo and Text keep numeric-looking text as text (declared types with TEXT affinity).
    m_db->Execute("UPDATE T_REZ_KOPF SET RezNotizen=\"0123\", RezQuellePage=\"007\" WHERE ID=1");
    EXPECT_EQ(m_db->Scalar("SELECT RezNotizen FROM T_REZ_KOPF WHERE ID=1"), Value("0123"));
    if (!OnServer()) {
        EXPECT_EQ(m_db->Scalar("SELECT typeof(RezQuellePage) FROM T_REZ_KOPF WHERE ID=1").AsText(), "text");
    }
    EXPECT_TRUE(m_db->Scalar("SELECT RezTitle FROM T_REZ_KOPF WHERE ID=99").IsNull());
}

TEST_P(DbTest, AddNewWritesARowAndLeavesTheCurrentRow)
{
    auto rs = m_db->OpenRecordset("SELECT * FROM T_REZ_ZUTAT WHERE ID=1 ORDER BY [No]");
    ASSERT_FALSE(rs->Eof());
    rs->AddNew();
    rs->SetField("ID", 1);
    rs->SetField("No", 4);
    rs->SetField("ZutText", "Zimt");
    rs->SetField("ZutAnz", 0.00005); // rounds half away from zero
    rs->SetField("ZutTrenner", 1);   // any non-zero is True, stored -1
    EXPECT_EQ(rs->Field("ZutText").AsText(), "Zimt");
    EXPECT_TRUE(rs->Field("ZutEinh").IsNull());
    rs->Update();
    EXPECT_EQ(rs->Field("No").AsLong(), 1); // still on the row it was on

    EXPECT_EQ(m_db->Scalar("SELECT ZutTrenner FROM T_REZ_ZUTAT WHERE ID=1 AND [No]=4"), Value(true));
    EXPECT_EQ(m_db->Scalar("SELECT ZutTrenner+0 FROM T_REZ_ZUTAT WHERE ID=1 AND [No]=4").AsLong(), -1);
    EXPECT_EQ(m_db->Scalar("SELECT ZutAnz FROM T_REZ_ZUTAT WHERE ID=1 AND [No]=4").AsCurrency(),
              Decimal4::FromTicks(1));

    int rows = 0;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
        ++rows;
    EXPECT_EQ(rows, 4);
    EXPECT_EQ(rs->RecordCount(), 4);
}

TEST_P(DbTest, EditDuringAScanVisitsEveryRowOnce)
{
    // An index on the edited column must not make the scan see moved rows again.
    m_db->CreateIndex("T_REZ_KOPF", IndexDef{"IYield", {"RezYieldEinh"}, false, false});
    auto rs = m_db->OpenRecordset("SELECT ID, RezYieldEinh FROM T_REZ_KOPF WHERE RezYieldEinh>=2 ORDER BY "
                                  "RezYieldEinh");
    // A transaction begun after the recordset was opened leaves it working.
    DbTransaction tx(*m_db);
    int visits = 0;
    while (!rs->Eof()) {
        rs->Edit();
        rs->SetField("RezYieldEinh", rs->Field("RezYieldEinh").AsLong() + 10);
        rs->Update();
        EXPECT_GE(rs->Field("RezYieldEinh").AsLong(), 12); // shows the stored value
        ++visits;
        rs->MoveNext();
    }
    tx.Commit();
    EXPECT_EQ(visits, 5);
    EXPECT_EQ(m_db->Scalar("SELECT SUM(RezYieldEinh) FROM T_REZ_KOPF").AsLong(), 1 + 5 * 10 + 2 * 4 + 3);
}

TEST_P(DbTest, DeleteRemovesTheCurrentRow)
{
    auto rs = m_db->OpenRecordset("SELECT * FROM T_REZ_CAT_NDX WHERE ID=1");
    rs->Delete();
    EXPECT_EQ(ErrorNumber([&] { rs->Field("CatID"); }), 3167);
    rs->MoveNext();
    ASSERT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Field("CatID").AsLong(), 8);
    rs->MoveNext();
    EXPECT_TRUE(rs->Eof());
    EXPECT_EQ(m_db->Scalar("SELECT COUNT(*) FROM T_REZ_CAT_NDX WHERE ID=1").AsLong(), 1);
    EXPECT_EQ(rs->RecordCount(), 1);
}

TEST_P(DbTest, TextLongerThanItsDefinedSizeIsRefused)
{
    auto rs = m_db->OpenRecordset("SELECT * FROM T_REZ_KOPF WHERE ID=1");
    rs->Edit();
    rs->SetField("RezQuellePage", "12345678"); // eight characters fit
    rs->SetField("RezQuellePage", "äöüÄÖÜßé"); // eight characters, sixteen bytes, fit too
    EXPECT_EQ(ErrorNumber([&] { rs->SetField("RezQuellePage", "123456789"); }), 3163);
    rs->Update();
    EXPECT_EQ(m_db->Scalar("SELECT RezQuellePage FROM T_REZ_KOPF WHERE ID=1").AsText(), "äöüÄÖÜßé");
    // Statements meet the same limit through the column's CHECK.
    EXPECT_EQ(
        ErrorNumber([&] { m_db->Execute("UPDATE T_REZ_KOPF SET RezQuellePage=\"123456789\" WHERE ID=1"); }),
        3163);
    EXPECT_EQ(m_db->Errors().front().Number, 3163);
}

TEST_P(DbTest, ConversionsOnWrite)
{
    auto rs = m_db->OpenRecordset("SELECT * FROM T_REZ_KOPF WHERE ID=1");
    rs->Edit();
    EXPECT_EQ(ErrorNumber([&] { rs->SetField("RezYieldEinh", "viel"); }), 3421);
    EXPECT_EQ(ErrorNumber([&] { rs->SetField("RezYieldEinh", 4294967296LL); }), 3349);
    rs->SetField("RezYieldEinh", "4");
    rs->SetField("RezSprache", 2.5); // rounds half to even
    rs->SetField("RezImportDate", "24.12.2018");
    rs->SetField("RezNotizen", Value());
    rs->Update();
    auto check = m_db->OpenRecordset("SELECT * FROM T_REZ_KOPF WHERE ID=1");
    EXPECT_EQ(check->Field("RezYieldEinh"), Value(4));
    EXPECT_EQ(check->Field("RezSprache"), Value(2));
    EXPECT_EQ(check->Field("RezImportDate").AsDate(), DateSerial::FromParts(2018, 12, 24));
    EXPECT_TRUE(check->Field("RezNotizen").IsNull());
}

TEST_P(DbTest, EditingNeedsAnEditableRecordset)
{
    auto joined = m_db->OpenRecordset("SELECT * FROM T_REZ_KOPF INNER JOIN T_REZ_KOCHBUCH ON T_REZ_KOPF.ID = "
                                      "T_REZ_KOCHBUCH.RezID");
    EXPECT_EQ(ErrorNumber([&] { joined->AddNew(); }), dberr::kReadOnly);
    EXPECT_EQ(ErrorNumber([&] { joined->Delete(); }), dberr::kReadOnly);

    auto rs = m_db->OpenRecordset("SELECT ID, RezTitle & \"!\" AS Loud FROM T_REZ_KOPF WHERE ID=1");
    EXPECT_EQ(ErrorNumber([&] { rs->SetField("ID", 1); }), 3020);
    EXPECT_EQ(ErrorNumber([&] { rs->Update(); }), 3020);
    rs->Edit();
    EXPECT_EQ(ErrorNumber([&] { rs->SetField("Loud", "x"); }), 3164);
    EXPECT_EQ(ErrorNumber([&] { rs->SetField("Nope", "x"); }), dberr::kNoSuchField);
    rs->CancelUpdate();
    EXPECT_EQ(rs->Field("Loud").AsText(), "Apfelkuchen!");
}

TEST_P(DbTest, DuplicateKeyAndMissingRequiredValue)
{
    auto rs = m_db->OpenRecordset("SELECT * FROM T_WPLevel");
    rs->AddNew();
    rs->SetField("ID", 1);
    rs->SetField("WPOrder", 3);
    rs->SetField("WPName", "Frühstück");
    EXPECT_EQ(ErrorNumber([&] { rs->Update(); }), dberr::kDuplicateKey);
    rs->SetField("ID", 3);
    rs->Update();
    rs->AddNew();
    rs->SetField("ID", 4);
    rs->SetField("WPOrder", 4);
    EXPECT_EQ(ErrorNumber([&] { rs->Update(); }), 3314); // WPName is required
    rs->CancelUpdate();
    // Defaults of the new row: WPPrint true, WPRepeat false, WPCost 0.
    auto level = m_db->OpenRecordset("SELECT * FROM T_WPLevel WHERE ID=3");
    EXPECT_EQ(level->Field("WPPrint"), Value(true));
    EXPECT_EQ(level->Field("WPRepeat"), Value(false));
    EXPECT_EQ(level->Field("WPCost"), Value(Decimal4()));
}

TEST_P(DbTest, ParametersAndBareTableNames)
{
    auto rs = m_db->OpenRecordset("SELECT ID FROM T_REZ_KOPF WHERE RezTitle LIKE ? AND RezYieldEinh=?",
                                  {"*KUCHEN*", 2});
    EXPECT_EQ(rs->RecordCount(), 2);
    auto table = m_db->OpenRecordset("T_REZ_CAT_NDX");
    EXPECT_EQ(table->RecordCount(), 4);
    table->AddNew();
    table->SetField("ID", 6);
    table->SetField("CatID", 7);
    table->Update();
    EXPECT_EQ(table->RecordCount(), 5);
    EXPECT_EQ(ErrorNumber([&] { m_db->OpenRecordset("SELECT ID FROM T_REZ_KOPF WHERE ID=?"); }), 3061);
    EXPECT_EQ(ErrorNumber([&] { m_db->OpenRecordset("DELETE FROM T_REZ_KOPF"); }), 3219);
}

TEST_P(DbTest, EmptyResultIsBofAndEof)
{
    auto rs = m_db->OpenRecordset("SELECT * FROM T_REZ_KOPF WHERE ID=0");
    EXPECT_TRUE(rs->Eof());
    EXPECT_TRUE(rs->Bof());
    EXPECT_EQ(rs->RecordCount(), 0);
    EXPECT_EQ(ErrorNumber([&] { rs->MoveFirst(); }), dberr::kNoCurrentRecord);
    EXPECT_EQ(ErrorNumber([&] { rs->Edit(); }), dberr::kNoCurrentRecord);
}

TEST_P(DbTest, RecordsetOutlivingItsDatabaseFailsCleanly)
{
    auto rs = m_db->OpenRecordset("SELECT * FROM T_REZ_KOPF");
    m_db->Close();
    EXPECT_EQ(ErrorNumber([&] { rs->Eof(); }), 3420);
    EXPECT_EQ(ErrorNumber([&] { m_db->Execute("DELETE FROM T_REZ_KOPF"); }), 3420);
    m_db.reset();
    EXPECT_EQ(ErrorNumber([&] { rs->MoveNext(); }), 3420);
}

TEST_P(DbTest, CounterColumnsNumberNewRows)
{
    m_db->CreateTable(
        {"T_LOG", {F("Nr", FieldType::Counter), F("Text", FieldType::Memo)}, {Primary({"Nr"})}});
    auto rs = m_db->OpenRecordset("SELECT * FROM T_LOG");
    for (const char* text : {"a", "b"}) {
        rs->AddNew();
        rs->SetField("Text", text);
        rs->Update();
    }
    EXPECT_EQ(Column0("SELECT Nr FROM T_LOG ORDER BY Nr"), "1|2");
}

// Two programs on one server database: an edit of a row that the other changed or deleted since
// it was read is refused with 3197 and leaves the other's change in place; the edits stay in the
// recordset, so the user can look at them again.
TEST_P(DbTest, EditOfARowAnotherProgramChangedIsRefused)
{
    if (!OnServer())
        GTEST_SKIP() << "der Dateidatenbank liest eine Bearbeitung die Zeile neu";
    auto other = OpenAgain();
    auto rs = m_db->OpenRecordset("SELECT ID, RezTitle FROM T_REZ_KOPF WHERE ID IN (1, 6) ORDER BY ID");
    other->Execute("UPDATE T_REZ_KOPF SET RezTitle='Apfelkuchen vom Blech' WHERE ID=1");
    other->Execute("DELETE FROM T_REZ_KOPF WHERE ID=6");
    rs->Edit();
    rs->SetField("RezTitle", "Apfeltarte");
    EXPECT_EQ(ErrorNumber([&] { rs->Update(); }), 3197);
    EXPECT_EQ(rs->Field("RezTitle").AsText(), "Apfeltarte");
    EXPECT_EQ(m_db->Scalar("SELECT RezTitle FROM T_REZ_KOPF WHERE ID=1").AsText(), "Apfelkuchen vom Blech");
    rs->CancelUpdate();
    rs->MoveNext();
    EXPECT_EQ(ErrorNumber([&] { rs->Delete(); }), 3197);
    EXPECT_EQ(m_db->Scalar("SELECT COUNT(*) FROM T_REZ_KOPF").AsLong(), 5);
}

// A column another program adds while this one holds the same query prepared: the next recordset of
// that query lists it, for reading and for writing.
TEST_P(DbTest, SelectStarSeesAColumnAnotherProgramAdded)
{
    const std::string sql = "SELECT * FROM T_UNIT WHERE ID=2";
    EXPECT_EQ(m_db->OpenRecordset(sql)->FieldCount(), 4);
    OpenAgain()->AddColumn("T_UNIT", F("UnitShortE", FieldType::Text, 8));
    auto rs = m_db->OpenRecordset(sql);
    ASSERT_EQ(rs->FieldCount(), 5);
    EXPECT_EQ(rs->FieldName(4), "UnitShortE");
    rs->Edit();
    rs->SetField("UnitShortE", "kg");
    rs->Update();
    EXPECT_EQ(m_db->Scalar("SELECT UnitShortE FROM T_UNIT WHERE ID=2").AsText(), "kg");
}

PF_ON_BOTH_BACKENDS(DbTest);

} // namespace
} // namespace pf::test
