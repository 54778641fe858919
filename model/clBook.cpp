#include "model/clBook.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Messages.h"
#include "db/DatabaseChoice.h"
#include "db/Recordset.h"
#include "db/SchemaVersion.h"

namespace pf {

std::string clBook::DefaultName(long id)
{
    switch (id) {
    case kBaseBook:
        return "Basiskochbuch";
    case kNoBook:
        return "[Neu/Undefiniert - Fehler!]";
    case kDuplicates:
        return "[Doppelte Rezepte]";
    case kTrash:
        return "[Rezept-Papierkorb]";
    default:
        return "";
    }
}

std::string clBook::DefaultDescription(long id)
{
    switch (id) {
    case kBaseBook:
        return "Hierin sind alle Rezepte enthalten";
    case kDuplicates:
        return "Hierin sind alle Rezepte enthalten, die beim Import durch doppelten Titel aussortiert "
               "wurden.";
    case kTrash:
        return "Dies ist der Kochbuch-Papierkorb. Alle gelöschten Rezepte werden hier abgelegt, bevor "
               "sie endgültig gelöscht werden.";
    default:
        return "";
    }
}

void clBook::Assign(const Entry& entry)
{
    m_id = entry.id;
    m_title = entry.Title;
    m_description = entry.Description;
    m_dateCreated = entry.DateCreated;
    m_dateModified = entry.DateModified;
}

void clBook::Void()
{
    Assign(Entry{kNoBook, "", "", DateSerial{}, DateSerial{}});
    m_index = 0;
}

void clBook::ReadReservedDates()
{
    try {
        auto rs = Db().OpenRecordset("SELECT BuchDatum,BuchModifiziert FROM T_BUCH WHERE ID=?", {m_id});
        if (!rs->Eof()) {
            m_dateCreated = rs->Field("BuchDatum").AsDate();
            m_dateModified = rs->Field("BuchModifiziert").AsDate();
        }
    } catch (const DbError&) {
        // Without a row or a readable table the reserved view has no dates.
    }
}

void clBook::ReadList()
{
    m_list.clear();
    auto rs = Db().OpenRecordset(
        "SELECT ID,BuchTitel,Buchbeschreib,BuchDatum,BuchModifiziert FROM T_BUCH ORDER BY ID");
    for (; !rs->Eof(); rs->MoveNext())
        m_list.push_back({static_cast<long>(rs->Field("ID").AsLong()), rs->Field("BuchTitel").AsText(),
                          rs->Field("Buchbeschreib").AsText(), rs->Field("BuchDatum").AsDate(),
                          rs->Field("BuchModifiziert").AsDate()});
    m_listRead = true;
}

bool clBook::LoadByID(long id)
{
    LastErrorClear();
    m_index = 0;
    // Reserved numbers are views over all recipes, not rows.
    if (id <= kBaseBook && !DefaultName(id).empty()) {
        Assign(Entry{id, DefaultName(id), DefaultDescription(id), DateSerial{}, DateSerial{}});
        if (id == kBaseBook)
            ReadReservedDates();
        return id != kNoBook;
    }
    try {
        if (m_listRead) {
            for (std::size_t i = 0; i < m_list.size(); ++i) {
                if (m_list[i].id == id) {
                    Assign(m_list[i]);
                    m_index = static_cast<long>(i) + 1;
                    return true;
                }
            }
        } else {
            auto rs = Db().OpenRecordset("SELECT BuchTitel,Buchbeschreib,BuchDatum,BuchModifiziert FROM "
                                         "T_BUCH WHERE ID=" +
                                         std::to_string(id));
            if (!rs->Eof()) {
                Assign(Entry{id, rs->Field("BuchTitel").AsText(), rs->Field("Buchbeschreib").AsText(),
                             rs->Field("BuchDatum").AsDate(), rs->Field("BuchModifiziert").AsDate()});
                return true;
            }
        }
    } catch (const DbError& e) {
        SetDbError(e);
    }
    Assign(Entry{id, "Unbekanntes Kochbuch #" + std::to_string(id), "", DateSerial{}, DateSerial{}});
    return false;
}

bool clBook::LoadbyName(const std::string& title)
{
    LastErrorClear();
    long found = 0;
    try {
        // Bound rather than quoted, so a title with quotes cannot break the statement.
        auto rs = Db().OpenRecordset("SELECT ID FROM T_BUCH WHERE BuchTitel like ?", {title});
        if (rs->Eof())
            return false;
        found = static_cast<long>(rs->Field("ID").AsLong());
    } catch (const DbError& e) {
        SetDbError(e);
        return false;
    }
    return LoadByID(found);
}

std::string clBook::GetBookName(long id)
{
    clBook other;
    other.SetDB(m_db);
    other.LoadByID(id);
    return other.Title();
}

long clBook::Count()
{
    LastErrorClear();
    try {
        const long n = static_cast<long>(Db().Scalar("SELECT COUNT(*) FROM T_BUCH").AsLong());
        if (!m_listRead)
            ReadList();
        return n;
    } catch (const DbError& e) {
        SetDbError(e);
        return 0;
    }
}

bool clBook::SetIndex(long index)
{
    LastErrorClear();
    if (!m_listRead && Count() == 0 && m_lastError != 0)
        return false;
    if (index < 1 || index > static_cast<long>(m_list.size())) {
        m_index = 0;
        return false;
    }
    Assign(m_list[static_cast<std::size_t>(index - 1)]);
    m_index = index;
    return true;
}

long clBook::RezCount(long id)
{
    LastErrorClear();
    std::string sql;
    if (id == kTrash)
        sql = "SELECT COUNT(*) FROM T_REZ_KOPF WHERE FlagDeleted<>0";
    else if (id == kBaseBook)
        sql = "SELECT COUNT(*) FROM T_REZ_KOPF WHERE FlagDeleted=0";
    else
        sql = "SELECT DISTINCTROW Count(T_REZ_KOPF.ID) FROM T_REZ_KOPF INNER JOIN T_REZ_KOCHBUCH ON "
              "T_REZ_KOPF.ID = T_REZ_KOCHBUCH.RezID WHERE T_REZ_KOCHBUCH.BuchID=" +
              std::to_string(id) + " AND T_REZ_KOPF.FlagDeleted=0 AND T_REZ_KOPF.Template=0";
    try {
        return static_cast<long>(Db().Scalar(sql).AsLong());
    } catch (const DbError& e) {
        SetDbError(e);
        return -1;
    }
}

bool clBook::Save()
{
    LastErrorClear();
    if (m_title.empty() || m_description.empty()) {
        SetError(-1, "Ein Kochbuch muss einen Namen und eine kurze Beschreibung erhalten !");
        return false;
    }
    if (m_id != kNoBook && m_id <= kBaseBook) {
        SetError(-1, "Das Kochbuch " + DefaultName(m_id) + " kann nicht gespeichert werden.");
        return false;
    }
    try {
        Database& db = Db();
        DbTransaction transaction(db);
        long id = m_id;
        const DateSerial now = NowSerial();
        DateSerial created = m_dateCreated;
        if (id == kNoBook) {
            // Reserved numbers stay below 1 even in an empty table.
            id = static_cast<long>(db.Scalar("SELECT MAX(ID) FROM T_BUCH").AsLong()) + 1;
            if (id < 1)
                id = 1;
        }
        if (created.Days == 0)
            created = now;
        auto rs = db.OpenRecordset("SELECT * FROM T_BUCH WHERE ID=" + std::to_string(id));
        if (rs->Eof()) {
            rs->AddNew();
            rs->SetField("ID", id);
        } else {
            rs->Edit();
        }
        rs->SetField("BuchTitel", m_title);
        rs->SetField("BuchBeschreib", m_description);
        rs->SetField("BuchDatum", created);
        rs->SetField("BuchModifiziert", now);
        rs->Update();
        rs->Close();
        transaction.Commit();
        m_id = id;
        m_dateCreated = created;
        m_dateModified = now;
    } catch (const DbError& e) {
        SetDbError(e);
        return false;
    }
    ForgetList();
    return true;
}

void clBook::ForgetList()
{
    // The kept list no longer matches the table.
    m_listRead = false;
    m_list.clear();
    m_index = 0;
}

bool clBook::ImportUpdate(const std::string& title, const std::string& description)
{
    if (LoadbyName(title))
        return true;
    if (m_lastError != 0)
        return false;
    Void();
    m_title = title;
    m_description = description.empty() ? title : description;
    return Save();
}

namespace {

// Recipe IDs joined in portions of at most 500, so that no statement grows without bound.
std::vector<std::string> IdPortions(const std::vector<long>& ids)
{
    constexpr std::size_t kPortion = 500;
    std::vector<std::string> portions;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (i % kPortion == 0)
            portions.emplace_back();
        else
            portions.back() += ',';
        portions.back() += std::to_string(ids[i]);
    }
    return portions;
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

} // namespace

long clBook::Delete(bool moveOnlyMembersToTrash)
{
    LastErrorClear();
    if (m_id <= kBaseBook) {
        SetError(-1, "Das Kochbuch " + Title() + " kann nicht gelöscht werden.");
        return -1;
    }
    const std::string id = std::to_string(m_id);
    long trashed = 0;
    try {
        Database& db = Db();
        DbTransaction transaction(db);
        db.Execute("DELETE FROM T_BUCH WHERE ID=" + id);
        if (moveOnlyMembersToTrash) {
            // Members of this cookbook without a row in any other one.
            std::vector<long> ids;
            auto rs =
                db.OpenRecordset("SELECT DISTINCT K.RezID FROM T_REZ_KOCHBUCH AS K WHERE K.BuchID=" + id +
                                 " AND NOT EXISTS (SELECT * FROM T_REZ_KOCHBUCH AS O WHERE "
                                 "O.RezID=K.RezID AND O.BuchID<>" +
                                 id + ")");
            for (; !rs->Eof(); rs->MoveNext())
                ids.push_back(static_cast<long>(rs->Field("RezID").AsLong()));
            rs->Close();
            for (const std::string& portion : IdPortions(ids))
                trashed += db.Execute("UPDATE T_REZ_KOPF SET FlagDeleted=-1 WHERE ID IN (" + portion + ")");
        }
        db.Execute("DELETE FROM T_REZ_KOCHBUCH WHERE BuchID=" + id);
        transaction.Commit();
    } catch (const DbError& e) {
        SetDbError(e);
        return -1;
    }
    ForgetList();
    Void();
    return trashed;
}

bool clBook::CheckTransfer(long targetID)
{
    if (m_id <= kBaseBook && m_id != kDuplicates) {
        SetError(-1, "Aus dem Kochbuch " + Title() + " können keine Rezepte übertragen werden.");
        return false;
    }
    if (targetID <= kBaseBook || targetID == m_id) {
        SetError(-1, "Bitte ein anderes Kochbuch als Ziel wählen.");
        return false;
    }
    return true;
}

long clBook::Transfer(long targetID, bool removeFromSource)
{
    LastErrorClear();
    if (!CheckTransfer(targetID))
        return -1;
    const std::string id = std::to_string(m_id);
    const std::string target = std::to_string(targetID);
    long added = 0;
    try {
        Database& db = Db();
        DbTransaction transaction(db);
        added = db.Execute("INSERT INTO T_REZ_KOCHBUCH (RezID,BuchID) SELECT DISTINCT RezID," + target +
                           " FROM T_REZ_KOCHBUCH WHERE BuchID=" + id +
                           " AND RezID NOT IN (SELECT RezID FROM T_REZ_KOCHBUCH WHERE BuchID=" + target +
                           " AND RezID IS NOT NULL)");
        if (removeFromSource)
            db.Execute("DELETE FROM T_REZ_KOCHBUCH WHERE BuchID=" + id);
        transaction.Commit();
    } catch (const DbError& e) {
        SetDbError(e);
        return -1;
    }
    return added;
}

long clBook::AddToNewBook(long targetID)
{
    return Transfer(targetID, false);
}

long clBook::Move(long targetID)
{
    return Transfer(targetID, true);
}

long clBook::AskDelete(bool moveOnlyMembersToTrash)
{
    Interaction& ui = UI();
    const std::string caption = AppContext::Current().AppCaption;
    const std::string title = Title();
    const std::string question =
        "Soll das Kochbuch " + Quoted(title) + " wirklich gelöscht werden ?\n" +
        (moveOnlyMembersToTrash ? "(alle exakt nur in diesem Kochbuch enthaltenen Rezepte werden ebenfalls "
                                  "gelöscht !)"
                                : "(alle darin enthaltenen Rezepte sind automatisch noch im Basiskochbuch "
                                  "enthalten und werden daher nicht gelöscht)");
    if (ui.Ask(question, Buttons::YesNo, Answer::No, MsgIcon::Question, caption) != Answer::Yes)
        return -1;
    ui.Inform("Der Vorgang kann unter Umständen einige Zeit beanspruchen ...", MsgIcon::Warning, caption);
    ui.SetBusy(true);
    ShowStatus("Löschen des Kochbuches " + title);
    const long trashed = Delete(moveOnlyMembersToTrash);
    ShowProgress(-1, -1, "");
    ui.SetBusy(false);
    if (trashed < 0) {
        ui.Inform(LastErrorText(), MsgIcon::Critical, caption);
        return -1;
    }
    ui.Inform(std::to_string(trashed) + " Rezepte wurden in den Papierkorb geworfen", MsgIcon::Information,
              caption);
    return trashed;
}

long clBook::AskTransfer(long targetID, bool removeFromSource)
{
    Interaction& ui = UI();
    const std::string caption = AppContext::Current().AppCaption;
    LastErrorClear();
    if (!CheckTransfer(targetID)) {
        ui.Inform(LastErrorText(), MsgIcon::Information, caption);
        return -1;
    }
    const std::string question = "Wirklich alle Rezepte vom Kochbuch " + Quoted(Title()) +
                                 " in das Kochbuch " + Quoted(GetBookName(targetID)) +
                                 (removeFromSource ? " verschieben ?" : " kopieren ?");
    if (ui.Ask(question, Buttons::YesNo, Answer::No, MsgIcon::Question, caption) != Answer::Yes)
        return -1;
    ui.SetBusy(true);
    const long added = Transfer(targetID, removeFromSource);
    ui.SetBusy(false);
    if (added < 0) {
        ui.Inform(LastErrorText(), MsgIcon::Critical, caption);
        return -1;
    }
    ui.Inform(std::to_string(added) + (removeFromSource
                                           ? " Rezepte wurden erfolgreich in das Kochbuch verschoben"
                                           : " Rezepte wurden erfolgreich in das Kochbuch kopiert"),
              MsgIcon::Information, caption);
    return added;
}

long clBook::AskAddToNewBook(long targetID)
{
    return AskTransfer(targetID, false);
}

long clBook::AskMove(long targetID)
{
    return AskTransfer(targetID, true);
}

std::vector<clBook::ListItem> clBook::GetBooklist2List(bool withReserved)
{
    LastErrorClear();
    std::vector<ListItem> items;
    if (withReserved)
        for (long id : {kBaseBook, kDuplicates, kTrash})
            items.push_back({id, DefaultName(id)});
    try {
        ReadList();
    } catch (const DbError& e) {
        SetDbError(e);
        return items;
    }
    for (const Entry& entry : m_list)
        // The base cookbook may have a row of its own; it is listed once, under its fixed name.
        if (!withReserved || DefaultName(entry.id).empty())
            items.push_back({entry.id, entry.Title});
    return items;
}

void LoadActiveCookbook(long id)
{
    AppContext& app = AppContext::Current();
    // A cookbook that no longer exists stays as the failed load leaves it ("Unbekanntes Kochbuch
    // #n"), so the user sees what became of the remembered choice.
    clBook book;
    book.LoadByID(id);
    app.ActiveBookId = book.id();
    app.ActiveBookTitle = book.Title();
}

} // namespace pf
