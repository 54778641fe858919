// Recipes between two databases: the database copy of the export and the import from another
// database, both through the import pipeline.

#include "exchange/RecipeTransfer.h"
#include "db/OpenDatabase.h"
#include "db/Recordset.h"
#include "db/clsZIP.h"
#include "exchange/DatabaseExport.h"
#include "exchange/RecipeImport.h"
#include "model/clBlob.h"
#include "tests/exchange/ExportFixture.h"
#include "tests/support/GeneratedRecipes.h"

namespace pf::test {

class RecipeTransferTest : public ExportFixture
{
protected:
    void SetUp() override
    {
        ExportFixture::SetUp();
        if (IsSkipped())
            return;
        std::filesystem::copy_file(PF_INIT_ZIP, dir.File("INIT.ZIP"));
        // What only a database carries: a second cookbook, pictures (data and a path), a wine tip.
        db->Execute("INSERT INTO T_BUCH (ID, BuchTitel, BuchBeschreib) VALUES (7, 'Omas Beste', 'Von Oma')");
        db->Execute("INSERT INTO T_REZ_KOCHBUCH (RezID, BuchID) VALUES (?, 7)", {spaetzleId});
        db->Execute("UPDATE T_REZ_KOPF SET RezWeinTipp='Trollinger' WHERE ID=?", {spaetzleId});
        AddPicture(spaetzleId, 1, Blob{0x89, 'P', 'N', 'G', 0, 1, 2}, "");
        AddPicture(spaetzleId, 2, {}, "/bilder/spaetzle.jpg");
        // Without a fingerprint the Mensax export would make up a new one each time.
        db->Execute("UPDATE T_REZ_KOPF SET Fingerprint1=11, Fingerprint2=22 WHERE ID=?", {brueheId});
        // A food of the user's own that the base data does not know.
        db->Execute("INSERT INTO T_BLS_KEY (ID,SBLS,ST,Userflag) VALUES (900,'X999001','Omas Gewürz',-1)");
        db->Execute("INSERT INTO T_BLS_DAT (SBLS,SKT,GP) VALUES ('X999001','Omas Gewürz',5)");
        db->Execute("UPDATE T_REZ_ZUTAT SET ZutBLSID=900 WHERE ID=? AND ZutText='Muskat (frisch gerieben)'",
                    {spaetzleId});
        // Units that show as grams in German and differ only in the other names and the factor:
        // an ounce of the base data and one of the user's own.
        db->Execute("INSERT INTO T_UNIT (ID,UnitShortD,UnitNameD,UnitShortUK,UnitNameUK,UnitShortUS,UnitNameUS,"
                    "ConvMetrisch,ConvMetrischUS) VALUES (250,'g','Gramm','dr','dram','dr','dram',1.7718,1)");
        db->Execute("UPDATE T_REZ_ZUTAT SET ZutEinh=36 WHERE ID=? AND ZutText LIKE 'Frisch gerieben*'",
                    {spaetzleId});
        db->Execute("UPDATE T_REZ_ZUTAT SET ZutEinh=250 WHERE ID=? AND ZutText LIKE 'Muskat*'", {spaetzleId});
        // A utensil, and a literature source with its publisher and the page.
        db->Execute("INSERT INTO T_GERAET (ID, Fingerprint1, Fingerprint2) VALUES (9040, 0, 0)");
        db->Execute("INSERT INTO T_INFO_KEY (ID,[KEY],KEYTYPE,Sprachcode) VALUES (9040,'Spätzlehobel',2,0)");
        db->Execute("INSERT INTO T_REZ_GERAET (RezID,GeraetID) VALUES (?,9040)", {spaetzleId});
        db->Execute("INSERT INTO T_ADRESSE (ID,Name) VALUES (60,'Verlag Süd')");
        db->Execute(
            "INSERT INTO T_LITERATUR (QuelleID,Title,Jahrgang,AusgabeNr,VerlagID,Fingerprint2) VALUES "
            "(5,'Schwäbisch kochen',2004,'12',60,0)");
        db->Execute("UPDATE T_REZ_KOPF SET RezQuelleID=5, RezQuellePage='35' WHERE ID=?", {spaetzleId});
        // A menu at which two guests were served the Spätzle.
        db->Execute("INSERT INTO T_ADRESSE (ID,Name) VALUES (61,'Tante Erna'), (62,'Onkel Fritz')");
        db->Execute("INSERT INTO T_MENU_KOPF (MenuID,MenuTitle,MenuYield,MenuTree,MenuDatum) VALUES "
                    "(4,'Sonntagsessen',2,0,45000)");
        db->Execute("INSERT INTO T_MENU_GANG (MenuID,GangNr,RezID,Yield) VALUES (4,1,?,2)", {spaetzleId});
        db->Execute("INSERT INTO T_MENU_GAST (MenuID,No,AdressID,Notiz) VALUES (4,1,61,'mag Käse'), "
                    "(4,2,62,'')");
    }

    void AddPicture(long recipe, long num, Blob data, const std::string& path)
    {
        clBlob picture;
        picture.SetDB(db.get());
        picture.SetIDType(clBlob::kRecipePicture);
        picture.SetIDReference(recipe);
        picture.SetIDNum(num);
        if (path.empty())
            picture.SetBlobData(std::move(data));
        else
            picture.SetPath(path);
        picture.SetDescription("Bild " + std::to_string(num));
        ASSERT_TRUE(picture.Save()) << picture.LastErrorText();
    }

    // The recipes as a Mensax document: every field both databases hold, written the same way.
    static std::string AsMensax(Database& from, const std::vector<long>& ids)
    {
        clsRecipeExport engine;
        EXPECT_TRUE(engine.CompleteInit(clsRecipeExport::kMensaxClipboard, "", false, &from));
        for (long id : ids)
            EXPECT_TRUE(engine.ExportRecipe(id, 0)) << id;
        EXPECT_TRUE(engine.MediaClose());
        return engine.Result();
    }

    // Several database facts of the recipe of that title, as one comparable text: the wine tip, the
    // rows of each query on the recipe id ("|" + mark + the fields joined by ",") and the pictures.
    static std::string Facts(Database& in, const std::string& title)
    {
        static const std::pair<const char*, const char*> kQueries[] = {
            {"", "SELECT b.BuchTitel, b.BuchBeschreib FROM T_REZ_KOCHBUCH k INNER JOIN T_BUCH b ON "
                 "k.BuchID=b.ID WHERE k.RezID=? ORDER BY b.BuchTitel"},
            {"", "SELECT k.SBLS, k.ST, d.GP FROM T_REZ_ZUTAT z INNER JOIN T_BLS_KEY k ON z.ZutBLSID=k.ID "
                 "LEFT JOIN T_BLS_DAT d ON d.SBLS=k.SBLS WHERE z.ID=? AND z.ZutRezept=0 ORDER BY z.[No]"},
            {"Einheit:", "SELECT z.ZutAnz, u.UnitShortD, u.UnitShortUK, u.ConvMetrisch FROM T_REZ_ZUTAT z "
                         "LEFT JOIN T_UNIT u ON u.ID=z.ZutEinh WHERE z.ID=? ORDER BY z.[No]"},
            {"Eltern:", "SELECT p.RezTitle FROM T_REZ_KOPF r INNER JOIN T_REZ_KOPF p ON p.ID=r.RezParent "
                        "WHERE r.ID=?"},
            {"Teilrezept:", "SELECT r.RezTitle FROM T_REZ_ZUTAT z INNER JOIN T_REZ_KOPF r ON "
                            "z.ZutBLSID=r.ID WHERE z.ID=? AND z.ZutRezept<>0"},
            {"Utensil:", "SELECT k.[KEY] FROM T_REZ_GERAET g INNER JOIN T_INFO_KEY k ON k.ID=g.GeraetID AND "
                         "k.KEYTYPE=2 WHERE g.RezID=? ORDER BY k.[KEY]"},
            {"Gast:", "SELECT k.MenuTitle, a.Name, s.Notiz FROM ((T_MENU_GANG g INNER JOIN T_MENU_KOPF k ON "
                      "k.MenuID=g.MenuID) INNER JOIN T_MENU_GAST s ON s.MenuID=k.MenuID) INNER JOIN "
                      "T_ADRESSE a ON a.ID=s.AdressID WHERE g.RezID=? ORDER BY s.[No]"},
            {"Quelle:", "SELECT l.Title, l.Jahrgang, l.AusgabeNr, a.Name, r.RezQuellePage FROM (T_REZ_KOPF r "
                        "INNER JOIN T_LITERATUR l ON l.QuelleID=r.RezQuelleID) LEFT JOIN T_ADRESSE a ON "
                        "a.ID=l.VerlagID WHERE r.ID=?"},
        };
        const long id = IdOf(in, title);
        std::string facts = in.Scalar("SELECT RezWeinTipp FROM T_REZ_KOPF WHERE ID=?", {id}).AsText();
        for (const auto& [mark, sql] : kQueries)
            for (auto rs = in.OpenRecordset(sql, {id}); !rs->Eof(); rs->MoveNext())
                for (int i = 0; i < rs->FieldCount(); ++i)
                    facts += (i == 0 ? std::string("|") + mark : ",") + rs->Field(i).AsText();
        auto pictures = in.OpenRecordset("SELECT IDNum, BlobPath, Blob, Description FROM T_BLOB WHERE "
                                         "IDType=5 AND IDReference=? ORDER BY IDNum",
                                         {id});
        for (; !pictures->Eof(); pictures->MoveNext())
            facts += "|" + pictures->Field(0).AsText() + ":" + pictures->Field(1).AsText() + ":" +
                     std::to_string(pictures->Field(2).AsBinary().size()) + ":" + pictures->Field(3).AsText();
        return facts;
    }
};

TEST_F(RecipeTransferTest, DatabaseCopyHoldsTheChosenRecipesAndWhatTheyUse)
{
    const std::string spaetzle = "Käsespätzle mit Röstzwiebeln";
    const std::string suppe = "Spätzlesuppe 'Schwäbische Art'";
    for (const int mode :
         {clsRecipeExport::kDatabaseFile, clsRecipeExport::kDatabaseZip, clsRecipeExport::kDatabaseZipOnly}) {
        SCOPED_TRACE(mode);
        const std::string name = dir.File("kopie" + std::to_string(mode) + (mode == 20 ? ".MDB" : ".zip"));
        ExportRequest request = Request(mode, {suppeId});
        request.FileName = name;
        request.SubRecipes = request.Parents = true;
        const ExportOutcome outcome = RunExport(request, db.get());
        ASSERT_TRUE(outcome.Ok) << outcome.Message;
        EXPECT_EQ(outcome.Exported, 3);
        EXPECT_EQ(outcome.Message, "Export \"Pfannola Datenbank\" abgeschlossen.");

        const std::string file = DatabaseExportFile(mode, name);
        EXPECT_EQ(std::filesystem::exists(file), mode != clsRecipeExport::kDatabaseZipOnly);
        if (mode != clsRecipeExport::kDatabaseFile) {
            clsZIP zip;
            ASSERT_TRUE(zip.LoadZIPFile(name));
            ASSERT_EQ(zip.ZIPFilecount(), 1);
            if (mode == clsRecipeExport::kDatabaseZipOnly) {
                ASSERT_TRUE(zip.ZipSelectName(std::filesystem::path(file).filename().string()));
                ASSERT_TRUE(zip.Expand(dir.Path().string(), false));
            }
        }
        ASSERT_TRUE(std::filesystem::exists(file));
        std::unique_ptr<Database> copy = OpenDatabase(file);
        EXPECT_EQ(copy->Scalar("SELECT COUNT(*) FROM T_REZ_KOPF").AsLong(), 3);
        const std::vector<long> original{brueheId, spaetzleId, suppeId};
        const std::vector<long> copied{IdOf(*copy, "Gemüsebrühe"), IdOf(*copy, spaetzle), IdOf(*copy, suppe)};
        EXPECT_EQ(AsMensax(*copy, copied), AsMensax(*db, original));
        for (const std::string& title : {spaetzle, suppe})
            EXPECT_EQ(Facts(*copy, title), Facts(*db, title)) << title;
        EXPECT_EQ(copy->Scalar("SELECT RezImportDate FROM T_REZ_KOPF WHERE ID=?", {copied[1]}),
                  db->Scalar("SELECT RezImportDate FROM T_REZ_KOPF WHERE ID=?", {spaetzleId}));
        // Made from the base data: the program's units, categories and nutrient descriptors are there.
        EXPECT_GT(copy->Scalar("SELECT COUNT(*) FROM T_BLS_FDESC WHERE DINDEX>6").AsLong(), 0);
        copy.reset();
        std::filesystem::remove(file);
    }
}

TEST_F(RecipeTransferTest, ImportFromAnotherDatabaseDecidesDuplicatesAndNeverWritesIt)
{
    // A few hundred more recipes in the source, then the source is only opened read-only.
    const std::string mm = dir.File("viele.mm");
    WriteFile(mm, RecipeFile("Eintopf", 1, 300));
    {
        RecipeImport fill(*db);
        fill.Options().Files = {mm};
        ASSERT_TRUE(fill.Import());
        ASSERT_EQ(fill.Counters().Imported, 300);
    }
    const std::string sourceFile = db->Name();
    db.reset();
    const std::string sourceBytes = ReadFile(sourceFile);
    OpenOptions readOnly;
    readOnly.ReadOnly = true;
    std::unique_ptr<Database> source = OpenDatabase(sourceFile, readOnly);
    const std::vector<long> all = RecipeTransfer::AllRecipes(*source);
    ASSERT_EQ(all.size(), 303u);

    std::unique_ptr<Database> target = MakeBaseDataDatabase(dir, "ziel.db");
    ASSERT_TRUE(target);
    const auto transfer = [&](const std::vector<long>& ids) {
        RecipeImport pipeline(*target);
        pipeline.Options().Duplicates = DupePreset::Ignore;
        pipeline.Options().NewCookbook = true;
        pipeline.Options().CookbookName = "Aus Omas Datenbank";
        RecipeTransfer run(*source, *target, pipeline);
        EXPECT_TRUE(run.Run(ids)) << run.LastErrorText();
        return pipeline.Counters();
    };
    // Half of them first (the parent among them, the recipe that uses it and its sub-recipe not),
    // then all: the second run points the new recipe at the parent it skipped as present.
    std::vector<long> half;
    for (std::size_t i = 1; i < all.size(); i += 2)
        half.push_back(all[i]);
    const ImportCounters first = transfer(half);
    EXPECT_EQ(first.Imported, static_cast<long>(half.size()));
    const ImportCounters second = transfer(all);
    EXPECT_EQ(second.Imported, static_cast<long>(all.size() - half.size()));
    EXPECT_EQ(second.Skipped, static_cast<long>(half.size()));
    EXPECT_EQ(second.Faulty + first.Faulty, 0);

    EXPECT_EQ(target->Scalar("SELECT COUNT(*) FROM T_REZ_KOPF").AsLong(), 303);
    EXPECT_EQ(target->Scalar("SELECT COUNT(*) FROM (SELECT DISTINCT RezTitle FROM T_REZ_KOPF)").AsLong(),
              303);
    for (const std::string title : {"Käsespätzle mit Röstzwiebeln", "Spätzlesuppe 'Schwäbische Art'"}) {
        std::string expected = Facts(*source, title);
        // The target cookbook of the run joins the recipe's own.
        if (title.starts_with("Käse"))
            expected.insert(expected.find("|Omas"), "|Aus Omas Datenbank,Durch MM-Import angelegt");
        else
            expected.insert(0, "|Aus Omas Datenbank,Durch MM-Import angelegt");
        EXPECT_EQ(Facts(*target, title), expected) << title;
    }
    // The source and its publisher came over once, though both runs named them.
    EXPECT_NE(Facts(*target, "Käsespätzle mit Röstzwiebeln")
                  .find("|Quelle:Schwäbisch kochen,2004,12,Verlag Süd,35"),
              std::string::npos);
    EXPECT_EQ(target->Scalar("SELECT COUNT(*) FROM T_LITERATUR").AsLong(), 1);
    EXPECT_EQ(target->Scalar("SELECT COUNT(*) FROM T_UNIT WHERE UnitNameUK='dram'").AsLong(), 1);
    EXPECT_NE(Facts(*target, "Käsespätzle mit Röstzwiebeln").find("|Gast:Sonntagsessen,Tante Erna,mag Käse"),
              std::string::npos);
    EXPECT_EQ(target->Scalar("SELECT COUNT(*) FROM T_MENU_KOPF WHERE MenuTitle='Sonntagsessen'").AsLong(), 1);
    EXPECT_EQ(target->Scalar("SELECT COUNT(*) FROM T_ADRESSE WHERE Name='Verlag Süd'").AsLong(), 1);
    EXPECT_EQ(
        target->Scalar("SELECT COUNT(DISTINCT ID) FROM T_INFO_KEY WHERE KEYTYPE=2 AND [KEY]='Spätzlehobel'")
            .AsLong(),
        1);
    source.reset();
    EXPECT_EQ(ReadFile(sourceFile), sourceBytes);
}

} // namespace pf::test
