#pragma once
// Tells whoever shows recipes that recipes were saved, moved to the trash, deleted for good or
// taken back out of the trash, with their IDs, so that every open list and display follows.
// The recipe's own save, delete and restore send the news after their change is done; windows
// listen through a RecipeChangeSubscription for as long as they live. Single-threaded, like the
// windows that listen; a listener is called synchronously and must not throw.

#include <functional>
#include <vector>

namespace pf {

class Database;

enum class RecipeChangeKind { Saved, Trashed, Deleted, Restored };

struct RecipeChange
{
    RecipeChangeKind Kind = RecipeChangeKind::Saved;
    std::vector<long> IDs;
    const Database* Db = nullptr; // the database the recipes live in
};

// Sends the news to every listener, or keeps it while a RecipeChangeBatch is open.
void NotifyRecipeChange(RecipeChangeKind kind, std::vector<long> ids, const Database* db);

// Listens while it lives. Listeners added or removed while news is sent take effect with the
// next news; a removed listener is not called again.
class RecipeChangeSubscription
{
public:
    using Listener = std::function<void(const RecipeChange&)>;
    explicit RecipeChangeSubscription(Listener listener);
    ~RecipeChangeSubscription();
    RecipeChangeSubscription(const RecipeChangeSubscription&) = delete;
    RecipeChangeSubscription& operator=(const RecipeChangeSubscription&) = delete;

private:
    long m_token;
};

// Gathers the news of a long run (an import of thousands of recipes) and sends it once, one
// message per kind and database with the IDs in order of their first change, when the outermost
// batch ends.
class RecipeChangeBatch
{
public:
    RecipeChangeBatch();
    ~RecipeChangeBatch();
    RecipeChangeBatch(const RecipeChangeBatch&) = delete;
    RecipeChangeBatch& operator=(const RecipeChangeBatch&) = delete;
};

} // namespace pf
