#include "model/ClFingerprint.h"

#include "core/Settings.h"
#include "tests/model/ModelDb.h"

#include <cstdint>
#include <set>

namespace pf {
namespace {

// "KOCH": 75×1 + 79×2 + 67×3 + 72×4.
constexpr long kKochCreator = 722;

class ClFingerprintTest : public test::ModelDb
{
protected:
    void SetUp() override
    {
        ModelDb::SetUp();
        app.WinUser = "koch";
        app.IniFile = dir.File("machine.ini");
        app.UserStoreFile = dir.File("user.ini");
        app.Options.EditLastFPCounter = 100;
    }
};

// The date (year to second), creator, serial and both halves of a fingerprint.
std::vector<long> Fields(ClFingerprint& fp)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    fp.Datum().ToParts(year, month, day, hour, minute, second);
    return {year, month, day, hour, minute, second, fp.CreatorID(), fp.Serial(), fp.FP1(), fp.FP2()};
}

TEST_F(ClFingerprintTest, PackAndUnpackRoundTripAndACreatorAbove11BitsNegatesTheSecondHalf)
{
    struct Case
    {
        int Year, Month, Day, Hour, Minute;
        long Creator, Serial;
        std::int32_t Fp1, Fp2;
    };
    const Case cases[] = {
        {2003, 5, 17, 14, 35, 1, 7, 24480675, 1048583},
        {1980, 1, 1, 0, 0, 0, 1, 67584, 1},
        // A year before 1980 gives a negative FP1 and still reads back.
        {1979, 12, 31, 23, 59, 5, 3, -197125, 5 * 1048576 + 3},
        {1900, 2, 28, 12, 0, 0, 1, -80 * 1048576 + 2 * 65536 + 28 * 2048 + 12 * 64, 1},
        // Largest year offset and the largest identity that stays positive.
        {4027, 12, 31, 23, 59, 2047, 1048575, 2147286523, 2147483647},
        {2024, 2, 29, 0, 1, 0, 1048575, 44 * 1048576 + 2 * 65536 + 29 * 2048 + 1, 1048575},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Year) + "-" + std::to_string(c.Month) + "-" + std::to_string(c.Day));
        ClFingerprint fp;
        fp.Datum(DateSerial::FromParts(c.Year, c.Month, c.Day, c.Hour, c.Minute, 59));
        fp.CreatorID(c.Creator);
        fp.Serial(c.Serial);
        EXPECT_EQ(fp.FP1(), c.Fp1);
        EXPECT_EQ(fp.FP2(), c.Fp2);

        ClFingerprint back;
        back.SetFPBin(c.Fp1, c.Fp2);
        EXPECT_EQ(Fields(back), (std::vector<long>{c.Year, c.Month, c.Day, c.Hour, c.Minute, 0, c.Creator,
                                                   c.Serial, c.Fp1, c.Fp2}));
    }

    // A creator above 11 bits negates the second half.
    ClFingerprint fp;
    fp.Datum(DateSerial::FromParts(2003, 5, 17, 14, 35));
    fp.CreatorID(2048 + 5);
    fp.Serial(9);
    EXPECT_EQ(fp.FP2(), -(5 * 1048576 + 9));
    // Reading back follows the unpacking rule on the negative value, not the original fields.
    ClFingerprint back;
    back.SetFPBin(fp.FP1(), fp.FP2());
    EXPECT_EQ(back.CreatorID(), 2043);
    EXPECT_EQ(back.Serial(), 1048576 - 9);
}

TEST_F(ClFingerprintTest, CompareFingerprintAndUpdateKeepsIdentityAndAdvancesVersion)
{
    const std::int32_t own1 = 24480675, own2 = 1048583;
    const std::tuple<std::int32_t, std::int32_t, int> cases[] = {
        {own1, own2, 0},       {own1 - 64, own2, 1}, {own1 + 1, own2, -1}, {own1 - 1, 42, 2},
        {own1 + 2048, 42, -2}, {0, own2, -1},        {0, 42, -2},          {own1, 42, 2},
    };
    ClFingerprint fp;
    fp.SetFPBin(own1, own2);
    for (const auto& [fp1, fp2, expected] : cases) {
        SCOPED_TRACE(std::to_string(fp1) + "," + std::to_string(fp2));
        EXPECT_EQ(fp.CompareFingerprint(fp1, fp2), expected);
    }

    // An update keeps the identity and advances the version.
    ClFingerprint updated;
    updated.SetFPBin(24480675, 1048583);
    updated.Update();
    EXPECT_EQ(updated.FP2(), 1048583);
    EXPECT_GT(updated.FP1(), 24480675);
    EXPECT_EQ(updated.CompareFingerprint(24480675, 1048583), 1);

    // Without a creator there is no identity to keep: a new fingerprint is made.
    ClFingerprint anonymous;
    anonymous.SetFPBin(24480675, 7);
    anonymous.Update();
    EXPECT_EQ(anonymous.CreatorID(), kKochCreator);
    EXPECT_EQ(anonymous.Serial(), 101);

    ClFingerprint named;
    named.SetFPBin(24480675, 1048583);
    named.UpdateFingerprint("Koch", DateSerial::FromParts(2010, 1, 2, 3, 4));
    EXPECT_EQ(named.FP1(), 30 * 1048576 + 65536 + 2 * 2048 + 3 * 64 + 4);
    EXPECT_EQ(named.FP2(), kKochCreator * 1048576 + 7);
}

TEST_F(ClFingerprintTest, RecordIdentifierText)
{
    ClFingerprint fp;
    fp.SetFPBin(24480675, 1048583);
    EXPECT_EQ(fp.GetRID(), "24480675,1048583");

    for (const char* text : {"24480675.1048583", "24480675,1048583"}) {
        SCOPED_TRACE(text);
        ClFingerprint parsed;
        ASSERT_TRUE(parsed.RIDZerlegen(text));
        EXPECT_EQ((std::vector<long>{parsed.FP1(), parsed.FP2(), parsed.Serial()}),
                  (std::vector<long>{24480675, 1048583, 7}));
    }
    ClFingerprint negative;
    ASSERT_TRUE(negative.RIDZerlegen("-197125,-5242889"));
    EXPECT_EQ(negative.GetRID(), "-197125,-5242889");

    for (const char* text : {"", "24480675", "abc,1", "1,", "1,2x", "99999999999,1"}) {
        SCOPED_TRACE(text);
        ClFingerprint bad;
        EXPECT_FALSE(bad.RIDZerlegen(text));
        EXPECT_NE(bad.LastError(), 0);
        EXPECT_FALSE(bad.HasFingerprint());
    }
}

TEST_F(ClFingerprintTest, SerialCounterWrapsAndPersists)
{
    app.Options.EditLastFPCounter = 1048574;
    EXPECT_EQ(ClFingerprint::SerialInc(), 1048575);
    // Wraps within 20 bits; 0 stays free for "no serial".
    EXPECT_EQ(ClFingerprint::SerialInc(), 1);
    EXPECT_EQ(ReadSetting("", "EditLastFPCounter", "", false), "1");

    app.Options.EditLastFPCounter = 0;
    const long first = ClFingerprint::SerialInc();
    EXPECT_GE(first, 1);
    EXPECT_LE(first, 1048575);
    EXPECT_EQ(ClFingerprint::SerialInc(), first == 1048575 ? 1 : first + 1);

    ClFingerprint fp;
    app.Options.EditLastFPCounter = 500;
    fp.Serial(0);
    EXPECT_EQ(fp.Serial(), 501);
    fp.SerialNew();
    EXPECT_EQ(fp.Serial(), 502);
}

TEST_F(ClFingerprintTest, AnEmptyFingerprintIsMadeOnFirstReadWithTheCreatorNumberOfTheName)
{
    ClFingerprint fp;
    EXPECT_FALSE(fp.HasFingerprint());
    const std::int32_t fp2 = fp.FP2();
    EXPECT_TRUE(fp.HasFingerprint());
    EXPECT_EQ(fp.CreatorID(), kKochCreator);
    EXPECT_EQ(fp.Serial(), 101);
    EXPECT_EQ(fp2, kKochCreator * 1048576 + 101);
    EXPECT_GT(fp.FP1(), 24480675); // now, well after 2003

    // The creator number of a name.
    ClFingerprint named;
    EXPECT_EQ(named.GetFingerprintAktCreator("Koch"), kKochCreator);
    EXPECT_EQ(named.GetFingerprintAktCreator(""), kKochCreator); // the current user
    // Characters count with their Windows-1252 codes: "Ä" is 196.
    EXPECT_EQ(named.GetFingerprintAktCreator("ä"), 196);
    // 40 × "Z": 90 × (1 + … + 40) = 73800, low 12 bits 73800 mod 4096 = 72.
    EXPECT_EQ(named.GetFingerprintAktCreator(std::string(40, 'z'), true), 73800);
    EXPECT_EQ(named.GetFingerprintAktCreator(std::string(40, 'z')), 72);
}

TEST_F(ClFingerprintTest, InfoTexts)
{
    ClFingerprint own;
    own.SetFPBin(24480675, static_cast<std::int32_t>(kKochCreator * 1048576 + 7));
    EXPECT_EQ(own.FingerprintInfoText(),
              "Fingerprint-Information: Letzte Bearbeitung am: 17.05.2003 14:35 Fingerprint: 722 "
              "(Serial 000.007) Der Ersteller ist der aktuelle Anwender.");

    ClFingerprint other;
    other.SetFPBin(24480675, 2 * 1048576 + 1048575);
    EXPECT_EQ(other.FingerprintInfoTextCRLF(),
              "Fingerprint-Information:\r\nLetzte Bearbeitung am: 17.05.2003 14:35\r\nFingerprint: 2 "
              "(Serial 1.048.575)\r\nDer Ersteller ist nicht der aktuelle Anwender.");

    const std::string base = other.FingerprintInfoTextCRLF();
    EXPECT_EQ(other.InfotextAndSource(0, {}), base + "\r\nDas Rezept gehört zum Lieferset.");
    EXPECT_EQ(other.InfotextAndSource(4, DateSerial::FromParts(2019, 3, 1, 8, 0)),
              base + "\r\nImportiert aus: MasterCook am 01.03.2019 08:00");
    EXPECT_EQ(other.InfotextAndSource(1, {}), base);
}

void Insert(Database& db, const std::string& table, long id, std::int32_t fp1, std::int32_t fp2,
            long type = 0)
{
    if (table == "T_LEXIKON")
        db.Execute("INSERT INTO T_LEXIKON (ID, Type, Fingerprint1, Fingerprint2) VALUES (?,?,?,?)",
                   {id, type, static_cast<long>(fp1), static_cast<long>(fp2)});
    else
        db.Execute("INSERT INTO " + table + " (ID, Fingerprint1, Fingerprint2) VALUES (?,?,?)",
                   {id, static_cast<long>(fp1), static_cast<long>(fp2)});
}

TEST_F(ClFingerprintTest, CreatedByConditionFindsExactlyTheCreatorsRows)
{
    Insert(*db, "T_GIFT", 1, 1, kKochCreator * 1048576);
    Insert(*db, "T_GIFT", 2, 1, kKochCreator * 1048576 + 1048575);
    Insert(*db, "T_GIFT", 3, 1, kKochCreator * 1048576 - 1);
    Insert(*db, "T_GIFT", 4, 1, (kKochCreator + 1) * 1048576);
    ClFingerprint fp;
    const Value n = db->Scalar("SELECT COUNT(*) FROM T_GIFT WHERE " +
                               ClFingerprint::CreatedByCondition(fp.GetFingerprintAktCreator("") & 2047));
    EXPECT_EQ(n.AsLong(), 2);
}

std::pair<std::int32_t, std::int32_t> Read(Database& db, const std::string& table, long id)
{
    auto rs = db.OpenRecordset("SELECT Fingerprint1,Fingerprint2 FROM " + table + " WHERE ID=?", {id});
    return {static_cast<std::int32_t>(rs->Field("Fingerprint1").AsLong()),
            static_cast<std::int32_t>(rs->Field("Fingerprint2").AsLong())};
}

TEST_F(ClFingerprintTest, SetFingerprintsGivesRowsWithoutOneTheChosenDateAndCreator)
{
    Insert(*db, "T_REZ_KOPF", 1, 0, 0);
    Insert(*db, "T_REZ_KOPF", 2, 0, 0);
    Insert(*db, "T_REZ_KOPF", 3, 1000, 5 * 1048576 + 9);

    FingerprintRequest request;
    request.Table = "T_REZ_KOPF";
    request.CreatorName = "Koch";
    request.Datum = DateSerial::FromParts(2003, 5, 17, 14, 35);
    request.NewSerial = true;
    ClFingerprint fp;
    long count = 0;
    ASSERT_TRUE(fp.SetFingerprints(*db, request, count)) << fp.LastErrorText();
    EXPECT_EQ(count, 2);
    EXPECT_EQ(Read(*db, "T_REZ_KOPF", 1),
              std::make_pair(24480675, std::int32_t{kKochCreator * 1048576 + 101}));
    EXPECT_EQ(Read(*db, "T_REZ_KOPF", 2),
              std::make_pair(24480675, std::int32_t{kKochCreator * 1048576 + 102}));
    EXPECT_EQ(Read(*db, "T_REZ_KOPF", 3), std::make_pair(1000, 5 * 1048576 + 9));

    // Older than 2000, lexicon kind 2 only, serials kept.
    Insert(*db, "T_LEXIKON", 10, 1000, 5 * 1048576 + 9, 2);
    Insert(*db, "T_LEXIKON", 11, 1000, 5 * 1048576 + 10, 3);
    Insert(*db, "T_LEXIKON", 12, 24480675, 5 * 1048576 + 11, 2);
    FingerprintRequest lex;
    lex.Table = "T_LEXIKON";
    lex.LexikonType = 2;
    lex.Scope = FingerprintScope::OlderThan;
    lex.OlderThan = DateSerial::FromParts(2000, 1, 1);
    lex.Datum = DateSerial::FromParts(2003, 5, 17, 14, 35);
    ASSERT_TRUE(fp.SetFingerprints(*db, lex, count)) << fp.LastErrorText();
    EXPECT_EQ(count, 1);
    EXPECT_EQ(Read(*db, "T_LEXIKON", 10), std::make_pair(24480675, std::int32_t{kKochCreator * 1048576 + 9}));
    EXPECT_EQ(Read(*db, "T_LEXIKON", 11), std::make_pair(1000, 5 * 1048576 + 10));
    EXPECT_EQ(Read(*db, "T_LEXIKON", 12), std::make_pair(24480675, 5 * 1048576 + 11));

    // Creator range 5..5 reaches the remaining creator-5 rows of a table.
    FingerprintRequest range;
    range.Table = "T_REZ_KOPF";
    range.Scope = FingerprintScope::CreatorRange;
    range.CreatorFrom = 5;
    range.CreatorTo = 5;
    range.Datum = DateSerial::FromParts(2003, 5, 17, 14, 35);
    ASSERT_TRUE(fp.SetFingerprints(*db, range, count));
    EXPECT_EQ(count, 1);
    EXPECT_EQ(Read(*db, "T_REZ_KOPF", 3), std::make_pair(24480675, std::int32_t{kKochCreator * 1048576 + 9}));

    FingerprintRequest unknown;
    unknown.Table = "T_MENU_KOPF";
    EXPECT_FALSE(fp.SetFingerprints(*db, unknown, count));
    EXPECT_NE(fp.LastError(), 0);
}

TEST_F(ClFingerprintTest, DupeKillRenumbersRepeatedSerialsOfNewerRows)
{
    const std::int32_t old = 1000, recent = 24480675;
    Insert(*db, "T_GERAET", 1, old, 3 * 1048576 + 5);
    Insert(*db, "T_GERAET", 2, recent, 4 * 1048576 + 5); // same serial as the older row 1
    Insert(*db, "T_GERAET", 3, recent, 3 * 1048576 + 6);
    Insert(*db, "T_GERAET", 4, recent, 3 * 1048576 + 6); // two recent rows sharing a serial
    Insert(*db, "T_GERAET", 5, recent, 3 * 1048576 + 7);
    Insert(*db, "T_GERAET", 6, old, 3 * 1048576 + 101); // the counter's next value is taken

    ClFingerprint fp;
    long count = 0;
    ASSERT_TRUE(fp.DupeKill(*db, "T_GERAET", -1, DateSerial::FromParts(2000, 1, 1), count))
        << fp.LastErrorText();
    EXPECT_EQ(count, 2);
    EXPECT_EQ(Read(*db, "T_GERAET", 1).second, 3 * 1048576 + 5);
    EXPECT_EQ(Read(*db, "T_GERAET", 5).second, 3 * 1048576 + 7);
    EXPECT_EQ(Read(*db, "T_GERAET", 2).second / 1048576, 4); // the creator stays
    std::set<std::int32_t> serials;
    for (long id = 1; id <= 6; ++id)
        serials.insert(Read(*db, "T_GERAET", id).second & ClFingerprint::kSerialMask);
    EXPECT_EQ(serials.size(), 6u);
    EXPECT_EQ(serials.count(101), 1u);

    // Nothing repeated any more.
    ASSERT_TRUE(fp.DupeKill(*db, "T_GERAET", -1, DateSerial::FromParts(2000, 1, 1), count));
    EXPECT_EQ(count, 0);
}

} // namespace
} // namespace pf
