#pragma once
// The menu printouts, in three layouts: the menu card for the table (title, day and the courses
// with their descriptions, drinks and wines, centred, nothing for the kitchen), the kitchen plan
// (day, persons, times, each course with its persons and recipe number, the guests with their
// notes, the menu's notes), and the kitchen plan followed by the recipes of its courses, each
// scaled to its course's persons. Menu pages end with the common footer of menu cards, recipe
// pages with their own. Reads the menu and its recipes; writes nothing but the canvas.

#include "output/PageCanvas.h"
#include "output/PrintJob.h"

#include <string>
#include <vector>

namespace pf {

class ClMenu;
class Database;

class clsMenuPrint
{
public:
    static constexpr int kMenuCard = 0;
    static constexpr int kKitchenPlan = 1;
    static constexpr int kWithRecipes = 2;
    static constexpr int kLayoutCount = 3;

    // "Menükarte", "Küchenplan", "Küchenplan mit Rezepten"; "" for any other layout.
    static std::string LayoutName(int layout);
    // The layout the user printed last (the MENUPRINTLAYOUT setting); the menu card when none.
    static int SavedLayout();
    static void SaveLayout(int layout);

    // The recipes the third layout prints after the plan: one per course with a recipe that
    // could be read, scaled to the course's persons; a recipe served twice for the same persons
    // is printed once.
    static std::vector<PrintJobItem> CourseRecipes(ClMenu& menu);

    // Prints the menu in the layout (an unknown one prints the menu card) and finishes the
    // canvas's document. Recipes that cannot be read are left out and listed in Missing.
    PrintOutcome PrintMenu(PageCanvas& canvas, ClMenu& menu, int layout);

    // The print window's job: the menus first, each in the layout (the third one adds its
    // courses' recipes to the recipes of the request), then the request's recipes, all in one
    // document that this finishes. Menus that cannot be read are listed in Missing.
    PrintOutcome PrintJob(PageCanvas& canvas, const std::vector<long>& menus, int layout,
                          PrintJobRequest request, Database* db = nullptr);

private:
    // The menu's own pages; unless last, the footer starts a new page for what follows.
    void PrintMenuPages(PageCanvas& canvas, ClMenu& menu, int layout, bool last, PrintOutcome& outcome);
};

} // namespace pf
