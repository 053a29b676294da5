#include "driver/task_support.h"

#include <cmath>
#include <cstdio>

namespace evstat {

namespace {
constexpr double kPercent = 100.0;
}

bool file_opens(const std::string& name) {
    std::FILE* file = std::fopen(name.c_str(), "r");
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
}

LawCode law_code_or_fail(const std::string& name) {
    const LawCode code = law_code_from_name(name);
    if (code == kUnknownLaw) throw Erreur::UnknownLaw;
    return code;
}

LawCode first_law_code(const RunParameters& p) {
    return law_code_or_fail(p.lawNames.empty() ? std::string() : p.lawNames.front());
}

void write_rates(const std::string& resultFile, const Sample& decisions, int i) {
    OutputFile out(resultFile, "w");
    if (!out.is_open()) return;
    const double m = decisions.mean();
    const double v = decisions.variance();
    print_value(out.get(), (1.0 - m) * kPercent);
    print_value(out.get(), m * kPercent);
    print_value(out.get(), kPercent * std::sqrt(v / static_cast<double>(i)));
}

void append_points(Sample& to, const Sample& from) {
    for (const Point& point : from) to.push_back(point.x, point.y);
}

}  // namespace evstat
