// Tasks 1, 2, 3, 4 and 8: samples drawn from a law with their numbered data files, and the
// curves of a law over a grid or over the abscissas of a data file.
#include <cmath>

#include "e2e/harness.h"

namespace evstat::e2e {
namespace {

std::vector<std::string> law_file(const WorkDir& w, const std::string& task, const std::string& data,
                                  const std::string& law, const std::string& p1,
                                  const std::string& p2, const std::string& a,
                                  const std::string& b, const std::string& m) {
    return {w.dir(), data, task, w.dir() + "Result1.txt", law, p1, p2, "*", a, b, m};
}

// The (x, y) pairs of a curve file.
std::vector<std::pair<double, double>> pairs_of(const std::string& text) {
    std::vector<std::pair<double, double>> pairs;
    std::istringstream in(text);
    double x = 0.0, y = 0.0;
    while (in >> x >> y) pairs.emplace_back(x, y);
    return pairs;
}

std::vector<double> numbers_of(const std::string& text) {
    std::vector<double> values;
    std::istringstream in(text);
    for (double v; in >> v;) values.push_back(v);
    return values;
}

TEST(TaskLawCurves, DensityOnTheGridFromZeroToOneInFourSteps) {
    WorkDir w;
    w.write_lines("Tmp1.txt", law_file(w, "2", "*", "Normale", "0", "1", "0", "1", "4"));
    w.run("Tmp1.txt", "1");
    const std::string text = w.read("Result1.txt");
    // x column byte for byte; densities from R: dnorm(c(0, .25, .5, .75, 1)).
    const std::vector<double> expected = {0.39894228040143270, 0.38666811680284924,
                                          0.35206532676429952, 0.30113743215480443,
                                          0.24197072451914337};
    std::istringstream lines(text);
    std::string line;
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(std::getline(lines, line));
        EXPECT_EQ(line.substr(0, 25), formatted(0.25 * i) + "\t");
        EXPECT_NEAR(std::stod(line.substr(25)), expected[static_cast<std::size_t>(i)], 1e-15);
    }
    EXPECT_FALSE(std::getline(lines, line));
    EXPECT_EQ(text.back(), '\n');
}

TEST(TaskLawCurves, DistributionQuantileAndSurvivalOverADataFile) {
    WorkDir w;
    // Exponential of mean 2 at the abscissas of a file; R: 1 - exp(-c(.25, .75)).
    w.write("abscissas.txt", "0.5\n1.5\n");
    w.write_lines("Tmp1.txt", law_file(w, "3", "abscissas.txt", "Exponentielle", "2", "*", "0", "0", "0"));
    w.run("Tmp1.txt", "1");
    auto pairs = pairs_of(w.read("Result1.txt"));
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0].first, 0.5);
    EXPECT_NEAR(pairs[0].second, 0.22119921692859512, 1e-15);
    EXPECT_NEAR(pairs[1].second, 0.52763344725898531, 1e-15);

    // Quantiles at probabilities; R: qexp(c(.1, .5, .9), rate = 1/2).
    w.write("probabilities.txt", "0.1 0.5 0.9");
    w.write_lines("Tmp1.txt", law_file(w, "4", "probabilities.txt", "Exponentielle", "2", "*", "0", "0", "0"));
    w.run("Tmp1.txt", "1");
    pairs = pairs_of(w.read("Result1.txt"));
    ASSERT_EQ(pairs.size(), 3u);
    EXPECT_NEAR(pairs[0].second, 0.21072103131565262, 1e-15);
    EXPECT_NEAR(pairs[1].second, 1.38629436111989057, 1e-15);
    EXPECT_NEAR(pairs[2].second, 4.60517018598809180, 1e-14);

    // Survival of the Weibull law F(x) = 1 - exp(-x^2 / 3), that is R's Weibull with
    // shape 2 and scale sqrt(3): 1 - pweibull(c(.5, 1, 2), 2, sqrt(3)).
    w.write("abscissas.txt", "0.5\n1\n2\n");
    w.write_lines("Tmp1.txt", law_file(w, "8", "abscissas.txt", "Weibull", "3", "2", "0", "0", "0"));
    w.run("Tmp1.txt", "1");
    pairs = pairs_of(w.read("Result1.txt"));
    ASSERT_EQ(pairs.size(), 3u);
    EXPECT_NEAR(pairs[0].second, 0.92004441462932318, 1e-15);
    EXPECT_NEAR(pairs[1].second, 0.71653131057378916, 1e-15);
    EXPECT_NEAR(pairs[2].second, 0.26359713811572671, 1e-15);
}

TEST(TaskLawCurves, InvalidParametersFailWithTwelveBeforeAnythingIsWritten) {
    WorkDir w;
    const std::string twelve = cp1252("Valeurs des paramètres non valides.");
    struct Case {
        std::string task, law, p1, p2;
    };
    const std::vector<Case> cases = {
        {"1", "Uniforme", "1", "1"}, {"2", "Normale", "0", "0"},   {"3", "*", "*", "*"},
        {"4", "Beta", "1", "*"},     {"8", "Pareto", "1", "-2"},   {"2", "Import", "1", "1"},
        {"2", "Student", "-3", "*"}, {"8", "Student", "0.5", "*"},  // fewer than 1 degree
    };
    for (const Case& c : cases) {
        std::filesystem::remove(w.file("Erreur.txt"));
        w.write_lines("Tmp1.txt", law_file(w, c.task, "*", c.law, c.p1, c.p2, "1", "2", "4"));
        w.run("Tmp1.txt", "1");
        EXPECT_EQ(w.read("Erreur.txt"), twelve) << c.task << " " << c.law;
        EXPECT_FALSE(w.exists("Result1.txt"));
        EXPECT_FALSE(w.exists("Donnees.txt"));
    }
    // The Student law passes from one degree of freedom.
    std::filesystem::remove(w.file("Erreur.txt"));
    w.write_lines("Tmp1.txt", law_file(w, "2", "*", "Student", "1", "*", "-1", "1", "2"));
    w.run("Tmp1.txt", "1");
    EXPECT_FALSE(w.exists("Erreur.txt"));
}

TEST(TaskSimulate, SummaryAndNumberedDataFiles) {
    struct Case {
        std::string samples;
        std::vector<std::string> files;
    };
    const std::vector<Case> cases = {
        {"1", {"Donnees.txt"}},
        {"2.5", {"Donnees.txt", "Donnees2.txt"}},
        {"3", {"Donnees.txt", "Donnees2.txt", "Donnees3.txt"}},
    };
    for (const Case& c : cases) {
        WorkDir w;
        w.write("Result1.txt", "before" + kLineEnd);
        // Uniform on [0, 12]: mean 6, variance 12 (the square of 12 / sqrt(12)).
        w.write_lines("Tmp1.txt", law_file(w, "1", "*", "Uniforme", "0", "12", "2000", c.samples, "10"));
        w.run("Tmp1.txt", "1");
        EXPECT_FALSE(w.exists("Erreur.txt"));
        const std::string text = w.read("Result1.txt");
        ASSERT_EQ(text.substr(0, 7), "before\n");  // appended to, not replaced
        const std::vector<double> summary = numbers_of(text.substr(7));
        ASSERT_EQ(summary.size(), 7u);
        EXPECT_EQ(summary[0], 6.0);
        EXPECT_NEAR(summary[2], 12.0, 1e-12);
        EXPECT_NEAR(summary[1], 6.0, 0.3);        // 4.5 standard errors of the mean
        EXPECT_NEAR(summary[3], 12.0, 1.2);
        EXPECT_LE(summary[4], summary[6]);
        EXPECT_LE(summary[6], summary[5]);
        for (const std::string& file : c.files) {
            const std::vector<double> values = numbers_of(w.read(file));
            ASSERT_EQ(values.size(), 2000u) << file;
            EXPECT_TRUE(std::is_sorted(values.begin(), values.end())) << file;
            EXPECT_GT(values.front(), 0.0);
            EXPECT_LT(values.back(), 12.0);
            EXPECT_NE(w.read(file).back(), '\n');
        }
        EXPECT_FALSE(w.exists("Donnees" + std::to_string(c.files.size() + 1) + ".txt"));
    }
}

TEST(TaskSimulate, MomentsThatDoNotExistAreWrittenAsMinusOne) {
    WorkDir w;
    // Pareto of threshold 1 and exponent 1.5: mean 1.5 / 0.5 = 3, no variance.
    w.write_lines("Tmp1.txt", law_file(w, "1", "*", "Pareto", "1", "1.5", "50", "1", "5"));
    w.run("Tmp1.txt", "1");
    std::istringstream lines(w.read("Result1.txt"));
    std::vector<std::string> got;
    for (std::string line; std::getline(lines, line);) got.push_back(line);
    ASSERT_EQ(got.size(), 7u);
    EXPECT_EQ(got[0], formatted(3.0));
    EXPECT_EQ(got[2], formatted(-1.0));
    // A normal sample of odd size comes from pairs with the last second value dropped.
    w.write_lines("Tmp1.txt", law_file(w, "1", "*", "Normale", "10", "2", "5", "1", "5"));
    w.run("Tmp1.txt", "1");
    EXPECT_EQ(numbers_of(w.read("Donnees.txt")).size(), 5u);
}

}  // namespace
}  // namespace evstat::e2e
