#pragma once
// A menu as plain text for reading on a terminal or in a mail: title, date and persons, the
// courses numbered with their persons, description, drink and wine, then the guests with their
// notes and the menu's own notes. Reads the menu's courses and guests; writes nothing.

#include <string>

namespace pf {

class ClMenu;

std::string MenuAsText(ClMenu& menu);

// The persons a course with a recipe is cooked for: "8 Portionen", "12 Stück"; "" for a course
// without recipe or persons.
std::string CoursePersonsText(ClMenu& menu, int course);
// A guest as listed: the name, or the address number when the address is gone, and the note in
// brackets.
std::string GuestText(ClMenu& menu, int guest);

} // namespace pf
