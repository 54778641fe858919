// The base data a new database is made from (data/basedata/*.csv), read through the program's own
// load: the tables keep what the program relies on when it looks units up, converts and scales
// quantities, files recipes into categories, computes nutrients and opens a database.

#include "core/TextConv.h"
#include "core/Utf8.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "tests/support/BaseDataDb.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace pf {
namespace {

// One table of the base data as the program loads it into a new database: its columns and the
// values of its rows. A file the load cannot read fails every test here.
struct Table
{
    std::string Name;
    std::vector<std::string> Columns;
    std::vector<std::vector<Value>> Rows;

    std::size_t Col(const std::string& name) const
    {
        for (std::size_t i = 0; i < Columns.size(); ++i)
            if (EqualsNoCase(Columns[i], name))
                return i;
        ADD_FAILURE() << Name << " has no column " << name;
        return 0;
    }
};

Database& BaseDb()
{
    static test::TempDir dir;
    static const std::unique_ptr<Database> db = test::MakeBaseDataDatabase(dir);
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
            std::vector<Value>& row = table.Rows.emplace_back();
            for (int i = 0; i < rs->FieldCount(); ++i)
                row.push_back(rs->Field(i));
        }
    }
    return table;
}

std::string TextOf(const Value& value)
{
    return value.IsNull() ? std::string() : value.AsText();
}

double NumberOf(const Value& value)
{
    return value.IsNull() ? 0 : value.AsDouble();
}

bool BoolOf(const Value& value)
{
    return !value.IsNull() && value.AsBool();
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
            const std::size_t col = table.Col(field.Name);
            for (const auto& row : table.Rows)
                EXPECT_LE(CharLength(TextOf(row[col])), static_cast<std::size_t>(field.Size))
                    << field.Name << ": " << TextOf(row[col]);
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
    const Table& t = Get("T_UNIT");
    const char* nameCols[6] = {"UnitShortD", "UnitNameD",   "UnitShortUK",
                               "UnitNameUK", "UnitShortUS", "UnitNameUS"};
    std::vector<Unit> units;
    for (const auto& row : t.Rows) {
        Unit u;
        u.Id = std::lround(NumberOf(row[t.Col("ID")]));
        for (int i = 0; i < 6; ++i)
            u.Names[i] = TextOf(row[t.Col(nameCols[i])]);
        u.Unscaled = BoolOf(row[t.Col("Unscaled")]);
        u.ConvD = NumberOf(row[t.Col("ConvMetrisch")]);
        u.ConvUS = NumberOf(row[t.Col("ConvMetrischUS")]);
        u.AutoIndex = std::lround(NumberOf(row[t.Col("AutoScaleIndex")]));
        u.AutoValue = NumberOf(row[t.Col("AutoScaleValue")]);
        u.NaehrIndex = std::lround(NumberOf(row[t.Col("NaehrScaleIndex")]));
        u.NaehrValue = NumberOf(row[t.Col("NaehrScaleValue")]);
        units.push_back(u);
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
        rows.push_back({std::lround(NumberOf(row[t.Col("ID")])),
                        {TextOf(row[t.Col("NameD")]), TextOf(row[t.Col("NameE")])}});
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
        const long id = std::lround(NumberOf(row[types.Col("CatTypeID")]));
        EXPECT_TRUE(kinds.insert(id).second) << "kind " << id << " twice";
        if (TextOf(row[types.Col("CatTypeName")]) == "Herkunft")
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
        const long id = std::lround(NumberOf(row[t.Col("ID")]));
        const Cat c{TextOf(row[t.Col("CatNameD")]), std::lround(NumberOf(row[t.Col("CatType")])),
                    std::lround(NumberOf(row[t.Col("CatParent")])),
                    std::lround(NumberOf(row[t.Col("LaenderCode")]))};
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
        const long index = std::lround(NumberOf(row[t.Col("DINDEX")]));
        const std::string key = TextOf(row[t.Col("DKEY")]);
        EXPECT_TRUE(indexes.insert(index).second) << "DINDEX " << index << " twice";
        EXPECT_TRUE(dims.emplace(ToUpper(key), TextOf(row[t.Col("DDIM")])).second) << key << " twice";
        ASSERT_FALSE(key.empty());
        EXPECT_TRUE(std::isupper(static_cast<unsigned char>(key[0])) &&
                    key.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789") == std::string::npos)
            << key << " is no plain column name";
        if (index <= 6)
            continue;
        for (const char* col : {"DDESC", "DDESCE", "DDESCI", "DDESCF", "DDIM"})
            EXPECT_FALSE(TextOf(row[t.Col(col)]).empty()) << key << " " << col;
    }
    // Each descriptor names a column of the food value table.
    if (const TableDef* values = FindSchemaTable("T_BLS_DAT")) {
        for (const auto& [key, dim] : dims)
            EXPECT_TRUE(std::any_of(values->Fields.begin(), values->Fields.end(),
                                    [&](const FieldDef& f) { return EqualsNoCase(f.Name, key); }))
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
        const std::string key = TextOf(row[tree.Col("BLSKEY")]);
        EXPECT_TRUE(keys.insert(key).second) << key << " twice";
        EXPECT_FALSE(key.empty());
        EXPECT_LE(key.size(), 7u) << key << " is longer than a food code";
        EXPECT_FALSE(TextOf(row[tree.Col("BLSDesc")]).empty()) << key;
    }
    const Table& books = Get("T_BUCH");
    ASSERT_EQ(books.Rows.size(), 1u);
    EXPECT_EQ(NumberOf(books.Rows[0][books.Col("ID")]), 0);
    EXPECT_EQ(TextOf(books.Rows[0][books.Col("BuchTitel")]), "Basiskochbuch");
}

} // namespace
} // namespace pf
