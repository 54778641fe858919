#include "model/RecipeTemplates.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "db/Database.h"
#include "db/Recordset.h"

namespace pf {

std::vector<RecipeListEntry> ListTemplates(Database& db)
{
    std::vector<RecipeListEntry> templates;
    auto rs = db.OpenRecordset("SELECT ID, RezTitle FROM T_REZ_KOPF WHERE Template<>0 AND FlagDeleted=0 "
                               "ORDER BY RezTitle");
    for (; !rs->Eof(); rs->MoveNext())
        templates.push_back({static_cast<long>(rs->Field(0).AsLong()), rs->Field(1).AsText()});
    return templates;
}

long ChooseTemplate(Database& db)
{
    const std::vector<RecipeListEntry> templates = ListTemplates(db);
    if (templates.empty()) {
        UI().Inform("Es wurden keine Vorlagen gefunden!", MsgIcon::Information,
                    AppContext::Current().AppTitle);
        return 0;
    }
    std::vector<std::string> titles;
    for (const RecipeListEntry& entry : templates)
        titles.push_back(entry.Title);
    const std::optional<int> chosen =
        UI().ChooseItem("Vorlage für das neue Rezept", titles, "Neues Rezept aus Vorlage");
    if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(templates.size()))
        return 0;
    return templates[static_cast<std::size_t>(*chosen)].id;
}

} // namespace pf
