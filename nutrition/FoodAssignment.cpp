#include "nutrition/FoodAssignment.h"

#include "core/IdList.h"
#include "core/Interaction.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "model/ClIngredient.h"
#include "model/ClRecipe.h"
#include "nutrition/FoodMatcher.h"

namespace pf {

namespace {

constexpr std::size_t kBatchRecipes = 500;

// The ingredient lines of some recipes that can carry a food: no separators, no sub-recipes.
struct StoredLine
{
    long RecipeId = 0;
    long No = 0;
    std::string Text;
    long FoodId = 0;
};

std::vector<StoredLine> ReadLines(Database& db, const std::string& idList)
{
    std::vector<StoredLine> lines;
    auto rs = db.OpenRecordset(
        "SELECT ID,[No],ZutText,ZutBLSID,ZutTrenner,ZutRezept FROM T_REZ_ZUTAT WHERE ID IN (" + idList +
        ") ORDER BY ID,[No]");
    for (; !rs->Eof(); rs->MoveNext()) {
        if (rs->Field(4).AsBool() || rs->Field(5).AsBool())
            continue;
        lines.push_back({static_cast<long>(rs->Field(0).AsLong()), static_cast<long>(rs->Field(1).AsLong()),
                         rs->Field(2).AsText(), static_cast<long>(rs->Field(3).AsLong())});
    }
    return lines;
}

void WriteFood(Database& db, long recipeId, long no, long foodId)
{
    db.Execute("UPDATE T_REZ_ZUTAT SET ZutBLSID=? WHERE ID=? AND [No]=?",
               {foodId == 0 ? Value() : Value(foodId), recipeId, no});
}

// Recipes and lines read earlier from the caches would show the old foods.
void ForgetCachedRecipes()
{
    ClearIngredientCache();
    ClearRecipeCache();
}

} // namespace

FoodAssignment::FoodAssignment(Database& db, FoodMatcher& matcher) : m_db(db), m_matcher(matcher) {}

void FoodAssignment::SetRecipes(std::vector<long> ids)
{
    m_ids = std::move(ids);
    m_next = 0;
}

bool FoodAssignment::NextID()
{
    while (m_next < m_ids.size()) {
        const long id = m_ids[m_next++];
        if (!m_db.Scalar("SELECT RezTitle FROM T_REZ_KOPF WHERE ID=?", {id}).IsNull()) {
            Load(id);
            return true;
        }
    }
    m_recipeId = 0;
    m_lines.clear();
    return false;
}

void FoodAssignment::Load(long recipeId)
{
    m_recipeId = recipeId;
    m_title = m_db.Scalar("SELECT RezTitle FROM T_REZ_KOPF WHERE ID=?", {recipeId}).AsText();
    m_lines.clear();
    for (StoredLine& stored : ReadLines(m_db, std::to_string(recipeId))) {
        AssignmentLine line;
        line.No = stored.No;
        line.Text = std::move(stored.Text);
        line.FoodId = stored.FoodId;
        line.FoodName = FoodName(line.FoodId);
        m_lines.push_back(std::move(line));
    }
    Reanalyse();
}

std::string FoodAssignment::FoodName(long id)
{
    return id == 0 ? std::string() : m_db.Scalar("SELECT ST FROM T_BLS_KEY WHERE ID=?", {id}).AsText();
}

std::string FoodAssignment::Heading() const
{
    return "Rezept " + std::to_string(m_recipeId) + ": " + m_title;
}

bool FoodAssignment::AllAssigned() const
{
    for (const AssignmentLine& line : m_lines)
        if (line.FoodId == 0)
            return false;
    return true;
}

std::string FoodAssignment::Hint() const
{
    return AllAssigned() && !m_lines.empty() ? "Hinweis: Alle Zutaten enthalten eine BLS-Zuordnung." : "";
}

void FoodAssignment::Assign(std::size_t index, long foodId)
{
    if (index >= m_lines.size() || m_lines[index].FoodId == foodId)
        return;
    m_lines[index].FoodId = foodId;
    m_lines[index].FoodName = FoodName(foodId);
    m_lines[index].Changed = true;
}

void FoodAssignment::ChooseProduct(std::size_t index, FoodChooser& chooser)
{
    if (index >= m_lines.size())
        return;
    const long chosen = chooser.ChooseFood(m_lines[index].Text);
    if (chosen != 0)
        Assign(index, chosen);
}

void FoodAssignment::Clear(std::size_t index)
{
    Assign(index, 0);
}

bool FoodAssignment::ClearAll(Interaction& ui)
{
    if (ui.Ask(
            "Sollen wirklich alle BLS-Zuordnungen gelöscht werden, so dass mit der Definition neu begonnen "
            "werden kann ?",
            Buttons::YesNo, Answer::No, MsgIcon::Question, "BLS-Zuordnung") != Answer::Yes)
        return false;
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        Clear(i);
    return true;
}

void FoodAssignment::Reanalyse()
{
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].FoodId == 0)
            Assign(i, m_matcher.MatchFoodForIngredient(m_lines[i].Text));
    }
}

bool FoodAssignment::SaveRecipe()
{
    try {
        DbTransaction trans(m_db);
        for (const AssignmentLine& line : m_lines)
            if (line.Changed)
                WriteFood(m_db, m_recipeId, line.No, line.FoodId);
        trans.Commit();
    } catch (const DbError&) {
        return false;
    }
    for (AssignmentLine& line : m_lines)
        line.Changed = false;
    ForgetCachedRecipes();
    return true;
}

bool StoreFood(Database& db, long recipeId, long lineNo, long foodId)
{
    try {
        WriteFood(db, recipeId, lineNo, foodId);
    } catch (const DbError&) {
        return false;
    }
    ForgetCachedRecipes();
    return true;
}

MatchCounts MatchRecipes(Database& db, FoodMatcher& matcher, const std::vector<long>& ids,
                         const std::function<void(std::size_t)>& progress)
{
    std::vector<long> all = ids;
    if (all.empty()) {
        auto rs = db.OpenRecordset("SELECT ID FROM T_REZ_KOPF ORDER BY ID");
        for (; !rs->Eof(); rs->MoveNext())
            all.push_back(static_cast<long>(rs->Field(0).AsLong()));
    }
    MatchCounts counts;
    for (std::size_t first = 0; first < all.size(); first += kBatchRecipes) {
        MatchCounts batch;
        {
            DbTransaction trans(db);
            for (const StoredLine& line : ReadLines(db, JoinIds(all, first, kBatchRecipes))) {
                if (line.FoodId != 0) {
                    ++batch.Kept;
                    continue;
                }
                const long found = matcher.MatchFoodForIngredient(line.Text);
                if (found == 0) {
                    ++batch.Open;
                    continue;
                }
                WriteFood(db, line.RecipeId, line.No, found);
                ++batch.Assigned;
            }
            trans.Commit();
        }
        counts.Assigned += batch.Assigned;
        counts.Open += batch.Open;
        counts.Kept += batch.Kept;
        if (progress)
            progress(std::min(all.size(), first + kBatchRecipes));
    }
    if (counts.Assigned > 0)
        ForgetCachedRecipes();
    return counts;
}

} // namespace pf
