#include "nutrition/Nutrition.h"

#include "core/AppContext.h"
#include "db/Database.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace pf {

namespace {

// A few databases at once (the work database, a transfer's source); the oldest is dropped first.
constexpr std::size_t kKept = 4;

std::vector<std::pair<std::uint64_t, std::unique_ptr<Nutrition>>>& Loaded()
{
    static std::vector<std::pair<std::uint64_t, std::unique_ptr<Nutrition>>> loaded;
    return loaded;
}

} // namespace

Nutrition::Nutrition(Database& db) : Matcher(db, AppContext::Current().LocaleLetter) {}

Nutrition* NutritionOf(Database& db)
{
    auto& loaded = Loaded();
    auto it = std::find_if(loaded.begin(), loaded.end(),
                           [&](const auto& entry) { return entry.first == db.Serial(); });
    if (it == loaded.end()) {
        auto data = std::make_unique<Nutrition>(db);
        if (!data->Tables.Load(db, AppContext::Current().LocaleLetter))
            return nullptr;
        if (loaded.size() >= kKept)
            loaded.erase(loaded.begin());
        loaded.emplace_back(db.Serial(), std::move(data));
        it = std::prev(loaded.end());
    }
    it->second->Matcher.SetStrong(AppContext::Current().Options.ImportBLSStrong);
    return it->second.get();
}

std::function<long(const std::string&)> FoodKeyMatcher(Database& db)
{
    Nutrition* nutrition = NutritionOf(db);
    if (!nutrition)
        return {};
    return [nutrition](const std::string& text) { return nutrition->Matcher.MatchFoodForIngredient(text); };
}

void FoodNamesChanged(Database& db)
{
    for (auto& [serial, data] : Loaded())
        if (serial == db.Serial())
            data->Matcher.Invalidate();
}

void ForgetNutrition()
{
    Loaded().clear();
}

} // namespace pf
