#include "literature/clLiteratur.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Utf8.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "db/RowValues.h"
#include "db/Schema.h"
#include "model/AddressNames.h"
#include "model/ClFingerprint.h"
#include "model/LiteratureTitle.h"
#include "model/clBlob.h"

#include <algorithm>
#include <cstdlib>

namespace pf {
namespace {

// The number a stored page starts with ("35", "35f." -> 35); 0 when it starts otherwise.
long PageNumber(const std::string& page)
{
    std::size_t i = page.find_first_not_of(' ');
    if (i == std::string::npos)
        return 0;
    long n = 0;
    for (; i < page.size() && page[i] >= '0' && page[i] <= '9' && n < 100000000; ++i)
        n = n * 10 + (page[i] - '0');
    return n;
}

std::string Trim(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The cover is picture 1 of the source; a cover kept as a file path is read from the file.
Blob ReadCover(Database& db, long id)
{
    clBlob cover;
    cover.SetDB(&db);
    cover.SetROMode(true);
    if (!cover.Loadr(kBlobOwnerLiterature, id, 1))
        return {};
    return PictureData(cover).value_or(Blob());
}

// Digits of a code as typed; an "X" stays where an ISBN-10 may have it (the last place).
std::string CodeDigits(const std::string& code)
{
    std::string digits;
    for (char c : code) {
        if (c >= '0' && c <= '9')
            digits += c;
        else if (c == 'x' || c == 'X')
            digits += 'X';
        else if (c != ' ' && c != '-')
            digits += c; // kept, so that the check refuses it instead of silently dropping it
    }
    return digits;
}

} // namespace

void clLiteratur::SetEAN(const std::string& code)
{
    m_data.EAN = CodeDigits(code);
}

bool clLiteratur::ValidEAN(const std::string& code)
{
    const std::size_t n = code.size();
    if (n != 8 && n != 10 && n != 13)
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        const bool digit = code[i] >= '0' && code[i] <= '9';
        if (!digit && !(n == 10 && i == 9 && code[i] == 'X'))
            return false;
    }
    if (n == 10) {
        // ISBN-10: the sum of the digits weighted 10 down to 1 is a multiple of 11 ("X" is 10).
        int sum = 0;
        for (std::size_t i = 0; i < 10; ++i)
            sum += (code[i] == 'X' ? 10 : code[i] - '0') * static_cast<int>(10 - i);
        return sum % 11 == 0;
    }
    // EAN: weights 3 and 1 alternate from the right; the check digit makes the sum a multiple of 10.
    int sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const int weight = (n - 1 - i) % 2 == 1 ? 3 : 1;
        sum += (code[i] - '0') * weight;
    }
    return sum % 10 == 0;
}

std::string clLiteratur::ISBNText(const std::string& code)
{
    // ISBN-13 (prefix 978/979) or ISBN-10; other codes are shown as they are.
    for (std::size_t i = 0; i < code.size(); ++i)
        if ((code[i] < '0' || code[i] > '9') && !(code.size() == 10 && i == 9 && code[i] == 'X'))
            return code;
    std::string prefix;
    std::string body;
    if (code.size() == 13 && (code.rfind("978", 0) == 0 || code.rfind("979", 0) == 0)) {
        prefix = code.substr(0, 3);
        body = code.substr(3, 9);
    } else if (code.size() == 10) {
        body = code.substr(0, 9);
    } else {
        return code;
    }
    // Publisher ranges of the groups whose tables we carry: the first seven digits after the group
    // digit, below each limit the publisher number has that many digits.
    struct Range
    {
        long Below;
        std::size_t Digits;
    };
    static const std::vector<Range> kEnglish0{{2000000, 2}, {7000000, 3}, {8500000, 4},
                                              {9000000, 5}, {9500000, 6}, {10000000, 7}};
    static const std::vector<Range> kEnglish1{{1000000, 2}, {4000000, 3}, {5500000, 4},
                                              {8698000, 5}, {9990000, 6}, {10000000, 7}};
    static const std::vector<Range> kGerman{
        {300000, 2},  {340000, 3},  {370000, 4},  {400000, 5},  {2000000, 2}, {7000000, 3}, {8500000, 4},
        {9000000, 5}, {9500000, 6}, {9540000, 7}, {9700000, 5}, {9850000, 7}, {10000000, 5}};
    const char group = body[0];
    const std::vector<Range>* ranges = group == '0' ? &kEnglish0 : group == '1' ? &kEnglish1 : &kGerman;
    if (prefix == "979" || (group != '0' && group != '1' && group != '3'))
        return code;
    const long seven = std::stol(body.substr(1, 7));
    std::size_t length = 7;
    for (const Range& range : *ranges) {
        if (seven < range.Below) {
            length = range.Digits;
            break;
        }
    }
    std::string text = prefix.empty() ? "" : prefix + "-";
    text += body.substr(0, 1) + "-" + body.substr(1, length) + "-" + body.substr(1 + length) + "-" +
            code.substr(code.size() - 1);
    return text;
}

void clLiteratur::SetVerlagID(long id)
{
    m_data.VerlagID = id;
    m_verlag = AddressName(id);
}

void clLiteratur::SetAutorID(long id)
{
    m_data.AutorID = id;
    m_autor = AddressName(id);
}

std::string clLiteratur::AddressName(long id)
{
    if (id <= 0)
        return {};
    try {
        return AddressNameOf(Db(), id);
    } catch (const DbError&) {
        // A name that cannot be read is shown as none; the ID is kept.
        return {};
    }
}

void clLiteratur::SetCategories(std::vector<long> categories, long primary)
{
    std::vector<long> ordered;
    if (primary > 0)
        ordered.push_back(primary);
    for (long cat : categories)
        if (cat > 0 && std::find(ordered.begin(), ordered.end(), cat) == ordered.end())
            ordered.push_back(cat);
    m_data.Categories = std::move(ordered);
    m_data.CatPrimary = primary > 0 ? primary : 0;
}

void clLiteratur::Void()
{
    m_data = Data{};
    m_stored = Data{};
    m_verlag.clear();
    m_autor.clear();
}

bool clLiteratur::Loadr(long id)
{
    LastErrorClear();
    Void();
    return Recorded([&] {
               Database& db = Db();
               auto rs = db.OpenRecordset("SELECT * FROM T_Literatur WHERE QuelleID=?", {Value(id)});
               if (rs->Eof())
                   return;
               Data d;
               d.id = id;
               d.Title = AsString(rs->Field("Title"));
               d.Jahrgang = AsId(rs->Field("Jahrgang"));
               d.Ausgabe = AsString(rs->Field("AusgabeNr"));
               d.VerlagID = AsId(rs->Field("VerlagID"));
               d.AutorID = AsId(rs->Field("AutorID"));
               d.Bemerkungen = AsString(rs->Field("Notiz"));
               d.Storage = AsString(rs->Field("Lagerort"));
               d.Borrowed = AsString(rs->Field("Borrowed"));
               d.Rating = AsId(rs->Field("Rating"));
               d.Fingerprint1 = AsId(rs->Field("Fingerprint1"));
               d.Fingerprint2 = AsId(rs->Field("Fingerprint2"));
               d.EAN = AsString(rs->Field("EAN"));
               rs->Close();
               d.Cover = ReadCover(db, id);
               // Primary categories are stored as True (-1) and so come first.
               auto cats = db.OpenRecordset(
                   "SELECT CatID,CatPrimary FROM T_LITERATUR_CAT_NDX WHERE ID=? ORDER BY CatPrimary",
                   {Value(id)});
               for (; !cats->Eof(); cats->MoveNext()) {
                   const long cat = AsId(cats->Field("CatID"));
                   d.Categories.push_back(cat);
                   if (!cats->Field("CatPrimary").IsNull() && cats->Field("CatPrimary").AsBool() &&
                       d.CatPrimary == 0)
                       d.CatPrimary = cat;
               }
               m_data = d;
               m_stored = d;
               m_verlag = AddressName(d.VerlagID);
               m_autor = AddressName(d.AutorID);
           }) &&
           m_data.id != 0;
}

bool clLiteratur::LoadbyName(const std::string& title, long year, const std::string& issue)
{
    LastErrorClear();
    long found = 0;
    const bool read = Recorded([&] {
        std::string sql = "SELECT QuelleID FROM T_Literatur WHERE Title=?";
        std::vector<Value> params{Value(title)};
        if (year > 0) {
            sql += " AND Jahrgang=?";
            params.emplace_back(year);
        }
        if (!issue.empty()) {
            sql += " AND AusgabeNr=?";
            params.emplace_back(issue);
        }
        found = AsId(Db().Scalar(sql + " ORDER BY QuelleID", params));
    });
    if (!read || found == 0) {
        Void();
        return false;
    }
    return Loadr(found);
}

bool clLiteratur::LoadByFingerprint(long value)
{
    LastErrorClear();
    long found = 0;
    if (!Recorded([&] {
            found = AsId(Db().Scalar(
                "SELECT QuelleID from T_LITERATUR WHERE Fingerprint2=? ORDER BY QuelleID", {Value(value)}));
        }) ||
        found == 0) {
        Void();
        return false;
    }
    return Loadr(found);
}

bool clLiteratur::CheckForDupe()
{
    long count = 0;
    Recorded([&] {
        // Null issues count as the empty one, so that "no issue" matches "no issue".
        count = AsId(Db().Scalar(
            "SELECT COUNT(*) FROM T_LITERATUR WHERE Title=? AND Jahrgang=? AND "
            "COALESCE(AusgabeNr,'')=? AND QuelleID<>?",
            {Value(m_data.Title), Value(m_data.Jahrgang), Value(m_data.Ausgabe), Value(m_data.id)}));
    });
    return count > 0;
}

long clLiteratur::RecipeCount()
{
    if (m_data.id == 0)
        return 0;
    long count = -1;
    Recorded([&] {
        count = AsId(Db().Scalar("SELECT COUNT(*) FROM T_REZ_KOPF WHERE RezQuelleID=?", {Value(m_data.id)}));
    });
    return count;
}

std::map<long, long> clLiteratur::RecipeCounts()
{
    std::map<long, long> counts;
    Recorded([&] {
        auto rs = Db().OpenRecordset(
            "SELECT RezQuelleID, COUNT(*) FROM T_REZ_KOPF WHERE RezQuelleID>0 GROUP BY RezQuelleID");
        for (; !rs->Eof(); rs->MoveNext())
            counts[AsId(rs->Field(0))] = AsId(rs->Field(1));
    });
    return counts;
}

bool clLiteratur::CheckFields()
{
    m_data.Title = Trim(m_data.Title);
    m_data.Ausgabe = Trim(m_data.Ausgabe);
    if (m_data.Title.empty()) {
        SetError(kErrNoTitle, "Eine Literaturquelle braucht einen Titel.");
        return false;
    }
    struct Limit
    {
        const std::string& Text;
        std::size_t Max;
        const char* Name;
    };
    for (const Limit& limit : {Limit{m_data.Title, 64, "Der Titel"}, Limit{m_data.Ausgabe, 10, "Die Ausgabe"},
                               Limit{m_data.Storage, 16, "Der Lagerort"},
                               Limit{m_data.Borrowed, 32, "Der Eintrag \"Verliehen an\""}}) {
        if (CharLength(limit.Text) > limit.Max) {
            SetError(kErrTooLong, std::string(limit.Name) + " darf höchstens " + std::to_string(limit.Max) +
                                      " Zeichen lang sein.");
            return false;
        }
    }
    if (!m_data.EAN.empty() && !ValidEAN(m_data.EAN)) {
        SetError(kErrBadEAN, "Die EAN/ISBN \"" + m_data.EAN +
                                 "\" ist nicht gültig: erwartet werden 8, 10 oder 13 Ziffern mit passender "
                                 "Prüfziffer.");
        return false;
    }
    if (m_data.Jahrgang < 0) {
        SetError(kErrTooLong, "Der Jahrgang darf nicht negativ sein.");
        return false;
    }
    if (CheckForDupe()) {
        SetError(kErrDuplicate, "Die Literaturquelle \"" + GetTitleText() + "\" ist bereits vorhanden.");
        return false;
    }
    return m_lastError == 0;
}

bool clLiteratur::Save()
{
    LastErrorClear();
    if (!CheckFields())
        return false;
    try {
        Database& db = Db();
        DbTransaction transaction(db);
        long id = m_data.id;
        if (id == 0)
            id = std::max(1L, AsId(db.Scalar("SELECT MAX(QuelleID) FROM T_LITERATUR")) + 1);
        auto rs = db.OpenRecordset("SELECT * FROM T_Literatur WHERE QuelleID=?", {Value(id)});
        if (rs->Eof()) {
            rs->AddNew();
            rs->SetField("QuelleID", id);
        } else {
            rs->Edit();
        }
        rs->SetField("Title", m_data.Title);
        rs->SetField("VerlagID", m_data.VerlagID);
        rs->SetField("Jahrgang", m_data.Jahrgang);
        rs->SetField("AusgabeNr", m_data.Ausgabe);
        rs->SetField("Notiz", m_data.Bemerkungen);
        rs->SetField("AutorID", m_data.AutorID);
        rs->SetField("Lagerort", m_data.Storage);
        rs->SetField("Fingerprint1", m_data.Fingerprint1);
        rs->SetField("Fingerprint2", m_data.Fingerprint2);
        rs->SetField("Borrowed", m_data.Borrowed);
        rs->SetField("Rating", m_data.Rating);
        rs->SetField("EAN", m_data.EAN);
        rs->Update();
        rs->Close();
        SaveCover(db, id);
        db.Execute("DELETE FROM T_LITERATUR_CAT_NDX WHERE ID=?", {Value(id)});
        for (long cat : m_data.Categories)
            db.Execute("INSERT INTO T_LITERATUR_CAT_NDX (ID,CatID,CatPrimary) VALUES (?,?,?)",
                       {Value(id), Value(cat), Value(cat == m_data.CatPrimary)});
        transaction.Commit();
        m_data.id = id;
    } catch (const DbError& e) {
        SetDbError(e);
        return false;
    }
    m_stored = m_data;
    return true;
}

void clLiteratur::SaveCover(Database& db, long id)
{
    if (m_data.id == id && m_data.Cover == m_stored.Cover)
        return;
    if (m_data.Cover.empty()) {
        db.Execute("DELETE FROM T_BLOB WHERE IDType=? AND IDReference=? AND IDNum=1",
                   {Value(kBlobOwnerLiterature), Value(id)});
        return;
    }
    clBlob cover;
    cover.SetDB(&db);
    if (!cover.Loadr(kBlobOwnerLiterature, id, 1)) {
        cover.SetIDType(kBlobOwnerLiterature);
        cover.SetIDReference(id);
        cover.SetIDNum(1);
    }
    cover.SetBlobData(m_data.Cover);
    cover.MarkAsChanged();
    if (!cover.Save())
        throw cover.LastDbError();
}

long clLiteratur::PictureCount()
{
    if (m_data.id == 0)
        return 0;
    return clBlob::BlobCount(Db(), kBlobOwnerLiterature, m_data.id);
}

std::vector<clLiteratur::CoverItem> clLiteratur::CoverList()
{
    LastErrorClear();
    std::vector<CoverItem> items;
    Recorded([&] {
        Database& db = Db();
        std::vector<ListItem> sources = FillLiteraturlist();
        for (ListItem& source : sources)
            items.push_back({source.id, std::move(source.Text), ReadCover(db, source.id)});
    });
    return items;
}

bool clLiteratur::Delete()
{
    LastErrorClear();
    if (m_data.id == 0) {
        SetError(kErrNotStored, "Die Literaturquelle ist noch nicht gespeichert.");
        return false;
    }
    const long recipes = RecipeCount();
    if (recipes < 0)
        return false;
    if (recipes > 0) {
        SetError(kErrInUse, "Die Literaturquelle \"" + GetTitleText() + "\" wird noch von " +
                                std::to_string(recipes) + (recipes == 1 ? " Rezept" : " Rezepten") +
                                " genannt und kann nicht gelöscht werden.");
        return false;
    }
    const bool done = Recorded([&] {
        Database& db = Db();
        DbTransaction transaction(db);
        const Value id(m_data.id);
        db.Execute("DELETE FROM T_LITERATUR WHERE QuelleID=?", {id});
        db.Execute("DELETE FROM T_LITERATUR_CAT_NDX WHERE ID=?", {id});
        db.Execute("DELETE FROM T_BLOB WHERE IDType=? AND IDReference=?", {Value(kBlobOwnerLiterature), id});
        transaction.Commit();
    });
    if (done)
        Void();
    return done;
}

bool clLiteratur::AskDelete()
{
    Interaction& ui = UI();
    const std::string caption = "Literaturquellen";
    if (ui.Ask("Soll die Literaturquelle \"" + GetTitleText() + "\" wirklich gelöscht werden?",
               Buttons::YesNo, Answer::No, MsgIcon::Question, caption) != Answer::Yes)
        return false;
    if (Delete())
        return true;
    ui.Inform(LastErrorText(), MsgIcon::Warning, caption);
    return false;
}

void clLiteratur::Clone()
{
    m_data.id = 0;
    m_data.Fingerprint1 = 0;
    m_data.Fingerprint2 = 0;
    m_stored = Data{};
}

long clLiteratur::CloneToNewDb(Database& target)
{
    LastErrorClear();
    long id = 0;
    const bool done = Recorded([&] {
        Database& db = Db();
        if (&db == &target)
            throw DbError(dberr::kGeneric, "Die Zieldatenbank ist die Datenbank der Literaturquelle.");
        DbTransaction transaction(target);
        if (m_data.Fingerprint2 != 0)
            id = AsId(target.Scalar("SELECT QuelleID FROM T_LITERATUR WHERE Fingerprint2=? ORDER BY QuelleID",
                                    {Value(m_data.Fingerprint2)}));
        if (id == 0)
            id = AsId(target.Scalar("SELECT QuelleID FROM T_LITERATUR WHERE Title=? AND Jahrgang=? AND "
                                    "COALESCE(AusgabeNr,'')=? ORDER BY QuelleID",
                                    {Value(m_data.Title), Value(m_data.Jahrgang), Value(m_data.Ausgabe)}));
        if (id != 0)
            return;
        clLiteratur copy;
        copy.SetDB(&target);
        copy.m_data = m_data;
        copy.m_data.id = 0;
        copy.m_data.Categories.clear();
        copy.m_data.CatPrimary = 0;
        copy.m_data.VerlagID = AddressInOtherDb(db, m_data.VerlagID, target);
        copy.m_data.AutorID = AddressInOtherDb(db, m_data.AutorID, target);
        // A code this program would not store (an older entry) stays behind rather than the source.
        if (!ValidEAN(copy.m_data.EAN))
            copy.m_data.EAN.clear();
        // Save opens its own transaction; on the target it nests inside this one.
        if (!copy.Save()) {
            TakeError(copy);
            return;
        }
        id = copy.id();
        transaction.Commit();
    });
    return done && m_lastError == 0 ? id : 0;
}

bool clLiteratur::ImportUpdate()
{
    LastErrorClear();
    long existing = 0;
    std::int32_t stored1 = 0;
    std::int32_t stored2 = 0;
    if (!Recorded([&] {
            Database& db = Db();
            if (m_data.Fingerprint2 != 0)
                existing =
                    AsId(db.Scalar("SELECT QuelleID from T_LITERATUR WHERE Fingerprint2=? ORDER BY QuelleID",
                                   {Value(m_data.Fingerprint2)}));
            if (existing != 0) {
                auto rs = db.OpenRecordset(
                    "SELECT Fingerprint1,Fingerprint2 FROM T_Literatur WHERE QuelleID=?", {Value(existing)});
                stored1 = static_cast<std::int32_t>(rs->Field(0).AsLong());
                stored2 = static_cast<std::int32_t>(rs->Field(1).AsLong());
                return;
            }
            existing = AsId(
                db.Scalar("SELECT QuelleID FROM T_LITERATUR WHERE Title=? AND Jahrgang=? AND "
                          "COALESCE(AusgabeNr,'')=? ORDER BY QuelleID",
                          {Value(Trim(m_data.Title)), Value(m_data.Jahrgang), Value(Trim(m_data.Ausgabe))}));
        }))
        return false;
    if (existing == 0) {
        m_data.id = 0;
        m_stored = Data{};
        return Save();
    }
    ClFingerprint incoming;
    incoming.SetFPBin(static_cast<std::int32_t>(m_data.Fingerprint1),
                      static_cast<std::int32_t>(m_data.Fingerprint2));
    // Without a fingerprint match (stored2 == 0) the stored source is the same by title and stays.
    if (stored2 == 0 || incoming.CompareFingerprint(stored1, stored2) <= 0)
        return Loadr(existing);
    // A newer version of the same source replaces the stored fields; its categories stay, being
    // this database's.
    clLiteratur stored;
    stored.SetDB(m_db);
    if (!stored.Loadr(existing)) {
        TakeError(stored);
        return false;
    }
    Data incomingData = m_data;
    incomingData.id = existing;
    incomingData.Categories = stored.m_data.Categories;
    incomingData.CatPrimary = stored.m_data.CatPrimary;
    if (incomingData.Cover.empty())
        incomingData.Cover = stored.m_data.Cover;
    m_stored = stored.m_data;
    m_data = incomingData;
    return Save();
}

bool clLiteratur::IsChanged() const
{
    return !(m_data == m_stored);
}

void clLiteratur::CancelChange()
{
    m_data = m_stored;
    m_verlag = AddressName(m_data.VerlagID);
    m_autor = AddressName(m_data.AutorID);
}

std::string clLiteratur::GetTitleText(const std::string& title, const std::string& publisher, long year,
                                      const std::string& issue, long page) const
{
    return ComposeTitleText(title.empty() ? m_data.Title : title, publisher.empty() ? m_verlag : publisher,
                            year == 0 ? m_data.Jahrgang : year, issue.empty() ? m_data.Ausgabe : issue, page);
}

std::string clLiteratur::ComposeTitleText(const std::string& title, const std::string& publisher, long year,
                                          const std::string& issue, long page)
{
    return LiteratureTitleText(title, publisher, year, issue, page);
}

std::vector<clLiteratur::ListItem> clLiteratur::FillLiteraturlist(long publisher)
{
    LastErrorClear();
    std::vector<ListItem> items;
    Recorded([&] {
        std::string sql = "SELECT QuelleID,Title,VerlagID,Jahrgang,AusgabeNr FROM T_Literatur";
        std::vector<Value> params;
        if (publisher > 0) {
            sql += " WHERE VerlagID=?";
            params.emplace_back(publisher);
        }
        sql += publisher > 0 ? " ORDER BY VerlagID" : " ORDER BY Title";
        sql += ",Jahrgang,AusgabeNr";
        auto rs = Db().OpenRecordset(sql, params);
        for (; !rs->Eof(); rs->MoveNext())
            items.push_back(
                {AsId(rs->Field("QuelleID")),
                 ComposeTitleText(AsString(rs->Field("Title")), AddressName(AsId(rs->Field("VerlagID"))),
                                  AsId(rs->Field("Jahrgang")), AsString(rs->Field("AusgabeNr")), 0)});
    });
    return items;
}

std::string clLiteratur::ContentsLine(const std::string& page, const std::string& title)
{
    const std::string p = Trim(page);
    if (p.empty())
        return title;
    const std::size_t width = CharLength(p);
    return std::string(width < 5 ? 5 - width : 0, ' ') + p + " - " + title;
}

std::vector<clLiteratur::ContentsPublisher> clLiteratur::FillLiteraturInhalt(long publisher, long source)
{
    LastErrorClear();
    std::vector<ContentsPublisher> groups;
    Recorded([&] {
        Database& db = Db();
        std::string sql = "SELECT QuelleID,Title,VerlagID,Jahrgang,AusgabeNr FROM T_Literatur";
        std::vector<std::string> where;
        std::vector<Value> params;
        if (publisher > 0) {
            where.push_back("VerlagID=?");
            params.emplace_back(publisher);
        }
        if (source > 0) {
            where.push_back("QuelleID=?");
            params.emplace_back(source);
        }
        for (std::size_t i = 0; i < where.size(); ++i)
            sql += (i == 0 ? " WHERE " : " AND ") + where[i];
        sql += publisher > 0 ? " ORDER BY VerlagID,Title,Jahrgang,AusgabeNr" : " ORDER BY Title";
        auto rs = db.OpenRecordset(sql, params);
        for (; !rs->Eof(); rs->MoveNext()) {
            const long verlagId = AsId(rs->Field("VerlagID"));
            auto group = std::find_if(groups.begin(), groups.end(),
                                      [&](const ContentsPublisher& g) { return g.id == verlagId; });
            if (group == groups.end()) {
                std::string name = "(undefinierter Verlag)";
                if (verlagId > 0) {
                    name = Trim(AddressName(verlagId));
                    if (name.empty())
                        name = "<unspezifiziert>";
                }
                groups.push_back({verlagId, name, {}});
                group = groups.end() - 1;
            }
            ContentsSource entry;
            entry.id = AsId(rs->Field("QuelleID"));
            // The publisher is the group's name already.
            entry.Text = ComposeTitleText(AsString(rs->Field("Title")), "", AsId(rs->Field("Jahrgang")),
                                          AsString(rs->Field("AusgabeNr")), 0);
            group->Sources.push_back(std::move(entry));
        }
        rs->Close();
        for (ContentsPublisher& group : groups) {
            for (ContentsSource& entry : group.Sources) {
                auto recipes = db.OpenRecordset(
                    "SELECT ID,RezTitle,RezQuellePage FROM T_REZ_KOPF WHERE FlagDeleted=0 AND RezQuelleID=?",
                    {Value(entry.id)});
                for (; !recipes->Eof(); recipes->MoveNext()) {
                    ContentsRecipe recipe;
                    recipe.id = AsId(recipes->Field("ID"));
                    recipe.Title = AsString(recipes->Field("RezTitle"));
                    recipe.Page = Trim(AsString(recipes->Field("RezQuellePage")));
                    recipe.Text = ContentsLine(recipe.Page, recipe.Title);
                    entry.Recipes.push_back(std::move(recipe));
                }
                // By page; recipes without a page number after the numbered ones, by title.
                std::stable_sort(entry.Recipes.begin(), entry.Recipes.end(),
                                 [](const ContentsRecipe& a, const ContentsRecipe& b) {
                                     const long pa = PageNumber(a.Page), pb = PageNumber(b.Page);
                                     if ((pa == 0) != (pb == 0))
                                         return pb == 0;
                                     if (pa != pb)
                                         return pa < pb;
                                     return a.Title < b.Title;
                                 });
            }
        }
        std::stable_sort(groups.begin(), groups.end(),
                         [](const ContentsPublisher& a, const ContentsPublisher& b) {
                             return ToLower(a.Name) < ToLower(b.Name);
                         });
    });
    return groups;
}

std::vector<clLiteratur::TreeNode> clLiteratur::FillLiteraturTree(long category, bool primaryOnly,
                                                                  bool withoutIssue)
{
    LastErrorClear();
    std::vector<TreeNode> roots;
    Recorded([&] {
        std::string sql = "SELECT T_Literatur.QuelleID, T_Literatur.Title, T_Literatur.VerlagID, "
                          "T_Literatur.Jahrgang, T_Literatur.AusgabeNr FROM T_LITERATUR_Cat_Ndx INNER JOIN "
                          "T_Literatur ON T_LITERATUR_Cat_Ndx.ID = T_Literatur.QuelleID "
                          "WHERE (T_LITERATUR_Cat_Ndx.CatID = ?)";
        if (primaryOnly)
            sql += " AND (T_LITERATUR_Cat_Ndx.CatPrimary = True) ";
        if (withoutIssue)
            sql += " AND (T_Literatur.AusgabeNr=\"\" or T_Literatur.AusgabeNr IS NULL)";
        sql +=
            " ORDER BY T_Literatur.Title, T_Literatur.Jahrgang, T_Literatur.AusgabeNr, T_Literatur.VerlagID";
        auto rs = Db().OpenRecordset(sql, {Value(category)});
        std::string lastTitle;
        for (; !rs->Eof(); rs->MoveNext()) {
            const long id = AsId(rs->Field(0));
            const std::string title = AsString(rs->Field(1));
            const std::string publisher = AddressName(AsId(rs->Field(2)));
            const long year = AsId(rs->Field(3));
            const std::string issue = AsString(rs->Field(4));
            TreeNode leaf{id, ComposeTitleText(title, publisher, year, issue, 0), {}};
            if (roots.empty() || ToLower(title) != ToLower(lastTitle)) {
                roots.push_back(std::move(leaf));
                lastTitle = title;
                continue;
            }
            // A second source of the same title: the title becomes a group of its issues.
            TreeNode& group = roots.back();
            if (group.Children.empty()) {
                TreeNode first{group.id, "", {}};
                first.Text = group.Text.size() > title.size() ? group.Text.substr(title.size()) : group.Text;
                group.Children.push_back(std::move(first));
                group.id = 0;
                group.Text = title;
            }
            leaf.Text = leaf.Text.substr(std::min(title.size(), leaf.Text.size()));
            group.Children.push_back(std::move(leaf));
        }
        // Below the title each child shows what sets it apart: " (publisher), year/issue" loses
        // its leading separator.
        for (TreeNode& root : roots)
            for (TreeNode& child : root.Children) {
                const std::size_t start = child.Text.find_first_not_of(" ,");
                child.Text = start == std::string::npos ? root.Text : child.Text.substr(start);
            }
    });
    return roots;
}

std::vector<clLiteratur::ListItem> clLiteratur::AddressList()
{
    std::vector<ListItem> items;
    Recorded([&] {
        for (AddressChoiceRow& row : ChoosableAddresses(Db()))
            items.push_back({row.ID, std::move(row.Name)});
    });
    return items;
}

} // namespace pf
