#pragma once
// The in-memory recipe record the file readers fill and the import pipeline stores: everything a
// recipe file can say about one recipe, with names still as text (categories, yield unit, origin)
// so that the pipeline resolves them against the database once per run.

#include "core/Decimal4.h"
#include "db/Value.h"

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace pf {

struct ImportIngredient
{
    bool IsTrenner = false; // a heading inside the list; its text is in Text
    bool IsRecipe = false;  // a sub-recipe reference (RefID is the recipe's ID)
    std::string RefID;      // the food key's or sub-recipe's ID as text
    Decimal4 Amount;
    std::string AmountText;
    long UnitID = 0; // T_UNIT.ID, 0 when the line has none
    std::string UnitText;
    std::string Text;
    std::string Verarbeitung;
    std::string Zubereitung;
};

// A picture of a recipe read from another database, with its number among the recipe's pictures.
struct ImportPicture
{
    long Num = 1;
    Blob Data;        // empty when the picture is kept as a path
    std::string Path; // the file of a picture kept outside the database
    std::string Description;
};

// What the pipeline does with a recipe (the codes of the duplicate dialog).
namespace dupe {
constexpr int kIgnore = 0;   // do not import (counted as skipped)
constexpr int kReplace = 1;  // replace the existing recipe
constexpr int kDupeBook = 3; // store as duplicate beside the existing one
constexpr int kSkip = 4;     // skipped; from the dialog: stop the whole run
constexpr int kImport = 5;   // import as a new recipe
// Replace the existing recipe's head, ingredients, categories and instructions under its ID,
// keeping its pictures, utensils and cookbook links (a recipe edited outside and brought back).
constexpr int kUpdate = 6;
} // namespace dupe

struct ImportRecipe
{
    std::string Title;
    std::string MenuCardTitle;
    long Servings = 0;
    std::string YieldText; // the yield field as read, before it is split into servings and unit
    std::string YieldUnitText;
    long LanguageID = -1; // -1: the file does not say
    std::int32_t FP1 = 0;
    std::int32_t FP2 = 0;
    DateSerial PreparationTime;
    DateSerial CookingTime;
    std::array<long, 3> StorageTime{};
    std::string Zubereitung;
    std::string Notizen;
    std::string SourceText;
    Blob Picture;
    std::string PictureType;
    std::vector<std::string> Categories;
    std::string Origin; // an origin country's name
    bool IsTemplate = false;
    std::vector<ImportIngredient> Lines;
    std::vector<long> Tools; // utensils, IDs of the target database
    // For each ingredient or separator line as written in the file, the index of the record line
    // it became, or -1 for a continuation joined to the line before (food keys follow this).
    std::vector<int> WrittenLines;
    long ImportSource = 2; // 2 Meal-Master, 6 Mensax
    DateSerial ImportDate;
    bool Incomplete = false; // the file ended inside the recipe, before its end line

    // What only another database carries.
    std::vector<std::pair<std::string, std::string>> Cookbooks; // name and description of each
    std::vector<ImportPicture> Pictures;                        // every picture, Picture aside
    std::string WineDegustation;
    long ParentID = 0;     // the parent recipe, already an ID of the target database
    long SourcebookID = 0; // the literature source, already an ID of the target database
    long SourcePage = 0;
    long WPExclude = 0;

    // Worked out by the pipeline before it checks and stores the recipe (on the reading thread when
    // the file is read beside the storing): the title as stored, the three keys a title is compared
    // by (as written, with umlauts made, with umlauts taken apart) and the key of the ingredient
    // lines. Ready is cleared once the recipe is stored, so a changed record gets new keys.
    struct Keys
    {
        bool Ready = false;
        std::string Title;
        std::array<std::string, 3> TitleKeys;
        std::string LinesKey; // only when the check compares ingredient lines
    };
    Keys Prepared;

    // Set by the pipeline.
    int Decision = dupe::kImport;
    long WriteID = 0; // the ID to write, 0 for a new one
    // The recipe the record became; for a duplicate that was skipped, the recipe already there.
    long StoredID = 0;

    // Where the recipe starts, for messages.
    std::string File;
    long Line = 0;
};

// One course of a menu read from a file: the recipe it serves as the file names it.
struct ImportCourse
{
    std::string Title;
    long Amount = 0;
    std::int32_t FP1 = 0;
    std::int32_t FP2 = 0;
    std::string Desc;
    long RecipeID = 0; // found by the reader's sink; 0 when there is none
};

// A menu read from a file, stored by the pipeline as a new menu.
struct ImportMenu
{
    std::string Title;
    std::string Description;
    std::string Notices;
    long Amount = 0;
    DateSerial Date; // today unless the file gives one
    std::vector<ImportCourse> Courses;
    std::string File;
    long Line = 0;
};

} // namespace pf
