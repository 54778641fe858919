#include "model/ClFingerprint.h"

#include "core/AppContext.h"
#include "core/Settings.h"
#include "core/TextConv.h"
#include "core/Utf8.h"
#include "db/DbError.h"
#include "db/Recordset.h"
#include "db/SchemaVersion.h"

#include <array>
#include <chrono>
#include <functional>
#include <random>
#include <unordered_map>
#include <vector>

namespace pf {

namespace {

constexpr std::int64_t kTwo20 = 1048576;

// Keeps the low 32 bits as a signed value: years before 1980 give a negative FP1.
std::int32_t Wrap32(std::int64_t v)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v & 0xFFFFFFFFLL));
}

std::int32_t PackDate(DateSerial date)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    date.ToParts(year, month, day, hour, minute, second);
    return Wrap32((static_cast<std::int64_t>(year) - 1980) * kTwo20 + month * 65536LL + day * 2048LL +
                  hour * 64LL + minute);
}

std::int32_t PackIdentity(long creator, long serial)
{
    std::int64_t v = static_cast<std::int64_t>(creator & ClFingerprint::kCreatorMask) * kTwo20 +
                     (serial & ClFingerprint::kSerialMask);
    if (creator > ClFingerprint::kCreatorMask)
        v = -v;
    return static_cast<std::int32_t>(v);
}

// At least six digits with "." between groups of three: 7 gives "000.007".
std::string FormatSerial(long serial)
{
    std::string digits = std::to_string(serial);
    if (digits.size() < 6)
        digits.insert(0, 6 - digits.size(), '0');
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += '.';
        out += digits[i];
    }
    return out;
}

bool KnownTable(const std::string& table)
{
    static const std::array<const char*, 5> kTables = {"T_REZ_KOPF", "T_BLS_KEY", "T_GERAET", "T_GIFT",
                                                       "T_LEXIKON"};
    for (const char* t : kTables)
        if (table == t)
            return true;
    return false;
}

} // namespace

void ClFingerprint::Initialize()
{
    m_datum = NowSerial();
    m_serial = SerialInc();
    m_creatorId = GetFingerprintAktCreator("") & kCreatorMask;
    m_present = true;
    Convert2Bin();
}

void ClFingerprint::Update()
{
    if (m_present && m_changed)
        Convert2Bin();
    if (m_present && m_creatorId != 0 && m_serial != 0) {
        m_datum = NowSerial();
        Convert2Bin();
    } else {
        Initialize();
    }
}

void ClFingerprint::UpdateFingerprint(std::string_view creatorName, DateSerial date)
{
    if (!m_present)
        Initialize();
    m_datum = date.Days == 0 ? NowSerial() : date;
    // Only 11 bits fit the packed creator; a 12-bit number would negate FP2.
    if (!creatorName.empty())
        m_creatorId = GetFingerprintAktCreator(creatorName) & kCreatorMask;
    Convert2Bin();
}

std::int32_t ClFingerprint::FP1()
{
    if (!m_present)
        Initialize();
    if (m_changed)
        Convert2Bin();
    return m_fp1;
}

std::int32_t ClFingerprint::FP2()
{
    if (!m_present)
        Initialize();
    if (m_changed)
        Convert2Bin();
    return m_fp2;
}

void ClFingerprint::FP1(std::int32_t value)
{
    SetFPBin(value, m_changed ? PackIdentity(m_creatorId, m_serial) : m_fp2);
}

void ClFingerprint::FP2(std::int32_t value)
{
    SetFPBin(m_changed ? PackDate(m_datum) : m_fp1, value);
}

void ClFingerprint::SetFPBin(std::int32_t fp1, std::int32_t fp2)
{
    m_fp1 = fp1;
    m_fp2 = fp2;
    m_present = fp1 != 0 && fp2 != 0;
    m_changed = false;
    Convert2Data();
}

void ClFingerprint::Datum(DateSerial value)
{
    m_datum = value;
    m_present = true;
    Convert2Bin();
}

void ClFingerprint::CreatorID(long value)
{
    m_creatorId = value;
    m_present = true;
    Convert2Bin();
}

void ClFingerprint::Serial(long value)
{
    m_serial = value == 0 ? SerialInc() : (value & kSerialMask);
    m_present = true;
    Convert2Bin();
}

void ClFingerprint::SerialNew()
{
    Serial(SerialInc());
}

long ClFingerprint::SerialInc()
{
    long& counter = AppContext::Current().Options.EditLastFPCounter;
    if (counter == 0) {
        std::mt19937 gen(static_cast<std::uint32_t>(
            std::chrono::system_clock::now().time_since_epoch().count() & 0xFFFFFFFF));
        counter = std::uniform_int_distribution<long>(0, kSerialMask)(gen);
    }
    counter = (counter + 1) & kSerialMask;
    // 0 means "no serial yet" to Update and to the Serial setter; skip it on wrap-around.
    if (counter == 0)
        counter = 1;
    WriteSetting("", "EditLastFPCounter", std::to_string(counter), false);
    return counter;
}

long ClFingerprint::NextSerial(long value)
{
    const long next = (value + 1) & kSerialMask;
    return next == 0 ? 1 : next;
}

long ClFingerprint::SerialReserve(long count)
{
    long& counter = AppContext::Current().Options.EditLastFPCounter;
    if (counter == 0) {
        std::mt19937 gen(static_cast<std::uint32_t>(
            std::chrono::system_clock::now().time_since_epoch().count() & 0xFFFFFFFF));
        counter = std::uniform_int_distribution<long>(0, kSerialMask)(gen);
    }
    const long first = NextSerial(counter);
    long last = first;
    for (long i = 1; i < count; ++i)
        last = NextSerial(last);
    counter = last;
    WriteSetting("", "EditLastFPCounter", std::to_string(counter), false);
    return first;
}

int ClFingerprint::CompareFingerprint(std::int32_t fp1, std::int32_t fp2)
{
    const std::int32_t own1 = FP1();
    const std::int32_t own2 = FP2();
    if (own1 == fp1 && own2 == fp2)
        return 0;
    const int k = own2 != fp2 ? 2 : 1;
    if (own1 == 0 && fp2 != 0)
        return k;
    if (fp1 == 0 && own1 != 0)
        return -k;
    // Same minute but another record: counted as this one newer, never as equal.
    return own1 >= fp1 ? k : -k;
}

long ClFingerprint::GetFingerprintAktCreator(std::string_view name, bool full)
{
    const std::string upper = name.empty() ? Winuserid() : ToUpper(name);
    const std::string bytes = Utf8ToWin1252(upper);
    long sum = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        sum += static_cast<long>(static_cast<unsigned char>(bytes[i])) * static_cast<long>(i + 1);
    return full ? sum : (sum & 4095);
}

std::string ClFingerprint::Winuserid()
{
    if (m_winuser.empty())
        m_winuser = ToUpper(AppContext::Current().WinUser);
    return m_winuser;
}

std::string ClFingerprint::GetRID()
{
    const std::int32_t fp1 = FP1();
    return std::to_string(fp1) + "," + std::to_string(FP2());
}

bool ClFingerprint::RIDZerlegen(std::string_view text)
{
    LastErrorClear();
    std::size_t sep = text.find_first_of(",.");
    if (sep == std::string_view::npos) {
        SetError(13, "Ungültige Datensatzkennung: " + std::string(text));
        return false;
    }
    auto parse = [](std::string_view part, std::int32_t& out) {
        std::string s(part);
        char* end = nullptr;
        long long v = std::strtoll(s.c_str(), &end, 10);
        if (s.empty() || *end != '\0' || v < INT32_MIN || v > INT32_MAX)
            return false;
        out = static_cast<std::int32_t>(v);
        return true;
    };
    std::int32_t fp1 = 0, fp2 = 0;
    if (!parse(text.substr(0, sep), fp1) || !parse(text.substr(sep + 1), fp2)) {
        SetError(13, "Ungültige Datensatzkennung: " + std::string(text));
        return false;
    }
    SetFPBin(fp1, fp2);
    return true;
}

std::string ClFingerprint::InfoText(const char* separator)
{
    FP1(); // an empty fingerprint is made first
    std::string text = "Fingerprint-Information:";
    text += separator;
    text += "Letzte Bearbeitung am: " + DateTimeText(m_datum);
    text += separator;
    text += "Fingerprint: " + std::to_string(m_creatorId) + " (Serial " + FormatSerial(m_serial) + ")";
    text += separator;
    text += "Der Ersteller ist ";
    if (m_creatorId != (GetFingerprintAktCreator("") & kCreatorMask))
        text += "nicht ";
    text += "der aktuelle Anwender.";
    return text;
}

std::string ClFingerprint::FingerprintInfoText()
{
    return InfoText(" ");
}

std::string ClFingerprint::FingerprintInfoTextCRLF()
{
    return InfoText("\r\n");
}

std::string ClFingerprint::InfotextAndSource(int source, DateSerial date)
{
    static const std::array<const char*, 9> kSources = {"Das Rezept gehört zum Lieferset",
                                                        "",
                                                        "MealMaster-Text",
                                                        "MealMaster-DB",
                                                        "MasterCook",
                                                        "Calcmenu",
                                                        "Mensax",
                                                        "Generischer Rezeptimport",
                                                        "Pfannola Kochbuchimport"};
    std::string text = FingerprintInfoTextCRLF();
    if (source < 0 || source >= static_cast<int>(kSources.size()) ||
        kSources[static_cast<std::size_t>(source)][0] == '\0')
        return text;
    text += "\r\n";
    if (source == 0)
        return text + kSources[0] + ".";
    text += std::string("Importiert aus: ") + kSources[static_cast<std::size_t>(source)];
    if (date.Days != 0)
        text += " am " + DateTimeText(date);
    return text;
}

void ClFingerprint::Convert2Bin()
{
    m_fp1 = PackDate(m_datum);
    m_fp2 = PackIdentity(m_creatorId, m_serial);
    m_changed = false;
}

void ClFingerprint::Convert2Data()
{
    const auto u = static_cast<std::uint32_t>(m_fp1);
    // The year offset is the signed top 12 bits, so FP1 < 0 means a year before 1980.
    const int year =
        (m_fp1 & static_cast<std::int32_t>(0xFFF00000u)) / static_cast<std::int32_t>(kTwo20) + 1980;
    const int month = static_cast<int>((u & 0xF0000u) >> 16);
    const int day = static_cast<int>((u & 0xF800u) >> 11);
    const int hour = static_cast<int>((u >> 6) & 31u);
    const int minute = static_cast<int>(u & 63u);
    m_datum = (m_fp1 == 0) ? DateSerial{} : DateSerial::FromParts(year, month, day, hour, minute);
    m_creatorId = (m_fp2 / static_cast<std::int32_t>(kTwo20)) & kCreatorMask;
    m_serial = m_fp2 & kSerialMask;
}

std::string ClFingerprint::TableCondition(const std::string& table, long lexikonType, bool hasWhere)
{
    if (table != "T_LEXIKON" || lexikonType < 0)
        return {};
    return std::string(hasWhere ? " AND" : " WHERE") + " Type=" + std::to_string(lexikonType);
}

bool ClFingerprint::Transacted(Database& db, long& count, const std::function<void()>& work)
{
    try {
        DbTransaction trans(db);
        work();
        trans.Commit();
    } catch (const DbError& e) {
        count = 0;
        SetDbError(e);
        return false;
    }
    return true;
}

bool ClFingerprint::SetFingerprints(Database& db, const FingerprintRequest& request, long& count)
{
    LastErrorClear();
    count = 0;
    if (!KnownTable(request.Table)) {
        SetError(3078, "Tabelle ohne Fingerprint: " + request.Table);
        return false;
    }
    const DateSerial date = request.Datum.Days == 0 ? NowSerial() : request.Datum;
    const long creator = (request.CreatorName.empty() ? GetFingerprintAktCreator("")
                                                      : GetFingerprintAktCreator(request.CreatorName)) &
                         kCreatorMask;
    std::string sql = "SELECT Fingerprint1,Fingerprint2 FROM " + request.Table;
    switch (request.Scope) {
    case FingerprintScope::Missing:
        sql += " WHERE Fingerprint1=0 AND Fingerprint2=0";
        break;
    case FingerprintScope::OlderThan:
        sql += " WHERE Fingerprint1<" + std::to_string(PackDate(request.OlderThan));
        break;
    case FingerprintScope::CreatorRange:
        sql += " WHERE (Fingerprint2 BETWEEN " + std::to_string(request.CreatorFrom * kTwo20) + " AND " +
               std::to_string(request.CreatorTo * kTwo20 + kSerialMask) + ")";
        break;
    }
    sql += TableCondition(request.Table, request.LexikonType, true);
    return Transacted(db, count, [&] {
        auto rs = db.OpenRecordset(sql);
        for (; !rs->Eof(); rs->MoveNext()) {
            long serial = static_cast<long>(rs->Field("Fingerprint2").AsLong() & kSerialMask);
            if (request.NewSerial || serial == 0)
                serial = SerialInc();
            rs->Edit();
            rs->SetField("Fingerprint1", Value(static_cast<long>(PackDate(date))));
            rs->SetField("Fingerprint2", Value(static_cast<long>(PackIdentity(creator, serial))));
            rs->Update();
            ++count;
        }
        rs->Close();
    });
}

bool ClFingerprint::DupeKill(Database& db, const std::string& table, long lexikonType, DateSerial since,
                             long& count)
{
    LastErrorClear();
    count = 0;
    if (!KnownTable(table)) {
        SetError(3078, "Tabelle ohne Fingerprint: " + table);
        return false;
    }
    return Transacted(db, count, [&] {
        // Serial -> ids of the rows carrying it; one pass instead of comparing every pair.
        std::unordered_map<std::int32_t, std::vector<std::int64_t>> bySerial;
        {
            auto all = db.OpenRecordset("SELECT FingerPrint1,Fingerprint2,ID FROM " + table +
                                        TableCondition(table, lexikonType, false));
            for (; !all->Eof(); all->MoveNext()) {
                const auto fp2 = static_cast<std::int32_t>(all->Field("Fingerprint2").AsLong());
                bySerial[fp2 & kSerialMask].push_back(all->Field("ID").AsLong());
            }
        }
        auto rs = db.OpenRecordset("SELECT Fingerprint1,Fingerprint2,ID FROM " + table +
                                   " WHERE Fingerprint1>=" + std::to_string(PackDate(since)) +
                                   TableCondition(table, lexikonType, true));
        for (; !rs->Eof(); rs->MoveNext()) {
            const auto fp2 = static_cast<std::int32_t>(rs->Field("Fingerprint2").AsLong());
            const std::int64_t id = rs->Field("ID").AsLong();
            const std::int32_t serial = fp2 & kSerialMask;
            std::vector<std::int64_t>& ids = bySerial[serial];
            bool shared = false;
            for (std::int64_t other : ids)
                shared = shared || other != id;
            if (!shared)
                continue;
            std::erase(ids, id);
            auto newSerial = static_cast<std::int32_t>(SerialInc());
            for (long tries = 0;
                 bySerial.contains(newSerial) && !bySerial[newSerial].empty() && tries < kSerialMask; ++tries)
                newSerial = static_cast<std::int32_t>(SerialInc());
            bySerial[newSerial].push_back(id);
            // Keep the creator bits as stored (FP2 is negated for large creator numbers).
            const std::int32_t newFp2 =
                fp2 >= 0 ? (fp2 & ~kSerialMask) | newSerial : -(((-fp2) & ~kSerialMask) | newSerial);
            rs->Edit();
            rs->SetField("Fingerprint2", Value(static_cast<long>(newFp2)));
            rs->Update();
            ++count;
        }
        rs->Close();
    });
}

std::string ClFingerprint::CreatedByCondition(long creator)
{
    const std::int64_t low = static_cast<std::int64_t>(creator) * kTwo20;
    return "Fingerprint2 between " + std::to_string(low) + " and " + std::to_string(low + kSerialMask);
}

std::string ClFingerprint::DupeKillQuestion(DateSerial since)
{
    return "Dieser Vorgang wird alle Rezepte, die neuer als " + DateTimeText(since).substr(0, 10) +
           ", 00:00 Uhr sind, eine neuere Serial zuweisen, wenn diese in älteren Daten gefunden wird. "
           "Dieser Vorgang ist aufwändig und wird eine Weile dauern.\nFortfahren?";
}

std::string ClFingerprint::SetFingerprintsReport(long count)
{
    return std::to_string(count) + " Fingerprints wurden generiert/verändert.";
}

} // namespace pf
