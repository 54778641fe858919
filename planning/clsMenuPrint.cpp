#include "planning/clsMenuPrint.h"

#include "core/Settings.h"
#include "model/ClRecipe.h"
#include "model/RecipeText.h"
#include "output/PageWriter.h"
#include "planning/ClMenu.h"
#include "planning/MenuText.h"
#include "planning/WeekCalendar.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace pf {

namespace {

constexpr const char* kLayoutKey = "MENUPRINTLAYOUT";
// The kitchen plan's columns: labels at the left edge, values from here; course details indented.
constexpr double kValueLeft = 2200;
constexpr double kCourseIndent = 500;

// The title a guest reads: the course's own, else the recipe's title for menu cards.
std::string CardTitle(ClMenu& menu, int course)
{
    if (const std::string own = menu.CourseOwnTitle(course); !own.empty())
        return own;
    if (const ClRecipe* recipe = menu.CourseRecipe(course); recipe && !recipe->TitleMenuCard().empty())
        return recipe->TitleMenuCard();
    return menu.CourseTitle(course);
}

std::string DrinksText(ClMenu& menu, int course)
{
    std::string drinks = menu.CourseDrink(course);
    if (const std::string wine = menu.WineName(menu.CourseWineID(course)); !wine.empty())
        drinks += (drinks.empty() ? "" : ", ") + wine;
    return drinks;
}

double LineHeight(PageCanvas& canvas, const PageFont& font)
{
    canvas.SetFont(font);
    return canvas.TextHeight();
}

std::string MenuTitle(ClMenu& menu)
{
    return menu.Title().empty() ? menu.GenMenuEntryTitle() : menu.Title();
}

void MenuCard(PageWriter& page, PageCanvas& canvas, ClMenu& menu)
{
    page.Centred(MenuTitle(menu), 22, true);
    if (menu.MenuDate().Days >= 2)
        page.Centred(LongDateText(menu.MenuDate()), 12, false, true);
    if (!menu.Description().empty()) {
        page.Gap(11, 0.5);
        page.Centred(menu.Description(), 11, false, true);
    }
    page.Gap(12, 1);
    page.Rule(canvas.Width() / 3);
    page.Gap(12, 1);
    for (int i = 1; i <= menu.CoursesCount(); ++i) {
        const std::string desc = menu.CourseDesc(i);
        const std::string drinks = DrinksText(menu, i);
        // A course stays on one page with its first lines of description and drinks.
        page.Need(LineHeight(canvas, Arial(15, true)) + (desc.empty() ? 0 : LineHeight(canvas, Arial(11))) +
                  (drinks.empty() ? 0 : LineHeight(canvas, Arial(10))));
        if (const std::string title = CardTitle(menu, i); !title.empty())
            page.Centred(title, 15, true);
        if (!desc.empty())
            page.Centred(desc, 11);
        if (!drinks.empty())
            page.Centred(drinks, 10, false, true);
        if (i < menu.CoursesCount()) {
            page.Gap(12, 0.7);
            page.Rule(canvas.Width() / 8);
            page.Gap(12, 0.7);
        }
    }
}

void KitchenPlan(PageWriter& page, PageCanvas& canvas, ClMenu& menu)
{
    page.Heading(MenuTitle(menu), 16);
    page.Gap(11, 0.3);
    if (menu.MenuDate().Days >= 2)
        page.Labelled("Datum:", LongDateText(menu.MenuDate()), kValueLeft);
    if (menu.Yield() > 0)
        page.Labelled("Personen:", std::to_string(menu.Yield()), kValueLeft);
    if (const std::string time = DurationText(menu.TimePreparation().Days); !time.empty())
        page.Labelled("Vorbereitung:", time + " Std.", kValueLeft);
    if (const std::string time = DurationText(menu.TimeCooking().Days); !time.empty())
        page.Labelled("Kochzeit:", time + " Std.", kValueLeft);
    if (const std::string origin = menu.MenuOrigin(); !origin.empty())
        page.Labelled("Herkunft:", origin, kValueLeft);
    if (!menu.Description().empty()) {
        page.Gap(11, 0.5);
        page.Paragraph(menu.Description(), 11, true);
    }
    if (menu.CoursesCount() > 0) {
        page.Gap(11, 0.8);
        page.Heading("Gänge", 13);
        page.Rule();
    }
    for (int i = 1; i <= menu.CoursesCount(); ++i) {
        // Persons and recipe, the description in italics, drink and wine.
        std::vector<std::pair<std::string, bool>> details;
        std::string facts = CoursePersonsText(menu, i);
        if (const long recipe = menu.CourseRezID(i); recipe > 0) {
            facts += (facts.empty() ? "" : ", ") + std::string("Rezept #") + std::to_string(recipe);
            if (!menu.CourseRecipeLoaded(i))
                facts += " (nicht mehr vorhanden)";
        }
        if (!facts.empty())
            details.emplace_back(facts, false);
        if (const std::string desc = menu.CourseDesc(i); !desc.empty())
            details.emplace_back(desc, true);
        if (const std::string drink = menu.CourseDrink(i); !drink.empty())
            details.emplace_back("Getränk: " + drink, false);
        if (const std::string wine = menu.WineName(menu.CourseWineID(i)); !wine.empty())
            details.emplace_back("Wein: " + wine, false);
        // The course's title and its details stay on one page.
        page.Need(LineHeight(canvas, Arial(12, true)) +
                  static_cast<double>(details.size()) * LineHeight(canvas, Arial(10)));
        const std::string title = menu.CourseTitle(i);
        page.Labelled(std::to_string(i) + ".", title.empty() ? "(ohne Titel)" : title, kCourseIndent, 12,
                      true);
        for (const auto& [text, italic] : details)
            page.Paragraph(text, 10, italic, kCourseIndent);
        page.Gap(10, 0.6);
    }
    if (menu.GuestCount() > 0) {
        page.Gap(11, 0.5);
        page.Heading("Gäste", 13);
        page.Rule();
        for (int i = 1; i <= menu.GuestCount(); ++i)
            page.Paragraph(GuestText(menu, i), 11);
    }
    if (!menu.Notices().empty()) {
        page.Gap(11, 1);
        page.Heading("Notizen", 13);
        page.Paragraph(menu.Notices(), 11);
    }
}

} // namespace

std::string clsMenuPrint::LayoutName(int layout)
{
    switch (layout) {
    case kMenuCard:
        return "Menükarte";
    case kKitchenPlan:
        return "Küchenplan";
    case kWithRecipes:
        return "Küchenplan mit Rezepten";
    default:
        return {};
    }
}

int clsMenuPrint::SavedLayout()
{
    const long layout = SettingToLong(ReadSetting("", kLayoutKey, "0", false));
    return layout >= 0 && layout < kLayoutCount ? static_cast<int>(layout) : kMenuCard;
}

void clsMenuPrint::SaveLayout(int layout)
{
    WriteSetting("", kLayoutKey, std::to_string(layout), false);
}

std::vector<PrintJobItem> clsMenuPrint::CourseRecipes(ClMenu& menu)
{
    std::vector<PrintJobItem> items;
    for (int i = 1; i <= menu.CoursesCount(); ++i) {
        if (menu.CourseGeneric(i) || !menu.CourseRecipeLoaded(i))
            continue;
        const PrintJobItem item{menu.CourseRezID(i), menu.CourseYield(i)};
        if (std::none_of(items.begin(), items.end(), [&](const PrintJobItem& listed) {
                return listed.RecipeId == item.RecipeId && listed.Servings == item.Servings;
            }))
            items.push_back(item);
    }
    return items;
}

void clsMenuPrint::PrintMenuPages(PageCanvas& canvas, ClMenu& menu, int layout, bool last,
                                  PrintOutcome& outcome)
{
    PageWriter page(canvas, {"Menükarte", true});
    if (layout == kKitchenPlan || layout == kWithRecipes)
        KitchenPlan(page, canvas, menu);
    else
        MenuCard(page, canvas, menu);
    for (int i = 1; i <= menu.CoursesCount(); ++i)
        if (menu.CourseRezID(i) > 0 && !menu.CourseRecipeLoaded(i))
            outcome.Missing.push_back(menu.CourseRezID(i));
    page.Finish(last);
}

PrintOutcome clsMenuPrint::PrintMenu(PageCanvas& canvas, ClMenu& menu, int layout)
{
    PrintOutcome outcome;
    PrintJobRequest request = PrintRequestFromSettings(0);
    if (layout == kWithRecipes)
        request.Items = CourseRecipes(menu);
    PrintMenuPages(canvas, menu, layout, request.Items.empty(), outcome);
    PrintOutcome recipes;
    if (!request.Items.empty()) {
        recipes = RunPrintJob(request, canvas, menu.DB());
        outcome.Printed = recipes.Printed;
        outcome.Missing.insert(outcome.Missing.end(), recipes.Missing.begin(), recipes.Missing.end());
    }
    // A job none of whose recipes could be read stops before its first page: the menu's document
    // is finished here.
    if (recipes.Missing.size() == request.Items.size()) {
        FinishDocument(canvas, outcome);
    } else {
        outcome.Ok = recipes.Ok;
        outcome.Message = recipes.Message;
    }
    return outcome;
}

PrintOutcome clsMenuPrint::PrintJob(PageCanvas& canvas, const std::vector<long>& menus, int layout,
                                    PrintJobRequest request, Database* db)
{
    PrintOutcome outcome;
    std::vector<std::unique_ptr<ClMenu>> loaded;
    for (long id : menus) {
        auto menu = std::make_unique<ClMenu>();
        menu->SetDB(db);
        if (!menu->Loadr(id)) {
            outcome.Missing.push_back(id);
            continue;
        }
        if (layout == kWithRecipes)
            for (const PrintJobItem& item : CourseRecipes(*menu))
                request.Items.push_back(item);
        loaded.push_back(std::move(menu));
    }
    for (std::size_t i = 0; i < loaded.size(); ++i)
        PrintMenuPages(canvas, *loaded[i], layout, request.Items.empty() && i + 1 == loaded.size(), outcome);
    if (request.Items.empty()) {
        FinishDocument(canvas, outcome);
        return outcome;
    }
    const PrintOutcome recipes = RunPrintJob(request, canvas, db);
    outcome.Printed = recipes.Printed;
    outcome.Missing.insert(outcome.Missing.end(), recipes.Missing.begin(), recipes.Missing.end());
    if (recipes.Missing.size() == request.Items.size() && !loaded.empty()) {
        // No recipe could be read: the job stopped before its first page, after the menus' pages.
        FinishDocument(canvas, outcome);
    } else {
        outcome.Ok = recipes.Ok;
        outcome.Message = recipes.Message;
    }
    return outcome;
}

} // namespace pf
