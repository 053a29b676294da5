// Tasks 6, 7 and 26: kernel estimate of a density, fitting a law with its two curve pairs,
// and the spread of the estimates over the numbered data files.
#include <cmath>

#include "e2e/harness.h"

namespace evstat::e2e {
namespace {

std::vector<std::string> fit_file(const WorkDir& w, const std::string& task, const std::string& data,
                                  const std::string& result, const std::string& law,
                                  const std::string& p1 = "*", const std::string& p2 = "*") {
    return {w.dir(), data, task, w.dir() + result, law, p1, p2, "*", "0", "1", "4"};
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

const std::string kNegative =
    "Estimation des paramètres impossible. Présence de données négatives";

TEST(TaskKernel, GaussianAndEpanechnikovOverTheFirstDataFile) {
    WorkDir w;
    w.write("Donnees.txt", "0\n");
    w.write_lines("Tmp1.txt", fit_file(w, "6", "*", "Result1.txt", "*", "1", "1"));
    w.run("Tmp1.txt", "1");
    auto lines = lines_of(w.read("Result1.txt"));
    ASSERT_EQ(lines.size(), 5u);
    // One value at 0, bandwidth 1: the standard normal density, 1/sqrt(6.28318530717958) at 0.
    EXPECT_NEAR(std::stod(lines[0].substr(25)), 1.0 / std::sqrt(6.28318530717958), 1e-16);
    EXPECT_NEAR(std::stod(lines[4].substr(25)), std::exp(-0.5) / std::sqrt(6.28318530717958), 1e-16);

    w.write_lines("Tmp1.txt", fit_file(w, "6", "*", "Result1.txt", "*", "2", "0.5"));
    w.run("Tmp1.txt", "1");
    lines = lines_of(w.read("Result1.txt"));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_DOUBLE_EQ(std::stod(lines[0].substr(25)), 1.5);              // 0.75 / 0.5
    EXPECT_DOUBLE_EQ(std::stod(lines[1].substr(25)), 0.75 * 0.75 / 0.5);  // u = 0.5
    EXPECT_DOUBLE_EQ(std::stod(lines[3].substr(25)), 0.0);              // farther than h

    // A missing kernel or bandwidth refuses the task instead of reading what is not there.
    for (const auto& [p1, p2] : std::vector<std::pair<std::string, std::string>>{{"1", "*"}, {"*", "*"}, {"1", "0"}}) {
        std::filesystem::remove(w.file("Erreur.txt"));
        w.write_lines("Tmp1.txt", fit_file(w, "6", "*", "Result1.txt", "*", p1, p2));
        w.run("Tmp1.txt", "1");
        EXPECT_EQ(w.read("Erreur.txt"), cp1252("Valeurs des paramètres non valides.")) << p1 << p2;
    }
}

TEST(TaskFit, NormalFitWithCurvePairsNumberedAfterTheResult) {
    WorkDir w;
    w.write("data.txt", "1\n2\n3\n4\n");
    // Parameters given in the file are not used: the curves take the estimates alone.
    w.write_lines("Tmp3.txt", fit_file(w, "7", "data.txt", "Result3.txt", "Normale", "50", "7"));
    w.run("Tmp3.txt", "1");
    EXPECT_FALSE(w.exists("Erreur.txt"));
    const double sd = std::sqrt(5.0 / 3.0);  // unbiased deviation of 1, 2, 3, 4
    const auto result = lines_of(w.read("Result3.txt"));
    ASSERT_EQ(result.size(), 2u);
    EXPECT_EQ(result[0], formatted(2.5));
    EXPECT_NEAR(std::stod(result[1]), sd, 1e-15);

    for (const auto& [k, task] : std::vector<std::pair<std::string, std::string>>{{"4", "2"}, {"5", "8"}}) {
        const auto tmp = lines_of(w.read("Tmp" + k + ".txt"));
        ASSERT_EQ(tmp.size(), 11u);
        EXPECT_EQ(tmp[0], w.dir());
        EXPECT_EQ(tmp[1], "data.txt");
        EXPECT_EQ(tmp[2], task);
        EXPECT_EQ(tmp[3], w.dir() + "Result" + k + ".txt");
        EXPECT_EQ(tmp[4], "Normale");
        EXPECT_EQ(tmp[5], result[0]);
        EXPECT_EQ(tmp[6], result[1]);
        EXPECT_EQ(tmp[7], "*");
        EXPECT_EQ(tmp[8], formatted(1.0));
        EXPECT_EQ(tmp[9], formatted(4.0));
        EXPECT_EQ(tmp[10], "2000");
        const auto curve = lines_of(w.read("Result" + k + ".txt"));
        EXPECT_GE(curve.size(), 2000u);
        EXPECT_LE(curve.size(), 2001u);
        EXPECT_EQ(curve.front().substr(0, 25), formatted(1.0) + "\t");
    }
    // Density and survival at x = 1 of the fitted normal law (R: dnorm(1, 2.5, sd),
    // and 1 - the engine's normal approximation, within its 7.5e-8 error bound).
    EXPECT_NEAR(std::stod(lines_of(w.read("Result4.txt")).front().substr(25)), 0.15733919206013164, 1e-15);
    EXPECT_NEAR(std::stod(lines_of(w.read("Result5.txt")).front().substr(25)), 0.8773609415966136, 2e-7);
    // The two curve pairs are the only files added.
    EXPECT_EQ(w.files(), (std::vector<std::string>{"Result3.txt", "Result4.txt", "Result5.txt",
                                                   "Tmp3.txt", "Tmp4.txt", "Tmp5.txt", "data.txt"}));
}

TEST(TaskFit, EveryLawAndItsParameterLines) {
    WorkDir w;
    w.write("data.txt", "0.1\n0.2\n0.3\n0.35\n0.5\n0.6\n0.8\n0.9\n");
    const std::vector<std::pair<std::string, int>> laws = {
        {"Uniforme", 2}, {"Exponentielle", 1}, {"Gamma", 2},      {"Chi2", 1},
        {"Normale", 2},  {"Student", 1},       {"Beta", 2},       {"Weibull", 2},
        {"Lognormale", 2}, {"Pareto", 2},      {"GPD", 2},
    };
    for (const auto& [law, count] : laws) {
        std::filesystem::remove(w.file("Erreur.txt"));
        w.write_lines("Tmp1.txt", fit_file(w, "7", "data.txt", "Result1.txt", law));
        w.run("Tmp1.txt", "1");
        EXPECT_FALSE(w.exists("Erreur.txt")) << law;
        EXPECT_EQ(lines_of(w.read("Result1.txt")).size(), static_cast<std::size_t>(count)) << law;
        const auto tmp = lines_of(w.read("Tmp2.txt"));
        ASSERT_EQ(tmp.size(), 11u) << law;
        EXPECT_EQ(tmp[4], law);
        EXPECT_EQ(tmp[6] == "*", count == 1) << law;
        EXPECT_EQ(tmp[7], "*") << law;
        EXPECT_EQ(lines_of(w.read("Tmp3.txt"))[2], "8");
    }
}

TEST(TaskFit, SeriesOutsideTheSupportOfTheLaw) {
    WorkDir w;
    struct Case {
        std::string data, law, message;
    };
    const std::vector<Case> cases = {
        {"0\n1\n2\n", "Exponentielle", kNegative},
        {"0\n1\n2\n", "Normale", ""},
        {"-1\n1\n2\n", "Uniforme", ""},
        {"0.5\n1.2\n", "Beta", "Estimation des paramètres impossible. Données en dehors du support."},
        {"1\n2\n", "*", "L'estimation des paramètres pour ce modèle est impossible. Modèle incompatible."},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(w.file("Erreur.txt"));
        w.write("data.txt", c.data);
        w.write_lines("Tmp1.txt", fit_file(w, "7", "data.txt", "Result1.txt", c.law));
        w.run("Tmp1.txt", "1");
        EXPECT_EQ(w.exists("Erreur.txt") ? w.read("Erreur.txt") : "", cp1252(c.message)) << c.law;
    }
}

TEST(TaskSpread, ThreeFilesOfATwoParameterLaw) {
    WorkDir w;
    const std::vector<std::vector<double>> files = {{1, 2, 3, 4}, {2, 4, 6, 8}, {0, 1, 1, 2}};
    const std::vector<std::string> names = {"Donnees.txt", "Donnees2.txt", "Donnees3.txt"};
    std::vector<double> means, deviations;
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::string text;
        double sum = 0.0;
        for (double v : files[i]) {
            text += formatted(v) + "\n";
            sum += v;
        }
        w.write(names[i], text);
        const double mean = sum / 4.0;
        double squares = 0.0;
        for (double v : files[i]) squares += (v - mean) * (v - mean);
        means.push_back(mean);
        deviations.push_back(std::sqrt(squares / 3.0));
    }
    w.write_lines("Tmp1.txt", fit_file(w, "26", "Tous", "Result1.txt", "Normale"));
    w.run("Tmp1.txt", "1");
    EXPECT_FALSE(w.exists("Erreur.txt"));
    const auto lines = lines_of(w.read("Result1.txt"));
    ASSERT_EQ(lines.size(), 11u);  // six values, four statistics, the file count
    std::sort(means.begin(), means.end());
    std::sort(deviations.begin(), deviations.end());
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(std::stod(lines[static_cast<std::size_t>(i)]), means[static_cast<std::size_t>(i)], 1e-14);
        EXPECT_NEAR(std::stod(lines[static_cast<std::size_t>(i + 3)]), deviations[static_cast<std::size_t>(i)], 1e-14);
    }
    // Mean and variance (divisor n) of the three means 1, 2.5, 5, then of the deviations.
    EXPECT_NEAR(std::stod(lines[6]), 17.0 / 6.0, 1e-14);
    EXPECT_NEAR(std::stod(lines[7]), (std::pow(1 - 17.0 / 6, 2) + std::pow(2.5 - 17.0 / 6, 2) + std::pow(5 - 17.0 / 6, 2)) / 3, 1e-14);
    EXPECT_EQ(lines[10], formatted(3.0));

    // A non-positive value with a law of positive data fails with 61.
    w.write_lines("Tmp1.txt", fit_file(w, "26", "Tous", "Result1.txt", "Exponentielle"));
    w.run("Tmp1.txt", "1");
    EXPECT_EQ(w.read("Erreur.txt"), cp1252(kNegative));
}

TEST(TaskSpread, NoNumberedDataFileIsReportedAndWritesNoResult) {
    WorkDir w;
    w.write_lines("Tmp1.txt", fit_file(w, "26", "Tous", "Result1.txt", "Normale"));
    w.run("Tmp1.txt", "1");
    EXPECT_EQ(w.files(), (std::vector<std::string>{"Erreur.txt", "Tmp1.txt"}));
    EXPECT_EQ(w.read("Erreur.txt"), cp1252("Le fichier spécifié est introuvable ou n'existe pas."));
}

}  // namespace
}  // namespace evstat::e2e
