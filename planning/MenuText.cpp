#include "planning/MenuText.h"

#include "core/Utf8.h"
#include "model/RecipeText.h"
#include "planning/ClMenu.h"

#include <algorithm>

namespace pf {

std::string CoursePersonsText(ClMenu& menu, int course)
{
    const long yield = menu.CourseYield(course);
    if (yield <= 0 || menu.CourseGeneric(course))
        return {};
    const std::string unit = menu.CourseUnit(course);
    return std::to_string(yield) + " " + (unit.empty() ? "Portionen" : unit);
}

std::string GuestText(ClMenu& menu, int guest)
{
    std::string name = menu.GuestName(guest);
    if (name.empty())
        name = "Adresse " + std::to_string(menu.Guest(guest)) + " (gelöscht)";
    const std::string note = menu.GuestNotice(guest);
    return note.empty() ? name : name + " (" + note + ")";
}

std::string MenuAsText(ClMenu& menu)
{
    std::string text = menu.Title().empty() ? menu.GenMenuEntryTitle() : menu.Title();
    text += "\n" + std::string(std::min<std::size_t>(CharLength(text), 60), '=') + "\n";
    if (menu.MenuDate().Days >= 2)
        text += "Datum: " + ShortDateText(menu.MenuDate()) + "\n";
    if (menu.Yield() > 0)
        text += "Personen: " + std::to_string(menu.Yield()) + "\n";
    if (menu.TimePreparation().Days > 0)
        text += "Vorbereitung: " + DurationText(menu.TimePreparation().Days) + "\n";
    if (menu.TimeCooking().Days > 0)
        text += "Kochzeit: " + DurationText(menu.TimeCooking().Days) + "\n";
    if (!menu.Description().empty())
        text += "\n" + menu.Description() + "\n";
    if (menu.CoursesCount() > 0)
        text += "\nGänge:\n";
    for (int i = 1; i <= menu.CoursesCount(); ++i) {
        text += std::to_string(i) + ". " + menu.CourseTitle(i);
        if (menu.CourseRezID(i) > 0)
            text += " (Rezept " + std::to_string(menu.CourseRezID(i)) + ")";
        if (const std::string persons = CoursePersonsText(menu, i); !persons.empty())
            text += ", " + persons;
        text += "\n";
        if (!menu.CourseDesc(i).empty())
            text += "   " + menu.CourseDesc(i) + "\n";
        if (!menu.CourseDrink(i).empty())
            text += "   Getränk: " + menu.CourseDrink(i) + "\n";
        if (const std::string wine = menu.WineName(menu.CourseWineID(i)); !wine.empty())
            text += "   Wein: " + wine + "\n";
    }
    if (menu.GuestCount() > 0)
        text += "\nGäste:\n";
    for (int i = 1; i <= menu.GuestCount(); ++i)
        text += "- " + GuestText(menu, i) + "\n";
    if (!menu.Notices().empty())
        text += "\nNotizen:\n" + menu.Notices() + "\n";
    return text;
}

} // namespace pf
