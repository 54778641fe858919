#pragma once
// Compares a text with its golden file below the test data; PF_UPDATE_GOLDEN=1 writes the golden
// file instead (to be checked by hand before it is committed). Also splits exported texts into lines.

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace pf::test {

inline void ExpectGolden(const std::string& actual, const std::string& name)
{
    const std::string file = std::string(PF_TEST_DATA_DIR) + "/" + name;
    if (std::getenv("PF_UPDATE_GOLDEN")) {
        WriteFile(file, actual);
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(file)) << name;
    EXPECT_EQ(actual, ReadFile(file)) << name;
}

// The lines of an exported text, which ends its lines with CR LF.
inline std::vector<std::string> CrLfLines(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find("\r\n", start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

} // namespace pf::test
