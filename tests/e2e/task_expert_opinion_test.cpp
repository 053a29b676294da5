// Task 25 as a front end runs it: the result column and the curve pairs, byte for byte,
// against the same steps made in process from the same seed (the draws of the two
// extreme-quantile tests are the only random ones), with the closed forms of the
// exponential case and the rulings checked on their own.
#include <cmath>

#include "driver/files.h"
#include "e2e/harness.h"
#include "estimation/estimate.h"
#include "fittests/fit_test.h"
#include "fittests/goodness_of_fit.h"
#include "laws/densities.h"
#include "laws/evaluate.h"
#include "laws/generator.h"
#include "tail/bayes_table/law11_table.h"
#include "tail/bayes/posteriors.h"
#include "tail/bayes/priors.h"
#include "tail/bayes_table/bayes_table.h"
#include "tail/methods/tail.h"
#include "tail/quantile_tests/quantile_tests.h"

namespace evstat::e2e {
namespace {

using Lines = std::vector<std::string>;
constexpr unsigned kSeed = 2024;
constexpr int kResultNumber = 3;  // the curve pairs are numbered from 4
// Under Wine the expected figures come from the Linux library: they agree to this
// relative precision, the last digits of exp and log being the run-time library's own.
constexpr double kWindowsRelative = 1e-12;

struct Case {
    std::string law;
    LawCode code;
    int w;
    std::string data;  // "portpirie.txt" or "expo.txt"
    std::string c;     // the expert's value; P(X > c) between 0.1 and 0.05
    std::string low, high;
    int simulated;
    std::string simulationLaw;
    LawCode simulationCode;
    std::vector<double> simulationParameters;
    std::string test;
};

// 40 unit-exponential quantiles at (i - 0.5)/40: a series the gamma law's bracket suits.
std::string exponential_quantiles() {
    std::string text;
    for (int i = 1; i <= 40; ++i) text += formatted(-std::log(1.0 - (i - 0.5) / 40.0)) + "\n";
    return text;
}

Lines expert_file(const WorkDir& w, const Case& c) {
    Lines lines = {w.dir(), c.data, "25", w.dir() + "Result3.txt", c.law, c.low, c.high,
                   std::to_string(c.simulated), c.simulationLaw};
    for (int i = 0; i < 3; ++i)
        lines.push_back(i < static_cast<int>(c.simulationParameters.size())
                            ? formatted(c.simulationParameters[static_cast<std::size_t>(i)])
                            : "*");
    const Lines rest = {"1", c.c, "0.1", "0.05", "0.05", "Moyenne", c.test, "0.05", "0.1",
                        "10", "0.01", "0.01", "0", "0.001", "0", "0"};
    lines.insert(lines.end(), rest.begin(), rest.end());
    return lines;
}

std::string column_bytes(const Series& column) {
    std::string text;
    for (const double value : column) text += formatted(value) + "\n";
    if (!text.empty()) text.pop_back();
    return text;
}
std::string pair_bytes(const Sample& curve) {
    std::string text;
    for (const Point& p : curve) text += formatted(p.x) + "\t" + formatted(p.y) + "\n";
    return text;
}
std::string curve_parameter_bytes(const WorkDir& w, const Case& c, int k, int task,
                                  const std::string& name, const ValueList& parameters,
                                  double lower, double upper, int points) {
    std::string text = w.dir() + "\n" + c.data + "\n" + std::to_string(task) + "\n" + w.dir() +
                       "Result" + std::to_string(k) + ".txt\n" + name + "\n";
    for (int i = 1; i <= 3; ++i)
        text += (i <= parameters.size() ? formatted(parameters.at(i)) : std::string("*")) + "\n";
    return text + formatted(lower) + "\n" + formatted(upper) + "\n" + std::to_string(points) + "\n";
}

Series read_sorted(const std::string& text) {
    Series series;
    std::istringstream in(text);
    double value = 0.0;
    while (in >> value) series.push_back(value);
    sort_ascending(series);
    return series;
}

ValueList list_of(std::vector<double> values) {
    ValueList list;
    for (double v : values) list.push_back(v);
    return list;
}

void append(Series& column, double v) { column.push_back(v); }

// One expected curve pair: its ParameterFile and its curve.
struct CurveFiles { std::string parameters, curve; };

// The study made in process, step by step, from the same seed.
struct Expected {
    Series column;
    std::vector<CurveFiles> curves;
    ValueList Z;
    double criticalValue = 0.0, adjusted = 0.0;
    int accepted = 0;
};

Expected expected_study(const WorkDir& w, const Case& c, const std::string& text) {
    Expected e;
    Series S = read_sorted(text);
    const Series C = S;
    const int n = size_of(S), k = 10;
    ValueList A;
    estimate_parameters(S, c.code, n, A);
    Series Q;
    double u = 0.0;
    excesses_over_threshold(S, k, n, Q, u);
    const double e1 = mean(Q);
    double e2 = 0.0, rho = 0.0;
    if (c.code == kLognormal || (c.code == kWeibull && c.w == 0)) {
        if (c.code == kLognormal) apply_log(S); else apply_power(S, A.at(2));
        Series Q2;
        double u2 = 0.0;
        excesses_over_threshold(S, k, n, Q2, u2);
        e2 = mean(Q2);
        if (c.code == kWeibull) rho = 1.0 / mean(S);
    }
    const Series& D = (c.code == kLognormal || (c.code == kWeibull && c.w == 0)) ? C : S;
    double low = c.low == "*" ? -999.0 : std::stod(c.low);
    double high = c.high == "*" ? -999.0 : std::stod(c.high);
    double s1 = 0, s2 = 0, t1 = 0, t2 = 0;
    expert_interval(c.code, A, rho, 1, std::stod(c.c), 0.1, 0.05, e1, e2, low, high, c.w, s1, s2,
                    t1, t2);
    for (double v : {s1, s2, c.w ? t1 : 0.0, c.w ? t2 : 0.0}) append(e.column, v);
    ValueList R;
    expert_prior(s1, s2, t1, t2, c.w, "Moyenne", 0.05, R);
    posterior_summary(S, c.code, A, R, c.w, e.Z);
    for (double v : R) append(e.column, v);
    for (double v : e.Z) append(e.column, v);
    const ValueList given = list_of(c.simulationParameters);
    ValueList G;
    if (c.simulated) estimate_law(D, c.simulationCode, n, G);
    Sample levels;
    levels.push_back(0.01, 1);
    levels.push_back(0.001, 2);
    Sample T1, T2, T3, T4, T5, P1, P2;
    bayes_quantile_table({S, levels, n, k, u, e1, 1, s1, s2, c.code, A, e.Z, c.simulated,
                          c.simulationCode, given, G, c.w, std::stod(c.c), low, high},
                         T1, T2, T3, T4, T5, P1, P2);
    double statistic = 0.0;
    const int selector = c.test == "AD" ? 1 : 2;
    if (selector == 1)
        anderson_darling_test(D, c.code, A, 0.05, e.accepted, statistic, e.criticalValue);
    else
        cramer_von_mises_test(D, c.code, A, 0.05, e.accepted, statistic, e.criticalValue);
    double g1 = 0, g2 = 0;
    goodness_of_fit(D, c.code, P1, c.w, selector, A, e.Z, e.criticalValue, g1, g2, e.adjusted);
    set_seed(kSeed);
    QuantileTestOutcome resampled, predictive;
    et_resampling_test(D, Q, k, u, c.code, A, 0.1, 0.01, 500, kPercentileInterval, resampled);
    ValueList posterior;
    if (c.w == 0) posterior_parameters(D, c.code, R, A, n, c.w, posterior);
    et_predictive_test(D, Q, k, u, c.code, A, 0.1, 0.01, 500, R, posterior, c.w, low, high,
                       predictive);
    for (double v : {double(e.accepted), g2, e.adjusted, g1, double(resampled.verdict),
                     double(predictive.verdict), predictive.estimate, predictive.lower,
                     predictive.upper})
        append(e.column, v);
    for (const Sample* table : {&T1, &T2, &T3, &T4, &T5})
        if (c.simulated || (table != &T4 && table != &T5))
            for (const Point& p : *table) append(e.column, p.y);

    // The curves, numbered from 4.
    const double lo = first_value(C), hi = last_value(C);
    Sample Y;
    make_grid(lo, hi, 2000, Y);
    // The parent's predictive law as drawn, in its own parameter order (the Lomax for the
    // exponential and the Weibull scale).
    const ValueList& Z = e.Z;
    struct Law { std::string name; LawCode code; ValueList parameters; };
    const Law predictiveLaw =
        c.code == kExponential ? Law{"GPD", kGpd, list_of({-Z.at(2), Z.at(1)})}
        : c.code == kGamma     ? Law{"Beta2Prop", kBetaPrime, Z}
        : c.code == kNormal    ? Law{"StudentApprochee", kStudentApprox, Z}
        : c.code == kLognormal ? Law{"StudentApprocheeTrans", kStudentApproxLog, Z}
        : c.w == 1             ? Law{"WeibPred", kWeibull, Z}
                               : Law{"GPDTrans", kGpdPower, list_of({Z.at(1), Z.at(2), -Z.at(3)})};
    int number = kResultNumber;
    auto add_grid = [&](int task, const std::string& name, LawCode code, const ValueList& params) {
        Sample curve;
        evaluate_law(curve, code, Y, params, task == 8 ? EvalMode::Survival : EvalMode::Density, 0);
        ++number;
        e.curves.push_back({curve_parameter_bytes(w, c, number, task, name, params, lo, hi, 2000),
                            pair_bytes(curve)});
    };
    auto add_table = [&](int task, const Sample& curve) {
        ++number;
        e.curves.push_back({curve_parameter_bytes(w, c, number, task, predictiveLaw.name,
                                                  predictiveLaw.parameters, curve.begin()->x,
                                                  curve.rbegin()->x, curve.size()),
                            pair_bytes(curve)});
    };
    for (int task : {2, 8}) {
        add_grid(task, c.law, c.code, A);
        if (c.simulated) add_grid(task, c.simulationLaw, c.simulationCode, given);
        if (c.code == kWeibull && c.w == 1) {
            Sample curve = task == 2 ? P2 : P1;
            if (task == 8) curve.apply_affine(-1.0, 1.0);
            add_table(task, curve);
        } else if (task == 8 && (c.code == kNormal || c.code == kLognormal)) {
            Sample curve;
            const Series& range = c.code == kNormal ? S : C;
            Law11Grid grid;
            grid.first = min_value(range);
            grid.last = max_value(range);
            grid.step = (grid.last - grid.first) / 1000;
            grid.mostPoints = kMostCurveTablePoints;
            grid.endWhenStuck = false;
            tabulate_law11(c.code, Z, grid, curve);
            curve.apply_affine(-1.0, 1.0);
            add_table(task, curve);
        } else {
            add_grid(task, predictiveLaw.name, predictiveLaw.code, predictiveLaw.parameters);
        }
    }
    return e;
}

TEST(TaskExpertOpinion, ResultColumnAndCurvePairsByLaw) {
    WorkDir w;
    const std::string portPirie = [] {
        std::ifstream in(EVSTAT_SOURCE_DIR "/examples/portpirie.txt");
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }();
    w.write("portpirie.txt", portPirie);
    w.write("expo.txt", exponential_quantiles());
    const std::vector<Case> cases = {
        {"Exponentielle", kExponential, 0, "portpirie.txt", "4.6", "*", "*", 0, "*", kUnknownLaw, {}, "CVM"},
        {"Exponentielle", kExponential, 0, "expo.txt", "3", "*", "*", 1, "Exponentielle", kExponential, {1.0}, "AD"},
        {"Gamma", kGamma, 0, "expo.txt", "3", "*", "*", 0, "*", kUnknownLaw, {}, "CVM"},
        {"Normale", kNormal, 0, "portpirie.txt", "4.6", "*", "*", 1, "Normale", kNormal, {3.9, 0.2}, "AD"},
        {"Lognormale", kLognormal, 0, "portpirie.txt", "4.6", "*", "*", 0, "*", kUnknownLaw, {}, "CVM"},
        {"WeibullEchelle", kWeibull, 0, "portpirie.txt", "4.6", "*", "*", 1, "Weibull", kWeibull, {3e9, 15.5}, "CVM"},
        {"WeibullForme", kWeibull, 1, "portpirie.txt", "4.6", "1", "20", 0, "*", kUnknownLaw, {}, "AD"},
    };
    for (const Case& c : cases) {
        for (const std::string& name : w.files())
            if (name != "portpirie.txt" && name != "expo.txt") std::filesystem::remove(w.file(name));
        w.write_lines("Tmp1.txt", expert_file(w, c));
        w.run_seeded("Tmp1.txt", "3", kSeed);
        EXPECT_FALSE(w.exists("Erreur.txt")) << c.law;
        const Expected e = expected_study(w, c, c.data == "expo.txt" ? exponential_quantiles() : portPirie);
        EXPECT_EQ(difference(w.read("Result3.txt"), column_bytes(e.column), kWindowsRelative), "")
            << c.law << " " << c.test;
        ASSERT_EQ(e.curves.size(), c.simulated ? 6u : 4u);
        for (std::size_t i = 0; i < e.curves.size(); ++i) {
            const std::string k = std::to_string(kResultNumber + 1 + static_cast<int>(i));
            EXPECT_EQ(w.read("Tmp" + k + ".txt"), e.curves[i].parameters) << c.law << " Tmp" << k;
            EXPECT_EQ(difference(w.read("Result" + k + ".txt"), e.curves[i].curve, kWindowsRelative), "")
                << c.law << " Result" << k;
        }
        EXPECT_FALSE(w.exists("Tmp" + std::to_string(kResultNumber + 1 + e.curves.size()) + ".txt"));

        // The test of step 12 is the one named, and the adjusted critical value uses its
        // factor (n = 65 or 40, by hand).
        const double n = c.data == "expo.txt" ? 40.0 : 65.0;
        const double factor =
            c.test == "AD" ? (c.code == kExponential ? 1 + 0.6 / n
                              : c.code == kNormal    ? 1 + 0.75 / n + 2.25 / (n * n)
                                                     : 1 + 0.2 / std::sqrt(n))
                           : (c.code == kExponential ? 1 + 0.16 / n
                              : c.code == kGamma     ? 1.0
                              : c.code == kWeibull   ? 1 + 0.2 / std::sqrt(n)
                                                     : 1 + 0.5 / n);
        EXPECT_NEAR(e.adjusted, e.criticalValue / factor, 1e-15) << c.law;
    }
}

TEST(TaskExpertOpinion, ExponentialByClosedForms) {
    // P(X > 3) between 0.1 and 0.05 gives the rates -ln(d)/3; the Gamma prior (a, b) and the
    // predictive Lomax ((b + sum x)/(a + n), -1/(a + n)), whose density is drawn as the GPD
    // of shape 1/(a + n) and scale q1: f(x) = (1/q1)(1 + x/(q1 (a + n)))^(-(a + n) - 1).
    WorkDir w;
    w.write("expo.txt", exponential_quantiles());
    const Case c = {"Exponentielle", kExponential, 0, "expo.txt", "3", "*", "*", 0, "*", kUnknownLaw, {}, "CVM"};
    w.write_lines("Tmp1.txt", expert_file(w, c));
    w.run_seeded("Tmp1.txt", "3", kSeed);
    std::istringstream column(w.read("Result3.txt"));
    std::vector<double> v;
    for (double x = 0; column >> x;) v.push_back(x);
    ASSERT_EQ(v.size(), 8u + 9u + 6u);
    EXPECT_NEAR(v[0], std::log(10.0) / 3.0, 1e-15);
    EXPECT_NEAR(v[1], std::log(20.0) / 3.0, 1e-15);
    const double z = 1.959963984540054;  // R: qnorm(0.975)
    const double a = z * z * std::pow(v[0] + v[1], 2) / std::pow(v[0] - v[1], 2);
    EXPECT_NEAR(v[4], a, 1e-6 * a);
    EXPECT_NEAR(v[5] / v[4], 2.0 / (v[0] + v[1]), 1e-12);  // rate / shape = 1 / mean
    double sum = 0.0;
    for (int i = 1; i <= 40; ++i) sum += -std::log(1.0 - (i - 0.5) / 40.0);
    EXPECT_NEAR(v[6], (v[5] + sum) / (v[4] + 40), 1e-12);
    EXPECT_NEAR(v[7], -1.0 / (v[4] + 40), 1e-15);
    // The predictive quantile at 0.01 is the Lomax quantile (q1/q2)(1 - 0.01^q2).
    EXPECT_NEAR(v[21], v[6] / v[7] * (1.0 - std::pow(0.01, v[7])), 1e-12);
    std::istringstream curve(w.read("Result5.txt"));
    double x = 0, f = 0;
    curve >> x >> f;
    const double alpha = v[4] + 40;
    EXPECT_NEAR(f, std::pow(1.0 + x / (v[6] * alpha), -alpha - 1.0) / v[6], 1e-12);
    EXPECT_EQ(w.read("Tmp5.txt").substr(w.read("Tmp5.txt").find("GPD\n") + 4, 24), formatted(-v[7]));
}

TEST(TaskExpertOpinion, RefusedBeforeAnythingIsWritten) {
    WorkDir w;
    w.write("neg.txt", "-1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n");
    w.write("expo.txt", exponential_quantiles());
    w.write("one.txt", "4.2\n");
    w.write("big.txt", "3.6\n3.8\n4.0\n4.1\n4.3\n4.5\n");
    struct Row { std::string law, data, c, message; };
    const std::string k63 = "L'estimation des paramètres pour ce modèle est impossible. Modèle incompatible.";
    const std::string k64 = "Le modèle ne convient pas. Présence de données négatives.";
    const std::string k12 = "Valeurs des paramètres non valides.";
    const std::vector<Row> rows = {
        {"Exponentielle", "neg.txt", "3", k64}, {"WeibullForme", "neg.txt", "3", k64},
        {"Uniforme", "expo.txt", "3", k63},     {"Beta", "expo.txt", "3", k63},
        {"GPD", "expo.txt", "3", k63},
        // One value fits no Weibull law (zero estimates) and no normal law (sigma 0).
        {"WeibullForme", "one.txt", "3", k12},  {"Normale", "one.txt", "3", k12},
        // No usable prior: c = 0 gives an infinite rate, c < 0 no shape at all, and the
        // gamma scale of these values lies outside the bisection's bracket.
        {"Exponentielle", "expo.txt", "0", k12}, {"WeibullForme", "expo.txt", "-5", k12},
        {"Gamma", "big.txt", "4.7", k12},
    };
    for (const Row& r : rows) {
        Case c = {r.law, 0, 0, r.data, r.c, "*", "*", 0, "*", kUnknownLaw, {}, "CVM"};
        for (const std::string& name : w.files())
            if (name.rfind("Tmp", 0) == 0 || name.rfind("Result", 0) == 0 || name == "Erreur.txt")
                std::filesystem::remove(w.file(name));
        w.write_lines("Tmp1.txt", expert_file(w, c));
        w.run_seeded("Tmp1.txt", "3", kSeed);
        EXPECT_EQ(w.read("Erreur.txt"), cp1252(r.message)) << r.law;
        EXPECT_EQ(w.files(), (std::vector<std::string>{"Erreur.txt", "Tmp1.txt", "big.txt", "expo.txt",
                                                       "neg.txt", "one.txt"}))
            << r.law;
    }
}

}  // namespace
}  // namespace evstat
