// Imports run as real processes of the command-line program against faults a kitchen meets:
// a run killed midway, several runs at once, another program holding the lock, a full disk.

#include "tests/reliability/CliProcess.h"
#include "db/PgDatabase.h"
#include "tests/support/PrivateServer.h"

#include <sys/mount.h>

#include <algorithm>
#include <filesystem>
#include <thread>

namespace pf::test {
namespace {

using ImportFault = ReliabilityTest;
using ImportFaultBoth = BothBackends;

TEST_P(ImportFaultBoth, KilledRunsAreCompletedByARerunWithoutDuplicates)
{
    // At least four batches of 10,000, so that each of the three kills falls after one more commit
    // however fast the run is (a slower build ends its batches after three seconds).
    const long recipes = std::max<long>(45000 / kScale, 8500);
    const std::string file = dir.File("sammlung.mm");
    WriteFile(file, RecipeFile("Kuchen", 1, recipes));
    long stored = 0;
    // Killed three times, each time in the middle of a batch after one more was committed.
    for (int kill = 0; kill < 3; ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill));
        CliProcess run(dir, {"--db", database, "import", file});
        ASSERT_TRUE(run.Started());
        ASSERT_TRUE(WaitFor("SELECT COUNT(*) FROM T_REZ_KOPF", stored + 1));
        run.Kill();
        const ProcessResult killed = run.Wait();
        if (killed.Signal != SIGKILL) {
            // The run outpaced the kill (a slow poll on a loaded machine): then it must have
            // finished cleanly with every recipe stored once.
            EXPECT_EQ(killed.ExitCode, 0) << killed.Err;
            ExpectEachTitleOnce(recipes);
            return;
        }
        stored = Count("SELECT COUNT(*) FROM T_REZ_KOPF");
        ASSERT_LE(stored, recipes);
        ExpectEachTitleOnce(stored);
        if (stored == recipes)
            break; // killed after its last commit, before it could end: the rerun skips them all
    }

    const ProcessResult again = RunCliProcess(dir, {"--db", database, "import", file});
    EXPECT_EQ(again.ExitCode, 0) << again.Err;
    EXPECT_NE(again.Out.find("importiert: " + std::to_string(recipes - stored) +
                             ", übersprungen: " + std::to_string(stored) + ", fehlerhaft: 0"),
              std::string::npos)
        << again.Out;
    ExpectEachTitleOnce(recipes);
}

TEST_P(ImportFaultBoth, ConcurrentImportsStoreEveryRecipeOnce)
{
    // Each writer has its own recipes and a block every writer has (stored by one, skipped by the
    // others); meanwhile searches run one after the other and a backup is taken.
    const long each = 5000 / kScale;
    const long shared = 200 / kScale;
    for (int writers : {2, 3}) {
        SCOPED_TRACE(std::to_string(writers) + " writers");
        ASSERT_NO_FATAL_FAILURE(UseNewDatabase("parallel" + std::to_string(writers) + ".MDB"));
        std::vector<std::string> files;
        for (int w = 0; w < writers; ++w) {
            files.push_back(dir.File("schreiber" + std::to_string(w) + ".mm"));
            WriteFile(files.back(), RecipeFile("Gemeinsam", 1, shared) +
                                        RecipeFile("Schreiber " + std::to_string(w), 1, each));
        }
        std::vector<std::unique_ptr<CliProcess>> imports;
        for (const std::string& file : files)
            imports.push_back(std::make_unique<CliProcess>(
                dir, std::vector<std::string>{"--db", database, "import", file}));
        CliProcess backup(dir, {"--db", database, "backup", dir.File("sicherung" + std::to_string(writers))});
        long searches = 0;
        std::string searchFailure;
        auto running = [&] {
            return std::any_of(imports.begin(), imports.end(), [](const auto& p) { return p->Running(); });
        };
        while (running()) {
            // Thousands of hits: a list cut at the program's limit would end with exit code 1, the
            // limit asked for with --max is an expected end.
            const ProcessResult found =
                RunCliProcess(dir, {"--db", database, "search", "--max", "100", "Schreiber"});
            ++searches;
            if (found.ExitCode != 0 && searchFailure.empty())
                searchFailure = found.Err;
        }
        long imported = 0;
        long skipped = 0;
        for (auto& process : imports) {
            const ProcessResult done = process->Wait();
            EXPECT_EQ(done.ExitCode, 0) << done.Err;
            imported += SummaryNumber(done.Out, "importiert");
            skipped += SummaryNumber(done.Out, "übersprungen");
        }
        const ProcessResult saved = backup.Wait();
        EXPECT_EQ(saved.ExitCode, 0) << saved.Err;
        EXPECT_GT(searches, 0);
        EXPECT_EQ(searchFailure, "");
        EXPECT_EQ(imported, writers * each + shared);
        EXPECT_EQ(skipped, (writers - 1) * shared);
        ExpectEachTitleOnce(writers * each + shared);
    }
}

// The server goes away in the middle of a run (stopped as a crash would, or the run's connection
// ended from another one): the run ends with the message, only whole recipes are stored, and once
// the server is back the same file completes the collection.
TEST(ServerImportFault, LostServerLeavesWholeRecipesAndARerunCompletesThem)
{
    PrivateServer server;
    if (server.Connect().empty())
        GTEST_SKIP() << kNoServer;
    ReliabilityTest::Folders folders;
    const TempDir& dir = folders.dir;
    const long recipes = std::max<long>(20000 / kScale, 4000);
    const std::string file = dir.File("unterbrochen.mm");
    WriteFile(file, RecipeFile("Netz", 1, recipes));
    for (const bool stopServer : {true, false}) {
        SCOPED_TRACE(stopServer ? "Server angehalten" : "Verbindung beendet");
        const std::string schema = stopServer ? "angehalten" : "beendet";
        OpenDatabase(server.Connect())->Execute("CREATE SCHEMA " + schema);
        const std::string database = server.Connect() + ";ConnSettings=SET search_path TO " + schema;
        const ProcessResult made = RunCliProcess(dir, {"--db", database, "init"});
        ASSERT_EQ(made.ExitCode, 0) << made.Err;
        CliProcess run(dir, {"--db", database, "import", file});
        ASSERT_TRUE(run.Started());
        {
            auto poll = OpenDatabase(database);
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(120);
            while (poll->Scalar("SELECT COUNT(*) FROM T_REZ_KOPF").AsLong() == 0 &&
                   std::chrono::steady_clock::now() < end)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (!stopServer)
                dynamic_cast<PgDatabase&>(*poll).NativeText(
                    "SELECT COUNT(pg_terminate_backend(pid)) FROM pg_stat_activity WHERE pid <> "
                    "pg_backend_pid() AND datname = current_database()");
        }
        ASSERT_TRUE(!stopServer || server.Pause());
        const ProcessResult cut = run.Wait();
        ASSERT_TRUE(!stopServer || server.Resume());
        if (cut.ExitCode == 0) {
            // The run outpaced the stop: then every recipe is there once.
            SCOPED_TRACE(cut.Out + cut.Err);
            ExpectEachTitleOnceIn(database, recipes);
            continue;
        }
        EXPECT_EQ(cut.ExitCode, 1) << cut.Err;
        EXPECT_NE(cut.Err.find("Der Datenbankserver ist nicht erreichbar"), std::string::npos) << cut.Err;
        const std::size_t pwd = database.find("Pwd=") + 4;
        EXPECT_EQ(cut.Err.find("Pwd=" + database.substr(pwd, database.find(';', pwd) - pwd)), std::string::npos)
            << cut.Err;
        ExpectARerunCompletes(dir, database, file, cut.Out, recipes);
    }
}

TEST_F(ImportFault, ImportWaitsForALockHeldLongerThanTheBusyTimeout)
{
    const long recipes = 500 / kScale;
    const std::string file = dir.File("warten.mm");
    WriteFile(file, RecipeFile("Warten", 1, recipes));
    auto holder = Open();
    holder->BeginTrans(); // the write lock, as another program saving for a long time holds it
    CliProcess run(dir, {"--db", database, "import", file});
    std::this_thread::sleep_for(std::chrono::seconds(7)); // beyond the busy timeout of five seconds
    EXPECT_TRUE(run.Running());
    holder->CommitTrans();
    holder.reset();
    const ProcessResult done = run.Wait();
    EXPECT_EQ(done.ExitCode, 0) << done.Err;
    EXPECT_NE(done.Err.find("momentan gesperrt"), std::string::npos) << done.Err;
    ExpectEachTitleOnce(recipes);
}

TEST_F(ImportFault, FileShortenedDuringTheRunEndsItWithAMessageAndKeepsWhatIsStored)
{
    // Another program empties the file once the first recipes are stored; the run must neither
    // die nor store the recipe it was reading, and a rerun with the whole file completes it. The
    // file is larger than the piece the reader holds in memory (1 MB) in every build, and holds
    // recipes well beyond the first batch (10,000).
    const long recipes = 30000;
    const std::string file = dir.File("schwindet.mm");
    const std::string whole = RecipeFile("Schwund", 1, recipes);
    WriteFile(file, whole);
    CliProcess run(dir, {"--db", database, "import", file});
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(WaitFor("SELECT COUNT(*) FROM T_REZ_KOPF", 1));
    std::filesystem::resize_file(file, 0);
    const ProcessResult cut = run.Wait();
    ASSERT_EQ(cut.Signal, 0) << cut.Err;
    EXPECT_EQ(cut.ExitCode, 1) << cut.Err;
    EXPECT_NE(cut.Err.find("wurde während des Imports gekürzt oder verändert"), std::string::npos) << cut.Err;
    WriteFile(file, whole);
    EXPECT_GT(ExpectARerunCompletes(dir, database, file, cut.Out, recipes), 0);
}

// A small RAM disk in the test's folder, removed again at the end.
class SmallDisk
{
public:
    SmallDisk(std::string path, long kilobytes) : m_path(std::move(path))
    {
        std::filesystem::create_directories(m_path);
        m_mounted = mount("tmpfs", m_path.c_str(), "tmpfs", 0,
                          ("size=" + std::to_string(kilobytes) + "k").c_str()) == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            umount2(m_path.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool Mounted() const { return m_mounted; }
    bool Grow(long kilobytes) const
    {
        return mount("tmpfs", m_path.c_str(), "tmpfs", MS_REMOUNT,
                     ("size=" + std::to_string(kilobytes) + "k").c_str()) == 0;
    }

private:
    std::string m_path;
    bool m_mounted = false;
};

TEST_F(ImportFault, FullDiskStopsTheRunWithOneMessageAndCountsWhatIsStored)
{
    const long size = static_cast<long>(std::filesystem::file_size(database) / 1024);
    SmallDisk disk(dir.File("klein"), size + 768);
    if (!disk.Mounted())
        GTEST_SKIP() << "no RAM disk can be mounted here (needs root)";
    const std::string full = dir.File("klein/rezepte.MDB");
    std::filesystem::copy_file(database, full);
    database = full;
    const long recipes = 10000 / kScale;
    const std::string file = dir.File("gross.mm");
    WriteFile(file, RecipeFile("Voll", 1, recipes));

    const ProcessResult stopped = RunCliProcess(dir, {"--db", database, "import", file});
    EXPECT_EQ(stopped.ExitCode, 1);
    EXPECT_NE(stopped.Err.find("Nicht genügend Speicherplatz auf dem Datenträger"), std::string::npos)
        << stopped.Err;
    EXPECT_EQ(stopped.Err.find("3034"), std::string::npos) << stopped.Err;
    EXPECT_LE(std::count(stopped.Err.begin(), stopped.Err.end(), '\n'), 2) << stopped.Err;
    // With room again, the same file completes the collection.
    ASSERT_TRUE(disk.Grow(64 * 1024));
    ExpectARerunCompletes(dir, database, file, stopped.Out, recipes);
}

PF_ON_BOTH_BACKENDS(ImportFaultBoth);

} // namespace
} // namespace pf::test
