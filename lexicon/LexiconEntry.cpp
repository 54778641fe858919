#include "lexicon/LexiconEntry.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Language.h"
#include "core/Messages.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/Recordset.h"
#include "lexicon/LexiconAreas.h"
#include "model/clBlob.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace pf {

namespace {

std::string TextOf(const Value& value)
{
    return value.IsNull() ? std::string() : value.AsText();
}

long Number(const Value& value)
{
    return value.IsNull() ? 0 : static_cast<long>(value.AsLong());
}

Value TextOrNull(const std::string& text)
{
    return text.empty() ? Value() : Value(text);
}

bool IsEditableArea(long area)
{
    return area == area::kTerms || area == area::kAdditives || area == area::kUtensils ||
           area == area::kTechniques || area == area::kWine || area == area::kVitamins ||
           area == area::kMinerals;
}

// Whether the area already uses the number, in its keywords or its entry table.
bool AreaHasId(Database& db, long area, long id)
{
    const std::string ids = std::to_string(id);
    if (db.Scalar("SELECT COUNT(*) FROM T_INFO_KEY WHERE KEYTYPE=" + std::to_string(area) + " AND ID=" + ids)
            .AsLong() != 0)
        return true;
    const std::string table = EntryTable(area);
    if (table == "T_LEXIKON")
        return db.Scalar("SELECT COUNT(*) FROM T_LEXIKON WHERE Type=" + std::to_string(area) +
                         " AND ID=" + ids)
                   .AsLong() != 0;
    if (table == "T_INFO_KEY")
        return false;
    return db.Scalar("SELECT COUNT(*) FROM " + table + " WHERE ID=" + ids).AsLong() != 0;
}

// Writes a row found by condition: updates it when present, inserts it with keyValues otherwise.
void Upsert(Database& db, const std::string& table, const std::string& condition,
            const std::vector<std::pair<std::string, Value>>& keyValues,
            const std::vector<std::pair<std::string, Value>>& values)
{
    if (db.Scalar("SELECT COUNT(*) FROM " + table + " WHERE " + condition).AsLong() != 0) {
        std::string sets;
        std::vector<Value> params;
        for (const auto& [column, value] : values) {
            sets += (sets.empty() ? "" : ", ") + column + "=?";
            params.push_back(value);
        }
        db.Execute("UPDATE " + table + " SET " + sets + " WHERE " + condition, params);
        return;
    }
    std::string columns;
    std::string marks;
    std::vector<Value> params;
    for (const auto* list : {&keyValues, &values})
        for (const auto& [column, value] : *list) {
            columns += (columns.empty() ? "" : ", ") + column;
            marks += marks.empty() ? "?" : ", ?";
            params.push_back(value);
        }
    db.Execute("INSERT INTO " + table + " (" + columns + ") VALUES (" + marks + ")", params);
}

} // namespace

std::string NextGeneratedAdditiveKey(Database& db)
{
    long number = 1;
    auto rs = db.OpenRecordset("SELECT [KEY] FROM T_GIFT WHERE [KEY] LIKE \"-*\" ORDER BY [KEY] DESC");
    if (!rs->Eof()) {
        const std::string key = TextOf(rs->Field("KEY"));
        long value = 0;
        for (std::size_t i = 1; i < key.size() && key[i] >= '0' && key[i] <= '9'; ++i)
            value = value * 10 + (key[i] - '0');
        number = value + 1;
    }
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "-%04ld", number);
    return buffer;
}

void DeleteLexiconEntryRows(Database& db, long area, long id)
{
    const std::string ids = std::to_string(id);
    db.Execute("DELETE FROM T_INFO_KEY WHERE ID=" + ids + " AND KEYTYPE=" + std::to_string(area));
    switch (area) {
    case area::kAdditives:
        db.Execute("DELETE FROM T_GIFT WHERE ID=" + ids);
        break;
    case area::kUtensils:
        db.Execute("DELETE FROM T_GERAET WHERE ID=" + ids);
        db.Execute("DELETE FROM T_REZ_GERAET WHERE GeraetID=" + ids);
        break;
    case area::kWine:
        db.Execute("DELETE FROM T_WEIN WHERE ID=" + ids);
        break;
    default:
        break;
    }
    if (IsTextArea(area))
        db.Execute("DELETE FROM T_LEXIKON WHERE Type=" + std::to_string(area) + " AND ID=" + ids);
    db.Execute("DELETE FROM T_BLS_INFO WHERE KEYID=" + ids + " AND KEYTYPE=" + std::to_string(area));
}

long DefaultKeywordLanguage()
{
    const std::string group = UserLanguageGroup();
    for (long code = 1; code < kLanguageCount; ++code)
        if (LanguageGroup(code) == group)
            return code;
    return 1;
}

bool LexiconEntry::LoadByID(long areaNumber, long id)
{
    LastErrorClear();
    try {
        Database& db = Db();
        LexiconEntry loaded(areaNumber);
        loaded.m_db = m_db;
        loaded.m_id = id;
        const std::string ids = std::to_string(id);
        auto keys = db.OpenRecordset("SELECT * FROM T_INFO_KEY WHERE KEYTYPE=" + std::to_string(areaNumber) +
                                     " AND ID=" + ids + " ORDER BY Sprachcode");
        for (; !keys->Eof(); keys->MoveNext()) {
            loaded.m_synonyms.push_back({TextOf(keys->Field("KEY")), Number(keys->Field("Sprachcode"))});
            if (loaded.m_tree.empty())
                loaded.m_tree = TextOf(keys->Field("Tree"));
        }
        bool found = !loaded.m_synonyms.empty();
        std::int32_t fp1 = 0;
        std::int32_t fp2 = 0;
        if (IsTextArea(areaNumber)) {
            auto rs = db.OpenRecordset("SELECT * FROM T_LEXIKON WHERE Type=" + std::to_string(areaNumber) +
                                       " AND ID=" + ids + " ORDER BY Language");
            if (!rs->Eof()) {
                found = true;
                loaded.Text = TextOf(rs->Field("LexikonD"));
                loaded.m_language = Number(rs->Field("Language"));
                fp1 = static_cast<std::int32_t>(Number(rs->Field("Fingerprint1")));
                fp2 = static_cast<std::int32_t>(Number(rs->Field("Fingerprint2")));
            }
        }
        if (areaNumber == area::kAdditives) {
            auto rs = db.OpenRecordset("SELECT * FROM T_GIFT WHERE ID=" + ids);
            if (!rs->Eof()) {
                found = true;
                loaded.ENumber = TextOf(rs->Field("KEY"));
                loaded.Info = TextOf(rs->Field("Info"));
                loaded.Farbe = TextOf(rs->Field("Farbe"));
                loaded.EnthaltenIn = TextOf(rs->Field("EnthaltenIn"));
                loaded.Gefahr = !rs->Field("Gefahr").IsNull() && rs->Field("Gefahr").AsBool();
                loaded.m_language = Number(rs->Field("Language"));
                fp1 = static_cast<std::int32_t>(Number(rs->Field("Fingerprint1")));
                fp2 = static_cast<std::int32_t>(Number(rs->Field("Fingerprint2")));
            }
        } else if (areaNumber == area::kUtensils) {
            clTool tool;
            tool.SetDB(db);
            if (tool.LoadByID(id)) {
                found = true;
                loaded.Description = tool.Description();
                loaded.Picture = tool.Picture();
                loaded.m_language = tool.LanguageID();
                fp1 = tool.Fingerprint().HasFingerprint() ? tool.Fingerprint().FP1() : 0;
                fp2 = tool.Fingerprint().HasFingerprint() ? tool.Fingerprint().FP2() : 0;
            }
        } else if (areaNumber == area::kWine) {
            auto rs = db.OpenRecordset("SELECT * FROM T_WEIN WHERE ID=" + ids + " ORDER BY Language");
            for (; !rs->Eof(); rs->MoveNext()) {
                found = true;
                const long language = Number(rs->Field("Language"));
                if (language == 0) {
                    loaded.Label = TextOf(rs->Field("Label"));
                    loaded.Jahr = Number(rs->Field("Jahr"));
                    loaded.Trauben = TextOf(rs->Field("Trauben"));
                    loaded.Rating = Number(rs->Field("Rating"));
                    if (!rs->Field("Preis").IsNull())
                        loaded.Preis = rs->Field("Preis").AsCurrency();
                    if (!rs->Field("Alkohol").IsNull())
                        loaded.Alkohol = rs->Field("Alkohol").AsCurrency();
                } else if (language == loaded.m_language || loaded.Detail.empty()) {
                    loaded.Detail = TextOf(rs->Field("Detail"));
                    loaded.Degustation = TextOf(rs->Field("Degustation"));
                }
            }
        }
        if (!found) {
            SetError(kRefusedMissing, "Den Eintrag " + ids + " gibt es im Bereich \"" +
                                          LexiconAreaName(areaNumber) + "\" nicht.");
            return false;
        }
        if (fp1 != 0 || fp2 != 0)
            loaded.m_fingerprint.SetFPBin(fp1, fp2);
        *this = std::move(loaded);
        return true;
    } catch (const DbError& error) {
        SetDbError(error);
        return false;
    }
}

void LexiconEntry::MoveArea(Database& db)
{
    if (m_id <= 0 || m_area == m_savedArea)
        return;
    // The new area may already use the number: the entry then takes the next free one there.
    const long newId = AreaHasId(db, m_area, m_id) ? NextEntryID(db, m_area) : m_id;
    db.Execute("UPDATE T_INFO_KEY SET Keytype=" + std::to_string(m_area) + ", ID=" + std::to_string(newId) +
               " WHERE Keytype=" + std::to_string(m_savedArea) + " AND ID=" + std::to_string(m_id));
    // The foods it explains go along.
    db.Execute("UPDATE T_BLS_INFO SET KEYTYPE=?, KEYID=? WHERE KEYTYPE=? AND KEYID=?",
               {m_area, newId, m_savedArea, m_id});
    // The keywords have moved; the old area's entry rows go, the new area's are written from the
    // entry's fields.
    DeleteLexiconEntryRows(db, m_savedArea, m_id);
    m_id = newId;
}

void LexiconEntry::WriteKeys(Database& db)
{
    db.Execute("DELETE FROM T_INFO_KEY WHERE ID=" + std::to_string(m_id) +
               " AND KEYTYPE=" + std::to_string(m_area));
    for (const LexiconSynonym& synonym : m_synonyms)
        db.Execute("INSERT INTO T_INFO_KEY (ID, [KEY], KEYTYPE, TREE, SprachCode) VALUES (?, ?, ?, ?, ?)",
                   {m_id, synonym.Text, m_area, TextOrNull(m_tree), synonym.Language});
}

void LexiconEntry::WriteTextRow(Database& db)
{
    const std::string condition = "Type=" + std::to_string(m_area) + " AND ID=" + std::to_string(m_id) +
                                  " AND Language=" + std::to_string(m_language);
    Upsert(db, "T_LEXIKON", condition, {{"ID", m_id}, {"Type", m_area}, {"Language", m_language}},
           {{"LexikonD", TextOrNull(Text)},
            {"Fingerprint1", static_cast<long>(m_fingerprint.FP1())},
            {"Fingerprint2", static_cast<long>(m_fingerprint.FP2())}});
}

void LexiconEntry::WriteAdditiveRow(Database& db)
{
    if (ENumber.empty())
        ENumber = NextGeneratedAdditiveKey(db);
    Upsert(db, "T_GIFT", "ID=" + std::to_string(m_id), {{"ID", m_id}},
           {{"[KEY]", ENumber},
            {"Info", TextOrNull(Info)},
            {"Farbe", TextOrNull(Farbe)},
            {"EnthaltenIn", TextOrNull(EnthaltenIn)},
            {"Gefahr", Gefahr},
            {"Language", m_language},
            {"Fingerprint1", static_cast<long>(m_fingerprint.FP1())},
            {"Fingerprint2", static_cast<long>(m_fingerprint.FP2())}});
}

void LexiconEntry::WriteWineRows(Database& db)
{
    const std::string id = std::to_string(m_id);
    const Value fp1 = static_cast<long>(m_fingerprint.FP1());
    const Value fp2 = static_cast<long>(m_fingerprint.FP2());
    Upsert(db, "T_WEIN", "ID=" + id + " AND Language=0", {{"ID", m_id}, {"Language", 0L}},
           {{"Label", TextOrNull(Label)},
            {"Jahr", Jahr},
            {"Trauben", TextOrNull(Trauben)},
            {"Rating", Rating},
            {"Preis", Preis},
            {"Alkohol", Alkohol},
            {"Fingerprint1", fp1},
            {"Fingerprint2", fp2}});
    if (m_language != 0)
        Upsert(db, "T_WEIN", "ID=" + id + " AND Language=" + std::to_string(m_language),
               {{"ID", m_id}, {"Language", m_language}},
               {{"Detail", TextOrNull(Detail)},
                {"Degustation", TextOrNull(Degustation)},
                {"Fingerprint1", fp1},
                {"Fingerprint2", fp2}});
}

void LexiconEntry::WriteEntryRows(Database& db)
{
    if (m_area == area::kUtensils) {
        clTool tool;
        tool.id(m_id);
        tool.Description(Description);
        tool.Picture(Picture);
        tool.LanguageID(m_language);
        tool.Tree(m_tree);
        tool.Fingerprint() = m_fingerprint;
        for (const LexiconSynonym& synonym : m_synonyms)
            tool.SynonymAdd(synonym.Text, synonym.Language);
        tool.WriteRows(db);
        m_fingerprint = tool.Fingerprint();
        return;
    }
    WriteKeys(db);
    if (m_area == area::kAdditives)
        WriteAdditiveRow(db);
    if (m_area == area::kWine)
        WriteWineRows(db);
    if (IsTextArea(m_area))
        WriteTextRow(db);
}

bool LexiconEntry::Save(bool confirm)
{
    LastErrorClear();
    if (!IsEditableArea(m_area)) {
        SetError(kRefusedArea,
                 "Im Bereich \"" + LexiconAreaName(m_area) + "\" werden hier keine Einträge gespeichert.");
        return false;
    }
    if (m_synonyms.empty() || m_synonyms.front().Text.empty()) {
        SetError(kRefusedNoKeyword, "Der Eintrag braucht mindestens ein Stichwort.");
        return false;
    }
    if (confirm && UI().Ask("Eintrag \"" + Name() + "\" Speichern", Buttons::YesNo, Answer::Yes,
                            MsgIcon::Question, LexiconAreaName(m_area)) != Answer::Yes) {
        SetError(kRefusedDeclined, "");
        return false;
    }
    const LexiconEntry before = *this;
    try {
        Database& db = Db();
        DbTransaction transaction(db);
        MoveArea(db);
        if (m_id <= 0)
            m_id = NextEntryID(db, m_area);
        m_fingerprint.Update();
        WriteEntryRows(db);
        transaction.Commit();
        m_savedArea = m_area;
        return true;
    } catch (const DbError& error) {
        *this = before;
        LogError(ToErrorInfo(error));
        SetDbError(error);
        return false;
    }
}

namespace {

// The note of a delete question that the utensils leave recipes' tool lists; "" for other areas
// and for utensils no recipe names. Throws DbError.
std::string RecipeUseNote(Database& db, long areaNumber, const std::vector<long>& ids)
{
    if (areaNumber != area::kUtensils || ids.empty())
        return {};
    std::string list;
    for (long id : ids)
        list += (list.empty() ? "" : ",") + std::to_string(id);
    const long recipes = static_cast<long>(
        db.Scalar("SELECT COUNT(*) FROM (SELECT DISTINCT RezID FROM T_REZ_GERAET WHERE GeraetID IN (" + list +
                  "))")
            .AsLong());
    if (recipes == 0)
        return {};
    const std::string where = recipes == 1 ? "einem Rezept" : std::to_string(recipes) + " Rezepten";
    return ids.size() == 1 ? "\n\nDas Gerät ist in " + where + " eingetragen und wird dort entfernt."
                           : "\n\nDie Geräte sind in " + where + " eingetragen und werden dort entfernt.";
}

} // namespace

bool LexiconEntry::Delete(bool confirm)
{
    LastErrorClear();
    if (m_id <= 0)
        return true;
    try {
        Database& db = Db();
        if (confirm && UI().Ask("Soll der Eintrag \"" + Name() + "\" gelöscht werden?" +
                                    RecipeUseNote(db, m_savedArea, {m_id}),
                                Buttons::YesNo, Answer::No, MsgIcon::Question,
                                LexiconAreaName(m_savedArea)) != Answer::Yes) {
            SetError(kRefusedDeclined, "");
            return false;
        }
        DbTransaction transaction(db);
        DeleteLexiconEntryRows(db, m_savedArea, m_id);
        transaction.Commit();
        m_id = 0;
        return true;
    } catch (const DbError& error) {
        LogError(ToErrorInfo(error));
        SetDbError(error);
        return false;
    }
}

bool LexiconEntry::LoadPicture(const std::string& path)
{
    LastErrorClear();
    // Reading asks about a large file and reports a file it cannot read.
    std::optional<Blob> data = LoadPictureFile(path);
    if (!data) {
        SetError(kRefusedPicture, "");
        return false;
    }
    const auto starts = [&data](std::initializer_list<std::uint8_t> magic) {
        return data->size() >= magic.size() && std::equal(magic.begin(), magic.end(), data->begin());
    };
    const bool picture = starts({0xFF, 0xD8, 0xFF}) ||
                         starts({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}) ||
                         starts({'G', 'I', 'F', '8', '7', 'a'}) || starts({'G', 'I', 'F', '8', '9', 'a'}) ||
                         (starts({'B', 'M'}) && data->size() > 26);
    if (!picture) {
        SetError(kRefusedPicture,
                 "Die Datei \"" + path + "\" ist kein Bild im Format JPEG, PNG, GIF oder BMP.");
        return false;
    }
    Picture = std::move(*data);
    return true;
}

std::vector<LexiconEntryRow> LexiconDeleteList(Database& db, long areaNumber)
{
    const std::string a = std::to_string(areaNumber);
    std::string sql;
    switch (areaNumber) {
    case area::kAdditives:
        sql =
            "SELECT T_INFO_KEY.ID AS ID, MIN(T_INFO_KEY.[KEY]) AS Name, MAX(T_GIFT.Info) AS Descr FROM "
            "T_INFO_KEY "
            "LEFT JOIN T_GIFT ON T_INFO_KEY.ID = T_GIFT.ID WHERE T_INFO_KEY.KEYTYPE=1 GROUP BY T_INFO_KEY.ID";
        break;
    case area::kUtensils:
        sql = "SELECT T_INFO_KEY.ID AS ID, MIN(T_INFO_KEY.[KEY]) AS Name, MAX(T_GERAET.GerMerkmalD) AS Descr "
              "FROM T_INFO_KEY LEFT JOIN T_GERAET ON T_INFO_KEY.ID = T_GERAET.ID WHERE T_INFO_KEY.KEYTYPE=2 "
              "GROUP BY T_INFO_KEY.ID";
        break;
    default:
        sql = "SELECT T_INFO_KEY.ID AS ID, MIN(T_INFO_KEY.[KEY]) AS Name, MAX(T_LEXIKON.LexikonD) AS Descr "
              "FROM T_INFO_KEY LEFT JOIN T_LEXIKON ON T_INFO_KEY.ID = T_LEXIKON.ID AND T_LEXIKON.Type=" +
              a + " WHERE T_INFO_KEY.KEYTYPE=" + a + " GROUP BY T_INFO_KEY.ID";
        break;
    }
    std::vector<LexiconEntryRow> rows;
    auto rs = db.OpenRecordset(sql + " ORDER BY MIN(T_INFO_KEY.[KEY])");
    for (; !rs->Eof(); rs->MoveNext())
        rows.push_back(
            {Number(rs->Field("ID")), TextOf(rs->Field("Name")), !TextOf(rs->Field("Descr")).empty()});
    return rows;
}

long DeleteLexiconEntries(Database& db, long areaNumber, const std::vector<long>& ids, bool confirm)
{
    if (ids.empty())
        return 0;
    try {
        if (confirm) {
            const std::string what =
                ids.size() == 1 ? std::string("Soll der markierte Eintrag")
                                : "Sollen die " + std::to_string(ids.size()) + " markierten Einträge";
            if (UI().Ask(what + " aus dem Bereich \"" + LexiconAreaName(areaNumber) +
                             "\" endgültig gelöscht werden?" + RecipeUseNote(db, areaNumber, ids),
                         Buttons::YesNo, Answer::No, MsgIcon::Question,
                         "Lexikoneinträge löschen") != Answer::Yes)
                return 0;
        }
        DbTransaction transaction(db);
        for (long id : ids)
            DeleteLexiconEntryRows(db, areaNumber, id);
        transaction.Commit();
        return static_cast<long>(ids.size());
    } catch (const DbError& error) {
        ReportError(ToErrorInfo(error), false);
        return -1;
    }
}

} // namespace pf
