#include "parallel/worker_pool.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "parallel/spin_wait.h"

namespace evstat {

// Chunks per thread of one job: enough that a slow chunk does not leave the others idle,
// few enough that handing them out costs nothing beside the work.
constexpr std::size_t kChunksPerThread = 8;

// How long a worker spins for the next job before it sleeps, and the caller for the workers'
// last chunks, in checks (some 100 us): longer than the gap between the jobs of a loop over
// files or resamples, so that a worker is seldom woken from sleep there.
constexpr int kJobSpinChecks = 8192;

int thread_count(const char* requested, unsigned machine) {
    const int fallback = static_cast<int>(std::clamp(machine, 1u, static_cast<unsigned>(kMostThreads)));
    if (requested == nullptr) return fallback;
    const char* end = requested + std::strlen(requested);
    long long value = 0;
    const auto [stop, error] = std::from_chars(requested, end, value);
    if (error == std::errc::result_out_of_range && stop == end && *requested != '-') return kMostThreads;
    if (error != std::errc() || stop != end || value < 1) return fallback;
    return static_cast<int>(std::min<long long>(value, kMostThreads));
}

WorkerPool::WorkerPool(int threads) {
    const int workers = std::clamp(threads, 1, kMostThreads) - 1;
    workers_.reserve(static_cast<std::size_t>(workers));
    for (int i = 0; i < workers; ++i) workers_.emplace_back([this] { serve(); });
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    jobReady_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

void WorkerPool::for_each(std::size_t count, const std::function<void(std::size_t)>& work) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (workers_.empty() || busy_ || count < 2) {
        lock.unlock();
        for (std::size_t i = 0; i < count; ++i) work(i);
        return;
    }
    busy_ = true;
    const std::size_t chunks = static_cast<std::size_t>(threads()) * kChunksPerThread;
    job_ = Job{&work, count, std::max<std::size_t>(1, (count + chunks - 1) / chunks), 0, 0, 0, nullptr};
    job_.unfinished = (count + job_.chunk - 1) / job_.chunk;
    pending_.store(job_.unfinished, std::memory_order_relaxed);
    generation_.fetch_add(1, std::memory_order_release);
    jobReady_.notify_all();
    run_chunks(lock);
    if (job_.unfinished != 0) {  // the workers' last chunks are mostly short: spin first
        lock.unlock();
        spin_until(kJobSpinChecks, [this] { return pending_.load(std::memory_order_acquire) == 0; });
        lock.lock();
    }
    jobDone_.wait(lock, [this] { return job_.unfinished == 0; });
    busy_ = false;
    std::exception_ptr failure = job_.failure;
    job_ = Job{};
    lock.unlock();
    if (failure) std::rethrow_exception(failure);
}

bool WorkerPool::run_chunks(std::unique_lock<std::mutex>& lock) {
    bool ran = false;
    while (job_.work != nullptr && job_.next < job_.count) {
        const std::size_t first = job_.next;
        const std::size_t last = std::min(job_.count, first + job_.chunk);
        job_.next = last;
        const auto* work = job_.work;
        lock.unlock();
        std::exception_ptr failure;
        std::size_t failedAt = 0;
        for (std::size_t i = first; i < last; ++i) {
            try {
                (*work)(i);
            } catch (...) {
                if (!failure) {
                    failure = std::current_exception();
                    failedAt = i;
                }
            }
        }
        lock.lock();
        if (failure && (!job_.failure || failedAt < job_.failedAt)) {
            job_.failure = failure;
            job_.failedAt = failedAt;
        }
        ran = true;
        pending_.store(--job_.unfinished, std::memory_order_release);
        if (job_.unfinished == 0) jobDone_.notify_all();
    }
    return ran;
}

void WorkerPool::serve() {
    unsigned long long seen = 0;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        // The next job mostly follows soon after this one: spin a while before sleeping.
        lock.unlock();
        spin_until(kJobSpinChecks, [&] {
            return generation_.load(std::memory_order_acquire) != seen ||
                   stopping_.load(std::memory_order_relaxed);
        });
        lock.lock();
        jobReady_.wait(lock, [&] {
            return stopping_.load(std::memory_order_relaxed) ||
                   generation_.load(std::memory_order_relaxed) != seen;
        });
        if (stopping_.load(std::memory_order_relaxed)) return;
        seen = generation_.load(std::memory_order_relaxed);
        run_chunks(lock);
    }
}

}  // namespace evstat
