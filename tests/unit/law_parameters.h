// A law's parameter list written inline in a test table.
#pragma once

#include <initializer_list>
#include <vector>

#include "series/lists.h"

namespace evstat {

inline ValueList law_parameters(std::initializer_list<double> values) {
    ValueList list;
    for (double v : values) list.push_back(v);
    return list;
}

inline ValueList law_parameters(const std::vector<double>& values) {
    ValueList list;
    for (double v : values) list.push_back(v);
    return list;
}

}  // namespace evstat
