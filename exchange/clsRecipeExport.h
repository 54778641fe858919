#pragma once
// The export engine: turns a list of recipes into one output (a file, the clipboard, or an RTF
// document opened in the word processor). One object serves one run: CompleteInit opens the
// medium and places the format's header, ExportRecipe writes one recipe at a time, MediaClose
// writes the trailers and closes. Every content line passes WriteExportLine, which applies the
// umlaut and character-set rules of the mode. Reads recipes from the database, never writes it.
// Errors of the medium are kept in LastErrorText; the run stops on the first one.

#include "model/ClIngredient.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pf {

class ClRecipe;
class Database;

// Bits of the HTML option flags.
namespace htmlflags {
constexpr int kStyleKindMask = 15; // 0 link to pfannola.css, 1 style sheet inline, 2+ fragment
constexpr int kUtf8 = 16;
constexpr int kPicturePathPrefix = 64;
} // namespace htmlflags

// The recipes of an export with the ones they depend on placed before them.
struct ExportList
{
    std::vector<long> Ids;
    std::vector<long> Servings; // per ID; 0 = the recipe's own yield
};

class clsRecipeExport
{
public:
    // The export modes of this engine; the tens digit is the mode type.
    static constexpr int kMealMasterClipboard = 0;
    static constexpr int kMealMasterFile = 1;
    static constexpr int kMealMasterFile2 = 2;
    static constexpr int kDatabaseFile = 20;    // a new database file
    static constexpr int kDatabaseZip = 21;     // the file and a ZIP archive of it
    static constexpr int kDatabaseZipOnly = 22; // only the archive
    static constexpr int kHtmlClipboard = 30;
    static constexpr int kHtmlFile = 31;
    static constexpr int kRtfControl = 40;
    static constexpr int kRtfFile = 41;
    static constexpr int kRtfWord = 42;
    static constexpr int kRezkonvClipboard = 50;
    static constexpr int kRezkonvFile = 51;
    static constexpr int kMensaxClipboard = 60;
    static constexpr int kMensaxFile = 61;
    static constexpr int kCookbookXmlClipboard = 70;
    static constexpr int kCookbookXmlFile = 71;
    static constexpr int kStructureClipboard = 80;
    static constexpr int kCsvClipboard = 90;
    static constexpr int kCsvFile = 91;

    clsRecipeExport();
    ~clsRecipeExport();
    clsRecipeExport(const clsRecipeExport&) = delete;
    clsRecipeExport& operator=(const clsRecipeExport&) = delete;

    // --- mode queries --------------------------------------------------------------------------
    // The name of the mode's type as the export window lists it; empty for types not offered.
    static std::string ModeTypeName(int mode);
    static int GetModeType(int mode) { return mode / 10; }
    static bool isFileBasedExport(int mode);
    // Modes whose output can be appended to an existing file; -1 asks for the current mode.
    bool IsAppendPossible(int mode = -1) const;
    // File-dialog filter of a mode type ("Meal-Master|*.mm").
    static std::string FileFilter(int mode);
    // True for the modes an export run writes (Meal-Master, database copy, HTML, RTF, Rezkonv,
    // Mensax, cookbook XML, recipe structure, CSV); the database modes are run by ExportToDatabase,
    // not by this engine.
    static bool IsSupportedMode(int mode);

    // --- set-up ----------------------------------------------------------------------------------
    void SetDB(Database* db);
    void SetExportMode(int mode) { m_mode = mode; }
    int ExportMode() const { return m_mode; }
    void SetExportFile(const std::string& name, bool append);
    const std::string& ExportFile() const { return m_fileName; }
    // HTML option flags (htmlflags), the picture folder written before picture references and
    // whether the download links close the page.
    void SetHtmlOptions(int flags, std::string picturePath, bool downloadSection);
    // The CSV field separator: ';' (the default) or ','.
    void SetCsvSeparator(char separator) { m_csvSeparator = separator; }
    char CsvSeparator() const { return m_csvSeparator; }
    // Sets mode, file (file-based modes only) and database, then opens the medium (MediaInit).
    bool CompleteInit(int mode, const std::string& fileName, bool append, Database* db);
    // Opens the medium and places the mode's header. An existing target file that is not
    // appended to is renamed to name + ".BAK" first (deleted when that fails).
    bool MediaInit();

    // --- the run ---------------------------------------------------------------------------------
    // Writes one recipe scaled to servings (0 or the recipe's own yield: unscaled); false when it
    // cannot be loaded or the medium fails.
    bool ExportRecipe(long id, long servings);
    // Reads the listed recipes ahead with a few statements for all of them (text and RTF modes),
    // so that ExportRecipe need not load each one on its own. Recipes not read ahead, or whose
    // reading failed, are loaded singly as before.
    void Prefetch(const std::vector<long>& ids);
    // Category names of the recipe being written, primary first (at most limit of them).
    std::vector<std::string> RecipeCategories(ClRecipe& recipe, std::size_t limit = 1000);
    // Looked up once per run: the stored fingerprint "FP1,FP2" of a recipe ("" when it is gone),
    // which sub-recipe lines and menu courses name, and the title of a literature source.
    std::string RecipeFingerprint(long id);
    std::string LiteratureTitle(long quelleId);
    // Writes the trailers (with the listed menus in the formats that carry menus) and closes the
    // medium; clipboard modes put the result on the clipboard, the Word target opens the written
    // file with the desktop's application.
    bool MediaClose(const std::vector<long>& menuIds = {});

    // The recipes a list depends on: parents (RezParent) and sub-recipes (one level), each once
    // and never one already listed, placed before the listed ones, parents first.
    static ExportList Dependencies(Database& db, const ExportList& list, bool withSubRecipes,
                                   bool withParents);

    // --- the line sink and what the format writers share ----------------------------------------
    void WriteExportLine(std::string_view text, bool noNewline = false, bool htmlConvert = false,
                         bool noUtf8 = false);
    // Keeping times of a recipe: "3 Tage ungekühlt, 5 Tage gekühlt, 90 Tage tiefgefroren".
    static std::string KopfHaltbarkeit(const ClRecipe& recipe);
    // Lines written for the current recipe (Meal-Master limits a recipe to 100).
    int& LineCounter() { return m_lineCounter; }
    // Food-key codes of the written ingredient lines, each with a leading ",".
    std::string& FoodKeyCodes() { return m_foodKeyCodes; }
    int HtmlFlags() const { return m_htmlFlags; }
    const std::string& PicturePath() const { return m_picturePath; }
    Database& Db() const;
    // The RTF body built so far (the rich-text target of modes 4x).
    std::string& RtfBody() { return m_rtfBody; }

    // The in-memory result of the clipboard modes (the whole document for RTF).
    const std::string& Result() const { return m_result; }
    const std::string& LastErrorText() const { return m_lastErrorText; }

private:
    struct Prefetched
    {
        std::string Title;
        std::string SourceText;
        std::string Notizen;
        std::string Zubereitung;
        long Yield = 0;
        long YieldUnit = 0;
        long Origin = 0;
        std::array<long, 3> StorageTime{};
        std::int32_t Fingerprint1 = 0;
        std::int32_t Fingerprint2 = 0;
        long LanguageID = 0;
        long SourcebookID = 0;
        long SourcePage = 0;
        std::vector<ClIngredient> Lines;
        std::vector<std::string> Categories;
    };
    void Fill(ClRecipe& recipe, Prefetched& data);

    bool FlushsToFile() const;
    bool WriteToFile(std::string_view text);
    void FlushRecipeBuffer();
    bool OpenFile();
    void AddTitleIndex(const std::string& title);
    void SetError(std::string text);

    Database* m_db = nullptr;
    // The current recipe, reused for every recipe of the run: another database gives the object
    // its own unit lists, which are read once instead of once per recipe.
    std::unique_ptr<ClRecipe> m_recipe;
    std::unordered_map<long, Prefetched> m_prefetched;
    std::unordered_map<long, std::string> m_subFingerprints;
    std::unordered_map<long, std::string> m_literatureTitles;
    std::vector<std::string> m_categories; // of the current recipe when it was read ahead
    bool m_haveCategories = false;
    int m_mode = kMealMasterFile;
    std::string m_fileName;
    bool m_append = false;
    std::ofstream m_file;
    bool m_fileOpen = false;
    bool m_utf8Output = false; // the file's bytes are UTF-8 (else Windows-1252)
    bool m_ansiToUtf8 = false; // the sink reduces lines to the exchange formats' characters
    char m_csvSeparator = ';';

    int m_htmlFlags = htmlflags::kUtf8;
    std::string m_picturePath;
    bool m_htmlDownload = false;

    std::string m_result;
    std::string m_recipeBuffer;
    std::string m_rtfBody;
    std::string m_titleIndex;
    int m_lineCounter = 0;
    std::string m_foodKeyCodes;
    bool m_titleIndexOn = false;
    std::string m_lastErrorText;
};

} // namespace pf
