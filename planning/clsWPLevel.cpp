#include "planning/clsWPLevel.h"

#include "core/Settings.h"
#include "core/Utf8.h"
#include "db/Database.h"
#include "db/Recordset.h"

#include <algorithm>
#include <utility>

namespace pf {

bool clsWPLevel::Load()
{
    LastErrorClear();
    std::vector<WeeklyPlanLevel> levels;
    const bool read = Recorded([&] {
        auto rs =
            Db().OpenRecordset("SELECT ID,WPOrder,WPName,WPCost,WPPrint,WPRepeat FROM T_WPLevel ORDER BY "
                               "WPOrder");
        for (; !rs->Eof() && levels.size() < kMaxAllowedWPLevel; rs->MoveNext()) {
            WeeklyPlanLevel level;
            level.Id = static_cast<long>(rs->Field("ID").AsLong());
            level.Name = rs->Field("WPName").AsText();
            level.Cost = rs->Field("WPCost").AsCurrency();
            level.NoPrint = !rs->Field("WPPrint").AsBool();
            level.Repeat = rs->Field("WPRepeat").AsBool();
            if (level.Id != 0)
                levels.push_back(std::move(level));
        }
    });
    if (read && !levels.empty()) {
        m_levels = std::move(levels);
        Settle();
        return true;
    }
    std::string text = ReadSetting("", "WPLevel", kDefaultLevels, true);
    // The settings store drops the quotes around a whole value: "A","B" reads back as A","B.
    if (!text.empty() && text.front() != '"' && text.find('"') != std::string::npos)
        text = '"' + text + '"';
    InitDefaultWP(text);
    Settle();
    return read;
}

void clsWPLevel::InitDefaultWP(std::string_view text)
{
    m_levels = ParseWeeklyPlanLevels(std::string(text));
    // A text naming one ID twice would make two levels one: the later one gets a new ID.
    for (std::size_t i = 1; i < m_levels.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (m_levels[j].Id == m_levels[i].Id) {
                m_levels[i].Id = 0;
                m_levels[i].Id = NextId();
                break;
            }
    Changed();
}

std::string clsWPLevel::WPData() const
{
    std::string text;
    for (const WeeklyPlanLevel& level : m_levels) {
        std::string name = level.Name;
        std::replace(name.begin(), name.end(), '"', '\'');
        std::replace(name.begin(), name.end(), ';', ',');
        text += ",\"" + name + ";" + level.Cost.ToString() + ";" + (level.Repeat ? "1" : "0") + ";" +
                std::to_string(level.Id) + ";" + (level.NoPrint ? "1" : "0") + "\"";
    }
    return text.empty() ? text : text.substr(1);
}

bool clsWPLevel::Save()
{
    LastErrorClear();
    if (m_readOnly)
        return true;
    const bool saved = Recorded([&] {
        Database& db = Db();
        DbTransaction transaction(db);
        db.Execute("DELETE * FROM T_WPLevel");
        long order = 0;
        for (const WeeklyPlanLevel& level : m_levels)
            db.Execute(
                "INSERT INTO T_WPLevel (ID,WPOrder,WPName,WPCost,WPPrint,WPRepeat) VALUES (?,?,?,?,?,?)",
                {level.Id, ++order, CharSubstr(level.Name, 0, 32), level.Cost, !level.NoPrint, level.Repeat});
        transaction.Commit();
    });
    if (saved)
        Settle();
    return saved;
}

bool clsWPLevel::SaveWithCategories(const std::vector<WPCategoryLink>& links)
{
    LastErrorClear();
    if (m_readOnly)
        return true;
    bool saved = false;
    const bool linked = Recorded([&] {
        Database& db = Db();
        DbTransaction transaction(db);
        saved = Save();
        if (!saved)
            return;
        db.Execute("UPDATE T_CAT SET CatWPLevel=0 WHERE CatWPLevel<>0");
        for (std::size_t i = 0; i < links.size() && static_cast<int>(i) < Max(); ++i)
            if (links[i].Category != 0)
                db.Execute("UPDATE T_CAT SET CatWPLevel=?, CatWPRepeat=? WHERE ID=?",
                           {m_levels[i].Id, std::clamp(links[i].Weeks, 0L, 52L), links[i].Category});
        transaction.Commit();
    });
    if (!linked)
        m_changed = true;
    return saved && linked;
}

std::vector<WPCategoryChoice> clsWPLevel::CategoryChoices()
{
    LastErrorClear();
    std::vector<WPCategoryChoice> choices;
    Recorded([&] {
        auto rs = Db().OpenRecordset(
            "SELECT ID,CatNameD,CatWPLevel,CatWPRepeat FROM T_CAT WHERE LaenderCode=0 OR LaenderCode IS NULL "
            "ORDER BY CatNameD, ID");
        for (; !rs->Eof(); rs->MoveNext())
            choices.push_back({static_cast<long>(rs->Field(0).AsLong()), rs->Field(1).AsText(),
                               static_cast<long>(rs->Field(2).AsLong()),
                               static_cast<long>(rs->Field(3).AsLong())});
    });
    return choices;
}

std::string clsWPLevel::Name(int level) const
{
    return Valid(level) ? At(level).Name : "";
}

void clsWPLevel::SetName(int level, std::string_view name)
{
    if (Valid(level) && At(level).Name != name) {
        At(level).Name = std::string(name);
        Changed();
    }
}

Decimal4 clsWPLevel::Cost(int level) const
{
    return Valid(level) ? At(level).Cost : Decimal4();
}

void clsWPLevel::SetCost(int level, Decimal4 cost)
{
    if (Valid(level) && At(level).Cost != cost) {
        At(level).Cost = cost < Decimal4() ? -cost : cost;
        Changed();
    }
}

bool clsWPLevel::Repeat(int level) const
{
    return Valid(level) && At(level).Repeat;
}

void clsWPLevel::SetRepeat(int level, bool repeat)
{
    if (Valid(level) && At(level).Repeat != repeat) {
        At(level).Repeat = repeat;
        Changed();
    }
}

bool clsWPLevel::NoPrint(int level) const
{
    return Valid(level) && At(level).NoPrint;
}

void clsWPLevel::SetNoPrint(int level, bool noPrint)
{
    if (Valid(level) && At(level).NoPrint != noPrint) {
        At(level).NoPrint = noPrint;
        Changed();
    }
}

long clsWPLevel::id(int level) const
{
    return Valid(level) ? At(level).Id : 0;
}

long clsWPLevel::Order(int level) const
{
    return Valid(level) ? level : 0;
}

int clsWPLevel::LevelOfId(long levelId) const
{
    for (int level = 1; level <= Max(); ++level)
        if (At(level).Id == levelId)
            return level;
    return 0;
}

void clsWPLevel::SetMax(int count)
{
    count = std::clamp(count, 0, kMaxAllowedWPLevel);
    if (count == Max())
        return;
    while (Max() > count)
        m_levels.pop_back();
    while (Max() < count) {
        WeeklyPlanLevel level;
        level.Id = NextId();
        m_levels.push_back(std::move(level));
    }
    Changed();
}

void clsWPLevel::Transfer(const clsWPLevel& other)
{
    m_levels = other.m_levels;
    m_mode = other.m_mode;
    Changed();
}

int clsWPLevel::NewLevel(std::string_view name)
{
    if (Max() >= kMaxAllowedWPLevel)
        return 0;
    WeeklyPlanLevel level;
    level.Id = NextId();
    level.Name = std::string(name);
    m_levels.push_back(std::move(level));
    Changed();
    return Max();
}

void clsWPLevel::DeleteLevel(int level)
{
    if (Valid(level)) {
        m_levels.erase(m_levels.begin() + (level - 1));
        Changed();
    }
}

void clsWPLevel::ShiftUp(int level)
{
    if (Valid(level) && level > 1) {
        std::swap(At(level), At(level - 1));
        Changed();
    }
}

void clsWPLevel::shiftDown(int level)
{
    if (Valid(level) && level < Max()) {
        std::swap(At(level), At(level + 1));
        Changed();
    }
}

void clsWPLevel::CancelChange()
{
    m_levels = m_saved;
    m_changed = false;
}

long clsWPLevel::CatSelect(int level)
{
    LastErrorClear();
    if (!Valid(level))
        return 0;
    long category = 0;
    Recorded([&] {
        category = static_cast<long>(
            Db().Scalar("SELECT MIN(ID) FROM T_CAT WHERE CatWPLevel=" + std::to_string(At(level).Id))
                .AsLong());
    });
    return category;
}

long clsWPLevel::CatRepeat(int level)
{
    const long category = CatSelect(level);
    if (category == 0)
        return 0;
    long weeks = 0;
    Recorded([&] {
        weeks = static_cast<long>(
            Db().Scalar("SELECT CatWPRepeat FROM T_CAT WHERE ID=" + std::to_string(category)).AsLong());
    });
    return weeks;
}

long clsWPLevel::NextId() const
{
    long highest = 0;
    for (const WeeklyPlanLevel& level : m_levels)
        highest = std::max(highest, level.Id);
    return highest + 1;
}

void clsWPLevel::Settle()
{
    m_saved = m_levels;
    m_changed = false;
}

} // namespace pf
