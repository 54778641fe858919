#include "model/RecipeRows.h"

#include "core/TextConv.h"
#include "core/Trim.h"
#include "core/Utf8.h"
#include "db/Database.h"
#include "db/InsertRows.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace pf {

namespace {

Value DateOrNull(DateSerial date)
{
    return date.Days == 0 ? Value() : Value(date);
}

// Keeping times are dates whose day serial is the number of days.
Value DaysOrNull(long days)
{
    return days == 0 ? Value() : Value(DateSerial{static_cast<double>(days)});
}

// The head columns in the order of HeadValues; the trash flag is written only with a new row.
constexpr const char* kHeadColumns[] = {
    "RezTitle",        "RezMenuCard",         "RezYield",     "RezYieldEinh",  "RezSprache",
    "Generic",         "RezQuelle",           "RezQuelleID",  "RezQuellePage", "RezHaltbarLagern",
    "RezHaltbarKuehl", "RezHaltbarTiefkuehl", "Template",     "RezWeinTipp",   "RezImportDate",
    "RezImportSource", "RezParent",           "WPExclude",    "RezZeitVorher", "RezZeitKochen",
    "RezHerkunft",     "RezNotizen",          "Fingerprint1", "Fingerprint2"};

std::vector<Value> HeadValues(const RecipeHead& head)
{
    return {head.Title,
            head.TitleMenuCard,
            head.Yield,
            head.YieldUnit,
            head.LanguageID,
            head.Generic,
            CutToColumn(head.SourceText, kSourceTextSize),
            head.SourcebookID,
            head.SourcePage == 0 ? std::string() : std::to_string(head.SourcePage),
            DaysOrNull(head.StorageTime[0]),
            DaysOrNull(head.StorageTime[1]),
            DaysOrNull(head.StorageTime[2]),
            head.IsTemplate,
            head.WineDegustation,
            DateOrNull(head.Importdate),
            head.ImportSource,
            head.rezparent,
            head.WPExclude,
            DateOrNull(head.PreparationTime),
            DateOrNull(head.CookingTime),
            head.Origin,
            head.Notizen,
            static_cast<long>(head.Fingerprint1),
            static_cast<long>(head.Fingerprint2)};
}

const std::string& UpdateHeadSql()
{
    static const std::string sql = [] {
        std::string set;
        for (const char* column : kHeadColumns)
            set += std::string(set.empty() ? "" : ", ") + column + "=?";
        return "UPDATE T_REZ_KOPF SET " + set + " WHERE ID=?";
    }();
    return sql;
}

// The statement start and the column count of each table of a row set, in its order.
struct RowTable
{
    std::string Insert; // "INSERT INTO table (columns) VALUES "
    std::size_t Columns;
};

const std::array<RowTable, RecipeRowSet::kTables>& RowTables()
{
    static const std::array<RowTable, RecipeRowSet::kTables> tables = [] {
        std::string head = "ID, FlagDeleted";
        for (const char* column : kHeadColumns)
            head += std::string(", ") + column;
        return std::array<RowTable, RecipeRowSet::kTables>{{
            {"INSERT INTO T_REZ_KOPF (" + head + ") VALUES ", std::size(kHeadColumns) + 2},
            {"INSERT INTO T_REZ_ZUTAT (ID, [No], ZutEinh, ZutAnz, ZutTrenner, ZutZubereitung, "
             "ZutVerarbeitung, ZutText, ZutBLSID, ZutRezept) VALUES ",
             10},
            // A heading keeps only its text.
            {"INSERT INTO T_REZ_ZUTAT (ID, [No], ZutText, ZutTrenner, ZutRezept) VALUES ", 5},
            {"INSERT INTO T_REZ_ANWEIS (ID, [NO], AnwText) VALUES ", 3},
            {"INSERT INTO T_REZ_CAT_NDX (ID, CatID, CatPrimary, [No]) VALUES ", 4},
            {"INSERT INTO T_REZ_KOCHBUCH (RezID, BuchID) VALUES ", 2},
            {"INSERT INTO T_REZ_GERAET (RezID, GeraetID) VALUES ", 2},
        }};
    }();
    return tables;
}

} // namespace

std::string CutToColumn(std::string_view text, std::size_t size)
{
    return text.size() <= size ? std::string(text) : CharSubstr(text, 0, size);
}

std::string CleanRecipeTitle(std::string_view title, std::size_t size)
{
    const std::string cleaned = ReplaceSpecialChars(ReplaceSpecialChars(Trim(title, " "), 2), 1);
    return CutToColumn(cleaned, size);
}

std::size_t RecipeTitleSize(Database& db)
{
    try {
        const int size = db.DefinedSize("T_REZ_KOPF", "RezTitle");
        if (size > 0)
            return static_cast<std::size_t>(size);
    } catch (const DbError&) {
    }
    return kRecipeTitleSize;
}

bool HasQuantity(bool isTrenner, Decimal4 amount)
{
    return !isTrenner && amount != Decimal4();
}

bool HasInstructions(std::string_view text)
{
    return !Trim(text).empty();
}

bool IsGenericRecipe(std::string_view instructions, long yield, bool hasCategory, bool hasQuantity)
{
    return !HasInstructions(instructions) || yield == 0 || !hasCategory || !hasQuantity;
}

void RecipeRowSet::AddHead(const RecipeHead& head)
{
    std::vector<Value>& values = m_values[kHeads];
    values.emplace_back(head.id);
    values.emplace_back(head.isDeleted);
    for (Value& value : HeadValues(head))
        values.push_back(std::move(value));
}

void RecipeRowSet::Append(Table table, std::initializer_list<Value> row)
{
    m_values[table].insert(m_values[table].end(), row.begin(), row.end());
}

void RecipeRowSet::AddIngredient(const IngredientRow& row)
{
    if (row.IsTrenner)
        Append(kHeadings, {row.RezID, row.No, CutToColumn(row.Text, kIngredientTextSize), true, false});
    else
        Append(kLines, {row.RezID, row.No, row.UnitID, row.Amount, false, row.Zubereitung,
                        CutToColumn(row.Verarbeitung, kIngredientNoteSize),
                        CutToColumn(row.Text, kIngredientTextSize), row.Reference, row.IsRecipe});
}

void RecipeRowSet::AddInstructions(long recipeId, std::string_view text)
{
    // A text of no more bytes than a row takes code points fits one row whole; only a longer one
    // is cut by code points.
    if (text.size() <= kInstructionRowSize) {
        if (!text.empty())
            Append(kInstructions, {recipeId, 1L, text});
        return;
    }
    const std::u32string points = ToCodePoints(text);
    long no = 1;
    for (std::size_t pos = 0; pos < points.size(); pos += kInstructionRowSize, ++no)
        Append(kInstructions,
               {recipeId, no, FromCodePoints(std::u32string_view(points).substr(pos, kInstructionRowSize))});
}

void RecipeRowSet::AddCategories(long recipeId, const std::vector<long>& categories)
{
    long no = 0;
    for (long category : categories) {
        ++no;
        Append(kCategories, {recipeId, category, no == 1, no});
    }
}

void RecipeRowSet::AddBooks(long recipeId, const std::vector<long>& books)
{
    for (long book : books)
        Append(kBooks, {recipeId, book});
}

void RecipeRowSet::AddTools(long recipeId, const std::vector<long>& tools)
{
    for (long tool : tools)
        Append(kTools, {recipeId, tool});
}

bool RecipeRowSet::Empty() const
{
    return std::all_of(m_values.begin(), m_values.end(), [](const auto& values) { return values.empty(); });
}

void RecipeRowSet::Clear()
{
    for (auto& values : m_values)
        values.clear();
}

void RecipeRowSet::Write(Database& db, const std::vector<const RecipeRowSet*>& sets)
{
    for (std::size_t t = 0; t < kTables; ++t) {
        const RowTable& table = RowTables()[t];
        // One set (every recipe written at once) goes without a copy of its values.
        if (sets.size() == 1) {
            InsertRows(db, table.Insert, table.Columns, sets.front()->m_values[t]);
            continue;
        }
        std::vector<Value> all;
        for (const RecipeRowSet* set : sets)
            all.insert(all.end(), set->m_values[t].begin(), set->m_values[t].end());
        InsertRows(db, table.Insert, table.Columns, all);
    }
}

namespace {

template <typename Add>
void WriteOneSet(Database& db, Add add)
{
    RecipeRowSet rows;
    add(rows);
    rows.Write(db);
}

} // namespace

void WriteHeadRow(Database& db, const RecipeHead& head, bool update)
{
    if (!update) {
        WriteOneSet(db, [&](RecipeRowSet& rows) { rows.AddHead(head); });
        return;
    }
    std::vector<Value> values = HeadValues(head);
    values.emplace_back(head.id);
    db.Execute(UpdateHeadSql(), values);
}

void WriteBookRows(Database& db, long recipeId, const std::vector<long>& books)
{
    WriteOneSet(db, [&](RecipeRowSet& rows) { rows.AddBooks(recipeId, books); });
}

void WriteToolRows(Database& db, long recipeId, const std::vector<long>& tools)
{
    WriteOneSet(db, [&](RecipeRowSet& rows) { rows.AddTools(recipeId, tools); });
}

namespace {

constexpr const char* kContentTables[] = {"T_REZ_KOPF WHERE ID", "T_REZ_ZUTAT WHERE ID", "T_REZ_CAT_NDX WHERE ID",
                                          "T_REZ_ANWEIS WHERE ID"};
constexpr const char* kLinkTables[] = {"T_REZ_KOCHBUCH WHERE RezID", "T_REZ_GERAET WHERE RezID"};

void DeleteFrom(Database& db, const std::vector<const char*>& tables, const std::vector<long>& recipeIds)
{
    if (recipeIds.empty())
        return;
    std::string marks = "?";
    std::vector<Value> ids{recipeIds.front()};
    for (std::size_t i = 1; i < recipeIds.size(); ++i) {
        marks += ", ?";
        ids.emplace_back(recipeIds[i]);
    }
    for (const char* table : tables)
        db.Execute(std::string("DELETE FROM ") + table + (recipeIds.size() == 1 ? "=?" : " IN (" + marks + ")"),
                   ids);
}

} // namespace

void DeleteRecipeRows(Database& db, long recipeId)
{
    DeleteRecipeRows(db, std::vector<long>{recipeId});
}

void DeleteRecipeRows(Database& db, const std::vector<long>& recipeIds)
{
    std::vector<const char*> tables(std::begin(kContentTables), std::end(kContentTables));
    tables.insert(tables.end(), std::begin(kLinkTables), std::end(kLinkTables));
    DeleteFrom(db, tables, recipeIds);
}

void DeleteRecipeContent(Database& db, long recipeId)
{
    DeleteFrom(db, {std::begin(kContentTables), std::end(kContentTables)}, {recipeId});
}

} // namespace pf
