#include "model/clBlob.h"

#include "tests/model/ModelDb.h"

namespace pf {
namespace {

constexpr long kPic = clBlob::kRecipePicture;

class BlobDb : public test::ModelDb
{
protected:
    // An attachment of the test database, not yet stored.
    clBlob Unsaved(long reference, Blob data, long type = kPic)
    {
        clBlob blob = Attached();
        blob.SetIDType(type);
        blob.SetIDReference(reference);
        blob.SetBlobData(std::move(data));
        return blob;
    }
    clBlob Attached(Database* on = nullptr)
    {
        clBlob blob;
        blob.SetDB(on ? on : db.get());
        return blob;
    }
    // A picture of recipe reference, stored with the next free number; gives its number.
    long SavePicture(long reference, Blob data, long type = kPic)
    {
        clBlob blob = Unsaved(reference, std::move(data), type);
        EXPECT_TRUE(blob.Save()) << blob.LastErrorText();
        return blob.IDNum();
    }
    // A picture file of size bytes.
    std::string MakeFile(std::size_t size)
    {
        const std::string path = dir.File("bild.jpg");
        test::WriteFile(path, std::string(size, 'x'));
        return path;
    }
    long Rows(const std::string& where = "1=1")
    {
        return Count("SELECT COUNT(*) FROM T_BLOB WHERE " + where);
    }
};

TEST_F(BlobDb, PathIsStoredWithPropertyBitAndWithoutData)
{
    clBlob blob = Unsaved(10, {1, 2, 3});
    blob.SetPath("/bilder/kuchen.jpg"); // replaces the data
    EXPECT_TRUE(blob.isPath());
    EXPECT_FALSE(blob.isBlob());
    EXPECT_TRUE(blob.BlobData().empty());
    ASSERT_TRUE(blob.Save()) << blob.LastErrorText();

    auto rs = db->OpenRecordset("SELECT * FROM T_BLOB");
    ASSERT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Field("Property").AsLong() & 1, 1);
    EXPECT_TRUE(rs->Field("Blob").AsBinary().empty());
    EXPECT_EQ(rs->Field("BlobPath").AsText(), "/bilder/kuchen.jpg");
    EXPECT_EQ(rs->Field("IDNum").AsLong(), 1);
    rs->Close();

    clBlob loaded = Attached();
    ASSERT_TRUE(loaded.Loadr(kPic, 10, 1));
    EXPECT_TRUE(loaded.isPath());
    EXPECT_FALSE(loaded.IsChanged());

    // Data set afterwards turns it back into stored data.
    loaded.SetBlobData({9});
    EXPECT_TRUE(loaded.isBlob());
    EXPECT_EQ(loaded.Path(), "");
    EXPECT_TRUE(loaded.IsChanged());
}

TEST_F(BlobDb, DataRoundTripsByteForByte)
{
    Blob everyByte(256);
    for (std::size_t i = 0; i < everyByte.size(); ++i)
        everyByte[i] = static_cast<std::uint8_t>(i);
    Blob megabyte(1 << 20);
    for (std::size_t i = 0; i < megabyte.size(); ++i)
        megabyte[i] = static_cast<std::uint8_t>((i * 7919) >> 3);
    const Blob cases[] = {everyByte, megabyte, Blob{0}};
    long reference = 1;
    for (const Blob& data : cases) {
        SCOPED_TRACE(data.size());
        const long num = SavePicture(reference, data);
        clBlob loaded = Attached();
        ASSERT_TRUE(loaded.Loadr(kPic, reference, num));
        EXPECT_TRUE(loaded.isBlob());
        EXPECT_EQ(loaded.Property() & clBlob::kPathBit, 0);
        EXPECT_TRUE(loaded.BlobData() == data);
        ++reference;
    }
}

TEST_F(BlobDb, NumbersCountWithinTheOwnerAndTheOwnersRowsShareAnID)
{
    clBlob blob = Attached();
    EXPECT_EQ(blob.BlobCount(kPic, 10), 0);
    EXPECT_FALSE(blob.Loadr(kPic, 10, 1));
    EXPECT_FALSE(blob.IsUsed());

    EXPECT_EQ(SavePicture(10, {1}), 1);
    EXPECT_EQ(SavePicture(10, {2}), 2);
    EXPECT_EQ(SavePicture(11, {3}), 1);
    EXPECT_EQ(SavePicture(10, {4}, 7), 1); // another owner kind, same reference
    EXPECT_EQ(blob.BlobCount(kPic, 10), 2);
    EXPECT_EQ(clBlob::BlobCount(*db, kPic, 11), 1);

    EXPECT_EQ(Rows("IDReference=10 AND IDType=5"), 2);
    EXPECT_EQ(db->Scalar("SELECT COUNT(DISTINCT ID) FROM T_BLOB").AsLong(), 3);
    EXPECT_EQ(db->Scalar("SELECT COUNT(DISTINCT ID) FROM T_BLOB WHERE IDReference=10 AND IDType=5").AsLong(),
              1);

    // Saving a loaded picture again edits its row.
    ASSERT_TRUE(blob.Loadr(kPic, 10, 2));
    blob.SetDescription("Anschnitt");
    ASSERT_TRUE(blob.Save());
    EXPECT_EQ(Rows(), 4);
    EXPECT_EQ(db->Scalar("SELECT Description FROM T_BLOB WHERE IDReference=10 AND IDNum=2").AsText(),
              "Anschnitt");
}

TEST_F(BlobDb, ClearDeletesOneNumberOrTheWholeOwner)
{
    for (int i = 0; i < 3; ++i)
        SavePicture(10, {static_cast<std::uint8_t>(i + 1)});
    SavePicture(11, {9});

    clBlob second = Attached(), first = Attached();
    ASSERT_TRUE(second.Loadr(kPic, 10, 2));
    ASSERT_TRUE(first.Loadr(kPic, 10, 1));

    ASSERT_TRUE(second.Clear(kPic, 10, 2));
    EXPECT_FALSE(second.IsUsed()); // its own row went
    EXPECT_EQ(second.IDNum(), 0);
    EXPECT_EQ(Rows("IDReference=10"), 2);
    EXPECT_EQ(Rows("IDReference=10 AND IDNum=2"), 0);

    ASSERT_TRUE(first.Delete());
    EXPECT_FALSE(first.IsUsed());
    EXPECT_EQ(Rows("IDReference=10"), 1);

    clBlob other = Attached();
    ASSERT_TRUE(other.Clear(kPic, 10));
    EXPECT_EQ(Rows("IDReference=10"), 0);
    EXPECT_EQ(Rows("IDReference=11"), 1);

    // An attachment never stored has no row: deleting it must not touch the owner's rows.
    clBlob unsaved = Unsaved(11, {1});
    EXPECT_TRUE(unsaved.Delete());
    EXPECT_EQ(Rows("IDReference=11"), 1);
}

// Only recipe pictures whose recipe is gone are removed; pictures of other owners stay.
TEST_F(BlobDb, OrphanCleanupRemovesPicturesOfMissingRecipesOnly)
{
    db->Execute("INSERT INTO T_REZ_KOPF (ID, RezTitle) VALUES (10, 'Linsensuppe')");
    SavePicture(10, {1});
    SavePicture(10, {2});
    SavePicture(11, {3});
    SavePicture(12, {4});
    SavePicture(11, {5}, 6); // an address picture of the same number
    EXPECT_EQ(RemoveOrphanRecipePictures(*db), 2);
    EXPECT_EQ((std::vector<long>{Rows("IDReference=10"), Rows("IDReference=11"), Rows("IDReference=12")}),
              (std::vector<long>{2, 1, 0}));
    EXPECT_EQ(RemoveOrphanRecipePictures(*db), 0);
}

TEST_F(BlobDb, SaveIsRefusedForUnusedOwnerlessAndReadOnlyAttachments)
{
    const std::tuple<const char*, long, Blob> cases[] = {
        {"unused", 10, {}}, {"no owner", 0, {1, 2}}, {"negative owner", -1, {1}}};
    for (const auto& [name, reference, data] : cases) {
        SCOPED_TRACE(name);
        clBlob blob = Unsaved(reference, data);
        blob.SetIDNum(1);
        EXPECT_FALSE(blob.Save());
        EXPECT_NE(blob.LastError(), 0);
        EXPECT_FALSE(blob.LastErrorText().empty());
    }
    EXPECT_EQ(Rows(), 0);

    // Read-only neither writes nor deletes.
    SavePicture(10, {1, 2});
    clBlob blob = Attached();
    ASSERT_TRUE(blob.Loadr(kPic, 10, 1));
    blob.SetROMode(true);
    blob.SetBlobData({7, 7, 7});
    EXPECT_FALSE(blob.Save());
    EXPECT_FALSE(blob.Delete());
    EXPECT_FALSE(blob.Clear(kPic, 10));
    EXPECT_TRUE(blob.IsUsed());

    clBlob fresh = Attached();
    ASSERT_TRUE(fresh.Loadr(kPic, 10, 1));
    EXPECT_EQ(fresh.BlobData(), (Blob{1, 2}));
}

TEST_F(BlobDb, SaveJoinsTheCallersTransactionAndReportsFailure)
{
    {
        DbTransaction transaction(*db);
        SavePicture(10, {1});
        EXPECT_TRUE(db->InTransaction()); // the save did not end the caller's transaction
    }                                     // rolled back
    EXPECT_EQ(Rows(), 0);

    db->Execute("DROP TABLE T_BLOB");
    clBlob blob = Unsaved(10, {1});
    EXPECT_FALSE(blob.Save());
    EXPECT_NE(blob.LastError(), 0);
    EXPECT_TRUE(blob.IsChanged()); // still to be written
    EXPECT_EQ(blob.id(), 0);
}

TEST_F(BlobDb, TransferWritesACopyAndKeepsTheOriginal)
{
    SavePicture(10, {5, 6});
    SavePicture(10, {7});
    auto target = test::NewSchemaDatabase(dir.File("target.db"));
    clBlob blob = Attached();
    ASSERT_TRUE(blob.Loadr(kPic, 10, 2));
    blob.SetROMode(true);
    const long ownId = blob.id();

    ASSERT_TRUE(blob.TransferToDB(*target, 44)) << blob.LastErrorText();
    EXPECT_EQ(blob.id(), ownId);
    EXPECT_EQ(blob.IDReference(), 10);
    EXPECT_EQ(blob.IDNum(), 2);
    EXPECT_FALSE(blob.IsChanged());

    clBlob copy = Attached(target.get());
    ASSERT_TRUE(copy.Loadr(kPic, 44, 1));
    EXPECT_EQ(copy.BlobData(), (Blob{7}));
    EXPECT_EQ(Rows(), 2);
}

// A picture file up to the limit loads silently with its progress in the status line; a larger one asks
// first, No cancelling; a missing one says why.
TEST_F(BlobDb, PictureFilesLoadAskingOnlyWhenLargeAndPictureDataReadsAPathOrGivesStoredData)
{
    ui.mainWindowLoaded = true;
    const std::optional<Blob> small = LoadPictureFile(MakeFile(kLargePictureBytes));
    ASSERT_TRUE(small.has_value());
    EXPECT_EQ(small->size(), kLargePictureBytes);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_GE(ui.statusCalls, 2);
    EXPECT_EQ(ui.statusText, ""); // cleared when done

    const std::string path = MakeFile(kLargePictureBytes + 1);
    ui.Answering(Answer::No).Answering(Answer::Yes);
    EXPECT_FALSE(LoadPictureFile(path).has_value());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].Text, "Die Bilddatei ist mit 146 KBytes relativ gross. Wirklich fortfahren?");
    const std::optional<Blob> large = LoadPictureFile(path);
    ASSERT_TRUE(large.has_value());
    EXPECT_EQ(large->size(), kLargePictureBytes + 1);
    EXPECT_TRUE(ui.AllAnswersUsed());

    ui.shown.clear();
    EXPECT_FALSE(LoadPictureFile(dir.File("fehlt.jpg")).has_value());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].Icon, MsgIcon::Critical);
    EXPECT_TRUE(ui.shown[0].Text.ends_with("\n\nBild konnte nicht geladen werden !")) << ui.shown[0].Text;

    // The data of a picture: read from its path, or as stored.
    ui.shown.clear();
    clBlob blob;
    EXPECT_FALSE(PictureData(blob).has_value());
    blob.SetPath(MakeFile(3));
    EXPECT_EQ(PictureData(blob), (Blob{'x', 'x', 'x'}));
    blob.SetBlobData({1, 2});
    EXPECT_EQ(PictureData(blob), (Blob{1, 2}));
    blob.SetPath(dir.File("fehlt.jpg"));
    EXPECT_FALSE(PictureData(blob).has_value());
    EXPECT_TRUE(ui.shown.empty());
}

} // namespace
} // namespace pf
