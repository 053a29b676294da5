// The Bayesian quantile table in its two costly cases, called in process: the Weibull law with a
// prior on its shape over 1,000 values (a refined grid of some 50,000 points, one integration
// over the shape each), and the normal law on the Venice sea levels in centimetres with
// exceedance levels from 0.001 to 0.999 (a table in steps of 1e-4 cm).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "tail/bayes_table/bayes_table.h"

namespace evstat::bench {
namespace {

constexpr int kShapeValues = 1000;

// A Weibull series of shape 0.7 and scale 1 by inversion of evenly spread probabilities.
Series weibull_series(int n, double shape) {
    Series s;
    for (int i = 1; i <= n; ++i) {
        const double u = (i - 0.5) / n;
        s.push_back(std::pow(-std::log(1.0 - u), 1.0 / shape));
    }
    return s;
}

ValueList list(std::initializer_list<double> values) {
    ValueList l;
    for (double v : values) l.push_back(v);
    return l;
}

Sample levels(std::initializer_list<double> ps) {
    Sample s;
    double m = 0.0;
    for (double p : ps) s.push_back(p, m += 1.0);
    return s;
}

struct Outputs {
    Sample t1, t2, t3, t4, t5, p1, p2;
};

void run_table(const BayesTableInput& in, Outputs& o) {
    bayes_quantile_table(in, o.t1, o.t2, o.t3, o.t4, o.t5, o.p1, o.p2);
}

void BM_ShapeTable1000(benchmark::State& state) {
    const Series data = weibull_series(kShapeValues, 0.7);
    const Sample orders = levels({0.1, 0.01, 0.001});
    const ValueList fitted = list({1.0, 0.7});
    const ValueList predictive = list({1.0, 5.0, 5.0});  // eta, Beta prior (a, b)
    const ValueList none;
    const BayesTableInput in{.data = data,
                             .levels = orders,
                             .n = kShapeValues,
                             .excessCount = 100,
                             .threshold = 2.0,
                             .meanExcess = 1.5,
                             .expert = 1,
                             .s1 = 0.6,
                             .s2 = 0.9,
                             .code = LawCode::kWeibull,
                             .parameters = fitted,
                             .predictive = predictive,
                             .comparisonFlag = 0,
                             .comparisonCode = LawCode::kUnknown,
                             .comparisonGiven = none,
                             .comparisonFitted = none,
                             .weibullShapeFlag = 1,
                             .expertMaxQuantile = 10.0,
                             .low = 0.0,
                             .high = 2.0};
    for (auto _ : state) {
        Outputs o;
        run_table(in, o);
        state.counters["grid"] = o.p1.size();
        benchmark::DoNotOptimize(o.t3.y_at(3));
    }
}
BENCHMARK(BM_ShapeTable1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

Series read_example(const std::string& name) {
    Series s;
    std::FILE* in = std::fopen((std::string(EVSTAT_SOURCE_DIR) + "/examples/" + name).c_str(), "r");
    double v = 0.0;
    while (in != nullptr && std::fscanf(in, "%le", &v) == 1) s.push_back(v);
    if (in != nullptr) std::fclose(in);
    return s;
}

// The normal law on the Venice series, the expert's interval from the fitted precision
// (s2 = 0) and the Gamma prior on the precision it gives at risk 0.05.
void BM_NormalTableVenice(benchmark::State& state) {
    const Series data = read_example("venice_r1.txt");
    const double n = static_cast<double>(data.size());
    const double average = mean(data);
    const double sd = std::sqrt(variance(data));
    const double s1 = 1.0 / (sd * sd);
    const double z = 1.959963984540054;
    const double alpha = z * z;
    const double rate = 2.0 * z * z / s1;
    double squares = 0.0;
    for (const double x : data) squares += (x - average) * (x - average);
    const ValueList fitted = list({average, sd});
    const ValueList predictive = list({average, alpha + n / 2.0, rate + squares / 2.0});
    const Sample orders = levels({0.999, 0.99, 0.9, 0.5, 0.1, 0.01, 0.001});
    const ValueList none;
    const BayesTableInput in{.data = data,
                             .levels = orders,
                             .n = size_of(data),
                             .excessCount = 10,
                             .threshold = 120.0,
                             .meanExcess = 15.0,
                             .expert = 0,
                             .s1 = s1,
                             .s2 = 0.0,
                             .code = LawCode::kNormal,
                             .parameters = fitted,
                             .predictive = predictive,
                             .comparisonFlag = 0,
                             .comparisonCode = LawCode::kUnknown,
                             .comparisonGiven = none,
                             .comparisonFitted = none,
                             .weibullShapeFlag = 0,
                             .expertMaxQuantile = 0.0,
                             .low = 0.0,
                             .high = 0.0};
    for (auto _ : state) {
        Outputs o;
        run_table(in, o);
        benchmark::DoNotOptimize(o.t3.y_at(7));
    }
}
BENCHMARK(BM_NormalTableVenice)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace evstat::bench
