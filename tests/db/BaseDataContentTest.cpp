// The base data a new database is made from (data/basedata/*.csv), read through the program's own
// load: the tables keep what the program relies on when it looks units up, converts and scales
// quantities, files recipes into categories, computes nutrients and opens a database.

#include "core/TextConv.h"
#include "core/Utf8.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "tests/support/BaseDataDb.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace pf {
namespace {

struct Table;

// A row of a base-data table, its values found by column name.
struct Row
{
    const Table* Of;
    std::vector<Value> Values;

    const Value& operator[](const std::string& column) const;
};

// One table of the base data as the program loads it into a new database: its columns and the
// values of its rows. A file the load cannot read fails every test here.
struct Table
{
    std::string Name;
    std::vector<std::string> Columns;
    std::vector<Row> Rows;

    std::size_t Col(const std::string& name) const
    {
        for (std::size_t i = 0; i < Columns.size(); ++i)
            if (EqualsNoCase(Columns[i], name))
                return i;
        ADD_FAILURE() << Name << " has no column " << name;
        return 0;
    }
};

const Value& Row::operator[](const std::string& column) const
{
    return Values[Of->Col(column)];
}

Database& BaseDb()
{
    static test::TempDir dir;
    static const std::unique_ptr<Database> db = test::MakeBaseDataDatabase(dir, "base.db", test::Foods::With);
    if (!db)
        throw std::runtime_error("the base data does not load");
    return *db;
}

const Table& Get(const std::string& name)
{
    static std::map<std::string, Table> tables;
    auto [it, added] = tables.try_emplace(name);
    Table& table = it->second;
    if (added) {
        table.Name = name;
        auto rs = BaseDb().OpenRecordset("SELECT * FROM " + name);
        for (int i = 0; i < rs->FieldCount(); ++i)
            table.Columns.push_back(rs->FieldName(i));
        for (; !rs->Eof(); rs->MoveNext()) {
            Row& row = table.Rows.emplace_back(Row{&table, {}});
            for (int i = 0; i < rs->FieldCount(); ++i)
                row.Values.push_back(rs->Field(i));
        }
    }
    return table;
}

// Every table the base data fills has rows, and no text is longer than its column.
TEST(BaseDataContent, TablesAreFilledAndTextsFitTheirColumns)
{
    for (const char* name :
         {"T_CAT_TYPE", "T_CAT", "T_UNIT", "T_REZ_KOPFEINHEIT", "T_BLS_FDESC", "T_BLS_TREE", "T_BUCH"}) {
        SCOPED_TRACE(name);
        const Table& table = Get(name);
        EXPECT_FALSE(table.Rows.empty());
        const TableDef* def = FindSchemaTable(name);
        ASSERT_TRUE(def);
        for (const FieldDef& field : def->Fields) {
            if (field.Type != FieldType::Text || field.Size <= 0)
                continue;
            for (const Row& row : table.Rows)
                EXPECT_LE(CharLength(row[field.Name].AsText()), static_cast<std::size_t>(field.Size))
                    << field.Name << ": " << row[field.Name].AsText();
        }
    }
}

// The unit table as the program holds it: entries by ID, names compared without case.
struct Unit
{
    long Id = 0;
    std::string Names[6]; // short and long: German, British, American
    bool Unscaled = false;
    double ConvD = 0, ConvUS = 0, AutoValue = 0, NaehrValue = 0;
    long AutoIndex = 0, NaehrIndex = 0;
};

std::vector<Unit> Units()
{
    std::vector<Unit> units;
    for (const Row& row : Get("T_UNIT").Rows) {
        Unit& u = units.emplace_back();
        u.Id = row["ID"].AsLong();
        int i = 0;
        for (const char* name :
             {"UnitShortD", "UnitNameD", "UnitShortUK", "UnitNameUK", "UnitShortUS", "UnitNameUS"})
            u.Names[i++] = row[name].AsText();
        u.Unscaled = row["Unscaled"].AsBool();
        u.ConvD = row["ConvMetrisch"].AsDouble();
        u.ConvUS = row["ConvMetrischUS"].AsDouble();
        u.AutoIndex = row["AutoScaleIndex"].AsLong();
        u.AutoValue = row["AutoScaleValue"].AsDouble();
        u.NaehrIndex = row["NaehrScaleIndex"].AsLong();
        u.NaehrValue = row["NaehrScaleValue"].AsDouble();
    }
    std::sort(units.begin(), units.end(), [](const Unit& a, const Unit& b) { return a.Id < b.Id; });
    return units;
}

// The first unit (by ID) with any name equal to name, ignoring case; null when none.
const Unit* FindUnit(const std::vector<Unit>& units, const std::string& name)
{
    for (const Unit& u : units)
        for (const std::string& n : u.Names)
            if (!n.empty() && EqualsNoCase(n, name))
                return &u;
    return nullptr;
}

bool Converts(double factor)
{
    return factor != 0 && factor != 1;
}

bool Near(double a, double b)
{
    return std::fabs(a - b) <= std::max(0.0005, 0.0005 * std::fabs(b));
}

TEST(BaseDataContent, UnitIdsAreTheirTablePositionsWithGramAndMillilitreAsBases)
{
    const std::vector<Unit> units = Units();
    ASSERT_LE(units.size(), 256u);
    for (std::size_t i = 0; i < units.size(); ++i)
        EXPECT_EQ(units[i].Id, static_cast<long>(i + 1)) << "IDs must run 1, 2, 3 ... without gaps";
    ASSERT_GE(units.size(), 31u);
    EXPECT_EQ(units[30].Names[0], "g");
    EXPECT_EQ(units[30].NaehrIndex, 31);
    EXPECT_EQ(units[24].Names[0], "ml");
    EXPECT_EQ(units[24].NaehrIndex, 25);
}

TEST(BaseDataContent, EveryMealMasterAbbreviationFindsAUnit)
{
    const std::vector<Unit> units = Units();
    const std::map<std::string, std::string> expected = {
        {"t", "Teelöffel"},  {"ts", "Teelöffel"},  {"tb", "Esslöffel"}, {"c", "Tasse"},  {"g", "Gramm"},
        {"kg", "Kilogramm"}, {"ml", "Milliliter"}, {"l", "Liter"},      {"pn", "Prise"}, {"oz", "Gramm"}};
    for (const char* abbreviation : {"x",  "ea", "ts", "t",  "tb", "T",  "c",  "pt", "qt", "ga", "oz", "lb",
                                     "fl", "pn", "dr", "ds", "sm", "md", "lg", "cn", "pk", "ct", "bn", "sl",
                                     "cl", "dl", "l",  "ml", "cb", "mg", "cg", "dg", "g",  "kg"}) {
        const Unit* u = FindUnit(units, abbreviation);
        ASSERT_NE(u, nullptr) << abbreviation;
        const auto it = expected.find(abbreviation);
        if (it != expected.end()) {
            EXPECT_EQ(u->Names[1], it->second) << abbreviation;
        }
    }
}

// What an export writes (British or American short names, German names after conversion) must
// read back as the same quantity: the same unit, or a unit of the measure it was converted into.
TEST(BaseDataContent, UnitNamesReadBackToTheSameQuantity)
{
    const std::vector<Unit> units = Units();
    for (const Unit& u : units) {
        for (int i : {2, 4}) {
            EXPECT_FALSE(u.Names[i].empty()) << u.Id;
            EXPECT_LE(CharLength(u.Names[i]), 2u) << u.Id << " " << u.Names[i] << ": must fit columns 9-10";
            EXPECT_NE(u.Names[i].find_first_not_of(' '), std::string::npos) << u.Id;
        }
        EXPECT_EQ(FindUnit(units, u.Names[2]), &u) << u.Names[2] << " belongs to an earlier unit";
        const auto checkTarget = [&](const std::string& name, double factor) {
            const Unit* found = FindUnit(units, name);
            ASSERT_NE(found, nullptr) << name;
            if (!Converts(factor)) {
                EXPECT_EQ(found, &u) << u.Id << ": " << name << " belongs to unit " << found->Id;
                return;
            }
            EXPECT_FALSE(Converts(found->ConvD) || Converts(found->ConvUS)) << name;
            EXPECT_EQ(found->NaehrIndex, u.NaehrIndex)
                << u.Id << " and " << found->Id << " measure different things";
            EXPECT_TRUE(Near(u.NaehrValue, factor * found->NaehrValue))
                << u.Id << ": " << factor << " x " << found->NaehrValue << " is not " << u.NaehrValue;
        };
        checkTarget(u.Names[4], u.ConvUS);
        checkTarget(u.Names[5], u.ConvUS);
        checkTarget(u.Names[0], u.ConvD);
        checkTarget(u.Names[1], u.ConvD);
    }
}

TEST(BaseDataContent, UnitFactorsAreConsistent)
{
    const std::vector<Unit> units = Units();
    for (const Unit& u : units) {
        EXPECT_GT(u.ConvD, 0) << u.Id;
        EXPECT_GT(u.ConvUS, 0) << u.Id;
        EXPECT_TRUE(u.NaehrIndex == 0 || u.NaehrIndex == 25 || u.NaehrIndex == 31) << u.Id;
        EXPECT_EQ(u.NaehrIndex != 0, u.NaehrValue > 0) << u.Id;
        if (u.Unscaled) {
            EXPECT_EQ(u.NaehrIndex, 0) << u.Id << ": a quantity that never scales has no weight";
        }
        if (u.AutoIndex == 0)
            continue;
        ASSERT_GE(u.AutoIndex, 1) << u.Id;
        ASSERT_LE(static_cast<std::size_t>(u.AutoIndex), units.size()) << u.Id;
        const Unit& larger = units[static_cast<std::size_t>(u.AutoIndex - 1)];
        EXPECT_EQ(larger.NaehrIndex, u.NaehrIndex) << u.Id;
        EXPECT_GT(u.AutoValue, 1) << u.Id;
        EXPECT_TRUE(Near(larger.NaehrValue, u.AutoValue * u.NaehrValue))
            << u.Id << ": " << u.AutoValue << " of it are not one " << larger.Names[1];
    }
}

// The yield-unit lookup of an import: the first row (by ID) whose German or English name begins
// with the text, ignoring case.
TEST(BaseDataContent, YieldUnitsAreFoundByTheirOwnNames)
{
    const Table& t = Get("T_REZ_KOPFEINHEIT");
    std::vector<std::pair<long, std::pair<std::string, std::string>>> rows;
    for (const auto& row : t.Rows)
        rows.push_back({row["ID"].AsLong(), {row["NameD"].AsText(), row["NameE"].AsText()}});
    std::sort(rows.begin(), rows.end());
    const auto lookup = [&](const std::string& text) -> long {
        const std::string upper = ToUpper(text);
        for (const auto& [id, names] : rows)
            if (ToUpper(names.first).starts_with(upper) || ToUpper(names.second).starts_with(upper))
                return id;
        return 0;
    };
    std::set<long> ids;
    for (const auto& [id, names] : rows) {
        EXPECT_TRUE(ids.insert(id).second) << "ID " << id << " twice";
        EXPECT_EQ(lookup(names.first), id) << names.first;
        EXPECT_EQ(lookup(names.second), id) << names.second;
    }
    const long servings = lookup("Servings");
    ASSERT_NE(servings, 0);
    EXPECT_EQ(std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r.first == servings; })
                  ->second.first,
              "Portionen");
    EXPECT_NE(lookup("Rezept"), 0);
}

TEST(BaseDataContent, CategoriesFormTreesOfOneKindWithUniqueNames)
{
    const Table& types = Get("T_CAT_TYPE");
    std::set<long> kinds;
    long originKind = 0;
    for (const auto& row : types.Rows) {
        const long id = row["CatTypeID"].AsLong();
        EXPECT_TRUE(kinds.insert(id).second) << "kind " << id << " twice";
        if (row["CatTypeName"].AsText() == "Herkunft")
            originKind = id;
    }
    ASSERT_NE(originKind, 0);

    const Table& t = Get("T_CAT");
    struct Cat
    {
        std::string Name;
        long Kind, Parent, Code;
    };
    std::map<long, Cat> cats;
    std::set<std::string> names;
    for (const auto& row : t.Rows) {
        const long id = row["ID"].AsLong();
        const Cat c{row["CatNameD"].AsText(), row["CatType"].AsLong(), row["CatParent"].AsLong(),
                    row["LaenderCode"].AsLong()};
        EXPECT_GT(id, 0);
        EXPECT_TRUE(cats.emplace(id, c).second) << "ID " << id << " twice";
        EXPECT_TRUE(names.insert(ToUpper(c.Name)).second)
            << c.Name << " twice: a name finds one category only";
        EXPECT_LE(CharLength(c.Name), 20u) << c.Name << " would be cut on save";
        EXPECT_EQ(c.Name.find_first_of("*?#[\""), std::string::npos) << c.Name << " breaks the LIKE lookups";
        EXPECT_TRUE(!c.Name.empty() && c.Name.front() != ' ' && c.Name.back() != ' ') << c.Name;
        EXPECT_EQ(kinds.count(c.Kind), 1u) << c.Name;
        EXPECT_EQ(c.Kind == originKind, c.Code != 0)
            << c.Name << ": origins and only origins carry a country code";
        EXPECT_NE(c.Code, 99) << c.Name << ": 99 hides a category from the lists";
    }
    std::size_t countries = 0;
    for (const auto& [id, c] : cats) {
        std::set<long> seen{id};
        for (long p = c.Parent; p != 0; p = cats.at(p).Parent) {
            ASSERT_EQ(cats.count(p), 1u) << c.Name << ": parent " << p << " missing";
            ASSERT_TRUE(seen.insert(p).second) << c.Name << ": parent chain loops";
            EXPECT_EQ(cats.at(p).Kind, c.Kind) << c.Name << " sits under another kind";
        }
        if (c.Code > 0 && c.Parent != 0 && cats.at(c.Parent).Code != c.Code)
            ++countries;
    }
    EXPECT_GE(countries, 60u);
}

TEST(BaseDataContent, NutrientDescriptorsLetADatabaseOpenAndWeighFoods)
{
    const Table& t = Get("T_BLS_FDESC");
    std::set<long> indexes;
    std::map<std::string, std::string> dims;
    for (const auto& row : t.Rows) {
        const long index = row["DINDEX"].AsLong();
        const std::string key = row["DKEY"].AsText();
        EXPECT_TRUE(indexes.insert(index).second) << "DINDEX " << index << " twice";
        EXPECT_TRUE(dims.emplace(ToUpper(key), row["DDIM"].AsText()).second) << key << " twice";
        ASSERT_FALSE(key.empty());
        EXPECT_TRUE(std::isupper(static_cast<unsigned char>(key[0])) &&
                    key.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789") == std::string::npos)
            << key << " is no plain column name";
        if (index <= 6)
            continue;
        for (const char* col : {"DDESC", "DDESCE", "DDESCI", "DDESCF", "DDIM"})
            EXPECT_FALSE(row[col].AsText().empty()) << key << " " << col;
    }
    // Each descriptor names a column of the food value table.
    if (const TableDef* values = FindSchemaTable("T_BLS_DAT")) {
        for (const auto& [key, dim] : dims)
            EXPECT_TRUE(std::any_of(values->Fields.begin(), values->Fields.end(),
                                    [&name = key](const FieldDef& f) { return EqualsNoCase(f.Name, name); }))
                << key << " is no column of T_BLS_DAT";
    }
    ASSERT_FALSE(indexes.empty());
    EXPECT_GT(*indexes.rbegin(), 6) << "a database without a nutrient descriptor does not open";
    // The weight of a food is summed from these constituents, and only in mg or myg.
    for (const char* key : {"ZW", "ZE", "ZF", "ZK", "ZB", "ZM", "ZO", "ZA", "KPON"}) {
        ASSERT_EQ(dims.count(key), 1u) << key;
        const std::string dim = ToUpper(dims[key].substr(0, dims[key].find('/')));
        EXPECT_TRUE(dim == "MG" || dim == "MYG") << key << " in " << dims[key];
    }
    EXPECT_EQ(dims.count("GCAL"), 1u);
}

TEST(BaseDataContent, FoodClassesAndTheBaseCookbook)
{
    const Table& tree = Get("T_BLS_TREE");
    std::set<std::string> keys;
    for (const auto& row : tree.Rows) {
        const std::string key = row["BLSKEY"].AsText();
        EXPECT_TRUE(keys.insert(key).second) << key << " twice";
        EXPECT_FALSE(key.empty());
        EXPECT_LE(key.size(), 7u) << key << " is longer than a food code";
        EXPECT_FALSE(row["BLSDesc"].AsText().empty()) << key;
    }
    const Table& books = Get("T_BUCH");
    ASSERT_EQ(books.Rows.size(), 1u);
    EXPECT_EQ(books.Rows[0]["ID"].AsDouble(), 0);
    EXPECT_EQ(books.Rows[0]["BuchTitel"].AsText(), "Basiskochbuch");
}

// ---- the food table --------------------------------------------------------------------------

std::filesystem::path RepoDir()
{
    return std::filesystem::path(PF_TEST_DATA_DIR).parent_path().parent_path();
}

std::map<std::string, std::size_t> ValueRowsByCode()
{
    const Table& values = Get("T_BLS_DAT");
    std::map<std::string, std::size_t> rows;
    for (std::size_t i = 0; i < values.Rows.size(); ++i)
        EXPECT_TRUE(rows.emplace(values.Rows[i]["SBLS"].AsText(), i).second)
            << values.Rows[i]["SBLS"].AsText() << " has two value rows";
    return rows;
}

TEST(BaseDataContent, FoodsHaveUniqueWellFormedCodesInTheClassTreeWithValuesAndUnits)
{
    const Table& foods = Get("T_BLS_KEY");
    const Table& tree = Get("T_BLS_TREE");
    std::set<std::string> classes;
    for (const auto& row : tree.Rows)
        classes.insert(row["BLSKEY"].AsText());
    std::set<long> unitIds;
    for (const Unit& unit : Units())
        unitIds.insert(unit.Id);
    const std::map<std::string, std::size_t> values = ValueRowsByCode();

    std::set<long> ids;
    std::set<std::string> codes;
    std::size_t french = 0, mains = 0;
    for (const auto& row : foods.Rows) {
        const std::string code = row["SBLS"].AsText();
        SCOPED_TRACE(code);
        EXPECT_TRUE(ids.insert(row["ID"].AsLong()).second) << "ID twice";
        EXPECT_TRUE(codes.insert(code).second) << "code twice";
        ASSERT_EQ(code.size(), 7u);
        EXPECT_TRUE(std::isupper(static_cast<unsigned char>(code[0])));
        EXPECT_EQ(code.find_first_not_of("0123456789", 1), std::string::npos);
        EXPECT_TRUE(classes.count(code.substr(0, 1)) && classes.count(code.substr(0, 2))) << "no class";
        EXPECT_TRUE(values.count(code)) << "no value row";
        EXPECT_FALSE(row["ST"].AsText().empty());
        EXPECT_FALSE(row["STE"].AsText().empty());
        french += !row["STF"].AsText().empty();
        mains += row["ProduktHauptFlag"].AsBool();
        EXPECT_FALSE(row["Userflag"].AsBool());
        for (const char* prefix : {"ProduktStandard", "ProduktAlternativ"}) {
            const long unit = row[std::string(prefix) + "Einheit"].AsLong();
            const double grams = row[std::string(prefix) + "Menge"].AsDouble();
            EXPECT_EQ(unit == 0, grams == 0) << prefix << ": a unit needs its grams";
            if (unit != 0) {
                EXPECT_TRUE(unitIds.count(unit)) << prefix << ": unit " << unit;
                EXPECT_GT(grams, 0) << prefix;
            }
        }
    }
    EXPECT_EQ(values.size(), foods.Rows.size()) << "value rows without a food";
    EXPECT_GE(foods.Rows.size(), 1000u);
    EXPECT_GE(french * 10, foods.Rows.size() * 9);
    EXPECT_GE(mains * 2, foods.Rows.size());
}

// The USDA figures come in grams, milligrams and micrograms; the table keeps the main constituents
// in mg so that they add up to the food's 100 g. What the table has no column for (alcohol, acetic
// acid, the carbon dioxide of baking soda) makes some foods fall short, but a column taken over in
// the wrong dimension is off by a factor of 1000.
TEST(BaseDataContent, FoodValuesAddUpToOneHundredGramsAndDeriveEnergyAndSalt)
{
    const Table& values = Get("T_BLS_DAT");
    for (const auto& row : values.Rows) {
        const std::string code = row["SBLS"].AsText();
        SCOPED_TRACE(code + " " + row["SKT"].AsText());
        double sum = 0;
        for (const char* key : {"ZW", "ZE", "ZF", "ZK", "ZM"})
            sum += row[key].AsDouble();
        EXPECT_GE(sum, 30000);
        EXPECT_LE(sum, 105000);
        for (std::size_t c = 0; c < row.Values.size(); ++c) {
            if (values.Columns[c] != "SBLS" && values.Columns[c] != "SKT") {
                EXPECT_GE(row.Values[c].AsDouble(), 0) << values.Columns[c];
            }
        }
        const Value& kcal = row["GCAL"];
        ASSERT_FALSE(kcal.IsNull());
        EXPECT_NEAR(row["GJ"].AsDouble(), kcal.AsDouble() * 4.184, 0.051);
        if (!row["MNA"].IsNull()) {
            EXPECT_NEAR(row["GMKO"].AsDouble(), row["MNA"].AsDouble() * 2.5, 0.051);
        }
        EXPECT_NEAR(row["GKB"].AsDouble(), row["ZK"].AsDouble() / 12000, 0.0051);
    }
}

// A spoon, cup or centilitre of a food is the unit table's volume times the food's density, so the
// food's own weight for it must give a density a kitchen knows: liquids near water, anything else
// between puffed cereal and honey, and the same density through each of its volume units.
TEST(BaseDataContent, FoodWeightsOfVolumeUnitsFollowTheUnitTable)
{
    const Table& foods = Get("T_BLS_KEY");
    const Table& values = Get("T_BLS_DAT");
    const std::map<std::string, std::size_t> byCode = ValueRowsByCode();
    std::map<long, double> millilitres;
    for (const Unit& unit : Units())
        if (unit.NaehrIndex == 25)
            millilitres[unit.Id] = unit.NaehrValue;
    std::size_t checked = 0;
    for (const auto& row : foods.Rows) {
        const std::string code = row["SBLS"].AsText();
        SCOPED_TRACE(code + " " + row["ST"].AsText());
        // Oils, and drinks and milk that are mostly water (not their powders).
        const double water = values.Rows[byCode.at(code)]["ZW"].AsDouble();
        const bool liquid =
            code.compare(0, 2, "Q3") == 0 ||
            ((code[0] == 'N' || code[0] == 'P' || code.compare(0, 2, "M1") == 0) && water >= 70000);
        std::vector<double> densities;
        for (const char* prefix : {"ProduktStandard", "ProduktAlternativ"}) {
            const long unit = row[std::string(prefix) + "Einheit"].AsLong();
            const auto volume = millilitres.find(unit);
            if (volume == millilitres.end())
                continue;
            const double density = row[std::string(prefix) + "Menge"].AsDouble() / volume->second;
            EXPECT_GE(density, liquid ? 0.85 : 0.02) << prefix;
            EXPECT_LE(density, liquid ? 1.15 : 1.45) << prefix;
            densities.push_back(density);
            ++checked;
        }
        if (densities.size() == 2) {
            EXPECT_LE(std::max(densities[0], densities[1]) / std::min(densities[0], densities[1]), 1.5)
                << "two volume units, two densities";
        }
    }
    EXPECT_GE(checked, 400u);
}

TEST(BaseDataContent, SynonymsNameExistingFoodsInTheWordsOfEveryRegion)
{
    const Table& foods = Get("T_BLS_KEY");
    const Table& keys = Get("T_INFO_KEY");
    std::map<long, std::string> names;
    for (const auto& row : foods.Rows)
        names[row["ID"].AsLong()] = row["ST"].AsText();
    std::multimap<std::string, std::string> foodOf; // synonym in upper case -> food name
    std::size_t synonyms = 0;
    std::set<long> languages;
    for (const auto& row : keys.Rows) {
        if (row["KEYTYPE"].AsLong() != 3)
            continue;
        ++synonyms;
        const long id = row["ID"].AsLong();
        const std::string key = row["KEY"].AsText();
        ASSERT_TRUE(names.count(id)) << key << " names no food";
        EXPECT_FALSE(key.empty());
        languages.insert(row["Sprachcode"].AsLong());
        foodOf.emplace(ToUpper(key), names[id]);
    }
    EXPECT_GE(synonyms, 300u);
    // A word names one food: the matcher takes the first of several equal hits, so a synonym shared
    // by two foods, or one that is another food's own name, sends lines to a food by chance.
    std::map<std::string, std::string> ownNames;
    for (const auto& [id, name] : names)
        EXPECT_TRUE(ownNames.emplace(ToUpper(name), name).second) << name << " is the name of two foods";
    for (auto it = foodOf.begin(); it != foodOf.end(); ++it) {
        EXPECT_EQ(foodOf.count(it->first), 1u) << it->first << " names several foods";
        const auto own = ownNames.find(it->first);
        EXPECT_TRUE(own == ownNames.end() || own->second == it->second)
            << it->first << " of " << it->second << " is the name of " << own->second;
    }
    for (long language : {1, 2, 3, 4, 5}) // Germany, Switzerland, Austria, UK, US
        EXPECT_TRUE(languages.count(language)) << language;
    EXPECT_LE(*languages.rbegin(), 9);
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts(1);
    for (const char c : text)
        if (c == separator)
            parts.emplace_back();
        else
            parts.back() += c;
    return parts;
}

// Runs the generator; returns its exit code and what it wrote to stderr.
int RunMakeFoods(test::TempDir& dir, const std::string& foodsDir, const std::string& out,
                 const std::string& usda, std::string& errors)
{
    const std::string units = (RepoDir() / "data/basedata/20_units.csv").string();
    const std::string command = std::string("\"") + PF_MAKEFOODS + "\" \"" + foodsDir + "\" \"" + units +
                                "\" \"" + out + "\"" + (usda.empty() ? "" : " \"" + usda + "\"") + " 2>\"" +
                                dir.File("fehler.txt") + "\"";
    const int status = std::system(command.c_str());
    errors = test::ReadFile(dir.File("fehler.txt"));
    return status;
}

// The checked-in food rows are what the generator writes from the readable tables. Without the
// USDA files (they are not part of the repository) the generator keeps the values of the file it
// rewrites, so that run must reproduce the file too.
TEST(BaseDataContent, FoodFileIsWhatTheGeneratorWrites)
{
    namespace fs = std::filesystem;
    const fs::path repo = RepoDir();
    const fs::path checkedIn = repo / "data/basedata/50_foods.csv";
    const std::string foodsDir = (repo / "data/foods").string();
    test::TempDir dir;
    std::string errors;

    fs::copy_file(checkedIn, dir.File("ohne_usda.csv"));
    EXPECT_EQ(RunMakeFoods(dir, foodsDir, dir.File("ohne_usda.csv"), "", errors), 0) << errors;
    EXPECT_TRUE(test::ReadFile(dir.File("ohne_usda.csv")) == test::ReadFile(checkedIn.string()))
        << "data/foods/*.tsv and data/basedata/50_foods.csv differ: run the target \"foods\"";

    const char* env = std::getenv("PF_USDA_DIR");
    const fs::path usda = env && *env ? fs::path(env) : repo.parent_path() / "shared/data/usda-sr21";
    if (!fs::exists(usda / "ABBREV.txt"))
        GTEST_SKIP() << "USDA SR21 files not found in " << usda.string()
                     << " (set PF_USDA_DIR): the values are not regenerated and compared";
    EXPECT_EQ(RunMakeFoods(dir, foodsDir, dir.File("mit_usda.csv"), usda.string(), errors), 0) << errors;
    EXPECT_TRUE(test::ReadFile(dir.File("mit_usda.csv")) == test::ReadFile(checkedIn.string()))
        << "the values differ from a fresh run over the USDA files: run the target \"foods\"";
}

// One food with a USDA row of known figures, in the release's own format: the values arrive in the
// descriptors' dimensions, with kJ, salt and bread units derived and missing figures left empty.
// Each broken table is refused with its file and line.
TEST(BaseDataContent, GeneratorConvertsUsdaFiguresAndRefusesBrokenTables)
{
    namespace fs = std::filesystem;
    test::TempDir dir;
    const std::string classes = "BLSKEY\tBLSDesc\tBLSDescE\tBLSDescF\tBLSDescI\nG\tGemüse\tVegetables\t\t\n"
                                "G1\tBlattgemüse\tLeaves\t\t\n";
    const std::string header =
        "ID\tSBLS\tST\tSTE\tSTF\tNDB_No\tHaupt\tEinheit\tGramm\tEinheit2\tGramm2\tPortion\tUSDA\n";
    const std::string food =
        "7\tG101100\tProbe\tSample\t\t99001\t1\tStk.\t60\tEL\t12.5\t150\tTest food, raw\n";
    const std::string synonyms = "SBLS\tSynonym\tSprache\nG101100\tVersuch\tDE(A)\n";
    fs::create_directories(dir.File("usda"));
    // 51 fields: water, kcal, protein, fat, ash, carbohydrate, (no fibre), sugar, calcium ... sodium,
    // zinc, copper, ..., (no vitamin C), ...
    std::vector<std::string> abbrev(51, "0");
    abbrev[0] = "~99001~";
    abbrev[1] = "~TEST~";
    const std::pair<int, const char*> figures[] = {
        {2, "50"}, {3, "250"},  {4, "10.5"},  {5, "20"}, {6, "1.5"}, {7, "18"}, {8, ""},
        {9, "3"},  {15, "400"}, {17, "0.25"}, {20, ""},  {42, "4"},  {44, "2"}, {47, "~1 cup~"}};
    for (const auto& [field, text] : figures)
        abbrev[static_cast<std::size_t>(field)] = text;
    std::string abbrevLine;
    for (const std::string& field : abbrev)
        abbrevLine += (abbrevLine.empty() ? "" : "^") + field;
    test::WriteFile(dir.File("usda/ABBREV.txt"), abbrevLine + "\r\n");
    test::WriteFile(dir.File("usda/FOOD_DES.txt"), "~99001~^~1100~^~Test food, raw~^~TEST~^~~\r\n");

    const auto writeTables = [&](const std::string& foods, const std::string& syn) {
        fs::create_directories(dir.File("foods"));
        test::WriteFile(dir.File("foods/foods.tsv"), "# Kommentar\n" + header + foods);
        test::WriteFile(dir.File("foods/classes.tsv"), classes);
        test::WriteFile(dir.File("foods/synonyms.tsv"), syn);
    };
    std::string errors;
    writeTables(food, synonyms);
    ASSERT_EQ(RunMakeFoods(dir, dir.File("foods"), dir.File("out.csv"), dir.File("usda"), errors), 0)
        << errors;

    // The value row by column name.
    std::map<std::string, std::string> values;
    std::vector<std::string> columns;
    std::string section;
    for (std::string line : Split(test::ReadFile(dir.File("out.csv")), '\n')) {
        if (line.ends_with('\r'))
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> fields = Split(line, '\t');
        if (!fields[0].empty()) {
            section = fields[0];
            columns = fields;
        } else if (section == "T_BLS_DAT") {
            for (std::size_t i = 1; i < fields.size() && i < columns.size(); ++i)
                values[columns[i]] = fields[i];
        } else if (section == "T_BLS_KEY") {
            EXPECT_EQ(line, "\t7\t\"G101100\"\t\"Probe\"\t\"Sample\"\t\tTrue\t1\t60\t7\t12.5\tFalse");
        } else if (section == "T_INFO_KEY") {
            EXPECT_EQ(line, "\t7\t\"Versuch\"\t3\t\t3");
        }
    }
    const std::pair<const char*, const char*> expected[] = {
        {"SKT", "\"Probe\""}, {"GP", "150"},   {"GCAL", "250"},  {"GJ", "1046"}, {"ZW", "50000"},
        {"ZE", "10500"},      {"ZF", "20000"}, {"ZK", "18000"},  {"ZM", "1500"}, {"ZB", ""},
        {"KMD", "3000"},      {"MNA", "400"},  {"GMKO", "1000"}, {"MCU", "250"}, {"VC", ""},
        {"GKB", "1.5"},       {"FS", "4000"},  {"FP", "2000"},   {"GFPS", "0.5"}};
    for (const auto& [key, value] : expected)
        EXPECT_EQ(values[key], value) << key;

    struct Broken
    {
        const char* Name;
        std::string Foods, Synonyms, Usda, Message;
    };
    const std::string badSynonyms =
        "SBLS\tSynonym\tSprache\nG101100\tVersuch\tDE(A)\nG109900\tNiemand\tDE(D)\n";
    const Broken broken[] = {
        {"unknown unit", "7\tG101100\tProbe\tSample\t\t99001\t1\tEimer\t60\t\t\t\tTest food, raw\n", synonyms,
         "", "foods.tsv:3: unbekannte Einheit \"Eimer\""},
        {"unit without grams", "7\tG101100\tProbe\tSample\t\t99001\t1\tStk.\t\t\t\t\tTest food, raw\n",
         synonyms, "", "foods.tsv:3: Einheit und Gramm gehören zusammen"},
        {"code twice", food + "8\tG101100\tNoch\tAgain\t\t99001\t0\t\t\t\t\t\tTest food, raw\n", synonyms, "",
         "foods.tsv:4: Code G101100 doppelt"},
        {"ID twice", food + "7\tG102100\tNoch\tAgain\t\t99001\t0\t\t\t\t\t\tTest food, raw\n", synonyms, "",
         "foods.tsv:4: ID 7 doppelt"},
        {"short code", "7\tG1011\tProbe\tSample\t\t99001\t1\t\t\t\t\t\tTest food, raw\n", synonyms, "",
         "kein siebenstelliger Code"},
        {"no class", "7\tG201100\tProbe\tSample\t\t99001\t1\t\t\t\t\t\tTest food, raw\n",
         "SBLS\tSynonym\tSprache\n", "", "die Klasse G2 fehlt"},
        {"synonym of no food", food, badSynonyms, "",
         "synonyms.tsv:3: kein Lebensmittel mit dem Code \"G109900\""},
        {"unknown language", food, "SBLS\tSynonym\tSprache\nG101100\tVersuch\tDE(B)\n", "",
         "synonyms.tsv:2: unbekannte Sprache \"DE(B)\""},
        {"wrong USDA number", "7\tG101100\tProbe\tSample\t\t99001\t1\t\t\t\t\t\tButter, salted\n", synonyms,
         dir.File("usda"), "USDA-Nummer 99001 heißt \"Test food, raw\""},
    };
    for (const Broken& b : broken) {
        SCOPED_TRACE(b.Name);
        writeTables(b.Foods, b.Synonyms);
        const std::string before = test::ReadFile(dir.File("out.csv"));
        EXPECT_NE(RunMakeFoods(dir, dir.File("foods"), dir.File("out.csv"), b.Usda, errors), 0);
        EXPECT_NE(errors.find(b.Message), std::string::npos) << errors;
        EXPECT_EQ(test::ReadFile(dir.File("out.csv")), before) << "a refused run leaves the file as it was";
    }
}

} // namespace
} // namespace pf
