#include "nutrition/UnitMatching.h"

#include "core/Interaction.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "model/ClIngredient.h"
#include "model/ClRecipe.h"
#include "nutrition/FoodTables.h"

#include <algorithm>

namespace pf {

namespace {

// Quantities below half a thousandth count as none.
constexpr Decimal4 kNoQuantity = Decimal4::FromTicks(5);

// A line without a quantity ("Salz", "Ei") stands for one unit of what it names.
Decimal4 AtLeastOne(Decimal4 quantity)
{
    return quantity < kNoQuantity ? Decimal4::FromLong(1) : quantity;
}

bool IsBaseUnit(long unit)
{
    return unit == FoodTables::kGram || unit == FoodTables::kMillilitre;
}

// The condition and value that select a food by its key: an ID when numeric, else its code.
std::pair<std::string, Value> FoodCondition(const std::string& key)
{
    const Decimal4 numeric = Decimal4::Parse(key);
    if (numeric > Decimal4())
        return {"T_BLS_KEY.ID=?", Value(static_cast<long>(numeric.Ticks() / Decimal4::kScale))};
    return {"T_BLS_KEY.SBLS=?", Value(key)};
}

bool HasFood(const std::string& key)
{
    return !key.empty() && key != "0";
}

// A line whose grams were set by hand can teach its food what one of its units weighs; a line
// without unit counts in mean portions and has no unit to teach.
bool Learnable(const ConversionLine& line)
{
    return line.Changed && HasFood(line.FoodKey) && line.OrgUnit > 0 && line.Quantity > Decimal4();
}

} // namespace

UnitMatching::UnitMatching(Database& db, const FoodTables& tables) : m_db(db), m_tables(tables) {}

std::string LineText(const ConversionLine& line)
{
    std::string text;
    for (const std::string* part : {&line.MengeTxt, &line.UnitName, &line.Ingredient}) {
        if (part->empty())
            continue;
        if (!text.empty())
            text += ' ';
        text += *part;
    }
    if (!line.Verarbeitung.empty())
        text += ", " + line.Verarbeitung;
    return text;
}

bool UnitMatching::NextID(long recipeId)
{
    m_lines.clear();
    ClRecipe recipe;
    recipe.SetDB(&m_db);
    if (!recipe.LoadByID(recipeId, 2, true))
        return false;
    m_recipeId = recipeId;
    m_title = recipe.Title();
    m_yield = recipe.Yield();
    for (int i = 1; i <= recipe.IngredCount(); ++i) {
        const ClIngredient& source = recipe.Ingredient(i);
        if (source.IsTrenner())
            continue;
        ConversionLine line;
        line.No = i;
        line.Ingredient = source.Ingredient();
        line.Verarbeitung = source.Verarbeitung();
        line.Zubereitung = source.Zubereitung();
        line.MengeTxt = source.MengeTxt();
        line.OrgQuantity = source.OrgMeasurement();
        line.OrgUnit = source.EinheitID();
        line.FoodKey = source.IsRecipe() ? std::string() : source.BLSid();
        if (source.IsRecipe())
            line.LeftOut = "Unterrezept";
        else
            Convert(line);
        m_lines.push_back(std::move(line));
    }
    return true;
}

void UnitMatching::Convert(ConversionLine& line)
{
    line.Quantity = line.OrgQuantity;
    line.Unit = line.OrgUnit;
    line.UnitName = m_tables.Scale(line.OrgUnit).LongName;
    line.LeftOut.clear();
    if (!HasFood(line.FoodKey)) {
        line.LeftOut = "ohne Nahrungsmittel";
        return;
    }
    const auto [condition, key] = FoodCondition(line.FoodKey);
    auto rs =
        m_db.OpenRecordset("SELECT ST,ProduktStandardEinheit,ProduktStandardMenge,ProduktAlternativEinheit,"
                           "ProduktAlternativMenge,GP FROM T_BLS_DAT INNER JOIN T_BLS_KEY ON "
                           "T_BLS_DAT.SBLS=T_BLS_KEY.SBLS WHERE " +
                               condition,
                           {key});
    if (rs->Eof()) {
        line.LeftOut = "Nahrungsmittel nicht vorhanden";
        return;
    }
    line.FoodName = rs->Field("ST").AsText();
    if (line.Skip) {
        line.LeftOut = "ausgelassen";
        return;
    }
    const std::string unitText = "Einheit " +
                                 (line.UnitName.empty() ? std::to_string(line.Unit) : line.UnitName) +
                                 " ohne Gewichtsangabe";
    // "2 Eier" weigh what one egg weighs, twice; a line in the food's own unit without quantity
    // ("Ei", "Tasse Mehl") is one such unit.
    for (const auto& [unitColumn, gramColumn] :
         {std::pair{"ProduktStandardEinheit", "ProduktStandardMenge"},
          std::pair{"ProduktAlternativEinheit", "ProduktAlternativMenge"}}) {
        const long foodUnit = static_cast<long>(rs->Field(unitColumn).AsLong());
        if (foodUnit > 0 && foodUnit == line.Unit) {
            line.Quantity = AtLeastOne(line.Quantity) * rs->Field(gramColumn).AsCurrency();
            line.Unit = FoodTables::kGram;
            if (line.Quantity <= Decimal4())
                line.LeftOut = unitText;
            return;
        }
    }
    if (line.Unit <= 0) {
        // Without a unit the count is of the food's mean portions ("Möhre" is a portion of carrots),
        // not of pieces: a piece only counts where the line says "Stück".
        line.Quantity = AtLeastOne(line.Quantity) * rs->Field("GP").AsCurrency();
        line.Unit = FoodTables::kGram;
        if (line.Quantity <= Decimal4())
            line.LeftOut = "ohne Einheit und ohne Portionsgewicht";
        return;
    }
    if (IsBaseUnit(line.Unit)) {
        // Grams and millilitres are taken as written: a missing amount of them stays missing.
        if (line.Quantity < kNoQuantity)
            line.LeftOut = "ohne Mengenangabe";
        return;
    }
    // Any other unit through the unit table; a unit that weighs nothing there (tin, bunch) or
    // converts to something that is not a base unit is not counted.
    const UnitScale& scale = m_tables.Scale(line.Unit);
    line.Unit = scale.ScaleIndex;
    line.Quantity = AtLeastOne(line.Quantity) * scale.ScaleValue;
    if (!IsBaseUnit(line.Unit) || line.Quantity <= Decimal4())
        line.LeftOut = unitText;
}

void UnitMatching::SetGrams(std::size_t index, Decimal4 grams)
{
    if (index >= m_lines.size())
        return;
    ConversionLine& line = m_lines[index];
    line.Quantity = grams;
    line.Unit = FoodTables::kGram;
    line.Changed = true;
    if (line.LeftOut != "ohne Nahrungsmittel" && line.LeftOut != "Nahrungsmittel nicht vorhanden" &&
        line.LeftOut != "Unterrezept")
        line.LeftOut = line.Skip ? "ausgelassen" : (grams > Decimal4() ? "" : "ohne Mengenangabe");
}

void UnitMatching::SetSkip(std::size_t index, bool skip)
{
    if (index >= m_lines.size() || m_lines[index].Skip == skip)
        return;
    ConversionLine& line = m_lines[index];
    line.Skip = skip;
    if (line.Changed) {
        SetGrams(index, line.Quantity);
    } else if (line.LeftOut != "Unterrezept") {
        Convert(line);
    }
}

NutrientTable UnitMatching::Calculate() const
{
    NutrientTable table(m_db, m_tables);
    table.SetServings(Servings());
    std::vector<NutrientTable::FoodAmount> items;
    for (const ConversionLine& line : m_lines) {
        if (line.LeftOut.empty() && !line.Skip && line.Quantity > Decimal4() && IsBaseUnit(line.Unit))
            items.push_back({line.FoodKey, line.Quantity});
    }
    table.AddAll(items);
    return table;
}

std::vector<const ConversionLine*> UnitMatching::LeftOutLines() const
{
    std::vector<const ConversionLine*> out;
    for (const ConversionLine& line : m_lines)
        if (!line.LeftOut.empty())
            out.push_back(&line);
    return out;
}

bool UnitMatching::Learn(std::size_t index, bool primary)
{
    if (index >= m_lines.size() || !Learnable(m_lines[index]))
        return false;
    const ConversionLine& line = m_lines[index];
    const Decimal4 perUnit = line.Quantity / AtLeastOne(line.OrgQuantity);
    const auto [condition, key] = FoodCondition(line.FoodKey);
    const std::string columns = primary ? "ProduktStandardEinheit=?,ProduktStandardMenge=?"
                                        : "ProduktAlternativEinheit=?,ProduktAlternativMenge=?";
    return m_db.Execute("UPDATE T_BLS_KEY SET " + columns + " WHERE " + condition,
                        {line.OrgUnit, perUnit, key}) > 0;
}

int UnitMatching::LearnChanged(Interaction& ui)
{
    if (std::none_of(m_lines.begin(), m_lines.end(), Learnable))
        return 0;
    if (ui.Ask("Es wurden Nahrungsmittel Einheiten/Mengen-Zuordnungen verändert. Sollen diese Werte in der "
               "BLS-Datenbank gespeichert (\"gelernt\") werden ?",
               Buttons::YesNo, Answer::No, MsgIcon::Question, "BLS Standardeinheiten") != Answer::Yes)
        return 0;
    int learned = 0;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const ConversionLine& line = m_lines[i];
        if (!Learnable(line))
            continue;
        const auto [condition, key] = FoodCondition(line.FoodKey);
        auto rs =
            m_db.OpenRecordset("SELECT ProduktStandardEinheit,ProduktStandardMenge,ProduktAlternativEinheit,"
                               "ProduktAlternativMenge FROM T_BLS_KEY WHERE " +
                                   condition,
                               {key});
        if (rs->Eof())
            continue;
        auto assignment = [&](const char* unitColumn, const char* gramColumn) {
            const long unit = static_cast<long>(rs->Field(unitColumn).AsLong());
            if (unit <= 0)
                return std::string("< nicht definiert >");
            return m_tables.Scale(unit).LongName + " " +
                   FormatGrouped(rs->Field(gramColumn).AsCurrency(), 2) + " Gramm";
        };
        const std::vector<std::string> choices = {
            "Primär-Angabe: " + assignment("ProduktStandardEinheit", "ProduktStandardMenge"),
            "Sekundär-Angabe: " + assignment("ProduktAlternativEinheit", "ProduktAlternativMenge")};
        const auto chosen = ui.ChooseItem(line.Ingredient + ": welche Zuordnung soll ersetzt werden?",
                                          choices, "BLS Standardeinheiten");
        if (chosen && (*chosen == 0 || *chosen == 1) && Learn(i, *chosen == 0))
            ++learned;
    }
    return learned;
}

} // namespace pf
