// The tests of an extreme quantile as a front end runs them (LoadType 2): tasks 16 to 24
// (exponential tail) and 38 to 46 (generalized Pareto tail) with every version of the
// test, their codes, and the guard of tasks 41 to 46. The bytes of these runs with one seed
// are kept as golden cases (tests/golden); here, what holds whatever the draws.
#include <algorithm>
#include <cmath>
#include <map>

#include "e2e/harness.h"
#include "records/errors.h"

namespace evstat::e2e {
namespace {

using Lines = std::vector<std::string>;

constexpr int kResamples = 40;
constexpr int kSeriesSize = 65;  // the sea levels

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

// A run seeded from the clock: what is checked here holds for any draws.
RunOutput run_setting(const WorkDir& w, const Setting& s, const std::string& data = "serie.txt") {
    w.write_lines("Tmp1.txt", parameter_file(w, s, data));
    std::filesystem::remove(w.file("Erreur.txt"));
    std::filesystem::remove(w.file("Result1.txt"));
    return w.run("Tmp1.txt", "2");
}

std::string result_or_error(const WorkDir& w) {
    return w.exists("Erreur.txt") ? "Erreur: " + w.read("Erreur.txt") : w.read("Result1.txt");
}

const std::string kPortPirie = std::string(EVSTAT_SOURCE_DIR) + "/examples/portpirie.txt";

std::string message(Erreur code) { return std::string(error_message(code)); }
const std::string kMessage9 = message(Erreur::UnknownLaw);
const std::string kMessage61 = message(Erreur::NegativeData);
const std::string kMessage63 = message(Erreur::NoEstimator);
const std::string kMessage65 = message(Erreur::MethodPreconditionFails);

// The block of a law that is not tested: the verdict 0 and -10.0 for the rest.
const std::string kNotTested = "0\n" + formatted(-10.0) + "\n" + formatted(-10.0) + "\n" +
                               formatted(-10.0) + "\n" + formatted(-10.0) + "\n";

std::vector<double> numbers(const std::string& text) {
    std::vector<double> values;
    std::istringstream in(text);
    for (double v = 0; in >> v;) values.push_back(v);
    return values;
}

// The result of one setting, whatever the draws: three percentages for the rates (the
// rejection and acceptance rates add up to 100); a block of five values per law (verdict,
// q, Q0, interval) whose verdict is what its interval says (version 1: Q0 within the
// asymptotic interval; 2: q - Q0 within the interval of the differences; 3: q within the
// percentile interval), the law's Q0 the same whatever k and the version; a "j, verdict"
// line per number of excesses, the ET range stopping at the size of the series.
void expect_layout(const Setting& s, const std::string& result, std::map<std::string, double>& lawQuantiles) {
    const std::string why = "task " + std::to_string(s.task) + " version " + std::to_string(s.version) +
                            " k " + std::to_string(s.k);
    const std::vector<double> v = numbers(result);
    const bool tested = s.version >= (s.task < 38 ? 1 : 2);
    const int group = (s.task - (s.task < 38 ? 16 : 38)) / 3;  // 0 rates, 1 blocks, 2 verdicts
    if (group == 0) {
        ASSERT_EQ(v.size(), 3u) << why;
        EXPECT_NEAR(v[0] + v[1], 100.0, 1e-9) << why;
        EXPECT_GE(v[2], 0.0) << why;
        EXPECT_TRUE(tested || (v == std::vector<double>{100.0, 0.0, 0.0})) << why;
        return;
    }
    if (group == 1) {
        ASSERT_EQ(v.size(), 5 * s.laws.size()) << why;
        for (std::size_t law = 0; law < s.laws.size(); ++law) {
            const double verdict = v[5 * law], q = v[5 * law + 1], q0 = v[5 * law + 2];
            const double lower = v[5 * law + 3], upper = v[5 * law + 4];
            if (!tested) {
                EXPECT_EQ(std::vector<double>(v.begin() + 5 * law, v.begin() + 5 * law + 5),
                          (std::vector<double>{0.0, -10.0, -10.0, -10.0, -10.0})) << why;
                continue;
            }
            const std::string& name = s.laws[law];
            lawQuantiles.emplace(name, q0);
            EXPECT_EQ(q0, lawQuantiles[name]) << why << " " << name;
            if (q == -10.0) {  // no test at this k: k < 2 or k >= N
                EXPECT_TRUE(s.k < 2 || s.k >= kSeriesSize) << why;
                EXPECT_EQ(verdict, 0.0) << why;
                continue;
            }
            const double checked = s.version == 1 ? q0 : s.version == 2 ? q - q0 : q;
            EXPECT_LE(lower, upper) << why;
            EXPECT_EQ(verdict, lower <= checked && checked <= upper ? 1.0 : 0.0) << why << " " << name;
        }
        return;
    }
    const int last = s.task < 38 ? std::min(s.high, kSeriesSize) : s.high;
    const std::size_t perLaw = static_cast<std::size_t>(std::max(0, last - s.low + 1));
    ASSERT_EQ(v.size(), 2 * perLaw * s.laws.size()) << why;
    for (std::size_t i = 0; i < v.size(); i += 2) {
        EXPECT_EQ(v[i], s.low + static_cast<double>((i / 2) % perLaw)) << why;
        EXPECT_TRUE(v[i + 1] == 0.0 || (tested && v[i + 1] == 1.0)) << why;
    }
}

// ---------------------------------------------------------------- every group, every version

TEST(QuantileTests, EveryGroupWithEveryVersionAndTheEdgesOfK) {
    WorkDir w;
    std::ifstream in(kPortPirie);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    w.write("serie.txt", text);
    // Three numbered files: the series, its first 50 and its last 50 values.
    Lines levels;
    std::istringstream series(text);
    for (std::string line; std::getline(series, line);) levels.push_back(line);
    w.write_lines("Donnees.txt", levels);
    w.write_lines("Donnees2.txt", Lines(levels.begin(), levels.begin() + 50));
    w.write_lines("Donnees3.txt", Lines(levels.end() - 50, levels.end()));

    const Lines twoLaws = {"Normale", "Weibull"};
    std::vector<Setting> settings;
    for (int version = 0; version <= 3; ++version)
        for (const Setting& s : {Setting{17, {"Normale"}, version}, Setting{20, twoLaws, version},
                                 Setting{23, twoLaws, version}, Setting{39, {"Gamma"}, version},
                                 Setting{42, twoLaws, version, 20, 10, 12, "EMV"},
                                 Setting{45, twoLaws, version}})
            settings.push_back(s);
    // k < 2 and k >= N reach the tests as they are; the GPD tail cannot be fitted to fewer
    // than two excesses or more than N (65).
    for (int k : {0, 1, 64, 65, 80})
        for (const Setting& s : {Setting{20, twoLaws, 1, k}, Setting{21, {"Gamma"}, 2, k},
                                 Setting{43, {"Normale"}, 3, k}})
            settings.push_back(s);
    settings.push_back(Setting{24, {"Normale"}, 3, 0, 60, 70});
    std::map<std::string, double> lawQuantiles;  // Q0 by law
    for (const Setting& s : settings) {
        const RunOutput out = run_setting(w, s);
        const bool refused = s.task == 43 && (s.k < 2 || s.k > kSeriesSize);
        EXPECT_EQ(out.status, refused ? 1 : 0) << "task " << s.task << " k " << s.k;
        if (refused) {
            EXPECT_EQ(result_or_error(w), "Erreur: " + kMessage65) << "k " << s.k;
            continue;
        }
        expect_layout(s, result_or_error(w), lawQuantiles);
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
    EXPECT_EQ(w.read("Result1.txt"), kNotTested);
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
