// The adapters' conversions between the module's arrays and the core's parameter lists.
#pragma once

#include <span>
#include <vector>

#include "series/lists.h"

namespace evstat::binding {

inline ValueList value_list(std::span<const double> values) {
    ValueList list;
    for (double v : values) list.push_back(v);
    return list;
}

inline std::vector<double> values_of(const ValueList& list) { return {list.begin(), list.end()}; }

}  // namespace evstat::binding
