#pragma once
// A menu as plain text for reading on a terminal or in a mail: title, date and persons, the
// courses numbered with their persons, description, drink and wine, then the guests with their
// notes and the menu's own notes. Reads the menu's courses and guests; writes nothing.

#include <string>

namespace pf {

class ClMenu;

std::string MenuAsText(ClMenu& menu);

} // namespace pf
