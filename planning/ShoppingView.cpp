#include "planning/ShoppingView.h"

#include "core/Trim.h"
#include "core/Utf8.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "model/ClUnit.h"
#include "planning/ClShoppingList.h"

#include <algorithm>

namespace pf {

namespace {

constexpr int kNotInShop = 999;

int ShopRank(std::string_view code, std::string_view storeLocations)
{
    if (code.size() <= 2)
        return kNotInShop;
    const int position = ShopPosition(code, storeLocations);
    return position == 0 ? kNotInShop : position;
}

std::string_view WithoutQuestionMark(std::string_view code)
{
    if (!code.empty() && code.front() == '?')
        code.remove_prefix(1);
    return code;
}

// A unit counts as a measure when it belongs to a scale of larger and smaller units (g, kg, ml, l,
// TL, EL): only such quantities are added up across units, a "Prise" stays a pinch.
bool IsMeasure(ClUnit& units, int index)
{
    if (index <= 0 || units.NaehrScaleIndex(index) == 0 || units.NaehrScaleValue(index) <= Decimal4())
        return false;
    if (units.AutoScaleIndex(index) != 0)
        return true;
    const long id = units.id(index);
    for (int i = 1; i <= units.Count(); ++i)
        if (units.AutoScaleIndex(i) == id)
            return true;
    return false;
}

bool SameMeasure(ClUnit& units, long unitA, long unitB)
{
    if (unitA == unitB)
        return true;
    const int a = unitA > 0 ? units.GetIndexforID(unitA) : 0;
    const int b = unitB > 0 ? units.GetIndexforID(unitB) : 0;
    return IsMeasure(units, a) && IsMeasure(units, b) && units.NaehrScaleIndex(a) == units.NaehrScaleIndex(b);
}

bool Mergeable(const ClIngredient& line)
{
    return !line.IsTrenner() && line.OrgMeasurement() != Decimal4() && !Trim(line.Ingredient()).empty();
}

// The running sum of one merged line, in the unit of its first line: kept apart from the line, whose
// quantity is rounded to four decimals in whatever unit it has moved up to, so that many small
// additions (60 TL become 20 EL) do not drift.
struct MergeTotal
{
    long Unit = 0;
    double Amount = 0;
};

// Adds the quantity of from to total, then sets into to the sum, moved up its scale while it
// reaches the next unit (1000 g become 1 kg).
void AddQuantity(ClIngredient& into, MergeTotal& total, const ClIngredient& from, ClUnit& units)
{
    double amount = from.OrgMeasurement().ToDouble();
    if (from.EinheitID() != total.Unit) {
        const int a = units.GetIndexforID(total.Unit);
        const int b = units.GetIndexforID(from.EinheitID());
        amount = amount * units.NaehrScaleValue(b).ToDouble() / units.NaehrScaleValue(a).ToDouble();
    }
    total.Amount += amount;
    long unit = total.Unit;
    double sum = total.Amount;
    for (int guard = 0; guard < 8; ++guard) {
        const int index = unit > 0 ? units.GetIndexforID(unit) : 0;
        const double next = index > 0 ? units.AutoScaleValue(index).ToDouble() : 0;
        // Compared as the decimal the list shows: 0.3 + 2.3 + 0.4 TL are 3 TL, one EL, although
        // the binary sum lies a hair below.
        if (index <= 0 || units.AutoScaleIndex(index) == 0 || next <= 0 ||
            Decimal4::FromDouble(sum) < units.AutoScaleValue(index))
            break;
        sum /= next;
        unit = units.AutoScaleIndex(index);
    }
    into.SetEinheitID(unit);
    into.SetOrgMeasurement(Decimal4::FromDouble(sum));
}

} // namespace

int ShopPosition(std::string_view code, std::string_view storeLocations)
{
    if (code.empty() || storeLocations.empty())
        return 0;
    const std::size_t position = storeLocations.find(code.front());
    return position == std::string_view::npos ? 0 : static_cast<int>(position) + 1;
}

bool ShoppingLineAfter(const ShoppingLine& a, const ShoppingLine& b, ShoppingSort sort,
                       std::string_view storeLocations)
{
    switch (sort) {
    case ShoppingSort::Recipe:
        return false;
    case ShoppingSort::Alpha:
        return a.Line.Ingredient() > b.Line.Ingredient();
    case ShoppingSort::Group: {
        const std::string_view codeA = WithoutQuestionMark(a.Code);
        const std::string_view codeB = WithoutQuestionMark(b.Code);
        const char letterA = codeA.empty() ? '\0' : codeA.front();
        const char letterB = codeB.empty() ? '\0' : codeB.front();
        if (letterA != letterB)
            return letterA > letterB;
        break;
    }
    case ShoppingSort::Shop: {
        const int rankA = ShopRank(a.Code, storeLocations);
        const int rankB = ShopRank(b.Code, storeLocations);
        if (rankA != rankB)
            return rankA > rankB;
        break;
    }
    }
    return ToUpper(a.Line.Ingredient()) > ToUpper(b.Line.Ingredient());
}

void SortShoppingLines(std::vector<ShoppingLine>& lines, ShoppingSort sort, std::string_view storeLocations)
{
    if (sort == ShoppingSort::Recipe)
        return;
    for (std::size_t end = lines.size(); end > 1; --end) {
        bool swapped = false;
        for (std::size_t i = 0; i + 1 < end; ++i)
            if (ShoppingLineAfter(lines[i], lines[i + 1], sort, storeLocations)) {
                std::swap(lines[i], lines[i + 1]);
                swapped = true;
            }
        if (!swapped)
            break;
    }
}

std::vector<ShoppingLine> MergeShoppingLines(const std::vector<ShoppingLine>& lines)
{
    std::vector<ShoppingLine> merged;
    std::vector<std::string> keys;
    std::vector<MergeTotal> totals;
    for (const ShoppingLine& line : lines) {
        const bool mergeable = Mergeable(line.Line);
        const std::string key = mergeable ? ToUpper(Trim(line.Line.Ingredient())) : std::string();
        bool done = false;
        if (mergeable) {
            ClUnit& units = line.Line.Units();
            for (std::size_t i = 0; i < merged.size() && !done; ++i) {
                if (keys[i] != key || !SameMeasure(units, merged[i].Line.EinheitID(), line.Line.EinheitID()))
                    continue;
                AddQuantity(merged[i].Line, totals[i], line.Line, units);
                if (merged[i].Code.empty())
                    merged[i].Code = line.Code;
                for (long recipe : line.Recipes)
                    if (std::find(merged[i].Recipes.begin(), merged[i].Recipes.end(), recipe) ==
                        merged[i].Recipes.end())
                        merged[i].Recipes.push_back(recipe);
                done = true;
            }
        }
        if (!done) {
            merged.push_back(line);
            keys.push_back(key);
            totals.push_back({line.Line.EinheitID(), line.Line.OrgMeasurement().ToDouble()});
        }
    }
    return merged;
}

ChoiceList ShopChoices(Database& db)
{
    ChoiceList shops;
    auto rs = db.OpenRecordset("SELECT ID,Name FROM T_ADRESSE WHERE AdrType=2 ORDER BY Name");
    for (; !rs->Eof(); rs->MoveNext())
        shops.push_back({static_cast<long>(rs->Field("ID").AsLong()), rs->Field("Name").AsText()});
    return shops;
}

std::string StoreLocationsOf(Database& db, long shopId)
{
    if (shopId <= 0)
        return {};
    return db.Scalar("SELECT StoreLocations FROM T_ADRESSE WHERE ID=" + std::to_string(shopId)).AsText();
}

std::vector<ShoppingLine> BuildShoppingView(ClShoppingList& list, const ShoppingViewOptions& options)
{
    std::vector<ShoppingLine> lines;
    const int count = list.IngredCount();
    for (int i = 1; i <= count; ++i) {
        const ClIngredient& line = list.Ingred(i);
        if (!options.Complete && line.RezID() != options.RecipeID)
            continue;
        lines.push_back({line, list.LineCode(line), {line.RezID()}});
    }
    if (options.Complete && options.Merge)
        lines = MergeShoppingLines(lines);
    SortShoppingLines(lines, options.Sort, options.StoreLocations);
    return lines;
}

} // namespace pf
