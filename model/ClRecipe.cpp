#include "model/ClRecipe.h"

#include "core/AppContext.h"
#include "core/IdList.h"
#include "core/Language.h"
#include "core/TextConv.h"
#include "core/Trim.h"
#include "core/Utf8.h"
#include "db/ChangeStamp.h"
#include "db/Database.h"
#include "db/DatabaseChoice.h"
#include "db/OpenDatabase.h"
#include "db/Recordset.h"
#include "db/SchemaVersion.h"
#include "model/ClUnit.h"
#include "model/LiteratureTitle.h"
#include "model/ObjectCache.h"
#include "model/ProgramUnits.h"
#include "model/RecipeChanges.h"
#include "model/clBook.h"
#include "model/clsRecipeUnit.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace pf {

namespace {

constexpr std::size_t kDefaultCacheCapacity = 64;
// Batch statements name at most this many IDs.
constexpr std::size_t kBatchSize = 500;

ObjectCache<long, ClRecipe>& RecipeCache()
{
    static ObjectCache<long, ClRecipe> cache(kDefaultCacheCapacity);
    return cache;
}

// "=17" for one ID, " IN (17,18)" for several.
std::string IdCondition(const std::vector<long>& ids)
{
    if (ids.size() == 1)
        return "=" + std::to_string(ids.front());
    return " IN (" + JoinIds(ids) + ")";
}

// Older databases keep a picture file name in RezBild; the column is looked for among the row's
// columns rather than by a read that fails on every load of a newer database.
bool HasLegacyPictureColumn(const Recordset& rs)
{
    for (int i = 0; i < rs.FieldCount(); ++i)
        if (EqualsNoCase(rs.FieldName(i), "RezBild"))
            return true;
    return false;
}

long AsLong(const Value& value)
{
    return static_cast<long>(value.AsLong());
}

// Keeping times are dates whose day serial is the number of days.
long DaysOf(const Value& value)
{
    if (value.IsNull())
        return 0;
    return static_cast<long>(std::floor(value.AsDate().Days));
}

} // namespace

void SetRecipeCacheCapacity(std::size_t capacity)
{
    RecipeCache().SetCapacity(capacity);
}

void ClearRecipeCache()
{
    RecipeCache().Clear();
}

ClRecipe::ClRecipe() : m_nocache(RecipeCache().Capacity() == 0) {}

void ClRecipe::SetDB(Database* db)
{
    m_db = db;
    m_titleSize = 0;
    m_ownUnits.reset();
    m_ownRecipeUnits.reset();
    if (db) {
        if (!db->IsUpdatable())
            m_tempOnly = true;
        m_ownUnits = std::make_shared<ClUnit>();
        m_ownUnits->SetDB(db);
    }
    for (ClIngredient& line : m_lines)
        line.SetUnits(m_ownUnits.get());
}

ClUnit& ClRecipe::Units() const
{
    return m_ownUnits ? *m_ownUnits : ProgramUnits();
}

clsRecipeUnit& ClRecipe::RecipeUnits() const
{
    // Read on first use: most loads never need the yield units, and each read is a round trip to
    // a server.
    if (!m_ownRecipeUnits && m_db) {
        m_ownRecipeUnits = std::make_shared<clsRecipeUnit>();
        m_ownRecipeUnits->Init(*m_db, m_ownUnits.get());
    }
    return m_ownRecipeUnits ? *m_ownRecipeUnits : ProgramRecipeUnits();
}

// ---------------------------------------------------------------------------------------------
// Loading

void ClRecipe::Clear()
{
    m_head = RecipeHead();
    m_saved = RecipeHead();
    m_fingerprint = ClFingerprint();
    m_lines.clear();
    ForgetIdLists();
    m_pictures.clear();
    m_guests.clear();
    m_linesLoaded = m_picturesLoaded = m_guestsLoaded = false;
    m_linesChanged = m_picturesChanged = false;
    m_changed = false;
    m_new = false;
    m_fullLoaded = false;
}

std::string ClRecipe::CleanTitle(std::string_view title)
{
    if (m_titleSize == 0)
        m_titleSize = RecipeTitleSize(Db());
    return CleanRecipeTitle(title, m_titleSize);
}

void ClRecipe::ReadHead(const Recordset& rs)
{
    m_head.id = AsLong(rs["ID"]);
    m_fingerprint = ClFingerprint();
    m_head.Fingerprint1 = static_cast<std::int32_t>(rs["Fingerprint1"].AsLong());
    m_head.Fingerprint2 = static_cast<std::int32_t>(rs["Fingerprint2"].AsLong());
    if (m_head.Fingerprint1 != 0 || m_head.Fingerprint2 != 0)
        m_fingerprint.SetFPBin(m_head.Fingerprint1, m_head.Fingerprint2);
    m_head.Title = rs["RezTitle"].AsText();
    m_head.TitleMenuCard = rs["RezMenuCard"].AsText();
    m_head.Yield = AsLong(rs["RezYield"]);
    m_head.YieldUnit = AsLong(rs["RezYieldEinh"]);
    m_head.Generic = rs["Generic"].AsBool();
    m_head.SourceText = rs["RezQuelle"].AsText();
    m_head.LanguageID = AsLong(rs["RezSprache"]);
    m_head.StorageTime = {DaysOf(rs["RezHaltbarLagern"]), DaysOf(rs["RezHaltbarKuehl"]),
                          DaysOf(rs["RezHaltbarTiefkuehl"])};
    m_head.IsTemplate = rs["Template"].AsBool();
    m_head.isDeleted = rs["FlagDeleted"].AsBool();
    m_head.WineDegustation = rs["RezWeinTipp"].AsText();
    const Value importDate = rs["RezImportDate"];
    m_head.Importdate = importDate.IsNull() ? DateSerial() : importDate.AsDate();
    m_head.ImportSource = AsLong(rs["RezImportSource"]);
    m_head.SourcebookID = AsLong(rs["RezQuelleID"]);
    m_head.SourcePage = LeadingLong(rs["RezQuellePage"].AsText());
    m_head.rezparent = AsLong(rs["RezParent"]);
    if (m_head.rezparent == m_head.id)
        m_head.rezparent = 0;
    m_head.WPExclude = AsLong(rs["WPExclude"]);
    // Older databases lack the two durations.
    try {
        const Value before = rs["RezZeitVorher"];
        const Value cooking = rs["RezZeitKochen"];
        m_head.PreparationTime = before.IsNull() ? DateSerial() : before.AsDate();
        m_head.CookingTime = cooking.IsNull() ? DateSerial() : cooking.AsDate();
    } catch (const DbError&) {
    }
    m_lines.clear();
    ForgetIdLists();
    m_pictures.clear();
    m_guests.clear();
    m_linesLoaded = m_picturesLoaded = m_guestsLoaded = false;
    m_linesChanged = m_picturesChanged = false;
}

void ClRecipe::ReadDetail(const Recordset& rs)
{
    m_head.Origin = AsLong(rs["RezHerkunft"]);
    m_head.Notizen = rs["RezNotizen"].AsText();
    std::string text;
    auto anweis =
        Db().OpenRecordset("SELECT AnwText FROM T_REZ_ANWEIS WHERE ID =? ORDER BY [No]", {m_head.id});
    for (; !anweis->Eof(); anweis->MoveNext())
        text += anweis->Field(0).AsText();
    m_head.Zubereitung = std::move(text);
    // A picture file named in the legacy column becomes the first picture when the pictures are read.
    m_legacyPicture.clear();
    if (HasLegacyPictureColumn(rs))
        m_legacyPicture = rs["RezBild"].AsText();
    m_fullLoaded = true;
}

void ClRecipe::LoadDetail()
{
    if (m_fullLoaded || m_head.id == 0)
        return;
    try {
        auto rs = Db().OpenRecordset("SELECT * FROM T_REZ_KOPF WHERE ID=?", {m_head.id});
        if (rs->Eof())
            return;
        ReadDetail(*rs);
        // The detail is part of the loaded state, not an edit.
        m_saved.Origin = m_head.Origin;
        m_saved.Notizen = m_head.Notizen;
        m_saved.Zubereitung = m_head.Zubereitung;
    } catch (const DbError& error) {
        SetDbError(error);
    }
}

bool ClRecipe::LoadByID(long id, int mode, bool tempOnly)
{
    LastErrorClear();
    if (id == 0) {
        Clear();
        m_fullLoaded = true;
        return true;
    }
    std::int64_t stamp = kNoChangeStamp;
    try {
        // The stamp is read before the rows: a change in between makes the copy look older than it
        // is, never newer.
        const bool stamped = HasChangeStamps(Db());
        if (stamped)
            stamp = ReadChangeStamp(Db(), id);
        // A copy kept in memory is used while the recipe's rows are as they were when it was
        // read. Without stamps only on a file database, which other programs seldom share.
        const bool checkable = stamped || !IsServerDatabase(Db());
        if (!m_nocache && mode != 2 && checkable) {
            const ClRecipe* cached = RecipeCache().Find(Db().Serial(), id);
            if (cached && (!stamped || (stamp != kNoChangeStamp && cached->m_stamp == stamp))) {
                Copy2Me(*cached);
                m_ts = NowSerial();
                m_changed = false;
                m_new = false;
                m_tempOnly = tempOnly;
                return true;
            }
        }
        auto rs = Db().OpenRecordset("SELECT * FROM T_REZ_KOPF WHERE ID=?", {id});
        Clear();
        if (rs->Eof())
            return false;
        ReadHead(*rs);
        ReadDetail(*rs);
        m_stamp = stamp;
    } catch (const DbError& error) {
        Clear();
        SetDbError(error);
        return false;
    }
    m_ts = NowSerial();
    m_saved = m_head;
    m_changed = false;
    m_new = false;
    CacheUpdate();
    m_tempOnly = tempOnly;
    return true;
}

bool ClRecipe::LoadbyName(std::string_view title)
{
    LastErrorClear();
    if (!m_nocache) {
        const std::string wanted(title);
        if (const ClRecipe* cached = RecipeCache().FindIf(
                Db().Serial(), [&](const ClRecipe& r) { return r.m_head.Title == wanted; }))
            return LoadByID(cached->id());
    }
    try {
        const Value found = Db().Scalar("SELECT ID FROM T_REZ_KOPF WHERE RezTitle=?", {CleanTitle(title)});
        if (found.IsNull())
            return false;
        return LoadByID(AsLong(found));
    } catch (const DbError& error) {
        SetDbError(error);
        return false;
    }
}

bool ClRecipe::LoadByFingerprint(std::int32_t fp1, std::int32_t fp2)
{
    LastErrorClear();
    try {
        const Value found =
            Db().Scalar("SELECT ID FROM T_REZ_KOPF WHERE Fingerprint1=? AND Fingerprint2=?", {fp1, fp2});
        if (found.IsNull())
            return false;
        return LoadByID(AsLong(found), 2);
    } catch (const DbError& error) {
        SetDbError(error);
        return false;
    }
}

void ClRecipe::CacheUpdate()
{
    if (m_nocache || m_head.id == 0)
        return;
    ClRecipe copy = *this;
    copy.m_tempOnly = true;
    copy.m_changed = false;
    copy.m_new = false;
    RecipeCache().Put(Db().Serial(), m_head.id, copy);
}

// ---------------------------------------------------------------------------------------------
// Head fields

void ClRecipe::Setid(long id)
{
    if (id == 0) {
        Clear();
        m_changed = true;
        return;
    }
    Assign(m_head.id, id);
}

void ClRecipe::SetTitle(std::string_view title)
{
    Assign(m_head.Title, CleanTitle(title));
}

void ClRecipe::SetTitleMenuCard(std::string_view title)
{
    Assign(m_head.TitleMenuCard, CleanTitle(title));
}

void ClRecipe::SetYield(long yield)
{
    Assign(m_head.Yield, yield);
}

void ClRecipe::SetYieldUnitIndex(long unitId)
{
    Assign(m_head.YieldUnit, unitId);
}

std::string ClRecipe::YieldUnitText() const
{
    clsRecipeUnit& units = RecipeUnits();
    return units.UnitNameD(units.SearchID(std::to_string(m_head.YieldUnit)));
}

void ClRecipe::SetYieldUnitText(std::string_view name)
{
    clsRecipeUnit& units = RecipeUnits();
    SetYieldUnitIndex(units.id(units.SearchName(name)));
}

void ClRecipe::SetLanguageID(long code)
{
    Assign(m_head.LanguageID, code);
}

std::string ClRecipe::LanguageText() const
{
    return LanguageName(m_head.LanguageID);
}

void ClRecipe::SetSourceText(std::string_view text)
{
    Assign(m_head.SourceText, std::string(text));
}

long ClRecipe::Sourcebook()
{
    LoadDetail();
    return m_head.SourcebookID;
}

void ClRecipe::SourcebookSetID(long quelleId)
{
    Assign(m_head.SourcebookID, quelleId < 0 ? 0L : quelleId);
}

std::string ClRecipe::SourcebookTitle()
{
    return NameOf("SELECT Title FROM T_LITERATUR WHERE QuelleID=?", Sourcebook());
}

void ClRecipe::SetSourcePage(long page)
{
    Assign(m_head.SourcePage, page);
}

long ClRecipe::StorageTime(int index) const
{
    if (index < 1 || index > 3)
        return 0;
    return m_head.StorageTime[static_cast<std::size_t>(index - 1)];
}

void ClRecipe::SetStorageTime(int index, long days)
{
    if (index < 1 || index > 3)
        return;
    Assign(m_head.StorageTime[static_cast<std::size_t>(index - 1)], days);
}

void ClRecipe::SetIsTemplate(bool value)
{
    Assign(m_head.IsTemplate, value);
}

void ClRecipe::SetWineDegustation(std::string_view text)
{
    Assign(m_head.WineDegustation, std::string(text));
}

void ClRecipe::SetImportdate(DateSerial date)
{
    Assign(m_head.Importdate, date);
}

void ClRecipe::SetImportSource(long source)
{
    Assign(m_head.ImportSource, source);
}

void ClRecipe::Setrezparent(long parent)
{
    Assign(m_head.rezparent, parent == m_head.id && parent != 0 ? 0L : parent);
}

std::string ClRecipe::RezParentTitle()
{
    return NameOf("SELECT RezTitle FROM T_REZ_KOPF WHERE ID=?", m_head.rezparent);
}

void ClRecipe::SetWPExclude(long level)
{
    Assign(m_head.WPExclude, level);
}

void ClRecipe::SetPreparationTime(DateSerial time)
{
    Assign(m_head.PreparationTime, time);
}

void ClRecipe::SetCookingTime(DateSerial time)
{
    Assign(m_head.CookingTime, time);
}

long ClRecipe::Origin()
{
    LoadDetail();
    return m_head.Origin;
}

void ClRecipe::SetOriginID(long categoryId)
{
    LoadDetail();
    Assign(m_head.Origin, categoryId < 0 ? 0L : categoryId);
}

std::string ClRecipe::OriginName()
{
    return NameOf("SELECT CatNameD FROM T_CAT WHERE ID=?", Origin());
}

const std::string& ClRecipe::Notizen()
{
    LoadDetail();
    return m_head.Notizen;
}

void ClRecipe::SetNotizen(std::string_view text)
{
    LoadDetail();
    Assign(m_head.Notizen, std::string(text));
}

const std::string& ClRecipe::Zubereitung()
{
    LoadDetail();
    return m_head.Zubereitung;
}

void ClRecipe::SetZubereitung(std::string_view text)
{
    LoadDetail();
    Assign(m_head.Zubereitung, std::string(text));
}

void ClRecipe::FingerprintUpdate()
{
    m_fingerprint.Update();
    Assign(m_head.Fingerprint1, m_fingerprint.FP1());
    Assign(m_head.Fingerprint2, m_fingerprint.FP2());
}

bool ClRecipe::IsGeneric()
{
    // Lines not read yet do not make the recipe incomplete.
    const bool generic =
        IsGenericRecipe(Zubereitung(), m_head.Yield, CatCount() > 0, !m_linesLoaded || AnyQuantity());
    Assign(m_head.Generic, generic);
    return generic;
}

bool ClRecipe::AnyQuantity() const
{
    return std::any_of(m_lines.begin(), m_lines.end(), [](const ClIngredient& line) {
        return HasQuantity(line.IsTrenner(), line.OrgMeasurement());
    });
}

std::string ClRecipe::WhyGeneric()
{
    if (!IsGeneric())
        return {};
    std::string reasons;
    if (!HasInstructions(Zubereitung()))
        reasons += ", Zubereitung";
    if (m_head.Yield == 0)
        reasons += ", Menge";
    if (CatCount() == 0)
        reasons += ", Kategorie";
    if (m_linesLoaded && !AnyQuantity())
        reasons += ", Zutaten";
    return reasons.size() > 2 ? reasons.substr(2) : reasons;
}

// ---------------------------------------------------------------------------------------------
// Ingredient lines

void ClRecipe::LoadLines()
{
    if (m_linesLoaded)
        return;
    m_linesLoaded = true;
    m_lines.clear();
    if (m_head.id == 0)
        return;
    try {
        auto rs = Db().OpenRecordset("SELECT * FROM T_REZ_ZUTAT WHERE ID=? ORDER BY [No]", {m_head.id});
        for (; !rs->Eof(); rs->MoveNext()) {
            ClIngredient line;
            line.SetUnits(m_ownUnits.get());
            line.ReadRow(*rs);
            line.SetConvtype(m_convtype);
            m_lines.push_back(std::move(line));
        }
    } catch (const DbError& error) {
        SetDbError(error);
    }
}

int ClRecipe::IngredCount()
{
    LoadLines();
    return static_cast<int>(m_lines.size());
}

ClIngredient& ClRecipe::Ingredient(int index)
{
    LoadLines();
    static ClIngredient outside;
    if (index < 1 || index > static_cast<int>(m_lines.size())) {
        outside = ClIngredient();
        return outside;
    }
    return m_lines[static_cast<std::size_t>(index - 1)];
}

void ClRecipe::SetIngredient(int index, const ClIngredient& line)
{
    LoadLines();
    if (index < 1 || index > static_cast<int>(m_lines.size()))
        return;
    ClIngredient& target = m_lines[static_cast<std::size_t>(index - 1)];
    target = line;
    target.SetUnits(m_ownUnits.get());
    m_linesChanged = true;
    m_changed = true;
}

int ClRecipe::IngredAdd(const ClIngredient& line, int position)
{
    LoadLines();
    const int count = static_cast<int>(m_lines.size());
    if (position < 1 || position > count + 1)
        position = count + 1;
    auto it = m_lines.insert(m_lines.begin() + (position - 1), line);
    it->SetUnits(m_ownUnits.get());
    it->SetConvtype(m_convtype);
    m_linesChanged = true;
    m_changed = true;
    return position;
}

bool ClRecipe::IngredDel(int index)
{
    LoadLines();
    if (index < 1 || index > static_cast<int>(m_lines.size()))
        return false;
    m_lines.erase(m_lines.begin() + (index - 1));
    m_linesChanged = true;
    m_changed = true;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Categories, cookbooks, utensils

std::string ClRecipe::NameOf(const char* sql, long id) const
{
    if (id == 0)
        return {};
    try {
        return Db().Scalar(sql, {id}).AsText();
    } catch (const DbError&) {
        return {};
    }
}

RecipeIdList& ClRecipe::Loaded(RecipeIdList& list)
{
    if (!list.IsLoaded()) {
        try {
            list.Load(Db(), m_head.id);
        } catch (const DbError& error) {
            SetDbError(error);
        }
    }
    return list;
}

bool ClRecipe::Changing(bool done, const RecipeIdList& list)
{
    m_changed = m_changed || list.Changed();
    return done;
}

void ClRecipe::ForgetIdLists()
{
    m_cats.Forget();
    m_books.Forget();
    m_tools.Forget();
}

void ClRecipe::MarkCollectionsChanged(bool changed)
{
    m_linesChanged = m_picturesChanged = changed;
    m_cats.SetChanged(changed);
    m_books.SetChanged(changed);
    m_tools.SetChanged(changed);
}

void ClRecipe::ReplaceIds(RecipeIdList& list, const std::vector<long>& ids, bool (ClRecipe::*add)(long))
{
    if (ids == Loaded(list).Ids())
        return;
    list.Clear();
    for (long id : ids)
        (this->*add)(id);
    m_changed = true;
}

int ClRecipe::CatCount()
{
    return Loaded(m_cats).Count();
}

long ClRecipe::CatID(int index)
{
    return Loaded(m_cats).At(index, 0);
}

std::string ClRecipe::CatName(int index)
{
    return NameOf("SELECT CatNameD FROM T_CAT WHERE ID=?", CatID(index));
}

bool ClRecipe::CatAddID(long categoryId)
{
    if (!Loaded(m_cats).Contains(categoryId)) {
        try {
            if (Db().Scalar("SELECT ID FROM T_CAT WHERE ID=?", {categoryId}).IsNull())
                return false;
        } catch (const DbError& error) {
            SetDbError(error);
            return false;
        }
    }
    return Changing(m_cats.Add(categoryId), m_cats);
}

bool ClRecipe::CatAddName(std::string_view name)
{
    try {
        const Value found = Db().Scalar("SELECT ID FROM T_CAT WHERE CatNameD LIKE ?", {std::string(name)});
        return !found.IsNull() && CatAddID(AsLong(found));
    } catch (const DbError& error) {
        SetDbError(error);
        return false;
    }
}

bool ClRecipe::CatDel(int index)
{
    return Changing(Loaded(m_cats).Del(index), m_cats);
}

void ClRecipe::CatSetPrimary(int index)
{
    Changing(Loaded(m_cats).MoveToFront(index), m_cats);
}

const std::vector<long>& ClRecipe::CatIDs()
{
    return Loaded(m_cats).Ids();
}

void ClRecipe::SetCatIDs(const std::vector<long>& ids)
{
    ReplaceIds(m_cats, ids, &ClRecipe::CatAddID);
}

int ClRecipe::BookCount()
{
    return Loaded(m_books).Count();
}

long ClRecipe::BookID(int index)
{
    return Loaded(m_books).At(index, clBook::kNoBook);
}

std::string ClRecipe::BookName(int index)
{
    if (index < 1 || index > BookCount())
        return {};
    clBook book;
    book.SetDB(m_db);
    return book.GetBookName(BookID(index));
}

bool ClRecipe::BookAdd(long bookId)
{
    return Changing(Loaded(m_books).Add(bookId), m_books);
}

bool ClRecipe::BookDel(int index)
{
    return Changing(Loaded(m_books).Del(index), m_books);
}

const std::vector<long>& ClRecipe::BookIDs()
{
    return Loaded(m_books).Ids();
}

void ClRecipe::SetBookIDs(const std::vector<long>& ids)
{
    ReplaceIds(m_books, ids, &ClRecipe::BookAdd);
}

int ClRecipe::ToolCount()
{
    return Loaded(m_tools).Count();
}

long ClRecipe::ToolID(int index)
{
    return Loaded(m_tools).At(index, 0);
}

std::string ClRecipe::ToolName(int index)
{
    return NameOf("SELECT [KEY] FROM T_INFO_KEY WHERE ID=? AND KEYTYPE=2", ToolID(index));
}

bool ClRecipe::ToolAdd(long toolId)
{
    return toolId > 0 && Changing(Loaded(m_tools).Add(toolId), m_tools);
}

bool ClRecipe::ToolDel(int index)
{
    return Changing(Loaded(m_tools).Del(index), m_tools);
}

// ---------------------------------------------------------------------------------------------
// Pictures

void ClRecipe::LoadPictures()
{
    if (m_picturesLoaded)
        return;
    m_picturesLoaded = true;
    m_pictures.clear();
    if (m_head.id == 0)
        return;
    const long count =
        std::min<long>(clBlob::BlobCount(Db(), clBlob::kRecipePicture, m_head.id), kMaxPictures);
    for (long num = 1; num <= count; ++num) {
        clBlob picture;
        picture.SetDB(m_db);
        // An empty slot is dropped; the pictures behind it move up on the next save.
        if (picture.Loadr(clBlob::kRecipePicture, m_head.id, num) && picture.IsUsed())
            m_pictures.push_back(std::move(picture));
        else
            m_picturesChanged = true;
    }
    if (!m_legacyPicture.empty() && m_pictures.empty()) {
        clBlob picture;
        picture.SetDB(m_db);
        picture.SetPath(m_legacyPicture);
        m_pictures.push_back(std::move(picture));
        m_picturesChanged = true;
    }
}

int ClRecipe::PictureCount()
{
    LoadPictures();
    return static_cast<int>(m_pictures.size());
}

const clBlob& ClRecipe::Picture(int index)
{
    LoadPictures();
    static const clBlob outside;
    if (index < 1 || index > static_cast<int>(m_pictures.size()))
        return outside;
    return m_pictures[static_cast<std::size_t>(index - 1)];
}

clBlob* ClRecipe::EditPicture(int index)
{
    LoadPictures();
    if (index < 1 || index > static_cast<int>(m_pictures.size()))
        return nullptr;
    m_picturesChanged = true;
    m_changed = true;
    return &m_pictures[static_cast<std::size_t>(index - 1)];
}

bool ClRecipe::PictureAdd(const Blob& data, const std::string& path)
{
    LoadPictures();
    if (static_cast<int>(m_pictures.size()) >= kMaxPictures || (data.empty() && path.empty()))
        return false;
    clBlob picture;
    picture.SetDB(m_db);
    if (!path.empty())
        picture.SetPath(path);
    else
        picture.SetBlobData(data);
    m_pictures.push_back(std::move(picture));
    m_picturesChanged = true;
    m_changed = true;
    return true;
}

bool ClRecipe::PictureDel(int index)
{
    LoadPictures();
    if (index < 1 || index > static_cast<int>(m_pictures.size()))
        return false;
    m_pictures.erase(m_pictures.begin() + (index - 1));
    m_picturesChanged = true;
    m_changed = true;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Change tracking

bool ClRecipe::IsChanged() const
{
    if (m_changed || m_new || !(m_head == m_saved))
        return true;
    if (m_linesChanged || m_cats.Changed() || m_books.Changed() || m_tools.Changed() || m_picturesChanged)
        return true;
    return std::any_of(m_lines.begin(), m_lines.end(),
                       [](const ClIngredient& line) { return line.IsChanged(); });
}

void ClRecipe::IgnoreChange()
{
    m_saved = m_head;
    m_changed = false;
    m_new = false;
    MarkCollectionsChanged(false);
    for (ClIngredient& line : m_lines)
        line.IgnoreChange();
    for (clBlob& picture : m_pictures)
        picture.MarkAsUnchanged();
}

void ClRecipe::CancelChange()
{
    m_head = m_saved;
    m_lines.clear();
    ForgetIdLists();
    m_pictures.clear();
    m_linesLoaded = m_picturesLoaded = false;
    m_linesChanged = m_picturesChanged = false;
    m_changed = false;
    if (m_head.id == 0)
        m_fullLoaded = true;
}

void ClRecipe::LoadAll()
{
    LoadDetail();
    LoadLines();
    Loaded(m_cats);
    Loaded(m_books);
    Loaded(m_tools);
    LoadPictures();
}

void ClRecipe::Clone()
{
    LoadAll();
    m_head.id = 0;
    m_stamp = -1;
    m_head.Fingerprint1 = 0;
    m_head.Fingerprint2 = 0;
    m_fingerprint = ClFingerprint();
    m_changed = true;
    m_new = false;
    MarkCollectionsChanged(true);
    for (clBlob& picture : m_pictures) {
        picture.PrepareForTransfer();
        picture.MarkAsChanged();
    }
}

void ClRecipe::Copy2Me(const ClRecipe& other)
{
    Database* db = m_db;
    auto units = m_ownUnits;
    auto recipeUnits = m_ownRecipeUnits;
    const bool nocache = m_nocache;
    const bool tempOnly = m_tempOnly;
    *this = other;
    m_db = db;
    m_ownUnits = units;
    m_ownRecipeUnits = recipeUnits;
    m_nocache = nocache;
    m_tempOnly = tempOnly;
    for (ClIngredient& line : m_lines)
        line.SetUnits(m_ownUnits.get());
    for (clBlob& picture : m_pictures)
        picture.SetDB(m_db);
}

// ---------------------------------------------------------------------------------------------
// Saving

long ClRecipe::SetNewID(long offset)
{
    Database& db = Db();
    long newId = 0;
    if (m_gapFilling && offset <= 0) {
        // The lowest free ID: 1 when free, else the first ID whose successor is missing, found
        // by walking the key in order and stopping at the first gap.
        if (db.Scalar("SELECT ID FROM T_REZ_KOPF WHERE ID=1").IsNull()) {
            newId = 1;
        } else {
            newId =
                AsLong(db.Scalar("SELECT a.ID+1 FROM T_REZ_KOPF AS a WHERE a.ID>=1 AND NOT EXISTS "
                                 "(SELECT 1 FROM T_REZ_KOPF AS b WHERE b.ID=a.ID+1) ORDER BY a.ID LIMIT 1"));
        }
    } else {
        const Value highest = db.Scalar("SELECT MAX(ID) FROM T_REZ_KOPF");
        newId = (highest.IsNull() ? 0 : AsLong(highest)) + offset + 1;
    }
    m_head.id = newId;
    m_changed = true;
    m_new = true;
    return newId;
}

void ClRecipe::WriteHead()
{
    Database& db = Db();
    const bool update = !m_new && !db.Scalar("SELECT ID FROM T_REZ_KOPF WHERE ID=?", {m_head.id}).IsNull();
    if (m_head.Importdate.Days == 0)
        m_head.Importdate = NowSerial();
    if (m_head.ImportSource == 0)
        m_head.ImportSource = 1;
    WriteHeadRow(db, m_head, update);
}

void ClRecipe::WritePictures()
{
    for (std::size_t i = 0; i < m_pictures.size(); ++i) {
        clBlob& picture = m_pictures[i];
        picture.SetDB(m_db);
        const long num = static_cast<long>(i) + 1;
        if (picture.IDReference() != m_head.id || picture.IDNum() != num ||
            picture.IDType() != clBlob::kRecipePicture) {
            picture.SetIDType(clBlob::kRecipePicture);
            picture.SetIDReference(m_head.id);
            picture.SetIDNum(num);
            picture.MarkAsChanged();
        }
        if (picture.IsChanged() && !picture.Save())
            throw picture.LastDbError();
    }
    Db().Execute("DELETE FROM T_BLOB WHERE IDType=5 AND IDReference=? AND IDNum>?",
                 {m_head.id, static_cast<long>(m_pictures.size())});
}

void ClRecipe::WriteChildren()
{
    Database& db = Db();
    const long id = m_head.id;
    if (m_picturesChanged || m_new)
        WritePictures();
    // The new rows go together, in a statement per table.
    RecipeRowSet rows;
    if (m_cats.Changed() || m_new) {
        db.Execute("DELETE FROM T_REZ_CAT_NDX WHERE ID=?", {id});
        rows.AddCategories(id, m_cats.Ids());
    }
    if (m_tools.Changed() || m_new) {
        db.Execute("DELETE FROM T_REZ_GERAET WHERE RezID=?", {id});
        rows.AddTools(id, m_tools.Ids());
    }
    if (m_books.Changed() || m_new) {
        db.Execute("DELETE FROM T_REZ_KOCHBUCH WHERE RezID=?", {id});
        rows.AddBooks(id, m_books.Ids());
    }
    bool linesChanged = m_linesChanged || m_new;
    if (!linesChanged)
        linesChanged = std::any_of(m_lines.begin(), m_lines.end(),
                                   [](const ClIngredient& line) { return line.IsChanged(); });
    if (linesChanged) {
        db.Execute("DELETE FROM T_REZ_ZUTAT WHERE ID=?", {id});
        for (std::size_t i = 0; i < m_lines.size(); ++i) {
            ClIngredient& line = m_lines[i];
            line.SetRezID(id);
            line.SetIngredNo(static_cast<long>(i) + 1);
            line.AddRowTo(rows);
        }
    }
    db.Execute("DELETE FROM T_REZ_ANWEIS WHERE ID=?", {id});
    rows.AddInstructions(id, m_head.Zubereitung);
    rows.Write(db);
    if (linesChanged)
        for (ClIngredient& line : m_lines)
            line.IgnoreChange();
}

bool ClRecipe::Save(bool keepFingerprint)
{
    LastErrorClear();
    if (m_tempOnly)
        return false;
    if (m_head.Title.empty()) {
        SetError(kErrTitle, "Titel");
        return false;
    }
    if (m_head.TitleMenuCard.empty())
        m_head.TitleMenuCard = m_head.Title;
    // Everything that is written must be in memory before the old rows are replaced.
    LoadAll();
    // Whether the recipe is complete is judged without its categories: a recipe with
    // instructions, yield and quantities must not lose its category silently as "generic".
    const bool complete = HasInstructions(m_head.Zubereitung) && m_head.Yield != 0 && AnyQuantity();
    IsGeneric();
    if (complete) {
        if (m_cats.Count() == 0) {
            SetError(kErrCategories, "Kategorien");
            return false;
        }
        if (m_head.Zubereitung.empty()) {
            SetError(kErrInstructions, "Zubereitung");
            return false;
        }
    }
    // A failed save leaves the object as it was before the call, so that it can be saved again.
    const RecipeHead before = m_head;
    const ClFingerprint fingerprintBefore = m_fingerprint;
    const bool wasNew = m_new;
    const std::vector<ClIngredient> linesBefore = m_lines;
    std::vector<clBlob> picturesBefore;
    if (m_picturesChanged || m_new || m_head.id == 0)
        picturesBefore = m_pictures;
    const bool update = m_head.id != 0 && !m_new;
    try {
        if (update) {
            if (!keepFingerprint)
                m_fingerprint.Update();
        } else {
            if (m_head.id == 0 || !m_new)
                SetNewID(0);
            if (!keepFingerprint || !m_fingerprint.HasFingerprint())
                m_fingerprint.Initialize();
        }
        m_head.Fingerprint1 = m_fingerprint.FP1();
        m_head.Fingerprint2 = m_fingerprint.FP2();
        Database& db = Db();
        DbTransaction trans(db);
        // Inside the transaction, which holds the write lock: nobody can change the recipe
        // between this look and the write.
        if (update && m_saved.id == m_head.id) {
            // Compared with the head and instructions as this object last loaded or saved them, and
            // by the stamp, which every write of any of the recipe's rows moves; a recipe deleted
            // meanwhile is stored again, as the user asked.
            ClRecipe stored;
            stored.SetDB(m_db);
            stored.SetNocache();
            if (stored.LoadByID(m_head.id, 2, true) &&
                (!(stored.m_head == m_saved) || (m_stamp != kNoChangeStamp && stored.m_stamp != m_stamp)))
                throw DbError(3197,
                              "Der Vorgang wurde angehalten, da Sie und ein anderer Benutzer gleichzeitig "
                              "versuchen, dieselben Daten zu ändern.");
        }
        WriteHead();
        WriteChildren();
        const std::int64_t stamp = HasChangeStamps(db) ? ReadChangeStamp(db, m_head.id) : kNoChangeStamp;
        trans.Commit();
        m_stamp = stamp;
    } catch (const DbError& error) {
        m_head = before;
        m_fingerprint = fingerprintBefore;
        m_new = wasNew;
        m_lines = linesBefore;
        if (!picturesBefore.empty())
            m_pictures = std::move(picturesBefore);
        m_changed = true;
        SetDbError(error);
        return false;
    }
    m_fullLoaded = true;
    IgnoreChange();
    m_ts = NowSerial();
    CacheUpdate();
    NotifyRecipeChange(RecipeChangeKind::Saved, {m_head.id}, &Db());
    return true;
}

bool ClRecipe::SaveAs()
{
    LoadAll();
    // A failed save leaves the original as it was, fingerprint and collections included.
    const ClRecipe original = *this;
    Clone();
    if (!Save()) {
        const long error = m_lastError;
        const std::string text = m_lastErrorText;
        *this = original;
        SetError(error, text);
        return false;
    }
    return true;
}

bool ClRecipe::SaveAsChild()
{
    if (m_head.id == 0) {
        SetError(kErrNotStored, "Das Rezept ist noch nicht gespeichert.");
        return false;
    }
    const long parent = m_head.id;
    LoadAll();
    const ClRecipe original = *this;
    Clone();
    m_head.rezparent = parent;
    if (!Save()) {
        const long error = m_lastError;
        const std::string text = m_lastErrorText;
        *this = original;
        SetError(error, text);
        return false;
    }
    return true;
}

bool ClRecipe::ImportUpdate(std::string_view categoryIds, std::string_view bookIds, std::string_view toolIds,
                            long mode)
{
    LastErrorClear();
    LoadAll();
    try {
        if (m_head.id == 0 || mode == 1 || mode == 3) {
            SetNewID(0);
            MarkCollectionsChanged(true);
        }
    } catch (const DbError& error) {
        SetDbError(error);
        return false;
    }
    for (long id : ParseIdList(categoryIds))
        if (id > 0)
            CatAddID(id);
    if (mode == 1)
        m_books.Clear();
    for (long id : ParseIdList(bookIds))
        if (id > 0 && (mode != 1 || m_books.Count() == 0))
            BookAdd(id);
    for (long id : ParseIdList(toolIds))
        if (id > 0)
            ToolAdd(id);
    m_books.SetChanged(true);
    return Save(true);
}

// ---------------------------------------------------------------------------------------------
// Deleting and batch changes

bool ClRecipe::Delete(bool toTrash, std::string_view idList)
{
    LastErrorClear();
    std::vector<long> ids = ParseIdList(idList);
    if (idList.empty() && m_head.id != 0)
        ids.push_back(m_head.id);
    if (ids.empty())
        return true;
    const std::string c = IdCondition(ids);
    Database& db = Db();
    try {
        if (toTrash) {
            if (db.Execute("UPDATE T_REZ_KOPF SET FlagDeleted=-1 WHERE ID" + c) == 0) {
                auto rs = db.OpenRecordset("SELECT ID,FlagDeleted FROM T_REZ_KOPF WHERE ID" + c);
                for (; !rs->Eof(); rs->MoveNext()) {
                    rs->Edit();
                    rs->SetField("FlagDeleted", true);
                    rs->Update();
                }
            }
        } else {
            const std::string statements[] = {
                // Menu courses that showed the recipe's title keep it as their own.
                "UPDATE T_MENU_GANG SET TitelAlternativ=(SELECT RezTitle FROM T_REZ_KOPF WHERE "
                "T_REZ_KOPF.ID=T_MENU_GANG.RezID) WHERE (TitelAlternativ IS NULL OR TitelAlternativ=\"\") "
                "AND "
                "RezID" +
                    c,
                "DELETE FROM T_REZ_ZUTAT WHERE ID" + c,
                "DELETE FROM T_REZ_CAT_NDX WHERE ID" + c,
                "DELETE FROM T_REZ_ANWEIS WHERE ID" + c,
                "DELETE FROM T_REZ_KOCHBUCH WHERE RezID" + c,
                "DELETE FROM T_REZ_GERAET WHERE RezID" + c,
                "DELETE FROM T_REZ_KOPFGEFRIER WHERE KopfID" + c,
                "DELETE FROM T_BLOB WHERE IDType=5 AND IDReference" + c,
                "DELETE FROM T_REZ_KOPF WHERE ID" + c,
            };
            bool committed = false;
            {
                DbTransaction trans(db);
                long last = 0;
                for (const std::string& sql : statements)
                    last = db.Execute(sql);
                if (last > 0) {
                    trans.Commit();
                    committed = true;
                }
            }
            // Data sources that report no affected rows inside a transaction get the statements
            // once more without one.
            if (!committed)
                for (const std::string& sql : statements)
                    db.Execute(sql);
        }
    } catch (const DbError& error) {
        SetDbError(error);
        return false;
    }
    if (!m_nocache) {
        for (long id : ids) {
            if (toTrash) {
                if (ClRecipe* cached = RecipeCache().Find(db.Serial(), id)) {
                    cached->m_head.isDeleted = true;
                    cached->m_saved.isDeleted = true;
                }
            } else {
                RecipeCache().Erase(db.Serial(), id);
            }
        }
    }
    if (std::find(ids.begin(), ids.end(), m_head.id) != ids.end()) {
        m_head.isDeleted = toTrash;
        m_saved.isDeleted = toTrash;
    }
    NotifyRecipeChange(toTrash ? RecipeChangeKind::Trashed : RecipeChangeKind::Deleted, std::move(ids), &db);
    return true;
}

bool ClRecipe::Undelete(std::string_view idList)
{
    LastErrorClear();
    std::vector<long> ids = ParseIdList(idList);
    if (idList.empty() && m_head.id != 0)
        ids.push_back(m_head.id);
    if (ids.empty())
        return true;
    Database& db = Db();
    const std::string list = JoinIds(ids);
    try {
        try {
            db.Execute("UPDATE T_REZ_KOPF SET FlagDeleted=False WHERE ID IN (" + list + ")");
        } catch (const DbError&) {
            auto rs = db.OpenRecordset("SELECT ID,FlagDeleted FROM T_REZ_KOPF WHERE ID IN (" + list + ")");
            for (; !rs->Eof(); rs->MoveNext()) {
                rs->Edit();
                rs->SetField("FlagDeleted", false);
                rs->Update();
            }
        }
    } catch (const DbError& error) {
        SetDbError(error);
        return false;
    }
    if (!m_nocache)
        for (long id : ids)
            if (ClRecipe* cached = RecipeCache().Find(db.Serial(), id)) {
                cached->m_head.isDeleted = false;
                cached->m_saved.isDeleted = false;
            }
    if (std::find(ids.begin(), ids.end(), m_head.id) != ids.end()) {
        m_head.isDeleted = false;
        m_saved.isDeleted = false;
    }
    NotifyRecipeChange(RecipeChangeKind::Restored, std::move(ids), &db);
    return true;
}

bool ClRecipe::CheckDependency(std::string_view idList, bool checkSubRecipes, bool checkMenus,
                               std::string& usedBy, std::string& menus, std::string& deletable)
{
    LastErrorClear();
    usedBy.clear();
    menus.clear();
    deletable.clear();
    std::vector<long> ids = ParseIdList(idList);
    std::erase(ids, 0L);
    std::vector<long> users, menuIds, free;
    Database& db = Db();
    try {
        for (long id : ids) {
            bool counted = false;
            if (checkSubRecipes) {
                auto rs =
                    db.OpenRecordset("SELECT ID FROM T_REZ_ZUTAT WHERE ZutBLSID=? AND ZutRezept<>0", {id});
                for (; !rs->Eof(); rs->MoveNext()) {
                    const long user = AsLong(rs->Field(0));
                    if (std::find(ids.begin(), ids.end(), user) != ids.end())
                        continue;
                    counted = true;
                    if (std::find(users.begin(), users.end(), user) == users.end())
                        users.push_back(user);
                }
            }
            if (!counted)
                free.push_back(id);
        }
        if (checkMenus && !ids.empty()) {
            for (std::size_t first = 0; first < ids.size(); first += kBatchSize) {
                auto rs = db.OpenRecordset("SELECT MenuID,RezID FROM T_MENU_GANG WHERE RezID IN (" +
                                           JoinIds(ids, first, kBatchSize) + ")");
                for (; !rs->Eof(); rs->MoveNext()) {
                    const long menu = AsLong(rs->Field(0));
                    if (std::find(menuIds.begin(), menuIds.end(), menu) == menuIds.end())
                        menuIds.push_back(menu);
                    std::erase(free, AsLong(rs->Field(1)));
                }
            }
        }
    } catch (const DbError& error) {
        SetDbError(error);
        return false;
    }
    usedBy = JoinIds(users);
    menus = JoinIds(menuIds);
    deletable = JoinIds(free);
    return true;
}

bool ClRecipe::ChangeOrigin(std::string_view idList, long newOrigin, long mode)
{
    LastErrorClear();
    const std::vector<long> ids = ParseIdList(idList);
    Database& db = Db();
    try {
        for (std::size_t first = 0; first < ids.size(); first += kBatchSize) {
            std::string sql = "UPDATE T_REZ_KOPF SET RezHerkunft=" + std::to_string(newOrigin) +
                              " WHERE ID IN (" + JoinIds(ids, first, kBatchSize) + ")";
            if (mode == 1)
                sql += " AND RezHerkunft=0";
            db.Execute(sql);
        }
    } catch (const DbError& error) {
        SetDbError(error);
        return false;
    }
    if (!m_nocache)
        for (long id : ids)
            if (ClRecipe* cached = RecipeCache().Find(db.Serial(), id))
                if (mode != 1 || cached->m_head.Origin == 0) {
                    cached->m_head.Origin = newOrigin;
                    cached->m_saved.Origin = newOrigin;
                }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Information

std::vector<std::string> ClRecipe::GetRecipeCategories(long id)
{
    std::vector<std::string> names;
    try {
        auto rs = Db().OpenRecordset("SELECT T_CAT.CatNameD FROM T_REZ_CAT_NDX INNER JOIN T_CAT ON "
                                     "T_REZ_CAT_NDX.CatID = T_CAT.ID WHERE T_REZ_CAT_NDX.ID=? "
                                     "ORDER BY T_REZ_CAT_NDX.CatPrimary, T_REZ_CAT_NDX.[No]",
                                     {id});
        for (; !rs->Eof(); rs->MoveNext())
            names.push_back(rs->Field(0).AsText());
    } catch (const DbError& error) {
        SetDbError(error);
    }
    return names;
}

long ClRecipe::GetAttachementCount(long id)
{
    return clBlob::BlobCount(Db(), clBlob::kRecipePicture, id);
}

std::string ClRecipe::GetChainedRecipeList(long id)
{
    std::string usedBy, menus, deletable;
    CheckDependency(std::to_string(id), true, false, usedBy, menus, deletable);
    return usedBy;
}

std::string ClRecipe::GetChainedMenuList(long id)
{
    std::string usedBy, menus, deletable;
    CheckDependency(std::to_string(id), false, true, usedBy, menus, deletable);
    return menus;
}

long ClRecipe::FindFirstChild(long id)
{
    try {
        return AsLong(Db().Scalar("SELECT MIN(ID) FROM T_REZ_KOPF WHERE RezParent=? AND ID<>?", {id, id}));
    } catch (const DbError& error) {
        SetDbError(error);
        return 0;
    }
}

bool ClRecipe::HasChilds(long id)
{
    return FindFirstChild(id) != 0;
}

long ClRecipe::GetGuestCount()
{
    if (!m_guestsLoaded) {
        m_guestsLoaded = true;
        m_guests.clear();
        try {
            auto rs = Db().OpenRecordset(
                "SELECT T_MENU_KOPF.MenuTitle, T_MENU_KOPF.MenuDatum, T_MENU_GAST.* FROM (T_MENU_GAST INNER "
                "JOIN "
                "T_MENU_GANG ON (T_MENU_GAST.MenuID=T_MENU_GANG.MenuID)) INNER JOIN T_MENU_KOPF ON "
                "T_MENU_GANG.MenuID=T_MENU_KOPF.MenuID WHERE T_MENU_GANG.RezID=" +
                std::to_string(m_head.id) + " ORDER BY T_MENU_KOPF.MenuDatum DESC");
            for (; !rs->Eof(); rs->MoveNext()) {
                RecipeGuest guest;
                guest.AdressID = AsLong(rs->Field("AdressID"));
                guest.MenuTitle = rs->Field("MenuTitle").AsText();
                const Value date = rs->Field("MenuDatum");
                guest.MenuDatum = date.IsNull() ? DateSerial() : date.AsDate();
                guest.Notiz = rs->Field("Notiz").AsText();
                m_guests.push_back(std::move(guest));
            }
        } catch (const DbError& error) {
            SetDbError(error);
        }
    }
    return static_cast<long>(m_guests.size());
}

const RecipeGuest& ClRecipe::Guest(int index) const
{
    static const RecipeGuest none;
    if (index < 1 || index > static_cast<int>(m_guests.size()))
        return none;
    return m_guests[static_cast<std::size_t>(index - 1)];
}

std::string ClRecipe::RecipeCellTip(long id)
{
    ClRecipe recipe;
    recipe.m_db = m_db;
    recipe.m_ownUnits = m_ownUnits;
    recipe.m_ownRecipeUnits = m_ownRecipeUnits;
    if (!recipe.LoadByID(id, 0, true))
        return {};
    std::vector<std::string> lines;
    auto add = [&](const std::string& prefix, const std::string& value) {
        if (!value.empty())
            lines.push_back(prefix + value);
    };
    if (recipe.Yield() != 0)
        lines.push_back(std::string(Trim(std::string("Angaben für: ") + std::to_string(recipe.Yield()) + " " +
                                         recipe.YieldUnitText())));
    add("Herkunft: ", recipe.OriginName());
    std::string source;
    try {
        source = LiteratureTitleOf(recipe.Db(), recipe.Sourcebook(), recipe.SourcePage());
    } catch (const DbError&) {
        // The tip goes on without the source; the recipe itself was readable.
    }
    if (source.empty())
        source = recipe.SourceText();
    add("Quellenangabe: ", source);
    if (recipe.Fingerprint().HasFingerprint())
        lines.push_back(recipe.Fingerprint().FingerprintInfoText());
    if (recipe.LanguageID() != 0)
        add("Sprache: ", recipe.LanguageText());
    std::string cats;
    for (const std::string& name : recipe.GetRecipeCategories(id))
        cats += (cats.empty() ? "" : ", ") + name;
    add("Kategorien: ", cats);
    std::string books;
    for (int i = 1; i <= recipe.BookCount(); ++i)
        books += (books.empty() ? "" : ", ") + recipe.BookName(i);
    add("Kochbücher: ", books);
    add("Basiert auf: ", recipe.RezParentTitle());
    if (recipe.HasChilds(id))
        lines.push_back("Andere Rezepte basieren auf diesem Rezept");
    try {
        Database& db = recipe.Db();
        const Value lastPlan = db.Scalar(
            "SELECT MAX(T_MENU_KOPF.MenuDatum) FROM T_MENU_KOPF INNER JOIN T_MENU_GANG ON "
            "T_MENU_KOPF.MenuID=T_MENU_GANG.MenuID WHERE T_MENU_GANG.RezID=? AND T_MENU_KOPF.MenuTree=-3",
            {id});
        if (!lastPlan.IsNull())
            lines.push_back("Im Wochenplan letztmals am " + ShortDateText(lastPlan.AsDate()));
        const std::string menuList = recipe.GetChainedMenuList(id);
        if (!menuList.empty()) {
            std::string used;
            auto rs = db.OpenRecordset(
                "SELECT DISTINCT MenuTitle,MenuDatum FROM T_MENU_KOPF WHERE MenuID IN (" + menuList + ")");
            for (; !rs->Eof(); rs->MoveNext()) {
                const Value date = rs->Field(1);
                used += (used.empty() ? "" : ", ") + rs->Field(0).AsText() + " [" +
                        (date.IsNull() ? std::string() : ShortDateText(date.AsDate())) + "]";
            }
            add("In Menüs genutzt: ", used);
        }
    } catch (const DbError&) {
        // Older databases without menus give no menu lines.
    }
    std::string tip;
    for (const std::string& line : lines)
        tip += (tip.empty() ? "" : "\n") + line;
    return tip;
}

// ---------------------------------------------------------------------------------------------
// Scaling and display

void ClRecipe::SetConvtype(int flags)
{
    m_convtype = flags;
    LoadLines();
    for (ClIngredient& line : m_lines)
        line.SetConvtype(flags);
}

void ClRecipe::ScaleRecipe(long newYield)
{
    const double ratio = ScaleRatio(m_head.Yield, newYield);
    if (ratio == 0)
        return;
    const bool up = newYield > m_head.Yield;
    LoadLines();
    ClUnit& units = Units();
    for (ClIngredient& line : m_lines) {
        if (line.IsTrenner())
            continue;
        const int index = line.EinheitPtr();
        if (units.Unscaled(index))
            continue;
        line.SetMenge(ScaleQuantity(line.Menge(), ratio, up, units.NoFractionOnScale(index)));
    }
    m_head.Yield = newYield;
    m_changed = true;
}

} // namespace pf
