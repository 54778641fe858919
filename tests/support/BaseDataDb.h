#pragma once
// A fresh database file with the program's schema and the shipped base data (units, yield units,
// categories, cookbook 0, nutrient descriptors, lexicon), for tests that need real reference data. The food
// table (foods, values, classes, synonyms) comes with it only when asked for: many tests put in
// the few foods they need. A test that needs one table group only names its source files.

#include "db/BaseData.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "tests/support/NewDatabase.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace pf::test {

enum class Foods { Without, With };

inline std::unique_ptr<Database> MakeBaseDataDatabase(TempDir& dir, const std::string& name = "base.db",
                                                      Foods foods = Foods::Without,
                                                      const std::vector<std::string>& only = {})
{
    std::unique_ptr<Database> db = test::NewSchemaDatabase(dir.File(name));
    // The base-data file needs the header lines the build puts before the packed sources.
    const auto repo = std::filesystem::path(PF_TEST_DATA_DIR).parent_path().parent_path();
    std::string content = std::string(kBaseDataHeader) + "\r\nVERSION\tv2.00.126\t2018-12-28\r\n";
    // Every source in name order, as the build packs them.
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(repo / "data/basedata"))
        if (entry.path().extension() == ".csv" &&
            (foods == Foods::With || !entry.path().filename().string().starts_with("50_")) &&
            (only.empty() ||
             std::find(only.begin(), only.end(), entry.path().filename().string()) != only.end()))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto& file : files)
        content += ReadFile(file.string());
    const std::string csv = dir.File(name + ".csv");
    WriteFile(csv, content);
    DbTransaction transaction(*db);
    if (!ImportBaseData(*db, csv, nullptr))
        return nullptr;
    transaction.Commit();
    return db;
}

} // namespace pf::test
