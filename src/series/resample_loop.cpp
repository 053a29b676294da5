#include "series/resample_loop.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "series/value_sort.h"

namespace evstat {

namespace {
constexpr std::size_t kBatchResamples = 256;  // resamples drawn before they are stepped
constexpr std::size_t kBatchValues = std::size_t{1} << 18;  // values a batch holds at most
constexpr int kReservedResamples = 1 << 16;  // the values grow past this as they fill
constexpr std::size_t kPartsPerThread = 4;   // parts of a batch per thread, so none waits long

// One batch: its resamples (their storage kept from one batch to the next), how many of
// them were drawn (-1 when a draw failed), and the step value of each.
struct Batch {
    std::vector<Series> resamples = std::vector<Series>(kBatchResamples);
    std::vector<double> slots = std::vector<double>(kBatchResamples);
    int drawn = 0;
};

// What a part of a batch works with: its own step and its own sorter.
struct Part {
    ResampleStep step;
    ValueSorter sorter;
};

// The next resamples, in draw order, into the batch's first slots; at most `left`, and
// fewer once the batch holds kBatchValues values. The count drawn, or -1 when a draw fails.
int draw_batch(const SeriesDraw& draw, int left, Batch& batch) {
    std::size_t drawn = 0;
    std::size_t values = 0;
    while (drawn < batch.resamples.size() && static_cast<int>(drawn) < left &&
           values < kBatchValues) {
        if (!draw(batch.resamples[drawn])) return -1;
        values += batch.resamples[drawn].size();
        ++drawn;
    }
    return static_cast<int>(drawn);
}

// The resamples [first, last) of the batch, each finished and sorted, then its step value
// into its slot.
void step_part(const SeriesFinish& finish, Part& part, std::size_t first, std::size_t last,
               Batch& batch) {
    for (std::size_t i = first; i < last; ++i) {
        Series& resample = batch.resamples[i];
        if (finish) finish(resample);
        part.sorter.sort(resample);
        batch.slots[i] = part.step(resample);
    }
}

void collect(const Batch& batch, Series& values) {
    for (int i = 0; i < batch.drawn; ++i)
        if (!std::isnan(batch.slots[static_cast<std::size_t>(i)]))
            values.push_back(batch.slots[static_cast<std::size_t>(i)]);
}
}  // namespace

bool resampled_values(WorkerPool& pool, int B, const SeriesDraw& draw, const SeriesFinish& finish,
                      const StepMaker& makeStep, Series& values) {
    values.clear();
    if (B < 1) return false;
    values.reserve(static_cast<std::size_t>(std::min(B, kReservedResamples)));
    std::vector<Part> parts(static_cast<std::size_t>(pool.threads()) * kPartsPerThread);
    for (Part& part : parts) part.step = makeStep();
    Batch batches[2];
    Batch* ready = &batches[0];
    Batch* next = &batches[1];
    ready->drawn = draw_batch(draw, B, *ready);
    int done = std::max(ready->drawn, 0);
    while (ready->drawn > 0) {
        // Piece 0 draws the next batch while the others step this one: the draws stay in
        // their order, made by one piece after the other, never two at once.
        const int left = B - done;
        const std::size_t count = static_cast<std::size_t>(ready->drawn);
        pool.for_each(parts.size() + 1, [&](std::size_t piece) {
            if (piece == 0) {
                next->drawn = left > 0 ? draw_batch(draw, left, *next) : 0;
                return;
            }
            const std::size_t p = piece - 1;
            step_part(finish, parts[p], count * p / parts.size(), count * (p + 1) / parts.size(),
                      *ready);
        });
        collect(*ready, values);
        done += std::max(next->drawn, 0);
        std::swap(ready, next);
    }
    if (ready->drawn < 0) return false;
    std::sort(values.begin(), values.end());
    return true;
}

}  // namespace evstat
