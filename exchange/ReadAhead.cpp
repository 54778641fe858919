#include "exchange/ReadAhead.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace pf {

namespace {

using Call = std::function<void(MMImportSink&)>;

// The sink the reader sees: each of its calls waits in the queue for the real sink. Calls whose
// answer the reader needs (a Mensax file taken over, a lookup) wait for that answer.
class QueueSink : public MMImportSink
{
public:
    // capacity: calls waiting at most, counted in whole chunks.
    QueueSink(const MMImportSink& target, std::size_t capacity)
        : m_target(target), m_capacity(std::max<std::size_t>(1, capacity / kChunk))
    {
    }

    // --- the reader's thread ----------------------------------------------------------------
    long StoreRecipe(ImportRecipe& recipe) override
    {
        // What needs no database is worked out here, beside the storing.
        m_target.PrepareRecipe(recipe);
        Push([this, r = std::move(recipe)](MMImportSink& target) mutable { m_lastStored = target.StoreRecipe(r); });
        // The ID is known once the real sink has stored the recipe; the reader only needs to
        // know that an information block after it belongs to it.
        return kQueuedId;
    }
    void StoreInfoBlock(long /*recipeId*/, const MMInfoBlock& block) override
    {
        Push([this, block](MMImportSink& target) {
            if (m_lastStored != 0)
                target.StoreInfoBlock(m_lastStored, block);
        });
    }
    long StoreMenu(ImportMenu& menu) override
    {
        return Answer<long>([&](MMImportSink& target) { return target.StoreMenu(menu); }, 0);
    }
    bool Cancelled() override { return m_stopped; }
    void ReadProblem(const std::string& file, long line, const std::string& reason, bool lost) override
    {
        Push([=](MMImportSink& target) { target.ReadProblem(file, line, reason, lost); });
    }
    bool ImportMensax(const ImportText& file) override
    {
        return Answer<bool>([&](MMImportSink& target) { return target.ImportMensax(file); }, false);
    }
    long RecipeByFingerprint(std::int32_t fp1, std::int32_t fp2) override
    {
        return Answer<long>([&](MMImportSink& target) { return target.RecipeByFingerprint(fp1, fp2); }, 0);
    }
    long FoodKeyByCode(const std::string& code) override
    {
        return Answer<long>([&](MMImportSink& target) { return target.FoodKeyByCode(code); }, 0);
    }
    void ReadInfo(const std::string& text) override
    {
        Push([text](MMImportSink& target) { target.ReadInfo(text); });
    }
    void Progress(std::size_t done, std::size_t total) override
    {
        Push([=](MMImportSink& target) { target.Progress(done, total); });
    }
    // The reader has returned: nothing more comes.
    void Close()
    {
        Hand();
        const std::lock_guard lock(m_mutex);
        m_closed = true;
        m_ready.notify_all();
    }

    // --- the storing thread -----------------------------------------------------------------
    // The next calls in order; none once the reader has returned and every call was taken.
    std::vector<Call> Pop()
    {
        std::unique_lock lock(m_mutex);
        m_ready.wait(lock, [&] { return m_closed || !m_chunks.empty(); });
        if (m_chunks.empty())
            return {};
        std::vector<Call> calls = std::move(m_chunks.front());
        m_chunks.pop_front();
        m_space.notify_one();
        return calls;
    }
    // The real sink takes nothing more: waiting calls are dropped and the reader stops at its
    // next look at Cancelled.
    void Stop()
    {
        const std::lock_guard lock(m_mutex);
        m_stopped = true;
        m_chunks.clear();
        m_space.notify_all();
        m_answered.notify_all();
    }

private:
    static constexpr long kQueuedId = 1;
    static constexpr std::size_t kChunk = 64;

    // Calls go over in chunks, so that the two threads meet once per chunk rather than once per
    // call. False when the call was dropped because the real sink takes nothing more.
    bool Push(Call call)
    {
        if (m_stopped)
            return false;
        m_local.push_back(std::move(call));
        if (m_local.size() >= kChunk)
            return Hand();
        return true;
    }

    // Hands the calls gathered so far over to the storing thread.
    bool Hand()
    {
        if (m_local.empty())
            return !m_stopped;
        std::unique_lock lock(m_mutex);
        m_space.wait(lock, [&] { return m_stopped || m_chunks.size() < m_capacity; });
        if (m_stopped) {
            m_local.clear();
            return false;
        }
        m_chunks.push_back(std::move(m_local));
        m_local.clear();
        m_ready.notify_one();
        return true;
    }

    // Queues a call and waits for its answer; `stopped` when the real sink takes nothing more.
    template <typename T>
    T Answer(const std::function<T(MMImportSink&)>& ask, T stopped)
    {
        bool done = false;
        T answer = stopped;
        const bool queued = Push([&](MMImportSink& target) {
            T value = ask(target);
            const std::lock_guard lock(m_mutex);
            answer = value;
            done = true;
            m_answered.notify_all();
        }) && Hand();
        if (!queued)
            return stopped;
        std::unique_lock lock(m_mutex);
        m_answered.wait(lock, [&] { return done || m_stopped; });
        return done ? answer : stopped;
    }

    const MMImportSink& m_target;
    const std::size_t m_capacity;
    std::mutex m_mutex;
    std::condition_variable m_ready;    // a call waits, or the reader returned
    std::condition_variable m_space;    // the queue has room, or the sink stopped
    std::condition_variable m_answered; // an answer came, or the sink stopped
    std::deque<std::vector<Call>> m_chunks;
    std::vector<Call> m_local; // the reader's calls not yet handed over (reading thread only)
    bool m_closed = false;
    std::atomic<bool> m_stopped = false;
    long m_lastStored = 0; // the real sink's ID of the recipe stored last (storing thread only)
};

} // namespace

long ReadAhead(MMImport& reader, const ImportText& file, MMImportSink& target, std::size_t capacity)
{
    QueueSink queue(target, capacity);
    long count = 0;
    std::exception_ptr readFailure;
    std::thread reading([&] {
        try {
            count = reader.ReadFile(file, queue);
        } catch (...) {
            readFailure = std::current_exception();
        }
        queue.Close();
    });
    // However this thread leaves, the reader is stopped and waited for first.
    struct Join
    {
        QueueSink& Queue;
        std::thread& Thread;
        ~Join()
        {
            Queue.Stop();
            Thread.join();
        }
    } join{queue, reading};
    for (std::vector<Call> calls = queue.Pop(); !calls.empty(); calls = queue.Pop())
        for (Call& call : calls) {
            call(target);
            if (target.Cancelled()) {
                queue.Stop();
                break;
            }
        }
    if (readFailure)
        std::rethrow_exception(readFailure);
    return count;
}

} // namespace pf
