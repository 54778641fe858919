#pragma once
// The weekly plan on paper. The plan printout comes once per plan language, each language on pages
// of its own: the plan's title in that language with its first and last day, then per day the
// weekday in that language with the date and, for every level shown in printouts, the level, the
// dish with its price and the dish's description below it. The approval list is the plan as the
// kitchen checks it, headed "Wochenplan vom " and the first day. Both draw in "Arial", end every
// page with the common footer labelled "Wochenplan" and finish the canvas.

#include "output/PageCanvas.h"

#include <vector>

namespace pf {

class ClMenu;

// languages are plan-language indexes (clWPLanguage); none prints German. False when the document
// could not be written.
bool PrintWeekPlan(PageCanvas& canvas, ClMenu& plan, const std::vector<int>& languages);
bool PrintWPApprovalList(PageCanvas& canvas, ClMenu& plan);

} // namespace pf
