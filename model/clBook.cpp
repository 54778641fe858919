#include "model/clBook.h"

#include "core/AppContext.h"
#include "db/DatabaseChoice.h"
#include "db/Recordset.h"
#include "db/SchemaVersion.h"

namespace pf {

Database& clBook::Db()
{
    return m_db ? *m_db : WorkDb();
}

void clBook::ClearError()
{
    m_lastError = 0;
    m_lastErrorText.clear();
}

void clBook::SetError(long number, std::string text)
{
    m_lastError = number;
    m_lastErrorText = std::move(text);
}

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
    ClearError();
    m_index = 0;
    // Reserved numbers are views over all recipes, not rows.
    if (id <= kBaseBook && !DefaultName(id).empty()) {
        Assign(Entry{id, DefaultName(id), DefaultDescription(id), DateSerial{}, DateSerial{}});
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
        SetError(e.Number(), e.what());
    }
    Assign(Entry{id, "Unbekanntes Kochbuch #" + std::to_string(id), "", DateSerial{}, DateSerial{}});
    return false;
}

bool clBook::LoadbyName(const std::string& title)
{
    ClearError();
    long found = 0;
    try {
        // Bound rather than quoted, so a title with quotes cannot break the statement.
        auto rs = Db().OpenRecordset("SELECT ID FROM T_BUCH WHERE BuchTitel like ?", {title});
        if (rs->Eof())
            return false;
        found = static_cast<long>(rs->Field("ID").AsLong());
    } catch (const DbError& e) {
        SetError(e.Number(), e.what());
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
    ClearError();
    try {
        const long n = static_cast<long>(Db().Scalar("SELECT COUNT(*) FROM T_BUCH").AsLong());
        if (!m_listRead)
            ReadList();
        return n;
    } catch (const DbError& e) {
        SetError(e.Number(), e.what());
        return 0;
    }
}

bool clBook::SetIndex(long index)
{
    ClearError();
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
    ClearError();
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
        SetError(e.Number(), e.what());
        return -1;
    }
}

bool clBook::Save()
{
    ClearError();
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
        SetError(e.Number(), e.what());
        return false;
    }
    // The kept list no longer matches the table.
    m_listRead = false;
    m_list.clear();
    m_index = 0;
    return true;
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
