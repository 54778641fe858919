#pragma once
// Compares a text with its golden file below the test data; PF_UPDATE_GOLDEN=1 writes the golden
// file instead (to be checked by hand before it is committed).

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

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

} // namespace pf::test
