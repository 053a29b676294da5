// Task 25 as a front end runs it: the result column and the curve pairs of every law word,
// the closed forms of the exponential case and the rulings. The bytes of these runs with
// one seed are kept as golden cases (tests/golden); here, what holds whatever the draws.
#include <algorithm>
#include <cmath>

#include "e2e/harness.h"

namespace evstat::e2e {
namespace {

using Lines = std::vector<std::string>;
constexpr unsigned kSeed = 2024;

struct Case {
    std::string law;
    std::string data;  // "portpirie.txt" or "expo.txt"
    std::string c;     // the expert's value; P(X > c) between 0.1 and 0.05
    std::string low = "*", high = "*";
    std::string simulationLaw = "*";  // "*": the series was not simulated
    std::vector<double> simulationParameters = {};
    std::string test = "CVM";
    std::string predictiveLabel = "";  // the predictive law's name in its curve pairs
};

// 40 unit-exponential quantiles at (i - 0.5)/40: a series the gamma law's bracket suits.
std::string exponential_quantiles() {
    std::string text;
    for (int i = 1; i <= 40; ++i) text += formatted(-std::log(1.0 - (i - 0.5) / 40.0)) + "\n";
    return text;
}

// The result file is Result3.txt: the curve pairs are numbered from 4.
Lines expert_file(const WorkDir& w, const Case& c) {
    Lines lines = {w.dir(), c.data, "25", w.dir() + "Result3.txt", c.law, c.low, c.high,
                   c.simulationLaw == "*" ? "0" : "1", c.simulationLaw};
    for (std::size_t i = 0; i < 3; ++i)
        lines.push_back(i < c.simulationParameters.size() ? formatted(c.simulationParameters[i]) : "*");
    const Lines rest = {"1", c.c, "0.1", "0.05", "0.05", "Moyenne", c.test, "0.05", "0.1",
                        "10", "0.01", "0.01", "0", "0.001", "0", "0"};
    lines.insert(lines.end(), rest.begin(), rest.end());
    return lines;
}

std::vector<double> numbers(const std::string& text) {
    std::vector<double> values;
    std::istringstream in(text);
    for (double v = 0; in >> v;) values.push_back(v);
    return values;
}

// Every law word, whatever the draws: no error; the column holds the expert's interval and
// its positions (4), the prior (2), the predictive parameters (2 for the exponential law, else
// 3), the nine values of the tests and two quantiles from each of three tables (five when
// the series was simulated); the curve pairs are the densities (task 2) of the fitted law,
// the simulation law and the predictive law, then their survival functions (task 8), each
// over increasing abscissas with densities not below 0 and survival values within [0, 1].
TEST(TaskExpertOpinion, ResultColumnAndCurvePairsByLaw) {
    WorkDir w;
    w.write("portpirie.txt", [] {
        std::ifstream in(EVSTAT_SOURCE_DIR "/examples/portpirie.txt");
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }());
    w.write("expo.txt", exponential_quantiles());
    const std::vector<Case> cases = {
        {"Exponentielle", "portpirie.txt", "4.6", "*", "*", "*", {}, "CVM", "GPD"},
        {"Exponentielle", "expo.txt", "3", "*", "*", "Exponentielle", {1.0}, "AD", "GPD"},
        {"Gamma", "expo.txt", "3", "*", "*", "*", {}, "CVM", "Beta2Prop"},
        {"Normale", "portpirie.txt", "4.6", "*", "*", "Normale", {3.9, 0.2}, "AD", "StudentApprochee"},
        {"Lognormale", "portpirie.txt", "4.6", "*", "*", "*", {}, "CVM", "StudentApprocheeTrans"},
        {"WeibullEchelle", "portpirie.txt", "4.6", "*", "*", "Weibull", {3e9, 15.5}, "CVM", "GPDTrans"},
        {"WeibullForme", "portpirie.txt", "4.6", "1", "20", "*", {}, "AD", "WeibPred"},
    };
    for (const Case& c : cases) {
        for (const std::string& name : w.files())
            if (name != "portpirie.txt" && name != "expo.txt") std::filesystem::remove(w.file(name));
        w.write_lines("Tmp1.txt", expert_file(w, c));
        EXPECT_EQ(w.run("Tmp1.txt", "3").status, 0) << c.law;
        EXPECT_FALSE(w.exists("Erreur.txt")) << c.law;
        const bool simulated = c.simulationLaw != "*";
        const std::size_t predictive = c.law == "Exponentielle" ? 2 : 3;
        EXPECT_EQ(numbers(w.read("Result3.txt")).size(), 4 + 2 + predictive + 9 + (simulated ? 10u : 6u))
            << c.law;
        Lines laws = {c.law};
        if (simulated) laws.push_back(c.simulationLaw);
        laws.push_back(c.predictiveLabel);
        for (std::size_t i = 0; i < 2 * laws.size(); ++i) {
            const std::string k = std::to_string(4 + i);
            const std::string task = i < laws.size() ? "2" : "8";
            Lines lines;
            std::istringstream in(w.read("Tmp" + k + ".txt"));
            for (std::string line; std::getline(in, line);) lines.push_back(line);
            ASSERT_GE(lines.size(), 5u) << c.law << " Tmp" << k;
            EXPECT_EQ(lines[2], task) << c.law << " Tmp" << k;
            EXPECT_EQ(lines[4], laws[i % laws.size()]) << c.law << " Tmp" << k;
            const std::vector<double> curve = numbers(w.read("Result" + k + ".txt"));
            ASSERT_GE(curve.size(), 4u) << c.law << " Result" << k;
            for (std::size_t j = 0; j < curve.size(); j += 2) {
                const std::string where = c.law + " Result" + k + " point " + std::to_string(j / 2);
                EXPECT_TRUE(j == 0 || curve[j] > curve[j - 2]) << where;
                EXPECT_GE(curve[j + 1], 0.0) << where;
                EXPECT_TRUE(task == "2" || curve[j + 1] <= 1.0) << where;
            }
        }
        EXPECT_FALSE(w.exists("Tmp" + std::to_string(4 + 2 * laws.size()) + ".txt")) << c.law;
    }
}

TEST(TaskExpertOpinion, ExponentialByClosedForms) {
    // P(X > 3) between 0.1 and 0.05 gives the rates -ln(d)/3; the Gamma prior (a, b) and the
    // predictive Lomax ((b + sum x)/(a + n), -1/(a + n)), whose density is drawn as the GPD
    // of shape 1/(a + n) and scale q1: f(x) = (1/q1)(1 + x/(q1 (a + n)))^(-(a + n) - 1).
    WorkDir w;
    w.write("expo.txt", exponential_quantiles());
    const Case c = {"Exponentielle", "expo.txt", "3"};
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
        const Case c = {r.law, r.data, r.c};
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
