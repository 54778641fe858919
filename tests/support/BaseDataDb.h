#pragma once
// A fresh database file with the program's schema and the shipped base data (units, yield units,
// categories, cookbook 0, nutrient descriptors), for tests that need real reference data.

#include "db/BaseData.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <memory>
#include <string>

namespace pf::test {

inline std::unique_ptr<Database> MakeBaseDataDatabase(TempDir& dir, const std::string& name = "base.db")
{
    OpenOptions options;
    options.Create = true;
    std::unique_ptr<Database> db = Database::OpenSqlite(dir.File(name), options);
    CreateTables(*db, SchemaTables());
    // The base-data file needs the header lines the build puts before the packed sources.
    const auto repo = std::filesystem::path(PF_TEST_DATA_DIR).parent_path().parent_path();
    std::string content = std::string(kBaseDataHeader) + "\r\nVERSION\tv2.00.126\t2018-12-28\r\n";
    for (const char* file : {"10_categories.csv", "20_units.csv", "30_nutrients.csv", "40_cookbooks.csv"})
        content += ReadFile((repo / "data/basedata" / file).string());
    const std::string csv = dir.File(name + ".csv");
    WriteFile(csv, content);
    if (!ImportBaseData(*db, csv, nullptr))
        return nullptr;
    return db;
}

} // namespace pf::test
