// The threads a study hands its independent pieces of work to: a resample's sort, refit and
// statistic, a numbered file's reading and test. The draws are never made here: the caller
// makes them in their order on its own thread, hands each piece its own slot, and reads the
// slots back in order, so the files are the same bytes whatever the number of threads.
#pragma once

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
    unsigned long long generation_ = 0;  // counts the jobs, so a worker takes each one once
    bool busy_ = false;                  // a job is running: a nested call runs in order
    bool stopping_ = false;
};

}  // namespace evstat
