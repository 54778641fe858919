// A fixed series of mutations of the Meal-Master reader's saved inputs, as an ordinary test: no
// crash, no hang, no broken recipe.

#include "tests/fuzz/MMImportFuzz.h"
#include "core/AppContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>

namespace pf {
namespace {

// The saved inputs: the fuzz corpus and the recipe files of the reader's own tests.
std::vector<std::string> Corpus()
{
    const std::filesystem::path data(PF_TEST_DATA_DIR);
    std::vector<std::filesystem::path> files;
    for (const auto& dir : {data.parent_path() / "fuzz" / "corpus" / "mmimport", data / "mm"})
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            if (entry.is_regular_file() && entry.path().extension() != ".zip")
                files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<std::string> inputs;
    for (const auto& file : files)
        inputs.push_back(test::ReadFile(file.string()));
    return inputs;
}

TEST(MMImportFuzz, MutatedCorpusReadsWithoutFault)
{
    AppContext app;
    ScopedAppContext scope(app);
    fuzz::MMImportFuzz check;
    const auto inputs = Corpus();
    ASSERT_GE(inputs.size(), 10u);
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
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(check.Run(input), "") << "round " << round;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << "round " << round;
    }
}

} // namespace
} // namespace pf
