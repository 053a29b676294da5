// The threads a study hands its independent pieces of work to: a resample's sort, refit and
// statistic, a numbered file's reading and test. The draws are made in their order, by one
// thread at a time (the caller's, or the resampling loop's threads in turn, each taking the
// generator from the one before); each piece writes its own slot, and the slots are read back
// in order, so the files are the same bytes whatever the number of threads.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace evstat {

constexpr int kMostThreads = 64;  // a larger request is cut to this

// The number of threads a run uses: `requested` (the text of EVSTAT_THREADS, or null when it
// is not set) read as a whole number from 1 to kMostThreads, a larger number cut to
// kMostThreads; when it is absent or not such a number, `machine` (at least 1).
int thread_count(const char* requested, unsigned machine);

class WorkerPool {
public:
    // threads - 1 workers; the calling thread is the last one. 1 (or less) runs every piece on
    // the calling thread, in order.
    explicit WorkerPool(int threads = 1);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    int threads() const { return static_cast<int>(workers_.size()) + 1; }

    // Calls work(i) once for every i in [0, count) and returns when all have returned. The
    // pieces run in any order on any thread, so each writes only its own slot. When pieces
    // throw, the exception of the lowest i is rethrown (the one a single thread meets first,
    // and stops at); whether pieces after it ran is not said. A call made from inside a piece
    // runs on that piece's thread, in order.
    void for_each(std::size_t count, const std::function<void(std::size_t)>& work);

private:
    struct Job {
        const std::function<void(std::size_t)>* work = nullptr;
        std::size_t count = 0;
        std::size_t chunk = 1;
        std::size_t next = 0;        // first index not yet handed out
        std::size_t unfinished = 0;  // chunks handed out or waiting, not yet done
        std::size_t failedAt = 0;
        std::exception_ptr failure;
    };

    void serve();
    // Runs chunks of the current job until none is left; false when there was none.
    bool run_chunks(std::unique_lock<std::mutex>& lock);

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable jobReady_;
    std::condition_variable jobDone_;
    Job job_;
    bool busy_ = false;  // a job is running: a nested call runs in order
    // Changed under the mutex; read without it by a thread that spins.
    std::atomic<unsigned long long> generation_{0};  // counts the jobs, so a worker takes each one once
    std::atomic<std::size_t> pending_{0};            // the job's chunks not yet done
    std::atomic<bool> stopping_{false};
};

}  // namespace evstat
