// Build tool: writes the initialisation files a new database is made from.
//   MakeInit ZIPFILE OUTDIR SOURCE.csv...
// OUTDIR/INIT.MDB gets the initial table structure with the T_VERSION row of its version (the
// upgrade steps bring it to the program's version when a database is created); OUTDIR/INIT.CSV
// gets the two header lines of the base-data format followed by the table sections of the sources
// in the order given, with CR LF line ends. Both are packed into ZIPFILE with the program's own
// archive component, so the program can read what the build wrote. Exit code 0 on success.

#include "core/AppContext.h"
#include "db/BaseData.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "db/clsZIP.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

namespace {

// The build date in the short date format, so that the file is the same on every build.
std::string BuildDateText()
{
    const std::string iso = pf::AppContext::kBuildDate; // yyyy-mm-dd
    return iso.substr(8, 2) + "." + iso.substr(5, 2) + "." + iso.substr(0, 4);
}

void WriteInitDatabase(const std::string& path)
{
    std::filesystem::remove(path);
    pf::OpenOptions options;
    options.Create = true;
    auto db = pf::Database::OpenSqlite(path, options);
    pf::CreateTables(*db, pf::InitialSchema());
    if (!db->TableExists("T_VERSION"))
        db->CreateTable({"T_VERSION",
                         {{"Major", pf::FieldType::Long},
                          {"Minor", pf::FieldType::Long},
                          {"Build", pf::FieldType::Long},
                          {"Date", pf::FieldType::Date},
                          {"Description", pf::FieldType::Text, 255}},
                         {}});
    const std::string version = pf::InitialSchemaVersion(); // "000.50.073"
    const long major = std::stol(version.substr(0, 3));
    const long minor = std::stol(version.substr(4, 2));
    const long build = std::stol(version.substr(7, 3));
    // The day the initial structure was fixed does not matter; the build date keeps the file stable.
    db->Execute("INSERT INTO T_VERSION (Major, Minor, Build, [Date]) VALUES (?, ?, ?, ?)",
                {pf::Value(major), pf::Value(minor), pf::Value(build), pf::Value(pf::DateSerial{43462})});
    db->Close();
}

// Appends the lines of one source file, leaving out header lines of its own.
bool AppendSource(std::ofstream& out, const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << "MakeInit: " << path << " kann nicht gelesen werden\n";
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.starts_with(pf::kBaseDataHeader) || line.starts_with("VERSION\t"))
            continue;
        out << line << "\r\n";
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::cerr << "Aufruf: MakeInit ZIPDATEI AUSGABEORDNER QUELLE.csv...\n";
        return 2;
    }
    pf::AppContext context;
    context.ComputeVersion();
    pf::ScopedAppContext scope(context);
    const std::string zipPath = argv[1];
    const std::filesystem::path outDir = argv[2];
    try {
        std::filesystem::create_directories(outDir);
        WriteInitDatabase((outDir / "INIT.MDB").string());
    } catch (const std::exception& error) {
        std::cerr << "MakeInit: INIT.MDB: " << error.what() << "\n";
        return 1;
    }
    std::ofstream out(outDir / "INIT.CSV", std::ios::binary | std::ios::trunc);
    out << pf::kBaseDataHeader << "\r\n"
        << "VERSION\t" << context.VersionText << "\t" << BuildDateText() << "\r\n";
    for (int i = 3; i < argc; ++i)
        if (!AppendSource(out, argv[i]))
            return 1;
    out.flush();
    if (!out) {
        std::cerr << "MakeInit: INIT.CSV kann nicht geschrieben werden\n";
        return 1;
    }
    out.close();

    std::filesystem::remove(zipPath);
    pf::clsZIP zip;
    zip.NewZIPFile(zipPath);
    zip.AddFile((outDir / "INIT.MDB").string());
    zip.AddFile((outDir / "INIT.CSV").string());
    if (!zip.Add()) {
        std::cerr << "MakeInit: " << zipPath << ": " << zip.LastResultText() << "\n";
        return 1;
    }
    return 0;
}
