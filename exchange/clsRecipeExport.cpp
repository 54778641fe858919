#include "exchange/clsRecipeExport.h"

#include "core/AppContext.h"
#include "core/CsvText.h"
#include "core/Interaction.h"
#include "core/TextConv.h"
#include "core/Utf8.h"
#include "db/Database.h"
#include "db/DatabaseChoice.h"
#include "db/DbError.h"
#include "db/Recordset.h"
#include "exchange/CookbookXmlExport.h"
#include "exchange/CsvExport.h"
#include "exchange/ExportText.h"
#include "exchange/HtmlExport.h"
#include "exchange/MMExport.h"
#include "exchange/MensaxExport.h"
#include "exchange/RtfExport.h"
#include "exchange/StructureExport.h"
#include "model/ClRecipe.h"
#include "model/clBlob.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace pf {

namespace {

std::string JoinIds(const std::vector<long>& ids)
{
    std::string text;
    for (long id : ids)
        text += (text.empty() ? "" : ",") + std::to_string(id);
    return text;
}

bool Contains(const std::vector<long>& ids, long id)
{
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

bool IsBlankLine(std::string_view text)
{
    return text.find_first_not_of(" \r\n") == std::string_view::npos;
}

} // namespace

clsRecipeExport::clsRecipeExport() = default;

clsRecipeExport::~clsRecipeExport() = default;

std::string clsRecipeExport::ModeTypeName(int mode)
{
    switch (GetModeType(mode)) {
    case 0:
        return "Meal Master";
    case 2:
        return AppContext::Current().AppTitle + " Datenbank";
    case 3:
        return "HTML";
    case 4:
        return "RTF (Richtext)";
    case 5:
        return "Rezkonv";
    case 6:
        return "Mensax";
    case 8:
        return "Rezeptstruktur";
    case 9:
        return "CSV";
    default:
        return {};
    }
}

bool clsRecipeExport::isFileBasedExport(int mode)
{
    return mode % 2 != 0 || mode == 2 || mode == 22;
}

bool clsRecipeExport::IsAppendPossible(int mode) const
{
    if (mode == -1)
        mode = m_mode;
    switch (mode) {
    case 0:
    case 1:
    case 2:
    case 11:
    case 20:
    case 21:
    case 22:
    case 50:
    case 51:
        return true;
    default:
        return false;
    }
}

std::string clsRecipeExport::FileFilter(int mode)
{
    switch (GetModeType(mode)) {
    case 0:
        return "Meal-Master|*.mm";
    case 2:
        return "Kochbuchdatenbanken|*.zip;*.zip";
    case 3:
        return "HTML-Datei|*.html;*.htm";
    case 4:
        return "RTF-Datei|*.rtf|DOC-Datei|*.doc";
    case 5:
        return "Rezkonv|*.rez|Mealmaster/Rezkonv|*.mm";
    case 6:
        return "Mensax-Datei|*.mnx";
    case 7:
        return "Android Cookbook-Datei|*.xml";
    case 9:
        return "CSV|*.csv";
    default:
        return {};
    }
}

bool clsRecipeExport::IsSupportedMode(int mode)
{
    switch (mode) {
    case kMealMasterClipboard:
    case kMealMasterFile:
    case kMealMasterFile2:
    case kHtmlClipboard:
    case kHtmlFile:
    case kRtfControl:
    case kRtfFile:
    case kRtfWord:
    case kRezkonvClipboard:
    case kRezkonvFile:
    case kMensaxClipboard:
    case kMensaxFile:
    case kDatabaseFile:
    case kDatabaseZip:
    case kDatabaseZipOnly:
    case kCookbookXmlClipboard:
    case kCookbookXmlFile:
    case kStructureClipboard:
    case kCsvClipboard:
    case kCsvFile:
        return true;
    default:
        return false;
    }
}

void clsRecipeExport::SetDB(Database* db)
{
    m_db = db;
    m_recipe.reset();
}

void clsRecipeExport::SetExportFile(const std::string& name, bool append)
{
    m_fileName = name;
    m_append = append;
}

void clsRecipeExport::SetHtmlOptions(int flags, std::string picturePath, bool downloadSection)
{
    m_htmlFlags = flags;
    m_picturePath = std::move(picturePath);
    m_htmlDownload = downloadSection;
}

Database& clsRecipeExport::Db() const
{
    return m_db ? *m_db : WorkDb();
}

bool clsRecipeExport::CompleteInit(int mode, const std::string& fileName, bool append, Database* db)
{
    SetExportMode(mode);
    if ((isFileBasedExport(mode) || mode == kRtfWord) && !fileName.empty())
        SetExportFile(fileName, append);
    SetDB(db);
    return MediaInit();
}

void clsRecipeExport::SetError(std::string text)
{
    if (m_lastErrorText.empty())
        m_lastErrorText = std::move(text);
}

bool clsRecipeExport::FlushsToFile() const
{
    return isFileBasedExport(m_mode) && GetModeType(m_mode) != 4;
}

bool clsRecipeExport::OpenFile()
{
    namespace fs = std::filesystem;
    const bool append = m_append && IsAppendPossible();
    std::error_code ec;
    // Writing over the open database (chosen by mistake as target) would destroy every recipe.
    const Database* db = m_db ? m_db : (HasWorkDb() ? &WorkDb() : nullptr);
    if (db && fs::equivalent(m_fileName, db->Name(), ec)) {
        SetError("Die Datei " + m_fileName + " ist die geöffnete Datenbank und wird nicht überschrieben.");
        return false;
    }
    if (!append && fs::exists(m_fileName, ec)) {
        // The previous file stays as name.BAK; when it cannot be renamed it is replaced.
        const std::string backup = m_fileName + ".BAK";
        fs::remove(backup, ec);
        fs::rename(m_fileName, backup, ec);
        if (ec)
            fs::remove(m_fileName, ec);
    }
    m_file.open(m_fileName, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
    m_fileOpen = m_file.is_open();
    if (!m_fileOpen)
        SetError("Die Datei " + m_fileName + " kann nicht geschrieben werden.");
    return m_fileOpen;
}

bool clsRecipeExport::MediaInit()
{
    m_lastErrorText.clear();
    m_result.clear();
    m_recipeBuffer.clear();
    m_rtfBody.clear();
    m_titleIndex.clear();
    m_titleIndexOn = AppContext::Current().Options.ExportTitelIndex != 0;
    // Mensax, cookbook XML and UTF-8 HTML lines are reduced by the sink to the characters those
    // formats carry and written as UTF-8; CSV and the structure text keep every character.
    const int type = GetModeType(m_mode);
    m_ansiToUtf8 = (type == 3 && (m_htmlFlags & htmlflags::kUtf8) != 0) || type == 6 || type == 7;
    m_utf8Output = m_ansiToUtf8 || type == 8 || type == 9;
    if (!IsSupportedMode(m_mode)) {
        SetError("Die Exportart " + std::to_string(m_mode) + " ist nicht verfügbar.");
        return false;
    }
    if (FlushsToFile()) {
        if (m_fileName.empty()) {
            SetError("Es wurde keine Zieldatei angegeben.");
            return false;
        }
        if (!OpenFile())
            return false;
    }
    // Appending continues the file without a second header.
    if (type == 3) {
        HtmlMediaInit(*this);
    } else if (type == 6) {
        MensaxMediaInit(*this);
    } else if (type == 7) {
        CookbookXmlMediaInit(*this);
    } else if (type == 9) {
        if (m_mode == kCsvFile)
            m_recipeBuffer += kUtf8Bom;
        CsvMediaInit(*this);
    }
    FlushRecipeBuffer();
    return m_lastErrorText.empty();
}

bool clsRecipeExport::WriteToFile(std::string_view text)
{
    if (!m_fileOpen)
        return false;
    if (m_utf8Output)
        m_file << text;
    else
        m_file << Utf8ToWin1252(text);
    if (!m_file) {
        SetError("Die Datei " + m_fileName + " kann nicht geschrieben werden.");
        return false;
    }
    return true;
}

void clsRecipeExport::FlushRecipeBuffer()
{
    if (m_recipeBuffer.empty())
        return;
    if (FlushsToFile())
        WriteToFile(m_recipeBuffer);
    else
        m_result += m_recipeBuffer;
    m_recipeBuffer.clear();
}

void clsRecipeExport::WriteExportLine(std::string_view text, bool noNewline, bool htmlConvert, bool noUtf8)
{
    const int type = GetModeType(m_mode);
    std::string line;
    if (type == 3) {
        line = htmlConvert ? HTMLConvert(text) : std::string(text);
        if (!noNewline)
            line += "<br />";
    } else if (type == 4) {
        line = std::string(text);
    } else {
        line = EliminateUmlaute(text, AppContext::Current().Options.ExportUmlautConvert != 0, false);
    }
    if (type == 3 || !noNewline)
        line += "\r\n";
    if (m_ansiToUtf8 && !noUtf8)
        line = AnsiToUtf8(line);
    if ((m_mode == 60 || m_mode == 61 || m_mode == 30 || m_mode == 31) && IsBlankLine(line))
        return;
    if (type == 4)
        RtfAddText(m_rtfBody, line);
    else
        m_recipeBuffer += line;
}

std::string clsRecipeExport::KopfHaltbarkeit(const ClRecipe& recipe)
{
    static const char* const kWords[3] = {" Tage ungekühlt", " Tage gekühlt", " Tage tiefgefroren"};
    std::string text;
    for (int i = 1; i <= 3; ++i) {
        const long days = recipe.StorageTime(i);
        if (days != 0)
            text += (text.empty() ? "" : ", ") + std::to_string(days) + kWords[i - 1];
    }
    return text;
}

void clsRecipeExport::AddTitleIndex(const std::string& title)
{
    if (GetModeType(m_mode) == 3)
        m_titleIndex += "<li>" + HTMLConvert(title) + "</li>\r\n";
    else
        m_titleIndex += "  " + title + "\r\n";
}

bool clsRecipeExport::ExportRecipe(long id, long servings)
{
    if (!m_lastErrorText.empty())
        return false;
    if (!m_recipe) {
        m_recipe = std::make_unique<ClRecipe>();
        m_recipe->SetDB(m_db);
    }
    ClRecipe& recipe = *m_recipe;
    m_haveCategories = false;
    if (auto ahead = m_prefetched.find(id); ahead != m_prefetched.end()) {
        Fill(recipe, ahead->second);
        m_prefetched.erase(ahead);
    } else if (!recipe.LoadByID(id, 2, true)) {
        return false;
    }
    if (m_titleIndexOn)
        AddTitleIndex(recipe.Title());
    const int type = GetModeType(m_mode);
    if (m_mode < 10)
        recipe.SetConvtype(20);
    else if (m_mode < 30)
        recipe.SetConvtype(18);
    else if (type == 6)
        recipe.SetConvtype(24);
    else if (m_mode != 80)
        recipe.SetConvtype(2);
    if (servings > 0 && servings != recipe.Yield())
        recipe.ScaleRecipe(servings);

    m_lineCounter = 0;
    m_foodKeyCodes.clear();
    try {
        switch (type) {
        case 0:
            ExportMealMasterRecipe(*this, recipe);
            break;
        case 3:
            ExportHtmlRecipe(*this, recipe);
            break;
        case 4:
            ExportRtfRecipe(*this, recipe);
            break;
        case 5:
            ExportRezkonvRecipe(*this, recipe);
            break;
        case 6:
            ExportMensaxRecipe(*this, recipe);
            break;
        case 7:
            ExportCookbookXmlRecipe(*this, recipe);
            break;
        case 8:
            ExportRecipeStructure(*this, recipe);
            break;
        case 9:
            ExportCsvRecipe(*this, recipe);
            break;
        default:
            break;
        }
    } catch (const DbError& error) {
        SetError(error.Description());
    }
    FlushRecipeBuffer();
    return m_lastErrorText.empty();
}

void clsRecipeExport::Prefetch(const std::vector<long>& ids)
{
    m_prefetched.clear();
    const int type = GetModeType(m_mode);
    // HTML names picture files after the recipe and reads its pictures: it loads singly. So does a
    // Mensax recipe with a picture.
    const bool mensax = type == 6;
    if (ids.empty() || (type != 0 && type != 4 && type != 5 && !mensax))
        return;
    const std::string list = JoinIds(ids);
    Database& db = Db();
    std::unordered_map<long, Prefetched> ahead;
    std::vector<long> withPicture;
    try {
        auto head = db.OpenRecordset("SELECT * FROM T_REZ_KOPF WHERE ID IN (" + list + ")");
        // Older databases name a picture file in RezBild; newer ones lack the column.
        bool legacyPictures = false;
        for (int i = 0; mensax && i < head->FieldCount(); ++i)
            legacyPictures = legacyPictures || EqualsNoCase(head->FieldName(i), "RezBild");
        for (; !head->Eof(); head->MoveNext()) {
            Prefetched& data = ahead[static_cast<long>(head->Field("ID").AsLong())];
            data.Title = head->Field("RezTitle").AsText();
            data.SourceText = head->Field("RezQuelle").AsText();
            data.Notizen = head->Field("RezNotizen").AsText();
            data.Yield = static_cast<long>(head->Field("RezYield").AsLong());
            data.YieldUnit = static_cast<long>(head->Field("RezYieldEinh").AsLong());
            data.Origin = static_cast<long>(head->Field("RezHerkunft").AsLong());
            const char* storage[3] = {"RezHaltbarLagern", "RezHaltbarKuehl", "RezHaltbarTiefkuehl"};
            for (int i = 0; i < 3; ++i) {
                const Value days = head->Field(storage[i]);
                data.StorageTime[static_cast<std::size_t>(i)] =
                    days.IsNull() ? 0 : static_cast<long>(std::floor(days.AsDate().Days));
            }
            data.Fingerprint1 = static_cast<std::int32_t>(head->Field("Fingerprint1").AsLong());
            data.Fingerprint2 = static_cast<std::int32_t>(head->Field("Fingerprint2").AsLong());
            data.LanguageID = static_cast<long>(head->Field("RezSprache").AsLong());
            data.SourcebookID = static_cast<long>(head->Field("RezQuelleID").AsLong());
            data.SourcePage = LeadingLong(head->Field("RezQuellePage").AsText());
            if (legacyPictures && !head->Field("RezBild").AsText().empty())
                withPicture.push_back(static_cast<long>(head->Field("ID").AsLong()));
        }
        if (mensax && AppContext::Current().Options.ExportNoPictures == 0) {
            auto pictures = db.OpenRecordset("SELECT DISTINCT IDReference FROM T_BLOB WHERE IDType=" +
                                             std::to_string(clBlob::kRecipePicture) +
                                             " AND IDReference IN (" + list + ")");
            for (; !pictures->Eof(); pictures->MoveNext())
                withPicture.push_back(static_cast<long>(pictures->Field(0).AsLong()));
        }
        auto text = db.OpenRecordset("SELECT ID, AnwText FROM T_REZ_ANWEIS WHERE ID IN (" + list +
                                     ") ORDER BY ID, [No]");
        for (; !text->Eof(); text->MoveNext()) {
            auto it = ahead.find(static_cast<long>(text->Field(0).AsLong()));
            if (it != ahead.end())
                it->second.Zubereitung += text->Field(1).AsText();
        }
        auto lines =
            db.OpenRecordset("SELECT * FROM T_REZ_ZUTAT WHERE ID IN (" + list + ") ORDER BY ID, [No]");
        std::string subRecipes;
        for (; !lines->Eof(); lines->MoveNext()) {
            ClIngredient line;
            line.ReadRow(*lines);
            if (line.IsRecipe() && !m_subFingerprints.contains(line.IsRecipeID())) {
                subRecipes += (subRecipes.empty() ? "" : ",") + std::to_string(line.IsRecipeID());
                m_subFingerprints[line.IsRecipeID()]; // gone unless found below
            }
            auto it = ahead.find(line.RezID());
            if (it != ahead.end())
                it->second.Lines.push_back(std::move(line));
        }
        if (mensax && !subRecipes.empty()) {
            auto fps = db.OpenRecordset(
                "SELECT ID, Fingerprint1, Fingerprint2 FROM T_REZ_KOPF WHERE ID IN (" + subRecipes + ")");
            for (; !fps->Eof(); fps->MoveNext())
                m_subFingerprints[static_cast<long>(fps->Field(0).AsLong())] =
                    std::to_string(fps->Field(1).AsLong()) + "," + std::to_string(fps->Field(2).AsLong());
        }
        auto cats = db.OpenRecordset(
            "SELECT T_REZ_CAT_NDX.ID, T_CAT.CatNameD FROM T_REZ_CAT_NDX INNER JOIN T_CAT ON "
            "T_REZ_CAT_NDX.CatID = "
            "T_CAT.ID WHERE T_REZ_CAT_NDX.ID IN (" +
            list + ") ORDER BY T_REZ_CAT_NDX.ID, T_REZ_CAT_NDX.CatPrimary, T_REZ_CAT_NDX.[No]");
        for (; !cats->Eof(); cats->MoveNext()) {
            auto it = ahead.find(static_cast<long>(cats->Field(0).AsLong()));
            if (it != ahead.end())
                it->second.Categories.push_back(cats->Field(1).AsText());
        }
    } catch (const DbError&) {
        m_subFingerprints.clear();
        return; // the recipes are loaded singly, which reports what is wrong
    }
    for (const long id : withPicture)
        ahead.erase(id);
    m_prefetched = std::move(ahead);
}

void clsRecipeExport::Fill(ClRecipe& recipe, Prefetched& data)
{
    recipe.LoadByID(0);
    recipe.SetTitle(data.Title);
    recipe.SetSourceText(data.SourceText);
    recipe.SetNotizen(data.Notizen);
    recipe.SetZubereitung(data.Zubereitung);
    recipe.SetYield(data.Yield);
    recipe.SetYieldUnitIndex(data.YieldUnit);
    recipe.SetOriginID(data.Origin);
    for (int i = 1; i <= 3; ++i)
        recipe.SetStorageTime(i, data.StorageTime[static_cast<std::size_t>(i - 1)]);
    if (data.Fingerprint1 != 0 || data.Fingerprint2 != 0)
        recipe.Fingerprint().SetFPBin(data.Fingerprint1, data.Fingerprint2);
    recipe.SetLanguageID(data.LanguageID);
    recipe.SourcebookSetID(data.SourcebookID);
    recipe.SetSourcePage(data.SourcePage);
    for (const ClIngredient& line : data.Lines)
        recipe.IngredAdd(line);
    m_categories = std::move(data.Categories);
    m_haveCategories = true;
}

std::string clsRecipeExport::RecipeFingerprint(long id)
{
    if (auto it = m_subFingerprints.find(id); it != m_subFingerprints.end())
        return it->second;
    std::string fingerprint;
    auto rs = Db().OpenRecordset("SELECT Fingerprint1, Fingerprint2 FROM T_REZ_KOPF WHERE ID=?", {Value(id)});
    if (!rs->Eof())
        fingerprint = std::to_string(rs->Field(0).AsLong()) + "," + std::to_string(rs->Field(1).AsLong());
    return m_subFingerprints[id] = fingerprint;
}

std::string clsRecipeExport::LiteratureTitle(long quelleId)
{
    if (auto it = m_literatureTitles.find(quelleId); it != m_literatureTitles.end())
        return it->second;
    auto rs = Db().OpenRecordset("SELECT Title FROM T_LITERATUR WHERE QuelleID=?", {Value(quelleId)});
    return m_literatureTitles[quelleId] = rs->Eof() ? std::string() : rs->Field(0).AsText();
}

std::vector<std::string> clsRecipeExport::RecipeCategories(ClRecipe& recipe, std::size_t limit)
{
    std::vector<std::string> names =
        m_haveCategories ? m_categories : recipe.GetRecipeCategories(recipe.id());
    if (names.size() > limit)
        names.resize(limit);
    return names;
}

bool clsRecipeExport::MediaClose(const std::vector<long>& menuIds)
{
    const int type = GetModeType(m_mode);
    if (type == 3) {
        HtmlMediaClose(*this, m_titleIndex, m_htmlDownload);
    } else if (type == 6 || type == 7 || type == 9) {
        try {
            if (type == 6)
                MensaxMediaClose(*this, menuIds);
            else if (type == 7)
                CookbookXmlMediaClose(*this);
            else
                CsvMediaClose(*this, menuIds);
        } catch (const DbError& error) {
            SetError(error.Description());
        }
    } else if (!m_titleIndex.empty() && type != 4) {
        m_recipeBuffer += m_titleIndex;
    }
    FlushRecipeBuffer();

    if (type == 4) {
        m_result = RtfDocument(m_rtfBody);
        if (m_mode != kRtfControl) {
            std::string path = m_fileName;
            if (path.empty())
                path = AppContext::Current().TempDir + "Pfannola_Export.rtf";
            if (std::filesystem::path(path).extension().empty())
                path += ".RTF";
            m_fileName = path;
            if (OpenFile())
                WriteToFile(m_result);
        }
    }
    if (m_fileOpen) {
        m_file.close();
        m_fileOpen = false;
        if (m_file.fail())
            SetError("Die Datei " + m_fileName + " kann nicht geschrieben werden.");
    }
    if (m_mode == kRtfWord && m_lastErrorText.empty() && !UI().OpenWithDefaultApplication(m_fileName))
        SetError("Die Datei " + m_fileName +
                 " kann nicht mit dem Textverarbeitungsprogramm geöffnet werden.");
    if (!isFileBasedExport(m_mode) && m_mode != kRtfWord)
        UI().SetClipboardText(m_result);
    return m_lastErrorText.empty();
}

ExportList clsRecipeExport::Dependencies(Database& db, const ExportList& list, bool withSubRecipes,
                                         bool withParents)
{
    ExportList result;
    if (list.Ids.empty() || (!withSubRecipes && !withParents))
        return list;
    std::vector<long> extra;
    std::vector<long> sorted; // the list for lookups, made on the first hit
    auto known = [&](long id) {
        if (sorted.empty()) {
            sorted = list.Ids;
            std::sort(sorted.begin(), sorted.end());
        }
        return std::binary_search(sorted.begin(), sorted.end(), id) || Contains(extra, id);
    };
    // In pieces: a statement naming every recipe of a large export would take more memory than
    // the export itself.
    constexpr std::size_t kPiece = 500;
    auto collect = [&](const std::string& head, const std::string& tail) {
        for (std::size_t first = 0; first < list.Ids.size(); first += kPiece) {
            const auto from = list.Ids.begin() + static_cast<std::ptrdiff_t>(first);
            const auto to =
                list.Ids.begin() + static_cast<std::ptrdiff_t>(std::min(list.Ids.size(), first + kPiece));
            auto rs = db.OpenRecordset(head + JoinIds(std::vector<long>(from, to)) + tail);
            for (; !rs->Eof(); rs->MoveNext()) {
                const long id = static_cast<long>(rs->Field(0).AsLong());
                if (id > 0 && !known(id))
                    extra.push_back(id);
            }
        }
    };
    if (withParents)
        collect("SELECT DISTINCT RezParent FROM T_REZ_KOPF WHERE ID IN (", ") AND RezParent>0");
    if (withSubRecipes)
        collect("SELECT ZutBLSID FROM T_REZ_ZUTAT WHERE ID IN (", ") AND ZutRezept<>0");
    result.Ids = extra;
    result.Servings.assign(extra.size(), 0);
    result.Ids.insert(result.Ids.end(), list.Ids.begin(), list.Ids.end());
    for (std::size_t i = 0; i < list.Ids.size(); ++i)
        result.Servings.push_back(i < list.Servings.size() ? list.Servings[i] : 0);
    return result;
}

} // namespace pf
