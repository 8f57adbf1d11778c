#include "geodesy/PointTransformPool.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace geodesy {

namespace {

// Below this many points a run is over before other threads would start.
constexpr std::size_t parallelPoints = 8192;

} // namespace

struct PointTransformPool::Shared {
    TransformParams params;
    std::vector<std::unique_ptr<PointTransform>> transforms; // one per thread, the caller's first
    std::vector<std::thread> threads;

    std::mutex mutex;
    std::condition_variable wake, finished;
    bool stopping = false;
    // The batch: its number, its work and its blocks (under the mutex).
    std::uint32_t generation = 0;
    const Work *work = nullptr;
    std::size_t count = 0, block = 1, blocks = 0;
    // The batch's number and its next block in one word, so that a thread
    // still holding an earlier batch takes no block of a later one.
    std::atomic<std::uint64_t> ticket{0};
    std::atomic<std::size_t> done{0};
    std::exception_ptr failure;
    bool ownReady = false;
    QString failedSetUp; // of a further thread's transform

    // The work is reached only through a block of its own batch, which
    // cannot be taken once the batch is over (and the work gone).
    void takeBlocks(std::uint32_t batch, PointTransform &t, const Work *w, std::size_t n, std::size_t size,
                    std::size_t total)
    {
        std::uint64_t seen = ticket.load();
        for (;;) {
            if (seen >> 32 != batch || (seen & 0xffffffffu) >= total)
                return;
            if (!ticket.compare_exchange_weak(seen, seen + 1))
                continue;
            const std::size_t b = seen & 0xffffffffu;
            try {
                (*w)(t, b * size, std::min(n, (b + 1) * size));
            } catch (...) {
                const std::lock_guard lock(mutex);
                if (!failure)
                    failure = std::current_exception();
            }
            if (done.fetch_add(1) + 1 == total) {
                const std::lock_guard lock(mutex);
                finished.notify_all();
            }
            seen = ticket.load();
        }
    }

    void serve(PointTransform &t)
    {
        std::uint32_t seen = 0;
        for (;;) {
            std::unique_lock lock(mutex);
            wake.wait(lock, [&] { return stopping || generation != seen; });
            if (stopping)
                return;
            seen = generation;
            const Work *w = work;
            const std::size_t n = count, size = block, total = blocks;
            lock.unlock();
            takeBlocks(seen, t, w, n, size, total);
        }
    }
};

PointTransformPool::PointTransformPool(TransformParams params) : s_(std::make_unique<Shared>())
{
    s_->params = std::move(params);
    s_->transforms.push_back(std::make_unique<PointTransform>(s_->params));
}

PointTransformPool::~PointTransformPool()
{
    {
        const std::lock_guard lock(s_->mutex);
        s_->stopping = true;
    }
    s_->wake.notify_all();
    for (std::thread &t : s_->threads)
        t.join();
}

bool PointTransformPool::setUp(int threads)
{
    if (!s_->ownReady) {
        if (!s_->transforms.front()->setUp())
            return false;
        s_->ownReady = true;
    }
    // Each further thread starts once its transform is ready.
    while (static_cast<int>(s_->transforms.size()) < threads) {
        auto t = std::make_unique<PointTransform>(s_->params);
        if (!t->setUp()) {
            s_->failedSetUp = t->error();
            return false;
        }
        s_->threads.emplace_back([s = s_.get(), own = t.get()] { s->serve(*own); });
        s_->transforms.push_back(std::move(t));
    }
    return true;
}

const QString &PointTransformPool::error() const
{
    return s_->failedSetUp.isEmpty() ? s_->transforms.front()->error() : s_->failedSetUp;
}

PointTransform &PointTransformPool::own() { return *s_->transforms.front(); }

int PointTransformPool::threads() const { return static_cast<int>(s_->transforms.size()); }

void PointTransformPool::forEach(std::size_t count, std::size_t block, const Work &work)
{
    if (count == 0)
        return;
    block = std::max<std::size_t>(block, 1);
    const std::size_t total = (count + block - 1) / block;
    std::uint32_t batch = 0;
    {
        const std::lock_guard lock(s_->mutex);
        batch = ++s_->generation;
        s_->work = &work;
        s_->count = count;
        s_->block = block;
        s_->blocks = total;
        s_->done = 0;
        s_->failure = nullptr;
        s_->ticket = std::uint64_t(batch) << 32;
    }
    if (!s_->threads.empty())
        s_->wake.notify_all();
    s_->takeBlocks(batch, own(), &work, count, block, total);
    std::exception_ptr failure;
    {
        std::unique_lock lock(s_->mutex);
        s_->finished.wait(lock, [&] { return s_->done.load() == total; });
        failure = s_->failure;
    }
    if (failure)
        std::rethrow_exception(failure);
}

int PointTransformPool::threadsFor(std::size_t points)
{
    if (points < parallelPoints)
        return 1;
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
}

} // namespace geodesy
