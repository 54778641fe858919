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
// the files of further folders (the reader's own test files).
std::vector<fs::path> Inputs(const std::string& target, const std::vector<fs::path>& more = {})
{
    const fs::path fuzz = fs::path(PF_TEST_DATA_DIR).parent_path() / "fuzz";
    std::vector<fs::path> folders = more;
    folders.push_back(fuzz / "corpus" / target);
    folders.push_back(fuzz / "found" / target);
    std::vector<fs::path> files;
    for (const fs::path& folder : folders)
        if (fs::is_directory(folder))
            for (const auto& entry : fs::directory_iterator(folder))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

template <class Check>
void Replay(const std::string& target, std::size_t minimum, const std::vector<fs::path>& more = {})
{
    AppContext app;
    ScopedAppContext scope(app);
    Check check;
    const std::vector<fs::path> files = Inputs(target, more);
    ASSERT_GE(files.size(), minimum) << target;
    for (const fs::path& file : files) {
        const std::string input = test::ReadFile(file.string());
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(check.Run(input), "") << file;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30)) << file;
    }
}

TEST(FuzzCorpus, MealMasterReader)
{
    Replay<fuzz::MMImportFuzz>("mmimport", 20, {fs::path(PF_TEST_DATA_DIR) / "mm"});
}

TEST(FuzzCorpus, TableReader)
{
    Replay<fuzz::TableImportFuzz>("tableimport", 4);
}

TEST(FuzzCorpus, MensaxReader)
{
    Replay<fuzz::MensaxImportFuzz>("mensaximport", 3, {fs::path(PF_TEST_DATA_DIR) / "export"});
}

TEST(FuzzCorpus, BaseData)
{
    Replay<fuzz::BaseDataFuzz>("basedata", 5);
}

TEST(FuzzCorpus, SettingsAndUmlautList)
{
    Replay<fuzz::SettingsFuzz>("settings", 5);
}

TEST(FuzzCorpus, SearchData)
{
    Replay<fuzz::SearchDataFuzz>("searchdata", 5);
}

TEST(FuzzCorpus, JetStatementsAndSearchText)
{
    Replay<fuzz::JetSqlFuzz>("jetsql", 5);
}

TEST(FuzzCorpus, Quantity)
{
    Replay<fuzz::QuantityFuzz>("quantity", 5);
}

TEST(FuzzCorpus, IngredientMatching)
{
    Replay<fuzz::MatcherFuzz>("matcher", 10);
}

TEST(FuzzCorpus, LexiconSearch)
{
    Replay<fuzz::LexiconSearchFuzz>("lexiconsearch", 10);
}

} // namespace
} // namespace pf
