#include "exchange/RecipeImport.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/LeadingNumber.h"
#include "core/Messages.h"
#include "core/TextConv.h"
#include "core/Trim.h"
#include "core/Utf8.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/OpenDatabase.h"
#include "db/Recordset.h"
#include "db/SchemaVersion.h"
#include "db/SearchIndex.h"
#include "exchange/MensaxImport.h"
#include "exchange/ReadAhead.h"
#include "model/ClCategory.h"
#include "model/ClFingerprint.h"
#include "model/ClRecipe.h"
#include "model/ClUnit.h"
#include "model/ProgramUnits.h"
#include "model/RecipeChanges.h"
#include "model/RecipeRows.h"
#include "model/clBlob.h"
#include "model/clBook.h"
#include "planning/ClMenu.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <thread>

namespace pf {

namespace {

constexpr long kSerialBlock = 500;
// New recipes whose rows are written together (see WritePending). On a server every statement
// is a round trip. A file database runs a statement in microseconds, but a recipe alone takes
// several per table (its rows go in statements of a power of two of rows); 32 recipes together
// take about as many, and a file import stores a quarter faster (more recipes gain nothing).
constexpr std::size_t kServerPendingRecipes = 200;
constexpr std::size_t kFilePendingRecipes = 32;
// The engine's page cache while a run stores recipes into a file: at a million recipes the
// title, fingerprint and word indexes no longer fit the usual 2 MB.
constexpr long kImportCacheMegabytes = 64;

// The key a title is compared by: LIKE without wildcards ignores case, umlauts included.
std::string TitleKey(std::string_view title)
{
    return ToLower(Trim(title, " "));
}

// One ingredient line as it is stored, in the text the duplicate check compares recipes by.
std::string LineKey(bool isTrenner, Decimal4 amount, long unit, std::string_view text, std::string_view note)
{
    if (isTrenner)
        return "T\t" + CutToColumn(text, kIngredientTextSize) + '\n';
    return amount.ToString() + "\t" + std::to_string(unit) + "\t" + CutToColumn(text, kIngredientTextSize) +
           "\t" + CutToColumn(note, kIngredientNoteSize) + '\n';
}

// The ingredient lines as they are stored, one text to compare two recipes by.
std::string LinesKey(const ImportRecipe& recipe)
{
    std::string key;
    for (const ImportIngredient& line : recipe.Lines)
        key += LineKey(line.IsTrenner, line.Amount, line.UnitID, line.Text, line.Verarbeitung);
    return key;
}

std::string Where(const ImportRecipe& recipe)
{
    // A recipe from another database has no line; its file names the recipe instead.
    return recipe.File + (recipe.Line > 0 ? ", Zeile " + std::to_string(recipe.Line) : std::string()) +
           ": \"" + recipe.Title + "\"";
}

// Switches the OEM conversion of umlaut elimination off for the life of the object: titles are
// compared and texts stored as UTF-8.
class SuspendOemExport
{
public:
    SuspendOemExport() : m_saved(AppContext::Current().Options.ExportUmlautAnsi)
    {
        AppContext::Current().Options.ExportUmlautAnsi = 0;
    }
    ~SuspendOemExport() { AppContext::Current().Options.ExportUmlautAnsi = m_saved; }
    SuspendOemExport(const SuspendOemExport&) = delete;
    SuspendOemExport& operator=(const SuspendOemExport&) = delete;

private:
    int m_saved;
};

} // namespace

std::string DupePresetText(DupePreset preset)
{
    switch (preset) {
    case DupePreset::Replace:
        return "Vorhandene ersetzen";
    case DupePreset::Move:
        return "Doppelte Rezepte verschieben";
    case DupePreset::Ask:
    case DupePreset::Ignore:
        break;
    }
    return "Doppelte Rezepte ignorieren";
}

RecipeImport::RecipeImport(Database& db, ClUnit* units)
    : m_db(db), m_units(units), m_titleSize(RecipeTitleSize(db))
{
    if (!m_units) {
        m_ownUnits = std::make_unique<ClUnit>();
        m_ownUnits->SetDB(&db);
        m_units = m_ownUnits.get();
    }
}

RecipeImport::~RecipeImport() = default;

std::string RecipeImport::CleanTitle(std::string_view title) const
{
    return CleanRecipeTitle(title, m_titleSize);
}

void RecipeImport::PrepareRecipe(ImportRecipe& recipe) const
{
    ImportRecipe::Keys& keys = recipe.Prepared;
    keys.Title = CleanTitle(recipe.Title);
    const std::string withUmlauts = CharSubstr(RegenerateUmlaute(keys.Title, true, false), 0, m_titleSize);
    const std::string apart = CharSubstr(EliminateUmlaute(keys.Title, true, false), 0, m_titleSize);
    keys.TitleKeys = {TitleKey(keys.Title), TitleKey(withUmlauts), TitleKey(apart)};
    keys.LinesKey = m_options.SameContentOnly ? LinesKey(recipe) : std::string();
    keys.Ready = true;
}

// ---------------------------------------------------------------------------------------------
// History

std::optional<DateSerial> RecipeImport::ImportedBefore(Database& db, const std::string& file)
{
    const Value date = db.Scalar("SELECT Datum FROM T_REZ_IMPORT WHERE FName=? ORDER BY Datum DESC", {file});
    if (date.IsNull())
        return std::nullopt;
    return date.AsDate();
}

bool RecipeImport::ConfirmAddFile(Database& db, const std::string& file)
{
    std::optional<DateSerial> date;
    try {
        date = ImportedBefore(db, file);
    } catch (const DbError&) {
        return true;
    }
    if (!date)
        return true;
    const std::string text = "Die Datei\r\n" + file + "\r\nwurde bereits am " + ShortDateText(*date) +
                             " importiert. Trotzdem erneut laden ?";
    return UI().Ask(text, Buttons::YesNo, Answer::No, MsgIcon::Question, AppContext::Current().AppTitle) ==
           Answer::Yes;
}

// ---------------------------------------------------------------------------------------------
// The run

bool RecipeImport::Prepare()
{
    m_counters = ImportCounters();
    m_committed = ImportCounters();
    m_problems.clear();
    m_skippedList.clear();
    m_incomplete.clear();
    m_lastErrorText.clear();
    m_cancel = false;
    m_noMoreQuestions = false;
    m_runDate = NowSerial();
    m_candidates.clear();
    m_byTitle.Clear();
    m_byFP2.Clear();
    m_dupeBook.clear();
    m_seenId = 0;
    m_nextId = 1;
    m_serialsLeft = 0;
    m_bookReady = false;
    m_namesDropped = true; // nothing known of this database yet
    UI().ResetCancel();
    m_bookId = m_options.NewCookbook ? 0 : m_options.CookbookID;
    m_bookName.clear();
    ShowStatus("Initialisierung ...");
    try {
        // The base cookbook (0) has no member rows but a name the closing caption shows.
        if (!m_options.NewCookbook && m_bookId >= clBook::kBaseBook) {
            clBook book;
            book.SetDB(&m_db);
            book.LoadByID(m_bookId);
            m_bookName = book.Title();
            m_bookReady = true;
        }
    } catch (const DbError& error) {
        m_lastErrorText = error.JoinedDescription();
        return false;
    }
    m_creator = ClFingerprint().GetFingerprintAktCreator("") & ClFingerprint::kCreatorMask;
    m_units->Count();
    MMReadOptions read;
    read.Umlaute = m_options.Umlaute;
    read.UmlauteSS = m_options.UmlauteSS;
    read.NoUmlaute = m_options.NoUmlaute;
    if (!AppContext::Current().ImportSourceWords.empty())
        read.SourceWords = AppContext::Current().ImportSourceWords;
    read.ImportDate = m_runDate;
    m_reader = std::make_unique<MMImport>(*m_units, std::move(read));
    m_batch.reset();
    m_pending.clear();
    m_pendingLimit = IsServerDatabase(m_db) ? kServerPendingRecipes : kFilePendingRecipes;
    // The first transaction reads every recipe for the duplicate check. Cancelled while waiting
    // for a locked database, the run ends without a failure (and Finish gives the cache back).
    m_cache.emplace(m_db, kImportCacheMegabytes);
    if (BeginBatch() || m_lastErrorText.empty())
        return true;
    m_cache.reset();
    return false;
}

bool RecipeImport::Guarded() const
{
    return m_options.Duplicates == DupePreset::Replace || m_options.Duplicates == DupePreset::Ask;
}

bool RecipeImport::EnsureBatch()
{
    if (!m_lastErrorText.empty())
        return false;
    if (m_pending.size() >= m_pendingLimit && !WritePending())
        return false;
    if (m_batch &&
        (m_inBatch >= std::max(1, m_options.CommitEvery) ||
         std::chrono::steady_clock::now() - m_batchStart > std::chrono::seconds(3)) &&
        !CommitBatch())
        return false;
    return m_batch || BeginBatch();
}

bool RecipeImport::BeginBatch()
{
    using Clock = std::chrono::steady_clock;
    auto unchangedSince = Clock::now();
    long lastHighest = -1;
    bool told = false;
    for (;;) {
        try {
            m_batch = std::make_unique<DbTransaction>(m_db);
            break;
        } catch (const DbError& error) {
            if (error.Number() != dberr::kLocked) {
                Stop(error);
                return false;
            }
        }
        // Another program holds the write lock beyond the busy timeout. Wait as long as it keeps
        // storing recipes (another import); give up when nothing has changed for the limit.
        long highest = lastHighest;
        try {
            highest = static_cast<long>(m_db.Scalar("SELECT MAX(ID) FROM T_REZ_KOPF").AsLong());
        } catch (const DbError&) {
        }
        const auto now = Clock::now();
        if (highest != lastHighest) {
            lastHighest = highest;
            unchangedSince = now;
        }
        if (now - unchangedSince >= std::chrono::seconds(m_options.LockWaitSeconds)) {
            Stop(DbError(dberr::kLocked, "Die Datenbank ist von einem anderen Programm gesperrt."));
            return false;
        }
        if (!told) {
            Notice("Aktualisieren nicht möglich; momentan gesperrt. Ein anderes Programm schreibt in die "
                   "Datenbank; der Import wartet.");
            told = true;
        }
        UI().ProcessEvents();
        if (UI().CancelRequested()) {
            m_cancel = true;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (told)
        Notice("Die Datenbank ist wieder frei; der Import geht weiter.");
    m_batchStart = Clock::now();
    m_inBatch = 0;
    m_unindexed.clear();
    try {
        m_indexBatch = SuspendIndexOfNewRecipes(m_db);
        ReadNewRows();
    } catch (const DbError& error) {
        m_batch.reset();
        Stop(error);
        return false;
    }
    return true;
}

void RecipeImport::ReadNewRows()
{
    // Holding the write lock, this sees every recipe another program stored so far; new IDs are
    // above all of them, and the duplicate check knows their titles and fingerprints.
    long highest = m_seenId;
    auto rs = m_db.OpenRecordset("SELECT ID,RezTitle,RezImportDate,RezImportSource,Fingerprint1,Fingerprint2 "
                                 "FROM T_REZ_KOPF WHERE ID>?",
                                 {m_seenId});
    for (; !rs->Eof(); rs->MoveNext()) {
        Candidate c;
        c.ID = static_cast<long>(rs->Field(0).AsLong());
        const Value date = rs->Field(2);
        c.ImportDate = date.IsNull() ? DateSerial() : date.AsDate();
        c.ImportSource = static_cast<std::int32_t>(rs->Field(3).AsLong());
        c.FP1 = static_cast<std::int32_t>(rs->Field(4).AsLong());
        c.FP2 = static_cast<std::int32_t>(rs->Field(5).AsLong());
        highest = std::max(highest, c.ID);
        AddCandidate(std::move(c), TitleKey(rs->Field(1).AsText()));
    }
    auto books =
        m_db.OpenRecordset("SELECT RezID FROM T_REZ_KOCHBUCH WHERE BuchID=-2 AND RezID>?", {m_seenId});
    for (; !books->Eof(); books->MoveNext())
        m_dupeBook.insert(static_cast<long>(books->Field(0).AsLong()));
    m_seenId = highest;
    m_nextId = std::max(m_nextId, highest + 1);
    // Yield units are read again, so that one made by another program meanwhile is found and a
    // new one numbered after it. Categories are looked up in the database whenever the cache does
    // not know a name; the cache is kept unless a rolled-back batch took names made in it along.
    std::unordered_map<std::string, long> categories;
    if (!m_namesDropped)
        categories.swap(m_categoryByName);
    ForgetCreatedNames();
    m_categoryByName.swap(categories);
    m_namesDropped = false;
}

bool RecipeImport::CommitBatch()
{
    if (!m_batch)
        return true;
    if (!WritePending())
        return false;
    try {
        if (m_indexBatch)
            DeferIndexOfNewRecipes(m_db, m_unindexed);
        m_batch->Commit();
    } catch (const DbError& error) {
        DropBatch();
        Stop(error);
        return false;
    }
    m_batch.reset();
    m_committed = m_counters;
    m_inBatch = 0;
    return true;
}

void RecipeImport::DropBatch()
{
    m_batch.reset();
    m_pending.clear();
    m_unindexed.clear();
    m_namesDropped = true;
    // The recipes of the batch are not stored: they count as faulty, not as imported.
    const long lost = m_counters.Imported + m_counters.Dupe - m_committed.Imported - m_committed.Dupe;
    const long faulty = m_counters.Faulty + lost;
    const long skipped = m_counters.Skipped;
    const long files = m_counters.Files;
    m_counters = m_committed;
    m_counters.Faulty = faulty;
    m_counters.Skipped = skipped;
    m_counters.Files = files;
    m_inBatch = 0;
}

bool RecipeImport::IsFatal(const DbError& error) const
{
    return !m_db.InTransaction() || error.Number() == dberr::kDiskFull || error.Number() == dberr::kDiskIO;
}

bool RecipeImport::StopOnFatal(const DbError& error)
{
    if (!IsFatal(error))
        return false;
    // A full disk, or a transaction the engine ended (the server with the connection): keep what
    // can be kept and stop, instead of failing the same way for every recipe that follows.
    const bool broken = !m_db.InTransaction();
    if (broken)
        DropBatch();
    else
        CommitBatch();
    Stop(error);
    return true;
}

void RecipeImport::Stop(const DbError& error)
{
    Stop(error.Description());
}

void RecipeImport::Stop(const std::string& reason)
{
    m_cancel = true;
    if (!m_lastErrorText.empty())
        return;
    const long stored = m_counters.Imported + m_counters.Dupe;
    m_lastErrorText =
        reason + " Der Import wurde beendet; gespeichert sind " + std::to_string(stored) + " Rezepte.";
    if (stored > 0)
        m_lastErrorText += " Ein erneuter Import derselben Dateien übernimmt die übrigen.";
}

void RecipeImport::Notice(const std::string& text)
{
    if (m_notice)
        m_notice(text);
    else
        ShowStatus(text);
}

void RecipeImport::Finish()
{
    CommitBatch();
    m_batch.reset();
    m_cache.reset();
    m_reader.reset();
    ShowProgress({}, true);
    ::pf::ShowProgress(-1, -1, "");
}

bool RecipeImport::Import()
{
    SuspendOemExport suspend;
    // Open lists hear of the imported recipes once, at the end of the run.
    RecipeChangeBatch changes;
    if (!Prepare())
        return false;
    for (const std::string& path : m_options.Files) {
        if (m_cancel || UI().CancelRequested()) {
            m_cancel = true;
            break;
        }
        ImportListed(path);
    }
    Finish();
    return m_lastErrorText.empty();
}

bool RecipeImport::ImportFromText(const pf::ImportText& text)
{
    SuspendOemExport suspend;
    RecipeChangeBatch changes;
    if (!Prepare())
        return false;
    ImportOneFile(text);
    Finish();
    return m_lastErrorText.empty();
}

bool RecipeImport::ImportRecords(const std::function<void()>& source)
{
    SuspendOemExport suspend;
    RecipeChangeBatch changes;
    if (!Prepare())
        return false;
    source();
    Finish();
    return m_lastErrorText.empty();
}

void RecipeImport::ImportListed(const std::string& path)
{
    if (IsZipName(path)) {
        ImportZip zip;
        std::string error;
        if (!zip.Open(path, error)) {
            m_problems.push_back(path + ": " + error);
            return;
        }
        for (const std::string& damaged : zip.Damaged())
            m_problems.push_back(path + ": " + damaged +
                                 (damaged.ends_with("nicht entpackt.") ? "" : " Der Eintrag wird übergangen."));
        for (std::size_t i = 0; i < zip.Files().size() && !m_cancel; ++i) {
            pf::ImportText text;
            if (!ReadImportFile(zip.Files()[i], text, error)) {
                m_problems.push_back(zip.Names()[i] + " (ZIP:" + path + "): " + error);
                continue;
            }
            text.Name = zip.Names()[i] + " (ZIP:" + path + ")";
            ImportOneFile(text);
        }
    } else {
        pf::ImportText text;
        std::string error;
        if (!ReadImportFile(path, text, error)) {
            m_problems.push_back(error);
            return;
        }
        ImportOneFile(text);
    }
    if (m_cancel || !EnsureBatch())
        return;
    try {
        m_db.Execute("INSERT INTO T_REZ_IMPORT (FName, Datum) VALUES (?, ?)", {path, m_runDate});
    } catch (const DbError& error) {
        if (!StopOnFatal(error))
            m_problems.push_back(path + ": " + error.JoinedDescription());
    }
}

void RecipeImport::ImportOneFile(const pf::ImportText& text)
{
    ++m_counters.Files;
    m_currentFile = text.Name;
    m_filePercent = 0;
    ShowStatus(text.Name + ": Datei mit " + std::to_string(text.Size) + " Zeichen Textinhalt");
    m_lastStoredId = 0;
    // The file is read on a second thread while this one stores.
    ReadAhead(*m_reader, text, *this);
    if (m_reader->ReadFailed()) {
        // The rest of the file is unknown; what was read before is stored.
        CommitBatch();
        Stop("Die Datei " + text.Name + " wurde während des Imports gekürzt oder verändert.");
    }
    ShowProgress({}, true);
}

bool RecipeImport::Cancelled()
{
    if (!m_cancel && UI().CancelRequested())
        m_cancel = true;
    return m_cancel;
}

void RecipeImport::ReadProblem(const std::string& file, long line, const std::string& reason, bool lost)
{
    m_problems.push_back(file + ", Zeile " + std::to_string(line) + ": " + reason);
    if (lost)
        ++m_counters.Faulty;
}

bool RecipeImport::ImportMensax(const pf::ImportText& file)
{
    MensaxImport reader(*m_units, m_runDate);
    reader.ReadFile(file, *this);
    if (reader.Declined())
        m_cancel = true;
    return true;
}

long RecipeImport::RecipeByFingerprint(std::int32_t fp1, std::int32_t fp2)
{
    if (!EnsureBatch())
        return 0;
    for (std::uint32_t i : m_byFP2.Find(FP2Key(fp2))) {
        const Candidate& c = m_candidates[i];
        if (c.Alive && c.FP1 == fp1 && c.FP2 == fp2)
            return c.ID;
    }
    return 0;
}

long RecipeImport::FoodKeyByCode(const std::string& code)
{
    if (auto it = m_foodKeyByCode.find(code); it != m_foodKeyByCode.end())
        return it->second;
    long id = 0;
    try {
        id = static_cast<long>(m_db.Scalar("SELECT ID FROM T_BLS_KEY WHERE SBLS=?", {code}).AsLong());
    } catch (const DbError&) {
        return 0; // the line keeps no food key; the recipe itself is stored
    }
    m_foodKeyByCode.emplace(code, id);
    return id;
}

void RecipeImport::ReadInfo(const std::string& text)
{
    ShowStatus(text);
}

void RecipeImport::Progress(std::size_t done, std::size_t total)
{
    m_filePercent = total == 0 ? 100 : static_cast<int>(std::min<std::size_t>(100, done * 100 / total));
}

void RecipeImport::ShowProgress(const std::string& title, bool force)
{
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - m_lastProgress < std::chrono::milliseconds(100))
        return;
    m_lastProgress = now;
    ::pf::ShowProgress(100, m_filePercent, m_currentFile);
    if (m_progress)
        m_progress(m_counters, title);
    UI().ProcessEvents();
}

std::string RecipeImport::Summary() const
{
    // Recipes set aside as duplicates are stored too, in the duplicates cookbook.
    std::string text = "importiert: " + std::to_string(m_counters.Imported + m_counters.Dupe) +
                       ", übersprungen: " + std::to_string(m_counters.Skipped) +
                       ", fehlerhaft: " + std::to_string(m_counters.Faulty);
    for (const std::string& recipe : m_incomplete)
        text += "\nunvollständig: " + recipe;
    if (m_counters.Menus > 0)
        text += "\nMenüs: " + std::to_string(m_counters.Menus);
    return text;
}

std::string RecipeImport::ClosingMessage() const
{
    if (m_counters.Imported == 0 && m_counters.Dupe == 0)
        return "Es wurden keine neuen Rezepte importiert";
    return "Import-Ergebnis in Kochbuch \"" + m_bookName + "\"";
}

// ---------------------------------------------------------------------------------------------
// One recipe

long RecipeImport::StoreRecipe(ImportRecipe& recipe)
{
    if (!EnsureBatch())
        return 0;
    long id = 0;
    // When the check may delete the recipe that is replaced, both happen on one savepoint, so a
    // failure keeps the old recipe. Otherwise a recipe only adds rows under its new ID, and a
    // failure takes them out again: a savepoint would copy every page the recipe touches, a good
    // tenth of the run. Either way the run's maps and counters forget the attempt.
    const ImportCounters before = m_counters;
    const bool bookBefore = m_bookReady;
    const bool guarded = Guarded();
    m_killed = kNone;
    m_writingId = 0;
    if (!recipe.Prepared.Ready)
        PrepareRecipe(recipe);
    try {
        recipe.Decision = dupe::kImport;
        recipe.WriteID = 0;
        recipe.StoredID = 0;
        std::optional<DbTransaction> one;
        if (guarded)
            one.emplace(m_db);
        if (m_options.CheckDuplicates)
            CheckTitle(recipe);
        id = SaveRez(recipe);
        if (one)
            one->Commit();
        // Only a recipe stored whole: a failed one's rows are taken out, or back as they were
        // on a savepoint, index entries included.
        if (m_indexBatch && id != 0)
            m_unindexed.push_back(id);
    } catch (const DbError& error) {
        m_counters = before;
        if (m_killed != kNone)
            m_candidates[m_killed].Alive = true;
        if (guarded && !bookBefore && m_options.NewCookbook) {
            m_bookReady = false;
            m_bookId = 0;
        }
        ForgetCreatedNames();
        id = 0;
        ++m_counters.Faulty;
        if (!guarded && !TakeOutPartialRecipe())
            return 0;
        if (!StopOnFatal(error))
            m_problems.push_back(Where(recipe) + ": " + error.JoinedDescription());
    }
    recipe.Prepared.Ready = false;
    m_lastStoredId = id;
    m_lastWrittenLines = recipe.WrittenLines;
    if (id != 0) {
        ++m_inBatch;
        if (recipe.Incomplete)
            m_incomplete.push_back(Where(recipe) + ": Die Datei endet mitten im Rezept; gespeichert ist, "
                                                   "was bis dahin stand.");
    }
    ShowProgress(recipe.Title, false);
    return recipe.Decision == dupe::kDupeBook ? 0 : id;
}

long RecipeImport::CourseRecipeID(const ImportCourse& course)
{
    long id = course.FP1 != 0 || course.FP2 != 0 ? RecipeByFingerprint(course.FP1, course.FP2) : 0;
    auto first = [&](const char* sql, const std::string& text) {
        auto rs = m_db.OpenRecordset(sql, {Value(text)});
        return rs->Eof() ? 0L : static_cast<long>(rs->Field(0).AsLong());
    };
    if (id == 0 && !course.Title.empty())
        id = first("SELECT ID FROM T_REZ_KOPF WHERE RezTitle=? ORDER BY ID", CleanTitle(course.Title));
    if (id == 0 && !course.Desc.empty())
        id = first("SELECT ID FROM T_REZ_KOPF WHERE RezMenuCard=? ORDER BY ID", course.Desc);
    return id;
}

long RecipeImport::StoreMenu(ImportMenu& menu)
{
    // The courses are looked up among the stored recipes.
    if (!EnsureBatch() || !WritePending())
        return 0;
    const std::string where = menu.File + ", Zeile " + std::to_string(menu.Line);
    try {
        ClMenu stored;
        stored.SetDB(&m_db);
        stored.SetTree(ClMenu::kSpecialTree);
        stored.SetTitle(menu.Title);
        stored.SetYield(menu.Amount);
        stored.SetMenuDate(menu.Date);
        stored.SetDescription(menu.Description);
        stored.SetNotices(menu.Notices);
        for (const ImportCourse& course : menu.Courses) {
            const long recipeId = CourseRecipeID(course);
            if (recipeId == 0)
                continue;
            stored.SetCourseDesc(stored.CourseAdd(recipeId, false, course.Title), course.Desc);
        }
        if (stored.CoursesCount() == 0) {
            m_problems.push_back(
                where + ": Das Menü \"" + menu.Title +
                "\" wurde nicht übernommen, weil keines seiner Rezepte in der Datenbank ist.");
            return 0;
        }
        if (!stored.Save()) {
            m_problems.push_back(where + ": Das Menü \"" + menu.Title +
                                 "\" kann nicht gespeichert werden: " + stored.LastErrorText());
            return 0;
        }
        ++m_counters.Menus;
        ShowProgress("Menü: " + menu.Title, false);
        return stored.id();
    } catch (const DbError& error) {
        if (!StopOnFatal(error))
            m_problems.push_back(where + ": " + error.JoinedDescription());
    }
    return 0;
}

bool RecipeImport::TakeOutPartialRecipe()
{
    return m_writingId == 0 || TakeOutRows({m_writingId});
}

bool RecipeImport::TakeOutRows(const std::vector<long>& ids)
{
    if (!m_db.InTransaction())
        return true; // the engine has undone the batch itself
    try {
        // The batch's recipes go on the index's list only at its commit: it must not hear of these rows.
        RemoveUnindexedRows(m_db, [&] { DeleteRecipeRows(m_db, ids); });
    } catch (const DbError& error) {
        DropBatch();
        Stop(error);
        return false;
    }
    return true;
}

const RecipeImport::PendingRecipe* RecipeImport::FindPending(long id) const
{
    const auto found = std::find_if(m_pending.begin(), m_pending.end(),
                                    [id](const PendingRecipe& p) { return p.ID == id; });
    return found == m_pending.end() ? nullptr : &*found;
}

void RecipeImport::ForgetPending(const PendingRecipe& recipe)
{
    m_candidates[recipe.Candidate].Alive = false;
    if (recipe.Duplicate) {
        m_dupeBook.erase(recipe.ID);
        --m_counters.Dupe;
    } else {
        --m_counters.Imported;
    }
    ++m_counters.Faulty;
    std::erase(m_unindexed, recipe.ID);
}

bool RecipeImport::WritePending()
{
    if (m_pending.empty())
        return true;
    std::vector<PendingRecipe> pending;
    pending.swap(m_pending);
    std::vector<const RecipeRowSet*> sets;
    std::vector<long> ids;
    for (const PendingRecipe& recipe : pending) {
        sets.push_back(&recipe.Rows);
        ids.push_back(recipe.ID);
    }
    try {
        RecipeRowSet::Write(m_db, sets);
        return true;
    } catch (const DbError& error) {
        // Some rows may be written: all go again, recipe by recipe, so that a faulty recipe
        // leaves nothing behind and takes no other along.
        if (!TakeOutRows(ids))
            return false;
        if (IsFatal(error)) {
            for (const PendingRecipe& recipe : pending)
                ForgetPending(recipe);
            StopOnFatal(error);
            return false;
        }
    }
    for (std::size_t i = 0; i < pending.size(); ++i) {
        try {
            pending[i].Rows.Write(m_db);
        } catch (const DbError& error) {
            if (!TakeOutRows({pending[i].ID}))
                return false;
            ForgetPending(pending[i]);
            if (IsFatal(error)) {
                for (std::size_t j = i + 1; j < pending.size(); ++j)
                    ForgetPending(pending[j]);
                StopOnFatal(error);
                return false;
            }
            m_problems.push_back(pending[i].Where + ": " + error.JoinedDescription());
        }
    }
    return true;
}

std::string RecipeImport::StoredLinesKey(long recipeId)
{
    if (const PendingRecipe* pending = FindPending(recipeId))
        return pending->LinesKey;
    std::string key;
    auto rs = m_db.OpenRecordset("SELECT ZutTrenner,ZutAnz,ZutEinh,ZutText,ZutVerarbeitung FROM T_REZ_ZUTAT "
                                 "WHERE ID=? ORDER BY [No]",
                                 {recipeId});
    for (; !rs->Eof(); rs->MoveNext()) {
        const bool isTrenner = rs->Field(0).AsBool();
        key += isTrenner ? LineKey(true, {}, 0, rs->Field(3).AsText(), {})
                         : LineKey(false, rs->Field(1).AsCurrency(), static_cast<long>(rs->Field(2).AsLong()),
                                   rs->Field(3).AsText(), rs->Field(4).AsText());
    }
    return key;
}

bool RecipeImport::SameLines(Candidate& candidate, const ImportRecipe& recipe)
{
    // Only a hash of each known recipe's lines is kept, so that a long run does not hold the lines
    // of every recipe; the stored lines decide when the hashes agree.
    const std::string& key = recipe.Prepared.LinesKey;
    std::optional<std::string> stored;
    if (!candidate.HasLinesHash) {
        stored = StoredLinesKey(candidate.ID);
        candidate.LinesHash = std::hash<std::string>{}(*stored);
        candidate.HasLinesHash = true;
    }
    if (candidate.LinesHash != std::hash<std::string>{}(key))
        return false;
    if (!stored)
        stored = StoredLinesKey(candidate.ID);
    return *stored == key;
}

void RecipeImport::ForgetCreatedNames()
{
    // Categories and yield units made on a savepoint that was rolled back are gone again.
    m_categoryByName.clear();
    m_bookByName.clear();
    m_yieldByText.clear();
    m_yieldUnits.clear();
    try {
        auto units = m_db.OpenRecordset("SELECT * FROM T_REZ_KOPFEINHEIT ORDER BY ID");
        for (; !units->Eof(); units->MoveNext())
            m_yieldUnits.push_back({static_cast<long>(units->Field("ID").AsLong()),
                                    units->Field("NameD").AsText(), units->Field("NameE").AsText()});
    } catch (const DbError&) {
    }
}

void RecipeImport::AddCandidate(Candidate candidate, const std::string& titleKey)
{
    const auto index = static_cast<std::uint32_t>(m_candidates.size());
    candidate.TitleHash = std::hash<std::string>{}(titleKey);
    const bool withFP2 = candidate.FP2 != 0;
    m_candidates.push_back(std::move(candidate));
    m_byTitle.Add(index);
    if (withFP2)
        m_byFP2.Add(index);
}

std::string RecipeImport::StoredTitle(long id)
{
    if (const PendingRecipe* pending = FindPending(id))
        return pending->Title;
    const Value title = m_db.Scalar("SELECT RezTitle FROM T_REZ_KOPF WHERE ID=?", {id});
    return title.IsNull() ? std::string() : title.AsText();
}

std::vector<std::size_t> RecipeImport::FindCandidates(const ImportRecipe& recipe)
{
    std::vector<std::size_t> found;
    auto collect = [&](const std::vector<std::uint32_t>& positions) {
        for (std::size_t i : positions)
            if (m_candidates[i].Alive && std::find(found.begin(), found.end(), i) == found.end())
                found.push_back(i);
    };
    if (recipe.FP2 != 0) {
        collect(m_byFP2.Find(FP2Key(recipe.FP2)));
    } else {
        const auto& keys = recipe.Prepared.TitleKeys;
        for (const std::string& key : keys)
            collect(m_byTitle.Find(std::hash<std::string>{}(key)));
        // Equal hashes of different titles are possible: the stored title decides.
        std::erase_if(found, [&](std::size_t i) {
            const std::string stored = TitleKey(StoredTitle(m_candidates[i].ID));
            return std::find(std::begin(keys), std::end(keys), stored) == std::end(keys);
        });
        // Candidates that are only set aside as duplicates do not count.
        if (!found.empty() && std::all_of(found.begin(), found.end(), [&](std::size_t i) {
                return m_dupeBook.contains(m_candidates[i].ID);
            }))
            found.clear();
    }
    std::sort(found.begin(), found.end(),
              [&](std::size_t a, std::size_t b) { return m_candidates[a].ID < m_candidates[b].ID; });
    return found;
}

int RecipeImport::PresetDecision() const
{
    switch (m_options.Duplicates) {
    case DupePreset::Replace:
        return dupe::kReplace;
    case DupePreset::Move:
        return dupe::kDupeBook;
    case DupePreset::Ask:
    case DupePreset::Ignore:
        break;
    }
    return dupe::kIgnore;
}

DupeQuestion RecipeImport::MakeQuestion(const ImportRecipe& recipe, const std::vector<std::size_t>& found)
{
    const Candidate& existing = m_candidates[found.front()];
    DupeQuestion q;
    q.Recipe = &recipe;
    q.ImportTitle = recipe.Title;
    q.ImportDate = recipe.ImportDate;
    q.ImportSource = recipe.ImportSource;
    ClFingerprint own;
    if (recipe.FP1 != 0 || recipe.FP2 != 0) {
        own.SetFPBin(recipe.FP1, recipe.FP2);
        q.ImportFingerprint = own.FingerprintInfoText();
    }
    q.ExistingID = existing.ID;
    q.ExistingTitle = StoredTitle(existing.ID);
    q.ExistingImportDate = existing.ImportDate;
    q.ExistingImportSource = existing.ImportSource;
    if (existing.FP1 != 0 || existing.FP2 != 0) {
        ClFingerprint other;
        other.SetFPBin(existing.FP1, existing.FP2);
        q.ExistingFingerprint = other.FingerprintInfoText();
    }
    std::string ids;
    for (std::size_t i : found)
        ids += (ids.empty() ? "" : ",") + std::to_string(m_candidates[i].ID);
    try {
        auto rs = m_db.OpenRecordset("SELECT BuchID FROM T_REZ_KOCHBUCH WHERE RezID IN (" + ids +
                                     ") ORDER BY BuchID DESC");
        std::string names;
        clBook book;
        book.SetDB(&m_db);
        for (; !rs->Eof(); rs->MoveNext()) {
            const std::string name = book.GetBookName(static_cast<long>(rs->Field(0).AsLong()));
            if (names.find(name) == std::string::npos)
                names += (names.empty() ? "" : ", ") + name;
        }
        if (!names.empty())
            q.Books = "Das Rezept ist im Kochbuch " + names;
    } catch (const DbError&) {
    }
    if ((recipe.FP1 != 0 || recipe.FP2 != 0) && (existing.FP1 != 0 || existing.FP2 != 0) &&
        EqualsNoCase(CleanTitle(recipe.Title), q.ExistingTitle)) {
        const int compared = own.CompareFingerprint(existing.FP1, existing.FP2);
        if (compared == -1 || compared == 0)
            q.Recommendation = "Ignorieren: Das zu importierende Rezept ist älter oder gleich.";
        else if (compared == 1)
            q.Recommendation = "Ersetzen. Das zu importierende Rezept ist neuer.";
        else
            q.Recommendation = "Importieren: Die Rezepte haben keine identische \"Serial-ID\".";
    } else {
        q.Recommendation =
            "Kein Fingerprint aber gleicher Rezepttitel: " + DupePresetText(m_options.Duplicates);
    }
    return q;
}

void RecipeImport::CheckTitle(ImportRecipe& recipe)
{
    std::vector<std::size_t> found = FindCandidates(recipe);
    // Different recipes may share a title: only the same ingredient lines make the same recipe.
    if (m_options.SameContentOnly && m_options.Duplicates == DupePreset::Ignore && recipe.FP2 == 0)
        std::erase_if(found, [&](std::size_t i) { return !SameLines(m_candidates[i], recipe); });
    if (found.empty()) {
        recipe.Decision = dupe::kImport;
        return;
    }
    int decision = PresetDecision();
    if (m_options.Duplicates == DupePreset::Ask && !m_noMoreQuestions && m_decider) {
        bool noMore = false;
        decision = m_decider->Decide(MakeQuestion(recipe, found), noMore);
        if (noMore)
            m_noMoreQuestions = true;
    }
    Candidate& existing = m_candidates[found.front()];
    recipe.StoredID = existing.ID;
    switch (decision) {
    case dupe::kReplace: {
        recipe.ImportDate = existing.ImportDate;
        ClRecipe old;
        old.SetDB(&m_db);
        old.SetNocache(true);
        if (!old.Delete(m_options.DupeTrash, std::to_string(existing.ID)))
            throw old.LastDbError();
        if (!m_options.DupeTrash) {
            recipe.WriteID = existing.ID;
            existing.Alive = false;
            m_killed = found.front();
        }
        break;
    }
    case dupe::kUpdate:
        // The rows go under the same ID; SaveRez keeps what the file does not carry.
        recipe.ImportDate = existing.ImportDate;
        recipe.WriteID = existing.ID;
        existing.Alive = false;
        m_killed = found.front();
        break;
    case dupe::kDupeBook:
        recipe.ImportDate = existing.ImportDate;
        break;
    case dupe::kSkip:
        m_cancel = true;
        break;
    case dupe::kImport:
        break;
    default:
        decision = dupe::kSkip;
        break;
    }
    recipe.Decision = decision == dupe::kIgnore ? dupe::kSkip : decision;
}

void RecipeImport::NewFingerprint(ImportRecipe& recipe)
{
    ClFingerprint fp;
    fp.Datum(m_runDate);
    fp.CreatorID(m_creator);
    // Another run beside this one may hand out serials of the same block: a fingerprint already
    // in the database would later make a different recipe look like this one.
    for (long tries = 0; tries <= ClFingerprint::kSerialMask; ++tries) {
        if (m_serialsLeft == 0) {
            m_nextSerial = ClFingerprint::SerialReserve(kSerialBlock);
            m_serialsLeft = kSerialBlock;
        }
        const long serial = m_nextSerial;
        m_nextSerial = ClFingerprint::NextSerial(m_nextSerial);
        --m_serialsLeft;
        fp.Serial(serial);
        if (!m_byFP2.Contains(FP2Key(fp.FP2())))
            break;
    }
    recipe.FP1 = fp.FP1();
    recipe.FP2 = fp.FP2();
}

long RecipeImport::YieldUnitID(const std::string& text)
{
    const std::string key = ToLower(text);
    if (const auto found = m_yieldByText.find(key); found != m_yieldByText.end())
        return found->second;
    long id = 0;
    for (const YieldUnit& unit : m_yieldUnits) {
        if (ToLower(unit.NameD).starts_with(key) || ToLower(unit.NameE).starts_with(key)) {
            id = unit.ID;
            break;
        }
    }
    if (id == 0) {
        id = m_yieldUnits.empty() ? 1 : m_yieldUnits.back().ID + 1;
        for (const YieldUnit& unit : m_yieldUnits)
            id = std::max(id, unit.ID + 1);
        m_db.Execute("INSERT INTO T_REZ_KOPFEINHEIT (ID, NameD, NameE) VALUES (?, ?, ?)", {id, text, text});
        m_yieldUnits.push_back({id, text, text});
    }
    m_yieldByText.emplace(key, id);
    return id;
}

long RecipeImport::CategoryID(const std::string& name, bool country)
{
    // Trimmed again after the cut: a blank at the cut would make a second category of the name.
    const std::string cut(Trim(CharSubstr(Trim(name, " "), 0, ClCategory::kNameLength), " "));
    if (cut.empty())
        return 0;
    const std::string key = (country ? "1" : "0") + ToLower(cut);
    if (const auto found = m_categoryByName.find(key); found != m_categoryByName.end())
        return found->second;
    ClCategory category;
    category.SetDB(&m_db);
    if (!category.LoadbyNameorCreate(cut, country))
        throw category.LastDbError();
    m_categoryByName.emplace(key, category.id());
    return category.id();
}

long RecipeImport::NamedBookID(const std::string& name, const std::string& description)
{
    const std::string key = ToLower(Trim(name, " "));
    if (key.empty())
        return 0;
    if (const auto found = m_bookByName.find(key); found != m_bookByName.end())
        return found->second;
    clBook book;
    book.SetDB(&m_db);
    if (!book.ImportUpdate(std::string(Trim(name, " ")), description))
        throw book.LastDbError();
    m_bookByName.emplace(key, book.id());
    return book.id();
}

long RecipeImport::EnsureBook()
{
    if (m_bookReady)
        return m_bookId;
    m_bookReady = true;
    if (m_options.NewCookbook && !Trim(m_options.CookbookName, " ").empty()) {
        clBook book;
        book.SetDB(&m_db);
        if (!book.ImportUpdate(std::string(Trim(m_options.CookbookName, " ")), "Durch MM-Import angelegt"))
            throw book.LastDbError();
        m_bookId = book.id();
        m_bookName = book.Title();
    }
    return m_bookId;
}

std::string RecipeImport::PreparationText(const ImportRecipe& recipe) const
{
    if (!m_options.Reformat)
        return recipe.Zubereitung;
    // The lines of a paragraph become one line; paragraphs stay apart.
    std::string text;
    std::size_t pos = 0;
    const std::string& source = recipe.Zubereitung;
    while (pos <= source.size()) {
        std::size_t end = source.find('\n', pos);
        if (end == std::string::npos)
            end = source.size();
        const std::string_view line = Trim(std::string_view(source).substr(pos, end - pos), " ");
        if (line.empty()) {
            if (!text.empty() && !text.ends_with("\n\n"))
                text += "\n\n";
        } else {
            if (!text.empty() && !text.ends_with("\n"))
                text += ' ';
            text += line;
        }
        pos = end + 1;
    }
    while (text.ends_with("\n"))
        text.pop_back();
    return text.empty() ? recipe.Zubereitung : text;
}

long RecipeImport::FoodKey(const ImportIngredient& line)
{
    long reference = static_cast<long>(LeadingNumber(line.RefID));
    if (reference == 0 && !line.IsRecipe && m_options.BLS && m_foodKeys) {
        ++m_counters.BLSSearch;
        reference = m_foodKeys(line.Text);
        ++m_counters.BLSCount;
        if (reference != 0)
            ++m_counters.BLSHit;
    }
    return reference;
}

bool RecipeImport::CountDecision(const ImportRecipe& recipe)
{
    switch (recipe.Decision) {
    case dupe::kReplace:
    case dupe::kUpdate:
        ++m_counters.Replaced;
        break;
    case dupe::kDupeBook:
        ++m_counters.Dupe;
        break;
    case dupe::kSkip:
    case dupe::kIgnore:
        ++m_counters.Skipped;
        m_skippedList.push_back(Where(recipe) + " ist schon vorhanden und wurde übersprungen.");
        return false;
    default:
        break;
    }
    return true;
}

void RecipeImport::SettleFingerprint(ImportRecipe& recipe)
{
    if (!m_options.CheckDuplicates)
        return;
    if (recipe.FP1 == 0 && recipe.FP2 == 0) {
        NewFingerprint(recipe);
        return;
    }
    if (recipe.Decision != dupe::kImport)
        return;
    const std::vector<std::uint32_t> sameFP2 = m_byFP2.Find(FP2Key(recipe.FP2));
    const bool same = std::any_of(sameFP2.begin(), sameFP2.end(), [&](std::uint32_t i) {
        const Candidate& c = m_candidates[i];
        return c.Alive && c.FP1 == recipe.FP1;
    });
    if (same && m_options.Duplicates == DupePreset::Ignore) {
        NewFingerprint(recipe);
        ++m_counters.FPKill;
    } else if (same && m_options.Duplicates == DupePreset::Move) {
        recipe.Decision = dupe::kDupeBook;
        ++m_counters.Dupe;
    }
}

std::vector<long> RecipeImport::RecipeCategories(const ImportRecipe& recipe)
{
    std::vector<long> cats;
    for (const std::string& name : recipe.Categories) {
        if (cats.size() >= static_cast<std::size_t>(ClRecipe::kMaxCategories))
            break;
        const long cat = CategoryID(name, false);
        if (cat != 0 && std::find(cats.begin(), cats.end(), cat) == cats.end())
            cats.push_back(cat);
    }
    return cats;
}

std::vector<long> RecipeImport::RecipeBooks(const ImportRecipe& recipe, bool duplicate)
{
    std::vector<long> books;
    const long book = duplicate ? clBook::kDuplicates : EnsureBook();
    if (book != 0 && book != clBook::kNoBook)
        books.push_back(book);
    // A duplicate stands only in the duplicates cookbook.
    for (std::size_t i = 0; !duplicate && i < recipe.Cookbooks.size(); ++i) {
        const long named = NamedBookID(recipe.Cookbooks[i].first, recipe.Cookbooks[i].second);
        if (named != 0 && std::find(books.begin(), books.end(), named) == books.end())
            books.push_back(named);
    }
    return books;
}

RecipeHead RecipeImport::MakeHead(const ImportRecipe& recipe, long id, const std::string& preparation,
                                  bool hasCategory)
{
    const bool anyAmount =
        std::any_of(recipe.Lines.begin(), recipe.Lines.end(),
                    [](const ImportIngredient& l) { return HasQuantity(l.IsTrenner, l.Amount); });
    RecipeHead head;
    head.id = id;
    head.Title = recipe.Title;
    head.TitleMenuCard = recipe.MenuCardTitle.empty() ? head.Title : CleanRecipeTitle(recipe.MenuCardTitle);
    head.Yield = recipe.Servings;
    head.YieldUnit = YieldUnitID(recipe.YieldUnitText.empty() ? "Servings" : recipe.YieldUnitText);
    head.LanguageID = recipe.LanguageID >= 0 ? recipe.LanguageID : m_options.LanguageID;
    head.Generic = IsGenericRecipe(preparation, recipe.Servings, hasCategory, anyAmount);
    head.SourceText = recipe.SourceText;
    head.StorageTime = recipe.StorageTime;
    head.IsTemplate = recipe.IsTemplate;
    head.Importdate = recipe.ImportDate.Days == 0 ? m_runDate : recipe.ImportDate;
    head.ImportSource = recipe.ImportSource == 0 ? 2L : recipe.ImportSource;
    head.PreparationTime = recipe.PreparationTime;
    head.CookingTime = recipe.CookingTime;
    head.Origin = recipe.Origin.empty() ? 0 : CategoryID(recipe.Origin, true);
    head.Notizen = recipe.Notizen;
    head.WineDegustation = recipe.WineDegustation;
    head.rezparent = recipe.ParentID;
    head.SourcebookID = recipe.SourcebookID;
    head.SourcePage = recipe.SourcePage;
    head.WPExclude = recipe.WPExclude;
    head.Fingerprint1 = recipe.FP1;
    head.Fingerprint2 = recipe.FP2;
    return head;
}

void RecipeImport::AddLineRows(const ImportRecipe& recipe, long id, RecipeRowSet& rows)
{
    IngredientRow row;
    row.RezID = id;
    for (const ImportIngredient& line : recipe.Lines) {
        ++row.No;
        row.IsTrenner = line.IsTrenner;
        row.Text = line.Text;
        row.UnitID = line.UnitID;
        row.Amount = line.Amount;
        row.Zubereitung = line.Zubereitung;
        row.Verarbeitung = line.Verarbeitung;
        row.Reference = line.IsTrenner ? 0 : FoodKey(line);
        row.IsRecipe = line.IsRecipe;
        rows.AddIngredient(row);
    }
}

void RecipeImport::DropLinked(const char* sql, long id, std::vector<long>& ids)
{
    if (ids.empty())
        return;
    for (auto rs = m_db.OpenRecordset(sql, {id}); !rs->Eof(); rs->MoveNext())
        std::erase(ids, rs->Field(0).AsLong());
}

void RecipeImport::SavePicture(long id, long num, const ImportPicture& from, bool replacing)
{
    clBlob picture;
    picture.SetDB(&m_db);
    if (replacing)
        picture.Clear(clBlob::kRecipePicture, id, num);
    picture.SetIDType(clBlob::kRecipePicture);
    picture.SetIDReference(id);
    picture.SetIDNum(num);
    if (from.Data.empty())
        picture.SetPath(from.Path);
    else
        picture.SetBlobData(from.Data);
    picture.SetDescription(from.Description);
    if (picture.IsUsed() && !picture.Save())
        throw picture.LastDbError();
}

void RecipeImport::SavePictures(const ImportRecipe& recipe, long id)
{
    for (const ImportPicture& from : recipe.Pictures)
        SavePicture(id, from.Num, from, recipe.WriteID != 0);
    if (!recipe.Picture.empty()) {
        ImportPicture first;
        first.Data = recipe.Picture;
        SavePicture(id, 1, first, recipe.WriteID != 0);
    }
}

long RecipeImport::SaveRez(ImportRecipe& recipe)
{
    if (!CountDecision(recipe))
        return 0;
    recipe.Title = recipe.Prepared.Title; // StoreRecipe has prepared it
    if (recipe.Title.empty())
        throw DbError(dberr::kGeneric, "Das Rezept hat keinen Titel.");
    SettleFingerprint(recipe);
    const bool duplicate = recipe.Decision == dupe::kDupeBook;
    const long id = recipe.WriteID != 0 ? recipe.WriteID : m_nextId++;
    // A new recipe of a run without savepoints waits with its rows for others, to be written with
    // them in a few statements; one that replaces another or brings pictures is written at once.
    const bool deferred = m_pendingLimit > 1 && !Guarded() && recipe.WriteID == 0 && recipe.Pictures.empty() &&
                          recipe.Picture.empty();
    m_writingId = recipe.WriteID != 0 || deferred ? 0 : id;
    m_nextId = std::max(m_nextId, id + 1);
    m_seenId = std::max(m_seenId, id);

    const std::vector<long> cats = RecipeCategories(recipe);
    const std::string preparation = PreparationText(recipe);
    std::vector<long> books = RecipeBooks(recipe, duplicate);
    std::vector<long> tools = recipe.Tools;
    if (recipe.Decision == dupe::kUpdate) {
        DeleteRecipeContent(m_db, id);
        DropLinked("SELECT BuchID FROM T_REZ_KOCHBUCH WHERE RezID=?", id, books);
        DropLinked("SELECT GeraetID FROM T_REZ_GERAET WHERE RezID=?", id, tools);
    } else if (recipe.WriteID != 0) {
        DeleteRecipeRows(m_db, id);
    }
    const RecipeHead head = MakeHead(recipe, id, preparation, !cats.empty());
    PendingRecipe pending;
    pending.Rows.AddHead(head);
    AddLineRows(recipe, id, pending.Rows);
    pending.Rows.AddCategories(id, cats);
    pending.Rows.AddInstructions(id, preparation);
    pending.Rows.AddBooks(id, books);
    pending.Rows.AddTools(id, tools);
    if (!deferred) {
        pending.Rows.Write(m_db);
        SavePictures(recipe, id);
    }

    Candidate stored;
    stored.ID = id;
    stored.ImportDate = head.Importdate;
    stored.ImportSource = static_cast<std::int32_t>(recipe.ImportSource);
    stored.FP1 = recipe.FP1;
    stored.FP2 = recipe.FP2;
    if (m_options.SameContentOnly) {
        pending.LinesKey = recipe.Prepared.LinesKey;
        stored.LinesHash = std::hash<std::string>{}(pending.LinesKey);
    }
    pending.Candidate = m_candidates.size();
    AddCandidate(std::move(stored), recipe.Prepared.TitleKeys[0]);
    if (duplicate)
        m_dupeBook.insert(id);
    else
        ++m_counters.Imported;
    recipe.StoredID = id;
    if (deferred) {
        pending.ID = id;
        pending.Duplicate = duplicate;
        pending.Title = head.Title;
        pending.Where = Where(recipe);
        m_pending.push_back(std::move(pending));
    }
    return id;
}

void RecipeImport::StoreInfoBlock(long recipeId, const MMInfoBlock& block)
{
    if (recipeId == 0 || !WritePending())
        return;
    try {
        DbTransaction trans(m_db);
        if (!Trim(block.Origin, " ").empty()) {
            const long origin = CategoryID(block.Origin, true);
            m_db.Execute("UPDATE T_REZ_KOPF SET RezHerkunft=? WHERE ID=?", {origin, recipeId});
        }
        if (!block.Notices.empty())
            m_db.Execute("UPDATE T_REZ_KOPF SET RezNotizen=? WHERE ID=?", {block.Notices, recipeId});
        if (!block.Codes.empty()) {
            std::string codes = block.Codes;
            std::size_t written = 0;
            while (!codes.empty() || written == 0) {
                const std::string code(Trim(GetNextTokenText(codes, ","), " "));
                // The code of the i-th written line belongs to the record line it became.
                const long lineIndex = written < m_lastWrittenLines.size()
                                           ? m_lastWrittenLines[written]
                                           : (m_lastWrittenLines.empty() ? static_cast<long>(written) : -1);
                ++written;
                if (!code.empty() && lineIndex >= 0) {
                    const Value key = m_db.Scalar("SELECT ID FROM T_BLS_KEY WHERE SBLS=?", {code});
                    if (!key.IsNull())
                        m_db.Execute("UPDATE T_REZ_ZUTAT SET ZutBLSID=? WHERE ID=? AND [No]=?",
                                     {key, recipeId, lineIndex + 1});
                }
                if (codes.empty())
                    break;
            }
        }
        trans.Commit();
    } catch (const DbError& error) {
        if (!StopOnFatal(error))
            m_problems.push_back("Zusatzinformationen zu Rezept " + std::to_string(recipeId) + ": " +
                                 error.JoinedDescription());
    }
}

} // namespace pf
