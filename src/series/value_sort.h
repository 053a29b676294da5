// Ascending sort of a contiguous series of values, for the loops that sort thousands of
// short series: the same order as sort_ascending (a NaN is placed as that sort places
// it), with its scratch space kept from one series to the next.
#pragma once

#include <cstdint>
#include <vector>

#include "series/series.h"

namespace evstat {

class ValueSorter {
public:
    void sort(Series& values);

private:
    void bucket_sort(Series& values, double lowest, double scale);

    std::vector<double> spare_;
    std::vector<std::uint32_t> buckets_;
    std::vector<std::uint32_t> starts_;
};

}  // namespace evstat
