#include "tail/bayes_table/bayes_table.h"

#include <gtest/gtest.h>

#include <array>
#include <cfloat>
#include <cmath>
#include <limits>
#include <vector>

#include "laws/densities.h"
#include "laws/gamma_error_functions.h"
#include "laws/generator.h"
#include "laws/quantiles.h"
#include "laws/random_values.h"
#include "laws/romberg.h"
#include "tail/bayes_table/law11_table.h"
#include "tail/bayes_table/shape_integrands.h"
#include "unit/law_parameters.h"

namespace evstat {
namespace {

// A Weibull series of shape `shape` and scale 1 by inversion of evenly spread probabilities.
Series weibull_series(int n, double shape) {
    Series s;
    for (int i = 1; i <= n; ++i)
        s.push_back(std::pow(-std::log(1.0 - (i - 0.5) / n), 1.0 / shape));
    return s;
}

Sample orders(const std::vector<double>& ps) {
    Sample s;
    double m = 0.0;
    for (double p : ps) s.push_back(p, m += 1.0);
    return s;
}

struct Tables {
    Sample t1, t2, t3, t4, t5, p1, p2;
};

// One row per law with p = 0.1, N = 50, k = 10, u = 3, mean excess 2 (tail value
// 3 - 2 ln(0.5)). Expected quantiles by hand from the closed forms: the exponential's
// -theta ln p, the Weibull's (-a ln p)^(1/b), the normal's and lognormal's through
// z(0.9) = 1.2815515655446004, the Student t quantile t_5(0.9) = 1.475884 (published table;
// code 11 with alpha = beta = 2.5 is t with 5 degrees of freedom), and the Weibull of shape 0.7
// for a posterior held in [0.69, 0.71].
TEST(BayesQuantileTable, RowOfEachLaw) {
    const double z90 = 1.2815515655446004;
    struct Row {
        LawCode code;
        int shapeFlag;
        std::vector<double> parameters, predictive;
        double s1, s2, low, high;
        double parent, predictiveQuantile, tolerance;
    };
    const std::vector<Row> rows = {
        {LawCode::kExponential,
         0,
         {2},
         {1.8, -0.2},
         0,
         0,
         0,
         0,
         2 * std::log(10.0),
         (1.8 / -0.2) * (1 - std::pow(0.1, -0.2)),
         1e-12},
        {LawCode::kGamma,
         0,
         {1, 3},
         {1, 1, 2},
         0,
         0,
         0,
         0,
         3 * std::log(10.0),
         2 * 0.9 / 0.1,
         1e-9},
        {LawCode::kNormal, 0, {0, 1}, {0, 2.5, 2.5}, 1, 0, 0, 0, z90, 1.475884, 2e-4},
        {LawCode::kLognormal,
         0,
         {0, 1},
         {0, 2.5, 2.5},
         1,
         0,
         0,
         0,
         std::exp(z90),
         std::exp(1.475884),
         1e-3},
        {LawCode::kWeibull,
         0,
         {2, 1.5},
         {1.5, 1.8, -0.2},
         0,
         0,
         0,
         0,
         std::pow(2 * std::log(10.0), 1 / 1.5),
         std::pow((1.8 / -0.2) * (1 - std::pow(0.1, -0.2)), 1 / 1.5),
         1e-12},
        {LawCode::kWeibull,
         1,
         {1, 0.7},
         {1, 2, 2},
         0.69,
         0.71,
         0.69,
         0.71,
         std::pow(std::log(10.0), 1 / 0.7),
         std::pow(std::log(10.0), 1 / 0.7),
         0.06},
    };
    const Series data = weibull_series(30, 0.7);
    const Sample levels = orders({0.1});
    const ValueList given = law_parameters({1.0});
    const ValueList fitted = law_parameters({4.0});
    for (const Row& r : rows) {
        const ValueList parameters = law_parameters(r.parameters);
        const ValueList predictive = law_parameters(r.predictive);
        const BayesTableInput in{
            data,  levels, 50,          10,         3.0,        2.0,   1,
            r.s1,  r.s2,   r.code,      parameters, predictive, 1,     LawCode::kExponential,
            given, fitted, r.shapeFlag, 4.0,        r.low,      r.high};
        Tables t;
        bayes_quantile_table(in, t.t1, t.t2, t.t3, t.t4, t.t5, t.p1, t.p2);
        ASSERT_EQ(t.t3.size(), 1) << "law " << r.code;
        EXPECT_EQ(t.t1.x_at(1), 1.0);
        EXPECT_NEAR(t.t1.y_at(1), r.parent, 1e-9 * r.parent) << "law " << r.code;
        EXPECT_NEAR(t.t2.y_at(1), 3 - 2 * std::log(0.5), 1e-12);
        EXPECT_NEAR(t.t3.y_at(1), r.predictiveQuantile, r.tolerance) << "law " << r.code;
        EXPECT_NEAR(t.t4.y_at(1), std::log(10.0), 1e-12);
        EXPECT_NEAR(t.t5.y_at(1), 4 * std::log(10.0), 1e-12);
        EXPECT_EQ(t.p1.size(), r.shapeFlag == 1 ? t.p2.size() : 0);
        if (r.shapeFlag == 1) {  // the tables start at (0, 0) and the distribution reaches 1
            EXPECT_EQ(t.p1.x_at(1), 0.0);
            EXPECT_EQ(t.p1.y_at(1), 0.0);
            EXPECT_EQ(t.p2.y_at(1), 0.0);
            EXPECT_NEAR(t.p1.rbegin()->y, 1.0, 1e-3);
        }
    }
}

// The shape's predictive density integrates to 1 on a plain grid (s1 >= 1) and on a refined
// one, small and large series alike (1,000 values leave the plain product's range).
TEST(BayesQuantileTable, ShapePredictiveDensityIntegratesToOne) {
    struct Row {
        int n;
        double shape, s1, s2, low, high;
    };
    const std::vector<Row> rows = {{30, 1.5, 1.2, 1.8, 1, 2}, {30, 0.8, 0.7, 0.9, 0.5, 1}};
    for (const Row& r : rows) {
        const Series data = weibull_series(r.n, r.shape);
        const ValueList parameters = law_parameters({1.0, r.shape});
        const ValueList predictive = law_parameters({1.0, 2.0, 2.0});
        Sample grid;
        GridLayout layout;
        predictive_grid(data, parameters, r.s1, r.s2, 3.0, grid, layout);
        const ShapeModel model = make_shape_model(data, predictive, r.low, r.high);
        double Z = 0.0;
        ASSERT_TRUE(predictive_density_table(model, kMostShapeKernelEvaluations, grid, Z));
        predictive_cdf_table(model, layout, Z, grid);
        EXPECT_NEAR(grid.rbegin()->y, 1.0, 2e-3) << "shape " << r.shape;
    }
    const ShapeModel large =
        make_shape_model(weibull_series(1000, 0.7), law_parameters({1.0, 2.0, 2.0}), 0.5, 1.0);
    EXPECT_TRUE(large.logDomain);
    Sample grid;
    for (int i = 0; i <= 400; ++i) grid.push_back(i * 0.025, 0.0);
    double Z = 0.0;
    ASSERT_TRUE(predictive_density_table(large, kMostShapeKernelEvaluations, grid, Z));
    double mass = 0.0;  // the pole at 0 is integrable: the trapezoid from the second point
    for (int i = 2; i < grid.size(); ++i) mass += 0.025 * (grid.y_at(i) + grid.y_at(i + 1)) / 2;
    EXPECT_NEAR(mass, 1.0 - (1.0 - std::exp(-std::pow(0.025, 0.7))), 0.02);
}

// The cumulated table on a density with a known integral, 2x (integral x^2; both rules are
// exact on it, so a wrong weight or a sum over an odd number of intervals shows): the trapezoid
// rule on a plain grid; Simpson's rule over regions starting at even and odd indices, and the
// trapezoid tail, on a refined one.
TEST(BayesQuantileTable, TrapezoidAndSimpsonTables) {
    const ShapeModel model =
        make_shape_model(weibull_series(10, 1.0), law_parameters({1.0, 2.0, 2.0}), 0.5, 1.5);
    Sample plain;
    for (int i = 0; i <= 100; ++i) plain.push_back(i * 0.01, 2 * i * 0.01);
    const GridLayout flat{{{101, 0.01}}, false};
    predictive_cdf_table(model, flat, 1.0, plain);
    for (const Point& p : plain) EXPECT_NEAR(p.y, p.x * p.x, 1e-12);

    // 0..0.1 (11 points, step 0.01), 0.12..0.3 (10, 0.02), 0.35..0.6 (5 + 1: 6, 0.05), tail
    // 0.7..1.0 (4, 0.1).
    const GridLayout layout{{{11, 0.01}, {10, 0.02}, {6, 0.05}, {4, 0.1}}, true};
    Sample refined;
    for (int i = 0; i <= 10; ++i) refined.push_back(i * 0.01, 0.0);
    for (int i = 1; i <= 10; ++i) refined.push_back(0.1 + i * 0.02, 0.0);
    for (int i = 1; i <= 6; ++i) refined.push_back(0.3 + i * 0.05, 0.0);
    for (int i = 1; i <= 4; ++i) refined.push_back(0.6 + i * 0.1, 0.0);
    for (Point& p : refined) p.y = 2 * p.x;
    predictive_cdf_table(model, layout, 1.0, refined);
    const double offset = refined.y_at(2) - 0.01 * 0.01;  // the first cell is the Weibull law's
    for (int j = 2; j <= refined.size(); ++j)
        EXPECT_NEAR(refined.y_at(j) - offset, std::pow(refined.x_at(j), 2), 1e-12) << j;
}

// The predictive density through the cached node factors is the direct one bit for bit, with
// the plain product and in the log domain; both domains agree once normalised.
TEST(BayesQuantileTable, CachedKernelsAreTheDirectOnes) {
    const Series data = weibull_series(25, 0.8);
    const ValueList predictive = law_parameters({1.1, 2.5, 1.5});
    ShapeModel plain = make_shape_model(data, predictive, 0.4, 1.4);
    ASSERT_FALSE(plain.logDomain);
    ShapeModel logged = plain;
    logged.logDomain = true;
    logged.logShift = -30.0;
    long long evaluations = 0;  // of the 300 integrations, counted below
    for (const ShapeModel* model : {&plain, &logged}) {
        Sample grid;
        for (int i = 0; i <= 300; ++i) grid.push_back(i * 0.02, 0.0);
        double Z = 0.0;
        ASSERT_TRUE(predictive_density_table(*model, kMostShapeKernelEvaluations, grid, Z));
        for (int j = 2; j <= grid.size(); ++j)
            ASSERT_EQ(grid.y_at(j), predictive_density_direct(*model, grid.x_at(j), Z)) << j;
        ShapeNodeCache cache;
        for (int j = 2; j <= grid.size(); ++j)
            predictive_density_cached(*model, cache, grid.x_at(j), Z);
        evaluations = cache.evaluations;
    }
    // the kernel evaluations of a table are bounded: at the count the table needs it is whole,
    // one below it stops
    for (const long long bound : {evaluations, evaluations - 1}) {
        Sample grid;
        for (int i = 0; i <= 300; ++i) grid.push_back(i * 0.02, 0.0);
        double Z = 0.0;
        EXPECT_EQ(predictive_density_table(logged, bound, grid, Z), bound == evaluations);
    }
    const ShapeIntegrand zp{ShapeKernel::Posterior, plain};
    const ShapeIntegrand zl{ShapeKernel::Posterior, logged};
    const double Zp = romberg_integrate(zp, plain.low, plain.high);
    const double Zl = romberg_integrate(zl, logged.low, logged.high);
    for (double y : {0.01, 0.5, 2.0, 6.0}) {
        const double a = predictive_density_direct(plain, y, Zp);
        EXPECT_NEAR(predictive_density_direct(logged, y, Zl), a, 1e-9 * a);
    }
}

// The range of the normal and lognormal tables: the parent-family quantiles strictly between
// -DBL_MAX and +DBL_MAX (an order of 1 gives -DBL_MAX, and -inf as 3 S), V = 3 S without a
// second precision.
TEST(BayesQuantileTable, Law11TableRange) {
    const ValueList parameters = law_parameters({0.0, 1.0});
    const double z90 = quantile(LawCode::kNormal, parameters, 0.9);
    const double z99 = quantile(LawCode::kNormal, parameters, 0.99);
    struct Row {
        double s2;
        std::vector<double> levels;
        double lo, hi;
    };
    const std::vector<Row> rows = {
        {0.0, {0.1, 0.01}, z90, 3 * z99},
        {4.0, {0.1, 0.01}, z90 / 2, z99},
        {0.0, {1.0, 0.1}, z90, 3 * z90},
    };
    for (const Row& r : rows) {
        double lo = 0.0;
        double hi = 0.0;
        law11_table_range(LawCode::kNormal, parameters, 1.0, r.s2, r.levels, lo, hi);
        EXPECT_DOUBLE_EQ(lo, r.lo);
        EXPECT_DOUBLE_EQ(hi, r.hi);
    }
}

// An order of 1: T1 is -DBL_MAX and the predictive quantile the first tabulated point; the
// table stops at the last level, with every lookup that of the full table.
TEST(BayesQuantileTable, NormalTableRulings) {
    const ValueList parameters = law_parameters({0.0, 1.0});
    const ValueList predictive = law_parameters({0.0, 2.5, 2.5});
    const Series data = weibull_series(10, 1.0);
    const Sample levels = orders({1.0, 0.1, 0.05});
    const ValueList none;
    const BayesTableInput in{data,       levels,
                             10,         5,
                             1.0,        1.0,
                             1,          1.0,
                             0.0,        LawCode::kNormal,
                             parameters, predictive,
                             0,          LawCode::kUnknown,
                             none,       none,
                             0,          0.0,
                             0,          0};
    Tables t;
    bayes_quantile_table(in, t.t1, t.t2, t.t3, t.t4, t.t5, t.p1, t.p2);
    ASSERT_EQ(t.t3.size(), 3);
    EXPECT_TRUE(t.t4.empty());
    EXPECT_EQ(t.t1.y_at(1), -DBL_MAX);
    const double z90 = quantile(LawCode::kNormal, parameters, 0.9);
    EXPECT_EQ(t.t3.y_at(1), z90);

    Sample full;
    Law11Grid whole;  // no level to stop at, no bound reached
    whole.first = z90;
    whole.last = 3 * quantile(LawCode::kNormal, parameters, 0.95);
    EXPECT_TRUE(tabulate_law11(LawCode::kNormal, predictive, whole, full));
    Sample partial;
    const std::vector<double> ps = {1.0, 0.1, 0.05};
    EXPECT_TRUE(tabulate_law11_to_levels(LawCode::kNormal, predictive, z90,
                                         3 * quantile(LawCode::kNormal, parameters, 0.95), ps,
                                         kMostLaw11TablePoints, partial));
    EXPECT_LT(partial.size(), full.size() / 2);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(lookup_distribution(partial, 1 - ps[i]), lookup_distribution(full, 1 - ps[i]));
        EXPECT_EQ(t.t3.y_at(i + 1), lookup_distribution(full, 1 - ps[i]));
    }
    // past the end of a table: its last point; a step that no longer moves x ends the table
    EXPECT_EQ(lookup_distribution(partial, 2.0), partial.x_at(partial.size()));
    Sample far;
    EXPECT_TRUE(tabulate_law11_to_levels(LawCode::kNormal, predictive, 1e13, 2e13, ps,
                                         kMostLaw11TablePoints, far));
    EXPECT_EQ(far.size(), 1);
    // a table that needs one point more than its bound stops at the bound and says so; the
    // whole study then leaves its quantile series as they were
    const long long needed = partial.size();
    for (const long long bound : {needed, needed - 1}) {
        Sample bounded;
        EXPECT_EQ(tabulate_law11_to_levels(LawCode::kNormal, predictive, z90,
                                           3 * quantile(LawCode::kNormal, parameters, 0.95), ps,
                                           bound, bounded),
                  bound == needed);
        EXPECT_EQ(bounded.size(), bound);
    }
    BayesTableInput narrow = in;
    narrow.bounds.law11TablePoints = needed - 1;
    Tables refused;
    EXPECT_EQ(bayes_quantile_table(narrow, refused.t1, refused.t2, refused.t3, refused.t4,
                                   refused.t5, refused.p1, refused.p2),
              TableBound::Law11Points);
    EXPECT_TRUE(refused.t3.empty());
}

// The code-11 height: Gamma(alpha + 1/2) / Gamma(alpha) as before while both are finite, through
// log-gamma beyond (sqrt(alpha) (1 - 1/(8 alpha) + 1/(128 alpha^2)) by the asymptotic series),
// and the sampler keeps drawing there.
TEST(BayesQuantileTable, Law11HeightAboveAlpha171) {
    const double beta = 3.0;
    const double root = std::sqrt(6.28318530717958 * beta);
    EXPECT_EQ(student_approx_height(100.0, beta),
              gamma_function(100.5) / (gamma_function(100.0) * root));
    for (double alpha : {171.0, 200.0, 1e4}) {
        const double ratio = std::sqrt(alpha) * (1 - 1 / (8 * alpha) + 1 / (128 * alpha * alpha));
        EXPECT_NEAR(student_approx_height(alpha, beta), ratio / root, 1e-9 * ratio / root);
    }
    Generator generator(7);
    const double drawn =
        random_value(generator, LawCode::kStudentApprox, law_parameters({5.0, 400.0, 400.0}));
    EXPECT_TRUE(std::isfinite(drawn));
    EXPECT_NEAR(drawn, 5.0, 6.0);
}

// The grid's regions: one plain region up to E = max(3X, 2v) with the step of E; refined, the
// fine start, one or two middle regions and a tail whose step follows E.
TEST(BayesQuantileTable, GridRegions) {
    struct Row {
        double shape, s1, v;
        std::size_t regions;
        double lastStep, end;  // the last x: E = max(3 X, 2 v) with X = 3, or T beyond it
    };
    const std::vector<Row> rows = {
        {1.5, 1.2, 1.0, 1, 0.001, 3 * 3.0},
        {1.5, 1.2, 30.0, 1, 0.005, 60.0},
        {0.7, 0.6, 1.0, 3, 0.0005, 12.0},   // P = 5000 h0 >= T = 12 > E = 9: no tail point
        {0.3, 0.6, 60.0, 4, 0.005, 120.0},  // h0 refined until P < T
    };
    for (const Row& r : rows) {
        const Series data = {1.0, 3.0};
        Sample grid;
        GridLayout layout;
        predictive_grid(data, law_parameters({1.0, r.shape}), r.s1, 0.9, r.v, grid, layout);
        ASSERT_EQ(layout.regions.size(), r.regions);
        EXPECT_EQ(layout.refined, r.s1 < 1);
        EXPECT_EQ(layout.regions.back().step, r.lastStep);
        int points = 0;
        for (const GridRegion& region : layout.regions) points += region.points;
        EXPECT_EQ(points, grid.size());
        EXPECT_EQ(grid.x_at(1), 0.0);
        EXPECT_GT(grid.x_at(grid.size()), r.end - 1.01 * r.lastStep);
        EXPECT_LE(grid.x_at(grid.size()), r.end);
    }
}

// F0 = the code-11 distribution function at x0 - 1, plus the integral of its density from there.
// Reference: SciPy 1.10.1, t(5, loc=1, scale=sqrt(3/2.5)).cdf(u) - cdf(-100) with u = x (parent law
// 4) or u = ln x (parent law 8).
TEST(Law11Table, TabulatedCode11Distribution) {
    const ValueList law = law_parameters({1.0, 2.5, 3.0});
    const std::array<double, 5> normal_expected = {0.06373200265649057, 0.11460248535454122,
                                                   0.20159016557585574, 0.33360956140659925,
                                                   0.4999999985774325};
    const std::array<double, 5> lognormal_expected = {0.20159016557585574, 0.30531030081149574,
                                                      0.39530357182993503, 0.4710258960570445,
                                                      0.5341170268909804};
    auto grid = [](double first, double last, double step) {
        Law11Grid g;
        g.first = first;
        g.last = last;
        g.step = step;
        return g;
    };
    Sample normal;
    tabulate_law11(LawCode::kNormal, law, grid(-1.0, 1.0, 0.5), normal);
    Sample lognormal;
    tabulate_law11(LawCode::kLognormal, law, grid(1.0, 3.0, 0.5), lognormal);
    ASSERT_EQ(normal.size(), 5);
    ASSERT_EQ(lognormal.size(), 5);
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(normal.x_at(i), -1.0 + 0.5 * (i - 1));
        EXPECT_EQ(lognormal.x_at(i), 1.0 + 0.5 * (i - 1));
        EXPECT_NEAR(normal.y_at(i), normal_expected[i - 1], 3e-6) << i;
        EXPECT_NEAR(lognormal.y_at(i), lognormal_expected[i - 1], 3e-6) << i;
    }
    Sample none;
    tabulate_law11(LawCode::kNormal, law, grid(2.0, 1.0, 0.5), none);   // first point beyond the last
    tabulate_law11(LawCode::kStudent, law, grid(0.0, 1.0, 0.5), none);  // not a parent law of code 11
    tabulate_law11(LawCode::kNormal, law, grid(0.0, 1.0, 0.0), none);   // a grid that would never end
    tabulate_law11(LawCode::kNormal, law, grid(0.0, 1.0, -0.5), none);
    tabulate_law11(LawCode::kNormal, law, grid(0.0, 1.0, std::numeric_limits<double>::quiet_NaN()), none);
    EXPECT_EQ(none.size(), 0);
    // A step that no longer moves x ends the grid there, or runs to the bound when asked to.
    Law11Grid stuck = grid(1e17, 2e17, 1.0);
    Sample one;
    EXPECT_TRUE(tabulate_law11(LawCode::kNormal, law, stuck, one));
    EXPECT_EQ(one.size(), 1);
    stuck.endWhenStuck = false;
    stuck.mostPoints = 3;
    Sample bounded;
    EXPECT_FALSE(tabulate_law11(LawCode::kNormal, law, stuck, bounded));
    EXPECT_EQ(bounded.size(), 3);
}

}  // namespace
}  // namespace evstat
