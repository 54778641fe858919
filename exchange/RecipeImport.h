#pragma once
// The import run: reads the listed files (and the files inside listed ZIP archives) with the
// Meal-Master or the Mensax reader, checks every recipe for duplicates by fingerprint and title, lets the
// caller decide about duplicates, stores the recipes straight into the recipe tables in the
// layout ClRecipe reads, keeps the history of imported files and counts what happened.
//
// Recipes are written in transactions of up to 2,000 (or three seconds); each recipe on its own
// savepoint, so a recipe that fails leaves nothing behind and a cancelled or failed run keeps every
// recipe committed before. Other programs may write to the same database meanwhile: each
// transaction takes the write lock first, then reads what others stored since (new IDs, titles and
// fingerprints for the duplicate check), so that any number of runs store every recipe once. A
// lock held by another program is waited for; a full disk or a lost transaction stops the run with
// the counters saying what is stored.

#include "db/SqliteDatabase.h"
#include "exchange/ImportFile.h"
#include "exchange/ImportRecipe.h"
#include "exchange/MMImport.h"
#include "exchange/PositionIndex.h"
#include "model/RecipeRows.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace pf {

class ClUnit;
class Database;
class DbError;
class DbTransaction;

// The preset decision for duplicates (the option group of the import window).
enum class DupePreset {
    Ask,     // "Einzeln nachfragen"
    Replace, // "Vorhandene ersetzen"
    Ignore,  // "Doppelte Rezepte ignorieren"
    Move,    // "Doppelte Rezepte verschieben"
};

std::string DupePresetText(DupePreset preset);

struct RecipeImportOptions
{
    std::vector<std::string> Files; // full paths, in run order
    bool NewCookbook = false;       // create CookbookName on first use
    std::string CookbookName;
    long CookbookID = 0; // an existing target cookbook (0: none, the recipes stand only in "all")
    long LanguageID = 0; // for recipes whose file does not say
    bool Umlaute = false;
    bool UmlauteSS = false;
    bool NoUmlaute = false;
    bool BLS = false;      // match ingredient texts to food keys while storing
    bool Reformat = false; // join the lines of each preparation paragraph
    DupePreset Duplicates = DupePreset::Ask;
    bool DupeTrash = false; // a replaced recipe goes to the trash
    // Recipes per transaction; a transaction also ends after three seconds, so that a crash
    // loses little and other users are not locked out long. The word index writes a part of its
    // own at every commit, each with a list for every trigram the part's recipes hold: a part of
    // 10,000 recipes costs little more than one of 2,000, so larger transactions keep the index
    // at a fraction of its cost per recipe.
    int CommitEvery = 10000;
    // With the "ignore" preset: a recipe whose title is known counts as a duplicate only when its
    // ingredient lines are the same too; otherwise it is stored as a new recipe.
    bool SameContentOnly = false;
    // How long the run waits for a database that another program keeps locked without storing
    // anything, before it stops (keeping what was committed).
    int LockWaitSeconds = 60;
    // Off for a copy into a new database: every recipe is stored as it is, with its fingerprint,
    // even when the source holds two of a title or fingerprint.
    bool CheckDuplicates = true;
};

struct ImportCounters
{
    long Imported = 0; // stored, not as duplicates (replacements included)
    long Replaced = 0;
    long Dupe = 0; // stored as duplicates
    long Skipped = 0;
    long FPKill = 0; // imported fingerprints dropped
    long Faulty = 0; // recipes that could not be read or stored
    long Menus = 0;  // menus stored
    long Files = 0;
    long BLSCount = 0;
    long BLSHit = 0;
    long BLSSearch = 0;
};

// What the duplicate dialog shows about the recipe being imported and the one found.
struct DupeQuestion
{
    std::string ImportTitle;
    DateSerial ImportDate;
    long ImportSource = 0;
    std::string ImportFingerprint; // FingerprintInfoText, empty without fingerprint
    const ImportRecipe* Recipe = nullptr;
    long ExistingID = 0;
    std::string ExistingTitle;
    DateSerial ExistingImportDate;
    long ExistingImportSource = 0;
    std::string ExistingFingerprint;
    std::string Books;          // "Das Rezept ist im Kochbuch " + names, or empty
    std::string Recommendation; // the text after "Empfehlung:"
};

// The duplicate dialog: returns a decision code (dupe::kIgnore, kReplace, kUpdate, kDupeBook, kImport,
// or dupe::kSkip to stop the whole run); noMoreQuestions switches the questions off for the run.
class DupeDecider
{
public:
    virtual ~DupeDecider() = default;
    virtual int Decide(const DupeQuestion& question, bool& noMoreQuestions) = 0;
};

class RecipeImport : public MMImportSink
{
public:
    // db: the database the recipes go to; units: its unit table (null: the program's).
    explicit RecipeImport(Database& db, ClUnit* units = nullptr);
    ~RecipeImport() override;

    RecipeImportOptions& Options() { return m_options; }
    void SetDecider(DupeDecider* decider) { m_decider = decider; }
    // Food-key matching of ingredient texts (with Options().BLS): T_BLS_KEY.ID or 0.
    void SetFoodKeyMatcher(std::function<long(const std::string&)> matcher)
    {
        m_foodKeys = std::move(matcher);
    }
    // Called after each recipe and file, at most every 100 ms: the counters and the last title.
    void SetProgress(std::function<void(const ImportCounters&, const std::string&)> progress)
    {
        m_progress = std::move(progress);
    }
    // Messages while the run goes on (waiting for a locked database); without one they go to the
    // status line.
    void SetNotice(std::function<void(const std::string&)> notice) { m_notice = std::move(notice); }

    // The run over every listed file. False when it could not start (the reason in LastErrorText);
    // problems with single files and recipes are in Problems and the counters.
    bool Import();
    // Reads text that is not a file (the clipboard) through the same run.
    bool ImportFromText(const pf::ImportText& text);
    // A run whose recipes come from elsewhere (another database): source hands every record to
    // StoreRecipe, between the run's start and its end.
    bool ImportRecords(const std::function<void()>& source);

    // Ends the run after the current recipe.
    void Cancel() { m_cancel = true; }
    bool IsCancelled() const { return m_cancel; }

    const ImportCounters& Counters() const { return m_counters; }
    // "Datei, Zeile n: reason" per problem met.
    const std::vector<std::string>& Problems() const { return m_problems; }
    // "Datei, Zeile n: "Titel" ..." per recipe skipped as a duplicate.
    const std::vector<std::string>& SkippedRecipes() const { return m_skippedList; }
    // "importiert: N, übersprungen: N, fehlerhaft: N" (the committed recipes), then a line per
    // recipe stored from a file that ended in the middle of it, and "Menüs: N" when menus were stored.
    std::string Summary() const;
    // The closing message: "Es wurden keine neuen Rezepte importiert" when nothing was stored.
    std::string ClosingMessage() const;
    long TargetBookID() const { return m_bookId; }
    // The date every recipe of the run is stored with (set when the run starts).
    DateSerial GetImportDate() const { return m_runDate; }
    std::string TargetBookName() const { return m_bookName; }
    const std::string& LastErrorText() const { return m_lastErrorText; }

    // The import history: the date a file was imported, when it was.
    static std::optional<DateSerial> ImportedBefore(Database& db, const std::string& file);
    // Asks through UI() whether a file imported before is to be loaded again; true to add it.
    static bool ConfirmAddFile(Database& db, const std::string& file);

    // --- the steps, public for the reader and for tests ------------------------------------------
    long StoreRecipe(ImportRecipe& recipe) override;
    // Fills recipe.Prepared (the cleaned title and the duplicate check's keys).
    void PrepareRecipe(ImportRecipe& recipe) const override;
    long StoreMenu(ImportMenu& menu) override;
    void StoreInfoBlock(long recipeId, const MMInfoBlock& block) override;
    bool Cancelled() override;
    void ReadProblem(const std::string& file, long line, const std::string& reason, bool lost) override;
    bool ImportMensax(const pf::ImportText& file) override;
    long RecipeByFingerprint(std::int32_t fp1, std::int32_t fp2) override;
    long FoodKeyByCode(const std::string& code) override;
    void ReadInfo(const std::string& text) override;
    void Progress(std::size_t done, std::size_t total) override;
    // How far the current file is read, 0 to 100, and its name.
    int FilePercent() const { return m_filePercent; }
    const std::string& CurrentFile() const { return m_currentFile; }
    // Sets the record's decision; may cancel the run.
    void CheckTitle(ImportRecipe& recipe);
    // Stores the record by its decision; the stored ID (0 when skipped). Throws DbError.
    long SaveRez(ImportRecipe& recipe);

private:
    struct Candidate
    {
        // The title is not kept: a million titles would hold hundreds of megabytes. The title map
        // holds a hash of each title's key, and a hit is confirmed with the stored title.
        long ID = 0;
        DateSerial ImportDate;
        std::uint64_t TitleHash = 0;
        // Hash of the LinesKey of its ingredient lines, read when needed (HasLinesHash); equal
        // hashes are confirmed with the stored lines.
        std::size_t LinesHash = 0;
        std::int32_t ImportSource = 0;
        std::int32_t FP1 = 0;
        std::int32_t FP2 = 0;
        bool Alive = true;
        bool HasLinesHash = false;
    };
    // A new recipe whose rows wait to be written with the next ones (see WritePending).
    struct PendingRecipe
    {
        RecipeRowSet Rows;
        long ID = 0;
        std::size_t Candidate = 0; // its entry in m_candidates
        bool Duplicate = false;
        std::string Title;    // as stored
        std::string LinesKey; // the stored lines' key, with SameContentOnly
        std::string Where;
    };
    struct YieldUnit
    {
        long ID = 0;
        std::string NameD;
        std::string NameE;
    };

    bool Prepare();
    void Finish();
    void ImportOneFile(const pf::ImportText& text);
    void ImportListed(const std::string& path);
    bool EnsureBatch();
    bool BeginBatch();
    void ReadNewRows();
    bool CommitBatch();
    void DropBatch();
    // A full disk or a transaction the engine ended (a lost server ends it too): no recipe that
    // follows can be stored either.
    bool IsFatal(const DbError& error) const;
    bool StopOnFatal(const DbError& error);
    // Deletes the rows a failed new recipe left in the batch; false when that failed too (then the
    // batch is dropped and the run stopped).
    bool TakeOutPartialRecipe();
    bool TakeOutRows(const std::vector<long>& ids);
    // Whether each recipe is checked and stored on a savepoint of its own.
    bool Guarded() const;
    // Writes the rows of the recipes that wait for it. When one of them cannot be written, all
    // go again one by one, so that only the faulty recipe is left out (and counted as faulty).
    // False when the run had to stop.
    bool WritePending();
    const PendingRecipe* FindPending(long id) const;
    void ForgetPending(const PendingRecipe& recipe);
    void Stop(const DbError& error);
    void Stop(const std::string& reason);
    void Notice(const std::string& text);
    bool SameLines(Candidate& candidate, const ImportRecipe& recipe);
    std::string StoredLinesKey(long recipeId);
    // titleKey: the TitleKey of the recipe's stored title.
    void AddCandidate(Candidate candidate, const std::string& titleKey);
    static std::uint64_t FP2Key(std::int32_t fp2) { return static_cast<std::uint32_t>(fp2); }
    // The stored title of a recipe ("" when it is gone).
    std::string StoredTitle(long id);
    void ForgetCreatedNames();
    std::vector<std::size_t> FindCandidates(const ImportRecipe& recipe);
    long CourseRecipeID(const ImportCourse& course);
    DupeQuestion MakeQuestion(const ImportRecipe& recipe, const std::vector<std::size_t>& found);
    int PresetDecision() const;
    void NewFingerprint(ImportRecipe& recipe);
    long YieldUnitID(const std::string& text);
    long CategoryID(const std::string& name, bool country);
    long EnsureBook();
    // A cookbook the record names, found by name or created.
    long NamedBookID(const std::string& name, const std::string& description);
    std::string PreparationText(const ImportRecipe& recipe) const;
    // The title as every recipe title is stored, cut to this database's column.
    std::string CleanTitle(std::string_view title) const;
    // The food key of an ingredient line: its own, else the one the lookup finds.
    long FoodKey(const ImportIngredient& line);
    // The steps of SaveRez. CountDecision is false for a recipe that is not stored.
    bool CountDecision(const ImportRecipe& recipe);
    void SettleFingerprint(ImportRecipe& recipe);
    std::vector<long> RecipeCategories(const ImportRecipe& recipe);
    std::vector<long> RecipeBooks(const ImportRecipe& recipe, bool duplicate);
    RecipeHead MakeHead(const ImportRecipe& recipe, long id, const std::string& preparation, bool hasCategory);
    void AddLineRows(const ImportRecipe& recipe, long id, RecipeRowSet& rows);
    // Takes out of ids those the stored recipe is linked to already (sql selects them by its ID).
    void DropLinked(const char* sql, long id, std::vector<long>& ids);
    void SavePicture(long id, long num, const ImportPicture& from, bool replacing);
    void SavePictures(const ImportRecipe& recipe, long id);
    void ShowProgress(const std::string& title, bool force);

    Database& m_db;
    ClUnit* m_units = nullptr;
    std::size_t m_titleSize;
    std::unique_ptr<ClUnit> m_ownUnits;
    RecipeImportOptions m_options;
    DupeDecider* m_decider = nullptr;
    std::function<long(const std::string&)> m_foodKeys;
    std::function<void(const ImportCounters&, const std::string&)> m_progress;
    std::function<void(const std::string&)> m_notice;
    std::unique_ptr<MMImport> m_reader;

    ImportCounters m_counters;
    ImportCounters m_committed; // the counters at the last commit
    std::vector<std::string> m_problems;
    std::vector<std::string> m_skippedList;
    std::vector<std::string> m_incomplete;
    std::string m_lastErrorText;
    bool m_cancel = false;
    std::optional<WriteCacheScope> m_cache; // while a run stores recipes
    bool m_noMoreQuestions = false;
    DateSerial m_runDate;

    // Read when the run's first transaction starts, and the rows others added at every next one.
    // A deque grows without copying what it holds, so a million candidates never exist twice.
    std::deque<Candidate> m_candidates;
    long m_seenId = 0; // the highest recipe ID read or written
    PositionIndex m_byTitle{[this](std::uint32_t p) { return m_candidates[p].TitleHash; }};
    PositionIndex m_byFP2{[this](std::uint32_t p) { return FP2Key(m_candidates[p].FP2); }};
    std::unordered_set<long> m_dupeBook; // recipes in cookbook -2
    std::vector<YieldUnit> m_yieldUnits;
    std::unordered_map<std::string, long> m_yieldByText;
    std::unordered_map<std::string, long> m_categoryByName;
    std::unordered_map<std::string, long> m_foodKeyByCode;
    std::unordered_map<std::string, long> m_bookByName;
    long m_nextId = 1;
    long m_nextSerial = 0;
    long m_serialsLeft = 0;
    long m_creator = 0;
    long m_bookId = 0;
    std::string m_bookName;
    bool m_bookReady = false;
    bool m_namesDropped = false; // a rolled-back batch may have taken categories made in it along

    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t m_killed = kNone; // the candidate the current recipe replaces
    std::unique_ptr<DbTransaction> m_batch;
    int m_inBatch = 0;
    // The batch's new recipes go on the word index's list of recipes to index when it commits.
    bool m_indexBatch = false;
    std::vector<long> m_unindexed;
    std::chrono::steady_clock::time_point m_batchStart{};
    long m_lastStoredId = 0;
    long m_writingId = 0; // the new recipe being written, whose rows a failure takes out
    std::vector<PendingRecipe> m_pending;
    // Recipes whose rows wait at most: many on a server, where each statement is a round trip.
    std::size_t m_pendingLimit = 1;
    std::vector<int> m_lastWrittenLines;
    std::chrono::steady_clock::time_point m_lastProgress{};
    int m_filePercent = 0;
    std::string m_currentFile;
};

} // namespace pf
