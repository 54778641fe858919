// Opening SQLite files and server databases (and failing to), transactions, and the
// table-definition operations of the schema upgrades.

#include "db/OpenDatabase.h"
#include "db/SqliteDatabase.h"
#include "tests/db/DbFixture.h"
#include "tests/support/Each.h"
#include "tests/support/NewDatabase.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <regex>
#include <thread>

namespace pf::test {
namespace {

// The value of an entry of a connect text ("Pwd", "Port" ...).
std::string Exported(const std::string& connect, const std::string& key)
{
    std::smatch match;
    return std::regex_search(connect, match, std::regex("(^|;)" + key + "=([^;]*)")) ? match[2].str() : "";
}

// The connect text with one entry's value replaced.
std::string WithEntry(const std::string& connect, const std::string& key, const std::string& value)
{
    return std::regex_replace(connect, std::regex("(^|;)" + key + "=[^;]*"), "$1" + key + "=" + value);
}

DbError OpenError(const std::string& path, const OpenOptions& options = {})
{
    try {
        Database::OpenSqlite(path, options);
    } catch (const DbError& e) {
        return e;
    }
    return DbError(0, "geöffnet");
}

TEST(ServerOpen, RefusedLogonAndUnreachableServerAre3151WithoutThePassword)
{
    const std::string& server = TestServerConnect();
    if (server.empty())
        GTEST_SKIP() << kNoServer;
    const std::string secret = "Geheim-4711";
    struct Case
    {
        const char* what;
        std::string connect;
        const char* says;
    };
    const std::string withSecret = WithEntry(server, "Pwd", secret);
    const Case cases[] = {
        {"falsches Kennwort", withSecret, "Benutzername oder Kennwort wurden abgelehnt."},
        {"unbekannter Benutzer", WithEntry(withSecret, "Uid", "niemand"),
         "Benutzername oder Kennwort wurden abgelehnt."},
        {"unbekannte Datenbank", WithEntry(server, "Database", "gibtsnicht"),
         "Die Datenbank gibt es auf diesem Server nicht."},
        {"kein Server am Port", WithEntry(withSecret, "Port", "1"), "Der Datenbankserver ist nicht erreichbar."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            OpenDatabase(c.connect);
            ADD_FAILURE() << "geöffnet";
        } catch (const DbError& e) {
            EXPECT_EQ(e.Number(), 3151);
            EXPECT_TRUE(e.Description().ends_with(c.says)) << e.Description();
            std::string everything = e.Description();
            for (const EngineError& engine : e.Errors())
                everything += "\n" + engine.Description;
            EXPECT_EQ(everything.find(secret), std::string::npos) << everything;
            EXPECT_NE(everything.find("Pwd=***"), std::string::npos) << everything;
        }
    }
    const std::unique_ptr<Database> db = OpenDatabase(server);
    EXPECT_EQ(db->Name().find(Exported(server, "Pwd")), std::string::npos);
}

// The server ends the connection inside a transaction: the commit fails with the server's error
// and stores nothing, also when a statement of the transaction already failed for it (the driver
// then reports the commit done unless asked).
TEST(ServerConnection, ACommitAfterTheServerEndedTheConnectionFailsAndStoresNothing)
{
    for (const bool failedBefore : {false, true}) {
        SCOPED_TRACE(failedBefore ? "nach einer gescheiterten Anweisung" : "sofort");
        std::string connect;
        const std::unique_ptr<Database> db = NewServerDatabase(&connect);
        if (!db)
            GTEST_SKIP() << kNoServer;
        db->Execute("CREATE TABLE Zeilen (Nr INTEGER)");
        const std::string pid = dynamic_cast<PgDatabase&>(*db).NativeText("SELECT pg_backend_pid()");
        db->BeginTrans();
        db->Execute("INSERT INTO Zeilen (Nr) VALUES (1)");
        auto other = OpenDatabase(connect);
        dynamic_cast<PgDatabase&>(*other).NativeText("SELECT pg_terminate_backend(" + pid + ")");
        if (failedBefore) {
            EXPECT_THROW(db->Execute("INSERT INTO Zeilen (Nr) VALUES (2)"), DbError);
        }
        try {
            db->CommitTrans();
            ADD_FAILURE() << "gespeichert";
        } catch (const DbError& e) {
            EXPECT_EQ(e.Number(), dberr::kNoServer);
        }
        EXPECT_EQ(other->Scalar("SELECT COUNT(*) FROM Zeilen").AsLong(), 0);
    }
}

TEST(SqliteOpen, MissingFileIs3024UnlessCreated)
{
    TempDir dir;
    const std::string path = dir.File("fehlt.MDB");
    const DbError error = OpenError(path);
    EXPECT_EQ(error.Number(), dberr::kFileNotFound);
    EXPECT_EQ(error.Description(), "Die Datei '" + path + "' wurde nicht gefunden.");
    EXPECT_EQ(error.JoinedDescription(), error.Description());
    EXPECT_FALSE(std::filesystem::exists(path));

    auto db = test::NewDatabase(path);
    EXPECT_TRUE(db->IsUpdatable());
    EXPECT_EQ(db->Name(), path);
    EXPECT_TRUE(db->TableNames().empty());
}

TEST(SqliteOpen, AWriteCacheScopeGivesTheCacheBackAndNeverShrinksIt)
{
    TempDir dir;
    auto db = test::NewDatabase(dir.File("cache.MDB"));
    auto& file = static_cast<SqliteDatabase&>(*db);
    const long usual = file.CacheKilobytes();
    {
        WriteCacheScope scope(*db, 64);
        EXPECT_EQ(file.CacheKilobytes(), 64 * 1024);
        WriteCacheScope smaller(*db, 1); // an inner scope asking for less leaves it as it is
        EXPECT_EQ(file.CacheKilobytes(), 64 * 1024);
    }
    EXPECT_EQ(file.CacheKilobytes(), usual);
}

TEST(SqliteOpen, TextFileIsNotADatabase)
{
    TempDir dir;
    const std::string path = dir.File("Rezepte.txt");
    WriteFile(path, "MMMMM----- Recipe via Meal-Master (tm) v8.05\n\n      Title: Apfelkuchen\n");
    const DbError error = OpenError(path);
    EXPECT_EQ(error.Number(), dberr::kNotADatabase);
    EXPECT_EQ(error.Description(), "Nicht erkennbares Datenbankformat '" + path + "'.");
    EXPECT_EQ(ReadFile(path).substr(0, 5), "MMMMM"); // untouched
}

TEST(SqliteOpen, FileLockedByAnotherConnectionIs3045)
{
    TempDir dir;
    const std::string path = dir.File("Pfannola.MDB");
    test::NewDatabase(path)->CreateTable({"T_X", {F("ID", FieldType::Long)}, {}});

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "PRAGMA locking_mode=EXCLUSIVE; INSERT INTO T_X VALUES (1);", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    OpenOptions options;
    options.BusyTimeoutMs = 50;
    EXPECT_EQ(OpenError(path, options).Number(), dberr::kFileInUse);
    sqlite3_close(other);

    auto db = Database::OpenSqlite(path, options);
    EXPECT_EQ(db->Scalar("SELECT COUNT(*) FROM T_X").AsLong(), 1);

    // Opened exclusively, the file refuses a second user.
    OpenOptions exclusive = options;
    exclusive.Exclusive = true;
    db.reset();
    auto first = Database::OpenSqlite(path, exclusive);
    EXPECT_EQ(OpenError(path, options).Number(), dberr::kFileInUse);
}

TEST(SqliteOpen, ProgramsOpeningAClosedFileAtOnceAllGetIt)
{
    // A closed file is one file in rollback-journal mode; every program that opens it switches it
    // to the write-ahead log, which takes the file for a moment. Programs started together (two
    // imports, a backup and a search) must all get it, none may be told it is in use.
    TempDir dir;
    const std::string path = dir.File("Gleichzeitig.MDB");
    test::NewDatabase(path)->CreateTable({"T_X", {F("ID", FieldType::Long)}, {}});
    const int programs = 6;
    const int rounds = 8;
    for (int round = 0; round < rounds; ++round) {
        const auto start = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
        std::vector<pid_t> children;
        for (int p = 0; p < programs; ++p) {
            const pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                std::this_thread::sleep_until(start);
                int code = 0;
                try {
                    auto db = Database::OpenSqlite(path);
                    db->Execute("INSERT INTO T_X VALUES (" + std::to_string(round * programs + p) + ")");
                    db->Close();
                } catch (const DbError&) {
                    code = 1;
                }
                _exit(code);
            }
            children.push_back(child);
        }
        int failed = 0;
        for (pid_t child : children) {
            int status = 0;
            waitpid(child, &status, 0);
            failed += !WIFEXITED(status) || WEXITSTATUS(status) != 0;
        }
        ASSERT_EQ(failed, 0) << "round " << round;
    }
    EXPECT_EQ(Database::OpenSqlite(path)->Scalar("SELECT COUNT(*) FROM T_X").AsLong(), programs * rounds);
}

TEST(SqliteOpen, ReadOnlyFileOpensReadOnly)
{
    TempDir dir;
    const std::string path = dir.File("INIT.MDB");
    {
        auto db = test::NewDatabase(path);
        db->CreateTable({"T_X", {F("ID", FieldType::Long)}, {}});
        db->Execute("INSERT INTO T_X VALUES (1)");
    }
    // The read-only attribute is honoured from the mode bits, also for root, who could write.
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    auto db = Database::OpenSqlite(path);
    EXPECT_FALSE(db->IsUpdatable());
    EXPECT_EQ(db->Scalar("SELECT ID FROM T_X").AsLong(), 1);
    EXPECT_EQ(ErrorNumber([&] { db->Execute("INSERT INTO T_X VALUES (2)"); }), dberr::kReadOnly);
    auto rs = db->OpenRecordset("SELECT * FROM T_X");
    EXPECT_EQ(ErrorNumber([&] { rs->Edit(); }), dberr::kReadOnly);
    rs.reset();
    db.reset();
    chmod(path.c_str(), 0644);

    OpenOptions readOnly;
    readOnly.ReadOnly = true;
    auto asked = Database::OpenSqlite(path, readOnly);
    EXPECT_FALSE(asked->IsUpdatable());
    EXPECT_EQ(ErrorNumber([&] { asked->Execute("DELETE FROM T_X"); }), dberr::kReadOnly);
    EXPECT_EQ(ErrorNumber([&] {
                  asked->CreateTable({"T_Y", {F("ID", FieldType::Long)}, {}});
              }),
              dberr::kReadOnly);
    EXPECT_EQ(asked->Scalar("SELECT COUNT(*) FROM T_X").AsLong(), 1);
}

TEST(SqliteOpen, ConnectionSettings)
{
    TempDir dir;
    auto db = test::NewDatabase(dir.File("a.MDB"));
    EXPECT_EQ(db->Scalar("PRAGMA journal_mode").AsText(), "wal");
    EXPECT_EQ(db->Scalar("PRAGMA foreign_keys").AsLong(), 0);
    // Double quotes never make a string in SQLite text: the translator writes standard literals.
    db->CreateTable({"T_X", {F("A", FieldType::Text, 10)}, {}});
    db->Execute("INSERT INTO T_X VALUES (\"x\")");
    EXPECT_EQ(db->Scalar("SELECT COUNT(*) FROM T_X WHERE A='X'").AsLong(), 1);
}

TEST_P(DbTest, RollbackLeavesTheDataAsItWas)
{
    const std::string before = Column0("SELECT ZutText FROM T_REZ_ZUTAT ORDER BY ID, [No]");
    // A save that fails in the middle: the third write hits a duplicate key.
    EXPECT_EQ(ErrorNumber([&] {
                  DbTransaction tx(*m_db);
                  m_db->Execute("DELETE FROM T_REZ_ZUTAT WHERE ID=1");
                  m_db->Execute("INSERT INTO T_REZ_ZUTAT (ID, [No], ZutText) VALUES (1, 1, \"Mehl\")");
                  m_db->Execute("INSERT INTO T_REZ_ZUTAT (ID, [No], ZutText) VALUES (1, 1, \"Zucker\")");
                  tx.Commit();
              }),
              dberr::kDuplicateKey);
    EXPECT_FALSE(m_db->InTransaction());
    EXPECT_EQ(Column0("SELECT ZutText FROM T_REZ_ZUTAT ORDER BY ID, [No]"), before);
    ASSERT_FALSE(m_db->Errors().empty());
    EXPECT_EQ(m_db->Errors().front().Number, dberr::kDuplicateKey);

    {
        DbTransaction tx(*m_db);
        m_db->Execute("DELETE FROM T_REZ_ZUTAT WHERE ID=1");
        tx.Commit();
        tx.Commit(); // a second commit does nothing
    }
    EXPECT_EQ(m_db->Scalar("SELECT COUNT(*) FROM T_REZ_ZUTAT WHERE ID=1").AsLong(), 0);
}

TEST_P(DbTest, NestedTransactionsRollBackOnlyTheirLevel)
{
    m_db->BeginTrans();
    m_db->Execute("UPDATE T_REZ_KOPF SET RezTitle=\"Eins\" WHERE ID=1");
    m_db->BeginTrans();
    m_db->Execute("UPDATE T_REZ_KOPF SET RezTitle=\"Zwei\" WHERE ID=2");
    m_db->Rollback();
    m_db->BeginTrans();
    m_db->Execute("UPDATE T_REZ_KOPF SET RezTitle=\"Drei\" WHERE ID=3");
    m_db->CommitTrans();
    EXPECT_TRUE(m_db->InTransaction());
    m_db->CommitTrans();
    EXPECT_FALSE(m_db->InTransaction());
    EXPECT_EQ(Column0("SELECT RezTitle FROM T_REZ_KOPF WHERE ID<=3 ORDER BY ID"),
              "Eins|Äpfel im Schlafrock|Drei");

    m_db->BeginTrans();
    m_db->BeginTrans();
    m_db->Execute("DELETE FROM T_REZ_KOPF");
    m_db->CommitTrans();
    m_db->Rollback(); // the outer rollback undoes the committed inner level too
    EXPECT_EQ(m_db->Scalar("SELECT COUNT(*) FROM T_REZ_KOPF").AsLong(), 6);

    EXPECT_EQ(ErrorNumber([&] { m_db->CommitTrans(); }), 3034);
    EXPECT_EQ(ErrorNumber([&] { m_db->Rollback(); }), 3034);

    // A level whose changes outgrow the memory the engine keeps for them (several megabytes of
    // pages) still commits and rolls back.
    m_db->Execute("CREATE TABLE T_GROSS (ID LONG, Inhalt MEMO)");
    m_db->BeginTrans();
    for (long i = 0; i < 3000; ++i)
        m_db->Execute("INSERT INTO T_GROSS (ID, Inhalt) VALUES (?, ?)", {i, std::string(4000, 'x')});
    m_db->CommitTrans();
    for (bool commit : {false, true}) {
        m_db->BeginTrans();
        m_db->BeginTrans();
        m_db->Execute("UPDATE T_GROSS SET Inhalt='y'");
        m_db->Execute("DELETE FROM T_GROSS WHERE ID>=1000");
        commit ? m_db->CommitTrans() : m_db->Rollback();
        m_db->CommitTrans();
        EXPECT_EQ(m_db->Scalar("SELECT COUNT(*) FROM T_GROSS").AsLong(), commit ? 1000 : 3000);
    }
}

TEST_P(DbTest, StatementErrorsCarryEngineNumbers)
{
    EXPECT_EQ(ErrorNumber([&] { m_db->Execute("SELECT * FROM T_REZ_KOPF"); }), 3065);
    EXPECT_EQ(ErrorNumber([&] { m_db->Execute("DELETE FROM T_NIX"); }), dberr::kNoSuchTable);
    EXPECT_EQ(ErrorNumber([&] { m_db->Execute("UPDATE T_REZ_KOPF SET Nix=1"); }), 3061);
    EXPECT_EQ(ErrorNumber([&] { m_db->Execute("UPDATE T_REZ_KOPF SET WHERE"); }), dberr::kSyntax);
    EXPECT_EQ(ErrorNumber([&] { m_db->Execute("DELETE FROM T_REZ_KOPF WHERE ID=\"offen"); }), dberr::kSyntax);
    try {
        m_db->Execute("UPDATE T_REZ_KOPF SET Nix=1");
    } catch (const DbError& e) {
        // The engine's own text follows the program's, for the error log.
        ASSERT_GE(e.Errors().size(), 2u);
        EXPECT_EQ(e.Errors()[1].Source, OnServer() ? "ODBC" : "SQLite");
        EXPECT_NE(e.JoinedDescription().find(OnServer() ? "column \"nix\"" : ", no such column: Nix"),
                  std::string::npos);
    }
    EXPECT_EQ(m_db->Errors().front().Number, 3061);
}

// Statements stay prepared between runs: a run after the table changed, here or in another program,
// sees the new columns.
TEST_P(DbTest, StatementsRunAgainAfterTheirTableChanged)
{
    auto columns = [&] { return m_db->OpenRecordset("SELECT * FROM T_GIFT WHERE ID=?", {1})->FieldCount(); };
    EXPECT_EQ(columns(), 2);
    m_db->AddColumn("T_GIFT", F("Hinweis", FieldType::Text, 20));
    EXPECT_EQ(columns(), 3);
    // A kept statement of the file database still names the old columns before its first step.
    if (OnServer()) {
        OpenAgain()->AddColumn("T_GIFT", F("Menge", FieldType::Long));
        EXPECT_EQ(columns(), 4);
    }
}

TEST_P(DbTest, TableDefinitionsRoundTrip)
{
    const std::vector<FieldDef> fields = m_db->Fields("t_wplevel");
    ASSERT_EQ(fields.size(), 6u);
    EXPECT_EQ(fields[2].Name, "WPName");
    EXPECT_EQ(fields[2].Type, FieldType::Text);
    EXPECT_EQ(fields[2].Size, 32);
    EXPECT_TRUE(fields[2].Required);
    EXPECT_EQ(fields[3].Type, FieldType::Currency);
    EXPECT_EQ(fields[3].Default, Value(Decimal4()));
    EXPECT_EQ(fields[4].Type, FieldType::Boolean);
    EXPECT_EQ(fields[4].Default, Value(true));
    EXPECT_EQ(fields[5].Default, Value(false));
    // The fixture's recipe table: the kinds the one above lacks read back as created.
    std::map<std::string, FieldType> kopf;
    for (const FieldDef& field : m_db->Fields("T_REZ_KOPF"))
        kopf[field.Name] = field.Type;
    EXPECT_EQ(kopf["ID"], FieldType::Long);
    EXPECT_EQ(kopf["Template"], FieldType::Boolean);
    EXPECT_EQ(kopf["RezImportDate"], FieldType::Date);
    EXPECT_EQ(kopf["RezNotizen"], FieldType::Memo);
    EXPECT_EQ(kopf["RezTitle"], FieldType::Text);

    // Index names are per table, as in the engine: two tables may both have a "RefIndex".
    m_db->CreateTable({"T_BLOB",
                       {F("ID", FieldType::Long, 0, true), F("IDReference", FieldType::Long, 0, true),
                        F("IDType", FieldType::Long, 0, true), F("IDNum", FieldType::Long, 0, true),
                        F("BlobPath", FieldType::Text, 255), F("Blob", FieldType::Binary)},
                       {Primary({"ID", "IDNum"}, "PrimIndex"),
                        IndexDef{"RefIndex", {"IDReference", "IDType", "IDNum"}, true, false}}});
    const std::vector<IndexDef> indexes = m_db->Indexes("T_BLOB");
    ASSERT_EQ(indexes.size(), 2u);
    EXPECT_EQ(indexes[0].Name, "PrimIndex");
    EXPECT_TRUE(indexes[0].Primary);
    EXPECT_EQ(indexes[0].Columns, (std::vector<std::string>{"ID", "IDNum"}));
    EXPECT_EQ(indexes[1].Name, "RefIndex");
    EXPECT_TRUE(indexes[1].Unique);
    EXPECT_FALSE(indexes[1].Primary);
    EXPECT_EQ(indexes[1].Columns.size(), 3u);
    EXPECT_EQ(m_db->Indexes("T_WPLevel")[1].Name, "RefIndex");
    EXPECT_EQ(m_db->Indexes("T_REZ_KOPF")[0].Name, "PrimaryKey");

    EXPECT_TRUE(m_db->TableExists("t_blob"));
    EXPECT_FALSE(m_db->TableExists("T_NIX"));
    const std::vector<std::string> names = m_db->TableNames();
    EXPECT_EQ(std::count(names.begin(), names.end(), "T_BLOB"), 1);
    EXPECT_EQ(ErrorNumber([&] { m_db->CreateTable({"T_BLOB", {F("ID", FieldType::Long)}, {}}); }), 3010);
    EXPECT_EQ(ErrorNumber([&] { m_db->Fields("T_NIX"); }), dberr::kNoSuchField);

    // Binary round trip.
    const Blob picture{0x89, 'P', 'N', 'G', 0, 1, 2};
    m_db->Execute("INSERT INTO T_BLOB (ID, IDReference, IDType, IDNum, Blob) VALUES (1, 1, 5, 1, ?)",
                  {picture});
    EXPECT_EQ(m_db->Scalar("SELECT Blob FROM T_BLOB").AsBinary(), picture);
}

TEST_P(DbTest, UpgradeStepsOnExistingRows)
{
    // 001.10.092: a required column with a default reaches the rows already there.
    m_db->AddColumn("T_MENU_GANG", F("WeinID", FieldType::Long, 0, true, 0));
    EXPECT_EQ(m_db->Scalar("SELECT COUNT(*) FROM T_MENU_GANG WHERE WeinID=0").AsLong(), 4);
    // 002.00.126: Text(64) and Memo columns, then statements on them.
    m_db->AddColumn("T_REZ_ZUTAT", F("ZutVerarbeitung", FieldType::Text, 64));
    m_db->AddColumn("T_REZ_ZUTAT", F("ZutZubereitung", FieldType::Memo));
    EXPECT_EQ(m_db->Execute("UPDATE T_REZ_ZUTAT SET ZutVerarbeitung=\"\",ZutZubereitung=Null"), 6);
    EXPECT_EQ(m_db->DefinedSize("T_REZ_ZUTAT", "ZutVerarbeitung"), 64);
    EXPECT_EQ(m_db->DefinedSize("T_REZ_ZUTAT", "ZutZubereitung"), 0);
    EXPECT_EQ(ErrorNumber([&] { m_db->DefinedSize("T_REZ_ZUTAT", "Nix"); }), dberr::kNoSuchField);
    EXPECT_EQ(ErrorNumber([&] { m_db->AddColumn("T_REZ_ZUTAT", F("ZutText", FieldType::Memo)); }), 3191);

    // 001.10.090: rename a table and a column, drop columns (one of them indexed).
    m_db->CreateIndex("T_MENU_GAST", IndexDef{"IAdresse", {"AdressID"}, false, false});
    m_db->RenameTable("T_MENU_GAST", "T_REZ_GAST");
    EXPECT_FALSE(m_db->TableExists("T_MENU_GAST"));
    EXPECT_EQ(m_db->Indexes("T_REZ_GAST").size(), 2u);
    m_db->RenameColumn("T_REZ_GAST", "MenuID", "RezID");
    EXPECT_EQ(m_db->Scalar("SELECT Notiz FROM T_REZ_GAST WHERE RezID=1").AsText(), "mag keine Nüsse");
    m_db->DropColumn("T_REZ_GAST", "Notiz");
    m_db->DropColumn("T_REZ_GAST", "AdressID");
    const auto fields = m_db->Fields("T_REZ_GAST");
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[0].Name, "RezID");
    EXPECT_EQ(m_db->Indexes("T_REZ_GAST").size(), 1u); // the index on AdressID went with it
    EXPECT_EQ(m_db->Scalar("SELECT COUNT(*) FROM T_REZ_GAST").AsLong(), 1);
    EXPECT_EQ(ErrorNumber([&] { m_db->DropColumn("T_REZ_GAST", "Nix"); }), dberr::kNoSuchField);

    m_db->DropTable("T_REZ_GAST");
    EXPECT_EQ(ErrorNumber([&] { m_db->DropTable("T_REZ_GAST"); }), 3376);
    EXPECT_EQ(ErrorNumber([&] { m_db->RenameTable("T_UNIT", "T_CAT"); }), 3012);
}

TEST_P(DbTest, WidenTextColumnKeepsDataIndexesAndTheNewLimit)
{
    m_db->CreateIndex("T_REZ_KOPF", IndexDef{"ITitle", {"RezTitle"}, true, false});
    m_db->WidenTextColumn("T_REZ_KOPF", "RezQuellePage", 16);
    EXPECT_EQ(m_db->DefinedSize("T_REZ_KOPF", "RezQuellePage"), 16);
    EXPECT_EQ(m_db->Scalar("SELECT RezQuellePage FROM T_REZ_KOPF WHERE ID=1").AsText(), "12");
    EXPECT_EQ(Column0("SELECT ID FROM T_REZ_KOPF ORDER BY RezTitle"), "2|1|6|3|5|4");
    const auto indexes = m_db->Indexes("T_REZ_KOPF");
    EXPECT_EQ(indexes.size(), 3u);
    EXPECT_EQ(m_db->Fields("T_REZ_KOPF").size(), 13u);
    m_db->Execute("UPDATE T_REZ_KOPF SET RezQuellePage=\"1234567890123456\" WHERE ID=1");
    EXPECT_EQ(
        ErrorNumber([&] { m_db->Execute("UPDATE T_REZ_KOPF SET RezQuellePage=\"12345678901234567\""); }),
        3163);
    // The unique title index still holds, without regard to case as in the engine.
    EXPECT_EQ(ErrorNumber([&] { m_db->Execute("UPDATE T_REZ_KOPF SET RezTitle=\"APFELMUS\" WHERE ID=1"); }),
              dberr::kDuplicateKey);
    m_db->WidenTextColumn("T_REZ_KOPF", "RezQuellePage", 10); // never narrows
    EXPECT_EQ(m_db->DefinedSize("T_REZ_KOPF", "RezQuellePage"), 16);
    EXPECT_EQ(ErrorNumber([&] { m_db->WidenTextColumn("T_REZ_KOPF", "ID", 10); }), 3259);
}

TEST_P(DbTest, PrimaryIndexAddedLater)
{
    m_db->CreateIndex("T_REZ_KOCHBUCH", Primary({"RezID", "BuchID"}, "PrimIndex"));
    EXPECT_EQ(m_db->Indexes("T_REZ_KOCHBUCH")[0].Name, "PrimIndex");
    EXPECT_EQ(m_db->Scalar("SELECT COUNT(*) FROM T_REZ_KOCHBUCH").AsLong(), 5);
    EXPECT_EQ(ErrorNumber([&] { m_db->Execute("INSERT INTO T_REZ_KOCHBUCH VALUES (1, 1)"); }),
              dberr::kDuplicateKey);
    EXPECT_EQ(ErrorNumber([&] {
                  m_db->CreateIndex("T_UNIT", IndexDef{"IName", {"UnitNameD"}, true, false});
                  m_db->Execute("INSERT INTO T_UNIT (ID, UnitNameD) VALUES (9, \"GRAMM\")");
              }),
              dberr::kDuplicateKey);
}

TEST_P(DbTest, JetDdlStatementsGetTheLayersTypes)
{
    m_db->Execute("CREATE TABLE T_VERSION (Major SHORT, Minor SHORT, Build LONG, [Date] DATETIME, "
                  "Description TEXT(100), Notes MEMO, Flag YESNO, Price CURRENCY, "
                  "CONSTRAINT PrimaryKey PRIMARY KEY (Major, Minor, Build))");
    using T = FieldType;
    EXPECT_EQ(test::Each(m_db->Fields("T_VERSION"), &FieldDef::Type),
              (std::vector<T>{T::Integer, T::Integer, T::Long, T::Date, T::Text, T::Memo, T::Boolean,
                              T::Currency}));
    EXPECT_EQ(m_db->DefinedSize("T_VERSION", "Description"), 100);
    m_db->Execute("INSERT INTO T_VERSION VALUES (2, 0, 126, #12/28/2018#, \"Version\", \"0123\", True, 1.5)");
    auto rs = m_db->OpenRecordset("SELECT * FROM T_VERSION WHERE Description=\"VERSION\"");
    ASSERT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Field("Notes"), Value("0123"));
    EXPECT_EQ(rs->Field("Flag"), Value(true));
    EXPECT_EQ(rs->Field("Date").AsDate(), DateSerial::FromParts(2018, 12, 28));
    EXPECT_EQ(rs->Field("Price"), Value(Decimal4::Parse("1.5")));
    rs.reset();

    m_db->Execute("ALTER TABLE T_VERSION ADD COLUMN Kurz TEXT(5)");
    EXPECT_EQ(m_db->DefinedSize("T_VERSION", "Kurz"), 5);
    EXPECT_EQ(ErrorNumber([&] { m_db->Execute("UPDATE T_VERSION SET Kurz=\"zu lang\""); }), 3163);
    m_db->Execute("CREATE UNIQUE INDEX RefIndex ON T_VERSION (Description)");
    m_db->Execute("CREATE INDEX IBuild ON T_VERSION (Build) WITH IGNORE NULL");
    EXPECT_EQ(test::Each(m_db->Indexes("T_VERSION"), &IndexDef::Name),
              (std::vector<std::string>{"PrimaryKey", "IBuild", "RefIndex"}));
    m_db->Execute("DROP INDEX RefIndex ON T_VERSION");
    EXPECT_EQ(m_db->Indexes("T_VERSION").size(), 2u);
    EXPECT_EQ(m_db->Indexes("T_WPLevel")[1].Name, "RefIndex"); // the other table's index stays
}

TEST_F(SqliteTest, RepairHelpers)
{
    auto& sqlite = static_cast<SqliteDatabase&>(*m_db);
    EXPECT_TRUE(sqlite.IntegrityCheck().empty());
    sqlite.Checkpoint();
    sqlite.Compact();
    EXPECT_EQ(m_db->Scalar("SELECT COUNT(*) FROM T_REZ_KOPF").AsLong(), 6);
}

} // namespace
} // namespace pf::test
