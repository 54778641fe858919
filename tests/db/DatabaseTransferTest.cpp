// Moving a whole database between a file and the server, both ways.

#include "db/DatabaseTransfer.h"
#include "tests/db/DbFixture.h"

namespace pf::test {
namespace {

// Every row of every table as text, table by table, in a fixed order.
std::string Contents(Database& db)
{
    std::string out;
    for (const std::string& table : db.TableNames()) {
        out += "[" + table + "]";
        for (const FieldDef& f : db.Fields(table))
            out += " " + f.Name + ":" + std::to_string(static_cast<int>(f.Type)) + "/" + std::to_string(f.Size);
        out += "\n";
        std::vector<std::string> rows;
        for (auto rs = db.OpenRecordset("SELECT * FROM " + table); !rs->Eof(); rs->MoveNext()) {
            std::string row;
            for (int i = 0; i < rs->FieldCount(); ++i) {
                const Value v = rs->Field(i);
                row += (v.IsNull() ? std::string("<null>") : v.AsText()) + "|";
            }
            rows.push_back(row);
        }
        std::sort(rows.begin(), rows.end());
        for (const std::string& row : rows)
            out += row + "\n";
    }
    return out;
}

TEST(DatabaseTransfer, FileToServerAndBackKeepsEveryTableRowAndPicture)
{
    TempDir dir;
    auto file = NewDatabase(dir.File("quelle.MDB"));
    CreateFixtureSchema(*file);
    FillFixture(*file);
    file->CreateTable({"T_BILD", {F("ID", FieldType::Counter), F("Bild", FieldType::Binary)}, {Primary({"ID"})}});
    const Blob picture{0x89, 'P', 'N', 'G', 0, 255, 13, 10, 0};
    file->Execute("INSERT INTO T_BILD (ID, Bild) VALUES (7, ?)", {Value(picture)});

    auto server = NewServerDatabase();
    if (!server)
        GTEST_SKIP() << kNoServer;
    TransferDatabase(*file, *server);
    auto back = NewDatabase(dir.File("zurueck.MDB"));
    TransferDatabase(*server, *back);

    const std::string expected = Contents(*file);
    EXPECT_EQ(Contents(*server), expected);
    EXPECT_EQ(Contents(*back), expected);
    EXPECT_EQ(server->Indexes("T_WPLevel").size(), 2u);
    EXPECT_EQ(back->Scalar("SELECT Bild FROM T_BILD WHERE ID=7"), Value(picture));

    // The server numbers new rows after the copied ones.
    auto rs = server->OpenRecordset("SELECT * FROM T_BILD");
    rs->AddNew();
    rs->SetField("Bild", Value(Blob{1}));
    rs->Update();
    EXPECT_EQ(server->Scalar("SELECT MAX(ID) FROM T_BILD").AsLong(), 8);

    // A target that already has the tables is refused and left as it was.
    EXPECT_EQ(ErrorNumber([&] { TransferDatabase(*file, *server); }), 3010);
    EXPECT_EQ(server->Scalar("SELECT COUNT(*) FROM T_BILD").AsLong(), 2);
}

} // namespace
} // namespace pf::test
