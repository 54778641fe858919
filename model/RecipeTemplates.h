#pragma once
// The template recipes a new recipe can start from, and the choice among them.

#include <string>
#include <vector>

namespace pf {

class Database;

struct RecipeListEntry
{
    long id = 0;
    std::string Title;
};

// Templates not in the trash, by title.
std::vector<RecipeListEntry> ListTemplates(Database& db);

// Asks which template to start from; 0 when there is none (after saying so) or the user
// cancelled.
long ChooseTemplate(Database& db);

} // namespace pf
