#include "model/RecipeRows.h"

#include "core/TextConv.h"
#include "core/Trim.h"
#include "core/Utf8.h"
#include "db/Database.h"

#include <cmath>

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

const std::string& InsertHeadSql()
{
    static const std::string sql = [] {
        std::string columns = "ID, FlagDeleted";
        std::string marks = "?, ?";
        for (const char* column : kHeadColumns) {
            columns += std::string(", ") + column;
            marks += ", ?";
        }
        return "INSERT INTO T_REZ_KOPF (" + columns + ") VALUES (" + marks + ")";
    }();
    return sql;
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

void WriteIdRows(Database& db, const char* sql, long recipeId, const std::vector<long>& ids)
{
    for (long id : ids)
        db.Execute(sql, {recipeId, id});
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

void WriteHeadRow(Database& db, const RecipeHead& head, bool update)
{
    if (update) {
        std::vector<Value> values = HeadValues(head);
        values.emplace_back(head.id);
        db.Execute(UpdateHeadSql(), values);
        return;
    }
    std::vector<Value> values;
    values.reserve(std::size(kHeadColumns) + 2);
    values.emplace_back(head.id);
    values.emplace_back(head.isDeleted);
    for (Value& value : HeadValues(head))
        values.push_back(std::move(value));
    db.Execute(InsertHeadSql(), values);
}

void WriteIngredientRow(Database& db, const IngredientRow& row)
{
    if (row.IsTrenner) {
        db.Execute(
            "INSERT INTO T_REZ_ZUTAT (ID, [No], ZutText, ZutTrenner, ZutRezept) VALUES (?, ?, ?, ?, ?)",
            {row.RezID, row.No, CutToColumn(row.Text, kIngredientTextSize), true, false});
        return;
    }
    db.Execute("INSERT INTO T_REZ_ZUTAT (ID, [No], ZutEinh, ZutAnz, ZutTrenner, ZutZubereitung, "
               "ZutVerarbeitung, ZutText, ZutBLSID, ZutRezept) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
               {row.RezID, row.No, row.UnitID, row.Amount, false, row.Zubereitung,
                CutToColumn(row.Verarbeitung, kIngredientNoteSize),
                CutToColumn(row.Text, kIngredientTextSize), row.Reference, row.IsRecipe});
}

void WriteInstructionRows(Database& db, long recipeId, std::string_view text)
{
    const std::u32string points = ToCodePoints(text);
    long no = 1;
    for (std::size_t pos = 0; pos < points.size(); pos += kInstructionRowSize, ++no)
        db.Execute(
            "INSERT INTO T_REZ_ANWEIS (ID, [NO], AnwText) VALUES (?, ?, ?)",
            {recipeId, no, FromCodePoints(std::u32string_view(points).substr(pos, kInstructionRowSize))});
}

void WriteCategoryRows(Database& db, long recipeId, const std::vector<long>& categories)
{
    long no = 0;
    for (long category : categories) {
        ++no;
        db.Execute("INSERT INTO T_REZ_CAT_NDX (ID, CatID, CatPrimary, [No]) VALUES (?, ?, ?, ?)",
                   {recipeId, category, no == 1, no});
    }
}

void WriteBookRows(Database& db, long recipeId, const std::vector<long>& books)
{
    WriteIdRows(db, "INSERT INTO T_REZ_KOCHBUCH (RezID, BuchID) VALUES (?, ?)", recipeId, books);
}

void WriteToolRows(Database& db, long recipeId, const std::vector<long>& tools)
{
    WriteIdRows(db, "INSERT INTO T_REZ_GERAET (RezID, GeraetID) VALUES (?, ?)", recipeId, tools);
}

void DeleteRecipeRows(Database& db, long recipeId)
{
    for (const char* sql :
         {"DELETE FROM T_REZ_KOPF WHERE ID=?", "DELETE FROM T_REZ_ZUTAT WHERE ID=?",
          "DELETE FROM T_REZ_CAT_NDX WHERE ID=?", "DELETE FROM T_REZ_ANWEIS WHERE ID=?",
          "DELETE FROM T_REZ_KOCHBUCH WHERE RezID=?", "DELETE FROM T_REZ_GERAET WHERE RezID=?"})
        db.Execute(sql, {recipeId});
}

} // namespace pf
