// The tests of an extreme quantile as a front end runs them (LoadType 2): tasks 16 to 24
// (exponential tail) and 38 to 46 (generalized Pareto tail) with every version of the
// test, their codes, and the guard of tasks 41 to 46. The engine runs with a fixed seed;
// the expected bytes come from the library called in this process with the same seed,
// the same series and the same calls in the same order.
#include <algorithm>
#include <cmath>

#include "e2e/harness.h"
#include "driver/files.h"
#include "estimation/estimate.h"
#include "input/errors.h"
#include "laws/generator.h"
#include "tail/quantile_tests/quantile_tests.h"

namespace evstat::e2e {
namespace {

using Lines = std::vector<std::string>;

constexpr unsigned kSeed = 20261209;
constexpr int kResamples = 40;
constexpr double kLevel = 0.05;
constexpr double kOrder = 0.01;
// Under Wine the expected figures come from the Linux library: they agree to the last
// digits of exp and log, except where the likelihood fit of the tail stops (at a relative
// change of 0.001) one update earlier or later than it does on Linux.
constexpr double kWindowsRelative = 1e-12;
constexpr double kWindowsLikelihoodRelative = 1e-3;

// The settings of one run; laws and method as the ParameterFile names them.
struct Setting {
    int task;
    Lines laws;
    int version;
    int k = 20;
    int low = 10;
    int high = 12;
    std::string method = "HW";
};

Lines parameter_file(const WorkDir& w, const Setting& s, const std::string& data) {
    Lines lines = {w.dir(), data, std::to_string(s.task), w.dir() + "Result1.txt"};
    lines.insert(lines.end(), s.laws.begin(), s.laws.end());
    lines.insert(lines.end(), {std::to_string(s.k), "0.05", std::to_string(s.low),
                               std::to_string(s.high), std::to_string(s.version),
                               std::to_string(kResamples), "0.01"});
    if (s.task >= 38) lines.push_back(s.method);
    return lines;
}

RunOutput run_setting(const WorkDir& w, const Setting& s, const std::string& data = "serie.txt") {
    w.write_lines("Tmp1.txt", parameter_file(w, s, data));
    std::filesystem::remove(w.file("Erreur.txt"));
    std::filesystem::remove(w.file("Result1.txt"));
    return w.run_seeded("Tmp1.txt", "2", kSeed);
}

std::string result_or_error(const WorkDir& w) {
    return w.exists("Erreur.txt") ? "Erreur: " + w.read("Erreur.txt") : w.read("Result1.txt");
}

Series sorted_series(const std::string& path) {
    Series series;
    read_series(path, series);
    sort_ascending(series);
    return series;
}

const std::string kPortPirie = std::string(EVSTAT_SOURCE_DIR) + "/examples/portpirie.txt";

// ---------------------------------------------------------------- the expected outcomes

std::string message(Erreur code) { return std::string(error_message(code)); }
const std::string kMessage9 = message(Erreur::UnknownLaw);
const std::string kMessage61 = message(Erreur::NegativeData);
const std::string kMessage63 = message(Erreur::NoEstimator);
const std::string kMessage65 = message(Erreur::MethodPreconditionFails);

// A tail fit the task refuses (65).
struct FitRefused {};

QuantileTestOutcome not_tested() { return QuantileTestOutcome{0, -10.0, -10.0, -10.0, -10.0}; }

// The outcome of the law for j excesses, drawing from the generator as the engine does.
QuantileTestOutcome expected_outcome(const Setting& s, std::span<const double> series,
                                     LawCode code, int j) {
    const int n = size_of(series);
    ValueList parameters;
    estimate_law(series, code, n, parameters);
    Series excesses;
    double u = 0.0;
    excesses_over_threshold(series, j, n, excesses, u);
    QuantileTestOutcome outcome = not_tested();
    const int mode = s.version == 3 ? kPercentileInterval : kDifferenceInterval;
    if (s.task < 38) {
        if (s.version == 1)
            et_asymptotic_test(series, excesses, j, u, code, parameters, kLevel, kOrder, outcome);
        else if (s.version >= 2)
            et_resampling_test(series, excesses, j, u, code, parameters, kLevel, kOrder, kResamples,
                               mode, outcome);
        return outcome;
    }
    ValueList fit;
    bool warning = false;
    bool failure = false;
    if (j < 1 || j > n) throw FitRefused{};
    fit_tail(fit, series, j, n, u, tail_method_from_name(s.method), warning, failure);
    if (failure) throw FitRefused{};
    if (s.version < 2) return outcome;
    gpd_resampling_test(series, j, u, code, parameters, kLevel, kOrder, kResamples, mode, fit,
                        tail_method_from_name(s.method), outcome);
    return outcome;
}

std::string block(const QuantileTestOutcome& o) {
    return std::to_string(o.verdict) + "\n" + formatted(o.estimate) + "\n" +
           formatted(o.parentQuantile) + "\n" + formatted(o.lower) + "\n" + formatted(o.upper) + "\n";
}

std::string rates(const Series& verdicts) {
    const double m = mean(verdicts);
    const double i = static_cast<double>(verdicts.size()) + 1.0;  // files read plus one
    return formatted((1.0 - m) * 100.0) + "\n" + formatted(m * 100.0) + "\n" +
           formatted(100.0 * std::sqrt(variance(verdicts) / i)) + "\n";
}

// The result file of a setting over the series (or the numbered files for the rates).
std::string expected_result(const Setting& s, const std::vector<Series>& files);

std::string expected_result_or_error(const Setting& s, const std::vector<Series>& files) {
    try {
        return expected_result(s, files);
    } catch (FitRefused) {
        return "Erreur: " + kMessage65;
    }
}

std::string expected_result(const Setting& s, const std::vector<Series>& files) {
    set_seed(kSeed);
    const int group = (s.task - (s.task < 38 ? 16 : 38)) / 3;  // 0 rates, 1 blocks, 2 verdicts
    std::string text;
    if (group == 0) {
        Series verdicts;
        for (std::span<const double> series : files)
            verdicts.push_back(expected_outcome(s, series, law_code_from_name(s.laws[0]),
                               s.k).verdict);
        return rates(verdicts);
    }
    for (const std::string& law : s.laws) {
        const LawCode code = law_code_from_name(law);
        if (group == 1) {
            text += block(expected_outcome(s, files[0], code, s.k));
            continue;
        }
        // The ET range stops at the size of the series; the GPD fit refuses more (65).
        const int last = s.task < 38 ? std::min(s.high, size_of(files[0])) : s.high;
        for (int j = s.low; j <= last; ++j)
            text += formatted(j) + "\t" + formatted(expected_outcome(s, files[0], code, j).verdict) + "\n";
    }
    return text;
}

// ---------------------------------------------------------------- every group, every version

TEST(QuantileTests, EveryGroupWithEveryVersion) {
    WorkDir w;
    std::ifstream in(kPortPirie);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    w.write("serie.txt", text);
    // Three numbered files: the series, its first 50 and its last 50 values.
    const Series whole = sorted_series(w.file("serie.txt"));
    std::vector<Series> numbered(3);
    for (std::size_t i = 0; i < whole.size(); ++i) {
        numbered[0].push_back(whole[i]);
        if (i < 50) numbered[1].push_back(whole[i]);
        if (i >= 15) numbered[2].push_back(whole[i]);
    }
    for (int i = 0; i < 3; ++i) write_values(numbered[static_cast<std::size_t>(i)], w.file(i == 0 ? "Donnees.txt" : "Donnees" + std::to_string(i + 1) + ".txt"));

    const Lines twoLaws = {"Normale", "Weibull"};
    for (int version = 0; version <= 3; ++version) {
        for (const Setting& s : {Setting{17, {"Normale"}, version}, Setting{20, twoLaws, version},
                                 Setting{23, twoLaws, version}, Setting{39, {"Gamma"}, version},
                                 Setting{42, twoLaws, version, 20, 10, 12, "EMV"},
                                 Setting{45, twoLaws, version}}) {
            const RunOutput out = run_setting(w, s);
            const std::vector<Series> files =
                (s.task == 17 || s.task == 39) ? numbered : std::vector<Series>{whole};
            EXPECT_EQ(difference(result_or_error(w), expected_result_or_error(s, files),
                                 s.method == "EMV" ? kWindowsLikelihoodRelative : kWindowsRelative),
                      "")
                << "task " << s.task << " version " << version;
            EXPECT_EQ(out.status, 0);
        }
    }
    // Version 0 and, for the GPD tasks, version 1 run no test at all.
    Setting untested{42, twoLaws, 1};
    run_setting(w, untested);
    EXPECT_EQ(w.read("Result1.txt"), block(not_tested()) + block(not_tested()));
    // Range tasks: two laws from 10 to 12 excesses give six lines.
    Setting range{23, twoLaws, 0};
    run_setting(w, range);
    const std::string lines = w.read("Result1.txt");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 6);
}

// k < 2 and k >= N reach the tests as they are: the outcome is the procedures' own (or,
// for the GPD tasks, code 65 where the tail cannot be fitted), and nothing crashes.
TEST(QuantileTests, NumbersOfExcessesAtTheEdges) {
    WorkDir w;
    std::ifstream in(kPortPirie);
    w.write("serie.txt", std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
    const std::vector<Series> files = {sorted_series(w.file("serie.txt"))};  // N = 65
    for (int k : {0, 1, 64, 65, 80}) {
        for (const Setting& s : {Setting{20, {"Normale", "Weibull"}, 1, k}, Setting{21, {"Gamma"}, 2, k},
                                 Setting{43, {"Normale"}, 3, k}, Setting{24, {"Normale"}, 3, 0, 60, 70}}) {
            const RunOutput out = run_setting(w, s);
            const std::string expected = expected_result_or_error(s, files);
            EXPECT_EQ(result_or_error(w), expected) << "task " << s.task << " k " << k;
            EXPECT_EQ(out.status, expected.rfind("Erreur", 0) == 0 ? 1 : 0);
        }
    }
}

// ---------------------------------------------------------------- codes and the guard

TEST(QuantileTests, CodesOfTheTasks) {
    WorkDir w;
    w.write_lines("serie.txt", {"-2", "-1", "0.5", "1", "1.5", "2", "3", "4", "5", "6", "8", "11"});
    w.write_lines("constante.txt", {"2", "2", "2", "2", "2", "2"});
    w.write_lines("negative.txt", {"-4", "-3", "-2", "-1", "0"});
    w.write_lines("Donnees.txt", {"-2", "-1", "0.5", "1", "1.5", "2", "3", "4", "5", "6", "8", "11"});
    struct Row {
        Setting setting;
        std::string data;
        std::string expected;  // the error file
        const char* why;
    };
    const std::vector<Row> rows = {
        {{19, {"Normale", "Inconnue"}, 1, 3}, "serie.txt", kMessage9, "an unknown law"},
        {{44, {"Inconnue"}, 0, 3}, "serie.txt", kMessage9, "an unknown law, GPD"},
        {{16, {"Gamma"}, 1, 3}, "Tous", kMessage63, "gamma over non-positive data: zero estimates"},
        {{22, {"Gamma"}, 1, 3}, "constante.txt", kMessage63, "gamma over a constant series: no estimate"},
        {{38, {"Weibull"}, 2, 3}, "Tous", kMessage61, "non-positive data for the Weibull law"},
        {{41, {"Normale"}, 0, 4, 10, 12, "Hill"}, "negative.txt", kMessage61, "the guard, no positive value"},
        {{41, {"Normale"}, 0, 40, 10, 12, "HW"}, "serie.txt", kMessage65, "more excesses than values"},
        {{44, {"Normale"}, 0, 3, 0, 3, "HW"}, "serie.txt", kMessage65, "no excess"},
        {{38, {"Normale"}, 3, 0, 10, 12, "EMV"}, "Tous", kMessage65, "no excess over the files"},
    };
    for (const Row& row : rows) {
        const RunOutput out = run_setting(w, row.setting, row.data);
        EXPECT_EQ(result_or_error(w), "Erreur: " + row.expected) << row.why;
        EXPECT_EQ(out.status, 1) << row.why;
    }
}

// The guard of tasks 41 to 46 (12 values, 2 not above 0: m = 9): the sentence, the
// blocks written before it kept, and no result file for the range tasks. The laws with
// all-zero estimates come before it untested.
TEST(QuantileTests, GuardOfTheGpdTasks) {
    WorkDir w;
    w.write_lines("serie.txt", {"-2", "-1", "0.5", "1", "1.5", "2", "3", "4", "5", "6", "8", "11"});
    const std::string sentence =
        cp1252("Présence de données négatives. Nombre d'excès maximum : ") + "9";
    run_setting(w, {41, {"Weibull", "Normale"}, 0, 10, 0, 0, "Zipf"});
    EXPECT_EQ(w.read("Erreur.txt"), sentence);
    EXPECT_EQ(w.read("Result1.txt"), block(not_tested()));
    run_setting(w, {44, {"Normale"}, 0, 3, 5, 10, "Hill"});
    EXPECT_EQ(w.read("Erreur.txt"), sentence);
    EXPECT_FALSE(w.exists("Result1.txt"));
    // Nine excesses, or a method without logarithms, pass the guard.
    for (const Setting& s : {Setting{41, {"Normale"}, 0, 9, 0, 0, "Hill"},
                             Setting{44, {"Normale"}, 0, 3, 5, 10, "HW"}}) {
        const RunOutput out = run_setting(w, s);
        EXPECT_FALSE(w.exists("Erreur.txt")) << s.task << ": " << result_or_error(w);
        EXPECT_EQ(out.status, 0);
    }
}

}  // namespace
}  // namespace evstat::e2e
