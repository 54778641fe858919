#pragma once
// The levels of weekly plans (soup of the day, dish of the day, ...): at most ten, numbered from 1
// in their order. The program's current levels live in T_WPLevel (or, while it is empty, in the
// setting "WPLevel"); every plan keeps its own copy as a level text, so a plan opens with the
// levels it was made with. Load and Save touch the database; everything else works in memory.

#include "core/Decimal4.h"
#include "db/UpgradeSteps.h"
#include "model/ModelObject.h"

#include <string>
#include <string_view>
#include <vector>

namespace pf {

// A category a level can take its dishes from, with the level it serves now (0 when none) and its
// repeat interval in weeks.
struct WPCategoryChoice
{
    long id = 0;
    std::string Name;
    long Level = 0;
    long Weeks = 0;
};

// The category a level is linked to when the settings are saved (0: none) and its repeat interval.
struct WPCategoryLink
{
    long Category = 0;
    long Weeks = 0;
};

class clsWPLevel : public ModelObject
{
public:
    static constexpr int kMaxAllowedWPLevel = 10;
    // The level text used while neither table nor setting has levels.
    static constexpr const char* kDefaultLevels = "\"Tagesdessert\",\"Tagessuppe\",\"Tagesteller 1\","
                                                  "\"Tagesteller 2\",\"Vegetarisch\",\"Wochenteller;;1\"";

    // Without a database the work database is used.
    explicit clsWPLevel(Database* db = nullptr) { m_db = db; }

    bool IsChanged() const { return m_changed; }
    static int MaxAllowedWPLevel() { return kMaxAllowedWPLevel; }
    bool ROMode() const { return m_readOnly; }
    void SetROMode(bool readOnly) { m_readOnly = readOnly; }

    // The program's current levels: the rows of T_WPLevel, or the setting "WPLevel" when the table
    // is empty. False (levels from the setting) when the table cannot be read.
    bool Load();
    // Reads a level text; entries beyond the ten-level limit are dropped.
    void InitDefaultWP(std::string_view text);
    // The level text of the levels in use.
    std::string WPData() const;
    // Rewrites T_WPLevel with the levels in use, in one transaction. A read-only object does nothing.
    bool Save();
    // Saves the levels and, in the same transaction, links level i to links[i-1].Category with its
    // repeat interval; every other category loses its link to a level. Levels beyond the list stay
    // without a category.
    bool SaveWithCategories(const std::vector<WPCategoryLink>& links);
    // The categories a level can be linked to (not the origins), by name.
    std::vector<WPCategoryChoice> CategoryChoices();

    // Level properties; a level outside 1..Max reads as empty or 0 and is not changed.
    std::string Name(int level) const;
    void SetName(int level, std::string_view name);
    Decimal4 Cost(int level) const;
    void SetCost(int level, Decimal4 cost);
    bool Repeat(int level) const;
    void SetRepeat(int level, bool repeat);
    bool NoPrint(int level) const;
    void SetNoPrint(int level, bool noPrint);
    long id(int level) const;
    // The position of the level, 1..Max (0 outside).
    long Order(int level) const;
    // The level number (1..Max) of a level ID, 0 when the plan has no such level.
    int LevelOfId(long id) const;

    int Max() const { return static_cast<int>(m_levels.size()); }
    // Grows with empty levels (new IDs) or shrinks to count, within 0..10.
    void SetMax(int count);
    long WPMode() const { return m_mode; }
    void SetWPMode(long mode) { m_mode = mode; }

    // Takes the levels of another object.
    void Transfer(const clsWPLevel& other);
    // Appends a level with a new ID; its number, or 0 when ten levels exist.
    int NewLevel(std::string_view name);
    // Removes a level; the ones after it move up a place.
    void DeleteLevel(int level);
    // Moves a level one place up (towards 1) or down.
    void ShiftUp(int level);
    void shiftDown(int level);
    // Back to the levels last loaded, read or saved.
    void CancelChange();

    // The category linked to a level (the first with that CatWPLevel), 0 when none.
    long CatSelect(int level);
    // The repeat interval in weeks of the level's category (0 when no category links to it).
    long CatRepeat(int level);

private:
    bool Valid(int level) const { return level >= 1 && level <= Max(); }
    WeeklyPlanLevel& At(int level) { return m_levels[static_cast<std::size_t>(level - 1)]; }
    const WeeklyPlanLevel& At(int level) const { return m_levels[static_cast<std::size_t>(level - 1)]; }
    long NextId() const;
    void Changed() { m_changed = true; }
    void Settle();

    std::vector<WeeklyPlanLevel> m_levels;
    std::vector<WeeklyPlanLevel> m_saved;
    long m_mode = 0;
    bool m_changed = false;
    bool m_readOnly = false;
};

} // namespace pf
