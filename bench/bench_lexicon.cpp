// What a lexicon search costs: the shipped base data (lexicon and whatever foods it carries) plus
// generated foods and synonyms up to N foods (default 3,000), then the search of one word over all
// areas, timed from the call to the filled result tree (median of 25 runs). A word without hits
// runs every shortening pass and the widened passes. Usage: bench_lexicon [foods].
// Target: < 100 ms per word.

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "db/BaseData.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "lexicon/LexiconSearch.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Answers the widening question with Yes, so that a word without hits runs every pass.
class Widening : public pf::Interaction
{
public:
    pf::Answer Ask(const std::string&, pf::Buttons, pf::Answer, pf::MsgIcon, const std::string&) override
    {
        return pf::Answer::Yes;
    }
    void Inform(const std::string&, pf::MsgIcon, const std::string&) override {}
    std::vector<std::string> ChooseFiles(const pf::FileRequest&) override { return {}; }
    std::optional<int> ChooseItem(const std::string&, const std::vector<std::string>&,
                                  const std::string&) override
    {
        return std::nullopt;
    }
};

} // namespace

int main(int argc, char** argv)
{
    const long foods = argc > 1 ? std::atol(argv[1]) : 3000;
    Widening ui;
    pf::AppContext app;
    app.UI = &ui;
    pf::ScopedAppContext scope(app);

    const auto dir = std::filesystem::temp_directory_path() / "pfannola-bench-lexicon";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    pf::OpenOptions create;
    create.Create = true;
    auto db = pf::Database::OpenSqlite((dir / "lexikon.db").string(), create);
    pf::CreateTables(*db, pf::SchemaTables());

    std::string content = std::string(pf::kBaseDataHeader) + "\r\nVERSION\tv2.00.126\t2018-12-28\r\n";
    std::vector<std::filesystem::path> files;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(PF_SOURCE_DIR) / "data/basedata"))
        if (entry.path().extension() == ".csv")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto& file : files)
        content += ReadAll(file);
    const std::string csv = (dir / "basis.csv").string();
    std::ofstream(csv, std::ios::binary) << content;
    if (!pf::ImportBaseData(*db, csv, nullptr)) {
        std::fprintf(stderr, "Die Basisdaten lassen sich nicht laden.\n");
        return 1;
    }

    // Foods up to the wanted number, each with two synonyms, named like real ones.
    const char* const stems[] = {"Apfel", "Birne",    "Kartoffel", "Karotte", "Zwiebel",
                                 "Käse",  "Schinken", "Lachs",     "Brot",    "Reis",
                                 "Nudel", "Tomate",   "Gurke",     "Quark",   "Sahne"};
    {
        pf::DbTransaction transaction(*db);
        long id = db->Scalar("SELECT MAX(ID) FROM T_BLS_KEY").IsNull()
                      ? 0
                      : static_cast<long>(db->Scalar("SELECT MAX(ID) FROM T_BLS_KEY").AsLong());
        for (long n = static_cast<long>(db->Scalar("SELECT COUNT(*) FROM T_BLS_KEY").AsLong()); n < foods;
             ++n) {
            ++id;
            const std::string name = std::string(stems[n % std::size(stems)]) + " Sorte " + std::to_string(n);
            char code[32];
            std::snprintf(code, sizeof code, "X%06ld", id);
            db->Execute("INSERT INTO T_BLS_KEY (ID,SBLS,ST,STE) VALUES (?,?,?,?)",
                        {id, std::string(code), name, name});
            db->Execute("INSERT INTO T_INFO_KEY (ID,[KEY],KEYTYPE,Sprachcode) VALUES (?,?,3,1),(?,?,3,4)",
                        {id, name + " frisch", id, name + " fresh"});
        }
        transaction.Commit();
    }
    std::printf("Stichwörter: %ld, Erklärungen: %ld, Nahrungsmittel: %ld\n",
                static_cast<long>(db->Scalar("SELECT COUNT(*) FROM T_INFO_KEY").AsLong()),
                static_cast<long>(db->Scalar("SELECT COUNT(*) FROM T_LEXIKON").AsLong()),
                static_cast<long>(db->Scalar("SELECT COUNT(*) FROM T_BLS_KEY").AsLong()));

    bool within = true;
    for (const char* word : {"blanchieren", "Käse", "kaese", "Zitrone", "E 330", "Spätzle", "xqxqxqxqxq"}) {
        std::vector<double> times;
        std::size_t hits = 0;
        for (int run = 0; run < 25; ++run) {
            pf::LexiconResultTree tree;
            const auto start = Clock::now();
            pf::LexiconSearch(*db, word, pf::kLexiconAllAreas, tree);
            times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            hits = tree.HitCount();
        }
        std::sort(times.begin(), times.end());
        const double median = times[times.size() / 2];
        within = within && median < 100;
        std::printf("Lexikonsuche \"%s\": %zu Treffer, %.1f ms (Ziel < 100 ms)\n", word, hits, median);
    }
    std::filesystem::remove_all(dir);
    return within ? 0 : 1;
}
