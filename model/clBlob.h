#pragma once
// One attachment of an owner record (a T_BLOB row): either a file path, the data staying outside
// the database, or the data itself. A row is found by owner kind, owner ID and its number within
// the owner; all rows of one owner share one ID. Touches the database only in Loadr, BlobCount,
// the ID and number helpers, Save, Clear, Delete and TransferToDB; a read-only object never writes.

#include "db/Value.h"
#include "model/ModelObject.h"

#include <cstdint>
#include <optional>
#include <string>

namespace pf {

class Database;

class clBlob : public ModelObject
{
public:
    // Owner kind of a recipe's pictures.
    static constexpr long kRecipePicture = 5;
    // Bit of Property set for an attachment held as a path.
    static constexpr long kPathBit = 1;

    // Without a database the work database is used.
    void SetDB(Database* db) { m_db = db; }

    long id() const { return m_id; }
    void Setid(long id) { m_id = id; }
    long IDType() const { return m_idType; }
    // Changing the owner forgets the row ID: the rows of one owner share their ID, so a Save
    // obtains the new owner's one.
    void SetIDType(long type);
    long IDReference() const { return m_idReference; }
    void SetIDReference(long reference);
    long IDNum() const { return m_idNum; }
    void SetIDNum(long num);

    const std::string& Path() const { return m_path; }
    // A different path empties BlobData, makes the attachment a path (or unused when empty) and
    // marks it changed.
    void SetPath(std::string path);
    const Blob& BlobData() const { return m_data; }
    // Different data empties Path, makes the attachment stored data (or unused when empty) and
    // marks it changed.
    void SetBlobData(Blob data);
    const std::string& Description() const { return m_description; }
    void SetDescription(std::string description);
    long Property() const { return m_property; }

    bool isPath() const { return (m_property & kPathBit) != 0; }
    bool isBlob() const { return !isPath() && !m_data.empty(); }
    bool IsUsed() const { return isPath() || isBlob(); }

    bool IsChanged() const { return m_changed; }
    void MarkAsChanged() { m_changed = true; }
    void MarkAsUnchanged() { m_changed = false; }
    bool ROMode() const { return m_readOnly; }
    void SetROMode(bool readOnly) { m_readOnly = readOnly; }

    // Loads the row of owner kind type, owner reference and number num. A missing row empties the
    // object and gives false, as does a database error (then with LastError).
    bool Loadr(long type, long reference, long num);
    // Highest number among the owner's rows, 0 when it has none (or on a database error).
    long BlobCount(long type, long reference);
    static long BlobCount(Database& db, long type, long reference);
    // The ID of the owner's rows, or the next free ID of T_BLOB when the owner has none yet.
    bool SetNewID();
    // The number after the owner's highest.
    bool SetNewNum();

    // Writes a used, changed attachment whose owner reference is 1 or more, obtaining ID and
    // number when they are missing. An unchanged attachment writes nothing and succeeds. Joins
    // a transaction the caller holds (a recipe saves its pictures in its own), so false after
    // a database error tells the caller to roll back.
    bool Save();
    // Deletes the owner's rows, or only row num when num is 1 or more. When this object's own
    // row goes, the object is emptied.
    bool Clear(long type, long reference, long num = 0);
    // Deletes the object's own row and empties it.
    bool Delete();
    // Empties the object: no row, no owner, unused, unchanged. Database and read-only mode stay.
    void Void();

    // Writes a copy into target under owner newReference and a new ID and number; this object
    // keeps its database, IDs and change flag. The copy is written even from a read-only object,
    // whose own database stays untouched.
    bool TransferToDB(Database& target, long newReference);
    // Clears ID and number, so that the next Save writes a new row.
    void PrepareForTransfer();

private:
    long OwnerId(Database& db) const;
    void Write(Database& db);

    long m_id = 0;
    long m_idType = 0;
    long m_idReference = 0;
    long m_idNum = 0;
    long m_property = 0;
    std::string m_path;
    Blob m_data;
    std::string m_description;
    bool m_changed = false;
    bool m_readOnly = false;
};

// Files larger than this ask before they are loaded as a picture.
constexpr std::uintmax_t kLargePictureBytes = 150000;

// Reads a picture file for storing it in the database. A file above kLargePictureBytes asks
// whether to go on; the status line tells what is loaded. nullopt when the user declined or the
// file could not be read (the reason has then been shown).
std::optional<Blob> LoadPictureFile(const std::string& path);

// The bytes of a picture, whether stored as data or as a path (the file is read, without
// questions); nullopt for an unused attachment or a file that cannot be read.
std::optional<Blob> PictureData(const clBlob& picture);

} // namespace pf

namespace pf {

class Database;

// Deletes the picture rows of recipes that no longer exist (T_BLOB rows of the recipe picture type
// whose IDReference names no recipe) and returns how many rows went.
long RemoveOrphanRecipePictures(Database& db);

} // namespace pf
