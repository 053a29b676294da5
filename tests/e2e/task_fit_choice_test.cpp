// Tasks 9 to 12, 36 and 37 as the front end runs them: the candidate laws of one series
// with their curve pairs, the rejection rates over the numbered data files, and the
// extreme quantiles of fitted laws. Only laws decided with a table of critical values are
// used where a decision is checked, so no result depends on the clock-seeded generator.
#include <cmath>
#include <cstdlib>

#include "e2e/harness.h"

namespace evstat::e2e {
namespace {

using Lines = std::vector<std::string>;

// A LoadType 2 file: laws, then 10 excesses, the level, the excess range 2 to 5, ET
// version 1, 100 bootstrap samples and the quantile order.
Lines fit_file(const WorkDir& w, const std::string& task, const std::string& dataFile,
               const std::string& resultFile, const Lines& laws,
               const std::string& level = "0.05", const std::string& order = "0.01") {
    Lines lines = {w.dir(), dataFile, task, w.dir() + resultFile};
    lines.insert(lines.end(), laws.begin(), laws.end());
    lines.insert(lines.end(), {"10", level, "2", "5", "1", "100", order});
    return lines;
}

std::string series_text(const std::vector<double>& values) {
    std::string text;
    for (double v : values) text += formatted(v) + "\n";
    return text;
}

Lines split_lines(const std::string& text) {
    Lines lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// A written double: parsed back, and checked to be exactly "%24.17e" of itself.
double number_line(const std::string& line) {
    const double value = std::strtod(line.c_str(), nullptr);
    EXPECT_EQ(line, formatted(value));
    return value;
}

std::string message(int code) {
    switch (code) {
        case 3: return cp1252("Le fichier spécifié est introuvable ou n'existe pas.");
        case 9: return cp1252("Le nom de loi spécifié est absent du catalogue de modèles (cf documentation technique).");
        case 64: return cp1252("Le modèle ne convient pas. Présence de données négatives.");
        default: return "";
    }
}

// A series holding negative values and 0; the exponential and GPD fits are then zero.
const std::vector<double> kMixedSeries = {-1.2, -0.4, 0.0, 0.3, 0.9, 1.1, 1.6, 2.2, 2.5, 3.4};

// Fits of kMixedSeries computed with R 4 (mean, sd; uniform bounds (n x1 - xn)/(n - 1) and
// (n xn - x1)/(n - 1); statistics from pnorm and punif with the corrections of the tests).
struct MixedSeriesFits {
    double mean = 1.04, sd = 1.4182931839205728;
    double lower = -1.7111111111111112, upper = 3.9111111111111114;
    double adNormal = 0.1170512168507548, adUniform = 0.28336068761553079;
    double cvmNormal = 0.01496997596834194, cvmUniform = 0.0079262301655496446;
    double quantileUniform = 3.8548888888888895, quantileNormal = 4.33944333318024;  // at 0.99
};
constexpr double kNormalTolerance = 2e-7;  // the normal distribution function's approximation

TEST(TaskCandidateLaws, ThreeLawsOfWhichTheSecondIsUnusable) {
    WorkDir w;
    const MixedSeriesFits r;
    w.write("serie.txt", series_text(kMixedSeries));
    w.write_lines("Tmp1.txt", fit_file(w, "9", "serie.txt", "Result3.txt",
                                       {"Normale", "Exponentielle", "Uniforme"}));
    ASSERT_EQ(w.run("Tmp1.txt", "2").status, 0);
    EXPECT_FALSE(w.exists("Erreur.txt"));

    const Lines lines = split_lines(w.read("Result3.txt"));
    ASSERT_EQ(lines.size(), 17u);
    // Normal: estimates, accepted, corrected A^2, the 0.05 entry of its table.
    EXPECT_NEAR(number_line(lines[0]), r.mean, 1e-15);
    EXPECT_NEAR(number_line(lines[1]), r.sd, 1e-15);
    EXPECT_EQ(lines[2], "1");
    EXPECT_NEAR(number_line(lines[3]), r.adNormal, kNormalTolerance);
    EXPECT_EQ(lines[4], formatted(0.752));
    // Exponential over a series holding 0: one zero estimate, the test refused.
    EXPECT_EQ((Lines{lines.begin() + 5, lines.begin() + 9}),
              (Lines{formatted(0.0), "0", formatted(0.0), formatted(0.0)}));
    // Uniform: corrected bounds, accepted against 2.492.
    EXPECT_NEAR(number_line(lines[9]), r.lower, 1e-14);
    EXPECT_NEAR(number_line(lines[10]), r.upper, 1e-14);
    EXPECT_EQ(lines[11], "1");
    EXPECT_NEAR(number_line(lines[12]), r.adUniform, 1e-12);
    EXPECT_EQ(lines[13], formatted(2.492));
    // The usable positions, then the count of unusable laws.
    EXPECT_EQ((Lines{lines.begin() + 14, lines.end()}),
              (Lines{formatted(1.0), formatted(3.0), formatted(1.0)}));

    // Curve pairs numbered from the result number 3: the normal law, then the uniform law.
    const double lo = kMixedSeries.front();
    const double hi = kMixedSeries.back();
    const struct {
        int k;
        std::string law;
        std::string p1, p2;
    } curves[] = {{4, "Normale", lines[0], lines[1]}, {5, "Uniforme", lines[9], lines[10]}};
    for (const auto& c : curves) {
        const std::string k = std::to_string(c.k);
        const Lines expected = {w.dir(), "serie.txt", "2", w.dir() + "Result" + k + ".txt",
                                c.law, c.p1, c.p2, "*", formatted(lo), formatted(hi), "2000"};
        EXPECT_EQ(split_lines(w.read("Tmp" + k + ".txt")), expected) << c.law;
        const Lines curve = split_lines(w.read("Result" + k + ".txt"));
        EXPECT_GE(curve.size(), 2000u) << c.law;
        EXPECT_LE(curve.size(), 2001u) << c.law;
        ASSERT_FALSE(curve.empty());
        EXPECT_EQ(curve.front().substr(0, formatted(lo).size() + 1), formatted(lo) + "\t") << c.law;
    }
    EXPECT_EQ(w.files(), (Lines{"Result3.txt", "Result4.txt", "Result5.txt", "Tmp1.txt",
                                "Tmp4.txt", "Tmp5.txt", "serie.txt"}));
}

TEST(TaskCandidateLaws, GpdOverASeriesHoldingZeroIsUnusable) {
    WorkDir w;
    w.write("serie.txt", series_text({0.0, 0.5, 1.0, 2.0, 4.0}));
    w.write_lines("Tmp1.txt", fit_file(w, "9", "serie.txt", "Result1.txt", {"GPD"}));
    ASSERT_EQ(w.run("Tmp1.txt", "2").status, 0);
    const std::string zero = formatted(0.0) + "\n";
    EXPECT_EQ(w.read("Result1.txt"), zero + zero + "0\n" + zero + zero + formatted(1.0) + "\n");
    EXPECT_EQ(w.files(), (Lines{"Result1.txt", "Tmp1.txt", "serie.txt"}));
}

// A normal fit of mean exactly 0: usable (its second estimate is not 0), but no curve.
TEST(TaskCandidateLaws, FirstEstimateZeroIsUsableWithoutCurve) {
    WorkDir w;
    w.write("serie.txt", series_text({-2.0, -1.0, 0.0, 1.0, 2.0}));
    w.write_lines("Tmp1.txt", fit_file(w, "9", "serie.txt", "Result1.txt", {"Normale"}));
    ASSERT_EQ(w.run("Tmp1.txt", "2").status, 0);
    const Lines lines = split_lines(w.read("Result1.txt"));
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], formatted(0.0));
    EXPECT_EQ(lines[1], formatted(std::sqrt(2.5)));
    EXPECT_EQ((Lines{lines.begin() + 5, lines.end()}), (Lines{formatted(1.0), formatted(0.0)}));
    EXPECT_EQ(w.files(), (Lines{"Result1.txt", "Tmp1.txt", "serie.txt"}));
}

TEST(TaskCandidateLaws, AnUnknownNameFailsWhenItsTurnComes) {
    WorkDir w;
    w.write("serie.txt", series_text({0.0, 0.5, 1.0, 2.0, 4.0}));
    w.write_lines("Tmp1.txt", fit_file(w, "9", "serie.txt", "Result1.txt", {"GPD", "normale"}));
    ASSERT_EQ(w.run("Tmp1.txt", "2").status, 1);
    EXPECT_EQ(w.read("Erreur.txt"), message(9));
    EXPECT_EQ(split_lines(w.read("Result1.txt")).size(), 5u);  // the GPD block stays
}

TEST(TaskCandidateLaws, CramerVonMises) {
    WorkDir w;
    const MixedSeriesFits r;
    w.write("serie.txt", series_text(kMixedSeries));
    w.write_lines("Tmp1.txt",
                  fit_file(w, "10", "serie.txt", "Result1.txt", {"Uniforme", "Normale"}));
    ASSERT_EQ(w.run("Tmp1.txt", "2").status, 0);
    const Lines lines = split_lines(w.read("Result1.txt"));
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[2], "1");
    EXPECT_NEAR(number_line(lines[3]), r.cvmUniform, 1e-12);
    EXPECT_EQ(lines[4], formatted(0.461));
    EXPECT_EQ(lines[7], "1");
    EXPECT_NEAR(number_line(lines[8]), r.cvmNormal, kNormalTolerance);
    EXPECT_EQ(lines[9], formatted(0.126));
    EXPECT_EQ((Lines{lines.begin() + 10, lines.end()}),
              (Lines{formatted(1.0), formatted(2.0), formatted(0.0)}));
    EXPECT_TRUE(w.exists("Tmp2.txt") && w.exists("Tmp3.txt"));
}

// Two series of 20 values, frozen from R 4: 5 + 2 qnorm((i - 0.5)/20), which the normal
// law fits closely (A^2 0.046, W^2 0.004), and (-log(1 - (i - 0.5)/20))^3, which it does
// not (A^2 4.5 against 0.752, W^2 0.87 against 0.126).
const std::vector<double> kNearNormal = {
    1.0800720309, 2.1209370581, 2.6993012392, 3.1308214179, 3.4891699473,
    3.8044797479, 4.0924756197, 4.3627212721, 4.6217631475, 4.8745864441,
    5.1254135559, 5.3782368525, 5.6372787279, 5.9075243803, 6.1955202521,
    6.5108300527, 6.8691785821, 7.3006987608, 7.8790629419, 8.9199279691};
const std::vector<double> kSkewed = {
    0.0000162285, 0.0004738504, 0.0023809492, 0.0071190961, 0.0165603645,
    0.0332569009, 0.0607181922, 0.1038254051, 0.1694660512, 0.2675344329,
    0.4125626734, 0.6264883427, 0.9435832661, 1.4197696978, 2.1516060779,
    3.3189832220, 5.2950396537, 8.9916656037, 17.3793560722, 50.1976505038};

TEST(TaskRejectionRate, FourFilesDecidedOneZeroOneOne) {
    for (const std::string task : {"11", "12"}) {
        WorkDir w;
        w.write("Donnees.txt", series_text(kNearNormal));
        w.write("Donnees2.txt", series_text(kSkewed));
        w.write("Donnees3.txt", series_text(kNearNormal));
        w.write("Donnees4.txt", series_text(kNearNormal));
        w.write("Donnees6.txt", series_text(kSkewed));  // after the gap: never read
        w.write_lines("Tmp1.txt", fit_file(w, task, "*", "Result1.txt", {"Normale"}));
        ASSERT_EQ(w.run("Tmp1.txt", "2").status, 0) << task;
        // Variance 0.1875 of 1, 0, 1, 1, over the number of files plus one.
        EXPECT_EQ(w.read("Result1.txt"), formatted(25.0) + "\n" + formatted(75.0) + "\n" +
                                             formatted(100.0 * std::sqrt(0.1875 / 5.0)) + "\n")
            << task;
    }
}

// Without a numbered data file the rates would be 0/0: the run fails with code 3 instead.
TEST(TaskRejectionRate, NoNumberedFileFailsWithMissingFile) {
    for (const std::string task : {"11", "12", "37"}) {
        WorkDir w;
        w.write("Donnees2.txt", series_text(kNearNormal));  // not read without the first
        w.write_lines("Tmp1.txt", fit_file(w, task, "*", "Result1.txt", {"Normale"}));
        ASSERT_EQ(w.run("Tmp1.txt", "2").status, 1) << task;
        EXPECT_EQ(w.read("Erreur.txt"), message(3)) << task;
        EXPECT_FALSE(w.exists("Result1.txt")) << task;
    }
}

TEST(TaskExtremeQuantiles, OnePerLawAndMinusTenForZeroEstimates) {
    WorkDir w;
    const MixedSeriesFits r;
    w.write("serie.txt", series_text(kMixedSeries));
    w.write_lines("Tmp1.txt", fit_file(w, "36", "serie.txt", "Result1.txt",
                                       {"Uniforme", "GPD", "Normale", "Exponentielle"}));
    ASSERT_EQ(w.run("Tmp1.txt", "2").status, 0);
    const std::string text = w.read("Result1.txt");
    ASSERT_NE(text.back(), '\n');  // the last quantile has no line end
    const Lines lines = split_lines(text);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NEAR(number_line(lines[0]), r.quantileUniform, 1e-13);
    EXPECT_EQ(lines[1], formatted(-10.0));
    EXPECT_NEAR(number_line(lines[2]), r.quantileNormal, 1e-6);
    EXPECT_EQ(lines[3], formatted(-10.0));
}

// Beta fits by moments and their 0.9 quantiles, from R 4's qbeta: (i - 0.5)/10 gives
// a = b = 0.8636..., q 0.91935272996051853; its squares give q 0.84040603645073486.
TEST(TaskExtremeQuantileSpread, MinusTenStaysInTheColumnButNotInTheStatistics) {
    WorkDir w;
    std::vector<double> even, squares, outside;
    for (int i = 1; i <= 10; ++i) {
        even.push_back((i - 0.5) / 10.0);
        squares.push_back(even.back() * even.back());
        outside.push_back(0.15 * i);  // the last value above 1: zero estimates
    }
    w.write("Donnees.txt", series_text(even));
    w.write("Donnees2.txt", series_text(outside));
    w.write("Donnees3.txt", series_text(squares));
    w.write_lines("Tmp1.txt", fit_file(w, "37", "*", "Result1.txt", {"Beta"}, "0.05", "0.1"));
    ASSERT_EQ(w.run("Tmp1.txt", "2").status, 0);

    const Lines lines = split_lines(w.read("Result1.txt"));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], formatted(-10.0));
    const double q1 = number_line(lines[1]);
    const double q2 = number_line(lines[2]);
    EXPECT_NEAR(q1, 0.84040603645073486, 1e-7);
    EXPECT_NEAR(q2, 0.91935272996051853, 1e-7);
    const double mean = (q1 + q2) / 2.0;
    const double variance = ((q1 - mean) * (q1 - mean) + (q2 - mean) * (q2 - mean)) / 2.0;
    EXPECT_EQ((Lines{lines.begin() + 3, lines.end()}),
              (Lines{formatted(mean), formatted(variance), formatted(3.0)}));
}

TEST(TaskExtremeQuantileSpread, NonPositiveValueWithAPositiveLaw) {
    WorkDir w;
    w.write("Donnees.txt", series_text({0.5, 1.0, 2.0}));
    w.write("Donnees2.txt", series_text({0.0, 1.0, 2.0}));
    w.write_lines("Tmp1.txt", fit_file(w, "37", "*", "Result1.txt", {"GPD"}));
    ASSERT_EQ(w.run("Tmp1.txt", "2").status, 1);
    EXPECT_EQ(w.read("Erreur.txt"), message(64));
    EXPECT_FALSE(w.exists("Result1.txt"));
}

// Every quantile unavailable: the column of -10.0, and -10.0 for its mean and variance.
TEST(TaskExtremeQuantileSpread, NoAvailableQuantile) {
    WorkDir w;
    w.write("Donnees.txt", series_text({0.5, 1.5}));
    w.write_lines("Tmp1.txt", fit_file(w, "37", "*", "Result1.txt", {"Beta"}));
    ASSERT_EQ(w.run("Tmp1.txt", "2").status, 0);
    const std::string minusTen = formatted(-10.0);
    EXPECT_EQ(w.read("Result1.txt"),
              minusTen + "\n" + minusTen + "\n" + minusTen + "\n" + formatted(1.0) + "\n");
}

// Awkward inputs the loader lets through end as normal runs, with no "nan" written: a
// level without a table, quantile orders 0 and 1. A task that reads a series given as
// "*" (no data file) fails with 3.
TEST(TaskFitChoice, AwkwardInputsEndNormally) {
    const struct {
        std::string task, dataFile, level, order;
        Lines laws;
        int code;  // 0: a normal run
    } rows[] = {
        {"9", "*", "0.05", "0.01", {"Normale", "GPD", "Gamma"}, 3},
        {"10", "serie.txt", "0", "0.01", {"Normale", "Weibull"}, 0},
        {"36", "serie.txt", "0.05", "0", {"Normale", "Exponentielle", "Beta"}, 0},
        {"36", "serie.txt", "0.05", "1", {"Normale", "Exponentielle", "Gamma"}, 0},
        {"36", "*", "0.05", "0.01", {"Normale", "GPD"}, 3},
    };
    for (const auto& row : rows) {
        WorkDir w;
        w.write("serie.txt", series_text({0.2, 0.4, 0.5, 0.9, 1.3}));
        w.write_lines("Tmp1.txt",
                      fit_file(w, row.task, row.dataFile, "Result1.txt", row.laws, row.level,
                               row.order));
        const RunOutput out = w.run("Tmp1.txt", "2");
        EXPECT_EQ(out.status, row.code == 0 ? 0 : 1) << row.task << " " << row.dataFile;
        if (row.code != 0) {
            EXPECT_EQ(w.read("Erreur.txt"), message(row.code)) << row.task;
            continue;
        }
        EXPECT_EQ(w.read("Result1.txt").find("nan"), std::string::npos) << row.task;
    }
}

}  // namespace
}  // namespace evstat::e2e
