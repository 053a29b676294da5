#include "driver/task_support.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>

#include "estimation/estimate.h"

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

LawCode known_law(const NamedLaw& law) {
    if (law.code == LawCode::kUnknown) throw with_detail(Erreur::UnknownLaw, "loi \"" + law.name + "\"");
    return law.code;
}

void for_each_on_pool(WorkerPool& pool, std::size_t count,
                      const std::function<void(std::size_t)>& work) {
    pool.for_each(count, work);
}

NumberedFiles read_numbered_files(WorkerPool& pool, const std::string& directory) {
    const std::string first = numbered_data_file(directory, 1);
    if (!file_opens(first)) throw with_detail(Erreur::FileNotFound, first);
    int files = 1;
    while (files < kMostNumberedFiles && file_opens(numbered_data_file(directory, files + 1)))
        ++files;
    NumberedFiles numbered;
    numbered.kept.resize(static_cast<std::size_t>(files));
    std::atomic<long long> keptValues{0};
    for_each_on_pool(pool, numbered.kept.size(), [&](std::size_t at) {
        Series series;
        read_series(numbered_data_file(directory, static_cast<int>(at) + 1), series);
        const long long size = static_cast<long long>(series.size());
        if (keptValues.fetch_add(size) + size <= kKeptNumberedValues)
            numbered.kept[at] = std::move(series);
    });
    return numbered;
}

void NumberedFiles::take(const std::string& directory, int i, Series& series) {
    const std::size_t at = static_cast<std::size_t>(i - 1);
    if (at < kept.size() && kept[at]) {
        series = std::move(*kept[at]);
        kept[at].reset();
        return;
    }
    read_series(numbered_data_file(directory, i), series);
}

void require_curve_pairs_spare_parameter_file(const RunFiles& files, const CommonFrame& frame,
                                              int firstNumber, int count) {
    for (long long k = firstNumber; k < static_cast<long long>(firstNumber) + count; ++k) {
        for (const std::string& name : {curve_parameter_file(frame.directory, static_cast<int>(k)),
                                        curve_result_file(frame.directory, static_cast<int>(k))}) {
            if (files.is_parameter_file(name))
                throw with_detail(Erreur::ResultNotWritable,
                                  "la paire de courbes " + std::to_string(k) +
                                      " remplacerait le fichier de param\xc3\xa8tres " + name);
        }
    }
}

LawCode first_law_code(const LoadType2Parameters& p) {
    return p.laws.empty() ? known_law(NamedLaw{}) : known_law(p.laws.front());
}

void write_rates(const RunFiles& files, const std::string& resultFile, std::span<const double> decisions,
                 int i) {
    OutputFile out(files, resultFile, "w");
    const double m = mean(decisions);
    const double v = variance(decisions);
    print_value(out, (1.0 - m) * kPercent);
    print_value(out, m * kPercent);
    print_value(out, kPercent * std::sqrt(v / static_cast<double>(i)));
}

void append_points(Sample& to, const Sample& from) {
    for (const Point& point : from) to.push_back(point.x, point.y);
}

void read_sorted_series(const std::string& name, Series& series) {
    read_series(name, series);
    sort_ascending(series);
}

void estimate_for_test(std::span<const double> series, LawCode code, ValueList& parameters) {
    ValueList estimates;
    const int n = size_of(series);
    if (code == LawCode::kGpd && has_non_positive(series)) {
        estimates.push_back(0.0);
        estimates.push_back(0.0);
    } else {
        estimate_law(series, code, n, estimates);
    }
    for (double value : estimates) parameters.push_back(value);
}

bool all_estimates_zero(const ValueList& estimates) {
    return std::all_of(estimates.begin(), estimates.end(), [](double v) { return v == 0.0; });
}

bool defined_over_non_positive(LawCode code) {
    return code == LawCode::kUniform || code == LawCode::kNormal || code == LawCode::kStudent;
}

std::string formatted(double value) {
    return format_number(value);
}

void write_summary(OutputFile& out, const std::string& theoreticalMean, double mean,
                   const std::string& theoreticalVariance, double variance, std::span<const double> sorted,
                   int n) {
    print_text(out, theoreticalMean);
    print_value(out, mean);
    print_text(out, theoreticalVariance);
    print_value(out, variance);
    print_value(out, lower_quartile(sorted, n));
    print_value(out, upper_quartile(sorted, n));
    print_value(out, median(sorted, n));
}

}  // namespace evstat
