#pragma once
// Recipes from one database into another, through the import pipeline and its duplicate decisions:
// each recipe with its ingredient lines, instructions, categories, origin, cookbooks, pictures,
// utensils and literature source with its page, and the menus in which guests were served it
// (with the guests' addresses). Units, food keys, utensils and literature sources
// the target lacks are copied into it first (foods with their nutrient row, sources with publisher
// and author); the others are matched by names and factors (units), food code, fingerprint or title.
// Sub-recipes and parents are stored before the recipes that use them, so that those point at the
// target's recipe (the one stored, or the one already there when a duplicate was skipped). The source
// is only read.

#include <string>
#include <unordered_map>
#include <vector>

namespace pf {

class Database;
class RecipeImport;

class RecipeTransfer
{
public:
    // target: a pipeline bound to the target database, its options set by the caller.
    RecipeTransfer(Database& source, Database& target, RecipeImport& pipeline);

    // Every recipe of the source that is not in the trash, by ID.
    static std::vector<long> AllRecipes(Database& source);

    // Keeps each recipe's own import date and source (a copy); otherwise the recipes carry the
    // run's date, as every import does.
    void SetKeepImportDate(bool keep) { m_keepImportDate = keep; }

    // Stores the listed recipes (sub-recipes and parents among them first). False when the run
    // could not start or stopped on a database error (the reason in LastErrorText); what was
    // committed before stays.
    bool Run(const std::vector<long>& ids);
    const std::string& LastErrorText() const { return m_lastErrorText; }

private:
    std::vector<long> InDependencyOrder(const std::vector<long>& ids);
    bool PrepareReferences(const std::vector<long>& ids);
    void CopyFoods();
    void CopyTools(const std::vector<long>& ids);
    void CopySources(const std::vector<long>& ids);
    void CopyGuestMenus();
    struct Portion;
    void TransferPortion(const std::vector<long>& ids);
    void ReadHeads(const std::string& list, Portion& portion);
    void ReadLines(const std::string& list, Portion& portion);
    void ReadRecipeLinks(const std::string& list, Portion& portion);
    void ReadPictures(const std::string& list, Portion& portion);
    void StorePortion(const std::vector<long>& ids, Portion& portion);

    Database& m_source;
    Database& m_target;
    RecipeImport& m_pipeline;
    bool m_keepImportDate = false;
    std::string m_lastErrorText;

    std::unordered_map<long, long> m_unitMap;   // source T_UNIT.ID -> target
    std::unordered_map<long, long> m_foodMap;   // source T_BLS_KEY.ID -> target
    std::unordered_map<long, long> m_recipeMap; // source recipe -> target recipe
    std::unordered_map<long, long> m_toolMap;   // source utensil -> target
    std::unordered_map<long, long> m_sourceMap; // source T_LITERATUR.QuelleID -> target
    std::unordered_map<long, std::string> m_yieldUnits;
    std::unordered_map<long, std::string> m_categories;
    std::unordered_map<long, std::pair<std::string, std::string>> m_books;
};

} // namespace pf
