#pragma once
// The ordered schema upgrade steps. Each step brings a database from any version below its own to
// its own version: tables and columns created, removed or rebuilt, and the new columns initialised.
// A step only issues its changes; the caller runs it inside a transaction, records the version and
// rolls everything back when it throws (DbError, or any other exception).
//
// The structures a step creates are written out in the step itself, as they were at that version:
// the current schema (Schema.h) may change later without changing what an old step does.

#include "db/Database.h"

#include <string>
#include <vector>

namespace pf {

struct UpgradeStep
{
    std::string Version; // the threshold: runs on databases below it, e.g. "001.10.090"
    // fromVersion is the database's version before the step (001.10.090 has two forms by it).
    void (*Apply)(Database& db, const std::string& fromVersion);
};

// The seventeen steps, ascending by version.
const std::vector<UpgradeStep>& UpgradeSteps();

// Creates the indexes of the current schema that the database lacks (older databases, and indexes
// added to the schema later); a table or column that is missing, or data that an index would
// reject, leaves that index out. Runs as the last change of an upgrade.
void AddMissingIndexes(Database& db);

// The weekly-plan levels of a level text (a plan's MenuQuelle or the setting "WPLevel"): each
// entry in double quotes, separated by commas; inside, Name;Cost;Repeat;id;NoPrint.
struct WeeklyPlanLevel
{
    long Id = 0;
    std::string Name;
    Decimal4 Cost;
    bool Repeat = false;
    bool NoPrint = false;
};
std::vector<WeeklyPlanLevel> ParseWeeklyPlanLevels(const std::string& text);

} // namespace pf
