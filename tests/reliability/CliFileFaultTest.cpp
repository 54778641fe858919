// The database file against a user's slips and an unlucky machine, with real processes of the
// command-line program: exports aimed at a folder, restores over damaged or missing files, a
// database on a read-only medium or shared with a second program, damaged and foreign files, and
// what a killed run leaves behind. Each case checks that nothing stored is lost.

#include "tests/reliability/CliProcess.h"
#include "tests/support/NewDatabase.h"

#include <grp.h>
#include <sqlite3.h>

#include <filesystem>

namespace pf::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kRecipes =
    "MMMMM----- Recipe via Meal-Master (tm) v8.05\n\n"
    "      Title: Apfelkuchen\n Categories: Kuchen\n      Yield: 4 Servings\n\n"
    "    250 g  Mehl\n      3    Aepfel\n\n  Alles verruehren und backen.\n\nMMMMM\n\n"
    "MMMMM----- Recipe via Meal-Master (tm) v8.05\n\n"
    "      Title: Gulasch\n Categories: Fleisch\n      Yield: 6 Servings\n\n"
    "    500 g  Rindfleisch\n\n  Schmoren.\n\nMMMMM\n";

class CliFileFault : public ReliabilityTest
{
protected:
    ProcessResult Cli(const std::vector<std::string>& args) { return RunCliProcess(dir, args); }

    // Runs pfannola-cli as a user without rights on the test's files: as nobody when the test runs
    // as root, whom no permission bit stops.
    ProcessResult Visitor(const std::vector<std::string>& args)
    {
        const std::string out = dir.File("besuch.out");
        const std::string err = dir.File("besuch.err");
        CliArgv argv(args);
        const std::string home = dir.File("besucher");
        fs::create_directories(home);
        fs::permissions(home, fs::perms::all);
        fs::permissions(dir.Path(), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
        const pid_t pid = fork();
        if (pid == 0) {
            dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666), 1);
            dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666), 2);
            setenv("XDG_CONFIG_HOME", home.c_str(), 1);
            setenv("XDG_DATA_HOME", home.c_str(), 1);
            if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
                _exit(125);
            execv(PF_CLI, argv.Pointers.data());
            _exit(126);
        }
        return CliProcess::WaitForProcess(pid, out, err);
    }

    // The test's database, filled by the program itself: two recipes.
    std::string MakeDatabase()
    {
        WriteFile(dir.File("rezepte.mm"), kRecipes);
        const ProcessResult imported = Cli({"--db", database, "import", dir.File("rezepte.mm")});
        EXPECT_EQ(imported.ExitCode, 0) << imported.Err;
        return database;
    }

    // The journal mode the file header records: 1 rollback journal, 2 WAL. Read by a child
    // process: closing any descriptor of the file here would drop the locks this process's own
    // connections hold on it.
    static int HeaderJournalMode(const std::string& path)
    {
        const pid_t pid = fork();
        if (pid == 0) {
            unsigned char header[20] = {};
            const int fd = ::open(path.c_str(), O_RDONLY);
            _exit(fd >= 0 && ::read(fd, header, sizeof header) == sizeof header ? header[18] : 99);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static bool HasCompanions(const std::string& path)
    {
        return fs::exists(path + "-wal") || fs::exists(path + "-shm") || fs::exists(path + "-journal");
    }
};

TEST_F(CliFileFault, ExportToAFolderIsRefusedAndTheFolderStays)
{
    const std::string db = MakeDatabase();
    const std::string folder = dir.File("ausgabe");
    WriteFile(folder + "/notiz.txt", "bleibt");
    const ProcessResult run = Cli({"--db", db, "export", "--format", "mm", "--out", folder});
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_NE(run.Err.find("ist ein Ordner"), std::string::npos) << run.Err;
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(ReadFile(folder + "/notiz.txt"), "bleibt");
    EXPECT_FALSE(fs::exists(folder + ".BAK"));
    // The folder holding the open database: it was renamed away with the database in it.
    EXPECT_EQ(Cli({"--db", db, "export", "--format", "mm", "--out", dir.Dir()}).ExitCode, 2);
    EXPECT_EQ(Cli({"--db", db, "search", "Gulasch"}).Out, "2\tGulasch\n");
}

TEST_F(CliFileFault, RestoreRescuesADamagedCutShortEmptyOrMissingWorkFile)
{
    const std::string db = MakeDatabase();
    const ProcessResult saved = Cli({"--db", db, "backup", dir.File("sicherung")});
    ASSERT_EQ(saved.ExitCode, 0) << saved.Err;
    const std::string archive = saved.Out.substr(0, saved.Out.find('\n'));
    const std::string good = ReadFile(db);
    struct
    {
        const char* name;
        std::string bytes; // the broken work file; "-" for none
    } cases[] = {
        {"Kopf zerstört", std::string(100, 'x') + good.substr(100)},
        {"abgeschnitten", good.substr(0, good.size() / 2)},
        {"leer", ""},
        {"fehlt", "-"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(db + ".BAK");
        fs::remove(db);
        if (c.bytes != "-")
            WriteFile(db, c.bytes);
        const ProcessResult run = Cli({"--db", db, "restore", archive});
        EXPECT_EQ(run.ExitCode, 0) << run.Err;
        EXPECT_EQ(Cli({"--db", db, "search", "kuchen"}).Out, "1\tApfelkuchen\n");
        if (c.bytes == "-")
            EXPECT_FALSE(fs::exists(db + ".BAK"));
        else
            EXPECT_EQ(ReadFile(db + ".BAK"), c.bytes) << "the damaged file is kept as it was";
    }
}

TEST_F(CliFileFault, ARefusedRestoreKeepsTheWorkFileAndTheEarlierBak)
{
    const std::string db = MakeDatabase();
    const ProcessResult saved = Cli({"--db", db, "backup", dir.File("sicherung")});
    ASSERT_EQ(saved.ExitCode, 0) << saved.Err;
    const std::string archive = saved.Out.substr(0, saved.Out.find('\n'));
    WriteFile(db + ".BAK", "der Stand von gestern");
    WriteFile(dir.File("kaputt.zip"), "PK kein Archiv");

    const ProcessResult junk = Cli({"--db", db, "restore", dir.File("kaputt.zip")});
    EXPECT_EQ(junk.ExitCode, 1);
    EXPECT_EQ(ReadFile(db + ".BAK"), "der Stand von gestern");

    // Another program has the database open: nothing is replaced under it.
    auto other = Database::OpenSqlite(db);
    other->Execute("UPDATE T_REZ_KOPF SET RezTitle='Gulasch mit Knödeln' WHERE RezTitle='Gulasch'");
    const ProcessResult busy = Cli({"--db", db, "restore", archive});
    EXPECT_EQ(busy.ExitCode, 1);
    EXPECT_NE(busy.Err.find("von einem anderen Programm benutzt"), std::string::npos) << busy.Err;
    EXPECT_EQ(ReadFile(db + ".BAK"), "der Stand von gestern");
    EXPECT_EQ(other->Scalar("SELECT COUNT(*) FROM T_REZ_KOPF WHERE RezTitle LIKE 'Gulasch mit*'").AsLong(),
              1);
    other.reset();
    EXPECT_EQ(Cli({"--db", db, "search", "Knödeln"}).Out, "2\tGulasch mit Knödeln\n");
}

TEST_F(CliFileFault, AReadOnlyFolderServesEveryReadingCommand)
{
    const std::string made = MakeDatabase();
    // One file as this program leaves it, one left in WAL mode by an older version.
    fs::create_directories(dir.File("cd"));
    fs::copy_file(made, dir.File("cd/rezepte.MDB"));
    fs::copy_file(made, dir.File("cd/alt.MDB"));
    {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(dir.File("cd/alt.MDB").c_str(), &raw), SQLITE_OK);
        sqlite3_exec(raw, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
        sqlite3_close(raw);
    }
    ASSERT_EQ(HeaderJournalMode(dir.File("cd/alt.MDB")), 2);
    fs::permissions(dir.File("cd/rezepte.MDB"), fs::perms::owner_read | fs::perms::others_read);
    fs::permissions(dir.File("cd/alt.MDB"), fs::perms::owner_read | fs::perms::others_read);
    fs::permissions(dir.File("cd"), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                        fs::perms::others_exec);
    for (const char* name : {"cd/rezepte.MDB", "cd/alt.MDB"}) {
        SCOPED_TRACE(name);
        const std::string db = dir.File(name);
        const std::string before = ReadFile(db);
        ProcessResult run = Visitor({"--db", db, "info"});
        EXPECT_EQ(run.ExitCode, 0) << run.Err;
        EXPECT_NE(run.Out.find("Rezepte: 2\nKochbücher: 1"), std::string::npos) << run.Out;
        EXPECT_NE(run.Out.find("Nur lesen: ja"), std::string::npos) << run.Out;
        run = Visitor({"--db", db, "search", "gulasch"});
        EXPECT_EQ(run.ExitCode, 0) << run.Err;
        EXPECT_EQ(run.Out, "2\tGulasch\n");
        run = Visitor({"--db", db, "show", "1", "--servings", "8"});
        EXPECT_EQ(run.ExitCode, 0) << run.Err;
        EXPECT_NE(run.Out.find("Apfelkuchen"), std::string::npos) << run.Out;
        run = Visitor({"--db", db, "export", "--format", "mm", "--out", dir.File("besucher/kuchen.mm")});
        EXPECT_EQ(run.ExitCode, 0) << run.Err;
        EXPECT_NE(ReadFile(dir.File("besucher/kuchen.mm")).find("Gulasch"), std::string::npos);
        // Writing is refused clearly, and the file stays as it was.
        run = Visitor({"--db", db, "import", dir.File("rezepte.mm")});
        EXPECT_EQ(run.ExitCode, 1);
        EXPECT_NE(run.Err.find("schreibgeschützt"), std::string::npos) << run.Err;
        EXPECT_EQ(ReadFile(db), before);
        EXPECT_FALSE(HasCompanions(db));
    }
    fs::permissions(dir.File("cd"), fs::perms::owner_all);
}

TEST_F(CliFileFault, AClosedDatabaseIsOneFileWhileASecondProgramKeepsWorking)
{
    const std::string db = MakeDatabase();
    EXPECT_EQ(HeaderJournalMode(db), 1);
    EXPECT_FALSE(HasCompanions(db));

    // A second program (the desktop beside a script) holds the file open and writes on.
    auto desktop = Database::OpenSqlite(db);
    desktop->Execute("UPDATE T_REZ_KOPF SET RezTitle='Apfelkuchen vom Blech' WHERE ID=1");
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--db", db, "search", "blech"},
                                                 {"--db", db, "show", "2"},
                                                 {"--db", db, "import", dir.File("rezepte.mm")},
                                                 {"--db", db, "info"}}) {
        SCOPED_TRACE(args[2]);
        const ProcessResult run = Cli(args);
        EXPECT_EQ(run.ExitCode, 0) << run.Err;
        // The command closing its connection leaves the file to the program still using it.
        EXPECT_EQ(HeaderJournalMode(db), 2);
        desktop->Execute("UPDATE T_REZ_KOPF SET RezYield=RezYield+1 WHERE ID=2");
    }
    EXPECT_EQ(desktop->Scalar("SELECT RezYield FROM T_REZ_KOPF WHERE ID=2").AsLong(), 10);
    desktop.reset();
    EXPECT_EQ(HeaderJournalMode(db), 1);
    EXPECT_FALSE(HasCompanions(db));
    EXPECT_EQ(Cli({"--db", db, "search", "blech"}).Out, "1\tApfelkuchen vom Blech\n");
}

TEST_F(CliFileFault, DamagedOrForeignFilesGetTheMessageAndAreNeverWritten)
{
    const std::string good = MakeDatabase();
    const std::string noUnits = dir.File("ohne-einheiten.MDB");
    fs::copy_file(good, noUnits);
    Database::OpenSqlite(noUnits)->Execute("DROP TABLE T_UNIT");
    const std::string foreign = dir.File("kunden.MDB");
    {
        test::NewDatabase(foreign)->Execute("CREATE TABLE Kunden (ID INTEGER)");
    }
    WriteFile(dir.File("leer.MDB"), "");
    WriteFile(dir.File("text.MDB"), "Einkaufsliste: Mehl, Eier, Milch\n");
    WriteFile(dir.File("abgeschnitten.MDB"), ReadFile(good).substr(0, 1000));
    const std::vector<std::vector<std::string>> commands = {
        {"info"},
        {"search", "kuchen"},
        {"show", "1", "--servings", "8"},
        {"import", dir.File("rezepte.mm")},
        {"export", "--format", "mm", "--out", dir.File("export.mm")},
        {"backup", dir.File("sicherung")},
        {"upgrade"}};
    struct
    {
        std::string file;
        const char* message;
    } cases[] = {
        {dir.File("leer.MDB"), "sieht nicht wie eine Pfannola-Datenbank aus"},
        {dir.File("text.MDB"), "sieht nicht wie eine Pfannola-Datenbank aus"},
        {dir.File("abgeschnitten.MDB"), "Pfannola-Datenbank"},
        {foreign, "sieht nicht wie eine Pfannola-Datenbank aus"},
        {noUnits, "die Tabelle T_UNIT fehlt"},
    };
    for (const auto& c : cases) {
        const std::string before = ReadFile(c.file);
        for (const auto& command : commands) {
            // info and upgrade read only the version of a file that has one.
            if (c.file == noUnits &&
                (command[0] == "info" || command[0] == "upgrade" || command[0] == "backup"))
                continue;
            std::vector<std::string> args{"--db", c.file};
            args.insert(args.end(), command.begin(), command.end());
            SCOPED_TRACE(c.file + " " + command[0]);
            const ProcessResult run = Cli(args);
            EXPECT_EQ(run.Signal, 0);
            EXPECT_EQ(run.ExitCode, 1) << run.Out;
            EXPECT_NE(run.Err.find(c.message), std::string::npos) << run.Err;
            EXPECT_EQ(ReadFile(c.file), before);
            EXPECT_FALSE(fs::exists(dir.File("export.mm")));
            EXPECT_FALSE(fs::exists(dir.File("sicherung")));
        }
    }
}

TEST_F(CliFileFault, CopiesAKilledRunLeftAreRemovedAtTheNextOpen)
{
    const std::string db = MakeDatabase();
    WriteFile(db + ".$$$", std::string(5000, 'k'));
    WriteFile(db + ".BAK.$$$", "halb");
    // A copy another program is still writing (its lock is held) stays.
    const std::string other = dir.File("andere.MDB");
    fs::copy_file(db, other);
    fs::copy_file(db, other + ".$$$");
    auto writing = Database::OpenSqlite(other + ".$$$");
    writing->BeginTrans();
    writing->Execute("DELETE FROM T_REZ_ZUTAT");

    EXPECT_EQ(Cli({"--db", db, "search", "kuchen"}).ExitCode, 0);
    EXPECT_FALSE(fs::exists(db + ".$$$"));
    EXPECT_FALSE(fs::exists(db + ".BAK.$$$"));
    EXPECT_EQ(Cli({"--db", other, "search", "kuchen"}).ExitCode, 0);
    EXPECT_TRUE(fs::exists(other + ".$$$"));
    writing->Rollback();
}

} // namespace
} // namespace pf::test
