#include "series/resample_loop.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "series/value_sort.h"

namespace evstat {

namespace {
constexpr std::size_t kBatchResamples = 64;              // resamples drawn before they are stepped
constexpr std::size_t kBatchValues = std::size_t{1} << 20;  // values a batch holds at most
constexpr int kReservedResamples = 1 << 16;  // the values grow past this as they fill

// The next resamples, in draw order, into the batch's first slots (kept from one batch to
// the next); at most `left`, and fewer once the batch holds kBatchValues values. The count
// drawn, or -1 when a draw fails.
int draw_batch(const SeriesDraw& draw, int left, std::vector<Series>& batch) {
    std::size_t drawn = 0;
    std::size_t values = 0;
    while (drawn < batch.size() && static_cast<int>(drawn) < left && values < kBatchValues) {
        if (!draw(batch[drawn])) return -1;
        values += batch[drawn].size();
        ++drawn;
    }
    return static_cast<int>(drawn);
}

// Each resample of the batch on its own: sorted, then its step value into its slot.
void step_batch(const ResampleStep& step, int drawn, std::vector<Series>& batch,
                ValueSorter& sorter, std::vector<double>& slots) {
    for (int i = 0; i < drawn; ++i) {
        Series& resample = batch[static_cast<std::size_t>(i)];
        sorter.sort(resample);
        slots[static_cast<std::size_t>(i)] = step(resample);
    }
}
}  // namespace

bool resampled_values(int B, const SeriesDraw& draw, const ResampleStep& step, Series& values) {
    values.clear();
    if (B < 1) return false;
    values.reserve(static_cast<std::size_t>(std::min(B, kReservedResamples)));
    std::vector<Series> batch(kBatchResamples);
    std::vector<double> slots(kBatchResamples);
    ValueSorter sorter;
    for (int done = 0; done < B;) {
        const int drawn = draw_batch(draw, B - done, batch);
        if (drawn < 0) return false;
        step_batch(step, drawn, batch, sorter, slots);
        for (int i = 0; i < drawn; ++i)
            if (!std::isnan(slots[static_cast<std::size_t>(i)]))
                values.push_back(slots[static_cast<std::size_t>(i)]);
        done += drawn;
    }
    std::sort(values.begin(), values.end());
    return true;
}

}  // namespace evstat
