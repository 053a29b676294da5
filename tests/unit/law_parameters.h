// A law's parameter list written inline in a test table, and a law's code in a message.
#pragma once

#include <initializer_list>
#include <ostream>
#include <vector>

#include "laws/catalogue.h"
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

inline std::ostream& operator<<(std::ostream& out, LawCode code) {
    return out << law_code_number(code);
}

}  // namespace evstat
