#pragma once
// The rights a user can hold, one bit each in T_USER.Flags, and the one test every window and
// command makes against the logged-in user. Without users (an empty user table) everything is
// allowed; the administrator bit passes every test.
//
//   bit  value  right                              what it opens
//   0        1  Systemverwalter                    everything, the user manager included
//   1        2  Rezepte exportieren                export windows, picture and lexicon export
//   2        4  Kochbuchmanagement                 cookbook management window
//   3        8  Passwort ändern                    the own password (off for guest users)
//   4       16  Rezepte erfassen/importieren       new recipes, every import
//   5       32  Rezepte drucken                    printing recipes and lexicon entries, printer choice
//   6       64  Rezepte verändern                  recipe editor saving, recipe list actions that change
//                                                  recipes, menus, trash and duplicates, fingerprints
//   7      128  Lexikon bearbeiten                 lexicon, foods and literature sources
//   8      256  Masseinheitenmanagement            unit management window
//   9      512  Kategoriemanagement                category management window
//  10     1024  Wochenpläne bearbeiten             weekly-plan editor (tested as 1025)
//  11     2048  Wochenpläne planen und freigeben   weekly-plan wizard and approval (tested as 2049)
//
// Opening another database, backup and restore, the ZIP window, external programs and the
// special menu need the administrator: each of them can replace or read the whole database.

#include <string>
#include <vector>

namespace pf {

constexpr long kRightNone = 0;
constexpr long kRightAdmin = 1;
constexpr long kRightExport = 2;
constexpr long kRightCookbooks = 4;
constexpr long kRightPassword = 8;
constexpr long kRightEnter = 16;
constexpr long kRightPrint = 32;
constexpr long kRightEdit = 64;
constexpr long kRightLexicon = 128;
constexpr long kRightUnits = 256;
constexpr long kRightCategories = 512;
constexpr long kRightWeekPlan = 1024;
constexpr long kRightWeekPlanApprove = 2048;
// What the weekly-plan windows test: the right or the administrator bit.
constexpr long kRightsWeekPlanEditor = kRightWeekPlan | kRightAdmin;          // 1025
constexpr long kRightsWeekPlanApproval = kRightWeekPlanApprove | kRightAdmin; // 2049

// One check box of the user manager.
struct UserRightInfo
{
    long Value;
    const char* Caption;
    const char* Hint; // empty when none
};
// The rights after the administrator, in the order the user manager shows them.
const std::vector<UserRightInfo>& UserRightList();

// The logged-in user as the program's rights tests see it; set once the login succeeded.
struct LoggedInUser
{
    bool UsersEnabled = false;
    std::string Name;
    long Flags = 0;
};

// The logged-in user of this process (nobody, and no users, until a login succeeded).
const LoggedInUser& CurrentUser();
void SetCurrentUser(LoggedInUser user);

// Sets the logged-in user for a scope (tests) and puts the previous one back.
class ScopedCurrentUser
{
public:
    explicit ScopedCurrentUser(LoggedInUser user);
    ~ScopedCurrentUser();
    ScopedCurrentUser(const ScopedCurrentUser&) = delete;
    ScopedCurrentUser& operator=(const ScopedCurrentUser&) = delete;

private:
    LoggedInUser m_previous;
};

// True when the current user may use what needs `right`: always for right 0, always without
// users, otherwise when Flags holds the right or the administrator bit. A right value that already
// contains the administrator bit (1025, 2049) is tested the same way.
bool UserMayUse(long right);
// The same test against explicit values, for places that hold their own user.
bool UserMayUse(const LoggedInUser& user, long right);

} // namespace pf
