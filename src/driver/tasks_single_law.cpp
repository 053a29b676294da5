// Tasks of LoadType 1: samples drawn from a law, curves of a law, description of a
// series, kernel estimate of a density, fitting a law, spread of the estimates.
#include "driver/files.h"
#include "driver/tasks.h"

namespace evstat {

namespace {
// The seven-line summary shared by the simulation and description tasks.
void write_summary(std::FILE* out, const std::string& theoreticalMean, double mean,
                   const std::string& theoreticalVariance, double variance, const Sample& sorted,
                   int n) {
    print_text(out, theoreticalMean);
    print_value(out, mean);
    print_text(out, theoreticalVariance);
    print_value(out, variance);
    print_value(out, sorted.lower_quartile(n));
    print_value(out, sorted.upper_quartile(n));
    print_value(out, sorted.median(n));
}
}  // namespace

void task_describe_series(RunContext& context) {
    const RunParameters& p = context.parameters;
    Sample series;
    read_series(series, p.dataFile);
    const int n = series.size();
    const double mean = series.mean();
    const double variance = series.variance();
    series.sort_ascending();
    OutputFile out(p.resultFile, "w");
    if (!out.is_open()) return;
    write_summary(out.get(), "non", mean, "non", variance, series, n);
}

}  // namespace evstat
