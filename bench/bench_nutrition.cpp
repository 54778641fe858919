// What matching ingredient lines to foods and calculating a nutrient table cost. Builds a
// database with 1,200 foods (every value column filled) and 400 synonyms, then measures
// (1) the automatic matching of every ingredient line of N generated recipes (default 100,000,
// ten lines each, a tenth of them naming nothing known) with a cold matcher: target 50,000
// lines/s; (2) the batch run over 10,000 stored recipes, reading and writing the lines;
// (3) the nutrient table of one recipe of 15 lines, unit conversion included: target 5 ms.
// Usage: bench_nutrition [recipes].

#include "core/AppContext.h"
#include "db/BaseData.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "nutrition/FoodAssignment.h"
#include "nutrition/FoodMatcher.h"
#include "nutrition/FoodTables.h"
#include "nutrition/NutrientTable.h"
#include "nutrition/UnitMatching.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

const char* const kFoods[] = {
    "Zwiebel",    "Knoblauch",   "Möhre",       "Sellerie",        "Lauch",      "Kartoffel",
    "Tomate",     "Paprika",     "Zucchini",    "Aubergine",       "Spinat",     "Mangold",
    "Kohl",       "Wirsing",     "Rosenkohl",   "Brokkoli",        "Blumenkohl", "Erbse",
    "Bohne",      "Linse",       "Reis",        "Nudel",           "Mehl",       "Zucker",
    "Salz",       "Pfeffer",     "Kümmel",      "Majoran",         "Thymian",    "Rosmarin",
    "Salbei",     "Petersilie",  "Dill",        "Basilikum",       "Oregano",    "Butter",
    "Sahne",      "Milch",       "Quark",       "Joghurt",         "Käse",       "Parmesan",
    "Mozzarella", "Ei",          "Rindfleisch", "Schweinefleisch", "Hähnchen",   "Pute",
    "Lamm",       "Speck",       "Schinken",    "Lachs",           "Forelle",    "Kabeljau",
    "Garnele",    "Muschel",     "Olivenöl",    "Rapsöl",          "Essig",      "Senf",
    "Honig",      "Zitrone",     "Orange",      "Apfel",           "Birne",      "Pflaume",
    "Kirsche",    "Erdbeere",    "Himbeere",    "Vanille",         "Zimt",       "Nelke",
    "Muskat",     "Ingwer",      "Chili",       "Kokosmilch",      "Mandel",     "Walnuss",
    "Haselnuss",  "Rosine",      "Schokolade",  "Kakao",           "Hefe",       "Backpulver",
    "Grieß",      "Haferflocke", "Gurke",       "Radieschen",      "Rettich",    "Kürbis",
    "Fenchel",    "Spargel",     "Champignon",  "Pfifferling",     "Avocado",    "Banane",
    "Ananas",     "Mango",       "Kiwi",        "Traube"};
const char* const kStates[] = {"",           ", roh",          ", gekocht",    ", getrocknet",
                               ", gebraten", ", tiefgefroren", ", Konserve",   ", gedünstet",
                               ", gegrillt", ", püriert",      ", geräuchert", ", gesalzen"};
const char* const kAdjectives[] = {"", "", "", "frische ", "große ", "kleine ", "rote ", "junge ", "feine "};
const char* const kNotes[] = {
    "", "", "", ", gehackt", ", in Würfeln", ", geschält", "; fein geschnitten", ", nach Geschmack"};
const char* const kUnknown[] = {"Mondstaub",  "Drachenfrucht-Sirup", "Yuzu-Kosho",
                                "Tonkabohne", "Schwarzkümmelöl",     "Sumach"};

std::string Plural(const std::string& name, unsigned pick)
{
    switch (pick % 4) {
    case 0:
        return name;
    case 1:
        return name.back() == 'e' ? name + "n" : name + "en";
    case 2:
        return name + "s";
    default:
        return name;
    }
}

void MakeFoods(pf::Database& db)
{
    const std::vector<pf::TableDef> schema = pf::SchemaTables();
    std::vector<std::string> valueColumns;
    for (const pf::TableDef& table : schema)
        if (table.Name == "T_BLS_DAT")
            for (const pf::FieldDef& field : table.Fields)
                if (field.Type == pf::FieldType::Double)
                    valueColumns.push_back(field.Name);
    db.Execute("DELETE FROM T_BLS_FDESC");
    std::string insertValues = "INSERT INTO T_BLS_DAT (SBLS,GP";
    std::string marks = "?,?";
    for (std::size_t i = 0; i < valueColumns.size(); ++i) {
        db.Execute("INSERT INTO T_BLS_FDESC (DINDEX,DKEY,DDESC,DDIM) VALUES (?,?,?,?)",
                   {static_cast<long>(7 + i), valueColumns[i], "Nährstoff " + valueColumns[i], "mg/100g"});
        insertValues += "," + valueColumns[i];
        marks += ",?";
    }
    insertValues += ") VALUES (" + marks + ")";
    long id = 0;
    for (const char* food : kFoods) {
        for (const char* state : kStates) {
            ++id;
            char code[8];
            std::snprintf(code, sizeof code, "A%04ld00", id % 10000);
            db.Execute("INSERT INTO T_BLS_KEY (ID,SBLS,ST,STE,ProduktHauptFlag,ProduktStandardEinheit,"
                       "ProduktStandardMenge) VALUES (?,?,?,?,?,1,80)",
                       {id, std::string(code), std::string(food) + state, "Food " + std::to_string(id),
                        *state == 0 ? -1 : 0});
            std::vector<pf::Value> values = {std::string(code), 80};
            for (std::size_t i = 0; i < valueColumns.size(); ++i)
                values.emplace_back(static_cast<double>((id * 37 + static_cast<long>(i) * 11) % 900) / 10.0);
            db.Execute(insertValues, values);
            if (*state == 0 && id % 3 == 1) {
                for (int s = 0; s < 12; ++s)
                    db.Execute("INSERT INTO T_INFO_KEY (ID,[KEY],KEYTYPE) VALUES (?,?,3)",
                               {id, std::string(food) + "-Sorte " + std::to_string(s)});
            }
        }
    }
}

std::vector<std::string> MakeLines(long recipes, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(recipes) * 10);
    for (long r = 0; r < recipes * 10; ++r) {
        const auto pick = static_cast<unsigned>(random());
        if (pick % 10 == 0) {
            lines.push_back(kUnknown[pick / 10 % std::size(kUnknown)]);
            continue;
        }
        const std::string food = kFoods[pick / 16 % std::size(kFoods)];
        lines.push_back(std::string(kAdjectives[pick / 7 % std::size(kAdjectives)]) + Plural(food, pick / 3) +
                        kNotes[pick / 5 % std::size(kNotes)]);
    }
    return lines;
}

} // namespace

int main(int argc, char** argv)
{
    const long recipes = argc > 1 ? std::atol(argv[1]) : 100000;
    pf::AppContext app;
    pf::ScopedAppContext scope(app);
    const auto dir = std::filesystem::temp_directory_path() / "pf-bench-nutrition";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    pf::OpenOptions create;
    create.Create = true;
    auto db = pf::Database::OpenSqlite((dir / "foods.db").string(), create);
    pf::CreateTables(*db, pf::SchemaTables());
    {
        pf::DbTransaction trans(*db);
        MakeFoods(*db);
        db->Execute("INSERT INTO T_UNIT (ID,UnitNameD,NaehrScaleIndex,NaehrScaleValue) VALUES "
                    "(1,'Stück',0,0),(7,'Esslöffel',25,15),(31,'Gramm',31,1)");
        trans.Commit();
    }

    // (1) matching of generated lines, cold.
    const std::vector<std::string> lines = MakeLines(recipes, 7);
    auto start = Clock::now();
    pf::FoodMatcher matcher(*db);
    std::size_t found = 0;
    for (const std::string& line : lines)
        found += matcher.MatchFoodForIngredient(line) != 0 ? 1 : 0;
    const double matchSeconds = Seconds(start);
    std::printf("matching: %zu lines of %ld recipes in %.2f s = %.0f lines/s (target 50000), %.1f %% found\n",
                lines.size(), recipes, matchSeconds, static_cast<double>(lines.size()) / matchSeconds,
                100.0 * static_cast<double>(found) / static_cast<double>(lines.size()));

    // (2) the batch run over stored recipes.
    const long stored = std::min<long>(recipes, 10000);
    {
        pf::DbTransaction trans(*db);
        for (long r = 1; r <= stored; ++r) {
            db->Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,RezYield) VALUES (?,?,4)",
                        {r, "Rezept " + std::to_string(r)});
            for (long no = 1; no <= 10; ++no)
                db->Execute("INSERT INTO T_REZ_ZUTAT (ID,[No],ZutTrenner,ZutText,ZutAnz,ZutEinh,ZutRezept) "
                            "VALUES (?,?,0,?,2,7,0)",
                            {r, no, lines[static_cast<std::size_t>((r - 1) * 10 + no - 1)]});
        }
        trans.Commit();
    }
    start = Clock::now();
    pf::FoodMatcher batchMatcher(*db);
    const pf::MatchCounts counts = pf::MatchRecipes(*db, batchMatcher, {});
    const double batchSeconds = Seconds(start);
    std::printf("batch run: %ld recipes, %ld lines in %.2f s = %.0f lines/s (assigned %ld, open %ld)\n",
                stored, counts.Assigned + counts.Open, batchSeconds,
                static_cast<double>(counts.Assigned + counts.Open) / batchSeconds, counts.Assigned,
                counts.Open);

    // (3) the nutrient table of one recipe of 15 lines.
    db->Execute("INSERT INTO T_REZ_KOPF (ID,RezTitle,RezYield) VALUES (999999,'Tabelle',4)");
    for (long no = 1; no <= 15; ++no)
        db->Execute("INSERT INTO T_REZ_ZUTAT (ID,[No],ZutTrenner,ZutText,ZutAnz,ZutEinh,ZutRezept,ZutBLSID) "
                    "VALUES (999999,?,0,'Zutat',?,?,0,?)",
                    {no, no, no % 2 == 0 ? 7L : 31L, no * 12});
    pf::FoodTables tables;
    tables.Load(*db);
    const int rounds = 200;
    start = Clock::now();
    std::size_t shown = 0;
    for (int i = 0; i < rounds; ++i) {
        pf::UnitMatching matching(*db, tables);
        matching.NextID(999999);
        pf::NutrientTable table = matching.Calculate();
        shown += table.ShowItems() ? table.Lines().size() : 0;
    }
    const double tableMs = Seconds(start) * 1000.0 / rounds;
    start = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        pf::UnitMatching matching(*db, tables);
        matching.NextID(999999);
    }
    std::printf("nutrient table: %.2f ms per recipe of 15 lines (%.2f ms reading and converting the lines), "
                "%zu nutrients shown (target 5 ms)\n",
                tableMs, Seconds(start) * 1000.0 / rounds, shown / rounds);
    db.reset();
    std::filesystem::remove_all(dir);
    return 0;
}
