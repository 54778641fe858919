#include "model/RecipeChanges.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

namespace pf {

namespace {

struct Registry
{
    std::map<long, RecipeChangeSubscription::Listener> Listeners;
    long NextToken = 1;
    int BatchDepth = 0;
    std::vector<RecipeChange> Pending;
};

Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}

void Send(const RecipeChange& change)
{
    Registry& registry = TheRegistry();
    std::vector<long> tokens;
    for (const auto& entry : registry.Listeners)
        tokens.push_back(entry.first);
    for (long token : tokens) {
        // A listener may close a window and with it another listener.
        const auto found = registry.Listeners.find(token);
        if (found == registry.Listeners.end())
            continue;
        const RecipeChangeSubscription::Listener listener = found->second;
        listener(change);
    }
}

// Merges the kept news: one change per kind and database, each ID once.
std::vector<RecipeChange> Merged(const std::vector<RecipeChange>& pending)
{
    std::vector<RecipeChange> merged;
    std::map<std::pair<int, const Database*>, std::pair<std::size_t, std::set<long>>> index;
    for (const RecipeChange& change : pending) {
        const auto key = std::make_pair(static_cast<int>(change.Kind), change.Db);
        auto found = index.find(key);
        if (found == index.end()) {
            found = index.emplace(key, std::make_pair(merged.size(), std::set<long>{})).first;
            merged.push_back({change.Kind, {}, change.Db});
        }
        for (long id : change.IDs)
            if (found->second.second.insert(id).second)
                merged[found->second.first].IDs.push_back(id);
    }
    return merged;
}

} // namespace

void NotifyRecipeChange(RecipeChangeKind kind, std::vector<long> ids, const Database* db)
{
    if (ids.empty())
        return;
    Registry& registry = TheRegistry();
    RecipeChange change{kind, std::move(ids), db};
    if (registry.BatchDepth > 0) {
        registry.Pending.push_back(std::move(change));
        return;
    }
    Send(change);
}

RecipeChangeSubscription::RecipeChangeSubscription(Listener listener) : m_token(TheRegistry().NextToken++)
{
    TheRegistry().Listeners.emplace(m_token, std::move(listener));
}

RecipeChangeSubscription::~RecipeChangeSubscription()
{
    TheRegistry().Listeners.erase(m_token);
}

RecipeChangeBatch::RecipeChangeBatch()
{
    ++TheRegistry().BatchDepth;
}

RecipeChangeBatch::~RecipeChangeBatch()
{
    Registry& registry = TheRegistry();
    if (--registry.BatchDepth > 0)
        return;
    const std::vector<RecipeChange> merged = Merged(registry.Pending);
    registry.Pending.clear();
    try {
        for (const RecipeChange& change : merged)
            Send(change);
    } catch (...) {
        // A destructor never throws; listeners are not supposed to either.
    }
}

} // namespace pf
