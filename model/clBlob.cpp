#include "model/clBlob.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Messages.h"
#include "db/DatabaseChoice.h"
#include "db/Recordset.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace pf {

namespace {

std::string OwnerCondition(long type, long reference)
{
    return "IDType=" + std::to_string(type) + " AND IDReference=" + std::to_string(reference);
}

long MaxNum(Database& db, long type, long reference)
{
    return static_cast<long>(
        db.Scalar("SELECT MAX(IDNum) FROM T_BLOB WHERE " + OwnerCondition(type, reference)).AsLong());
}

// Reads a whole file; on failure gives nullopt and the system's reason in error.
std::optional<Blob> ReadFile(const std::string& path, std::string& error)
{
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) {
        error = ec.message();
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = std::generic_category().message(errno != 0 ? errno : EIO);
        return std::nullopt;
    }
    Blob data(static_cast<std::size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(size))) {
        error = std::generic_category().message(errno != 0 ? errno : EIO);
        return std::nullopt;
    }
    return data;
}

} // namespace

void clBlob::SetIDType(long type)
{
    if (type == m_idType)
        return;
    m_idType = type;
    m_id = 0;
    m_changed = true;
}

void clBlob::SetIDReference(long reference)
{
    if (reference == m_idReference)
        return;
    m_idReference = reference;
    m_id = 0;
    m_changed = true;
}

void clBlob::SetIDNum(long num)
{
    if (num == m_idNum)
        return;
    m_idNum = num;
    m_changed = true;
}

void clBlob::SetPath(std::string path)
{
    if (path == m_path)
        return;
    m_path = std::move(path);
    m_data.clear();
    if (m_path.empty())
        m_property &= ~kPathBit;
    else
        m_property |= kPathBit;
    m_changed = true;
}

void clBlob::SetBlobData(Blob data)
{
    if (data == m_data)
        return;
    m_data = std::move(data);
    m_path.clear();
    m_property &= ~kPathBit;
    m_changed = true;
}

void clBlob::SetDescription(std::string description)
{
    if (description == m_description)
        return;
    m_description = std::move(description);
    m_changed = true;
}

void clBlob::Void()
{
    m_id = 0;
    m_idType = 0;
    m_idReference = 0;
    m_idNum = 0;
    m_property = 0;
    m_path.clear();
    m_data.clear();
    m_description.clear();
    m_changed = false;
}

bool clBlob::Loadr(long type, long reference, long num)
{
    LastErrorClear();
    try {
        auto rs = Db().OpenRecordset("SELECT * FROM T_BLOB WHERE " + OwnerCondition(type, reference) +
                                     " AND IDNum=" + std::to_string(num));
        if (rs->Eof()) {
            Void();
            return false;
        }
        m_id = static_cast<long>(rs->Field("ID").AsLong());
        m_idType = type;
        m_idReference = reference;
        m_idNum = num;
        m_property = static_cast<long>(rs->Field("Property").AsLong());
        m_path = rs->Field("BlobPath").AsText();
        m_data = rs->Field("Blob").AsBinary();
        m_description = rs->Field("Description").AsText();
        m_changed = false;
    } catch (const DbError& e) {
        Void();
        SetDbError(e);
        return false;
    }
    return true;
}

long clBlob::BlobCount(Database& db, long type, long reference)
{
    try {
        return MaxNum(db, type, reference);
    } catch (const DbError&) {
        return 0;
    }
}

long clBlob::BlobCount(long type, long reference)
{
    LastErrorClear();
    try {
        return MaxNum(Db(), type, reference);
    } catch (const DbError& e) {
        SetDbError(e);
        return 0;
    }
}

long clBlob::OwnerId(Database& db) const
{
    const Value existing =
        db.Scalar("SELECT ID FROM T_BLOB WHERE IDReference=" + std::to_string(m_idReference) +
                  " AND IDType=" + std::to_string(m_idType));
    if (!existing.IsNull())
        return static_cast<long>(existing.AsLong());
    const long next = static_cast<long>(db.Scalar("SELECT MAX(ID) FROM T_BLOB").AsLong()) + 1;
    return next < 1 ? 1 : next;
}

bool clBlob::SetNewID()
{
    LastErrorClear();
    try {
        m_id = OwnerId(Db());
    } catch (const DbError& e) {
        SetDbError(e);
        return false;
    }
    return true;
}

bool clBlob::SetNewNum()
{
    LastErrorClear();
    try {
        m_idNum = MaxNum(Db(), m_idType, m_idReference) + 1;
    } catch (const DbError& e) {
        SetDbError(e);
        return false;
    }
    return true;
}

void clBlob::Write(Database& db)
{
    const long rowId = m_id > 0 ? m_id : OwnerId(db);
    const long num = m_idNum > 0 ? m_idNum : MaxNum(db, m_idType, m_idReference) + 1;
    auto rs = db.OpenRecordset("SELECT * FROM T_BLOB WHERE ID=" + std::to_string(rowId) +
                               " AND IDReference=" + std::to_string(m_idReference) +
                               " AND IDNum=" + std::to_string(num));
    if (rs->Eof()) {
        rs->AddNew();
        rs->SetField("ID", rowId);
    } else {
        rs->Edit();
    }
    rs->SetField("IDReference", m_idReference);
    rs->SetField("IDType", m_idType);
    rs->SetField("IDNum", num);
    rs->SetField("Property", m_property);
    rs->SetField("BlobPath", m_path);
    // No data is stored as null, which every reader takes as "no picture".
    rs->SetField("Blob", m_data.empty() ? Value() : Value(m_data));
    rs->SetField("Description", m_description);
    rs->Update();
    rs->Close();
    m_id = rowId;
    m_idNum = num;
}

bool clBlob::Save()
{
    LastErrorClear();
    if (m_readOnly) {
        SetError(-1, "Die Anlage ist schreibgeschützt und kann nicht gespeichert werden.");
        return false;
    }
    if (!IsUsed()) {
        SetError(-1, "Eine leere Anlage kann nicht gespeichert werden.");
        return false;
    }
    if (m_idReference < 1) {
        SetError(-1,
                 "Die Anlage gehört zu keinem gespeicherten Datensatz und kann nicht gespeichert werden.");
        return false;
    }
    if (!m_changed)
        return true;
    const long oldId = m_id;
    const long oldNum = m_idNum;
    try {
        Database& db = Db();
        // Inside the caller's transaction the caller decides; alone, the ID lookup and the row
        // are written together.
        std::optional<DbTransaction> transaction;
        if (!db.InTransaction())
            transaction.emplace(db);
        Write(db);
        if (transaction)
            transaction->Commit();
    } catch (const DbError& e) {
        m_id = oldId;
        m_idNum = oldNum;
        SetDbError(e);
        return false;
    }
    m_changed = false;
    return true;
}

bool clBlob::Clear(long type, long reference, long num)
{
    LastErrorClear();
    if (m_readOnly) {
        SetError(-1, "Die Anlage ist schreibgeschützt und kann nicht gelöscht werden.");
        return false;
    }
    std::string sql = "DELETE FROM T_BLOB WHERE " + OwnerCondition(type, reference);
    if (num > 0)
        sql += " AND IDNum=" + std::to_string(num);
    try {
        Db().Execute(sql);
    } catch (const DbError& e) {
        SetDbError(e);
        return false;
    }
    if (m_idNum > 0 && type == m_idType && reference == m_idReference && (num <= 0 || num == m_idNum))
        Void();
    return true;
}

bool clBlob::Delete()
{
    LastErrorClear();
    if (m_readOnly) {
        SetError(-1, "Die Anlage ist schreibgeschützt und kann nicht gelöscht werden.");
        return false;
    }
    // Without a number there is no row, and Clear would take every row of the owner.
    if (m_idNum < 1 || m_idReference < 1) {
        Void();
        return true;
    }
    return Clear(m_idType, m_idReference, m_idNum);
}

void clBlob::PrepareForTransfer()
{
    m_id = 0;
    m_idNum = 0;
}

bool clBlob::TransferToDB(Database& target, long newReference)
{
    Database* const ownDb = m_db;
    const long ownId = m_id;
    const long ownReference = m_idReference;
    const long ownNum = m_idNum;
    const bool ownChanged = m_changed;
    const bool ownReadOnly = m_readOnly;

    m_db = &target;
    PrepareForTransfer();
    m_idReference = newReference;
    m_changed = true;
    m_readOnly = false;
    const bool ok = Save();

    m_db = ownDb;
    m_id = ownId;
    m_idReference = ownReference;
    m_idNum = ownNum;
    m_changed = ownChanged;
    m_readOnly = ownReadOnly;
    return ok;
}

std::optional<Blob> LoadPictureFile(const std::string& path)
{
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec && size > kLargePictureBytes) {
        const std::string question = "Die Bilddatei ist mit " + std::to_string(size / 1024) +
                                     " KBytes relativ gross. Wirklich fortfahren?";
        if (UI().Ask(question, Buttons::YesNo, Answer::Yes, MsgIcon::Question,
                     AppContext::Current().AppCaption) != Answer::Yes)
            return std::nullopt;
    }
    ShowStatus("Bild wird geladen");
    ShowStatus("Lade Bilddatei: " + std::filesystem::path(path).filename().string());
    std::string error;
    std::optional<Blob> data = ReadFile(path, error);
    ShowProgress(-1, -1, "");
    if (!data)
        InformCritical(error + "\n\nBild konnte nicht geladen werden !");
    return data;
}

std::optional<Blob> PictureData(const clBlob& picture)
{
    if (picture.isBlob())
        return picture.BlobData();
    if (!picture.isPath())
        return std::nullopt;
    std::string error;
    return ReadFile(picture.Path(), error);
}

} // namespace pf

namespace pf {

long RemoveOrphanRecipePictures(Database& db)
{
    return db.Execute("DELETE FROM T_BLOB WHERE IDType=5 AND IDReference NOT IN (SELECT ID FROM T_REZ_KOPF)");
}

} // namespace pf
