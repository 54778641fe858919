#include "planning/WeekCalendar.h"
#include "planning/clWPLanguage.h"
#include "planning/clsWPLevel.h"

#include "core/Settings.h"
#include "tests/lexicon/LexiconTestDb.h"

namespace pf {
namespace {

DateSerial Day(int year, int month, int day)
{
    return DateSerial::FromParts(year, month, day);
}

TEST(WeekCalendar, WeekdaysAndWeeksAcrossYearEnds)
{
    struct Case
    {
        int Year, Month, DayOfMonth, Weekday, Week;
    };
    // Worked out from the calendars of the years involved.
    const Case cases[] = {
        {1900, 1, 1, 1, 1},                         // serial 2, the first Monday
        {2024, 2, 29, 4, 9},                        // leap day
        {2024, 12, 29, 7, 52},                      // a Sunday ends week 52
        {2024, 12, 30, 1, 1},                       // the Monday after already belongs to week 1 of 2025
        {2019, 12, 30, 1, 1},                       // 1 January 2020 was a Wednesday
        {2020, 12, 31, 4, 53},                      // 2020 began on a Wednesday: 53 weeks
        {2021, 1, 3, 7, 53},                        // the Sunday of that week 53
        {2021, 1, 4, 1, 1},    {2022, 1, 1, 6, 52}, // a Saturday 1 January is in the old year's last week
        {2023, 1, 1, 7, 52},   {2015, 12, 31, 4, 53}, {2016, 1, 1, 5, 53},
        {2025, 12, 29, 1, 1}, // a plan starting on 29 December 2025 runs in week 1 of 2026
        {2026, 12, 6, 7, 49},  {2026, 12, 29, 2, 53}, // 2026 began on a Thursday: 29 December is in week 53
        {2027, 1, 3, 7, 53},   {2027, 1, 4, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.DayOfMonth << "." << c.Month << "." << c.Year);
        const DateSerial date = Day(c.Year, c.Month, c.DayOfMonth);
        EXPECT_EQ(IsoWeekday(date), c.Weekday);
        EXPECT_EQ(CalendarWeek(date), c.Week);
        // The time of day changes neither.
        EXPECT_EQ(CalendarWeek(DateSerial{date.Days + 0.75}), c.Week);
    }
    EXPECT_EQ(GermanWeekdayName(Day(2026, 12, 9)), "Mittwoch");
    EXPECT_EQ(GermanMonthName(3), "März");
    EXPECT_EQ(GermanMonthName(13), "");
    // Written out with the time of day dropped, on both sides of a year end.
    EXPECT_EQ(LongDateText(DateSerial{Day(2026, 12, 31).Days + 0.9}), "Donnerstag, 31. Dezember 2026");
    EXPECT_EQ(LongDateText(Day(2027, 1, 1)), "Freitag, 1. Januar 2027");
}

TEST(WeekPlanLanguage, DayNamesInEveryLanguage)
{
    const DateSerial wednesday = Day(2026, 12, 9);
    const int weekday = clWPLanguage::WeekdayIndex(wednesday);
    struct Case
    {
        long Code;
        const char *Title, *Wednesday, *Sunday;
    };
    const Case cases[] = {
        {1, "Wochenplan", "Mittwoch", "Sonntag"},
        {4, "Weekly menu", "Wednesday", "Sunday"},
        {6, "Menu de la semaine", "Mercredi", "Dimanche"},
        {8, "Menù settimanale", "Mercoledì", "Domenica"},
    };
    ASSERT_EQ(clWPLanguage::Count(), 4);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Code);
        const int index = clWPLanguage::IndexOfLanguage(c.Code);
        ASSERT_NE(index, 0);
        EXPECT_EQ(clWPLanguage::LanguageID(index), c.Code);
        EXPECT_EQ(clWPLanguage::WPTitle(index), c.Title);
        EXPECT_EQ(clWPLanguage::WPDays(index, weekday), c.Wednesday);
        EXPECT_EQ(clWPLanguage::WPDays(index, 7), c.Sunday);
    }
    // Regional variants print in their language; unknown codes and indexes have none.
    EXPECT_EQ(clWPLanguage::IndexOfLanguage(3), clWPLanguage::IndexOfLanguage(1));
    EXPECT_EQ(clWPLanguage::IndexOfLanguage(5), clWPLanguage::IndexOfLanguage(4));
    EXPECT_EQ(clWPLanguage::IndexOfLanguage(0), 0);
    EXPECT_EQ(clWPLanguage::WPDays(1, 8), "");
    EXPECT_EQ(clWPLanguage::WPTitle(5), "");
}

TEST(WeekPlanLevels, TextFormReadAndWritten)
{
    struct Case
    {
        const char *Text, *Written; // the text read, the text written back
    };
    const Case cases[] = {
        {clsWPLevel::kDefaultLevels,
         "\"Tagesdessert;0;0;1;0\",\"Tagessuppe;0;0;2;0\",\"Tagesteller 1;0;0;3;0\",\"Tagesteller "
         "2;0;0;4;0\",\"Vegetarisch;0;0;5;0\",\"Wochenteller;0;1;6;0\""},
        // the fourth field gives the ID, a negative cost or a fifth field marks "not printed"
        {"\"Suppe;1,50;0;7\",\"Hauptgang, gross;-4.2;1\",\"Dessert;;;;1\"",
         "\"Suppe;1.5;0;7;0\",\"Hauptgang, gross;4.2;1;2;1\",\"Dessert;0;0;3;1\""},
        // short entries are skipped; the position among the levels read gives the ID
        {"\"\",\"A\",\"Abend\"", "\"Abend;0;0;1;0\""},
        // blanks between the entries are passed over
        {"\"\",\"A\",  \"Abend\" ", "\"Abend;0;0;1;0\""},
        // two levels naming the same ID: the later gets a new one
        {"\"Erste;;;4\",\"Zweite;;;4\"", "\"Erste;0;0;4;0\",\"Zweite;0;0;5;0\""},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        clsWPLevel levels;
        levels.InitDefaultWP(c.Text);
        EXPECT_EQ(levels.WPData(), c.Written);
        // What is written reads back to the same levels.
        clsWPLevel back;
        back.InitDefaultWP(levels.WPData());
        EXPECT_EQ(back.WPData(), c.Written);
    }

    // Quotes and semicolons in a name cannot break the text: they are written as ' and ,.
    clsWPLevel levels;
    levels.InitDefaultWP("\"Suppe\"");
    levels.SetName(1, "Omas \"beste\"; heiß");
    EXPECT_EQ(levels.WPData(), "\"Omas 'beste', heiß;0;0;1;0\"");
    clsWPLevel back;
    back.InitDefaultWP(levels.WPData());
    EXPECT_EQ(back.Name(1), "Omas 'beste', heiß");
}

TEST(WeekPlanLevels, TenLevelLimitAndEditing)
{
    std::string text;
    for (int i = 1; i <= 12; ++i)
        text += (i > 1 ? "," : "") + std::string("\"Ebene ") + std::to_string(i) + "\"";
    clsWPLevel levels;
    levels.InitDefaultWP(text);
    EXPECT_EQ(levels.Max(), 10);
    EXPECT_EQ(levels.Name(10), "Ebene 10");
    EXPECT_EQ(levels.NewLevel("Elfte"), 0);
    levels.SetMax(11);
    EXPECT_EQ(levels.Max(), 10);

    // Outside 1..Max nothing reads and nothing changes.
    levels.SetMax(3);
    EXPECT_EQ(levels.Name(4), "");
    EXPECT_EQ(levels.id(0), 0);
    levels.SetName(4, "x");
    EXPECT_EQ(levels.Max(), 3);

    EXPECT_EQ(levels.NewLevel("Neu"), 4);
    EXPECT_EQ(levels.id(4), 4);
    levels.ShiftUp(4);
    levels.shiftDown(1);
    levels.ShiftUp(1); // first stays first
    EXPECT_EQ((std::vector<std::string>{levels.Name(1), levels.Name(2), levels.Name(3), levels.Name(4)}),
              (std::vector<std::string>{"Ebene 2", "Ebene 1", "Neu", "Ebene 3"}));
    EXPECT_EQ(levels.LevelOfId(4), 3);
    EXPECT_EQ(levels.Order(3), 3);
    levels.SetCost(2, Decimal4::Parse("-2.5"));
    EXPECT_EQ(levels.Cost(2), Decimal4::Parse("2.5"));
}

using WeekPlanLevelStore = test::LexiconDb;

TEST_F(WeekPlanLevelStore, EmptyTableGivesSettingThenDefaults)
{
    clsWPLevel levels(db.get());
    ASSERT_TRUE(levels.Load());
    ASSERT_EQ(levels.Max(), 6);
    EXPECT_EQ(levels.Name(1), "Tagesdessert");
    EXPECT_EQ(levels.Name(6), "Wochenteller");
    EXPECT_TRUE(levels.Repeat(6));
    EXPECT_FALSE(levels.IsChanged());

    WriteSetting("", "WPLevel", "\"Frühstück;2.10\",\"Mittag;;;9\"", true);
    ASSERT_TRUE(levels.Load());
    ASSERT_EQ(levels.Max(), 2);
    EXPECT_EQ(levels.Cost(1), Decimal4::Parse("2.1"));
    EXPECT_EQ(levels.id(2), 9);

    // Saved levels come from the table from now on, whatever the setting says.
    levels.SetNoPrint(2, true);
    ASSERT_TRUE(levels.Save());
    WriteSetting("", "WPLevel", "\"Anderes\"", true);
    clsWPLevel again(db.get());
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.WPData(), "\"Frühstück;2.1;0;1;0\",\"Mittag;0;0;9;1\"");

    again.SetName(1, "geändert");
    EXPECT_TRUE(again.IsChanged());
    again.CancelChange();
    EXPECT_EQ(again.Name(1), "Frühstück");
}

TEST_F(WeekPlanLevelStore, LevelCategoryAndRepeat)
{
    db->Execute(
        "INSERT INTO T_CAT (ID,CatNameD,CatType,CatParent,LaenderCode,ErfassungsFlag,CatWPLevel,CatWPRepeat) "
        "VALUES (40,'Suppen',1,0,0,-1,2,3), (41,'Eintopf',1,0,0,-1,2,1)");
    clsWPLevel levels(db.get());
    levels.InitDefaultWP("\"Dessert\",\"Suppe\"");
    EXPECT_EQ(levels.CatSelect(2), 40);
    EXPECT_EQ(levels.CatRepeat(2), 3);
    EXPECT_EQ(levels.CatSelect(1), 0);
    EXPECT_EQ(levels.CatRepeat(1), 0);
}

} // namespace
} // namespace pf
