// The weekly-plan operations of ClMenu: a plan is a menu in folder -3 whose courses carry a day
// and a level, and whose preparation-time column holds the approval.

#include "planning/ClMenu.h"

namespace pf {

void ClMenu::CreateNewWP(DateSerial startDate)
{
    Void();
    m_tree = kWPTree;
    m_date = DateSerial{static_cast<double>(static_cast<long>(startDate.Days))};
    m_changed = true;
}

void ClMenu::SetWPApproveDate(DateSerial when)
{
    if (IsWP() && !m_roMode)
        Assign(m_approved, when);
}

// The recipes' exclusion dates are not kept up yet: saving an approved plan records nothing.
void ClMenu::WPRecordUsage(Database&) {}

// The recipes' exclusion dates are not kept up yet: removing a course recomputes nothing.
void ClMenu::WPCourseRemoved(long) {}

} // namespace pf
