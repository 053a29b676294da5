#include "series/resample_loop.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cmath>
#include <cstddef>
#include <mutex>
#include <vector>

#include "parallel/spin_wait.h"
#include "series/value_sort.h"

namespace evstat {

namespace {
constexpr std::size_t kChunkValues = 1024;        // values of a chunk's resamples, about
constexpr std::size_t kMostChunkResamples = 64;   // resamples of a chunk at most
constexpr std::size_t kChunksPerThread = 4;       // chunks in flight per thread, at most
constexpr std::size_t kValuesInFlight = 1 << 16;  // values the chunks in flight hold, about
// How long a thread with nothing to do spins before it sleeps, in checks (some 20 us): a
// chunk's draw takes less.
constexpr int kIdleSpinChecks = 2048;

// Consecutive resamples, from the first-th: their storage kept from one chunk to the next.
struct Chunk {
    std::vector<Series> resamples = std::vector<Series>(kMostChunkResamples);
    std::size_t first = 0;
    int count = 0;
};

// What one thread of the loop works with: its own step and its own sorter.
struct Part {
    ResampleStep step;
    ValueSorter sorter;
};

// The B resamples in chunks of consecutive draws, each held by a slot of a pool of chunks.
// A thread of the loop takes the first chunk drawn and not yet taken, finishes, sorts and
// steps each of its resamples, writes each step value at the resample's own place, and
// frees the slot; when no chunk waits, it draws the next into a free slot, unless another
// thread is drawing (so the draws are made in their order, one after the other, never two
// at once). Each thread thus mostly steps the chunk it has just drawn, while its values are
// at hand. A thread that finds nothing to do waits for another to draw or step a chunk.
class ChunkLoop {
public:
    ChunkLoop(std::size_t threads, int B, const SeriesDraw& draw, const SeriesFinish& finish,
              Series& values)
        : B_(static_cast<std::size_t>(B)),
          slots_(threads * kChunksPerThread),
          waiting_(slots_.size()),
          draw_(draw),
          finish_(finish),
          values_(values) {
        values_.assign(B_, 0.0);
    }

    // Draws the first chunk on this thread, then sets from its values how many slots the
    // loop uses. False when a draw failed.
    bool start() {
        std::unique_lock<std::mutex> lock(mutex_);
        free_.push_back(0);
        draw_next(lock);
        std::size_t held = 0;
        const Chunk& first = slots_[0];
        for (int i = 0; i < first.count; ++i) held += first.resamples[static_cast<std::size_t>(i)].size();
        const std::size_t used = std::clamp<std::size_t>(
            kValuesInFlight / std::max<std::size_t>(held, 1), 2, slots_.size());
        for (std::size_t slot = used - 1; slot >= 1; --slot) free_.push_back(slot);
        return !failed_;
    }

    // The work of one thread, until every chunk is drawn and taken or a draw has failed.
    void run(Part& part) {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            if (failed_ || (drawnResamples_ == B_ && queued_ == 0)) return;
            const bool canDraw = !drawing_ && drawnResamples_ < B_ && !free_.empty();
            if (queued_ > 0)
                step_next(lock, part);
            else if (canDraw)
                draw_next(lock);
            else  // another thread is drawing, or every slot holds a chunk being stepped
                wait_for_progress(lock);
        }
    }

    bool failed() const { return failed_; }

private:
    // Draws the next chunk into a free slot, the lock released meanwhile: resamples until
    // it holds kChunkValues values or kMostChunkResamples resamples, or B are drawn.
    void draw_next(std::unique_lock<std::mutex>& lock) {
        const std::size_t slot = free_.back();
        free_.pop_back();
        Chunk& chunk = slots_[slot];
        chunk.first = drawnResamples_;
        const std::size_t left = B_ - drawnResamples_;
        drawing_ = true;
        lock.unlock();
        std::size_t count = 0;
        bool ok = true;
        try {
            std::size_t held = 0;
            while (count < left && count < kMostChunkResamples && held < kChunkValues) {
                Series& resample = chunk.resamples[count];
                ok = draw_(resample);
                if (!ok) break;
                held += resample.size();
                ++count;
            }
        } catch (...) {
            lock.lock();
            fail();
            throw;
        }
        lock.lock();
        drawing_ = false;
        chunk.count = static_cast<int>(count);
        if (ok) {
            drawnResamples_ += count;
            waiting_[(head_ + queued_) % waiting_.size()] = slot;
            ++queued_;
        } else {
            failed_ = true;
        }
        made_progress();
    }

    // Finishes, sorts and steps the first chunk drawn and not taken, the lock released
    // meanwhile.
    void step_next(std::unique_lock<std::mutex>& lock, Part& part) {
        const std::size_t slot = waiting_[head_];
        head_ = (head_ + 1) % waiting_.size();
        --queued_;
        Chunk& chunk = slots_[slot];
        lock.unlock();
        try {
            for (int i = 0; i < chunk.count; ++i) {
                Series& resample = chunk.resamples[static_cast<std::size_t>(i)];
                if (finish_) finish_(resample);
                part.sorter.sort(resample);
                values_[chunk.first + static_cast<std::size_t>(i)] = part.step(resample);
            }
        } catch (...) {
            lock.lock();
            fail();
            throw;
        }
        lock.lock();
        free_.push_back(slot);
        made_progress();
    }

    // A draw or a step that throws stops every thread (the exception goes on to the pool).
    void fail() {
        failed_ = true;
        drawing_ = false;
        made_progress();
    }

    // Called with the lock held, after a chunk is drawn or stepped.
    void made_progress() {
        progress_.fetch_add(1, std::memory_order_release);
        if (sleepers_ > 0) progressMade_.notify_all();
    }

    // Returns, the lock held again, once another thread has drawn or stepped a chunk: that
    // thread is at work on one, so the wait ends. A short spin first (the wait is mostly
    // short), then asleep.
    void wait_for_progress(std::unique_lock<std::mutex>& lock) {
        const unsigned seen = progress_.load(std::memory_order_relaxed);
        lock.unlock();
        spin_until(kIdleSpinChecks, [&] { return progress_.load(std::memory_order_acquire) != seen; });
        lock.lock();
        ++sleepers_;
        progressMade_.wait(lock, [&] { return progress_.load(std::memory_order_relaxed) != seen; });
        --sleepers_;
    }

    const std::size_t B_;
    std::vector<Chunk> slots_;
    // The slots of the chunks drawn and not taken, in draw order: queued_ of them from head_
    // on, round the end of the array (guarded by the lock).
    std::vector<std::size_t> waiting_;
    const SeriesDraw& draw_;
    const SeriesFinish& finish_;
    Series& values_;  // the step value of each resample, at its place

    std::mutex mutex_;
    std::vector<std::size_t> free_;  // slots holding no chunk
    std::size_t head_ = 0;
    std::size_t queued_ = 0;
    std::size_t drawnResamples_ = 0;
    bool drawing_ = false;
    bool failed_ = false;
    std::atomic<unsigned> progress_{0};  // changed under the lock, read without it while spinning
    std::condition_variable progressMade_;
    int sleepers_ = 0;  // threads asleep on progressMade_
};

// Sorts the values ascending, leaving the bytes std::sort leaves: with every value finite
// and no zero of each sign, values that compare equal have the same bits, so any correct
// sort leaves the same bytes, and the sorter's bucket sort (linear in time) is used.
void sort_values(ValueSorter& sorter, Series& values) {
    bool finite = true, negativeZero = false, positiveZero = false;
    for (const double v : values) {
        finite &= std::isfinite(v);
        negativeZero |= v == 0.0 && std::signbit(v);
        positiveZero |= v == 0.0 && !std::signbit(v);
    }
    if (finite && !(negativeZero && positiveZero))
        sorter.sort(values);
    else
        std::sort(values.begin(), values.end());
}
}  // namespace

bool resampled_values(WorkerPool& pool, int B, const SeriesDraw& draw, const SeriesFinish& finish,
                      const StepMaker& makeStep, Series& values) {
    values.clear();
    if (B < 1) return false;
    const std::size_t threads = static_cast<std::size_t>(pool.threads());
    std::vector<Part> parts(threads);
    for (Part& part : parts) part.step = makeStep();
    ChunkLoop loop(threads, B, draw, finish, values);
    if (!loop.start()) return false;
    pool.for_each(threads, [&](std::size_t piece) { loop.run(parts[piece]); });
    if (loop.failed()) return false;
    values.erase(std::remove_if(values.begin(), values.end(), [](double v) { return std::isnan(v); }),
                 values.end());
    sort_values(parts[0].sorter, values);
    return true;
}

}  // namespace evstat
