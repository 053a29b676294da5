// The excess tasks (13 to 15, LoadType 2) and the tail tasks (28 to 35, LoadType 5) as a
// front end runs them: the guard against non-positive data and its own sentence, the
// layout of every result file, and the orderly outcomes at the edges of k.
//
// Reference values were computed with Python 3 (math.log, float64) from the series below:
// Hill's estimate gamma = (1/k) sum (ln X - ln u) over the k largest values with u the
// value at position n - k, sigma = u gamma, and the return level
// u + (sigma/xi)((n p / k)^(-xi) - 1). Summation order may differ by an ulp, hence 1e-13.
#include <cmath>
#include <utility>

#include "e2e/harness.h"

namespace evstat::e2e {
namespace {

using Lines = std::vector<std::string>;
using Pairs = std::vector<std::pair<double, double>>;

constexpr double kRelative = 1e-13;

// 17 positive values, increasing.
const Lines kPositive = {"1.2", "1.5", "1.9", "2.4", "3.0", "3.7", "4.5", "5.6", "6.9",
                         "8.5", "10.4", "12.8", "15.7", "19.3", "23.7", "29.1", "35.8"};

// The 20-value series: three negative values, then the 17 positive ones.
Lines mixed_series() {
    Lines values = {"-3", "-2", "-0.5"};
    values.insert(values.end(), kPositive.begin(), kPositive.end());
    return values;
}

std::string sentence(int m) {
    return cp1252("Présence de données négatives. Nombre d'excès maximum : ") + std::to_string(m);
}
const std::string kMessage61 =
    cp1252("Estimation des paramètres impossible. Présence de données négatives");
const std::string kMessage65 =
    cp1252("Condition mathématique non vérifiée. Calcul impossible. Méthode invalide.");

// LoadType 5: methods, then k, K and the quantile order.
Lines tail_file(const WorkDir& w, int task, const Lines& methods, int k, int K,
                const std::string& order = "0.01", const std::string& data = "serie.txt") {
    Lines lines = {w.dir(), data, std::to_string(task), w.dir() + "Result1.txt"};
    lines.insert(lines.end(), methods.begin(), methods.end());
    lines.insert(lines.end(), {std::to_string(k), std::to_string(K), order});
    return lines;
}

// LoadType 2: one law, the number of excesses and the test level, then the closing lines.
Lines excess_file(const WorkDir& w, int task, const std::string& law, int k,
                  const std::string& data = "serie.txt") {
    return {w.dir(), data, std::to_string(task), w.dir() + "Result1.txt", law,
            std::to_string(k), "0.05", "2", "5", "1", "100", "0.99"};
}

RunOutput run_with(const WorkDir& w, const Lines& parameterFile, const std::string& loadType) {
    w.write_lines("Tmp1.txt", parameterFile);
    std::filesystem::remove(w.file("Erreur.txt"));
    std::filesystem::remove(w.file("Result1.txt"));
    return w.run("Tmp1.txt", loadType);
}

// The "x<tab>y" lines of a result file, each checked to be exactly "%24.17e\t%24.17e\n".
Pairs read_pairs(const std::string& text) {
    Pairs pairs;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const std::size_t tab = line.find('\t');
        EXPECT_NE(tab, std::string::npos) << line;
        if (tab == std::string::npos) continue;
        const double x = std::strtod(line.substr(0, tab).c_str(), nullptr);
        const double y = std::strtod(line.substr(tab + 1).c_str(), nullptr);
        EXPECT_EQ(line, formatted(x) + "\t" + formatted(y)) << "format";
        pairs.emplace_back(x, y);
    }
    EXPECT_TRUE(text.empty() || text.back() == '\n');
    return pairs;
}

std::vector<double> read_column(const std::string& text) {
    std::vector<double> values;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) values.push_back(std::strtod(line.c_str(), nullptr));
    return values;
}

void expect_close(double got, double expected, const std::string& what) {
    EXPECT_NEAR(got, expected, kRelative * std::fabs(expected)) << what;
}

// ---------------------------------------------------------------- the guard

TEST(TailGuard, SentenceAndLargestUsableNumberOrTheFit) {
    WorkDir w;
    w.write_lines("serie.txt", mixed_series());
    struct Row {
        int task;
        Lines methods;
        int k;
        int K;
        bool stops;  // the sentence with m = 20 - 3 - 1 = 16, no result file
        const char* why;
    };
    const std::vector<Row> rows = {
        {28, {"Hill"}, 17, 0, true, "Hill needs 17 > 16 excesses"},
        {28, {"Hill"}, 16, 0, false, "16 excesses keep the threshold above 0"},
        {28, {"HW"}, 17, 0, false, "HW does not take logarithms"},
        {28, {"HW"}, 19, 0, false, "HW at any k"},
        {28, {"EMV"}, 17, 0, false, "EMV does not take logarithms"},
        {32, {"Zipf"}, 17, 0, true, "one-method task, first method Zipf"},
        {29, {"HW", "Hill"}, 17, 0, true, "a method that takes logarithms"},
        {29, {"HW", "EMV"}, 17, 0, false, "only HW and EMV"},
        {29, {"HW", "EMV", "HW"}, 17, 0, true, "three methods or more always count"},
        {33, {"HW", "HillG"}, 17, 0, true, "task 33 over all methods"},
        {30, {"Hill", "HW"}, 2, 17, true, "the range tasks need K"},
        {30, {"Hill", "HW"}, 14, 16, false, "K = 16 is usable"},
        {34, {"Hill"}, 2, 0, true, "K = 0 stands for n - 1 = 19"},
    };
    for (const Row& row : rows) {
        const RunOutput out = run_with(w, tail_file(w, row.task, row.methods, row.k, row.K), "5");
        EXPECT_EQ(out.status, 0) << row.why;
        if (row.stops) {
            EXPECT_EQ(w.read("Erreur.txt"), sentence(16)) << row.why;
            EXPECT_FALSE(w.exists("Result1.txt")) << row.why;
        } else {
            EXPECT_FALSE(w.exists("Erreur.txt")) << row.why << ": " << w.read("Erreur.txt");
        }
    }
}

TEST(TailGuard, NoPositiveValueFailsWith61) {
    WorkDir w;
    w.write_lines("serie.txt", {"-4", "-2.5", "-1", "0"});
    for (int task : {28, 29, 30, 32, 33, 34}) {
        const RunOutput out = run_with(w, tail_file(w, task, {"Hill"}, 2, 3), "5");
        EXPECT_EQ(w.read("Erreur.txt"), kMessage61) << task;
        EXPECT_FALSE(w.exists("Result1.txt")) << task;
        EXPECT_EQ(out.status, 1) << task;
    }
}

// ---------------------------------------------------------------- tasks 28 to 30

TEST(TailFit, Task28ParametersThenBothPlotsThenTheSlope) {
    WorkDir w;
    w.write_lines("serie.txt", mixed_series());
    ASSERT_EQ(run_with(w, tail_file(w, 28, {"Hill"}, 16, 0), "5").status, 0);
    const Pairs pairs = read_pairs(w.read("Result1.txt"));
    // (xi, sigma), 16 quantile-plot pairs, 17 log-log pairs (k + 1 values), (0, slope).
    ASSERT_EQ(pairs.size(), 1u + 16u + 17u + 1u);
    expect_close(pairs[0].first, 1.8393873376205954, "xi");
    expect_close(pairs[0].second, 2.2072648051447143, "sigma");
    const double u = 1.2;  // the value at position 20 - 16
    for (int c = 0; c < 16; ++c) {
        const double value = std::stod(kPositive[static_cast<std::size_t>(c) + 1]);
        EXPECT_DOUBLE_EQ(pairs[1 + c].second, value - u) << "excess " << c;
    }
    for (int m = 0; m < 17; ++m) {
        const double value = std::stod(kPositive[static_cast<std::size_t>(m)]);
        EXPECT_DOUBLE_EQ(pairs[17 + m].second, std::log(value)) << "log value " << m;
    }
    EXPECT_EQ(pairs.back().first, 0.0);
}

TEST(TailFit, Task29OnePairPerMethodInFileOrder) {
    WorkDir w;
    w.write_lines("serie.txt", mixed_series());
    ASSERT_EQ(run_with(w, tail_file(w, 29, {"Hill", "HW", "Hill"}, 10, 0), "5").status, 0);
    const Pairs pairs = read_pairs(w.read("Result1.txt"));
    ASSERT_EQ(pairs.size(), 3u);
    expect_close(pairs[0].first, 1.1472758106141034, "Hill xi");
    expect_close(pairs[0].second, 5.162741147763466, "Hill sigma");
    EXPECT_EQ(pairs[2], pairs[0]);
    EXPECT_TRUE(std::isfinite(pairs[1].first) && std::isfinite(pairs[1].second));
}

TEST(TailFit, Task30SixShapePointsThenSixScalePoints) {
    WorkDir w;
    w.write_lines("serie.txt", mixed_series());
    ASSERT_EQ(run_with(w, tail_file(w, 30, {"Hill", "HW"}, 5, 7), "5").status, 0);
    const Pairs pairs = read_pairs(w.read("Result1.txt"));
    ASSERT_EQ(pairs.size(), 12u);
    const double counts[] = {5, 6, 7, 5, 6, 7, 5, 6, 7, 5, 6, 7};
    for (std::size_t i = 0; i < 12; ++i) EXPECT_EQ(pairs[i].first, counts[i]) << i;
    const double hillXi[] = {0.6161402138724863, 0.7210895430053164, 0.8198163937984704};
    const double hillSigma[] = {7.886594737567825, 7.499331247255291, 6.968439347286998};
    for (std::size_t j = 0; j < 3; ++j) {
        expect_close(pairs[j].second, hillXi[j], "Hill xi");
        expect_close(pairs[6 + j].second, hillSigma[j], "Hill sigma");
    }
}

// K = 0 gives no upper bound: the range runs to n - 1. Numbers of excesses outside
// 1 .. n - 1 give no point, and an empty range writes no result file.
TEST(TailFit, RangeTasksKeepToOneToNMinusOne) {
    WorkDir w;
    w.write_lines("serie.txt", kPositive);  // n = 17
    struct Row {
        int task;
        int k;
        int K;
        std::size_t points;
    };
    const std::vector<Row> rows = {
        {30, 14, 0, 2 * 3},   // 14, 15, 16 for xi, then for sigma
        {30, 0, 2, 2 * 2},    // 1, 2
        {30, 15, 40, 2 * 2},  // 15, 16
        {34, 14, 0, 3},       // one return level per number of excesses
        {34, 17, 0, 0},       // nothing above n - 1: no result file
    };
    for (const Row& row : rows) {
        const RunOutput out = run_with(w, tail_file(w, row.task, {"Hill"}, row.k, row.K), "5");
        EXPECT_EQ(out.status, 0);
        EXPECT_FALSE(w.exists("Erreur.txt"));
        const Pairs pairs = read_pairs(w.read("Result1.txt"));
        ASSERT_EQ(pairs.size(), row.points) << row.task << " " << row.k << " " << row.K;
        if (row.points > 0) {
            EXPECT_EQ(pairs.front().first, row.k < 1 ? 1.0 : row.k);
            EXPECT_EQ(pairs.back().first, std::min(row.K == 0 ? 16 : row.K, 16));
        }
    }
}

// k outside 1 .. n (n - 1 for Zipf), or a threshold of 0 under a method that takes
// logarithms, cannot be fitted: the tasks that look at a failed fit end with 65, the
// others write the failure pair (-10, -10) and the return level -10.
TEST(TailFit, NumbersOfExcessesThatCannotBeFitted) {
    WorkDir w;
    w.write_lines("serie.txt", kPositive);  // n = 17
    struct Row {
        int task;
        Lines methods;
        int k;
        const char* why;
    };
    const std::vector<Row> failing = {
        {28, {"Hill"}, 0, "no excess"},
        {28, {"HW"}, 18, "more excesses than values"},
        {28, {"Hill"}, 17, "k = n: threshold 0 under logarithms"},
        {32, {"Zipf"}, 17, "Zipf with k = n"},
        {32, {"HillG"}, 0, "no excess"},
    };
    for (const Row& row : failing) {
        const RunOutput out = run_with(w, tail_file(w, row.task, row.methods, row.k, 0), "5");
        EXPECT_EQ(w.read("Erreur.txt"), kMessage65) << row.why;
        EXPECT_FALSE(w.exists("Result1.txt")) << row.why;
        EXPECT_EQ(out.status, 1) << row.why;
    }
    // Task 28 with k = n and HW: all n values over the threshold 0.
    ASSERT_EQ(run_with(w, tail_file(w, 28, {"HW"}, 17, 0), "5").status, 0);
    EXPECT_EQ(read_pairs(w.read("Result1.txt")).size(), 1u + 17u + 17u + 1u);

    ASSERT_EQ(run_with(w, tail_file(w, 33, {"Zipf", "Hill"}, 17, 0), "5").status, 0);
    const Pairs pairs = read_pairs(w.read("Result1.txt"));
    ASSERT_EQ(pairs.size(), 4u);
    EXPECT_EQ(pairs[0], std::make_pair(-10.0, -10.0));  // Zipf cannot take k = n
    EXPECT_EQ(pairs[2], std::make_pair(0.0, -10.0));
    EXPECT_TRUE(std::isfinite(pairs[1].first));  // Hill over u = the first value
}

// ---------------------------------------------------------------- tasks 32 to 35

TEST(ReturnLevel, Task32TwoLines) {
    WorkDir w;
    w.write_lines("serie.txt", mixed_series());
    ASSERT_EQ(run_with(w, tail_file(w, 32, {"Hill"}, 10, 0, "0.01"), "5").status, 0);
    const Pairs pairs = read_pairs(w.read("Result1.txt"));
    ASSERT_EQ(pairs.size(), 2u);
    expect_close(pairs[0].first, 1.1472758106141034, "xi");
    expect_close(pairs[0].second, 5.162741147763466, "sigma");
    EXPECT_EQ(pairs[1].first, 0.0);
    expect_close(pairs[1].second, 400.3130081485307, "return level");
}

TEST(ReturnLevel, Task34OneLevelPerMethodAndNumber) {
    WorkDir w;
    w.write_lines("serie.txt", mixed_series());
    ASSERT_EQ(run_with(w, tail_file(w, 34, {"Hill", "HW"}, 9, 11), "5").status, 0);
    const Pairs pairs = read_pairs(w.read("Result1.txt"));
    ASSERT_EQ(pairs.size(), 6u);
    expect_close(pairs[1].second, 400.3130081485307, "Hill, 10 excesses");
}

// Three numbered data files of 17, 17 and 15 values, Hill with 5 excesses, p = 0.01.
// Each file is taken with its own size.
void write_numbered_files(const WorkDir& w) {
    w.write_lines("Donnees.txt", kPositive);
    Lines second = kPositive;
    second.back() = "50";
    w.write_lines("Donnees2.txt", second);
    Lines third(kPositive.begin() + 2, kPositive.begin() + 14);
    third.insert(third.end(), {"40", "60", "61.5"});
    w.write_lines("Donnees3.txt", third);
}

TEST(Spread, Task31SortedShapesAndScalesThenTheirMoments) {
    WorkDir w;
    write_numbered_files(w);
    ASSERT_EQ(run_with(w, tail_file(w, 31, {"Hill"}, 5, 0, "0.01", "*"), "5").status, 0);
    const std::string text = w.read("Result1.txt");
    const std::vector<double> values = read_column(text);
    const double expected[] = {
        0.6161402138724863, 0.6829552362767847, 0.9737602289571509,  // xi, sorted
        7.886594737567825,  8.741827024342845,  12.464130930651532,  // sigma, sorted
        0.7576185597021406, 0.024102651797318936,                    // mean, variance of xi
        9.6975175641874,    3.948978470472735,                       // of sigma
        3.0,                                                         // files read
    };
    ASSERT_EQ(values.size(), std::size(expected));
    for (std::size_t i = 0; i < values.size(); ++i) expect_close(values[i], expected[i], "line");
    // The column's last value has no line end of its own: the empty text line ends it,
    // so no blank line shows. 6 values, 4 moments, the count: 11 ended lines.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 11);
    EXPECT_EQ(text.find("\n\n"), std::string::npos);
}

TEST(Spread, Task35SortedReturnLevelsThenTheirMoments) {
    WorkDir w;
    write_numbered_files(w);
    ASSERT_EQ(run_with(w, tail_file(w, 35, {"Hill"}, 5, 0, "0.01", "*"), "5").status, 0);
    const std::vector<double> values = read_column(w.read("Result1.txt"));
    const double expected[] = {102.80751547352361, 128.8677164487766, 389.16047546202924,
                               206.9452357947765, 16714.38579597561, 3.0};
    ASSERT_EQ(values.size(), std::size(expected));
    for (std::size_t i = 0; i < values.size(); ++i) expect_close(values[i], expected[i], "line");
}

TEST(Spread, NumberedFilesEndAtTheFirstMissingOneAndTheGuardStopsAll) {
    WorkDir w;
    write_numbered_files(w);
    std::filesystem::remove(w.file("Donnees2.txt"));  // Donnees3.txt is never reached
    ASSERT_EQ(run_with(w, tail_file(w, 35, {"Hill"}, 5, 0, "0.01", "*"), "5").status, 0);
    std::vector<double> values = read_column(w.read("Result1.txt"));
    ASSERT_EQ(values.size(), 4u);
    EXPECT_EQ(values.back(), 1.0);

    // A second file with negative values that leaves 17 - 2 - 1 = 14 < 15 excesses.
    Lines second = kPositive;
    second[0] = "-1";
    second[1] = "0";
    w.write_lines("Donnees2.txt", second);
    ASSERT_EQ(run_with(w, tail_file(w, 31, {"Hill"}, 15, 0, "0.01", "*"), "5").status, 0);
    EXPECT_EQ(w.read("Erreur.txt"), sentence(14));
    EXPECT_FALSE(w.exists("Result1.txt"));

    // No numbered file at all: nothing to study, the missing file is reported.
    WorkDir empty;
    for (int task : {31, 35}) {
        ASSERT_EQ(run_with(empty, tail_file(empty, task, {"Hill"}, 5, 0, "0.01", "*"), "5").status, 1);
        EXPECT_EQ(empty.read("Erreur.txt"), cp1252("Le fichier spécifié est introuvable ou n'existe pas."));
        EXPECT_FALSE(empty.exists("Result1.txt"));
    }
}

// ---------------------------------------------------------------- tasks 13 to 15

// 12 values with a tie at the value at position 12 - 5: only 4 excesses over it.
const Lines kTied = {"0.3", "0.8", "1.1", "1.6", "2.0", "2.2", "2.9", "2.9",
                     "3.4", "4.4", "5.1", "7.9"};

TEST(ExcessTest, Task13QuantilePairsThenEstimateThenDecision) {
    WorkDir w;
    w.write_lines("serie.txt", kPositive);
    ASSERT_EQ(run_with(w, excess_file(w, 13, "Exponentielle", 6), "2").status, 0);
    const Pairs pairs = read_pairs(w.read("Result1.txt"));
    ASSERT_EQ(pairs.size(), 6u + 2u);
    // The excesses over 10.4 against the exponential quantile of mean 1 at (i - 1)/6.
    const double excesses[] = {2.4, 5.3, 8.9, 13.3, 18.7, 25.4};
    double sum = 0.0;
    for (std::size_t i = 0; i < 6; ++i) {
        const double p = static_cast<double>(i) / 6.0;
        EXPECT_NEAR(pairs[i].first, -std::log(1.0 - p), 1e-15);
        EXPECT_NEAR(pairs[i].second, excesses[i], 1e-13);
        sum += pairs[i].second;
    }
    expect_close(pairs[6].first, sum / 6.0, "estimate: mean of the excesses");
    EXPECT_EQ(pairs[6].second, 0.0);
    EXPECT_TRUE(pairs[7].first == 0.0 || pairs[7].first == 1.0);
    EXPECT_EQ(pairs[7].second, 0.0);
}

// The excess step fits the GPD, the law of excesses, by probability-weighted moments
// (Hosking and Wallis 1987) over the excesses that exist: a tie at the threshold leaves 4.
TEST(ExcessTest, Task13FitsTheGpdOverTheExcessesThatExist) {
    WorkDir w;
    w.write_lines("serie.txt", kTied);
    ASSERT_EQ(run_with(w, excess_file(w, 13, "GPD", 5), "2").status, 0);
    const Pairs pairs = read_pairs(w.read("Result1.txt"));
    ASSERT_EQ(pairs.size(), 4u + 2u);  // 4 excesses over 2.9, not 5
    // Excesses 0.5, 1.5, 2.2, 5.0, weights 1 - (j - 0.35)/4; computed with Python:
    // a0 = 2.3, a1 = 0.62, xi = 2 - a0/(a0 - 2 a1) = -0.1698113207547176.
    expect_close(pairs[4].first, -0.1698113207547176, "GPD shape over 4 excesses");
}

TEST(ExcessTest, Task13MissingSecondParameterShowsAsNaN) {
    WorkDir w;
    w.write_lines("serie.txt", kPositive);
    for (const char* law : {"Weibull", "Gamma", "Lognormale", "Normale"}) {
        ASSERT_EQ(run_with(w, excess_file(w, 13, law, 5), "2").status, 0) << law;
        const std::string text = w.read("Result1.txt");
        const Pairs pairs = read_pairs(text);
        ASSERT_EQ(pairs.size(), 7u) << law;
        for (std::size_t i = 1; i < 5; ++i) EXPECT_TRUE(std::isnan(pairs[i].first)) << law << i;
        EXPECT_EQ(text.substr(0, text.find('\t')), formatted(pairs[0].first)) << law;
    }
}

TEST(ExcessTest, Task13WithoutExcessesReplacesTheResult) {
    WorkDir w;
    w.write_lines("serie.txt", kPositive);
    for (int k : {0, 40}) {
        w.write("Result1.txt", "earlier result\n");
        w.write_lines("Tmp1.txt", excess_file(w, 13, "Exponentielle", k));
        ASSERT_EQ(w.run("Tmp1.txt", "2").status, 0);
        const std::string text = w.read("Result1.txt");
        EXPECT_EQ(text.find("earlier"), std::string::npos) << k;
        // k = 0: no excess; k = 40 > n: the 16 excesses over the first value.
        EXPECT_EQ(read_pairs(text).size(), k == 0 ? 2u : 18u) << k;
    }
}

TEST(ExcessTest, Task14RatesOverTheNumberedFiles) {
    WorkDir w;
    write_numbered_files(w);
    ASSERT_EQ(run_with(w, excess_file(w, 14, "Exponentielle", 6, "*"), "2").status, 0);
    const std::vector<double> rates = read_column(w.read("Result1.txt"));
    ASSERT_EQ(rates.size(), 3u);
    // Decisions are 0 or 1: rejected + accepted = 100, spread 100 sqrt(m (1 - m) / (3 + 1)).
    const double m = rates[1] / 100.0;
    EXPECT_NEAR(rates[0] + rates[1], 100.0, 1e-12);
    EXPECT_NEAR(rates[2], 100.0 * std::sqrt(m * (1.0 - m) / 4.0), 1e-12);
    EXPECT_NEAR(m * 3.0, std::round(m * 3.0), 1e-12);

    WorkDir empty;
    ASSERT_EQ(run_with(empty, excess_file(empty, 14, "Exponentielle", 6, "*"), "2").status, 1);
    EXPECT_EQ(empty.read("Erreur.txt"), cp1252("Le fichier spécifié est introuvable ou n'existe pas."));
    EXPECT_FALSE(empty.exists("Result1.txt"));
}

TEST(ExcessTest, Task15OneDecisionPerNumberOfExcesses) {
    WorkDir w;
    w.write_lines("serie.txt", {"0.2", "0.5", "0.9", "1.4", "2.0", "2.7", "3.5", "4.6", "6.0",
                                "8.1"});
    for (const char* law : {"Exponentielle", "GPD"}) {
        ASSERT_EQ(run_with(w, excess_file(w, 15, law, 3), "2").status, 0) << law;
        const Pairs pairs = read_pairs(w.read("Result1.txt"));
        ASSERT_EQ(pairs.size(), 8u) << law;
        for (std::size_t i = 0; i < 8; ++i) {
            EXPECT_EQ(pairs[i].first, static_cast<double>(i + 2));
            EXPECT_TRUE(pairs[i].second == 0.0 || pairs[i].second == 1.0);
        }
    }
}

TEST(ExcessTest, UnknownLawFailsWith9) {
    WorkDir w;
    w.write_lines("serie.txt", kPositive);
    for (int task : {13, 14, 15}) {
        run_with(w, excess_file(w, task, "Inconnue", 5), "2");
        EXPECT_EQ(w.read("Erreur.txt"),
                  cp1252("Le nom de loi spécifié est absent du catalogue de modèles (cf "
                         "documentation technique)."))
            << task;
    }
}

}  // namespace
}  // namespace evstat::e2e
