// The worker pool: every piece runs once whatever the number of threads, the failure a
// single thread meets first is the one reported, and EVSTAT_THREADS is read safely.
#include "parallel/worker_pool.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace evstat {
namespace {

TEST(WorkerPool, EveryPieceRunsOnceIntoItsOwnSlot) {
    for (int threads : {1, 2, 3, 8}) {
        WorkerPool pool(threads);
        EXPECT_EQ(pool.threads(), threads);
        for (std::size_t count : {0u, 1u, 2u, 7u, 1000u}) {
            std::vector<int> calls(count, 0);
            pool.for_each(count, [&](std::size_t i) { ++calls[i]; });
            EXPECT_EQ(calls, std::vector<int>(count, 1)) << threads << " threads, " << count;
        }
    }
}

TEST(WorkerPool, TheLowestFailingPieceIsReported) {
    for (int threads : {1, 2, 8}) {
        WorkerPool pool(threads);
        try {
            pool.for_each(500, [&](std::size_t i) {
                if (i == 41 || i == 42 || i == 499) throw std::runtime_error(std::to_string(i));
            });
            ADD_FAILURE() << "no failure reported";
        } catch (const std::runtime_error& failure) {
            EXPECT_STREQ(failure.what(), "41") << threads << " threads";
        }
        // The pool is usable after a failure, and a piece may itself ask the pool for work.
        std::vector<int> inner(40, 0);
        pool.for_each(4, [&](std::size_t i) {
            pool.for_each(10, [&](std::size_t j) { inner[i * 10 + j] += 1; });
        });
        EXPECT_EQ(inner, std::vector<int>(40, 1));
    }
}

TEST(WorkerPool, ThreadCountFromTheEnvironment) {
    struct Row { const char* text; unsigned machine; int expected; };
    const Row rows[] = {
        {nullptr, 4, 4}, {nullptr, 0, 1}, {nullptr, 1000, kMostThreads},
        {"1", 8, 1}, {"3", 2, 3}, {"64", 2, 64}, {"65", 2, kMostThreads},
        {"99999999999999999999999", 2, kMostThreads},
        {"0", 2, 2}, {"-3", 2, 2}, {"", 2, 2}, {"two", 2, 2}, {"2x", 2, 2}, {" 2", 2, 2},
        {"-99999999999999999999999", 2, 2},
    };
    for (const Row& row : rows)
        EXPECT_EQ(thread_count(row.text, row.machine), row.expected) << (row.text ? row.text : "unset");
}

}  // namespace
}  // namespace evstat
