#include "model/ClUnit.h"
#include "model/UnitManagement.h"
#include "model/clsRecipeUnit.h"

#include "core/Utf8.h"
#include "tests/model/ModelDb.h"
#include "tests/support/BaseDataDb.h"

#include <algorithm>

namespace pf {
namespace {

Decimal4 D(const char* text)
{
    return Decimal4::Parse(text);
}

// A fresh database with the schema; units either from the real base data or written by the test.
class UnitDb : public test::ModelDb
{
protected:
    void WithBaseUnits()
    {
        db = test::MakeBaseDataDatabase(dir, "base.db", test::Foods::Without, {"20_units.csv"});
        ASSERT_TRUE(db);
    }
    void AddUnit(long id, const char* shortD, const char* longD, const char* uk2d, const char* us2d)
    {
        db->Execute(
            "INSERT INTO T_UNIT (ID,UnitShortD,UnitNameD,UnitShortUK,UnitNameUK,UnitShortUS,UnitNameUS,"
            "ConvMetrisch,ConvMetrischUS,Unscaled) VALUES (?,?,?,?,?,?,?,?,?,0)",
            {id, shortD, longD, std::string(shortD) + "uk", std::string(longD) + " (UK)",
             std::string(shortD) + "us", std::string(longD) + " (US)", D(uk2d), D(us2d)});
    }
};

TEST_F(UnitDb, LoadsTheBaseUnitsFindsThemByIdAndNameAndNothingOutOfRange)
{
    WithBaseUnits();
    ClUnit units;
    units.SetDB(db.get());
    ASSERT_EQ(units.Count(), 62);
    const int gram = units.GetIndexforID(31);
    ASSERT_GT(gram, 0);
    EXPECT_EQ(units.UnitNameD(gram), "G"); // short names are held in upper case
    EXPECT_EQ(units.UnitLongD(gram), "Gramm");
    EXPECT_EQ(units.GetIndexforID(999), 0);

    int selected = 0;
    const std::vector<UnitListItem> items = units.FillUnitNameD(31, true, selected);
    ASSERT_EQ(items.size(), 62u);
    ASSERT_GE(selected, 0);
    EXPECT_EQ(items[static_cast<std::size_t>(selected)].Text, "Gramm [g]");
    EXPECT_EQ(items[static_cast<std::size_t>(selected)].ItemData, 31);
    units.FillUnitNameD(999, false, selected);
    EXPECT_EQ(selected, -1);

    // A name and the unit it finds (0: none).
    const std::pair<const char*, long> cases[] = {
        {"g", 31}, {"GRAM", 31}, {"gramme", 31},   {"Gramm", 31}, {"ml", 25},
        {"t", 6},  {"T", 6},     {"teelöffel", 6}, {"", 0},       {"Kilometer", 0}};
    for (const auto& [name, id] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(units.id(units.SearchforName(name)), id);
    }
    // Indexes out of range give empty values.
    for (int index : {-1, 0, 63, 1000}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(units.id(index), 0);
        EXPECT_EQ(units.UnitLongD(index), "");
        EXPECT_FALSE(units.Unscaled(index));
        EXPECT_EQ(units.UK2DFactor(index), Decimal4());
        EXPECT_FALSE(units.StoreData(index, UnitEntry{}));
    }
}

TEST_F(UnitDb, NoFractionOnScaleDefaultsByShortNameWhenTheColumnIsMissing)
{
    std::vector<TableDef> tables = SchemaTables();
    auto unit =
        std::find_if(tables.begin(), tables.end(), [](const TableDef& t) { return t.Name == "T_UNIT"; });
    std::erase_if(unit->Fields, [](const FieldDef& f) { return f.Name == "NoFractionOnScale"; });
    db->Execute("DROP TABLE T_UNIT");
    CreateTables(*db, {*unit});
    AddUnit(1, "ml", "Milliliter", "1", "1");
    AddUnit(2, "Gr", "Gramm", "1", "1");
    AddUnit(3, "EL", "Esslöffel", "1", "1");
    AddUnit(4, "Tr", "Tropfen", "1", "1");
    ClUnit units;
    units.SetDB(db.get());
    ASSERT_EQ(units.Count(), 4);
    EXPECT_EQ((std::vector<bool>{units.NoFractionOnScale(1), units.NoFractionOnScale(2),
                                 units.NoFractionOnScale(3), units.NoFractionOnScale(4)}),
              (std::vector<bool>{true, true, false, true}));
}

TEST(ClUnitConvtype, CompletesFlagsFromEditMasseAndLanguage)
{
    // Flags, EditMasse, language, the completed flags.
    const std::tuple<int, long, const char*, int> cases[] = {
        {0, 1, "DE", 8}, {0, 2, "DE", 4}, {0, 0, "DE", 2},  {0, 7, "DE", 2}, {16, 1, "DE", 24},
        {0, 0, "E", 8},  {2, 1, "E", 8},  {18, 2, "E", 24}, {4, 1, "E", 4},  {2, 2, "DE", 2},
    };
    for (const auto& [flags, editMasse, language, expected] : cases) {
        SCOPED_TRACE(testing::Message() << flags << " " << editMasse << " " << language);
        EXPECT_EQ(ClUnit::CompleteConvtype(flags, editMasse, language), expected);
    }
}

TEST_F(UnitDb, DisplayConversionChoosesNamesAndFactors)
{
    AddUnit(10, "oz", "Unze", "0.0353", "0.0338");
    AddUnit(11, "x", "Drittel", "3", "0");
    db->Execute("UPDATE T_UNIT SET UnitShortD='' WHERE ID=11");
    ClUnit units;
    units.SetDB(db.get());
    ASSERT_EQ(units.Count(), 2);

    // Unit index, flags, language, stored quantity, the quantity and unit name shown, and the name on
    // screen: the short name as the table spells it.
    const std::tuple<int, int, const char*, const char*, const char*, const char*, const char*> cases[] = {
        {1, 8, "DE", "100", "100", "Unze (UK)", "ozuk"}, // British measure: stored quantity unchanged
        {1, 2, "DE", "100", "3.53", "Unze", "oz"},
        {1, 4, "DE", "100", "3.38", "Unze (US)", "ozus"},
        {1, 6, "DE", "100", "0.119", "Unze (US)", "ozus"}, // both factors (0.1193), then three decimals
        {1, 2 | 16, "DE", "1", "0.035", "OZ", "oz"},    {1, 8 | 16, "DE", "1", "1", "OZUK", "ozuk"},
        {1, 2, "E", "1", "0.035", "Unze (US)", "ozus"},
        {2, 2, "DE", "0.3333", "1", "Drittel", "Drittel"}, // 0.9999 lies within 0.001 of 1; no short name
        {2, 2, "DE", "0.3330", "0.999", "Drittel", "Drittel"},
        // US factor 0: no conversion; 0.0005 rounds up.
        {2, 4, "DE", "1.2345", "1.235", "Drittel (US)", "xus"},
        {2, 4, "DE", "1.2344", "1.234", "Drittel (US)", "xus"},
        {0, 2, "DE", "2.5", "2.5", "", ""}, // no unit, no factor
        // The largest quantities a decimal holds stay as they are instead of wrapping round.
        {0, 2, "DE", "922337203685477.5807", "922337203685477.5807", "", ""},
        {0, 2, "DE", "-922337203685477.5807", "-922337203685477.5807", "", ""},
    };
    for (const auto& [index, flags, language, stored, quantity, text, shown] : cases) {
        SCOPED_TRACE(testing::Message() << index << " " << flags << " " << stored);
        EXPECT_EQ(units.DisplayQuantity(D(stored), index, flags), D(quantity));
        EXPECT_EQ(units.UnitText(index, flags, language), text);
        EXPECT_EQ(units.DisplayUnitText(index, flags, language), shown);
    }
}

TEST_F(UnitDb, SaveWritesNewAndChangedUnitsAndDelRemovesThem)
{
    AddUnit(4, "oz", "Unze", "1", "1");
    ClUnit units;
    units.SetDB(db.get());
    ASSERT_EQ(units.Count(), 1);
    EXPECT_FALSE(units.Save()); // read-only

    units.SetRW(true);
    const int added = units.Add();
    ASSERT_EQ(added, 2);
    EXPECT_EQ(units.id(added), -1);
    UnitEntry e = units.GetData(added);
    e.UnitNameD = "bd";
    e.UnitLongD = "Bund";
    e.UnitLongE = "bunch";
    e.UK2DFactor = D("2.5");
    ASSERT_TRUE(units.StoreData(added, e));
    UnitEntry same = units.GetData(1);
    same.Changed = false;
    units.StoreData(1, same);
    EXPECT_FALSE(units.IsChanged(1)); // storing equal data changes nothing
    ASSERT_TRUE(units.Save()) << units.LastErrorText();
    EXPECT_EQ(units.id(added), 5);
    EXPECT_FALSE(units.IsChanged(added));

    ClUnit reread;
    reread.SetDB(db.get());
    ASSERT_EQ(reread.Count(), 2);
    EXPECT_EQ(reread.id(reread.SearchforName("BUNCH")), 5);
    EXPECT_EQ(reread.UnitNameD(2), "BD");
    EXPECT_EQ(reread.UK2DFactor(2), D("2.5"));
    // The table keeps the spelling a cook reads on screen; a change of case alone keeps it too.
    EXPECT_EQ(reread.DisplayUnitText(2, 2, "DE"), "bd");
    UnitEntry recased = reread.GetData(2);
    recased.UnitNameD = "BD";
    reread.StoreData(2, recased);
    EXPECT_EQ(reread.DisplayUnitText(2, 2, "DE"), "bd");
    recased.UnitNameD = "Bd.";
    reread.StoreData(2, recased);
    EXPECT_EQ(reread.DisplayUnitText(2, 2, "DE"), "Bd.");
    EXPECT_EQ(reread.UnitNameD(2), "BD.");

    ASSERT_TRUE(units.Del(1));
    EXPECT_EQ(units.Count(), 1);
    EXPECT_EQ(units.id(1), 5);
    EXPECT_EQ(db->Scalar("SELECT COUNT(*) FROM T_UNIT").AsLong(), 1);
}

TEST(ClUnitScaling, RatioIsLargerOverSmallerCutToThreeDecimalsAndQuantitiesFollowTheRoundingRules)
{
    // Yield, new yield, the ratio (0: nothing to scale).
    const std::tuple<long, long, double> cases[] = {
        {4, 6, 1.5}, {3, 2, 1.5}, {2, 4, 2},  {3, 4, 1.333}, {6, 1, 6},     {4, 4, 0},
        {4, 0, 0},   {4, -2, 0},  {0, 4, 0},  {3, 5, 1.666}, {1000, 1001, 1.001},
        {2000, 2001, 0}}; // 1.0005 cut to 1: nothing happens
    for (const auto& [yield, newYield, ratio] : cases) {
        SCOPED_TRACE(testing::Message() << yield << " -> " << newYield);
        EXPECT_EQ(ScaleRatio(yield, newYield), ratio);
    }

    // The quantity shown, the ratio, scaling up, no fractions for the unit, the scaled quantity.
    const std::tuple<const char*, double, bool, bool, const char*> quantities[] = {
        // yield 3 to 4
        {"1", 1.333, true, false, "2"},       {"2", 1.333, true, false, "2.666"},
        {"7", 1.333, true, false, "10"},      {"11", 1.333, true, false, "14"},
        {"15", 1.333, true, false, "19.995"}, {"90", 1.333, true, false, "120"},
        {"110", 1.333, true, false, "200"},   {"1", 1.333, true, true, "1.333"},
        {"0.5", 1.333, true, false, "0.666"}, // 666.5 goes to the even 666; below 1 nothing rounds
        {"75", 1.333, true, false, "99.975"},
        // other ratios
        {"250", 1.5, true, false, "375"}, // whole while scaling up: kept
        {"3", 1.5, false, false, "2"},
        {"1.125", 2, true, false, "2.25"}, // even whole ratio: only multiplied
        {"1.333", 2, true, false, "2.666"},
        {"0.001", 2, false, false, "0"},     // 0.5 thousandths to even
        {"0.003", 2, false, false, "0.002"}, // 1.5 thousandths to even
        {"10", 3, false, false, "4"},        // 3.333: tenths round up to 4
        {"750", 3, false, false, "300"},     // whole but scaling down: 250 goes to hundreds
        {"1", 3, true, false, "3"},
        {"250", 1.5, false, false, "167"}, // 166.667 -> 167, hundreds unchanged
        {"250", 1.5, false, true, "166.667"},
        {"0.9824", 2.5, true, false, "3"}, // 2.456: here = t(2.456) = 2 (2.5 to even), up = 3
        {"1.25", 1.333, true, false, "1.666"},
    };
    for (const auto& [shown, ratio, up, noFraction, expected] : quantities) {
        SCOPED_TRACE(testing::Message()
                     << shown << (up ? " * " : " / ") << ratio << (noFraction ? " no fraction" : ""));
        EXPECT_EQ(ScaleQuantity(D(shown), ratio, up, noFraction), D(expected));
    }
}

TEST_F(UnitDb, RecipeUnitsFindNamesIdsAndCompatibleUnits)
{
    WithBaseUnits();
    ClUnit units;
    units.SetDB(db.get());
    clsRecipeUnit yields;
    ASSERT_TRUE(yields.Init(*db, &units));
    ASSERT_GT(yields.Count(), 0);
    for (int i = 2; i <= yields.Count(); ++i) // loaded in German-name order
        EXPECT_LE(yields.UnitNameD(i - 1), yields.UnitNameD(i));

    const int loaf = yields.SearchName("LOAF");
    ASSERT_GT(loaf, 0);
    EXPECT_EQ(yields.id(loaf), 6);
    EXPECT_EQ(yields.SearchName("miche"), loaf);
    EXPECT_EQ(yields.SearchID("6"), loaf);
    EXPECT_EQ(yields.SearchID("Laib"), loaf);
    EXPECT_EQ(yields.SearchID("99999"), 0);
    // "Glas" is also a measurement unit (ID 10); "Laib" is not.
    EXPECT_EQ(units.id(yields.UnitCompatible(yields.SearchID("10"))), 10);
    EXPECT_EQ(yields.UnitCompatible(loaf), 0);

    const int added = yields.NewEntry("Becher", "", "");
    EXPECT_EQ(yields.UnitNameE(added), "Becher");
    EXPECT_EQ(yields.UnitNameF(added), "Becher");
    EXPECT_EQ(units.id(yields.UnitCompatible(added)), 9); // the measurement unit "Becher"
}

TEST_F(UnitDb, RefreshDbMergesDeletedYieldUnitsIntoTheirReplacement)
{
    db->Execute("INSERT INTO T_REZ_KOPFEINHEIT (ID,NameD,NameE,NameF) VALUES "
                "(1,'Portionen','Servings','Portions'),(2,'Portion','Serving','Portion')");
    // Recipe 3 is a template, recipe 4 in the trash.
    db->Execute("INSERT INTO T_REZ_KOPF (ID,RezYieldEinh,Template,FlagDeleted) VALUES (1,1,0,0),(2,2,0,0),"
                "(3,2,-1,0),(4,2,0,-1)");

    clsRecipeUnit yields;
    ASSERT_TRUE(yields.Init(*db));
    const int single = yields.SearchID("2");
    EXPECT_EQ(yields.UnitUsenum(single), 1); // templates and deleted recipes do not count
    yields.NewEntry("Stück", "Pieces", "");
    ASSERT_TRUE(yields.Deleteentry(single, 1));

    yields.ReadOnly(true);
    EXPECT_FALSE(yields.RefreshDB());
    yields.ReadOnly(false);
    ASSERT_TRUE(yields.RefreshDB()) << yields.LastErrorText();

    EXPECT_EQ(yields.Count(), 2);
    EXPECT_EQ(yields.SearchName("Portion"), 0);
    EXPECT_EQ(db->Scalar("SELECT COUNT(*) FROM T_REZ_KOPF WHERE RezYieldEinh=1").AsLong(), 4);
    // The new entry received the next free ID, after the merge freed ID 2.
    const int stored = yields.SearchName("Pieces");
    ASSERT_GT(stored, 0);
    EXPECT_EQ(yields.id(stored), 2);
    EXPECT_EQ(db->Scalar("SELECT NameF FROM T_REZ_KOPFEINHEIT WHERE ID=2").AsText(), "Stück");
    EXPECT_EQ(yields.UnitUsenum(yields.SearchID("1")), 2);
}

// Yield units of recipes, merged and cleaned up with questions.
class YieldUnitRules : public UnitDb
{
protected:
    void Load(std::initializer_list<const char*> names)
    {
        long id = 1;
        for (const char* name : names) {
            db->Execute("INSERT INTO T_REZ_KOPFEINHEIT (ID,NameD) VALUES (?,?)", {id, name});
            db->Execute("INSERT INTO T_REZ_KOPF (ID,RezYieldEinh) VALUES (?,?)", {id, id});
            ++id;
        }
        ASSERT_TRUE(units.Init(*db));
    }
    long Rows() { return static_cast<long>(db->Scalar("SELECT COUNT(*) FROM T_REZ_KOPFEINHEIT").AsLong()); }

    clsRecipeUnit units;
};

TEST_F(YieldUnitRules, DuplicatesAreFoundIgnoringCaseAndGoToTheFirst)
{
    Load({"Stück", "stück", "Laib", "STÜCK", "Brot", "brot"});
    const auto duplicates = FindDuplicateRecipeUnits(units);
    ASSERT_EQ(duplicates.size(), 3u);
    for (const auto& [duplicate, first] : duplicates) {
        SCOPED_TRACE(units.UnitNameD(duplicate));
        EXPECT_LT(first, duplicate);
        EXPECT_EQ(ToUpper(units.UnitNameD(first)), ToUpper(units.UnitNameD(duplicate)));
        // The first of a group is never itself a duplicate.
        for (const auto& other : duplicates)
            EXPECT_NE(other.first, first);
    }

    // An entry already marked for deletion takes no part.
    units.Deleteentry(duplicates[0].first, 0);
    EXPECT_EQ(FindDuplicateRecipeUnits(units).size(), 2u);
}

TEST_F(YieldUnitRules, DeclinedMergeAndDuplicateRemovalChangeNothing)
{
    Load({"Portionen", "portionen", "Stück"});
    ui.Answering(Answer::No).Answering(Answer::No);
    EXPECT_FALSE(MergeRecipeUnit(units, 3, 1));
    EXPECT_EQ(RemoveDuplicateRecipeUnits(units), -1);
    EXPECT_EQ(Rows(), 3);
    EXPECT_EQ(units.Count(), 3);
    EXPECT_FALSE(units.IsDeleted(3));
    // No question at all for a merge into itself or outside the list.
    EXPECT_FALSE(MergeRecipeUnit(units, 2, 2));
    EXPECT_FALSE(MergeRecipeUnit(units, 2, 9));
    EXPECT_EQ(ui.shown.size(), 2u);
}

TEST_F(YieldUnitRules, FailedMergeIsReportedAndLeavesTheRecipes)
{
    Load({"Portionen", "Stück"});
    db->Execute("DROP TABLE T_REZ_KOPFEINHEIT");
    ui.Answering(Answer::Yes);
    EXPECT_FALSE(MergeRecipeUnit(units, 2, 1));
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].Icon, MsgIcon::Critical);
    EXPECT_EQ(db->Scalar("SELECT RezYieldEinh FROM T_REZ_KOPF WHERE ID=2").AsLong(), 2);
}

} // namespace
} // namespace pf
