#pragma once
// The rows of one recipe as they are stored: the head row (T_REZ_KOPF), the ingredient rows
// (T_REZ_ZUTAT), the instruction rows (T_REZ_ANWEIS) and the category, cookbook and utensil
// links. Every writer of recipe rows (the recipe's own save, the import) goes through these
// functions, so that a title, an instruction row or a quantity is stored by the same rule
// whoever writes it. The functions write inside the caller's transaction and throw DbError.

#include "core/Decimal4.h"
#include "db/Value.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace pf {

class Database;

// The head fields, compared as a whole against the copy taken after each load and save.
struct RecipeHead
{
    long id = 0;
    std::string Title;
    std::string TitleMenuCard;
    long Yield = 0;
    long YieldUnit = 0; // T_REZ_KOPFEINHEIT.ID
    long LanguageID = 0;
    bool Generic = false;
    std::string SourceText;
    long SourcebookID = 0; // T_LITERATUR.QuelleID
    long SourcePage = 0;
    std::array<long, 3> StorageTime{}; // days: pantry, refrigerator, freezer
    bool IsTemplate = false;
    bool isDeleted = false;
    std::string WineDegustation;
    DateSerial Importdate;
    long ImportSource = 0;
    long rezparent = 0;
    long WPExclude = 0;
    DateSerial PreparationTime; // a duration as a time of day
    DateSerial CookingTime;
    long Origin = 0; // a country category
    std::string Notizen;
    std::string Zubereitung;
    std::int32_t Fingerprint1 = 0;
    std::int32_t Fingerprint2 = 0;

    friend bool operator==(const RecipeHead&, const RecipeHead&) = default;
};

// One T_REZ_ZUTAT row. A heading (separator) keeps only its text.
struct IngredientRow
{
    long RezID = 0;
    long No = 0;
    bool IsTrenner = false;
    long UnitID = 0;
    Decimal4 Amount;
    std::string Zubereitung;
    std::string Verarbeitung;
    std::string Text;
    long Reference = 0; // the food key, or the recipe of a sub-recipe line
    bool IsRecipe = false;
};

constexpr std::size_t kRecipeTitleSize = 128;
constexpr std::size_t kInstructionRowSize = 16384; // code points per T_REZ_ANWEIS row
constexpr std::size_t kSourceTextSize = 255;
constexpr std::size_t kIngredientTextSize = 255;
constexpr std::size_t kIngredientNoteSize = 64; // ZutVerarbeitung

// The text as a column of size code points stores it.
std::string CutToColumn(std::string_view text, std::size_t size);

// The title as stored: " becomes ', the characters | ? * % [ ] are dropped, blanks at both ends
// go, and the text is cut to size code points.
std::string CleanRecipeTitle(std::string_view title, std::size_t size = kRecipeTitleSize);
// The defined size of the title column of this database (older files may differ).
std::size_t RecipeTitleSize(Database& db);

// Whether a line counts as a quantity of the recipe: an ingredient with an amount.
bool HasQuantity(bool isTrenner, Decimal4 amount);
// Whether a text counts as instructions: anything but blanks.
bool HasInstructions(std::string_view text);
// An incomplete ("generic") recipe lacks instructions, a yield, a category or a quantity.
bool IsGenericRecipe(std::string_view instructions, long yield, bool hasCategory, bool hasQuantity);

// New rows of one or more recipes, gathered to be written together: each table's rows go in
// multi-row INSERTs, so that a server sees a handful of statements for many recipes instead of
// one round trip per row.
class RecipeRowSet
{
public:
    // A new head row.
    void AddHead(const RecipeHead& head);
    void AddIngredient(const IngredientRow& row);
    // The instruction text in rows of kInstructionRowSize code points, numbered from 1.
    void AddInstructions(long recipeId, std::string_view text);
    // Categories in order, the first one primary.
    void AddCategories(long recipeId, const std::vector<long>& categories);
    void AddBooks(long recipeId, const std::vector<long>& books);
    void AddTools(long recipeId, const std::vector<long>& tools);
    bool Empty() const;
    void Clear();

    // Writes the rows of every set, heads first, table by table; the sets stay as they are.
    // Throws DbError.
    static void Write(Database& db, const std::vector<const RecipeRowSet*>& sets);
    void Write(Database& db) const { Write(db, {this}); }

    enum Table { kHeads, kLines, kHeadings, kInstructions, kCategories, kBooks, kTools, kTables };

private:
    void Append(Table table, std::initializer_list<Value> row);

    std::array<std::vector<Value>, kTables> m_values;
};

// Writes the head row: a new row, or (update) the existing row's columns, the trash flag left
// as it is.
void WriteHeadRow(Database& db, const RecipeHead& head, bool update);
// The links of a recipe to cookbooks and utensils.
void WriteBookRows(Database& db, long recipeId, const std::vector<long>& books);
void WriteToolRows(Database& db, long recipeId, const std::vector<long>& tools);
// Removes every row of the recipe except the pictures.
void DeleteRecipeRows(Database& db, long recipeId);
void DeleteRecipeRows(Database& db, const std::vector<long>& recipeIds);
// Removes the head, ingredient, category and instruction rows of a recipe, keeping its pictures
// and its cookbook and utensil links.
void DeleteRecipeContent(Database& db, long recipeId);

} // namespace pf
