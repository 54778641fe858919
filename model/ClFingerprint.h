#pragma once
// One record fingerprint: the creator and serial that identify a record across databases (FP2)
// and the minute of its last edit (FP1), packed into the two 32-bit columns Fingerprint1 and
// Fingerprint2. The object itself never touches the database; SetFingerprints and DupeKill do.

#include "db/Database.h"
#include "db/Value.h"
#include "model/ModelObject.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace pf {

// Which rows the bulk assignment changes.
enum class FingerprintScope {
    Missing,      // rows without a fingerprint
    OlderThan,    // rows edited before a date
    CreatorRange, // rows whose creator number lies in a range
};

struct FingerprintRequest
{
    std::string Table;     // T_REZ_KOPF, T_BLS_KEY, T_GERAET, T_GIFT or T_LEXIKON
    long LexikonType = -1; // with T_LEXIKON: restricts to one kind (Type=...); -1 all
    FingerprintScope Scope = FingerprintScope::Missing;
    DateSerial OlderThan; // with OlderThan
    long CreatorFrom = 0; // with CreatorRange, both inclusive
    long CreatorTo = 0;
    std::string CreatorName; // creator of the new fingerprints; empty: the current user
    DateSerial Datum;        // date of the new fingerprints; 0: now
    bool NewSerial = false;  // give every row a new serial, otherwise keep the row's serial
};

class ClFingerprint : public ModelObject
{
public:
    static constexpr std::int32_t kSerialMask = 1048575; // 20 bits
    static constexpr long kCreatorMask = 2047;

    // Makes a new fingerprint: now, the next serial, the current user as creator.
    void Initialize();
    // A fingerprint with creator and serial keeps its identity and gets now as its date;
    // otherwise a new one is made.
    void Update();
    // Sets the date (now when 0) and, when a name is given, the creator number from it.
    void UpdateFingerprint(std::string_view creatorName, DateSerial date);

    // Packed values; an empty fingerprint is made new first.
    std::int32_t FP1();
    std::int32_t FP2();
    void FP1(std::int32_t value);
    void FP2(std::int32_t value);
    void SetFPBin(std::int32_t fp1, std::int32_t fp2);
    bool HasFingerprint() const { return m_present; }

    DateSerial Datum() const { return m_datum; }
    void Datum(DateSerial value);
    long CreatorID() const { return m_creatorId; }
    void CreatorID(long value);
    long Serial() const { return m_serial; }
    // 0 draws the next value of the serial counter.
    void Serial(long value);
    // Gives the fingerprint the next serial of the counter.
    void SerialNew();
    // Advances the program's serial counter (seeding it at random when it is 0), persists it
    // and returns the new value.
    static long SerialInc();
    // Reserves count serials at once for bulk work (an import), persisting the counter once:
    // returns the first; the others follow as NextSerial gives them.
    static long SerialReserve(long count);
    // The serial after value (wrapping inside the 20 bits, skipping 0).
    static long NextSerial(long value);

    // 0: equal; ±1 another version of the same record (positive: this one is newer);
    // ±2 a different record.
    int CompareFingerprint(std::int32_t fp1, std::int32_t fp2);

    // Sum of (character code × position) over the upper-cased name, low 12 bits unless full.
    // An empty name stands for the current user (cached).
    long GetFingerprintAktCreator(std::string_view name, bool full = false);
    std::string Winuserid();

    // "FP1,FP2" in decimal, and its reverse (a "." is taken for the comma).
    std::string GetRID();
    bool RIDZerlegen(std::string_view text);

    std::string FingerprintInfoText();
    std::string FingerprintInfoTextCRLF();
    std::string InfotextAndSource(int source, DateSerial date);

    // Packs the fields into FP1/FP2 and back.
    void Convert2Bin();
    void Convert2Data();

    // Gives the chosen rows of a table the fingerprint of the request's date and creator in one
    // transaction; count receives the number of rows changed.
    bool SetFingerprints(Database& db, const FingerprintRequest& request, long& count);
    // Gives every row edited at or after since whose serial another row of the table also
    // carries a new serial, in one transaction. lexikonType restricts T_LEXIKON to one kind.
    bool DupeKill(Database& db, const std::string& table, long lexikonType, DateSerial since, long& count);

    // Condition on Fingerprint2 for the records the given creator made (all serials).
    static std::string CreatedByCondition(long creator);
    // The question DupeKill's caller asks first, and the report after a bulk assignment.
    static std::string DupeKillQuestion(DateSerial since);
    static std::string SetFingerprintsReport(long count);

private:
    std::string InfoText(const char* separator);
    static std::string TableCondition(const std::string& table, long lexikonType, bool hasWhere);
    // Runs work in one transaction; a database error rolls it back, clears count and is recorded.
    bool Transacted(Database& db, long& count, const std::function<void()>& work);

    DateSerial m_datum;
    long m_creatorId = 0;
    long m_serial = 0;
    std::int32_t m_fp1 = 0;
    std::int32_t m_fp2 = 0;
    bool m_present = false;
    bool m_changed = false;
    std::string m_winuser; // upper-cased, cached on first use
};

} // namespace pf
