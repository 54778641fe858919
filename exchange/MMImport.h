#pragma once
// The reader of Meal-Master text files (and of the German Rezkonv variant): finds recipe blocks
// anywhere in a file, reads head fields, single- and two-column ingredient lists with headings,
// continuation lines and source sections, the preparation with its colon lines and the additional
// information block, and hands each recipe to a sink that checks and stores it. The file is read
// line by line as the reader goes, and a recipe is forgotten once the sink has it. The reader itself
// never touches the database; it only looks units up in the unit table it is given.

#include "core/Decimal4.h"
#include "exchange/ImportFile.h"
#include "exchange/ImportRecipe.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pf {

class ClUnit;

// The additional information block after a recipe ("EEEEE-----").
struct MMInfoBlock
{
    std::string Origin;
    std::string Codes; // food-key codes, comma-separated, one per written ingredient line
    std::string Notices;
};

// Where the reader delivers what it read.
class MMImportSink
{
public:
    virtual ~MMImportSink() = default;
    // Checks and stores one recipe; returns the stored ID, 0 when it was not stored.
    virtual long StoreRecipe(ImportRecipe& recipe) = 0;
    // Work on a recipe that needs nothing but the recipe and what stays fixed during the run, done
    // before StoreRecipe. A reader on a thread of its own calls it there, so it must touch nothing
    // that StoreRecipe or the sink's other methods change.
    virtual void PrepareRecipe(ImportRecipe& /*recipe*/) const {}
    // Stores a menu: each course's recipe is looked up by fingerprint, else by title, else by
    // menu-card title (the course description); courses without a recipe are dropped and a menu
    // left without courses is not stored. Returns the menu's ID, 0 when it was not stored.
    virtual long StoreMenu(ImportMenu& /*menu*/) { return 0; }
    // The information block of the recipe stored last (only called for an ID other than 0).
    virtual void StoreInfoBlock(long recipeId, const MMInfoBlock& block) = 0;
    // True when the run is to end after the current recipe.
    virtual bool Cancelled() { return false; }
    // Something in the file that could not be read; the reader goes on where it can. lost: a
    // recipe was not read because of it.
    virtual void ReadProblem(const std::string& /*file*/, long /*line*/, const std::string& /*reason*/,
                             bool /*lost*/)
    {
    }
    // A Mensax file: true when another reader took the whole file over.
    virtual bool ImportMensax(const ImportText& /*file*/) { return false; }
    // The recipe with this fingerprint, stored before or earlier in the run; 0 when there is none.
    virtual long RecipeByFingerprint(std::int32_t /*fp1*/, std::int32_t /*fp2*/) { return 0; }
    // The ID of the food key with this code; 0 when it is unknown.
    virtual long FoodKeyByCode(const std::string& /*code*/) { return 0; }
    // What a file says about itself (the program that wrote it), for the status line.
    virtual void ReadInfo(const std::string& /*text*/) {}
    // The reader has read done of the file's total bytes (for a progress display).
    virtual void Progress(std::size_t /*done*/, std::size_t /*total*/) {}
};

struct MMReadOptions
{
    bool Umlaute = false;   // turn "ae", "oe", "ue", "ss" into umlauts
    bool UmlauteSS = false; // ... but keep "ss"
    bool NoUmlaute = false; // write umlauts as two letters
    std::vector<std::string> SourceWords{"SOURCE", "QUELLE", "ERFASST", "ERFAßT"};
    DateSerial ImportDate;
};

class MMImport
{
public:
    // Longest preparation read; the rest of such a recipe is skipped.
    static constexpr int kMaxPreparationLines = 110;
    static constexpr std::size_t kMaxNoteLength = 64;
    static constexpr std::size_t kMaxTextLength = 255;

    MMImport(ClUnit& units, MMReadOptions options);

    // Reads every recipe of the file into sink; returns the number of recipes handed over.
    long ReadFile(const ImportText& file, MMImportSink& sink);
    // The file read last could not be read to its end: another program shortened it meanwhile,
    // or it became unreadable. The recipe being read then was not handed over.
    bool ReadFailed() const { return m_readFailed; }

    // A line that starts a recipe: "MMMMM" or "-----" with "Meal-Master", or "=====" with
    // "Rezkonv" (left-trimmed).
    static bool IsStartLine(std::string_view line);
    // A heading inside a recipe; line is reduced to the heading's text.
    static bool IsHeadingLine(std::string& line);
    // "1 1/2" 1.5, "1/2" 0.5, "2" 2, "2.95" and "2,95" 2.95, "½" and the like as fractions, a
    // range "1-2" as its lower amount; the same whatever the user's display mode.
    static Decimal4 ParseAmount(std::string_view text);
    // A range of two amounts ("1-2", "1-1 1/2", "1–2"): true with both parts.
    static bool SplitRange(std::string_view text, std::string& lower, std::string& upper);
    // The unit for an abbreviation of the unit column (cached); 0 when none.
    int FindUnit(std::string_view abbreviation);

private:
    enum class Found { End, Start, Mensax, Info };
    struct BlockLine
    {
        std::string Text;
        long LineNo = 0;
    };
    enum class LineResult { Ingredient, EndList };
    struct ParsedLine
    {
        Decimal4 Amount;
        std::string AmountText;
        long UnitID = 0;
        std::string UnitText;
        std::string Text;
        bool HardCut = false; // the text ends with a word cut hard
    };
    // An ingredient line of the Meal-Master export ends at column 39.
    static constexpr std::size_t kMMLineWidth = 39;

    // Makes the next line of the file the current one (repaired as the options say); false at the end.
    bool ReadImportLine();
    std::string Repair(std::string_view raw) const;
    void Unread(std::vector<BlockLine> lines);
    Found FindHeader();
    bool ReadRecipe();
    void ImportCategories(std::string_view value);
    void ImportYield();
    bool ImportZutaten();
    // The lines up to an empty line, an end line or the next recipe.
    std::vector<BlockLine> ReadBlock();
    // A later block without heading continues the list only when every line of it is an ingredient
    // line and one of them has an amount: otherwise it is the preparation.
    bool ContinuesList(const std::vector<BlockLine>& block);
    // Two columns: the right halves follow the left ones, up to the next heading.
    std::vector<BlockLine> OrderColumns(std::vector<BlockLine> block);
    // Acts on a heading in the list; true when it became a separator line.
    bool TakeHeading(const std::string& heading);
    // Adds the lines of a block (taken set when one went in); false when a line of it begins the
    // preparation, which then goes back to the reader.
    bool TakeBlock(const std::vector<BlockLine>& block, bool& taken);
    // Skips empty lines and ends a keeping section; true when another block of the list may follow.
    bool SkipToNextBlock();
    void ImportZubereitung();
    void ImportMMX(long recipeId);
    // "MMMMM" or "-----" alone on a line, indented or not; in a Rezkonv recipe also "=====" at the
    // start of the line, since the writer indents its preparation and a line of "=" in it is text.
    bool IsEndLine(std::string_view line) const;
    bool IsSourceHeading(std::string_view heading) const;
    bool LooksLikeIngredient(const std::string& line);
    bool SplitTwoColumns(std::string& left, std::string& right);
    LineResult ParseIngredient(const std::string& line, ParsedLine& parsed);
    bool ParseFreeForm(const std::string& line, ParsedLine& parsed);
    bool ReadFreeFormBlock(const std::vector<BlockLine>& block);
    void AddIngredient(ParsedLine parsed);
    void AddSourceLine(std::string_view line);
    bool AddKeepingLine(std::string_view line);

    ClUnit& m_units;
    MMReadOptions m_options;
    std::unordered_map<std::string, int> m_unitCache;

    // Reading state of one file.
    const ImportText* m_file = nullptr;
    MMImportSink* m_sink = nullptr;
    std::optional<ImportLineReader> m_lines;
    std::string m_raw; // the line read from the file last, as it stands there
    long m_lineCount = 0;
    std::deque<BlockLine> m_pushback;
    std::string m_cur;
    long m_curNo = 0;
    bool m_hasCur = false;
    bool m_rezkonv = false;
    std::string m_quote; // the quote marks of a recipe quoted in a mail
    std::string m_headerText;
    ImportRecipe m_rec;
    bool m_inSource = false;
    bool m_inKeeping = false;
    bool m_lastHardCut = false; // the ingredient line before ended with a word cut hard
    long m_lastId = 0;
    bool m_readFailed = false;
};

} // namespace pf
