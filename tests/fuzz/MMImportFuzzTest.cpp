// Replays the saved fuzz inputs of the Meal-Master reader, and a fixed series of mutations of
// them, as ordinary tests: no crash, no hang, no broken recipe.

#include "tests/fuzz/MMImportFuzz.h"
#include "core/AppContext.h"
#include "model/ClUnit.h"
#include "tests/support/BaseDataDb.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

namespace pf {
namespace {

// The saved inputs: the fuzz corpus and the recipe files of the reader's own tests.
std::vector<std::filesystem::path> CorpusFiles()
{
    const std::filesystem::path data(PF_TEST_DATA_DIR);
    std::vector<std::filesystem::path> files;
    for (const auto& dir : {data.parent_path() / "fuzz" / "corpus", data / "mm"})
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            if (entry.is_regular_file() && entry.path().extension() != ".zip")
                files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

class MMImportFuzz : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_db = test::MakeBaseDataDatabase(m_dir);
        ASSERT_TRUE(m_db);
        m_units.SetDB(m_db.get());
        m_units.Count();
    }

    std::vector<std::string> Corpus()
    {
        std::vector<std::string> inputs;
        for (const auto& file : CorpusFiles())
            inputs.push_back(test::ReadFile(file.string()));
        return inputs;
    }

    // Runs one input within a time limit; the reader must keep its promises.
    void Check(const std::string& input, const std::string& name)
    {
        const auto start = std::chrono::steady_clock::now();
        const long broken = fuzz::FuzzMealMasterReader(reinterpret_cast<const std::uint8_t*>(input.data()),
                                                       input.size(), m_units);
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(broken, 0) << name;
        EXPECT_LT(took, std::chrono::seconds(5)) << name;
        if (std::getenv("PF_FUZZ_TIMES"))
            std::printf(
                "%s: %lld ms\n", name.c_str(),
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
    }

    AppContext m_app;
    ScopedAppContext m_scope{m_app};
    test::TempDir m_dir;
    std::unique_ptr<Database> m_db;
    ClUnit m_units;
};

TEST_F(MMImportFuzz, SavedCorpusReadsWithoutFault)
{
    ASSERT_GE(Corpus().size(), 10u);
    for (const auto& file : CorpusFiles())
        Check(test::ReadFile(file.string()), file.filename().string());
}

TEST_F(MMImportFuzz, MutatedCorpusReadsWithoutFault)
{
    const auto inputs = Corpus();
    // PF_FUZZ_ROUNDS and PF_FUZZ_SEED run a longer or another series by hand.
    const char* seed = std::getenv("PF_FUZZ_SEED");
    const char* roundsText = std::getenv("PF_FUZZ_ROUNDS");
    const int rounds = roundsText ? std::atoi(roundsText) : 400;
    std::mt19937 gen(seed ? static_cast<unsigned>(std::strtoul(seed, nullptr, 10)) : 20261206u);
    const std::string pieces[] = {
        "\n", "\r", "MMMMM", "-----", "=====", "EEEEE-----",       "EEEEE",         ":",        " - ",
        "1/", ";",  "\t",    "\xC3",  "\xE4",  "MMMMM-----x-----", "      Title: ", "    1 c  "};
    for (int round = 0; round < rounds; ++round) {
        std::string input = inputs[gen() % inputs.size()];
        const int edits = 1 + static_cast<int>(gen() % 8);
        for (int e = 0; e < edits && !input.empty(); ++e) {
            const std::size_t pos = gen() % input.size();
            switch (gen() % 4) {
            case 0:
                input[pos] = static_cast<char>(gen() % 256);
                break;
            case 1:
                input.erase(pos, 1 + gen() % 40);
                break;
            case 2:
                input.insert(pos, pieces[gen() % std::size(pieces)]);
                break;
            default:
                input.insert(pos, input.substr(gen() % input.size(), gen() % 200));
                break;
            }
        }
        Check(input, "round " + std::to_string(round));
    }
}

} // namespace
} // namespace pf
