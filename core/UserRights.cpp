#include "core/UserRights.h"

#include <utility>

namespace pf {

const std::vector<UserRightInfo>& UserRightList()
{
    static const std::vector<UserRightInfo> rights = {
        {kRightExport, "Rezepte exportieren", ""},
        {kRightPassword, "&Passwort ändern", "z.B. für Gastbenutzer"},
        {kRightPrint, "Rezepte &drucken", ""},
        {kRightEdit, "Rezepte &verändern", ""},
        {kRightEnter, "&Rezepte erfassen/importieren", ""},
        {kRightLexicon, "&Lexikon bearbeiten", ""},
        {kRightUnits, "&Masseinheitenmanagement", ""},
        {kRightCookbooks, "K&ochbuchmanagement", ""},
        {kRightCategories, "&Kategoriemanagement", ""},
        {kRightWeekPlan, "Wochenpläne bearbei&ten", ""},
        {kRightWeekPlanApprove, "Wochenpläne planen und &freigeben", ""},
    };
    return rights;
}

bool UserMayUse(const LoggedInUser& user, long right)
{
    if (right == kRightNone || !user.UsersEnabled)
        return true;
    return (user.Flags & (right | kRightAdmin)) != 0;
}

namespace {

LoggedInUser& Stored()
{
    static LoggedInUser user;
    return user;
}

} // namespace

const LoggedInUser& CurrentUser()
{
    return Stored();
}

void SetCurrentUser(LoggedInUser user)
{
    Stored() = std::move(user);
}

ScopedCurrentUser::ScopedCurrentUser(LoggedInUser user) : m_previous(CurrentUser())
{
    SetCurrentUser(std::move(user));
}

ScopedCurrentUser::~ScopedCurrentUser()
{
    SetCurrentUser(std::move(m_previous));
}

bool UserMayUse(long right)
{
    return UserMayUse(CurrentUser(), right);
}

} // namespace pf
