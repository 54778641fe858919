// What a recipe search costs in a large database. Generates N recipes (default 100,000) with 12
// ingredient lines, two categories, a cookbook and a paragraph of instructions each (kept in
// a file under the temporary folder and reused while its size matches), then measures from the
// call to the complete ID list: a one-word title search, two words with an ingredient and a
// category, and a word searched in the instructions too; and the time until the first listed hits
// reach a list. Usage: bench_search [recipes] [part of a case's name: only those cases, on the file].
// Targets: 150 ms, 300 ms, 2 s; first hits 100 ms. With PF_BENCH_SERVER set to a server's connect
// text ("odbc:...") the same searches then run on a copy in a new schema there (dropped at the
// end; PF_BENCH_SCHEMA names one that is kept for the next run); target: within twice the file's
// time. PF_WORD_INDEX=0 measures both without the index.

#include "bench/BenchData.h"
#include "core/AppContext.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "db/SearchIndex.h"
#include "db/SqliteDatabase.h"
#include "db/SqliteFunctions.h"
#include "search/ClSearch.h"

#include <sqlite3.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Millis(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

const char* const kAdjectives[] = {
    "Feuriges",   "Mildes",   "Schnelles",   "Omas",      "Herbstliches", "Sommerliches", "Leichtes",
    "Deftiges",   "Feines",   "Rustikales",  "Cremiges",  "Würziges",     "Einfaches",    "Festliches",
    "Knuspriges", "Frisches", "Bayerisches", "Badisches", "Schwäbisches", "Italienisches"};
const char* const kDishes[] = {
    "Gulasch", "Risotto", "Ragout",    "Gratin",         "Pilaw",         "Curry",          "Püree",
    "Omelett", "Chili",   "Frikassee", "Geschnetzeltes", "Schmorgericht", "Pfannengericht", "Eintopf",
    "Kompott", "Dessert", "Soufflé",   "Parfait",        "Strudel",       "Kuchen",         "Brot",
    "Gebäck",  "Sorbet",  "Salat",     "Carpaccio",      "Tatar",         "Terrine",        "Pastete",
    "Quiche",  "Tarte",   "Auflauf",   "Braten",         "Steak",         "Schnitzel",      "Kotelett",
    "Filet",   "Spieß",   "Burger",    "Wrap",           "Taschen",       "Knödel",         "Nocken",
    "Spätzle", "Nudeln",  "Lasagne",   "Pizza",          "Focaccia",      "Suppe",          "Brühe",
    "Creme"};
const char* const kIngredients[] = {
    "Zwiebel",      "Knoblauch",   "Möhre",         "Sellerie",     "Lauch",       "Kartoffel",
    "Tomate",       "Paprika",     "Zucchini",      "Aubergine",    "Spinat",      "Mangold",
    "Kohl",         "Wirsing",     "Rosenkohl",     "Brokkoli",     "Blumenkohl",  "Erbsen",
    "Bohnen",       "Linsen",      "Reis",          "Nudeln",       "Mehl",        "Zucker",
    "Salz",         "Pfeffer",     "Paprikapulver", "Kümmel",       "Majoran",     "Thymian",
    "Rosmarin",     "Salbei",      "Petersilie",    "Schnittlauch", "Dill",        "Basilikum",
    "Oregano",      "Butter",      "Sahne",         "Milch",        "Quark",       "Joghurt",
    "Käse",         "Parmesan",    "Mozzarella",    "Ei",           "Rindfleisch", "Schweinefleisch",
    "Hähnchen",     "Pute",        "Lamm",          "Speck",        "Schinken",    "Lachs",
    "Forelle",      "Kabeljau",    "Garnelen",      "Muscheln",     "Olivenöl",    "Rapsöl",
    "Essig",        "Senf",        "Honig",         "Zitrone",      "Orange",      "Apfel",
    "Birne",        "Pflaume",     "Kirschen",      "Erdbeeren",    "Himbeeren",   "Vanille",
    "Zimt",         "Nelken",      "Lorbeer",       "Wacholder",    "Ingwer",      "Chili",
    "Koriander",    "Kreuzkümmel", "Curry",         "Kokosmilch",   "Brühe",       "Wein",
    "Bier",         "Tomatenmark", "Mandeln",       "Haselnüsse",   "Walnüsse",    "Rosinen",
    "Hefe",         "Backpulver",  "Gelatine",      "Schokolade",   "Kakao",       "Puderzucker",
    "Semmelbrösel", "Brot",        "Champignons",   "Pfifferlinge"};
const char* const kWords[] = {
    "Die",     "Zwiebel", "fein",        "würfeln",   "und",       "in",        "Butter",    "glasig",
    "dünsten", "Das",     "Fleisch",     "anbraten",  "mit",       "Brühe",     "ablöschen", "Minuten",
    "köcheln", "lassen",  "abschmecken", "servieren", "Ofen",      "vorheizen", "Form",      "einfetten",
    "backen",  "Teig",    "kneten",      "ruhen",     "ausrollen", "schneiden", "Sauce",     "binden"};

void Exec(sqlite3* db, const char* sql)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", sql, message ? message : "");
        std::exit(1);
    }
}

sqlite3_stmt* Prepare(sqlite3* db, const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", sql, sqlite3_errmsg(db));
        std::exit(1);
    }
    return statement;
}

void Step(sqlite3_stmt* statement)
{
    sqlite3_step(statement);
    sqlite3_reset(statement);
}

// The schema through the connection layer, the rows through prepared statements (fast).
void Generate(const std::string& path, long recipes)
{
    {
        pf::OpenOptions create;
        create.Create = true;
        auto db = pf::Database::OpenSqlite(path, create);
        pf::CreateTables(*db, pf::SchemaTables());
    }
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    pf::RegisterJetFunctions(db); // the collation the indexes of text columns use
    Exec(db, "BEGIN");
    for (long c = 1; c <= 200; ++c)
        Exec(db, ("INSERT INTO T_CAT (ID,CatNameD,CatType) VALUES (" + std::to_string(c) + ",'Kategorie " +
                  std::to_string(c) + "',1)")
                     .c_str());
    for (long b = 1; b <= 20; ++b)
        Exec(db, ("INSERT INTO T_BUCH (ID,BuchTitel) VALUES (" + std::to_string(b) + ",'Buch " +
                  std::to_string(b) + "')")
                     .c_str());
    sqlite3_stmt* head = Prepare(db, "INSERT INTO T_REZ_KOPF (ID,RezTitle,RezMenuCard,RezYield,RezYieldEinh,"
                                     "Fingerprint1,Fingerprint2,FlagDeleted,Template,RezHerkunft,RezParent,"
                                     "RezSprache) VALUES (?,?,?,4,1,?,?,0,0,0,0,0)");
    sqlite3_stmt* line =
        Prepare(db, "INSERT INTO T_REZ_ZUTAT (ID,No,ZutTrenner,ZutText,ZutAnz,ZutEinh,ZutRezept,"
                    "ZutBLSID) VALUES (?,?,0,?,100,1,0,0)");
    sqlite3_stmt* cat = Prepare(db, "INSERT INTO T_REZ_CAT_NDX (ID,CatID,CatPrimary,No) VALUES (?,?,?,?)");
    sqlite3_stmt* book = Prepare(db, "INSERT INTO T_REZ_KOCHBUCH (RezID,BuchID) VALUES (?,?)");
    sqlite3_stmt* text = Prepare(db, "INSERT INTO T_REZ_ANWEIS (ID,NO,AnwText) VALUES (?,1,?)");
    std::mt19937 random(42);
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    for (long id = 1; id <= recipes; ++id) {
        const std::string title = std::string(kAdjectives[pick(std::size(kAdjectives))]) + " " +
                                  kDishes[pick(std::size(kDishes))] + " mit " +
                                  kIngredients[pick(std::size(kIngredients))];
        sqlite3_bind_int64(head, 1, id);
        sqlite3_bind_text(head, 2, title.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(head, 3, title.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(head, 4, 24480675L + id);
        sqlite3_bind_int64(head, 5, 5L * 1048576L + id);
        Step(head);
        for (int no = 1; no <= 12; ++no) {
            sqlite3_bind_int64(line, 1, id);
            sqlite3_bind_int(line, 2, no);
            sqlite3_bind_text(line, 3, kIngredients[pick(std::size(kIngredients))], -1, SQLITE_STATIC);
            Step(line);
        }
        const long c1 = static_cast<long>(pick(10)) + 1; // primary: one of ten main categories
        for (int n = 0; n < 2; ++n) {
            sqlite3_bind_int64(cat, 1, id);
            sqlite3_bind_int64(cat, 2, n == 0 ? c1 : static_cast<long>(pick(190)) + 11);
            sqlite3_bind_int(cat, 3, n == 0 ? -1 : 0);
            sqlite3_bind_int(cat, 4, n + 1);
            Step(cat);
        }
        sqlite3_bind_int64(book, 1, id);
        sqlite3_bind_int64(book, 2, id % 20 + 1);
        Step(book);
        std::string instructions;
        for (int w = 0; w < 60; ++w)
            instructions += std::string(kWords[pick(std::size(kWords))]) + (w % 12 == 11 ? ". " : " ");
        sqlite3_bind_int64(text, 1, id);
        sqlite3_bind_text(text, 2, instructions.c_str(), -1, SQLITE_TRANSIENT);
        Step(text);
    }
    for (sqlite3_stmt* s : {head, line, cat, book, text})
        sqlite3_finalize(s);
    Exec(db, "COMMIT");
    sqlite3_close(db);
}

// Processor time of the process so far; on a shared machine it varies less than the clock.
double CpuMillis()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto ms = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

struct Measure
{
    double cpu = 0;
    double total = 0;
    double firstHits = 0;
    double cpuFirstHits = 0;
    long count = 0;
};

Measure Run(pf::Database& db, const std::string& data, int runs)
{
    Measure m;
    for (int i = 0; i < runs; ++i) {
        pf::ClSearch search(&db);
        Clock::time_point start = Clock::now();
        const double cpuStart = CpuMillis();
        double first = -1;
        double cpuFirst = -1;
        search.SetHitSink([&](const std::vector<pf::SearchHit>&) {
            if (first < 0) {
                first = Millis(start);
                cpuFirst = CpuMillis() - cpuStart;
            }
        });
        long count = 0;
        search.FindFirst(data, -1, pf::ClSearch::kSortTitle, count);
        const std::string ids = search.FindResultList();
        m.total += Millis(start);
        m.cpu += CpuMillis() - cpuStart;
        m.firstHits += first < 0 ? 0 : first;
        m.cpuFirstHits += cpuFirst < 0 ? 0 : cpuFirst;
        m.count = count;
    }
    m.total /= runs;
    m.cpu /= runs;
    m.firstHits /= runs;
    m.cpuFirstHits /= runs;
    return m;
}

} // namespace

int main(int argc, char** argv)
{
    const long recipes = argc > 1 ? std::atol(argv[1]) : 100000;
    pf::AppContext app;
    pf::ScopedAppContext scope(app);
    const std::string path =
        (std::filesystem::temp_directory_path() / ("pf_bench_search3_" + std::to_string(recipes) + ".db"))
            .string();
    if (!std::filesystem::exists(path)) {
        const Clock::time_point start = Clock::now();
        Generate(path, recipes);
        std::printf("generated %ld recipes in %.0f ms (%s)\n", recipes, Millis(start), path.c_str());
    }
    auto db = pf::Database::OpenSqlite(path);
    // PF_WORD_INDEX=0 measures the scan without the word index (the index is dropped from the
    // kept file and built again by the next run).
    const char* index = std::getenv("PF_WORD_INDEX");
    const Clock::time_point indexStart = Clock::now();
    if (index && std::string(index) == "0") {
        pf::DropSearchIndex(*db);
    } else if (!pf::HasSearchIndex(*db)) {
        static_cast<pf::SqliteDatabase&>(*db).Compact(); // the size without free pages
        static_cast<pf::SqliteDatabase&>(*db).Checkpoint();
        const auto before = std::filesystem::file_size(path);
        pf::CreateSearchIndex(*db);
        db.reset();
        sqlite3* raw = nullptr;
        sqlite3_open(path.c_str(), &raw);
        sqlite3_wal_checkpoint_v2(raw, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
        sqlite3_close(raw);
        const auto after = std::filesystem::file_size(path);
        std::printf("word index built in %.0f ms; file %.1f MB -> %.1f MB (+%.0f %%)\n", Millis(indexStart),
                    static_cast<double>(before) / 1e6, static_cast<double>(after) / 1e6,
                    100.0 * (static_cast<double>(after) - static_cast<double>(before)) /
                        static_cast<double>(before));
        db = pf::Database::OpenSqlite(path);
    }
    std::printf("word index: %s\n", pf::HasSearchIndex(*db) ? "yes" : "no");
    // For trying engine settings: PF_PRAGMA="mmap_size=2000000000" and the like.
    if (const char* pragma = std::getenv("PF_PRAGMA"))
        db->OpenRecordset(std::string("PRAGMA ") + pragma);
    struct Case
    {
        const char* name;
        const char* data;
        double target;
    };
    const Case cases[] = {
        {"one word in titles", "1,\"gulasch\"", 150},
        {"two words, ingredient, category", "1,\"gulasch mit\",3,\"zwiebel\",2,3", 300},
        {"one word with instructions", "1,\"gulasch\",1004", 2000},
        {"one ingredient", "3,\"zwiebel\"", 1000},
        {"one category", "2,3", 1000},
        {"umlaut word in titles", "1,\"würzig\"", 1000},
    };
    Run(*db, cases[0].data, 1); // warm the file cache
    std::vector<Measure> onFile;
    const std::string only = argc > 2 ? argv[2] : "";
    for (const Case& c : cases) {
        if (std::string(c.name).find(only) == std::string::npos)
            continue;
        const Measure m = Run(*db, c.data, recipes >= 1000000 ? 2 : 5);
        onFile.push_back(m);
        std::printf("%-34s %8.1f ms (target %5.0f ms, processor %7.1f ms)  first hits %7.1f ms "
                    "(processor %7.1f ms)  hits %ld\n",
                    c.name, m.total, c.target, m.cpu, m.firstHits, m.cpuFirstHits, m.count);
    }
    if (!only.empty())
        return 0;
    const pf::bench::ServerCopy server(*db, "bench_search");
    if (!server.Db())
        return 0;
    // The copy gets the server's word index; PF_WORD_INDEX=0 measures the server without it.
    if (index && std::string(index) == "0") {
        pf::DropSearchIndex(*server.Db());
    } else if (!pf::HasSearchIndex(*server.Db())) {
        const Clock::time_point start = Clock::now();
        pf::CreateSearchIndex(*server.Db());
        std::printf("server word index built in %.0f ms\n", Millis(start));
    }
    std::printf("server word index: %s\n", pf::HasSearchIndex(*server.Db()) ? "yes" : "no");
    Run(*server.Db(), cases[0].data, 1);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Measure m = Run(*server.Db(), cases[i].data, 5);
        std::printf("server: %-26s %8.1f ms (%.1f x the file, target 2 x; processor %7.1f ms)  hits %ld%s\n",
                    cases[i].name, m.total, m.total / onFile[i].total, m.cpu, m.count,
                    m.count == onFile[i].count ? "" : "  HITS DIFFER");
    }
    return 0;
}
