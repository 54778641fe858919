// Replays the saved inputs of every fuzz target as ordinary tests: on each input the reader keeps
// its promises (the fuzz target's checks) and ends: one that runs for half a minute, even in the
// sanitizer build on a busy machine, is taken as a hang.

#include "tests/fuzz/BaseDataFuzz.h"
#include "tests/fuzz/JetSqlFuzz.h"
#include "tests/fuzz/LexiconSearchFuzz.h"
#include "tests/fuzz/MMImportFuzz.h"
#include "tests/fuzz/MatcherFuzz.h"
#include "tests/fuzz/MensaxImportFuzz.h"
#include "tests/fuzz/QuantityFuzz.h"
#include "tests/fuzz/SearchDataFuzz.h"
#include "tests/fuzz/SettingsFuzz.h"
#include "tests/fuzz/TableImportFuzz.h"

#include "core/AppContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

namespace pf {
namespace {

namespace fs = std::filesystem;

// The saved inputs of a target (the grown corpus and the inputs of faults found and fixed), and
// the files of a further folder of the test data (the reader's own test files).
std::vector<fs::path> Inputs(const std::string& target, const char* moreData)
{
    const fs::path fuzz = fs::path(PF_TEST_DATA_DIR).parent_path() / "fuzz";
    std::vector<fs::path> folders{fuzz / "corpus" / target, fuzz / "found" / target};
    if (moreData)
        folders.push_back(fs::path(PF_TEST_DATA_DIR) / moreData);
    std::vector<fs::path> files;
    for (const fs::path& folder : folders)
        if (fs::is_directory(folder))
            for (const auto& entry : fs::directory_iterator(folder))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

template <class Check> void Replay(const std::string& target, std::size_t minimum, const char* moreData)
{
    AppContext app;
    ScopedAppContext scope(app);
    Check check;
    const std::vector<fs::path> files = Inputs(target, moreData);
    ASSERT_GE(files.size(), minimum) << target;
    for (const fs::path& file : files) {
        const std::string input = test::ReadFile(file.string());
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(check.Run(input), "") << file;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30)) << file;
    }
}

// A fuzz target: its corpus folder, its check, the inputs it must at least have and a further
// folder of the test data it reads too.
struct Target
{
    const char* Name;
    void (*Run)(const std::string&, std::size_t, const char*);
    std::size_t Minimum;
    const char* MoreData = nullptr;
};

class FuzzCorpus : public ::testing::TestWithParam<Target>
{
};

TEST_P(FuzzCorpus, EveryInputKeepsTheReadersPromises)
{
    GetParam().Run(GetParam().Name, GetParam().Minimum, GetParam().MoreData);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, FuzzCorpus,
    ::testing::Values(Target{"mmimport", &Replay<fuzz::MMImportFuzz>, 20, "mm"},
                      Target{"tableimport", &Replay<fuzz::TableImportFuzz>, 4},
                      Target{"mensaximport", &Replay<fuzz::MensaxImportFuzz>, 3, "export"},
                      Target{"basedata", &Replay<fuzz::BaseDataFuzz>, 5},
                      Target{"settings", &Replay<fuzz::SettingsFuzz>, 5},
                      Target{"searchdata", &Replay<fuzz::SearchDataFuzz>, 5},
                      Target{"jetsql", &Replay<fuzz::JetSqlFuzz>, 5},
                      Target{"quantity", &Replay<fuzz::QuantityFuzz>, 5},
                      Target{"matcher", &Replay<fuzz::MatcherFuzz>, 10},
                      Target{"lexiconsearch", &Replay<fuzz::LexiconSearchFuzz>, 10}),
    [](const ::testing::TestParamInfo<Target>& param) { return std::string(param.param.Name); });

} // namespace
} // namespace pf
