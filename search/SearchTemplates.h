#pragma once
// Search templates: named search data in T_SUCHE_KOPF, for one user or (empty owner) for all.
// The template with ID 0 is the default one the search screen starts with. Every method touches
// the database directly; failures leave the reason in LastErrorText.

#include "model/ModelObject.h"

#include <string>
#include <vector>

namespace pf {

class Database;

struct SearchTemplateItem
{
    std::string Name;
    long id = 0;
};

class SearchTemplates : public ModelObject
{
public:
    // Without a database the work database is used.
    explicit SearchTemplates(Database* db = nullptr) { m_db = db; }

    // All templates, or those of a user and of all users.
    std::vector<SearchTemplateItem> FillSearchTemplateList(const std::string& user = {});
    // The search data of a template, "" when missing.
    std::string GetSearchTemplateData(long id);
    // The ID of a template holding exactly this data, -1 when none does.
    long CompareSearchTemplateData(const std::string& data);
    // The ID of the template of that name (case-insensitive), -1 when none.
    long FindByName(const std::string& name);
    // Adds (id < 0, or an ID not present: a new template takes the next free ID) or changes a
    // template; returns its ID, -1 on failure.
    long SaveSearchTemplateData(long id, const std::string& name, const std::string& owner,
                                const std::string& data);
    bool DelSearchTemplatedata(long id);
    // Makes template id the default (swapping IDs with the old default); -1 gives the default a
    // new ID, so that there is none.
    bool SetSearchTemplateDefault(long id);

private:
    long NextID();
};

} // namespace pf
